#include "geometry/mesh/mesh_isolines.h"

#include "../fixtures.h"
#include "mesh_support.h"
#include "model/version.h"
#include "platform/mfc-core/exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

struct P3 {
  double x, y;
};

// A refined, triangulated polygon (z = 0) with a value at every point.
void MakeMesh(CQorTriPolygon& polygon, const std::vector<P3>& outline, double step,
              const std::function<double(double, double)>& field)
{
  MeshPointList list;
  for (const P3& p : outline) {
    AddMeshPoint(p.x, p.y, 0, list);
  }
  LinkOutlineEdges(list);
  AppendPoints(polygon, list);
  CTriSweep* holder = nullptr;
  ASSERT_TRUE(TriangulatePolygon(holder, polygon));
  polygon.CollectTriangles();
  if (step > 0) {
    polygon.Refine(step);
    ASSERT_TRUE(TriangulatePolygon(holder, polygon));
  }
  for (auto& p : polygon.points) {
    static_cast<CMeshPoint*>(p.get())->value = field(p->x, p->y);
  }
}


bool OnOutline(const CMeshIsoPoint& p, double width, double height)
{
  const double e = 1e-9;
  return std::fabs(p.x) < e || std::fabs(p.y) < e || std::fabs(p.x - width) < e || std::fabs(p.y - height) < e;
}

TEST(MeshIsolines, PlanarFieldGivesOneStraightChainPerLevel)
{
  // v = x + 0.3 y over a 10 x 6 rectangle: each level is the straight line x + 0.3 y = L, from the outline to
  // the outline, whatever triangles it passes through.
  CQorTriPolygon polygon;
  MakeMesh(polygon, {{0, 0}, {10, 0}, {10, 6}, {0, 6}}, 1.0, [](double x, double y) { return x + 0.3 * y; });
  CMeshIsolineSet set;
  CMeshEdgeTable table;
  const Levels levels({0.0f, 2.37f, 4.91f, 7.13f});
  BuildAllIsolines(levels, set, table, polygon);

  ASSERT_EQ(set.levels.size(), 3u);
  for (size_t k = 0; k < 3; ++k) {
    const CMeshIsoLevel& level = *set.levels[k];
    EXPECT_EQ(level.value, levels[k + 1]);
    EXPECT_EQ(level.set, &set);
    // One open line; its start is not taken up again as a curve of one point.
    ASSERT_EQ(level.curves.size(), 1u) << level.value;
    const CMeshIsoCurve& curve = *level.curves[0];
    EXPECT_EQ(curve.closed, 0);
    EXPECT_EQ(curve.level, &level);
    EXPECT_TRUE(curve.points.empty());
    const auto& s = curve.segments;
    ASSERT_GE(s.size(), 6u);
    EXPECT_TRUE(OnOutline(s.front().a, 10, 6));
    EXPECT_TRUE(OnOutline(s.back().b, 10, 6));
    for (size_t i = 0; i < s.size(); ++i) {
      EXPECT_EQ(s[i].index, static_cast<int>(i));
      for (const CMeshIsoPoint* p : {&s[i].a, &s[i].b}) {
        EXPECT_NEAR(p->x + 0.3 * p->y, level.value, 1e-9) << "level " << level.value << " segment " << i;
        EXPECT_DOUBLE_EQ(p->z, 0.0);
      }
      if (i + 1 < s.size()) {
        EXPECT_EQ(s[i].b.x, s[i + 1].a.x);
        EXPECT_EQ(s[i].b.y, s[i + 1].a.y);
      }
      EXPECT_NEAR(s[i].length, std::hypot(s[i].b.x - s[i].a.x, s[i].b.y - s[i].a.y), 1e-12);
      // The ends touch the outline: special; inside, visible with the mesh's normal.
      const bool atEnd = i == 0 || i + 1 == s.size();
      EXPECT_EQ(s[i].flags, atEnd ? MeshIso::kSegmentVisible | MeshIso::kSegmentSpecial : MeshIso::kSegmentVisible);
      if (!atEnd) {
        EXPECT_DOUBLE_EQ(std::fabs(s[i].a.normal.z), 1.0);
      }
    }
    // The chain runs the whole way across, from one long side to the other.
    EXPECT_NEAR(std::fabs(s.back().b.y - s.front().a.y), 6.0, 1e-9);
  }
}

TEST(MeshIsolines, ClosedLoopsKeptOnlyWhenLongerThanFourSteps)
{
  // A peak of 10 at the centre of a 12 x 12 square: the level 9 ring has radius 1 (length about 6.3), the
  // level 9.9 ring radius 0.32 (about 2).
  auto peak = [](double x, double y) { return 10 - ((x - 6) * (x - 6) + (y - 6) * (y - 6)); };
  CQorTriPolygon refined;
  MakeMesh(refined, {{0, 0}, {12, 0}, {12, 12}, {0, 12}}, 0.5, peak);
  CMeshIsolineSet set;
  CMeshEdgeTable table;
  BuildAllIsolines(Levels({0.0f, 9.0f, 9.9f, 50.0f}), set, table, refined);
  ASSERT_EQ(set.levels.size(), 3u);
  ASSERT_EQ(set.levels[0]->curves.size(), 1u);
  const CMeshIsoCurve& ring = *set.levels[0]->curves[0];
  EXPECT_EQ(ring.closed, 1);
  // A closed curve's last segment returns to its first point.
  ASSERT_FALSE(ring.segments.empty());
  EXPECT_EQ(ring.segments.back().b.x, ring.segments.front().a.x);
  EXPECT_EQ(ring.segments.back().b.y, ring.segments.front().a.y);
  for (const CMeshIsoSegment& s : ring.segments) {
    // Linear interpolation of the bowl cuts inside the circle, and smoothing draws the loop in a little.
    const double r = std::hypot(s.a.x - 6, s.a.y - 6);
    EXPECT_TRUE(r > 0.7 && r < 1.0 + 1e-9) << r;
  }
  EXPECT_TRUE(set.levels[1]->curves.empty()) << "a ring shorter than four steps is dropped";
  EXPECT_TRUE(set.levels[2]->curves.empty()) << "a level no edge reaches has no curves";

  // Without a step (an unrefined mesh) no ring is too short.
  CMeshIsolineSet coarseSet;
  refined.step = 0;
  BuildAllIsolines(Levels({0.0f, 9.9f}), coarseSet, table, refined);
  ASSERT_EQ(coarseSet.levels.size(), 1u);
  EXPECT_EQ(coarseSet.levels[0]->curves.size(), 1u);

  // One level, or none: nothing is traced.
  BuildAllIsolines(Levels({0.0f}), set, table, refined);
  EXPECT_TRUE(set.levels.empty());
}

TEST(MeshIsolines, ZeroValuedEndsAndCreasesMakeSpecialPoints)
{
  // Two triangles folded along their shared edge (0,0)-(2,2): the one edge inside is a crease.
  CQorTriPolygon polygon;
  MeshPointList list;
  AddMeshPoint(0, 0, 0, list);
  AddMeshPoint(2, 0, 0, list);
  AddMeshPoint(2, 2, 0, list);
  AddMeshPoint(0, 2, 1, list);
  LinkOutlineEdges(list);
  AppendPoints(polygon, list);
  CTriSweep* holder = nullptr;
  ASSERT_TRUE(TriangulatePolygon(holder, polygon));
  ASSERT_EQ(polygon.triangles.size(), 2u);
  const double values[] = {0, 4, 4, 0};
  for (size_t i = 0; i < 4; ++i) polygon.Point(i)->value = values[i];

  CMeshIsolineSet set;
  CMeshEdgeTable table;
  BuildAllIsolines(Levels({0.0f, 1.0f}), set, table, polygon);
  ASSERT_EQ(set.levels.size(), 1u);
  ASSERT_EQ(set.levels[0]->curves.size(), 1u);
  const CMeshIsoCurve& curve = *set.levels[0]->curves[0];
  ASSERT_FALSE(curve.segments.empty());
  // Every crossing has a zero-valued end: all segments special and invisible.
  for (const CMeshIsoSegment& s : curve.segments) {
    EXPECT_EQ(s.flags, MeshIso::kSegmentSpecial);
  }

  // The crossing of the crease itself: fixed, with the mean of the two normals.
  CMeshCrossEdge crease;
  for (const auto& [value, entry] : table.levels) {
    for (const CMeshCrossEdge& e : entry.edges) {
      if (e.flags & MeshIso::kEdgeInner) crease = e;
    }
  }
  ASSERT_NE(crease.second, nullptr);
  CMeshIsoPoint point;
  ASSERT_TRUE(IsoPointOnEdge(crease, 1.0, point));
  EXPECT_EQ(point.flags, MeshIso::kPointFixed | MeshIso::kPointNearZero);
  EXPECT_NEAR(std::hypot(point.normal.x, point.normal.y, point.normal.z), 1.0, 1e-12);
  // Equal end values: no point.
  CMeshCrossEdge flat = crease;
  flat.b = flat.a;
  EXPECT_FALSE(IsoPointOnEdge(flat, 1.0, point));
}

// Hand-written: one level 2.5 with one curve of one segment, then a level 5 with no curves.
Bytes SetFixture()
{
  Bytes b;
  b.i32(2);
  b.f64(2.5).i32(1);
  b.i32(1);
  b.f64s({1, 2, 3, 0, 0, 1}).i32(0);  // a
  b.f64s({4, 6, 3, 0, 0, 1}).i32(0);  // b
  b.i32(0).f64(5.0).i32(MeshIso::kSegmentVisible);
  b.f64(5.0).i32(0);
  return b;
}

TEST(MeshIsolines, SetBlockMatchesItsFixture)
{
  const DWORD version = ObjectModel::kCurrentFormatVersion;
  LoadingArchive in(SetFixture().data());
  CMeshIsolineSet set;
  set.Serialize(*in, version);
  EXPECT_TRUE(in.AtEnd());
  ASSERT_EQ(set.levels.size(), 2u);
  EXPECT_EQ(set.levels[0]->value, 2.5);
  EXPECT_EQ(set.levels[0]->set, &set);
  ASSERT_EQ(set.levels[0]->curves.size(), 1u);
  const CMeshIsoCurve& curve = *set.levels[0]->curves[0];
  EXPECT_EQ(curve.level, set.levels[0].get());
  ASSERT_EQ(curve.segments.size(), 1u);
  EXPECT_EQ(curve.segments[0].b.y, 6.0);
  EXPECT_EQ(curve.segments[0].a.normal.z, 1.0);
  EXPECT_EQ(curve.segments[0].length, 5.0);
  EXPECT_TRUE(set.levels[1]->curves.empty());

  StoringArchive out;
  set.Serialize(*out, version);
  EXPECT_EQ(out.bytes(), SetFixture().data());

  // Files before the surfaces existed hold no block.
  StoringArchive old;
  set.Serialize(*old, ObjectModel::MakeFormatVersion(4, 3, 4, 0));
  EXPECT_TRUE(old.bytes().empty());
}

TEST(MeshIsolines, TruncatedOrHostileSetRefusedBeforeAllocation)
{
  const std::vector<std::uint8_t> whole = SetFixture().data();
  for (size_t cut = 0; cut < whole.size(); cut += 3) {
    std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    LoadingArchive in(part);
    CMeshIsolineSet set;
    EXPECT_TRUE(Refused([&] { set.Serialize(*in, ObjectModel::kCurrentFormatVersion); })) << cut;
  }
  const std::vector<Bytes> hostile = {
      Bytes().i32(-1),
      Bytes().i32(0x7fffffff),
      Bytes().i32(1).f64(1).i32(0x40000000),
      Bytes().i32(1).f64(1).i32(1).i32(0x10000000),
  };
  for (const Bytes& b : hostile) {
    LoadingArchive in(b.data());
    CMeshIsolineSet set;
    EXPECT_TRUE(Refused([&] { set.Serialize(*in, ObjectModel::kCurrentFormatVersion); }));
  }
}

}  // namespace
