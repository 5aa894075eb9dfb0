#include "toolkit/commandbars/popupbar.h"

#include "platform/user/accessibility.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/commandbars/shadows.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/tooltip_context.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_SERIAL(CTKPopupBar, CTKCommandBar, TK_BAR_CLASS_SCHEMA)
IMPLEMENT_SERIAL(CTKPopupToolBar, CTKPopupBar, TK_BAR_CLASS_SCHEMA)

namespace {

constexpr DWORD kPopupStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x0100;  // MFS_SYNCACTIVE
constexpr DWORD kPopupLayoutMode = LM_COMMIT | LM_HORZ | TK_LM_POPUP;
constexpr DWORD kExpandButtonFlags = 0x5a;
constexpr int kScrollStrip = 16;
constexpr int kMinMenuWidth = 22;
// A tear-off starts once the cursor is this far outside the gripper.
constexpr int kTearOffDistance = 10;
constexpr int kScrollArrowColor = 18;

BOOL HasChildWindow(CWnd* pWnd) { return pWnd->GetSafeHwnd() && ::GetWindow(pWnd->GetSafeHwnd(), GW_CHILD); }

}  // namespace

CTKPopupBar::CTKControlExpandButton::CTKControlExpandButton()
{
  m_dwFlags = kExpandButtonFlags;
}

CSize CTKPopupBar::CTKControlExpandButton::GetSize(CDC* pDC)
{
  return GetPaintManager()->DrawSpecialControl(pDC, tkSpecialPopupExpand, this, m_pParent, FALSE, nullptr);
}

void CTKPopupBar::CTKControlExpandButton::Draw(CDC* pDC)
{
  GetPaintManager()->DrawSpecialControl(pDC, tkSpecialPopupExpand, this, m_pParent, TRUE, nullptr);
}

void CTKPopupBar::CTKControlExpandButton::OnExecute()
{
  if (auto* pPopupBar = dynamic_cast<CTKPopupBar*>(m_pParent))
    pPopupBar->ExpandFullMenu();
}

CTKPopupBar::CTKPopupBar()
{
  m_barType = tkBarTypePopup;
  m_barPosition = tkBarPopup;
}

CTKPopupBar::~CTKPopupBar()
{
  // Going while open: only the common end of tracking; telling the site and the parent needs a live object.
  if (m_bTracking && GetSafeHwnd())
    CTKCommandBar::SetTrackingMode(0, TRUE, FALSE);
  TKShadowsManager().RemoveShadow(this);
  DestroyPopupWindow();
}

CTKPopupBar* CTKPopupBar::CreatePopupBar(CTKCommandBars* pCommandBars)
{
  auto* pBar = static_cast<CTKPopupBar*>(RUNTIME_CLASS(CTKPopupBar)->CreateObject());
  pBar->SetCommandBars(pCommandBars);
  return pBar;
}

CTKCommandBar* CTKPopupBar::GetParentBar() const { return m_pControlPopup ? m_pControlPopup->GetParent() : nullptr; }

void CTKPopupBar::SetTearOffPopup(const CString& strCaption, UINT nID, int nWidth)
{
  m_bTearOffPopup = TRUE;
  m_strTearOffCaption = strCaption;
  m_nTearOffID = nID;
  m_nTearOffWidth = nWidth;
}

BOOL CTKPopupBar::CreatePopupWindow()
{
  if (GetSafeHwnd())
    return TRUE;
  CWnd* pSite = GetSite();
  BOOL bRtl = pSite && pSite->GetSafeHwnd() && (pSite->GetExStyle() & WS_EX_LAYOUTRTL);
  DWORD dwExStyle = WS_EX_TOOLWINDOW | (bRtl ? WS_EX_LAYOUTRTL : 0);
  CString strClass = AfxRegisterWndClass(CS_DBLCLKS | CS_SAVEBITS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(dwExStyle, strClass, "", kPopupStyle, 0, 0, 0, 0, pSite ? pSite->GetSafeHwnd() : nullptr, nullptr);
}

void CTKPopupBar::DestroyPopupWindow()
{
  if (!GetSafeHwnd())
    return;
  // The edit and combo windows of the controls outlive the popup: they go back to the site.
  CWnd* pSite = GetSite();
  for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild;) {
    HWND hNext = ::GetWindow(hChild, GW_HWNDNEXT);
    ::ShowWindow(hChild, SW_HIDE);
    ::SetParent(hChild, pSite ? pSite->GetSafeHwnd() : nullptr);
    hChild = hNext;
  }
  DestroyWindow();
}

void CTKPopupBar::UpdateExpandingDirection()
{
  if (!m_pControlPopup)
    return;
  m_popupFlags = ((m_pControlPopup->GetFlags() & TK_FLAG_RIGHTALIGN) || IsLayoutRTL()) ? TK_POPUP_LEFT : 0;
  CTKCommandBar* pParent = m_pControlPopup->GetParent();
  if (!pParent)
    return;
  switch (pParent->GetPosition()) {
  case tkBarRight:
    m_popupFlags = TK_POPUP_LEFT;
    break;
  case tkBarLeft:
  case tkBarPopup: {
    auto* pParentPopup = dynamic_cast<CTKPopupBar*>(pParent);
    if (pParent->GetType() == tkBarTypePopup && pParentPopup && (pParentPopup->m_popupFlags & TK_POPUP_LEFT))
      m_popupFlags = TK_POPUP_LEFT;
    break;
  }
  default:
    m_popupFlags |= TK_POPUP_DOWN;
    break;
  }
  CRect rc = m_pControlPopup->GetRect();
  if (m_pControlPopup->GetType() == tkControlComboBox && pParent->GetType() != tkBarTypePopup)
    m_popupFlags |= TK_POPUP_DOWN;
  else
    GetPaintManager()->AdjustExcludeRect(rc, m_pControlPopup, IsVerticalPosition(pParent->GetPosition()));
  if (pParent->GetSafeHwnd())
    pParent->ClientToScreen(&rc);
  m_rcExclude = rc;
  m_ptPopup = (m_popupFlags & TK_POPUP_DOWN) ? CPoint(rc.left, rc.bottom) : CPoint(rc.right, rc.top);
}

CRect CTKPopupBar::CalcPopupRect(CSize size)
{
  int cx = size.cx;
  int cy = size.cy;
  int x = m_ptPopup.x;
  int y = m_ptPopup.y;
  int nFlags = m_popupFlags;
  const CRect rcExclude = m_rcExclude;
  BOOL bHasWidth = rcExclude.Width() != 0;
  BOOL bHasHeight = rcExclude.Height() != 0;
  CRect rcWork = rcExclude.IsRectNull() ? CTKDrawHelpers::GetWorkArea(m_ptPopup)
                                        : CTKDrawHelpers::GetWorkArea(static_cast<const RECT&>(rcExclude));
  int nBottom = rcWork.bottom - 5;
  BOOL bScroll = FALSE;

  if ((nFlags & 3) == 3 && bHasWidth)
    x = rcExclude.right - cx;
  else if ((nFlags & TK_POPUP_LEFT) && bHasWidth)
    x = rcExclude.left - cx;
  else if (nFlags & TK_POPUP_LEFT)
    x -= cx;

  if (!bHasHeight && y > nBottom) {
    y -= cy;
  } else if (y + cy > nBottom) {
    if (!bHasHeight) {
      y = y < (nBottom - rcWork.top) / 2 ? nBottom - cy : y - cy;
    } else if (nFlags & TK_POPUP_DOWN) {
      y = rcExclude.top - cy;
      if (y < rcWork.top) {
        bScroll = TRUE;
        if ((rcExclude.top + rcExclude.bottom) / 2 > (nBottom - rcWork.top) / 2) {
          cy = rcExclude.top - rcWork.top;
          y = rcWork.top;
        } else {
          y = rcExclude.bottom;
          cy = nBottom - rcExclude.bottom;
        }
      }
    } else {
      y = nBottom - cy;
    }
    if (y < rcWork.top)
      y = rcWork.top;
    if (y + cy > nBottom) {
      cy = nBottom - y;
      bScroll = TRUE;
    }
  }

  if (x + cx > rcWork.right) {
    if (!bHasWidth) {
      x = x > rcWork.right ? x - cx : rcWork.right - cx;
    } else {
      x = ((nFlags & TK_POPUP_DOWN) ? rcWork.right : rcExclude.left) - cx;
      nFlags |= TK_POPUP_LEFT;
    }
  }
  if (x < rcWork.left) {
    if (bHasWidth) {
      x = (nFlags & TK_POPUP_DOWN) ? rcWork.left : rcExclude.right;
      nFlags &= ~TK_POPUP_LEFT;
    } else if (nFlags & TK_POPUP_LEFT) {
      x = rcWork.left;
      nFlags &= ~TK_POPUP_LEFT;
    }
  }

  m_bScrolling = FALSE;
  m_rcScrollUp.SetRectEmpty();
  m_rcScrollDown.SetRectEmpty();
  if (bScroll && m_barType == tkBarTypePopup) {
    m_bScrolling = TRUE;
    m_nScrollFirst = 0;
    CSize szScrolled(cx, cy);
    LayoutScrolled(&szScrolled, FALSE, FALSE);
  }
  m_popupFlags = nFlags;
  return CRect(x, y, x + cx, y + cy);
}

BOOL CTKPopupBar::PopupAt(int x, int y, LPCRECT lprcExclude)
{
  m_ptPopup = CPoint(x, y);
  m_rcExclude = lprcExclude ? CRect(*lprcExclude) : CRect(0, 0, 0, 0);
  return Popup(nullptr, FALSE);
}

BOOL CTKPopupBar::Popup(CTKControlPopup* pControlPopup, BOOL bSelectFirst)
{
  m_pControlPopup = pControlPopup;
  if (!CreatePopupWindow())
    return FALSE;
  // The site may empty or refill the popup while it is told; keep it until the end.
  InternalAddRef();
  LockRedraw();
  if (CWnd* pNotify = GetNotifySite(); pNotify && pNotify->GetSafeHwnd())
    pNotify->SendMessage(TKWM_POPUPBARINIT, reinterpret_cast<WPARAM>(this), 0);
  m_bTearOffSelected = FALSE;
  m_bCollapsed = FALSE;
  m_bExpanded = IsCustomizeMode() ? TRUE : TKMouseManager()->m_bExpandedMenus;

  BOOL bOpened = FALSE;
  if (GetSafeHwnd()) {
    UpdateExpandingDirection();
    CSize size = CalcDynamicLayout(0, 0);
    CRect rc = CalcPopupRect(size);
    UINT nFlags = SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | (IsVisible() ? SWP_NOZORDER : 0);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, rc.Width(), rc.Height(), nFlags);
    CTKCommandBar* pParent = GetParentBar();
    bOpened = GetSafeHwnd() && (!pControlPopup || (pParent && pParent->GetSafeHwnd()));
  }
  if (!bOpened) {
    --m_nLockRedraw;
    DestroyPopupWindow();
    InternalRelease();
    return FALSE;
  }
  SetTrackingMode(1, bSelectFirst, bSelectFirst);
  m_nDelayFlags &= ~3;
  OnUpdateCmdUI(nullptr, TRUE);
  AnimateOpening(GetAnimationType());
  TKSoundManager().PlaySystemSound(CTKSoundManager::stateMenuPopup);
  if (m_bShowShadow && GetSafeHwnd()) {
    TKShadowsManager().RemoveShadow(this);
    TKShadowsManager().SetShadow(this, m_rcExclude);
  }
  UnlockRedraw();
  InternalRelease();
  return TRUE;
}

BOOL CTKPopupBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
  BOOL bChanged = CTKCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
  if (!bChanged)
    return FALSE;
  InternalAddRef();
  CWnd* pSite = GetSite();
  if (bMode) {
    ::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
  } else {
    ::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    TKShadowsManager().RemoveShadow(this);
    DestroyPopupWindow();
    if (m_pControlPopup) {
      CTKCommandBar* pParent = m_pControlPopup->GetParent();
      if (pParent && pParent->GetPopuped() == m_pControlPopup->GetIndex())
        pParent->SetPopuped(-1, FALSE);
    }
    if (pSite && pSite->GetSafeHwnd())
      pSite->SendMessage(TKWM_POPUPBARCLOSED, reinterpret_cast<WPARAM>(this), 0);
    m_pControlPopup = nullptr;
    m_bTearOffSelected = FALSE;
  }
  if (pSite && pSite->GetSafeHwnd())
    pSite->UpdateWindow();
  InternalRelease();
  return TRUE;
}

BOOL CTKPopupBar::SetSelected(int nSelected, BOOL bKeyboard)
{
  if (CTKControl* pControl = GetControl(nSelected); pControl && (pControl->GetHideFlags() & TK_HIDEPOPUPLAYOUT))
    ScrollIntoView(nSelected);
  BOOL bChanged = CTKCommandBar::SetSelected(nSelected, bKeyboard);
  if (!bChanged || !GetSafeHwnd())
    return bChanged;
  CTKControl* pControl = GetControl(nSelected);
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (pControl && pControl->GetID() == TK_ID_POPUPEXPAND && !bKeyboard && pCommandBars &&
      pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay)
    m_nExpandTimer = SetTimer(TK_TIMER_EXPAND, TK_EXPAND_MS, nullptr);
  else if (m_nExpandTimer) {
    KillTimer(TK_TIMER_EXPAND);
    m_nExpandTimer = 0;
  }
  return bChanged;
}

void CTKPopupBar::ScrollIntoView(int nIndex)
{
  if (!m_bScrolling)
    return;
  if (nIndex < m_nScrollFirst) {
    m_nScrollFirst = nIndex;
    LayoutScrolled(nullptr, FALSE, TRUE);
  } else {
    m_nScrollEnd = nIndex + 1;
    LayoutScrolled(nullptr, TRUE, TRUE);
  }
}

void CTKPopupBar::DelayRedraw()
{
  m_nDelayFlags &= ~2;
  if (m_nLockRedraw == 0 && GetSafeHwnd())
    InvalidateRect(nullptr, FALSE);
}

void CTKPopupBar::DelayLayout()
{
  if (m_bDynamicLayout || !m_bTracking || !GetSafeHwnd())
    return;
  TKShadowsManager().RemoveShadow(this);
  CRect rcOld;
  GetClientRect(&rcOld);
  UpdateShortcuts();
  UpdateExpandingDirection();
  CSize size = CalcDynamicLayout(0, 0);
  CRect rc = CalcPopupRect(size);
  if (m_bExpanding) {
    ShowWindow(SW_HIDE);
    if (CWnd* pSite = GetSite(); pSite && pSite->GetSafeHwnd())
      pSite->UpdateWindow();
  }
  SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  if (m_bExpanding) {
    int nType = GetAnimationType();
    if (nType >= 2 && nType <= 4) {
      CRect rcNew;
      GetClientRect(&rcNew);
      CClientDC dc(this);
      CBitmap bitmap;
      bitmap.CreateCompatibleBitmap(&dc, rcNew.Width(), rcNew.Height());
      {
        CTKCompatibleDC dcBuffer(&dc, &bitmap);
        DrawCommandBar(&dcBuffer, rcNew);
        GetPaintManager()->AnimateExpanding(this, &dc, &dcBuffer, rcNew.Height() > rcOld.Height());
      }
      TKSoundManager().PlaySystemSound(CTKSoundManager::stateMenuPopup);
    }
  }
  if (m_bShowShadow)
    TKShadowsManager().SetShadow(this, m_rcExclude);
  if (m_nLockRedraw == 0)
    InvalidateRect(nullptr, FALSE);
  m_bExpanding = FALSE;
}

void CTKPopupBar::UpdateShortcuts()
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!pCommandBars || !pCommandBars->GetCommandBarsOptions()->bAutoUpdateShortcuts)
    return;
  CTKShortcutManager* pShortcuts = pCommandBars->GetShortcutManager();
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    if (!pControl->IsVisible() || pControl->GetID() <= 0)
      continue;
    CString strShortcut;
    // A command without a key keeps the text its menu gave it.
    if (pShortcuts->FindDefaultAccelerator(pControl->GetID(), strShortcut))
      pControl->SetAutoShortcutText(strShortcut);
  }
}

void CTKPopupBar::UpdateHiddenCommands()
{
  m_bCollapsed = FALSE;
  CTKCommandBars* pCommandBars = GetCommandBars();
  BOOL bAlwaysFull = !pCommandBars || pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus;
  int nShown = 0;
  int nMarked = 0;
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    if (pControl->GetID() == TK_ID_POPUPEXPAND && dynamic_cast<CTKControlExpandButton*>(pControl))
      continue;
    BOOL bOtherwiseVisible = (pControl->GetHideFlags() & ~(TK_HIDEPOPUPLAYOUT | TK_HIDEUSAGE)) == 0;
    BOOL bMark = !bAlwaysFull && bOtherwiseVisible && pCommandBars->IsControlHidden(pControl);
    pControl->SetHiddenByUsage(bMark);
    if (bMark)
      ++nMarked;
    else if (bOtherwiseVisible)
      ++nShown;
  }
  if (bAlwaysFull) {
    m_bExpanded = TRUE;
    return;
  }
  // A popup made only of rarely used commands shows them all.
  BOOL bHide = nShown > 0 && nMarked > 0;
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    if (pControl->IsHiddenByUsage())
      pControl->SetHideFlag(TK_HIDEUSAGE, bHide && !m_bExpanded);
  }
  m_bCollapsed = bHide;
}

CSize CTKPopupBar::CalcDynamicLayout(int /*nLength*/, DWORD /*dwMode*/)
{
  if (!GetSafeHwnd())
    return CSize(0, 0);
  m_bDynamicLayout = TRUE;
  CClientDC dc(this);
  CFont* pOldFont = dc.SelectObject(GetPaintManager()->GetCommandBarFont(m_barPosition, FALSE));
  CSize size = m_barType == tkBarTypePopup ? CalcMenuLayout(&dc) : CalcToolBarLayout(&dc);
  dc.SelectObject(pOldFont);
  m_nDelayFlags &= ~1;
  m_bDynamicLayout = FALSE;
  return size;
}

CSize CTKPopupBar::CalcMenuLayout(CDC* pDC)
{
  CTKPaintManager* pPaintManager = GetPaintManager();
  CRect rcBorders = pPaintManager->GetCommandBarBorders(this);
  m_nSeparatorHeight = pPaintManager->DrawCommandBarSeparator(pDC, this, nullptr, FALSE).cy;
  int nGripper = 0;
  if (m_bTearOffPopup) {
    nGripper = pPaintManager->DrawTearOffGripper(pDC, CRect(0, 0, 0, 0), FALSE, FALSE).cy;
    rcBorders.top += nGripper;
  }
  for (int i = 0; i < GetControlCount(); ++i)
    GetControl(i)->OnCalcDynamicSize(kPopupLayoutMode);

  CTKControl* pExpand = nullptr;
  for (int i = 0; i < GetControlCount() && !pExpand; ++i) {
    if (dynamic_cast<CTKControlExpandButton*>(GetControl(i)))
      pExpand = GetControl(i);
  }
  if (pExpand)
    pExpand->SetHideFlag(TK_HIDEGENERIC, TRUE);
  UpdateHiddenCommands();
  BOOL bShowExpand = m_bCollapsed && !m_bExpanded;
  int nExpandHeight = 0;
  if (bShowExpand) {
    if (!pExpand) {
      pExpand = m_pControls->InsertAt(new CTKControlExpandButton, TK_ID_POPUPEXPAND, CString(), -1, TRUE);
      pExpand->SetHideFlag(TK_HIDEGENERIC, TRUE);
    }
    nExpandHeight = pExpand->GetSize(pDC).cy;
    rcBorders.bottom += nExpandHeight;
  }
  UpdateShortcuts();

  CRect rcWork;
  ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0);
  int nMaxWidth = rcWork.right / 3;
  int y = rcBorders.top;
  int nWidth = 0;
  BOOL bFirst = TRUE;
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    pControl->SetHideFlag(TK_HIDEPOPUPLAYOUT, FALSE);
    if (pControl->GetHideFlags() != 0)
      continue;
    if (pControl->GetBeginGroup() && !bFirst)
      y += m_nSeparatorHeight;
    CFont* pOldFont = pDC->SelectObject(pPaintManager->GetCommandBarFont(m_barPosition, pControl->IsItemDefault()));
    CSize size = pControl->GetSize(pDC);
    pDC->SelectObject(pOldFont);
    size.cx = std::min<LONG>(size.cx, nMaxWidth);
    pControl->SetRect(CRect(rcBorders.left, y, rcBorders.left + size.cx, y + size.cy));
    y += size.cy;
    nWidth = std::max<int>(nWidth, size.cx);
    bFirst = FALSE;
  }
  nWidth = std::max(nWidth, kMinMenuWidth);
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    if (pControl->GetHideFlags() != 0)
      continue;
    CRect rc = pControl->GetRect();
    rc.right = rc.left + nWidth;
    pControl->SetRect(rc);
  }
  if (bShowExpand) {
    pExpand->SetRect(CRect(rcBorders.left, y, rcBorders.left + nWidth, y + nExpandHeight));
    pExpand->SetHideFlag(TK_HIDEGENERIC, FALSE);
  }
  m_rcTearOffGripper = m_bTearOffPopup
                           ? CRect(rcBorders.left, rcBorders.top - nGripper, rcBorders.left + nWidth, rcBorders.top)
                           : CRect(0, 0, 0, 0);
  m_rcLayoutBorders = rcBorders;
  m_nExpandHeight = nExpandHeight;
  return CSize(rcBorders.left + rcBorders.right + nWidth, (bFirst ? kMinMenuWidth : y) + rcBorders.bottom);
}

CSize CTKPopupBar::CalcToolBarLayout(CDC* pDC)
{
  CRect rcBorders = m_rcBorders;
  int nGripper = 0;
  if (m_bTearOffPopup) {
    nGripper = GetPaintManager()->DrawTearOffGripper(pDC, CRect(0, 0, 0, 0), FALSE, FALSE).cy;
    rcBorders.top += nGripper;
  }
  UpdateShortcuts();
  CSize size = m_pControls->CalcDynamicSize(pDC, 0, kPopupLayoutMode, rcBorders, 0);
  m_rcTearOffGripper = m_bTearOffPopup
                           ? CRect(rcBorders.left, rcBorders.top - nGripper, size.cx - rcBorders.right, rcBorders.top)
                           : CRect(0, 0, 0, 0);
  m_rcLayoutBorders = rcBorders;
  return size;
}

void CTKPopupBar::LayoutScrolled(CSize* pSize, BOOL bBackwards, BOOL bRedraw)
{
  CSize size = pSize ? *pSize : CSize(0, 0);
  if (!pSize && GetSafeHwnd()) {
    CRect rcClient;
    GetClientRect(&rcClient);
    size = rcClient.Size();
  }
  const CRect& rcBorders = m_rcLayoutBorders;
  int nCount = GetControlCount();
  CTKControl* pExpand = nullptr;
  // The rows, in order, that the scrolling moves: the visible controls but the chevron.
  auto isRow = [&](CTKControl* pControl) {
    if (dynamic_cast<CTKControlExpandButton*>(pControl)) {
      pExpand = pControl;
      return false;
    }
    return (pControl->GetHideFlags() & ~TK_HIDEPOPUPLAYOUT) == 0;
  };
  auto place = [&](CTKControl* pControl, int nTop) {
    CRect rc = pControl->GetRect();
    pControl->SetRect(CRect(rc.left, nTop, rc.right, nTop + rc.Height()));
    pControl->SetHideFlag(TK_HIDEPOPUPLAYOUT, FALSE);
  };
  int nRight = size.cx - rcBorders.right;
  m_rcScrollUp.SetRectEmpty();
  m_rcScrollDown.SetRectEmpty();
  int nFirstTop = rcBorders.top;
  int nLastBottom = rcBorders.top;
  if (!bBackwards) {
    if (m_nScrollFirst == 1)
      m_nScrollFirst = 0;
    int y = rcBorders.top;
    if (m_nScrollFirst != 0) {
      m_rcScrollUp = CRect(rcBorders.left, y, nRight, y + kScrollStrip);
      y += kScrollStrip;
    }
    nFirstTop = y;
    int nLimit = size.cy - rcBorders.bottom - kScrollStrip;
    m_nScrollEnd = nCount;
    BOOL bFull = FALSE;
    BOOL bFirst = TRUE;
    for (int i = 0; i < nCount; ++i) {
      CTKControl* pControl = GetControl(i);
      if (!isRow(pControl))
        continue;
      if (i < m_nScrollFirst || bFull) {
        pControl->SetHideFlag(TK_HIDEPOPUPLAYOUT, TRUE);
        continue;
      }
      int nTop = y + (pControl->GetBeginGroup() && !bFirst ? m_nSeparatorHeight : 0);
      if (nTop + pControl->GetRect().Height() > nLimit && !bFirst) {
        bFull = TRUE;
        m_nScrollEnd = i;
        pControl->SetHideFlag(TK_HIDEPOPUPLAYOUT, TRUE);
        continue;
      }
      place(pControl, nTop);
      y = nTop + pControl->GetRect().Height();
      bFirst = FALSE;
    }
    nLastBottom = y;
    if (bFull)
      m_rcScrollDown = CRect(rcBorders.left, size.cy - rcBorders.bottom - kScrollStrip, nRight, size.cy - rcBorders.bottom);
  } else {
    if (m_nScrollEnd == nCount - 1)
      m_nScrollEnd = nCount;
    m_nScrollEnd = std::clamp(m_nScrollEnd, 0, nCount);
    int y = size.cy - rcBorders.bottom;
    if (m_nScrollEnd != nCount) {
      m_rcScrollDown = CRect(rcBorders.left, y - kScrollStrip, nRight, y);
      y -= kScrollStrip;
    }
    nLastBottom = y;
    for (int i = m_nScrollEnd; i < nCount; ++i) {
      if (isRow(GetControl(i)))
        GetControl(i)->SetHideFlag(TK_HIDEPOPUPLAYOUT, TRUE);
    }
    m_nScrollFirst = 0;
    BOOL bFull = FALSE;
    CTKControl* pBelow = nullptr;
    for (int i = m_nScrollEnd - 1; i >= 0; --i) {
      CTKControl* pControl = GetControl(i);
      if (!isRow(pControl))
        continue;
      if (bFull) {
        pControl->SetHideFlag(TK_HIDEPOPUPLAYOUT, TRUE);
        continue;
      }
      int nBottom = y - (pBelow && pBelow->GetBeginGroup() ? m_nSeparatorHeight : 0);
      int nTop = nBottom - pControl->GetRect().Height();
      if (nTop < rcBorders.top + kScrollStrip && pBelow) {
        bFull = TRUE;
        m_nScrollFirst = i + 1;
        pControl->SetHideFlag(TK_HIDEPOPUPLAYOUT, TRUE);
        continue;
      }
      place(pControl, nTop);
      y = nTop;
      pBelow = pControl;
    }
    nFirstTop = y;
    if (bFull)
      m_rcScrollUp = CRect(rcBorders.left, rcBorders.top, nRight, rcBorders.top + kScrollStrip);
  }
  if (pExpand && pExpand->IsVisible()) {
    CRect rc = pExpand->GetRect();
    pExpand->SetRect(CRect(rc.left, nLastBottom, rc.right, nLastBottom + m_nExpandHeight));
  }
  if (m_bTearOffPopup)
    m_rcTearOffGripper.OffsetRect(0, nFirstTop - m_rcTearOffGripper.bottom);
  if (bRedraw && m_nLockRedraw == 0 && GetSafeHwnd())
    InvalidateRect(nullptr, FALSE);
}

void CTKPopupBar::ExpandFullMenu()
{
  if (m_bExpanded || !m_bCollapsed)
    return;
  if (CTKCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->GetToolTipContext()->CancelToolTips();
  m_bExpanding = TRUE;
  m_bExpanded = TRUE;
  SetPopuped(-1, FALSE);
  SetSelected(-1, FALSE);
  DelayLayout();
  TKMouseManager()->m_bExpandedMenus = TRUE;
  TKMouseManager()->m_bEatNextRelease = TRUE;
}

int CTKPopupBar::GetDefaultItem(BOOL bByPosition) const
{
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    if (pControl->IsVisible() && pControl->IsItemDefault())
      return bByPosition ? i : pControl->GetID();
  }
  return -1;
}

int CTKPopupBar::OnHookKeyDown(UINT nChar, LPARAM lParam)
{
  if (nChar == VK_DOWN && m_bCollapsed && !m_bExpanded && m_nTrackLock == 0 && !IsCustomizeMode()) {
    int nNext = m_pControls->GetNext(m_nSelected, 1);
    BOOL bLast = m_nSelected != -1 && nNext <= m_nSelected;
    if (::GetKeyState(VK_CONTROL) < 0 || bLast) {
      ExpandFullMenu();
      return 1;
    }
  }
  return CTKCommandBar::OnHookKeyDown(nChar, lParam);
}

void CTKPopupBar::DrawCommandBar(CDC* pDC, CRect rcClipBox)
{
  CTKCommandBar::DrawCommandBar(pDC, rcClipBox);
  CTKPaintManager* pPaintManager = GetPaintManager();
  if (m_bTearOffPopup && !m_rcTearOffGripper.IsRectEmpty())
    pPaintManager->DrawTearOffGripper(pDC, m_rcTearOffGripper, m_bTearOffSelected, TRUE);
  COLORREF clrArrow = pPaintManager->GetColor(kScrollArrowColor);
  if (!m_rcScrollDown.IsRectEmpty()) {
    CPoint pt = m_rcScrollDown.CenterPoint();
    pPaintManager->Triangle(pDC, CPoint(pt.x - 3, pt.y - 1), CPoint(pt.x + 3, pt.y - 1), CPoint(pt.x, pt.y + 2),
                            clrArrow);
  }
  if (!m_rcScrollUp.IsRectEmpty()) {
    CPoint pt = m_rcScrollUp.CenterPoint();
    pPaintManager->Triangle(pDC, CPoint(pt.x - 3, pt.y + 1), CPoint(pt.x + 3, pt.y + 1), CPoint(pt.x, pt.y - 2),
                            clrArrow);
  }
}

void CTKPopupBar::Copy(CTKCommandBar* pCommandBar, BOOL bRecursive)
{
  CTKCommandBar::Copy(pCommandBar, bRecursive);
  auto* pSource = dynamic_cast<CTKPopupBar*>(pCommandBar);
  if (!pSource)
    return;
  m_bTearOffPopup = pSource->m_bTearOffPopup;
  m_strTearOffCaption = pSource->m_strTearOffCaption;
  m_nTearOffID = pSource->m_nTearOffID;
  m_nTearOffWidth = pSource->m_nTearOffWidth;
  m_bShowShadow = pSource->m_bShowShadow;
  m_rcBorders = pSource->m_rcBorders;
}

int CTKPopupBar::GetAnimationType() const
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!pCommandBars || HasChildWindow(const_cast<CTKPopupBar*>(this)))
    return 5;
  int nType = pCommandBars->GetCommandBarsOptions()->animationType;
  if (nType == 0) {
    BOOL bAnimation = FALSE;
    ::SystemParametersInfo(SPI_GETMENUANIMATION, 0, &bAnimation, 0);
    if (!bAnimation)
      return 5;
    BOOL bFade = FALSE;
    ::SystemParametersInfo(SPI_GETMENUFADE, 0, &bFade, 0);
    return bFade ? 4 : 3;
  }
  if (nType == 1) {
    static const int kRandomTypes[3] = {4, 3, 2};
    return kRandomTypes[std::rand() % 3];
  }
  return nType;
}

void CTKPopupBar::AnimateOpening(int nType)
{
  CTKCommandBar* pParent = GetParentBar();
  if ((pParent && !pParent->IsMouseStarted()) || IsCustomizeMode() || HasChildWindow(this))
    return;
  if (nType >= 2 && nType <= 4) {
    if (m_pControlPopup)
      m_pControlPopup->RedrawParent();
    if (pParent && pParent->GetSafeHwnd())
      pParent->UpdateWindow();
    if (CWnd* pSite = GetSite(); pSite && pSite->GetSafeHwnd())
      pSite->UpdateWindow();
    CRect rc;
    GetClientRect(&rc);
    CClientDC dc(this);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
    {
      CTKCompatibleDC dcBuffer(&dc, &bitmap);
      DrawCommandBar(&dcBuffer, rc);
      GetPaintManager()->Animate(&dc, &dcBuffer, rc, nType);
    }
  }
  // Only the first popup of a chain the mouse opened animates.
  if (pParent)
    pParent->SetMouseStarted(FALSE);
}

void CTKPopupBar::OnMouseMovePopup(CPoint point)
{
  if (CTKCommandBar* pParent = GetParentBar(); pParent && m_pControlPopup && pParent->GetSafeHwnd() &&
                                                 pParent->GetSelected() != m_pControlPopup->GetIndex())
    pParent->SetSelected(m_pControlPopup->GetIndex(), FALSE);
  if (m_bScrolling && !IsInputBlocked()) {
    BOOL bDown = m_rcScrollDown.PtInRect(point);
    BOOL bUp = m_rcScrollUp.PtInRect(point);
    if (bDown || bUp) {
      UINT_PTR& nTimer = bDown ? m_nScrollDownTimer : m_nScrollUpTimer;
      if (!nTimer) {
        SetPopuped(-1, FALSE);
        nTimer = SetTimer(bDown ? TK_TIMER_SCROLLDOWN : TK_TIMER_SCROLLUP, TK_SCROLL_MS, nullptr);
      }
      return;
    }
    if (m_nScrollDownTimer) {
      KillTimer(TK_TIMER_SCROLLDOWN);
      m_nScrollDownTimer = 0;
    }
    if (m_nScrollUpTimer) {
      KillTimer(TK_TIMER_SCROLLUP);
      m_nScrollUpTimer = 0;
    }
  }
  if (m_bTearOffPopup && !IsCustomizeMode() && m_rcTearOffGripper.PtInRect(point)) {
    SetPopuped(-1, FALSE);
    SetSelected(-1, FALSE);
    if (!m_nTearOffTimer)
      m_nTearOffTimer = SetTimer(TK_TIMER_TEAROFF, TK_TEAROFF_MS, nullptr);
    return;
  }
  OnMouseMoveBar(point);
}

void CTKPopupBar::OnTimerPopup(UINT_PTR nIDEvent)
{
  switch (nIDEvent) {
  case TK_TIMER_SCROLLDOWN:
    if (m_nScrollEnd >= GetControlCount()) {
      KillTimer(TK_TIMER_SCROLLDOWN);
      m_nScrollDownTimer = 0;
      return;
    }
    ++m_nScrollEnd;
    LayoutScrolled(nullptr, TRUE, TRUE);
    return;
  case TK_TIMER_SCROLLUP:
    if (m_nScrollFirst <= 0) {
      KillTimer(TK_TIMER_SCROLLUP);
      m_nScrollUpTimer = 0;
      return;
    }
    --m_nScrollFirst;
    LayoutScrolled(nullptr, FALSE, TRUE);
    return;
  case TK_TIMER_TEAROFF: {
    CPoint pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    BOOL bHot = m_rcTearOffGripper.PtInRect(pt);
    if (bHot != m_bTearOffSelected) {
      m_bTearOffSelected = bHot;
      InvalidateRect(m_rcTearOffGripper, FALSE);
    }
    if (!bHot) {
      KillTimer(TK_TIMER_TEAROFF);
      m_nTearOffTimer = 0;
    }
    return;
  }
  case TK_TIMER_EXPAND: {
    KillTimer(TK_TIMER_EXPAND);
    m_nExpandTimer = 0;
    CTKControl* pSelected = GetControl(m_nSelected);
    if (pSelected && pSelected->GetID() == TK_ID_POPUPEXPAND && !m_bKeyboardSelect)
      ExpandFullMenu();
    return;
  }
  default:
    OnTimerBar(nIDEvent);
  }
}

void CTKPopupBar::TrackTearOff()
{
  ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
  CTKMouseManager* pMouseManager = TKMouseManager();
  int nLock = pMouseManager->m_nLock++;
  InternalAddRef();
  SetCapture();
  m_bTearOffTracking = TRUE;
  CRect rcGripper = m_rcTearOffGripper;
  ClientToScreen(&rcGripper);
  rcGripper.InflateRect(kTearOffDistance, kTearOffDistance);
  BOOL bShown = FALSE;
  while (m_bTracking) {
    MSG msg;
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_PAINT) {
      ::DispatchMessage(&msg);
      continue;
    }
    if (msg.message == WM_LBUTTONUP)
      break;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      // Escape takes back a bar already torn off.
      if (bShown)
        HideTornOffBar();
      bShown = FALSE;
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      ::ClientToScreen(msg.hwnd, &pt);
      if (!rcGripper.PtInRect(pt))
        bShown = ShowTornOffBar(pt);
      else if (bShown) {
        HideTornOffBar();
        bShown = FALSE;
      }
      continue;
    }
    ::DispatchMessage(&msg);
    if (!GetSafeHwnd() || ::GetCapture() != m_hWnd)
      break;
  }
  if (GetSafeHwnd() && ::GetCapture() == m_hWnd)
    ::ReleaseCapture();
  m_bTearOffTracking = FALSE;
  pMouseManager->m_nLock = nLock;
  if (bShown) {
    if (CTKCommandBars* pCommandBars = GetCommandBars())
      pCommandBars->ClosePopups();
    else
      SetTrackingMode(0, TRUE, FALSE);
  }
  InternalRelease();
}

BOOL CTKPopupBar::ShowTornOffBar(CPoint ptScreen)
{
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (!pCommandBars)
    return FALSE;
  if (!m_pTearOffBar) {
    auto* pBar = dynamic_cast<CTKToolBar*>(pCommandBars->GetToolBar(m_nTearOffID));
    if (pBar) {
      if (!pCommandBars->FloatCommandBar(pBar))
        return FALSE;
      pBar->SetVisible(TRUE);
    } else {
      pBar = pCommandBars->AddCustomBar(m_strTearOffCaption, m_nTearOffID, TRUE);
      if (!pBar)
        return FALSE;
      pBar->m_nMRUWidth = m_nTearOffWidth;
      for (int i = 0; i < m_pControls->GetCount(); ++i) {
        CTKControl* pControl = m_pControls->GetAt(i);
        if (dynamic_cast<CTKControlExpandButton*>(pControl))
          continue;
        CTKControl* pCopy = pBar->GetControls()->AddClone(pControl, -1, TRUE);
        pCopy->SetHideFlags(pCopy->GetHideFlags() & ~static_cast<DWORD>(0x08 | 0x20));
      }
      pBar->SetVisible(TRUE);
    }
    m_pTearOffBar = pBar;
    m_szTearOffBar = pBar->CalcDynamicLayout(-1, 0x46);
  }
  // Its top centre follows the cursor, 10 pixels above it.
  m_pTearOffBar->SetWindowPos(nullptr, ptScreen.x - m_szTearOffBar.cx / 2, ptScreen.y - 10, m_szTearOffBar.cx,
                              m_szTearOffBar.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return TRUE;
}

void CTKPopupBar::HideTornOffBar()
{
  // A bar torn off goes with its hiding; one the command bars already had stays, hidden.
  CTKToolBar* pBar = m_pTearOffBar;
  m_pTearOffBar = nullptr;
  if (pBar)
    pBar->SetVisible(FALSE);
}

BOOL CTKPopupBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
  case WM_MOUSEACTIVATE:
    if (pResult)
      *pResult = MA_NOACTIVATE;
    return TRUE;
  case WM_NCACTIVATE:
    if (wParam) {
      if (pResult)
        *pResult = TRUE;
      return TRUE;
    }
    break;
  case WM_MOUSEMOVE:
    if (TKMouseManager()->IsMouseLocked(this))
      break;
    OnMouseMovePopup(point);
    if (pResult)
      *pResult = 0;
    return TRUE;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    // A quick second press on the gripper arrives as a double click: it is a press all the same.
    if (m_bTearOffPopup && !IsCustomizeMode() && m_rcTearOffGripper.PtInRect(point) && !IsInputBlocked()) {
      TrackTearOff();
      if (pResult)
        *pResult = 0;
      return TRUE;
    }
    break;
  case WM_TIMER:
    if (wParam >= TK_TIMER_SCROLLDOWN && wParam <= TK_TIMER_EXPAND) {
      OnTimerPopup(wParam);
      if (pResult)
        *pResult = 0;
      return TRUE;
    }
    break;
  default:
    break;
  }
  return CTKCommandBar::OnWndMsg(message, wParam, lParam, pResult);
}

CTKPopupToolBar::CTKPopupToolBar() { m_barType = tkBarTypeNormal; }

CTKPopupToolBar* CTKPopupToolBar::CreatePopupToolBar(CTKCommandBars* pCommandBars)
{
  auto* pBar = static_cast<CTKPopupToolBar*>(RUNTIME_CLASS(CTKPopupToolBar)->CreateObject());
  pBar->SetCommandBars(pCommandBars);
  return pBar;
}
