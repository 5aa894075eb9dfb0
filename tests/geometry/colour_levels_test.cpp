#include "fixtures.h"

#include "geometry/calc_area.h"
#include "geometry/colour_mapping.h"
#include "geometry/levels.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

TEST(ColourRamps, LogarithmicGreyTable)
{
  struct Case {
    bool fromHundredth;
    double value;
    double cap;
    int grey;
  };
  const Case cases[] = {
      {false, 0.1, 100, 0},     // the ramp's start: sin 0
      {false, 0.0999, 100, 0},  // below the threshold
      {false, 10, 100, 63},     // sin(pi/4)^4 = 1/4
      {false, 99.99, 100, 185}, // just below the cap: sin(3pi/8)^4 x 255 = 185.8
      {false, 100, 100, 255},   // at the cap
      {false, 0.5, 0, 255},     // no cap: everything from the threshold is white
      {true, 0.01, 10, 0},
      {true, 0.0099, 10, 0},
      {true, 0.1, 10, 5},       // sin(pi/8)^4 x 255
      {true, 10, 10, 255},
  };
  for (const Case& c : cases) {
    const int grey = c.fromHundredth ? LogGreyFromHundredth(c.value, c.cap, 255) : LogGreyFromTenth(c.value, c.cap, 255);
    EXPECT_EQ(grey, c.grey) << c.value << " cap " << c.cap;
  }
  EXPECT_EQ(LogGreyCap(AreaKind::kMain), 100);
  EXPECT_EQ(LogGreyCap(AreaKind::kRightWall), 100);
  EXPECT_EQ(LogGreyCap(AreaKind::kMainLuminance), 10);
  EXPECT_EQ(LogGreyCap(AreaKind::kLeftSidewalkSemiCyl), 10);
  EXPECT_EQ(LogGreyCap(0x200), 0);
}

struct PixelCase {
  const char* what;
  double value;
  DWORD flags;
  DWORD kind;
  std::array<int, 4> bytes;  // the 4th only for the wall kinds
};

TEST(ColourRamps, PixelsByFillFlagsAndKind)
{
  CColorLevelArray levels;
  DefaultIlluminanceLevels(levels);  // 0, 5, ..., 40 lx
  const PixelCase cases[] = {
      {"linear grey", 50, FillFlags::kGrey, AreaKind::kMainIlluminance, {127, 127, 127, 0}},
      {"linear grey on a wall has alpha", 50, FillFlags::kGrey, AreaKind::kLeftWall, {127, 127, 127, 230}},
      {"log grey of luminance", 0.1, FillFlags::kGrey | FillFlags::kLogarithmic, AreaKind::kMainLuminance, {5, 5, 5, 0}},
      {"below the first level", -1, FillFlags::kPalette, AreaKind::kMain, {0, 0, 0, 0}},
      {"above the last level: blue, green, red", 45, FillFlags::kPalette, AreaKind::kMain, {0, 0, 255, 0}},
      {"an interior level takes its own colour", 10, FillFlags::kPalette, AreaKind::kMain, {255, 0, 0, 0}},
      {"half way between 5 and 10", 7.5, FillFlags::kPalette, AreaKind::kMain, {177, 0, 0, 0}},
      {"a wall interpolates red, green, blue, alpha", 7.5, FillFlags::kPalette, AreaKind::kLeftWall, {0, 0, 177, 230}},
      {"a wall above the last level stays transparent", 45, FillFlags::kPalette, AreaKind::kRightWall, {0, 0, 255, 0}},
  };
  for (const PixelCase& c : cases) {
    BYTE pixel[4] = {0, 0, 0, 0};
    ColourPixel(pixel, c.value, c.flags, c.kind, levels, 100);
    EXPECT_EQ((std::array<int, 4>{pixel[0], pixel[1], pixel[2], pixel[3]}), c.bytes) << c.what;
  }
}

TEST(ColourRamps, LinearGreyWithoutAnyPositiveResultIsBlack)
{
  CColorLevelArray levels;
  BYTE pixel[3] = {9, 9, 9};
  ColourPixel(pixel, 0, FillFlags::kGrey, AreaKind::kMain, levels, 0);
  EXPECT_EQ(pixel[0] + pixel[1] + pixel[2], 0);
}

TEST(ColourRamps, EqualAdjacentLevelsPassTheSearchOn)
{
  CColorLevelArray levels;
  levels.Add({0, 0x000001, 0});
  levels.Add({5, 0x000002, 0});
  levels.Add({5, 0x000003, 0});
  levels.Add({10, 0x000004, 0});
  BYTE pixel[3] = {0, 0, 0};
  InterpolateLevelColour(pixel, levels, 5, AreaKind::kMain);
  EXPECT_EQ(pixel[2], 3);  // the bracket [5, 10) at t = 0
}

TEST(ColourRamps, FillFlagChoice)
{
  CColorLevelArray levels;
  DefaultIlluminanceLevels(levels);
  CColorLevelArray none;
  struct Case {
    int mode;
    int scale;
    const CColorLevelArray* levels;
    double maximum;
    double positiveMinimum;
    DWORD flags;
  };
  const Case cases[] = {
      {3, 1, &levels, 30, 2, 0x04},
      {3, 2, &levels, 30, 2, 0x06},   // the logarithmic bit lands, and a colour picture ignores it
      {0, 2, &levels, 30, 2, 0x03},
      {2, 1, &levels, 30, 2, 0x01},
      {3, 1, &levels, 0, 0, 0x0C},    // nothing above the first level
      {3, 1, &levels, 50, 40, 0x14},  // everything at or above the last level
      {3, 1, &none, 0, 0, 0x04},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseFillFlags(c.mode, c.scale, *c.levels, {c.maximum, c.positiveMinimum}), c.flags)
        << "mode " << c.mode << " scale " << c.scale << " max " << c.maximum;
  }
}

TEST(PictureSize, MainAreaPicturesAreClampedToTheTextureLimit)
{
  struct Case {
    int width, height, limit, clampedWidth, clampedHeight;
  };
  const Case cases[] = {
      {3000, 1200, 2048, 2048, 819},
      {1200, 3000, 2048, 819, 2048},
      {1000, 500, 2048, 1000, 500},
      {2048, 2048, 2048, 2048, 2048},
  };
  for (const Case& c : cases) {
    int w = c.width;
    int h = c.height;
    ClampPictureSize(&w, &h, c.limit);
    EXPECT_EQ(w, c.clampedWidth);
    EXPECT_EQ(h, c.clampedHeight);
  }
}

TEST(Levels, NiceSteps)
{
  struct Case {
    double max;
    double end;
    double step;
    int count;
  };
  const Case cases[] = {
      {25, 27, 3, 9},
      {0, 0, 0.001, 0},
      {1.5, 1.6, 0.2, 8},
      {100, 100, 10, 10},
      {0.03, 0.03, 0.003, 10},
  };
  for (const Case& c : cases) {
    const CNiceStep nice = NiceStep(c.max);
    EXPECT_EQ(nice.start, 0);
    EXPECT_NEAR(nice.end, c.end, 1e-12) << c.max;
    EXPECT_NEAR(nice.step, c.step, 1e-12) << c.max;
    EXPECT_EQ(nice.count, c.count) << c.max;
  }
}

std::vector<float> ToVector(const CLevelArray& levels)
{
  std::vector<float> out;
  for (INT_PTR k = 0; k < levels.GetSize(); ++k) out.push_back(levels[k]);
  return out;
}

void ExpectLevels(const CLevelArray& levels, const std::vector<float>& expected, const char* what)
{
  const std::vector<float> got = ToVector(levels);
  ASSERT_EQ(got.size(), expected.size()) << what;
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_NEAR(got[k], expected[k], expected[k] * 1e-5 + 1e-7) << what << " level " << k;
  }
}

TEST(Levels, AutomaticSeries)
{
  struct Case {
    double maximum;
    std::vector<float> levels;
  };
  const Case cases[] = {
      {30, {0, 0.1f, 0.2f, 0.4f, 0.6f, 1, 2, 4, 7, 10, 20}},
      {1.5, {0, 0.1f, 0.2f, 0.3f, 0.6f, 1}},
      {12000, {0, 0.1f, 0.2f, 0.3f, 0.6f, 1, 2, 3, 6, 10, 20, 30, 60, 100, 200, 300, 600, 1000, 2000, 3000, 6000, 10000}},
      // Below the first candidate the series still rises.
      {0.05, {0, 0.1f}},
      {0.15, {0, 0.1f}},  // not 0.1 twice
      {0, {0, 0.1f}},
  };
  for (const Case& c : cases) {
    CLevelArray levels;
    BuildAutoLevels(c.maximum, levels);
    ExpectLevels(levels, c.levels, std::to_string(c.maximum).c_str());
  }
}

TEST(Levels, RuleChosenByTheVisualOptions)
{
  VisualOptions options;  // illuminance shown
  CLevelArray levels;

  options.SetAutoIsoLevels(0);
  options.SetIlluminanceLevels({5, 50, 2});
  BuildLevels(options.get(), 10, 10, levels);
  ExpectLevels(levels, {0, 5, 50, 2}, "user levels, one in range: all kept as entered");

  options.SetIlluminanceLevels({50});
  BuildLevels(options.get(), 10, 10, levels);
  ExpectLevels(levels, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "user levels out of range: linear series");

  BuildLevels(options.get(), 0, 0, levels);
  EXPECT_EQ(levels.GetSize(), 0) << "linear series of nothing";

  options.SetAutoIsoLevels(1);
  options.SetScaleType(2);
  BuildLevels(options.get(), 30, 30, levels);
  EXPECT_EQ(levels.GetSize(), 11) << "automatic series";

  options.SetScaleType(3);
  BuildLevels(options.get(), 30, 30, levels);
  EXPECT_EQ(levels.GetSize(), 0) << "unknown scale type";
}

}  // namespace
