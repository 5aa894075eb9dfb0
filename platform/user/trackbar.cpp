// The trackbar: a thumb that slides along a channel over a range of positions, moved by the program, the
// keyboard and the mouse; every move the user makes is told to the parent as WM_HSCROLL (WM_VSCROLL when
// vertical) with a TB_* code.
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"

#include <algorithm>
#include <set>
#include <vector>

using namespace user::detail;

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kRepeatDelayMs = 400;
constexpr UINT kRepeatMs = 100;
constexpr int kThumbWidth = 11;     // along the channel
constexpr int kThumbLength = 20;    // across it, unless TBS_FIXEDLENGTH sets another
constexpr int kChannelMargin = 8;   // the channel's ends stand in from the window's edges

struct Trackbar {
  int low = 0;
  int high = 100;
  int pos = 0;
  int lineSize = 1;
  int pageSize = 20;
  int ticFrequency = 1;
  std::set<int> tics;  // set by the program; the ends carry tics of their own
  std::vector<int> ticArray;
  int selStart = 0;
  int selEnd = 0;
  int thumbLength = kThumbLength;
  HWND buddyLeft = nullptr;
  HWND buddyRight = nullptr;
  bool focused = false;
  // A held button: on the thumb it drags, elsewhere it pages towards the point.
  bool dragging = false;
  int dragOffset = 0;
  bool paging = false;
  WORD pageCode = 0;
  POINT pagePoint{};
};

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }
bool Vertical(HWND hwnd) { return (StyleOf(hwnd) & TBS_VERT) != 0; }

// The channel: a thin sunken groove; positions map linearly onto [left, right) of it (top to bottom when
// vertical).
RECT ChannelRect(HWND hwnd, const Trackbar& t)
{
  RECT client;
  GetClientRect(hwnd, &client);
  const DWORD style = StyleOf(hwnd);
  const bool ticsBefore = (style & (TBS_TOP | TBS_BOTH)) != 0 && (style & TBS_NOTICKS) == 0;
  const int across = ticsBefore ? 8 + t.thumbLength / 2 : t.thumbLength / 2 + 2;
  // Wide enough to show a selection inside its sunken edge when it can have one.
  const int half = (style & TBS_ENABLESELRANGE) != 0 ? 4 : 2;
  if ((style & TBS_VERT) != 0) {
    return RECT{across - half, kChannelMargin, across + half,
                std::max<LONG>(kChannelMargin + 1, client.bottom - kChannelMargin)};
  }
  return RECT{kChannelMargin, across - half, std::max<LONG>(kChannelMargin + 1, client.right - kChannelMargin),
              across + half};
}

int Span(HWND hwnd, const RECT& channel) { return Vertical(hwnd) ? channel.Height() : channel.Width(); }

int PixelOf(HWND hwnd, const Trackbar& t, int pos)
{
  RECT channel = ChannelRect(hwnd, t);
  const int start = Vertical(hwnd) ? channel.top : channel.left;
  if (t.high <= t.low) {
    return start;
  }
  const long offset = static_cast<long>(pos - t.low) * Span(hwnd, channel) / (t.high - t.low);
  return start + static_cast<int>(offset);
}

int PositionAt(HWND hwnd, const Trackbar& t, int pixel)
{
  RECT channel = ChannelRect(hwnd, t);
  const int start = Vertical(hwnd) ? channel.top : channel.left;
  const int span = std::max(1, Span(hwnd, channel));
  const long along = std::clamp(pixel - start, 0, span);
  // Rounded to the nearest position.
  const long pos = t.low + (along * (t.high - t.low) + span / 2) / span;
  return std::clamp(static_cast<int>(pos), t.low, std::max(t.low, t.high));
}

RECT ThumbRect(HWND hwnd, const Trackbar& t)
{
  RECT channel = ChannelRect(hwnd, t);
  const int at = PixelOf(hwnd, t, t.pos);
  if (Vertical(hwnd)) {
    const int mid = (channel.left + channel.right) / 2;
    return RECT{mid - t.thumbLength / 2, at - kThumbWidth / 2, mid - t.thumbLength / 2 + t.thumbLength,
                at - kThumbWidth / 2 + kThumbWidth};
  }
  const int mid = (channel.top + channel.bottom) / 2;
  return RECT{at - kThumbWidth / 2, mid - t.thumbLength / 2, at - kThumbWidth / 2 + kThumbWidth,
              mid - t.thumbLength / 2 + t.thumbLength};
}

int Clamp(const Trackbar& t, int pos) { return std::clamp(pos, t.low, std::max(t.low, t.high)); }

void Notify(HWND hwnd, const Trackbar& t, WORD code)
{
  HWND parent = GetParent(hwnd);
  if (parent == nullptr) {
    return;
  }
  const WORD where = code == TB_THUMBPOSITION || code == TB_THUMBTRACK ? static_cast<WORD>(t.pos) : 0;
  SendMessage(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, where),
              reinterpret_cast<LPARAM>(hwnd));
}

// Moves by the user's action; answers whether the thumb moved. Nothing is told when it could not move.
bool MoveBy(HWND hwnd, Trackbar& t, WORD code)
{
  int next = t.pos;
  switch (code) {
    case TB_LINEUP: next -= t.lineSize; break;
    case TB_LINEDOWN: next += t.lineSize; break;
    case TB_PAGEUP: next -= t.pageSize; break;
    case TB_PAGEDOWN: next += t.pageSize; break;
    case TB_TOP: next = t.low; break;
    case TB_BOTTOM: next = t.high; break;
    default: return false;
  }
  next = Clamp(t, next);
  if (next == t.pos) {
    return false;
  }
  t.pos = next;
  InvalidateRect(hwnd, nullptr, TRUE);
  Notify(hwnd, t, code);
  return true;
}

std::vector<int> AllTics(HWND hwnd, const Trackbar& t)
{
  std::vector<int> out;
  if ((StyleOf(hwnd) & TBS_NOTICKS) != 0) {
    return out;
  }
  out.assign(t.tics.begin(), t.tics.end());
  if ((StyleOf(hwnd) & TBS_AUTOTICKS) != 0 && t.ticFrequency > 0) {
    for (int p = t.low + t.ticFrequency; p < t.high; p += t.ticFrequency) {
      out.push_back(p);
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  out.erase(std::remove_if(out.begin(), out.end(), [&](int p) { return p <= t.low || p >= t.high; }), out.end());
  return out;
}

// A page step the held button repeats: towards the point, until the thumb reaches it.
void PageTowards(HWND hwnd, Trackbar& t)
{
  RECT thumb = ThumbRect(hwnd, t);
  if (thumb.Contains(t.pagePoint)) {
    return;
  }
  const int at = Vertical(hwnd) ? t.pagePoint.y : t.pagePoint.x;
  const int thumbStart = Vertical(hwnd) ? thumb.top : thumb.left;
  const WORD code = at < thumbStart ? TB_PAGEUP : TB_PAGEDOWN;
  if (code != t.pageCode) {
    return;  // the thumb has passed the point
  }
  MoveBy(hwnd, t, code);
}

void PaintThumb(HDC dc, HWND hwnd, const RECT& thumb, bool pressed)
{
  const DWORD style = StyleOf(hwnd);
  RECT body = thumb;
  HBRUSH face = GetSysColorBrush(pressed ? COLOR_3DLIGHT : COLOR_BTNFACE);
  if ((style & (TBS_BOTH | TBS_NOTICKS)) != 0) {
    FillRect(dc, &body, face);
    DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
    return;
  }
  // A box with a point towards the tics, its corners listed clockwise.
  const bool vertical = (style & TBS_VERT) != 0;
  const bool before = (style & TBS_TOP) != 0;
  const int tip = kThumbWidth / 2 + 1;
  const int l = thumb.left;
  const int t = thumb.top;
  const int r = thumb.right - 1;
  const int b = thumb.bottom - 1;
  POINT pts[5];
  if (!vertical) {
    const int mid = (l + r) / 2;
    if (before) {
      pts[0] = {l, b}, pts[1] = {l, t + tip}, pts[2] = {mid, t}, pts[3] = {r, t + tip}, pts[4] = {r, b};
    } else {
      pts[0] = {l, t}, pts[1] = {r, t}, pts[2] = {r, b - tip}, pts[3] = {mid, b}, pts[4] = {l, b - tip};
    }
  } else {
    const int mid = (t + b) / 2;
    if (before) {
      pts[0] = {l + tip, t}, pts[1] = {r, t}, pts[2] = {r, b}, pts[3] = {l + tip, b}, pts[4] = {l, mid};
    } else {
      pts[0] = {l, t}, pts[1] = {r - tip, t}, pts[2] = {r, mid}, pts[3] = {r - tip, b}, pts[4] = {l, b};
    }
  }
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
  HGDIOBJ oldBrush = SelectObject(dc, face);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  Polygon(dc, pts, 5);
  // Going clockwise, a side walked rightwards (or straight up) faces the light.
  for (int i = 0; i < 5; ++i) {
    const POINT a = pts[i];
    const POINT z = pts[(i + 1) % 5];
    const bool lit = z.x > a.x || (z.x == a.x && z.y < a.y);
    SelectObject(dc, lit ? light : dark);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, z.x, z.y);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(light);
  DeleteObject(dark);
}

void Paint(HWND hwnd, Trackbar& t, HDC dc)
{
  const DWORD style = StyleOf(hwnd);
  const bool vertical = (style & TBS_VERT) != 0;
  RECT client;
  GetClientRect(hwnd, &client);
  HBRUSH background = ParentBrush(hwnd, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, background != nullptr ? background : GetSysColorBrush(COLOR_BTNFACE));

  RECT channel = ChannelRect(hwnd, t);
  RECT groove = channel;
  FillRect(dc, &groove, GetSysColorBrush(COLOR_WINDOW));
  DrawEdge(dc, &groove, EDGE_SUNKEN, BF_RECT);
  if ((style & TBS_ENABLESELRANGE) != 0 && t.selEnd > t.selStart) {
    RECT sel = channel.Inflate(-2, -2);
    if (vertical) {
      sel.top = PixelOf(hwnd, t, t.selStart);
      sel.bottom = PixelOf(hwnd, t, t.selEnd);
    } else {
      sel.left = PixelOf(hwnd, t, t.selStart);
      sel.right = PixelOf(hwnd, t, t.selEnd);
    }
    FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
  }

  if ((style & TBS_NOTICKS) == 0) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    RECT thumb = ThumbRect(hwnd, t);
    const bool before = (style & (TBS_TOP | TBS_BOTH)) != 0;
    const bool after = (style & TBS_TOP) == 0 || (style & TBS_BOTH) != 0;
    std::vector<int> positions = AllTics(hwnd, t);
    positions.insert(positions.begin(), t.low);
    positions.push_back(t.high);
    for (std::size_t i = 0; i < positions.size(); ++i) {
      const int at = PixelOf(hwnd, t, positions[i]);
      const int length = i == 0 || i + 1 == positions.size() ? 4 : 3;  // the ends stand out
      auto tick = [&](int from, int dir) {
        if (vertical) {
          MoveToEx(dc, from, at, nullptr);
          LineTo(dc, from + dir * length, at);
        } else {
          MoveToEx(dc, at, from, nullptr);
          LineTo(dc, at, from + dir * length);
        }
      };
      if (after) {
        tick((vertical ? thumb.right : thumb.bottom) + 1, 1);
      }
      if (before) {
        tick((vertical ? thumb.left : thumb.top) - 2, -1);
      }
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  if ((style & TBS_NOTHUMB) == 0) {
    PaintThumb(dc, hwnd, ThumbRect(hwnd, t), t.dragging);
  }
  if (t.focused) {
    RECT focus = client;
    DrawFocusRect(dc, &focus);
  }
}

LRESULT TrackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Trackbar>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Trackbar* t = ControlState<Trackbar>(hwnd);
  if (t == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  auto redraw = [&](WPARAM flag) {
    if (flag != 0) {
      InvalidateRect(hwnd, nullptr, TRUE);
    }
  };
  switch (msg) {
    case TBM_GETPOS: return t->pos;
    case TBM_GETRANGEMIN: return t->low;
    case TBM_GETRANGEMAX: return t->high;
    case TBM_SETPOS:
      t->pos = Clamp(*t, static_cast<int>(lParam));
      redraw(wParam);
      return 0;
    case TBM_SETRANGE:
      t->low = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
      t->high = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
      t->pos = Clamp(*t, t->pos);
      redraw(wParam);
      return 0;
    case TBM_SETRANGEMIN:
      t->low = static_cast<int>(lParam);
      t->pos = Clamp(*t, t->pos);
      redraw(wParam);
      return 0;
    case TBM_SETRANGEMAX:
      t->high = static_cast<int>(lParam);
      t->pos = Clamp(*t, t->pos);
      redraw(wParam);
      return 0;
    case TBM_SETTIC: {
      const int at = static_cast<int>(lParam);
      if (at < t->low || at > t->high) {
        return FALSE;
      }
      t->tics.insert(at);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case TBM_CLEARTICS:
      t->tics.clear();
      redraw(wParam);
      return 0;
    case TBM_SETTICFREQ:
      t->ticFrequency = std::max(1, static_cast<int>(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_GETNUMTICS:
      return (StyleOf(hwnd) & TBS_NOTICKS) != 0 ? 0 : static_cast<LRESULT>(AllTics(hwnd, *t).size() + 2);
    case TBM_GETTIC: {
      std::vector<int> tics = AllTics(hwnd, *t);
      return wParam < tics.size() ? tics[wParam] : -1;
    }
    case TBM_GETTICPOS: {
      std::vector<int> tics = AllTics(hwnd, *t);
      return wParam < tics.size() ? PixelOf(hwnd, *t, tics[wParam]) : -1;
    }
    case TBM_GETPTICS:
      t->ticArray = AllTics(hwnd, *t);
      return t->ticArray.empty() ? 0 : reinterpret_cast<LRESULT>(t->ticArray.data());
    case TBM_SETSEL:
      t->selStart = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
      t->selEnd = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
      redraw(wParam);
      return 0;
    case TBM_SETSELSTART: t->selStart = static_cast<int>(lParam); redraw(wParam); return 0;
    case TBM_SETSELEND: t->selEnd = static_cast<int>(lParam); redraw(wParam); return 0;
    case TBM_GETSELSTART: return t->selStart;
    case TBM_GETSELEND: return t->selEnd;
    case TBM_CLEARSEL: t->selStart = t->selEnd = 0; redraw(wParam); return 0;
    case TBM_SETPAGESIZE: {
      const int old = t->pageSize;
      t->pageSize = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETPAGESIZE: return t->pageSize;
    case TBM_SETLINESIZE: {
      const int old = t->lineSize;
      t->lineSize = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETLINESIZE: return t->lineSize;
    case TBM_GETTHUMBRECT:
      if (lParam != 0) {
        *reinterpret_cast<RECT*>(lParam) = ThumbRect(hwnd, *t);
      }
      return 0;
    case TBM_GETCHANNELRECT:
      if (lParam != 0) {
        *reinterpret_cast<RECT*>(lParam) = ChannelRect(hwnd, *t);
      }
      return 0;
    case TBM_SETTHUMBLENGTH:
      if ((StyleOf(hwnd) & TBS_FIXEDLENGTH) != 0) {
        t->thumbLength = std::max(4, static_cast<int>(wParam));
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case TBM_GETTHUMBLENGTH: return t->thumbLength;
    case TBM_SETBUDDY: {
      HWND& slot = wParam != 0 ? t->buddyLeft : t->buddyRight;
      HWND old = slot;
      slot = reinterpret_cast<HWND>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case TBM_GETBUDDY: return reinterpret_cast<LRESULT>(wParam != 0 ? t->buddyLeft : t->buddyRight);

    case WM_KEYDOWN: {
      const bool down = (StyleOf(hwnd) & TBS_DOWNISLEFT) != 0;
      WORD code;
      switch (wParam) {
        case VK_LEFT:
        case VK_UP: code = down && wParam == VK_UP ? TB_LINEDOWN : TB_LINEUP; break;
        case VK_RIGHT:
        case VK_DOWN: code = down && wParam == VK_DOWN ? TB_LINEUP : TB_LINEDOWN; break;
        case VK_PRIOR: code = TB_PAGEUP; break;
        case VK_NEXT: code = TB_PAGEDOWN; break;
        case VK_HOME: code = TB_TOP; break;
        case VK_END: code = TB_BOTTOM; break;
        default: return 0;
      }
      MoveBy(hwnd, *t, code);
      return 0;
    }
    case WM_KEYUP:
      switch (wParam) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END: Notify(hwnd, *t, TB_ENDTRACK); break;
        default: break;
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT thumb = ThumbRect(hwnd, *t);
      SetCapture(hwnd);
      if ((StyleOf(hwnd) & TBS_NOTHUMB) == 0 && thumb.Contains(pt)) {
        t->dragging = true;
        t->dragOffset = Vertical(hwnd) ? pt.y - PixelOf(hwnd, *t, t->pos) : pt.x - PixelOf(hwnd, *t, t->pos);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
      }
      const int at = Vertical(hwnd) ? pt.y : pt.x;
      t->paging = true;
      t->pagePoint = pt;
      t->pageCode = at < (Vertical(hwnd) ? thumb.top : thumb.left) ? TB_PAGEUP : TB_PAGEDOWN;
      MoveBy(hwnd, *t, t->pageCode);
      SetTimer(hwnd, kRepeatTimer, kRepeatDelayMs, nullptr);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (t->dragging) {
        const int at = (Vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam)) - t->dragOffset;
        const int next = PositionAt(hwnd, *t, at);
        if (next != t->pos) {
          t->pos = next;
          InvalidateRect(hwnd, nullptr, TRUE);
          Notify(hwnd, *t, TB_THUMBTRACK);
        }
      } else if (t->paging) {
        t->pagePoint = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      }
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer && t->paging) {
        SetTimer(hwnd, kRepeatTimer, kRepeatMs, nullptr);
        PageTowards(hwnd, *t);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      const bool wasDragging = t->dragging;
      const bool wasPaging = t->paging;
      if (!wasDragging && !wasPaging) {
        return 0;
      }
      t->dragging = false;
      t->paging = false;
      KillTimer(hwnd, kRepeatTimer);
      if (msg == WM_LBUTTONUP && GetCapture() == hwnd) {
        ReleaseCapture();
      }
      if (wasDragging) {
        Notify(hwnd, *t, TB_THUMBPOSITION);
      }
      Notify(hwnd, *t, TB_ENDTRACK);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      t->focused = msg == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrintClient(hwnd, msg, wParam, [&](HDC dc) { Paint(hwnd, *t, dc); });
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC TrackbarWindowProc() { return &TrackbarProc; }
}  // namespace user::detail
