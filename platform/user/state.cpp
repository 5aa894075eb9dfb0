// The lock, the handle table, the per-thread queues and the geometry helpers every other file uses.
#include "platform/user/state.h"

#include "platform/base/clock.h"
#include "platform/base/kernel_object.h"
#include "platform/base/thread.h"
#include "platform/gdi/windraw.h"

#include <algorithm>
#include <ctime>
#include <cctype>

namespace user::detail {

namespace {

void OnClockMoved()
{
  // Timers and hover tracking wait on the clock in force: let every waiting thread look again.
  State& s = S();
  Lock lock(s.mutex);
  for (auto& [id, weak] : s.queues) {
    if (auto q = weak.lock()) {
      WakeQueue(*q);
    }
  }
}

std::shared_ptr<Window> MakeRoot(State& s, const char* className, RECT rect)
{
  auto w = std::make_shared<Window>();
  w->hwnd = reinterpret_cast<HWND>(s.nextHandle);
  s.nextHandle += 4;
  w->cls = std::make_shared<WindowClass>();
  w->cls->name = className;
  w->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  w->window = rect;
  w->client = rect;
  s.windows[reinterpret_cast<std::uintptr_t>(w->hwnd)] = w;
  return w;
}

// A thread's queue lives as long as the thread; at its end, windows left behind vanish without messages and
// whoever waits on a message sent to it is let go.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder()
  {
    if (queue) {
      DestroyThreadWindowsQuietly(*queue);
    }
  }
};
thread_local QueueHolder t_queue;

}  // namespace

State& MakeState()
{
  // Never destroyed: threads may still end after static destruction began.
  static State* state = [] {
    ConnectPresenter();  // the screen decides the desktop's size
    auto* s = new State;
    s->desktop = MakeRoot(*s, "#32769", RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    s->messageRoot = MakeRoot(*s, "Message", RECT{0, 0, 0, 0});
    s->messageRoot->style &= ~WS_VISIBLE;
    g_state.store(s, std::memory_order_release);
    return s;
  }();
  return *state;
}

DWORD CurrentThreadId() { return ::GetCurrentThreadId(); }

std::shared_ptr<ThreadQueue> CurrentQueueLocked()
{
  if (!t_queue.queue) {
    static bool listening = [] {
      platform::AddClockListener(&OnClockMoved);
      return true;
    }();
    (void)listening;
    auto q = std::make_shared<ThreadQueue>();
    q->threadId = CurrentThreadId();
    S().queues[q->threadId] = q;
    t_queue.queue = q;
    t_currentQueue = q.get();
  }
  return t_queue.queue;
}

ThreadQueue* MakeCurrentQueue()
{
  Lock lock(S().mutex);
  return CurrentQueueLocked().get();
}

void EraseWindow(HWND hwnd)
{
  State& s = S();
  auto key = reinterpret_cast<std::uintptr_t>(hwnd);
  if (s.cachedKey == key) {
    s.cachedKey = 0;
    s.cachedWindow = nullptr;
  }
  s.windows.erase(key);
  s.windowEpoch.fetch_add(1, std::memory_order_release);
}

DWORD MessageTime()
{
  if (platform::SystemClockInForce()) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return static_cast<DWORD>((static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u) &
                              0xFFFFFFFFu);
  }
  return GetTickCount();
}

std::shared_ptr<ThreadQueue> CurrentQueue()
{
  Lock lock(S().mutex);
  return CurrentQueueLocked();
}

void DestroyThreadWindowsQuietly(ThreadQueue& q)
{
  State& s = S();
  Lock lock(s.mutex);
  q.alive = false;
  for (auto& sm : q.sent) {
    sm->done = true;
    if (sm->sender) {
      sm->sender->wake.notify_all();
    }
  }
  q.sent.clear();
  for (auto& sm : q.receiving) {
    if (!sm->done) {
      sm->done = true;
      if (sm->sender) {
        sm->sender->wake.notify_all();
      }
    }
  }
  std::vector<HWND> mine;
  for (auto& [id, w] : s.windows) {
    if (w->queue.get() == &q) {
      mine.push_back(w->hwnd);
    }
  }
  for (HWND hwnd : mine) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
      continue;
    }
    if (Window* parent = Find(w->parent)) {
      std::erase(parent->children, hwnd);
    }
    if (s.capture == hwnd) {
      s.capture = nullptr;
    }
    EraseWindow(hwnd);
  }
  if (s.foreground.get() == &q) {
    s.foreground.reset();
  }
  s.queues.erase(q.threadId);
  q.timers.clear();
  q.hooks.clear();
}

Window* FindInTable(HWND hwnd)
{
  State& s = S();
  auto key = reinterpret_cast<std::uintptr_t>(hwnd);
  auto it = s.windows.find(key);
  if (it == s.windows.end()) {
    return nullptr;
  }
  s.cachedKey = key;
  s.cachedWindow = it->second.get();
  return s.cachedWindow;
}

std::shared_ptr<Window> FindShared(HWND hwnd)
{
  State& s = S();
  auto it = s.windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == s.windows.end() ? nullptr : it->second;
}

bool IsDesktopOrRoot(HWND hwnd)
{
  State& s = S();
  return hwnd == s.desktop->hwnd || hwnd == s.messageRoot->hwnd;
}

bool IsTopLevel(const Window& w) { return IsDesktopOrRoot(w.parent); }

POINT ClientOrigin(const Window& w)
{
  POINT origin{w.client.left, w.client.top};
  const Window* p = Find(w.parent);
  while (p != nullptr && !IsDesktopOrRoot(p->hwnd)) {
    origin = origin + POINT{p->client.left, p->client.top};
    p = Find(p->parent);
  }
  return origin;
}

RECT WindowRectOnScreen(const Window& w)
{
  POINT parentOrigin{};
  if (const Window* p = Find(w.parent); p != nullptr && !IsDesktopOrRoot(p->hwnd)) {
    parentOrigin = ClientOrigin(*p);
  }
  return w.window.Offset(parentOrigin.x, parentOrigin.y);
}

HWND TopLevelOf(HWND hwnd)
{
  Window* w = Find(hwnd);
  while (w != nullptr && !IsTopLevel(*w)) {
    w = Find(w->parent);
  }
  return w != nullptr ? w->hwnd : nullptr;
}

bool IsVisibleChain(const Window& w)
{
  const Window* p = &w;
  while (p != nullptr && !IsDesktopOrRoot(p->hwnd)) {
    if ((p->style & WS_VISIBLE) == 0) {
      return false;
    }
    p = Find(p->parent);
  }
  return p != nullptr && p->hwnd == S().desktop->hwnd;
}

bool IsDescendant(HWND ancestor, HWND hwnd)
{
  Window* w = Find(hwnd);
  while (w != nullptr && !IsTopLevel(*w)) {
    if (w->parent == ancestor) {
      return true;
    }
    w = Find(w->parent);
  }
  return false;
}

bool WantsPaint(const Window& w) { return !w.invalid.IsEmpty() || w.ncPaintPending || w.internalPaint; }

ATOM AddAtomLocked(const std::string& name)
{
  State& s = S();
  std::string key = name;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
  if (auto it = s.atomsByName.find(key); it != s.atomsByName.end()) {
    return it->second;
  }
  ATOM atom = s.nextAtom++;
  s.atomsByName[key] = atom;
  s.namesByAtom[atom] = name;
  return atom;
}

std::string AtomName(ATOM atom)
{
  auto it = S().namesByAtom.find(atom);
  return it == S().namesByAtom.end() ? std::string() : it->second;
}

std::string NameKey(LPCSTR name)
{
  if (name == nullptr) {
    return {};
  }
  if (IS_INTRESOURCE(name)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    std::string named = AtomName(atom);
    return named.empty() ? "#" + std::to_string(atom) : named;
  }
  return name;
}

void WakeQueue(ThreadQueue& q)
{
  ++q.generation;
  if (q.waiters > 0) {
    q.wake.notify_all();
  }
  if (g_msgWaiters.load(std::memory_order_relaxed) > 0) {
    platform::WakeWaiters();
  }
}

void WakeWindowQueue(HWND hwnd)
{
  if (Window* w = Find(hwnd); w != nullptr && w->queue) {
    WakeQueue(*w->queue);
  }
}

}  // namespace user::detail
