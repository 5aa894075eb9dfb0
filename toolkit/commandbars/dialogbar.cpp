#include "toolkit/commandbars/dialogbar.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/paint_manager.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CTKDialogBar, CTKToolBar)

namespace {

constexpr int kHideButtonId = 9401;
constexpr DWORD kTitleFlags = 0x1e;
constexpr DWORD kHideFlags = 0x1a;
constexpr int kCaptionControl = 16;
constexpr int kEdgeInset = 3;

}  // namespace

// ---- Caption controls

CTKDialogBar::CTKControlCaptionPopup::CTKControlCaptionPopup()
{
  m_controlType = tkControlPopup;
  m_dwFlags = kTitleFlags;
}

BOOL CTKDialogBar::CTKControlCaptionPopup::HasPopup() const
{
  auto* pBar = dynamic_cast<CTKDialogBar*>(m_pParent);
  return pBar && pBar->m_bCaptionPopup && m_pCommandBar && m_pCommandBar->GetControlCount() > 0;
}

void CTKDialogBar::CTKControlCaptionPopup::Draw(CDC* pDC)
{
  CTKPaintManager* pPaintManager = GetPaintManager();
  CFont* pOldFont = pDC->SelectObject(pPaintManager->GetRegularFont());
  pDC->SetBkMode(TRANSPARENT);
  BOOL bPopup = HasPopup();
  if (bPopup)
    pPaintManager->DrawControlEntry(pDC, this);
  else
    pDC->SetTextColor(pPaintManager->GetColor(18));
  CRect rcText(m_rcControl.left + 2, m_rcControl.top, m_rcControl.right - (bPopup ? 15 : 2), m_rcControl.bottom);
  CString strCaption = GetCaption();
  pDC->DrawText(strCaption, rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (bPopup) {
    int cy = m_rcControl.CenterPoint().y;
    pPaintManager->Triangle(pDC, CPoint(m_rcControl.right - 13, cy - 2), CPoint(m_rcControl.right - 5, cy - 2),
                            CPoint(m_rcControl.right - 9, cy + 2), pDC->GetTextColor());
  }
  pDC->SelectObject(pOldFont);
}

BOOL CTKDialogBar::CTKControlCaptionPopup::SetPopuped(BOOL bPopup)
{
  if (bPopup && !HasPopup())
    return FALSE;
  return CTKControlPopup::SetPopuped(bPopup);
}

CTKDialogBar::CTKControlButtonHide::CTKControlButtonHide() { m_dwFlags = kHideFlags; }

void CTKDialogBar::CTKCaptionPopupBar::UpdateExpandingDirection()
{
  if (!m_pControlPopup)
    return;
  m_popupFlags = TK_POPUP_LEFT | TK_POPUP_DOWN;
  CRect rc = m_pControlPopup->GetRect();
  CTKCommandBar* pParent = m_pControlPopup->GetParent();
  if (pParent && pParent->GetSafeHwnd())
    pParent->ClientToScreen(&rc);
  m_rcExclude = rc;
  m_ptPopup = CPoint(rc.left, rc.bottom);
}

// ---- The bar

CTKDialogBar::CTKDialogBar()
{
  m_bCustomizable = FALSE;
  m_bShowExpandButton = FALSE;
  m_pPopupBar = new CTKCaptionPopupBar;
}

CTKDialogBar::~CTKDialogBar()
{
  if (m_pPopupBar)
    m_pPopupBar->InternalRelease();
}

int CTKDialogBar::GetCaptionHeight()
{
  return GetPaintManager()->DrawCommandBarGripper(nullptr, this, FALSE).cy;
}

void CTKDialogBar::SetClientSizes(CSize szDocking, CSize szFloating)
{
  // A stored size is hostile input: beyond the screen it would make a window no one can use.
  const auto fit = [](CSize szStored, CSize& szBar) {
    if (szStored.cx > 0 && szStored.cx <= 32000)
      szBar.cx = szStored.cx;
    if (szStored.cy > 0 && szStored.cy <= 32000)
      szBar.cy = szStored.cy;
  };
  fit(szDocking, m_szDockingClient);
  fit(szFloating, m_szFloatingClient);
}

CRect CTKDialogBar::GetBorders() const
{
  CRect rc = m_rcBorders;
  if (m_bCaptionVisible)
    rc.top += const_cast<CTKDialogBar*>(this)->GetCaptionHeight();
  return rc;
}

CSize CTKDialogBar::CalcSize(int nLength, DWORD dwMode, CSize szInner)
{
  CSize size(szInner.cx + m_rcBorders.left + m_rcBorders.right, szInner.cy + m_rcBorders.top + m_rcBorders.bottom);
  if (!m_bCaptionVisible)
    return size;
  int nCaption = GetCaptionHeight();
  m_nCaptionBottom = m_rcBorders.top + nCaption;
  size.cy += nCaption;
  if (dwMode & LM_STRETCH) {
    if (dwMode & LM_VERTDOCK)
      size.cy = std::max(size.cy, static_cast<LONG>(nLength));
    else
      size.cx = std::max(size.cx, static_cast<LONG>(nLength));
  }
  if (dwMode & LM_HORZ)
    size.cx = std::min(size.cx, static_cast<LONG>(nLength));
  else
    size.cy = std::min(size.cy, static_cast<LONG>(nLength));

  int nTop = m_rcBorders.top + nCaption / 2 - kCaptionControl / 2;
  int nRight = size.cx - m_rcBorders.right;
  if (m_bCloseable) {
    if (!m_pHide)
      m_pHide = static_cast<CTKControlButtonHide*>(
          m_pControls->InsertAt(new CTKControlButtonHide, kHideButtonId, CString(), -1, TRUE));
    m_pHide->SetHideFlags(0);
    m_pHide->SetRect(CRect(nRight - kCaptionControl, nTop, nRight, nTop + kCaptionControl));
    nRight -= kCaptionControl;
  } else if (m_pHide) {
    m_pHide->SetHideFlags(TK_HIDEGENERIC);
  }
  if (!m_pTitle) {
    m_pTitle = static_cast<CTKControlCaptionPopup*>(
        m_pControls->InsertAt(new CTKControlCaptionPopup, TK_ID_DIALOGBAR_TITLE, CString(), 0, TRUE));
    m_pTitle->SetCommandBar(m_pPopupBar);
    m_pPopupBar->SetCommandBars(GetCommandBars());
  }
  int nGripper = 0;
  if (m_dwStyle & CBRS_GRIPPER) {
    CClientDC dc(GetSafeHwnd() ? this : nullptr);
    nGripper = GetPaintManager()->DrawCommandBarGripper(&dc, this, FALSE).cx;
  }
  m_pTitle->SetRect(CRect(m_rcBorders.left + nGripper, nTop, nRight, nTop + kCaptionControl));
  m_pTitle->SetCaption(m_strCaption.IsEmpty() ? m_strTitle : m_strCaption);
  return size;
}

CSize CTKDialogBar::CalcLayout(int nLength, DWORD dwMode, int /*nWidth*/)
{
  return CalcSize(nLength, dwMode, m_szDockingClient);
}

CSize CTKDialogBar::CalcDynamicLayout(int /*nLength*/, DWORD dwMode)
{
  return CalcSize(32000, dwMode, m_szFloatingClient);
}

void CTKDialogBar::Resize(CRect rcNew, UINT nHitTest)
{
  if (rcNew.Width() < m_szMin.cx || rcNew.Height() < m_szMin.cy)
    return;
  CRect rcBorders = GetBorders();
  CSize szInner(rcNew.Width() - rcBorders.left - rcBorders.right, rcNew.Height() - rcBorders.top - rcBorders.bottom);
  if (m_barPosition == tkBarFloating) {
    m_szFloatingClient = szInner;
    CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    if (GetSafeHwnd()) {
      MoveWindow(rcNew, TRUE);
      Invalidate(FALSE);
    }
    return;
  }
  if (nHitTest == HTLEFT || nHitTest == HTRIGHT)
    m_szDockingClient.cx = szInner.cx;
  else
    m_szDockingClient.cy = szInner.cy;
  CTKCommandBar::OnRecalcLayout();
  if (CTKCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->RecalcFrameLayout();
}

BOOL CTKDialogBar::PointInBar(POINT ptScreen)
{
  if (!GetSafeHwnd())
    return -2;
  CRect rc;
  GetWindowRect(&rc);
  rc.bottom = rc.top + m_nCaptionBottom;
  return rc.PtInRect(ptScreen) ? 1 : -2;
}

UINT CTKDialogBar::HitTestEdges(CPoint point)
{
  CRect rc;
  GetWindowRect(&rc);
  rc.DeflateRect(kEdgeInset, kEdgeInset);
  BOOL bStretched = (m_dwFlags & 0x40) != 0;
  if (m_barPosition == tkBarFloating) {
    if (point.y < rc.top)
      return point.x < rc.left ? HTTOPLEFT : point.x >= rc.right ? HTTOPRIGHT : HTTOP;
    if (point.y >= rc.bottom)
      return point.x < rc.left ? HTBOTTOMLEFT : point.x >= rc.right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (point.x < rc.left)
      return HTLEFT;
    if (point.x >= rc.right)
      return HTRIGHT;
    return HTNOWHERE;
  }
  if (m_barPosition == tkBarBottom)
    return point.y <= rc.top ? HTTOP : HTNOWHERE;
  if (!(bStretched && IsVerticalPosition(m_barPosition)) && point.y >= rc.bottom)
    return HTBOTTOM;
  if (m_barPosition != tkBarRight && !(bStretched && !IsVerticalPosition(m_barPosition)) && point.x >= rc.right)
    return HTRIGHT;
  if (m_barPosition == tkBarRight && point.x < rc.left)
    return HTLEFT;
  return HTNOWHERE;
}

void CTKDialogBar::PlaceChild()
{
  if (!m_hwndChild || !::IsWindow(m_hwndChild) || !GetSafeHwnd())
    return;
  CRect rc;
  GetClientRect(&rc);
  CRect rcBorders = GetBorders();
  rc = CRect(rc.left + rcBorders.left, rc.top + rcBorders.top, rc.right - rcBorders.right, rc.bottom - rcBorders.bottom);
  ::SetWindowPos(m_hwndChild, nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
  ::InvalidateRect(m_hwndChild, nullptr, TRUE);
}

BOOL CTKDialogBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == WM_NCHITTEST && m_bResizable) {
    UINT nHit = HitTestEdges(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    if (nHit != HTNOWHERE) {
      if (pResult)
        *pResult = nHit;
      return TRUE;
    }
  }
  BOOL bResult = CTKToolBar::OnWndMsg(message, wParam, lParam, pResult);
  if (message == WM_SIZE)
    PlaceChild();
  return bResult;
}

CTKCommandBar* CTKDialogBar::Clone(BOOL bRecursive)
{
  auto* pBar = new CTKDialogBar;
  pBar->Copy(this, bRecursive);
  return pBar;
}
