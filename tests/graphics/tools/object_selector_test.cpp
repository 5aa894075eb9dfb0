// The object selector on the open-site sample: a click on a pole selects its group, a handle drag takes one
// undo snapshot and clears the results, a click that does not move takes none, vertex insertion by double
// click; and on a straight road a click selects the road.
#include "graphics/tools/custom_polygon_tool.h"
#include "graphics/tools/object_selector.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iresults.h"
#include "model/shell/window_messages.h"
#include "platform/user/common_controls.h"
#include "platform/user/input.h"
#include "res/program_ids.h"
#include "tests/graphics/gl/sample_projects.h"
#include "tests/graphics/tools/tools_fixture.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The program's view as the document sees it: where it keeps whether primitives may be moved.
class FlagView : public CView, public IQorRoadView {
public:
  BOOL& ContourOfPrim() override { return contour; }
  BOOL& ReloctblPrimitives() override { return relocatable; }
  BOOL contour = FALSE;
  BOOL relocatable = FALSE;
};

class ObjectSelector : public ToolsTest {
protected:
  void TearDown() override
  {
    EndTools();
    if (document && flagsAttached)
      document->RemoveView(&flags);
    ToolsTest::TearDown();
  }
  void AttachFlags(BOOL primitivesMovable)
  {
    document->m_bAutoDelete = FALSE;
    document->AddView(&flags);
    flagsAttached = true;
    document->SetReloctblPrimitives(primitivesMovable);
  }
  void OpenSample(BOOL primitivesMovable)
  {
    MakeDocument(SampleCopy(kSamples[1]));
    AttachFlags(primitivesMovable);
    StartSelector();
  }
  // A new open site, whose carriageway is a polygon, with primitives movable.
  void OpenPolygonSite()
  {
    MakeDocument();
    document->OnNewOpenTerritory();
    AttachFlags(TRUE);
    StartSelector();
  }
  void StartSelector()
  {
    MakeView(400, 300);
    Camera().SetViewType(CViewCamera::kPlan);
    // As the select command does.
    Navigator().SetMode(NavigatorMode::kIdle);
    Holder().SetCurrentTool(ToolMode::kSelector);
    shell.sent.clear();
  }
  FlagView flags;
  bool flagsAttached = false;
  CObjectSelector& Selector() { return *Holder().GetSelector(); }
  // The eye right above a point of the plan, this far away; one pixel is |z| / 300 m.
  void LookAt(double x, double y, double z)
  {
    Eye() = _DEVCPOSITION{-x, -y, z, Eye().angle1, Eye().angle2, Eye().angle3};
    Camera().LoadOrthoProjection();
    Core().Render(FALSE, FALSE);
  }
  IGroupOfDev* FirstGroup()
  {
    ModelRef<IGroupsOfDev> groups(ActiveArea(), IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> first(groups.get(), IID_IGroupOfDev);
    return first.get();  // the area keeps it
  }
  // The first primitive of the site whose outline is a list of vertices.
  IPrimitive* FirstPolygon()
  {
    ModelRef<IPrimitive> first(ActiveArea(), IID_IPrimitive);
    for (IPrimitive* p = first.get(); p; p = p->GetNext())
      if (*p->GetShape() == 4 || *p->GetShape() == 5)
        return p;
    return nullptr;
  }
  BOOL ResultsValid()
  {
    ModelRef<IResultsOfCalc> results(ActiveArea(), IID_IResultsOfCalc);
    return results && results->GetData() && results->GetData()->valid;
  }
  // Grabs the first pole of the first group (the group selected first) and answers where it is.
  std::array<double, 3> GrabFirstPole()
  {
    ModelRef<IPole> pole(FirstGroup(), IID_IPole);
    const double* at = pole->GetPosition();
    const std::array<double, 3> position{at[0], at[1], at[2]};
    LookAt(at[0], at[1], -30);
    const POINT p = PixelOf(at[0], at[1]);
    Click(p);
    Send(WM_MOUSEMOVE, 0, p.x, p.y + 1);
    Send(WM_LBUTTONDOWN, 0x1, p.x, p.y);
    return position;
  }
  std::array<double, 3> FirstPolePosition()
  {
    ModelRef<IPole> pole(FirstGroup(), IID_IPole);
    const double* at = pole->GetPosition();
    return {at[0], at[1], at[2]};
  }
  // Grabs the first polygon's vertex 0 (the polygon selected first) and answers where it is.
  _CSPOINT3D GrabFirstVertex()
  {
    IPrimitive* polygon = FirstPolygon();
    EXPECT_NE(polygon, nullptr);
    if (!polygon)
      return {};
    VertexList* outline = nullptr;
    polygon->GetOutline(&outline);
    const _CSPOINT3D vertex = (*outline)[0];
    LookAt(vertex.x, vertex.y, -10);
    const POINT p = PixelOf(vertex.x, vertex.y);
    Click(p);
    Send(WM_MOUSEMOVE, 0, p.x, p.y + 1);
    Send(WM_LBUTTONDOWN, 0x1, p.x, p.y);
    return vertex;
  }
};

TEST_F(ObjectSelector, AClickOnAPoleSelectsItsGroup)
{
  OpenSample(FALSE);
  IGroupOfDev* group = FirstGroup();
  ASSERT_NE(group, nullptr);
  ModelRef<IPole> pole(group, IID_IPole);
  const double* at = pole->GetPosition();
  LookAt(at[0], at[1], -30);
  Click(PixelOf(at[0], at[1]));
  ModelRef<IClassObjModel> object(group, IID_IClassObjModel);
  EXPECT_TRUE(object->IsSelected());
  EXPECT_TRUE(Selector().GetHitFlag());
  const SelectorMenuChoice menu = Selector().ChooseContextMenu();
  EXPECT_EQ(menu.menuId, 0u) << "the grab ends with the button";
  Send(WM_LBUTTONDOWN, 0x1, PixelOf(at[0], at[1]).x, PixelOf(at[0], at[1]).y);
  const SelectorMenuChoice held = Selector().ChooseContextMenu();
  EXPECT_EQ(held.menuId, static_cast<UINT>(res::program::IDR_MENU_GROUP));
  EXPECT_EQ(held.switchedOn, (*group->GetState() & 1) != 0);
  Send(WM_LBUTTONUP, 0, 0, 0);
}

TEST_F(ObjectSelector, HoveringAPoleNamesItsHandleInTheViewsTooltip)
{
  OpenSample(FALSE);
  HWND tooltip = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, "", WS_POPUP, 0, 0, 0, 0, ViewWindow(), nullptr,
                                nullptr, nullptr);
  ASSERT_NE(tooltip, nullptr);
  Holder().SetToolTip(tooltip);
  Holder().SetCurrentTool(ToolMode::kSelector);
  ModelRef<IPole> pole(FirstGroup(), IID_IPole);
  const double* at = pole->GetPosition();
  LookAt(at[0], at[1], -30);
  const POINT p = PixelOf(at[0], at[1]);
  Send(WM_MOUSEMOVE, 0, p.x, p.y);
  ASSERT_FALSE(Selector().GetTipText().IsEmpty());
  EXPECT_EQ(SendMessage(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  char text[128] = "";
  TOOLINFO info;
  info.hwnd = ViewWindow();
  info.uId = reinterpret_cast<UINT_PTR>(ViewWindow());
  info.lpszText = text;
  SendMessage(tooltip, TTM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(text, static_cast<LPCSTR>(Selector().GetTipText()));
  // Moving off the pole into empty space keeps the one tool and changes its text.
  Send(WM_MOUSEMOVE, 0, 5, 5);
  EXPECT_EQ(SendMessage(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  Holder().SetCurrentTool(ToolMode::kNone);
  Holder().SetToolTip(nullptr);
  DestroyWindow(tooltip);
}

TEST_F(ObjectSelector, AClickOnEmptySpaceSelectsTheArea)
{
  OpenSample(FALSE);
  LookAt(0, 0, -30);
  Click(POINT{5, 5});
  ModelRef<IClassObjModel> area(ActiveArea(), IID_IClassObjModel);
  EXPECT_TRUE(area->IsSelected());
  ModelRef<IClassObjModel> group(FirstGroup(), IID_IClassObjModel);
  EXPECT_FALSE(group->IsSelected());
  EXPECT_EQ(Selector().GetGrabbed(), nullptr);
}

TEST_F(ObjectSelector, AHandleDragTakesOneSnapshotClearsResultsAndUndoRestores)
{
  OpenSample(FALSE);
  ASSERT_TRUE(ResultsValid());
  ASSERT_FALSE(document->CanUndo());
  const std::array<double, 3> start = GrabFirstPole();
  ASSERT_NE(Selector().GetHandle(), CObjectSelector::kNoHandle);
  const POINT p = PixelOf(start[0], start[1]);
  for (int step = 1; step <= 3; ++step)
    Send(WM_MOUSEMOVE, 0x1, p.x + 10 * step, p.y);
  Send(WM_LBUTTONUP, 0, p.x + 30, p.y);
  EXPECT_NEAR(FirstPolePosition()[0], start[0] + 3.0, 0.2);
  EXPECT_FALSE(ResultsValid());
  ASSERT_TRUE(document->CanUndo());
  document->Undo();
  EXPECT_FALSE(document->CanUndo()) << "one snapshot for the whole drag";
  EXPECT_DOUBLE_EQ(FirstPolePosition()[0], start[0]);
  EXPECT_DOUBLE_EQ(FirstPolePosition()[1], start[1]);
}

TEST_F(ObjectSelector, PressingAHandleWithoutMovingTakesNoSnapshot)
{
  OpenSample(FALSE);
  const std::array<double, 3> start = GrabFirstPole();
  ASSERT_NE(Selector().GetHandle(), CObjectSelector::kNoHandle);
  const POINT p = PixelOf(start[0], start[1]);
  Send(WM_LBUTTONUP, 0, p.x, p.y);
  EXPECT_FALSE(document->CanUndo());
  EXPECT_TRUE(ResultsValid());
}

TEST_F(ObjectSelector, DraggingWithShiftOrCtrlMovesNothingAndShowsNoText)
{
  for (UINT modifier : {0x4u, 0x8u}) {
    SCOPED_TRACE(modifier);
    EndTools();
    if (document && flagsAttached)
      document->RemoveView(&flags);
    flagsAttached = false;
    document.reset();
    view.reset();
    OpenSample(FALSE);
    const std::array<double, 3> start = GrabFirstPole();
    const POINT p = PixelOf(start[0], start[1]);
    Send(WM_MOUSEMOVE, 0x1 | modifier, p.x + 20, p.y);
    EXPECT_TRUE(Selector().GetTipText().IsEmpty());
    Send(WM_LBUTTONUP, modifier, p.x + 20, p.y);
    EXPECT_EQ(FirstPolePosition()[0], start[0]);
    EXPECT_FALSE(document->CanUndo());
  }
}

TEST_F(ObjectSelector, AVertexDragMovesTheVertexAndUndoRestoresIt)
{
  OpenPolygonSite();
  const _CSPOINT3D vertex = GrabFirstVertex();
  ASSERT_EQ(Selector().GetHandle(), CObjectSelector::kVertexHandle);
  const POINT p = PixelOf(vertex.x, vertex.y);
  Send(WM_MOUSEMOVE, 0x1, p.x + 15, p.y);
  Send(WM_MOUSEMOVE, 0x1, p.x + 30, p.y);
  EXPECT_FALSE(Selector().GetTipText().IsEmpty());
  Send(WM_LBUTTONUP, 0, p.x + 30, p.y);
  VertexList* outline = nullptr;
  FirstPolygon()->GetOutline(&outline);
  EXPECT_NEAR((*outline)[0].x, vertex.x + 1.0, 0.05);
  document->Undo();
  EXPECT_FALSE(document->CanUndo());
  FirstPolygon()->GetOutline(&outline);
  EXPECT_DOUBLE_EQ((*outline)[0].x, vertex.x);
}

TEST_F(ObjectSelector, ADoubleClickOnAnEdgeOfASelectedPolygonInsertsASelectedVertex)
{
  OpenPolygonSite();
  IPrimitive* polygon = FirstPolygon();
  ASSERT_NE(polygon, nullptr);
  VertexList* outline = nullptr;
  polygon->GetOutline(&outline);
  const INT_PTR before = outline->GetSize();
  const _CSPOINT3D a = (*outline)[0];
  const _CSPOINT3D b = (*outline)[1];
  const double mid[2] = {(a.x + b.x) / 2, (a.y + b.y) / 2};
  LookAt(mid[0], mid[1], -10);
  ModelRef<IClassObjModel>(polygon, IID_IClassObjModel)->SetSelected(1);
  const POINT p = PixelOf(mid[0], mid[1]);
  Send(WM_MOUSEMOVE, 0, p.x, p.y);
  ASSERT_TRUE(Selector().GetInsertionFlag());
  EXPECT_EQ(Selector().GetInsertionIndex(), 1);
  Send(WM_LBUTTONDBLCLK, 0x1, p.x, p.y);
  ASSERT_EQ(outline->GetSize(), before + 1);
  EXPECT_NEAR((*outline)[1].x, mid[0], 0.05);
  EXPECT_NEAR((*outline)[1].y, mid[1], 0.05);
  EXPECT_EQ((*outline)[1].flags, 2);
  EXPECT_TRUE(document->CanUndo());
}

TEST_F(ObjectSelector, AnInsertionFoundOnAnEdgeTheOutlineNoLongerHasInsertsNothing)
{
  OpenPolygonSite();
  IPrimitive* polygon = FirstPolygon();
  ASSERT_NE(polygon, nullptr);
  VertexList* outline = nullptr;
  polygon->GetOutline(&outline);
  ASSERT_EQ(outline->GetSize(), 4);
  const _CSPOINT3D a = (*outline)[2];
  const _CSPOINT3D b = (*outline)[3];
  LookAt((a.x + b.x) / 2, (a.y + b.y) / 2, -10);
  ModelRef<IClassObjModel>(polygon, IID_IClassObjModel)->SetSelected(1);
  const POINT p = PixelOf((a.x + b.x) / 2, (a.y + b.y) / 2);
  Send(WM_MOUSEMOVE, 0, p.x, p.y);
  ASSERT_EQ(Selector().GetInsertionIndex(), 3);
  // Something else took two vertices away meanwhile.
  outline->RemoveAt(0, 2);
  Send(WM_LBUTTONDBLCLK, 0x1, p.x, p.y);
  EXPECT_EQ(outline->GetSize(), 2);
  EXPECT_FALSE(document->CanUndo());
}

TEST_F(ObjectSelector, WithPrimitivesFixedNeitherHandlesNorInsertionPointsAreOffered)
{
  MakeDocument();
  document->OnNewOpenTerritory();
  AttachFlags(FALSE);
  StartSelector();
  IPrimitive* polygon = FirstPolygon();
  ASSERT_NE(polygon, nullptr);
  ModelRef<IClassObjModel>(polygon, IID_IClassObjModel)->SetSelected(1);
  VertexList* outline = nullptr;
  polygon->GetOutline(&outline);
  const _CSPOINT3D a = (*outline)[0];
  const _CSPOINT3D b = (*outline)[1];
  LookAt((a.x + b.x) / 2, (a.y + b.y) / 2, -10);
  const POINT mid = PixelOf((a.x + b.x) / 2, (a.y + b.y) / 2);
  Send(WM_MOUSEMOVE, 0, mid.x, mid.y);
  EXPECT_FALSE(Selector().GetInsertionFlag());
  const POINT corner = PixelOf(a.x, a.y);
  Send(WM_MOUSEMOVE, 0, corner.x, corner.y);
  Send(WM_LBUTTONDOWN, 0x1, corner.x, corner.y);
  EXPECT_EQ(Selector().GetHandle(), CObjectSelector::kNoHandle);
  Send(WM_LBUTTONUP, 0, corner.x, corner.y);
}

TEST_F(ObjectSelector, ADragTheModelRefusesFromItsFirstStepLeavesNoUndoState)
{
  OpenPolygonSite();
  const _CSPOINT3D vertex = GrabFirstVertex();
  ASSERT_EQ(Selector().GetHandle(), CObjectSelector::kVertexHandle);
  // Vertex (5, 5) of the square carried across its far side would make the outline cross itself.
  const POINT across = PixelOf(-8, 0);
  Send(WM_MOUSEMOVE, 0x1, across.x, across.y);
  EXPECT_EQ(Selector().GetHandle(), CObjectSelector::kNoHandle) << "the grab is dropped";
  Send(WM_LBUTTONUP, 0, across.x, across.y);
  VertexList* outline = nullptr;
  FirstPolygon()->GetOutline(&outline);
  EXPECT_EQ((*outline)[0].x, vertex.x);
  EXPECT_FALSE(document->CanUndo());
}

// A shell whose main window answers the calculation state.
class CalculatingShell : public GraphicsShell {
public:
  LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (message == UM_GETCALCSTATE)
      *reinterpret_cast<int*>(lParam) = state;
    return GraphicsShell::SendToMainWindow(message, wParam, lParam);
  }
  int state = 0;
};

TEST_F(ObjectSelector, ClicksAreDroppedWhileACalculationRunsAndEscCancelsIt)
{
  OpenPolygonSite();
  CalculatingShell calculating;
  calculating.dataFolder = shell.dataFolder;
  calculating.state = 1;
  Shell::SetShellServices(&calculating);
  ModelRef<IClassObjModel> area(ActiveArea(), IID_IClassObjModel);
  Click(POINT{5, 5});
  EXPECT_FALSE(area->IsSelected());
  EXPECT_FALSE(Selector().GetHitFlag());
  Holder().RouteInput(WM_KEYDOWN, VK_ESCAPE, 1);
  const std::pair<UINT, WPARAM> cancel{WM_COMMAND, kCancelCalculationCommand};
  EXPECT_NE(std::find(calculating.sent.begin(), calculating.sent.end(), cancel), calculating.sent.end());
  calculating.state = 0;
  Click(POINT{5, 5});
  EXPECT_TRUE(area->IsSelected());
  Shell::SetShellServices(&shell);
}

TEST(InsertionPoint, NearAnEdgeButNotAtItsEnds)
{
  const _CSPOINT3D a{0, 0, 1, 0, 0};
  const _CSPOINT3D b{10, 0, 1, 0, 0};
  const struct {
    double p[2];
    BOOL near;
  } cases[] = {{{5, 0.4}, TRUE}, {{5, 0.6}, FALSE}, {{0.2, 0.1}, FALSE}, {{9.9, 0.1}, FALSE}, {{12, 0}, FALSE}};
  for (const auto& c : cases) {
    double foot[3] = {0, 0, 0};
    EXPECT_EQ(PointNearSegment(0.5, c.p, a, b, foot), c.near) << c.p[0] << "," << c.p[1];
    if (c.near) {
      EXPECT_EQ(foot[0], c.p[0]);
      EXPECT_EQ(foot[1], 0);
      EXPECT_EQ(foot[2], 1);
    }
  }
  // An oblique edge: the foot is the perpendicular projection.
  const _CSPOINT3D c{0, 0, 0, 0, 0};
  const _CSPOINT3D d{4, 4, 0, 0, 0};
  const double p[2] = {2.2, 1.8};
  double foot[3];
  ASSERT_TRUE(PointNearSegment(0.5, p, c, d, foot));
  EXPECT_NEAR(foot[0], 2.0, 1e-12);
  EXPECT_NEAR(foot[1], 2.0, 1e-12);
}

class StraightRoadSelector : public ToolsTest {};

TEST_F(StraightRoadSelector, AClickInPlanSelectsTheRoadAndHoveringShowsNoHandles)
{
  MakeDocument();
  document->OnNewStraightRoad();
  MakeView(400, 300);
  Camera().SetViewType(CViewCamera::kPlan);
  Holder().SetCurrentTool(ToolMode::kSelector);
  CObjectSelector& selector = *Holder().GetSelector();
  Send(WM_MOUSEMOVE, 0, 200, 150);
  EXPECT_TRUE(selector.GetTipText().IsEmpty());
  EXPECT_EQ(selector.GetCursorId(), 104);
  Click(POINT{200, 150});
  ModelRef<IClassObjModel> road(ActiveArea(), IID_IClassObjModel);
  EXPECT_TRUE(road->IsSelected());
  EXPECT_EQ(selector.GetGrabbed(), nullptr);
}

}  // namespace
