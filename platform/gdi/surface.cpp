#include "platform/gdi/surface.h"

#include <algorithm>

namespace gdi {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u)
{
}

void Surface::Resize(int width, int height)
{
  width = std::max(width, 0);
  height = std::max(height, 0);
  std::vector<std::uint32_t> next(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
  const int keepW = std::min(width, width_);
  const int keepH = std::min(height, height_);
  for (int y = 0; y < keepH; ++y) {
    std::copy_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_, keepW,
                next.begin() + static_cast<std::ptrdiff_t>(y) * width);
  }
  pixels_ = std::move(next);
  width_ = width;
  height_ = height;
}

void Surface::Fill(std::uint32_t pixel) { std::fill(pixels_.begin(), pixels_.end(), pixel); }

}  // namespace gdi
