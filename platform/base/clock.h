// Milliseconds since start, and the clock behind them. Tests put a virtual clock in place and advance it;
// everything that waits or times (Sleep, timers, wait time-outs) goes through the clock in force.
#pragma once

#include "platform/base/wintypes.h"

#include <cstdint>

namespace platform {

class Clock {
public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic scale.
  virtual std::uint64_t NowMs() = 0;
  // Lets at least `ms` milliseconds pass on this clock.
  virtual void SleepMs(std::uint64_t ms) = 0;
};

// The monotonic system clock; the default.
Clock& SystemClock();

// A clock that moves only when told to: Advance, or a Sleep on it (which advances it rather than blocking).
// Safe to use from several threads. Each move tells the clock listeners (below), so a wait with a time-out on
// this clock ends exactly when the clock passes its deadline, and never before.
class VirtualClock final : public Clock {
public:
  explicit VirtualClock(std::uint64_t startMs = 0);
  ~VirtualClock() override;
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  std::uint64_t NowMs() override;
  void SleepMs(std::uint64_t ms) override;
  void Advance(std::uint64_t ms);

private:
  struct State;
  State* state_;
};

Clock& CurrentClock();
// Puts `clock` in force (nullptr restores the system clock); the caller keeps it alive while in force.
void SetClock(Clock* clock);
// True while the system clock is in force: waits may then use real time-outs. Under any other clock a timed
// wait blocks until a clock listener call lets it see that its deadline has passed.
bool SystemClockInForce();

// Clock listeners: functions run after a clock other than the system clock moves (and after SetClock), on the
// thread that moved it, so that waiters and timers re-check their deadlines. A listener is registered for the
// life of the process; it must not block, and may take its own locks (none of the clock's are held meanwhile).
using ClockListener = void (*)();
void AddClockListener(ClockListener listener);
// Runs every listener. VirtualClock calls it on each move; a test's own Clock implementation calls it too.
void NotifyClockMoved();

// Puts a clock in force for a scope, as tests do.
class ScopedClock {
public:
  explicit ScopedClock(Clock& clock) { SetClock(&clock); }
  ~ScopedClock() { SetClock(nullptr); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace platform

// Windows' tick count: the clock in force, wrapping at 2^32 ms.
DWORD GetTickCount();
std::uint64_t GetTickCount64();
// Sleep on the clock in force: real time under the system clock; under a virtual clock it moves the clock.
// Sleep(0) gives up the rest of the time slice.
void Sleep(DWORD ms);
