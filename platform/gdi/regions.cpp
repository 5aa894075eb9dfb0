#include "platform/gdi/dc.h"
#include "platform/gdi/raster.h"

#include <cmath>

using namespace gdi;

namespace {

HRGN NewRegion(Region r)
{
  auto o = std::make_shared<RegionObject>();
  o->region = std::move(r);
  return Register(o);
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
  return NewRegion(Region(RECT{left, top, right, bottom}.Normalized()));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
  return rect == nullptr ? nullptr : CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom)
{
  const RECT r = RECT{left, top, right, bottom}.Normalized();
  return NewRegion(RoundRectShape(r, r.Width(), r.Height()));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect)
{
  return rect == nullptr ? nullptr : CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
  return NewRegion(RoundRectShape(RECT{left, top, right, bottom}.Normalized(), ellipseWidth, ellipseHeight));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
  if (points == nullptr || count < 2) {
    return nullptr;
  }
  return CreatePolyPolygonRgn(points, &count, 1, fillMode);
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode)
{
  if (points == nullptr || counts == nullptr || polygons <= 0) {
    return nullptr;
  }
  std::vector<std::vector<double>> rings;
  int at = 0;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 0) {
      return nullptr;
    }
    std::vector<double> ring;
    for (int k = 0; k < counts[i]; ++k) {
      ring.push_back(points[at + k].x);
      ring.push_back(points[at + k].y);
    }
    at += counts[i];
    rings.push_back(std::move(ring));
  }
  return NewRegion(PolygonShape(rings, fillMode));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
  auto d = LookupAs<RegionObject>(dest);
  auto a = LookupAs<RegionObject>(src1);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) {
    return ERROR;
  }
  if (mode == RGN_COPY) {
    d->region = a->region;
    return d->region.Kind();
  }
  auto b = LookupAs<RegionObject>(src2);
  if (!b) {
    return ERROR;
  }
  d->region = Region::Combine(a->region, b->region, mode);
  return d->region.Kind();
}

BOOL EqualRgn(HRGN a, HRGN b)
{
  auto ra = LookupAs<RegionObject>(a);
  auto rb = LookupAs<RegionObject>(b);
  if (!ra || !rb) {
    return ERROR;
  }
  return ra->region == rb->region ? TRUE : FALSE;
}

int OffsetRgn(HRGN rgn, int dx, int dy)
{
  auto r = LookupAs<RegionObject>(rgn);
  if (!r) {
    return ERROR;
  }
  r->region = r->region.Offset(dx, dy);
  return r->region.Kind();
}

int GetRgnBox(HRGN rgn, RECT* box)
{
  auto r = LookupAs<RegionObject>(rgn);
  if (!r || box == nullptr) {
    return ERROR;
  }
  *box = r->region.Bounds();
  return r->region.Kind();
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom)
{
  auto r = LookupAs<RegionObject>(rgn);
  if (!r) {
    return FALSE;
  }
  r->region = Region(RECT{left, top, right, bottom}.Normalized());
  return TRUE;
}

BOOL PtInRegion(HRGN rgn, int x, int y)
{
  auto r = LookupAs<RegionObject>(rgn);
  return r && r->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect)
{
  auto r = LookupAs<RegionObject>(rgn);
  return r && rect != nullptr && r->region.Intersects(rect->Normalized()) ? TRUE : FALSE;
}

namespace {

// A region in logical coordinates taken to device space; exact for offsets and whole-number scales.
Region RegionToDevice(HDC__& d, const Region& r)
{
  if (d.st.mapMode == MM_TEXT && d.st.graphicsMode == GM_COMPATIBLE) {
    return r.Offset(d.st.viewportOrg.x - d.st.windowOrg.x, d.st.viewportOrg.y - d.st.windowOrg.y);
  }
  Region out;
  for (const RECT& rect : r.Rects()) {
    out = Region::Combine(out, Region(d.RectToDevice(rect)), RGN_OR);
  }
  return out;
}

}  // namespace

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush)
{
  HDC__* d = LookupDC(dc);
  auto r = LookupAs<RegionObject>(rgn);
  auto b = LookupAs<Brush>(brush);
  if (d == nullptr || !r || !b) {
    return FALSE;
  }
  FillShape(*d, RegionToDevice(*d, r->region), BrushInk(*d, *b, R2_COPYPEN));
  return TRUE;
}

BOOL PaintRgn(HDC dc, HRGN rgn)
{
  HDC__* d = LookupDC(dc);
  auto r = LookupAs<RegionObject>(rgn);
  if (d == nullptr || !r) {
    return FALSE;
  }
  FillShape(*d, RegionToDevice(*d, r->region), BrushInk(*d, *d->st.brush, d->st.rop2));
  return TRUE;
}

BOOL InvertRgn(HDC dc, HRGN rgn)
{
  HDC__* d = LookupDC(dc);
  auto r = LookupAs<RegionObject>(rgn);
  if (d == nullptr || !r) {
    return FALSE;
  }
  FillShape(*d, RegionToDevice(*d, r->region), SolidInk(0, R2_NOT));
  return TRUE;
}

BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height)
{
  HDC__* d = LookupDC(dc);
  auto r = LookupAs<RegionObject>(rgn);
  auto b = LookupAs<Brush>(brush);
  if (d == nullptr || !r || !b || width <= 0 || height <= 0) {
    return FALSE;
  }
  // The frame is what the region loses when it shrinks by width and height on every side.
  const Region& whole = r->region;
  Region inner = whole;
  inner = inner.Intersect(whole.Offset(width, 0));
  inner = inner.Intersect(whole.Offset(-width, 0));
  inner = inner.Intersect(whole.Offset(0, height));
  inner = inner.Intersect(whole.Offset(0, -height));
  FillShape(*d, RegionToDevice(*d, Region::Combine(whole, inner, RGN_DIFF)), BrushInk(*d, *b, R2_COPYPEN));
  return TRUE;
}

// ---- Clipping

namespace {

int ClipKind(HDC__& d) { return d.EffectiveClip().Kind(); }

// Applies `r` (device coordinates) to the DC's clip with a region mode.
int ApplyClip(HDC__& d, const Region& r, int mode)
{
  const Region current = d.st.clip ? *d.st.clip : Region(d.DeviceBounds());
  switch (mode) {
  case RGN_COPY:
    d.st.clip = r;
    break;
  case RGN_AND:
  case RGN_OR:
  case RGN_XOR:
  case RGN_DIFF:
    d.st.clip = Region::Combine(current, r, mode);
    break;
  default:
    return ERROR;
  }
  return ClipKind(d);
}

}  // namespace

int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return ERROR;
  }
  if (rgn == nullptr) {
    if (mode != RGN_COPY) {
      return ERROR;
    }
    d->st.clip.reset();
    return ClipKind(*d);
  }
  auto r = LookupAs<RegionObject>(rgn);
  if (!r) {
    return ERROR;
  }
  // Clip regions are given in device units.
  return ApplyClip(*d, r->region, mode);
}

int GetClipRgn(HDC dc, HRGN rgn)
{
  HDC__* d = LookupDC(dc);
  auto r = LookupAs<RegionObject>(rgn);
  if (d == nullptr || !r) {
    return -1;
  }
  if (!d->st.clip) {
    return 0;
  }
  r->region = *d->st.clip;
  return 1;
}

int GetClipBox(HDC dc, RECT* rect)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || rect == nullptr) {
    return ERROR;
  }
  const Region clip = d->EffectiveClip();
  const RECT box = clip.Bounds();
  POINT a = d->ToLogical(POINT{box.left, box.top});
  POINT b = d->ToLogical(POINT{box.right, box.bottom});
  *rect = RECT{a.x, a.y, b.x, b.y}.Normalized();
  return clip.Kind();
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return ERROR;
  }
  return ApplyClip(*d, Region(d->RectToDevice(RECT{left, top, right, bottom})), RGN_AND);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return ERROR;
  }
  return ApplyClip(*d, Region(d->RectToDevice(RECT{left, top, right, bottom})), RGN_DIFF);
}

int OffsetClipRgn(HDC dc, int dx, int dy)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return ERROR;
  }
  if (d->st.clip) {
    const int sx = static_cast<int>(std::lround(dx * d->ScaleX()));
    const int sy = static_cast<int>(std::lround(dy * d->ScaleY()));
    d->st.clip = d->st.clip->Offset(sx, sy);
  }
  return ClipKind(*d);
}

BOOL PtVisible(HDC dc, int x, int y)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return -1;
  }
  const POINT p = d->ToDevice(POINT{x, y});
  return d->EffectiveClip().Contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC dc, const RECT* rect)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || rect == nullptr) {
    return FALSE;
  }
  return d->EffectiveClip().Intersects(d->RectToDevice(*rect)) ? TRUE : FALSE;
}
