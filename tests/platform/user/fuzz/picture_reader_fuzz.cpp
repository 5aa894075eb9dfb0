// libFuzzer target: the readers of users' picture files (.bmp, .ico, .cur, .png) on arbitrary bytes. Whatever
// the bytes, they never read outside the file, crash, hang or allocate what the file merely claims; and a file
// the picture checks pass is one the readers then take, so a checked file is never refused afterwards.
#include "platform/user/picture_bytes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using namespace picture_bytes;

// Reads every pixel a bitmap reader would hand on, so a row the checks let through short is caught.
std::uint32_t TouchPixels(const Dib& dib)
{
  std::uint32_t sum = 0;
  for (int y = 0; y < dib.height; ++y) {
    for (int x = 0; x < dib.width; ++x) {
      sum += dib.Pixel(x, y, dib.height);
    }
  }
  return sum;
}

void Bitmap(const std::vector<BYTE>& file)
{
  const bool checked = !CheckBmp(file).has_value();
  const std::optional<std::vector<BYTE>> packed = PackedDibFromBmp(file);
  std::optional<Dib> dib;
  if (packed) {
    dib = ReadDib(packed->data(), packed->size());
  }
  const bool whole = dib && RowsPresent(*dib, static_cast<std::size_t>(dib->height));
  if (whole) {
    volatile std::uint32_t sink = TouchPixels(*dib);
    (void)sink;
  }
  if (checked && !whole) std::abort();
}

void Icons(const std::vector<BYTE>& file, bool isIcon)
{
  const std::vector<DirectoryEntry> entries = IconFileEntries(file, isIcon);
  for (const DirectoryEntry& entry : entries) {
    if (entry.where > file.size() || entry.size > file.size() - entry.where) std::abort();
  }
  SIZE largest{};
  const bool checked = isIcon && !CheckIco(file, largest).has_value();
  for (const SIZE wanted : {SIZE{0, 0}, SIZE{16, 16}, SIZE{32, 32}, largest}) {
    const DirectoryEntry* chosen = Choose(entries, static_cast<int>(wanted.cx), static_cast<int>(wanted.cy));
    if (chosen == nullptr) {
      if (checked) std::abort();
      continue;
    }
    const std::optional<gdi::Image> picture = IconPicture(file.data() + chosen->where, chosen->size);
    if (picture) {
      const std::size_t pixels = static_cast<std::size_t>(picture->width) * picture->height;
      if (picture->color.size() != pixels || picture->transparent.size() != pixels) std::abort();
    } else if (checked) {
      std::abort();
    }
  }
}

void Png(const std::vector<BYTE>& file)
{
  // Only checked files are decoded, as the program does: the checks bound what decoding allocates.
  if (CheckPng(file)) {
    return;
  }
  const std::optional<PngPixels> png = DecodePng(file);
  if (png && png->pixels.size() != static_cast<std::size_t>(png->width) * png->height) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::vector<BYTE> file(data, data + size);
  Bitmap(file);
  Icons(file, true);
  Icons(file, false);
  Png(file);
  return 0;
}
