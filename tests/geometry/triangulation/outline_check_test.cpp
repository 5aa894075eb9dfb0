#include "geometry/triangulation/outline_check.h"

#include "platform/base/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
  const char* name;
  std::vector<OutlinePoint> outline;
  OutlineFault fault;
  std::vector<size_t> kept;  // checked when the outline passes
};

TEST(PolygonOutlineCheck, RepeatsDroppedAndBadOutlinesRefused)
{
  const std::vector<Case> cases = {
      {"simple square", {{0, 0}, {4, 0}, {4, 4}, {0, 4}}, OutlineFault::kNone, {0, 1, 2, 3}},
      {"repeated vertex", {{0, 0}, {4, 0}, {4, 0}, {4, 4}, {0, 4}}, OutlineFault::kNone, {0, 1, 3, 4}},
      {"closing point repeats the first", {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}}, OutlineFault::kNone, {0, 1, 2, 3}},
      {"repeat within a micrometre", {{0, 0}, {4, 0}, {4, 4}, {4, 4.0000001}, {0, 4}}, OutlineFault::kNone,
       {0, 1, 2, 4}},
      {"collinear run kept", {{0, 0}, {2, 0}, {4, 0}, {4, 4}, {0, 4}}, OutlineFault::kNone, {0, 1, 2, 3, 4}},
      {"bow tie", {{0, 0}, {2, 2}, {2, 0}, {0, 2}}, OutlineFault::kSelfCrossing, {}},
      {"vertex on another edge", {{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}, OutlineFault::kSelfCrossing, {}},
      {"vertex visited twice", {{0, 0}, {4, 0}, {2, 2}, {4, 4}, {0, 4}, {2, 2}}, OutlineFault::kSelfCrossing, {}},
      {"outline doubles back", {{0, 0}, {4, 0}, {2, 0}, {2, 3}}, OutlineFault::kSelfCrossing, {}},
      {"overlapping edges", {{0, 0}, {6, 0}, {6, 2}, {3, 0}, {1, 0}, {0, 3}}, OutlineFault::kSelfCrossing, {}},
      {"two points after repeats", {{0, 0}, {0, 0}, {3, 1}, {3, 1}}, OutlineFault::kTooFewPoints, {}},
      {"all on one line", {{0, 0}, {1, 1}, {3, 3}}, OutlineFault::kTooFewPoints, {}},
      {"empty", {}, OutlineFault::kTooFewPoints, {}},
  };
  for (const Case& c : cases) {
    const OutlineCheck check = CheckPolygonOutline(c.outline);
    EXPECT_EQ(check.fault, c.fault) << c.name;
    if (c.fault == OutlineFault::kNone) {
      EXPECT_EQ(check.kept, c.kept) << c.name;
      EXPECT_EQ(check.Message(), nullptr) << c.name;
    } else {
      EXPECT_NE(check.Message(), nullptr) << c.name;
    }
  }
}

TEST(PolygonOutlineCheck, PrimitiveOutlineLosesRepeatsOrStaysWithAMessage)
{
  CArray<_CSPOINT3D> outline;
  for (const auto& [x, y, z] : std::vector<std::tuple<double, double, double>>{
           {0, 0, 1}, {5, 0, 2}, {5, 0, 9}, {5, 5, 3}, {0, 5, 4}, {0, 0, 5}}) {
    outline.Add(_CSPOINT3D{x, y, z, 0, 0});
  }
  EXPECT_EQ(PreparePolygonOutline(outline), nullptr);
  ASSERT_EQ(outline.GetSize(), 4);
  // The first of the repeated points stays, with its height.
  EXPECT_EQ(outline[1].z, 2.0);
  EXPECT_EQ(outline[3].z, 4.0);

  CArray<_CSPOINT3D> crossing;
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{0, 0}, {2, 2}, {2, 0}, {0, 2}}) {
    crossing.Add(_CSPOINT3D{x, y, 0, 0, 0});
  }
  const char* message = PreparePolygonOutline(crossing);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(crossing.GetSize(), 4);
  // The message reaches the user in code page 1251.
  EXPECT_EQ(static_cast<unsigned char>(message[0]), 0xCA);  // "К"
}

}  // namespace
