#include "archive_bytes.h"
#include "fake_document.h"
#include "test_road.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using ObjectModel::CRoad;

// The lane list as text: '0' and '2' lanes of either direction, 'd' a dividing strip that is off, 'D' one on.
std::string Layout(IRoad* road)
{
  std::string text;
  void* out = nullptr;
  if (FAILED(road->QueryInterface(&IID_ILineOfRoad, &out)))
    return text;
  auto* first = static_cast<ILineOfRoad*>(out);
  for (ILineOfRoad* lane = first; lane; lane = lane->GetNext()) {
    const int type = *lane->GetType();
    text += type == kLaneDivider ? (*lane->GetState() ? 'D' : 'd') : static_cast<char>('0' + type);
  }
  first->Release();
  return text;
}

std::vector<double> Widths(IRoad* road)
{
  std::vector<double> widths;
  void* out = nullptr;
  if (FAILED(road->QueryInterface(&IID_ILineOfRoad, &out)))
    return widths;
  auto* first = static_cast<ILineOfRoad*>(out);
  for (ILineOfRoad* lane = first; lane; lane = lane->GetNext())
    widths.push_back(*lane->GetWidth());
  first->Release();
  return widths;
}

ILineOfRoad* LaneAt(IRoad* road, int index)
{
  void* out = nullptr;
  road->QueryInterface(&IID_ILineOfRoad, &out);
  auto* first = static_cast<ILineOfRoad*>(out);
  ILineOfRoad* lane = first;
  for (int i = 0; lane && i < index; ++i)
    lane = lane->GetNext();
  first->Release();
  return lane;
}

int TwoWay(IRoad* r, int on) { return r->SetTwoWay(&on); }
int Count(IRoad* r, int type, UINT n) { return r->SetLaneCount(&type, &n); }
int Width(IRoad* r, int type, double w) { return r->SetLaneWidth(&type, &w); }

class Carriageway : public ::testing::Test {
protected:
  void SetUp() override { road = NewStraightRoad(&document); }
  void TearDown() override { road->Release(); }

  FakeDocument document;
  TestStraightRoad* road = nullptr;
};

TEST_F(Carriageway, OperationsKeepTheLaneOrder)
{
  struct Case {
    const char* what;
    std::function<int(IRoad*)> operation;
    int result;
    const char* layout;
  };
  const Case cases[] = {
      {"new road", [](IRoad*) { return 0; }, 0, "00d22"},
      {"one-way", [](IRoad* r) { return TwoWay(r, 0); }, 0, "00"},
      {"one-way, then two-way again", [](IRoad* r) { return TwoWay(r, 0) | TwoWay(r, 1); }, 0, "00d22"},
      {"two-way on a two-way road", [](IRoad* r) { return TwoWay(r, 1); }, 1, "00d22"},
      {"one-way on a one-way road", [](IRoad* r) { return TwoWay(r, 0) == 0 ? TwoWay(r, 0) : -1; }, 1, "00"},
      {"three main lanes go before the divider", [](IRoad* r) { return Count(r, 0, 3); }, 0, "000d22"},
      {"one opposite lane", [](IRoad* r) { return Count(r, 2, 1); }, 0, "00d2"},
      {"same count", [](IRoad* r) { return Count(r, 2, 2); }, 0, "00d22"},
      {"divider count refused", [](IRoad* r) { return Count(r, 1, 2); }, 1, "00d22"},
      {"zero lanes refused", [](IRoad* r) { return Count(r, 0, 0); }, 1, "00d22"},
      {"unknown lane type refused", [](IRoad* r) { return Count(r, 5, 1); }, 1, "00d22"},
      {"opposite lanes of a one-way road refused",
       [](IRoad* r) { return TwoWay(r, 0) == 0 ? Count(r, 2, 2) : -1; }, 1, "00"},
      {"divider switched on",
       [](IRoad* r) {
         const int on = 1;
         return r->SetDividerOn(&on);
       },
       0, "00D22"},
      {"divider of a one-way road",
       [](IRoad* r) {
         const int on = 1;
         return TwoWay(r, 0) == 0 ? r->SetDividerOn(&on) : -1;
       },
       1, "00"},
  };
  for (const Case& c : cases) {
    IRoad* r = nullptr;
    ASSERT_EQ((new CRoad(nullptr))->QueryInterface(&IID_IRoad, reinterpret_cast<void**>(&r)), S_OK);
    EXPECT_EQ(c.operation(r), c.result) << c.what;
    EXPECT_EQ(Layout(r), c.layout) << c.what;
    r->Release();
  }
}

TEST_F(Carriageway, NewRoadCountsAndWidths)
{
  IRoad* r = road->road;
  const int main = 0, divider = 1, opposite = 2;
  EXPECT_EQ(r->GetLaneCount(&main), 2u);
  EXPECT_EQ(r->GetLaneCount(&divider), 1u);
  EXPECT_EQ(r->GetLaneCount(&opposite), 2u);
  EXPECT_EQ(r->HasDivider(), 0);
  EXPECT_EQ(r->IsTwoWay(), 1);
  EXPECT_EQ(r->GetLaneWidth(&divider), 1.0);
  EXPECT_EQ(r->GetLaneWidth(&main), 3.75);
  EXPECT_EQ(*r->GetState(), 5);
  EXPECT_STREQ(r->GetName()->GetString(), "Проезжая часть");
  EXPECT_EQ(r->GetOppositeState(), 0);
  TwoWay(r, 0);
  EXPECT_EQ(r->GetOppositeState(), 1);  // a one-way road has nothing opposite to switch off
}

TEST_F(Carriageway, OppositeDirectionMirrorsTheMainOne)
{
  IRoad* r = road->road;
  TwoWay(r, 0);
  Count(r, 0, 3);
  const double widths[] = {3.0, 3.25, 3.5};
  for (int i = 0; i < 3; ++i)
    LaneAt(r, i)->SetWidth(&widths[i]);
  EXPECT_EQ(TwoWay(r, 1), 0);
  EXPECT_EQ(Layout(r), "000d222");
  EXPECT_EQ(Widths(r), (std::vector<double>{3.0, 3.25, 3.5, 1.0, 3.5, 3.25, 3.0}));
}

TEST_F(Carriageway, WidthsAndParapet)
{
  IRoad* r = road->road;
  EXPECT_EQ(Width(r, 0, 0.0), 1);
  EXPECT_EQ(Width(r, 0, -2.0), 1);
  EXPECT_EQ(Width(r, 0, 3.5), 0);
  EXPECT_EQ(Widths(r), (std::vector<double>{3.5, 3.5, 1.0, 3.75, 3.75}));

  // The parapet belongs to a dividing strip that is on and carries one.
  ILineOfRoad* lane = LaneAt(r, 0);
  ILineOfRoad* divider = LaneAt(r, 2);
  const double parapetWidth = 2.5;
  EXPECT_EQ(lane->SetParapetWidth(&parapetWidth), 1);
  EXPECT_EQ(divider->SetParapetWidth(&parapetWidth), 1);
  EXPECT_EQ(divider->GetParapetHeight(), 0.0);
  EXPECT_EQ(r->SetParapetWidth(&parapetWidth), 1);  // divider off: no such strip
  const int on = 1;
  r->SetDividerOn(&on);
  EXPECT_EQ(r->SetParapetWidth(&parapetWidth), 0);  // passed on, refused by the strip without parapet
  EXPECT_EQ(r->GetParapetWidth(), 0.0);
  EXPECT_EQ(r->SetParapetOn(&on), 0);
  EXPECT_EQ(r->HasParapet(), 1);
  EXPECT_EQ(r->SetParapetWidth(&parapetWidth), 0);
  EXPECT_EQ(r->GetParapetWidth(), 2.5);
  EXPECT_EQ(r->GetParapetHeight(), 1.0);
}

TEST_F(Carriageway, AreaWidthFollowsTheCrossSection)
{
  IRoad* r = road->road;
  struct Case {
    const char* what;
    std::function<void()> change;
    double width;
  };
  const Case cases[] = {
      {"new straight road", [] {}, 23.0},
      {"divider on",
       [r] {
         const int on = 1;
         r->SetDividerOn(&on);
       },
       24.0},
      {"walls present", [this] {
         const int flags = 0x3001;
         road->wall->SetFlags(&flags);
       },
       25.0},
      {"no sidewalks", [this] {
         const int flags = 0x303;
         road->pavement->SetFlags(&flags);
       },
       15.0},
      {"one-way", [r] { TwoWay(r, 0); }, 15.5},
      {"left sidewalk removed", [this] { road->pavement->RemoveLeft(); }, 19.0},
  };
  for (const Case& c : cases) {
    road->SetDefaults();
    c.change();
    EXPECT_EQ(r->UpdateAreaWidth(), 0);
    EXPECT_DOUBLE_EQ(*road->GetWidth(), c.width) << c.what;
  }
}

TEST_F(Carriageway, ClearSelectionReachesEveryLane)
{
  IRoad* r = road->road;
  void* out = nullptr;
  LaneAt(r, 4)->QueryInterface(&IID_IClassObjModel, &out);
  auto* lastLane = static_cast<IClassObjModel*>(out);
  lastLane->SetSelected(1);
  r->ClearSelection();
  EXPECT_EQ(lastLane->IsSelected(), 0);
  lastLane->Release();
}

TEST_F(Carriageway, CopyGivesTheDestinationItsOwnLanes)
{
  TestStraightRoad* other = NewStraightRoad(&document, 2);
  IRoad* source = road->road;
  TwoWay(source, 0);
  Count(source, 0, 4);
  void* srcObject = nullptr;
  void* dstObject = nullptr;
  source->QueryInterface(&IID_IClassObjModel, &srcObject);
  other->road->QueryInterface(&IID_IClassObjModel, &dstObject);
  auto* src = static_cast<IClassObjModel*>(srcObject);
  auto* dst = static_cast<IClassObjModel*>(dstObject);
  EXPECT_EQ(src->CopyTo(dst, 0), 0);
  EXPECT_EQ(Layout(other->road), "0000");
  EXPECT_NE(LaneAt(other->road, 0), LaneAt(source, 0));

  CGuid sourceLaneId, copyLaneId;
  auto laneObject = [](ILineOfRoad* lane) {
    void* p = nullptr;
    lane->QueryInterface(&IID_IClassObjModel, &p);
    static_cast<IClassObjModel*>(p)->Release();
    return static_cast<IClassObjModel*>(p);
  };
  laneObject(LaneAt(source, 1))->GetObjectId(&sourceLaneId);
  laneObject(LaneAt(other->road, 1))->GetObjectId(&copyLaneId);
  EXPECT_TRUE(copyLaneId.IsEqual(&sourceLaneId.Value()));
  EXPECT_EQ(src->CopyTo(dst, ObjectModel::kCopyKeepIdentity), 0);
  laneObject(LaneAt(other->road, 1))->GetObjectId(&copyLaneId);
  EXPECT_TRUE(copyLaneId.IsNotEqual(&sourceLaneId.Value()));

  src->Release();
  dst->Release();
  other->Release();
}

TEST(CarriagewayBlock, NoLanesLoadsToAnEmptyCarriageway)
{
  Bytes block;
  block.i32(1).str("Дорога").i32(1).i32(0).i32(0);
  LoadingArchive ar(block.data());
  auto* road = new CRoad(nullptr);
  void* out = nullptr;
  road->QueryInterface(&IID_IRoad, &out);
  auto* r = static_cast<IRoad*>(out);
  road->Serialize(ar.get(), ObjectModel::kCurrentFormatVersion);
  EXPECT_EQ(Layout(r), "");
  EXPECT_EQ(r->QueryInterface(&IID_ILineOfRoad, &out), E_NOINTERFACE);
  EXPECT_STREQ(r->GetName()->GetString(), "Дорога");
  EXPECT_EQ(r->GetSurface(), 1);
  const int on = 1;
  EXPECT_EQ(r->SetTwoWay(&on), 1);
  r->Release();
}

TEST(CarriagewayBlock, HugeLaneCountIsAnArchiveError)
{
  Bytes block;
  block.i32(1).str("").i32(0).i32(0).i32(0x7FFFFFFF);
  block.i32(0).i32(1).f64(3.75).i32(0).f64(1.0).f64(1.0).f64(0.0);
  LoadingArchive ar(block.data());
  auto* road = new CRoad(nullptr);
  void* out = nullptr;
  road->QueryInterface(&IID_IRoad, &out);
  auto* r = static_cast<IRoad*>(out);
  try {
    road->Serialize(ar.get(), ObjectModel::kCurrentFormatVersion);
    ADD_FAILURE() << "no error";
  } catch (CArchiveException* e) {
    EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
    e->Delete();
  }
  r->Release();
}

}  // namespace
