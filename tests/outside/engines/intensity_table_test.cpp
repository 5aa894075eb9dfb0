#include "outside/engines/intensity_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "outside/engines/fast_angle.h"
#include "outside/engines/vec3.h"

namespace Engines {
namespace {

// Planes -180..180 every 90 degrees, gamma 0, 45, 90: the value at plane p, gamma g is p + g / 100, which linear
// interpolation reproduces exactly between the nodes.
IntensityTable Ramp()
{
  IntensityTable t;
  t.angles = {0, 45, 90};
  t.planes = {-180, -90, 0, 90, 180};
  for (double p : t.planes)
    for (double g : t.angles)
      t.candela.push_back(1000 + p + g / 100);
  return t;
}

TEST(IntensityTable, InterpolatesLinearlyInPlaneAndGamma)
{
  IntensityTable t = Ramp();
  struct Case {
    double plane, gamma, expected;
  } cases[] = {
      {0, 0, 1000},           {90, 90, 1090.9},      {45, 22.5, 1045.225}, {-135, 67.5, 865.675},
      {270, 45, 910.45},      {-270, 45, 1090.45},   {179, 0, 1179},       {0, 95, 0},  // above the table: dark
  };
  for (const Case& c : cases)
    EXPECT_NEAR(t.At(c.plane, c.gamma), c.expected, 1e-9) << c.plane << " " << c.gamma;
}

TEST(IntensityTable, ClosesTheCircleOfPlanesWhenTheTableStopsShortOf360)
{
  IntensityTable t;
  t.angles = {0, 90};
  t.planes = {0, 90, 180, 270};  // 270..360 interpolates back towards plane 0
  t.candela = {100, 100, 200, 200, 300, 300, 400, 400};
  EXPECT_NEAR(t.At(315, 30), 250, 1e-9);
  EXPECT_NEAR(t.At(-45, 30), 250, 1e-9);
}

TEST(IntensityTable, OnePlaneIsRotationallySymmetric)
{
  IntensityTable t;
  t.angles = {0, 90, 180};
  t.planes = {0};
  t.candela = {300, 100, 0};
  EXPECT_DOUBLE_EQ(t.At(137, 45), 200);
  EXPECT_DOUBLE_EQ(t.At(-20, 45), 200);
}

TEST(IntensityTable, FluxOfAnIsotropicSourceIsFourPiI)
{
  IntensityTable t;
  for (int g = 0; g <= 180; g += 1)
    t.angles.push_back(g);
  for (int p = -180; p <= 180; p += 15)
    t.planes.push_back(p);
  t.candela.assign(t.angles.size() * t.planes.size(), 100.0);
  EXPECT_NEAR(t.Flux(), 4 * std::numbers::pi * 100, 0.05);  // trapezoid error at 1 degree
  t.planes = {0};
  t.candela.resize(t.angles.size());
  EXPECT_NEAR(t.Flux(), 4 * std::numbers::pi * 100, 0.05);  // trapezoid error at 1 degree
}

TEST(IntensityTable, IndexedLookupsGiveWhatTheSearchGives)
{
  // A uniform axis, and an irregular one with a repeated angle and a gap, both across the bucket borders.
  IntensityTable uniform = Ramp();
  IntensityTable irregular;
  irregular.angles = {0, 2.5, 2.5, 10, 37, 90};
  irregular.planes = {0, 15, 30, 170, 345};
  for (std::size_t p = 0; p < irregular.planes.size(); ++p)
    for (std::size_t g = 0; g < irregular.angles.size(); ++g)
      irregular.candela.push_back(100.0 * static_cast<double>(p) + std::pow(1.7, static_cast<double>(g)));
  for (IntensityTable* table : {&uniform, &irregular}) {
    IntensityTable indexed = *table;
    indexed.Index();
    for (double c = -400.0; c <= 400.0; c += 0.37)
      for (double g = -1.0; g <= 91.0; g += 0.29)
        ASSERT_NEAR(indexed.At(c, g), table->At(c, g), 1e-9) << c << ", " << g;
    for (double c : indexed.planes)  // on the tabulated angles themselves
      for (double g : indexed.angles)
        ASSERT_NEAR(indexed.At(c, g), table->At(c, g), 1e-9) << c << ", " << g;
  }
}

TEST(IntensityTable, DirectionsBeyondTheLastGammaAreToldWithoutAngles)
{
  for (double last : {80.0, 90.0, 105.0}) {
    IntensityTable t;
    t.angles = {0, last / 2, last};
    t.planes = {0};
    t.candela = {1, 1, 1};
    EXPECT_FALSE(t.BeyondLastGamma(-1.0, 1.0)) << "without an index nothing is known";
    t.Index();
    for (double gamma = 0.0; gamma <= 180.0; gamma += 0.01) {
      if (std::fabs(gamma - last) < 1e-4)
        continue;
      const double length = 7.0, along = length * std::cos(Radians(gamma));
      EXPECT_EQ(t.BeyondLastGamma(along, length * length), gamma > last) << last << ": " << gamma;
    }
  }
}

TEST(FastAtan2, AgreesWithTheLibraryInEveryOctant)
{
  for (double a = -180.0; a <= 180.0; a += 0.173) {
    const double r = Radians(a);
    for (double length : {1e-6, 1.0, 350.0}) {
      const double y = length * std::sin(r), x = length * std::cos(r);
      ASSERT_NEAR(FastAtan2(y, x), std::atan2(y, x), 2e-11) << a;
    }
  }
  // Both sides of the reduction's border at tan(pi/12), and the axes.
  for (double t : {0.2679491924311226, 0.2679491924311228, 0.0, 1.0})
    EXPECT_NEAR(FastAtan2(t, 1.0), std::atan(t), 2e-11) << t;
  EXPECT_NEAR(FastAtan2(0.0, -1.0), std::numbers::pi, 1e-15);
  EXPECT_NEAR(FastAtan2(-1.0, 0.0), -std::numbers::pi / 2, 1e-15);
  EXPECT_EQ(FastAtan2(0.0, 0.0), 0.0);
}

}  // namespace
}  // namespace Engines
