#include "toolkit/commandbars/dockcontext.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/dialogbar.h"
#include "toolkit/commandbars/dockbar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/draw_helpers.h"

#include <algorithm>

namespace {

constexpr DWORD kFloatingMode = LM_HORZ | LM_MRUWIDTH | LM_COMMIT;

DWORD SideFlag(int nPosition)
{
  switch (nPosition) {
  case tkBarTop:
    return TK_DOCK_TOP;
  case tkBarBottom:
    return TK_DOCK_BOTTOM;
  case tkBarLeft:
    return TK_DOCK_LEFT;
  default:
    return TK_DOCK_RIGHT;
  }
}

CRect WindowRect(CWnd* pWnd)
{
  CRect rc;
  pWnd->GetWindowRect(&rc);
  return rc;
}

}  // namespace

void CTKDockContext::AdjustRectToPoint(CRect& rect, CPoint pt)
{
  int dx = pt.x < rect.left ? pt.x - rect.left : pt.x > rect.right ? pt.x - rect.right : 0;
  int dy = pt.y < rect.top ? pt.y - rect.top : pt.y > rect.bottom ? pt.y - rect.bottom : 0;
  rect.OffsetRect(dx, dy);
}

void CTKDockContext::StartDrag(CPoint pt)
{
  CRect rcPreferred = m_rectMRUDockPos;
  int nDockPosition = m_uMRUDockPosition;
  m_nHitTest = HTCAPTION;
  BOOL bWasFloating = m_pBar->IsFloating();
  CRect rc = WindowRect(m_pBar);
  AdjustRectToPoint(rc, pt);
  m_rectDragDock = m_rectDragFloat = rc;
  m_ptLast = pt;
  ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
  // Releases during the drag must close no tracked popup.
  CTKMouseManager* pMouse = TKMouseManager();
  ++pMouse->m_nLock;
  Track();
  --pMouse->m_nLock;
  if (m_pBar->IsFloating()) {
    m_ptMRUFloatPos = m_rectDragFloat.TopLeft();
    // The next double click returns the bar where it was docked before this drag.
    if (!bWasFloating) {
      m_rectMRUDockPos = rcPreferred;
      m_uMRUDockPosition = nDockPosition;
    }
  }
}

void CTKDockContext::StartResize(int nHitTest, CPoint pt)
{
  m_nHitTest = nHitTest;
  m_ptLast = pt;
  m_rectDragFloat = WindowRect(m_pBar);
  Track();
  m_rectDragFloat = WindowRect(m_pBar);
  if (m_pBar->IsFloating())
    m_ptMRUFloatPos = m_rectDragFloat.TopLeft();
  m_pBar->m_nMRUWidth = m_rectDragFloat.Width();
}

BOOL CTKDockContext::Track()
{
  if (::GetCapture())
    return FALSE;
  HWND hBar = m_pBar->GetSafeHwnd();
  CTKCommandBars* pCommandBars = m_pBar->GetCommandBars();
  if (!hBar || !pCommandBars)
    return FALSE;
  ::SetCapture(hBar);
  while (::GetCapture() == hBar) {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
      ::DispatchMessage(&msg);
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_LBUTTONUP)
      break;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
      break;
    if (msg.message == WM_MOUSEMOVE) {
      CPoint pt(msg.pt);
      if (pt != m_ptLast) {
        if (m_nHitTest == HTCAPTION)
          MoveDrag(pt);
        else if (m_pBar->IsDialogBar())
          ResizeFree(pt);
        else
          ResizeWrap(pt);
      } else {
        ::DispatchMessage(&msg);
      }
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
    // The loop never reaches idle time, where a delayed frame layout would run.
    pCommandBars->RecalcPendingFrameLayout();
    if (!::IsWindow(hBar))
      return FALSE;
  }
  if (::GetCapture() == hBar)
    ::ReleaseCapture();
  pCommandBars->GetCommandBarsOptions()->bDirty = TRUE;
  return TRUE;
}

void CTKDockContext::MoveDrag(CPoint pt)
{
  CPoint ptOffset = pt - m_ptLast;
  m_rectDragFloat.OffsetRect(ptOffset.x, ptOffset.y);
  m_rectDragDock.OffsetRect(ptOffset.x, ptOffset.y);
  m_ptLast = pt;
  CTKCommandBars* pCommandBars = m_pBar->GetCommandBars();
  CTKDockBar* pOldDockBar = m_pBar->GetDockBar();
  CTKDockBar* pDockBar = pCommandBars->CanDock(pt, pOldDockBar);
  DWORD dwFlags = m_pBar->GetFlags();
  if (pDockBar && (dwFlags & SideFlag(pDockBar->GetPosition()))) {
    pCommandBars->DockCommandBar(m_pBar, m_rectDragDock, pDockBar);
    if (pDockBar != pOldDockBar || m_pBar->IsFloating()) {
      pCommandBars->RecalcFrameLayout(FALSE);
      m_rectDragDock = WindowRect(m_pBar);
    }
    return;
  }
  if (!(dwFlags & TK_DOCK_FLOAT))
    return;
  if (!m_pBar->IsFloating()) {
    pCommandBars->FloatCommandBar(m_pBar);
    CSize size = m_pBar->CalcDynamicLayout(0, kFloatingMode);
    m_rectDragFloat = CRect(m_rectDragFloat.TopLeft(), size);
    AdjustRectToPoint(m_rectDragFloat, pt);
  }
  m_pBar->SetWindowPos(nullptr, m_rectDragFloat.left, m_rectDragFloat.top, m_rectDragFloat.Width(),
                       m_rectDragFloat.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  m_pBar->Invalidate(FALSE);
}

void CTKDockContext::ResizeFree(CPoint pt)
{
  CRect& rc = m_rectDragFloat;
  switch (m_nHitTest) {
  case HTLEFT:
  case HTTOPLEFT:
  case HTBOTTOMLEFT:
    rc.left = pt.x;
    break;
  case HTRIGHT:
  case HTTOPRIGHT:
  case HTBOTTOMRIGHT:
    rc.right = pt.x;
    break;
  default:
    break;
  }
  switch (m_nHitTest) {
  case HTTOP:
  case HTTOPLEFT:
  case HTTOPRIGHT:
    rc.top = pt.y;
    break;
  case HTBOTTOM:
  case HTBOTTOMLEFT:
  case HTBOTTOMRIGHT:
    rc.bottom = pt.y;
    break;
  default:
    break;
  }
  auto* pDialogBar = dynamic_cast<CTKDialogBar*>(m_pBar);
  if (!pDialogBar || rc.Size() == WindowRect(m_pBar).Size())
    return;
  CRect rcWork = CTKDrawHelpers::GetWorkArea(static_cast<CWnd*>(m_pBar));
  if (CRect(rc.Intersect(rcWork)).IsRectEmpty())
    return;
  pDialogBar->Resize(rc, static_cast<UINT>(m_nHitTest));
  m_pBar->Invalidate(FALSE);
}

void CTKDockContext::ResizeWrap(CPoint pt)
{
  CRect rc = m_rectDragFloat;
  DWORD dwMode = LM_HORZ | LM_COMMIT;
  int nLength = 0;
  switch (m_nHitTest) {
  case HTLEFT:
    rc.left = pt.x;
    nLength = rc.Width();
    break;
  case HTRIGHT:
    rc.right = pt.x;
    nLength = rc.Width();
    break;
  case HTTOP:
    rc.top = pt.y;
    nLength = std::max(0, static_cast<int>(rc.Height()));
    dwMode |= LM_LENGTHY;
    break;
  default:
    rc.bottom = pt.y;
    nLength = std::max(0, static_cast<int>(rc.Height()));
    dwMode |= LM_LENGTHY;
    break;
  }
  CSize size = m_pBar->CalcDynamicLayout(nLength, dwMode);
  CRect rcWindow = WindowRect(m_pBar);
  if (size == rcWindow.Size())
    return;
  switch (m_nHitTest) {
  case HTLEFT:
    rcWindow = CRect(rcWindow.right - size.cx, rcWindow.top, rcWindow.right, rcWindow.top + size.cy);
    break;
  case HTTOP:
    rcWindow = CRect(rcWindow.left, rcWindow.bottom - size.cy, rcWindow.left + size.cx, rcWindow.bottom);
    break;
  case HTRIGHT:
  case HTBOTTOM:
    rcWindow = CRect(rcWindow.TopLeft(), size);
    break;
  default:
    break;
  }
  CRect rcWork = CTKDrawHelpers::GetWorkArea(static_cast<CWnd*>(m_pBar));
  if (CRect(rcWindow.Intersect(rcWork)).IsRectEmpty())
    return;
  m_rectDragFloat = rcWindow;
  m_pBar->SetWindowPos(nullptr, rcWindow.left, rcWindow.top, rcWindow.Width(), rcWindow.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
  m_pBar->Invalidate(FALSE);
}

BOOL CTKDockContext::ToggleDocking()
{
  CTKCommandBars* pCommandBars = m_pBar->GetCommandBars();
  if (!pCommandBars)
    return FALSE;
  DWORD dwFlags = m_pBar->GetFlags();
  if (m_pBar->IsFloating()) {
    if (!(dwFlags & (TK_DOCK_TOP | TK_DOCK_BOTTOM | TK_DOCK_LEFT | TK_DOCK_RIGHT)))
      return FALSE;
    CTKDockBar* pDockBar = pCommandBars->GetDockBar(m_uMRUDockPosition);
    if (!pDockBar)
      return FALSE;
    CRect rc = m_rectMRUDockPos;
    pDockBar->ClientToScreen(&rc);
    pCommandBars->DockCommandBar(m_pBar, rc, pDockBar);
    pCommandBars->RecalcFrameLayout(FALSE);
    pCommandBars->GetCommandBarsOptions()->bDirty = TRUE;
    return TRUE;
  }
  CTKCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
  if (!(dwFlags & TK_DOCK_FLOAT) || !pOptions->bDblClickFloat)
    return FALSE;
  CPoint pt = m_ptMRUFloatPos;
  if (pt.x <= 0 || pt.y <= 0) {
    pt = m_rectMRUDockPos.TopLeft();
    if (CWnd* pParent = m_pBar->GetParent())
      pParent->ClientToScreen(&pt);
  }
  pCommandBars->FloatCommandBar(m_pBar);
  CSize size = m_pBar->CalcDynamicLayout(0, kFloatingMode);
  m_pBar->SetWindowPos(nullptr, pt.x, pt.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  m_pBar->Invalidate(FALSE);
  pCommandBars->GetCommandBarsOptions()->bDirty = TRUE;
  return TRUE;
}
