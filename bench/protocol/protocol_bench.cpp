// The full protocol of the interchange sample, every report item on and the economics asked for, built as the
// report view builds it: the frame and the open-site sections into the writer, every picture painted by the road
// picture renderer of the build (an interchange's protocol asks for none while the intensity diagrams wait for
// their window; the counter shows it). Target: under 3 s on one core. The sample comes from the tests (build/artifacts/sample-interchange.qorr5);
// another file may be named as the first argument.
#include "document/qor_road_doc.h"
#include "geometry/mesh/calc_surface.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/view_services.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "model/primitive_services.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/mfc/winapp.h"
#include "platform/mfc-core/memfile.h"
#include "report/protocol/protocol_sections.h"
#include "report/rtf/rtf_writer.h"
#include "res/modules.h"
#include "tests/graphics/view_host.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

class BenchShell : public Shell::CShellServices {
public:
  CString GetAppDataBinFolder() override { return folder.c_str(); }
  std::string folder;
};

// What the application's view does for a report picture: the build's renderer paints what the document's
// view-mode word and the visual options ask for.
class RendererPictures : public CViewServices {
public:
  RendererPictures(CQorRoadDoc& document, CGraphicCoreFull& core) : m_document(document), m_renderer(&core) {}
  BOOL RenderViewToBitmap(CWnd*, int width, int height, CBitmap* bitmap, IGroupOfDev* group) override
  {
    IVisualOpt* options = m_document.GetCurrentOptions();
    ++pictures;
    return m_renderer.Render(PictureFlagsFromViewMode(m_document.GetViewMode(), *options->GetQuantity(),
                                                      *options->GetResultDisplay(), FALSE),
                             bitmap, width, height, group);
  }
  long pictures = 0;

private:
  CQorRoadDoc& m_document;
  CRoadPictureRenderer m_renderer;
};

CQorRoadDoc* g_document = nullptr;

void BM_InterchangeProtocol(benchmark::State& state)
{
  long bytes = 0, pictures = 0;
  for (auto _ : state) {
    // One renderer per build, as the view makes it.
    RendererPictures services(*g_document, *dynamic_cast<CGraphicCoreFull*>(g_document->GetGraphicCore()));
    SetViewServices(&services);
    CRTFWriter writer;
    int neverBuilt = 1;
    COpenSiteSections sections;
    if (BuildFullReport30(g_document, writer, neverBuilt, nullptr, 0, &sections) != 1 || neverBuilt != 0) {
      SetViewServices(nullptr);
      state.SkipWithError("no protocol: the sample has no results");
      return;
    }
    bytes = static_cast<long>(writer.GetFile()->GetLength());
    pictures = services.pictures;
    writer.Close();
    SetViewServices(nullptr);
  }
  state.counters["document_bytes"] = static_cast<double>(bytes);
  state.counters["pictures"] = static_cast<double>(pictures);
}
BENCHMARK(BM_InterchangeProtocol)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  const std::string sample = argc > 1 ? argv[1] : TESMIRA_DEFAULT_SAMPLE;
  if (!std::filesystem::exists(sample)) {
    std::fprintf(stderr, "no sample project at %s (the tests make it: run geometry_picture_tests)\n", sample.c_str());
    return 1;
  }
  CWinApp app("Tesmira Road");
  res::RegisterModules();
  qorsrv::RegisterServerClasses();
  BenchShell shell;
  shell.folder = (std::filesystem::temp_directory_path() / "tesmira-protocol-bench/").string();
  std::filesystem::create_directories(shell.folder);
  if (!std::filesystem::exists(shell.folder + "QorRoad.qord"))
    qorsrv::BuildStarterCatalogue(shell.folder + "QorRoad.qord",
                                  TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  Shell::SetShellServices(&shell);
  CGeometryPrimitiveServices surfaces;
  ObjectModel::SetPrimitiveServices(&surfaces);
  InstallGraphicCore();
  int result = 0;
  {
    auto document = std::make_unique<CQorRoadDoc>();
    auto view = std::make_unique<CTestHostView>(document->GetGraphicCore());
    if (!document->OnNewDocument() || !view->CreateHost(800, 600) || !document->OnOpenDocument(sample.c_str())) {
      std::fprintf(stderr, "the sample could not be opened in the view\n");
      result = 1;
    } else {
      CPreferencesOfReport* preferences = document->GetCurrentOptions()->GetReportPreferences();
      for (const tag_ITEM_PREF_OF_REPORT& item : preferences->Items()) {
        tag_ITEM_PREF_OF_REPORT on = item;
        on.state = 2;
        preferences->SetItemState(item.id, &on, FALSE);
      }
      void* area = nullptr;
      if (SUCCEEDED(document->QueryInterface(IID_ActiveArea, &area)) && area != nullptr) {
        const int economics = 1;
        static_cast<IArea*>(area)->SetEconomicOutput(&economics);
        static_cast<IArea*>(area)->Release();
      }
      g_document = document.get();
      dynamic_cast<CGraphicCoreFull*>(document->GetGraphicCore())->Render(FALSE, TRUE);
      benchmark::RunSpecifiedBenchmarks();
    }
    document.reset();
    view.reset();
  }
  benchmark::Shutdown();
  ObjectModel::SetPrimitiveServices(nullptr);
  SetGraphicCoreFactory(nullptr);
  Shell::SetShellServices(nullptr);
  return result;
}
