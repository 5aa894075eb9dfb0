// The tooltip control: tools (a window or a rectangle of one) and the tip that shows over them after a pause
// of the mouse, on the clock in force.
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace user::detail;

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kHideTimer = 2;

struct Tool {
  TOOLINFO info;
  std::string text;  // when not asked for
};

struct Tips {
  std::vector<Tool> tools;
  bool active = true;
  int current = -1;  // the tool under the mouse
  bool shown = false;
  bool tracking = false;
  POINT trackAt{};
  UINT initialMs = 500;
  UINT autoPopMs = 5000;
  int maxWidth = -1;
  std::string title;
  COLORREF background = CLR_INVALID;
  COLORREF textColor = CLR_INVALID;
  HFONT font = nullptr;
};

bool SameTool(const TOOLINFO& a, const TOOLINFO& b) { return a.hwnd == b.hwnd && a.uId == b.uId; }

int FindTool(const Tips& t, const TOOLINFO& key)
{
  for (std::size_t i = 0; i < t.tools.size(); ++i) {
    if (SameTool(t.tools[i].info, key)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

// The tool under a screen point: a window tool when the point is over that window, a rectangle tool when it is in
// the rectangle of its window's client area.
int ToolAt(HWND tip, const Tips& t, POINT screen)
{
  HWND under = reinterpret_cast<HWND>(SendMessage(tip, TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&screen)));
  for (std::size_t i = 0; i < t.tools.size(); ++i) {
    const TOOLINFO& ti = t.tools[i].info;
    if ((ti.uFlags & TTF_IDISHWND) != 0) {
      if (reinterpret_cast<HWND>(ti.uId) == under) {
        return static_cast<int>(i);
      }
      continue;
    }
    if (ti.hwnd != under) {
      continue;
    }
    POINT local = screen;
    ScreenToClient(ti.hwnd, &local);
    if (ti.rect.Contains(local)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string TextOfTool(HWND tip, Tips& t, int index)
{
  Tool& tool = t.tools[static_cast<std::size_t>(index)];
  if (tool.info.lpszText != LPSTR_TEXTCALLBACK) {
    return tool.text;
  }
  NMTTDISPINFO di{};
  di.hdr.hwndFrom = tip;
  di.hdr.idFrom = tool.info.uId;
  di.hdr.code = TTN_GETDISPINFO;
  di.uFlags = tool.info.uFlags;
  di.lParam = tool.info.lParam;
  HWND owner = tool.info.hwnd != nullptr ? tool.info.hwnd : GetParent(tip);
  SendMessage(owner, WM_NOTIFY, tool.info.uId, reinterpret_cast<LPARAM>(&di));
  if (di.lpszText == nullptr || di.lpszText == LPSTR_TEXTCALLBACK) {
    return di.szText;
  }
  return IS_INTRESOURCE(di.lpszText) ? std::string() : std::string(di.lpszText);
}

void Notify(HWND tip, Tips& t, UINT code)
{
  if (t.current < 0) {
    return;
  }
  const TOOLINFO& ti = t.tools[static_cast<std::size_t>(t.current)].info;
  NMHDR hdr{tip, ti.uId, code};
  HWND owner = ti.hwnd != nullptr ? ti.hwnd : GetParent(tip);
  if (owner != nullptr) {
    SendMessage(owner, WM_NOTIFY, ti.uId, reinterpret_cast<LPARAM>(&hdr));
  }
}

void Hide(HWND tip, Tips& t)
{
  KillTimer(tip, kShowTimer);
  KillTimer(tip, kHideTimer);
  if (t.shown) {
    t.shown = false;
    ShowWindow(tip, SW_HIDE);
    Notify(tip, t, TTN_POP);
  }
}

void Show(HWND tip, Tips& t, POINT at)
{
  if (t.current < 0) {
    return;
  }
  std::string text = TextOfTool(tip, t, t.current);
  if (text.empty()) {
    return;
  }
  SetWindowText(tip, text.c_str());
  HDC dc = GetDC(tip);
  HGDIOBJ old = SelectObject(dc, t.font != nullptr ? t.font : DefaultControlFont());
  RECT r{0, 0, t.maxWidth > 0 ? t.maxWidth : 4000, 0};
  DrawText(dc, text.c_str(), -1, &r, DT_CALCRECT | (t.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
  int titleHeight = 0;
  if (!t.title.empty()) {
    RECT tr{0, 0, 4000, 0};
    DrawText(dc, t.title.c_str(), -1, &tr, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    titleHeight = tr.Height() + 2;
    r.right = std::max(r.right, tr.right);
  }
  SelectObject(dc, old);
  ReleaseDC(tip, dc);
  SetWindowPos(tip, HWND_TOPMOST, at.x, at.y, r.Width() + 8, r.Height() + titleHeight + 6,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  t.shown = true;
  Notify(tip, t, TTN_SHOW);
  if (!t.tracking) {
    SetTimer(tip, kHideTimer, t.autoPopMs, nullptr);
  }
}

LRESULT TipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Tips>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Tips* t = ControlState<Tips>(hwnd);
  if (t == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  auto* info = reinterpret_cast<TOOLINFO*>(lParam);
  switch (msg) {
    case TTM_ADDTOOL: {
      if (info == nullptr) {
        return FALSE;
      }
      Tool tool{*info, {}};
      if (info->lpszText != nullptr && info->lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(info->lpszText)) {
        tool.text = info->lpszText;
      }
      t->tools.push_back(tool);
      return TRUE;
    }
    case TTM_DELTOOL: {
      int i = info != nullptr ? FindTool(*t, *info) : -1;
      if (i >= 0) {
        if (i == t->current) {
          Hide(hwnd, *t);
          t->current = -1;
        } else if (i < t->current) {
          --t->current;
        }
        t->tools.erase(t->tools.begin() + i);
      }
      return 0;
    }
    case TTM_NEWTOOLRECT:
    case TTM_SETTOOLINFO:
    case TTM_UPDATETIPTEXT: {
      int i = info != nullptr ? FindTool(*t, *info) : -1;
      if (i < 0) {
        return 0;
      }
      Tool& tool = t->tools[static_cast<std::size_t>(i)];
      if (msg == TTM_NEWTOOLRECT) {
        tool.info.rect = info->rect;
      } else {
        if (msg == TTM_SETTOOLINFO) {
          tool.info = *info;
        }
        tool.info.lpszText = info->lpszText;
        tool.text = info->lpszText != nullptr && info->lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(info->lpszText)
                        ? std::string(info->lpszText)
                        : std::string();
        if (i == t->current && t->shown) {
          SetWindowText(hwnd, TextOfTool(hwnd, *t, i).c_str());
          InvalidateRect(hwnd, nullptr, TRUE);
        }
      }
      return 0;
    }
    case TTM_GETTOOLINFO: {
      int i = info != nullptr ? FindTool(*t, *info) : -1;
      if (i < 0) {
        return FALSE;
      }
      LPSTR buffer = info->lpszText;
      *info = t->tools[static_cast<std::size_t>(i)].info;
      if (buffer != nullptr && buffer != LPSTR_TEXTCALLBACK) {
        std::strcpy(buffer, t->tools[static_cast<std::size_t>(i)].text.c_str());
        info->lpszText = buffer;
      }
      return TRUE;
    }
    case TTM_GETTEXT: {
      int i = info != nullptr ? FindTool(*t, *info) : -1;
      if (i >= 0 && info->lpszText != nullptr) {
        std::strcpy(info->lpszText, TextOfTool(hwnd, *t, i).c_str());
      }
      return 0;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(t->tools.size());
    case TTM_GETCURRENTTOOL:
      if (t->current < 0 || !t->shown) {
        return FALSE;
      }
      if (info != nullptr) {
        *info = t->tools[static_cast<std::size_t>(t->current)].info;
      }
      return TRUE;
    case TTM_HITTEST: {
      auto* hit = reinterpret_cast<TTHITTESTINFO*>(lParam);
      POINT screen = hit->pt;
      ClientToScreen(hit->hwnd, &screen);
      int i = ToolAt(hwnd, *t, screen);
      if (i < 0) {
        return FALSE;
      }
      hit->ti = t->tools[static_cast<std::size_t>(i)].info;
      return TRUE;
    }
    case TTM_WINDOWFROMPOINT: return reinterpret_cast<LRESULT>(WindowFromPoint(*reinterpret_cast<POINT*>(lParam)));
    case TTM_ACTIVATE:
      t->active = wParam != 0;
      if (!t->active) {
        Hide(hwnd, *t);
      }
      return 0;
    case TTM_RELAYEVENT: {
      auto* m = reinterpret_cast<const MSG*>(lParam);
      if (m == nullptr || !t->active || t->tracking) {
        return 0;
      }
      if (m->message == WM_MOUSEMOVE || m->message == WM_NCMOUSEMOVE) {
        POINT screen = m->pt;
        int i = ToolAt(hwnd, *t, screen);
        if (i != t->current) {
          Hide(hwnd, *t);
          t->current = i;
          if (i >= 0) {
            SetTimer(hwnd, kShowTimer, t->initialMs, nullptr);
          }
        }
      } else if (m->message == WM_LBUTTONDOWN || m->message == WM_RBUTTONDOWN || m->message == WM_MBUTTONDOWN ||
                 m->message == WM_LBUTTONUP || m->message == WM_RBUTTONUP || m->message == WM_MBUTTONUP) {
        Hide(hwnd, *t);
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kShowTimer) {
        KillTimer(hwnd, kShowTimer);
        POINT at;
        GetCursorPos(&at);
        Show(hwnd, *t, POINT{at.x, at.y + 20});
      } else if (wParam == kHideTimer) {
        Hide(hwnd, *t);
      }
      return 0;
    case TTM_POP: Hide(hwnd, *t); return 0;
    case TTM_POPUP: {
      POINT at;
      GetCursorPos(&at);
      if (t->current < 0 && !t->tools.empty()) {
        t->current = 0;
      }
      Show(hwnd, *t, POINT{at.x, at.y + 20});
      return TRUE;
    }
    case TTM_TRACKACTIVATE: {
      int i = info != nullptr ? FindTool(*t, *info) : -1;
      t->tracking = wParam != 0 && i >= 0;
      if (t->tracking) {
        t->current = i;
        Show(hwnd, *t, t->trackAt);
      } else {
        Hide(hwnd, *t);
      }
      return 0;
    }
    case TTM_TRACKPOSITION:
      t->trackAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (t->tracking && t->shown) {
        SetWindowPos(hwnd, nullptr, t->trackAt.x, t->trackAt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case TTM_SETDELAYTIME: {
      const int ms = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
      if (wParam == TTDT_INITIAL || wParam == TTDT_AUTOMATIC) {
        t->initialMs = ms < 0 ? 500 : static_cast<UINT>(ms);
      }
      if (wParam == TTDT_AUTOPOP || wParam == TTDT_AUTOMATIC) {
        t->autoPopMs = ms < 0 ? 5000 : static_cast<UINT>(wParam == TTDT_AUTOMATIC ? ms * 10 : ms);
      }
      return 0;
    }
    case TTM_GETDELAYTIME: return wParam == TTDT_AUTOPOP ? t->autoPopMs : t->initialMs;
    case TTM_SETMAXTIPWIDTH: {
      int old = t->maxWidth;
      t->maxWidth = static_cast<int>(lParam);
      return old;
    }
    case TTM_GETMAXTIPWIDTH: return t->maxWidth;
    case TTM_SETTITLE:
      t->title = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case TTM_SETTIPBKCOLOR: t->background = static_cast<COLORREF>(wParam); return 0;
    case TTM_SETTIPTEXTCOLOR: t->textColor = static_cast<COLORREF>(wParam); return 0;
    case TTM_SETMARGIN:
    case TTM_UPDATE: return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      HBRUSH back = t->background == CLR_INVALID ? GetSysColorBrush(COLOR_INFOBK) : CreateSolidBrush(t->background);
      FillRect(dc, &r, back);
      if (t->background != CLR_INVALID) {
        DeleteObject(back);
      }
      FrameRect(dc, &r, GetSysColorBrush(COLOR_INFOTEXT));
      HGDIOBJ old = SelectObject(dc, t->font != nullptr ? t->font : DefaultControlFont());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, t->textColor == CLR_INVALID ? GetSysColor(COLOR_INFOTEXT) : t->textColor);
      RECT text = r.Inflate(-4, -3);
      if (!t->title.empty()) {
        DrawText(dc, t->title.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX);
        RECT tr{0, 0, 4000, 0};
        DrawText(dc, t->title.c_str(), -1, &tr, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        text.top += tr.Height() + 2;
      }
      std::string body = TextOf(hwnd);
      DrawText(dc, body.c_str(), -1, &text, (t->maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFONT: t->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t->font);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC TooltipWindowProc() { return &TipProc; }
}  // namespace user::detail
