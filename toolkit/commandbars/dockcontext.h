// Moves a dockable bar with the mouse: dragging by its gripper or floating caption docks it live into the dock
// row under the pointer or floats it there; dragging a floating bar's border re-wraps it; a double click goes
// back and forth between the last docked and the last floating place. The bar itself moves; nothing is drawn.
#pragma once

#include "platform/mfc/afxwin.h"

class CTKToolBar;
class CTKDockBar;

class CTKDockContext {
public:
  explicit CTKDockContext(CTKToolBar* pBar) : m_pBar(pBar) {}
  virtual ~CTKDockContext() = default;
  CTKDockContext(const CTKDockContext&) = delete;
  CTKDockContext& operator=(const CTKDockContext&) = delete;

  virtual void StartDrag(CPoint pt);
  // nHitTest is HTLEFT..HTBOTTOMRIGHT.
  virtual void StartResize(int nHitTest, CPoint pt);
  // TRUE when the bar moved.
  virtual BOOL ToggleDocking();
  virtual BOOL Track();

  // Moves the rectangle by the least that brings the point inside it.
  static void AdjustRectToPoint(CRect& rect, CPoint pt);

  // Written by the dock row's layout: 0 top, 1 bottom, 2 left, 3 right.
  int m_uMRUDockPosition = 0;
  // Where the bar was last dropped, in its dock row's client coordinates.
  CRect m_rectMRUDockPos;
  // The top-left corner of the last floating place; (0, 0) until the bar floated.
  CPoint m_ptMRUFloatPos;

protected:
  void MoveDrag(CPoint pt);
  // A dialog bar's dragged edges follow the pointer; the bar takes the rectangle when it is big enough.
  void ResizeFree(CPoint pt);
  void ResizeWrap(CPoint pt);

  CTKToolBar* m_pBar;
  int m_nHitTest = 0;
  CPoint m_ptLast;
  CRect m_rectDragDock;
  CRect m_rectDragFloat;
};
