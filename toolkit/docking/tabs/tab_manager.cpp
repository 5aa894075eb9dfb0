#include "toolkit/docking/tabs/tab_manager.h"

#include "platform/base/clock.h"
#include "toolkit/docking/tabs/tab_color_sets.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/tooltip_context.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Right arrow stays enabled while the tabs reach further than the strip less both arrows' room.
constexpr int kArrowsRoom = 28;
// Holding an arrow repeats its step at most this often.
constexpr DWORD kRepeatMs = 20;

constexpr COLORREF kAutomaticColors[8] = {
    RGB(138, 168, 228), RGB(255, 219, 117), RGB(189, 205, 159), RGB(240, 158, 159),
    RGB(186, 166, 225), RGB(154, 191, 180), RGB(247, 182, 131), RGB(216, 171, 192),
};

CPoint PointFromLParam(LPARAM lParam)
{
  return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

BOOL IsKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

}  // namespace

COLORREF TKTabAutomaticColor(int k) { return kAutomaticColors[k & 7]; }

CRect TKTabDeflate(CRect rc, const CRect& margin, int nPosition)
{
  const int nNear = margin.left;
  const int nStrip = margin.top;
  const int nFar = margin.right;
  const int nClient = margin.bottom;
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT:
      rc.top += nNear;
      rc.left += nStrip;
      rc.bottom -= nFar;
      rc.right -= nClient;
      break;
    case TK_TAB_POSITION_BOTTOM:
      rc.left += nNear;
      rc.bottom -= nStrip;
      rc.right -= nFar;
      rc.top += nClient;
      break;
    case TK_TAB_POSITION_RIGHT:
      rc.top += nNear;
      rc.right -= nStrip;
      rc.bottom -= nFar;
      rc.left += nClient;
      break;
    default:
      rc.left += nNear;
      rc.top += nStrip;
      rc.right -= nFar;
      rc.bottom -= nClient;
      break;
  }
  return rc;
}

CRect TKTabInflate(CRect rc, const CRect& margin, int nPosition)
{
  return TKTabDeflate(rc, CRect(-margin.left, -margin.top, -margin.right, -margin.bottom), nPosition);
}

// ---- CTKTabManagerItem

void CTKTabManagerItem::SetCaption(const CString& strCaption)
{
  if (m_strCaption == strCaption) {
    return;
  }
  m_strCaption = strCaption;
  if (m_pTabManager != nullptr) {
    m_pTabManager->Reposition();
  }
}

CString CTKTabManagerItem::GetCaption() const
{
  return m_pTabManager != nullptr ? m_pTabManager->GetTabCaption(this) : m_strCaption;
}

void CTKTabManagerItem::SetColor(COLORREF clr)
{
  m_clrItem = clr;
  if (m_pTabManager != nullptr) {
    m_pTabManager->RequestRedraw();
  }
}

COLORREF CTKTabManagerItem::GetColor() const
{
  return m_pTabManager != nullptr ? m_pTabManager->GetTabFillColor(this) : m_clrItem;
}

BOOL CTKTabManagerItem::IsSelected() const
{
  return m_pTabManager != nullptr && m_pTabManager->GetSelectedTab() == this;
}

BOOL CTKTabManagerItem::IsHot() const { return m_pTabManager != nullptr && m_pTabManager->GetHotTab() == this; }

// ---- Navigation buttons

CTKTabManagerNavigateButton::CTKTabManagerNavigateButton(CTKTabManager* pManager, int nId, int nShowMode)
    : m_nId(nId), m_nShowMode(nShowMode), m_pManager(pManager)
{
}

BOOL CTKTabManagerNavigateButton::IsShown() const
{
  return m_nShowMode == kAlways || (m_nShowMode == kWhenAllowed && m_pManager->IsNavigateButtonAllowed(this));
}

void CTKTabManagerNavigateButton::AdjustWidth(int& nAvailable)
{
  if (IsShown()) {
    nAvailable -= m_pManager->IsHorizontalPosition() ? m_nWidth : m_nHeight;
  }
}

void CTKTabManagerNavigateButton::Reposition(CRect& rcStrip) { Place(rcStrip, IsShown()); }

void CTKTabManagerNavigateButton::Place(CRect& rcStrip, BOOL bShow)
{
  if (!bShow) {
    m_rcButton.SetRectEmpty();
    return;
  }
  if (m_pManager->IsHorizontalPosition()) {
    const int nBottom = (rcStrip.top + rcStrip.bottom) / 2 + m_nHeight / 2;
    m_rcButton.SetRect(rcStrip.right - m_nWidth, nBottom - m_nHeight, rcStrip.right, nBottom);
    rcStrip.right -= m_nWidth;
  } else {
    const int nLeft = (rcStrip.left + rcStrip.right) / 2 - m_nWidth / 2;
    m_rcButton.SetRect(nLeft, rcStrip.bottom - m_nHeight, nLeft + m_nWidth, rcStrip.bottom);
    rcStrip.bottom -= m_nHeight;
  }
}

void CTKTabManagerNavigateButton::Redraw() { m_pManager->RequestRedraw(); }

void CTKTabManagerNavigateButton::UpdateHot(CWnd* pWnd, CPoint point)
{
  const BOOL bHot = m_bEnabled && m_rcButton.PtInRect(point);
  if (bHot == m_bHot) {
    return;
  }
  m_bHot = bHot;
  Redraw();
  if (bHot && pWnd != nullptr) {
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = pWnd->GetSafeHwnd();
    ::TrackMouseEvent(&tme);
  }
}

BOOL CTKTabManagerNavigateButton::TrackClick(CWnd* pWnd, CPoint point)
{
  if (::GetCapture() != nullptr || !m_bEnabled || pWnd == nullptr) {
    return FALSE;
  }
  const HWND hWnd = pWnd->GetSafeHwnd();
  ::SetCapture(hWnd);
  DWORD dwLastTick = GetTickCount();
  BOOL bResult = FALSE;
  for (;;) {
    // The queue is polled, not waited on, so that a button held still keeps repeating.
    if (m_bEnabled && GetTickCount() - dwLastTick > kRepeatMs) {
      OnExecute(TRUE);
      dwLastTick = GetTickCount();
    }
    const BOOL bPressed = m_rcButton.PtInRect(point);
    if (bPressed != m_bPressed) {
      m_bPressed = bPressed;
      Redraw();
    }
    MSG msg;
    if (!::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      continue;
    }
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (::GetCapture() != hWnd) {
      ::DispatchMessage(&msg);
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      point = PointFromLParam(msg.lParam);
    } else if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_CANCELMODE ||
               msg.message == WM_RBUTTONDOWN) {
      break;
    } else if (msg.message == WM_LBUTTONUP) {
      bResult = m_bPressed;
      break;
    } else if (!IsKeyMessage(msg.message)) {
      ::DispatchMessage(&msg);
    }
  }
  if (::GetCapture() == hWnd) {
    ::ReleaseCapture();
  }
  m_bPressed = FALSE;
  UpdateHot(pWnd, point);
  Redraw();
  if (bResult) {
    OnExecute(FALSE);
  }
  return bResult;
}

void CTKTabManagerNavigateButton::Draw(CDC* pDC)
{
  if (m_rcButton.IsRectEmpty()) {
    return;
  }
  CRect rc = m_rcButton;
  CTKTabPaintManager* pPaintManager = m_pManager->GetTabPaintManager();
  if (pPaintManager != nullptr && pPaintManager->GetColorSet() != nullptr) {
    pPaintManager->GetColorSet()->FillNavigateButtonFace(pDC, this, rc);
  }
  CTKPenDC pen(pDC->GetSafeHdc(), pDC->GetTextColor());
  CBrush brush;
  HGDIOBJ hOldBrush = nullptr;
  if (m_bEnabled) {
    brush.CreateSolidBrush(pDC->GetTextColor());
    hOldBrush = pDC->SelectObject(brush.GetSafeHandle());
  } else {
    hOldBrush = pDC->SelectObject(::GetStockObject(NULL_BRUSH));
  }
  DrawGlyph(pDC, rc);
  pDC->SelectObject(hOldBrush);
}

void CTKTabManager::CNavigateButtonArrow::AdjustWidth(int& nAvailable)
{
  if (m_nShowMode == kAlways) {
    nAvailable -= m_pManager->IsHorizontalPosition() ? m_nWidth : m_nHeight;
  }
}

void CTKTabManager::CNavigateButtonArrow::Reposition(CRect& rcStrip)
{
  const int nTotal = m_pManager->GetTotalTabLength();
  const int nOffset = m_pManager->GetStripOffset();
  const int nLength = m_pManager->GetRectLength(rcStrip);
  m_bEnabled = m_nId == 0 ? nOffset < 0 : nTotal + nOffset > nLength - kArrowsRoom;

  CTKTabPaintManager* pPaintManager = m_pManager->GetTabPaintManager();
  const int nLayout = pPaintManager != nullptr ? pPaintManager->GetLayout() : TK_TAB_LAYOUT_SIZE_TO_FIT;
  BOOL bShow = FALSE;
  if (nLayout == TK_TAB_LAYOUT_MULTI_ROW) {
    bShow = FALSE;
  } else if (m_nShowMode == kWhenAllowed) {
    const int nNear = pPaintManager != nullptr && pPaintManager->GetAppearance() != nullptr
                          ? pPaintManager->GetAppearance()->GetHeaderMargin().left
                          : 0;
    bShow = nLayout != TK_TAB_LAYOUT_COMPRESSED && m_pManager->IsNavigateButtonAllowed(this) &&
            (nTotal + nOffset - nNear - 1 > nLength || nOffset < 0);
  } else {
    bShow = IsShown();
  }
  Place(rcStrip, bShow);
}

void CTKTabManager::CNavigateButtonArrow::OnExecute(BOOL bTick)
{
  if (bTick) {
    m_pManager->ScrollByStep(m_nId == 1);
  }
}

void CTKTabManager::CNavigateButtonArrowLeft::DrawGlyph(CDC* pDC, CRect rc)
{
  const CPoint c = rc.CenterPoint();
  if (m_pManager->IsHorizontalPosition()) {
    CTKDrawHelpers::Triangle(pDC, CPoint(c.x + 2, c.y - 5), CPoint(c.x - 2, c.y - 1), CPoint(c.x + 2, c.y + 3));
  } else {
    CTKDrawHelpers::Triangle(pDC, CPoint(c.x - 5, c.y + 2), CPoint(c.x - 1, c.y - 2), CPoint(c.x + 3, c.y + 2));
  }
}

void CTKTabManager::CNavigateButtonArrowRight::DrawGlyph(CDC* pDC, CRect rc)
{
  const CPoint c = rc.CenterPoint();
  if (m_pManager->IsHorizontalPosition()) {
    CTKDrawHelpers::Triangle(pDC, CPoint(c.x - 2, c.y - 5), CPoint(c.x + 2, c.y - 1), CPoint(c.x - 2, c.y + 3));
  } else {
    CTKDrawHelpers::Triangle(pDC, CPoint(c.x - 5, c.y - 2), CPoint(c.x - 1, c.y + 2), CPoint(c.x + 3, c.y - 2));
  }
}

void CTKTabManager::CNavigateButtonClose::DrawGlyph(CDC* pDC, CRect rc)
{
  pDC->MoveTo(rc.left + 3, rc.top + 3);
  pDC->LineTo(rc.right - 4, rc.bottom - 5);
  pDC->MoveTo(rc.left + 4, rc.top + 3);
  pDC->LineTo(rc.right - 3, rc.bottom - 5);
  pDC->MoveTo(rc.left + 3, rc.bottom - 6);
  pDC->LineTo(rc.right - 4, rc.top + 2);
  pDC->MoveTo(rc.left + 4, rc.bottom - 6);
  pDC->LineTo(rc.right - 3, rc.top + 2);
}

void CTKTabManager::CNavigateButtonClose::OnExecute(BOOL bTick)
{
  if (!bTick) {
    m_pManager->OnNavigateButtonCommand(m_nId);
  }
}

// ---- Rows

CTKTabManager::CRowIndexer::CRowIndexer(CTKTabManager* pManager) : m_pManager(pManager) { SetRowCount(1); }

void CTKTabManager::CRowIndexer::SetRowCount(int nRows)
{
  if (nRows < 0) {
    nRows = 0;
  }
  if (nRows != GetRowCount()) {
    m_arrRows.assign(static_cast<size_t>(nRows), ROW{0, -1});
  }
  if (nRows > 0) {
    m_arrRows[0] = ROW{0, m_pManager->GetTabCount() - 1};
  }
}

// ---- CTKTabManager

CTKTabManager::CTKTabManager()
{
  m_arrNavigateButtons.Add(new CNavigateButtonArrowLeft(this));
  m_arrNavigateButtons.Add(new CNavigateButtonArrowRight(this));
  m_arrNavigateButtons.Add(new CNavigateButtonClose(this));
}

CTKTabManager::~CTKTabManager()
{
  for (INT_PTR i = 0; i < m_arrTabs.GetSize(); ++i) {
    m_arrTabs[i]->InternalRelease();
  }
  m_arrTabs.RemoveAll();
  for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i) {
    delete m_arrNavigateButtons[i];
  }
  m_arrNavigateButtons.RemoveAll();
}

CString CTKTabManager::GetTabCaption(const CTKTabManagerItem* pItem) const { return pItem->m_strCaption; }

int CTKTabManager::GetTabImage(const CTKTabManagerItem* pItem) const { return pItem->m_nImage; }

COLORREF CTKTabManager::GetTabFillColor(const CTKTabManagerItem* pItem) const
{
  const COLORREF clr = pItem->m_clrItem;
  if (clr >= TK_TAB_AUTO_COLOR && clr < TK_TAB_AUTO_COLOR + 8) {
    return TKTabAutomaticColor(static_cast<int>(clr - TK_TAB_AUTO_COLOR));
  }
  return clr;
}

CString CTKTabManager::GetTabTooltip(const CTKTabManagerItem* pItem) const { return pItem->m_strToolTip; }

void CTKTabManager::OnTabsChanged()
{
  for (INT_PTR i = 0; i < m_arrTabs.GetSize(); ++i) {
    m_arrTabs[i]->m_nIndex = static_cast<int>(i);
  }
  Reposition();
}

void CTKTabManager::SelectTab(CTKTabManagerItem* pItem)
{
  if (m_pSelected == pItem) {
    return;
  }
  m_pSelected = pItem;
  Reposition();
  ScrollTabIntoView(pItem);
}

void CTKTabManager::OnTabKeySelect(CTKTabManagerItem* pItem)
{
  if (pItem != nullptr) {
    OnTabClick(pItem);
  }
}

void CTKTabManager::GetTabSizeLimits(CSize* pszFixed, CSize* pszMin, CSize* pszMax) const
{
  if (pszFixed != nullptr) {
    *pszFixed = m_szFixedTab;
  }
  if (pszMin != nullptr) {
    *pszMin = m_szMinTab;
  }
  if (pszMax != nullptr) {
    *pszMax = m_szMaxTab;
  }
}

BOOL CTKTabManager::HasStaticFrame() const
{
  const CTKTabPaintManager* pPaintManager = GetTabPaintManager();
  return pPaintManager != nullptr && pPaintManager->m_bStaticFrame;
}

int CTKTabManager::GetStripPosition() const
{
  const CTKTabPaintManager* pPaintManager = GetTabPaintManager();
  return pPaintManager != nullptr ? pPaintManager->GetPosition() : TK_TAB_POSITION_TOP;
}

void CTKTabManager::ScrollByStep(BOOL bTowardsEnd)
{
  SetStripOffset(bTowardsEnd ? m_nScrollOffset - m_nScrollStep : m_nScrollOffset + m_nScrollStep);
}

BOOL CTKTabManager::IsNavigateButtonAllowed(const CTKTabManagerNavigateButton* pButton) const
{
  if (pButton->GetId() == 2) {
    return m_pSelected != nullptr && m_pSelected->m_bClosable;
  }
  return TRUE;
}

void CTKTabManager::OnTabClick(CTKTabManagerItem* pItem) { SelectTab(pItem); }

CTKTabManagerItem* CTKTabManager::InsertTab(int nIndex, CTKTabManagerItem* pItem)
{
  if (pItem == nullptr) {
    pItem = new CTKTabManagerItem;
  }
  pItem->m_pTabManager = this;
  if (nIndex < 0 || nIndex > GetTabCount()) {
    nIndex = GetTabCount();
  }
  m_arrTabs.InsertAt(nIndex, pItem);
  CTKTabPaintManager* pPaintManager = GetTabPaintManager();
  if (pPaintManager != nullptr) {
    pItem->m_clrItem = TK_TAB_AUTO_COLOR + static_cast<COLORREF>(pPaintManager->m_nAutoColorCounter % 8);
    ++pPaintManager->m_nAutoColorCounter;
  } else {
    pItem->m_clrItem = TK_TAB_AUTO_COLOR;
  }
  OnTabsChanged();
  return pItem;
}

void CTKTabManager::RemoveAllTabs()
{
  for (INT_PTR i = 0; i < m_arrTabs.GetSize(); ++i) {
    m_arrTabs[i]->InternalRelease();
  }
  m_arrTabs.RemoveAll();
  m_pSelected = nullptr;
  m_pHighlighted = nullptr;
  Reposition();
}

CTKTabManagerItem* CTKTabManager::GetTab(int nIndex) const
{
  return nIndex >= 0 && nIndex < GetTabCount() ? m_arrTabs[nIndex] : nullptr;
}

CTKTabManagerNavigateButton* CTKTabManager::GetNavigateButton(int nIndex) const
{
  return nIndex >= 0 && nIndex < GetNavigateButtonCount() ? m_arrNavigateButtons[nIndex] : nullptr;
}

CTKTabManagerItem* CTKTabManager::TabFromPoint(CPoint point) const
{
  if (!m_rcControl.PtInRect(point)) {
    return nullptr;
  }
  if (!m_rcHeader.IsRectEmpty() && !m_rcHeader.PtInRect(point)) {
    return nullptr;
  }
  for (INT_PTR i = 0; i < m_arrTabs.GetSize(); ++i) {
    CTKTabManagerItem* pItem = m_arrTabs[i];
    if (pItem->m_rcItem.PtInRect(point) && pItem->m_bEnabled && pItem->m_bVisible) {
      return pItem;
    }
  }
  return nullptr;
}

CTKTabManagerItem* CTKTabManager::FindNextVisibleTab(int nStart, int nStep) const
{
  for (int i = nStart + nStep; i >= 0 && i < GetTabCount(); i += nStep) {
    CTKTabManagerItem* pItem = GetTab(i);
    if (pItem == nullptr) {
      return nullptr;
    }
    if (pItem->m_bVisible && pItem->m_bEnabled) {
      return pItem;
    }
  }
  return nullptr;
}

BOOL CTKTabManager::HandleLButtonDown(CWnd* pWnd, CPoint point, BOOL bButtonsOnly)
{
  for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i) {
    CTKTabManagerNavigateButton* pButton = m_arrNavigateButtons[i];
    if (pButton->GetRect().PtInRect(point)) {
      pButton->TrackClick(pWnd, point);
      return TRUE;
    }
  }
  if (bButtonsOnly) {
    return FALSE;
  }
  CTKTabManagerItem* pItem = TabFromPoint(point);
  if (pItem == nullptr) {
    return FALSE;
  }
  if (CanReorderTabs()) {
    TrackTabDrag(pWnd, point, pItem);
  } else {
    OnTabClick(pItem);
  }
  return TRUE;
}

void CTKTabManager::PerformMouseMove(CWnd* pWnd, CPoint point)
{
  if (pWnd == nullptr || !CTKDrawHelpers::IsTopParentActive(pWnd->GetSafeHwnd()) || IsHotTrackingSuspended()) {
    return;
  }
  const CTKTabPaintManager* pPaintManager = GetTabPaintManager();
  if (pPaintManager != nullptr && pPaintManager->m_bHotTracking) {
    CTKTabManagerItem* pItem = TabFromPoint(point);
    if (pItem != m_pHighlighted) {
      m_pHighlighted = pItem;
      RequestRedraw();
      if (pItem != nullptr) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = pWnd->GetSafeHwnd();
        ::TrackMouseEvent(&tme);
      }
    }
  }
  for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i) {
    m_arrNavigateButtons[i]->UpdateHot(pWnd, point);
  }
}

void CTKTabManager::SetStripOffset(int nOffset)
{
  if (nOffset > 0) {
    nOffset = 0;
  }
  if (nOffset != m_nScrollOffset) {
    m_nScrollOffset = nOffset;
    Reposition();
  }
}

void CTKTabManager::ScrollTabIntoView(CTKTabManagerItem* pItem)
{
  if (pItem == nullptr || m_rcHeader.IsRectEmpty() || pItem->m_rcItem.IsRectEmpty()) {
    return;
  }
  const BOOL bHorizontal = IsHorizontalPosition();
  const int nHeaderStart = bHorizontal ? m_rcHeader.left : m_rcHeader.top;
  const int nHeaderEnd = bHorizontal ? m_rcHeader.right : m_rcHeader.bottom;
  const int nTabStart = bHorizontal ? pItem->m_rcItem.left : pItem->m_rcItem.top;
  const int nTabEnd = bHorizontal ? pItem->m_rcItem.right : pItem->m_rcItem.bottom;
  if (nTabStart < nHeaderStart) {
    const CTKTabPaintManager* pPaintManager = GetTabPaintManager();
    const int nNear = pPaintManager != nullptr && pPaintManager->GetAppearance() != nullptr
                          ? pPaintManager->GetAppearance()->GetHeaderMargin().left
                          : 0;
    SetStripOffset(m_nScrollOffset + (nHeaderStart - nTabStart) + nNear);
  } else if (nTabEnd > nHeaderEnd) {
    SetStripOffset(m_nScrollOffset + (nHeaderEnd - nTabEnd));
  }
}

int CTKTabManager::GetTotalTabLength() const
{
  const CTKTabPaintManager* pPaintManager = GetTabPaintManager();
  if (pPaintManager != nullptr && pPaintManager->GetLayout() == TK_TAB_LAYOUT_ROTATED &&
      pPaintManager->GetAppearance() != nullptr) {
    return GetTabCount() *
           pPaintManager->GetAppearance()->GetRowHeight(const_cast<CTKTabManager*>(this));
  }
  int nTotal = 0;
  for (INT_PTR i = 0; i < m_arrTabs.GetSize(); ++i) {
    if (m_arrTabs[i]->m_bVisible) {
      nTotal += m_arrTabs[i]->m_nLength;
    }
  }
  return nTotal;
}

CTKTabManagerNavigateButton* CTKTabManager::FindNavigateButton(int nId) const
{
  for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i) {
    if (m_arrNavigateButtons[i]->GetId() == nId) {
      return m_arrNavigateButtons[i];
    }
  }
  return nullptr;
}

int CTKTabManager::FillTabToolInfo(CWnd* pWnd, CTKTabManagerItem* pItem, TOOLINFO* pToolInfo) const
{
  const CTKTabPaintManager* pPaintManager = GetTabPaintManager();
  if (pItem == nullptr || pPaintManager == nullptr || pPaintManager->m_nToolTipMode == 0) {
    return -1;
  }
  if (pPaintManager->m_nToolTipMode == 2 && pItem->m_nLength >= pItem->m_nNaturalLength) {
    return -1;
  }
  const CString strTip = GetTabTooltip(pItem);
  if (strTip.IsEmpty() || pToolInfo == nullptr) {
    return -1;
  }
  // The extended form shows the caption as the tip's title above the text.
  CTKToolTipContext::FillInToolInfo(pToolInfo, pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr, pItem->m_rcItem,
                                    pItem->m_nIndex, strTip, pItem->GetCaption(), strTip);
  return pItem->m_nIndex;
}

BOOL CTKTabManager::IsHorizontalPosition() const
{
  const int nPosition = GetStripPosition();
  return nPosition == TK_TAB_POSITION_TOP || nPosition == TK_TAB_POSITION_BOTTOM;
}

int CTKTabManager::GetRectLength(const CRect& rc) const
{
  return IsHorizontalPosition() ? rc.Width() : rc.Height();
}

BOOL CTKTabManager::HandleKeyDown(CWnd* pWnd, UINT nKey)
{
  if (GetTabCount() == 0) {
    return FALSE;
  }
  if (pWnd != nullptr && (pWnd->GetExStyle() & WS_EX_LAYOUTRTL) != 0) {
    if (nKey == VK_LEFT) {
      nKey = VK_RIGHT;
    } else if (nKey == VK_RIGHT) {
      nKey = VK_LEFT;
    }
  }
  const BOOL bHorizontal = IsHorizontalPosition();
  const int nSelected = m_pSelected != nullptr ? m_pSelected->m_nIndex : -1;
  switch (nKey) {
    case VK_HOME: OnTabKeySelect(FindNextVisibleTab(-1, 1)); return TRUE;
    case VK_END: OnTabKeySelect(FindNextVisibleTab(GetTabCount(), -1)); return TRUE;
    case VK_LEFT:
    case VK_UP:
      if ((nKey == VK_LEFT) == bHorizontal && m_pSelected != nullptr && nSelected > 0) {
        OnTabKeySelect(FindNextVisibleTab(nSelected, -1));
      }
      return TRUE;
    case VK_RIGHT:
    case VK_DOWN:
      if ((nKey == VK_RIGHT) == bHorizontal && m_pSelected != nullptr && nSelected < GetTabCount() - 1) {
        OnTabKeySelect(FindNextVisibleTab(nSelected, 1));
      }
      return TRUE;
    default: return FALSE;
  }
}

void CTKTabManager::TrackTabDrag(CWnd* pWnd, CPoint point, CTKTabManagerItem* pItem)
{
  if (pWnd == nullptr || pItem == nullptr) {
    return;
  }
  CTKTabManagerItem* pRemembered = m_pSelected;
  m_pSelected = pItem;
  const CTKTabPaintManager* pPaintManager = GetTabPaintManager();
  if (pPaintManager != nullptr && pPaintManager->m_bHotTracking) {
    m_pHighlighted = pItem;
  }
  Reposition();
  std::vector<CRect> arrRects;
  for (INT_PTR i = 0; i < m_arrTabs.GetSize(); ++i) {
    arrRects.push_back(m_arrTabs[i]->m_rcItem);
  }

  const HWND hWnd = pWnd->GetSafeHwnd();
  ::SetCapture(hWnd);
  MSG msg;
  while (::GetCapture() == hWnd) {
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (::GetCapture() != hWnd) {
      ::DispatchMessage(&msg);
      break;
    }
    if (msg.message == WM_CANCELMODE || msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN ||
        (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
      break;
    }
    if (IsKeyMessage(msg.message)) {
      continue;
    }
    if (msg.message != WM_MOUSEMOVE) {
      ::DispatchMessage(&msg);
      continue;
    }
    point = PointFromLParam(msg.lParam);
    // The rectangles of the start of the drag: a tab swapped in does not move the targets under the mouse.
    for (size_t i = 0; i < arrRects.size() && static_cast<int>(i) < GetTabCount(); ++i) {
      if (static_cast<int>(i) == pItem->m_nIndex || !arrRects[i].PtInRect(point)) {
        continue;
      }
      const int nFrom = pItem->m_nIndex;
      m_arrTabs[nFrom] = m_arrTabs[static_cast<INT_PTR>(i)];
      m_arrTabs[static_cast<INT_PTR>(i)] = pItem;
      OnTabsChanged();
      break;
    }
  }
  if (::GetCapture() == hWnd) {
    ::ReleaseCapture();
  }
  PerformMouseMove(pWnd, point);
  m_pSelected = pRemembered;
  OnTabClick(pItem);
}
