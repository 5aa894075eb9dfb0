#include "outside/engines/reflection_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "outside/engines/file_io.h"

namespace Engines {
namespace {

const std::string kBin = TESMIRA_ENGINE_BIN_DIR;
constexpr double kPi = 3.14159265358979323846;

// The class figures the CIE publishes with its tables: S1 = r(0, 2) / r(0, 0).
TEST(ReflectionTable, BuiltTablesCarryTheirClassSpecularFactor)
{
  struct Case {
    const char* file;
    const char* surfaceClass;
    double s1;
  } cases[] = {{"rtab_1.rtb", "C2", 0.97}, {"rtab_2.rtb", "R3", 1.11}};
  for (const Case& c : cases) {
    std::string error;
    auto t = LoadRtb(kBin + "/" + c.file, &error);
    ASSERT_TRUE(t) << error;
    EXPECT_EQ(t->surfaceClass, c.surfaceClass);
    EXPECT_EQ(t->tans.size(), 29u);
    EXPECT_EQ(t->betas.size(), 20u);
    EXPECT_NEAR(t->At(0, 2) / t->At(0, 0), c.s1, 0.005) << c.file;
  }
}

TEST(ReflectionTable, UntabulatedCellsAreDark)
{
  // C2 at tan gamma 12 is tabulated up to beta 15 (value 3); beyond that nothing comes back.
  std::string error;
  auto t = LoadRtb(kBin + "/rtab_1.rtb", &error);
  ASSERT_TRUE(t) << error;
  EXPECT_DOUBLE_EQ(t->At(15, 12), 3);
  EXPECT_DOUBLE_EQ(t->At(17.5, 12), 1.5);
  EXPECT_DOUBLE_EQ(t->At(180, 12), 0);
  EXPECT_DOUBLE_EQ(t->At(0, 11.5), 44);  // the corrected typo of the published table
}

// The class's average luminance coefficient over the tabulated solid angle (tan gamma up to 12, beta 0..180):
// Q0 = (1 / Omega) * integral of r 10^-4 / cos^3(gamma) dOmega, which with t = tan gamma is
// (1 / Omega) * integral of r 10^-4 t dt dbeta over the cells whose corners are all tabulated.
TEST(ReflectionTable, BuiltTablesCarryTheirClassAverageLuminanceCoefficient)
{
  for (const char* file : {"rtab_1.rtb", "rtab_2.rtb"}) {
    std::string error;
    auto t = LoadRtb(kBin + "/" + file, &error);
    ASSERT_TRUE(t) << error;
    double integral = 0.0, solidAngle = 0.0;
    for (std::size_t b = 0; b + 1 < t->betas.size(); ++b) {
      double dBeta = (t->betas[b + 1] - t->betas[b]) * kPi / 180;
      for (std::size_t k = 0; k + 1 < t->tans.size(); ++k) {
        double c[4] = {t->Value(k, b), t->Value(k, b + 1), t->Value(k + 1, b), t->Value(k + 1, b + 1)};
        if (*std::min_element(c, c + 4) == 0.0)
          continue;
        double t0 = t->tans[k], t1 = t->tans[k + 1];
        integral += dBeta * (t1 - t0) * ((c[0] + c[1]) * t0 + (c[2] + c[3]) * t1) / 4 * 1e-4;
        solidAngle += dBeta * (1 / std::sqrt(1 + t0 * t0) - 1 / std::sqrt(1 + t1 * t1));
      }
    }
    EXPECT_NEAR(integral / solidAngle, 0.07, 0.07 * 0.03) << file;
  }
}

TEST(ReflectionTable, InterpolatesAndEndsAtTheLastTanGamma)
{
  ReflectionTable t;
  t.surfaceClass = "X";
  t.betas = {0, 90, 180};
  t.tans = {0, 1, 2};
  t.r = {100, 100, 100, 50, 40, 30, 20, 10, 0};
  EXPECT_DOUBLE_EQ(t.At(45, 0.5), (100 + (50 + 40) / 2.0) / 2);
  EXPECT_DOUBLE_EQ(t.At(-90, 1), 40);   // beta is an angle between planes: -90 is 90
  EXPECT_DOUBLE_EQ(t.At(270, 1), 40);
  EXPECT_DOUBLE_EQ(t.At(0, 2.0001), 0);  // beyond the table the surface sends nothing back
}

TEST(ReflectionTable, RtbTextRoundTrips)
{
  ReflectionTable t;
  t.surfaceClass = "R3";
  t.betas = {0, 2.5, 180};
  t.tans = {0, 0.25};
  t.r = {294, 294, 294, 326, 321.5, 240};
  std::string error;
  auto back = ParseRtb(FormatRtb(t), &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->surfaceClass, "R3");
  EXPECT_EQ(back->betas, t.betas);
  EXPECT_EQ(back->tans, t.tans);
  EXPECT_EQ(back->r, t.r);
}

TEST(ReflectionTable, DamagedFilesAreRefusedWithAReason)
{
  const std::string good = "RTB 1\nclass C2\nsize 2 2\nbeta 0 180\n0 10 10\n1 5 4\n";
  ASSERT_TRUE(ParseRtb(good, nullptr));
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"other format", "RTX 1\nclass C2\nsize 2 2\nbeta 0 180\n0 10 10\n1 5 4\n"},
      {"a line missing", good.substr(0, good.size() - 6)},
      {"a value missing", "RTB 1\nclass C2\nsize 2 2\nbeta 0 180\n0 10 10\n1 5\n"},
      {"a huge size", "RTB 1\nclass C2\nsize 4000000000 2\nbeta 0 180\n0 10 10\n1 5 4\n"},
      {"betas descending", "RTB 1\nclass C2\nsize 2 2\nbeta 180 0\n0 10 10\n1 5 4\n"},
      {"tan not from 0", "RTB 1\nclass C2\nsize 2 2\nbeta 0 180\n0.5 10 10\n1 5 4\n"},
      {"negative r", "RTB 1\nclass C2\nsize 2 2\nbeta 0 180\n0 10 10\n1 -5 4\n"},
      {"not a number", "RTB 1\nclass C2\nsize 2 2\nbeta 0 180\n0 10 ten\n1 5 4\n"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseRtb(c.text, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
  std::string error;
  EXPECT_FALSE(LoadRtb(kBin + "/no-such-table.rtb", &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace Engines
