// The GDI+ subset on surface DCs: start-up rules, where pens, dashes, splines and filled arcs put their pixels
// under the DC's mapping and clip, and that drawing leaves the target's alpha alone.
#include "platform/gdiplus/gdiplus.h"
#include "platform/gdiplus/gdiplus_holder.h"

#include "tests/platform/gdi/picture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gdi::testing::Canvas;

constexpr ARGB kRed = MakeARGB(255, 255, 0, 0);

// One start-up per test, with a graphics object on a fresh canvas.
class GdiplusDraw : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(holder.IsStarted());
    ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), Ok);
  }
  void TearDown() override
  {
    GdipDeleteGraphics(graphics);
    GdipDeletePen(pen);
  }
  GpPen* MakePen(REAL width)
  {
    EXPECT_EQ(GdipCreatePen1(kRed, width, UnitWorld, &pen), Ok);
    return pen;
  }
  char At(int x, int y) const { return canvas.Picture()[y][x]; }

  GdiPlusClass holder;
  Canvas canvas{24, 24};
  GpGraphics* graphics = nullptr;
  GpPen* pen = nullptr;
};

TEST(GdiplusStart, ObjectsNeedAStartUpInForce)
{
  Canvas canvas(4, 4);
  GpGraphics* graphics = nullptr;
  GpPen* pen = nullptr;
  EXPECT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), GdiplusNotInitialized);
  EXPECT_EQ(GdipCreatePen1(kRed, 1, UnitWorld, &pen), GdiplusNotInitialized);
  EXPECT_EQ(graphics, nullptr);

  ULONG_PTR token = 0;
  GdiplusStartupInput wrong;
  wrong.GdiplusVersion = 2;
  EXPECT_EQ(GdiplusStartup(&token, &wrong, nullptr), UnsupportedGdiplusVersion);
  {
    GdiPlusClass outer;
    {
      GdiPlusClass inner;
      EXPECT_TRUE(inner.IsStarted());
    }
    EXPECT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), Ok) << "the outer holder still keeps GDI+ started";
    GpGraphics* none = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(nullptr, &none), OutOfMemory);
    GdipDeleteGraphics(graphics);
  }
  EXPECT_EQ(GdipCreatePen1(kRed, 1, UnitWorld, &pen), GdiplusNotInitialized);
}

TEST_F(GdiplusDraw, ThinPensDrawOnePixelWideAndLeaveAlphaZero)
{
  for (REAL width : {1.0f, 0.01f}) {
    canvas.surface().Fill(0x00FFFFFF);
    ASSERT_EQ(GdipDrawLineI(graphics, MakePen(width), 2, 5, 20, 5), Ok);
    GdipDeletePen(pen);
    pen = nullptr;
    EXPECT_EQ(canvas.InkBounds(), (RECT{2, 5, 20, 6})) << "width " << width;
    EXPECT_EQ(canvas.surface().Pixel(10, 5), 0x00FF0000u) << "red with alpha 0";
  }
}

TEST_F(GdiplusDraw, DashPatternCountsInPenWidths)
{
  MakePen(1);
  ASSERT_EQ(GdipSetPenDashStyle(pen, DashStyleDash), Ok);
  const REAL pattern[] = {3, 4};
  ASSERT_EQ(GdipSetPenDashArray(pen, pattern, 2), Ok);
  ASSERT_EQ(GdipDrawLineI(graphics, pen, 0, 3, 24, 3), Ok);
  EXPECT_EQ(canvas.Picture()[3], "rrr....rrr....rrr....rrr");

  const REAL bad[] = {3, 0};
  EXPECT_EQ(GdipSetPenDashArray(pen, bad, 2), InvalidParameter);
}

TEST_F(GdiplusDraw, CurvePassesThroughItsPointsAndStaysInTheClip)
{
  HRGN clip = CreateRectRgn(0, 0, 12, 24);
  SelectClipRgn(canvas.dc(), clip);
  DeleteObject(clip);
  const GpPointF points[] = {{2, 20}, {8, 4}, {14, 12}, {20, 2}};
  ASSERT_EQ(GdipDrawCurve2(graphics, MakePen(1), points, 4, 0.3f), Ok);
  EXPECT_EQ(At(2, 20), 'r');
  EXPECT_EQ(At(8, 4), 'r');
  EXPECT_LE(canvas.InkBounds().right, 12) << "nothing right of the clip";
  EXPECT_EQ(GdipDrawCurve2(graphics, pen, points, 1, 0.3f), InvalidParameter);
}

TEST_F(GdiplusDraw, ArcPathFillsARingSectorInMappedUnits)
{
  // Logical units of 1/1000 pixel, y up, origin at the centre: as the wizard maps an area in millimetres.
  SetMapMode(canvas.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(canvas.dc(), 24000, 24000, nullptr);
  SetViewportExtEx(canvas.dc(), 24, -24, nullptr);
  SetViewportOrgEx(canvas.dc(), 12, 12, nullptr);
  GpPath* path = nullptr;
  ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
  // Outer radius 10, inner 4, from 90 degrees over 180: in logical y-up space that is the left half.
  GdipAddPathArc(path, -10000, -10000, 20000, 20000, 90, 180);
  GdipAddPathArc(path, -4000, -4000, 8000, 8000, 270, -180);
  GdipClosePathFigure(path);
  GpSolidFill* brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(MakeARGB(255, 0, 0, 255), &brush), Ok);
  ASSERT_EQ(GdipFillPath(graphics, brush, path), Ok);
  EXPECT_EQ(At(4, 12), 'b') << "in the ring, left of the centre";
  EXPECT_EQ(At(11, 12), '.') << "the hole";
  EXPECT_EQ(At(18, 12), '.') << "outside the sweep";
  EXPECT_EQ(At(1, 1), '.') << "outside the ring";
  GdipDeleteBrush(brush);
  GdipDeletePath(path);
}

TEST_F(GdiplusDraw, EllipseOutlineAntiAliasedStaysInsideItsBox)
{
  ASSERT_EQ(GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias), Ok);
  ASSERT_EQ(GdipDrawEllipseI(graphics, MakePen(1), 4, 4, 16, 16), Ok);
  const RECT ink = canvas.InkBounds();
  EXPECT_GE(ink.left, 3);
  EXPECT_LE(ink.right, 22);
  EXPECT_EQ(At(12, 12), '.') << "an outline, not a fill";
  EXPECT_NE(At(4, 12), '.') << "the outline's left edge";
}

}  // namespace
