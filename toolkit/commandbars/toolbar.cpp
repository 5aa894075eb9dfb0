#include "toolkit/commandbars/toolbar.h"

#include "platform/mfc/miniframe.h"
#include "platform/mfc-core/resources.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/dockbar.h"
#include "toolkit/commandbars/dockcontext.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/resource_manager.h"

#include <algorithm>
#include <vector>

IMPLEMENT_SERIAL(CTKToolBar, CTKCommandBar, TK_BAR_CLASS_SCHEMA)

namespace {

constexpr DWORD kFloatingWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | MFS_SYNCACTIVE;
constexpr int kFloatingBorder = 3;
constexpr DWORD kExpandButtonFlags = 0x1C;
constexpr DWORD kHideButtonFlags = 0x1A;

BOOL AnyControlWrappedAway(const CTKControls* pControls)
{
  for (int i = 0; i < pControls->GetCount(); ++i)
    if (pControls->GetAt(i)->GetHideFlags() == TK_HIDEWRAP)
      return TRUE;
  return FALSE;
}

CTKCommandBarsOptions* OptionsOf(const CTKCommandBar* pBar)
{
  CTKCommandBars* pCommandBars = pBar->GetCommandBars();
  return pCommandBars ? pCommandBars->GetCommandBarsOptions() : nullptr;
}

}  // namespace

CTKCommandBar* TKNewPopupBar(CWnd* pSite)
{
  if (!pSite || !pSite->GetSafeHwnd())
    return nullptr;
  TK_CREATEBARSTRUCT cs;
  cs.bPopup = TRUE;
  if (!pSite->SendMessage(TKWM_CREATECOMMANDBAR, 0, reinterpret_cast<LPARAM>(&cs)))
    return nullptr;
  return cs.pCommandBar;
}

// ---- The expand button

CTKToolBar::CTKControlExpandButton::CTKControlExpandButton()
{
  m_controlType = tkControlButtonPopup;
  m_dwFlags = kExpandButtonFlags;
}

void CTKToolBar::CTKControlExpandButton::SetRect(CRect rcControl)
{
  CTKControlPopup::SetRect(rcControl);
  m_bHiddenControls = m_pParent && AnyControlWrappedAway(m_pParent->GetControls());
}

void CTKToolBar::CTKControlExpandButton::Draw(CDC* pDC)
{
  BOOL bFloating = m_pParent && m_pParent->GetPosition() == tkBarFloating;
  GetPaintManager()->DrawSpecialControl(pDC, bFloating ? tkSpecialFloatingExpand : tkSpecialToolBarExpand, this,
                                        m_pParent, TRUE, &m_bHiddenControls);
}

BOOL CTKToolBar::CTKControlExpandButton::SetPopuped(BOOL bPopup)
{
  auto* pToolBar = dynamic_cast<CTKToolBar*>(m_pParent);
  if (!bPopup || !pToolBar) {
    BOOL bResult = CTKControlPopup::SetPopuped(bPopup);
    RedrawParent();
    return bResult;
  }
  // The popup is made afresh each time: what did not fit changes with every layout.
  SetCommandBar(nullptr);
  CWnd* pSite = pToolBar->GetSite();
  CTKCommandBars* pCommandBars = pToolBar->GetCommandBars();
  if (!pSite || !pSite->GetSafeHwnd() || !pCommandBars)
    return FALSE;
  TK_CREATEBARSTRUCT cs;
  cs.bExpandBar = TRUE;
  if (!pSite->SendMessage(TKWM_CREATECOMMANDBAR, 0, reinterpret_cast<LPARAM>(&cs)) || !cs.pCommandBar)
    return FALSE;
  CTKCommandBar* pPopup = cs.pCommandBar;
  pPopup->SetCustomizable(FALSE);
  pCommandBars->GetHiddenControls(pToolBar, pPopup);
  if (pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways || pCommandBars->IsCustomizeAvail()) {
    CTKControl* pEntry = pPopup->GetControls()->Add(tkControlPopup, 0);
    if (pEntry) {
      CString strCaption;
      TKResourceManager()->LoadString(&strCaption, TK_IDS_ADDORREMOVE);
      pEntry->SetCaption(strCaption);
      pEntry->SetBeginGroup(pPopup->GetControlCount() > 2);
      if (CTKCommandBar* pList = TKNewPopupBar(pSite)) {
        static_cast<CTKControlPopup*>(pEntry)->SetCommandBar(pList);
        pCommandBars->GetAddOrRemovePopup(pToolBar, pList);
        pList->InternalRelease();
      }
    }
  }
  SetCommandBar(pPopup);
  pPopup->InternalRelease();
  BOOL bResult = CTKControlPopup::SetPopuped(TRUE);
  RedrawParent();
  return bResult;
}

// ---- The hide button

CTKToolBar::CTKControlButtonHide::CTKControlButtonHide() { m_dwFlags = kHideButtonFlags; }

void CTKToolBar::CTKControlButtonHide::Draw(CDC* pDC)
{
  GetPaintManager()->DrawSpecialControl(pDC, tkSpecialFloatingHide, this, m_pParent, TRUE, nullptr);
}

void CTKToolBar::CTKControlButtonHide::OnExecute()
{
  if (m_pParent)
    m_pParent->SetVisible(FALSE);
}

// ---- The expand popup's entry for one bar

CTKToolBar::CTKControlAddOrRemove::CTKControlAddOrRemove(CTKToolBar* pTarget) : m_pTarget(pTarget)
{
  m_controlType = tkControlPopup;
}

CTKToolBar::CTKControlAddOrRemove::~CTKControlAddOrRemove() = default;

BOOL CTKToolBar::CTKControlAddOrRemove::SetPopuped(BOOL bPopup)
{
  if (bPopup && m_pParent) {
    // The target is only borrowed (it owns the popup this entry lives in): a bar gone since lists nothing.
    CTKCommandBars* pCommandBars = m_pParent->GetCommandBars();
    if (!pCommandBars || pCommandBars->FindIndex(m_pTarget) < 0)
      return FALSE;
    // Listed afresh each time: the bar may have changed since.
    if (!m_pCommandBar) {
      CTKCommandBar* pList = TKNewPopupBar(m_pParent->GetSite());
      if (!pList)
        return FALSE;
      SetCommandBar(pList);
      pList->InternalRelease();
    }
    m_pCommandBar->GetControls()->RemoveAll();
    m_pTarget->FillAddOrRemovePopup(m_pCommandBar);
  }
  return CTKControlPopup::SetPopuped(bPopup);
}

// ---- An entry of the add-or-remove-buttons list

CTKToolBar::CTKControlButtonCustomize::~CTKControlButtonCustomize() { SetTarget(nullptr); }

void CTKToolBar::CTKControlButtonCustomize::SetTarget(CTKControl* pTarget)
{
  if (pTarget)
    pTarget->InternalAddRef();
  if (m_pTarget)
    m_pTarget->InternalRelease();
  m_pTarget = pTarget;
}

void CTKToolBar::CTKControlButtonCustomize::OnExecute()
{
  if (m_pTargetBar) {
    CTKCommandBars* pCommandBars = m_pParent ? m_pParent->GetCommandBars() : nullptr;
    if (!pCommandBars || pCommandBars->FindIndex(m_pTargetBar) < 0)
      return;
    pCommandBars->ClosePopups();
    m_pTargetBar->Reset();
    return;
  }
  if (!m_pTarget)
    return;
  BOOL bRemoved = (m_pTarget->GetHideFlags() & TK_HIDECUSTOMIZE) != 0;
  m_pTarget->SetHideFlag(TK_HIDECUSTOMIZE, !bRemoved);
  SetChecked(bRemoved);
  if (CTKCommandBar* pBar = m_pTarget->GetParent())
    pBar->OnRecalcLayout();
  for (CTKCommandBar* pBar = m_pParent; pBar; pBar = pBar->GetParentBar())
    if (pBar->GetSafeHwnd())
      pBar->InvalidateRect(nullptr, FALSE);
}

// ---- The toolbar

CTKToolBar::CTKToolBar()
{
  m_barType = tkBarTypeNormal;
  m_dwStyle = CBRS_GRIPPER;
  m_bCloseable = TRUE;
}

CTKToolBar::~CTKToolBar()
{
  if (m_pDockBar)
    m_pDockBar->RemoveCommandBar(this, -1);
  delete m_pDockContext;
}

void CTKToolBar::EnableDocking(DWORD dwFlags)
{
  if (!m_pDockContext)
    m_pDockContext = new CTKDockContext(this);
  m_dwFlags = dwFlags;
}

BOOL CTKToolBar::Create(CWnd* pParentWnd, BOOL bFloat)
{
  CWnd* pSite = pParentWnd ? pParentWnd : GetSite();
  HWND hSite = pSite ? pSite->GetSafeHwnd() : nullptr;
  if (!GetSafeHwnd()) {
    CTKCommandBars* pCommandBars = GetCommandBars();
    DWORD dwExStyle = pCommandBars && pCommandBars->IsLayoutRTL() ? WS_EX_LAYOUTRTL : 0;
    CPoint pt = m_pDockContext ? m_pDockContext->m_ptMRUFloatPos : CPoint(100, 100);
    LPCSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(dwExStyle, lpszClass, m_strTitle, kFloatingWindowStyle, pt.x, pt.y, 0, 0, hSite, nullptr))
      return FALSE;
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                 (m_bVisible ? SWP_SHOWWINDOW : 0));
  }
  if (bFloat) {
    if (GetStyle() & WS_CHILD) {
      CRect rc;
      GetWindowRect(&rc);
      ::SetParent(m_hWnd, nullptr);
      ModifyStyle(WS_CHILD, WS_POPUP | MFS_SYNCACTIVE);
      SetWindowPos(nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::SetWindowLongPtr(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hSite));
  } else if (GetStyle() & WS_POPUP) {
    ModifyStyle(WS_POPUP | MFS_SYNCACTIVE, WS_CHILD);
  }
  return TRUE;
}

BOOL CTKToolBar::SetPosition(int nPosition)
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!pCommandBars)
    return FALSE;
  if (nPosition >= tkBarTop && nPosition <= tkBarRight)
    return pCommandBars->DockCommandBar(this, nullptr, pCommandBars->GetDockBar(nPosition));
  if (nPosition == tkBarFloating)
    return pCommandBars->FloatCommandBar(this);
  return FALSE;
}

void CTKToolBar::SetVisible(BOOL bVisible)
{
  bVisible = bVisible ? TRUE : FALSE;
  if (m_bVisible == bVisible)
    return;
  m_bVisible = bVisible;
  if (!bVisible && m_bTracking)
    SetTrackingMode(0, TRUE, FALSE);
  if (GetSafeHwnd())
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                 (bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (m_pDockBar && pCommandBars)
    pCommandBars->RecalcFrameLayout(TRUE);
  CWnd* pSite = GetSite();
  if (pSite && pSite->GetSafeHwnd())
    pSite->SendMessage(TKWM_TOOLBARVISIBLECHANGED, reinterpret_cast<WPARAM>(this), bVisible);
  // A bar torn off a popup lives only while it is shown.
  if (!bVisible && m_bTearOff && pCommandBars)
    pCommandBars->Remove(this);
}

CTKToolBar::CTKControlExpandButton* CTKToolBar::FindExpandButton(BOOL bCreate)
{
  auto* pExpand = dynamic_cast<CTKControlExpandButton*>(m_pControls->FindControl(TK_ID_TOOLBAR_EXPAND));
  if (!pExpand && bCreate) {
    pExpand = new CTKControlExpandButton;
    m_pControls->InsertAt(pExpand, TK_ID_TOOLBAR_EXPAND, CString(), -1, TRUE);
  }
  return pExpand;
}

CTKControl* CTKToolBar::FindHideButton(BOOL bCreate)
{
  CTKControl* pHide = m_pControls->FindControl(TK_ID_TOOLBAR_HIDE);
  if (!pHide && bCreate) {
    pHide = new CTKControlButtonHide;
    m_pControls->InsertAt(pHide, TK_ID_TOOLBAR_HIDE, CString(), -1, TRUE);
  }
  return pHide;
}

CSize CTKToolBar::LayoutPass(CDC* pDC, int nLength, DWORD dwMode, CRect rcBorders, int nWidth,
                             CTKControlExpandButton* pExpand)
{
  CSize size = m_pControls->CalcDynamicSize(pDC, nLength, dwMode, rcBorders, nWidth);
  if (pExpand) {
    // The pass hides everything after the first control that did not fit, the expand button included.
    pExpand->SetHideFlag(TK_HIDEGENERIC | TK_HIDEWRAP, FALSE);
    // The button stands at the bar's far end.
    GetPaintManager()->DrawSpecialControl(pDC, tkSpecialToolBarExpand, pExpand, this, FALSE, &size);
  }
  return size;
}

CSize CTKToolBar::CalcLayout(int nLength, DWORD dwMode, int nWidth)
{
  CTKPaintManager* pPaintManager = GetPaintManager();
  CClientDC dc(GetSafeHwnd() ? this : nullptr);
  CFont* pOldFont = dc.SelectObject(pPaintManager->GetCommandBarFont(m_barPosition, FALSE));
  CRect rcBorders = pPaintManager->GetCommandBarBorders(this);
  if (m_dwStyle & CBRS_GRIPPER) {
    CSize szGripper = pPaintManager->DrawCommandBarGripper(&dc, this, FALSE);
    rcBorders.left += szGripper.cx;
    rcBorders.top += szGripper.cy;
  }
  if (CTKControl* pHide = FindHideButton(FALSE))
    pHide->SetHideFlag(TK_HIDEGENERIC, TRUE);
  CTKControlExpandButton* pExpand = nullptr;
  if (m_bShowExpandButton && GetCommandBars()) {
    pExpand = FindExpandButton(TRUE);
    pExpand->SetHideFlag(TK_HIDEGENERIC, TRUE);
  }
  BOOL bHorz = (dwMode & LM_HORZDOCK) != 0;
  auto reserve = [bHorz](CRect rc) {
    (bHorz ? rc.right : rc.bottom) += TK_EXPAND_BUTTON_ROOM;
    return rc;
  };
  CSize size;
  CTKCommandBarsOptions* pOptions = OptionsOf(this);
  if (!pExpand) {
    size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorders, nWidth);
  } else if (!pOptions || pOptions->bShowExpandButtonAlways) {
    size = LayoutPass(&dc, nLength, dwMode, reserve(rcBorders), nWidth, pExpand);
  } else if (dwMode & LM_COMMIT) {
    size = LayoutPass(&dc, nLength, dwMode, rcBorders, nWidth, pExpand);
    if (AnyControlWrappedAway(m_pControls)) {
      pExpand->SetHideFlag(TK_HIDEGENERIC, TRUE);
      size = LayoutPass(&dc, nLength, dwMode, reserve(rcBorders), nWidth, pExpand);
    }
  } else {
    size = LayoutPass(&dc, nLength, dwMode, rcBorders, nWidth, pExpand);
    pExpand->SetHideFlag(TK_HIDEGENERIC, TRUE);
    CSize szNarrow = LayoutPass(&dc, 1, dwMode, rcBorders, nWidth, pExpand);
    if (m_pControls->GetVisibleCount() > 1) {
      if (bHorz)
        size.cx = std::max(size.cx, szNarrow.cx + TK_EXPAND_BUTTON_ROOM);
      else
        size.cy = std::max(size.cy, szNarrow.cy + TK_EXPAND_BUTTON_ROOM);
    }
  }
  dc.SelectObject(pOldFont);
  return size;
}

CSize CTKToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
  CTKPaintManager* pPaintManager = GetPaintManager();
  CClientDC dc(GetSafeHwnd() ? this : nullptr);
  CFont* pOldFont = dc.SelectObject(pPaintManager->GetCommandBarFont(m_barPosition, FALSE));
  int nCaption = pPaintManager->DrawCommandBarGripper(&dc, this, FALSE).cy;
  CRect rcBorders(kFloatingBorder, nCaption + 4, kFloatingBorder, kFloatingBorder);
  CTKControl* pHide = m_bCloseable && m_barType != tkBarTypeMenuBar ? FindHideButton(TRUE) : nullptr;
  CTKControlExpandButton* pExpand = m_bShowExpandButton && GetCommandBars() ? FindExpandButton(TRUE) : nullptr;
  if (pHide)
    pHide->SetHideFlag(TK_HIDEGENERIC, TRUE);
  if (pExpand)
    pExpand->SetHideFlag(TK_HIDEGENERIC, TRUE);
  CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorders, 0);
  int nRight = size.cx - kFloatingBorder;
  if (pHide) {
    pHide->SetHideFlag(TK_HIDEGENERIC, FALSE);
    pHide->SetRect(CRect(nRight - nCaption, kFloatingBorder, nRight, nCaption + kFloatingBorder));
    nRight -= nCaption;
  }
  CTKCommandBarsOptions* pOptions = OptionsOf(this);
  if (pExpand && nRight - nCaption > 0 && (!pOptions || pOptions->bShowExpandButtonAlways)) {
    pExpand->SetHideFlag(TK_HIDEGENERIC, FALSE);
    pExpand->SetRect(CRect(nRight - nCaption, kFloatingBorder, nRight, nCaption + kFloatingBorder));
  }
  dc.SelectObject(pOldFont);
  return size;
}

void CTKToolBar::OnRecalcLayout()
{
  if (!GetSafeHwnd())
    return;
  m_nDelayFlags &= ~1;
  if (m_barPosition == tkBarFloating) {
    CSize size = CalcDynamicLayout(-1, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(nullptr, FALSE);
    return;
  }
  if (CTKCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->RecalcFrameLayout(FALSE);
}

LRESULT CTKToolBar::OnSizeParent(AFX_SIZEPARENTPARAMS* lpLayout)
{
  if (!m_bVisible || !lpLayout)
    return 0;
  DWORD dwMode = LM_HORZ | LM_HORZDOCK | LM_COMMIT;
  if (m_dwFlags & TK_DOCK_STRETCHED)
    dwMode |= LM_STRETCH;
  if (m_dwFlags & TK_DOCK_HIDEWRAP)
    dwMode |= TK_LM_HIDEWRAP;
  if (!lpLayout->hDWP)
    dwMode &= ~LM_COMMIT;
  CRect rcRest(lpLayout->rect);
  CSize size = CalcLayout(rcRest.Width(), dwMode, 0);
  size.cx = std::min(size.cx, static_cast<LONG>(std::max(0, rcRest.Width())));
  size.cy = std::min(size.cy, static_cast<LONG>(std::max(0, rcRest.Height())));
  CRect rc(rcRest.left, rcRest.top, rcRest.left + size.cx, rcRest.top + size.cy);
  lpLayout->rect.top += size.cy;
  lpLayout->sizeTotal.cy += size.cy;
  lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, size.cx);
  if (lpLayout->hDWP)
    AfxRepositionWindow(lpLayout, m_hWnd, &rc);
  m_nDelayFlags &= ~2;
  if (m_nLockRedraw == 0)
    InvalidateRect(nullptr, FALSE);
  return 0;
}

UINT CTKToolBar::OnNcHitTest(CPoint point)
{
  if (m_barPosition != tkBarFloating)
    return HTCLIENT;
  CRect rc;
  GetWindowRect(&rc);
  rc.DeflateRect(kFloatingBorder, kFloatingBorder);
  if (point.y < rc.top)
    return HTTOP;
  if (point.y >= rc.bottom)
    return HTBOTTOM;
  if (point.x < rc.left)
    return HTLEFT;
  if (point.x >= rc.right)
    return HTRIGHT;
  return HTCLIENT;
}

LRESULT CTKToolBar::OnFloatStatus(WPARAM wParam)
{
  LRESULT lResult = (GetStyle() & MFS_SYNCACTIVE) && (wParam & FS_SYNCACTIVE) ? 1 : 0;
  if (m_barPosition != tkBarFloating || !m_bVisible)
    return lResult;
  CTKCommandBarsOptions* pOptions = OptionsOf(this);
  CWnd* pSite = GetSite();
  CWnd* pTop = pSite && pSite->GetSafeHwnd() ? pSite->GetTopLevelParent() : nullptr;
  BOOL bTopActive = pTop && ::GetActiveWindow() == pTop->GetSafeHwnd();
  constexpr UINT kHide = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
  constexpr UINT kShow = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
  if (!pOptions || pOptions->bSyncFloatingBars) {
    if ((wParam & FS_DEACTIVATE) && !bTopActive)
      SetWindowPos(nullptr, 0, 0, 0, 0, kHide);
    if ((wParam & FS_ACTIVATE) && !(GetStyle() & WS_VISIBLE) && bTopActive) {
      HWND hForeground = ::GetForegroundWindow();
      if (hForeground && ::IsWindowVisible(hForeground) && !::IsIconic(hForeground))
        SetWindowPos(nullptr, 0, 0, 0, 0, kShow);
    }
  }
  if (wParam & FS_SHOW)
    SetWindowPos(nullptr, 0, 0, 0, 0, kShow);
  if (wParam & FS_HIDE)
    SetWindowPos(nullptr, 0, 0, 0, 0, kHide);
  if (wParam & (FS_ENABLE | FS_DISABLE))
    EnableWindow((wParam & FS_ENABLE) != 0);
  return lResult;
}

void CTKToolBar::FillAddOrRemovePopup(CTKCommandBar* pPopup)
{
  if (!pPopup)
    return;
  CTKControls* pOriginal = m_pControls->GetOriginalControls();
  CTKControls* pReference = pOriginal ? pOriginal->Duplicate(TRUE) : new CTKControls;
  for (int i = m_pControls->GetCount() - 1; i >= 0; --i)
    if (m_pControls->GetAt(i)->GetHideFlags() & TK_HIDECUSTOMIZE)
      m_pControls->Remove(i);

  auto same = [](CTKControl* a, CTKControl* b) { return a->GetID() == b->GetID() && a->GetType() == b->GetType(); };
  auto findInBar = [&](CTKControl* pLike, int nFrom) {
    for (int k = nFrom; k < m_pControls->GetCount(); ++k)
      if (same(m_pControls->GetAt(k), pLike))
        return k;
    return -1;
  };
  auto inReferenceAfter = [&](CTKControl* pLike, int nFrom) {
    for (int k = nFrom; k < pReference->GetCount(); ++k)
      if (same(pReference->GetAt(k), pLike))
        return true;
    return false;
  };
  // Every reference control ends up in the bar; those the user removed stand hidden where they belong.
  int nBar = 0;
  for (int j = 0; j < pReference->GetCount(); ++j) {
    CTKControl* pRef = pReference->GetAt(j);
    int k = findInBar(pRef, nBar);
    if (k == -1) {
      CTKControl* pCopy = m_pControls->AddClone(pRef, nBar, TRUE);
      if (pCopy) {
        pCopy->SetHideFlag(TK_HIDECUSTOMIZE, TRUE);
        ++nBar;
      }
      continue;
    }
    // Controls of the user's own before the match stay where they are.
    while (nBar < k && !inReferenceAfter(m_pControls->GetAt(nBar), j + 1))
      ++nBar;
    if (nBar == k)
      ++nBar;
  }

  CTKShortcutManager* pShortcuts = GetCommandBars() ? GetCommandBars()->GetShortcutManager() : nullptr;
  CTKControls* pEntries = pPopup->GetControls();
  for (int i = 0; i < m_pControls->GetCount(); ++i) {
    CTKControl* pControl = m_pControls->GetAt(i);
    int nId = pControl->GetID();
    if (nId == TK_ID_TOOLBAR_EXPAND || nId == TK_ID_TOOLBAR_HIDE ||
        (pControl->GetHideFlags() & (TK_HIDEGENERIC | TK_HIDEDOCTEMPLATE)) || (pControl->GetFlags() & TK_FLAG_NOMOVABLE))
      continue;
    auto* pEntry = new CTKControlButtonCustomize;
    pEntries->InsertAt(pEntry, 0);
    pEntry->SetCaption(pControl->GetCaption());
    if (pControl->GetType() >= tkControlButton && pControl->GetType() <= tkControlSplitButtonPopup)
      pEntry->SetIconId(pControl->GetIconId());
    CString strShortcut;
    if (pShortcuts && nId > 0 && pShortcuts->FindDefaultAccelerator(nId, strShortcut))
      pEntry->SetShortcutText(strShortcut);
    BOOL bInReference = FALSE;
    for (int j = 0; j < pReference->GetCount() && !bInReference; ++j)
      bInReference = same(pReference->GetAt(j), pControl);
    pEntry->SetEnabled(bInReference);
    pEntry->SetChecked((pControl->GetHideFlags() & TK_HIDECUSTOMIZE) == 0);
    pEntry->SetTarget(pControl);
  }
  if (pOriginal && !m_bTearOff && m_bBuiltIn) {
    auto* pReset = new CTKControlButtonCustomize;
    pEntries->InsertAt(pReset, 0);
    CString strCaption;
    TKResourceManager()->LoadString(&strCaption, TK_IDS_RESET_TOOLBAR);
    pReset->SetCaption(strCaption);
    pReset->SetBeginGroup(TRUE);
    pReset->SetTargetBar(this);
  }
  pReference->InternalRelease();
}

BOOL CTKToolBar::ConfirmReset()
{
  CString strFormat;
  TKResourceManager()->LoadString(&strFormat, TK_IDS_CONFIRM_RESET);
  CString strText;
  strText.Format(strFormat, static_cast<LPCSTR>(m_strTitle));
  CWnd* pSite = GetSite();
  return ::MessageBox(pSite ? pSite->GetSafeHwnd() : nullptr, strText, nullptr, MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

void CTKToolBar::Reset()
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!m_bBuiltIn || m_nBarID == 0 || !IsCustomizable() || !pCommandBars || !pCommandBars->IsCustomizeAvail())
    return;
  if (!ConfirmReset())
    return;
  if (CTKControls* pOriginal = m_pControls->GetOriginalControls()) {
    pOriginal->InternalAddRef();
    m_pControls->RemoveAll();
    for (int i = 0; i < pOriginal->GetCount(); ++i)
      if (!pOriginal->GetAt(i)->IsTemporary())
        m_pControls->AddClone(pOriginal->GetAt(i), -1, TRUE);
    m_pControls->RefreshIndexes();
    pOriginal->InternalRelease();
  } else {
    LoadToolBar(m_nBarID, FALSE);
  }
  OnUpdateCmdUI(nullptr, TRUE);
  OnRecalcLayout();
}

BOOL CTKToolBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons)
{
  m_nBarID = nIDResource;
  m_pControls->RemoveAll();
  HINSTANCE hModule = AfxGetResourceHandle();
  HRSRC hResource = ::FindResource(hModule, MAKEINTRESOURCE(nIDResource), RT_TOOLBAR);
  HGLOBAL hLoaded = hResource ? ::LoadResource(hModule, hResource) : nullptr;
  const auto* pData = hLoaded ? static_cast<const BYTE*>(::LockResource(hLoaded)) : nullptr;
  DWORD dwSize = hResource ? ::SizeofResource(hModule, hResource) : 0;
  if (!pData || dwSize < 8)
    return FALSE;
  auto word = [pData](DWORD nOffset) { return static_cast<WORD>(pData[nOffset] | (pData[nOffset + 1] << 8)); };
  int cx = word(2);
  int cy = word(4);
  DWORD nCount = word(6);
  // A count the resource does not hold is cut to what it does.
  nCount = std::min(nCount, (dwSize - 8) / 2);
  std::vector<UINT> arrIds(nCount);
  for (DWORD i = 0; i < nCount; ++i)
    arrIds[i] = word(8 + 2 * i);
  SetButtons(arrIds.data(), static_cast<int>(nCount));
  BOOL bResult = TRUE;
  if (bLoadIcons) {
    if (!GetImageManager()->SetIconsFromResource(nIDResource, arrIds.data(), static_cast<int>(nCount), CSize(cx, cy)))
      bResult = FALSE;
    if (cx != 16)
      SetIconSize(CSize(cx, cy));
  }
  m_pControls->CreateOriginalControls();
  return bResult;
}

BOOL CTKToolBar::SetButtons(const UINT* pButtons, int nCount)
{
  m_pControls->RemoveAll();
  CWnd* pSite = GetSite();
  BOOL bSite = pSite && pSite->GetSafeHwnd();
  BOOL bBeginGroup = FALSE;
  for (int i = 0; i < nCount; ++i) {
    UINT nId = pButtons[i];
    if (nId == 0) {
      bBeginGroup = TRUE;
      continue;
    }
    TK_CREATECONTROLSTRUCT cs;
    cs.nId = static_cast<int>(nId);
    cs.bToolBar = TRUE;
    cs.nIndex = i;
    cs.pCommandBar = this;
    cs.strCaption = m_strTitle;
    cs.controlType = tkControlButton;
    LRESULT lAnswer = bSite ? pSite->SendMessage(TKWM_CREATECONTROL, 0, reinterpret_cast<LPARAM>(&cs)) : 0;
    CTKControl* pControl = nullptr;
    if (lAnswer && cs.pControl)
      pControl = m_pControls->InsertAt(cs.pControl, cs.nId);
    else if (lAnswer)
      pControl = m_pControls->Add(cs.controlType, cs.nId);
    else
      pControl = m_pControls->Add(tkControlButton, static_cast<int>(nId));
    if (!pControl)
      continue;
    pControl->SetStyle(cs.buttonStyle);
    if (bBeginGroup) {
      pControl->SetBeginGroup(TRUE);
      bBeginGroup = FALSE;
    }
    if (bSite) {
      cs.pControl = pControl;
      pSite->SendMessage(TKWM_AFTERCREATECONTROL, 0, reinterpret_cast<LPARAM>(&cs));
    }
  }
  return TRUE;
}

void CTKToolBar::Copy(CTKCommandBar* pCommandBar, BOOL bRecursive)
{
  CTKCommandBar::Copy(pCommandBar, bRecursive);
  if (auto* pToolBar = dynamic_cast<CTKToolBar*>(pCommandBar)) {
    m_bBuiltIn = pToolBar->m_bBuiltIn;
    m_bTearOff = pToolBar->m_bTearOff;
    m_bCloseable = pToolBar->m_bCloseable;
  }
}

CTKCommandBar* CTKToolBar::Clone(BOOL bRecursive)
{
  auto* pBar = new CTKToolBar;
  pBar->Copy(this, bRecursive);
  return pBar;
}

void CTKToolBar::OnToolbarContextMenu(CPoint point)
{
  if (IsInputBlocked())
    return;
  SetTrackingMode(0, FALSE, FALSE);
  SetSelected(-1, FALSE);
  ClientToScreen(&point);
  if (CTKCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->ContextMenu(this, point);
}

BOOL CTKToolBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  LRESULT lResult = 0;
  switch (message) {
  case WM_SIZEPARENT:
    lResult = OnSizeParent(reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam));
    break;
  case WM_NCHITTEST: {
    lResult = OnNcHitTest(point);
    if (lResult == HTCLIENT)
      return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
    break;
  }
  case WM_NCLBUTTONDOWN:
    if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT && m_pDockContext) {
      ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      if (CTKCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->ClosePopups();
      m_pDockContext->StartResize(static_cast<int>(wParam), point);
      break;
    }
    return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
  case WM_LBUTTONDOWN: {
    if (m_barPosition == tkBarFloating)
      ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (m_pControls->HitTest(point) || IsCustomizeMode())
      return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
    if (CTKCommandBars* pCommandBars = GetCommandBars())
      pCommandBars->ClosePopups();
    if (m_pDockContext && (m_dwFlags & TK_DOCK_ANY)) {
      CPoint ptScreen = point;
      ClientToScreen(&ptScreen);
      m_pDockContext->StartDrag(ptScreen);
    }
    break;
  }
  case WM_LBUTTONDBLCLK:
    if (m_pControls->HitTest(point) || !m_pDockContext)
      return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
    m_pDockContext->ToggleDocking();
    break;
  case WM_RBUTTONDOWN:
    if (IsCustomizeMode())
      return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
    OnToolbarContextMenu(point);
    break;
  case WM_CLOSE:
    break;
  case WM_FLOATSTATUS:
    lResult = OnFloatStatus(wParam);
    break;
  case WM_MOUSEACTIVATE:
    if (m_barPosition == tkBarFloating || IsCustomizeMode()) {
      lResult = MA_NOACTIVATE;
      break;
    }
    return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
  default:
    return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
  }
  if (pResult)
    *pResult = lResult;
  return TRUE;
}
