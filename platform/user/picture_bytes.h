// Picture files taken apart: DIBs, .bmp, .ico/.cur directories and PNG, from bytes to checked pixels and
// records. Nothing here makes a window, a device context or a handle, so the readers can be tried on their own.
#pragma once

#include "platform/base/hresult.h"
#include "platform/base/wintypes.h"
#include "platform/gdi/image.h"
#include "platform/gdi/wingdi.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace picture_bytes {

// A packed DIB taken apart: header, colour table and rows, `height` rows of `stride` bytes from `bits`.
struct Dib {
  BITMAPINFOHEADER header;
  int width = 0;
  int height = 0;  // of the whole stored image (an icon's colour and mask rows together)
  bool bottomUp = true;
  const BYTE* table = nullptr;
  int tableSize = 0;
  const BYTE* bits = nullptr;
  std::size_t stride = 0;
  std::size_t available = 0;  // bytes from `bits` to the end of the data

  // 0x00RRGGBB of a pixel (32-bit DIBs keep their top byte), `row` counted from the top of the picture.
  std::uint32_t Pixel(int x, int row, int rows) const;
};

// Every count and offset checked against the `size` bytes there are; the rows themselves are not.
std::optional<Dib> ReadDib(const BYTE* data, std::size_t size);
// Whether `rows` whole rows follow the colour table.
bool RowsPresent(const Dib& d, std::size_t rows);

// A .bmp file as a packed DIB (header, colour table, then the bits from the file's pixel offset), or nothing
// when it is no bitmap file or its offsets do not fit.
std::optional<std::vector<BYTE>> PackedDibFromBmp(const std::vector<BYTE>& file);

// One image of an icon or cursor: a DIB of twice the picture's height, colour rows then 1-bit mask rows.
std::optional<gdi::Image> IconPicture(const BYTE* data, std::size_t size);

// An entry of an icon or cursor directory, as resource and file know it.
struct DirectoryEntry {
  int width;
  int height;
  int bits;
  POINT hotspot;        // files only; a resource cursor image starts with its own
  std::uint32_t size;
  std::uint32_t where;  // the RT_ICON / RT_CURSOR id, or the file offset
};

// The entry nearest the wanted size, the deepest of equals; 0 x 0 asks for the first.
const DirectoryEntry* Choose(const std::vector<DirectoryEntry>& entries, int cx, int cy);

// The entries of a .ico (isIcon) or .cur file whose images lie within the file and are not PNG-compressed;
// none when the file is not of that kind.
std::vector<DirectoryEntry> IconFileEntries(const std::vector<BYTE>& file, bool isIcon);

// Why OleLoadPicturePath refuses a file: the HRESULT and one line for a person.
struct Refusal {
  HRESULT code;
  std::string why;
};

// The checks OleLoadPicturePath makes before anything is built: a .bmp, a .ico (answering the size of its
// largest image it can read) and a .png (signature included).
std::optional<Refusal> CheckBmp(const std::vector<BYTE>& file);
std::optional<Refusal> CheckIco(const std::vector<BYTE>& file, SIZE& largest);
std::optional<Refusal> CheckPng(const std::vector<BYTE>& file);

// A PNG's pixels decoded, top row first, 0xAARRGGBB with alpha premultiplied (opaque when the file has none).
struct PngPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool hasAlpha = false;  // some pixel is not opaque
};
std::optional<PngPixels> DecodePng(const std::vector<BYTE>& file);

}  // namespace picture_bytes
