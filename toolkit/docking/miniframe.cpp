#include "toolkit/docking/miniframe.h"

#include "platform/mfc/ctrlbar.h"
#include "toolkit/docking/dragcontext.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/prop_exchange.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/paint/tooltip_context.h"

#include <algorithm>

namespace {

constexpr UINT kIdsHide = 61457;

// The non-empty groups under a node, in tree order.
void ListGroups(CTKDockingPaneBase* pNode, CTKDockingPaneNodeList* pList)
{
  CTKDockingPaneNodeList lstAll;
  pNode->FindPane(TK_DOCKINGPANE_TABBED, &lstAll);
  for (POSITION pos = lstAll.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pGroup = lstAll.GetNext(pos);
    if (!pGroup->IsEmpty()) {
      pList->AddTail(pGroup);
    }
  }
}

}  // namespace

BEGIN_MESSAGE_MAP(CTKDockingPaneMiniWnd, CMiniFrameWnd)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_SETFOCUS()
  ON_WM_TIMER()
  ON_WM_GETMINMAXINFO()
  ON_WM_NCHITTEST()
  ON_WM_NCCALCSIZE()
  ON_WM_NCPAINT()
  ON_WM_NCMOUSEMOVE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_NCRBUTTONDOWN()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CTKDockingPaneMiniWnd::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CTKDockingPaneMiniWnd::CTKDockingPaneMiniWnd(CTKDockingPaneLayout* pLayout)
    : CTKDockingPaneBase(TK_DOCKINGPANE_MINIWND, pLayout)
{
  m_arrCaptionButtons.Add(new CTKDockingPaneCaptionButton(TK_IDS_DOCKINGPANE_CLOSE, this));
  m_arrCaptionButtons.Add(new CTKDockingPaneCaptionButton(TK_IDS_DOCKINGPANE_AUTOHIDE, this));
  m_arrCaptionButtons.Add(new CTKDockingPaneCaptionButton(TK_IDS_DOCKINGPANE_MENU, this));
}

CTKDockingPaneMiniWnd::~CTKDockingPaneMiniWnd()
{
  if (GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
}

BOOL CTKDockingPaneMiniWnd::IsThemed() const
{
  const CTKDockingPaneManager* pManager = GetDockingPaneManager();
  return pManager != nullptr && pManager->m_bThemedFloatingFrames;
}

int CTKDockingPaneMiniWnd::CaptionHeight() const
{
  const CTKDockingPanePaintManager* pPaintManager = GetPaintManager();
  return pPaintManager != nullptr ? pPaintManager->GetCaptionHeight() : 0;
}

BOOL CTKDockingPaneMiniWnd::CreateAt(CRect rc)
{
  // A frame saved on a screen that is gone, or dropped beyond the edge, must come back where it can be reached.
  const CRect rcWork = CTKDrawHelpers::GetWorkArea(rc);
  if (rc.right <= rcWork.left || rc.left >= rcWork.right) {
    rc.OffsetRect(rc.right <= rcWork.left ? rcWork.left - rc.left : rcWork.right - rc.right, 0);
  }
  if (rc.bottom <= rcWork.top || rc.top >= rcWork.bottom) {
    rc.OffsetRect(0, rc.bottom <= rcWork.top ? rcWork.top - rc.top : rcWork.bottom - rc.bottom);
  }
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  CWnd* pSite = pManager->GetSite();
  const DWORD dwExStyle =
      pSite != nullptr && pSite->GetSafeHwnd() != nullptr && (pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0
          ? WS_EX_LAYOUTRTL
          : 0;
  DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | MFS_BLOCKSYSMENU;
  if (pManager->m_bSyncActiveFloatingFrames) {
    dwStyle |= MFS_SYNCACTIVE;
  }
  if (!CMiniFrameWnd::CreateEx(dwExStyle, nullptr, "", dwStyle, rc, pSite, 0)) {
    return FALSE;
  }
  m_rcWindow = rc;
  if (HMENU hMenu = ::GetSystemMenu(m_hWnd, FALSE); hMenu != nullptr) {
    ::DeleteMenu(hMenu, SC_MINIMIZE, MF_BYCOMMAND);
    ::DeleteMenu(hMenu, SC_MAXIMIZE, MF_BYCOMMAND);
    ::DeleteMenu(hMenu, SC_RESTORE, MF_BYCOMMAND);
    CString strHide;
    if (strHide.LoadString(kIdsHide) && !strHide.IsEmpty()) {
      ::DeleteMenu(hMenu, SC_CLOSE, MF_BYCOMMAND);
      ::AppendMenu(hMenu, MF_STRING, SC_CLOSE, strHide);
    }
  }
  m_bCloseEnabled = TRUE;
  if (IsThemed()) {
    ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
  }
  return TRUE;
}

BOOL CTKDockingPaneMiniWnd::CreateWithNode(CTKDockingPaneBase* pNode, CRect rc)
{
  if (!CreateAt(rc)) {
    return FALSE;
  }
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    pNode = pManager->WrapPane(static_cast<CTKDockingPane*>(pNode), this);
  }
  auto* pSplitter =
      static_cast<CTKDockingPaneSplitterContainer*>(pManager->OnCreatePane(TK_DOCKINGPANE_SPLITTER, m_pLayout));
  pSplitter->Init(pNode, TRUE, this);
  m_pTopSplitter = pSplitter;
  pSplitter->m_pParentContainer = this;
  OnChildContainerChanged(pSplitter);
  DelayRecalcLayout();
  return TRUE;
}

void CTKDockingPaneMiniWnd::RecalcLayout(BOOL /*bNotify*/)
{
  m_nIdleFlags &= ~(idleLayout | idleNotify);
  if (m_pTopSplitter == nullptr || GetSafeHwnd() == nullptr) {
    return;
  }
  if (m_pTopSplitter->IsEmpty()) {
    ShowWindow(SW_HIDE);
    if (m_bCollapsed) {
      ToggleCollapse();
    }
    return;
  }
  CRect rcClient;
  GetClientRect(&rcClient);
  AFX_SIZEPARENTPARAMS params;
  params.hDWP = ::BeginDeferWindowPos(8);
  m_pTopSplitter->OnSizeParent(this, rcClient, &params);
  if (params.hDWP != nullptr) {
    ::EndDeferWindowPos(params.hDWP);
  }
  // The drag context takes the content's screen rectangle as the whole frame's.
  CRect rcFrame;
  CWnd::GetWindowRect(&rcFrame);
  ScreenToClient(&rcFrame);
  m_pTopSplitter->m_rcWindow = rcFrame;
  GetDockingPaneManager()->RecordPaneHolders();
}

void CTKDockingPaneMiniWnd::RedrawPane()
{
  if (IsThemed() && GetSafeHwnd() != nullptr) {
    SendMessage(WM_NCPAINT);
  }
}

void CTKDockingPaneMiniWnd::OnChildContainerChanged(CTKDockingPaneBase* /*pContainer*/) { InvalidatePane(FALSE); }

void CTKDockingPaneMiniWnd::InvalidatePane(BOOL /*bSelectionChanged*/)
{
  if (m_pTopSplitter == nullptr || GetSafeHwnd() == nullptr) {
    return;
  }
  CTKDockingPaneNodeList lstGroups;
  ListGroups(m_pTopSplitter, &lstGroups);
  const INT_PTR nGroups = lstGroups.GetCount();
  for (POSITION pos = lstGroups.GetHeadPosition(); pos != nullptr;) {
    static_cast<CTKDockingPaneTabbedContainer*>(lstGroups.GetNext(pos))->SetCaptionShown(nGroups != 1);
  }
  const CString strTitle = nGroups == 1
                               ? static_cast<CTKDockingPaneTabbedContainer*>(lstGroups.GetHead())->GetTitle()
                               : GetDockingPaneManager()->m_strFloatingFrameCaption;
  CString strOld;
  GetWindowText(strOld);
  if (strOld != strTitle) {
    SetWindowText(strTitle);
  }
  if (nGroups > 0) {
    if (!IsWindowVisible()) {
      ShowWindow(SW_SHOWNA);
    }
    BOOL bCloseEnabled = FALSE;
    CTKDockingPaneNodeList lstPanes;
    m_pTopSplitter->FindPane(TK_DOCKINGPANE_PANE, &lstPanes);
    for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
      if ((static_cast<CTKDockingPane*>(lstPanes.GetNext(pos))->GetOptions() & TK_PANE_NOCLOSEABLE) == 0) {
        bCloseEnabled = TRUE;
      }
    }
    if (!bCloseEnabled || !m_bCloseEnabled) {
      if (HMENU hMenu = ::GetSystemMenu(m_hWnd, FALSE); hMenu != nullptr) {
        ::EnableMenuItem(hMenu, SC_CLOSE, MF_BYCOMMAND | (bCloseEnabled ? MF_ENABLED : MF_GRAYED));
      }
      m_bCloseEnabled = bCloseEnabled;
    }
    CRect rc;
    CWnd::GetWindowRect(&rc);
    MoveWindow(rc, TRUE);
  }
  SendMessage(WM_NCPAINT);
}

BOOL CTKDockingPaneMiniWnd::IsEmpty() const { return m_pTopSplitter == nullptr || m_pTopSplitter->IsEmpty(); }

POSITION CTKDockingPaneMiniWnd::ContainPane(CTKDockingPaneBase* pPane) const
{
  if (pPane == this) {
    return BEFORE_START_POSITION;
  }
  return m_pTopSplitter != nullptr ? m_pTopSplitter->ContainPane(pPane) : nullptr;
}

void CTKDockingPaneMiniWnd::FindPane(int nType, CTKDockingPaneNodeList* pList)
{
  if (m_pTopSplitter == nullptr) {
    return;
  }
  if (nType == TK_DOCKINGPANE_SPLITTER) {
    pList->AddTail(m_pTopSplitter);
  }
  m_pTopSplitter->FindPane(nType, pList);
}

void CTKDockingPaneMiniWnd::RemovePane(CTKDockingPaneBase* pPane)
{
  pPane->m_pParentContainer = nullptr;
  m_pTopSplitter = nullptr;
  if (GetSafeHwnd() != nullptr) {
    ShowWindow(SW_HIDE);
  }
  if (m_bCollapsed) {
    ToggleCollapse();
  }
}

CTKDockingPane* CTKDockingPaneMiniWnd::GetSelectedPane() const
{
  if (m_pTopSplitter == nullptr) {
    return nullptr;
  }
  CTKDockingPaneNodeList lstGroups;
  ListGroups(m_pTopSplitter, &lstGroups);
  return lstGroups.GetCount() == 1 ? static_cast<CTKDockingPaneTabbedContainer*>(lstGroups.GetHead())->GetSelected()
                                   : nullptr;
}

BOOL CTKDockingPaneMiniWnd::IsCaptionButtonVisible(CTKDockingPaneCaptionButton* pButton)
{
  switch (pButton->GetID()) {
    case TK_IDS_DOCKINGPANE_CLOSE:
      return m_bCloseEnabled;
    case TK_IDS_DOCKINGPANE_AUTOHIDE:
      pButton->m_dwState = m_bCollapsed ? 2 : 0;
      return TRUE;
    case TK_IDS_DOCKINGPANE_MENU: {
      const CTKDockingPane* pPane = GetSelectedPane();
      return pPane != nullptr && (pPane->GetOptions() & TK_PANE_HASMENUBUTTON) != 0;
    }
    default:
      return TRUE;
  }
}

void CTKDockingPaneMiniWnd::UpdateCaptionStyle()
{
  if (GetSafeHwnd() == nullptr) {
    return;
  }
  const BOOL bThemed = IsThemed();
  if (bThemed) {
    ModifyStyle(WS_BORDER, 0);
  } else {
    ModifyStyle(0, WS_BORDER);
    if (m_bCollapsed) {
      ToggleCollapse();
    }
  }
  SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (bThemed && m_bCollapsed) {
    ApplyRollStep(FALSE);
  }
}

// ---- Rolling up

void CTKDockingPaneMiniWnd::Collapse()
{
  m_nStepsCount = 128 / static_cast<int>(kStepDelay);
  m_nStep = m_nStepsCount;
  CRect rc;
  CWnd::GetWindowRect(&rc);
  m_nExpandedHeight = rc.Height();
  m_bCollapsed = TRUE;
  m_bExpanded = TRUE;
  m_bSlideOut = FALSE;
  m_nDeactivationCount = 6;
  SetTimer(kWatchTimer, 100, nullptr);
}

void CTKDockingPaneMiniWnd::ToggleCollapse()
{
  if (GetSafeHwnd() == nullptr) {
    return;
  }
  if (m_bCollapsed) {
    if (m_nStep != m_nStepsCount || !m_bExpanded) {
      CRect rc;
      CWnd::GetWindowRect(&rc);
      SetWindowPos(nullptr, 0, 0, rc.Width(), m_nExpandedHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_bCollapsed = FALSE;
    m_bExpanded = FALSE;
    m_bSlideOut = FALSE;
    KillTimer(kWatchTimer);
    KillTimer(kRollTimer);
  } else {
    Collapse();
  }
  SendMessage(WM_NCPAINT);
}

void CTKDockingPaneMiniWnd::ApplyRollStep(BOOL bBringToTop)
{
  CRect rc;
  CWnd::GetWindowRect(&rc);
  const int nHeight =
      std::max(CaptionHeight() + 8, m_nStepsCount > 0 ? m_nStep * m_nExpandedHeight / m_nStepsCount : 0);
  // No window to insert after: the top of the z-order, unless the order is kept.
  SetWindowPos(nullptr, 0, 0, rc.Width(), nHeight, SWP_NOMOVE | SWP_NOACTIVATE | (bBringToTop ? 0 : SWP_NOZORDER));
  Invalidate(FALSE);
}

void CTKDockingPaneMiniWnd::TemporaryExpand()
{
  if (!m_bCollapsed || m_nStep > 0) {
    return;
  }
  m_bExpanded = TRUE;
  m_nStep = m_nStepsCount;
  ApplyRollStep(TRUE);
  m_nDeactivationCount = 8;
  SetTimer(kWatchTimer, 100, nullptr);
}

void CTKDockingPaneMiniWnd::OnTimer(UINT_PTR nIDEvent)
{
  if (nIDEvent == kWatchTimer) {
    const HWND hFocus = ::GetFocus();
    if (hFocus != nullptr && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus))) {
      return;
    }
    CPoint pt;
    ::GetCursorPos(&pt);
    CRect rc;
    CWnd::GetWindowRect(&rc);
    if (rc.PtInRect(pt) || ::GetCapture() != nullptr || m_bSlideOut) {
      return;
    }
    if (--m_nDeactivationCount > 0) {
      return;
    }
    // A resize made while the frame was shown is kept.
    if (m_nStep == m_nStepsCount) {
      m_nExpandedHeight = rc.Height();
    }
    m_bSlideOut = TRUE;
    SetTimer(kRollTimer, kStepDelay, nullptr);
    KillTimer(kWatchTimer);
    return;
  }
  if (nIDEvent == kRollTimer && m_bSlideOut) {
    --m_nStep;
    if (m_nStep >= 0) {
      ApplyRollStep(FALSE);
    } else {
      m_bSlideOut = FALSE;
      m_bExpanded = FALSE;
      KillTimer(kRollTimer);
    }
    return;
  }
  if (nIDEvent == kHotTimer) {
    CPoint pt;
    ::GetCursorPos(&pt);
    if (::WindowFromPoint(pt) != m_hWnd) {
      PostMessage(WM_NCMOUSEMOVE, 0, 0);
      KillTimer(kHotTimer);
    }
    return;
  }
  CMiniFrameWnd::OnTimer(nIDEvent);
}

// ---- Window messages

LRESULT CTKDockingPaneMiniWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (const CTKDockingPaneManager* pManager = GetDockingPaneManager(); pManager != nullptr) {
    if (CTKToolTipContext* pContext = pManager->GetToolTipContext(); pContext != nullptr) {
      pContext->FilterToolTipMessage(this, message, wParam, lParam);
    }
  }
  return CMiniFrameWnd::WindowProc(message, wParam, lParam);
}

void CTKDockingPaneMiniWnd::OnClose()
{
  if (m_pTopSplitter == nullptr) {
    return;
  }
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  CTKDockingPaneNodeList lstPanes;
  m_pTopSplitter->FindPane(TK_DOCKINGPANE_PANE, &lstPanes);
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    auto* pPane = static_cast<CTKDockingPane*>(lstPanes.GetNext(pos));
    if ((pPane->GetOptions() & TK_PANE_NOCLOSEABLE) != 0 || pManager->NotifyAction(tkActionClosing, pPane) != 0) {
      continue;
    }
    pPane->Close();
    pManager->NotifyAction(tkActionClosed, pPane);
  }
}

void CTKDockingPaneMiniWnd::OnDestroy()
{
  CWnd::GetWindowRect(&m_rcWindow);
  CMiniFrameWnd::OnDestroy();
}

void CTKDockingPaneMiniWnd::OnSetFocus(CWnd* pOldWnd)
{
  CMiniFrameWnd::OnSetFocus(pOldWnd);
  if (CTKDockingPane* pPane = GetSelectedPane(); pPane != nullptr) {
    pPane->SetFocus();
  }
}

void CTKDockingPaneMiniWnd::OnGetMinMaxInfo(MINMAXINFO* pMinMaxInfo)
{
  CMiniFrameWnd::OnGetMinMaxInfo(pMinMaxInfo);
  if (m_pTopSplitter == nullptr || (m_bCollapsed && !m_bExpanded) || m_bSlideOut) {
    return;
  }
  CRect rcWindow;
  CRect rcClient;
  CWnd::GetWindowRect(&rcWindow);
  GetClientRect(&rcClient);
  const int dx = rcWindow.Width() - rcClient.Width();
  const int dy = rcWindow.Height() - rcClient.Height();
  MINMAXINFO info{};
  info.ptMinTrackSize = POINT{0, 0};
  info.ptMaxTrackSize = POINT{32000, 32000};
  m_pTopSplitter->GetMinMaxInfo(&info);
  pMinMaxInfo->ptMinTrackSize.x = std::max<LONG>(pMinMaxInfo->ptMinTrackSize.x, info.ptMinTrackSize.x + dx);
  pMinMaxInfo->ptMinTrackSize.y = std::max<LONG>(pMinMaxInfo->ptMinTrackSize.y, info.ptMinTrackSize.y + dy);
  pMinMaxInfo->ptMaxTrackSize.x = std::min<LONG>(pMinMaxInfo->ptMaxTrackSize.x, info.ptMaxTrackSize.x + dx);
  pMinMaxInfo->ptMaxTrackSize.y = std::min<LONG>(pMinMaxInfo->ptMaxTrackSize.y, info.ptMaxTrackSize.y + dy);
}

LRESULT CTKDockingPaneMiniWnd::OnNcHitTest(CPoint point)
{
  const LRESULT nHit = CMiniFrameWnd::OnNcHitTest(point);
  if (IsThemed() && nHit == HTNOWHERE) {
    CRect rc;
    CWnd::GetWindowRect(&rc);
    if (point.y - rc.top < CaptionHeight() + 4) {
      return HTCAPTION;
    }
  }
  return nHit;
}

void CTKDockingPaneMiniWnd::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* pParams)
{
  if (IsThemed()) {
    RECT& rc = pParams->rgrc[0];
    rc.left -= 1;
    rc.right += 1;
    rc.bottom += 1;
    rc.top += CaptionHeight() + 2 - 1;
  }
  CMiniFrameWnd::OnNcCalcSize(bCalcValidRects, pParams);
}

void CTKDockingPaneMiniWnd::OnNcPaint()
{
  if (!IsThemed()) {
    Default();
    return;
  }
  CWindowDC dc(this);
  CRect rc;
  CWnd::GetWindowRect(&rc);
  rc.OffsetRect(-rc.left, -rc.top);
  if (CTKDockingPanePaintManager* pPaintManager = GetPaintManager(); pPaintManager != nullptr) {
    pPaintManager->DrawFloatingFrame(&dc, this, rc);
  }
}

CTKDockingPaneCaptionButton* CTKDockingPaneMiniWnd::ButtonAt(CPoint ptWindow) const
{
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    CTKDockingPaneCaptionButton* pButton = m_arrCaptionButtons[i];
    if (pButton->IsVisible() && pButton->GetRect().PtInRect(ptWindow)) {
      return pButton;
    }
  }
  return nullptr;
}

INT_PTR CTKDockingPaneMiniWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
  if (GetSafeHwnd() == nullptr) {
    return -1;
  }
  // The buttons sit in the caption, placed in window coordinates.
  CRect rcWindow;
  CWnd::GetWindowRect(&rcWindow);
  CPoint ptClientOrigin(0, 0);
  ::ClientToScreen(m_hWnd, &ptClientOrigin);
  const int dx = ptClientOrigin.x - rcWindow.left;
  const int dy = ptClientOrigin.y - rcWindow.top;
  CTKDockingPaneCaptionButton* pButton = ButtonAt(CPoint(point.x + dx, point.y + dy));
  if (pButton == nullptr) {
    return -1;
  }
  CString strTip;
  TKResourceManager()->LoadString(&strTip, static_cast<UINT>(pButton->GetID()));
  if (strTip.IsEmpty()) {
    return -1;
  }
  CRect rcTool = pButton->GetRect();
  rcTool.OffsetRect(-dx, -dy);
  CTKToolTipContext::FillInToolInfo(pTI, m_hWnd, rcTool, pButton->GetID(), strTip);
  return pButton->GetID();
}

void CTKDockingPaneMiniWnd::OnNcMouseMove(UINT nHitTest, CPoint point)
{
  CMiniFrameWnd::OnNcMouseMove(nHitTest, point);
  if (IsThemed()) {
    CRect rc;
    CWnd::GetWindowRect(&rc);
    BOOL bChanged = FALSE;
    for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
      bChanged |= m_arrCaptionButtons[i]->CheckHot(point - rc.TopLeft());
    }
    if (bChanged) {
      SetTimer(kHotTimer, 100, nullptr);
    }
  }
  TemporaryExpand();
}

void CTKDockingPaneMiniWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
  if (IsThemed()) {
    CRect rc;
    CWnd::GetWindowRect(&rc);
    if (CTKDockingPaneCaptionButton* pButton = ButtonAt(point - rc.TopLeft()); pButton != nullptr) {
      if (!OnCaptionButtonDown(pButton) && pButton->Click(this, point - rc.TopLeft(), FALSE)) {
        OnCaptionButtonClick(pButton);
      }
      return;
    }
  }
  if (nHitTest == HTCAPTION && m_pTopSplitter != nullptr) {
    if (CWnd* pTop = GetTopLevelParent(); pTop != nullptr) {
      pTop->SetActiveWindow();
    }
    BringWindowToTop();
    GetDockingPaneManager()->GetDockingContext()->Drag(m_pTopSplitter, point);
    return;
  }
  CMiniFrameWnd::OnNcLButtonDown(nHitTest, point);
}

void CTKDockingPaneMiniWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint point)
{
  if (nHitTest != HTCAPTION) {
    CMiniFrameWnd::OnNcLButtonDblClk(nHitTest, point);
    return;
  }
  if (m_bCollapsed) {
    ToggleCollapse();
  } else if (m_pTopSplitter != nullptr) {
    GetDockingPaneManager()->ToggleDocking(m_pTopSplitter);
  }
}

void CTKDockingPaneMiniWnd::OnNcRButtonDown(UINT nHitTest, CPoint point)
{
  if (nHitTest == HTCAPTION && m_pTopSplitter != nullptr) {
    CTKDockingPane* pPane = GetSelectedPane();
    if (pPane == nullptr) {
      CTKDockingPaneNodeList lstGroups;
      ListGroups(m_pTopSplitter, &lstGroups);
      for (POSITION pos = lstGroups.GetHeadPosition(); pos != nullptr && pPane == nullptr;) {
        auto* pGroup = static_cast<CTKDockingPaneTabbedContainer*>(lstGroups.GetNext(pos));
        if (pGroup->IsActive()) {
          pPane = pGroup->GetSelected();
        }
      }
    }
    if (pPane != nullptr) {
      pPane->SetFocus();
      TK_DOCKINGPANE_MENU menu{};
      menu.pPane = pPane;
      menu.pt = point;
      menu.rc = RECT{0, 0, 0, 0};
      if (GetDockingPaneManager()->GetSite()->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_CONTEXTMENU,
                                                          reinterpret_cast<LPARAM>(&menu)) != 0) {
        return;
      }
    }
  }
  CMiniFrameWnd::OnNcRButtonDown(nHitTest, point);
}

LRESULT CTKDockingPaneMiniWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
{
  if (IsThemed()) {
    const HWND hFocus = ::GetFocus();
    const BOOL bActive = hFocus != nullptr && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus));
    if (bActive != m_bActive) {
      m_bActive = bActive;
      SendMessage(WM_NCPAINT);
    }
  }
  return CMiniFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
}

BOOL CTKDockingPaneMiniWnd::OnCaptionButtonDown(CTKDockingPaneCaptionButton* pButton)
{
  if (pButton->GetID() != TK_IDS_DOCKINGPANE_MENU) {
    return FALSE;
  }
  CTKDockingPane* pPane = GetSelectedPane();
  if (pPane == nullptr) {
    return TRUE;
  }
  m_bActive = TRUE;
  pButton->m_bPressed = TRUE;
  pButton->Redraw();
  CRect rcWindow;
  CWnd::GetWindowRect(&rcWindow);
  CRect rcButton = pButton->GetRect();
  rcButton.OffsetRect(rcWindow.left, rcWindow.top);
  TK_DOCKINGPANE_MENU menu{};
  menu.pPane = pPane;
  menu.pt = POINT{rcButton.left, rcButton.bottom};
  menu.rc = rcButton;
  GetDockingPaneManager()->GetSite()->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_CONTEXTMENU,
                                                  reinterpret_cast<LPARAM>(&menu));
  pButton->m_bPressed = FALSE;
  pButton->Redraw();
  return TRUE;
}

void CTKDockingPaneMiniWnd::OnCaptionButtonClick(CTKDockingPaneCaptionButton* pButton)
{
  if (pButton->GetID() == TK_IDS_DOCKINGPANE_CLOSE) {
    OnClose();
  } else if (pButton->GetID() == TK_IDS_DOCKINGPANE_AUTOHIDE) {
    ToggleCollapse();
  }
}

// ---- Persistence and copies

BOOL CTKDockingPaneMiniWnd::DoPropExchange(CTKPropExchange* pPX)
{
  CTKDockingPaneBase::DoPropExchange(pPX);
  if (!pPX->IsLoading() && GetSafeHwnd() != nullptr) {
    CWnd::GetWindowRect(&m_rcWindow);
  }
  int nTop = m_rcWindow.top;
  int nBottom = m_rcWindow.bottom;
  int nLeft = m_rcWindow.left;
  int nRight = m_rcWindow.right;
  PX_IntNoDefault(pPX, "WindowRectTopPos", nTop);
  PX_IntNoDefault(pPX, "WindowRectBottomPos", nBottom);
  PX_IntNoDefault(pPX, "WindowRectLeftPos", nLeft);
  PX_IntNoDefault(pPX, "WindowRectRightPos", nRight);
  m_rcWindow = CRect(nLeft, nTop, nRight, nBottom);
  PX_Bool(pPX, "Collapsed", m_bCollapsed, FALSE);
  PX_Int(pPX, "ExpandedHeight", m_nExpandedHeight, 0);
  int nTopIndex = m_pTopSplitter != nullptr ? m_pTopSplitter->m_nIndex : 0;
  PX_IntNoDefault(pPX, "TopContaner", nTopIndex);
  if (!pPX->IsLoading()) {
    return TRUE;
  }
  CTKDockingPaneBase* pNode = m_pLayout->GetLoadingNode(nTopIndex);
  if (pNode == nullptr || pNode->GetType() != TK_DOCKINGPANE_SPLITTER || !m_pLayout->ClaimLoadingNode(pNode, this)) {
    return FALSE;
  }
  m_pTopSplitter = static_cast<CTKDockingPaneSplitterContainer*>(pNode);
  m_pTopSplitter->m_pParentContainer = this;
  return TRUE;
}

void CTKDockingPaneMiniWnd::CopyFrom(CTKDockingPaneMiniWnd* pSource, CTKDockingPaneNodeMap* pMap)
{
  if (pSource->m_pTopSplitter != nullptr) {
    m_pTopSplitter = static_cast<CTKDockingPaneSplitterContainer*>(pSource->m_pTopSplitter->Clone(m_pLayout, pMap, 0));
    m_pTopSplitter->m_pParentContainer = this;
    m_pTopSplitter->m_pDockingSite = this;
  }
  m_rcWindow = pSource->m_rcWindow;
  if (pSource->GetSafeHwnd() != nullptr) {
    pSource->CWnd::GetWindowRect(&m_rcWindow);
  }
  m_bCollapsed = pSource->m_bCollapsed;
  m_nExpandedHeight = pSource->m_nExpandedHeight;
  if (m_bCollapsed) {
    m_rcWindow.bottom = m_rcWindow.top + CaptionHeight() + 8;
  }
  if (!m_pLayout->IsUserLayout()) {
    return;
  }
  CreateAt(m_rcWindow);
  if (m_pTopSplitter != nullptr) {
    m_pTopSplitter->OnParentContainerChanged(m_pTopSplitter);
  }
  OnChildContainerChanged(this);
}

CTKDockingPaneBase* CTKDockingPaneMiniWnd::Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                                                 DWORD /*dwIgnoredOptions*/)
{
  auto* pClone =
      static_cast<CTKDockingPaneMiniWnd*>(GetDockingPaneManager()->OnCreatePane(TK_DOCKINGPANE_MINIWND, pLayout));
  pClone->CopyFrom(this, pMap);
  if (pMap != nullptr) {
    pMap->SetAt(this, pClone);
  }
  return pClone;
}

// ---- Floating and docking back

void CTKDockingPaneManager::FloatNodeAt(CTKDockingPaneBase* pNode, CRect rc)
{
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    if (CTKDockingPaneBase* pParent = pNode->GetContainer(); pParent != nullptr) {
      pParent->RemovePane(pNode);
    }
  } else {
    // The panes move into a copy; the emptied containers stay where they were as the panes' holders.
    pNode = pNode->Clone(m_pLayout, nullptr, 0);
  }
  auto* pFrame = static_cast<CTKDockingPaneMiniWnd*>(OnCreatePane(TK_DOCKINGPANE_MINIWND, m_pLayout));
  pFrame->CreateWithNode(pNode, rc);
}

namespace {

// Neither floating nor auto-hidden.
BOOL IsDocked(CTKDockingPaneBase* pNode)
{
  for (CTKDockingPaneBase* pParent = pNode->GetContainer(); pParent != nullptr; pParent = pParent->GetContainer()) {
    if (pParent->GetType() == TK_DOCKINGPANE_AUTOHIDE) {
      return FALSE;
    }
  }
  return dynamic_cast<CTKDockingPaneMiniWnd*>(pNode->GetDockingSite()) == nullptr;
}

}  // namespace

BOOL CTKDockingPaneManager::FloatOrDockPane(CTKDockingPane* pPane, CTKDockingPaneTabbedContainer* pHolder)
{
  const BOOL bDocked = IsDocked(pPane);
  if (bDocked && (pPane->GetOptions() & TK_PANE_NOFLOATABLE) != 0) {
    return FALSE;
  }
  if (NotifyAction(bDocked ? tkActionFloating : tkActionDocking, pPane, pHolder) != 0) {
    return FALSE;
  }
  if (pHolder != nullptr) {
    m_bDockingIntoHolder = TRUE;
    MoveNodeToContainer(pPane, pHolder);
    m_bDockingIntoHolder = FALSE;
  } else {
    CTKDockingPaneBase* pParent = pPane->GetContainer();
    FloatNodeAt(pPane, pParent != nullptr ? pParent->GetScreenRect() : CRect(0, 0, 200, 200));
  }
  NotifyAction(bDocked ? tkActionFloated : tkActionDocked, pPane);
  return TRUE;
}

void CTKDockingPaneManager::ToggleDocking(CTKDockingPaneBase* pNode)
{
  const BOOL bFloating = IsDocked(pNode);
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    auto* pPane = static_cast<CTKDockingPane*>(pNode);
    FloatOrDockPane(pPane, GetPaneHolder(pPane, bFloating));
    return;
  }
  CTKDockingPaneNodeList lstPanes;
  pNode->FindPane(TK_DOCKINGPANE_PANE, &lstPanes);
  int nSelectedID = 0;
  int nFocusedID = 0;
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    auto* pPane = static_cast<CTKDockingPane*>(lstPanes.GetNext(pos));
    if (pPane->IsSelected()) {
      nSelectedID = pPane->GetID();
    }
    if (pPane->IsFocused()) {
      nFocusedID = pPane->GetID();
    }
  }
  CTKDockingPaneTabbedContainer* pPreviousHolder = nullptr;
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    auto* pPane = static_cast<CTKDockingPane*>(lstPanes.GetNext(pos));
    CTKDockingPaneTabbedContainer* pHolder = GetPaneHolder(pPane, bFloating);
    if (pHolder == nullptr) {
      pHolder = pPreviousHolder;
    }
    if (!FloatOrDockPane(pPane, pHolder)) {
      nSelectedID = nSelectedID == pPane->GetID() ? 0 : nSelectedID;
      nFocusedID = nFocusedID == pPane->GetID() ? 0 : nFocusedID;
    }
    pPreviousHolder = GetPaneHolder(pPane, bFloating);
  }
  const int nShow = nFocusedID != 0 ? nFocusedID : nSelectedID;
  if (nShow > 0) {
    ShowPane(FindPane(nShow), TRUE);
  }
}
