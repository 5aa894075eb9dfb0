#include "graphics/drawers/customize_road_drawer_2d.h"

#include "graphics/core/graphic_core_full.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/result_layer_painter_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace ObjectModel;

constexpr int kLibraryDrawingBit = 0x1000;
constexpr int kEllipsePoints = 20;

int MembershipColour(int membership)
{
  switch (membership) {
  case kMemberBackground: return kColorGap;
  case kMemberCarriageway: return kColorCarriagewayActive;
  case kMemberSidewalk: return kColorSidewalkActive;
  case kMemberShading: return kColorShadingObject;
  case kMemberMarking: return kColorRoadMarking;
  default: return -1;  // not drawn
  }
}

HRGN RegionOf(const std::vector<POINT>& points)
{
  return points.size() < 3 ? nullptr : CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE);
}

}  // namespace

CCustomizeRoadDrawer2D::CCustomizeRoadDrawer2D(CGraphicCoreFull* core, CRoadPictureRenderer* renderer)
    : IroadDrawer2D(renderer, core, nullptr), ICustomizeRoadDrawer(core), m_owner(renderer)
{
  Layout();
}

POINT CCustomizeRoadDrawer2D::ToPixel(double x, double y) const
{
  WorldToPixelY(y);
  return {static_cast<LONG>(std::trunc(x * m_scale + m_left)), static_cast<LONG>(std::trunc(y))};
}

RECT CCustomizeRoadDrawer2D::AreaRect(IArea* area) const
{
  const double length = *area->GetLength(), width = *area->GetWidth();
  double top = width / 2, bottom = -width / 2;
  WorldToPixelY(top);
  WorldToPixelY(bottom);
  return {static_cast<LONG>(m_left - length / 2 * m_scale), static_cast<LONG>(top) + 1,
          static_cast<LONG>(m_left + length / 2 * m_scale - 1), static_cast<LONG>(bottom)};
}

void CCustomizeRoadDrawer2D::Draw()
{
  CResultLayerPainter2D& painter = *GetPainter();
  painter.PreparePictures();
  painter.PrepareIsolines();
  m_dc = m_owner->GetMemoryDC();
  void* found = nullptr;
  if (!m_document || FAILED(m_document->QueryInterface(IID_ActiveArea, &found)) || !found)
    return;
  auto* area = static_cast<IArea*>(found);
  m_libraryUnderlay = *area->GetUnderlayId() & kLibraryDrawingBit;
  DrawBackground(area);
  DrawPrimitives2D(area);
  if (!m_libraryUnderlay)
    DrawRulers(m_dc);
  area->Release();
}

void CCustomizeRoadDrawer2D::DrawBackground(IArea* area)
{
  HGDIOBJ oldPen = SelectObject(m_dc, GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(m_dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(m_dc, RGB(0, 0, 0));
  SetDCBrushColor(m_dc, m_palette->GetColorRef(kColorGap));
  const RECT r = AreaRect(area);
  Rectangle(m_dc, r.left, r.top, r.right, r.bottom);
  SelectObject(m_dc, oldBrush);
  SelectObject(m_dc, oldPen);
}

HRGN CCustomizeRoadDrawer2D::CreatePrimitiveRegion(IPrimitive* primitive)
{
  std::vector<POINT> points;
  const int shape = *primitive->GetShape();
  if (shape == kShapeTriangle) {
    _PRIMITIVE_INFO_1 info{};
    primitive->GetInfo(&info);
    for (int k = 0; k < 3; ++k)
      points.push_back(ToPixel(info.points[k][0], info.points[k][1]));
  } else if (shape == kShapeRectangle) {
    _PRIMITIVE_INFO_1 info{};
    primitive->GetCalcInfo(&info);
    for (int k = 0; k < 4; ++k)
      points.push_back(ToPixel(info.points[k][0], info.points[k][1]));
  } else if (shape == kShapeEllipse || shape == kShapeRingSector) {
    double centre[3] = {0, 0, 0};
    primitive->GetCentre(centre);
    const double turn = primitive->GetRotation() * std::numbers::pi / 180;
    auto at = [&](double x, double y) {
      const double c = std::cos(turn), s = std::sin(turn);
      return ToPixel(centre[0] + x * c - y * s, centre[1] + x * s + y * c);
    };
    const double a = *primitive->GetSize2() / 2, b = *primitive->GetSize1() / 2;
    if (shape == kShapeEllipse) {
      for (int i = 1; i <= kEllipsePoints; ++i) {
        const double t = i * std::numbers::pi / 10;
        points.push_back(at(a * std::cos(t), b * std::sin(t)));
      }
    } else {
      const double outer = std::max(a, b), inner = std::max(0.0, *primitive->GetInnerRadius());
      const int* detail = primitive->GetArcDetail();
      const int n = (detail && *detail > 0 ? *detail : 6) * (*primitive->GetMembership() == kMemberBackground ? 17 : 4);
      const double step = 2 * std::numbers::pi / n;
      // Never beyond a full turn: a damaged file's angle must not grow the point list without end.
      const double degrees = *primitive->GetSectorAngle();
      const double sector = std::clamp(std::isfinite(degrees) ? degrees : 0.0, 0.0, 360.0) * std::numbers::pi / 180;
      const double start = std::numbers::pi / 2;
      for (double t = 0; t < sector; t += step)
        points.push_back(at(outer * std::cos(start + t), outer * std::sin(start + t)));
      points.push_back(at(outer * std::cos(start + sector), outer * std::sin(start + sector)));
      for (double t = sector; t > 0; t -= step)
        points.push_back(at(inner * std::cos(start + t), inner * std::sin(start + t)));
      points.push_back(at(inner * std::cos(start), inner * std::sin(start)));
    }
  }
  return RegionOf(points);
}

void CCustomizeRoadDrawer2D::FillRegion(HRGN region, HRGN areaRegion, HBRUSH brush, bool results)
{
  if (!region)
    return;
  CombineRgn(region, region, areaRegion, RGN_AND);
  FrameRgn(m_dc, region, brush, 1, 1);
  FillRgn(m_dc, region, brush);
  if (results) {
    SelectClipRgn(m_dc, region);
    CResultLayerPainter2D& painter = *GetPainter();
    painter.DrawPictures(m_dc);
    painter.DrawIsolines(m_dc);
    painter.DrawNodeValues(m_dc);
    SelectClipRgn(m_dc, nullptr);
  }
  DeleteObject(region);
}

void CCustomizeRoadDrawer2D::DrawPrimitives2D(IArea* area)
{
  CGuid areaClass;
  if (ModelRef<IClassObjModel> model(area, IID_IClassObjModel); model)
    model->GetClassId(&areaClass);
  if (!areaClass.IsEqual(&CLSID_CCustomizeRoad) && !areaClass.IsEqual(&CLSID_CCustomizeRoad3D))
    return;
  ModelRef<ICustomizeRoad> site(area, IID_ICustomizeRoad);
  const int roadState = site ? *site->GetRoadState() : kStateOn;
  const int sidewalkState = site ? *site->GetSidewalkState() : kStateOn;
  const RECT r = AreaRect(area);
  HRGN areaRegion = CreateRectRgn(r.left, r.top, r.right, r.bottom);
  ModelRef<IPrimitive> first(area, IID_IPrimitive);
  for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext()) {
    const int membership = *primitive->GetMembership();
    int state = *primitive->GetState();
    // A primitive whose owner is switched off is not filled.
    if ((membership == kMemberCarriageway && !(roadState & kStateOn)) ||
        (membership == kMemberSidewalk && !(sidewalkState & kStateOn)))
      state &= ~kStateOn;
    const int colour = MembershipColour(membership);
    if (!(state & kStateOn) || colour < 0)
      continue;
    HBRUSH brush = CreateSolidBrush(m_palette->GetColorRef(colour));
    const bool results = membership == kMemberCarriageway || membership == kMemberSidewalk;
    if (IsPolygonShape(*primitive->GetShape())) {
      for (IPrimitive* piece = primitive->GetFirstChild(); piece; piece = piece->GetNext()) {
        _PRIMITIVE_INFO_1 info{};
        piece->GetInfo(&info);
        std::vector<POINT> corners;
        for (int k = 0; k < 3; ++k)
          corners.push_back(ToPixel(info.points[k][0], info.points[k][1]));
        FillRegion(RegionOf(corners), areaRegion, brush, results);
      }
    } else {
      FillRegion(CreatePrimitiveRegion(primitive), areaRegion, brush, results);
    }
    DeleteObject(brush);
  }
  DeleteObject(areaRegion);
}
