#include "toolkit/commandbars/control.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/customizesheet.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/resource_manager.h"

#include <algorithm>

IMPLEMENT_SERIAL(CTKControl, CCmdTarget, TK_BAR_CLASS_SCHEMA)
IMPLEMENT_SERIAL(CTKControlLabel, CTKControl, TK_BAR_CLASS_SCHEMA)

CTKControl::CTKControl() = default;

CTKControl::~CTKControl() = default;

void CTKControl::SetCaption(const CString& strCaption)
{
  CString strText = strCaption;
  int nTab = strText.Find('\t');
  if (nTab >= 0) {
    m_strShortcutTextAuto = strText.Mid(nTab + 1);
    strText = strText.Left(nTab);
  }
  if (m_strCaption != strText) {
    m_strCaption = strText;
    DelayLayoutParent();
  }
}

void CTKControl::SetPrompt(const CString& strPrompt)
{
  if (strPrompt.IsEmpty())
    return;
  int nNewLine = strPrompt.Find('\n');
  if (nNewLine >= 0) {
    m_strDescriptionText = strPrompt.Left(nNewLine);
    CString strRest = strPrompt.Mid(nNewLine + 1);
    int nSecond = strRest.Find('\n');
    m_strTooltipText = nSecond >= 0 ? strRest.Left(nSecond) : strRest;
  } else {
    m_strDescriptionText = strPrompt;
    m_strTooltipText = strPrompt;
  }
  if (m_strCaption.IsEmpty())
    m_strCaption = m_strTooltipText;
}

void CTKControl::SetID(int nId)
{
  if (m_nId == nId)
    return;
  CString strPrompt;
  if (nId > 0 && TKResourceManager()->LoadString(&strPrompt, static_cast<UINT>(nId)))
    SetPrompt(strPrompt);
  m_nId = nId;
}

BOOL CTKControl::SetHideFlag(DWORD dwFlag, BOOL bSet)
{
  DWORD dwFlags = bSet ? (m_dwHideFlags | dwFlag) : (m_dwHideFlags & ~dwFlag);
  if (dwFlags == m_dwHideFlags)
    return FALSE;
  SetHideFlags(dwFlags);
  return TRUE;
}

void CTKControl::SetChecked(BOOL bChecked)
{
  if (m_bChecked != bChecked) {
    m_bChecked = bChecked;
    RedrawParent();
  }
}

void CTKControl::SetItemDefault(BOOL bDefault)
{
  if (m_bDefaultItem != bDefault) {
    m_bDefaultItem = bDefault;
    DelayLayoutParent();
  }
}

void CTKControl::SetHiddenByUsage(BOOL bHidden)
{
  m_bHiddenByUsage = bHidden;
  if (!bHidden)
    SetHideFlag(TK_HIDEUSAGE, FALSE);
}

CTKPaintManager* CTKControl::GetPaintManager() const
{
  if (m_pParent)
    return m_pParent->GetPaintManager();
  if (m_pControls && m_pControls->GetCommandBars())
    return m_pControls->GetCommandBars()->GetPaintManager();
  return CTKPaintManager::GetCurrent();
}

CTKImageManager* CTKControl::GetImageManager() const
{
  if (m_pParent)
    return m_pParent->GetImageManager();
  if (m_pControls && m_pControls->GetCommandBars())
    return m_pControls->GetCommandBars()->GetImageManager();
  return &TKImageManager();
}

BOOL CTKControl::IsCustomizeMode() const { return m_pParent && m_pParent->IsCustomizeMode(); }

void CTKControl::DelayLayoutParent()
{
  if (m_pParent)
    m_pParent->DelayLayout();
}

void CTKControl::RedrawParent()
{
  if (m_pParent && m_pParent->GetSafeHwnd())
    m_pParent->DelayRedraw();
}

void CTKControl::InvalidateParent()
{
  if (m_pParent && m_pParent->GetSafeHwnd())
    m_pParent->InvalidateRect(nullptr, FALSE);
}

LRESULT CTKControl::NotifySite(UINT nCode)
{
  if (!m_pParent)
    return 0;
  CWnd* pSite = m_pParent->GetRootBar()->GetNotifySite();
  if (!pSite || !pSite->GetSafeHwnd())
    return 0;
  TK_NMCONTROL record{};
  record.hdr.hwndFrom = nullptr;
  record.hdr.idFrom = static_cast<UINT_PTR>(m_nId);
  record.hdr.code = nCode;
  record.pControl = this;
  return pSite->SendMessage(TKWM_CONTROLNOTIFY, static_cast<WPARAM>(m_nId), reinterpret_cast<LPARAM>(&record));
}

CString CTKControl::GetTooltip(LPPOINT /*pPoint*/, LPRECT /*lpRectTip*/, int* /*nHit*/) const { return m_strTooltipText; }

void CTKControl::SetBeginGroup(BOOL bBeginGroup)
{
  m_bBeginGroup = bBeginGroup;
  DelayLayoutParent();
}

void CTKControl::SetEnabled(BOOL bEnabled)
{
  if (m_bEnabled != bEnabled) {
    m_bEnabled = bEnabled;
    RedrawParent();
  }
}

BOOL CTKControl::IsCaptionVisible() const
{
  if (m_pParent && m_pParent->GetType() == tkBarTypePopup)
    return TRUE;
  if (GetCaption().IsEmpty())
    return FALSE;
  switch (GetStyle()) {
  case 1:
  case 3:
    return TRUE;
  case 2:
    return FALSE;
  default:
    break;
  }
  switch (m_controlType) {
  case tkControlButton:
  case tkControlButtonPopup:
  case tkControlSplitButtonPopup:
    return GetImage(0) == nullptr;
  case tkControlPopup:
  case tkControlLabel:
    return TRUE;
  default:
    return FALSE;
  }
}

BOOL CTKControl::Compare(CTKControl* pOther)
{
  if (!pOther)
    return FALSE;
  return GetStyle() == pOther->GetStyle() && m_controlType == pOther->m_controlType && m_nId == pOther->m_nId &&
         m_dwFlags == pOther->m_dwFlags && m_bBeginGroup == pOther->m_bBeginGroup &&
         GetIconId() == pOther->GetIconId() && m_strCaption == pOther->m_strCaption &&
         m_strTooltipText == pOther->m_strTooltipText && m_strDescriptionText == pOther->m_strDescriptionText &&
         m_strCustomCaption == pOther->m_strCustomCaption && m_nCustomStyle == pOther->m_nCustomStyle &&
         m_strParameter == pOther->m_strParameter &&
         (m_dwHideFlags & TK_HIDECUSTOMIZE) == (pOther->m_dwHideFlags & TK_HIDECUSTOMIZE);
}

namespace {

// Ends the tracking of the bars an executed control belongs to.
void EndTracking(CTKCommandBar* pRoot, CTKCommandBars* pCommandBars)
{
  if (pRoot->m_bRecursePopup || !pCommandBars)
    pRoot->SetTrackingMode(0, TRUE, FALSE);
  else
    pCommandBars->ClosePopups();
}

}  // namespace

void CTKControl::OnExecute()
{
  TKSoundManager().PlaySystemSound(CTKSoundManager::stateMenuCommand);
  m_bPressed = 2;
  if (!m_pParent)
    return;
  CTKCommandBar* pRoot = m_pParent->GetRootBar();
  CWnd* pSite = pRoot->GetNotifySite();
  CTKCommandBars* pCommandBars = m_pParent->GetCommandBars();
  // The control and its bar may go while the site handles the command: keep this object until the end.
  InternalAddRef();
  if (pRoot->m_pReturnCmd) {
    int* pReturnCmd = pRoot->m_pReturnCmd;
    EndTracking(pRoot, pCommandBars);
    *pReturnCmd = m_nId;
    InternalRelease();
    return;
  }
  if (pCommandBars) {
    if (m_nId != 0)
      pCommandBars->SetCommandUsed(static_cast<UINT>(m_nId));
  }
  BOOL bClose = m_bCloseSubMenuOnClick;
  if (bClose)
    EndTracking(pRoot, pCommandBars);
  if (m_nId != 0 && pSite && pSite->GetSafeHwnd()) {
    TK_NMCONTROL record{};
    record.hdr.idFrom = static_cast<UINT_PTR>(m_nId);
    record.hdr.code = TKN_EXECUTE;
    record.pControl = this;
    HWND hSite = pSite->GetSafeHwnd();
    if (::SendMessage(hSite, TKWM_CONTROLNOTIFY, static_cast<WPARAM>(m_nId), reinterpret_cast<LPARAM>(&record)) == 0)
      ::SendMessage(hSite, WM_COMMAND, static_cast<WPARAM>(m_nId), 0);
  }
  if (!bClose && m_pParent) {
    m_pParent->OnUpdateCmdUI(nullptr, TRUE);
    InvalidateParent();
  }
  InternalRelease();
}

CSize CTKControl::GetSize(CDC* pDC) { return GetPaintManager()->DrawControl(pDC, this, FALSE); }

void CTKControl::Draw(CDC* pDC) { GetPaintManager()->DrawControl(pDC, this, TRUE); }

CTKImageManagerIcon* CTKControl::GetImage(int nWidth) const
{
  int nIconId = GetIconId();
  if (nIconId <= 0)
    return nullptr;
  return GetImageManager()->GetImage(static_cast<UINT>(nIconId), nWidth);
}

void CTKControl::Copy(CTKControl* pControl, BOOL /*bRecursive*/)
{
  m_nId = pControl->m_nId;
  m_nTag = pControl->m_nTag;
  m_dwFlags = pControl->m_dwFlags;
  m_controlType = pControl->m_controlType;
  m_strCaption = pControl->m_strCaption;
  m_strShortcutText = pControl->m_strShortcutText;
  m_strShortcutTextAuto = pControl->m_strShortcutTextAuto;
  m_strTooltipText = pControl->m_strTooltipText;
  m_strDescriptionText = pControl->m_strDescriptionText;
  m_strParameter = pControl->m_strParameter;
  m_nCustomIconId = pControl->m_nCustomIconId;
  m_nIconId = pControl->m_nIconId;
  m_bTemporary = pControl->m_bTemporary;
  m_strCustomCaption = pControl->m_strCustomCaption;
  m_strCategory = pControl->m_strCategory;
  m_dwHideFlags = pControl->m_dwHideFlags;
  m_bDefaultItem = pControl->m_bDefaultItem;
  m_bEnabled = pControl->m_bEnabled;
  m_bChecked = pControl->m_bChecked;
  m_nCustomStyle = pControl->m_nCustomStyle;
  m_nStyle = pControl->m_nStyle;
  m_bBeginGroup = pControl->m_bBeginGroup;
  m_bCloseSubMenuOnClick = pControl->m_bCloseSubMenuOnClick;
  m_mapDocTemplatesAssigned = pControl->m_mapDocTemplatesAssigned;
  m_mapDocTemplatesExcluded = pControl->m_mapDocTemplatesExcluded;
}

BOOL CTKControl::OnLButtonDblClk(CPoint point)
{
  OnClick(FALSE, point);
  return TRUE;
}

void CTKControl::OnMouseHover()
{
  if (!m_pParent)
    return;
  BOOL bClosed = m_pParent->SetPopuped(-1, FALSE);
  if (bClosed && m_pParent->GetTrackingMode() == 2 && m_pParent->GetPosition() != tkBarPopup)
    m_pParent->SetTrackingMode(0, TRUE, FALSE);
}

void CTKControl::OnCustomizeDragOver(CTKControl* /*pDataObject*/, CPoint /*point*/)
{
  if (!m_pParent)
    return;
  m_pParent->SetPopuped(-1, FALSE);
  m_pParent->SetSelected(-1, FALSE);
}

namespace {

constexpr UINT kResizeCursor = 9972;

// 0: no edge; -1 the left edge (x < left + 3), 1 the right one (right - x <= 2).
int ResizeEdge(const CRect& rc, CPoint point)
{
  if (!rc.PtInRect(point))
    return 0;
  if (point.x < rc.left + 3)
    return -1;
  return rc.right - point.x <= 2 ? 1 : 0;
}

// The tracking frame: the rectangle's four 2-pixel edges inverted.
void InvertFrame(HDC hDC, const CRect& rc)
{
  const RECT edges[] = {{rc.left, rc.top, rc.right, rc.top + 2},
                        {rc.left, rc.bottom - 2, rc.right, rc.bottom},
                        {rc.left, rc.top + 2, rc.left + 2, rc.bottom - 2},
                        {rc.right - 2, rc.top + 2, rc.right, rc.bottom - 2}};
  for (const RECT& edge : edges)
    ::InvertRect(hDC, &edge);
}

}  // namespace

BOOL CTKControl::OnCustomizeSetCursor(CPoint point)
{
  if (!IsCustomizeResizeAllow() || ResizeEdge(m_rcControl, point) == 0)
    return FALSE;
  HCURSOR hCursor = TKResourceManager()->LoadCursor(kResizeCursor);
  if (!hCursor)
    return FALSE;
  ::SetCursor(hCursor);
  return TRUE;
}

BOOL CTKControl::CustomizeStartResize(CPoint point)
{
  const int nEdge = ResizeEdge(m_rcControl, point);
  CTKCommandBar* pBar = m_pParent;
  CTKCommandBars* pCommandBars = pBar ? pBar->GetCommandBars() : nullptr;
  if (nEdge == 0 || !pCommandBars || !pBar->GetSafeHwnd())
    return FALSE;
  HWND hBar = pBar->GetSafeHwnd();
  InternalAddRef();
  pCommandBars->SetDragControl(nullptr);
  pBar->Invalidate(FALSE);
  pBar->UpdateWindow();
  CRect rcStart = m_rcControl;
  pBar->ClientToScreen(&rcStart);
  ::SetCapture(hBar);
  if (HCURSOR hCursor = TKResourceManager()->LoadCursor(kResizeCursor))
    ::SetCursor(hCursor);
  HWND hDesktop = ::GetDesktopWindow();
  const BOOL bLocked = ::LockWindowUpdate(hDesktop);
  HDC hDC = ::GetDCEx(hDesktop, nullptr, bLocked ? 0x403 : 0x3);
  CRect rcTrack = rcStart;
  InvertFrame(hDC, rcTrack);
  CPoint ptScreen = point;
  pBar->ClientToScreen(&ptScreen);
  // The edge keeps its distance from the pointer.
  const int nOffset = (nEdge < 0 ? rcStart.left : rcStart.right) - ptScreen.x;
  const int nMinWidth = GetCustomizeMinWidth();
  BOOL bAccept = FALSE;
  while (::GetCapture() == hBar) {
    MSG msg;
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      CRect rcNew = rcTrack;
      const int x = msg.pt.x + nOffset;
      if (nEdge < 0)
        rcNew.left = std::min(x, static_cast<int>(rcNew.right) - nMinWidth);
      else
        rcNew.right = std::max(x, static_cast<int>(rcNew.left) + nMinWidth);
      if (rcNew != rcTrack) {
        InvertFrame(hDC, rcTrack);
        rcTrack = rcNew;
        InvertFrame(hDC, rcTrack);
      }
    } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      break;
    } else if (msg.message == WM_LBUTTONUP) {
      bAccept = TRUE;
      break;
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
  InvertFrame(hDC, rcTrack);
  if (::GetCapture() == hBar)
    ::ReleaseCapture();
  ::LockWindowUpdate(nullptr);
  ::ReleaseDC(hDesktop, hDC);
  // The bar may have gone while the loop dispatched its messages.
  if (::IsWindow(hBar) && m_pParent == pBar) {
    pCommandBars->SetDragControl(this);
    if (bAccept && rcTrack.Width() != rcStart.Width()) {
      // A field stores the width of its box, without its label: the box takes the change.
      auto* pField = dynamic_cast<CTKControlField*>(this);
      SetWidth(pField ? pField->GetFieldWidth() + rcTrack.Width() - rcStart.Width() : rcTrack.Width());
      pBar->OnRecalcLayout();
    }
    pBar->RedrawNow();
  }
  InternalRelease();
  return TRUE;
}

void CTKControl::OnCustomizeMouseDown(CPoint point)
{
  CTKCommandBars* pCommandBars = m_pParent ? m_pParent->GetCommandBars() : nullptr;
  if (!pCommandBars)
    return;
  if (pCommandBars->GetDragControl() == this && IsCustomizeResizeAllow() && CustomizeStartResize(point))
    return;
  pCommandBars->SetDragControl(this);
  InternalAddRef();
  CustomizeStartDrag();
  pCommandBars->SetDragControl(pCommandBars->GetDragControl());
  InternalRelease();
}

int CTKControl::CustomizeStartDrag()
{
  CTKCommandBars* pCommandBars = m_pParent ? m_pParent->GetCommandBars() : nullptr;
  if (!pCommandBars)
    return tkDropCancel;
  CTKCommandBar* pBar = m_pParent;
  InternalAddRef();
  int nResult = pCommandBars->GetDropSource()->DoDragDrop(this, FALSE);
  if ((nResult == tkDropOutside || nResult == tkDropMove) && m_pControls) {
    if (pCommandBars->GetDragControl() == this)
      pCommandBars->SetDragControl(nullptr);
    m_pControls->Remove(this);
    pBar->OnRecalcLayout();
  }
  InternalRelease();
  return nResult;
}

BOOL CTKControl::OnSetSelected(int bSelected)
{
  if (m_nSelected == bSelected)
    return FALSE;
  if (bSelected == 2 && m_pParent)
    m_pParent->SetPopuped(-1, FALSE);
  m_nSelected = bSelected;
  if (m_pParent)
    m_pParent->OnControlSelected(bSelected, this);
  RedrawParent();
  return TRUE;
}

BOOL CTKControl::TrackButtonPress(CRect rcButton)
{
  if (!m_pParent || !m_pParent->GetSafeHwnd())
    return FALSE;
  if (rcButton.IsRectEmpty())
    rcButton = m_rcControl;
  CTKCommandBar* pBar = m_pParent;
  HWND hBar = pBar->GetSafeHwnd();
  pBar->SetSelected(m_nIndex, FALSE);
  m_bPressed = 1;
  pBar->InvalidateRect(nullptr, FALSE);
  ::SetCapture(hBar);
  BOOL bClick = FALSE;
  BOOL bMoved = FALSE;
  CPoint ptLast(0, 0);
  // Keep this control alive through the loop: a dispatched message may remove it from its bar.
  InternalAddRef();
  MSG msg;
  while (::GetMessage(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_LBUTTONUP) {
      bClick = GetSelected() && (!bMoved || rcButton.PtInRect(ptLast));
      break;
    }
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == hBar) {
      ptLast = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      bMoved = TRUE;
      if (OnSetSelected(rcButton.PtInRect(ptLast) ? 1 : 0))
        pBar->InvalidateRect(nullptr, FALSE);
      continue;
    }
    ::DispatchMessage(&msg);
    if (::GetCapture() != hBar)
      break;
  }
  if (::GetCapture() == hBar)
    ::ReleaseCapture();
  if (m_pParent == pBar && ::IsWindow(hBar)) {
    if (GetSelected()) {
      pBar->SetSelected(-1, FALSE);
      m_nSelected = 0;
      pBar->m_nLastPressed = m_nIndex;
    }
    m_bPressed = 0;
    RedrawParent();
    if (bClick)
      OnExecute();
  } else {
    bClick = FALSE;
  }
  InternalRelease();
  return bClick;
}

CTKControl* CTKControl::FromCmdUI(CCmdUI* pCmdUI)
{
  auto* pBar = pCmdUI ? dynamic_cast<CTKCommandBar*>(pCmdUI->m_pOther) : nullptr;
  return pBar ? pBar->GetControl(static_cast<int>(pCmdUI->m_nIndex)) : nullptr;
}

BOOL CTKControl::IsCursorOver() const
{
  if (!m_pParent || !m_pParent->GetSafeHwnd())
    return FALSE;
  CPoint pt;
  ::GetCursorPos(&pt);
  m_pParent->ScreenToClient(&pt);
  return m_rcControl.PtInRect(pt);
}

CTKControl* CTKControl::Clone(BOOL bRecursive)
{
  CTKControl* pClone = static_cast<CTKControl*>(GetRuntimeClass()->CreateObject());
  pClone->Copy(this, bRecursive);
  return pClone;
}

CTKControlLabel::CTKControlLabel()
{
  m_controlType = tkControlLabel;
  m_dwFlags = TK_FLAG_SKIPFOCUS | TK_FLAG_NOMOVABLE;
}

CTKControl* CTKControlLabel::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }
