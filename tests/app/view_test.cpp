// The OpenGL view in the running program: its input reaching the current tool or the navigator as the
// calculation state allows, the arrow-key moves of selected primitives, the loss of focus during polygon input,
// the view-type and display commands with their menu states, and the object commands it passes on.
#include "tests/app/app_session.h"

#include "app/qor_road_view.h"
#include "app/resource.h"
#include "document/qor_road_doc.h"
#include "geometry/calc_area.h"
#include "geometry/calc_area_manager.h"
#include "geometry/mesh/calc_surface.h"
#include "geometry/object3d.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/view_services.h"
#include "graphics/drawers/customize_road_drawer.h"
#include "graphics/drawers/road_drawers.h"
#include "graphics/drawers/straight_road_drawer.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/tools/custom_polygon_tool.h"
#include "graphics/tools/navigator_tool.h"
#include "graphics/tools/object_selector.h"
#include "graphics/tools/tool_holder.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iprimitive.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace apptest {
namespace {

// A tool that writes down what reaches it.
class RecordingTool : public CToolBase {
public:
  RecordingTool(CGraphicCoreFull* core, std::vector<std::string>* log) : CToolBase(core), log_(log) {}
  void OnMouseMove(UINT, int, int) override { log_->push_back("move"); }
  void OnLButtonDown(UINT, int, int) override { log_->push_back("down"); }
  void OnLButtonUp(UINT, int, int) override { log_->push_back("up"); }
  void OnLButtonDblClk(UINT, int, int) override { log_->push_back("double"); }
  void OnRButtonDown(UINT, int, int) override { log_->push_back("right down"); }
  void OnRButtonUp(UINT, int, int) override { log_->push_back("right up"); }
  void OnMouseWheel(UINT, int delta, int, int) override { log_->push_back("wheel " + std::to_string(delta)); }
  void OnKeyDown(UINT key, UINT, UINT) override { log_->push_back("key " + std::to_string(key)); }

private:
  std::vector<std::string>* log_;
};

// What the view answers for a command's menu state.
struct StateProbe : CCmdUI {
  BOOL enabled = TRUE;
  int checked = 0;
  void Enable(BOOL on) override { enabled = on; }
  void SetCheck(int check) override { checked = check; }
};

std::string Joined(const std::vector<std::string>& log)
{
  std::string text;
  for (const std::string& entry : log)
    text += (text.empty() ? "" : ", ") + entry;
  return text;
}

class ViewTest : public AppSession {
protected:
  CQorRoadView* View() { return dynamic_cast<CQorRoadView*>(Frame()->GetActiveView()); }
  CQorRoadDoc* Document() { return dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument()); }
  CGraphicCoreFull& Core() { return *dynamic_cast<CGraphicCoreFull*>(Document()->GetGraphicCore()); }
  CToolHolder& Holder() { return *Core().GetToolHolder(); }
  CNavigatorTool& Navigator() { return *Core().GetNavigator(); }
  DWORD ViewType() { return Core().GetCamera()->m_viewType; }

  // The recording tool becomes the current tool, as the selector would be.
  void InstallRecorder()
  {
    log_.clear();
    Holder().InstallTool(ToolMode::kSelector, std::make_unique<RecordingTool>(&Core(), &log_));
  }
  void SetCalcState(int state) { Frame()->SendMessage(UM_SETCALCSTATE, static_cast<WPARAM>(state)); }
  void Command(UINT id) { Frame()->SendMessage(WM_COMMAND, id); }
  StateProbe State(UINT id)
  {
    StateProbe probe;
    probe.m_nID = id;
    View()->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &probe, nullptr);
    return probe;
  }
  ModelRef<IArea> ActiveArea()
  {
    void* area = nullptr;
    if (FAILED(Document()->QueryInterface(IID_ActiveArea, &area)))
      return {};
    return ModelRef<IArea>::Adopt(static_cast<IArea*>(area));
  }
  _CALC_RESULTS* Results()
  {
    ModelRef<IArea> area = ActiveArea();
    ModelRef<IResultsOfCalc> results(area.get(), IID_IResultsOfCalc);
    return results ? results->GetData() : nullptr;
  }
  // Both walls of the straight road take part, as the render core reads them.
  void SwitchWallsOn()
  {
    ModelRef<IArea> area = ActiveArea();
    ModelRef<IWall> walls(area.get(), IID_IWall);
    ASSERT_TRUE(walls);
    const int flags = kWallLeftOn | kWallRightOn;
    walls->SetFlags(&flags);
    Core().Render(FALSE, TRUE);
  }
  // A new open site shown in plan; its carriageway is a primitive.
  void OpenSite()
  {
    Document()->OnNewOpenTerritory();
    Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  }

  std::vector<std::string> log_;
};

TEST_F(ViewTest, InputReachesTheToolOrTheNavigatorAsTheCalculationStateAllows)
{
  ASSERT_TRUE(Start());
  Pump();
  constexpr int kIdle = 0;
  constexpr int kBusy = 1;
  constexpr int kStopping = 2;
  struct Case {
    const char* name;
    DWORD viewType;
    int navigator;
    bool tool;
    int state;
    UINT message;
    WPARAM wParam;
    const char* reached;  // by the tool
    bool navigatorDrags;
  };
  const Case cases[] = {
      {"a move reaches the tool", CViewCamera::kPlan, 0, true, kIdle, WM_MOUSEMOVE, 0, "move", false},
      {"busy: the tool's move is dropped", CViewCamera::kPlan, 0, true, kBusy, WM_MOUSEMOVE, 0, "", false},
      {"busy: a click in plan does nothing", CViewCamera::kPlan, 0, true, kBusy, WM_LBUTTONDOWN, 1, "", false},
      {"busy: a click in 3D still reaches the tool", CViewCamera::kPerspective, 0, true, kBusy, WM_LBUTTONDOWN, 1,
       "down", false},
      {"busy: a click while panning reaches the tool", CViewCamera::kPlan, NavigatorMode::kPan, true, kBusy,
       WM_LBUTTONDOWN, 1, "down", false},
      {"busy: a click in 3D still rotates", CViewCamera::kPerspective, NavigatorMode::kRotate, false, kBusy,
       WM_LBUTTONDOWN, 1, "", true},
      {"busy: a click in plan still pans", CViewCamera::kPlan, NavigatorMode::kPan, false, kBusy, WM_LBUTTONDOWN, 1,
       "", true},
      {"busy: a zoom window does not start", CViewCamera::kPlan, NavigatorMode::kZoomWindow, false, kBusy,
       WM_LBUTTONDOWN, 1, "", false},
      {"idle: a zoom window starts", CViewCamera::kPlan, NavigatorMode::kZoomWindow, false, kIdle, WM_LBUTTONDOWN, 1,
       "", true},
      {"busy: a release reaches the tool", CViewCamera::kPlan, 0, true, kBusy, WM_LBUTTONUP, 0, "up", false},
      {"idle: a double click reaches the tool", CViewCamera::kPlan, 0, true, kIdle, WM_LBUTTONDBLCLK, 1, "double",
       false},
      {"busy: a double click is dropped", CViewCamera::kPlan, 0, true, kBusy, WM_LBUTTONDBLCLK, 1, "", false},
      {"idle: a right press reaches the tool", CViewCamera::kPlan, 0, true, kIdle, WM_RBUTTONDOWN, 2, "right down",
       false},
      {"busy: a right press is dropped", CViewCamera::kPlan, 0, true, kBusy, WM_RBUTTONDOWN, 2, "", false},
      {"busy: a right release reaches the tool", CViewCamera::kPlan, 0, true, kBusy, WM_RBUTTONUP, 0, "right up",
       false},
      {"busy: a key reaches the tool", CViewCamera::kPlan, 0, true, kBusy, WM_KEYDOWN, 'A', "key 65", false},
      {"busy: Esc cancels and goes no further", CViewCamera::kPlan, 0, true, kBusy, WM_KEYDOWN, VK_ESCAPE, "",
       false},
      {"idle: Esc reaches the tool", CViewCamera::kPlan, 0, true, kIdle, WM_KEYDOWN, VK_ESCAPE, "key 27", false},
      {"stopping: Esc reaches the tool", CViewCamera::kPlan, 0, true, kStopping, WM_KEYDOWN, VK_ESCAPE, "key 27",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Holder().SetCurrentTool(ToolMode::kNone);
    Core().GetCamera()->SetViewType(c.viewType);
    Navigator().SetMode(c.navigator);
    log_.clear();
    if (c.tool)
      InstallRecorder();
    SetCalcState(c.state);
    View()->SendMessage(c.message, c.wParam, MAKELPARAM(200, 150));
    SetCalcState(kIdle);
    EXPECT_EQ(Joined(log_), c.reached);
    EXPECT_EQ(Navigator().IsDragging() != FALSE, c.navigatorDrags);
    if (Navigator().IsDragging())
      View()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
  }
  Holder().SetCurrentTool(ToolMode::kNone);

  // A drag in 3D during a calculation turns the view: the navigator's moves are not held back.
  Core().GetCamera()->SetViewType(CViewCamera::kPerspective);
  ASSERT_EQ(Navigator().GetMode(), NavigatorMode::kRotate);
  const _DEVCPOSITION before = *Core().GetCamera()->GetEye();
  SetCalcState(kBusy);
  View()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
  View()->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(240, 170));
  View()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(240, 170));
  SetCalcState(kIdle);
  const _DEVCPOSITION& after = *Core().GetCamera()->GetEye();
  EXPECT_TRUE(after.angle1 != before.angle1 || after.angle2 != before.angle2 || after.angle3 != before.angle3);
}

TEST_F(ViewTest, TheWheelTakesTheDirectionFactorOfTheProfile)
{
  struct Case {
    const char* name;
    const char* stored;  // null: absent
    int delta;           // of one notch of 120
  };
  const Case cases[] = {
      {"absent: inverted", nullptr, -120},
      {"0: as it comes", "0", 120},
      {"positive: as it comes", "5", 120},
      {"-3: inverted and tripled", "-3", -360},
  };
  bool first = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!first) {
      Close();
      ASSERT_EQ(Frame(), nullptr);
      EndSession();
    }
    first = false;
    if (c.stored)
      SetProfile("Settings", "MouseWheelDirection", std::atoi(c.stored));
    ASSERT_TRUE(Start());
    Pump();
    InstallRecorder();
    View()->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(200, 150));
    EXPECT_EQ(Joined(log_), std::string("wheel ") + std::to_string(c.delta));
    Holder().SetCurrentTool(ToolMode::kNone);
  }
}

TEST_F(ViewTest, ArrowKeysMoveSelectedPrimitivesOnlyWhileTheyAreMovable)
{
  ASSERT_TRUE(Start());
  Pump();
  OpenSite();
  ModelRef<IArea> area = ActiveArea();
  ModelRef<IPrimitive> primitive(area.get(), IID_IPrimitive);
  ASSERT_TRUE(primitive);
  ModelRef<IClassObjModel> object(primitive.get(), IID_IClassObjModel);
  object->SetSelected(1);
  ASSERT_EQ(View()->ReloctblPrimitives(), TRUE) << "on by default";
  Results()->valid = 1;
  const double step = Document()->GetMarkerSize();
  ASSERT_GT(step, 0);
  // The carriageway is a polygon: a move moves its vertices.
  CArray<_CSPOINT3D>* outline = nullptr;
  primitive->GetOutline(&outline);
  ASSERT_TRUE(outline && outline->GetSize() > 0);
  const _CSPOINT3D before = (*outline)[0];
  MSG stale;
  while (::PeekMessage(&stale, Frame()->GetSafeHwnd(), UM_REFRESHPARAMETERS, UM_REFRESHPARAMETERS, PM_REMOVE)) {
  }
  InstallRecorder();

  View()->SendMessage(WM_KEYDOWN, VK_LEFT, 1);
  const _CSPOINT3D after = (*outline)[0];
  EXPECT_NEAR(after.x, before.x - step, 1e-9) << "moved left by one marker";
  EXPECT_NEAR(after.y, before.y, 1e-9);
  EXPECT_TRUE(Document()->CanUndo()) << "an undo snapshot first";
  EXPECT_EQ(Results()->valid, 0) << "the area's results are cleared";
  EXPECT_TRUE(log_.empty()) << "the key goes no further: " << Joined(log_);
  MSG posted;
  EXPECT_TRUE(::PeekMessage(&posted, Frame()->GetSafeHwnd(), UM_REFRESHPARAMETERS, UM_REFRESHPARAMETERS, PM_REMOVE))
      << "the parameters pane is told";

  // In 3D the key is the tool's.
  Core().GetCamera()->m_viewType = CViewCamera::kPerspective;
  View()->SendMessage(WM_KEYDOWN, VK_UP, 1);
  Core().GetCamera()->m_viewType = CViewCamera::kPlan;
  EXPECT_EQ(Joined(log_), "key 38");

  // "Активизация примитивов" off: the keys go to the tool and nothing moves.
  log_.clear();
  Command(ids::ID_VIEW_MOVABLE_PRIMITIVES);
  EXPECT_EQ(View()->ReloctblPrimitives(), FALSE);
  EXPECT_EQ(Shell::GetProfileInt("Settings", "IsReloctblPrimitives", 1), 0);
  View()->SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_NEAR((*outline)[0].x, after.x, 1e-9);
  EXPECT_EQ(Joined(log_), "key 39");

  // On again, but a calculation runs: its results would come back for the old place.
  Command(ids::ID_VIEW_MOVABLE_PRIMITIVES);
  log_.clear();
  SetCalcState(1);
  View()->SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
  SetCalcState(0);
  EXPECT_NEAR((*outline)[0].x, after.x, 1e-9);
  EXPECT_EQ(Joined(log_), "key 39");
  Holder().SetCurrentTool(ToolMode::kNone);
}

TEST_F(ViewTest, LosingTheFocusEndsAPolygonInputAndAShortContourFallsBackToIndividualPlacement)
{
  ASSERT_TRUE(Start());
  Pump();
  OpenSite();
  ModelRef<IArea> area = ActiveArea();
  ModelRef<IGroupsOfDev> groups(area.get(), IID_IGroupsOfDev);
  ASSERT_TRUE(groups);
  ModelRef<IGroupOfDev> group(groups.get(), IID_IGroupOfDev);
  if (!group)
    GTEST_SKIP() << "a new open site has no group of poles";
  ModelRef<IClassObjModel> object(group.get(), IID_IClassObjModel);
  struct Case {
    const char* name;
    int scheme;
    int points;
    int schemeAfter;
  };
  const Case cases[] = {
      {"along a contour of two points", 3, 2, 0},
      {"by points, none given", 4, 0, 0},
      {"along a contour of three points", 3, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    group->SetPlacementScheme(&c.scheme);
    CArray<_CSPOINT3D>* points = nullptr;
    group->GetContourPoints(&points);
    ASSERT_NE(points, nullptr);
    points->RemoveAll();
    for (int i = 0; i < c.points; ++i)
      points->Add(_CSPOINT3D{static_cast<double>(i), static_cast<double>(i * i), 0, 0, 0});
    ASSERT_EQ(View()->SendMessage(UM_BEGINCONTOUR, 0, reinterpret_cast<LPARAM>(object.get())), 1);
    ASSERT_NE(Holder().GetSelector(), nullptr);
    ASSERT_NE(Holder().GetSelector()->GetNestedTool(), nullptr);
    View()->SendMessage(WM_KILLFOCUS);
    ASSERT_NE(Holder().GetSelector(), nullptr) << "the selector stays";
    EXPECT_EQ(Holder().GetSelector()->GetNestedTool(), nullptr);
    EXPECT_EQ(Holder().GetSelector()->GetHandle(), -1);
    EXPECT_EQ(*group->GetPlacementScheme(), c.schemeAfter);
  }
  // Without a polygon input only the grab goes.
  View()->SendMessage(WM_KILLFOCUS);
  EXPECT_EQ(Holder().GetSelector()->GetHandle(), -1);
  Holder().SetCurrentTool(ToolMode::kNone);
}

TEST_F(ViewTest, ViewCommandsSetTheViewTypeAndTheNavigatorAndEndTheToolOnlyFor3D)
{
  ASSERT_TRUE(Start());
  Pump();
  struct Case {
    const char* name;
    UINT command;
    bool openSite;
    DWORD viewType;
    int navigator;
    bool toolStays;
  };
  const Case cases[] = {
      {"2D", ids::ID_VIEW_2D, false, CViewCamera::kPlan, NavigatorMode::kPan, true},
      {"from above", ids::ID_VIEW_TOP, false, CViewCamera::kPlan, NavigatorMode::kPan, true},
      {"3D", ids::ID_VIEW_3D, false, CViewCamera::kPerspective, NavigatorMode::kRotate, false},
      {"front", ids::ID_VIEW_FRONT, false, CViewCamera::kFront, NavigatorMode::kPan, true},
      {"left", ids::ID_VIEW_LEFT, false, CViewCamera::kLeft, NavigatorMode::kPan, true},
      {"right", ids::ID_VIEW_RIGHT, false, CViewCamera::kRight, NavigatorMode::kPan, true},
      {"left wall", ids::ID_VIEW_LEFT_WALL, false, CViewCamera::kLeftWall, NavigatorMode::kPan, true},
      {"right wall", ids::ID_VIEW_RIGHT_WALL, false, CViewCamera::kRightWall, NavigatorMode::kPan, true},
      {"3D of an open site", ids::ID_VIEW_3D, true, CViewCamera::kPerspective, NavigatorMode::kRotate, false},
  };
  // The wall views are offered with valid illuminance.
  const int illuminance = 1;
  Document()->GetCurrentOptions()->SetQuantity(&illuminance);
  SwitchWallsOn();
  ASSERT_NE(Core().GetSceneBuilder()->m_leftWallState, 0);
  ASSERT_NE(Core().GetSceneBuilder()->m_rightWallState, 0);
  bool site = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.openSite && !site) {
      OpenSite();
      site = true;
    }
    Results()->valid = 1;
    Core().GetCamera()->SetViewType(CViewCamera::kPlan);
    Navigator().SetMode(0);
    InstallRecorder();
    Command(c.command);
    EXPECT_EQ(ViewType(), c.viewType);
    EXPECT_EQ(Navigator().GetMode(), c.navigator);
    EXPECT_EQ(Holder().GetMode() != ToolMode::kNone, c.toolStays);
    Holder().SetCurrentTool(ToolMode::kNone);
    Results()->valid = 0;
  }
}

TEST_F(ViewTest, MenuStatesFollowTheAreaTheViewTypeAndTheResults)
{
  ASSERT_TRUE(Start());
  Pump();
  struct Expect {
    UINT command;
    BOOL enabled;
    int checked;
  };
  struct Case {
    const char* name;
    bool openSite;
    DWORD viewType;
    int resultsValid;
    std::vector<Expect> states;
  };
  const Case cases[] = {
      {"straight road in plan",
       false,
       CViewCamera::kPlan,
       0,
       {{ids::ID_VIEW_CONTOURS, FALSE, 0},
        {ids::ID_VIEW_MOVABLE_PRIMITIVES, FALSE, 0},
        {ids::ID_VIEW_TRANSPARENCY, FALSE, 0},
        {ids::ID_VIEW_GROUP_NUMBERS, FALSE, 0},
        {ids::ID_VIEW_RASTER, FALSE, 0},
        {ids::ID_VIEW_LAYERS, FALSE, 0},
        {ids::ID_VIEW_LEFT_WALL, FALSE, 0},
        {ids::ID_VIEW_FRONT, TRUE, 0},
        {ids::ID_VIEW_LEFT, TRUE, 0},
        {ids::ID_VIEW_RIGHT, TRUE, 0},
        {ids::ID_VIEW_2D, TRUE, 1},
        {ids::ID_VIEW_3D, TRUE, 0}}},
      {"open site in plan without results",
       true,
       CViewCamera::kPlan,
       0,
       {{ids::ID_VIEW_CONTOURS, TRUE, 1},
        {ids::ID_VIEW_MOVABLE_PRIMITIVES, TRUE, 1},
        {ids::ID_VIEW_TRANSPARENCY, TRUE, 0},
        {ids::ID_VIEW_GROUP_NUMBERS, TRUE, 0},
        {ids::ID_VIEW_RASTER, FALSE, 0},
        {ids::ID_VIEW_LEFT_WALL, FALSE, 0},
        {ids::ID_VIEW_SELECT, TRUE, 0}}},
      {"open site in plan with results: no transparency",
       true,
       CViewCamera::kPlan,
       1,
       {{ids::ID_VIEW_CONTOURS, TRUE, 1}, {ids::ID_VIEW_TRANSPARENCY, FALSE, 0}}},
      {"open site in 3D",
       true,
       CViewCamera::kPerspective,
       0,
       {{ids::ID_VIEW_CONTOURS, FALSE, 0},
        {ids::ID_VIEW_MOVABLE_PRIMITIVES, FALSE, 0},
        {ids::ID_VIEW_GROUP_NUMBERS, FALSE, 0},
        {ids::ID_VIEW_2D, TRUE, 0},
        {ids::ID_VIEW_3D, TRUE, 1},
        {ids::ID_VIEW_SELECT, FALSE, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.openSite)
      OpenSite();
    Core().GetCamera()->SetViewType(c.viewType);
    Results()->valid = c.resultsValid;
    for (const Expect& e : c.states) {
      const StateProbe probe = State(e.command);
      EXPECT_EQ(probe.enabled, e.enabled) << e.command;
      EXPECT_EQ(probe.checked, e.checked) << e.command;
    }
    Results()->valid = 0;
  }
}

TEST_F(ViewTest, AWallViewIsOfferedForAStraightRoadWithThatWallAndValidIlluminance)
{
  ASSERT_TRUE(Start());
  Pump();
  Core().Render(FALSE, TRUE);
  const CSceneBuilder* builder = Core().GetSceneBuilder();
  ASSERT_NE(builder, nullptr);
  IVisualOpt* options = Document()->GetCurrentOptions();
  const int illuminance = 1;
  const int luminance = 0;
  options->SetQuantity(&illuminance);
  EXPECT_FALSE(State(ids::ID_VIEW_LEFT_WALL).enabled) << "no results";
  Results()->valid = 1;
  EXPECT_EQ(State(ids::ID_VIEW_LEFT_WALL).enabled, builder->m_leftWallState != 0);
  EXPECT_EQ(State(ids::ID_VIEW_RIGHT_WALL).enabled, builder->m_rightWallState != 0);
  options->SetQuantity(&luminance);
  EXPECT_FALSE(State(ids::ID_VIEW_LEFT_WALL).enabled) << "luminance shown";
  EXPECT_FALSE(State(ids::ID_VIEW_RIGHT_WALL).enabled) << "luminance shown";
  Results()->valid = 0;
}

TEST_F(ViewTest, AWallViewShowsOnlyThatWallAndItsLayerAndTheOtherViewsShowThemAll)
{
  ASSERT_TRUE(Start());
  Pump();
  const int illuminance = 1;
  Document()->GetCurrentOptions()->SetQuantity(&illuminance);
  SwitchWallsOn();
  Command(32772);
  ASSERT_TRUE(PumpUntil([&] {
    int state = -1;
    Frame()->SendMessage(UM_GETCALCSTATE, 0, reinterpret_cast<LPARAM>(&state));
    return state == 0 && Results() && Results()->valid == 1;
  }));
  Pump();
  Core().Render(TRUE, TRUE);
  CCalcAreaManager* manager = Core().GetCalcAreaManager();
  ASSERT_NE(manager, nullptr);
  ASSERT_NE(manager->GetKindsMade() & 0x180, 0u) << "the walls were calculated";
  auto shownKinds = [&] {
    DWORD kinds = 0;
    for (const auto& area : manager->GetAreas())
      if (area->GetState() & CSelectableObject::kVisible)
        kinds |= area->m_kind;
    return kinds;
  };
  const DWORD made = manager->GetKindsMade();
  struct Case {
    UINT command;
    DWORD shown;
    int leftWallDrawn;
    int rightWallDrawn;
  };
  const Case cases[] = {
      {ids::ID_VIEW_LEFT_WALL, made & 0x80, 1, 0},
      {ids::ID_VIEW_2D, made, 1, 1},
      {ids::ID_VIEW_RIGHT_WALL, made & 0x100, 0, 1},
      {ids::ID_VIEW_FRONT, made, 1, 1},
      {ids::ID_VIEW_RIGHT_WALL, made & 0x100, 0, 1},
      {ids::ID_VIEW_3D, made, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ASSERT_TRUE(State(c.command).enabled);
    Command(c.command);
    EXPECT_EQ(shownKinds(), c.shown);
    const CStraightRoadWalls3D* walls = Core().GetRoadDrawers()->GetStraightDrawer()->GetWalls();
    EXPECT_EQ(walls->GetSwitch(CStraightRoadWalls3D::kLeft), c.leftWallDrawn != 0);
    EXPECT_EQ(walls->GetSwitch(CStraightRoadWalls3D::kRight), c.rightWallDrawn != 0);
  }
}

TEST_F(ViewTest, DisplayTogglesFlipTheirFlagsAndTransparencyReachesEveryPrimitive)
{
  ASSERT_TRUE(Start());
  Pump();
  OpenSite();
  Command(ids::ID_VIEW_2D);
  CPrimitiveDrawContext& primitives = Core().GetRoadDrawers()->GetCustomizeDrawer()->GetContext();
  ModelRef<IArea> area = ActiveArea();
  ModelRef<IPrimitive> first(area.get(), IID_IPrimitive);
  ASSERT_TRUE(first);
  auto alphas = [&] {
    std::vector<double> values;
    for (IPrimitive* p = first.get(); p; p = p->GetNext())
      if (auto* mesh = dynamic_cast<CPrimitiveCalcSurface*>(p->GetMeshHelper()))
        values.push_back(mesh->GetAlpha());
    return values;
  };
  // Primitives get a mesh with their results; those that have one take the factor.

  Command(ids::ID_VIEW_TRANSPARENCY);
  EXPECT_TRUE(View()->IsPrimTransparency());
  EXPECT_DOUBLE_EQ(View()->GetTransparencyFactor(), 0.3);
  EXPECT_TRUE(primitives.m_transparent);
  EXPECT_DOUBLE_EQ(primitives.m_alpha, 0.3);
  for (double alpha : alphas())
    EXPECT_DOUBLE_EQ(alpha, 0.3);
  EXPECT_EQ(State(ids::ID_VIEW_TRANSPARENCY).checked, 1);

  // Asked again for 3D, and with results: opaque.
  EXPECT_EQ(View()->SendMessage(UM_PRIMTRANSPARENCY, CViewCamera::kPerspective), 1);
  EXPECT_DOUBLE_EQ(View()->GetTransparencyFactor(), 1.0);
  Results()->valid = 1;
  View()->SendMessage(UM_PRIMTRANSPARENCY, 0);
  EXPECT_DOUBLE_EQ(View()->GetTransparencyFactor(), 1.0);
  Results()->valid = 0;
  View()->SendMessage(UM_PRIMTRANSPARENCY, 0);
  EXPECT_DOUBLE_EQ(View()->GetTransparencyFactor(), 0.3) << "the camera's plan view";

  Command(ids::ID_VIEW_3D);
  EXPECT_DOUBLE_EQ(primitives.m_alpha, 1.0);
  for (double alpha : alphas())
    EXPECT_DOUBLE_EQ(alpha, 1.0);
  Command(ids::ID_VIEW_2D);
  Command(ids::ID_VIEW_TRANSPARENCY);
  EXPECT_FALSE(View()->IsPrimTransparency());
  for (double alpha : alphas())
    EXPECT_DOUBLE_EQ(alpha, 1.0);

  // Contours go through the document to the profile.
  Command(ids::ID_VIEW_CONTOURS);
  EXPECT_FALSE(View()->ContourOfPrim());
  EXPECT_EQ(Shell::GetProfileInt("Settings", "IsContourOfPrim", 1), 0);
  EXPECT_EQ(State(ids::ID_VIEW_CONTOURS).checked, 0);
  Command(ids::ID_VIEW_CONTOURS);
  EXPECT_TRUE(View()->ContourOfPrim());

  // Group numbers: the scene's labels at once, and what the render core asks at every rebuild of the plan.
  auto labelled = [&] {
    size_t count = 0;
    for (const CObject3D* object : Core().GetScene()->GetOwned()->GetObjects())
      count += (object->GetState() & CSelectableObject::kLabelShown) != 0 ? 1 : 0;
    return count;
  };
  ASSERT_GT(Core().GetScene()->GetOwned()->GetCount(), 0u) << "the site's group of poles";
  EXPECT_EQ(labelled(), 0u);
  Command(ids::ID_VIEW_GROUP_NUMBERS);
  EXPECT_TRUE(GetViewServices().ShowsGroupNumbers());
  EXPECT_EQ(State(ids::ID_VIEW_GROUP_NUMBERS).checked, 1);
  EXPECT_EQ(labelled(), Core().GetScene()->GetOwned()->GetCount());
  Core().Render(FALSE, TRUE);
  EXPECT_EQ(labelled(), Core().GetScene()->GetOwned()->GetCount()) << "kept through a rebuild";
  Command(ids::ID_VIEW_GROUP_NUMBERS);
  EXPECT_FALSE(GetViewServices().ShowsGroupNumbers());
  EXPECT_EQ(labelled(), 0u);

  // The raster switch of the core and of its underlay drawer, offered with an underlay.
  EXPECT_FALSE(State(ids::ID_VIEW_RASTER).enabled);
  const int underlay = 7;
  const int none = 0;
  area->SetUnderlayId(&underlay);
  EXPECT_TRUE(State(ids::ID_VIEW_RASTER).enabled);
  EXPECT_FALSE(State(ids::ID_VIEW_LAYERS).enabled) << "a picture, not a library drawing";
  const BOOL raster = Core().m_underlayFlag;
  EXPECT_EQ(State(ids::ID_VIEW_RASTER).checked, raster ? 1 : 0);
  Command(ids::ID_VIEW_RASTER);
  EXPECT_EQ(Core().m_underlayFlag, !raster);
  EXPECT_EQ(Core().GetRoadDrawers()->GetCustomizeDrawer()->m_rasterSwitch, raster ? 0 : 1);
  Command(ids::ID_VIEW_RASTER);
  EXPECT_EQ(Core().m_underlayFlag, raster);
  const int drawing = 0x1001;
  area->SetUnderlayId(&drawing);
  EXPECT_TRUE(State(ids::ID_VIEW_LAYERS).enabled);
  // The library holds no drawing of that id: its layer manager has nothing to show, and nothing breaks.
  Command(ids::ID_VIEW_LAYERS);
  area->SetUnderlayId(&none);

  IVisualOpt* options = Document()->GetCurrentOptions();
  const int filling = options->GetShowMoveFilling();
  Command(ids::ID_VIEW_SHOW_MOVE_FILLING);
  EXPECT_EQ(options->GetShowMoveFilling() != 0, filling == 0);
  EXPECT_EQ(State(ids::ID_VIEW_SHOW_MOVE_FILLING).checked, filling == 0 ? 1 : 0);
}

TEST_F(ViewTest, AnObjectCommandIsPostedToTheFrameAndReleasesTheSelectorsGrab)
{
  ASSERT_TRUE(Start());
  Pump();
  MSG stale;
  while (::PeekMessage(&stale, Frame()->GetSafeHwnd(), UM_TREECOMMAND, UM_TREECOMMAND, PM_REMOVE)) {
  }
  View()->SendMessage(WM_COMMAND, 32859);
  MSG posted;
  ASSERT_TRUE(::PeekMessage(&posted, Frame()->GetSafeHwnd(), UM_TREECOMMAND, UM_TREECOMMAND, PM_REMOVE));
  EXPECT_EQ(posted.wParam, 32859u);
  EXPECT_TRUE(::PeekMessage(&posted, View()->GetSafeHwnd(), UM_DROPHOVER, UM_DROPHOVER, PM_REMOVE));
  // Not one of the seventeen: nothing posted.
  View()->SendMessage(WM_COMMAND, ids::ID_VIEW_FRONT);
  EXPECT_FALSE(::PeekMessage(&posted, Frame()->GetSafeHwnd(), UM_TREECOMMAND, UM_TREECOMMAND, PM_REMOVE));

  // The release itself: only the selector has a grab to let go.
  Holder().SetCurrentTool(ToolMode::kNone);
  EXPECT_EQ(View()->SendMessage(UM_DROPHOVER), 0);
  Command(ids::ID_VIEW_2D);
  Command(ids::ID_VIEW_SELECT);
  ASSERT_NE(Holder().GetSelector(), nullptr);
  EXPECT_EQ(View()->SendMessage(UM_DROPHOVER), 1);
  EXPECT_EQ(Holder().GetSelector()->GetHandle(), -1);
  Holder().SetCurrentTool(ToolMode::kNone);
  // The document's notices need no answer beyond 1.
  EXPECT_EQ(View()->SendMessage(UM_VIEWNOTIFY), 1);
  EXPECT_EQ(View()->SendMessage(UM_VIEWFONTCHANGED, 3), 1);
}

}  // namespace
}  // namespace apptest
