// The static control, and the scroll bar control.
#include "platform/user/controls_common.h"
#include "platform/user/state.h"

using namespace user::detail;

namespace {

struct Static {
  HFONT font = nullptr;
  HANDLE image = nullptr;
};

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Static>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Static* st = ControlState<Static>(hwnd);
  if (st == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  const DWORD type = style & SS_TYPEMASK;
  switch (msg) {
    case WM_NCHITTEST:
      // Labels let the mouse through to what is under them, unless they want to hear of clicks.
      return (style & SS_NOTIFY) != 0 ? HTCLIENT : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
      NotifyParent(hwnd, STN_CLICKED);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      HBRUSH brush = ParentBrush(hwnd, dc, WM_CTLCOLORSTATIC);
      switch (type) {
        case SS_BLACKRECT: FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
        case SS_WHITERECT: FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW)); break;
        case SS_BLACKFRAME:
          FillRect(dc, &r, brush);
          FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
          break;
        case SS_ETCHEDHORZ:
        case SS_ETCHEDVERT:
        case SS_ETCHEDFRAME:
          FillRect(dc, &r, brush);
          DrawEdge(dc, &r, EDGE_ETCHED, type == SS_ETCHEDHORZ ? BF_TOP : type == SS_ETCHEDVERT ? BF_LEFT : BF_RECT);
          break;
        case SS_ICON:
          FillRect(dc, &r, brush);
          if (st->image != nullptr) {
            DrawIconEx(dc, 0, 0, static_cast<HICON>(st->image), 0, 0, 0, nullptr, DI_NORMAL);
          }
          break;
        case SS_BITMAP:
          FillRect(dc, &r, brush);
          if (st->image != nullptr) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, static_cast<HBITMAP>(st->image));
            BITMAP bm{};
            GetObject(static_cast<HBITMAP>(st->image), sizeof bm, &bm);
            BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
          }
          break;
        default: {
          FillRect(dc, &r, brush);
          HGDIOBJ oldFont = SelectObject(dc, st->font != nullptr ? st->font : DefaultControlFont());
          SetBkMode(dc, TRANSPARENT);
          if (!IsWindowEnabled(hwnd)) {
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
          }
          UINT format = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
          format |= (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) ? DT_SINGLELINE : DT_WORDBREAK;
          if ((style & SS_NOPREFIX) != 0) {
            format |= DT_NOPREFIX;
          }
          if ((style & SS_CENTERIMAGE) != 0) {
            format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
          }
          if ((style & SS_ENDELLIPSIS) != 0) {
            format |= DT_END_ELLIPSIS;
          }
          std::string text = TextOf(hwnd);
          DrawText(dc, text.c_str(), -1, &r, format);
          SelectObject(dc, oldFont);
          break;
        }
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETTEXT:
    case WM_ENABLE: {
      LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_GETDLGCODE: return DLGC_STATIC;
    case STM_SETICON:
    case STM_SETIMAGE: {
      HANDLE old = st->image;
      st->image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? wParam : static_cast<WPARAM>(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(st->image);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      ScrollState state;
      bool vertical = false;
      {
        Lock lock(S().mutex);
        if (Window* w = Find(hwnd)) {
          state = w->vScroll;
          vertical = (w->style & SBS_VERT) != 0;
        }
      }
      PaintScrollBar(dc, r, vertical, state);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &pt);
      TrackScrollBar(hwnd, SB_CTL, pt);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC StaticWindowProc() { return &StaticProc; }
WNDPROC ScrollBarWindowProc() { return &ScrollBarProc; }
}  // namespace user::detail
