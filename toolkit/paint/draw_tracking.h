// Two modal helpers of the toolkit's painters: the XOR splitter drag, and a mouse hook that takes the focus from
// a drop-down when the user clicks elsewhere. Plus the process-wide record of system metrics.
#pragma once

#include "platform/mfc/afxwin.h"

// Drags an inverted bar over the screen until the left button comes up (accepted), or Escape or a lost capture.
class CTKSplitterTracker {
public:
  explicit CTKSplitterTracker(BOOL bSolid = FALSE) : m_bSolid(bSolid) {}

  // rcTracker: the bar in screen coordinates, moved along with the mouse; the moving edge stays inside rcAvail.
  BOOL Track(CWnd* pTrackWnd, CRect rcAvail, CRect& rcTracker, CPoint point, BOOL bHoriz);

  // Drawn inverted with the bar when not empty (the area the bar may move in, say).
  CRect m_rcBoundRect;

private:
  void Invert(const CRect& rect);

  CDC* m_pDC = nullptr;
  BOOL m_bSolid;
};

// While a window is monitored, a press outside it is swallowed and the focus goes to its owner (or parent).
class CTKMouseMonitor {
public:
  // A window: hook (once) and monitor it; null: unhook and forget.
  static void SetupHook(CWnd* pWnd);
  static BOOL IsMouseHooked() { return s_pWndMonitor != nullptr; }

private:
  static LRESULT MouseProc(int nCode, WPARAM wParam, LPARAM lParam);

  static inline HHOOK s_hHook = nullptr;
  static inline CWnd* s_pWndMonitor = nullptr;
};

// System metrics the program reads: the small-icon size places a dialog's size grip.
class CTKAuxData {
public:
  CTKAuxData();
  int cxSmIcon;
  int cySmIcon;
};

CTKAuxData& TKAuxData();
