#include "graphics/scene/street_devices.h"

#include "graphics/core/scene_palette.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/scene_draw.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

namespace {
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kDimensionTextHeight = 0.2;
}  // namespace

CBaseLightStreetDevice::~CBaseLightStreetDevice()
{
  delete m_bracket;
  delete m_support;
}

void CStreetFixtureDevice::Assemble(CStreetSupport* support, CBaseBracket* bracket)
{
  m_support = support;
  m_bracket = bracket;
  m_bracket->SetOwner(this);
}

void CStreetFixtureDevice::SetState(DWORD flags)
{
  CSelectableObject::SetState(flags);
  if (m_support) m_support->SetState(flags);
  if (m_bracket) m_bracket->SetState(flags);
}

void CStreetFixtureDevice::Place(double x, double y, double z)
{
  m_position[0] = x;
  m_position[1] = y;
  m_position[2] = z;
  OnPositionChanged();
  if (m_support) m_support->MoveTo(x, y, z);
  if (m_label) m_label->MoveTo(x, y, z);
}

void CStreetFixtureDevice::SetPosition(double x, double y, double z) { Place(x, y, z); }
void CStreetFixtureDevice::MoveTo(double x, double y, double z) { Place(x, y, z); }

void CStreetFixtureDevice::Turn(double ax, double ay, double az)
{
  m_rotation[0] = ax;
  m_rotation[1] = ay;
  m_rotation[2] = az;
  OnRotationChanged();
  if (m_support) m_support->TurnTo(ax, ay, az);
}

void CStreetFixtureDevice::SetRotation(double ax, double ay, double az) { Turn(ax, ay, az); }
void CStreetFixtureDevice::TurnTo(double ax, double ay, double az) { Turn(ax, ay, az); }

void CStreetFixtureDevice::SetColor(int colourId)
{
  if (m_support) m_support->SetColor(colourId);
  if (m_bracket) m_bracket->SetColor(colourId);
}

void CStreetFixtureDevice::Draw()
{
  if (m_support && m_bracket) {
    const double poleHeight = m_support->m_size[2];
    glPushMatrix();
    glTranslated(m_position[0], m_position[1], m_position[2]);
    ApplyRotation();
    m_support->Draw();
    glTranslated(0, 0, poleHeight);
    m_bracket->Draw();
    glPopMatrix();
  }
  if ((m_state & kLabelShown) && m_label) {
    m_label->Draw();
  }
}

void CStreetFixtureDevice::DrawMarkers()
{
  if (m_bracket) m_bracket->DrawMarkers();
}

void CStreetFixtureDevice::BuildArms(const std::vector<_ARM_PLACEMENT>& placements)
{
  if (placements.empty() || m_bracket == nullptr || m_support == nullptr) {
    return;
  }
  for (const _ARM_PLACEMENT& p : placements) {
    m_bracket->AddArm(p.endHeight, p.armLength, p.tilt, p.azimuth, p.turn[0], p.turn[1], p.turn[2], p.offset[0],
                      p.offset[1], p.offset[2], p.aim[0], p.aim[1], p.aim[2], p.stemDown);
  }
  m_support->ResizeTo(m_support->m_size[0], 0, placements.front().poleHeight);
}

CStreetColumnIllumination::CStreetColumnIllumination() : CStreetFixtureDevice(kColumn)
{
  auto* support = new CStreetSupport;
  Assemble(support, new CFixtureBracket(support));
}

CStreetMastIllumination::CStreetMastIllumination() : CStreetFixtureDevice(kMast)
{
  auto* support = new CStreetMast;
  Assemble(support, new CMastBracket(support));
}

CStreetFloorLampIllumination::CStreetFloorLampIllumination() : CStreetFixtureDevice(kFloorLamp)
{
  auto* support = new CStreetSupport;
  Assemble(support, new CFloorLampBracket(support));
}

CLightStreetDeviceDecorator::CLightStreetDeviceDecorator(CStreetFixtureDevice* device, double d)
    : CStreetFixtureDevice(kDecorator), m_device(device), m_referenceDistance(d)
{
  const char16_t* texts[5] = {u"δ", u"ψ", u"h", u"b", u"a"};
  float r, g, b;
  scene::GetPaletteColor(kColorYellow, &r, &g, &b);
  for (int i = 0; i < 5; ++i) {
    m_labels[i].SetText(texts[i]);
    m_labels[i].BuildGlyphs();
    if (m_labels[i].GetHeight() != kDimensionTextHeight) m_labels[i].SetHeight(kDimensionTextHeight);
    m_labels[i].m_r = r;
    m_labels[i].m_g = g;
    m_labels[i].m_b = b;
  }
  for (int i = 0; i < 3; ++i) {
    m_position[i] = device->m_position[i];
    m_rotation[i] = device->m_rotation[i];
  }
}

CLightStreetDeviceDecorator::~CLightStreetDeviceDecorator() { delete m_device; }

void CLightStreetDeviceDecorator::DrawDecoration()
{
  CStreetFixtureDevice& s = *m_device;
  s.Draw();
  if ((s.GetState() & kSelected) == 0) {
    return;
  }
  CBaseBracket* bracket = s.GetBracket();
  double c[3];
  // A pole record without an arm has nothing to measure.
  if (bracket == nullptr || !bracket->GetLightCentre(c)) {
    return;
  }
  const CBaseArm* arm = bracket->GetArms().front();
  const CBaseLightDevice* luminaire = arm->GetLuminaire();
  const double* sp = s.m_position;
  const double d = m_referenceDistance;

  glDisable(GL_LIGHTING);
  float red, green, blue;
  scene::GetPaletteColor(kColorYellow, &red, &green, &blue);
  glColor3d(red, green, blue);

  auto line = [](double x0, double y0, double z0, double x1, double y1, double z1) {
    glBegin(GL_LINES);
    glVertex3d(x0, y0, z0);
    glVertex3d(x1, y1, z1);
    glEnd();
  };

  const double phi = 180.0 - s.m_rotation[2];
  const double psi = phi + arm->m_rotation[2];
  const double hc = c[2] - luminaire->m_size[2];
  const double tilt = arm->m_rotation[0];
  const double reach = arm->m_size[2] * std::cos(tilt * kDegree);
  const bool turned = phi != 0 && phi != 180;
  const double z0 = turned ? 0.12 : 0.0;
  const double r1 = reach + 1;
  const double sinPsi = std::sin(psi * kDegree), cosPsi = std::cos(psi * kDegree);
  const double p1[2] = {sp[0] + r1 * sinPsi, sp[1] + r1 * cosPsi};

  line(c[0], c[1], z0, c[0], c[1], z0 + hc);                                    // height
  line(sp[0], sp[1] - d, sp[2], sp[0], sp[1] - d, sp[2] + hc / 3 + z0);          // reference edge
  line(sp[0], sp[1], sp[2] + hc / 3, sp[0], sp[1] - d, sp[2] + hc / 3);          // edge distance
  line(sp[0], sp[1], sp[2] + hc / 2, c[0], c[1], sp[2] + hc / 2);                // outreach

  if (tilt != 0) {
    const double rise = std::tan(tilt * kDegree);
    line(c[0], c[1], c[2], p1[0], p1[1], c[2]);
    line(c[0], c[1], c[2], p1[0], p1[1], c[2] + rise);
    CVectorString3D& delta = m_labels[0];
    delta.SetPosition(sp[0] + (r1 + 0.5) * sinPsi, sp[1] + (r1 + 0.5) * cosPsi, c[2] + rise / 2);
    delta.TurnTo(90, 270 - psi, 0);
    delta.Draw();
    glDisable(GL_LIGHTING);
    glColor3d(red, green, blue);
    glPushMatrix();
    glTranslated(c[0], c[1], c[2]);
    glRotated(-90, 0, 1, 0);
    glRotated(180 - psi, 1, 0, 0);
    scene::DrawArc(-tilt, 0, -0.9, 0, 0, 0);
    glPopMatrix();
  }

  if (turned) {
    const double r2 = reach + 1.5;
    const double pa[2] = {sp[0] + r2 * std::sin(phi * kDegree), sp[1] + r2 * std::cos(phi * kDegree)};
    const double yb = d > 0 ? sp[1] - (arm->m_size[2] + 1) : sp[1] + (arm->m_size[2] + 1);
    glDisable(GL_LIGHTING);
    glColor3d(red, green, blue);
    line(sp[0], sp[1], sp[2] + z0, sp[0], yb, sp[2] + z0);
    line(sp[0], sp[1], sp[2] + z0, pa[0], pa[1], z0);
    CVectorString3D& turn = m_labels[1];
    const double half = (d > 0 ? 90 + phi / 2 : phi / 2) * kDegree;
    turn.SetPosition(sp[0] + (reach + 0.5) * std::sin(half), sp[1] + (reach + 0.5) * std::cos(half), z0);
    if (d > 0) {
      turn.TurnTo(0, 0, 90 - phi / 2);
      scene::DrawArc(180, phi, reach, z0, sp[0], sp[1]);
    } else {
      turn.TurnTo(0, 0, -phi / 2);
      scene::DrawArc(0, phi, reach, z0, sp[0], sp[1]);
    }
    turn.Draw();
  }

  CVectorString3D& height = m_labels[2];
  height.SetPosition(sp[0] + (reach + 0.5) * sinPsi, sp[1] + (reach + 0.5) * cosPsi, hc / 2);
  height.TurnTo(90, 270 - psi, 0);
  CVectorString3D& outreach = m_labels[4];
  outreach.SetPosition(sp[0] + reach / 2 * sinPsi, sp[1] + reach / 2 * cosPsi, hc / 2 + 0.5);
  outreach.TurnTo(90, 270 - psi, 0);
  CVectorString3D& edge = m_labels[3];
  edge.MoveTo(sp[0], sp[1] - d / 2 + edge.m_size[0] / 2, sp[2] + hc / 3 + z0 + edge.m_size[1]);
  edge.TurnTo(90, -90, 0);
  // The labels turn lighting back on after them, so what is drawn next keeps its materials.
  height.Draw();
  outreach.Draw();
  edge.Draw();
}
