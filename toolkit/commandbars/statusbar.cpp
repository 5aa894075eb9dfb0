#include "toolkit/commandbars/statusbar.h"

#include "platform/user/common_controls.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/tooltip_context.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CTKStatusBarPane, CCmdTarget)
IMPLEMENT_DYNAMIC(CTKStatusBar, CControlBar)

namespace {
// Three pixels on each side of a pane's text for its border.
constexpr int kPaneBorderSpace = 6;
constexpr int kMinHeight = 20;
// The bar style bits of the bar's borders; the control draws its own edges.
constexpr DWORD kBorderBits = 0x0F00;
}  // namespace

// ---- Pane

CTKStatusBarPane::CTKStatusBarPane() = default;

CTKStatusBarPane::~CTKStatusBarPane()
{
  if (m_hWndPane && ::IsWindow(m_hWndPane)) {
    if (m_pOwnedWnd)
      m_pOwnedWnd->DestroyWindow();
    else
      ::DestroyWindow(m_hWndPane);
  }
  delete m_pOwnedWnd;
}

void CTKStatusBarPane::SetChild(CWnd* pWnd, BOOL bAutoDelete)
{
  m_hWndPane = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  m_pOwnedWnd = bAutoDelete ? pWnd : nullptr;
  if (m_pStatusBar)
    m_pStatusBar->UpdateAllPanes(TRUE, FALSE);
}

void CTKStatusBarPane::SetVisible(BOOL bVisible)
{
  if (m_bVisible == bVisible)
    return;
  m_bVisible = bVisible;
  if (m_pStatusBar) {
    m_pStatusBar->UpdateAllPanes(TRUE, TRUE);
    if (m_pStatusBar->GetSafeHwnd())
      m_pStatusBar->Invalidate(FALSE);
  }
}

CFont* CTKStatusBarPane::GetTextFont()
{
  if (m_fntText.GetSafeHandle() || !m_pStatusBar)
    return &m_fntText;
  return m_pStatusBar->GetFont();
}

CTKImageManagerIcon* CTKStatusBarPane::GetImage()
{
  if (m_nIconId == -1 || !m_pStatusBar)
    return nullptr;
  return m_pStatusBar->GetImageManager()->GetImage(static_cast<UINT>(m_nIconId));
}

void CTKStatusBarPane::Draw(CDC* pDC, CRect rcItem)
{
  if (CTKPaintManager* pPaintManager = m_pStatusBar ? m_pStatusBar->GetPaintManager() : nullptr)
    pPaintManager->DrawStatusBarPane(pDC, rcItem, this);
}

void CTKStatusBarPane::UpdateWidth()
{
  CClientDC dc(nullptr);
  CFont* pOld = dc.SelectObject(GetTextFont());
  int cx = m_strText.IsEmpty() ? 0 : dc.GetTextExtent(m_strText, m_strText.GetLength()).cx;
  dc.SelectObject(pOld);
  if (cx > 0)
    cx += 2;
  if (CTKImageManagerIcon* pImage = GetImage())
    cx += pImage->GetWidth();
  m_cxText = cx;
}

// ---- Command update

void CTKStatusBar::CStatusCmdUI::Enable(BOOL bOn)
{
  m_bEnableChanged = TRUE;
  int nIndex = static_cast<int>(m_nIndex);
  UINT nStyle = m_pStatusBar->GetPaneStyle(nIndex) & ~SBPS_DISABLED;
  m_pStatusBar->SetPaneStyle(nIndex, bOn ? nStyle : nStyle | SBPS_DISABLED);
}

void CTKStatusBar::CStatusCmdUI::SetCheck(int nCheck)
{
  int nIndex = static_cast<int>(m_nIndex);
  UINT nStyle = m_pStatusBar->GetPaneStyle(nIndex) & ~SBPS_POPOUT;
  m_pStatusBar->SetPaneStyle(nIndex, nCheck != 0 ? nStyle | SBPS_POPOUT : nStyle);
}

void CTKStatusBar::CStatusCmdUI::SetText(LPCSTR lpszText)
{
  m_pStatusBar->SetPaneText(static_cast<int>(m_nIndex), lpszText, TRUE);
}

// ---- Bar

CTKStatusBar::CTKStatusBar()
{
  m_cxLeftBorder = 0;
  m_cxRightBorder = 0;
  m_cyTopBorder = 2;
  m_cyBottomBorder = 0;
  CTKNonClientMetrics ncm;
  m_fontStatus.CreateFontIndirect(&ncm.lfStatusFont);
  m_pToolTipContext = new CTKToolTipContext;
}

CTKStatusBar::~CTKStatusBar()
{
  RemoveAll();
  m_pToolTipContext->InternalRelease();
}

BOOL CTKStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) { return CreateEx(pParentWnd, 0, dwStyle, nID); }

BOOL CTKStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
  if (!pParentWnd || !pParentWnd->GetSafeHwnd())
    return FALSE;
  ::InitCommonControls();
  m_dwStyle = dwStyle & CBRS_ALL;
  DWORD dwWindowStyle =
      (dwStyle & 0xFFBF0000) | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | dwCtrlStyle;
  if (pParentWnd->GetStyle() & WS_THICKFRAME)
    dwWindowStyle |= SBARS_SIZEGRIP;
  return CWnd::Create(STATUSCLASSNAME, nullptr, dwWindowStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CTKStatusBar::PreCreateWindow(CREATESTRUCT& cs)
{
  if ((m_dwStyle & 0xFF00) == (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
    m_dwStyle &= ~0x0F80u;
  return CControlBar::PreCreateWindow(cs);
}

BOOL CTKStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
  RemoveAll();
  for (int i = 0; lpIDArray && i < nIDCount; ++i) {
    auto* pPane = new CTKStatusBarPane;
    pPane->m_pStatusBar = this;
    pPane->m_nID = lpIDArray[i];
    pPane->m_dwUpdatePending = TK_PANE_UPDATE_PENDING;
    m_arrPanes.push_back(pPane);
    if (pPane->m_nID != 0) {
      if (!pPane->m_strText.LoadString(pPane->m_nID)) {
        m_nCount = GetPaneCount();
        return FALSE;
      }
      pPane->UpdateWidth();
    } else {
      pPane->m_cxText = ::GetSystemMetrics(SM_CXSCREEN) / 4;
      if (i == 0)
        pPane->m_nStyle |= SBPS_STRETCH | SBPS_NOBORDERS;
    }
  }
  m_nCount = GetPaneCount();
  UpdateAllPanes(TRUE, TRUE);
  return TRUE;
}

void CTKStatusBar::RemoveAll()
{
  for (CTKStatusBarPane* pPane : m_arrPanes) {
    pPane->m_pStatusBar = nullptr;
    pPane->InternalRelease();
  }
  m_arrPanes.clear();
  m_nCount = 0;
}

CTKStatusBarPane* CTKStatusBar::GetPane(int nIndex) const
{
  return nIndex >= 0 && nIndex < GetPaneCount() ? m_arrPanes[static_cast<size_t>(nIndex)] : nullptr;
}

int CTKStatusBar::CommandToIndex(UINT nIDFind) const
{
  for (int i = 0; i < GetPaneCount(); ++i) {
    if (m_arrPanes[static_cast<size_t>(i)]->m_nID == nIDFind)
      return i;
  }
  return -1;
}

int CTKStatusBar::GetVisiblePaneCount() const
{
  return static_cast<int>(std::count_if(m_arrPanes.begin(), m_arrPanes.end(),
                                        [](const CTKStatusBarPane* p) { return p->m_bVisible; }));
}

CString CTKStatusBar::GetPaneText(int nIndex) const
{
  CTKStatusBarPane* pPane = GetPane(nIndex);
  return pPane ? pPane->m_strText : CString();
}

UINT CTKStatusBar::GetPaneStyle(int nIndex) const
{
  CTKStatusBarPane* pPane = GetPane(nIndex);
  return pPane ? pPane->m_nStyle : 0;
}

BOOL CTKStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
  CTKStatusBarPane* pPane = GetPane(nIndex);
  if (!pPane)
    return FALSE;
  CString strText(lpszNewText ? lpszNewText : "");
  // The idle update sets the same texts again and again.
  if (!(pPane->m_dwUpdatePending & TK_PANE_UPDATE_PENDING) && std::strcmp(pPane->m_strText, strText) == 0)
    return TRUE;
  pPane->m_strText = strText;
  if (!pPane->m_bVisible)
    return FALSE;
  // A pane not yet laid out has no part in the control: its text waits for the layout.
  if (bUpdate && GetSafeHwnd() && pPane->m_nVisibleIndex >= 0) {
    pPane->m_dwUpdatePending &= ~TK_PANE_UPDATE_PENDING;
    WPARAM wParam = (pPane->m_nStyle & 0xFFFF) | static_cast<WPARAM>(pPane->m_nVisibleIndex);
    BOOL bDisabled = (pPane->m_nStyle & SBPS_DISABLED) != 0;
    SendMessage(SB_SETTEXT, wParam, bDisabled ? 0 : reinterpret_cast<LPARAM>(static_cast<LPCSTR>(pPane->m_strText)));
    InvalidateRect(nullptr, FALSE);
  } else {
    pPane->m_dwUpdatePending |= TK_PANE_UPDATE_PENDING;
  }
  return TRUE;
}

void CTKStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
  CTKStatusBarPane* pPane = GetPane(nIndex);
  if (!pPane || pPane->m_nStyle == nStyle)
    return;
  if ((pPane->m_nStyle ^ nStyle) & SBPS_STRETCH) {
    pPane->m_nStyle = nStyle;
    UpdateAllPanes(TRUE, FALSE);
  }
  pPane->m_dwUpdatePending |= TK_PANE_UPDATE_PENDING;
  pPane->m_nStyle = nStyle;
  SetPaneText(nIndex, pPane->m_strText, TRUE);
}

void CTKStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
  if (!GetSafeHwnd())
    return;
  if (bUpdateRects) {
    CRect rect;
    GetWindowRect(&rect);
    rect.OffsetRect(-rect.left, -rect.top);
    CalcInsideRect(rect, TRUE);
    int rgBorders[3] = {0, 0, 0};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(rgBorders));
    const int nGap = rgBorders[2];
    int nFree = rect.Width() + nGap;
    int nStretch = 0;
    int nVisible = 0;
    for (int i = 0; i < GetPaneCount(); ++i) {
      CTKStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
      pPane->m_nIndex = i;
      if (!pPane->m_bVisible)
        continue;
      pPane->m_nVisibleIndex = nVisible++;
      if (pPane->m_nStyle & SBPS_STRETCH)
        ++nStretch;
      nFree -= pPane->m_cxText + kPaneBorderSpace + nGap;
    }
    std::vector<int> arrRights;
    int nRight = rgBorders[0];
    for (CTKStatusBarPane* pPane : m_arrPanes) {
      if (!pPane->m_bVisible)
        continue;
      nRight += pPane->m_cxText + kPaneBorderSpace;
      if ((pPane->m_nStyle & SBPS_STRETCH) && nFree > 0) {
        int nShare = nFree / nStretch;
        nRight += nShare;
        nFree -= nShare;
      }
      if (pPane->m_nStyle & SBPS_STRETCH)
        --nStretch;
      arrRights.push_back(nRight);
      nRight += nGap;
    }
    SendMessage(SB_SETPARTS, arrRights.size(), reinterpret_cast<LPARAM>(arrRights.data()));

    for (int i = 0; i < GetPaneCount(); ++i) {
      CTKStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
      if (!pPane->m_hWndPane || !::IsWindow(pPane->m_hWndPane))
        continue;
      CRect rcPane;
      GetItemRect(i, &rcPane);
      if (!(pPane->m_nStyle & SBPS_NOBORDERS))
        rcPane.DeflateRect(::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CXEDGE));
      ::SetWindowPos(pPane->m_hWndPane, nullptr, rcPane.left, rcPane.top, rcPane.Width(), rcPane.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (bUpdateText) {
    for (int i = 0; i < GetPaneCount(); ++i) {
      CTKStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
      if (pPane->m_bVisible && (pPane->m_dwUpdatePending & TK_PANE_UPDATE_PENDING))
        SetPaneText(i, pPane->m_strText, TRUE);
    }
  }
}

void CTKStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
  *lpRect = RECT{};
  CTKStatusBarPane* pPane = GetPane(nIndex);
  if (!pPane || !GetSafeHwnd())
    return;
  CRect rc;
  if (!::SendMessage(m_hWnd, SB_GETRECT, static_cast<WPARAM>(pPane->m_nVisibleIndex), reinterpret_cast<LPARAM>(&rc)))
    return;
  if (pPane->m_bVisible && pPane->m_nVisibleIndex == GetVisiblePaneCount() - 1) {
    // The control stretches its last part to the edge; the pane keeps its own width.
    if (pPane->m_nStyle & SBPS_STRETCH) {
      CRect rcClient;
      GetClientRect(&rcClient);
      rc.right = rcClient.right;
      if (GetStyle() & SBARS_SIZEGRIP)
        rc.right -= ::GetSystemMetrics(SM_CXSMICON) + ::GetSystemMetrics(SM_CXEDGE);
    } else {
      rc.right = rc.left + pPane->m_cxText + 3 * ::GetSystemMetrics(SM_CXEDGE);
    }
  }
  *lpRect = rc;
}

CTKStatusBarPane* CTKStatusBar::HitTest(CPoint pt, CRect* pRect) const
{
  for (int i = 0; i < GetPaneCount(); ++i) {
    if (!m_arrPanes[static_cast<size_t>(i)]->m_bVisible)
      continue;
    CRect rc;
    GetItemRect(i, &rc);
    if (rc.PtInRect(pt)) {
      if (pRect)
        *pRect = rc;
      return m_arrPanes[static_cast<size_t>(i)];
    }
  }
  return nullptr;
}

CTKPaintManager* CTKStatusBar::GetPaintManager() const
{
  if (!m_bCommandBarsTheme)
    return nullptr;
  if (m_pCommandBars)
    return m_pCommandBars->GetPaintManager();
  return CTKPaintManager::GetCurrent();
}

CTKImageManager* CTKStatusBar::GetImageManager() const
{
  return m_pCommandBars ? m_pCommandBars->GetImageManager() : &TKImageManager();
}

INT_PTR CTKStatusBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
  INT_PTR nHit = CControlBar::OnToolHitTest(point, pTI);
  if (nHit != -1)
    return nHit;
  CRect rc;
  CTKStatusBarPane* pPane = HitTest(point, &rc);
  if (!pPane || pPane->m_strToolTip.IsEmpty())
    return -1;
  CTKToolTipContext::FillInToolInfo(pTI, m_hWnd, rc, static_cast<INT_PTR>(pPane->m_nID), pPane->m_strToolTip);
  return static_cast<INT_PTR>(pPane->m_nID);
}

void CTKStatusBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
  CControlBar::CalcInsideRect(rect, bHorz);
  if (IsSizeGripShown(FALSE)) {
    int rgBorders[3] = {0, 0, 0};
    ::SendMessage(m_hWnd, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(rgBorders));
    rect.right -= 2 * ::GetSystemMetrics(SM_CXBORDER) + rgBorders[0] + ::GetSystemMetrics(SM_CXVSCROLL);
  }
}

BOOL CTKStatusBar::IsSizeGripShown(BOOL bForDrawing) const
{
  if (!GetSafeHwnd() || !(GetStyle() & SBARS_SIZEGRIP))
    return FALSE;
  CWnd* pParent = GetParent();
  if (!pParent || pParent->IsZoomed())
    return FALSE;
  return !bForDrawing || (pParent->GetStyle() & WS_THICKFRAME);
}

CSize CTKStatusBar::CalcFixedLayout(BOOL /*bStretch*/, BOOL bHorz)
{
  CSize size(32767, 0);
  TEXTMETRICA tm{};
  {
    CClientDC dc(nullptr);
    CFont* pOld = dc.SelectObject(&m_fontStatus);
    dc.GetTextMetrics(&tm);
    dc.SelectObject(pOld);
  }
  int rgBorders[3] = {0, 0, 0};
  if (GetSafeHwnd())
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(rgBorders));
  CRect rcInside(0, 0, 0, 0);
  CalcInsideRect(rcInside, bHorz);
  size.cy = 2 * (::GetSystemMetrics(SM_CYBORDER) + rgBorders[1]) - rcInside.Height() + tm.tmHeight -
            tm.tmInternalLeading - 1;
  size.cy = std::max(static_cast<int>(size.cy), m_nMinHeight);
  return size;
}

void CTKStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
  CStatusCmdUI state;
  state.m_pStatusBar = this;
  state.m_nIndexMax = static_cast<UINT>(GetPaneCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = m_arrPanes[state.m_nIndex]->m_nID;
    // A pane is information, not a command: without a handler it is never disabled.
    if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr))
      continue;
    if (pTarget)
      state.DoUpdate(pTarget, FALSE);
  }
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void CTKStatusBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
  CControlBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
  if (((dwOldStyle ^ dwNewStyle) & kBorderBits) && GetSafeHwnd())
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOZORDER);
}

void CTKStatusBar::DrawPaneEntry(CDC* pDC, int nIndex, CRect rcItem)
{
  if (CTKStatusBarPane* pPane = GetPane(nIndex))
    pPane->Draw(pDC, rcItem);
}

void CTKStatusBar::DrawSizeGripper(CDC* pDC, CRect rcGripper)
{
  if (CTKPaintManager* pPaintManager = GetPaintManager())
    pPaintManager->DrawStatusBarGripper(pDC, rcGripper);
}

void CTKStatusBar::OnPaintBar()
{
  UpdateAllPanes(FALSE, TRUE);
  if (!GetPaintManager()) {
    Default();
    return;
  }
  CPaintDC dcPaint(this);
  CRect rcClient;
  GetClientRect(&rcClient);
  CTKBufferDC dc(dcPaint.GetSafeHdc(), rcClient);
  DoPaint(&dc);
}

void CTKStatusBar::DoPaint(CDC* pDC)
{
  CTKPaintManager* pPaintManager = GetPaintManager();
  if (!pPaintManager)
    return;
  CRect rcClient;
  GetClientRect(&rcClient);
  CFont* pOldFont = pDC->SelectObject(&m_fontStatus);
  pPaintManager->FillStatusBar(pDC, this);
  int nLastVisible = GetVisiblePaneCount() - 1;
  for (int i = 0; i < GetPaneCount(); ++i) {
    CTKStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
    if (!pPane->m_bVisible)
      continue;
    CRect rcItem;
    GetItemRect(i, &rcItem);
    if (!(pPane->m_nStyle & SBPS_NOBORDERS))
      pPaintManager->DrawStatusBarPaneBorder(pDC, rcItem, pPane->m_nVisibleIndex == nLastVisible);
    DrawPaneEntry(pDC, i, rcItem);
  }
  if (IsSizeGripShown(TRUE))
    DrawSizeGripper(pDC, rcClient);
  pDC->SelectObject(pOldFont);
}

LRESULT CTKStatusBar::OnGetText(WPARAM wParam, LPARAM lParam) const
{
  auto* pszBuffer = reinterpret_cast<char*>(lParam);
  const auto nRoom = static_cast<int>(wParam);
  if (!pszBuffer || nRoom <= 0)
    return 0;
  int nIndex = CommandToIndex(0);
  CString strText = nIndex >= 0 ? m_arrPanes[static_cast<size_t>(nIndex)]->m_strText : CString();
  int nCopied = std::min(strText.GetLength(), nRoom - 1);
  std::memcpy(pszBuffer, static_cast<LPCSTR>(strText), static_cast<size_t>(nCopied));
  pszBuffer[nCopied] = '\0';
  return nCopied + 1;
}

BOOL CTKStatusBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  m_pToolTipContext->FilterToolTipMessage(this, message, wParam, lParam);
  LRESULT lResult = 0;
  switch (message) {
  case WM_CREATE: {
    if (!CControlBar::OnWndMsg(message, wParam, lParam, &lResult) || lResult == -1) {
      if (pResult)
        *pResult = lResult;
      return TRUE;
    }
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontStatus.GetSafeHandle()), FALSE);
    SendMessage(SB_SETMINHEIGHT, kMinHeight, 0);
    break;
  }
  case SB_SETMINHEIGHT:
    lResult = Default();
    m_nMinHeight = static_cast<int>(wParam);
    break;
  case WM_NCCALCSIZE: {
    CRect rcInside(0, 0, 0, 0);
    CControlBar::CalcInsideRect(rcInside, TRUE);
    auto* pRect = reinterpret_cast<RECT*>(lParam);
    pRect->left += rcInside.left;
    pRect->top += rcInside.top - 2;
    pRect->right += rcInside.right;
    pRect->bottom += rcInside.bottom;
    break;
  }
  case WM_WINDOWPOSCHANGING: {
    DWORD dwStyle = m_dwStyle;
    m_dwStyle &= ~kBorderBits;
    lResult = Default();
    m_dwStyle = dwStyle;
    break;
  }
  case WM_NCHITTEST:
    lResult = Default() == HTBOTTOMRIGHT ? HTBOTTOMRIGHT : HTCLIENT;
    break;
  case WM_SIZE:
    Default();
    UpdateAllPanes(TRUE, FALSE);
    Invalidate();
    break;
  case WM_PAINT:
    OnPaintBar();
    break;
  case WM_ERASEBKGND:
    lResult = GetPaintManager() ? 1 : Default();
    break;
  case WM_SETTEXT: {
    int nIndex = CommandToIndex(0);
    lResult = nIndex >= 0 && SetPaneText(nIndex, reinterpret_cast<LPCSTR>(lParam), TRUE) ? 0 : -1;
    break;
  }
  case WM_GETTEXT:
    lResult = OnGetText(wParam, lParam);
    break;
  case WM_GETTEXTLENGTH: {
    int nIndex = CommandToIndex(0);
    lResult = nIndex >= 0 ? m_arrPanes[static_cast<size_t>(nIndex)]->m_strText.GetLength() : 0;
    break;
  }
  default:
    return CControlBar::OnWndMsg(message, wParam, lParam, pResult);
  }
  if (pResult)
    *pResult = lResult;
  return TRUE;
}
