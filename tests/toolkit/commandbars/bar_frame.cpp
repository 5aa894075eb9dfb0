#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/mfc-core/resources.h"
#include "toolkit/commandbars/shadows.h"
#include "toolkit/paint/paint_manager.h"

namespace res {
const platform::ResourceModuleData& Commandbars_testModule();
}

namespace cbtest {

IMPLEMENT_DYNCREATE(CTestBar, CTKCommandBar)
IMPLEMENT_DYNCREATE(CTestPopupBar, CTKCommandBar)

void Pump()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
    ::DispatchMessage(&msg);
}

void UseTestResources()
{
  static HINSTANCE module = platform::RegisterResourceModule(res::Commandbars_testModule());
  AfxSetResourceHandle(module);
}

BOOL CTestBar::Make(CWnd* pParent, int nType, int nPosition, CRect rc)
{
  m_barType = nType;
  m_barPosition = nPosition;
  if (!CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "", WS_CHILD | WS_VISIBLE, rc.left, rc.top, rc.Width(), rc.Height(),
                pParent->GetSafeHwnd(), nullptr))
    return FALSE;
  OnRecalcLayout();
  return TRUE;
}

void CTestBar::OnRecalcLayout()
{
  if (!GetSafeHwnd())
    return;
  CRect rc;
  GetClientRect(&rc);
  CClientDC dc(this);
  BOOL bVert = IsVerticalPosition(m_barPosition);
  DWORD dwMode = LM_COMMIT | (bVert ? LM_VERTDOCK : LM_HORZDOCK);
  CRect rcBorders = GetPaintManager()->GetCommandBarBorders(this);
  if (m_dwStyle & CBRS_GRIPPER) {
    CSize szGripper = GetPaintManager()->DrawCommandBarGripper(&dc, this, FALSE);
    rcBorders.left += szGripper.cx;
    rcBorders.top += szGripper.cy;
  }
  m_pControls->CalcDynamicSize(&dc, bVert ? rc.Height() : rc.Width(), dwMode, rcBorders, 0);
  m_nDelayFlags &= ~1;
  InvalidateRect(nullptr, FALSE);
}

CTestPopupBar::CTestPopupBar()
{
  m_barType = tkBarTypePopup;
  m_barPosition = tkBarPopup;
}

void CTestPopupBar::OnRecalcLayout()
{
  if (!GetSafeHwnd())
    return;
  CClientDC dc(this);
  CRect rcBorders = GetPaintManager()->GetCommandBarBorders(this);
  // Every control on a row of its own, as wide as the widest.
  CSize size = m_pControls->CalcDynamicSize(&dc, 0, LM_COMMIT | LM_HORZDOCK, rcBorders, 0);
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pControl = GetControl(i);
    CRect rc = pControl->GetRect();
    rc.left = rcBorders.left;
    rc.right = size.cx - rcBorders.right;
    pControl->SetRect(rc);
  }
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_nDelayFlags &= ~1;
}

BOOL CTestPopupBar::Popup(CTKControlPopup* pControlPopup, BOOL bSelectFirst)
{
  m_pControlPopup = pControlPopup;
  CTKCommandBar* pParent = pControlPopup->GetParent();
  if (!pParent || !pParent->GetSafeHwnd())
    return FALSE;
  if (!GetSafeHwnd() &&
      !CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr))
    return FALSE;
  SetCommandBars(nullptr);
  OnRecalcLayout();
  CRect rcControl = pControlPopup->GetRect();
  pParent->ClientToScreen(&rcControl);
  CPoint pt = pParent->GetType() == tkBarTypePopup ? CPoint(rcControl.right, rcControl.top)
                                                   : CPoint(rcControl.left, rcControl.bottom);
  // Menus stand above everything open before them, the shadows of other menus included.
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  TKShadowsManager().RemoveShadow(this);
  TKShadowsManager().SetShadow(this, rcControl);
  SetTrackingMode(1, bSelectFirst, bSelectFirst);
  return TRUE;
}

BOOL CTestPopupBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
  BOOL bChanged = CTKCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
  if (bChanged && !bMode) {
    TKShadowsManager().RemoveShadow(this);
    if (GetSafeHwnd())
      ShowWindow(SW_HIDE);
    if (m_pControlPopup) {
      CTKCommandBar* pParent = m_pControlPopup->GetParent();
      if (pParent && pParent->GetPopuped() == m_pControlPopup->GetIndex())
        pParent->SetPopuped(-1, FALSE);
    }
  }
  return bChanged;
}

CTestFrame::CTestFrame() = default;

CTestFrame::~CTestFrame()
{
  if (m_pCommandBars) {
    m_pCommandBars->InternalRelease();
    m_pCommandBars = nullptr;
  }
  if (GetSafeHwnd())
    DestroyWindow();
}

BOOL CTestFrame::Make(int cx, int cy)
{
  UseTestResources();
  if (!Create(nullptr, "Тесмира", WS_OVERLAPPEDWINDOW, CRect(0, 0, cx, cy)))
    return FALSE;
  return InitCommandBars();
}

CTestBar* CTestFrame::AddBar(int nType, CRect rc, UINT nMenuId)
{
  auto* pBar = new CTestBar;
  pBar->SetCommandBars(m_pCommandBars);
  if (!pBar->Make(this, nType, tkBarTop, rc)) {
    pBar->InternalRelease();
    return nullptr;
  }
  if (nMenuId) {
    CMenu menu;
    menu.Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nMenuId)));
    pBar->LoadMenu(&menu, TRUE);
    menu.DestroyMenu();
  }
  m_pCommandBars->AddBar(pBar);
  pBar->OnRecalcLayout();
  return pBar;
}

BOOL CTestFrame::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == TKWM_CONTROLNOTIFY) {
    auto* pRecord = reinterpret_cast<TK_NMCONTROL*>(lParam);
    m_log.push_back("10338 id " + std::to_string(wParam) + " code " + std::to_string(pRecord->hdr.code));
    if (pResult)
      *pResult = m_notifyAnswer;
    return TRUE;
  }
  if (m_logSelection && message == TKWM_CONTROLSELECTED) {
    m_log.push_back(wParam ? "10326 selected" : "10326 deselected");
    return TRUE;
  }
  if (m_logSelection && message == WM_SETMESSAGESTRING) {
    m_log.push_back(std::string("message ") + reinterpret_cast<LPCSTR>(lParam));
    return TRUE;
  }
  if (m_logSelection && message == WM_POPMESSAGESTRING) {
    m_log.push_back(wParam == AFX_IDS_IDLEMESSAGE ? "idle message" : "other message");
    return TRUE;
  }
  if (message == WM_COMMAND) {
    m_log.push_back("WM_COMMAND " + std::to_string(LOWORD(wParam)));
    if (pResult)
      *pResult = 0;
    return TRUE;
  }
  if (message == WM_PAINT) {
    // The client area stands for the view.
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    CRect rc;
    GetClientRect(&rc);
    CDC::FromHandle(hDC)->FillSolidRect(rc, RGB(250, 250, 246));
    ::EndPaint(m_hWnd, &ps);
    if (pResult)
      *pResult = 0;
    return TRUE;
  }
  if (message == TKWM_CREATECONTROL && m_replaceId != 0) {
    auto* pCreate = reinterpret_cast<TK_CREATECONTROLSTRUCT*>(lParam);
    if (pCreate->nId == m_replaceId) {
      pCreate->controlType = m_replaceType;
      if (pResult)
        *pResult = 1;
      return TRUE;
    }
  }
  if (message == TKWM_CREATECOMMANDBAR) {
    auto* pCreate = reinterpret_cast<TK_CREATEBARSTRUCT*>(lParam);
    if (pCreate->bPopup || pCreate->bExpandBar) {
      pCreate->pCommandBar = new CTestPopupBar;
      if (pResult)
        *pResult = 1;
      return TRUE;
    }
  }
  return CTKFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
}

}  // namespace cbtest
