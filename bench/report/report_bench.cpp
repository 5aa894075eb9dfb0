// Building the interchange's protocol into the writer and streaming it into a rich-edit document, as the report
// view does on every rebuild: the frame (title page, contents) with a block of indicators for each of 200
// primitives, then the results summary of the same project. Target: under 1 s on one core for build and stream.
#include "report/protocol/protocol_frame.h"
#include "report/protocol/results_summary.h"
#include "report/rtf/rtf_writer.h"

#include "model/iproject.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "platform/mfc-core/memfile.h"
#include "platform/richedit/rtf_reader.h"
#include "res/modules.h"
#include "tests/model/open_territory_support.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kPrimitives = 200;

class ProjectDocument : public ColourDocument {
public:
  ProjectDocument()
  {
    res::RegisterModules();
    CreateProject(this, &project);
    IArea* area = project->ResetAreas(CLSID_CCustomizeRoad3D);
    void* part = nullptr;
    area->QueryInterface(&IID_IResultsOfCalc, &part);
    auto* results = static_cast<IResultsOfCalc*>(part);
    _CALC_RESULTS& r = *results->GetData();
    r.valid = 1;
    r.nZones = 2;
    r.zones = new _ZONE_RESULT[2]();
    r.zones[0] = _ZONE_RESULT{0, 18.5f, 6, 31, 0, 0, 120, 40, 0, 0.31f, {}};
    r.zones[1] = _ZONE_RESULT{1, 7.5f, 2, 11, 0, 0, 0, 0, 0, 0.21f, {}};
    results->Release();
    area->Release();
    tag_ITEM_PREF_OF_REPORT on{};
    on.state = 2;
    options->GetReportPreferences()->SetItemState(100, &on, FALSE);
  }
  ~ProjectDocument() { project->Release(); }
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    if (iid == IID_IProject) {
      project->AddRef();
      *out = project;
      return S_OK;
    }
    return ColourDocument::QueryInterface(iid, out);
  }
  IProject* project = nullptr;
  WithGeometry geometry;
};

// One block of indicators per primitive, as the interchange's illuminance section writes them.
class IndicatorBlocks : public CProtocolSections {
public:
  bool Summary(CProtocolFrame& frame) override
  {
    frame.AddContent(0, "{Результаты расчета}", 1, 0, 0, 2);
    for (int p = 0; p < kPrimitives; ++p) {
      if (p % 3 == 0) {
        frame.AddContent(1, "{Освещенность}", 0, 11, frame.CurrentPage(), 1);
      }
      CString title;
      title.Format("{Примитив - %d}", p + 1);
      frame.SubHeading(title, 11);
      CRTFColumn columns;
      columns.AddColumn(3000, 0);
      columns.AddColumn(1500, 2);
      columns.AddColumn(1500, 2);
      CRTFRowList rows;
      for (int r = 0; r < 8; ++r)
        rows.AddRow();
      CRTFCellGrid grid(rows, columns);
      for (int r = 0; r < 8; ++r) {
        grid.SetCell("{E\\dn3\\fs15 ср\\up0\\fs20 , лк}", 0, r);
        grid.SetCell("{\\b \\highlight0\\cf4 18.5 \\highlight0\\cf1 \\b0}", 1, r);
        grid.SetCell("{ (15)}", 2, r);
      }
      frame.writer.WriteTable(grid);
      if (p % 3 == 2)
        frame.writer.NewPage();
    }
    return true;
  }
};

void BuildAndStreamInterchangeProtocol(benchmark::State& state)
{
  ProjectDocument doc;
  IndicatorBlocks sections;
  std::size_t bytes = 0;
  std::size_t blocks = 0;
  for (auto _ : state) {
    CRTFWriter writer;
    int neverBuilt = 1;
    BuildFullReport30(&doc, writer, neverBuilt, nullptr, 0, &sections);
    CMemFile* file = writer.GetFile();
    const std::string rtf(reinterpret_cast<const char*>(file->GetData()), static_cast<std::size_t>(file->GetLength()));
    richedit::RichDocument document;
    richedit::ReadRtf(rtf, document);
    bytes = rtf.size();
    blocks = document.blocks.size();

    CRTFWriter summaryWriter;
    BuildResultsSummary(&doc, summaryWriter, neverBuilt);
    CMemFile* summary = summaryWriter.GetFile();
    richedit::RichDocument summaryDocument;
    richedit::ReadRtf(std::string(reinterpret_cast<const char*>(summary->GetData()),
                                  static_cast<std::size_t>(summary->GetLength())),
                      summaryDocument);
    benchmark::DoNotOptimize(summaryDocument.blocks.size());
  }
  state.counters["rtf_bytes"] = static_cast<double>(bytes);
  state.counters["blocks"] = static_cast<double>(blocks);
}
BENCHMARK(BuildAndStreamInterchangeProtocol)->Unit(benchmark::kMillisecond);

}  // namespace
