// Posting and dispatching window messages beside the simplest queue that could carry them: a deque of the same
// records behind a mutex, each record handed to a procedure. Target: the window system keeps at least half the
// plain queue's throughput. The plain queue runs twice: with records stamped with the coarse tick count, as a
// posted message is stamped, and bare. Each run carries 1,000,000 messages, in batches of 1000.
#include "platform/user/user.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <deque>
#include <mutex>

namespace {

constexpr int kBatch = 1000;
constexpr int kBatches = 1000;

long g_handled = 0;

LRESULT Counting(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_APP) {
    g_handled += static_cast<long>(wParam);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

void PostedAndDispatched(benchmark::State& state)
{
  WNDCLASS wc;
  wc.lpfnWndProc = &Counting;
  wc.lpszClassName = "BenchCounting";
  RegisterClass(&wc);
  HWND hwnd = CreateWindowEx(0, "BenchCounting", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      PostMessage(hwnd, WM_APP, 1, i);
    }
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
    }
  }
  benchmark::DoNotOptimize(g_handled);
  state.SetItemsProcessed(state.iterations() * kBatch);
  DestroyWindow(hwnd);
}
BENCHMARK(PostedAndDispatched)->Iterations(kBatches);

struct PlainQueue {
  std::mutex mutex;
  std::deque<MSG> records;
};

DWORD CoarseTicks()
{
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return static_cast<DWORD>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

template <bool stamped>
void PlainMutexQueue(benchmark::State& state)
{
  PlainQueue q;
  WNDPROC proc = &Counting;
  HWND hwnd = reinterpret_cast<HWND>(1);
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      std::lock_guard lock(q.mutex);
      q.records.push_back(MSG{hwnd, WM_APP, 1, i, stamped ? CoarseTicks() : 0, POINT{}});
    }
    for (;;) {
      MSG msg;
      {
        std::lock_guard lock(q.mutex);
        if (q.records.empty()) {
          break;
        }
        msg = q.records.front();
        q.records.pop_front();
      }
      benchmark::DoNotOptimize(proc(msg.hwnd, msg.message, msg.wParam, msg.lParam));
    }
  }
  benchmark::DoNotOptimize(g_handled);
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(PlainMutexQueue<true>)->Name("PlainMutexQueueStamped")->Iterations(kBatches);
BENCHMARK(PlainMutexQueue<false>)->Name("PlainMutexQueueBare")->Iterations(kBatches);

}  // namespace
