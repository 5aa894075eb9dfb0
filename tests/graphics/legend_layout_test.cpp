// The legend's kind word and the layout of its cells: widths from the level count, texts with the quantity's
// decimals and no trailing zeros, units, and texts that never outgrow their cell's buffer.
#include "graphics/core/color_legend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Levels of the values in order, coloured 0x0000FF, 0x00000FF0, ... (each shifted by four bits).
void SetLevels(CColorLegend& legend, std::initializer_list<double> values, int quantity)
{
  CArray<_PREF_OF_COLOR_LEVELS> levels;
  COLORREF colour = 0x0000FF;
  for (double v : values) {
    levels.Add({v, colour, 0});
    colour <<= 4;
  }
  legend.SetLevels(levels, quantity);
}

TEST(LegendKind, PairedBitsExcludeEachOtherAndTheResetWordsReplace)
{
  const struct {
    std::vector<int> calls;  // from a new legend (kind 5)
    int expected;
  } cases[] = {
      {{8}, 0x9},                 // 8 clears 4, keeps 1
      {{8, 4}, 0x5},              // and back
      {{2}, 0x6},                 // 2 clears 1
      {{0x10, 0x20}, 0x25},       // 0x20 clears 0x10
      {{0x40, 0x80}, 0x85},
      {{0x200, 0x100}, 0x105},
      {{0x3F0, 0x400}, 0x400},    // 1024: every bit but 0x400 cleared
      {{0x3F0, 0x401}, 0x401},    // 0x400 with more: cleared first, then OR-ed in
      {{0x3F0, 5}, 5},            // the default word replaces
      {{0x800}, 0x805},           // a bit of no pair is added
      {{0xC}, 0xD},               // both of a pair asked: each clears the other, then both are set
  };
  for (const auto& c : cases) {
    CColorLegend legend;
    EXPECT_EQ(legend.GetKind(), 5);
    std::string trace;
    for (int kind : c.calls) {
      legend.SetKind(kind);
      trace += " " + std::to_string(kind);
    }
    EXPECT_EQ(legend.GetKind(), c.expected) << trace;
  }
}

TEST(LegendLayout, ThreeLevelsShareFiveHundredPixelsAndReadWithoutTrailingZeros)
{
  CColorLegend legend;
  SetLevels(legend, {1.50, 2.00, 0.756}, 0);
  ASSERT_EQ(legend.GetCells().size(), 3u);
  EXPECT_EQ(legend.GetCellWidth(), 166);
  EXPECT_STREQ(legend.GetUnitText(), "кд/м^2");
  const char* texts[] = {"1.5", "2", "0.76"};
  for (int i = 0; i < 3; ++i) {
    const CLegendCell& cell = *legend.GetCells()[i];
    EXPECT_STREQ(cell.text, texts[i]);
    EXPECT_EQ(cell.left, 166 * i);
    EXPECT_EQ(cell.right, 166 * i + 166);
    EXPECT_EQ(cell.top, 20);
    EXPECT_EQ(cell.bottom, 40);
    EXPECT_EQ(cell.textX, cell.left + 83 - cell.textSize.cx / 2);
    EXPECT_EQ(cell.textY, 0);
  }
  // 0x00BBGGRR: the first level is pure red.
  EXPECT_EQ(legend.GetCells()[0]->red, 1.0f);
  EXPECT_EQ(legend.GetCells()[0]->blue, 0.0f);
  EXPECT_FLOAT_EQ(legend.GetCells()[1]->green, 15 / 255.0f);
}

TEST(LegendLayout, IlluminanceHasOneDecimalAndNewLevelsReplaceTheOld)
{
  CColorLegend legend;
  SetLevels(legend, {1.50, 2.00, 3.00, 4.00, 5.00, 6.00, 7.00}, 0);
  SetLevels(legend, {2.0, 7.25, 10.0, 0.04}, 1);
  ASSERT_EQ(legend.GetCells().size(), 4u);
  EXPECT_EQ(legend.GetCellWidth(), 125);
  EXPECT_STREQ(legend.GetUnitText(), "лк");
  EXPECT_STREQ(legend.GetCells()[0]->text, "2");
  EXPECT_STREQ(legend.GetCells()[1]->text, "7.2");  // "%.1f" of 7.25 (binary 7.25 rounds to even)
  EXPECT_STREQ(legend.GetCells()[2]->text, "10");
  EXPECT_STREQ(legend.GetCells()[3]->text, "0");
  EXPECT_EQ(legend.GetCells()[3]->left, 375);
}

TEST(LegendLayout, NoLevelsGiveNoCellsAndHugeValuesStayInTheirCell)
{
  CColorLegend legend;
  SetLevels(legend, {}, 2);
  EXPECT_TRUE(legend.GetCells().empty());
  EXPECT_EQ(legend.GetCellWidth(), 0);

  SetLevels(legend, {1e300, -1e300}, 1);
  ASSERT_EQ(legend.GetCells().size(), 2u);
  for (const CLegendCell* cell : legend.GetCells())
    EXPECT_EQ(std::string(cell->text).size(), 23u);
  EXPECT_EQ(legend.GetCells()[1]->text[0], '-');
}

}  // namespace
