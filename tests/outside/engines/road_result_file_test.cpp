#include "outside/engines/road_result_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "input_fixture.h"
#include "outside/engines/reflection_table.h"
#include "road_fixture.h"

namespace Engines {
namespace {

// The file read back item by item, as the program's reader sees it.
struct Items {
  std::vector<std::uint8_t> bytes;
  std::uint32_t U32(std::size_t item) const
  {
    const std::uint8_t* p = &bytes.at(item * 4 + 3) - 3;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  }
  float F32(std::size_t item) const
  {
    std::uint32_t v = U32(item);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
  }
  std::vector<float> Floats(std::size_t from, std::size_t count) const
  {
    std::vector<float> v;
    for (std::size_t i = 0; i < count; ++i)
      v.push_back(F32(from + i));
    return v;
  }
  std::size_t Count() const { return bytes.size() / 4; }
};

double Mean(const std::vector<float>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / v.size(); }

Items Calculate(const StraightRoadInput& in, const ReflectionTable* rtable)
{
  SilentHost host;
  StraightRoadResult res;
  std::string error;
  EXPECT_EQ(CalculateStraightRoad(in, rtable, host, res, &error), kEngineOk) << error;
  Items items{FormatStraightRoadResult(in, res)};
  EXPECT_EQ(items.bytes.size() % 4, 0u);
  return items;
}

// The hand-written road: two-way, opposite direction on its own, both sidewalks, the right wall.
// 10 points along 30 m; sidewalks 2 m and 2.25 m: 3 points each; the 6 m wall: 4 points; 2 main lanes: 6 points;
// 3 opposite lanes: 9 points; 2 observers.
TEST(StraightRoadResultFile, HandWrittenRoadFillsEverySectionInOrder)
{
  auto in = ParseStraightRoadInput(testing::HandWrittenInput(), nullptr);
  ASSERT_TRUE(in);
  std::string error;
  auto rtable = LoadRtb(std::string(TESMIRA_ENGINE_BIN_DIR) + "/rtab_1.rtb", &error);
  ASSERT_TRUE(rtable) << error;
  Items f = Calculate(*in, &*rtable);

  // Items 0-12: nX, header1, header2, xs[10].
  EXPECT_EQ(f.U32(0), 10u);
  EXPECT_EQ(f.U32(1), 1u);
  EXPECT_EQ(f.U32(2), 1u);
  EXPECT_FLOAT_EQ(f.F32(3), 1.5f);
  EXPECT_FLOAT_EQ(f.F32(12), 28.5f);
  // 13-83, right sidewalk: n 3; y[3] (-3.5 .. -1.5); E[30]; summary 5; utilisation; Esc[30]; Esc min.
  EXPECT_EQ(f.U32(13), 3u);
  EXPECT_FLOAT_EQ(f.F32(14), -3.5f + 1.0f / 3);
  auto eRight = f.Floats(17, 30);
  EXPECT_NEAR(f.F32(47), Mean(eRight), 1e-4 * Mean(eRight));
  EXPECT_FLOAT_EQ(f.F32(48), *std::min_element(eRight.begin(), eRight.end()));
  auto escRight = f.Floats(53, 30);
  EXPECT_FLOAT_EQ(f.F32(83), *std::min_element(escRight.begin(), escRight.end()));
  // 84-154, left sidewalk from the left carriageway edge 7.5 + 2.5 + 10.5 = 20.5 plus its gap 0.5.
  EXPECT_EQ(f.U32(84), 3u);
  EXPECT_FLOAT_EQ(f.F32(85), 21.0f + 0.375f);
  // 155-165: nWallX 10, xsWall; 166-211 right wall: n 4, z[4], Ev[40], Ev max.
  EXPECT_EQ(f.U32(155), 10u);
  EXPECT_FLOAT_EQ(f.F32(156), 1.5f);
  EXPECT_EQ(f.U32(166), 4u);
  EXPECT_FLOAT_EQ(f.F32(167), 0.75f);
  auto ev = f.Floats(171, 40);
  EXPECT_FLOAT_EQ(f.F32(211), *std::max_element(ev.begin(), ev.end()));
  // 212-285 carriageway: header3, nRoad 6, yRoad[6], E[60], summary 5, utilisation.
  EXPECT_EQ(f.U32(212), 1u);
  EXPECT_EQ(f.U32(213), 6u);
  EXPECT_FLOAT_EQ(f.F32(214), 0.625f);
  auto eRoad = f.Floats(220, 60);
  EXPECT_NEAR(f.F32(280), Mean(eRoad), 1e-4 * Mean(eRoad));
  // 286-405: two observer grids of 60, without their five values (the opposite direction is separate).
  auto lum0 = f.Floats(286, 60), lum1 = f.Floats(346, 60);
  // 406-517 opposite: nOpp 9, yOpp[9] from 7.5 + 2.5, E[90], summary 5, utilisation, whole summary 5, utilisation.
  EXPECT_EQ(f.U32(406), 9u);
  EXPECT_FLOAT_EQ(f.F32(407), 10.0f + 3.5f / 6);
  auto eOpp = f.Floats(416, 90);
  EXPECT_NEAR(f.F32(506), Mean(eOpp), 1e-4 * Mean(eOpp));
  std::vector<float> whole = eRoad;
  whole.insert(whole.end(), eOpp.begin(), eOpp.end());
  EXPECT_NEAR(f.F32(512), Mean(whole), 1e-4 * Mean(whole));
  EXPECT_NEAR(f.F32(517), f.F32(285) + f.F32(511), 1e-6);
  // 518-707: per observer the opposite grid of 90 and the observer's five values over both of its grids.
  for (std::size_t k = 0; k < 2; ++k) {
    auto opp = f.Floats(518 + k * 95, 90);
    std::vector<float> both = k == 0 ? lum0 : lum1;
    both.insert(both.end(), opp.begin(), opp.end());
    std::size_t five = 518 + k * 95 + 90;
    EXPECT_NEAR(f.F32(five), Mean(both), 1e-4 * Mean(both)) << k;
    EXPECT_FLOAT_EQ(f.F32(five + 1), *std::min_element(both.begin(), both.end())) << k;
    EXPECT_FLOAT_EQ(f.F32(five + 2), *std::max_element(both.begin(), both.end())) << k;
  }
  // 708-711: TI and glare index per observer; 712-716: the luminance summary, the worst observer's figures.
  EXPECT_GT(f.F32(708), 0.0f);
  EXPECT_FLOAT_EQ(f.F32(712), std::min(f.F32(608), f.F32(703)));
  EXPECT_FLOAT_EQ(f.F32(715), std::max(f.F32(708), f.F32(710)));
  EXPECT_EQ(f.Count(), 717u);
}

// One-way road, carriageway on: each observer grid is followed by its five values; no opposite block.
// 10 + 3 header items; 2 lanes: header3, nRoad, 6 y, 60 E, 5, 1; 2 x (60 + 5); 2 x 2; 5.
TEST(StraightRoadResultFile, OneWayRoadPutsTheFiveValuesAfterEachObserverGrid)
{
  StraightRoadInput in = testing::OneWayRoad();
  in.sidewalksTakePart = false;
  const ReflectionTable rtable = testing::Diffuse(0.07);
  Items f = Calculate(in, &rtable);
  ASSERT_EQ(f.Count(), 13u + 74 + 130 + 4 + 5);
  EXPECT_EQ(f.U32(13), 1u);
  EXPECT_EQ(f.U32(14), 6u);
  auto lum0 = f.Floats(87, 60);
  EXPECT_NEAR(f.F32(147), Mean(lum0), 1e-4 * Mean(lum0));
  EXPECT_FLOAT_EQ(f.F32(148), *std::min_element(lum0.begin(), lum0.end()));
  EXPECT_FLOAT_EQ(f.F32(221), std::min(f.F32(147), f.F32(212)));  // Lav of the worse observer
}

// Carriageway off, only the right sidewalk, walls present but neither wall on: the file ends with nWallX and xs.
TEST(StraightRoadResultFile, SidewalkOnlyRoadEndsAfterTheWallAxis)
{
  StraightRoadInput in = testing::OneWayRoad();
  in.carriagewayTakesPart = false;
  in.leftSidewalk.present = false;
  in.wallsTakePart = true;
  Items f = Calculate(in, nullptr);
  ASSERT_EQ(f.Count(), 13u + 71 + 11);
  EXPECT_EQ(f.U32(13), 3u);
  EXPECT_EQ(f.U32(84), 10u);
}

}  // namespace
}  // namespace Engines

namespace Engines {
namespace {

// Every combination of the sections' conditions gives a file of exactly the length the layout adds up to:
// 10 points along, 3 per lane, 3 across a 2 m sidewalk, 4 up a 6 m wall.
TEST(StraightRoadResultFile, EveryCombinationOfSectionsHasTheLengthOfItsLayout)
{
  const ReflectionTable rtable = testing::Diffuse(0.07);
  const std::size_t nX = 10, lanes = 2, oppLanes = 3;
  for (int carriageway = 0; carriageway < 2; ++carriageway)
    for (int twoWay = 0; twoWay < 2; ++twoWay)
      for (int oppositeOff = 0; oppositeOff < 2; ++oppositeOff)
        for (int walks = 0; walks < 5; ++walks)  // 0 out, 1 none present, 2 right, 3 left, 4 both
          for (int walls = 0; walls < 5; ++walls) {
            StraightRoadInput in = testing::OneWayRoad();
            in.carriagewayTakesPart = carriageway;
            in.twoWay = twoWay;
            in.oppositeState = oppositeOff;
            in.oppositeLanes = oppLanes;
            in.oppositeLaneWidth = 3.0;
            in.sidewalksTakePart = walks > 0;
            in.rightSidewalk.present = walks == 2 || walks == 4;
            in.leftSidewalk.present = walks == 3 || walks == 4;
            in.wallsTakePart = walls > 0;
            in.rightWall = {walls == 2 || walls == 4, 6.0, 1.0};
            in.leftWall = {walls == 3 || walls == 4, 6.0, 1.0};

            std::size_t n = 3 + nX;
            const std::size_t walk = 1 + 3 + nX * 3 + 5 + 1 + nX * 3 + 1, wall = 1 + 4 + nX * 4 + 1;
            n += walk * (in.RightSidewalk() + in.LeftSidewalk());
            if (in.wallsTakePart)
              n += 1 + nX + wall * (in.RightWall() + in.LeftWall());
            if (carriageway) {
              const std::size_t main = 3 * lanes, opp = 3 * oppLanes;
              const bool separate = twoWay && !oppositeOff;
              n += 2 + main + nX * main + 5 + 1 + lanes * (nX * main + (separate ? 0 : 5));
              if (separate)
                n += 1 + opp + nX * opp + 5 + 1 + 5 + 1 + lanes * (nX * opp + 5);
              n += 2 * lanes + 5;
            }
            SCOPED_TRACE(::testing::Message() << "carriageway " << carriageway << " two-way " << twoWay
                                              << " opposite off " << oppositeOff << " walks " << walks << " walls "
                                              << walls);
            EXPECT_EQ(Calculate(in, &rtable).Count(), n);
          }
}

}  // namespace
}  // namespace Engines
