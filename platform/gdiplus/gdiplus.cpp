#include "platform/gdiplus/gdiplus.h"

#include "platform/gdi/dc.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

struct GpGraphics {
  HDC dc = nullptr;
  GpSmoothingMode smoothing = SmoothingModeDefault;
};

struct GpPen {
  ARGB color = 0;
  REAL width = 1;
  GpUnit unit = UnitWorld;
  GpDashStyle dash = DashStyleSolid;
  std::vector<double> pattern;
};

struct GpBrush {
  ARGB color = 0;
};

struct GpPath {
  GpFillMode mode = FillModeAlternate;
  // Figures as polylines in logical coordinates (x, y pairs); arcs are flattened when added.
  struct Figure {
    std::vector<double> xy;
    bool closed = false;
  };
  std::vector<Figure> figures;
};

namespace {

std::atomic<int> g_starts{0};

bool Started() { return g_starts > 0; }

// The DC's logical-to-device mapping as an affine matrix, the DC's place on its pixels included.
cairo_matrix_t DeviceMatrix(const HDC__& dc)
{
  double x0, y0, x1, y1, x2, y2;
  dc.ToDevice(0, 0, x0, y0);
  dc.ToDevice(1, 0, x1, y1);
  dc.ToDevice(0, 1, x2, y2);
  cairo_matrix_t m;
  cairo_matrix_init(&m, x1 - x0, y1 - y0, x2 - x0, y2 - y0, x0 + dc.origin.x, y0 + dc.origin.y);
  return m;
}

// Composites a premultiplied ARGB scratch image onto the DC's pixels inside its clip, leaving alpha 0 there.
void Composite(HDC__& dc, cairo_surface_t* scratch, int boxX, int boxY)
{
  cairo_surface_flush(scratch);
  const gdi::PixelView view = dc.View();
  const unsigned char* data = cairo_image_surface_get_data(scratch);
  const int stride = cairo_image_surface_get_stride(scratch);
  const int width = cairo_image_surface_get_width(scratch);
  const int height = cairo_image_surface_get_height(scratch);
  const gdi::Region clip = dc.EffectiveClip().Offset(dc.origin.x, dc.origin.y);
  clip.ForEach([&](int y0, int y1, const gdi::Span& span) {
    const int top = std::max(y0, boxY);
    const int bottom = std::min({y1, boxY + height, view.height});
    const int left = std::max({span.x0, boxX, 0});
    const int right = std::min({span.x1, boxX + width, view.width});
    for (int y = std::max(top, 0); y < bottom; ++y) {
      const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y - boxY) * stride);
      std::uint32_t* dst = view.Row(y);
      for (int x = left; x < right; ++x) {
        const std::uint32_t s = src[x - boxX];
        const std::uint32_t a = s >> 24;
        if (a == 0) {
          continue;
        }
        const std::uint32_t d = dst[x];
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const std::uint32_t sc = (s >> shift) & 0xFF;
          const std::uint32_t dc8 = (d >> shift) & 0xFF;
          const std::uint32_t c = sc + (dc8 * (255 - a) + 127) / 255;
          out |= std::min<std::uint32_t>(c, 255) << shift;
        }
        dst[x] = out;
      }
    }
  });
}

void SetSource(cairo_t* cr, ARGB color)
{
  cairo_set_source_rgba(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, (color & 0xFF) / 255.0,
                        ((color >> 24) & 0xFF) / 255.0);
}

// Builds a path (logical coordinates) and strokes or fills it onto the graphics' DC. GDI+ centres pixels on whole
// coordinates, Cairo on halves: hence the half-pixel shift.
GpStatus Render(GpGraphics* graphics, const std::function<void(cairo_t*)>& build, const GpPen* pen,
                const GpBrush* brush, GpFillMode fillMode)
{
  if (!Started()) {
    return GdiplusNotInitialized;
  }
  HDC__* dc = gdi::LookupDC(graphics->dc);
  if (dc == nullptr) {
    return InvalidParameter;
  }
  if (dc->Mono()) {
    return NotImplemented;
  }
  const gdi::PixelView view = dc->View();
  if (!view.Valid()) {
    return Ok;
  }
  cairo_matrix_t matrix = DeviceMatrix(*dc);
  cairo_matrix_t shift;
  cairo_matrix_init_translate(&shift, 0.5, 0.5);
  cairo_matrix_multiply(&matrix, &matrix, &shift);

  double lineWidth = 1;
  std::vector<double> dashes;
  if (pen != nullptr) {
    // World units follow the mapping; a pen thinner than a pixel still draws one pixel wide.
    const double scale =
        pen->unit == UnitWorld ? std::sqrt(std::fabs(matrix.xx * matrix.yy - matrix.xy * matrix.yx)) : 1.0;
    lineWidth = std::max(1.0, pen->width * scale);
    for (double d : pen->pattern) {
      dashes.push_back(d * lineWidth);
    }
  }
  const bool smooth = graphics->smoothing == SmoothingModeAntiAlias || graphics->smoothing == SmoothingModeHighQuality;
  auto prepare = [&](cairo_t* cr, double dx, double dy) {
    cairo_matrix_t m = matrix;
    m.x0 -= dx;
    m.y0 -= dy;
    cairo_set_matrix(cr, &m);
    build(cr);
    cairo_identity_matrix(cr);
    cairo_set_antialias(cr, smooth ? CAIRO_ANTIALIAS_GOOD : CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_fill_rule(cr, fillMode == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    if (!dashes.empty()) {
      cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
    }
  };

  // The extents first, on a context that draws nowhere, so the scratch image covers only what is touched.
  double x1, y1, x2, y2;
  {
    cairo_surface_t* none = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(none);
    prepare(cr, 0, 0);
    if (pen != nullptr) {
      cairo_stroke_extents(cr, &x1, &y1, &x2, &y2);
    } else {
      cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(none);
  }
  const RECT bounds = dc->EffectiveClip().Offset(dc->origin.x, dc->origin.y).Bounds();
  const double left = std::max({std::floor(x1) - 1, double(bounds.left), 0.0});
  const double top = std::max({std::floor(y1) - 1, double(bounds.top), 0.0});
  const double right = std::min({std::ceil(x2) + 1, double(bounds.right), double(view.width)});
  const double bottom = std::min({std::ceil(y2) + 1, double(bounds.bottom), double(view.height)});
  if (!(left < right && top < bottom)) {
    return Ok;
  }
  const int boxX = static_cast<int>(left);
  const int boxY = static_cast<int>(top);
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(right - left),
                                                        static_cast<int>(bottom - top));
  if (cairo_surface_status(scratch) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(scratch);
    return OutOfMemory;
  }
  cairo_t* cr = cairo_create(scratch);
  prepare(cr, boxX, boxY);
  if (pen != nullptr) {
    SetSource(cr, pen->color);
    cairo_stroke(cr);
  } else {
    SetSource(cr, brush->color);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  Composite(*dc, scratch, boxX, boxY);
  cairo_surface_destroy(scratch);
  return Ok;
}

// Cubic Bezier arcs of the ellipse (centre, radii) from parameter t0 over dt, continuing the current path.
void EllipseArc(cairo_t* cr, double cx, double cy, double rx, double ry, double t0, double dt, bool join)
{
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(dt) / (std::numbers::pi / 2))));
  const double step = dt / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4);
  double t = t0;
  const double sx = cx + rx * std::cos(t);
  const double sy = cy + ry * std::sin(t);
  if (join && cairo_has_current_point(cr)) {
    cairo_line_to(cr, sx, sy);
  } else {
    cairo_move_to(cr, sx, sy);
  }
  for (int i = 0; i < pieces; ++i) {
    const double a = t;
    const double b = t + step;
    cairo_curve_to(cr, cx + rx * (std::cos(a) - k * std::sin(a)), cy + ry * (std::sin(a) + k * std::cos(a)),
                   cx + rx * (std::cos(b) + k * std::sin(b)), cy + ry * (std::sin(b) - k * std::cos(b)),
                   cx + rx * std::cos(b), cy + ry * std::sin(b));
    t = b;
  }
}

// The ellipse's parameter of the point seen at `degrees` from its centre.
double ParameterOf(double degrees, double rx, double ry)
{
  const double a = degrees * std::numbers::pi / 180;
  const double turns = std::floor(a / (2 * std::numbers::pi));
  double t = std::atan2(std::sin(a) * rx, std::cos(a) * ry);
  if (t < 0) {
    t += 2 * std::numbers::pi;
  }
  return t + turns * 2 * std::numbers::pi;
}

bool Usable(const GpGraphics* graphics, const GpPen* pen) { return graphics != nullptr && pen != nullptr; }

}  // namespace

GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* /*output*/)
{
  if (token == nullptr || input == nullptr) {
    return InvalidParameter;
  }
  if (input->GdiplusVersion != 1) {
    return UnsupportedGdiplusVersion;
  }
  *token = static_cast<ULONG_PTR>(++g_starts);
  return Ok;
}

void GdiplusShutdown(ULONG_PTR token)
{
  int starts = g_starts.load();
  while (token != 0 && starts > 0 && !g_starts.compare_exchange_weak(starts, starts - 1)) {
  }
}

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics)
{
  if (graphics == nullptr) {
    return InvalidParameter;
  }
  *graphics = nullptr;
  if (!Started()) {
    return GdiplusNotInitialized;
  }
  if (gdi::LookupDC(hdc) == nullptr) {
    return OutOfMemory;  // what GDI+ answers for a handle that is no DC
  }
  *graphics = new GpGraphics{hdc};
  return Ok;
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics)
{
  if (graphics == nullptr) {
    return InvalidParameter;
  }
  delete graphics;
  return Ok;
}

GpStatus GdipSetSmoothingMode(GpGraphics* graphics, GpSmoothingMode mode)
{
  if (graphics == nullptr || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias) {
    return InvalidParameter;
  }
  graphics->smoothing = mode;
  return Ok;
}

GpStatus GdipGetSmoothingMode(GpGraphics* graphics, GpSmoothingMode* mode)
{
  if (graphics == nullptr || mode == nullptr) {
    return InvalidParameter;
  }
  *mode = graphics->smoothing;
  return Ok;
}

GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen)
{
  if (pen == nullptr) {
    return InvalidParameter;
  }
  *pen = nullptr;
  if (!Started()) {
    return GdiplusNotInitialized;
  }
  if (!(width >= 0) || !std::isfinite(width) || (unit != UnitWorld && unit != UnitPixel)) {
    return InvalidParameter;
  }
  *pen = new GpPen{color, width, unit, DashStyleSolid, {}};
  return Ok;
}

GpStatus GdipDeletePen(GpPen* pen)
{
  if (pen == nullptr) {
    return InvalidParameter;
  }
  delete pen;
  return Ok;
}

GpStatus GdipSetPenDashStyle(GpPen* pen, GpDashStyle style)
{
  if (pen == nullptr) {
    return InvalidParameter;
  }
  switch (style) {
  case DashStyleSolid:
    pen->pattern.clear();
    break;
  case DashStyleDash:
    pen->pattern = {3, 1};
    break;
  case DashStyleDot:
    pen->pattern = {1, 1};
    break;
  case DashStyleCustom:
    break;
  default:
    return InvalidParameter;
  }
  pen->dash = style;
  return Ok;
}

GpStatus GdipSetPenDashArray(GpPen* pen, const REAL* dashes, INT count)
{
  if (pen == nullptr || dashes == nullptr || count <= 0) {
    return InvalidParameter;
  }
  std::vector<double> pattern;
  for (INT i = 0; i < count; ++i) {
    if (!(dashes[i] > 0) || !std::isfinite(dashes[i])) {
      return InvalidParameter;
    }
    pattern.push_back(dashes[i]);
  }
  pen->pattern = std::move(pattern);
  pen->dash = DashStyleCustom;
  return Ok;
}

GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush)
{
  if (brush == nullptr) {
    return InvalidParameter;
  }
  *brush = nullptr;
  if (!Started()) {
    return GdiplusNotInitialized;
  }
  *brush = new GpBrush{color};
  return Ok;
}

GpStatus GdipDeleteBrush(GpBrush* brush)
{
  if (brush == nullptr) {
    return InvalidParameter;
  }
  delete brush;
  return Ok;
}

GpStatus GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
  if (!Usable(graphics, pen)) {
    return InvalidParameter;
  }
  return Render(
      graphics,
      [&](cairo_t* cr) {
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
      },
      pen, nullptr, FillModeAlternate);
}

GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2)
{
  return GdipDrawLine(graphics, pen, static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2),
                      static_cast<REAL>(y2));
}

GpStatus GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension)
{
  if (!Usable(graphics, pen) || points == nullptr || count < 2) {
    return InvalidParameter;
  }
  return Render(
      graphics,
      [&](cairo_t* cr) {
        // Each segment is a Bezier whose inner control points follow the neighbours' chord by tension / 3; the
        // end points stand in for their missing neighbours.
        const double t = tension / 3.0;
        auto at = [&](INT i) { return points[std::clamp(i, INT{0}, count - 1)]; };
        cairo_move_to(cr, points[0].X, points[0].Y);
        for (INT i = 0; i + 1 < count; ++i) {
          const GpPointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
          cairo_curve_to(cr, p1.X + t * (p2.X - p0.X), p1.Y + t * (p2.Y - p0.Y), p2.X - t * (p3.X - p1.X),
                         p2.Y - t * (p3.Y - p1.Y), p2.X, p2.Y);
        }
      },
      pen, nullptr, FillModeAlternate);
}

GpStatus GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height)
{
  if (!Usable(graphics, pen)) {
    return InvalidParameter;
  }
  return Render(
      graphics,
      [&](cairo_t* cr) {
        EllipseArc(cr, x + width / 2.0, y + height / 2.0, width / 2.0, height / 2.0, 0, 2 * std::numbers::pi,
                   false);
        cairo_close_path(cr);
      },
      pen, nullptr, FillModeAlternate);
}

GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height)
{
  return GdipDrawEllipse(graphics, pen, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
                         static_cast<REAL>(height));
}

GpStatus GdipCreatePath(GpFillMode mode, GpPath** path)
{
  if (path == nullptr || (mode != FillModeAlternate && mode != FillModeWinding)) {
    return InvalidParameter;
  }
  *path = nullptr;
  if (!Started()) {
    return GdiplusNotInitialized;
  }
  *path = new GpPath{mode, {}};
  return Ok;
}

GpStatus GdipDeletePath(GpPath* path)
{
  if (path == nullptr) {
    return InvalidParameter;
  }
  delete path;
  return Ok;
}

GpStatus GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
  if (path == nullptr || !(width > 0) || !(height > 0) || !std::isfinite(startAngle) || !std::isfinite(sweepAngle)) {
    return InvalidParameter;
  }
  if (path->figures.empty() || path->figures.back().closed) {
    path->figures.emplace_back();
  }
  std::vector<double>& xy = path->figures.back().xy;
  const double rx = width / 2.0, ry = height / 2.0, cx = x + rx, cy = y + ry;
  const double sweep = std::clamp<double>(sweepAngle, -360, 360);
  const double t0 = ParameterOf(startAngle, rx, ry);
  double t1 = ParameterOf(startAngle + sweep, rx, ry);
  // The parameter runs the same way as the angle and at most one turn.
  if (sweep >= 0) {
    while (t1 < t0) t1 += 2 * std::numbers::pi;
    if (sweep == 360) t1 = t0 + 2 * std::numbers::pi;
  } else {
    while (t1 > t0) t1 -= 2 * std::numbers::pi;
    if (sweep == -360) t1 = t0 - 2 * std::numbers::pi;
  }
  const int steps = std::max(2, static_cast<int>(std::ceil(std::fabs(t1 - t0) * 32)));
  for (int i = 0; i <= steps; ++i) {
    const double t = t0 + (t1 - t0) * i / steps;
    xy.push_back(cx + rx * std::cos(t));
    xy.push_back(cy + ry * std::sin(t));
  }
  return Ok;
}

GpStatus GdipClosePathFigure(GpPath* path)
{
  if (path == nullptr) {
    return InvalidParameter;
  }
  if (!path->figures.empty()) {
    path->figures.back().closed = true;
  }
  return Ok;
}

GpStatus GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path)
{
  if (graphics == nullptr || brush == nullptr || path == nullptr) {
    return InvalidParameter;
  }
  return Render(
      graphics,
      [&](cairo_t* cr) {
        for (const GpPath::Figure& figure : path->figures) {
          for (std::size_t i = 0; i + 1 < figure.xy.size(); i += 2) {
            if (i == 0) {
              cairo_move_to(cr, figure.xy[i], figure.xy[i + 1]);
            } else {
              cairo_line_to(cr, figure.xy[i], figure.xy[i + 1]);
            }
          }
          cairo_close_path(cr);  // a fill closes every figure
        }
      },
      nullptr, brush, path->mode);
}
