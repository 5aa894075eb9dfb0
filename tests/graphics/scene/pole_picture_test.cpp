// A picture of poles as the 3D view shows them: a column with its bracket, arm and street-light fixture, a
// lattice mast with two projectors, and a floor lamp; then the column selected with its mounting dimensions.
#include "graphics/core/scene_palette.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/street_devices.h"
#include "tests/graphics/gl/palette_gl_surface.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

namespace {

void LightTheScene()
{
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_NORMALIZE);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  const GLfloat ambient[4] = {0.6f, 0.6f, 0.6f, 1};
  const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
  const GLfloat direction[4] = {0.4f, -0.6f, 1.0f, 0};
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
}

void LookAt(int width, int height, double eyeX, double eyeY, double eyeZ, double atX, double atY, double atZ)
{
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(30, static_cast<double>(width) / height, 0.5, 200);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eyeX, eyeY, eyeZ, atX, atY, atZ, 0, 0, 1);
}

void DrawGround()
{
  glDisable(GL_LIGHTING);
  glColor3f(0.35f, 0.37f, 0.35f);
  glBegin(GL_QUADS);
  glVertex3d(-20, -20, 0);
  glVertex3d(20, -20, 0);
  glVertex3d(20, 20, 0);
  glVertex3d(-20, 20, 0);
  glEnd();
  glEnable(GL_LIGHTING);
}

_ARM_PLACEMENT Arm(double endHeight, double length, double tilt, double azimuth, double poleHeight)
{
  _ARM_PLACEMENT p;
  p.endHeight = endHeight;
  p.armLength = length;
  p.tilt = tilt;
  p.azimuth = azimuth;
  p.poleHeight = poleHeight;
  return p;
}

// Everything through the scene list, as a frame draws it.
void FillScene(CObjectContainer3D& scene, bool decorated)
{
  auto* column = new CStreetColumnIllumination;
  column->MoveTo(0, 0, 0);
  column->TurnTo(0, 0, 180);
  column->BuildArms({Arm(0.6, 2.5, 15, 0, 10)});
  column->SetColor(kColorGrey);
  if (decorated) {
    auto* decorator = new CLightStreetDeviceDecorator(column, -4);
    decorator->SetState(CSelectableObject::kSelected);
    scene.Add(decorator);
  } else {
    scene.Add(column);
  }

  auto* mast = new CStreetMastIllumination;
  mast->MoveTo(-7, 6, 0);
  mast->TurnTo(0, 0, 180);
  _ARM_PLACEMENT left = Arm(0.3, 1, 0, 30, 14);
  left.turn[0] = 40;
  _ARM_PLACEMENT right = Arm(0.3, 1, 0, -30, 14);
  right.turn[0] = 40;
  mast->BuildArms({left, right});
  mast->SetColor(kColorBlue);
  scene.Add(mast);

  auto* lamp = new CStreetFloorLampIllumination;
  lamp->MoveTo(5, 3, 0);
  _ARM_PLACEMENT globe = Arm(0.1, 0, 0, 0, 3.5);
  globe.offset[2] = 0.4;
  lamp->BuildArms({globe});
  lamp->SetColor(kColorDarkGreen);
  scene.Add(lamp);
}

TEST(PolePicture, ColumnMastAndFloorLampInThreeD)
{
  constexpr int kWidth = 640, kHeight = 640;
  for (bool decorated : {false, true}) {
    GlSurface surface(kWidth, kHeight);
    CScenePalette::GetInstance()->Reset();
    CScenePalette::GetInstance()->SetColor(kColorDiffuser, 1.0f, 0.95f, 0.6f, 1);
    surface.Clear(0.62f, 0.76f, 0.90f);
    glClear(GL_DEPTH_BUFFER_BIT);
    if (decorated) {
      LookAt(kWidth, kHeight, 26, -9, 9, 0, 1.5, 5);
    } else {
      LookAt(kWidth, kHeight, 20, -28, 10, -1, 2, 7);
    }
    LightTheScene();
    DrawGround();
    CObjectContainer3D scene;
    FillScene(scene, decorated);
    scene.DrawNamed();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    surface.Show(decorated ? "scene-pole-dimensions.png" : "scene-pole.png");

    // Something of the poles stands out of the sky above the ground.
    int inked = 0;
    for (int y = kHeight / 2; y < kHeight; y += 2)
      for (int x = 0; x < kWidth; x += 2)
        if (surface.ColourAt(x, y) != surface.ColourAt(0, kHeight - 1)) ++inked;
    EXPECT_GT(inked, 200);
  }
}

}  // namespace
