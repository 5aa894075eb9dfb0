// The sample straight road calculated end to end, for the pictures: the model's default road with a sample
// luminaire, its engine input, our engine's file-to-file run, and the result read back into the area's results.
#pragma once

#include "document/engine_io/straight_road_input.h"
#include "document/engine_io/straight_road_result.h"
#include "geometry/display_host.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/straight_road_engine.h"
#include "tests/document/engine_io/engine_io_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class CalculatedSampleRoad : public EngineIoTest {
protected:
  void SetUp() override
  {
    EngineIoTest::SetUp();
    // The engine's r-tables lie in the build tree's Bin folder, beside the artifacts.
    shell.folder = (std::filesystem::path(TESMIRA_ARTIFACTS_DIR).parent_path() / "Bin").string() + "/";
    SetSampleLuminaire(*FirstGroup()->GetLightDevice());
    const auto input = TestFilePath("input");
    const auto result = TestFilePath("result");
    ASSERT_EQ(EngineIo::PrepareEngineInput1(&doc), 0);
    ASSERT_EQ(WriteEngineInput1(&doc, CString(input.string().c_str())), 0);
    Engines::SilentHost host;
    std::string message;
    ASSERT_EQ(Engines::RunStraightRoadEngine(input.string(), result.string(), host, &message), 0) << message;
    ASSERT_EQ(ReadEngineResult1(&doc, CString(result.string().c_str())), 0);
    std::filesystem::remove(input);
    std::filesystem::remove(result);
    Results().shownObserver = 0;
  }

  // The road as the scene builder would record it, in the engine's frame: x along the field from 0, y across
  // from the main carriageway's right edge, the opposite carriageway beyond the divider.
  CRoadLayout Layout()
  {
    const _CALC_RESULTS& r = Results();
    CRoadLayout layout;
    layout.oneWay = road->IsTwoWay() == 0 ? TRUE : FALSE;
    layout.carriagewayOn = TRUE;
    layout.oppositeShown = r.nOpp > 0 ? TRUE : FALSE;
    // The points lie in the middle of equal stretches of the field.
    const double field = r.nX > 0 ? r.xs[0] + r.xs[r.nX - 1] : 0;
    const double mainWidth = road->GetLaneCount(&kLaneMain) * road->GetLaneWidth(&kLaneMain);
    const double divider = road->HasDivider() != 0 ? road->GetLaneWidth(&kLaneDivider) : 0;
    const double oppositeWidth = road->GetLaneCount(&kLaneOpposite) * road->GetLaneWidth(&kLaneOpposite);
    layout.mainCarriageway = {0, field, mainWidth, 0};
    layout.oppositeCarriageway = {0, field, mainWidth + divider + oppositeWidth, mainWidth + divider};
    return layout;
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
