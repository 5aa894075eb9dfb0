// The full protocol of the interchange sample, every report item on and the economics asked for, built as the
// report view builds it: the frame and the open-site sections into the writer, every picture painted by the road
// picture renderer of the build (an interchange's protocol asks for none: the counter shows it; the intensity
// diagrams' window is not installed here). Target: under 3 s on one core. The sample comes from the tests
// (build/artifacts/sample-interchange.qorr5); another file may be named as the first argument.
#include "bench/sample_session.h"
#include "graphics/core/view_services.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "platform/mfc-core/memfile.h"
#include "report/protocol/protocol_sections.h"
#include "report/rtf/rtf_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

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
  BenchSampleSession open("tesmira-protocol-bench");
  if (!open.Open(sample, 800, 600))
    return 1;
  CPreferencesOfReport* preferences = open.document->GetCurrentOptions()->GetReportPreferences();
  for (const tag_ITEM_PREF_OF_REPORT& item : preferences->Items()) {
    tag_ITEM_PREF_OF_REPORT on = item;
    on.state = 2;
    preferences->SetItemState(item.id, &on, FALSE);
  }
  void* area = nullptr;
  if (SUCCEEDED(open.document->QueryInterface(IID_ActiveArea, &area)) && area != nullptr) {
    const int economics = 1;
    static_cast<IArea*>(area)->SetEconomicOutput(&economics);
    static_cast<IArea*>(area)->Release();
  }
  g_document = open.document.get();
  open.core->Render(FALSE, TRUE);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
