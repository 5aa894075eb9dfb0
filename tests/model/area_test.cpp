#include "fake_document.h"
#include "test_road.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class Area : public ::testing::Test {
protected:
  void SetUp() override { road = NewStraightRoad(&document, 3); }
  void TearDown() override
  {
    if (road)
      road->Release();
  }

  IArea* area() { return road; }

  FakeDocument document;
  TestStraightRoad* road = nullptr;
};

TEST_F(Area, CameraPerViewBit)
{
  _DEVCPOSITION* first = nullptr;
  const DWORD bit1 = 1;
  ASSERT_EQ(area()->GetViewCamera(&bit1, &first), 0);
  for (int i = 0; i < 8; ++i) {
    const DWORD bit = 1u << i;
    _DEVCPOSITION* camera = nullptr;
    EXPECT_EQ(area()->GetViewCamera(&bit, &camera), 0) << bit;
    EXPECT_EQ(camera, first + i) << bit;
  }
  for (DWORD bad : {0u, 3u, 256u, 0x80000000u}) {
    _DEVCPOSITION* untouched = first;
    EXPECT_EQ(area()->GetViewCamera(&bad, &untouched), 1) << bad;
    EXPECT_EQ(untouched, first) << bad;
  }
  // The caller edits the camera in place.
  const DWORD bit8 = 8;
  _DEVCPOSITION* camera = nullptr;
  area()->GetViewCamera(&bit8, &camera);
  camera->z = 120.0;
  area()->GetViewCamera(&bit8, &camera);
  EXPECT_EQ(camera->z, 120.0);
}

TEST_F(Area, ViewParameterSevenStaysWithinItsRange)
{
  struct Case {
    float value;
    float stored;
  };
  const Case cases[] = {{75.0f, 60.0f}, {-1.0f, 0.0f}, {std::nanf(""), 0.0f}, {30.0f, 30.0f}, {60.0f, 60.0f}};
  for (const Case& c : cases) {
    EXPECT_EQ(area()->SetViewParam7(c.value), 0);
    EXPECT_EQ(area()->GetViewParam7(), c.stored) << c.value;
  }
  area()->SetViewParam6(99.0f);
  EXPECT_EQ(area()->GetViewParam6(), 99.0f);
}

TEST_F(Area, NewAreaAndItsCaption)
{
  EXPECT_STREQ(area()->GetCaption()->GetString(), "Прямая дорога");
  EXPECT_EQ(*area()->GetWidth(), 50.0);
  EXPECT_EQ(*area()->GetGridStep(), 1.0);
  EXPECT_EQ(*area()->GetLightingOutput(), 1);
  EXPECT_EQ(*area()->GetEconomicOutput(), 1);
  EXPECT_EQ(area()->GetViewParam1(), -10.0f);
  EXPECT_EQ(area()->GetViewParam2(), -50.0f);
  EXPECT_EQ(area()->GetStandards()->GetRecord()->normDocumentId, 0);
  EXPECT_EQ(area()->FormatCaption(), 0);
  EXPECT_STREQ(area()->GetCaption()->GetString(), "Объект - 3 [Прямая дорога]");
}

TEST_F(Area, SetDefaultsKeepsCaptionActiveFlagAndCameras)
{
  const CString caption("Мост");
  const int on = 1, form = 7, mode = 2, underlay = 12, calcArea = 4;
  const double width = 12.0, step = 0.5, base = 3.0, origin[3] = {1, 2, 3};
  const DWORD bit = 2;
  _DEVCPOSITION* camera = nullptr;
  area()->SetCaption(&caption);
  area()->SetActive(&on);
  area()->GetViewCamera(&bit, &camera);
  camera->x = 5.0;
  area()->SetViewParam3(4.0f);
  area()->SetWidth(&width);
  area()->SetTypicalForm(&form);
  area()->SetGridMode(&mode);
  area()->SetGridStep(&step);
  area()->SetUnderlayId(&underlay);
  area()->SetCalcAreaId(&calcArea);
  area()->SetBaseHeight(&base);
  area()->SetReportOrigin(origin);
  area()->GetStandards()->GetRecord()->normDocumentId = 5;

  road->SetDefaults();
  EXPECT_STREQ(area()->GetCaption()->GetString(), "Мост");
  EXPECT_EQ(area()->IsActive(), 1);
  EXPECT_EQ(camera->x, 5.0);
  EXPECT_EQ(area()->GetViewParam3(), 4.0f);
  EXPECT_EQ(*area()->GetWidth(), 50.0);
  EXPECT_EQ(*area()->GetTypicalForm(), 0);
  EXPECT_EQ(*area()->GetGridMode(), 0);
  EXPECT_EQ(*area()->GetGridStep(), 1.0);
  EXPECT_EQ(*area()->GetUnderlayId(), 0);
  EXPECT_EQ(*area()->GetCalcAreaId(), 0);
  EXPECT_EQ(*area()->GetBaseHeight(), 0.0);
  EXPECT_EQ(area()->GetReportOrigin()[2], 0.0);
  EXPECT_EQ(area()->GetReportOrigin(), area()->GetReportOriginX());
  EXPECT_EQ(area()->GetStandards()->GetRecord()->normDocumentId, 0);

  area()->ResetViews();
  EXPECT_EQ(camera->x, 0.0);
  EXPECT_EQ(area()->GetViewParam3(), 0.0f);
  EXPECT_EQ(area()->GetViewParam2(), -50.0f);
}

TEST_F(Area, CopyToADuplicateLeavesItWithoutACalculationArea)
{
  TestStraightRoad* copy = NewStraightRoad(&document, 9);
  const int calcArea = 6, on = 1, underlay = 0x1001;
  const double length = 120.0;
  const DWORD bit = 64;
  _DEVCPOSITION* camera = nullptr;
  area()->SetCalcAreaId(&calcArea);
  area()->SetActive(&on);
  area()->SetLength(&length);
  area()->SetUnderlayId(&underlay);
  area()->GetViewCamera(&bit, &camera);
  camera->angle2 = 180.0;
  _STANDARDS_OF_ROAD* norms = area()->GetStandards()->GetRecord();
  norms->ownerWindow = 0xABCD;
  std::strcpy(norms->objectClass, "А1");
  norms->effectiveValues[3] = -1.0;

  for (DWORD flags : {0u, ObjectModel::kCopyKeepIdentity}) {
    EXPECT_EQ(road->CopyTo(copy, flags), 0);
    IArea* to = copy;
    EXPECT_EQ(*to->GetCalcAreaId(), flags ? 0 : 6) << flags;
    EXPECT_EQ(to->IsActive(), 1);
    EXPECT_EQ(*to->GetLength(), 120.0);
    _DEVCPOSITION* copied = nullptr;
    to->GetViewCamera(&bit, &copied);
    EXPECT_EQ(copied->angle2, 180.0);
    EXPECT_EQ(std::memcmp(to->GetStandards()->GetRecord(), norms, sizeof(_STANDARDS_OF_ROAD)), 0);
  }
  const int none = 0;
  area()->SetUnderlayId(&none);  // the copy alone gives the underlay back
  copy->Release();
  EXPECT_EQ(document.releasedUnderlays, (std::vector<int>{0x1001}));
}

TEST_F(Area, DestructionGivesTheUnderlayBack)
{
  const int underlay = 7;
  area()->SetUnderlayId(&underlay);
  road->Release();
  road = nullptr;
  EXPECT_EQ(document.releasedUnderlays, (std::vector<int>{7}));
}

TEST_F(Area, AnswersItsInterfacesAndParts)
{
  void* out = nullptr;
  EXPECT_EQ(area()->QueryInterface(&IID_IArea, &out), S_OK);
  EXPECT_EQ(out, static_cast<IArea*>(road));
  static_cast<IArea*>(out)->Release();
  for (const IID* iid : {&IID_ICustomizeRoad, &IID_IPrimitive, &IID_IProject}) {
    EXPECT_EQ(area()->QueryInterface(iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  // From the area to the carriageway to its lane count: 2 main lanes.
  ASSERT_EQ(area()->QueryInterface(&IID_IRoad, &out), S_OK);
  auto* r = static_cast<IRoad*>(out);
  const int main = 0;
  EXPECT_EQ(r->GetLaneCount(&main), 2u);
  r->Release();
  EXPECT_EQ(area()->HitTest(0, 0, 0, nullptr), 0);
  EXPECT_EQ(area()->GetCursorFor(0, nullptr, nullptr), 1);
}

}  // namespace
