#include "geometry/triangulation/outline_crossings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

int Sign(__int128 v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Points as whole multiples of a unit, so that the exact determinant is an integer computation.
struct UnitTriple {
  std::int64_t x[3];
  std::int64_t y[3];
};

int IntegerTurn(const UnitTriple& t)
{
  const __int128 d = static_cast<__int128>(t.x[1] - t.x[0]) * (t.y[2] - t.y[0]) -
                     static_cast<__int128>(t.y[1] - t.y[0]) * (t.x[2] - t.x[0]);
  return Sign(d);
}

// Two families of nearly collinear triples: random ones on a grid of 2^-20 m, and the classic one where a
// point near (0.5, 0.5) moves by single ulps against (12, 12) and (24, 24), where the rounded determinant gets
// the sign wrong over large patches.
TEST(ExactTurn, AgreesWithIntegerArithmeticOnNearlyCollinearPoints)
{
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::int64_t> coordinate(-(std::int64_t{1} << 40), std::int64_t{1} << 40);
  std::uniform_int_distribution<int> nudge(-1, 1);
  std::uniform_real_distribution<double> along(-2.0, 3.0);
  std::vector<std::pair<UnitTriple, double>> cases;  // the triple and its unit
  for (int i = 0; i < 10000; ++i) {
    UnitTriple t{};
    for (int k = 0; k < 2; ++k) {
      t.x[k] = coordinate(random);
      t.y[k] = coordinate(random);
    }
    const double s = along(random);
    t.x[2] = static_cast<std::int64_t>(static_cast<double>(t.x[0]) + s * static_cast<double>(t.x[1] - t.x[0])) +
             nudge(random);
    t.y[2] = static_cast<std::int64_t>(static_cast<double>(t.y[0]) + s * static_cast<double>(t.y[1] - t.y[0])) +
             nudge(random);
    cases.push_back({t, std::ldexp(1.0, -20)});
  }
  const std::int64_t half = std::int64_t{1} << 52;  // 0.5 in units of 2^-53
  for (std::int64_t i = 0; i < 64; ++i) {
    for (std::int64_t j = 0; j < 64; ++j) {
      cases.push_back({UnitTriple{{half + i, 24 * half, 48 * half}, {half + j, 24 * half, 48 * half}},
                       std::ldexp(1.0, -53)});
    }
  }
  int roundedWrong = 0;
  for (size_t c = 0; c < cases.size(); ++c) {
    const auto& [t, unit] = cases[c];
    double x[3], y[3];
    for (int k = 0; k < 3; ++k) {
      x[k] = static_cast<double>(t.x[k]) * unit;
      y[k] = static_cast<double>(t.y[k]) * unit;
    }
    const int exact = IntegerTurn(t);
    ASSERT_EQ(ExactTurn(x[0], y[0], x[1], y[1], x[2], y[2]), exact) << c;
    const double rounded = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
    roundedWrong += ((rounded > 0) - (rounded < 0)) != exact ? 1 : 0;
  }
  // Otherwise the cases would not need the exact path at all.
  EXPECT_GT(roundedWrong, 100);
}

using GridPoint = std::pair<int, int>;

// The pairwise reference, in integers: do the closed edges pq and rs share a point other than a common end?
int GridTurn(GridPoint a, GridPoint b, GridPoint c)
{
  const long d = static_cast<long>(b.first - a.first) * (c.second - a.second) -
                 static_cast<long>(b.second - a.second) * (c.first - a.first);
  return d > 0 ? 1 : (d < 0 ? -1 : 0);
}

bool OnSegment(GridPoint a, GridPoint b, GridPoint c)
{
  return GridTurn(a, b, c) == 0 && std::min(a.first, b.first) <= c.first && c.first <= std::max(a.first, b.first) &&
         std::min(a.second, b.second) <= c.second && c.second <= std::max(a.second, b.second);
}

bool PairMeets(GridPoint p, GridPoint q, GridPoint r, GridPoint s)
{
  // Every point of contact is an end of one of them, or a proper crossing.
  const int pqr = GridTurn(p, q, r), pqs = GridTurn(p, q, s), rsp = GridTurn(r, s, p), rsq = GridTurn(r, s, q);
  if (pqr * pqs < 0 && rsp * rsq < 0) {
    return true;
  }
  const bool shareEnd = p == r || p == s || q == r || q == s;
  if (!shareEnd) {
    return OnSegment(p, q, r) || OnSegment(p, q, s) || OnSegment(r, s, p) || OnSegment(r, s, q);
  }
  if ((p == r && q == s) || (p == s && q == r)) {
    return true;
  }
  // One common end: another contact is an end of one lying on the other, away from the common end.
  const GridPoint common = p == r || p == s ? p : q;
  const GridPoint u = common == p ? q : p;
  const GridPoint v = common == r ? s : r;
  return OnSegment(p, q, v) && v != common ? true : OnSegment(r, s, u) && u != common;
}

bool PairwiseReference(const std::vector<GridPoint>& points, const std::vector<PlanEdge>& edges)
{
  for (size_t i = 0; i < edges.size(); ++i) {
    for (size_t j = i + 1; j < edges.size(); ++j) {
      if (PairMeets(points[edges[i].from], points[edges[i].to], points[edges[j].from], points[edges[j].to])) {
        return true;
      }
    }
  }
  return false;
}

// Small outlines on a 6 x 6 grid, some with a second ring inside or across them as a hole would be: nearly
// every contact there is (crossings, vertices on edges, overlaps along a line, vertical and horizontal edges)
// turns up many times. The points are distinct, so only the edges decide.
TEST(EdgesCrossOrTouch, AgreesWithThePairwiseReferenceOnRandomGridOutlines)
{
  std::mt19937 random(11);
  std::uniform_int_distribution<int> cell(0, 5);
  std::uniform_int_distribution<int> ringSize(3, 9);
  int contacts = 0, clean = 0;
  for (int round = 0; round < 4000; ++round) {
    std::vector<GridPoint> points;
    std::set<GridPoint> used;
    std::vector<PlanEdge> edges;
    const int rings = round % 3 == 0 ? 2 : 1;
    for (int r = 0; r < rings; ++r) {
      const auto first = static_cast<std::uint32_t>(points.size());
      const int n = ringSize(random);
      while (static_cast<int>(points.size() - first) < n) {
        const GridPoint p{cell(random), cell(random)};
        if (used.insert(p).second) {
          points.push_back(p);
        }
      }
      for (int k = 0; k < n; ++k) {
        edges.push_back({first + static_cast<std::uint32_t>(k), first + static_cast<std::uint32_t>((k + 1) % n)});
      }
    }
    std::vector<PlanPoint> plan;
    for (const GridPoint& p : points) {
      plan.push_back({static_cast<double>(p.first), static_cast<double>(p.second)});
    }
    const bool expected = PairwiseReference(points, edges);
    ASSERT_EQ(EdgesCrossOrTouch(plan, edges), expected) << "round " << round;
    (expected ? contacts : clean) += 1;
  }
  // Both answers are well represented.
  EXPECT_GT(contacts, 1000);
  EXPECT_GT(clean, 300);
}

TEST(EdgesCrossOrTouch, TwoPointsAtOnePlaceOrOneEdgeTwiceTouch)
{
  // A square 0-3 and a triangle 4-6 whose corner 4 lies where the square's corner 1 does.
  const std::vector<PlanPoint> points = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {4, 0}, {6, -2}, {6, 2}};
  EXPECT_TRUE(EdgesCrossOrTouch(points, {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 4}}));
  EXPECT_TRUE(EdgesCrossOrTouch(points, {{0, 1}, {1, 2}, {2, 0}, {1, 0}}));
  // An edge from a point to itself is no edge.
  EXPECT_FALSE(EdgesCrossOrTouch(points, {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {2, 2}}));
}

// A star of 100,000 vertices, every edge long and all of them crowded round the centre: a pairwise test or a
// grid would spend its time there. Vertex 1 sits at the centre, so edge 0-1 runs along the x axis; then vertex
// n-1, next to vertex 0 on the other side, is moved onto that edge, then across it.
TEST(EdgesCrossOrTouch, HundredThousandVertexStarInAMomentEachWay)
{
  const std::uint32_t n = 100000;
  std::vector<PlanPoint> points;
  std::vector<PlanEdge> edges;
  for (std::uint32_t i = 0; i < n; ++i) {
    const double angle = 2 * M_PI * i / n;
    const double radius = i % 2 == 0 ? 1000.0 : 1.0;
    points.push_back({radius * std::cos(angle), radius * std::sin(angle)});
    edges.push_back({i, (i + 1) % n});
  }
  points[0] = {1000.0, 0.0};
  points[1] = {0.0, 0.0};
  std::vector<PlanPoint> touching = points;
  touching[n - 1] = {1.0, 0.0};
  std::vector<PlanPoint> crossing = points;
  crossing[n - 1] = {1.0, 0.5};

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(EdgesCrossOrTouch(points, edges));
  EXPECT_TRUE(EdgesCrossOrTouch(touching, edges));
  EXPECT_TRUE(EdgesCrossOrTouch(crossing, edges));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // A pairwise test would take minutes here, even unsanitised.
  EXPECT_LT(seconds, 20.0);
}

}  // namespace
