// Scroll bars: the state of a window's own bars and of scroll bar controls, their drawing and their tracking.
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/controls.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"

#include <algorithm>

using namespace user::detail;

namespace {

bool IsControl(const Window& w) { return w.cls->name == "ScrollBar"; }

ScrollState* StateOf(Window& w, int bar)
{
  if (bar == SB_CTL) {
    return IsControl(w) ? &w.vScroll : nullptr;
  }
  return bar == SB_HORZ ? &w.hScroll : bar == SB_VERT ? &w.vScroll : nullptr;
}

int MaxPos(const ScrollState& s)
{
  return std::max(s.min, s.max - std::max(static_cast<int>(s.page) - 1, 0));
}

// The arrow size along the bar, and the thumb's place and length, for a bar of `length` pixels.
struct Layout {
  int arrow = 0;
  int thumbStart = 0;
  int thumbLength = 0;
};

Layout LayoutOf(const ScrollState& s, int length, int thickness)
{
  Layout l;
  l.arrow = std::min(thickness, length / 2);
  const int track = length - 2 * l.arrow;
  const int range = s.max - s.min + 1;
  if (track <= 0 || range <= 0 || s.disabled) {
    return l;
  }
  l.thumbLength = s.page > 0 ? std::max(8, static_cast<int>(static_cast<long long>(track) * s.page / range))
                             : std::min(track, thickness);
  l.thumbLength = std::min(l.thumbLength, track);
  const int span = MaxPos(s) - s.min;
  l.thumbStart = l.arrow + (span > 0 ? static_cast<int>(static_cast<long long>(track - l.thumbLength) *
                                                        (s.pos - s.min) / span)
                                     : 0);
  return l;
}

}  // namespace

namespace user::detail {

void PaintScrollBar(HDC dc, const RECT& r, bool vertical, const ScrollState& s)
{
  RECT area = r;
  FillRect(dc, &area, GetSysColorBrush(COLOR_SCROLLBAR));
  const int length = vertical ? r.Height() : r.Width();
  const int thickness = vertical ? r.Width() : r.Height();
  Layout l = LayoutOf(s, length, thickness);
  auto part = [&](int from, int size) {
    return vertical ? RECT{r.left, r.top + from, r.right, r.top + from + size}
                    : RECT{r.left + from, r.top, r.left + from + size, r.bottom};
  };
  const UINT inactive = s.disabled ? DFCS_INACTIVE : 0u;
  RECT first = part(0, l.arrow);
  RECT last = part(length - l.arrow, l.arrow);
  DrawFrameControl(dc, &first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
  DrawFrameControl(dc, &last, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
  if (l.thumbLength > 0) {
    RECT thumb = part(l.thumbStart, l.thumbLength);
    FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
  }
}

void TrackScrollBar(HWND hwnd, int bar, POINT screen)
{
  // Where the bar lies on the screen, and who hears of it.
  RECT on{};
  ScrollState state;
  HWND notify = hwnd;
  LPARAM control = 0;
  bool vertical = bar == SB_VERT;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return;
    }
    POINT origin = ClientOrigin(*w);
    RECT client{origin.x, origin.y, origin.x + w->client.Width(), origin.y + w->client.Height()};
    if (bar == SB_CTL) {
      on = client;
      vertical = (w->style & SBS_VERT) != 0;
      notify = w->parent;
      control = reinterpret_cast<LPARAM>(hwnd);
      state = w->vScroll;
    } else if (bar == SB_VERT) {
      on = RECT{client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
      state = w->vScroll;
    } else {
      on = RECT{client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
      state = w->hScroll;
    }
  }
  const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
  const int length = vertical ? on.Height() : on.Width();
  const int thickness = vertical ? on.Width() : on.Height();
  Layout l = LayoutOf(state, length, thickness);
  const int at = vertical ? screen.y - on.top : screen.x - on.left;
  if (state.disabled) {
    return;
  }
  WORD code;
  if (at < l.arrow) {
    code = SB_LINEUP;
  } else if (at >= length - l.arrow) {
    code = SB_LINEDOWN;
  } else if (at < l.thumbStart) {
    code = SB_PAGEUP;
  } else if (at >= l.thumbStart + l.thumbLength) {
    code = SB_PAGEDOWN;
  } else {
    // The thumb: follow the mouse until the button comes up.
    SetCapture(hwnd);
    MSG msg{};
    const int grab = at - l.thumbStart;
    const int track = length - 2 * l.arrow - l.thumbLength;
    int pos = state.pos;
    while (GetCapture() == hwnd && GetMessage(&msg, nullptr, 0, 0)) {
      if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP || msg.message == WM_NCMOUSEMOVE ||
          msg.message == WM_NCLBUTTONUP) {
        const int now = (vertical ? msg.pt.y - on.top : msg.pt.x - on.left) - grab - l.arrow;
        const int span = MaxPos(state) - state.min;
        pos = state.min + (track > 0 ? static_cast<int>(static_cast<long long>(std::clamp(now, 0, track)) * span / track)
                                     : 0);
        {
          Lock lock(S().mutex);
          if (Window* w = Find(hwnd)) {
            (bar == SB_HORZ ? w->hScroll : w->vScroll).trackPos = pos;
          }
        }
        const bool up = msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP;
        SendMessage(notify, message, MAKEWPARAM(up ? SB_THUMBPOSITION : SB_THUMBTRACK, static_cast<unsigned>(pos)),
                    control);
        if (up) {
          break;
        }
        continue;
      }
      DispatchMessage(&msg);
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
    }
    if (GetCapture() == hwnd) {
      ReleaseCapture();
    }
    SendMessage(notify, message, SB_ENDSCROLL, control);
    return;
  }
  SendMessage(notify, message, code, control);
  SendMessage(notify, message, SB_ENDSCROLL, control);
}

}  // namespace user::detail

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw)
{
  if (info == nullptr) {
    return 0;
  }
  bool frameChange = false;
  int pos = 0;
  bool control = false;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    ScrollState* s = w != nullptr ? StateOf(*w, bar) : nullptr;
    if (s == nullptr) {
      return 0;
    }
    control = bar == SB_CTL;
    if ((info->fMask & SIF_RANGE) != 0) {
      s->min = info->nMin;
      s->max = std::max(info->nMin, info->nMax);
    }
    if ((info->fMask & SIF_PAGE) != 0) {
      s->page = std::min<UINT>(info->nPage, static_cast<UINT>(s->max - s->min + 1));
    }
    if ((info->fMask & SIF_POS) != 0) {
      s->pos = info->nPos;
    }
    s->pos = std::clamp(s->pos, s->min, MaxPos(*s));
    pos = s->pos;
    if (!control && (info->fMask & (SIF_RANGE | SIF_PAGE)) != 0) {
      // A window's bar shows while there is something to scroll, or stays, disabled, when asked to.
      const bool needed = s->max - s->min + 1 > static_cast<int>(s->page) && s->max > s->min;
      const bool keep = (info->fMask & SIF_DISABLENOSCROLL) != 0;
      s->disabled = !needed;
      const DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
      const bool shown = (w->style & flag) != 0;
      const bool show = needed || keep;
      if (show != shown) {
        w->style = show ? (w->style | flag) : (w->style & ~flag);
        frameChange = true;
      }
    }
  }
  if (frameChange) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else if (redraw) {
    RedrawWindow(hwnd, nullptr, nullptr, control ? RDW_INVALIDATE : (RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN));
  }
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info)
{
  if (info == nullptr) {
    return FALSE;
  }
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  ScrollState* s = w != nullptr ? StateOf(*w, bar) : nullptr;
  if (s == nullptr) {
    return FALSE;
  }
  if ((info->fMask & SIF_RANGE) != 0) {
    info->nMin = s->min;
    info->nMax = s->max;
  }
  if ((info->fMask & SIF_PAGE) != 0) {
    info->nPage = static_cast<UINT>(s->page);
  }
  if ((info->fMask & SIF_POS) != 0) {
    info->nPos = s->pos;
  }
  if ((info->fMask & SIF_TRACKPOS) != 0) {
    info->nTrackPos = s->trackPos;
  }
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
  int old = GetScrollPos(hwnd, bar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar)
{
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw)
{
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max)
{
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (!GetScrollInfo(hwnd, bar, &si)) {
    return FALSE;
  }
  if (min != nullptr) {
    *min = si.nMin;
  }
  if (max != nullptr) {
    *max = si.nMax;
  }
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show)
{
  DWORD flags = bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : bar == SB_BOTH ? WS_HSCROLL | WS_VSCROLL : 0;
  if (bar == SB_CTL) {
    return ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE) || TRUE;
  }
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return FALSE;
    }
    DWORD style = show ? (w->style | flags) : (w->style & ~flags);
    if (style == w->style) {
      return TRUE;
    }
    w->style = style;
  }
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows)
{
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return FALSE;
    }
    for (int b : {SB_HORZ, SB_VERT, SB_CTL}) {
      if (static_cast<UINT>(b) == bar || (bar == SB_BOTH && b != SB_CTL)) {
        if (ScrollState* s = StateOf(*w, b)) {
          s->disabled = arrows == ESB_DISABLE_BOTH;
        }
      }
    }
  }
  RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return TRUE;
}
