#include "graphics/export/export_builders.h"

#include "geometry/calc_area.h"
#include "geometry/calc_area_manager.h"
#include "geometry/mesh/calc_surface.h"
#include "geometry/vector_string3d.h"
#include "graphics/core/model_ref.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/street_devices.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "platform/base/codepage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using namespace nsExp;
using namespace ObjectModel;

constexpr double kPi = std::numbers::pi;
// Layer levels of consecutive primitives of different membership differ by this much.
constexpr double kLayerStep = 0.01;

void CopyPlacement(const CObject3D& from, CExportData& to)
{
  std::copy(from.m_position, from.m_position + 3, to.m_position);
  std::copy(from.m_rotation, from.m_rotation + 3, to.m_rotation);
  std::copy(from.m_size, from.m_size + 3, to.m_size);
}

class LuminaireExporter {
public:
  explicit LuminaireExporter(CExportList& list) : m_list(list) {}

  void Export(CObject3D* object, CExpGroupLightingColumn* parent)
  {
    if (auto* group = dynamic_cast<CGroupLightDevice3D*>(object)) {
      // An unnamed individual group is no group to the drawing: its poles go to the parent.
      if (group->m_groupKind == CGroupLightDevice3D::kIndividual && group->GetName().IsEmpty()) {
        for (CObject3D* member : group->GetObjects())
          Export(member, parent);
        return;
      }
      auto* record = new CExpGroupLightingColumn;
      CopyPlacement(*group, *record);
      record->m_name = AnsiToWide(group->GetName());
      record->m_groupKind = group->m_groupKind;
      m_list.m_records.push_back(record);
      for (CObject3D* member : group->GetObjects())
        Export(member, record);
      return;
    }
    if (auto* decorated = dynamic_cast<CLightStreetDeviceDecorator*>(object)) {
      Export(decorated->GetDevice(), parent);
      return;
    }
    if (auto* device = dynamic_cast<CBaseLightStreetDevice*>(object))
      ExportDevice(*device, parent);
  }

private:
  void ExportDevice(CBaseLightStreetDevice& device, CExpGroupLightingColumn* parent)
  {
    auto* column = new CExpLightingColumn;
    column->m_deviceKind = device.GetKind();
    CBaseBracket* bracket = device.GetBracket();
    CBaseSupport* support = device.GetSupport();
    column->m_tubeHeight = bracket ? bracket->GetTubeHeight() : 0;
    std::copy(device.m_position, device.m_position + 3, column->m_position);
    std::copy(device.m_rotation, device.m_rotation + 3, column->m_rotation);
    if (support)
      std::copy(support->m_size, support->m_size + 3, column->m_size);
    if (CVectorString3D* label = device.GetLabel(); label && !label->GetText().empty()) {
      auto* text = new CExpMTextData;
      text->m_position[0] = label->m_position[0];
      text->m_position[1] = label->m_position[1];
      text->m_position[2] = device.m_position[2];
      std::copy(label->m_rotation, label->m_rotation + 3, text->m_rotation);
      text->m_size[1] = label->GetHeight();
      text->m_text = label->GetText();
      column->m_name = label->GetText();
      m_list.m_records.push_back(text);
    }
    const double supportHeight = support ? support->m_size[2] : 0;
    if (bracket) {
      for (CBaseArm* arm : bracket->GetArms()) {
        if (!arm)
          continue;
        auto* record = new CExpLightingColumn::CArm;
        CopyPlacement(*arm, *record);
        CBaseLightDevice* luminaire = arm->GetLuminaire();
        record->m_mountingHeight = (luminaire ? luminaire->m_position[2] : 0) + supportHeight;
        if ((device.GetKind() & CBaseLightStreetDevice::kMast) && luminaire) {
          record->m_aim = new CExportData(0);
          std::copy(luminaire->m_rotation, luminaire->m_rotation + 3, record->m_aim->m_rotation);
        }
        column->m_arms.push_back(record);
      }
    }
    column->m_group = parent;
    // A pole outside every named group stands in the list itself, or it would be lost with no owner.
    if (parent)
      parent->m_members.push_back(column);
    else
      m_list.m_records.push_back(column);
  }

  CExportList& m_list;
};

int MembershipBit(int membership)
{
  switch (membership) {
  case kMemberBackground: return 1;
  case kMemberCarriageway: return 2;
  case kMemberSidewalk: return 4;
  case kMemberShading: return 8;
  default: return 0;
  }
}

class PrimitiveExporter {
public:
  PrimitiveExporter(CExportList& list, bool interchange) : m_list(list), m_interchange(interchange) {}

  void Export(IPrimitive& primitive)
  {
    const int membership = *primitive.GetMembership();
    if (m_first)
      m_level = kLayerStep;
    else if (membership != m_previousMembership)
      m_level += kLayerStep;
    m_first = false;
    m_previousMembership = membership;

    _PRIMITIVE_INFO_1 info{};
    primitive.GetCalcInfo(&info);
    const bool shading = membership == kMemberShading;
    const double z = shading ? 0 : info.centre[2];
    const int shape = *primitive.GetShape();
    const int* detail = primitive.GetArcDetail();
    const int n = 17 * std::max(1, detail ? *detail : 1);
    const double turn = primitive.GetRotation() * kPi / 180;
    auto local = [&](double x, double y) {
      return CPoint3{info.centre[0] + x * std::cos(turn) - y * std::sin(turn),
                     info.centre[1] + x * std::sin(turn) + y * std::cos(turn), z};
    };

    auto* polygon = NewPolygon(membership, z);
    std::vector<CPoint3>& points = polygon->m_points;
    switch (shape) {
    case kShapeTriangle:
      for (const double* p : {static_cast<const double*>(info.points[0]), static_cast<const double*>(info.points[1]),
                              static_cast<const double*>(info.extraPoint)})
        points.push_back({p[0], p[1], z});
      break;
    case kShapeRectangle:
      for (int k = 0; k < 4; ++k)
        points.push_back({info.points[k][0], info.points[k][1], z});
      break;
    case kShapeEllipse: {
      const double a = *primitive.GetSize2() / 2, b = *primitive.GetSize1() / 2;
      for (int k = 0; k < n; ++k)
        points.push_back(local(a * std::cos(2 * kPi * k / n), b * std::sin(2 * kPi * k / n)));
      break;
    }
    case kShapeRingSector: {
      const double outer = std::max(*primitive.GetSize1(), *primitive.GetSize2()) / 2;
      const double inner = std::max(0.0, *primitive.GetInnerRadius());
      const double sector = *primitive.GetSectorAngle();
      const double start = kPi / 2;
      if (sector >= 360 && !shading) {
        delete polygon;
        ExportFullRing(membership, z, inner, outer, n, local);
        return;
      }
      const double sweep = std::min(sector, 360.0) * kPi / 180;
      const int steps = std::max(1, static_cast<int>(std::ceil(sweep / (2 * kPi / n) - 1e-9)));
      for (int k = 0; k <= steps; ++k)
        points.push_back(local(outer * std::cos(start + sweep * k / steps), outer * std::sin(start + sweep * k / steps)));
      for (int k = steps; k >= 0; --k)
        points.push_back(local(inner * std::cos(start + sweep * k / steps), inner * std::sin(start + sweep * k / steps)));
      break;
    }
    default: {
      CArray<_CSPOINT3D>* outline = nullptr;
      primitive.GetOutline(&outline);
      if (outline)
        for (const _CSPOINT3D& v : *outline)
          points.push_back({v.x, v.y, m_interchange ? v.z : z});
      break;
    }
    }
    MakeClockwise(points);
    m_list.m_records.push_back(polygon);
    if (m_interchange && IsPolygonShape(shape))
      ExportSurfaceIsolines(primitive);
  }

private:
  CExpPolygonData* NewPolygon(int membership, double z)
  {
    auto* polygon = new CExpPolygonData;
    polygon->m_membership = MembershipBit(membership);
    polygon->m_layerLevel = m_level;
    polygon->m_height = z;
    return polygon;
  }

  template <typename Local>
  void ExportFullRing(int membership, double z, double inner, double outer, int n, Local local)
  {
    auto* region = new CExpRegionData;
    region->m_membership = MembershipBit(membership);
    region->m_layerLevel = m_level;
    for (double radius : {outer, inner}) {
      CExpPolygonData* ring = NewPolygon(membership, z);
      for (int k = 0; k < n; ++k)
        ring->m_points.push_back(local(radius * std::cos(kPi / 2 + 2 * kPi * k / n),
                                       radius * std::sin(kPi / 2 + 2 * kPi * k / n)));
      MakeClockwise(ring->m_points);
      // The hole runs the other way round.
      if (radius == inner && radius != outer)
        std::reverse(ring->m_points.begin(), ring->m_points.end());
      region->m_polygons.push_back(ring);
    }
    m_list.m_records.push_back(region);
  }

  void ExportSurfaceIsolines(IPrimitive& primitive)
  {
    auto* surface = dynamic_cast<::CPrimitiveCalcSurface*>(primitive.GetMeshHelper());
    if (!surface)
      return;
    auto* isolines = new CExpIsolinesData;
    std::vector<CExpPolylineData*> strokes;
    for (const auto& level : surface->GetIsolines().levels) {
      auto* record = new CExpIsolinesData::CLevel;
      for (const auto& curve : level->curves) {
        for (const CMeshIsoSegment& s : curve->segments)
          if (s.flags & MeshIso::kSegmentVisible)
            record->segments.push_back({s.a.x, s.a.y, s.a.z, s.b.x, s.b.y, s.b.z});
        for (const auto& label : curve->labels)
          for (const auto& glyph : label->GetGlyphs())
            for (const auto& contour : glyph->m_contours) {
              auto* stroke = new CExpPolylineData;
              for (const _POINT3D& p : contour->m_points)
                stroke->m_points.push_back({p.x, p.y, p.z});
              strokes.push_back(stroke);
            }
      }
      isolines->m_levels.push_back(record);
    }
    m_list.m_records.push_back(isolines);
    m_list.m_records.insert(m_list.m_records.end(), strokes.begin(), strokes.end());
  }

  CExportList& m_list;
  bool m_interchange;
  bool m_first = true;
  int m_previousMembership = 0;
  double m_level = 0;
};

void ExportNodeValues(CCalcArea& main, CExportList& list)
{
  auto* values = new CExpValuesData;
  for (const _NODE_LABEL& node : main.m_nodeValues.GetLabels()) {
    if (!node.label)
      continue;
    auto* value = new CExpValuesData::CValue;
    value->x = node.label->m_position[0];
    value->y = node.label->m_position[1];
    value->z = node.label->m_position[2];
    value->text = node.label->GetText();
    value->height = node.label->GetHeight();
    values->m_values.push_back(value);
  }
  list.m_records.push_back(values);
}

void ExportIsolines(CCalcArea& main, CExportList& list)
{
  auto* isolines = new CExpIsolinesData;
  for (const auto& line : main.m_isolines.GetIsolines()) {
    auto* level = new CExpIsolinesData::CLevel;
    for (const _ISO_SEGMENT& s : line->m_segments)
      if (s.shown)
        level->segments.push_back({s.first[0], s.first[1], s.first[2], s.second[0], s.second[1], s.second[2]});
    for (const auto& label : line->m_labels)
      if (label)
        level->labels.push_back({label->m_position[0], label->m_position[1], label->m_position[2], label->GetText(),
                                 label->GetHeight(), label->m_rotation[2]});
    isolines->m_levels.push_back(level);
  }
  list.m_records.push_back(isolines);
}

}  // namespace

std::u16string AnsiToWide(const CString& text)
{
  return codepage::Cp1251ToUtf16(std::string_view(static_cast<LPCSTR>(text), static_cast<size_t>(text.GetLength())));
}

void MakeClockwise(std::vector<CPoint3>& points)
{
  const size_t n = points.size();
  if (n < 3)
    return;
  size_t lowest = 0;
  for (size_t i = 1; i < n; ++i)
    if (points[i].y < points[lowest].y || (points[i].y == points[lowest].y && points[i].x < points[lowest].x))
      lowest = i;
  const CPoint3& a = points[(lowest + n - 1) % n];
  const CPoint3& b = points[lowest];
  const CPoint3& c = points[(lowest + 1) % n];
  const double cross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
  if (cross > 0)
    std::reverse(points.begin(), points.end());
}

void BuildExportRecords(IArea* area, CExportList* list, int flags, const CExportSources& sources)
{
  if (!area || !list)
    return;
  {
    ModelRef<IClassObjModel> object(area, IID_IClassObjModel);
    CGuid areaClass;
    if (object)
      object->GetClassId(&areaClass);
    list->m_interchange = areaClass.IsEqual(&CLSID_CCustomizeRoad3D) ? 1 : 0;
  }
  const bool interchange = list->m_interchange != 0;
  if ((flags & kExportLuminaires) && sources.scene) {
    LuminaireExporter luminaires(*list);
    for (CObject3D* object : sources.scene->GetObjects())
      luminaires.Export(object, nullptr);
  }
  if (flags & (kExportPrimitives | kExportShading)) {
    PrimitiveExporter primitives(*list, interchange);
    ModelRef<IPrimitive> first(area, IID_IPrimitive);
    for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext())
      primitives.Export(*primitive);
  }
  CCalcArea* main = sources.manager ? sources.manager->GetMainArea() : nullptr;
  if (main && (flags & (kExportNodeValuesBit | kExportIsolinesBit)))
    main->EnsureIsolinesAndNodeValues();
  if (main && (flags & kExportNodeValuesBit))
    ExportNodeValues(*main, *list);
  if (main && (flags & kExportIsolinesBit) && !interchange)
    ExportIsolines(*main, *list);
  if (flags & kExportOutline) {
    auto* outline = new CExpPolygonData(kExpOutline);
    const double l = *area->GetLength() / 2, w = *area->GetWidth() / 2;
    outline->m_points = {{-l, -w, 0}, {l, -w, 0}, {l, w, 0}, {-l, w, 0}};
    list->m_records.push_back(outline);
  }
  if (flags & kExportAxes)
    list->m_records.push_back(new CExpAxisData);
}
