#include "toolkit/docking/tabs/tab_paint_manager.h"

#include "platform/gdi/windraw.h"
#include "platform/user/system.h"
#include "toolkit/docking/tabs/tab_appearances.h"
#include "toolkit/docking/tabs/tab_color_sets.h"
#include "toolkit/paint/draw_helpers.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Room left of the icon and caption at the near end, and added around a caption when measuring.
constexpr int kContentNearGap = 6;
constexpr int kCaptionPadding = 12;
// A vertical caption needs at least this much length to be drawn at all.
constexpr int kVerticalTextMinRoom = 8;

}  // namespace

CTKTabPaintManager::CTKTabPaintManager()
{
  EnableAutomation();
  SelectAppearance(0);
  RefreshMetrics();
}

CTKTabPaintManager::~CTKTabPaintManager()
{
  delete m_pColorSet;
  delete m_pAppearanceSet;
}

CTKTabPaintManager::CAppearanceSet* CTKTabPaintManager::SelectAppearance(int nAppearance)
{
  CAppearanceSet* pAppearance = TKCreateTabAppearance(nAppearance);
  if (pAppearance != nullptr) {
    m_nAppearance = nAppearance;
  }
  InstallAppearance(pAppearance);
  return m_pAppearanceSet;
}

void CTKTabPaintManager::InstallAppearance(CAppearanceSet* pAppearance)
{
  if (pAppearance != nullptr) {
    delete m_pAppearanceSet;
    m_pAppearanceSet = pAppearance;
    pAppearance->m_pPaintManager = this;
    pAppearance->RefreshMetrics();
    SelectColorSet(pAppearance->GetPreferredColorSet());
  }
  NotifyTabManagers();
}

CTKTabPaintManager::CColorSet* CTKTabPaintManager::SelectColorSet(int nColorSet)
{
  CColorSet* pColorSet = nullptr;
  switch (nColorSet) {
    case kColorSetVisualStudio: pColorSet = new (std::nothrow) CColorSetVisualStudio; break;
    case kColorSetOffice2003: pColorSet = new (std::nothrow) CColorSetOffice2003; break;
    case kColorSetWinXP: pColorSet = new (std::nothrow) CColorSetWinXP; break;
    case kColorSetWhidbey: pColorSet = new (std::nothrow) CColorSetWhidbey; break;
    default: pColorSet = new (std::nothrow) CColorSetDefault; break;
  }
  if (pColorSet != nullptr) {
    m_nColorSet = nColorSet;
  }
  InstallColorSet(pColorSet);
  return m_pColorSet;
}

void CTKTabPaintManager::InstallColorSet(CColorSet* pColorSet)
{
  if (pColorSet != nullptr) {
    delete m_pColorSet;
    m_pColorSet = pColorSet;
    pColorSet->m_pPaintManager = this;
    pColorSet->RefreshMetrics();
  }
  NotifyTabManagers();
}

void CTKTabPaintManager::SetStripFont(const LOGFONT* pLogFont, BOOL bUseSystemFont)
{
  m_bUseSystemFont = bUseSystemFont;
  if (pLogFont == nullptr) {
    return;
  }
  m_fntNormal.DeleteObject();
  m_fntBold.DeleteObject();
  m_fntVertical.DeleteObject();
  m_fntVerticalBold.DeleteObject();

  LOGFONT lf = *pLogFont;
  const LONG nNormalWeight = m_bBoldFont ? FW_BOLD : FW_NORMAL;
  lf.lfWeight = nNormalWeight;
  m_fntNormal.CreateFontIndirect(&lf);
  lf.lfWeight = FW_BOLD;
  m_fntBold.CreateFontIndirect(&lf);

  // Text running downwards, in a face known to turn well.
  const CString strFace = CTKDrawHelpers::GetDefaultFontName();
  std::strncpy(lf.lfFaceName, strFace, LF_FACESIZE - 1);
  lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  lf.lfEscapement = 2700;
  lf.lfOrientation = 900;
  if (lf.lfHeight >= -10 && lf.lfHeight <= -1) {
    lf.lfHeight = -11;
  }
  lf.lfWeight = nNormalWeight;
  m_fntVertical.CreateFontIndirect(&lf);
  lf.lfWeight = FW_BOLD;
  m_fntVerticalBold.CreateFontIndirect(&lf);
}

void CTKTabPaintManager::SetPosition(int nPosition)
{
  m_nPosition = nPosition;
  NotifyTabManagers();
}

void CTKTabPaintManager::SetLayout(int nLayout)
{
  m_nLayout = nLayout;
  NotifyTabManagers();
}

BOOL CTKTabPaintManager::IsLunaColorsDisabled() const
{
  return m_bDisableLunaColors || TKColorManager().IsLunaColorsDisabled();
}

void CTKTabPaintManager::RefreshMetrics()
{
  if (m_bUseSystemFont) {
    LOGFONT lf{};
    if (::SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) {
      SetStripFont(&lf, TRUE);
    }
  }
  if (m_pColorSet != nullptr) {
    m_pColorSet->RefreshMetrics();
  }
  if (m_pAppearanceSet != nullptr) {
    m_pAppearanceSet->RefreshMetrics();
  }
}

void CTKTabPaintManager::NotifyTabManagers()
{
  for (INT_PTR i = 0; i < m_arrTabManagers.GetSize(); ++i) {
    m_arrTabManagers[i]->OnMetricsChanged();
  }
}

void CTKTabPaintManager::DrawFocusFrame(CDC* pDC, CTKTabManagerItem* /*pItem*/, CRect rc)
{
  if (!m_bFocusRect) {
    return;
  }
  rc.DeflateRect(3, 3);
  pDC->SetTextColor(RGB(0, 0, 0));
  pDC->SetBkColor(RGB(255, 255, 255));
  pDC->DrawFocusRect(rc);
}

int CTKTabPaintManager::GetTextWidth(CDC* pDC, const CString& str, UINT nFormat) const
{
  CString strText = str;
  if ((nFormat & DT_NOPREFIX) == 0) {
    CTKDrawHelpers::StripMnemonics(strText);
  }
  return pDC->GetTextExtent(strText).cx;
}

void CTKTabPaintManager::PaintStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl)
{
  if (m_pAppearanceSet != nullptr) {
    m_pAppearanceSet->PaintStrip(pTabManager, pDC, rcControl);
  }
}

BOOL CTKTabPaintManager::IsVerticalText() const
{
  return m_nPosition == TK_TAB_POSITION_LEFT || m_nPosition == TK_TAB_POSITION_RIGHT ||
         m_nLayout == TK_TAB_LAYOUT_ROTATED;
}

CFont* CTKTabPaintManager::GetTabFont(const CTKTabManagerItem* pItem)
{
  const BOOL bVertical = IsVerticalText();
  const CTKTabManager* pTabManager = pItem->m_pTabManager;
  const BOOL bBold = m_bBoldSelected && pItem->IsSelected() && pTabManager != nullptr && pTabManager->IsActive();
  CFont* pFont = bBold ? GetBoldFont(bVertical) : GetFont(bVertical);
  return pFont->GetSafeHandle() != nullptr ? pFont : nullptr;
}

int CTKTabPaintManager::DrawTabContent(CDC* pDC, CTKTabManagerItem* pItem, CRect rcItem, BOOL bDraw)
{
  CTKTabManager* pTabManager = pItem->m_pTabManager;
  if (pTabManager == nullptr) {
    return 0;
  }
  const BOOL bVertical = IsVerticalText();
  const UINT nPrefix = m_bNoMnemonics ? DT_NOPREFIX : 0;
  CTKFontDC font(pDC, GetTabFont(pItem));
  CSize szIcon = m_szIcon;
  const BOOL bHasIcon = m_bShowIcons && pTabManager->DrawTabIcon(pDC, 0, 0, pItem, FALSE, szIcon);
  const int nIconSide = bVertical ? szIcon.cy : szIcon.cx;

  if (!bDraw) {
    CSize szFixed, szMin, szMax;
    pTabManager->GetTabSizeLimits(&szFixed, &szMin, &szMax);
    const auto captionWidth = [&](const CString& strCaption) {
      CRect rcText(0, 0, 0, 0);
      pDC->DrawText(strCaption, rcText, DT_SINGLELINE | DT_NOCLIP | DT_CALCRECT | nPrefix);
      return rcText.Width();
    };
    int nLength = 0;
    if (m_nLayout == TK_TAB_LAYOUT_FIXED) {
      nLength = szFixed.cx;
    } else if (m_nLayout == TK_TAB_LAYOUT_SELECTED_CAPTION && !pItem->IsSelected()) {
      nLength = nIconSide + 8;
    } else if (m_nLayout == TK_TAB_LAYOUT_SELECTED_CAPTION) {
      int nWidest = 0;
      for (int i = 0; i < pTabManager->GetTabCount(); ++i) {
        nWidest = std::max(nWidest, captionWidth(pTabManager->GetTab(i)->GetCaption()));
      }
      nLength = nWidest + kCaptionPadding + (bHasIcon ? nIconSide : 0);
    } else {
      nLength = captionWidth(pItem->GetCaption()) + kCaptionPadding + (bHasIcon ? nIconSide : 0);
    }
    nLength += m_rcButtonMargin.left + m_rcButtonMargin.right;
    if (szMin.cx > 0) {
      nLength = std::max(nLength, static_cast<int>(szMin.cx));
    }
    if (szMax.cx > 0) {
      nLength = std::min(nLength, static_cast<int>(szMax.cx));
    }
    return nLength;
  }

  const CRect rcTab = rcItem;
  CString strCaption = pItem->GetCaption();
  if (m_nLayout == TK_TAB_LAYOUT_SELECTED_CAPTION && !pItem->IsSelected()) {
    strCaption.Empty();
  }
  if (m_pColorSet != nullptr) {
    m_pColorSet->SetTextColor(pDC, pItem);
  }
  if (pItem->m_nLength > pItem->m_nNaturalLength) {
    const int nInset = (pItem->m_nLength - pItem->m_nNaturalLength) / 2;
    if (bVertical) {
      rcItem.top += nInset;
      rcItem.bottom -= nInset;
    } else {
      rcItem.left += nInset;
      rcItem.right -= nInset;
    }
  }
  const CRect& bm = m_rcButtonMargin;
  if (!bVertical) {
    rcItem.left += bm.left + kContentNearGap;
    const BOOL bBottom = m_nPosition == TK_TAB_POSITION_BOTTOM;
    rcItem.top += bBottom ? bm.bottom : bm.top;
    rcItem.bottom -= bBottom ? bm.top : bm.bottom;
    if (bHasIcon && szIcon.cx < rcItem.Width()) {
      const int y = (rcItem.top + rcItem.bottom - szIcon.cy) / 2;
      pTabManager->DrawTabIcon(pDC, rcItem.left - 1, y, pItem, TRUE, szIcon);
      rcItem.left += szIcon.cx + 2;
    }
    if (rcItem.left < rcItem.right) {
      rcItem.right -= bm.right + 2;
      if (m_bMiddleEllipsis) {
        DrawTextMiddleEllipsis(pDC, strCaption, rcItem, DT_SINGLELINE | DT_VCENTER | nPrefix);
      } else {
        pDC->DrawText(strCaption, rcItem, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | nPrefix);
      }
    }
  } else {
    rcItem.top += bm.left + kContentNearGap;
    const BOOL bRight = m_nPosition == TK_TAB_POSITION_RIGHT;
    rcItem.left += bRight ? bm.bottom : bm.top;
    rcItem.right -= bRight ? bm.top : bm.bottom;
    if (bHasIcon && szIcon.cy < rcItem.Height()) {
      const int x = (rcItem.left + rcItem.right - szIcon.cx) / 2;
      pTabManager->DrawTabIcon(pDC, x, rcItem.top - 1, pItem, TRUE, szIcon);
      rcItem.top += szIcon.cy + 2;
    }
    if (rcItem.bottom - rcItem.top > kVerticalTextMinRoom) {
      rcItem.bottom -= bm.right + 2;
      if (!m_bNoMnemonics) {
        CTKDrawHelpers::StripMnemonics(strCaption);
      }
      // Text turned to run downwards hangs to the left of its reference point: centre it across the tab.
      const int nTextHeight = pDC->GetTextExtent(CString(" ")).cy;
      CRect rcText(rcItem.CenterPoint().x + nTextHeight / 2, rcItem.top, rcItem.CenterPoint().x + nTextHeight / 2 +
                   rcItem.Height(), rcItem.bottom);
      const UINT nFormat = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
      if (m_bMiddleEllipsis) {
        DrawTextMiddleEllipsis(pDC, strCaption, rcText, nFormat);
      } else {
        pDC->DrawText(strCaption, rcText, nFormat | DT_END_ELLIPSIS);
      }
    }
  }
  if (pItem->IsSelected() && pTabManager->ShowsFocusRect()) {
    DrawFocusFrame(pDC, pItem, rcTab);
  }
  return 0;
}

void CTKTabPaintManager::DrawTextMiddleEllipsis(CDC* pDC, const CString& str, CRect rc, UINT nFormat)
{
  if (str.Find('\\') >= 0) {
    pDC->DrawText(str, rc, nFormat | DT_PATH_ELLIPSIS);
    return;
  }
  const int nRoom = IsVerticalText() ? rc.Height() : rc.Width();
  const int nWidth = GetTextWidth(pDC, str, nFormat);
  if (nWidth <= nRoom) {
    pDC->DrawText(str, rc, nFormat);
    return;
  }
  const CString strDots("...");
  const int nDots = GetTextWidth(pDC, strDots, nFormat);
  if (nDots > nRoom) {
    pDC->DrawText(strDots, rc, nFormat);
    return;
  }
  const int nChars = str.GetLength();
  const auto shortened = [&](int k) { return str.Left(k - k / 2) + strDots + str.Right(k / 2); };
  int k = nWidth > 0 ? (nRoom - nDots) * nChars / nWidth : 0;
  k = std::clamp(k, 0, nChars);
  while (k < nChars && GetTextWidth(pDC, shortened(k + 1), nFormat) <= nRoom) {
    ++k;
  }
  while (k > 0 && GetTextWidth(pDC, shortened(k), nFormat) > nRoom) {
    --k;
  }
  pDC->DrawText(shortened(k), rc, nFormat);
}

void CTKTabPaintManager::CalcClientArea(CTKTabManager* pTabManager, CRect& rcClient)
{
  if (m_bStaticFrame) {
    rcClient = TKTabDeflate(rcClient, CRect(2, 1, 2, 2), pTabManager->GetStripPosition());
  }
  if (pTabManager->GetTabCount() > 0 && m_pAppearanceSet != nullptr) {
    m_pAppearanceSet->CalcClientArea(pTabManager, rcClient);
  }
}

// ---- The common half of every appearance

void CTKTabPaintManager::CAppearanceSet::RefreshMetrics()
{
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont* pFont = m_pPaintManager != nullptr ? m_pPaintManager->GetFont(FALSE) : nullptr;
  CTKFontDC font(&dc, pFont != nullptr && pFont->GetSafeHandle() != nullptr ? pFont : nullptr);
  m_nTextHeight = std::max(static_cast<int>(dc.GetTextExtent(CString(" ")).cy) + 3, 18);
}

int CTKTabPaintManager::CAppearanceSet::GetRowHeight(CTKTabManager* pTabManager)
{
  const CRect& bm = m_pPaintManager->m_rcButtonMargin;
  int nHeight = bm.top + bm.bottom + m_nTextHeight;
  CSize szMin;
  pTabManager->GetTabSizeLimits(nullptr, &szMin, nullptr);
  nHeight = std::max(nHeight, static_cast<int>(szMin.cy));
  if (m_pPaintManager->m_bShowIcons) {
    const CSize& szIcon = m_pPaintManager->m_szIcon;
    nHeight = std::max(nHeight, static_cast<int>(bm.top + bm.bottom + std::max(szIcon.cx, szIcon.cy) + 4));
  }
  return nHeight;
}

CRect CTKTabPaintManager::CAppearanceSet::GetHeaderRect(CRect rc, CTKTabManager* pTabManager)
{
  const int nRows = std::max(pTabManager->GetRows().GetRowCount(), 1);
  const CRect rcMargin = GetHeaderMargin();
  int nThickness =
      nRows * GetRowHeight(pTabManager) + (nRows - 1) * m_nRowSpacing + rcMargin.top + rcMargin.bottom;
  if (m_pPaintManager->GetLayout() == TK_TAB_LAYOUT_ROTATED) {
    int nLongest = 0;
    for (int i = 0; i < pTabManager->GetTabCount(); ++i) {
      nLongest = std::max(nLongest, pTabManager->GetTab(i)->m_nLength);
    }
    nThickness = std::max(nThickness, static_cast<int>(nLongest + rcMargin.top + rcMargin.bottom));
  }
  switch (pTabManager->GetStripPosition()) {
    case TK_TAB_POSITION_LEFT: rc.right = rc.left + nThickness; break;
    case TK_TAB_POSITION_BOTTOM: rc.top = rc.bottom - nThickness; break;
    case TK_TAB_POSITION_RIGHT: rc.left = rc.right - nThickness; break;
    default: rc.bottom = rc.top + nThickness; break;
  }
  return rc;
}

CRect CTKTabPaintManager::CAppearanceSet::GetClientRect(CRect rc, CTKTabManager* pTabManager)
{
  const CRect rcHeader = GetHeaderRect(rc, pTabManager);
  switch (pTabManager->GetStripPosition()) {
    case TK_TAB_POSITION_LEFT: rc.left = rcHeader.right - 1; break;
    case TK_TAB_POSITION_BOTTOM: rc.bottom = rcHeader.top + 1; break;
    case TK_TAB_POSITION_RIGHT: rc.right = rcHeader.left + 1; break;
    default: rc.top = rcHeader.bottom - 1; break;
  }
  return rc;
}

CRect CTKTabPaintManager::CAppearanceSet::GetClientMargin() { return m_pPaintManager->m_rcClientMargin; }

int CTKTabPaintManager::CAppearanceSet::GetTabLength(CDC* pDC, CTKTabManagerItem* pItem)
{
  return m_pPaintManager->DrawTabContent(pDC, pItem, CRect(), FALSE);
}

void CTKTabPaintManager::CAppearanceSet::AdjustLayout(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl)
{
  m_pPaintManager->LayoutTabs(pTabManager, pDC, rcControl);
}

void CTKTabPaintManager::CAppearanceSet::CalcClientArea(CTKTabManager* pTabManager, CRect& rcClient)
{
  const int nPosition = pTabManager->GetStripPosition();
  rcClient = TKTabDeflate(rcClient, m_pPaintManager->m_rcControlMargin, nPosition);
  rcClient = GetClientRect(rcClient, pTabManager);
  rcClient = TKTabDeflate(rcClient, GetClientMargin(), nPosition);
  if (m_pPaintManager->m_nClientFrame == 0) {
    rcClient = TKTabDeflate(rcClient, CRect(2, 2, 2, 2), nPosition);
  } else if (m_pPaintManager->m_nClientFrame == 1) {
    rcClient = TKTabDeflate(rcClient, CRect(0, 2, 0, 0), nPosition);
  }
}

CRect CTKTabPaintManager::CAppearanceSet::FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl)
{
  const CRect rcHeader = GetHeaderRect(rcControl, pTabManager);
  GetColorSet()->FillHeader(pDC, rcHeader, pTabManager);
  return rcHeader;
}

void CTKTabPaintManager::CAppearanceSet::DrawFrame(CDC* pDC, CRect& rc, int nKind)
{
  CColorSet* pColorSet = GetColorSet();
  if (!m_pPaintManager->m_bStaticFrame) {
    if (nKind == 1) {
      rc.InflateRect(2, 2);
    } else if (nKind == 2 || nKind == 3) {
      pDC->FillSolidRect(rc, pColorSet->m_clrHeaderFace.clrLight);
    }
    return;
  }
  switch (nKind) {
    case 0:
      pDC->Draw3dRect(rc, pColorSet->m_clrFrameBorder, pColorSet->m_clrFrameBorder);
      rc.DeflateRect(1, 1);
      pDC->Draw3dRect(rc, pColorSet->m_clrControlFace, pColorSet->m_clrControlFace);
      break;
    case 1:
      rc.top -= 1;
      break;
    case 2:
      pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), pColorSet->m_clrControlFace);
      break;
    case 3:
      pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, pColorSet->m_clrControlFace);
      break;
    default:
      break;
  }
}

void CTKTabPaintManager::CAppearanceSet::PaintStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  CTKTabPaintManager* pPaintManager = m_pPaintManager;
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = pTabManager->GetStripPosition();
  if (pPaintManager->m_bStaticFrame) {
    const COLORREF clrBorder = pColorSet->m_clrFrameBorder;
    pDC->Draw3dRect(rc, clrBorder, clrBorder);
    rc = TKTabDeflate(rc, CRect(1, 1, 1, 1), nPosition);
    const COLORREF clrFace = pColorSet->m_clrControlFace;
    pDC->Draw3dRect(rc, clrFace, clrFace);
    rc = TKTabDeflate(rc, CRect(1, 0, 1, 1), nPosition);
  }
  if (pPaintManager->m_bFillBackground) {
    pDC->FillSolidRect(rc, pColorSet->m_clrControlFace);
  }
  rc = TKTabDeflate(rc, pPaintManager->m_rcControlMargin, nPosition);
  pDC->SetBkMode(TRANSPARENT);

  CRect rcHeader = pPaintManager->m_bFillBackground ? FillHeader(pTabManager, pDC, rc) : GetHeaderRect(rc, pTabManager);
  const BOOL bHorizontal = pTabManager->IsHorizontalPosition();
  for (int i = pTabManager->GetNavigateButtonCount() - 1; i >= 0; --i) {
    const CRect rcButton = pTabManager->GetNavigateButton(i)->GetRect();
    if (rcButton.IsRectEmpty()) {
      continue;
    }
    if (bHorizontal && rcHeader.right >= rcButton.left) {
      rcHeader.right = rcButton.left;
    } else if (!bHorizontal && rcHeader.bottom >= rcButton.top) {
      rcHeader.bottom = rcButton.top;
    }
  }
  // Clipped in logical units and within the caller's own clip: a clip region would be in device units, and
  // replacing the caller's clip would paint outside it.
  const int nSaved = pDC->SaveDC();
  pDC->IntersectClipRect(rcHeader);
  pColorSet->AfterHeader(pDC, rc, pTabManager);
  for (int nRow = pTabManager->GetRows().GetRowCount() - 1; nRow >= 0; --nRow) {
    DrawRow(pDC, pTabManager, nRow, rcHeader);
  }
  pDC->RestoreDC(nSaved);
  for (int i = pTabManager->GetNavigateButtonCount() - 1; i >= 0; --i) {
    pTabManager->GetNavigateButton(i)->Draw(pDC);
  }
}

void CTKTabPaintManager::CAppearanceSet::DrawRow(CDC* pDC, CTKTabManager* pTabManager, int nRow, const CRect& rcClip)
{
  const CTKTabManager::CRowIndexer::ROW& row = pTabManager->GetRows().GetRow(nRow);
  const int nFirst = std::max(row.nFirst, 0);
  const int nLast = std::min(row.nLast, pTabManager->GetTabCount() - 1);
  const auto draw = [&](int i) {
    CTKTabManagerItem* pItem = pTabManager->GetTab(i);
    if (pItem != nullptr && pItem->m_bVisible && !CRect(pItem->m_rcItem.Intersect(rcClip)).IsRectEmpty()) {
      DrawTab(pDC, pItem);
    }
  };
  CTKTabManagerItem* pSelected = pTabManager->GetSelectedTab();
  const int nSelected = pSelected != nullptr ? pSelected->m_nIndex : -1;
  const BOOL bSelectedHere = nSelected >= nFirst && nSelected <= nLast;
  if (!m_bOrderedDrawing) {
    for (int i = nLast; i >= nFirst; --i) {
      draw(i);
    }
  } else if (!bSelectedHere) {
    for (int i = nFirst; i <= nLast; ++i) {
      draw(i);
    }
    return;
  } else {
    for (int i = nFirst; i < nSelected; ++i) {
      draw(i);
    }
    for (int i = nLast; i >= nSelected; --i) {
      draw(i);
    }
  }
  if (bSelectedHere) {
    draw(nSelected);
  }
}

BOOL CTKTabPaintManager::CAppearanceSet::IsSelectedRow0(const CTKTabManagerItem* pItem)
{
  return pItem->IsSelected() && pItem->m_nItemRow == 0;
}
