#include "toolkit/paint/paint_manager.h"

#include "platform/base/clock.h"
#include "platform/user/uxtheme.h"
#include "tests/toolkit/paint/bar_gallery.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/theme_default.h"
#include "toolkit/paint/theme_office2003.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Name(COLORREF c)
{
  return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}

class PaintManager : public ::testing::Test {
protected:
  void TearDown() override
  {
    CTKPaintManager::Done();
    uxtheme::SetTestTheme(uxtheme::Theme::None);
    TKColorManager().RefreshColors();
  }
};

TEST_F(PaintManager, ThemesInstallByNumber)
{
  EXPECT_EQ(CTKPaintManager::GetCurrentIfAny(), nullptr);
  // Asking for the current one before any is installed installs the Default theme.
  EXPECT_EQ(TKPaintManager()->BaseTheme(), tkThemeDefault);
  EXPECT_EQ(TKPaintManager()->GetCurrentTheme(), tkThemeDefault);

  const struct {
    int number;
    int base;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}, {4, 4}, {7, 0}, {-1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    CTKPaintManager::SetTheme(c.number);
    EXPECT_EQ(TKPaintManager()->BaseTheme(), c.base);
    EXPECT_EQ(TKPaintManager()->GetCurrentTheme(), c.number);
  }
  auto* custom = new TKPaintThemes::CTKOfficeTheme();
  CTKPaintManager::SetCustomTheme(custom);
  EXPECT_EQ(TKPaintManager(), custom);
  EXPECT_EQ(custom->GetCurrentTheme(), tkThemeCustom);
  CTKPaintManager::Done();
  EXPECT_EQ(CTKPaintManager::GetCurrentIfAny(), nullptr);
}

TEST_F(PaintManager, ColourTableReadsIndicesAndLiteralColours)
{
  CTKPaintManager::SetTheme(tkThemeOffice);
  CTKPaintManager* pm = TKPaintManager();
  EXPECT_EQ(pm->GetColor(62), 62u);
  EXPECT_EQ(pm->GetColor(61), TKColorManager().GetColor(61));
  EXPECT_EQ(pm->GetColor(15), TKColorManager().GetColor(15));
  pm->m_arrColor[15].SetCustomValue(RGB(1, 2, 3));
  EXPECT_EQ(pm->GetColor(15), RGB(1, 2, 3));
  const int index = 15;
  const COLORREF standard = RGB(9, 9, 9);
  pm->SetColors(1, &index, &standard);
  EXPECT_EQ(pm->GetColor(15), RGB(1, 2, 3));  // the custom value still wins
  EXPECT_EQ(pm->m_arrColor[15].GetStandardValue(), RGB(9, 9, 9));
  EXPECT_EQ(pm->m_clrStatusText, pm->GetColor(18));
}

TEST_F(PaintManager, FontsFollowTheMenuFont)
{
  EXPECT_EQ(CTKPaintManager::StandardFontHeight(-8), -11);
  EXPECT_EQ(CTKPaintManager::StandardFontHeight(-1), -11);
  EXPECT_EQ(CTKPaintManager::StandardFontHeight(8), 8);
  EXPECT_EQ(CTKPaintManager::StandardFontHeight(-14), -14);

  CTKPaintManager* pm = TKPaintManager();
  CTKLogFont lf;
  lf.lfHeight = -20;
  std::strcpy(lf.lfFaceName, "Arial");
  pm->SetCommandBarsFontIndirect(&lf, FALSE);
  EXPECT_FALSE(pm->m_bUseStandardFont);
  LOGFONTA regular{};
  pm->m_fontRegular.GetLogFont(&regular);
  EXPECT_EQ(regular.lfHeight, -20);
  LOGFONTA bold{};
  pm->m_fontBold.GetLogFont(&bold);
  EXPECT_EQ(bold.lfWeight, FW_BOLD);
  LOGFONTA vert{};
  pm->m_fontVert.GetLogFont(&vert);
  EXPECT_EQ(vert.lfEscapement, 2700);
  EXPECT_EQ(vert.lfOrientation, 900);
  EXPECT_EQ(pm->GetCommandBarFont(tkBarLeft, TRUE), &pm->m_fontVertBold);
  EXPECT_EQ(pm->GetCommandBarFont(tkBarFloating, FALSE), &pm->m_fontRegular);

  CDC screen;
  screen.CreateCompatibleDC(nullptr);
  CFont* old = screen.SelectObject(&pm->m_fontRegular);
  EXPECT_EQ(pm->m_nTextHeight, screen.GetTextExtent(CString(" ")).cy + 6);
  screen.SelectObject(old);

  // A null font only stores the flag.
  pm->SetCommandBarsFontIndirect(nullptr, TRUE);
  EXPECT_TRUE(pm->m_bUseStandardFont);
  EXPECT_NE(pm->m_fontRegular.GetSafeHandle(), nullptr);
}

TEST_F(PaintManager, CheckMarkStrokesAreTwoRowsOrThreeWhenThick)
{
  for (const BOOL thick : {FALSE, TRUE}) {
    SCOPED_TRACE(thick);
    tktest::Canvas canvas(40, 40, RGB(255, 255, 255));
    CTKPaintManager* pm = TKPaintManager();
    pm->m_bThickCheckMark = thick;
    pm->DrawCheckMark(&canvas.dc, CRect(0, 0, 20, 20), RGB(0, 0, 0));
    // Centre (10, 10): x0 = y0 = 0; the short stroke runs from (6, 9) down to (8, 11).
    int rows = 0;
    for (int y = 0; y < 20; ++y) {
      rows += canvas.dc.GetPixel(7, y) == RGB(0, 0, 0) ? 1 : 0;
    }
    EXPECT_EQ(rows, thick ? 3 : 2);
    EXPECT_EQ(canvas.dc.GetPixel(7, 10), RGB(0, 0, 0));
    pm->m_bThickCheckMark = FALSE;
  }
}

TEST_F(PaintManager, FadeShowsAllButTheLastFrameOnTheVirtualClock)
{
  platform::VirtualClock clock;
  platform::ScopedClock scoped(clock);
  tktest::Canvas destination(30, 20, RGB(0, 0, 0));
  tktest::Canvas source(30, 20, RGB(255, 255, 255));
  CTKPaintManager* pm = TKPaintManager();
  const DWORD start = GetTickCount();
  pm->Animate(&destination.dc, &source.dc, CRect(0, 0, 30, 20), 4);
  // 9 blended frames of 10 ms each, the last at a = 255 * 9 / 10 = 229: (255 * 229) >> 8.
  EXPECT_EQ(GetTickCount() - start, 90u);
  EXPECT_EQ(Name(destination.dc.GetPixel(15, 10)), Name(RGB(228, 228, 228)));

  // No steps: nothing at all.
  pm->m_nAnimationSteps = 0;
  tktest::Canvas untouched(30, 20, RGB(0, 0, 0));
  pm->Animate(&untouched.dc, &source.dc, CRect(0, 0, 30, 20), 4);
  EXPECT_EQ(untouched.dc.GetPixel(15, 10), RGB(0, 0, 0));
  EXPECT_EQ(GetTickCount() - start, 90u);
}

TEST_F(PaintManager, SlideAndUnfoldStartAtTheRectanglesCorner)
{
  platform::VirtualClock clock;
  platform::ScopedClock scoped(clock);
  for (const int type : {2, 3}) {
    SCOPED_TRACE(type);
    tktest::Canvas destination(40, 40, RGB(0, 0, 0));
    tktest::Canvas source(40, 40, RGB(255, 255, 255));
    TKPaintManager()->Animate(&destination.dc, &source.dc, CRect(10, 10, 30, 30), type);
    EXPECT_EQ(destination.dc.GetPixel(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(destination.dc.GetPixel(29, 29), RGB(255, 255, 255));
    EXPECT_EQ(destination.dc.GetPixel(5, 5), RGB(0, 0, 0));
    EXPECT_EQ(destination.dc.GetPixel(30, 30), RGB(0, 0, 0));
  }
}

// ---- Button states of the four themes the program can choose, as named pixels

struct StateCase {
  const char* what;
  tktest::ButtonState state;
  int border;  // colour index of the top-left frame pixel, -1: untouched
  int fill;    // colour index inside, -1: untouched
};

TEST_F(PaintManager, ButtonFramesOfTheDefaultTheme)
{
  CTKPaintManager::SetTheme(tkThemeDefault);
  const StateCase cases[] = {
      {"normal", tktest::kNormal, -1, -1},
      {"hot: raised", tktest::kHot, 20, -1},
      {"pressed: sunken", tktest::kPressed, 16, -1},
      {"popped up: sunken", tktest::kPopuped, 16, -1},
      {"checked hot: sunken without dither", tktest::kCheckedHot, 16, -1},
      {"disabled", tktest::kDisabled, -1, -1},
      {"disabled with keyboard focus: sunken", tktest::kDisabledFocus, 16, -1},
  };
  CTKPaintManager* pm = TKPaintManager();
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.what);
    tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
    tktest::DrawState(pm, &canvas.dc, CRect(2, 2, 25, 25), c.state, tkBarTop);
    EXPECT_EQ(Name(canvas.dc.GetPixel(2, 2)), Name(c.border == -1 ? RGB(1, 1, 1) : pm->GetColor(c.border)));
    EXPECT_EQ(Name(canvas.dc.GetPixel(10, 10)), Name(RGB(1, 1, 1)));
  }
  // A checked idle button: the dither of face and highlight inside a sunken frame; its bottom-right in 20.
  tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
  tktest::DrawState(pm, &canvas.dc, CRect(2, 2, 25, 25), tktest::kChecked, tkBarTop);
  EXPECT_EQ(Name(canvas.dc.GetPixel(2, 2)), Name(pm->GetColor(16)));
  EXPECT_EQ(Name(canvas.dc.GetPixel(24, 24)), Name(pm->GetColor(20)));
  const COLORREF a = canvas.dc.GetPixel(10, 10);
  const COLORREF b = canvas.dc.GetPixel(11, 10);
  EXPECT_NE(a, b);
  EXPECT_TRUE((a == pm->GetColor(15) && b == pm->GetColor(20)) || (a == pm->GetColor(20) && b == pm->GetColor(15)));
  EXPECT_EQ(canvas.dc.GetPixel(10, 11), b);
}

TEST_F(PaintManager, ButtonRectanglesOfTheOfficeFamily)
{
  const StateCase cases[] = {
      {"normal", tktest::kNormal, -1, -1},
      {"hot", tktest::kHot, 32, 31},
      {"pressed", tktest::kPressed, 50, 33},
      {"checked", tktest::kChecked, 50, 36},
      {"checked hot", tktest::kCheckedHot, 37, 33},
      {"popped up", tktest::kPopuped, 43, 30},
      {"disabled", tktest::kDisabled, -1, -1},
      {"disabled with keyboard focus", tktest::kDisabledFocus, 32, 31},
      {"disabled checked", tktest::kDisabledChecked, 58, 36},
  };
  for (const int theme : {tkThemeOffice, tkThemeOffice2003, tkThemeWhidbey}) {
    CTKPaintManager::SetTheme(theme);
    CTKPaintManager* pm = TKPaintManager();
    for (const StateCase& c : cases) {
      SCOPED_TRACE(std::string(c.what) + " theme " + std::to_string(theme));
      if (c.state == tktest::kPopuped && theme != tkThemeOffice) {
        continue;  // a gradient of its own below
      }
      tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
      tktest::DrawState(pm, &canvas.dc, CRect(2, 2, 25, 25), c.state, tkBarTop);
      EXPECT_EQ(Name(canvas.dc.GetPixel(2, 2)), Name(c.border == -1 ? RGB(1, 1, 1) : pm->GetColor(c.border)));
      EXPECT_EQ(Name(canvas.dc.GetPixel(24, 24)), Name(c.border == -1 ? RGB(1, 1, 1) : pm->GetColor(c.border)));
      EXPECT_EQ(Name(canvas.dc.GetPixel(12, 12)), Name(c.fill == -1 ? RGB(1, 1, 1) : pm->GetColor(c.fill)));
    }
  }
  // A disabled checked button in a popup has a border and no fill.
  CTKPaintManager::SetTheme(tkThemeOffice);
  tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
  tktest::DrawState(TKPaintManager(), &canvas.dc, CRect(2, 2, 25, 25), tktest::kDisabledChecked, tkBarPopup);
  EXPECT_EQ(Name(canvas.dc.GetPixel(2, 2)), Name(TKPaintManager()->GetColor(58)));
  EXPECT_EQ(Name(canvas.dc.GetPixel(12, 12)), Name(RGB(1, 1, 1)));
}

TEST_F(PaintManager, Office2003FollowsTheDesktopSchemeAndWhidbeyKeepsItsOwn)
{
  uxtheme::SetTestTheme(uxtheme::Theme::LunaBlue);
  TKColorManager().RefreshColors();
  ASSERT_EQ(TKColorManager().GetCurrentSystemTheme(), 1);

  CTKPaintManager::SetTheme(tkThemeOffice2003);
  auto* office2003 = static_cast<TKPaintThemes::CTKOffice2003Theme*>(TKPaintManager());
  EXPECT_TRUE(office2003->m_bLunaColors);
  EXPECT_EQ(Name(office2003->GetColor(43)), Name(RGB(0, 45, 150)));
  EXPECT_EQ(Name(office2003->GetColor(58)), Name(RGB(141, 141, 141)));
  EXPECT_EQ(office2003->m_clrShadowColor, RGB(22, 30, 54));
  {
    // Pressed toolbar buttons take the orange gradient from top to bottom.
    tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
    tktest::DrawState(office2003, &canvas.dc, CRect(0, 0, 22, 22), tktest::kPressed, tkBarTop);
    EXPECT_EQ(Name(canvas.dc.GetPixel(0, 0)), Name(office2003->GetColor(50)));
    // Band colours come from the gradient's steps: within a few units of the ends.
    const auto near = [](COLORREF a, COLORREF b) {
      return std::abs(GetRValue(a) - GetRValue(b)) <= 3 && std::abs(GetGValue(a) - GetGValue(b)) <= 3 &&
             std::abs(GetBValue(a) - GetBValue(b)) <= 3;
    };
    EXPECT_TRUE(near(canvas.dc.GetPixel(10, 1), RGB(254, 142, 75))) << Name(canvas.dc.GetPixel(10, 1));
    EXPECT_TRUE(near(canvas.dc.GetPixel(10, 21), RGB(255, 207, 139)) || GetGValue(canvas.dc.GetPixel(10, 20)) > 195)
        << Name(canvas.dc.GetPixel(10, 20));
  }

  CTKPaintManager::SetTheme(tkThemeWhidbey);
  auto* whidbey = static_cast<TKPaintThemes::CTKOffice2003Theme*>(TKPaintManager());
  EXPECT_FALSE(whidbey->m_bLunaColors);
  EXPECT_EQ(whidbey->m_grcToolBar.clrLight.GetValue(), RGB(250, 249, 245));
  EXPECT_EQ(whidbey->m_grcToolBar.clrDark.GetValue(), RGB(192, 192, 168));
  EXPECT_EQ(whidbey->m_clrToolBarShadow.GetValue(), RGB(163, 163, 124));
  {
    // Never the orange gradient: the pressed fill is index 33 throughout.
    tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
    tktest::DrawState(whidbey, &canvas.dc, CRect(0, 0, 22, 22), tktest::kPressed, tkBarTop);
    EXPECT_EQ(Name(canvas.dc.GetPixel(10, 1)), Name(whidbey->GetColor(33)));
    EXPECT_EQ(Name(canvas.dc.GetPixel(10, 20)), Name(whidbey->GetColor(33)));
  }

  const struct {
    uxtheme::Theme desktop;
    COLORREF pressedText;
  } texts[] = {{uxtheme::Theme::LunaOlive, RGB(255, 255, 255)}, {uxtheme::Theme::LunaSilver, RGB(0, 0, 0)}};
  for (const auto& t : texts) {
    uxtheme::SetTestTheme(t.desktop);
    TKColorManager().RefreshColors();
    CTKPaintManager::SetTheme(tkThemeWhidbey);
    tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
    tktest::DrawState(TKPaintManager(), &canvas.dc, CRect(0, 0, 22, 22), tktest::kPressed, tkBarTop);
    EXPECT_EQ(Name(canvas.dc.GetTextColor()), Name(t.pressedText));
  }
}

TEST_F(PaintManager, WhidbeyWithoutDesktopSchemeChangesOnlyTheExpandButton)
{
  CTKPaintManager::SetTheme(tkThemeOffice2003);
  auto* office2003 = static_cast<TKPaintThemes::CTKOffice2003Theme*>(TKPaintManager());
  const CTKPaintManagerColorGradient toolBar = office2003->m_grcToolBar;
  const CTKPaintManagerColorGradient expand = office2003->m_grcExpandButton;
  EXPECT_FALSE(office2003->m_bLunaColors);
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  auto* whidbey = static_cast<TKPaintThemes::CTKOffice2003Theme*>(TKPaintManager());
  EXPECT_EQ(whidbey->m_grcToolBar.clrLight.GetValue(), toolBar.clrLight.GetValue());
  EXPECT_EQ(whidbey->m_grcToolBar.clrDark.GetValue(), toolBar.clrDark.GetValue());
  EXPECT_NE(whidbey->m_grcExpandButton.clrLight.GetValue(), expand.clrLight.GetValue());
  EXPECT_EQ(whidbey->m_grcExpandButton.clrLight.GetValue(),
            CTKColorManager::LightColor(whidbey->GetColor(5), whidbey->GetColor(15), 550));
  EXPECT_EQ(whidbey->m_grcExpandButton.clrDark.GetValue(), whidbey->GetColor(16));
}

TEST_F(PaintManager, ExpandButtonImageShadesBetweenThePopupExpandColours)
{
  CTKPaintManager::SetTheme(tkThemeOffice2003);
  auto* theme = static_cast<TKPaintThemes::CTKOffice2003Theme*>(TKPaintManager());
  theme->m_grcPopupExpand.SetStandardValue(RGB(255, 255, 255), RGB(0, 0, 0), 0.5f);
  theme->CreateExpandButtonImage();
  ASSERT_EQ(theme->m_ilExpandButton.GetImageCount(), 1);
  tktest::Canvas canvas(16, 16, RGB(1, 2, 3));
  theme->m_ilExpandButton.Draw(&canvas.dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
  // Shade v: c2 - (c2 - c1) * v / 255 with c1 white and c2 black gives v itself; 255 is transparent.
  EXPECT_EQ(Name(canvas.dc.GetPixel(0, 0)), Name(RGB(1, 2, 3)));
  EXPECT_EQ(Name(canvas.dc.GetPixel(4, 0)), Name(RGB(234, 234, 234)));
  EXPECT_EQ(Name(canvas.dc.GetPixel(13, 12)), Name(RGB(0, 0, 0)));
  EXPECT_EQ(Name(canvas.dc.GetPixel(10, 9)), Name(RGB(108, 108, 108)));
}

TEST_F(PaintManager, DisabledIconsByTheme)
{
  CTKImageManager images;
  tktest::AddTestIcon(images, 1, RGB(128, 128, 128));
  CTKImageManagerIcon* icon = images.GetImage(1, 16);
  {
    // Default: an embossed silhouette, highlight one pixel right and down under the shadow colour.
    CTKPaintManager::SetTheme(tkThemeDefault);
    tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
    TKPaintManager()->DrawImage(&canvas.dc, CPoint(4, 4), CSize(16, 16), icon, 0, 0, FALSE, FALSE, FALSE, TRUE);
    EXPECT_EQ(Name(canvas.dc.GetPixel(10, 10)), Name(TKPaintManager()->GetColor(16)));
    EXPECT_EQ(Name(canvas.dc.GetPixel(20, 20)), Name(TKPaintManager()->GetColor(20)));
    EXPECT_TRUE(icon->GetDisabledIcon(FALSE).IsEmpty());
  }
  {
    // Office: the generated image, tinted between the face gradient's colours; white takes the light one.
    CTKPaintManager::SetTheme(tkThemeOffice);
    CTKPaintManager* pm = TKPaintManager();
    tktest::Canvas canvas(30, 30, RGB(1, 1, 1));
    pm->DrawImage(&canvas.dc, CPoint(4, 4), CSize(16, 16), icon, 0, 0, FALSE, FALSE, FALSE, TRUE);
    const COLORREF light = pm->m_grcFace.clrLight.GetValue();
    const COLORREF dark = pm->m_grcFace.clrDark.GetValue();
    const double l = 128.0 / 255.0;
    const auto mix = [&](BYTE a, BYTE b) { return static_cast<BYTE>(a * l + b * (1.0 - l)); };
    const COLORREF expected =
        RGB(mix(GetRValue(light), GetRValue(dark)), mix(GetGValue(light), GetGValue(dark)),
            mix(GetBValue(light), GetBValue(dark)));
    const COLORREF got = canvas.dc.GetPixel(5, 5);  // grey, outside the icon's white middle
    EXPECT_LE(std::abs(GetRValue(got) - GetRValue(expected)), 1) << Name(got) << " vs " << Name(expected);
    EXPECT_LE(std::abs(GetGValue(got) - GetGValue(expected)), 1) << Name(got) << " vs " << Name(expected);
    EXPECT_LE(std::abs(GetBValue(got) - GetBValue(expected)), 1) << Name(got) << " vs " << Name(expected);
    EXPECT_EQ(Name(canvas.dc.GetPixel(10, 10)), Name(light));
  }
}

TEST_F(PaintManager, TearOffStrips)
{
  struct Case {
    const char* what;
    int theme;
    int width;
    BOOL selected;
    CSize size;
    CPoint at;  // a pixel of the strip at (0, 0)
    int color;  // its colour index; -2: the Office 2003 tear-off colour
  };
  const Case cases[] = {
      {"default", tkThemeDefault, 80, FALSE, CSize(0, 8), CPoint(40, 3), 3},
      {"default selected", tkThemeDefault, 80, TRUE, CSize(0, 8), CPoint(40, 3), 2},
      {"default leaves its last row", tkThemeDefault, 80, TRUE, CSize(0, 8), CPoint(40, 8), -1},
      {"office line", tkThemeOffice, 80, FALSE, CSize(0, 9), CPoint(40, 3), 38},
      {"office between lines", tkThemeOffice, 80, FALSE, CSize(0, 9), CPoint(40, 4), 30},
      {"office line ends at the half-length", tkThemeOffice, 80, FALSE, CSize(0, 9), CPoint(40 - 17, 3), 30},
      {"office selected line", tkThemeOffice, 80, TRUE, CSize(0, 9), CPoint(40, 4), 45},
      {"office selected frame", tkThemeOffice, 80, TRUE, CSize(0, 9), CPoint(2, 5), 32},
      // The inset strip (2..80) has its centre at 41; half its width, 39, is not above 42: half-length 29, and the
      // first dot sits at x = 41 - 29 + 3 = 15.
      {"office 2003 dot", tkThemeOffice2003, 80, FALSE, CSize(0, 9), CPoint(12, 4), 38},
      {"office 2003 dot highlight", tkThemeOffice2003, 80, FALSE, CSize(0, 9), CPoint(14, 6), 20},
      {"office 2003 between dots", tkThemeOffice2003, 80, FALSE, CSize(0, 9), CPoint(15, 4), -2},
      {"office 2003 20 pixels: no dots", tkThemeOffice2003, 20, FALSE, CSize(0, 9), CPoint(10, 4), -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CTKPaintManager::SetTheme(c.theme);
    CTKPaintManager* pm = TKPaintManager();
    tktest::Canvas canvas(100, 20, RGB(1, 1, 1));
    EXPECT_EQ(pm->DrawTearOffGripper(&canvas.dc, CRect(0, 0, c.width, 9), c.selected, FALSE), c.size);
    EXPECT_EQ(Name(canvas.dc.GetPixel(c.at.x, c.at.y)), Name(RGB(1, 1, 1)));  // measuring draws nothing
    pm->DrawTearOffGripper(&canvas.dc, CRect(0, 0, c.width, 9), c.selected, TRUE);
    const COLORREF expected =
        c.color == -1   ? RGB(1, 1, 1)
        : c.color == -2 ? static_cast<TKPaintThemes::CTKOffice2003Theme*>(pm)->m_clrTearOff.GetValue()
                        : pm->GetColor(c.color);
    EXPECT_EQ(Name(canvas.dc.GetPixel(c.at.x, c.at.y)), Name(expected));
  }
}

TEST_F(PaintManager, StatusBarGrippers)
{
  struct Case {
    const char* what;
    int theme;
    CPoint at;
    int color;  // -1: untouched
  };
  // A 20 x 20 status bar corner; lines stop one pixel short of their end points.
  const Case cases[] = {
      {"default: first shadow line starts at (w - 3, h - 2)", tkThemeDefault, CPoint(17, 18), 16},
      {"default: second shadow line from (w - 4, h - 2)", tkThemeDefault, CPoint(16, 18), 16},
      {"default: highlight from (w - 5, h - 2)", tkThemeDefault, CPoint(15, 18), 20},
      {"default: the next group 4 pixels left", tkThemeDefault, CPoint(13, 18), 16},
      {"default: nothing on the bottom row", tkThemeDefault, CPoint(19, 19), -1},
      {"office 2003: bottom row from (g + 2, h - 1)", tkThemeOffice2003, CPoint(19, 19), 16},
      {"office 2003: highlight from (w - 3, h - 1)", tkThemeOffice2003, CPoint(17, 19), 20},
      {"office 2003: the next group 5 pixels left", tkThemeOffice2003, CPoint(14, 19), 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CTKPaintManager::SetTheme(c.theme);
    tktest::Canvas canvas(20, 20, RGB(1, 1, 1));
    TKPaintManager()->DrawStatusBarGripper(&canvas.dc, CRect(0, 0, 20, 20));
    EXPECT_EQ(Name(canvas.dc.GetPixel(c.at.x, c.at.y)),
              Name(c.color == -1 ? RGB(1, 1, 1) : TKPaintManager()->GetColor(c.color)));
  }
}

TEST(OSVersionInfo, ExactVersionsOnly)
{
  struct Case {
    DWORD platform, major, minor;
    bool win95, win98, nt4, win2k, xp;
  };
  const Case cases[] = {
      {1, 4, 0, true, false, false, false, false},  {1, 4, 10, false, true, false, false, false},
      {2, 4, 0, false, false, true, false, false},  {2, 5, 0, false, false, false, true, false},
      {2, 5, 1, false, false, false, false, true},  {2, 6, 0, false, false, false, false, false},
      {2, 5, 2, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.platform) + " " + std::to_string(c.major) + "." + std::to_string(c.minor));
    CTKOSVersionInfo info;
    info.dwPlatformId = c.platform;
    info.dwMajorVersion = c.major;
    info.dwMinorVersion = c.minor;
    EXPECT_EQ(info.IsWin95() != 0, c.win95);
    EXPECT_EQ(info.IsWin98() != 0, c.win98);
    EXPECT_EQ(info.IsWinNT4() != 0, c.nt4);
    EXPECT_EQ(info.IsWin2K() != 0, c.win2k);
    EXPECT_EQ(info.IsWinXP() != 0, c.xp);
  }
  EXPECT_EQ(TKOSVersionInfo().dwOSVersionInfoSize, sizeof(OSVERSIONINFOA));
}

TEST_F(PaintManager, ANewThemeDropsImagesDerivedInTheOldOnesColours)
{
  tktest::AddTestIcon(TKImageManager(), 777, RGB(128, 128, 128));
  CTKImageManagerIcon* icon = TKImageManager().GetImage(777, 16);
  CTKPaintManager::SetTheme(tkThemeOffice);
  icon->CreateDisabledIcon(RGB(255, 255, 0), RGB(0, 0, 100));
  EXPECT_FALSE(icon->GetDisabledIcon(FALSE).IsEmpty());
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  EXPECT_TRUE(icon->GetDisabledIcon(FALSE).IsEmpty());
  TKImageManager().RemoveAll();
}

// ---- The gallery, and what it shows: measuring and drawing agree

TEST_F(PaintManager, GalleryOfTheFourThemes)
{
  for (const int theme : {tkThemeDefault, tkThemeOffice, tkThemeOffice2003, tkThemeWhidbey}) {
    SCOPED_TRACE(theme);
    CTKPaintManager::SetTheme(theme);
    EXPECT_TRUE(tktest::SaveBarGallery(TKPaintManager(), theme));
  }
}

TEST_F(PaintManager, MeasuredButtonSizeIsWhatTheDrawingCovers)
{
  CTKImageManager images;
  tktest::AddTestIcon(images, 1, RGB(200, 30, 30));
  for (const int theme : {tkThemeDefault, tkThemeOffice, tkThemeOffice2003, tkThemeWhidbey}) {
    CTKPaintManager::SetTheme(theme);
    CTKPaintManager* pm = TKPaintManager();
    for (const tktest::ButtonKind& kind : tktest::ButtonKinds()) {
      for (const int position : {tkBarTop, tkBarLeft}) {
        SCOPED_TRACE(std::string(kind.name) + " theme " + std::to_string(theme) + " position " +
                     std::to_string(position));
        const CRect drawn = tktest::DrawButtonAndFindChange(pm, images.GetImage(1, 16), kind, position);
        const CSize measured = tktest::MeasureButton(pm, kind, position);
        EXPECT_EQ(drawn.Size(), measured);
      }
    }
  }
}

}  // namespace
