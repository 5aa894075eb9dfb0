// The result pictures copied for GDI: 24-bit pictures byte for byte, 32-bit ones with red and blue exchanged.
#include "graphics/drawers/result_layer_painter_2d.h"

#include <gtest/gtest.h>

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

}  // namespace
