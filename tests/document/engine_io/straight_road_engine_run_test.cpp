// The sample straight road from the model through our engine and back, without the calculation run: the input
// the program writes, the engine's file-to-file function, the result read into the area's results.
#include "document/engine_io/engine_entry_points.h"
#include "document/engine_io/straight_road_input.h"
#include "document/engine_io/straight_road_result.h"
#include "engine_io_fixture.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/straight_road_engine.h"
#include "outside/engines/window_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

class SampleStraightRoad : public EngineIoTest {
protected:
  void SetUp() override
  {
    EngineIoTest::SetUp();
    // The engines' data files lie in the build tree's Bin folder, beside the artifacts.
    shell.folder = (std::filesystem::path(TESMIRA_ARTIFACTS_DIR).parent_path() / "Bin").string() + "/";
  }

  // A cut-off street-lighting distribution in cd/klm, C0..C90 (along the road .. across it), gamma 0..90.
  static void SetSampleLuminaire(CLightDevice& d)
  {
    const std::vector<double> gammas{0, 10, 20, 30, 40, 50, 60, 65, 70, 75, 80, 85, 90};
    const std::vector<double> planes{0, 30, 60, 90};
    const std::vector<std::vector<double>> values{
        {260, 262, 270, 285, 300, 310, 290, 240, 160, 80, 25, 8, 0},
        {260, 265, 278, 300, 330, 360, 350, 300, 200, 100, 30, 10, 0},
        {260, 268, 285, 310, 340, 330, 280, 220, 140, 70, 20, 6, 0},
        {260, 266, 275, 280, 270, 240, 180, 130, 80, 40, 12, 4, 0},
    };
    SetLuminaire(d, "SampleStreet-150", 15000, 1, 0x10020100, gammas, planes, values);
  }
};

TEST_F(SampleStraightRoad, CalculatedEndToEndThroughOurEngine)
{
  SetSampleLuminaire(*FirstGroup()->GetLightDevice());
  const std::filesystem::path artifacts(TESMIRA_ARTIFACTS_DIR);
  const auto input = artifacts / "sample-straight.in";
  const auto result = artifacts / "sample-straight.out";
  std::filesystem::remove(result);

  ASSERT_EQ(EngineIo::PrepareEngineInput1(&doc), 0);
  ASSERT_EQ(WriteEngineInput1(&doc, CString(input.string().c_str())), 0);
  Engines::SilentHost host;
  std::string message;
  ASSERT_EQ(Engines::RunStraightRoadEngine(input.string(), result.string(), host, &message), 0) << message;
  ASSERT_EQ(ReadEngineResult1(&doc, CString(result.string().c_str())), 0);

  // The default road: two lanes each way (the opposite direction on its own), sidewalks on both sides, poles
  // opposite each other every 30 m.
  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  EXPECT_EQ(r.nX, 10u);
  EXPECT_EQ(r.nObservers, 2u);
  EXPECT_EQ(r.nObserversOpp, 2u);
  EXPECT_EQ(r.nRoad, 6u);
  EXPECT_EQ(r.nOpp, 6u);
  EXPECT_GT(r.nRightWalk, 0u);
  EXPECT_GT(r.nLeftWalk, 0u);
  EXPECT_EQ(r.nWallX, 0u);
  // Maintained values, two-sided layout: both directions lit alike, every point lit.
  EXPECT_GT(r.sumWhole[0], 5.0f);
  EXPECT_GT(r.sumWhole[1], 0.0f);
  EXPECT_NEAR(r.sumRoad[0], r.sumOpp[0], 0.05f * r.sumRoad[0]);
  EXPECT_GT(r.lumSummary[0], 0.1f);
  EXPECT_GT(r.lumSummary[1], 0.0f);
  EXPECT_LE(r.lumSummary[1], 1.0f);
  EXPECT_GT(r.lumSummary[3], 0.0f);  // some threshold increment from the luminaires ahead
  for (std::uint32_t i = 0; i + 1 < r.nX; ++i)
    EXPECT_LT(r.xs[i], r.xs[i + 1]);
  EXPECT_TRUE(std::isfinite(r.sumRightWalk[0]) && r.sumRightWalk[0] > 0.0f);
}

// A main window that runs the engine on its own thread (a direct run) and remembers what the engine told it.
class DirectRunWindow : public Engines::WindowMessenger {
public:
  LRESULT Send(HWND, UINT message, WPARAM, LPARAM lParam) override
  {
    sent.push_back(message);
    if (message == Engines::kMsgCalculationState)
      *reinterpret_cast<int*>(lParam) = 1;  // running
    return 0;
  }
  BOOL Post(HWND, UINT message, WPARAM, LPARAM) override
  {
    posted.push_back(message);
    return TRUE;
  }
  bool IsWindowThread(HWND) override { return true; }

  std::vector<UINT> sent, posted;
};

static_assert(std::is_same_v<decltype(&INTERFACE1), CalculationEngineEntry>);

TEST_F(SampleStraightRoad, TheProgramsEntryPointReachesOurEngine)
{
  SetSampleLuminaire(*FirstGroup()->GetLightDevice());
  const auto input = TestFilePath("input");
  const auto result = TestFilePath("result");
  std::ofstream(result).close();  // the run hands the engine an existing, empty result file
  ASSERT_EQ(WriteEngineInput1(&doc, CString(input.string().c_str())), 0);

  DirectRunWindow window;
  Engines::SetEngineWindowMessenger(&window);
  char inputPath[260] = {}, resultPath[260] = {};
  std::strncpy(inputPath, input.string().c_str(), sizeof inputPath - 1);
  std::strncpy(resultPath, result.string().c_str(), sizeof resultPath - 1);
  const CalculationEngineEntry engine = &INTERFACE1;
  engine(reinterpret_cast<HWND>(0x1234), inputPath, static_cast<int>(std::strlen(inputPath)), resultPath,
         static_cast<int>(std::strlen(resultPath)));
  Engines::SetEngineWindowMessenger(nullptr);

  EXPECT_TRUE(window.posted.empty()) << "a direct run ends without the engine's end message";
  EXPECT_FALSE(window.sent.empty()) << "progress and the state question go to the main window";
  EXPECT_EQ(ReadEngineResult1(&doc, CString(result.string().c_str())), 0);
  EXPECT_EQ(Results().valid, 1);
  std::filesystem::remove(input);
  std::filesystem::remove(result);
}

}  // namespace
