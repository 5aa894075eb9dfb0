// The legend drawn: in the view's overlay (OpenGL, a 1000 x 100 box) and in report pictures (GDI). Each cell in
// its level's colour, outlined, with its value under it; the pictures are left for a person to read.
#include "graphics/core/color_legend.h"
#include "graphics/core/font_cache.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/gl/palette_gl_surface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct LevelSet {
  const char* name;
  int quantity;
  std::vector<_PREF_OF_COLOR_LEVELS> levels;
};

const LevelSet kLevelSets[] = {
    {"luminance", 0,
     {{0.3, RGB(0, 0, 160), 0},
      {0.5, RGB(0, 64, 255), 0},
      {0.75, RGB(0, 160, 255), 0},
      {1.0, RGB(0, 200, 120), 0},
      {1.25, RGB(120, 220, 0), 0},
      {1.5, RGB(230, 230, 0), 0},
      {1.75, RGB(255, 150, 0), 0},
      {2.0, RGB(255, 60, 0), 0},
      {2.5, RGB(200, 0, 0), 0}}},
    {"illuminance", 1,
     {{5, RGB(40, 40, 200), 0},
      {10, RGB(40, 160, 220), 0},
      {15, RGB(60, 200, 60), 0},
      {20, RGB(240, 200, 0), 0},
      {30, RGB(230, 50, 30), 0}}},
    {"semicylindrical", 2, {{1.5, RGB(90, 90, 255), 0}, {3, RGB(90, 255, 90), 0}, {4.5, RGB(255, 90, 90), 0}}},
};

void Fill(CColorLegend& legend, const LevelSet& set)
{
  CArray<_PREF_OF_COLOR_LEVELS> levels;
  for (const auto& level : set.levels)
    levels.Add(level);
  legend.SetLevels(levels, set.quantity);
}

std::uint32_t Rgb(COLORREF c)
{
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class LegendPictures : public ::testing::Test {
protected:
  void TearDown() override { CFontCache::DestroyInstance(); }
};

TEST_F(LegendPictures, TheOverlayShowsEachLevelInItsColourWithItsValueBelow)
{
  GlSurface surface(1000, 100);
  ASSERT_EQ(CreateLegendFont(), 1);
  for (const LevelSet& set : kLevelSets) {
    SCOPED_TRACE(set.name);
    CColorLegend legend;
    Fill(legend, set);
    surface.Clear(0.086f, 0.243f, 0.412f);
    legend.DrawGL();
    surface.Show(std::string("legend-") + set.name + ".png");

    for (std::size_t i = 0; i < set.levels.size(); ++i) {
      const CLegendCell& cell = *legend.GetCells()[i];
      const int middle = (cell.left + cell.right) / 2;
      EXPECT_EQ(surface.ColourAt(middle, 30), Rgb(set.levels[i].colour)) << i;
      // The outline runs along y = 20, on one of the rows beside it.
      EXPECT_TRUE(surface.ColourAt(middle, 19) == 0xFFFFFFu || surface.ColourAt(middle, 20) == 0xFFFFFFu) << i;
      int textPixels = 0;
      for (int y = 0; y < 18; ++y)
        for (int x = cell.left + 1; x < cell.right - 1; ++x)
          textPixels += surface.ColourAt(x, y) == 0xFFFFFFu;
      EXPECT_GT(textPixels, 8) << "value of " << i;
    }
    int unitPixels = 0;
    for (int y = 0; y < 18; ++y)
      for (int x = 510; x < 600; ++x)
        unitPixels += surface.ColourAt(x, y) == 0xFFFFFFu;
    EXPECT_GT(unitPixels, 8);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LegendPictures, AHiddenLegendOrOneWithoutItsFontDrawsNoText)
{
  GlSurface surface(1000, 100);
  CColorLegend legend;
  Fill(legend, kLevelSets[1]);

  // No legend font: the cells, but no text through lists that do not exist.
  surface.Clear(0, 0, 0);
  legend.DrawGL();
  surface.Show();
  EXPECT_EQ(surface.ColourAt(50, 30), Rgb(kLevelSets[1].levels[0].colour));
  for (int x = 0; x < 1000; ++x)
    ASSERT_EQ(surface.ColourAt(x, 5), 0u) << x;

  legend.SetKind(kLegendHidden);
  surface.Clear(0, 0, 0);
  legend.DrawGL();
  surface.Show();
  EXPECT_EQ(surface.ColourAt(50, 30), 0u);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LegendPictures, TheReportVariantDrawsTheCellsFromItsCornerAndRestoresTheDC)
{
  gdi::Surface picture(720, 60);
  HDC dc = gdi::CreateSurfaceDC(picture);
  PatBlt(dc, 0, 0, 720, 60, WHITENESS);
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);

  CColorLegend legend;
  Fill(legend, kLevelSets[0]);
  legend.DrawGDI(20, 10, dc);
  EXPECT_TRUE(gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/legend-report-luminance.png"));

  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  const int cellWidth = legend.GetCellWidth();
  ASSERT_EQ(cellWidth, 55);
  for (std::size_t i = 0; i < kLevelSets[0].levels.size(); ++i) {
    const int middle = 20 + static_cast<int>(i) * cellWidth + cellWidth / 2;
    EXPECT_EQ(GetPixel(dc, middle, 20) & 0xFFFFFF, kLevelSets[0].levels[i].colour) << i;
    int ink = 0;
    for (int y = 35; y < 55; ++y)
      for (int x = middle - cellWidth / 2 + 1; x < middle + cellWidth / 2; ++x)
        ink += (GetPixel(dc, x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(ink, 8) << "value of " << i;
  }
  DeleteDC(dc);
}

}  // namespace
