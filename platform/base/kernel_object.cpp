// The handle table, the kernel lock and the waits.
//
// Every signal state lives under one mutex, and every waiter sleeps on one condition variable that is notified
// after any change. The program has a handful of threads, so waking all of them to re-check is cheaper than it
// sounds and keeps wait-for-all atomic without lock ordering. A non-system clock tells us when it moves (a clock
// listener), which wakes the waiters so that they re-check their deadlines on that clock.
#include "platform/base/kernel_object.h"

#include "platform/base/clock.h"
#include "platform/base/hresult.h"
#include "platform/base/sync.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <unordered_map>
#include <vector>

namespace platform {

namespace {

std::condition_variable& Changed()
{
  static std::condition_variable changed;
  return changed;
}

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
  // Handle values are never reused, so a stale handle cannot reach a new object. Multiples of 4 from 0x1000,
  // as Windows' kernel handles look.
  std::uintptr_t next = 0x1000;
};

HandleTable& Handles()
{
  static HandleTable table;
  return table;
}

std::atomic<std::size_t> g_blockedWaiters{0};

void OnClockMoved()
{
  std::lock_guard lock(KernelMutex());
  Changed().notify_all();
}

void EnsureClockListener()
{
  static std::once_flag once;
  std::call_once(once, [] { AddClockListener(&OnClockMoved); });
}

// The pseudo handle of GetCurrentThread (thread.h).
const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

}  // namespace

std::mutex& KernelMutex()
{
  static std::mutex mutex;
  return mutex;
}

void WakeWaiters() { Changed().notify_all(); }

HANDLE InsertHandle(std::shared_ptr<KernelObject> object)
{
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  std::uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> ReferenceHandle(HANDLE handle)
{
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return found != table.objects.end() ? found->second : nullptr;
}

std::size_t BlockedWaiterCount() { return g_blockedWaiters.load(); }

}  // namespace platform

BOOL CloseHandle(HANDLE handle)
{
  if (handle == platform::kCurrentThreadPseudoHandle) {
    return TRUE;
  }
  std::shared_ptr<platform::KernelObject> released;  // destroyed outside the table's lock
  {
    platform::HandleTable& table = platform::Handles();
    std::lock_guard lock(table.mutex);
    auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == table.objects.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    released = std::move(found->second);
    table.objects.erase(found);
  }
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
  return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds)
{
  using platform::KernelObject;
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<KernelObject>> objects;
  objects.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    auto object = platform::ReferenceHandle(handles[i]);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    if (waitAll && std::find(objects.begin(), objects.end(), object) != objects.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return WAIT_FAILED;
    }
    objects.push_back(std::move(object));
  }
  platform::EnsureClockListener();

  std::unique_lock lock(platform::KernelMutex());
  // Time waited so far in microseconds, summed over the clocks in force while we wait (we never look at a clock
  // that has been replaced: it may be gone). The system clock is read at full precision: in whole milliseconds a
  // wait could end up to one millisecond early.
  auto nowUs = [](platform::Clock* c) -> std::uint64_t {
    if (c == &platform::SystemClock()) {
      return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                            std::chrono::steady_clock::now().time_since_epoch())
                                            .count());
    }
    return c->NowMs() * 1000;
  };
  platform::Clock* clock = &platform::CurrentClock();
  std::uint64_t lastNow = nowUs(clock);
  std::uint64_t waited = 0;
  const std::uint64_t timeoutUs = static_cast<std::uint64_t>(milliseconds) * 1000;
  for (;;) {
    if (waitAll) {
      if (std::all_of(objects.begin(), objects.end(), [](const auto& o) { return o->IsSignalled(); })) {
        for (const auto& object : objects) {
          object->OnWaitSatisfied();
        }
        return WAIT_OBJECT_0;
      }
    } else {
      for (DWORD i = 0; i < count; ++i) {
        if (objects[i]->IsSignalled()) {
          objects[i]->OnWaitSatisfied();
          return WAIT_OBJECT_0 + i;
        }
      }
    }
    if (milliseconds == 0) {
      return WAIT_TIMEOUT;
    }
    bool systemClock = platform::SystemClockInForce();
    if (milliseconds != INFINITE) {
      platform::Clock* now = &platform::CurrentClock();
      std::uint64_t nowTime = nowUs(now);
      if (now == clock && nowTime > lastNow) {
        waited += nowTime - lastNow;
      }
      clock = now;
      lastNow = nowTime;
      if (waited >= timeoutUs) {
        return WAIT_TIMEOUT;
      }
    }
    ++platform::g_blockedWaiters;
    if (milliseconds != INFINITE && systemClock) {
      platform::Changed().wait_for(lock, std::chrono::microseconds(timeoutUs - waited));
    } else {
      platform::Changed().wait(lock);
    }
    --platform::g_blockedWaiters;
  }
}
