// libFuzzer target: the readers of picture files the user imports into button images (the first 32-bit image
// of an icon file, the depth test of a bitmap file). The bytes are written to a file of their own and read back
// whole, by width and as a bitmap file; the readers must answer a picture or nothing, never crash or allocate
// what a header merely claims.
#include "toolkit/paint/image_manager.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

const std::string& FilePath()
{
  static const std::string path = [] {
    char name[] = "/tmp/tesmira-icon-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) {
      close(fd);
    }
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  std::FILE* file = std::fopen(FilePath().c_str(), "wb");
  if (file == nullptr) {
    return 0;
  }
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  for (const int width : {0, size > 6 ? static_cast<int>(data[6]) : 16}) {
    if (HBITMAP bitmap = CTKImageManagerIcon::LoadAlphaIcon(FilePath().c_str(), width)) {
      BITMAP bm{};
      GetObject(bitmap, sizeof(bm), &bm);
      if (bm.bmBitsPixel != 32 || bm.bmWidth <= 0) {
        std::abort();
      }
      DeleteObject(bitmap);
    }
  }
  CTKImageManager::IsAlphaBitmapFile(FilePath().c_str());
  return 0;
}
