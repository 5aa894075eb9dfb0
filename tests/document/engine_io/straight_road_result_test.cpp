#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/straight_road_result.h"
#include "engine_io_fixture.h"
#include "tests/model/archive_bytes.h"

#include <gtest/gtest.h>

#include <limits>

#include <vector>

namespace {

class StraightRoadResult : public EngineIoTest {
protected:
  int Read(const Bytes& file)
  {
    const auto path = TestFilePath("result");
    {
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(file.data().data()), static_cast<std::streamsize>(file.size()));
    }
    const int code = ReadEngineResult1(&doc, CString(path.string().c_str()));
    std::filesystem::remove(path);
    return code;
  }

  void OneWayRoadWithWalls()
  {
    const int off = 0, absent = 0x303, walled = 0x3001;
    road->SetTwoWay(&off);
    sidewalks->SetFlags(&absent);
    walls->SetFlags(&walled);
  }

  // Two main lanes (two observers), walls on both sides, written by hand in the file's order.
  static Bytes OneWayFile()
  {
    Bytes b;
    b.u32(2).i32(1).i32(2).f32s({1.5f, 4.5f});
    b.u32(2).f32s({1.5f, 4.5f});                            // points along the walls
    b.u32(1).f32s({0.75f}).f32s({3, 4}).f32(4.5f);          // right wall
    b.u32(1).f32s({1.25f}).f32s({5, 6}).f32(6.5f);          // left wall
    b.i32(3).u32(3).f32s({0.5f, 1.5f, 2.5f});
    b.f32s({10, 11, 12, 13, 14, 15});                       // E over 2 x 3 points
    b.f32s({12.5f, 10, 15, 0.8f, 0.66f}).f32(0.4f);
    b.f32s({1, 2, 3, 4, 5, 6}).f32s({3.5f, 1, 6, 0.28f, 0.16f});
    b.f32s({7, 8, 9, 10, 11, 12}).f32s({9.5f, 7, 12, 0.73f, 0.58f});
    b.f32s({8, 2}).f32s({9, 3});                            // TI and glare index per observer
    b.f32s({3.5f, 0.28f, 0.16f, 9, 3});
    return b;
  }
};

template <class T>
std::vector<T> Span(const T* p, std::size_t n)
{
  return p ? std::vector<T>(p, p + n) : std::vector<T>();
}

std::vector<float> Five(const float (&v)[5]) { return std::vector<float>(v, v + 5); }

TEST_F(StraightRoadResult, OneWayRoadReadsFiveValuesAfterEachObserverGrid)
{
  OneWayRoadWithWalls();
  ASSERT_EQ(Read(OneWayFile()), 0);
  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  EXPECT_EQ(r.nX, 2u);
  EXPECT_EQ(r.header1, 1);
  EXPECT_EQ(r.header2, 2);
  EXPECT_EQ(r.header3, 3);
  EXPECT_EQ(Span(r.xs, 2), (std::vector<float>{1.5f, 4.5f}));
  EXPECT_EQ(r.nRightWalk, 0u);
  EXPECT_EQ(r.nLeftWalk, 0u);
  EXPECT_EQ(r.nWallX, 2u);
  EXPECT_EQ(Span(r.xsWall, 2), (std::vector<float>{1.5f, 4.5f}));
  EXPECT_EQ(r.nRightWall, 1u);
  EXPECT_EQ(Span(r.zRightWall, 1), std::vector<float>{0.75f});
  EXPECT_EQ(Span(r.evRightWall, 2), (std::vector<float>{3, 4}));
  EXPECT_EQ(r.evMaxRightWall, 4.5f);
  EXPECT_EQ(r.nLeftWall, 1u);
  EXPECT_EQ(Span(r.zLeftWall, 1), std::vector<float>{1.25f});
  EXPECT_EQ(Span(r.evLeftWall, 2), (std::vector<float>{5, 6}));
  EXPECT_EQ(r.evMaxLeftWall, 6.5f);
  EXPECT_EQ(r.nRoad, 3u);
  EXPECT_EQ(Span(r.yRoad, 3), (std::vector<float>{0.5f, 1.5f, 2.5f}));
  EXPECT_EQ(Span(r.eRoad, 6), (std::vector<float>{10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(Span(r.nodeState, 6), std::vector<int>(6, 0));
  EXPECT_EQ(Five(r.sumRoad), (std::vector<float>{12.5f, 10, 15, 0.8f, 0.66f}));
  EXPECT_EQ(r.utilRoad, 0.4f);
  EXPECT_EQ(Five(r.sumWhole), Five(r.sumRoad));
  EXPECT_EQ(r.utilWhole, 0.4f);
  EXPECT_EQ(r.nObservers, 2u);
  EXPECT_EQ(r.nObserversOpp, 0u);
  EXPECT_EQ(r.nOpp, 0u);
  EXPECT_EQ(r.lumObserverOpp, nullptr);
  EXPECT_EQ(Span(r.lumObserver, 12), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(Span(r.obsLumAvg, 2), (std::vector<float>{3.5f, 9.5f}));
  EXPECT_EQ(Span(r.obsLumMin, 2), (std::vector<float>{1, 7}));
  EXPECT_EQ(Span(r.obsLumMax, 2), (std::vector<float>{6, 12}));
  EXPECT_EQ(Span(r.obsUniformity, 2), (std::vector<float>{0.28f, 0.73f}));
  EXPECT_EQ(Span(r.obsLongUniformity, 2), (std::vector<float>{0.16f, 0.58f}));
  EXPECT_EQ(Span(r.obsThreshold, 2), (std::vector<float>{8, 9}));
  EXPECT_EQ(Span(r.obsGlare, 2), (std::vector<float>{2, 3}));
  EXPECT_EQ(Five(r.lumSummary), (std::vector<float>{3.5f, 0.28f, 0.16f, 9, 3}));
  EXPECT_EQ(r.worstObserver, 0);  // the lower average luminance
}

TEST_F(StraightRoadResult, SeparateOppositeDirectionReadsItsOwnBlock)
{
  SetLanes(kLaneMain, 1);  // one observer; the opposite direction keeps its two lanes
  const int absent = 0x303;
  sidewalks->SetFlags(&absent);
  ASSERT_EQ(road->GetOppositeState(), 0);
  Bytes b;
  b.u32(1).i32(1).i32(1).f32s({2});
  b.i32(1).u32(2).f32s({1, 2}).f32s({20, 21}).f32s({20.5f, 20, 21, 0.97f, 0.95f}).f32(0.3f);
  b.f32s({1, 2});                                           // main-direction grid, no values after it
  b.u32(2).f32s({5, 6}).f32s({30, 31}).f32s({30.5f, 30, 31, 0.98f, 0.96f}).f32(0.35f);
  b.f32s({25.5f, 20, 31, 0.78f, 0.64f}).f32(0.65f);       // whole carriageway
  b.f32s({3, 4}).f32s({2.5f, 1, 4, 0.4f, 0.25f});          // opposite grid and the observer's values
  b.f32s({7, 1.5f});
  b.f32s({2.5f, 0.4f, 0.25f, 7, 1.5f});
  ASSERT_EQ(Read(b), 0);
  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  EXPECT_EQ(r.nObservers, 1u);
  EXPECT_EQ(r.nObserversOpp, 1u);
  EXPECT_EQ(Span(r.lumObserver, 2), (std::vector<float>{1, 2}));
  EXPECT_EQ(r.nOpp, 2u);
  EXPECT_EQ(Span(r.yOpp, 2), (std::vector<float>{5, 6}));
  EXPECT_EQ(Span(r.eOpp, 2), (std::vector<float>{30, 31}));
  EXPECT_EQ(Five(r.sumOpp), (std::vector<float>{30.5f, 30, 31, 0.98f, 0.96f}));
  EXPECT_EQ(r.utilOpp, 0.35f);
  EXPECT_EQ(Five(r.sumRoad), (std::vector<float>{20.5f, 20, 21, 0.97f, 0.95f}));
  EXPECT_EQ(Five(r.sumWhole), (std::vector<float>{25.5f, 20, 31, 0.78f, 0.64f}));
  EXPECT_EQ(r.utilWhole, 0.65f);
  EXPECT_EQ(Span(r.lumObserverOpp, 2), (std::vector<float>{3, 4}));
  EXPECT_EQ(r.obsLumAvg[0], 2.5f);
  EXPECT_EQ(r.obsLumMin[0], 1.0f);
  EXPECT_EQ(r.obsLumMax[0], 4.0f);
  EXPECT_EQ(r.obsUniformity[0], 0.4f);
  EXPECT_EQ(r.obsLongUniformity[0], 0.25f);
  EXPECT_EQ(r.obsThreshold[0], 7.0f);
  EXPECT_EQ(r.obsGlare[0], 1.5f);
  EXPECT_EQ(Five(r.lumSummary), (std::vector<float>{2.5f, 0.4f, 0.25f, 7, 1.5f}));
}

TEST_F(StraightRoadResult, RightSidewalkOnlyLeavesEverythingElseEmpty)
{
  const int carriagewayOff = 4;
  road->SetState(&carriagewayOff);
  SetState(Get<ILineOfRoad>(sidewalks, IID_LeftPavement), 0);
  Bytes b;
  b.u32(2).i32(1).i32(1).f32s({1, 2});
  b.u32(2).f32s({-1, -2}).f32s({5, 6, 7, 8}).f32s({6.5f, 5, 8, 0.77f, 0.63f}).f32(0.2f);
  b.f32s({1, 2, 3, 4}).f32(1.0f);
  ASSERT_EQ(Read(b), 0);
  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  EXPECT_EQ(r.nRightWalk, 2u);
  EXPECT_EQ(Span(r.yRightWalk, 2), (std::vector<float>{-1, -2}));
  EXPECT_EQ(Span(r.eRightWalk, 4), (std::vector<float>{5, 6, 7, 8}));
  EXPECT_EQ(Five(r.sumRightWalk), (std::vector<float>{6.5f, 5, 8, 0.77f, 0.63f}));
  EXPECT_EQ(r.utilRightWalk, 0.2f);
  EXPECT_EQ(Span(r.escRightWalk, 4), (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(r.escMinRightWalk, 1.0f);
  EXPECT_EQ(r.nLeftWalk, 0u);
  EXPECT_EQ(r.yLeftWalk, nullptr);
  EXPECT_EQ(Five(r.sumLeftWalk), std::vector<float>(5, 0.0f));
  EXPECT_EQ(r.nWallX, 0u);
  EXPECT_EQ(r.nRoad, 0u);
  EXPECT_EQ(r.nObservers, 0u);
  EXPECT_EQ(r.obsThreshold, nullptr);
  EXPECT_EQ(Five(r.lumSummary), std::vector<float>(5, 0.0f));
}

// A figure of light that is no number, negative or beyond any lamp, or a point that is nowhere, is an engine's
// fault: the results are refused whole rather than shown as "nan".
TEST_F(StraightRoadResult, FiguresNotFiniteOrOutOfRangeAreRefused)
{
  const int carriagewayOff = 4;
  road->SetState(&carriagewayOff);
  SetState(Get<ILineOfRoad>(sidewalks, IID_LeftPavement), 0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    const char* what;
    float y, e, utilisation;
    int code;
  } cases[] = {
      {"sound", -1, 5, 0.2f, 0},
      {"illuminance NaN", -1, nan, 0.2f, EngineIo::kResultDamaged},
      {"illuminance infinite", -1, inf, 0.2f, EngineIo::kResultDamaged},
      {"illuminance -1", -1, -1, 0.2f, EngineIo::kResultDamaged},
      {"illuminance 3e38", -1, 3e38f, 0.2f, EngineIo::kResultDamaged},
      {"utilisation NaN", -1, 5, nan, EngineIo::kResultDamaged},
      {"point NaN", nan, 5, 0.2f, EngineIo::kResultDamaged},
      {"point 3e38", 3e38f, 5, 0.2f, EngineIo::kResultDamaged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b;
    b.u32(2).i32(1).i32(1).f32s({1, 2});
    b.u32(2).f32s({c.y, -2}).f32s({5, 6, c.e, 8}).f32s({6.5f, 5, 8, 0.77f, 0.63f}).f32(c.utilisation);
    b.f32s({1, 2, 3, 4}).f32(1.0f);
    EXPECT_EQ(Read(b), c.code);
    EXPECT_EQ(Results().valid, c.code == 0 ? 1 : 0);
  }
}

TEST_F(StraightRoadResult, DataAfterTheLastItemIsIgnored)
{
  OneWayRoadWithWalls();
  Bytes b = OneWayFile();
  b.u32(0xDEADBEEF);
  EXPECT_EQ(Read(b), 0);
  EXPECT_EQ(Results().valid, 1);
}

TEST_F(StraightRoadResult, EveryTruncationIsCaughtAndLeavesTheResultsCleared)
{
  OneWayRoadWithWalls();
  const Bytes whole = OneWayFile();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    Bytes cut;
    cut.raw(whole.data().data(), length);
    ASSERT_EQ(Read(cut), EngineIo::kResultDamaged) << length;
    ASSERT_EQ(Results().valid, 0) << length;
    ASSERT_EQ(Results().nX, 0u) << length;
    ASSERT_EQ(Results().xs, nullptr) << length;
  }
}

TEST_F(StraightRoadResult, CountsBeyondTheFileAllocateNothing)
{
  OneWayRoadWithWalls();
  struct Case {
    const char* what;
    Bytes file;
  };
  std::vector<Case> cases;
  cases.push_back({"points along the road", Bytes().u32(0xFFFFFFFFu).i32(1).i32(1).f32s({1, 2, 3})});
  // The points along the walls and up the right wall fit on their own; their product does not.
  cases.push_back({"wall grid", Bytes().u32(0x10000u).i32(1).i32(1)});
  cases.back().file.zeros(0x10000u * 4).u32(0x10000u).zeros(0x10000u * 4).u32(0x10000u).zeros(0x10000u * 4);
  for (Case& c : cases) {
    EXPECT_EQ(Read(c.file), EngineIo::kResultDamaged) << c.what;
    EXPECT_EQ(Results().valid, 0) << c.what;
  }
}

TEST_F(StraightRoadResult, MissingFileIsReportedAndTheResultsStayCleared)
{
  OneWayRoadWithWalls();
  ASSERT_EQ(Read(OneWayFile()), 0);
  const auto path = TestFilePath("never-written");
  EXPECT_EQ(ReadEngineResult1(&doc, CString(path.string().c_str())), EngineIo::kResultMissing);
  EXPECT_EQ(Results().valid, 0);
  EXPECT_EQ(Results().xs, nullptr);
}

}  // namespace
