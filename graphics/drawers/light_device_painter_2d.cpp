#include "graphics/drawers/light_device_painter_2d.h"

#include "graphics/core/graphic_core_full.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "graphics/drawers/straight_road_drawer_2d.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/scene/street_devices.h"
#include "graphics/scene/supports.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipole.h"
#include "model/lamp_post.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kLampRadius = 5;
constexpr int kGroundAboveBottom = 4;
// The dimension marks of the placement picture, in pixels.
constexpr int kHeightLineBelowGround = 10;
constexpr int kTiltLine = 30;
constexpr int kLabelAbove = 16;
constexpr int kLabelRight = 12;
constexpr int kLabelLeft = -18;

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

POINT Pixel(double x, double y) { return {static_cast<LONG>(x), static_cast<LONG>(y)}; }

void Line(HDC dc, POINT from, POINT to)
{
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

void Label(HDC dc, int x, int y, const char16_t* text)
{
  ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(std::char_traits<char16_t>::length(text)), nullptr);
}

// The symbol of a luminaire by its kind, turned `angle` degrees.
void DeviceSymbol(HDC dc, CObject3D* device, POINT p, double angle, COLORREF colour, bool mast, bool alongY)
{
  if (dynamic_cast<CFloorLampLightDevice*>(device) || dynamic_cast<CStreetFloorLampIllumination*>(device))
    Circle(dc, p, kLampRadius, colour);
  else if (mast)
    DrawSymbolRect(dc, colour, colour, p.x, p.y, 0, 10, 10, angle);
  else if (alongY)
    DrawSymbolRect(dc, colour, colour, p.x, p.y, 0, 14, 6, angle);
  else
    DrawSymbolRect(dc, colour, colour, p.x, p.y, 0, 6, 14, angle);
}

// A catalogue bracket whose entry for this arm (the last entry when it has fewer) turns more than 90 degrees
// sends the arm back across the pole. The bracket's current entry is left on that entry.
bool CatalogueArmTurnsBack(IGroupOfDev* group, int armIndex)
{
  ModelRef<IPole> pole(group, IID_IPole);
  if (!pole || !pole->GetTypical() || !*pole->GetTypical())
    return false;
  CLampPost* post = pole->GetLampPost();
  CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
  if (!bracket || bracket->arms.GetSize() == 0)
    return false;
  bracket->currentArm = static_cast<std::int32_t>(std::min<INT_PTR>(armIndex, bracket->arms.GetSize() - 1));
  return std::fabs(bracket->CurrentArm().turn) > 90;
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
  m_drawer->WorldToPixelY(y);
  // The x shift follows a straight road's spacing window; a freely shaped area lies about its own centre, where
  // its drawer puts its primitives (the shift there is whatever straight road the builder read last).
  if (!dynamic_cast<const CStraightRoadDrawer2D*>(m_drawer))
    return {static_cast<LONG>(x * m_drawer->GetScale() + m_drawer->GetHorizontalOrigin()), static_cast<LONG>(y)};
  const double width = m_drawer->GetRenderer()->GetWidth();
  return {static_cast<LONG>((x - m_shift) * m_drawer->GetScale() + width / 2), static_cast<LONG>(y)};
}

void CLightDevicePainter2D::DrawLightDevicePlan(HDC dc, CObject3D* device)
{
  const POINT p = WorldToPixel(device->m_position[0], device->m_position[1]);
  DeviceSymbol(dc, device, p, 0, OwnerColour(device), dynamic_cast<CProjectorLightDevice*>(device) != nullptr, true);
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
    const double reach = arm->m_size[2] * std::cos(arm->m_rotation[0] * kDegree);
    const POINT end = WorldToPixel(sx + std::sin(k * kDegree) * reach, sy + std::cos(k * kDegree) * reach);
    Line(dc, support, end);
    DeviceSymbol(dc, device, end, k, colour, dynamic_cast<CStreetMastIllumination*>(device) != nullptr, true);
  }
  SelectObject(dc, oldPen);
}

double CLightDevicePainter2D::SideViewX(double y) const
{
  const CSceneBuilder& b = *m_core->GetSceneBuilder();
  const double middle = b.m_oneWay ? 0 : (b.m_oppositeWidth - b.m_mainWidth) / 2;
  return m_drawer->GetRenderer()->GetWidth() / 2 - (y - middle) * m_drawer->GetScale();
}

double CLightDevicePainter2D::GroundRow() const
{
  return m_drawer->GetRenderer()->GetHeight() - kGroundAboveBottom;
}

void CLightDevicePainter2D::DrawDeviceSideView(HDC dc, CObject3D* device, IGroupOfDev* group)
{
  const double scale = m_drawer->GetScale();
  const double ground = GroundRow();
  const double x = SideViewX(device->m_position[1]);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, RGB(0, 0, 0));
  SetDCBrushColor(dc, RGB(0, 0, 0));
  const COLORREF black = RGB(0, 0, 0);
  CStreetFixtureDevice* street = StreetDeviceOf(device);
  if (!street) {
    const POINT p = Pixel(x, ground - device->m_position[2] * scale);
    DeviceSymbol(dc, device, p, 0, black, dynamic_cast<CProjectorLightDevice*>(device) != nullptr, true);
  } else {
    const double supportHeight = street->GetSupport() ? street->GetSupport()->m_size[2] * scale : 0;
    const double top = ground - supportHeight;
    const POINT foot = Pixel(x, ground);
    Rectangle(dc, foot.x - 1, static_cast<int>(top), foot.x + 1, foot.y);
    CBaseBracket* bracket = street->GetBracket();
    if (bracket) {
      Line(dc, Pixel(x, top), Pixel(x, top - bracket->GetTubeHeight() * scale));
      const bool mast = dynamic_cast<CStreetMastIllumination*>(street) != nullptr;
      const std::vector<CBaseArm*>& arms = bracket->GetArms();
      for (size_t k = 0; k < arms.size(); ++k) {
        const CBaseArm* arm = arms[k];
        int d = std::cos(street->m_rotation[2] * kDegree) > 0 ? 1 : -1;
        if (CatalogueArmTurnsBack(group, static_cast<int>(k)))
          d = -d;
        const double tilt = arm->m_rotation[0];
        const double a = (d > 0 ? tilt + 90 : -tilt - 90) * kDegree;
        const double reach = arm->m_size[2] * scale;
        const double sx = x, sy = top - arm->m_position[2] * scale;
        const POINT end = Pixel(sx + std::sin(a) * reach, sy + std::cos(a) * reach);
        Line(dc, Pixel(sx, sy), end);
        if (m_dimensionsPending) {
          const double luminaireTilt = arm->GetLuminaire() ? arm->GetLuminaire()->m_rotation[0] : 0;
          DrawPlacementDimensions(d, end, tilt, luminaireTilt, supportHeight, scale, foot, dc);
          m_dimensionsPending = 0;
        }
        DeviceSymbol(dc, street, end, d > 0 ? -tilt : tilt, black, mast, false);
      }
    }
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void CLightDevicePainter2D::DrawPlacementDimensions(int direction, POINT luminaire, double armTilt,
                                                   double luminaireTilt, double supportHeight, double scale,
                                                   POINT supportFoot, HDC dc)
{
  const int d = direction > 0 ? 1 : -1;
  const int g = d > 0 ? kLabelRight : kLabelLeft;
  const int ground = supportFoot.y;
  HFONT font = CreateRulerFont();
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  SetTextColor(dc, RGB(0, 0, 0));

  Line(dc, {luminaire.x, ground + kHeightLineBelowGround}, luminaire);
  Label(dc, luminaire.x + g, static_cast<int>(ground - supportHeight / 2), u"h");

  if (armTilt != 0 || luminaireTilt != 0) {
    const double t = luminaireTilt != 0 ? -luminaireTilt - 90 : armTilt;
    Line(dc, luminaire, {luminaire.x + d * kTiltLine, luminaire.y});
    const double a = (d > 0 ? t + 90 : -t - 90) * kDegree;
    const POINT end = Pixel(luminaire.x + std::sin(a) * kTiltLine, luminaire.y + std::cos(a) * kTiltLine);
    Line(dc, luminaire, end);
    Label(dc, end.x + g, end.y, u"δ");
  }
  if (luminaire.x != supportFoot.x) {
    const int y = static_cast<int>(ground - supportHeight / 2);
    Line(dc, {supportFoot.x, y}, {luminaire.x, y});
    Label(dc, (supportFoot.x + luminaire.x) / 2, y - kLabelAbove, u"a");
  }
  const double setback = m_core->GetSceneBuilder()->GetRecord().setback;
  if (setback != 0) {
    const int y = static_cast<int>(ground - supportHeight / 3);
    const int x = static_cast<int>(supportFoot.x + d * setback * scale);
    Line(dc, {supportFoot.x, y}, {x, y});
    LineTo(dc, x, ground);
    Label(dc, (supportFoot.x + x) / 2, y - kLabelAbove, u"b");
  }
  if (font) {
    SelectObject(dc, oldFont);
    DeleteObject(font);
  }
}

void CLightDevicePainter2D::DrawGroups(HDC dc, IGroupOfDev* group, DWORD flags)
{
  m_dimensionsPending = 1;
  if (!m_drawer || !(flags & (kPictureAllGroups | kPictureLuminairePlan | kPicturePlacement)))
    return;
  const bool plan = (flags & (kPictureAllGroups | kPictureLuminairePlan)) != 0;
  // Side views stand on a straight road's cross-section; a freely shaped area has none to stand on.
  const bool placement = (flags & kPicturePlacement) != 0 && dynamic_cast<CStraightRoadDrawer2D*>(m_drawer);
  CString wanted;
  if (group)
    wanted.Format("%d_%s", *group->GetNumber(), group->GetName()->GetString());
  for (CObject3D* object : m_core->GetScene()->GetOwned()->GetObjects()) {
    auto* lights = dynamic_cast<CGroupLightDevice3D*>(object);
    if (!lights)
      continue;
    if (!(flags & kPictureAllGroups) && (!group || lights->GetName() != wanted))
      continue;
    m_dimensionsPending = 1;
    // The placement picture shows a group up to its first device on the right side, its last one there.
    bool rightSideDrawn = false;
    auto streetDevice = [&](CStreetFixtureDevice* device) {
      if (plan)
        DrawStreetDevicePlan(dc, device);
      if (placement && !rightSideDrawn) {
        DrawDeviceSideView(dc, device, group);
        rightSideDrawn = device->m_position[1] < 0;
      }
    };
    for (CObject3D* member : lights->GetObjects()) {
      if (CStreetFixtureDevice* device = StreetDeviceOf(member)) {
        streetDevice(device);
      } else if (dynamic_cast<CBaseLightDevice*>(member)) {
        if (flags & kPictureLuminairePlan)
          DrawLightDevicePlan(dc, member);
        if (placement)
          DrawDeviceSideView(dc, member, group);
      } else if (auto* streetGroup = dynamic_cast<CGroup3D*>(member)) {
        CStreetFixtureDevice* last = nullptr;
        for (CObject3D* inner : streetGroup->GetObjects())
          if (CStreetFixtureDevice* device = StreetDeviceOf(inner)) {
            DrawStreetDevicePlan(dc, device);
            last = device;
          }
        if (last)
          streetDevice(last);
      } else {
        return;  // an object of another kind ends the drawing
      }
    }
  }
}
