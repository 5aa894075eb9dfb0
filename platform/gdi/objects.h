// The objects behind GDI handles and the table that keeps them. A handle names a slot of the table and the
// slot's generation (handle_table.h); the table owns every live object through a shared pointer, so a DC that
// still has an object selected keeps it alive after DeleteObject has made its handle invalid.
#pragma once

#include "platform/gdi/region.h"
#include "platform/gdi/wingdi.h"

#include <cstdint>
#include <memory>
#include <vector>

struct HGDIOBJ__ {
  explicit HGDIOBJ__(int type) : objectType(type) {}
  virtual ~HGDIOBJ__() = default;
  const int objectType;
  // Stock objects ignore DeleteObject.
  bool stock = false;
  // The handle the table gave out (stale once the object was deleted); null before registration.
  HGDIOBJ handle = nullptr;
};

namespace gdi {

// Rows of 32-bit pixels in the surface's layout; stride in pixels, negative for bottom-up DIBs.
struct PixelView {
  std::uint32_t* top = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
  std::uint32_t* Row(int y) const { return top + y * stride; }
  bool Valid() const { return top != nullptr && width > 0 && height > 0; }
};

constexpr std::uint32_t PixelFromColor(COLORREF c)
{
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

struct Pen : HGDIOBJ__ {
  Pen() : HGDIOBJ__(OBJ_PEN) {}
  int style = PS_SOLID;  // PS_STYLE_MASK part
  DWORD fullStyle = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
  std::vector<DWORD> userStyle;
  bool dcPen = false;
};

struct Brush : HGDIOBJ__ {
  Brush() : HGDIOBJ__(OBJ_BRUSH) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  // Pattern brushes: a copy of the bitmap's pixels; a monochrome pattern takes the DC's colours when drawn.
  std::vector<std::uint32_t> pattern;
  int patternWidth = 0;
  int patternHeight = 0;
  bool monoPattern = false;
  bool dcBrush = false;
};

struct Font : HGDIOBJ__ {
  Font() : HGDIOBJ__(OBJ_FONT) {}
  LOGFONTA logFont;
};

struct Bitmap : HGDIOBJ__ {
  Bitmap(int w, int h, int bpp);
  ~Bitmap() override;
  int width = 0;
  int height = 0;
  // 1 for monochrome bitmaps (stored as black 0 / white 0xFFFFFF pixels), 32 otherwise.
  int bitsPerPixel = 32;
  bool dibSection = false;
  bool bottomUp = false;
  SIZE dimension;
  // Top row first, except a bottom-up 32-bit DIB section, whose memory is the caller's bottom-up layout.
  std::vector<std::uint32_t> pixels;
  // A 24-bit DIB section keeps the caller's bytes (rows padded to 4 bytes) as the truth; drawing works on
  // `pixels` as a copy made when drawing starts and written back when the next GDI call comes in.
  std::vector<std::uint8_t> dibBytes;
  bool shadowLive = false;
  int DibStride() const { return ((width * 24 + 31) / 32) * 4; }
  void WriteBack();

  PixelView View();
  bool Mono() const { return bitsPerPixel == 1; }
};

// Writes the drawing done on 24-bit DIB sections back into their bytes; every GDI call does this on entry.
void FlushDibSections();

struct Palette : HGDIOBJ__ {
  Palette() : HGDIOBJ__(OBJ_PAL) {}
  std::vector<PALETTEENTRY> entries;
};

struct RegionObject : HGDIOBJ__ {
  RegionObject() : HGDIOBJ__(OBJ_REGION) {}
  Region region;
};

// Adds an object to the table and gives out its handle.
HGDIOBJ Register(std::shared_ptr<HGDIOBJ__> object);
// The live object behind a handle, or null.
std::shared_ptr<HGDIOBJ__> Lookup(HGDIOBJ handle);
template <class T>
std::shared_ptr<T> LookupAs(HGDIOBJ handle)
{
  return std::dynamic_pointer_cast<T>(Lookup(handle));
}
// Removes the object from the table; it lives on while a DC holds it.
bool Unregister(HGDIOBJ handle);
// The handle of an object (null for none).
HGDIOBJ HandleOf(const HGDIOBJ__* object);
template <class T>
HGDIOBJ HandleOf(const std::shared_ptr<T>& object)
{
  return HandleOf(object.get());
}

}  // namespace gdi
