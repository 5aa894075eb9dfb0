// A 32-bit pixel surface (BGRA in memory, 0xAARRGGBB as a 32-bit word, top row first) that device contexts
// draw on. The surface knows nothing of DCs; a window's pixels, a memory bitmap and a printer page are surfaces.
// Drawing through a DC leaves 0 in the alpha byte, as GDI does; only AlphaBlend and direct bit access give it a
// meaning, so whoever shows a surface ignores it.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

#include <cstdint>
#include <vector>

namespace gdi {

class Surface {
public:
  Surface() = default;
  Surface(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Bytes from one row to the next.
  int Stride() const { return width_ * 4; }
  std::uint32_t* Pixels() { return pixels_.data(); }
  const std::uint32_t* Pixels() const { return pixels_.data(); }
  std::uint32_t Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  // Keeps the overlapping top-left part; new pixels are black.
  void Resize(int width, int height);
  void Fill(std::uint32_t pixel);

private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// A device context drawing into `surface`, which must outlive it; released with DeleteDC.
HDC CreateSurfaceDC(Surface& surface);
// Confines a surface DC to `area` of its surface (a window's client area): device (0, 0) becomes the area's
// top-left corner and nothing outside the area is drawn.
BOOL SetSurfaceDCArea(HDC dc, const RECT& area);
// Further limits drawing to `region` (device coordinates), the window system's visible region; null lifts it.
// The region is copied.
BOOL SetSurfaceDCVisibleRegion(HDC dc, HRGN region);

}  // namespace gdi
