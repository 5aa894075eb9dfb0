// A row (horizontal) or column (vertical) of nodes with a splitter bar window between each two non-empty
// neighbours. Its centre is the size distribution, which turns the children's docking sizes and limits into
// lengths that fill the container exactly.
#pragma once

#include "toolkit/docking/layout.h"

class CTKDockingPaneSplitterContainer;

// The bar between two children; dragging it moves the extent from one neighbour to the other.
class CTKDockingPaneSplitterWnd : public CWnd {
public:
  CTKDockingPaneSplitterWnd() = default;
  ~CTKDockingPaneSplitterWnd() override;

  BOOL Create(CTKDockingPaneSplitterContainer* pContainer, CTKDockingPaneBase* pFirst, CTKDockingPaneBase* pSecond);
  // The bar lies horizontally: its container is a column.
  BOOL IsHorizontal() const;
  // The range the bar's near edge may move in (screen coordinates); FALSE when there is no room.
  BOOL GetAvailableRect(CRect& rcAvail, CRect& rcUnion) const;

  CTKDockingPaneSplitterContainer* m_pContainer = nullptr;
  CTKDockingPaneBase* m_pFirst = nullptr;
  CTKDockingPaneBase* m_pSecond = nullptr;
  HCURSOR m_hCursor = nullptr;

protected:
  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void ApplyBarRect(CRect rcBar, const CRect& rcUnion);
  DECLARE_MESSAGE_MAP()
};

class CTKDockingPaneSplitterContainer : public CTKDockingPaneBase {
public:
  explicit CTKDockingPaneSplitterContainer(CTKDockingPaneLayout* pLayout);
  ~CTKDockingPaneSplitterContainer() override;

  void Init(CTKDockingPaneBase* pPane, BOOL bHoriz, CWnd* pSite);
  void InsertChild(CTKDockingPaneBase* pPane, CTKDockingPaneBase* pNeighbour, BOOL bAfter);
  void ReplaceChild(CTKDockingPaneBase* pOld, CTKDockingPaneBase* pNew);
  void FindChildren(int nType, CTKDockingPaneNodeList* pList) const;
  BOOL IsChildBefore(const CTKDockingPaneBase* pChild, POSITION pos) const;
  BOOL IsHoriz() const { return m_bHoriz; }
  const CTKDockingPaneNodeList& GetChildren() const { return m_lstChildren; }
  void RecreateSplitters();
  void StoreSizes();
  virtual CTKDockingPaneSplitterWnd* CreateSplitter();

  // The size distribution: leaves each child's working length in m_nLength (negative: fixed at minus that).
  static void AdjustPanesLength(CTKDockingPaneManager* pManager, const CTKDockingPaneNodeList& lst, CRect rect,
                                BOOL bHoriz, BOOL bApply, int& nTotalLength, int& nLengthAvail);
  static CRect GetPaneRect(BOOL bHoriz, const CTKDockingPaneNodeList& lst, CRect rect,
                           const CTKDockingPaneBase* pPane, CTKDockingPaneManager* pManager);

  POSITION ContainPane(CTKDockingPaneBase* pPane) const override;
  void FindPane(int nType, CTKDockingPaneNodeList* pList) override;
  void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const override;
  void OnSizeParent(CWnd* pSite, CRect rect, AFX_SIZEPARENTPARAMS* pParams) override;
  void OnChildContainerChanged(CTKDockingPaneBase* pContainer) override;
  void OnParentContainerChanged(CTKDockingPaneBase* pContainer) override;
  CTKDockingPaneBase* Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                            DWORD dwIgnoredOptions) override;
  void RemovePane(CTKDockingPaneBase* pPane) override;
  BOOL IsEmpty() const override;
  BOOL DoPropExchange(CTKPropExchange* pPX) override;

  CTKDockingPaneNodeList m_lstChildren;
  CList<CTKDockingPaneSplitterWnd*, CTKDockingPaneSplitterWnd*> m_lstSpliters;
  BOOL m_bHoriz = FALSE;
  BOOL m_bRecalcLayout = FALSE;

private:
  void DelaySiteLayout() const;
};
