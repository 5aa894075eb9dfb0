// Timers fire at their times on the virtual clock, one WM_TIMER per timer however late it is taken.
#include "platform/base/clock.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::vector<std::pair<UINT_PTR, DWORD>>* g_fired = nullptr;

void CALLBACK_Timer(HWND, UINT, UINT_PTR id, DWORD time) { g_fired->emplace_back(id, time); }

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_TIMER && g_fired != nullptr) {
    g_fired->emplace_back(wParam, GetTickCount());
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeWindow()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "TimersTest";
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return CreateWindowEx(0, "TimersTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

TEST(Timers, FireAtTheirVirtualTimes)
{
  platform::VirtualClock clock(10000);
  platform::ScopedClock inForce(clock);
  std::vector<std::pair<UINT_PTR, DWORD>> fired;
  g_fired = &fired;
  HWND hwnd = MakeWindow();
  SetTimer(hwnd, 1, 100, nullptr);
  SetTimer(hwnd, 2, 250, nullptr);
  struct Step {
    std::uint64_t advance;
    std::vector<std::pair<UINT_PTR, DWORD>> expected;
  };
  const std::vector<Step> steps{
      {99, {}},
      {1, {{1, 10100}}},
      {100, {{1, 10200}}},
      {50, {{2, 10250}}},
      {50, {{1, 10300}}},
  };
  for (const Step& step : steps) {
    fired.clear();
    clock.Advance(step.advance);
    Pump();
    EXPECT_EQ(fired, step.expected) << "after advancing to " << clock.NowMs();
  }
  KillTimer(hwnd, 1);
  KillTimer(hwnd, 2);
  DestroyWindow(hwnd);
  g_fired = nullptr;
}

TEST(Timers, ALateTimerFiresOnceAndCountsFromWhenItWasTaken)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  std::vector<std::pair<UINT_PTR, DWORD>> fired;
  g_fired = &fired;
  HWND hwnd = MakeWindow();
  SetTimer(hwnd, 5, 100, nullptr);
  clock.Advance(350);
  Pump();
  EXPECT_EQ(fired.size(), 1u);
  fired.clear();
  clock.Advance(99);
  Pump();
  EXPECT_TRUE(fired.empty());
  clock.Advance(1);
  Pump();
  EXPECT_EQ(fired.size(), 1u);
  EXPECT_TRUE(KillTimer(hwnd, 5));
  EXPECT_FALSE(KillTimer(hwnd, 5));
  clock.Advance(1000);
  fired.clear();
  Pump();
  EXPECT_TRUE(fired.empty());
  DestroyWindow(hwnd);
  g_fired = nullptr;
}

TEST(Timers, ThreadTimersCallTheirProcedureAndDieWithNothingElse)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  std::vector<std::pair<UINT_PTR, DWORD>> fired;
  g_fired = &fired;
  UINT_PTR a = SetTimer(nullptr, 0, 40, &CALLBACK_Timer);
  UINT_PTR b = SetTimer(nullptr, 0, 40, &CALLBACK_Timer);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  clock.Advance(40);
  Pump();
  EXPECT_EQ(fired.size(), 2u);
  KillTimer(nullptr, a);
  KillTimer(nullptr, b);
  g_fired = nullptr;
}

TEST(Timers, DestroyingTheWindowKillsItsTimers)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  HWND hwnd = MakeWindow();
  SetTimer(hwnd, 1, 10, nullptr);
  DestroyWindow(hwnd);
  clock.Advance(100);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST(Timers, ABlockedGetMessageWakesWhenAnotherThreadSleepsTheClockForward)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  std::vector<std::pair<UINT_PTR, DWORD>> fired;
  g_fired = &fired;
  HWND hwnd = MakeWindow();
  SetTimer(hwnd, 3, 500, nullptr);
  std::thread sleeper([] { Sleep(500); });
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  sleeper.join();
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(msg.time, 500u);
  KillTimer(hwnd, 3);
  DestroyWindow(hwnd);
  g_fired = nullptr;
}

}  // namespace
