#include "model/intensity_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A table in its stored layout from plane angles, gamma angles and one row of values per plane.
CLinkedTable MakeTable(const std::vector<double>& planes, const std::vector<double>& gammas,
                       const std::vector<std::vector<double>>& values)
{
  CLinkedTable t;
  LinkedTableResize(t.get(), static_cast<int>(planes.size()) + 1, static_cast<int>(gammas.size()) + 1);
  for (std::size_t j = 0; j < gammas.size(); ++j)
    LinkedTableFind(t.get(), static_cast<int>(j) + 2, 1)->value = gammas[j];
  for (std::size_t i = 0; i < planes.size(); ++i) {
    LinkedTableFind(t.get(), 1, static_cast<int>(i) + 2)->value = planes[i];
    for (std::size_t j = 0; j < gammas.size(); ++j)
      LinkedTableFind(t.get(), static_cast<int>(j) + 2, static_cast<int>(i) + 2)->value = values[i][j];
  }
  return t;
}

std::vector<double> Column(const CLinkedTable& t, int column)
{
  std::vector<double> out;
  for (int row = 2; row <= t->rows; ++row)
    out.push_back(LinkedTableFind(t.get(), column, row)->value);
  return out;
}

std::vector<double> Row(const CLinkedTable& t, int row)
{
  std::vector<double> out;
  for (int column = 2; column <= t->columns; ++column)
    out.push_back(LinkedTableFind(t.get(), column, row)->value);
  return out;
}

// Every link of the grid agrees with its neighbour: a broken relink shows here before it shows as a crash.
void ExpectLinked(const CLinkedTable& t)
{
  for (int row = 1; row <= t->rows; ++row) {
    for (int column = 1; column <= t->columns; ++column) {
      _LINKED_TABLE_NODE* n = LinkedTableFind(t.get(), column, row);
      ASSERT_NE(n, nullptr);
      EXPECT_EQ(n->right, column < t->columns ? LinkedTableFind(t.get(), column + 1, row) : nullptr);
      EXPECT_EQ(n->down, row < t->rows ? LinkedTableFind(t.get(), column, row + 1) : nullptr);
      if (column == 1) {
        EXPECT_EQ(n->left, nullptr);
      }
      if (row == 1) {
        EXPECT_EQ(n->up, nullptr);
      }
      if (n->right) {
        EXPECT_EQ(n->right->left, n);
      }
      if (n->down) {
        EXPECT_EQ(n->down->up, n);
      }
    }
  }
}

TEST(IntensityTable, RowsAndColumnsGoInAndOutKeepingValues)
{
  CLinkedTable t;
  EXPECT_EQ(LinkedTableInsertRows(t.get(), 3, -1), 3);
  EXPECT_EQ(t->columns, 1);
  EXPECT_EQ(LinkedTableInsertColumns(t.get(), 2, -1), 3);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c)
      LinkedTableFind(t.get(), c, r)->value = 10 * r + c;
  LinkedTableInsertRows(t.get(), 1, 1);
  EXPECT_EQ(Column(t, 2), (std::vector<double>{0, 22, 32}));
  ExpectLinked(t);

  LinkedTableResize(t.get(), 2, 5);
  EXPECT_EQ(t->rows, 2);
  EXPECT_EQ(t->columns, 5);
  EXPECT_EQ(Row(t, 1), (std::vector<double>{12, 13, 0, 0}));
  ExpectLinked(t);

  EXPECT_EQ(LinkedTableFind(t.get(), 6, 1), nullptr);
  EXPECT_EQ(LinkedTableFind(t.get(), 0, 0), t->first);
  EXPECT_EQ(LinkedTableRemoveRows(t.get(), 2), 0);
  EXPECT_EQ(t->columns, 0);
  EXPECT_EQ(t->first, nullptr);
}

// Nodes of removed rows and columns are handed out again: they must come back as new nodes, unlinked and 0.0.
TEST(IntensityTable, RowsAndColumnsRemovedAndInsertedAgainComeBackClean)
{
  CLinkedTable t;
  LinkedTableResize(t.get(), 6, 5);
  ExpectLinked(t);
  for (int r = 1; r <= 6; ++r)
    for (int c = 1; c <= 5; ++c)
      LinkedTableFind(t.get(), c, r)->value = 10 * r + c;
  EXPECT_EQ(LinkedTableRemoveRows(t.get(), 3), 3);
  EXPECT_EQ(LinkedTableRemoveColumns(t.get(), 2), 3);
  ExpectLinked(t);
  EXPECT_EQ(LinkedTableInsertRows(t.get(), 2, 1), 5);
  EXPECT_EQ(LinkedTableInsertColumns(t.get(), 3, 2), 6);
  ExpectLinked(t);
  EXPECT_EQ(Row(t, 1), (std::vector<double>{12, 0, 0, 0, 13}));
  EXPECT_EQ(Row(t, 2), (std::vector<double>{0, 0, 0, 0, 0}));
  EXPECT_EQ(Row(t, 5), (std::vector<double>{32, 0, 0, 0, 33}));
  EXPECT_EQ(Column(t, 1), (std::vector<double>{0, 0, 21, 31}));
  // Emptied by removal, the table starts again from nothing.
  EXPECT_EQ(LinkedTableRemoveColumns(t.get(), 6), 0);
  EXPECT_EQ(t->rows, 0);
  EXPECT_EQ(t->first, nullptr);
  EXPECT_EQ(LinkedTableInsertRows(t.get(), 2, -1), 2);
  EXPECT_EQ(t->columns, 1);
  ExpectLinked(t);
}

// Values come column by column, each from row 1 down, as the file and the luminaire database hold them.
TEST(IntensityTable, AssignTakesValuesColumnByColumn)
{
  const std::vector<double> values{0, 0, 180, 0, 100, 110, 90, 50, 55};
  CLinkedTable t;
  LinkedTableAssign(t.get(), 3, 3, values.data());
  EXPECT_EQ(t->rows, 3);
  EXPECT_EQ(t->columns, 3);
  EXPECT_EQ(Row(t, 1), (std::vector<double>{0, 90}));
  EXPECT_EQ(Column(t, 2), (std::vector<double>{100, 110}));
  EXPECT_EQ(Column(t, 3), (std::vector<double>{50, 55}));
  ExpectLinked(t);

  // The same shape keeps its nodes; another is built anew with the given values.
  const _LINKED_TABLE_NODE* corner = t->first;
  const std::vector<double> again{1, 2, 3, 4, 5, 6, 7, 8, 9};
  LinkedTableAssign(t.get(), 3, 3, again.data());
  EXPECT_EQ(t->first, corner);
  EXPECT_EQ(Column(t, 3), (std::vector<double>{8, 9}));
  LinkedTableAssign(t.get(), 2, 4, again.data());
  EXPECT_EQ(t->rows, 2);
  EXPECT_EQ(t->columns, 4);
  EXPECT_EQ(Row(t, 2), (std::vector<double>{4, 6, 8}));
  ExpectLinked(t);

  LinkedTableAssign(t.get(), 4, 0, nullptr);
  EXPECT_EQ(t->first, nullptr);
  EXPECT_EQ(t->rows, 0);
  EXPECT_EQ(t->columns, 0);
}

// Past the block a table takes ahead of need (a million cells), a table is built node by node: its grid must be
// the same. Walked along the links alone, as a lookup per cell would take too long at this size.
TEST(IntensityTable, ATableOfMillionsOfCellsIsLinkedToo)
{
  constexpr int kRows = 1100;
  constexpr int kColumns = 1000;
  std::vector<double> values(static_cast<std::size_t>(kRows) * kColumns);
  for (std::size_t k = 0; k < values.size(); ++k)
    values[k] = static_cast<double>(k);
  CLinkedTable t;
  LinkedTableAssign(t.get(), kRows, kColumns, values.data());
  int rows = 0;
  int badLinks = 0;
  for (const _LINKED_TABLE_NODE* row = t->first; row; row = row->down, ++rows) {
    int column = 0;
    for (const _LINKED_TABLE_NODE* n = row; n; n = n->right, ++column) {
      badLinks += (n->right && n->right->left != n) + (n->down && n->down->up != n);
      badLinks += (rows == 0) != (n->up == nullptr);
      badLinks += n->value != values[static_cast<std::size_t>(column) * kRows + rows];
    }
    badLinks += column != kColumns;
  }
  EXPECT_EQ(rows, kRows);
  EXPECT_EQ(badLinks, 0);
}

TEST(IntensityTable, AMovedTableLeavesItsSourceEmpty)
{
  CLinkedTable source = MakeTable({0, 90}, {0, 45}, {{1, 2}, {3, 4}});
  const _LINKED_TABLE_NODE* corner = source->first;
  CLinkedTable moved(std::move(source));
  EXPECT_EQ(moved->first, corner);
  EXPECT_EQ(Row(moved, 3), (std::vector<double>{3, 4}));
  EXPECT_EQ(source->first, nullptr);
  EXPECT_EQ(source->rows, 0);
  CLinkedTable other = MakeTable({0}, {0}, {{9}});
  other = std::move(moved);
  EXPECT_EQ(other->first, corner);
  EXPECT_EQ(moved->first, nullptr);
}

TEST(IntensityTable, CopyTakesTheSourceShape)
{
  CLinkedTable src = MakeTable({0, 90}, {0, 45, 90}, {{1, 2, 3}, {4, 5, 6}});
  CLinkedTable dst = MakeTable({0}, {0}, {{9}});
  LinkedTableCopy(dst.get(), src.get());
  EXPECT_EQ(dst->rows, 3);
  EXPECT_EQ(dst->columns, 4);
  EXPECT_EQ(Row(dst, 3), (std::vector<double>{4, 5, 6}));
  ExpectLinked(dst);
}

// Planes and the values that go with them, after completion and re-basing as the engine writers do it.
TEST(IntensityTable, CompletionAndRebasingOverTheSymmetryKinds)
{
  struct Case {
    const char* name;
    std::uint32_t word;
    std::vector<double> planes;
    std::vector<double> completedPlanes;
    std::vector<double> completedFirstValues;  // the value at the first gamma of each completed plane
    std::vector<double> rebasedPlanes;          // empty: the table is not re-based
    std::vector<double> rebasedFirstValues;
  };
  const Case cases[] = {
      {"quadrant C0-C90", 0x10020100u, {0, 45, 90},
       {0, 45, 90, 135, 180, 225, 270, 315, 360}, {0, 45, 90, 45, 0, 45, 90, 45, 0},
       {-180, -135, -90, -45, 0, 45, 90, 135, 180}, {0, 45, 90, 45, 0, 45, 90, 45, 0}},
      {"half C0-C180", 0x10080100u, {0, 90, 180}, {0, 90, 180, 270, 360}, {0, 90, 180, 90, 0},
       {-180, -90, 0, 90, 180}, {180, 90, 0, 90, 180}},
      {"C90-C270", 0x10040100u, {90, 135, 180, 225, 270},
       {0, 45, 90, 135, 180, 225, 270, 315, 360}, {180, 135, 90, 135, 180, 225, 270, 225, 180},
       {-180, -135, -90, -45, 0, 45, 90, 135, 180}, {180, 225, 270, 225, 180, 135, 90, 135, 180}},
      {"one plane", 0x10100100u, {0}, {0, 180}, {0, 0}, {}, {}},
      {"complete C0-C360", 0x10010100u, {0, 90, 180, 270, 360}, {0, 90, 180, 270, 360}, {0, 90, 180, 270, 360},
       {-180, -90, 0, 90, 180}, {180, 270, 0, 90, 180}},
      {"word 0 told from C0-C180 corners", 0, {0, 90, 180}, {0, 90, 180, 270, 360}, {0, 90, 180, 90, 0}, {}, {}},
      {"B planes mirrored", 0x20800100u, {0, 30, 60}, {-60, -30, 0, 30, 60}, {60, 30, 0, 30, 60}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Each plane's values are its own angle, so a mirrored plane shows where it came from.
    std::vector<std::vector<double>> values;
    for (double p : c.planes)
      values.push_back({p, p + 1000});
    CLinkedTable t = MakeTable(c.planes, {0, 90}, values);
    CompleteIntensitySymmetry(t.get(), c.word);
    EXPECT_EQ(Column(t, 1), c.completedPlanes);
    EXPECT_EQ(Column(t, 2), c.completedFirstValues);
    EXPECT_EQ(t->columns, 3);
    ExpectLinked(t);
    if (c.rebasedPlanes.empty())
      continue;
    RebaseIntensityPlanes(t.get());
    EXPECT_EQ(Column(t, 1), c.rebasedPlanes);
    EXPECT_EQ(Column(t, 2), c.rebasedFirstValues);
    ExpectLinked(t);
  }
}

TEST(IntensityTable, BTablesMirrorTheirBetaAnglesToo)
{
  CLinkedTable t = MakeTable({0, 90}, {0, 45, 90}, {{1, 2, 3}, {4, 5, 6}});
  CompleteIntensitySymmetry(t.get(), 0x20400100u);
  EXPECT_EQ(Column(t, 1), (std::vector<double>{-90, 0, 90}));
  EXPECT_EQ(Row(t, 1), (std::vector<double>{-90, -45, 0, 45, 90}));
  EXPECT_EQ(Row(t, 2), (std::vector<double>{6, 5, 4, 5, 6}));
  EXPECT_EQ(Row(t, 3), (std::vector<double>{3, 2, 1, 2, 3}));
  ExpectLinked(t);
}

TEST(IntensityTable, TablesWithoutCornersOrUnknownWordsStayAsTheyAre)
{
  CLinkedTable single = MakeTable({}, {}, {});
  CompleteIntensitySymmetry(single.get(), 0);
  EXPECT_EQ(single->rows, 1);
  CLinkedTable odd = MakeTable({10, 20}, {0, 90}, {{1, 2}, {3, 4}});
  CompleteIntensitySymmetry(odd.get(), 0);
  RebaseIntensityPlanes(odd.get());  // no plane of 180
  EXPECT_EQ(Column(odd, 1), (std::vector<double>{10, 20}));
  CLinkedTable empty;
  CompleteIntensitySymmetry(empty.get(), 0x10020100u);
  EXPECT_EQ(empty->first, nullptr);
}

}  // namespace
