// DefWindowProc and the default non-client area: frame, caption, hit testing, and the move and size loops.
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace user::detail;

namespace {

// WM_SIZING edges, in the order of the sizing hit-test codes from HTLEFT.
constexpr WPARAM WMSZ_LEFT = 1;
constexpr WPARAM WMSZ_RIGHT = 2;
constexpr WPARAM WMSZ_TOP = 3;
constexpr WPARAM WMSZ_BOTTOM = 6;
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

RECT ClientEdgeInsets(const Window& w)
{
  RECT in = FrameInsets(w.style, w.exStyle, HasMenuBar(w));
  if ((w.style & WS_VSCROLL) != 0) {
    in.right += GetSystemMetrics(SM_CXVSCROLL);
  }
  if ((w.style & WS_HSCROLL) != 0) {
    in.bottom += GetSystemMetrics(SM_CYHSCROLL);
  }
  return in;
}

RECT Shrink(const RECT& r, const RECT& in)
{
  RECT out{r.left + in.left, r.top + in.top, r.right - in.right, r.bottom - in.bottom};
  if (out.right < out.left) {
    out.right = out.left;
  }
  if (out.bottom < out.top) {
    out.bottom = out.top;
  }
  return out;
}

HFONT CaptionFont()
{
  static HFONT font = CreateFont(-11, 0, 0, 0, 700, 0, 0, 0, 204, 0, 0, 0, 0, "Tahoma");
  return font;
}

enum class Glyph { Close, Minimize, Maximize, Restore };

// A raised caption button with its symbol drawn in lines.
void DrawCaptionButton(HDC dc, RECT r, Glyph glyph, bool enabled)
{
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  HPEN pen = CreatePen(0, 1, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  HGDIOBJ old = SelectObject(dc, pen);
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  const int h = std::max<int>(2, (r.Height() - 6) / 2);
  switch (glyph) {
    case Glyph::Close:
      for (int d = 0; d < 2; ++d) {
        MoveToEx(dc, cx - h + d, cy - h, nullptr);
        LineTo(dc, cx + h + d, cy + h);
        MoveToEx(dc, cx + h - 1 + d, cy - h, nullptr);
        LineTo(dc, cx - h - 1 + d, cy + h);
      }
      break;
    case Glyph::Minimize:
      MoveToEx(dc, cx - h, cy + h - 1, nullptr);
      LineTo(dc, cx + h, cy + h - 1);
      MoveToEx(dc, cx - h, cy + h, nullptr);
      LineTo(dc, cx + h, cy + h);
      break;
    case Glyph::Maximize:
    case Glyph::Restore: {
      RECT box{cx - h, cy - h, cx + h, cy + h};
      if (glyph == Glyph::Restore) {
        box = box.Inflate(-1, -1).Offset(-1, 1);
      }
      HBRUSH brush = CreateSolidBrush(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
      FrameRect(dc, &box, brush);
      MoveToEx(dc, box.left, box.top + 1, nullptr);
      LineTo(dc, box.right, box.top + 1);
      DeleteObject(brush);
      break;
    }
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

void PaintFrame(HWND hwnd)
{
  Window copy;
  CaptionLayout layout;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return;
    }
    copy.style = w->style;
    copy.exStyle = w->exStyle;
    copy.window = w->window;
    copy.client = w->client;
    copy.text = w->text;
    copy.ncActive = w->ncActive;
    copy.idOrMenu = w->idOrMenu;
    copy.parent = w->parent;
    copy.hScroll = w->hScroll;
    copy.vScroll = w->vScroll;
    layout = LayoutCaption(*w);
  }
  HDC dc = GetWindowDC(hwnd);
  if (dc == nullptr) {
    return;
  }
  RECT whole{0, 0, copy.window.Width(), copy.window.Height()};
  RECT client = copy.client.Offset(-copy.window.left, -copy.window.top);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  RECT r = whole;
  if ((copy.style & (WS_THICKFRAME | WS_DLGFRAME)) != 0 || (copy.exStyle & WS_EX_DLGMODALFRAME) != 0) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  } else if ((copy.style & WS_BORDER) != 0) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
  if (!(layout.caption.IsEmpty())) {
    FillRect(dc, &layout.caption, GetSysColorBrush(copy.ncActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    HGDIOBJ oldFont = SelectObject(dc, CaptionFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(copy.ncActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    RECT text = layout.caption;
    text.left = (layout.sysMenu.IsEmpty() ? layout.caption.left : layout.sysMenu.right) + 2;
    if (!layout.minimize.IsEmpty()) {
      text.right = layout.minimize.left - 2;
    } else if (!layout.close.IsEmpty()) {
      text.right = layout.close.left - 2;
    }
    DrawText(dc, copy.text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    if (!layout.close.IsEmpty()) {
      DrawCaptionButton(dc, layout.close, Glyph::Close, true);
    }
    if (!layout.maximize.IsEmpty()) {
      DrawCaptionButton(dc, layout.maximize, (copy.style & WS_MAXIMIZE) != 0 ? Glyph::Restore : Glyph::Maximize,
                        (copy.style & WS_MAXIMIZEBOX) != 0);
    }
    if (!layout.minimize.IsEmpty()) {
      DrawCaptionButton(dc, layout.minimize, Glyph::Minimize, (copy.style & WS_MINIMIZEBOX) != 0);
    }
  }
  if (!layout.menuBar.IsEmpty()) {
    PaintMenuBar(hwnd, dc, layout.menuBar);
  }
  if ((copy.exStyle & WS_EX_CLIENTEDGE) != 0) {
    RECT edge = client.Inflate(GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
    if ((copy.style & WS_VSCROLL) != 0) {
      edge.right += GetSystemMetrics(SM_CXVSCROLL);
    }
    if ((copy.style & WS_HSCROLL) != 0) {
      edge.bottom += GetSystemMetrics(SM_CYHSCROLL);
    }
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  }
  if ((copy.style & WS_VSCROLL) != 0) {
    RECT bar{client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
    PaintScrollBar(dc, bar, true, copy.vScroll);
  }
  if ((copy.style & WS_HSCROLL) != 0) {
    RECT bar{client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    PaintScrollBar(dc, bar, false, copy.hScroll);
  }
  ReleaseDC(hwnd, dc);
}

// A press on a caption button counts when it is released over the same button.
bool TrackCaptionButton(HWND hwnd, LRESULT button)
{
  SetCapture(hwnd);
  bool inside = true;
  MSG msg;
  while (GetCapture() == hwnd && GetMessage(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_LBUTTONUP || msg.message == WM_MOUSEMOVE) {
      POINT pt = msg.pt;
      inside = DefaultHitTest(hwnd, pt) == button;
      if (msg.message == WM_LBUTTONUP) {
        break;
      }
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      inside = false;
      break;
    }
    DispatchMessage(&msg);
  }
  if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));
  }
  if (GetCapture() == hwnd) {
    ReleaseCapture();
  }
  return inside;
}

LRESULT SizingCursor(LRESULT hit)
{
  switch (hit) {
    case HTLEFT:
    case HTRIGHT: return reinterpret_cast<LRESULT>(LoadCursor(nullptr, IDC_SIZEWE));
    case HTTOP:
    case HTBOTTOM: return reinterpret_cast<LRESULT>(LoadCursor(nullptr, IDC_SIZENS));
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return reinterpret_cast<LRESULT>(LoadCursor(nullptr, IDC_SIZENWSE));
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return reinterpret_cast<LRESULT>(LoadCursor(nullptr, IDC_SIZENESW));
    default: return 0;
  }
}

}  // namespace

namespace user::detail {

bool HasMenuBar(const Window& w) { return IsTopLevel(w) && (w.style & WS_CHILD) == 0 && w.idOrMenu != 0; }

CaptionLayout LayoutCaption(const Window& w)
{
  CaptionLayout l;
  RECT whole{0, 0, w.window.Width(), w.window.Height()};
  RECT frame = FrameInsets(w.style & ~WS_CAPTION, w.exStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), false);
  if ((w.style & WS_CAPTION) == WS_CAPTION) {
    // The caption frame is the dialog frame unless the window is sizable.
    if ((w.style & WS_THICKFRAME) == 0) {
      int f = GetSystemMetrics(SM_CXDLGFRAME);
      frame = RECT{f, f, f, f};
    }
  }
  RECT inner = Shrink(whole, frame);
  int top = inner.top;
  if ((w.style & WS_CAPTION) == WS_CAPTION) {
    const bool tool = (w.exStyle & WS_EX_TOOLWINDOW) != 0;
    const int height = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    l.caption = RECT{inner.left, inner.top, inner.right, inner.top + height - 1};
    top += height;
    if ((w.style & WS_SYSMENU) != 0) {
      const int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
      const int bh = height - 5;
      int right = l.caption.right - 2;
      l.close = RECT{right - bw, l.caption.top + 2, right, l.caption.top + 2 + bh};
      right = l.close.left - 2;
      if (!tool && (w.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0) {
        l.maximize = RECT{right - bw, l.close.top, right, l.close.bottom};
        l.minimize = RECT{l.maximize.left - bw, l.close.top, l.maximize.left, l.close.bottom};
      }
      if (!tool) {
        l.sysMenu = RECT{l.caption.left + 2, l.caption.top + 1, l.caption.left + 2 + height - 2, l.caption.bottom - 1};
      }
    }
  }
  if (HasMenuBar(w)) {
    l.menuBar = RECT{inner.left, top, inner.right, top + GetSystemMetrics(SM_CYMENU)};
  }
  return l;
}

LRESULT DefaultHitTest(HWND hwnd, POINT screen)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return HTNOWHERE;
  }
  RECT rect = WindowRectOnScreen(*w);
  if (!rect.Contains(screen)) {
    return HTNOWHERE;
  }
  POINT origin = ClientOrigin(*w);
  RECT client{origin.x, origin.y, origin.x + w->client.Width(), origin.y + w->client.Height()};
  if (client.Contains(screen)) {
    return HTCLIENT;
  }
  if ((w->style & WS_MINIMIZE) != 0) {
    return HTCAPTION;
  }
  POINT p = screen - POINT{rect.left, rect.top};
  RECT whole{0, 0, rect.Width(), rect.Height()};
  if ((w->style & WS_THICKFRAME) != 0 && (w->style & WS_MAXIMIZE) == 0) {
    const int border = GetSystemMetrics(SM_CXFRAME);
    const int corner = GetSystemMetrics(SM_CXSIZE) + border;
    if (!Shrink(whole, RECT{border, border, border, border}).Contains(p)) {
      const bool left = p.x < corner;
      const bool right = p.x >= whole.right - corner;
      if (p.y < border) {
        return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
      }
      if (p.y >= whole.bottom - border) {
        return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
      }
      const bool top = p.y < corner;
      const bool bottom = p.y >= whole.bottom - corner;
      if (p.x < border) {
        return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
      }
      return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
  }
  CaptionLayout l = LayoutCaption(*w);
  if (l.close.Contains(p)) {
    return HTCLOSE;
  }
  if (l.maximize.Contains(p)) {
    return HTMAXBUTTON;
  }
  if (l.minimize.Contains(p)) {
    return HTMINBUTTON;
  }
  if (l.sysMenu.Contains(p)) {
    return HTSYSMENU;
  }
  if (l.caption.Inflate(0, 1).Contains(p)) {
    return HTCAPTION;
  }
  if (l.menuBar.Contains(p)) {
    return HTMENU;
  }
  RECT local = client.Offset(-rect.left, -rect.top);
  if ((w->style & WS_VSCROLL) != 0) {
    RECT bar{local.right, local.top, local.right + GetSystemMetrics(SM_CXVSCROLL), local.bottom};
    if (bar.Contains(p)) {
      return HTVSCROLL;
    }
  }
  if ((w->style & WS_HSCROLL) != 0) {
    RECT bar{local.left, local.bottom, local.right, local.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    if (bar.Contains(p)) {
      return HTHSCROLL;
    }
  }
  return HTBORDER;
}

void MoveSizeLoop(HWND hwnd, WPARAM command, POINT start)
{
  const bool moving = (command & 0xFFF0) == SC_MOVE;
  const WPARAM edge = command & 0x000F;
  RECT orig;
  HWND parent;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return;
    }
    orig = w->window;
    parent = w->parent;
  }
  (void)parent;
  MINMAXINFO mmi{};
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {32767, 32767};
  SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  SendMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  SetCapture(hwnd);
  MSG msg{};
  bool cancel = false;
  while (GetCapture() == hwnd && GetMessage(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN)) {
      cancel = msg.wParam == VK_ESCAPE;
      break;
    }
    if (msg.message != WM_MOUSEMOVE && msg.message != WM_LBUTTONUP) {
      DispatchMessage(&msg);
      continue;
    }
    const int dx = msg.pt.x - start.x;
    const int dy = msg.pt.y - start.y;
    RECT r = orig;
    if (moving) {
      r = orig.Offset(dx, dy);
      SendMessage(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
      const WPARAM horizontal = edge % 3;  // 1 left, 2 right
      const WPARAM vertical = edge / 3;    // 1 top, 2 bottom
      if (horizontal == WMSZ_LEFT) {
        r.left = std::min<LONG>(orig.left + dx, orig.right - mmi.ptMinTrackSize.x);
      } else if (horizontal == WMSZ_RIGHT) {
        r.right = std::max<LONG>(orig.right + dx, orig.left + mmi.ptMinTrackSize.x);
      }
      if (vertical == WMSZ_TOP / 3) {
        r.top = std::min<LONG>(orig.top + dy, orig.bottom - mmi.ptMinTrackSize.y);
      } else if (vertical == WMSZ_BOTTOM / 3) {
        r.bottom = std::max<LONG>(orig.bottom + dy, orig.top + mmi.ptMinTrackSize.y);
      }
      SendMessage(hwnd, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
    }
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (msg.message == WM_LBUTTONUP) {
      break;
    }
  }
  if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));
  }
  if (cancel) {
    SetWindowPos(hwnd, nullptr, orig.left, orig.top, orig.Width(), orig.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (GetCapture() == hwnd) {
    ReleaseCapture();
  }
  SendMessage(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace user::detail

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto parentOf = [&]() -> HWND {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || (w->style & WS_CHILD) == 0 || IsDesktopOrRoot(w->parent)) {
      return nullptr;
    }
    return w->parent;
  };
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName)) {
        Lock lock(S().mutex);
        if (Window* w = Find(hwnd)) {
          w->text = cs->lpszName;
        }
      }
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      Lock lock(S().mutex);
      Window* w = Find(hwnd);
      if (w == nullptr) {
        return 0;
      }
      RECT in = ClientEdgeInsets(*w);
      if ((w->style & WS_MINIMIZE) != 0) {
        in = RECT{0, 0, 0, 0};
      }
      if (wParam != 0) {
        auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        p->rgrc[0] = Shrink(p->rgrc[0], in);
      } else {
        auto* r = reinterpret_cast<RECT*>(lParam);
        *r = Shrink(*r, in);
      }
      return 0;
    }
    case WM_NCHITTEST: return DefaultHitTest(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: PaintFrame(hwnd); return 0;
    case WM_NCACTIVATE: {
      {
        Lock lock(S().mutex);
        if (Window* w = Find(hwnd)) {
          w->ncActive = wParam != 0;
        }
      }
      PaintFrame(hwnd);
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = nullptr;
      RECT client{};
      {
        Lock lock(S().mutex);
        Window* w = Find(hwnd);
        if (w == nullptr) {
          return 0;
        }
        brush = w->cls->background;
        client = RECT{0, 0, w->client.Width(), w->client.Height()};
      }
      if (brush == nullptr) {
        return 0;
      }
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      return 1;
    }
    case WM_SETTEXT: {
      {
        Lock lock(S().mutex);
        Window* w = Find(hwnd);
        if (w == nullptr) {
          return FALSE;
        }
        w->text = lParam != 0 ? reinterpret_cast<LPCSTR>(lParam) : "";
        if ((w->style & WS_CAPTION) == WS_CAPTION) {
          // Only the caption changes: invalidating the client too would erase it over children left valid.
          w->ncPaintPending = true;
          if (w->queue) {
            WakeQueue(*w->queue);
          }
        }
      }
      NotifyTopLevel(hwnd);
      return TRUE;
    }
    case WM_SETICON: {
      HICON previous = nullptr;
      {
        Lock lock(S().mutex);
        Window* w = Find(hwnd);
        if (w == nullptr) {
          return 0;
        }
        HICON& slot = wParam == ICON_BIG ? w->icon : w->iconSmall;
        previous = std::exchange(slot, reinterpret_cast<HICON>(lParam));
      }
      NotifyTopLevel(hwnd);
      return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON: {
      Lock lock(S().mutex);
      Window* w = Find(hwnd);
      if (w == nullptr) {
        return 0;
      }
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->icon : w->iconSmall);
    }
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (buffer == nullptr || wParam == 0) {
        return 0;
      }
      Lock lock(S().mutex);
      Window* w = Find(hwnd);
      if (w == nullptr) {
        return 0;
      }
      std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
      std::memcpy(buffer, w->text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
      Lock lock(S().mutex);
      Window* w = Find(hwnd);
      return w != nullptr ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
      RECT client{};
      DWORD style = 0;
      {
        Lock lock(S().mutex);
        Window* w = Find(hwnd);
        if (w == nullptr) {
          return 0;
        }
        client = w->client;
        style = w->style;
      }
      if ((wp->flags & kNoClientMove) == 0) {
        SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
      }
      if ((wp->flags & kNoClientSize) == 0 || (wp->flags & SWP_FRAMECHANGED) != 0) {
        WPARAM type = (style & WS_MINIMIZE) != 0 ? SIZE_MINIMIZED
                      : (style & WS_MAXIMIZE) != 0 ? SIZE_MAXIMIZED
                                                   : SIZE_RESTORED;
        if ((wp->flags & kNoClientSize) == 0 || type != SIZE_RESTORED) {
          SendMessage(hwnd, WM_SIZE, type, MAKELPARAM(client.Width(), client.Height()));
        }
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
        SetFocus(hwnd);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      if (HWND parent = parentOf()) {
        if (LRESULT r = SendMessage(parent, WM_MOUSEACTIVATE, wParam, lParam)) {
          return r;
        }
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR: {
      if (HWND parent = parentOf()) {
        if (SendMessage(parent, WM_SETCURSOR, wParam, lParam)) {
          return TRUE;
        }
      }
      const LRESULT hit = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
      if (hit == HTCLIENT) {
        HCURSOR cursor = nullptr;
        {
          Lock lock(S().mutex);
          if (Window* w = Find(hwnd)) {
            cursor = w->cls->cursor;
          }
        }
        if (cursor != nullptr) {
          SetCursor(cursor);
          return TRUE;
        }
        return FALSE;
      }
      if (LRESULT sizing = SizingCursor(hit)) {
        SetCursor(reinterpret_cast<HCURSOR>(sizing));
        return TRUE;
      }
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return FALSE;
    }
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
    case WM_HELP:
      if (HWND parent = parentOf()) {
        return SendMessage(parent, msg, msg == WM_CONTEXTMENU ? wParam : wParam, lParam);
      }
      return 0;
    case WM_RBUTTONUP: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &pt);
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(pt.x, pt.y));
      return 0;
    }
    case WM_NCRBUTTONUP:
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
      return 0;
    case WM_NCLBUTTONDOWN: {
      const LRESULT hit = static_cast<LRESULT>(wParam);
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (hit == HTCAPTION) {
        SendMessage(hwnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
      } else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
        SendMessage(hwnd, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(hit - HTLEFT + 1), lParam);
      } else if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON) {
        if (TrackCaptionButton(hwnd, hit)) {
          WPARAM command = hit == HTCLOSE ? SC_CLOSE : hit == HTMINBUTTON ? SC_MINIMIZE
                           : IsZoomed(hwnd)                              ? SC_RESTORE
                                                                         : SC_MAXIMIZE;
          SendMessage(hwnd, WM_SYSCOMMAND, command, lParam);
        }
      } else if (hit == HTMENU) {
        TrackMenuBar(hwnd, pt, 0);
      } else if (hit == HTVSCROLL || hit == HTHSCROLL) {
        TrackScrollBar(hwnd, hit == HTVSCROLL ? 1 : 0, pt);
      }
      return 0;
    }
    case WM_NCLBUTTONDBLCLK:
      if (wParam == HTCAPTION && (GetWindowLong(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX) != 0) {
        SendMessage(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) || IsIconic(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
      }
      return 0;
    case WM_SYSCOMMAND: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessage(hwnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_MOVE:
        case SC_SIZE:
          if (!IsZoomed(hwnd)) {
            MoveSizeLoop(hwnd, wParam, pt);
          }
          break;
        case SC_KEYMENU: TrackMenuBar(hwnd, POINT{-1, -1}, static_cast<UINT>(lParam)); break;
        default: break;
      }
      return 0;
    }
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (1 << 29)) != 0) {
        HWND top = GetAncestor(hwnd, GA_ROOT);
        PostMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    // Asked of the top-level window even when it has no menu of its own: a menu bar that took the window's menu
    // (the toolkit's) answers SC_KEYMENU itself.
    case WM_SYSKEYUP: {
      // Alt opens the menu bar only pressed alone: not after a click, a drag or a key while it was held.
      bool alone = false;
      if (wParam == VK_MENU) {
        Lock lock(S().mutex);
        std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
        alone = std::exchange(q->altAlone, false);
      }
      if (alone || wParam == VK_F10) {
        SendMessage(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return 0;
    }
    case WM_SYSCHAR:
      if (wParam != VK_SPACE && (lParam & (1 << 29)) != 0) {
        SendMessage(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      }
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == hwnd) {
        ReleaseCapture();
      }
      return 0;
    case WM_SETREDRAW: {
      Lock lock(S().mutex);
      if (Window* w = Find(hwnd)) {
        w->redrawOff = wParam == 0;
      }
      return 0;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: {
      auto dc = reinterpret_cast<HDC>(wParam);
      if (msg == WM_CTLCOLORSCROLLBAR) {
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
      }
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      SetBkColor(dc, GetSysColor(COLOR_3DFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
    }
    case WM_QUERYENDSESSION:
    case 0x0013:  // WM_QUERYOPEN
      return TRUE;
    case WM_NOTIFYFORMAT: return 1;  // NFR_ANSI
    default: return 0;
  }
}
