// Polygon input: the crossing and closing tests, and input of a primitive's outline and a group's contour by
// clicks on the view, begun and ended as the main window's messages do.
#include "graphics/tools/custom_polygon_tool.h"
#include "graphics/tools/object_selector.h"
#include "graphics/tools/snap_marker.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "model/shell/window_messages.h"
#include "outside/grafocore/grafocore.h"
#include "platform/base/module.h"
#include "tests/graphics/tools/tools_fixture.h"

#include <initializer_list>
#include <memory>
#include <utility>

namespace {

std::unique_ptr<VertexList> Outline(std::initializer_list<std::pair<double, double>> points)
{
  auto list = std::make_unique<VertexList>();
  for (const auto& [x, y] : points)
    list->Add(_CSPOINT3D{x, y, 0, 0, 0});
  return list;
}

_CSPOINT3D At(double x, double y) { return _CSPOINT3D{x, y, 0, 0, 0}; }

TEST(PolygonGeometry, ASegmentMayTouchButNotCrossTheOutline)
{
  const struct {
    const char* name;
    std::initializer_list<std::pair<double, double>> outline;
    _CSPOINT3D q;
    BOOL allowed;
  } cases[] = {
      {"fewer than three vertices", {{0, 0}, {4, 4}}, At(4, 0), TRUE},
      {"a proper crossing", {{0, 0}, {4, 4}, {4, 0}}, At(0, 4), FALSE},
      {"ending on an edge touches it", {{0, 0}, {4, 0}, {4, 4}}, At(2, 0), TRUE},
      {"running along an edge is collinear contact", {{0, 0}, {4, 0}, {6, 0}}, At(1, 0), TRUE},
      {"clear of every edge", {{0, 0}, {4, 0}, {4, 4}}, At(0, 4), TRUE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CCustomPolygonTool::EdgeAllowed(*Outline(c.outline), c.q), c.allowed) << c.name;
  }
}

TEST(PolygonGeometry, ClosingTestsTheLastAndTheClosingEdge)
{
  const auto square = Outline({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  EXPECT_TRUE(CCustomPolygonTool::CanFinish(*square, (*square)[3]));
  // The last edge, from (4, 4) down to (2, -2), crosses the first one.
  const auto bow = Outline({{0, 0}, {4, 0}, {4, 4}, {2, -2}});
  EXPECT_FALSE(CCustomPolygonTool::CanFinish(*bow, (*bow)[3]));
  // The closing edge, from (3, 2) back to (0, 0), crosses the edge (2, 0)-(2, 4).
  const auto hook = Outline({{0, 0}, {4, 0}, {2, 0.5}, {2, 4}, {3, 2}});
  EXPECT_FALSE(CCustomPolygonTool::CanFinish(*hook, (*hook)[4]));
  EXPECT_TRUE(CCustomPolygonTool::CanFinish(*Outline({{0, 0}, {1, 1}}), At(1, 1)));
}

TEST(PolygonGeometry, TurnOfTheOutline)
{
  EXPECT_EQ(CCustomPolygonTool::IsClockwise(*Outline({{0, 0}, {4, 0}, {4, 4}, {0, 4}})), 0);
  EXPECT_EQ(CCustomPolygonTool::IsClockwise(*Outline({{0, 0}, {0, 4}, {4, 4}, {4, 0}})), 1);
}

// The background drawing's snap: on, every point snaps to this one.
bool g_snapOn = false;
constexpr double kSnapPoint[3] = {2.5, 0.5, 0};
int FakeObjectSnap(int, int, int, double* x, double* y, double* z)
{
  if (!g_snapOn)
    return 0;
  *x = kSnapPoint[0];
  *y = kSnapPoint[1];
  *z = kSnapPoint[2];
  return 1;
}

class PolygonInput : public ToolsTest {
protected:
  void SetUp() override
  {
    ToolsTest::SetUp();
    platform::RegisterModule(grafocore::kModuleName, {{"ObjectSnap", reinterpret_cast<void*>(&FakeObjectSnap)}});
    OpenSite(400, 300);
    // Close enough that one pixel is 2 cm.
    Eye() = _DEVCPOSITION{0, 0, -6, Eye().angle1, Eye().angle2, Eye().angle3};
    Camera().LoadOrthoProjection();
    Core().Render(FALSE, FALSE);
    shell.sent.clear();
  }
  void TearDown() override
  {
    g_snapOn = false;
    EndTools();
    document.reset();
    view.reset();
    platform::UnregisterModule(grafocore::kModuleName);
    ToolsTest::TearDown();
  }

  // A polygon primitive of the site with an empty outline, not yet in its list.
  ModelRef<IClassObjModel> NewPolygon()
  {
    ModelRef<ICustomizeRoad> site(ActiveArea(), IID_ICustomizeRoad);
    IPrimitive* primitive = site->CreatePrimitive(ObjectModel::kShapePolygon, 0, TRUE);
    VertexList* outline = nullptr;
    primitive->GetOutline(&outline);
    outline->RemoveAll();
    ModelRef<IClassObjModel> object(primitive, IID_IClassObjModel);
    primitive->Release();
    return object;
  }
  ModelRef<IClassObjModel> NewGroup(int placementScheme)
  {
    ModelRef<IGroupsOfDev> groups(ActiveArea(), IID_IGroupsOfDev);
    IGroupOfDev* group = groups->CreateGroup();
    group->SetPlacementScheme(&placementScheme);
    VertexList* contour = nullptr;
    group->GetContourPoints(&contour);
    contour->RemoveAll();
    ModelRef<IClassObjModel> object(group, IID_IClassObjModel);
    group->Release();
    return object;
  }
  CCustomPolygonTool* Tool() { return Holder().GetSelector() ? Holder().GetSelector()->GetNestedTool() : nullptr; }
  void ClickAt(double x, double y)
  {
    const POINT p = PixelOf(x, y);
    Send(WM_MOUSEMOVE, 0, p.x, p.y);
    Send(WM_LBUTTONDOWN, 0x1, p.x, p.y);
    Send(WM_LBUTTONUP, 0, p.x, p.y);
  }
  int EndMessages(WPARAM kind) const
  {
    int count = 0;
    for (const auto& [message, wParam] : shell.sent)
      count += message == UM_ENDCONTOUR && wParam == kind ? 1 : 0;
    return count;
  }
};

TEST_F(PolygonInput, ATriangleClosesByAClickNearItsFirstVertex)
{
  ModelRef<IClassObjModel> polygon = NewPolygon();
  ModelRef<IPrimitive> primitive(polygon.get(), IID_IPrimitive);
  Holder().BeginPolygonInput(polygon.get());
  ASSERT_NE(Tool(), nullptr);
  EXPECT_NE(*primitive->GetState() & PolygonState::kUnderInput, 0);
  ClickAt(-1, -1);
  ClickAt(1, -1);
  ClickAt(0, 1);
  ClickAt(-0.95, -1.05);
  EXPECT_EQ(Tool()->GetVertices()->GetSize(), 3);
  EXPECT_EQ(EndMessages(0), 1);
  EXPECT_NE(*primitive->GetState() & PolygonState::kClosed, 0);
  Holder().EndPolygonInput();
  EXPECT_EQ(Tool(), nullptr);
  EXPECT_EQ(*primitive->GetState() & PolygonState::kUnderInput, 0);
}

TEST_F(PolygonInput, WithTwoVerticesAClickNearTheFirstAddsAThird)
{
  ModelRef<IClassObjModel> polygon = NewPolygon();
  Holder().BeginPolygonInput(polygon.get());
  ClickAt(-1, -1);
  ClickAt(1, -1);
  ClickAt(-0.95, -1.05);
  EXPECT_EQ(Tool()->GetVertices()->GetSize(), 3);
  EXPECT_EQ(EndMessages(0), 0);
  // A second click on the last vertex adds nothing.
  ClickAt(-0.95, -1.05);
  EXPECT_EQ(Tool()->GetVertices()->GetSize(), 3);
}

TEST_F(PolygonInput, AVertexThatMakesTheOutlineCrossItselfIsRefused)
{
  ModelRef<IClassObjModel> polygon = NewPolygon();
  Holder().BeginPolygonInput(polygon.get());
  ClickAt(-1, -1);
  ClickAt(1, 1);
  ClickAt(1, -1);
  ClickAt(-1, 1);
  EXPECT_EQ(Tool()->GetVertices()->GetSize(), 3);
}

TEST_F(PolygonInput, AGroupContourEndedByTheRightButtonStaysOpen)
{
  ModelRef<IClassObjModel> group = NewGroup(0);
  Holder().BeginPolygonInput(group.get());
  ClickAt(-1, -1);
  ClickAt(1, -1);
  ClickAt(0, 1);
  Send(WM_RBUTTONDOWN, 0x2, 200, 150);
  Send(WM_RBUTTONUP, 0, 200, 150);
  EXPECT_EQ(EndMessages(1), 1);
  VertexList* contour = Tool()->GetVertices();
  EXPECT_EQ(contour->GetSize(), 3);
  Holder().EndPolygonInput();
  // The second commit, when the tool goes, adds no closing point either.
  EXPECT_EQ(contour->GetSize(), 3);
}

TEST_F(PolygonInput, AGroupContourClosedOnItsFirstPointEndsThere)
{
  ModelRef<IClassObjModel> group = NewGroup(0);
  Holder().BeginPolygonInput(group.get());
  ClickAt(-1, -1);
  ClickAt(1, -1);
  ClickAt(0, 1);
  ClickAt(-1, -1);
  EXPECT_EQ(EndMessages(1), 1);
  const VertexList& contour = *Tool()->GetVertices();
  ASSERT_EQ(contour.GetSize(), 4);
  EXPECT_EQ(contour[3].x, contour[0].x);
  EXPECT_EQ(contour[3].y, contour[0].y);
  Holder().EndPolygonInput();
}

TEST_F(PolygonInput, GroupsAlongAContourOrByPointsMayCrossThemselves)
{
  for (int scheme : {3, 4}) {
    ModelRef<IClassObjModel> group = NewGroup(scheme);
    Holder().BeginPolygonInput(group.get());
    EXPECT_FALSE(Tool()->CrossingTest());
    ClickAt(-1, -1);
    ClickAt(1, 1);
    ClickAt(1, -1);
    ClickAt(-1, 1);
    EXPECT_EQ(Tool()->GetVertices()->GetSize(), 4) << scheme;
    Holder().EndPolygonInput();
  }
}

TEST_F(PolygonInput, AClickTakesTheSnappedPointWhenSnappingAnswers)
{
  ModelRef<IClassObjModel> polygon = NewPolygon();
  Holder().BeginPolygonInput(polygon.get());
  ClickAt(-1, -1);
  g_snapOn = true;
  ClickAt(1, 1);
  EXPECT_TRUE(CSnapMarker::Instance().IsShown());
  const VertexList& outline = *Tool()->GetVertices();
  ASSERT_EQ(outline.GetSize(), 2);
  EXPECT_EQ(outline[1].x, kSnapPoint[0]);
  EXPECT_EQ(outline[1].y, kSnapPoint[1]);
  g_snapOn = false;
  ClickAt(-1, 1);
  EXPECT_FALSE(CSnapMarker::Instance().IsShown());
  EXPECT_NEAR(outline[2].x, -1, 0.03);
  Holder().EndPolygonInput();
}

TEST_F(PolygonInput, WithASelectedVertexOneVertexIsInsertedAfterItAndInputEnds)
{
  ModelRef<IClassObjModel> polygon = NewPolygon();
  ModelRef<IPrimitive> primitive(polygon.get(), IID_IPrimitive);
  VertexList* outline = nullptr;
  primitive->GetOutline(&outline);
  for (const auto& [x, y] : {std::pair{-2.0, -2.0}, {2.0, -2.0}, {2.0, 2.0}, {-2.0, 2.0}})
    outline->Add(_CSPOINT3D{x, y, 0, 0, 0});
  (*outline)[1].flags = VertexFlag::kSelected;
  Holder().BeginPolygonInput(polygon.get());
  EXPECT_EQ(Tool()->GetState(), CCustomPolygonTool::kInsert);
  // The crossing test still runs from the last vertex, (-2, 2): a point inside the square passes it.
  ClickAt(1.5, 0);
  ASSERT_EQ(outline->GetSize(), 5);
  EXPECT_NEAR((*outline)[2].x, 1.5, 0.03);
  EXPECT_EQ((*outline)[2].flags, VertexFlag::kSelected);
  EXPECT_EQ((*outline)[1].flags, 0);
  EXPECT_EQ(EndMessages(0), 1);
  Holder().EndPolygonInput();
  EXPECT_EQ(outline->GetSize(), 5);
}

}  // namespace
