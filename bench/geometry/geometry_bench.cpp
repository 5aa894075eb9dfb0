// Isolines of a 1000 x 1000 grid at 20 levels, beside contourpy's lines on the same grid in the same run.
#include "geometry/colour_mapping.h"
#include "geometry/isolines.h"
#include "geometry/result_grid.h"
#include "model/iresults.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

constexpr int kSide = 1000;
constexpr int kLevels = 20;

// A lit road surface: a few smooth bumps and a ripple, values 0 to about 30.
struct Field {
  std::vector<float> xs, ys, values;
  _CALC_RESULTS block{};
  CResultGrid grid;
  CLevelArray levels;

  Field()
  {
    for (int k = 0; k < kSide; ++k) {
      xs.push_back(0.1f * k);
      ys.push_back(0.1f * k);
    }
    for (int i = 0; i < kSide; ++i) {
      for (int j = 0; j < kSide; ++j) {
        const double x = 0.1 * i, y = 0.1 * j;
        double v = 2 + std::sin(x / 7) * std::cos(y / 9);
        for (double cx : {20.0, 50.0, 80.0}) {
          const double d2 = (x - cx) * (x - cx) + (y - cx * 0.7) * (y - cx * 0.7);
          v += 25 * std::exp(-d2 / 150);
        }
        values.push_back(static_cast<float>(v));
      }
    }
    block.valid = 1;
    block.nX = kSide;
    block.xs = xs.data();
    block.nRoad = kSide;
    block.yRoad = ys.data();
    block.eRoad = values.data();
    const double size[3] = {99.9, 99.9, 0}, position[3] = {0, 0, 0};
    grid.Fill(size, block, AreaKind::kMainIlluminance, position);
    levels.Add(0.0f);
    for (int k = 1; k <= kLevels; ++k) levels.Add(1.5f * k);
  }
};

Field& TheField()
{
  static Field field;
  return field;
}

void BM_TraceIsolines(benchmark::State& state)
{
  Field& field = TheField();
  std::size_t segments = 0;
  for (auto _ : state) {
    CIsoLinesContainer container;
    CIsolineTrace trace;
    trace.grid = &field.grid;
    trace.levels = &field.levels;
    trace.offsetX = trace.offsetY = 49.95;
    container.Trace(trace);
    segments = 0;
    for (const auto& line : container.GetIsolines()) segments += line->m_segments.size();
    benchmark::DoNotOptimize(segments);
  }
  state.counters["segments"] = static_cast<double>(segments);
}
BENCHMARK(BM_TraceIsolines)->Unit(benchmark::kMillisecond);

// contourpy on the same values (as doubles, rows outermost), timed by the script itself in this process's run.
void BM_ContourpySameGrid(benchmark::State& state)
{
  Field& field = TheField();
  char path[] = "/tmp/tesmira-contour-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    state.SkipWithError("no temporary file");
    return;
  }
  std::vector<double> doubles(field.values.begin(), field.values.end());
  const bool written = write(fd, doubles.data(), doubles.size() * sizeof(double)) ==
                       static_cast<ssize_t>(doubles.size() * sizeof(double));
  close(fd);
  // Debian's contourpy belongs to the system interpreter, which another python3 earlier in PATH may hide.
  const char* python = ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3 " : "python3 ";
  std::string command = python + std::string(TESMIRA_CONTOURPY_SCRIPT " ") + std::string(path) + " " + std::to_string(kSide) +
                        " " + std::to_string(kSide) + " 1";
  for (int k = 1; k <= kLevels; ++k) command += " " + std::to_string(field.levels[k]);
  for (auto _ : state) {
    std::string answer;
    if (written) {
      if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe) != nullptr) answer += line;
        pclose(pipe);
      }
    }
    if (answer.empty() || answer.rfind("skip:", 0) == 0) {
      const std::string note = answer.empty() ? std::string("python3 did not answer") : answer.substr(0, answer.size() - 1);
      state.SkipWithError(("comparison skipped: " + note).c_str());
      break;
    }
    state.SetIterationTime(std::strtod(answer.c_str(), nullptr));
  }
  unlink(path);
}
BENCHMARK(BM_ContourpySameGrid)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
