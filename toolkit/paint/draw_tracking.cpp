#include "toolkit/paint/draw_tracking.h"

#include "platform/base/thread.h"
#include "platform/user/hooks.h"

#include <algorithm>

void CTKSplitterTracker::Invert(const CRect& rect)
{
  if (m_pDC == nullptr || rect.IsRectEmpty()) {
    return;
  }
  if (m_bSolid) {
    m_pDC->InvertRect(&rect);
    return;
  }
  CBrush* old = m_pDC->SelectObject(CDC::GetHalftoneBrush());
  m_pDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
  m_pDC->SelectObject(old);
}

BOOL CTKSplitterTracker::Track(CWnd* pTrackWnd, CRect rcAvail, CRect& rcTracker, CPoint point, BOOL bHoriz)
{
  if (pTrackWnd == nullptr || pTrackWnd->GetSafeHwnd() == nullptr) {
    return FALSE;
  }
  HWND trackWnd = pTrackWnd->GetSafeHwnd();
  SetCapture(trackWnd);
  HWND desktop = GetDesktopWindow();
  const BOOL locked = LockWindowUpdate(desktop);
  HDC screen = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | (locked ? DCX_LOCKWINDOWUPDATE : 0));
  CDC screenDC;
  if (screen != nullptr) {
    screenDC.m_hDC = screenDC.m_hAttribDC = screen;
    m_pDC = &screenDC;
  }
  const CPoint offset = bHoriz ? CPoint(rcTracker.left - point.x, 0) : CPoint(0, rcTracker.top - point.y);
  Invert(m_rcBoundRect);
  Invert(rcTracker);

  BOOL accepted = FALSE;
  MSG msg{};
  while (GetCapture() == trackWnd) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      // Leave the quit for the loop that owns it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ClientToScreen(msg.hwnd, &pt);
      // The lower bound wins when the range is inverted.
      const LONG x = std::max(rcAvail.left, std::min(pt.x + offset.x, rcAvail.right));
      const LONG y = std::max(rcAvail.top, std::min(pt.y + offset.y, rcAvail.bottom));
      const LONG shift = bHoriz ? x - rcTracker.left : y - rcTracker.top;
      if (shift != 0) {
        Invert(rcTracker);
        rcTracker.OffsetRect(bHoriz ? shift : 0, bHoriz ? 0 : shift);
        Invert(rcTracker);
      }
    } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      break;
    } else if (msg.message == WM_LBUTTONUP) {
      accepted = TRUE;
      break;
    } else {
      DispatchMessage(&msg);
    }
  }

  Invert(m_rcBoundRect);
  Invert(rcTracker);
  if (GetCapture() == trackWnd) {
    ReleaseCapture();
  }
  if (locked) {
    LockWindowUpdate(nullptr);
  }
  if (screen != nullptr) {
    screenDC.m_hDC = screenDC.m_hAttribDC = nullptr;
    ReleaseDC(desktop, screen);
  }
  m_pDC = nullptr;
  return accepted;
}

void CTKMouseMonitor::SetupHook(CWnd* pWnd)
{
  if (pWnd != nullptr) {
    if (s_hHook == nullptr) {
      s_hHook = SetWindowsHookEx(WH_MOUSE, &MouseProc, nullptr, GetCurrentThreadId());
    }
    s_pWndMonitor = pWnd;
    return;
  }
  if (s_hHook != nullptr) {
    UnhookWindowsHookEx(s_hHook);
    s_hHook = nullptr;
  }
  s_pWndMonitor = nullptr;
}

LRESULT CTKMouseMonitor::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  if (nCode == HC_ACTION && s_pWndMonitor != nullptr && s_pWndMonitor->GetSafeHwnd() != nullptr) {
    const auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    switch (wParam) {
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONUP:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN: {
        HWND monitored = s_pWndMonitor->GetSafeHwnd();
        CRect rect;
        GetWindowRect(monitored, &rect);
        if (!rect.Contains(mouse->pt)) {
          HWND owner = GetWindow(monitored, GW_OWNER);
          SetFocus(owner != nullptr ? owner : GetParent(monitored));
          return 1;
        }
        break;
      }
      default:
        break;
    }
  }
  return CallNextHookEx(s_hHook, nCode, wParam, lParam);
}

CTKAuxData::CTKAuxData() : cxSmIcon(GetSystemMetrics(SM_CXSMICON)), cySmIcon(GetSystemMetrics(SM_CYSMICON)) {}

CTKAuxData& TKAuxData()
{
  static CTKAuxData data;
  return data;
}
