// The straight-road engine on a four-lane road (two lanes each way and a dividing strip) with both sidewalks and
// both walls, lit by 100 luminaires around the field: two-sided poles with five-arm brackets, ten poles a side
// within reach of the field.
// Target: a whole calculation well under 50 ms, so that the pole-spacing optimisation (dozens of runs) stays
// interactive. Reported as point-luminaire evaluations per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/engines/bench_harness.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/road_calc.h"
#include "outside/engines/straight_road_engine.h"

namespace {

using namespace Engines;

const std::string kRtable = std::string(TESMIRA_ENGINE_BIN_DIR) + "/rtab_1.rtb";

std::string FourLaneRoad()
{
  std::string s = "1\n" + kRtable + "\n0\n1\n2\n3.5\n0\n2\n3.5\n1\n3\n0\n";  // two-way, 2 + 2 lanes, 3 m strip
  s += "1\n1\n3\n1\n1\n3\n1\n";           // sidewalks 3 m at 1 m, both sides
  s += "1\n1\n12\n2\n1\n12\n2\n";         // walls 12 m high, 2 m behind the sidewalks
  s += "0.8\n5\n1\n91\n73\n";             // MF, five luminaires (the arms of a pole), one type
  for (int arm = -2; arm <= 2; ++arm)
    s += "0\n2\n30\n10\n1.5\n1\n10\n" + std::to_string(arm * 15) + "\n0\n1\n";
  s += "30\n";
  return s + bench::IntensityBlock("0\n");
}

void BM_StraightRoadCalculation(benchmark::State& state)
{
  std::string error;
  auto in = ParseStraightRoadInput(FourLaneRoad(), &error);
  auto rtable = LoadRtb(kRtable, &error);
  if (!in || !rtable) {
    state.SkipWithError(error.c_str());
    return;
  }
  SilentHost host;
  StraightRoadResult res;
  std::uint64_t evaluations = 0;
  for (auto _ : state) {
    CalculateStraightRoad(*in, &*rtable, host, res, &error);
    evaluations += res.evaluations;
    benchmark::DoNotOptimize(res.lumSummary);
  }
  state.counters["evaluations/s"] = benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kIsRate);
  state.counters["evaluations"] = static_cast<double>(res.evaluations);
}
BENCHMARK(BM_StraightRoadCalculation)->Unit(benchmark::kMillisecond);

// File to file, as the program calls it: parse, calculate, write.
void BM_StraightRoadEngineRun(benchmark::State& state)
{
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path();
  std::string input = (dir / "tesmira-bench-qout.tmp").string(), result = (dir / "tesmira-bench-qor.tmp").string();
  std::FILE* f = std::fopen(input.c_str(), "wb");
  std::string text = FourLaneRoad();
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  SilentHost host;
  for (auto _ : state) {
    if (RunStraightRoadEngine(input, result, host) != kEngineOk) {
      state.SkipWithError("the engine failed");
      break;
    }
  }
  fs::remove(input);
  fs::remove(result);
}
BENCHMARK(BM_StraightRoadEngineRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
