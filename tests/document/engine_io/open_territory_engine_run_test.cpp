// A sample open site from the model through our engine and back, without the calculation run: the input the
// program writes, the engine's file-to-file function, the result read into the area's results.
#include "document/engine_io/engine_entry_points.h"
#include "document/engine_io/open_territory_input.h"
#include "document/engine_io/open_territory_result.h"
#include "open_territory_fixture.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/open_territory_engine.h"
#include "outside/engines/window_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

using namespace ObjectModel;

static_assert(std::is_same_v<decltype(&INTERFACE3), CalculationEngineEntry>);

class SampleOpenTerritory : public OpenTerritoryTest {
protected:
  // A T-junction with sidewalks; a line of poles along the through road and a single pole facing the side road.
  void BuildSample()
  {
    SetWindow(60, 40, 1, 1.0);
    const int junction = 4;
    area->SetTypicalForm(&junction);
    site->BuildTypicalForm();

    // A cut-off street-lighting distribution in cd/klm, C0..C90, gamma 0..90.
    const std::vector<double> gammas{0, 10, 20, 30, 40, 50, 60, 65, 70, 75, 80, 85, 90};
    const std::vector<std::vector<double>> values{
        {260, 262, 270, 285, 300, 310, 290, 240, 160, 80, 25, 8, 0},
        {260, 265, 278, 300, 330, 360, 350, 300, 200, 100, 30, 10, 0},
        {260, 268, 285, 310, 340, 330, 280, 220, 140, 70, 20, 6, 0},
        {260, 266, 275, 280, 270, 240, 180, 130, 80, 40, 12, 4, 0},
    };
    IGroupOfDev* line = FirstGroup();
    SetLuminaire(*line->GetLightDevice(), "SampleStreet-150", 15000, 1, 0x10020100, gammas, {0, 30, 60, 90},
                 values);
    SetPlacement(line, 0, 1, 3);
    IPole* first = Get<IPole>(line, IID_IPole);
    SetPole(first, -25, 12, 10, 1.5, 5, 0);
    SetPole(first->GetNext(), -5, 12, 10, 1.5, 5, 0);
    line->PlacePoles(4);
    // The brackets reach over the through road, away from the line's left side.
    const double turn = 180;
    for (IPole* p = first; p; p = p->GetNext())
      p->SetRotation(&turn);

    IGroupOfDev* single = AddGroup();
    SetLuminaire(*single->GetLightDevice(), "SampleStreet-100", 10000, 1, 0x10020100, gammas, {0, 30, 60, 90},
                 values);
    SetPlacement(single, 0, 0, 1);
    SetPole(Get<IPole>(single, IID_IPole), 6, -15, 8, 1.0, 0, 180);
  }
};

TEST_F(SampleOpenTerritory, CalculatedEndToEndThroughOurEngine)
{
  BuildSample();
  // The artifacts folder's sample files are the sample-sites picture test's.
  const auto input = TestFilePath("input");
  const auto result = TestFilePath("result");
  std::filesystem::remove(result);

  ASSERT_EQ(EngineIo::PrepareEngineInput3(&doc), 0);
  ASSERT_EQ(WriteEngineInput3(&doc, CString(input.string().c_str())), 0);
  Engines::SilentHost host;
  std::string message;
  ASSERT_EQ(Engines::RunOpenTerritoryEngine(input.string(), result.string(), host, &message), 0) << message;
  ASSERT_EQ(ReadEngineResult3(&doc, CString(result.string().c_str())), 0);

  // A 1 m user grid over 60 x 40 m: nodes at both ends of each side.
  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  ASSERT_EQ(r.nX, 61u);
  ASSERT_EQ(r.nRoad, 41u);
  EXPECT_FLOAT_EQ(r.xs[0], -30.0f);
  EXPECT_FLOAT_EQ(r.yRoad[40], 20.0f);
  const std::size_t nodes = std::size_t{r.nX} * r.nRoad;
  auto count = [&](int state) { return std::count(r.nodeState, r.nodeState + nodes, state); };
  EXPECT_GT(count(0), 0) << "carriageway nodes";
  EXPECT_GT(count(1), 0) << "sidewalk nodes";
  for (std::size_t n = 0; n < nodes; ++n) {
    ASSERT_TRUE(std::isfinite(r.eRoad[n])) << n;
    if (r.nodeState[n] < 0) {
      ASSERT_EQ(r.eRoad[n], 0.0f) << n;
    }
  }
  ASSERT_EQ(r.nZones, 2u);
  EXPECT_EQ(r.zones[0].kind, 0);
  EXPECT_EQ(r.zones[1].kind, 1);
  for (std::uint32_t z = 0; z < r.nZones; ++z) {
    EXPECT_GT(r.zones[z].average, 1.0f) << z;
    EXPECT_LE(r.zones[z].minimum, r.zones[z].average) << z;
    EXPECT_GE(r.zones[z].maximum, r.zones[z].average) << z;
    EXPECT_GT(r.zones[z].utilisation, 0.0f) << z;
    EXPECT_GT(r.zones[z].i80, 0.0f) << z;
  }
  std::filesystem::remove(input);
  std::filesystem::remove(result);
}

// A main window that answers the engine's state question and remembers what the engine posted to it.
class RecordingWindow : public Engines::WindowMessenger {
public:
  RecordingWindow(int state, bool windowThread) : state_(state), windowThread_(windowThread) {}
  LRESULT Send(HWND, UINT message, WPARAM, LPARAM lParam) override
  {
    if (message == Engines::kMsgCalculationState)
      *reinterpret_cast<int*>(lParam) = state_;
    return 0;
  }
  BOOL Post(HWND, UINT message, WPARAM wParam, LPARAM) override
  {
    if (message == Engines::kMsgCalculationFinished)
      finished.push_back(static_cast<int>(wParam));
    return TRUE;
  }
  bool IsWindowThread(HWND) override { return windowThread_; }

  std::vector<int> finished;

private:
  int state_;
  bool windowThread_;
};

TEST_F(SampleOpenTerritory, TheProgramsEntryPointReachesOurEngine)
{
  BuildSample();
  struct Case {
    const char* what;
    int state;          // what the window answers: 1 running, 2 stop requested
    bool windowThread;  // a direct run gets no end message from the engine
    std::vector<int> posted;
    bool resultRead;
  };
  const Case cases[] = {
      {"direct run", 1, true, {}, true},
      {"threaded run", 1, false, {0}, true},
      {"threaded run, stopped", 2, false, {15}, false},
  };
  const auto input = TestFilePath("input");
  const auto result = TestFilePath("result");
  ASSERT_EQ(EngineIo::PrepareEngineInput3(&doc), 0);
  ASSERT_EQ(WriteEngineInput3(&doc, CString(input.string().c_str())), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(result).close();  // the run hands the engine an existing, empty result file
    RecordingWindow window(c.state, c.windowThread);
    Engines::SetEngineWindowMessenger(&window);
    char inputPath[260] = {}, resultPath[260] = {};
    std::strncpy(inputPath, input.string().c_str(), sizeof inputPath - 1);
    std::strncpy(resultPath, result.string().c_str(), sizeof resultPath - 1);
    const CalculationEngineEntry engine = &INTERFACE3;
    engine(reinterpret_cast<HWND>(0x1234), inputPath, static_cast<int>(std::strlen(inputPath)), resultPath,
           static_cast<int>(std::strlen(resultPath)));
    Engines::SetEngineWindowMessenger(nullptr);

    EXPECT_EQ(window.finished, c.posted);
    if (c.resultRead) {
      EXPECT_EQ(ReadEngineResult3(&doc, CString(result.string().c_str())), 0);
      EXPECT_EQ(Results().valid, 1);
    } else {
      EXPECT_EQ(std::filesystem::file_size(result), 0u) << "a stopped engine leaves the file empty";
    }
  }
  std::filesystem::remove(input);
  std::filesystem::remove(result);
}

}  // namespace
