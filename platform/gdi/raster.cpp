#include "platform/gdi/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gdi {

std::uint32_t TargetPixel(const HDC__& dc, COLORREF color)
{
  if (dc.Mono()) {
    const int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
    return sum >= 384 ? 0xFFFFFFu : 0u;
  }
  return PixelFromColor(color);
}

Ink SolidInk(std::uint32_t pixel, int rop2)
{
  Ink ink;
  ink.color = pixel;
  ink.rop2 = rop2;
  return ink;
}

namespace {

// Hatch lines of the 8 x 8 hatch cell.
bool HatchBit(int hatch, int x, int y)
{
  switch (hatch) {
  case HS_HORIZONTAL:
    return y == 7;
  case HS_VERTICAL:
    return x == 7;
  case HS_FDIAGONAL:
    return x == y;
  case HS_BDIAGONAL:
    return x + y == 7;
  case HS_CROSS:
    return x == 7 || y == 7;
  case HS_DIAGCROSS:
    return x == y || x + y == 7;
  default:
    return false;
  }
}

}  // namespace

Ink BrushInk(HDC__& dc, const Brush& brush, int rop2)
{
  Ink ink;
  ink.rop2 = rop2;
  ink.origin = dc.st.brushOrg;
  switch (brush.style) {
  case BS_NULL:
    ink.none = true;
    return ink;
  case BS_SOLID:
    ink.color = TargetPixel(dc, brush.dcBrush ? dc.st.dcBrushColor : brush.color);
    return ink;
  case BS_HATCHED: {
    ink.solid = false;
    ink.patternWidth = ink.patternHeight = 8;
    ink.pattern.resize(64);
    ink.mask.resize(64, 1);
    const std::uint32_t fore = TargetPixel(dc, brush.color);
    const std::uint32_t back = TargetPixel(dc, dc.st.bkColor);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool line = HatchBit(brush.hatch, x, y);
        ink.pattern[y * 8 + x] = line ? fore : back;
        ink.mask[y * 8 + x] = line || dc.st.bkMode == OPAQUE ? 1 : 0;
      }
    }
    return ink;
  }
  default: {
    ink.solid = false;
    ink.patternWidth = brush.patternWidth;
    ink.patternHeight = brush.patternHeight;
    ink.pattern = brush.pattern;
    if (brush.monoPattern) {
      // Monochrome patterns take the DC's colours: 0 bits the text colour, 1 bits the background.
      const std::uint32_t fore = TargetPixel(dc, dc.st.textColor);
      const std::uint32_t back = TargetPixel(dc, dc.st.bkColor);
      for (std::uint32_t& p : ink.pattern) {
        p = (p & 0xFFFFFF) ? back : fore;
      }
    } else if (dc.Mono()) {
      for (std::uint32_t& p : ink.pattern) {
        p = TargetPixel(dc, ColorFromPixel(p));
      }
    }
    return ink;
  }
  }
}

Ink PenInk(HDC__& dc)
{
  const Pen& pen = *dc.st.pen;
  Ink ink;
  ink.rop2 = dc.st.rop2;
  if (pen.style == PS_NULL) {
    ink.none = true;
    return ink;
  }
  ink.color = TargetPixel(dc, pen.dcPen ? dc.st.dcPenColor : pen.color);
  return ink;
}

std::uint32_t MixRop2(std::uint32_t pen, std::uint32_t dest, int rop2)
{
  // The mix code less one is a truth table over (pen, dest) bit pairs.
  const unsigned t = static_cast<unsigned>(rop2 - 1) & 0xF;
  std::uint32_t r = 0;
  if (t & 1) {
    r |= ~pen & ~dest;
  }
  if (t & 2) {
    r |= ~pen & dest;
  }
  if (t & 4) {
    r |= pen & ~dest;
  }
  if (t & 8) {
    r |= pen & dest;
  }
  return r & 0xFFFFFFu;
}

namespace {

void PaintRow(const PixelView& v, const POINT& origin, int y, int x0, int x1, const Ink& ink)
{
  std::uint32_t* row = v.Row(y + origin.y) + origin.x;
  if (ink.solid) {
    if (ink.rop2 == R2_COPYPEN) {
      std::fill(row + x0, row + x1, ink.color);
    } else if (ink.rop2 != R2_NOP) {
      for (int x = x0; x < x1; ++x) {
        row[x] = MixRop2(ink.color, row[x], ink.rop2);
      }
    }
    return;
  }
  const int py = ((y - ink.origin.y) % ink.patternHeight + ink.patternHeight) % ink.patternHeight;
  const std::uint32_t* prow = ink.pattern.data() + static_cast<std::ptrdiff_t>(py) * ink.patternWidth;
  const std::uint8_t* mrow = ink.mask.empty() ? nullptr : ink.mask.data() + py * ink.patternWidth;
  int px = ((x0 - ink.origin.x) % ink.patternWidth + ink.patternWidth) % ink.patternWidth;
  for (int x = x0; x < x1; ++x) {
    if (mrow == nullptr || mrow[px]) {
      row[x] = ink.rop2 == R2_COPYPEN ? prow[px] & 0xFFFFFFu : MixRop2(prow[px], row[x], ink.rop2);
    }
    if (++px == ink.patternWidth) {
      px = 0;
    }
  }
}

}  // namespace

void FillShape(HDC__& dc, const Region& shape, const Ink& ink)
{
  if (ink.none || shape.IsEmpty()) {
    return;
  }
  PixelView v = dc.View();
  if (!v.Valid()) {
    return;
  }
  const Region clipped = Region::Combine(shape, dc.EffectiveClip(), 1);
  clipped.ForEach([&](int y0, int y1, const Span& s) {
    for (int y = y0; y < y1; ++y) {
      PaintRow(v, dc.origin, y, s.x0, s.x1, ink);
    }
  });
}

void PlotPixels(HDC__& dc, const std::vector<POINT>& points, const Ink& ink)
{
  if (ink.none || points.empty()) {
    return;
  }
  PixelView v = dc.View();
  if (!v.Valid()) {
    return;
  }
  const Region clip = dc.EffectiveClip();
  for (const POINT& p : points) {
    if (clip.Contains(p.x, p.y)) {
      PaintRow(v, dc.origin, p.y, p.x, p.x + 1, ink);
    }
  }
}

RECT DrawLimit(HDC__& dc, int margin)
{
  return dc.EffectiveClip().Bounds().Inflate(margin, margin);
}

Region RoundRectShape(const RECT& r, int ellipseWidth, int ellipseHeight, const RECT* limit)
{
  if (r.IsEmpty()) {
    return {};
  }
  const int yFirst = limit != nullptr ? std::max(r.top, limit->top) : r.top;
  const int yEnd = limit != nullptr ? std::min(r.bottom, limit->bottom) : r.bottom;
  if (yEnd <= yFirst) {
    return {};
  }
  const double xLow = limit != nullptr ? static_cast<double>(limit->left) : static_cast<double>(r.left);
  const double xHigh = limit != nullptr ? static_cast<double>(limit->right) : static_cast<double>(r.right);
  const double a = std::clamp(std::abs(static_cast<double>(ellipseWidth)), 0.0, static_cast<double>(r.Width())) / 2;
  const double b = std::clamp(std::abs(static_cast<double>(ellipseHeight)), 0.0, static_cast<double>(r.Height())) / 2;
  if (a < 0.5 || b < 0.5) {
    return limit != nullptr ? Region(r.Intersect(*limit)) : Region(r);
  }
  std::vector<std::vector<Span>> rows(static_cast<std::size_t>(yEnd - yFirst));
  for (int y = yFirst; y < yEnd; ++y) {
    const double py = y + 0.5;
    double dy = 0;
    if (py < r.top + b) {
      dy = r.top + b - py;
    } else if (py > r.bottom - b) {
      dy = py - (r.bottom - b);
    }
    const double hw = a * std::sqrt(std::max(0.0, 1.0 - (dy / b) * (dy / b)));
    const double x0 = std::max(r.left + a - hw, xLow);
    const double x1 = std::min(r.right - a + hw, xHigh + 1);
    const double first = std::ceil(x0 - 0.5);
    const double last = std::floor(x1 - 0.5);
    if (last >= first) {
      rows[static_cast<std::size_t>(y - yFirst)].push_back({static_cast<int>(first), static_cast<int>(last) + 1});
    }
  }
  return Region::FromRows(yFirst, std::move(rows));
}

Region PolygonShape(const std::vector<std::vector<double>>& rings, int fillMode, const RECT* limit)
{
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  double minY = 1e300;
  double maxY = -1e300;
  for (const auto& ring : rings) {
    const std::size_t n = ring.size() / 2;
    for (std::size_t i = 0; i < n; ++i) {
      const double x0 = ring[2 * i];
      const double y0 = ring[2 * i + 1];
      const double x1 = ring[2 * ((i + 1) % n)];
      const double y1 = ring[2 * ((i + 1) % n) + 1];
      minY = std::min(minY, y0);
      maxY = std::max(maxY, y0);
      if (y0 == y1) {
        continue;
      }
      edges.push_back(y0 < y1 ? Edge{x0, y0, x1, y1, 1} : Edge{x1, y1, x0, y0, -1});
    }
  }
  if (edges.empty()) {
    return {};
  }
  // Bounded so that absurd coordinates cannot allocate absurd row tables.
  constexpr double kLimit = 1 << 20;
  minY = std::max(minY, limit != nullptr ? static_cast<double>(limit->top) : -kLimit);
  maxY = std::min(maxY, limit != nullptr ? static_cast<double>(limit->bottom) : kLimit);
  const int top = static_cast<int>(std::floor(minY));
  const int bottom = static_cast<int>(std::ceil(maxY));
  if (bottom <= top) {
    return {};
  }
  std::vector<std::vector<Span>> rows(static_cast<std::size_t>(bottom - top));
  std::vector<std::pair<double, int>> xs;
  for (int y = top; y < bottom; ++y) {
    const double yc = y + 0.5;
    xs.clear();
    for (const Edge& e : edges) {
      if (yc >= e.y0 && yc < e.y1) {
        xs.emplace_back(e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir);
      }
    }
    std::sort(xs.begin(), xs.end());
    int winding = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      winding += fillMode == WINDING ? xs[i].second : 1;
      const bool inside = fillMode == WINDING ? winding != 0 : (winding & 1) != 0;
      if (!inside) {
        continue;
      }
      const int first = static_cast<int>(std::ceil(std::clamp(xs[i].first, -kLimit, kLimit) - 0.5));
      const int end = static_cast<int>(std::ceil(std::clamp(xs[i + 1].first, -kLimit, kLimit) - 0.5));
      if (end > first) {
        rows[static_cast<std::size_t>(y - top)].push_back({first, end});
      }
    }
  }
  return Region::FromRows(top, std::move(rows));
}

Region OutlineOf(const Region& shape)
{
  Region inner = shape;
  inner = inner.Intersect(shape.Offset(1, 0));
  inner = inner.Intersect(shape.Offset(-1, 0));
  inner = inner.Intersect(shape.Offset(0, 1));
  inner = inner.Intersect(shape.Offset(0, -1));
  return Region::Combine(shape, inner, RGN_DIFF);
}

namespace {

// Cuts the segment to the rectangle (Liang and Barsky's parametric clipping); false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const RECT& r)
{
  double t0 = 0;
  double t1 = 1;
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - r.left, r.right - x0, y0 - r.top, r.bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) {
        return false;
      }
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
  }
  if (t0 > t1) {
    return false;
  }
  const double ax = x0 + t0 * dx;
  const double ay = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = ax;
  y0 = ay;
  return true;
}

}  // namespace

void LinePixels(POINT a, POINT b, std::vector<POINT>& out, const RECT* limit)
{
  // Lines much longer than any surface are cut to the limit first; ordinary lines keep their exact pixels.
  constexpr long kLongLine = 1 << 14;
  if (limit != nullptr && (std::labs(static_cast<long>(b.x) - a.x) > kLongLine ||
                           std::labs(static_cast<long>(b.y) - a.y) > kLongLine)) {
    double x0 = a.x;
    double y0 = a.y;
    double x1 = b.x;
    double y1 = b.y;
    if (!ClipSegment(x0, y0, x1, y1, *limit)) {
      return;
    }
    a = {static_cast<LONG>(std::lround(x0)), static_cast<LONG>(std::lround(y0))};
    b = {static_cast<LONG>(std::lround(x1)), static_cast<LONG>(std::lround(y1))};
  }
  const long dx = std::labs(static_cast<long>(b.x) - a.x);
  const long dy = std::labs(static_cast<long>(b.y) - a.y);
  const int sx = b.x > a.x ? 1 : -1;
  const int sy = b.y > a.y ? 1 : -1;
  // A line longer than any surface is walked in at most this many steps, so absurd coordinates stay cheap.
  constexpr long kMaxSteps = 1 << 16;
  if (dx > kMaxSteps || dy > kMaxSteps) {
    for (long i = 0; i < kMaxSteps; ++i) {
      const double t = static_cast<double>(i) / kMaxSteps;
      out.push_back({static_cast<LONG>(std::lround(a.x + (static_cast<double>(b.x) - a.x) * t)),
                     static_cast<LONG>(std::lround(a.y + (static_cast<double>(b.y) - a.y) * t))});
    }
    return;
  }
  POINT p = a;
  if (dx >= dy) {
    long err = 2 * dy - dx;
    for (long i = 0; i < dx; ++i) {
      out.push_back(p);
      if (err > 0 || (err == 0 && sy < 0)) {
        p.y += sy;
        err -= 2 * dx;
      }
      err += 2 * dy;
      p.x += sx;
    }
  } else {
    long err = 2 * dx - dy;
    for (long i = 0; i < dy; ++i) {
      out.push_back(p);
      if (err > 0 || (err == 0 && sx < 0)) {
        p.x += sx;
        err -= 2 * dy;
      }
      err += 2 * dx;
      p.y += sy;
    }
  }
}

int PenWidth(HDC__& dc)
{
  const Pen& pen = *dc.st.pen;
  if (pen.width <= 1) {
    return 1;
  }
  const int w = static_cast<int>(std::lround(pen.width * std::abs(dc.ScaleX())));
  return std::max(w, 1);
}

namespace {

std::vector<int> DashPattern(const Pen& pen)
{
  switch (pen.style) {
  case PS_DASH:
    return {18, 6};
  case PS_DOT:
    return {3, 3};
  case PS_DASHDOT:
    return {9, 6, 3, 6};
  case PS_DASHDOTDOT:
    return {9, 3, 3, 3, 3, 3};
  case PS_ALTERNATE:
    return {1, 1};
  case PS_USERSTYLE: {
    std::vector<int> p;
    for (DWORD d : pen.userStyle) {
      p.push_back(std::max<int>(1, static_cast<int>(d)));
    }
    if (p.size() % 2 != 0) {
      p.insert(p.end(), p.begin(), p.end());
    }
    return p;
  }
  default:
    return {};
  }
}

void AddDisc(std::vector<std::vector<Span>>& rows, int top, const std::vector<std::pair<int, Span>>& disc, POINT p)
{
  for (const auto& [dy, s] : disc) {
    const int y = p.y + dy - top;
    if (y >= 0 && y < static_cast<int>(rows.size())) {
      rows[static_cast<std::size_t>(y)].push_back({p.x + s.x0, p.x + s.x1});
    }
  }
}

}  // namespace

void StrokePolylines(HDC__& dc, const std::vector<std::vector<POINT>>& lines, bool closed, Region* covered)
{
  const Pen& pen = *dc.st.pen;
  std::vector<POINT> pixels;
  const RECT limit = DrawLimit(dc, PenWidth(dc) + 2);
  for (const auto& line : lines) {
    if (line.empty()) {
      continue;
    }
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      LinePixels(line[i], line[i + 1], pixels, &limit);
    }
    if (closed && line.size() > 1) {
      LinePixels(line.back(), line.front(), pixels, &limit);
    }
  }
  const Ink ink = PenInk(dc);
  const int width = PenWidth(dc);
  if (width <= 1) {
    if (covered != nullptr) {
      std::vector<std::vector<Span>> rows;
      int top = 0;
      if (!pixels.empty()) {
        auto [lo, hi] = std::minmax_element(pixels.begin(), pixels.end(),
                                            [](const POINT& a, const POINT& b) { return a.y < b.y; });
        top = lo->y;
        rows.resize(static_cast<std::size_t>(hi->y - lo->y + 1));
        for (const POINT& p : pixels) {
          rows[static_cast<std::size_t>(p.y - top)].push_back({p.x, p.x + 1});
        }
      }
      *covered = Region::FromRows(top, std::move(rows));
    }
    if (ink.none) {
      return;
    }
    const std::vector<int> dashes = DashPattern(pen);
    if (dashes.empty()) {
      PlotPixels(dc, pixels, ink);
      return;
    }
    std::vector<POINT> on;
    std::vector<POINT> off;
    int period = 0;
    for (int d : dashes) {
      period += d;
    }
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      int phase = static_cast<int>(i % static_cast<std::size_t>(period));
      std::size_t k = 0;
      while (phase >= dashes[k]) {
        phase -= dashes[k];
        ++k;
      }
      (k % 2 == 0 ? on : off).push_back(pixels[i]);
    }
    PlotPixels(dc, on, ink);
    if (dc.st.bkMode == OPAQUE) {
      PlotPixels(dc, off, SolidInk(TargetPixel(dc, dc.st.bkColor), dc.st.rop2));
    }
    return;
  }
  // Wide pens are round brushes dragged along the path, painted once so that mix modes apply once per pixel.
  // An open path's last point is covered too; a closed one's is its first.
  if (!closed) {
    for (const auto& line : lines) {
      if (!line.empty()) {
        pixels.push_back(line.back());
      }
    }
  }
  if (pixels.empty()) {
    return;
  }
  std::vector<std::pair<int, Span>> disc;
  const Region round = RoundRectShape(RECT{0, 0, width, width}, width, width);
  round.ForEach([&](int y0, int y1, const Span& s) {
    for (int y = y0; y < y1; ++y) {
      disc.push_back({y - width / 2, {s.x0 - width / 2, s.x1 - width / 2}});
    }
  });
  auto [lo, hi] =
      std::minmax_element(pixels.begin(), pixels.end(), [](const POINT& a, const POINT& b) { return a.y < b.y; });
  const int top = lo->y - width;
  std::vector<std::vector<Span>> rows(static_cast<std::size_t>(hi->y - lo->y + 2 * width + 1));
  for (const POINT& p : pixels) {
    AddDisc(rows, top, disc, p);
  }
  Region shape = Region::FromRows(top, std::move(rows));
  FillShape(dc, shape, ink);
  if (covered != nullptr) {
    *covered = std::move(shape);
  }
}

void FlattenBezier(const double* p, std::vector<double>& out)
{
  const double len = std::hypot(p[2] - p[0], p[3] - p[1]) + std::hypot(p[4] - p[2], p[5] - p[3]) +
                     std::hypot(p[6] - p[4], p[7] - p[5]);
  const int steps = std::clamp(static_cast<int>(len / 2), 1, 1000);
  for (int i = 1; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double u = 1 - t;
    const double b0 = u * u * u;
    const double b1 = 3 * u * u * t;
    const double b2 = 3 * u * t * t;
    const double b3 = t * t * t;
    out.push_back(b0 * p[0] + b1 * p[2] + b2 * p[4] + b3 * p[6]);
    out.push_back(b0 * p[1] + b1 * p[3] + b2 * p[5] + b3 * p[7]);
  }
}

}  // namespace gdi
