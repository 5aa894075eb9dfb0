#include "toolkit/docking/layoutpersist.h"

#include "platform/base/profile.h"
#include "platform/base/registry.h"
#include "platform/mfc/winapp.h"
#include "toolkit/docking/miniframe.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"
#include "toolkit/paint/prop_exchange.h"

#include <set>

namespace {

CString NumberedName(int n)
{
  CString strName;
  strName.Format("Pane-%d", n);
  return strName;
}

int IndexOf(const CTKDockingPaneBase* pNode) { return pNode != nullptr ? pNode->m_nIndex : 0; }

// The kinds a container may hold: a pane lives only in a tabbed group, and a floating frame or a panel is a root.
BOOL IsSplitterChildKind(int nType)
{
  return nType == TK_DOCKINGPANE_TABBED || nType == TK_DOCKINGPANE_SPLITTER || nType == TK_DOCKINGPANE_CLIENT;
}

}  // namespace

// ---- Nodes

BOOL CTKDockingPaneBase::DoPropExchange(CTKPropExchange* pPX)
{
  int cx = m_szDocking.cx;
  int cy = m_szDocking.cy;
  PX_Int(pPX, "DockingCX", cx, 0);
  PX_Int(pPX, "DockingCY", cy, 0);
  m_szDocking = CSize(cx, cy);
  return TRUE;
}

BOOL CTKDockingPane::DoPropExchange(CTKPropExchange* pPX)
{
  CTKDockingPaneBase::DoPropExchange(pPX);
  PX_StringNoDefault(pPX, "Title", m_strTitle);
  PX_Int(pPX, "ID", m_nID, 0);
  PX_Int(pPX, "IconID", m_nIconID, -1);
  PX_Int(pPX, "Options", m_nOptions, 0);

  if (pPX->IsLoading()) {
    int nDocking = 0;
    int nFloating = 0;
    int nLast = 0;
    PX_Int(pPX, "DockingHolder", nDocking, 0);
    PX_Int(pPX, "FloatingHolder", nFloating, 0);
    PX_Int(pPX, "LastHolder", nLast, 0);
    // A holder is a tabbed group; an index naming anything else is damage and holds nothing.
    auto holder = [this](int nIndex) -> CTKDockingPaneTabbedContainer* {
      CTKDockingPaneBase* pNode = m_pLayout->GetLoadingNode(nIndex);
      return pNode != nullptr && pNode->GetType() == TK_DOCKINGPANE_TABBED
                 ? static_cast<CTKDockingPaneTabbedContainer*>(pNode)
                 : nullptr;
    };
    TK_DOCKINGPANE_INFO info;
    info.pPane = this;
    info.pDockingHolder = holder(nDocking);
    info.pFloatingHolder = holder(nFloating);
    info.pLastHolder = holder(nLast);
    m_pLayout->m_lstPanes.AddTail(info);
  } else if (const TK_DOCKINGPANE_INFO* pInfo = m_pLayout->FindPaneInfo(this); pInfo != nullptr) {
    int nDocking = IndexOf(pInfo->pDockingHolder);
    int nFloating = IndexOf(pInfo->pFloatingHolder);
    int nLast = IndexOf(pInfo->pLastHolder);
    PX_Int(pPX, "DockingHolder", nDocking, 0);
    PX_Int(pPX, "FloatingHolder", nFloating, 0);
    PX_Int(pPX, "LastHolder", nLast, 0);
  }

  int nMinX = m_ptMinTrackSize.x;
  int nMinY = m_ptMinTrackSize.y;
  int nMaxX = m_ptMaxTrackSize.x;
  int nMaxY = m_ptMaxTrackSize.y;
  PX_Int(pPX, "MinTrackX", nMinX, 0);
  PX_Int(pPX, "MinTrackY", nMinY, 0);
  PX_Int(pPX, "MaxTrackX", nMaxX, 32000);
  PX_Int(pPX, "MaxTrackY", nMaxY, 32000);
  m_ptMinTrackSize = CPoint(nMinX, nMinY);
  m_ptMaxTrackSize = CPoint(nMaxX, nMaxY);
  if (pPX->m_nSchema > 9) {
    int nTabColor = static_cast<int>(m_clrTab);
    PX_Int(pPX, "TabColor", nTabColor, -1);
    m_clrTab = static_cast<COLORREF>(nTabColor);
    PX_Int(pPX, "HelpId", m_nHelpID, 0);
    PX_Int(pPX, "Tag", m_nTag, 0);
  }
  return !pPX->IsLoading() || m_nID > 0;
}

BOOL CTKDockingPaneTabbedContainer::DoPropExchange(CTKPropExchange* pPX)
{
  CTKDockingPaneBase::DoPropExchange(pPX);
  if (!pPX->IsLoading()) {
    int nPanes = static_cast<int>(m_lstPanes.GetCount());
    int nSelected = IndexOf(m_pSelectedPane);
    PX_IntNoDefault(pPX, "Panes", nPanes);
    PX_Int(pPX, "Selected", nSelected, 0);
    int n = 1;
    for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr; ++n) {
      int nIndex = m_lstPanes.GetNext(pos)->m_nIndex;
      PX_IntNoDefault(pPX, NumberedName(n), nIndex);
    }
    return TRUE;
  }
  int nPanes = 0;
  int nSelected = 0;
  PX_IntNoDefault(pPX, "Panes", nPanes);
  PX_Int(pPX, "Selected", nSelected, 0);
  CTKDockingPane* pSelected = nullptr;
  // Each pane can be taken once, so a count past the nodes that exist stops at the first index that names none.
  for (int n = 1; n <= nPanes; ++n) {
    int nIndex = 0;
    PX_Int(pPX, NumberedName(n), nIndex, 0);
    CTKDockingPaneBase* pNode = m_pLayout->GetLoadingNode(nIndex);
    if (pNode == nullptr || pNode->GetType() != TK_DOCKINGPANE_PANE || !m_pLayout->ClaimLoadingNode(pNode, this)) {
      return FALSE;
    }
    auto* pPane = static_cast<CTKDockingPane*>(pNode);
    InsertPane(pPane, FALSE);
    if (nIndex == nSelected) {
      pSelected = pPane;
    }
  }
  SelectPane(pSelected, FALSE, TRUE);
  return TRUE;
}

BOOL CTKDockingPaneSplitterContainer::DoPropExchange(CTKPropExchange* pPX)
{
  CTKDockingPaneBase::DoPropExchange(pPX);
  PX_Bool(pPX, "Horiz", m_bHoriz, FALSE);
  if (!pPX->IsLoading()) {
    int nChildren = static_cast<int>(m_lstChildren.GetCount());
    PX_IntNoDefault(pPX, "Panes", nChildren);
    int n = 1;
    for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr; ++n) {
      int nIndex = m_lstChildren.GetNext(pos)->m_nIndex;
      PX_IntNoDefault(pPX, NumberedName(n), nIndex);
    }
    return TRUE;
  }
  int nChildren = 0;
  PX_Int(pPX, "Panes", nChildren, 0);
  for (int n = 1; n <= nChildren; ++n) {
    int nIndex = 0;
    PX_Int(pPX, NumberedName(n), nIndex, 0);
    CTKDockingPaneBase* pNode = m_pLayout->GetLoadingNode(nIndex);
    if (pNode == nullptr || !IsSplitterChildKind(pNode->GetType()) || !m_pLayout->ClaimLoadingNode(pNode, this)) {
      return FALSE;
    }
    InsertChild(pNode, nullptr, TRUE);
  }
  return TRUE;
}

// ---- The layout

CTKDockingPaneBase* CTKDockingPaneLayout::GetLoadingNode(int nIndex) const
{
  if (m_pLoading == nullptr || nIndex <= 0 || static_cast<std::size_t>(nIndex) >= m_pLoading->nodes.size()) {
    return nullptr;
  }
  return m_pLoading->nodes[static_cast<std::size_t>(nIndex)];
}

BOOL CTKDockingPaneLayout::ClaimLoadingNode(CTKDockingPaneBase* pNode, const CTKDockingPaneBase* pParent)
{
  if (m_pLoading == nullptr || pNode->m_nIndex <= 0 ||
      static_cast<std::size_t>(pNode->m_nIndex) >= m_pLoading->claimed.size() ||
      m_pLoading->claimed[static_cast<std::size_t>(pNode->m_nIndex)]) {
    return FALSE;
  }
  // Every claim so far kept the nodes a forest, so this walk ends; a node above its new parent would close a
  // cycle that layout and notification follow forever.
  for (const CTKDockingPaneBase* pAbove = pParent; pAbove != nullptr; pAbove = pAbove->GetContainer()) {
    if (pAbove == pNode) {
      return FALSE;
    }
  }
  m_pLoading->claimed[static_cast<std::size_t>(pNode->m_nIndex)] = true;
  return TRUE;
}

BOOL CTKDockingPaneLayout::DoPropExchange(CTKPropExchange* pPX)
{
  if (!pPX->IsLoading()) {
    pPX->EmptySection();
    CleanUp();
    {
      CTKPropExchangeSectionPtr pSummary(pPX->GetSection("Summary"));
      int nPanes = static_cast<int>(m_lstNodes.GetCount());
      PX_IntNoDefault(pSummary.get(), "Panes", nPanes);
      pSummary->ExchangeSchema();
    }
    int n = 1;
    for (POSITION pos = m_lstNodes.GetHeadPosition(); pos != nullptr; ++n) {
      CTKDockingPaneBase* pNode = m_lstNodes.GetNext(pos);
      pNode->m_nIndex = n;
      CTKPropExchangeSectionPtr pSection(pPX->GetSection(NumberedName(n)));
      int nType = pNode->GetType();
      PX_IntNoDefault(pSection.get(), "Type", nType);
    }
    n = 1;
    for (POSITION pos = m_lstNodes.GetHeadPosition(); pos != nullptr; ++n) {
      CTKDockingPaneBase* pNode = m_lstNodes.GetNext(pos);
      CTKPropExchangeSectionPtr pSection(pPX->GetSection(NumberedName(n)));
      pNode->DoPropExchange(pSection.get());
    }
    CTKPropExchangeSectionPtr pSummary(pPX->GetSection("Summary"));
    int nTop = IndexOf(m_pTopContainer);
    int nClient = IndexOf(m_pClient);
    PX_IntNoDefault(pSummary.get(), "TopContainer", nTop);
    PX_IntNoDefault(pSummary.get(), "Client", nClient);
    return TRUE;
  }

  Clear();
  CTKDockingPaneLoadState state;
  m_pLoading = &state;
  struct Finish {
    CTKDockingPaneLayout* pLayout;
    ~Finish() { pLayout->m_pLoading = nullptr; }
  } finish{this};

  int nPanes = 0;
  {
    CTKPropExchangeSectionPtr pSummary(pPX->GetSection("Summary"));
    if (!PX_IntNoDefault(pSummary.get(), "Panes", nPanes) || nPanes <= 1) {
      return FALSE;
    }
    pSummary->ExchangeSchema();
    pPX->m_nSchema = pSummary->m_nSchema;
  }
  // Nodes are made as their sections are met, so a count larger than the saved state stops at the first
  // missing section (or the archive's end) and never allocates ahead.
  for (int n = 1; n <= nPanes; ++n) {
    CTKPropExchangeSectionPtr pSection(pPX->GetSection(NumberedName(n)));
    int nType = -1;
    PX_Int(pSection.get(), "Type", nType, -1);
    if (nType < 0 || nType > 5) {
      return FALSE;
    }
    CTKDockingPaneBase* pNode = m_pManager->OnCreatePane(nType, this);
    if (pNode == nullptr) {
      return FALSE;
    }
    pNode->m_nIndex = n;
    state.nodes.push_back(pNode);
    state.claimed.push_back(false);
  }
  for (int n = 1; n <= nPanes; ++n) {
    CTKPropExchangeSectionPtr pSection(pPX->GetSection(NumberedName(n)));
    if (!state.nodes[static_cast<std::size_t>(n)]->DoPropExchange(pSection.get())) {
      return FALSE;
    }
  }
  CTKPropExchangeSectionPtr pSummary(pPX->GetSection("Summary"));
  int nTop = 0;
  int nClient = 0;
  if (!PX_IntNoDefault(pSummary.get(), "TopContainer", nTop) || !PX_IntNoDefault(pSummary.get(), "Client", nClient)) {
    return FALSE;
  }
  CTKDockingPaneBase* pTop = GetLoadingNode(nTop);
  CTKDockingPaneBase* pClient = GetLoadingNode(nClient);
  // The layout treats its top container as a splitter at the root.
  if (pTop == nullptr || pClient == nullptr || pClient->GetType() != TK_DOCKINGPANE_CLIENT ||
      pTop->GetType() != TK_DOCKINGPANE_SPLITTER || pTop->GetContainer() != nullptr) {
    return FALSE;
  }
  m_pTopContainer = pTop;
  m_pClient = pClient;
  return TRUE;
}

BOOL CTKDockingPaneLayout::LoadFromRegistry(LPCTSTR lpszName)
{
  HKEY hKey = TKOpenApplicationKey(FALSE, kTKDockingPaneLayoutsSection);
  if (hKey == nullptr) {
    return FALSE;
  }
  BOOL bResult = FALSE;
  {
    CTKPropExchangeRegistry px(TRUE, hKey, lpszName);
    bResult = px.OnBeforeExchange() && DoPropExchange(&px);
  }
  RegCloseKey(hKey);
  return bResult;
}

BOOL CTKDockingPaneLayout::SaveToRegistry(LPCTSTR lpszName)
{
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pszRegistryKey == nullptr || pApp->m_pszProfileName == nullptr) {
    return FALSE;
  }
  // Emptying the key and writing value by value would leave half a layout after a failed write: the batch
  // reaches the file whole or not at all.
  platform::ProfileWriteBatch batch(pApp->m_pszRegistryKey, pApp->m_pszProfileName);
  HKEY hKey = TKOpenApplicationKey(TRUE, kTKDockingPaneLayoutsSection);
  if (hKey == nullptr) {
    return FALSE;
  }
  {
    CTKPropExchangeRegistry px(FALSE, hKey, lpszName);
    if (px.OnBeforeExchange()) {
      DoPropExchange(&px);
    }
  }
  RegCloseKey(hKey);
  return batch.Commit();
}

void CTKDockingPaneLayout::Serialize(CArchive& ar)
{
  CTKPropExchangeArchive px(ar);
  DoPropExchange(&px);
}

void CTKDockingPaneLayout::Copy(const CTKDockingPaneLayout* pSource)
{
  Clear();
  CTKDockingPaneNodeMap map;
  for (POSITION pos = pSource->m_lstNodes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pNode = pSource->m_lstNodes.GetNext(pos);
    if (pNode->GetContainer() == nullptr) {
      pNode->Clone(this, &map, 0);
    }
  }
  auto cloneOf = [&map](CTKDockingPaneBase* pNode) -> CTKDockingPaneBase* {
    CTKDockingPaneBase* pClone = nullptr;
    return pNode != nullptr && map.Lookup(pNode, pClone) ? pClone : nullptr;
  };
  m_pClient = cloneOf(pSource->m_pClient);
  m_pTopContainer = cloneOf(pSource->m_pTopContainer);
  for (int i = 0; i < 4; ++i) {
    m_wndPanels[i] = cloneOf(pSource->m_wndPanels[i]);
  }
  for (POSITION pos = pSource->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    const TK_DOCKINGPANE_INFO& source = pSource->m_lstPanes.GetNext(pos);
    TK_DOCKINGPANE_INFO info;
    info.pPane = static_cast<CTKDockingPane*>(cloneOf(source.pPane));
    info.pDockingHolder = static_cast<CTKDockingPaneTabbedContainer*>(cloneOf(source.pDockingHolder));
    info.pFloatingHolder = static_cast<CTKDockingPaneTabbedContainer*>(cloneOf(source.pFloatingHolder));
    info.pLastHolder = static_cast<CTKDockingPaneTabbedContainer*>(cloneOf(source.pLastHolder));
    if (info.pPane != nullptr) {
      m_lstPanes.AddTail(info);
    }
  }
}

void CTKDockingPaneLayout::CleanUp()
{
  std::set<const CTKDockingPaneBase*> marked;
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    const TK_DOCKINGPANE_INFO& info = m_lstPanes.GetNext(pos);
    marked.insert(info.pDockingHolder);
    marked.insert(info.pFloatingHolder);
    marked.insert(info.pPane->GetContainer());
  }
  BOOL bDeleted = TRUE;
  while (bDeleted) {
    bDeleted = FALSE;
    for (POSITION pos = m_lstNodes.GetHeadPosition(); pos != nullptr;) {
      const POSITION posNode = pos;
      CTKDockingPaneBase* pNode = m_lstNodes.GetNext(pos);
      CTKDockingPaneBase* pParent = pNode->GetContainer();
      BOOL bDelete = FALSE;
      if (pNode->GetType() == TK_DOCKINGPANE_TABBED) {
        bDelete = marked.count(pNode) == 0;
      } else if (pNode->GetType() == TK_DOCKINGPANE_MINIWND) {
        bDelete = static_cast<CTKDockingPaneMiniWnd*>(pNode)->GetTopSplitter() == nullptr;
        pParent = nullptr;
      } else if (pNode->GetType() == TK_DOCKINGPANE_SPLITTER && pNode != m_pTopContainer) {
        auto* pSplitter = static_cast<CTKDockingPaneSplitterContainer*>(pNode);
        const INT_PTR nChildren = pSplitter->m_lstChildren.GetCount();
        if (nChildren == 0) {
          bDelete = TRUE;
        } else if (nChildren == 1 && pParent != nullptr && pParent->GetType() == TK_DOCKINGPANE_SPLITTER &&
                   static_cast<CTKDockingPaneSplitterContainer*>(pParent)->m_lstChildren.GetCount() == 1) {
          auto* pOuter = static_cast<CTKDockingPaneSplitterContainer*>(pParent);
          CTKDockingPaneBase* pChild = pSplitter->m_lstChildren.RemoveHead();
          pOuter->m_lstChildren.RemoveAll();
          pOuter->m_lstChildren.AddHead(pChild);
          pChild->m_pParentContainer = pOuter;
          pSplitter->m_pParentContainer = nullptr;
          pParent = nullptr;
          bDelete = TRUE;
        }
      }
      if (!bDelete) {
        continue;
      }
      if (pParent != nullptr) {
        pParent->RemovePane(pNode);
      }
      m_lstNodes.RemoveAt(posNode);
      // A group kept only as some pane's last holder goes too: no record may point at it afterwards.
      for (POSITION posInfo = m_lstPanes.GetHeadPosition(); posInfo != nullptr;) {
        TK_DOCKINGPANE_INFO& info = m_lstPanes.GetNext(posInfo);
        for (CTKDockingPaneTabbedContainer** ppHolder :
             {&info.pDockingHolder, &info.pFloatingHolder, &info.pLastHolder}) {
          if (*ppHolder != nullptr && static_cast<CTKDockingPaneBase*>(*ppHolder) == pNode) {
            *ppHolder = nullptr;
          }
        }
      }
      delete pNode;
      bDeleted = TRUE;
      break;
    }
  }
}

// ---- The manager's side

void CTKDockingPaneManager::GetLayout(CTKDockingPaneLayout* pLayout) const { pLayout->Copy(m_pLayout); }

void CTKDockingPaneManager::SetLayout(const CTKDockingPaneLayout* pLayout)
{
  if (pLayout == nullptr || !pLayout->IsComplete() || m_pLayout == nullptr) {
    return;
  }
  for (POSITION pos = m_pLayout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    m_pLayout->m_lstPanes.GetNext(pos).pPane->Detach();
  }
  m_pLayout->Copy(pLayout);
  RecalcFramesLayout();
}
