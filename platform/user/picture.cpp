// OLE pictures from .bmp, .ico and .png files. Bitmaps and icons are made by LoadImage's readers once the file
// has passed the checks here; PNG pixels are decoded by Cairo.
#include "platform/user/picture.h"

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/gdi/windraw.h"
#include "platform/user/resources.h"

#include <cairo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// A button image is tens of pixels across; these bound what a picture file may make us allocate.
constexpr off_t kMaxFileBytes = 16 << 20;
constexpr std::uint32_t kMaxSide = 4096;
constexpr std::uint64_t kMaxPixels = 4u << 20;

struct Refusal {
  HRESULT code;
  std::string why;
};

std::uint16_t Le16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const BYTE* p) { return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | std::uint32_t{p[3]} << 24; }
std::uint32_t Be32(const BYTE* p) { return std::uint32_t{p[0]} << 24 | static_cast<std::uint32_t>(p[1] << 16 | p[2] << 8 | p[3]); }

std::optional<Refusal> CheckSize(std::uint64_t width, std::uint64_t height)
{
  if (width == 0 || height == 0) {
    return Refusal{CTL_E_INVALIDPICTURE, "it has no pixels"};
  }
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
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
  const std::uint64_t start = bitsAt != 0 ? bitsAt : headerSize + tableEntries * 4;
  const std::uint64_t needed = start + stride * (rows == 0 ? absHeight : rows);
  if (headerSize + tableEntries * 4 > available || needed > available) {
    return Refusal{CTL_E_INVALIDPICTURE, "its pixels are cut short"};
  }
  return std::nullopt;
}

// BITMAPFILEHEADER: "BM", DWORD file size, two reserved WORDs, DWORD offset of the pixels; then the DIB header.
std::optional<Refusal> CheckBmp(const std::vector<BYTE>& file)
{
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

// A top-down 32-bit DIB section of the PNG's pixels, alpha premultiplied as AlphaBlend takes it.
HBITMAP BitmapFromPng(const std::vector<BYTE>& file, bool& hasAlpha)
{
  MemoryReader reader{&file};
  cairo_surface_t* png = cairo_image_surface_create_from_png_stream(&ReadFromMemory, &reader);
  HBITMAP bitmap = nullptr;
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(png);
    const int width = cairo_image_surface_get_width(png);
    const int height = cairo_image_surface_get_height(png);
    const int stride = cairo_image_surface_get_stride(png);
    const unsigned char* pixels = cairo_image_surface_get_data(png);
    const bool alphaFormat = cairo_image_surface_get_format(png) == CAIRO_FORMAT_ARGB32;
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
      hasAlpha = false;
      for (int y = 0; y < height; ++y) {
        auto* row = static_cast<std::uint32_t*>(bits) + static_cast<std::size_t>(y) * width;
        std::memcpy(row, pixels + static_cast<std::size_t>(y) * stride, static_cast<std::size_t>(width) * 4);
        for (int x = 0; x < width; ++x) {
          if (!alphaFormat) {
            row[x] |= 0xFF000000u;
          } else if ((row[x] >> 24) != 0xFF) {
            hasAlpha = true;
          }
        }
      }
    }
  }
  cairo_surface_destroy(png);
  return bitmap;
}

LONG ToHimetric(LONG pixels) { return static_cast<LONG>((static_cast<std::int64_t>(pixels) * 2540 + 48) / 96); }

class Picture final : public IPicture {
public:
  Picture(HBITMAP bitmap, bool hasAlpha) : bitmap_(bitmap), hasAlpha_(hasAlpha)
  {
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    size_ = SIZE{info.bmWidth, info.bmHeight};
  }
  Picture(HICON icon, SIZE size) : icon_(icon), size_(size) {}

  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IPicture) {
      *object = static_cast<IPicture*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override
  {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT get_Handle(OLE_HANDLE* handle) override
  {
    if (handle == nullptr) {
      return E_POINTER;
    }
    *handle = icon_ != nullptr ? reinterpret_cast<OLE_HANDLE>(icon_) : reinterpret_cast<OLE_HANDLE>(bitmap_);
    return S_OK;
  }
  HRESULT get_hPal(OLE_HANDLE* palette) override
  {
    if (palette == nullptr) {
      return E_POINTER;
    }
    *palette = 0;
    return S_OK;
  }
  HRESULT get_Type(SHORT* type) override
  {
    if (type == nullptr) {
      return E_POINTER;
    }
    *type = icon_ != nullptr ? PICTYPE_ICON : PICTYPE_BITMAP;
    return S_OK;
  }
  HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) override
  {
    if (width == nullptr) {
      return E_POINTER;
    }
    *width = ToHimetric(size_.cx);
    return S_OK;
  }
  HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) override
  {
    if (height == nullptr) {
      return E_POINTER;
    }
    *height = ToHimetric(size_.cy);
    return S_OK;
  }

  HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                 OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, const RECT*) override
  {
    if (dc == nullptr || cx == 0 || cy == 0) {
      return E_INVALIDARG;
    }
    if (icon_ != nullptr) {
      return DrawIconEx(dc, x, y, icon_, cx, cy, 0, nullptr, DI_NORMAL) ? S_OK : E_FAIL;
    }
    const LONG widthHm = ToHimetric(size_.cx);
    const LONG heightHm = ToHimetric(size_.cy);
    if (widthHm == 0 || heightHm == 0) {
      return E_FAIL;
    }
    auto toX = [&](LONG hm) { return static_cast<int>(static_cast<std::int64_t>(hm) * size_.cx / widthHm); };
    auto toY = [&](LONG hm) {
      return static_cast<int>(static_cast<std::int64_t>(heightHm - hm) * size_.cy / heightHm);
    };
    int left = toX(xSrc);
    int right = toX(xSrc + cxSrc);
    int top = toY(ySrc);
    int bottom = toY(ySrc + cySrc);
    if (right < left) {
      std::swap(left, right);
    }
    if (bottom < top) {
      std::swap(top, bottom);
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap_);
    BOOL done = FALSE;
    if (hasAlpha_) {
      BLENDFUNCTION blend{};
      blend.SourceConstantAlpha = 255;
      blend.AlphaFormat = AC_SRC_ALPHA;
      done = AlphaBlend(dc, x, y, cx, cy, source, left, top, right - left, bottom - top, blend);
    } else {
      done = StretchBlt(dc, x, y, cx, cy, source, left, top, right - left, bottom - top, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
    return done ? S_OK : E_FAIL;
  }

  HRESULT set_hPal(OLE_HANDLE) override { return E_NOTIMPL; }
  HRESULT get_CurDC(HDC* dc) override
  {
    if (dc != nullptr) {
      *dc = nullptr;
    }
    return E_NOTIMPL;
  }
  HRESULT SelectPicture(HDC, HDC*, OLE_HANDLE*) override { return E_NOTIMPL; }
  HRESULT get_KeepOriginalFormat(BOOL* keep) override
  {
    if (keep == nullptr) {
      return E_POINTER;
    }
    *keep = FALSE;
    return S_OK;
  }
  HRESULT put_KeepOriginalFormat(BOOL) override { return S_OK; }
  HRESULT PictureChanged() override { return S_OK; }
  HRESULT SaveAsFile(LPSTREAM, BOOL, LONG*) override { return E_NOTIMPL; }
  HRESULT get_Attributes(DWORD* attributes) override
  {
    if (attributes == nullptr) {
      return E_POINTER;
    }
    *attributes = icon_ != nullptr || hasAlpha_ ? PICTURE_TRANSPARENT : 0;
    return S_OK;
  }

private:
  ~Picture()
  {
    if (icon_ != nullptr) {
      DestroyIcon(icon_);
    }
    if (bitmap_ != nullptr) {
      DeleteObject(bitmap_);
    }
  }

  HBITMAP bitmap_ = nullptr;
  HICON icon_ = nullptr;
  bool hasAlpha_ = false;
  SIZE size_{};
  std::atomic<ULONG> references_{1};
};

HRESULT Refuse(const std::string& path, const Refusal& refusal)
{
  std::fprintf(stderr, "tesmira: the picture %s was not loaded: %s\n", path.c_str(), refusal.why.c_str());
  return refusal.code;
}

// The whole file, when it is there, a regular file and not larger than a picture may be.
std::optional<std::vector<BYTE>> ReadPictureFile(const std::string& fileSystemPath, Refusal& refusal)
{
  const int fd = open(fileSystemPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    refusal = {CTL_E_FILENOTFOUND, std::strerror(errno)};
    return std::nullopt;
  }
  struct stat info {};
  std::optional<std::vector<BYTE>> bytes;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    refusal = {CTL_E_FILENOTFOUND, "it is not a file"};
  } else if (info.st_size > kMaxFileBytes) {
    refusal = {CTL_E_OUTOFMEMORY, "the file is " + std::to_string(info.st_size) + " bytes, more than a picture may be"};
  } else {
    bytes.emplace(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes->size()) {
      const ssize_t n = read(fd, bytes->data() + got, bytes->size() - got);
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    if (got != bytes->size()) {
      refusal = {CTL_E_INVALIDPICTURE, "the file could not be read whole"};
      bytes.reset();
    }
  }
  close(fd);
  return bytes;
}

}  // namespace

HRESULT OleLoadPicturePath(LPCOLESTR path, IUnknown*, DWORD, OLE_COLOR, REFIID iid, void** picture)
{
  if (picture == nullptr) {
    return E_POINTER;
  }
  *picture = nullptr;
  if (path == nullptr || path[0] == u'\0') {
    return E_INVALIDARG;
  }
  if (iid != IID_IPicture && iid != IID_IUnknown) {
    return E_NOINTERFACE;
  }
  const std::string programPath = codepage::Utf16ToCp1251(path);
  const std::string shown = codepage::Utf16ToUtf8(path);
  Refusal refusal{CTL_E_INVALIDPICTURE, ""};
  const std::optional<std::vector<BYTE>> file = ReadPictureFile(platform::ToFileSystemPath(programPath), refusal);
  if (!file) {
    return Refuse(shown, refusal);
  }
  static const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Picture* made = nullptr;
  if (file->size() >= 2 && (*file)[0] == 'B' && (*file)[1] == 'M') {
    if (auto refused = CheckBmp(*file)) {
      return Refuse(shown, *refused);
    }
    auto bitmap = static_cast<HBITMAP>(
        LoadImage(nullptr, programPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap != nullptr) {
      made = new Picture(bitmap, false);
    }
  } else if (file->size() >= 6 && Le16(file->data()) == 0 && Le16(file->data() + 2) == 1) {
    SIZE largest{};
    if (auto refused = CheckIco(*file, largest)) {
      return Refuse(shown, *refused);
    }
    auto icon = static_cast<HICON>(
        LoadImage(nullptr, programPath.c_str(), IMAGE_ICON, largest.cx, largest.cy, LR_LOADFROMFILE));
    if (icon != nullptr) {
      made = new Picture(icon, largest);
    }
  } else if (file->size() >= 8 && std::memcmp(file->data(), kPngSignature, 8) == 0) {
    if (auto refused = CheckPng(*file)) {
      return Refuse(shown, *refused);
    }
    bool hasAlpha = false;
    HBITMAP bitmap = BitmapFromPng(*file, hasAlpha);
    if (bitmap != nullptr) {
      made = new Picture(bitmap, hasAlpha);
    }
  } else {
    return Refuse(shown, {CTL_E_INVALIDPICTURE, "it is not a bitmap, icon or PNG picture"});
  }
  if (made == nullptr) {
    return Refuse(shown, {CTL_E_INVALIDPICTURE, "its pixels could not be read"});
  }
  const HRESULT hr = made->QueryInterface(iid, picture);
  made->Release();
  return hr;
}
