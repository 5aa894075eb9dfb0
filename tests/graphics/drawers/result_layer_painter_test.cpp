// The result pictures copied for GDI: 24-bit pictures byte for byte, 32-bit ones with red and blue exchanged. Node
// value labels: one that would run into an earlier one is left out, and each stands out from what lies under it.
#include "graphics/drawers/result_layer_painter_2d.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ResultLayerPainter, PicturesCopiedForGdiByTheirPixelSize)
{
  for (const bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "32-bit" : "24-bit");
    CWiseDib source;
    if (alpha)
      source.UseAlpha();
    source.Create(3, 2);
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 3; ++column) {
        BYTE* p = source.PixelAt(column, row);
        p[0] = static_cast<BYTE>(10 + column), p[1] = static_cast<BYTE>(20 + row), p[2] = 30;
        if (alpha)
          p[3] = 0xEE;
      }
    const auto copy = CopyResultPicture(source);
    ASSERT_EQ(copy->GetPixelStride(), alpha ? 4 : 3);
    EXPECT_EQ(copy->GetRowStride(), 12);  // 9 and 12 bytes, padded to whole words
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 3; ++column) {
        const BYTE* p = copy->PixelAt(column, row);
        EXPECT_EQ(p[0], alpha ? 30 : 10 + column);
        EXPECT_EQ(p[1], 20 + row);
        EXPECT_EQ(p[2], alpha ? 10 + column : 30);
        if (alpha) {
          EXPECT_EQ(p[3], 0);
        }
      }
  }
}

TEST(ResultLayerPainter, NodeLabelsThatWouldCollideAreLeftOut)
{
  std::vector<RECT> drawn;
  EXPECT_TRUE(PlaceLabel(RECT{10, 10, 30, 20}, drawn));
  const struct {
    RECT box;
    bool placed;
  } cases[] = {{{29, 12, 49, 22}, false},   // overlaps the first by a pixel
               {{30, 10, 50, 20}, true},    // touches it: clear
               {{10, 20, 30, 30}, true},    // the row below
               {{15, 25, 35, 35}, false}};  // overlaps the row below
  for (const auto& c : cases)
    EXPECT_EQ(PlaceLabel(c.box, drawn), c.placed) << c.box.left << "," << c.box.top;
  EXPECT_EQ(drawn.size(), 3u);
}

TEST(ResultLayerPainter, NodeLabelsStandOutFromTheirBackground)
{
  const COLORREF blue = RGB(0, 0, 255);
  const struct {
    COLORREF background;
    COLORREF shown;
  } cases[] = {{RGB(255, 255, 255), blue},                // blue on white stays blue
               {RGB(0, 0, 100), RGB(255, 255, 255)},      // on navy: white
               {RGB(128, 128, 128), RGB(0, 0, 0)},        // on mid grey: black
               {RGB(0, 0, 255), RGB(255, 255, 255)},      // on its own colour: white
               {CLR_INVALID, blue}};                      // nothing known under it
  for (const auto& c : cases)
    EXPECT_EQ(ReadableOn(c.background, blue), c.shown) << std::hex << c.background;
  EXPECT_EQ(ReadableOn(RGB(230, 230, 0), RGB(255, 255, 0)), RGB(0, 0, 0)) << "yellow on light yellow: black";
}

}  // namespace
