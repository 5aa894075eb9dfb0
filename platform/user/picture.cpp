// OLE pictures from .bmp, .ico and .png files. Bitmaps and icons are made by LoadImage's readers once the file
// has passed the checks of picture_bytes; PNG pixels are decoded there too.
#include "platform/user/picture.h"

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/gdi/windraw.h"
#include "platform/user/picture_bytes.h"
#include "platform/user/resources.h"

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

using namespace picture_bytes;

// A button image is tens of pixels across; no picture file of one comes near this.
constexpr off_t kMaxFileBytes = 16 << 20;

// A top-down 32-bit DIB section of the PNG's pixels, alpha premultiplied as AlphaBlend takes it.
HBITMAP BitmapFromPng(const std::vector<BYTE>& file, bool& hasAlpha)
{
  std::optional<PngPixels> png = DecodePng(file);
  if (!png) {
    return nullptr;
  }
  BITMAPINFO info{};
  info.bmiHeader.biWidth = png->width;
  info.bmiHeader.biHeight = -png->height;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && bits != nullptr) {
    std::memcpy(bits, png->pixels.data(), png->pixels.size() * sizeof(std::uint32_t));
    hasAlpha = png->hasAlpha;
  }
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
  } else if (file->size() >= 6 && (*file)[0] == 0 && (*file)[1] == 0 && (*file)[2] == 1 && (*file)[3] == 0) {
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
