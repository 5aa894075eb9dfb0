// A dock row along one edge of the frame's client area: it holds docked toolbars and the menu bar in rows,
// takes its strip of the frame through WM_SIZEPARENT, and lays its rows out by pushing, shortening and
// wrapping bars so that they fit. Bars are dropped into it by the toolbar drag.
#pragma once

#include "platform/mfc/ctrlbar.h"

#include <vector>

class CTKCommandBars;
class CTKToolBar;

// The working record of one bar during a row operation.
struct TK_DOCK_INFO {
  explicit TK_DOCK_INFO(CTKToolBar* pBarIn = nullptr) : pBar(pBarIn) {}
  CTKToolBar* pBar;
  CRect rcBar;
  CRect rcPreferred;
  int nOrder = 0;
  int nMinLength = 0;
  int nMinBefore = 0;
};

class CTKDockBar : public CWnd {
  DECLARE_DYNAMIC(CTKDockBar)
public:
  using CTKDockInfoArray = std::vector<TK_DOCK_INFO>;

  explicit CTKDockBar(CTKCommandBars* pCommandBars);
  ~CTKDockBar() override;
  CTKDockBar(const CTKDockBar&) = delete;
  CTKDockBar& operator=(const CTKDockBar&) = delete;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
  // Docks the bar at a screen rectangle where it was dropped, or at the start of a new last row (null).
  void DockCommandBar(CTKToolBar* pBar, LPCRECT lpRect = nullptr);
  int RemoveCommandBar(CTKToolBar* pBar, int nExcluded = -1);
  // The bar's index in the bars array, skipping the excluded index; -1 when absent.
  int FindBar(const CTKToolBar* pBar, int nExcluded = -1) const;
  // Appends the visible bars of the row holding the index, in screen order; nothing for a bad index.
  void GetVisibleRow(int nIndex, std::vector<CTKToolBar*>& arrBars) const;
  // 0 top, 1 bottom, 2 left, 3 right.
  int GetPosition() const;
  BOOL IsHorizontal() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
  DWORD GetDockStyle() const { return m_dwStyle; }
  CTKCommandBars* GetCommandBars() const { return m_pCommandBars; }
  // The bars array: a null entry opens the array and ends every row.
  const std::vector<CTKToolBar*>& GetBars() const { return m_arrBars; }
  // Puts a bar (null: a row break) at an index of the bars array (past the end: last); the array still opens
  // and ends with a row break.
  void InsertBarAt(int nIndex, CTKToolBar* pBar);
  // Drops the row breaks that end no row.
  void RemoveEmptyRows();

  // The size of all rows for a length along the edge; bars move only when the layout carries a batch.
  CSize CalcDockBarLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* lpLayout);
  DWORD GetLayoutMode(BOOL bHorz, const CTKToolBar* pBar) const;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void PostNcDestroy() override {}

private:
  int InsertBarByPoint(CTKToolBar* pBar, CPoint ptMid);
  void SeparateFullRowBars();
  LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* lpLayout);
  int CalcWrappedRow(const std::vector<CTKToolBar*>& arrRow, int x, int y, int nLength, BOOL bHorz,
                     AFX_SIZEPARENTPARAMS* lpLayout);
  // The line's thickness, or 0 with the order of the bar that must leave the line (-1: none).
  int CalcRowLayout(const std::vector<CTKToolBar*>& arrLine, int x, int y, int nLength, BOOL bHorz,
                    AFX_SIZEPARENTPARAMS* lpLayout, int& nOverflow);
  void OnPaintDockBar();
  void OnPrintDockBar(CDC* pDC, UINT nFlags);

  DWORD m_dwStyle = 0;
  std::vector<CTKToolBar*> m_arrBars;
  CTKCommandBars* m_pCommandBars;
};
