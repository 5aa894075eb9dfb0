#include "open_territory_support.h"
#include "model/group_of_dev.h"
#include "model/groups_of_dev.h"
#include "model/ipole.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace {

using namespace ObjectModel;

// The main group of poles of a fresh open territory.
struct SiteGroup {
  explicit SiteGroup(IQorRoadDoc* doc) : site(doc)
  {
    void* out = nullptr;
    static_cast<IArea*>(site.site)->QueryInterface(&IID_IGroupsOfDev, &out);
    groups = static_cast<IGroupsOfDev*>(out);
    groups->Release();
    group = static_cast<CGroupsOfDev*>(groups)->GetFirstGroup();
  }
  CGroupOfDev* operator->() const { return static_cast<CGroupOfDev*>(group); }
  SiteHolder site;
  IGroupsOfDev* groups = nullptr;
  IGroupOfDev* group = nullptr;
};

// A polyline of plan points (arrays of the framework are not copied).
struct Points : CArray<_CSPOINT3D> {
  Points(std::initializer_list<std::pair<double, double>> xy)
  {
    for (const auto& [x, y] : xy)
      Add(_CSPOINT3D{x, y, 0, 0, 0});
  }
};

struct Expected {
  double x, y, rotation;
};

void ExpectPositions(const CArray<_DEVCPOSITION>& got, const std::vector<Expected>& expected)
{
  ASSERT_EQ(got.GetSize(), static_cast<INT_PTR>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(got[i].x, expected[i].x, 1e-9) << i;
    EXPECT_NEAR(got[i].y, expected[i].y, 1e-9) << i;
    EXPECT_NEAR(got[i].angle2, expected[i].rotation, 1e-9) << i;
  }
}

TEST(PolePlacement, AlongAContourWithItsStepOffsetAndSide)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const double offset = 1;
  g->SetContourOffset(&offset);
  const Points line({{0, 0}, {50, 0}});
  CArray<_DEVCPOSITION> positions;
  const double step = 20;
  EXPECT_EQ(g->ComputeContourPositions(&step, &line, &positions), 0);
  ExpectPositions(positions, {{0, -1, 90}, {20, -1, 90}, {40, -1, 90}});
  g->SetContourMode(1);
  g->ComputeContourPositions(&step, &line, &positions);
  ExpectPositions(positions, {{0, 1, -90}, {20, 1, -90}, {40, 1, -90}});
  const double longStep = 60;
  g->ComputeContourPositions(&longStep, &line, &positions);
  ExpectPositions(positions, {{0, 0, 0}});
}

TEST(PolePlacement, RoundAVertexThePoleStandsOnTheBisector)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const double offset = 1;
  g->SetContourOffset(&offset);
  const Points corner({{0, 0}, {10, 0}, {10, 10}});
  CArray<_DEVCPOSITION> positions;
  const double step = 10;
  g->ComputeContourPositions(&step, &corner, &positions);
  const double d = std::sqrt(0.5);
  ExpectPositions(positions, {{0, -1, 90}, {10 + d, -d, 135}, {11, 10, 180}});
  // Straight back on itself: beside the segment that follows.
  const Points back({{0, 0}, {10, 0}, {0, 0}});
  g->ComputeContourPositions(&step, &back, &positions);
  ASSERT_EQ(positions.GetSize(), 3);
  EXPECT_NEAR(positions[1].x, 10, 1e-9);
  EXPECT_NEAR(positions[1].y, 1, 1e-9);
}

TEST(PolePlacement, StepOfNothingOrLessIsRefused)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const Points line({{0, 0}, {50, 0}});
  CArray<_DEVCPOSITION> positions;
  for (double step : {0.0, -5.0, std::nan("")}) {
    EXPECT_EQ(g->ComputeContourPositions(&step, &line, &positions), 1);
    EXPECT_EQ(positions.GetSize(), 0);
  }
  const CArray<_CSPOINT3D> none;
  const double step = 10;
  EXPECT_EQ(g->ComputeContourPositions(&step, &none, &positions), 1);
}

TEST(PolePlacement, AtPointsTurnedAcrossTheirNeighbours)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  CArray<_DEVCPOSITION> positions;
  const Points three({{0, 0}, {10, 0}, {10, 10}});
  EXPECT_EQ(g->ComputePointPositions(&three, &positions), 0);
  ExpectPositions(positions, {{0, 0, 90}, {10, 0, 135}, {10, 10, 180}});
  const Points two({{0, 0}, {10, 0}});
  EXPECT_EQ(g->ComputePointPositions(&two, &positions), 1);
  EXPECT_EQ(positions.GetSize(), 0);
}

TEST(PolePlacement, ContourVertexWithoutOffsetIsTheVertex)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const _CSPOINT3D a{0, 0, 0, 0, 0}, b{0, 5, 2, 1, 0}, c{0, 10, 0, 0, 0};
  _CSPOINT3D out{};
  EXPECT_EQ(g->OffsetContourVertex(&a, &b, &c, &out), 0);
  EXPECT_EQ(out.y, 5);
  EXPECT_EQ(out.z, 2);
}

TEST(PolePlacement, ContourSchemeMakesOneSubGroupPerPosition)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const int contour = 3;
  g->SetPlacementScheme(&contour);
  const double baseHeight = 1.5;
  g.site->SetBaseHeight(&baseHeight);
  CArray<_CSPOINT3D>* points = nullptr;
  g->GetContourPoints(&points);
  points->Add(_CSPOINT3D{0, 0, 0, 0, 0});
  points->Add(_CSPOINT3D{50, 0, 0, 0, 0});
  EXPECT_EQ(g->UpdatePolePositions(0), 0);
  ASSERT_EQ(g->GetSubGroupCount(), 3);
  double x = 0;
  for (IGroupOfDev* sub = g->GetFirstSubGroup(); sub; sub = sub->GetNext(), x += 20) {
    IPole* pole = static_cast<CGroupOfDev*>(sub)->GetFirstPole();
    ASSERT_NE(pole, nullptr);
    EXPECT_EQ(pole->GetNext(), nullptr);
    EXPECT_NEAR(pole->GetPosition()[0], x, 1e-9);
    EXPECT_NEAR(pole->GetPosition()[1], -1, 1e-9);
    EXPECT_EQ(pole->GetPosition()[2], 1.5);
    EXPECT_EQ(*pole->GetRotation(), 90);
    EXPECT_EQ(*pole->GetTypical(), 0);
    EXPECT_EQ(pole->GetAimTilt(), 45);
    EXPECT_EQ(*sub->GetPlacementScheme(), 0);
  }
  EXPECT_EQ(g->GetTotalPoleCount(), 3);
  const int along = 0;
  g->SetPlacementScheme(&along);
  g->UpdatePolePositions(0);
  EXPECT_EQ(g->GetSubGroupCount(), 0);
  EXPECT_EQ(points->GetSize(), 0);
}

TEST(PolePlacement, PointSnapsOntoAPolygonContourAndTurnsThePole)
{
  ColourDocument doc;  // snap radius 2 x 0.5
  SiteGroup g(&doc);
  IPrimitive* square = g.site->GetFirstPrimitive();  // (5, 5) (-5, 5) (-5, -5) (5, -5), counter-clockwise
  square->SetContourOffset(1);
  // Near the middle of the top edge of the contour, y = 6.
  double point[3] = {0.3, 6.4, 0};
  EXPECT_EQ(g->SnapToPrimitiveOutline(point), 0);
  EXPECT_NEAR(point[0], 0.3, 1e-9);
  EXPECT_NEAR(point[1], 6, 1e-9);
  IPole* pole = g->GetFirstPole();
  // The edge runs toward -x: turned a quarter from its direction.
  EXPECT_NEAR(*pole->GetRotation(), -90, 1e-9);
  // Near a contour corner: onto it.
  double corner[3] = {-5.6, 5.7, 0};
  g->SnapToPrimitiveOutline(corner);
  EXPECT_NEAR(corner[0], -6, 1e-9);
  EXPECT_NEAR(corner[1], 6, 1e-9);
  // Far from every contour: stays.
  double far[3] = {0, 0, 0};
  g->SnapToPrimitiveOutline(far);
  EXPECT_EQ(far[0], 0);
  EXPECT_EQ(far[1], 0);
}

// ---- Handles ----

// A document whose marker size is asked in the middle of a drag: it tries a nested drag and notes the answer.
class ReentrantDocument : public ColourDocument {
public:
  double GetMarkerSize() override
  {
    if (group) {
      double x = 99, y = 99;
      nestedAnswer = group->DragHandle(&x, &y, 100);
    }
    return ColourDocument::GetMarkerSize();
  }
  IGroupOfDev* group = nullptr;
  int nestedAnswer = -7;
};

void Place(IPole* pole, double x, double y)
{
  const double xyz[3] = {x, y, pole->GetPosition()[2]};
  pole->SetPosition(xyz);
}

TEST(PoleDrag, MoveSnapsAPoleOntoAContourAndRefusesNestedDrags)
{
  ReentrantDocument doc;
  SiteGroup g(&doc);
  doc.group = g.group;
  g.site->GetFirstPrimitive()->SetContourOffset(1);
  double x = 0.2, y = 6.3;
  EXPECT_EQ(g->DragHandle(&x, &y, 100), 1);
  EXPECT_EQ(doc.nestedAnswer, 0);
  const double* p = g->GetFirstPole()->GetPosition();
  EXPECT_NEAR(p[0], 0.2, 1e-9);
  EXPECT_NEAR(p[1], 6, 1e-9);
  doc.group = nullptr;
  // Away from every contour the single pole goes where it is put and stays there.
  x = 20, y = -20;
  EXPECT_EQ(g->DragHandle(&x, &y, 908), 1);
  EXPECT_EQ(g->GetFirstPole()->GetPosition()[0], 20);
  EXPECT_EQ(g->GetFirstPole()->GetPosition()[1], -20);
  EXPECT_EQ(g->DragHandle(&x, &y, -1), 0);
  EXPECT_EQ(g->DragHandle(&x, &y, 555), 0);
}

TEST(PoleDrag, LineOfPolesMovesTurnsAndSpreads)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const int line = 1;
  g->SetPlacementScheme(&line);
  const int three = 3;
  g->SetPoleCount(&three);
  IPole* first = g->GetFirstPole();
  IPole* second = first->GetNext();
  IPole* third = second->GetNext();
  Place(first, 0, 0);
  Place(second, 10, 0);
  g->PlacePoles(4);
  EXPECT_EQ(third->GetPosition()[0], 20);
  double x = 5, y = 5;
  EXPECT_EQ(g->DragHandle(&x, &y, 100), 1);  // the whole line follows
  EXPECT_EQ(third->GetPosition()[0], 25);
  EXPECT_EQ(third->GetPosition()[1], 5);
  x = 5, y = 25;
  EXPECT_EQ(g->DragHandle(&x, &y, 907), 1);  // the line turns up about the first pole
  EXPECT_NEAR(second->GetPosition()[0], 5, 1e-9);
  EXPECT_NEAR(second->GetPosition()[1], 15, 1e-9);
  EXPECT_NEAR(third->GetPosition()[1], 25, 1e-9);
  x = 7, y = 13;
  EXPECT_EQ(g->DragHandle(&x, &y, 906), 1);  // spacing 8 along the line
  EXPECT_NEAR(third->GetPosition()[1], 21, 1e-9);
  x = 7, y = -3;
  EXPECT_EQ(g->DragHandle(&x, &y, 906), 0);  // behind the first pole
  EXPECT_NEAR(third->GetPosition()[1], 21, 1e-9);
}

TEST(PoleDrag, TurnPointsTheBracketAtThePointer)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  IPole* first = g->GetFirstPole();
  Place(first, 2, 3);
  double x = 2, y = 13;
  EXPECT_EQ(g->DragHandle(&x, &y, 900), 1);
  EXPECT_NEAR(*first->GetRotation(), 90, 1e-9);
  x = 2, y = 3;
  EXPECT_EQ(g->DragHandle(&x, &y, 900), 0);
  EXPECT_NEAR(*first->GetRotation(), 90, 1e-9);
}

TEST(PoleDrag, CircleStepFromTheAngleAtTheBasePoint)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const int circle = 2;
  g->SetPlacementScheme(&circle);
  const int two = 2;
  g->SetPoleCount(&two);
  const double base[3] = {0, 0, 0};
  g->SetBasePoint(base);
  Place(g->GetFirstPole(), 10, 0);
  for (const auto& [x0, y0, step] : {std::tuple{0.0, 10.0, 90.0}, {0.0, -10.0, 270.0}, {-10.0, 0.0, 180.0}}) {
    double x = x0, y = y0;
    EXPECT_EQ(g->DragHandle(&x, &y, 902), 1);
    EXPECT_NEAR(*g->GetAngularStep(), step, 1e-9);
  }
  double x = 3, y = 4;
  EXPECT_EQ(g->DragHandle(&x, &y, 904), 1);
  EXPECT_EQ(g->GetBasePoint()[0], 3);
  EXPECT_EQ(g->GetFirstPole()->GetPosition()[0], 13);
}

TEST(PoleDrag, OutreachOnlyInFrontOfThePoleAndForTheWholeContourPlacement)
{
  FakeDocument doc;
  SiteGroup g(&doc);
  const int contour = 3;
  g->SetPlacementScheme(&contour);
  CArray<_CSPOINT3D>* points = nullptr;
  g->GetContourPoints(&points);
  points->Add(_CSPOINT3D{0, 0, 0, 0, 0});
  points->Add(_CSPOINT3D{30, 0, 0, 0, 0});
  g->UpdatePolePositions(0);
  ASSERT_EQ(g->GetSubGroupCount(), 2);
  auto* sub = static_cast<CGroupOfDev*>(g->GetFirstSubGroup());
  auto* sibling = static_cast<CGroupOfDev*>(sub->GetNext());
  const double before = sibling->GetFirstPole()->GetOutreach(0);
  // The first sub-group's pole stands at (0, -1) with its bracket turned to 90: toward +y.
  double x = 0, y = -3;
  EXPECT_EQ(sub->DragHandle(&x, &y, 901), 0);
  EXPECT_EQ(sibling->GetFirstPole()->GetOutreach(0), before);
  x = 0, y = 0.5;
  EXPECT_EQ(sub->DragHandle(&x, &y, 901), 1);
  EXPECT_NEAR(sub->GetFirstPole()->GetOutreach(0), 1.5, 1e-9);
  EXPECT_NEAR(sibling->GetFirstPole()->GetOutreach(0), 1.5, 1e-9);
  // The parent's pole keeps its catalogue values; its own outreach (what a mounting kind of 1 reads) is set.
  EXPECT_NEAR(g->GetFirstPole()->GetOutreach(1), 1.5, 1e-9);
}

}  // namespace
