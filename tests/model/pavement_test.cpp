#include "archive_bytes.h"
#include "fake_document.h"
#include "model/version.h"
#include "test_road.h"

#include <gtest/gtest.h>

namespace {

ILineOfRoad* Strip(IModelUnknown* sides, const IID& key)
{
  void* out = nullptr;
  if (FAILED(sides->QueryInterface(&key, &out)))
    return nullptr;
  auto* strip = static_cast<ILineOfRoad*>(out);
  strip->Release();
  return strip;
}

CGuid ObjectIdOf(ILineOfRoad* strip)
{
  void* out = nullptr;
  strip->QueryInterface(&IID_IClassObjModel, &out);
  auto* object = static_cast<IClassObjModel*>(out);
  CGuid id;
  object->GetObjectId(&id);
  object->Release();
  return id;
}

class Sides : public ::testing::Test {
protected:
  void SetUp() override { road = NewStraightRoad(&document); }
  void TearDown() override { road->Release(); }

  FakeDocument document;
  TestStraightRoad* road = nullptr;
};

TEST_F(Sides, NewSidewalksAndWalls)
{
  IPavement* pavement = road->pavement;
  IWall* wall = road->wall;
  EXPECT_EQ(*pavement->GetFlags(), 0x301);
  EXPECT_EQ(*wall->GetFlags(), 0x3003);
  EXPECT_STREQ(pavement->GetName()->GetString(), "Тротуар");
  EXPECT_STREQ(wall->GetName()->GetString(), "Стена здания");
  struct Case {
    IModelUnknown* sides;
    const IID* key;
    double width;
    double gap;
  };
  const Case cases[] = {{pavement, &IID_LeftPavement, 2.0, 2.0},
                        {pavement, &IID_RightPavement, 2.0, 2.0},
                        {wall, &IID_LeftWall, 17.0, 1.0},
                        {wall, &IID_RightWall, 17.0, 1.0}};
  for (const Case& c : cases) {
    ILineOfRoad* strip = Strip(c.sides, *c.key);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(*strip->GetWidth(), c.width);
    EXPECT_EQ(*strip->GetGap(), c.gap);
  }
  // The keys of the other element are not answered.
  EXPECT_EQ(Strip(pavement, IID_LeftWall), nullptr);
  EXPECT_EQ(Strip(wall, IID_RightPavement), nullptr);
}

TEST_F(Sides, FlagsSwitchTheStrips)
{
  struct Case {
    bool walls;
    int flags;
    int leftState;
    int rightState;
  };
  const Case cases[] = {
      {false, 0x300, 0, 0},       {false, 0x100, 0, 1},       {false, 0x201, 1, 1},
      {false, 0x002, 1, 1},       {true, 0x1003, 0x1000, 0},  {true, 0x3000, 0x1000, 0x2000},
      {true, 0x0003, 0, 0},
  };
  for (const Case& c : cases) {
    road->SetDefaults();
    IModelUnknown* sides = c.walls ? static_cast<IModelUnknown*>(road->wall) : road->pavement;
    if (c.walls)
      road->wall->SetFlags(&c.flags);
    else
      road->pavement->SetFlags(&c.flags);
    EXPECT_EQ(c.walls ? *road->wall->GetFlags() : *road->pavement->GetFlags(), c.flags);
    EXPECT_EQ(*Strip(sides, c.walls ? IID_LeftWall : IID_LeftPavement)->GetState(), c.leftState) << c.flags;
    EXPECT_EQ(*Strip(sides, c.walls ? IID_RightWall : IID_RightPavement)->GetState(), c.rightState) << c.flags;
  }
}

TEST_F(Sides, RemovedStripIsGoneFromQueriesAndFromTheFile)
{
  road->pavement->RemoveLeft();
  EXPECT_EQ(Strip(road->pavement, IID_LeftPavement), nullptr);
  const double width = 1.5;
  Strip(road->pavement, IID_RightPavement)->SetWidth(&width);

  StoringArchive ar;
  void* out = nullptr;
  road->pavement->QueryInterface(&IID_IClassObjModel, &out);
  auto* object = static_cast<IClassObjModel*>(out);
  object->Serialize(ar.get(), ObjectModel::kCurrentFormatVersion);
  object->Release();

  Bytes expected;
  expected.i32(0x301).str("Тротуар").i32(0).i32(1);
  expected.i32(0).i32(1).f64(1.5).i32(0).f64(1.0).f64(1.0).f64(2.0);
  EXPECT_EQ(ar.bytes(), expected.data());
}

TEST_F(Sides, CopyKeepsTheIdentityOfTheDestinationsNewStripsWhenAsked)
{
  TestStraightRoad* other = NewStraightRoad(&document, 2);
  road->wall->RemoveRight();
  const double height = 9.0;
  Strip(road->wall, IID_LeftWall)->SetWidth(&height);
  for (DWORD flags : {0u, ObjectModel::kCopyKeepIdentity}) {
    EXPECT_EQ(road->CopyTo(other, flags), 0);
    ObjectModel::CWall* sourceWall = dynamic_cast<ObjectModel::CWall*>(road->wall);
    ObjectModel::CWall* destWall = dynamic_cast<ObjectModel::CWall*>(other->wall);
    ObjectModel::CPavement* sourcePavement = dynamic_cast<ObjectModel::CPavement*>(road->pavement);
    ObjectModel::CPavement* destPavement = dynamic_cast<ObjectModel::CPavement*>(other->pavement);
    EXPECT_EQ(sourceWall->CopyTo(destWall, flags), 0);
    EXPECT_EQ(sourcePavement->CopyTo(destPavement, flags), 0);

    ILineOfRoad* copiedWall = Strip(other->wall, IID_LeftWall);
    ASSERT_NE(copiedWall, nullptr);
    EXPECT_EQ(*copiedWall->GetWidth(), 9.0);
    EXPECT_EQ(Strip(other->wall, IID_RightWall), nullptr);
    const CGuid sourceWallId = ObjectIdOf(Strip(road->wall, IID_LeftWall));
    const CGuid sourcePavementId = ObjectIdOf(Strip(road->pavement, IID_RightPavement));
    const bool keep = flags != 0;
    EXPECT_EQ(ObjectIdOf(copiedWall).IsNotEqual(&sourceWallId.Value()), keep);
    EXPECT_EQ(ObjectIdOf(Strip(other->pavement, IID_RightPavement)).IsNotEqual(&sourcePavementId.Value()), keep);
  }
  other->Release();
}

}  // namespace
