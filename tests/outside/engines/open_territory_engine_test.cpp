// The open-territory engine's result file item by item, and the engine from file to file through its entry point.
#include "outside/engines/open_territory_engine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine_files_fixture.h"
#include "open_territory_fixture.h"
#include "outside/engines/engine_codes.h"
#include "outside/engines/file_io.h"
#include "outside/engines/open_territory_result_file.h"
#include "outside/engines/window_host.h"
#include "site_fixture.h"

namespace Engines {
namespace {

namespace fs = std::filesystem;
using testing::F32At;
using testing::RecordingHost;
using testing::U32At;

TEST(OpenTerritoryResultFile, ItemsStandAtTheirOffsets)
{
  OpenTerritoryResult r;
  r.xs = {-1.0f, 1.0f};
  r.ys = {-2.0f, 0.0f, 2.0f};
  r.e = {10, 11, 12, 20, 21, 22};  // column i = 1, row j = 0 is element 3
  r.state = {0, 1, -1, 2, 0, 0};
  ZoneRecord road{0, 15.5f, 10.0f, 22.0f, 0.645f, 0.4545f, 30.0f, 12.0f, 0.37f};
  ZoneRecord walk{1, 11.0f, 11.0f, 11.0f, 1.0f, 1.0f, 30.0f, 12.0f, 0.05f};
  r.zones = {road, walk};
  auto bytes = FormatOpenTerritoryResult(r);
  // 2 counts, 2 + 3 axis values, 6 values, 6 states, the zone count, 2 x 9 zone items: 38 items.
  ASSERT_EQ(bytes.size(), 38u * 4);
  EXPECT_EQ(U32At(bytes, 0), 2u);
  EXPECT_EQ(U32At(bytes, 4), 3u);
  EXPECT_EQ(F32At(bytes, 8), -1.0f);
  EXPECT_EQ(F32At(bytes, 12), 1.0f);
  EXPECT_EQ(F32At(bytes, 16), -2.0f);
  EXPECT_EQ(F32At(bytes, 24), 2.0f);
  EXPECT_EQ(F32At(bytes, 28), 10.0f);
  EXPECT_EQ(F32At(bytes, 40), 20.0f);
  EXPECT_EQ(F32At(bytes, 48), 22.0f);
  EXPECT_EQ(U32At(bytes, 52), 0u);
  EXPECT_EQ(U32At(bytes, 60), 0xFFFFFFFFu);  // -1: no value
  EXPECT_EQ(U32At(bytes, 64), 2u);
  EXPECT_EQ(U32At(bytes, 76), 2u);  // zones
  const float roadItems[] = {15.5f, 10.0f, 22.0f, 0.645f, 0.4545f, 30.0f, 12.0f, 0.37f};
  EXPECT_EQ(U32At(bytes, 80), 0u);
  for (int k = 0; k < 8; ++k)
    EXPECT_EQ(F32At(bytes, 84 + 4 * k), roadItems[k]) << k;
  EXPECT_EQ(U32At(bytes, 116), 1u);
  EXPECT_EQ(F32At(bytes, 148), 0.05f);  // the ninth item: utilisation

  EXPECT_EQ(FormatOpenTerritoryResult({}), std::vector<std::uint8_t>(12, 0));  // three zero counts
}

class SiteFiles : public testing::ExchangeFiles {
protected:
  SiteFiles() : ExchangeFiles("tesmira-site-", "qout3.tmp", "qor3.tmp") {}
};

TEST_F(SiteFiles, CalculatesTheHandWrittenSiteAndLeavesASample)
{
  WriteInput(testing::HandWrittenSite());
  RecordingHost host;
  std::string message;
  ASSERT_EQ(RunOpenTerritoryEngine(input_, result_, host, &message), kEngineOk) << message;
  EXPECT_EQ(host.finished, std::vector<int>{kEngineOk});
  EXPECT_EQ(host.progress.front(), 0);
  EXPECT_EQ(host.progress.back(), 100);
  auto bytes = Result();
  // 50 x 40 m at 1 m: 51 x 41 nodes; carriageway and sidewalk zones.
  const std::size_t nodes = 51 * 41;
  ASSERT_EQ(bytes.size(), 4 * (2 + 51 + 41 + 2 * nodes + 1 + 2 * 9));
  EXPECT_EQ(U32At(bytes, 0), 51u);
  EXPECT_EQ(U32At(bytes, 4), 41u);
  EXPECT_EQ(F32At(bytes, 8), -25.0f);
  EXPECT_EQ(F32At(bytes, 8 + 4 * 51), -20.0f);
  const std::size_t states = 8 + 4 * (51 + 41 + nodes), zones = states + 4 * nodes;
  // Node (x 0, y 0) lies on the sidewalk triangle (lifted above the carriageway); (x 0, y -4) on the carriageway;
  // (x 0, y 19) on nothing.
  auto node = [&](int x, int y) { return std::size_t((x + 25) * 41 + (y + 20)); };
  EXPECT_EQ(U32At(bytes, states + 4 * node(0, 0)), 1u);
  EXPECT_EQ(U32At(bytes, states + 4 * node(0, -4)), 0u);
  EXPECT_EQ(U32At(bytes, states + 4 * node(0, 19)), 0xFFFFFFFFu);
  EXPECT_GT(F32At(bytes, 8 + 4 * (51 + 41 + node(0, -4))), 0.0f);
  EXPECT_EQ(U32At(bytes, zones), 2u);
  EXPECT_EQ(U32At(bytes, zones + 4), 0u);
  EXPECT_EQ(U32At(bytes, zones + 40), 1u);
  const float average = F32At(bytes, zones + 8), minimum = F32At(bytes, zones + 12), maximum = F32At(bytes, zones + 16);
  EXPECT_GT(average, 0.0f);
  EXPECT_LE(minimum, average);
  EXPECT_GE(maximum, average);
  EXPECT_FLOAT_EQ(F32At(bytes, zones + 20), minimum / average);
  fs::copy_file(input_, fs::path(TESMIRA_ARTIFACTS_DIR) / "engine-open-territory.in",
                fs::copy_options::overwrite_existing);
  fs::copy_file(result_, fs::path(TESMIRA_ARTIFACTS_DIR) / "engine-open-territory.out",
                fs::copy_options::overwrite_existing);
}

TEST_F(SiteFiles, RunCodesAndFailuresWriteNothing)
{
  using testing::SiteText;
  struct Case {
    const char* what;
    std::string input;
    int code;
  } cases[] = {
      {"no carriageway and no sidewalk",
       SiteText(20, 20, 1).Rectangle(-5, -5, 5, 5, 0.001, 0).Pole(0, 0, 8).Isotropic(1, 1).Switches(0, 0).Text(),
       kNoActiveObjects},
      {"no luminaire", SiteText(20, 20, 1).Rectangle(-5, -5, 5, 5, 0.001, 1).Text(), kNoActiveGroups},
      {"30 m step on 50 x 100 m",
       SiteText(50, 100, 30).Rectangle(-5, -5, 5, 5, 0.001, 1).Pole(0, 0, 8).Isotropic(1, 1).Text(),
       kGridStepTooCoarse},
      {"empty file", "", kInputMalformed},
      {"cut in the luminaire records", testing::HandWrittenSite().substr(0, testing::HandWrittenSite().find("16-01")),
       kInputMalformed},
      {"binary noise", std::string("\x01\x02!\xff\n\x00 7", 8), kInputMalformed},
  };
  for (const Case& c : cases) {
    WriteInput(c.input);
    RecordingHost host;
    std::string message;
    EXPECT_EQ(RunOpenTerritoryEngine(input_, result_, host, &message), c.code) << c.what << ": " << message;
    EXPECT_EQ(host.finished, std::vector<int>{c.code}) << c.what;
    EXPECT_TRUE(Result().empty()) << c.what;
  }
  RecordingHost host;
  EXPECT_EQ(RunOpenTerritoryEngine((dir_ / "missing").string(), result_, host), kInputUnreadable);
  WriteInput(testing::HandWrittenSite());
  EXPECT_EQ(RunOpenTerritoryEngine(input_, (dir_ / "no" / "folder").string(), host), kResultNotWritten);
}

HWND const kMainWindow = reinterpret_cast<HWND>(0x3333);

TEST_F(SiteFiles, EntryPointKeepsTheMessageProtocol)
{
  WriteInput(testing::HandWrittenSite());
  ExpectEntryPointKeepsTheMessageProtocol(kMainWindow, INTERFACE3, RunOpenTerritoryCall,
                                          [&] { EXPECT_FALSE(Result().empty()); });
}

}  // namespace
}  // namespace Engines
