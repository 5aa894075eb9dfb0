// The cursor read-out on the calculated open-site sample: the value at a node of the result grid, the text of
// the tooltip, and no tooltip outside the area.
#include "geometry/calc_area.h"
#include "geometry/calc_area_manager.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/tools/mse_place_shower_tool.h"
#include "tests/graphics/gl/sample_projects.h"
#include "tests/graphics/tools/tools_fixture.h"

#include <cstdio>
#include <string>

namespace {

class CursorReadout : public ToolsTest {
protected:
  void SetUp() override
  {
    ToolsTest::SetUp();
    MakeDocument(SampleCopy(kSamples[1]));
    MakeView(400, 300);
    Camera().SetViewType(CViewCamera::kPlan);
    Core().Render(TRUE, TRUE);
    Holder().SetCurrentTool(ToolMode::kCursorReadout);
  }
  CMsePlaceShowerTool& Tool() { return *dynamic_cast<CMsePlaceShowerTool*>(Holder().GetCurrentTool()); }
  const CCalcArea* MainArea()
  {
    CCalcAreaManager* manager = Core().GetCalcAreaManager();
    return manager && !manager->GetAreas().empty() ? manager->GetAreas().front().get() : nullptr;
  }
  // A node whose cell has values at all four corners; false when the grid has none.
  static bool FindWholeCell(const CResultGrid& grid, int* row, int* column)
  {
    for (int i = 0; i + 1 < grid.m_rows; ++i) {
      for (int j = 0; j + 1 < grid.m_columns; ++j) {
        if (grid.Node(i, j).state >= 0 && grid.Node(i + 1, j).state >= 0 && grid.Node(i, j + 1).state >= 0 &&
            grid.Node(i + 1, j + 1).state >= 0) {
          *row = i;
          *column = j;
          return true;
        }
      }
    }
    return false;
  }
  // The world point of node (row, column) of the area's grid.
  void NodePoint(const CCalcArea& area, int row, int column, double out[3])
  {
    const CResultGrid& grid = area.m_grid;
    double u = row * grid.m_stepX;
    double v = column * grid.m_stepY;
    if ((grid.m_kind & 1) != 0) {
      const double* extent = Core().GetSceneBuilder()->m_freeForm;
      u -= grid.m_stepX * ((grid.m_rows - 1) / 2) - (extent[1] - extent[0]) / 2;
      v -= grid.m_stepY * ((grid.m_columns - 1) / 2) - (extent[2] - extent[3]) / 2;
    }
    out[0] = area.m_position[0] - area.m_size[0] / 2 + u;
    out[1] = area.m_position[1] - area.m_size[1] / 2 + v;
    out[2] = 0;
  }
};

TEST_F(CursorReadout, TheValueAtANodeIsTheGridsValue)
{
  const CCalcArea* area = MainArea();
  ASSERT_NE(area, nullptr);
  const CResultGrid& grid = area->m_grid;
  ASSERT_GT(grid.m_rows, 4);
  ASSERT_GT(grid.m_columns, 4);
  int checked = 0;
  for (int row = 1; row < grid.m_rows - 1; row += 3) {
    for (int column = 1; column < grid.m_columns - 1; column += 3) {
      const _RESULT_NODE& node = grid.Node(row, column);
      const bool whole = node.state >= 0 && grid.Node(row + 1, column).state >= 0 &&
                         grid.Node(row, column + 1).state >= 0 && grid.Node(row + 1, column + 1).state >= 0;
      if (!whole)
        continue;
      double point[3];
      NodePoint(*area, row, column, point);
      EXPECT_NEAR(Tool().ValueAt(point), node.value, 1e-9 * (1 + node.value)) << row << "," << column;
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
  // Half way between two nodes along x, the value lies half way between theirs.
  int row = 0;
  int column = 0;
  ASSERT_TRUE(FindWholeCell(grid, &row, &column));
  double a[3];
  NodePoint(*area, row, column, a);
  a[0] += grid.m_stepX / 2;
  EXPECT_NEAR(Tool().ValueAt(a), (grid.Node(row, column).value + grid.Node(row + 1, column).value) / 2, 1e-9);
}

TEST_F(CursorReadout, TheTooltipShowsTheCoordinatesAndTheValue)
{
  const CCalcArea* area = MainArea();
  ASSERT_NE(area, nullptr);
  int row = 0;
  int column = 0;
  ASSERT_TRUE(FindWholeCell(area->m_grid, &row, &column));
  double node[3];
  NodePoint(*area, row, column, node);
  // Right above the node and close: the pixel at the view's centre lies within a few millimetres of it.
  Eye() = _DEVCPOSITION{-node[0], -node[1], -1, Eye().angle1, Eye().angle2, Eye().angle3};
  Camera().LoadOrthoProjection();
  Core().Render(FALSE, FALSE);
  const POINT p = PixelOf(node[0], node[1]);
  Send(WM_MOUSEMOVE, 0, p.x, p.y);
  ASSERT_TRUE(Tool().IsTipShown());
  const std::string text = static_cast<LPCSTR>(Tool().GetTipText());
  const double* origin = Core().GetSceneBuilder()->m_sectionOrigin;
  char coordinates[64];
  std::snprintf(coordinates, sizeof coordinates, "[%.1lf;%.1lf]", node[0] - origin[0], node[1] - origin[1]);
  EXPECT_EQ(text.rfind(coordinates, 0), 0u) << text;
  const double value = Tool().ValueAt(node);
  ASSERT_NE(value, -1);
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, "   %.1lf %s", value, (area->m_grid.m_kind & 0xC00) != 0 ? "кд/м^2" : "лк");
  EXPECT_NE(text.find(suffix), std::string::npos) << text;
}

TEST_F(CursorReadout, OutsideTheAreaThereIsNoTooltip)
{
  const double* extent = Core().GetSceneBuilder()->m_freeForm;
  ASSERT_LT(extent[0], extent[1]);
  Send(WM_MOUSEMOVE, 0, 200, 150);
  const POINT outside = PixelOf(extent[1] + 0.3 * (extent[1] - extent[0]), (extent[2] + extent[3]) / 2);
  Send(WM_MOUSEMOVE, 0, outside.x, outside.y);
  EXPECT_FALSE(Tool().IsTipShown());
  EXPECT_TRUE(Tool().GetTipText().IsEmpty());
}

}  // namespace
