#include "model/intensity_table.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

// A table is built, grown and shrunk far more often than a node is looked at alone: opening a project makes
// thousands of tables of tens of thousands of cells. Nodes come from blocks the table owns; a node of a removed
// row or column waits in `spare` for the next insertion, and the blocks go when the table is emptied.
struct LinkedTableArena {
  struct FreeBlock {
    void operator()(void* block) const { ::operator delete(block); }
  };
  // Raw storage: a node is constructed as it is handed out, so a block is written once, not twice.
  std::vector<std::unique_ptr<void, FreeBlock>> blocks;
  _LINKED_TABLE_NODE* next = nullptr;  // the unused rest of the last block
  _LINKED_TABLE_NODE* end = nullptr;
  _LINKED_TABLE_NODE* spare = nullptr;  // chained through `down`
  std::size_t total = 0;                // nodes in all blocks
};

namespace {

using namespace IntensitySymmetry;

// The smallest block, and the largest one taken ahead of need: a hostile count then fails as the nodes are
// actually made, as it did node by node, instead of in one huge request.
constexpr std::size_t kMinBlockNodes = 32;
constexpr std::size_t kMaxReserveNodes = std::size_t{1} << 20;

LinkedTableArena& ArenaOf(_LINKED_TABLE* table)
{
  if (!table->arena)
    table->arena = new LinkedTableArena;
  return *table->arena;
}

void AddBlock(LinkedTableArena& arena, std::size_t nodes)
{
  arena.blocks.emplace_back(::operator new(nodes * sizeof(_LINKED_TABLE_NODE)));
  arena.next = static_cast<_LINKED_TABLE_NODE*>(arena.blocks.back().get());
  arena.end = arena.next + nodes;
  arena.total += nodes;
}

// Room for `count` more nodes in one stretch, unless spares are waiting: they go first.
void Reserve(_LINKED_TABLE* table, std::size_t count)
{
  LinkedTableArena& arena = ArenaOf(table);
  if (arena.spare || count <= static_cast<std::size_t>(arena.end - arena.next))
    return;
  AddBlock(arena, std::max({kMinBlockNodes, std::min(count, kMaxReserveNodes), arena.total}));
}

_LINKED_TABLE_NODE* NewNode(_LINKED_TABLE* table)
{
  LinkedTableArena& arena = ArenaOf(table);
  if (_LINKED_TABLE_NODE* node = arena.spare) {
    arena.spare = node->down;
    *node = _LINKED_TABLE_NODE{};
    return node;
  }
  if (arena.next == arena.end)
    AddBlock(arena, std::max(kMinBlockNodes, arena.total));
  return ::new (arena.next++) _LINKED_TABLE_NODE{};
}

void FreeNode(_LINKED_TABLE* table, _LINKED_TABLE_NODE* node)
{
  node->down = table->arena->spare;
  table->arena->spare = node;
}

// An empty table's first node, its corner, which counts as one row and one column.
void StartTable(_LINKED_TABLE* table)
{
  table->first = NewNode(table);
  table->rows = 1;
  table->columns = 1;
}

// An empty table made rows x columns at once, its values given column by column (null: every value 0.0). The
// nodes lie in that order in one block, so each neighbour is a fixed step away: the up and down neighbours one
// node, the left and right ones a column's height.
void BuildTable(_LINKED_TABLE* table, int rows, int columns, const double* values)
{
  const auto height = static_cast<std::size_t>(rows);
  const auto width = static_cast<std::size_t>(columns);
  Reserve(table, height * width);
  LinkedTableArena& arena = *table->arena;
  if (static_cast<std::size_t>(arena.end - arena.next) < height * width) {
    // More cells than one block is taken ahead for: node by node, each linked to the last of its row.
    std::vector<_LINKED_TABLE_NODE*> leftInRow(height, nullptr);
    for (std::size_t j = 0; j < width; ++j) {
      _LINKED_TABLE_NODE* above = nullptr;
      for (std::size_t i = 0; i < height; ++i) {
        _LINKED_TABLE_NODE* node = NewNode(table);
        if (!table->first)
          table->first = node;
        node->value = values ? *values++ : 0.0;
        node->up = above;
        if (above)
          above->down = node;
        node->left = leftInRow[i];
        if (node->left)
          node->left->right = node;
        leftInRow[i] = node;
        above = node;
      }
    }
  } else {
    _LINKED_TABLE_NODE* block = arena.next;
    arena.next += height * width;
    _LINKED_TABLE_NODE* node = block;
    for (std::size_t j = 0; j < width; ++j) {
      for (std::size_t i = 0; i < height; ++i, ++node) {
        ::new (node) _LINKED_TABLE_NODE{i > 0 ? node - 1 : nullptr, i + 1 < height ? node + 1 : nullptr,
                                        j + 1 < width ? node + height : nullptr, j > 0 ? node - height : nullptr,
                                        values ? *values++ : 0.0};
      }
    }
    table->first = block;
  }
  table->rows = rows;
  table->columns = columns;
}

_LINKED_TABLE_NODE* RowStart(const _LINKED_TABLE* table, int row)
{
  return LinkedTableFind(table, 1, row);
}

double PlaneAngle(const _LINKED_TABLE* table, int row) { return LinkedTableFind(table, 1, row)->value; }

void SetPlaneAngle(_LINKED_TABLE* table, int row, double angle) { LinkedTableFind(table, 1, row)->value = angle; }

// Columns 2 to the last of row `from` into row `to`, walking both rows in step.
void CopyRowValues(_LINKED_TABLE* table, int from, int to)
{
  if (from == to)
    return;
  _LINKED_TABLE_NODE* src = RowStart(table, from)->right;
  _LINKED_TABLE_NODE* dst = RowStart(table, to)->right;
  for (; src && dst; src = src->right, dst = dst->right)
    dst->value = src->value;
}

// Rows 2 to the last of column `from` into column `to`.
void CopyColumnValues(_LINKED_TABLE* table, int from, int to)
{
  _LINKED_TABLE_NODE* src = LinkedTableFind(table, from, 1)->down;
  _LINKED_TABLE_NODE* dst = LinkedTableFind(table, to, 1)->down;
  for (; src && dst; src = src->down, dst = dst->down)
    dst->value = src->value;
}

// Detection of a 0 word from the four corner angles; exact comparisons, as the angles are stored values.
std::uint32_t DetectWord(const _LINKED_TABLE* table)
{
  if (table->rows < 2 || table->columns < 2)
    return 0;
  const double p1 = PlaneAngle(table, 2);
  const double pn = PlaneAngle(table, table->rows);
  const double g1 = LinkedTableFind(table, 2, 1)->value;
  const double gm = LinkedTableFind(table, table->columns, 1)->value;
  if (p1 == -90 && g1 == -90)
    return 0x20200800u;
  if (p1 == -90 && g1 == 0)
    return 0x20800100u;
  if (p1 == 0 && pn == 360)
    return 0x10010000u;
  struct Row {
    double p1, pn, g1, gm;
    bool anyPn;
    std::uint32_t word;
  };
  static constexpr Row kRows[] = {
      {0, 0, 0, 90, false, 0x10100100u},   {0, 0, 0, 180, false, 0x10100200u},  {0, 0, 90, 180, false, 0x10100400u},
      {0, 90, -90, 90, false, 0x20400800u}, {0, 90, 0, 90, false, 0x10020100u},  {0, 90, 0, 180, false, 0x10020200u},
      {0, 90, 90, 180, false, 0x10020400u}, {0, 180, 0, 90, false, 0x10080100u}, {0, 180, 0, 180, false, 0x10080200u},
      {0, 180, 90, 180, false, 0x10080400u}, {90, 0, 0, 90, true, 0x10040100u},  {90, 0, 0, 180, true, 0x10040200u},
      {90, 0, 90, 180, true, 0x10040400u},
  };
  for (const Row& r : kRows) {
    if (p1 == r.p1 && (r.anyPn || pn == r.pn) && g1 == r.g1 && gm == r.gm)
      return r.word;
  }
  return 0;
}

}  // namespace

_LINKED_TABLE_NODE* LinkedTableFind(const _LINKED_TABLE* table, int column, int row)
{
  if (!table->first)
    return nullptr;
  column = std::max(column, 1);
  row = std::max(row, 1);
  if (column > table->columns || row > table->rows)
    return nullptr;
  _LINKED_TABLE_NODE* node = table->first;
  for (int i = 1; i < row && node; ++i)
    node = node->down;
  for (int j = 1; j < column && node; ++j)
    node = node->right;
  return node;
}

int LinkedTableInsertRows(_LINKED_TABLE* table, int count, int after)
{
  if (count <= 0)
    return table->rows;
  if (!table->first) {
    StartTable(table);
    --count;
    after = 1;
  }
  if (after == -1 || after > table->rows)
    after = table->rows;
  after = std::max(after, 1);
  if (count == 0)
    return table->rows;
  Reserve(table, static_cast<std::size_t>(count) * static_cast<std::size_t>(table->columns));
  // Each new row goes between `aboveRow` and the row below it, column by column, and is the next one's above.
  _LINKED_TABLE_NODE* aboveRow = RowStart(table, after);
  for (int n = 0; n < count; ++n) {
    _LINKED_TABLE_NODE* left = nullptr;
    for (_LINKED_TABLE_NODE* above = aboveRow; above; above = above->right) {
      _LINKED_TABLE_NODE* node = NewNode(table);
      node->up = above;
      node->down = above->down;
      if (above->down)
        above->down->up = node;
      above->down = node;
      node->left = left;
      if (left)
        left->right = node;
      left = node;
    }
    ++table->rows;
    aboveRow = aboveRow->down;
  }
  return table->rows;
}

int LinkedTableInsertColumns(_LINKED_TABLE* table, int count, int after)
{
  if (count <= 0)
    return table->columns;
  if (!table->first) {
    StartTable(table);
    --count;
    after = 1;
  }
  if (after == -1 || after > table->columns)
    after = table->columns;
  after = std::max(after, 1);
  if (count == 0)
    return table->columns;
  Reserve(table, static_cast<std::size_t>(count) * static_cast<std::size_t>(table->rows));
  _LINKED_TABLE_NODE* leftColumn = LinkedTableFind(table, after, 1);
  for (int n = 0; n < count; ++n) {
    _LINKED_TABLE_NODE* up = nullptr;
    for (_LINKED_TABLE_NODE* leftOf = leftColumn; leftOf; leftOf = leftOf->down) {
      _LINKED_TABLE_NODE* node = NewNode(table);
      node->left = leftOf;
      node->right = leftOf->right;
      if (leftOf->right)
        leftOf->right->left = node;
      leftOf->right = node;
      node->up = up;
      if (up)
        up->down = node;
      up = node;
    }
    ++table->columns;
    leftColumn = leftColumn->right;
  }
  return table->columns;
}

int LinkedTableRemoveRows(_LINKED_TABLE* table, int count)
{
  if (count <= 0 || table->rows == 0)
    return table->rows;
  // Taking the corner row takes the whole table.
  if (count >= table->rows) {
    LinkedTableClear(table);
    return 0;
  }
  const int kept = table->rows - count;
  _LINKED_TABLE_NODE* lastKept = RowStart(table, kept);
  for (_LINKED_TABLE_NODE* row = lastKept->down; row;) {
    _LINKED_TABLE_NODE* below = row->down;
    for (_LINKED_TABLE_NODE* node = row; node;) {
      _LINKED_TABLE_NODE* next = node->right;
      FreeNode(table, node);
      node = next;
    }
    row = below;
  }
  for (_LINKED_TABLE_NODE* node = lastKept; node; node = node->right)
    node->down = nullptr;
  table->rows = kept;
  return table->rows;
}

int LinkedTableRemoveColumns(_LINKED_TABLE* table, int count)
{
  if (count <= 0 || table->columns == 0)
    return table->columns;
  if (count >= table->columns) {
    LinkedTableClear(table);
    return 0;
  }
  const int kept = table->columns - count;
  _LINKED_TABLE_NODE* lastKept = LinkedTableFind(table, kept, 1);
  for (_LINKED_TABLE_NODE* column = lastKept->right; column;) {
    _LINKED_TABLE_NODE* beside = column->right;
    for (_LINKED_TABLE_NODE* node = column; node;) {
      _LINKED_TABLE_NODE* next = node->down;
      FreeNode(table, node);
      node = next;
    }
    column = beside;
  }
  for (_LINKED_TABLE_NODE* node = lastKept; node; node = node->down)
    node->right = nullptr;
  table->columns = kept;
  return table->columns;
}

void LinkedTableResize(_LINKED_TABLE* table, int rows, int columns)
{
  // A table of no rows has no columns either, and the other way round.
  if (rows <= 0 || columns <= 0) {
    LinkedTableClear(table);
    return;
  }
  if (!table->first) {
    BuildTable(table, rows, columns, nullptr);
    return;
  }
  if (rows > table->rows)
    LinkedTableInsertRows(table, rows - table->rows, -1);
  else if (rows < table->rows)
    LinkedTableRemoveRows(table, table->rows - rows);
  if (columns > table->columns)
    LinkedTableInsertColumns(table, columns - table->columns, -1);
  else if (columns < table->columns)
    LinkedTableRemoveColumns(table, table->columns - columns);
}

void LinkedTableAssign(_LINKED_TABLE* table, int rows, int columns, const double* values)
{
  if (rows <= 0 || columns <= 0) {
    LinkedTableClear(table);
    return;
  }
  if (table->rows == rows && table->columns == columns) {
    for (_LINKED_TABLE_NODE* column = table->first; column; column = column->right) {
      for (_LINKED_TABLE_NODE* node = column; node; node = node->down)
        node->value = *values++;
    }
    return;
  }
  LinkedTableClear(table);
  BuildTable(table, rows, columns, values);
}

void LinkedTableClear(_LINKED_TABLE* table)
{
  delete table->arena;
  table->arena = nullptr;
  table->first = nullptr;
  table->rows = 0;
  table->columns = 0;
}

_LINKED_TABLE* LinkedTableCopy(_LINKED_TABLE* dst, const _LINKED_TABLE* src)
{
  if (dst == src)
    return dst;
  // Every value is overwritten, so a table of another shape is built afresh rather than reshaped.
  if (dst->rows != src->rows || dst->columns != src->columns)
    LinkedTableClear(dst);
  LinkedTableResize(dst, src->rows, src->columns);
  for (_LINKED_TABLE_NODE *s = src->first, *d = dst->first; s && d; s = s->right, d = d->right) {
    for (_LINKED_TABLE_NODE *sc = s, *dc = d; sc && dc; sc = sc->down, dc = dc->down)
      dc->value = sc->value;
  }
  return dst;
}

void CompleteIntensitySymmetry(_LINKED_TABLE* table, std::uint32_t word)
{
  if (!table->first)
    return;
  if (word == 0)
    word = DetectWord(table);
  if (word == 0)
    return;
  const bool systemC = (word & kSystemMask) == kSystemC;
  const bool systemB = (word & kSystemMask) == kSystemB;
  const int d = table->rows;
  const int e = d < 3 ? 1 : d - 2;  // plane intervals

  if (word & (kPlanesComplete | kPlanesBComplete))
    return;

  // A quadrant table needs planes 0 and 90; one plane alone is taken as rotationally symmetric.
  if (systemC && (word & kPlanesQuadrant) && d >= 3) {
    std::vector<double> angles(e + 1);
    for (int k = 0; k <= e; ++k)
      angles[k] = PlaneAngle(table, 2 + k);
    LinkedTableResize(table, 4 * e + 2, table->columns);
    SetPlaneAngle(table, d + e, 180);
    SetPlaneAngle(table, d + 2 * e, 270);
    SetPlaneAngle(table, 4 * e + 2, 360);
    for (int k = 0; k <= e; ++k) {
      const double c = angles[k];
      const int mirrors[3] = {d + e - k, d + e + k, 4 * e + 2 - k};
      const double mirrorAngles[3] = {180 - c, 180 + c, 360 - c};
      for (int m = 0; m < 3; ++m) {
        CopyRowValues(table, 2 + k, mirrors[m]);
        SetPlaneAngle(table, mirrors[m], mirrorAngles[m]);
      }
    }
    return;
  }

  if (systemC && (word & kPlanes90To270)) {
    // Planes below 90: 180 - c mirrors c for every c in (90, 180], inserted under the gamma row in ascending order.
    int inserted = 0;
    for (int original = 3; original <= d; ++original) {
      const int row = original + inserted;
      const double c = PlaneAngle(table, row);
      if (c > 180)
        continue;
      LinkedTableInsertRows(table, 1, 1);
      ++inserted;
      CopyRowValues(table, row + 1, 2);
      SetPlaneAngle(table, 2, 180 - c);
    }
    // Planes above 270: 540 - c mirrors c, appended walking upward from the row above the last.
    const int before = table->rows;
    const int target = 2 * e + 2;
    if (target > before) {
      LinkedTableResize(table, target, table->columns);
      int q = before - 1;
      for (int row = before + 1; row <= target && q >= 2; ++row, --q) {
        CopyRowValues(table, q, row);
        SetPlaneAngle(table, row, 540 - PlaneAngle(table, q));
      }
    }
    return;
  }

  if (systemC && (word & kPlanesHalf)) {
    std::vector<double> angles(e + 1);
    for (int k = 0; k <= e && 2 + k <= d; ++k)
      angles[k] = PlaneAngle(table, 2 + k);
    LinkedTableResize(table, 2 * e + 2, table->columns);
    SetPlaneAngle(table, 2 * e + 2, 360);
    for (int k = 0; k <= e && 2 + k <= d; ++k) {
      CopyRowValues(table, 2 + k, 2 * e + 2 - k);
      SetPlaneAngle(table, 2 * e + 2 - k, 360 - angles[k]);
    }
    return;
  }

  if ((word & kPlanesOne) || (systemC && (word & kPlanesQuadrant))) {
    if (d < 2)
      return;
    LinkedTableResize(table, 3, table->columns);
    CopyRowValues(table, 2, 3);
    SetPlaneAngle(table, 3, 180);
    return;
  }

  if (systemB) {
    if (word & (kPlanesBBoth | kPlanesBPlanes)) {
      int inserted = 0;
      for (int original = 3; original <= d; ++original) {
        const int row = original + inserted;
        const double angle = PlaneAngle(table, row);
        LinkedTableInsertRows(table, 1, 1);
        ++inserted;
        CopyRowValues(table, row + 1, 2);
        SetPlaneAngle(table, 2, -angle);
      }
    }
    if (word & (kPlanesBBoth | kPlanesBAngles)) {
      const int columns = table->columns;
      int inserted = 0;
      for (int original = 3; original <= columns; ++original) {
        const int column = original + inserted;
        const double angle = LinkedTableFind(table, column, 1)->value;
        LinkedTableInsertColumns(table, 1, 1);
        ++inserted;
        CopyColumnValues(table, column + 1, 2);
        LinkedTableFind(table, 2, 1)->value = -angle;
      }
    }
  }
}

void RebaseIntensityPlanes(_LINKED_TABLE* table)
{
  const int n = table->rows;
  int k = 0;
  for (int row = 2; row <= n; ++row) {
    if (PlaneAngle(table, row) == 180) {
      k = row;
      break;
    }
  }
  if (k == 0)
    return;
  const int count = n - k;
  LinkedTableInsertRows(table, count, 1);
  for (int i = 0; i < count; ++i) {
    const int from = k + count + i;
    CopyRowValues(table, from, 2 + i);
    SetPlaneAngle(table, 2 + i, PlaneAngle(table, from) - 360);
  }
  LinkedTableResize(table, n, table->columns);
}
