#include "outside/engines/road_input.h"

#include <gtest/gtest.h>

#include "input_fixture.h"
#include "outside/engines/road_calc.h"
#include "road_fixture.h"

namespace Engines {
namespace {

using testing::HandWrittenInput;

TEST(StraightRoadInput, HandWrittenFileReadsFieldByField)
{
  std::string error;
  auto in = ParseStraightRoadInput(HandWrittenInput(), &error);
  ASSERT_TRUE(in) << error;
  EXPECT_TRUE(in->carriagewayTakesPart);
  EXPECT_EQ(in->reflectionTablePath, "/opt/tesmira/Bin/rtab_1.rtb");
  EXPECT_EQ(in->surface, 0u);
  EXPECT_TRUE(in->twoWay);
  EXPECT_EQ(in->mainLanes, 2u);
  EXPECT_EQ(in->mainLaneWidth, 3.75);
  EXPECT_EQ(in->oppositeState, 0u);
  EXPECT_TRUE(in->OppositeSeparate());
  EXPECT_EQ(in->oppositeLanes, 3u);
  EXPECT_EQ(in->oppositeLaneWidth, 3.5);
  EXPECT_TRUE(in->divider);
  EXPECT_EQ(in->dividerWidth, 2.5);
  EXPECT_TRUE(in->parapet);
  EXPECT_EQ(in->parapetWidth, 0.5);
  EXPECT_EQ(in->parapetHeight, 0.8);
  EXPECT_TRUE(in->sidewalksTakePart);
  EXPECT_TRUE(in->rightSidewalk.present);
  EXPECT_EQ(in->rightSidewalk.width, 2.0);
  EXPECT_EQ(in->rightSidewalk.gap, 1.5);
  EXPECT_TRUE(in->leftSidewalk.present);
  EXPECT_EQ(in->leftSidewalk.width, 2.25);
  EXPECT_EQ(in->leftSidewalk.gap, 0.5);
  EXPECT_TRUE(in->wallsTakePart);
  EXPECT_TRUE(in->rightWall.present);
  EXPECT_EQ(in->rightWall.width, 6.0);
  EXPECT_EQ(in->rightWall.gap, 1.0);
  EXPECT_FALSE(in->leftWall.present);
  EXPECT_EQ(in->maintenanceFactor, 0.7);
  EXPECT_EQ(in->maxAngleCount, 3u);
  EXPECT_EQ(in->maxPlaneCount, 5u);
  ASSERT_EQ(in->luminaires.size(), 3u);

  const LuminaireRecord& pole = in->luminaires[0];
  EXPECT_EQ(pole.mounting, Mounting::Pole);
  EXPECT_EQ(pole.arrangement, Arrangement::TwoSided);
  EXPECT_EQ(pole.spacing, 30.0);
  EXPECT_EQ(pole.height, 10.578);
  EXPECT_EQ(pole.outreach, 2.29);
  EXPECT_EQ(pole.setback, 1.0);
  EXPECT_EQ(pole.tilt, 15.0);
  EXPECT_EQ(pole.rotation, 0.0);
  EXPECT_EQ(pole.offset, 0.0);
  EXPECT_EQ(pole.type, 1u);

  const LuminaireRecord& mast = in->luminaires[1];
  EXPECT_EQ(mast.mounting, Mounting::Mast);
  EXPECT_EQ(mast.arrangement, Arrangement::Suspended);
  EXPECT_EQ(mast.spacing, 25.0);
  EXPECT_EQ(mast.height, 12.0);
  EXPECT_EQ(mast.aimTilt, 90.0);
  EXPECT_EQ(mast.aimTurn, 0.0);
  EXPECT_EQ(mast.luminaireTurn, 0.0);
  EXPECT_EQ(mast.offset, 12.5);
  EXPECT_EQ(mast.type, 2u);

  const LuminaireRecord& floor = in->luminaires[2];
  EXPECT_EQ(floor.mounting, Mounting::FloorLamp);
  EXPECT_EQ(floor.arrangement, Arrangement::Staggered);
  EXPECT_EQ(floor.spacing, 20.0);
  EXPECT_EQ(floor.height, 4.0);
  EXPECT_EQ(floor.outreach, 0.5);
  EXPECT_EQ(floor.setback, 0.3);
  EXPECT_EQ(floor.rotation, -90.0);
  EXPECT_EQ(floor.mountNode, 1u);
  EXPECT_EQ(floor.luminaireTurn, 90.0);
  EXPECT_EQ(floor.offset, -5.0);
  EXPECT_EQ(floor.type, 1u);

  EXPECT_EQ(in->fieldLength, 30.0);
  ASSERT_EQ(in->types.size(), 2u);
  const IntensityTable& c = in->types[0];
  EXPECT_TRUE(c.cPlanes);
  EXPECT_EQ(c.angles, (std::vector<double>{0, 45, 90}));
  EXPECT_EQ(c.planes, (std::vector<double>{-180, -90, 0, 90, 180}));
  ASSERT_EQ(c.candela.size(), 15u);
  EXPECT_EQ(c.Value(2, 1), 100.0);  // plane 0, gamma 45
  EXPECT_EQ(c.Value(4, 2), 10.0);
  const IntensityTable& b = in->types[1];
  EXPECT_FALSE(b.cPlanes);
  EXPECT_EQ(b.candela, (std::vector<double>{5000, 6000, 7000, 8000}));
}

TEST(StraightRoadInput, OneWayRoadWithoutSidewalksOrWallsHasNoSuchLines)
{
  const std::string text =
      "0\n/x/rtab_2.rtb\n1\n0\n3\n3.5\n"  // carriageway off, rough surface, one-way, 3 lanes
      "0\n0\n"                             // sidewalks and walls do not take part
      "0.8\n1\n1\n1\n1\n"                  // MF, one luminaire of one type with a one-by-one table
      "0\n0\n35\n9\n1\n0.5\n0\n0\n7\n1\n"
      "35\n"
      "0\n1\n1\n0\n0\n2500\n";
  std::string error;
  auto in = ParseStraightRoadInput(text, &error);
  ASSERT_TRUE(in) << error;
  EXPECT_FALSE(in->carriagewayTakesPart);
  EXPECT_EQ(in->surface, 1u);
  EXPECT_FALSE(in->twoWay);
  EXPECT_FALSE(in->OppositeSeparate());
  EXPECT_FALSE(in->sidewalksTakePart);
  EXPECT_FALSE(in->wallsTakePart);
  EXPECT_EQ(in->luminaires[0].offset, 7.0);
  EXPECT_EQ(in->fieldLength, 35.0);
  EXPECT_EQ(in->types[0].candela, std::vector<double>{2500});
}

TEST(StraightRoadInput, EveryTruncationIsRefusedWithoutHarm)
{
  const std::string text = HandWrittenInput();
  // Cut inside the last number the file still reads (as a smaller number); every earlier cut must fail.
  const std::size_t lastItem = text.find_last_of("\t\n", text.size() - 2) + 1;
  for (std::size_t length = 0; length < lastItem; ++length) {
    std::string error;
    EXPECT_FALSE(ParseStraightRoadInput(std::string_view(text).substr(0, length), &error)) << length;
    EXPECT_FALSE(error.empty()) << length;
  }
}

TEST(StraightRoadInput, DamagedValuesAreRefusedWithTheirLine)
{
  const std::string good = HandWrittenInput();
  auto replaceLine = [&](int line, const std::string& with) {
    std::size_t start = 0;
    for (int i = 1; i < line; ++i)
      start = good.find('\n', start) + 1;
    std::size_t end = good.find('\n', start);
    return good.substr(0, start) + with + good.substr(end);
  };
  // Line numbers of the fixture: 28 luminaire count, 29 type count, 30/31 largest counts, 32..41 the first
  // record, 69 the first block's gamma count, 71 its gamma angles.
  // Largest gamma count and the first block's count both 100000, for a file of a few hundred bytes.
  std::string hugeTable = replaceLine(30, "100000");
  hugeTable.replace(hugeTable.find("\n0\n3\n5\n0\t45") + 3, 1, "100000");
  struct Case {
    const char* what;
    std::string text;
    const char* line;
  } cases[] = {
      {"two-way flag not a number", replaceLine(4, "yes"), "line 4"},
      {"a flag that would wrap round to 0 in 32 bits", replaceLine(4, "4294967296"), "line 4"},
      {"a lane count beyond reason", replaceLine(5, "4000000000"), "line 5"},
      {"a negative width", replaceLine(6, "-3.75"), "line 6"},
      {"a width that is not finite", replaceLine(6, "nan"), "line 6"},
      {"too many luminaires", replaceLine(28, "99999999"), "line 28"},
      {"more types than luminaires", replaceLine(29, "4"), "line 29"},
      {"mounting kind 3", replaceLine(32, "3"), "line 32"},
      {"arrangement 6", replaceLine(33, "6"), "line 33"},
      {"type 0", replaceLine(41, "0"), "line 41"},
      {"type beyond the types", replaceLine(41, "3"), "line 41"},
      {"a block larger than announced", replaceLine(69, "4"), "line 69"},
      {"gamma angles descending", replaceLine(71, "90\t45\t0"), "line 71"},
      {"a huge table in a short file", hugeTable, "larger than the rest"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseStraightRoadInput(c.text, &error)) << c.what;
    EXPECT_NE(error.find(c.line), std::string::npos) << c.what << ": " << error;
  }
}

}  // namespace
}  // namespace Engines

namespace Engines {
namespace {

// Damage one byte at a time: the parser either refuses or yields an input the calculation survives.
TEST(StraightRoadInput, SingleByteDamageNeverHarmsTheCalculation)
{
  const std::string good = testing::HandWrittenInput();
  const ReflectionTable diffuse = testing::Diffuse(0.07);
  int calculated = 0;
  for (std::size_t at = 0; at < good.size(); ++at)
    for (char with : {'9', 'x', '\n', '-'}) {
      std::string text = good;
      text[at] = with;
      auto in = ParseStraightRoadInput(text, nullptr);
      if (!in)
        continue;
      SilentHost host;
      StraightRoadResult res;
      std::string error;
      int code = CalculateStraightRoad(*in, &diffuse, host, res, &error);
      EXPECT_TRUE(code == kEngineOk || code == kInputMalformed) << at << " " << with;
      calculated += code == kEngineOk;
    }
  EXPECT_GT(calculated, 0);
}

}  // namespace
}  // namespace Engines
