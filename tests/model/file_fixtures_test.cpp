// Straight-road blocks of older project files, written by hand from the field lists of each block.
#include "archive_bytes.h"
#include "fake_document.h"
#include "model/version.h"
#include "test_road.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using ObjectModel::MakeFormatVersion;

const DWORD v4_0_17_0 = MakeFormatVersion(4, 0, 17, 0);
const DWORD v4_2_0_0 = MakeFormatVersion(4, 2, 0, 0);
const DWORD v5_0_15_0 = MakeFormatVersion(5, 0, 15, 0);

bool AtLeast(DWORD version, unsigned a, unsigned b, unsigned c, unsigned d)
{
  return version >= MakeFormatVersion(a, b, c, d);
}

// The norms record's part of an area block.
Bytes NormsBlock(DWORD version, const std::string& objectClass)
{
  Bytes b;
  b.i32(2).str(objectClass).i32(0x10).i64(0x0102030405060708LL);
  for (int i = 0; i < 9; ++i)
    b.f64(1.0 + i);  // document values 0-8
  for (int i = 0; i < 9; ++i)
    b.f64(11.0 + i);  // effective values 0-8
  b.f64(10.0).f64(20.0);  // document and effective value 9
  if (AtLeast(version, 4, 3, 0, 0))
    b.f64s({30, 31, 32, 33, 34, 35});
  if (AtLeast(version, 5, 0, 20, 0))
    b.f64s({40, 41, 42, 43});
  return b;
}

Bytes AreaBlock(DWORD version, const std::string& objectClass = "А1")
{
  Bytes b;
  b.str("Улица").f64(31.5).f64(200.0).i32(1);
  b.append(NormsBlock(version, objectClass));
  if (AtLeast(version, 4, 0, 3, 0))
    b.f32s({1, 2, 3, 4, 5});
  if (AtLeast(version, 4, 0, 9, 0))
    b.f32s({6, 7, 8});
  if (AtLeast(version, 4, 0, 15, 0))
    b.i32(0).i32(5);  // typical form, area number
  if (AtLeast(version, 4, 0, 18, 0)) {
    b.i32(0).i32(1).i32(3);  // lighting output 0, economic output 1, grid mode 3
    for (int camera = 0; camera < 8; ++camera)
      b.f64s({100.0 + camera, 0, 10, 0, 0, 0});
  }
  if (AtLeast(version, 4, 2, 0, 0))
    b.i32(9);  // underlay id
  if (AtLeast(version, 4, 2, 0, 2))
    b.f64(0.5);  // grid step
  if (AtLeast(version, 4, 3, 0, 0))
    b.i32(2);  // calc-area id
  if (AtLeast(version, 4, 3, 5, 0))
    b.f64(7.0);  // base height
  if (AtLeast(version, 5, 0, 15, 0))
    b.f64s({1000, 2000, 3});  // report origin
  return b;
}

Bytes Strip(int type, int state, double width, double gap)
{
  Bytes b;
  b.i32(type).i32(state).f64(width).i32(0).f64(1.0).f64(1.0).f64(gap);
  return b;
}

Bytes CrossSection()
{
  Bytes b;
  // Carriageway: one-way, three lanes.
  b.i32(1).str("Проезжая часть").i32(1).i32(0).i32(3);
  b.append(Strip(0, 1, 3.5, 0)).append(Strip(0, 1, 3.5, 0)).append(Strip(0, 1, 3.0, 0));
  // Sidewalks: right only.
  b.i32(0x301).str("Тротуар").i32(0).i32(1).append(Strip(0, 1, 2.5, 1.5));
  // Walls: both, present.
  b.i32(0x3001).str("Стена здания").i32(1).append(Strip(0, 0x1000, 12.0, 3.0)).i32(1).append(Strip(0, 0x2000, 15.0, 4.0));
  return b;
}

// An empty results block in the form of `version`.
Bytes EmptyResults(DWORD version)
{
  Bytes b;
  b.i32(0).u32(0).i32(0).i32(0);
  b.u32(0).zeros(20).f32(0);
  b.u32(0).zeros(20).f32(0);
  b.u32(0).u32(0).f32(0).u32(0).f32(0);
  b.u32(0).i32(0).u32(0).zeros(40);
  b.u32(0).u32(0).zeros(20);
  if (AtLeast(version, 4, 0, 4, 0))
    b.u32(0);
  if (AtLeast(version, 4, 3, 5, 0))
    b.u32(0).u32(0);
  if (AtLeast(version, 4, 0, 17, 0))
    b.zeros(20);
  if (AtLeast(version, 4, 3, 5, 0))
    b.zeros(8);
  return b;
}

Bytes StraightRoadFile(DWORD version, const std::string& objectClass = "А1")
{
  Bytes b = AreaBlock(version, objectClass);
  b.append(CrossSection()).append(EmptyResults(version));
  return b;
}

// Loads the whole of `bytes` into `road`; fails the test when anything is left over.
void Load(TestStraightRoad* road, const Bytes& bytes, DWORD version)
{
  LoadingArchive ar(bytes.data());
  road->Serialize(ar.get(), version);
  try {
    BYTE extra = 0;
    *ar.get() >> extra;
    ADD_FAILURE() << "bytes left after the block";
  } catch (CArchiveException* e) {
    e->Delete();
  }
}

// Gives every field with a version gate a value no file would leave behind.
void Disturb(IArea* area)
{
  const int one = 1, seven = 7;
  const double odd = 9.75, origin[3] = {5, 5, 5};
  area->SetGridMode(&seven);
  area->SetLightingOutput(&seven);
  area->SetEconomicOutput(&seven);
  area->SetUnderlayId(&one);
  area->SetCalcAreaId(&seven);
  area->SetGridStep(&odd);
  area->SetBaseHeight(&odd);
  area->SetReportOrigin(origin);
  _DEVCPOSITION* camera = nullptr;
  const DWORD bit = 4;
  area->GetViewCamera(&bit, &camera);
  camera->y = 77.0;
}

class OldFiles : public ::testing::Test {
protected:
  void SetUp() override
  {
    road = NewStraightRoad(&document, 5);
    Disturb(road);
  }
  void TearDown() override
  {
    const int none = 0;
    road->SetUnderlayId(&none);
    road->Release();
  }

  const _DEVCPOSITION& Camera(DWORD bit)
  {
    _DEVCPOSITION* camera = nullptr;
    road->GetViewCamera(&bit, &camera);
    return *camera;
  }

  FakeDocument document;
  TestStraightRoad* road = nullptr;
};

TEST_F(OldFiles, Version4_0_17_0)
{
  Load(road, StraightRoadFile(v4_0_17_0), v4_0_17_0);
  IArea* area = road;
  EXPECT_STREQ(area->GetCaption()->GetString(), "Улица");
  EXPECT_EQ(*area->GetWidth(), 31.5);
  EXPECT_EQ(*area->GetLength(), 200.0);
  EXPECT_EQ(area->IsActive(), 1);
  EXPECT_EQ(*area->GetLightingOutput(), 1);
  EXPECT_EQ(*area->GetEconomicOutput(), 1);
  EXPECT_EQ(*area->GetGridMode(), 0);
  // No cameras in the file: the views are reset, the stored view parameters included.
  EXPECT_EQ(Camera(4).y, 0.0);
  EXPECT_EQ(area->GetViewParam0(), 0.0f);
  EXPECT_EQ(area->GetViewParam2(), -50.0f);
  EXPECT_EQ(area->GetViewParam6(), 0.0f);
  EXPECT_EQ(*area->GetGridStep(), 1.0);
  EXPECT_EQ(*area->GetUnderlayId(), 0);
  EXPECT_EQ(*area->GetCalcAreaId(), 0);
  EXPECT_EQ(*area->GetBaseHeight(), 0.0);
  EXPECT_EQ(area->GetReportOrigin()[0], 0.0);
  EXPECT_EQ(area->GetReportOrigin()[2], 0.0);

  const _STANDARDS_OF_ROAD* norms = area->GetStandards()->GetRecord();
  EXPECT_EQ(norms->normDocumentId, 2);
  EXPECT_STREQ(norms->objectClass, "А1");
  EXPECT_EQ(norms->normsWord, 0x10);
  EXPECT_EQ(norms->normsValue, 0x0102030405060708LL);
  EXPECT_EQ(norms->documentValues[8], 9.0);
  EXPECT_EQ(norms->effectiveValues[0], 11.0);
  EXPECT_EQ(norms->documentValues[9], 10.0);
  EXPECT_EQ(norms->effectiveValues[9], 20.0);
  for (const double* pair : {norms->thresholdIncrement, norms->roadUniformity, norms->sidewalkUniformity,
                             norms->roadMaximum, norms->sidewalkMaximum}) {
    EXPECT_EQ(pair[0], -1.0);
    EXPECT_EQ(pair[1], -1.0);
  }
}

TEST_F(OldFiles, Version4_2_0_0)
{
  Load(road, StraightRoadFile(v4_2_0_0), v4_2_0_0);
  IArea* area = road;
  EXPECT_EQ(*area->GetLightingOutput(), 0);
  EXPECT_EQ(*area->GetEconomicOutput(), 1);
  EXPECT_EQ(*area->GetGridMode(), 3);
  EXPECT_EQ(area->GetViewParam0(), 1.0f);
  EXPECT_EQ(area->GetViewParam7(), 8.0f);
  EXPECT_EQ(Camera(1).x, 100.0);
  EXPECT_EQ(Camera(128).x, 107.0);
  EXPECT_EQ(Camera(4).y, 0.0);
  EXPECT_EQ(*area->GetUnderlayId(), 9);
  EXPECT_EQ(*area->GetGridStep(), 1.0);
  EXPECT_EQ(*area->GetCalcAreaId(), 0);
  EXPECT_EQ(*area->GetBaseHeight(), 0.0);
  EXPECT_EQ(area->GetReportOrigin()[1], 0.0);
  const _STANDARDS_OF_ROAD* norms = area->GetStandards()->GetRecord();
  EXPECT_EQ(norms->thresholdIncrement[0], -1.0);
  EXPECT_EQ(norms->sidewalkUniformity[1], -1.0);
  EXPECT_EQ(norms->roadMaximum[0], -1.0);
  EXPECT_EQ(norms->sidewalkMaximum[1], -1.0);
}

TEST_F(OldFiles, Version5_0_15_0)
{
  Load(road, StraightRoadFile(v5_0_15_0), v5_0_15_0);
  IArea* area = road;
  EXPECT_EQ(*area->GetUnderlayId(), 9);
  EXPECT_EQ(*area->GetGridStep(), 0.5);
  EXPECT_EQ(*area->GetCalcAreaId(), 2);
  EXPECT_EQ(*area->GetBaseHeight(), 7.0);
  EXPECT_EQ(area->GetReportOrigin()[0], 1000.0);
  EXPECT_EQ(area->GetReportOrigin()[2], 3.0);
  const _STANDARDS_OF_ROAD* norms = area->GetStandards()->GetRecord();
  EXPECT_EQ(norms->thresholdIncrement[0], 30.0);
  EXPECT_EQ(norms->sidewalkUniformity[1], 35.0);
  for (const double* pair : {norms->roadMaximum, norms->sidewalkMaximum}) {
    EXPECT_EQ(pair[0], -1.0);
    EXPECT_EQ(pair[1], -1.0);
  }
}

TEST_F(OldFiles, CrossSectionAndRoundTrip)
{
  Load(road, StraightRoadFile(v5_0_15_0), v5_0_15_0);
  const int main = 0;
  EXPECT_EQ(road->road->GetLaneCount(&main), 3u);
  EXPECT_EQ(road->road->IsTwoWay(), 0);
  EXPECT_EQ(road->road->GetSurface(), 1);
  void* out = nullptr;
  EXPECT_EQ(road->pavement->QueryInterface(&IID_LeftPavement, &out), E_NOINTERFACE);
  ASSERT_EQ(road->pavement->QueryInterface(&IID_RightPavement, &out), S_OK);
  auto* right = static_cast<ILineOfRoad*>(out);
  EXPECT_EQ(*right->GetWidth(), 2.5);
  EXPECT_EQ(*right->GetGap(), 1.5);
  right->Release();
  ASSERT_EQ(road->wall->QueryInterface(&IID_LeftWall, &out), S_OK);
  auto* leftWall = static_cast<ILineOfRoad*>(out);
  EXPECT_EQ(*leftWall->GetState(), 0x1000);
  EXPECT_EQ(*leftWall->GetWidth(), 12.0);
  leftWall->Release();
  // Three lanes at the first lane's 3.5, the right sidewalk 2.5 + 1.5, wall gaps 4.0 + 3.0.
  road->road->UpdateAreaWidth();
  EXPECT_DOUBLE_EQ(*road->GetWidth(), 21.5);

  // Stored in the current form and read back, the road is the same.
  StoringArchive store;
  road->Serialize(store.get(), ObjectModel::kCurrentFormatVersion);
  const std::vector<std::uint8_t> written = store.bytes();
  TestStraightRoad* again = NewStraightRoad(&document, 1);
  Bytes bytes;
  bytes.raw(written.data(), written.size());
  Load(again, bytes, ObjectModel::kCurrentFormatVersion);
  EXPECT_STREQ(again->GetCaption()->GetString(), "Улица");
  EXPECT_EQ(*again->GetGridStep(), 0.5);
  EXPECT_EQ(again->GetReportOrigin()[0], 1000.0);
  EXPECT_EQ(again->road->GetLaneCount(&main), 3u);
  EXPECT_EQ(std::memcmp(again->GetStandards()->GetRecord(), road->GetStandards()->GetRecord(),
                        sizeof(_STANDARDS_OF_ROAD)),
            0);
  const int none = 0;
  again->SetUnderlayId(&none);
  again->Release();
}

TEST_F(OldFiles, OverlongObjectClassIsCutToItsField)
{
  const std::string overlong(1100, 'Ж');
  Load(road, StraightRoadFile(v5_0_15_0, overlong), v5_0_15_0);
  const _STANDARDS_OF_ROAD* norms = road->GetStandards()->GetRecord();
  EXPECT_EQ(strnlen(norms->objectClass, sizeof norms->objectClass), 1023u);
  EXPECT_EQ(norms->objectClass[0], 'Ж');
  // The fields after the class are intact.
  EXPECT_EQ(norms->normsWord, 0x10);
}

TEST(TruncatedFile, AreaBlockCutShortIsAnArchiveError)
{
  FakeDocument document;
  TestStraightRoad* road = NewStraightRoad(&document);
  const Bytes whole = StraightRoadFile(v5_0_15_0);
  for (std::size_t cut : {std::size_t{3}, std::size_t{200}, whole.size() - 1}) {
    Bytes part;
    part.raw(whole.data().data(), cut);
    LoadingArchive ar(part.data());
    try {
      road->Serialize(ar.get(), v5_0_15_0);
      ADD_FAILURE() << "no error at " << cut;
    } catch (CArchiveException* e) {
      EXPECT_EQ(e->m_cause, CArchiveException::endOfFile) << cut;
      e->Delete();
    }
  }
  const int none = 0;
  road->SetUnderlayId(&none);
  road->Release();
}

}  // namespace
