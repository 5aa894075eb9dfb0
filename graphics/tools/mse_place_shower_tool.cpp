#include "graphics/tools/mse_place_shower_tool.h"

#include "geometry/calc_area.h"
#include "geometry/calc_area_manager.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/tools/tool_holder.h"
#include "graphics/tools/tool_tip.h"

#include <cstdio>

namespace {

// Calculation-area kinds on the two building walls, and the grid kinds of luminance grids.
constexpr DWORD kLeftWallArea = 0x80;
constexpr DWORD kRightWallArea = 0x100;
constexpr DWORD kLuminanceGrid = 0xC00;
// Grid kind bit: the grid is centred on its area.
constexpr DWORD kCentredGrid = 0x1;

constexpr double kNoValue = -1;

}  // namespace

CMsePlaceShowerTool::CMsePlaceShowerTool(CGraphicCoreFull* core)
    : CNavigatorTool(core),
      m_tooltip(core && core->GetToolHolder() ? core->GetToolHolder()->GetToolTip() : nullptr),
      m_extent(core && core->GetSceneBuilder() ? core->GetSceneBuilder()->m_freeForm : nullptr),
      m_origin(core && core->GetSceneBuilder() ? core->GetSceneBuilder()->m_sectionOrigin : nullptr)
{
}

BOOL CMsePlaceShowerTool::PointInExtent(const double point[3]) const
{
  if (!m_extent)
    return FALSE;
  return m_extent[0] <= point[0] && point[0] <= m_extent[1] && m_extent[3] <= point[1] && point[1] <= m_extent[2];
}

double CMsePlaceShowerTool::ValueAt(const double point[3], DWORD* gridKind) const
{
  double result = kNoValue;
  // Asked at every use: a loaded project or another active area replaces the managers.
  CCalcAreaManager* manager = m_core ? m_core->GetCalcAreaManager() : nullptr;
  if (!manager || !m_camera)
    return result;
  const DWORD view = m_camera->m_viewType;
  for (const auto& owned : manager->GetAreas()) {
    const CCalcArea* area = owned.get();
    if (!area)
      continue;
    const DWORD kind = area->m_kind;
    if (view == CViewCamera::kLeftWall && (kind & kLeftWallArea) == 0)
      continue;
    if (view == CViewCamera::kRightWall && (kind & kRightWallArea) == 0)
      continue;
    const double cx = area->m_position[0], cy = area->m_position[1], cz = area->m_position[2];
    const double halfW = area->m_size[0] / 2, halfH = area->m_size[1] / 2;
    const bool wall = (kind & (kLeftWallArea | kRightWallArea)) != 0;
    const double along = wall ? point[2] : point[1];
    const double centre = wall ? cz : cy;
    if (point[0] < cx - halfW || point[0] > cx + halfW || along < centre - halfH || along > centre + halfH)
      continue;
    double u = (kind & kRightWallArea) != 0 ? cx + halfW - point[0] : point[0] - (cx - halfW);
    double v = along - (centre - halfH);
    const CResultGrid& grid = area->m_grid;
    if (gridKind)
      *gridKind = grid.m_kind;
    // A grid needs a whole cell and a step to interpolate in.
    if (grid.m_rows < 2 || grid.m_columns < 2 || grid.m_stepX <= 0 || grid.m_stepY <= 0)
      continue;
    if ((grid.m_kind & kCentredGrid) != 0 && m_extent) {
      u += grid.m_stepX * ((grid.m_rows - 1) / 2) - (m_extent[1] - m_extent[0]) / 2;
      v += grid.m_stepY * ((grid.m_columns - 1) / 2) - (m_extent[2] - m_extent[3]) / 2;
    }
    if (u < 0 || v < 0)
      continue;
    int row = static_cast<int>(u / grid.m_stepX);
    int column = static_cast<int>(v / grid.m_stepY);
    if (row > grid.m_rows - 1 || column > grid.m_columns - 1)
      continue;
    // A point on the far edge of the grid lies in the last cell.
    if (row == grid.m_rows - 1)
      --row;
    if (column == grid.m_columns - 1)
      --column;
    double corners[4];
    if (grid.GetCellCorners(column, corners, row) == 0)
      continue;
    const double tx = (u - row * grid.m_stepX) / grid.m_stepX;
    const double ty = (v - column * grid.m_stepY) / grid.m_stepY;
    const double a = corners[0] + tx * (corners[3] - corners[0]);
    const double b = corners[1] + tx * (corners[2] - corners[1]);
    result = a + ty * (b - a);
  }
  return result;
}

void CMsePlaceShowerTool::OnMouseMove(UINT flags, int x, int y)
{
  if (x == m_lastWindowX && y == m_lastWindowY)
    return;
  CNavigatorTool::OnMouseMove(flags, x, y);
  if (m_mode == NavigatorMode::kPan || !m_camera)
    return;
  double world[3] = {static_cast<double>(x), static_cast<double>(y), 0};
  if (!m_camera->WindowToWorld(world))
    return;
  const DWORD view = m_camera->m_viewType;
  const bool wall = view == CViewCamera::kLeftWall || view == CViewCamera::kRightWall;
  if (!(wall || (view == CViewCamera::kPlan && PointInExtent(world)))) {
    HideToolTip(m_tooltip);
    m_tipShown = FALSE;
    m_tipText = CString();
    return;
  }
  DWORD gridKind = 0;
  const double value = ValueAt(world, &gridKind);
  char suffix[64] = "";
  if (value != kNoValue)
    std::snprintf(suffix, sizeof suffix, (gridKind & kLuminanceGrid) != 0 ? "   %.1lf кд/м^2" : "   %.1lf лк",
                  value);
  const double originX = m_origin ? m_origin[0] : 0;
  const double originY = m_origin ? m_origin[1] : 0;
  char text[160];
  std::snprintf(text, sizeof text, "[%.1lf;%.1lf]%s", world[0] - originX, wall ? world[2] : world[1] - originY,
                suffix);
  m_tipText = text;
  m_tipShown = TRUE;
  m_lastWindowX = x;
  m_lastWindowY = y;
  ShowToolTipText(m_tooltip, m_view, m_tipText);
}

void CMsePlaceShowerTool::OnLButtonDown(UINT flags, int x, int y)
{
  m_mode = NavigatorMode::kPan;
  CNavigatorTool::OnLButtonDown(flags, x, y);
}

void CMsePlaceShowerTool::OnLButtonUp(UINT, int, int)
{
  m_dragging = FALSE;
  m_mode = NavigatorMode::kIdle;
}

void CMsePlaceShowerTool::OnMouseWheel(UINT, int delta, int, int)
{
  HideToolTip(m_tooltip);
  m_tipShown = FALSE;
  if (m_camera)
    m_camera->ZoomAtPoint(m_cursor, delta);
}
