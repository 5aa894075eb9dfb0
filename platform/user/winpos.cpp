// Position, size, z-order and visibility: SetWindowPos and everything built on it.
#include "platform/gdi/windraw.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"

#include <algorithm>
#include <set>

using namespace user::detail;

namespace {

// Internal WINDOWPOS flags: the client area kept its size or place, so WM_SIZE or WM_MOVE need not follow.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

void PlaceInZOrder(Window& w, HWND after)
{
  Window* p = Find(w.parent);
  if (p == nullptr) {
    return;
  }
  auto& list = p->children;
  std::erase(list, w.hwnd);
  const bool top = IsTopLevel(w);
  auto firstNonTopmost = [&]() {
    std::size_t i = 0;
    while (i < list.size()) {
      const Window* c = Find(list[i]);
      if (c == nullptr || (c->exStyle & WS_EX_TOPMOST) == 0) {
        break;
      }
      ++i;
    }
    return i;
  };
  std::size_t index = 0;
  if (after == HWND_TOPMOST) {
    if (top) {
      w.exStyle |= WS_EX_TOPMOST;
    }
    index = 0;
  } else if (after == HWND_NOTOPMOST) {
    w.exStyle &= ~WS_EX_TOPMOST;
    index = top ? firstNonTopmost() : 0;
  } else if (after == HWND_TOP) {
    index = top && (w.exStyle & WS_EX_TOPMOST) == 0 ? firstNonTopmost() : 0;
  } else if (after == HWND_BOTTOM) {
    w.exStyle &= ~WS_EX_TOPMOST;
    index = list.size();
  } else {
    auto it = std::find(list.begin(), list.end(), after);
    index = it == list.end() ? 0 : static_cast<std::size_t>(it - list.begin()) + 1;
    if (top && (w.exStyle & WS_EX_TOPMOST) == 0) {
      index = std::max(index, firstNonTopmost());
    }
  }
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(index, list.size())), w.hwnd);
  if (top) {
    // Owned windows stay above their owner.
    std::vector<HWND> owned;
    for (HWND h : list) {
      const Window* c = Find(h);
      if (c != nullptr && c->owner == w.hwnd) {
        owned.push_back(h);
      }
    }
    for (HWND h : owned) {
      auto self = std::find(list.begin(), list.end(), w.hwnd);
      auto it = std::find(list.begin(), list.end(), h);
      if (it > self) {
        list.erase(it);
        self = std::find(list.begin(), list.end(), w.hwnd);
        list.insert(self, h);
      }
    }
  }
}

// The screen area a window covered, as its parent (or the desktop) sees it, to be repainted when uncovered.
void ExposeInParent(HWND parent, RECT inParent)
{
  if (inParent.IsEmpty()) {
    return;
  }
  RedrawWindow(parent, &inParent, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

HWND SearchDown(HWND h, POINT pt, const std::set<HWND>& skip)
{
  Window* w = Find(h);
  RECT client = w->client.Offset(-w->client.left, -w->client.top);
  POINT origin = ClientOrigin(*w);
  if (!client.Offset(origin.x, origin.y).Contains(pt)) {
    return h;
  }
  for (HWND c : w->children) {
    Window* cw = Find(c);
    if (cw == nullptr || skip.count(c) != 0 || (cw->style & WS_VISIBLE) == 0) {
      continue;
    }
    const RECT onScreen = WindowRectOnScreen(*cw);
    if (!onScreen.Contains(pt) || !InWindowShape(*cw, pt.x - onScreen.left, pt.y - onScreen.top)) {
      continue;
    }
    if ((cw->style & WS_DISABLED) != 0) {
      return h;
    }
    return SearchDown(c, pt, skip);
  }
  return h;
}

HWND SearchAt(POINT pt, const std::set<HWND>& skip)
{
  State& s = S();
  for (HWND top : s.desktop->children) {
    Window* w = Find(top);
    if (w == nullptr || skip.count(top) != 0 || (w->style & WS_VISIBLE) == 0) {
      continue;
    }
    if (w->window.Contains(pt) && InWindowShape(*w, pt.x - w->window.left, pt.y - w->window.top)) {
      return SearchDown(top, pt, skip);
    }
  }
  return nullptr;
}

}  // namespace

namespace user::detail {

HWND HitWindow(POINT screen, LRESULT* hitTest)
{
  std::set<HWND> skip;
  for (int guard = 0; guard < 256; ++guard) {
    HWND found = nullptr;
    {
      Lock lock(S().mutex);
      found = SearchAt(screen, skip);
    }
    if (found == nullptr) {
      *hitTest = HTNOWHERE;
      return nullptr;
    }
    LRESULT hit = SendMessage(found, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit != HTTRANSPARENT) {
      *hitTest = hit;
      return found;
    }
    skip.insert(found);
  }
  *hitTest = HTNOWHERE;
  return nullptr;
}

RECT FrameInsets(DWORD style, DWORD exStyle, bool hasMenu)
{
  RECT in{};
  int border = 0;
  if ((style & WS_THICKFRAME) != 0) {
    border = GetSystemMetrics(SM_CXFRAME);
  } else if ((style & WS_DLGFRAME) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0) {
    border = GetSystemMetrics(SM_CXDLGFRAME);
  } else if ((style & WS_BORDER) != 0) {
    border = GetSystemMetrics(SM_CXBORDER);
  }
  if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
    border += GetSystemMetrics(SM_CXEDGE);
  }
  if ((exStyle & WS_EX_STATICEDGE) != 0) {
    border += GetSystemMetrics(SM_CXBORDER);
  }
  in = RECT{border, border, border, border};
  if ((style & WS_CAPTION) == WS_CAPTION) {
    in.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) != 0 ? SM_CYSMCAPTION : SM_CYCAPTION);
  }
  if (hasMenu) {
    in.top += GetSystemMetrics(SM_CYMENU);
  }
  return in;
}

}  // namespace user::detail

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle)
{
  if (rect == nullptr) {
    return FALSE;
  }
  if ((style & (WS_CHILD | WS_POPUP)) == 0) {
    style |= WS_CAPTION;
  }
  RECT in = FrameInsets(style, exStyle, menu != 0);
  *rect = RECT{rect->left - in.left, rect->top - in.top, rect->right + in.right, rect->bottom + in.bottom};
  return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
  State& s = S();
  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  RECT oldWindow;
  RECT oldClient;
  bool child = false;
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || IsDesktopOrRoot(hwnd)) {
      return FALSE;
    }
    oldWindow = w->window;
    oldClient = w->client;
    child = (w->style & WS_CHILD) != 0;
    const bool visible = (w->style & WS_VISIBLE) != 0;
    if (visible) {
      wp.flags &= ~SWP_SHOWWINDOW;
    } else {
      wp.flags &= ~SWP_HIDEWINDOW;
    }
    if (oldWindow.Width() == cx && oldWindow.Height() == cy) {
      wp.flags |= SWP_NOSIZE;
    }
    if (oldWindow.left == x && oldWindow.top == y) {
      wp.flags |= SWP_NOMOVE;
    }
    if (insertAfter == hwnd) {
      wp.flags |= SWP_NOZORDER;
    }
    if (child) {
      wp.flags |= SWP_NOACTIVATE;
    }
  }
  if ((wp.flags & SWP_NOSIZE) != 0) {
    wp.cx = oldWindow.Width();
    wp.cy = oldWindow.Height();
  }
  if ((wp.flags & SWP_NOMOVE) != 0) {
    wp.x = oldWindow.left;
    wp.y = oldWindow.top;
  }
  if ((wp.flags & SWP_NOSENDCHANGING) == 0) {
    SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!IsWindow(hwnd)) {
      return FALSE;
    }
  }
  RECT newWindow{wp.x, wp.y, wp.x + std::max(wp.cx, 0), wp.y + std::max(wp.cy, 0)};
  if (newWindow.Width() != oldWindow.Width() || newWindow.Height() != oldWindow.Height()) {
    wp.flags &= ~SWP_NOSIZE;
  }
  if (newWindow.left != oldWindow.left || newWindow.top != oldWindow.top) {
    wp.flags &= ~SWP_NOMOVE;
  }
  RECT newClient = oldClient.Offset(newWindow.left - oldWindow.left, newWindow.top - oldWindow.top);
  if ((wp.flags & SWP_NOSIZE) == 0 || (wp.flags & SWP_FRAMECHANGED) != 0) {
    NCCALCSIZE_PARAMS params{{newWindow, oldWindow, oldClient}, &wp};
    SendMessage(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    newClient = params.rgrc[0];
  }
  if (newClient.Width() == oldClient.Width() && newClient.Height() == oldClient.Height()) {
    wp.flags |= kNoClientSize;
  }
  if (newClient.left == oldClient.left && newClient.top == oldClient.top) {
    wp.flags |= kNoClientMove;
  }
  HWND parent = nullptr;
  bool nowVisible = false;
  bool wasVisible = false;
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return FALSE;
    }
    parent = w->parent;
    wasVisible = IsVisibleChain(*w);
    w->window = newWindow;
    w->client = newClient;
    if ((w->style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0) {
      w->normalRect = newWindow;
    }
    if ((wp.flags & SWP_NOZORDER) == 0) {
      PlaceInZOrder(*w, wp.hwndInsertAfter);
    }
    if ((wp.flags & SWP_SHOWWINDOW) != 0) {
      w->style |= WS_VISIBLE;
    }
    if ((wp.flags & SWP_HIDEWINDOW) != 0) {
      w->style &= ~WS_VISIBLE;
    }
    nowVisible = IsVisibleChain(*w);
    if (IsTopLevel(*w) && w->surface) {
      // The pixels follow the size; the new part is painted before anyone looks.
    }
  }
  const bool moved = (wp.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) ||
                     (wp.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)) != 0 ||
                     (wp.flags & SWP_NOZORDER) == 0;
  if ((wp.flags & SWP_NOREDRAW) == 0 && moved) {
    if (wasVisible) {
      ExposeInParent(parent, oldWindow);
    }
    if (nowVisible) {
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }
  if ((wp.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) || (wp.flags & SWP_FRAMECHANGED) != 0 ||
      (wp.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) != 0) {
    ReaimOwnDCs(hwnd);
  }
  if ((wp.flags & SWP_HIDEWINDOW) != 0) {
    WindowHidden(hwnd);
  }
  if ((wp.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) == 0) {
    if (child) {
      SendMessage(hwnd, WM_CHILDACTIVATE, 0, 0);
    } else {
      Activate(hwnd, false);
    }
  }
  if (!IsWindow(hwnd)) {
    return TRUE;
  }
  if (!child) {
    NotifyTopLevel(hwnd);
  }
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

namespace {

// The placement a window takes when minimised, maximised or restored.
RECT MaximizedRect(HWND hwnd)
{
  State& s = S();
  RECT area;
  DWORD style;
  DWORD exStyle;
  bool top;
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    top = IsTopLevel(*w);
    style = w->style;
    exStyle = w->exStyle;
    if (top) {
      area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else {
      Window* p = Find(w->parent);
      area = RECT{0, 0, p->client.Width(), p->client.Height()};
    }
  }
  RECT in = FrameInsets(style, exStyle, false);
  MINMAXINFO mmi{};
  mmi.ptMaxSize = {area.Width() + in.left + in.right, area.Height() + in.top + in.bottom};
  mmi.ptMaxPosition = {area.left - in.left, area.top - in.top};
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {mmi.ptMaxSize.x, mmi.ptMaxSize.y};
  SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
              mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
}

constexpr RECT kMinimizedRect{-32000, -32000, -32000 + 160, -32000 + 28};

}  // namespace

BOOL ShowWindow(HWND hwnd, int cmd)
{
  State& s = S();
  bool wasVisible = false;
  bool child = false;
  bool minimized = false;
  bool maximized = false;
  RECT normal;
  bool restoreMax = false;
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || IsDesktopOrRoot(hwnd)) {
      return FALSE;
    }
    wasVisible = (w->style & WS_VISIBLE) != 0;
    child = (w->style & WS_CHILD) != 0;
    minimized = (w->style & WS_MINIMIZE) != 0;
    maximized = (w->style & WS_MAXIMIZE) != 0;
    normal = w->normalRect;
    restoreMax = w->restoreToMaximized;
  }
  UINT swp = 0;
  enum class Target { Keep, Min, Max, Normal } target = Target::Keep;
  bool show = true;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) {
        return FALSE;
      }
      show = false;
      swp = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (hwnd != GetActiveWindow()) {
        swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      }
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
      swp = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
      target = Target::Min;
      break;
    case SW_SHOWMINIMIZED:
      swp = SWP_SHOWWINDOW;
      target = Target::Min;
      break;
    case SW_SHOWMAXIMIZED:
      swp = SWP_SHOWWINDOW;
      target = Target::Max;
      break;
    case SW_SHOWNA:
      swp = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOW:
      swp = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      break;
    case SW_SHOWNOACTIVATE:
      swp = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
      target = minimized || maximized ? Target::Normal : Target::Keep;
      break;
    case SW_RESTORE:
      swp = SWP_SHOWWINDOW;
      target = minimized && restoreMax ? Target::Max : (minimized || maximized ? Target::Normal : Target::Keep);
      break;
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
      swp = SWP_SHOWWINDOW;
      target = minimized || maximized ? Target::Normal : Target::Keep;
      break;
    default: return FALSE;
  }
  if (child) {
    swp |= SWP_NOACTIVATE | SWP_NOZORDER;
  }
  if (show != wasVisible) {
    SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!IsWindow(hwnd)) {
      return wasVisible ? TRUE : FALSE;
    }
  }
  RECT rect{};
  if (target == Target::Keep) {
    if ((swp & SWP_NOSIZE) == 0) {
      swp |= SWP_NOSIZE | SWP_NOMOVE;
    }
  } else {
    {
      Lock lock(s.mutex);
      Window* w = Find(hwnd);
      const bool wasMin = (w->style & WS_MINIMIZE) != 0;
      const bool wasMax = (w->style & WS_MAXIMIZE) != 0;
      if (target == Target::Min) {
        w->restoreToMaximized = wasMax || (wasMin && w->restoreToMaximized);
      }
      w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
      if (target == Target::Min) {
        w->style |= WS_MINIMIZE;
      } else if (target == Target::Max) {
        w->style |= WS_MAXIMIZE;
      }
    }
    if (target == Target::Min) {
      rect = kMinimizedRect;
    } else if (target == Target::Max) {
      rect = MaximizedRect(hwnd);
    } else {
      rect = normal;
    }
    swp |= SWP_FRAMECHANGED;
  }
  SetWindowPos(hwnd, HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(), swp);
  if (target == Target::Min && !child && GetActiveWindow() == hwnd) {
    ActivateOther(hwnd);
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL CloseWindow(HWND hwnd) { return ShowWindow(hwnd, SW_MINIMIZE) || IsWindow(hwnd); }

BOOL OpenIcon(HWND hwnd) { return ShowWindow(hwnd, SW_RESTORE) || IsWindow(hwnd); }

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || placement == nullptr) {
    return FALSE;
  }
  placement->flags = w->restoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
  if ((w->style & WS_MINIMIZE) != 0) {
    placement->showCmd = SW_SHOWMINIMIZED;
  } else if ((w->style & WS_MAXIMIZE) != 0) {
    placement->showCmd = SW_SHOWMAXIMIZED;
  } else if ((w->style & WS_VISIBLE) != 0) {
    placement->showCmd = SW_SHOWNORMAL;
  } else {
    placement->showCmd = SW_HIDE;
  }
  placement->ptMinPosition = w->minPos;
  placement->ptMaxPosition = w->maxPos;
  placement->rcNormalPosition = w->normalRect;
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement)
{
  if (placement == nullptr) {
    return FALSE;
  }
  bool minOrMax = false;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return FALSE;
    }
    w->normalRect = placement->rcNormalPosition;
    w->minPos = placement->ptMinPosition;
    w->maxPos = placement->ptMaxPosition;
    w->restoreToMaximized = (placement->flags & WPF_RESTORETOMAXIMIZED) != 0;
    minOrMax = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
  }
  if (!minOrMax) {
    const RECT& r = placement->rcNormalPosition;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(hwnd, static_cast<int>(placement->showCmd));
  return TRUE;
}

// Deferred positioning: the calls are gathered and carried out one after another at the end.
struct HDWP__ {
  std::vector<WINDOWPOS> entries;
};

HDWP BeginDeferWindowPos(int count)
{
  if (count < 0) {
    return nullptr;
  }
  auto* info = new HDWP__;
  info->entries.reserve(static_cast<std::size_t>(count));
  return info;
}

HDWP DeferWindowPos(HDWP info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
  if (info == nullptr) {
    return nullptr;
  }
  if (!IsWindow(hwnd)) {
    delete info;
    return nullptr;
  }
  for (WINDOWPOS& e : info->entries) {
    if (e.hwnd == hwnd) {
      // A second call for the same window merges into the first.
      if ((flags & SWP_NOMOVE) == 0) {
        e.x = x;
        e.y = y;
        e.flags &= ~SWP_NOMOVE;
      }
      if ((flags & SWP_NOSIZE) == 0) {
        e.cx = cx;
        e.cy = cy;
        e.flags &= ~SWP_NOSIZE;
      }
      if ((flags & SWP_NOZORDER) == 0) {
        e.hwndInsertAfter = insertAfter;
        e.flags &= ~SWP_NOZORDER;
      }
      e.flags |= flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED);
      return info;
    }
  }
  info->entries.push_back(WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags});
  return info;
}

BOOL EndDeferWindowPos(HDWP info)
{
  if (info == nullptr) {
    return FALSE;
  }
  std::vector<WINDOWPOS> entries = std::move(info->entries);
  delete info;
  BOOL ok = TRUE;
  for (const WINDOWPOS& e : entries) {
    if (!SetWindowPos(e.hwnd, e.hwndInsertAfter, e.x, e.y, e.cx, e.cy, e.flags)) {
      ok = FALSE;
    }
  }
  return ok;
}

HWND WindowFromPoint(POINT point)
{
  LRESULT hit = 0;
  return HitWindow(point, &hit);
}

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags)
{
  Lock lock(S().mutex);
  Window* p = Find(parent);
  if (p == nullptr) {
    return nullptr;
  }
  RECT client{0, 0, p->client.Width(), p->client.Height()};
  if (!client.Contains(point)) {
    return nullptr;
  }
  for (HWND h : p->children) {
    Window* c = Find(h);
    if (c == nullptr || !c->window.Contains(point) ||
        !InWindowShape(*c, point.x - c->window.left, point.y - c->window.top)) {
      continue;
    }
    if ((flags & CWP_SKIPINVISIBLE) != 0 && (c->style & WS_VISIBLE) == 0) {
      continue;
    }
    if ((flags & CWP_SKIPDISABLED) != 0 && (c->style & WS_DISABLED) != 0) {
      continue;
    }
    if ((flags & CWP_SKIPTRANSPARENT) != 0 && (c->exStyle & WS_EX_TRANSPARENT) != 0) {
      continue;
    }
    return h;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) { return ChildWindowFromPointEx(parent, point, CWP_ALL); }

HWND RealChildWindowFromPoint(HWND parent, POINT point)
{
  return ChildWindowFromPointEx(parent, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
}
