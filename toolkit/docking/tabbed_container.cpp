#include "toolkit/docking/tabbed_container.h"

#include "platform/mfc/ctrlbar.h"
#include "toolkit/docking/dragcontext.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/paint/tooltip_context.h"

#include <algorithm>

namespace {

constexpr int kPinHidden = 3;   // lying: the group is auto-hidden
constexpr int kPinDocked = 1;   // upright in the main frame
constexpr int kPinFloating = 0;

}  // namespace

BEGIN_MESSAGE_MAP(CTKDockingPaneTabbedContainer, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSELEAVE()
  ON_WM_CAPTURECHANGED()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_HELPHITTEST, &CTKDockingPaneTabbedContainer::OnHelpHitTest)
END_MESSAGE_MAP()

CTKDockingPaneTabbedContainer::CTKDockingPaneTabbedContainer(CTKDockingPaneLayout* pLayout)
    : CTKDockingPaneBase(TK_DOCKINGPANE_TABBED, pLayout)
{
  for (int nID : {TK_IDS_DOCKINGPANE_CLOSE, TK_IDS_DOCKINGPANE_MAXIMIZE, TK_IDS_DOCKINGPANE_RESTORE,
                  TK_IDS_DOCKINGPANE_AUTOHIDE, TK_IDS_DOCKINGPANE_MENU}) {
    m_arrCaptionButtons.Add(new CTKDockingPaneCaptionButton(nID, this));
  }
}

CTKDockingPaneTabbedContainer::~CTKDockingPaneTabbedContainer()
{
  if (GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
}

void CTKDockingPaneTabbedContainer::DelaySiteLayout() const
{
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pDockingSite); pFrame != nullptr) {
    pFrame->DelayRecalcLayout();
  }
}

void CTKDockingPaneTabbedContainer::CreateContainerWindow()
{
  if (GetSafeHwnd() != nullptr || !m_pLayout->IsUserLayout() || m_pDockingSite == nullptr ||
      m_pDockingSite->GetSafeHwnd() == nullptr) {
    return;
  }
  LPCSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0,
           m_pDockingSite->GetSafeHwnd(), nullptr);
  m_dropTarget.Register(this);
}

void CTKDockingPaneTabbedContainer::OnDestroy()
{
  m_dropTarget.Revoke();
  CWnd::OnDestroy();
}

DROPEFFECT CTKDockingPaneTabbedContainer::CDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject,
                                                                  DWORD dwKeyState, CPoint point)
{
  return OnDragOver(pWnd, pDataObject, dwKeyState, point);
}

DROPEFFECT CTKDockingPaneTabbedContainer::CDropTarget::OnDragOver(CWnd* /*pWnd*/, COleDataObject* /*pDataObject*/,
                                                                 DWORD /*dwKeyState*/, CPoint point)
{
  const CTKTabPaintManager* pTabPaint = m_pContainer->GetTabPaintManager();
  if (pTabPaint != nullptr && pTabPaint->m_bSelectOnDragOver) {
    const int nHit = m_pContainer->HitTest(point);
    if (CTKDockingPane* pPane = nHit >= 0 ? m_pContainer->GetPaneByTab(nHit) : nullptr; pPane != nullptr) {
      m_pContainer->SelectPane(pPane, FALSE, FALSE);
    }
  }
  return DROPEFFECT_NONE;
}

void CTKDockingPaneTabbedContainer::InsertPane(CTKDockingPane* pPane, BOOL bSetFocus)
{
  CreateContainerWindow();
  m_lstPanes.AddTail(pPane);
  pPane->SetParentContainer(this);
  pPane->SetDockingSite(m_pDockingSite);
  DelaySiteLayout();
  SelectPane(pPane, bSetFocus, TRUE);
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->OnChildContainerChanged(this);
  }
}

void CTKDockingPaneTabbedContainer::InitWithPane(CTKDockingPane* pPane, CWnd* pSite)
{
  m_pDockingSite = pSite;
  m_szDocking = pPane->m_szDocking;
  m_rcWindow = pPane->m_rcWindow;
  InsertPane(pPane, TRUE);
  SelectPane(pPane, TRUE, TRUE);
}

void CTKDockingPaneTabbedContainer::SelectPane(CTKDockingPane* pPane, BOOL bSetFocus, BOOL bNotify)
{
  if (pPane != m_pSelectedPane) {
    m_pSelectedPane = pPane;
    if (bNotify) {
      DelaySiteLayout();
      if (m_pParentContainer != nullptr) {
        m_pParentContainer->OnChildContainerChanged(this);
      }
    } else {
      InvalidatePane(TRUE);
    }
  }
  if (bSetFocus) {
    if (m_bActive) {
      GetDockingPaneManager()->OnActivatePane(TRUE, m_pSelectedPane);
    }
    if (pPane != nullptr) {
      pPane->SetFocus();
    }
  }
}

void CTKDockingPaneTabbedContainer::RemovePane(CTKDockingPaneBase* pNode)
{
  auto* pPane = static_cast<CTKDockingPane*>(pNode);
  POSITION pos = m_lstPanes.Find(pPane);
  if (pos == nullptr) {
    return;
  }
  m_lstPanes.RemoveAt(pos);
  if (m_pTrackingPane == pPane) {
    m_pTrackingPane = nullptr;
  }
  UpdateTabs();
  pPane->SetParentContainer(nullptr);
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->OnChildContainerChanged(this);
  }
  if (m_lstPanes.IsEmpty() && GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
  DelaySiteLayout();
  if (m_pSelectedPane == pPane) {
    m_pSelectedPane = nullptr;
    SelectPane(m_lstPanes.IsEmpty() ? nullptr : m_lstPanes.GetTail(), TRUE, TRUE);
  }
}

BOOL CTKDockingPaneTabbedContainer::IsCaptionVertical() const
{
  switch (GetDockingPaneManager()->m_nCaptionDirection) {
    case 0:
      return FALSE;
    case 1:
      return TRUE;
    case 2: {
      const int nDirection = m_pLayout->GetPaneDirection(this);
      return nDirection == TK_DOCK_TOP || nDirection == TK_DOCK_BOTTOM;
    }
    case 3:
      return m_rcWindow.Width() > m_rcWindow.Height();
    default:
      return TRUE;
  }
}

BOOL CTKDockingPaneTabbedContainer::IsTabsVisible() const
{
  // Inside a slide-out window tabs never show; the slide-out windows do not exist yet, so nothing to test here.
  const CTKDockingPanePaintManager* pPaint = GetPaintManager();
  return GetSafeHwnd() != nullptr &&
         (m_lstPanes.GetCount() > 1 || (pPaint != nullptr && pPaint->m_bDrawSingleTab));
}

BOOL CTKDockingPaneTabbedContainer::IsCaptionVisible() const
{
  return m_bCaptionShown && m_pSelectedPane != nullptr && (m_pSelectedPane->GetOptions() & TK_PANE_NOCAPTION) == 0;
}

void CTKDockingPaneTabbedContainer::SetCaptionShown(BOOL bShown)
{
  m_bCaptionShown = bShown;
  DelaySiteLayout();
}

CString CTKDockingPaneTabbedContainer::GetTitle() const
{
  return m_pSelectedPane != nullptr ? m_pSelectedPane->GetTitle() : CString();
}

POSITION CTKDockingPaneTabbedContainer::ContainPane(CTKDockingPaneBase* pPane) const
{
  if (pPane == this) {
    return BEFORE_START_POSITION;
  }
  // Compared as nodes: the node need not be a pane at all.
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    POSITION posPane = pos;
    if (static_cast<CTKDockingPaneBase*>(m_lstPanes.GetNext(pos)) == pPane) {
      return posPane;
    }
  }
  return nullptr;
}

void CTKDockingPaneTabbedContainer::FindPane(int nType, CTKDockingPaneNodeList* pList)
{
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPane* pPane = m_lstPanes.GetNext(pos);
    if (pPane->GetType() == nType) {
      pList->AddTail(pPane);
    }
  }
}

void CTKDockingPaneTabbedContainer::GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const
{
  CTKDockingPaneBase::GetMinMaxInfo(pMinMaxInfo);
  if (m_lstPanes.IsEmpty()) {
    return;
  }
  if (IsMinimised()) {
    const auto* pSplitter = static_cast<const CTKDockingPaneSplitterContainer*>(m_pParentContainer);
    (pSplitter->IsHoriz() ? pMinMaxInfo->ptMaxTrackSize.x : pMinMaxInfo->ptMaxTrackSize.y) = 0;
  } else {
    BOOL bFirst = TRUE;
    for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
      MINMAXINFO mmi{};
      m_lstPanes.GetNext(pos)->GetMinMaxInfo(&mmi);
      if (bFirst) {
        pMinMaxInfo->ptMinTrackSize = mmi.ptMinTrackSize;
        pMinMaxInfo->ptMaxTrackSize = mmi.ptMaxTrackSize;
        bFirst = FALSE;
        continue;
      }
      pMinMaxInfo->ptMinTrackSize.x = std::max(pMinMaxInfo->ptMinTrackSize.x, mmi.ptMinTrackSize.x);
      pMinMaxInfo->ptMinTrackSize.y = std::max(pMinMaxInfo->ptMinTrackSize.y, mmi.ptMinTrackSize.y);
      pMinMaxInfo->ptMaxTrackSize.x = std::min(pMinMaxInfo->ptMaxTrackSize.x, mmi.ptMaxTrackSize.x);
      pMinMaxInfo->ptMaxTrackSize.y = std::min(pMinMaxInfo->ptMaxTrackSize.y, mmi.ptMaxTrackSize.y);
    }
  }
  // Caption and tabs take their room on top of what the panes need.
  CRect rc(0, 0, 1000, 1000);
  const_cast<CTKDockingPaneTabbedContainer*>(this)->AdjustClient(rc, FALSE);
  const LONG cx = 1000 - rc.Width();
  const LONG cy = 1000 - rc.Height();
  pMinMaxInfo->ptMinTrackSize.x += cx;
  pMinMaxInfo->ptMinTrackSize.y += cy;
  pMinMaxInfo->ptMaxTrackSize.x += cx;
  pMinMaxInfo->ptMaxTrackSize.y += cy;
}

void CTKDockingPaneTabbedContainer::AdjustClient(CRect& rect, BOOL bReposition)
{
  if (CTKDockingPanePaintManager* pPaint = GetPaintManager(); pPaint != nullptr) {
    pPaint->AdjustTabsClientRect(this, rect, bReposition);
  }
}

void CTKDockingPaneTabbedContainer::SetPinState()
{
  int nState = kPinDocked;
  if (IsHidden()) {
    nState = kPinHidden;
  } else if (m_pDockingSite != nullptr && GetDockingPaneManager()->GetSite() != m_pDockingSite) {
    nState = kPinFloating;
  }
  if (CTKDockingPaneCaptionButton* pPin = FindCaptionButton(TK_IDS_DOCKINGPANE_AUTOHIDE); pPin != nullptr) {
    pPin->m_dwState = static_cast<DWORD>(nState);
  }
}

void CTKDockingPaneTabbedContainer::LayoutPanes(CRect rcClient, AFX_SIZEPARENTPARAMS* pParams)
{
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPane* pPane = m_lstPanes.GetNext(pos);
    pPane->ShowWindowNotify(pPane == m_pSelectedPane);
    pPane->OnSizeParent(m_pDockingSite, rcClient, pParams);
  }
}

void CTKDockingPaneTabbedContainer::OnSizeParent(CWnd* pSite, CRect rect, AFX_SIZEPARENTPARAMS* pParams)
{
  SetDockingSite(pSite);
  m_rcWindow = rect;
  if (pParams != nullptr && pParams->hDWP == nullptr) {
    return;
  }
  if (GetSafeHwnd() != nullptr) {
    ::SetWindowPos(m_hWnd, HWND_BOTTOM, rect.left, rect.top, rect.Width(), rect.Height(), 0);
    Invalidate(FALSE);
  }
  UpdateTabs();
  SetPinState();
  CRect rcClient = rect;
  AdjustClient(rcClient, TRUE);
  LayoutPanes(rcClient, pParams);
}

void CTKDockingPaneTabbedContainer::InvalidatePane(BOOL bSelectionChanged)
{
  if (GetSafeHwnd() == nullptr || m_pParentContainer == nullptr || m_nLockReposition > 0) {
    return;
  }
  UpdateTabs();
  CRect rcClient = m_rcWindow;
  AdjustClient(rcClient, TRUE);
  if (bSelectionChanged) {
    LayoutPanes(rcClient, nullptr);
  }
  Invalidate(FALSE);
  m_pParentContainer->InvalidatePane(bSelectionChanged);
}

void CTKDockingPaneTabbedContainer::SetDockingSite(CWnd* pSite)
{
  m_pDockingSite = pSite;
  if (GetSafeHwnd() != nullptr && pSite != nullptr && ::GetParent(m_hWnd) != pSite->GetSafeHwnd()) {
    ::SetParent(m_hWnd, pSite->GetSafeHwnd());
  }
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    m_lstPanes.GetNext(pos)->SetDockingSite(pSite);
  }
}

void CTKDockingPaneTabbedContainer::UpdateTabs()
{
  if (GetSafeHwnd() == nullptr) {
    return;
  }
  ++m_nLockReposition;
  for (INT_PTR i = 0; i < m_arrTabs.GetSize(); ++i) {
    m_arrTabs[i]->InternalRelease();
  }
  m_arrTabs.RemoveAll();
  m_pSelected = nullptr;
  m_pHighlighted = nullptr;
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPane* pPane = m_lstPanes.GetNext(pos);
    CTKTabManagerItem* pItem = InsertTab(-1);
    pItem->m_strCaption = pPane->GetTabCaption();
    pItem->SetColor(pPane->GetTabColor());
    pItem->m_strToolTip = pPane->GetTitle();
    pItem->m_pObject = pPane;
    if (pPane == m_pSelectedPane) {
      m_pSelected = pItem;
    }
  }
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    m_arrCaptionButtons[i]->m_bHot = FALSE;
  }
  --m_nLockReposition;
}

void CTKDockingPaneTabbedContainer::Reposition()
{
  if (m_nLockReposition > 0 || GetSafeHwnd() == nullptr) {
    return;
  }
  CRect rc = m_rcWindow;
  AdjustClient(rc, TRUE);
}

void CTKDockingPaneTabbedContainer::OnTabsChanged()
{
  CTKTabManager::OnTabsChanged();
  if (m_nLockReposition == 0) {
    GetDockingPaneManager()->RecalcFramesLayout();
  }
}

void CTKDockingPaneTabbedContainer::RequestRedraw()
{
  if (m_nLockReposition == 0 && GetSafeHwnd() != nullptr) {
    Invalidate(FALSE);
  }
}

CTKTabPaintManager* CTKDockingPaneTabbedContainer::GetTabPaintManager() const
{
  const CTKDockingPanePaintManager* pPaint = GetPaintManager();
  return pPaint != nullptr ? pPaint->GetPanelPaintManager() : nullptr;
}

BOOL CTKDockingPaneTabbedContainer::DrawTabIcon(CDC* pDC, int x, int y, CTKTabManagerItem* pItem, BOOL bDraw,
                                                CSize& szIcon)
{
  if (pItem == nullptr) {
    return TRUE;
  }
  const CTKTabPaintManager* pTabPaint = GetTabPaintManager();
  auto* pPane = static_cast<CTKDockingPane*>(pItem->m_pObject);
  CTKImageManagerIcon* pIcon = pPane != nullptr ? pPane->GetIcon(szIcon.cx) : nullptr;
  if (pIcon == nullptr || pTabPaint == nullptr || !pTabPaint->m_bShowIcons) {
    return FALSE;
  }
  if (bDraw) {
    CTKImageManagerIconHandle& image = pItem->IsSelected() ? pIcon->GetCheckedIcon()
                                       : pItem->IsHot()    ? pIcon->GetHotIcon()
                                                           : pIcon->GetIcon();
    pIcon->DrawImage(pDC, CPoint(x, y), image, szIcon.cx, szIcon.cy);
  }
  return TRUE;
}

LRESULT CTKDockingPaneTabbedContainer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (const CTKDockingPaneManager* pManager = GetDockingPaneManager(); pManager != nullptr) {
    if (CTKToolTipContext* pContext = pManager->GetToolTipContext(); pContext != nullptr) {
      pContext->FilterToolTipMessage(this, message, wParam, lParam);
    }
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

INT_PTR CTKDockingPaneTabbedContainer::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
  const INT_PTR nHit = CWnd::OnToolHitTest(point, pTI);
  if (nHit != -1) {
    return nHit;
  }
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    CTKDockingPaneCaptionButton* pButton = m_arrCaptionButtons[i];
    if (!pButton->IsVisible() || !pButton->GetRect().PtInRect(point)) {
      continue;
    }
    CString strTip;
    TKResourceManager()->LoadString(&strTip, static_cast<UINT>(pButton->GetID()));
    if (strTip.IsEmpty()) {
      return -1;
    }
    CTKToolTipContext::FillInToolInfo(pTI, m_hWnd, pButton->GetRect(), pButton->GetID(), strTip);
    return pButton->GetID();
  }
  const int nTab = HitTest(point);
  return nTab >= 0 ? FillTabToolInfo(const_cast<CTKDockingPaneTabbedContainer*>(this), GetTab(nTab), pTI) : -1;
}

void CTKDockingPaneTabbedContainer::OnFocusChanged()
{
  if (GetSafeHwnd() == nullptr) {
    return;
  }
  HWND hFocus = ::GetFocus();
  BOOL bActive = hFocus != nullptr && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus));
  if (!bActive && hFocus != nullptr) {
    HWND hOwner = ::GetWindow(hFocus, GW_OWNER);
    if (hOwner == nullptr) {
      hOwner = ::GetParent(hFocus);
    }
    bActive = hOwner != nullptr && (hOwner == m_hWnd || ::IsChild(m_hWnd, hOwner));
  }
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  if (bActive != m_bActive) {
    m_bActive = bActive;
    pManager->OnActivatePane(bActive, m_pSelectedPane);
    Invalidate(FALSE);
  } else if (bActive && pManager->GetActivePane() != m_pSelectedPane) {
    pManager->OnActivatePane(TRUE, m_pSelectedPane);
  }
  if (m_pSelectedPane != nullptr && m_pSelectedPane->GetHwnd() != nullptr) {
    ::SendMessage(m_pSelectedPane->GetHwnd(), WM_IDLEUPDATECMDUI, 0, 0);
  }
}

void CTKDockingPaneTabbedContainer::OnParentContainerChanged(CTKDockingPaneBase* pContainer)
{
  SetDockingSite(pContainer->GetDockingSite());
  m_bCaptionShown = TRUE;
  if (pContainer->GetType() == TK_DOCKINGPANE_AUTOHIDE && GetSafeHwnd() != nullptr) {
    ShowWindow(SW_HIDE);
  }
}

void CTKDockingPaneTabbedContainer::CopyFrom(CTKDockingPaneTabbedContainer* pContainer,
                                             CTKDockingPaneNodeMap* pMap, DWORD dwIgnoredOptions)
{
  m_bActive = FALSE;
  m_pDockingSite = GetDockingPaneManager()->GetSite();
  m_pTrackingPane = nullptr;
  m_pSelectedPane = nullptr;
  m_rcWindow = pContainer->m_rcWindow;
  m_szDocking = pContainer->m_szDocking;
  m_bCaptionShown = TRUE;
  m_nLockReposition = 0;
  CTKDockingPane* pSelected = nullptr;
  // Copy the list: moving panes takes them out of the source.
  CList<CTKDockingPane*, CTKDockingPane*> lstPanes;
  lstPanes.AddTail(&pContainer->m_lstPanes);
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPane* pPane = lstPanes.GetNext(pos);
    if (pMap != nullptr) {
      auto* pClone = static_cast<CTKDockingPane*>(pPane->Clone(m_pLayout, pMap, dwIgnoredOptions));
      InsertPane(pClone, FALSE);
      if (pPane == pContainer->m_pSelectedPane) {
        pSelected = pClone;
      }
    } else if ((static_cast<DWORD>(pPane->GetOptions()) & dwIgnoredOptions) == 0) {
      const BOOL bWasSelected = pPane == pContainer->m_pSelectedPane;
      pContainer->RemovePane(pPane);
      InsertPane(pPane, FALSE);
      if (bWasSelected) {
        pSelected = pPane;
      }
    }
  }
  if (pSelected != nullptr) {
    SelectPane(pSelected, FALSE, TRUE);
  }
}

CTKDockingPaneBase* CTKDockingPaneTabbedContainer::Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                                                         DWORD dwIgnoredOptions)
{
  auto* pClone = static_cast<CTKDockingPaneTabbedContainer*>(
      GetDockingPaneManager()->OnCreatePane(TK_DOCKINGPANE_TABBED, pLayout));
  pClone->CopyFrom(this, pMap, dwIgnoredOptions);
  if (pMap != nullptr) {
    pMap->SetAt(this, pClone);
  }
  return pClone;
}

CTKDockingPaneCaptionButton* CTKDockingPaneTabbedContainer::FindCaptionButton(int nID) const
{
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    if (m_arrCaptionButtons[i]->GetID() == nID) {
      return m_arrCaptionButtons[i];
    }
  }
  return nullptr;
}

BOOL CTKDockingPaneTabbedContainer::IsCaptionButtonVisible(CTKDockingPaneCaptionButton* pButton)
{
  const int nOptions = m_pSelectedPane != nullptr ? m_pSelectedPane->GetOptions() : 0;
  switch (pButton->GetID()) {
    case TK_IDS_DOCKINGPANE_AUTOHIDE:
      return m_pSelectedPane != nullptr && (nOptions & TK_PANE_NOHIDEABLE) == 0 &&
             (pButton->m_dwState == kPinDocked || pButton->m_dwState == kPinHidden);
    case TK_IDS_DOCKINGPANE_CLOSE:
      return m_pSelectedPane != nullptr && (nOptions & TK_PANE_NOCLOSEABLE) == 0;
    case TK_IDS_DOCKINGPANE_MAXIMIZE:
      return CanMaximise() && !m_bMaximized;
    case TK_IDS_DOCKINGPANE_RESTORE:
      return CanMaximise() && m_bMaximized;
    case TK_IDS_DOCKINGPANE_MENU:
      return m_pSelectedPane != nullptr && (nOptions & TK_PANE_HASMENUBUTTON) != 0;
    default:
      return TRUE;
  }
}

BOOL CTKDockingPaneTabbedContainer::IsHidden() const
{
  return m_pParentContainer != nullptr && m_pParentContainer->GetType() == TK_DOCKINGPANE_AUTOHIDE;
}

void CTKDockingPaneTabbedContainer::RedrawPane()
{
  if (GetSafeHwnd() != nullptr) {
    Invalidate(FALSE);
  }
}

int CTKDockingPaneTabbedContainer::HitTest(CPoint point) const
{
  CRect rcClient;
  GetClientRect(&rcClient);
  if (IsCaptionVisible() && rcClient.PtInRect(point)) {
    CRect rcRest = rcClient;
    if (const CTKDockingPanePaintManager* pPaint = GetPaintManager(); pPaint != nullptr) {
      const_cast<CTKDockingPanePaintManager*>(pPaint)->AdjustCaptionRect(this, rcRest);
    }
    if (!rcRest.PtInRect(point)) {
      return -2;
    }
  }
  if (IsTabsVisible()) {
    if (const CTKTabManagerItem* pItem = TabFromPoint(point); pItem != nullptr) {
      return pItem->GetIndex();
    }
  }
  return -1;
}

CTKDockingPane* CTKDockingPaneTabbedContainer::GetPaneByTab(int nIndex) const
{
  const CTKTabManagerItem* pItem = GetTab(nIndex);
  return pItem != nullptr ? static_cast<CTKDockingPane*>(pItem->m_pObject) : nullptr;
}

BOOL CTKDockingPaneTabbedContainer::CanMaximise() const
{
  if (m_pParentContainer == nullptr || m_pParentContainer->GetType() != TK_DOCKINGPANE_SPLITTER ||
      !GetDockingPaneManager()->m_bShowMaximizeButton) {
    return FALSE;
  }
  CTKDockingPaneNodeList lst;
  static_cast<const CTKDockingPaneSplitterContainer*>(m_pParentContainer)->FindChildren(TK_DOCKINGPANE_TABBED, &lst);
  return lst.GetCount() > 1;
}

void CTKDockingPaneTabbedContainer::Maximise()
{
  CTKDockingPaneNodeList lst;
  static_cast<CTKDockingPaneSplitterContainer*>(m_pParentContainer)->FindChildren(TK_DOCKINGPANE_TABBED, &lst);
  for (POSITION pos = lst.GetHeadPosition(); pos != nullptr;) {
    static_cast<CTKDockingPaneTabbedContainer*>(lst.GetNext(pos))->m_bMaximized = FALSE;
  }
  m_bMaximized = TRUE;
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pDockingSite); pFrame != nullptr) {
    pFrame->RecalcLayout();
  }
}

void CTKDockingPaneTabbedContainer::Restore()
{
  m_bMaximized = FALSE;
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pDockingSite); pFrame != nullptr) {
    pFrame->RecalcLayout();
  }
}

BOOL CTKDockingPaneTabbedContainer::IsMinimised() const
{
  if (m_bMaximized || !CanMaximise()) {
    return FALSE;
  }
  CTKDockingPaneNodeList lst;
  static_cast<const CTKDockingPaneSplitterContainer*>(m_pParentContainer)->FindChildren(TK_DOCKINGPANE_TABBED, &lst);
  for (POSITION pos = lst.GetHeadPosition(); pos != nullptr;) {
    if (static_cast<CTKDockingPaneTabbedContainer*>(lst.GetNext(pos))->m_bMaximized) {
      return TRUE;
    }
  }
  return FALSE;
}

void CTKDockingPaneTabbedContainer::StoreExtent()
{
  const int nDirection = m_pLayout->GetPaneDirection(this);
  const BOOL bHoriz = nDirection == TK_DOCK_LEFT || nDirection == TK_DOCK_RIGHT;
  const int nExtent = bHoriz ? m_rcWindow.Width() : m_rcWindow.Height();
  SetExtent(bHoriz, nExtent);
  for (POSITION pos = m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPane* pPane = m_lstPanes.GetNext(pos);
    if (!pPane->IsEmpty()) {
      pPane->SetExtent(bHoriz, nExtent);
    }
  }
}

void CTKDockingPaneTabbedContainer::FocusSelected()
{
  if (m_pSelectedPane != nullptr) {
    m_pSelectedPane->SetFocus();
  } else if (GetSafeHwnd() != nullptr) {
    ::SetFocus(m_hWnd);
  }
  GetDockingPaneManager()->UpdatePanesFocus();
}

void CTKDockingPaneTabbedContainer::OnCaptionButtonClick(CTKDockingPaneCaptionButton* pButton)
{
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  switch (pButton->GetID()) {
    case TK_IDS_DOCKINGPANE_CLOSE: {
      CList<CTKDockingPane*, CTKDockingPane*> lstClose;
      if (pManager->m_bCloseGroupOnButtonClick) {
        for (POSITION pos = m_lstPanes.GetTailPosition(); pos != nullptr;) {
          lstClose.AddTail(m_lstPanes.GetPrev(pos));
        }
      } else if (m_pSelectedPane != nullptr) {
        lstClose.AddTail(m_pSelectedPane);
      }
      for (POSITION pos = lstClose.GetHeadPosition(); pos != nullptr;) {
        CTKDockingPane* pPane = lstClose.GetNext(pos);
        if ((pPane->GetOptions() & TK_PANE_NOCLOSEABLE) != 0 ||
            pManager->NotifyAction(tkActionClosing, pPane) != 0) {
          continue;
        }
        pPane->Close();
        pManager->NotifyAction(tkActionClosed, pPane);
      }
      break;
    }
    case TK_IDS_DOCKINGPANE_MAXIMIZE:
      Maximise();
      break;
    case TK_IDS_DOCKINGPANE_RESTORE:
      Restore();
      break;
    case TK_IDS_DOCKINGPANE_AUTOHIDE:
      if (IsHidden()) {
        pManager->ToggleDocking(pManager->m_bHideGroupOnButtonClick ? static_cast<CTKDockingPaneBase*>(this)
                                                                    : m_pSelectedPane);
      } else if (CTKDockingPane* pPane = m_pSelectedPane;
                 pPane != nullptr && pManager->NotifyAction(tkActionPinning, pPane) == 0) {
        StoreExtent();
        pPane->Hide();
        pManager->NotifyAction(tkActionPinned, pPane);
      }
      break;
    default:
      break;
  }
}

void CTKDockingPaneTabbedContainer::OnPaint()
{
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CTKBufferDC buffer(dc.GetSafeHdc(), rc);
  if (CTKDockingPanePaintManager* pPaint = GetPaintManager(); pPaint != nullptr) {
    pPaint->DrawPane(&buffer, this, rc);
  }
}

void CTKDockingPaneTabbedContainer::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    CTKDockingPaneCaptionButton* pButton = m_arrCaptionButtons[i];
    if (pButton->IsVisible() && pButton->GetRect().PtInRect(point)) {
      FocusSelected();
      if (pButton->GetID() == TK_IDS_DOCKINGPANE_MENU) {
        SendMenuNotify(pButton);
        return;
      }
      if (pButton->Click(this, point) && m_pSelectedPane != nullptr) {
        OnCaptionButtonClick(pButton);
      }
      return;
    }
  }
  const int nHit = HitTest(point);
  if (nHit >= 0) {
    m_arrTabRects.RemoveAll();
    for (int i = 0; i < GetTabCount(); ++i) {
      m_arrTabRects.Add(GetTab(i)->GetRect());
    }
    m_pTrackingPane = GetPaneByTab(nHit);
    SelectPane(m_pTrackingPane, TRUE, FALSE);
    PerformMouseMove(this, point);
    SetCapture();
    Invalidate(FALSE);
    return;
  }
  if (nHit == -2) {
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    OnCaptionLButtonDown(ptScreen);
    return;
  }
  FocusSelected();
}

void CTKDockingPaneTabbedContainer::OnCaptionLButtonDown(CPoint ptScreen)
{
  FocusSelected();
  if (::GetKeyState(VK_LBUTTON) < 0) {
    GetDockingPaneManager()->GetDockingContext()->Drag(this, ptScreen);
  }
}

void CTKDockingPaneTabbedContainer::SendMenuNotify(CTKDockingPaneCaptionButton* pButton)
{
  if (m_pSelectedPane == nullptr) {
    return;
  }
  CRect rc = pButton->GetRect();
  ClientToScreen(&rc);
  TK_DOCKINGPANE_MENU menu{m_pSelectedPane, {rc.left, rc.bottom}, rc};
  pButton->m_bPressed = TRUE;
  pButton->Redraw();
  if (CWnd* pSite = GetDockingPaneManager()->GetSite(); pSite != nullptr) {
    pSite->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_CONTEXTMENU, reinterpret_cast<LPARAM>(&menu));
  }
  pButton->m_bPressed = FALSE;
  pButton->Redraw();
}

void CTKDockingPaneTabbedContainer::TrackTabDrag(CPoint point)
{
  for (INT_PTR i = 0; i < m_arrTabRects.GetSize(); ++i) {
    CTKDockingPane* pOther = GetPaneByTab(static_cast<int>(i));
    if (!m_arrTabRects[i].PtInRect(point) || pOther == nullptr || pOther == m_pTrackingPane) {
      continue;
    }
    const POSITION posDragged = m_lstPanes.Find(m_pTrackingPane);
    const POSITION posOther = m_lstPanes.Find(pOther);
    if (posDragged != nullptr && posOther != nullptr) {
      m_lstPanes.SetAt(posDragged, pOther);
      m_lstPanes.SetAt(posOther, m_pTrackingPane);
      InvalidatePane(TRUE);
    }
    return;
  }
  if (m_rcHeader.PtInRect(point)) {
    return;
  }
  if (GetDockingPaneManager()->NotifyAction(tkActionDetaching, m_pTrackingPane) != 0) {
    return;  // the site keeps the tab drag going
  }
  m_pTrackingPane = nullptr;
  ReleaseCapture();
  // The drag follows the button held since the tab was pressed.
  if (m_pSelectedPane != nullptr && ::GetKeyState(VK_LBUTTON) < 0) {
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    GetDockingPaneManager()->GetDockingContext()->Drag(m_pSelectedPane, ptScreen);
  }
}

void CTKDockingPaneTabbedContainer::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/)
{
  if (m_pTrackingPane != nullptr) {
    m_pTrackingPane = nullptr;
    ReleaseCapture();
  }
}

void CTKDockingPaneTabbedContainer::OnMouseLeave()
{
  OnMouseMove(0, CPoint(-1, -1));
}

void CTKDockingPaneTabbedContainer::OnCaptureChanged(CWnd* /*pWnd*/)
{
  m_pTrackingPane = nullptr;
}

void CTKDockingPaneTabbedContainer::OnLButtonDblClk(UINT /*nFlags*/, CPoint point)
{
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    if (m_arrCaptionButtons[i]->IsVisible() && m_arrCaptionButtons[i]->GetRect().PtInRect(point)) {
      return;
    }
  }
  const int nHit = HitTest(point);
  if (nHit == -2) {
    GetDockingPaneManager()->ToggleDocking(this);
  } else if (nHit >= 0) {
    GetDockingPaneManager()->ToggleDocking(GetPaneByTab(nHit));
  }
}

void CTKDockingPaneTabbedContainer::OnRButtonDown(UINT /*nFlags*/, CPoint point)
{
  const int nHit = HitTest(point);
  if (nHit >= 0) {
    SelectPane(GetPaneByTab(nHit), TRUE, TRUE);
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pDockingSite); pFrame != nullptr) {
      pFrame->RecalcLayout();
    }
  }
  FocusSelected();
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  pManager->UpdatePanesFocus();
  if (CWnd* pSite = pManager->GetSite(); pSite != nullptr) {
    pSite->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_RCLICK,
                       reinterpret_cast<LPARAM>(static_cast<CTKDockingPaneBase*>(this)));
  }
}

void CTKDockingPaneTabbedContainer::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
  PerformMouseMove(this, point);
  if (m_pTrackingPane != nullptr) {
    TrackTabDrag(point);
    return;
  }
  for (INT_PTR i = 0; i < m_arrCaptionButtons.GetSize(); ++i) {
    m_arrCaptionButtons[i]->CheckHot(point);
  }
}

LRESULT CTKDockingPaneTabbedContainer::OnHelpHitTest(WPARAM /*wParam*/, LPARAM lParam)
{
  constexpr LRESULT kHelpBase = 0x20000;  // the framework's offset of window help contexts
  const int nHit = HitTest(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
  const CTKDockingPane* pPane = nHit >= 0 ? GetPaneByTab(nHit) : nullptr;
  if (pPane == nullptr) {
    pPane = m_pSelectedPane;
  }
  if (pPane == nullptr) {
    return 0;
  }
  return (pPane->m_nHelpID != 0 ? pPane->m_nHelpID : pPane->GetID()) + kHelpBase;
}
