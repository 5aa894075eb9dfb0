// Isolines of a 1000 x 1000 grid at 20 levels, beside contourpy's lines on the same grid in the same run. Both
// sides hand back joined lines (ours are traced as segments in one pass and then joined; contourpy makes its lines
// level by level, each quad cut into four triangles about its centre as ours are) and both report the median of the
// same number of runs, with the lines' counts and a sum of their vertices that shows the lines are the same.
#include "geometry/colour_mapping.h"
#include "geometry/isolines.h"
#include "geometry/result_grid.h"
#include "model/iresults.h"


#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

constexpr int kSide = 1000;
constexpr int kLevels = 20;
constexpr int kRuns = 7;
constexpr double kStep = 0.1;
constexpr double kOffset = 49.95;  // the grid's centre lies at the origin

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

// contourpy on the same values (as doubles, rows outermost), timed by the script itself: its answer line.
std::string Contourpy(const Field& field)
{
  char path[] = "/tmp/tesmira-contour-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0)
    return "no temporary file\n";
  std::vector<double> doubles(field.values.begin(), field.values.end());
  const bool written = write(fd, doubles.data(), doubles.size() * sizeof(double)) ==
                       static_cast<ssize_t>(doubles.size() * sizeof(double));
  close(fd);
  // Debian's contourpy belongs to the system interpreter, which another python3 earlier in PATH may hide.
  const char* python = ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3 " : "python3 ";
  std::string command = python + std::string(TESMIRA_CONTOURPY_SCRIPT " ") + std::string(path) + " " +
                        std::to_string(kSide) + " " + std::to_string(kSide) + " " + std::to_string(kRuns);
  for (int k = 1; k <= kLevels; ++k)
    command += " " + std::to_string(field.levels[k]);
  std::string answer;
  if (written)
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char line[256];
      while (std::fgets(line, sizeof line, pipe) != nullptr)
        answer += line;
      pclose(pipe);
    }
  unlink(path);
  return answer;
}

// Our segments joined into lines, as contourpy hands them: chains through shared end points, a closed line
// ending on its first point. Answers the number of vertices of all lines.
std::size_t JoinIntoLines(const std::vector<_ISO_SEGMENT>& segments, std::vector<std::vector<const double*>>& lines)
{
  // End points meet exactly where two cells share an edge; keyed by their bits after rounding away noise.
  auto key = [](const double* p) {
    const auto q = [](double v) { return static_cast<std::int64_t>(std::llround(v * 1e7)); };
    return static_cast<std::uint64_t>(q(p[0])) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(q(p[1]));
  };
  std::unordered_map<std::uint64_t, std::array<int, 2>> ends;  // segment * 2 + end, up to two per point
  ends.reserve(segments.size() * 2);
  for (std::size_t s = 0; s < segments.size(); ++s)
    for (int e = 0; e < 2; ++e) {
      auto [it, fresh] = ends.try_emplace(key(e ? segments[s].second : segments[s].first), std::array<int, 2>{-1, -1});
      it->second[it->second[0] < 0 ? 0 : 1] = static_cast<int>(2 * s + e);
    }
  std::vector<char> used(segments.size(), 0);
  auto point = [&](int end) { return end & 1 ? segments[end / 2].second : segments[end / 2].first; };
  auto across = [&](int end) {  // the other segment's end at the same point, or -1
    const auto& pair = ends.at(key(point(end)));
    return pair[0] == end ? pair[1] : pair[0];
  };
  std::size_t vertices = 0;
  for (std::size_t s = 0; s < segments.size(); ++s) {
    if (used[s])
      continue;
    // Walk back to the line's start (or round a closed one), then forward along it.
    int start = static_cast<int>(2 * s);
    for (int end = start, steps = 0; steps <= static_cast<int>(segments.size()); ++steps) {
      const int next = across(end);
      if (next < 0 || used[next / 2] || next / 2 == static_cast<int>(s))
        break;
      start = next ^ 1;
      end = start;
    }
    std::vector<const double*> line{point(start)};
    for (int end = start;;) {
      used[end / 2] = 1;
      line.push_back(point(end ^ 1));
      const int next = across(end ^ 1);
      if (next < 0 || used[next / 2])
        break;
      end = next;
    }
    vertices += line.size();
    lines.push_back(std::move(line));
  }
  return vertices;
}

double Median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main()
{
  Field& field = TheField();
  std::printf("Isolines of a %d x %d grid at %d levels, joined into lines on both sides; median of %d runs each\n",
              kSide, kSide, kLevels, kRuns);
  // Ours: trace (segments, one pass over the grid for all levels), then join.
  std::vector<double> traceMs, totalMs;
  std::size_t segments = 0, vertices = 0, lineCount = 0;
  double place = 0.0;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    CIsoLinesContainer container;
    CIsolineTrace trace;
    trace.grid = &field.grid;
    trace.levels = &field.levels;
    trace.offsetX = trace.offsetY = kOffset;
    container.Trace(trace);
    const auto traced = std::chrono::steady_clock::now();
    segments = vertices = lineCount = 0;
    std::vector<std::vector<std::vector<const double*>>> levelLines(container.GetIsolines().size());
    for (std::size_t k = 0; k < levelLines.size(); ++k) {
      const auto& line = container.GetIsolines()[k];
      segments += line->m_segments.size();
      vertices += JoinIntoLines(line->m_segments, levelLines[k]);
      lineCount += levelLines[k].size();
    }
    const auto joined = std::chrono::steady_clock::now();
    // Outside the time: where the vertices lie, in grid steps from the first node, as the script sums them.
    place = 0.0;
    for (const auto& lines : levelLines)
      for (const auto& line : lines)
        for (const double* p : line)
          place += (p[0] + kOffset) / kStep + (p[1] + kOffset) / kStep;
    traceMs.push_back(std::chrono::duration<double, std::milli>(traced - start).count());
    totalMs.push_back(std::chrono::duration<double, std::milli>(joined - start).count());
  }
  const double ours = Median(totalMs);
  std::printf("ours:      trace %.1f ms + join = %.1f ms; %zu segments -> %zu lines, %zu vertices\n",
              Median(traceMs), ours, segments, lineCount, vertices);
  const std::string answer = Contourpy(field);
  double theirs = 0.0;
  std::size_t theirLines = 0, theirVertices = 0;
  double theirPlace = 0.0;
  if (std::sscanf(answer.c_str(), "%lf %zu %zu %lf", &theirs, &theirLines, &theirVertices, &theirPlace) == 4) {
    std::printf("contourpy: %.1f ms (serial, LineType.Separate, quads as four triangles); %zu lines, %zu vertices\n",
                theirs * 1e3, theirLines, theirVertices);
    std::printf("ratio ours / contourpy: %.2f\n", ours / (theirs * 1e3));
    // Equal counts and an equal sum of the coordinates say the same lines; the sum may differ by the rounding of
    // our grid's axes, which are floats (0.1f k lies some 1e-5 steps off 0.1 k).
    const bool same = lineCount == theirLines && vertices == theirVertices &&
                      std::fabs(place - theirPlace) <= 1e-4 * static_cast<double>(vertices);
    std::printf("sum of vertex coordinates, grid steps: ours %.3f, contourpy %.3f: %s\n", place, theirPlace,
                same ? "the same lines" : "NOT the same lines");
  } else {
    std::printf("contourpy: %s", answer.empty() ? "python3 did not answer\n" : answer.c_str());
  }
  return 0;
}
