#include "toolkit/commandbars/commandbar.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/customizesheet.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/tooltip_context.h"

IMPLEMENT_SERIAL(CTKCommandBar, CWnd, TK_BAR_CLASS_SCHEMA)

namespace {

constexpr UINT kAltDragKey = VK_MENU;

// A popup toolbar is laid out as a grid: keys move in two dimensions there.
BOOL IsGrid(const CTKCommandBar* pBar) { return pBar->GetPosition() == tkBarPopup && pBar->GetType() == tkBarTypeNormal; }

}  // namespace

void CTKCommandBar::CTKCommandBarCmdUI::Enable(BOOL bOn)
{
  m_bEnableChanged = TRUE;
  if (!m_pControl)
    return;
  m_pControl->SetEnabled(bOn);
  if (!bOn)
    m_pControl->SetChecked(FALSE);
}

void CTKCommandBar::CTKCommandBarCmdUI::SetCheck(int nCheck)
{
  if (m_pControl)
    m_pControl->SetChecked(nCheck);
}

void CTKCommandBar::CTKCommandBarCmdUI::SetText(LPCSTR lpszText)
{
  if (m_pControl)
    m_pControl->SetCaption(lpszText);
}

CTKCommandBar::CTKCommandBar() : m_pControls(new CTKControls)
{
  m_pControls->SetParent(this);
}

CTKCommandBar::~CTKCommandBar()
{
  if (m_bTracking && GetSafeHwnd())
    SetTrackingMode(0, TRUE, FALSE);
  TKMouseManager()->RemoveTrackedBar(this);
  TKKeyboardManager()->UnhookKeyboardTracking(this);
  if (TKMouseManager()->GetSelectedBar() == this)
    TKMouseManager()->SetSelectedBar(nullptr);
  if (GetSafeHwnd())
    DestroyWindow();
  m_pControls->RemoveAll();
  m_pControls->InternalRelease();
  if (m_pPaintManager)
    m_pPaintManager->InternalRelease();
  if (m_pImageManager)
    m_pImageManager->InternalRelease();
}

CTKCommandBars* CTKCommandBar::GetCommandBars() const
{
  for (const CTKCommandBar* pBar = this; pBar; pBar = pBar->GetParentBar()) {
    if (pBar->m_pCommandBars)
      return pBar->m_pCommandBars;
  }
  return nullptr;
}

CTKCommandBar* CTKCommandBar::GetRootBar() const
{
  const CTKCommandBar* pBar = this;
  // A chain of parents is short; a damaged one that loops stops here.
  for (int i = 0; i < 64 && pBar->GetParentBar(); ++i)
    pBar = pBar->GetParentBar();
  return const_cast<CTKCommandBar*>(pBar);
}

BOOL CTKCommandBar::IsCustomizeMode() const
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  return pCommandBars ? pCommandBars->IsCustomizeMode() : FALSE;
}

CWnd* CTKCommandBar::GetSite() const
{
  if (CTKCommandBars* pCommandBars = GetCommandBars()) {
    if (pCommandBars->GetSite())
      return pCommandBars->GetSite();
  }
  CTKCommandBar* pRoot = GetRootBar();
  if (pRoot->m_pOwner)
    return pRoot->m_pOwner;
  if (m_pOwner)
    return m_pOwner;
  if (GetSafeHwnd()) {
    if (CWnd* pOwner = GetOwner())
      return pOwner;
    if (CWnd* pParent = GetParent())
      return pParent;
  }
  return AfxGetMainWnd();
}

CWnd* CTKCommandBar::GetNotifySite() const
{
  CTKCommandBar* pRoot = GetRootBar();
  return pRoot->m_pNotifyWnd ? pRoot->m_pNotifyWnd : GetSite();
}

BOOL CTKCommandBar::IsLayoutRTL() const
{
  return GetSafeHwnd() && (GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

CTKPaintManager* CTKCommandBar::GetPaintManager() const
{
  if (m_pPaintManager)
    return m_pPaintManager;
  if (CTKCommandBars* pCommandBars = GetCommandBars())
    return pCommandBars->GetPaintManager();
  CTKCommandBar* pRoot = GetRootBar();
  if (pRoot->m_pPaintManager)
    return pRoot->m_pPaintManager;
  return CTKPaintManager::GetCurrent();
}

void CTKCommandBar::SetPaintManager(CTKPaintManager* pPaintManager)
{
  if (m_pPaintManager)
    m_pPaintManager->InternalRelease();
  m_pPaintManager = pPaintManager;
  if (m_pPaintManager)
    m_pPaintManager->RefreshMetrics();
}

CTKImageManager* CTKCommandBar::GetImageManager() const
{
  if (m_pImageManager)
    return m_pImageManager;
  if (CTKCommandBars* pCommandBars = GetCommandBars())
    return pCommandBars->GetImageManager();
  CTKCommandBar* pRoot = GetRootBar();
  if (pRoot->m_pImageManager)
    return pRoot->m_pImageManager;
  return &TKImageManager();
}

void CTKCommandBar::SetImageManager(CTKImageManager* pImageManager)
{
  if (m_pImageManager)
    m_pImageManager->InternalRelease();
  m_pImageManager = pImageManager;
}

CSize CTKCommandBar::GetIconSize() const
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!pCommandBars)
    return m_szIcons == CSize(0, 0) ? CSize(16, 16) : m_szIcons;
  CTKCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
  CSize size = m_szIcons;
  if (m_barType == tkBarTypePopup) {
    if (size == CSize(0, 0))
      size = pOptions->szPopupIcons;
    return size;
  }
  if (size == CSize(0, 0))
    size = pOptions->szIcons;
  if (size == CSize(0, 0))
    size = CSize(16, 16);
  if (pOptions->bLargeIcons && m_szButtons == CSize(0, 0))
    size = pOptions->szLargeIcons == CSize(0, 0) ? CSize(size.cx * 2, size.cy * 2) : pOptions->szLargeIcons;
  return size;
}

CSize CTKCommandBar::GetButtonSize() const
{
  if (m_szButtons.cx != 0 || m_szButtons.cy != 0)
    return m_szButtons;
  CSize size = GetIconSize();
  return CSize(size.cx + 7, size.cy + 7);
}

BOOL CTKCommandBar::GetShowTextBelowIcons() const
{
  if (m_bTextBelow != 2)
    return m_bTextBelow;
  CTKCommandBars* pCommandBars = GetCommandBars();
  return pCommandBars ? pCommandBars->GetCommandBarsOptions()->bShowTextBelowIcons : FALSE;
}

void CTKCommandBar::SetTitle(const CString& strTitle)
{
  m_strTitle = strTitle;
  RedrawNow();
}

void CTKCommandBar::RedrawNow()
{
  m_nDelayFlags &= ~2;
  if (m_nLockRedraw == 0 && GetSafeHwnd())
    InvalidateRect(nullptr, FALSE);
}

BOOL CTKCommandBar::LoadMenu(CMenu* pMenu, BOOL bRemoveControls)
{
  if (!pMenu || !::IsMenu(pMenu->GetSafeHmenu()))
    return FALSE;
  if (bRemoveControls)
    m_pControls->RemoveAll();
  m_pControls->LoadMenu(pMenu);
  if (GetSafeHwnd()) {
    if (CFrameWnd* pFrame = GetParentFrame())
      pFrame->m_nIdleFlags |= CFrameWnd::idleNotify | CFrameWnd::idleLayout;
  }
  return TRUE;
}

void CTKCommandBar::InvalidateParents()
{
  for (CTKCommandBar* pBar = this; pBar; pBar = pBar->GetParentBar()) {
    if (pBar->GetSafeHwnd())
      pBar->InvalidateRect(nullptr, FALSE);
  }
}

void CTKCommandBar::UnlockRedraw()
{
  if (--m_nLockRedraw <= 0) {
    m_nLockRedraw = 0;
    m_nDelayFlags &= ~2;
    if (GetSafeHwnd())
      InvalidateRect(nullptr, FALSE);
  }
}

BOOL CTKCommandBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
  if ((m_bTracking && bMode) || m_bTracking == bMode) {
    m_bTracking = bMode;
    return FALSE;
  }
  if (bMode) {
    if (m_barType == tkBarTypeMenuBar) {
      if (CWnd* pSite = GetSite(); pSite && pSite->GetSafeHwnd())
        pSite->SendMessage(TKWM_INITCOMMANDSPOPUP, reinterpret_cast<WPARAM>(this), 0);
    }
    m_bMouseStarted = !bSelectFirst && !bKeyboard;
    if (m_bHideCaret) {
      HWND hFocus = ::GetFocus();
      if (!hFocus && GetSite())
        hFocus = GetSite()->GetSafeHwnd();
      m_hwndCaret = hFocus;
      if (m_hwndCaret)
        ::HideCaret(m_hwndCaret);
    }
    m_bTracking = bMode;
    TKMouseManager()->AddTrackedBar(this);
    TKKeyboardManager()->HookKeyboardTracking(this);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    if (bSelectFirst)
      SetSelected(m_pControls->GetNext(-1, 1), TRUE);
  } else {
    m_bMouseStarted = FALSE;
    m_bTracking = 0;
    TKMouseManager()->RemoveTrackedBar(this);
    TKKeyboardManager()->UnhookKeyboardTracking(this);
    SetPopuped(-1, FALSE);
    if (bSelectFirst)
      SetSelected(-1, FALSE);
    if (m_hwndCaret) {
      ::ShowCaret(m_hwndCaret);
      m_hwndCaret = nullptr;
    }
    RedrawNow();
    if (TKMouseManager()->GetTrackedBarCount() == 0)
      TKMouseManager()->m_bExpandedMenus = FALSE;
    if (GetSafeHwnd() && ::GetFocus() == m_hWnd && GetParent()) {
      HWND hNext = ::GetNextDlgTabItem(GetParent()->GetSafeHwnd(), m_hWnd, FALSE);
      if (hNext)
        ::SetFocus(hNext);
    }
    m_nTrackLock = 0;
  }
  if (CTKCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->OnTrackingModeChanged(this, bMode);
  return TRUE;
}

BOOL CTKCommandBar::SetSelected(int nSelected, BOOL bKeyboard)
{
  if (m_nSelected == nSelected)
    return FALSE;
  m_bKeyboardSelect = bKeyboard;
  if (!GetSafeHwnd())
    return FALSE;
  LockRedraw();
  if (CTKControl* pOld = GetControl(m_nSelected))
    pOld->OnSetSelected(0);
  m_nSelected = nSelected;
  if (nSelected == -1) {
    KillTimer(TK_TIMER_POPUPDELAY);
  } else if (CTKControl* pControl = GetControl(nSelected)) {
    pControl->OnSetSelected(bKeyboard ? 2 : 1);
    TKMouseManager()->SetSelectedBar(this);
    if (m_bTracking)
      AccessibleNotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_MENU, nSelected + 1);
    if (!bKeyboard)
      SetTimer(TK_TIMER_POPUPDELAY, TK_POPUPDELAY_MS, nullptr);
  }
  UnlockRedraw();
  return TRUE;
}

BOOL CTKCommandBar::SetPopuped(int nPopuped, BOOL bKeyboard)
{
  if (m_nPopuped == nPopuped)
    return FALSE;
  LockRedraw();
  if (m_nPopuped != -1) {
    CTKControl* pOpen = GetControl(m_nPopuped);
    m_nPopuped = -1;
    if (pOpen)
      pOpen->SetPopuped(FALSE);
  }
  if (nPopuped == -1) {
    UnlockRedraw();
    return TRUE;
  }
  auto* pPopup = dynamic_cast<CTKControlPopup*>(GetControl(nPopuped));
  if (!pPopup || !pPopup->GetEnabled()) {
    UnlockRedraw();
    return FALSE;
  }
  m_nPopuped = nPopuped;
  SetTrackingMode(2, FALSE, bKeyboard);
  SetSelected(nPopuped, bKeyboard);
  // Selecting from the keyboard closes an open popup first, this one's index included.
  m_nPopuped = nPopuped;
  pPopup->SetPopuped(TRUE);
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars && pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay && GetSafeHwnd())
    SetTimer(TK_TIMER_FULLMENUS, TK_FULLMENUS_MS, nullptr);
  UnlockRedraw();
  return TRUE;
}

void CTKCommandBar::OnControlSelected(BOOL bSelected, CTKControl* pControl)
{
  CWnd* pSite = GetSite();
  if (!pSite || !pSite->GetSafeHwnd())
    return;
  pSite->SendMessage(TKWM_CONTROLSELECTED, bSelected ? reinterpret_cast<WPARAM>(pControl) : 0, 0);
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars && !pCommandBars->GetCommandBarsOptions()->bShowControlDescriptions)
    return;
  CString strDescription = bSelected ? pControl->GetDescription() : CString();
  if (strDescription.IsEmpty())
    pSite->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
  else
    pSite->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strDescription)));
}

BOOL CTKCommandBar::IsKeyboardCuesVisible() const
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  return pCommandBars ? pCommandBars->IsKeyboardCuesVisible() : TRUE;
}

void CTKCommandBar::DelayLayout()
{
  m_nDelayFlags |= 1;
  m_nSelected = -1;
  m_nPopuped = -1;
}

void CTKCommandBar::Copy(CTKCommandBar* pCommandBar, BOOL bRecursive)
{
  m_barType = pCommandBar->m_barType;
  m_barPosition = pCommandBar->m_barPosition;
  m_nBarID = pCommandBar->m_nBarID;
  m_dwFlags = pCommandBar->m_dwFlags;
  m_dwStyle = pCommandBar->m_dwStyle;
  m_strTitle = pCommandBar->m_strTitle;
  m_bCustomizable = pCommandBar->m_bCustomizable;
  m_nMRUWidth = pCommandBar->m_nMRUWidth;
  m_szIcons = pCommandBar->m_szIcons;
  m_szButtons = pCommandBar->m_szButtons;
  m_pCommandBars = pCommandBar->m_pCommandBars;
  CTKControls* pControls = pCommandBar->m_pControls->Duplicate(bRecursive);
  m_pControls->RemoveAll();
  m_pControls->InternalRelease();
  m_pControls = pControls;
  m_pControls->SetParent(this);
}

CTKCommandBar* CTKCommandBar::Clone(BOOL bRecursive)
{
  auto* pBar = static_cast<CTKCommandBar*>(GetRuntimeClass()->CreateObject());
  pBar->Copy(this, bRecursive);
  return pBar;
}

BOOL CTKCommandBar::PointInBar(POINT ptScreen)
{
  if (!GetSafeHwnd())
    return FALSE;
  CRect rc;
  GetWindowRect(&rc);
  return rc.PtInRect(ptScreen);
}

void CTKCommandBar::OnTrackedMouseMove(POINT /*ptClient*/)
{
  if (m_nPopuped == -1)
    SetSelected(-1, FALSE);
}

int CTKCommandBar::OnHookMessage(HWND /*hWnd*/, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& /*lResult*/)
{
  if (nMessage == WM_KEYDOWN)
    return OnHookKeyDown(static_cast<UINT>(wParam), lParam);
  return 0;
}

BOOL CTKCommandBar::IsHorizontalForKeys() const
{
  return m_barPosition == tkBarTop || m_barPosition == tkBarBottom || m_barPosition == tkBarFloating ||
         (m_barPosition == tkBarPopup && m_barType == tkBarTypeNormal);
}

int CTKCommandBar::OnHookKeyDown(UINT nChar, LPARAM lParam)
{
  if (IsCustomizeMode())
    return 2;
  if (m_nTrackLock > 0)
    return 1;
  if (CTKControl* pSelected = GetControl(m_nSelected); pSelected && pSelected->IsFocused()) {
    int nResult = pSelected->OnHookKeyDown(nChar, lParam);
    if (nResult == 1 || nResult == 2)
      return nResult;
  }
  TK_KEYRECORD key{nChar, lParam};
  if (CWnd* pSite = GetSite(); pSite && pSite->GetSafeHwnd())
    pSite->SendMessage(TKWM_TRACKINGKEY, reinterpret_cast<WPARAM>(&key), reinterpret_cast<LPARAM>(this));
  nChar = key.nVirtKey;
  if (!GetSafeHwnd())
    return 1;
  // The bar may close while it handles the key: keep it until the end.
  InternalAddRef();
  int nResult = 1;
  BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
  if (nChar == VK_TAB) {
    CTKCommandBars* pCommandBars = GetCommandBars();
    BOOL bDone = FALSE;
    if (::GetKeyState(VK_CONTROL) < 0 && pCommandBars && GetRootBar()->GetType() == tkBarTypeNormal)
      bDone = pCommandBars->ActivateBar(GetRootBar(), bShift ? -1 : 1);
    if (!bDone) {
      ProcessSpecialKey(bShift ? 1 : 0);
      if (CTKControl* pControl = GetControl(m_nSelected); pControl && pControl->IsFocusable())
        pControl->SetFocused(TRUE);
    }
  } else if (nChar == VK_RETURN) {
    ProcessSpecialKey(5);
  } else if (nChar == VK_ESCAPE) {
    ProcessSpecialKey(4);
  } else if (::GetFocus() && ::IsChild(m_hWnd, ::GetFocus())) {
    nResult = 2;
  } else if (nChar == VK_END || nChar == VK_HOME || nChar == VK_LEFT || nChar == VK_RIGHT || nChar == VK_UP ||
             nChar == VK_DOWN) {
    BOOL bHorz = IsHorizontalForKeys();
    BOOL bRtl = IsLayoutRTL();
    int nKey = 0;
    switch (nChar) {
    case VK_END:
      nKey = 7;
      break;
    case VK_HOME:
      nKey = 6;
      break;
    case VK_LEFT:
      nKey = bHorz ? (bRtl ? 0 : 1) : (bRtl ? 3 : 2);
      break;
    case VK_RIGHT:
      nKey = bHorz ? (bRtl ? 1 : 0) : (bRtl ? 2 : 3);
      break;
    case VK_UP:
      nKey = bHorz ? 2 : 1;
      break;
    default:
      nKey = bHorz ? 3 : 0;
      break;
    }
    nResult = ProcessSpecialKey(nKey) ? 1 : 0;
  } else if ((nChar & 0xFF) == 0 || MapVirtualKeyA(nChar, 2) == 0) {
    nResult = 1;
  } else {
    CTKCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars && m_barType == tkBarTypeNormal && pCommandBars->OnFrameAccel(nChar)) {
      nResult = 1;
    } else if (::GetKeyState(VK_CONTROL) >= 0) {
      BOOL bAmbiguous = FALSE;
      int nIndex = FindAccelIndex(nChar, bAmbiguous);
      if (nIndex != -1) {
        SetSelected(nIndex, TRUE);
        if (!bAmbiguous) {
          if (CTKControl* pControl = GetControl(nIndex))
            pControl->Execute();
        }
      } else if (nChar != VK_SHIFT && nChar != VK_CONTROL) {
        ::MessageBeep(0);
      }
    }
  }
  InternalRelease();
  return nResult;
}

int CTKCommandBar::FindAccelIndex(UINT nChar, BOOL& bAmbiguous) const
{
  bAmbiguous = FALSE;
  int nCount = GetControlCount();
  if (nCount == 0)
    return -1;
  int nAmpersand = -1;
  int nFirstLetter = -1;
  int nStart = m_nSelected < 0 ? 0 : m_nSelected + 1;
  for (int n = 0; n < nCount; ++n) {
    int i = (nStart + n) % nCount;
    CTKControl* pControl = GetControl(i);
    if (!pControl->GetEnabled() || !pControl->IsVisible())
      continue;
    CString strCaption = pControl->GetCaption();
    if (strCaption.IsEmpty())
      continue;
    int nAmp = strCaption.Find('&');
    if (nAmp >= 0 && nAmp < strCaption.GetLength() - 1) {
      if (CTKShortcutManager::CompareAccelKey(strCaption[nAmp + 1], nChar)) {
        if (nAmpersand != -1) {
          bAmbiguous = TRUE;
          return nAmpersand;
        }
        nAmpersand = i;
      }
    } else if (CTKShortcutManager::CompareAccelKey(strCaption[0], nChar)) {
      if (nFirstLetter != -1)
        bAmbiguous = TRUE;
      else
        nFirstLetter = i;
    }
  }
  if (nAmpersand != -1)
    return nAmpersand;
  return nFirstLetter;
}

BOOL CTKCommandBar::ProcessSpecialKey(int key)
{
  BOOL bGrid = IsGrid(this);
  BOOL bPopuped = m_nPopuped != -1;
  if (bGrid && bPopuped && m_nPopuped == m_nSelected) {
    if (key == 0 || key == 3)
      return FALSE;
    if (key == 1 || key == 2) {
      SetPopuped(-1, FALSE);
      SetTrackingMode(1, FALSE, TRUE);
      return TRUE;
    }
  } else {
    if (key == 2 && !bPopuped) {
      CTKControl* pSelected = GetControl(m_nSelected);
      if (pSelected && (bGrid || !GetParentBar()) && pSelected->GetEnabled() &&
          dynamic_cast<CTKControlPopup*>(pSelected))
        key = 3;
    }
    if ((key == 2 || key == 3) && !bPopuped && (bGrid || m_barPosition == tkBarFloating)) {
      int nDirection = key == 3 ? 1 : -1;
      CTKControl* pSelected = GetControl(m_nSelected);
      if (!pSelected) {
        SetSelected(m_pControls->GetNext(-1, nDirection), TRUE);
        return TRUE;
      }
      if (!(pSelected->GetEnabled() && dynamic_cast<CTKControlPopup*>(pSelected))) {
        int s = pSelected->GetRect().left;
        int nRowTop = pSelected->GetRowRect().top;
        int nCandidate = -1;
        int nCount = GetControlCount();
        for (int n = 1; n < nCount; ++n) {
          int i = ((m_nSelected + n * nDirection) % nCount + nCount) % nCount;
          CTKControl* pControl = GetControl(i);
          if (pControl->GetRowRect().IsRectEmpty() || !pControl->IsVisible())
            continue;
          if (nCandidate == -1) {
            if (pControl->GetRowRect().top != nRowTop)
              nCandidate = i;
            continue;
          }
          CTKControl* pCandidate = GetControl(nCandidate);
          if (pControl->GetRowRect().top != pCandidate->GetRowRect().top)
            break;
          int l = pControl->GetRect().left;
          int t = pCandidate->GetRect().left;
          if ((s >= l && l > t) || (t > l && l >= s))
            nCandidate = i;
          else
            break;
        }
        if (nCandidate != -1 && nCandidate != m_nSelected)
          SetSelected(nCandidate, TRUE);
        return TRUE;
      }
    }
  }
  switch (key) {
  case 0:
    SetSelected(m_pControls->GetNext(m_nSelected, 1), TRUE);
    return TRUE;
  case 1:
    SetSelected(m_pControls->GetNext(m_nSelected, -1), TRUE);
    return TRUE;
  case 2:
    if (m_nPopuped != -1) {
      SetPopuped(-1, FALSE);
      SetTrackingMode(1, FALSE, TRUE);
      return TRUE;
    }
    return FALSE;
  case 3:
    if (m_nSelected != -1 && m_nPopuped != m_nSelected) {
      SetSelected(m_nSelected, TRUE);
      m_bKeyboardSelect = TRUE;
      return SetPopuped(m_nSelected, TRUE);
    }
    return FALSE;
  case 4: {
    if (CTKCommandBar* pParent = GetParentBar())
      pParent->SetTrackingMode(1, FALSE, TRUE);
    SetTrackingMode(0, TRUE, FALSE);
    return TRUE;
  }
  case 5:
    if (CTKControl* pControl = GetControl(m_nSelected)) {
      if (pControl->GetSelected() != 2)
        pControl->OnSetSelected(2);
      pControl->OnClick(TRUE, CPoint(0, 0));
    }
    return TRUE;
  case 6:
    SetSelected(m_pControls->GetNext(-1, 1), TRUE);
    return TRUE;
  case 7:
    SetSelected(m_pControls->GetNext(-1, -1), TRUE);
    return TRUE;
  default:
    return FALSE;
  }
}

void CTKCommandBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
  if (!GetSafeHwnd() || !(GetStyle() & WS_VISIBLE))
    return;
  UpdateDocTemplateControls();
  UpdateControls(pTarget, bDisableIfNoHndler);
}

void CTKCommandBar::UpdateDocTemplateControls()
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  UINT nTemplate = pCommandBars ? pCommandBars->GetActiveDocTemplate() : 0;
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    const auto& assigned = pControl->m_mapDocTemplatesAssigned;
    const auto& excluded = pControl->m_mapDocTemplatesExcluded;
    if (assigned.empty() && excluded.empty())
      continue;
    BOOL bHide = (!assigned.empty() && assigned.count(nTemplate) == 0) || excluded.count(nTemplate) != 0;
    if (pControl->SetHideFlag(TK_HIDEDOCTEMPLATE, bHide))
      m_nDelayFlags |= 1;
  }
}

void CTKCommandBar::UpdateControls(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
  CCmdTarget* pRouteTarget = pTarget;
  if (!pRouteTarget) {
    CWnd* pSite = GetNotifySite();
    pRouteTarget = pSite;
  }
  CTKCommandBarCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetControlCount());
  BOOL bNoNotify = GetRootBar()->m_bNoNotify;
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    if (bNoNotify || (pControl->GetFlags() & TK_FLAG_MANUALUPDATE))
      continue;
    state.m_nIndex = static_cast<UINT>(i);
    state.m_nID = static_cast<UINT>(pControl->GetID());
    state.m_pControl = pControl;
    if (state.m_nID == 0)
      continue;
    if (IsCustomizeMode()) {
      pControl->SetEnabled(TRUE);
      continue;
    }
    if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr))
      continue;
    if (pRouteTarget)
      state.DoUpdate(pRouteTarget, bDisableIfNoHndler);
  }
  if (m_nDelayFlags & 2)
    InvalidateRect(nullptr, FALSE);
  if (m_nDelayFlags & 1)
    OnRecalcLayout();
  m_nDelayFlags &= ~3;
}

void CTKCommandBar::DrawCommandBar(CDC* pDC, CRect /*rcClipBox*/)
{
  CTKPaintManager* pPaintManager = GetPaintManager();
  pPaintManager->FillCommandBar(pDC, this);
  if (m_dwStyle & CBRS_GRIPPER)
    pPaintManager->DrawCommandBarGripper(pDC, this, TRUE);
  BOOL bFirst = TRUE;
  CTKCommandBars* pCommandBars = GetCommandBars();
  BOOL bCustomize = IsCustomizeMode();
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    if (pControl->GetHideFlags() != 0)
      continue;
    if (pControl->GetBeginGroup() && !bFirst)
      pPaintManager->DrawCommandBarSeparator(pDC, this, pControl, TRUE);
    bFirst = FALSE;
    CFont* pFont = pPaintManager->GetCommandBarFont(m_barPosition, pControl->IsItemDefault());
    CFont* pOldFont = pDC->SelectObject(pFont);
    pControl->Draw(pDC);
    pDC->SelectObject(pOldFont);
    if (bCustomize && pCommandBars && pCommandBars->GetDragControl() == pControl) {
      CRect rc = pControl->GetRect();
      pDC->Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
      rc.DeflateRect(1, 1);
      pDC->Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
    }
  }
  if (bCustomize)
    DrawDropMark(pDC);
}

BOOL CTKCommandBar::IsInputBlocked() const
{
  if (m_nTrackLock > 0)
    return TRUE;
  CTKMouseManager* pMouse = TKMouseManager();
  return pMouse->GetTrackedBarCount() > 0 && !pMouse->IsTrackedBar(const_cast<CTKCommandBar*>(this));
}

void CTKCommandBar::OnPaintBar()
{
  PAINTSTRUCT ps;
  HDC hDC = ::BeginPaint(m_hWnd, &ps);
  CRect rcClient;
  GetClientRect(&rcClient);
  {
    CTKBufferDC dc(hDC, rcClient);
    DrawCommandBar(&dc, rcClient);
  }
  ::EndPaint(m_hWnd, &ps);
}

void CTKCommandBar::OnMouseMoveBar(CPoint point)
{
  if (IsInputBlocked() || TKMouseManager()->IsMouseLocked(this))
    return;
  if (!m_bTracking && m_barPosition != tkBarPopup) {
    CFrameWnd* pFrame = GetParentFrame();
    CWnd* pActive = CWnd::GetActiveWindow();
    if (pFrame && pActive && pActive->GetSafeHwnd() != pFrame->GetTopLevelParent()->GetSafeHwnd())
      return;
  }
  if (IsCustomizeMode())
    return;
  CTKControl* pControl = m_pControls->HitTest(point);
  int nSelected = -1;
  if (pControl) {
    nSelected = pControl->GetIndex();
    TKMouseManager()->TrackMouseLeave(m_hWnd);
    pControl->OnMouseMove(point);
  } else if (m_bTracking && !(m_barPosition == tkBarPopup && m_nPopuped == -1 && !m_bKeyboardSelect)) {
    nSelected = m_nSelected;
  }
  SetSelected(nSelected, FALSE);
}

void CTKCommandBar::OnLButtonDownBar(CPoint point)
{
  if (IsInputBlocked())
    return;
  CTKControl* pControl = m_pControls->HitTest(point);
  if (!pControl) {
    Default();
    return;
  }
  BOOL bCustomize = IsCustomizeMode();
  if (bCustomize && (!IsCustomizable() || (pControl->GetFlags() & TK_FLAG_NOMOVABLE)))
    return;
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!bCustomize && pCommandBars && !(pControl->GetFlags() & TK_FLAG_NOMOVABLE) && IsCustomizable() &&
      m_barType == tkBarTypeNormal && ::GetKeyState(kAltDragKey) < 0 && pCommandBars->IsCustomizeAvail() &&
      pCommandBars->GetCommandBarsOptions()->bAltDragCustomization) {
    // Alt-drag: the control moves as in customise mode, for this one drag.
    InternalAddRef();
    pCommandBars->SetQuickCustomizeMode(TRUE);
    pCommandBars->ClosePopups();
    SetSelected(-1, FALSE);
    pControl->OnCustomizeMouseDown(point);
    pCommandBars->SetQuickCustomizeMode(FALSE);
    pCommandBars->RecalcFrameLayout();
    pCommandBars->ClosePopups();
    InternalRelease();
    return;
  }
  pControl->OnClick(FALSE, point);
}

void CTKCommandBar::OnLButtonUpBar(CPoint point)
{
  if (IsInputBlocked() || IsCustomizeMode())
    return;
  if (CTKControl* pControl = m_pControls->HitTest(point))
    pControl->OnLButtonUp(point);
  else
    Default();
}

void CTKCommandBar::OnLButtonDblClkBar(CPoint point)
{
  if (IsInputBlocked() || IsCustomizeMode())
    return;
  if (CTKControl* pControl = m_pControls->HitTest(point))
    pControl->OnLButtonDblClk(point);
}

void CTKCommandBar::OnRButtonDownBar(CPoint point)
{
  if (IsInputBlocked() || !IsCustomizeMode() || !IsCustomizable()) {
    Default();
    return;
  }
  CTKControl* pControl = m_pControls->HitTest(point);
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!pControl || !pCommandBars || pControl->GetHideFlags() != 0 || (pControl->GetFlags() & TK_FLAG_NOMOVABLE))
    return;
  pCommandBars->SetDragControl(pControl);
  CTKCustomizeDropSource* pDropSource = pCommandBars->GetDropSource();
  if (CTKCustomizeSheet* pSheet = pDropSource ? pDropSource->GetSheet() : nullptr) {
    ClientToScreen(&point);
    pSheet->ContextMenu(point.x, point.y);
  }
}

void CTKCommandBar::OnRButtonUpBar(CPoint point)
{
  if (IsInputBlocked() || IsCustomizeMode())
    return;
  CTKControl* pControl = m_pControls->HitTest(point);
  if (!pControl)
    return;
  int pt[2] = {point.x, point.y};
  CWnd* pSite = GetSite();
  if (pSite && pSite->GetSafeHwnd() &&
      pSite->SendMessage(TKWM_CONTROLRBUTTONUP, reinterpret_cast<WPARAM>(pt), reinterpret_cast<LPARAM>(pControl)) == 1)
    return;
  if (GetRootBar()->m_bRightButton)
    pControl->OnLButtonUp(point);
  else
    pControl->OnRButtonUp(point);
}

void CTKCommandBar::OnTimerBar(UINT_PTR nIDEvent)
{
  if (m_nTrackLock > 0)
    return;
  if (nIDEvent == TK_TIMER_POPUPDELAY) {
    KillTimer(TK_TIMER_POPUPDELAY);
    if (CTKControl* pControl = GetControl(m_nSelected))
      pControl->OnMouseHover();
  } else if (nIDEvent == TK_TIMER_FULLMENUS) {
    KillTimer(TK_TIMER_FULLMENUS);
    auto* pPopup = dynamic_cast<CTKControlPopup*>(GetControl(m_nPopuped));
    if (pPopup && m_nPopuped == m_nSelected && pPopup->IsCursorOver())
      pPopup->ExpandCommandBar();
  }
}

INT_PTR CTKCommandBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
  if (m_bTracking == 2 && m_barPosition != tkBarPopup)
    return -1;
  if (TKMouseManager()->IsMouseLocked(const_cast<CTKCommandBar*>(this)) || IsInputBlocked())
    return -1;
  CTKCommandBars* pCommandBars = GetCommandBars();
  CTKCommandBarsOptions* pOptions = pCommandBars ? pCommandBars->GetCommandBarsOptions() : nullptr;
  if (pOptions && !pOptions->bToolBarScreenTips)
    return -1;
  CTKControl* pControl = m_pControls->HitTest(point);
  if (!pControl)
    return -1;
  if (m_barType == tkBarTypePopup && !(pOptions && pOptions->bShowPopupBarToolTips) && !(pControl->GetFlags() & 0x40))
    return -1;
  CRect rcTip = pControl->GetRect();
  CString strTip = pControl->GetTooltip(&point, &rcTip);
  if (strTip.IsEmpty())
    return -1;
  CString strCaption = pControl->GetCaption();
  if (pOptions && pOptions->bToolBarAccelTips) {
    CString strShortcut = pControl->GetShortcutText();
    if (strShortcut.IsEmpty() && pControl->GetID() != 0)
      pCommandBars->GetShortcutManager()->FindDefaultAccelerator(pControl->GetID(), strShortcut);
    if (!strShortcut.IsEmpty()) {
      strTip += " (" + strShortcut + ")";
      strCaption += " (" + strShortcut + ")";
    }
  }
  int nId = pControl->GetID();
  CTKToolTipContext::FillInToolInfo(pTI, m_hWnd, rcTip, nId, strTip, strCaption, pControl->GetDescription());
  return nId == 0 ? -1 : nId;
}

BOOL CTKCommandBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    if (CTKCommandBars* pCommandBars = GetCommandBars())
      pCommandBars->GetToolTipContext()->FilterToolTipMessage(this, message, wParam, lParam);
  }
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  LRESULT lResult = 0;
  switch (message) {
  case WM_ERASEBKGND:
    lResult = 1;
    break;
  case WM_PAINT:
    OnPaintBar();
    break;
  case WM_PRINTCLIENT:
  case WM_PRINT: {
    CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
    CRect rcClient;
    GetClientRect(&rcClient);
    DrawCommandBar(pDC, rcClient);
    break;
  }
  case WM_MOUSEMOVE:
    OnMouseMoveBar(point);
    break;
  case WM_MOUSELEAVE:
  case WM_NCMOUSEMOVE:
    if (TKMouseManager()->GetTrackedBarCount() == 0 && m_nTrackLock == 0 &&
        (!m_bTracking || (m_barPosition == tkBarPopup && m_nPopuped == -1)))
      SetSelected(-1, FALSE);
    if (message == WM_NCMOUSEMOVE)
      return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    break;
  case WM_LBUTTONDOWN:
    OnLButtonDownBar(point);
    break;
  case WM_LBUTTONUP:
    OnLButtonUpBar(point);
    break;
  case WM_LBUTTONDBLCLK:
    OnLButtonDblClkBar(point);
    break;
  case WM_RBUTTONDOWN:
    OnRButtonDownBar(point);
    break;
  case WM_SETCURSOR: {
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    ScreenToClient(&ptCursor);
    CTKControl* pControl = IsCustomizeMode() && IsCustomizable() ? m_pControls->HitTest(ptCursor) : nullptr;
    if (pControl && pControl->OnCustomizeSetCursor(ptCursor)) {
      lResult = TRUE;
      break;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
  case WM_RBUTTONUP:
    OnRButtonUpBar(point);
    break;
  case WM_TIMER:
    OnTimerBar(wParam);
    break;
  case WM_IDLEUPDATECMDUI:
    OnUpdateCmdUI(nullptr, static_cast<BOOL>(wParam));
    break;
  case WM_MOUSEWHEEL:
    if (!m_bTracking)
      return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    break;
  case WM_GETOBJECT:
    if (!OnGetObject(wParam, lParam, &lResult))
      return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    break;
  case WM_DESTROY:
    if (m_bTracking)
      SetTrackingMode(0, TRUE, FALSE);
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
  default:
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
  if (pResult)
    *pResult = lResult;
  return TRUE;
}
