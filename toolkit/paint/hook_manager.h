// The hook manager: lets toolkit objects see the messages of windows they do not own. A window is subclassed
// once, from its first client until its last leaves or the window is destroyed, and each message is offered to
// its clients from the newest to the oldest.
#pragma once

#include "platform/base/wintypes.h"

#include <memory>

// A client of the hook manager or the keyboard manager.
class CTKHookManagerHookAble {
public:
  virtual ~CTKHookManagerHookAble() = default;
  // 0: not handled, offer it to the next client; 1: handled, lResult is the answer and the window never sees it;
  // 2: offer it to nobody else, let the window have it.
  virtual int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) = 0;
};

class CTKHookManager {
public:
  // The process-wide instance.
  static CTKHookManager& Instance();

  CTKHookManager();
  // Puts back every window procedure still replaced.
  ~CTKHookManager();
  CTKHookManager(const CTKHookManager&) = delete;
  CTKHookManager& operator=(const CTKHookManager&) = delete;

  // Subclasses the window on its first client; a client already there is not added twice.
  void SetHook(HWND hWnd, CTKHookManagerHookAble* pHook);
  // Windows without clients and clients not registered are ignored.
  void RemoveHook(HWND hWnd, CTKHookManagerHookAble* pHook);
  // Clients call this from their destructors.
  void RemoveAll(CTKHookManagerHookAble* pHook);
  void RemoveAll(HWND hWnd);

  // The number of clients the window has (0: not subclassed).
  int GetClientCount(HWND hWnd) const;

  // The sinks; opaque outside hook_manager.cpp.
  struct Impl;

private:
  std::unique_ptr<Impl> m_pImpl;
  friend struct CTKHookManagerAccess;
};

inline CTKHookManager& TKHookManager() { return CTKHookManager::Instance(); }
