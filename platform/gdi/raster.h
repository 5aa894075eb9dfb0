// Pixel painting under GDI's rules: inks (a pen's or brush's colour with the mix mode), clipped shape fills,
// non-antialiased shapes and lines in device coordinates.
#pragma once

#include "platform/gdi/dc.h"

#include <cstdint>
#include <vector>

namespace gdi {

struct Ink {
  bool none = false;
  bool solid = true;
  std::uint32_t color = 0;
  // Patterns repeat from the brush origin; a 0 in the mask leaves the pixel alone (transparent hatch gaps).
  std::vector<std::uint32_t> pattern;
  std::vector<std::uint8_t> mask;
  int patternWidth = 0;
  int patternHeight = 0;
  POINT origin;
  int rop2 = R2_COPYPEN;
};

// The pixel a colour becomes on the DC's target (black or white on monochrome bitmaps).
std::uint32_t TargetPixel(const HDC__& dc, COLORREF color);
Ink SolidInk(std::uint32_t pixel, int rop2);
Ink BrushInk(HDC__& dc, const Brush& brush, int rop2);
// The selected pen's colour; none for a null pen.
Ink PenInk(HDC__& dc);
std::uint32_t MixRop2(std::uint32_t pen, std::uint32_t dest, int rop2);

// Paints a device-space shape, clipped to the DC.
void FillShape(HDC__& dc, const Region& shape, const Ink& ink);
// Paints single device pixels, clipped; each point once.
void PlotPixels(HDC__& dc, const std::vector<POINT>& points, const Ink& ink);

// Shapes are worked out only within `limit` when one is given, so that huge figures cost what their visible part
// costs. DrawLimit gives a DC's clip bounds with a margin, so outlines found inside it are true outlines.
RECT DrawLimit(HDC__& dc, int margin);
// The pixels of an ellipse-cornered rectangle inside `r` (pixels r.left .. r.right-1); full size gives an ellipse.
Region RoundRectShape(const RECT& r, int ellipseWidth, int ellipseHeight, const RECT* limit = nullptr);
// Pixels whose centres lie inside the rings (x, y pairs, device units where integers are pixel corners).
Region PolygonShape(const std::vector<std::vector<double>>& rings, int fillMode, const RECT* limit = nullptr);
// The pixels of a shape that touch its outside through an edge: its one-pixel outline.
Region OutlineOf(const Region& shape);

// Bresenham's line from a to b; b itself is left out, as LineTo leaves it out. Very long lines are first cut to
// `limit`.
void LinePixels(POINT a, POINT b, std::vector<POINT>& out, const RECT* limit = nullptr);
// Strokes device polylines with the DC's pen; `closed` joins each back to its start. When `covered` is given it
// receives every pixel the pen's path covers, dashes' gaps included.
void StrokePolylines(HDC__& dc, const std::vector<std::vector<POINT>>& lines, bool closed, Region* covered = nullptr);
// Pen width in device pixels.
int PenWidth(HDC__& dc);
// Flattens a cubic Bezier (device coordinates) into `out`, start point excluded.
void FlattenBezier(const double* p, std::vector<double>& out);

}  // namespace gdi
