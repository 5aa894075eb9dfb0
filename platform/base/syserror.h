// The bridge from POSIX errors to the Windows error codes the program tests for with GetLastError.
#pragma once

#include "platform/base/hresult.h"

namespace platform {

// The Win32 error code closest to an errno value (ENOENT -> ERROR_FILE_NOT_FOUND, EACCES -> ERROR_ACCESS_DENIED,
// ...); ERROR_INVALID_FUNCTION when there is no better one.
DWORD Win32ErrorFromErrno(int error);
// SetLastError(Win32ErrorFromErrno(error)).
void SetLastErrorFromErrno(int error);

}  // namespace platform
