// Reshaping the layout tree: docking a node at a side of a neighbour, moving panes into a container, and the
// holders that remember where each pane lived.
#include "platform/mfc/ctrlbar.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"

namespace {

// 0 and 1 need a row, anything else a column; 1 and 3 go after the neighbour.
BOOL IsHorizontalDirection(int nDirection) { return nDirection == TK_DOCK_LEFT || nDirection == TK_DOCK_RIGHT; }
BOOL IsAfterDirection(int nDirection) { return nDirection == TK_DOCK_RIGHT || nDirection == TK_DOCK_BOTTOM; }

}  // namespace

CTKDockingPaneTabbedContainer* CTKDockingPaneManager::WrapPane(CTKDockingPane* pPane, CWnd* pSite)
{
  auto* pContainer = static_cast<CTKDockingPaneTabbedContainer*>(OnCreatePane(TK_DOCKINGPANE_TABBED, m_pLayout));
  pContainer->InitWithPane(pPane, pSite);
  return pContainer;
}

void CTKDockingPaneManager::DockNode(CTKDockingPaneBase* pNode, int nDirection, CTKDockingPaneBase* pNeighbour)
{
  // A node still in the tree would end up in two places: take it out first.
  if (CTKDockingPaneBase* pParent = pNode->GetContainer(); pParent != nullptr) {
    pParent->RemovePane(pNode);
  }
  CTKDockingPaneBase* pTop = m_pLayout->m_pTopContainer;
  // 1. Beside nothing, or beside a pane that is closed or auto-hidden, means beside everything.
  if (pNeighbour == nullptr ||
      (pNeighbour->GetType() == TK_DOCKINGPANE_PANE &&
       (pNeighbour->GetContainer() == nullptr || pNeighbour->IsHidden()))) {
    pNeighbour = pTop;
  }
  // 2.
  CWnd* pSite = pNeighbour->GetDockingSite();
  // 3. A pane docks inside a tabbed container of its own.
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    pNode = WrapPane(static_cast<CTKDockingPane*>(pNode), pSite);
  }
  const BOOL bHoriz = IsHorizontalDirection(nDirection);
  const BOOL bAfter = IsAfterDirection(nDirection);

  if (pNeighbour == pTop) {
    // 4. Extend the top row or column, or wrap the whole tree in one of the other orientation.
    auto* pTopSplitter = static_cast<CTKDockingPaneSplitterContainer*>(pTop);
    if (pTopSplitter->IsHoriz() != bHoriz) {
      auto* pNewTop =
          static_cast<CTKDockingPaneSplitterContainer*>(OnCreatePane(TK_DOCKINGPANE_SPLITTER, m_pLayout));
      pNewTop->Init(pTopSplitter, bHoriz, pSite);
      m_pLayout->m_pTopContainer = pNewTop;
      pTopSplitter = pNewTop;
    }
    pTopSplitter->InsertChild(pNode, nullptr, bAfter);
  } else {
    // 5. Beside a pane means beside its group; nest a new splitter where the orientation differs.
    if (pNeighbour->GetContainer() != nullptr && pNeighbour->GetContainer()->GetType() == TK_DOCKINGPANE_TABBED) {
      pNeighbour = pNeighbour->GetContainer();
    }
    auto* pParent = static_cast<CTKDockingPaneSplitterContainer*>(pNeighbour->GetContainer());
    if (pParent->IsHoriz() == bHoriz) {
      pParent->InsertChild(pNode, pNeighbour, bAfter);
    } else {
      auto* pSplitter =
          static_cast<CTKDockingPaneSplitterContainer*>(OnCreatePane(TK_DOCKINGPANE_SPLITTER, m_pLayout));
      pSplitter->Init(pNeighbour, bHoriz, pSite);
      pSplitter->InsertChild(pNode, pNeighbour, bAfter);
      pParent->ReplaceChild(pNeighbour, pSplitter);
    }
  }
  // 6.
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(pSite); pFrame != nullptr) {
    pFrame->DelayRecalcLayout();
  }
}

void CTKDockingPaneManager::DockDraggedNode(CTKDockingPaneBase* pNode, int nDirection, CTKDockingPaneBase* pNeighbour)
{
  // 1. A splitter around a single group stands for that group.
  if (pNode->GetType() == TK_DOCKINGPANE_SPLITTER) {
    CTKDockingPaneNodeList lstGroups;
    pNode->FindPane(TK_DOCKINGPANE_TABBED, &lstGroups);
    if (lstGroups.GetCount() == 1) {
      pNode = lstGroups.GetHead();
    }
  }
  // 2. A container is re-made with its panes moved into it; the old one stays behind, empty.
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    if (CTKDockingPaneBase* pParent = pNode->GetContainer(); pParent != nullptr) {
      pParent->RemovePane(pNode);
    }
  } else {
    pNode = pNode->Clone(m_pLayout, nullptr, 0);
  }
  // 3.
  DockNode(pNode, nDirection, pNeighbour);
}

void CTKDockingPaneManager::MoveNodeToContainer(CTKDockingPaneBase* pNode, CTKDockingPaneBase* pTarget)
{
  if (pTarget->GetType() == TK_DOCKINGPANE_PANE) {
    pTarget = pTarget->GetContainer();
  }
  if (pTarget == nullptr || pTarget->GetType() != TK_DOCKINGPANE_TABBED) {
    return;
  }
  auto* pTabbed = static_cast<CTKDockingPaneTabbedContainer*>(pTarget);
  CTKDockingPaneNodeList lstPanes;
  TKListDockingPanes(pNode, &lstPanes);
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    auto* pPane = static_cast<CTKDockingPane*>(lstPanes.GetNext(pos));
    if (pPane->GetContainer() == pTabbed) {
      continue;
    }
    if (CTKDockingPaneBase* pParent = pPane->GetContainer(); pParent != nullptr) {
      pParent->RemovePane(pPane);
    }
    pTabbed->InsertPane(pPane, TRUE);
  }
  RecordPaneHolders();
}

void CTKDockingPaneManager::RecordPaneHolders()
{
  if (m_pLayout == nullptr) {
    return;
  }
  for (POSITION pos = m_pLayout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    TK_DOCKINGPANE_INFO& info = m_pLayout->m_lstPanes.GetNext(pos);
    CTKDockingPaneTabbedContainer* pContainer = info.pPane->GetParentTabbed();
    if (pContainer == nullptr || pContainer->GetDockingSite() == nullptr || pContainer->IsHidden()) {
      continue;
    }
    info.pLastHolder = pContainer;
    // Floating frames are frames of their own; everything else lives in the manager's site.
    if (pContainer->GetDockingSite() != m_pSite) {
      info.pFloatingHolder = pContainer;
    } else {
      info.pDockingHolder = pContainer;
    }
  }
}

CTKDockingPaneTabbedContainer* CTKDockingPaneManager::GetPaneHolder(CTKDockingPane* pPane, BOOL bFloating)
{
  const TK_DOCKINGPANE_INFO* pInfo = m_pLayout->FindPaneInfo(pPane);
  if (pInfo == nullptr) {
    return nullptr;
  }
  return bFloating ? pInfo->pFloatingHolder : pInfo->pDockingHolder;
}

CRect CTKDockingPaneManager::GetDockingRect(CRect& rcResult, CTKDockingPaneBase* pNode, int nDirection,
                                            CTKDockingPaneBase* pNeighbour)
{
  CTKDockingPaneBase* pTop = m_pLayout->m_pTopContainer;
  if (pNeighbour == nullptr) {
    pNeighbour = pTop;
  }
  const BOOL bHoriz = IsHorizontalDirection(nDirection);
  const BOOL bAfter = IsAfterDirection(GetRTLDirection(nDirection));
  if (pNeighbour != pTop) {
    if (pNeighbour->GetType() == TK_DOCKINGPANE_PANE && pNeighbour->GetContainer() != nullptr) {
      pNeighbour = pNeighbour->GetContainer();
    }
    auto* pParent = static_cast<CTKDockingPaneSplitterContainer*>(pNeighbour->GetContainer());
    if (pParent != nullptr && pParent->GetType() == TK_DOCKINGPANE_SPLITTER && pParent->IsHoriz() == bHoriz) {
      CTKDockingPaneNodeList lst;
      for (POSITION pos = pParent->GetChildren().GetHeadPosition(); pos != nullptr;) {
        CTKDockingPaneBase* pChild = pParent->GetChildren().GetNext(pos);
        if (pChild == pNode || pChild->IsEmpty()) {
          continue;
        }
        if (pChild == pNeighbour && !bAfter) {
          lst.AddTail(pNode);
        }
        lst.AddTail(pChild);
        if (pChild == pNeighbour && bAfter) {
          lst.AddTail(pNode);
        }
      }
      rcResult = CTKDockingPaneSplitterContainer::GetPaneRect(bHoriz, lst, pParent->GetWindowRect(), pNode, this);
      if (CWnd* pSite = pParent->GetDockingSite(); pSite != nullptr && pSite->GetSafeHwnd() != nullptr) {
        pSite->ClientToScreen(&rcResult);
      }
      return rcResult;
    }
  }
  CTKDockingPaneNodeList lst;
  lst.AddTail(bAfter ? pNeighbour : pNode);
  lst.AddTail(bAfter ? pNode : pNeighbour);
  rcResult = CTKDockingPaneSplitterContainer::GetPaneRect(bHoriz, lst, pNeighbour->GetScreenRect(), pNode, this);
  return rcResult;
}
