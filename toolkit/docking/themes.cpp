#include "toolkit/docking/themes.h"

#include "platform/user/system.h"
#include "platform/user/uxtheme.h"
#include "toolkit/docking/tabbed_container.h"
#include "toolkit/docking/tabs/tab_appearances.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
#include "toolkit/paint/draw_helpers.h"

#include <cstring>

namespace TKDockingPanePaintThemes {

namespace {

// Luna schemes as the colour manager numbers them.
constexpr int kLunaBlue = 1;
constexpr int kLunaOlive = 2;
constexpr int kLunaSilver = 3;

void Line(CDC* pDC, int x1, int y1, int x2, int y2)
{
  pDC->MoveTo(x1, y1);
  pDC->LineTo(x2, y2);
}

// Four 1-pixel lines along the rectangle's edges that leave its corner pixels out.
void FrameWithoutCorners(CDC* pDC, const CRect& rc, COLORREF clr)
{
  pDC->FillSolidRect(rc.left + 1, rc.top, rc.Width() - 2, 1, clr);
  pDC->FillSolidRect(rc.left + 1, rc.bottom - 1, rc.Width() - 2, 1, clr);
  pDC->FillSolidRect(rc.left, rc.top + 1, 1, rc.Height() - 2, clr);
  pDC->FillSolidRect(rc.right - 1, rc.top + 1, 1, rc.Height() - 2, clr);
}

void SetPropertyPageFlat(CTKTabPaintManager* pTabs, BOOL bDocking)
{
  auto* pAppearance = new CTKTabPaintManager::CAppearanceSetPropertyPageFlat();
  pAppearance->m_bFramed = FALSE;
  pAppearance->m_bDocking = bDocking;
  pTabs->InstallAppearance(pAppearance);
  pTabs->m_nAppearance = 2;
}

}  // namespace

// ---- Default

CTKDockingPaneDefaultTheme::CTKDockingPaneDefaultTheme()
{
  m_pPanelPaintManager->SelectAppearance(0);
  m_pAutoHidePaintManager->SelectAppearance(0);
}

void CTKDockingPaneDefaultTheme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                 const CString& strTitle, BOOL bActive, BOOL bVertical)
{
  pDC->FillSolidRect(rcCaption, GetColor(bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  DrawButtonsAndText(pDC, pPane, rcCaption, strTitle, bVertical, GetColor(COLOR_BTNTEXT),
                     GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT), 12, 2);
}

void CTKDockingPaneDefaultTheme::DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton,
                                                   COLORREF clrButton)
{
  CRect rc = pButton->GetRect();
  const UINT nPushed = pButton->m_bPressed ? DFCS_PUSHED : 0;
  if (pButton->GetID() == TK_IDS_DOCKINGPANE_CLOSE) {
    pDC->DrawFrameControl(&rc, DFC_CAPTION, DFCS_CAPTIONCLOSE | nPushed);
    return;
  }
  pDC->DrawFrameControl(&rc, DFC_BUTTON, DFCS_BUTTONPUSH | nPushed);
  if (pButton->GetID() != TK_IDS_DOCKINGPANE_AUTOHIDE) {
    DrawButtonGlyph(pDC, pButton, rc.CenterPoint(), clrButton);
    return;
  }
  CTKPenDC penDC(pDC->GetSafeHdc(), clrButton);
  const int o = pButton->m_bPressed ? 0 : 1;
  if ((pButton->m_dwState & 0x2) != 0) {
    const int d = rc.left - o;
    const int c = rc.CenterPoint().y - o;
    POINT pts[] = {{d, c},         {d + 2, c},     {d + 2, c - 3}, {d + 4, c - 1}, {d + 5, c - 2}, {d + 6, c - 2},
                   {d + 6, c + 2}, {d + 5, c + 2}, {d + 4, c + 1}, {d + 2, c + 3}, {d + 2, c}};
    pDC->Polyline(pts, 11);
  } else {
    const int d = rc.bottom - o;
    const int c = rc.CenterPoint().x - o;
    POINT pts[] = {{c, d},         {c, d - 2},     {c - 3, d - 2}, {c - 3, d - 3}, {c - 1, d - 6},
                   {c - 2, d - 7}, {c - 2, d - 8}, {c + 2, d - 8}, {c + 2, d - 7}, {c + 1, d - 6},
                   {c + 3, d - 3}, {c + 3, d - 2}, {c, d - 2}};
    pDC->Polyline(pts, 13);
  }
}

// ---- Grippered

void CTKDockingPaneGripperedTheme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                   const CString& strTitle, BOOL /*bActive*/, BOOL bVertical)
{
  const COLORREF clrText = GetColor(COLOR_BTNTEXT);
  CRect rcText = rcCaption;
  (bVertical ? rcText.bottom : rcText.right) -= 2;
  DrawCaptionButtons(pDC, pPane->GetCaptionButtons(), rcText, clrText, 14, 2, bVertical);
  pDC->SetTextColor(clrText);
  (bVertical ? rcText.top : rcText.left) += 4;
  (bVertical ? rcText.left : rcText.top) += 1;
  (bVertical ? rcText.bottom : rcText.right) -= 2;
  const int nTextWidth = DrawCaptionText(pDC, strTitle, rcText, bVertical);
  // Two raised bars from behind the text to the buttons, above and below the middle line.
  const int nStart = (bVertical ? rcText.top : rcText.left) + (strTitle.IsEmpty() ? 0 : nTextWidth + 4);
  const int nEnd = bVertical ? rcText.bottom : rcText.right;
  if (nStart >= nEnd) {
    return;
  }
  const CPoint ptMid = rcCaption.CenterPoint();
  for (int nOffset : {-3, 1}) {
    CRect rcBar = bVertical ? CRect(ptMid.x + nOffset, nStart, ptMid.x + nOffset + 3, nEnd)
                            : CRect(nStart, ptMid.y + nOffset, nEnd, ptMid.y + nOffset + 3);
    pDC->Draw3dRect(rcBar, GetColor(COLOR_BTNHIGHLIGHT), GetColor(COLOR_BTNSHADOW));
  }
}

void CTKDockingPaneGripperedTheme::DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton,
                                                     COLORREF clrButton)
{
  CTKDockingPanePaintManager::DrawCaptionButton(pDC, pButton, clrButton);
}

// ---- Office

CTKDockingPaneOfficeTheme::CTKDockingPaneOfficeTheme()
{
  m_bBoldCaptions = FALSE;
  m_bGradientCaption = FALSE;
  m_pPanelPaintManager->SelectAppearance(5);
  m_pAutoHidePaintManager->SelectAppearance(6);
}

void CTKDockingPaneOfficeTheme::RefreshMetrics()
{
  CTKDockingPaneGripperedTheme::RefreshMetrics();
  m_clrActiveCaptionGradient.SetStandardValue(GetColor(COLOR_ACTIVECAPTION), GetColor(COLOR_GRADIENTACTIVECAPTION));
  m_clrNormalCaptionGradient.SetStandardValue(GetColor(COLOR_INACTIVECAPTION),
                                              ::GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
  m_clrNormalCaptionText.SetStandardValue(GetColor(COLOR_BTNTEXT));
  m_clrActiveCaptionText.SetStandardValue(GetColor(COLOR_CAPTIONTEXT));
}

COLORREF CTKDockingPaneOfficeTheme::DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* /*pPane*/, CRect rc,
                                                          BOOL bActive, BOOL /*bVertical*/)
{
  if (m_bGradientCaption) {
    TKDrawHelpers().GradientFillColor(pDC, &rc, bActive ? m_clrActiveCaptionGradient : m_clrNormalCaptionGradient,
                                      TRUE);
  } else if (bActive) {
    pDC->FillSolidRect(rc, m_clrActiveCaptionGradient.clrLight.GetValue());
  } else {
    FrameWithoutCorners(pDC, rc, GetColor(52));
  }
  return GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT);
}

void CTKDockingPaneOfficeTheme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                const CString& strTitle, BOOL bActive, BOOL bVertical)
{
  const COLORREF clrButtons = DrawCaptionBackground(pDC, pPane, rcCaption, bActive, bVertical);
  const COLORREF clrText = bActive ? m_clrActiveCaptionText.GetValue() : m_clrNormalCaptionText.GetValue();
  DrawButtonsAndText(pDC, pPane, rcCaption, strTitle, bVertical, clrButtons, clrText, 14, 2);
}

// ---- Office 2003

int CTKDockingPaneOffice2003Theme::GetLunaScheme() const
{
  const CTKColorManager& colors = TKColorManager();
  switch (m_nLunaSchemeSource) {
    case 5:
      return colors.IsLunaColorsDisabled() ? 0 : colors.GetCurrentSystemTheme();
    case 4:
      return colors.m_nLunaScheme;
    default:
      return m_nLunaSchemeSource;
  }
}

void CTKDockingPaneOffice2003Theme::RefreshMetrics()
{
  CTKDockingPaneOfficeTheme::RefreshMetrics();
  m_clrNormalCaptionGradient.SetStandardValue(
      CTKColorManager::LightColor(GetColor(COLOR_3DFACE), GetColor(COLOR_WINDOW), 205), GetColor(COLOR_3DFACE));
  m_clrNormalCaptionText.SetStandardValue(GetColor(COLOR_BTNTEXT));
  m_clrActiveCaptionText.SetStandardValue(GetColor(COLOR_BTNTEXT));
  m_clrActiveCaptionGradient.SetStandardValue(GetColor(36));
  m_bLunaButtons = FALSE;
  const int nScheme = GetLunaScheme();
  if (nScheme < kLunaBlue || nScheme > kLunaSilver) {
    return;
  }
  // Per scheme: blue, olive, silver.
  struct SchemeColors {
    COLORREF inactiveLight, inactiveDark;
    float inactiveFactor;
    COLORREF captionBackground, c30, c31, c32, c33, c36, c38, c39, c40, c41, c43;
  };
  static constexpr SchemeColors kSchemes[] = {
      {RGB(221, 236, 254), RGB(129, 169, 226), 0.75f, RGB(216, 231, 252), RGB(158, 190, 245), RGB(255, 238, 194),
       RGB(0, 0, 128), RGB(254, 128, 62), RGB(255, 192, 111), RGB(39, 65, 118), RGB(106, 140, 203),
       RGB(109, 150, 208), RGB(246, 246, 246), RGB(0, 45, 150)},
      {RGB(244, 247, 222), RGB(183, 198, 145), 0.3f, RGB(226, 231, 191), RGB(217, 217, 167), RGB(255, 238, 194),
       RGB(63, 93, 56), RGB(254, 128, 62), RGB(255, 192, 111), RGB(81, 94, 51), RGB(96, 128, 88),
       RGB(159, 174, 122), RGB(244, 244, 238), RGB(117, 141, 94)},
      {RGB(249, 249, 255), RGB(156, 155, 183), 0.75f, RGB(223, 223, 234), RGB(215, 215, 229), RGB(255, 238, 194),
       RGB(75, 75, 111), RGB(254, 128, 62), RGB(255, 192, 111), RGB(84, 84, 117), RGB(110, 109, 143),
       RGB(168, 167, 190), RGB(253, 250, 255), RGB(124, 124, 148)},
  };
  const SchemeColors& scheme = kSchemes[nScheme - kLunaBlue];
  m_clrSplitterGripper.SetStandardValue(GetColor(38));  // before the table below changes colour 38
  m_clrNormalCaptionGradient.SetStandardValue(scheme.inactiveLight, scheme.inactiveDark, scheme.inactiveFactor);
  m_clrNormalCaption.SetStandardValue(scheme.captionBackground);
  m_arrColor[30] = scheme.c30;
  m_arrColor[31] = scheme.c31;
  m_arrColor[32] = m_arrColor[37] = m_arrColor[50] = scheme.c32;
  m_arrColor[33] = scheme.c33;
  m_arrColor[36] = scheme.c36;
  m_arrColor[38] = scheme.c38;
  m_arrColor[39] = scheme.c39;
  m_arrColor[40] = scheme.c40;
  m_arrColor[41] = scheme.c41;
  m_arrColor[43] = scheme.c43;
  m_arrColor[47] = RGB(0, 0, 0);
  m_bLunaButtons = TRUE;
  m_clrActiveCaptionGradient.SetStandardValue(RGB(255, 213, 140), RGB(255, 166, 76));
  m_clrSplitterGradient.SetStandardValueFrom(TKColorManager().m_clrBarGradient);
}

COLORREF CTKDockingPaneOffice2003Theme::DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* /*pPane*/, CRect rc,
                                                              BOOL bActive, BOOL bVertical)
{
  const CTKPaintManagerColorGradient& gradient = bActive ? m_clrActiveCaptionGradient : m_clrNormalCaptionGradient;
  if (m_bFlatCaption) {
    pDC->FillSolidRect(rc, m_clrNormalCaption.GetValue());
    CRect rcGradient = rc;
    (bVertical ? rcGradient.top : rcGradient.left) += 1;
    const int nSaved = pDC->SaveDC();
    CTKDrawHelpers::ExcludeCorners(pDC, rcGradient);
    TKDrawHelpers().GradientFillColor(pDC, &rcGradient, gradient, bVertical);
    pDC->RestoreDC(nSaved);
  } else {
    TKDrawHelpers().GradientFillColor(pDC, &rc, gradient, bVertical);
    const COLORREF clrEdge = GetColor(54);
    pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), clrEdge);
    pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, clrEdge);
    pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), clrEdge);
  }
  return bActive ? m_clrActiveCaptionText.GetValue() : m_clrNormalCaptionText.GetValue();
}

void CTKDockingPaneOffice2003Theme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                    const CString& strTitle, BOOL bActive, BOOL bVertical)
{
  CRect rcStrip = rcCaption;
  (bVertical ? rcStrip.right : rcStrip.bottom) = (bVertical ? rcStrip.left : rcStrip.top) + m_nTitleHeight + 3;
  const COLORREF clrText = DrawCaptionBackground(pDC, pPane, rcStrip, bActive, bVertical);
  if (m_bCaptionGripDots) {
    // A column of dots before the text.
    const CPoint ptMid = rcCaption.CenterPoint();
    for (int d = -4; d <= 4; d += 4) {
      const int x = bVertical ? ptMid.x + d : rcCaption.left + 4;
      const int y = bVertical ? rcCaption.top + 4 : ptMid.y + d;
      pDC->FillSolidRect(x + 1, y + 1, 2, 2, GetColor(COLOR_BTNHIGHLIGHT));
      pDC->FillSolidRect(x, y, 2, 2, GetColor(38));
    }
    (bVertical ? rcCaption.top : rcCaption.left) += 6;
  }
  DrawButtonsAndText(pDC, pPane, rcCaption, strTitle, bVertical, clrText, clrText, 16, 0);
}

void CTKDockingPaneOffice2003Theme::DrawButtonBackground(CDC* pDC, CTKDockingPaneCaptionButton* pButton,
                                                         COLORREF& clrGlyph)
{
  const CRect rc = pButton->GetRect();
  if (!pButton->m_bPressed && !pButton->m_bHot) {
    return;
  }
  if (m_bLunaButtons) {
    TKDrawHelpers().GradientFill(pDC, &rc, pButton->m_bPressed ? RGB(254, 142, 75) : RGB(255, 242, 200),
                                 pButton->m_bPressed ? RGB(255, 207, 139) : RGB(255, 212, 151), FALSE);
    clrGlyph = RGB(0, 0, 0);
  } else {
    pDC->FillSolidRect(rc, GetColor(pButton->m_bPressed ? 33 : 31));
    clrGlyph = GetColor(pButton->m_bPressed ? 47 : 45);
  }
  pDC->Draw3dRect(rc, GetColor(32), GetColor(32));
}

void CTKDockingPaneOffice2003Theme::DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton,
                                                      COLORREF clrButton)
{
  DrawButtonBackground(pDC, pButton, clrButton);
  DrawButtonGlyph(pDC, pButton, pButton->GetRect().CenterPoint(), clrButton);
}

void CTKDockingPaneOffice2003Theme::DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc)
{
  const COLORREF clrFrame = GetColor(43);
  for (int i = 0; i < 3; ++i) {
    pDC->Draw3dRect(rc, clrFrame, clrFrame);
    rc.DeflateRect(1, 1);
  }
  const COLORREF clrSecond = m_clrNormalCaptionGradient.clrDark.GetValue();
  FrameWithoutCorners(pDC, rc, clrSecond);
  rc.DeflateRect(1, 1);
  const BOOL bActive = IsFloatingActive(pFloat);
  const CRect rcStrip(rc.left, rc.top, rc.right, rc.top + m_nTitleHeight + 3);
  CTKBufferDC dc(pDC->GetSafeHdc(), rcStrip);
  CRect rcFill = rcStrip;
  TKDrawHelpers().GradientFillColor(&dc, &rcFill, bActive ? m_clrActiveCaptionGradient : m_clrNormalCaptionGradient,
                                    FALSE);
  dc.SetPixel(rcStrip.left, rcStrip.bottom - 1, clrSecond);
  dc.SetPixel(rcStrip.right - 1, rcStrip.bottom - 1, clrSecond);
  dc.SetBkMode(TRANSPARENT);
  CRect rcCaption = rcStrip;
  rcCaption.DeflateRect(1, 1);
  DrawCaptionPart(&dc, pFloat, rcCaption, FloatingTitle(pFloat), bActive, FALSE);
}

// ---- Native XP

CTKDockingPaneNativeXPTheme::CTKDockingPaneNativeXPTheme()
{
  m_nCaptionFontGap = 7;
  m_bGradientCaption = TRUE;
  for (CTKTabPaintManager* pTabs : {m_pPanelPaintManager, m_pAutoHidePaintManager}) {
    pTabs->SelectAppearance(0);
    pTabs->SelectColorSet(CTKTabPaintManager::kColorSetWinXP);
    pTabs->m_bHotTracking = TRUE;
  }
}

void CTKDockingPaneNativeXPTheme::RefreshMetrics()
{
  CTKDockingPaneOfficeTheme::RefreshMetrics();
  m_themeWindow.OpenThemeData(nullptr, u"WINDOW");
  m_themeExplorer.OpenThemeData(nullptr, u"EXPLORERBAR");
}

void CTKDockingPaneNativeXPTheme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                  const CString& strTitle, BOOL bActive, BOOL bVertical)
{
  if (!IsStyled()) {
    CTKDockingPaneOfficeTheme::DrawCaptionPart(pDC, pPane, rcCaption, strTitle, bActive, bVertical);
    return;
  }
  // The style's small caption over a strip from the container's origin.
  CRect rcStrip = rcCaption;
  if (bVertical) {
    rcStrip.left -= m_rcCaptionMargin.top;
    rcStrip.right = rcStrip.left + m_nTitleHeight + 1;
  } else {
    rcStrip.top -= m_rcCaptionMargin.top;
    rcStrip.bottom = rcStrip.top + m_nTitleHeight + 1;
  }
  m_themeWindow.DrawThemeBackground(pDC->GetSafeHdc(), WP_SMALLCAPTION, bActive ? CS_ACTIVE : CS_INACTIVE, &rcStrip,
                                    nullptr);
  const COLORREF clr = GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
  m_bCaptionActive = bActive;
  DrawButtonsAndText(pDC, pPane, rcCaption, strTitle, bVertical, clr, clr, 16, 3);
}

void CTKDockingPaneNativeXPTheme::DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton,
                                                    COLORREF clrButton)
{
  const int nID = pButton->GetID();
  if (!IsStyled() || m_themeExplorer.GetThemeHandle() == nullptr ||
      (nID != TK_IDS_DOCKINGPANE_CLOSE && nID != TK_IDS_DOCKINGPANE_AUTOHIDE)) {
    CTKDockingPaneOfficeTheme::DrawCaptionButton(pDC, pButton, clrButton);
    return;
  }
  const CRect rc = pButton->GetRect();
  int nState = pButton->m_bPressed ? EBHC_PRESSED : EBHC_NORMAL;
  if (nID == TK_IDS_DOCKINGPANE_CLOSE) {
    if (!pButton->m_bPressed && (pButton->m_bHot || m_bCaptionActive)) {
      nState = EBHC_HOT;
    }
    m_themeExplorer.DrawThemeBackground(pDC->GetSafeHdc(), EBP_HEADERCLOSE, nState, &rc, nullptr);
    return;
  }
  if (!pButton->m_bPressed && pButton->m_bHot) {
    nState = EBHC_HOT;
  }
  if ((pButton->m_dwState & 0x2) == 0) {
    nState += 3;  // the pin stands upright
  }
  m_themeExplorer.DrawThemeBackground(pDC->GetSafeHdc(), EBP_HEADERPIN, nState, &rc, nullptr);
}

void CTKDockingPaneNativeXPTheme::DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc)
{
  if (!IsStyled()) {
    CTKDockingPaneOfficeTheme::DrawFloatingFrame(pDC, pFloat, rc);
    return;
  }
  const BOOL bActive = IsFloatingActive(pFloat);
  const int nState = bActive ? CS_ACTIVE : CS_INACTIVE;
  const int nCaption = m_nTitleHeight + 5;
  const HDC hDC = pDC->GetSafeHdc();
  const CRect rcLeft(rc.left, rc.top + nCaption, rc.left + 3, rc.bottom);
  const CRect rcRight(rc.right - 3, rc.top + nCaption, rc.right, rc.bottom);
  const CRect rcBottom(rc.left, rc.bottom - 3, rc.right, rc.bottom);
  m_themeWindow.DrawThemeBackground(hDC, WP_SMALLFRAMELEFT, nState, &rcLeft, nullptr);
  m_themeWindow.DrawThemeBackground(hDC, WP_SMALLFRAMERIGHT, nState, &rcRight, nullptr);
  m_themeWindow.DrawThemeBackground(hDC, WP_SMALLFRAMEBOTTOM, nState, &rcBottom, nullptr);
  const CRect rcStrip(rc.left, rc.top, rc.right, rc.top + nCaption);
  CTKBufferDC dc(hDC, rcStrip);
  m_themeWindow.DrawThemeBackground(dc.GetSafeHdc(), WP_SMALLCAPTION, nState, &rcStrip, nullptr);
  dc.SetBkMode(TRANSPARENT);
  CRect rcContent = rcStrip;
  rcContent.DeflateRect(3, 3);
  const COLORREF clr = GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
  m_bCaptionActive = bActive;
  DrawButtonsAndText(&dc, pFloat, rcContent, FloatingTitle(pFloat), FALSE, clr, clr, 16, 3);
}

// ---- Visio

namespace {

constexpr UINT kVisioFace = 30;
constexpr UINT kVisioActiveFace = 31;

}  // namespace

CTKDockingPaneVisioTheme::CTKDockingPaneVisioTheme()
{
  m_nCaptionFontGap = 2;
  m_pPanelPaintManager->SelectAppearance(8);
  m_pPanelPaintManager->SetPosition(TK_TAB_POSITION_TOP);
  m_pAutoHidePaintManager->SelectAppearance(6);
}

void CTKDockingPaneVisioTheme::DrawPane(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc)
{
  const BOOL bActive = m_bHighlightActiveCaption && pPane->IsActive();
  pDC->FillSolidRect(rc, GetColor(bActive ? kVisioActiveFace : kVisioFace));
  pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, m_clrNormalCaption.GetValue());
  if (pPane->IsCaptionVisible() && m_bShowCaption) {
    pDC->SetBkMode(TRANSPARENT);
    DrawCaption(pDC, pPane, rc);
  }
  if (pPane->IsTabsVisible()) {
    m_pPanelPaintManager->PaintStrip(pPane, pDC, pPane->m_rcControl);
  }
  const COLORREF clrCorner = GetColor(51);
  for (const CPoint& pt : {rc.TopLeft(), CPoint(rc.right - 1, rc.top), CPoint(rc.left, rc.bottom - 1),
                           CPoint(rc.right - 1, rc.bottom - 1)}) {
    pDC->SetPixel(pt, clrCorner);
  }
}

void CTKDockingPaneVisioTheme::DrawCaption(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc)
{
  const BOOL bVertical = pPane->IsCaptionVertical();
  const CRect rcCaption = bVertical ? CRect(rc.left + 2, rc.top, rc.left + 2 + m_nTitleHeight + 1, rc.bottom - 1)
                                    : CRect(rc.left, rc.top + 2, rc.right - 1, rc.top + 2 + m_nTitleHeight + 1);
  DrawCaptionPart(pDC, pPane, rcCaption, pPane->GetTitle(), m_bHighlightActiveCaption && pPane->IsActive(),
                  bVertical);
}

int CTKDockingPaneVisioTheme::AdjustTabsClientRect(CTKDockingPaneTabbedContainer* pPane, CRect& rect,
                                                   BOOL bReposition)
{
  rect.DeflateRect(3, 3);
  return CTKDockingPaneOfficeTheme::AdjustTabsClientRect(pPane, rect, bReposition);
}

void CTKDockingPaneVisioTheme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                               const CString& strTitle, BOOL bActive, BOOL bVertical)
{
  CRect rcText = rcCaption;
  (bVertical ? rcText.bottom : rcText.right) -= 2;
  DrawCaptionButtons(pDC, pPane->GetCaptionButtons(), rcText, RGB(0, 0, 0), 16, 0, bVertical);
  pDC->SetTextColor(GetColor(COLOR_BTNTEXT));
  (bVertical ? rcText.top : rcText.left) += 4;
  (bVertical ? rcText.left : rcText.top) += 1;
  int nTextWidth = 0;
  if (m_pCaptionFont != nullptr && !strTitle.IsEmpty()) {
    CTKFontDC font(pDC, m_pCaptionFont);
    CRect rcDraw = rcText;
    pDC->DrawText(strTitle, &rcDraw, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    nTextWidth = pDC->GetTextExtent(strTitle).cx;
  } else {
    nTextWidth = DrawCaptionText(pDC, strTitle, rcText, bVertical);
  }
  // Four grip lines from behind the text to the buttons.
  const int nStart = (bVertical ? rcText.top : rcText.left) + (strTitle.IsEmpty() ? 0 : nTextWidth + 10);
  const int nEnd = bVertical ? rcText.bottom : rcText.right;
  if (nStart >= nEnd) {
    return;
  }
  const COLORREF clrGrip = GetColor(bActive ? COLOR_BTNTEXT : 38);
  const CPoint ptMid = rcCaption.CenterPoint();
  for (int nOffset : {-3, -1, 1, 3}) {
    if (bVertical) {
      pDC->FillSolidRect(ptMid.x + nOffset, nStart, 1, nEnd - nStart, clrGrip);
    } else {
      pDC->FillSolidRect(nStart, ptMid.y + nOffset, nEnd - nStart, 1, clrGrip);
    }
  }
}

void CTKDockingPaneVisioTheme::DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton)
{
  const CRect rc = pButton->GetRect();
  if (pButton->m_bPressed || pButton->m_bHot) {
    pDC->FillSolidRect(rc, GetColor(pButton->m_bPressed ? 33 : 31));
    pDC->Draw3dRect(rc, GetColor(32), GetColor(32));
    clrButton = GetColor(pButton->m_bPressed ? 47 : 45);
  }
  DrawButtonGlyph(pDC, pButton, rc.CenterPoint(), clrButton);
}

void CTKDockingPaneVisioTheme::DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc)
{
  const BOOL bActive = IsFloatingActive(pFloat);
  const COLORREF clrFace = GetColor(bActive ? kVisioActiveFace : kVisioFace);
  for (int i = 0; i < 3; ++i) {
    pDC->Draw3dRect(rc, clrFace, clrFace);
    rc.DeflateRect(1, 1);
  }
  const CRect rcStrip(rc.left, rc.top, rc.right, rc.top + m_nTitleHeight + 3);
  CTKBufferDC dc(pDC->GetSafeHdc(), rcStrip);
  dc.FillSolidRect(rcStrip, clrFace);
  dc.SetBkMode(TRANSPARENT);
  CRect rcCaption = rcStrip;
  rcCaption.DeflateRect(1, 1);
  m_pCaptionFont = m_pPanelPaintManager->GetFont(FALSE);
  DrawCaptionPart(&dc, pFloat, rcCaption, FloatingTitle(pFloat), bActive, FALSE);
  m_pCaptionFont = nullptr;
}

// ---- Shortcut Bar 2003

CTKDockingPaneShortcutBar2003Theme::CTKDockingPaneShortcutBar2003Theme()
{
  m_bCaptionGripDots = FALSE;
  m_bFlatCaption = FALSE;
  m_nCaptionFontGap = 3;
}

void CTKDockingPaneShortcutBar2003Theme::RefreshMetrics()
{
  CTKDockingPaneOffice2003Theme::RefreshMetrics();
  if (m_bUseSystemFonts) {
    // Once made, the large caption fonts stay: later refreshes keep them.
    LOGFONT lf{};
    ::SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    std::strcpy(lf.lfFaceName, "Arial");
    lf.lfWeight = FW_BOLD;
    lf.lfHeight = 20;
    m_fntTitle.DeleteObject();
    m_fntTitle.CreateFontIndirect(&lf);
    lf.lfEscapement = 2700;
    lf.lfOrientation = 900;
    m_fntTitleVertical.DeleteObject();
    m_fntTitleVertical.CreateFontIndirect(&lf);
    m_bUseSystemFonts = FALSE;
    UpdateCaptionHeight();
  }
  if (m_bLunaButtons) {
    m_clrNormalCaptionGradient.SetStandardValueFrom(TKColorManager().m_clrCaptionGradient);
    m_clrNormalCaptionText.SetStandardValue(RGB(255, 255, 255));
  } else {
    m_clrNormalCaptionGradient.SetStandardValue(
        CTKColorManager::LightColor(GetColor(COLOR_BTNSHADOW), GetColor(COLOR_WINDOW), 205),
        GetColor(COLOR_BTNSHADOW));
  }
}

// ---- Explorer

CTKDockingPaneExplorerTheme::CTKDockingPaneExplorerTheme()
{
  m_nCaptionFontGap = 9;
  m_bBoldCaptions = FALSE;
  m_rcCaptionMargin = CRect(0, 0, 0, 0);
  m_pAutoHidePaintManager->SelectAppearance(6);
  m_pPanelPaintManager->SelectAppearance(5);
}

void CTKDockingPaneExplorerTheme::RefreshMetrics()
{
  m_themeRebar.OpenThemeData(nullptr, u"REBAR");
  m_themeToolbar.OpenThemeData(nullptr, u"TOOLBAR");
  if (IsStyled()) {
    for (CTKTabPaintManager* pTabs : {m_pPanelPaintManager, m_pAutoHidePaintManager}) {
      pTabs->SelectAppearance(0);
      pTabs->SelectColorSet(CTKTabPaintManager::kColorSetWinXP);
      pTabs->m_bHotTracking = TRUE;
    }
  } else {
    m_pAutoHidePaintManager->SelectAppearance(6);
    m_pPanelPaintManager->SelectAppearance(5);
    m_pAutoHidePaintManager->m_bHotTracking = FALSE;
    m_pPanelPaintManager->m_bHotTracking = FALSE;
  }
  CTKDockingPaneGripperedTheme::RefreshMetrics();
}

void CTKDockingPaneExplorerTheme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                  const CString& strTitle, BOOL bActive, BOOL bVertical)
{
  if (!IsStyled()) {
    CTKDockingPaneGripperedTheme::DrawCaptionPart(pDC, pPane, rcCaption, strTitle, bActive, bVertical);
    return;
  }
  // The rebar background as it lies over the whole frame (or the floating window), seen through the caption.
  CRect rcBackground = rcCaption;
  const HWND hPane = pPane->GetPaneHwnd();
  if (hPane != nullptr) {
    const CWnd* pSite = pPane->GetDockingSite();
    const HWND hArea = pPane->GetType() == TK_DOCKINGPANE_MINIWND || pSite == nullptr ? hPane : pSite->GetSafeHwnd();
    ::GetClientRect(hArea, &rcBackground);
    ::MapWindowPoints(hArea, hPane, reinterpret_cast<POINT*>(&rcBackground), 2);
  }
  m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, &rcBackground, &rcCaption);
  const COLORREF clr = GetColor(COLOR_BTNTEXT);
  DrawButtonsAndText(pDC, pPane, rcCaption, strTitle, bVertical, clr, clr, 16, 2);
}

void CTKDockingPaneExplorerTheme::DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton,
                                                    COLORREF clrButton)
{
  if (!IsStyled() || m_themeToolbar.GetThemeHandle() == nullptr) {
    CTKDockingPaneGripperedTheme::DrawCaptionButton(pDC, pButton, clrButton);
    return;
  }
  const CRect rc = pButton->GetRect();
  if (pButton->m_bPressed || pButton->m_bHot) {
    m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), TP_BUTTON, pButton->m_bPressed ? TS_PRESSED : TS_HOT, &rc,
                                       nullptr);
  }
  DrawButtonGlyph(pDC, pButton, rc.CenterPoint(), clrButton);
}

// ---- Whidbey

void CTKDockingPaneWhidbeyTheme::CColorSetWhidbey::RefreshMetrics()
{
  CTKTabPaintManager::CColorSet::RefreshMetrics();
  if (m_bPanel) {
    m_clrSelectedFace.SetCustomValue(RGB(255, 255, 255));
  }
  m_clrHeaderFace.SetStandardValue(
      ::GetSysColor(COLOR_3DFACE),
      CTKColorManager::LightColor(::GetSysColor(COLOR_3DFACE), ::GetSysColor(COLOR_WINDOW), 205));
  m_bOffice2003Rules = FALSE;
  m_bLunaTheme = FALSE;
  switch (TKColorManager().GetCurrentSystemTheme()) {
    case kLunaBlue:
    case kLunaOlive:
      m_clrHeaderFace.SetStandardValue(RGB(229, 229, 215), RGB(244, 241, 231));
      break;
    case kLunaSilver:
      m_clrHeaderFace.SetStandardValue(RGB(215, 215, 229), RGB(243, 243, 247));
      break;
    default:
      break;
  }
}

void CTKDockingPaneWhidbeyTheme::CColorSetVisualStudio2005::RefreshMetrics()
{
  CColorSetWhidbey::RefreshMetrics();
  m_bOffice2003Rules = FALSE;
  m_bLunaTheme = FALSE;
  const int nScheme = TKColorManager().GetCurrentSystemTheme();
  if (nScheme >= kLunaBlue && nScheme <= kLunaSilver) {
    m_clrNormalText.SetStandardValue(RGB(113, 111, 100));
    if (!m_bPanel) {
      m_clrSelectedText.SetStandardValue(RGB(113, 111, 100));
    }
  }
}

CTKDockingPaneWhidbeyTheme::CTKDockingPaneWhidbeyTheme()
{
  m_bGradientCaption = TRUE;
  m_bBoldCaptions = FALSE;
  m_rcCaptionMargin = CRect(0, 0, 0, 0);
  m_dwSplitterStyle = kSplitterGradient;
  m_nLunaSchemeSource = 0;
  for (CTKTabPaintManager* pTabs : {m_pPanelPaintManager, m_pAutoHidePaintManager}) {
    SetPropertyPageFlat(pTabs, FALSE);
    pTabs->m_bDisableLunaColors = TRUE;
    pTabs->m_bHotTracking = FALSE;
    pTabs->InstallColorSet(new CColorSetWhidbey(pTabs == m_pPanelPaintManager, FALSE));
  }
  m_pPanelPaintManager->m_nClientFrame = 2;
  m_pAutoHidePaintManager->SetLayout(TK_TAB_LAYOUT_SIZE_TO_FIT);
}

void CTKDockingPaneWhidbeyTheme::RefreshMetrics()
{
  CTKDockingPaneOfficeTheme::RefreshMetrics();
  m_clrNormalCaptionText.SetStandardValue(GetColor(COLOR_INACTIVECAPTIONTEXT));
  switch (TKColorManager().GetCurrentSystemTheme()) {
    case kLunaBlue:
    case kLunaOlive:
      m_clrSplitterGradient.SetStandardValue(RGB(229, 229, 215), RGB(244, 241, 231));
      m_clrNormalCaptionGradient.SetStandardValue(RGB(216, 215, 198), RGB(238, 239, 229));
      m_clrNormalCaptionText.SetStandardValue(0);
      break;
    case kLunaSilver:
      m_clrSplitterGradient.SetStandardValue(RGB(215, 215, 229), RGB(243, 243, 247));
      m_clrNormalCaptionGradient.SetStandardValue(RGB(224, 224, 235), RGB(242, 242, 246));
      m_clrActiveCaptionGradient.SetStandardValue(RGB(160, 158, 186), RGB(224, 225, 235));
      m_clrNormalCaptionText.SetStandardValue(0);
      break;
    default:
      break;
  }
}

// ---- Visual Studio 2005

CTKDockingPaneVisualStudio2005SecondTheme::CTKDockingPaneVisualStudio2005SecondTheme()
{
  for (CTKTabPaintManager* pTabs : {m_pPanelPaintManager, m_pAutoHidePaintManager}) {
    pTabs->SelectAppearance(9);
    pTabs->InstallColorSet(new CColorSetWhidbey(TRUE, FALSE));
  }
}

void CTKDockingPaneVisualStudio2005SecondTheme::RefreshMetrics()
{
  CTKDockingPaneWhidbeyTheme::RefreshMetrics();
  m_clrNormalCaptionGradient.SetStandardValue(GetColor(COLOR_INACTIVECAPTION));
  m_clrActiveCaptionGradient.SetStandardValue(GetColor(COLOR_ACTIVECAPTION));
  m_clrCaptionBorder = GetColor(COLOR_BTNSHADOW);
  switch (TKColorManager().GetCurrentSystemTheme()) {
    case kLunaBlue:
      m_clrNormalCaptionGradient.SetStandardValue(RGB(204, 199, 186));
      m_clrActiveCaptionGradient.SetStandardValue(RGB(59, 128, 237), RGB(49, 106, 197));
      m_clrNormalCaptionText.SetCustomValue(0);
      break;
    case kLunaOlive:
      m_clrNormalCaptionGradient.SetStandardValue(RGB(204, 199, 186));
      m_clrActiveCaptionGradient.SetStandardValue(RGB(182, 195, 146), RGB(145, 160, 117));
      m_clrNormalCaptionText.SetCustomValue(0);
      break;
    case kLunaSilver:
      m_clrNormalCaptionGradient.SetStandardValue(RGB(240, 240, 245));
      m_clrActiveCaptionGradient.SetStandardValue(RGB(211, 212, 221), RGB(166, 165, 191));
      m_clrNormalCaptionText.SetCustomValue(0);
      m_clrCaptionBorder = RGB(145, 155, 156);
      break;
    default:
      m_clrNormalCaptionText.SetStandardValue(GetColor(COLOR_INACTIVECAPTIONTEXT));
      break;
  }
}

COLORREF CTKDockingPaneVisualStudio2005SecondTheme::DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* /*pPane*/,
                                                                          CRect rc, BOOL bActive, BOOL bVertical)
{
  TKDrawHelpers().GradientFillColor(pDC, &rc, bActive ? m_clrActiveCaptionGradient : m_clrNormalCaptionGradient,
                                    bVertical);
  // A frame open towards the pane's content.
  CTKPenDC penDC(pDC->GetSafeHdc(), m_clrCaptionBorder);
  if (bVertical) {
    Line(pDC, rc.right - 1, rc.bottom - 1, rc.left, rc.bottom - 1);
    Line(pDC, rc.left, rc.bottom - 1, rc.left, rc.top);
    Line(pDC, rc.left, rc.top, rc.right, rc.top);
  } else {
    Line(pDC, rc.left, rc.bottom - 1, rc.left, rc.top);
    Line(pDC, rc.left, rc.top, rc.right - 1, rc.top);
    Line(pDC, rc.right - 1, rc.top, rc.right - 1, rc.bottom);
  }
  return bActive ? m_clrActiveCaptionText.GetValue() : m_clrNormalCaptionText.GetValue();
}

void CTKDockingPaneVisualStudio2005SecondTheme::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane,
                                                                CRect rcCaption, const CString& strTitle,
                                                                BOOL bActive, BOOL bVertical)
{
  const COLORREF clr = DrawCaptionBackground(pDC, pPane, rcCaption, bActive, bVertical);
  DrawButtonsAndText(pDC, pPane, rcCaption, strTitle, bVertical, clr, clr, 14, 2);
}

CTKDockingPaneVisualStudio2005Theme::CTKDockingPaneVisualStudio2005Theme()
{
  SetPropertyPageFlat(m_pAutoHidePaintManager, FALSE);
  SetPropertyPageFlat(m_pPanelPaintManager, TRUE);
  m_pAutoHidePaintManager->InstallColorSet(new CColorSetVisualStudio2005(FALSE, TRUE));
  m_pPanelPaintManager->InstallColorSet(new CColorSetVisualStudio2005(TRUE, TRUE));
  m_pPanelPaintManager->m_nClientFrame = 1;
  m_pPanelPaintManager->m_rcClientMargin = CRect(0, 1, 0, 0);
}

}  // namespace TKDockingPanePaintThemes

CTKDockingPanePaintManager* TKCreateDockingPaneTheme(int nTheme)
{
  using namespace TKDockingPanePaintThemes;
  switch (nTheme) {
    case 1:
      return new CTKDockingPaneOfficeTheme();
    case 2:
      return new CTKDockingPaneOffice2003Theme();
    case 3:
      return new CTKDockingPaneNativeXPTheme();
    case 4:
      return new CTKDockingPaneGripperedTheme();
    case 5:
      return new CTKDockingPaneVisioTheme();
    case 6:
      return new CTKDockingPaneWhidbeyTheme();
    case 7:
      return new CTKDockingPaneShortcutBar2003Theme();
    case 8:
      return new CTKDockingPaneExplorerTheme();
    case 9:
      return new CTKDockingPaneVisualStudio2005Theme();
    default:
      return new CTKDockingPaneDefaultTheme();
  }
}
