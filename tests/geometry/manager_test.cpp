#include "fixtures.h"

#include "geometry/calc_area_manager.h"
#include "geometry/colour_mapping.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kVersion = 0x06002A00;

// A straight road 30 m long: carriageway 7 m (two directions), sidewalks 2 m, walls 5 m high.
void StraightRoad(FakeHost& host)
{
  host.straightRoad = TRUE;
  CRoadLayout& road = host.layout;
  road.carriagewayOn = road.oppositeShown = TRUE;
  road.leftSidewalkOn = road.rightSidewalkOn = TRUE;
  road.leftWallOn = road.rightWallOn = TRUE;
  road.leftWallShown = TRUE;
  road.rightWallShown = FALSE;
  road.leftWallOffset = 6.5;
  road.rightWallOffset = -6.5;
  road.oppositeCarriageway = {0, 30, 3.5, 0};
  road.mainCarriageway = {0, 30, 0, -3.5};
  road.leftSidewalk = {0, 30, 5.5, 3.5};
  road.rightSidewalk = {0, 30, -3.5, -5.5};
  road.leftWall = road.rightWall = {0, 30, 5, 1};
  road.sidewalkHeight = 0.17;
  road.carriagewayHeight = 0.02;

  ResultsFixture& r = host.results;
  r.xs = Axis(31, 1);
  r.xsWall = Axis(31, 1);
  r.yRoad = Axis(3, 1.75f, -3.5f);
  r.yOpp = Axis(3, 1.75f, 0);
  r.yLeftWalk = r.yRightWalk = Axis(2, 2);
  r.zLeftWall = r.zRightWall = Axis(5, 1, 1);
  r.eRoad = r.eOpp = r.lumObserver = r.lumObserverOpp = std::vector<float>(93, 10);
  r.eLeftWalk = r.eRightWalk = r.escLeftWalk = r.escRightWalk = std::vector<float>(62, 5);
  r.evLeftWall = r.evRightWall = std::vector<float>(155, 3);
  r.Bind();
  r.block.nObservers = r.block.nObserversOpp = 1;
}

DWORD KindsOf(const CCalcAreaManager& manager)
{
  DWORD kinds = 0;
  for (const auto& area : manager.GetAreas()) kinds |= area->m_kind;
  return kinds;
}

TEST(CalcAreaManager, StraightRoadAreasByQuantityAndLayout)
{
  struct Case {
    const char* what;
    int quantity;
    BOOL oneWay, carriagewayOn, sidewalks;
    DWORD kinds;
  };
  const Case cases[] = {
      {"luminance, two-way", 0, FALSE, TRUE, TRUE, 0xC00},
      {"luminance, one-way with the carriageway off", 0, TRUE, FALSE, TRUE, 0x800},
      {"illuminance, everything", 1, FALSE, TRUE, TRUE, 0x19E},
      {"illuminance, one-way with the carriageway off", 1, TRUE, FALSE, TRUE, 0x198},
      {"semi-cylindrical", 2, FALSE, TRUE, TRUE, 0x60},
      {"semi-cylindrical without sidewalks", 2, FALSE, TRUE, FALSE, 0},
  };
  for (const Case& c : cases) {
    FakeHost host;
    StraightRoad(host);
    host.options.SetQuantity(c.quantity);
    host.layout.oneWay = c.oneWay;
    host.layout.carriagewayOn = c.carriagewayOn;
    host.layout.oppositeShown = c.carriagewayOn && !c.oneWay;
    host.layout.leftSidewalkOn = host.layout.rightSidewalkOn = c.sidewalks;
    CCalcAreaManager manager(&host);
    manager.Rebuild();
    EXPECT_EQ(KindsOf(manager), c.kinds) << c.what;
    EXPECT_EQ(manager.GetKindsMade(), c.kinds) << c.what;
  }
}

TEST(CalcAreaManager, WallsStandUpAndHideWhenNotShown)
{
  FakeHost host;
  StraightRoad(host);
  CCalcAreaManager manager(&host);
  manager.Rebuild();
  const CCalcArea* right = nullptr;
  const CCalcArea* left = nullptr;
  const CCalcArea* sidewalk = nullptr;
  for (const auto& area : manager.GetAreas()) {
    if (area->m_kind == AreaKind::kRightWall) right = area.get();
    if (area->m_kind == AreaKind::kLeftWall) left = area.get();
    if (area->m_kind == AreaKind::kLeftSidewalk) sidewalk = area.get();
  }
  ASSERT_TRUE(right && left && sidewalk);
  EXPECT_EQ(right->m_position[1], -6.5);
  EXPECT_EQ(right->m_position[2], 3);
  EXPECT_EQ(right->m_rotation[0], 90);
  EXPECT_EQ(right->m_rotation[1], 180);
  EXPECT_EQ(right->GetState() & CSelectableObject::kVisible, 0u);
  EXPECT_NE(left->GetState() & CSelectableObject::kVisible, 0u);
  EXPECT_TRUE(left->m_picture.HasAlpha());
  EXPECT_EQ(left->m_picture.GetWidth(), 310);
  EXPECT_EQ(sidewalk->m_position[1], 4.5);
  EXPECT_EQ(sidewalk->m_position[2], 0.17);
  EXPECT_EQ(sidewalk->m_size[0], 30);
}

TEST(CalcAreaManager, OtherAreasGetOneMainAreaAndNothingWithoutResults)
{
  FakeHost host;
  host.results.xs = Axis(31, 1);
  host.results.yRoad = Axis(11, 1);
  host.results.eRoad = std::vector<float>(341, 4);
  host.results.nodeState = std::vector<int>(341, 0);
  host.results.Bind();
  host.options.SetResultDisplay(2);
  CCalcAreaManager manager(&host);
  manager.SetDisplayMode(2);
  manager.Rebuild();
  ASSERT_EQ(manager.GetAreas().size(), 1u);
  CCalcArea* main = manager.GetMainArea();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->m_size[0], 30);
  EXPECT_EQ(main->m_size[1], 10);
  // Labels 0.4 m high are 16/6 of that wide: nodes 1 m apart are labelled every 2nd.
  EXPECT_EQ(main->m_nodeValues.m_rowStep, 2);
  EXPECT_EQ(main->m_nodeValuesDone, 1);
  EXPECT_EQ(main->m_nodeValues.GetLabels().size(), 15u * 5u);  // odd rows 1..29, odd columns 1..9

  host.results.block.valid = 0;
  manager.Rebuild();
  EXPECT_TRUE(manager.GetAreas().empty());
  EXPECT_EQ(manager.GetMainArea(), nullptr);
}

TEST(CalcAreaManager, ColourPictureWithoutColourLevelsFallsBackToGrey)
{
  FakeHost host;
  host.results.xs = Axis(3, 1);
  host.results.yRoad = Axis(2, 1);
  host.results.eRoad = {0, 10, 20, 20, 10, 0};
  host.results.nodeState = std::vector<int>(6, 0);
  host.results.Bind();
  CCalcAreaManager manager(&host);
  manager.SetDisplayMode(3);
  host.options.ClearColourLevels(1);
  manager.Rebuild();  // no colour levels at all
  ASSERT_EQ(manager.GetAreas().size(), 1u);
  CWiseDib& picture = manager.GetAreas()[0]->m_picture;
  ASSERT_EQ(picture.GetWidth(), 30);
  ASSERT_EQ(picture.GetHeight(), 20);
  int bright = 0;
  for (int row = 0; row < picture.GetHeight(); ++row) {
    for (int column = 0; column < picture.GetWidth(); ++column) {
      const BYTE* p = picture.PixelAt(column, row);
      EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
      bright += p[0] > 200 ? 1 : 0;
    }
  }
  EXPECT_GT(bright, 0);

  VisualOptions defaults;
  CArray<_PREF_OF_COLOR_LEVELS>* scale = nullptr;
  defaults->GetColourLevels1(&scale);
  CArray<_PREF_OF_COLOR_LEVELS>* shown = nullptr;
  host.options->GetColourLevels1(&shown);
  shown->Copy(*scale);
  manager.Rebuild();
  const BYTE* corner = manager.GetAreas()[0]->m_picture.PixelAt(0, 0);
  EXPECT_EQ(corner[0] + corner[1] + corner[2], 0) << "value 0: the first level's black";
}

TEST(CalcAreaManager, SingleRowGridsFillWithoutFault)
{
  FakeHost host;
  host.results.xs = {0};
  host.results.yRoad = Axis(4, 1);
  host.results.eRoad = {1, 2, 3, 4};
  host.results.nodeState = std::vector<int>(4, 0);
  host.results.Bind();
  host.options.SetScaleType(2);
  CCalcAreaManager manager(&host);
  for (int mode : {0, 2, 3, 1}) {
    manager.SetDisplayMode(mode);
    manager.Rebuild();
    ASSERT_EQ(manager.GetAreas().size(), 1u);
    EXPECT_EQ(manager.GetAreas()[0]->m_picture.GetWidth(), 10);
  }
}

TEST(CalcAreaManagerContainer, IdCounterAndPurge)
{
  FakeHost host;
  CCalcAreaManagerContainer container(&host);
  int id = 0;
  CCalcAreaManager* first = container.ProvideManager(0, &id, nullptr, 3);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(first->GetId(), 1);
  EXPECT_EQ(first->GetDisplayMode(), 3);
  CCalcAreaManager* second = container.ProvideManager(0, &id, nullptr, 0);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(container.ProvideManager(1, nullptr, nullptr, 0), first);
  EXPECT_EQ(container.FindManager(2), second);

  host.historyIds = {2};  // the area with manager 1 is gone from every state
  container.Purge();
  ASSERT_EQ(container.GetManagers().size(), 1u) << "the purged manager's entry goes too";
  EXPECT_EQ(container.FindManager(1), nullptr);
  container.InvalidateAll();
  EXPECT_EQ(container.ProvideManager(0, &id, nullptr, 0)->GetId(), 3);
}

// One manager (id 7) with levels 0 and 5 and one area saved without its data.
Bytes OneManagerFile()
{
  Bytes b;
  b.i32(1);
  b.u16(2).f32(0).f32(5);
  b.i32(7).i32(1).i32(3).f64s({30, 10, 0}).i32(1);
  b.object3d(0, 0, 0, 30, 10).i32(3).i32(0);
  return b;
}

TEST(CalcAreaManagerContainer, SavedForm)
{
  FakeHost host;
  host.currentIds = host.historyIds = {7};
  CCalcAreaManagerContainer container(&host);
  int id = 0;
  for (int k = 0; k < 3; ++k) container.ProvideManager(0, &id, nullptr, 0);
  ASSERT_EQ(container.GetNextId(), 3);

  LoadingArchive load(OneManagerFile().data());
  container.Serialize(*load, kVersion);
  EXPECT_TRUE(load.AtEnd());
  ASSERT_EQ(container.GetManagers().size(), 1u);
  const CCalcAreaManager& manager = *container.GetManagers()[0];
  EXPECT_EQ(manager.GetId(), 7);
  EXPECT_EQ(manager.GetDisplayMode(), 3);
  EXPECT_EQ(manager.GetLevels().GetSize(), 2);
  ASSERT_EQ(manager.GetAreas().size(), 1u);
  EXPECT_TRUE(manager.GetAreas()[0]->m_grid.IsEmpty()) << "saved without data: nothing until the next rebuild";
  EXPECT_EQ(container.GetNextId(), 8);

  StoringArchive store;
  container.Serialize(*store, kVersion);
  EXPECT_EQ(store.bytes(), OneManagerFile().data());

  host.currentIds.clear();  // held only by an undo state: kept in memory, left out of the file
  StoringArchive without;
  container.Serialize(*without, kVersion);
  EXPECT_EQ(without.bytes(), Bytes().i32(0).data());
  EXPECT_EQ(container.GetManagers().size(), 1u);
}

TEST(CalcAreaManagerContainer, EveryShortenedFileIsAnArchiveError)
{
  FakeHost host;
  const std::vector<std::uint8_t> whole = OneManagerFile().data();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    CCalcAreaManagerContainer container(&host);
    LoadingArchive load(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
    bool thrown = false;
    try {
      container.Serialize(*load, kVersion);
    } catch (CArchiveException* e) {
      thrown = true;
      e->Delete();
    }
    EXPECT_TRUE(thrown) << length << " bytes";
  }
}

TEST(CalcAreaManagerContainer, RebuiltAreasSurviveSavingAndLoading)
{
  FakeHost host;
  StraightRoad(host);
  host.results.eRoad = std::vector<float>(93);
  for (std::size_t k = 0; k < 93; ++k) host.results.eRoad[k] = static_cast<float>(k % 31);
  host.results.Bind();
  host.currentIds = host.historyIds = {1};
  CCalcAreaManagerContainer container(&host);
  int id = 0;
  CCalcAreaManager* manager = container.ProvideManager(0, &id, nullptr, 0);
  manager->Rebuild();
  const std::size_t areaCount = manager->GetAreas().size();
  const std::size_t isolineCount = manager->GetAreas()[0]->m_isolines.GetIsolines().size();
  ASSERT_GT(isolineCount, 0u);
  container.InvalidateAll();
  StoringArchive store;
  container.Serialize(*store, kVersion);
  const std::vector<std::uint8_t> bytes = store.bytes();

  CCalcAreaManagerContainer loaded(&host);
  LoadingArchive load(bytes);
  loaded.Serialize(*load, kVersion);
  EXPECT_TRUE(load.AtEnd());
  ASSERT_EQ(loaded.GetManagers().size(), 1u);
  const CCalcAreaManager& copy = *loaded.GetManagers()[0];
  ASSERT_EQ(copy.GetAreas().size(), areaCount);
  const CCalcArea& area = *copy.GetAreas()[0];
  EXPECT_EQ(area.m_kind, manager->GetAreas()[0]->m_kind);
  EXPECT_EQ(area.m_isolines.GetIsolines().size(), isolineCount);
  EXPECT_EQ(area.m_grid.m_rows, 31);
  EXPECT_EQ(area.m_picture.GetWidth(), 310);
  // The colours of the visual options come back on loading.
  EXPECT_FLOAT_EQ(area.m_isolines.GetIsolines()[0]->m_colour[1], 0.93f);

  // Cut anywhere, the file is refused with the archive's error and nothing half-read stays behind.
  for (std::size_t cut = 1; cut < 64; ++cut) {
    const std::size_t length = bytes.size() * cut / 64;
    CCalcAreaManagerContainer partial(&host);
    LoadingArchive shortened(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)));
    bool thrown = false;
    try {
      partial.Serialize(*shortened, kVersion);
    } catch (CArchiveException* e) {
      thrown = true;
      e->Delete();
    }
    EXPECT_TRUE(thrown) << length << " of " << bytes.size() << " bytes";
    EXPECT_TRUE(partial.GetManagers().empty());
  }
}

}  // namespace
