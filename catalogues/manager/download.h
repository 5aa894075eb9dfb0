// One file from the maker's web server into a new temporary file.
#pragma once

#include "platform/base/wintypes.h"

namespace ManagementPlugins {

inline constexpr ULONGLONG kMaxIndexBytes = 1024 * 1024;
inline constexpr ULONGLONG kMaxPictureDownloadBytes = 1024 * 1024;
inline constexpr ULONGLONG kMaxCatalogueBytes = 256ull * 1024 * 1024;

// Downloads `address` (asked for with a fresh "?id={GUID}", so that no cached copy is served) into a new temporary
// file named in `localFile` (260 characters). 1 when every byte the server announced was written; else 0 with no
// file left behind. Progress goes to `progressWindow` (may be null) as UM_PLUGINS_PROGRESS: 0 at the start, then
// at most about every 11 percent, never 100, and 0 at the end. A stop request of the calling thread ends it.
int DownloadFile(LPCSTR address, LPSTR localFile, HWND progressWindow, ULONGLONG maxBytes = kMaxCatalogueBytes);

}  // namespace ManagementPlugins
