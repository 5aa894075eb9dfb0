#include "outside/grafocore/export_writer.h"

#include "outside/grafocore/dxf/dxf_writer.h"
#include "outside/grafocore/export_records.h"
#include "platform/base/codepage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace grafocore {

namespace {

using dxf::Point;

std::string Ansi(const std::u16string& text) { return codepage::Utf16ToCp1251(text); }

class ExportWriter {
public:
  void Record(const nsExp::CExportData& record);
  void Axes();
  void Background(const dxf::Drawing& drawing, const Point& offset);
  std::string File(int flags);

private:
  Point Track(const Point& p)
  {
    m_min = {std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z)};
    m_max = {std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z)};
    m_any = true;
    return p;
  }
  std::vector<Point> Points(const std::vector<nsExp::CPoint3>& points)
  {
    std::vector<Point> out;
    out.reserve(points.size());
    for (const nsExp::CPoint3& p : points)
      out.push_back(Track({p.x, p.y, p.z}));
    return out;
  }
  void Column(const nsExp::CExpLightingColumn& column);

  dxf::Writer m_out;
  Point m_min{HUGE_VAL, HUGE_VAL, HUGE_VAL};
  Point m_max{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  bool m_any = false;
  bool m_axes = false;
};

void ExportWriter::Column(const nsExp::CExpLightingColumn& column)
{
  const Point base = Track({column.m_position[0], column.m_position[1], column.m_position[2]});
  m_out.Insert(kLayerLuminaires, kColumnBlock, base, column.m_rotation[2]);
  // Each arm a line from the column's top to its luminaire, turned with the column.
  const double turn = column.m_rotation[2] * std::numbers::pi / 180;
  for (const nsExp::CExpLightingColumn::CArm* arm : column.m_arms) {
    if (!arm)
      continue;
    const double x = arm->m_position[0], y = arm->m_position[1];
    const Point end{base.x + x * std::cos(turn) - y * std::sin(turn), base.y + x * std::sin(turn) + y * std::cos(turn),
                    base.z + arm->m_mountingHeight};
    m_out.Line(kLayerLuminaires, {base.x, base.y, base.z + column.m_tubeHeight}, Track(end));
  }
}

void ExportWriter::Record(const nsExp::CExportData& record)
{
  using namespace nsExp;
  if (auto* column = dynamic_cast<const CExpLightingColumn*>(&record)) {
    Column(*column);
  } else if (auto* group = dynamic_cast<const CExpGroupLightingColumn*>(&record)) {
    for (const CExportData* member : group->m_members)
      if (member)
        Record(*member);
  } else if (auto* polygon = dynamic_cast<const CExpPolygonData*>(&record)) {
    const char* layer = polygon->m_kind == kExpOutline ? kLayerOutline
                        : polygon->m_membership == 8   ? kLayerShading
                                                       : kLayerRoad;
    m_out.Polyline(layer, Points(polygon->m_points), true);
  } else if (auto* region = dynamic_cast<const CExpRegionData*>(&record)) {
    for (const CExpPolygonData* part : region->m_polygons)
      if (part)
        m_out.Polyline(region->m_membership == 8 ? kLayerShading : kLayerRoad, Points(part->m_points), true);
  } else if (auto* values = dynamic_cast<const CExpValuesData*>(&record)) {
    for (const CExpValuesData::CValue* value : values->m_values)
      if (value)
        m_out.Text(kLayerValues, Track({value->x, value->y, value->z}), value->height, 0, Ansi(value->text));
  } else if (auto* isolines = dynamic_cast<const CExpIsolinesData*>(&record)) {
    for (const CExpIsolinesData::CLevel* level : isolines->m_levels) {
      if (!level)
        continue;
      for (const CExpIsolinesData::CSegment& s : level->segments)
        m_out.Line(kLayerIsolines, Track({s.x1, s.y1, s.z1}), Track({s.x2, s.y2, s.z2}));
      for (const CExpIsolinesData::CLabel& label : level->labels)
        m_out.Text(kLayerIsolines, Track({label.x, label.y, label.z}), label.height, label.rotation,
                   Ansi(label.text));
    }
  } else if (auto* polyline = dynamic_cast<const CExpPolylineData*>(&record)) {
    m_out.Polyline(kLayerIsolines, Points(polyline->m_points), false);
  } else if (record.m_kind == kExpMText) {
    m_out.Text(kLayerLuminaires, Track({record.m_position[0], record.m_position[1], record.m_position[2]}),
               record.m_size[1], record.m_rotation[2], Ansi(record.m_text));
  } else if (record.m_kind == kExpAxes) {
    m_axes = true;
  }
}

void ExportWriter::Background(const dxf::Drawing& drawing, const Point& offset)
{
  for (const dxf::Figure& figure : drawing.figures) {
    if (figure.points.empty())
      continue;
    std::vector<Point> points;
    for (const Point& p : figure.points)
      points.push_back(Track({p.x - offset.x, p.y - offset.y, p.z - offset.z}));
    switch (figure.kind) {
    case dxf::FigureKind::Polyline: m_out.Polyline(kLayerBackground, points, figure.closed); break;
    case dxf::FigureKind::Text:
      m_out.Text(kLayerBackground, points[0], figure.height, figure.rotation, figure.text);
      break;
    case dxf::FigureKind::Point: m_out.PointEntity(kLayerBackground, points[0]); break;
    }
  }
}

// The axes run through the origin across what was written, a tenth longer on each side.
void ExportWriter::Axes()
{
  double reach = 10;
  if (m_any)
    reach = std::max({reach, std::fabs(m_min.x), std::fabs(m_max.x), std::fabs(m_min.y), std::fabs(m_max.y)}) * 1.1;
  m_out.Line(kLayerAxes, Track({-reach, 0, 0}), Track({reach, 0, 0}));
  m_out.Line(kLayerAxes, Track({0, -reach, 0}), Track({0, reach, 0}));
  m_out.Text(kLayerAxes, {reach, 0, 0}, reach / 40, 0, "X");
  m_out.Text(kLayerAxes, {0, reach, 0}, reach / 40, 0, "Y");
}

std::string ExportWriter::File(int flags)
{
  if (m_axes)
    Axes();
  std::vector<dxf::Writer::LayerDef> layers = {{kLayerOutline, 7}};
  if (flags & nsExp::kExpLuminaires)
    layers.push_back({kLayerLuminaires, 1});
  if (flags & (nsExp::kExpPolygon | 0x400)) {
    layers.push_back({kLayerRoad, 8});
    layers.push_back({kLayerShading, 6});
  }
  if (flags & nsExp::kExpValues)
    layers.push_back({kLayerValues, 3});
  if (flags & (nsExp::kExpIsolines | nsExp::kExpPolygon))
    layers.push_back({kLayerIsolines, 30});
  if (flags & kExportBackground)
    layers.push_back({kLayerBackground, 9});
  if (m_axes)
    layers.push_back({kLayerAxes, 5});
  // A column in plan: its post and a cross of half a metre.
  dxf::Writer column;
  column.Circle("0", {0, 0, 0}, 0.15);
  column.Line("0", {-0.25, 0, 0}, {0.25, 0, 0});
  column.Line("0", {0, -0.25, 0}, {0, 0.25, 0});
  if (!m_any)
    m_min = m_max = {0, 0, 0};
  return m_out.File(layers, {{kColumnBlock, column.Entities()}}, m_min, m_max);
}

}  // namespace

std::string WriteExportDxf(const nsExp::CExportList& list, int flags, const dxf::Drawing* background,
                           const dxf::Point& offset)
{
  ExportWriter writer;
  for (const nsExp::CExportData* record : list.m_records)
    if (record)
      writer.Record(*record);
  if (background && (flags & kExportBackground))
    writer.Background(*background, offset);
  return writer.File(flags);
}

}  // namespace grafocore
