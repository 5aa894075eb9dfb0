#include "outside/engines/file_io.h"

#include <cstdio>
#include <memory>

namespace Engines {
namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& contents, std::string* error)
{
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) {
    if (error)
      *error = "cannot open \"" + path + "\"";
    return false;
  }
  contents.clear();
  char buffer[65536];
  for (;;) {
    std::size_t got = std::fread(buffer, 1, sizeof buffer, f.get());
    if (got == 0)
      break;
    if (contents.size() + got > maxBytes) {
      if (error)
        *error = "\"" + path + "\" is larger than " + std::to_string(maxBytes) + " bytes";
      return false;
    }
    contents.append(buffer, got);
  }
  if (std::ferror(f.get())) {
    if (error)
      *error = "cannot read \"" + path + "\"";
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
  File f(std::fopen(path.c_str(), "wb"));
  if (!f)
    return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
    return false;
  return std::fclose(f.release()) == 0;
}

}  // namespace Engines
