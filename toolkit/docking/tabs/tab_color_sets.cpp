#include "toolkit/docking/tabs/tab_color_sets.h"

#include "platform/user/uxtheme.h"
#include "toolkit/paint/draw_helpers.h"

namespace {

// System colour indices of the toolkit colour table.
constexpr UINT kWindow = 5;
constexpr UINT kHighlight = 13;
constexpr UINT kButtonFace = 15;
constexpr UINT kButtonShadow = 16;
constexpr UINT kGrayText = 17;
constexpr UINT kButtonText = 18;
constexpr UINT kButtonHighlight = 20;
constexpr UINT kDarkShadow = 21;

constexpr int kAppearanceStateButtons = 4;
constexpr int kAppearanceVisualStudio = 5;
constexpr int kAppearanceExcel = 7;

COLORREF Table(UINT nIndex) { return TKColorManager().GetColor(nIndex); }

void Solid(CTKPaintManagerColor& clr, COLORREF value) { clr.SetStandardValue(value); }

BOOL IsHorizontal(int nPosition) { return nPosition == TK_TAB_POSITION_TOP || nPosition == TK_TAB_POSITION_BOTTOM; }

int PositionOf(const CTKTabManagerItem* pItem)
{
  return pItem->m_pTabManager != nullptr ? pItem->m_pTabManager->GetStripPosition() : TK_TAB_POSITION_TOP;
}

}  // namespace

// ---- Base

void CTKTabPaintManager::CColorSet::RefreshMetrics()
{
  TKRefreshColors();
  m_clrHeaderFace.SetStandardValue(Table(kButtonFace), Table(kButtonFace));
  m_clrAutoHideFace.SetStandardValueFrom(m_clrHeaderFace);
  Solid(m_clrFrameBorder, Table(kButtonShadow));
  Solid(m_clrControlFace, Table(kButtonFace));
  Solid(m_clrBorderHighlight, Table(kButtonHighlight));
  Solid(m_clrSelectedFace, GetAppearanceNumber() == kAppearanceExcel ? Table(kWindow) : Table(kButtonFace));
  Solid(m_clrNormalFace, Table(kButtonFace));
  Solid(m_clrNormalText, Table(kButtonText));
  Solid(m_clrInactiveText, Table(kButtonText));
  Solid(m_clrSelectedText, Table(kButtonText));
  Solid(m_clrHighlightText, RGB(0, 0, 128));
  Solid(m_clrDisabledText, Table(kGrayText));
  m_clrButtonSelected.SetStandardValue(Table(kWindow), Table(kWindow));
  m_clrButtonPressedFrame.SetStandardValue(Table(kHighlight), Table(kHighlight));
  Solid(m_clrPageHighlight, Table(kButtonHighlight));
  Solid(m_clrPageShadow, Table(kButtonShadow));
  Solid(m_clrPageDarkShadow, Table(kDarkShadow));
  Solid(m_clrTabOutline, Table(kButtonShadow));
  Solid(m_clrSelectedTabOutline, Table(kButtonShadow));
  Solid(m_clrTabInnerLight, Table(kButtonFace));
  Solid(m_clrTabInnerLight2, Table(kButtonFace));
  const COLORREF arrExcel[6] = {Table(kButtonText), Table(kButtonShadow), Table(kButtonText), kUnset, kUnset, kUnset};
  for (int i = 0; i < 6; ++i) {
    Solid(m_csExcelSelected[i], arrExcel[i]);
    Solid(m_csExcelNormal[i], arrExcel[i]);
  }
  Solid(m_csExcelNormal[3], Table(kWindow));
  Solid(m_csExcelNormal[4], Table(kButtonShadow));
}

void CTKTabPaintManager::CColorSet::SetTextColor(CDC* pDC, const CTKTabManagerItem* pItem)
{
  COLORREF clr = m_clrNormalText;
  const CTKTabManager* pTabManager = pItem->m_pTabManager;
  if (!pItem->m_bEnabled) {
    clr = m_clrDisabledText;
  } else if (pTabManager != nullptr && !pTabManager->IsActive()) {
    clr = m_clrInactiveText;
  } else if (pItem->IsSelected()) {
    clr = m_clrSelectedText;
  } else if (pItem->IsHot()) {
    clr = m_clrHighlightText;
  }
  pDC->SetTextColor(clr);
}

COLORREF CTKTabPaintManager::CColorSet::GetTabColor(const CTKTabManagerItem* pItem) const
{
  if (m_pPaintManager->m_bItemColors) {
    return pItem->GetColor();
  }
  return pItem->IsSelected() ? m_clrSelectedFace : m_clrNormalFace;
}

COLORREF CTKTabPaintManager::CColorSet::FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem)
{
  const COLORREF clr = GetTabColor(pItem);
  pDC->FillSolidRect(rc, clr);
  return clr;
}

void CTKTabPaintManager::CColorSet::FillClient(CDC* pDC, CRect rc, CTKTabManager* pTabManager)
{
  const CTKTabManagerItem* pSelected = pTabManager->GetSelectedTab();
  pDC->FillSolidRect(rc, pSelected != nullptr ? GetTabColor(pSelected) : static_cast<COLORREF>(m_clrSelectedFace));
}

void CTKTabPaintManager::CColorSet::FillHeader(CDC* pDC, CRect rc, CTKTabManager* pTabManager)
{
  GradientFill(pDC, rc, m_clrHeaderFace, pTabManager->GetStripPosition());
}

void CTKTabPaintManager::CColorSet::FillStateButtonFace(CDC* pDC, CRect rc, CTKTabManagerItem* pItem)
{
  const int nPosition = PositionOf(pItem);
  if (pItem->IsSelected()) {
    if (m_pPaintManager->m_bItemColors) {
      pDC->FillSolidRect(rc, GetTabColor(pItem));
    } else {
      GradientFill(pDC, rc, m_clrButtonSelected, nPosition);
    }
    pDC->Draw3dRect(rc, m_clrButtonPressedFrame.clrLight, m_clrButtonPressedFrame.clrDark);
    return;
  }
  // An etched separator at the far edge.
  if (IsHorizontal(nPosition)) {
    pDC->Draw3dRect(CRect(rc.right - 2, rc.top + 2, rc.right, rc.bottom - 2), Table(kButtonShadow),
                    Table(kButtonHighlight));
  } else {
    pDC->Draw3dRect(CRect(rc.left + 2, rc.bottom - 2, rc.right - 2, rc.bottom), Table(kButtonShadow),
                    Table(kButtonHighlight));
  }
}

void CTKTabPaintManager::CColorSet::GradientFill(CDC* pDC, CRect rc, COLORREF clrFirst, COLORREF clrSecond,
                                                 int nPosition) const
{
  if (clrFirst == kHalftone) {
    static const WORD kRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CBitmap bitmap;
    bitmap.CreateBitmap(8, 8, 1, 1, kRows);
    CBrush brush;
    brush.CreatePatternBrush(&bitmap);
    const COLORREF clrOldText = pDC->SetTextColor(Table(kButtonFace));
    const COLORREF clrOldBack = pDC->SetBkColor(Table(kButtonHighlight));
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
    pDC->SelectObject(pOldBrush);
    pDC->SetTextColor(clrOldText);
    pDC->SetBkColor(clrOldBack);
    return;
  }
  BOOL bSwap = nPosition == TK_TAB_POSITION_BOTTOM || nPosition == TK_TAB_POSITION_RIGHT;
  if (m_pPaintManager->m_bInvertGradient) {
    bSwap = !bSwap;
  }
  const COLORREF clrFrom = bSwap ? clrSecond : clrFirst;
  const COLORREF clrTo = bSwap ? clrFirst : clrSecond;
  TKDrawHelpers().GradientFill(pDC, rc, clrFrom, clrTo, !IsHorizontal(nPosition));
}

// ---- Default (1)

void CTKTabPaintManager::CColorSetDefault::RefreshMetrics()
{
  CColorSet::RefreshMetrics();
  m_clrButtonSelected.SetStandardValue(kHalftone, kHalftone);
  m_clrButtonPressedFrame.SetStandardValue(Table(kButtonShadow), Table(kButtonHighlight), 0.5f);
  const COLORREF arrExcel[6] = {Table(kButtonText), Table(kButtonText), Table(kButtonText),
                                Table(kWindow),     Table(kButtonShadow), Table(kButtonShadow)};
  for (int i = 0; i < 6; ++i) {
    Solid(m_csExcelSelected[i], arrExcel[i]);
    Solid(m_csExcelNormal[i], i < 3 ? arrExcel[i] : kUnset);
  }
  if (GetAppearanceNumber() == kAppearanceExcel) {
    Solid(m_clrSelectedFace, Table(kButtonFace));
    Solid(m_clrNormalFace, Table(kWindow));
    Solid(m_clrFrameBorder, Table(kButtonText));
  }
}

void CTKTabPaintManager::CColorSetDefault::FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton,
                                                                  CRect& rc)
{
  if (pButton->IsEnabled() && pButton->IsPressed()) {
    pDC->Draw3dRect(rc, Table(kButtonShadow), Table(kButtonHighlight));
    rc.OffsetRect(1, 1);
  } else if (pButton->IsEnabled() && pButton->IsHot()) {
    pDC->Draw3dRect(rc, Table(kButtonHighlight), Table(kButtonShadow));
  }
  pDC->SetTextColor(Table(kButtonText));
}

// ---- Visual Studio (2)

void CTKTabPaintManager::CColorSetVisualStudio::RefreshMetrics()
{
  CColorSetDefault::RefreshMetrics();
  const int nAppearance = GetAppearanceNumber();
  if (nAppearance != kAppearanceExcel && nAppearance != kAppearanceStateButtons) {
    m_clrHeaderFace.SetStandardValue(Table(48), Table(48));
  }
  if (nAppearance == kAppearanceVisualStudio) {
    Solid(m_clrNormalText, Table(49));
    Solid(m_clrInactiveText, Table(49));
  }
  m_clrAutoHideFace.SetStandardValueFrom(m_clrHeaderFace);
}

void CTKTabPaintManager::CColorSetVisualStudio::FillNavigateButtonFace(CDC* pDC,
                                                                       CTKTabManagerNavigateButton* pButton, CRect& rc)
{
  const int nAppearance = GetAppearanceNumber();
  if (nAppearance == kAppearanceExcel || nAppearance == kAppearanceStateButtons) {
    CColorSetDefault::FillNavigateButtonFace(pDC, pButton, rc);
    return;
  }
  if (pButton->IsEnabled() && pButton->IsPressed()) {
    pDC->Draw3dRect(rc, Table(kButtonText), Table(kButtonFace));
    rc.OffsetRect(1, 1);
  } else if (pButton->IsEnabled() && pButton->IsHot()) {
    pDC->Draw3dRect(rc, Table(kButtonFace), Table(kButtonText));
  }
  pDC->SetTextColor(Table(49));
}

// ---- Office 2003 (4)

namespace {

struct LunaColors {
  COLORREF border, darkShadow, shadow, pressedFrame, headerLight, headerDark, autoHideLight, autoHideDark, normalFace,
      hotFace;
};

// Blue, olive and silver.
constexpr LunaColors kLuna[3] = {
    {RGB(59, 97, 156), RGB(0, 53, 154), RGB(117, 166, 241), RGB(0, 0, 128), RGB(196, 218, 250), RGB(252, 253, 254),
     RGB(158, 190, 245), RGB(196, 218, 250), RGB(162, 192, 246), RGB(255, 240, 201)},
    {RGB(96, 128, 88), RGB(96, 119, 107), RGB(176, 194, 140), RGB(63, 93, 56), RGB(242, 241, 228), RGB(252, 254, 254),
     RGB(217, 217, 167), RGB(242, 241, 228), RGB(208, 222, 170), RGB(255, 240, 199)},
    {RGB(124, 124, 148), RGB(118, 116, 146), RGB(186, 185, 206), RGB(75, 75, 111), RGB(243, 243, 247),
     RGB(252, 254, 254), RGB(215, 215, 229), RGB(243, 243, 247), RGB(217, 217, 230), RGB(255, 238, 194)},
};

}  // namespace

void CTKTabPaintManager::CColorSetOffice2003::RefreshMetrics()
{
  CColorSet::RefreshMetrics();
  m_clrHeaderFace.SetStandardValue(Table(kButtonFace),
                                   CTKColorManager::LightColor(Table(kButtonFace), Table(kWindow), 205), 0.5f);
  m_clrButtonSelected.SetStandardValue(Table(36));
  m_clrButtonPressedFrame.SetStandardValue(Table(37));
  Solid(m_clrHighlightFace, Table(36));
  Solid(m_clrHighlightText, Table(kButtonText));
  m_clrAutoHideFace.SetStandardValueFrom(m_clrHeaderFace);
  m_bLunaTheme = FALSE;

  if (!m_pPaintManager->IsLunaColorsDisabled()) {
    const int nScheme = TKCurrentSystemTheme();
    if (nScheme >= 1 && nScheme <= 3) {
      const LunaColors& luna = kLuna[nScheme - 1];
      Solid(m_clrFrameBorder, luna.border);
      Solid(m_clrSelectedTabOutline, luna.border);
      Solid(m_clrPageDarkShadow, luna.darkShadow);
      Solid(m_clrTabOutline, luna.darkShadow);
      Solid(m_clrPageShadow, luna.shadow);
      Solid(m_clrTabInnerLight, luna.shadow);
      Solid(m_clrTabInnerLight2, RGB(255, 255, 255));
      m_clrButtonSelected.SetStandardValue(RGB(255, 192, 111));
      m_clrButtonPressedFrame.SetStandardValue(luna.pressedFrame);
      m_clrHeaderFace.SetStandardValue(luna.headerLight, luna.headerDark, 0.5f);
      m_clrAutoHideFace.SetStandardValue(luna.autoHideLight, luna.autoHideDark, 0.5f);
      Solid(m_clrNormalFace, luna.normalFace);
      Solid(m_clrSelectedFace, RGB(255, 194, 115));
      Solid(m_clrHighlightFace, luna.hotFace);
      Solid(m_clrNavigateButtonBorder, luna.pressedFrame);
      m_bLunaTheme = TRUE;
    } else {
      Solid(m_clrSelectedFace, Table(36));
    }
  }
  for (int i = 0; i < 6; ++i) {
    Solid(m_csExcelSelected[i], i < 3 ? static_cast<COLORREF>(m_clrFrameBorder) : kUnset);
    Solid(m_csExcelNormal[i], m_csExcelSelected[i].GetStandardValue());
  }
  if (GetAppearanceNumber() == kAppearanceStateButtons) {
    m_clrButtonPressedFrame.SetStandardValue(Table(kButtonFace));
    m_clrHeaderFace.SetStandardValue(Table(kButtonFace));
  }
}

COLORREF CTKTabPaintManager::CColorSetOffice2003::FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem)
{
  const COLORREF clr = pItem->IsHot() ? static_cast<COLORREF>(m_clrHighlightFace) : GetTabColor(pItem);
  GradientFill(pDC, rc, CTKColorManager::LightColor(clr, RGB(255, 255, 255), 300), clr, PositionOf(pItem));
  return clr;
}

void CTKTabPaintManager::CColorSetOffice2003::FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton,
                                                                     CRect& rc)
{
  if (!pButton->IsEnabled() || (!pButton->IsPressed() && !pButton->IsHot())) {
    pDC->SetTextColor(Table(kButtonText));
    return;
  }
  const BOOL bPressedHot = pButton->IsPressed() && pButton->IsHot();
  if (m_bLunaTheme) {
    if (bPressedHot) {
      TKDrawHelpers().GradientFill(pDC, rc, RGB(254, 142, 75), RGB(255, 207, 139), FALSE);
    } else {
      TKDrawHelpers().GradientFill(pDC, rc, RGB(255, 242, 200), RGB(255, 212, 151), FALSE);
    }
    pDC->Draw3dRect(rc, m_clrNavigateButtonBorder, m_clrNavigateButtonBorder);
    pDC->SetTextColor(Table(kButtonText));
    return;
  }
  pDC->FillSolidRect(rc, Table(bPressedHot ? 33 : 31));
  pDC->Draw3dRect(rc, Table(bPressedHot ? 50 : 32), Table(bPressedHot ? 50 : 32));
  pDC->SetTextColor(Table(bPressedHot ? 47 : 45));
}

// ---- Whidbey (16)

void CTKTabPaintManager::CColorSetWhidbey::RefreshMetrics()
{
  CColorSet::RefreshMetrics();
  Solid(m_clrSelectedFace, RGB(255, 255, 255));
  m_bLunaTheme = FALSE;
  m_bGrayTheme = FALSE;
  Solid(m_clrHighlightFace, Table(36));
  Solid(m_clrHighlightText, Table(kButtonText));
  if (!m_pPaintManager->IsLunaColorsDisabled()) {
    CColorSetOffice2003::RefreshMetrics();
  } else {
    switch (TKCurrentSystemTheme()) {
      case 1:
      case 2:
        m_clrHeaderFace.SetStandardValue(RGB(228, 226, 213));
        m_bGrayTheme = TRUE;
        break;
      case 3:
        Solid(m_clrNormalFace, RGB(245, 245, 248));
        m_clrHeaderFace.SetStandardValue(RGB(238, 238, 238));
        m_bGrayTheme = TRUE;
        break;
      default: break;
    }
  }
  Solid(m_clrSelectedTabOutline, Table(57));
  Solid(m_clrFrameBorder, Table(57));
}

COLORREF CTKTabPaintManager::CColorSetWhidbey::FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem)
{
  if (m_bGrayTheme) {
    return CColorSetOffice2003::FillTab(pDC, rc, pItem);
  }
  const COLORREF clr = pItem->IsHot() ? static_cast<COLORREF>(m_clrHighlightFace) : GetTabColor(pItem);
  pDC->FillSolidRect(rc, clr);
  return clr;
}

// ---- Windows XP (8)

void CTKTabPaintManager::CColorSetWinXP::RefreshMetrics()
{
  CColorSetDefault::RefreshMetrics();
  static const char16_t kTab[] = u"TAB";
  static const char16_t kToolbar[] = u"TOOLBAR";
  m_themeTab.OpenThemeData(nullptr, kTab);
  if (m_themeTab.GetThemeHandle() != nullptr) {
    Solid(m_clrPageHighlight, kUnset);
    Solid(m_clrPageShadow, kUnset);
    Solid(m_clrPageDarkShadow, kUnset);
    m_clrHighlightText = m_clrNormalText;
  }
  m_themeToolbar.OpenThemeData(nullptr, kToolbar);
}

COLORREF CTKTabPaintManager::CColorSetWinXP::FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem)
{
  if (!IsThemed()) {
    return CColorSetDefault::FillTab(pDC, rc, pItem);
  }
  const int nPosition = PositionOf(pItem);
  const BOOL bSelected = pItem->IsSelected();
  const int nState = bSelected ? TIS_SELECTED : pItem->IsHot() ? TIS_HOT : TIS_NORMAL;
  if (bSelected) {
    switch (nPosition) {
      case TK_TAB_POSITION_LEFT: rc.right += 1; break;
      case TK_TAB_POSITION_BOTTOM: rc.top -= 1; break;
      case TK_TAB_POSITION_RIGHT: rc.left -= 1; break;
      default: rc.bottom += 1; break;
    }
  }
  if (nPosition == TK_TAB_POSITION_TOP) {
    CRect rcPart(rc.left - 1, rc.top - 1, rc.right + 1, rc.bottom);
    m_themeTab.DrawThemeBackground(pDC->GetSafeHdc(), TABP_TABITEM, nState, rcPart, nullptr);
    return kUnset;
  }
  // The style draws tabs upright only: paint one off screen and turn it into place.
  const BOOL bVertical = nPosition != TK_TAB_POSITION_BOTTOM;
  const int nWidth = bVertical ? rc.Height() : rc.Width();
  const int nHeight = bVertical ? rc.Width() : rc.Height();
  if (nWidth <= 0 || nHeight <= 0) {
    return kUnset;
  }
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = nWidth;
  bmi.bmiHeader.biHeight = -nHeight;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* pUpright = nullptr;
  HBITMAP hUpright = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pUpright, nullptr, 0);
  BITMAPINFO bmiTurned = bmi;
  bmiTurned.bmiHeader.biWidth = rc.Width();
  bmiTurned.bmiHeader.biHeight = -rc.Height();
  void* pTurned = nullptr;
  HBITMAP hTurned = ::CreateDIBSection(nullptr, &bmiTurned, DIB_RGB_COLORS, &pTurned, nullptr, 0);
  if (hUpright == nullptr || hTurned == nullptr || pUpright == nullptr || pTurned == nullptr) {
    ::DeleteObject(hUpright);
    ::DeleteObject(hTurned);
    return kUnset;
  }
  {
    CDC dcUpright;
    dcUpright.CreateCompatibleDC(pDC);
    HGDIOBJ hOld = dcUpright.SelectObject(hUpright);
    dcUpright.FillSolidRect(0, 0, nWidth, nHeight, Table(kButtonFace));
    CRect rcPart(0, 0, nWidth, nHeight);
    m_themeTab.DrawThemeBackground(dcUpright.GetSafeHdc(), TABP_TABITEM, nState, rcPart, nullptr);
    ::GdiFlush();
    dcUpright.SelectObject(hOld);
  }
  const DWORD* pSource = static_cast<const DWORD*>(pUpright);
  DWORD* pTarget = static_cast<DWORD*>(pTurned);
  const int nTargetWidth = rc.Width();
  const int nTargetHeight = rc.Height();
  for (int y = 0; y < nTargetHeight; ++y) {
    for (int x = 0; x < nTargetWidth; ++x) {
      int sx = x;
      int sy = y;
      switch (nPosition) {
        case TK_TAB_POSITION_BOTTOM: sy = nHeight - 1 - y; break;
        case TK_TAB_POSITION_LEFT: sx = y; sy = nHeight - 1 - x; break;
        default: sx = y; sy = x; break;
      }
      pTarget[y * nTargetWidth + x] = pSource[sy * nWidth + sx];
    }
  }
  CRect rcDraw;
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT: rcDraw.SetRect(rc.left - 1, rc.top - 1, rc.right, rc.bottom + 1); break;
    case TK_TAB_POSITION_BOTTOM: rcDraw.SetRect(rc.left - 1, rc.top, rc.right + 1, rc.bottom + 2); break;
    default: rcDraw.SetRect(rc.left, rc.top - 1, rc.right + 2, rc.bottom + 1); break;
  }
  pDC->DrawState(rcDraw.TopLeft(), rcDraw.Size(), hTurned, DST_BITMAP);
  ::DeleteObject(hUpright);
  ::DeleteObject(hTurned);
  return kUnset;
}

void CTKTabPaintManager::CColorSetWinXP::FillClient(CDC* pDC, CRect rc, CTKTabManager* pTabManager)
{
  if (!IsThemed()) {
    CColorSetDefault::FillClient(pDC, rc, pTabManager);
    return;
  }
  const int nPosition = pTabManager->GetStripPosition();
  if (nPosition == TK_TAB_POSITION_BOTTOM) {
    rc.bottom += 1;
  } else if (nPosition == TK_TAB_POSITION_RIGHT) {
    rc.right += 1;
  }
  m_themeTab.DrawThemeBackground(pDC->GetSafeHdc(), TABP_PANE, 0, rc, nullptr);
}

void CTKTabPaintManager::CColorSetWinXP::AfterHeader(CDC* pDC, CRect /*rc*/, CTKTabManager* pTabManager)
{
  if (!IsThemed()) {
    return;
  }
  const CRect& rcClient = pTabManager->m_rcClient;
  switch (pTabManager->GetStripPosition()) {
    case TK_TAB_POSITION_BOTTOM:
      pDC->ExcludeClipRect(rcClient.left, rcClient.bottom - 2, rcClient.left + 1, rcClient.bottom - 1);
      break;
    case TK_TAB_POSITION_RIGHT:
      pDC->ExcludeClipRect(rcClient.right - 2, rcClient.top, rcClient.right - 1, rcClient.top + 1);
      break;
    default: pDC->ExcludeClipRect(rcClient.left, rcClient.top, rcClient.left + 1, rcClient.top + 1); break;
  }
}

void CTKTabPaintManager::CColorSetWinXP::FillStateButtonFace(CDC* pDC, CRect rc, CTKTabManagerItem* pItem)
{
  if (m_themeToolbar.GetThemeHandle() != nullptr && pItem->IsSelected()) {
    m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), TP_BUTTON, pItem->IsHot() ? TS_HOTCHECKED : TS_CHECKED, rc,
                                       nullptr);
    return;
  }
  CColorSetDefault::FillStateButtonFace(pDC, rc, pItem);
}

void CTKTabPaintManager::CColorSetWinXP::FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton,
                                                                CRect& rc)
{
  if (m_themeToolbar.GetThemeHandle() == nullptr) {
    CColorSetDefault::FillNavigateButtonFace(pDC, pButton, rc);
    return;
  }
  if (pButton->IsEnabled()) {
    const int nState = pButton->IsPressed() ? TS_PRESSED : pButton->IsHot() ? TS_HOT : TS_NORMAL;
    m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), TP_BUTTON, nState, rc, nullptr);
  }
  pDC->SetTextColor(Table(kButtonText));
}
