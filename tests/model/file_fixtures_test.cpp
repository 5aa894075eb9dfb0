// Straight-road blocks of older project files, written by hand from the field lists of each block.
#include "archive_bytes.h"
#include "fake_document.h"
#include "fake_servers.h"
#include "model/graphics_services.h"
#include "model/group_of_dev.h"
#include "model/groups_of_dev.h"
#include "model/igroups.h"
#include "model/iproject.h"
#include "model/project.h"
#include "model/lamp_post.h"
#include "model/straight_road.h"
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

// The pole groups of a straight road from 4.0.13.1 to 4.0.17.0: one group with one pole on a one-arm bracket; no prices, no
// economic block, no group number.
Bytes GroupsBlock(DWORD version)
{
  Bytes b;
  b.str("Группы ОП").f64(1.4).i32(1);
  b.u32(0xA1B2C3D4u).u16(5).u16(6).zeros(8);
  b.i32(5).str("Группа").i32(3).f64(35.0).f64(2.5);  // state, name, arrangement, step, offset
  b.i32(0).i32(0);                                    // mounting kind, placement (4.0.4.0)
  b.f64s({0, 0, 0, 30.0});                            // base point, angular step (4.0.9.0)
  b.i32(1);                                           // one pole
  b.f64s({11.0, 1.5, 0.8, 10.0, 0.0}).i32(0);         // h, a, b, tilt, psi; user values
  b.f64s({0, -1.0, 0}).i32(17);                       // position, coordinate flags
  b.f64(0).f64s({5, 5, 0}).i32(35);                   // luminaire turn, aim point, aim flags
  b.f64(45).f64(0).i32(0);                            // aim tilt, aim turn, mount side
  b.str("ОТ").str("Опора").str("ОТ").f64(9.0);        // pole record
  b.i32(1).i32(0);                                    // one bracket, the first current
  b.str("К").str("К").str("Кронштейн").f64s({1.5, 1.5, 15.0});
  b.str("").str("ЖКУ").str("").str("").str("ДНаТ").f64(150).f64(15000).u32(0x10020100u);  // luminaire
  b.i32(1).i32(1).i32(0).i32(0);                      // catalogue flag, lamp count, empty table
  if (AtLeast(version, 4, 0, 16, 0))
    b.i32(0);                                         // option
  return b;
}

// Where each view's camera is fitted: its view bit along x.
class FittingGraphics : public Graphics::CModelGraphics {
public:
  FittingGraphics() { Graphics::SetModelGraphics(this); }
  ~FittingGraphics() override { Graphics::SetModelGraphics(nullptr); }
  void FitCameraToArea(double position[3], IArea* area, DWORD viewBit, int* straightRoad, void*,
                       CGraphicCore*) override
  {
    position[0] = viewBit;
    position[1] = *area->GetWidth();
    position[2] = 50.0;
    *straightRoad = 1;
  }
};

TEST(OldStraightRoad, Version4_0_17_0GetsItsCamerasFromThePresetsAndFits)
{
  FittingGraphics graphics;
  FakeDocument document;
  auto* road = new ObjectModel::CStraightRoad(&document, nullptr, 1);
  road->AddRef();
  Bytes bytes = AreaBlock(v4_0_17_0);
  bytes.append(CrossSection()).append(GroupsBlock(v4_0_17_0)).append(EmptyResults(v4_0_17_0));
  LoadingArchive ar(bytes.data());
  road->Serialize(ar.get(), v4_0_17_0);
  BYTE extra = 0;
  EXPECT_NE(ArchiveErrorOf([&] { *ar.get() >> extra; }), -1) << "bytes left after the block";

  struct Expected {
    DWORD bit;
    double angle1, angle2, angle3;
  };
  const Expected cameras[] = {{1, 7, 90, 0},  {2, 90, 0, 0},  {4, 0, 90, 0},  {8, 0, 0, 0},
                              {16, 0, 180, 0}, {32, 0, 0, 0}, {64, 0, 0, 0}, {128, 0, 180, 0}};
  for (const Expected& e : cameras) {
    _DEVCPOSITION* camera = nullptr;
    ASSERT_EQ(road->GetViewCamera(&e.bit, &camera), 0);
    EXPECT_EQ(camera->x, e.bit);
    EXPECT_EQ(camera->y, 31.5);
    EXPECT_EQ(camera->z, 50.0);
    EXPECT_EQ(camera->angle1, e.angle1) << e.bit;
    EXPECT_EQ(camera->angle2, e.angle2) << e.bit;
    EXPECT_EQ(camera->angle3, e.angle3) << e.bit;
  }

  IGroupsOfDev* groups = nullptr;
  ASSERT_EQ(road->QueryInterface(&IID_IGroupsOfDev, reinterpret_cast<void**>(&groups)), S_OK);
  EXPECT_EQ(*groups->GetMaintenanceFactor(), 1.4);
  IGroupOfDev* group = static_cast<ObjectModel::CGroupsOfDev*>(groups)->GetFirstGroup();
  EXPECT_EQ(*group->GetNumber(), 1);
  EXPECT_EQ(*group->GetStep(), 35.0);
  EXPECT_STREQ(group->GetLightDevice()->luminaireName, "ЖКУ");
  EXPECT_EQ(group->GetLightDevice()->luminaireLife, 0);
  IPole* pole = static_cast<ObjectModel::CGroupOfDev*>(group)->GetFirstPole();
  EXPECT_EQ(pole->GetHeight(0), 11.0);
  EXPECT_EQ(pole->GetPolePrice(), 0.0);
  EXPECT_EQ(pole->GetLampPost()->GetCurrentBracket()->arms[0].tilt, 15.0);
  void* other = nullptr;
  EXPECT_EQ(road->QueryInterface(&IID_ICustomizeRoad, &other), E_NOINTERFACE);
  EXPECT_EQ(road->QueryInterface(&IID_IPrimitive, &other), E_NOINTERFACE);
  groups->Release();
  road->Release();
}

// A project block of three straight roads, before and from the version that stores the area counter.
TEST(OldProject, TheAreaCounterIsStoredFrom4_0_15_0)
{
  for (const DWORD version : {MakeFormatVersion(4, 0, 14, 0), MakeFormatVersion(4, 0, 15, 0)}) {
    Bytes b;
    b.str("Объект").str("Улица").str("17").i32(0).f64(40000.5).str("Иванов").str("Бюро").str("Город");
    b.i32(3);
    for (int i = 0; i < 3; ++i) {
      b.u32(0xA354AAA1u).u16(0x5DAF).u16(0x436A).raw("\x97\x13\x69\xBB\x09\x0E\x95\x71", 8);
      b.append(AreaBlock(version)).append(CrossSection()).append(GroupsBlock(version)).append(EmptyResults(version));
    }
    if (AtLeast(version, 4, 0, 15, 0))
      b.i32(9);
    ServerDocument document;
    document.whole["13:ОТ-8,5"] = 1500000;
    IProject* project = nullptr;
    ASSERT_EQ(CreateProject(&document, &project), S_OK);
    const int hours = 4000;
    project->SetHoursOfUse(&hours);
    auto* object = dynamic_cast<ObjectModel::CProject*>(project);
    LoadingArchive ar(b.data());
    object->Serialize(ar.get(), version);
    EXPECT_EQ(object->GetAreaCounter(), AtLeast(version, 4, 0, 15, 0) ? 9 : 3);
    EXPECT_EQ(*project->GetHoursOfUse(), 4000);  // the economics came after 4.0.17.0
    EXPECT_STREQ(*project->GetCustomer(), "Город");
    EXPECT_EQ(static_cast<DATE>(*project->GetDate()), 40000.5);
    int areas = 0;
    for (IArea* area = object->GetFirstArea(); area; area = area->GetNext(), ++areas) {
      EXPECT_STREQ(*area->GetCaption(), "Улица");
      // Files before the economics hold no prices: the pole keeps those its defaults asked for.
      void* groups = nullptr;
      ASSERT_EQ(area->QueryInterface(&IID_IGroupsOfDev, &groups), S_OK);
      auto* container = static_cast<ObjectModel::CGroupsOfDev*>(static_cast<IGroupsOfDev*>(groups));
      auto* group = static_cast<ObjectModel::CGroupOfDev*>(container->GetFirstGroup());
      EXPECT_EQ(group->GetFirstPole()->GetPolePrice(), 15000.0);
      container->Release();
    }
    EXPECT_EQ(areas, 3);
    project->Release();
  }
}

}  // namespace
