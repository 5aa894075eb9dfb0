// The list part of a property grid: an owner-drawn list box whose rows are the items now visible.
#pragma once

#include "platform/mfc/afxwin.h"
#include "toolkit/propertygrid/item.h"

class CTKPropertyGrid;
class CTKPropertyGridPaintManager;

// The full text of a caption or value that does not fit its column, shown over it.
class CTKPropertyGridToolTip : public CWnd {
  DECLARE_DYNAMIC(CTKPropertyGridToolTip)
public:
  BOOL Create(CWnd* pOwner);
  void Show(const CString& strText, CFont* pFont, CRect rcScreen);
  CString GetShownText() const { return m_strText; }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  CString m_strText;
  CFont m_font;
};

enum TKPropertyGridSortOrder { tkpgSortCategorized = 0, tkpgSortAlphabetical = 1, tkpgSortNoSort = 2 };

class CTKPropertyGridView : public CListBox {
  DECLARE_DYNAMIC(CTKPropertyGridView)
public:
  CTKPropertyGridView();
  ~CTKPropertyGridView() override;

  CTKPropertyGridItem* AddCategory(LPCSTR lpszCaption, CTKPropertyGridItem* pCategory = nullptr);
  CTKPropertyGridItem* InsertCategory(int nIndex, LPCSTR lpszCaption, CTKPropertyGridItem* pCategory = nullptr);
  void Refresh();
  void ResetContent();
  void SetPropertySort(int nOrder, BOOL bKeepTop = FALSE, BOOL bSuspendDraw = TRUE);
  int GetPropertySort() const { return m_nOrder; }

  // Rows inserted for the item and its expanded descendants.
  int InsertItem(CTKPropertyGridItem* pItem, int nIndex);
  int InsertChilds(CTKPropertyGridItem* pItem);
  void RemoveDescendantRows(CTKPropertyGridItem* pItem);
  void UpdateIndexes();

  CTKPropertyGridItem* GetItem(int nIndex) const;
  // The client rectangle of a row (empty outside the rows).
  void GetItemRect(int nIndex, CRect* pRect) const;
  CTKPropertyGridItem* ItemFromPoint(CPoint point) const;
  CTKPropertyGridItem* GetSelectedItem() const;
  void SwitchExpandState(int nRow);

  void SetDividerPos(int nX);
  int GetDividerPos() const;
  double m_dDivider = 0.5;
  BOOL m_bVariableSplitterPos = TRUE;  // proportional

  LRESULT SendNotifyMessage(WPARAM wParam, LPARAM lParam = 0);
  void OnSelectionChanged();
  void Lock() { ++m_nLockUpdate; }
  // Refreshes once the last lock is gone.
  void Unlock();
  BOOL IsLocked() const { return m_nLockUpdate > 0; }

  CTKPropertyGridPaintManager* GetPaintManager() const;
  CTKPropertyGrid* GetPropertyGrid() const { return m_pGrid; }
  CTKPropertyGridItems* GetCategories() const { return m_pCategories; }
  int GetDefaultItemHeight() const { return m_nItemHeight; }

  void DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct);
  void MeasureItem(MEASUREITEMSTRUCT* lpMeasureItemStruct);
  // The in-place edit's notifications (EN_*) come to the view, its parent.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The date item's month calendar tells its owner, the view, of a chosen day.
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  CTKPropertyGrid* m_pGrid = nullptr;
  CTKPropertyGridItem* m_pSelected = nullptr;
  CTKPropertyGridToolTip& GetToolTip() { return m_wndTip; }

protected:
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  afx_msg BOOL OnEraseBkgnd(HDC hDC);
  afx_msg void OnPaint();
  afx_msg LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDrawListItem(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMeasureListItem(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  void ShowToolTip(CPoint point);
  void RelayToolTipEvent(UINT message);

  CRect m_rcToolTip;
  CString m_strTipText;
  CTKPropertyGridToolTip m_wndTip;
  bool m_bRelaying = false;
  BOOL m_bTracking = FALSE;
  int m_nOrder = tkpgSortCategorized;
  HCURSOR m_hCursor = nullptr;
  CTKPropertyGridItems* m_pCategories;
  int m_nLockUpdate = 0;
  int m_nItemHeight = 0;
};
