#include "graphics/drawers/straight_road_drawer_2d.h"

#include "graphics/core/graphic_core_full.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/result_layer_painter_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "graphics/scene/scene_builder.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iroad.h"

#include <cmath>

namespace {

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }

constexpr int kStateOn = 0x1;
constexpr int kStateNotBuilt = 0x2;
// The dividing strip's edge lines stand this far inside the carriageways.
constexpr double kDividerLineInset = 0.13;

}  // namespace

void DrawArrow2D(HDC dc, POINT point, int length, int width, COLORREF colour)
{
  const int tip = point.x + length / 2, tail = point.x - length / 2, headBase = tail + 3;
  const int y = point.y, head = width / 2, shaft = width / 4;
  const POINT outline[8] = {{tip, y},
                            {headBase, y - head},
                            {headBase, y - shaft},
                            {tail, y - shaft},
                            {tail, y + shaft},
                            {headBase, y + shaft},
                            {headBase, y + head},
                            {tip, y}};
  HRGN region = CreatePolygonRgn(outline, 8, ALTERNATE);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRgn(dc, region, brush);
  FrameRgn(dc, region, brush, 1, 1);
  DeleteObject(brush);
  DeleteObject(region);
}

CStraightRoadDrawer2D::CStraightRoadDrawer2D(IGroupOfDev* group, CSceneBuilder* builder,
                                             CRoadPictureRenderer* renderer)
    : IroadDrawer2D(renderer, renderer->GetCore(), group), IStraightRoadDrawer(builder), m_owner(renderer),
      m_builder2D(builder)
{
  Layout();
  Refresh();
}

int CStraightRoadDrawer2D::PixelY(double y) const
{
  WorldToPixelY(y);
  return Trunc(y);
}

void CStraightRoadDrawer2D::FillWorldRect(double y, double dx, double dy, int colourId)
{
  const COLORREF colour = m_palette->GetColorRef(colourId);
  HGDIOBJ oldPen = SelectObject(m_dc, GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(m_dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(m_dc, colour);
  SetDCBrushColor(m_dc, colour);
  const double halfWidth = dx * m_scale / 2, halfHeight = dy * m_scale / 2;
  double centre = y;
  WorldToPixelY(centre);
  const int middle = Width() / 2;
  Rectangle(m_dc, Trunc(middle - halfWidth), Trunc(centre - halfHeight), Trunc(middle + halfWidth),
            Trunc(centre + halfHeight) + 1);
  SelectObject(m_dc, oldBrush);
  SelectObject(m_dc, oldPen);
}

void CStraightRoadDrawer2D::Draw()
{
  m_dc = m_owner->GetMemoryDC();
  const DWORD flags = m_owner->GetFlags();
  CResultLayerPainter2D& painter = *GetPainter();
  painter.PreparePictures();
  painter.PrepareIsolines();
  if (flags & kPicturePlacement) {
    DrawCrossSectionProfile();
    return;
  }
  if (flags & (kPictureLeftWall | kPictureRightWall)) {
    painter.DrawPictures(m_dc);
    painter.DrawIsolines(m_dc);
    painter.DrawNodeValues(m_dc);
    DrawRulers(m_dc);
    return;
  }
  m_rightEdge = m_leftEdge = 0;
  IArea* area = QueryActiveArea(m_document);
  DrawRoad(area);
  DrawPavements(area);
  painter.DrawPictures(m_dc);
  painter.DrawIsolines(m_dc);
  painter.DrawNodeValues(m_dc);
  DrawMarkings();
  if (flags & kPictureMainLuminance)
    DrawRowMark();
  DrawRulers(m_dc);
  if (area)
    area->Release();
}

void CStraightRoadDrawer2D::DrawRoad(IArea* area)
{
  const StraightRoadFigures& f = m_figures;
  ModelRef<IRoad> road(area, IID_IRoad);
  if (road && (f.roadState & kStateNotBuilt) == 0) {
    const int mainColour = (f.roadState & kStateOn) ? kColorCarriagewayActive : kColorCarriagewayInactive;
    if (f.oneWay) {
      FillWorldRect(0, f.length, f.mainWidth, mainColour);
      m_rightEdge = -f.mainWidth / 2;
      m_leftEdge = f.mainWidth / 2;
    } else {
      FillWorldRect(-(f.mainWidth / 2 + f.dividerWidth / 2), f.length, f.mainWidth, mainColour);
      m_rightEdge = -(f.mainWidth + f.dividerWidth / 2);
      FillWorldRect(f.oppositeWidth / 2 + f.dividerWidth / 2, f.length, f.oppositeWidth,
                    f.mainOn ? kColorCarriagewayActive : kColorCarriagewayInactive);
      m_leftEdge = f.oppositeWidth + f.dividerWidth / 2;
    }
  }
  if (f.parapetWidth > 0 && f.parapetHeight > 0)
    DrawParapet();
}

void CStraightRoadDrawer2D::DrawParapet() { FillWorldRect(0, m_figures.length, m_figures.parapetWidth, kColorParapet); }

void CStraightRoadDrawer2D::DrawMarkings()
{
  const StraightRoadFigures& f = m_figures;
  const COLORREF colour = m_palette->GetColorRef(kColorRoadMarking);
  const int width = Width();
  auto across = [&](double y) {
    const int row = PixelY(y);
    MoveToEx(m_dc, 0, row, nullptr);
    LineTo(m_dc, width, row);
  };
  HGDIOBJ oldPen = SelectObject(m_dc, GetStockObject(DC_PEN));
  SetDCPenColor(m_dc, colour);
  if (!f.oneWay) {
    across(f.dividerWidth / 2 + kDividerLineInset);
    across(-(f.dividerWidth / 2 + kDividerLineInset));
  }
  HPEN dashed = CreatePen(PS_DASH, 1, colour);
  SelectObject(m_dc, dashed);
  for (double y : MainSeparatorsY())
    across(y);
  for (double y : OppositeSeparatorsY())
    across(y);
  SelectObject(m_dc, oldPen);
  DeleteObject(dashed);
}

void CStraightRoadDrawer2D::DrawPavements(IArea* area)
{
  const StraightRoadFigures& f = m_figures;
  ModelRef<IPavement> sidewalks(area, IID_IPavement);
  if (!sidewalks || (*sidewalks->GetFlags() & kSideAbsent) != 0)
    return;
  auto strip = [&](double& edge, double outward, double gap, double width, int state) {
    if (gap != 0) {
      FillWorldRect(edge + outward * gap / 2, f.length, gap, kColorGap);
      edge += outward * gap;
    }
    FillWorldRect(edge + outward * width / 2, f.length, width, state ? kColorSidewalkActive : kColorSidewalkInactive);
    edge += outward * width;
  };
  if (ModelRef<IModelUnknown> right(sidewalks.get(), IID_RightPavement); right)
    strip(m_rightEdge, -1, f.rightGap, f.rightSidewalkWidth, f.rightSidewalkState);
  if (ModelRef<IModelUnknown> left(sidewalks.get(), IID_LeftPavement); left)
    strip(m_leftEdge, 1, f.leftGap, f.leftSidewalkWidth, f.leftSidewalkState);
}

void CStraightRoadDrawer2D::DrawRowMark()
{
  DrawArrow2D(m_dc, {10, PixelY(ObserverLaneY())}, 16, 20, m_palette->GetColorRef(kColorRoadMarking));
}

void CStraightRoadDrawer2D::DrawCrossSectionProfile()
{
  const StraightRoadFigures& f = m_figures;
  const double wb = Width(), hb = Height();
  const double t = (f.mainWidth + f.oppositeWidth + f.dividerWidth) * m_scale / 2;
  const double xL = wb / 2 - t, xR = wb / 2 + t;
  const double ground = hb - 4, road = hb - 2;
  std::vector<POINT> line;
  auto to = [&](double x, double y) { line.push_back({Trunc(x), Trunc(y)}); };
  to(0, ground);
  to(xL, ground);
  to(xL, road);
  if (f.parapetWidth > 0 && f.parapetHeight > 0) {
    // Left of the profile is the positive-y side: the opposite carriageway comes first.
    const double middle = xL + f.oppositeWidth * m_scale + f.dividerWidth * m_scale / 2;
    const double half = f.parapetWidth * m_scale / 2, top = road - f.parapetHeight * m_scale;
    to(middle - half, road);
    to(middle - half, top);
    to(middle + half, top);
    to(middle + half, road);
  }
  to(xR, road);
  to(xR, ground);
  to(wb, ground);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(m_dc, pen);
  Polyline(m_dc, line.data(), static_cast<int>(line.size()));
  SelectObject(m_dc, old);
  DeleteObject(pen);
}
