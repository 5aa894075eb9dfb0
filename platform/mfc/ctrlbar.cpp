#include "platform/mfc/ctrlbar.h"

#include "platform/gdi/windraw.h"
#include "platform/mfc/dc.h"
#include "platform/user/controls.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

namespace {
// A border line of the bar is two pixels: shadow and highlight.
constexpr int kBorderWidth = 2;
// The gripper: a raised line with a little space on each side.
constexpr int kGripperWidth = 3;
constexpr int kGripperGap = 2;
constexpr int kGripperSpace = kGripperGap + kGripperWidth + kGripperGap;
}  // namespace

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
  if (lpLayout == nullptr || lpLayout->hDWP == nullptr || hWnd == nullptr || lpRect == nullptr) {
    return;
  }
  // Moving a window to where it stands would only repaint it.
  RECT current;
  ::GetWindowRect(hWnd, &current);
  POINT corners[2] = {{current.left, current.top}, {current.right, current.bottom}};
  ::MapWindowPoints(nullptr, ::GetParent(hWnd), corners, 2);
  if (RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y} == *lpRect) {
    return;
  }
  lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top, lpRect->Width(),
                                    lpRect->Height(), SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
  const bool query = (nFlag & ~static_cast<UINT>(reposNoPosLeftOver)) == reposQuery;
  AFX_SIZEPARENTPARAMS layout;
  layout.bStretch = bStretch;
  layout.hDWP = query ? nullptr : ::BeginDeferWindowPos(8);
  if (lpRectClient != nullptr) {
    layout.rect = *lpRectClient;
  } else {
    ::GetClientRect(m_hWnd, &layout.rect);
  }
  if ((nFlag & ~static_cast<UINT>(reposNoPosLeftOver)) == reposExtra && lpRectParam != nullptr) {
    layout.rect.left += lpRectParam->left;
    layout.rect.top += lpRectParam->top;
    layout.rect.right -= lpRectParam->right;
    layout.rect.bottom -= lpRectParam->bottom;
  }

  // A bar may create or destroy windows while it answers; take the children first.
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  HWND leftOver = nullptr;
  for (HWND child : children) {
    if (!::IsWindow(child)) {
      continue;
    }
    auto id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == nIDLeftOver && nIDLeftOver != 0) {
      leftOver = child;
    } else if (id >= nIDFirst && id <= nIDLast && FromHandlePermanent(child) != nullptr) {
      ::SendMessage(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
  }

  if (query) {
    if (lpRectParam != nullptr) {
      if (bStretch) {
        *lpRectParam = layout.rect;
      } else {
        *lpRectParam = RECT{0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy};
      }
    }
    return;
  }
  if (leftOver != nullptr && (nFlag & reposNoPosLeftOver) == 0) {
    // Bars wider than the frame may have eaten the whole client area; the view keeps an empty place.
    RECT rest = layout.rect;
    rest.right = std::max(rest.right, rest.left);
    rest.bottom = std::max(rest.bottom, rest.top);
    AfxRepositionWindow(&layout, leftOver, &rest);
  }
  if (layout.hDWP != nullptr) {
    ::EndDeferWindowPos(layout.hDWP);
  }
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  for (HWND child : children) {
    if (!::IsWindow(child)) {
      continue;
    }
    CCmdUI state;
    state.m_nID = static_cast<UINT>(::GetDlgCtrlID(child)) & 0xFFFF;
    if (state.m_nID == 0 || state.m_nID == 0xFFFF) {
      continue;  // labels nobody addresses
    }
    CWnd control;
    control.m_hWnd = child;
    state.m_pOther = &control;
    // The window's own handlers first, then the target's.
    if (!CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr)) {
      // Only push buttons go grey for want of a handler: check boxes, radio buttons and group boxes work
      // on their own, and other controls are data, not commands.
      BOOL disable = bDisableIfNoHndler;
      if (disable) {
        if ((::SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) == 0) {
          disable = FALSE;
        } else {
          auto kind = static_cast<UINT>(::GetWindowLong(child, GWL_STYLE) & 0x0F);
          if (kind == BS_AUTOCHECKBOX || kind == BS_AUTO3STATE || kind == BS_GROUPBOX || kind == BS_AUTORADIOBUTTON) {
            disable = FALSE;
          }
        }
      }
      state.DoUpdate(pTarget, disable);
    }
    control.m_hWnd = nullptr;
  }
}

// CControlBar

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_SIZEPARENT, &CControlBar::OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
  // A bar deleted before its window leaves the frame's list at once.
  if (m_pDockSite != nullptr) {
    m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
  }
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
  m_cxLeftBorder = cxLeft;
  m_cyTopBorder = cyTop;
  m_cxRightBorder = cxRight;
  m_cyBottomBorder = cyBottom;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
  dwStyle &= CBRS_ALL;
  if (m_dwStyle == dwStyle) {
    return;
  }
  DWORD old = m_dwStyle;
  m_dwStyle = dwStyle;
  OnBarStyleChange(old, dwStyle);
}

void CControlBar::OnBarStyleChange(DWORD, DWORD) {}

BOOL CControlBar::IsVisible() const
{
  if ((m_nStateFlags & delayHide) != 0) {
    return FALSE;
  }
  return (m_nStateFlags & delayShow) != 0 || (GetStyle() & WS_VISIBLE) != 0;
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
  if (m_pDockSite != nullptr) {
    return m_pDockSite;
  }
  return GetParentFrame();
}

void CControlBar::DelayShow(BOOL bShow)
{
  m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
  const bool shown = m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) != 0;
  if (bShow && !shown) {
    m_nStateFlags |= delayShow;
  } else if (!bShow && shown) {
    m_nStateFlags |= delayHide;
  }
}

CWnd* CControlBar::GetOwner() const
{
  if (m_hWndOwner != nullptr && ::IsWindow(m_hWndOwner)) {
    return FromHandle(m_hWndOwner);
  }
  return GetParent();
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, bHorz);
  // Borders only; bars add their items.
  CSize size(-inside.Width(), -inside.Height());
  if (bStretch) {
    (bHorz ? size.cx : size.cy) = 32767;
  }
  return size;
}

CSize CControlBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
  // Docked bars asked for their own length keep their fixed size along the edge they are docked on.
  if (nLength == -1 && (nMode & (LM_MRUWIDTH | LM_COMMIT)) == 0 && (nMode & (LM_HORZDOCK | LM_VERTDOCK)) != 0) {
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZDOCK) != 0);
  }
  return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
  if ((m_dwStyle & CBRS_BORDER_LEFT) != 0) {
    rect.left += kBorderWidth;
  }
  if ((m_dwStyle & CBRS_BORDER_TOP) != 0) {
    rect.top += kBorderWidth;
  }
  if ((m_dwStyle & CBRS_BORDER_RIGHT) != 0) {
    rect.right -= kBorderWidth;
  }
  if ((m_dwStyle & CBRS_BORDER_BOTTOM) != 0) {
    rect.bottom -= kBorderWidth;
  }
  const bool gripper = (m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER;
  if (bHorz) {
    rect.left += m_cxLeftBorder + (gripper ? kGripperSpace : 0);
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
  } else {
    // Across a vertical bar the borders turn with it.
    rect.left += m_cyTopBorder;
    rect.top += m_cxLeftBorder + (gripper ? kGripperSpace : 0);
    rect.right -= m_cyBottomBorder;
    rect.bottom -= m_cxRightBorder;
  }
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
  UINT sides = 0;
  sides |= (m_dwStyle & CBRS_BORDER_LEFT) != 0 ? BF_LEFT : 0u;
  sides |= (m_dwStyle & CBRS_BORDER_TOP) != 0 ? BF_TOP : 0u;
  sides |= (m_dwStyle & CBRS_BORDER_RIGHT) != 0 ? BF_RIGHT : 0u;
  sides |= (m_dwStyle & CBRS_BORDER_BOTTOM) != 0 ? BF_BOTTOM : 0u;
  if (sides != 0) {
    RECT edge = rect;
    ::DrawEdge(pDC->m_hDC, &edge, EDGE_ETCHED, sides | BF_ADJUST);
    rect = CRect(edge);
  }
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect)
{
  if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) != CBRS_GRIPPER) {
    return;
  }
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (IsHorz()) {
    pDC->Draw3dRect(rect.left + kGripperGap, rect.top + m_cyTopBorder, kGripperWidth,
                    rect.Height() - m_cyTopBorder - m_cyBottomBorder, light, shadow);
  } else {
    pDC->Draw3dRect(rect.left + m_cyTopBorder, rect.top + kGripperGap,
                    rect.Width() - m_cyTopBorder - m_cyBottomBorder, kGripperWidth, light, shadow);
  }
}

void CControlBar::DoPaint(CDC* pDC)
{
  CRect rect;
  GetClientRect(rect);
  DrawBorders(pDC, rect);
  DrawGripper(pDC, rect);
}

BOOL CControlBar::PreCreateWindow(CREATESTRUCT& cs)
{
  if (!CWnd::PreCreateWindow(cs)) {
    return FALSE;
  }
  // Siblings overlap while the frame moves bars; each paints only its own part.
  cs.style |= static_cast<LONG>(WS_CLIPSIBLINGS);
  // The flat look: a bar on top gets a line above it (under the menu), one at the bottom a line below, a bar on
  // a side lines at both ends. CBRS_BORDER_3D keeps the borders as asked.
  if ((m_dwStyle & CBRS_BORDER_3D) == 0) {
    DWORD borders = 0;
    switch (m_dwStyle & (CBRS_BORDER_ANY | CBRS_ALIGN_ANY)) {
      case CBRS_LEFT:
      case CBRS_RIGHT: borders = CBRS_BORDER_TOP | CBRS_BORDER_BOTTOM; break;
      case CBRS_TOP: borders = CBRS_BORDER_TOP; break;
      case CBRS_BOTTOM: borders = CBRS_BORDER_BOTTOM; break;
      default: break;
    }
    if (borders != 0) {
      m_dwStyle = (m_dwStyle & ~CBRS_BORDER_ANY) | borders | CBRS_BORDER_3D;
    }
  }
  return TRUE;
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CWnd::OnCreate(lpcs) == -1) {
    return -1;
  }
  // The frame that holds the bar lays it out and finds it by id.
  CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
  if (pParent != nullptr && pParent->IsFrameWnd()) {
    m_pDockSite = static_cast<CFrameWnd*>(pParent);
    m_pDockSite->AddControlBar(this);
  }
  return 0;
}

void CControlBar::OnDestroy()
{
  if (m_pDockSite != nullptr) {
    m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
  }
  CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy()
{
  if (m_bAutoDelete) {
    delete this;
  }
}

void CControlBar::OnPaint()
{
  CPaintDC dc(this);
  DoPaint(&dc);
}

BOOL CControlBar::OnEraseBkgnd(HDC hDC)
{
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  ::FillRect(hDC, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
      LRESULT result = 0;
      if (OnWndMsg(message, wParam, lParam, &result)) {
        return result;
      }
      // A dialog bar's buttons are the frame's commands.
      CWnd* pOwner = GetOwner();
      return pOwner != nullptr && pOwner->m_hWnd != nullptr ? pOwner->SendMessage(message, wParam, lParam) : 0;
    }
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
  DWORD style = GetStyle();
  if ((m_nStateFlags & (delayHide | delayShow)) == 0) {
    return style;
  }
  const bool show = (m_nStateFlags & delayShow) != 0;
  if (lpLayout->hDWP != nullptr) {
    // The layout is moving windows now: the waiting change happens with it.
    m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
  return show ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
  auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  DWORD style = RecalcDelayShow(layout);
  // A hidden bar gives its space back; a floating one (no alignment) takes none.
  if ((style & WS_VISIBLE) == 0 || (m_dwStyle & CBRS_ALIGN_ANY) == 0) {
    return 0;
  }
  CRect rect(layout->rect);
  const CSize available = rect.Size();
  DWORD mode = layout->bStretch ? LM_STRETCH : 0;
  if ((m_dwStyle & CBRS_SIZE_DYNAMIC) != 0 && (m_dwStyle & CBRS_FLOATING) != 0) {
    mode |= LM_HORZ | LM_MRUWIDTH;
  } else if ((m_dwStyle & CBRS_ORIENT_HORZ) != 0) {
    mode |= LM_HORZ | LM_HORZDOCK;
  } else {
    mode |= LM_VERTDOCK;
  }
  CSize size = CalcDynamicLayout(-1, mode);
  size.cx = std::max<LONG>(0, std::min(size.cx, available.cx));
  size.cy = std::max<LONG>(0, std::min(size.cy, available.cy));

  if ((m_dwStyle & CBRS_ORIENT_HORZ) != 0) {
    layout->sizeTotal.cy += size.cy;
    layout->sizeTotal.cx = std::max(layout->sizeTotal.cx, size.cx);
    if ((m_dwStyle & CBRS_ALIGN_TOP) != 0) {
      layout->rect.top += size.cy;
    } else {
      rect.top = rect.bottom - size.cy;
      layout->rect.bottom -= size.cy;
    }
  } else {
    layout->sizeTotal.cx += size.cx;
    layout->sizeTotal.cy = std::max(layout->sizeTotal.cy, size.cy);
    if ((m_dwStyle & CBRS_ALIGN_LEFT) != 0) {
      layout->rect.left += size.cx;
    } else {
      rect.left = rect.right - size.cx;
      layout->rect.right -= size.cx;
    }
  }
  rect.right = rect.left + size.cx;
  rect.bottom = rect.top + size.cy;
  AfxRepositionWindow(layout, m_hWnd, &rect);
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
  // A show or hide asked for with delay happens now, if no layout did it first.
  const bool shown = (GetStyle() & WS_VISIBLE) != 0;
  UINT change = 0;
  if ((m_nStateFlags & delayHide) != 0 && shown) {
    change = SWP_HIDEWINDOW;
  } else if ((m_nStateFlags & delayShow) != 0 && !shown) {
    change = SWP_SHOWWINDOW;
  }
  m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
  if (change != 0) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, change | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if ((GetStyle() & WS_VISIBLE) == 0) {
    return 0;
  }
  if (m_pDockBar != nullptr && (m_pDockBar->GetStyle() & WS_VISIBLE) == 0) {
    return 0;
  }
  CWnd* pOwner = GetOwner();
  CFrameWnd* pTarget =
      pOwner != nullptr && pOwner->IsFrameWnd() ? static_cast<CFrameWnd*>(pOwner) : GetParentFrame();
  if (pTarget != nullptr) {
    OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
  }
  return 0;
}
