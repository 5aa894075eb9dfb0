#include "toolkit/docking/pane_manager.h"

#include "platform/com/combase.h"
#include "platform/mfc/ctrlbar.h"
#include "toolkit/docking/autohide.h"
#include "toolkit/docking/dragcontext.h"
#include "toolkit/docking/miniframe.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"
#include "toolkit/docking/themes.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/tooltip_context.h"

BEGIN_MESSAGE_MAP(CTKDockingPaneManager, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, &CTKDockingPaneManager::OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CTKDockingPaneManager::OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_SYSCOLORCHANGE, &CTKDockingPaneManager::OnSysColorChangeMessage)
  ON_MESSAGE(WM_SETTINGCHANGE, &CTKDockingPaneManager::OnSettingChange)
END_MESSAGE_MAP()

CTKDockingPaneManager::CTKDockingPaneManager()
{
  SetTheme(0);
  m_pImageManager = new CTKImageManager();
  m_pToolTipContext = new CTKToolTipContext();
  m_pDockingContext = new CTKDockingPaneContext(this);
  ::OleInitialize(nullptr);
}

CTKDockingPaneManager::~CTKDockingPaneManager()
{
  delete m_pDockingContext;
  m_pDockingContext = nullptr;
  if (m_pLayout != nullptr) {
    m_pLayout->InternalRelease();
    m_pLayout = nullptr;
  }
  if (m_pActivePane != nullptr) {
    m_pActivePane->InternalRelease();
    m_pActivePane = nullptr;
  }
  if (m_pPaintManager != nullptr) {
    m_pPaintManager->InternalRelease();
    m_pPaintManager = nullptr;
  }
  if (m_pToolTipContext != nullptr) {
    m_pToolTipContext->InternalRelease();
    m_pToolTipContext = nullptr;
  }
  if (GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
  if (m_pImageManager != nullptr) {
    m_pImageManager->InternalRelease();
    m_pImageManager = nullptr;
  }
  ::OleUninitialize();
}

BOOL CTKDockingPaneManager::InstallDockingPanes(CWnd* pSite)
{
  if (m_pSite != nullptr) {
    return FALSE;
  }
  m_pSite = pSite;
  CreateEx(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, pSite->GetSafeHwnd(), nullptr);
  m_pLayout = CreateLayout();
  m_pLayout->m_bUserLayout = TRUE;
  return TRUE;
}

BOOL CTKDockingPaneManager::SetIcons(UINT nIDBitmap, const int* pIds, int nCount, COLORREF clrMask)
{
  if (m_pImageManager == nullptr || pIds == nullptr || nCount <= 0) {
    return FALSE;
  }
  CImageList list;
  if (!list.Create(16, 16, ILC_COLOR24 | ILC_MASK, nCount, 1)) {
    return FALSE;
  }
  CBitmap bitmap;
  if (bitmap.LoadBitmap(nIDBitmap)) {
    list.Add(&bitmap, clrMask);
  }
  if (list.GetImageCount() != nCount) {
    return FALSE;
  }
  for (int i = 0; i < nCount; ++i) {
    if (pIds[i] <= 0) {
      continue;
    }
    HICON hIcon = list.ExtractIcon(i);
    if (hIcon != nullptr) {
      m_pImageManager->SetIcon(CTKImageManagerIconHandle(hIcon), static_cast<UINT>(pIds[i]));
      ::DestroyIcon(hIcon);
    }
  }
  return TRUE;
}

CTKImageManagerIcon* CTKDockingPaneManager::GetIcon(UINT nID, int nWidth)
{
  return m_pImageManager != nullptr ? m_pImageManager->GetImage(nID, nWidth) : nullptr;
}

void CTKDockingPaneManager::SetTheme(int nTheme)
{
  if (m_pPaintManager != nullptr) {
    m_pPaintManager->InternalRelease();
  }
  m_pPaintManager = TKCreateDockingPaneTheme(nTheme);
  m_pPaintManager->m_nTheme = nTheme;
  m_pPaintManager->RefreshMetrics();
  if (nTheme == 9) {
    m_bStickerStyle = TRUE;
  }
  RecalcFramesLayout();
}

int CTKDockingPaneManager::GetRTLDirection(int nDirection) const
{
  const BOOL bRTL = m_pSite != nullptr && m_pSite->GetSafeHwnd() != nullptr &&
                    (m_pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
  if (bRTL && nDirection == TK_DOCK_LEFT) {
    return TK_DOCK_RIGHT;
  }
  if (bRTL && nDirection == TK_DOCK_RIGHT) {
    return TK_DOCK_LEFT;
  }
  return nDirection;
}

CTKDockingPaneLayout* CTKDockingPaneManager::CreateLayout() { return new CTKDockingPaneLayout(this); }

CTKDockingPaneBase* CTKDockingPaneManager::OnCreatePane(int nType, CTKDockingPaneLayout* pLayout)
{
  switch (nType) {
    case TK_DOCKINGPANE_PANE:
      return new CTKDockingPane(pLayout);
    case TK_DOCKINGPANE_TABBED:
      return new CTKDockingPaneTabbedContainer(pLayout);
    case TK_DOCKINGPANE_SPLITTER:
      return new CTKDockingPaneSplitterContainer(pLayout);
    case TK_DOCKINGPANE_CLIENT:
      return new CTKDockingPaneBase(TK_DOCKINGPANE_CLIENT, pLayout);
    case TK_DOCKINGPANE_MINIWND:
      return new CTKDockingPaneMiniWnd(pLayout);
    case TK_DOCKINGPANE_AUTOHIDE:
      return new CTKDockingPaneAutoHidePanel(pLayout);
    default:
      return nullptr;
  }
}

void CTKDockingPaneManager::OnActivatePane(BOOL bActivate, CTKDockingPane* pPane)
{
  if (bActivate) {
    if (pPane == m_pActivePane) {
      return;
    }
    if (CTKDockingPane* pPrevious = m_pActivePane; pPrevious != nullptr) {
      m_pActivePane = nullptr;
      NotifyAction(tkActionDeactivated, pPrevious);
      pPrevious->InternalRelease();
    }
    m_pActivePane = pPane;
    if (pPane != nullptr) {
      pPane->InternalAddRef();
      NotifyAction(tkActionActivated, pPane);
    }
    return;
  }
  if (pPane != nullptr && pPane == m_pActivePane) {
    m_pActivePane = nullptr;
    NotifyAction(tkActionDeactivated, pPane);
    pPane->InternalRelease();
  }
}

CTKDockingPane* CTKDockingPaneManager::CreatePane(int nID, CRect rc, int nDirection, CTKDockingPaneBase* pNeighbour)
{
  auto* pPane = static_cast<CTKDockingPane*>(OnCreatePane(TK_DOCKINGPANE_PANE, m_pLayout));
  pPane->SetID(nID);
  pPane->SetRect(rc);
  TK_DOCKINGPANE_INFO info;
  info.pPane = pPane;
  m_pLayout->m_lstPanes.AddTail(info);
  DockNode(pPane, nDirection, pNeighbour);
  RecordPaneHolders();
  return pPane;
}

CTKDockingPane* CTKDockingPaneManager::FindPane(int nID) const
{
  if (m_pLayout == nullptr) {
    return nullptr;
  }
  for (POSITION pos = m_pLayout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    const TK_DOCKINGPANE_INFO& info = m_pLayout->m_lstPanes.GetNext(pos);
    if (info.pPane->GetID() == nID) {
      return info.pPane;
    }
  }
  return nullptr;
}

BOOL CTKDockingPaneManager::IsPaneClosed(const CTKDockingPane* pPane) const
{
  return pPane == nullptr || pPane->GetContainer() == nullptr;
}

BOOL CTKDockingPaneManager::IsPaneHidden(const CTKDockingPane* pPane) const
{
  return pPane != nullptr && pPane->IsHidden();
}

void CTKDockingPaneManager::ShowPane(CTKDockingPane* pPane, BOOL bSetFocus)
{
  if (pPane == nullptr || m_pLayout == nullptr) {
    return;
  }
  if (CTKDockingPaneTabbedContainer* pContainer = pPane->GetParentTabbed(); pContainer != nullptr) {
    pContainer->SelectPane(pPane, bSetFocus, TRUE);
    if (auto* pFrame = dynamic_cast<CTKDockingPaneMiniWnd*>(pContainer->GetDockingSite()); pFrame != nullptr) {
      pFrame->TemporaryExpand();
    }
  } else if (TK_DOCKINGPANE_INFO* pInfo = m_pLayout->FindPaneInfo(pPane);
             pInfo != nullptr && pInfo->pLastHolder != nullptr) {
    pInfo->pLastHolder->InsertPane(pPane, bSetFocus);
  }
  if (m_bLayoutCreated) {
    if (m_pSite != nullptr) {
      m_pSite->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_SHOWWINDOW, reinterpret_cast<LPARAM>(pPane));
    }
    if (pPane->GetHwnd() != nullptr) {
      ::ShowWindow(pPane->GetHwnd(), SW_SHOW);
    }
  }
  if (bSetFocus) {
    pPane->SetFocus();
  }
}

void CTKDockingPaneManager::ClosePane(CTKDockingPane* pPane)
{
  if (pPane == nullptr) {
    return;
  }
  const LRESULT lAnswer =
      m_pSite != nullptr ? m_pSite->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_CLOSEPANE,
                                                reinterpret_cast<LPARAM>(pPane))
                         : 0;
  if (lAnswer == -1) {
    return;
  }
  if (CTKDockingPaneBase* pContainer = pPane->GetContainer(); pContainer != nullptr) {
    pContainer->RemovePane(pPane);
  }
}

int CTKDockingPaneManager::GetPaneDirection(const CTKDockingPaneBase* pNode) const
{
  return m_pLayout->GetPaneDirection(pNode);
}

CTKDockingPaneBase* CTKDockingPaneManager::GetClientPane() const
{
  return m_pLayout != nullptr ? m_pLayout->GetClient() : nullptr;
}

CTKDockingPaneBase* CTKDockingPaneManager::GetTopPane() const
{
  return m_pLayout != nullptr ? m_pLayout->m_pTopContainer : nullptr;
}

int32_t CTKDockingPaneManager::NotifyAction(int nAction, CTKDockingPane* pPane, void* pArgument, INT_PTR nArgument)
{
  TK_DOCKINGPANE_ACTION action{nAction, 0, pPane, pArgument, nArgument};
  if (m_pSite != nullptr && m_pSite->GetSafeHwnd() != nullptr) {
    m_pSite->SendMessage(TK_WM_DOCKINGPANENOTIFY, TK_DPN_ACTION, reinterpret_cast<LPARAM>(&action));
  }
  return action.cancel;
}

void CTKDockingPaneManager::RecalcFramesLayout()
{
  if (GetSafeHwnd() == nullptr || m_pLayout == nullptr) {
    return;
  }
  for (POSITION pos = m_pLayout->m_lstNodes.GetHeadPosition(); pos != nullptr;) {
    if (CTKDockingPaneBase* pNode = m_pLayout->m_lstNodes.GetNext(pos); pNode->GetType() == TK_DOCKINGPANE_MINIWND) {
      static_cast<CTKDockingPaneMiniWnd*>(pNode)->UpdateCaptionStyle();
    }
  }
  for (POSITION pos = m_pLayout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    const TK_DOCKINGPANE_INFO& info = m_pLayout->m_lstPanes.GetNext(pos);
    if (CWnd* pSite = info.pPane->GetContainerSite(); pSite != nullptr) {
      if (auto* pFrame = dynamic_cast<CFrameWnd*>(pSite); pFrame != nullptr) {
        pFrame->DelayRecalcLayout();
      }
    }
  }
}

void CTKDockingPaneManager::UpdatePanesFocus()
{
  if (m_pLayout == nullptr) {
    return;
  }
  for (POSITION pos = m_pLayout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    const TK_DOCKINGPANE_INFO& info = m_pLayout->m_lstPanes.GetNext(pos);
    if (CTKDockingPaneBase* pContainer = info.pPane->GetContainer(); pContainer != nullptr) {
      pContainer->OnFocusChanged();
    }
  }
}

LRESULT CTKDockingPaneManager::OnSizeParent(WPARAM /*wParam*/, LPARAM lParam)
{
  if (m_pLayout == nullptr || m_pLayout->m_pTopContainer == nullptr) {
    return 0;
  }
  auto* pParams = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  // The auto-hide panels cut their strips from the rectangle first.
  CRect rc = pParams->rect;
  for (CTKDockingPaneBase* pPanel : m_pLayout->m_wndPanels) {
    if (pPanel != nullptr) {
      static_cast<CTKDockingPaneAutoHidePanel*>(pPanel)->OnLayout(m_pSite, rc, pParams);
    }
  }
  m_pLayout->GetClient()->OnSizeParent(m_pSite, rc, pParams);
  m_pLayout->m_pTopContainer->OnSizeParent(m_pSite, rc, pParams);
  RecordPaneHolders();
  m_bLayoutCreated = TRUE;
  return 0;
}

LRESULT CTKDockingPaneManager::OnIdleUpdateCmdUI(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
  UpdatePanesFocus();
  return 0;
}

LRESULT CTKDockingPaneManager::OnSysColorChangeMessage(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
  TKColorManager().RefreshColors();
  RecalcFramesLayout();
  return 0;
}

LRESULT CTKDockingPaneManager::OnSettingChange(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
  if (m_pPaintManager != nullptr) {
    m_pPaintManager->RefreshMetrics();
  }
  RecalcFramesLayout();
  return 0;
}
