#include "platform/base/interlocked.h"
#include "platform/base/syserror.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>
#include <vector>

namespace {

TEST(Interlocked, AnswersAsWindowsDoes)
{
  volatile LONG value = 5;
  EXPECT_EQ(InterlockedIncrement(&value), 6);
  EXPECT_EQ(InterlockedDecrement(&value), 5);
  EXPECT_EQ(InterlockedExchange(&value, 9), 5);
  EXPECT_EQ(InterlockedExchangeAdd(&value, 3), 9);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 7), 12);  // no match: unchanged
  EXPECT_EQ(value, 12);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 12), 12);
  EXPECT_EQ(value, 1);

  int a = 0;
  int b = 0;
  PVOID volatile slot = &a;
  EXPECT_EQ(InterlockedCompareExchangePointer(&slot, &b, nullptr), &a);
  EXPECT_EQ(slot, &a);
  EXPECT_EQ(InterlockedCompareExchangePointer(&slot, &b, &a), &a);
  EXPECT_EQ(slot, &b);
  EXPECT_EQ(InterlockedExchangePointer(&slot, nullptr), &b);
}

TEST(Interlocked, CountsExactlyAcrossThreads)
{
  volatile LONG counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&counter] {
      for (int i = 0; i < 10000; ++i) {
        InterlockedIncrement(&counter);
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  EXPECT_EQ(counter, 40000);
}

TEST(LastError, IsKeptPerThread)
{
  SetLastError(ERROR_FILE_NOT_FOUND);
  DWORD seenThere = 1;
  std::thread([&seenThere] {
    seenThere = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
  }).join();
  EXPECT_EQ(seenThere, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  platform::SetLastErrorFromErrno(ENOENT);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(platform::Win32ErrorFromErrno(EEXIST), ERROR_ALREADY_EXISTS);
}

}  // namespace
