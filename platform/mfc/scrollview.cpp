#include "platform/mfc/scrollview.h"

#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

namespace {

constexpr BYTE kNoScroll = 0xFF;

// Lines a wheel notch scrolls when the system says nothing; the system's answer for "a page a notch".
constexpr UINT kDefaultWheelLines = 3;
constexpr UINT kWheelPageScroll = 0xFFFFFFFF;

int Clamp(int value, int high) { return std::clamp(value, 0, std::max(high, 0)); }

}  // namespace

CScrollView::CScrollView() = default;

CSize CScrollView::ToDevice(SIZE logical) const
{
  if (m_nMapMode == MM_TEXT) {
    return CSize(logical);
  }
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetMapMode(dc, m_nMapMode);
  POINT corners[2] = {{0, 0}, {logical.cx, logical.cy}};
  ::LPtoDP(dc, corners, 2);
  ::DeleteDC(dc);
  return CSize(std::abs(corners[1].x - corners[0].x), std::abs(corners[1].y - corners[0].y));
}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
  m_nMapMode = nMapMode;
  m_totalLog = CSize(std::max(sizeTotal.cx, 0), std::max(sizeTotal.cy, 0));
  m_totalDev = ToDevice(m_totalLog);
  m_pageDev = ToDevice(sizePage);
  m_lineDev = ToDevice(sizeLine);
  if (m_pageDev.cx == 0) {
    m_pageDev.cx = m_totalDev.cx / 10;
  }
  if (m_pageDev.cy == 0) {
    m_pageDev.cy = m_totalDev.cy / 10;
  }
  // A line of at least a pixel, so that an arrow always moves a scrollable document.
  if (m_lineDev.cx == 0) {
    m_lineDev.cx = std::max(m_pageDev.cx / 10, 1);
  }
  if (m_lineDev.cy == 0) {
    m_lineDev.cy = std::max(m_pageDev.cy / 10, 1);
  }
  if (m_hWnd != nullptr) {
    UpdateBars();
    Invalidate(TRUE);
  }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
  nMapMode = m_nMapMode;
  sizeTotal = m_totalDev;
  sizePage = m_pageDev;
  sizeLine = m_lineDev;
}

CPoint CScrollView::GetScrollPosition() const
{
  if (m_nMapMode == MM_TEXT || m_nMapMode == 0) {
    return m_scrollDev;
  }
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetMapMode(dc, m_nMapMode);
  POINT position = m_scrollDev;
  ::DPtoLP(dc, &position, 1);
  ::DeleteDC(dc);
  return position;
}

void CScrollView::ScrollToPosition(POINT pt)
{
  POINT device = pt;
  if (m_nMapMode != MM_TEXT && m_nMapMode != 0) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetMapMode(dc, m_nMapMode);
    ::LPtoDP(dc, &device, 1);
    ::DeleteDC(dc);
  }
  ScrollToDevicePosition(device);
}

CPoint CScrollView::ScrollLimit() const
{
  return CPoint(std::max(m_totalDev.cx - m_visibleDev.cx, 0), std::max(m_totalDev.cy - m_visibleDev.cy, 0));
}

void CScrollView::ScrollToDevicePosition(POINT ptDev)
{
  CPoint limit = ScrollLimit();
  CPoint target(Clamp(ptDev.x, limit.x), Clamp(ptDev.y, limit.y));
  OnScrollBy(CSize(target.x - m_scrollDev.x, target.y - m_scrollDev.y), TRUE);
}

void CScrollView::UpdateBars()
{
  if (m_bInsideUpdate || m_hWnd == nullptr || m_nMapMode == 0) {
    return;
  }
  m_bInsideUpdate = true;
  // The client area as it would be without bars.
  CRect client;
  GetClientRect(&client);
  const DWORD style = GetStyle();
  const CSize bar(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
  CSize room(client.Width() + ((style & WS_VSCROLL) != 0 ? bar.cx : 0),
             client.Height() + ((style & WS_HSCROLL) != 0 ? bar.cy : 0));
  // A bar takes room from the other direction, which may then need its own bar.
  bool horizontal = m_totalDev.cx > room.cx;
  bool vertical = m_totalDev.cy > room.cy;
  if (horizontal && !vertical) {
    vertical = m_totalDev.cy > room.cy - bar.cy;
  }
  if (vertical && !horizontal) {
    horizontal = m_totalDev.cx > room.cx - bar.cx;
  }
  m_visibleDev = CSize(std::max(room.cx - (vertical ? bar.cx : 0), 0), std::max(room.cy - (horizontal ? bar.cy : 0), 0));

  CPoint limit = ScrollLimit();
  CPoint kept(Clamp(m_scrollDev.x, limit.x), Clamp(m_scrollDev.y, limit.y));
  if (kept != m_scrollDev) {
    m_scrollDev = kept;
    Invalidate(TRUE);
  }
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = horizontal ? m_totalDev.cx - 1 : 0;
  info.nPage = horizontal ? static_cast<UINT>(m_visibleDev.cx) : 0;
  info.nPos = m_scrollDev.x;
  ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
  info.nMax = vertical ? m_totalDev.cy - 1 : 0;
  info.nPage = vertical ? static_cast<UINT>(m_visibleDev.cy) : 0;
  info.nPos = m_scrollDev.y;
  ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
  m_bInsideUpdate = false;
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
  CPoint limit = ScrollLimit();
  CPoint target(Clamp(m_scrollDev.x + sizeScroll.cx, limit.x), Clamp(m_scrollDev.y + sizeScroll.cy, limit.y));
  if (target == m_scrollDev) {
    return FALSE;
  }
  if (bDoScroll) {
    CPoint moved(target.x - m_scrollDev.x, target.y - m_scrollDev.y);
    m_scrollDev = target;
    if (m_bRepaintOnScroll) {
      Invalidate(TRUE);
    } else {
      ::ScrollWindow(m_hWnd, -moved.x, -moved.y, nullptr, nullptr);
    }
    if (moved.x != 0) {
      ::SetScrollPos(m_hWnd, SB_HORZ, target.x, TRUE);
    }
    if (moved.y != 0) {
      ::SetScrollPos(m_hWnd, SB_VERT, target.y, TRUE);
    }
  }
  return TRUE;
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
  // The distance one request asks for along one direction.
  auto distance = [&](BYTE code, int bar, int current, int page, int line, int limit) {
    switch (code) {
      case SB_TOP: return -current;
      case SB_BOTTOM: return limit - current;
      case SB_LINEUP: return -line;
      case SB_LINEDOWN: return line;
      case SB_PAGEUP: return -page;
      case SB_PAGEDOWN: return page;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: {
        // The message carries 16 bits of the position; the bar's track position, when it is the same one,
        // has all of them.
        SCROLLINFO info;
        info.fMask = SIF_TRACKPOS;
        int to = static_cast<int>(nPos & 0xFFFF);
        if (::GetScrollInfo(m_hWnd, bar, &info) && (info.nTrackPos & 0xFFFF) == to) {
          to = info.nTrackPos;
        }
        return to - current;
      }
      default: return 0;
    }
  };
  CPoint limit = ScrollLimit();
  CSize scroll(distance(LOBYTE(nScrollCode), SB_HORZ, m_scrollDev.x, m_pageDev.cx, m_lineDev.cx, limit.x),
               distance(HIBYTE(nScrollCode), SB_VERT, m_scrollDev.y, m_pageDev.cy, m_lineDev.cy, limit.y));
  return OnScrollBy(scroll, bDoScroll);
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
  if (m_nMapMode != 0) {
    pDC->SetMapMode(m_nMapMode);
    if (!pDC->IsPrinting()) {
      pDC->SetViewportOrg(-m_scrollDev.x, -m_scrollDev.y);
    }
  }
  CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::OnPaint()
{
  CPaintDC dc(this);
  OnPrepareDC(&dc);
  OnDraw(&dc);
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
  CView::OnSize(nType, cx, cy);
  UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
  if (pScrollBar != nullptr) {
    return;  // a child scroll bar control is not the view's
  }
  OnScroll(MAKEWORD(static_cast<BYTE>(nSBCode), kNoScroll), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
  if (pScrollBar != nullptr) {
    return;
  }
  OnScroll(MAKEWORD(kNoScroll, static_cast<BYTE>(nSBCode)), nPos);
}

BOOL CScrollView::OnMouseWheel(UINT nFlags, short zDelta, CPoint)
{
  CPoint limit = ScrollLimit();
  const bool vertical = limit.y > 0;
  if (!vertical && limit.x <= 0) {
    return FALSE;
  }
  UINT lines = kDefaultWheelLines;
  ::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const int page = vertical ? m_pageDev.cy : m_pageDev.cx;
  const int line = vertical ? m_lineDev.cy : m_lineDev.cx;
  int displacement = 0;
  if ((nFlags & (MK_CONTROL | MK_SHIFT)) != 0 || lines == kWheelPageScroll) {
    displacement = -zDelta / WHEEL_DELTA * page;
  } else {
    displacement = -zDelta * static_cast<int>(lines) / WHEEL_DELTA * line;
    displacement = std::clamp(displacement, -page, page);  // never more than a page a notch
  }
  return OnScrollBy(vertical ? CSize(0, displacement) : CSize(displacement, 0), TRUE);
}

void CScrollView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  BYTE horizontal = kNoScroll;
  BYTE vertical = kNoScroll;
  switch (nChar) {
    case VK_UP: vertical = SB_LINEUP; break;
    case VK_DOWN: vertical = SB_LINEDOWN; break;
    case VK_PRIOR: vertical = SB_PAGEUP; break;
    case VK_NEXT: vertical = SB_PAGEDOWN; break;
    case VK_HOME: vertical = SB_TOP; break;
    case VK_END: vertical = SB_BOTTOM; break;
    case VK_LEFT: horizontal = SB_LINELEFT; break;
    case VK_RIGHT: horizontal = SB_LINERIGHT; break;
    default: CView::OnKeyDown(nChar, nRepCnt, nFlags); return;
  }
  OnScroll(MAKEWORD(horizontal, vertical), 0);
}
