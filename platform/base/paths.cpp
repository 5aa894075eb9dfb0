#include "platform/base/paths.h"

#include "platform/base/codepage.h"

#include <algorithm>

namespace platform {

std::string ToFileSystemPath(std::string_view programPath)
{
  std::string path = codepage::Cp1251ToUtf8(programPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string FromFileSystemPath(std::string_view fileSystemPath) { return codepage::Utf8ToCp1251(fileSystemPath); }

std::string JoinPath(std::string_view folder, std::string_view name)
{
  std::size_t nameStart = 0;
  while (nameStart < name.size() && IsPathSeparator(name[nameStart])) {
    ++nameStart;
  }
  if (folder.empty()) {
    return std::string(name.substr(nameStart));
  }
  std::string joined = WithTrailingSeparator(folder);
  joined.append(name.substr(nameStart));
  return joined;
}

std::string WithTrailingSeparator(std::string_view path)
{
  std::string result(path);
  if (result.empty() || !IsPathSeparator(result.back())) {
    result.push_back('/');
  }
  return result;
}

std::string_view FileNameOf(std::string_view path)
{
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view FolderOf(std::string_view path)
{
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? std::string_view{} : path.substr(0, cut + 1);
}

std::string_view ExtensionOf(std::string_view path)
{
  std::string_view name = FileNameOf(path);
  std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

}  // namespace platform
