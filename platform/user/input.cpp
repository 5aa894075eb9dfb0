// Input: injection into the queues, the key-state tables, activation, focus, capture, mouse tracking, the
// cursor and the caret.
#include "platform/user/input.h"

#include "platform/base/clock.h"
#include "platform/gdi/windraw.h"
#include "platform/user/keyboard.h"
#include "platform/user/paint.h"
#include "platform/user/resources.h"
#include "platform/user/state.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

using namespace user::detail;

namespace {

void QueueWheel(UINT message, int delta);
void QueueKey(UINT vk, bool down, std::optional<std::string> cp1251 = std::nullopt);

// What the screen does to a top-level window travels as input of this message, so that it happens on the
// window's own thread: wParam says what, pt and lParam carry a rectangle's corner and size.
UINT ScreenRequestMessage()
{
  static const UINT message = RegisterWindowMessage("TesmiraScreenRequest");
  return message;
}
constexpr WPARAM kScreenDeactivates = 0;
constexpr WPARAM kScreenActivates = 1;
constexpr WPARAM kScreenMoves = 2;

void QueueScreenRequest(HWND topLevel, WPARAM what, const RECT& rect)
{
  const UINT message = ScreenRequestMessage();  // it takes the lock itself
  State& s = S();
  Lock lock(s.mutex);
  Window* w = Find(topLevel);
  if (w == nullptr || !w->queue || !w->queue->alive) {
    return;
  }
  MSG m{topLevel, message, what, MAKELPARAM(rect.Width(), rect.Height()), GetTickCount(),
        POINT{rect.left, rect.top}};
  w->queue->input.push_back(InputMessage{m, HTNOWHERE, false, 0});
  WakeQueue(*w->queue);
}

// On the window's thread. A window the screen activates while a modal popup disables it passes the activation to
// that popup, as a click on it would.
void TakeScreenActivation(HWND top, bool active)
{
  if (!active) {
    Activate(nullptr, false);
    return;
  }
  {
    Lock lock(S().mutex);
    Window* w = Find(top);
    if (w == nullptr) {
      return;
    }
    if ((w->style & WS_DISABLED) != 0) {
      Window* popup = Find(w->lastActivePopup);
      if (popup == nullptr || popup->hwnd == top || (popup->style & WS_DISABLED) != 0) {
        return;
      }
      top = popup->hwnd;
    }
  }
  Activate(top, false);
}

void TakeScreenMove(HWND top, const RECT& rect)
{
  RECT now{};
  if (!GetWindowRect(top, &now) || now == rect) {
    return;
  }
  SetWindowPos(top, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// Set-1 scan codes of the keys, and whether they carry the extended-key bit.
struct ScanCode {
  BYTE code;
  bool extended;
};

ScanCode ScanCodeOf(UINT vk)
{
  static const char* const kLetters = "\x1E\x30\x2E\x20\x12\x21\x22\x23\x17\x24\x25\x26\x32\x31\x18\x19\x10\x13\x1F"
                                      "\x14\x16\x2F\x11\x2D\x15\x2C";
  if (vk >= 'A' && vk <= 'Z') {
    return {static_cast<BYTE>(kLetters[vk - 'A']), false};
  }
  if (vk >= '1' && vk <= '9') {
    return {static_cast<BYTE>(0x02 + (vk - '1')), false};
  }
  if (vk == '0') {
    return {0x0B, false};
  }
  if (vk >= VK_F1 && vk <= VK_F10) {
    return {static_cast<BYTE>(0x3B + (vk - VK_F1)), false};
  }
  switch (vk) {
    case VK_F11: return {0x57, false};
    case VK_F12: return {0x58, false};
    case VK_ESCAPE: return {0x01, false};
    case VK_OEM_MINUS: return {0x0C, false};
    case VK_OEM_PLUS: return {0x0D, false};
    case VK_BACK: return {0x0E, false};
    case VK_TAB: return {0x0F, false};
    case VK_OEM_4: return {0x1A, false};
    case VK_OEM_6: return {0x1B, false};
    case VK_RETURN: return {0x1C, false};
    case VK_CONTROL:
    case VK_LCONTROL: return {0x1D, false};
    case VK_RCONTROL: return {0x1D, true};
    case VK_OEM_1: return {0x27, false};
    case VK_OEM_7: return {0x28, false};
    case VK_OEM_3: return {0x29, false};
    case VK_SHIFT:
    case VK_LSHIFT: return {0x2A, false};
    case VK_OEM_5: return {0x2B, false};
    case VK_OEM_COMMA: return {0x33, false};
    case VK_OEM_PERIOD: return {0x34, false};
    case VK_OEM_2: return {0x35, false};
    case VK_RSHIFT: return {0x36, false};
    case VK_MULTIPLY: return {0x37, false};
    case VK_MENU:
    case VK_LMENU: return {0x38, false};
    case VK_RMENU: return {0x38, true};
    case VK_SPACE: return {0x39, false};
    case VK_CAPITAL: return {0x3A, false};
    case VK_NUMLOCK: return {0x45, true};
    case VK_SCROLL: return {0x46, false};
    case VK_HOME: return {0x47, true};
    case VK_UP: return {0x48, true};
    case VK_PRIOR: return {0x49, true};
    case VK_SUBTRACT: return {0x4A, false};
    case VK_LEFT: return {0x4B, true};
    case VK_RIGHT: return {0x4D, true};
    case VK_ADD: return {0x4E, false};
    case VK_END: return {0x4F, true};
    case VK_DOWN: return {0x50, true};
    case VK_NEXT: return {0x51, true};
    case VK_INSERT: return {0x52, true};
    case VK_DELETE: return {0x53, true};
    case VK_DIVIDE: return {0x35, true};
    case VK_DECIMAL: return {0x53, false};
    case VK_LWIN: return {0x5B, true};
    case VK_RWIN: return {0x5C, true};
    case VK_APPS: return {0x5D, true};
    default: break;
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
    static const BYTE kPad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
    return {kPad[vk - VK_NUMPAD0], false};
  }
  return {0, false};
}

// The generic key that a left or right key also presses, or 0.
UINT GenericOf(UINT vk)
{
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return 0;
  }
}
UINT LeftOf(UINT vk)
{
  switch (vk) {
    case VK_SHIFT: return VK_LSHIFT;
    case VK_CONTROL: return VK_LCONTROL;
    case VK_MENU: return VK_LMENU;
    default: return 0;
  }
}

void SetKey(BYTE* table, UINT vk, bool down)
{
  auto apply = [&](UINT k) {
    if (down) {
      if ((table[k] & 0x80) == 0) {
        table[k] ^= 0x01;
      }
      table[k] |= 0x80;
    } else {
      table[k] &= static_cast<BYTE>(~0x80);
    }
  };
  apply(vk);
  if (UINT g = GenericOf(vk)) {
    apply(g);
  }
  if (UINT l = LeftOf(vk)) {
    apply(l);
  }
}

WPARAM MouseKeys(const BYTE* keys)
{
  WPARAM k = 0;
  k |= (keys[VK_LBUTTON] & 0x80) ? MK_LBUTTON : 0;
  k |= (keys[VK_RBUTTON] & 0x80) ? MK_RBUTTON : 0;
  k |= (keys[VK_MBUTTON] & 0x80) ? MK_MBUTTON : 0;
  k |= (keys[VK_XBUTTON1] & 0x80) ? MK_XBUTTON1 : 0;
  k |= (keys[VK_XBUTTON2] & 0x80) ? MK_XBUTTON2 : 0;
  k |= (keys[VK_SHIFT] & 0x80) ? MK_SHIFT : 0;
  k |= (keys[VK_CONTROL] & 0x80) ? MK_CONTROL : 0;
  return k;
}

bool IsButtonDown(UINT m)
{
  switch (m) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_NCXBUTTONDOWN: return true;
    default: return false;
  }
}

// The mouse left every window: a tracked one hears of it. Takes the lock held.
void TellTrackedWindowItLeft(POINT pt)
{
  State& s = S();
  if (s.trackWindow != nullptr && (s.trackFlags & TME_LEAVE) != 0) {
    if (Window* tw = Find(s.trackWindow); tw != nullptr && tw->queue) {
      const bool ncTrack = (s.trackFlags & TME_NONCLIENT) != 0;
      tw->queue->posted.push_back(MSG{s.trackWindow, ncTrack ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0,
                                      static_cast<DWORD>(platform::CurrentClock().NowMs()), pt});
      tw->queue->hoverDue = 0;
      WakeQueue(*tw->queue);
    }
  }
}

void ForgetMouseWindow()
{
  State& s = S();
  s.trackWindow = nullptr;
  s.trackFlags = 0;
  s.mouseWindow = nullptr;
  s.mouseHitTest = HTNOWHERE;
}

// Queues one mouse message (client form `clientMsg`) for the window under `pt` or the capture. `extraWParam` is
// the wheel's delta or the side button's number, for the high word of wParam.
void QueueMouse(UINT clientMsg, POINT pt, WPARAM extraWParam = 0)
{
  State& s = S();
  HWND target = nullptr;
  LRESULT hit = HTCLIENT;
  {
    Lock lock(s.mutex);
    target = s.capture;
  }
  if (target == nullptr) {
    target = HitWindow(pt, &hit);
  }
  Lock lock(s.mutex);
  Window* w = Find(target);
  if (w == nullptr) {
    // Over no window of ours: a window that takes the capture before it is taken still gets it, so it waits in
    // the foreground thread's queue.
    std::shared_ptr<ThreadQueue> fg = s.foreground;
    if (fg && fg->alive && clientMsg != WM_MOUSEWHEEL) {
      MSG m{nullptr, clientMsg, MouseKeys(s.asyncKeys), 0, static_cast<DWORD>(platform::CurrentClock().NowMs()), pt};
      fg->input.push_back(InputMessage{m, HTNOWHERE, false, 0, clientMsg, MouseKeys(s.asyncKeys)});
      WakeQueue(*fg);
    }
    TellTrackedWindowItLeft(pt);
    if (clientMsg == WM_MOUSEMOVE) {
      ForgetMouseWindow();
    }
    return;
  }
  if (!w->queue || !w->queue->alive) {
    return;
  }
  // Disabled windows take no mouse input, unless they hold the capture.
  if (s.capture != target) {
    for (Window* a = w; a != nullptr && !IsDesktopOrRoot(a->hwnd); a = Find(a->parent)) {
      if ((a->style & WS_DISABLED) != 0) {
        return;
      }
    }
  }
  const bool client = hit == HTCLIENT;
  UINT message = clientMsg;
  if (clientMsg == WM_MOUSEWHEEL) {
    // The wheel goes to the focus, and carries screen coordinates.
  } else if (!client) {
    message = clientMsg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
  }
  const std::uint64_t now = platform::CurrentClock().NowMs();
  if (clientMsg == WM_LBUTTONDOWN || clientMsg == WM_RBUTTONDOWN || clientMsg == WM_MBUTTONDOWN) {
    const int dx = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
    bool dbl = s.lastClickWindow == target && s.lastClickButton == clientMsg && !s.lastClickWasDouble &&
               now - s.lastClickTime <= s.doubleClickMs && std::abs(pt.x - s.lastClickPoint.x) <= dx &&
               std::abs(pt.y - s.lastClickPoint.y) <= dx;
    if (dbl && client && (w->cls->style & CS_DBLCLKS) == 0) {
      dbl = false;
    }
    if (dbl) {
      message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    }
    s.lastClickWindow = target;
    s.lastClickButton = clientMsg;
    s.lastClickTime = now;
    s.lastClickPoint = pt;
    s.lastClickWasDouble = dbl;
  }
  MSG m;
  m.hwnd = target;
  m.message = message;
  m.time = static_cast<DWORD>(now);
  m.pt = pt;
  if (clientMsg == WM_MOUSEWHEEL) {
    m.wParam = MAKEWPARAM(static_cast<unsigned>(MouseKeys(s.asyncKeys)), static_cast<unsigned>(extraWParam));
    m.lParam = MAKELPARAM(pt.x, pt.y);
  } else if (client) {
    POINT c = pt - ClientOrigin(*w);
    m.wParam = MAKEWPARAM(static_cast<unsigned>(MouseKeys(s.asyncKeys)), static_cast<unsigned>(extraWParam));
    m.lParam = MAKELPARAM(c.x, c.y);
  } else {
    m.wParam = MAKEWPARAM(static_cast<unsigned>(hit), static_cast<unsigned>(extraWParam));
    m.lParam = MAKELPARAM(pt.x, pt.y);
  }
  ThreadQueue& q = *w->queue;
  if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) {
    // Moves in a row make one: only where the mouse is now matters.
    if (!q.input.empty() && !q.input.back().keyboard && q.input.back().msg.message == message &&
        q.input.back().msg.hwnd == target) {
      q.input.back().msg = m;
      q.input.back().hitTest = hit;
      WakeQueue(q);
      return;
    }
  }
  UINT clientForm = message;
  if (!client && clientMsg != WM_MOUSEWHEEL) {
    clientForm = message - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
  }
  q.input.push_back(InputMessage{
      m, hit, false, 0, clientForm,
      MAKEWPARAM(static_cast<unsigned>(MouseKeys(s.asyncKeys)), static_cast<unsigned>(extraWParam))});
  // Leaving the tracked window (or its part) ends the tracking.
  if (s.trackWindow != nullptr && clientMsg != WM_MOUSEWHEEL) {
    const bool ncTrack = (s.trackFlags & TME_NONCLIENT) != 0;
    if (s.trackWindow != target || client == ncTrack) {
      if ((s.trackFlags & TME_LEAVE) != 0) {
        if (Window* tw = Find(s.trackWindow); tw != nullptr && tw->queue) {
          MSG leave{s.trackWindow, ncTrack ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0, m.time, pt};
          tw->queue->posted.push_back(leave);
          WakeQueue(*tw->queue);
          tw->queue->hoverDue = 0;
        }
      }
      s.trackWindow = nullptr;
      s.trackFlags = 0;
    } else if ((s.trackFlags & TME_HOVER) != 0 && !s.hoverRect.Contains(pt)) {
      s.hoverRect = RECT{pt.x - 2, pt.y - 2, pt.x + 3, pt.y + 3};
      q.hoverDue = now + s.trackHoverMs;
    }
  }
  s.mouseWindow = target;
  s.mouseHitTest = hit;
  WakeQueue(q);
}

}  // namespace

namespace user {

void InjectMouseMove(POINT screen)
{
  {
    Lock lock(S().mutex);
    S().cursor = screen;
  }
  QueueMouse(WM_MOUSEMOVE, screen);
}

void InjectMouseButton(UINT button, bool down)
{
  UINT msg = 0;
  switch (button) {
    case VK_LBUTTON: msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case VK_RBUTTON: msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case VK_MBUTTON: msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    case VK_XBUTTON1:
    case VK_XBUTTON2: msg = down ? WM_XBUTTONDOWN : WM_XBUTTONUP; break;
    default: return;
  }
  POINT pt;
  {
    Lock lock(S().mutex);
    SetKey(S().asyncKeys, button, down);
    pt = S().cursor;
  }
  const WPARAM which = button == VK_XBUTTON1 ? XBUTTON1 : button == VK_XBUTTON2 ? XBUTTON2 : 0;
  QueueMouse(msg, pt, which);
}

void InjectMouseWheel(int delta) { QueueWheel(WM_MOUSEWHEEL, delta); }
void InjectMouseHWheel(int delta) { QueueWheel(WM_MOUSEHWHEEL, delta); }

void InjectMouseLeftScreen()
{
  Lock lock(S().mutex);
  if (S().capture != nullptr) {
    return;  // the capture keeps the mouse wherever it goes
  }
  TellTrackedWindowItLeft(S().cursor);
  ForgetMouseWindow();
}

}  // namespace user

namespace {

void QueueWheel(UINT message, int delta)
{
  State& s = S();
  Lock lock(s.mutex);
  std::shared_ptr<ThreadQueue> q = s.foreground;
  if (!q || !q->alive) {
    return;
  }
  HWND target = q->focus != nullptr ? q->focus : q->active;
  if (target == nullptr) {
    return;
  }
  MSG m{target,
        message,
        MAKEWPARAM(static_cast<unsigned>(MouseKeys(s.asyncKeys)), static_cast<unsigned>(delta)),
        MAKELPARAM(s.cursor.x, s.cursor.y),
        GetTickCount(),
        s.cursor};
  q->input.push_back(InputMessage{m, HTCLIENT, false, 0});
  WakeQueue(*q);
}

}  // namespace

namespace user {

void InjectClick(POINT screen, UINT button)
{
  InjectMouseMove(screen);
  InjectMouseButton(button, true);
  InjectMouseButton(button, false);
}

void InjectKey(UINT vk, bool down)
{
  Lock lock(S().mutex);
  QueueKey(vk, down);
}

void InjectTypedKey(UINT vk, bool down, std::optional<std::string> cp1251)
{
  Lock lock(S().mutex);
  QueueKey(vk, down, std::move(cp1251));
}

void InjectScreenActivation(HWND topLevel, bool active)
{
  QueueScreenRequest(topLevel, active ? kScreenActivates : kScreenDeactivates, RECT{});
}

void InjectScreenMove(HWND topLevel, const RECT& screenRect)
{
  QueueScreenRequest(topLevel, kScreenMoves, screenRect);
}

}  // namespace user

namespace {

// Takes the lock held; with a key down, the text the screen typed with it.
void QueueKey(UINT vk, bool down, std::optional<std::string> cp1251)
{
  State& s = S();
  const bool wasDown = (s.asyncKeys[vk] & 0x80) != 0;
  SetKey(s.asyncKeys, vk, down);
  const bool alt = (s.asyncKeys[VK_MENU] & 0x80) != 0;
  const bool ctrl = (s.asyncKeys[VK_CONTROL] & 0x80) != 0;
  std::shared_ptr<ThreadQueue> q = s.foreground;
  if (!q || !q->alive) {
    return;
  }
  ScanCode sc = ScanCodeOf(vk);
  DWORD lParam = 1u | (static_cast<DWORD>(sc.code) << 16);
  if (sc.extended) {
    lParam |= 1u << 24;
  }
  if (alt && !ctrl) {
    lParam |= 1u << 29;
  }
  if (!down || wasDown) {
    lParam |= 1u << 30;
  }
  if (!down) {
    lParam |= 1u << 31;
  }
  const bool isAltKey = vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
  const bool system = (alt && !ctrl) || vk == VK_F10 || (isAltKey && !ctrl);
  UINT message = down ? WM_KEYDOWN : WM_KEYUP;
  if (system) {
    message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
  }
  UINT reported = GenericOf(vk) != 0 ? GenericOf(vk) : vk;
  MSG m{nullptr, message, reported, static_cast<LPARAM>(lParam), GetTickCount(), s.cursor};
  if (down) {
    // Known before the thread can take the key: the lock keeps the queue from it until then.
    KeyDownQueued(m, std::move(cp1251));
  }
  q->input.push_back(InputMessage{m, 0, true, vk});
  WakeQueue(*q);
}

}  // namespace

namespace user {

void InjectKeyPress(UINT vk)
{
  InjectKey(vk, true);
  InjectKey(vk, false);
}

RECT CaretRect()
{
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  if (q->caretWindow == nullptr || q->caretHide > 0) {
    return RECT{};
  }
  return q->caretRect;
}

}  // namespace user

namespace user::detail {

void UpdateKeyStateForMessage(ThreadQueue& q, const InputMessage& in)
{
  if (in.keyboard) {
    const bool down = in.msg.message == WM_KEYDOWN || in.msg.message == WM_SYSKEYDOWN;
    if (down) {
      const bool alt = in.vk == VK_MENU || in.vk == VK_LMENU || in.vk == VK_RMENU;
      q.altAlone = alt && ((q.keyState[VK_MENU] & 0x80) == 0 || q.altAlone);
    }
    SetKey(q.keyState, in.vk, down);
    if (down) {
      KeyDownTaken(in.msg);
    }
    return;
  }
  if (IsButtonDown(in.msg.message)) {
    q.altAlone = false;
  }
  switch (in.msg.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: SetKey(q.keyState, VK_LBUTTON, true); break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP: SetKey(q.keyState, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK: SetKey(q.keyState, VK_RBUTTON, true); break;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP: SetKey(q.keyState, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK: SetKey(q.keyState, VK_MBUTTON, true); break;
    case WM_MBUTTONUP:
    case WM_NCMBUTTONUP: SetKey(q.keyState, VK_MBUTTON, false); break;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
    case WM_NCXBUTTONDOWN:
    case WM_NCXBUTTONDBLCLK:
    case WM_XBUTTONUP:
    case WM_NCXBUTTONUP: {
      const bool down = in.msg.message != WM_XBUTTONUP && in.msg.message != WM_NCXBUTTONUP;
      SetKey(q.keyState, GET_XBUTTON_WPARAM(in.msg.wParam) == XBUTTON2 ? VK_XBUTTON2 : VK_XBUTTON1, down);
      break;
    }
    default: break;
  }
}

bool ProcessMouseMessage(MSG& msg, LRESULT hitTest, bool remove)
{
  if (msg.message == ScreenRequestMessage()) {
    if (remove && msg.wParam == kScreenMoves) {
      TakeScreenMove(msg.hwnd, RECT{msg.pt.x, msg.pt.y, msg.pt.x + GET_X_LPARAM(msg.lParam),
                                    msg.pt.y + GET_Y_LPARAM(msg.lParam)});
    } else if (remove) {
      TakeScreenActivation(msg.hwnd, msg.wParam == kScreenActivates);
    }
    return false;
  }
  if (!remove) {
    return true;
  }
  bool eat = false;
  if (IsButtonDown(msg.message)) {
    HWND top = nullptr;
    bool mine = false;
    bool noActivate = false;
    {
      Lock lock(S().mutex);
      top = TopLevelOf(msg.hwnd);
      Window* tw = Find(top);
      mine = tw != nullptr && tw->queue == CurrentQueueLocked() && CurrentQueueLocked()->active != top;
      noActivate = tw != nullptr && (tw->exStyle & WS_EX_NOACTIVATE) != 0;
    }
    if (mine) {
      LRESULT ma = SendMessage(msg.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                               MAKELPARAM(static_cast<unsigned>(hitTest), msg.message));
      if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) && !noActivate) {
        Activate(top, true);
      }
      eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
    }
  }
  if (!IsWindow(msg.hwnd)) {
    return false;
  }
  bool captured = false;
  {
    Lock lock(S().mutex);
    captured = S().capture != nullptr;
  }
  if (!captured && msg.message != WM_MOUSEWHEEL) {
    SendMessage(msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd),
                MAKELPARAM(static_cast<unsigned>(hitTest), msg.message));
  }
  return !eat && IsWindow(msg.hwnd);
}

bool Activate(HWND hwnd, bool byMouse)
{
  State& s = S();
  std::shared_ptr<ThreadQueue> q;
  HWND prev = nullptr;
  {
    Lock lock(s.mutex);
    q = CurrentQueueLocked();
    prev = q->active;
    if (hwnd != nullptr) {
      hwnd = TopLevelOf(hwnd);
      Window* w = Find(hwnd);
      if (w == nullptr || w->queue != q || (w->style & WS_DISABLED) != 0) {
        return false;
      }
    }
    if (hwnd == prev) {
      if (hwnd != nullptr) {
        s.foreground = q;
      }
      return true;
    }
  }
  if (hwnd != nullptr) {
    CBTACTIVATESTRUCT cbt{byMouse ? TRUE : FALSE, prev};
    bool any = false;
    if (CallHooks(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt), &any) != 0) {
      return false;
    }
  }
  if (prev != nullptr && IsWindow(prev)) {
    SendMessage(prev, WM_NCACTIVATE, FALSE, 0);
    SendMessage(prev, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(prev) ? 1u : 0u), reinterpret_cast<LPARAM>(hwnd));
  }
  HWND oldFocus = nullptr;
  {
    Lock lock(s.mutex);
    q->active = hwnd;
    if (hwnd != nullptr) {
      s.foreground = q;
      if (Window* w = Find(hwnd)) {
        if (Window* owner = Find(w->owner)) {
          owner->lastActivePopup = hwnd;
        }
      }
    } else if (s.foreground == q) {
      s.foreground.reset();
    }
    oldFocus = q->focus;
    if (oldFocus != nullptr && (hwnd == nullptr || (oldFocus != hwnd && !IsDescendant(hwnd, oldFocus)))) {
      q->focus = nullptr;
    } else {
      oldFocus = nullptr;
    }
  }
  if (oldFocus != nullptr && IsWindow(oldFocus)) {
    SendMessage(oldFocus, WM_KILLFOCUS, 0, 0);
  }
  if (hwnd == nullptr) {
    if (prev != nullptr && IsWindow(prev)) {
      SendMessage(prev, WM_ACTIVATEAPP, FALSE, 0);
    }
    return true;
  }
  if (!IsWindow(hwnd)) {
    return false;
  }
  bool raise = false;
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    raise = w != nullptr && !IsAtTopForActivation(*w);
  }
  if (raise) {
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  }
  if (prev == nullptr) {
    SendMessage(hwnd, WM_ACTIVATEAPP, TRUE, 0);
  }
  SendMessage(hwnd, WM_NCACTIVATE, TRUE, 0);
  SendMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, IsIconic(hwnd) ? 1u : 0u),
              reinterpret_cast<LPARAM>(prev));
  return true;
}

bool IsAtTopForActivation(const Window& w)
{
  const Window* p = Find(w.parent);
  if (p == nullptr) {
    return true;
  }
  for (HWND h : p->children) {
    if (h == w.hwnd) {
      return true;
    }
    const Window* c = Find(h);
    if (c != nullptr && (c->style & WS_VISIBLE) != 0 && c->owner != w.hwnd &&
        ((c->exStyle & WS_EX_TOPMOST) == 0 || (w.exStyle & WS_EX_TOPMOST) != 0)) {
      return false;
    }
  }
  return true;
}

void ActivateOther(HWND leaving)
{
  HWND next = nullptr;
  {
    State& s = S();
    Lock lock(s.mutex);
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    Window* w = Find(leaving);
    auto usable = [&](Window* c) {
      return c != nullptr && c->hwnd != leaving && c->queue == q && (c->style & WS_VISIBLE) != 0 &&
             (c->style & (WS_DISABLED | WS_MINIMIZE)) == 0 && (c->exStyle & WS_EX_TOOLWINDOW) == 0;
    };
    if (w != nullptr && usable(Find(w->owner))) {
      next = w->owner;
    } else {
      for (HWND h : s.desktop->children) {
        if (usable(Find(h))) {
          next = h;
          break;
        }
      }
    }
  }
  Activate(next, false);
}

void WindowHidden(HWND hwnd)
{
  HWND capture = nullptr;
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND parent = nullptr;
  bool child = false;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return;
    }
    child = (w->style & WS_CHILD) != 0;
    parent = w->parent;
    capture = S().capture;
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    focus = q->focus;
    active = q->active;
  }
  if (capture != nullptr && (capture == hwnd || IsChild(hwnd, capture))) {
    ReleaseCapture();
  }
  if (child) {
    if (focus != nullptr && (focus == hwnd || IsChild(hwnd, focus))) {
      SetFocus(parent);
    }
  } else if (active == hwnd) {
    ActivateOther(hwnd);
  }
}

void WindowDestroyed(HWND hwnd)
{
  HWND capture = nullptr;
  {
    Lock lock(S().mutex);
    capture = S().capture;
  }
  if (capture == hwnd) {
    ReleaseCapture();
  }
  bool wasActive = false;
  {
    Lock lock(S().mutex);
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    if (q->focus == hwnd) {
      q->focus = nullptr;
    }
    if (q->caretWindow == hwnd) {
      q->caretWindow = nullptr;
      q->caretHide = 1;
    }
    wasActive = q->active == hwnd;
  }
  if (wasActive) {
    ActivateOther(hwnd);
    Lock lock(S().mutex);
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    if (q->active == hwnd) {
      q->active = nullptr;
    }
  }
}

}  // namespace user::detail

SHORT GetKeyState(int vk)
{
  Lock lock(S().mutex);
  BYTE v = CurrentQueueLocked()->keyState[vk & 0xFF];
  return static_cast<SHORT>(((v & 0x80) != 0 ? 0xFF80 : 0) | (v & 0x01));
}

SHORT GetAsyncKeyState(int vk)
{
  Lock lock(S().mutex);
  return (S().asyncKeys[vk & 0xFF] & 0x80) != 0 ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* state)
{
  if (state == nullptr) {
    return FALSE;
  }
  Lock lock(S().mutex);
  std::copy_n(CurrentQueueLocked()->keyState, 256, state);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* state)
{
  if (state == nullptr) {
    return FALSE;
  }
  Lock lock(S().mutex);
  std::copy_n(state, 256, CurrentQueueLocked()->keyState);
  return TRUE;
}

UINT MapVirtualKey(UINT code, UINT mapType) { return MapVirtualKeyEx(code, mapType, nullptr); }

UINT MapVirtualKeyEx(UINT code, UINT mapType, HKL layout)
{
  if (layout == nullptr) {
    layout = ActiveLayout();
  }
  switch (mapType) {
    case MAPVK_VK_TO_VSC: return ScanCodeOf(code).code;
    case MAPVK_VK_TO_VSC_EX: {
      const ScanCode sc = ScanCodeOf(code);
      return sc.code == 0 ? 0 : sc.code | (sc.extended ? 0xE000u : 0u);
    }
    case MAPVK_VSC_TO_VK:
      for (UINT vk = 1; vk < 0xFF; ++vk) {
        if (ScanCodeOf(vk).code == code && !ScanCodeOf(vk).extended && GenericOf(vk) == 0) {
          return vk;
        }
      }
      return 0;
    case MAPVK_VK_TO_CHAR: {
      // The character unshifted; letters come as capitals, as on the key caps.
      const int c = code > 0xFF ? 0 : CharOfKey(layout, code, nullptr);
      if (c == 0 || c == 0x1B || c == '\r' || c == '\b' || c == '\t') {
        return code == VK_SPACE || code == VK_RETURN || code == VK_BACK || code == VK_TAB || code == VK_ESCAPE
                   ? static_cast<UINT>(c)
                   : 0;
      }
      char one[2] = {static_cast<char>(c), 0};
      CharUpper(one);
      return static_cast<unsigned char>(one[0]);
    }
    default: return 0;
  }
}

HWND SetCapture(HWND hwnd)
{
  HWND prev = nullptr;
  bool prevMine = false;
  {
    State& s = S();
    Lock lock(s.mutex);
    if (hwnd != nullptr && Find(hwnd) == nullptr) {
      return nullptr;
    }
    prev = s.capture;
    Window* p = Find(prev);
    prevMine = p != nullptr && p->queue == CurrentQueueLocked();
    s.capture = hwnd;
  }
  if (prev != nullptr && prev != hwnd && IsWindow(prev)) {
    SendMessage(prev, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  }
  return prevMine ? prev : nullptr;
}

BOOL ReleaseCapture()
{
  HWND prev = nullptr;
  {
    Lock lock(S().mutex);
    prev = S().capture;
    S().capture = nullptr;
  }
  if (prev != nullptr && IsWindow(prev)) {
    SendMessage(prev, WM_CAPTURECHANGED, 0, 0);
  }
  return TRUE;
}

HWND GetCapture()
{
  Lock lock(S().mutex);
  Window* w = Find(S().capture);
  return w != nullptr && w->queue == CurrentQueueLocked() ? w->hwnd : nullptr;
}

HWND SetFocus(HWND hwnd)
{
  State& s = S();
  std::shared_ptr<ThreadQueue> q;
  HWND old = nullptr;
  HWND top = nullptr;
  {
    Lock lock(s.mutex);
    q = CurrentQueueLocked();
    old = q->focus;
    if (hwnd == nullptr) {
      q->focus = nullptr;
    } else {
      Window* w = Find(hwnd);
      if (w == nullptr || w->queue != q) {
        return nullptr;
      }
      if (hwnd == old) {
        return old;
      }
      top = TopLevelOf(hwnd);
      for (Window* a = w; a != nullptr && !IsDesktopOrRoot(a->hwnd); a = Find(a->parent)) {
        if ((a->style & WS_MINIMIZE) != 0 && a->hwnd != hwnd) {
          return nullptr;
        }
      }
    }
  }
  if (hwnd == nullptr) {
    if (old != nullptr && IsWindow(old)) {
      SendMessage(old, WM_KILLFOCUS, 0, 0);
    }
    return old;
  }
  bool any = false;
  if (CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(old), &any) != 0) {
    return nullptr;
  }
  if (GetActiveWindow() != top) {
    if (!Activate(top, false)) {
      return nullptr;
    }
    if (!IsWindow(hwnd)) {
      return nullptr;
    }
  }
  {
    Lock lock(s.mutex);
    old = q->focus;
    if (old == hwnd) {
      return old;
    }
  }
  if (old != nullptr && IsWindow(old)) {
    SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  }
  {
    Lock lock(s.mutex);
    if (Find(hwnd) == nullptr) {
      return old;
    }
    q->focus = hwnd;
  }
  SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus()
{
  Lock lock(S().mutex);
  return CurrentQueueLocked()->focus;
}

HWND SetActiveWindow(HWND hwnd)
{
  HWND prev = GetActiveWindow();
  if (!Activate(hwnd, false)) {
    return nullptr;
  }
  return prev;
}

HWND GetActiveWindow()
{
  Lock lock(S().mutex);
  return CurrentQueueLocked()->active;
}

HWND GetForegroundWindow()
{
  Lock lock(S().mutex);
  return S().foreground ? S().foreground->active : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd)
{
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return FALSE;
    }
    if (w->queue != CurrentQueueLocked()) {
      // Another thread's window: it becomes that thread's active window when it next looks.
      return FALSE;
    }
  }
  return Activate(hwnd, false) ? TRUE : FALSE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track)
{
  if (track == nullptr) {
    return FALSE;
  }
  State& s = S();
  Lock lock(s.mutex);
  if ((track->dwFlags & TME_QUERY) != 0) {
    track->dwFlags = s.trackFlags;
    track->hwndTrack = s.trackWindow;
    track->dwHoverTime = s.trackHoverMs;
    return TRUE;
  }
  Window* w = Find(track->hwndTrack);
  if (w == nullptr) {
    return FALSE;
  }
  if ((track->dwFlags & TME_CANCEL) != 0) {
    if (s.trackWindow == track->hwndTrack) {
      s.trackFlags &= ~(track->dwFlags & (TME_HOVER | TME_LEAVE));
      if ((s.trackFlags & (TME_HOVER | TME_LEAVE)) == 0) {
        s.trackWindow = nullptr;
        s.trackFlags = 0;
      }
    }
    return TRUE;
  }
  const bool nc = (track->dwFlags & TME_NONCLIENT) != 0;
  const bool under = s.mouseWindow == track->hwndTrack && ((s.mouseHitTest == HTCLIENT) != nc);
  if (!under) {
    // The mouse is elsewhere already: the leave comes at once.
    if ((track->dwFlags & TME_LEAVE) != 0 && w->queue) {
      w->queue->posted.push_back(
          MSG{track->hwndTrack, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0, GetTickCount(), s.cursor});
      WakeQueue(*w->queue);
    }
    return TRUE;
  }
  if (s.trackWindow != track->hwndTrack) {
    s.trackFlags = 0;
  }
  s.trackWindow = track->hwndTrack;
  s.trackFlags |= track->dwFlags & (TME_HOVER | TME_LEAVE | TME_NONCLIENT);
  if ((track->dwFlags & TME_HOVER) != 0) {
    s.trackHoverMs = track->dwHoverTime == HOVER_DEFAULT ? 400 : track->dwHoverTime;
    s.hoverRect = RECT{s.cursor.x - 2, s.cursor.y - 2, s.cursor.x + 3, s.cursor.y + 3};
    if (w->queue) {
      w->queue->hoverDue = platform::CurrentClock().NowMs() + s.trackHoverMs;
      WakeQueue(*w->queue);
    }
  }
  return TRUE;
}

UINT GetDoubleClickTime()
{
  Lock lock(S().mutex);
  return S().doubleClickMs;
}

BOOL SetDoubleClickTime(UINT ms)
{
  Lock lock(S().mutex);
  S().doubleClickMs = ms == 0 ? 500 : ms;
  return TRUE;
}

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name)
{
  if (instance == nullptr && IS_INTRESOURCE(name)) {
    // System cursors are named by their ids; the presenter turns them into the screen's own.
    return reinterpret_cast<HCURSOR>(const_cast<char*>(name));
  }
  return LoadCursorFromModule(instance, name);
}

HCURSOR SetCursor(HCURSOR cursor)
{
  HWND top = nullptr;
  HCURSOR old = nullptr;
  {
    Lock lock(S().mutex);
    old = S().currentCursor;
    S().currentCursor = cursor;
    top = TopLevelOf(S().mouseWindow);
  }
  if (cursor != old && top != nullptr) {
    // System cursors are their ids; any other shows as the arrow.
    auto id = reinterpret_cast<UINT_PTR>(cursor);
    PresentCursor(top, id < 0x10000 ? static_cast<int>(id) : 32512);
  }
  return old;
}

HCURSOR GetCursor()
{
  Lock lock(S().mutex);
  return S().currentCursor;
}

int ShowCursor(BOOL show)
{
  Lock lock(S().mutex);
  S().cursorShowCount += show ? 1 : -1;
  return S().cursorShowCount;
}

BOOL GetCursorPos(POINT* point)
{
  if (point == nullptr) {
    return FALSE;
  }
  Lock lock(S().mutex);
  *point = S().cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
  user::InjectMouseMove(POINT{x, y});
  return TRUE;
}

BOOL ClipCursor(const RECT*) { return TRUE; }

namespace {

// Inverts the caret's rectangle in its window's pixels: drawn twice, it is gone without a trace.
void ToggleCaretPixels(HWND hwnd, const RECT& rect)
{
  if (HDC dc = GetDC(hwnd)) {
    InvertRect(dc, &rect);
    ReleaseDC(hwnd, dc);
  }
}

}  // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height)
{
  DestroyCaret();
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  if (w == nullptr || w->queue != q) {
    return FALSE;
  }
  q->caretWindow = hwnd;
  q->caretRect = RECT{0, 0, width > 0 ? width : 1, height > 0 ? height : 1};
  q->caretHide = 1;
  q->caretOn = false;
  return TRUE;
}

BOOL DestroyCaret()
{
  HWND hwnd = nullptr;
  RECT rect{};
  bool on = false;
  {
    Lock lock(S().mutex);
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    if (q->caretWindow == nullptr) {
      return FALSE;
    }
    hwnd = q->caretWindow;
    rect = q->caretRect;
    on = q->caretOn;
    q->caretWindow = nullptr;
    q->caretOn = false;
    q->caretHide = 1;
  }
  if (on) {
    ToggleCaretPixels(hwnd, rect);
  }
  return TRUE;
}

namespace {

BOOL ChangeCaretHide(HWND hwnd, int delta)
{
  HWND target = nullptr;
  RECT rect{};
  bool toggle = false;
  {
    Lock lock(S().mutex);
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    if (q->caretWindow == nullptr || (hwnd != nullptr && hwnd != q->caretWindow)) {
      return FALSE;
    }
    if (delta < 0 && q->caretHide == 0) {
      return TRUE;
    }
    q->caretHide += delta;
    bool wantOn = q->caretHide == 0;
    toggle = wantOn != q->caretOn;
    q->caretOn = wantOn;
    target = q->caretWindow;
    rect = q->caretRect;
  }
  if (toggle) {
    ToggleCaretPixels(target, rect);
  }
  return TRUE;
}

}  // namespace

BOOL ShowCaret(HWND hwnd) { return ChangeCaretHide(hwnd, -1); }
BOOL HideCaret(HWND hwnd) { return ChangeCaretHide(hwnd, +1); }

BOOL SetCaretPos(int x, int y)
{
  HWND hwnd = nullptr;
  RECT oldRect{};
  RECT newRect{};
  bool on = false;
  {
    Lock lock(S().mutex);
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    if (q->caretWindow == nullptr) {
      return FALSE;
    }
    hwnd = q->caretWindow;
    oldRect = q->caretRect;
    newRect = oldRect.Offset(x - oldRect.left, y - oldRect.top);
    q->caretRect = newRect;
    on = q->caretOn;
  }
  if (on && !(oldRect == newRect)) {
    ToggleCaretPixels(hwnd, oldRect);
    ToggleCaretPixels(hwnd, newRect);
  }
  return TRUE;
}

BOOL GetCaretPos(POINT* point)
{
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  if (point == nullptr || q->caretWindow == nullptr) {
    return FALSE;
  }
  *point = POINT{q->caretRect.left, q->caretRect.top};
  return TRUE;
}

UINT GetCaretBlinkTime() { return 530; }
BOOL SetCaretBlinkTime(UINT) { return TRUE; }
