// Pictures a person can look at: a straight road's luminance for the first observer, drawn off-screen as the
// view would draw it. The results block is filled here from a few point sources (the straight-road
// calculation does not run in this test).
#include "fixtures.h"

#include "geometry/calc_area_manager.h"
#include "geometry/colour_mapping.h"
#include "geometry/view_camera.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/gl/wgl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr int kPixelsPerMetre = 30;
constexpr double kRoadLength = 35;

// Luminance of a dry road under three luminaires 10 m high, staggered, seen by an observer looking along +x:
// brighter beyond each luminaire than before it.
float Luminance(double x, double y)
{
  struct Luminaire {
    double x, y;
  };
  const Luminaire luminaires[] = {{0, 4.5}, {kRoadLength, 4.5}, {kRoadLength / 2, -4.5}};
  constexpr double height = 10;
  double sum = 0.15;  // what the rest of the installation adds
  for (const Luminaire& l : luminaires) {
    const double d2 = (x - l.x) * (x - l.x) + (y - l.y) * (y - l.y);
    const double c = height / std::sqrt(height * height + d2);
    sum += 2.2 * c * c * c * c * (1 + 0.6 * std::tanh((x - l.x) / 5));
  }
  return static_cast<float>(sum);
}

void SampleRoad(FakeHost& host)
{
  host.straightRoad = TRUE;
  host.options.SetQuantity(0);
  CRoadLayout& road = host.layout;
  road.carriagewayOn = road.oppositeShown = TRUE;
  road.mainCarriageway = {0, kRoadLength, 0, -3.5};
  road.oppositeCarriageway = {0, kRoadLength, 3.5, 0};
  ResultsFixture& r = host.results;
  r.xs = Axis(36, 1);
  r.yRoad = Axis(6, 0.7f, -3.5f);
  r.yOpp = Axis(6, 0.7f, 0);
  for (std::size_t observer = 0; observer < 2; ++observer) {
    for (float x : r.xs) {
      for (float y : r.yRoad) r.lumObserver.push_back(Luminance(x, y) * (observer == 0 ? 1.0f : 0.8f));
      for (float y : r.yOpp) r.lumObserverOpp.push_back(Luminance(kRoadLength - x, -y));
    }
  }
  r.Bind();
  r.block.nObservers = 2;
  r.block.nObserversOpp = 1;
  r.block.shownObserver = 0;
}

// An off-screen view of the road in plan, one metre a border.
class PlanView {
public:
  PlanView() : m_surface(static_cast<int>((kRoadLength + 2) * kPixelsPerMetre), 9 * kPixelsPerMetre)
  {
    m_dc = gdi::CreateSurfaceDC(m_surface);
    PIXELFORMATDESCRIPTOR pfd;
    pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    EXPECT_TRUE(SetPixelFormat(m_dc, ChoosePixelFormat(m_dc, &pfd), &pfd));
    m_context = wglCreateContext(m_dc);
    EXPECT_TRUE(wglMakeCurrent(m_dc, m_context));
    glViewport(0, 0, m_surface.Width(), m_surface.Height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, kRoadLength + 1, -4.5, 4.5, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.086f, 0.243f, 0.412f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }
  ~PlanView()
  {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(m_context);
    DeleteDC(m_dc);
  }
  // Swaps into the pixels and writes the picture.
  const gdi::Surface& Save(const std::string& name)
  {
    EXPECT_TRUE(SwapBuffers(m_dc));
    EXPECT_TRUE(gdi::SavePng(m_surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name));
    return m_surface;
  }
  // The surface pixel at a road point.
  std::uint32_t At(const gdi::Surface& s, double x, double y) const
  {
    const int column = static_cast<int>((x + 1) * kPixelsPerMetre);
    const int row = static_cast<int>((4.5 - y) * kPixelsPerMetre);
    return s.Pixel(column, row);
  }

private:
  gdi::Surface m_surface;
  HDC m_dc = nullptr;
  HGLRC m_context = nullptr;
};

// Pixels of a colour that stands out: its channel (16 red, 8 green, 0 blue) bright, the others dark.
int CountPixelsOf(const gdi::Surface& s, int channelShift)
{
  int count = 0;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const std::uint32_t p = s.Pixel(x, y);
      bool match = true;
      for (int shift : {16, 8, 0}) {
        const int value = (p >> shift) & 0xFF;
        match = match && (shift == channelShift ? value > 200 : value < 60);
      }
      count += match ? 1 : 0;
    }
  }
  return count;
}

bool IsGrey(std::uint32_t pixel)
{
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r == g && g == b;
}

void Render(FakeHost& host, int displayMode, CCalcAreaManager& manager)
{
  host.options.SetResultDisplay(displayMode);
  manager.SetDisplayMode(displayMode);
  manager.Rebuild();
  manager.ApplyLabelHeights();
  manager.ApplyLabelColors();
  manager.Draw();
}

TEST(ResultPictures, GreyWithIsolines)
{
  FakeHost host;
  SampleRoad(host);
  PlanView view;
  CCalcAreaManager manager(&host);
  Render(host, 0, manager);
  ASSERT_EQ(manager.GetAreas().size(), 2u);
  EXPECT_GT(manager.GetLevels().GetSize(), 2);
  const gdi::Surface& picture = view.Save("result-grey-isolines.png");
  EXPECT_TRUE(IsGrey(view.At(picture, 30.3, -1.3)));
  EXPECT_GT(CountPixelsOf(picture, 8), 100) << "green isolines over the grey";
}

TEST(ResultPictures, FalseColour)
{
  FakeHost host;
  SampleRoad(host);
  PlanView view;
  CCalcAreaManager manager(&host);
  Render(host, 3, manager);
  const gdi::Surface& picture = view.Save("result-colour.png");
  int coloured = 0;
  for (double x = 0.5; x < kRoadLength; x += 1) coloured += IsGrey(view.At(picture, x, -1.75)) ? 0 : 1;
  EXPECT_GT(coloured, 20);
}

TEST(ResultPictures, NodeValues)
{
  FakeHost host;
  SampleRoad(host);
  PlanView view;
  CCalcAreaManager manager(&host);
  Render(host, 2, manager);
  ASSERT_FALSE(manager.GetAreas()[0]->m_nodeValues.GetLabels().empty());
  const gdi::Surface& picture = view.Save("result-nodes.png");
  EXPECT_GT(CountPixelsOf(picture, 0), 100) << "blue node values";
  EXPECT_GT(CountPixelsOf(picture, 16), 10) << "red node markers";
}

// An open site's node values are culled to the view and left out altogether in a steep view.
TEST(ResultPictures, OpenSiteNodeValuesFollowTheCamera)
{
  FakeHost host;  // not a straight road: one main area
  host.length = kRoadLength;
  host.width = 7;
  host.results.xs = Axis(36, 1, -kRoadLength / 2);  // an open site's points are centred on it
  host.results.yRoad = Axis(11, 0.7f, -3.5f);
  for (float x : host.results.xs)
    for (float y : host.results.yRoad) host.results.eRoad.push_back(Luminance(x + kRoadLength / 2, y) * 10);
  host.results.nodeState.assign(host.results.eRoad.size(), 0);
  host.results.Bind();
  host.options.SetResultDisplay(2);

  CViewCamera camera;
  CurrentViewCamera() = &camera;
  int bluePixels[2] = {0, 0};
  for (int steep = 0; steep < 2; ++steep) {
    PlanView view;
    glTranslated(kRoadLength / 2, 0, 0);  // the view shows the road from 0; the site is centred on its origin
    camera.m_tilt = steep != 0 ? 85 : 30;
    CCalcAreaManager manager(&host);
    manager.SetCamera(&camera);
    manager.SetDisplayMode(2);
    manager.Rebuild();
    manager.ApplyLabelHeights();
    manager.ApplyLabelColors();
    manager.DrawNodeValues();
    bluePixels[steep] = CountPixelsOf(view.Save(steep != 0 ? "result-nodes-steep.png" : "result-nodes-site.png"), 0);
  }
  CurrentViewCamera() = nullptr;
  EXPECT_GT(bluePixels[0], 100);
  EXPECT_EQ(bluePixels[1], 0);
}

}  // namespace
