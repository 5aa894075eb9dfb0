#include "platform/base/folders.h"

#include "platform/base/codepage.h"
#include "platform/base/hresult.h"
#include "platform/base/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// A folder named by an environment variable, or a fall-back under the home folder. XDG says relative values
// are to be ignored.
std::string FromEnvironment(const char* variable, const char* underHome)
{
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') {
    return WithTrailingSeparator(FromFileSystemPath(value));
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : "/tmp";
  }
  return JoinPath(FromFileSystemPath(home), underHome) + "/";
}

std::string Made(std::string folder)
{
  MakeFolders(folder);
  return folder;
}

std::string ProductUnder(const std::string& base)
{
  return base + kCompanyFolder + "/" + kProductFolder + "/";
}

}  // namespace

std::string UserDataHome() { return FromEnvironment("XDG_DATA_HOME", ".local/share"); }
std::string UserConfigHome() { return FromEnvironment("XDG_CONFIG_HOME", ".config"); }

std::string ApplicationDataFolder() { return Made(ProductUnder(UserDataHome())); }
std::string ApplicationBinFolder() { return Made(ProductUnder(UserDataHome()) + "Bin/"); }
std::string ApplicationPluginsFolder() { return Made(ProductUnder(UserDataHome()) + "Plugins/"); }
std::string ProfileFolder() { return Made(ProductUnder(UserConfigHome())); }
std::string DocumentsFolder() { return Made(FromEnvironment("XDG_DOCUMENTS_DIR", "Documents")); }

std::string TempFolder()
{
  const char* value = std::getenv("TMPDIR");
  if (value != nullptr && value[0] != '\0') {
    return WithTrailingSeparator(FromFileSystemPath(value));
  }
  return "/tmp/";
}

bool MakeFolders(const std::string& programPath)
{
  std::string path = ToFileSystemPath(programPath);
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    return S_ISDIR(info.st_mode);
  }
  // Each prefix in turn; a component made meanwhile by another process is fine.
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
      return false;
    }
    if (slash == std::string::npos) {
      break;
    }
  }
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace platform

BOOL GetUserName(LPSTR buffer, DWORD* size)
{
  if (size == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const passwd* entry = getpwuid(getuid());
  const char* login = entry != nullptr && entry->pw_name != nullptr ? entry->pw_name : std::getenv("USER");
  if (login == nullptr || login[0] == '\0') {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  const std::string name = codepage::Utf8ToCp1251(login);
  const DWORD needed = static_cast<DWORD>(name.size() + 1);
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, name.c_str(), needed);
  *size = needed;
  return TRUE;
}

DWORD GetTempPath(DWORD bufferLength, LPSTR buffer)
{
  std::string folder = platform::TempFolder();
  DWORD length = static_cast<DWORD>(folder.size());
  if (buffer == nullptr || bufferLength <= length) {
    return length + 1;
  }
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return length;
}
