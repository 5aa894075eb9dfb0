#include "report/view/intensity_diagram.h"

#include "model/intensity_table.h"
#include "model/light_device.h"
#include "platform/mfc/wnd.h"
#include "report/rtf/rtf_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// Bit 28 of the flag word: C-planes (C-gamma); clear, B-planes (B-beta).
constexpr std::uint32_t kCPlanes = 0x10000000u;

double Cell(const _LINKED_TABLE* table, int column, int row)
{
  const _LINKED_TABLE_NODE* node = LinkedTableFind(table, column, row);
  return node != nullptr ? node->value : 0.0;
}

std::string PlaneLabel(const char* prefix, double angle)
{
  char text[32];
  std::snprintf(text, sizeof text, "%s%d", prefix, static_cast<int>(angle));
  return text;
}

}  // namespace

std::vector<IntensityCurve> BuildIntensityCurves(const CLightDevice& luminaire)
{
  CLinkedTable table;
  LinkedTableCopy(table.get(), luminaire.table.get());
  CompleteIntensitySymmetry(table.get(), luminaire.symmetryWord);
  const bool bSystem = (luminaire.symmetryWord & kCPlanes) == 0;
  const int rows = table->rows;
  const int columns = table->columns;

  // Elevation angles along row 1, plane angles down column 1 (both from their second cell).
  std::vector<double> elevation;
  for (int c = 2; c <= columns; ++c) {
    elevation.push_back(Cell(table.get(), c, 1));
  }
  std::vector<double> plane;
  for (int r = 2; r <= rows; ++r) {
    plane.push_back(Cell(table.get(), 1, r));
  }
  auto intensity = [&](std::size_t p, std::size_t e) {
    return Cell(table.get(), static_cast<int>(e) + 2, static_cast<int>(p) + 2);
  };

  std::optional<std::size_t> zeroElevation;
  double xMin = 0, xMax = 0;
  for (std::size_t e = 0; e < elevation.size(); ++e) {
    if (elevation[e] == 0.0) {
      zeroElevation = e;
    }
    xMin = std::min(xMin, elevation[e]);
    xMax = std::max(xMax, elevation[e]);
  }

  std::vector<std::size_t> selected;
  for (std::size_t p = 0; p < plane.size(); ++p) {
    const double a = plane[p];
    if (a == 0.0 || (!bSystem && (a == 90.0 || a == 180.0 || a == 270.0))) {
      selected.push_back(p);
    }
  }

  double yMin = 0, yMax = 0;
  std::optional<std::size_t> maximumPlane;
  std::vector<double> atZero(plane.size(), 0.0);
  for (std::size_t p = 0; p < plane.size(); ++p) {
    for (std::size_t e = 0; e < elevation.size(); ++e) {
      const double value = intensity(p, e);
      yMin = std::min(yMin, value);
      // In B-planes only the plane B0 and the beta-0 direction can hold the maximum shown.
      if (value > yMax && (!bSystem || plane[p] == 0.0 || elevation[e] == 0.0)) {
        yMax = value;
        maximumPlane = p;
      }
      if (bSystem && zeroElevation && e == *zeroElevation) {
        atZero[p] = value;
      }
    }
  }
  if (maximumPlane && std::find(selected.begin(), selected.end(), *maximumPlane) == selected.end()) {
    selected.push_back(*maximumPlane);
  }

  std::vector<IntensityCurve> curves;
  for (std::size_t p : selected) {
    const double a = plane[p];
    IntensityCurve curve;
    if (bSystem) {
      curve.label = a == 0.0 ? "B0" : PlaneLabel("B", a);
      curve.dotted = a != 0.0;
    } else if (a == 0.0 || a == 180.0) {
      curve.label = "C0-C180";
      curve.penWidth = 2;
    } else if (a == 90.0 || a == 270.0) {
      curve.label = "C90-C270";
      std::tie(xMin, xMax) = std::make_pair(-xMax, -xMin);
    } else {
      curve.label = PlaneLabel("C", a);
      curve.dotted = true;
    }
    const bool mirrored = a == 180.0 || a == 270.0;
    for (std::size_t e = 0; e < elevation.size(); ++e) {
      double x = elevation[e];
      if (mirrored) {
        x = -x;
        xMin = std::min(xMin, x);
      }
      const double y = intensity(p, e);
      if (bSystem) {
        yMax = std::max(yMax, y);
      }
      curve.points.emplace_back(x, y);
    }
    curve.xMin = xMin;
    curve.xMax = xMax;
    curve.yMin = yMin;
    curve.yMax = yMax;
    curves.push_back(std::move(curve));
  }
  if (bSystem && zeroElevation) {
    IntensityCurve q;
    q.label = "Q0";
    q.penWidth = 2;
    for (std::size_t p = 0; p < plane.size(); ++p) {
      q.points.emplace_back(plane[p], atZero[p]);
    }
    q.xMin = xMin;
    q.xMax = xMax;
    q.yMin = yMin;
    q.yMax = yMax;
    curves.push_back(std::move(q));
  }
  return curves;
}

void DrawIntensityDiagram(const CLightDevice& luminaire, CWnd* view, int polar)
{
  const std::vector<IntensityCurve> curves = BuildIntensityCurves(luminaire);
  if (curves.empty() || view == nullptr) {
    return;
  }
  std::vector<_LID_CURVE> records(curves.size());
  std::vector<std::vector<double>> points(curves.size());
  std::vector<std::vector<double>> markers(curves.size());
  for (std::size_t i = 0; i < curves.size(); ++i) {
    const IntensityCurve& curve = curves[i];
    for (const auto& [x, y] : curve.points) {
      points[i].push_back(x);
      points[i].push_back(y);
    }
    markers[i] = points[i];
    _LID_CURVE& record = records[i];
    record.count = 0;
    record.label = curve.label.c_str();
    record.groupCaption = luminaire.GetDisplayName();
    record.xMin = curve.xMin;
    record.xMax = curve.xMax;
    record.yMin = curve.yMin;
    record.yMax = curve.yMax;
    record.markerPoints = markers[i].data();
    record.markerPointCount = static_cast<std::int32_t>(curve.points.size());
    record.curvePoints = points[i].data();
    record.curvePointCount = record.markerPointCount;
    record.colour = 0;
    record.penWidth = curve.penWidth;
    record.polar = polar;
    record.dashed = curve.dotted ? 1 : 0;
    record.markers = 0;
  }
  records[0].count = static_cast<std::uint32_t>(records.size());
  view->SendMessage(UM_SETCURVES, 1, reinterpret_cast<LPARAM>(records.data()));
}

namespace {

IntensityDiagramViewFactory g_viewFactory;

}  // namespace

void SetIntensityDiagramViewFactory(const IntensityDiagramViewFactory& factory) { g_viewFactory = factory; }

const IntensityDiagramViewFactory& GetIntensityDiagramViewFactory() { return g_viewFactory; }

BOOL WriteIntensityDiagram(CRTFWriter& writer, const CLightDevice& luminaire, CWnd* parent, int polar, int width,
                           int height)
{
  const IntensityDiagramViewFactory factory = g_viewFactory;
  if (factory.create == nullptr || factory.picture == nullptr) {
    return FALSE;
  }
  std::unique_ptr<CWnd> view(factory.create(parent, RECT{0, 0, width, height}, kIntensityDiagramViewId));
  if (view == nullptr) {
    return FALSE;
  }
  DrawIntensityDiagram(luminaire, view.get(), polar);
  writer.WriteBitmap(factory.picture(view.get()));
  return TRUE;
}
