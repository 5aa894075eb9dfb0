// The buttons bars make for themselves (a toolbar's expand button, a menu's chevron, a floating bar's hide and
// expand buttons) as each theme places, measures and draws them.
#include "tests/toolkit/canvas.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/theme_office2003.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tktest::Canvas;

constexpr COLORREF kUntouched = RGB(255, 0, 255);

class CPlacedBar : public CTKCommandBar {
public:
  BOOL SetPosition(int nPosition) override
  {
    m_barPosition = nPosition;
    return TRUE;
  }
};

// A control standing on a bar at a position, in a state the test sets.
class Special {
public:
  explicit Special(int nPosition)
  {
    m_pBar = new CPlacedBar;
    m_pBar->SetPosition(nPosition);
    m_pControl = new CTKToolBar::CTKControlExpandButton;
    m_pControl->SetParent(m_pBar);
  }
  ~Special()
  {
    m_pControl->SetParent(nullptr);
    m_pControl->InternalRelease();
    m_pBar->InternalRelease();
  }
  Special(const Special&) = delete;
  Special& operator=(const Special&) = delete;

  CTKCommandBar* m_pBar;
  CTKToolBar::CTKControlExpandButton* m_pControl;
};

COLORREF At(Canvas& canvas, int x, int y) { return canvas.m_dc.GetPixel(x, y); }

TEST(SpecialControls, EachThemePlacesTheExpandButtonAndMeasuresTheChevron)
{
  struct Case {
    int theme;
    int position;
    CSize bar;
    CRect expand;  // where the toolbar's expand button goes
    int chevron;   // the height of a menu's chevron
  };
  const Case cases[] = {
      {tkThemeDefault, tkBarTop, {100, 26}, {87, 2, 98, 24}, 12},
      {tkThemeDefault, tkBarLeft, {26, 100}, {2, 87, 24, 98}, 12},
      {tkThemeOffice, tkBarBottom, {100, 26}, {87, 2, 98, 24}, 12},
      {tkThemeNativeXP, tkBarRight, {26, 100}, {2, 87, 24, 98}, 12},
      {tkThemeOffice2003, tkBarTop, {100, 26}, {88, 1, 100, 26}, 18},
      {tkThemeWhidbey, tkBarTop, {100, 26}, {88, 1, 100, 26}, 18},
      {tkThemeWhidbey, tkBarRight, {26, 100}, {0, 88, 26, 100}, 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("theme " + std::to_string(c.theme) + ", position " + std::to_string(c.position));
    CTKPaintManager::SetTheme(c.theme);
    CTKPaintManager* pm = CTKPaintManager::GetCurrent();
    Special special(c.position);
    CSize size = c.bar;
    EXPECT_EQ(pm->DrawSpecialControl(nullptr, tkSpecialToolBarExpand, special.m_pControl, special.m_pBar, FALSE,
                                     &size),
              CSize(0, 0));
    EXPECT_EQ(special.m_pControl->GetRect(), c.expand);

    // The menu's chevron asks the theme for its height.
    CTKPopupBar::CTKControlExpandButton chevron;
    EXPECT_EQ(chevron.GetSize(nullptr), CSize(0, c.chevron));
  }
  CTKPaintManager::SetTheme(tkThemeDefault);
}

TEST(SpecialControls, TheDefaultExpandButtonShowsItsChevronsOnlyWhenControlsAreHidden)
{
  CTKPaintManager::SetTheme(tkThemeDefault);
  CTKPaintManager* pm = CTKPaintManager::GetCurrent();
  for (BOOL bHidden : {FALSE, TRUE}) {
    SCOPED_TRACE(bHidden ? "hidden controls" : "everything shown");
    Canvas canvas(40, 40, kUntouched);
    Special special(tkBarTop);
    special.m_pControl->SetRect(CRect(10, 2, 21, 24));
    canvas.m_dc.SetTextColor(RGB(0, 0, 0));
    pm->DrawSpecialControl(&canvas.m_dc, tkSpecialToolBarExpand, special.m_pControl, special.m_pBar, TRUE, &bHidden);
    const COLORREF text = canvas.m_dc.GetTextColor();
    // The arrow at the bottom, centred; the chevrons' first stroke starts at (left + 2, top + 4).
    EXPECT_EQ(At(canvas, 15, 24 - 6), text);
    EXPECT_EQ(At(canvas, 12, 6) == text, bHidden == TRUE);
  }
}

TEST(SpecialControls, TheOffice2003ExpandButtonIsRoundedGradientWithAShadowedGlyph)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  auto* pm = dynamic_cast<TKPaintThemes::CTKOffice2003Theme*>(CTKPaintManager::GetCurrent());
  ASSERT_NE(pm, nullptr);
  Canvas canvas(40, 40, kUntouched);
  Special special(tkBarTop);
  const CRect rc(20, 1, 32, 26);
  special.m_pControl->SetRect(rc);
  BOOL bHidden = FALSE;
  pm->DrawSpecialControl(&canvas.m_dc, tkSpecialToolBarExpand, special.m_pControl, special.m_pBar, TRUE, &bHidden);
  // The rounded corners and the left column are left alone; the rest takes the button's gradient.
  EXPECT_EQ(At(canvas, rc.right - 1, rc.top), kUntouched);
  EXPECT_EQ(At(canvas, rc.right - 1, rc.bottom - 1), kUntouched);
  EXPECT_EQ(At(canvas, rc.left, rc.top + 5), kUntouched);
  EXPECT_EQ(At(canvas, rc.left + 1, rc.top), pm->m_grcExpandButton.clrLight.GetValue());
  // The bar above the arrow in colour 46, its shadow one pixel right and down in colour 20.
  const int x = rc.CenterPoint().x;
  EXPECT_EQ(At(canvas, x, rc.bottom - 10), pm->GetColor(46));
  EXPECT_EQ(At(canvas, x + 3, rc.bottom - 9), pm->GetColor(20));
  // The clip is given back: drawing afterwards reaches the corner.
  canvas.m_dc.SetPixel(rc.right - 1, rc.top, RGB(1, 2, 3));
  EXPECT_EQ(At(canvas, rc.right - 1, rc.top), RGB(1, 2, 3));
  CTKPaintManager::SetTheme(tkThemeDefault);
}

TEST(SpecialControls, TheOffice2003ChevronStandsOnItsRoundPicture)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  auto* pm = dynamic_cast<TKPaintThemes::CTKOffice2003Theme*>(CTKPaintManager::GetCurrent());
  ASSERT_NE(pm, nullptr);
  Canvas canvas(60, 30, kUntouched);
  auto* pBar = new CPlacedBar;
  pBar->SetType(tkBarTypePopup);
  pBar->SetPosition(tkBarPopup);
  auto* pChevron = new CTKPopupBar::CTKControlExpandButton;
  pChevron->SetParent(pBar);
  pChevron->SetRect(CRect(0, 2, 60, 20));
  canvas.m_dc.SetTextColor(RGB(0, 0, 0));
  EXPECT_EQ(pm->DrawSpecialControl(&canvas.m_dc, tkSpecialPopupExpand, pChevron, pBar, TRUE, nullptr),
            CSize(0, 18));
  // Inside the round picture (16 x 16 from (centre - 7, top + 1)) its colours, not the entry's face.
  const COLORREF light = pm->m_grcPopupExpand.clrLight.GetValue();
  const COLORREF dark = pm->m_grcPopupExpand.clrDark.GetValue();
  const COLORREF middle = At(canvas, 30 - 7 + 2, 2 + 1 + 8);
  auto between = [](BYTE v, BYTE a, BYTE b) { return v >= std::min(a, b) && v <= std::max(a, b); };
  EXPECT_TRUE(between(GetRValue(middle), GetRValue(light), GetRValue(dark)) &&
              between(GetGValue(middle), GetGValue(light), GetGValue(dark)) &&
              between(GetBValue(middle), GetBValue(light), GetBValue(dark)));
  // The chevrons three pixels lower than in the base drawing: the first stroke's middle at (x, top + 3 + 4).
  EXPECT_EQ(At(canvas, 30, 2 + 3 + 4), RGB(0, 0, 0));
  pChevron->SetParent(nullptr);
  pChevron->InternalRelease();
  pBar->InternalRelease();
  CTKPaintManager::SetTheme(tkThemeDefault);
}

}  // namespace
