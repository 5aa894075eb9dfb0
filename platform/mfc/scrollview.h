// CScrollView: a view onto a document larger than its window. The document's size is given in logical units
// of a mapping mode (MM_TEXT: pixels); the view keeps the window's scroll bars to it and moves the viewport
// origin of every DC it prepares, so OnDraw draws in document coordinates and a point of the client area
// converts to the document with DPtoLP on a prepared DC.
//
// It scrolls by its bars, by the wheel (three lines a notch, at most a page) and by the keys: arrows a line,
// Page Up and Page Down a page, Home and End to the top and the bottom.
#pragma once

#include "platform/mfc/controls.h"
#include "platform/mfc/dc.h"
#include "platform/mfc/view.h"


class CScrollView : public CView {
  DECLARE_DYNAMIC(CScrollView)
public:
  // Page and line sizes by default: a tenth of the total, and a tenth of that.
  static const SIZE sizeDefault;

  // MM_TEXT, or a fixed mode (MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS), whose y grows
  // upward: the document then spans 0 to -height.
  void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                      const SIZE& sizeLine = sizeDefault);
  void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
  CSize GetTotalSize() const { return m_totalLog; }

  // The document point at the top left corner of the client area, in logical units.
  CPoint GetScrollPosition() const;
  // The same in pixels from the document's corner.
  CPoint GetDeviceScrollPosition() const { return m_scrollDev; }
  // Brings the logical point to the top left corner, as near as the document's size lets it.
  void ScrollToPosition(POINT pt);

  // The mapping mode and the viewport origin of the scrolled document.
  // On a page only the view's part of the printing protocol is applied; scrolling is for the screen.
  void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
  void OnDraw(CDC* pDC) override = 0;

  // Scrolls by a bar's request (nScrollCode: LOBYTE horizontal, HIBYTE vertical, 0xFF none).
  virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
  // Scrolls by a distance in pixels, held inside the document; FALSE when nothing moved.
  virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

  void OnPaint();
  void OnSize(UINT nType, int cx, int cy);
  void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

protected:
  CScrollView();

  // Shows the bars the document needs at the window's size and keeps the position inside the document.
  void UpdateBars();

  // Scrolling repaints instead of moving the pixels (and the child windows with them).
  bool m_bRepaintOnScroll = false;
  int m_nMapMode = 0;  // 0 until SetScrollSizes: no bars, and DCs are left as they are
  CSize m_totalLog;
  CSize m_totalDev;
  CSize m_pageDev;
  CSize m_lineDev;

  DECLARE_MESSAGE_MAP()

private:
  CSize ToDevice(SIZE logical) const;
  CPoint ScrollLimit() const;
  void ScrollToDevicePosition(POINT ptDev);

  CPoint m_scrollDev;  // the pixel of the document at the client area's corner
  CSize m_visibleDev;  // the client area left beside the bars
  bool m_bInsideUpdate = false;
};
