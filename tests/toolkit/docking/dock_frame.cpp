#include "tests/toolkit/docking/dock_frame.h"

#include <gtest/gtest.h>

#include <set>

namespace docktest {

BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
  ON_MESSAGE(TK_WM_DOCKINGPANENOTIFY, &CDockFrame::OnDockingPaneNotify)
END_MESSAGE_MAP()

CDockFrame::CDockFrame() = default;

CDockFrame::~CDockFrame()
{
  if (GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
}

BOOL CDockFrame::Make(int cx, int cy)
{
  if (!Create(nullptr, "Tesmira Road", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, cx, cy))) {
    return FALSE;
  }
  m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST);
  m_paneManager.InstallDockingPanes(this);
  return TRUE;
}

void CDockFrame::MakeProgramPanes()
{
  m_paneManager.m_nDefaultPaneOptions = TK_PANE_NOHIDEABLE;
  m_paneManager.SetTheme(9);
  CTKDockingPane* pObjects = m_paneManager.CreatePane(32769, CRect(0, 0, 230, 120), TK_DOCK_LEFT, nullptr);
  pObjects->SetTitle("Объекты");
  CTKDockingPane* pParameters = m_paneManager.CreatePane(32770, CRect(0, 0, 230, 120), TK_DOCK_BOTTOM, pObjects);
  pParameters->SetTitle("Параметры");
  CTKDockingPane* pResults = m_paneManager.CreatePane(32774, CRect(0, 0, 222, 120), TK_DOCK_RIGHT, nullptr);
  pResults->SetTitle("Светотехнические результаты");
  CTKDockingPane* pEconomics = m_paneManager.CreatePane(32777, CRect(0, 0, 222, 120), TK_DOCK_BOTTOM, pResults);
  pEconomics->SetTitle("Экономические результаты");
}

LRESULT CDockFrame::OnDockingPaneNotify(WPARAM wParam, LPARAM lParam)
{
  if (wParam == TK_DPN_ACTION) {
    auto* pAction = reinterpret_cast<TK_DOCKINGPANE_ACTION*>(lParam);
    m_notes.push_back({wParam, pAction->pPane != nullptr ? pAction->pPane->GetID() : 0, pAction->action});
    if (pAction->action == m_cancelAction) {
      pAction->cancel = 1;
    }
    return 0;
  }
  if (wParam == TK_DPN_RCLICK) {
    m_notes.push_back({wParam, 0, -1});
    return 0;
  }
  if (wParam == TK_DPN_CONTEXTMENU) {
    auto* pMenu = reinterpret_cast<TK_DOCKINGPANE_MENU*>(lParam);
    m_notes.push_back({wParam, pMenu->pPane->GetID(), -1});
    m_lastMenu = *pMenu;
    if (m_onMenu) {
      m_onMenu();
    }
    return 0;
  }
  auto* pPane = reinterpret_cast<CTKDockingPane*>(lParam);
  m_notes.push_back({wParam, pPane->GetID(), -1});
  if (wParam == TK_DPN_SHOWWINDOW && !pPane->IsValid()) {
    auto& window = m_paneWindows[pPane->GetID()];
    window = std::make_unique<CWnd>();
    window->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 0, 0), this, 1000 + static_cast<UINT>(m_paneWindows.size()));
    pPane->Attach(window->GetSafeHwnd());
  }
  return wParam == TK_DPN_CLOSEPANE ? m_closeAnswer : 0;
}

namespace {

void Walk(const CTKDockingPaneBase* pNode, std::set<const CTKDockingPaneBase*>& seen, std::string& problems)
{
  if (!seen.insert(pNode).second) {
    problems += "node reached twice; ";
    return;
  }
  if (pNode->GetType() == TK_DOCKINGPANE_SPLITTER) {
    const auto* pSplitter = static_cast<const CTKDockingPaneSplitterContainer*>(pNode);
    for (POSITION pos = pSplitter->GetChildren().GetHeadPosition(); pos != nullptr;) {
      const CTKDockingPaneBase* pChild = pSplitter->GetChildren().GetNext(pos);
      if (pChild->GetContainer() != pNode) {
        problems += "a splitter's child names another parent; ";
      }
      if (pChild->GetType() == TK_DOCKINGPANE_PANE) {
        problems += "a pane directly in a splitter; ";
      }
      Walk(pChild, seen, problems);
    }
  } else if (pNode->GetType() == TK_DOCKINGPANE_TABBED) {
    const auto* pTabbed = static_cast<const CTKDockingPaneTabbedContainer*>(pNode);
    for (POSITION pos = pTabbed->GetPanes().GetHeadPosition(); pos != nullptr;) {
      const CTKDockingPane* pPane = pTabbed->GetPanes().GetNext(pos);
      if (pPane->GetContainer() != pNode) {
        problems += "a tab's pane names another parent; ";
      }
      Walk(pPane, seen, problems);
    }
  }
}

}  // namespace

std::string CheckTree(CTKDockingPaneLayout* pLayout)
{
  std::string problems;
  const INT_PTR nNodes = pLayout->m_lstNodes.GetCount();
  // No cycles: walking up ends within as many steps as there are nodes.
  for (POSITION pos = pLayout->m_lstNodes.GetHeadPosition(); pos != nullptr;) {
    const CTKDockingPaneBase* pNode = pLayout->m_lstNodes.GetNext(pos);
    INT_PTR nSteps = 0;
    for (const CTKDockingPaneBase* p = pNode->GetContainer(); p != nullptr; p = p->GetContainer()) {
      if (++nSteps > nNodes) {
        return "a cycle of parents";
      }
    }
  }
  // Each pane is listed by exactly the container it names, by no other.
  for (POSITION pos = pLayout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    const CTKDockingPane* pPane = pLayout->m_lstPanes.GetNext(pos).pPane;
    int nListed = 0;
    for (POSITION posNode = pLayout->m_lstNodes.GetHeadPosition(); posNode != nullptr;) {
      const CTKDockingPaneBase* pNode = pLayout->m_lstNodes.GetNext(posNode);
      if (pNode->GetType() == TK_DOCKINGPANE_TABBED &&
          static_cast<const CTKDockingPaneTabbedContainer*>(pNode)->GetPanes().Find(
              const_cast<CTKDockingPane*>(pPane)) != nullptr) {
        ++nListed;
        if (pPane->GetContainer() != pNode) {
          problems += "pane " + std::to_string(pPane->GetID()) + " listed by a container it does not name; ";
        }
      }
    }
    if (nListed != (pPane->GetContainer() != nullptr ? 1 : 0)) {
      problems += "pane " + std::to_string(pPane->GetID()) + " in " + std::to_string(nListed) + " containers; ";
    }
  }
  std::set<const CTKDockingPaneBase*> seen;
  const CTKDockingPaneBase* pTop = pLayout->m_pTopContainer;
  if (pTop->GetContainer() != nullptr) {
    problems += "the top container has a parent; ";
  }
  Walk(pTop, seen, problems);
  if (seen.count(pLayout->GetClient()) == 0) {
    problems += "the client placeholder left the tree; ";
  }
  return problems;
}

std::string Shape(const CTKDockingPaneBase* pNode)
{
  switch (pNode->GetType()) {
    case TK_DOCKINGPANE_CLIENT:
      return "C";
    case TK_DOCKINGPANE_TABBED: {
      std::string s = "T(";
      const auto* pTabbed = static_cast<const CTKDockingPaneTabbedContainer*>(pNode);
      for (POSITION pos = pTabbed->GetPanes().GetHeadPosition(); pos != nullptr;) {
        s += std::to_string(pTabbed->GetPanes().GetNext(pos)->GetID());
        s += pos != nullptr ? " " : "";
      }
      return s + ")";
    }
    case TK_DOCKINGPANE_SPLITTER: {
      const auto* pSplitter = static_cast<const CTKDockingPaneSplitterContainer*>(pNode);
      std::string s = pSplitter->IsHoriz() ? "S[" : "V[";
      for (POSITION pos = pSplitter->GetChildren().GetHeadPosition(); pos != nullptr;) {
        s += Shape(pSplitter->GetChildren().GetNext(pos));
        s += pos != nullptr ? " " : "";
      }
      return s + "]";
    }
    default:
      return "?";
  }
}

}  // namespace docktest
