#include "model/intensity_table.h"

#include <algorithm>
#include <vector>

namespace {

using namespace IntensitySymmetry;

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

void DeleteRowFrom(_LINKED_TABLE_NODE* node)
{
  while (node) {
    _LINKED_TABLE_NODE* next = node->right;
    if (node->up)
      node->up->down = nullptr;
    delete node;
    node = next;
  }
}

void DeleteColumnFrom(_LINKED_TABLE_NODE* node)
{
  while (node) {
    _LINKED_TABLE_NODE* next = node->down;
    if (node->left)
      node->left->right = nullptr;
    delete node;
    node = next;
  }
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
    table->first = new _LINKED_TABLE_NODE;
    table->rows = 1;
    table->columns = 1;
    --count;
    after = 1;
  }
  if (after == -1 || after > table->rows)
    after = table->rows;
  after = std::max(after, 1);
  for (int n = 0; n < count; ++n) {
    // The new row goes between row `after` and the one below it, column by column.
    _LINKED_TABLE_NODE* above = RowStart(table, after);
    _LINKED_TABLE_NODE* left = nullptr;
    for (; above; above = above->right) {
      auto* node = new _LINKED_TABLE_NODE;
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
    ++after;
  }
  return table->rows;
}

int LinkedTableInsertColumns(_LINKED_TABLE* table, int count, int after)
{
  if (count <= 0)
    return table->columns;
  if (!table->first) {
    table->first = new _LINKED_TABLE_NODE;
    table->rows = 1;
    table->columns = 1;
    --count;
    after = 1;
  }
  if (after == -1 || after > table->columns)
    after = table->columns;
  after = std::max(after, 1);
  for (int n = 0; n < count; ++n) {
    _LINKED_TABLE_NODE* leftOf = LinkedTableFind(table, after, 1);
    _LINKED_TABLE_NODE* up = nullptr;
    for (; leftOf; leftOf = leftOf->down) {
      auto* node = new _LINKED_TABLE_NODE;
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
    ++after;
  }
  return table->columns;
}

int LinkedTableRemoveRows(_LINKED_TABLE* table, int count)
{
  for (int n = 0; n < count && table->rows > 0; ++n) {
    if (table->rows == 1) {
      DeleteRowFrom(table->first);
      table->first = nullptr;
      table->rows = 0;
      table->columns = 0;
      break;
    }
    DeleteRowFrom(RowStart(table, table->rows));
    --table->rows;
  }
  return table->rows;
}

int LinkedTableRemoveColumns(_LINKED_TABLE* table, int count)
{
  for (int n = 0; n < count && table->columns > 0; ++n) {
    if (table->columns == 1) {
      DeleteColumnFrom(table->first);
      table->first = nullptr;
      table->rows = 0;
      table->columns = 0;
      break;
    }
    DeleteColumnFrom(LinkedTableFind(table, table->columns, 1));
    --table->columns;
  }
  return table->columns;
}

void LinkedTableResize(_LINKED_TABLE* table, int rows, int columns)
{
  // A table of no rows has no columns either, and the other way round.
  if (rows <= 0 || columns <= 0) {
    LinkedTableClear(table);
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

void LinkedTableClear(_LINKED_TABLE* table) { LinkedTableRemoveRows(table, table->rows); }

_LINKED_TABLE* LinkedTableCopy(_LINKED_TABLE* dst, const _LINKED_TABLE* src)
{
  if (dst == src)
    return dst;
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
