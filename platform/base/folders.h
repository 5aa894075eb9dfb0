// Where the program keeps its files, as XDG folders. Every answer is a program path (cp1251, '/') ending in '/'.
//   user data home     $XDG_DATA_HOME, else ~/.local/share         (Windows' CSIDL_APPDATA)
//   application data   <user data home>/Marvesta/Tesmira Road/     with its Bin/ and Plugins/ folders
//   user config home   $XDG_CONFIG_HOME, else ~/.config
//   profile folder     <user config home>/Marvesta/Tesmira Road/   (the profile store's file)
//   documents          $XDG_DOCUMENTS_DIR, else ~/Documents        (Windows' CSIDL_PERSONAL)
//   temporary folder   $TMPDIR, else /tmp
// The environment is read at every call, so a test may point these at a temporary folder with setenv.
#pragma once

#include "platform/base/wintypes.h"

#include <string>

namespace platform {

inline constexpr char kCompanyFolder[] = "Marvesta";
inline constexpr char kProductFolder[] = "Tesmira Road";

std::string UserDataHome();
std::string UserConfigHome();

// These create the folder (and its parents) when it is missing; a folder that cannot be made is still answered,
// and the file operation that follows reports the failure.
std::string ApplicationDataFolder();
std::string ApplicationBinFolder();
std::string ApplicationPluginsFolder();
std::string ProfileFolder();
std::string DocumentsFolder();

std::string TempFolder();

// Makes `programPath` and its missing parents; true when the folder exists afterwards.
bool MakeFolders(const std::string& programPath);

}  // namespace platform

// $TMPDIR or /tmp with a trailing '/'. Answers the length without the terminator; when `bufferLength` is too
// small, the length the buffer needs including the terminator, and the buffer is untouched.
DWORD GetTempPath(DWORD bufferLength, LPSTR buffer);
inline DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) { return GetTempPath(bufferLength, buffer); }
// The login name in cp1251. `size` holds the buffer's size and receives the length written including the
// terminator; when the buffer is too small, ERROR_INSUFFICIENT_BUFFER and the size it needs.
BOOL GetUserName(LPSTR buffer, DWORD* size);
inline BOOL GetUserNameA(LPSTR buffer, DWORD* size) { return GetUserName(buffer, size); }
