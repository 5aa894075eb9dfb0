// Thread hooks and their chains.
#include "platform/user/hooks.h"

#include "platform/user/state.h"

#include <algorithm>

using namespace user::detail;

namespace {

// The chain being run on this thread, innermost last: CallNextHookEx continues the innermost one, whatever
// handle it is given, so a hook that forgot its own handle still passes on correctly.
struct ChainFrame {
  std::vector<std::shared_ptr<Hook>> hooks;  // newest first
  std::size_t index = 0;
};
thread_local std::vector<ChainFrame*> t_chains;

LRESULT RunFrom(ChainFrame& frame, int code, WPARAM wParam, LPARAM lParam)
{
  while (frame.index < frame.hooks.size()) {
    const std::shared_ptr<Hook>& hook = frame.hooks[frame.index];
    bool removed = false;
    {
      Lock lock(S().mutex);
      removed = hook->removed;
    }
    if (!removed) {
      return hook->proc(code, wParam, lParam);
    }
    ++frame.index;
  }
  return 0;
}

}  // namespace

namespace user::detail {

LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam, bool* any)
{
  if (CurrentQueueFast()->hookCount.load(std::memory_order_relaxed) == 0) {
    *any = false;
    return 0;
  }
  ChainFrame frame;
  {
    Lock lock(S().mutex);
    std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
    for (auto it = q->hooks.rbegin(); it != q->hooks.rend(); ++it) {
      if ((*it)->type == type && !(*it)->removed) {
        frame.hooks.push_back(*it);
      }
    }
  }
  *any = !frame.hooks.empty();
  if (frame.hooks.empty()) {
    return 0;
  }
  t_chains.push_back(&frame);
  LRESULT result = RunFrom(frame, code, wParam, lParam);
  t_chains.pop_back();
  return result;
}

}  // namespace user::detail

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
  if (proc == nullptr) {
    return nullptr;
  }
  switch (idHook) {
    case WH_MSGFILTER:
    case WH_KEYBOARD:
    case WH_GETMESSAGE:
    case WH_CALLWNDPROC:
    case WH_CBT:
    case WH_MOUSE:
      break;
    default:
      return nullptr;
  }
  State& s = S();
  Lock lock(s.mutex);
  std::shared_ptr<ThreadQueue> q;
  if (threadId == 0 || threadId == CurrentThreadId()) {
    q = CurrentQueueLocked();
  } else if (auto it = s.queues.find(threadId); it != s.queues.end()) {
    q = it->second.lock();
  }
  if (!q) {
    return nullptr;
  }
  auto hook = std::make_shared<Hook>();
  hook->handle = reinterpret_cast<HHOOK>(s.nextHook++);
  hook->type = idHook;
  hook->proc = proc;
  q->hooks.push_back(hook);
  q->hookCount.fetch_add(1);
  return hook->handle;
}

BOOL UnhookWindowsHookEx(HHOOK handle)
{
  State& s = S();
  Lock lock(s.mutex);
  for (auto& [id, weak] : s.queues) {
    if (auto q = weak.lock()) {
      auto it = std::find_if(q->hooks.begin(), q->hooks.end(),
                             [&](const std::shared_ptr<Hook>& h) { return h->handle == handle; });
      if (it != q->hooks.end()) {
        // A chain running now holds its own list and skips it from here on.
        (*it)->removed = true;
        q->hooks.erase(it);
        q->hookCount.fetch_sub(1);
        return TRUE;
      }
    }
  }
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK, int code, WPARAM wParam, LPARAM lParam)
{
  if (t_chains.empty()) {
    return 0;
  }
  ChainFrame& frame = *t_chains.back();
  std::size_t mine = frame.index;
  ++frame.index;
  LRESULT result = RunFrom(frame, code, wParam, lParam);
  frame.index = mine;
  return result;
}

BOOL CallMsgFilter(MSG* msg, int code)
{
  bool any = false;
  return CallHooks(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg), &any) != 0 ? TRUE : FALSE;
}
