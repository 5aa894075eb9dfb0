// libFuzzer target: the text/uri-list another program drops, on arbitrary bytes. Whatever the bytes, reading
// never crashes or hangs; every name it gives is an absolute local path without a zero, at most one per line;
// and each name, written back as a fully escaped file:// uri, is read again as itself.
#include "platform/base/codepage.h"
#include "platform/user/uri_list.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string_view list(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> files = user::LocalFilesOfUriList(list);
  const std::size_t lines = static_cast<std::size_t>(std::count(list.begin(), list.end(), '\n')) + 1;
  if (files.size() > lines) std::abort();
  for (const std::string& file : files) {
    if (file.empty() || file[0] != '/' || file.find('\0') != std::string::npos) std::abort();
    std::string uri = "file://";
    for (unsigned char byte : codepage::Cp1251ToUtf8(file)) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      uri += byte == '/' ? std::string("/") : std::string(escaped);
    }
    const std::vector<std::string> again = user::LocalFilesOfUriList(uri + "\r\n");
    if (again.size() != 1 || again[0] != file) std::abort();
  }
  return 0;
}
