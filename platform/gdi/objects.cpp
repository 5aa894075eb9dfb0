#include "platform/gdi/objects.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/handle_table.h"
#include "platform/gdi/windraw.h"

#include <array>
#include <cstring>
#include <algorithm>
#include <mutex>

namespace gdi {

namespace {

using ObjectTable = HandleTable<std::shared_ptr<HGDIOBJ__>, HandleTag::Object>;

ObjectTable& Objects()
{
  static ObjectTable* table = new ObjectTable;  // outlives static destructors that may still delete objects
  return *table;
}

std::uintptr_t Value(HGDIOBJ handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

HGDIOBJ Register(std::shared_ptr<HGDIOBJ__> object)
{
  if (!object) {
    return nullptr;
  }
  HGDIOBJ__* raw = object.get();
  HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(Objects().Add(std::move(object)));
  raw->handle = handle;
  return handle;
}

std::shared_ptr<HGDIOBJ__> Lookup(HGDIOBJ handle)
{
  FlushDibSections();
  if (handle == nullptr) {
    return nullptr;
  }
  return Objects().With(Value(handle), std::shared_ptr<HGDIOBJ__>{},
                        [](const std::shared_ptr<HGDIOBJ__>& object) { return object; });
}

bool Unregister(HGDIOBJ handle) { return Objects().Remove(Value(handle)) != nullptr; }

HGDIOBJ HandleOf(const HGDIOBJ__* object) { return object != nullptr ? object->handle : nullptr; }

Bitmap::Bitmap(int w, int h, int bpp)
    : HGDIOBJ__(OBJ_BITMAP), width(w), height(h), bitsPerPixel(bpp),
      pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u)
{
}

namespace {

struct PendingDibs {
  std::mutex mutex;
  std::vector<Bitmap*> bitmaps;
};

PendingDibs& Pending()
{
  static PendingDibs* pending = new PendingDibs;
  return *pending;
}

}  // namespace

void FlushDibSections()
{
  PendingDibs& p = Pending();
  std::vector<Bitmap*> due;
  {
    std::lock_guard lock(p.mutex);
    if (p.bitmaps.empty()) {
      return;
    }
    due.swap(p.bitmaps);
  }
  for (Bitmap* b : due) {
    b->WriteBack();
  }
}

Bitmap::~Bitmap()
{
  PendingDibs& p = Pending();
  std::lock_guard lock(p.mutex);
  std::erase(p.bitmaps, this);
}

void Bitmap::WriteBack()
{
  if (!shadowLive) {
    return;
  }
  shadowLive = false;
  const int stride = DibStride();
  for (int y = 0; y < height; ++y) {
    const int stored = bottomUp ? height - 1 - y : y;
    std::uint8_t* row = dibBytes.data() + static_cast<std::ptrdiff_t>(stored) * stride;
    const std::uint32_t* src = pixels.data() + static_cast<std::ptrdiff_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<std::uint8_t>(src[x] & 0xFF);
      row[x * 3 + 1] = static_cast<std::uint8_t>((src[x] >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<std::uint8_t>((src[x] >> 16) & 0xFF);
    }
  }
}

PixelView Bitmap::View()
{
  if (pixels.empty()) {
    return {};
  }
  if (!dibBytes.empty()) {
    if (!shadowLive) {
      const int stride = DibStride();
      for (int y = 0; y < height; ++y) {
        const int stored = bottomUp ? height - 1 - y : y;
        const std::uint8_t* row = dibBytes.data() + static_cast<std::ptrdiff_t>(stored) * stride;
        std::uint32_t* dst = pixels.data() + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x) {
          dst[x] = row[x * 3] | (row[x * 3 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 3 + 2]) << 16);
        }
      }
      shadowLive = true;
      PendingDibs& p = Pending();
      std::lock_guard lock(p.mutex);
      p.bitmaps.push_back(this);
    }
    return {pixels.data(), width, width, height};
  }
  if (bottomUp) {
    return {pixels.data() + static_cast<std::ptrdiff_t>(height - 1) * width, -static_cast<std::ptrdiff_t>(width),
            width, height};
  }
  return {pixels.data(), width, width, height};
}

namespace {

std::shared_ptr<Pen> MakePen(int style, int width, COLORREF color)
{
  auto pen = std::make_shared<Pen>();
  pen->fullStyle = static_cast<DWORD>(style);
  pen->style = style & PS_STYLE_MASK;
  pen->width = width < 1 ? 1 : width;
  pen->color = color & 0x00FFFFFF;
  return pen;
}

std::shared_ptr<Brush> MakeSolidBrush(COLORREF color)
{
  auto brush = std::make_shared<Brush>();
  brush->color = color & 0x00FFFFFF;
  return brush;
}

LOGFONTA StockLogFont(const char* face, LONG height, LONG weight)
{
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = RUSSIAN_CHARSET;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

HGDIOBJ MakeStock(std::shared_ptr<HGDIOBJ__> object)
{
  object->stock = true;
  return Register(std::move(object));
}

std::array<HGDIOBJ, 20> MakeStockObjects()
{
  std::array<HGDIOBJ, 20> stock{};
  {
    // The twenty static colours of the system palette.
    static const BYTE kStatic[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                                         {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                                         {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                                         {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                         {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    auto palette = std::make_shared<Palette>();
    for (const auto& c : kStatic) {
      palette->entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
    }
    stock[DEFAULT_PALETTE] = MakeStock(palette);
  }
  stock[WHITE_BRUSH] = MakeStock(MakeSolidBrush(RGB(255, 255, 255)));
  stock[LTGRAY_BRUSH] = MakeStock(MakeSolidBrush(RGB(192, 192, 192)));
  stock[GRAY_BRUSH] = MakeStock(MakeSolidBrush(RGB(128, 128, 128)));
  stock[DKGRAY_BRUSH] = MakeStock(MakeSolidBrush(RGB(64, 64, 64)));
  stock[BLACK_BRUSH] = MakeStock(MakeSolidBrush(RGB(0, 0, 0)));
  auto nullBrush = std::make_shared<Brush>();
  nullBrush->style = BS_NULL;
  stock[NULL_BRUSH] = MakeStock(nullBrush);
  stock[WHITE_PEN] = MakeStock(MakePen(PS_SOLID, 1, RGB(255, 255, 255)));
  stock[BLACK_PEN] = MakeStock(MakePen(PS_SOLID, 1, RGB(0, 0, 0)));
  stock[NULL_PEN] = MakeStock(MakePen(PS_NULL, 1, 0));
  auto font = [](const char* face, LONG height, LONG weight) {
    auto f = std::make_shared<Font>();
    f->logFont = StockLogFont(face, height, weight);
    return MakeStock(f);
  };
  stock[OEM_FIXED_FONT] = font("Courier New", -13, FW_NORMAL);
  stock[ANSI_FIXED_FONT] = font("Courier New", -13, FW_NORMAL);
  stock[ANSI_VAR_FONT] = font("MS Sans Serif", -11, FW_NORMAL);
  stock[SYSTEM_FONT] = font("MS Sans Serif", 16, FW_BOLD);
  stock[DEVICE_DEFAULT_FONT] = font("MS Sans Serif", 16, FW_BOLD);
  stock[SYSTEM_FIXED_FONT] = font("Courier New", 16, FW_NORMAL);
  stock[DEFAULT_GUI_FONT] = font("MS Shell Dlg", -11, FW_NORMAL);
  auto dcBrush = MakeSolidBrush(RGB(255, 255, 255));
  dcBrush->dcBrush = true;
  stock[DC_BRUSH] = MakeStock(dcBrush);
  auto dcPen = MakePen(PS_SOLID, 1, 0);
  dcPen->dcPen = true;
  stock[DC_PEN] = MakeStock(dcPen);
  return stock;
}

}  // namespace

// The 1 x 1 monochrome bitmap every new memory DC starts with.
HBITMAP StockBitmap()
{
  static HBITMAP bitmap = [] {
    auto b = std::make_shared<Bitmap>(1, 1, 1);
    b->pixels[0] = 0;
    return MakeStock(b);
  }();
  return bitmap;
}

}  // namespace gdi

using namespace gdi;

HGDIOBJ GetStockObject(int index)
{
  static const std::array<HGDIOBJ, 20> stock = MakeStockObjects();
  if (index < 0 || index >= static_cast<int>(stock.size())) {
    return nullptr;
  }
  return stock[index];
}

int GetObjectType(HGDIOBJ object)
{
  auto o = Lookup(object);
  if (o) {
    return o->objectType;
  }
  HDC__* dc = LookupDC(reinterpret_cast<HDC>(object));
  if (dc != nullptr) {
    return dc->kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

BOOL DeleteObject(HGDIOBJ object)
{
  auto o = Lookup(object);
  if (!o) {
    return FALSE;
  }
  if (o->stock) {
    return TRUE;
  }
  return Unregister(object) ? TRUE : FALSE;
}

BOOL UnrealizeObject(HGDIOBJ object) { return Lookup(object) ? TRUE : FALSE; }

HPEN CreatePen(int style, int width, COLORREF color)
{
  if ((style & PS_STYLE_MASK) > PS_ALTERNATE) {
    return nullptr;
  }
  return Register(MakePen(style, width, color));
}

HPEN CreatePenIndirect(const LOGPEN* pen)
{
  if (pen == nullptr) {
    return nullptr;
  }
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles)
{
  if (brush == nullptr) {
    return nullptr;
  }
  auto pen = MakePen(static_cast<int>(style), static_cast<int>(width), brush->lbColor);
  if ((style & PS_TYPE_MASK) == static_cast<DWORD>(PS_COSMETIC)) {
    pen->width = 1;
  }
  if (pen->style == PS_USERSTYLE) {
    if (styles == nullptr || styleCount == 0 || styleCount > 16) {
      return nullptr;
    }
    pen->userStyle.assign(styles, styles + styleCount);
  }
  if (brush->lbStyle == BS_NULL) {
    pen->style = PS_NULL;
  }
  return Register(pen);
}

HBRUSH CreateSolidBrush(COLORREF color) { return Register(MakeSolidBrush(color)); }

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) {
    return nullptr;
  }
  auto brush = MakeSolidBrush(color);
  brush->style = BS_HATCHED;
  brush->hatch = hatch;
  return Register(brush);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
  auto b = LookupAs<Bitmap>(bitmap);
  if (!b || b->width <= 0 || b->height <= 0) {
    return nullptr;
  }
  auto brush = std::make_shared<Brush>();
  brush->style = BS_PATTERN;
  brush->patternWidth = b->width;
  brush->patternHeight = b->height;
  brush->monoPattern = b->Mono();
  PixelView v = b->View();
  brush->pattern.resize(static_cast<std::size_t>(b->width) * b->height);
  for (int y = 0; y < b->height; ++y) {
    std::copy_n(v.Row(y), b->width, brush->pattern.begin() + static_cast<std::ptrdiff_t>(y) * b->width);
  }
  return Register(brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush)
{
  if (brush == nullptr) {
    return nullptr;
  }
  switch (brush->lbStyle) {
  case BS_SOLID:
    return CreateSolidBrush(brush->lbColor);
  case BS_NULL: {
    auto b = std::make_shared<Brush>();
    b->style = BS_NULL;
    return Register(b);
  }
  case BS_HATCHED:
    return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
  case BS_PATTERN:
    return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
  case BS_DIBPATTERNPT:
    return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(brush->lbHatch), brush->lbColor & 0xFFFF);
  default:
    return nullptr;
  }
}

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
  if (font == nullptr) {
    return nullptr;
  }
  auto f = std::make_shared<Font>();
  f->logFont = *font;
  f->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  return Register(f);
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName)
{
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  lf.lfUnderline = static_cast<BYTE>(underline);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName != nullptr) {
    std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  }
  return CreateFontIndirectA(&lf);
}

int GetObjectA(HGDIOBJ object, int size, LPVOID out)
{
  auto o = Lookup(object);
  if (!o) {
    return 0;
  }
  auto give = [&](const auto& value) {
    const int need = static_cast<int>(sizeof(value));
    if (out == nullptr) {
      return need;
    }
    const int n = size < need ? size : need;
    if (n <= 0) {
      return 0;
    }
    std::memcpy(out, &value, static_cast<std::size_t>(n));
    return n;
  };
  if (auto pen = std::dynamic_pointer_cast<Pen>(o)) {
    LOGPEN lp;
    lp.lopnStyle = pen->fullStyle;
    lp.lopnWidth.x = pen->width;
    lp.lopnColor = pen->color;
    return give(lp);
  }
  if (auto brush = std::dynamic_pointer_cast<Brush>(o)) {
    LOGBRUSH lb;
    lb.lbStyle = brush->style;
    lb.lbColor = brush->color;
    lb.lbHatch = static_cast<ULONG_PTR>(brush->hatch);
    return give(lb);
  }
  if (auto font = std::dynamic_pointer_cast<Font>(o)) {
    return give(font->logFont);
  }
  if (auto palette = std::dynamic_pointer_cast<Palette>(o)) {
    return give(static_cast<WORD>(palette->entries.size()));
  }
  if (auto bitmap = std::dynamic_pointer_cast<Bitmap>(o)) {
    BITMAP bm;
    bm.bmWidth = bitmap->width;
    bm.bmHeight = bitmap->height;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(bitmap->bitsPerPixel);
    bm.bmWidthBytes = bitmap->Mono() ? ((bitmap->width + 15) / 16) * 2 : bitmap->width * 4;
    if (bitmap->dibSection) {
      const bool rgb24 = !bitmap->dibBytes.empty();
      bm.bmBits = rgb24 ? static_cast<void*>(bitmap->dibBytes.data()) : bitmap->pixels.data();
      bm.bmBitsPixel = rgb24 ? 24 : 32;
      bm.bmWidthBytes = rgb24 ? bitmap->DibStride() : bitmap->width * 4;
      if (size >= static_cast<int>(sizeof(DIBSECTION)) && out != nullptr) {
        DIBSECTION ds;
        ds.dsBm = bm;
        ds.dsBmih.biWidth = bitmap->width;
        ds.dsBmih.biHeight = bitmap->bottomUp ? bitmap->height : -bitmap->height;
        ds.dsBmih.biBitCount = bm.bmBitsPixel;
        ds.dsBmih.biSizeImage = static_cast<DWORD>(bm.bmWidthBytes * bitmap->height);
        return give(ds);
      }
    }
    return give(bm);
  }
  return 0;
}

// ---- Bitmaps

namespace {

std::shared_ptr<Bitmap> NewBitmap(int width, int height, int bpp)
{
  // Bitmaps beyond this many pixels are refused rather than allocated (256 megapixels, 1 GB).
  constexpr long long kMaxPixels = 1LL << 28;
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels) {
    return nullptr;
  }
  return std::make_shared<Bitmap>(width, height, bpp);
}

int MonoStride(int width) { return ((width + 15) / 16) * 2; }

void LoadMonoBits(Bitmap& b, const BYTE* bits, int stride)
{
  PixelView v = b.View();
  for (int y = 0; y < b.height; ++y) {
    const BYTE* row = bits + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < b.width; ++x) {
      v.Row(y)[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
    }
  }
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32)) {
    return nullptr;
  }
  auto b = NewBitmap(width, height, bitsPerPixel == 1 ? 1 : 32);
  if (!b) {
    return nullptr;
  }
  if (bits != nullptr) {
    if (bitsPerPixel == 1) {
      LoadMonoBits(*b, static_cast<const BYTE*>(bits), MonoStride(width));
    } else if (bitsPerPixel == 32) {
      std::memcpy(b->pixels.data(), bits, b->pixels.size() * 4);
    } else {
      const int stride = ((width * 3 + 1) / 2) * 2;
      const BYTE* p = static_cast<const BYTE*>(bits);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const BYTE* q = p + static_cast<std::ptrdiff_t>(y) * stride + x * 3;
          b->pixels[static_cast<std::size_t>(y) * width + x] = q[0] | (q[1] << 8) | (q[2] << 16);
        }
      }
    }
  }
  return Register(b);
}

HBITMAP CreateBitmapIndirect(const BITMAP* bitmap)
{
  if (bitmap == nullptr) {
    return nullptr;
  }
  return CreateBitmap(bitmap->bmWidth, bitmap->bmHeight, bitmap->bmPlanes, bitmap->bmBitsPixel, bitmap->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return nullptr;
  }
  if (width == 0 || height == 0) {
    return CreateBitmap(1, 1, 1, 1, nullptr);
  }
  return Register(NewBitmap(width, height, d->Mono() ? 1 : 32));
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits)
{
  auto b = LookupAs<Bitmap>(bitmap);
  if (!b) {
    return 0;
  }
  const int stride = b->Mono() ? MonoStride(b->width) : b->width * 4;
  const LONG total = static_cast<LONG>(stride) * b->height;
  if (bits == nullptr) {
    return total;
  }
  const int rows = size <= 0 ? 0 : std::min<LONG>(size / stride, b->height);
  PixelView v = b->View();
  BYTE* out = static_cast<BYTE*>(bits);
  for (int y = 0; y < rows; ++y) {
    BYTE* row = out + static_cast<std::ptrdiff_t>(y) * stride;
    if (b->Mono()) {
      std::memset(row, 0, static_cast<std::size_t>(stride));
      for (int x = 0; x < b->width; ++x) {
        if (v.Row(y)[x] & 0xFFFFFF) {
          row[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
        }
      }
    } else {
      std::memcpy(row, v.Row(y), static_cast<std::size_t>(stride));
    }
  }
  return rows * stride;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits)
{
  auto b = LookupAs<Bitmap>(bitmap);
  if (!b || bits == nullptr) {
    return 0;
  }
  const int stride = b->Mono() ? MonoStride(b->width) : b->width * 4;
  const int rows = std::min<LONG>(static_cast<LONG>(size / static_cast<DWORD>(stride)), b->height);
  PixelView v = b->View();
  const BYTE* in = static_cast<const BYTE*>(bits);
  for (int y = 0; y < rows; ++y) {
    const BYTE* row = in + static_cast<std::ptrdiff_t>(y) * stride;
    if (b->Mono()) {
      for (int x = 0; x < b->width; ++x) {
        v.Row(y)[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
      }
    } else {
      std::memcpy(v.Row(y), row, static_cast<std::size_t>(stride));
    }
  }
  return rows * stride;
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size)
{
  auto b = LookupAs<Bitmap>(bitmap);
  if (!b || size == nullptr) {
    return FALSE;
  }
  *size = b->dimension;
  return TRUE;
}

BOOL SetBitmapDimensionEx(HBITMAP bitmap, int width, int height, SIZE* old)
{
  auto b = LookupAs<Bitmap>(bitmap);
  if (!b) {
    return FALSE;
  }
  if (old != nullptr) {
    *old = b->dimension;
  }
  b->dimension = {width, height};
  return TRUE;
}

BOOL GdiFlush()
{
  FlushDibSections();
  return TRUE;
}

HPALETTE CreatePalette(const LOGPALETTE* palette)
{
  if (palette == nullptr || palette->palNumEntries == 0 || palette->palNumEntries > 256) {
    return nullptr;
  }
  auto p = std::make_shared<Palette>();
  p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return Register(p);
}

HPALETTE CreateHalftonePalette(HDC)
{
  // A 6 x 6 x 6 colour cube.
  auto p = std::make_shared<Palette>();
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        p->entries.push_back(
            PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(b * 51), 0});
      }
    }
  }
  return Register(p);
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL)
{
  HDC__* d = LookupDC(dc);
  auto p = LookupAs<Palette>(palette);
  if (d == nullptr || !p) {
    return nullptr;
  }
  HPALETTE previous = d->st.palette ? d->st.palette->handle : GetStockObject(DEFAULT_PALETTE);
  d->st.palette = p;
  return previous;
}

UINT RealizePalette(HDC dc) { return LookupDC(dc) != nullptr ? 0 : GDI_ERROR; }

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
  auto p = LookupAs<Palette>(palette);
  if (!p) {
    return 0;
  }
  if (entries == nullptr) {
    return static_cast<UINT>(p->entries.size());
  }
  UINT copied = 0;
  for (UINT i = start; i < p->entries.size() && copied < count; ++i, ++copied) {
    entries[copied] = p->entries[i];
  }
  return copied;
}
