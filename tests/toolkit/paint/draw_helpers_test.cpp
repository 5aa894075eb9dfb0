#include "toolkit/paint/draw_helpers.h"

#include "platform/user/system.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string Name(COLORREF c)
{
  return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}

// A memory DC on a white 32-bit bitmap.
class Canvas {
public:
  Canvas(int width, int height)
  {
    CDC screen;
    screen.CreateDC("DISPLAY", nullptr, nullptr, nullptr);
    dc.CreateCompatibleDC(&screen);
    bitmap.CreateCompatibleBitmap(&screen, width, height);
    old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
  }
  ~Canvas() { dc.SelectObject(old); }
  std::string Pixel(int x, int y) { return Name(dc.GetPixel(x, y)); }

  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
};

// The helpers as they are without "msimg32.dll": one-pixel bands whose colours the rules fix exactly.
std::unique_ptr<CTKDrawHelpers> BandHelpers()
{
  user::AbsentSystemModule absent("msimg32.dll");
  auto helpers = std::make_unique<CTKDrawHelpers>();
  EXPECT_FALSE(helpers->HasSystemGradientFill());
  return helpers;
}

TEST(DrawHelpers, TwoPartGradientSplitsAnOddWidthWithTheExtraPixelFirst)
{
  auto helpers = BandHelpers();
  Canvas canvas(5, 1);
  CTKPaintManagerColorGradient gradient;
  gradient.SetStandardValue(RGB(200, 0, 0), RGB(0, 0, 200), 0.75f);
  const RECT rect{0, 0, 5, 1};
  helpers->GradientFillColor(&canvas.dc, &rect, gradient, TRUE);
  // Middle = 0.75 light + 0.25 dark = RGB(150, 0, 50): three pixels light to middle, two middle to dark.
  const char* expected[] = {"RGB(200, 0, 0)", "RGB(183, 0, 16)", "RGB(166, 0, 33)", "RGB(150, 0, 50)",
                            "RGB(75, 0, 125)"};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(canvas.Pixel(x, 0), expected[x]) << "x " << x;
  }
}

TEST(DrawHelpers, GradientIsOneSolidFillOnPaletteScreensAndForEqualColours)
{
  struct Case {
    const char* name;
    int depth;
    COLORREF to;
  };
  const Case cases[] = {{"8 bits a pixel", 8, RGB(0, 0, 255)}, {"equal colours", 0, RGB(10, 120, 30)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetReportedColorDepth(c.depth);
    Canvas canvas(12, 6);
    const RECT rect{1, 1, 11, 5};
    TKDrawHelpers().GradientFill(&canvas.dc, &rect, RGB(10, 120, 30), c.to, TRUE);
    SetReportedColorDepth(0);
    for (int x = 1; x < 11; ++x) {
      EXPECT_EQ(canvas.Pixel(x, 3), "RGB(10, 120, 30)") << "x " << x;
    }
    EXPECT_EQ(canvas.Pixel(0, 3), "RGB(255, 255, 255)");
    EXPECT_EQ(canvas.Pixel(11, 3), "RGB(255, 255, 255)");
  }
}

TEST(DrawHelpers, SystemGradientRunsFromEndToEnd)
{
  ASSERT_TRUE(TKDrawHelpers().HasSystemGradientFill());
  Canvas canvas(1, 100);
  const RECT rect{0, 0, 1, 100};
  TKDrawHelpers().GradientFill(&canvas.dc, &rect, RGB(0, 0, 0), RGB(0, 200, 0), FALSE);
  EXPECT_LE(GetGValue(canvas.dc.GetPixel(0, 0)), 2);
  EXPECT_GE(GetGValue(canvas.dc.GetPixel(0, 99)), 196);
  EXPECT_LT(GetGValue(canvas.dc.GetPixel(0, 40)), GetGValue(canvas.dc.GetPixel(0, 60)));
}

TEST(DrawHelpers, ClippedGradientStartsWithTheColourOfItsPlace)
{
  auto helpers = BandHelpers();
  Canvas canvas(4, 10);
  const RECT rect{0, 0, 4, 10};
  const RECT clip{1, 5, 3, 20};
  helpers->GradientFillClipped(&canvas.dc, &rect, RGB(0, 0, 0), RGB(200, 200, 200), FALSE, &clip);
  EXPECT_EQ(canvas.Pixel(1, 4), "RGB(255, 255, 255)") << "above the clip";
  EXPECT_EQ(canvas.Pixel(0, 7), "RGB(255, 255, 255)") << "left of the clip";
  EXPECT_EQ(canvas.Pixel(3, 7), "RGB(255, 255, 255)") << "right of the clip";
  // Half way down the unclipped rectangle the colour is half way.
  EXPECT_EQ(canvas.Pixel(1, 5), "RGB(100, 100, 100)");
  EXPECT_EQ(canvas.Pixel(2, 9), "RGB(180, 180, 180)");

  Canvas untouched(4, 10);
  const RECT below{0, 12, 4, 20};
  helpers->GradientFillClipped(&untouched.dc, &rect, RGB(0, 0, 0), RGB(200, 200, 200), FALSE, &below);
  EXPECT_EQ(untouched.Pixel(1, 9), "RGB(255, 255, 255)");
}

TEST(DrawHelpers, BlendColorsAndPixels)
{
  EXPECT_EQ(Name(CTKDrawHelpers::BlendColors(RGB(255, 0, 100), RGB(0, 255, 0), 0.25f)), "RGB(63, 191, 25)");
  EXPECT_EQ(Name(CTKDrawHelpers::BlendColors(RGB(255, 255, 255), RGB(255, 255, 255), 1.5f)), "RGB(255, 255, 255)");

  Canvas canvas(3, 1);
  canvas.dc.SetPixel(0, 0, RGB(100, 0, 9));
  canvas.dc.SetPixel(2, 0, RGB(0, 50, 0));
  const POINT pairs[] = {{0, 0}, {2, 0}};
  CTKDrawHelpers::BlendPixels(&canvas.dc, pairs, 2);
  EXPECT_EQ(canvas.Pixel(0, 0), "RGB(50, 25, 4)");
  CTKDrawHelpers::BlendPixels(&canvas.dc, pairs, 0);
  EXPECT_EQ(canvas.Pixel(0, 0), "RGB(50, 25, 4)");
}

TEST(DrawHelpers, BufferDCUsesTheTargetsCoordinatesAndCopiesOnlyItsRectangle)
{
  Canvas target(60, 40);
  {
    CTKBufferDC buffer(target.dc.GetSafeHdc(), CRect(10, 10, 50, 30));
    BITMAP info{};
    GetObject(GetCurrentObject(buffer.GetSafeHdc(), OBJ_BITMAP), sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 50);
    EXPECT_EQ(info.bmHeight, 30);
    buffer.FillSolidRect(0, 0, 50, 30, RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(20, 20), "RGB(255, 255, 255)") << "nothing shows before the buffer goes";
  }
  EXPECT_EQ(target.Pixel(9, 9), "RGB(255, 255, 255)");
  EXPECT_EQ(target.Pixel(10, 10), "RGB(255, 0, 0)");
  EXPECT_EQ(target.Pixel(49, 29), "RGB(255, 0, 0)");
  EXPECT_EQ(target.Pixel(50, 20), "RGB(255, 255, 255)");
  EXPECT_EQ(target.Pixel(20, 30), "RGB(255, 255, 255)");
  EXPECT_EQ(target.Pixel(5, 20), "RGB(255, 255, 255)");
}

TEST(DrawHelpers, MemDCPaintsInPlaceOverItsBackground)
{
  Canvas target(40, 20);
  CTKPaintManagerColorGradient background(RGB(0, 0, 200));
  {
    CTKMemDC mem(&target.dc, CRect(5, 5, 25, 15), background);
    ASSERT_TRUE(mem.IsValid());
    mem.FillSolidRect(10, 8, 2, 2, RGB(0, 255, 0));
  }
  EXPECT_EQ(target.Pixel(4, 5), "RGB(255, 255, 255)");
  EXPECT_EQ(target.Pixel(5, 5), "RGB(0, 0, 200)");
  EXPECT_EQ(target.Pixel(24, 14), "RGB(0, 0, 200)");
  EXPECT_EQ(target.Pixel(25, 14), "RGB(255, 255, 255)");
  EXPECT_EQ(target.Pixel(10, 8), "RGB(0, 255, 0)");
  EXPECT_EQ(target.Pixel(11, 9), "RGB(0, 255, 0)");

  // Without a DC there is nothing to draw on: the buffer is invalid and copies nothing when it goes.
  {
    CTKMemDC orphan(nullptr, CRect(0, 0, 4, 4));
    EXPECT_FALSE(orphan.IsValid());
  }

  // No background colour: what the target had under the rectangle is not kept, but nothing else changes.
  Canvas plain(10, 10);
  { CTKMemDC mem(&plain.dc, CRect(2, 2, 4, 4)); }
  EXPECT_EQ(plain.Pixel(1, 1), "RGB(255, 255, 255)");
  EXPECT_EQ(plain.Pixel(4, 4), "RGB(255, 255, 255)");
}

TEST(DrawHelpers, GuardsRestoreWhatWasSelected)
{
  Canvas canvas(4, 4);
  HDC dc = canvas.dc.GetSafeHdc();
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  {
    CTKPenDC penGuard(dc, RGB(1, 2, 3));
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(penGuard.GetColor(), RGB(1, 2, 3));
    CTKBrushDC brushGuard(dc, RGB(4, 5, 6));
    brushGuard.Color(RGB(0, 0, 255));
    canvas.dc.PatBlt(0, 0, 1, 1, PATCOPY);
    EXPECT_EQ(canvas.Pixel(0, 0), "RGB(0, 0, 255)");
    CFont first;
    CFont second;
    first.CreatePointFont(90, "Arial");
    second.CreatePointFont(120, "Arial");
    CTKFontDC fontGuard(&canvas.dc, &first);
    fontGuard.SetFont(&second);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), second.GetSafeHandle());
    CTKFontDC nothing(&canvas.dc, nullptr);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
}

TEST(DrawHelpers, StripMnemonics)
{
  struct Case {
    const char* text;
    const char* stripped;
  };
  const Case cases[] = {{"&File", "File"},   {"Save &As", "Save As"}, {"A && B", "A & B"}, {"&&x", "&x"},
                        {"Exit&", "Exit"},   {"&&&", "&&"},           {"&", ""},           {"", ""},
                        {"a&&&b", "a&&b"},   {"&&&&", "&&&"},        {"plain", "plain"}};
  for (const Case& c : cases) {
    CString text(c.text);
    CTKDrawHelpers::StripMnemonics(text);
    EXPECT_STREQ(static_cast<LPCSTR>(text), c.stripped) << c.text;
  }
}

TEST(DrawHelpers, KeyToLayoutSwapsArrowsOnlyInRightToLeftWindows)
{
  CWnd leftToRight;
  CWnd rightToLeft;
  ASSERT_TRUE(leftToRight.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  ASSERT_TRUE(rightToLeft.CreateEx(WS_EX_LAYOUTRTL, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  struct Case {
    CWnd* window;
    UINT key;
    UINT expected;
  };
  const Case cases[] = {{&rightToLeft, VK_LEFT, VK_RIGHT}, {&rightToLeft, VK_RIGHT, VK_LEFT},
                        {&rightToLeft, VK_UP, VK_UP},      {&rightToLeft, VK_DOWN, VK_DOWN},
                        {&leftToRight, VK_LEFT, VK_LEFT},  {nullptr, VK_LEFT, VK_LEFT}};
  for (const Case& c : cases) {
    UINT key = c.key;
    CTKDrawHelpers::KeyToLayout(c.window, key);
    EXPECT_EQ(key, c.expected) << c.key;
  }
  leftToRight.DestroyWindow();
  rightToLeft.DestroyWindow();
}

TEST(DrawHelpers, TopParentIsActiveWhenItOrItsLastPopupIsInFront)
{
  CWnd frame;
  CWnd other;
  ASSERT_TRUE(frame.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  ASSERT_TRUE(other.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, nullptr, nullptr));
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame.GetSafeHwnd(), nullptr));
  SetForegroundWindow(frame.GetSafeHwnd());
  EXPECT_TRUE(CTKDrawHelpers::IsTopParentActive(child.GetSafeHwnd()));
  SetForegroundWindow(other.GetSafeHwnd());
  EXPECT_FALSE(CTKDrawHelpers::IsTopParentActive(child.GetSafeHwnd()));
  EXPECT_FALSE(CTKDrawHelpers::IsTopParentActive(nullptr));
  child.DestroyWindow();
  other.DestroyWindow();
  frame.DestroyWindow();
}

TEST(DrawHelpers, WorkAreaOfAPointOffEveryMonitorIsThePrimaryOne)
{
  RECT primary{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &primary, 0);
  EXPECT_EQ(CTKDrawHelpers::GetWorkArea(POINT{-5000, -5000}), CRect(primary));
  EXPECT_EQ(CTKDrawHelpers::GetWorkArea(POINT{10, 10}), CRect(primary));
  EXPECT_EQ(CTKDrawHelpers::GetWorkArea(static_cast<CWnd*>(nullptr)), CRect(primary));
  EXPECT_EQ(CTKWindowRect(static_cast<CWnd*>(nullptr)), CTKEmptyRect());
  EXPECT_EQ(CTKClientRect(nullptr), CTKEmptyRect());
}

TEST(DrawHelpers, DefaultFontIsTheCyrillicInterfaceFontOnThisSystem)
{
  EXPECT_TRUE(CTKDrawHelpers::FontExists("arial"));
  EXPECT_TRUE(CTKDrawHelpers::FontExists("Tahoma"));
  EXPECT_FALSE(CTKDrawHelpers::FontExists("No Such Face"));
  // The interface font is Cyrillic and the system NT 5.1, so its own face wins over Tahoma and Arial.
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
  ASSERT_EQ(gui.lfCharSet, RUSSIAN_CHARSET);
  EXPECT_STREQ(static_cast<LPCSTR>(CTKDrawHelpers::GetDefaultFontName(TRUE)), gui.lfFaceName);
  EXPECT_STREQ(static_cast<LPCSTR>(CTKDrawHelpers::GetDefaultFontName(FALSE)), gui.lfFaceName);
}

}  // namespace
