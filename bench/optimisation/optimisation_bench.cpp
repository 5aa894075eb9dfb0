// The pole-spacing search on a new project's straight road against a luminance target 10 % below its level at
// 30 m: the calculations one search runs and its wall time. Every calculation is a whole run of our engine
// through the exchange files, as in the program.
#include <benchmark/benchmark.h>

#include "document/calculation_run.h"
#include "document/qor_road_doc.h"
#include "document/trace_log.h"
#include "model/groups_of_dev.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iresults.h"
#include "model/shell/shell_services.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/straight_road_engine.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

class BenchShell : public Shell::CShellServices {
public:
  std::string folder;
  Shell::OptimizationChoice choice;
  int ShowMessageBox(HWND, LPCSTR, LPCSTR, UINT) override { return Shell::IDOK; }
  CString GetAppDataBinFolder() override { return folder.c_str(); }
  CString GetPluginsFolder() override { return (folder + "plugins/").c_str(); }
  CString GetBinFolder() override { return (std::string(TESMIRA_ENGINE_BIN_DIR) + "/").c_str(); }
  int RunOptimizationDialog(HWND, Shell::OptimizationChoice* values) override
  {
    *values = choice;
    return Shell::IDOK;
  }
};

int g_calculations = 0;

int CountingEngine(HWND, char* inputPath, int, char* resultPath, int)
{
  ++g_calculations;
  Engines::SilentHost host;
  return Engines::RunStraightRoadEngine(inputPath, resultPath, host);
}

template <class I>
I* ActivePart(CQorRoadDoc& doc, const IID& iid)
{
  void* area = nullptr;
  if (FAILED(doc.QueryInterface(IID_ActiveArea, &area)) || !area)
    return nullptr;
  void* part = nullptr;
  static_cast<IArea*>(area)->QueryInterface(&iid, &part);
  static_cast<IArea*>(area)->Release();
  return static_cast<I*>(part);
}

void SetSpacing(CQorRoadDoc& doc, double spacing)
{
  IGroupsOfDev* groups = ActivePart<IGroupsOfDev>(doc, IID_IGroupsOfDev);
  for (IGroupOfDev* g = dynamic_cast<ObjectModel::CGroupsOfDev*>(groups)->GetFirstGroup(); g; g = g->GetNext())
    g->SetStep(&spacing);
  groups->Release();
}

double Spacing(CQorRoadDoc& doc)
{
  IGroupsOfDev* groups = ActivePart<IGroupsOfDev>(doc, IID_IGroupsOfDev);
  const double spacing = *dynamic_cast<ObjectModel::CGroupsOfDev*>(groups)->GetFirstGroup()->GetStep();
  groups->Release();
  return spacing;
}

double Luminance(CQorRoadDoc& doc)
{
  IResultsOfCalc* results = ActivePart<IResultsOfCalc>(doc, IID_IResultsOfCalc);
  const double level = results->GetData()->lumSummary[0];
  results->Release();
  return level;
}

void BM_SpacingSearch(benchmark::State& state)
{
  CWinApp app("Tesmira Road");
  BenchShell shell;
  shell.folder =
      std::filesystem::temp_directory_path().string() + "/tesmira-optimisation-bench-" + std::to_string(::getpid()) + "/";
  std::filesystem::create_directories(shell.folder);
  qorsrv::BuildStarterCatalogue(shell.folder + "QorRoad.qord",
                                TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  res::RegisterModules();
  qorsrv::RegisterServerClasses();
  Shell::SetShellServices(&shell);
  LoggerObjs::InstallLogger(nullptr);
  SetCalculationEngine(CLSID_CStraightRoad, &CountingEngine);
  {
    auto doc = std::make_unique<CQorRoadDoc>();
    doc->OnNewDocument();
    SetSpacing(*doc, 30.0);
    if (doc->StartCalculation(0) != 0 || Luminance(*doc) <= 0) {
      state.SkipWithError("the sample road does not calculate");
    } else {
      shell.choice = Shell::OptimizationChoice{20.0, 0.9 * Luminance(*doc), 0, 0, 3.0, 0.3};
      for (auto _ : state) {
        state.PauseTiming();
        SetSpacing(*doc, 30.0);
        g_calculations = 0;
        state.ResumeTiming();
        doc->OnOptimization();
      }
      state.counters["calculations"] = g_calculations;
      state.counters["spacing m"] = Spacing(*doc);
    }
  }
  SetCalculationEngine(CLSID_CStraightRoad, nullptr);
  Shell::SetShellServices(nullptr);
  std::error_code ignored;
  std::filesystem::remove_all(shell.folder, ignored);
}
BENCHMARK(BM_SpacingSearch)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
