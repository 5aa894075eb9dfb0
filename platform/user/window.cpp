// Window classes, creation and destruction, the window tree, text, long values and properties.
#include "platform/user/controls.h"
#include "platform/user/input.h"
#include "platform/user/menu.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace user::detail;

namespace {

bool SameNoCase(const std::string& a, const std::string& b)
{
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::shared_ptr<WindowClass> FindClassLocked(LPCSTR name)
{
  if (name == nullptr) {
    return nullptr;
  }
  State& s = S();
  if (IS_INTRESOURCE(name)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto& c : s.classes) {
      if (c->atom == atom) {
        return c;
      }
    }
    return nullptr;
  }
  for (auto& c : s.classes) {
    if (SameNoCase(c->name, name)) {
      return c;
    }
  }
  return nullptr;
}

ATOM Register(const WNDCLASSEX& wc)
{
  if (wc.lpszClassName == nullptr || wc.cbClsExtra < 0 || wc.cbWndExtra < 0) {
    return 0;
  }
  State& s = S();
  Lock lock(s.mutex);
  if (FindClassLocked(wc.lpszClassName)) {
    return 0;
  }
  auto c = std::make_shared<WindowClass>();
  c->name = NameKey(wc.lpszClassName);
  c->atom = AddAtomLocked(c->name);
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->clsExtra = wc.cbClsExtra;
  c->wndExtra = wc.cbWndExtra;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->iconSmall = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  if (wc.lpszMenuName != nullptr) {
    c->menuName = NameKey(wc.lpszMenuName);
  }
  c->extra.assign(static_cast<std::size_t>(wc.cbClsExtra), 0);
  s.classes.push_back(c);
  return c->atom;
}

// Top-level windows that are not topmost go below every topmost one.
std::size_t TopInsertIndex(const Window& parent, const Window& w)
{
  if (!IsTopLevel(w) || (w.exStyle & WS_EX_TOPMOST) != 0) {
    return 0;
  }
  std::size_t i = 0;
  while (i < parent.children.size()) {
    const Window* c = Find(parent.children[i]);
    if (c == nullptr || (c->exStyle & WS_EX_TOPMOST) == 0) {
      break;
    }
    ++i;
  }
  return i;
}

void Unlink(Window& w)
{
  if (Window* p = Find(w.parent)) {
    std::erase(p->children, w.hwnd);
  }
}

// Removes a window from every table once its last message has been sent.
void Forget(HWND hwnd)
{
  State& s = S();
  Lock lock(s.mutex);
  std::shared_ptr<Window> w = FindShared(hwnd);
  if (!w) {
    return;
  }
  Unlink(*w);
  if (w->queue) {
    ThreadQueue& q = *w->queue;
    std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd; });
    std::erase_if(q.input, [&](const InputMessage& in) { return in.msg.hwnd == hwnd; });
    if (q.focus == hwnd) {
      q.focus = nullptr;
    }
    if (q.active == hwnd) {
      q.active = nullptr;
    }
    if (q.caretWindow == hwnd) {
      q.caretWindow = nullptr;
      q.caretHide = 1;
    }
  }
  if (s.capture == hwnd) {
    s.capture = nullptr;
  }
  if (s.trackWindow == hwnd) {
    s.trackWindow = nullptr;
    s.trackFlags = 0;
  }
  if (s.mouseWindow == hwnd) {
    s.mouseWindow = nullptr;
  }
  if (s.lastClickWindow == hwnd) {
    s.lastClickWindow = nullptr;
  }
  for (auto& [id, other] : s.windows) {
    if (other->owner == hwnd) {
      other->owner = nullptr;
    }
    if (other->lastActivePopup == hwnd) {
      other->lastActivePopup = nullptr;
    }
  }
  EraseWindow(hwnd);
}

void SendDestroy(HWND hwnd)
{
  std::vector<HWND> children;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return;
    }
    w->destroying = true;
  }
  WindowDestroyed(hwnd);
  SendMessage(hwnd, WM_DESTROY, 0, 0);
  {
    Lock lock(S().mutex);
    if (Window* w = Find(hwnd)) {
      children = w->children;
    }
  }
  for (HWND child : children) {
    SendDestroy(child);
  }
}

void SendNcDestroy(HWND hwnd)
{
  std::vector<HWND> children;
  {
    Lock lock(S().mutex);
    if (Window* w = Find(hwnd)) {
      children = w->children;
    }
  }
  for (HWND child : children) {
    SendNcDestroy(child);
  }
  SendMessage(hwnd, WM_NCDESTROY, 0, 0);
  HMENU menu = nullptr;
  {
    Lock lock(S().mutex);
    if (Window* w = Find(hwnd); w != nullptr && HasMenuBar(*w)) {
      menu = reinterpret_cast<HMENU>(w->idOrMenu);
    }
  }
  if (menu != nullptr) {
    DestroyMenu(menu);  // a window's menu bar goes with it
  }
  bool top = false;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    top = w != nullptr && w->parent == S().desktop->hwnd;
  }
  Forget(hwnd);
  if (top) {
    NotifyGone(hwnd);
  }
  ForgetWindowDCs(hwnd);
}

void NotifyParents(HWND hwnd, UINT event)
{
  // Each ancestor hears of it while the chain is of children that did not opt out.
  HWND child = hwnd;
  for (;;) {
    HWND parent = nullptr;
    int id = 0;
    {
      Lock lock(S().mutex);
      Window* w = Find(child);
      if (w == nullptr || (w->style & WS_CHILD) == 0 || (w->exStyle & WS_EX_NOPARENTNOTIFY) != 0) {
        return;
      }
      parent = w->parent;
      id = static_cast<int>(w->idOrMenu);
      if (IsDesktopOrRoot(parent)) {
        return;
      }
    }
    SendMessage(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, static_cast<unsigned>(id)), reinterpret_cast<LPARAM>(hwnd));
    child = parent;
  }
}

}  // namespace

ATOM RegisterClass(const WNDCLASS* wc)
{
  if (wc == nullptr) {
    return 0;
  }
  WNDCLASSEX ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return Register(ex);
}

ATOM RegisterClassEx(const WNDCLASSEX* wc) { return wc != nullptr ? Register(*wc) : 0; }

BOOL UnregisterClass(LPCSTR className, HINSTANCE)
{
  State& s = S();
  Lock lock(s.mutex);
  auto c = FindClassLocked(className);
  if (!c) {
    return FALSE;
  }
  for (auto& [id, w] : s.windows) {
    if (w->cls == c) {
      return FALSE;  // still in use
    }
  }
  std::erase(s.classes, c);
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR className, WNDCLASSEX* wc)
{
  user::RegisterStandardControls();
  Lock lock(S().mutex);
  auto c = FindClassLocked(className);
  if (!c || wc == nullptr) {
    return FALSE;
  }
  wc->style = c->style;
  wc->lpfnWndProc = c->proc;
  wc->cbClsExtra = c->clsExtra;
  wc->cbWndExtra = c->wndExtra;
  wc->hInstance = c->instance;
  wc->hIcon = c->icon;
  wc->hIconSm = c->iconSmall;
  wc->hCursor = c->cursor;
  wc->hbrBackground = c->background;
  wc->lpszMenuName = nullptr;
  wc->lpszClassName = className;
  return c->atom;
}

BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, WNDCLASS* wc)
{
  WNDCLASSEX ex;
  if (!GetClassInfoEx(instance, className, &ex) || wc == nullptr) {
    return FALSE;
  }
  wc->style = ex.style;
  wc->lpfnWndProc = ex.lpfnWndProc;
  wc->cbClsExtra = ex.cbClsExtra;
  wc->cbWndExtra = ex.cbWndExtra;
  wc->hInstance = ex.hInstance;
  wc->hIcon = ex.hIcon;
  wc->hCursor = ex.hCursor;
  wc->hbrBackground = ex.hbrBackground;
  wc->lpszMenuName = nullptr;
  wc->lpszClassName = className;
  return TRUE;
}

int GetClassName(HWND hwnd, LPSTR buffer, int size)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || buffer == nullptr || size <= 0) {
    return 0;
  }
  int n = std::min<int>(static_cast<int>(w->cls->name.size()), size - 1);
  std::memcpy(buffer, w->cls->name.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return 0;
  }
  WindowClass& c = *w->cls;
  if (index >= 0) {
    if (static_cast<std::size_t>(index) + sizeof(LONG_PTR) > c.extra.size()) {
      return 0;
    }
    ULONG_PTR v = 0;
    std::memcpy(&v, c.extra.data() + index, sizeof v);
    return v;
  }
  switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c.iconSmall);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(c.wndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(c.clsExtra);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE: return c.style;
    case GCW_ATOM: return c.atom;
    default: return 0;
  }
}

DWORD GetClassLong(HWND hwnd, int index) { return static_cast<DWORD>(GetClassLongPtr(hwnd, index)); }

ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return 0;
  }
  WindowClass& c = *w->cls;
  ULONG_PTR old = 0;
  auto swap = [&](auto& field) {
    old = (ULONG_PTR)(field);
    field = (std::remove_reference_t<decltype(field)>)(value);
  };
  if (index >= 0) {
    if (static_cast<std::size_t>(index) + sizeof(LONG_PTR) > c.extra.size()) {
      return 0;
    }
    std::memcpy(&old, c.extra.data() + index, sizeof old);
    std::memcpy(c.extra.data() + index, &value, sizeof value);
    return old;
  }
  switch (index) {
    case GCLP_HBRBACKGROUND: swap(c.background); break;
    case GCLP_HCURSOR: swap(c.cursor); break;
    case GCLP_HICON: swap(c.icon); break;
    case GCLP_HICONSM: swap(c.iconSmall); break;
    case GCLP_WNDPROC: swap(c.proc); break;
    case GCL_STYLE:
      old = c.style;
      c.style = static_cast<UINT>(value);
      break;
    default: return 0;
  }
  return old;
}

DWORD SetClassLong(HWND hwnd, int index, LONG value) { return static_cast<DWORD>(SetClassLongPtr(hwnd, index, value)); }

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
  user::RegisterStandardControls();
  State& s = S();
  Lock lock(s.mutex);
  auto cls = FindClassLocked(className);
  if (!cls) {
    return nullptr;
  }
  auto w = std::make_shared<Window>();
  w->cls = cls;
  w->queue = CurrentQueueLocked();
  if (parent == HWND_MESSAGE) {
    w->parent = s.messageRoot->hwnd;
  } else if ((style & WS_CHILD) != 0) {
    Window* p = Find(parent);
    if (p == nullptr) {
      return nullptr;
    }
    w->parent = parent;
  } else {
    w->parent = s.desktop->hwnd;
    if (parent != nullptr) {
      if (Find(parent) == nullptr) {
        return nullptr;
      }
      // The owner of a top-level window is always top-level itself.
      w->owner = TopLevelOf(parent);
    }
  }
  if ((style & (WS_CHILD | WS_POPUP)) == 0) {
    style |= WS_CLIPSIBLINGS | WS_CAPTION;
  }
  if ((exStyle & WS_EX_DLGMODALFRAME) != 0 || (style & (WS_DLGFRAME | WS_THICKFRAME)) != 0) {
    exStyle |= WS_EX_WINDOWEDGE;
  }
  const bool wantVisible = (style & WS_VISIBLE) != 0;
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  if (IsTopLevel(*w) && (style & WS_POPUP) == 0) {
    static int cascade = 0;
    if (x == CW_USEDEFAULT) {
      x = y = 26 * (cascade++ % 8);
    }
    if (width == CW_USEDEFAULT) {
      width = s.desktop->window.Width() * 3 / 4;
      height = s.desktop->window.Height() * 3 / 4;
    }
  } else {
    if (x == CW_USEDEFAULT) {
      x = y = 0;
    }
    if (width == CW_USEDEFAULT) {
      width = height = 0;
    }
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
  w->window = RECT{x, y, x + width, y + height};
  w->client = w->window;
  w->normalRect = w->window;
  w->proc = cls->proc;
  w->instance = instance;
  w->idOrMenu = reinterpret_cast<UINT_PTR>(menu);
  w->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
  w->hwnd = reinterpret_cast<HWND>(s.nextHandle);
  s.nextHandle += 4;
  HWND hwnd = w->hwnd;
  s.windows[reinterpret_cast<std::uintptr_t>(hwnd)] = w;
  Window& p = *Find(w->parent);
  if (IsTopLevel(*w)) {
    p.children.insert(p.children.begin() + static_cast<std::ptrdiff_t>(TopInsertIndex(p, *w)), hwnd);
  } else {
    // Children go to the bottom, so z-order is creation order, as dialog tab order expects.
    p.children.push_back(hwnd);
  }
  lock.unlock();

  CREATESTRUCT cs{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(w->style), windowName,
                  className, exStyle};
  CBT_CREATEWND cbt{&cs, HWND_TOP};
  bool any = false;
  if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt), &any) != 0) {
    Forget(hwnd);
    return nullptr;
  }
  if (IsTopLevel(*w) && ((style & WS_THICKFRAME) != 0 || (style & (WS_POPUP | WS_CHILD)) == 0)) {
    MINMAXINFO mmi{};
    RECT insets = FrameInsets(w->style, w->exStyle, false);
    mmi.ptMaxSize = {s.desktop->window.Width() + insets.left + insets.right,
                     s.desktop->window.Height() + insets.top + insets.bottom};
    mmi.ptMaxPosition = {-insets.left, -insets.top};
    mmi.ptMinTrackSize = {112, 27};
    mmi.ptMaxTrackSize = {mmi.ptMaxSize.x + 24, mmi.ptMaxSize.y + 24};
    SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    cs.cx = std::clamp<int>(cs.cx, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
    cs.cy = std::clamp<int>(cs.cy, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
    Lock relock(s.mutex);
    if (Window* live = Find(hwnd)) {
      live->window = RECT{x, y, x + cs.cx, y + cs.cy};
      live->client = live->window;
      live->normalRect = live->window;
    }
  }
  if (SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0) {
    SendNcDestroy(hwnd);
    return nullptr;
  }
  RECT rect;
  {
    Lock relock(s.mutex);
    Window* live = Find(hwnd);
    if (live == nullptr) {
      return nullptr;
    }
    live->nccreated = true;
    rect = live->window;
  }
  SendMessage(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
  {
    Lock relock(s.mutex);
    Window* live = Find(hwnd);
    if (live == nullptr) {
      return nullptr;
    }
    live->client = rect;
  }
  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd)) {
    return nullptr;
  }
  RECT client;
  {
    Lock relock(s.mutex);
    client = Find(hwnd)->client;
  }
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
  NotifyParents(hwnd, WM_CREATE);
  if (!IsWindow(hwnd)) {
    return nullptr;
  }
  if (menu != nullptr && (style & WS_CHILD) == 0) {
    SetMenu(hwnd, menu);
  }
  if (wantVisible) {
    int cmd = SW_SHOW;
    if ((style & WS_MAXIMIZE) != 0) {
      cmd = SW_SHOWMAXIMIZED;
    } else if ((style & WS_MINIMIZE) != 0) {
      cmd = SW_SHOWMINIMIZED;
    }
    ShowWindow(hwnd, cmd);
  }
  return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd)
{
  State& s = S();
  bool child = false;
  bool visible = false;
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || IsDesktopOrRoot(hwnd) || w->queue != CurrentQueueLocked() || w->destroying) {
      return FALSE;
    }
    child = (w->style & WS_CHILD) != 0;
    visible = (w->style & WS_VISIBLE) != 0;
  }
  bool any = false;
  if (CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0, &any) != 0) {
    return FALSE;
  }
  NotifyParents(hwnd, WM_DESTROY);
  if (visible && IsWindow(hwnd)) {
    if (child) {
      ShowWindow(hwnd, SW_HIDE);
    } else {
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
  }
  if (!IsWindow(hwnd)) {
    return TRUE;
  }
  if (!child) {
    std::vector<HWND> owned;
    {
      Lock lock(s.mutex);
      for (HWND top : s.desktop->children) {
        Window* o = Find(top);
        if (o != nullptr && o->owner == hwnd) {
          if (o->queue == CurrentQueueLocked()) {
            owned.push_back(top);
          } else {
            o->owner = nullptr;
          }
        }
      }
    }
    for (HWND o : owned) {
      DestroyWindow(o);
    }
  }
  SendDestroy(hwnd);
  SendNcDestroy(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
  Lock lock(S().mutex);
  return Find(hwnd) != nullptr ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  while (w != nullptr && (w->style & WS_CHILD) != 0) {
    if (w->parent == parent) {
      return TRUE;
    }
    w = Find(w->parent);
  }
  return FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  return w != nullptr && IsVisibleChain(*w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  return w != nullptr && (w->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
  bool wasDisabled = false;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return FALSE;
    }
    wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable) {
      w->style &= ~WS_DISABLED;
    } else {
      w->style |= WS_DISABLED;
    }
  }
  if (!enable && !wasDisabled) {
    // A disabled window can hold neither the focus nor the capture.
    HWND focus = GetFocus();
    if (focus == hwnd || IsChild(hwnd, focus)) {
      SetFocus(nullptr);
    }
    if (GetCapture() == hwnd) {
      ReleaseCapture();
    }
  }
  if (wasDisabled == (enable == 0)) {
    return wasDisabled ? TRUE : FALSE;
  }
  SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  return w != nullptr && (w->style & WS_MINIMIZE) != 0 ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  return w != nullptr && (w->style & WS_MAXIMIZE) != 0 ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return nullptr;
  }
  if ((w->style & WS_CHILD) != 0) {
    return IsDesktopOrRoot(w->parent) ? nullptr : w->parent;
  }
  if ((w->style & WS_POPUP) != 0) {
    return w->owner;
  }
  return nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent)
{
  State& s = S();
  HWND old = nullptr;
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || IsDesktopOrRoot(hwnd)) {
      return nullptr;
    }
    HWND target = newParent == nullptr ? s.desktop->hwnd : newParent;
    if (target == HWND_MESSAGE) {
      target = s.messageRoot->hwnd;
    }
    if (Find(target) == nullptr || target == hwnd || IsDescendant(hwnd, target)) {
      return nullptr;
    }
    old = w->parent;
    Unlink(*w);
    w->parent = target;
    Window& p = *Find(target);
    p.children.insert(p.children.begin() + static_cast<std::ptrdiff_t>(TopInsertIndex(p, *w)), hwnd);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  return old;
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || IsDesktopOrRoot(hwnd)) {
    return nullptr;
  }
  switch (flags) {
    case GA_PARENT: return w->parent;
    case GA_ROOT: return TopLevelOf(hwnd);
    case GA_ROOTOWNER: {
      Window* top = Find(TopLevelOf(hwnd));
      while (top != nullptr && top->owner != nullptr) {
        top = Find(top->owner);
      }
      return top != nullptr ? top->hwnd : nullptr;
    }
    default: return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT cmd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return nullptr;
  }
  if (cmd == GW_OWNER) {
    return w->owner;
  }
  if (cmd == GW_CHILD) {
    return w->children.empty() ? nullptr : w->children.front();
  }
  if (cmd == GW_ENABLEDPOPUP) {
    return nullptr;
  }
  Window* p = Find(w->parent);
  if (p == nullptr) {
    return nullptr;
  }
  const auto& sib = p->children;
  auto it = std::find(sib.begin(), sib.end(), hwnd);
  switch (cmd) {
    case GW_HWNDFIRST: return sib.front();
    case GW_HWNDLAST: return sib.back();
    case GW_HWNDNEXT: return it != sib.end() && it + 1 != sib.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV: return it != sib.end() && it != sib.begin() ? *(it - 1) : nullptr;
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd)
{
  if (hwnd == nullptr) {
    hwnd = GetDesktopWindow();
  }
  return GetWindow(hwnd, GW_CHILD);
}

HWND GetDesktopWindow() { return S().desktop->hwnd; }

HWND GetLastActivePopup(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return nullptr;
  }
  if (w->lastActivePopup != nullptr && Find(w->lastActivePopup) != nullptr) {
    return w->lastActivePopup;
  }
  return hwnd;
}

namespace {

std::vector<HWND> Snapshot(HWND parent, bool deep)
{
  std::vector<HWND> out;
  Lock lock(S().mutex);
  std::vector<HWND> stack;
  auto add = [&](auto& self, HWND h) -> void {
    Window* w = Find(h);
    if (w == nullptr) {
      return;
    }
    for (HWND c : w->children) {
      out.push_back(c);
      if (deep) {
        self(self, c);
      }
    }
  };
  add(add, parent);
  return out;
}

}  // namespace

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
  for (HWND h : Snapshot(GetDesktopWindow(), false)) {
    if (IsWindow(h) && !proc(h, lParam)) {
      return FALSE;
    }
  }
  return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam)
{
  for (HWND h : Snapshot(parent == nullptr ? GetDesktopWindow() : parent, true)) {
    if (IsWindow(h) && !proc(h, lParam)) {
      return FALSE;
    }
  }
  return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam)
{
  std::vector<HWND> mine;
  {
    Lock lock(S().mutex);
    for (HWND h : S().desktop->children) {
      Window* w = Find(h);
      if (w != nullptr && w->queue && w->queue->threadId == threadId) {
        mine.push_back(h);
      }
    }
  }
  for (HWND h : mine) {
    if (IsWindow(h) && !proc(h, lParam)) {
      return FALSE;
    }
  }
  return TRUE;
}

HWND FindWindowEx(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName)
{
  State& s = S();
  Lock lock(s.mutex);
  Window* p = Find(parent == nullptr ? s.desktop->hwnd : parent);
  if (p == nullptr) {
    return nullptr;
  }
  std::string wantClass = className != nullptr ? NameKey(className) : std::string();
  bool started = childAfter == nullptr;
  for (HWND h : p->children) {
    if (!started) {
      started = h == childAfter;
      continue;
    }
    Window* w = Find(h);
    if (w == nullptr) {
      continue;
    }
    if (className != nullptr && !SameNoCase(w->cls->name, wantClass)) {
      continue;
    }
    if (windowName != nullptr && w->text != windowName) {
      continue;
    }
    return h;
  }
  return nullptr;
}

HWND FindWindow(LPCSTR className, LPCSTR windowName) { return FindWindowEx(nullptr, nullptr, className, windowName); }

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (processId != nullptr) {
    *processId = w != nullptr ? 1 : 0;
  }
  return w != nullptr && w->queue ? w->queue->threadId : 0;
}

HWND GetDlgItem(HWND dialog, int id)
{
  Lock lock(S().mutex);
  Window* d = Find(dialog);
  if (d == nullptr) {
    return nullptr;
  }
  for (HWND h : d->children) {
    Window* c = Find(h);
    if (c != nullptr && static_cast<int>(c->idOrMenu) == id) {
      return h;
    }
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  return w != nullptr && (w->style & WS_CHILD) != 0 ? static_cast<int>(w->idOrMenu) : 0;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || rect == nullptr) {
    return FALSE;
  }
  *rect = WindowRectOnScreen(*w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || rect == nullptr) {
    return FALSE;
  }
  *rect = RECT{0, 0, w->client.Width(), w->client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || point == nullptr) {
    return FALSE;
  }
  *point = *point + ClientOrigin(*w);
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || point == nullptr) {
    return FALSE;
  }
  *point = *point - ClientOrigin(*w);
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
  Lock lock(S().mutex);
  POINT a{};
  POINT b{};
  if (from != nullptr && !IsDesktopOrRoot(from)) {
    Window* w = Find(from);
    if (w == nullptr) {
      return 0;
    }
    a = ClientOrigin(*w);
  }
  if (to != nullptr && !IsDesktopOrRoot(to)) {
    Window* w = Find(to);
    if (w == nullptr) {
      return 0;
    }
    b = ClientOrigin(*w);
  }
  POINT d = a - b;
  for (UINT i = 0; i < count; ++i) {
    points[i] = points[i] + d;
  }
  return MAKELONG(static_cast<unsigned>(d.x), static_cast<unsigned>(d.y));
}

BOOL SetWindowText(HWND hwnd, LPCSTR text)
{
  if (!IsWindow(hwnd)) {
    return FALSE;
  }
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, LPSTR buffer, int size)
{
  if (buffer == nullptr || size <= 0) {
    return 0;
  }
  bool mine = false;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      buffer[0] = '\0';
      return 0;
    }
    mine = w->queue == CurrentQueueLocked();
    if (!mine) {
      // Another thread's window answers from its stored text, so a busy thread cannot block the caller.
      int n = std::min<int>(static_cast<int>(w->text.size()), size - 1);
      std::memcpy(buffer, w->text.data(), static_cast<std::size_t>(n));
      buffer[n] = '\0';
      return n;
    }
  }
  buffer[0] = '\0';
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd)
{
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return 0;
    }
    if (w->queue != CurrentQueueLocked()) {
      return static_cast<int>(w->text.size());
    }
  }
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return 0;
  }
  if (index >= 0) {
    if (static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
      return 0;
    }
    LONG_PTR v = 0;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) != 0 ? w->parent : w->owner);
    case GWLP_ID: return static_cast<LONG_PTR>(w->idOrMenu);
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value)
{
  if (index == GWL_STYLE || index == GWL_EXSTYLE) {
    STYLESTRUCT ss{};
    {
      Lock lock(S().mutex);
      Window* w = Find(hwnd);
      if (w == nullptr) {
        return 0;
      }
      ss.styleOld = index == GWL_STYLE ? w->style : w->exStyle;
    }
    ss.styleNew = static_cast<DWORD>(value);
    SendMessage(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    {
      Lock lock(S().mutex);
      Window* w = Find(hwnd);
      if (w == nullptr) {
        return 0;
      }
      if (index == GWL_STYLE) {
        w->style = ss.styleNew;
      } else {
        w->exStyle = ss.styleNew;
      }
    }
    SendMessage(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    return static_cast<LONG_PTR>(static_cast<LONG>(ss.styleOld));
  }
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return 0;
  }
  LONG_PTR old = 0;
  if (index >= 0) {
    if (static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
      return 0;
    }
    std::memcpy(&old, w->extra.data() + index, sizeof old);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  switch (index) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      S().windowEpoch.fetch_add(1, std::memory_order_release);
      break;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      break;
    case GWLP_HWNDPARENT:
      old = reinterpret_cast<LONG_PTR>(w->owner);
      if ((w->style & WS_CHILD) == 0) {
        w->owner = reinterpret_cast<HWND>(value);
      }
      break;
    case GWLP_ID:
      old = static_cast<LONG_PTR>(w->idOrMenu);
      w->idOrMenu = static_cast<UINT_PTR>(value);
      break;
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = value;
      break;
    default: return 0;
  }
  return old;
}

LONG GetWindowLong(HWND hwnd, int index)
{
  if (index >= 0) {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size()) {
      return 0;
    }
    LONG v = 0;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
}

LONG SetWindowLong(HWND hwnd, int index, LONG value)
{
  if (index >= 0) {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size()) {
      return 0;
    }
    LONG old = 0;
    std::memcpy(&old, w->extra.data() + index, sizeof old);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  if (index == GWL_STYLE || index == GWL_EXSTYLE) {
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
  }
  return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}

WORD GetWindowWord(HWND hwnd, int index)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || index < 0 || static_cast<std::size_t>(index) + sizeof(WORD) > w->extra.size()) {
    return 0;
  }
  WORD v = 0;
  std::memcpy(&v, w->extra.data() + index, sizeof v);
  return v;
}

BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE data)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || name == nullptr) {
    return FALSE;
  }
  std::string key = NameKey(name);
  for (auto& [k, v] : w->props) {
    if (SameNoCase(k, key)) {
      v = data;
      return TRUE;
    }
  }
  w->props.emplace_back(key, data);
  return TRUE;
}

HANDLE GetProp(HWND hwnd, LPCSTR name)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || name == nullptr) {
    return nullptr;
  }
  std::string key = NameKey(name);
  for (auto& [k, v] : w->props) {
    if (SameNoCase(k, key)) {
      return v;
    }
  }
  return nullptr;
}

HANDLE RemoveProp(HWND hwnd, LPCSTR name)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || name == nullptr) {
    return nullptr;
  }
  std::string key = NameKey(name);
  for (auto it = w->props.begin(); it != w->props.end(); ++it) {
    if (SameNoCase(it->first, key)) {
      HANDLE data = it->second;
      w->props.erase(it);
      return data;
    }
  }
  return nullptr;
}

int EnumProps(HWND hwnd, PROPENUMPROC proc)
{
  std::vector<std::pair<std::string, HANDLE>> props;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return -1;
    }
    props = w->props;
  }
  int last = -1;
  for (auto& [k, v] : props) {
    last = proc(hwnd, k.c_str(), v);
    if (!last) {
      break;
    }
  }
  return last;
}
