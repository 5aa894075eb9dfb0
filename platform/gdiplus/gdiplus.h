// The GDI+ flat interface the program draws with: start-up, a graphics object on a device context, solid pens
// (dashes, world-unit widths), lines, cardinal splines, ellipses, and paths of arcs filled with a solid brush.
// Coordinates are the device context's logical ones: its mapping applies. Drawing adds no alpha to the target,
// as GDI's does not. User-interface thread only, as on the program's side.
#pragma once

#include "platform/base/wintypes.h"

#include <cstdint>

using REAL = float;
using ARGB = std::uint32_t;

enum GpStatus {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  WrongState = 8,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
};

enum GpUnit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2 };
enum GpFillMode { FillModeAlternate = 0, FillModeWinding = 1 };
enum GpSmoothingMode {
  SmoothingModeDefault = 0,
  SmoothingModeHighSpeed = 1,
  SmoothingModeHighQuality = 2,
  SmoothingModeNone = 3,
  SmoothingModeAntiAlias = 4,
};
enum GpDashStyle { DashStyleSolid = 0, DashStyleDash = 1, DashStyleDot = 2, DashStyleCustom = 5 };

struct GpPointF {
  REAL X = 0;
  REAL Y = 0;
};

struct GdiplusStartupInput {
  std::uint32_t GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

struct GpGraphics;
struct GpPen;
struct GpBrush;
struct GpPath;
using GpSolidFill = GpBrush;

constexpr ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b)
{
  return (static_cast<ARGB>(a) << 24) | (static_cast<ARGB>(r) << 16) | (static_cast<ARGB>(g) << 8) | b;
}

// Every start-up that answered Ok needs its own shut-down with the token it gave; the objects below can be made
// only while at least one start-up is in force.
GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
void GdiplusShutdown(ULONG_PTR token);

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipSetSmoothingMode(GpGraphics* graphics, GpSmoothingMode mode);
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, GpSmoothingMode* mode);

GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipDeletePen(GpPen* pen);
GpStatus GdipSetPenDashStyle(GpPen* pen, GpDashStyle style);
// Dash and gap lengths in pen widths; the style becomes DashStyleCustom.
GpStatus GdipSetPenDashArray(GpPen* pen, const REAL* dashes, INT count);

GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
GpStatus GdipDeleteBrush(GpBrush* brush);

GpStatus GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
// A cardinal spline through the points; tension 0 gives straight segments.
GpStatus GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension);
GpStatus GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);

GpStatus GdipCreatePath(GpFillMode mode, GpPath** path);
GpStatus GdipDeletePath(GpPath* path);
// An arc of the ellipse in the rectangle, angles in degrees clockwise from the x axis (y down), measured on the
// ellipse itself; it joins the open figure's last point with a line.
GpStatus GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
GpStatus GdipClosePathFigure(GpPath* path);
GpStatus GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
