// The tab paint manager's choices: which colour set an appearance brings, that a failed appearance or colour
// set keeps the one in place, the fonts it makes, the middle-ellipsis rule, and the colours of the sets.
#include "tests/toolkit/docking/tabs/strip.h"

#include "platform/user/uxtheme.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/draw_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <typeinfo>

namespace {

using tabtest::Strip;

// Counts the change notices a registered tab manager hears.
class Listener : public CTKTabManagerAtom {
public:
  void Reposition() override { ++m_nNotices; }
  int m_nNotices = 0;
};

TEST(TabPaintManager, AppearanceBringsItsColourSet)
{
  struct Case {
    int appearance;
    int expectedAppearance;
    int colorSet;
    int allowedMask;
    CRect headerMargin;  // before the text-height rules
    int rowSpacing;
  };
  const Case cases[] = {
      {0, 0, 1, 13, CRect(2, 3, 6, 0), -2},  {1, 1, 1, 13, CRect(2, 3, 6, 0), -2},
      {2, 2, 1, 7, CRect(2, 2, 4, 0), -2},   {3, 3, 4, 21, CRect(2, 3, 6, 0), -2},
      {4, 4, 2, 31, CRect(2, 2, 4, 2), 0},   {5, 5, 2, 7, CRect(4, 2, 4, 0), -2},
      {6, 6, 2, 7, CRect(2, 2, 4, 0), -2},   {7, 7, 2, 7, CRect(2, 3, 2, 0), -2},
      {8, 8, 1, 5, CRect(0, 0, 0, 0), -2},   {9, 9, 4, 21, CRect(2, 3, 6, 0), -2},
      {10, 10, 1, 13, CRect(2, 3, 6, 0), -2}, {-1, -1, 1, 13, CRect(2, 3, 6, 0), -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.appearance);
    CTKTabPaintManager pm;
    CTKTabPaintManager::CAppearanceSet* pAppearance = pm.SelectAppearance(c.appearance);
    ASSERT_NE(pAppearance, nullptr);
    EXPECT_EQ(pm.GetAppearanceNumber(), c.expectedAppearance);
    EXPECT_EQ(pm.GetColorSetNumber(), c.colorSet);
    EXPECT_EQ(pAppearance->GetAllowedColorSets(), c.allowedMask);
    EXPECT_EQ(pAppearance->m_rcHeaderMargin, c.headerMargin);
    EXPECT_EQ(pAppearance->GetRowSpacing(), c.rowSpacing);
    EXPECT_EQ(pm.GetColorSet()->m_pPaintManager, &pm);
  }
  // Numbers outside 0-9 give Property Page itself.
  CTKTabPaintManager pm;
  EXPECT_EQ(typeid(*pm.SelectAppearance(42)), typeid(CTKTabPaintManager::CAppearanceSetPropertyPage));
}

TEST(TabPaintManager, HeaderMarginRulesFollowTheTextHeight)
{
  CTKTabPaintManager pm;
  const int textHeight = pm.GetAppearance()->GetTextHeight();
  EXPECT_GE(textHeight, 18);
  struct Case {
    int appearance;
    CRect expected;
  };
  const Case cases[] = {
      {3, CRect(2 + textHeight, 3, 6, 0)},
      {7, CRect(2 + textHeight / 2, 3, 2 + textHeight / 2, 0)},
      {9, CRect(2 + textHeight / 2, 3, 6, 0)},
      {0, CRect(2, 3, 6, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.appearance);
    EXPECT_EQ(pm.SelectAppearance(c.appearance)->GetHeaderMargin(), c.expected);
  }
}

TEST(TabPaintManager, NullAppearanceOrColourSetKeepsTheOneInPlaceAndStillNotifies)
{
  CTKTabPaintManager pm;
  Listener listener;
  pm.AddTabManager(&listener);
  CTKTabPaintManager::CAppearanceSet* pBefore = pm.SelectAppearance(5);
  CTKTabPaintManager::CColorSet* pColorSet = pm.GetColorSet();
  const int notices = listener.m_nNotices;

  pm.InstallAppearance(nullptr);
  EXPECT_EQ(pm.GetAppearance(), pBefore);
  EXPECT_EQ(pm.GetAppearanceNumber(), 5);
  EXPECT_EQ(pm.GetColorSet(), pColorSet);
  EXPECT_EQ(listener.m_nNotices, notices + 1);

  pm.InstallColorSet(nullptr);
  EXPECT_EQ(pm.GetColorSet(), pColorSet);
  EXPECT_EQ(pm.GetColorSetNumber(), 2);
  EXPECT_EQ(listener.m_nNotices, notices + 2);

  // A real change notifies every registered manager too.
  pm.SetPosition(TK_TAB_POSITION_BOTTOM);
  pm.SetLayout(TK_TAB_LAYOUT_FIXED);
  EXPECT_EQ(listener.m_nNotices, notices + 4);
}

TEST(TabPaintManager, StripFontsAndTheirVerticalForms)
{
  struct Case {
    LONG height;
    BOOL boldFont;
    LONG expectedVerticalHeight;
    LONG expectedNormalWeight;
  };
  const Case cases[] = {
      {-9, FALSE, -11, FW_NORMAL},
      {-1, FALSE, -11, FW_NORMAL},
      {-11, FALSE, -11, FW_NORMAL},
      {-13, TRUE, -13, FW_BOLD},
      {12, FALSE, 12, FW_NORMAL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    CTKTabPaintManager pm;
    pm.m_bBoldFont = c.boldFont;
    LOGFONT lf{};
    lf.lfHeight = c.height;
    std::strcpy(lf.lfFaceName, "Arial");
    pm.SetStripFont(&lf, FALSE);
    EXPECT_FALSE(pm.m_bUseSystemFont);
    LOGFONT normal{}, bold{}, vertical{}, verticalBold{};
    pm.m_fntNormal.GetLogFont(&normal);
    pm.m_fntBold.GetLogFont(&bold);
    pm.m_fntVertical.GetLogFont(&vertical);
    pm.m_fntVerticalBold.GetLogFont(&verticalBold);
    EXPECT_EQ(normal.lfHeight, c.height);
    EXPECT_EQ(normal.lfWeight, c.expectedNormalWeight);
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    EXPECT_EQ(vertical.lfHeight, c.expectedVerticalHeight);
    EXPECT_EQ(verticalBold.lfHeight, c.expectedVerticalHeight);
    EXPECT_EQ(vertical.lfEscapement, 2700);
    EXPECT_EQ(vertical.lfOrientation, 900);
    EXPECT_EQ(vertical.lfWeight, c.expectedNormalWeight);
    EXPECT_EQ(verticalBold.lfWeight, FW_BOLD);
    EXPECT_STREQ(vertical.lfFaceName, static_cast<LPCSTR>(CTKDrawHelpers::GetDefaultFontName()));
  }
}

// A DC that remembers what it was asked to draw as text.
class RecordingDC : public CDC {
public:
  RecordingDC()
  {
    CreateCompatibleDC(nullptr);
    m_font.CreatePointFont(90, "Arial");
    m_old = SelectObject(&m_font);
  }
  ~RecordingDC() override
  {
    SelectObject(m_old);
    DeleteDC();
  }
  int DrawText(LPCSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) override
  {
    m_strText = CString(lpszString, nCount < 0 ? static_cast<int>(std::strlen(lpszString)) : nCount);
    m_nFormat = nFormat;
    return CDC::DrawText(lpszString, nCount, lpRect, nFormat);
  }
  CFont m_font;
  CFont* m_old = nullptr;
  CString m_strText;
  UINT m_nFormat = 0;
};

TEST(TabPaintManager, MiddleEllipsisKeepsBothEndsOrUsesThePathEllipsis)
{
  CTKTabPaintManager pm;
  RecordingDC dc;
  const CString text("Abcdefghijklmnopqrstuvwxyz");
  const int full = pm.GetTextWidth(&dc, text, DT_NOPREFIX);
  const int dots = pm.GetTextWidth(&dc, CString("..."), DT_NOPREFIX);
  const UINT flags = DT_SINGLELINE | DT_NOPREFIX;

  pm.DrawTextMiddleEllipsis(&dc, text, CRect(0, 0, full, 20), flags);
  EXPECT_EQ(dc.m_strText, text);

  pm.DrawTextMiddleEllipsis(&dc, text, CRect(0, 0, dots - 1, 20), flags);
  EXPECT_EQ(dc.m_strText, "...");

  const int room = full / 2;
  pm.DrawTextMiddleEllipsis(&dc, text, CRect(0, 0, room, 20), flags);
  const CString shortened = dc.m_strText;
  const int at = shortened.Find("...");
  ASSERT_GT(at, 0) << static_cast<LPCSTR>(shortened);
  EXPECT_EQ(shortened.Left(1), "A");
  EXPECT_EQ(shortened.Right(1), "z");
  EXPECT_LE(pm.GetTextWidth(&dc, shortened, flags), room);
  // As many characters as fit: one more would not.
  const int kept = shortened.GetLength() - 3;
  const int more = kept + 1;
  const CString longer = text.Left(more - more / 2) + "..." + text.Right(more / 2);
  EXPECT_GT(pm.GetTextWidth(&dc, longer, flags), room);
  EXPECT_EQ(dc.m_nFormat, flags);

  pm.DrawTextMiddleEllipsis(&dc, CString("C:\\Roads\\Lighting\\Project.qorr5"), CRect(0, 0, 30, 20), flags);
  EXPECT_EQ(dc.m_nFormat, flags | DT_PATH_ELLIPSIS);
}

TEST(TabColorSets, Office2003UnderLunaBlueAndWithLunaOff)
{
  uxtheme::SetTestTheme(uxtheme::Theme::LunaBlue);
  TKColorManager().RefreshColors();
  CTKTabPaintManager pm;
  pm.SelectAppearance(3);
  auto* pSet = dynamic_cast<CTKTabPaintManager::CColorSetOffice2003*>(pm.GetColorSet());
  ASSERT_NE(pSet, nullptr);
  EXPECT_TRUE(pSet->m_bLunaTheme);
  EXPECT_EQ(COLORREF(pSet->m_clrNormalFace), RGB(162, 192, 246));
  EXPECT_EQ(COLORREF(pSet->m_clrSelectedFace), RGB(255, 194, 115));
  EXPECT_EQ(COLORREF(pSet->m_clrHighlightFace), RGB(255, 240, 201));
  EXPECT_EQ(COLORREF(pSet->m_clrHeaderFace.clrLight), RGB(196, 218, 250));
  EXPECT_EQ(COLORREF(pSet->m_clrHeaderFace.clrDark), RGB(252, 253, 254));
  EXPECT_EQ(COLORREF(pSet->m_csExcelSelected[0]), RGB(59, 97, 156));
  EXPECT_EQ(COLORREF(pSet->m_csExcelSelected[3]), CTKTabPaintManager::CColorSet::kUnset);

  // Whidbey with Luna colours allowed takes the Office 2003 look, then its own border.
  pm.SelectColorSet(16);
  auto* pWhidbey = dynamic_cast<CTKTabPaintManager::CColorSetWhidbey*>(pm.GetColorSet());
  ASSERT_NE(pWhidbey, nullptr);
  EXPECT_EQ(COLORREF(pWhidbey->m_clrNormalFace), RGB(162, 192, 246));
  EXPECT_EQ(COLORREF(pWhidbey->m_clrFrameBorder), TKColorManager().GetColor(57));
  EXPECT_FALSE(pWhidbey->m_bGrayTheme);

  // With Luna colours off: button face to its 205 blend with the window colour; Whidbey turns grey.
  pm.m_bDisableLunaColors = TRUE;
  pm.SelectColorSet(4);
  pSet = dynamic_cast<CTKTabPaintManager::CColorSetOffice2003*>(pm.GetColorSet());
  const COLORREF face = TKColorManager().GetColor(15);
  EXPECT_FALSE(pSet->m_bLunaTheme);
  EXPECT_EQ(COLORREF(pSet->m_clrHeaderFace.clrLight), face);
  EXPECT_EQ(COLORREF(pSet->m_clrHeaderFace.clrDark),
            CTKColorManager::LightColor(face, TKColorManager().GetColor(5), 205));
  pm.SelectColorSet(16);
  pWhidbey = dynamic_cast<CTKTabPaintManager::CColorSetWhidbey*>(pm.GetColorSet());
  EXPECT_TRUE(pWhidbey->m_bGrayTheme);
  EXPECT_EQ(COLORREF(pWhidbey->m_clrHeaderFace.clrLight), RGB(228, 226, 213));

  uxtheme::SetTestTheme(uxtheme::Theme::None);
  TKColorManager().RefreshColors();
}

TEST(TabColorSets, CustomValuesSurviveARefresh)
{
  CTKTabPaintManager pm;
  pm.GetColorSet()->m_clrNormalFace.SetCustomValue(RGB(1, 2, 3));
  pm.RefreshMetrics();
  EXPECT_EQ(COLORREF(pm.GetColorSet()->m_clrNormalFace), RGB(1, 2, 3));
}

TEST(TabColorSets, WindowsXPLeavesThePageEdgesToTheStyle)
{
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed);
    uxtheme::SetTestTheme(themed ? uxtheme::Theme::LunaBlue : uxtheme::Theme::None);
    CTKTabPaintManager pm;
    pm.SelectColorSet(8);
    CTKTabPaintManager::CColorSet* pSet = pm.GetColorSet();
    EXPECT_EQ(pSet->IsThemed(), themed ? TRUE : FALSE);
    const COLORREF unset = CTKTabPaintManager::CColorSet::kUnset;
    EXPECT_EQ(COLORREF(pSet->m_clrPageHighlight) == unset, themed);
    EXPECT_EQ(COLORREF(pSet->m_clrPageDarkShadow) == unset, themed);
    EXPECT_EQ(COLORREF(pSet->m_clrHighlightText), themed ? COLORREF(pSet->m_clrNormalText) : RGB(0, 0, 128));
  }
  uxtheme::SetTestTheme(uxtheme::Theme::None);
}

}  // namespace
