#include "graphics/scene/supports.h"

#include "graphics/core/scene_palette.h"
#include "graphics/scene/light_devices.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kBracketTubeRadius = 0.05;
constexpr double kArmRadius = 0.03;
constexpr double kMarkerLift = 0.5;  // plan markers float above the light centre

// The outline look or the default material, then the cylinder.
void DrawLookCylinder(const CObject3D& object, GLUquadric* quadric, double base, double top, double height,
                      int slices, int stacks)
{
  const bool outline = (object.GetState() & CSelectableObject::kOutlineLook) != 0;
  if (outline) {
    scene::BeginOutline(object.GetColor());
  } else {
    scene::ApplyMaterial(object.GetColor(), kMaterialDefault);
  }
  gluCylinder(quadric, base, top, height, slices, stacks);
  if (outline) {
    scene::EndOutline();
  }
}

void DrawDisc(GLUquadric* quadric, double radius) { gluDisk(quadric, 0, radius, 15, 1); }

}  // namespace

CBaseSupport::CBaseSupport() { ResizeTo(0.1, 0.1, 10.0); }

void CStreetSupport::Draw()
{
  glLineWidth(m_lineWidth);
  DrawLookCylinder(*this, m_quadric.get(), m_size[0], m_topRadius, m_size[2], m_slices, m_stacks);
}

CStreetMast::CStreetMast()
{
  m_topRadius = 0.05;
  m_slices = 6;
  m_stacks = 10;
  gluQuadricDrawStyle(m_quadric.get(), GLU_LINE);
}

CBaseArm::~CBaseArm() { delete m_luminaire; }

void CBaseArm::AttachLuminaire(CBaseLightDevice* luminaire)
{
  m_luminaire = luminaire;
  m_luminaire->SetOwner(this);
}

void CBaseArm::SetState(DWORD flags)
{
  CSelectableObject::SetState(flags);
  if (m_luminaire) m_luminaire->SetState(flags);
}

void CBaseArm::SetColor(int colourId)
{
  CObject3D::SetColor(colourId);
  if (m_luminaire) m_luminaire->SetColor(colourId);
}

void CBaseArm::Draw()
{
  DrawLookCylinder(*this, m_quadric.get(), m_size[0], m_size[1], m_size[2], m_slices, m_stacks);
  glTranslated(0, 0, m_size[2]);
  glRotated(-90, 1, 0, 0);
  if (m_luminaire) m_luminaire->Draw();
}

CFixtureArm::CFixtureArm(CBaseBracket* bracket) : CBaseArm(bracket) { AttachLuminaire(new CFixtureLightDevice); }

void CFixtureArm::GetLightOffset(double out[3]) const { out[0] = out[1] = out[2] = 0; }

CMastArm::CMastArm(CBaseBracket* bracket) : CBaseArm(bracket) { AttachLuminaire(new CProjectorLightDevice); }

void CMastArm::GetLightOffset(double out[3]) const { out[0] = out[1] = out[2] = 0; }

CFloorLampArm::CFloorLampArm(CBaseBracket* bracket, int stemDown) : CBaseArm(bracket)
{
  AttachLuminaire(new CFloorLampLightDevice(static_cast<BYTE>(stemDown != 0)));
}

void CFloorLampArm::GetLightOffset(double out[3]) const
{
  out[0] = out[1] = 0;
  out[2] = m_luminaire->m_size[2];
}

CBaseBracket::CBaseBracket(CStreetSupport* support) : m_support(support) { m_size[2] = 0.05; }

CBaseBracket::~CBaseBracket()
{
  for (CBaseArm* arm : m_arms) {
    delete arm;
  }
}

void CBaseBracket::SetState(DWORD flags)
{
  m_state = flags;
  for (CBaseArm* arm : m_arms) arm->SetState(flags);
}

void CBaseBracket::SetColor(int colourId)
{
  CObject3D::SetColor(colourId);
  for (CBaseArm* arm : m_arms) arm->SetColor(colourId);
}

void CBaseBracket::AddArm(double endHeight, double length, double tilt, double azimuth, double turnX, double turnY,
                          double turnZ, double offsetX, double offsetY, double offsetZ, double aimX, double aimY,
                          double aimZ, int stemDown)
{
  ArmGeometry g;
  g.endHeight = endHeight;
  g.length = length;
  g.tilt = tilt;
  g.azimuth = azimuth;
  g.turn[0] = turnX;
  g.turn[1] = turnY;
  g.turn[2] = turnZ;
  g.offset[0] = offsetX;
  g.offset[1] = offsetY;
  g.offset[2] = offsetZ;
  g.aim[0] = aimX;
  g.aim[1] = aimY;
  g.aim[2] = aimZ;
  g.stemDown = stemDown;
  AddArm(g);
}

void CBaseBracket::AddArm(const ArmGeometry& g)
{
  const double baseHeight = g.endHeight - g.length * std::sin(g.tilt * kDegree);
  if (baseHeight > m_tubeHeight) m_tubeHeight = baseHeight;
  if (g.endHeight > m_size[2]) m_size[2] = g.endHeight;
  CBaseArm* arm = MakeArm(g.stemDown);
  arm->MoveTo(0, 0, baseHeight);
  arm->TurnTo(g.tilt, 0, g.azimuth);
  arm->ResizeTo(kArmRadius, kArmRadius, g.length);
  PlaceLuminaire(arm, g);
  arm->SetOwner(this);
  m_arms.push_back(arm);
}

void CBaseBracket::Draw()
{
  DrawLookCylinder(*this, m_quadric.get(), kBracketTubeRadius, kBracketTubeRadius, m_tubeHeight, m_slices, m_stacks);
  for (CBaseArm* arm : m_arms) {
    glPushMatrix();
    glTranslated(0, 0, arm->m_position[2]);
    glRotated(-arm->m_rotation[2], 0, 0, 1);
    glRotated(90 - arm->m_rotation[0], 1, 0, 0);
    arm->Draw();
    glPopMatrix();
  }
}

bool CBaseBracket::GetLightCentre(double out[3]) const
{
  const double* sp = m_support ? m_support->m_position : nullptr;
  const double poleHeight = m_support ? m_support->m_size[2] : 0.0;
  if (m_arms.empty() || m_support == nullptr) {
    out[0] = sp ? sp[0] : 0.0;
    out[1] = sp ? sp[1] : 0.0;
    out[2] = (sp ? sp[2] : 0.0) + poleHeight;
    return false;
  }
  const CBaseArm* arm = m_arms.front();
  const double tilt = arm->m_rotation[0] * kDegree;
  const double reach = arm->m_size[2] * std::cos(tilt);
  const double phi = (180.0 - (m_support->m_rotation[2] - arm->m_rotation[2])) * kDegree;
  double offset[3];
  arm->GetLightOffset(offset);
  out[0] = sp[0] + std::sin(phi) * reach + offset[0];
  out[1] = sp[1] + std::cos(phi) * reach + offset[1];
  out[2] = arm->m_size[2] * std::sin(tilt) + poleHeight + m_tubeHeight + sp[2] + offset[2];
  return true;
}

void CBaseBracket::DrawMarkers()
{
  double centre[3];
  if (!GetLightCentre(centre)) {
    return;  // no arm: nothing to mark
  }
  const double r = scene::MarkerSize();
  double d = -2.0;
  if (m_supportMarkers) {
    const CBaseArm* arm = m_arms.front();
    centre[0] = m_support->m_position[0];
    centre[1] = m_support->m_position[1];
    centre[2] = m_support->m_position[2];
    d = -2.0 - (arm->m_size[2] * std::cos(arm->m_rotation[0] * kDegree) + 0.5);
  }
  scene::Quadric disc;
  glPushMatrix();
  glTranslated(m_support->m_position[0], m_support->m_position[1], centre[2] + kMarkerLift);
  DrawDisc(disc.get(), r);
  glPopMatrix();

  glPushMatrix();
  glTranslated(centre[0], centre[1], centre[2] + kMarkerLift);
  m_support->ApplyRotation();
  DrawDisc(disc.get(), r);
  glTranslated(0, d, 0);
  DrawDisc(disc.get(), r);
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(3, 0xAAAA);
  glBegin(GL_LINES);
  glVertex3d(0, 0, 0);
  glVertex3d(0, -d, 0);
  glEnd();
  glDisable(GL_LINE_STIPPLE);
  glPopMatrix();
}

CBaseArm* CFixtureBracket::MakeArm(int /*stemDown*/) { return new CFixtureArm(this); }

CBaseArm* CMastBracket::MakeArm(int /*stemDown*/) { return new CMastArm(this); }

void CMastBracket::PlaceLuminaire(CBaseArm* arm, const ArmGeometry& g)
{
  CBaseLightDevice* luminaire = arm->GetLuminaire();
  luminaire->SetRotation(luminaire->m_rotation[0] + g.turn[0], luminaire->m_rotation[1] + g.turn[1],
                         luminaire->m_rotation[2] + g.turn[2]);
  for (int i = 0; i < 3; ++i) luminaire->m_aimPoint[i] = g.aim[i];
}

void CMastBracket::DrawMarkers()
{
  CBaseBracket::DrawMarkers();
  double centre[3];
  if (!GetLightCentre(centre)) {
    return;
  }
  const double rz = m_support->m_rotation[2] * kDegree;
  const CBaseArm* arm = m_arms.front();
  const double w = arm->m_size[0];
  const double* aim = arm->GetLuminaire()->m_aimPoint;
  glBegin(GL_LINES);
  glVertex3d(centre[0] + std::sin(rz) * w, centre[1] - std::cos(rz) * w, centre[2]);
  glVertex3d(aim[0], aim[1], aim[2]);
  glEnd();
  scene::Quadric disc;
  glPushMatrix();
  glTranslated(aim[0], aim[1], aim[2] + 0.1);
  DrawDisc(disc.get(), scene::MarkerSize());
  glPopMatrix();
}

CBaseArm* CFloorLampBracket::MakeArm(int stemDown) { return new CFloorLampArm(this, stemDown); }

void CFloorLampBracket::PlaceLuminaire(CBaseArm* arm, const ArmGeometry& g)
{
  CBaseLightDevice* luminaire = arm->GetLuminaire();
  luminaire->SetRotation(luminaire->m_rotation[0] + g.turn[0], luminaire->m_rotation[1] + g.turn[1],
                         luminaire->m_rotation[2] + g.turn[2]);
  luminaire->SetPosition(g.offset[0], g.offset[1], g.offset[2]);
}
