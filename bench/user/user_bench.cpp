// Posting and dispatching window messages beside the simplest queue that could carry them: a deque of the same
// records behind a mutex, each record handed to a procedure. Target: the window system keeps at least half the
// plain queue's throughput. The plain queue runs twice, first: with records stamped with the coarse tick count,
// as a posted message is stamped, and bare; the window system's run then gives its rate as a share of each (wall
// time on all three sides). Each run carries 1,000,000 messages, in batches of 1000.
#include "platform/user/user.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <deque>
#include <mutex>

namespace {

constexpr int kBatch = 1000;
constexpr int kBatches = 1000;

long g_handled = 0;
// Messages a second of the plain queue, stamped and bare, for the window system's share of them.
double g_plainRate[2] = {0.0, 0.0};

LRESULT Counting(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_APP) {
    g_handled += static_cast<long>(wParam);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}


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
  const auto start = std::chrono::steady_clock::now();
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
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  benchmark::DoNotOptimize(g_handled);
  state.SetItemsProcessed(state.iterations() * kBatch);
  g_plainRate[stamped ? 0 : 1] = static_cast<double>(state.iterations() * kBatch) / seconds;
}
BENCHMARK(PlainMutexQueue<true>)->Name("PlainMutexQueueStamped")->Iterations(kBatches);
BENCHMARK(PlainMutexQueue<false>)->Name("PlainMutexQueueBare")->Iterations(kBatches);

void PostedAndDispatched(benchmark::State& state)
{
  WNDCLASS wc;
  wc.lpfnWndProc = &Counting;
  wc.lpszClassName = "BenchCounting";
  RegisterClass(&wc);
  HWND hwnd = CreateWindowEx(0, "BenchCounting", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      PostMessage(hwnd, WM_APP, 1, i);
    }
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  benchmark::DoNotOptimize(g_handled);
  state.SetItemsProcessed(state.iterations() * kBatch);
  const double rate = static_cast<double>(state.iterations() * kBatch) / seconds;
  if (g_plainRate[0] > 0.0)
    state.counters["of stamped"] = rate / g_plainRate[0];
  if (g_plainRate[1] > 0.0)
    state.counters["of bare"] = rate / g_plainRate[1];
  DestroyWindow(hwnd);
}
BENCHMARK(PostedAndDispatched)->Iterations(kBatches);

}  // namespace
