// Theme 2 (Office 2003): gradient bars in colour sets that follow the desktop's colour scheme; theme 4
// (Whidbey, the program's): the same drawing with neutral colours of its own per desktop scheme and single-line
// separators. Button states, icons and popup items are the Office theme's.
#pragma once

#include "toolkit/paint/theme_office.h"
#include "toolkit/paint/visual_styles.h"

namespace TKPaintThemes {

class CTKOffice2003Theme : public CTKOfficeTheme {
public:
  CTKOffice2003Theme();

  void DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                           BOOL bPopuped, BOOL bToolBar, int nBarPosition) override;
  void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLastPane) override;
  void DrawStatusBarGripper(CDC* pDC, CRect rcClient) override;
  void FillDockBar(CDC* pDC, CWnd* pBar) override;
  void RefreshMetrics() override;
  CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) override;
  int BaseTheme() override { return tkThemeOffice2003; }
  void FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded) override;

  // The gradient's two colours top to bottom (bHorizontal: left to right) in a one-pixel border.
  void FillGradientButton(CDC* pDC, CRect rc, int nBorder, BOOL bHorizontal, const CTKPaintManagerColorGradient& grc);
  // The expand button's arrow (and the chevron of hidden controls).
  void DrawExpandGlyph(CDC* pDC, BOOL bVertical, CRect rc, BOOL bHidden, COLORREF clr);
  // The round 16 x 16 picture of a popup's expand button, in the colours of m_grcPopupExpand.
  void CreateExpandButtonImage();

  CTKPaintManagerColorGradient m_grcDockBar;
  CTKPaintManagerColorGradient m_grcToolBar;
  CTKPaintManagerColorGradient m_grcExpandButton;
  CTKPaintManagerColorGradient m_grcPopupExpand;
  CTKPaintManagerColorGradient m_grcExpandedColumn;
  CTKPaintManagerColorGradient m_grcPopupedButton;
  CTKPaintManagerColor m_clrToolBarShadow;
  CTKPaintManagerColor m_clrFloatingCaption;
  CTKPaintManagerColor m_clrPaneBorder;
  CTKPaintManagerColor m_clrTearOff;
  BOOL m_bLunaColors = FALSE;
  BOOL m_bSingleSeparator = FALSE;
  CTKWinThemeWrapper m_themeStatusBar;
  CImageList m_ilExpandButton;
  CTKPaintManagerColorGradient m_grcChecked;
  CTKPaintManagerColorGradient m_grcPushed;
  CTKPaintManagerColorGradient m_grcHighlight;

protected:
  // A rectangle from the bar's left as wide as the bar or half the screen, whichever is wider: neighbouring
  // bars then continue one gradient.
  static CRect WideRect(const CRect& rc);
};

class CTKWhidbeyTheme : public CTKOffice2003Theme {
public:
  CTKWhidbeyTheme();

  void RefreshMetrics() override;
  int BaseTheme() override { return tkThemeWhidbey; }
};

}  // namespace TKPaintThemes
