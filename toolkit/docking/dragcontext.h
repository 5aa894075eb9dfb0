// The drag of a docked group by its caption or of a floating frame by its title: the mouse is captured, an
// inverted outline on the screen shows where the content would go, and the release floats it there, docks it
// beside a group, the client area or the whole layout, or adds its panes as tabs to a group. Every choice is first
// offered to the site through the manager's action notification, which can refuse it.
#pragma once

#include "toolkit/docking/layout.h"

class CTKDockingPaneContext {
public:
  explicit CTKDockingPaneContext(CTKDockingPaneManager* pManager);
  virtual ~CTKDockingPaneContext();
  CTKDockingPaneContext(const CTKDockingPaneContext&) = delete;
  CTKDockingPaneContext& operator=(const CTKDockingPaneContext&) = delete;

  // Runs the whole drag of the node pressed at the screen point and returns when it ends.
  virtual void Drag(CTKDockingPaneBase* pNode, CPoint point);
  // TRUE when the button was released after the drag had started.
  virtual BOOL Track();
  virtual void Move(CPoint point);
  virtual void InitLoop();
  virtual void CancelLoop();
  virtual void DrawFocusRect(BOOL bRemoveRect = FALSE);
  virtual void FindDockTarget(CPoint point);

  // The outline of a rectangle as drawn: a 4-pixel frame, or with bAttach a tabbed page with its tab below.
  static CRgn* CreateOutlineRegion(CRect rc, BOOL bAttach);

  CTKDockingPaneManager* m_pManager;
  CTKDockingPaneBase* m_pNode = nullptr;
  CPoint m_ptStart;
  CPoint m_ptLast;
  CRect m_rcFloat;
  CTKDockingPaneBase* m_pTarget = nullptr;
  int m_nDirection = 0;
  BOOL m_bAttach = FALSE;
  CRect m_rcPreview;
  CRect m_rcLast;
  BOOL m_bAttachLast = FALSE;
  BOOL m_bFloatable = TRUE;
  BOOL m_bUseAlphaContext = FALSE;
  BOOL m_bUseDockingStickers = FALSE;
  CDC* m_pDC = nullptr;
  HWND m_hwndLocked = nullptr;
  FARPROC m_pfnSetLayeredWindowAttributes = nullptr;

private:
  BOOL CanDockAtRect(CRect rc, CPoint point, CTKDockingPaneBase* pNeighbour, BOOL bInside);
  // Every pane of the dragged node accepts the action; none refuses.
  BOOL AllAccept(int nAction, CTKDockingPaneBase* pTarget, INT_PTR nDirection);
  CWnd* HostWindow() const;
};
