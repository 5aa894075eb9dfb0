// Sending, posting and taking messages; timers.
//
// A thread takes, in this order: messages sent to it by other threads (handled at once, never returned), posted
// messages, WM_QUIT, input, then WM_PAINT and WM_TIMER, which are made up only when nothing else is waiting.
#include "platform/base/clock.h"
#include "platform/user/input.h"
#include "platform/user/state.h"

#include <algorithm>
#include <chrono>

using namespace user::detail;

namespace {

// Waits on `q` until its generation moves from `seen`, a timer may have fallen due, or (with a deadline) the
// clock in force passes `deadlineMs`.
void WaitForNews(Lock& lock, ThreadQueue& q, std::uint64_t seen, std::uint64_t deadlineMs, bool withTimers = true)
{
  platform::Clock& clock = platform::CurrentClock();
  std::uint64_t wakeAt = deadlineMs;
  if (withTimers) {
    for (const Timer& t : q.timers) {
      wakeAt = std::min(wakeAt, t.due);
    }
    if (q.hoverDue != 0) {
      wakeAt = std::min(wakeAt, q.hoverDue);
    }
  }
  while (q.generation == seen) {
    if (wakeAt == UINT64_MAX) {
      // Nothing timed to wait for: only news ends this wait.
      ++q.waiters;
      q.wake.wait(lock);
      --q.waiters;
      continue;
    }
    std::uint64_t now = clock.NowMs();
    if (now >= wakeAt) {
      return;
    }
    ++q.waiters;
    if (platform::SystemClockInForce()) {
      q.wake.wait_for(lock, std::chrono::milliseconds(wakeAt - now));
    } else {
      // Under a virtual clock every move of the clock bumps the generation.
      q.wake.wait(lock);
    }
    --q.waiters;
  }
}

bool MatchesFilter(const MSG& m, HWND filter, UINT min, UINT max)
{
  if (min != 0 || max != 0) {
    if (m.message < min || m.message > max) {
      return false;
    }
  }
  if (filter == nullptr) {
    return true;
  }
  if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) {
    return m.hwnd == nullptr;
  }
  return m.hwnd == filter || IsDescendant(filter, m.hwnd);
}

bool InRange(UINT message, UINT min, UINT max) { return (min == 0 && max == 0) || (message >= min && message <= max); }

// The first window of this thread, parents before children and front to back, that wants WM_PAINT.
HWND FindPaintWindow(const Window& w, const ThreadQueue& q, HWND filter)
{
  if ((w.style & WS_VISIBLE) == 0 && !IsDesktopOrRoot(w.hwnd)) {
    return nullptr;
  }
  if (w.queue.get() == &q && WantsPaint(w) &&
      (filter == nullptr || w.hwnd == filter || IsDescendant(filter, w.hwnd))) {
    return w.hwnd;
  }
  for (HWND child : w.children) {
    if (const Window* c = Find(child)) {
      if (HWND found = FindPaintWindow(*c, q, filter)) {
        return found;
      }
    }
  }
  return nullptr;
}

POINT CursorNow() { return S().cursor; }

MSG MakeMsg(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  MSG m;
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = MessageTime();
  m.pt = CursorNow();
  return m;
}


// Takes the first message that matches; false when there is none. `seen` is the queue's generation at the last
// look, for the caller's wait.
bool Take(MSG* out, HWND filter, UINT min, UINT max, UINT flags, std::uint64_t* seen)
{
  State& s = S();
  const bool remove = (flags & PM_REMOVE) != 0;
  ThreadQueue* q = CurrentQueueFast();
  for (;;) {
    Lock lock(s.mutex);
    *seen = q->generation;
    if (!q->sent.empty()) {
      auto sm = q->sent.front();
      q->sent.pop_front();
      lock.unlock();
      HandleSent(sm);
      continue;
    }
    for (std::size_t i = 0; i < q->posted.size(); ++i) {
      const MSG& m = q->posted[i];
      if (MatchesFilter(m, filter, min, max)) {
        q->lastMessage = m;
        *out = m;
        if (remove) {
          if (i == 0) {
            q->posted.pop_front();
          } else {
            q->posted.erase(i);
          }
        }
        return true;
      }
    }
    if (q->quit && InRange(WM_QUIT, min, max)) {
      *out = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(q->quitCode), 0);
      if (remove) {
        q->quit = false;
      }
      q->lastMessage = *out;
      return true;
    }
    bool retry = false;
    for (auto it = q->input.begin(); it != q->input.end(); ++it) {
      InputMessage in = *it;
      const MSG queued = it->msg;
      if (in.keyboard) {
        // Keys go to the focus as it is when they are taken; with no focus, to the active window as system keys.
        in.msg.hwnd = q->focus;
        if (in.msg.hwnd == nullptr) {
          in.msg.hwnd = q->active;
          if (in.msg.message == WM_KEYDOWN || in.msg.message == WM_KEYUP) {
            in.msg.message += WM_SYSKEYDOWN - WM_KEYDOWN;
          }
        }
      }
      if (!in.keyboard && in.clientMessage != 0 && in.clientMessage != WM_MOUSEWHEEL) {
        // The window that took the capture since the message was queued takes it now.
        Window* cap = Find(s.capture);
        if (cap != nullptr && cap->queue.get() == q && (in.msg.hwnd != s.capture || in.hitTest != HTCLIENT)) {
          POINT c = in.msg.pt - ClientOrigin(*cap);
          in.msg.hwnd = s.capture;
          in.msg.message = in.clientMessage;
          in.msg.wParam = in.keys;
          in.msg.lParam = MAKELPARAM(c.x, c.y);
          in.hitTest = HTCLIENT;
        }
      }
      if (in.msg.hwnd == nullptr || Find(in.msg.hwnd) == nullptr) {
        // Its window is gone: nobody will ever take it.
        if (in.keyboard) {
          UpdateKeyStateForMessage(*q, in);
        }
        q->input.erase(it);
        retry = true;
        break;
      }
      if (!MatchesFilter(in.msg, filter, min, max)) {
        continue;
      }
      if (remove) {
        q->input.erase(it);
        UpdateKeyStateForMessage(*q, in);
      }
      lock.unlock();
      bool keep = true;
      if (in.keyboard) {
        bool any = false;
        if (CallHooks(WH_KEYBOARD, remove ? HC_ACTION : HC_NOREMOVE, in.msg.wParam, in.msg.lParam, &any) != 0) {
          keep = false;
        }
      } else {
        MOUSEHOOKSTRUCT mh{in.msg.pt, in.msg.hwnd, static_cast<UINT>(in.hitTest), 0};
        bool any = false;
        if (CallHooks(WH_MOUSE, remove ? HC_ACTION : HC_NOREMOVE, in.msg.message, reinterpret_cast<LPARAM>(&mh),
                      &any) != 0) {
          keep = false;
        } else {
          keep = ProcessMouseMessage(in.msg, in.hitTest, remove);
        }
      }
      if (!keep) {
        if (!remove) {
          // A swallowed message leaves the queue even when only peeked at.
          Lock relock(s.mutex);
          for (auto jt = q->input.begin(); jt != q->input.end(); ++jt) {
            if (jt->msg.time == queued.time && jt->msg.message == queued.message &&
                jt->msg.lParam == queued.lParam && jt->msg.hwnd == queued.hwnd) {
              q->input.erase(jt);
              break;
            }
          }
        }
        retry = true;
        break;
      }
      *out = in.msg;
      Lock relock(s.mutex);
      q->lastMessage = *out;
      return true;
    }
    if (retry) {
      continue;
    }
    if (InRange(WM_PAINT, min, max)) {
      if (HWND hwnd = FindPaintWindow(*s.desktop, *q, filter == reinterpret_cast<HWND>(-1) ? nullptr : filter)) {
        if (filter != reinterpret_cast<HWND>(-1)) {
          Window* w = Find(hwnd);
          if (remove) {
            w->internalPaint = false;
          }
          *out = MakeMsg(hwnd, WM_PAINT, 0, 0);
          q->lastMessage = *out;
          return true;
        }
      }
    }
    std::uint64_t now = platform::CurrentClock().NowMs();
    if (q->hoverDue != 0 && now >= q->hoverDue && InRange(WM_MOUSEHOVER, min, max)) {
      q->hoverDue = 0;
      HWND track = s.trackWindow;
      if (Window* w = Find(track); w != nullptr && (s.trackFlags & TME_HOVER) != 0) {
        s.trackFlags &= ~TME_HOVER;
        POINT origin = ClientOrigin(*w);
        POINT pt = s.cursor - origin;
        WPARAM keys = 0;
        keys |= (s.asyncKeys[VK_LBUTTON] & 0x80) ? MK_LBUTTON : 0;
        keys |= (s.asyncKeys[VK_RBUTTON] & 0x80) ? MK_RBUTTON : 0;
        keys |= (s.asyncKeys[VK_MBUTTON] & 0x80) ? MK_MBUTTON : 0;
        keys |= (s.asyncKeys[VK_SHIFT] & 0x80) ? MK_SHIFT : 0;
        keys |= (s.asyncKeys[VK_CONTROL] & 0x80) ? MK_CONTROL : 0;
        q->posted.push_back(MakeMsg(track, WM_MOUSEHOVER, keys, MAKELPARAM(pt.x, pt.y)));
        continue;
      }
    }
    if (InRange(WM_TIMER, min, max)) {
      Timer* due = nullptr;
      for (Timer& t : q->timers) {
        if (t.due <= now && (due == nullptr || t.due < due->due)) {
          MSG probe = MakeMsg(t.hwnd, WM_TIMER, t.id, 0);
          if (MatchesFilter(probe, filter, 0, 0)) {
            due = &t;
          }
        }
      }
      if (due != nullptr) {
        *out = MakeMsg(due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc));
        if (remove) {
          due->due = now + due->elapse;
        }
        q->lastMessage = *out;
        return true;
      }
    }
    return false;
  }
}

bool TakeWithGetMessageHook(MSG* out, HWND filter, UINT min, UINT max, UINT flags, std::uint64_t* seen)
{
  PresentDrawnDCs();
  if (!Take(out, filter, min, max, flags, seen)) {
    return false;
  }
  if (CurrentQueueFast()->hookCount.load(std::memory_order_relaxed) == 0) {
    return true;
  }
  bool any = false;
  CallHooks(WH_GETMESSAGE, HC_ACTION, flags & PM_REMOVE, reinterpret_cast<LPARAM>(out), &any);
  return true;
}

}  // namespace

namespace user::detail {

LRESULT SendSameThread(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  {
    Lock lock(S().mutex);
    if (Find(hwnd) == nullptr) {
      return 0;
    }
  }
  bool any = false;
  CWPSTRUCT cwp{lParam, wParam, msg, hwnd};
  CallHooks(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp), &any);
  WNDPROC proc = nullptr;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return 0;
    }
    proc = w->proc;
  }
  return proc != nullptr ? proc(hwnd, msg, wParam, lParam) : 0;
}

void HandleSent(const std::shared_ptr<SentMessage>& sm)
{
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  {
    Lock lock(S().mutex);
    q->receiving.push_back(sm);
  }
  LRESULT result = SendSameThread(sm->hwnd, sm->msg, sm->wParam, sm->lParam);
  Lock lock(S().mutex);
  q->receiving.pop_back();
  if (!sm->done) {
    sm->result = result;
    sm->done = true;
    if (sm->sender) {
      WakeQueue(*sm->sender);
    }
  }
}

}  // namespace user::detail

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  return proc != nullptr ? proc(hwnd, msg, wParam, lParam) : 0;
}

namespace {

// Sends to a window of any thread; false when it timed out or the window is gone.
bool SendAny(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool wait, std::uint64_t timeoutMs,
             LRESULT* result)
{
  State& s = S();
  Lock lock(s.mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || IsDesktopOrRoot(hwnd)) {
    *result = 0;
    return false;
  }
  std::shared_ptr<ThreadQueue> me = CurrentQueueLocked();
  std::shared_ptr<ThreadQueue> target = w->queue;
  if (target == me) {
    lock.unlock();
    *result = SendSameThread(hwnd, msg, wParam, lParam);
    return true;
  }
  if (!target || !target->alive) {
    *result = 0;
    return false;
  }
  auto sm = std::make_shared<SentMessage>();
  sm->hwnd = hwnd;
  sm->msg = msg;
  sm->wParam = wParam;
  sm->lParam = lParam;
  sm->notify = !wait;
  if (wait) {
    sm->sender = me;
  }
  target->sent.push_back(sm);
  WakeQueue(*target);
  if (!wait) {
    *result = 0;
    return true;
  }
  const std::uint64_t deadline =
      timeoutMs == UINT64_MAX ? UINT64_MAX : platform::CurrentClock().NowMs() + timeoutMs;
  while (!sm->done) {
    if (!me->sent.empty()) {
      // Whoever we wait for may be sending to us.
      auto in = me->sent.front();
      me->sent.pop_front();
      lock.unlock();
      HandleSent(in);
      lock.lock();
      continue;
    }
    if (deadline != UINT64_MAX && platform::CurrentClock().NowMs() >= deadline) {
      sm->sender.reset();
      *result = 0;
      return false;
    }
    // Only the reply and messages sent to us end this wait; timers wait for the next GetMessage.
    WaitForNews(lock, *me, me->generation, deadline, false);
  }
  *result = sm->result;
  return true;
}

}  // namespace

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (hwnd == HWND_BROADCAST) {
    std::vector<HWND> tops;
    {
      Lock lock(S().mutex);
      for (HWND child : S().desktop->children) {
        tops.push_back(child);
      }
    }
    for (HWND top : tops) {
      LRESULT ignored = 0;
      SendAny(top, msg, wParam, lParam, true, UINT64_MAX, &ignored);
    }
    return 0;
  }
  LRESULT result = 0;
  SendAny(hwnd, msg, wParam, lParam, true, UINT64_MAX, &result);
  return result;
}

LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                           DWORD_PTR* result)
{
  (void)flags;
  LRESULT answer = 0;
  bool ok = SendAny(hwnd, msg, wParam, lParam, true, timeoutMs, &answer);
  if (result != nullptr) {
    *result = static_cast<DWORD_PTR>(answer);
  }
  return ok ? 1 : 0;
}

BOOL SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  LRESULT ignored = 0;
  return SendAny(hwnd, msg, wParam, lParam, false, 0, &ignored) ? TRUE : FALSE;
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  State& s = S();
  if (hwnd == HWND_BROADCAST) {
    Lock lock(s.mutex);
    for (HWND top : s.desktop->children) {
      Window* w = Find(top);
      if (w != nullptr && w->queue && w->queue->alive) {
        w->queue->posted.push_back(MakeMsg(top, msg, wParam, lParam));
        WakeQueue(*w->queue);
      }
    }
    return TRUE;
  }
  const DWORD time = MessageTime();
  Lock lock(s.mutex);
  ThreadQueue* target = nullptr;
  if (hwnd == nullptr) {
    target = CurrentQueueLocked().get();
  } else {
    Window* w = Find(hwnd);
    if (w == nullptr || w == s.desktop.get() || w == s.messageRoot.get()) {
      return FALSE;
    }
    target = w->queue.get();
  }
  if (target == nullptr || !target->alive) {
    return FALSE;
  }
  // Filled in place: a record built aside and copied in costs more than everything else here.
  MSG& record = target->posted.Append();
  record.hwnd = hwnd;
  record.message = msg;
  record.wParam = wParam;
  record.lParam = lParam;
  record.time = time;
  record.pt = s.cursor;
  WakeQueue(*target);
  return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam)
{
  State& s = S();
  Lock lock(s.mutex);
  auto it = s.queues.find(threadId);
  if (it == s.queues.end()) {
    return FALSE;
  }
  std::shared_ptr<ThreadQueue> q = it->second.lock();
  if (!q || !q->alive) {
    return FALSE;
  }
  q->posted.push_back(MakeMsg(nullptr, msg, wParam, lParam));
  WakeQueue(*q);
  return TRUE;
}

void PostQuitMessage(int exitCode)
{
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  q->quit = true;
  q->quitCode = exitCode;
  WakeQueue(*q);
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
  std::uint64_t seen = 0;
  return TakeWithGetMessageHook(msg, hwnd, filterMin, filterMax, removeFlags, &seen) ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
  if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(-1) && !IsWindow(hwnd)) {
    return -1;
  }
  for (;;) {
    std::uint64_t seen = 0;
    if (TakeWithGetMessageHook(msg, hwnd, filterMin, filterMax, PM_REMOVE, &seen)) {
      return msg->message == WM_QUIT ? FALSE : TRUE;
    }
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(S().mutex);
    WaitForNews(lock, *q, seen, UINT64_MAX);
  }
}

BOOL WaitMessage()
{
  PresentDrawnDCs();
  MSG probe;
  std::uint64_t seen = 0;
  if (Take(&probe, nullptr, 0, 0, PM_NOREMOVE, &seen)) {
    return TRUE;
  }
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  Lock lock(S().mutex);
  WaitForNews(lock, *q, seen, UINT64_MAX);
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg)
{
  if (msg == nullptr) {
    return 0;
  }
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    bool live = false;
    {
      Lock lock(S().mutex);
      std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
      live = std::any_of(q->timers.begin(), q->timers.end(), [&](const Timer& t) {
        return t.hwnd == msg->hwnd && t.id == msg->wParam && t.proc == proc;
      });
    }
    if (live) {
      proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    }
    return 0;
  }
  if (msg->hwnd == nullptr) {
    return 0;
  }
  // The procedure of the window dispatched to last, while no window has gone and no procedure has changed since.
  struct Cached {
    HWND hwnd = nullptr;
    WNDPROC proc = nullptr;
    std::uint64_t epoch = 0;
  };
  thread_local Cached cached;
  WNDPROC proc = nullptr;
  static State& s = S();
  const std::uint64_t epoch = s.windowEpoch.load(std::memory_order_acquire);
  if (cached.hwnd == msg->hwnd && cached.epoch == epoch) {
    proc = cached.proc;
  } else {
    Lock lock(S().mutex);
    Window* w = Find(msg->hwnd);
    if (w == nullptr || w->queue.get() != CurrentQueueFast()) {
      return 0;
    }
    proc = w->proc;
    cached = Cached{msg->hwnd, proc, epoch};
  }
  return proc != nullptr ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL InSendMessage()
{
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  return q->receiving.empty() ? FALSE : TRUE;
}

DWORD InSendMessageEx(LPVOID)
{
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  if (q->receiving.empty()) {
    return ISMEX_NOSEND;
  }
  const SentMessage& sm = *q->receiving.back();
  DWORD answer = sm.notify ? ISMEX_NOTIFY : ISMEX_SEND;
  if (sm.done) {
    answer |= ISMEX_REPLIED;
  }
  return answer;
}

BOOL ReplyMessage(LRESULT result)
{
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  if (q->receiving.empty() || q->receiving.back()->done) {
    return FALSE;
  }
  SentMessage& sm = *q->receiving.back();
  sm.result = result;
  sm.done = true;
  if (sm.sender) {
    WakeQueue(*sm.sender);
  }
  return TRUE;
}

namespace user::detail {

UINT QueueStatusLocked(ThreadQueue& q)
{
  State& s = S();
  UINT status = 0;
  if (!q.sent.empty()) {
    status |= QS_SENDMESSAGE;
  }
  if (!q.posted.empty() || q.quit) {
    status |= QS_POSTMESSAGE;
  }
  for (const InputMessage& in : q.input) {
    if (in.keyboard) {
      status |= QS_KEY;
    } else if (in.msg.message == WM_MOUSEMOVE || in.msg.message == WM_NCMOUSEMOVE) {
      status |= QS_MOUSEMOVE;
    } else {
      status |= QS_MOUSEBUTTON;
    }
  }
  if (FindPaintWindow(*s.desktop, q, nullptr) != nullptr) {
    status |= QS_PAINT;
  }
  std::uint64_t now = platform::CurrentClock().NowMs();
  for (const Timer& t : q.timers) {
    if (t.due <= now) {
      status |= QS_TIMER;
    }
  }
  return status;
}

}  // namespace user::detail

DWORD GetQueueStatus(UINT flags)
{
  Lock lock(S().mutex);
  UINT status = QueueStatusLocked(*CurrentQueueLocked()) & flags;
  return MAKELONG(status, status);
}

DWORD GetMessageTime()
{
  Lock lock(S().mutex);
  return CurrentQueueLocked()->lastMessage.time;
}

DWORD GetMessagePos()
{
  Lock lock(S().mutex);
  POINT pt = CurrentQueueLocked()->lastMessage.pt;
  return static_cast<DWORD>(MAKELONG(static_cast<unsigned>(pt.x), static_cast<unsigned>(pt.y)));
}

LPARAM GetMessageExtraInfo() { return 0; }

UINT RegisterWindowMessage(LPCSTR name)
{
  if (name == nullptr || *name == '\0') {
    return 0;
  }
  Lock lock(S().mutex);
  return AddAtomLocked(name);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc)
{
  State& s = S();
  Lock lock(s.mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  if (hwnd != nullptr) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->queue != q) {
      return 0;
    }
  }
  elapseMs = std::clamp(elapseMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  if (hwnd == nullptr) {
    // Thread timers get an id of their own unless they name one they already have.
    bool known = std::any_of(q->timers.begin(), q->timers.end(),
                             [&](const Timer& t) { return t.hwnd == nullptr && t.id == id && id != 0; });
    if (!known) {
      static UINT_PTR nextThreadTimer = 0x7F00;
      id = ++nextThreadTimer;
    }
  }
  std::uint64_t due = platform::CurrentClock().NowMs() + elapseMs;
  for (Timer& t : q->timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.elapse = elapseMs;
      t.proc = proc;
      t.due = due;
      WakeQueue(*q);
      return hwnd != nullptr && id == 0 ? 1 : id;
    }
  }
  q->timers.push_back(Timer{hwnd, id, elapseMs, proc, due});
  WakeQueue(*q);
  return hwnd != nullptr && id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  auto it = std::find_if(q->timers.begin(), q->timers.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == q->timers.end()) {
    return FALSE;
  }
  q->timers.erase(it);
  return TRUE;
}
