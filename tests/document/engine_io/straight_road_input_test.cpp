#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/straight_road_input.h"
#include "engine_io_fixture.h"
#include "outside/engines/road_input.h"

#include <gtest/gtest.h>

namespace {

class StraightRoadInput : public EngineIoTest {
protected:
  // A two-way road of every kind of line: divider with parapet, one sidewalk, one wall; four switched-on groups
  // (central, typical two-arm two-sided, mast, floor lamp) and one switched off.
  void BuildReferenceRoad()
  {
    int surface = 1, on = 1, oppositeOn = 0;
    road->SetSurface(&surface);
    SetLaneWidth(kLaneMain, 3.5);
    SetLaneWidth(kLaneOpposite, 3.75);
    SetLaneWidth(kLaneDivider, 2.0);
    road->SetOppositeState(&oppositeOn);
    road->SetDividerOn(&on);
    road->SetParapetOn(&on);
    const double parapetWidth = 0.5, parapetHeight = 0.8;
    road->SetParapetWidth(&parapetWidth);
    road->SetParapetHeight(&parapetHeight);

    ILineOfRoad* rightWalk = Get<ILineOfRoad>(sidewalks, IID_RightPavement);
    const double walkWidth = 2.0, walkGap = 0.5;
    rightWalk->SetWidth(&walkWidth);
    rightWalk->SetGap(&walkGap);
    SetState(Get<ILineOfRoad>(sidewalks, IID_LeftPavement), 0);
    const int wallFlags = 0x3001;  // present, both on
    walls->SetFlags(&wallFlags);
    walls->RemoveLeft();
    ILineOfRoad* rightWall = Get<ILineOfRoad>(walls, IID_RightWall);
    const double wallHeight = 12.0, wallDistance = 1.0;
    rightWall->SetWidth(&wallHeight);
    rightWall->SetGap(&wallDistance);
    const double mf = 0.7;
    groups->SetMaintenanceFactor(&mf);

    // Type 1: a quadrant table; planes 0 and 90 complete to -180, -90, 0, 90, 180.
    const std::vector<double> gammas{0, 45, 90};
    const std::vector<std::vector<double>> quadrant{{100, 80, 10}, {100, 120, 20}};

    IGroupOfDev* central = FirstGroup();
    SetLuminaire(*central->GetLightDevice(), "LampA", 10000, 1, 0x10020100, gammas, {0, 90}, quadrant);
    int scheme = 4;
    central->SetRoadScheme(&scheme);
    SetStep(central, 35.0, 0.0);
    IPole* pole = PoleOf(central);
    const int user = 0;
    pole->SetTypical(&user);
    SetPole(pole, 10.0, 1.5, 0.5, 5.0, 10.0);
    pole->GetLampPost()->GetCurrentBracket()->arms[0].turn = 90.0;

    IGroupOfDev* typical = AddGroup();
    SetLuminaire(*typical->GetLightDevice(), "LampA", 10000, 1, 0x10020100, gammas, {0, 90}, quadrant);
    scheme = 2;
    typical->SetRoadScheme(&scheme);
    SetStep(typical, 40.0, 5.0);
    CLampConsole* bracket = PoleOf(typical)->GetLampPost()->GetCurrentBracket();
    LAMP_CONSOLE_INFO second;
    second.rise = 2.5;
    second.outreach = 1.0;
    second.tilt = 10.0;
    second.turn = 180.0;
    bracket->arms.Add(second);

    // Type 2: the same luminaire with two lamps; a complete table re-based to -180, 0, 180.
    IGroupOfDev* mast = AddGroup();
    SetLuminaire(*mast->GetLightDevice(), "LampA", 10000, 2, 0x10010000, {0, 90}, {0, 180, 360},
                 {{50, 5}, {60, 6}, {50, 5}});
    scheme = 0;
    mast->SetRoadScheme(&scheme);
    int kind = 1;
    mast->SetMountingKind(&kind);
    SetStep(mast, 25.0, 2.5);
    pole = PoleOf(mast);
    SetPole(pole, 15.0, 0.5, 2.0, 7.0, 0.0);
    const double aimTilt = 70.0, aimTurn = 10.0, turn = 90.0;
    pole->SetAimTilt(&aimTilt);
    pole->SetAimTurn(&aimTurn);
    pole->SetLuminaireTurn(&turn);

    // Type 3: one plane, written as it stands; its catalogue code turns the mounting node over.
    IGroupOfDev* floorLamp = AddGroup();
    SetLuminaire(*floorLamp->GetLightDevice(), "LampB", 3000, 1, 0x10100100, {0, 60, 120}, {0}, {{30, 20, 10}});
    floorLamp->GetLightDevice()->textH = "00009";
    scheme = 1;
    floorLamp->SetRoadScheme(&scheme);
    kind = 2;
    floorLamp->SetMountingKind(&kind);
    SetStep(floorLamp, 20.0, 0.0);
    pole = PoleOf(floorLamp);
    SetPole(pole, 1.0, 0.0, 0.3, 0.0, 0.0);
    const int below = 0;
    const double lampTurn = 45.0;
    pole->SetMountSide(&below);
    pole->SetLuminaireTurn(&lampTurn);

    IGroupOfDev* off = AddGroup();
    const int switchedOff = 4;
    off->SetState(&switchedOff);
  }

  static void SetStep(IGroupOfDev* group, double step, double offset)
  {
    group->SetStep(&step);
    group->SetOffset(&offset);
  }
  static void SetPole(IPole* pole, double h, double a, double b, double tilt, double psi)
  {
    pole->SetHeight(&h);
    pole->SetOutreach(&a);
    pole->SetSetback(&b);
    pole->SetTilt(&tilt);
    pole->SetRotation(&psi);
  }
};

// Written by hand from the file's description, line by line.
const char kReferenceInput[] =
    "1\n"                      // carriageway takes part
    "C:\\Tesmira\\Bin\\rtab_2.rtb\n"
    "1\n"                      // rough surface
    "1\n"                      // two-way
    "2\n3.5\n"                 // main lanes
    "0\n2\n3.75\n"             // opposite direction on its own, its lanes
    "1\n2\n"                   // divider, its width
    "1\n0.5\n0.8\n"            // parapet
    "1\n1\n2\n0.5\n0\n"        // sidewalks: right 2 m at 0.5 m, left off
    "1\n1\n12\n1\n0\n"         // walls: right 12 m at 1 m, no left
    "0.7\n"                    // maintenance factor
    "6\n3\n3\n5\n"             // luminaires, types, gamma angles, planes
    // central: arm turn 90 + psi 10, then reduced 270 -> -90, + 10
    "0\n4\n35\n10\n1.5\n0.5\n5\n100\n0\n1\n"
    "0\n4\n35\n10\n1.5\n0.5\n5\n-80\n0\n1\n"
    // typical pole, pole height 8.5: arm 1 (rise 2, outreach 2, tilt 15), arm 2 (rise 2.5, outreach 1, tilt 10)
    "0\n2\n40\n10.5776\n2.28978\n1\n15\n0\n5\n1\n"
    "0\n2\n40\n11.0521\n1.29544\n1\n10\n180\n5\n1\n"
    // mast: no tilt of its own; aim tilt, aim turn, luminaire turn
    "1\n0\n25\n15\n0.5\n2\n0\n0\n70\n10\n90\n2.5\n2\n"
    // floor lamp: mounting node 0 written as 1, luminaire turn
    "2\n1\n20\n1\n0\n0.3\n0\n0\n1\n45\n0\n3\n"
    "35\n"                     // field: the first group's spacing
    // type 1, 10 klm: planes -180 (from 0), -90 (from 90), 0, 90, 180 (from 0)
    "0\n3\n5\n"
    "0\t45\t90\n"
    "-180\t-90\t0\t90\t180\n"
    "1000\t800\t100\n"
    "1000\t1200\t200\n"
    "1000\t800\t100\n"
    "1000\t1200\t200\n"
    "1000\t800\t100\n"
    // type 2, 2 x 10 klm: planes -180 (from 180), 0, 180
    "0\n2\n3\n"
    "0\t90\n"
    "-180\t0\t180\n"
    "1200\t120\n"
    "1000\t100\n"
    "1200\t120\n"
    // type 3, 3 klm, one plane
    "0\n3\n1\n"
    "0\t60\t120\n"
    "0\n"
    "90\t60\t30\n";

TEST_F(StraightRoadInput, ReferenceRoadMatchesTheHandWrittenFile)
{
  BuildReferenceRoad();
  const auto path = TestFilePath("input");
  ASSERT_EQ(WriteEngineInput1(&doc, CString(path.string().c_str())), 0);
  EXPECT_EQ(ReadFileText(path), kReferenceInput);
  std::filesystem::remove(path);
}

TEST_F(StraightRoadInput, OurEngineReadsTheReferenceFileAsMeant)
{
  std::string error;
  const auto in = Engines::ParseStraightRoadInput(kReferenceInput, &error);
  ASSERT_TRUE(in) << error;
  EXPECT_TRUE(in->OppositeSeparate());
  EXPECT_TRUE(in->parapet);
  EXPECT_TRUE(in->RightSidewalk());
  EXPECT_FALSE(in->LeftSidewalk());
  EXPECT_TRUE(in->RightWall());
  EXPECT_FALSE(in->LeftWall());
  EXPECT_EQ(in->reflectionTablePath, "C:\\Tesmira\\Bin\\rtab_2.rtb");
  ASSERT_EQ(in->luminaires.size(), 6u);
  EXPECT_EQ(in->luminaires[1].rotation, -80.0);
  EXPECT_EQ(in->luminaires[4].aimTilt, 70.0);
  EXPECT_EQ(in->luminaires[5].mountNode, 1u);
  EXPECT_EQ(in->luminaires[5].type, 3u);
  ASSERT_EQ(in->types.size(), 3u);
  EXPECT_EQ(in->types[0].planes, (std::vector<double>{-180, -90, 0, 90, 180}));
  EXPECT_EQ(in->fieldLength, 35.0);
}

TEST_F(StraightRoadInput, WriterOnlyReadsThePreparationChangesTheModel)
{
  BuildReferenceRoad();
  IGroupOfDev* typical = FirstGroup()->GetNext();
  CLampConsole* bracket = PoleOf(typical)->GetLampPost()->GetCurrentBracket();
  bracket->currentArm = 1;
  const double staleWidth = 1.0;
  area->SetWidth(&staleWidth);

  std::string text;
  EXPECT_EQ(EngineIo::FormatEngineInput1(&doc, text), 0);
  EXPECT_EQ(text, kReferenceInput);  // each arm read as itself, whatever arm is current
  EXPECT_EQ(bracket->currentArm, 1);
  EXPECT_EQ(*area->GetWidth(), staleWidth);

  EXPECT_EQ(EngineIo::PrepareEngineInput1(&doc), 0);
  EXPECT_EQ(bracket->currentArm, 0);
  // 2 x 3.5 + 2 x 3.75 + 2.0 divider + 2.0 + 0.5 right sidewalk (the left strip counts though off) + 1.0 wall
  EXPECT_DOUBLE_EQ(*area->GetWidth(), 7.0 + 7.5 + 2.0 + 2.5 + 4.0 + 1.0);
}

TEST_F(StraightRoadInput, OneWayRoadAndAbsentSidewalksAndWallsWriteTheirShortForms)
{
  const int off = 0, absent = 0x303;
  road->SetTwoWay(&off);
  sidewalks->SetFlags(&absent);
  SetLuminaire(*FirstGroup()->GetLightDevice(), "L", 1000, 1, 0x10100100, {0}, {0}, {{1}});
  std::string text;
  ASSERT_EQ(EngineIo::FormatEngineInput1(&doc, text), 0);
  // Road lines 1 to 6, then S1 = 0, W1 = 0 (new walls are absent), the maintenance factor.
  EXPECT_EQ(text.substr(0, text.find("1.5\n") + 4), "1\nC:\\Tesmira\\Bin\\rtab_1.rtb\n0\n0\n2\n3.75\n0\n0\n1.5\n");
}

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

TEST_F(StraightRoadInput, MountingNodeAndSuspendedMastLines)
{
  const int oneWay = 0, absent = 0x303;
  road->SetTwoWay(&oneWay);
  sidewalks->SetFlags(&absent);
  struct Case {
    const char* what;
    int kind;
    int scheme;
    const char* textH;
    int mountSide;
    std::vector<std::string> afterRotation;  // the lines between the rotation and the offset
  };
  const Case cases[] = {
      {"floor lamp, node as stored", 2, 0, "00001", 1, {"1", "45"}},
      {"floor lamp, coded 00009: below becomes above", 2, 0, "00009", 0, {"1", "45"}},
      {"floor lamp, coded 00009: anything else becomes below", 2, 0, "00009", 3, {"0", "45"}},
      {"floor lamp, suspended: no turn", 2, 5, "00001", 0, {"0", "0"}},
      {"mast, suspended: straight down, no turns", 1, 5, "", 0, {"90", "0", "0"}},
      {"mast aimed by the pole", 1, 0, "", 0, {"70", "10", "45"}},
  };
  for (const Case& c : cases) {
    IGroupOfDev* group = FirstGroup();
    group->SetRoadScheme(&c.scheme);
    group->SetMountingKind(&c.kind);
    SetLuminaire(*group->GetLightDevice(), "L", 1000, 1, 0x10100100, {0}, {0}, {{1}});
    group->GetLightDevice()->textH = c.textH;
    IPole* pole = PoleOf(group);
    const double aimTilt = 70.0, aimTurn = 10.0, turn = 45.0;
    pole->SetAimTilt(&aimTilt);
    pole->SetAimTurn(&aimTurn);
    pole->SetLuminaireTurn(&turn);
    pole->SetMountSide(&c.mountSide);
    std::string text;
    ASSERT_EQ(EngineIo::FormatEngineInput1(&doc, text), 0) << c.what;
    // Road lines 1 to 6, S1, W1, M, N1 to N4: the record starts at line 14.
    const std::vector<std::string> lines = Lines(text);
    ASSERT_GT(lines.size(), 13u + 8 + c.afterRotation.size() + 2) << c.what;
    EXPECT_EQ(lines[13], std::to_string(c.kind)) << c.what;
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 21, lines.begin() + 21 + c.afterRotation.size()),
              c.afterRotation)
        << c.what;
    EXPECT_EQ(lines[21 + c.afterRotation.size() + 1], "1") << c.what << ": the type follows the offset";
  }
}

TEST_F(StraightRoadInput, CodesEightAndNine)
{
  struct Case {
    const char* what;
    int roadState;
    int sidewalkFlags;
    int wallFlags;
    int groupState;
    int code;
  };
  const Case cases[] = {
      {"carriageway switched off, no sidewalks", 4, 0x303, 0x3001, 5, 8},
      {"carriageway marked out of the calculation", 7, 0x303, 0x3003, 5, 8},
      {"sidewalks present but both switched off", 4, 0x300, 0x3003, 5, 8},
      {"a sidewalk alone", 4, 0x301, 0x3003, 5, 0},
      {"every group switched off", 5, 0x301, 0x3003, 4, 9},
      {"nothing to light and nothing to light with", 4, 0x303, 0x3003, 4, 8},
  };
  for (const Case& c : cases) {
    road->SetState(&c.roadState);
    sidewalks->SetFlags(&c.sidewalkFlags);
    walls->SetFlags(&c.wallFlags);
    FirstGroup()->SetState(&c.groupState);
    SetLuminaire(*FirstGroup()->GetLightDevice(), "L", 1000, 1, 0x10100100, {0}, {0}, {{1}});
    const auto path = TestFilePath("input");
    EXPECT_EQ(WriteEngineInput1(&doc, CString(path.string().c_str())), c.code) << c.what;
    EXPECT_FALSE(ReadFileText(path).empty()) << c.what << ": the file is written for every code";
    std::filesystem::remove(path);
  }
}

TEST_F(StraightRoadInput, NoLuminaireWritesEmptyCountsAndTheFirstGroupsSpacing)
{
  const int off = 4;
  FirstGroup()->SetState(&off);
  const double step = 27.5;
  FirstGroup()->SetStep(&step);
  std::string text;
  ASSERT_EQ(EngineIo::FormatEngineInput1(&doc, text), 9);
  EXPECT_TRUE(text.ends_with("1.5\n0\n0\n0\n0\n27.5\n")) << text;
}

TEST_F(StraightRoadInput, MissingDataGivesACodeInsteadOfACrash)
{
  // A switched-on group without poles places nothing.
  const int none = 0;
  FirstGroup()->SetPoleCount(&none);
  std::string text;
  EXPECT_EQ(EngineIo::FormatEngineInput1(&doc, text), EngineIo::kNoActiveGroups);

  // A luminaire with an empty table cannot be described to the engine.
  IGroupOfDev* group = AddGroup();
  LinkedTableClear(group->GetLightDevice()->table.get());
  EXPECT_EQ(EngineIo::FormatEngineInput1(&doc, text), EngineIo::kNoIntensityTable);
  EXPECT_TRUE(text.empty());
  SetLuminaire(*group->GetLightDevice(), "L", 1000, 1, 0x10020100, {0, 90}, {0}, {{1, 1}});
  LinkedTableResize(group->GetLightDevice()->table.get(), 2, 1);  // a plane but no gamma angle
  EXPECT_EQ(EngineIo::FormatEngineInput1(&doc, text), EngineIo::kNoIntensityTable);

  // No project at all.
  ProjectDocument empty;
  empty.project->Release();
  empty.project = nullptr;
  EXPECT_EQ(EngineIo::FormatEngineInput1(&empty, text), EngineIo::kNoAreaOfThisKind);
  EXPECT_EQ(EngineIo::PrepareEngineInput1(&empty), EngineIo::kNoAreaOfThisKind);
}

TEST_F(StraightRoadInput, AFileThatCannotBeCreatedIsReported)
{
  SetLuminaire(*FirstGroup()->GetLightDevice(), "L", 1000, 1, 0x10100100, {0}, {0}, {{1}});
  const auto path = TestFilePath("missing-folder") / "input";
  EXPECT_EQ(WriteEngineInput1(&doc, CString(path.string().c_str())), EngineIo::kInputNotCreated);
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
