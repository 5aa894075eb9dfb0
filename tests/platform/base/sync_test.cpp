#include "platform/base/clock.h"
#include "platform/base/sync.h"
#include "platform/base/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Spins (in real time, briefly) until `n` threads are blocked in a wait, so that a test on a virtual clock
// advances it only once the waiter's time-out has started.
void UntilBlocked(std::size_t n)
{
  auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (platform::BlockedWaiterCount() < n && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::yield();
  }
  ASSERT_GE(platform::BlockedWaiterCount(), n);
}

struct WaitJob {
  HANDLE handle;
  DWORD timeoutMs;
  std::atomic<DWORD> result{0xDEAD};
};

DWORD WaitOnce(LPVOID parameter)
{
  auto* job = static_cast<WaitJob*>(parameter);
  job->result = WaitForSingleObject(job->handle, job->timeoutMs);
  return 0;
}

TEST(Events, ManualResetStaysSignalledUntilReset)
{
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(CloseHandle(event));
}

TEST(Events, AutoResetLetsOneWaitThroughPerSet)
{
  HANDLE event = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  SetEvent(event);
  SetEvent(event);  // does not count
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Events, NamedEventIsSharedWithinTheProcess)
{
  HANDLE first = CreateEvent(nullptr, TRUE, FALSE, "qorr-test-event");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE second = CreateEvent(nullptr, TRUE, FALSE, "qorr-test-event");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_NE(first, second);
  SetEvent(first);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  CloseHandle(first);
  CloseHandle(second);
}

TEST(Handles, BadHandlesFail)
{
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  EXPECT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(SetEvent(event));
  EXPECT_FALSE(SetEvent(nullptr));
  EXPECT_EQ(WaitForMultipleObjects(0, &event, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Waits, TimeOutExactlyWhenTheVirtualClockPassesTheDeadline)
{
  platform::VirtualClock clock(5000);
  platform::ScopedClock inForce(clock);
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  WaitJob job{event, 100};
  HANDLE waiter = CreateThread(nullptr, 0, &WaitOnce, &job, 0, nullptr);
  UntilBlocked(1);
  clock.Advance(99);
  // Real time passes too, and the waiter has looked at the clock again; it still waits.
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(job.result.load(), 0xDEADu);
  clock.Advance(1);
  ASSERT_EQ(WaitForSingleObject(waiter, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(job.result.load(), WAIT_TIMEOUT);
  CloseHandle(waiter);
  CloseHandle(event);
}

TEST(Waits, ASetBeforeTheDeadlineEndsTheWaitOnAVirtualClock)
{
  platform::VirtualClock clock;
  platform::ScopedClock inForce(clock);
  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  WaitJob job{event, 1000};
  HANDLE waiter = CreateThread(nullptr, 0, &WaitOnce, &job, 0, nullptr);
  UntilBlocked(1);
  clock.Advance(999);
  SetEvent(event);
  ASSERT_EQ(WaitForSingleObject(waiter, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(job.result.load(), WAIT_OBJECT_0);
  // The auto-reset event was taken by that wait.
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(waiter);
  CloseHandle(event);
}

TEST(Waits, AnInfiniteWaitIgnoresTheClock)
{
  platform::VirtualClock clock;
  platform::ScopedClock inForce(clock);
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  WaitJob job{event, INFINITE};
  HANDLE waiter = CreateThread(nullptr, 0, &WaitOnce, &job, 0, nullptr);
  UntilBlocked(1);
  clock.Advance(0xFFFFFFFFull * 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(job.result.load(), 0xDEADu);
  SetEvent(event);
  ASSERT_EQ(WaitForSingleObject(waiter, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(job.result.load(), WAIT_OBJECT_0);
  CloseHandle(waiter);
  CloseHandle(event);
}

TEST(Waits, ShortRealTimeOutOnTheSystemClock)
{
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForSingleObject(event, 3), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3));
  CloseHandle(event);
}

TEST(Waits, WaitForAnyAnswersTheLowestSignalledIndex)
{
  HANDLE events[3] = {CreateEvent(nullptr, TRUE, FALSE, nullptr), CreateEvent(nullptr, FALSE, FALSE, nullptr),
                      CreateEvent(nullptr, FALSE, FALSE, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
  SetEvent(events[2]);
  SetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
  for (HANDLE e : events) {
    CloseHandle(e);
  }
}

TEST(Waits, WaitForAllTakesNothingUntilAllAreSignalled)
{
  HANDLE events[2] = {CreateEvent(nullptr, FALSE, FALSE, nullptr), CreateEvent(nullptr, FALSE, FALSE, nullptr)};
  SetEvent(events[0]);
  EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
  // The first auto-reset event was not consumed by the failed wait.
  EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0);
  SetEvent(events[0]);
  SetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT);
  HANDLE twice[2] = {events[0], events[0]};
  EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  for (HANDLE e : events) {
    CloseHandle(e);
  }
}

TEST(Waits, WaitForAllTimesOutOnAVirtualClock)
{
  platform::VirtualClock clock;
  platform::ScopedClock inForce(clock);
  HANDLE events[2] = {CreateEvent(nullptr, TRUE, TRUE, nullptr), CreateEvent(nullptr, TRUE, FALSE, nullptr)};
  struct Job {
    HANDLE* events;
    std::atomic<DWORD> result{0xDEAD};
  } job{events};
  HANDLE waiter = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        auto* j = static_cast<Job*>(p);
        j->result = WaitForMultipleObjects(2, j->events, TRUE, 50);
        return 0;
      },
      &job, 0, nullptr);
  UntilBlocked(1);
  clock.Advance(50);
  WaitForSingleObject(waiter, INFINITE);
  EXPECT_EQ(job.result.load(), WAIT_TIMEOUT);
  CloseHandle(waiter);
  for (HANDLE e : events) {
    CloseHandle(e);
  }
}

DWORD ReturnParameter(LPVOID parameter) { return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter)); }

TEST(Threads, HandleIsSignalledWhenTheThreadEndsAndKeepsItsExitCode)
{
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &ReturnParameter, reinterpret_cast<LPVOID>(42), 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(GetThreadId(thread), id);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(thread));
}

struct SuspendedJob {
  std::atomic<bool> ran{false};
  std::atomic<DWORD> idInside{0};
  HANDLE release = nullptr;
};

DWORD SuspendedBody(LPVOID parameter)
{
  auto* job = static_cast<SuspendedJob*>(parameter);
  job->ran = true;
  job->idInside = GetCurrentThreadId();
  WaitForSingleObject(job->release, INFINITE);
  return 7;
}

TEST(Threads, SuspendedThreadRunsOnlyAfterResumeAndIsActiveUntilItReturns)
{
  SuspendedJob job;
  job.release = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &SuspendedBody, &job, CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_BELOW_NORMAL);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_FALSE(job.ran.load());
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);

  EXPECT_EQ(ResumeThread(thread), 1u);
  UntilBlocked(1);
  EXPECT_TRUE(job.ran.load());
  EXPECT_EQ(job.idInside.load(), id);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_EQ(ResumeThread(thread), 0u);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);

  SetEvent(job.release);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 7u);
  CloseHandle(thread);
  CloseHandle(job.release);
}

struct GoDone {
  HANDLE go;
  HANDLE done;
};

TEST(Threads, ClosingTheHandleOfARunningThreadLetsItFinish)
{
  GoDone events{CreateEvent(nullptr, TRUE, FALSE, nullptr), CreateEvent(nullptr, TRUE, FALSE, nullptr)};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        auto* e = static_cast<GoDone*>(p);
        WaitForSingleObject(e->go, INFINITE);
        SetEvent(e->done);
        return 0;
      },
      &events, 0, nullptr);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_EQ(ResumeThread(thread), 0xFFFFFFFFu);  // the handle is gone, the thread is not
  SetEvent(events.go);
  EXPECT_EQ(WaitForSingleObject(events.done, INFINITE), WAIT_OBJECT_0);
  CloseHandle(events.go);
  CloseHandle(events.done);
}

TEST(Threads, PrioritiesAreRecordedAndCheckedAndIdsAreStable)
{
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST));
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_LOWEST);
  EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 5));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
  EXPECT_EQ(GetThreadPriority(nullptr), THREAD_PRIORITY_ERROR_RETURN);
  EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
  DWORD other = 0;
  std::thread([&other] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, GetCurrentThreadId());
  EXPECT_NE(other, 0u);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section));  // the owner enters again
  bool otherGotIn = true;
  std::thread([&] { otherGotIn = TryEnterCriticalSection(&section) != FALSE; }).join();
  EXPECT_FALSE(otherGotIn);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  std::thread([&] {
    otherGotIn = TryEnterCriticalSection(&section) != FALSE;
    if (otherGotIn) {
      LeaveCriticalSection(&section);
    }
  }).join();
  EXPECT_TRUE(otherGotIn);

  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        EnterCriticalSection(&section);
        ++counter;
        LeaveCriticalSection(&section);
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  EXPECT_EQ(counter, 8000);
  DeleteCriticalSection(&section);
}

}  // namespace
