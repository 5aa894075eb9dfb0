#include "platform/gdi/dc.h"
#include "platform/gdi/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace gdi;

namespace {

// Ternary raster operation: bit (P << 2 | S << 1 | D) of the code's third byte is the result.
inline std::uint32_t Rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
  switch (code) {
  case 0xCC:
    return s;
  case 0x88:
    return s & d;
  case 0xEE:
    return s | d;
  case 0x66:
    return s ^ d;
  case 0xF0:
    return p;
  case 0x5A:
    return p ^ d;
  case 0x55:
    return ~d;
  case 0x33:
    return ~s;
  case 0xC0:
    return p & s;
  case 0xBB:
    return ~s | d;
  case 0x44:
    return s & ~d;
  case 0x11:
    return ~(s | d);
  case 0x00:
    return 0;
  case 0xFF:
    return 0xFFFFFFFFu;
  case 0xB8:
    return ((p ^ d) & s) ^ p;
  case 0xE2:
    return ((p ^ d) & s) ^ d;
  default:
    break;
  }
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (code & (1 << i)) {
      r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
  }
  return r;
}

bool UsesSource(std::uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool UsesPattern(std::uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// A pixel of the pattern ink at device (x, y).
inline std::uint32_t PatternAt(const Ink& ink, int x, int y)
{
  if (ink.none) {
    return 0;
  }
  if (ink.solid) {
    return ink.color;
  }
  const int px = ((x - ink.origin.x) % ink.patternWidth + ink.patternWidth) % ink.patternWidth;
  const int py = ((y - ink.origin.y) % ink.patternHeight + ink.patternHeight) % ink.patternHeight;
  return ink.pattern[static_cast<std::size_t>(py) * ink.patternWidth + px];
}

// Converts source pixels between colour and monochrome the way blits do.
struct SourceMap {
  bool toColor = false;  // mono source onto a colour target
  bool toMono = false;   // colour source onto a mono target
  std::uint32_t fore = 0;
  std::uint32_t back = 0xFFFFFF;
  std::uint32_t srcBack = 0;
  std::uint32_t operator()(std::uint32_t s) const
  {
    if (toColor) {
      return (s & 0xFFFFFF) ? back : fore;
    }
    if (toMono) {
      return (s & 0xFFFFFF) == srcBack ? 0xFFFFFFu : 0u;
    }
    return s;
  }
};

SourceMap MakeSourceMap(HDC__& dest, HDC__& src)
{
  SourceMap m;
  if (src.Mono() && !dest.Mono()) {
    m.toColor = true;
    m.fore = PixelFromColor(dest.st.textColor);
    m.back = PixelFromColor(dest.st.bkColor);
  } else if (!src.Mono() && dest.Mono()) {
    m.toMono = true;
    m.srcBack = PixelFromColor(src.st.bkColor);
  }
  return m;
}

// Calls fn(devX, devY, count) for each clipped run of the destination rectangle (device coordinates).
template <class Fn>
void ForClippedRows(HDC__& d, const RECT& rect, Fn&& fn)
{
  const Region clip = d.EffectiveClip().Intersect(rect);
  clip.ForEach([&](int y0, int y1, const Span& s) {
    for (int y = y0; y < y1; ++y) {
      fn(s.x0, y, s.x1 - s.x0);
    }
  });
}

// A blit whose source and destination share pixels (scrolling within a window) reads from a snapshot, so that
// rows and pixels are not overwritten before they are read.
PixelView Snapshot(const PixelView& source, const PixelView& dest, std::vector<std::uint32_t>& copy)
{
  const std::uint32_t* sFirst = source.stride > 0 ? source.top : source.Row(source.height - 1);
  const std::uint32_t* dFirst = dest.stride > 0 ? dest.top : dest.Row(dest.height - 1);
  if (sFirst != dFirst) {
    return source;
  }
  copy.resize(static_cast<std::size_t>(source.width) * source.height);
  for (int y = 0; y < source.height; ++y) {
    std::memcpy(copy.data() + static_cast<std::ptrdiff_t>(y) * source.width, source.Row(y),
                static_cast<std::size_t>(source.width) * 4);
  }
  return {copy.data(), source.width, source.width, source.height};
}


bool Blit(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth, int srcHeight,
          DWORD rop, bool stretch)
{
  HDC__* d = LookupDC(dest);
  if (d == nullptr) {
    return false;
  }
  const std::uint8_t code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  HDC__* s = UsesSource(code) ? LookupDC(src) : nullptr;
  if (UsesSource(code) && s == nullptr) {
    return false;
  }
  PixelView dv = d->View();
  if (!dv.Valid()) {
    return false;
  }
  // Destination in device space; mirrored when the logical extents or the widths disagree in sign.
  double ax = 0;
  double ay = 0;
  double bx = 0;
  double by = 0;
  d->ToDevice(x, y, ax, ay);
  d->ToDevice(static_cast<double>(x) + width, static_cast<double>(y) + height, bx, by);
  const RECT dr = RECT{static_cast<LONG>(std::lround(ax)), static_cast<LONG>(std::lround(ay)),
                       static_cast<LONG>(std::lround(bx)), static_cast<LONG>(std::lround(by))};
  const RECT drn = dr.Normalized();
  if (drn.IsEmpty()) {
    return true;
  }
  Ink pattern;
  if (UsesPattern(code)) {
    pattern = BrushInk(*d, *d->st.brush, R2_COPYPEN);
  }
  if (s == nullptr) {
    ForClippedRows(*d, drn, [&](int x0, int yy, int n) {
      std::uint32_t* row = dv.Row(yy + d->origin.y) + d->origin.x;
      for (int i = 0; i < n; ++i) {
        const std::uint32_t p = PatternAt(pattern, x0 + i, yy);
        row[x0 + i] = code == 0xF0 ? p : Rop3(code, p, 0, row[x0 + i]) & 0xFFFFFFu;
      }
    });
    return true;
  }
  std::vector<std::uint32_t> snapshot;
  PixelView sv = s->View();
  if (!sv.Valid()) {
    return false;
  }
  sv = Snapshot(sv, dv, snapshot);
  double sax = 0;
  double say = 0;
  double sbx = 0;
  double sby = 0;
  s->ToDevice(xSrc, ySrc, sax, say);
  s->ToDevice(static_cast<double>(xSrc) + (stretch ? srcWidth : width),
              static_cast<double>(ySrc) + (stretch ? srcHeight : height), sbx, sby);
  sax += s->origin.x;
  sbx += s->origin.x;
  say += s->origin.y;
  sby += s->origin.y;
  // Map each destination pixel to a source pixel; a mirrored destination flips the direction.
  const double kx = (sbx - sax) / (dr.right - dr.left);
  const double ky = (sby - say) / (dr.bottom - dr.top);
  const double originX = dr.left;
  const double originY = dr.top;
  const SourceMap map = MakeSourceMap(*d, *s);
  const bool identity = std::abs(kx - 1) < 1e-12 && std::abs(ky - 1) < 1e-12;
  const bool halftone = stretch && !identity && d->st.stretchMode == HALFTONE && !map.toColor && !map.toMono;
  const RECT srcBounds{0, 0, sv.width, sv.height};
  ForClippedRows(*d, drn, [&](int x0, int yy, int n) {
    std::uint32_t* row = dv.Row(yy + d->origin.y) + d->origin.x;
    const double fy = say + (yy + 0.5 - originY) * ky;
    const int sy = static_cast<int>(std::floor(fy));
    if (!halftone && (sy < 0 || sy >= sv.height)) {
      return;
    }
    if (identity) {
      const int sx0 = static_cast<int>(std::lround(sax + (x0 - originX)));
      int first = std::max(0, -sx0);
      int last = std::min(n, sv.width - sx0);
      if (last <= first) {
        return;
      }
      const std::uint32_t* srow = sv.Row(sy) + sx0;
      if (code == 0xCC && !map.toColor && !map.toMono) {
        std::memcpy(row + x0 + first, srow + first, static_cast<std::size_t>(last - first) * 4);
        return;
      }
      for (int i = first; i < last; ++i) {
        const std::uint32_t p = UsesPattern(code) ? PatternAt(pattern, x0 + i, yy) : 0;
        std::uint32_t r = Rop3(code, p, map(srow[i]), row[x0 + i]);
        row[x0 + i] = code == 0xCC ? r : (r & 0xFFFFFFu);
      }
      return;
    }
    for (int i = 0; i < n; ++i) {
      const int dxp = x0 + i;
      std::uint32_t sp = 0;
      if (halftone) {
        // Average the source pixels the destination pixel covers.
        const double fx0 = sax + (dxp - originX) * kx;
        const double fx1 = fx0 + kx;
        const double fy0 = say + (yy - originY) * ky;
        const double fy1 = fy0 + ky;
        int xa = static_cast<int>(std::floor(std::min(fx0, fx1)));
        int xb = std::max(xa + 1, static_cast<int>(std::ceil(std::max(fx0, fx1))));
        int ya = static_cast<int>(std::floor(std::min(fy0, fy1)));
        int yb = std::max(ya + 1, static_cast<int>(std::ceil(std::max(fy0, fy1))));
        xa = std::max(xa, 0);
        ya = std::max(ya, 0);
        xb = std::min<int>(xb, srcBounds.right);
        yb = std::min<int>(yb, srcBounds.bottom);
        if (xb <= xa || yb <= ya) {
          continue;
        }
        std::uint64_t sum[4] = {0, 0, 0, 0};
        for (int py = ya; py < yb; ++py) {
          for (int px = xa; px < xb; ++px) {
            const std::uint32_t v = sv.Row(py)[px];
            for (int c = 0; c < 4; ++c) {
              sum[c] += (v >> (8 * c)) & 0xFF;
            }
          }
        }
        const std::uint64_t count = static_cast<std::uint64_t>(xb - xa) * (yb - ya);
        for (int c = 0; c < 4; ++c) {
          sp |= static_cast<std::uint32_t>((sum[c] + count / 2) / count) << (8 * c);
        }
      } else {
        const int sx = static_cast<int>(std::floor(sax + (dxp + 0.5 - originX) * kx));
        if (sx < 0 || sx >= sv.width) {
          continue;
        }
        sp = map(sv.Row(sy)[sx]);
      }
      const std::uint32_t p = UsesPattern(code) ? PatternAt(pattern, dxp, yy) : 0;
      const std::uint32_t r = Rop3(code, p, sp, row[dxp]);
      row[dxp] = code == 0xCC ? r : (r & 0xFFFFFFu);
    }
  });
  return true;
}

}  // namespace

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
  const std::uint8_t code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  if (UsesSource(code)) {
    return FALSE;
  }
  return Blit(dc, x, y, width, height, nullptr, 0, 0, 0, 0, rop, false) ? TRUE : FALSE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop)
{
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop, false) ? TRUE : FALSE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop)
{
  if (srcWidth == 0 || srcHeight == 0) {
    return FALSE;
  }
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop, true) ? TRUE : FALSE;
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop)
{
  auto m = LookupAs<Bitmap>(mask);
  if (mask == nullptr) {
    return BitBlt(dest, x, y, width, height, src, xSrc, ySrc, rop & 0x00FFFFFF);
  }
  HDC__* d = LookupDC(dest);
  if (!m || !m->Mono() || d == nullptr) {
    return FALSE;
  }
  // Where the mask is 1 the foreground code applies, where it is 0 the background code; done as two passes
  // through a copy of the destination.
  const DWORD fore = rop & 0x00FFFFFF;
  const DWORD back = ((rop >> 8) & 0x00FF0000) | 0x0000AAAA;
  HDC work = CreateCompatibleDC(dest);
  HBITMAP copy = CreateCompatibleBitmap(dest, width, height);
  HGDIOBJ old = SelectObject(work, copy);
  BitBlt(work, 0, 0, width, height, dest, x, y, SRCCOPY);
  SelectObject(work, HandleOf(d->st.brush));
  BitBlt(work, 0, 0, width, height, src, xSrc, ySrc, back);
  HDC foreDC = CreateCompatibleDC(dest);
  HBITMAP foreBits = CreateCompatibleBitmap(dest, width, height);
  HGDIOBJ oldFore = SelectObject(foreDC, foreBits);
  BitBlt(foreDC, 0, 0, width, height, dest, x, y, SRCCOPY);
  SelectObject(foreDC, HandleOf(d->st.brush));
  BitBlt(foreDC, 0, 0, width, height, src, xSrc, ySrc, fore);
  HDC__* w = LookupDC(work);
  HDC__* f = LookupDC(foreDC);
  PixelView wv = w->View();
  PixelView fv = f->View();
  PixelView mv = m->View();
  for (int yy = 0; yy < height; ++yy) {
    for (int xx = 0; xx < width; ++xx) {
      const int mx = xMask + xx;
      const int my = yMask + yy;
      if (mx >= 0 && my >= 0 && mx < mv.width && my < mv.height && (mv.Row(my)[mx] & 0xFFFFFF)) {
        wv.Row(yy)[xx] = fv.Row(yy)[xx];
      }
    }
  }
  BitBlt(dest, x, y, width, height, work, 0, 0, SRCCOPY);
  SelectObject(foreDC, oldFore);
  SelectObject(work, old);
  DeleteDC(foreDC);
  DeleteDC(work);
  DeleteObject(foreBits);
  DeleteObject(copy);
  return TRUE;
}

namespace {

// Source pixels for a stretched destination rectangle; false when the source rectangle leaves the source.
template <class Fn>
bool ForStretched(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, Fn&& fn)
{
  HDC__* d = LookupDC(dest);
  HDC__* s = LookupDC(src);
  if (d == nullptr || s == nullptr || width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) {
    return false;
  }
  PixelView dv = d->View();
  std::vector<std::uint32_t> snapshot;
  PixelView sv = s->View();
  if (!dv.Valid() || !sv.Valid()) {
    return false;
  }
  sv = Snapshot(sv, dv, snapshot);
  const RECT sr = s->RectToDevice(RECT{xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight}).Offset(s->origin.x, s->origin.y);
  if (sr.left < 0 || sr.top < 0 || sr.right > sv.width || sr.bottom > sv.height) {
    return false;
  }
  const RECT dr = d->RectToDevice(RECT{x, y, x + width, y + height});
  if (dr.IsEmpty() || sr.IsEmpty()) {
    return true;
  }
  const double kx = static_cast<double>(sr.Width()) / dr.Width();
  const double ky = static_cast<double>(sr.Height()) / dr.Height();
  ForClippedRows(*d, dr, [&](int x0, int yy, int n) {
    std::uint32_t* row = dv.Row(yy + d->origin.y) + d->origin.x;
    const int sy = std::min<int>(sr.bottom - 1, sr.top + static_cast<int>((yy - dr.top + 0.5) * ky));
    const std::uint32_t* srow = sv.Row(sy);
    for (int i = 0; i < n; ++i) {
      const int sx = std::min<int>(sr.right - 1, sr.left + static_cast<int>((x0 + i - dr.left + 0.5) * kx));
      fn(row[x0 + i], srow[sx]);
    }
  });
  return true;
}

}  // namespace

BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, BLENDFUNCTION blend)
{
  if (blend.BlendOp != AC_SRC_OVER) {
    return FALSE;
  }
  const std::uint32_t ca = blend.SourceConstantAlpha;
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  auto div255 = [](std::uint32_t v) { return (v + 127) / 255; };
  return ForStretched(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight,
                      [&](std::uint32_t& d, std::uint32_t s) {
                        // Source channels scaled by the constant alpha; with per-pixel alpha the source is
                        // premultiplied and its own alpha decides how much of the destination stays.
                        const std::uint32_t sa = perPixel ? div255(((s >> 24) & 0xFF) * ca) : ca;
                        std::uint32_t out = 0;
                        for (int c = 0; c < 4; ++c) {
                          const std::uint32_t sc = c == 3 && !perPixel ? ca : div255(((s >> (8 * c)) & 0xFF) * ca);
                          const std::uint32_t dcn = (d >> (8 * c)) & 0xFF;
                          const std::uint32_t v = std::min<std::uint32_t>(255, sc + div255(dcn * (255 - sa)));
                          out |= v << (8 * c);
                        }
                        d = out;
                      })
             ? TRUE
             : FALSE;
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent)
{
  const std::uint32_t key = PixelFromColor(transparent);
  return ForStretched(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight,
                      [&](std::uint32_t& d, std::uint32_t s) {
                        if ((s & 0xFFFFFF) != key) {
                          d = s & 0xFFFFFF;
                        }
                      })
             ? TRUE
             : FALSE;
}

BOOL GradientFill(HDC dc, TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || vertices == nullptr || mesh == nullptr) {
    return FALSE;
  }
  PixelView v = d->View();
  if (!v.Valid()) {
    return FALSE;
  }
  auto pixelOf = [](double r, double g, double b) {
    auto ch = [](double c) { return static_cast<std::uint32_t>(std::clamp(c, 0.0, 65535.0)) >> 8; };
    return (ch(r) << 16) | (ch(g) << 8) | ch(b);
  };
  if (mode == GRADIENT_FILL_RECT_H || mode == GRADIENT_FILL_RECT_V) {
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
      if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) {
        return FALSE;
      }
      TRIVERTEX a = vertices[rects[i].UpperLeft];
      TRIVERTEX b = vertices[rects[i].LowerRight];
      const POINT pa = d->ToDevice(POINT{a.x, a.y});
      const POINT pb = d->ToDevice(POINT{b.x, b.y});
      if ((mode == GRADIENT_FILL_RECT_H && pa.x > pb.x) || (mode == GRADIENT_FILL_RECT_V && pa.y > pb.y)) {
        std::swap(a, b);
      }
      const RECT r = RECT{pa.x, pa.y, pb.x, pb.y}.Normalized();
      const bool horizontal = mode == GRADIENT_FILL_RECT_H;
      const int extent = horizontal ? r.Width() : r.Height();
      if (extent <= 0) {
        continue;
      }
      // Step k of n takes the start colour plus k/n of the difference, in 16-bit channels; each step's colour is
      // worked out once, not once per pixel.
      std::vector<std::uint32_t> steps(static_cast<std::size_t>(extent));
      for (int k = 0; k < extent; ++k) {
        steps[static_cast<std::size_t>(k)] = pixelOf(a.Red + (static_cast<double>(b.Red) - a.Red) * k / extent,
                                                     a.Green + (static_cast<double>(b.Green) - a.Green) * k / extent,
                                                     a.Blue + (static_cast<double>(b.Blue) - a.Blue) * k / extent);
      }
      ForClippedRows(*d, r, [&](int x0, int yy, int n) {
        std::uint32_t* row = v.Row(yy + d->origin.y) + d->origin.x;
        if (horizontal) {
          std::copy_n(steps.begin() + (x0 - r.left), n, row + x0);
        } else {
          std::fill_n(row + x0, n, steps[static_cast<std::size_t>(yy - r.top)]);
        }
      });
    }
    return TRUE;
  }
  if (mode == GRADIENT_FILL_TRIANGLE) {
    const auto* tris = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
      const ULONG idx[3] = {tris[i].Vertex1, tris[i].Vertex2, tris[i].Vertex3};
      if (idx[0] >= vertexCount || idx[1] >= vertexCount || idx[2] >= vertexCount) {
        return FALSE;
      }
      double px[3];
      double py[3];
      std::vector<double> ring;
      for (int k = 0; k < 3; ++k) {
        d->ToDevice(vertices[idx[k]].x, vertices[idx[k]].y, px[k], py[k]);
        ring.push_back(px[k]);
        ring.push_back(py[k]);
      }
      const double det = (py[1] - py[2]) * (px[0] - px[2]) + (px[2] - px[1]) * (py[0] - py[2]);
      if (det == 0) {
        continue;
      }
      const RECT limit = DrawLimit(*d, 1);
      const Region shape = PolygonShape({ring}, ALTERNATE, &limit);
      const Region clipped = Region::Combine(shape, d->EffectiveClip(), RGN_AND);
      clipped.ForEach([&](int y0, int y1, const Span& s) {
        for (int yy = y0; yy < y1; ++yy) {
          std::uint32_t* row = v.Row(yy + d->origin.y) + d->origin.x;
          for (int xx = s.x0; xx < s.x1; ++xx) {
            const double cx = xx + 0.5;
            const double cy = yy + 0.5;
            const double l0 = ((py[1] - py[2]) * (cx - px[2]) + (px[2] - px[1]) * (cy - py[2])) / det;
            const double l1 = ((py[2] - py[0]) * (cx - px[2]) + (px[0] - px[2]) * (cy - py[2])) / det;
            const double l2 = 1 - l0 - l1;
            const TRIVERTEX& a = vertices[idx[0]];
            const TRIVERTEX& b = vertices[idx[1]];
            const TRIVERTEX& c = vertices[idx[2]];
            row[xx] = pixelOf(l0 * a.Red + l1 * b.Red + l2 * c.Red, l0 * a.Green + l1 * b.Green + l2 * c.Green,
                              l0 * a.Blue + l1 * b.Blue + l2 * c.Blue);
          }
        }
      });
    }
    return TRUE;
  }
  return FALSE;
}
