#include "graphics/scene/groups.h"

#include "geometry/display_host.h"
#include "geometry/vector_string3d.h"
#include "geometry/view_camera.h"
#include "graphics/core/scene_palette.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/photometric_solid.h"
#include "graphics/scene/scene_draw.h"
#include "graphics/scene/street_devices.h"
#include "graphics/scene/supports.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr std::uint32_t kNoCompletion = 1u << 16;
constexpr std::uint32_t kOnePlane = 1u << 20;
constexpr std::uint32_t kCPlanes = 1u << 28;
constexpr std::uint32_t kBPlanes = 1u << 29;

// The street device a member stands for: itself, a decorator's device, or a sub-group's first member.
CBaseLightStreetDevice* StreetDeviceOf(CObject3D* member)
{
  if (auto* decorator = dynamic_cast<CLightStreetDeviceDecorator*>(member)) return decorator->GetDevice();
  if (auto* group = dynamic_cast<CGroup3D*>(member)) {
    const auto& inner = group->GetObjects();
    return inner.empty() ? nullptr : dynamic_cast<CBaseLightStreetDevice*>(inner.front());
  }
  return dynamic_cast<CBaseLightStreetDevice*>(member);
}

void ActiveGroupColour()
{
  float r = 0, g = 0, b = 0;
  scene::GetPaletteColor(kColorActiveGroupMarker, &r, &g, &b);
  glColor3d(r, g, b);
}

}  // namespace

namespace scene {
GroupView& RecordedGroupView()
{
  static GroupView view;
  return view;
}
}  // namespace scene

CGroup3D::~CGroup3D() { DeleteAll(); }

void CGroup3D::Add(CObject3D* member)
{
  member->SetOwner(this);
  CBaseObjectContainer3D::Add(member);
}

void CGroup3D::SetState(DWORD flags)
{
  CSelectableObject::SetState(flags);
  for (CObject3D* member : m_objects) member->SetState(flags);
}

void CGroup3D::SetPosition(double x, double y, double z)
{
  m_position[0] = x;
  m_position[1] = y;
  m_position[2] = z;
  OnPositionChanged();
  for (CObject3D* member : m_objects) member->SetPosition(x, y, z);
}

void CGroup3D::MoveTo(double x, double y, double z)
{
  m_position[0] = x;
  m_position[1] = y;
  m_position[2] = z;
  OnPositionChanged();
  if (m_label) m_label->MoveTo(x, y, z);
  for (CObject3D* member : m_objects) member->MoveTo(x, y, z);
}

void CGroup3D::SetRotation(double ax, double ay, double az)
{
  m_rotation[0] = ax;
  m_rotation[1] = ay;
  m_rotation[2] = az;
  OnRotationChanged();
  for (CObject3D* member : m_objects) member->SetRotation(ax, ay, az);
}

void CGroup3D::TurnTo(double ax, double ay, double az)
{
  m_rotation[0] = ax;
  m_rotation[1] = ay;
  m_rotation[2] = az;
  OnRotationChanged();
  for (CObject3D* member : m_objects) member->TurnTo(ax, ay, az);
}

void CGroup3D::SetColor(int colourId)
{
  m_colourId = colourId;
  for (CObject3D* member : m_objects) member->SetColor(colourId);
}

void CGroup3D::SetLabelHeight(double height)
{
  for (CObject3D* member : m_objects) {
    if (dynamic_cast<CGroup3D*>(member) != nullptr) {
      member->SetLabelHeight(height);
      continue;
    }
    CVectorString3D* label = member->GetLabel();
    if (label == nullptr) continue;
    label->SetHeight(height);
    const double lx = label->m_size[0], ly = label->m_size[1];
    const double rho = member->m_rotation[2] * kDegree;
    label->SetPosition(member->m_position[0] + std::sin(-rho) * (ly + 0.5) - lx / 2,
                       member->m_position[1] + std::cos(-rho) * (ly + 0.5) - ly / 2, 0.2);
  }
}

void CGroup3D::SetLabel(CString text)
{
  int place = 0;
  for (CObject3D* member : m_objects) {
    ++place;
    CObject3D* first = member;
    if (auto* group = dynamic_cast<CGroup3D*>(member)) {
      first = group->GetObjects().empty() ? nullptr : group->GetObjects().front();
    }
    // Only street devices carry numbers; anything else the group may hold is left alone.
    auto* device = dynamic_cast<CBaseLightStreetDevice*>(first);
    if (device == nullptr) continue;
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, (device->GetKind() & CBaseLightStreetDevice::kMast) ? "M %s-%d" : "%s-%d",
                  text.GetString(), place);
    device->m_number = place;
    device->SetLabel(CString(buffer));
  }
}

void CGroup3D::SetLabelColor(float r, float g, float b)
{
  for (CObject3D* member : m_objects) {
    if (dynamic_cast<CGroup3D*>(member) != nullptr) {
      member->SetLabelColor(r, g, b);
    } else if (member->GetLabel() != nullptr) {
      member->CObject3D::SetLabelColor(r, g, b);
    }
  }
}

void CGroup3D::Draw()
{
  for (CObject3D* member : m_objects) member->Draw();
  const scene::GroupView& view = scene::RecordedGroupView();
  if ((m_state & kSelected) != 0 && (view.viewType & CViewCamera::kPlan) != 0 && view.core != nullptr) {
    view.core->RefreshProjectState();
    if (!view.core->IsStraightRoadActive()) {
      if (m_objects.empty()) return;
      glDisable(GL_LIGHTING);
      ActiveGroupColour();
      m_objects.front()->DrawMarkers();
      DrawMarkers();
      glEnable(GL_LIGHTING);
    }
  }
  if (m_label) m_label->Draw();
}

CGroupLightDevice3D::CGroupLightDevice3D() : m_solid(new CLuminousIntensityCurve) {}

CGroupLightDevice3D::~CGroupLightDevice3D()
{
  delete m_solid;
  LinkedTableRemoveRows(&m_table, m_table.rows);
  LinkedTableRemoveColumns(&m_table, m_table.columns);
  LinkedTableClear(&m_table);
}

void CGroupLightDevice3D::UpdatePhotometry(const _LINKED_TABLE* table, int flags)
{
  if (table == nullptr) return;
  const auto word = static_cast<std::uint32_t>(flags);
  LinkedTableCopy(&m_table, table);
  if ((word & (kNoCompletion | kOnePlane)) == 0) CompleteIntensitySymmetry(&m_table, word);
  if ((word & kOnePlane) == 0 && (word & kCPlanes) != 0) RebaseIntensityPlanes(&m_table);

  auto link = [this, word](CBaseLightDevice* luminaire) {
    if (luminaire) luminaire->SetPhotometry(this, m_solid, word);
  };
  for (CObject3D* member : m_objects) {
    const bool standsForDevice = dynamic_cast<CLightStreetDeviceDecorator*>(member) != nullptr ||
                                 dynamic_cast<CGroup3D*>(member) != nullptr ||
                                 dynamic_cast<CBaseLightStreetDevice*>(member) != nullptr;
    if (standsForDevice) {
      CBaseLightStreetDevice* device = StreetDeviceOf(member);
      if (device == nullptr || device->GetBracket() == nullptr) continue;
      for (CBaseArm* arm : device->GetBracket()->GetArms()) link(arm->GetLuminaire());
    } else {
      link(dynamic_cast<CBaseLightDevice*>(member));  // anything else is skipped
    }
  }

  m_solid->Clear();
  m_solid->m_flags = flags;
  if ((word & kCPlanes) != 0) m_solid->BuildCGammaPlanes(&m_table, flags);
  if ((word & kBPlanes) != 0) m_solid->BuildBPlanes(&m_table);
}

void CGroup3DLine::DrawMarkers()
{
  if (m_objects.empty()) return;
  const double r = scene::MarkerSize();
  const double zM = 2 * m_size[2];
  const CObject3D* d0 = m_objects[0];
  DrawMarkerDisc(d0->m_position[0], d0->m_position[1], zM, r);
  if (m_objects.size() == 1) return;
  const CObject3D* d1 = m_objects[1];
  DrawMarkerDisc(d1->m_position[0], d1->m_position[1], zM, r);
  glBegin(GL_LINES);
  glVertex3d(d0->m_position[0], d0->m_position[1], zM);
  glVertex3d(d1->m_position[0], d1->m_position[1], zM);
  glEnd();
  const double alpha = (90 - m_rotation[2]) * kDegree;
  const double dx = d1->m_position[0] + 2 * std::sin(alpha), dy = d1->m_position[1] + 2 * std::cos(alpha);
  DrawMarkerDisc(dx, dy, zM, r);
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(3, 0xAAAA);
  glBegin(GL_LINES);
  glVertex3d(d1->m_position[0], d1->m_position[1], zM);
  glVertex3d(dx, dy, zM);
  glEnd();
  glDisable(GL_LINE_STIPPLE);
  if (m_objects.size() <= 2) return;
  glBegin(GL_LINES);
  glVertex3d(dx, dy, zM);
  glVertex3d(m_objects[2]->m_position[0], m_objects[2]->m_position[1], zM);
  glEnd();
  glBegin(GL_LINE_STRIP);
  for (size_t k = 2; k < m_objects.size(); ++k) glVertex3d(m_objects[k]->m_position[0], m_objects[k]->m_position[1], zM);
  glEnd();
}

void CGroup3DCircle::DrawMarkers()
{
  if (m_objects.empty()) return;
  const double r = scene::MarkerSize();
  const double zM = 2 * m_size[2];
  const CObject3D* d0 = m_objects[0];
  DrawMarkerDisc(d0->m_position[0], d0->m_position[1], zM, r);
  if (m_objects.size() >= 2) DrawMarkerDisc(m_objects[1]->m_position[0], m_objects[1]->m_position[1], zM, r);
  const double cx = m_centre[0], cy = m_centre[1];
  glBegin(GL_LINES);
  glVertex3d(cx, cy, zM);
  glVertex3d(d0->m_position[0], d0->m_position[1], zM);
  glEnd();
  DrawDashedCircle(cx, cy, zM, std::hypot(d0->m_position[0] - cx, d0->m_position[1] - cy));
  DrawMarkerDisc(cx, cy, zM, r);
}

void CGroup3DPolyline::SetState(DWORD flags)
{
  CSelectableObject::SetState(flags);
  for (CObject3D* member : m_objects) {
    if ((flags & kSelected) == 0) {
      member->SetState(flags);
    } else if ((member->GetState() & kSelected) == 0) {
      member->SetState(kSubSelected);
    }
  }
}

void CGroup3DPolyline::DrawMarkers()
{
  glDisable(GL_LIGHTING);
  ActiveGroupColour();
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(3, 0xAAAA);
  glBegin(GL_LINES);
  const double zM = 2 * m_size[2];
  const CObject3D* previous = nullptr;
  for (CObject3D* member : m_objects) {
    // A sub-group without members has no point on the contour.
    auto* sub = dynamic_cast<CGroup3D*>(member);
    if (sub == nullptr || sub->GetObjects().empty()) continue;
    const CObject3D* point = sub->GetObjects().front();
    if (previous) {
      glVertex3d(previous->m_position[0], previous->m_position[1], zM);
      glVertex3d(point->m_position[0], point->m_position[1], zM);
    }
    previous = point;
  }
  glEnd();
  glDisable(GL_LINE_STIPPLE);
  glEnable(GL_LIGHTING);
}
