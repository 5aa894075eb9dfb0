#include "toolkit/commandbars/tabclient.h"

#include "toolkit/commandbars/commandbars.h"

IMPLEMENT_DYNAMIC(CTKTabClientWnd, CWnd)

int CTKTabClientWnd::FindWorkspaceIndex(CTKTabManager* pManager) const
{
  for (int i = 0; i < GetWorkspaceCount(); ++i)
    if (m_arrWorkspaces[i] == pManager)
      return i;
  return -1;
}

CTKTabManagerItem* CTKTabClientWnd::FindTab(HWND hWnd) const
{
  for (int i = 0; i < GetWorkspaceCount(); ++i)
    if (CTKTabManagerItem* pItem = m_arrWorkspaces[i]->FindTabByData(reinterpret_cast<DWORD_PTR>(hWnd)))
      return pItem;
  return nullptr;
}

void CTKTabClientWnd::ScreenToWorkspace(CPoint& point) const
{
  if (m_bEnableGroups) {
    ScreenToClient(&point);
  } else if (CWnd* pWindow = GetWorkspaceCount() > 0 ? GetWorkspaceWindow(0) : nullptr) {
    pWindow->ScreenToClient(&point);
  }
}

CFrameWnd* CTKTabClientWnd::GetActiveChild() const
{
  return m_pParentFrame ? m_pParentFrame->MDIGetActive() : nullptr;
}

void CTKTabClientWnd::Refresh(BOOL bRecalc)
{
  if (!m_pParentFrame || m_bRefreshLock)
    return;
  m_bRefreshLock = TRUE;
  UpdateContents();
  if (GetWorkspaceCount() > 0) {
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToWorkspace(point);
    if (m_bEnableGroups)
      OnMouseMoveClient(point);
    else
      m_arrWorkspaces[0]->PerformMouseMove(GetWorkspaceWindow(0), point);
  } else if (GetSafeHwnd()) {
    Invalidate(FALSE);
  }
  if (bRecalc) {
    // The frame's layout that follows sizes the client again.
    if (m_bEnableGroups && GetSafeHwnd())
      SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER);
    if (CTKCommandBars* pCommandBars = GetCommandBars())
      pCommandBars->RecalcFrameLayout(FALSE);
  }
  m_bRefreshLock = FALSE;
}

BOOL CTKTabClientWnd::IsWorkspaceCommandEnabled(UINT nID, CTKTabManagerItem** ppItem) const
{
  if (!m_bEnableGroups)
    return FALSE;
  CFrameWnd* pActive = GetActiveChild();
  if (!pActive)
    return FALSE;
  CTKTabManagerItem* pItem = FindTab(pActive->GetSafeHwnd());
  if (!pItem)
    return FALSE;
  if (ppItem)
    *ppItem = pItem;
  int nWorkspace = -1;
  for (int i = 0; i < GetWorkspaceCount() && nWorkspace == -1; ++i)
    if (m_arrWorkspaces[i]->FindTabByData(pItem->GetData()) == pItem)
      nWorkspace = i;
  if (nWorkspace == -1)
    return FALSE;
  BOOL bSeveralTabs = m_arrWorkspaces[nWorkspace]->GetTabCount() > 1;
  BOOL bOneGroup = GetWorkspaceCount() == 1;
  switch (nID) {
  case TK_ID_WORKSPACE_MOVEPREVIOUS: return nWorkspace > 0;
  case TK_ID_WORKSPACE_MOVENEXT: return nWorkspace < GetWorkspaceCount() - 1;
  case TK_ID_WORKSPACE_NEWHORIZONTAL: return (bOneGroup || m_bHorizSplitting) && bSeveralTabs;
  case TK_ID_WORKSPACE_NEWVERTICAL: return (bOneGroup || !m_bHorizSplitting) && bSeveralTabs;
  default: return TRUE;
  }
}

void CTKTabClientWnd::OnMouseMoveClient(CPoint point)
{
  for (int i = 0; i < GetWorkspaceCount(); ++i)
    m_arrWorkspaces[i]->PerformMouseMove(this, point);
}

BOOL CTKTabClientWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == WM_MOUSEMOVE && m_bEnableGroups)
    OnMouseMoveClient(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
  return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}
