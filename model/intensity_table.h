// The luminous intensity table of a luminaire: a grid of doubles built from four-way linked nodes, so that whole
// rows and columns go in and out anywhere without moving the rest. Rows and columns count from 1.
//
// Layout: row 1 holds the gamma (or beta) angles from column 2 on, column 1 the plane angles (C or B) from row 2
// on; the node at column j, row i (both at least 2) is the intensity in that plane at that angle, cd/klm. Angles
// ascend along a row and down a column. The corner node carries nothing that is read.
#pragma once

#include <cstdint>
#include <utility>

struct _LINKED_TABLE_NODE {
  _LINKED_TABLE_NODE* up = nullptr;
  _LINKED_TABLE_NODE* down = nullptr;
  _LINKED_TABLE_NODE* right = nullptr;
  _LINKED_TABLE_NODE* left = nullptr;
  double value = 0.0;
};

// Where a table's nodes live: a few large blocks instead of one allocation per cell. Private to the table code.
struct LinkedTableArena;

struct _LINKED_TABLE {
  _LINKED_TABLE_NODE* first = nullptr;  // column 1, row 1; null when empty
  int rows = 0;
  int columns = 0;
  // Owns every node of the table and goes with the table's last node. A table copied by value would share it:
  // tables are copied with LinkedTableCopy.
  LinkedTableArena* arena = nullptr;
};

// The symmetry word of a luminaire: which part of the distribution its table holds.
namespace IntensitySymmetry {
inline constexpr std::uint32_t kSystemMask = 0xF0000000u;
inline constexpr std::uint32_t kSystemC = 0x10000000u;  // C-planes, gamma angles
inline constexpr std::uint32_t kSystemB = 0x20000000u;  // B-planes, beta angles
inline constexpr std::uint32_t kPlanesComplete = 0x010000u;    // C0..C360
inline constexpr std::uint32_t kPlanesQuadrant = 0x020000u;    // C0..C90
inline constexpr std::uint32_t kPlanes90To270 = 0x040000u;     // C90..C270
inline constexpr std::uint32_t kPlanesHalf = 0x080000u;        // C0..C180
inline constexpr std::uint32_t kPlanesOne = 0x100000u;         // rotationally symmetric
inline constexpr std::uint32_t kPlanesBComplete = 0x200000u;
inline constexpr std::uint32_t kPlanesBBoth = 0x400000u;       // mirror planes and beta angles
inline constexpr std::uint32_t kPlanesBPlanes = 0x800000u;     // mirror planes
inline constexpr std::uint32_t kPlanesBAngles = 0x1000000u;    // mirror beta angles
inline constexpr std::uint32_t kGamma0To90 = 0x0100u;
inline constexpr std::uint32_t kGamma0To180 = 0x0200u;
inline constexpr std::uint32_t kGamma90To180 = 0x0400u;
inline constexpr std::uint32_t kGammaMinus90To90 = 0x0800u;
}  // namespace IntensitySymmetry

// The node at a position; null outside the table. A column or row below 1 counts as 1.
_LINKED_TABLE_NODE* LinkedTableFind(const _LINKED_TABLE* table, int column, int row);
// `count` rows directly below row `after` (0 acts as 1; -1: below the last). An empty table first gets its corner
// node, which counts as one of the rows. Answers the new row count.
int LinkedTableInsertRows(_LINKED_TABLE* table, int count, int after);
int LinkedTableInsertColumns(_LINKED_TABLE* table, int count, int after);
// Removes the last rows (columns); a table emptied this way has both counts 0. Answers the new count.
int LinkedTableRemoveRows(_LINKED_TABLE* table, int count);
int LinkedTableRemoveColumns(_LINKED_TABLE* table, int count);
// Rows first, then columns, added or removed at the end; kept cells keep their values, new ones are 0.0. An empty
// table is built whole, its nodes column by column in one block, the order the file and the engines walk them.
void LinkedTableResize(_LINKED_TABLE* table, int rows, int columns);
// The table takes rows x columns values given column by column, each column from row 1 down, as the file and the
// luminaire database hold them. A table of that shape keeps its nodes; any other is built afresh in one block
// rather than grown or cut row by row. No rows or no columns: an empty table, and `values` is not read.
void LinkedTableAssign(_LINKED_TABLE* table, int rows, int columns, const double* values);
// Frees every node at once; the table is empty after.
void LinkedTableClear(_LINKED_TABLE* table);
// dst takes src's shape and values.
_LINKED_TABLE* LinkedTableCopy(_LINKED_TABLE* dst, const _LINKED_TABLE* src);

// Completes a partial table to the full set of planes by mirroring, as its symmetry word says; a word of 0 is
// first told from the corner angles.
void CompleteIntensitySymmetry(_LINKED_TABLE* table, std::uint32_t word);
// A C-plane table with planes 0..360 (one of them exactly 180) becomes one with planes -180..180 of the same size.
void RebaseIntensityPlanes(_LINKED_TABLE* table);

// The least-surprise owner of a table for code that keeps one by value.
class CLinkedTable {
public:
  CLinkedTable() = default;
  CLinkedTable(const CLinkedTable& other) { LinkedTableCopy(&m_table, &other.m_table); }
  CLinkedTable& operator=(const CLinkedTable& other)
  {
    LinkedTableCopy(&m_table, &other.m_table);
    return *this;
  }
  // The nodes and their arena change owner; nothing is copied.
  CLinkedTable(CLinkedTable&& other) noexcept : m_table(std::exchange(other.m_table, _LINKED_TABLE{})) {}
  CLinkedTable& operator=(CLinkedTable&& other) noexcept
  {
    if (this != &other) {
      LinkedTableClear(&m_table);
      m_table = std::exchange(other.m_table, _LINKED_TABLE{});
    }
    return *this;
  }
  ~CLinkedTable() { LinkedTableClear(&m_table); }

  _LINKED_TABLE* get() { return &m_table; }
  const _LINKED_TABLE* get() const { return &m_table; }
  _LINKED_TABLE* operator->() { return &m_table; }
  const _LINKED_TABLE* operator->() const { return &m_table; }

private:
  _LINKED_TABLE m_table;
};
