#include "outside/engines/road_calc.h"

#include <gtest/gtest.h>

#include <cmath>

#include "road_fixture.h"

namespace Engines {
namespace {

using testing::Diffuse;
using testing::Isotropic;
using testing::OneWayRoad;

StraightRoadResult Calculate(const StraightRoadInput& in, const ReflectionTable* rtable)
{
  SilentHost host;
  StraightRoadResult res;
  std::string error;
  EXPECT_EQ(CalculateStraightRoad(in, rtable, host, res, &error), kEngineOk) << error;
  return res;
}

// One isotropic luminaire of 1000 cd: at every point of every grid the illuminance is what the point-source law
// gives: horizontal I cos^3(eps) / h^2, vertical I cos(i) / d^2, semi-cylindrical
// I (1 + cos alpha) sin(eps) / (pi d^2).
TEST(StraightRoadCalculation, SingleIsotropicSourceFollowsTheInverseSquareLaw)
{
  StraightRoadInput in = OneWayRoad();
  in.wallsTakePart = true;
  in.rightWall = {true, 6.0, 1.0};
  in.leftWall = {true, 6.0, 1.0};
  in.types = {Isotropic(1000.0)};
  // A spacing of 3 km leaves one luminaire near the field, at x = 1500.
  in.luminaires[0].spacing = 3000.0;
  in.luminaires[0].offset = 1500.0;
  in.fieldLength = 3000.0;
  const ReflectionTable rtable = Diffuse(0.07);
  StraightRoadResult res = Calculate(in, &rtable);

  const Vec3 light{1500.0, -0.5 + 1.5, 10.0};  // setback 0.5 on the right, outreach 1.5 towards the road
  auto horizontal = [&](double x, double y) {
    double h = light.z, r2 = (x - light.x) * (x - light.x) + (y - light.y) * (y - light.y);
    double cosEps = h / std::sqrt(h * h + r2);
    return 1000.0 * cosEps * cosEps * cosEps / (h * h);
  };
  ASSERT_EQ(res.xs.size(), 1000u);
  ASSERT_EQ(res.yRoad.size(), 6u);
  ASSERT_EQ(res.rightWalk.y.size(), 3u);
  for (std::size_t i = 0; i < res.xs.size(); i += 7) {
    for (std::size_t j = 0; j < res.yRoad.size(); ++j) {
      double expected = horizontal(res.xs[i], res.yRoad[j]);
      EXPECT_NEAR(res.eRoad[i * 6 + j], expected, 1e-6 * expected + 1e-12) << i << "," << j;
    }
    for (std::size_t j = 0; j < 3; ++j) {
      double expected = horizontal(res.xs[i], res.leftWalk.y[j]);
      EXPECT_NEAR(res.leftWalk.e[i * 3 + j], expected, 1e-6 * expected + 1e-12);
      // Semi-cylindrical at 1.5 m: I (1 + cos alpha) sin(eps) / (pi d^2), the face turned away from the light.
      Vec3 toLight = light - Vec3{res.xs[i], res.leftWalk.y[j], 1.5};
      double d = Length(toLight), across = std::hypot(toLight.x, toLight.y);
      double away = 1000.0 * (1.0 - std::fabs(toLight.x) / across) * (across / d) / (std::numbers::pi * d * d);
      EXPECT_NEAR(res.leftWalk.esc[i * 3 + j], away, 1e-6 * away + 1e-12);
    }
    // The right wall stands at y = -(1 + 2) - 1 and faces the road.
    for (std::size_t j = 0; j < res.rightWall.z.size(); ++j) {
      Vec3 p{res.xs[i], -4.0, res.rightWall.z[j]};
      Vec3 toLight = light - p;
      double d = Length(toLight);
      double expected = 1000.0 * (toLight.y / d) / (d * d);
      EXPECT_NEAR(res.rightWall.ev[i * res.rightWall.z.size() + j], expected, 1e-6 * expected + 1e-12);
    }
  }
  // The grid's own summary is taken from the grid.
  EXPECT_FLOAT_EQ(res.sumRoad[2], horizontal(1501.5, 0.5833333333));
}

// A perfectly diffuse surface returns q E to every observer, wherever the luminaires stand.
TEST(StraightRoadCalculation, DiffuseSurfaceGivesLuminanceQTimesIlluminance)
{
  StraightRoadInput in = OneWayRoad();
  in.mainLanes = 3;
  in.luminaires[0].arrangement = Arrangement::Staggered;
  in.luminaires[0].tilt = 10.0;
  const double q = 0.07;
  const ReflectionTable rtable = Diffuse(q);
  StraightRoadResult res = Calculate(in, &rtable);
  ASSERT_EQ(res.lumObserver.size(), 3u);
  for (const std::vector<float>& grid : res.lumObserver) {
    ASSERT_EQ(grid.size(), res.eRoad.size());
    for (std::size_t n = 0; n < grid.size(); ++n)
      EXPECT_NEAR(grid[n], q * res.eRoad[n], 1e-4 * q * res.eRoad[n]) << n;
  }
  EXPECT_NEAR(res.lumSummary[0], q * res.sumRoad[0], 1e-4 * q * res.sumRoad[0]);
  EXPECT_NEAR(res.lumSummary[1], res.sumRoad[3], 1e-4);
}

// Two-sided poles with a luminaire symmetric about its C90-C270 plane light the field symmetrically along and
// across the road.
TEST(StraightRoadCalculation, SymmetricLayoutGivesSymmetricGrids)
{
  StraightRoadInput in = OneWayRoad();
  in.luminaires[0].arrangement = Arrangement::TwoSided;
  in.luminaires[0].tilt = 5.0;
  StraightRoadResult res = Calculate(in, nullptr);
  const std::size_t nX = res.xs.size(), nY = res.yRoad.size();
  ASSERT_EQ(nX, 10u);
  ASSERT_EQ(nY, 6u);
  for (std::size_t i = 0; i < nX; ++i)
    for (std::size_t j = 0; j < nY; ++j) {
      float e = res.eRoad[i * nY + j];
      EXPECT_NEAR(e, res.eRoad[(nX - 1 - i) * nY + j], 1e-4 * e) << i << "," << j;
      EXPECT_NEAR(e, res.eRoad[i * nY + (nY - 1 - j)], 1e-4 * e) << i << "," << j;
    }
  for (std::size_t n = 0; n < res.rightWalk.e.size(); ++n) {
    std::size_t i = n / 3, j = n % 3;
    EXPECT_NEAR(res.rightWalk.e[n], res.leftWalk.e[i * 3 + (2 - j)], 1e-4 * res.rightWalk.e[n]);
    EXPECT_NEAR(res.rightWalk.esc[n], res.leftWalk.esc[i * 3 + (2 - j)], 1e-4 * res.rightWalk.esc[n]);
  }
}

// The mirror image of a staggered layout (left and right swapped) is the same layout half a spacing on: the
// statistics of the field do not change, the right sidewalk's becoming the left's.
TEST(StraightRoadCalculation, StaggeredLayoutAndItsMirrorImageGiveTheSameStatistics)
{
  StraightRoadInput in = OneWayRoad();
  in.luminaires[0].arrangement = Arrangement::Staggered;
  in.luminaires[0].tilt = 10.0;
  StraightRoadInput mirror = in;
  mirror.luminaires[0].offset = in.luminaires[0].spacing / 2;
  StraightRoadResult a = Calculate(in, nullptr), b = Calculate(mirror, nullptr);
  for (int k = 0; k < 5; ++k) {
    EXPECT_NEAR(a.sumRoad[k], b.sumRoad[k], 1e-4 * a.sumRoad[k]) << k;
    EXPECT_NEAR(a.rightWalk.summary[k], b.leftWalk.summary[k], 1e-4 * a.rightWalk.summary[k]) << k;
  }
  EXPECT_NEAR(a.utilRoad, b.utilRoad, 1e-4 * a.utilRoad);
  EXPECT_NEAR(a.rightWalk.escMin, b.leftWalk.escMin, 1e-4 * a.rightWalk.escMin);
  // and it is not the same picture: the field is lit differently point by point.
  EXPECT_GT(std::fabs(a.eRoad[0] - b.eRoad[0]), 1e-3 * a.eRoad[0]);
}

TEST(StraightRoadCalculation, SafetyFactorDividesTheValuesButNotTheGlare)
{
  StraightRoadInput in = OneWayRoad();
  const ReflectionTable rtable = Diffuse(0.07);
  StraightRoadResult fresh = Calculate(in, &rtable);
  in.maintenanceFactor = 1.25;  // the safety factor divides: 1 / 1.25 = 0.8
  StraightRoadResult maintained = Calculate(in, &rtable);
  EXPECT_NEAR(maintained.sumRoad[0], 0.8 * fresh.sumRoad[0], 1e-5 * fresh.sumRoad[0]);
  EXPECT_NEAR(maintained.lumSummary[0], 0.8 * fresh.lumSummary[0], 1e-5 * fresh.lumSummary[0]);
  EXPECT_NEAR(maintained.rightWalk.escMin, 0.8 * fresh.rightWalk.escMin, 1e-5 * fresh.rightWalk.escMin);
  EXPECT_FLOAT_EQ(maintained.sumRoad[3], fresh.sumRoad[3]);
  // TI and the glare index belong to the new installation; so does the utilisation factor.
  EXPECT_GT(fresh.lumSummary[3], 0.0f);
  EXPECT_FLOAT_EQ(maintained.lumSummary[3], fresh.lumSummary[3]);
  EXPECT_FLOAT_EQ(maintained.lumSummary[4], fresh.lumSummary[4]);
  EXPECT_FLOAT_EQ(maintained.utilRoad, fresh.utilRoad);
}

// Utilisation: the share of the luminaires' flux that reaches the strip.
TEST(StraightRoadCalculation, UtilisationIsTheShareOfTheFluxOnTheStrip)
{
  StraightRoadInput in = OneWayRoad();
  in.types = {Isotropic(1000.0)};
  in.mainLanes = 60;  // 210 m of carriageway catch nearly all of the downward light
  in.luminaires[0].setback = -105.0;
  in.luminaires[0].outreach = 0.0;
  StraightRoadResult res = Calculate(in, nullptr);
  // An endless row would put atan(w / h) / pi of the flux on a strip of half-width w below it: 0.4698 for
  // w = 105, h = 10. The engine counts the poles within 12 heights of the field, which gives up the light that
  // lands further out along the road, h / (2 x 120) of the flux at most.
  const double endlessRow = std::atan(105.0 / 10.0) / std::numbers::pi;
  EXPECT_LT(res.utilRoad, endlessRow);
  EXPECT_GT(res.utilRoad, endlessRow - 10.0 / 240.0);
}

TEST(Glare, ThresholdIncrementOfOneSourceWorkedByHand)
{
  const IntensityTable bulb = Isotropic(1000.0);
  const Vec3 eye{0.0, 0.0, 1.5};
  const Vec3 sight{std::cos(1.0 * kDegree), 0.0, -std::sin(1.0 * kDegree)};
  // The light 50 m ahead at 10 m, in the observer's vertical plane: it stands atan(8.5 / 50) = 9.648 deg above
  // the horizontal, so theta = 10.648 deg from the line of sight, which looks 1 deg down; d^2 = 2572.25 m2.
  // E_eye = 1000 cos(10.648 deg) / 2572.25 = 0.38207 lx; Lv = 10 x 0.38207 / 10.648^2 = 0.033698 cd/m2.
  std::vector<Luminaire> lights{MakeLuminaire({50.0, 0.0, 10.0}, 90.0, 0.0, 0.0, &bulb, 1.0)};
  EXPECT_NEAR(VeilingLuminance(lights, eye, sight), 0.033698, 2e-6);
  // Lights the observer does not count: above the roof's 20 deg, within 1.5 deg of the line of sight, behind.
  lights.push_back(MakeLuminaire({5.0, 0.0, 10.0}, 90.0, 0.0, 0.0, &bulb, 1.0));
  lights.push_back(MakeLuminaire({400.0, 0.0, 1.5 - 400.0 * std::tan(1.0 * kDegree)}, 90.0, 0.0, 0.0, &bulb, 1.0));
  lights.push_back(MakeLuminaire({-50.0, 0.0, 10.0}, 90.0, 0.0, 0.0, &bulb, 1.0));
  const double lv = VeilingLuminance(lights, eye, sight);
  EXPECT_NEAR(lv, 0.033698, 2e-6);
  // TI = 65 Lv / Lav^0.8: with Lav 1.2 cd/m2, 65 x 0.033698 / 1.1570 = 1.893 %; above 5 cd/m2 95 Lv / Lav^1.05.
  EXPECT_NEAR(ThresholdIncrement(lv, 1.2), 1.8931, 1e-4);
  EXPECT_NEAR(ThresholdIncrement(lv, 6.0), 0.48783, 1e-5);
  EXPECT_EQ(ThresholdIncrement(lv, 0.0), 0.0);
  // The glare index: Lv as a share of Lav, in percent.
  EXPECT_NEAR(GlareIndex(lv, 1.2), 2.8082, 1e-4);
}

TEST(StraightRoadCalculation, PointsFollowEN13201)
{
  EXPECT_EQ(PointsAlong(30).size(), 10u);
  EXPECT_DOUBLE_EQ(PointsAlong(30)[0], 1.5);
  EXPECT_EQ(PointsAlong(45).size(), 15u);
  EXPECT_EQ(PointsAlong(31).size(), 11u);
  EXPECT_EQ(PointsAcross(0, 2, 1.5, 3), (std::vector<double>{1.0 / 3, 1, 5.0 / 3}));
  EXPECT_EQ(PointsAcross(0, 6, 1.5, 3).size(), 4u);
  EXPECT_TRUE(PointsAcross(0, 0, 1.5, 3).empty());
}

TEST(StraightRoadCalculation, AFieldWithoutLengthOrWithRunawayPolesIsRefused)
{
  SilentHost host;
  StraightRoadResult res;
  std::string error;
  StraightRoadInput in = OneWayRoad();
  in.fieldLength = 0.0;
  EXPECT_EQ(CalculateStraightRoad(in, nullptr, host, res, &error), kInputMalformed);
  EXPECT_NE(error.find("field length"), std::string::npos);
  in = OneWayRoad();
  in.luminaires[0].spacing = 0.0;
  EXPECT_EQ(CalculateStraightRoad(in, nullptr, host, res, &error), kInputMalformed);
  in.luminaires[0].spacing = 1e-5;
  EXPECT_EQ(CalculateStraightRoad(in, nullptr, host, res, &error), kInputMalformed);
  EXPECT_NE(error.find("spacing"), std::string::npos);
  // Nine kilometres of sidewalk under a pole every centimetre: billions of evaluations, refused up front.
  in.luminaires[0].spacing = 0.01;
  in.rightSidewalk.width = 9000.0;
  EXPECT_EQ(CalculateStraightRoad(in, nullptr, host, res, &error), kInputMalformed);
  EXPECT_NE(error.find("too large"), std::string::npos);
}

}  // namespace
}  // namespace Engines

namespace Engines {
namespace {

// A narrow beam (1000 cd on its axis, nothing beyond 10 degrees) from one luminaire at 10 m over a 30 m wide
// road: the brightest point of the grid lies where the axis meets the road, which pins how arm, tilt, aim and turn
// orient the luminaire.
TEST(StraightRoadCalculation, BeamLandsWhereTheLuminaireIsAimed)
{
  IntensityTable beamC;
  beamC.angles = {0, 10, 180};
  beamC.planes = {0};
  beamC.candela = {1000, 0, 0};
  IntensityTable beamB;
  beamB.cPlanes = false;
  beamB.angles = {-10, 0, 10};
  beamB.planes = {-10, 0, 10};
  beamB.candela = {0, 0, 0, 0, 1000, 0, 0, 0, 0};

  auto record = [](Mounting mounting, Arrangement arrangement) {
    LuminaireRecord r;
    r.mounting = mounting;
    r.arrangement = arrangement;
    r.spacing = 3000.0;
    r.offset = 1500.0;
    r.height = 10.0;
    r.outreach = 1.0;
    r.setback = 0.5;  // a right pole at y = -0.5, its light at y = 0.5; a left one at 30.5, its light at 29.5
    r.type = 1;
    return r;
  };
  struct Case {
    const char* what;
    LuminaireRecord r;
    bool bTable;
    double x, y;  // where the axis meets the road
  };
  std::vector<Case> cases;
  {
    LuminaireRecord r = record(Mounting::Pole, Arrangement::OneSidedRight);
    cases.push_back({"untilted pole", r, false, 1500.0, 0.5});
    r.tilt = 30.0;  // raised towards the road: 10 tan 30 = 5.77 m further across
    cases.push_back({"tilted pole", r, false, 1500.0, 6.27});
    r = record(Mounting::Pole, Arrangement::OneSidedLeft);
    r.tilt = 30.0;
    cases.push_back({"tilted pole on the left", r, false, 1500.0, 23.73});
    r = record(Mounting::Mast, Arrangement::OneSidedRight);
    r.aimTilt = 45.0;
    cases.push_back({"mast aimed 45 deg down", r, false, 1500.0, 10.5});
    cases.push_back({"B table on the mast", r, true, 1500.0, 10.5});
    r.aimTilt = 60.0;
    cases.push_back({"mast aimed 60 deg down", r, false, 1500.0, 6.27});
    r.aimTilt = 45.0;
    r.aimTurn = -90.0;  // from the arm (+y) a quarter turn clockwise: along the road
    cases.push_back({"mast turned along the road", r, false, 1510.0, 0.5});
    r = record(Mounting::Pole, Arrangement::OneSidedRight);
    r.tilt = 30.0;
    r.rotation = -90.0;  // the arm itself turned to point along the road
    cases.push_back({"bracket turned along the road", r, false, 1500.0 + 1 + 5.77, -0.5});
    r = record(Mounting::FloorLamp, Arrangement::OneSidedRight);
    r.outreach = 3.0;
    cases.push_back({"floor lamp", r, false, 1500.0, 2.5});
  }
  for (const Case& c : cases) {
    StraightRoadInput in;
    in.carriagewayTakesPart = true;
    in.mainLanes = 10;
    in.mainLaneWidth = 3.0;
    in.maintenanceFactor = 1.0;
    in.luminaires = {c.r};
    in.fieldLength = 3000.0;
    in.types = {c.bTable ? beamB : beamC};
    StraightRoadResult res = Calculate(in, nullptr);
    auto brightest = std::max_element(res.eRoad.begin(), res.eRoad.end()) - res.eRoad.begin();
    double x = res.xs[brightest / 30], y = res.yRoad[brightest % 30];
    // Grid steps are 3 m along and 1 m across; a beam meeting the ground beside the road lights its edge most.
    EXPECT_NEAR(x, c.x, 1.6) << c.what;
    EXPECT_NEAR(y, std::max(c.y, 0.5), 1.0) << c.what;
  }

  // A floor lamp hung from a node above it is turned over: its beam goes up and the road stays dark.
  StraightRoadInput in;
  in.carriagewayTakesPart = true;
  in.mainLanes = 2;
  in.mainLaneWidth = 3.0;
  in.maintenanceFactor = 1.0;
  in.luminaires = {record(Mounting::FloorLamp, Arrangement::OneSidedRight)};
  in.luminaires[0].mountNode = 1;
  in.fieldLength = 3000.0;
  in.types = {beamC};
  StraightRoadResult res = Calculate(in, nullptr);
  EXPECT_EQ(*std::max_element(res.eRoad.begin(), res.eRoad.end()), 0.0f);
}

}  // namespace
}  // namespace Engines
