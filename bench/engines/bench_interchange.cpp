// The interchange engine on two decks crossing: a road 400 x 20 m on the ground (calculation points every
// 0.25 m, 129 681 of them) under a bridge 20 x 200 m at 6 m (every 0.5 m, 16 441 points), each deck's mesh a
// strip of 400 triangles, a shading box, and 100 luminaires: 12 m poles along both sides of the road, poles on
// the bridge, and lights under it. On one thread and on every core in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/engines/bench_harness.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/interchange_calc.h"
#include "outside/engines/open_territory_input.h"
#include "outside/engines/point_lights.h"

namespace {

using namespace Engines;

std::string Number(double v)
{
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%f", v);
  return buffer;
}

std::string Triple(double x, double y, double z) { return Number(x) + " " + Number(y) + " " + Number(z); }

// A flat deck x0..x1, y0..y1 at z: its mesh a strip of 2 x `cells` triangles along x, points every `step`.
std::string Deck(int type, double x0, double y0, double x1, double y1, double z, int cells, double step,
                 bool alongY)
{
  auto at = [&](double u, double v) {
    return alongY ? Triple(x0 + v * (x1 - x0), y0 + u * (y1 - y0), z)
                  : Triple(x0 + u * (x1 - x0), y0 + v * (y1 - y0), z);
  };
  std::string s = "4\n" + at(0, 0) + "\n" + at(1, 0) + "\n" + at(1, 1) + "\n" + at(0, 1) + "\n0\n" +
                  std::to_string(type) + "\n0.000000       !  Базовая высота примитива\n" +
                  std::to_string(2 * cells) + "\n";
  for (int c = 0; c < cells; ++c) {
    const double u0 = double(c) / cells, u1 = double(c + 1) / cells;
    s += at(u0, 0) + " " + at(u1, 0) + " " + at(u1, 1) + "\n";
    s += at(u0, 0) + " " + at(u1, 1) + " " + at(u0, 1) + "\n";
  }
  std::string points;
  int count = 0;
  for (double x = x0; x <= x1 + 1e-9; x += step)
    for (double y = y0; y <= y1 + 1e-9; y += step, ++count)
      points += Triple(x, y, z + 0.04) + " 0.000000 0.000000 1.000000\n";
  return s + std::to_string(count) + "\n" + points;
}

std::string Crossing()
{
  std::string s = "400.000000\n200.000000\n1\n0.250000\n1\n1\n8\n0\n0\n0\n0\n3\n4\n800\n129681\n";
  s += Deck(1, -200, -10, 200, 10, 0.0, 400, 0.25, false);
  s += Deck(1, -10, -100, 10, 100, 6.0, 400, 0.5, true);
  // The shading box, 3 m high: outline, triangles, one line of zeros.
  const std::string a = Triple(30, -1, 3), b = Triple(32, -1, 3), c = Triple(32, 1, 3), d = Triple(30, 1, 3);
  s += "4\n" + a + "\n" + b + "\n" + c + "\n" + d + "\n0\n4\n0.000000       !  Базовая высота примитива\n2\n" + a +
       " " + b + " " + c + "\n" + a + " " + c + " " + d + "\n1\n0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n";
  s += "0.000000\n0.000000\n1.5\n100\n1\n91\n73\n";
  auto pole = [&](double x, double y, double arm, double height) {
    s += "0\n0\n" + Number(x) + "\n" + Number(y) + "\n" + Number(arm) + "\n" + Number(height) + "\n1.5\n5\n1\n";
  };
  for (int k = 0; k < 36; ++k)
    pole(-192.5 + 11 * k, k % 2 ? 11.0 : -11.0, k % 2 ? 270.0 : 90.0, 12.0);  // the road
  for (int k = 0; k < 40; ++k)
    pole(k % 2 ? 11.0 : -11.0, -97.5 + 5 * k, k % 2 ? 180.0 : 0.0, 16.0);  // the bridge
  for (int k = 0; k < 24; ++k)
    pole(-9 + (k % 4) * 6, -8 + (k / 4) * 3.2, 0.0, 4.5);  // under it
  return s + bench::IntensityBlock("0\n20000.000000\n");
}

bench::OneThreadRates g_rates;

// Arguments: threads (0: every core); 1 for the one-point inner loop, 0 for the vector one where the processor has
// it (the label says which ran).
void BM_InterchangeCrossingDecks(benchmark::State& state)
{
  std::string error;
  auto in = ParseInterchangeInput(Crossing(), &error);
  if (!in) {
    state.SkipWithError(error.c_str());
    return;
  }
  SetLightingPath(state.range(1) ? LightingPath::Baseline : LightingPath::Automatic);
  state.SetLabel(LightingPathInUse());
  bench::BenchOneThreadAndEveryCore(
      state, g_rates, &InterchangeResult::polygons,
      [&](unsigned threads, EngineHost& host, InterchangeResult& result, std::string& why) {
        return CalculateInterchange(*in, host, result, &why, {threads});
      });
}
BENCHMARK(BM_InterchangeCrossingDecks)
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// The same one-thread calculation as independent copies on every core at once: what the machine gives all its
// cores together for this loop, beside which the threaded run above is measured.
void BM_InterchangeCrossingDecksCopies(benchmark::State& state)
{
  std::string error;
  auto in = ParseInterchangeInput(Crossing(), &error);
  if (!in) {
    state.SkipWithError(error.c_str());
    return;
  }
  SetLightingPath(LightingPath::Automatic);
  state.SetLabel(LightingPathInUse());
  bench::BenchCopiesOnEveryCore<InterchangeResult>(
      state, g_rates, [&](unsigned threads, EngineHost& host, InterchangeResult& result, std::string& why) {
        return CalculateInterchange(*in, host, result, &why, {threads});
      });
}
BENCHMARK(BM_InterchangeCrossingDecksCopies)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
