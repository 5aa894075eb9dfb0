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

// A clock that moves only when told to: Advance, or a Sleep on it.
class VirtualClock final : public Clock {
public:
  explicit VirtualClock(std::uint64_t startMs = 0);
  std::uint64_t NowMs() override;
  void SleepMs(std::uint64_t ms) override;
  void Advance(std::uint64_t ms);

private:
  struct State;
  State* state_;
  // Defined in the .cpp; the clock is neither copied nor moved.
public:
  ~VirtualClock() override;
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;
};

Clock& CurrentClock();
// Puts `clock` in force (nullptr restores the system clock); the caller keeps it alive while in force.
void SetClock(Clock* clock);

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
void Sleep(DWORD ms);
