// Saving and opening a large project (a thousand straight roads with their pole groups and luminaires) through
// the document, beside a plain copy of the same file's bytes in the same run. Target: at least a quarter of the
// copy's speed. Speeds are of wall time, what a user waits for: the copy spends much of its time in the kernel's
// page cache, which a processor-time rate would leave out. `of_copy` is the speed as a share of the copy's.
#include "document/qor_road_doc.h"
#include "document/trace_log.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kAreas = 1000;

class BenchShell : public Shell::CShellServices {
public:
  std::string folder;
  int ShowMessageBox(HWND, LPCSTR, LPCSTR, UINT) override { return Shell::IDOK; }
  CString GetAppDataBinFolder() override { return folder.c_str(); }
  CString GetPluginsFolder() override { return (folder + "plugins/").c_str(); }
};

struct Setup {
  Setup()
  {
    folder = std::filesystem::temp_directory_path().string() + "/tesmira-doc-bench-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(folder);
    qorsrv::BuildStarterCatalogue(folder + "QorRoad.qord",
                                  TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
    shell.folder = folder;
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    Shell::SetShellServices(&shell);
    LoggerObjs::InstallLogger(nullptr);
    doc = std::make_unique<CQorRoadDoc>();
    doc->OnNewDocument();
    IProject* project = doc->GetCurrentProject();
    for (int k = 1; k < kAreas; ++k) {
      if (IArea* area = project->InsertAreaAfter(CLSID_CStraightRoad, nullptr))
        area->Release();
    }
    path = folder + "large.qorr5";
    copyPath = folder + "large-copy.qorr5";
    doc->OnSaveDocument(path.c_str());
    bytes = std::filesystem::file_size(path);
  }
  ~Setup()
  {
    doc.reset();
    Shell::SetShellServices(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  CWinApp app{"Tesmira Road"};
  BenchShell shell;
  std::string folder;
  std::string path;
  std::string copyPath;
  std::uintmax_t bytes = 0;
  std::unique_ptr<CQorRoadDoc> doc;
};

Setup& Project()
{
  static Setup setup;
  return setup;
}

// Wall seconds per iteration of the copy, once it has run.
double g_copySeconds = 0.0;

// Runs `body` for every iteration and reports the bytes; answers the wall seconds an iteration took.
template <class Body>
double RunOverFile(benchmark::State& state, Body body)
{
  Setup& s = Project();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state)
    body(s);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const double seconds = elapsed.count() / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.bytes));
  state.counters["file_MB"] = static_cast<double>(s.bytes) / 1e6;
  return seconds;
}

// The share of the copy's speed, for the project's own file operations.
void CompareWithCopy(benchmark::State& state, double seconds)
{
  if (g_copySeconds > 0.0 && seconds > 0.0)
    state.counters["of_copy"] = g_copySeconds / seconds;
}

void BM_SaveLargeProject(benchmark::State& state)
{
  CompareWithCopy(state, RunOverFile(state, [](Setup& s) {
    benchmark::DoNotOptimize(s.doc->OnSaveDocument(s.path.c_str()));
  }));
}

void BM_OpenLargeProject(benchmark::State& state)
{
  CompareWithCopy(state, RunOverFile(state, [](Setup& s) {
    benchmark::DoNotOptimize(s.doc->OnOpenDocument(s.path.c_str()));
  }));
}

// The same bytes read and written as a plain file: what the disk and the C++ library give.
void BM_PlainFileCopy(benchmark::State& state)
{
  std::vector<char> buffer(1 << 16);
  g_copySeconds = RunOverFile(state, [&buffer](Setup& s) {
    std::ifstream in(s.path, std::ios::binary);
    std::ofstream out(s.copyPath, std::ios::binary | std::ios::trunc);
    while (in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      out.write(buffer.data(), in.gcount());
    }
  });
}

// The copy runs first: the others are measured against it.
BENCHMARK(BM_PlainFileCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveLargeProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenLargeProject)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
