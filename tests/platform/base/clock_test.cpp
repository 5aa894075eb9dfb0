#include "platform/base/clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(Clock, SystemClockIsInForceByDefaultAndMonotonic)
{
  EXPECT_TRUE(platform::SystemClockInForce());
  EXPECT_EQ(&platform::CurrentClock(), &platform::SystemClock());
  std::uint64_t a = GetTickCount64();
  Sleep(2);
  std::uint64_t b = GetTickCount64();
  EXPECT_GE(b, a + 1);
}

TEST(Clock, VirtualClockMovesOnlyWhenTold)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  EXPECT_FALSE(platform::SystemClockInForce());
  EXPECT_EQ(GetTickCount(), 1000u);
  EXPECT_EQ(GetTickCount(), 1000u);
  clock.Advance(250);
  EXPECT_EQ(GetTickCount64(), 1250u);
  Sleep(50);  // moves the virtual clock instead of blocking
  EXPECT_EQ(GetTickCount64(), 1300u);
}

TEST(Clock, ScopedClockRestoresTheSystemClock)
{
  platform::VirtualClock clock;
  {
    platform::ScopedClock inForce(clock);
    EXPECT_EQ(&platform::CurrentClock(), &clock);
  }
  EXPECT_TRUE(platform::SystemClockInForce());
}

TEST(Clock, TickCountWrapsAt2To32)
{
  platform::VirtualClock clock(0xFFFFFFFFull - 5);
  platform::ScopedClock inForce(clock);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu - 5);
  clock.Advance(10);
  EXPECT_EQ(GetTickCount(), 4u);
  EXPECT_EQ(GetTickCount64(), 0x100000004ull);
  // Differences taken in DWORD arithmetic stay right across the wrap, as the program computes them.
  EXPECT_EQ(static_cast<DWORD>(GetTickCount() - (0xFFFFFFFFu - 5)), 10u);
}

std::atomic<int> g_moves{0};
void CountMove() { g_moves.fetch_add(1); }

TEST(Clock, ListenersHearEveryMoveOfAVirtualClock)
{
  platform::AddClockListener(&CountMove);
  platform::AddClockListener(&CountMove);  // registered once only
  platform::VirtualClock clock;
  int before = g_moves.load();
  clock.Advance(1);
  clock.SleepMs(1);
  EXPECT_EQ(g_moves.load() - before, 2);
}

TEST(Clock, VirtualClockIsSafeAcrossThreads)
{
  platform::VirtualClock clock;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&clock] {
      for (int i = 0; i < 1000; ++i) {
        clock.Advance(1);
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  EXPECT_EQ(clock.NowMs(), 4000u);
}

}  // namespace
