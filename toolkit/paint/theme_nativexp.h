// Theme 3: bars, buttons, grippers, combo buttons and the status bar drawn by the system's visual style; each
// part falls back to the classic drawing while the style it needs is not active, so it works on any system.
#pragma once

#include "toolkit/paint/theme_default.h"
#include "toolkit/paint/visual_styles.h"

namespace TKPaintThemes {

class CTKNativeXPTheme : public CTKDefaultTheme {
public:
  CTKNativeXPTheme();

  void DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                           BOOL bPopuped, BOOL bToolBar, int nBarPosition) override;
  void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLastPane) override;
  void DrawStatusBarGripper(CDC* pDC, CRect rcClient) override;
  void FillDockBar(CDC* pDC, CWnd* pBar) override;
  void FillStatusBar(CDC* pDC, CWnd* pBar) override;
  void RefreshMetrics() override;
  int BaseTheme() override { return tkThemeNativeXP; }
  void DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected) override;
  void DrawComboButton(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bDropped) override;

  // The bar routines of the command bars call these while this theme is current; each answers FALSE when the
  // visual style it needs is not active, and the classic drawing follows.
  BOOL FillCommandBarStyled(CDC* pDC, CWnd* pBar, int nPosition, CWnd* pDockRow);
  BOOL DrawSplitButtonFrameStyled(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bPressed, BOOL bSelected, BOOL bChecked,
                                  BOOL bOpen);
  BOOL DrawCommandBarGripperStyled(CDC* pDC, CRect rcClient, int nPosition, BOOL bDialogBar, BOOL bDraw,
                                   CSize& size);
  BOOL AdjustExcludeRectStyled(CRect& rc, BOOL bComboBox, BOOL bPopupParent);
  CSize DrawDialogBarGripper(CDC* pDC, BOOL bDraw);
  // The dock row's rebar background behind the bar, so toolbars continue it.
  void FillRebar(CDC* pDC, CWnd* pBar, CWnd* pDockRow);

  CTKWinThemeWrapper m_themeRebar;
  CTKWinThemeWrapper m_themeToolBar;
  CTKWinThemeWrapper m_themeComboBox;
  CTKWinThemeWrapper m_themeStatusBar;
  COLORREF m_clrEdgeShadow = 0;
  BOOL m_bFlatMenu = TRUE;
};

}  // namespace TKPaintThemes
