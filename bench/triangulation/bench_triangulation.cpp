// Triangulating a simple polygon of 100,000 vertices with our sweep, beside CGAL's constrained Delaunay
// triangulation of the same outline when CGAL is installed. Target: no slower than CGAL. Prints both times and
// their ratio.
#include "geometry/triangulation/sweep_triangulation.h"

#include <benchmark/benchmark.h>

#ifdef TESMIRA_HAVE_CGAL
#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kVertices = 100000;

// A star-shaped outline (every vertex seen from the centre at a growing angle), so it is simple however
// ragged its radius.
const std::vector<std::pair<double, double>>& Outline()
{
  static const std::vector<std::pair<double, double>> outline = [] {
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> jitter(0.0, 0.1);
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < kVertices; ++i) {
      const double angle = 2.0 * M_PI * i / kVertices;
      const double radius = 500.0 * (1.0 + 0.3 * std::sin(17.0 * angle) + jitter(random));
      points.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    return points;
  }();
  return outline;
}

void SweepTriangulation(benchmark::State& state)
{
  size_t triangles = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CTriPolygon polygon;
    for (const auto& [x, y] : Outline()) {
      polygon.AddPoint(x, y);
    }
    state.ResumeTiming();
    CTriSweep* holder = nullptr;
    if (!TriangulatePolygon(holder, polygon)) {
      state.SkipWithError("the sweep refused the outline");
      break;
    }
    triangles = polygon.triangles.size();
    state.PauseTiming();
    polygon.Clear();
    state.ResumeTiming();
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}
BENCHMARK(SweepTriangulation)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef TESMIRA_HAVE_CGAL
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Cdt = CGAL::Constrained_Delaunay_triangulation_2<Kernel>;

void CgalConstrainedTriangulation(benchmark::State& state)
{
  std::vector<Kernel::Point_2> points;
  for (const auto& [x, y] : Outline()) {
    points.emplace_back(x, y);
  }
  size_t faces = 0;
  for (auto _ : state) {
    Cdt cdt;
    cdt.insert_constraint(points.begin(), points.end(), true);
    faces = cdt.number_of_faces();
    benchmark::DoNotOptimize(faces);
  }
  state.counters["triangles"] = static_cast<double>(faces);
}
BENCHMARK(CgalConstrainedTriangulation)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// Keeps each run's time per iteration, so that the ratio can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        milliseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> milliseconds;
};

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto ours = reporter.milliseconds.find("SweepTriangulation");
  const auto cgal = reporter.milliseconds.find("CgalConstrainedTriangulation");
  if (ours != reporter.milliseconds.end()) {
    std::printf("sweep: %.1f ms for %d vertices\n", ours->second, kVertices);
  }
  if (ours != reporter.milliseconds.end() && cgal != reporter.milliseconds.end()) {
    std::printf("CGAL:  %.1f ms\nratio sweep / CGAL: %.2f (target: at most 1.00)\n", cgal->second,
                ours->second / cgal->second);
  } else {
    std::printf("CGAL not built in (install libcgal-dev): no ratio\n");
  }
  benchmark::Shutdown();
  return 0;
}
