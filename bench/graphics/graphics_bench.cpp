// Frame time of the interchange sample at 1280 x 800 in the host view under Mesa's off-screen renderer: a plain
// frame (clear, camera, what is already built) beside a rebuild pass (the same frame after rebuilding what it
// draws). Each ends with the frame in the window's pixels. The rebuild pass reports the ratio of the two (target:
// a plain frame at most a fifth of a rebuild pass) and fails when the two leave different pictures.
// Under Mesa's software renderer a plain frame is almost wholly clearing, rasterising and the copy into the window
// (a profile finds the core's own calls at about 1 % of it), so here the ratio measures the renderer, and stays
// near 0.8 at this size: the rebuild adds under a millisecond.
//
// Beside them, the DXF export of the sample (records built, then the file written; target 200 ms).
//
// The sample comes from the tests (build/artifacts/sample-interchange.qorr5); TESMIRA_BENCH_SAMPLE names another.
#include "bench/sample_session.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "outside/grafocore/export_records.h"
#include "outside/grafocore/grafocore.h"
#include "platform/gdi/surface.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

std::vector<std::uint32_t> Pixels(const gdi::Surface& s)
{
  std::vector<std::uint32_t> out;
  out.reserve(static_cast<size_t>(s.Width()) * static_cast<size_t>(s.Height()));
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      out.push_back(s.Pixel(x, y) & 0xFFFFFF);
  return out;
}

// The sample open in its document and the host view, in plan, as the program shows it.
struct Session {
  CQorRoadDoc* document = nullptr;
  CTestHostView* view = nullptr;
  CGraphicCoreFull* core = nullptr;
  // What the plain frames left, and how long one took (seconds).
  std::vector<std::uint32_t> plainPicture;
  double plainSeconds = 0;
};

Session* session = nullptr;

// Seconds per frame, timed around the frames alone.
template <class Frame>
double TimeFrames(benchmark::State& state, Frame frame)
{
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    frame();
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(elapsed);
    seconds += elapsed;
  }
  return state.iterations() > 0 ? seconds / static_cast<double>(state.iterations()) : 0;
}

void BM_PlainFrame(benchmark::State& state)
{
  CGraphicCoreFull& core = *session->core;
  core.Render(FALSE, TRUE);  // what the plain frames draw is built once
  session->plainSeconds = TimeFrames(state, [&core] { core.Render(FALSE, FALSE); });
  session->plainPicture = Pixels(*session->view->Pixels());
  const std::uint32_t background = session->plainPicture.front();
  long drawn = 0;
  for (std::uint32_t p : session->plainPicture)
    drawn += p != background ? 1 : 0;
  state.counters["pixels drawn"] = static_cast<double>(drawn);
}

void BM_RebuildPass(benchmark::State& state)
{
  CGraphicCoreFull& core = *session->core;
  const double seconds = TimeFrames(state, [&core] { core.Render(FALSE, TRUE); });
  if (Pixels(*session->view->Pixels()) != session->plainPicture) {
    state.SkipWithError("the rebuild pass left another picture than the plain frame");
    return;
  }
  if (seconds > 0 && session->plainSeconds > 0)
    state.counters["plain/rebuild"] = session->plainSeconds / seconds;  // target: at most 0.2
}

// What the export command does once the user has answered: the records of every layer, then the file.
void BM_ExportDxf(benchmark::State& state)
{
  CGraphicCoreFull& core = *session->core;
  void* found = nullptr;
  if (FAILED(session->document->QueryInterface(IID_ActiveArea, &found)) || !found) {
    state.SkipWithError("no active area");
    return;
  }
  auto* area = static_cast<IArea*>(found);
  const std::string path = (std::filesystem::temp_directory_path() / "tesmira-graphics-bench/export.dxf").string();
  size_t records = 0;
  for (auto _ : state) {
    nsExp::CExportList list;
    if (!core.BuildExportData(area, &list, 0xDB5)) {
      state.SkipWithError("the records could not be built");
      break;
    }
    core.ExportData(path.c_str(), &list, 0xDB5);
    records = list.m_records.size();
  }
  area->Release();
  state.counters["records"] = static_cast<double>(records);
  state.counters["file bytes"] = std::filesystem::exists(path) ? static_cast<double>(std::filesystem::file_size(path)) : 0;
}

// Plain frames first: the rebuild pass compares its picture with theirs.
BENCHMARK(BM_PlainFrame)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildPass)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportDxf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  const char* named = std::getenv("TESMIRA_BENCH_SAMPLE");
  const std::string sample = named ? named : TESMIRA_DEFAULT_SAMPLE;
  BenchSampleSession open("tesmira-graphics-bench");
  if (!open.Open(sample, kWidth, kHeight))
    return 1;
  Session bench;
  bench.document = open.document.get();
  bench.view = open.view.get();
  bench.core = open.core;
  bench.core->GetCamera()->SetViewType(CViewCamera::kPlan);
  bench.core->GetCamera()->ResetCurrentView();
  session = &bench;
  benchmark::AddCustomContext("sample", sample);
  benchmark::AddCustomContext("view", std::to_string(kWidth) + " x " + std::to_string(kHeight));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  session = nullptr;
  return 0;
}
