#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/open_territory_result.h"
#include "open_territory_fixture.h"
#include "tests/model/archive_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class OpenTerritoryResult : public OpenTerritoryTest {
protected:
  int Read(const Bytes& file)
  {
    const auto path = TestFilePath("result");
    {
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(file.data().data()), static_cast<std::streamsize>(file.size()));
    }
    const int code = ReadEngineResult3(&doc, CString(path.string().c_str()));
    std::filesystem::remove(path);
    return code;
  }

  // A 2 x 3 grid with nodes of every state and both zones, written by hand in the file's order.
  static Bytes TwoByThreeFile()
  {
    Bytes b;
    b.u32(2).u32(3);
    b.f32s({-5.0f, 5.0f});                               // X of the columns
    b.f32s({-2.5f, 0.0f, 2.5f});                         // Y of the rows
    b.f32s({10, 11, 12, 20, 0, 22});                     // column 0 rows 0-2, then column 1
    b.i32(0).i32(0).i32(1).i32(2).i32(-1).i32(1);        // node states
    b.u32(2);
    b.i32(0).f32s({15.5f, 10, 22, 0.645f, 0.4545f, 120, 30, 0.35f});
    b.i32(1).f32s({11.5f, 11, 12, 0.9565f, 0.9167f, 120, 30, 0.05f});
    return b;
  }
};

template <class T>
std::vector<T> Span(const T* p, std::size_t n)
{
  return p ? std::vector<T>(p, p + n) : std::vector<T>();
}

TEST_F(OpenTerritoryResult, GridNodeStatesAndZonesFillTheResults)
{
  ASSERT_EQ(Read(TwoByThreeFile()), 0);
  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  EXPECT_EQ(r.nX, 2u);
  EXPECT_EQ(r.nRoad, 3u);
  EXPECT_EQ(r.header1, 1);
  EXPECT_EQ(r.header2, 1);
  EXPECT_EQ(r.header3, 1);
  EXPECT_EQ(Span(r.xs, 2), (std::vector<float>{-5, 5}));
  EXPECT_EQ(Span(r.yRoad, 3), (std::vector<float>{-2.5f, 0, 2.5f}));
  EXPECT_EQ(Span(r.eRoad, 6), (std::vector<float>{10, 11, 12, 20, 0, 22}));
  EXPECT_EQ(r.eRoad[1 * 3 + 0], 20.0f) << "column 1, row 0";
  EXPECT_EQ(Span(r.nodeState, 6), (std::vector<int>{0, 0, 1, 2, -1, 1}));

  ASSERT_EQ(r.nZones, 2u);
  const _ZONE_RESULT& road = r.zones[0];
  EXPECT_EQ(road.kind, 0);
  EXPECT_EQ(road.average, 15.5f);
  EXPECT_EQ(road.minimum, 10.0f);
  EXPECT_EQ(road.maximum, 22.0f);
  EXPECT_EQ(road.uniformity, 0.645f);
  EXPECT_EQ(road.fifth, 0.4545f);
  EXPECT_EQ(road.i80, 120.0f);
  EXPECT_EQ(road.i85, 30.0f);
  EXPECT_EQ(road.reserved1, 0) << "the ninth item is the utilisation factor, not the integer before it";
  EXPECT_EQ(road.utilisation, 0.35f);
  EXPECT_EQ(road.reserved2[0], 0.0f);
  EXPECT_EQ(road.reserved2[2], 0.0f);
  EXPECT_EQ(r.zones[1].kind, 1);
  EXPECT_EQ(results->GetRecordValue(1, 0), 1.0f);
  EXPECT_EQ(results->GetRecordValue(1, 8), 0.05f);

  // Nothing of a straight road's block is filled.
  EXPECT_EQ(r.nRightWalk, 0u);
  EXPECT_EQ(r.nObservers, 0u);
  EXPECT_EQ(r.eOpp, nullptr);
}

TEST_F(OpenTerritoryResult, ThreeZeroCountsGiveAnEmptyValidBlock)
{
  ASSERT_EQ(Read(Bytes().u32(0).u32(0).u32(0)), 0);
  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  EXPECT_EQ(r.nX, 0u);
  EXPECT_EQ(r.nRoad, 0u);
  EXPECT_EQ(r.nZones, 0u);
  EXPECT_EQ(r.xs, nullptr);
  EXPECT_EQ(r.eRoad, nullptr);
  EXPECT_EQ(r.zones, nullptr);
}

TEST_F(OpenTerritoryResult, EachReadStartsFromAClearedBlockAndIgnoresTrailingBytes)
{
  Bytes withTail = TwoByThreeFile();
  withTail.u32(0xDEADBEEF);
  ASSERT_EQ(Read(withTail), 0);
  ASSERT_EQ(Read(TwoByThreeFile()), 0);
  EXPECT_EQ(Results().nZones, 2u);
  EXPECT_EQ(Span(Results().eRoad, 6), (std::vector<float>{10, 11, 12, 20, 0, 22}));
  ASSERT_EQ(Read(Bytes().u32(1).u32(1).f32(0).f32(0).f32(7).i32(2).u32(0)), 0);
  EXPECT_EQ(Results().nZones, 0u);
  EXPECT_EQ(Results().zones, nullptr);
  EXPECT_EQ(Span(Results().eRoad, 1), std::vector<float>{7});
}

TEST_F(OpenTerritoryResult, EveryTruncationIsCaughtAndLeavesTheResultsCleared)
{
  const Bytes whole = TwoByThreeFile();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    ASSERT_EQ(Read(TwoByThreeFile()), 0);
    Bytes cut;
    cut.raw(whole.data().data(), length);
    ASSERT_EQ(Read(cut), EngineIo::kResultDamaged) << length;
    ASSERT_EQ(Results().valid, 0) << length;
    ASSERT_EQ(Results().nX, 0u) << length;
    ASSERT_EQ(Results().xs, nullptr) << length;
    ASSERT_EQ(Results().zones, nullptr) << length;
  }
}

TEST_F(OpenTerritoryResult, CountsBeyondTheFileAllocateNothing)
{
  struct Case {
    const char* what;
    Bytes file;
  };
  std::vector<Case> cases;
  cases.push_back({"columns", Bytes().u32(0xFFFFFFFFu).u32(1).f32s({1, 2, 3})});
  // Each axis fits on its own; the grid of their product does not.
  cases.push_back({"grid", Bytes().u32(0x10000u).u32(0x10000u)});
  cases.back().file.zeros(0x10000u * 4 * 2);
  cases.push_back({"zones", Bytes().u32(0).u32(0).u32(0xFFFFFFFFu).i32(0).f32s({1, 2, 3, 4, 5, 6, 7, 8})});
  for (Case& c : cases) {
    EXPECT_EQ(Read(c.file), EngineIo::kResultDamaged) << c.what;
    EXPECT_EQ(Results().valid, 0) << c.what;
    EXPECT_EQ(Results().xs, nullptr) << c.what;
  }
}

TEST_F(OpenTerritoryResult, MissingFileIsReportedAndTheResultsKeepWhatTheyHeld)
{
  ASSERT_EQ(Read(TwoByThreeFile()), 0);
  const auto path = TestFilePath("never-written");
  EXPECT_EQ(ReadEngineResult3(&doc, CString(path.string().c_str())), EngineIo::kResultMissing);
  EXPECT_EQ(Results().valid, 1);
  EXPECT_EQ(Results().nZones, 2u);
}

TEST_F(OpenTerritoryResult, OnlyAnOpenSiteIsRead)
{
  area->Release();
  area = doc.project->ResetAreas(CLSID_CCustomizeRoad3D);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(Read(TwoByThreeFile()), EngineIo::kNoAreaOfThisKind);
}

}  // namespace
