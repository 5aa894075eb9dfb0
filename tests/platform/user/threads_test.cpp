// Messages between threads: a SendMessage from a worker blocks until the window's thread has handled it, posted
// messages arrive in order, and WM_PAINT and WM_TIMER wait until nothing else is queued.
#include "platform/base/clock.h"
#include "platform/base/kernel_object.h"
#include "platform/base/sync.h"
#include "platform/base/thread.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kAskBack = WM_APP + 2;
constexpr UINT kNumbered = WM_APP + 3;

struct Seen {
  std::vector<UINT> messages;
  std::vector<WPARAM> numbers;
  DWORD handlerThread = 0;
  HWND workerWindow = nullptr;
};
Seen* g_seen = nullptr;

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
    case kAsk:
      g_seen->handlerThread = GetCurrentThreadId();
      if (g_seen->workerWindow != nullptr) {
        // The worker is blocked in its SendMessage to us, and must still answer this.
        return SendMessage(g_seen->workerWindow, kAskBack, wParam, 0) + 1;
      }
      return static_cast<LRESULT>(wParam * 2);
    case kAskBack: return static_cast<LRESULT>(wParam * 10);
    case kNumbered: g_seen->numbers.push_back(wParam); return 0;
    default: break;
  }
  if (msg == WM_PAINT || msg == WM_TIMER || msg >= WM_USER) {
    g_seen->messages.push_back(msg);
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

LPCSTR ClassName()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "ThreadsTest";
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return "ThreadsTest";
}

HWND MakeWindow()
{
  return CreateWindowEx(0, ClassName(), "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                        nullptr);
}

bool WaitForSentMessage()
{
  for (int i = 0; i < 200000; ++i) {
    if ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0) {
      return true;
    }
    std::this_thread::yield();
  }
  return false;
}

TEST(CrossThread, SendMessageBlocksTheWorkerUntilTheWindowThreadHandlesIt)
{
  Seen seen;
  g_seen = &seen;
  HWND hwnd = MakeWindow();
  std::atomic<bool> returned{false};
  LRESULT answer = 0;
  std::thread worker([&] {
    answer = SendMessage(hwnd, kAsk, 21, 0);
    returned = true;
  });
  ASSERT_TRUE(WaitForSentMessage());
  EXPECT_FALSE(returned.load());  // nobody has taken the message yet
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, kAsk, kAsk, PM_REMOVE));  // sent messages are handled, never returned
  worker.join();
  EXPECT_TRUE(returned.load());
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(seen.handlerThread, GetCurrentThreadId());
  DestroyWindow(hwnd);
  g_seen = nullptr;
}

TEST(CrossThread, ASendBackToTheBlockedSenderIsHandledInsideItsWait)
{
  Seen seen;
  g_seen = &seen;
  HWND hwnd = MakeWindow();
  std::atomic<HWND> workerWindow{nullptr};
  LRESULT answer = 0;
  std::thread worker([&] {
    HWND mine = CreateWindowEx(0, ClassName(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    workerWindow = mine;
    answer = SendMessage(hwnd, kAsk, 3, 0);
    DestroyWindow(mine);
  });
  while (workerWindow.load() == nullptr) {
    std::this_thread::yield();
  }
  seen.workerWindow = workerWindow;
  ASSERT_TRUE(WaitForSentMessage());
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  worker.join();
  EXPECT_EQ(answer, 31);
  DestroyWindow(hwnd);
  g_seen = nullptr;
}

TEST(CrossThread, MessagesPostedByAWorkerArriveInOrder)
{
  Seen seen;
  g_seen = &seen;
  HWND hwnd = MakeWindow();
  std::thread worker([&] {
    for (WPARAM i = 0; i < 1000; ++i) {
      PostMessage(hwnd, kNumbered, i, 0);
    }
    PostMessage(hwnd, WM_APP + 99, 0, 0);
  });
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) && msg.message != WM_APP + 99) {
    DispatchMessage(&msg);
  }
  worker.join();
  ASSERT_EQ(seen.numbers.size(), 1000u);
  for (WPARAM i = 0; i < 1000; ++i) {
    ASSERT_EQ(seen.numbers[i], i);
  }
  DestroyWindow(hwnd);
  g_seen = nullptr;
}

TEST(CrossThread, PaintAndTimerComeOnlyWhenNothingElseWaits)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  Seen seen;
  g_seen = &seen;
  HWND hwnd = MakeWindow();
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
  seen.messages.clear();
  SetTimer(hwnd, 7, 50, nullptr);
  clock.Advance(60);
  InvalidateRect(hwnd, nullptr, TRUE);
  PostMessage(hwnd, WM_USER + 1, 0, 0);
  std::thread worker([&] { PostMessage(hwnd, WM_USER + 2, 0, 0); });
  worker.join();
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
  std::vector<UINT> expected{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER};
  EXPECT_EQ(seen.messages, expected);
  KillTimer(hwnd, 7);
  DestroyWindow(hwnd);
  g_seen = nullptr;
}

TEST(CrossThread, ThreadMessagesAndQuitEndAWorkerLoop)
{
  std::atomic<DWORD> workerId{0};
  std::vector<WPARAM> got;
  int exitCode = 0;
  std::thread worker([&] {
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
    workerId = GetCurrentThreadId();
    while (GetMessage(&msg, nullptr, 0, 0)) {
      got.push_back(msg.wParam);
      if (msg.wParam == 3) {
        PostQuitMessage(9);
      }
    }
    exitCode = static_cast<int>(msg.wParam);
  });
  while (workerId.load() == 0) {
    std::this_thread::yield();
  }
  for (WPARAM i = 1; i <= 3; ++i) {
    EXPECT_TRUE(PostThreadMessage(workerId, WM_APP, i, 0));
  }
  worker.join();
  EXPECT_EQ(got, (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_EQ(exitCode, 9);
  EXPECT_FALSE(PostThreadMessage(workerId, WM_APP, 0, 0));  // its queue is gone with it
}

TEST(CrossThread, SendingToAWindowWhoseThreadEndedDoesNotHang)
{
  HWND orphan = nullptr;
  std::thread worker([&] { orphan = MakeWindow(); });
  worker.join();
  EXPECT_FALSE(IsWindow(orphan));
  EXPECT_EQ(SendMessage(orphan, kAsk, 1, 0), 0);
}

TEST(CrossThread, SendMessageTimeoutGivesUpOnTheClockInForce)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  Seen seen;
  g_seen = &seen;
  HWND hwnd = MakeWindow();
  std::atomic<bool> done{false};
  LRESULT ok = 1;
  std::thread worker([&] {
    DWORD_PTR result = 0;
    ok = SendMessageTimeout(hwnd, kAsk, 1, 0, SMTO_NORMAL, 500, &result);
    done = true;
  });
  ASSERT_TRUE(WaitForSentMessage());
  clock.Advance(499);
  for (int i = 0; i < 1000; ++i) {
    std::this_thread::yield();
  }
  EXPECT_FALSE(done.load());
  clock.Advance(1);
  worker.join();
  EXPECT_EQ(ok, 0);
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the late message is still handled, its answer dropped
  EXPECT_EQ(seen.handlerThread, GetCurrentThreadId());
  DestroyWindow(hwnd);
  g_seen = nullptr;
}

}  // namespace

namespace {

TEST(CrossThread, MsgWaitWakesForAHandleOrForTheQueue)
{
  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  const DWORD me = GetCurrentThreadId();
  std::thread poster([me] { PostThreadMessage(me, WM_APP, 0, 0); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  poster.join();
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  std::thread setter([event] { SetEvent(event); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
  setter.join();
  CloseHandle(event);
}

TEST(CrossThread, MsgWaitEndsWhenATimerFallsDueOrTheTimeRunsOut)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  UINT_PTR timer = SetTimer(nullptr, 0, 100, nullptr);
  std::thread sleeper([] {
    while (platform::BlockedWaiterCount() == 0) {
      std::this_thread::yield();
    }
    Sleep(100);
  });
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_TIMER), WAIT_OBJECT_0);
  sleeper.join();
  KillTimer(nullptr, timer);
  std::thread later([] {
    // Only once the wait has begun, so that its fifty milliseconds count from before this sleep.
    while (platform::BlockedWaiterCount() == 0) {
      std::this_thread::yield();
    }
    Sleep(50);
  });
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT), static_cast<DWORD>(WAIT_TIMEOUT));
  later.join();
}

}  // namespace

namespace {

DWORD SendThenEnd(LPVOID window)
{
  return static_cast<DWORD>(SendMessage(static_cast<HWND>(window), kAsk, 4, 0));
}

// The UI thread waits for a worker that is blocked in SendMessage to one of its windows: the wait must let the
// message in, or neither side ever ends. A posted message queued before stays for the UI's own loop.
TEST(CrossThread, WaitForAWorkerHandlesWhatItSendsAndLeavesPostedMessages)
{
  Seen seen;
  g_seen = &seen;
  HWND hwnd = MakeWindow();
  PostMessage(hwnd, kNumbered, 7, 0);
  HANDLE worker = CreateThread(nullptr, 0, &SendThenEnd, hwnd, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  int wakes = 0;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &worker, FALSE, 5000, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + 1) {
      EXPECT_EQ(woke, WAIT_OBJECT_0);
      break;
    }
    ASSERT_LT(++wakes, 100) << "woken again and again by something it does not take";
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  DWORD answer = 0;
  EXPECT_TRUE(GetExitCodeThread(worker, &answer));
  EXPECT_EQ(answer, 8u);
  EXPECT_EQ(seen.handlerThread, GetCurrentThreadId());
  EXPECT_TRUE(seen.numbers.empty());
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, hwnd, kNumbered, kNumbered, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  CloseHandle(worker);
  DestroyWindow(hwnd);
  g_seen = nullptr;
}

}  // namespace
