#include "platform/user/picture_bytes.h"

#include "platform/user/picture.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace picture_bytes {

namespace {

// DIBs of the program's resources and of LoadImage's files; OleLoadPicturePath's checks bound pictures further.
constexpr LONG kMaxSide = 1 << 14;

template <class T>
T Get(const BYTE* p)
{
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

std::uint32_t Dib::Pixel(int x, int row, int rows) const
{
  const int stored = bottomUp ? rows - 1 - row : row;
  const BYTE* line = bits + static_cast<std::size_t>(stored) * stride;
  auto fromTable = [&](unsigned index) -> std::uint32_t {
    if (static_cast<int>(index) >= tableSize) {
      return 0;
    }
    const BYTE* q = table + index * 4u;
    return static_cast<std::uint32_t>(q[2]) << 16 | q[1] << 8 | q[0];
  };
  switch (header.biBitCount) {
    case 1: return fromTable((line[x / 8] >> (7 - x % 8)) & 1);
    case 4: return fromTable((line[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
    case 8: return fromTable(line[x]);
    case 24: return static_cast<std::uint32_t>(line[x * 3 + 2]) << 16 | line[x * 3 + 1] << 8 | line[x * 3];
    default: return Get<std::uint32_t>(line + x * 4);
  }
}


std::optional<Dib> ReadDib(const BYTE* data, std::size_t size)
{
  if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) {
    return std::nullopt;
  }
  Dib d;
  std::memcpy(&d.header, data, sizeof d.header);
  const BITMAPINFOHEADER& h = d.header;
  // Later header versions start with the same fields; their extra ones are not needed here.
  if (h.biSize < 40 || h.biSize > size || h.biWidth <= 0 || h.biWidth > kMaxSide || h.biHeight == 0 ||
      h.biHeight < -kMaxSide || h.biHeight > 2 * kMaxSide || h.biPlanes != 1 || h.biCompression != BI_RGB) {
    return std::nullopt;
  }
  const WORD bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) {
    return std::nullopt;
  }
  d.width = h.biWidth;
  d.height = h.biHeight > 0 ? h.biHeight : -h.biHeight;
  d.bottomUp = h.biHeight > 0;
  d.tableSize = bpp <= 8 ? (h.biClrUsed != 0 && h.biClrUsed < (1u << bpp) ? static_cast<int>(h.biClrUsed) : 1 << bpp)
                         : 0;
  const std::size_t tableBytes = static_cast<std::size_t>(d.tableSize) * 4;
  if (size - h.biSize < tableBytes) {
    return std::nullopt;
  }
  d.table = data + h.biSize;
  d.bits = d.table + tableBytes;
  d.available = size - h.biSize - tableBytes;
  d.stride = (static_cast<std::size_t>(d.width) * bpp + 31) / 32 * 4;
  return d;
}

bool RowsPresent(const Dib& d, std::size_t rows) { return d.available / d.stride >= rows; }

// A .bmp file: BITMAPFILEHEADER (WORD "BM", DWORD file size, two WORDs 0, DWORD offset of the bits), then the
// DIB's header and colour table; the bits stand at the offset, which is where a packed DIB has them.
std::optional<std::vector<BYTE>> PackedDibFromBmp(const std::vector<BYTE>& file)
{
  constexpr std::size_t kFileHeader = 14;
  if (file.size() < kFileHeader + sizeof(BITMAPINFOHEADER) || file[0] != 'B' || file[1] != 'M') {
    return std::nullopt;
  }
  const DWORD offset = Get<DWORD>(file.data() + 10);
  std::optional<Dib> dib = ReadDib(file.data() + kFileHeader, file.size() - kFileHeader);
  if (!dib || offset < kFileHeader || offset > file.size()) {
    return std::nullopt;
  }
  // Repack so the bits follow the colour table, whatever gap the file leaves.
  const std::size_t infoBytes = static_cast<std::size_t>(dib->bits - (file.data() + kFileHeader));
  if (kFileHeader + infoBytes > offset) {
    return std::nullopt;
  }
  std::vector<BYTE> packed(file.begin() + kFileHeader,
                           file.begin() + static_cast<std::ptrdiff_t>(kFileHeader + infoBytes));
  packed.insert(packed.end(), file.begin() + offset, file.end());
  return packed;
}

std::optional<gdi::Image> IconPicture(const BYTE* data, std::size_t size)
{
  std::optional<Dib> dib = ReadDib(data, size);
  if (!dib || dib->height % 2 != 0) {
    return std::nullopt;
  }
  const int rows = dib->height / 2;
  const std::size_t maskStride = (static_cast<std::size_t>(dib->width) + 31) / 32 * 4;
  const std::size_t colourBytes = dib->stride * static_cast<std::size_t>(rows);
  if (dib->available < colourBytes || (dib->available - colourBytes) / maskStride < static_cast<std::size_t>(rows)) {
    return std::nullopt;
  }
  gdi::Image image;
  image.width = dib->width;
  image.height = rows;
  image.color.resize(static_cast<std::size_t>(rows) * dib->width);
  image.transparent.resize(image.color.size());
  image.hasMask = true;
  const BYTE* mask = dib->bits + colourBytes;
  for (int y = 0; y < rows; ++y) {
    const int stored = dib->bottomUp ? rows - 1 - y : y;
    for (int x = 0; x < dib->width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * dib->width + x;
      image.color[i] = dib->Pixel(x, y, rows);
      image.transparent[i] = (mask[static_cast<std::size_t>(stored) * maskStride + x / 8] >> (7 - x % 8)) & 1;
    }
  }
  // A 32-bit image with any alpha is drawn by its alpha; older ones by the mask.
  image.hasAlpha = dib->header.biBitCount == 32 &&
                   std::any_of(image.color.begin(), image.color.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  return image;
}

const DirectoryEntry* Choose(const std::vector<DirectoryEntry>& entries, int cx, int cy)
{
  if (entries.empty()) {
    return nullptr;
  }
  if (cx == 0 && cy == 0) {
    return &entries.front();
  }
  return &*std::min_element(entries.begin(), entries.end(), [&](const DirectoryEntry& a, const DirectoryEntry& b) {
    auto distance = [&](const DirectoryEntry& e) { return std::abs(e.width - cx) + std::abs(e.height - cy); };
    return std::make_pair(distance(a), -a.bits) < std::make_pair(distance(b), -b.bits);
  });
}

// .ico and .cur: WORD 0, WORD type (1 icon, 2 cursor), WORD count, then 16-byte entries: BYTE width, BYTE height
// (0: 256), BYTE colours, BYTE 0, WORD planes (cursors: hot spot x), WORD bits (cursors: hot spot y), DWORD
// size, DWORD offset of the image in the file.
std::vector<DirectoryEntry> IconFileEntries(const std::vector<BYTE>& file, bool isIcon)
{
  std::vector<DirectoryEntry> entries;
  if (file.size() < 6 || Get<WORD>(file.data()) != 0 || Get<WORD>(file.data() + 2) != (isIcon ? 1 : 2)) {
    return entries;
  }
  const WORD count = Get<WORD>(file.data() + 4);
  for (WORD i = 0; i < count && 6u + (i + 1u) * 16u <= file.size(); ++i) {
    const BYTE* e = file.data() + 6 + i * 16;
    DirectoryEntry entry{};
    entry.width = e[0] == 0 ? 256 : e[0];
    entry.height = e[1] == 0 ? 256 : e[1];
    entry.bits = isIcon ? Get<WORD>(e + 6) : 0;
    entry.hotspot = isIcon ? POINT{0, 0} : POINT{Get<WORD>(e + 4), Get<WORD>(e + 6)};
    entry.size = Get<DWORD>(e + 8);
    entry.where = Get<DWORD>(e + 12);
    // Images compressed as PNG are not read; their entries are passed over.
    if (entry.where <= file.size() && entry.size <= file.size() - entry.where &&
        !(entry.size >= 4 && std::memcmp(file.data() + entry.where, "\x89PNG", 4) == 0)) {
      entries.push_back(entry);
    }
  }
  return entries;
}

namespace {

// A button image is tens of pixels across; these bound what a picture file may make us allocate.
constexpr std::uint32_t kMaxPictureSide = 4096;
constexpr std::uint64_t kMaxPixels = 4u << 20;

std::uint16_t Le16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const BYTE* p) { return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | std::uint32_t{p[3]} << 24; }
std::uint32_t Be32(const BYTE* p) { return std::uint32_t{p[0]} << 24 | static_cast<std::uint32_t>(p[1] << 16 | p[2] << 8 | p[3]); }

std::optional<Refusal> CheckSize(std::uint64_t width, std::uint64_t height)
{
  if (width == 0 || height == 0) {
    return Refusal{CTL_E_INVALIDPICTURE, "it has no pixels"};
  }
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPixels) {
    return Refusal{CTL_E_OUTOFMEMORY, "it is " + std::to_string(width) + " x " + std::to_string(height) +
                                          " pixels, more than a picture may have here"};
  }
  return std::nullopt;
}

// A DIB header (BITMAPINFOHEADER or a later one) at `header`, whose colour table and `rows` rows of pixels must
// lie within `available` bytes from it; `bitsAt` is where the pixels begin, from the header (0: after the table).
std::optional<Refusal> CheckDib(const BYTE* header, std::size_t available, std::uint64_t rows, std::size_t bitsAt)
{
  if (available < 40) {
    return Refusal{CTL_E_INVALIDPICTURE, "its bitmap header is cut short"};
  }
  const std::uint32_t headerSize = Le32(header);
  const auto width = static_cast<std::int32_t>(Le32(header + 4));
  const auto height = static_cast<std::int32_t>(Le32(header + 8));
  const std::uint16_t planes = Le16(header + 12);
  const std::uint16_t bits = Le16(header + 14);
  const std::uint32_t compression = Le32(header + 16);
  const std::uint32_t used = Le32(header + 32);
  if (headerSize < 40 || headerSize > available || planes != 1 || compression != 0 ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
    return Refusal{CTL_E_INVALIDPICTURE, "its bitmap header is not one we read (compressed or damaged)"};
  }
  if (width <= 0 || height == 0 || height == INT32_MIN) {
    return Refusal{CTL_E_INVALIDPICTURE, "its bitmap has no pixels"};
  }
  const std::uint64_t absHeight = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
  if (auto refused = CheckSize(static_cast<std::uint64_t>(width), rows == 0 ? absHeight : rows)) {
    return refused;
  }
  const std::uint64_t tableEntries = bits <= 8 ? (used != 0 && used < (1u << bits) ? used : 1u << bits) : 0;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  // Pixels may not start inside the header or colour table: the bitmap reader would refuse them.
  if (bitsAt != 0 && bitsAt < headerSize + tableEntries * 4) {
    return Refusal{CTL_E_INVALIDPICTURE, "its pixel offset lies inside its header"};
  }
  const std::uint64_t start = bitsAt != 0 ? bitsAt : headerSize + tableEntries * 4;
  const std::uint64_t needed = start + stride * (rows == 0 ? absHeight : rows);
  if (headerSize + tableEntries * 4 > available || needed > available) {
    return Refusal{CTL_E_INVALIDPICTURE, "its pixels are cut short"};
  }
  return std::nullopt;
}

}  // namespace

// BITMAPFILEHEADER: "BM", DWORD file size, two reserved WORDs, DWORD offset of the pixels; then the DIB header.

std::optional<Refusal> CheckBmp(const std::vector<BYTE>& file)
{
  if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') {
    return Refusal{CTL_E_INVALIDPICTURE, "it is not a bitmap file"};
  }
  if (file.size() < 14 + 40) {
    return Refusal{CTL_E_INVALIDPICTURE, "it is cut short"};
  }
  const std::uint32_t offset = Le32(file.data() + 10);
  if (offset < 14 + 40 || offset > file.size()) {
    return Refusal{CTL_E_INVALIDPICTURE, "its pixel offset lies outside the file"};
  }
  return CheckDib(file.data() + 14, file.size() - 14, 0, offset - 14);
}

// ICONDIR: WORD 0, WORD 1, WORD count; 16-byte entries (BYTE width, BYTE height, BYTE colours, BYTE 0, WORD
// planes, WORD bits, DWORD size, DWORD offset); each image a DIB of twice its height (colour rows, then the
// 1-bit mask), or a PNG, which LoadImage passes over. Answers the size of the largest image it can read.

std::optional<Refusal> CheckIco(const std::vector<BYTE>& file, SIZE& largest)
{
  if (file.size() < 6 || Le16(file.data()) != 0 || Le16(file.data() + 2) != 1) {
    return Refusal{CTL_E_INVALIDPICTURE, "it is not an icon file"};
  }
  const std::uint16_t count = Le16(file.data() + 4);
  if (count == 0 || 6u + 16u * count > file.size()) {
    return Refusal{CTL_E_INVALIDPICTURE, "its icon directory is empty or cut short"};
  }
  largest = SIZE{0, 0};
  for (std::uint16_t i = 0; i < count; ++i) {
    const BYTE* entry = file.data() + 6 + 16 * i;
    const std::uint32_t size = Le32(entry + 8);
    const std::uint32_t offset = Le32(entry + 12);
    if (offset > file.size() || size > file.size() - offset) {
      return Refusal{CTL_E_INVALIDPICTURE, "icon image " + std::to_string(i + 1) + " lies outside the file"};
    }
    if (size >= 4 && std::memcmp(file.data() + offset, "\x89PNG", 4) == 0) {
      continue;
    }
    const BYTE* dib = file.data() + offset;
    if (size < 40) {
      return Refusal{CTL_E_INVALIDPICTURE, "icon image " + std::to_string(i + 1) + " is cut short"};
    }
    const auto height = static_cast<std::int32_t>(Le32(dib + 8));
    if (height <= 0 || height % 2 != 0) {
      return Refusal{CTL_E_INVALIDPICTURE, "icon image " + std::to_string(i + 1) + " is damaged"};
    }
    const std::uint64_t rows = static_cast<std::uint64_t>(height) / 2;
    if (auto refused = CheckDib(dib, size, rows, 0)) {
      return refused;
    }
    // The mask follows the colour rows.
    const std::uint64_t width = Le32(dib + 4);
    const std::uint16_t bits = Le16(dib + 14);
    const std::uint32_t used = Le32(dib + 32);
    const std::uint64_t tableEntries = bits <= 8 ? (used != 0 && used < (1u << bits) ? used : 1u << bits) : 0;
    const std::uint64_t colourEnd = Le32(dib) + tableEntries * 4 + (width * bits + 31) / 32 * 4 * rows;
    if (colourEnd + (width + 31) / 32 * 4 * rows > size) {
      return Refusal{CTL_E_INVALIDPICTURE, "icon image " + std::to_string(i + 1) + " has no whole mask"};
    }
    if (static_cast<LONG>(width) * static_cast<LONG>(rows) > largest.cx * largest.cy) {
      largest = SIZE{static_cast<LONG>(width), static_cast<LONG>(rows)};
    }
  }
  if (largest.cx == 0) {
    return Refusal{CTL_E_INVALIDPICTURE, "it holds only PNG-compressed icon images"};
  }
  return std::nullopt;
}

// The signature, then chunks: DWORD length (big-endian), four type letters, the data, DWORD CRC. IHDR first
// (width, height, bit depth, colour type, compression, filter, interlace), at least one IDAT, IEND last.

std::optional<Refusal> CheckPng(const std::vector<BYTE>& file)
{
  static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) {
    return Refusal{CTL_E_INVALIDPICTURE, "it is not a PNG picture"};
  }
  std::size_t at = 8;
  bool first = true;
  bool sawData = false;
  while (true) {
    if (file.size() - at < 12) {
      return Refusal{CTL_E_INVALIDPICTURE, "it is cut short (no IEND chunk)"};
    }
    const std::uint32_t length = Be32(file.data() + at);
    const std::string type(reinterpret_cast<const char*>(file.data() + at + 4), 4);
    if (length > file.size() - at - 12) {
      return Refusal{CTL_E_INVALIDPICTURE, "its " + type + " chunk is cut short"};
    }
    const BYTE* data = file.data() + at + 8;
    if (first) {
      if (type != "IHDR" || length != 13) {
        return Refusal{CTL_E_INVALIDPICTURE, "it does not begin with an IHDR chunk"};
      }
      if (auto refused = CheckSize(Be32(data), Be32(data + 4))) {
        return refused;
      }
      first = false;
    }
    sawData = sawData || type == "IDAT";
    at += 12 + static_cast<std::size_t>(length);
    if (type == "IEND") {
      break;
    }
  }
  if (!sawData) {
    return Refusal{CTL_E_INVALIDPICTURE, "it has no image data"};
  }
  return std::nullopt;
}

namespace {

struct MemoryReader {
  const std::vector<BYTE>* file;
  std::size_t at = 0;
};

cairo_status_t ReadFromMemory(void* closure, unsigned char* data, unsigned int length)
{
  auto* reader = static_cast<MemoryReader*>(closure);
  if (reader->file->size() - reader->at < length) {
    return CAIRO_STATUS_READ_ERROR;
  }
  std::memcpy(data, reader->file->data() + reader->at, length);
  reader->at += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::optional<PngPixels> DecodePng(const std::vector<BYTE>& file)
{
  MemoryReader reader{&file};
  cairo_surface_t* png = cairo_image_surface_create_from_png_stream(&ReadFromMemory, &reader);
  std::optional<PngPixels> decoded;
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(png);
    decoded.emplace();
    decoded->width = cairo_image_surface_get_width(png);
    decoded->height = cairo_image_surface_get_height(png);
    const int stride = cairo_image_surface_get_stride(png);
    const unsigned char* pixels = cairo_image_surface_get_data(png);
    const bool alphaFormat = cairo_image_surface_get_format(png) == CAIRO_FORMAT_ARGB32;
    const auto width = static_cast<std::size_t>(decoded->width);
    decoded->pixels.resize(width * static_cast<std::size_t>(decoded->height));
    for (int y = 0; y < decoded->height; ++y) {
      std::uint32_t* row = decoded->pixels.data() + static_cast<std::size_t>(y) * width;
      std::memcpy(row, pixels + static_cast<std::size_t>(y) * stride, width * 4);
      for (std::size_t x = 0; x < width; ++x) {
        if (!alphaFormat) {
          row[x] |= 0xFF000000u;
        } else if ((row[x] >> 24) != 0xFF) {
          decoded->hasAlpha = true;
        }
      }
    }
  }
  cairo_surface_destroy(png);
  return decoded;
}

}  // namespace picture_bytes
