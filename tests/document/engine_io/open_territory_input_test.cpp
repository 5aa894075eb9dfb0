#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/open_territory_input.h"
#include "open_territory_fixture.h"
#include "outside/engines/open_territory_input.h"

#include <gtest/gtest.h>

namespace {

using namespace ObjectModel;

class OpenTerritoryInput : public OpenTerritoryTest {
protected:
  void SetLampA(IGroupOfDev* g)
  {
    SetLuminaire(*g->GetLightDevice(), "LampA", 10000, 1, 0x10020100, {0, 45, 90}, {0, 90},
                 {{100, 80, 10}, {100, 120, 20}});
  }
  void SetLampB(IGroupOfDev* g)
  {
    SetLuminaire(*g->GetLightDevice(), "LampB", 3000, 1, 0x10100100, {0, 60, 120}, {0}, {{30, 20, 10}});
  }
  // A typical pole on an 8.5 m column whose bracket has two arms.
  void SetTwoArmTypicalPole(IPole* pole)
  {
    const int typical = 1;
    pole->SetTypical(&typical);
    const double psi = 0;
    pole->SetRotation(&psi);
    pole->GetLampPost()->height = 8.5;
    SetArms(pole, {Arm(2.0, 2.0, 15.0, 0.0), Arm(2.5, 1.0, 10.0, 180.0)});
  }

  // Every shape and membership, a shading object, a marking and a switched-off primitive; groups: individual,
  // typical two-arm line, mast circle, single-pole line, floor lamp, and a switched-off contour placement whose
  // two sub-groups are on.
  void BuildReferenceSite()
  {
    SetWindow(60, 40, 1, 2.5);
    SetOutline(FirstPrimitive(), {{10, 5}, {20, 5}, {20, 15}, {10, 15}});
    AddShape(kShapeRectangle, kMemberSidewalk, 0, -10, 30, 4, 0);
    IPrimitive* triangle = AddShape(kShapeTriangle, kMemberBackground, -20, 10, 6, 4, 90);
    const double apex = 0.5;
    triangle->SetVertexOffset(&apex);
    AddShape(kShapeEllipse, kMemberCarriageway, 5, 0, 8, 6, 0);
    IPrimitive* sector = AddShape(kShapeRingSector, kMemberShading, -10, -5, 6, 6, 0);
    const int ring = kShapeRingSector;
    sector->SetShape(&ring);
    const double inner = 1.5, angle = 90;
    sector->SetInnerRadius(&inner);
    sector->SetSectorAngle(&angle);
    sector->SetHeight(4.0);
    sector->SetBaseHeight(1.5);
    AddShape(kShapeRectangle, kMemberMarking, 0, 0, 10, 0.2, 0);
    IPrimitive* background = AddPolygon(kMemberBackground, {{-25, -15}, {-15, -15}, {-20, -12}});
    background->SetContourSide(1);
    SetState(AddShape(kShapeRectangle, kMemberCarriageway, 0, 0, 50, 30, 0), 4);
    const double mf = 0.7;
    groups->SetMaintenanceFactor(&mf);

    IGroupOfDev* single = FirstGroup();
    SetLampA(single);
    SetPlacement(single, 0, 0, 1);
    SetPole(PoleOf(single), 0, 12, 10, 1.5, 5, 30);
    SetArms(PoleOf(single), {Arm(0, 0, 0, 90)});

    IGroupOfDev* line = AddGroup();
    SetLampA(line);
    SetPlacement(line, 0, 1, 3);
    IPole* first = PoleOf(line);
    SetPole(first, -10, 0, 10, 1, 0, 0);
    SetPole(first->GetNext(), -10, 8, 10, 1, 0, 0);
    line->PlacePoles(4);
    SetTwoArmTypicalPole(first);

    IGroupOfDev* mast = AddGroup();
    SetLampB(mast);
    SetPlacement(mast, 1, 2, 3);
    const double base[3] = {20, -5, 0};
    mast->SetBasePoint(base);
    const double step = 120;
    mast->SetAngularStep(&step);
    SetPole(PoleOf(mast), 25, -5, 15, 0.5, 0, 0);
    mast->PlacePoles(6);
    const double aim[3] = {20, -5, 0}, turn = 10;
    PoleOf(mast)->SetAimPoint(aim);
    PoleOf(mast)->SetLuminaireTurn(&turn);

    IGroupOfDev* lonePole = AddGroup();
    SetLampB(lonePole);
    SetPlacement(lonePole, 0, 1, 1);
    SetPole(PoleOf(lonePole), 15, 15, 6, 0.5, 0, -90);
    SetArms(PoleOf(lonePole), {Arm(0, 0, 0, 0)});

    IGroupOfDev* floorLamp = AddGroup();
    SetLampA(floorLamp);
    floorLamp->GetLightDevice()->textH = "00009";
    SetPlacement(floorLamp, 2, 0, 1);
    SetPole(PoleOf(floorLamp), -5, -20, 1, 0, 0, 0);
    SetArms(PoleOf(floorLamp), {Arm(0, 0, 0, 0)});
    const int below = 0;
    const double lampTurn = 45;
    PoleOf(floorLamp)->SetMountSide(&below);
    PoleOf(floorLamp)->SetLuminaireTurn(&lampTurn);

    IGroupOfDev* contour = AddGroup();
    SetLampA(contour);
    SetPlacement(contour, 0, 3, 1);
    SetPole(PoleOf(contour), 0, 0, 10, 1, 0, 0);
    SetTwoArmTypicalPole(PoleOf(contour));
    CArray<_CSPOINT3D>* points = nullptr;
    contour->GetContourPoints(&points);
    points->Add(_CSPOINT3D{0, -20, 0, 0, 0});
    points->Add(_CSPOINT3D{30, -20, 0, 0, 0});
    contour->UpdatePolePositions(0);
    const int off = 4;
    contour->SetState(&off);
  }

  IPole* PoleOf(IGroupOfDev* group) { return Get<IPole>(group, IID_IPole); }

  std::string Write(int expectedCode)
  {
    const auto path = TestFilePath("input");
    EXPECT_EQ(EngineIo::PrepareEngineInput3(&doc), 0);
    EXPECT_EQ(WriteEngineInput3(&doc, CString(path.string().c_str())), expectedCode);
    std::string text = ReadFileText(path);
    std::filesystem::remove(path);
    return text;
  }
};

// Written by hand from the file's description, line by line.
const char kReferenceInput[] =
    "60.000000       !  2. длина окна\n"
    "40.000000       !  3. ширина окна\n"
    "1\n"
    "2.500000       !  шаг сетки\n"
    "1       !  1. Проезжая часть:0-выкл, 1-вкл:\n"
    "1       !  1.0 тротуар:0-нет, 1-есть:\n"
    "8       !  1.1 Участок дороги:\n"
    // the background triangle, third in the list: base corners and apex, lifted 3 mm
    "1       !  1.8.1 Количество треугольников\n"
    "-18.000000 7.000000 0.003000 -18.000000 13.000000 0.003000 -22.000000 11.500000 0.003000        !  1.8.1.1 - 1.8.1.9  \n"
    "0       !  1.8.1.10 Тип объекта\n"
    "0.000000       !  Базовая высота примитива\n"
    // the sidewalk rectangle, second: three corners of its outline
    "1       !  1.8.2 Количество прямоугольников\n"
    "-15.000000 -12.000000 0.002000 15.000000 -12.000000 0.002000 15.000000 -8.000000 0.002000        !  1.8.1.1 - 1.8.1.9  \n"
    "2       !  1.8.1.10 Тип объекта\n"
    "0.000000       !  Базовая высота примитива\n"
    "1       !  1.8.3 Количество эллипсов\n"
    "1.000000 -3.000000 0.004000 9.000000 -3.000000 0.004000 9.000000 3.000000 0.004000        !  1.8.1.1 - 1.8.1.9  \n"
    "1       !  1.8.1.10 Тип объекта\n"
    "0.000000       !  Базовая высота примитива\n"
    // the shading ring sector, 4 m high on a 1.5 m base
    "1       !  1.8.3 Количество секторов\n"
    "-13.000000 -8.000000 4.005000 -7.000000 -8.000000 4.005000 -7.000000 -2.000000 4.005000        !  1.8.1.1 - 1.8.1.9  \n"
    "1.500000       !  внутренний радиус\n"
    "90.000000       !  угол сектора\n"
    "4       !  1.8.1.10 Тип объекта\n"
    "1.500000       !  Базовая высота примитива\n"
    // the carriageway square first in the list; the background triangle sixth (the marking takes no lift)
    "2       !  Количество полигонов\n"
    "4       !  Максимальное количество вершин\n"
    "2       !  Максимальное количество треугольников\n"
    "4       !  Вершин в полигоне\n"
    "10.000000 5.000000 0.001000        !  \n"
    "20.000000 5.000000 0.001000        !  \n"
    "20.000000 15.000000 0.001000        !  \n"
    "10.000000 15.000000 0.001000        !  \n"
    "0       !  Обход\n"
    "1       !  Тип объекта\n"
    "0.000000       !  Базовая высота примитива\n"
    "2       !  Количество треугольников в примитиве\n"
    "20.000000 15.000000 0.001000 10.000000 5.000000 0.001000 20.000000 5.000000 0.001000        !  1.8.1.1 - 1.8.1.9  \n"
    "10.000000 5.000000 0.001000 20.000000 15.000000 0.001000 10.000000 15.000000 0.001000        !  1.8.1.1 - 1.8.1.9  \n"
    "3       !  Вершин в полигоне\n"
    "-25.000000 -15.000000 0.006000        !  \n"
    "-15.000000 -15.000000 0.006000        !  \n"
    "-20.000000 -12.000000 0.006000        !  \n"
    "1       !  Обход\n"
    "3       !  Тип объекта\n"
    "0.000000       !  Базовая высота примитива\n"
    "1       !  Количество треугольников в примитиве\n"
    "-25.000000 -15.000000 0.006000 -15.000000 -15.000000 0.006000 -20.000000 -12.000000 0.006000        !  1.8.1.1 - 1.8.1.9  \n"
    "0.000000       !  1.0.1 ширина тр-ра\n"
    "0.000000       !  1.0.2 зазор между тр-ром и пр.частью\n"
    "0.7\n"
    "10\n2\n3\n5\n"
    // individual pole: arm turn 90 + psi 30
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "0       !  10.  0 - индивидуальная\n"
    "0.000000       !  11-00   координата опоры X\n"
    "12.000000       !  12-00   координата опоры Y\n"
    "120\n10\n1.5\n5\n1\n"
    // typical two-arm poles in line, 8.5 m column: arm 1 (rise 2, outreach 2, tilt 15), arm 2 (2.5, 1, 10)
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "1       !  10.  0 - индивидуальная\n"
    "-10.000000       !  11-01   координата 1-ой опоры X\n"
    "0.000000       !  12-01   координата 1-ой опоры Y\n"
    "0       !  13-01   система координат 2-ой опоры - 0 - декартовая\n"
    "-10.000000       !  14-010   координата 2-ой опоры X\n"
    "8.000000       !  15-010   координата 2-ой опоры Y\n"
    "3       !  16-01   количество опор\n"
    "0\n10.5776\n2.28978\n15\n1\n"
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "1       !  10.  0 - индивидуальная\n"
    "-10.000000       !  11-01   координата 1-ой опоры X\n"
    "0.000000       !  12-01   координата 1-ой опоры Y\n"
    "0       !  13-01   система координат 2-ой опоры - 0 - декартовая\n"
    "-10.000000       !  14-010   координата 2-ой опоры X\n"
    "8.000000       !  15-010   координата 2-ой опоры Y\n"
    "3       !  16-01   количество опор\n"
    "180\n11.0521\n1.29544\n10\n1\n"
    // masts on a circle about (20, -5): the light 0.5 m out along the circle rotation 180
    "1       !  9.  0 - на опоре, 1 - на мачте\n"
    "2       !  10.  0 - индивидуальная\n"
    "20.000000       !  11-12   координата центра окружности с ОП X\n"
    "-5.000000       !  12-12   координата центра окружности с ОП Y\n"
    "0       !  13-12   система координат 1-ого ОП:   0 - декартовая\n"
    "24.500000       !  14-120   координата 1-ого ОП X\n"
    "-5.000000       !  15-120   координата 1-ого ОП Y\n"
    "120.000000      !  16-12   шаг (dfi)\n"
    "15\n"
    "3       !  17-11   количество ОП\n"
    "0       !  14-10   система нацеливания ОП:   0 - декартовая\n"
    "20.000000       !  15-100   координата нацеливания X\n"
    "-5.000000       !  16-100   координата нацеливания Y\n"
    "0.000000      !  17-100   высота нацеливания(h')\n"
    "10.000000      !  поворот ОП (teta)\n"
    "2\n"
    // a line of one pole: its own position stands for the second
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "1       !  10.  0 - индивидуальная\n"
    "15.000000       !  11-01   координата 1-ой опоры X\n"
    "15.000000       !  12-01   координата 1-ой опоры Y\n"
    "0       !  13-01   система координат 2-ой опоры - 0 - декартовая\n"
    "15.000000       !  14-010   координата 2-ой опоры X\n"
    "15.000000       !  15-010   координата 2-ой опоры Y\n"
    "1       !  16-01   количество опор\n"
    "-90\n6\n0.5\n0\n2\n"
    // floor lamp: mounting node 0 written as 1 for catalogue code 00009, then the luminaire turn
    "2       !  9.  0 - на опоре, 1 - на мачте\n"
    "0       !  10.  0 - индивидуальная\n"
    "-5.000000       !  11-00   координата опоры X\n"
    "-20.000000       !  12-00   координата опоры Y\n"
    "0\n1\n0\n0\n1\n45\n1\n"
    // the contour placement's sub-groups at x = 0 and 20, 1 m off the contour, turned 90: the parent's
    // two arms each, with the values the sub-group's pole took from it
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "0       !  10.  0 - индивидуальная\n"
    "0.000000       !  11-00   координата опоры X\n"
    "-21.000000       !  12-00   координата опоры Y\n"
    "90\n10.5776\n2.28978\n15\n1\n"
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "0       !  10.  0 - индивидуальная\n"
    "0.000000       !  11-00   координата опоры X\n"
    "-21.000000       !  12-00   координата опоры Y\n"
    "270\n10.5776\n2.28978\n15\n1\n"
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "0       !  10.  0 - индивидуальная\n"
    "20.000000       !  11-00   координата опоры X\n"
    "-21.000000       !  12-00   координата опоры Y\n"
    "90\n10.5776\n2.28978\n15\n1\n"
    "0       !  9.  0 - на опоре, 1 - на мачте\n"
    "0       !  10.  0 - индивидуальная\n"
    "20.000000       !  11-00   координата опоры X\n"
    "-21.000000       !  12-00   координата опоры Y\n"
    "270\n10.5776\n2.28978\n15\n1\n"
    // type 1, 10 klm: quadrant completed to planes -180 .. 180
    "0\n"
    "10000.000000       !\tСветовой поток ИС, лм\n"
    "3\n5\n"
    "0\t45\t90\n"
    "-180\t-90\t0\t90\t180\n"
    "1000\t800\t100\n"
    "1000\t1200\t200\n"
    "1000\t800\t100\n"
    "1000\t1200\t200\n"
    "1000\t800\t100\n"
    // type 2, 3 klm, one plane as it stands
    "0\n"
    "3000.000000       !\tСветовой поток ИС, лм\n"
    "3\n1\n"
    "0\t60\t120\n"
    "0\n"
    "90\t60\t30\n";

TEST_F(OpenTerritoryInput, ReferenceSiteMatchesTheHandWrittenFile)
{
  BuildReferenceSite();
  EXPECT_EQ(Write(0), kReferenceInput);
}

TEST_F(OpenTerritoryInput, OurEngineReadsTheReferenceFileAsMeant)
{
  std::string error;
  const auto in = Engines::ParseOpenTerritoryInput(kReferenceInput, &error);
  ASSERT_TRUE(in) << error;
  EXPECT_TRUE(in->userGrid);
  EXPECT_EQ(in->gridStep, 2.5);
  ASSERT_EQ(in->primitives.size(), 6u);
  EXPECT_EQ(in->primitives[0].membership, Engines::SiteMembership::Background);
  EXPECT_EQ(in->primitives[3].baseHeight, 1.5);
  EXPECT_EQ(in->primitives[4].pieces.size(), 2u);
  EXPECT_EQ(in->primitives[5].membership, Engines::SiteMembership::Background);
  ASSERT_EQ(in->luminaires.size(), 10u);
  EXPECT_EQ(in->luminaires[3].centreX, 20.0);
  EXPECT_EQ(in->luminaires[3].aim.x, 20.0);
  EXPECT_EQ(in->luminaires[4].count, 1u);
  EXPECT_EQ(in->luminaires[5].mountNode, 1u);
  EXPECT_EQ(in->luminaires[5].luminaireTurn, 45.0);
  ASSERT_EQ(in->types.size(), 2u);
  EXPECT_EQ(in->types[1].lampFlux, 3000.0);
}

// The same site written again changes nothing: the pieces are rebuilt, the arms come back to the first.
TEST_F(OpenTerritoryInput, WritingTwiceGivesTheSameFileAndLeavesTheFirstArmCurrent)
{
  BuildReferenceSite();
  IGroupOfDev* line = FirstGroup()->GetNext();
  PoleOf(line)->GetLampPost()->GetCurrentBracket()->currentArm = 1;
  const std::string first = Write(0);
  EXPECT_EQ(PoleOf(line)->GetLampPost()->GetCurrentBracket()->currentArm, 0);
  EXPECT_EQ(Write(0), first);
  EXPECT_EQ(first, kReferenceInput);
}

// The placements the reference site leaves out: a mast alone, masts in line (the light of each pole 1 m out along
// the line's normal), floor lamps on a circle (whose coordinate-system line has eight spaces before "!").
TEST_F(OpenTerritoryInput, MastsAloneAndInLineAndFloorLampsOnACircle)
{
  SetWindow(50, 50, 0, 1);
  IGroupOfDev* mast = FirstGroup();
  SetLampA(mast);
  SetPlacement(mast, 1, 0, 1);
  SetPole(PoleOf(mast), 2, 3, 12, 2, 0, 90);
  const double aimUp[3] = {2, 10, 0};
  PoleOf(mast)->SetAimPoint(aimUp);

  IGroupOfDev* masts = AddGroup();
  SetLampA(masts);
  SetPlacement(masts, 1, 1, 2);
  SetPole(PoleOf(masts), 0, -10, 14, 1, 0, 0);
  SetPole(PoleOf(masts)->GetNext(), 10, -10, 14, 1, 0, 0);
  const double aimAlong[3] = {5, -10, 0}, turn = 30;
  PoleOf(masts)->SetAimPoint(aimAlong);
  PoleOf(masts)->SetLuminaireTurn(&turn);

  IGroupOfDev* lamps = AddGroup();
  SetLampA(lamps);
  SetPlacement(lamps, 2, 2, 4);
  const double centre[3] = {0, 0, 0}, quarter = 90;
  lamps->SetBasePoint(centre);
  lamps->SetAngularStep(&quarter);
  SetPole(PoleOf(lamps), 10, 0, 1.2, 0, 0, 0);
  lamps->PlacePoles(6);
  SetArms(PoleOf(lamps), {Arm(0, 0, 0, 0)});
  const int above = 1;
  PoleOf(lamps)->SetMountSide(&above);

  const std::string records =
      "1       !  9.  0 - на опоре, 1 - на мачте\n"
      "0       !  10.  0 - индивидуальная\n"
      "2.000000       !  11-10   координата ОП X\n"
      "5.000000       !  12-10   координата ОП Y\n"
      "12\n"
      "0       !  14-10   система нацеливания ОП:   0 - декартовая\n"
      "2.000000       !  15-100   координата нацеливания X\n"
      "10.000000       !  16-100   координата нацеливания Y\n"
      "0.000000      !  17-100   высота нацеливания(h')\n"
      "0.000000      !  поворот ОП (teta)\n"
      "1\n"
      "1       !  9.  0 - на опоре, 1 - на мачте\n"
      "1       !  10.  0 - индивидуальная\n"
      "0.000000       !  11-10   координата ОП X\n"
      "-9.000000       !  12-10   координата ОП Y\n"
      "0       !  13-11   система координат 2-ого ОП:   0 - декартовая\n"
      "10.000000       !  14-110   координата 2-ой опоры X\n"
      "-9.000000       !  15-110   координата 2-ой опоры Y\n"
      "14\n"
      "2       !  17-11   количество ОП\n"
      "0       !  14-10   система нацеливания ОП:   0 - декартовая\n"
      "5.000000       !  15-100   координата нацеливания X\n"
      "-10.000000       !  16-100   координата нацеливания Y\n"
      "0.000000      !  17-100   высота нацеливания(h')\n"
      "30.000000      !  поворот ОП (teta)\n"
      "1\n"
      "2       !  9.  0 - на опоре, 1 - на мачте\n"
      "2       !  10.  0 - индивидуальная\n"
      "0.000000       !  11-02   координата центра окружности с опорами X\n"
      "0.000000       !  12-02   координата центра окружности с опорами Y\n"
      "0        !  13-02   система координат 1-ой опоры - декартовая\n"
      "10.000000       !  14-020   координата 1-ой опоры X\n"
      "0.000000       !  15-020   координата 1-ой опоры Y\n"
      "90.000000       !  16-02   шаг (dfi)\n"
      "4       !  17-02   количество опор\n"
      "0\n1.2\n0\n0\n1\n0\n1\n";
  const std::string text = Write(0);
  const std::string counts = "0.000000       !  1.0.2 зазор между тр-ром и пр.частью\n1.5\n3\n1\n3\n5\n";
  const std::size_t at = text.find(counts);
  ASSERT_NE(at, std::string::npos) << text;
  EXPECT_EQ(text.substr(at + counts.size(), records.size()), records);
}

struct CodeCase {
  const char* what;
  int roadState, sidewalkState;
  int carriagewayPrimitiveState;
  int gridMode;
  double gridStep;
  bool groupsOn;
  int code;
};

TEST_F(OpenTerritoryInput, CodesDecidedAfterTheFileIsComplete)
{
  const CodeCase cases[] = {
      {"all on", 5, 5, 5, 0, 30, true, 0},
      {"carriageway primitive off", 5, 5, 4, 0, 1, true, EngineIo::kNoActiveObjects},
      {"carriageway category off", 4, 5, 5, 0, 1, true, EngineIo::kNoActiveObjects},
      {"no group on", 5, 5, 5, 0, 1, false, EngineIo::kNoActiveGroups},
      {"30 m user step on 50 x 100", 5, 5, 5, 1, 30, true, EngineIo::kGridStepTooCoarse},
      {"25 m user step on 50 x 100", 5, 5, 5, 1, 25, true, 0},
      {"user step of nothing", 5, 5, 5, 1, 0, true, EngineIo::kGridStepTooCoarse},
      {"automatic grid, any step", 5, 5, 5, 0, 0, true, 0},
      {"nothing and no group: 8 first", 5, 5, 4, 1, 30, false, EngineIo::kNoActiveObjects},
  };
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    SetWindow(100, 50, c.gridMode, c.gridStep);
    site->SetRoadState(&c.roadState);
    site->SetSidewalkState(&c.sidewalkState);
    SetState(FirstPrimitive(), c.carriagewayPrimitiveState);
    SetLampA(FirstGroup());
    const int state = c.groupsOn ? 5 : 4;
    FirstGroup()->SetState(&state);
    const std::string text = Write(c.code);
    EXPECT_FALSE(text.empty()) << "the file is written whatever the code";
  }
}

TEST_F(OpenTerritoryInput, TheSameLuminaireWithAnotherLampCountIsAnotherType)
{
  SetWindow(50, 50, 0, 1);
  IGroupOfDev* one = FirstGroup();
  SetLampA(one);
  IGroupOfDev* two = AddGroup();
  SetLampA(two);
  two->GetLightDevice()->lampCount = 2;
  IGroupOfDev* again = AddGroup();
  SetLampA(again);
  for (IGroupOfDev* g : {one, two, again})
    SetPlacement(g, 0, 0, 1);
  std::string error;
  const auto in = Engines::ParseOpenTerritoryInput(Write(0), &error);
  ASSERT_TRUE(in) << error;
  ASSERT_EQ(in->luminaires.size(), 3u);
  EXPECT_EQ(in->luminaires[0].type, 1u);
  EXPECT_EQ(in->luminaires[1].type, 2u);
  EXPECT_EQ(in->luminaires[2].type, 1u);
  ASSERT_EQ(in->types.size(), 2u);
  EXPECT_EQ(in->types[1].lampFlux, 20000.0);
}

TEST_F(OpenTerritoryInput, NothingTakingPartWritesZeroCountsAndNoPolygonMaxima)
{
  SetWindow(50, 50, 0, 1);
  IPrimitive* walk = AddShape(kShapeRectangle, kMemberSidewalk, 0, 0, 10, 2, 0);
  const int walkOff = 4;
  site->SetSidewalkState(&walkOff);
  SetState(FirstPrimitive(), 4);
  (void)walk;
  SetLampA(FirstGroup());
  const std::string text = Write(EngineIo::kNoActiveObjects);
  const std::string head =
      "50.000000       !  2. длина окна\n"
      "50.000000       !  3. ширина окна\n"
      "0\n"
      "1.000000       !  шаг сетки\n"
      "0       !  1. Проезжая часть:0-выкл, 1-вкл:\n"
      "0       !  1.0 тротуар:0-нет, 1-есть:\n"
      "8       !  1.1 Участок дороги:\n"
      "0       !  1.8.1 Количество треугольников\n"
      "0       !  1.8.2 Количество прямоугольников\n"
      "0       !  1.8.3 Количество эллипсов\n"
      "0       !  1.8.3 Количество секторов\n"
      "0       !  Количество полигонов\n"
      "0.000000       !  1.0.1 ширина тр-ра\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
}

TEST_F(OpenTerritoryInput, FailuresOfTheExchangeItself)
{
  SetLampA(FirstGroup());
  EXPECT_EQ(WriteEngineInput3(&doc, CString("/nonexistent-folder/input")), EngineIo::kInputNotCreated);

  // A luminaire without a table has nothing the engine could read.
  LinkedTableClear(FirstGroup()->GetLightDevice()->table.get());
  EXPECT_EQ(WriteEngineInput3(&doc, CString(TestFilePath("input").string().c_str())), EngineIo::kNoIntensityTable);

  // A straight road is not an open site.
  area->Release();
  area = doc.project->ResetAreas(CLSID_CStraightRoad);
  EXPECT_EQ(WriteEngineInput3(&doc, CString(TestFilePath("input").string().c_str())), EngineIo::kNoAreaOfThisKind);
  EXPECT_EQ(EngineIo::PrepareEngineInput3(&doc), EngineIo::kNoAreaOfThisKind);
}

}  // namespace
