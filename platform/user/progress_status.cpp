// The progress bar and the status bar.
#include "platform/base/module.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace user::detail;

namespace {

struct Progress {
  int low = 0;
  int high = 100;
  int pos = 0;
  int step = 10;
  COLORREF bar = CLR_INVALID;
  COLORREF background = CLR_INVALID;
};

LRESULT ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Progress>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Progress* p = ControlState<Progress>(hwnd);
  if (p == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  auto moveTo = [&](int pos) {
    int old = p->pos;
    p->pos = std::clamp(pos, p->low, std::max(p->low, p->high));
    if (p->pos != old) {
      InvalidateRect(hwnd, nullptr, TRUE);
    }
    return old;
  };
  switch (msg) {
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
      LRESULT old = MAKELONG(static_cast<unsigned>(p->low), static_cast<unsigned>(p->high));
      if (msg == PBM_SETRANGE) {
        p->low = LOWORD(static_cast<DWORD>(lParam));
        p->high = HIWORD(static_cast<DWORD>(lParam));
      } else {
        p->low = static_cast<int>(wParam);
        p->high = static_cast<int>(lParam);
      }
      moveTo(p->pos);
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case PBM_SETPOS: return moveTo(static_cast<int>(wParam));
    case PBM_DELTAPOS: return moveTo(p->pos + static_cast<int>(wParam));
    case PBM_SETSTEP: {
      int old = p->step;
      p->step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT: {
      int next = p->pos + p->step;
      if (next > p->high) {
        next = p->low + (next - p->high);  // it wraps round, as the control does
      }
      return moveTo(next);
    }
    case PBM_GETPOS: return p->pos;
    case PBM_GETRANGE:
      if (lParam != 0) {
        *reinterpret_cast<PBRANGE*>(lParam) = PBRANGE{p->low, p->high};
      }
      return wParam != 0 ? p->low : p->high;
    case PBM_SETBARCOLOR: {
      COLORREF old = p->bar;
      p->bar = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    case PBM_SETBKCOLOR: {
      COLORREF old = p->background;
      p->background = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      HBRUSH back = p->background == CLR_INVALID ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(p->background);
      FillRect(dc, &r, back);
      const int span = std::max(1, p->high - p->low);
      RECT done = r.Inflate(-1, -1);
      done.right = done.left + static_cast<int>(static_cast<long long>(done.Width()) * (p->pos - p->low) / span);
      HBRUSH bar = p->bar == CLR_INVALID ? GetSysColorBrush(COLOR_HIGHLIGHT) : CreateSolidBrush(p->bar);
      FillRect(dc, &done, bar);
      if (p->bar != CLR_INVALID) {
        DeleteObject(bar);
      }
      if (p->background != CLR_INVALID) {
        DeleteObject(back);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

struct StatusBar {
  std::vector<int> parts{-1};
  std::vector<std::string> texts{std::string()};
  std::vector<UINT> kinds{0};
  bool simple = false;
  std::string simpleText;
  int minHeight = 0;
  HFONT font = nullptr;
};

// The bar sits along the bottom of its parent, as wide as the parent's client area.
void Dock(HWND hwnd, const StatusBar& s)
{
  HWND parent = GetParent(hwnd);
  if (parent == nullptr) {
    return;
  }
  RECT client;
  GetClientRect(parent, &client);
  const int height = std::max(s.minHeight, 20);
  SetWindowPos(hwnd, nullptr, 0, client.bottom - height, client.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT PartRect(HWND hwnd, const StatusBar& s, std::size_t i)
{
  RECT client;
  GetClientRect(hwnd, &client);
  int left = i == 0 ? 0 : s.parts[i - 1];
  int right = s.parts[i] < 0 ? client.right : s.parts[i];
  return RECT{left, client.top + 2, std::min<int>(right, client.right), client.bottom};
}

LRESULT StatusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<StatusBar>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  StatusBar* s = ControlState<StatusBar>(hwnd);
  if (s == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  const std::size_t part = static_cast<std::size_t>(LOBYTE(wParam));
  switch (msg) {
    case WM_CREATE: Dock(hwnd, *s); return 0;
    case WM_SIZE:
      if (GetParent(hwnd) != nullptr && LOWORD(lParam) == 0 && HIWORD(lParam) == 0) {
        Dock(hwnd, *s);
      }
      return 0;
    case SB_SETPARTS: {
      const int n = std::clamp(static_cast<int>(wParam), 1, 256);
      const auto* widths = reinterpret_cast<const int*>(lParam);
      if (widths == nullptr) {
        return FALSE;
      }
      s->parts.assign(widths, widths + n);
      s->texts.resize(static_cast<std::size_t>(n));
      s->kinds.resize(static_cast<std::size_t>(n));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETPARTS: {
      auto* out = reinterpret_cast<int*>(lParam);
      for (std::size_t i = 0; out != nullptr && i < s->parts.size() && i < wParam; ++i) {
        out[i] = s->parts[i];
      }
      return static_cast<LRESULT>(s->parts.size());
    }
    case SB_SETTEXT: {
      const char* text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      if (LOBYTE(wParam) == 0xFF || s->simple) {
        s->simpleText = text;
      } else if (part < s->texts.size()) {
        s->texts[part] = text;
        s->kinds[part] = static_cast<UINT>(wParam) & 0xFF00;
      } else {
        return FALSE;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETTEXT:
    case SB_GETTEXTLENGTH: {
      const std::string& text = s->simple ? s->simpleText : part < s->texts.size() ? s->texts[part] : s->simpleText;
      if (msg == SB_GETTEXT && lParam != 0) {
        std::strcpy(reinterpret_cast<char*>(lParam), text.c_str());
      }
      return MAKELONG(static_cast<unsigned>(text.size()), part < s->kinds.size() ? s->kinds[part] : 0);
    }
    case WM_SETTEXT:
      if (!s->texts.empty()) {
        s->texts[0] = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case SB_SIMPLE:
      s->simple = wParam != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case SB_ISSIMPLE: return s->simple ? TRUE : FALSE;
    case SB_SETMINHEIGHT: s->minHeight = static_cast<int>(wParam); return 0;
    case SB_GETBORDERS: {
      auto* out = reinterpret_cast<int*>(lParam);
      out[0] = 0;
      out[1] = 2;
      out[2] = 2;
      return TRUE;
    }
    case SB_GETRECT:
      if (part >= s->parts.size()) {
        return FALSE;
      }
      *reinterpret_cast<RECT*>(lParam) = PartRect(hwnd, *s, part);
      return TRUE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
      HGDIOBJ old = SelectObject(dc, s->font != nullptr ? s->font : DefaultControlFont());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      const std::size_t count = s->simple ? 1 : s->parts.size();
      for (std::size_t i = 0; i < count; ++i) {
        RECT r = s->simple ? RECT{0, client.top + 2, client.right, client.bottom} : PartRect(hwnd, *s, i);
        UINT kind = s->simple ? 0 : s->kinds[i];
        if ((kind & SBT_NOBORDERS) == 0) {
          RECT edge = r;
          DrawEdge(dc, &edge, (kind & SBT_POPOUT) != 0 ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
        }
        RECT text = r.Inflate(-3, 0);
        const std::string& t = s->simple ? s->simpleText : s->texts[i];
        DrawText(dc, t.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
      SelectObject(dc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFONT: s->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_NCHITTEST: return HTCLIENT;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC ProgressWindowProc() { return &ProgressProc; }
WNDPROC StatusBarWindowProc() { return &StatusProc; }
}  // namespace user::detail

void InitCommonControls() { user::RegisterStandardControls(); }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX*)
{
  user::RegisterStandardControls();
  return TRUE;
}

HRESULT DllGetVersion(DLLVERSIONINFO* info)
{
  if (info == nullptr || info->cbSize != sizeof(DLLVERSIONINFO)) {
    return E_INVALIDARG;
  }
  info->dwMajorVersion = 6;
  info->dwMinorVersion = 0;
  info->dwBuildNumber = 2900;
  info->dwPlatformID = DLLVER_PLATFORM_NT;
  return S_OK;
}

namespace {
BOOL InitCommonControlsExport(const INITCOMMONCONTROLSEX* init) { return InitCommonControlsEx(init); }
void InitCommonControlsPlain() { InitCommonControls(); }
}  // namespace

namespace user {
void RegisterCommonControlsModule()
{
  platform::RegisterModule("comctl32", {{"DllGetVersion", reinterpret_cast<void*>(&DllGetVersion)},
                                        {"InitCommonControls", reinterpret_cast<void*>(&InitCommonControlsPlain)},
                                        {"InitCommonControlsEx", reinterpret_cast<void*>(&InitCommonControlsExport)}});
}
}  // namespace user

namespace {
// The program asks the module for its version in its own static initialisers, so the module must be there
// before any of them runs: a prioritised initialiser runs ahead of every ordinary one. RegisterModule's table is
// built on first use, so the order among prioritised ones does not matter.
struct CommonControlsModule {
  CommonControlsModule() { user::RegisterCommonControlsModule(); }
};
__attribute__((init_priority(1000))) const CommonControlsModule g_commonControlsModule;
}  // namespace
