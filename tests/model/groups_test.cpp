#include "archive_bytes.h"
#include "fake_servers.h"
#include "model/group_of_dev.h"
#include "model/groups_of_dev.h"
#include "model/identifiers.h"
#include "model/pole.h"
#include "model/straight_road.h"
#include "model/version.h"
#include "platform/com/comerror.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace ObjectModel;

// A straight road with its one reference, released at the end of the test.
struct RoadHolder {
  explicit RoadHolder(IQorRoadDoc* doc) : road(new CStraightRoad(doc, nullptr, 1))
  {
    road->AddRef();
    road->QueryInterface(&IID_IGroupsOfDev, reinterpret_cast<void**>(&groups));
  }
  ~RoadHolder()
  {
    groups->Release();
    road->Release();
  }
  IGroupOfDev* First() const { return static_cast<CGroupsOfDev*>(groups)->GetFirstGroup(); }
  CStraightRoad* road;
  IGroupsOfDev* groups = nullptr;
};

IClassObjModel* ObjectOf(IModelUnknown* iface)
{
  void* out = nullptr;
  iface->QueryInterface(&IID_IClassObjModel, &out);
  auto* object = static_cast<IClassObjModel*>(out);
  object->Release();
  return object;
}

void SetNumbers(IGroupsOfDev* groups, const std::vector<int>& numbers)
{
  auto* container = static_cast<CGroupsOfDev*>(groups);
  IGroupOfDev* g = container->GetFirstGroup();
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (!g) {
      g = groups->CreateGroup();
      container->AppendGroup(g);
    }
    g->SetNumber(&numbers[i]);
    g = g->GetNext();
  }
}

TEST(GroupsOfDev, TheFirstGroupOfAStraightRoadIsItsMainGroup)
{
  FakeDocument doc;
  RoadHolder road(&doc);
  IGroupOfDev* first = road.First();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(*first->GetNumber(), 1);
  EXPECT_STREQ(*first->GetName(), "Группа (основная)");
  EXPECT_EQ(first->GetPoleCount(), 1);
  EXPECT_EQ(*road.groups->GetMaintenanceFactor(), 1.5);
  EXPECT_STREQ(*road.groups->GetName(), "Группы ОП");

  IGroupOfDev* made = road.groups->CreateGroup();
  EXPECT_EQ(*made->GetNumber(), 2);
  EXPECT_STREQ(*made->GetName(), "Группа");
  made->Release();
}

TEST(GroupsOfDev, NextGroupNumber)
{
  struct Case {
    std::vector<int> numbers;
    int lowestFree;
    int afterHighest;
  };
  const Case cases[] = {{{1, 2, 4}, 3, 5}, {{1, 2, 3}, 4, 4}, {{2, 3}, 1, 4}, {{7}, 1, 8}};
  for (const Case& c : cases) {
    FakeDocument doc;
    RoadHolder road(&doc);
    SetNumbers(road.groups, c.numbers);
    const int mode = 1;
    EXPECT_EQ(road.groups->NextGroupNumber(&mode), c.lowestFree) << c.numbers.size();
    EXPECT_EQ(road.groups->NextGroupNumber(nullptr), c.afterHighest) << c.numbers.size();
  }
  FakeDocument doc;
  RoadHolder road(&doc);
  IClassObjModel* untouched = reinterpret_cast<IClassObjModel*>(0x1);
  EXPECT_EQ(road.groups->FindGroupByNumber(9, &untouched), 1);
  EXPECT_EQ(untouched, reinterpret_cast<IClassObjModel*>(0x1));
  IClassObjModel* found = nullptr;
  EXPECT_EQ(road.groups->FindGroupByNumber(1, &found), 0);
  EXPECT_EQ(found, ObjectOf(road.First()));
  found->Release();
}

TEST(GroupOfDev, PoleCountCopiesTheFirstPoleAsUserValues)
{
  ServerDocument doc;
  RoadHolder road(&doc);
  IGroupOfDev* g = road.First();
  IPole* first = static_cast<CGroupOfDev*>(g)->GetFirstPole();
  ASSERT_EQ(*first->GetTypical(), 1);
  const double rotation = 12.0;
  first->SetRotation(&rotation);
  const int two = 2;
  g->SetPoleCount(&two);
  const int five = 5;
  g->SetPoleCount(&five);
  EXPECT_EQ(g->GetPoleCount(), 5);
  int index = 0;
  for (IPole* p = first; p; p = p->GetNext(), ++index) {
    if (index == 0)
      continue;
    EXPECT_EQ(*p->GetTypical(), 0) << index;
    EXPECT_NEAR(p->GetHeight(0), 10.578, 0.0005) << index;
    EXPECT_NEAR(p->GetOutreach(0), 2.290, 0.0005) << index;
    EXPECT_EQ(p->GetTilt(0), 15.0) << index;
    EXPECT_EQ(*p->GetRotation(), 12.0) << index;
    EXPECT_EQ(*p->GetCoordFlags() & 0x2, 0x2) << index;
  }
  EXPECT_EQ(index, 5);

  const int zero = 0;
  g->SetPoleCount(&zero);
  EXPECT_EQ(g->GetPoleCount(), 0);
  void* last = nullptr;
  EXPECT_EQ(g->QueryInterface(&IID_LastPole, &last), E_NOINTERFACE);
  EXPECT_EQ(g->GetLuminaireCount(), 0);
}

TEST(GroupOfDev, LuminairesPerPoleFollowTheArmsOfTheBracket)
{
  ServerDocument doc;
  RoadHolder road(&doc);
  IGroupOfDev* g = road.First();
  IPole* first = static_cast<CGroupOfDev*>(g)->GetFirstPole();
  first->GetLampPost()->GetCurrentBracket()->arms.Add(LAMP_CONSOLE_INFO{2, 2, 15, 180, 0, 0, 0});
  // Set the count while the template is typical, then make them all typical again.
  const int four = 4;
  g->SetPoleCount(&four);
  EXPECT_EQ(g->GetLuminaireCount(), 8);
  const int user = 0;
  first->SetTypical(&user);
  EXPECT_EQ(g->GetLuminaireCount(), 4);

  const int seven = 7;
  g->SetRoadScheme(&seven);
  EXPECT_EQ(*g->GetRoadScheme(), 7);
  EXPECT_EQ(g->GetPoleCount(), 4);
}

TEST(GroupOfDev, PlacementInLineAndOnACircle)
{
  FakeDocument doc;
  RoadHolder road(&doc);
  IGroupOfDev* g = road.First();
  IPole* first = static_cast<CGroupOfDev*>(g)->GetFirstPole();
  const double at[3] = {12, 5, 0};
  first->SetPosition(at);
  const int circle = 2;
  g->SetPlacementScheme(&circle);
  EXPECT_EQ(g->GetBasePoint()[0], 2.0);
  EXPECT_EQ(g->GetBasePoint()[1], 5.0);
  ASSERT_EQ(g->GetPoleCount(), 2);
  const double* second = first->GetNext()->GetPosition();
  EXPECT_NEAR(second[0], 2.0 + 10.0 * std::cos(M_PI / 6), 1e-9);
  EXPECT_NEAR(second[1], 5.0 + 10.0 * std::sin(M_PI / 6), 1e-9);

  const int line = 1;
  const int none = 0;
  g->SetPoleCount(&none);
  g->SetPlacementScheme(&line);
  ASSERT_EQ(g->GetPoleCount(), 2);
  first = static_cast<CGroupOfDev*>(g)->GetFirstPole();
  EXPECT_EQ(first->GetPosition()[0], 0.0);
  EXPECT_EQ(first->GetNext()->GetPosition()[0], 10.0);
  const int three = 3;
  g->SetPoleCount(&three);
  g->PlacePoles(4);
  EXPECT_EQ(first->GetNext()->GetNext()->GetPosition()[0], 20.0);
}

TEST(GroupsOfDev, HandleCodesUnderThePoint)
{
  FakeDocument doc;  // marker size 0.1
  RoadHolder road(&doc);
  IGroupOfDev* g = road.First();
  const int line = 1;
  g->SetPlacementScheme(&line);  // poles at (0, 0) and (10, 0)
  const int typical = 1;
  IPole* first = static_cast<CGroupOfDev*>(g)->GetFirstPole();
  first->SetTypical(&typical);
  first->GetLampPost()->AddBracket("K");  // a typical pole needs a bracket to have a light centre
  struct Case {
    double x;
    double y;
    int code;
  };
  const double phi = first->GetAbsoluteRotation() * M_PI / 180;  // 90: across the line
  const double a = first->GetOutreach(0);
  const Case cases[] = {
      {0.05, -0.05, 100},                                          // the first pole
      {10.0, 0.08, 906},                                           // the second pole
      {12.0, 0.0, 907},                                            // beyond the second pole along the line
      {a * std::cos(phi), a * std::sin(phi), -1},                  // light centre of a typical pole on a pole
      {(a + 2) * std::cos(phi), (a + 2) * std::sin(phi), 900},     // the turn handle
      {5.0, 5.0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(road.groups->HitTestGroup(c.x, c.y, 0, g), c.code) << c.x << ", " << c.y;
    IClassObjModel* hit = nullptr;
    EXPECT_EQ(road.groups->HitTest(c.x, c.y, 0x4, &hit), c.code);
    EXPECT_EQ(hit, c.code == -1 ? nullptr : ObjectOf(g));
  }
  EXPECT_EQ(road.groups->HitTest(0, 0, 0, nullptr), -1);  // without 0x4 nothing is tested

  const int none = 0;
  g->SetPoleCount(&none);
  EXPECT_EQ(road.groups->HitTestGroup(0, 0, 0, g), -1);
}

TEST(GroupOfDev, LuminaireFromTheDatabaseWithItsPrices)
{
  ServerDocument doc;
  doc.luminaire.luminaireName = "ЖКУ";
  doc.luminaire.textB = "1/5";
  doc.luminaire.lampType = "ДНаТ";
  doc.luminaire.lampPower = 150;
  doc.luminaire.databaseWord1 = 5;
  doc.whole["12:ЖКУ"] = 350000;
  doc.whole["60:ЖКУ"] = 0;  // answered, but 0: the life stays
  doc.whole["64:ДНаТ@150"] = 29;
  doc.real["70:ДНаТ@150"] = 0.0;  // a factor of 0 is not taken
  RoadHolder road(&doc);
  IGroupOfDev* g = road.First();
  EXPECT_GT(doc.selectDefaultCalls, 0);
  const CLightDevice* d = g->GetLightDevice();
  EXPECT_STREQ(d->luminaireName, "ЖКУ");
  EXPECT_EQ(d->luminairePrice, 350000);
  EXPECT_EQ(d->luminaireLife, 1000);
  EXPECT_EQ(d->lampPrice, 29);
  EXPECT_EQ(d->powerLossFactor, 1.0);
  EXPECT_EQ(d->databaseWord1, 5);

  doc.real["70:ДНаТ@150"] = 1.12;
  doc.luminaire.luminairePrice = 0;
  EXPECT_EQ(g->LoadLightDevice(1, 1), 0);
  EXPECT_EQ(doc.selectRememberedCalls, 1);
  EXPECT_EQ(g->GetLightDevice()->powerLossFactor, 1.12);

  EXPECT_EQ(g->RefreshLightDevice(), 0);
  EXPECT_EQ(doc.chosenFor, "Группа (основная)");
  EXPECT_EQ(doc.remembered, "1/5");

  doc.hasLuminaireDatabase = false;
  EXPECT_EQ(g->LoadLightDevice(1, 0), 1);
  EXPECT_EQ(g->GetLightDevice()->table->rows, 5);
}

// A price question that fails with an error code: the model raises it, the parameters pane asks on without it.
TEST(GroupOfDev, AFailingPriceQuestionRaisesOrIsPassedOver)
{
  ServerDocument doc;
  doc.whole["12:ЖКУ"] = 350000;
  doc.whole["64:ДНаТ@150"] = 29;
  doc.failingSlot = 56;  // the cleaning cost
  doc.failingCode = E_FAIL;
  CLightDevice device;
  device.luminaireName = "ЖКУ";
  device.lampType = "ДНаТ";
  device.lampPower = 150;
  device.cleaningCost = 7;

  EXPECT_THROW(AskLuminairePrices(&doc, &device, PriceFailure::Raises), _com_error);
  EXPECT_EQ(device.lampPrice, 0) << "nothing after the failure is asked";

  AskLuminairePrices(&doc, &device, PriceFailure::NotAnswered);
  EXPECT_EQ(device.luminairePrice, 350000);
  EXPECT_EQ(device.cleaningCost, 7);
  EXPECT_EQ(device.lampPrice, 29);
}

// A group keeps the database's or the file's table unbuilt until it is asked for it; storing, copying and
// loading see the same table either way.
TEST(GroupOfDev, TheLuminaireTableIsTheDatabasesUntilLoadingReplacesIt)
{
  ServerDocument doc;
  doc.luminaire.table.Resize(2, 3);
  doc.luminaire.table.cells = {0, 0, 0, 120, 90, 60};
  IGroupOfDev* untouched = CreateGroupOfDev(nullptr, &doc, 1, 1);
  IGroupOfDev* copy = CreateGroupOfDev(nullptr, &doc, 2, 0);
  ObjectOf(untouched)->CopyTo(ObjectOf(copy), 0);
  StoringArchive stored;
  ObjectOf(untouched)->Serialize(stored.get(), kCurrentFormatVersion);
  const auto bytes = stored.bytes();

  // The database now hands out another luminaire: what was taken before stays the groups'.
  doc.luminaire.table.Resize(2, 2);
  doc.luminaire.table.cells = {0, 0, 0, 7};
  IGroupOfDev* loaded = CreateGroupOfDev(nullptr, &doc, 3, 0);
  LoadingArchive in(bytes);
  ObjectOf(loaded)->Serialize(in.get(), kCurrentFormatVersion);
  StoringArchive unbuilt;
  ObjectOf(loaded)->Serialize(unbuilt.get(), kCurrentFormatVersion);
  EXPECT_EQ(unbuilt.bytes(), bytes);
  // A record already handed out may be held: loading fills the table it holds.
  IGroupOfDev* held = CreateGroupOfDev(nullptr, &doc, 4, 0);
  const CLightDevice* device = held->GetLightDevice();
  LoadingArchive heldIn(bytes);
  ObjectOf(held)->Serialize(heldIn.get(), kCurrentFormatVersion);
  EXPECT_EQ(device->table->columns, 3);
  EXPECT_EQ(LinkedTableFind(device->table.get(), 3, 2)->value, 60);
  for (IGroupOfDev* g : {untouched, copy, loaded}) {
    const _LINKED_TABLE* t = g->GetLightDevice()->table.get();
    ASSERT_EQ(t->rows, 2);
    ASSERT_EQ(t->columns, 3);
    EXPECT_EQ(LinkedTableFind(t, 2, 2)->value, 120);
    EXPECT_EQ(LinkedTableFind(t, 3, 2)->value, 60);
  }
  StoringArchive again;
  ObjectOf(loaded)->Serialize(again.get(), kCurrentFormatVersion);
  EXPECT_EQ(again.bytes(), bytes);
  for (IGroupOfDev* g : {untouched, copy, loaded, held})
    g->Release();
}

// A container block of a 4.0.3.0 file, written by hand: three groups without mounting kind, placement, base
// point or number; no option.
TEST(GroupsOfDev, OldFileNumbersItsGroupsInOrder)
{
  Bytes lightDevice;
  lightDevice.str("").str("ЖКУ").str("").str("ДНаТ").f64(150).f64(15000).u32(0x10020100u).i32(0).i32(0);
  Bytes b;
  b.str("Группы ОП").f64(1.6).i32(3);
  for (int i = 0; i < 3; ++i) {
    b.u32(0x11111111u + i).u16(1).u16(2).zeros(8);  // object id
    b.i32(5).str("Группа").i32(i).f64(25.0).f64(1.0);
    b.i32(0);  // no poles
    b.append(lightDevice);
  }
  FakeDocument doc;
  RoadHolder road(&doc);
  LoadingArchive ar(b.data());
  ObjectOf(road.groups)->Serialize(ar.get(), MakeFormatVersion(4, 0, 3, 0));
  EXPECT_EQ(*road.groups->GetMaintenanceFactor(), 1.6);
  EXPECT_EQ(*road.groups->GetOption(), 0);
  int number = 1;
  for (IGroupOfDev* g = road.First(); g; g = g->GetNext(), ++number) {
    EXPECT_EQ(*g->GetNumber(), number);
    EXPECT_EQ(*g->GetMountingKind(), 0);
    EXPECT_EQ(*g->GetPlacementScheme(), 0);
    EXPECT_EQ(*g->GetAngularStep(), 30.0);
    EXPECT_EQ(*g->GetRoadScheme(), number - 1);
    EXPECT_EQ(g->GetPoleCount(), 0);
    CArray<_CSPOINT3D>* points = nullptr;
    g->GetContourPoints(&points);
    EXPECT_EQ(points->GetSize(), 0);
    CGuid id;
    ObjectOf(g)->GetObjectId(&id);
    EXPECT_EQ(id.Value().Data1, 0x11111111u + number - 1);
  }
  EXPECT_EQ(number, 4);
}

TEST(GroupsOfDev, CopyKeepsGroupsPolesAndSubGroups)
{
  ServerDocument doc;
  doc.hasPriceDatabase = false;
  RoadHolder source(&doc);
  RoadHolder copy(&doc);
  IGroupOfDev* g = source.First();
  const int three = 3;
  g->SetPoleCount(&three);
  auto* container = static_cast<CGroupsOfDev*>(source.groups);
  IGroupOfDev* second = source.groups->CreateGroup();
  container->AppendGroup(second);
  const double step = 42.0;
  second->SetStep(&step);
  EXPECT_EQ(*source.road->GetLength(), 50.0);  // the area is longer than the step
  const double longStep = 80.0;
  second->SetStep(&longStep);
  EXPECT_EQ(*source.road->GetLength(), 80.0);

  ObjectOf(source.groups)->CopyTo(ObjectOf(copy.groups), 0);
  IGroupOfDev* c1 = copy.First();
  ASSERT_NE(c1, nullptr);
  EXPECT_EQ(c1->GetPoleCount(), 3);
  ASSERT_NE(c1->GetNext(), nullptr);
  EXPECT_EQ(*c1->GetNext()->GetStep(), 80.0);
  EXPECT_EQ(*c1->GetNext()->GetNumber(), 2);

  StoringArchive a;
  ObjectOf(source.groups)->Serialize(a.get(), kCurrentFormatVersion);
  StoringArchive b;
  ObjectOf(copy.groups)->Serialize(b.get(), kCurrentFormatVersion);
  EXPECT_EQ(a.bytes(), b.bytes());
}

// A group block of the current version without poles, holding `nested` levels of sub-groups below it.
Bytes NestedGroupBlock(int nested, int poleCount = 0)
{
  Bytes b;
  b.u32(1).u16(2).u16(3).zeros(8);
  b.i32(5).str("Группа").i32(2).f64(30).f64(0).i32(0).i32(4).f64s({0, 0, 0, 30});
  b.i32(poleCount);
  // The luminaire record: texts A, name, D, maker, lamp type; power, flux; word, flag, count; empty table;
  // economic block; text list; B; display name, F-I; J, producer, K-M, extra word.
  b.str("").str("").str("").str("").str("").f64(0).f64(0).u32(0).i32(1).i32(1).i32(0).i32(0);
  b.i32(0).i32(0).i32(0).i32(0).i32(1000).f64(1).i32(0).i32(0).i32(1000).f64(1).i32(0).f64s({0, 0, 0});
  b.u16(0).str("");
  for (int i = 0; i < 5; ++i)
    b.str("");
  for (int i = 0; i < 5; ++i)
    b.str("");
  b.i32(0);
  b.i32(1);                                   // number
  b.u16(0);                                   // contour points
  b.i32(0).f64s({0, 1, 2, 20, 0});            // contour side, offsets, step, angle
  b.i32(nested > 0 ? 1 : 0);
  if (nested > 0)
    b.append(NestedGroupBlock(nested - 1));
  return b;
}

TEST(GroupOfDev, DamagedBlocksAreRefused)
{
  FakeDocument doc;
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"negative pole count", NestedGroupBlock(0, -1)},
      {"more poles than the file holds", NestedGroupBlock(0, 1000000)},
      {"sub-groups nested without end", NestedGroupBlock(8)},
  };
  for (const Case& c : cases) {
    IGroupOfDev* group = CreateGroupOfDev(nullptr, &doc, 1, 0);
    LoadingArchive ar(c.bytes.data());
    EXPECT_NE(ArchiveErrorOf([&] { ObjectOf(group)->Serialize(ar.get(), kCurrentFormatVersion); }), -1) << c.what;
    group->Release();
  }
  IGroupOfDev* group = CreateGroupOfDev(nullptr, &doc, 1, 0);
  const Bytes sound = NestedGroupBlock(1);
  LoadingArchive ar(sound.data());
  ObjectOf(group)->Serialize(ar.get(), kCurrentFormatVersion);
  EXPECT_EQ(group->GetSubGroupCount(), 1);
  EXPECT_EQ(*group->GetPlacementScheme(), 4);
  StoringArchive out;
  ObjectOf(group)->Serialize(out.get(), kCurrentFormatVersion);
  EXPECT_EQ(out.bytes(), sound.data());
  group->Release();
}

}  // namespace
