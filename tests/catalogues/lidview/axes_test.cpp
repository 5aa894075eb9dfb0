// The axis numbers of the intensity diagram: limits and steps, label texts, and which ticks a grid draws and
// labels.
#include "catalogues/lidview/axes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(AxisStep, LimitsStepsAndIntervals)
{
  const struct {
    int flags;
    double low, high;
    double newLow, newHigh, step;
    int intervals;
  } cases[] = {
      {3, -90, 90, -90, 90, 20, 9},        // both ends kept: the view's x divisions for +-90
      {3, -180, 180, -180, 180, 40, 9},
      {0, 0, 0.035, 0, 0.036, 0.004, 9},    // scaled by 1000 for the search
      {0, 0, 437, 0, 450, 50, 9},
      {0, -35, 248, -40, 280, 40, 8},
      {0, 248, -35, -40, 280, 40, 8},       // ends swapped
      {1, -35, 248, -35, 280, 40, 8},       // the low end kept
      {0, 0, 0, 0, 0, 0.001, 0},
  };
  for (const auto& c : cases) {
    const AxisChoice a = ChooseAxisStep(c.flags, c.low, c.high);
    const std::string name = std::to_string(c.low) + ".." + std::to_string(c.high);
    EXPECT_DOUBLE_EQ(a.low, c.newLow) << name;
    EXPECT_DOUBLE_EQ(a.high, c.newHigh) << name;
    EXPECT_DOUBLE_EQ(a.step, c.step) << name;
    EXPECT_EQ(a.intervals, c.intervals) << name;
    EXPECT_EQ(a.result, 0) << name;
  }
}

TEST(AxisStep, DecimalOrderAndOneDigitSteps)
{
  const struct {
    double m;
    int order;
    double step;
    int decimals;
  } cases[] = {
      {18, 2, 20, 0}, {45, 2, 50, 0},   {50, 2, 100, 0},   {60, 2, 100, 0},    {4.6, 1, 5, 0},
      {9, 1, 10, 0},  {1, -1, 1, 1},    {0.5, -1, 1, 1}, {0.25, -1, 0.3, 2}, {0.03, -2, 0.03, 3},
      {0.05, -2, 0.1, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecimalOrder(c.m), c.order) << c.m;
    const OneDigitStep s = ChooseOneDigitStep(c.m);
    EXPECT_DOUBLE_EQ(s.step, c.step) << c.m;
    EXPECT_EQ(s.decimals, c.decimals) << c.m;
  }
  EXPECT_EQ(DecimalOrder(0), 0);
  EXPECT_EQ(DecimalOrder(-250), 3);
}

TEST(AxisStep, EightDecimalTextsAndRounding)
{
  const struct {
    double x;
    const char* text;
  } cases[] = {{-0.5, "-0.5"}, {2, "2"},     {0.000000001, "0"}, {-0.000000001, "0"}, {0, "0"},
               {10, "10"},     {-170, "-170"}, {0.036, "0.036"}, {1234.5, "1234.5"}};
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(FormatEightDecimals(c.x)), c.text) << c.x;
  }
  EXPECT_DOUBLE_EQ(RoundTo(1, 0.25), 0.3);
  EXPECT_DOUBLE_EQ(RoundTo(1, -0.25), -0.3) << "half away from zero";
  EXPECT_DOUBLE_EQ(RoundTo(0, 2.5), 3);
}

// Ticks as text: the value, with "*" when labelled.
std::vector<std::string> Ticks(double low, double high, double d, int skip, double narrowFrom = 1e9)
{
  std::vector<std::string> ticks;
  WalkTicks(
      low, high, d, skip, true, [&](double v) { return v < narrowFrom; },
      [&](double v, bool labelled) { ticks.push_back(std::to_string(static_cast<int>(v)) + (labelled ? "*" : "")); });
  return ticks;
}

TEST(AxisStep, TickWalks)
{
  using T = std::vector<std::string>;
  // Every tick from 0 up; then down from 0 without a second label at 0.
  EXPECT_EQ(Ticks(-20, 20, 10, 0), (T{"0*", "10*", "20*", "0", "-10*", "-20*"}));
  // Every third tick; the end is always drawn and the tick before it loses its label.
  EXPECT_EQ(Ticks(0, 100, 10, 2), (T{"0*", "30*", "60*", "90", "100*"}));
  EXPECT_EQ(Ticks(0, 110, 10, 2), (T{"0*", "30*", "60*", "90", "110*"}));
  EXPECT_EQ(Ticks(0, 120, 10, 2), (T{"0*", "30*", "60*", "90*", "120*"})) << "an end on the rhythm";
  // A range that does not touch 0 is walked down from its high end.
  EXPECT_EQ(Ticks(200, 500, 100, 0), (T{"500*", "400*", "300*", "200*"}));
  EXPECT_EQ(Ticks(-50, 0, 10, 1), (T{"0*", "-20*", "-40", "-50*"}));
  // Labels that do not fit stop at the first that does not; only the end tick is still labelled.
  EXPECT_EQ(Ticks(0, 50, 10, 1, 20), (T{"0*", "20", "40", "50*"}));
  EXPECT_EQ(Ticks(0, 50, 10, 0, 20), (T{"0*", "10*", "20", "30", "40", "50"})) << "no forced end tick";
  // An axis whose values are all equal has a step of 0: the walks end at once.
  EXPECT_EQ(Ticks(0, 50, 0, 0), T{});
  EXPECT_EQ(Ticks(-20, 20, 0, 3), T{});
  EXPECT_EQ(Ticks(0, 0, 0, 0), T{});
}

TEST(AxisStep, ExtendToWholeSteps)
{
  const struct {
    double low, high, d, newLow, newHigh;
  } cases[] = {
      {-35, 248, 40, -40, 280}, {0, 248, 40, 0, 280}, {-35, 0, 10, -40, 0}, {200, 480, 100, 180, 480},
      {-90, 90, 10, -90, 90},   {0, 0, 1, -1, 0},         {0, 248, 0, 0, 248},  // a step of 0 changes nothing
  };
  for (const auto& c : cases) {
    double low = c.low, high = c.high;
    ExtendToSteps(low, high, c.d);
    EXPECT_DOUBLE_EQ(low, c.newLow) << c.low << ".." << c.high;
    EXPECT_DOUBLE_EQ(high, c.newHigh) << c.low << ".." << c.high;
  }
}

TEST(AxisStep, RaysOfThePolarGrid)
{
  const struct {
    int u, most, rays;
  } cases[] = {{36, 36, 36}, {100, 36, 36}, {30, 36, 24}, {10, 36, 8}, {3, 36, 0}, {16, 16, 16}, {13, 16, 12}};
  for (const auto& c : cases)
    EXPECT_EQ(ChooseRayCount(c.u, c.most), c.rays) << c.u << " of " << c.most;
}

}  // namespace
