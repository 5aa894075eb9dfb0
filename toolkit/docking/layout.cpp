#include "toolkit/docking/layout.h"

#include "platform/mfc/ctrlbar.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"

// ---- Caption buttons

BOOL CTKDockingPaneCaptionButton::IsVisible() { return m_pOwner->IsCaptionButtonVisible(this); }

void CTKDockingPaneCaptionButton::SetRect(CRect rc)
{
  if (rc != m_rcButton) {
    m_rcButton = rc;
    m_pOwner->InvalidatePane(FALSE);
  }
}

void CTKDockingPaneCaptionButton::Redraw() { m_pOwner->RedrawPane(); }

BOOL CTKDockingPaneCaptionButton::CheckHot(CPoint point)
{
  const BOOL bHot = m_rcButton.PtInRect(point);
  if (bHot == m_bHot) {
    return FALSE;
  }
  m_bHot = bHot;
  if (bHot) {
    if (HWND hWnd = m_pOwner->GetPaneHwnd(); hWnd != nullptr) {
      TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hWnd, 0};
      ::TrackMouseEvent(&tme);
    }
  }
  Redraw();
  return bHot;
}

BOOL CTKDockingPaneCaptionButton::Click(CWnd* pWnd, CPoint point, BOOL bClient)
{
  HWND hWnd = pWnd->GetSafeHwnd();
  if (::GetCapture() != nullptr && ::GetCapture() != hWnd) {
    return FALSE;
  }
  ::SetCapture(hWnd);
  BOOL bResult = FALSE;
  BOOL bDone = FALSE;
  while (!bDone && ::GetCapture() == hWnd) {
    const BOOL bPressed = m_rcButton.PtInRect(point);
    if (bPressed != m_bPressed) {
      m_bPressed = bPressed;
      Redraw();
    }
    MSG msg{};
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_MOUSEMOVE:
        point = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
        if (!bClient) {
          // Window coordinates: offset by where the client area starts in the window.
          CRect rcWindow;
          ::GetWindowRect(hWnd, &rcWindow);
          POINT ptOrigin{0, 0};
          ::ClientToScreen(hWnd, &ptOrigin);
          point.x += ptOrigin.x - rcWindow.left;
          point.y += ptOrigin.y - rcWindow.top;
        }
        break;
      case WM_LBUTTONUP:
        bResult = m_bPressed;
        bDone = TRUE;
        break;
      case WM_CANCELMODE:
      case WM_RBUTTONDOWN:
        bDone = TRUE;
        break;
      case WM_KEYDOWN:
        bDone = msg.wParam == VK_ESCAPE;
        break;
      case WM_NCMOUSEMOVE:
        break;
      default:
        ::DispatchMessage(&msg);
        break;
    }
  }
  if (::GetCapture() == hWnd) {
    ::ReleaseCapture();
  }
  m_bPressed = FALSE;
  CheckHot(point);
  Redraw();
  return bResult;
}

// ---- The node base

CTKDockingPaneBase::CTKDockingPaneBase(int nType, CTKDockingPaneLayout* pLayout) : m_pLayout(pLayout), m_nType(nType)
{
  m_pDockingSite = pLayout->GetManager() != nullptr ? pLayout->GetManager()->GetSite() : nullptr;
  m_rcWindow.SetRectEmpty();
  pLayout->m_lstNodes.AddTail(this);
}

CTKDockingPaneBase::~CTKDockingPaneBase()
{
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    delete m_arrCaptionButtons[i];
  }
}

CTKDockingPaneManager* CTKDockingPaneBase::GetDockingPaneManager() const { return m_pLayout->GetManager(); }

CTKDockingPanePaintManager* CTKDockingPaneBase::GetPaintManager() const
{
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  return pManager != nullptr ? pManager->GetPaintManager() : nullptr;
}

CRect CTKDockingPaneBase::GetScreenRect() const
{
  CRect rc = m_rcWindow;
  if (m_pDockingSite != nullptr && m_pDockingSite->GetSafeHwnd() != nullptr) {
    m_pDockingSite->ClientToScreen(&rc);
  }
  return rc;
}

void CTKDockingPaneBase::RedrawPane()
{
  if (HWND hWnd = GetPaneHwnd(); hWnd != nullptr && ::IsWindow(hWnd)) {
    ::InvalidateRect(hWnd, nullptr, FALSE);
  }
}

POSITION CTKDockingPaneBase::ContainPane(CTKDockingPaneBase* pPane) const
{
  return pPane == this ? BEFORE_START_POSITION : nullptr;
}

void CTKDockingPaneBase::FindPane(int nType, CTKDockingPaneNodeList* pList)
{
  if (m_nType == nType) {
    pList->AddTail(this);
  }
}

void CTKDockingPaneBase::GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const
{
  *pMinMaxInfo = MINMAXINFO{};
  pMinMaxInfo->ptMaxTrackSize = POINT{32000, 32000};
}

void CTKDockingPaneBase::OnSizeParent(CWnd* /*pSite*/, CRect rect, AFX_SIZEPARENTPARAMS* pParams)
{
  m_rcWindow = rect;
  if (pParams != nullptr) {
    pParams->rect = rect;
  }
}

void CTKDockingPaneBase::InvalidatePane(BOOL bSelectionChanged)
{
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->InvalidatePane(bSelectionChanged);
  }
}

CTKDockingPaneBase* CTKDockingPaneBase::Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                                              DWORD /*dwIgnoredOptions*/)
{
  CTKDockingPaneBase* pClone = GetDockingPaneManager()->OnCreatePane(m_nType, pLayout);
  if (pClone != nullptr && pMap != nullptr) {
    pMap->SetAt(this, pClone);
  }
  return pClone;
}

BOOL CTKDockingPaneBase::IsEmpty() const
{
  const CTKDockingPaneManager* pManager = GetDockingPaneManager();
  return m_nType == TK_DOCKINGPANE_CLIENT && pManager != nullptr && pManager->m_bHideClient;
}

void TKListDockingPanes(CTKDockingPaneBase* pNode, CTKDockingPaneNodeList* pList)
{
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    pList->AddTail(pNode);
    return;
  }
  pNode->FindPane(TK_DOCKINGPANE_PANE, pList);
}

// ---- The pane

CTKDockingPane::CTKDockingPane(CTKDockingPaneLayout* pLayout) : CTKDockingPaneBase(TK_DOCKINGPANE_PANE, pLayout)
{
  EnableAutomation();
}

void CTKDockingPane::SetFocus()
{
  if (m_hwndChild == nullptr) {
    return;
  }
  HWND hFocus = ::GetFocus();
  if (hFocus != m_hwndChild && !::IsChild(m_hwndChild, hFocus)) {
    ::SetFocus(m_hwndChild);
  }
}

CTKImageManagerIcon* CTKDockingPane::GetIcon(int nWidth) const
{
  CTKDockingPaneManager* pManager = m_pLayout != nullptr ? GetDockingPaneManager() : nullptr;
  if (pManager == nullptr) {
    return nullptr;
  }
  return pManager->GetIcon(static_cast<UINT>(m_nIconID == -1 ? m_nID : m_nIconID), nWidth);
}

CString CTKDockingPane::GetTitle() const
{
  const int nBreak = m_strTitle.Find('\n');
  return nBreak < 0 ? m_strTitle : m_strTitle.Left(nBreak);
}

CString CTKDockingPane::GetTabCaption() const
{
  const int nBreak = m_strTitle.Find('\n');
  return nBreak < 0 ? m_strTitle : m_strTitle.Mid(nBreak + 1);
}

COLORREF CTKDockingPane::GetTabColor() const
{
  if (m_clrTab != static_cast<COLORREF>(-1)) {
    return m_clrTab;
  }
  if (m_hwndChild != nullptr) {
    if (auto clr = static_cast<COLORREF>(::SendMessage(m_hwndChild, TK_WM_GETTABCOLOR, 0, 0)); clr != 0) {
      return clr;
    }
  }
  // C++ keeps the remainder's sign with the dividend, as the automatic colours expect.
  return static_cast<COLORREF>(0x1000000 + m_nID % 8);
}

void CTKDockingPane::Copy(const CTKDockingPane* pPane)
{
  m_szDocking = pPane->m_szDocking;
  m_strTitle = pPane->m_strTitle;
  m_nIconID = pPane->m_nIconID;
  m_nOptions = pPane->m_nOptions;
  m_nTag = pPane->m_nTag;
  m_nID = pPane->m_nID;
  m_ptMinTrackSize = pPane->m_ptMinTrackSize;
  m_ptMaxTrackSize = pPane->m_ptMaxTrackSize;
  m_hwndChild = nullptr;
}

void CTKDockingPane::GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const
{
  *pMinMaxInfo = MINMAXINFO{};
  pMinMaxInfo->ptMinTrackSize = m_ptMinTrackSize;
  pMinMaxInfo->ptMaxTrackSize = m_ptMaxTrackSize;
}

void CTKDockingPane::OnSizeParent(CWnd* pSite, CRect rect, AFX_SIZEPARENTPARAMS* pParams)
{
  SetDockingSite(pSite);
  if (pParams != nullptr && pParams->hDWP == nullptr) {
    return;
  }
  m_rcWindow = rect;
  CTKDockingPaneTabbedContainer* pContainer = GetParentTabbed();
  if (m_pDockingSite != nullptr && pContainer != nullptr && pContainer->GetSafeHwnd() != nullptr) {
    CRect rc = rect;
    ::MapWindowPoints(m_pDockingSite->GetSafeHwnd(), pContainer->GetSafeHwnd(), reinterpret_cast<POINT*>(&rc), 2);
    if (m_hwndChild != nullptr) {
      ::MoveWindow(m_hwndChild, rc.left, rc.top, rc.Width(), rc.Height(), TRUE);
    }
  }
}

void CTKDockingPane::OnFocusChanged()
{
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->OnFocusChanged();
  }
}

void CTKDockingPane::SetParentContainer(CTKDockingPaneBase* pContainer)
{
  m_pParentContainer = pContainer;
  if (m_hwndChild == nullptr) {
    if (pContainer == nullptr) {
      m_pDockingSite = nullptr;
    }
    return;
  }
  if (pContainer != nullptr) {
    if (HWND hContainer = pContainer->GetPaneHwnd(); hContainer != nullptr) {
      ::SetParent(m_hwndChild, hContainer);
    }
    return;
  }
  // Closed: the window waits under the manager's own invisible window.
  ::ShowWindow(m_hwndChild, SW_HIDE);
  if (CTKDockingPaneManager* pManager = GetDockingPaneManager(); pManager->GetSafeHwnd() != nullptr) {
    ::SetParent(m_hwndChild, pManager->GetSafeHwnd());
  }
  m_pDockingSite = nullptr;
}

CTKDockingPaneBase* CTKDockingPane::Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                                          DWORD /*dwIgnoredOptions*/)
{
  auto* pClone = static_cast<CTKDockingPane*>(GetDockingPaneManager()->OnCreatePane(m_nType, pLayout));
  pClone->Copy(this);
  if (pMap != nullptr) {
    pMap->SetAt(this, pClone);
  }
  return pClone;
}

BOOL CTKDockingPane::IsHidden() const { return m_pParentContainer != nullptr && m_pParentContainer->IsHidden(); }

void CTKDockingPane::Attach(HWND hWnd)
{
  if (hWnd == nullptr) {
    return;
  }
  m_hwndChild = hWnd;
  GetDockingPaneManager()->RecalcFramesLayout();
  if (m_pParentContainer != nullptr && m_pParentContainer->GetPaneHwnd() != nullptr) {
    ::SetParent(hWnd, m_pParentContainer->GetPaneHwnd());
  }
}

void CTKDockingPane::Detach()
{
  if (m_hwndChild != nullptr) {
    ::ShowWindow(m_hwndChild, SW_HIDE);
    if (CWnd* pSite = GetDockingPaneManager()->GetSite(); pSite != nullptr) {
      ::SetParent(m_hwndChild, pSite->GetSafeHwnd());
    }
    m_hwndChild = nullptr;
  }
  GetDockingPaneManager()->RecalcFramesLayout();
}

void CTKDockingPane::ShowWindowNotify(BOOL bShow)
{
  if (bShow) {
    if (CWnd* pSite = GetDockingPaneManager()->GetSite(); pSite != nullptr) {
      pSite->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_SHOWWINDOW, reinterpret_cast<LPARAM>(this));
    }
  }
  if (m_hwndChild != nullptr) {
    ::ShowWindow(m_hwndChild, bShow ? SW_SHOW : SW_HIDE);
  }
}

void CTKDockingPane::SetID(int nID)
{
  m_nID = nID;
  CString strTitle;
  if (nID > 0 && strTitle.LoadString(static_cast<UINT>(nID))) {
    m_strTitle = strTitle;
  }
}

void CTKDockingPane::SetTitle(const CString& strTitle)
{
  m_strTitle = strTitle;
  InvalidatePane(FALSE);
}

void CTKDockingPane::SetRect(CRect rc)
{
  m_rcWindow = rc;
  m_szDocking = CSize(rc.Width(), rc.Height());
}

int CTKDockingPane::GetOptions() const { return GetDockingPaneManager()->m_nDefaultPaneOptions | m_nOptions; }

void CTKDockingPane::Close() { GetDockingPaneManager()->ClosePane(this); }

void CTKDockingPane::Hide() { GetDockingPaneManager()->AutoHideNode(this); }

CTKDockingPaneTabbedContainer* CTKDockingPane::GetParentTabbed() const
{
  return m_pParentContainer != nullptr && m_pParentContainer->GetType() == TK_DOCKINGPANE_TABBED
             ? static_cast<CTKDockingPaneTabbedContainer*>(m_pParentContainer)
             : nullptr;
}

BOOL CTKDockingPane::IsSelected() const
{
  const CTKDockingPaneTabbedContainer* pContainer = GetParentTabbed();
  return pContainer != nullptr && pContainer->GetSelected() == this;
}

BOOL CTKDockingPane::IsFocused() const
{
  HWND hFocus = ::GetFocus();
  return m_hwndChild != nullptr && hFocus != nullptr && (hFocus == m_hwndChild || ::IsChild(m_hwndChild, hFocus));
}

CWnd* CTKDockingPane::GetContainerSite() const
{
  return m_pParentContainer != nullptr ? m_pParentContainer->GetDockingSite() : nullptr;
}

// ---- The layout

CTKDockingPaneLayout::CTKDockingPaneLayout(CTKDockingPaneManager* pManager) : m_pManager(pManager)
{
  m_pClient = pManager->OnCreatePane(TK_DOCKINGPANE_CLIENT, this);
  m_pTopContainer = pManager->OnCreatePane(TK_DOCKINGPANE_SPLITTER, this);
  static_cast<CTKDockingPaneSplitterContainer*>(m_pTopContainer)->Init(m_pClient, TRUE, pManager->GetSite());
}

CTKDockingPaneLayout::~CTKDockingPaneLayout() { Clear(); }

void CTKDockingPaneLayout::Clear()
{
  // A pane that outlives the layout (the manager's active pane) must not point into freed containers.
  for (POSITION pos = m_lstNodes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pNode = m_lstNodes.GetNext(pos);
    if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
      pNode->m_pParentContainer = nullptr;
      pNode->m_pDockingSite = nullptr;
    }
  }
  while (!m_lstNodes.IsEmpty()) {
    CTKDockingPaneBase* pNode = m_lstNodes.RemoveTail();
    if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
      static_cast<CTKDockingPane*>(pNode)->InternalRelease();
    } else {
      delete pNode;
    }
  }
  m_lstPanes.RemoveAll();
  for (CTKDockingPaneBase*& pPanel : m_wndPanels) {
    pPanel = nullptr;
  }
  m_pTopContainer = nullptr;
  m_pClient = nullptr;
}

BOOL CTKDockingPaneLayout::IsComplete() const
{
  return m_pTopContainer != nullptr && m_pClient != nullptr && m_pClient->GetType() == TK_DOCKINGPANE_CLIENT &&
         m_pManager != nullptr;
}

TK_DOCKINGPANE_INFO* CTKDockingPaneLayout::FindPaneInfo(CTKDockingPane* pPane)
{
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    TK_DOCKINGPANE_INFO& info = m_lstPanes.GetNext(pos);
    if (info.pPane == pPane) {
      return &info;
    }
  }
  return nullptr;
}

CTKDockingPaneSplitterContainer* CTKDockingPaneLayout::GetTopContainer() const
{
  return static_cast<CTKDockingPaneSplitterContainer*>(m_pTopContainer);
}

int CTKDockingPaneLayout::GetPaneDirection(const CTKDockingPaneBase* pNode) const
{
  const CTKDockingPaneBase* pChild = pNode;
  for (const CTKDockingPaneBase* pParent = pNode->GetContainer(); pParent != nullptr;
       pChild = pParent, pParent = pParent->GetContainer()) {
    if (pParent->GetType() == TK_DOCKINGPANE_AUTOHIDE) {
      for (int nDirection = 0; nDirection < 4; ++nDirection) {
        if (m_wndPanels[nDirection] == pParent) {
          return nDirection;
        }
      }
      return 0;
    }
    if (pParent->GetType() != TK_DOCKINGPANE_SPLITTER) {
      continue;
    }
    POSITION posClient = pParent->ContainPane(m_pClient);
    if (posClient == nullptr) {
      continue;
    }
    const auto* pSplitter = static_cast<const CTKDockingPaneSplitterContainer*>(pParent);
    const BOOL bBefore = pSplitter->IsChildBefore(pChild, posClient);
    if (pSplitter->IsHoriz()) {
      return bBefore ? TK_DOCK_LEFT : TK_DOCK_RIGHT;
    }
    return bBefore ? TK_DOCK_TOP : TK_DOCK_BOTTOM;
  }
  return TK_DOCK_LEFT;
}
