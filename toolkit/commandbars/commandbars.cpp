#include "toolkit/commandbars/commandbars.h"

#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/controllists.h"
#include "toolkit/commandbars/customizesheet.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/dockbar.h"
#include "toolkit/commandbars/menubar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/tooltip_context.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CTKCommandBars, CCmdTarget)

namespace {

// The bar edit field that has the focus, if any.
CTKEdit* FocusedBarEdit() { return dynamic_cast<CTKEdit*>(CWnd::FromHandlePermanent(::GetFocus())); }

constexpr LPARAM kAltContextBit = LPARAM(1) << 29;
constexpr int kKeyboardCuesNoFrameAccel = 2;
constexpr int kKeyboardCuesAcrossBars = 1;
constexpr int kKeyboardCuesNoFirstLetter = 4;

// The dock rows in the order top, bottom, left, right.
struct DockRowStyle {
  UINT nID;
  DWORD dwStyle;
};
constexpr DockRowStyle kDockRows[4] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
};
constexpr DWORD kDockRowWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
// How far outside a dock row a dragged bar is still taken in.
constexpr int kDockMargin = 20;
constexpr UINT kMenuBarID = 1;

}  // namespace

void CTKCommandBarsOptions::SetKeyboardCuesShow(int nMode)
{
  m_nKeyboardCuesShow = nMode;
  if (!m_pCommandBars)
    return;
  if (nMode == 0) {
    m_pCommandBars->SetKeyboardCuesState(TRUE, FALSE);
  } else if (nMode == 1) {
    m_pCommandBars->SetKeyboardCuesState(FALSE, FALSE);
  } else {
    BOOL bCues = TRUE;
    ::SystemParametersInfo(SPI_GETKEYBOARDCUES, 0, &bCues, 0);
    m_pCommandBars->SetKeyboardCuesState(bCues, !bCues);
  }
}

CTKCommandBars::CTKCommandBars()
    : m_pOptions(new CTKCommandBarsOptions(this)),
      m_pShortcutManager(new CTKShortcutManager(this)),
      m_pToolTipContext(new CTKToolTipContext),
      m_pDropSource(new CTKCustomizeDropSource(this))
{
  // Captions keep their ampersands in tips: the tip shows them as they are.
  m_pToolTipContext->ModifyToolTipStyle(TTS_NOPREFIX, 0);
}

CTKCommandBars::~CTKCommandBars()
{
  SetDragControl(nullptr);
  delete m_pDropSource;
  m_pDropSource = nullptr;
  std::vector<CTKCommandBar*> bars;
  bars.swap(m_arrBars);
  m_pMenuBar = nullptr;
  for (CTKCommandBar* pBar : bars) {
    pBar->SetCommandBars(nullptr);
    pBar->InternalRelease();
  }
  for (CTKDockBar*& pDockBar : m_pDocks) {
    delete pDockBar;
    pDockBar = nullptr;
  }
  if (m_pPaintManager)
    m_pPaintManager->InternalRelease();
  if (m_pImageManager)
    m_pImageManager->InternalRelease();
  m_pToolTipContext->InternalRelease();
  m_pShortcutManager->InternalRelease();
  m_pOptions->InternalRelease();
  TKSoundManager().StopThread();
}

void CTKCommandBars::SetSite(CWnd* pFrame)
{
  m_pFrame = pFrame;
  AFX_CMDHANDLERINFO info;
  m_bCustomizeAvail = pFrame && pFrame->OnCmdMsg(TK_ID_CUSTOMIZE, CN_COMMAND, nullptr, &info);
}

void CTKCommandBars::AddBar(CTKCommandBar* pBar)
{
  if (!pBar)
    return;
  pBar->SetCommandBars(this);
  m_arrBars.push_back(pBar);
  m_pDropSource->Register(pBar);
  if (!m_pMenuBar && pBar->GetType() == tkBarTypeMenuBar)
    m_pMenuBar = pBar;
}

void CTKCommandBars::Remove(CTKCommandBar* pBar)
{
  auto it = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
  if (it == m_arrBars.end())
    return;
  // Out of the array first: hiding a torn-off bar asks to remove it again.
  m_arrBars.erase(it);
  m_pDropSource->Unregister(pBar);
  if (m_pMenuBar == pBar)
    m_pMenuBar = nullptr;
  if (pBar->GetSafeHwnd())
    pBar->ShowWindow(SW_HIDE);
  pBar->SetVisible(FALSE);
  if (auto* pToolBar = dynamic_cast<CTKToolBar*>(pBar); pToolBar && pToolBar->GetDockBar())
    pToolBar->GetDockBar()->RemoveCommandBar(pToolBar, -1);
  RecalcFrameLayout();
  pBar->InternalRelease();
}

CTKCommandBar* CTKCommandBars::GetAt(int nIndex) const
{
  return nIndex >= 0 && nIndex < GetCount() ? m_arrBars[static_cast<size_t>(nIndex)] : nullptr;
}

CTKCommandBar* CTKCommandBars::GetToolBar(UINT nBarID) const
{
  if (nBarID == 0)
    return nullptr;
  for (CTKCommandBar* pBar : m_arrBars)
    if (pBar->GetBarID() == nBarID)
      return pBar;
  return nullptr;
}

int CTKCommandBars::FindIndex(CTKCommandBar* pBar) const
{
  auto it = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
  return it == m_arrBars.end() ? -1 : static_cast<int>(it - m_arrBars.begin());
}

int CTKCommandBars::GetNextVisibleBar(int nIndex, int nDirection) const
{
  int nCount = GetCount();
  if (nCount == 0)
    return -1;
  int nNext = nIndex == -1 && nDirection == -1 ? nCount - 1 : nIndex + nDirection;
  for (int n = 0; n < nCount; ++n, nNext += nDirection) {
    nNext = (nNext % nCount + nCount) % nCount;
    CTKCommandBar* pBar = m_arrBars[static_cast<size_t>(nNext)];
    if (pBar->IsVisible())
      return nNext;
  }
  return -1;
}

BOOL CTKCommandBars::IsLayoutRTL() const
{
  return m_pFrame && m_pFrame->GetSafeHwnd() && (m_pFrame->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

BOOL CTKCommandBars::EnableDocking()
{
  if (!m_pFrame || !m_pFrame->GetSafeHwnd())
    return FALSE;
  for (int i = 0; i < 4; ++i) {
    if (m_pDocks[i])
      continue;
    auto* pDockBar = new CTKDockBar(this);
    if (!pDockBar->Create(m_pFrame, kDockRows[i].dwStyle | kDockRowWindowStyle, kDockRows[i].nID)) {
      delete pDockBar;
      return FALSE;
    }
    m_pDocks[i] = pDockBar;
  }
  return TRUE;
}

CTKDockBar* CTKCommandBars::GetDockBar(int nIndex) const
{
  return nIndex >= 0 && nIndex < 4 ? m_pDocks[nIndex] : nullptr;
}

CTKMenuBar* CTKCommandBars::SetMenu(const CString& strName, UINT nMenuID)
{
  auto* pMenuBar = static_cast<CTKMenuBar*>(RUNTIME_CLASS(CTKMenuBar)->CreateObject());
  pMenuBar->SetCommandBars(this);
  pMenuBar->EnableDocking(TK_DOCK_MENUBAR_FLAGS);
  pMenuBar->SetTitle(strName);
  pMenuBar->SetBarID(kMenuBarID);
  if (!pMenuBar->SetPosition(tkBarTop) || !pMenuBar->LoadMenuBar(nMenuID)) {
    if (pMenuBar->GetDockBar())
      pMenuBar->GetDockBar()->RemoveCommandBar(pMenuBar, -1);
    pMenuBar->InternalRelease();
    return nullptr;
  }
  if (nMenuID > 0) {
    pMenuBar->GetControls()->CreateOriginalControls();
    m_nMenuID = nMenuID;
  }
  m_arrBars.push_back(pMenuBar);
  m_pMenuBar = pMenuBar;
  return pMenuBar;
}

CTKToolBar* CTKCommandBars::Add(const CString& strName, int nPosition, CRuntimeClass* pToolBarClass)
{
  CRuntimeClass* pClass = pToolBarClass ? pToolBarClass : RUNTIME_CLASS(CTKToolBar);
  auto* pToolBar = dynamic_cast<CTKToolBar*>(pClass->CreateObject());
  if (!pToolBar)
    return nullptr;
  pToolBar->SetCommandBars(this);
  pToolBar->EnableDocking(TK_DOCK_TOOLBAR_FLAGS);
  pToolBar->SetTitle(strName);
  if (!pToolBar->SetPosition(nPosition)) {
    if (pToolBar->GetDockBar())
      pToolBar->GetDockBar()->RemoveCommandBar(pToolBar, -1);
    pToolBar->InternalRelease();
    return nullptr;
  }
  m_arrBars.push_back(pToolBar);
  return pToolBar;
}

CTKToolBar* CTKCommandBars::AddCustomBar(const CString& strName, UINT nID, BOOL bTearOffBar)
{
  auto* pToolBar = static_cast<CTKToolBar*>(RUNTIME_CLASS(CTKToolBar)->CreateObject());
  pToolBar->SetCommandBars(this);
  TK_CREATEBARSTRUCT cs;
  cs.pCommandBar = pToolBar;
  cs.bCustomBar = TRUE;
  cs.bTearOffBar = bTearOffBar;
  cs.lpcstrCaption = strName;
  cs.nID = nID;
  if (m_pFrame && m_pFrame->GetSafeHwnd())
    m_pFrame->SendMessage(TKWM_CREATECOMMANDBAR, 0, reinterpret_cast<LPARAM>(&cs));
  if (!pToolBar->GetDockContext())
    pToolBar->EnableDocking(TK_DOCK_TOOLBAR_FLAGS);
  pToolBar->SetTitle(strName);
  if (!pToolBar->SetPosition(bTearOffBar ? tkBarFloating : tkBarTop)) {
    if (pToolBar->GetDockBar())
      pToolBar->GetDockBar()->RemoveCommandBar(pToolBar, -1);
    pToolBar->InternalRelease();
    return nullptr;
  }
  m_arrBars.push_back(pToolBar);
  pToolBar->SetBarID(nID);
  pToolBar->SetBuiltIn(FALSE);
  pToolBar->SetTearOff(bTearOffBar);
  if (!bTearOffBar)
    RecalcFrameLayout();
  return pToolBar;
}

BOOL CTKCommandBars::DockCommandBar(CTKToolBar* pBar, LPCRECT lpRect, CTKDockBar* pDockBar)
{
  if (!pBar || !pDockBar || !pBar->Create(m_pFrame, FALSE))
    return FALSE;
  pDockBar->DockCommandBar(pBar, lpRect);
  pBar->SetBarPosition(pDockBar->GetPosition());
  return TRUE;
}

BOOL CTKCommandBars::DockCommandBar(CTKToolBar* pBar, LPCRECT lpRect, int nDockIndex)
{
  return DockCommandBar(pBar, lpRect, GetDockBar(nDockIndex));
}

BOOL CTKCommandBars::FloatCommandBar(CTKToolBar* pBar)
{
  if (!pBar || !pBar->Create(m_pFrame, TRUE))
    return FALSE;
  if (CTKDockBar* pDockBar = pBar->GetDockBar())
    pDockBar->RemoveCommandBar(pBar, -1);
  pBar->SetDockBar(nullptr);
  pBar->SetBarPosition(tkBarFloating);
  return TRUE;
}

CTKDockBar* CTKCommandBars::CanDock(CPoint pt, CTKDockBar* pHint) const
{
  auto takes = [pt](CTKDockBar* pDockBar) {
    if (!pDockBar || !pDockBar->GetSafeHwnd())
      return false;
    CRect rc;
    pDockBar->GetWindowRect(&rc);
    rc.InflateRect(kDockMargin, kDockMargin);
    return rc.PtInRect(pt) != FALSE;
  };
  if (takes(pHint))
    return pHint;
  for (CTKDockBar* pDockBar : m_pDocks)
    if (takes(pDockBar))
      return pDockBar;
  return nullptr;
}

void CTKCommandBars::GetHiddenControls(CTKToolBar* pBar, CTKCommandBar* pPopup)
{
  if (!pBar || !pPopup)
    return;
  std::vector<CTKToolBar*> arrRow;
  CTKDockBar* pDockBar = pBar->GetDockBar();
  if (pDockBar)
    pDockBar->GetVisibleRow(pDockBar->FindBar(pBar), arrRow);
  if (arrRow.empty())
    arrRow.push_back(pBar);
  CTKControls* pPopupControls = pPopup->GetControls();
  for (CTKToolBar* pRowBar : arrRow) {
    for (int i = 0; i < pRowBar->GetControlCount(); ++i) {
      CTKControl* pControl = pRowBar->GetControl(i);
      if (pControl->GetHideFlags() != TK_HIDEWRAP)
        continue;
      CTKControl* pCopy = pPopupControls->AddClone(pControl);
      if (!pCopy)
        continue;
      pCopy->SetHideFlags(0);
      pCopy->SetBeginGroup(FALSE);
    }
  }
}

void CTKCommandBars::GetAddOrRemovePopup(CTKToolBar* pBar, CTKCommandBar* pPopup)
{
  if (!pBar || !pPopup)
    return;
  std::vector<CTKToolBar*> arrRow;
  if (CTKDockBar* pDockBar = pBar->GetDockBar())
    pDockBar->GetVisibleRow(pDockBar->FindBar(pBar), arrRow);
  if (arrRow.empty())
    arrRow.push_back(pBar);
  CTKControls* pControls = pPopup->GetControls();
  for (CTKToolBar* pRowBar : arrRow) {
    auto* pEntry = new CTKToolBar::CTKControlAddOrRemove(pRowBar);
    pControls->InsertAt(pEntry, 0);
    pEntry->SetCaption(pRowBar->GetTitle());
    pEntry->SetEnabled(m_bCustomizeAvail && pRowBar->IsBuiltIn() && pRowBar->IsCustomizable());
  }
  if (m_bCustomizeAvail) {
    if (CTKControl* pCustomize = pControls->Add(tkControlButton, TK_ID_CUSTOMIZE))
      pCustomize->SetBeginGroup(TRUE);
  }
}

CTKPaintManager* CTKCommandBars::GetPaintManager() const
{
  return m_pPaintManager ? m_pPaintManager : CTKPaintManager::GetCurrent();
}

void CTKCommandBars::SetPaintManager(CTKPaintManager* pPaintManager)
{
  if (m_pPaintManager)
    m_pPaintManager->InternalRelease();
  m_pPaintManager = pPaintManager;
  if (m_pPaintManager)
    m_pPaintManager->RefreshMetrics();
}

CTKImageManager* CTKCommandBars::GetImageManager() const
{
  return m_pImageManager ? m_pImageManager : &TKImageManager();
}

CTKMouseManager* CTKCommandBars::GetMouseManager() const
{
  if (!m_pMouseManager)
    m_pMouseManager = TKMouseManager();
  return m_pMouseManager;
}

void CTKCommandBars::SetDragControl(CTKControl* pControl)
{
  if (pControl == m_pDragControl)
    return;
  if (pControl)
    pControl->InternalAddRef();
  if (m_pDragControl)
    m_pDragControl->InternalRelease();
  m_pDragControl = pControl;
  if (m_pFrame && m_pFrame->GetSafeHwnd())
    m_pFrame->SendMessage(TKWM_DRAGCONTROLCHANGED, 0, 0);
}

void CTKCommandBars::ClosePopups() const { GetMouseManager()->CloseTrackedBars(); }

int CTKCommandBars::TrackPopupMenu(CTKPopupBar* pPopup, UINT nFlags, int x, int y, CWnd* pWnd, const RECT* prcExclude,
                                   CWnd* pWndOwner)
{
  if (!pPopup)
    return 0;
  int nReturn = 0;
  pPopup->SetOwnerWindow(pWnd);
  pPopup->SetNotifyWindow(pWndOwner);
  pPopup->m_pReturnCmd = (nFlags & TPM_RETURNCMD) ? &nReturn : nullptr;
  pPopup->m_bRightButton = (nFlags & TPM_RIGHTBUTTON) != 0;
  pPopup->m_bNoNotify = (nFlags & TPM_NONOTIFY) != 0;
  pPopup->m_bRecursePopup = (nFlags & TPM_RECURSE) != 0;
  pPopup->SetDirectionFlags((nFlags & TPM_RIGHTALIGN) ? TK_POPUP_LEFT | TK_POPUP_DOWN : TK_POPUP_DOWN);
  CTKMouseManager* pMouseManager = GetMouseManager();
  BOOL bLocked = FALSE;
  if (!(nFlags & TPM_RECURSE)) {
    ClosePopups();
    ::ReleaseCapture();
  } else {
    pMouseManager->CloseUnlockedBars();
    pMouseManager->LockTrackRecurse(TRUE);
    bLocked = TRUE;
  }
  pMouseManager->m_bEatNextRelease = TRUE;
  // The popup's owner may release it while the loop runs.
  pPopup->InternalAddRef();
  BOOL bOpened = pPopup->PopupAt(x, y, prcExclude);
  while (bOpened && pPopup->IsTrackingMode()) {
    MSG msg;
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!pPopup->IsTrackingMode()) {
      ::PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      break;
    }
    if (msg.message == WM_KICKIDLE)
      continue;
    CWinThread* pThread = AfxGetThread();
    if (!pThread || !pThread->PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
  if (bLocked)
    pMouseManager->LockTrackRecurse(FALSE);
  pPopup->m_pReturnCmd = nullptr;
  pPopup->InternalRelease();
  if (!bOpened)
    return 0;
  return (nFlags & TPM_RETURNCMD) ? nReturn : 1;
}

CTKPopupBar* CTKCommandBars::GetToolbarsPopup()
{
  CTKPopupBar* pPopup = CTKPopupBar::CreatePopupBar(this);
  if (auto* pList = DYNAMIC_DOWNCAST(CTKControlToolbars, pPopup->GetControls()->Add(tkControlButton, TK_ID_TOOLBARLIST)))
    pList->m_bCustomizeEntry = TRUE;
  return pPopup;
}

void CTKCommandBars::ContextMenu(CTKCommandBar* pBar, CPoint point)
{
  if (IsCustomizeMode())
    return;
  CTKPopupBar* pPopup = GetToolbarsPopup();
  if (m_pFrame && m_pFrame->GetSafeHwnd())
    m_pFrame->SendMessage(TKWM_TOOLBARCONTEXTMENU, reinterpret_cast<WPARAM>(pBar), reinterpret_cast<LPARAM>(pPopup));
  if (pPopup->GetControlCount() > 0) {
    ClosePopups();
    pPopup->SetDirectionFlags(IsLayoutRTL() ? TK_POPUP_LEFT : 0);
    if (pPopup->PopupAt(point.x, point.y)) {
      CWinThread* pThread = AfxGetThread();
      while (pPopup->IsTrackingMode()) {
        MSG msg;
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
          ::PostQuitMessage(static_cast<int>(msg.wParam));
          break;
        }
        if (!pThread || !pThread->PreTranslateMessage(&msg)) {
          ::TranslateMessage(&msg);
          ::DispatchMessage(&msg);
        }
      }
      // A quit ends the loop with the menu still open: it must not outlive this call.
      if (pPopup->IsTrackingMode())
        pPopup->SetTrackingMode(0, FALSE, FALSE);
    }
  }
  pPopup->InternalRelease();
}

void CTKCommandBars::OnTrackingModeChanged(CTKCommandBar* /*pBar*/, int bMode)
{
  if (!bMode && m_bDynamicCues && GetMouseManager()->GetTrackedBarCount() == 0)
    ShowKeyboardCues(FALSE);
}

BOOL CTKCommandBars::ActivateBar(CTKCommandBar* pBar, int nDirection)
{
  if (!pBar)
    return FALSE;
  if (nDirection != 0 && GetCount() >= 2) {
    int nIndex = FindIndex(pBar);
    int nNext = GetNextVisibleBar(nIndex, nDirection);
    if (nNext == -1 || nNext == nIndex)
      return FALSE;
    pBar = GetAt(nNext);
  }
  ClosePopups();
  ShowKeyboardCues(TRUE);
  pBar->SetTrackingMode(1, FALSE, TRUE);
  CTKControls* pControls = pBar->GetControls();
  int nFirst = pControls->GetNext(-1, 1);
  if (pBar->GetType() == tkBarTypeMenuBar) {
    // The menu bar skips disabled items too.
    for (int n = 0; nFirst != -1 && !pControls->GetAt(nFirst)->GetEnabled() && n < pControls->GetCount(); ++n)
      nFirst = pControls->GetNext(nFirst, 1);
    if (nFirst != -1 && !pControls->GetAt(nFirst)->GetEnabled())
      nFirst = -1;
  }
  pBar->SetSelected(nFirst, TRUE);
  return TRUE;
}

BOOL CTKCommandBars::IsHiddenCommand(UINT nId) const
{
  return m_pOptions->m_mapHiddenCommands.count(nId) != 0 && m_pOptions->m_mapUsedCommands.count(nId) == 0;
}

BOOL CTKCommandBars::IsControlHidden(CTKControl* pControl) const { return IsControlHiddenDepth(pControl, 0); }

BOOL CTKCommandBars::IsControlHiddenDepth(CTKControl* pControl, int nDepth) const
{
  if (pControl->GetID() != 0 && IsHiddenCommand(static_cast<UINT>(pControl->GetID())))
    return TRUE;
  int nType = pControl->GetType();
  if (!m_pOptions->bAutoHideUnusedPopups || nType < tkControlPopup || nType > tkControlSplitButtonPopup)
    return FALSE;
  CTKCommandBar* pBar = pControl->GetCommandBar();
  // Bars shared in a cycle (a damaged stored state) end the walk at a depth no menu reaches.
  if (!pBar || pBar->GetControlCount() == 0 || nDepth > 32)
    return TRUE;
  for (int i = 0; i < pBar->GetControlCount(); ++i)
    if (!IsControlHiddenDepth(pBar->GetControl(i), nDepth + 1))
      return FALSE;
  return TRUE;
}

void CTKCommandBars::ToggleVisible(int nIndex)
{
  if (CTKCommandBar* pBar = GetAt(nIndex)) {
    pBar->SetVisible(!pBar->IsVisible());
    RecalcFrameLayout();
  }
}

void CTKCommandBars::HideCommands(const UINT* pCommands, int nCount)
{
  for (int i = 0; i < nCount; ++i)
    m_pOptions->m_mapHiddenCommands.insert(pCommands[i]);
}

void CTKCommandBars::SetCommandUsed(UINT nId)
{
  if (m_pOptions->m_mapHiddenCommands.count(nId) != 0)
    m_pOptions->m_mapUsedCommands.insert(nId);
}

BOOL CTKCommandBars::PreTranslateFrameMessage(MSG* pMsg)
{
  CTKMouseManager* pMouse = GetMouseManager();
  BOOL bTracked = pMouse->GetTrackedBarCount() > 0;
  if (pMsg->message == WM_SYSKEYDOWN && (pMsg->lParam & kAltContextBit) && !pMouse->IsMouseLocked() && !bTracked) {
    CWnd* pTop = m_pFrame ? m_pFrame->GetTopLevelParent() : nullptr;
    if (pTop && ::GetActiveWindow() == pTop->GetSafeHwnd()) {
      if (pMsg->wParam == VK_MENU) {
        ShowKeyboardCues(TRUE);
        return FALSE;
      }
      UINT nKey = static_cast<UINT>(pMsg->wParam & 0xFF);
      if (nKey != 0 && OnFrameAccel(nKey))
        return TRUE;
    }
  }
  if ((pMsg->message == WM_SYSKEYUP || pMsg->message == WM_KEYUP) && m_bDynamicCues && m_bKeyboardCuesVisible &&
      !bTracked)
    ShowKeyboardCues(FALSE);
  if ((pMsg->message == WM_CONTEXTMENU || pMsg->message == WM_SYSKEYUP) && pMouse->GetTrackedBarCount() > 0)
    return TRUE;
  if (pMsg->message == WM_MOUSEWHEEL && TKKeyboardManager()->GetClientCount() > 0)
    return TKKeyboardManager()->ProcessKeyboardHooks(WM_MOUSEWHEEL, pMsg->wParam, pMsg->lParam);
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= 0x108 && m_pFrame)
    return m_pShortcutManager->TranslateAccelerator(m_pFrame->GetSafeHwnd(), pMsg);
  return FALSE;
}

BOOL CTKCommandBars::OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  switch (message) {
  case WM_COMMAND:
    // Menu commands such as cut and paste reach a bar's edit field first.
    if (CTKEdit* pEdit = FocusedBarEdit(); pEdit && pEdit->OnCommand(wParam, lParam)) {
      if (pResult)
        *pResult = 1;
      return TRUE;
    }
    return FALSE;
  case WM_IDLEUPDATECMDUI:
    for (CTKCommandBar* pBar : m_arrBars)
      if (pBar->GetPosition() == tkBarFloating)
        pBar->OnUpdateCmdUI(nullptr, static_cast<BOOL>(wParam));
    return FALSE;
  case WM_SYSCOLORCHANGE:
  case WM_SETTINGCHANGE:
    if (message == WM_SYSCOLORCHANGE) {
      TKColorManager().RefreshColors();
      GetImageManager()->RefreshAll();
    }
    GetPaintManager()->RefreshMetrics();
    RecalcFrameLayout(FALSE);
    if (m_pFrame && m_pFrame->GetSafeHwnd())
      m_pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return FALSE;
  case WM_ACTIVATEAPP:
    if (wParam == 0)
      ClosePopups();
    return FALSE;
  case WM_SYSCOMMAND:
    if (!m_bCustomizeMode && wParam != SC_KEYMENU && !(wParam != 0 && LOWORD(wParam) == 0))
      ClosePopups();
    return FALSE;
  default:
    return FALSE;
  }
}

BOOL CTKCommandBars::OnFrameAccel(UINT chAccel)
{
  if (m_pOptions->keyboardCuesUse == kKeyboardCuesNoFrameAccel)
    return FALSE;
  UINT nKey = chAccel & 0xFF;
  if (nKey >= VK_NUMPAD0 && nKey <= VK_NUMPAD9)
    return FALSE;
  if (MapVirtualKeyA(chAccel, 2) == 0)
    return FALSE;
  CTKCommandBar* pBar = nullptr;
  for (CTKCommandBar* pToolBar : m_arrBars)
    if (pToolBar->GetType() == tkBarTypeNormal && pToolBar->IsTrackingMode()) {
      pBar = pToolBar;
      break;
    }
  if (!pBar && m_pMenuBar && m_pMenuBar->IsVisible())
    pBar = m_pMenuBar;
  if (!pBar && (m_pOptions->keyboardCuesUse & kKeyboardCuesAcrossBars)) {
    for (CTKCommandBar* pToolBar : m_arrBars)
      if (pToolBar->GetType() == tkBarTypeNormal && pToolBar->IsVisible()) {
        pBar = pToolBar;
        break;
      }
  }
  if (!pBar)
    return FALSE;
  BOOL bAmbiguous = FALSE;
  CTKControl* pControl = FindAccel(pBar, chAccel, bAmbiguous);
  if (!pControl)
    return FALSE;
  CTKCommandBar* pControlBar = pControl->GetParent();
  if (!pControlBar)
    return FALSE;
  if (!pControlBar->IsTrackingMode())
    ClosePopups();
  ShowKeyboardCues(TRUE);
  pControlBar->SetTrackingMode(1, FALSE, TRUE);
  pControlBar->SetSelected(pControl->GetIndex(), TRUE);
  if (!bAmbiguous)
    pControl->Execute();
  return TRUE;
}

CTKControl* CTKCommandBars::GetNextAccelControl(CTKControls*& pControls, int nIndex) const
{
  int nNext = pControls->GetNext(nIndex, 1, FALSE, FALSE, TRUE);
  if (nNext == -1)
    return nullptr;
  if ((m_pOptions->keyboardCuesUse & kKeyboardCuesAcrossBars) && nNext <= nIndex && pControls->GetParent()) {
    int nBar = FindIndex(pControls->GetParent());
    int nStartBar = nBar;
    for (int n = 0; n < GetCount(); ++n) {
      nBar = GetNextVisibleBar(nBar, 1);
      if (nBar == -1 || nBar == nStartBar)
        return nullptr;
      CTKControls* pNextControls = GetAt(nBar)->GetControls();
      int nFirst = pNextControls->GetNext(-1, 1, FALSE, FALSE, TRUE);
      if (nFirst != -1) {
        pControls = pNextControls;
        return pControls->GetAt(nFirst);
      }
    }
    return nullptr;
  }
  return pControls->GetAt(nNext);
}

CTKControl* CTKCommandBars::FindAccel(CTKCommandBar* pBar, UINT chAccel, BOOL& bSelectOnly) const
{
  bSelectOnly = FALSE;
  CTKControls* pControls = pBar->GetControls();
  CTKControl* pAmpersand = nullptr;
  CTKControl* pFirstLetter = nullptr;
  CTKControl* pStart = nullptr;
  CTKControl* pControl = GetNextAccelControl(pControls, pBar->GetSelected());
  // Every control is seen at most once per bar.
  int nLimit = 1;
  for (CTKCommandBar* pAny : m_arrBars)
    nLimit += pAny->GetControlCount();
  nLimit += pBar->GetControlCount();
  for (int n = 0; pControl && pControl != pStart && n < nLimit; ++n) {
    if (!pStart)
      pStart = pControl;
    CString strCaption = pControl->GetCaption();
    if (pControl->GetEnabled() && pControl->IsCaptionVisible() && !strCaption.IsEmpty()) {
      int nAmp = strCaption.Find('&');
      if (nAmp >= 0 && nAmp < strCaption.GetLength() - 1) {
        if (CTKShortcutManager::CompareAccelKey(strCaption[nAmp + 1], chAccel)) {
          if (pAmpersand) {
            bSelectOnly = TRUE;
            return pAmpersand;
          }
          pAmpersand = pControl;
        }
      } else if (!(m_pOptions->keyboardCuesUse & kKeyboardCuesNoFirstLetter) && pControl->GetParent() &&
                 (pControl->GetParent()->GetType() == tkBarTypeMenuBar || pControl->GetParent()->IsTrackingMode()) &&
                 CTKShortcutManager::CompareAccelKey(strCaption[0], chAccel)) {
        if (pFirstLetter)
          bSelectOnly = TRUE;
        else
          pFirstLetter = pControl;
      }
    }
    pControl = GetNextAccelControl(pControls, pControl->GetIndex());
  }
  if (pAmpersand)
    return pAmpersand;
  return pFirstLetter;
}

void CTKCommandBars::ShowKeyboardCues(BOOL bShow)
{
  if (m_bCustomizeMode)
    bShow = TRUE;
  if (!m_bDynamicCues || m_bKeyboardCuesVisible == bShow)
    return;
  m_bKeyboardCuesVisible = bShow;
  for (CTKCommandBar* pBar : m_arrBars)
    if (pBar->GetSafeHwnd() && pBar->IsVisible())
      pBar->InvalidateRect(nullptr, FALSE);
}

void CTKCommandBars::SetQuickCustomizeMode(BOOL bMode)
{
  m_bCustomizeMode = bMode;
  m_bQuickCustomizeMode = bMode;
  SetDragControl(nullptr);
  ShowKeyboardCues(bMode);
}

void CTKCommandBars::RedrawCommandBars()
{
  // The bars' own requests for a frame layout wait for the one at the end.
  m_bLayoutLock = TRUE;
  const std::vector<CTKCommandBar*> bars = m_arrBars;
  for (CTKCommandBar* pBar : bars) {
    if (pBar->IsVisible())
      pBar->OnRecalcLayout();
  }
  m_bLayoutLock = FALSE;
  RecalcFrameLayout();
}

void CTKCommandBars::RecalcFrameLayout(BOOL bDelay)
{
  if (m_bLayoutLock || !m_pFrame || !m_pFrame->GetSafeHwnd())
    return;
  if (m_pFrame->IsFrameWnd()) {
    auto* pFrame = static_cast<CFrameWnd*>(m_pFrame);
    if (bDelay)
      pFrame->m_nIdleFlags |= CFrameWnd::idleLayout;
    else
      pFrame->RecalcLayout(FALSE);
    return;
  }
  CRect rc;
  m_pFrame->GetClientRect(&rc);
  LPARAM lParam = MAKELPARAM(rc.Width(), rc.Height());
  if (bDelay)
    m_pFrame->PostMessage(WM_SIZE, 0, lParam);
  else
    m_pFrame->SendMessage(WM_SIZE, 0, lParam);
}

void CTKCommandBars::RecalcPendingFrameLayout()
{
  if (!m_pFrame || !m_pFrame->GetSafeHwnd() || !m_pFrame->IsFrameWnd())
    return;
  auto* pFrame = static_cast<CFrameWnd*>(m_pFrame);
  if (pFrame->m_nIdleFlags & CFrameWnd::idleLayout) {
    pFrame->RecalcLayout(FALSE);
    pFrame->m_nIdleFlags &= ~CFrameWnd::idleLayout;
  }
}

void CTKCommandBars::OnSetPreviewMode(BOOL bPreview)
{
  m_pShortcutManager->DisableShortcuts(bPreview);
  if (bPreview)
    m_arrPreviewVisible.clear();
  for (size_t i = 0; i < m_arrBars.size(); ++i) {
    CTKCommandBar* pBar = m_arrBars[i];
    if (bPreview) {
      m_arrPreviewVisible.push_back(pBar->IsVisible());
      pBar->SetVisible(FALSE);
    } else if (i < m_arrPreviewVisible.size() && m_arrPreviewVisible[i]) {
      pBar->SetVisible(TRUE);
    }
  }
}

CTKFrameWnd::~CTKFrameWnd()
{
  if (m_pCommandBars)
    m_pCommandBars->InternalRelease();
}

BOOL CTKFrameWnd::InitCommandBars()
{
  CTKPaintManager::GetCurrent();
  m_pCommandBars = static_cast<CTKCommandBars*>(RUNTIME_CLASS(CTKCommandBars)->CreateObject());
  m_pCommandBars->SetSite(this);
  return m_pCommandBars->EnableDocking();
}

void CTKFrameWnd::SaveCommandBars(LPCSTR lpszProfileName)
{
  if (!m_pCommandBars)
    return;
  m_pCommandBars->SaveOptions(lpszProfileName);
  m_pCommandBars->SaveBarState(lpszProfileName, TRUE);
  m_pCommandBars->GetShortcutManager()->SaveShortcuts(lpszProfileName);
}

void CTKFrameWnd::LoadCommandBars(LPCSTR lpszProfileName)
{
  if (!m_pCommandBars)
    return;
  m_pCommandBars->LoadOptions(lpszProfileName);
  m_pCommandBars->LoadBarState(lpszProfileName, FALSE);
  m_pCommandBars->GetShortcutManager()->LoadShortcuts(lpszProfileName);
}

BOOL CTKFrameWnd::PreTranslateMessage(MSG* pMsg)
{
  // Keys typed into a bar's edit field reach it untranslated; Tab, Enter and Esc stay the bar's.
  if (pMsg->message >= WM_KEYDOWN && pMsg->message <= 0x108 && pMsg->wParam != VK_TAB &&
      pMsg->wParam != VK_RETURN && pMsg->wParam != VK_ESCAPE && FocusedBarEdit())
    return FALSE;
  if (CFrameWnd::PreTranslateMessage(pMsg))
    return TRUE;
  return m_pCommandBars && m_pCommandBars->PreTranslateFrameMessage(pMsg);
}

BOOL CTKFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
  if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
    return FALSE;
  if (m_pCommandBars && m_pCommandBars->GetShortcutManager()->GetDefaultAcceleratorTable())
    m_hAccelTable = nullptr;
  return TRUE;
}

BOOL CTKFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (m_pCommandBars && m_pCommandBars->OnFrameWndMsg(message, wParam, lParam, pResult))
    return TRUE;
  if (message == TKWM_CONTROLNOTIFY) {
    auto* pRecord = reinterpret_cast<TK_NMCONTROL*>(lParam);
    if (!pRecord)
      return FALSE;
    LRESULT lResult = 0;
    AFX_NOTIFY notify{&lResult, &pRecord->hdr};
    if (OnCmdMsg(static_cast<UINT>(pRecord->hdr.idFrom), static_cast<int>(AFX_NOTIFY_CODE(pRecord->hdr.code)), &notify, nullptr)) {
      if (pResult)
        *pResult = lResult;
      return TRUE;
    }
    return FALSE;
  }
  return CFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
}
