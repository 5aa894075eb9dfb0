// The file dialog's decisions: the filter list, which names a filter takes, and what a typed name means.
#include "platform/base/fileops.h"
#include "platform/base/paths.h"
#include "platform/user/commdlg.h"

#include <filesystem>
#include <system_error>

namespace user::commdlg {

namespace {

// Case-blind for Latin and Cyrillic letters of cp1251.
char LowerCp1251(char c)
{
  auto b = static_cast<unsigned char>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF)) {
    return static_cast<char>(b + 0x20);
  }
  if (b == 0xA8) {  // Ё
    return static_cast<char>(0xB8);
  }
  return c;
}

std::string Lower(std::string_view text)
{
  std::string out(text);
  for (char& c : out) {
    c = LowerCp1251(c);
  }
  return out;
}

std::string Trim(std::string_view text)
{
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) {
    return {};
  }
  std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

// "/a/./b/../c//d" -> "/a/c/d"; a relative path is taken from `folder`.
std::string Normalise(const std::string& folder, const std::string& text)
{
  std::string joined = !text.empty() && text[0] == '/' ? text : folder + "/" + text;
  std::vector<std::string> parts;
  std::size_t pos = 0;
  while (pos <= joined.size()) {
    std::size_t next = joined.find('/', pos);
    if (next == std::string::npos) {
      next = joined.size();
    }
    std::string part = joined.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) {
        parts.pop_back();
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }
  std::string out;
  for (const std::string& part : parts) {
    out += "/" + part;
  }
  return out.empty() ? "/" : out;
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

// The extension a save adds: the chosen filter's own ("*.qorr5"), else the default one.
std::string ExtensionToAdd(const FileRequest& request)
{
  if (request.defaultExt.empty()) {
    return {};
  }
  if (request.filter != nullptr && !request.filter->patterns.empty()) {
    const std::string& first = request.filter->patterns.front();
    if (first.size() > 2 && first.compare(0, 2, "*.") == 0 && !HasWildcard(first.substr(2))) {
      return first.substr(2);
    }
  }
  return request.defaultExt;
}

}  // namespace

std::vector<FileFilter> ParseFilter(LPCSTR pairs)
{
  std::vector<FileFilter> filters;
  if (pairs == nullptr) {
    return filters;
  }
  const char* p = pairs;
  while (*p != '\0') {
    FileFilter filter;
    filter.name = p;
    p += filter.name.size() + 1;
    if (*p == '\0') {
      break;
    }
    std::string patterns = p;
    p += patterns.size() + 1;
    std::size_t pos = 0;
    while (pos <= patterns.size()) {
      std::size_t next = patterns.find(';', pos);
      if (next == std::string::npos) {
        next = patterns.size();
      }
      std::string pattern = Trim(std::string_view(patterns).substr(pos, next - pos));
      if (!pattern.empty()) {
        filter.patterns.push_back(pattern);
      }
      pos = next + 1;
    }
    filters.push_back(std::move(filter));
  }
  return filters;
}

bool FilterTakes(const FileFilter& filter, std::string_view name)
{
  const std::string lowerName = Lower(name);
  for (const std::string& pattern : filter.patterns) {
    if (pattern == "*.*" || pattern == "*" || platform::MatchesWildcard(Lower(pattern), lowerName)) {
      return true;
    }
  }
  return false;
}

PathKind QueryFileSystem(const std::string& programPath)
{
  std::error_code ec;
  auto status = std::filesystem::status(platform::ToFileSystemPath(programPath), ec);
  if (ec || !std::filesystem::exists(status)) {
    return PathKind::Missing;
  }
  return std::filesystem::is_directory(status) ? PathKind::Folder : PathKind::File;
}

FileDecision DecideFileName(const FileRequest& request, const PathQuery& query)
{
  FileDecision d;
  std::string text = Trim(request.typed);
  // A name in quotes is taken as it stands, with no extension added.
  bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
  if (quoted) {
    text = text.substr(1, text.size() - 2);
  }
  for (char& c : text) {
    if (c == '\\') {
      c = '/';
    }
  }
  if (text.empty()) {
    return d;
  }
  if (!quoted && HasWildcard(text) && text.find('/') == std::string::npos) {
    d.action = FileDecision::Action::ApplyPattern;
    d.path = text;
    return d;
  }
  std::string path = Normalise(request.folder, text);
  PathKind kind = query(path);
  if (kind == PathKind::Folder) {
    d.action = FileDecision::Action::EnterFolder;
    d.path = platform::WithTrailingSeparator(path);
    return d;
  }
  if (text.back() == '/') {
    d.action = FileDecision::Action::Refuse;
    d.message = path + "\nПуть не существует.\nПроверьте правильность пути.";
    return d;
  }
  std::string extension = quoted ? std::string() : ExtensionToAdd(request);
  // An open keeps a bare name that is there; otherwise the name without an extension takes one.
  if (!extension.empty() && platform::ExtensionOf(platform::FileNameOf(path)).empty() &&
      (request.save || kind != PathKind::File)) {
    path += "." + extension;
    kind = query(path);
  }
  const std::string name(platform::FileNameOf(path));
  const std::string folder(platform::FolderOf(path));
  const bool folderMustExist =
      request.save || (request.flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) != 0;
  if (folderMustExist && query(folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder) != PathKind::Folder) {
    d.action = FileDecision::Action::Refuse;
    d.message = path + "\nПуть не существует.\nПроверьте правильность пути.";
    return d;
  }
  d.path = path;
  if (!request.save && (request.flags & OFN_FILEMUSTEXIST) != 0 && kind != PathKind::File) {
    d.action = FileDecision::Action::Refuse;
    d.message = name + "\nФайл не найден.\nПроверьте правильность имени файла.";
    return d;
  }
  if (request.save && kind == PathKind::File && (request.flags & OFN_OVERWRITEPROMPT) != 0) {
    d.action = FileDecision::Action::AskOverwrite;
    d.message = name + " уже существует.\nЗаменить его?";
    return d;
  }
  d.action = FileDecision::Action::Accept;
  return d;
}

}  // namespace user::commdlg
