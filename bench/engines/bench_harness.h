// What the engine benchmarks share: a realistic luminaire's intensity table, and the timing of one calculation
// on one thread, on every core in the same run, and as independent one-thread copies on every core at once.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <latch>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "outside/engines/engine_codes.h"
#include "outside/engines/engine_host.h"

namespace Engines::bench {

// A road luminaire's shape: planes every 5 degrees, gamma every degree up to 90. `head` is what each engine's
// input puts before the grid's sizes.
inline std::string IntensityBlock(const std::string& head)
{
  std::string s = head + "91\n73\n";
  for (int g = 0; g <= 90; ++g)
    s += std::to_string(g) + (g < 90 ? "\t" : "\n");
  for (int c = -180; c <= 180; c += 5)
    s += std::to_string(c) + (c < 180 ? "\t" : "\n");
  for (int c = -180; c <= 180; c += 5) {
    for (int g = 0; g <= 90; ++g) {
      double gr = g * 3.14159265358979 / 180, cr = c * 3.14159265358979 / 180;
      char v[32];
      std::snprintf(v, sizeof v, "%g", 8000 * (1 + 0.6 * std::sin(cr)) * std::cos(gr) * (1 + 2 * std::sin(gr)));
      s += v;
      s += g < 90 ? "\t" : "\n";
    }
  }
  return s;
}

// One-thread rates of a run, carried to the benchmarks that follow for their ratios.
struct OneThreadRates {
  double baseline = 0.0;   // the one-point loop
  double vector = 0.0;     // the path in use
  double everyCore = 0.0;  // the path in use, one calculation threaded over every core
};

// Arguments of the benchmark: threads (0: every core), and 1 when the one-point loop is forced.
// `calculate(threads, host, result, error)` runs once and answers the engine's code; the result's evaluations make
// the rate, and its `kept` member is kept from the optimiser. The one-thread vector run reports its rate over the
// one-point loop's ("vector/baseline"), the all-core run its speed-up over the one-thread vector run.
template <class Result, class Kept, class Calculate>
void BenchOneThreadAndEveryCore(benchmark::State& state, OneThreadRates& rates, Kept Result::*kept,
                                Calculate calculate)
{
  std::string error;
  const unsigned threads = static_cast<unsigned>(state.range(0));
  const unsigned cores = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
  std::uint64_t evaluations = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    Result result;
    SilentHost host;
    auto start = std::chrono::steady_clock::now();
    if (calculate(threads, host, result, error) != kEngineOk) {
      state.SkipWithError(error.c_str());
      return;
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    evaluations += result.evaluations;
    benchmark::DoNotOptimize(result.*kept);
  }
  const double rate = seconds > 0.0 ? static_cast<double>(evaluations) / seconds : 0.0;
  state.counters["evaluations/s"] = rate;
  state.counters["per core"] = rate / cores;
  state.counters["threads"] = cores;
  const bool baseline = state.range(1) != 0;
  if (threads == 1 && baseline) {
    rates.baseline = rate;
  } else if (threads == 1) {
    rates.vector = rate;
    if (rates.baseline > 0.0)
      state.counters["vector/baseline"] = rate / rates.baseline;
  } else if (!baseline) {
    rates.everyCore = rate;
    if (rates.vector > 0.0)
      state.counters["speed-up"] = rate / rates.vector;
  }
}

// The machine's own all-core capacity for the loop: the one-thread calculation run as independent copies, one per
// core, all at once. A copy that is done calculates on, untimed, until every copy is done, so each timed run had
// the whole machine as busy as a threaded run has it. Each copy's rate is its evaluations over its own time; the
// capacity is their sum (and is reported with the same counters as the rows above). The threaded run's rate over
// it ("threaded/copies") says what the threading loses, apart from what the machine gives all its cores together.
template <class Result, class Calculate>
void BenchCopiesOnEveryCore(benchmark::State& state, const OneThreadRates& rates, Calculate calculate)
{
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::uint64_t> evaluations(cores, 0);
  std::vector<double> seconds(cores, 0.0);
  std::string error;
  for (auto _ : state) {
    std::latch start(cores);
    std::atomic<unsigned> timedDone{0};
    std::mutex failure;
    // Cancels the untimed runs once every copy's timed run is over.
    class Background final : public EngineHost {
    public:
      explicit Background(const std::atomic<unsigned>& done, unsigned copies) : done_(done), copies_(copies) {}
      void Progress(int) override {}
      bool IsCancelled() override { return done_.load() >= copies_; }
      void Finish(int) override {}

    private:
      const std::atomic<unsigned>& done_;
      unsigned copies_;
    };
    {
      std::vector<std::jthread> copies;
      for (unsigned c = 0; c < cores; ++c)
        copies.emplace_back([&, c] {
          Result result;
          SilentHost host;
          std::string why;
          start.arrive_and_wait();
          const auto begin = std::chrono::steady_clock::now();
          const int code = calculate(1u, host, result, why);
          seconds[c] += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
          evaluations[c] += result.evaluations;
          benchmark::DoNotOptimize(&result);
          if (code != kEngineOk) {
            std::lock_guard lock(failure);
            error = why.empty() ? "a copy failed" : why;
          }
          timedDone.fetch_add(1);
          Background background(timedDone, cores);
          while (timedDone.load() < cores) {
            Result more;
            calculate(1u, background, more, why);
          }
        });
    }
    if (!error.empty()) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  double rate = 0.0, slowest = 0.0, fastest = 0.0;
  for (unsigned c = 0; c < cores; ++c) {
    const double copy = seconds[c] > 0.0 ? static_cast<double>(evaluations[c]) / seconds[c] : 0.0;
    rate += copy;
    slowest = c ? std::min(slowest, copy) : copy;
    fastest = std::max(fastest, copy);
  }
  state.counters["evaluations/s"] = rate;
  state.counters["per core"] = rate / cores;
  state.counters["threads"] = cores;
  state.counters["slowest copy"] = slowest;
  state.counters["fastest copy"] = fastest;
  if (rates.vector > 0.0)
    state.counters["copies/one thread"] = rate / rates.vector;
  if (rates.everyCore > 0.0 && rate > 0.0)
    state.counters["threaded/copies"] = rates.everyCore / rate;
}

}  // namespace Engines::bench
