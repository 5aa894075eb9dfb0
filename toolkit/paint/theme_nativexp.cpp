#include "toolkit/paint/theme_nativexp.h"

#include "platform/mfc/winapp.h"
#include "platform/user/system.h"
#include "platform/user/uxtheme.h"

#include <algorithm>

namespace TKPaintThemes {

namespace {

constexpr int kMenu = 4;
constexpr int kFace = 15;
constexpr int kShadow = 16;
constexpr int kGrayText = 17;
constexpr int kButtonText = 18;
constexpr int kHighlight = 20;
constexpr int kDarkShadow = 21;
constexpr UINT kTopDockRowId = 59419;
constexpr int kSplitArrowWidth = 12;
constexpr int kStatusGripperWidth = 18;

}  // namespace

CTKNativeXPTheme::CTKNativeXPTheme()
{
  m_bFadedIcons = TRUE;
  m_bIconShadow = FALSE;
  m_nPopupTextColor = 7;
  m_bFlatMenu = TRUE;
}

void CTKNativeXPTheme::RefreshMetrics()
{
  CTKDefaultTheme::RefreshMetrics();
  CWnd* pMain = AfxGetMainWnd();
  HWND hWnd = pMain ? pMain->GetSafeHwnd() : nullptr;
  if (hWnd) {
    m_themeToolBar.OpenThemeData(hWnd, u"TOOLBAR");
    m_themeRebar.OpenThemeData(hWnd, u"REBAR");
    m_themeComboBox.OpenThemeData(hWnd, u"COMBOBOX");
    m_themeStatusBar.OpenThemeData(hWnd, u"STATUS");
  } else {
    m_themeToolBar.CloseThemeData();
    m_themeRebar.CloseThemeData();
    m_themeComboBox.CloseThemeData();
    m_themeStatusBar.CloseThemeData();
  }
  BOOL bFlat = FALSE;
  m_bFlatMenu = ::SystemParametersInfo(SPI_GETFLATMENU, 0, &bFlat, 0) ? bFlat : FALSE;
  COLORREF clr = 0;
  m_clrEdgeShadow = SUCCEEDED(m_themeRebar.GetThemeColor(3, 0, TMT_EDGESHADOWCOLOR, &clr)) ? clr : GetColor(kShadow);
  if (m_themeToolBar.IsAppThemed() && SUCCEEDED(m_themeToolBar.GetThemeColor(0, 0, TMT_TEXTCOLOR, &clr)))
    m_arrColor[kButtonText].SetStandardValue(clr);
  if (m_themeRebar.IsAppThemed() && SUCCEEDED(m_themeRebar.GetThemeColor(0, 0, TMT_FILLCOLORHINT, &clr)))
    m_arrColor[kFace].SetStandardValue(clr);
  if (m_themeStatusBar.IsAppThemed() && SUCCEEDED(m_themeStatusBar.GetThemeColor(1, 0, TMT_TEXTCOLOR, &clr)))
    m_clrStatusText = clr;
}

void CTKNativeXPTheme::DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                                           BOOL bChecked, BOOL bPopuped, BOOL bToolBar, int nBarPosition)
{
  if (!m_themeToolBar.IsAppThemed()) {
    CTKDefaultTheme::DrawButtonRectangle(pDC, rc, nSelected, nPressed, bEnabled, bChecked, bPopuped, bToolBar,
                                         nBarPosition);
    return;
  }
  int nState = 1;
  if (!bEnabled)
    nState = bChecked ? 3 : 4;
  else if (bPopuped)
    nState = 3;
  else if (bChecked && !nPressed)
    nState = nSelected ? 6 : 5;
  else if ((nSelected && nPressed) || nPressed == 2)
    nState = 3;
  else if (nSelected)
    nState = 2;
  // A normal button has no face of its own: the bar shows through.
  if (nState != 1)
    m_themeToolBar.DrawThemeBackground(pDC->GetSafeHdc(), 1, nState, &rc, nullptr);
}

BOOL CTKNativeXPTheme::DrawSplitButtonFrameStyled(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bPressed, BOOL bSelected,
                                                  BOOL bChecked, BOOL bOpen)
{
  if (!m_themeToolBar.IsAppThemed())
    return FALSE;
  int nState = !bEnabled ? 4 : (bPressed && bSelected) ? 3 : bChecked ? 5 : (bSelected || bOpen) ? 2 : 1;
  CRect rcMain(rc.left, rc.top, rc.right - kSplitArrowWidth, rc.bottom);
  CRect rcArrow(rc.right - kSplitArrowWidth, rc.top, rc.right, rc.bottom);
  m_themeToolBar.DrawThemeBackground(pDC->GetSafeHdc(), 3, nState, &rcMain, nullptr);
  m_themeToolBar.DrawThemeBackground(pDC->GetSafeHdc(), 4, bOpen ? 3 : nState, &rcArrow, nullptr);
  pDC->SetTextColor(GetColor(bEnabled ? kButtonText : kGrayText));
  pDC->SetBkMode(TRANSPARENT);
  return TRUE;
}

void CTKNativeXPTheme::FillRebar(CDC* pDC, CWnd* pBar, CWnd* pDockRow)
{
  CRect rcClient;
  pBar->GetClientRect(&rcClient);
  if (!m_themeRebar.IsAppThemed() || !pDockRow || !pDockRow->GetSafeHwnd()) {
    pDC->FillSolidRect(rcClient, GetColor(kFace));
    return;
  }
  CRect rcRow;
  pDockRow->GetWindowRect(&rcRow);
  pBar->ScreenToClient(&rcRow);
  m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, &rcRow, &rcClient);
}

BOOL CTKNativeXPTheme::FillCommandBarStyled(CDC* pDC, CWnd* pBar, int nPosition, CWnd* pDockRow)
{
  if (!m_themeRebar.IsAppThemed())
    return FALSE;
  CRect rc;
  pBar->GetClientRect(&rc);
  const auto classicFrame = [&] {
    Draw3dRect(pDC, rc, kFace, kDarkShadow);
    CRect rcInner = rc;
    rcInner.DeflateRect(1, 1);
    Draw3dRect(pDC, rcInner, kHighlight, kShadow);
  };
  switch (nPosition) {
  case tkBarPopup:
    if (m_bFlatMenu) {
      DrawRectangle(pDC, rc, kShadow, kMenu);
    } else {
      pDC->FillSolidRect(rc, GetColor(kMenu));
      classicFrame();
    }
    return TRUE;
  case tkBarFloating:
    pDC->FillSolidRect(rc, GetColor(kFace));
    classicFrame();
    return TRUE;
  case tkBarTop:
    FillRebar(pDC, pBar, pDockRow);
    break;
  default:
    pDC->FillSolidRect(rc, GetColor(kFace));
    break;
  }
  pDC->Draw3dRect(rc, GetColor(kHighlight), m_clrEdgeShadow);
  return TRUE;
}

BOOL CTKNativeXPTheme::DrawCommandBarGripperStyled(CDC* pDC, CRect rcClient, int nPosition, BOOL bDialogBar,
                                                   BOOL bDraw, CSize& size)
{
  if (!m_themeRebar.IsAppThemed())
    return FALSE;
  if (bDialogBar) {
    size = DrawDialogBarGripper(pDC, bDraw);
    return TRUE;
  }
  switch (nPosition) {
  case tkBarTop:
  case tkBarBottom: {
    CRect rc(rcClient.left + 2, rcClient.top, rcClient.left + 8, rcClient.bottom);
    if (bDraw)
      m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 1, 1, &rc, nullptr);
    size = CSize(8, 0);
    return TRUE;
  }
  case tkBarLeft:
  case tkBarRight: {
    CRect rc(rcClient.left, rcClient.top + 2, rcClient.right, rcClient.top + 8);
    if (bDraw)
      m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 2, 1, &rc, nullptr);
    size = CSize(0, 8);
    return TRUE;
  }
  case tkBarFloating:
    return FALSE;
  default:
    size = CSize(0, 0);
    return TRUE;
  }
}

CSize CTKNativeXPTheme::DrawDialogBarGripper(CDC* pDC, BOOL bDraw)
{
  int g = std::max(m_nTextHeight + 4, 22);
  if (bDraw && m_themeRebar.IsAppThemed()) {
    CRect rc(2, 3, 8, g);
    m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 1, 1, &rc, nullptr);
  }
  return CSize(8, g);
}

BOOL CTKNativeXPTheme::AdjustExcludeRectStyled(CRect& rc, BOOL bComboBox, BOOL bPopupParent)
{
  if (!m_themeRebar.IsAppThemed())
    return FALSE;
  if (!bComboBox && bPopupParent)
    rc.InflateRect(-3, 3);
  return TRUE;
}

void CTKNativeXPTheme::FillDockBar(CDC* pDC, CWnd* pBar)
{
  if (static_cast<UINT>(pBar->GetDlgCtrlID()) == kTopDockRowId) {
    FillRebar(pDC, pBar, pBar);
    return;
  }
  CRect rc;
  pBar->GetClientRect(&rc);
  pDC->FillSolidRect(rc, GetColor(kFace));
}

void CTKNativeXPTheme::FillStatusBar(CDC* pDC, CWnd* pBar)
{
  CRect rc;
  pBar->GetClientRect(&rc);
  if (!m_themeStatusBar.IsAppThemed() ||
      FAILED(m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, &rc, nullptr)))
    pDC->FillSolidRect(rc, GetColor(kFace));
}

void CTKNativeXPTheme::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLastPane)
{
  if (!m_themeStatusBar.IsAppThemed()) {
    CTKDefaultTheme::DrawStatusBarPaneBorder(pDC, rc, bLastPane);
    return;
  }
  m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), bLastPane ? 2 : 1, 0, &rc, nullptr);
}

void CTKNativeXPTheme::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
  if (!m_themeStatusBar.IsAppThemed()) {
    CTKDefaultTheme::DrawStatusBarGripper(pDC, rcClient);
    return;
  }
  CRect rc(rcClient.right - kStatusGripperWidth, rcClient.top, rcClient.right, rcClient.bottom);
  m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 3, 0, &rc, nullptr);
}

void CTKNativeXPTheme::DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected)
{
  if (!m_themeComboBox.IsAppThemed()) {
    CTKDefaultTheme::DrawEditFrame(pDC, rc, bEnabled, nSelected);
    return;
  }
  COLORREF clr = 0;
  if (FAILED(m_themeComboBox.GetThemeColor(1, bEnabled ? 1 : 4, TMT_BORDERCOLOR, &clr)))
    clr = GetColor(kShadow);
  pDC->Draw3dRect(rc, clr, clr);
}

void CTKNativeXPTheme::DrawComboButton(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bDropped)
{
  if (!m_themeComboBox.IsAppThemed()) {
    CTKDefaultTheme::DrawComboButton(pDC, rc, bEnabled, bSelected, bDropped);
    return;
  }
  CRect rcButton(rc.left - 2, rc.top + 1, rc.right - 1, rc.bottom - 1);
  int nState = !bEnabled ? 4 : bDropped ? 3 : bSelected ? 2 : 1;
  m_themeComboBox.DrawThemeBackground(pDC->GetSafeHdc(), 1, nState, &rcButton, nullptr);
}

}  // namespace TKPaintThemes
