#include "toolkit/commandbars/mouse_manager.h"

#include "platform/base/thread.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/keyboard_manager.h"

#include <algorithm>

namespace {

THREAD_LOCAL(CTKMouseManager, g_mouseManager)

// The last point the hook saw, shared by every thread as the hook's own was.
POINT g_ptLast{0, 0};

bool IsMove(UINT message) { return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE; }

bool IsPress(UINT message)
{
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: return true;
    default: return false;
  }
}

const TK_TRACKEDBARS_SERVICE kTrackedBars{
    [] { return TKMouseManager()->m_nLock; },
    [] { TKMouseManager()->CloseTrackedBars(); },
};

}  // namespace

CTKMouseManager* TKMouseManager()
{
  CTKMouseManager* pManager = g_mouseManager.GetData();
  TKSetTrackedBarsService(&kTrackedBars);
  return pManager;
}

CTKMouseManager::CTKMouseManager() { SetHook(true); }

CTKMouseManager::~CTKMouseManager()
{
  SetHook(false);
  if (m_hwndMouseLeave != nullptr && IsWindow(m_hwndMouseLeave)) {
    KillTimer(m_hwndMouseLeave, TK_MOUSELEAVE_TIMER);
  }
}

void CTKMouseManager::SetHook(bool bInstall)
{
  // A failed installation leaves the manager working, without closing on clicks outside.
  if (bInstall && m_hHook == nullptr) {
    m_hHook = SetWindowsHookEx(WH_MOUSE, &MouseProc, nullptr, GetCurrentThreadId());
  } else if (!bInstall && m_hHook != nullptr) {
    UnhookWindowsHookEx(m_hHook);
    m_hHook = nullptr;
  }
}

void CTKMouseManager::AddTrackedBar(CTKTrackedBar* pBar)
{
  if (m_arrTracked.empty() && m_pSelected != nullptr && m_pSelected != pBar) {
    m_pSelected->SetSelected(-1);
  }
  if (!IsTrackedBar(pBar)) {
    m_arrTracked.push_back(pBar);
  }
}

void CTKMouseManager::RemoveTrackedBar(CTKTrackedBar* pBar)
{
  std::erase(m_arrTracked, pBar);
  if (m_pSelected == pBar) {
    m_pSelected = nullptr;
  }
  if (m_arrTracked.empty()) {
    // A fresh move at the same place lets the windows under the cursor take up their hover again.
    POINT pt{};
    GetCursorPos(&pt);
    SetCursorPos(pt.x, pt.y);
  }
  m_bEatNextRelease = FALSE;
}

BOOL CTKMouseManager::IsTrackedBar(CTKTrackedBar* pBar) const
{
  return std::find(m_arrTracked.begin(), m_arrTracked.end(), pBar) != m_arrTracked.end();
}

void CTKMouseManager::CloseTrackedBars()
{
  while (!m_arrTracked.empty()) {
    CTKTrackedBar* pFirst = m_arrTracked.front();
    pFirst->SetTrackingMode(FALSE);
    // A bar that did not leave by itself must not keep this loop going.
    if (!m_arrTracked.empty() && m_arrTracked.front() == pFirst) {
      RemoveTrackedBar(pFirst);
    }
  }
}

void CTKMouseManager::CloseUnlockedBars()
{
  if (m_arrTracked.empty() || m_arrTracked.front()->m_nTrackLock <= 0) {
    return;
  }
  const std::vector<CTKTrackedBar*> tracked = m_arrTracked;
  for (CTKTrackedBar* pBar : tracked) {
    if (IsTrackedBar(pBar) && pBar->m_nTrackLock == 0) {
      pBar->SetTrackingMode(FALSE);
      if (IsTrackedBar(pBar)) {
        RemoveTrackedBar(pBar);
      }
    }
  }
}

BOOL CTKMouseManager::IsMouseLocked(CTKTrackedBar* pBar) const
{
  if (m_arrTracked.empty()) {
    return FALSE;
  }
  return pBar == nullptr || pBar->m_nTrackLock > 0 || !IsTrackedBar(pBar);
}

void CTKMouseManager::LockTrackRecurse(BOOL bLock)
{
  for (CTKTrackedBar* pBar : m_arrTracked) {
    pBar->m_nTrackLock += bLock ? 1 : -1;
  }
}

void CTKMouseManager::AddTrustedWindow(HWND hWnd)
{
  if (std::find(m_arrTrusted.begin(), m_arrTrusted.end(), hWnd) == m_arrTrusted.end()) {
    m_arrTrusted.push_back(hWnd);
  }
}

void CTKMouseManager::RemoveTrustedWindow(HWND hWnd) { std::erase(m_arrTrusted, hWnd); }

LRESULT CTKMouseManager::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  CTKMouseManager* self = TKMouseManager();
  if (nCode != HC_ACTION) {
    return CallNextHookEx(self->m_hHook, nCode, wParam, lParam);
  }
  const auto message = static_cast<UINT>(wParam);
  const POINT pt = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
    self->m_bEatNextRelease = FALSE;
  }
  if ((message == WM_LBUTTONUP || message == WM_NCLBUTTONUP) && self->m_bEatNextRelease) {
    self->m_bEatNextRelease = FALSE;
    return 1;
  }
  if (!self->m_arrTracked.empty() && IsMove(message) && pt == g_ptLast) {
    return 1;
  }
  g_ptLast = pt;
  if (!self->m_arrTracked.empty()) {
    self->ProcessMouse(message, pt);
  }
  return CallNextHookEx(self->m_hHook, nCode, wParam, lParam);
}

void CTKMouseManager::ProcessMouse(UINT nMessage, POINT pt)
{
  const HWND hwndUnder = WindowFromPoint(pt);
  CTKTrackedBar* pClaimed = nullptr;
  for (auto it = m_arrTracked.rbegin(); it != m_arrTracked.rend(); ++it) {
    const HWND hwndBar = (*it)->GetTrackedBarWindow();
    if (hwndBar == nullptr || !IsWindow(hwndBar)) {
      continue;
    }
    const int answer = (*it)->PointInBar(pt);
    if (answer == -2) {
      continue;
    }
    if (answer == 1 || (hwndUnder != nullptr && IsChild(hwndBar, hwndUnder))) {
      pClaimed = *it;
      break;
    }
  }

  if (pClaimed == nullptr) {
    for (HWND hwndTrusted : m_arrTrusted) {
      RECT rc{};
      if (IsWindow(hwndTrusted) && IsWindowVisible(hwndTrusted) && GetWindowRect(hwndTrusted, &rc) &&
          rc.Contains(pt)) {
        return;
      }
    }
    // Closing changes the list: walk a copy and skip bars that have gone.
    const std::vector<CTKTrackedBar*> tracked = m_arrTracked;
    for (CTKTrackedBar* pBar : tracked) {
      if (!IsTrackedBar(pBar)) {
        continue;
      }
      if (IsMove(nMessage)) {
        const HWND hwndBar = pBar->GetTrackedBarWindow();
        if (pBar->m_nTrackLock <= 0 && hwndBar != nullptr && IsWindow(hwndBar)) {
          POINT ptClient = pt;
          ScreenToClient(hwndBar, &ptClient);
          pBar->OnTrackedMouseMove(ptClient);
        }
      } else if (nMessage == WM_LBUTTONUP || nMessage == WM_NCLBUTTONUP) {
        if (m_nLock <= 0) {
          CloseTrackedBars();
        }
      } else if (IsPress(nMessage)) {
        CloseTrackedBars();
      }
    }
    return;
  }

  if (pClaimed->m_nTrackLock > 0 && !IsMove(nMessage) && !m_bEatNextRelease) {
    CloseUnlockedBars();
    g_ptLast = POINT{0, 0};
  }
}

void CTKMouseManager::TrackMouseLeave(HWND hWnd)
{
  if (hWnd == m_hwndMouseLeave) {
    return;
  }
  const HWND hwndPrevious = m_hwndMouseLeave;
  m_hwndMouseLeave = hWnd;
  if (hwndPrevious != nullptr && IsWindow(hwndPrevious)) {
    // Its timer would otherwise tell it a second time.
    KillTimer(hwndPrevious, TK_MOUSELEAVE_TIMER);
    SendMessage(hwndPrevious, WM_MOUSELEAVE, 0, 0);
  }
  if (hWnd != nullptr) {
    SetTimer(hWnd, TK_MOUSELEAVE_TIMER, TK_MOUSELEAVE_PERIOD_MS, &OnMouseLeaveTimer);
  }
}

void CTKMouseManager::OnMouseLeaveTimer(HWND hWnd, UINT, UINT_PTR, DWORD)
{
  CTKMouseManager* self = TKMouseManager();
  if (!IsWindow(hWnd) || hWnd != self->m_hwndMouseLeave) {
    KillTimer(hWnd, TK_MOUSELEAVE_TIMER);
    if (self->m_hwndMouseLeave == hWnd) {
      self->m_hwndMouseLeave = nullptr;
    }
    return;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT rc{};
  GetWindowRect(hWnd, &rc);
  const bool stillWatched = GetParent(hWnd) == nullptr || (GetWindowLong(hWnd, GWL_STYLE) & WS_POPUP) != 0 ||
                            CTKDrawHelpers::IsTopParentActive(hWnd);
  if (rc.Contains(cursor) && stillWatched) {
    return;
  }
  KillTimer(hWnd, TK_MOUSELEAVE_TIMER);
  self->m_hwndMouseLeave = nullptr;
  PostMessage(hWnd, WM_MOUSELEAVE, 0, 0);
}
