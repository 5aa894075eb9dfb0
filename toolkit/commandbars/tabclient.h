// The client of an MDI frame that shows its child windows as tabs in one or more tab groups (workspaces). What
// is here is what the command bars ask of it: a refresh after they lay out, and which group commands apply to
// the active child. Making, drawing and running the groups belong to a client of the application's own.
#pragma once

#include "platform/mfc/frame.h"
#include "platform/mfc-core/array.h"
#include "toolkit/docking/tabs/tab_manager.h"

class CTKCommandBars;

inline constexpr int TK_ID_WORKSPACE_MOVEPREVIOUS = 9420;
inline constexpr int TK_ID_WORKSPACE_MOVENEXT = 9421;
inline constexpr int TK_ID_WORKSPACE_NEWHORIZONTAL = 9422;
inline constexpr int TK_ID_WORKSPACE_NEWVERTICAL = 9423;

class CTKTabClientWnd : public CWnd {
  DECLARE_DYNAMIC(CTKTabClientWnd)
public:
  int GetWorkspaceCount() const { return static_cast<int>(m_arrWorkspaces.GetSize()); }
  // The tabs of one group; their data are the children's window handles.
  CTKTabManager* GetWorkspace(int nIndex) const { return m_arrWorkspaces[nIndex]; }
  int FindWorkspaceIndex(CTKTabManager* pManager) const;
  CTKTabManagerItem* FindTab(HWND hWnd) const;
  void ScreenToWorkspace(CPoint& point) const;
  CFrameWnd* GetActiveChild() const;

  // Rebuilds the tabs and their hot tracking; with bRecalc the frame lays out again. Never re-entered.
  void Refresh(BOOL bRecalc = TRUE);
  // Whether a group command (9420-9423) applies to the active child; its tab goes to *ppItem.
  BOOL IsWorkspaceCommandEnabled(UINT nID, CTKTabManagerItem** ppItem = nullptr) const;

  virtual void UpdateContents() {}
  virtual CTKCommandBars* GetCommandBars() const { return nullptr; }
  // The window a group's tabs live in.
  virtual CWnd* GetWorkspaceWindow(int /*nIndex*/) const { return nullptr; }

  CArray<CTKTabManager*, CTKTabManager*> m_arrWorkspaces;
  CMDIFrameWnd* m_pParentFrame = nullptr;
  BOOL m_bRefreshLock = FALSE;
  BOOL m_bHorizSplitting = FALSE;
  BOOL m_bEnableGroups = FALSE;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void OnMouseMoveClient(CPoint point);
};
