// Blits and raster operations, alpha blending, gradients, regions and clipping, mapping modes and saved states.
#include "picture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using gdi::testing::Canvas;
using Picture = std::vector<std::string>;

// A memory DC on a 2 x 2 bitmap of black and white pixels given as a picture.
struct Tile {
  explicit Tile(HDC like, const Picture& p) : dc(CreateCompatibleDC(like)), bitmap(CreateCompatibleBitmap(like, 2, 2))
  {
    old = SelectObject(dc, bitmap);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 2; ++x) {
        SetPixel(dc, x, y, p[y][x] == '#' ? RGB(0, 0, 0) : RGB(255, 255, 255));
      }
    }
  }
  ~Tile()
  {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

TEST(BitBlt, TernaryOperationsOnEveryCombinationOfPatternSourceAndDestination)
{
  // Source rows are 0 0 / 1 1 and destination columns 0 1, so the four pixels hold the four (S, D) pairs;
  // white is 1. Each case is run with a black pattern (P = 0) and a white one (P = 1).
  struct Case {
    const char* name;
    DWORD rop;
    Picture withBlackPattern;
    Picture withWhitePattern;
  };
  const Case cases[] = {
      {"SRCCOPY", SRCCOPY, {"##", ".."}, {"##", ".."}},
      {"SRCPAINT", SRCPAINT, {"#.", ".."}, {"#.", ".."}},
      {"SRCAND", SRCAND, {"##", "#."}, {"##", "#."}},
      {"SRCINVERT", SRCINVERT, {"#.", ".#"}, {"#.", ".#"}},
      {"SRCERASE", SRCERASE, {"##", ".#"}, {"##", ".#"}},
      {"NOTSRCCOPY", NOTSRCCOPY, {"..", "##"}, {"..", "##"}},
      {"NOTSRCERASE", NOTSRCERASE, {".#", "##"}, {".#", "##"}},
      {"MERGECOPY", MERGECOPY, {"##", "##"}, {"##", ".."}},
      {"MERGEPAINT", MERGEPAINT, {"..", "#."}, {"..", "#."}},
      {"PATCOPY", PATCOPY, {"##", "##"}, {"..", ".."}},
      {"PATPAINT", PATPAINT, {"..", "#."}, {"..", ".."}},
      {"PATINVERT", PATINVERT, {"#.", "#."}, {".#", ".#"}},
      {"DSTINVERT", DSTINVERT, {".#", ".#"}, {".#", ".#"}},
      {"BLACKNESS", BLACKNESS, {"##", "##"}, {"##", "##"}},
      {"WHITENESS", WHITENESS, {"..", ".."}, {"..", ".."}},
  };
  Canvas screen(2, 2);
  for (const Case& c : cases) {
    for (bool whitePattern : {false, true}) {
      Tile source(screen.dc(), {"##", ".."});
      Tile dest(screen.dc(), {"#.", "#."});
      SelectObject(dest.dc, GetStockObject(whitePattern ? WHITE_BRUSH : BLACK_BRUSH));
      ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 2, 2, source.dc, 0, 0, c.rop)) << c.name;
      Picture got(2, "..");
      for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
          got[y][x] = GetPixel(dest.dc, x, y) == RGB(0, 0, 0) ? '#' : '.';
        }
      }
      EXPECT_EQ(got, whitePattern ? c.withWhitePattern : c.withBlackPattern) << c.name << " white=" << whitePattern;
    }
  }
}

TEST(BitBlt, MonochromeSourceTakesTheDestinationColours)
{
  Canvas canvas(2, 1);
  const BYTE bits[] = {0x40, 0x00};  // pixel 0 is 0, pixel 1 is 1
  HBITMAP mono = CreateBitmap(2, 1, 1, 1, bits);
  HDC mem = CreateCompatibleDC(canvas.dc());
  SelectObject(mem, mono);
  SetTextColor(canvas.dc(), RGB(255, 0, 0));
  SetBkColor(canvas.dc(), RGB(0, 0, 255));
  BitBlt(canvas.dc(), 0, 0, 2, 1, mem, 0, 0, SRCCOPY);
  EXPECT_EQ(canvas.Picture(), (Picture{"rb"}));
  DeleteDC(mem);
  DeleteObject(mono);
}

TEST(BitBlt, ColourSourceOntoMonochromeMatchesTheSourceBackground)
{
  Canvas canvas(3, 1);
  SetPixel(canvas.dc(), 0, 0, RGB(255, 0, 0));
  SetBkColor(canvas.dc(), RGB(255, 0, 0));
  HDC mem = CreateCompatibleDC(canvas.dc());
  HBITMAP mask = CreateBitmap(3, 1, 1, 1, nullptr);
  SelectObject(mem, mask);
  BitBlt(mem, 0, 0, 3, 1, canvas.dc(), 0, 0, SRCCOPY);
  BYTE bits[2] = {};
  GetBitmapBits(mask, 2, bits);
  EXPECT_EQ(bits[0], 0x80);  // only the red pixel became white
  DeleteDC(mem);
  DeleteObject(mask);
}

TEST(StretchBlt, DoublesEachPixelAndMirrorsWithANegativeWidth)
{
  Canvas canvas(4, 2);
  Canvas source(2, 1);
  SetPixel(source.dc(), 0, 0, RGB(255, 0, 0));
  StretchBlt(canvas.dc(), 0, 0, 4, 2, source.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(canvas.Picture(), (Picture{"rr..", "rr.."}));
  StretchBlt(canvas.dc(), 4, 0, -4, 2, source.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(canvas.Picture(), (Picture{"..rr", "..rr"}));
}

TEST(AlphaBlend, ConstantAndPremultipliedPerPixelAlpha)
{
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  Canvas canvas(2, 1);
  HBITMAP dib = CreateDIBSection(canvas.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  auto* px = static_cast<std::uint32_t*>(bits);
  px[0] = 0x80800000;  // half-covered red, premultiplied
  px[1] = 0xFF00FF00;  // opaque green
  HDC mem = CreateCompatibleDC(canvas.dc());
  SelectObject(mem, dib);

  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(canvas.dc(), 0, 0, 2, 1, mem, 0, 0, 2, 1, perPixel));
  // white * (255 - 128) / 255 = 127 under the red's 128
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(255, 127, 127));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), RGB(0, 255, 0));

  canvas.surface().Fill(0);
  BLENDFUNCTION constant{AC_SRC_OVER, 0, 128, 0};
  ASSERT_TRUE(AlphaBlend(canvas.dc(), 0, 0, 2, 1, mem, 0, 0, 2, 1, constant));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), RGB(0, 128, 0));

  // A source rectangle outside the source fails.
  EXPECT_FALSE(AlphaBlend(canvas.dc(), 0, 0, 2, 1, mem, 1, 0, 2, 1, constant));
  DeleteDC(mem);
  DeleteObject(dib);
}

TEST(GradientFill, RectanglesStepFromTheFirstColourTowardsTheSecond)
{
  Canvas canvas(4, 4);
  TRIVERTEX v[2];
  v[0] = {0, 0, 0, 0, 0, 0};
  v[1] = {4, 4, 0xFF00, 0, 0, 0};
  GRADIENT_RECT r{0, 1};
  ASSERT_TRUE(GradientFill(canvas.dc(), v, 2, &r, 1, GRADIENT_FILL_RECT_H));
  // 0xFF00 * k / 4 for k = 0..3, top byte: 0, 63, 127, 191.
  const BYTE expected[] = {0, 63, 127, 191};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(GetPixel(canvas.dc(), x, 2), RGB(expected[x], 0, 0)) << x;
  }
  ASSERT_TRUE(GradientFill(canvas.dc(), v, 2, &r, 1, GRADIENT_FILL_RECT_V));
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(GetPixel(canvas.dc(), 3, y), RGB(expected[y], 0, 0)) << y;
  }
  GRADIENT_RECT bad{0, 5};
  EXPECT_FALSE(GradientFill(canvas.dc(), v, 2, &bad, 1, GRADIENT_FILL_RECT_H));
}

TEST(Regions, CombineModesAndFills)
{
  struct Case {
    int mode;
    int kind;
    Picture expected;
  };
  const Case cases[] = {
      {RGN_AND, SIMPLEREGION, {".....", ".....", "..#..", ".....", "....."}},
      {RGN_OR, COMPLEXREGION, {"###..", "###..", "#####", "..###", "..###"}},
      {RGN_XOR, COMPLEXREGION, {"###..", "###..", "##.##", "..###", "..###"}},
      {RGN_DIFF, COMPLEXREGION, {"###..", "###..", "##...", ".....", "....."}},
  };
  for (const Case& c : cases) {
    Canvas canvas(5, 5);
    HRGN a = CreateRectRgn(0, 0, 3, 3);
    HRGN b = CreateRectRgn(2, 2, 5, 5);
    HRGN out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.kind) << c.mode;
    FillRgn(canvas.dc(), out, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(canvas.Picture(), c.expected) << c.mode;
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(out);
  }
}

TEST(Regions, FrameRgnAndPolygonRegion)
{
  Canvas canvas(5, 5);
  HRGN r = CreateRectRgn(0, 0, 5, 4);
  FrameRgn(canvas.dc(), r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);
  EXPECT_EQ(canvas.Picture(), (Picture{"#####", "#...#", "#...#", "#####", "....."}));
  const POINT tri[] = {{0, 0}, {4, 0}, {0, 4}};
  HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(t, 0, 0));
  // Pixels whose centres lie inside: row 1 (centre y 1.5) ends before x 2.5.
  EXPECT_TRUE(PtInRegion(t, 1, 1));
  EXPECT_FALSE(PtInRegion(t, 2, 1));
  EXPECT_TRUE(PtInRegion(t, 0, 2));
  EXPECT_FALSE(PtInRegion(t, 1, 2));
  EXPECT_FALSE(PtInRegion(t, 0, 3));
  RECT box;
  EXPECT_EQ(GetRgnBox(t, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 3, 3}));
  DeleteObject(r);
  DeleteObject(t);
}

TEST(Clipping, ExcludeAndIntersectLimitDrawingAndSaveDCRestoresThem)
{
  Canvas canvas(5, 3);
  const int saved = SaveDC(canvas.dc());
  EXPECT_EQ(IntersectClipRect(canvas.dc(), 0, 0, 4, 3), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(canvas.dc(), 1, 1, 2, 2), COMPLEXREGION);
  const RECT all{0, 0, 5, 3};
  FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(canvas.Picture(), (Picture{"####.", "#.##.", "####."}));
  RECT box;
  GetClipBox(canvas.dc(), &box);
  EXPECT_EQ(box, (RECT{0, 0, 4, 3}));
  EXPECT_TRUE(RestoreDC(canvas.dc(), saved));
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 5, 3}));
  EXPECT_FALSE(RestoreDC(canvas.dc(), saved));
}

TEST(Mapping, AnisotropicExtentsAndOriginsScaleDrawing)
{
  Canvas canvas(8, 8);
  SetMapMode(canvas.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(canvas.dc(), 100, 100, nullptr);
  SetViewportExtEx(canvas.dc(), 10, 10, nullptr);
  SetViewportOrgEx(canvas.dc(), 2, 1, nullptr);
  const RECT r{0, 0, 30, 20};
  FillRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(canvas.InkBounds(), (RECT{2, 1, 5, 3}));
  POINT p{50, 50};
  LPtoDP(canvas.dc(), &p, 1);
  EXPECT_EQ(p, (POINT{7, 6}));
  DPtoLP(canvas.dc(), &p, 1);
  EXPECT_EQ(p, (POINT{50, 50}));
  // Clip boxes come back in logical units.
  RECT box;
  GetClipBox(canvas.dc(), &box);
  EXPECT_EQ(box, (RECT{-20, -10, 60, 70}));
}

TEST(DibSection, BottomUpRowsAndGetDIBits)
{
  Canvas screen(1, 1);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 2;  // bottom-up
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  HDC mem = CreateCompatibleDC(screen.dc());
  SelectObject(mem, dib);
  SetPixel(mem, 1, 0, RGB(255, 0, 0));
  const auto* px = static_cast<const std::uint32_t*>(bits);
  EXPECT_EQ(px[3], 0x00FF0000u);  // the top row is stored last
  EXPECT_EQ(px[1], 0u);

  BITMAPINFO query{};
  query.bmiHeader.biWidth = 2;
  query.bmiHeader.biHeight = -2;  // ask for top-down rows
  query.bmiHeader.biBitCount = 32;
  std::uint32_t out[4] = {};
  EXPECT_EQ(GetDIBits(mem, dib, 0, 2, out, &query, DIB_RGB_COLORS), 2);
  EXPECT_EQ(out[1], 0x00FF0000u);
  query.bmiHeader.biBitCount = 24;
  query.bmiHeader.biHeight = 2;
  BYTE rgb[16] = {};
  EXPECT_EQ(GetDIBits(mem, dib, 0, 2, rgb, &query, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rgb[8 + 3 + 2], 0xFF);  // second stored row is the top; 8-byte rows; red is the third byte
  DeleteDC(mem);
  DeleteObject(dib);
}

TEST(CompatibleBitmap, AFreshMemoryDCMakesMonochromeBitmaps)
{
  Canvas screen(1, 1);
  HDC mem = CreateCompatibleDC(screen.dc());
  HBITMAP fromMem = CreateCompatibleBitmap(mem, 4, 4);
  HBITMAP fromScreen = CreateCompatibleBitmap(screen.dc(), 4, 4);
  BITMAP bm;
  GetObject(fromMem, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  GetObject(fromScreen, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmWidthBytes, 16);
  DeleteObject(fromMem);
  DeleteObject(fromScreen);
  DeleteDC(mem);
}

TEST(Brushes, HatchAndPatternBrushesFollowTheBrushOrigin)
{
  Canvas canvas(4, 2);
  const BYTE checker[] = {0x80, 0, 0x40, 0};  // 2 x 2 rows: "1 0" and "0 1"
  HBITMAP pattern = CreateBitmap(2, 2, 1, 1, checker);
  HBRUSH brush = CreatePatternBrush(pattern);
  SetTextColor(canvas.dc(), RGB(0, 0, 0));
  SetBkColor(canvas.dc(), RGB(255, 0, 0));
  const RECT r{0, 0, 4, 2};
  FillRect(canvas.dc(), &r, brush);
  EXPECT_EQ(canvas.Picture(), (Picture{"r#r#", "#r#r"}));
  SetBrushOrgEx(canvas.dc(), 1, 0, nullptr);
  FillRect(canvas.dc(), &r, brush);
  EXPECT_EQ(canvas.Picture(), (Picture{"#r#r", "r#r#"}));
  DeleteObject(brush);
  DeleteObject(pattern);
}

TEST(SysValues, ClassicPaletteAndMetrics)
{
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
  Canvas canvas(1, 1);
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), BITSPIXEL), 32);
  SetReportedColorDepth(8);
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), BITSPIXEL), 8);
  SetReportedColorDepth(0);
  // FillRect takes a system colour index plus one in place of a brush.
  const RECT r{0, 0, 1, 1};
  FillRect(canvas.dc(), &r, reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_BTNFACE + 1)));
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(212, 208, 200));
}

}  // namespace

namespace {

TEST(StretchBlt, HalftoneAveragesTheSourcePixelsItCovers)
{
  Canvas source(2, 2);
  SetPixel(source.dc(), 0, 0, RGB(0, 0, 0));
  SetPixel(source.dc(), 1, 1, RGB(0, 0, 0));
  Canvas dest(1, 1);
  SetStretchBltMode(dest.dc(), HALFTONE);
  StretchBlt(dest.dc(), 0, 0, 1, 1, source.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(GetPixel(dest.dc(), 0, 0), RGB(128, 128, 128));  // (0 + 255 + 255 + 0) / 4, rounded
}

TEST(TransparentBlt, SkipsTheKeyColour)
{
  Canvas source(3, 1);
  SetPixel(source.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(source.dc(), 1, 0, RGB(0, 255, 0));
  Canvas dest(3, 1);
  dest.surface().Fill(0);
  ASSERT_TRUE(TransparentBlt(dest.dc(), 0, 0, 3, 1, source.dc(), 0, 0, 3, 1, RGB(255, 255, 255)));
  EXPECT_EQ(dest.Picture(), (Picture{"rg#"}));
}

TEST(MaskBlt, ForegroundWhereTheMaskIsSetBackgroundElsewhere)
{
  Canvas source(2, 1);
  source.surface().Fill(0xFF0000);
  Canvas dest(2, 1);
  const BYTE maskBits[] = {0x80, 0};  // first pixel set
  HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskBits);
  ASSERT_TRUE(MaskBlt(dest.dc(), 0, 0, 2, 1, source.dc(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
  EXPECT_EQ(dest.Picture(), (Picture{"r."}));
  DeleteObject(mask);
}

TEST(Rop2, NotAndXorPenInvertAndRestore)
{
  Canvas canvas(4, 1);
  SetROP2(canvas.dc(), R2_NOT);
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 2, 0);
  EXPECT_EQ(canvas.Picture(), (Picture{"##.."}));
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  SelectObject(canvas.dc(), red);
  SetROP2(canvas.dc(), R2_XORPEN);
  for (int pass = 0; pass < 2; ++pass) {
    MoveToEx(canvas.dc(), 0, 0, nullptr);
    LineTo(canvas.dc(), 4, 0);
  }
  EXPECT_EQ(canvas.Picture(), (Picture{"##.."}));
  SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
  DeleteObject(red);
}

TEST(Curves, BezierWithControlPointsOnTheLineIsTheLine)
{
  Canvas canvas(8, 3);
  const POINT pts[] = {{0, 1}, {2, 1}, {5, 1}, {7, 1}};
  ASSERT_TRUE(PolyBezier(canvas.dc(), pts, 4));
  EXPECT_EQ(canvas.Picture()[1].substr(0, 7), "#######");
  EXPECT_EQ(canvas.Picture()[0], "........");
  EXPECT_FALSE(PolyBezier(canvas.dc(), pts, 3));
}

TEST(Curves, PieFillsOnlyItsQuarter)
{
  Canvas canvas(21, 21);
  SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  // From the radial towards the right to the one going up, counter-clockwise: the upper right quarter.
  Pie(canvas.dc(), 0, 0, 21, 21, 20, 10, 10, 0);
  const Picture p = canvas.Picture();
  EXPECT_EQ(p[5][15], '#');
  EXPECT_EQ(p[5][5], '.');
  EXPECT_EQ(p[15][15], '.');
  EXPECT_EQ(p[15][5], '.');
}

TEST(DibFunctions, BottomUpTwentyFourBitRowsLandRightSideUp)
{
  // 2 x 2, bottom row first: bottom red, white; top blue, black. Rows padded to 8 bytes.
  const BYTE bits[] = {0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0};
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 2;
  info.bmiHeader.biBitCount = 24;
  Canvas canvas(2, 2);
  EXPECT_EQ(SetDIBitsToDevice(canvas.dc(), 0, 0, 2, 2, 0, 0, 0, 2, bits, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(canvas.Picture(), (Picture{"b#", "r."}));
  Canvas big(4, 4);
  EXPECT_EQ(StretchDIBits(big.dc(), 0, 0, 4, 4, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(big.Picture(), (Picture{"bb##", "bb##", "rr..", "rr.."}));
  info.bmiHeader.biBitCount = 7;
  EXPECT_EQ(SetDIBitsToDevice(canvas.dc(), 0, 0, 2, 2, 0, 0, 0, 2, bits, &info, DIB_RGB_COLORS), 0);
}

TEST(Mapping, AdvancedModeAppliesTheWorldTransform)
{
  Canvas canvas(10, 10);
  EXPECT_FALSE(SetWorldTransform(canvas.dc(), nullptr));
  SetGraphicsMode(canvas.dc(), GM_ADVANCED);
  XFORM scale{2, 0, 0, 2, 1, 1};
  ASSERT_TRUE(SetWorldTransform(canvas.dc(), &scale));
  const RECT r{0, 0, 2, 2};
  FillRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(canvas.InkBounds(), (RECT{1, 1, 5, 5}));
}

}  // namespace

namespace {

TEST(BitBlt, OverlappingCopyWithinOneSurfaceScrollsCleanly)
{
  // Scrolling down by one row and right by one pixel within the same surface.
  Canvas canvas(4, 4);
  SetPixel(canvas.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(canvas.dc(), 1, 1, RGB(0, 0, 255));
  SetPixel(canvas.dc(), 2, 2, RGB(0, 255, 0));
  BitBlt(canvas.dc(), 1, 1, 3, 3, canvas.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(canvas.Picture(), (Picture{"r...", ".r..", "..b.", "...g"}));
}

TEST(Objects, DcBrushAndDcPenTakeTheirColoursFromTheDC)
{
  Canvas canvas(5, 5);
  SelectObject(canvas.dc(), GetStockObject(DC_BRUSH));
  SelectObject(canvas.dc(), GetStockObject(DC_PEN));
  SetDCBrushColor(canvas.dc(), RGB(255, 0, 0));
  SetDCPenColor(canvas.dc(), RGB(0, 0, 255));
  Rectangle(canvas.dc(), 0, 0, 5, 5);
  EXPECT_EQ(canvas.Picture(), (Picture{"bbbbb", "brrrb", "brrrb", "brrrb", "bbbbb"}));
}

TEST(PatBlt, HalftonePatternInvertsTwiceBackToTheStart)
{
  Canvas canvas(4, 2);
  const BYTE rows[] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  HBITMAP checker = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH halftone = CreatePatternBrush(checker);
  HGDIOBJ old = SelectObject(canvas.dc(), halftone);
  PatBlt(canvas.dc(), 0, 0, 4, 2, PATINVERT);
  // Set bits take the background colour (white) and invert white to black; clear bits are black and leave it.
  EXPECT_EQ(canvas.Picture(), (Picture{"#.#.", ".#.#"}));
  PatBlt(canvas.dc(), 0, 0, 4, 2, PATINVERT);
  EXPECT_EQ(canvas.Picture(), (Picture{"....", "...."}));
  EXPECT_FALSE(PatBlt(canvas.dc(), 0, 0, 4, 2, SRCCOPY));
  SelectObject(canvas.dc(), old);
  DeleteObject(halftone);
  DeleteObject(checker);
}

}  // namespace

namespace {

TEST(DibSection, TwentyFourBitSectionKeepsTheCallersBytes)
{
  Canvas screen(1, 1);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 2;  // bottom-up, rows of 8 bytes
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  auto* bytes = static_cast<BYTE*>(bits);
  bytes[0] = 255;  // bottom-left pixel blue, written directly
  HDC mem = CreateCompatibleDC(screen.dc());
  HGDIOBJ old = SelectObject(mem, dib);
  EXPECT_EQ(GetPixel(mem, 0, 1), RGB(0, 0, 255));
  SetPixel(mem, 1, 0, RGB(255, 0, 0));  // top-right, the second stored row
  SelectObject(mem, old);
  EXPECT_EQ(bytes[8 + 3 + 2], 255);
  EXPECT_EQ(bytes[8 + 3 + 0], 0);
  DIBSECTION ds;
  ASSERT_EQ(GetObject(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 8);
  EXPECT_EQ(ds.dsBm.bmBits, bits);
  info.bmiHeader.biBitCount = 16;
  EXPECT_EQ(CreateDIBSection(screen.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  DeleteDC(mem);
  DeleteObject(dib);
}

}  // namespace
