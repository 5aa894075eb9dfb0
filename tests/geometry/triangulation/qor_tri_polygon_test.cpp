#include "geometry/triangulation/qor_tri_polygon.h"

#include "model/version.h"
#include "platform/mfc-core/exceptions.h"
#include "tests/model/archive_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace {

struct P3 {
  double x, y, z;
};

// The surface's way in: outline points, their constraints, the polygon.
void LoadOutline(CQorTriPolygon& polygon, const std::vector<P3>& outline)
{
  MeshPointList list;
  for (const P3& p : outline) {
    AddMeshPoint(p.x, p.y, p.z, list);
  }
  LinkOutlineEdges(list);
  AppendPoints(polygon, list);
}

bool Triangulate(CQorTriPolygon& polygon)
{
  CTriSweep* holder = nullptr;
  return TriangulatePolygon(holder, polygon);
}

TEST(MeshRefinement, DivisionCountOfASegment)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::tuple<double, double, int>> cases = {
      {10.0, 2.5, 4},   // a whole number of steps: 3 points
      {10.5, 2.5, 5},   // 4 points
      {2.0, 2.5, 1},    // shorter than the step: none
      {2.5, 2.5, 1},
      {0.3, 0.1, 3},    // 2.9999999999999996 steps
      {10.0, 0.0, 1},   // no step: the segment stays whole rather than dividing by zero
      {10.0, -1.0, 1},
      {10.0, nan, 1},
  };
  for (const auto& [length, step, count] : cases) {
    EXPECT_EQ(DivisionCount(length, step), count) << length << " by " << step;
  }
}

TEST(MeshRefinement, OutlineDividedInOrderFromTheClosingEdge)
{
  // A 10 x 10.5 rectangle at step 2.5: 3 points on each 10 m side, 4 on each 10.5 m side.
  CQorTriPolygon polygon;
  LoadOutline(polygon, {{0, 0, 0}, {10, 0, 0}, {10, 10.5, 0}, {0, 10.5, 0}});
  ASSERT_TRUE(Triangulate(polygon));
  polygon.CollectTriangles();
  polygon.Refine(2.5);

  const std::vector<std::pair<double, double>> ring = {
      {0, 8.4}, {0, 6.3}, {0, 4.2}, {0, 2.1}, {0, 0}, {2.5, 0}, {5, 0}, {7.5, 0}, {10, 0},
      {10, 2.1}, {10, 4.2}, {10, 6.3}, {10, 8.4}, {10, 10.5}, {7.5, 10.5}, {5, 10.5}, {2.5, 10.5}, {0, 10.5}};
  ASSERT_GT(polygon.points.size(), ring.size());
  for (size_t i = 0; i < ring.size(); ++i) {
    EXPECT_NEAR(polygon.points[i]->x, ring[i].first, 1e-12) << i;
    EXPECT_NEAR(polygon.points[i]->y, ring[i].second, 1e-12) << i;
  }
  // Division points carry the normal of the triangle on their edge.
  EXPECT_EQ(polygon.Point(0)->flags & kMeshPointNormalSet, kMeshPointNormalSet);
  EXPECT_DOUBLE_EQ(polygon.Point(0)->normal.z, 1.0);

  // The denser set triangulates again; every boundary step is within the step, and the triangles tile it.
  ASSERT_TRUE(Triangulate(polygon));
  double area = 0.0;
  for (const auto& t : polygon.triangles) {
    const CTriPoint& a = *t->points[0];
    const CTriPoint& b = *t->points[1];
    const CTriPoint& c = *t->points[2];
    const double twice = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    EXPECT_GT(twice, 0.0);
    area += twice / 2.0;
    for (int k = 0; k < 3; ++k) {
      if (t->constrained[k]) {
        const CTriPoint& u = *t->points[(k + 1) % 3];
        const CTriPoint& v = *t->points[(k + 2) % 3];
        EXPECT_LE(std::hypot(u.x - v.x, u.y - v.y), 2.5 + 1e-9);
      }
    }
  }
  EXPECT_NEAR(area, 105.0, 1e-9);
  // Every point of the refined set is a corner of the new mesh.
  std::set<const CTriPoint*> corners;
  for (const auto& t : polygon.triangles) {
    corners.insert(t->points, t->points + 3);
  }
  EXPECT_EQ(corners.size(), polygon.points.size());
}

TEST(MeshRefinement, ThinTriangleSplitAtItsAltitudeAndRegularOneFilledByRungs)
{
  // Sides 2, 3.16 and 3.16 at step 1: the long sides hold 3 whole steps each, so rungs parallel to the short
  // side D→E fill it, at quarters of the long sides (3.16 m make 4 parts): 1.5, 1.0 and 0.5 m long. Only the
  // first is divided, once, at its middle (1, 0.75).
  CQorTriPolygon polygon;
  polygon.step = 1.0;
  CMeshPoint d(0, 0, 0), e(2, 0, 0), v(1, 3, 0);
  CTriTriangle regular(&d, &e, &v);
  regular.ComputeNormal();
  polygon.RefineTriangle(regular, false);
  ASSERT_EQ(polygon.points.size(), 1u);
  EXPECT_DOUBLE_EQ(polygon.points[0]->x, 1.0);
  EXPECT_DOUBLE_EQ(polygon.points[0]->y, 0.75);
  EXPECT_DOUBLE_EQ(polygon.Point(0)->normal.z, 1.0);

  // Sides 10, about 7.07 and 7.07 at step 3: 3 and 2 whole steps, so the triangle is split at the foot of
  // the altitude from R = (5, 5) onto P→Q, M = (5, 0), and R→M is divided: 5 m at step 3 gives 1 point.
  CQorTriPolygon thin;
  thin.step = 3.0;
  CMeshPoint p(0, 0, 0), q(10, 0, 0), r(5, 5, 0);
  CTriTriangle wide(&p, &q, &r);
  wide.ComputeNormal();
  thin.RefineTriangle(wide, false);
  bool onAltitude = false;
  for (const auto& point : thin.points) {
    onAltitude = onAltitude || (std::fabs(point->x - 5.0) < 1e-12 && std::fabs(point->y - 2.5) < 1e-12);
  }
  EXPECT_TRUE(onAltitude);
}

TEST(MeshRefinement, PointNormalsAverageWhereTrianglesMeet)
{
  // The quadrilateral splits along (4,0)-(0,4); raising (5,5) tilts the second triangle only.
  CQorTriPolygon polygon;
  LoadOutline(polygon, {{0, 0, 0}, {4, 0, 0}, {5, 5, 1}, {0, 4, 0}});
  ASSERT_TRUE(Triangulate(polygon));
  polygon.CollectTriangles();
  ASSERT_EQ(polygon.meshTriangles.size(), 2u);
  // Tilted normal: (-4, -4, 24) / sqrt(608); shared corners: the normalised sum with (0, 0, 1).
  const double tilt = std::sqrt(608.0);
  const double sx = -4.0 / tilt, sz = 24.0 / tilt + 1.0;
  const double sum = std::sqrt(2 * sx * sx + sz * sz);
  const std::vector<P3> expected = {{0, 0, 1}, {sx / sum, sx / sum, sz / sum}, {-4 / tilt, -4 / tilt, 24 / tilt},
                                    {sx / sum, sx / sum, sz / sum}};
  for (size_t i = 0; i < 4; ++i) {
    const CMeshPoint& point = *polygon.Point(i);
    EXPECT_NEAR(point.normal.x, expected[i].x, 1e-12) << i;
    EXPECT_NEAR(point.normal.y, expected[i].y, 1e-12) << i;
    EXPECT_NEAR(point.normal.z, expected[i].z, 1e-12) << i;
  }
}

Bytes PointRecord(double x, double y, double z, double value, std::int32_t index)
{
  Bytes b;
  return b.f64s({x, y, z, 0.0, 0.0, 1.0, value, 0.25, 0.5, 0.75}).i32(index);
}

TEST(MeshRefinement, PolygonBlockMatchesItsFixture)
{
  // A triangle with one received and one mesh triangle, written field by field as the format says.
  Bytes fixture;
  fixture.i32(3)
      .append(PointRecord(0, 0, 0.04, 11.5, 0))
      .append(PointRecord(4, 0, 0.04, 12.5, 1))
      .append(PointRecord(0, 3, 0.04, 13.5, 2))
      .i32(1).i32(0).i32(1).i32(2)
      .i32(1).i32(2).i32(0).i32(1);
  ASSERT_EQ(fixture.size(), 4u + 3 * 84 + 16 + 16);

  const DWORD version = ObjectModel::MakeFormatVersion(4, 3, 5, 0);
  CQorTriPolygon loaded;
  {
    LoadingArchive ar(fixture.data());
    loaded.Serialize(*ar.get(), version);
  }
  ASSERT_EQ(loaded.points.size(), 3u);
  EXPECT_EQ(loaded.Point(1)->x, 4.0);
  EXPECT_EQ(loaded.Point(2)->value, 13.5);
  EXPECT_EQ(loaded.Point(2)->b, 0.75);
  EXPECT_EQ(loaded.Point(2)->flags, 0);
  EXPECT_EQ(loaded.Point(2)->normal.tolerance, 0.0001);
  ASSERT_EQ(loaded.triangles.size(), 1u);
  ASSERT_EQ(loaded.meshTriangles.size(), 1u);
  EXPECT_EQ(loaded.triangles[0]->points[1], loaded.points[1].get());
  EXPECT_EQ(loaded.meshTriangles[0]->points[0], loaded.points[2].get());
  EXPECT_EQ(loaded.triangles[0]->sequence, 1);
  EXPECT_DOUBLE_EQ(loaded.meshTriangles[0]->normal.z, 1.0);

  StoringArchive out;
  loaded.Serialize(*out.get(), version);
  EXPECT_EQ(out.bytes(), fixture.data());

  // Older files hold no block at all.
  StoringArchive old;
  loaded.Serialize(*old.get(), ObjectModel::MakeFormatVersion(4, 3, 4, 0));
  EXPECT_TRUE(old.bytes().empty());
}

TEST(MeshRefinement, TriangleIndexBeyondThePointsEndsTheLoad)
{
  for (std::int32_t bad : {3, -1}) {
    Bytes fixture;
    fixture.i32(3)
        .append(PointRecord(0, 0, 0, 0, 0))
        .append(PointRecord(4, 0, 0, 0, 1))
        .append(PointRecord(0, 3, 0, 0, 2))
        .i32(1).i32(0).i32(bad).i32(2)
        .i32(0);
    CQorTriPolygon loaded;
    LoadingArchive ar(fixture.data());
    bool refused = false;
    try {
      loaded.Serialize(*ar.get(), ObjectModel::kCurrentFormatVersion);
    } catch (CInvalidArgException* e) {
      refused = true;
      e->Delete();
    }
    EXPECT_TRUE(refused) << bad;
  }
  // A point count the file cannot hold is refused before anything is allocated.
  Bytes huge;
  huge.i32(50000000);
  CQorTriPolygon loaded;
  LoadingArchive ar(huge.data());
  EXPECT_EQ(ArchiveErrorOf([&] { loaded.Serialize(*ar.get(), ObjectModel::kCurrentFormatVersion); }),
            CArchiveException::endOfFile);
}

TEST(MeshRefinement, RefinedMeshRoundTrips)
{
  CQorTriPolygon polygon;
  LoadOutline(polygon, {{0, 0, 0}, {6, 0, 0.5}, {6, 4, 1}, {2, 5, 1}, {0, 4, 0}});
  ASSERT_TRUE(Triangulate(polygon));
  polygon.CollectTriangles();
  polygon.Refine(1.5);
  ASSERT_TRUE(Triangulate(polygon));
  for (size_t i = 0; i < polygon.points.size(); ++i) {
    polygon.Point(i)->value = 0.5 * static_cast<double>(i);
  }
  StoringArchive out;
  polygon.Serialize(*out.get(), ObjectModel::kCurrentFormatVersion);
  const auto bytes = out.bytes();
  CQorTriPolygon copy;
  LoadingArchive in(bytes);
  copy.Serialize(*in.get(), ObjectModel::kCurrentFormatVersion);
  ASSERT_EQ(copy.points.size(), polygon.points.size());
  for (size_t i = 0; i < polygon.points.size(); ++i) {
    EXPECT_EQ(copy.Point(i)->x, polygon.Point(i)->x);
    EXPECT_EQ(copy.Point(i)->z, polygon.Point(i)->z);
    EXPECT_EQ(copy.Point(i)->value, polygon.Point(i)->value);
    EXPECT_EQ(copy.Point(i)->normal.y, polygon.Point(i)->normal.y);
  }
  ASSERT_EQ(copy.triangles.size(), polygon.triangles.size());
  ASSERT_EQ(copy.meshTriangles.size(), polygon.meshTriangles.size());
  for (size_t k = 0; k < polygon.triangles.size(); ++k) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(static_cast<CMeshPoint*>(copy.triangles[k]->points[c])->index,
                static_cast<CMeshPoint*>(polygon.triangles[k]->points[c])->index);
    }
  }
}

}  // namespace

namespace {

// The interchange writer's path for every deck: outline, triangulate, collect, refine, triangulate again. The
// refined set is full of collinear points (divided outline edges, rungs in rows), which the sweep must take.
TEST(MeshRefinement, RefinedOutlinesTriangulateAgain)
{
  const std::vector<std::pair<const char*, std::vector<P3>>> outlines = {
      {"L shape", {{0, 0, 0}, {30, 0, 0}, {30, 8, 0}, {8, 8, 0}, {8, 40, 0}, {0, 40, 0}}},
      {"ramp", {{0, 0, 0}, {60, 0, 3}, {60, 9, 3}, {0, 9, 0}}},
      {"skewed deck", {{0, 0, 5}, {40, 10, 6}, {45, 22, 6.5}, {3, 15, 5.2}}},
      {"notched", {{0, 0, 0}, {20, 0, 0}, {20, 20, 0}, {10, 5, 0}, {0, 20, 0}}},
      {"thin strip", {{0, 0, 0}, {100, 0, 0}, {100, 0.5, 0}, {0, 0.5, 0}}},
  };
  for (const auto& [name, outline] : outlines) {
    for (double step : {0.5, 1.032796, 5.0}) {
      CQorTriPolygon polygon;
      LoadOutline(polygon, outline);
      ASSERT_TRUE(Triangulate(polygon)) << name;
      polygon.CollectTriangles();
      double outlineArea = 0.0;
      for (const auto& t : polygon.meshTriangles) {
        const CTriPoint& a = *t->points[0];
        const CTriPoint& b = *t->points[1];
        const CTriPoint& c = *t->points[2];
        outlineArea += ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2.0;
      }
      polygon.Refine(step);
      ASSERT_TRUE(Triangulate(polygon)) << name << " at step " << step;
      double area = 0.0;
      std::set<const CTriPoint*> corners;
      for (const auto& t : polygon.triangles) {
        const CTriPoint& a = *t->points[0];
        const CTriPoint& b = *t->points[1];
        const CTriPoint& c = *t->points[2];
        const double twice = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        EXPECT_GT(twice, 0.0) << name;
        area += twice / 2.0;
        corners.insert(t->points, t->points + 3);
      }
      EXPECT_NEAR(area, outlineArea, 1e-9 * outlineArea) << name << " at step " << step;
      EXPECT_EQ(corners.size(), polygon.points.size()) << name << " at step " << step;
    }
  }
}

}  // namespace

namespace {

// Refinement divides the edges of an outline the sweep refused, and the divided edges of two crossing edges meet
// at one place: that point must survive on both edges, or the second triangulation walks freed points. Whatever
// the sweep then answers, nothing is read after it is freed and no triangle comes out inverted.
TEST(MeshRefinement, CrossingOutlinesRefinedAndTriangulatedAgainStaySound)
{
  const std::vector<std::pair<const char*, std::vector<P3>>> outlines = {
      {"bow tie", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {4, 4, 0}}},
      {"figure eight", {{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}}},
      {"folded back", {{0, 0, 0}, {10, 0, 0}, {10, 5, 0}, {5, 0, 0}, {5, 8, 0}}},
  };
  for (const auto& [name, outline] : outlines) {
    for (double step : {0.5, 1.0}) {
      CQorTriPolygon polygon;
      LoadOutline(polygon, outline);
      Triangulate(polygon);
      polygon.CollectTriangles();
      polygon.Refine(step);
      Triangulate(polygon);
      for (const auto& t : polygon.triangles) {
        const CTriPoint& a = *t->points[0];
        const CTriPoint& b = *t->points[1];
        const CTriPoint& c = *t->points[2];
        EXPECT_GE((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x), 0.0) << name << " at step " << step;
      }
    }
  }
}

}  // namespace
