// The straight road's drawers: the kerb blocks and buildings from the road's length, where the observer marks
// and lane separators stand for one-way and two-way roads, and the section drawn in the view's frame, read back
// pixel by pixel in plan view.
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/road_drawers.h"
#include "graphics/drawers/straight_road_drawer.h"
#include "graphics/scene/scene_builder.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdlib>

namespace {

TEST(StraightRoadDrawer, KerbBlocksAlternateFromTheRoadStartAndMayPassItsEnd)
{
  const struct {
    double length;
    size_t blocks;
    double lastEnd;
  } cases[] = {
      {21, 22, 11.5},  // steps start below 10; the last one, at 9.5, runs 1 m past the end
      {20, 20, 10},
      {3, 4, 2.5},     // steps at -1.5 and 0.5, both below trunc(1.5) = 1
      {1.5, 2, 1.25},  // starts at -0.75, below trunc(0.75) = 0
      {0, 0, 0},
  };
  for (const auto& c : cases) {
    const std::vector<double> starts = CStraightRoadDrawer3D::KerbBlockStarts(c.length);
    ASSERT_EQ(starts.size(), c.blocks) << c.length;
    if (!starts.empty()) {
      EXPECT_DOUBLE_EQ(starts.front(), -c.length / 2);
      EXPECT_DOUBLE_EQ(starts.back() + 1, c.lastEnd) << c.length;
    }
  }
}

TEST(StraightRoadDrawer, BuildingLengthInWholeSixMetreStepsNeverUnderTwelve)
{
  const struct {
    double length, spacing, building;
  } cases[] = {
      {100, 30, 78},  // 80 / 6 = 13 steps
      {20, 30, 12},   // nothing left beside one spacing: the least building
      {100, 5, 96},   // a spacing under 6 m keeps all but half a metre: 99.5 / 6 = 16
      {38, 30, 18},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(CStraightRoadWalls3D::BuildingLength(c.length, c.spacing), c.building)
        << c.length << " " << c.spacing;
}

// A builder whose figures are set by hand, as its straight-road pass would leave them.
struct HandBuilder {
  HandBuilder(bool oneWay)
  {
    b.m_oneWay = oneWay ? 1 : 0;
    b.m_mainLaneCount = 3;
    b.m_mainLaneWidth = 3.5;
    b.m_mainWidth = 10.5;
    b.m_oppositeLaneCount = oneWay ? 0 : 2;
    b.m_oppositeLaneWidth = oneWay ? 0 : 3.75;
    b.m_oppositeWidth = oneWay ? 0 : 7.5;
    b.m_dividerWidth = oneWay ? 0 : 2;
    b.m_leftSidewalkWidth = 2;
    b.m_rightSidewalkWidth = 3;
    b.m_leftSidewalkGap = 0.5;
    b.m_rightSidewalkGap = 0;
    b.m_extent[0] = 100;
    b.m_firstStep = 30;
    b.m_leftWallLine = 20;
    b.m_rightWallLine = -25;
    b.m_leftWallHeight = b.m_rightWallHeight = 15;
    b.m_observerLane = 1;
  }
  CSceneBuilder b{nullptr, nullptr};
};

TEST(StraightRoadDrawer, ObserverMarksAndSeparatorsFollowTheRoadsDirections)
{
  {
    SCOPED_TRACE("one-way");
    HandBuilder hand(true);
    CRoadDrawers drawers(nullptr, &hand.b);
    CStraightRoadDrawer3D& d = *drawers.GetStraightDrawer();
    d.Refresh();
    // Lanes counted from the right edge at -5.25: lane 1 is the middle one.
    EXPECT_DOUBLE_EQ(d.ObserverLaneY(), 0);
    EXPECT_EQ(d.MainSeparatorsY(), (std::vector<double>{1.75, -1.75}));
    EXPECT_TRUE(d.OppositeSeparatorsY().empty());
    EXPECT_DOUBLE_EQ(d.LeftSidewalkMarkY(), 5.25 + 1 + 0.5 + 0.1);
    EXPECT_DOUBLE_EQ(d.RightSidewalkMarkY(), -5.25 - 1.5 - 0.1);
  }
  {
    SCOPED_TRACE("two-way");
    HandBuilder hand(false);
    CRoadDrawers drawers(nullptr, &hand.b);
    CStraightRoadDrawer3D& d = *drawers.GetStraightDrawer();
    d.Refresh();
    // The main carriageway lies right of the dividing strip: its right edge at -(10.5 + 1).
    EXPECT_DOUBLE_EQ(d.ObserverLaneY(), -11.5 + 1.75 + 3.5);
    EXPECT_EQ(d.MainSeparatorsY(), (std::vector<double>{-4.5, -8}));
    EXPECT_EQ(d.OppositeSeparatorsY(), (std::vector<double>{4.75}));
    EXPECT_DOUBLE_EQ(d.LeftSidewalkMarkY(), 8.5 + 1 + 0.5 + 0.1);
    EXPECT_DOUBLE_EQ(d.RightSidewalkMarkY(), -11.5 - 1.5 - 0.1);
  }
}

TEST(StraightRoadDrawer, WallsStandBesideTheirLinesAndWidenTheScene)
{
  HandBuilder hand(false);
  CRoadDrawers drawers(nullptr, &hand.b);
  drawers.GetStraightDrawer()->Refresh();
  const CStraightRoadWalls3D& walls = *drawers.GetStraightDrawer()->GetWalls();
  const CBuilding3D& left = walls.GetBuilding(CStraightRoadWalls3D::kLeft);
  const CBuilding3D& right = walls.GetBuilding(CStraightRoadWalls3D::kRight);
  EXPECT_DOUBLE_EQ(left.m_position[1], 26.05);
  EXPECT_DOUBLE_EQ(right.m_position[1], -31.05);
  EXPECT_DOUBLE_EQ(left.m_size[0], 78);
  EXPECT_DOUBLE_EQ(left.m_size[2], 15);
  // The ground runs from the sidewalk's outer edge (line - gap) to 5 m behind the building.
  const CPlane3D& ground = walls.GetGround(CStraightRoadWalls3D::kLeft);
  EXPECT_DOUBLE_EQ(ground.m_position[1] - ground.m_size[1] / 2, 20 - 0.05);
  EXPECT_DOUBLE_EQ(ground.m_position[2], 0.1);
  // 5 m beyond both outer faces.
  EXPECT_DOUBLE_EQ(hand.b.m_extent[0], 100);
  EXPECT_DOUBLE_EQ(hand.b.m_extent[1], (26.05 + 6 + 5) - (-31.05 - 6 - 5));
}

// The new project's straight road drawn by the core in plan view, read back at world points.
class StraightRoadFrame : public CoreTest {
protected:
  void SetUp() override
  {
    CoreTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(MakeDocument());
    MakeView(800, 600);
    document->SetViewMode(0x202);
    Core().GetCamera()->SetViewType(CViewCamera::kPlan);
    Core().GetCamera()->ResetCurrentView();
  }
  void Frame()
  {
    Core().Render(FALSE, TRUE);
    Core().GetCamera()->Apply();
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
  }
  // 0xRRGGBB where the world point (x, y, z) lands in the last frame.
  std::uint32_t ColourAt(double x, double y, double z = 0)
  {
    double wx = 0, wy = 0, wz = 0;
    EXPECT_TRUE(gluProject(x, y, z, modelView, projection, viewport, &wx, &wy, &wz));
    const gdi::Surface* pixels = view->Pixels();
    const int px = static_cast<int>(wx), py = pixels->Height() - 1 - static_cast<int>(wy);
    EXPECT_TRUE(px >= 0 && px < pixels->Width() && py >= 0 && py < pixels->Height()) << x << " " << y;
    return pixels->Pixel(px, py) & 0xFFFFFF;
  }
  // The palette truncates where OpenGL rounds: one step apart per channel is the same colour.
  static bool Shows(std::uint32_t pixel, int id)
  {
    const COLORREF c = CScenePalette::GetInstance()->GetColorRef(id);
    const int want[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    const int got[3] = {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
    for (int i = 0; i < 3; ++i)
      if (std::abs(want[i] - got[i]) > 1)
        return false;
    return true;
  }
  const StraightRoadFigures& Figures() { return Core().GetRoadDrawers()->GetStraightDrawer()->GetFigures(); }

  double modelView[16] = {}, projection[16] = {};
  GLint viewport[4] = {};
};

TEST_F(StraightRoadFrame, CarriagewayMarkingsAndSidewalksInTheirColours)
{
  Frame();
  const StraightRoadFigures& f = Figures();
  ASSERT_GT(f.mainWidth, 0);
  ASSERT_GT(f.length, 0);
  // Along the road at the view's middle, between the field's poles.
  double x = 0, y = 0, z = 0;
  ASSERT_TRUE(gluUnProject(viewport[2] / 2.0, viewport[3] / 2.0, 0.5, modelView, projection, viewport, &x, &y, &z));
  const int carriageway = (f.roadState & 1) ? kColorCarriagewayActive : kColorCarriagewayInactive;
  const double rightEdge = f.oneWay ? -f.mainWidth / 2 : -(f.dividerWidth / 2 + f.mainWidth);
  EXPECT_TRUE(Shows(ColourAt(x, rightEdge + 0.5), carriageway));
  if (f.rightSidewalkWidth > 0) {
    const double sidewalk = rightEdge - 0.1 - f.rightGap - f.rightSidewalkWidth / 2;
    EXPECT_TRUE(
        Shows(ColourAt(x, sidewalk, 0.1), f.rightSidewalkState ? kColorSidewalkActive : kColorSidewalkInactive));
  }
  EXPECT_FALSE(view->SavePicture("drawer-straight-plan.png").empty());

  // A carriageway that is not built leaves the ground, but its markings stay.
  ModelRef<IRoad> road(ActiveArea(), IID_IRoad);
  ASSERT_TRUE(road);
  const int state = *road->GetState() | 0x2;
  road->SetState(&state);
  Frame();
  EXPECT_FALSE(Shows(ColourAt(x, rightEdge + 0.5), carriageway));
  const std::vector<double> separators = Core().GetRoadDrawers()->GetStraightDrawer()->MainSeparatorsY();
  ASSERT_FALSE(separators.empty());
  bool marked = false;
  for (double along = x; along < x + 1.0; along += 0.05)
    marked = marked || Shows(ColourAt(along, separators.front()), kColorRoadMarking);
  EXPECT_TRUE(marked) << "a dash of the lane separator";
}

TEST_F(StraightRoadFrame, AWallWhoseSwitchIsOffIsNotDrawn)
{
  ModelRef<IWall> walls(ActiveArea(), IID_IWall);
  ASSERT_TRUE(walls);
  const int flags = kWallLeftOn | kWallRightOn;
  walls->SetFlags(&flags);
  Frame();
  // Far enough above the road that both buildings are in the picture.
  Core().GetCamera()->GetEye()->z *= 4;
  Core().GetCamera()->LoadOrthoProjection();
  Frame();
  CStraightRoadWalls3D& drawn = *Core().GetRoadDrawers()->GetStraightDrawer()->GetWalls();
  double x = 0, y = 0, z = 0;
  ASSERT_TRUE(gluUnProject(viewport[2] / 2.0, viewport[3] / 2.0, 0.5, modelView, projection, viewport, &x, &y, &z));
  const CBuilding3D& left = drawn.GetBuilding(CStraightRoadWalls3D::kLeft);
  const CBuilding3D& right = drawn.GetBuilding(CStraightRoadWalls3D::kRight);
  ASSERT_GT(left.m_size[2], 0) << "the left wall stands";
  const double top = left.m_position[2] + left.m_size[2];
  const std::uint32_t leftOn = ColourAt(x, left.m_position[1], top);
  const std::uint32_t rightOn = ColourAt(x, right.m_position[1], right.m_position[2] + right.m_size[2]);

  drawn.SetSwitches(false, true);
  Frame();
  EXPECT_NE(ColourAt(x, left.m_position[1], top), leftOn) << "the left wall is gone";
  EXPECT_EQ(ColourAt(x, right.m_position[1], right.m_position[2] + right.m_size[2]), rightOn);
  drawn.SetSwitches(true, true);
  Frame();
  EXPECT_EQ(ColourAt(x, left.m_position[1], top), leftOn);
}

}  // namespace
