#include "platform/gdi/dc.h"
#include "platform/gdi/raster.h"

#include <cmath>
#include <numbers>

using namespace gdi;

namespace {

// Points recorded into an open path instead of drawn.
void PathAdd(HDC__& d, const std::vector<double>& xy, bool startsFigure, bool closes)
{
  if (startsFigure || d.path.empty() || d.path.back().closed) {
    d.path.push_back({});
  }
  auto& fig = d.path.back().xy;
  fig.insert(fig.end(), xy.begin(), xy.end());
  if (closes) {
    d.path.back().closed = true;
  }
}

std::vector<double> DevicePoints(HDC__& d, const POINT* points, std::size_t count)
{
  std::vector<double> xy;
  xy.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    double x = 0;
    double y = 0;
    d.ToDevice(points[i].x, points[i].y, x, y);
    xy.push_back(x);
    xy.push_back(y);
  }
  return xy;
}

std::vector<POINT> Rounded(const std::vector<double>& xy)
{
  std::vector<POINT> pts;
  pts.reserve(xy.size() / 2);
  for (std::size_t i = 0; i + 1 < xy.size(); i += 2) {
    pts.push_back({static_cast<LONG>(std::lround(xy[i])), static_cast<LONG>(std::lround(xy[i + 1]))});
  }
  return pts;
}

// Fills `shape` with the brush and strokes its outline with the pen, the way closed figures are drawn.
void FillAndFrame(HDC__& d, const Region& interior, const Region& outline, const Region& shape)
{
  const int width = PenWidth(d);
  const Pen& pen = *d.st.pen;
  const bool nullPen = pen.style == PS_NULL;
  Region frame = nullPen ? Region{} : outline;
  if (!nullPen && width > 1) {
    // Wide frames grow inward from the outline.
    Region inner = shape;
    for (int i = 0; i < width - 1; ++i) {
      inner = Region::Combine(inner, OutlineOf(inner), RGN_DIFF);
    }
    frame = Region::Combine(shape, Region::Combine(inner, OutlineOf(inner), RGN_DIFF), RGN_DIFF);
  }
  FillShape(d, Region::Combine(interior, frame, RGN_DIFF), BrushInk(d, *d.st.brush, d.st.rop2));
  if (!nullPen) {
    FillShape(d, frame, PenInk(d));
  }
}

double Angle(double x, double y, double cx, double cy) { return std::atan2(-(y - cy), x - cx); }

// Whether angle `a` lies on the arc from `start` to `end` in the DC's arc direction.
bool OnArc(double a, double start, double end, bool clockwise)
{
  constexpr double kTwoPi = 2 * std::numbers::pi;
  auto norm = [&](double v) {
    v = std::fmod(v, kTwoPi);
    return v < 0 ? v + kTwoPi : v;
  };
  if (clockwise) {
    std::swap(start, end);
  }
  const double span = norm(end - start);
  const double off = norm(a - start);
  return span == 0 ? true : off <= span;
}

enum class ArcKind { Arc, Pie, Chord };

BOOL DrawArc(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye, ArcKind kind)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  const RECT box = d->RectToDevice(RECT{left, top, right, bottom});
  const POINT s = d->ToDevice(POINT{xs, ys});
  const POINT e = d->ToDevice(POINT{xe, ye});
  const double cx = (box.left + box.right) / 2.0;
  const double cy = (box.top + box.bottom) / 2.0;
  const double a0 = Angle(s.x, s.y, cx, cy);
  const double a1 = Angle(e.x, e.y, cx, cy);
  const bool clockwise = d->st.arcDirection == AD_CLOCKWISE;
  const RECT limit = DrawLimit(*d, PenWidth(*d) + 2);
  const Region shape = RoundRectShape(box, box.Width(), box.Height(), &limit);
  // Rows of interest: the box within the drawing limit.
  const int rowTop = std::max(box.top, limit.top);
  const int rowCount = std::max(0, static_cast<int>(std::min(box.bottom, limit.bottom)) - rowTop);
  auto inSector = [&](const Region& r) {
    std::vector<std::vector<Span>> rows(static_cast<std::size_t>(rowCount));
    r.ForEach([&](int y0, int y1, const Span& sp) {
      for (int y = y0; y < y1; ++y) {
        for (int x = sp.x0; x < sp.x1; ++x) {
          if (y >= rowTop && y < rowTop + rowCount && OnArc(Angle(x + 0.5, y + 0.5, cx, cy), a0, a1, clockwise)) {
            rows[static_cast<std::size_t>(y - rowTop)].push_back({x, x + 1});
          }
        }
      }
    });
    return Region::FromRows(rowTop, std::move(rows));
  };
  const Region arc = inSector(OutlineOf(shape));
  // End points of the arc on the ellipse, where the radials meet it.
  auto onEllipse = [&](double angle) {
    const double a = box.Width() / 2.0;
    const double b = box.Height() / 2.0;
    const double c = std::cos(angle);
    const double sn = std::sin(angle);
    const double r = a * b / std::sqrt(b * b * c * c + a * a * sn * sn);
    return POINT{static_cast<LONG>(std::lround(cx + r * c - 0.5)), static_cast<LONG>(std::lround(cy - r * sn - 0.5))};
  };
  const POINT p0 = onEllipse(a0);
  const POINT p1 = onEllipse(a1);
  if (kind == ArcKind::Arc) {
    if (d->st.pen->style != PS_NULL) {
      FillShape(*d, arc, PenInk(*d));
    }
    return TRUE;
  }
  std::vector<POINT> edgePixels;
  Region interior;
  if (kind == ArcKind::Pie) {
    const POINT c{static_cast<LONG>(std::floor(cx)), static_cast<LONG>(std::floor(cy))};
    LinePixels(c, p0, edgePixels, &limit);
    LinePixels(c, p1, edgePixels, &limit);
    interior = inSector(shape);
  } else {
    LinePixels(p0, p1, edgePixels, &limit);
    std::vector<double> ring;
    for (int i = 0; i <= 64; ++i) {
      double t = a0 + (i / 64.0) * std::fmod(std::fmod(a1 - a0, 2 * std::numbers::pi) + 2 * std::numbers::pi,
                                             2 * std::numbers::pi);
      POINT q = onEllipse(t);
      ring.push_back(q.x + 0.5);
      ring.push_back(q.y + 0.5);
    }
    interior = Region::Combine(PolygonShape({ring}, ALTERNATE, &limit), shape, RGN_AND);
  }
  std::vector<std::vector<Span>> rows(static_cast<std::size_t>(rowCount + 2));
  for (const POINT& p : edgePixels) {
    if (p.y - rowTop + 1 >= 0 && p.y - rowTop + 1 < static_cast<int>(rows.size())) {
      rows[static_cast<std::size_t>(p.y - rowTop + 1)].push_back({p.x, p.x + 1});
    }
  }
  const Region outline = Region::Combine(arc, Region::FromRows(rowTop - 1, std::move(rows)), RGN_OR);
  FillAndFrame(*d, Region::Combine(interior, outline, RGN_OR), outline, Region::Combine(interior, outline, RGN_OR));
  return TRUE;
}

}  // namespace

BOOL MoveToEx(HDC dc, int x, int y, POINT* old)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  if (old != nullptr) {
    *old = d->st.currentPos;
  }
  d->st.currentPos = {x, y};
  if (d->pathOpen) {
    double dx = 0;
    double dy = 0;
    d->ToDevice(x, y, dx, dy);
    PathAdd(*d, {dx, dy}, true, false);
  }
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc, POINT* pos)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || pos == nullptr) {
    return FALSE;
  }
  *pos = d->st.currentPos;
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  const POINT from = d->st.currentPos;
  d->st.currentPos = {x, y};
  const POINT pts[2] = {from, {x, y}};
  if (d->pathOpen) {
    const auto xy = DevicePoints(*d, pts, 2);
    if (d->path.empty() || d->path.back().closed) {
      PathAdd(*d, xy, true, false);
    } else {
      PathAdd(*d, {xy[2], xy[3]}, false, false);
    }
    return TRUE;
  }
  StrokePolylines(*d, {{d->ToDevice(from), d->ToDevice(POINT{x, y})}}, false);
  return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || points == nullptr || count < 2) {
    return FALSE;
  }
  const auto xy = DevicePoints(*d, points, static_cast<std::size_t>(count));
  if (d->pathOpen) {
    PathAdd(*d, xy, true, false);
    return TRUE;
  }
  StrokePolylines(*d, {Rounded(xy)}, false);
  return TRUE;
}

BOOL PolylineTo(HDC dc, const POINT* points, DWORD count)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || points == nullptr || count == 0) {
    return FALSE;
  }
  std::vector<POINT> all{d->st.currentPos};
  all.insert(all.end(), points, points + count);
  d->st.currentPos = points[count - 1];
  const auto xy = DevicePoints(*d, all.data(), all.size());
  if (d->pathOpen) {
    PathAdd(*d, std::vector<double>(xy.begin() + 2, xy.end()), false, false);
    return TRUE;
  }
  StrokePolylines(*d, {Rounded(xy)}, false);
  return TRUE;
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines)
{
  if (points == nullptr || counts == nullptr) {
    return FALSE;
  }
  std::size_t at = 0;
  for (DWORD i = 0; i < polylines; ++i) {
    if (!Polyline(dc, points + at, static_cast<int>(counts[i]))) {
      return FALSE;
    }
    at += counts[i];
  }
  return TRUE;
}

BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || points == nullptr || counts == nullptr || polygons <= 0) {
    return FALSE;
  }
  std::vector<std::vector<double>> rings;
  std::vector<std::vector<POINT>> lines;
  std::size_t at = 0;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 2) {
      return FALSE;
    }
    auto xy = DevicePoints(*d, points + at, static_cast<std::size_t>(counts[i]));
    at += static_cast<std::size_t>(counts[i]);
    if (d->pathOpen) {
      PathAdd(*d, xy, true, true);
      continue;
    }
    lines.push_back(Rounded(xy));
    // Vertices are pixel centres for the pen; the fill samples pixel centres too, so shift by half a pixel.
    for (double& v : xy) {
      v += 0.5;
    }
    rings.push_back(std::move(xy));
  }
  if (d->pathOpen) {
    return TRUE;
  }
  const RECT limit = DrawLimit(*d, 1);
  const Region fill = PolygonShape(rings, d->st.polyFillMode, &limit);
  if (d->st.pen->style == PS_NULL) {
    FillShape(*d, fill, BrushInk(*d, *d->st.brush, d->st.rop2));
    return TRUE;
  }
  Region covered;
  // Measure the pen's path without painting, then fill inside it, then stroke: the brush never paints twice.
  const int rop = d->st.rop2;
  d->st.rop2 = R2_NOP;
  StrokePolylines(*d, lines, true, &covered);
  d->st.rop2 = rop;
  FillShape(*d, Region::Combine(fill, covered, RGN_DIFF), BrushInk(*d, *d->st.brush, d->st.rop2));
  StrokePolylines(*d, lines, true);
  return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count)
{
  return PolyPolygon(dc, points, &count, 1);
}

BOOL PolyBezier(HDC dc, const POINT* points, DWORD count)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || points == nullptr || count < 4 || (count - 1) % 3 != 0) {
    return FALSE;
  }
  const auto xy = DevicePoints(*d, points, count);
  std::vector<double> flat{xy[0], xy[1]};
  for (std::size_t i = 0; i + 7 < xy.size(); i += 6) {
    FlattenBezier(&xy[i], flat);
  }
  if (d->pathOpen) {
    PathAdd(*d, flat, true, false);
    return TRUE;
  }
  StrokePolylines(*d, {Rounded(flat)}, false);
  return TRUE;
}

BOOL PolyBezierTo(HDC dc, const POINT* points, DWORD count)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || points == nullptr || count < 3 || count % 3 != 0) {
    return FALSE;
  }
  std::vector<POINT> all{d->st.currentPos};
  all.insert(all.end(), points, points + count);
  d->st.currentPos = points[count - 1];
  const auto xy = DevicePoints(*d, all.data(), all.size());
  std::vector<double> flat{xy[0], xy[1]};
  for (std::size_t i = 0; i + 7 < xy.size(); i += 6) {
    FlattenBezier(&xy[i], flat);
  }
  if (d->pathOpen) {
    PathAdd(*d, std::vector<double>(flat.begin() + 2, flat.end()), false, false);
    return TRUE;
  }
  StrokePolylines(*d, {Rounded(flat)}, false);
  return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  if (d->pathOpen) {
    const POINT pts[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    PathAdd(*d, DevicePoints(*d, pts, 4), true, true);
    return TRUE;
  }
  RECT r = d->RectToDevice(RECT{left, top, right, bottom});
  const Pen& pen = *d->st.pen;
  if (pen.style == PS_NULL) {
    // Without a pen the fill stops one pixel short on the right and bottom.
    FillShape(*d, Region(RECT{r.left, r.top, r.right - 1, r.bottom - 1}), BrushInk(*d, *d->st.brush, d->st.rop2));
    return TRUE;
  }
  if (r.Width() < 2 || r.Height() < 2) {
    r = RECT{r.left, r.top, std::max(r.right, r.left + 1), std::max(r.bottom, r.top + 1)};
  }
  const int width = PenWidth(*d);
  if (width > 1 && pen.style != PS_INSIDEFRAME) {
    // A wide pen is centred on the outline, with round corners; the brush fills what it leaves inside.
    const POINT corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    POINT device[4];
    for (int i = 0; i < 4; ++i) {
      device[i] = d->ToDevice(corners[i]);
    }
    const RECT n = RECT{device[0].x, device[0].y, device[2].x, device[2].y}.Normalized();
    const std::vector<POINT> outline{
        {n.left, n.top}, {n.right - 1, n.top}, {n.right - 1, n.bottom - 1}, {n.left, n.bottom - 1}};
    Region covered;
    const int rop = d->st.rop2;
    d->st.rop2 = R2_NOP;
    StrokePolylines(*d, {outline}, true, &covered);
    d->st.rop2 = rop;
    FillShape(*d, Region::Combine(Region(RECT{n.left, n.top, n.right - 1, n.bottom - 1}), covered, RGN_DIFF),
              BrushInk(*d, *d->st.brush, d->st.rop2));
    StrokePolylines(*d, {outline}, true);
    return TRUE;
  }
  if (pen.style == PS_INSIDEFRAME) {
    // Inside-frame pens keep the whole frame within the rectangle.
    const int w = std::min<int>(width, std::min(r.Width(), r.Height()) / 2 + 1);
    const Region whole(r);
    const Region inner(r.Inflate(-w, -w));
    FillShape(*d, inner, BrushInk(*d, *d->st.brush, d->st.rop2));
    FillShape(*d, Region::Combine(whole, inner, RGN_DIFF), PenInk(*d));
    return TRUE;
  }
  FillShape(*d, Region(r.Inflate(-1, -1)), BrushInk(*d, *d->st.brush, d->st.rop2));
  StrokePolylines(*d, {{{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}}},
                  true);
  return TRUE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  RECT r = d->RectToDevice(RECT{left, top, right, bottom});
  const int ew = static_cast<int>(std::lround(ellipseWidth * std::abs(d->ScaleX())));
  const int eh = static_cast<int>(std::lround(ellipseHeight * std::abs(d->ScaleY())));
  if (d->st.pen->style == PS_NULL) {
    r = RECT{r.left, r.top, r.right - 1, r.bottom - 1};
  }
  const RECT limit = DrawLimit(*d, PenWidth(*d) + 2);
  const Region shape = RoundRectShape(r, ew, eh, &limit);
  FillAndFrame(*d, shape, OutlineOf(shape), shape);
  return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  if (d->pathOpen) {
    const RECT r = d->RectToDevice(RECT{left, top, right, bottom});
    const double cx = (r.left + r.right) / 2.0;
    const double cy = (r.top + r.bottom) / 2.0;
    std::vector<double> xy;
    for (int i = 0; i < 72; ++i) {
      const double t = i * std::numbers::pi / 36;
      xy.push_back(cx + r.Width() / 2.0 * std::cos(t));
      xy.push_back(cy - r.Height() / 2.0 * std::sin(t));
    }
    PathAdd(*d, xy, true, true);
    return TRUE;
  }
  RECT r = d->RectToDevice(RECT{left, top, right, bottom});
  if (d->st.pen->style == PS_NULL) {
    r = RECT{r.left, r.top, r.right - 1, r.bottom - 1};
  }
  const RECT limit = DrawLimit(*d, PenWidth(*d) + 2);
  const Region shape = RoundRectShape(r, r.Width(), r.Height(), &limit);
  FillAndFrame(*d, shape, OutlineOf(shape), shape);
  return TRUE;
}

BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
  return DrawArc(dc, left, top, right, bottom, xStart, yStart, xEnd, yEnd, ArcKind::Arc);
}

BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
  return DrawArc(dc, left, top, right, bottom, xStart, yStart, xEnd, yEnd, ArcKind::Pie);
}

BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
  return DrawArc(dc, left, top, right, bottom, xStart, yStart, xEnd, yEnd, ArcKind::Chord);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return CLR_INVALID;
  }
  const POINT p = d->ToDevice(POINT{x, y});
  if (!d->EffectiveClip().Contains(p.x, p.y)) {
    return CLR_INVALID;
  }
  const std::uint32_t pixel = TargetPixel(*d, color);
  d->View().Row(p.y + d->origin.y)[p.x + d->origin.x] = pixel;
  return ColorFromPixel(pixel);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) { return SetPixel(dc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC dc, int x, int y)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return CLR_INVALID;
  }
  const POINT p = d->ToDevice(POINT{x, y});
  if (!d->EffectiveClip().Contains(p.x, p.y)) {
    return CLR_INVALID;
  }
  return ColorFromPixel(d->View().Row(p.y + d->origin.y)[p.x + d->origin.x]);
}

BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF color, UINT type)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  const POINT start = d->ToDevice(POINT{x, y});
  const Region clip = d->EffectiveClip();
  if (!clip.Contains(start.x, start.y)) {
    return FALSE;
  }
  PixelView v = d->View();
  const std::uint32_t target = TargetPixel(*d, color);
  auto at = [&](int px, int py) { return v.Row(py + d->origin.y)[px + d->origin.x] & 0xFFFFFFu; };
  auto fillable = [&](int px, int py) {
    if (!clip.Contains(px, py)) {
      return false;
    }
    return type == FLOODFILLSURFACE ? at(px, py) == target : at(px, py) != target;
  };
  if (!fillable(start.x, start.y)) {
    return FALSE;
  }
  // Collect the area first, then paint it once with the brush.
  const RECT b = clip.Bounds();
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(b.Width()) * b.Height(), 0);
  std::vector<std::vector<Span>> rows(static_cast<std::size_t>(b.Height()));
  std::vector<POINT> stack{start};
  while (!stack.empty()) {
    POINT p = stack.back();
    stack.pop_back();
    auto idx = [&](int px, int py) { return static_cast<std::size_t>(py - b.top) * b.Width() + (px - b.left); };
    if (seen[idx(p.x, p.y)] || !fillable(p.x, p.y)) {
      continue;
    }
    int x0 = p.x;
    int x1 = p.x;
    while (x0 - 1 >= b.left && !seen[idx(x0 - 1, p.y)] && fillable(x0 - 1, p.y)) {
      --x0;
    }
    while (x1 + 1 < b.right && !seen[idx(x1 + 1, p.y)] && fillable(x1 + 1, p.y)) {
      ++x1;
    }
    for (int px = x0; px <= x1; ++px) {
      seen[idx(px, p.y)] = 1;
      for (int dy : {-1, 1}) {
        const int ny = p.y + dy;
        if (ny >= b.top && ny < b.bottom && !seen[idx(px, ny)]) {
          stack.push_back({px, ny});
        }
      }
    }
    rows[static_cast<std::size_t>(p.y - b.top)].push_back({x0, x1 + 1});
  }
  FillShape(*d, Region::FromRows(b.top, std::move(rows)), BrushInk(*d, *d->st.brush, d->st.rop2));
  return TRUE;
}

BOOL FloodFill(HDC dc, int x, int y, COLORREF color) { return ExtFloodFill(dc, x, y, color, FLOODFILLBORDER); }

// ---- Paths

BOOL BeginPath(HDC dc)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  d->path.clear();
  d->pathOpen = true;
  d->pathDone = false;
  double x = 0;
  double y = 0;
  d->ToDevice(d->st.currentPos.x, d->st.currentPos.y, x, y);
  d->path.push_back({{x, y}, false});
  return TRUE;
}

BOOL EndPath(HDC dc)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || !d->pathOpen) {
    return FALSE;
  }
  d->pathOpen = false;
  d->pathDone = true;
  return TRUE;
}

BOOL AbortPath(HDC dc)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  d->path.clear();
  d->pathOpen = false;
  d->pathDone = false;
  return TRUE;
}

BOOL CloseFigure(HDC dc)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || !d->pathOpen || d->path.empty()) {
    return FALSE;
  }
  d->path.back().closed = true;
  return TRUE;
}

namespace {

std::vector<std::vector<double>> PathRings(const HDC__& d)
{
  std::vector<std::vector<double>> rings;
  for (const PathFigure& f : d.path) {
    if (f.xy.size() >= 6) {
      std::vector<double> ring = f.xy;
      for (double& v : ring) {
        v += 0.5;
      }
      rings.push_back(std::move(ring));
    }
  }
  return rings;
}

BOOL UsePath(HDC dc, bool fill, bool stroke)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || !d->pathDone) {
    return FALSE;
  }
  if (fill) {
    const RECT limit = DrawLimit(*d, 1);
    FillShape(*d, PolygonShape(PathRings(*d), d->st.polyFillMode, &limit), BrushInk(*d, *d->st.brush, d->st.rop2));
  }
  if (stroke) {
    for (const PathFigure& f : d->path) {
      if (f.xy.size() >= 4) {
        StrokePolylines(*d, {Rounded(f.xy)}, f.closed || fill);
      }
    }
  }
  d->path.clear();
  d->pathDone = false;
  return TRUE;
}

}  // namespace

BOOL FillPath(HDC dc) { return UsePath(dc, true, false); }
BOOL StrokePath(HDC dc) { return UsePath(dc, false, true); }
BOOL StrokeAndFillPath(HDC dc) { return UsePath(dc, true, true); }

HRGN PathToRegion(HDC dc)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || !d->pathDone) {
    return nullptr;
  }
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  LookupAs<RegionObject>(rgn)->region = PolygonShape(PathRings(*d), d->st.polyFillMode);
  d->path.clear();
  d->pathDone = false;
  return rgn;
}

BOOL SelectClipPath(HDC dc, int mode)
{
  HRGN rgn = PathToRegion(dc);
  if (rgn == nullptr) {
    return FALSE;
  }
  const int r = ExtSelectClipRgn(dc, rgn, mode);
  DeleteObject(rgn);
  return r != ERROR;
}
