// The open-territory engine on a large site: 500 x 500 m of carriageway with a sidewalk band, a 0.5 m grid
// (1001 x 1001 nodes) and 200 luminaires on 12 m poles, on one thread and on every core in the same run.
// The one-point inner loop beside the vector one on one thread, then the vector one on every core. Targets: 1.5e8
// point-luminaire evaluations a second per core, 1e9 on 8 cores.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/engines/bench_harness.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/open_territory_calc.h"
#include "outside/engines/open_territory_input.h"
#include "outside/engines/point_lights.h"

namespace {

using namespace Engines;

std::string LargeSite()
{
  std::string s = "500\n500\n1\n0.5\n1\n1\n8\n";
  s += "0\n";                                                           // triangles
  s += "2\n-250 -250 0.001 250 -250 0.001 250 250 0.001\n1\n0\n";       // carriageway everywhere
  s += "-250 -20 0.002 250 -20 0.002 250 -15 0.002\n2\n0\n";            // a sidewalk band across it
  s += "0\n0\n0\n";                                                      // ellipses, sectors, polygons
  s += "0\n0\n0.8\n200\n1\n91\n73\n";
  for (int k = 0; k < 200; ++k) {
    int column = k % 20, row = k / 20;
    double x = -237.5 + 25.0 * column, y = -225.0 + 50.0 * row;
    s += "0\n0\n" + std::to_string(x) + "\n" + std::to_string(y) + "\n" + std::to_string(90 + 180 * (column % 2)) +
         "\n12\n1.5\n5\n1\n";
  }
  return s + bench::IntensityBlock("0\n20000\n");  // 20 klm of lamps
}

// The one-thread rates of this run, for the ratios of the runs that follow.
bench::OneThreadRates g_rates;

// Arguments: threads (0: every core); 1 for the one-point inner loop, 0 for the vector one where the processor has
// it (the label says which ran).
void BM_OpenTerritoryLargeSite(benchmark::State& state)
{
  std::string error;
  auto in = ParseOpenTerritoryInput(LargeSite(), &error);
  if (!in) {
    state.SkipWithError(error.c_str());
    return;
  }
  SetLightingPath(state.range(1) ? LightingPath::Baseline : LightingPath::Automatic);
  state.SetLabel(LightingPathInUse());
  bench::BenchOneThreadAndEveryCore(
      state, g_rates, &OpenTerritoryResult::zones,
      [&](unsigned threads, EngineHost& host, OpenTerritoryResult& result, std::string& why) {
        return CalculateOpenTerritory(*in, host, result, &why, {threads});
      });
}
BENCHMARK(BM_OpenTerritoryLargeSite)
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// The same one-thread calculation as independent copies on every core at once: what the machine gives all its
// cores together for this loop, beside which the threaded run above is measured.
void BM_OpenTerritoryLargeSiteCopies(benchmark::State& state)
{
  std::string error;
  auto in = ParseOpenTerritoryInput(LargeSite(), &error);
  if (!in) {
    state.SkipWithError(error.c_str());
    return;
  }
  SetLightingPath(LightingPath::Automatic);
  state.SetLabel(LightingPathInUse());
  bench::BenchCopiesOnEveryCore<OpenTerritoryResult>(
      state, g_rates, [&](unsigned threads, EngineHost& host, OpenTerritoryResult& result, std::string& why) {
        return CalculateOpenTerritory(*in, host, result, &why, {threads});
      });
}
BENCHMARK(BM_OpenTerritoryLargeSiteCopies)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
