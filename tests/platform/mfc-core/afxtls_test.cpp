// Objects kept once per thread and once per process: each thread its own, made on first use and deleted when the
// thread ends; one for the process, made once however many threads ask at the same time.
#include "platform/mfc-core/afxtls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_made{0};
std::atomic<int> g_deleted{0};

class CKeyboardState : public CNoTrackObject {
public:
  CKeyboardState() { ++g_made; }
  ~CKeyboardState() override { ++g_deleted; }
  int m_nPresses = 0;
};

class LocalObjectsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    g_made = 0;
    g_deleted = 0;
  }
};

TEST_F(LocalObjectsTest, EachThreadHasItsOwnValueAndItGoesWithTheThread)
{
  CThreadLocal<CKeyboardState> state;
  EXPECT_EQ(state.GetDataNA(), nullptr);  // asking without making makes nothing
  EXPECT_EQ(g_made, 0);
  CKeyboardState* mine = state;
  EXPECT_EQ(state.GetData(), mine);  // the same one again
  state->m_nPresses = 5;

  constexpr int kThreads = 8;
  std::vector<CKeyboardState*> seen(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&state, &seen, i] {
      seen[static_cast<std::size_t>(i)] = state.GetData();
      state->m_nPresses = i;  // not the main thread's
      EXPECT_EQ(state.GetData(), seen[static_cast<std::size_t>(i)]);
    });
  }
  for (std::thread& t : threads) {
    t.join();
  }
  EXPECT_EQ(g_made, 1 + kThreads);
  EXPECT_EQ(g_deleted, kThreads);  // every thread's value went with its thread
  EXPECT_EQ(std::set<CKeyboardState*>(seen.begin(), seen.end()).count(mine), 0u);
  EXPECT_EQ(state->m_nPresses, 5);
  EXPECT_EQ(state.GetData(), mine);
}

TEST_F(LocalObjectsTest, AHolderThatGoesTakesTheValuesOfThreadsStillRunning)
{
  std::atomic<bool> made{false};
  std::atomic<bool> release{false};
  std::thread worker;
  {
    CThreadLocal<CKeyboardState> state;
    state.GetData();
    worker = std::thread([&] {
      state.GetData();
      made = true;
      while (!release) {
        std::this_thread::yield();
      }
    });
    while (!made) {
      std::this_thread::yield();
    }
  }
  EXPECT_EQ(g_deleted, 2);  // this thread's and the worker's, though the worker still runs
  release = true;
  worker.join();
  EXPECT_EQ(g_deleted, 2);  // and nothing is deleted twice when it ends
}

TEST_F(LocalObjectsTest, AProcessLocalValueIsMadeOnceForAllThreads)
{
  {
    CProcessLocal<CKeyboardState> shared;
    constexpr int kThreads = 8;
    std::atomic<bool> go{false};
    std::vector<CKeyboardState*> seen(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
      threads.emplace_back([&, i] {
        while (!go) {
          std::this_thread::yield();
        }
        seen[static_cast<std::size_t>(i)] = shared.GetData();
      });
    }
    go = true;
    for (std::thread& t : threads) {
      t.join();
    }
    EXPECT_EQ(g_made, 1);
    EXPECT_EQ(std::set<CKeyboardState*>(seen.begin(), seen.end()).size(), 1u);
    EXPECT_EQ(shared.GetData(), seen[0]);
    EXPECT_EQ(g_deleted, 0);
  }
  EXPECT_EQ(g_deleted, 1);
}

}  // namespace
