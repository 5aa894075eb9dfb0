// A small white canvas whose pixels tests read back as a picture of characters, one per pixel.
#pragma once

#include "platform/gdi/surface.h"
#include "platform/gdi/windraw.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace gdi::testing {

class Canvas {
public:
  Canvas(int width, int height) : surface_(width, height), dc_(CreateSurfaceDC(surface_))
  {
    surface_.Fill(0x00FFFFFF);
  }
  ~Canvas() { DeleteDC(dc_); }
  HDC dc() const { return dc_; }
  Surface& surface() { return surface_; }

  // '.' white, '#' black, 'r' red, 'g' green, 'b' blue, '?' anything else.
  std::vector<std::string> Picture() const
  {
    static const std::map<std::uint32_t, char> kNames = {
        {0xFFFFFF, '.'}, {0x000000, '#'}, {0xFF0000, 'r'}, {0x00FF00, 'g'}, {0x0000FF, 'b'}};
    std::vector<std::string> rows;
    for (int y = 0; y < surface_.Height(); ++y) {
      std::string row;
      for (int x = 0; x < surface_.Width(); ++x) {
        auto it = kNames.find(surface_.Pixel(x, y) & 0xFFFFFF);
        row.push_back(it == kNames.end() ? '?' : it->second);
      }
      rows.push_back(row);
    }
    return rows;
  }

  // The smallest rectangle holding every pixel that is not white (or, given a pixel value, that is that value).
  RECT InkBounds(std::int64_t only = -1) const
  {
    RECT r{surface_.Width(), surface_.Height(), 0, 0};
    for (int y = 0; y < surface_.Height(); ++y) {
      for (int x = 0; x < surface_.Width(); ++x) {
        const std::uint32_t p = surface_.Pixel(x, y) & 0xFFFFFF;
        if (only < 0 ? p != 0xFFFFFF : p == static_cast<std::uint32_t>(only)) {
          r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                   std::max<LONG>(r.bottom, y + 1)};
        }
      }
    }
    return r;
  }

private:
  Surface surface_;
  HDC dc_;
};

}  // namespace gdi::testing
