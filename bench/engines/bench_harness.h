// What the engine benchmarks share: a realistic luminaire's intensity table, and the timing of one calculation
// on one thread and on every core in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include "outside/engines/engine_codes.h"

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
  double baseline = 0.0;  // the one-point loop
  double vector = 0.0;    // the path in use
};

// Arguments of the benchmark: threads (0: every core), and 1 when the one-point loop is forced.
// `calculate(threads, result, error)` runs once and answers the engine's code; the result's evaluations make the
// rate, and its `kept` member is kept from the optimiser. The one-thread vector run reports its rate over the
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
    auto start = std::chrono::steady_clock::now();
    if (calculate(threads, result, error) != kEngineOk) {
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
  } else if (rates.vector > 0.0 && !baseline) {
    state.counters["speed-up"] = rate / rates.vector;
  }
}

}  // namespace Engines::bench
