#include "toolkit/docking/autohide.h"

#include "platform/mfc/ctrlbar.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"
#include "toolkit/docking/tabs/tab_color_sets.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/prop_exchange.h"
#include "toolkit/paint/resource_manager.h"

#include <algorithm>

namespace {

constexpr int kStepDelay = 16;
constexpr int kSteps = 128 / kStepDelay;
constexpr UINT kCursorHorizontal = 9970;
constexpr UINT kCursorVertical = 9971;

BOOL IsVerticalSlide(int nDirection) { return nDirection == TK_DOCK_TOP || nDirection == TK_DOCK_BOTTOM; }

}  // namespace

// ---- One row of tabs

CTKDockingPaneAutoHidePanel::CAutoHidePanelTabManager::CAutoHidePanelTabManager(
    CTKDockingPaneAutoHidePanel* pPanel, CTKDockingPaneTabbedContainer* pGroup)
    : m_pPanel(pPanel), m_pGroup(pGroup)
{
}

CTKTabPaintManager* CTKDockingPaneAutoHidePanel::CAutoHidePanelTabManager::GetTabPaintManager() const
{
  CTKDockingPanePaintManager* pPaintManager = m_pPanel->GetPaintManager();
  return pPaintManager != nullptr ? pPaintManager->GetAutoHidePaintManager() : nullptr;
}

void CTKDockingPaneAutoHidePanel::CAutoHidePanelTabManager::RequestRedraw()
{
  if (m_pPanel->GetSafeHwnd() != nullptr) {
    m_pPanel->Invalidate(FALSE);
  }
}

BOOL CTKDockingPaneAutoHidePanel::CAutoHidePanelTabManager::DrawTabIcon(CDC* pDC, int x, int y,
                                                                        CTKTabManagerItem* pItem, BOOL bDraw,
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
    pIcon->DrawImage(pDC, CPoint(x, y), pItem->IsHot() ? pIcon->GetHotIcon() : pIcon->GetIcon(), szIcon.cx,
                     szIcon.cy);
  }
  return TRUE;
}

int CTKDockingPaneAutoHidePanel::CAutoHidePanelTabManager::GetStripPosition() const
{
  switch (m_pPanel->m_nDirection) {
    case TK_DOCK_LEFT:
      return TK_TAB_POSITION_RIGHT;
    case TK_DOCK_RIGHT:
      return TK_TAB_POSITION_LEFT;
    case TK_DOCK_TOP:
      return TK_TAB_POSITION_BOTTOM;
    default:
      return TK_TAB_POSITION_TOP;
  }
}

// ---- The panel

BEGIN_MESSAGE_MAP(CTKDockingPaneAutoHidePanel, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSEHOVER, &CTKDockingPaneAutoHidePanel::OnMouseHover)
  ON_MESSAGE(WM_MOUSELEAVE, &CTKDockingPaneAutoHidePanel::OnMouseLeave)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CTKDockingPaneAutoHidePanel::CTKDockingPaneAutoHidePanel(CTKDockingPaneLayout* pLayout)
    : CTKDockingPaneBase(TK_DOCKINGPANE_AUTOHIDE, pLayout)
{
}

CTKDockingPaneAutoHidePanel::~CTKDockingPaneAutoHidePanel()
{
  CloseSlideOut(FALSE);
  DeleteTabRows();
  if (GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
}

void CTKDockingPaneAutoHidePanel::DeleteTabRows()
{
  for (INT_PTR i = 0; i < m_arrTabRows.GetSize(); ++i) {
    delete m_arrTabRows[i];
  }
  m_arrTabRows.RemoveAll();
}

BOOL CTKDockingPaneAutoHidePanel::Create(CWnd* pSite)
{
  if (!CWnd::Create(AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), nullptr,
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pSite, 0))
    return FALSE;
  m_dropTarget.Register(this);
  return TRUE;
}

void CTKDockingPaneAutoHidePanel::OnDestroy()
{
  m_dropTarget.Revoke();
  CWnd::OnDestroy();
}

DROPEFFECT CTKDockingPaneAutoHidePanel::CDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject,
                                                                 DWORD dwKeyState, CPoint point)
{
  return OnDragOver(pWnd, pDataObject, dwKeyState, point);
}

DROPEFFECT CTKDockingPaneAutoHidePanel::CDropTarget::OnDragOver(CWnd* /*pWnd*/, COleDataObject* /*pDataObject*/,
                                                                DWORD /*dwKeyState*/, CPoint point)
{
  CTKDockingPanePaintManager* pPaintManager = m_pPanel->GetPaintManager();
  const CTKTabPaintManager* pTabPaint = pPaintManager != nullptr ? pPaintManager->GetAutoHidePaintManager() : nullptr;
  if (pTabPaint != nullptr && pTabPaint->m_bSelectOnDragOver) {
    if (CTKDockingPane* pPane = m_pPanel->HitTest(point); pPane != nullptr)
      m_pPanel->SlideOutPane(pPane);
  }
  return DROPEFFECT_NONE;
}

void CTKDockingPaneAutoHidePanel::SlideOutPane(CTKDockingPane* pPane)
{
  if (m_pSlideOut != nullptr && m_pSlideOut->m_pContainer == pPane->GetContainer() &&
      m_pSlideOut->m_pContainer->GetSelected() == pPane) {
    return;
  }
  CloseSlideOut(FALSE);
  ShowSlideOut(pPane, FALSE);
}

BOOL CTKDockingPaneAutoHidePanel::IsEmpty() const
{
  for (POSITION pos = m_lstGroups.GetHeadPosition(); pos != nullptr;) {
    if (!m_lstGroups.GetNext(pos)->IsEmpty()) {
      return FALSE;
    }
  }
  return TRUE;
}

POSITION CTKDockingPaneAutoHidePanel::ContainPane(CTKDockingPaneBase* pPane) const
{
  if (pPane == this) {
    return BEFORE_START_POSITION;
  }
  for (POSITION pos = m_lstGroups.GetHeadPosition(); pos != nullptr;) {
    if (POSITION posFound = m_lstGroups.GetNext(pos)->ContainPane(pPane); posFound != nullptr) {
      return posFound;
    }
  }
  return nullptr;
}

void CTKDockingPaneAutoHidePanel::FindPane(int nType, CTKDockingPaneNodeList* pList)
{
  for (POSITION pos = m_lstGroups.GetHeadPosition(); pos != nullptr;) {
    m_lstGroups.GetNext(pos)->FindPane(nType, pList);
  }
}

int CTKDockingPaneAutoHidePanel::GetStripThickness() const
{
  CTKDockingPanePaintManager* pPaintManager = GetPaintManager();
  CTKTabPaintManager* pTabPaint = pPaintManager != nullptr ? pPaintManager->GetAutoHidePaintManager() : nullptr;
  if (pTabPaint == nullptr || pTabPaint->GetAppearance() == nullptr) {
    return 0;
  }
  CAutoHidePanelTabManager probe(const_cast<CTKDockingPaneAutoHidePanel*>(this), nullptr);
  const CRect rcMargin = pTabPaint->GetAppearance()->GetHeaderMargin();
  return pTabPaint->GetAppearance()->GetRowHeight(&probe) + rcMargin.top + rcMargin.bottom;
}

void CTKDockingPaneAutoHidePanel::OnLayout(CWnd* pSite, CRect& rect, AFX_SIZEPARENTPARAMS* pParams)
{
  if (IsEmpty()) {
    if (GetSafeHwnd() != nullptr) {
      DestroyWindow();
    }
    return;
  }
  if (GetSafeHwnd() == nullptr && !Create(pSite)) {
    return;
  }
  // Every frame layout slides an open window back.
  CloseSlideOut(FALSE);
  const int nThickness = GetStripThickness();
  CRect rcStrip = rect;
  switch (m_nDirection) {
    case TK_DOCK_LEFT:
      rcStrip.right = rcStrip.left + nThickness;
      rect.left = rcStrip.right;
      break;
    case TK_DOCK_RIGHT:
      rcStrip.left = rcStrip.right - nThickness;
      rect.right = rcStrip.left;
      break;
    case TK_DOCK_TOP:
      rcStrip.bottom = rcStrip.top + nThickness;
      rect.top = rcStrip.bottom;
      break;
    default:
      rcStrip.top = rcStrip.bottom - nThickness;
      rect.bottom = rcStrip.top;
      break;
  }
  m_rcWindow = rcStrip;
  {
    CClientDC dc(this);
    LayoutTabs(&dc, CRect(0, 0, rcStrip.Width(), rcStrip.Height()));
  }
  if (pParams != nullptr && pParams->hDWP != nullptr) {
    AfxRepositionWindow(pParams, m_hWnd, &rcStrip);
    Invalidate(FALSE);
  }
}

void CTKDockingPaneAutoHidePanel::LayoutTabs(CDC* pDC, CRect rc)
{
  CTKDockingPanePaintManager* pPaintManager = GetPaintManager();
  CTKTabPaintManager* pTabPaint = pPaintManager != nullptr ? pPaintManager->GetAutoHidePaintManager() : nullptr;
  const BOOL bVertical = m_nDirection == TK_DOCK_LEFT || m_nDirection == TK_DOCK_RIGHT;
  // The corner belongs to the top strip.
  if (bVertical && m_pLayout->m_wndPanels[TK_DOCK_TOP] != nullptr && !m_pLayout->m_wndPanels[TK_DOCK_TOP]->IsEmpty()) {
    rc.top += GetStripThickness();
  }
  DeleteTabRows();
  if (pTabPaint == nullptr) {
    return;
  }
  int nOffset = bVertical ? rc.top : rc.left;
  for (POSITION pos = m_lstGroups.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneTabbedContainer* pGroup = m_lstGroups.GetNext(pos);
    if (pGroup->IsEmpty()) {
      continue;
    }
    auto* pRow = new CAutoHidePanelTabManager(this, pGroup);
    m_arrTabRows.Add(pRow);
    for (POSITION posPane = pGroup->GetPanes().GetHeadPosition(); posPane != nullptr;) {
      CTKDockingPane* pPane = pGroup->GetPanes().GetNext(posPane);
      CTKTabManagerItem* pItem = pRow->InsertTab(-1);
      pItem->m_strCaption = pPane->GetTabCaption();
      pItem->SetColor(pPane->GetTabColor());
      pItem->m_strToolTip = pPane->GetTitle();
      pItem->m_pObject = pPane;
      if (pPane == pGroup->GetSelected()) {
        pRow->m_pSelected = pItem;
      }
    }
    CRect rcRow = rc;
    if (bVertical) {
      rcRow.top = nOffset;
    } else {
      rcRow.left = nOffset;
    }
    pTabPaint->ArrangeStrip(pRow, pDC, rcRow);
    pRow->m_rcControl = rcRow;
    const CRect rcMargin = pTabPaint->GetAppearance()->GetHeaderMargin();
    nOffset += pRow->GetTotalTabLength() + rcMargin.left + rcMargin.right + 8;
  }
}

CTKDockingPane* CTKDockingPaneAutoHidePanel::HitTest(CPoint point) const
{
  for (INT_PTR i = 0; i < m_arrTabRows.GetSize(); ++i) {
    if (CTKTabManagerItem* pItem = m_arrTabRows[i]->TabFromPoint(point); pItem != nullptr) {
      return static_cast<CTKDockingPane*>(pItem->m_pObject);
    }
  }
  return nullptr;
}

void CTKDockingPaneAutoHidePanel::OnPaint()
{
  CPaintDC paint(this);
  CRect rcClient;
  GetClientRect(&rcClient);
  CTKBufferDC dc(paint.GetSafeHdc(), rcClient);
  CTKDockingPanePaintManager* pPaintManager = GetPaintManager();
  CTKTabPaintManager* pTabPaint = pPaintManager != nullptr ? pPaintManager->GetAutoHidePaintManager() : nullptr;
  if (pTabPaint == nullptr || pTabPaint->GetColorSet() == nullptr) {
    return;
  }
  const CTKPaintManagerColorGradient& face = pTabPaint->GetColorSet()->m_clrAutoHideFace;
  if (static_cast<COLORREF>(face.clrLight) == static_cast<COLORREF>(face.clrDark)) {
    dc.FillSolidRect(rcClient, face.clrLight);
  } else {
    // Strips line up: the gradient runs from the frame's left edge over at least half the screen.
    CRect rcGradient = rcClient;
    if (m_nDirection == TK_DOCK_RIGHT && GetParent() != nullptr) {
      CRect rcParent;
      GetParent()->GetWindowRect(&rcParent);
      CRect rcSelf;
      CWnd::GetWindowRect(&rcSelf);
      rcGradient.left -= rcSelf.left - rcParent.left;
    }
    rcGradient.right = std::max<LONG>(rcGradient.right, rcGradient.left + ::GetSystemMetrics(SM_CXFULLSCREEN) / 2);
    TKDrawHelpers().GradientFillClipped(&dc, &rcGradient, face.clrLight, face.clrDark, TRUE, &rcClient);
  }
  for (INT_PTR i = 0; i < m_arrTabRows.GetSize(); ++i) {
    pTabPaint->PaintStrip(m_arrTabRows[i], &dc, m_arrTabRows[i]->m_rcControl);
  }
}

void CTKDockingPaneAutoHidePanel::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
  for (INT_PTR i = 0; i < m_arrTabRows.GetSize(); ++i) {
    m_arrTabRows[i]->PerformMouseMove(this, point);
  }
  if (HitTest(point) != nullptr) {
    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    ::TrackMouseEvent(&tme);
  }
}

LRESULT CTKDockingPaneAutoHidePanel::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
  OnMouseMove(0, CPoint(-1, -1));
  return 0;
}

LRESULT CTKDockingPaneAutoHidePanel::OnMouseHover(WPARAM /*wParam*/, LPARAM lParam)
{
  CTKDockingPane* pPane = HitTest(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
  CWnd* pTop = GetTopLevelParent();
  if (pPane == nullptr || pTop == nullptr || ::GetActiveWindow() != pTop->GetSafeHwnd()) {
    return 0;
  }
  SlideOutPane(pPane);
  return 0;
}

void CTKDockingPaneAutoHidePanel::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
  CTKDockingPane* pPane = HitTest(point);
  if (pPane == nullptr) {
    return;
  }
  if (m_pSlideOut != nullptr && m_pSlideOut->m_pContainer == pPane->GetContainer() &&
      m_pSlideOut->m_pContainer->GetSelected() == pPane) {
    pPane->SetFocus();
    return;
  }
  CloseSlideOut(FALSE);
  ShowSlideOut(pPane, TRUE);
}

void CTKDockingPaneAutoHidePanel::OnRButtonDown(UINT /*nFlags*/, CPoint point)
{
  if (CTKDockingPane* pPane = HitTest(point); pPane != nullptr) {
    if (CWnd* pSite = GetDockingPaneManager()->GetSite(); pSite != nullptr) {
      pSite->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_RCLICK,
                         reinterpret_cast<LPARAM>(static_cast<CTKDockingPaneBase*>(pPane)));
    }
  }
}

void CTKDockingPaneAutoHidePanel::AddGroup(CTKDockingPaneTabbedContainer* pGroup)
{
  const HWND hFocus = ::GetFocus();
  const BOOL bFocusInside =
      hFocus != nullptr && pGroup->GetSafeHwnd() != nullptr &&
      (hFocus == pGroup->GetSafeHwnd() || ::IsChild(pGroup->GetSafeHwnd(), hFocus));
  m_lstGroups.AddTail(pGroup);
  pGroup->m_pParentContainer = this;
  pGroup->SetDockingSite(m_pDockingSite);
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pDockingSite); pFrame != nullptr) {
    pFrame->DelayRecalcLayout();
  }
  pGroup->OnParentContainerChanged(this);
  if (bFocusInside && m_pDockingSite != nullptr && m_pDockingSite->GetSafeHwnd() != nullptr) {
    m_pDockingSite->SetFocus();
  }
  InvalidatePane(FALSE);
}

void CTKDockingPaneAutoHidePanel::RemovePane(CTKDockingPaneBase* pPane)
{
  POSITION pos = m_lstGroups.Find(static_cast<CTKDockingPaneTabbedContainer*>(pPane));
  if (pos == nullptr) {
    return;
  }
  m_lstGroups.RemoveAt(pos);
  InvalidatePane(FALSE);
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pDockingSite); pFrame != nullptr) {
    pFrame->DelayRecalcLayout();
  }
  if (IsEmpty() && GetSafeHwnd() != nullptr) {
    CloseSlideOut(FALSE);
    DestroyWindow();
  }
  pPane->m_pParentContainer = nullptr;
}

void CTKDockingPaneAutoHidePanel::OnChildContainerChanged(CTKDockingPaneBase* /*pContainer*/)
{
  CloseSlideOut(GetDockingPaneManager()->m_bDockingIntoHolder);
  InvalidatePane(FALSE);
}

void CTKDockingPaneAutoHidePanel::InvalidatePane(BOOL /*bSelectionChanged*/)
{
  if (GetSafeHwnd() == nullptr) {
    return;
  }
  CRect rcClient;
  GetClientRect(&rcClient);
  {
    CClientDC dc(this);
    LayoutTabs(&dc, rcClient);
  }
  Invalidate(FALSE);
}

void CTKDockingPaneAutoHidePanel::ShowSlideOut(CTKDockingPane* pPane, BOOL bSetFocus)
{
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  if (pManager->NotifyAction(tkActionExpanding, pPane) != 0) {
    return;
  }
  auto* pGroup = pPane->GetParentTabbed();
  if (pGroup == nullptr) {
    return;
  }
  auto* pWnd = new CTKDockingPaneAutoHideWnd(this, pGroup);
  pGroup->SelectPane(pPane, bSetFocus, FALSE);
  Invalidate(FALSE);
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(pManager->GetSite()); pFrame != nullptr) {
    pFrame->RecalcLayout();
  }
  // After the layout, which closes whatever slide-out it finds.
  m_pSlideOut = pWnd->GetSafeHwnd() != nullptr ? pWnd : nullptr;
}

void CTKDockingPaneAutoHidePanel::CloseSlideOut(BOOL bDelayed)
{
  CTKDockingPaneAutoHideWnd* pWnd = m_pSlideOut;
  if (pWnd == nullptr) {
    return;
  }
  CTKDockingPaneManager* pManager = GetDockingPaneManager();
  if (CTKDockingPaneTabbedContainer* pGroup = pWnd->m_pContainer; pGroup != nullptr) {
    CTKDockingPane* pSelected = pGroup->GetSelected();
    if (pSelected != nullptr && pManager->NotifyAction(tkActionCollapsing, pSelected) != 0) {
      return;
    }
    if (pSelected != nullptr) {
      pManager->NotifyAction(tkActionCollapsed, pSelected);
    }
  }
  m_pSlideOut = nullptr;
  if (!bDelayed) {
    pWnd->CloseWindow();
    return;
  }
  if (CTKDockingPaneTabbedContainer* pGroup = pWnd->m_pContainer; pGroup != nullptr) {
    if (pGroup->GetSafeHwnd() != nullptr) {
      pGroup->ShowWindow(SW_HIDE);
    }
    pGroup->SetDockingSite(pManager->GetSite());
    pWnd->m_pContainer = nullptr;
  }
  pWnd->SetTimer(CTKDockingPaneAutoHideWnd::kCloseTimer, 50, nullptr);
}

BOOL CTKDockingPaneAutoHidePanel::DoPropExchange(CTKPropExchange* pPX)
{
  CTKDockingPaneBase::DoPropExchange(pPX);
  const BOOL bDirection = PX_IntNoDefault(pPX, "Direction", m_nDirection);
  if (!pPX->IsLoading()) {
    int nGroups = static_cast<int>(m_lstGroups.GetCount());
    PX_IntNoDefault(pPX, "Panes", nGroups);
    int n = 1;
    for (POSITION pos = m_lstGroups.GetHeadPosition(); pos != nullptr; ++n) {
      int nIndex = m_lstGroups.GetNext(pos)->m_nIndex;
      CString strName;
      strName.Format("Pane-%d", n);
      PX_IntNoDefault(pPX, strName, nIndex);
    }
    return TRUE;
  }
  // The layout keeps four panels, one per edge: another direction names no slot.
  if (!bDirection || m_nDirection < 0 || m_nDirection > 3 || m_pLayout->m_wndPanels[m_nDirection] != nullptr) {
    return FALSE;
  }
  int nGroups = 0;
  PX_Int(pPX, "Panes", nGroups, 0);
  for (int n = 1; n <= nGroups; ++n) {
    CString strName;
    strName.Format("Pane-%d", n);
    int nIndex = 0;
    PX_Int(pPX, strName, nIndex, 0);
    CTKDockingPaneBase* pNode = m_pLayout->GetLoadingNode(nIndex);
    if (pNode == nullptr || pNode->GetType() != TK_DOCKINGPANE_TABBED || !m_pLayout->ClaimLoadingNode(pNode, this)) {
      return FALSE;
    }
    AddGroup(static_cast<CTKDockingPaneTabbedContainer*>(pNode));
  }
  m_pLayout->m_wndPanels[m_nDirection] = this;
  return TRUE;
}

CTKDockingPaneBase* CTKDockingPaneAutoHidePanel::Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                                                       DWORD dwIgnoredOptions)
{
  auto* pClone = static_cast<CTKDockingPaneAutoHidePanel*>(
      GetDockingPaneManager()->OnCreatePane(TK_DOCKINGPANE_AUTOHIDE, pLayout));
  pClone->m_nDirection = m_nDirection;
  pClone->m_pDockingSite = GetDockingPaneManager()->GetSite();
  CList<CTKDockingPaneTabbedContainer*, CTKDockingPaneTabbedContainer*> lstGroups;
  lstGroups.AddTail(&m_lstGroups);
  for (POSITION pos = lstGroups.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneTabbedContainer* pGroup = lstGroups.GetNext(pos);
    if (pMap == nullptr && pGroup->IsEmpty()) {
      continue;
    }
    pClone->AddGroup(static_cast<CTKDockingPaneTabbedContainer*>(pGroup->Clone(pLayout, pMap, dwIgnoredOptions)));
  }
  if (pMap != nullptr) {
    pMap->SetAt(this, pClone);
  }
  return pClone;
}

// ---- Putting nodes into panels

void CTKDockingPaneLayout::AutoHide(CTKDockingPaneBase* pNode)
{
  int nDirection = GetPaneDirection(pNode);
  nDirection = std::clamp(nDirection, 0, 3);
  auto* pPanel = static_cast<CTKDockingPaneAutoHidePanel*>(m_wndPanels[nDirection]);
  if (pPanel == nullptr) {
    pPanel = static_cast<CTKDockingPaneAutoHidePanel*>(m_pManager->OnCreatePane(TK_DOCKINGPANE_AUTOHIDE, this));
    pPanel->m_nDirection = nDirection;
    m_wndPanels[nDirection] = pPanel;
  }
  JoinGroup(pPanel, pNode);
}

void CTKDockingPaneLayout::JoinGroup(CTKDockingPaneBase* pPanelNode, CTKDockingPaneBase* pNode)
{
  auto* pPanel = static_cast<CTKDockingPaneAutoHidePanel*>(pPanelNode);
  CTKDockingPaneNodeList lstPanes;
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    lstPanes.AddTail(pNode);
  } else {
    pNode->FindPane(TK_DOCKINGPANE_PANE, &lstPanes);
  }
  if (lstPanes.IsEmpty()) {
    return;
  }
  // Groups hidden from the same place share a row.
  const TK_DOCKINGPANE_INFO* pFirst = FindPaneInfo(static_cast<CTKDockingPane*>(lstPanes.GetHead()));
  if (pFirst != nullptr && pFirst->pDockingHolder != nullptr) {
    for (POSITION pos = pPanel->m_lstGroups.GetHeadPosition(); pos != nullptr;) {
      CTKDockingPaneTabbedContainer* pGroup = pPanel->m_lstGroups.GetNext(pos);
      if (pGroup->IsEmpty()) {
        continue;
      }
      const TK_DOCKINGPANE_INFO* pInfo = FindPaneInfo(pGroup->GetPanes().GetHead());
      if (pInfo == nullptr || pInfo->pDockingHolder != pFirst->pDockingHolder) {
        continue;
      }
      for (POSITION posPane = lstPanes.GetHeadPosition(); posPane != nullptr;) {
        auto* pPane = static_cast<CTKDockingPane*>(lstPanes.GetNext(posPane));
        if ((pPane->GetOptions() & TK_PANE_NOHIDEABLE) != 0) {
          continue;
        }
        if (CTKDockingPaneBase* pParent = pPane->GetContainer(); pParent != nullptr) {
          pParent->RemovePane(pPane);
        }
        pGroup->InsertPane(pPane, FALSE);
      }
      return;
    }
  }
  CTKDockingPaneTabbedContainer* pGroup = nullptr;
  if (pNode->GetType() == TK_DOCKINGPANE_PANE) {
    if (CTKDockingPaneBase* pParent = pNode->GetContainer(); pParent != nullptr) {
      pParent->RemovePane(pNode);
    }
    pGroup = m_pManager->WrapPane(static_cast<CTKDockingPane*>(pNode), m_pManager->GetSite());
  } else if (pNode->GetType() == TK_DOCKINGPANE_TABBED) {
    pGroup = static_cast<CTKDockingPaneTabbedContainer*>(pNode->Clone(this, nullptr, TK_PANE_NOHIDEABLE));
  }
  if (pGroup != nullptr) {
    pPanel->AddGroup(pGroup);
  }
}

void CTKDockingPaneManager::AutoHideNode(CTKDockingPaneBase* pNode)
{
  if (pNode != nullptr && pNode->GetType() == TK_DOCKINGPANE_PANE && m_bHideGroupOnButtonClick) {
    pNode = pNode->GetContainer();
  }
  if (pNode == nullptr || pNode->GetContainer() == nullptr) {
    return;
  }
  if (pNode->GetContainer()->GetType() == TK_DOCKINGPANE_AUTOHIDE) {
    static_cast<CTKDockingPaneAutoHidePanel*>(pNode->GetContainer())->CloseSlideOut(FALSE);
    return;
  }
  CWnd* pSite = pNode->GetDockingSite();
  m_pLayout->AutoHide(pNode);
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(pSite); pFrame != nullptr) {
    pFrame->DelayRecalcLayout();
  }
}

// ---- The slide-out window

BEGIN_MESSAGE_MAP(CTKDockingPaneAutoHideWnd, CMiniFrameWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_CLOSE()
END_MESSAGE_MAP()

CTKDockingPaneAutoHideWnd::CTKDockingPaneAutoHideWnd(CTKDockingPaneAutoHidePanel* pPanel,
                                                     CTKDockingPaneTabbedContainer* pGroup)
    : m_pContainer(pGroup), m_pPanel(pPanel), m_nDirection(pPanel->GetDirection()),
      m_bHoriz(IsVerticalSlide(pPanel->GetDirection()))
{
  CTKDockingPaneManager* pManager = pPanel->GetDockingPaneManager();
  CWnd* pSite = pManager->GetSite();
  CRect rc = pManager->GetTopPane()->GetScreenRect();
  // The size the selected pane asks for, within its limits enlarged by the caption and the edge.
  MINMAXINFO mmi{};
  mmi.ptMinTrackSize = POINT{0, 0};
  mmi.ptMaxTrackSize = POINT{32000, 32000};
  CTKDockingPane* pSelected = pGroup->GetSelected();
  if (pSelected != nullptr) {
    pSelected->GetMinMaxInfo(&mmi);
  }
  CRect rcCaption(0, 0, 1000, 1000);
  if (CTKDockingPanePaintManager* pPaintManager = pManager->GetPaintManager(); pPaintManager != nullptr) {
    pPaintManager->AdjustCaptionRect(pGroup, rcCaption);
  }
  const int nCaptionX = 1000 - rcCaption.Width();
  const int nCaptionY = 1000 - rcCaption.Height();
  const int nEdgeX = m_bHoriz ? 0 : kEdge;
  const int nEdgeY = m_bHoriz ? kEdge : 0;
  const CSize szDocking = pSelected != nullptr ? pSelected->m_szDocking : CSize(200, 200);
  const int nWidth = std::max<int>(std::min<int>(szDocking.cx + kEdge, mmi.ptMaxTrackSize.x + nCaptionX + nEdgeX),
                                   mmi.ptMinTrackSize.x + nCaptionX + nEdgeX);
  const int nHeight = std::max<int>(std::min<int>(szDocking.cy + kEdge, mmi.ptMaxTrackSize.y + nCaptionY + nEdgeY),
                                    mmi.ptMinTrackSize.y + nCaptionY + nEdgeY);
  switch (pManager->GetRTLDirection(m_nDirection)) {
    case TK_DOCK_LEFT:
      rc.right = rc.left + nWidth;
      break;
    case TK_DOCK_RIGHT:
      rc.left = rc.right - nWidth;
      break;
    case TK_DOCK_TOP:
      rc.bottom = rc.top + nHeight;
      break;
    default:
      rc.top = rc.bottom - nHeight;
      break;
  }
  pSite->ScreenToClient(&rc);
  m_rcWindow = rc;

  int nMin = 0;
  int nMax = 0;
  const BOOL bResizable = GetResizeLimits(nMin, nMax) && !pManager->m_bLockSplitters;
  HCURSOR hCursor = bResizable ? TKResourceManager()->LoadCursor(m_bHoriz ? kCursorVertical : kCursorHorizontal)
                               : nullptr;
  if (hCursor == nullptr) {
    hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  }
  pSite->UpdateWindow();
  pSite->SendMessage(WM_SETREDRAW, FALSE);
  const DWORD dwExStyle = (pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0 ? WS_EX_LAYOUTRTL : 0;
  const BOOL bCreated = CMiniFrameWnd::CreateEx(dwExStyle, AfxRegisterWndClass(0, hCursor), "",
                                                WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rc, pSite, 0);
  pSite->SendMessage(WM_SETREDRAW, TRUE);
  if (!bCreated) {
    return;
  }
  m_nStep = 0;
  m_nStepsCount = kSteps;
  m_bClosing = FALSE;
  if (m_nStepsCount > 1) {
    SetTimer(kSlideOutTimer, kStepDelay, nullptr);
  }
  ApplyStep();
  RecalcLayout();
  if (pGroup->GetSafeHwnd() != nullptr) {
    pGroup->ShowWindow(SW_SHOW);
  }
  SetTimer(kWatchTimer, 100, nullptr);
  m_nDeactivationCount = 6;
}

void CTKDockingPaneAutoHideWnd::ApplyStep()
{
  CRect rc = m_rcWindow;
  const int nWidth = rc.Width() * (m_nStep + 1) / m_nStepsCount;
  const int nHeight = rc.Height() * (m_nStep + 1) / m_nStepsCount;
  switch (m_nDirection) {
    case TK_DOCK_LEFT:
      rc.right = rc.left + nWidth;
      break;
    case TK_DOCK_RIGHT:
      rc.left = rc.right - nWidth;
      break;
    case TK_DOCK_TOP:
      rc.bottom = rc.top + nHeight;
      break;
    default:
      rc.top = rc.bottom - nHeight;
      break;
  }
  SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate(FALSE);
}

void CTKDockingPaneAutoHideWnd::RecalcLayout(BOOL /*bNotify*/)
{
  m_nIdleFlags &= ~(idleLayout | idleNotify);
  if (m_pContainer == nullptr || GetSafeHwnd() == nullptr) {
    return;
  }
  CRect rcClient;
  GetClientRect(&rcClient);
  CRect rc(0, 0, m_rcWindow.Width(), m_rcWindow.Height());
  // The content slides with the moving edge; the far kEdge pixels are the resizing edge.
  switch (m_nDirection) {
    case TK_DOCK_LEFT:
      rc.OffsetRect(rcClient.right - rc.right, 0);
      rc.right -= kEdge;
      break;
    case TK_DOCK_RIGHT:
      rc.left += kEdge;
      break;
    case TK_DOCK_TOP:
      rc.OffsetRect(0, rcClient.bottom - rc.bottom);
      rc.bottom -= kEdge;
      break;
    default:
      rc.top += kEdge;
      break;
  }
  AFX_SIZEPARENTPARAMS params;
  params.hDWP = ::BeginDeferWindowPos(8);
  m_pContainer->OnSizeParent(this, rc, &params);
  if (params.hDWP != nullptr) {
    ::EndDeferWindowPos(params.hDWP);
  }
}

void CTKDockingPaneAutoHideWnd::OnPaint()
{
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CTKDockingPanePaintManager* pPaintManager = m_pPanel->GetPaintManager();
  if (pPaintManager == nullptr) {
    return;
  }
  dc.FillSolidRect(rc, pPaintManager->GetColor(51));
  switch (m_nDirection) {
    case TK_DOCK_LEFT:
      dc.FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), pPaintManager->GetColor(18));
      dc.FillSolidRect(rc.right - 2, rc.top, 1, rc.Height(), pPaintManager->GetColor(16));
      break;
    case TK_DOCK_RIGHT:
      dc.FillSolidRect(rc.left + 1, rc.top, 1, rc.Height(), pPaintManager->GetColor(20));
      break;
    case TK_DOCK_TOP:
      dc.FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, pPaintManager->GetColor(18));
      dc.FillSolidRect(rc.left, rc.bottom - 2, rc.Width(), 1, pPaintManager->GetColor(16));
      break;
    default:
      dc.FillSolidRect(rc.left, rc.top + 1, rc.Width(), 1, pPaintManager->GetColor(20));
      break;
  }
}

BOOL CTKDockingPaneAutoHideWnd::OnEraseBkgnd(HDC /*hDC*/) { return TRUE; }

void CTKDockingPaneAutoHideWnd::CheckDeactivation()
{
  if (m_bTracking || m_pContainer == nullptr) {
    return;
  }
  CPoint pt;
  ::GetCursorPos(&pt);
  CRect rcSelf;
  GetWindowRect(&rcSelf);
  CRect rcPanel;
  if (m_pPanel->GetSafeHwnd() != nullptr) {
    m_pPanel->CWnd::GetWindowRect(&rcPanel);
  }
  if (m_pContainer->IsActive() || rcSelf.PtInRect(pt) || rcPanel.PtInRect(pt)) {
    m_nDeactivationCount = 6;
    if (m_bClosing) {
      m_bClosing = FALSE;
      KillTimer(kSlideInTimer);
      SetTimer(kSlideOutTimer, kStepDelay, nullptr);
    }
    return;
  }
  if (m_bClosing || --m_nDeactivationCount > 0) {
    return;
  }
  CTKDockingPane* pSelected = m_pContainer->GetSelected();
  if (pSelected != nullptr && m_pPanel->GetDockingPaneManager()->NotifyAction(tkActionCollapsing, pSelected) != 0) {
    m_nDeactivationCount = 6;
    return;
  }
  m_bClosing = TRUE;
  KillTimer(kSlideOutTimer);
  SetTimer(kSlideInTimer, kStepDelay, nullptr);
}

void CTKDockingPaneAutoHideWnd::OnTimer(UINT_PTR nIDEvent)
{
  CTKDockingPaneManager* pManager = m_pPanel->GetDockingPaneManager();
  switch (nIDEvent) {
    case kWatchTimer:
      CheckDeactivation();
      return;
    case kSlideOutTimer:
      if (m_bClosing) {
        return;
      }
      if (++m_nStep < m_nStepsCount) {
        ApplyStep();
        RecalcLayout();
        return;
      }
      m_nStep = m_nStepsCount - 1;
      KillTimer(kSlideOutTimer);
      if (m_pContainer != nullptr && m_pContainer->GetSelected() != nullptr) {
        pManager->NotifyAction(tkActionExpanded, m_pContainer->GetSelected());
      }
      return;
    case kSlideInTimer:
      if (!m_bClosing) {
        return;
      }
      if (--m_nStep >= 0) {
        ApplyStep();
        RecalcLayout();
        return;
      }
      m_bClosing = FALSE;
      KillTimer(kSlideInTimer);
      if (m_pContainer != nullptr && m_pContainer->GetSelected() != nullptr) {
        pManager->NotifyAction(tkActionCollapsed, m_pContainer->GetSelected());
      }
      CloseWindow();
      return;
    case kCloseTimer:
      CloseWindow();
      return;
    default:
      CMiniFrameWnd::OnTimer(nIDEvent);
  }
}

void CTKDockingPaneAutoHideWnd::CloseWindow()
{
  if (GetSafeHwnd() == nullptr) {
    return;
  }
  ShowWindow(SW_HIDE);
  CTKDockingPaneManager* pManager = m_pPanel->GetDockingPaneManager();
  if (m_pContainer != nullptr && m_pContainer->GetSafeHwnd() != nullptr &&
      ::IsChild(m_hWnd, m_pContainer->GetSafeHwnd())) {
    m_pContainer->ShowWindow(SW_HIDE);
    m_pContainer->SetDockingSite(pManager->GetSite());
  }
  m_pContainer = nullptr;
  if (m_pPanel->m_pSlideOut == this) {
    m_pPanel->m_pSlideOut = nullptr;
  }
  PostMessage(WM_CLOSE);
}

void CTKDockingPaneAutoHideWnd::OnClose() { DestroyWindow(); }

void CTKDockingPaneAutoHideWnd::PostNcDestroy()
{
  if (m_pPanel->m_pSlideOut == this) {
    m_pPanel->m_pSlideOut = nullptr;
  }
  delete this;
}

void CTKDockingPaneAutoHideWnd::OnMouseMove(UINT nFlags, CPoint point)
{
  if (m_bClosing) {
    CheckDeactivation();
  }
  CMiniFrameWnd::OnMouseMove(nFlags, point);
}

BOOL CTKDockingPaneAutoHideWnd::GetResizeLimits(int& nMin, int& nMax) const
{
  CTKDockingPaneManager* pManager = m_pPanel->GetDockingPaneManager();
  CRect rcTop = pManager->GetTopPane()->GetScreenRect();
  pManager->GetSite()->ScreenToClient(&rcTop);
  MINMAXINFO mmi{};
  mmi.ptMinTrackSize = POINT{0, 0};
  mmi.ptMaxTrackSize = POINT{32000, 32000};
  if (m_pContainer != nullptr && m_pContainer->GetSelected() != nullptr) {
    m_pContainer->GetSelected()->GetMinMaxInfo(&mmi);
  }
  const int nFloor = pManager->m_nSplitterGap + kEdge;
  const int nEdgeIncluded = m_nDirection == TK_DOCK_RIGHT || m_nDirection == TK_DOCK_BOTTOM ? kEdge : 0;
  const int nLeast = std::max<int>(nFloor, (m_bHoriz ? mmi.ptMinTrackSize.y : mmi.ptMinTrackSize.x) + nEdgeIncluded);
  const int nMost = (m_bHoriz ? mmi.ptMaxTrackSize.y : mmi.ptMaxTrackSize.x) + nEdgeIncluded;
  const int nAreaStart = m_bHoriz ? rcTop.top : rcTop.left;
  const int nAreaEnd = m_bHoriz ? rcTop.bottom : rcTop.right;
  if (m_nDirection == TK_DOCK_LEFT || m_nDirection == TK_DOCK_TOP) {
    const int nBase = m_bHoriz ? m_rcWindow.top : m_rcWindow.left;
    nMin = nBase + nLeast;
    nMax = std::min(nBase + nMost, nAreaEnd - nFloor);
  } else {
    const int nBase = m_bHoriz ? m_rcWindow.bottom : m_rcWindow.right;
    nMin = std::max(nBase - nMost, nAreaStart + nFloor);
    nMax = nBase - nLeast;
  }
  return nMin < nMax;
}

void CTKDockingPaneAutoHideWnd::ApplyResize(int nEdge)
{
  switch (m_nDirection) {
    case TK_DOCK_LEFT:
      m_rcWindow.right = nEdge;
      break;
    case TK_DOCK_RIGHT:
      m_rcWindow.left = nEdge;
      break;
    case TK_DOCK_TOP:
      m_rcWindow.bottom = nEdge;
      break;
    default:
      m_rcWindow.top = nEdge;
      break;
  }
  if (m_pContainer != nullptr && m_pContainer->GetSelected() != nullptr) {
    m_pContainer->GetSelected()->SetExtent(!m_bHoriz, m_bHoriz ? m_rcWindow.Height() : m_rcWindow.Width());
  }
  MoveWindow(m_rcWindow, TRUE);
  RecalcLayout();
}

void CTKDockingPaneAutoHideWnd::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/)
{
  int nMin = 0;
  int nMax = 0;
  if (m_pPanel->GetDockingPaneManager()->m_bLockSplitters || m_pContainer == nullptr ||
      !GetResizeLimits(nMin, nMax)) {
    return;
  }
  // The edge follows the pointer within the limits; Esc or the release ends it.
  CWnd* pSite = GetParent();
  m_bTracking = TRUE;
  SetCapture();
  while (::GetCapture() == m_hWnd) {
    MSG msg{};
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_LBUTTONUP || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
      break;
    }
    if (msg.message != WM_MOUSEMOVE) {
      ::DispatchMessage(&msg);
      continue;
    }
    CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
    ClientToScreen(&pt);
    pSite->ScreenToClient(&pt);
    ApplyResize(std::clamp(static_cast<int>(m_bHoriz ? pt.y : pt.x), nMin, nMax));
  }
  if (::GetCapture() == m_hWnd) {
    ::ReleaseCapture();
  }
  m_bTracking = FALSE;
}
