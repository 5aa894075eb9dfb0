#include "fixtures.h"

#include "geometry/colour_mapping.h"
#include "geometry/node_values.h"
#include "geometry/result_grid.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

CResultGrid Grid(int rows, int columns, DWORD kind, float value = 1)
{
  ResultsFixture r;
  r.xs = Axis(rows, 1);
  r.yRoad = Axis(columns, 1);
  r.eRoad.assign(static_cast<std::size_t>(rows * columns), value);
  r.nodeState.assign(r.eRoad.size(), 0);
  r.Bind();
  const double size[3] = {rows - 1.0, columns - 1.0, 0}, position[3] = {0, 0, 0};
  CResultGrid grid;
  grid.Fill(size, r.block, kind, position);
  return grid;
}

TEST(NodeValues, MainGridIsLabelledOnALatticeFromItsCentre)
{
  const CResultGrid grid = Grid(5, 5, AreaKind::kMain);
  CNodeValues values;
  values.Build(grid);
  std::set<std::pair<double, double>> labelled;
  for (const _NODE_LABEL& pair : values.GetLabels()) {
    EXPECT_TRUE(labelled.emplace(pair.marker->x, pair.marker->y).second) << "each node once";
  }
  EXPECT_EQ(labelled, (std::set<std::pair<double, double>>{
                          {0, 0}, {0, 2}, {0, 4}, {2, 0}, {2, 2}, {2, 4}, {4, 0}, {4, 2}, {4, 4}}));
}

TEST(NodeValues, RoadStripsStartHalfAStepInWallsAtTheEdge)
{
  CNodeValues strip;
  strip.Build(Grid(5, 5, AreaKind::kMainIlluminance));
  ASSERT_EQ(strip.GetLabels().size(), 4u);  // rows and columns 1 and 3
  EXPECT_EQ(strip.GetLabels()[0].marker->x, 1 - 2.0);
  EXPECT_EQ(strip.GetLabels()[0].marker->y, 1 - 2.0);

  CNodeValues wall;
  wall.Build(Grid(5, 5, AreaKind::kLeftWall));
  EXPECT_EQ(wall.GetLabels().size(), 0u) << "a wall grid comes from the wall arrays, absent here";
}

TEST(NodeValues, Formats)
{
  struct Case {
    DWORD kind;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {AreaKind::kMainIlluminance, 0.04, "0"},  {AreaKind::kMainIlluminance, 0.05, "0.1"},
      {AreaKind::kMainIlluminance, 0.5, "0.5"}, {AreaKind::kMainIlluminance, 10, "10.0"},
      {AreaKind::kMainIlluminance, 12.34, "12"}, {AreaKind::kMainLuminance, 12.34, "12.3"},
      {AreaKind::kOppositeLuminance, 0.04, "0.0"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(FormatNodeValue(c.kind, c.value).GetString(), c.text) << c.value;
  }
}

TEST(NodeValues, LabellingOnlyReadsTheGrid)
{
  CResultGrid grid = Grid(3, 3, AreaKind::kMainIlluminance, 0.04f);
  CNodeValues values;
  values.m_rowStep = values.m_columnStep = 1;
  values.Build(grid);
  ASSERT_EQ(values.GetLabels().size(), 9u);
  EXPECT_EQ(values.GetLabels()[0].label->GetText(), u"0");
  EXPECT_FLOAT_EQ(grid.Node(0, 0).value, 0.04f) << "the value behind the label stays as calculated";

  _RESULT_NODE empty;
  empty.value = 7;
  empty.state = -1;
  CNodeValues main;
  main.LabelNode(AreaKind::kMain, empty, 0, 0);
  EXPECT_TRUE(main.GetLabels().empty()) << "a main-area node without a value";
  main.LabelNode(AreaKind::kMainIlluminance, empty, 0, 0);
  EXPECT_EQ(main.GetLabels().size(), 1u);
}

TEST(NodeValues, LabelPlacedBesideItsMarker)
{
  CNodeValues values;
  _RESULT_NODE node;
  node.value = 3;
  node.state = 0;
  values.LabelNode(AreaKind::kMainIlluminance, node, 2, 3);
  const _NODE_LABEL& pair = values.GetLabels().at(0);
  EXPECT_EQ(pair.marker->z, NodeMarkerHeight());
  EXPECT_NEAR(pair.label->m_position[0], 2 + 0.27 / 6, 1e-12);
  EXPECT_NEAR(pair.label->m_position[1], 3 + 0.27 / 6, 1e-12);
  EXPECT_NEAR(pair.label->GetHeightOfText(), 0.2, 1e-12);
  values.SetLabelHeight(0.4);
  EXPECT_NEAR(pair.label->GetHeightOfText(), 0.4, 1e-12);
}

}  // namespace
