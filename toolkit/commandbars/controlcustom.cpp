#include "toolkit/commandbars/controlcustom.h"

#include "toolkit/commandbars/barsexchange.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/prop_exchange.h"

#include <algorithm>

IMPLEMENT_SERIAL(CTKControlCustom, CTKControlButton, TK_BAR_CLASS_SCHEMA)

CTKControlCustom::CTKControlCustom()
{
  m_controlType = tkControlCustom;
  m_dwFlags |= TK_FLAG_NOMOVABLE;
}

CTKControlCustom::~CTKControlCustom() { TKHookManager().RemoveAll(static_cast<CTKHookManagerHookAble*>(this)); }

HWND CTKControlCustom::FindControlWindow(CTKCommandBars* pCommandBars, int nId)
{
  if (!pCommandBars || nId == 0)
    return nullptr;
  if (CWnd* pSite = pCommandBars->GetSite())
    if (pSite->GetSafeHwnd())
      if (HWND hWnd = ::GetDlgItem(pSite->GetSafeHwnd(), nId))
        return hWnd;
  for (int i = 0; i < pCommandBars->GetCount(); ++i) {
    CTKCommandBar* pBar = pCommandBars->GetAt(i);
    if (pBar && pBar->GetSafeHwnd())
      if (HWND hWnd = ::GetDlgItem(pBar->GetSafeHwnd(), nId))
        return hWnd;
  }
  return nullptr;
}

void CTKControlCustom::AttachByControlID(CTKCommandBars* pCommandBars)
{
  if (m_nControlID != 0)
    m_hwndControl = FindControlWindow(pCommandBars, m_nControlID);
}

BOOL CTKControlCustom::IsWindowVisibleNow() const
{
  return m_hwndControl && ::IsWindow(m_hwndControl) && ::IsWindowVisible(m_hwndControl);
}

void CTKControlCustom::ApplyVisibility()
{
  if (!m_hwndControl || !::IsWindow(m_hwndControl))
    return;
  UINT nFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  nFlags |= (!m_bControlVisible || m_dwHideFlags != 0) ? SWP_HIDEWINDOW : SWP_SHOWWINDOW;
  ::SetWindowPos(m_hwndControl, nullptr, 0, 0, 0, 0, nFlags);
}

void CTKControlCustom::SetEnabled(BOOL bEnabled)
{
  if (m_bEnabled == bEnabled)
    return;
  m_bEnabled = bEnabled;
  if (m_hwndControl && ::IsWindow(m_hwndControl))
    ::EnableWindow(m_hwndControl, bEnabled);
  RedrawParent();
}

void CTKControlCustom::SetHideFlags(DWORD dwFlags)
{
  if (m_dwHideFlags == dwFlags)
    return;
  m_dwHideFlags = dwFlags;
  ApplyVisibility();
  DelayLayoutParent();
}

void CTKControlCustom::OnCalcDynamicSize(DWORD dwMode)
{
  BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
  if (m_verticalOptions == tkVerticalHide) {
    SetHideFlag(TK_HIDEDOCKINGPOSITION, bVert);
  } else if (m_verticalOptions == tkVerticalButton) {
    m_bControlVisible = !bVert;
    ApplyVisibility();
  }
}

CSize CTKControlCustom::GetSize(CDC* pDC)
{
  if (m_hwndControl && m_bControlVisible)
    return CSize(m_szControl.cx + m_rcBorders.left + m_rcBorders.right,
                 m_szControl.cy + m_rcBorders.top + m_rcBorders.bottom);
  return CTKControlButton::GetSize(pDC);
}

void CTKControlCustom::SetRect(CRect rcControl)
{
  HWND hwndBar = m_pParent ? m_pParent->GetSafeHwnd() : nullptr;
  BOOL bWindowPlaced = !m_hwndControl || (hwndBar && ::GetParent(m_hwndControl) == hwndBar);
  if (m_rcControl == rcControl && bWindowPlaced)
    return;
  m_rcControl = rcControl;
  if (!m_hwndControl || !::IsWindow(m_hwndControl))
    return;
  if (hwndBar) {
    ::SetParent(m_hwndControl, hwndBar);
    LONG_PTR style = ::GetWindowLongPtr(m_hwndControl, GWL_STYLE);
    ::SetWindowLongPtr(m_hwndControl, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    // Hot tracking goes on while the pointer is over the window.
    TKHookManager().SetHook(m_hwndControl, this);
  }
  int nLeft = rcControl.left + m_rcBorders.left;
  int nTop = rcControl.top + m_rcBorders.top;
  ::MoveWindow(m_hwndControl, nLeft, nTop, (rcControl.right - m_rcBorders.right) - nLeft,
               (rcControl.bottom - m_rcBorders.bottom) - nTop, TRUE);
  ApplyVisibility();
}

void CTKControlCustom::Draw(CDC* pDC)
{
  if (!IsWindowVisibleNow())
    CTKControlButton::Draw(pDC);
}

void CTKControlCustom::OnClick(BOOL bKeyboard, CPoint pt)
{
  if (!IsWindowVisibleNow() || IsCustomizeMode())
    CTKControlButton::OnClick(bKeyboard, pt);
}

void CTKControlCustom::Copy(CTKControl* pControl, BOOL bRecursive)
{
  if (auto* pCustom = dynamic_cast<CTKControlCustom*>(pControl)) {
    m_rcBorders = pCustom->m_rcBorders;
    m_verticalOptions = pCustom->m_verticalOptions;
    m_szControl = pCustom->m_szControl;
    m_hwndControl = pCustom->m_hwndControl;
    m_nControlID = pCustom->m_nControlID;
  }
  CTKControlButton::Copy(pControl, bRecursive);
}

void CTKControlCustom::DoPropExchange(CTKPropExchange* pPX)
{
  CTKControlButton::DoPropExchange(pPX);
  PX_Rect(pPX, "Borders", m_rcBorders, CRect(0, 0, 0, 0));
  PX_Size(pPX, "ControlSize", m_szControl, CSize(0, 0));
  PX_Int(pPX, "VerticalOptions", m_verticalOptions, tkVerticalHide);
  if (pPX->m_nSchema > 5)
    PX_Int(pPX, "ControlId", m_nControlID, 0);
  if (!pPX->IsLoading())
    return;
  // Stored sizes are untrusted: none negative, none past what a bar can show, so their sums stay in range.
  constexpr int kLargest = 32767;
  for (LONG* pValue : {&m_rcBorders.left, &m_rcBorders.top, &m_rcBorders.right, &m_rcBorders.bottom, &m_szControl.cx,
                       &m_szControl.cy})
    *pValue = std::clamp<LONG>(*pValue, 0, kLargest);
  if (TK_BARSTATE_CONTEXT* pContext = TKBarStateContext(pPX->m_pOwner))
    AttachByControlID(pContext->pCommandBars);
}

CTKControl* CTKControlCustom::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

int CTKControlCustom::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& /*wParam*/, LPARAM& lParam, LRESULT& /*lResult*/)
{
  if (nMessage == WM_MOUSEMOVE && m_pParent && m_pParent->GetSafeHwnd()) {
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::MapWindowPoints(hWnd, m_pParent->GetSafeHwnd(), &pt, 1);
    m_pParent->OnTrackedMouseMove(pt);
  }
  return 0;
}
