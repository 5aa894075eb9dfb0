#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/interchange_input.h"
#include "document/engine_io/interchange_result.h"
#include "interchange_fixture.h"
#include "tests/model/archive_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace ObjectModel;

class InterchangeResult : public InterchangeTest {
protected:
  void SetUp() override
  {
    InterchangeTest::SetUp();
    SetWindow(60, 60, 1, 5.0);
  }
  void TearDown() override
  {
    std::filesystem::remove(path);
    InterchangeTest::TearDown();
  }

  // A rectangle of the given size centred at (cx, cy) whose surface holds six points once prepared: the four
  // corners and the centres of its two fan triangles.
  IPrimitive* AddRectangle(int membership, double cx, double cy, double length, double width)
  {
    const double a = length / 2, b = width / 2;
    return AddDeck(membership, {{cx - a, cy - b, 0}, {cx + a, cy - b, 0}, {cx + a, cy + b, 0}, {cx - a, cy + b, 0}});
  }

  int Read(const Bytes& file)
  {
    EXPECT_EQ(EngineIo::PrepareEngineInput5(&doc), EngineIo::kOk);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data().data()), static_cast<std::streamsize>(file.size()));
    return ReadEngineResult5(&doc, CString(path.string().c_str()));
  }
  static Bytes Six(float v)
  {
    Bytes b;
    for (int i = 0; i < 6; ++i)
      b.f32(v);
    return b;
  }

  std::filesystem::path path = TestFilePath("result.bin");
};

// Two decks crossing, a background triangle between them and a shading block: 3 + 6 + 6 + 1 floats.
TEST_F(InterchangeResult, ValuesGoToTheCalculatedPolygonsInPointOrder)
{
  SetDeckOutline(FirstPrimitive(), {{-10, -5, 0}, {10, -5, 0}, {10, 5, 0}, {-10, 5, 0}});
  AddDeck(kMemberBackground, {{20, 0, 0}, {24, 0, 0}, {20, 3, 0}});
  AddDeck(kMemberCarriageway, {{-5, -10, 6}, {5, -10, 6}, {5, 10, 6}, {-5, 10, 6}});
  AddDeck(kMemberShading, {{0, 12, 0}, {2, 12, 0}, {2, 14, 0}, {0, 14, 0}});
  Bytes file;
  file.f32s({1000, 55, 22});
  file.f32s({10, 10, 10, 10, 14, 16});
  file.f32s({2, 4, 6, 8, 10, 0});
  file.f32(999);
  ASSERT_EQ(Read(file), EngineIo::kOk);

  IPrimitive* lower = FirstPrimitive();
  IPrimitive* background = lower->GetNext();
  IPrimitive* upper = background->GetNext();
  EXPECT_EQ(SurfaceOf(lower).Value(4), 14.0);
  EXPECT_EQ(SurfaceOf(upper).Value(3), 8.0);
  EXPECT_EQ(SurfaceOf(background).Value(3), 0.0);
  EXPECT_FALSE(SurfaceOf(background).averaged);

  const _CALC_RESULTS& d = Results();
  EXPECT_EQ(d.valid, 1);
  EXPECT_EQ(d.header1, 1);
  EXPECT_EQ(d.nX, 0u);
  ASSERT_EQ(d.nTotalsA, 2u);
  EXPECT_EQ(d.nTotalsB, 0u);
  const _TOTAL_LIGHT_50& first = d.totalsA[0];
  EXPECT_STREQ(first.name, "Примитив - 1");
  EXPECT_EQ(first.kind, 0);
  EXPECT_FLOAT_EQ(first.area, 200);
  EXPECT_FLOAT_EQ(first.average, 70.0f / 6);
  EXPECT_FLOAT_EQ(first.minimum, 10);
  EXPECT_FLOAT_EQ(first.maximum, 16);
  EXPECT_FLOAT_EQ(first.utilisation, 70.0f / 6 * 200 / 1000);
  EXPECT_STREQ(d.totalsA[1].name, "Примитив - 3");
  EXPECT_FLOAT_EQ(d.totalsA[1].average, 5);

  // One zone: its average weighted by area, (11.667 x 200 + 5 x 200) / 400; utilisation the sum of both.
  ASSERT_EQ(d.nZones, 1u);
  const _ZONE_RESULT& zone = d.zones[0];
  EXPECT_EQ(zone.kind, 0);
  EXPECT_FLOAT_EQ(zone.average, 25.0f / 3);
  EXPECT_FLOAT_EQ(zone.minimum, 0);
  EXPECT_FLOAT_EQ(zone.maximum, 16);
  EXPECT_FLOAT_EQ(zone.uniformity, 0);
  EXPECT_FLOAT_EQ(zone.i80, 55);
  EXPECT_FLOAT_EQ(zone.i85, 22);
  EXPECT_FLOAT_EQ(zone.utilisation, 70.0f / 6 * 200 / 1000 + 1.0f);
  EXPECT_FLOAT_EQ(zone.fifth, 0);

  // One colour scale over both decks.
  EXPECT_FLOAT_EQ(d.valueMin, 0);
  EXPECT_FLOAT_EQ(d.valueMax, 16);
  for (IPrimitive* p : {lower, upper}) {
    EXPECT_EQ(SurfaceOf(p).rangeMin, 0);
    EXPECT_EQ(SurfaceOf(p).rangeMax, 16);
    EXPECT_EQ(SurfaceOf(p).isolineBuilds, 1);
    EXPECT_EQ(SurfaceOf(p).colourings, 1);
  }
}

// Groups averaging 12 and 9 and an ungrouped polygon averaging 10, worked by hand (F1 = 1000 lm):
//   group 1: P1 20 x 10, all 12                                  area 200, average 12, UE 2.4
//   group 2: P2 10 x 10, all 6; P3 10 x 20, all 10.5             area 300, average (600 + 2100) / 300 = 9, UE 2.7
//   no group: P4 10 x 10, all 10                                 area 100, average 10, UE 1.0
//   zone: (200 x 12 + 300 x 9 + 100 x 10) / 600 = 10.1667, minimum 6, maximum 12, UE 6.1
TEST_F(InterchangeResult, GroupsAndZoneWeightedByArea)
{
  IPrimitive* p1 = FirstPrimitive();
  SetDeckOutline(p1, {{-10, -5, 0}, {10, -5, 0}, {10, 5, 0}, {-10, 5, 0}});
  IPrimitive* p2 = AddRectangle(kMemberCarriageway, 20, 0, 10, 10);
  IPrimitive* p3 = AddRectangle(kMemberCarriageway, -20, 0, 10, 20);
  AddRectangle(kMemberCarriageway, 0, 20, 10, 10);
  IGroupOfPrimitive* g1 = site->CreatePrimitiveGroup(kMemberCarriageway);
  IGroupOfPrimitive* g2 = site->CreatePrimitiveGroup(kMemberCarriageway);
  g1->SetNext(g2);
  g2->SetPrev(g1);
  // A sidewalk group whose kind matches carriageway primitives collects nothing.
  IGroupOfPrimitive* g3 = site->CreatePrimitiveGroup(kMemberSidewalk);
  g2->SetNext(g3);
  g3->SetPrev(g2);
  CGuid kind1, kind2;
  g1->GetKind(&kind1);
  g2->GetKind(&kind2);
  g3->SetKind(&kind2);
  p1->SetGroupKind(&kind1);
  p2->SetGroupKind(&kind2);
  p3->SetGroupKind(&kind2);

  Bytes file;
  file.f32s({1000, 0, 0}).append(Six(12)).append(Six(6)).append(Six(10.5f)).append(Six(10));
  ASSERT_EQ(Read(file), EngineIo::kOk);

  const _CALC_RESULTS& d = Results();
  ASSERT_EQ(d.nTotalsA, 3u);
  EXPECT_EQ(d.nTotalsB, 0u);
  const _TOTAL_LIGHT_50& group1 = d.totalsA[0];
  const _TOTAL_LIGHT_50& group2 = d.totalsA[1];
  const _TOTAL_LIGHT_50& alone = d.totalsA[2];
  EXPECT_STREQ(group1.name, g1->GetName()->GetString());
  EXPECT_STREQ(group2.name, g2->GetName()->GetString());
  EXPECT_STREQ(alone.name, "Примитив - 4");
  EXPECT_EQ(group2.groupData1, kind2.Value().Data1);
  EXPECT_FLOAT_EQ(group1.area, 200);
  EXPECT_FLOAT_EQ(group1.average, 12);
  EXPECT_FLOAT_EQ(group1.utilisation, 2.4f);
  EXPECT_FLOAT_EQ(group2.area, 300);
  EXPECT_FLOAT_EQ(group2.average, 9);
  EXPECT_FLOAT_EQ(group2.minimum, 6);
  EXPECT_FLOAT_EQ(group2.maximum, 10.5f);
  EXPECT_FLOAT_EQ(group2.utilisation, 2.7f);
  EXPECT_FLOAT_EQ(alone.area, 100);
  EXPECT_FLOAT_EQ(alone.average, 10);
  ASSERT_EQ(d.nZones, 1u);
  EXPECT_FLOAT_EQ(d.zones[0].average, 6100.0f / 600);
  EXPECT_FLOAT_EQ(d.zones[0].minimum, 6);
  EXPECT_FLOAT_EQ(d.zones[0].maximum, 12);
  EXPECT_FLOAT_EQ(d.zones[0].uniformity, 6 / (6100.0f / 600));
  EXPECT_FLOAT_EQ(d.zones[0].utilisation, 6.1f);
}

TEST_F(InterchangeResult, SidewalkZoneFollowsTheCarriagewayAndNothingIsDividedByZero)
{
  SetDeckOutline(FirstPrimitive(), {{-10, -5, 0}, {10, -5, 0}, {10, 5, 0}, {-10, 5, 0}});
  IPrimitive* walk = AddRectangle(kMemberSidewalk, 0, 10, 20, 4);
  // A name longer than the record holds is cut to 259 bytes.
  const CString longName(std::string(300, 'x').c_str());
  walk->SetName(&longName);
  Bytes file;
  file.f32s({0, 1, 2}).append(Six(0)).f32s({3, 1, 4, 1, 5, 9});
  ASSERT_EQ(Read(file), EngineIo::kOk);

  const _CALC_RESULTS& d = Results();
  ASSERT_EQ(d.nZones, 2u);
  EXPECT_EQ(d.zones[0].kind, 0);
  EXPECT_EQ(d.zones[1].kind, 1);
  // A carriageway all dark: no uniformity out of 0 / 0; no flux: no utilisation out of x / 0.
  EXPECT_EQ(d.zones[0].average, 0);
  EXPECT_EQ(d.zones[0].uniformity, 0);
  EXPECT_EQ(d.zones[0].utilisation, 0);
  EXPECT_EQ(d.totalsA[0].utilisation, 0);
  EXPECT_FLOAT_EQ(d.zones[1].maximum, 9);
  EXPECT_FLOAT_EQ(d.zones[1].minimum, 1);
  ASSERT_EQ(d.nTotalsB, 1u);
  EXPECT_EQ(std::strlen(d.totalsB[0].name), 259u);
  EXPECT_EQ(std::string(d.totalsB[0].name), std::string(259, 'x'));
  EXPECT_FLOAT_EQ(d.valueMax, 9);
}

TEST_F(InterchangeResult, ShortFilesAreRefusedBeforeAnyValueIsStored)
{
  IPrimitive* deck = FirstPrimitive();
  SetDeckOutline(deck, {{-10, -5, 0}, {10, -5, 0}, {10, 5, 0}, {-10, 5, 0}});
  struct Case {
    const char* what;
    Bytes file;
  };
  Bytes full;
  full.f32s({1000, 0, 0}).append(Six(7));
  Bytes oneShort;
  oneShort.f32s({1000, 0, 0}).f32s({7, 7, 7, 7, 7});
  Bytes ragged = full;
  ragged = Bytes().f32s({1000, 0, 0}).f32s({7, 7, 7, 7, 7}).raw("\x01\x02", 2);
  Bytes nothing;
  for (const Bytes& file : {oneShort, ragged, nothing}) {
    Results().valid = 1;
    EXPECT_EQ(Read(file), EngineIo::kResultDamaged) << file.size();
    EXPECT_EQ(Results().valid, 0);
    EXPECT_EQ(Results().nZones, 0u);
    EXPECT_EQ(SurfaceOf(deck).Value(0), 0.0);
    EXPECT_FALSE(SurfaceOf(deck).averaged);
  }
  // Values after the last expected one are ignored.
  Bytes longer = Bytes().append(full).f32s({1, 2, 3});
  EXPECT_EQ(Read(longer), EngineIo::kOk);
  EXPECT_EQ(SurfaceOf(deck).Value(5), 7.0);
  EXPECT_EQ(Results().valid, 1);

  // No file: nothing is touched.
  std::filesystem::remove(path);
  EXPECT_EQ(ReadEngineResult5(&doc, CString(path.string().c_str())), EngineIo::kResultMissing);
  EXPECT_EQ(Results().valid, 1);
}

}  // namespace
