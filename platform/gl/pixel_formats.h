// The pixel formats this renderer offers, numbered from 1 as DescribePixelFormat counts them.
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gl/wgl.h"

#include <compare>

namespace platform::gl {

int FormatCount();
// nullptr outside 1 .. FormatCount().
const PIXELFORMATDESCRIPTOR* FormatAt(int index);

// What a DC draws on: a window's surface at the window's place, or a memory DC's bitmap. GDI hands out a new
// DC for a window on every request, so formats and frames belong to this rather than to the DC handle.
struct Drawable {
  const void* pixels = nullptr;
  LONG x = 0;
  LONG y = 0;
  friend auto operator<=>(const Drawable&, const Drawable&) = default;
};
Drawable DrawableOf(HDC__& dc);

}  // namespace platform::gl
