// Scene objects drawn into an off-screen OpenGL context: the display lists luminaires of a kind share, the
// materials of their parts, poles without arms, and a picture of a pole a person can look at.
#include "graphics/core/scene_palette.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/street_devices.h"
#include "tests/graphics/gl/palette_gl_surface.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using scene::SharedDisplayLists;

bool IsList(int name) { return name >= 0 && glIsList(static_cast<GLuint>(name)) == GL_TRUE; }

TEST(SharedLuminaireLists, LastInstanceDeletesTheListsAndTheNextCompilesAgain)
{
  GlSurface surface(16, 16);
  SharedDisplayLists& lists = CFixtureLightDevice::Lists();
  auto first = std::make_unique<CFixtureLightDevice>();
  auto second = std::make_unique<CFixtureLightDevice>();
  EXPECT_EQ(lists.GetLiveCount(), 2);
  const int body = lists.GetName(0);
  const int bowl = lists.GetName(1);
  EXPECT_TRUE(IsList(body));
  EXPECT_TRUE(IsList(bowl));

  first.reset();
  EXPECT_EQ(lists.GetName(0), body);
  EXPECT_TRUE(IsList(body));
  second.reset();
  EXPECT_EQ(lists.GetName(0), -1);
  EXPECT_EQ(lists.GetName(1), -1);
  EXPECT_FALSE(IsList(body));
  EXPECT_FALSE(IsList(bowl));

  CFixtureLightDevice third;
  EXPECT_TRUE(IsList(lists.GetName(0)));
  EXPECT_EQ(SharedDisplayLists::PendingDeletions(), 0);
}

TEST(SharedLuminaireLists, DeletionWithoutTheirContextWaitsForIt)
{
  GlSurface surface(16, 16);
  const HGLRC context = wglGetCurrentContext();
  const HDC dc = wglGetCurrentDC();
  SharedDisplayLists& lists = CProjectorLightDevice::Lists();
  auto projector = std::make_unique<CProjectorLightDevice>();
  const int housing = lists.GetName(0);
  ASSERT_TRUE(IsList(housing));

  wglMakeCurrent(nullptr, nullptr);
  projector.reset();  // no context: nothing is called, nothing forgotten
  EXPECT_EQ(lists.GetName(0), -1);
  EXPECT_EQ(SharedDisplayLists::PendingDeletions(), 1);

  ASSERT_TRUE(wglMakeCurrent(dc, context));
  EXPECT_TRUE(IsList(housing));
  EXPECT_EQ(SharedDisplayLists::DeleteDeferred(), 0);
  EXPECT_FALSE(IsList(housing));

  // Lists first used in another context are not deleted in this one; that context's owner forgets them.
  {
    GlSurface other(16, 16);
    const HGLRC otherContext = wglGetCurrentContext();
    CFloorLampLightDevice lamp(0);
    ASSERT_TRUE(IsList(CFloorLampLightDevice::Lists().GetName(1)));
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    const int globeHere = CFloorLampLightDevice::Lists().Use(1);  // compiled anew for this context
    EXPECT_TRUE(IsList(globeHere));
    EXPECT_EQ(SharedDisplayLists::PendingDeletions(), 1);
    SharedDisplayLists::ForgetContext(otherContext);
    EXPECT_EQ(SharedDisplayLists::PendingDeletions(), 0);
  }  // the lamp goes with this context current: its lists are deleted at once
  EXPECT_EQ(SharedDisplayLists::PendingDeletions(), 0);
}

// The specular colour of the material the last draw left: 0.8 the lamp's glowing one, 0.5 the default.
float LastSpecular()
{
  GLfloat specular[4] = {0, 0, 0, 0};
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  return specular[0];
}

TEST(LuminaireLooks, LampPartsTakeTheGlowingMaterialWhileTheLampBitIsSet)
{
  GlSurface surface(16, 16);
  CScenePalette::GetInstance()->Reset();
  glEnable(GL_LIGHTING);

  CFixtureLightDevice fixture;
  fixture.Draw();
  EXPECT_FLOAT_EQ(LastSpecular(), 0.8f);  // the bowl, in state 0xA
  // 0x12 itself shares the visible bit with 0xA and is ignored; a switched-off group's 0x10 makes the word 0x12.
  fixture.SetState(0x12);
  EXPECT_EQ(fixture.GetState(), 0xAu);
  fixture.SetState(0x10);
  EXPECT_EQ(fixture.GetState(), 0x12u);
  fixture.Draw();
  EXPECT_FLOAT_EQ(LastSpecular(), 0.5f);  // the bowl keeps the body's material

  CProjectorLightDevice projector;
  projector.SetState(0x10);
  projector.Draw();
  EXPECT_FLOAT_EQ(LastSpecular(), 0.8f);  // the glass always glows

  CFloorLampLightDevice lamp(0);
  lamp.Draw();
  EXPECT_FLOAT_EQ(LastSpecular(), 0.5f);  // globe glowing, then the stem in the default material

  // The outline look draws lines with lighting off and restores fill and lighting after.
  fixture.SetState(0x80);
  fixture.Draw();
  GLint modes[2];
  glGetIntegerv(GL_POLYGON_MODE, modes);
  EXPECT_EQ(modes[0], GL_FILL);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A side view looking along +y: x to the right, z up, 100 pixels a metre around the origin.
class SideView : public GlSurface {
public:
  SideView() : GlSurface(200, 200)
  {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(-90, 1, 0, 0);
    Clear(0, 0, 0);
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
  }
  bool Inked(double x, double z) const
  {
    return ColourAt(static_cast<int>((x + 1) * 100), static_cast<int>((z + 1) * 100)) != 0;
  }
};

TEST(LuminaireLooks, FloorLampStemPointsDownWhenAsked)
{
  for (BYTE stemDown : {0, 1}) {
    SideView view;
    CFloorLampLightDevice lamp(stemDown);
    lamp.Draw();
    view.Show();
    EXPECT_TRUE(view.Inked(0, 0)) << "the globe at the origin";
    EXPECT_TRUE(view.Inked(0.2, 0)) << "the globe's radius is 0.25";
    EXPECT_FALSE(view.Inked(0.3, 0));
    EXPECT_EQ(view.Inked(0, 0.35), stemDown == 0);
    EXPECT_EQ(view.Inked(0, -0.35), stemDown != 0);
    EXPECT_FALSE(view.Inked(0.1, 0.35)) << "the stem is 0.05 thick";
  }
}

TEST(StreetDeviceDrawing, APoleWithoutArmsDrawsItsSupportAlone)
{
  SideView view;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-6, 6, -1, 11, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  CStreetColumnIllumination device;
  device.BuildArms({});
  device.SetState(0x40);
  CLightStreetDeviceDecorator decorator(new CStreetColumnIllumination, 3);
  decorator.SetState(0x40);
  decorator.GetDevice()->MoveTo(3, 0, 0);
  device.Draw();
  device.DrawMarkers();
  decorator.Draw();
  view.Show();
  // 200 pixels over 12 m: the shafts at x 0 and 3, up to 10 m.
  auto inked = [&](double x, double z) {
    return view.ColourAt(static_cast<int>((x + 6) / 12 * 200), static_cast<int>((z + 1) / 12 * 200)) != 0;
  };
  EXPECT_TRUE(inked(0, 5));
  EXPECT_TRUE(inked(3, 5));
  EXPECT_FALSE(inked(1.5, 5));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The lines a draw sends, in metres of a plan view 10 pixels a metre around the origin (from feedback mode).
struct FedLine {
  double x0, y0, x1, y1;
};
template <typename Draw>
std::vector<FedLine> LinesOf(Draw draw)
{
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-10, 10, -10, 10, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  std::vector<GLfloat> buffer(1 << 16);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint size = glRenderMode(GL_RENDER);
  std::vector<FedLine> lines;
  auto metres = [](GLfloat pixels) { return pixels / 10.0 - 10.0; };
  for (GLint at = 0; at < size;) {
    const auto token = static_cast<GLint>(buffer[at]);
    if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      lines.push_back({metres(buffer[at + 1]), metres(buffer[at + 2]), metres(buffer[at + 4]), metres(buffer[at + 5])});
      at += 7;
    } else if (token == GL_POLYGON_TOKEN) {
      at += 2 + 3 * static_cast<GLint>(buffer[at + 1]);
    } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
               token == GL_COPY_PIXEL_TOKEN) {
      at += 4;
    } else {
      at += 2;  // pass-through
    }
  }
  return lines;
}

TEST(BracketMarkers, TheDashedLineStartsAtTheLightCentreOrAtTheSupport)
{
  GlSurface surface(200, 200);
  for (int supportMarkers : {0, 1}) {
    CStreetColumnIllumination device;
    device.MoveTo(1, 2, 0);
    device.TurnTo(0, 0, 180);
    _ARM_PLACEMENT arm;
    arm.endHeight = 0.5;
    arm.armLength = 2;
    arm.poleHeight = 8;
    device.BuildArms({arm});
    device.GetBracket()->m_supportMarkers = supportMarkers;
    const auto lines = LinesOf([&] { device.DrawMarkers(); });
    ASSERT_EQ(lines.size(), 1u);
    // The marker frame is turned with the support (180): d = -2 points to +y.
    const FedLine& line = lines[0];
    if (supportMarkers) {
      EXPECT_NEAR(line.x0, 1, 0.05);
      EXPECT_NEAR(line.y0, 2 + 4.5, 0.05);  // d = -2 - (2 cos 0 + 0.5)
      EXPECT_NEAR(line.y1, 2, 0.05);
    } else {
      EXPECT_NEAR(line.y0, 4 + 2, 0.05);   // from the light centre (1, 4) on by 2
      EXPECT_NEAR(line.y1, 4, 0.05);
    }
  }
}

TEST(DimensionDecorator, DrawsTheDimensionsAskedOfASelectedDevice)
{
  GlSurface surface(200, 200);
  struct Case {
    DWORD state;
    double poleTurn, tilt;
    size_t longLines;  // in plan; vertical lines and the text's strokes are shorter
  };
  const Case cases[] = {
      {0xA, 180, 10, 0},   // not selected: the device alone
      {0x40, 180, 0, 2},   // edge distance and outreach
      {0x40, 180, 10, 4},  // and the two tilt lines
      {0x40, 150, 0, 4},   // turned: the two lines of the turn angle
  };
  for (const Case& c : cases) {
    auto* device = new CStreetColumnIllumination;
    device->MoveTo(0, 0, 0);
    device->TurnTo(0, 0, c.poleTurn);
    _ARM_PLACEMENT arm;
    arm.endHeight = 0.5;
    arm.armLength = 2;
    arm.tilt = c.tilt;
    arm.poleHeight = 8;
    device->BuildArms({arm});
    CLightStreetDeviceDecorator decorator(device, -4);
    decorator.SetState(c.state);
    size_t longLines = 0;
    for (const FedLine& line : LinesOf([&] { decorator.Draw(); }))
      if (std::hypot(line.x1 - line.x0, line.y1 - line.y0) > 0.6) ++longLines;
    EXPECT_EQ(longLines, c.longLines) << c.state << " " << c.poleTurn << " " << c.tilt;
  }
}

}  // namespace
