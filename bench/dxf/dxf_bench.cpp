// Import of a 10 MB DXF site plan (target: 2 s): lines, bulged polylines, arcs, circles, texts and a block
// inserted many times, written once with our writer, then read again and again. Reports the bytes and the
// figures read, and fails when the reading is refused or finds fewer figures than were written.
#include "outside/grafocore/dxf/dxf_reader.h"
#include "outside/grafocore/dxf/dxf_writer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

using namespace grafocore::dxf;

constexpr size_t kTargetBytes = 10u << 20;

struct Plan {
  std::string bytes;
  size_t written = 0;  // figures the reader must find: the block's three count once per insertion
};

const Plan& MakePlan()
{
  static const Plan plan = [] {
    Plan p;
    Writer entities;
    Writer tree;
    tree.Circle("0", {0, 0, 0}, 1.5);
    tree.Line("0", {-1, 0, 0}, {1, 0, 0});
    tree.Line("0", {0, -1, 0}, {0, 1, 0});
    const char* layers[] = {"Дороги", "Здания", "Озеленение", "Подписи"};
    for (int i = 0; entities.Entities().size() < kTargetBytes; ++i) {
      const double x = (i % 200) * 5.0, y = (i / 200) * 5.0;
      const char* layer = layers[i % 4];
      switch (i % 5) {
      case 0: entities.Line(layer, {x, y, 0}, {x + 4, y + 1, 0}); break;
      case 1: entities.Polyline(layer, {{x, y, 0}, {x + 2, y, 0}, {x + 2, y + 2, 0}, {x, y + 2, 0}}, true); break;
      case 2: entities.Circle(layer, {x, y, 0}, 1.2); break;
      case 3: entities.Text(layer, {x, y, 0}, 0.5, 0, "Дом " + std::to_string(i)); break;
      case 4:
        entities.Insert(layer, "TREE", {x, y, 0}, 30);
        p.written += 2;
        break;
      }
      ++p.written;
    }
    p.bytes = entities.File({{"Дороги", 1}, {"Здания", 5}, {"Озеленение", 3}, {"Подписи", 7}},
                            {{"TREE", tree.Entities()}}, {0, 0, 0}, {1000, 1000, 0});
    return p;
  }();
  return plan;
}

void BM_ImportDxf(benchmark::State& state)
{
  const Plan& plan = MakePlan();
  size_t figures = 0;
  for (auto _ : state) {
    Drawing drawing;
    const ReadResult result = ReadDxf(plan.bytes, drawing);
    if (!result.Ok()) {
      state.SkipWithError(result.Message().c_str());
      return;
    }
    figures = drawing.figures.size();
    benchmark::DoNotOptimize(drawing.figures.data());
  }
  if (figures != plan.written)
    state.SkipWithError("the reader found another number of figures than were written");
  state.counters["file MB"] = static_cast<double>(plan.bytes.size()) / (1 << 20);
  state.counters["figures"] = static_cast<double>(figures);
}

BENCHMARK(BM_ImportDxf)->Unit(benchmark::kMillisecond);

}  // namespace
