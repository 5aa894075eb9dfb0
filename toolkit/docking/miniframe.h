// A floating frame: a small frame window owned by the site that holds floated panes. It is a root of the layout
// tree holding one splitter (its top splitter) of tabbed groups. It can be moved, resized, closed (its panes
// close), double-clicked to dock its panes back and dragged by its caption to dock elsewhere. Themed, it draws its
// own caption with buttons and can roll up to its caption when the mouse leaves it.
#pragma once

#include "platform/mfc/miniframe.h"
#include "toolkit/docking/layout.h"

class CTKDockingPaneMiniWnd : public CMiniFrameWnd, public CTKDockingPaneBase {
public:
  // Timers: the mouse watch of rolled-up mode, the roll-up steps, the watch after a hot caption button.
  static constexpr UINT_PTR kWatchTimer = 1;
  static constexpr UINT_PTR kRollTimer = 3;
  static constexpr UINT_PTR kHotTimer = 2345;
  static constexpr UINT kStepDelay = 16;

  explicit CTKDockingPaneMiniWnd(CTKDockingPaneLayout* pLayout);
  ~CTKDockingPaneMiniWnd() override;

  virtual void CopyFrom(CTKDockingPaneMiniWnd* pSource, CTKDockingPaneNodeMap* pMap);
  // Made at the rectangle, moved onto the work area of its monitor when it lies off it.
  virtual BOOL CreateAt(CRect rc);
  virtual void OnCaptionButtonClick(CTKDockingPaneCaptionButton* pButton);
  virtual BOOL OnCaptionButtonDown(CTKDockingPaneCaptionButton* pButton);

  void RecalcLayout(BOOL bNotify = TRUE) override;
  // The caption button under the point (client coordinates) names itself by the toolkit string of its id.
  INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

  void RedrawPane() override;
  void OnChildContainerChanged(CTKDockingPaneBase* pContainer) override;
  void InvalidatePane(BOOL bSelectionChanged) override;
  BOOL DoPropExchange(CTKPropExchange* pPX) override;
  CTKDockingPaneBase* Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                            DWORD dwIgnoredOptions) override;
  void RemovePane(CTKDockingPaneBase* pPane) override;
  BOOL IsCaptionButtonVisible(CTKDockingPaneCaptionButton* pButton) override;
  POSITION ContainPane(CTKDockingPaneBase* pPane) const override;
  void FindPane(int nType, CTKDockingPaneNodeList* pList) override;
  HWND GetPaneHwnd() const override { return m_hWnd; }
  BOOL IsEmpty() const override;

  BOOL CreateWithNode(CTKDockingPaneBase* pNode, CRect rc);
  void UpdateCaptionStyle();
  CTKDockingPane* GetSelectedPane() const;
  BOOL IsThemed() const;
  void Collapse();
  void ToggleCollapse();
  void ApplyRollStep(BOOL bBringToTop);
  void TemporaryExpand();
  CTKDockingPaneSplitterContainer* GetTopSplitter() const { return m_pTopSplitter; }
  BOOL IsRolledUp() const { return m_bCollapsed && !m_bExpanded; }

  CTKDockingPaneSplitterContainer* m_pTopSplitter = nullptr;
  BOOL m_bCloseEnabled = TRUE;
  int m_nExpandedHeight = 0;
  int m_nStepsCount = 8;
  int m_nStep = 0;
  int m_nDeactivationCount = 0;
  BOOL m_bCollapsed = FALSE;
  BOOL m_bExpanded = FALSE;
  BOOL m_bSlideOut = FALSE;

protected:
  // The layout owns the object.
  void PostNcDestroy() override {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  void OnClose();
  void OnDestroy();
  void OnSetFocus(CWnd* pOldWnd);
  void OnTimer(UINT_PTR nIDEvent);
  void OnGetMinMaxInfo(MINMAXINFO* pMinMaxInfo);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* pParams);
  void OnNcPaint();
  void OnNcMouseMove(UINT nHitTest, CPoint point);
  void OnNcLButtonDown(UINT nHitTest, CPoint point);
  void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
  void OnNcRButtonDown(UINT nHitTest, CPoint point);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  int CaptionHeight() const;
  CTKDockingPaneCaptionButton* ButtonAt(CPoint ptWindow) const;
};
