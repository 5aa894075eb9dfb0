// Marlett's caption and arrow symbols, drawn as coverage images sized to the font's cell.
#include "platform/gdi/fonts.h"

#include <algorithm>
#include <cmath>

namespace gdi {

Glyph RealizedFont::RenderMarlett(char32_t ch) const
{
  Glyph g;
  const int size = std::max(3, static_cast<int>(std::lround(pixelSize)));
  g.width = size;
  g.height = size;
  g.left = 0;
  g.top = metrics.tmAscent - std::max(0, (metrics.tmHeight - size) / 2);
  g.advance64 = static_cast<long>(size) * 64;
  g.coverage.assign(static_cast<std::size_t>(size) * size, 0);
  auto set = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < size && y < size) {
      g.coverage[static_cast<std::size_t>(y) * size + x] = 255;
    }
  };
  auto hline = [&](int x0, int x1, int y) {
    for (int x = x0; x <= x1; ++x) {
      set(x, y);
    }
  };
  const int m = size / 4;  // margin
  const int lo = m;
  const int hi = size - 1 - m;
  const int thick = std::max(1, size / 10);
  // Solid triangle pointing in a direction, centred in the cell.
  auto triangle = [&](int dir) {
    const int half = std::max(1, (hi - lo) / 2);
    const int c = size / 2;
    for (int i = 0; i <= half / 1; ++i) {
      const int len = half - i;
      for (int k = -len; k <= len; ++k) {
        switch (dir) {
        case 0:  // up: the broad row at the bottom
          set(c + k, c + half / 2 - i);
          break;
        case 1:  // down
          set(c + k, c - half / 2 + i);
          break;
        case 2:  // left: the broad column at the right
          set(c + half / 2 - i, c + k);
          break;
        default:  // right
          set(c - half / 2 + i, c + k);
          break;
        }
      }
    }
  };
  switch (ch) {
  case U'0':  // minimise: a bar at the bottom
    for (int t = 0; t < thick + 1; ++t) {
      hline(lo, hi - m, hi - t);
    }
    break;
  case U'1':  // maximise: a window frame with a thick top
    for (int t = 0; t < thick + 1; ++t) {
      hline(lo, hi, lo + t);
    }
    hline(lo, hi, hi);
    for (int y = lo; y <= hi; ++y) {
      set(lo, y);
      set(hi, y);
    }
    break;
  case U'2': {  // restore: two overlapping frames
    const int d = std::max(2, size / 6);
    for (int pass = 0; pass < 2; ++pass) {
      const int ox = pass == 0 ? d : 0;
      const int oy = pass == 0 ? 0 : d;
      const int x0 = lo + ox;
      const int x1 = hi - d + ox;
      const int y0 = lo + oy;
      const int y1 = hi - d + oy;
      for (int t = 0; t < thick + 1; ++t) {
        hline(x0, x1, y0 + t);
      }
      hline(x0, x1, y1);
      for (int y = y0; y <= y1; ++y) {
        set(x0, y);
        set(x1, y);
      }
    }
    break;
  }
  case U'r':  // close: a diagonal cross
    for (int i = lo; i <= hi; ++i) {
      for (int t = 0; t < thick + 1; ++t) {
        set(i + t, i);
        set(hi - (i - lo) + t, i);
      }
    }
    break;
  case U'3':
    triangle(2);
    break;
  case U'4':
  case U'8':  // menu arrow
    triangle(3);
    break;
  case U'o':  // size grip: three diagonals in the corner, highlight ('o') one pixel left of shadow ('p')
  case U'p':
    for (int k = 1; k <= 3; ++k) {
      const int d = k * size / 4;
      const int shift = ch == U'o' ? 1 : 0;
      for (int i = 0; i <= d; ++i) {
        set(size - 1 - d + i - shift, size - 1 - i);
      }
    }
    break;
  case U'5':
    triangle(0);
    break;
  case U'6':
  case U'u':
    triangle(1);
    break;
  case U'a':  // check mark
    for (int i = 0; i <= (hi - lo) / 3; ++i) {
      for (int t = 0; t < thick + 1; ++t) {
        set(lo + i, size / 2 + i + t);
      }
    }
    for (int i = 0; i <= (hi - lo) * 2 / 3; ++i) {
      for (int t = 0; t < thick + 1; ++t) {
        set(lo + (hi - lo) / 3 + i, size / 2 + (hi - lo) / 3 - i + t);
      }
    }
    break;
  case U'h':  // bullet
  case U'i': {
    const double r = (hi - lo) / 4.0;
    const double c = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        if ((x - c) * (x - c) + (y - c) * (y - c) <= r * r) {
          set(x, y);
        }
      }
    }
    break;
  }
  default:
    break;
  }
  return g;
}

}  // namespace gdi
