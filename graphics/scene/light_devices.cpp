#include "graphics/scene/light_devices.h"

#include "geometry/vector_string3d.h"
#include "graphics/core/scene_palette.h"
#include "graphics/scene/scene_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

void CallList(scene::SharedDisplayLists& lists, int index)
{
  const int name = lists.Use(index);
  if (name >= 0) glCallList(static_cast<GLuint>(name));
}

// Fixture body: two half shells, lower flat and upper domed, of 20 x 20 faces.
void CompileFixtureBody()
{
  glPushMatrix();
  glTranslated(0, -0.05625, 0);
  glRotated(90, 1, 0, 0);
  glRotated(180, 0, 1, 0);
  for (double shell : {-0.2, 0.6}) {
    auto point = [shell](int i, int j, double out[3]) {
      const double theta = 4.5 * i * kDegree;
      const double phi = 9.0 * j * kDegree;
      const double rho = 0.2 * std::cos(theta);
      out[0] = rho * std::cos(phi);
      out[1] = rho * std::sin(phi);
      out[2] = shell * std::sin(theta);
    };
    for (int i = 0; i < 20; ++i) {
      for (int j = 0; j < 20; ++j) {
        double p[4][3];
        point(i, j, p[0]);
        point(i, j + 1, p[1]);
        point(i + 1, j + 1, p[2]);
        point(i + 1, j, p[3]);
        const double below[3] = {p[0][0], p[0][1], p[0][2] - 1};
        double normal[3];
        TriangleNormal(normal, p[0], below, p[1]);
        glBegin(GL_POLYGON);
        glNormal3dv(normal);
        for (const auto& v : p) glVertex3dv(v);
        glEnd();
      }
    }
  }
  glPopMatrix();
}

// Fixture bowl: left without push and pop, so its transform stays in force for what follows it.
void CompileFixtureBowl()
{
  glTranslated(0, -0.05625, 0);
  glRotated(90, 0, 0, 1);
  auto point = [](int i, int j, double out[3]) {
    const double a = 18.0 * i * kDegree;
    const double phi = 36.0 * j * kDegree;
    const double r = 0.2 - 0.1 * std::sin(phi);
    out[0] = r * std::cos(a) * std::cos(phi);
    out[1] = r * std::cos(a) * std::sin(phi);
    out[2] = -0.1 * std::sin(a);
  };
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 5; ++j) {
      double p[4][3];
      point(i, j, p[0]);
      point(i, j + 1, p[1]);
      point(i + 1, j + 1, p[2]);
      point(i + 1, j, p[3]);
      glBegin(GL_POLYGON);
      for (const auto& v : p) glVertex3dv(v);
      glEnd();
    }
  }
}

void CompileFixture(int index) { index == 0 ? CompileFixtureBody() : CompileFixtureBowl(); }

// The projector: a 0.7 m long segment of a cylinder whose 0.7 m chord rises 0.15 m.
constexpr double kProjectorWidth = 0.7;
constexpr double kProjectorHeight = 0.7;
constexpr double kProjectorDepth = 0.15;
constexpr double kProjectorRadius = kProjectorWidth * kProjectorWidth / (8 * kProjectorDepth) + kProjectorDepth / 2;

void CompileProjector(int index)
{
  const double w = kProjectorWidth, d = kProjectorDepth, r = kProjectorRadius;
  if (index == 0) {
    scene::Quadric side, ends;
    const GLdouble keepAbove[4] = {0, 0, 1, d / 2};
    glClipPlane(GL_CLIP_PLANE0, keepAbove);
    glEnable(GL_CLIP_PLANE0);
    glPushMatrix();
    glTranslated(-w / 2, 0, -(r - d / 2));
    glRotated(90, 0, 1, 0);
    gluCylinder(side.get(), r, r, w, 50, 10);
    glPopMatrix();
    glPushMatrix();
    glTranslated(-w / 2, 0, -(r - d / 2));
    glRotated(90, 0, 1, 0);
    gluDisk(ends.get(), 0, r, 50, 10);
    glPopMatrix();
    glPushMatrix();
    glTranslated(w / 2, 0, -(r - d / 2));
    glRotated(-90, 0, 1, 0);
    gluDisk(ends.get(), 0, r, 50, 10);
    glPopMatrix();
    glDisable(GL_CLIP_PLANE0);
    return;
  }
  const double x = w / 2 - 0.02, y = kProjectorHeight / 2 - 0.02, z = -(d / 2 - 0.01);
  glBegin(GL_POLYGON);
  glVertex3d(-x, y, z);
  glVertex3d(-x, -y, z);
  glVertex3d(x, -y, z);
  glVertex3d(x, y, z);
  glEnd();
}

void CompileFloorLamp(int index)
{
  scene::Quadric quadric;
  if (index == 0) {
    gluCylinder(quadric.get(), 0.05f, 0.05f, 0.4, 10, 10);
  } else {
    gluSphere(quadric.get(), 0.25, 10, 10);
  }
}

void TranslateAndTurnXyz(const CObject3D& object)
{
  glTranslated(object.m_position[0], object.m_position[1], object.m_position[2]);
  object.ApplyRotation();
}

}  // namespace

void CBaseLightDevice::SetPhotometry(CGroupLightDevice3D* group, CObject3D* solid, DWORD solidFlags)
{
  m_photometricGroup = group;
  m_solid = solid;
  m_solidFlags = solidFlags;
}

scene::SharedDisplayLists& CFixtureLightDevice::Lists()
{
  static scene::SharedDisplayLists lists(2, CompileFixture);
  return lists;
}

CFixtureLightDevice::CFixtureLightDevice() { Lists().Acquire(); }
CFixtureLightDevice::~CFixtureLightDevice() { Lists().Release(); }

void CFixtureLightDevice::Draw()
{
  glPushMatrix();
  TranslateAndTurnXyz(*this);
  if (IsOutline()) {
    scene::BeginOutline(m_colourId);
    CallList(Lists(), 0);
    CallList(Lists(), 1);
    scene::EndOutline();
  } else {
    scene::ApplyMaterial(m_colourId, kMaterialDefault);
    CallList(Lists(), 0);
    if (m_state & kLampLook) scene::ApplyMaterial(kColorDiffuser, kMaterialGlowingDiffuser);
    CallList(Lists(), 1);
  }
  if (CObject3D* solid = GetSolid()) {
    glPushMatrix();
    glRotated(90, 0, 0, 1);
    if (GetSolidFlags() & kSolidBPlanes) glRotated(-90, 0, 0, 1);
    solid->Draw();
    glPopMatrix();
  }
  glPopMatrix();
}

scene::SharedDisplayLists& CProjectorLightDevice::Lists()
{
  static scene::SharedDisplayLists lists(2, CompileProjector);
  return lists;
}

CProjectorLightDevice::CProjectorLightDevice()
{
  ResizeTo(kProjectorWidth, kProjectorHeight, kProjectorDepth);
  Lists().Acquire();
}

CProjectorLightDevice::~CProjectorLightDevice() { Lists().Release(); }

void CProjectorLightDevice::Draw()
{
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  glRotated(m_rotation[2], 0, 0, 1);
  glRotated(m_rotation[0], 1, 0, 0);
  glRotated(m_rotation[1], 0, 0, 1);
  if (IsOutline()) {
    scene::BeginOutline(m_colourId);
    CallList(Lists(), 0);
    CallList(Lists(), 1);
    scene::EndOutline();
  } else {
    scene::ApplyMaterial(m_colourId, kMaterialDefault);
    CallList(Lists(), 0);
    scene::ApplyMaterial(kColorDiffuser, kMaterialGlowingDiffuser);
    CallList(Lists(), 1);
  }
  if (CObject3D* solid = GetSolid()) {
    glPushMatrix();
    glRotated(180, 0, 0, 1);
    if (GetSolidFlags() & kSolidCPlanes) glRotated(90, 0, 0, 1);
    solid->Draw();
    glPopMatrix();
  }
  glPopMatrix();
}

scene::SharedDisplayLists& CFloorLampLightDevice::Lists()
{
  static scene::SharedDisplayLists lists(2, CompileFloorLamp);
  return lists;
}

CFloorLampLightDevice::CFloorLampLightDevice(BYTE stemDown) : m_stemDown(stemDown)
{
  ResizeTo(0.5, 0.5, 0.7);
  Lists().Acquire();
}

CFloorLampLightDevice::~CFloorLampLightDevice() { Lists().Release(); }

void CFloorLampLightDevice::Draw()
{
  glPushMatrix();
  TranslateAndTurnXyz(*this);
  const bool outline = IsOutline();
  if (outline) {
    scene::BeginOutline(m_colourId);
    CallList(Lists(), 1);
  } else if (m_state & kLampLook) {
    scene::ApplyMaterial(kColorDiffuser, kMaterialGlowingDiffuser);
    CallList(Lists(), 1);
    scene::ApplyMaterial(m_colourId, kMaterialDefault);
  } else {
    scene::ApplyMaterial(m_colourId, kMaterialDefault);
    CallList(Lists(), 1);
  }
  if (m_stemDown) glRotated(180, 1, 0, 0);
  CallList(Lists(), 0);
  if (m_stemDown) glRotated(-180, 1, 0, 0);
  if (outline) scene::EndOutline();
  if (CObject3D* solid = GetSolid()) {
    glPushMatrix();
    glRotated(180, 0, 1, 0);
    solid->Draw();
    glPopMatrix();
  }
  glPopMatrix();
}
