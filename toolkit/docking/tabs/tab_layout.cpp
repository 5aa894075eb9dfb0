// Laying a strip out for one tab manager: the header band, every tab's length and rectangle, compression,
// rows, the scroll correction and the navigation buttons; what is left is the client area.
#include "toolkit/docking/tabs/tab_paint_manager.h"

#include <algorithm>
#include <vector>

namespace {

BOOL IsVertical(int nPosition) { return nPosition == TK_TAB_POSITION_LEFT || nPosition == TK_TAB_POSITION_RIGHT; }

int StripStart(const CRect& rc, int nPosition) { return IsVertical(nPosition) ? rc.top : rc.left; }
int StripLength(const CRect& rc, int nPosition) { return IsVertical(nPosition) ? rc.Height() : rc.Width(); }

// A tab from `nStart` along the strip, `nLength` long, in the band [nAcross, nAcross + nThickness) across it.
CRect TabRect(int nPosition, int nStart, int nLength, int nAcross, int nThickness)
{
  if (IsVertical(nPosition)) {
    return CRect(nAcross, nStart, nAcross + nThickness, nStart + nLength);
  }
  return CRect(nStart, nAcross, nStart + nLength, nAcross + nThickness);
}

// Where a band h thick starts across the strip, `nFromStripSide` in from the strip's outer side.
int BandStart(const CRect& rc, int nPosition, int nFromStripSide, int h)
{
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT: return rc.left + nFromStripSide;
    case TK_TAB_POSITION_BOTTOM: return rc.bottom - nFromStripSide - h;
    case TK_TAB_POSITION_RIGHT: return rc.right - nFromStripSide - h;
    default: return rc.top + nFromStripSide;
  }
}

}  // namespace

void CTKTabPaintManager::ArrangeStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl)
{
  pTabManager->m_rcHeader.SetRectEmpty();
  pTabManager->m_rcControl = rcControl;
  pTabManager->m_rcClient = rcControl;
  pTabManager->GetRows().SetRowCount(1);
  pTabManager->GetRows().GetRow(0) = {0, pTabManager->GetTabCount() - 1};
  for (int i = 0; i < pTabManager->GetTabCount(); ++i) {
    pTabManager->GetTab(i)->m_nItemRow = 0;
  }
  if (m_pAppearanceSet == nullptr) {
    return;
  }
  m_pAppearanceSet->AdjustLayout(pTabManager, pDC, rcControl);
  CalcClientArea(pTabManager, pTabManager->m_rcClient);
}

int CTKTabPaintManager::CalcHeaderEnd(CRect rc, CTKTabManager* pTabManager)
{
  const int nPosition = pTabManager->GetStripPosition();
  const CRect rcMargin = m_pAppearanceSet->GetHeaderMargin();
  CRect rcStrip = m_pAppearanceSet->GetHeaderRect(rc, pTabManager);
  if (IsVertical(nPosition)) {
    rcStrip.top += rcMargin.left + rcMargin.right;
    rcStrip.bottom -= 1;
  } else {
    rcStrip.left += rcMargin.left + rcMargin.right;
    rcStrip.right -= 1;
  }
  for (int i = pTabManager->GetNavigateButtonCount() - 1; i >= 0; --i) {
    pTabManager->GetNavigateButton(i)->Reposition(rcStrip);
  }
  if (IsVertical(nPosition)) {
    pTabManager->m_rcHeader.bottom = rcStrip.bottom;
    return rcStrip.bottom;
  }
  pTabManager->m_rcHeader.right = rcStrip.right;
  return rcStrip.right;
}

void CTKTabPaintManager::LayoutTabs(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  const int nPosition = pTabManager->GetStripPosition();
  if (m_bStaticFrame) {
    rc = TKTabDeflate(rc, CRect(2, 1, 2, 2), nPosition);
  }
  rc = TKTabDeflate(rc, m_rcControlMargin, nPosition);
  if (m_nLayout == TK_TAB_LAYOUT_MULTI_ROW) {
    LayoutMultiRow(pTabManager, pDC, rc);
    return;
  }
  const int nCount = pTabManager->GetTabCount();
  for (int i = 0; i < nCount; ++i) {
    CTKTabManagerItem* pItem = pTabManager->GetTab(i);
    pItem->m_nLength = pItem->m_bVisible ? m_pAppearanceSet->GetTabLength(pDC, pItem) : 0;
    pItem->m_nNaturalLength = pItem->m_nLength;
  }
  pTabManager->m_rcHeader = m_pAppearanceSet->GetHeaderRect(rc, pTabManager);
  if (nCount == 0) {
    return;
  }
  const CRect rcMargin = m_pAppearanceSet->GetHeaderMargin();
  const int h = m_pAppearanceSet->GetRowHeight(pTabManager);
  const int nBand = BandStart(rc, nPosition, rcMargin.top, h);
  int nAvailable = StripLength(rc, nPosition) - rcMargin.left - rcMargin.right;
  for (int i = pTabManager->GetNavigateButtonCount() - 1; i >= 0; --i) {
    pTabManager->GetNavigateButton(i)->AdjustWidth(nAvailable);
  }
  if (m_nLayout == TK_TAB_LAYOUT_COMPRESSED) {
    CompressTabs(pTabManager, nAvailable);
  }
  if (pTabManager->m_nScrollOffset < 0) {
    // A strip that grew wider takes back the scroll it no longer needs.
    const int nAreaLength = CalcHeaderEnd(rc, pTabManager) - StripStart(rc, nPosition) - rcMargin.left - rcMargin.right;
    const int nTotal = pTabManager->GetTotalTabLength();
    if (nTotal + pTabManager->m_nScrollOffset < nAreaLength) {
      pTabManager->m_nScrollOffset = std::min(nAreaLength - nTotal, 0);
    }
  }
  int nStart = StripStart(rc, nPosition) + pTabManager->m_nScrollOffset + rcMargin.left;
  const CRect& rcHeader = pTabManager->m_rcHeader;
  for (int i = 0; i < nCount; ++i) {
    CTKTabManagerItem* pItem = pTabManager->GetTab(i);
    if (m_nLayout == TK_TAB_LAYOUT_ROTATED) {
      const int nLength = pItem->m_nLength;
      switch (nPosition) {
        case TK_TAB_POSITION_LEFT:
          pItem->m_rcItem.SetRect(rcHeader.right - rcMargin.bottom - nLength, nStart, rcHeader.right - rcMargin.bottom,
                                  nStart + h);
          break;
        case TK_TAB_POSITION_BOTTOM:
          pItem->m_rcItem.SetRect(nStart, rcHeader.top + rcMargin.bottom, nStart + h,
                                  rcHeader.top + rcMargin.bottom + nLength);
          break;
        case TK_TAB_POSITION_RIGHT:
          pItem->m_rcItem.SetRect(rcHeader.left + rcMargin.bottom, nStart, rcHeader.left + rcMargin.bottom + nLength,
                                  nStart + h);
          break;
        default:
          pItem->m_rcItem.SetRect(nStart, rcHeader.bottom - rcMargin.bottom - nLength, nStart + h,
                                  rcHeader.bottom - rcMargin.bottom);
          break;
      }
      nStart += h;
    } else {
      pItem->m_rcItem = TabRect(nPosition, nStart, pItem->m_nLength, nBand, h);
      nStart += pItem->m_nLength;
    }
  }
  CalcHeaderEnd(rc, pTabManager);
}

void CTKTabPaintManager::CompressTabs(CTKTabManager* pTabManager, int nAvailable)
{
  const int nCount = pTabManager->GetTabCount();
  int nTotal = 0;
  for (int i = 0; i < nCount; ++i) {
    nTotal += pTabManager->GetTab(i)->m_nLength;
  }
  if (nTotal <= nAvailable || nCount == 0) {
    return;
  }
  if (nCount == 1) {
    pTabManager->GetTab(0)->m_nLength = nAvailable;
    return;
  }
  std::vector<CTKTabManagerItem*> arrLongestFirst;
  for (int i = 0; i < nCount; ++i) {
    arrLongestFirst.push_back(pTabManager->GetTab(i));
  }
  std::stable_sort(arrLongestFirst.begin(), arrLongestFirst.end(),
                   [](const CTKTabManagerItem* a, const CTKTabManagerItem* b) { return a->m_nLength > b->m_nLength; });
  int nExcess = nTotal - nAvailable;
  size_t k = 1;
  for (;;) {
    const int nLongest = arrLongestFirst[0]->m_nLength;
    while (k < arrLongestFirst.size() && arrLongestFirst[k]->m_nLength == nLongest) {
      ++k;
    }
    if (k == arrLongestFirst.size()) {
      for (CTKTabManagerItem* pItem : arrLongestFirst) {
        pItem->m_nLength = nAvailable / nCount;
      }
      return;
    }
    const int nNext = arrLongestFirst[k]->m_nLength;
    const int nGroup = static_cast<int>(k);
    if (nGroup * (nLongest - nNext) >= nExcess) {
      for (size_t i = 0; i < k; ++i) {
        arrLongestFirst[i]->m_nLength -= nExcess / nGroup;
      }
      return;
    }
    for (size_t i = 0; i < k; ++i) {
      arrLongestFirst[i]->m_nLength = nNext;
    }
    nExcess -= nGroup * (nLongest - nNext);
  }
}

namespace {

// Balances the tabs into the rows from `nDepth` on; FALSE when they cannot be fitted.
BOOL FillRows(CTKTabManager* pTabManager, int nDepth, int nRemaining, int nAvailable, BOOL bJustify)
{
  CTKTabManager::CRowIndexer& rows = pTabManager->GetRows();
  const int nRows = rows.GetRowCount();
  const int nCount = pTabManager->GetTabCount();
  const int nTarget = bJustify ? std::min(nRemaining / (nRows - nDepth), nAvailable) : nAvailable;
  const int nFirst = rows.GetRow(nDepth).nFirst;
  rows.GetRow(nDepth).nLast = nFirst - 1;
  int nRowLength = 0;
  for (int i = nFirst; i < nCount; ++i) {
    CTKTabManagerItem* pItem = pTabManager->GetTab(i);
    const int nLength = pItem->m_nLength;
    if (nRowLength + nLength > nTarget && rows.GetRow(nDepth).nLast >= nFirst && nLength > 0) {
      if (nDepth == nRows - 1) {
        return FALSE;
      }
      rows.GetRow(nDepth + 1).nFirst = i;
      if (FillRows(pTabManager, nDepth + 1, nRemaining - nRowLength, nAvailable, bJustify)) {
        return TRUE;
      }
      if (nRowLength + nLength > nAvailable) {
        return FALSE;
      }
    }
    pItem->m_nItemRow = nDepth;
    rows.GetRow(nDepth).nLast = i;
    nRowLength += nLength;
  }
  // This row took every tab that was left: the rows after it stay empty.
  for (int r = nDepth + 1; r < nRows; ++r) {
    rows.GetRow(r) = {nCount, nCount - 1};
  }
  return TRUE;
}

}  // namespace

void CTKTabPaintManager::LayoutMultiRow(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  const int nPosition = pTabManager->GetStripPosition();
  pTabManager->m_nScrollOffset = 0;
  pTabManager->m_rcHeader = m_pAppearanceSet->GetHeaderRect(rc, pTabManager);
  const CRect rcMargin = m_pAppearanceSet->GetHeaderMargin();
  const int h = m_pAppearanceSet->GetRowHeight(pTabManager);
  const int nSpacing = m_pAppearanceSet->GetRowSpacing();
  const int nCount = pTabManager->GetTabCount();
  const int nAvailable =
      CalcHeaderEnd(rc, pTabManager) - StripStart(rc, nPosition) - rcMargin.left - rcMargin.right;

  int nTotal = 0;
  int nRows = 1;
  int nRowLength = 0;
  int nInRow = 0;
  for (int i = 0; i < nCount; ++i) {
    CTKTabManagerItem* pItem = pTabManager->GetTab(i);
    pItem->m_nLength = pItem->m_bVisible ? m_pAppearanceSet->GetTabLength(pDC, pItem) : 0;
    pItem->m_nNaturalLength = pItem->m_nLength;
    pItem->m_nItemRow = 0;
    nTotal += pItem->m_nLength;
    if (nInRow > 0 && nRowLength + pItem->m_nLength > nAvailable) {
      ++nRows;
      nRowLength = 0;
      nInRow = 0;
    }
    nRowLength += pItem->m_nLength;
    ++nInRow;
  }
  CTKTabManager::CRowIndexer& rows = pTabManager->GetRows();
  rows.SetRowCount(nRows);
  if (nRows > 1) {
    for (int r = 1; r < nRows; ++r) {
      rows.GetRow(r) = {nCount, nCount - 1};
    }
    if (!FillRows(pTabManager, 0, nTotal, nAvailable, m_bJustifyRows)) {
      // No balanced split: the rows as they were counted, each filled up to the room.
      FillRows(pTabManager, 0, nTotal, nAvailable, FALSE);
    }
    CTKTabManagerItem* pSelected = pTabManager->GetSelectedTab();
    if (!m_bKeepRowOrder && pSelected != nullptr && pSelected->m_nItemRow != 0) {
      const int nSelectedRow = pSelected->m_nItemRow;
      std::swap(rows.GetRow(0), rows.GetRow(nSelectedRow));
      for (int r : {0, nSelectedRow}) {
        for (int i = rows.GetRow(r).nFirst; i <= rows.GetRow(r).nLast; ++i) {
          pTabManager->GetTab(i)->m_nItemRow = r;
        }
      }
    }
  }
  if (nCount == 0) {
    CalcHeaderEnd(rc, pTabManager);
    return;
  }
  for (int r = 0; r < nRows; ++r) {
    const CTKTabManager::CRowIndexer::ROW row = rows.GetRow(r);
    if (nRows > 1 && m_bJustifyRows) {
      int nRoom = nAvailable;
      int nLeft = 0;
      for (int i = row.nFirst; i <= row.nLast; ++i) {
        nLeft += pTabManager->GetTab(i)->m_nLength;
      }
      for (int i = row.nFirst; i <= row.nLast; ++i) {
        CTKTabManagerItem* pItem = pTabManager->GetTab(i);
        const int nTabsLeft = row.nLast - i + 1;
        const int nOwn = pItem->m_nLength;
        pItem->m_nLength = nOwn + (nRoom - nLeft) / nTabsLeft;
        nRoom -= pItem->m_nLength;
        nLeft -= nOwn;
      }
    }
    // Row 0 lies next to the client area; further rows go outwards.
    int nAcross = 0;
    switch (nPosition) {
      case TK_TAB_POSITION_TOP:
      case TK_TAB_POSITION_LEFT:
        nAcross = BandStart(rc, nPosition, rcMargin.top, 0) + (nRows - 1 - r) * (h + nSpacing);
        break;
      default:
        nAcross = BandStart(rc, nPosition, rcMargin.top, nRows * h + (nRows - 1) * nSpacing) + r * (h + nSpacing);
        break;
    }
    int nStart = StripStart(rc, nPosition) + rcMargin.left;
    for (int i = row.nFirst; i <= row.nLast; ++i) {
      CTKTabManagerItem* pItem = pTabManager->GetTab(i);
      pItem->m_rcItem = TabRect(nPosition, nStart, pItem->m_nLength, nAcross, h);
      nStart += pItem->m_nLength;
    }
  }
  pTabManager->m_rcHeader = m_pAppearanceSet->GetHeaderRect(rc, pTabManager);
  CalcHeaderEnd(rc, pTabManager);
}
