#include "graphics/drawers/light_device_painter_2d.h"

#include "graphics/core/graphic_core_full.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/scene/street_devices.h"
#include "graphics/scene/supports.h"
#include "model/igroups.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kLampRadius = 5;

COLORREF OwnerColour(const CObject3D* device)
{
  const CObject3D* owner = device->GetOwner() ? device->GetOwner() : device;
  return CScenePalette::GetInstance()->GetColorRef(owner->GetColor());
}

void Circle(HDC dc, POINT p, int radius, COLORREF colour)
{
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, colour);
  SetDCBrushColor(dc, colour);
  Ellipse(dc, p.x - radius, p.y - radius, p.x + radius, p.y + radius);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

CStreetFixtureDevice* StreetDeviceOf(CObject3D* object)
{
  if (auto* decorator = dynamic_cast<CLightStreetDeviceDecorator*>(object))
    return decorator->GetDevice();
  return dynamic_cast<CStreetFixtureDevice*>(object);
}

}  // namespace

void DrawSymbolRect(HDC dc, COLORREF frame, COLORREF fill, int x, int y, int, double length, double width,
                    double angle)
{
  const double a = (angle - 90) * kDegree;
  const double A = length / 2 * std::cos(a), B = length / 2 * std::sin(a);
  const double C = width / 2 * std::cos(a), D = width / 2 * std::sin(a);
  auto at = [](double px, double py) { return POINT{static_cast<LONG>(px), static_cast<LONG>(py)}; };
  const POINT corners[4] = {at(x - A + D, y - B - C), at(x + A + D, y + B - C), at(x + A - D, y + B + C),
                            at(x - A - D, y - B + C)};
  HRGN region = CreatePolygonRgn(corners, 4, ALTERNATE);
  HBRUSH fillBrush = CreateSolidBrush(fill);
  HBRUSH frameBrush = CreateSolidBrush(frame);
  FillRgn(dc, region, fillBrush);
  FrameRgn(dc, region, frameBrush, 1, 1);
  DeleteObject(frameBrush);
  DeleteObject(fillBrush);
  DeleteObject(region);
}

CLightDevicePainter2D::CLightDevicePainter2D(CGraphicCoreFull* core)
    : m_shift(core->GetSceneBuilder()->m_field[CSceneBuilder::kMainCarriageway][0]), m_core(core)
{
}

POINT CLightDevicePainter2D::WorldToPixel(double x, double y) const
{
  const double width = m_drawer->GetRenderer()->GetWidth();
  m_drawer->WorldToPixelY(y);
  return {static_cast<LONG>((x - m_shift) * m_drawer->GetScale() + width / 2), static_cast<LONG>(y)};
}

void CLightDevicePainter2D::DrawLightDevicePlan(HDC dc, CObject3D* device)
{
  const POINT p = WorldToPixel(device->m_position[0], device->m_position[1]);
  const COLORREF colour = OwnerColour(device);
  if (dynamic_cast<CFloorLampLightDevice*>(device))
    Circle(dc, p, kLampRadius, colour);
  else if (dynamic_cast<CProjectorLightDevice*>(device))
    DrawSymbolRect(dc, colour, colour, p.x, p.y, 0, 10, 10, 0);
  else
    DrawSymbolRect(dc, colour, colour, p.x, p.y, 0, 14, 6, 0);
}

void CLightDevicePainter2D::DrawStreetDevicePlan(HDC dc, CStreetFixtureDevice* device)
{
  const COLORREF colour = OwnerColour(device);
  const double sx = device->m_position[0], sy = device->m_position[1];
  const POINT support = WorldToPixel(sx, sy);
  Circle(dc, support, 1, colour);
  CBaseBracket* bracket = device->GetBracket();
  if (!bracket)
    return;
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, colour);
  for (const CBaseArm* arm : bracket->GetArms()) {
    const double k = 180 - (arm->m_rotation[2] + device->m_rotation[2]);
    const double reach = arm->m_size[0] * std::cos(arm->m_rotation[0] * kDegree);
    const POINT end = WorldToPixel(sx + std::sin(k * kDegree) * reach, sy + std::cos(k * kDegree) * reach);
    MoveToEx(dc, support.x, support.y, nullptr);
    LineTo(dc, end.x, end.y);
    if (dynamic_cast<CStreetFloorLampIllumination*>(device))
      Circle(dc, end, kLampRadius, colour);
    else if (dynamic_cast<CStreetMastIllumination*>(device))
      DrawSymbolRect(dc, colour, colour, end.x, end.y, 0, 10, 10, k);
    else
      DrawSymbolRect(dc, colour, colour, end.x, end.y, 0, 14, 6, k);
  }
  SelectObject(dc, oldPen);
}

void CLightDevicePainter2D::DrawGroups(HDC dc, IGroupOfDev* group, DWORD flags)
{
  m_dimensionsPending = 1;
  if (!m_drawer || !(flags & (kPictureAllGroups | kPictureLuminairePlan)))
    return;
  CString wanted;
  if (group)
    wanted.Format("%d_%s", *group->GetNumber(), group->GetName()->GetString());
  for (CObject3D* object : m_core->GetScene()->GetOwned()->GetObjects()) {
    auto* lights = dynamic_cast<CGroupLightDevice3D*>(object);
    if (!lights)
      continue;
    if (!(flags & kPictureAllGroups) && (!group || lights->GetName() != wanted))
      continue;
    for (CObject3D* member : lights->GetObjects()) {
      if (CStreetFixtureDevice* device = StreetDeviceOf(member)) {
        DrawStreetDevicePlan(dc, device);
      } else if (dynamic_cast<CBaseLightDevice*>(member)) {
        if (flags & kPictureLuminairePlan)
          DrawLightDevicePlan(dc, member);
      } else if (auto* streetGroup = dynamic_cast<CGroup3D*>(member)) {
        for (CObject3D* inner : streetGroup->GetObjects())
          if (CStreetFixtureDevice* device = StreetDeviceOf(inner))
            DrawStreetDevicePlan(dc, device);
      } else {
        return;  // an object of another kind ends the drawing
      }
    }
  }
}
