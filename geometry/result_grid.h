// The value grid of one calculation area, copied from the area's results block, and the statistics of the
// last rebuild that every grid shares (the ramps and the level rules read them).
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/archive.h"

#include <vector>

struct _CALC_RESULTS;

struct _RESULT_NODE {
  double value = 0;
  int state = -1;  // -1 no value, -2 to be filled from the neighbours, >= 0 a calculated value
  double x = 0;
  double y = 0;
  double z = 0;
};

struct CGridStatistics {
  double allNodesMaximum = 0;
  double validNodesMaximum = 0;
  double positiveMinimum = 0;
};

// Process-wide, reset by the manager before a rebuild and replaced by every loaded grid.
CGridStatistics& GridStatistics();

class CResultGrid {
public:
  // Copies the grid of the area kind from the results; a kind the block has no arrays for leaves it empty.
  void Fill(const double areaSize[3], const _CALC_RESULTS& results, DWORD kind, const double areaPosition[3]);
  // Corner values of cell (i, j): (i, j), (i, j+1), (i+1, j+1), (i+1, j). 1 when none of the four is
  // without a value, 0 when all four are, else 2. The caller keeps i < rows - 1 and j < columns - 1.
  int GetCellCorners(int column, double out[4], int row) const;
  void Clear();
  // Doubles own maximum and the three statistics; rows, columns; steps; size; position; kind; user-grid flag;
  // then the nodes in row order (value, state, x, y, z).
  void Serialize(CArchive& ar);

  bool IsEmpty() const { return m_rows <= 0 || m_columns <= 0; }
  _RESULT_NODE& Node(int row, int column) { return m_nodes[static_cast<std::size_t>(row) * m_columns + column]; }
  const _RESULT_NODE& Node(int row, int column) const
  {
    return m_nodes[static_cast<std::size_t>(row) * m_columns + column];
  }

  double m_ownMaximum = 0;
  int m_rows = 0;
  int m_columns = 0;
  double m_stepX = 0;
  double m_stepY = 0;
  double m_areaSize[3] = {0, 0, 0};
  double m_areaPosition[3] = {0, 0, 0};
  DWORD m_kind = 0;
  int m_userGrid = 0;

private:
  std::vector<_RESULT_NODE> m_nodes;
};

// The progress bar of the main window (0 or 100 hide it).
void SendProgress(int percent);
