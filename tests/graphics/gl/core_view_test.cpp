// The render core in its view: the start of the view and its trace, a context that could not be made, frames
// and rebuild passes, view types, the managers of the areas, the legend's place and the export's calculation.
#include "document/calculation_run.h"
#include "graphics/core/gl_context.h"
#include "model/identifiers.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "platform/base/module.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/core_fixture.h"

#include <cstdint>
#include <vector>

namespace {

// Keeps every line the start writes.
class RecordingLog : public LoggerObjs::Log {
public:
  void Write(const CString& text) override
  {
    lines.emplace_back(static_cast<LPCSTR>(text));
    Log::Write(text);
  }
  std::vector<std::string> lines;
};

class RecordingLogFactory : public LoggerObjs::LoggerFactory {
public:
  LoggerObjs::Log* Create() override { return new RecordingLog; }
};

std::vector<std::uint32_t> PixelsOf(const gdi::Surface& s)
{
  std::vector<std::uint32_t> out;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      out.push_back(s.Pixel(x, y) & 0xFFFFFF);
  return out;
}

class CoreView : public CoreTest {
protected:
  std::uint32_t Background()
  {
    auto byte = [](float c) { return static_cast<std::uint32_t>(c * 255 + 0.5f); };
    const float* b = Core().m_background;
    return byte(b[0]) << 16 | byte(b[1]) << 8 | byte(b[2]);
  }
  void NewOpenSite()
  {
    document->OnNewJunction();
    ASSERT_FALSE(Core().IsStraightRoad());
  }
};

TEST_F(CoreView, AViewStartWritesItsTraceSteps)
{
  MakeDocument();
  RecordingLogFactory factory;
  LoggerObjs::InstallLogger(&factory);
  MakeView(320, 200);
  const auto& log = dynamic_cast<RecordingLog&>(LoggerObjs::GetLogger());
  const std::vector<int> expected = {110,  1101, 1102, 11021, 11022, 11023, 11024, 1103, 1104,
                                     1105, 1106, 111,  112,   113,   114,   115,   116,  117};
  EXPECT_EQ(log.GetSteps(), expected);
  EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), "set ColorBits = 24; DepthBits = 24; nStencilBits = 8"),
            log.lines.end());
  const auto got = std::find_if(log.lines.begin(), log.lines.end(),
                                [](const std::string& line) { return line.rfind("get ColorBits = ", 0) == 0; });
  ASSERT_NE(got, log.lines.end());
  EXPECT_NE(got->find("nStencilBits = 8"), std::string::npos) << *got;
  EXPECT_EQ(view->initResult, 1);
  EXPECT_TRUE(Core().GetGLContext()->HasContext());
  EXPECT_EQ(CurrentViewCamera(), Core().GetCamera());
}

// A bit count in the profile that no format can carry is refused, not cut to a byte: one message, no context,
// and later frames draw nothing.
TEST_F(CoreView, ARefusedPixelFormatShowsItsMessageAndLaterFramesDrawNothing)
{
  shell.ints["Settings\\StencilBits"] = 300;
  MakeDocument();
  MakeView(160, 120);
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, "SetPixelFormat Failed 2000\r\n");
  EXPECT_EQ(answers.Asked()[0].caption, "Error");
  EXPECT_FALSE(Core().GetGLContext()->HasContext());
  EXPECT_EQ(view->initResult, 0);  // no legend font without a context

  const std::vector<std::uint32_t> before = PixelsOf(*view->Pixels());
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  Core().Render(TRUE, TRUE);
  Core().Render(FALSE, FALSE);
  Core().ClearFrame();
  Core().SwapBuffers();
  view->UpdateWindow();
  EXPECT_EQ(PixelsOf(*view->Pixels()), before);
  EXPECT_EQ(answers.Asked().size(), 1u);
}

// A DC that takes no window format (a memory DC) refuses the view's double-buffered format.
TEST_F(CoreView, AContextOnADcWithoutItsFormatIsNeverMade)
{
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  CGLContext context;
  EXPECT_FALSE(context.Create(memory));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, "SetPixelFormat Failed 2000\r\n");
  EXPECT_FALSE(context.HasContext());
  EXPECT_FALSE(context.MakeCurrent());
  EXPECT_FALSE(context.SwapBuffers());
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

TEST_F(CoreView, FramesDrawOnlyWhileRenderingIsOn)
{
  MakeDocument();
  MakeView(200, 150);
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  Core().Render(FALSE, FALSE);
  const std::vector<std::uint32_t> before = PixelsOf(*view->Pixels());
  Core().m_bDrawing = FALSE;
  Core().GetCamera()->SetViewType(CViewCamera::kPerspective);  // a frame now would show the road in 3D
  Core().Render(FALSE, FALSE);
  EXPECT_EQ(PixelsOf(*view->Pixels()), before);
  Core().m_bDrawing = TRUE;
  Core().Render(FALSE, FALSE);
  EXPECT_NE(PixelsOf(*view->Pixels()), before);
}

// The wait cursor and "please wait" come only with a rebuild while the photometric solids are shown.
TEST_F(CoreView, WaitIndicatorOnlyForRebuildsWithSolidsShown)
{
  MakeDocument();
  MakeView(120, 90);
  const struct {
    int solids;
    BOOL recalc, rebuild;
    bool waits;
  } cases[] = {{0, TRUE, TRUE, false}, {0, FALSE, FALSE, false}, {1, FALSE, FALSE, false},
               {1, FALSE, TRUE, true},  {1, TRUE, FALSE, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.solids) + std::to_string(c.recalc) + std::to_string(c.rebuild));
    *Core().GetVisualOptions()->GetShowPhotometricSolid() = c.solids;
    shell.sent.clear();
    Core().Render(c.recalc, c.rebuild);
    std::vector<std::pair<UINT, WPARAM>> expected;
    if (c.waits)
      expected = {{0x8215, 2}, {0x8215, 0}};
    EXPECT_EQ(shell.sent, expected);
  }
}

TEST_F(CoreView, WallViewsOfAnOpenSiteBecomeSideViews)
{
  MakeDocument();
  MakeView(160, 120);
  CViewCamera& camera = *Core().GetCamera();
  for (DWORD wall : {CViewCamera::kLeftWall, CViewCamera::kRightWall}) {
    camera.SetViewType(wall);
    EXPECT_EQ(camera.m_viewType, wall) << "a straight road keeps its wall views";
  }
  NewOpenSite();
  const struct {
    DWORD asked, shown;
  } views[] = {{CViewCamera::kLeftWall, CViewCamera::kLeft},
               {CViewCamera::kRightWall, CViewCamera::kRight},
               {CViewCamera::kPlan, CViewCamera::kPlan},
               {CViewCamera::kPerspective, CViewCamera::kPerspective}};
  for (const auto& v : views) {
    camera.SetViewType(v.asked);
    EXPECT_EQ(camera.m_viewType, v.shown) << v.asked;
    EXPECT_EQ(camera.IsPerspective(), v.shown == CViewCamera::kPerspective);
  }
}

TEST_F(CoreView, AnAreaWithoutAManagerGetsTheNextOneAndKeepsIt)
{
  MakeDocument();
  IArea* area = ActiveArea();
  const int none = 0;
  area->SetCalcAreaId(&none);
  const int next = Core().GetManagers().GetNextId() + 1;
  const std::size_t managers = Core().GetManagers().GetManagers().size();
  CCalcAreaManager* first = Core().GetCalcAreaManager();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(*area->GetCalcAreaId(), next);
  EXPECT_EQ(first->GetId(), next);
  EXPECT_EQ(Core().GetCalcAreaManager(), first);
  EXPECT_EQ(Core().GetManagers().GetManagers().size(), managers + 1);
}

// However narrow the window, the legend starts at x = 130: the axes keep the corner. (The legend's frame line on
// its viewport's edge may fall on the pixel before.)
TEST_F(CoreView, TheLegendNeverStartsLeftOf130Pixels)
{
  MakeDocument();
  MakeView(180, 160);
  ASSERT_EQ(view->initResult, 1);
  CArray<_PREF_OF_COLOR_LEVELS> levels;
  for (int k = 0; k < 6; ++k)
    levels.Add(_PREF_OF_COLOR_LEVELS{k * 2.0, static_cast<COLORREF>(0x0000FF + k * 0x002A00), 0});
  Core().GetLegend().SetLevels(levels, 1);
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  // The legend is what a frame with it has and the same frame without it lacks (the road lies under both).
  Core().GetLegend().SetKind(8);
  Core().Render(FALSE, FALSE);
  const std::vector<std::uint32_t> without = PixelsOf(*view->Pixels());
  Core().GetLegend().SetKind(4);
  Core().Render(FALSE, FALSE);
  const gdi::Surface& s = *view->Pixels();
  int drawnLeft = 0, drawnRight = 0;
  for (int y = s.Height() - 140; y < s.Height(); ++y) {
    for (int x = 100; x < s.Width(); ++x) {
      const bool drawn = (s.Pixel(x, y) & 0xFFFFFF) != without[static_cast<size_t>(y) * s.Width() + x];
      (x < 128 ? drawnLeft : drawnRight) += drawn ? 1 : 0;
    }
  }
  EXPECT_EQ(drawnLeft, 0);
  EXPECT_GT(drawnRight, 50);
  view->SavePicture("view-legend-narrow.png");
}

// What the graphics library was asked, in order.
std::vector<std::string> g_libraryCalls;
void LibraryDraw() { g_libraryCalls.push_back("Draw"); }
void LibrarySetCurrentProject(int id) { g_libraryCalls.push_back("SetCurrentProject " + std::to_string(id)); }

// The background drawing is drawn under areas that are not straight roads, only while shown and set; the current
// project is handed over by the rebuild pass of one-level open sites alone.
TEST_F(CoreView, TheLibraryDrawsOnlyUnderOtherAreasThanRoadsAndTakesOnlyAnOpenSitesProject)
{
  platform::RegisterModule("GrafoCore", {{"Draw", reinterpret_cast<void*>(&LibraryDraw)},
                                         {"SetCurrentProject", reinterpret_cast<void*>(&LibrarySetCurrentProject)}});
  const struct {
    const char* name;
    void (CQorRoadDoc::*make)();
    int underlay;
    BOOL shown;
    std::vector<std::string> rebuild, frame;
  } cases[] = {
      {"straight road", &CQorRoadDoc::OnNewStraightRoad, 0x1001, TRUE, {}, {}},
      {"open site", &CQorRoadDoc::OnNewOpenTerritory, 0x1001, TRUE, {"SetCurrentProject 4097", "Draw"}, {"Draw"}},
      {"open site, drawing hidden", &CQorRoadDoc::OnNewOpenTerritory, 0x1001, FALSE, {"SetCurrentProject 4097"}, {}},
      {"open site without a drawing", &CQorRoadDoc::OnNewOpenTerritory, 0, TRUE, {"SetCurrentProject 0"}, {}},
      {"interchange", &CQorRoadDoc::OnNewMultiLevel, 0x1001, TRUE, {"Draw"}, {"Draw"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MakeDocument();
    MakeView(120, 90);
    ASSERT_TRUE(Core().IsLibraryLoaded());
    ((*document).*c.make)();
    ActiveArea()->SetUnderlayId(&c.underlay);
    Core().m_underlayFlag = c.shown;
    g_libraryCalls.clear();
    Core().Render(FALSE, TRUE);
    EXPECT_EQ(g_libraryCalls, c.rebuild);
    g_libraryCalls.clear();
    Core().Render(FALSE, FALSE);
    EXPECT_EQ(g_libraryCalls, c.frame);
    document.reset();
    view.reset();
  }
  platform::UnregisterModule("GrafoCore");
}

// A scene object that counts its frames and says what state it died with.
struct CountedObject : CObject3D {
  ~CountedObject() override { *diedWith = static_cast<int>(GetState()); }
  void Draw() override { ++*frames; }
  int* frames;
  int* diedWith;
};

// Every frame draws the scene; only a rebuild pass takes it down to make it again, and an
// open site's 3D view hides the labels first.
TEST_F(CoreView, FramesDrawTheSceneAndARebuildMakesItAgain)
{
  MakeDocument();
  MakeView(120, 90);
  NewOpenSite();
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  int frames = 0, diedWith = -1;
  auto* object = new CountedObject;
  object->frames = &frames;
  object->diedWith = &diedWith;
  object->SetState(CObject3D::kRequestShowLabel);
  Core().GetScene()->GetOwned()->Add(object);

  Core().Render(FALSE, FALSE);
  Core().Render(FALSE, FALSE);
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(diedWith, -1);

  Core().GetCamera()->SetViewType(CViewCamera::kPerspective);  // a rebuild pass follows the new view
  ASSERT_NE(diedWith, -1);
  EXPECT_EQ(diedWith & CObject3D::kLabelShown, 0);
  // What is there now is the builder's, made from the project.
  for (CObject3D* made : Core().GetScene()->GetOwned()->GetObjects())
    EXPECT_NE(made, object);
  EXPECT_EQ(frames, 2);
}

// The view's centre is the ground point under the middle of the window in plan, the origin in every other view.
TEST_F(CoreView, TheViewCentreIsTheGroundPointUnderTheWindowsMiddleInPlan)
{
  MakeDocument();
  MakeView(200, 100);
  CViewCamera& camera = *Core().GetCamera();
  for (DWORD type : {CViewCamera::kPlan, CViewCamera::kPerspective, CViewCamera::kFront}) {
    SCOPED_TRACE(type);
    camera.SetViewType(type);
    *camera.GetEye() = _DEVCPOSITION{3, -4, -20, type == CViewCamera::kPlan ? 90.0 : 7.0, 0, 0};
    camera.LoadProjection();  // as a zoom does: the box follows the eye's distance
    Core().Render(FALSE, FALSE);
    double centre[3] = {9, 9, 9};
    Core().GetViewCentre(centre);
    const bool plan = type == CViewCamera::kPlan;
    // 0.2 m a pixel: the middle pixel's corner lies within one of the centre.
    EXPECT_NEAR(centre[0], plan ? -3 : 0, 0.21);
    EXPECT_NEAR(centre[1], plan ? 4 : 0, 0.21);
    EXPECT_EQ(centre[2], 0);
  }
}

int NoResultEngine(HWND, char*, int, char*, int) { return 0; }

// Values asked for an area without results: the calculation runs first; when it fails the export stops with
// the run's message and builds nothing.
TEST_F(CoreView, AnExportOfAFailedCalculationStopsWithItsMessage)
{
  MakeDocument();
  IArea* area = ActiveArea();
  SetCalculationEngine(CLSID_CStraightRoad, &NoResultEngine);
  EXPECT_EQ(Core().BuildExportData(area, nullptr, 0), 1) << "no values asked: no calculation";
  EXPECT_TRUE(shell.messages.empty());
  for (int flags : {0x10, 0x20}) {
    shell.messages.clear();
    EXPECT_EQ(Core().BuildExportData(area, nullptr, flags), 0);
    EXPECT_EQ(shell.messages.size(), 1u);
  }
  SetCalculationEngine(CLSID_CStraightRoad, nullptr);
  EXPECT_EQ(Core().BuildExportData(nullptr, nullptr, 0x10), 0);
}

}  // namespace
