// The button control: push buttons, check boxes, radio buttons and group boxes.
#include "platform/user/controls_common.h"

using namespace user::detail;

namespace {

struct Button {
  WPARAM check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  HFONT font = nullptr;
};

DWORD TypeOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & BS_TYPEMASK; }

bool IsPush(DWORD type)
{
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON || type == BS_OWNERDRAW;
}

void Click(HWND hwnd)
{
  Button* b = ControlState<Button>(hwnd);
  const DWORD type = TypeOf(hwnd);
  if (type == BS_AUTOCHECKBOX) {
    b->check = b->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  } else if (type == BS_AUTO3STATE) {
    b->check = (b->check + 1) % 3;
  } else if (type == BS_AUTORADIOBUTTON) {
    // The others of its group are cleared: the siblings from the group's first control to the next group.
    HWND parent = GetParent(hwnd);
    HWND first = hwnd;
    for (HWND h = hwnd; h != nullptr; h = GetWindow(h, GW_HWNDPREV)) {
      first = h;
      if ((GetWindowLong(h, GWL_STYLE) & WS_GROUP) != 0) {
        break;
      }
    }
    for (HWND h = first; h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
      if (h != first && (GetWindowLong(h, GWL_STYLE) & WS_GROUP) != 0) {
        break;
      }
      if (h != hwnd && GetParent(h) == parent && TypeOf(h) == BS_AUTORADIOBUTTON) {
        SendMessage(h, BM_SETCHECK, BST_UNCHECKED, 0);
      }
    }
    b->check = BST_CHECKED;
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  NotifyParent(hwnd, BN_CLICKED);
}

void Paint(HWND hwnd, HDC dc)
{
  Button* b = ControlState<Button>(hwnd);
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  const DWORD type = style & BS_TYPEMASK;
  const bool enabled = IsWindowEnabled(hwnd) != 0;
  RECT r;
  GetClientRect(hwnd, &r);
  if (type == BS_OWNERDRAW) {
    DRAWITEMSTRUCT di{ODT_BUTTON,
                      static_cast<UINT>(GetDlgCtrlID(hwnd)),
                      0,
                      ODA_DRAWENTIRE,
                      (b->pushed ? ODS_SELECTED : 0u) | (b->focused ? ODS_FOCUS : 0u) | (enabled ? 0u : ODS_DISABLED),
                      hwnd,
                      dc,
                      r,
                      0};
    SendMessage(GetParent(hwnd), WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
    return;
  }
  HBRUSH background = ParentBrush(hwnd, dc, WM_CTLCOLORBTN);
  HGDIOBJ oldFont = SelectObject(dc, b->font != nullptr ? b->font : DefaultControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  std::string text = TextOf(hwnd);
  if (IsPush(type)) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    RECT edge = r;
    if (type == BS_DEFPUSHBUTTON) {
      FrameRect(dc, &edge, GetSysColorBrush(COLOR_WINDOWFRAME));
      edge = edge.Inflate(-1, -1);
    }
    DrawEdge(dc, &edge, b->pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT label = b->pushed ? r.Offset(1, 1) : r;
    DrawText(dc, text.c_str(), -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (b->focused) {
      RECT focus = r.Inflate(-4, -4);
      DrawFocusRect(dc, &focus);
    }
  } else if (type == BS_GROUPBOX) {
    FillRect(dc, &r, background);
    SIZE extent{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    RECT frame{r.left, r.top + extent.cy / 2, r.right, r.bottom};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    RECT label{r.left + 8, r.top, r.left + 8 + extent.cx + 4, r.top + extent.cy};
    FillRect(dc, &label, background);
    label = label.Offset(2, 0);
    DrawText(dc, text.c_str(), -1, &label, DT_LEFT | DT_SINGLELINE);
  } else {
    FillRect(dc, &r, background);
    const int box = 13;
    const int top = (r.Height() - box) / 2;
    const bool left = (style & BS_LEFTTEXT) == 0;
    RECT mark = left ? RECT{r.left, top, r.left + box, top + box} : RECT{r.right - box, top, r.right, top + box};
    const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    // An indeterminate box shows its tick greyed on a grey face.
    UINT state = (radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | (b->pushed ? DFCS_PUSHED : 0u) |
                 (b->check != BST_UNCHECKED ? DFCS_CHECKED : 0u) |
                 (!enabled || b->check == BST_INDETERMINATE ? DFCS_INACTIVE : 0u);
    RECT glyph = mark;
    DrawFrameControl(dc, &glyph, DFC_BUTTON, state);
    RECT label = left ? RECT{mark.right + 4, r.top, r.right, r.bottom} : RECT{r.left, r.top, mark.left - 4, r.bottom};
    DrawText(dc, text.c_str(), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (b->focused) {
      RECT focus = label.Inflate(1, -1);
      DrawFocusRect(dc, &focus);
    }
  }
  SelectObject(dc, oldFont);
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Button>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Button* b = ControlState<Button>(hwnd);
  if (b == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  const DWORD type = TypeOf(hwnd);
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST:
      // Clicks fall through a group box to the controls it frames.
      if (type == BS_GROUPBOX) {
        return HTTRANSPARENT;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) {
        return 0;
      }
      SetFocus(hwnd);
      SetCapture(hwnd);
      b->pushed = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd) {
        RECT r;
        GetClientRect(hwnd, &r);
        bool inside = r.Contains(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (inside != b->pushed) {
          b->pushed = inside;
          InvalidateRect(hwnd, nullptr, TRUE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) {
        const bool inside = b->pushed;
        b->pushed = false;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, TRUE);
        if (inside) {
          Click(hwnd);
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (b->pushed) {
        b->pushed = false;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) {
        b->pushed = true;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE && b->pushed) {
        b->pushed = false;
        Click(hwnd);
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      b->focused = msg == WM_SETFOCUS;
      if (msg == WM_KILLFOCUS && b->pushed) {
        b->pushed = false;
        if (GetCapture() == hwnd) {
          ReleaseCapture();
        }
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT:
    case WM_ENABLE: {
      LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      b->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(b->font);
    case WM_GETDLGCODE:
      if (type == BS_GROUPBOX) {
        return DLGC_STATIC;
      }
      if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
      }
      if (type == BS_DEFPUSHBUTTON) {
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      }
      if (IsPush(type)) {
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      }
      return DLGC_BUTTON;
    case BM_GETCHECK: return static_cast<LRESULT>(b->check);
    case BM_SETCHECK:
      if (b->check != wParam) {
        b->check = wParam;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case BM_GETSTATE:
      return static_cast<LRESULT>(b->check) | (b->pushed ? BST_PUSHED : 0) | (b->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      b->pushed = wParam != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case BM_SETSTYLE: {
      DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
      SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK)));
      if (LOWORD(lParam) != 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) {
        Click(hwnd);
      }
      return 0;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC ButtonWindowProc() { return &ButtonProc; }
}  // namespace user::detail
