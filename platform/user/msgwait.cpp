// MsgWaitForMultipleObjects: the thread's queue as one more object among the handles it waits on.
#include "platform/base/clock.h"
#include "platform/base/kernel_object.h"
#include "platform/base/sync.h"
#include "platform/user/state.h"

#include <algorithm>
#include <vector>

using namespace user::detail;

namespace {

// Signalled while the queue holds something of the mask. Read with the kernel lock held; takes the window
// system's lock after it, which no one holding the window system's lock ever does the other way round.
class QueueObject final : public platform::KernelObject {
public:
  QueueObject(ThreadQueue* queue, DWORD mask) : queue_(queue), mask_(mask) {}
  bool IsSignalled() const override
  {
    Lock lock(S().mutex);
    return (QueueStatusLocked(*queue_) & mask_) != 0;
  }

private:
  ThreadQueue* queue_;
  DWORD mask_;
};

}  // namespace

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                  DWORD)
{
  PresentDrawnDCs();
  ThreadQueue* q = CurrentQueueFast();
  // Messages sent by other threads are always let in, as Windows does.
  auto object = std::make_shared<QueueObject>(q, wakeMask | QS_SENDMESSAGE);
  HANDLE queueHandle = platform::InsertHandle(object);
  std::vector<HANDLE> all(handles, handles + count);
  all.push_back(queueHandle);
  g_msgWaiters.fetch_add(1);
  const std::uint64_t start = platform::CurrentClock().NowMs();
  DWORD result = WAIT_TIMEOUT;
  for (;;) {
    std::uint64_t now = platform::CurrentClock().NowMs();
    std::uint64_t waitFor =
        milliseconds == INFINITE ? UINT64_MAX : start + milliseconds - std::min<std::uint64_t>(now, start + milliseconds);
    bool timerLimited = false;
    if ((wakeMask & QS_TIMER) != 0) {
      Lock lock(S().mutex);
      for (const Timer& t : q->timers) {
        std::uint64_t untilDue = t.due > now ? t.due - now : 0;
        if (untilDue < waitFor) {
          waitFor = untilDue;
          timerLimited = true;
        }
      }
    }
    DWORD wait = waitFor >= INFINITE ? INFINITE : static_cast<DWORD>(waitFor);
    // MWMO_WAITALL (every handle and a message together) is not offered: the program never asks for it.
    result = WaitForMultipleObjects(static_cast<DWORD>(all.size()), all.data(), FALSE, wait);
    if (result != WAIT_TIMEOUT) {
      break;
    }
    if (timerLimited) {
      result = WAIT_OBJECT_0 + count;  // a timer fell due
      break;
    }
    if (milliseconds != INFINITE && platform::CurrentClock().NowMs() >= start + milliseconds) {
      break;
    }
  }
  g_msgWaiters.fetch_sub(1);
  CloseHandle(queueHandle);
  return result;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask)
{
  return MsgWaitForMultipleObjectsEx(count, handles, milliseconds, wakeMask, waitAll ? MWMO_WAITALL : 0);
}
