#include "platform/user/uri_list.h"

#include "platform/base/codepage.h"

namespace {

int HexDigit(char c)
{
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// The local path of a file:// uri in code page 1251; empty when the uri names no local file or holds what a
// path cannot (a zero, a character outside the code page).
std::string LocalPath(std::string_view uri)
{
  while (!uri.empty() && (uri.back() == '\r' || uri.back() == ' '))
    uri.remove_suffix(1);
  constexpr std::string_view kScheme = "file://";
  if (uri.size() <= kScheme.size() || uri.substr(0, kScheme.size()) != kScheme)
    return {};
  const std::string_view rest = uri.substr(kScheme.size());
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos)
    return {};
  const std::string_view host = rest.substr(0, slash);
  if (!host.empty() && host != "localhost")
    return {};
  std::string utf8;
  for (size_t i = slash; i < rest.size(); ++i) {
    if (rest[i] == '%') {
      const int high = i + 2 < rest.size() ? HexDigit(rest[i + 1]) : -1;
      const int low = high >= 0 ? HexDigit(rest[i + 2]) : -1;
      if (low < 0 || (high == 0 && low == 0))
        return {};
      utf8 += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      utf8 += rest[i];
    }
  }
  std::string out;
  for (char16_t c : codepage::Utf8ToUtf16(utf8)) {
    const char b = codepage::Cp1251FromUnicode(c);
    // A zero sent as it is would split the name in two in the drop's list of names.
    if (c == 0 || (b == '?' && c != u'?'))
      return {};
    out += b;
  }
  return out;
}

}  // namespace

namespace user {

std::vector<std::string> LocalFilesOfUriList(std::string_view uriList)
{
  std::vector<std::string> files;
  size_t start = 0;
  while (start < uriList.size()) {
    size_t stop = uriList.find('\n', start);
    if (stop == std::string_view::npos)
      stop = uriList.size();
    const std::string_view line = uriList.substr(start, stop - start);
    start = stop + 1;
    if (line.empty() || line[0] == '#')
      continue;
    std::string path = LocalPath(line);
    if (!path.empty())
      files.push_back(std::move(path));
  }
  return files;
}

}  // namespace user
