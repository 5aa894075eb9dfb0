// Building the scene of the interchange sample (target: under 50 ms on one core): the builder alone, as a
// rebuild pass runs it, from deleting the last scene to the new groups with their photometric solids. The scene
// is then drawn once and the luminaires' display lists are counted: one set per luminaire kind, however many
// luminaires share it.
//
// The sample comes from the tests (build/artifacts/sample-interchange.qorr5; run graphics_gl_tests first);
// TESMIRA_SAMPLE names another file (build/artifacts/sample-straight.qorr5 shows many luminaires on one set).
#include "document/qor_road_doc.h"
#include "geometry/mesh/calc_surface.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/primitive_services.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"
#include "tests/graphics/view_host.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

class BenchShell : public Shell::CShellServices {
public:
  CString GetAppDataBinFolder() override { return folder.c_str(); }
  std::string folder;
};

// The sample opened in a host view, as the program has it after loading the file.
struct OpenSample {
  OpenSample()
  {
    const char* named = std::getenv("TESMIRA_SAMPLE");
    const std::string sample = named ? named : TESMIRA_DEFAULT_SAMPLE;
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    shell.folder = (std::filesystem::temp_directory_path() / "tesmira-scene-bench/").string();
    std::filesystem::create_directories(shell.folder);
    if (!std::filesystem::exists(shell.folder + "QorRoad.qord"))
      qorsrv::BuildStarterCatalogue(shell.folder + "QorRoad.qord",
                                    TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
    Shell::SetShellServices(&shell);
    ObjectModel::SetPrimitiveServices(&surfaces);
    InstallGraphicCore();
    document = std::make_unique<CQorRoadDoc>();
    if (!std::filesystem::exists(sample) || !document->OnNewDocument()) {
      error = "no sample project at " + sample + " (the tests make it: run graphics_gl_tests)";
      return;
    }
    view = std::make_unique<CTestHostView>(document->GetGraphicCore());
    if (!view->CreateHost(1280, 800) || !document->OnOpenDocument(sample.c_str())) {
      error = "the sample could not be opened in the view";
      return;
    }
    core = dynamic_cast<CGraphicCoreFull*>(document->GetGraphicCore());
    void* found = nullptr;
    if (SUCCEEDED(document->QueryInterface(IID_ActiveArea, &found)) && found) {
      area = static_cast<IArea*>(found);
      area->Release();  // the project keeps it
    }
  }
  ~OpenSample()
  {
    document.reset();
    view.reset();
    ObjectModel::SetPrimitiveServices(nullptr);
    SetGraphicCoreFactory(nullptr);
    Shell::SetShellServices(nullptr);
  }

  CWinApp app{"Tesmira Road"};
  BenchShell shell;
  CGeometryPrimitiveServices surfaces;
  std::unique_ptr<CQorRoadDoc> document;
  std::unique_ptr<CTestHostView> view;
  CGraphicCoreFull* core = nullptr;
  IArea* area = nullptr;
  std::string error;
};

OpenSample& Sample()
{
  static OpenSample sample;
  return sample;
}

void BM_SampleSceneBuild(benchmark::State& state)
{
  OpenSample& s = Sample();
  if (!s.error.empty() || !s.core || !s.area) {
    state.SkipWithError(s.error.empty() ? "no active area" : s.error.c_str());
    return;
  }
  CSceneBuilder& builder = *s.core->GetSceneBuilder();
  CObjectContainer3D& scene = *s.core->GetScene()->GetOwned();
  IVisualOpt* options = s.core->GetVisualOptions();
  builder.m_straight = s.core->IsStraightRoad() ? 1 : 0;
  for (auto _ : state) {
    scene.DeleteAll();
    builder.Build(s.area, options, s.core->GetActiveResults());
    benchmark::DoNotOptimize(scene.GetCount());
  }
  // Drawn once with the view's context current: the luminaires compile their shared lists.
  s.core->Render(FALSE, FALSE);
  int luminaires = 0, listSets = 0;
  for (scene::SharedDisplayLists* lists :
       {&CFixtureLightDevice::Lists(), &CProjectorLightDevice::Lists(), &CFloorLampLightDevice::Lists()}) {
    luminaires += lists->GetLiveCount();
    listSets += lists->GetName(0) >= 0 ? 1 : 0;
  }
  state.counters["groups"] = static_cast<double>(scene.GetCount());
  state.counters["luminaires"] = luminaires;
  state.counters["display_list_sets"] = listSets;
}
BENCHMARK(BM_SampleSceneBuild)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
