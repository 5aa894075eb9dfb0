#include "platform/shell/file_types.h"

#include "platform/base/folders.h"
#include "platform/base/paths.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace shell {

namespace {

std::string EscapeXml(const std::string& text)
{
  std::string out;
  for (char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

// A desktop entry's Exec argument: quoted, with the characters desktop entries reserve escaped.
std::string QuoteExec(const std::string& path)
{
  std::string out = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      out += '\\';
    if (c == '%')
      out += '%';
    out += c;
  }
  return out + "\"";
}

// One line of a desktop entry may hold no line break.
std::string OneLine(std::string text)
{
  for (char& c : text)
    if (c == '\n' || c == '\r')
      c = ' ';
  return text;
}

// 1 written, 0 unchanged, -1 failed.
int WriteIfChanged(const std::filesystem::path& path, const std::string& text)
{
  std::error_code error;
  {
    std::ifstream in(path, std::ios::binary);
    if (in && std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) == text)
      return 0;
  }
  std::filesystem::create_directories(path.parent_path(), error);
  const std::filesystem::path temporary = path.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!(out << text) || !out.flush())
      return -1;
  }
  std::filesystem::rename(temporary, path, error);
  return error ? -1 : 1;
}

}  // namespace

std::string MimePackageText(const FileTypeRegistration& registration)
{
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const FileType& type : registration.types) {
    text += "  <mime-type type=\"" + EscapeXml(type.mimeType) + "\">\n";
    text += "    <comment>" + EscapeXml(type.description) + "</comment>\n";
    text += "    <glob pattern=\"*" + EscapeXml(type.extension) + "\"/>\n";
    text += "  </mime-type>\n";
  }
  return text + "</mime-info>\n";
}

std::string DesktopEntryText(const FileTypeRegistration& registration)
{
  std::string mimeTypes;
  std::set<std::string> seen;
  for (const FileType& type : registration.types)
    if (seen.insert(type.mimeType).second)
      mimeTypes += OneLine(type.mimeType) + ";";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" + OneLine(registration.programName) + "\n"
         "Exec=" + QuoteExec(OneLine(registration.executable)) + " %f\n"
         "MimeType=" + mimeTypes + "\n"
         "NoDisplay=true\n"
         "Terminal=false\n";
}

int RegisterUserFileTypes(const FileTypeRegistration& registration)
{
  const std::filesystem::path dataHome = platform::ToFileSystemPath(platform::UserDataHome());
  const int package = WriteIfChanged(dataHome / "mime" / "packages" / (registration.id + ".xml"),
                                     MimePackageText(registration));
  const int entry = WriteIfChanged(dataHome / "applications" / (registration.id + ".desktop"),
                                   DesktopEntryText(registration));
  if (package < 0 || entry < 0)
    return -1;
  return package + entry;
}

}  // namespace shell
