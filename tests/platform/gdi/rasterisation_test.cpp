// GDI's pixel rules for lines and shapes, with expected pictures worked out by hand.
#include "picture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using gdi::testing::Canvas;
using Picture = std::vector<std::string>;

struct LineCase {
  const char* name;
  POINT from;
  POINT to;
  Picture expected;
};

TEST(LineTo, LeavesOutTheEndPoint)
{
  const LineCase cases[] = {
      {"right", {0, 1}, {4, 1}, {".....", "####.", ".....", "....."}},
      {"left", {4, 1}, {0, 1}, {".....", ".####", ".....", "....."}},
      {"down", {2, 0}, {2, 3}, {"..#..", "..#..", "..#..", "....."}},
      {"diagonal", {0, 0}, {3, 3}, {"#....", ".#...", "..#..", "....."}},
      {"shallow", {0, 0}, {4, 2}, {"##...", "..##.", ".....", "....."}},
      {"single point is nothing", {2, 2}, {2, 2}, {".....", ".....", ".....", "....."}},
  };
  for (const LineCase& c : cases) {
    Canvas canvas(5, 4);
    MoveToEx(canvas.dc(), c.from.x, c.from.y, nullptr);
    LineTo(canvas.dc(), c.to.x, c.to.y);
    EXPECT_EQ(canvas.Picture(), c.expected) << c.name;
    POINT pos;
    GetCurrentPositionEx(canvas.dc(), &pos);
    EXPECT_EQ(pos, c.to) << c.name;
  }
}

TEST(LineTo, PolylineJoinsDrawEachPixelOnceUnderXor)
{
  Canvas canvas(5, 5);
  SetROP2(canvas.dc(), R2_XORPEN);
  SelectObject(canvas.dc(), GetStockObject(WHITE_PEN));
  const POINT pts[] = {{0, 0}, {4, 0}, {4, 4}};
  Polyline(canvas.dc(), pts, 3);
  // White XOR white is black; the corner (4, 0) ends the first segment and starts the second, so it is drawn
  // once and turns black rather than back to white.
  EXPECT_EQ(canvas.Picture(), (Picture{"#####", "....#", "....#", "....#", "....."}));
}

TEST(LineTo, DashedPenAlternatesWithBackgroundWhenOpaque)
{
  Canvas canvas(8, 1);
  HPEN dot = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  SelectObject(canvas.dc(), dot);
  SetBkColor(canvas.dc(), RGB(255, 0, 0));
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 8, 0);
  EXPECT_EQ(canvas.Picture(), (Picture{"###rrr##"}));
  SetBkMode(canvas.dc(), TRANSPARENT);
  canvas.surface().Fill(0xFFFFFF);
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 8, 0);
  EXPECT_EQ(canvas.Picture(), (Picture{"###...##"}));
  SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
  DeleteObject(dot);
}

TEST(Rectangle, PenOutlinesInsideTheBoundsAndBrushFillsWithin)
{
  Canvas canvas(7, 6);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(canvas.dc(), red);
  Rectangle(canvas.dc(), 1, 1, 6, 5);
  EXPECT_EQ(canvas.Picture(), (Picture{".......", ".#####.", ".#rrr#.", ".#rrr#.", ".#####.", "......."}));
  SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(red);
}

TEST(Rectangle, WithoutPenFillsOnePixelShortOnRightAndBottom)
{
  Canvas canvas(6, 5);
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
  Rectangle(canvas.dc(), 1, 1, 5, 4);
  EXPECT_EQ(canvas.Picture(), (Picture{"......", ".###..", ".###..", "......", "......"}));
}

TEST(Rectangle, WidePenStaysInside)
{
  Canvas canvas(8, 8);
  HPEN wide = CreatePen(PS_INSIDEFRAME, 2, RGB(0, 0, 0));
  SelectObject(canvas.dc(), wide);
  SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
  Rectangle(canvas.dc(), 1, 1, 7, 7);
  EXPECT_EQ(canvas.Picture(),
            (Picture{"........", ".######.", ".######.", ".##..##.", ".##..##.", ".######.", ".######.", "........"}));
  SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
  DeleteObject(wide);
}

TEST(Rectangle, WideSolidPenIsCentredOnTheOutline)
{
  Canvas canvas(9, 9);
  HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  SelectObject(canvas.dc(), wide);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(canvas.dc(), red);
  Rectangle(canvas.dc(), 2, 2, 8, 8);
  // The outline runs through pixels 2 and 7; three pixels wide it reaches 1 and 8.
  EXPECT_EQ(canvas.InkBounds(), (RECT{1, 1, 9, 9}));
  const Picture p = canvas.Picture();
  EXPECT_EQ(p[4][1], '#');
  EXPECT_EQ(p[4][3], '#');
  EXPECT_EQ(p[4][4], 'r');
  EXPECT_EQ(p[5][5], 'r');
  EXPECT_EQ(p[4][6], '#');
  SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
  SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(wide);
  DeleteObject(red);
}

TEST(Ellipse, TouchesEveryEdgeOfItsBoundsAndIsSymmetric)
{
  struct Case {
    RECT box;
    bool pen;
    RECT inked;
  };
  const Case cases[] = {
      {{2, 1, 15, 10}, true, {2, 1, 15, 10}},
      {{2, 1, 15, 10}, false, {2, 1, 14, 9}},
      {{0, 0, 16, 12}, true, {0, 0, 16, 12}},
  };
  for (const Case& c : cases) {
    Canvas canvas(18, 14);
    SelectObject(canvas.dc(), c.pen ? GetStockObject(BLACK_PEN) : GetStockObject(NULL_PEN));
    SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
    Ellipse(canvas.dc(), c.box.left, c.box.top, c.box.right, c.box.bottom);
    const RECT inked = canvas.InkBounds();
    EXPECT_EQ(inked, c.inked);
    const Picture p = canvas.Picture();
    for (int y = inked.top; y < inked.bottom; ++y) {
      std::string row = p[y].substr(inked.left, inked.right - inked.left);
      EXPECT_EQ(row, std::string(row.rbegin(), row.rend())) << "row " << y;
      EXPECT_EQ(p[y], p[inked.top + inked.bottom - 1 - y]) << "row " << y;
    }
    // The corners of the bounds stay clear.
    EXPECT_EQ(p[inked.top][inked.left], '.');
    EXPECT_EQ(p[inked.bottom - 1][inked.right - 1], '.');
  }
}

TEST(Ellipse, PenDrawsTheOutlineAndBrushTheInside)
{
  Canvas canvas(12, 12);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(canvas.dc(), red);
  Ellipse(canvas.dc(), 0, 0, 12, 12);
  const Picture p = canvas.Picture();
  EXPECT_EQ(p[6][0], '#');
  EXPECT_EQ(p[6][11], '#');
  EXPECT_EQ(p[0][6], '#');
  EXPECT_EQ(p[6][1], 'r');
  EXPECT_EQ(p[6][6], 'r');
  SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(red);
}

TEST(RoundRect, CornersAreCutAndEdgesAreStraight)
{
  Canvas canvas(12, 10);
  SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
  RoundRect(canvas.dc(), 1, 1, 11, 9, 4, 4);
  const Picture p = canvas.Picture();
  EXPECT_EQ(canvas.InkBounds(), (RECT{1, 1, 11, 9}));
  EXPECT_EQ(p[1][1], '.');
  EXPECT_EQ(p[8][10], '.');
  EXPECT_EQ(p[1].substr(3, 6), "######");
  EXPECT_EQ(p[4][1], '#');
  EXPECT_EQ(p[4][10], '#');
}

TEST(Polygon, FillsPixelCentresInsideAndThePenTracesTheVertices)
{
  Canvas canvas(6, 6);
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
  const POINT square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
  Polygon(canvas.dc(), square, 4);
  EXPECT_EQ(canvas.Picture(), (Picture{"......", ".####.", ".####.", ".####.", ".####.", "......"}));

  Canvas framed(7, 7);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(framed.dc(), red);
  Polygon(framed.dc(), square, 4);
  EXPECT_EQ(framed.Picture(),
            (Picture{".......", ".#####.", ".#rrr#.", ".#rrr#.", ".#rrr#.", ".#####.", "......."}));
  SelectObject(framed.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(red);
}

TEST(Polygon, FillModeDecidesTheOverlapOfASelfCrossingOutline)
{
  // Two overlapping squares traced in one figure, both counter-clockwise.
  const POINT pts[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {2, 2}, {6, 2}, {6, 6}, {2, 6}, {2, 2}};
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas canvas(6, 6);
    SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
    SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(canvas.dc(), mode);
    Polygon(canvas.dc(), pts, 10);
    EXPECT_EQ(canvas.Picture()[2][2], mode == WINDING ? '#' : '.') << mode;
    EXPECT_EQ(canvas.Picture()[0][0], '#');
    EXPECT_EQ(canvas.Picture()[5][5], '#');
  }
}

TEST(Pixels, SetPixelGetPixelAndFloodFill)
{
  Canvas canvas(5, 5);
  SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
  Rectangle(canvas.dc(), 0, 0, 5, 5);
  EXPECT_EQ(SetPixel(canvas.dc(), 2, 2, RGB(0, 0, 255)), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 2), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(canvas.dc(), 7, 7), CLR_INVALID);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(canvas.dc(), red);
  EXPECT_TRUE(ExtFloodFill(canvas.dc(), 1, 1, RGB(0, 0, 0), FLOODFILLBORDER));
  EXPECT_EQ(canvas.Picture(), (Picture{"#####", "#rrr#", "#rrr#", "#rrr#", "#####"}));
  SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(red);
}

TEST(Paths, FillPathFillsTheClosedFigure)
{
  Canvas canvas(6, 6);
  SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
  BeginPath(canvas.dc());
  MoveToEx(canvas.dc(), 1, 1, nullptr);
  LineTo(canvas.dc(), 5, 1);
  LineTo(canvas.dc(), 5, 5);
  LineTo(canvas.dc(), 1, 5);
  CloseFigure(canvas.dc());
  EndPath(canvas.dc());
  EXPECT_TRUE(FillPath(canvas.dc()));
  EXPECT_EQ(canvas.Picture(), (Picture{"......", ".####.", ".####.", ".####.", ".####.", "......"}));
  EXPECT_FALSE(FillPath(canvas.dc()));  // the path is used up
}

TEST(Paths, FilledBezierPathMakesAnEllipse)
{
  // Four cubic arcs with the circle constant, as elliptic markers are filled.
  constexpr double k = 0.55228475;
  const int a = 10;
  const int b = 6;
  const double unit[13][2] = {{1, 0}, {1, k}, {k, 1}, {0, 1}, {-k, 1}, {-1, k}, {-1, 0},
                              {-1, -k}, {-k, -1}, {0, -1}, {k, -1}, {1, -k}, {1, 0}};
  POINT pts[13];
  for (int i = 0; i < 13; ++i) {
    pts[i] = {static_cast<LONG>(12 + unit[i][0] * a), static_cast<LONG>(8 + unit[i][1] * b)};
  }
  Canvas canvas(24, 16);
  SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
  BeginPath(canvas.dc());
  PolyBezier(canvas.dc(), pts, 13);
  EndPath(canvas.dc());
  ASSERT_TRUE(FillPath(canvas.dc()));
  const RECT inked = canvas.InkBounds();
  EXPECT_LE(std::abs(inked.left - 2), 1);
  EXPECT_LE(std::abs(inked.right - 23), 1);
  EXPECT_LE(std::abs(inked.top - 2), 1);
  EXPECT_LE(std::abs(inked.bottom - 15), 1);
  const Picture p = canvas.Picture();
  EXPECT_EQ(p[8][12], '#');
  EXPECT_EQ(p[inked.top][inked.left], '.');  // corners of the bounds stay clear
}

TEST(Rects, FrameInvertAndFocusRect)
{
  Canvas canvas(6, 5);
  const RECT r{1, 1, 5, 4};
  FrameRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(canvas.Picture(), (Picture{"......", ".####.", ".#..#.", ".####.", "......"}));
  InvertRect(canvas.dc(), &r);
  EXPECT_EQ(canvas.Picture(), (Picture{"......", "......", "..##..", "......", "......"}));
  // Focus dots sit where x + y is even, wherever the frame starts.
  Canvas focus(6, 4);
  const RECT f{0, 0, 5, 3};
  DrawFocusRect(focus.dc(), &f);
  EXPECT_EQ(focus.Picture(), (Picture{"#.#.#.", "......", "#.#.#.", "......"}));
  DrawFocusRect(focus.dc(), &f);
  EXPECT_EQ(focus.Picture(), (Picture{"......", "......", "......", "......"}));
  const RECT shifted{1, 0, 6, 4};
  DrawFocusRect(focus.dc(), &shifted);
  EXPECT_EQ(focus.Picture(), (Picture{"..#.#.", ".#...#", "......", ".#.#.#"}));
}

}  // namespace

namespace {

TEST(HugeFigures, CostOnlyTheirVisiblePartAndDrawNoFalseEdges)
{
  // A circle far larger than the surface, centred well below it: only its top arc crosses the canvas.
  Canvas canvas(20, 10);
  SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
  ASSERT_TRUE(Ellipse(canvas.dc(), -1000000000, 5, 1000000000, 2000000005));
  const Picture p = canvas.Picture();
  EXPECT_EQ(p[5], std::string(20, '#'));  // the top of the circle is flat here
  EXPECT_EQ(p[9], std::string(20, '.'));  // the clip edge is not mistaken for an outline
  SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
  ASSERT_TRUE(Pie(canvas.dc(), -1000000000, -1000000000, 1000000000, 1000000000, 1, 0, 0, 1));
  const POINT far[] = {{-2000000000, -2000000000}, {2000000000, 2000000000}, {-2000000000, 2000000000}};
  ASSERT_TRUE(Polygon(canvas.dc(), far, 3));
  MoveToEx(canvas.dc(), -2000000000, 0, nullptr);
  ASSERT_TRUE(LineTo(canvas.dc(), 2000000000, 0));
  EXPECT_EQ(canvas.Picture()[0], std::string(20, '#'));
}

}  // namespace
