// The mouse manager: while menus and popups are open (tracked bars), one thread mouse hook closes them on a
// click elsewhere, clears their highlight when the mouse leaves them, and lets trusted windows (an open combo
// list) take clicks without closing anything. It also emulates mouse-leave notices for bar windows with a 50 ms
// timer, and holds the lock count that modal loops raise so that button releases close nothing.
// One per user-interface thread.
#pragma once

#include "platform/mfc-core/afxtls.h"
#include "platform/user/user.h"

#include <vector>

// What the mouse manager asks of a tracked bar; the command bar implements it.
class CTKTrackedBar {
public:
  virtual ~CTKTrackedBar() = default;
  virtual HWND GetTrackedBarWindow() const = 0;
  // Whether a screen point concerns the bar: 1 it is the bar's, -2 skip this bar, anything else not the bar's.
  virtual int PointInBar(POINT ptScreen) = 0;
  // Tracking off ends with CTKMouseManager::RemoveTrackedBar.
  virtual void SetTrackingMode(BOOL bMode) = 0;
  // -1: no highlighted control.
  virtual void SetSelected(int nItem) = 0;
  // The mouse moved outside every tracked bar: the bar clears its highlight.
  virtual void OnTrackedMouseMove(POINT ptClient) = 0;

  // Raised while input to the bar is to be ignored (a child popup's modal work).
  int m_nTrackLock = 0;
};

inline constexpr UINT_PTR TK_MOUSELEAVE_TIMER = 113341;
inline constexpr UINT TK_MOUSELEAVE_PERIOD_MS = 50;

class CTKMouseManager : public CNoTrackObject {
public:
  // Installs the thread's mouse hook.
  CTKMouseManager();
  ~CTKMouseManager() override;

  // Installing or removing twice does nothing.
  void SetHook(bool bInstall);
  BOOL IsHooked() const { return m_hHook != nullptr; }

  void AddTrackedBar(CTKTrackedBar* pBar);
  void RemoveTrackedBar(CTKTrackedBar* pBar);
  void CloseTrackedBars();
  void CloseUnlockedBars();
  // Whether input to this bar is to be ignored (null: to any bar) while bars are tracked.
  BOOL IsMouseLocked(CTKTrackedBar* pBar = nullptr) const;
  BOOL IsTrackedBar(CTKTrackedBar* pBar) const;
  int GetTrackedBarCount() const { return static_cast<int>(m_arrTracked.size()); }
  void LockTrackRecurse(BOOL bLock);

  void AddTrustedWindow(HWND hWnd);
  void RemoveTrustedWindow(HWND hWnd);

  // The window hears WM_MOUSELEAVE once the cursor has left it, checked every 50 ms; a new window sends it to
  // the previous one at once.
  void TrackMouseLeave(HWND hWnd);
  HWND GetMouseLeaveWindow() const { return m_hwndMouseLeave; }

  // The bar whose control is highlighted (set by the bar).
  void SetSelectedBar(CTKTrackedBar* pBar) { m_pSelected = pBar; }
  CTKTrackedBar* GetSelectedBar() const { return m_pSelected; }

  // Raised by modal loops (toolbar drag, combo list, popups): button releases then close nothing.
  int m_nLock = 0;
  // Set by a popup so that the release after the press that opened it is swallowed.
  BOOL m_bEatNextRelease = FALSE;
  // Every popup opens expanded while set; reset when the last bar ends tracking.
  BOOL m_bExpandedMenus = FALSE;

private:
  static LRESULT MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
  static void OnMouseLeaveTimer(HWND hWnd, UINT nMessage, UINT_PTR nIDEvent, DWORD dwTime);
  void ProcessMouse(UINT nMessage, POINT pt);

  std::vector<CTKTrackedBar*> m_arrTracked;
  HHOOK m_hHook = nullptr;
  CTKTrackedBar* m_pSelected = nullptr;
  HWND m_hwndMouseLeave = nullptr;
  std::vector<HWND> m_arrTrusted;
};

// The calling thread's mouse manager, made on first use.
CTKMouseManager* TKMouseManager();
