#include "geometry/result_grid.h"

#include "geometry/colour_mapping.h"
#include "model/iresults.h"
#include "model/shell/shell_services.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>
#include <cstring>

namespace {

CGridStatistics g_statistics;

// The arrays of one area kind in the results block.
struct GridSource {
  std::uint32_t rows = 0;
  std::uint32_t columns = 0;
  const float* rowAxis = nullptr;
  std::uint32_t rowAxisLength = 0;
  const float* columnAxis = nullptr;
  const float* values = nullptr;
  const int* states = nullptr;
  std::uint32_t layer = 0;
};

GridSource SourceFor(const _CALC_RESULTS& r, DWORD kind)
{
  GridSource s;
  s.rowAxis = r.xs;
  s.rowAxisLength = r.nX;
  s.rows = r.nX;
  if ((kind & (AreaKind::kMain | AreaKind::kMainIlluminance)) != 0) {
    s.columns = r.nRoad, s.columnAxis = r.yRoad, s.values = r.eRoad, s.states = r.nodeState;
  } else if ((kind & AreaKind::kRightSidewalk) != 0) {
    s.columns = r.nRightWalk, s.columnAxis = r.yRightWalk, s.values = r.eRightWalk;
  } else if ((kind & AreaKind::kOppositeIlluminance) != 0) {
    s.columns = r.nOpp, s.columnAxis = r.yOpp, s.values = r.eOpp;
  } else if ((kind & AreaKind::kLeftSidewalk) != 0) {
    s.columns = r.nLeftWalk, s.columnAxis = r.yLeftWalk, s.values = r.eLeftWalk;
  } else if ((kind & AreaKind::kWalls) != 0) {
    // Wall grids run along their own x points; the road's may be fewer.
    s.rows = r.nWallX;
    s.rowAxis = r.xsWall;
    s.rowAxisLength = r.nWallX;
    if (s.rowAxis == nullptr && r.nWallX <= r.nX) {
      s.rowAxis = r.xs;  // a block without its own wall points: the road's serve as far as they reach
    }
    if ((kind & AreaKind::kLeftWall) != 0) {
      s.columns = r.nLeftWall, s.columnAxis = r.zLeftWall, s.values = r.evLeftWall;
    } else {
      s.columns = r.nRightWall, s.columnAxis = r.zRightWall, s.values = r.evRightWall;
    }
  } else if ((kind & AreaKind::kLeftSidewalkSemiCyl) != 0) {
    s.columns = r.nLeftWalk, s.columnAxis = r.yLeftWalk, s.values = r.escLeftWalk;
  } else if ((kind & AreaKind::kRightSidewalkSemiCyl) != 0) {
    s.columns = r.nRightWalk, s.columnAxis = r.yRightWalk, s.values = r.escRightWalk;
  } else if ((kind & AreaKind::kOppositeLuminance) != 0) {
    s.columns = r.nOpp, s.columnAxis = r.yOpp, s.values = r.lumObserverOpp;
    s.layer = r.shownObserver >= 0 && static_cast<std::uint32_t>(r.shownObserver) < r.nObserversOpp
                  ? static_cast<std::uint32_t>(r.shownObserver)
                  : 0;
  } else if ((kind & AreaKind::kMainLuminance) != 0) {
    s.columns = r.nRoad, s.columnAxis = r.yRoad, s.values = r.lumObserver;
    s.layer = r.shownObserver >= 0 && static_cast<std::uint32_t>(r.shownObserver) < r.nObservers
                  ? static_cast<std::uint32_t>(r.shownObserver)
                  : 0;
  } else {
    s.rows = 0;
  }
  // A block whose arrays are missing for its counts gives no grid rather than a read through null.
  if (s.rows == 0 || s.columns == 0 || s.rowAxis == nullptr || s.columnAxis == nullptr || s.values == nullptr ||
      s.rowAxisLength < s.rows) {
    s.rows = s.columns = 0;
  }
  return s;
}

// Progress in tenths of the nodes; the divisor is at least 1 for grids of fewer than ten nodes.
class TenthsProgress {
public:
  explicit TenthsProgress(std::size_t total) : m_divisor(std::max<std::size_t>(1, total / 10)) {}
  void Step(std::size_t done)
  {
    if (done % m_divisor == 0) {
      SendProgress(static_cast<int>(done / m_divisor * 10));
    }
  }

private:
  std::size_t m_divisor;
};

}  // namespace

CGridStatistics& GridStatistics() { return g_statistics; }

void SendProgress(int percent)
{
  Shell::GetShellServices().SendToMainWindow(UM_PROGRESS, static_cast<WPARAM>(percent), 0);
}

void CResultGrid::Clear()
{
  m_nodes.clear();
  m_nodes.shrink_to_fit();
  m_rows = m_columns = 0;
  m_ownMaximum = 0;
}

void CResultGrid::Fill(const double areaSize[3], const _CALC_RESULTS& results, DWORD kind,
                       const double areaPosition[3])
{
  Clear();
  std::memcpy(m_areaSize, areaSize, sizeof m_areaSize);
  std::memcpy(m_areaPosition, areaPosition, sizeof m_areaPosition);
  m_kind = kind;
  const GridSource source = SourceFor(results, kind);
  if (source.rows == 0) {
    return;
  }
  m_rows = static_cast<int>(source.rows);
  m_columns = static_cast<int>(source.columns);
  // A single row or column has no spacing to measure.
  m_stepX = m_rows > 1 ? source.rowAxis[1] - source.rowAxis[0] : 0;
  m_stepY = m_columns > 1 ? source.columnAxis[1] - source.columnAxis[0] : 0;
  m_nodes.assign(static_cast<std::size_t>(m_rows) * m_columns, _RESULT_NODE{});

  const std::size_t total = m_nodes.size();
  const std::size_t layerOffset = static_cast<std::size_t>(source.layer) * total;
  CGridStatistics& stats = g_statistics;
  SendProgress(1);
  TenthsProgress first(total);
  for (int i = 0; i < m_rows; ++i) {
    for (int j = 0; j < m_columns; ++j) {
      const std::size_t index = static_cast<std::size_t>(i) * m_columns + j;
      _RESULT_NODE& node = m_nodes[index];
      node.value = source.values[layerOffset + index];
      m_ownMaximum = std::max(m_ownMaximum, node.value);
      stats.allNodesMaximum = std::max(stats.allNodesMaximum, node.value);
      node.state = source.states != nullptr ? source.states[index] : 0;
      node.x = source.rowAxis[i];
      node.y = source.columnAxis[j];
      node.z = 0;
      first.Step(index);
    }
  }

  SendProgress(1);
  stats.positiveMinimum = stats.allNodesMaximum;
  TenthsProgress second(total);
  for (std::size_t index = 0; index < total; ++index) {
    const _RESULT_NODE& node = m_nodes[index];
    if ((kind & AreaKind::kMain) == 0 || node.state >= 0) {
      stats.validNodesMaximum = std::max(stats.validNodesMaximum, node.value);
      if (node.value > 0 && node.value < stats.positiveMinimum) {
        stats.positiveMinimum = node.value;
      }
    }
    second.Step(index);
  }
}

int CResultGrid::GetCellCorners(int column, double out[4], int row) const
{
  const _RESULT_NODE* corners[4] = {&Node(row, column), &Node(row, column + 1), &Node(row + 1, column + 1),
                                    &Node(row + 1, column)};
  int empty = 0;
  for (int k = 0; k < 4; ++k) {
    out[k] = corners[k]->value;
    if (corners[k]->state == -1) {
      ++empty;
    }
  }
  return empty == 0 ? 1 : empty == 4 ? 0 : 2;
}

void CResultGrid::Serialize(CArchive& ar)
{
  CGridStatistics& stats = g_statistics;
  if (ar.IsStoring()) {
    ar << m_ownMaximum << stats.allNodesMaximum << stats.validNodesMaximum << stats.positiveMinimum;
    ar << m_rows << m_columns << m_stepX << m_stepY;
    for (double v : m_areaSize) ar << v;
    for (double v : m_areaPosition) ar << v;
    ar << static_cast<int>(m_kind) << m_userGrid;
    for (const _RESULT_NODE& node : m_nodes) {
      ar << node.value << node.state << node.x << node.y << node.z;
    }
    return;
  }
  Clear();
  int kind = 0;
  ar >> m_ownMaximum >> stats.allNodesMaximum >> stats.validNodesMaximum >> stats.positiveMinimum;
  int rows = 0;
  int columns = 0;
  ar >> rows >> columns >> m_stepX >> m_stepY;
  for (double& v : m_areaSize) ar >> v;
  for (double& v : m_areaPosition) ar >> v;
  ar >> kind >> m_userGrid;
  m_kind = static_cast<DWORD>(kind);
  if (rows < 0 || columns < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  constexpr ULONGLONG kNodeBytes = 36;
  ar.EnsureAvailable(static_cast<ULONGLONG>(rows) * static_cast<ULONGLONG>(columns) * kNodeBytes);
  m_nodes.assign(static_cast<std::size_t>(rows) * columns, _RESULT_NODE{});
  m_rows = rows;
  m_columns = columns;
  for (_RESULT_NODE& node : m_nodes) {
    ar >> node.value >> node.state >> node.x >> node.y >> node.z;
  }
}
