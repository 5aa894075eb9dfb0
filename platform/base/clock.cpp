// The system clock over std::chrono::steady_clock, the virtual clock tests advance, and the clock listeners
// through which waits and timers learn that a non-system clock moved.
#include "platform/base/clock.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace platform {

namespace {

class SteadyClock final : public Clock {
public:
  std::uint64_t NowMs() override
  {
    auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
  }
  void SleepMs(std::uint64_t ms) override
  {
    if (ms == 0) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
  }
};

SteadyClock& TheSteadyClock()
{
  static SteadyClock clock;
  return clock;
}

std::atomic<Clock*> g_clockInForce{nullptr};

// Listeners are few (the wait machinery, the timers of the window system) and live for the process, so a
// fixed table with an atomic count is enough, and NotifyClockMoved never takes a lock.
constexpr std::size_t kMaxListeners = 32;
std::array<std::atomic<ClockListener>, kMaxListeners> g_listeners{};
std::atomic<std::size_t> g_listenerCount{0};
std::mutex g_listenerAdd;

}  // namespace

Clock& SystemClock() { return TheSteadyClock(); }

Clock& CurrentClock()
{
  Clock* clock = g_clockInForce.load(std::memory_order_acquire);
  return clock != nullptr ? *clock : TheSteadyClock();
}

void SetClock(Clock* clock)
{
  g_clockInForce.store(clock == &TheSteadyClock() ? nullptr : clock, std::memory_order_release);
  NotifyClockMoved();
}

bool SystemClockInForce() { return g_clockInForce.load(std::memory_order_acquire) == nullptr; }

void AddClockListener(ClockListener listener)
{
  std::lock_guard lock(g_listenerAdd);
  std::size_t count = g_listenerCount.load(std::memory_order_relaxed);
  for (std::size_t i = 0; i < count; ++i) {
    if (g_listeners[i].load(std::memory_order_relaxed) == listener) {
      return;
    }
  }
  if (count == kMaxListeners) {
    std::abort();  // A programming error: listeners are registered once per subsystem.
  }
  g_listeners[count].store(listener, std::memory_order_release);
  g_listenerCount.store(count + 1, std::memory_order_release);
}

void NotifyClockMoved()
{
  std::size_t count = g_listenerCount.load(std::memory_order_acquire);
  for (std::size_t i = 0; i < count; ++i) {
    if (ClockListener listener = g_listeners[i].load(std::memory_order_acquire)) {
      listener();
    }
  }
}

struct VirtualClock::State {
  std::mutex mutex;
  std::uint64_t nowMs = 0;
};

VirtualClock::VirtualClock(std::uint64_t startMs) : state_(new State)
{
  state_->nowMs = startMs;
}

VirtualClock::~VirtualClock()
{
  // A clock destroyed while in force would leave a dangling pointer; fall back to the system clock.
  Clock* self = this;
  if (g_clockInForce.compare_exchange_strong(self, nullptr)) {
    NotifyClockMoved();
  }
  delete state_;
}

std::uint64_t VirtualClock::NowMs()
{
  std::lock_guard lock(state_->mutex);
  return state_->nowMs;
}

void VirtualClock::SleepMs(std::uint64_t ms) { Advance(ms); }

void VirtualClock::Advance(std::uint64_t ms)
{
  {
    std::lock_guard lock(state_->mutex);
    state_->nowMs += ms;
  }
  // After the new time is visible, so a waiter woken here reads it.
  NotifyClockMoved();
}

}  // namespace platform

DWORD GetTickCount() { return static_cast<DWORD>(platform::CurrentClock().NowMs() & 0xFFFFFFFFu); }

std::uint64_t GetTickCount64() { return platform::CurrentClock().NowMs(); }

void Sleep(DWORD ms) { platform::CurrentClock().SleepMs(ms); }
