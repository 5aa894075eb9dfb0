// Auto-hidden groups: a strip of tabs along one edge of the frame (one panel per edge, node type 5, a root of the
// layout held in the layout's four panel slots) and the window that slides a group out of that edge over the
// docked area when its tab is pointed at or clicked, and slides it back when the mouse has been away a while.
#pragma once

#include "platform/mfc/afxole.h"
#include "platform/mfc/miniframe.h"
#include "toolkit/docking/layout.h"
#include "toolkit/docking/tabs/tab_manager.h"

class CTKDockingPaneAutoHideWnd;

class CTKDockingPaneAutoHidePanel : public CWnd, public CTKDockingPaneBase {
public:
  // The tabs of one group: its panes, the group's selected pane selected.
  class CAutoHidePanelTabManager : public CTKTabManager {
  public:
    CAutoHidePanelTabManager(CTKDockingPaneAutoHidePanel* pPanel, CTKDockingPaneTabbedContainer* pGroup);
    CTKTabPaintManager* GetTabPaintManager() const override;
    void RequestRedraw() override;
    void Reposition() override {}
    BOOL DrawTabIcon(CDC* pDC, int x, int y, CTKTabManagerItem* pItem, BOOL bDraw, CSize& szIcon) override;
    int GetStripPosition() const override;
    BOOL IsNavigateButtonAllowed(const CTKTabManagerNavigateButton* /*pButton*/) const override { return FALSE; }

    CTKDockingPaneAutoHidePanel* m_pPanel;
    CTKDockingPaneTabbedContainer* m_pGroup;
  };

  // An OLE drag over the strip slides out the pane of the tab under it, as resting the mouse there does (when
  // the tab paint manager allows); the strip takes no drop.
  class CDropTarget : public COleDropTarget {
  public:
    explicit CDropTarget(CTKDockingPaneAutoHidePanel* pPanel) : m_pPanel(pPanel) {}
    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;

  private:
    CTKDockingPaneAutoHidePanel* m_pPanel;
  };

  explicit CTKDockingPaneAutoHidePanel(CTKDockingPaneLayout* pLayout);
  ~CTKDockingPaneAutoHidePanel() override;
  CDropTarget& GetDropTarget() { return m_dropTarget; }

  // Takes the strip from the given edge of rect during the frame's layout.
  virtual void OnLayout(CWnd* pSite, CRect& rect, AFX_SIZEPARENTPARAMS* pParams);
  virtual void AddGroup(CTKDockingPaneTabbedContainer* pGroup);
  virtual BOOL Create(CWnd* pSite);

  void ShowSlideOut(CTKDockingPane* pPane, BOOL bSetFocus);
  void CloseSlideOut(BOOL bDelayed);
  // The pane of the tab under the client point, or null.
  CTKDockingPane* HitTest(CPoint point) const;
  void LayoutTabs(CDC* pDC, CRect rc);
  int GetStripThickness() const;
  int GetDirection() const { return m_nDirection; }
  CTKDockingPaneAutoHideWnd* GetSlideOut() const { return m_pSlideOut; }
  const CList<CTKDockingPaneTabbedContainer*, CTKDockingPaneTabbedContainer*>& GetGroups() const { return m_lstGroups; }
  INT_PTR GetTabRowCount() const { return m_arrTabRows.GetSize(); }
  CAutoHidePanelTabManager* GetTabRow(INT_PTR i) const { return m_arrTabRows[i]; }

  void OnChildContainerChanged(CTKDockingPaneBase* pContainer) override;
  void InvalidatePane(BOOL bSelectionChanged) override;
  BOOL DoPropExchange(CTKPropExchange* pPX) override;
  CTKDockingPaneBase* Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                            DWORD dwIgnoredOptions) override;
  void RemovePane(CTKDockingPaneBase* pPane) override;
  BOOL IsEmpty() const override;
  HWND GetPaneHwnd() const override { return m_hWnd; }
  POSITION ContainPane(CTKDockingPaneBase* pPane) const override;
  void FindPane(int nType, CTKDockingPaneNodeList* pList) override;

  CTKDockingPaneAutoHideWnd* m_pSlideOut = nullptr;
  int m_nDirection = 0;
  CList<CTKDockingPaneTabbedContainer*, CTKDockingPaneTabbedContainer*> m_lstGroups;
  CArray<CAutoHidePanelTabManager*, CAutoHidePanelTabManager*> m_arrTabRows;

protected:
  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnRButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  void DeleteTabRows();
  // Slides the pane out unless it already shows; no focus.
  void SlideOutPane(CTKDockingPane* pPane);

  CDropTarget m_dropTarget{this};
};

class CTKDockingPaneAutoHideWnd : public CMiniFrameWnd {
public:
  static constexpr UINT_PTR kWatchTimer = 1;
  static constexpr UINT_PTR kSlideOutTimer = 2;
  static constexpr UINT_PTR kSlideInTimer = 3;
  static constexpr UINT_PTR kCloseTimer = 4;
  static constexpr int kEdge = 4;

  CTKDockingPaneAutoHideWnd(CTKDockingPaneAutoHidePanel* pPanel, CTKDockingPaneTabbedContainer* pGroup);

  void RecalcLayout(BOOL bNotify = TRUE) override;
  void ApplyStep();
  // Hides the window, gives the group back to the site and destroys the window; the object goes with it.
  void CloseWindow();
  // Keeps the window out while the group is active or the cursor over it or the strip; else counts down.
  void CheckDeactivation();

  CTKDockingPaneTabbedContainer* m_pContainer;
  CTKDockingPaneAutoHidePanel* m_pPanel;
  int m_nDirection;
  BOOL m_bHoriz;
  int m_nStep = 0;
  int m_nStepsCount = 8;
  BOOL m_bClosing = FALSE;
  CRect m_rcWindow;
  int m_nDeactivationCount = 6;
  BOOL m_bTracking = FALSE;

protected:
  void PostNcDestroy() override;
  void OnPaint();
  BOOL OnEraseBkgnd(HDC hDC);
  void OnTimer(UINT_PTR nIDEvent);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnClose();
  DECLARE_MESSAGE_MAP()

private:
  // The range the far edge may take along the slide axis, in frame client coordinates; FALSE without room.
  BOOL GetResizeLimits(int& nMin, int& nMax) const;
  void ApplyResize(int nEdge);
};
