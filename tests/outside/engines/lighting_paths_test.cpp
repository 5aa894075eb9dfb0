// The vector inner loop and the one-point loop give the same illuminance, node for node, on the hand-written open
// site and interchange, on a site lit by a road luminaire with a fine table, a shading block and an isotropic lamp,
// and on tilted lights whose tables leave a gap before closing the turn of planes or start above the nadir. Where
// the processor lacks AVX2 both runs take the one-point loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "interchange_fixture.h"
#include "open_territory_fixture.h"
#include "outside/engines/interchange_calc.h"
#include "outside/engines/open_territory_calc.h"
#include "outside/engines/point_lights.h"
#include "site_fixture.h"

namespace Engines {
namespace {

// A road luminaire: planes every 5 degrees, gamma every degree to 90, asymmetric across the road.
std::string RoadTable()
{
  std::string s = "0\n20000\n91\n73\n";
  for (int g = 0; g <= 90; ++g)
    s += std::to_string(g) + (g < 90 ? "\t" : "\n");
  for (int c = -180; c <= 180; c += 5)
    s += std::to_string(c) + (c < 180 ? "\t" : "\n");
  for (int c = -180; c <= 180; c += 5)
    for (int g = 0; g <= 90; ++g) {
      const double gr = g * 3.14159265358979 / 180, cr = c * 3.14159265358979 / 180;
      s += std::to_string(8000 * (1 + 0.6 * std::sin(cr)) * std::cos(gr) * (1 + 2 * std::sin(gr))) +
           (g < 90 ? "\t" : "\n");
    }
  return s;
}

std::string RoadSite()
{
  testing::SiteText site(60, 40, 0.7);
  site.Rectangle(-30, -20, 30, 20, 0.001, 1).Rectangle(-4, -3, 4, 3, 0.002, 4, 0.0).Type(RoadTable());
  for (int k = 0; k < 12; ++k)
    site.Pole(-27.5 + 5 * k, k % 2 ? 8.3 : -8.3, 10 + k % 3);
  site.Pole(0, 0, 6);  // right above the block: on the axis of its own table
  return site.Isotropic(900, 5000).Pole(12, 12, 4, 2).Text();
}

// A C-plane table of equal steps, its candela different in every plane and angle.
std::string StepTable(double firstPlane, double planeStep, int planes, double firstAngle, double angleStep,
                      int angles)
{
  std::string s = "0\n10000\n" + std::to_string(angles) + "\n" + std::to_string(planes) + "\n";
  for (int g = 0; g < angles; ++g)
    s += std::to_string(firstAngle + g * angleStep) + (g + 1 < angles ? "\t" : "\n");
  for (int c = 0; c < planes; ++c)
    s += std::to_string(firstPlane + c * planeStep) + (c + 1 < planes ? "\t" : "\n");
  for (int c = 0; c < planes; ++c)
    for (int g = 0; g < angles; ++g)
      s += std::to_string(900 + 400 * std::sin(1.3 * c + 0.4) + 25 * g + 7 * c * g) + (g + 1 < angles ? "\t" : "\n");
  return s;
}

std::string GappedTablesSite()
{
  testing::SiteText site(60, 40, 0.7);
  site.Rectangle(-30, -20, 30, 20, 0.001, 1)
      .Type(StepTable(10, 100, 3, 0, 30, 7))      // a 160-degree gap after the last plane, gammas to 180
      .Type(StepTable(-90, 30, 6, 20, 15, 5))     // a 210-degree gap, gammas 20..80
      .Type(StepTable(0, 10, 36, 0, 5, 19));      // the gap one step wide
  for (int k = 0; k < 12; ++k) {
    const std::string arm = std::to_string(30 * k), tilt = std::to_string(10 * (k % 5));
    site.Record("0\n0\n" + std::to_string(-25 + 4.5 * k) + "\n" + std::to_string(k % 2 ? 9.0 : -7.0) + "\n" + arm +
                "\n" + std::to_string(6 + k % 4) + "\n1.5\n" + tilt + "\n" + std::to_string(1 + k % 3) + "\n");
  }
  return site.Text();
}

std::vector<float> OpenSite(const std::string& text, LightingPath path)
{
  SetLightingPath(path);
  std::string error;
  auto in = ParseOpenTerritoryInput(text, &error);
  EXPECT_TRUE(in) << error;
  OpenTerritoryResult result;
  SilentHost host;
  if (in) {
    EXPECT_EQ(CalculateOpenTerritory(*in, host, result, &error, {2}), kEngineOk) << error;
  }
  SetLightingPath(LightingPath::Automatic);
  return result.e;
}

std::vector<float> Interchange(const std::string& text, LightingPath path)
{
  SetLightingPath(path);
  std::string error;
  auto in = ParseInterchangeInput(text, &error);
  EXPECT_TRUE(in) << error;
  InterchangeResult result;
  SilentHost host;
  if (in) {
    EXPECT_EQ(CalculateInterchange(*in, host, result, &error, {2}), kEngineOk) << error;
  }
  SetLightingPath(LightingPath::Automatic);
  std::vector<float> all;
  for (const AnsweredPolygon& p : result.polygons)
    all.insert(all.end(), p.values.begin(), p.values.end());
  return all;
}

TEST(LightingPaths, VectorAndBaselineAgreeOnEveryValue)
{
  struct Case {
    const char* name;
    std::vector<float> (*run)(const std::string&, LightingPath);
    std::string text;
  };
  const Case cases[] = {{"hand-written site", OpenSite, testing::HandWrittenSite()},
                        {"hand-written interchange", Interchange, testing::HandWrittenInterchange()},
                        {"road luminaires over a block", OpenSite, RoadSite()},
                        {"tilted lights, tables with a gap", OpenSite, GappedTablesSite()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<float> baseline = c.run(c.text, LightingPath::Baseline);
    const std::vector<float> vector = c.run(c.text, LightingPath::Vector);
    ASSERT_EQ(baseline.size(), vector.size());
    std::size_t lit = 0;
    for (std::size_t k = 0; k < baseline.size(); ++k) {
      const double a = baseline[k], b = vector[k];
      EXPECT_LE(std::fabs(a - b), 1e-6 * std::max(std::fabs(a), std::fabs(b)) + 1e-30) << "value " << k;
      lit += a > 0.0;
    }
    EXPECT_GT(lit, 0u);
  }
}

}  // namespace
}  // namespace Engines
