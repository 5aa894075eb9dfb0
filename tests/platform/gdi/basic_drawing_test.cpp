// Surfaces, surface DCs and the first drawing calls a window's painting makes.
#include "platform/gdi/surface.h"
#include "platform/gdi/windraw.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kRed = 0x00FF0000;
constexpr std::uint32_t kWhite = 0x00FFFFFF;

TEST(Surface, ResizeKeepsTopLeftAndBlackensNewPixels)
{
  gdi::Surface s(2, 2);
  s.Fill(kWhite);
  s.Resize(3, 1);
  EXPECT_EQ(s.Width(), 3);
  EXPECT_EQ(s.Height(), 1);
  EXPECT_EQ(s.Pixel(0, 0), kWhite);
  EXPECT_EQ(s.Pixel(1, 0), kWhite);
  EXPECT_EQ(s.Pixel(2, 0), 0u);
}

TEST(SurfaceDC, FillRectLeavesRightAndBottomEdges)
{
  gdi::Surface s(6, 6);
  HDC dc = gdi::CreateSurfaceDC(s);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT r{1, 1, 4, 3};
  EXPECT_TRUE(FillRect(dc, &r, red));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
      EXPECT_EQ(s.Pixel(x, y), inside ? kRed : 0u) << x << "," << y;
    }
  }
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
  DeleteObject(red);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
}

TEST(SurfaceDC, AreaMovesOriginAndClips)
{
  gdi::Surface s(8, 8);
  HDC dc = gdi::CreateSurfaceDC(s);
  ASSERT_TRUE(gdi::SetSurfaceDCArea(dc, RECT{2, 2, 5, 5}));
  const RECT everything{-10, -10, 100, 100};
  FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  int painted = 0;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      painted += s.Pixel(x, y) == kWhite;
    }
  }
  EXPECT_EQ(painted, 9);
  EXPECT_EQ(s.Pixel(2, 2), kWhite);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 3, 3}));
  DeleteDC(dc);
}

TEST(Objects, SelectObjectReturnsPreviousAndDeletedObjectsStayUsableWhileSelected)
{
  gdi::Surface s(4, 4);
  HDC dc = gdi::CreateSurfaceDC(s);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  HGDIOBJ old = SelectObject(dc, blue);
  EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(blue));
  EXPECT_EQ(GetObjectType(blue), 0);
  SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 0, 0, 3, 3);  // no crash: the DC still holds the brush
  EXPECT_EQ(s.Pixel(0, 0), 0x000000FFu);
  EXPECT_EQ(SelectObject(dc, blue), nullptr);
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
  DeleteDC(dc);
}

}  // namespace
