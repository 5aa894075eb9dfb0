#include "geometry/triangulation/area_triangulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct P3 {
  double x, y, z;
};

void Load(CArray<_CSPOINT3D>& outline, const std::vector<P3>& points)
{
  outline.RemoveAll();
  for (const P3& p : points) {
    outline.Add(_CSPOINT3D{p.x, p.y, p.z, 0, 0});
  }
}

bool Same(const _POINT3D& a, const P3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

double PlanArea(const _TRIANGLE3D& t)
{
  return ((t.b.x - t.a.x) * (t.c.y - t.a.y) - (t.b.y - t.a.y) * (t.c.x - t.a.x)) / 2.0;
}

TEST(MinimumAreaTriangulation, ThreeOrFewerVertices)
{
  CArray<_CSPOINT3D> outline;
  CAreaTriangulator triangulator(outline);
  Load(outline, {{0, 0, 0}, {1, 0, 0}});
  triangulator.Triangulate();
  EXPECT_TRUE(triangulator.Triangles().empty());

  const std::vector<P3> corners = {{0, 0, 1}, {3, 0, 2}, {0, 2, 3}};
  Load(outline, corners);
  triangulator.Triangulate();
  ASSERT_EQ(triangulator.Triangles().size(), 1u);
  const _TRIANGLE3D& t = *triangulator.Triangles()[0];
  EXPECT_TRUE(Same(t.a, corners[0]) && Same(t.b, corners[1]) && Same(t.c, corners[2]));
}

TEST(MinimumAreaTriangulation, RaisedCornerTakesTheSmallerSurface)
{
  // Unit square, corner 3 raised by 1. Diagonal 0-2: 1/2 + sqrt(3)/2 = 1.366; diagonal 1-3: sqrt(2) = 1.414.
  // So the split of chord (0,3) is vertex 2: first (P0, P2, P3), then the sub-polygon 0..2 as (P0, P1, P2).
  const std::vector<P3> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}};
  CArray<_CSPOINT3D> outline;
  Load(outline, square);
  CAreaTriangulator triangulator(outline);
  triangulator.Triangulate();
  const auto& triangles = triangulator.Triangles();
  ASSERT_EQ(triangles.size(), 2u);
  EXPECT_TRUE(Same(triangles[0]->a, square[0]) && Same(triangles[0]->b, square[2]) && Same(triangles[0]->c, square[3]));
  EXPECT_TRUE(Same(triangles[1]->a, square[0]) && Same(triangles[1]->b, square[1]) && Same(triangles[1]->c, square[2]));
}

TEST(MinimumAreaTriangulation, EqualTotalsKeepTheFirstSplitVertex)
{
  // A flat square: both diagonals give the same area, so chord (0,3) splits at vertex 1.
  const std::vector<P3> square = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
  CArray<_CSPOINT3D> outline;
  Load(outline, square);
  CAreaTriangulator triangulator(outline);
  triangulator.Triangulate();
  const auto& triangles = triangulator.Triangles();
  ASSERT_EQ(triangles.size(), 2u);
  EXPECT_TRUE(Same(triangles[0]->a, square[0]) && Same(triangles[0]->b, square[1]) && Same(triangles[0]->c, square[3]));
  EXPECT_TRUE(Same(triangles[1]->a, square[1]) && Same(triangles[1]->b, square[2]) && Same(triangles[1]->c, square[3]));
}

TEST(MinimumAreaTriangulation, PlanarOutlinesAreCoveredExactlyOnce)
{
  // A chord outside the outline leaves a triangle that turns the other way (the signed areas of any split
  // add up to the outline's, so only the turn shows it).
  std::vector<std::vector<P3>> outlines = {
      {{0, 0, 0}, {6, 0, 0}, {6, 2, 0}, {2, 2, 0}, {2, 6, 0}, {0, 6, 0}},               // L shape
      {{0, 0, 0}, {8, 0, 0}, {8, 6, 0}, {4, 1, 0}, {0, 6, 0}},                          // deep notch
      {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {3, 2, 0}, {0, 2, 0}},               // collinear run
  };
  // 50 vertices: beyond the fixed tables.
  std::vector<P3> star;
  for (int i = 0; i < 50; ++i) {
    const double r = i % 2 == 0 ? 10.0 : 6.0;
    star.push_back({r * std::cos(2 * M_PI * i / 50), r * std::sin(2 * M_PI * i / 50), 0});
  }
  outlines.push_back(star);
  for (const auto& points : outlines) {
    CArray<_CSPOINT3D> outline;
    Load(outline, points);
    CAreaTriangulator triangulator(outline);
    triangulator.Triangulate();
    ASSERT_EQ(triangulator.Triangles().size(), points.size() - 2);
    double expected = 0.0;
    for (size_t i = 0; i < points.size(); ++i) {
      const P3& a = points[i];
      const P3& b = points[(i + 1) % points.size()];
      expected += (a.x * b.y - b.x * a.y) / 2.0;
    }
    double total = 0.0;
    for (const auto& t : triangulator.Triangles()) {
      EXPECT_GE(PlanArea(*t), 0.0);
      total += PlanArea(*t);
    }
    EXPECT_NEAR(total, expected, 1e-9);
  }
}

TEST(MinimumAreaTriangulation, TriangulateAppendsAndClearEmpties)
{
  CArray<_CSPOINT3D> outline;
  Load(outline, {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}});
  CAreaTriangulator triangulator(outline);
  triangulator.Triangulate();
  triangulator.Triangulate();
  EXPECT_EQ(triangulator.Triangles().size(), 4u);
  triangulator.Clear();
  EXPECT_TRUE(triangulator.Triangles().empty());
}

}  // namespace
