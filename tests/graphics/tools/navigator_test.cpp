// The navigator through the view's routing, the edge zones of a tool, and the automatic panning on the
// virtual clock.
#include "graphics/tools/custom_polygon_tool.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "platform/base/clock.h"
#include "tests/graphics/tools/tools_fixture.h"

#include <functional>
#include <numbers>
#include <string>

namespace {

constexpr UINT kShift = 0x4;

double ZoomWindowEyeZ(double larger) { return -std::fabs(larger / 2 / std::tan(std::numbers::pi / 8)); }

class NavigatorTool : public ToolsTest {};

TEST_F(NavigatorTool, GesturesOfEveryModeActAsTheTableSays)
{
  OpenSite();
  struct Case {
    std::string name;
    DWORD view;
    int mode;
    UINT flags;
    POINT from;
    POINT to;
    std::function<void(const _DEVCPOSITION& before, const _DEVCPOSITION& after, CNavigatorTool& tool)> check;
  };
  const Case cases[] = {
      {"rotating in plan does nothing and keeps the start point", CViewCamera::kPlan, NavigatorMode::kRotate, 0,
       {100, 100}, {150, 130},
       [](const _DEVCPOSITION& b, const _DEVCPOSITION& a, CNavigatorTool& tool) {
         EXPECT_EQ(a.angle1, b.angle1);
         EXPECT_EQ(a.angle2, b.angle2);
         EXPECT_EQ(a.x, b.x);
         EXPECT_EQ(tool.m_lastX, 100);
       }},
      {"rotating in 3D turns by half a degree a pixel", CViewCamera::kPerspective, NavigatorMode::kRotate, 0,
       {100, 100}, {150, 130},
       [](const _DEVCPOSITION& b, const _DEVCPOSITION& a, CNavigatorTool&) {
         EXPECT_DOUBLE_EQ(a.angle1, b.angle1 + 15);
         EXPECT_DOUBLE_EQ(a.angle2, b.angle2 + 25);
       }},
      {"panning in plan moves the eye with the drag", CViewCamera::kPlan, NavigatorMode::kPan, 0, {100, 100},
       {150, 130},
       [](const _DEVCPOSITION& b, const _DEVCPOSITION& a, CNavigatorTool&) {
         const double unit = std::fabs(0.001 * b.z);
         EXPECT_NEAR(a.x, b.x + 50 * unit, 1e-9);
         EXPECT_NEAR(a.y, b.y - 30 * unit, 1e-9);
       }},
      {"dragging up in zoom-in mode zooms in one step per move", CViewCamera::kPlan, NavigatorMode::kZoomIn, 0,
       {100, 200}, {100, 20},
       [](const _DEVCPOSITION& b, const _DEVCPOSITION& a, CNavigatorTool& tool) {
         EXPECT_NEAR(a.z, b.z * 0.9, 1e-9);
         EXPECT_EQ(tool.GetMode(), NavigatorMode::kZoomIn);
       }},
      {"a zoom window in plan centres the view on it and returns to zoom-in", CViewCamera::kPlan,
       NavigatorMode::kZoomIn, kShift, {100, 80}, {300, 200},
       [](const _DEVCPOSITION&, const _DEVCPOSITION& a, CNavigatorTool& tool) {
         const double dx = tool.m_x1 - tool.m_x0;
         const double dy = tool.m_y0 - tool.m_y1;
         EXPECT_GT(dx, 0);
         EXPECT_GT(dy, 0);
         EXPECT_NEAR(a.x, -(tool.m_x0 + dx / 2), 1e-9);
         EXPECT_NEAR(a.y, -(tool.m_y0 - dy / 2), 1e-9);
         EXPECT_NEAR(a.z, ZoomWindowEyeZ(std::max(dx, dy)), 1e-9);
         EXPECT_EQ(tool.GetMode(), NavigatorMode::kZoomIn);
       }},
      {"a zoom window dragged up and left keeps the eye in front of the plan", CViewCamera::kPlan,
       NavigatorMode::kZoomOut, kShift, {300, 200}, {100, 80},
       [](const _DEVCPOSITION&, const _DEVCPOSITION& a, CNavigatorTool& tool) {
         const double dx = tool.m_x1 - tool.m_x0;
         const double dy = tool.m_y0 - tool.m_y1;
         EXPECT_LT(dx, 0);
         EXPECT_LT(dy, 0);
         EXPECT_NEAR(a.x, -(tool.m_x0 + dx / 2), 1e-9);
         EXPECT_NEAR(a.z, ZoomWindowEyeZ(std::max(dx, dy)), 1e-9);
         EXPECT_LT(a.z, 0);
         EXPECT_EQ(tool.GetMode(), NavigatorMode::kZoomOut);
       }},
      {"the same gesture in 3D zooms by steps", CViewCamera::kPerspective, NavigatorMode::kZoomIn, kShift,
       {100, 200}, {100, 20},
       [](const _DEVCPOSITION& b, const _DEVCPOSITION& a, CNavigatorTool& tool) {
         EXPECT_NEAR(a.z, b.z * 0.9, 1e-9);
         EXPECT_EQ(a.x, b.x);
         EXPECT_EQ(tool.GetMode(), NavigatorMode::kZoomIn);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Camera().SetViewType(c.view);
    Camera().ResetCurrentView();
    Navigator().SetMode(c.mode);
    const _DEVCPOSITION before = Eye();
    Drag(c.flags, c.from, c.to);
    c.check(before, Eye(), Navigator());
  }
}

TEST_F(NavigatorTool, EveryZoomCommandZoomsOneStepAndStaysInItsMode)
{
  OpenSite();
  const double start = Eye().z;
  Navigator().SetMode(NavigatorMode::kZoomIn);
  Navigator().SetMode(NavigatorMode::kZoomIn);
  EXPECT_NEAR(Eye().z, start * 0.81, 1e-9);
  EXPECT_EQ(Navigator().GetMode(), NavigatorMode::kZoomIn);
  Navigator().SetMode(NavigatorMode::kZoomOut);
  EXPECT_NEAR(Eye().z, start * 0.81 * 1.1, 1e-9);
}

TEST_F(NavigatorTool, TheWheelDirectionComesFromTheProfile)
{
  struct Case {
    const char* name;
    bool stored;
    int value;
    double factor;  // of the eye distance after one notch away from the user
  };
  const Case cases[] = {
      {"absent: -1, the notch zooms in", false, 0, 0.9},
      {"0 counts as +1", true, 0, 1.1},
      {"a positive value counts as +1", true, 5, 1.1},
      {"a negative value is kept", true, -3, 0.9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shell.ints.clear();
    if (c.stored)
      shell.ints["Settings\\MouseWheelDirection"] = c.value;
    document.reset();
    view.reset();
    OpenSite();
    Navigator().SetMode(NavigatorMode::kPan);
    const double before = Eye().z;
    Holder().RouteInput(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(200, 150));
    EXPECT_NEAR(Eye().z, before * c.factor, 1e-9);
  }
}

TEST_F(NavigatorTool, EdgeZonesLeaveOutTheirRightAndBottomEdges)
{
  OpenSite(400, 300);
  const struct {
    POINT point;
    UINT zone;
  } cases[] = {
      {{0, 0}, EdgeZone::kTopLeft},      {{9, 9}, EdgeZone::kTopLeft},       {{10, 9}, EdgeZone::kTop},
      {{389, 5}, EdgeZone::kTop},        {{390, 5}, EdgeZone::kTopRight},    {{399, 150}, EdgeZone::kRight},
      {{390, 150}, EdgeZone::kRight},    {{389, 150}, 0},                    {{400, 150}, 0},
      {{395, 295}, EdgeZone::kBottomRight}, {{200, 299}, EdgeZone::kBottom}, {{200, 300}, 0},
      {{5, 295}, EdgeZone::kBottomLeft}, {{5, 150}, EdgeZone::kLeft},        {{200, 150}, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Navigator().HitZone(c.point.x, c.point.y), c.zone) << c.point.x << "," << c.point.y;
  const auto& zones = Navigator().GetEdgeZones();
  for (const auto& [key, rect] : zones) {
    for (const auto& [other, otherRect] : zones) {
      if (key < other) {
        EXPECT_TRUE(rect.Intersect(otherRect).IsEmpty()) << key << " and " << other;
      }
    }
  }
}

TEST_F(NavigatorTool, ATinyViewPansOnlyAtItsCorners)
{
  OpenSite(15, 15);
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 15; ++x) {
      const UINT zone = Navigator().HitZone(x, y);
      EXPECT_TRUE(zone == 0 || zone == EdgeZone::kTopLeft || zone == EdgeZone::kTopRight ||
                  zone == EdgeZone::kBottomRight || zone == EdgeZone::kBottomLeft)
          << x << "," << y << ": " << zone;
    }
  }
}

TEST_F(NavigatorTool, EdgeZonesFollowTheViewsSize)
{
  OpenSite(400, 300);
  Holder().SetCurrentTool(ToolMode::kSelector);
  EXPECT_EQ(Navigator().HitZone(195, 50), 0u);
  view->SetWindowPos(nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Navigator().HitZone(195, 50), EdgeZone::kRight);
  EXPECT_EQ(Holder().GetCurrentTool()->HitZone(195, 50), EdgeZone::kRight);
  EXPECT_EQ(Navigator().HitZone(395, 150), 0u);
}

// What the clock listener posts to the view once the virtual clock reaches its time: the user's hand.
struct ScheduledInput {
  HWND view = nullptr;
  std::uint64_t at = 0;
  UINT message = 0;
  LPARAM lParam = 0;
  bool armed = false;
};
ScheduledInput g_scheduled;

void PostScheduledInput()
{
  if (g_scheduled.armed && platform::CurrentClock().NowMs() >= g_scheduled.at) {
    g_scheduled.armed = false;
    PostMessage(g_scheduled.view, g_scheduled.message, 0, g_scheduled.lParam);
  }
}

class AutoPan : public ToolsTest {
protected:
  void SetUp() override
  {
    ToolsTest::SetUp();
    static const bool listening = (platform::AddClockListener(&PostScheduledInput), true);
    (void)listening;
  }
  void TearDown() override
  {
    g_scheduled = {};
    ToolsTest::TearDown();
  }
  void Schedule(std::uint64_t at, UINT message, int x, int y)
  {
    g_scheduled = {ViewWindow(), at, message, MAKELPARAM(x, y), true};
  }
  platform::VirtualClock clock;
};

TEST_F(AutoPan, PansWhileTheCursorRestsInAZoneAndStopsWhenItLeaves)
{
  OpenSite(400, 300);
  platform::ScopedClock scoped(clock);
  DrainMouseMessages();
  const double startX = Eye().x;
  const double z = Eye().z;
  Schedule(5 * kAutoPanStepMs, WM_MOUSEMOVE, 200, 150);
  EXPECT_EQ(Navigator().AutoPan(395, 150), 1);
  EXPECT_EQ(clock.NowMs(), 5u * kAutoPanStepMs);
  // Five passes towards the right edge, each by s = |z| / 5 steps of |0.001 z|.
  const double step = std::fabs(0.001 * z) * (z / -5);
  EXPECT_NEAR(Eye().x, startX - 5 * step, 1e-9);
  EXPECT_EQ(DrainMouseMessages(), 0);
}

TEST_F(AutoPan, StopsWhenTheButtonIsReleasedInsideAZone)
{
  OpenSite(400, 300);
  platform::ScopedClock scoped(clock);
  DrainMouseMessages();
  Schedule(3 * kAutoPanStepMs, WM_LBUTTONUP, 395, 150);
  EXPECT_EQ(Navigator().AutoPan(395, 150), 1);
  EXPECT_EQ(clock.NowMs(), 3u * kAutoPanStepMs);
  // The release stays for the tool, which ends its drag with it.
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, ViewWindow(), WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_LBUTTONUP);
}

TEST_F(AutoPan, PolygonInputPansAtTheEdgeUntilTheCursorLeaves)
{
  OpenSite(400, 300);
  ModelRef<ICustomizeRoad> site(ActiveArea(), IID_ICustomizeRoad);
  IPrimitive* primitive = site->CreatePrimitive(4, 0, TRUE);
  VertexList* outline = nullptr;
  primitive->GetOutline(&outline);
  outline->RemoveAll();
  ModelRef<IClassObjModel> polygon(primitive, IID_IClassObjModel);
  primitive->Release();
  Holder().BeginPolygonInput(polygon.get());
  Click(POINT{200, 150});
  ASSERT_EQ(outline->GetSize(), 1);
  platform::ScopedClock scoped(clock);
  DrainMouseMessages();
  const double startY = Eye().y;
  Schedule(4 * kAutoPanStepMs, WM_MOUSEMOVE, 200, 150);
  Send(WM_MOUSEMOVE, 0, 200, 3);
  EXPECT_EQ(clock.NowMs(), 4u * kAutoPanStepMs);
  EXPECT_NE(Eye().y, startY);
  Holder().EndPolygonInput();
}

TEST_F(AutoPan, APointOutsideEveryZoneNeitherPansNorWaits)
{
  OpenSite(400, 300);
  platform::ScopedClock scoped(clock);
  const double startX = Eye().x;
  EXPECT_EQ(Navigator().AutoPan(200, 150), 0);
  EXPECT_EQ(clock.NowMs(), 0u);
  EXPECT_EQ(Eye().x, startX);
}

}  // namespace
