#include "graphics/drawers/road_drawer_2d.h"

#include "graphics/core/graphic_core_full.h"
#include "graphics/drawers/result_layer_painter_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "graphics/scene/scene_builder.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "platform/gdi/windraw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }

constexpr COLORREF kRulerColour = RGB(110, 110, 110);
constexpr int kTick = 4;
constexpr int kLabelGap = 5;
// Ruler steps are even metres, about fifty to the longer side.
constexpr double kTicksPerSide = 50;

// A wall picture's frame is centred one metre above this row.
constexpr int kWallFrameRow = 325;

// The builder gives a strip's edges inner edge first; the layout wants the upper one first.
LayerRect Upright(const double* r)
{
  return {r[0], r[1], std::max(r[2], r[3]), std::min(r[2], r[3])};
}

LayerRect Union(const LayerRect& a, const LayerRect& b)
{
  return {std::min(a.x0, b.x0), std::max(a.x1, b.x1), std::max(a.yTop, b.yTop), std::min(a.yBottom, b.yBottom)};
}

}  // namespace

IroadDrawer2D::IroadDrawer2D(CRoadPictureRenderer* renderer, CGraphicCoreFull* core, IGroupOfDev* group)
    : m_core(core), m_renderer(renderer), m_group(group)
{
  m_painter = std::make_unique<CResultLayerPainter2D>(core, this);
}

IroadDrawer2D::~IroadDrawer2D() = default;

int IroadDrawer2D::Width() const { return static_cast<int>(m_renderer->GetWidth()); }
int IroadDrawer2D::Height() const { return static_cast<int>(m_renderer->GetHeight()); }
DWORD IroadDrawer2D::Flags() const { return m_renderer->GetFlags(); }

void IroadDrawer2D::Layout()
{
  m_verticalShift = 0;
  const DWORD flags = Flags();
  const bool freeForm = (flags & kPictureFreeForm) != 0;
  const bool wall = (flags & (kPictureLeftWall | kPictureRightWall)) != 0;
  const CSceneBuilder& builder = *m_core->GetSceneBuilder();
  const int width = Width(), height = Height();

  LayerRect extents;
  if (freeForm) {
    m_left = 60;
    m_top = 100;
    const double length = builder.m_extent[0], areaWidth = builder.m_extent[1];
    extents = {-length / 2, length / 2, areaWidth / 2, -areaWidth / 2};
    m_field[CSceneBuilder::kMainCarriageway] = extents;
  } else {
    for (int i = 0; i < CSceneBuilder::kFieldStripCount; ++i)
      m_field[i] = Upright(builder.m_field[i]);
    m_heights[0] = builder.m_sidewalkCalcHeight;
    m_heights[1] = builder.m_carriagewayCalcHeight;
    if (wall) {
      m_left = m_top = 50;
      extents = m_field[(flags & kPictureLeftWall) ? CSceneBuilder::kLeftWall : CSceneBuilder::kRightWall];
      extents.yBottom -= 1;
    } else {
      m_left = 60;
      m_top = 50;
      extents = m_field[CSceneBuilder::kLeftSidewalk];
      for (int i = CSceneBuilder::kLeftGap; i <= CSceneBuilder::kRightSidewalk; ++i)
        extents = Union(extents, m_field[i]);
    }
    if (m_group) {
      m_groupOffset = *m_group->GetOffset();
      extents.x0 += m_groupOffset;
      extents.x1 = extents.x0 + *m_group->GetStep();
    }
  }

  const double xExtent = extents.x1 - extents.x0, yExtent = extents.yTop - extents.yBottom;
  const double longer = std::max(xExtent, yExtent);
  m_scale = longer > 0 ? std::min(width - m_left, height - m_top) / longer : 0;

  if (freeForm) {
    m_left = Trunc((width - 60) / 2.0 + 30);
    m_top = 50;
    BuildLayerRects(TRUE);
    ComputeFrame(extents, extents, flags);
  } else if (wall) {
    m_left = m_left - Trunc(((m_left + xExtent * m_scale) - (width - m_left)) / 2);
    BuildLayerRects(FALSE);
    ComputeFrame(extents, extents, flags);
  } else if (flags & kPicturePlacement) {
    m_scale *= 1.2;
  } else {
    m_left = 60 - Trunc((60 + xExtent * m_scale - (width - 60)) / 2);
    m_verticalShift = Trunc(m_scale * (extents.yTop + extents.yBottom) / 2);
    BuildLayerRects(FALSE);
    ComputeFrame(m_field[CSceneBuilder::kMainCarriageway], extents, flags);
  }
}

void IroadDrawer2D::WorldToPixelY(double& y) const
{
  y = Height() / 2 - Trunc(m_top / 2.0) - 1 - y * m_scale + m_verticalShift;
}

void IroadDrawer2D::RectToPixels(LayerRect& rect) const
{
  const double half = (rect.x1 - rect.x0) * m_scale / 2;
  rect.x0 = Width() / 2 - half;
  rect.x1 = Width() / 2 + half;
  WorldToPixelY(rect.yTop);
  WorldToPixelY(rect.yBottom);
}

const LayerRect* IroadDrawer2D::FindLayerRect(unsigned kind) const
{
  const auto found = m_layers.find(kind);
  return found == m_layers.end() ? nullptr : &found->second;
}

void IroadDrawer2D::BuildLayerRects(BOOL freeForm)
{
  m_layers.clear();
  if (freeForm) {
    LayerRect area = m_field[CSceneBuilder::kMainCarriageway];
    RectToPixels(area);
    const double shift = m_left - Width() / 2;
    area.x0 += shift;
    area.x1 += shift;
    m_layers[kPictureFreeForm] = area;
    return;
  }
  LayerRect rects[CSceneBuilder::kFieldStripCount];
  std::copy(m_field, m_field + CSceneBuilder::kFieldStripCount, rects);
  // The sidewalks' fields are moved over the kerb so that they meet the gap strips.
  rects[CSceneBuilder::kLeftSidewalk].yTop -= 0.1;
  rects[CSceneBuilder::kLeftSidewalk].yBottom -= 0.1;
  rects[CSceneBuilder::kRightSidewalk].yTop += 0.1;
  rects[CSceneBuilder::kRightSidewalk].yBottom += 0.1;
  for (LayerRect& r : rects)
    RectToPixels(r);
  const struct {
    unsigned kind;
    int strip;
  } kinds[] = {
      {kPictureOppositeIlluminance, CSceneBuilder::kOppositeCarriageway},
      {kPictureOppositeLuminance, CSceneBuilder::kOppositeCarriageway},
      {kPictureMainIlluminance, CSceneBuilder::kMainCarriageway},
      {kPictureMainLuminance, CSceneBuilder::kMainCarriageway},
      {kPictureLeftSidewalk, CSceneBuilder::kLeftSidewalk},
      {kPictureLeftSidewalkSemiCylindrical, CSceneBuilder::kLeftSidewalk},
      {kPictureRightSidewalk, CSceneBuilder::kRightSidewalk},
      {kPictureRightSidewalkSemiCylindrical, CSceneBuilder::kRightSidewalk},
      {kPictureLeftWall, CSceneBuilder::kLeftWall},
      {kPictureRightWall, CSceneBuilder::kRightWall},
  };
  for (const auto& k : kinds)
    m_layers[k.kind] = rects[k.strip];
}

void IroadDrawer2D::ComputeFrame(const LayerRect& origin, const LayerRect& extents, DWORD flags)
{
  LayerRect frame = extents;
  RectToPixels(frame);
  if (flags & kPictureFreeForm) {
    m_frame = {Trunc(frame.x0), Trunc(frame.yTop), Trunc(frame.x1), Trunc(frame.yBottom)};
    m_axisX = (m_frame.left + m_frame.right) / 2;
    m_axisY = (m_frame.top + m_frame.bottom) / 2;
  } else if (flags & (kPictureLeftWall | kPictureRightWall)) {
    const double frameHeight = frame.yBottom - frame.yTop;
    const double middle = (frame.yTop + frame.yBottom) / 2;
    const double move = (kWallFrameRow - m_scale) - middle;
    frame.yTop += move;
    frame.yBottom += move;
    m_frame = {Trunc(frame.x0), Trunc(frame.yTop), Trunc(frame.x1), Trunc(frame.yBottom)};
    m_verticalShift = Trunc(frameHeight / 2 - m_scale);
    m_axisX = m_frame.left;
    m_axisY = m_frame.bottom;
  } else {
    m_frame = {Trunc(frame.x0), Trunc(frame.yTop), Trunc(frame.x1), Trunc(frame.yBottom)};
    LayerRect road = origin;
    RectToPixels(road);
    m_axisX = m_frame.left;
    m_axisY = Trunc(road.yBottom);
  }
  const double longer = std::max(extents.x1 - extents.x0, extents.yTop - extents.yBottom);
  m_stepX = m_stepY = 2 * std::ceil(longer / kTicksPerSide);
}

HFONT CreateRulerFont()
{
  LOGFONT font{};
  font.lfHeight = 14;
  font.lfWeight = 100;
  font.lfCharSet = 204;
  font.lfOutPrecision = 4;
  font.lfClipPrecision = 16;
  font.lfQuality = 2;
  std::strcpy(font.lfFaceName, "Arial");
  return CreateFontIndirect(&font);
}

void DrawAxisArrow(HDC dc, BOOL up, int x0, int y0, int x1, int y1)
{
  HPEN pen = CreatePen(PS_SOLID, 2, kRulerColour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, kRulerColour);
  const POINT upHead[3] = {{x1 - 3, y1 + 10}, {x1, y1}, {x1 + 3, y1 + 10}};
  const POINT rightHead[3] = {{x1 - 10, y1 - 3}, {x1, y1}, {x1 - 10, y1 + 3}};
  Polyline(dc, up ? upHead : rightHead, 3);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void DrawTickLabel(HDC dc, int value, int x, int y, UINT format)
{
  char text[16];
  const int length = std::snprintf(text, sizeof(text), "%d", value);
  RECT measured = {0, 0, 0, 0};
  DrawTextA(dc, text, length, &measured, DT_CALCRECT | DT_SINGLELINE);
  const int w = measured.right - measured.left, h = measured.bottom - measured.top;
  RECT place;
  if (format & DT_RIGHT)
    place = {x - kLabelGap - w, y - h / 2, x - kLabelGap, y - h / 2 + h};
  else
    place = {x - w / 2, y + kLabelGap, x - w / 2 + w, y + kLabelGap + h};
  DrawTextA(dc, text, length, &place, format | DT_SINGLELINE);
}

void IroadDrawer2D::DrawRulers(HDC dc)
{
  HFONT font = CreateRulerFont();
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, kRulerColour);
  const RECT& f = m_frame;
  DrawAxisArrow(dc, TRUE, f.left, f.bottom, f.left, f.top - 10);
  DrawAxisArrow(dc, FALSE, f.left, f.bottom, f.right + 10, f.bottom);

  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, kRulerColour);
  auto tick = [&](int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
  };
  const int stepY = Trunc(m_stepY), stepX = Trunc(m_stepX);
  const double pixelsY = m_stepY * m_scale, pixelsX = m_stepX * m_scale;
  if (pixelsY > 0) {
    int value = 0;
    for (double y = m_axisY; y >= f.top - 1; y -= pixelsY, value += stepY) {
      tick(f.left - kTick, Trunc(y), f.left, Trunc(y));
      DrawTickLabel(dc, value, f.left - kTick, Trunc(y), DT_RIGHT);
    }
    value = -stepY;
    for (double y = m_axisY + pixelsY; y <= f.bottom; y += pixelsY, value -= stepY) {
      tick(f.left - kTick, Trunc(y) + 1, f.left, Trunc(y) + 1);
      DrawTickLabel(dc, value, f.left - kTick, Trunc(y), DT_RIGHT);
    }
  }
  RECT unitY = {f.left - 20, f.top - 20, f.left + 10, f.top - 6};
  DrawTextA(dc, "[M]", 3, &unitY, DT_SINGLELINE);
  const int offset = m_group ? Trunc(m_groupOffset) : 0;
  if (pixelsX > 0) {
    int value = offset + stepX;
    for (double x = m_axisX + pixelsX; x <= f.right + 1; x += pixelsX, value += stepX) {
      tick(Trunc(x), f.bottom, Trunc(x), f.bottom + kTick);
      DrawTickLabel(dc, value, Trunc(x), f.bottom + kTick, DT_CENTER);
    }
    value = offset;
    for (double x = m_axisX; x >= f.left; x -= pixelsX, value -= stepX) {
      tick(Trunc(x), f.bottom, Trunc(x), f.bottom + kTick);
      DrawTickLabel(dc, value, Trunc(x), f.bottom + kTick, DT_CENTER);
    }
  }
  RECT unitX = {f.right + 10, f.bottom + 4, f.right + 40, f.bottom + 18};
  DrawTextA(dc, "[M]", 3, &unitX, DT_SINGLELINE);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
  DeleteObject(font);
}
