#include "toolkit/paint/keyboard_manager.h"

#include "platform/base/thread.h"
#include "platform/user/user.h"

#include <algorithm>
#include <atomic>

namespace {

THREAD_LOCAL(CTKKeyboardManager, g_keyboardManager)

std::atomic<const TK_TRACKEDBARS_SERVICE*> g_trackedBars{nullptr};

constexpr LPARAM kKeyUpBit = LPARAM(1) << 31;
constexpr LPARAM kAltContextBit = LPARAM(1) << 29;
constexpr LPARAM kRepeatBit = LPARAM(1) << 30;

int TrackLockCount()
{
  const TK_TRACKEDBARS_SERVICE* service = g_trackedBars.load();
  return service != nullptr ? service->pfnGetLockCount() : 0;
}

void CloseTrackedBars()
{
  if (const TK_TRACKEDBARS_SERVICE* service = g_trackedBars.load()) {
    service->pfnCloseTrackedBars();
  }
}

}  // namespace

void TKSetTrackedBarsService(const TK_TRACKEDBARS_SERVICE* pService) { g_trackedBars.store(pService); }

CTKKeyboardManager* TKKeyboardManager() { return g_keyboardManager.GetData(); }

CTKKeyboardManager::~CTKKeyboardManager() { RemoveHooks(); }

void CTKKeyboardManager::RemoveHooks()
{
  if (m_hHookKeyboard != nullptr) {
    UnhookWindowsHookEx(m_hHookKeyboard);
    m_hHookKeyboard = nullptr;
  }
  if (m_hHookCallWndProc != nullptr) {
    UnhookWindowsHookEx(m_hHookCallWndProc);
    m_hHookCallWndProc = nullptr;
  }
}

void CTKKeyboardManager::HookKeyboardTracking(CTKHookManagerHookAble* pHook)
{
  // A failed installation leaves the handle null, and the next client tries again.
  if (m_hHookKeyboard == nullptr) {
    m_hHookKeyboard = SetWindowsHookEx(WH_KEYBOARD, &KeyboardProc, nullptr, GetCurrentThreadId());
  }
  if (m_hHookCallWndProc == nullptr) {
    m_hHookCallWndProc = SetWindowsHookEx(WH_CALLWNDPROC, &CallWndProc, nullptr, GetCurrentThreadId());
  }
  if (std::find(m_lstHookAble.begin(), m_lstHookAble.end(), pHook) == m_lstHookAble.end()) {
    m_lstHookAble.push_back(pHook);
  }
}

void CTKKeyboardManager::UnhookKeyboardTracking(CTKHookManagerHookAble* pHook)
{
  std::erase(m_lstHookAble, pHook);
  if (m_lstHookAble.empty()) {
    RemoveHooks();
  }
}

BOOL CTKKeyboardManager::ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
  // A client may leave the list while it is asked (a popup closing on Escape): walk a copy, and skip the ones
  // that have left meanwhile.
  const std::vector<CTKHookManagerHookAble*> clients = m_lstHookAble;
  for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
    if (std::find(m_lstHookAble.begin(), m_lstHookAble.end(), *it) == m_lstHookAble.end()) {
      continue;
    }
    WPARAM w = wParam;
    LPARAM l = lParam;
    LRESULT lResult = 0;
    const int answer = (*it)->OnHookMessage(nullptr, nMessage, w, l, lResult);
    if (answer != 0) {
      return answer == 1 ? TRUE : FALSE;
    }
  }
  return TRUE;
}

LRESULT CTKKeyboardManager::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  CTKKeyboardManager* self = TKKeyboardManager();
  if (nCode != HC_ACTION) {
    return CallNextHookEx(self->m_hHookKeyboard, nCode, wParam, lParam);
  }
  if (!self->m_lstHookAble.empty() && (lParam & kKeyUpBit) == 0) {
    if ((lParam & kAltContextBit) == 0) {
      if (self->ProcessKeyboardHooks(WM_KEYDOWN, wParam, lParam)) {
        return 1;
      }
    } else if (wParam == VK_MENU && TrackLockCount() <= 0) {
      if ((lParam & kRepeatBit) == 0) {
        CloseTrackedBars();
        return 1;
      }
    } else if (self->ProcessKeyboardHooks(WM_KEYDOWN, wParam, lParam)) {
      return 1;
    }
  }
  return CallNextHookEx(self->m_hHookKeyboard, 0, wParam, lParam);
}

LRESULT CTKKeyboardManager::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  CTKKeyboardManager* self = TKKeyboardManager();
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (nCode == HC_ACTION && cwp != nullptr && cwp->message == WM_ACTIVATEAPP && cwp->wParam == FALSE) {
    CloseTrackedBars();
  }
  return CallNextHookEx(self->m_hHookCallWndProc, nCode, wParam, lParam);
}
