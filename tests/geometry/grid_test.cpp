#include "fixtures.h"

#include "geometry/calc_area.h"
#include "geometry/colour_mapping.h"
#include "geometry/result_grid.h"

#include <gtest/gtest.h>

namespace {

std::vector<float> Values(std::size_t count, float base)
{
  std::vector<float> v;
  for (std::size_t k = 0; k < count; ++k) v.push_back(base + static_cast<float>(k));
  return v;
}

// Every array of a straight road's block, each with its own values, so that a wrong choice shows.
ResultsFixture AllArrays()
{
  ResultsFixture r;
  r.xs = Axis(4, 1.0f);
  r.xsWall = Axis(3, 2.0f, 100);
  r.yRoad = Axis(3, 0.5f);
  r.eRoad = Values(12, 100);
  r.nodeState = std::vector<int>(12, 0);
  r.nodeState[4] = -1;
  r.yOpp = Axis(2, 0.7f, 10);
  r.eOpp = Values(8, 200);
  r.yLeftWalk = Axis(2, 0.3f, 20);
  r.eLeftWalk = Values(8, 300);
  r.escLeftWalk = Values(8, 400);
  r.yRightWalk = Axis(3, 0.4f, 30);
  r.eRightWalk = Values(12, 500);
  r.escRightWalk = Values(12, 600);
  r.zLeftWall = Axis(2, 1, 1);
  r.evLeftWall = Values(6, 700);
  r.zRightWall = Axis(3, 1, 1);
  r.evRightWall = Values(9, 800);
  r.lumObserver = Values(24, 900);  // two observers
  r.lumObserverOpp = Values(8, 1000);
  r.Bind();
  r.block.nObservers = 2;
  r.block.nObserversOpp = 1;
  r.block.shownObserver = 1;
  return r;
}

TEST(ResultGrid, FillTakesTheArraysOfTheKind)
{
  ResultsFixture r = AllArrays();
  struct Case {
    DWORD kind;
    int rows, columns;
    double value11;  // node (1, 1)
    double x2;       // x of row 2
    double y1;       // y of column 1
    int state11;
  };
  const Case cases[] = {
      {AreaKind::kMain, 4, 3, 104, 2, 0.5, -1},
      {AreaKind::kMainIlluminance, 4, 3, 104, 2, 0.5, -1},
      {AreaKind::kRightSidewalk, 4, 3, 504, 2, 30.4, 0},
      {AreaKind::kOppositeIlluminance, 4, 2, 203, 2, 10.7, 0},
      {AreaKind::kLeftSidewalk, 4, 2, 303, 2, 20.3, 0},
      {AreaKind::kLeftWall, 3, 2, 703, 104, 2, 0},   // walls run along their own points
      {AreaKind::kRightWall, 3, 3, 804, 104, 2, 0},
      {AreaKind::kLeftSidewalkSemiCyl, 4, 2, 403, 2, 20.3, 0},
      {AreaKind::kRightSidewalkSemiCyl, 4, 3, 604, 2, 30.4, 0},
      {AreaKind::kOppositeLuminance, 4, 2, 1003, 2, 10.7, 0},
      {AreaKind::kMainLuminance, 4, 3, 916, 2, 0.5, 0},  // the shown observer's layer
  };
  const double size[3] = {3, 1, 0};
  const double position[3] = {1.5, 0.5, 0};
  for (const Case& c : cases) {
    CResultGrid grid;
    grid.Fill(size, r.block, c.kind, position);
    ASSERT_EQ(grid.m_rows, c.rows) << std::hex << c.kind;
    ASSERT_EQ(grid.m_columns, c.columns) << std::hex << c.kind;
    EXPECT_FLOAT_EQ(grid.Node(1, 1).value, c.value11) << std::hex << c.kind;
    EXPECT_FLOAT_EQ(grid.Node(2, 0).x, c.x2) << std::hex << c.kind;
    EXPECT_FLOAT_EQ(grid.Node(0, 1).y, c.y1) << std::hex << c.kind;
    EXPECT_EQ(grid.Node(1, 1).state, c.state11) << std::hex << c.kind;
    EXPECT_EQ(grid.m_kind, c.kind);
  }
  CResultGrid none;
  none.Fill(size, r.block, 0x200, position);
  EXPECT_TRUE(none.IsEmpty());

  CResultGrid wall;
  wall.Fill(size, r.block, AreaKind::kLeftWall, position);
  EXPECT_FLOAT_EQ(wall.m_stepX, 2) << "the wall's own x step";
}

TEST(ResultGrid, StatisticsOfTheValidNodes)
{
  ResultsFixture r;
  r.xs = Axis(2, 1);
  r.yRoad = Axis(3, 1);
  r.eRoad = {0, 3, 50, 2, 0.5f, 7};
  r.nodeState = {0, 0, -1, 0, 0, 0};
  r.Bind();
  GridStatistics() = {};
  const double size[3] = {1, 2, 0}, position[3] = {0, 0, 0};
  CResultGrid grid;
  grid.Fill(size, r.block, AreaKind::kMain, position);
  EXPECT_EQ(GridStatistics().allNodesMaximum, 50);
  EXPECT_EQ(GridStatistics().validNodesMaximum, 7) << "the main kind leaves out nodes without a value";
  EXPECT_EQ(GridStatistics().positiveMinimum, 0.5);
  EXPECT_EQ(grid.m_ownMaximum, 50);

  GridStatistics() = {};
  grid.Fill(size, r.block, AreaKind::kMainIlluminance, position);
  EXPECT_EQ(GridStatistics().validNodesMaximum, 50) << "other kinds count every node";
}

TEST(ResultGrid, SingleRowOrColumnAndMissingArrays)
{
  ResultsFixture r;
  r.xs = {5};
  r.yRoad = {1, 2, 3};
  r.eRoad = {1, 2, 3};
  r.Bind();
  const double size[3] = {0, 2, 0}, position[3] = {0, 0, 0};
  CResultGrid grid;
  grid.Fill(size, r.block, AreaKind::kMainIlluminance, position);
  EXPECT_EQ(grid.m_rows, 1);
  EXPECT_EQ(grid.m_stepX, 0) << "no second point to measure from";
  EXPECT_EQ(grid.m_stepY, 1);

  r.block.eRoad = nullptr;  // counts without their array
  grid.Fill(size, r.block, AreaKind::kMainIlluminance, position);
  EXPECT_TRUE(grid.IsEmpty());

  ResultsFixture walls;
  walls.xs = Axis(2, 1);
  walls.zLeftWall = {1, 2};
  walls.evLeftWall = Values(6, 1);
  walls.Bind();
  walls.block.nWallX = 3;  // more wall points than road points, and none of their own
  grid.Fill(size, walls.block, AreaKind::kLeftWall, position);
  EXPECT_TRUE(grid.IsEmpty()) << "no x coordinates to read the third wall point from";
}

TEST(ResultGrid, CellCornersAndEmptyNodeFill)
{
  ResultsFixture r;
  r.xs = Axis(3, 1);
  r.yRoad = Axis(3, 1);
  r.eRoad = {1, 2, 3, 4, 99, 6, 7, 8, 9};
  r.nodeState = {0, 0, 0, 0, -2, -1, -1, -1, -1};
  r.Bind();
  const double size[3] = {2, 2, 0}, position[3] = {0, 0, 0};
  CCalcArea area(nullptr, 0);
  area.m_grid.Fill(size, r.block, AreaKind::kMain, position);
  double c[4];
  EXPECT_EQ(area.m_grid.GetCellCorners(0, c, 0), 1);
  EXPECT_EQ(c[0], 1);
  EXPECT_EQ(c[1], 2);
  EXPECT_EQ(c[2], 99);
  EXPECT_EQ(c[3], 4);
  EXPECT_EQ(area.m_grid.GetCellCorners(1, c, 1), 2);

  area.FillEmptyNodes();
  EXPECT_DOUBLE_EQ(area.m_grid.Node(1, 1).value, (8 + 6 + 2 + 4) / 4.0);
  EXPECT_EQ(area.m_grid.Node(1, 1).state, -2);

  ResultsFixture small;
  small.xs = Axis(2, 1);
  small.yRoad = Axis(2, 1);
  small.eRoad = {1, 2, 3, 4};
  small.nodeState = {-2, -2, -2, -2};
  small.Bind();
  area.m_grid.Fill(size, small.block, AreaKind::kMain, position);
  area.FillEmptyNodes();
  EXPECT_EQ(area.m_grid.Node(0, 0).value, 1) << "a 2 x 2 grid has no interior node";
}

// A 2 x 1 grid as its bytes stand.
Bytes TwoNodeGrid()
{
  Bytes b;
  b.f64s({5, 6, 4, 0.5}).i32(2).i32(1).f64s({1.5, 0, 1.5, 0, 0, 10, 20, 0}).i32(4).i32(1);
  b.f64(5).i32(0).f64s({0, 0, 0});
  b.f64(0.5).i32(-1).f64s({1.5, 0, 0});
  return b;
}

TEST(ResultGrid, SavedForm)
{
  LoadingArchive load(TwoNodeGrid().data());
  CResultGrid grid;
  grid.Serialize(*load);
  EXPECT_TRUE(load.AtEnd());
  ASSERT_EQ(grid.m_rows, 2);
  EXPECT_EQ(grid.m_columns, 1);
  EXPECT_EQ(grid.Node(1, 0).state, -1);
  EXPECT_EQ(grid.Node(1, 0).x, 1.5);
  EXPECT_EQ(grid.m_areaPosition[0], 10);
  EXPECT_EQ(grid.m_kind, 4u);
  EXPECT_EQ(GridStatistics().allNodesMaximum, 6) << "loading replaces the statistics";
  EXPECT_EQ(GridStatistics().validNodesMaximum, 4);

  StoringArchive store;
  grid.Serialize(*store);
  EXPECT_EQ(store.bytes(), TwoNodeGrid().data());
}

TEST(ResultGrid, HostileCountsAreRefusedBeforeAllocating)
{
  Bytes b;
  b.f64s({5, 6, 4, 0.5}).i32(1 << 20).i32(1 << 20).f64s({1, 1, 1, 1, 0, 0, 0, 0}).i32(4).i32(0);
  LoadingArchive load(b.data());
  CResultGrid grid;
  bool thrown = false;
  try {
    grid.Serialize(*load);
  } catch (CArchiveException* e) {
    thrown = true;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
  EXPECT_TRUE(grid.IsEmpty());
}

}  // namespace
