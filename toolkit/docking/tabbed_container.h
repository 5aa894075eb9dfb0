// A tabbed container: the visible group around panes, a window with a caption (the selected pane's title and the
// caption buttons), the selected pane's window in its client area and, with more than one pane, a tab strip.
#pragma once

#include "platform/mfc/afxole.h"
#include "toolkit/docking/layout.h"
#include "toolkit/docking/tabs/tab_manager.h"

class CTKDockingPaneTabbedContainer : public CWnd, public CTKDockingPaneBase, public CTKTabManager {
public:
  // An OLE drag over the strip selects the pane of the tab under it (when the tab paint manager allows); the
  // group takes no drop.
  class CDropTarget : public COleDropTarget {
  public:
    explicit CDropTarget(CTKDockingPaneTabbedContainer* pContainer) : m_pContainer(pContainer) {}
    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;

  private:
    CTKDockingPaneTabbedContainer* m_pContainer;
  };

  explicit CTKDockingPaneTabbedContainer(CTKDockingPaneLayout* pLayout);
  ~CTKDockingPaneTabbedContainer() override;

  virtual void SelectPane(CTKDockingPane* pPane, BOOL bSetFocus = TRUE, BOOL bNotify = TRUE);
  virtual BOOL IsCaptionVertical() const;
  virtual BOOL IsTabsVisible() const;
  virtual void OnCaptionButtonClick(CTKDockingPaneCaptionButton* pButton);
  virtual void CopyFrom(CTKDockingPaneTabbedContainer* pContainer, CTKDockingPaneNodeMap* pMap,
                        DWORD dwIgnoredOptions);
  virtual void UpdateTabs();

  POSITION ContainPane(CTKDockingPaneBase* pPane) const override;
  void FindPane(int nType, CTKDockingPaneNodeList* pList) override;
  void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const override;
  void OnSizeParent(CWnd* pSite, CRect rect, AFX_SIZEPARENTPARAMS* pParams) override;
  void OnFocusChanged() override;
  void SetDockingSite(CWnd* pSite) override;
  void InvalidatePane(BOOL bSelectionChanged) override;
  void OnParentContainerChanged(CTKDockingPaneBase* pContainer) override;
  CTKDockingPaneBase* Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                            DWORD dwIgnoredOptions) override;
  void RemovePane(CTKDockingPaneBase* pPane) override;
  BOOL IsEmpty() const override { return m_lstPanes.IsEmpty(); }
  BOOL DoPropExchange(CTKPropExchange* pPX) override;
  BOOL IsCaptionButtonVisible(CTKDockingPaneCaptionButton* pButton) override;
  HWND GetPaneHwnd() const override { return m_hWnd; }
  BOOL IsHidden() const override;
  void RedrawPane() override;

  // The tab manager's side.
  void Reposition() override;
  void OnTabsChanged() override;
  void RequestRedraw() override;
  CTKTabPaintManager* GetTabPaintManager() const override;
  BOOL DrawTabIcon(CDC* pDC, int x, int y, CTKTabManagerItem* pItem, BOOL bDraw, CSize& szIcon) override;

  void InsertPane(CTKDockingPane* pPane, BOOL bSetFocus = TRUE);
  void InitWithPane(CTKDockingPane* pPane, CWnd* pSite);
  BOOL IsCaptionVisible() const;
  // Whether a drag at the screen point would add its panes here as tabs: on the caption strip (above the group in
  // its site when the caption is hidden) or on the tab row. rc, the group's screen rectangle, loses the strips the
  // test passed over (dragcontext.cpp).
  BOOL IsTabDropPoint(CRect& rc, CPoint point) const;
  // Focus to the selected pane; with the left button still down, the docking drag of the group.
  virtual void OnCaptionLButtonDown(CPoint ptScreen);
  // -2 on the caption, -1 on nothing, else the index of the tab under the client point.
  int HitTest(CPoint point) const;
  CTKDockingPane* GetPaneByTab(int nIndex) const;
  void SetCaptionShown(BOOL bShown);
  CString GetTitle() const;
  CTKDockingPane* GetSelected() const { return m_pSelectedPane; }
  const CList<CTKDockingPane*, CTKDockingPane*>& GetPanes() const { return m_lstPanes; }
  BOOL IsActive() const { return m_bActive; }
  BOOL CanMaximise() const;
  void Maximise();
  void Restore();
  BOOL IsMinimised() const;
  BOOL IsMaximised() const { return m_bMaximized; }
  void StoreExtent();
  void FocusSelected();
  CTKDockingPaneCaptionButton* FindCaptionButton(int nID) const;
  CDropTarget& GetDropTarget() { return m_dropTarget; }
  // A caption button under the point (its toolkit string as the tip), else the tab under it; -1 for none.
  INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
  // Every message passes the manager's tooltip context first.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  BOOL m_bMaximized = FALSE;
  BOOL m_bActive = FALSE;
  BOOL m_bCaptionShown = TRUE;
  int m_nLockReposition = 0;
  CTKDockingPane* m_pSelectedPane = nullptr;
  CTKDockingPane* m_pTrackingPane = nullptr;
  CList<CTKDockingPane*, CTKDockingPane*> m_lstPanes;

protected:
  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  void OnRButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnMouseLeave();
  void OnCaptureChanged(CWnd* pWnd);
  void OnDestroy();
  // lParam: the client point; answers the help context of the pane there (0 without one).
  LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  void CreateContainerWindow();
  void DelaySiteLayout() const;
  // The pane area left in rect after the caption and the tabs.
  void AdjustClient(CRect& rect, BOOL bReposition);
  void LayoutPanes(CRect rcClient, AFX_SIZEPARENTPARAMS* pParams);
  void SetPinState();
  // Code 5 for the menu button, shown pressed meanwhile.
  void SendMenuNotify(CTKDockingPaneCaptionButton* pButton);
  // While a tab is dragged: its pane trades places with the pane whose tab (as recorded at the press) lies under
  // the point; leaving the strip ends the tab drag.
  void TrackTabDrag(CPoint point);

  CArray<CRect, const CRect&> m_arrTabRects;  // of every tab when the drag began
  CDropTarget m_dropTarget{this};
};
