// The up-down control: two arrows that step a number, shown in a buddy window when asked to.
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace user::detail;

namespace {

struct UpDown {
  int low = 100;  // the control's own default range runs downwards
  int high = 0;
  int pos = 0;
  HWND buddy = nullptr;
  int pressed = 0;  // 1 the up (or left) arrow, 2 the other, while the button is held
};

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 400;  // ms before a held arrow starts repeating
constexpr UINT kRepeat = 100;

// Which arrow a client point lies on: 1 the first (top or left), 2 the second, 0 none.
int ArrowAt(HWND hwnd, POINT pt)
{
  RECT r;
  GetClientRect(hwnd, &r);
  if (!r.Contains(pt)) {
    return 0;
  }
  const bool horizontal = (GetWindowLong(hwnd, GWL_STYLE) & UDS_HORZ) != 0;
  return (horizontal ? pt.x < r.Width() / 2 : pt.y < r.Height() / 2) ? 1 : 2;
}

void Release(HWND hwnd, UpDown& u)
{
  if (u.pressed != 0) {
    u.pressed = 0;
    KillTimer(hwnd, kRepeatTimer);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

void ShowInBuddy(HWND hwnd, const UpDown& u)
{
  if (u.buddy != nullptr && (StyleOf(hwnd) & UDS_SETBUDDYINT) != 0) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", u.pos);
    SetWindowText(u.buddy, text);
  }
}

// The buddy's number, when it shows one, is where a step starts from.
void ReadBuddy(UpDown& u, HWND hwnd)
{
  if (u.buddy == nullptr || (StyleOf(hwnd) & UDS_SETBUDDYINT) == 0) {
    return;
  }
  std::string text = TextOf(u.buddy);
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (end != text.c_str()) {
    u.pos = static_cast<int>(v);
  }
}

void Step(HWND hwnd, UpDown& u, int direction)
{
  ReadBuddy(u, hwnd);
  // Up moves towards `high`, whichever way round the range is.
  const int delta = u.high >= u.low ? direction : -direction;
  NMUPDOWN nm{};
  nm.hdr = NMHDR{hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), UDN_DELTAPOS};
  nm.iPos = u.pos;
  nm.iDelta = delta;
  HWND parent = GetParent(hwnd);
  if (parent != nullptr && SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)) != 0) {
    return;  // refused
  }
  const int lo = std::min(u.low, u.high);
  const int hi = std::max(u.low, u.high);
  int next = u.pos + nm.iDelta;
  if (next < lo || next > hi) {
    next = (StyleOf(hwnd) & UDS_WRAP) != 0 ? (next < lo ? hi : lo) : std::clamp(next, lo, hi);
  }
  u.pos = next;
  ShowInBuddy(hwnd, u);
  if (parent != nullptr) {
    const UINT message = (StyleOf(hwnd) & UDS_HORZ) != 0 ? WM_HSCROLL : WM_VSCROLL;
    SendMessage(parent, message, MAKEWPARAM(SB_THUMBPOSITION, static_cast<unsigned>(u.pos)),
                reinterpret_cast<LPARAM>(hwnd));
    SendMessage(parent, message, MAKEWPARAM(SB_ENDSCROLL, static_cast<unsigned>(u.pos)), reinterpret_cast<LPARAM>(hwnd));
  }
}

LRESULT UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<UpDown>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  UpDown* u = ControlState<UpDown>(hwnd);
  if (u == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_CREATE:
      if ((StyleOf(hwnd) & UDS_AUTOBUDDY) != 0) {
        u->buddy = GetWindow(hwnd, GW_HWNDPREV);
      }
      return 0;
    case UDM_SETRANGE:
      u->high = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
      u->low = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
      return 0;
    case UDM_GETRANGE: return MAKELONG(static_cast<unsigned>(u->high), static_cast<unsigned>(u->low));
    case UDM_SETRANGE32:
      u->low = static_cast<int>(wParam);
      u->high = static_cast<int>(lParam);
      return 0;
    case UDM_GETRANGE32:
      if (wParam != 0) {
        *reinterpret_cast<int*>(wParam) = u->low;
      }
      if (lParam != 0) {
        *reinterpret_cast<int*>(lParam) = u->high;
      }
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int old = u->pos;
      u->pos = msg == UDM_SETPOS ? static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam))) : static_cast<int>(lParam);
      u->pos = std::clamp(u->pos, std::min(u->low, u->high), std::max(u->low, u->high));
      ShowInBuddy(hwnd, *u);
      return old;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32:
      ReadBuddy(*u, hwnd);
      return msg == UDM_GETPOS ? static_cast<LRESULT>(static_cast<WORD>(u->pos)) : u->pos;
    case UDM_SETBUDDY: {
      HWND old = u->buddy;
      u->buddy = reinterpret_cast<HWND>(wParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(u->buddy);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {  // quick presses are presses each
      const int arrow = ArrowAt(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (arrow == 0) {
        return 0;
      }
      u->pressed = arrow;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      const bool horizontal = (StyleOf(hwnd) & UDS_HORZ) != 0;
      // The upper (or right) arrow steps up.
      const int direction = horizontal ? (arrow == 1 ? -1 : 1) : (arrow == 1 ? 1 : -1);
      Step(hwnd, *u, direction);
      SetTimer(hwnd, kRepeatTimer, kFirstRepeat, nullptr);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kRepeatTimer && u->pressed != 0) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        // A held arrow repeats only while the pointer stays on it.
        if (ArrowAt(hwnd, pt) == u->pressed) {
          const bool horizontal = (StyleOf(hwnd) & UDS_HORZ) != 0;
          Step(hwnd, *u, horizontal ? (u->pressed == 1 ? -1 : 1) : (u->pressed == 1 ? 1 : -1));
        }
        SetTimer(hwnd, kRepeatTimer, kRepeat, nullptr);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) {
        ReleaseCapture();
      }
      Release(hwnd, *u);
      return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      Release(hwnd, *u);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, kRepeatTimer);
      break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      const bool horizontal = (StyleOf(hwnd) & UDS_HORZ) != 0;
      RECT a = horizontal ? RECT{r.left, r.top, r.left + r.Width() / 2, r.bottom}
                          : RECT{r.left, r.top, r.right, r.top + r.Height() / 2};
      RECT b = horizontal ? RECT{a.right, r.top, r.right, r.bottom} : RECT{r.left, a.bottom, r.right, r.bottom};
      const UINT inactive = IsWindowEnabled(hwnd) ? 0u : DFCS_INACTIVE;
      DrawFrameControl(dc, &a, DFC_SCROLL, (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | inactive |
                                               (u->pressed == 1 ? DFCS_PUSHED : 0u));
      DrawFrameControl(dc, &b, DFC_SCROLL, (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | inactive |
                                               (u->pressed == 2 ? DFCS_PUSHED : 0u));
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC UpDownWindowProc() { return &UpDownProc; }
}  // namespace user::detail
