// GetLastError/SetLastError keep one code per thread, as Windows does.
#include "platform/base/syserror.h"

#include <cerrno>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD code) { t_lastError = code; }

namespace platform {

DWORD Win32ErrorFromErrno(int error)
{
  switch (error) {
  case 0:
    return ERROR_SUCCESS;
  case ENOENT:
    return ERROR_FILE_NOT_FOUND;
  case ENOTDIR:
  case ENAMETOOLONG:
  case ELOOP:
    return ERROR_PATH_NOT_FOUND;
  case EMFILE:
  case ENFILE:
    return ERROR_TOO_MANY_OPEN_FILES;
  case EACCES:
  case EPERM:
  case EROFS:
  case EISDIR:
    return ERROR_ACCESS_DENIED;
  case EBADF:
    return ERROR_INVALID_HANDLE;
  case ENOMEM:
    return ERROR_NOT_ENOUGH_MEMORY;
  case EBUSY:
  case ETXTBSY:
  case EWOULDBLOCK:
    return ERROR_SHARING_VIOLATION;
  case EEXIST:
    return ERROR_ALREADY_EXISTS;
  case ENOTEMPTY:
    return ERROR_DIR_NOT_EMPTY;
  case EINVAL:
    return ERROR_INVALID_PARAMETER;
  case ENOSPC:
  case EDQUOT:
  case EFBIG:
    return ERROR_DISK_FULL;
  case EIO:
    return ERROR_WRITE_FAULT;
  case ETIMEDOUT:
    return ERROR_TIMEOUT;
  default:
    return ERROR_INVALID_FUNCTION;
  }
}

void SetLastErrorFromErrno(int error) { SetLastError(Win32ErrorFromErrno(error)); }

}  // namespace platform
