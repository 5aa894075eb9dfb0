// Device-independent bitmaps: rows of 1, 4, 8, 24 or 32 bits per pixel (colour-table indexes below 16 bits),
// each row padded to 4 bytes, bottom row first when biHeight is positive and top row first when negative.
#include "platform/gdi/dc.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace gdi;

namespace {

int DibStride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

int ColorTableSize(const BITMAPINFOHEADER& h)
{
  if (h.biBitCount > 8) {
    return 0;
  }
  return h.biClrUsed != 0 ? static_cast<int>(std::min<DWORD>(h.biClrUsed, 256)) : 1 << h.biBitCount;
}

bool ValidHeader(const BITMAPINFOHEADER& h)
{
  constexpr LONG kMaxSide = 1 << 15;
  const WORD bpp = h.biBitCount;
  return h.biWidth > 0 && h.biWidth <= kMaxSide && h.biHeight != 0 && h.biHeight >= -kMaxSide &&
         h.biHeight <= kMaxSide && h.biCompression == BI_RGB &&
         (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32);
}

// Decodes `lines` rows of a DIB, starting `start` rows from its first stored row, into top-down pixels written
// to rows of `out` (height = |biHeight|); rows not given stay as they are.
void DecodeRows(const BITMAPINFO* info, const void* bits, UINT start, UINT lines, const PixelView& out)
{
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int width = std::min<int>(h.biWidth, out.width);
  const int height = std::abs(h.biHeight);
  const bool bottomUp = h.biHeight > 0;
  const int stride = DibStride(h.biWidth, h.biBitCount);
  const RGBQUAD* table = info->bmiColors;
  const int tableSize = ColorTableSize(h);
  auto fromTable = [&](int index) -> std::uint32_t {
    if (index >= tableSize) {
      return 0;
    }
    const RGBQUAD& q = table[index];
    return (static_cast<std::uint32_t>(q.rgbRed) << 16) | (q.rgbGreen << 8) | q.rgbBlue;
  };
  const BYTE* base = static_cast<const BYTE*>(bits);
  for (UINT i = 0; i < lines; ++i) {
    const int stored = static_cast<int>(start + i);
    if (stored >= height) {
      break;
    }
    const int y = bottomUp ? height - 1 - stored : stored;
    if (y < 0 || y >= out.height) {
      continue;
    }
    const BYTE* row = base + static_cast<std::ptrdiff_t>(i) * stride;
    std::uint32_t* dst = out.Row(y);
    for (int x = 0; x < width; ++x) {
      switch (h.biBitCount) {
      case 1:
        dst[x] = fromTable((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
      case 4:
        dst[x] = fromTable((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
        break;
      case 8:
        dst[x] = fromTable(row[x]);
        break;
      case 24:
        dst[x] = row[x * 3] | (row[x * 3 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 3 + 2]) << 16);
        break;
      default:
        std::memcpy(&dst[x], row + x * 4, 4);
        break;
      }
    }
  }
}

// Decodes one stored row, given its bytes and its index among the DIB's stored rows.
void DecodeRowAt(const BITMAPINFO* info, const BYTE* row, UINT stored, const PixelView& out)
{
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int height = std::abs(h.biHeight);
  if (static_cast<int>(stored) >= height) {
    return;
  }
  // Present the row as a one-row DIB stored top-down and decode it into the matching output row.
  const int y = h.biHeight > 0 ? height - 1 - static_cast<int>(stored) : static_cast<int>(stored);
  if (y < 0 || y >= out.height) {
    return;
  }
  PixelView one = out;
  one.top = out.Row(y);
  one.height = 1;
  BITMAPINFOHEADER single = h;
  single.biHeight = -1;
  std::vector<BYTE> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  std::memcpy(buffer.data(), &single, sizeof single);
  std::memcpy(buffer.data() + sizeof single, info->bmiColors, ColorTableSize(h) * sizeof(RGBQUAD));
  DecodeRows(reinterpret_cast<const BITMAPINFO*>(buffer.data()), row, 0, 1, one);
}

// The DIB decoded into a new top-down 32-bit bitmap.
std::shared_ptr<Bitmap> DecodeDib(const BITMAPINFO* info, const void* bits, UINT start, UINT lines)
{
  if (info == nullptr || bits == nullptr || !ValidHeader(info->bmiHeader)) {
    return nullptr;
  }
  auto b = std::make_shared<Bitmap>(info->bmiHeader.biWidth, std::abs(info->bmiHeader.biHeight), 32);
  DecodeRows(info, bits, start, lines, b->View());
  return b;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD)
{
  if (bits != nullptr) {
    *bits = nullptr;
  }
  // 32- and 24-bit sections in our own memory: every section the program makes is one of these.
  if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr || !ValidHeader(info->bmiHeader) ||
      (info->bmiHeader.biBitCount != 32 && info->bmiHeader.biBitCount != 24)) {
    return nullptr;
  }
  auto b = std::make_shared<Bitmap>(info->bmiHeader.biWidth, std::abs(info->bmiHeader.biHeight), 32);
  b->dibSection = true;
  b->bottomUp = info->bmiHeader.biHeight > 0;
  if (info->bmiHeader.biBitCount == 24) {
    b->dibBytes.assign(static_cast<std::size_t>(b->DibStride()) * b->height, 0);
  }
  if (bits != nullptr) {
    *bits = b->dibBytes.empty() ? static_cast<void*>(b->pixels.data()) : b->dibBytes.data();
  }
  return Register(b);
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
  auto b = LookupAs<Bitmap>(bitmap);
  if (!b || info == nullptr || bits == nullptr || usage != DIB_RGB_COLORS || !ValidHeader(info->bmiHeader)) {
    return 0;
  }
  // Rows are counted from the DIB's first stored row; the bitmap may be shorter or narrower.
  PixelView v = b->View();
  const int height = std::abs(info->bmiHeader.biHeight);
  if (info->bmiHeader.biHeight > 0 && height != b->height) {
    // Bottom-up rows align with the bitmap's bottom.
    PixelView shifted = v;
    shifted.top = v.Row(b->height - height);
    shifted.height = height;
    if (b->height < height) {
      return 0;
    }
    DecodeRows(info, bits, start, lines, shifted);
  } else {
    DecodeRows(info, bits, start, lines, v);
  }
  if (b->Mono()) {
    for (int y = 0; y < b->height; ++y) {
      for (int x = 0; x < b->width; ++x) {
        std::uint32_t& p = v.Row(y)[x];
        const int sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        p = sum >= 384 ? 0xFFFFFFu : 0u;
      }
    }
  }
  return static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(height) - std::min<UINT>(start, height)));
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage)
{
  if (header == nullptr) {
    return nullptr;
  }
  // A device-dependent bitmap takes the DC's format, whatever the header's depth.
  HDC__* d = LookupDC(dc);
  HBITMAP b = CreateBitmap(header->biWidth, std::abs(header->biHeight), 1, d != nullptr && d->Mono() ? 1 : 32, nullptr);
  if (b != nullptr && (init & CBM_INIT) != 0) {
    SetDIBits(dc, b, 0, static_cast<UINT>(std::abs(header->biHeight)), bits, info, usage);
  }
  return b;
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage)
{
  auto b = LookupAs<Bitmap>(bitmap);
  if (!b || info == nullptr || usage != DIB_RGB_COLORS) {
    return 0;
  }
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (bits == nullptr && h.biBitCount == 0) {
    // Describe the bitmap.
    h.biWidth = b->width;
    h.biHeight = b->height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(b->bitsPerPixel);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(b->width, b->bitsPerPixel) * b->height);
    return 1;
  }
  const WORD bpp = h.biBitCount;
  if (bpp != 1 && bpp != 24 && bpp != 32) {
    return 0;
  }
  if (h.biWidth <= 0) {
    h.biWidth = b->width;
  }
  if (h.biHeight == 0) {
    h.biHeight = b->height;
  }
  const int stride = DibStride(h.biWidth, bpp);
  const int height = std::abs(h.biHeight);
  h.biSizeImage = static_cast<DWORD>(stride * height);
  if (bpp == 1) {
    info->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    // Callers asking for 1-bit rows allocate room for both table entries.
    (&info->bmiColors[0])[1] = RGBQUAD{255, 255, 255, 0};
  }
  if (bits == nullptr) {
    return height;
  }
  const bool bottomUp = h.biHeight > 0;
  PixelView v = b->View();
  BYTE* out = static_cast<BYTE*>(bits);
  int copied = 0;
  for (UINT i = 0; i < lines; ++i) {
    const int stored = static_cast<int>(start + i);
    if (stored >= height) {
      break;
    }
    const int y = bottomUp ? height - 1 - stored : stored;
    BYTE* row = out + static_cast<std::ptrdiff_t>(i) * stride;
    std::memset(row, 0, static_cast<std::size_t>(stride));
    if (y < b->height) {
      const std::uint32_t* src = v.Row(y);
      const int width = std::min<int>(h.biWidth, b->width);
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = src[x];
        if (bpp == 32) {
          std::memcpy(row + x * 4, &p, 4);
        } else if (bpp == 24) {
          row[x * 3] = static_cast<BYTE>(p & 0xFF);
          row[x * 3 + 1] = static_cast<BYTE>((p >> 8) & 0xFF);
          row[x * 3 + 2] = static_cast<BYTE>((p >> 16) & 0xFF);
        } else {
          const int sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
          if (sum >= 384) {
            row[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
          }
        }
      }
    }
    ++copied;
  }
  return copied;
}

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
  if (usage != DIB_RGB_COLORS || info == nullptr) {
    return 0;
  }
  auto b = DecodeDib(info, bits, 0, static_cast<UINT>(std::abs(info->bmiHeader.biHeight)));
  if (!b) {
    return 0;
  }
  HBITMAP handle = Register(b);
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, handle);
  // Source coordinates count from the DIB's lower-left corner when it is stored bottom-up.
  const int top = info->bmiHeader.biHeight > 0 ? b->height - ySrc - srcHeight : ySrc;
  const BOOL ok = StretchBlt(dc, xDest, yDest, destWidth, destHeight, mem, xSrc, top, srcWidth, srcHeight, rop);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(handle);
  return ok ? std::abs(srcHeight) : 0;
}

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
  if (usage != DIB_RGB_COLORS || info == nullptr || bits == nullptr || !ValidHeader(info->bmiHeader)) {
    return 0;
  }
  auto b = std::make_shared<Bitmap>(info->bmiHeader.biWidth, std::abs(info->bmiHeader.biHeight), 32);
  // The bits hold only scans startScan .. startScan + lines - 1, counted from the DIB's first stored row.
  const int stride = DibStride(info->bmiHeader.biWidth, info->bmiHeader.biBitCount);
  for (UINT i = 0; i < lines; ++i) {
    DecodeRowAt(info, static_cast<const BYTE*>(bits) + static_cast<std::ptrdiff_t>(i) * stride, startScan + i,
                b->View());
  }
  HBITMAP handle = Register(b);
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, handle);
  const int top = info->bmiHeader.biHeight > 0 ? b->height - ySrc - static_cast<int>(height) : ySrc;
  const BOOL ok = BitBlt(dc, xDest, yDest, static_cast<int>(width), static_cast<int>(height), mem, xSrc, top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(handle);
  return ok ? static_cast<int>(lines) : 0;
}

HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage)
{
  if (packedDib == nullptr || usage != DIB_RGB_COLORS) {
    return nullptr;
  }
  const auto* info = static_cast<const BITMAPINFO*>(packedDib);
  if (!ValidHeader(info->bmiHeader)) {
    return nullptr;
  }
  const BYTE* bits = reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize +
                     ColorTableSize(info->bmiHeader) * sizeof(RGBQUAD);
  auto b = DecodeDib(info, bits, 0, static_cast<UINT>(std::abs(info->bmiHeader.biHeight)));
  if (!b) {
    return nullptr;
  }
  HBITMAP handle = Register(b);
  HBRUSH brush = CreatePatternBrush(handle);
  DeleteObject(handle);
  return brush;
}
