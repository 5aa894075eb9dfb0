#include "toolkit/commandbars/dockbar.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/dockcontext.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/paint_manager.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CTKDockBar, CWnd)

namespace {

constexpr DWORD kVerticalStyle = 0x5500;
constexpr int kStretchedLength = 32767;
// WM_PRINT's request to print the children too.
constexpr UINT kPrintChildren = 0x10;

// Row records are compared by their near edge only; equal edges keep no particular order.
void SortByLeft(CTKDockBar::CTKDockInfoArray& arrInfo)
{
  std::stable_sort(arrInfo.begin(), arrInfo.end(),
                   [](const TK_DOCK_INFO& a, const TK_DOCK_INFO& b) { return a.rcBar.left < b.rcBar.left; });
}

void SwapAxes(CRect& rc) { rc = CRect(rc.top, rc.left, rc.bottom, rc.right); }

CRect PreferredRect(const CTKToolBar* pBar)
{
  CTKDockContext* pContext = pBar->GetDockContext();
  return pContext ? pContext->m_rectMRUDockPos : CRect();
}

}  // namespace

CTKDockBar::CTKDockBar(CTKCommandBars* pCommandBars) : m_arrBars(1, nullptr), m_pCommandBars(pCommandBars) {}

CTKDockBar::~CTKDockBar()
{
  // Bars that outlive their dock row must not point at it.
  for (CTKToolBar* pBar : m_arrBars)
    if (pBar && pBar->GetDockBar() == this)
      pBar->SetDockBar(nullptr);
  if (GetSafeHwnd())
    DestroyWindow();
}

BOOL CTKDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
  m_dwStyle = dwStyle & CBRS_ALL;
  LPCSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  return CreateEx(0, lpszClass, nullptr, dwStyle | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                  pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

int CTKDockBar::GetPosition() const
{
  if (m_dwStyle & 0x2800)
    return tkBarTop;
  if (m_dwStyle & 0x8200)
    return tkBarBottom;
  if (m_dwStyle & 0x1400)
    return tkBarLeft;
  return tkBarRight;
}

int CTKDockBar::FindBar(const CTKToolBar* pBar, int nExcluded) const
{
  for (size_t i = 0; i < m_arrBars.size(); ++i)
    if (static_cast<int>(i) != nExcluded && m_arrBars[i] == pBar && pBar)
      return static_cast<int>(i);
  return -1;
}

DWORD CTKDockBar::GetLayoutMode(BOOL bHorz, const CTKToolBar* pBar) const
{
  DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
  if (pBar->GetFlags() & TK_DOCK_STRETCHED)
    dwMode |= LM_STRETCH;
  // While the customise sheet is open bars keep their full length; an Alt-drag leaves them as they are.
  const BOOL bSheet = m_pCommandBars && m_pCommandBars->IsCustomizeMode() && !m_pCommandBars->IsQuickCustomizeMode();
  if ((pBar->GetFlags() & TK_DOCK_HIDEWRAP) && !bSheet)
    dwMode |= TK_LM_HIDEWRAP;
  return dwMode;
}

void CTKDockBar::DockCommandBar(CTKToolBar* pBar, LPCRECT lpRect)
{
  if (!pBar)
    return;
  CTKDockBar* pOldDockBar = pBar->GetDockBar();
  if (pOldDockBar == this && pBar->GetSafeHwnd()) {
    CRect rcWindow;
    pBar->GetWindowRect(&rcWindow);
    if (!lpRect || CRect(*lpRect) == rcWindow)
      return;
  }
  int nIndex = -1;
  if (lpRect) {
    CRect rc(*lpRect);
    ScreenToClient(&rc);
    nIndex = InsertBarByPoint(pBar, rc.CenterPoint());
    if (CTKDockContext* pContext = pBar->GetDockContext())
      pContext->m_rectMRUDockPos = rc;
  } else {
    m_arrBars.push_back(pBar);
    m_arrBars.push_back(nullptr);
    if (CTKDockContext* pContext = pBar->GetDockContext())
      pContext->m_rectMRUDockPos.SetRectEmpty();
  }
  if (pBar->GetSafeHwnd() && ::GetParent(pBar->GetSafeHwnd()) != m_hWnd)
    ::SetParent(pBar->GetSafeHwnd(), m_hWnd);
  if (pOldDockBar == this)
    RemoveCommandBar(pBar, nIndex);
  else if (pOldDockBar)
    pOldDockBar->RemoveCommandBar(pBar, -1);
  pBar->SetDockBar(this);
  SeparateFullRowBars();
  if (m_pCommandBars)
    m_pCommandBars->RecalcFrameLayout(TRUE);
}

int CTKDockBar::InsertBarByPoint(CTKToolBar* pBar, CPoint ptMid)
{
  BOOL bHorz = IsHorizontal();
  int nCoord = bHorz ? ptMid.y : ptMid.x;
  int nFarEdge = 0;
  int nPrevFarEdge = 0;
  size_t nRowStart = 0;
  for (size_t i = 0; i < m_arrBars.size(); ++i) {
    CTKToolBar* pEntry = m_arrBars[i];
    if (pEntry) {
      if (pEntry->IsVisible() && pEntry->GetSafeHwnd()) {
        CRect rc;
        pEntry->GetWindowRect(&rc);
        ScreenToClient(&rc);
        nFarEdge = std::max(nFarEdge, static_cast<int>(bHorz ? rc.bottom : rc.right));
      }
      continue;
    }
    if (i == 0) {
      if (nCoord < 0) {
        m_arrBars.insert(m_arrBars.begin() + 1, {pBar, nullptr});
        return 1;
      }
      continue;
    }
    if (nCoord < nFarEdge) {
      // A drop on the very edge between two rows opens a row of its own in front of the lower one.
      if (nCoord == nPrevFarEdge)
        m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(nRowStart) + 1, nullptr);
      m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(nRowStart) + 1, pBar);
      return static_cast<int>(nRowStart) + 1;
    }
    nPrevFarEdge = nFarEdge;
    nFarEdge = 0;
    nRowStart = i;
  }
  m_arrBars.push_back(pBar);
  m_arrBars.push_back(nullptr);
  return static_cast<int>(m_arrBars.size()) - 2;
}

int CTKDockBar::RemoveCommandBar(CTKToolBar* pBar, int nExcluded)
{
  int nIndex = FindBar(pBar, nExcluded);
  // A bar that is not here leaves the array alone.
  if (nIndex <= 0)
    return 0;
  auto index = static_cast<size_t>(nIndex);
  m_arrBars.erase(m_arrBars.begin() + nIndex);
  if (index < m_arrBars.size() && !m_arrBars[index - 1] && !m_arrBars[index])
    m_arrBars.erase(m_arrBars.begin() + nIndex);
  pBar->SetDockBar(nullptr);
  if (m_pCommandBars)
    m_pCommandBars->RecalcFrameLayout(TRUE);
  return 0;
}

void CTKDockBar::SeparateFullRowBars()
{
  for (size_t i = 1; i < m_arrBars.size(); ++i) {
    CTKToolBar* pBar = m_arrBars[i];
    if (!pBar || !(pBar->GetFlags() & TK_DOCK_STRETCHED))
      continue;
    if (m_arrBars[i - 1]) {
      m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i), nullptr);
      ++i;
    }
    if (i + 1 < m_arrBars.size() && m_arrBars[i + 1])
      m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i) + 1, nullptr);
  }
}

void CTKDockBar::GetVisibleRow(int nIndex, std::vector<CTKToolBar*>& arrBars) const
{
  if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_arrBars.size())
    return;
  auto first = static_cast<size_t>(nIndex);
  if (!m_arrBars[first])
    first = first == 0 ? 1 : first - 1;
  while (first > 0 && first < m_arrBars.size() && m_arrBars[first - 1])
    --first;
  CTKDockInfoArray arrInfo;
  for (size_t i = first; i < m_arrBars.size() && m_arrBars[i]; ++i) {
    CTKToolBar* pBar = m_arrBars[i];
    if (!pBar->IsVisible() || !pBar->GetSafeHwnd())
      continue;
    TK_DOCK_INFO info(pBar);
    pBar->GetWindowRect(&info.rcBar);
    ScreenToClient(&info.rcBar);
    if (m_dwStyle & kVerticalStyle)
      SwapAxes(info.rcBar);
    info.nOrder = static_cast<int>(arrInfo.size());
    arrInfo.push_back(info);
  }
  SortByLeft(arrInfo);
  for (const TK_DOCK_INFO& info : arrInfo)
    arrBars.push_back(info.pBar);
}

CSize CTKDockBar::CalcDockBarLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* lpLayout)
{
  BOOL bHorz = (dwMode & LM_HORZDOCK) != 0;
  CSize size(0, 0);
  if (dwMode & LM_STRETCH)
    size = bHorz ? CSize(kStretchedLength, 0) : CSize(0, kStretchedLength);

  // All bars of the row move in one batch of their own, and only when the frame really places windows.
  AFX_SIZEPARENTPARAMS layout;
  if (lpLayout && lpLayout->hDWP)
    layout.hDWP = ::BeginDeferWindowPos(static_cast<int>(m_arrBars.size()));

  int nOffset = 0;
  std::vector<CTKToolBar*> arrRow;
  for (size_t i = 1; i <= m_arrBars.size(); ++i) {
    CTKToolBar* pBar = i < m_arrBars.size() ? m_arrBars[i] : nullptr;
    if (pBar) {
      if (pBar->IsVisible())
        arrRow.push_back(pBar);
      continue;
    }
    if (!arrRow.empty()) {
      nOffset += CalcWrappedRow(arrRow, bHorz ? 0 : nOffset, bHorz ? nOffset : 0, nLength, bHorz, &layout);
      if (bHorz)
        size.cy = std::max(size.cy, static_cast<LONG>(nOffset));
      else
        size.cx = std::max(size.cx, static_cast<LONG>(nOffset));
    }
    arrRow.clear();
  }
  if (layout.hDWP)
    ::EndDeferWindowPos(layout.hDWP);
  return size;
}

int CTKDockBar::CalcWrappedRow(const std::vector<CTKToolBar*>& arrRow, int x, int y, int nLength, BOOL bHorz,
                               AFX_SIZEPARENTPARAMS* lpLayout)
{
  std::vector<CTKToolBar*> arrLine = arrRow;
  std::vector<CTKToolBar*> arrOverflow;
  int nTotal = 0;
  while (!arrLine.empty()) {
    int nOverflow = -1;
    int nThickness = CalcRowLayout(arrLine, x, y, nLength, bHorz, lpLayout, nOverflow);
    if (nThickness == 0 && nOverflow >= 0 && static_cast<size_t>(nOverflow) < arrLine.size()) {
      arrOverflow.push_back(arrLine[static_cast<size_t>(nOverflow)]);
      arrLine.erase(arrLine.begin() + nOverflow);
      continue;
    }
    // A line of bars that all take no room is placed with thickness 0: there is no bar to move on.
    nTotal += nThickness;
    if (bHorz)
      y += nThickness;
    else
      x += nThickness;
    arrLine.swap(arrOverflow);
    arrOverflow.clear();
  }
  return nTotal;
}

int CTKDockBar::CalcRowLayout(const std::vector<CTKToolBar*>& arrLine, int x, int y, int nLength, BOOL bHorz,
                              AFX_SIZEPARENTPARAMS* lpLayout, int& nOverflow)
{
  nOverflow = -1;
  CTKDockInfoArray arrInfo;
  for (size_t i = 0; i < arrLine.size(); ++i) {
    CTKToolBar* pBar = arrLine[i];
    TK_DOCK_INFO info(pBar);
    CSize size = pBar->CalcLayout(nLength, GetLayoutMode(bHorz, pBar), 0);
    CRect rcPreferred = PreferredRect(pBar);
    CPoint pt = bHorz ? CPoint(rcPreferred.left, y) : CPoint(x, rcPreferred.top);
    info.rcBar = info.rcPreferred = CRect(pt, size);
    info.nOrder = static_cast<int>(i);
    arrInfo.push_back(info);
  }
  // From here to the overflow every line runs along x.
  if (!bHorz)
    for (TK_DOCK_INFO& info : arrInfo)
      SwapAxes(info.rcBar);
  SortByLeft(arrInfo);

  // A bar overlapping the one before it gives way unless it has the lower order; a pushed bar pushes on.
  int nPrevRight = 0;
  int nPrevOrder = -1;
  BOOL bPushed = TRUE;
  for (TK_DOCK_INFO& info : arrInfo) {
    if (info.rcBar.left < nPrevRight && (nPrevOrder < info.nOrder || bPushed)) {
      info.rcBar.OffsetRect(nPrevRight - info.rcBar.left, 0);
      bPushed = TRUE;
    } else {
      bPushed = FALSE;
    }
    nPrevRight = info.rcBar.right;
    nPrevOrder = info.nOrder;
  }
  int nNextLeft = nLength;
  int nNextOrder = -1;
  bPushed = TRUE;
  for (auto it = arrInfo.rbegin(); it != arrInfo.rend(); ++it) {
    if (it->rcBar.right > nNextLeft && (nNextOrder < it->nOrder || bPushed)) {
      it->rcBar.OffsetRect(nNextLeft - it->rcBar.right, 0);
      bPushed = TRUE;
    } else {
      bPushed = FALSE;
    }
    nNextLeft = it->rcBar.left;
    nNextOrder = it->nOrder;
  }
  nPrevRight = 0;
  for (TK_DOCK_INFO& info : arrInfo) {
    if (info.rcBar.left < nPrevRight)
      info.rcBar.OffsetRect(nPrevRight - info.rcBar.left, 0);
    nPrevRight = info.rcBar.right;
  }

  if (!arrInfo.empty() && arrInfo.back().rcBar.right > nLength) {
    int nMinBefore = 0;
    for (TK_DOCK_INFO& info : arrInfo) {
      DWORD dwMode = GetLayoutMode(bHorz, info.pBar);
      if (dwMode & TK_LM_HIDEWRAP) {
        CSize szMin = info.pBar->CalcLayout(1, dwMode, 0);
        info.nMinLength = bHorz ? szMin.cx : szMin.cy;
      } else {
        // A bar that cannot be shortened claims the whole line.
        info.nMinLength = nLength;
      }
      info.nMinBefore = nMinBefore;
      nMinBefore += info.nMinLength;
    }
    int nLimit = nLength;
    for (auto it = arrInfo.rbegin(); it != arrInfo.rend(); ++it) {
      int nPreferredStart = bHorz ? it->rcPreferred.left : it->rcPreferred.top;
      int nLeft = std::min(nPreferredStart, static_cast<int>(it->rcBar.left));
      nLeft = std::max(nLeft, nLimit - it->rcBar.Width());
      nLeft = std::max(nLeft, it->nMinBefore);
      if (nLimit - nLeft < it->nMinLength)
        nLeft = nLimit - it->nMinLength;
      if (nLeft < it->nMinBefore && arrInfo.size() > 1) {
        nOverflow = arrInfo.back().nOrder;
        return 0;
      }
      it->rcBar.left = std::max(nLeft, 0);
      it->rcBar.right = nLimit;
      nLimit = it->rcBar.left;
    }
  }
  if (!bHorz)
    for (TK_DOCK_INFO& info : arrInfo)
      SwapAxes(info.rcBar);

  int nThickness = 0;
  for (TK_DOCK_INFO& info : arrInfo) {
    int nAlong = bHorz ? info.rcBar.Width() : info.rcBar.Height();
    CSize size = info.pBar->CalcLayout(nAlong, GetLayoutMode(bHorz, info.pBar), 0);
    nThickness = std::max(nThickness, static_cast<int>(bHorz ? size.cy : size.cx));
  }

  int nPosition = GetPosition();
  for (size_t i = 0; i < arrInfo.size(); ++i) {
    TK_DOCK_INFO& info = arrInfo[i];
    DWORD dwMode = GetLayoutMode(bHorz, info.pBar);
    if (info.pBar->GetFlags() & TK_DOCK_STRETCHED_SHARED) {
      CRect& rc = info.rcBar;
      if (bHorz) {
        rc.right = i + 1 < arrInfo.size() ? arrInfo[i + 1].rcBar.left : nLength;
        rc.left = i == 0 ? 0 : std::min(rc.left, arrInfo[i - 1].rcBar.right);
      } else {
        rc.bottom = i + 1 < arrInfo.size() ? arrInfo[i + 1].rcBar.top : nLength;
        rc.top = i == 0 ? 0 : std::min(rc.top, arrInfo[i - 1].rcBar.bottom);
      }
      dwMode |= LM_STRETCH;
    }
    dwMode |= LM_COMMIT;
    int nAlong = bHorz ? info.rcBar.Width() : info.rcBar.Height();
    CSize size = info.pBar->CalcLayout(nAlong, dwMode, nThickness);
    info.rcBar = CRect(info.rcBar.TopLeft(), size);
    if (CTKDockContext* pContext = info.pBar->GetDockContext())
      pContext->m_uMRUDockPosition = nPosition;
    if (info.pBar->GetSafeHwnd()) {
      AfxRepositionWindow(lpLayout, info.pBar->GetSafeHwnd(), &info.rcBar);
      info.pBar->InvalidateRect(nullptr, FALSE);
    }
  }
  return nThickness;
}

LRESULT CTKDockBar::OnSizeParent(AFX_SIZEPARENTPARAMS* lpLayout)
{
  if (!(GetStyle() & WS_VISIBLE) || !lpLayout)
    return 0;
  BOOL bHorz = IsHorizontal();
  DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
  if (lpLayout->bStretch)
    dwMode |= LM_STRETCH;
  CRect rcRest(lpLayout->rect);
  CSize size = CalcDockBarLayout(bHorz ? rcRest.Width() : rcRest.Height(), dwMode, lpLayout);
  size.cx = std::min(size.cx, static_cast<LONG>(std::max(0, rcRest.Width())));
  size.cy = std::min(size.cy, static_cast<LONG>(std::max(0, rcRest.Height())));
  CRect rcDock;
  switch (GetPosition()) {
  case tkBarTop:
    rcDock = CRect(rcRest.left, rcRest.top, rcRest.left + size.cx, rcRest.top + size.cy);
    lpLayout->rect.top += size.cy;
    break;
  case tkBarBottom:
    rcDock = CRect(rcRest.left, rcRest.bottom - size.cy, rcRest.left + size.cx, rcRest.bottom);
    lpLayout->rect.bottom -= size.cy;
    break;
  case tkBarLeft:
    rcDock = CRect(rcRest.left, rcRest.top, rcRest.left + size.cx, rcRest.top + size.cy);
    lpLayout->rect.left += size.cx;
    break;
  default:
    rcDock = CRect(rcRest.right - size.cx, rcRest.top, rcRest.right, rcRest.top + size.cy);
    lpLayout->rect.right -= size.cx;
    break;
  }
  if (bHorz) {
    lpLayout->sizeTotal.cy += size.cy;
    lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, size.cx);
  } else {
    lpLayout->sizeTotal.cx += size.cx;
    lpLayout->sizeTotal.cy = std::max(lpLayout->sizeTotal.cy, size.cy);
  }
  if (lpLayout->hDWP)
    AfxRepositionWindow(lpLayout, m_hWnd, &rcDock);
  InvalidateRect(nullptr, FALSE);
  return 0;
}

void CTKDockBar::OnPaintDockBar()
{
  PAINTSTRUCT ps;
  HDC hDC = ::BeginPaint(m_hWnd, &ps);
  CTKPaintManager* pPaintManager = m_pCommandBars ? m_pCommandBars->GetPaintManager() : TKPaintManager();
  pPaintManager->FillDockBar(CDC::FromHandle(hDC), this);
  ::EndPaint(m_hWnd, &ps);
}

void CTKDockBar::OnPrintDockBar(CDC* pDC, UINT nFlags)
{
  if (!pDC)
    return;
  CTKPaintManager* pPaintManager = m_pCommandBars ? m_pCommandBars->GetPaintManager() : TKPaintManager();
  pPaintManager->FillDockBar(pDC, this);
  if (!(nFlags & kPrintChildren))
    return;
  for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(hChild))
      continue;
    CRect rc;
    ::GetWindowRect(hChild, &rc);
    ScreenToClient(&rc);
    // Relative to where the caller put this row in the context.
    CPoint ptOld = pDC->SetViewportOrg(0, 0);
    pDC->SetViewportOrg(ptOld.x + rc.left, ptOld.y + rc.top);
    ::SendMessage(hChild, WM_PRINT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), static_cast<LPARAM>(nFlags));
    pDC->SetViewportOrg(ptOld);
  }
}

BOOL CTKDockBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  LRESULT lResult = 0;
  switch (message) {
  case WM_SIZEPARENT:
    lResult = OnSizeParent(reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam));
    break;
  case WM_ERASEBKGND:
    lResult = 1;
    break;
  case WM_PAINT:
    OnPaintDockBar();
    break;
  case WM_RBUTTONDOWN: {
    CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    ClientToScreen(&point);
    if (m_pCommandBars)
      m_pCommandBars->ContextMenu(nullptr, point);
    break;
  }
  case WM_PRINT:
    OnPrintDockBar(wParam ? CDC::FromHandle(reinterpret_cast<HDC>(wParam)) : nullptr, static_cast<UINT>(lParam));
    lResult = TRUE;
    break;
  default:
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
  if (pResult)
    *pResult = lResult;
  return TRUE;
}
