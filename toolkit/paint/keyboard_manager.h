// The keyboard manager: while at least one client tracks the keyboard (a menu bar in menu mode, an
// auto-completing combo box), thread keyboard and call-window hooks route key-downs to the clients, newest
// first, eat a first Alt press to close the tracked bars, and close them when the application is deactivated.
// One per user-interface thread.
#pragma once

#include "platform/mfc-core/afxtls.h"
#include "toolkit/paint/hook_manager.h"

#include <vector>

// The tracked bars belong to the command bars' mouse manager, a layer above; it installs these for the thread.
struct TK_TRACKEDBARS_SERVICE {
  int (*pfnGetLockCount)();
  void (*pfnCloseTrackedBars)();
};
void TKSetTrackedBarsService(const TK_TRACKEDBARS_SERVICE* pService);

class CTKKeyboardManager : public CNoTrackObject {
public:
  CTKKeyboardManager() = default;
  // Removes both hooks.
  ~CTKKeyboardManager() override;

  // Installs the hooks when they are not there yet; a client is added once, at the end.
  void HookKeyboardTracking(CTKHookManagerHookAble* pHook);
  // The hooks go with the last client.
  void UnhookKeyboardTracking(CTKHookManagerHookAble* pHook);
  // Asks the clients from the newest: the first non-zero answer decides (1 eats the key, 2 lets it pass); a key
  // nobody answers is eaten.
  BOOL ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam);

  BOOL IsKeyboardHooked() const { return m_hHookKeyboard != nullptr; }
  BOOL IsCallWndProcHooked() const { return m_hHookCallWndProc != nullptr; }
  int GetClientCount() const { return static_cast<int>(m_lstHookAble.size()); }

private:
  static LRESULT KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
  static LRESULT CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);
  void RemoveHooks();

  HHOOK m_hHookKeyboard = nullptr;
  HHOOK m_hHookCallWndProc = nullptr;
  std::vector<CTKHookManagerHookAble*> m_lstHookAble;
};

// The calling thread's keyboard manager, made on first use.
CTKKeyboardManager* TKKeyboardManager();
