// The open-site calculation against answers worked out by hand: the inverse-square-cosine law of a point source,
// which surface lies on top, the shadow of a prism, the zone records, and the parallel run.
#include "outside/engines/open_territory_calc.h"

#include <gtest/gtest.h>

#include <cmath>

#include "outside/engines/open_territory_result_file.h"
#include "site_fixture.h"

namespace Engines {
namespace {

using testing::SiteText;

OpenTerritoryInput Parse(const SiteText& site)
{
  std::string error;
  auto in = ParseOpenTerritoryInput(site.Text(), &error);
  EXPECT_TRUE(in) << error;
  return in ? *in : OpenTerritoryInput{};
}

OpenTerritoryResult Calculate(const SiteText& site, unsigned threads = 0)
{
  SilentHost host;
  OpenTerritoryResult result;
  std::string message;
  EXPECT_EQ(CalculateOpenTerritory(Parse(site), host, result, &message, {threads}), kEngineOk) << message;
  return result;
}

// E = I cos^3(eps) / h^2 = I h / d^3 of a point source at `light` on a point at height z.
double PointSource(double candela, double lx, double ly, double lz, double x, double y, double z)
{
  double h = lz - z, d = std::sqrt((x - lx) * (x - lx) + (y - ly) * (y - ly) + h * h);
  return candela * h / (d * d * d);
}

struct Node {
  float e;
  std::int32_t state;
};
Node At(const OpenTerritoryResult& r, double x, double y)
{
  for (std::size_t i = 0; i < r.xs.size(); ++i)
    for (std::size_t j = 0; j < r.ys.size(); ++j)
      if (std::fabs(r.xs[i] - x) < 1e-4 && std::fabs(r.ys[j] - y) < 1e-4)
        return {r.e[i * r.ys.size() + j], r.state[i * r.ys.size() + j]};
  ADD_FAILURE() << "no node at " << x << ", " << y;
  return {};
}

TEST(OpenTerritoryCalc, SingleSourceOverATenMetreSquareFollowsTheCosineCubedLaw)
{
  SiteText site(10, 10, 1.0);
  site.Rectangle(-5, -5, 5, 5, 0.001, 1).Pole(1, 2, 8).Isotropic(1000, 12000).MaintenanceFactor(1.25);
  auto r = Calculate(site);
  ASSERT_EQ(r.xs.size(), 11u);
  ASSERT_EQ(r.ys.size(), 11u);
  EXPECT_FLOAT_EQ(r.xs.front(), -5.0f);
  EXPECT_FLOAT_EQ(r.xs.back(), 5.0f);
  EXPECT_FLOAT_EQ(r.ys[3], -2.0f);
  for (std::size_t i = 0; i < 11; ++i)
    for (std::size_t j = 0; j < 11; ++j) {
      double expected = 0.8 * PointSource(1000, 1, 2, 8, r.xs[i], r.ys[j], 0.001);
      EXPECT_NEAR(r.e[i * 11 + j], expected, expected * 1e-6) << i << ", " << j;
      EXPECT_EQ(r.state[i * 11 + j], kZoneCarriageway);
    }
  EXPECT_EQ(r.evaluations, 121u);
}

TEST(OpenTerritoryCalc, NodesOffEveryPrimitiveCarryNoValue)
{
  SiteText site(20, 10, 2.0);
  site.Rectangle(-10, -5, 0, 5, 0.001, 1).Pole(0, 0, 10).Isotropic(1000, 1000);
  auto r = Calculate(site);
  for (std::size_t i = 0; i < r.xs.size(); ++i)
    for (std::size_t j = 0; j < r.ys.size(); ++j) {
      Node n = At(r, r.xs[i], r.ys[j]);
      if (r.xs[i] <= 0.0f) {  // the edge belongs to the rectangle
        EXPECT_EQ(n.state, kZoneCarriageway);
        EXPECT_GT(n.e, 0.0f);
      } else {
        EXPECT_EQ(n.state, kNodeWithoutValue);
        EXPECT_EQ(n.e, 0.0f);
      }
    }
}

TEST(OpenTerritoryCalc, TheHigherLiftLiesOnTopWhateverTheShapeOrder)
{
  // The file lists triangles before rectangles; the lifts, not that order, say which lies on top.
  SiteText site(20, 20, 1.0);
  site.Rectangle(-10, -10, 10, 10, 0.001, 1)                           // carriageway everywhere
      .Triangle({0, -10, 0.002, 10, -10, 0.002, 10, 10, 0.002}, 2)     // sidewalk over its lower right half
      .Rectangle(5, -10, 10, -5, 0.003, 3)                             // background over a corner of that
      .Pole(0, 0, 10)
      .Isotropic(1000, 1000);
  auto r = Calculate(site);
  struct Case {
    double x, y;
    std::int32_t state;
  } cases[] = {{-5, 0, kZoneCarriageway}, {5, 0, kZoneSidewalk},  {5, 4, kZoneCarriageway},
               {8, -2, kZoneSidewalk},    {8, -8, kZoneBackground}, {2, -9, kZoneSidewalk}};
  for (const Case& c : cases)
    EXPECT_EQ(At(r, c.x, c.y).state, c.state) << c.x << ", " << c.y;
  // Every node with a value was calculated at its own surface.
  EXPECT_NEAR(At(r, 8, -8).e, PointSource(1000, 0, 0, 10, 8, -8, 0.003), 1e-4);
}

TEST(OpenTerritoryCalc, ShapesCoverTheirOwnPlanOnly)
{
  SiteText site(20, 20, 1.0);
  site.Ellipse({-8, -2, 0.001, 0, -2, 0.001, 0, 2, 0.001}, 1)      // centre (-4, 0), semi-axes 4 and 2
      .Sector({2, -4, 0.002, 10, -4, 0.002, 10, 4, 0.002}, 2, 90, 2)  // centre (6, 0), radii 2..4, 90..180 deg
      .Polygon({-9, 5, 0.003, -5, 5, 0.003, -5, 9, 0.003, -7, 7, 0.003, -9, 9, 0.003}, 3)  // a notched square
      .Pole(0, 0, 10)
      .Isotropic(1000, 1000);
  auto r = Calculate(site);
  struct Case {
    double x, y;
    std::int32_t state;
  } cases[] = {{-4, 0, kZoneCarriageway},  {-4, 2, kZoneCarriageway}, {-4, 3, kNodeWithoutValue},
               {-1, 2, kNodeWithoutValue}, {-8, 0, kZoneCarriageway}, {6, 3, kZoneSidewalk},
               {3, 1, kZoneSidewalk},      {6, 1, kNodeWithoutValue},  {8, 1, kNodeWithoutValue},
               {4, -3, kNodeWithoutValue}, {-8, 6, kZoneBackground},   {-7, 8, kNodeWithoutValue},
               {-6, 7, kZoneBackground}};
  for (const Case& c : cases)
    EXPECT_EQ(At(r, c.x, c.y).state, c.state) << c.x << ", " << c.y;
}

TEST(OpenTerritoryCalc, AShadingPrismCastsTheShadowOfAPointSource)
{
  // Light A at (0, 0, 10), light B at (0, 20, 10); a 2 x 2 m prism x 2..4, y -1..1 rising from the ground to 5 m.
  // Along y = 0 the way to A passes through the prism for x in (4, 8]; under the prism nothing is calculated.
  SiteText site(40, 40, 1.0);
  site.Rectangle(-20, -20, 20, 20, 0.001, 1)
      .Rectangle(2, -1, 4, 1, 5.0, 4, 0.0)
      .Pole(0, 0, 10)
      .Pole(0, 20, 10)
      .Isotropic(1000, 1000);
  auto r = Calculate(site);
  auto both = [](double x, double y) {
    return PointSource(1000, 0, 0, 10, x, y, 0.001) + PointSource(1000, 0, 20, 10, x, y, 0.001);
  };
  auto onlyB = [](double x, double y) { return PointSource(1000, 0, 20, 10, x, y, 0.001); };
  for (double x : {2.0, 3.0, 4.0})
    EXPECT_EQ(At(r, x, 0).state, kNodeWithoutValue) << x;
  struct Case {
    double x, y, expected;
  } cases[] = {{1, 0, both(1, 0)},     {5, 0, onlyB(5, 0)},    {6, 0, onlyB(6, 0)}, {7, 0, onlyB(7, 0)},
               {9, 0, both(9, 0)},     {10, 0, both(10, 0)},   {6, 3, both(6, 3)},  {6, -3, both(6, -3)},
               {-6, 0, both(-6, 0)},   {3, 2, both(3, 2)}};
  for (const Case& c : cases)
    EXPECT_NEAR(At(r, c.x, c.y).e, c.expected, c.expected * 1e-5) << c.x << ", " << c.y;

  // Every node: the slab method on the box x 2..4, y -1..1, z 0..5 says whether the way to each light passes
  // through it; nodes whose way only grazes an edge or a corner are left out.
  auto through = [](const double p[3], const double a[3], bool& grazes) {
    const double lo[3] = {2, -1, 0}, hi[3] = {4, 1, 5};
    double enter = 0.0, leave = 1.0;
    for (int k = 0; k < 3; ++k) {
      const double d = a[k] - p[k];
      if (d == 0.0) {
        if (p[k] < lo[k] || p[k] > hi[k])
          leave = -1.0;
        continue;
      }
      double t0 = (lo[k] - p[k]) / d, t1 = (hi[k] - p[k]) / d;
      if (t0 > t1)
        std::swap(t0, t1);
      enter = std::max(enter, t0);
      leave = std::min(leave, t1);
    }
    grazes = grazes || std::fabs(leave - enter) < 1e-6;
    return leave > enter;
  };
  int shaded = 0;
  for (std::size_t i = 0; i < r.xs.size(); ++i)
    for (std::size_t j = 0; j < r.ys.size(); ++j) {
      const double p[3] = {r.xs[i], r.ys[j], 0.001}, a[3] = {0, 0, 10}, b[3] = {0, 20, 10};
      if (p[0] >= 2 && p[0] <= 4 && p[1] >= -1 && p[1] <= 1)
        continue;  // under the prism
      bool grazes = false;
      const bool fromA = !through(p, a, grazes), fromB = !through(p, b, grazes);
      if (grazes)
        continue;
      shaded += !fromA + !fromB;
      const double expected = (fromA ? PointSource(1000, 0, 0, 10, p[0], p[1], 0.001) : 0.0) +
                              (fromB ? PointSource(1000, 0, 20, 10, p[0], p[1], 0.001) : 0.0);
      ASSERT_NEAR(At(r, p[0], p[1]).e, expected, expected * 1e-5) << p[0] << ", " << p[1];
    }
  EXPECT_GT(shaded, 10);

  // Raised on a 6 m base (6..11 m) the prism is a canopy: the ground under it is calculated and lit from the
  // side, while the way from (6, 0) to the light still passes through it above 6 m. On a 10.5 m base it lies above
  // the light and shades nothing.
  for (double base : {6.0, 10.5}) {
    SiteText raised(40, 40, 1.0);
    raised.Rectangle(-20, -20, 20, 20, 0.001, 1).Rectangle(2, -1, 4, 1, 5.0, 4, base).Pole(0, 0, 10);
    auto open = Calculate(raised.Isotropic(1000, 1000));
    EXPECT_NEAR(At(open, 3, 0).e, PointSource(1000, 0, 0, 10, 3, 0, 0.001), 1e-4) << base;
    EXPECT_NEAR(At(open, 6, 0).e, base < 10 ? 0.0 : PointSource(1000, 0, 0, 10, 6, 0, 0.001), 1e-4) << base;
  }
}

TEST(OpenTerritoryFootprint, SegmentsMeetAShapeWhereTheirPointsDo)
{
  // Against a walk along each segment in millimetre steps: every shape kind, segments in all directions, some
  // ending inside, some passing through, some missing.
  const Footprint shapes[] = {
      Footprint::Triangle({-3, -2}, {4, -1}, {0, 5}),
      Footprint::Rectangle({-4, -1}, {2, -4}, {4, 0}),  // turned
      Footprint::Ellipse({-4, -1}, {2, -4}, {4, 0}),
      Footprint::RingSector({-4, -4}, {4, -4}, {4, 4}, 2.0, 135.0),
      Footprint::RingSector({-4, -4}, {4, -4}, {4, 4}, 3.0, 360.0),
      Footprint::Polygon({{-4, -4}, {4, -4}, {4, 4}, {0, 0}, {-4, 4}}),  // notched
  };
  std::uint32_t seed = 2024;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / static_cast<double>(1u << 24) * 16.0 - 8.0;
  };
  int hits = 0;
  for (const Footprint& shape : shapes)
    for (int k = 0; k < 400; ++k) {
      const Point2 a{next(), next()}, b{next(), next()};
      const double length = std::hypot(b.x - a.x, b.y - a.y);
      const int steps = static_cast<int>(length / 0.001) + 1;
      bool walked = false;
      for (int i = 0; i <= steps && !walked; ++i) {
        const double t = static_cast<double>(i) / steps;
        walked = shape.Contains({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
      }
      hits += walked;
      ASSERT_EQ(shape.SegmentMeets(a, b), walked) << "shape " << (&shape - shapes) << ": " << a.x << ", " << a.y
                                                  << " to " << b.x << ", " << b.y;
    }
  EXPECT_GT(hits, 400);
}

TEST(OpenTerritoryCalc, ZoneRecordsOfATinyGridWorkedByHand)
{
  // Nodes at x, y in {-1, 0, 1}. Carriageway: the six nodes with x <= 0; sidewalk: the three with x = 1. One
  // 1000 cd source 1 m above (-1, -1), lamps of 4000 lm, safety factor 1.25 (values x 0.8). With d the distance of a node,
  // E = 1000 / d^3: 1000, 353.5534, 89.44272 (x = -1); 353.5534, 192.4501, 68.04138 (x = 0); 89.44272, 68.04138,
  // 37.03704 (x = 1).
  SiteText site(2, 2, 1.0);
  site.Rectangle(-1, -1, 0, 1, 0.0, 1)
      .Rectangle(0.5, -1, 1, 1, 0.0, 2)
      .Pole(-1, -1, 1)
      .Isotropic(1000, 4000)
      .MaintenanceFactor(1.25);
  auto r = Calculate(site);
  ASSERT_EQ(r.zones.size(), 2u);
  const ZoneRecord& road = r.zones[0];
  EXPECT_EQ(road.kind, 0);
  EXPECT_NEAR(road.average, 0.8 * 2057.0404 / 6, 1e-3);
  EXPECT_NEAR(road.minimum, 0.8 * 68.04138, 1e-3);
  EXPECT_NEAR(road.maximum, 800.0, 1e-3);
  EXPECT_NEAR(road.uniformity, 68.04138 / (2057.0404 / 6), 1e-6);
  EXPECT_NEAR(road.minToMax, 0.06804138, 1e-6);
  // Each node stands for its cell (halves along the window's border): 1000/4 + 353.5534/2 + 89.44272/4 +
  // 353.5534/2 + 192.4501 + 68.04138/2 = 852.3849 lm land on the carriageway, before the maintenance factor.
  EXPECT_NEAR(road.utilisation, 852.3849 / 4000, 1e-6);
  // 1000 cd from 4000 lm is 250 cd/klm in every direction.
  EXPECT_FLOAT_EQ(road.i80, 250.0f);
  EXPECT_FLOAT_EQ(road.i85, 250.0f);

  const ZoneRecord& walk = r.zones[1];
  EXPECT_EQ(walk.kind, 1);
  EXPECT_NEAR(walk.average, 0.8 * (89.44272 + 68.04138 + 37.03704) / 3, 1e-3);
  EXPECT_NEAR(walk.minimum, 0.8 * 37.03704, 1e-3);
  EXPECT_NEAR(walk.maximum, 0.8 * 89.44272, 1e-3);
  EXPECT_NEAR(walk.utilisation, (89.44272 / 4 + 68.04138 / 2 + 37.03704 / 4) / 4000, 1e-6);
}

TEST(OpenTerritoryCalc, ZonesFollowTheSwitches)
{
  SiteText site(10, 10, 1.0);
  site.Rectangle(-5, -5, 5, 5, 0.001, 1).Rectangle(0, -5, 5, 5, 0.002, 2).Pole(0, 0, 8).Isotropic(1000, 1000);
  site.Switches(0, 1);
  auto r = Calculate(site);
  ASSERT_EQ(r.zones.size(), 1u);
  EXPECT_EQ(r.zones[0].kind, 1);
  EXPECT_EQ(At(r, -3, 0).state, kNodeWithoutValue);  // carriageway not taken: no surface there
  EXPECT_EQ(At(r, 3, 0).state, kZoneSidewalk);
}

TEST(OpenTerritoryCalc, LuminairesStandWhereTheirPlacementPutsThem)
{
  // Every placement on the same 1 m grid; the illuminance under each light is the sum of the group's lights.
  struct Case {
    const char* name;
    std::string record;
    std::vector<std::pair<double, double>> lights;
  } cases[] = {
      // Pole at (0, 0), arm turn + rotation 90: the light 2 m further along +y.
      {"individual pole", "0\n0\n0\n0\n90\n6\n2\n0\n1\n", {{0, 2}}},
      // A line of three poles from (-6, 0) every 6 m along x; the arm turns from the line's normal: 0 points to +y.
      {"line of poles", "0\n1\n-6\n0\n0\n0\n0\n3\n0\n6\n2\n0\n1\n", {{-6, 2}, {0, 2}, {6, 2}}},
      // A single pole in line placement: the second position means nothing, the arm keeps its own rotation.
      {"single pole in line", "0\n1\n3\n3\n0\n0\n0\n1\n0\n6\n2\n0\n1\n", {{5, 3}}},
      // Four poles on a circle of radius 6 about (0, 0), 90 degrees apart; the arm turns from the radius
      // turned half round: 0 points at the centre.
      {"circle of poles", "0\n2\n0\n0\n0\n6\n0\n90\n4\n0\n6\n2\n0\n1\n", {{4, 0}, {0, 4}, {-4, 0}, {0, -4}}},
      // A mast light at (3, -4), 12 m, aimed straight down.
      {"mast", "1\n0\n3\n-4\n12\n0\n3\n-4\n0\n0\n1\n", {{3, -4}}},
  };
  for (const Case& c : cases) {
    SiteText site(20, 20, 1.0);
    site.Rectangle(-10, -10, 10, 10, 0.0, 1).Record(c.record).Isotropic(1000, 1000);
    auto r = Calculate(site);
    const double h = c.record[0] == '1' ? 12 : 6;
    for (auto [x, y] : c.lights) {
      double expected = 0.0;
      for (auto [lx, ly] : c.lights)
        expected += PointSource(1000, lx, ly, h, x, y, 0);
      EXPECT_NEAR(At(r, x, y).e, expected, expected * 1e-5) << c.name << " at " << x << ", " << y;
    }
  }
}

TEST(OpenTerritoryCalc, PhotometricFramesFollowTheArmAndTheAim)
{
  // Half-plane table: only the C90 plane shines (C0 and C180 dark, linear in between), every gamma to 90.
  const std::string halfPlane = "0\n1000\n2\n4\n0\t90\n0\t90\t180\t270\n0\t0\n1000\t1000\n0\t0\n0\t0\n";
  // Narrow beam: 1000 cd up to gamma 10, nothing from gamma 20 on, every plane alike.
  const std::string beam = "0\n1000\n3\n1\n0\t10\t20\n0\n1000\t1000\t0\n";
  struct Case {
    const char* what;
    std::string record, type;
    double x, y, expected;
  } cases[] = {
      // A pole at (0, 0) with its arm along +x (no outreach): C90 looks along +x, C0 along -y.
      {"along the arm", "0\n0\n0\n0\n0\n10\n0\n0\n1\n", halfPlane, 5, 0, PointSource(1000, 0, 0, 10, 5, 0, 0)},
      {"behind the arm", "0\n0\n0\n0\n0\n10\n0\n0\n1\n", halfPlane, -5, 0, 0.0},
      {"beside the arm", "0\n0\n0\n0\n0\n10\n0\n0\n1\n", halfPlane, 0, 5, 0.0},
      // The same with the arm turned to +y.
      {"turned arm", "0\n0\n0\n0\n90\n10\n0\n0\n1\n", halfPlane, 0, 5, PointSource(1000, 0, 0, 10, 0, 5, 0)},
      // A mast light at (0, 0, 10) aimed at (10, 0, 0): the beam lands there, not below the mast.
      {"at the aim", "1\n0\n0\n0\n10\n0\n10\n0\n0\n0\n1\n", beam, 10, 0, PointSource(1000, 0, 0, 10, 10, 0, 0)},
      {"below the mast", "1\n0\n0\n0\n10\n0\n10\n0\n0\n0\n1\n", beam, 0, 0, 0.0},
      // A pole tilted by 45 degrees towards its arm (+x) throws the beam 10 m out.
      {"tilted", "0\n0\n0\n0\n0\n10\n0\n45\n1\n", beam, 10, 0, PointSource(1000, 0, 0, 10, 10, 0, 0)},
      // A floor lamp turned over (mount node above) shines up: nothing on the ground.
      {"turned over", "2\n0\n0\n0\n0\n10\n0\n0\n1\n0\n1\n", beam, 0, 0, 0.0},
      {"upright", "2\n0\n0\n0\n0\n10\n0\n0\n0\n0\n1\n", beam, 0, 0, 10.0},
  };
  for (const Case& c : cases) {
    SiteText site(30, 30, 1.0);
    site.Rectangle(-15, -15, 15, 15, 0.0, 1).Record(c.record).Type(c.type);
    auto r = Calculate(site);
    EXPECT_NEAR(At(r, c.x, c.y).e, c.expected, 1e-6 + c.expected * 1e-6) << c.what;
  }
}

TEST(OpenTerritoryCalc, ParallelAndSingleThreadedRunsGiveTheSameBytes)
{
  SiteText site(60, 40, 0.5);
  site.Rectangle(-30, -20, 30, 20, 0.001, 3)
      .Triangle({-20, -10, 0.002, 0, -10, 0.002, -10, 10, 0.002}, 1)
      .Ellipse({0, -8, 0.003, 20, -8, 0.003, 20, 8, 0.003}, 1)
      .Sector({-10, -10, 0.004, 10, -10, 0.004, 10, 10, 0.004}, 6, 270, 2)
      .Rectangle(4, 2, 7, 4, 6.0, 4, 0.0)
      .Polygon({-25, 5, 0.005, -15, 5, 0.005, -20, 15, 0.005}, 2)
      .Pole(0, 0, 10)
      .Pole(-20, 12, 8)
      .Pole(22, -15, 12)
      .Isotropic(2000, 20000);
  auto one = FormatOpenTerritoryResult(Calculate(site, 1));
  for (unsigned threads : {2u, 3u, 8u})
    EXPECT_EQ(FormatOpenTerritoryResult(Calculate(site, threads)), one) << threads << " threads";
}

struct CancellingHost : EngineHost {
  int cancelAtQuestion = 0;
  int questions = 0;
  std::vector<int> progress;
  void Progress(int percent) override { progress.push_back(percent); }
  bool IsCancelled() override { return ++questions >= cancelAtQuestion; }
  void Finish(int) override {}
};

TEST(OpenTerritoryCalc, CancelStopsBeforeTheNextPieceOfTheGrid)
{
  // 200 luminaires make pieces of about 1300 nodes: many pieces over 201 x 201 nodes.
  SiteText site(100, 100, 0.5);
  site.Rectangle(-50, -50, 50, 50, 0.001, 1);
  for (int k = 0; k < 200; ++k)
    site.Pole(-45 + (k % 20) * 5, -45 + (k / 20) * 10, 10);
  site.Isotropic(1000, 1000);
  const OpenTerritoryInput in = Parse(site);
  for (int n : {1, 2, 5}) {
    CancellingHost host;
    host.cancelAtQuestion = n;
    OpenTerritoryResult result;
    EXPECT_EQ(CalculateOpenTerritory(in, host, result, nullptr, {1}), kCancelled);
    EXPECT_EQ(host.questions, n) << "no question after the answer to stop";
    EXPECT_EQ(result.piecesComputed, static_cast<std::size_t>(n - 1));
    EXPECT_GT(result.pieces, 20u);
    EXPECT_TRUE(result.e.empty());
    EXPECT_TRUE(result.zones.empty());
  }
  CancellingHost host;
  host.cancelAtQuestion = 1;
  OpenTerritoryResult result;
  EXPECT_EQ(CalculateOpenTerritory(in, host, result, nullptr, {8}), kCancelled);
}

TEST(OpenTerritoryCalc, GridFollowsTheStepAndTheProgramsRuleForCoarseSteps)
{
  struct Case {
    double length, width, step;
    int code;
    std::size_t nX, nY;
  } cases[] = {
      {50, 100, 30, kGridStepTooCoarse, 0, 0},  // 50 / 30 < 2
      {50, 100, 25, kEngineOk, 3, 5},
      {50.4, 20, 1, kEngineOk, 51, 21},         // 50 steps of 1.008 m
      {50, 50, 0, kInputMalformed, 0, 0},
      {50, 50, -1, kInputMalformed, 0, 0},
      {0, 50, 1, kInputMalformed, 0, 0},
      {2000, 2000, 0.1, kInputMalformed, 0, 0},  // 400 million nodes
      {50, 50, -2 /* automatic */, kEngineOk, 101, 101},
      {600, 300, -2, kEngineOk, 201, 101},
  };
  for (const Case& c : cases) {
    OpenTerritoryInput in;
    in.length = c.length;
    in.width = c.width;
    in.userGrid = c.step != -2;
    in.gridStep = c.step;
    SiteGrid grid;
    EXPECT_EQ(MakeSiteGrid(in, grid, nullptr), c.code) << c.length << " x " << c.width << " step " << c.step;
    if (c.code == kEngineOk) {
      EXPECT_EQ(grid.xs.size(), c.nX);
      EXPECT_EQ(grid.ys.size(), c.nY);
      EXPECT_DOUBLE_EQ(grid.xs.front(), -c.length / 2);
      EXPECT_DOUBLE_EQ(grid.xs.back(), c.length / 2);
    }
  }
}

}  // namespace
}  // namespace Engines
