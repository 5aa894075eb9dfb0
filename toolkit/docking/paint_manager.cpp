#include "toolkit/docking/paint_manager.h"

#include "platform/user/system.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
#include "toolkit/paint/draw_helpers.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMinCaptionTextHeight = 13;  // small caption fonts still get a usable caption

void Line(CDC* pDC, int x1, int y1, int x2, int y2)
{
  pDC->MoveTo(x1, y1);
  pDC->LineTo(x2, y2);
}

void CopyFaceName(LOGFONT& lf, const CString& strFace)
{
  const int nLength = std::min(strFace.GetLength(), LF_FACESIZE - 1);
  std::memcpy(lf.lfFaceName, static_cast<LPCSTR>(strFace), static_cast<size_t>(nLength));
  lf.lfFaceName[nLength] = '\0';
}

}  // namespace

CTKDockingPanePaintManager::CTKDockingPanePaintManager()
{
  m_pPanelPaintManager = new CTKTabPaintManager();
  m_pPanelPaintManager->SetPosition(TK_TAB_POSITION_BOTTOM);
  m_pPanelPaintManager->SetLayout(TK_TAB_LAYOUT_COMPRESSED);
  m_pPanelPaintManager->m_nClientFrame = 1;
  m_pPanelPaintManager->m_bBoldSelected = FALSE;
  m_pPanelPaintManager->m_nToolTipMode = 1;

  m_pAutoHidePaintManager = new CTKTabPaintManager();
  m_pAutoHidePaintManager->SetLayout(TK_TAB_LAYOUT_SELECTED_CAPTION);
  m_pAutoHidePaintManager->m_nClientFrame = 2;
  m_pAutoHidePaintManager->m_bBoldSelected = FALSE;
  m_pAutoHidePaintManager->m_bInvertGradient = TRUE;
  m_pAutoHidePaintManager->m_bFillBackground = FALSE;
}

CTKDockingPanePaintManager::~CTKDockingPanePaintManager()
{
  m_pPanelPaintManager->InternalRelease();
  m_pAutoHidePaintManager->InternalRelease();
}

void CTKDockingPanePaintManager::RefreshMetrics()
{
  // 1. Colours.
  CTKColorManager& colors = TKColorManager();
  colors.RefreshColors();
  for (int i = 0; i < TK_COLOR_COUNT; ++i) {
    m_arrColor[i] = colors.GetColor(static_cast<UINT>(i));
  }
  m_clrSplitterGripper.SetStandardValue(GetColor(COLOR_BTNSHADOW));
  m_clrNormalCaption.SetStandardValue(GetColor(COLOR_3DFACE));
  m_clrSplitterGradient.SetStandardValue(
      ::GetSysColor(COLOR_3DFACE),
      CTKColorManager::LightColor(::GetSysColor(COLOR_3DFACE), ::GetSysColor(COLOR_WINDOW), 205));

  // 2. Fonts and the caption height.
  if (m_bUseSystemFonts) {
    NONCLIENTMETRICS ncm{};
    ::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONT lf = ncm.lfSmCaptionFont;
    if (!m_bBoldCaptions) {
      lf.lfWeight = FW_NORMAL;
    }
    if (m_bUseTahoma && lf.lfCharSet <= 2 && CTKDrawHelpers::FontExists(m_strFontFace)) {
      CopyFaceName(lf, m_strFontFace);
    }
    m_fntTitle.DeleteObject();
    m_fntTitle.CreateFontIndirect(&lf);
    lf.lfEscapement = 2700;
    lf.lfOrientation = 900;
    if (lf.lfHeight < 0 && lf.lfHeight > -11) {
      lf.lfHeight = -11;
    }
    CopyFaceName(lf, CTKDrawHelpers::GetDefaultFontName(m_bUseTahoma));
    m_fntTitleVertical.DeleteObject();
    m_fntTitleVertical.CreateFontIndirect(&lf);
  }
  UpdateCaptionHeight();

  // 3.
  m_pPanelPaintManager->RefreshMetrics();
  m_pAutoHidePaintManager->RefreshMetrics();

  // 4. Tab row height.
  {
    CWindowDC dc(CWnd::FromHandle(::GetDesktopWindow()));
    CTKFontDC font(&dc, m_pPanelPaintManager->GetFont(FALSE));
    const int nHeight = dc.GetTextExtent(CString(" ")).cy;
    m_nTabsHeight = nHeight >= 14 ? nHeight + 10 : 24;
  }
}

void CTKDockingPanePaintManager::UpdateCaptionHeight()
{
  CWindowDC dc(CWnd::FromHandle(::GetDesktopWindow()));
  CTKFontDC font(&dc, &m_fntTitle);
  int nHeight = dc.GetTextExtent(CString(" ")).cy;
  if (nHeight <= 12) {
    nHeight = kMinCaptionTextHeight;
  }
  m_nTitleHeight = nHeight + m_nCaptionFontGap;
}

CString CTKDockingPanePaintManager::FloatingTitle(const CTKDockingPaneBase* pFloat)
{
  CString strTitle;
  if (HWND hWnd = pFloat->GetPaneHwnd(); hWnd != nullptr) {
    CWnd::FromHandle(hWnd)->GetWindowText(strTitle);
  }
  return strTitle;
}

BOOL CTKDockingPanePaintManager::IsFloatingActive(const CTKDockingPaneBase* pFloat) const
{
  const HWND hWnd = pFloat->GetPaneHwnd();
  const HWND hFocus = ::GetFocus();
  return m_bHighlightActiveCaption && hWnd != nullptr && hFocus != nullptr &&
         (hFocus == hWnd || ::IsChild(hWnd, hFocus));
}

void CTKDockingPanePaintManager::DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc)
{
  pDC->Draw3dRect(rc, GetColor(COLOR_3DFACE), RGB(0, 0, 0));
  rc.DeflateRect(1, 1);
  pDC->Draw3dRect(rc, GetColor(COLOR_BTNHIGHLIGHT), GetColor(COLOR_BTNSHADOW));
  rc.DeflateRect(1, 1);
  pDC->Draw3dRect(rc, GetColor(COLOR_3DFACE), GetColor(COLOR_3DFACE));
  rc.DeflateRect(1, 1);
  const CRect rcStrip(rc.left, rc.top, rc.right, rc.top + m_nTitleHeight + 3);
  CTKBufferDC dc(pDC->GetSafeHdc(), rcStrip);
  dc.FillSolidRect(rcStrip, GetColor(COLOR_3DFACE));
  dc.SetBkMode(TRANSPARENT);
  CRect rcCaption = rcStrip;
  rcCaption.DeflateRect(1, 2);
  DrawCaptionPart(&dc, pFloat, rcCaption, FloatingTitle(pFloat), IsFloatingActive(pFloat), FALSE);
}

void CTKDockingPanePaintManager::AdjustCaptionRect(const CTKDockingPaneTabbedContainer* pPane, CRect& rect)
{
  if (!pPane->IsCaptionVisible() || !m_bShowCaption) {
    return;
  }
  const int nCaption = m_rcCaptionMargin.top + m_rcCaptionMargin.bottom + m_nTitleHeight;
  if (pPane->IsCaptionVertical()) {
    rect.left += nCaption;
  } else {
    rect.top += nCaption;
  }
}

int CTKDockingPanePaintManager::AdjustTabsClientRect(CTKDockingPaneTabbedContainer* pPane, CRect& rect,
                                                     BOOL bReposition)
{
  AdjustCaptionRect(pPane, rect);
  if (!pPane->IsTabsVisible()) {
    return 0;
  }
  if (bReposition) {
    // The strip lives in the container's own client coordinates.
    const CPoint ptOrigin = pPane->m_rcWindow.TopLeft();
    CRect rcLocal = rect;
    rcLocal.OffsetRect(-ptOrigin.x, -ptOrigin.y);
    CClientDC dc(pPane);
    m_pPanelPaintManager->ArrangeStrip(pPane, &dc, rcLocal);
    rect = pPane->m_rcClient;
    rect.OffsetRect(ptOrigin.x, ptOrigin.y);
  }
  return 1;
}

void CTKDockingPanePaintManager::DrawPane(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc)
{
  pDC->FillSolidRect(rc, GetColor(COLOR_3DFACE));
  if (pPane->IsCaptionVisible() && m_bShowCaption) {
    pDC->SetBkMode(TRANSPARENT);
    DrawCaption(pDC, pPane, rc);
  }
  AdjustCaptionRect(pPane, rc);
  if (pPane->IsTabsVisible()) {
    m_pPanelPaintManager->PaintStrip(pPane, pDC, pPane->m_rcControl);
  }
}

void CTKDockingPanePaintManager::DrawCaption(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc)
{
  const BOOL bVertical = pPane->IsCaptionVertical();
  CRect rcCaption = rc;
  CRect rcStrip = rc;
  if (bVertical) {
    rcCaption.left = rc.left + m_rcCaptionMargin.top;
    rcCaption.right = rc.left + m_nTitleHeight + 1;
    rcStrip.right = rcCaption.right + 2;
  } else {
    rcCaption.top = rc.top + m_rcCaptionMargin.top;
    rcCaption.bottom = rc.top + m_nTitleHeight + 1;
    rcStrip.bottom = rcCaption.bottom + 2;
  }
  pDC->FillSolidRect(rcStrip, m_clrNormalCaption.GetValue());
  const BOOL bActive = m_bHighlightActiveCaption && pPane->IsActive();
  DrawCaptionPart(pDC, pPane, rcCaption, pPane->GetTitle(), bActive, bVertical);
}

void CTKDockingPanePaintManager::DrawCaptionButtons(CDC* pDC, CTKDockingPaneCaptionButtons* pButtons,
                                                    CRect& rcCaption, COLORREF clr, int nButtonSize,
                                                    int nButtonGap, BOOL bVertical)
{
  CRect rcButton = bVertical ? CRect(rcCaption.CenterPoint().x - nButtonSize / 2, rcCaption.bottom - nButtonSize,
                                     0, 0)
                             : CRect(rcCaption.right - nButtonSize, rcCaption.CenterPoint().y - nButtonSize / 2,
                                     0, 0);
  rcButton.right = rcButton.left + nButtonSize;
  rcButton.bottom = rcButton.top + nButtonSize;
  for (INT_PTR i = 0; i < pButtons->GetSize(); ++i) {
    CTKDockingPaneCaptionButton* pButton = pButtons->GetAt(i);
    if (!pButton->IsVisible()) {
      pButton->m_rcButton.SetRectEmpty();
      continue;
    }
    pButton->m_rcButton = rcButton;
    DrawCaptionButton(pDC, pButton, clr);
    rcButton.OffsetRect(bVertical ? 0 : -(nButtonSize + nButtonGap), bVertical ? -(nButtonSize + nButtonGap) : 0);
  }
  if (bVertical) {
    rcCaption.bottom = rcButton.bottom;
  } else {
    rcCaption.right = rcButton.right;
  }
}

void CTKDockingPanePaintManager::DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton,
                                                   COLORREF clrButton)
{
  CRect rc = pButton->GetRect();
  CPoint pt = rc.CenterPoint();
  if (pButton->m_bPressed) {
    pDC->Draw3dRect(rc, GetColor(COLOR_BTNTEXT), GetColor(COLOR_BTNHIGHLIGHT));
    pt.x += 1;
    pt.y += 1;
  } else if (pButton->m_bHot) {
    pDC->Draw3dRect(rc, GetColor(COLOR_BTNHIGHLIGHT), GetColor(COLOR_BTNTEXT));
  }
  DrawButtonGlyph(pDC, pButton, pt, clrButton);
}

void CTKDockingPanePaintManager::DrawButtonGlyph(CDC* pDC, CTKDockingPaneCaptionButton* pButton, CPoint pt,
                                                 COLORREF clr)
{
  CBrush brush(clr);
  CTKPenDC penDC(pDC->GetSafeHdc(), clr);
  CTKBrushDC brushDC(pDC->GetSafeHdc(), clr);
  const int x = pt.x;
  const int y = pt.y;
  switch (pButton->GetID()) {
    case TK_IDS_DOCKINGPANE_AUTOHIDE:
      if ((pButton->m_dwState & 0x2) != 0) {
        Line(pDC, x - 4, y, x - 1, y);
        Line(pDC, x - 1, y - 3, x - 1, y + 4);
        pDC->MoveTo(x - 1, y + 2);
        pDC->LineTo(x + 3, y + 2);
        pDC->LineTo(x + 3, y - 2);
        pDC->LineTo(x - 1, y - 2);
        Line(pDC, x - 1, y + 1, x + 3, y + 1);
      } else {
        Line(pDC, x - 3, y + 1, x + 4, y + 1);
        Line(pDC, x, y + 1, x, y + 5);
        pDC->MoveTo(x - 2, y + 1);
        pDC->LineTo(x - 2, y - 4);
        pDC->LineTo(x + 2, y - 4);
        pDC->LineTo(x + 2, y + 1);
        Line(pDC, x + 1, y + 1, x + 1, y - 4);
      }
      break;
    case TK_IDS_DOCKINGPANE_CLOSE:
      Line(pDC, x - 4, y - 3, x + 3, y + 4);
      Line(pDC, x - 4, y + 3, x + 3, y - 4);
      Line(pDC, x - 3, y - 3, x + 4, y + 4);
      Line(pDC, x - 3, y + 3, x + 4, y - 4);
      break;
    case TK_IDS_DOCKINGPANE_MAXIMIZE:
      pDC->FrameRect(CRect(x - 5, y - 5, x + 4, y + 4), &brush);
      pDC->FillSolidRect(x - 5, y - 5, 9, 2, clr);
      break;
    case TK_IDS_DOCKINGPANE_RESTORE:
      pDC->FrameRect(CRect(x - 4, y - 2, x + 2, y + 4), &brush);
      pDC->FillSolidRect(x - 4, y - 2, 6, 2, clr);
      pDC->FillSolidRect(x - 2, y - 5, 6, 2, clr);
      pDC->SetPixel(x - 2, y - 3, clr);
      pDC->SetPixel(x + 2, y, clr);
      pDC->FillSolidRect(x + 3, y - 3, 1, 4, clr);
      break;
    case TK_IDS_DOCKINGPANE_MENU: {
      POINT pts[] = {{x - 4, y - 1}, {x - 1, y + 2}, {x, y + 2}, {x + 3, y - 1}};
      pDC->Polygon(pts, 4);
      break;
    }
    default:
      break;
  }
}

COLORREF CTKDockingPanePaintManager::DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* /*pPane*/, CRect rc,
                                                           BOOL bActive, BOOL /*bVertical*/)
{
  pDC->FillSolidRect(rc, GetColor(bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  return GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
}

void CTKDockingPanePaintManager::DrawButtonsAndText(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                    const CString& strTitle, BOOL bVertical, COLORREF clrButtons,
                                                    COLORREF clrText, int nButtonSize, int nGap)
{
  (bVertical ? rcCaption.bottom : rcCaption.right) -= 2;
  DrawCaptionButtons(pDC, pPane->GetCaptionButtons(), rcCaption, clrButtons, nButtonSize, nGap, bVertical);
  pDC->SetTextColor(clrText);
  if (bVertical) {
    rcCaption.top += 4;
    rcCaption.left += 1;
  } else {
    rcCaption.left += 4;
    rcCaption.top += 1;
  }
  DrawCaptionText(pDC, strTitle, rcCaption, bVertical);
}

void CTKDockingPanePaintManager::DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption,
                                                 const CString& strTitle, BOOL bActive, BOOL bVertical)
{
  const COLORREF clr = DrawCaptionBackground(pDC, pPane, rcCaption, bActive, bVertical);
  DrawButtonsAndText(pDC, pPane, rcCaption, strTitle, bVertical, clr, clr, 14, 2);
}

int CTKDockingPanePaintManager::DrawCaptionText(CDC* pDC, const CString& strTitle, CRect rc, BOOL bVertical,
                                                BOOL bCalcWidth)
{
  if (strTitle.IsEmpty()) {
    return 0;
  }
  pDC->SetBkMode(TRANSPARENT);
  if (!bVertical) {
    CTKFontDC font(pDC, &m_fntTitle);
    const UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (bCalcWidth) {
      CRect rcCalc = rc;
      pDC->DrawText(strTitle, &rcCalc, nFormat | DT_CALCRECT);
      return rcCalc.Width();
    }
    pDC->DrawText(strTitle, &rc, nFormat);
    return pDC->GetTextExtent(strTitle).cx;
  }
  CTKFontDC font(pDC, &m_fntTitleVertical);
  const CSize sz = pDC->GetTextExtent(strTitle);
  CRect rcText(rc.right - (rc.right - sz.cy - rc.left) / 2, rc.top, 0, 0);
  rcText.right = rcText.left + rc.Height();
  rcText.bottom = rcText.top + rc.Height();
  if (!bCalcWidth) {
    pDC->DrawText(strTitle, &rcText, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);
  }
  return sz.cx;
}

void CTKDockingPanePaintManager::DrawSplitter(CDC* pDC, CTKDockingPaneSplitterWnd* pSplitter)
{
  CRect rc;
  pSplitter->GetClientRect(&rc);
  const BOOL bBarHoriz = pSplitter->IsHorizontal();  // a bar lying across a column
  const COLORREF clrFace = m_clrNormalCaption.GetValue();
  const int nThick = bBarHoriz ? rc.Height() : rc.Width();
  // Lines along the bar at a distance from its near edge.
  auto along = [&](int nAt, int nWidth, COLORREF clr) {
    if (bBarHoriz) {
      pDC->FillSolidRect(rc.left, rc.top + nAt, rc.Width(), nWidth, clr);
    } else {
      pDC->FillSolidRect(rc.left + nAt, rc.top, nWidth, rc.Height(), clr);
    }
  };
  if ((m_dwSplitterStyle & kSplitter3D) != 0) {
    pDC->FillSolidRect(rc, clrFace);
    along(0, 1, GetColor(COLOR_BTNHIGHLIGHT));
    along(nThick - 2, 1, GetColor(52));
    along(nThick - 1, 1, GetColor(COLOR_BTNTEXT));
  } else if ((m_dwSplitterStyle & kSplitterShaded) != 0) {
    const int nHalf = m_nSplitterSize / 2 - 1;
    pDC->FillSolidRect(rc, clrFace);
    along(0, nHalf, GetColor(COLOR_WINDOW));
    along(0, 1, GetColor(COLOR_3DDKSHADOW));
    along(nThick - 1, 1, GetColor(COLOR_3DDKSHADOW));
  } else if ((m_dwSplitterStyle & kSplitterGradient) != 0) {
    CWnd* pFrame = pSplitter->GetParent();
    if (pFrame == nullptr) {
      return;
    }
    CRect rcFrame;
    pFrame->GetWindowRect(&rcFrame);
    int nSpan = rcFrame.Width();
    const int nHalfScreen = ::GetSystemMetrics(SM_CXFULLSCREEN) / 2;
    if (nSpan <= nHalfScreen) {
      nSpan = nHalfScreen;
    }
    CRect rcScreen;
    pSplitter->GetWindowRect(&rcScreen);
    auto colorAt = [&](int p) {
      return CTKDrawHelpers::BlendColors(m_clrSplitterGradient.clrDark.GetValue(),
                                         m_clrSplitterGradient.clrLight.GetValue(),
                                         nSpan > 0 ? static_cast<float>(p) / static_cast<float>(nSpan) : 0.0f);
    };
    TKDrawHelpers().GradientFill(pDC, &rc, colorAt(rcScreen.left - rcFrame.left),
                                 colorAt(rcScreen.right - rcFrame.left), TRUE);
  } else {
    pDC->FillSolidRect(rc, clrFace);
  }
  const CPoint ptMid = rc.CenterPoint();
  if ((m_dwSplitterStyle & kSplitterGripMark) != 0) {
    for (int nAt : {2, 4}) {
      if (bBarHoriz) {
        pDC->FillSolidRect(ptMid.x, rc.top + nAt, 11, 1, m_clrSplitterGripper.GetValue());
      } else {
        pDC->FillSolidRect(rc.left + nAt, ptMid.y, 1, 11, m_clrSplitterGripper.GetValue());
      }
    }
  }
  if ((m_dwSplitterStyle & kSplitterGripDots) != 0) {
    const int nLength = bBarHoriz ? rc.Width() : rc.Height();
    const int nHalfSpan = nLength / 2 > 42 ? 32 : nLength / 2 - 10;
    for (int d = -nHalfSpan; d <= nHalfSpan; d += 4) {
      const int x = bBarHoriz ? ptMid.x + d : ptMid.x - 1;
      const int y = bBarHoriz ? ptMid.y - 1 : ptMid.y + d;
      pDC->FillSolidRect(x, y, 2, 2, GetColor(COLOR_BTNHIGHLIGHT));
      pDC->FillSolidRect(x - 1, y - 1, 2, 2, m_clrSplitterGripper.GetValue());
    }
  }
}
