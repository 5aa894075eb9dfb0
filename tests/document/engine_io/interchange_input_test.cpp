#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/interchange_input.h"
#include "interchange_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ObjectModel;

class InterchangeInput : public InterchangeTest {
protected:
  // One pole with one luminaire: 8 m, outreach 1.5 m, tilt 10 degrees, turned 90 degrees, at (0, -8).
  void SetOnePole()
  {
    IGroupOfDev* g = FirstGroup();
    SetPlacement(g, 0, 0, 1);
    IPole* pole = Get<IPole>(g, IID_IPole);
    SetPole(pole, 0, -8, 8, 1.5, 10, 90);
    SetArms(pole, {Arm(0, 0, 0, 0)});
    SetLuminaire(*g->GetLightDevice(), "LampA", 10000, 1, 0x10100100, {0, 90}, {0}, {{100, 10}});
    const double mf = 0.7;
    groups->SetMaintenanceFactor(&mf);
  }

  // Two decks crossing one above the other, a background triangle and a shading block on a 1 m base.
  void BuildTwoDecks()
  {
    SetWindow(40, 30, 1, 5.0);
    SetDeckOutline(FirstPrimitive(), {{-10, -5, 0}, {10, -5, 0}, {10, 5, 0}, {-10, 5, 0}});
    AddDeck(kMemberCarriageway, {{-5, -10, 6}, {5, -10, 6}, {5, 10, 6}, {-5, 10, 6}});
    AddDeck(kMemberBackground, {{20, 0, 0}, {24, 0, 0}, {20, 3, 0}});
    IPrimitive* block = AddDeck(kMemberShading, {{0, 12, 0}, {2, 12, 0}, {2, 14, 0}, {0, 14, 0}});
    block->SetBaseHeight(1.0);
    SetOnePole();
  }

  int Write(std::string& text)
  {
    EXPECT_EQ(EngineIo::PrepareEngineInput5(&doc), EngineIo::kOk);
    return EngineIo::FormatEngineInput5(&doc, text);
  }
};

TEST_F(InterchangeInput, TwoDecksBackgroundAndShadingAsTheFileDescribesThem)
{
  BuildTwoDecks();
  const std::string expected =
      "40.000000\n30.000000\n1\n5.000000\n"
      "1\n0\n8\n"
      "0\n0\n0\n0\n"
      "4\n4\n2\n6\n"
      // Lower deck: lifted 0.001; fan triangles on the outline; outline points, then the two centres.
      "4\n"
      "-10.000000 -5.000000 0.001000\n10.000000 -5.000000 0.001000\n10.000000 5.000000 0.001000\n"
      "-10.000000 5.000000 0.001000\n"
      "0\n1\n0.000000       !  Базовая высота примитива\n"
      "2\n"
      "-10.000000 -5.000000 0.000000 10.000000 -5.000000 0.000000 10.000000 5.000000 0.000000\n"
      "-10.000000 -5.000000 0.000000 10.000000 5.000000 0.000000 -10.000000 5.000000 0.000000\n"
      "6\n"
      "-10.000000 -5.000000 0.040000 0.000000 0.000000 1.000000\n"
      "10.000000 -5.000000 0.040000 0.000000 0.000000 1.000000\n"
      "10.000000 5.000000 0.040000 0.000000 0.000000 1.000000\n"
      "-10.000000 5.000000 0.040000 0.000000 0.000000 1.000000\n"
      "3.333333 -1.666667 0.040000 0.000000 0.000000 1.000000\n"
      "-3.333333 1.666667 0.040000 0.000000 0.000000 1.000000\n"
      // Upper deck, 6 m up: lifted 0.002.
      "4\n"
      "-5.000000 -10.000000 6.002000\n5.000000 -10.000000 6.002000\n5.000000 10.000000 6.002000\n"
      "-5.000000 10.000000 6.002000\n"
      "0\n1\n0.000000       !  Базовая высота примитива\n"
      "2\n"
      "-5.000000 -10.000000 6.000000 5.000000 -10.000000 6.000000 5.000000 10.000000 6.000000\n"
      "-5.000000 -10.000000 6.000000 5.000000 10.000000 6.000000 -5.000000 10.000000 6.000000\n"
      "6\n"
      "-5.000000 -10.000000 6.040000 0.000000 0.000000 1.000000\n"
      "5.000000 -10.000000 6.040000 0.000000 0.000000 1.000000\n"
      "5.000000 10.000000 6.040000 0.000000 0.000000 1.000000\n"
      "-5.000000 10.000000 6.040000 0.000000 0.000000 1.000000\n"
      "1.666667 -3.333333 6.040000 0.000000 0.000000 1.000000\n"
      "-1.666667 3.333333 6.040000 0.000000 0.000000 1.000000\n"
      // Background: its points are written like a carriageway's.
      "3\n"
      "20.000000 0.000000 0.003000\n24.000000 0.000000 0.003000\n20.000000 3.000000 0.003000\n"
      "0\n0\n0.000000       !  Базовая высота примитива\n"
      "1\n"
      "20.000000 0.000000 0.000000 24.000000 0.000000 0.000000 20.000000 3.000000 0.000000\n"
      "4\n"
      "20.000000 0.000000 0.040000 0.000000 0.000000 1.000000\n"
      "24.000000 0.000000 0.040000 0.000000 0.000000 1.000000\n"
      "20.000000 3.000000 0.040000 0.000000 0.000000 1.000000\n"
      "21.333333 1.000000 0.040000 0.000000 0.000000 1.000000\n"
      // Shading block: its triangles, then one point of nothing; not refined.
      "4\n"
      "0.000000 12.000000 0.004000\n2.000000 12.000000 0.004000\n2.000000 14.000000 0.004000\n"
      "0.000000 14.000000 0.004000\n"
      "0\n4\n1.000000       !  Базовая высота примитива\n"
      "2\n"
      "0.000000 12.000000 0.000000 2.000000 12.000000 0.000000 2.000000 14.000000 0.000000\n"
      "0.000000 12.000000 0.000000 2.000000 14.000000 0.000000 0.000000 14.000000 0.000000\n"
      "1\n"
      "0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n"
      "0.000000\n0.000000\n"
      "0.7\n1\n1\n2\n1\n"
      // The pole: on a pole, individual, its position, arm turn + 90, height, outreach, tilt, type.
      "0\n0\n0.000000\n-8.000000\n90\n8\n1.5\n10\n1\n"
      // The type: C-planes, total flux, 2 gammas, 1 plane, the angles, candela of 10 000 lm.
      "0\n10000.000000\n2\n1\n0\t90\n0\n1000\t100\n";
  std::string text;
  EXPECT_EQ(Write(text), EngineIo::kOk);
  EXPECT_EQ(text, expected);

  // The writer on its own is what the worker runs: the same bytes into the file.
  const auto path = TestFilePath("input.txt");
  EXPECT_EQ(WriteEngineInput5(&doc, CString(path.string().c_str())), EngineIo::kOk);
  EXPECT_EQ(ReadFileText(path), expected);
  std::filesystem::remove(path);
}

TEST_F(InterchangeInput, PreparationRefinesWhatTheEngineCalculatesAndNothingElse)
{
  BuildTwoDecks();
  ASSERT_EQ(EngineIo::PrepareEngineInput5(&doc), EngineIo::kOk);
  IPrimitive* lower = FirstPrimitive();
  IPrimitive* block = lower->GetNext()->GetNext()->GetNext();
  EXPECT_TRUE(SurfaceOf(lower).IsRefinedTo(5.0));
  EXPECT_FALSE(SurfaceOf(block).IsRefinedTo(5.0));
  EXPECT_EQ(SurfaceOf(block).GetMeshTriangleCount(), 2u);
  // Formatting reads and never meshes: the worker may run it while the window waits.
  const int rebuilds = SurfaceOf(lower).rebuilds;
  std::string text;
  EngineIo::FormatEngineInput5(&doc, text);
  EngineIo::FormatEngineInput5(&doc, text);
  EXPECT_EQ(SurfaceOf(lower).rebuilds, rebuilds);
}

TEST_F(InterchangeInput, TwoWritesWithDifferentStepsCountTheirOwnMeshes)
{
  BuildTwoDecks();
  std::string first, second;
  Write(first);
  const int user = 1;
  const double step = 2.0;
  area->SetGridMode(&user);
  area->SetGridStep(&step);
  // A coarser mesh for the next write: the upper deck loses its centres when it is made again.
  SetDeckOutline(FirstPrimitive()->GetNext(), {{-5, -10, 6}, {5, -10, 6}, {5, 10, 6}});
  IPrimitive* upper = FirstPrimitive()->GetNext();
  upper->ClearMesh();
  Write(second);
  EXPECT_TRUE(SurfaceOf(upper).IsRefinedTo(2.0));
  EXPECT_NE(first, second);
  EXPECT_NE(second.find("\n2.000000\n"), std::string::npos);
  // The upper deck is now a triangle: one mesh triangle, three points and its centre.
  EXPECT_NE(second.find("-5.000000 -10.000000 6.000000 5.000000 -10.000000 6.000000 5.000000 10.000000 "
                        "6.000000\n4\n"),
            std::string::npos);
}

// The automatic step: sqrt(area x records / 37500), kept within 0.5..5.0; no luminaire position keeps the stored
// step. The area is the meshes' own.
TEST_F(InterchangeInput, AutomaticGridStep)
{
  struct Case {
    double length, width;
    bool poleOn;
    const char* written;
  };
  const Case cases[] = {
      {15, 10, true, "0.500000"},      // 0.126 raised
      {100, 100, true, "1.032796"},    // sqrt(10 000 x 4 / 37 500)
      {1000, 1000, true, "5.000000"},  // 10.33 lowered
      {100, 100, false, "3.000000"},   // nothing placed: the stored step
  };
  for (const Case& c : cases) {
    SetWindow(2000, 2000, 0, 3.0);
    const double a = c.length / 2, b = c.width / 2;
    SetDeckOutline(FirstPrimitive(), {{-a, -b, 0}, {a, -b, 0}, {a, b, 0}, {-a, b, 0}});
    FirstPrimitive()->ClearMesh();
    SurfaceOf(FirstPrimitive()).Reset();
    IGroupOfDev* g = FirstGroup();
    SetPlacement(g, 0, 0, 1);
    // A typical pole yields one record per arm: four records.
    IPole* pole = Get<IPole>(g, IID_IPole);
    const int typical = 1;
    pole->SetTypical(&typical);
    SetArms(pole, {Arm(0, 1, 0, 0), Arm(0, 1, 0, 90), Arm(0, 1, 0, 180), Arm(0, 1, 0, 270)});
    SetLuminaire(*g->GetLightDevice(), "LampA", 10000, 1, 0x10100100, {0, 90}, {0}, {{100, 10}});
    const int state = c.poleOn ? 5 : 4;
    g->SetState(&state);
    std::string text;
    Write(text);
    const std::string head = std::string("2000.000000\n2000.000000\n0\n") + c.written + "\n";
    EXPECT_EQ(text.substr(0, head.size()), head) << c.length;
    EXPECT_TRUE(SurfaceOf(FirstPrimitive()).IsRefinedTo(EngineIo::InterchangeGridStep(&doc))) << c.length;
  }
}

TEST_F(InterchangeInput, CodesOfWhatCannotBeCalculated)
{
  BuildTwoDecks();
  std::string text;
  // A user step more than half the shorter side.
  SetWindow(40, 30, 1, 20.0);
  EXPECT_EQ(Write(text), EngineIo::kGridStepTooCoarse);
  SetWindow(40, 30, 1, 5.0);
  // No switched-on group.
  const int off = 4;
  FirstGroup()->SetState(&off);
  EXPECT_EQ(Write(text), EngineIo::kNoActiveGroups);
  // Carriageway switched off as a whole: only the background and the block remain.
  const int roadOff = 4;
  site->SetRoadState(&roadOff);
  EXPECT_EQ(Write(text), EngineIo::kNoActiveObjects);
  EXPECT_FALSE(text.empty());
  // Not an interchange.
  area->Release();
  area = doc.project->ResetAreas(CLSID_CCustomizeRoad);
  EXPECT_EQ(EngineIo::PrepareEngineInput5(&doc), EngineIo::kNoAreaOfThisKind);
  EXPECT_EQ(EngineIo::FormatEngineInput5(&doc, text), EngineIo::kNoAreaOfThisKind);
  EXPECT_TRUE(text.empty());
}

}  // namespace
