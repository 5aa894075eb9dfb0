// The property grid window: the list of rows, the verbs pane and the help pane, and the owner's notifications.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc/toolbar.h"
#include "toolkit/propertygrid/item.h"
#include "toolkit/propertygrid/view.h"

#include <functional>
#include <memory>
#include <vector>

class CTKImageManager;
class CTKToolTipContext;
class CTKPropertyGridPaintManager;
class CTKPropertyGridInplaceEdit;
class CTKPropertyGridInplaceButton;
class CTKPropertyGridInplaceList;
class CTKPropertyGrid;

// The grid window style bit that has the owner asked before every row is drawn (code 6).
inline constexpr DWORD TK_PGS_OWNERDRAW = 0x10;

// The grid's windows count the messages they are inside. An owner may delete the grid while it hears a
// notification sent from inside one of them: the parts those calls still stand in are then freed once the
// outermost message returns.
class CTKPropertyGridDispatch {
public:
  CTKPropertyGridDispatch();
  ~CTKPropertyGridDispatch();
  CTKPropertyGridDispatch(const CTKPropertyGridDispatch&) = delete;
  CTKPropertyGridDispatch& operator=(const CTKPropertyGridDispatch&) = delete;
  static bool Busy();
  static void DeleteLater(std::function<void()> free);
};

class CTKPropertyGridVerb : public CCmdTarget {
  DECLARE_DYNAMIC(CTKPropertyGridVerb)
public:
  CString m_strCaption;
  int m_nIndex = 0;
  CRect m_rcPart;
  CPoint m_ptClick;
};

class CTKPropertyGridVerbs : public CCmdTarget {
  DECLARE_DYNAMIC(CTKPropertyGridVerbs)
public:
  explicit CTKPropertyGridVerbs(CTKPropertyGrid* pGrid) : m_pGrid(pGrid) {}
  ~CTKPropertyGridVerbs() override { RemoveAll(); }
  CTKPropertyGridVerb* Add(LPCSTR lpszCaption);
  void RemoveAll();
  int GetCount() const { return static_cast<int>(m_arrVerbs.size()); }
  BOOL IsEmpty() const { return m_arrVerbs.empty(); }
  CTKPropertyGridVerb* GetAt(int nIndex) const;

private:
  CTKPropertyGrid* m_pGrid;
  std::vector<CTKPropertyGridVerb*> m_arrVerbs;
};

// Commands of the toolbar's two buttons: the categorised and the alphabetical order.
inline constexpr UINT TK_ID_PROPERTYGRID_CATEGORIZED = 9950;
inline constexpr UINT TK_ID_PROPERTYGRID_ALPHABETIC = 9951;

// The two order buttons above the rows; their tips are the toolkit strings of the same ids.
class CTKPropertyGridToolBar : public CToolBar {
  DECLARE_DYNAMIC(CTKPropertyGridToolBar)
public:
  CTKPropertyGridToolBar();
  ~CTKPropertyGridToolBar() override;
  CTKPropertyGridToolBar(const CTKPropertyGridToolBar&) = delete;
  CTKPropertyGridToolBar& operator=(const CTKPropertyGridToolBar&) = delete;

  // The bar with its two buttons, hidden, owned by the grid.
  BOOL CreateButtons(CWnd* pGrid);
  INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
  // The grid sets the button states itself, as the order changes.
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  CTKToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }

private:
  // Answers TTN_NEEDTEXTA and TTN_NEEDTEXTW; false for other notifications.
  bool OnNeedText(NMHDR* pHeader);

  CTKToolTipContext* m_pToolTipContext;
};

class CTKPropertyGrid : public CWnd {
  DECLARE_DYNAMIC(CTKPropertyGrid)
public:
  CTKPropertyGrid();
  ~CTKPropertyGrid() override;

  virtual BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwListStyle = 0);
  virtual CTKPropertyGridView* CreateView() { return new CTKPropertyGridView(); }
  virtual void OnVerbClick(int nIndex, CPoint pt);
  virtual void OnNavigate(int nFrom, BOOL bForward, CTKPropertyGridItem* pItem);
  virtual LRESULT SendNotifyMessage(WPARAM wParam, LPARAM lParam = 0);
  // 1 help splitter, 2 verbs splitter, 3 + index on a verb, -1 elsewhere.
  virtual int HitTest(CPoint pt);
  virtual void OnSelectionChanged(CTKPropertyGridItem* pItem);
  virtual void OnSortChanged();
  virtual void Reposition(int cx, int cy);

  CTKPropertyGridView& GetGridView();
  CTKPropertyGridItem* GetSelectedItem() { return GetGridView().GetSelectedItem(); }
  void ResetContent();
  CTKPropertyGridItem* AddCategory(UINT nID);
  CTKPropertyGridItem* AddCategory(LPCSTR lpszCaption) { return GetGridView().AddCategory(lpszCaption); }
  void SetPropertySort(int nOrder) { GetGridView().SetPropertySort(nOrder); }
  void SetViewDivider(double dDivider);
  void SetInplaceEdit(CTKPropertyGridInplaceEdit* pEdit);
  void RefreshMetrics();
  void Redraw();
  void OnVerbsChanged();
  CTKPropertyGridVerbs* GetVerbs() const { return m_pVerbs; }
  void AddVerb(LPCSTR lpszCaption)
  {
    m_pVerbs->Add(lpszCaption);
    OnVerbsChanged();
  }
  BOOL IsHelpVisible() const { return m_bHelpVisible; }
  int GetHelpHeight() const { return m_nHelpHeight; }
  int GetVerbsHeight() const { return m_nVerbsHeight; }
  BOOL IsVerbsVisible() const { return !m_pVerbs->IsEmpty(); }
  BOOL GetBoldChangedValues() const { return m_bHighlightChanged; }
  void SetBoldChangedValues(BOOL bBold) { m_bHighlightChanged = bBold; }
  BOOL IsVariableRowHeight() const { return m_bVariableItemsHeight; }
  int GetFocusedVerb() const { return m_nFocusedVerb; }
  CTKPropertyGridPaintManager* GetPaintManager() const { return m_pPaintManager; }
  // The grid's own image manager, else the process-wide one.
  CTKImageManager* GetImageManager() const;
  CTKPropertyGridInplaceEdit& GetInplaceEdit() { return *m_pInplaceEdit; }
  CTKPropertyGridInplaceButton& GetInplaceButton() { return *m_pInplaceButton; }
  CTKPropertyGridInplaceList& GetInplaceList() { return *m_pInplaceListBox; }
  // Shows or hides the bar of the two order buttons above the rows.
  void ShowToolBar(BOOL bShow);
  BOOL IsToolBarVisible() const { return m_bToolBarVisible; }
  CTKPropertyGridToolBar& GetToolBar() { return m_wndToolBar; }
  // False once the grid object is gone: code after a notification asks this before touching the grid.
  std::weak_ptr<int> GetLifetime() const { return m_lifetime; }

protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(HDC hDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDrawItemMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMeasureItemMessage(WPARAM wParam, LPARAM lParam);
  afx_msg void OnSysColorChange();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  DECLARE_MESSAGE_MAP()

  // The held-down order button follows the view's order while the toolbar shows.
  void UpdateToolBarButtons();
  // Drags the help (1) or verbs (2) splitter in a modal loop; Escape keeps the old height.
  void TrackSplitter(int nSplitter, CPoint point);

  int m_nHelpHeight = 58;
  int m_nVerbsHeight = 25;
  BOOL m_bHelpVisible = TRUE;
  BOOL m_bToolBarVisible = FALSE;
  CTKPropertyGridToolBar m_wndToolBar;
  HCURSOR m_hCursorSplit = nullptr;
  HCURSOR m_hCursorHand = nullptr;
  BOOL m_bTabItems = FALSE;
  CTKPropertyGridVerbs* m_pVerbs;
  BOOL m_bVerbsVisible = FALSE;
  CTKPropertyGridPaintManager* m_pPaintManager;
  int m_nFocusedVerb = -1;
  CTKPropertyGridView* m_pView = nullptr;
  BOOL m_bHighlightChanged = FALSE;
  CTKImageManager* m_pImageManager;
  BOOL m_bVariableItemsHeight = FALSE;
  CTKPropertyGridInplaceEdit* m_pInplaceEdit;
  CTKPropertyGridInplaceButton* m_pInplaceButton;
  CTKPropertyGridInplaceList* m_pInplaceListBox;
  CRect m_rectTracker;
  BOOL m_bInternalFocus = FALSE;
  std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};
