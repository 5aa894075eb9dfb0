#include "archive_bytes.h"
#include "open_territory_support.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using namespace ObjectModel;

constexpr double kEps = 1e-9;
constexpr DWORD kNow = kCurrentFormatVersion;

void ExpectPoint(const double* p, double x, double y)
{
  EXPECT_NEAR(p[0], x, kEps);
  EXPECT_NEAR(p[1], y, kEps);
}

// The area point of the local point (u, v) of a shape.
void AreaPoint(IPrimitive* p, double u, double v, double out[2])
{
  double c[3];
  p->GetCentre(c);
  const double t = p->GetRotation() * std::numbers::pi / 180;
  out[0] = c[0] + u * std::cos(t) - v * std::sin(t);
  out[1] = c[1] + u * std::sin(t) + v * std::cos(t);
}

// A rectangle of size 1 = 10 across and size 2 = 20 along, at centre (cx, cy) turned by rotation degrees.
void MakeRectangle(IPrimitive* p, double rotation, double cx = 0, double cy = 0)
{
  p->SetSize1(10);
  p->SetSize2(20);
  p->SetRotation(rotation);
  const double c[3] = {cx, cy, 0};
  p->SetCentre(c);
}

// ---- Handles ----

TEST(PrimitiveDrag, CornerKeepsTheAspectAndTheOppositeCornerWhateverTheRotation)
{
  FakeDocument doc;
  for (double rotation : {0.0, 90.0, 30.0, -135.0}) {
    SCOPED_TRACE(rotation);
    PrimitiveHolder p(&doc);
    MakeRectangle(p.iface, rotation, 100, 50);
    _PRIMITIVE_INFO_1 before{};
    p->GetCalcInfo(&before);
    double pointer[2];
    AreaPoint(p.iface, -15, 0, pointer);
    EXPECT_EQ(p->DragHandle(&pointer[0], &pointer[1], 1), 1);
    EXPECT_NEAR(*p->GetSize2(), 25, kEps);
    EXPECT_NEAR(*p->GetSize1(), 12.5, kEps);
    _PRIMITIVE_INFO_1 after{};
    p->GetCalcInfo(&after);
    ExpectPoint(after.points[2], before.points[2][0], before.points[2][1]);
  }
}

TEST(PrimitiveDrag, HandlesRefuseThePointerOnTheWrongSide)
{
  FakeDocument doc;
  struct Case {
    UINT handle;
    double u, v;
  };
  for (const Case& c : {Case{1, 5, 0}, Case{2, -5, 0}, Case{3, -1, 3}, Case{4, 2, 2}, Case{5, 0, -1}, Case{7, 0, 1},
                        Case{6, 1, 0}, Case{8, -1, 0}, Case{12, 3, 3}}) {
    SCOPED_TRACE(c.handle);
    PrimitiveHolder p(&doc);
    MakeRectangle(p.iface, 0);
    double x = c.u;
    double y = c.v;
    EXPECT_EQ(p->DragHandle(&x, &y, c.handle), 0);
    EXPECT_EQ(*p->GetSize1(), 10);
    EXPECT_EQ(*p->GetSize2(), 20);
    double centre[3];
    p->GetCentre(centre);
    ExpectPoint(centre, 0, 0);
  }
}

TEST(PrimitiveDrag, EdgesMoveOneSideOnly)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  MakeRectangle(p.iface, 0);
  double x = 0, y = 8;
  EXPECT_EQ(p->DragHandle(&x, &y, 5), 1);
  EXPECT_NEAR(*p->GetSize1(), 13, kEps);
  double centre[3];
  p->GetCentre(centre);
  ExpectPoint(centre, 0, 1.5);  // the bottom edge stays at -5
  x = -14, y = 1.5;
  EXPECT_EQ(p->DragHandle(&x, &y, 6), 1);
  EXPECT_NEAR(*p->GetSize2(), 24, kEps);
  p->GetCentre(centre);
  ExpectPoint(centre, -2, 1.5);  // the right edge stays at 10
}

TEST(PrimitiveDrag, RingSectorInnerRadiusFollowsTheOuter)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  const int ring = kShapeRingSector;
  p->SetShape(&ring);
  p->SetSize2(10);
  EXPECT_EQ(*p->GetSize1(), 10);
  double x = 10, y = 0;
  EXPECT_EQ(p->DragHandle(&x, &y, 8), 1);
  EXPECT_NEAR(*p->GetSize2(), 15, kEps);
  EXPECT_NEAR(*p->GetInnerRadius(), 3, kEps);
}

TEST(PrimitiveDrag, RotationTurnsAndWrapsIntoPlusMinus180)
{
  FakeDocument doc;
  struct Case {
    double start, turn, expected;
  };
  for (const Case& c : {Case{170, 30, -160}, Case{-170, -30, 160}, Case{0, 45, 45}, Case{10, -100, -90}}) {
    SCOPED_TRACE(c.start);
    PrimitiveHolder p(&doc);
    MakeRectangle(p.iface, c.start, 3, 4);
    // The pointer where the rotation handle would be after the turn.
    const double a = (c.start + c.turn + 90) * std::numbers::pi / 180;
    double x = 3 + 7 * std::cos(a);
    double y = 4 + 7 * std::sin(a);
    EXPECT_EQ(p->DragHandle(&x, &y, 9), 1);
    EXPECT_NEAR(p->GetRotation(), c.expected, 1e-7);
  }
  PrimitiveHolder p(&doc);
  MakeRectangle(p.iface, 20, 3, 4);
  double x = 3, y = 4;
  EXPECT_EQ(p->DragHandle(&x, &y, 9), 0);
  EXPECT_EQ(p->GetRotation(), 20);
}

TEST(PrimitiveDrag, BodyFollowsThePointerFromTheDragOrigin)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  double x = 3, y = 4;
  EXPECT_EQ(p->DragHandle(&x, &y, 0), 1);
  EXPECT_EQ(p->DragHandle(&x, &y, 0), 0);
  double centre[3];
  p->GetCentre(centre);
  ExpectPoint(centre, 3, 4);
}

// ---- Triangle through three points ----

TEST(PrimitiveTriangle, ThroughThreePointsAsWorkedByHand)
{
  FakeDocument doc;
  struct Case {
    double a[2], b[2], c[2];
    double base, height, offset, rotation, cx, cy;
  };
  for (const Case& k : {Case{{0, 0}, {4, 0}, {1, 2}, 4, 2, -0.5, 0, 2, 1}, Case{{0, 0}, {4, 0}, {2, 1}, 4, 1, 0, 0, 2, 0.5},
                        // clockwise input: the same triangle
                        Case{{0, 0}, {1, 2}, {4, 0}, 4, 2, -0.5, 0, 2, 1}}) {
    PrimitiveHolder p(&doc);
    p->SetTriangleThrough(k.a, k.b, k.c);
    EXPECT_EQ(*p->GetShape(), kShapeTriangle);
    EXPECT_NEAR(*p->GetSize2(), k.base, kEps);
    EXPECT_NEAR(*p->GetSize1(), k.height, kEps);
    EXPECT_NEAR(*p->GetVertexOffset(), k.offset, kEps);
    EXPECT_NEAR(p->GetRotation(), k.rotation, kEps);
    double centre[3];
    p->GetCentre(centre);
    ExpectPoint(centre, k.cx, k.cy);
    EXPECT_EQ(centre[2], 0);
  }
}

TEST(PrimitiveTriangle, GoesThroughItsPointsInAnyOrderAndDirection)
{
  FakeDocument doc;
  const double triangles[][3][2] = {{{0, 0}, {4, 0}, {1, 2}},     {{5, 5}, {-3, 7}, {1, -6}},   {{0, 0}, {-4, 1}, {-1, -3}},
                                    {{2, 9}, {2, 1}, {-5, 4}},     {{-1, -1}, {-8, -2}, {-3, 5}}, {{0, 0}, {1, 10}, {-1, 10}}};
  for (const auto& t : triangles) {
    for (int order = 0; order < 6; ++order) {
      static constexpr int kOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
      PrimitiveHolder p(&doc);
      p->SetTriangleThrough(t[kOrders[order][0]], t[kOrders[order][1]], t[kOrders[order][2]]);
      _PRIMITIVE_INFO_1 info{};
      p->GetInfo(&info);
      for (const auto& input : t) {
        const bool met = std::any_of(std::begin(info.points), std::begin(info.points) + 3, [&](const double* q) {
          return std::hypot(q[0] - input[0], q[1] - input[1]) < 1e-9;
        });
        EXPECT_TRUE(met) << input[0] << ", " << input[1] << " order " << order;
      }
    }
  }
}

// ---- Contour ----

std::vector<std::pair<double, double>> ContourOf(IPrimitive* p)
{
  CArray<_CSPOINT3D>* contour = nullptr;
  p->GetContour(&contour);
  std::vector<std::pair<double, double>> out;
  for (const _CSPOINT3D& q : *contour)
    out.emplace_back(q.x, q.y);
  return out;
}

void ExpectContour(IPrimitive* p, const std::vector<std::pair<double, double>>& expected)
{
  const auto got = ContourOf(p);
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].first, expected[i].first, 1e-9) << i;
    EXPECT_NEAR(got[i].second, expected[i].second, 1e-9) << i;
  }
}

TEST(PrimitiveContour, RectangleOutsideOrInsideBySide)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  MakeRectangle(p.iface, 0);
  EXPECT_EQ(p->SetContourOffset(1), 0);
  ExpectContour(p.iface, {{-11, -6}, {11, -6}, {11, 6}, {-11, 6}});
  p->SetContourSide(1);
  p->RebuildContour();
  ExpectContour(p.iface, {{-9, -4}, {9, -4}, {9, 4}, {-9, 4}});
}

TEST(PrimitiveContour, TriangleContourLiesInsideForSideZero)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  const double a[2] = {0, 0}, b[2] = {10, 0}, c[2] = {5, 8};
  p->SetTriangleThrough(a, b, c);
  EXPECT_EQ(p->SetContourOffset(0.5), 0);
  const auto contour = ContourOf(p.iface);
  ASSERT_EQ(contour.size(), 3u);
  for (const auto& [x, y] : contour) {
    EXPECT_GT(y, 0);
    EXPECT_LT(y, 8 - 8.0 / 5 * std::fabs(x - 5));
  }
}

TEST(PrimitiveContour, CollinearVerticesAreOffsetAcrossTheirEdgeWhicheverWayItRuns)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  // (10, 5) lies between two vertices of equal x, (5, 10) between two of equal y.
  SetOutline(p.iface, {{0, 0}, {10, 0}, {10, 5}, {10, 10}, {5, 10}, {0, 10}});
  EXPECT_EQ(p->SetContourOffset(1), 0);
  ExpectContour(p.iface, {{-1, -1}, {11, -1}, {11, 5}, {11, 11}, {5, 11}, {-1, 11}});
}

TEST(PrimitiveContour, SpikeWhereTheOutlineDoublesBackStaysFinite)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {10, 0}, {10, 10}, {5, 10}, {5, 15}, {5, 10}, {0, 10}});
  EXPECT_EQ(p->SetContourOffset(1), 0);
  const auto contour = ContourOf(p.iface);
  ASSERT_EQ(contour.size(), 7u);
  for (const auto& [x, y] : contour) {
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
    EXPECT_LE(std::fabs(x - 5), 6.5);
    EXPECT_LE(std::fabs(y - 7.5), 9);
  }
  EXPECT_NEAR(contour[4].first, 5, kEps);  // beyond the tip of the spike
  EXPECT_NEAR(contour[4].second, 16, kEps);
}

TEST(PrimitiveContour, NoContourForCurvesAndNoNegativeOffset)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  const int ellipse = kShapeEllipse;
  p->SetShape(&ellipse);
  EXPECT_EQ(p->SetContourOffset(3), 0);
  EXPECT_TRUE(ContourOf(p.iface).empty());
  EXPECT_EQ(p->SetContourOffset(-1), 1);
  EXPECT_EQ(p->SetContourOffset(std::nan("")), 1);
  EXPECT_EQ(*p->GetContourOffset(), 3);
  PrimitiveHolder two(&doc);
  SetOutline(two.iface, {{0, 0}, {1, 0}});
  EXPECT_EQ(two->RebuildContour(), 1);
}

// ---- Vertex editing ----

CArray<_CSPOINT3D>& OutlineOf(IPrimitive* p)
{
  CArray<_CSPOINT3D>* outline = nullptr;
  p->GetOutline(&outline);
  return *outline;
}

TEST(PrimitiveVertices, DragAcrossAnEdgeIsRefusedAndEndsTheDrag)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  OutlineOf(p.iface)[2].flags = 0x1;
  const double across[3] = {-5, 5, 0};
  EXPECT_EQ(p->MoveCurrentVertex(across, 0), 0);
  EXPECT_EQ(OutlineOf(p.iface)[2].x, 10);
  EXPECT_EQ(OutlineOf(p.iface)[2].flags & 0x1, 0);
  OutlineOf(p.iface)[2].flags = 0x1;
  const double out[3] = {12, 13, 0};
  EXPECT_EQ(p->MoveCurrentVertex(out, 0), 1);
  EXPECT_EQ(OutlineOf(p.iface)[2].x, 12);
  EXPECT_EQ(OutlineOf(p.iface)[2].flags & 0x1, 1);  // still being dragged
  const int rectangle = kShapeRectangle;
  p->SetShape(&rectangle);
  EXPECT_EQ(p->MoveCurrentVertex(out, 0), 0);
}

TEST(PrimitiveVertices, SnapToAnotherPrimitiveStrictlyInsideTheTolerance)
{
  ColourDocument doc;  // marker size 0.5
  PrimitiveHolder edited(&doc);
  PrimitiveHolder other(&doc);
  SetOutline(edited.iface, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  SetOutline(other.iface, {{20, 20}, {30, 20}, {30, 30}});
  OutlineOf(other.iface)[0].z = 3;
  edited->SetNext(other.iface);
  other->SetPrev(edited.iface);

  OutlineOf(edited.iface)[2].flags = 0x1;
  const double near[3] = {20.3, 19.8, 0};
  EXPECT_EQ(edited->MoveCurrentVertex(near, 0), 1);
  const _CSPOINT3D v = OutlineOf(edited.iface)[2];
  EXPECT_EQ(v.x, 20);
  EXPECT_EQ(v.y, 20);
  EXPECT_EQ(v.z, 3);
  EXPECT_EQ(v.flags & 0x1, 0);  // a snap ends the drag

  OutlineOf(edited.iface)[2].flags = 0x1;
  const double atTolerance[3] = {20.5, 20, 0};
  EXPECT_EQ(edited->MoveCurrentVertex(atTolerance, 0), 1);
  EXPECT_EQ(OutlineOf(edited.iface)[2].x, 20.5);

  // Its own vertices are no snap targets.
  double snapped[3];
  int membership = -1;
  const double from[3] = {5, 5, 0};
  const double onOwnVertex[3] = {0.1, 0.1, 0};
  EXPECT_EQ(edited->SnapPoint(edited.iface, from, onOwnVertex, snapped, &membership, 0), 1);
  edited->SetNext(nullptr);
  other->SetPrev(nullptr);
}

TEST(PrimitiveVertices, SelectedVertexMovesAloneAndOnlyWhereThePolygonStaysSimple)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  OutlineOf(p.iface)[0].flags = 0x1;  // current, but not the one that moves
  OutlineOf(p.iface)[2].flags = 0x2;
  const double across[2] = {-15, -5};
  p->MoveVertices(across);
  EXPECT_EQ(OutlineOf(p.iface)[2].x, 10);
  const double fine[2] = {2, 2};
  p->MoveVertices(fine);
  EXPECT_EQ(OutlineOf(p.iface)[2].x, 12);
  EXPECT_EQ(OutlineOf(p.iface)[0].x, 0);
}

TEST(PrimitiveVertices, ArrowKeysMoveAWholeSelectedPolygonByTheMarkerSize)
{
  ColourDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  EXPECT_EQ(p->OnKeyDown(0x25, 1, 0), 1);  // not selected
  EXPECT_EQ(p->TestKeyDown(0x25), 1);
  p->SetSelected(1);
  EXPECT_EQ(p->TestKeyDown(0x25), 0);
  EXPECT_EQ(p->OnKeyDown(0x26, 1, 0), 0);
  EXPECT_EQ(p->OnKeyDown(0x25, 1, 0), 0);
  for (const _CSPOINT3D& v : OutlineOf(p.iface))
    EXPECT_TRUE((v.x == -0.5 || v.x == 9.5) && (v.y == 0.5 || v.y == 10.5));
}

// ---- Pieces ----

TEST(PrimitivePieces, LShapedOutlineIsSplitInsideItself)
{
  WithGeometry geometry;
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}});
  const int sidewalk = kMemberSidewalk;
  p->SetMembership(&sidewalk);
  EXPECT_EQ(p->Triangulate(), 0);
  double area = 0;
  int pieces = 0;
  for (IPrimitive* piece = p->GetFirstChild(); piece; piece = piece->GetNext(), ++pieces) {
    EXPECT_EQ(*piece->GetShape(), kShapeTriangle);
    EXPECT_EQ(*piece->GetMembership(), kMemberSidewalk);
    area += ShapeArea(piece);
    _PRIMITIVE_INFO_1 info{};
    piece->GetInfo(&info);
    const double cx = (info.points[0][0] + info.points[1][0] + info.points[2][0]) / 3;
    const double cy = (info.points[0][1] + info.points[1][1] + info.points[2][1]) / 3;
    EXPECT_FALSE(cx > 10 && cy > 10) << cx << ", " << cy;
  }
  EXPECT_EQ(pieces, 4);
  EXPECT_NEAR(area, 300, 1e-9);
  EXPECT_EQ(p->ClearMesh(), 0);
  EXPECT_EQ(p->GetFirstChild(), nullptr);
  EXPECT_EQ(p->ClearMesh(), 1);
}

TEST(PrimitivePieces, SelfCrossingOutlineIsRefusedWithAMessage)
{
  WithGeometry geometry;
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {10, 10}, {10, 0}, {0, 10}});
  EXPECT_EQ(p->Triangulate(), 1);
  EXPECT_EQ(p->GetFirstChild(), nullptr);
  EXPECT_NE(p->OutlineFault(), nullptr);
}

TEST(PrimitivePieces, TooFewVerticesOrNotAPolygonMakeNoPieces)
{
  WithGeometry geometry;
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {10, 0}});
  EXPECT_EQ(p->Triangulate(), 1);
  EXPECT_EQ(p->GetFirstChild(), nullptr);
  PrimitiveHolder rect(&doc);
  EXPECT_EQ(rect->Triangulate(), 1);
  // Without pieces ClearMesh leaves the contour.
  PrimitiveHolder square(&doc);
  SetOutline(square.iface, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  square->SetContourOffset(1);
  EXPECT_EQ(square->ClearMesh(), 1);
  EXPECT_EQ(ContourOf(square.iface).size(), 4u);
}

TEST(PrimitivePieces, RetriangulatingKeepsTheContourAndShadingPiecesTakeTheHeight)
{
  WithGeometry geometry;
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  const int shading = kMemberShading;
  p->SetMembership(&shading);
  p->SetHeight(4);
  p->SetContourOffset(1);
  EXPECT_EQ(p->Triangulate(), 0);
  EXPECT_EQ(p->Triangulate(), 0);
  EXPECT_EQ(ContourOf(p.iface).size(), 4u);
  ASSERT_NE(p->GetFirstChild(), nullptr);
  for (IPrimitive* piece = p->GetFirstChild(); piece; piece = piece->GetNext())
    EXPECT_EQ(piece->GetHeight(), 4);
}

// ---- Membership, state and colours ----

TEST(PrimitiveColour, ElementByMembershipStateAndActiveArea)
{
  ColourDocument doc;
  SiteHolder site(&doc);
  const int active = 1;
  site->SetActive(&active);
  struct Case {
    int membership, state;
    float element;
  };
  for (const Case& c : {Case{kMemberCarriageway, 5, 1}, Case{kMemberCarriageway, 4, 2}, Case{kMemberSidewalk, 1, 11},
                        Case{kMemberSidewalk, 0, 12}, Case{kMemberBackground, 5, 14}, Case{kMemberShading, 5, 18},
                        Case{kMemberMarking, 5, 3}, Case{kMemberUnnamed, 5, 0}}) {
    PrimitiveHolder p(&doc, site.site);
    p->SetMembership(&c.membership);
    p->SetState(&c.state);
    _PREF_OF_COLOR colour{};
    p->GetFillColour(&colour);
    EXPECT_EQ(colour.r, c.element) << c.membership << " state " << c.state;
    p->SetSelected(1);
    p->GetDrawColour(&colour);
    EXPECT_EQ(colour.r, 20);
  }
  const int inactive = 0;
  site->SetActive(&inactive);
  PrimitiveHolder road(&doc, site.site);
  _PREF_OF_COLOR colour{};
  road->GetFillColour(&colour);
  EXPECT_EQ(colour.r, 2);
  PrimitiveHolder shade(&doc, site.site);
  const int shading = kMemberShading;
  shade->SetMembership(&shading);
  const _PREF_OF_COLOR own{0.25f, 0.5f, 0.75f};
  shade->SetColour(&own);
  shade->GetFillColour(&colour);
  EXPECT_EQ(colour.g, 0.5f);
}

TEST(PrimitiveColour, PiecesTakeTheStateAndSelectionOfTheirPolygon)
{
  WithGeometry geometry;
  ColourDocument doc;
  SiteHolder site(&doc);
  const int active = 1;
  site->SetActive(&active);
  PrimitiveHolder p(&doc, site.site);
  SetOutline(p.iface, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  p->Triangulate();
  IPrimitive* piece = p->GetFirstChild();
  ASSERT_NE(piece, nullptr);
  _PREF_OF_COLOR colour{};
  piece->GetFillColour(&colour);
  EXPECT_EQ(colour.r, 1);
  const int off = 4;
  p->SetState(&off);
  piece->GetFillColour(&colour);
  EXPECT_EQ(colour.r, 2);
  p->SetSelected(1);
  piece->GetDrawColour(&colour);
  EXPECT_EQ(colour.r, 20);
}

TEST(PrimitiveDefaults, NewPrimitiveAndItsInterfaces)
{
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  EXPECT_EQ(*p->GetShape(), kShapeRectangle);
  EXPECT_EQ(*p->GetMembership(), kMemberCarriageway);
  EXPECT_EQ(*p->GetState(), 5);
  EXPECT_STREQ(static_cast<const char*>(*p->GetName()), "Примитив - 1");
  EXPECT_EQ(*p->GetArcDetail(), 6);
  EXPECT_EQ(*p->GetSectorAngle(), 360);
  void* out = nullptr;
  EXPECT_EQ(p->QueryInterface(&IID_IQorRoadDoc, &out), S_OK);
  EXPECT_EQ(out, static_cast<IQorRoadDoc*>(&doc));
  PrimitiveHolder orphan(nullptr);
  EXPECT_EQ(orphan->QueryInterface(&IID_IQorRoadDoc, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  // A polygon answers no centre and no rotation whatever the fields hold.
  const double c[3] = {1, 2, 3};
  p->SetCentre(c);
  p->SetRotation(30);
  SetOutline(p.iface, {{0, 0}, {1, 0}, {0, 1}});
  double centre[3];
  p->GetCentre(centre);
  EXPECT_EQ(centre[0] + centre[1] + centre[2], 0);
  EXPECT_EQ(p->GetRotation(), 0);
}

// ---- Stored form ----

void Guid(Bytes& b, std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::uint8_t last)
{
  b.u32(d1).u16(d2).u16(d3);
  const std::uint8_t d4[8] = {1, 2, 3, 4, 5, 6, 7, last};
  b.raw(d4, 8);
}

void Point(Bytes& b, double x, double y, double z, std::int32_t flags)
{
  b.f64(x).f64(y).f64(z).i32(flags).i32(0);
}

// Shape, name, membership, state, centre, sizes and rotation: every version has them.
Bytes Head(std::int32_t shape)
{
  Bytes b;
  b.i32(shape).str("Примитив - 7").i32(2).i32(5).f64s({1, 2, 3}).f64s({10, 20, 30});
  return b;
}

Bytes EmptySurface()
{
  Bytes b;
  b.f64s({0, 0, 0, 0, 0}).i32(0).i32(0).i32(0).i32(0).i32(0);
  return b;
}

// A polygon of three vertices at the current version.
Bytes PolygonFixture()
{
  Bytes b = Head(4);
  b.f64s({2.5, 180}).f64(0.25).i32(12);
  b.u16(3);
  Point(b, 0, 0, 0, 0);
  Point(b, 10, 0, 0, 2);
  Point(b, 0, 10, 0, 0);
  b.i32(0);                                                       // pieces
  b.i32(1).f32s({0.5f, 0.25f, 0.125f}).i32(0).f64(1.0);           // own colour, contour side and offset
  b.append(EmptySurface());
  Guid(b, 0x11223344, 0x5566, 0x7788, 9);
  b.f64(0.75).i32(1);
  return b;
}

std::vector<std::uint8_t> Save(IPrimitive* p, DWORD version = kNow)
{
  StoringArchive out;
  p->Serialize(out.get(), version);
  return out.bytes();
}

TEST(PrimitiveFile, PolygonLoadsFieldByFieldAndSavesTheSameBytes)
{
  FakeDocument doc;
  const Bytes fixture = PolygonFixture();
  PrimitiveHolder p(&doc);
  LoadingArchive in(fixture.data());
  ASSERT_EQ(p->Serialize(in.get(), kNow), 0);
  EXPECT_EQ(*p->GetShape(), 4);
  EXPECT_STREQ(static_cast<const char*>(*p->GetName()), "Примитив - 7");
  EXPECT_EQ(*p->GetMembership(), 2);
  EXPECT_EQ(*p->GetSize1(), 10);
  EXPECT_EQ(*p->GetInnerRadius(), 2.5);
  EXPECT_EQ(*p->GetVertexOffset(), 0.25);
  EXPECT_EQ(*p->GetArcDetail(), 12);
  ASSERT_EQ(OutlineOf(p.iface).GetSize(), 3);
  EXPECT_EQ(OutlineOf(p.iface)[1].flags, 2);
  EXPECT_EQ(ContourOf(p.iface).size(), 3u);  // rebuilt on loading
  EXPECT_EQ(*p->GetContourOffset(), 1.0);
  CGuid kind;
  p->GetGroupKind(&kind);
  EXPECT_EQ(kind.Value().Data1, 0x11223344u);
  EXPECT_EQ(p->GetBaseHeight(), 0.75);
  EXPECT_EQ(*p->GetMarkingKind(), 1);
  double drag[3];
  p->GetDragOrigin(drag);
  EXPECT_EQ(drag[2], 3);
  EXPECT_EQ(Save(p.iface), fixture.data());
}

TEST(PrimitiveFile, OlderFilesLackTheirLaterFields)
{
  FakeDocument doc;
  // 4.1: no outline and what follows it.
  Bytes v41 = Head(4);
  v41.f64s({2.5, 180}).f64(0.25).i32(12).i32(0x5EED);  // and what follows in the file
  PrimitiveHolder p(&doc);
  SetOutline(p.iface, {{0, 0}, {1, 0}, {0, 1}});
  LoadingArchive in(v41.data());
  p->Serialize(in.get(), MakeFormatVersion(4, 1, 0, 0));
  std::int32_t next = 0;
  *in.get() >> next;
  EXPECT_EQ(next, 0x5EED);
  EXPECT_EQ(OutlineOf(p.iface).GetSize(), 0);
  EXPECT_EQ(*p->GetContourOffset(), 0);
  // 4.0.10: no inner radius, sector angle, vertex offset or arc detail.
  Bytes v40 = Head(3);
  PrimitiveHolder ring(&doc);
  const double r = 7;
  ring->SetInnerRadius(&r);
  LoadingArchive in40(v40.data());
  ring->Serialize(in40.get(), MakeFormatVersion(4, 0, 10, 0));
  EXPECT_EQ(*ring->GetInnerRadius(), 2.0);
  EXPECT_EQ(*ring->GetSectorAngle(), 360.0);
  EXPECT_EQ(*ring->GetArcDetail(), 6);
}

TEST(PrimitiveFile, SurfaceBlockIsKeptAsItWasRead)
{
  FakeDocument doc;
  Bytes b = Head(1);
  b.f64s({2, 360}).f64(0).i32(6).u16(0).i32(0).i32(0).f32s({0, 0, 0}).i32(0).f64(0);
  b.f64s({1, 2, 3, 4, 5}).i32(2);
  b.i32(1).f64s({1, 2, 3, 0, 0, 1, 7.5, 0.1, 0.2, 0.3}).i32(0);  // one mesh point
  b.i32(0).i32(0);                                                // no triangles
  b.i32(1).f64(7.5).i32(1).i32(1);                               // a level, a curve, a segment
  b.f64s({0, 0, 0, 0, 0, 1}).i32(1).f64s({1, 0, 0, 0, 0, 1}).i32(1).i32(0).f64(1.0).i32(1);
  Guid(b, 1, 2, 3, 4);
  b.f64(0).i32(0);
  PrimitiveHolder p(&doc);
  LoadingArchive in(b.data());
  p->Serialize(in.get(), kNow);
  EXPECT_EQ(Save(p.iface), b.data());
}

TEST(PrimitiveFile, HostileCountsAndNestingAreRefusedBeforeAllocating)
{
  FakeDocument doc;
  auto refused = [&doc](const Bytes& b) {
    PrimitiveHolder p(&doc);
    LoadingArchive in(b.data());
    return ArchiveErrorOf([&] { p->Serialize(in.get(), kNow); }) != -1;
  };
  Bytes tail = Head(4);
  tail.f64s({2, 360}).f64(0).i32(6);
  Bytes hugeOutline = tail;
  hugeOutline.u16(0xFFFF).u32(0x7FFFFFFF);
  EXPECT_TRUE(refused(hugeOutline));
  Bytes hugePieces = tail;
  hugePieces.u16(0).i32(0x7FFFFFFF);
  EXPECT_TRUE(refused(hugePieces));
  Bytes negativePieces = tail;
  negativePieces.u16(0).i32(-1);
  EXPECT_TRUE(refused(negativePieces));
  // A piece that has pieces of its own, every block complete: a polygon's pieces are triangles.
  Bytes rest;
  rest.i32(0).f32s({0, 0, 0}).i32(0).f64(0).append(EmptySurface());
  Guid(rest, 1, 2, 3, 4);
  rest.f64(0).i32(0);
  Bytes leaf = tail;
  leaf.u16(0).i32(0).append(rest);
  Bytes piece = tail;
  piece.u16(0).i32(1).append(leaf).append(rest);
  Bytes nested = tail;
  nested.u16(0).i32(1).append(piece).append(rest);
  EXPECT_TRUE(refused(nested));
  Bytes flat = tail;
  flat.u16(0).i32(1).append(leaf).append(rest);
  EXPECT_FALSE(refused(flat));
  Bytes hugeSurface = Head(1);
  hugeSurface.f64s({2, 360}).f64(0).i32(6).u16(0).i32(0).f32s({0, 0, 0}).i32(0).f64(0).i32(0);
  hugeSurface.f64s({0, 0, 0, 0, 0}).i32(0).i32(0x7FFFFFFF);
  EXPECT_TRUE(refused(hugeSurface));
}

TEST(PrimitiveFile, EveryTruncationIsAnArchiveError)
{
  FakeDocument doc;
  const Bytes fixture = PolygonFixture();
  for (size_t n = 0; n < fixture.size(); ++n) {
    std::vector<std::uint8_t> cut(fixture.data().begin(), fixture.data().begin() + static_cast<long>(n));
    PrimitiveHolder p(&doc);
    LoadingArchive in(cut);
    EXPECT_NE(ArchiveErrorOf([&] { p->Serialize(in.get(), kNow); }), -1) << n;
  }
}

TEST(PrimitiveFile, CopyCarriesPiecesAndEveryStoredField)
{
  WithGeometry geometry;
  FakeDocument doc;
  PrimitiveHolder p(&doc);
  LoadingArchive in(PolygonFixture().data());
  p->Serialize(in.get(), kNow);
  p->Triangulate();
  PrimitiveHolder copy(&doc);
  p->CopyTo(copy.p, 0);
  EXPECT_EQ(Save(copy.iface), Save(p.iface));
  EXPECT_NE(copy->GetFirstChild(), nullptr);
}

}  // namespace
