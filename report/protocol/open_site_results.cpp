// The results of the open-site and interchange protocol: the summary of every zone record against the norms, and
// the illuminance section, as pictures and a node table for an open site, as one block per group or primitive
// for an interchange.
#include "report/protocol/protocol_sections.h"

#include "graphics/core/model_ref.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ivisualopt.h"
#include "model/standards.h"
#include "report/protocol/norm_cell.h"
#include "report/rtf/rtf_writer.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kResetColours = 8;
constexpr int kGrey = 6;
constexpr int kItemIlluminance = 305;
constexpr int kItemIsolines = 308;
constexpr int kItemFilled = 309;
constexpr int kItemNodeValues = 310;
constexpr int kItemNodeTable = 311;
constexpr int kItemFalseColours = 701;
constexpr int kRowsPerPage = 38;
constexpr int kItemsPerPage = 5;

enum Field { kKind = 0, kAverage = 1, kMinimum = 2, kMaximum = 3, kI80 = 6, kI85 = 7, kUtilisation = 8 };

CString Format(const char* format, double value)
{
  CString text;
  text.Format(format, value);
  return text;
}

// The figures of one zone record or interchange item.
struct ZoneFigures {
  bool carriageway;
  double average, minimum, maximum, utilisation;
  double i80 = 0, i85 = 0;
};

struct ZoneNorms {
  NormValue average, maximum, uniformity, ratio;
};

ZoneNorms NormsOfZone(const _STANDARDS_OF_ROAD* s, bool carriageway)
{
  if (s == nullptr) {
    return {{-1, -1, false}, {-1, -1, false}, {-1, -1, false}, {-1, -1, true}};
  }
  const int average = carriageway ? kNormRoadIlluminance : kNormSidewalkIlluminance;
  const int ratio = carriageway ? kNormRoadMaxToAverage : kNormSidewalkMaxToAverage;
  const double(&maximum)[2] = carriageway ? s->roadMaximum : s->sidewalkMaximum;
  const double(&uniformity)[2] = carriageway ? s->roadUniformity : s->sidewalkUniformity;
  return {{s->effectiveValues[average], s->documentValues[average], false},
          {maximum[1], maximum[0], false},
          {uniformity[1], uniformity[0], false},
          {s->effectiveValues[ratio], s->documentValues[ratio], true}};
}

void ZoneHeading(CRTFWriter& w, const char* text, int tabs)
{
  w.BeginParagraph(0);
  w.SetFont(2, 22, 1);
  w.SetColours(kGrey, 0);
  w.WriteText(text);
  w.WriteTabs(tabs);
  w.EndParagraph();
  w.SetColours(kResetColours, 0);
  w.SetFont(2, 20, 0);
}

// The column header of the summary and of the interchange's items.
void ResultHeader(CProtocolFrame& f, const char* normTitle)
{
  CRTFWriter& w = f.writer;
  w.SetColours(kResetColours, 0);
  w.SetFont(2, 20, 1);
  w.WriteTabs(9);
  w.WriteText("{Расчет}");
  if (f.hasNorms) {
    w.WriteTabs(2);
    w.WriteText(normTitle);
  }
  w.WriteLineBreaks(1);
  w.SetFont(2, 20, 0);
  if (f.hasNorms) {
    w.WriteTabs(8);
    w.WriteText("{       (Соответствие)}");
    if (f.norms->GetRecord()->normDocumentId == 1) {
      w.WriteTabs(1);
      w.WriteText("{       (с изм.)}");
    }
  }
  w.WriteLineBreaks(1);
}

struct Row {
  const char* label;
  int tabs;
  const char* symbol;
  int symbolTabs;
  double value;
  ValueFormats formats;
  const NormValue* norm;  // null: no norm column
  const char* normPlain;
  const char* normChanged;
};

// The rows of one zone, separated by single line breaks.
void Rows(CRTFWriter& w, CNormCells& cells, const std::vector<Row>& rows)
{
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    if (i > 0) {
      w.WriteLineBreaks(1);
    }
    w.WriteText(r.label);
    w.WriteTabs(r.tabs);
    w.WriteText(r.symbol);
    w.WriteTabs(r.symbolTabs);
    w.SetFont(2, 20, 0);
    const NormValue none{-1, -1, false};
    w.WriteText(cells.Value(r.value, r.norm != nullptr ? *r.norm : none, r.formats));
    if (r.norm != nullptr) {
      cells.Norm(2, *r.norm, nullptr, r.normPlain, r.normChanged);
    }
  }
}

const char* const kAverageLabel = "{Средняя освещенность, \\up0\\fs20 лк\\up4\\fs15 \\up0\\fs20}";
const char* const kMaximumLabel = "{Максимальная освещенность, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}";
const char* const kMinimumLabel = "{Минимальная освещенность, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}";
const char* const kUniformityLabel = "{Коэффициент равномерности       }";
const char* const kRatioLabel = "{Отношение максимальной к средней     }";
const char* const kUtilisationLabel = "{Коэффициент использования по освещенности    }";
const char* const kAverageSymbol = "{E\\dn3\\fs15 ср\\up0\\fs20}";
const char* const kMaximumSymbol = "{E\\dn3\\fs15 макс\\up0\\fs20}";
const char* const kMinimumSymbol = "{E\\dn3\\fs15 мин\\up0\\fs20}";
const char* const kUniformitySymbol = "{E\\dn3\\fs15 мин\\up0\\fs20 /E\\dn3\\fs15 ср\\up0\\fs20}";
const char* const kRatioSymbol = "{E\\dn3\\fs15 макс\\up0\\fs20 /Е\\dn3\\fs15 ср\\up0\\fs20}";
const char* const kUtilisationSymbol = "{U\\dn3\\fs11 E\\dn3\\fs15  \\up0\\fs20}";

std::vector<Row> SummaryRows(const ZoneFigures& z, const ZoneNorms& n, bool ratioForm, CString& i80Label,
                             CString& i85Label)
{
  const double uniformity = RatioOrZero(z.minimum, z.average);
  const double ratio = RatioOrZero(z.maximum, z.average);
  std::vector<Row> rows = {
      {kAverageLabel, 4, kAverageSymbol, 2, z.average, {"{%.1f}", "{%.1f   (+)}", "{%.1f   (-)}"}, &n.average,
       "{%.0f}", "{%.0f*}"},
      {kMaximumLabel, 3, kMaximumSymbol, 2, z.maximum,
       z.carriageway ? ValueFormats{"{%.1f}", "{%.1f    (+)}", "{%.1f    (-)}"}
                     : ValueFormats{"{%.1f}", "{%.1f   (+)}", "{%.1f   (-)}"},
       &n.maximum, "{%.0f}", "{%.0f*}"},
      {kMinimumLabel, 3, kMinimumSymbol, 2, z.minimum, {"{%.1f}", "{%.1f}", "{%.1f}"}, nullptr, nullptr, nullptr},
      {kUniformityLabel, 3, kUniformitySymbol, 1, uniformity, {"{%.2f  }", "{%.2f     (+)}", "{%.2f     (-)}"},
       &n.uniformity, "{%.2f}", "{%.2f*}"},
      {kRatioLabel, 2, kRatioSymbol, 1, ratio, {"{%.1f  }", "{%.1f     (+)}", "{%.1f     (-)}"}, &n.ratio,
       ratioForm ? "{%.0f:1}" : "{%.0f}", ratioForm ? "{%.0f:1*}" : "{%.0f*}"},
      {kUtilisationLabel, 1, kUtilisationSymbol, 2, z.utilisation, {"{%.2f}", "{%.2f}", "{%.2f}"}, nullptr, nullptr,
       nullptr},
  };
  if (z.carriageway) {
    const char degree = static_cast<char>(176);
    i80Label.Format("{Максимальная сила света под углом 80%c, \\up0\\fs20 кд/клм\\up4\\fs15  \\up0\\fs20}", degree);
    i85Label.Format("{Максимальная сила света под углом 85%c, \\up0\\fs20 кд/клм\\up4\\fs15  \\up0\\fs20}", degree);
    rows.push_back({i80Label.GetString(), 1, "{I\\dn3\\fs15  80\\up0\\fs20}", 2, z.i80, {"{%.0f}", "{%.0f}", "{%.0f}"},
                    nullptr, nullptr, nullptr});
    rows.push_back({i85Label.GetString(), 1, "{I\\dn3\\fs15  85\\up0\\fs20}", 2, z.i85, {"{%.0f}", "{%.0f}", "{%.0f}"},
                    nullptr, nullptr, nullptr});
  }
  return rows;
}

const char* ShortDocumentName(int id)
{
  switch (id) {
  case 1: return "{СНиП 23-05-95}";
  case 2: return "{СП 52.13330.2011}";
  case 3: return "{ГОСТ Р 54305-2011}";
  case 4: return "{ГОСТ Р 55706-2013}";
  case 5: return "{СП 52.13330.2016}";
  case 6: return "{ГОСТ Р 58107-2018}";
  default: return "";
  }
}

const _STANDARDS_OF_ROAD* NormsInForce(CProtocolFrame& f) { return f.hasNorms ? f.norms->GetRecord() : nullptr; }

void NodeTable(CProtocolFrame& f, IResultsOfCalc& results)
{
  CRTFWriter& w = f.writer;
  const _CALC_RESULTS& r = *results.GetData();
  f.SubHeading("{Таблица значений освещенности (лк) в узлах расчетной сетки}", 4);
  w.TabStops(kNodeCoordinateTwips, kNodeColumnTwips, kNodeColumnsPerBlock + 1);
  w.WriteLineBreaks(1);
  const std::uint32_t nx = r.xs != nullptr ? r.nX : 0;
  const std::uint32_t ny = r.yRoad != nullptr ? r.nRoad : 0;
  CRTFColumn columns;
  columns.AddColumn(1000, 0);
  for (std::uint32_t i = 0; i < nx; ++i) {
    columns.AddColumn(600, 0);
  }
  CRTFRowList rows;
  for (std::uint32_t j = 0; j <= ny; ++j) {
    rows.AddRow();
  }
  CRTFCellGrid grid(rows, columns);
  double project[3] = {};
  f.document->GetLibraryProjectPosition(project);
  for (std::uint32_t j = 0; j < ny; ++j) {
    grid.SetCell(Format("{%.2f}", r.yRoad[j] - project[1]), 0, static_cast<int>(ny - 1 - j));
  }
  for (std::uint32_t i = 0; i < nx; ++i) {
    grid.SetCell(Format("{%.2f}", r.xs[i] - project[0]), static_cast<int>(i) + 1, static_cast<int>(ny));
  }
  const double halfLength = f.area ? *f.area->GetLength() / 2 : 0;
  const double halfWidth = f.area ? *f.area->GetWidth() / 2 : 0;
  const int records = static_cast<int>(r.nZones);
  std::vector<bool> minimumMarked(static_cast<std::size_t>(records)), maximumMarked(static_cast<std::size_t>(records));
  const bool haveValues = r.eRoad != nullptr;
  for (std::uint32_t i = 0; i < nx; ++i) {
    for (std::uint32_t j = 0; j < ny; ++j) {
      const std::size_t node = static_cast<std::size_t>(i) * ny + j;
      const bool inside = haveValues && (r.nodeState == nullptr || r.nodeState[node] >= 0) &&
                          r.xs[i] <= halfLength && r.yRoad[j] <= halfWidth;
      const float value = inside ? r.eRoad[node] : 0.0f;
      bool bold = false;
      for (int k = 0; k < records; ++k) {
        if (!minimumMarked[static_cast<std::size_t>(k)] && value == results.GetRecordValue(k, kMinimum)) {
          minimumMarked[static_cast<std::size_t>(k)] = true;
          bold = true;
        }
        if (!maximumMarked[static_cast<std::size_t>(k)] && value == results.GetRecordValue(k, kMaximum)) {
          maximumMarked[static_cast<std::size_t>(k)] = true;
          bold = true;
        }
      }
      const CString text = bold ? Format("{\\b %.1f\\b0}", value) : inside ? Format("{%.1f}", value) : CString("{-}");
      grid.SetCell(text, static_cast<int>(i) + 1, static_cast<int>(ny - 1 - j));
    }
  }

  const int rowCount = static_cast<int>(ny) + 1;
  const int columnCount = static_cast<int>(nx) + 1;
  int lines = 0;
  for (int from = 1; from == 1 || from < columnCount; from += kNodeColumnsPerBlock) {
    if (from > 1 && lines + rowCount > kRowsPerPage) {
      w.NewPage();
      f.SubHeading("{Таблица значений освещенности (лк) в узлах расчетной сетки (Продолжение)}", 1);
      w.TabStops(kNodeCoordinateTwips, kNodeColumnTwips, kNodeColumnsPerBlock + 1);
      w.WriteLineBreaks(1);
      lines = 0;
    }
    const int to = std::min(from + kNodeColumnsPerBlock, columnCount);
    for (int row = 0; row < rowCount; ++row) {
      w.SetFont(2, 20, 1);
      w.WriteText("{" + grid.GetCell(row, 0) + "}");
      w.WriteTabs(1);
      if (row != rowCount - 1) {
        w.SetFont(2, 20, 0);
      }
      for (int c = from; c < to; ++c) {
        w.WriteText("{" + grid.GetCell(row, c) + "}");
        w.WriteTabs(1);
      }
      if (row == rowCount - 2) {
        w.WriteLineBreaks(1);
      }
      w.WriteLineBreaks(1);
    }
    w.WriteLineBreaks(1);
    lines += rowCount;
  }
  w.EndParagraph();
}

void OpenSiteIlluminance(CProtocolFrame& f)
{
  CRTFWriter& w = f.writer;
  f.AddContent(0, "{Освещенность по участку дороги}", 0, 8, f.CurrentPage(), 1);
  CPictureSection pictures(f, CPictureSection::Kind::Results);
  auto bar = [&] {
    f.SectionHeading({"{Результаты расчета}", "\\tab", "{По участку дороги}", "\\tab", "{Освещенность}",
                      "\\tab\\tab\\tab"});
    w.BeginParagraph(0);
    w.EndParagraph();
  };
  bar();
  const bool isolines = f.ItemOn(kItemIsolines) != 0;
  const bool filled = f.ItemOn(kItemFilled) != 0;
  const bool falseColours = f.ItemOn(kItemFalseColours) != 0;
  CString caption;
  if (isolines) {
    caption = "{График распределения освещенности }";
  }
  for (bool on : {filled, falseColours}) {
    if (on) {
      caption = caption.IsEmpty() ? "{График распределения освещенности }" : "{Графики распределения освещенности}";
    }
  }
  if (!caption.IsEmpty()) {
    w.BeginParagraph(0);
    w.SetFont(2, 22, 1);
    w.SetColours(kGrey, 0);
    w.WriteText(caption);
    w.WriteTabs(7);
    w.EndParagraph();
    w.BeginParagraph(0);
    w.EndParagraph();
  }
  ModelRef<IGroupsOfDev> groups(f.area.get(), IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> firstGroup(groups.get(), IID_IGroupOfDev);
  int written = 0;
  const struct {
    bool on;
    int display;
  } kinds[] = {{isolines, 0}, {filled, f.ItemOn(kItemNodeValues) ? 2 : 1}, {falseColours, 3}};
  for (const auto& kind : kinds) {
    if (!kind.on) {
      continue;
    }
    if (written++ > 0) {
      w.NewPage();
    }
    f.document->SetViewMode(0x1001);
    if (f.options) {
      const int illuminance = 1;
      f.options->SetResultDisplay(&kind.display);
      f.options->SetQuantity(&illuminance);
    }
    w.SetFont(2, 20, 1);
    w.SetColours(kResetColours, 0);
    w.WriteLineBreaks(2);
    w.BeginParagraph(0);
    f.WriteRenderedBitmap(0x1001, 600, 600, firstGroup.get());
    w.EndParagraph();
  }
  const bool table = f.ItemOn(kItemNodeTable) != 0;
  if (!caption.IsEmpty()) {
    w.NewPage();
    if (table) {
      bar();
    }
  }
  if (table) {
    NodeTable(f, *f.results.get());
  }
  pictures.Restore();
  w.NewPage();
  CProtocolFrame::Progress(80);
}

void InterchangeItems(CProtocolFrame& f)
{
  CRTFWriter& w = f.writer;
  const _CALC_RESULTS& r = *f.results->GetData();
  const std::uint32_t carriageway = r.totalsA != nullptr ? r.nTotalsA : 0;
  const std::uint32_t sidewalks = r.totalsB != nullptr ? r.nTotalsB : 0;
  const _STANDARDS_OF_ROAD* s = NormsInForce(f);
  const char* name = s != nullptr ? ShortDocumentName(s->normDocumentId) : "";
  auto header = [&] { ResultHeader(f, name); };
  if (carriageway + sidewalks > 0) {
    f.AddContent(0, "{Освещенность по группам и примитивам}", 0, 8, f.CurrentPage(), 1);
    f.SectionHeading({"{Результаты расчета}", "\\tab", "{По группам и примитивам}", "\\tab", "{Освещенность}",
                      "\\tab\\tab"});
    w.BeginParagraph(0);
    w.EndParagraph();
    header();
  }
  // Changed norms are starred here too, but these blocks have no footnote.
  CNormCells cells(w, f.hasNorms);
  const struct {
    const _TOTAL_LIGHT_50* items;
    std::uint32_t count;
    bool carriageway;
  } lists[] = {{r.totalsA, carriageway, true}, {r.totalsB, sidewalks, false}};
  for (const auto& list : lists) {
    if (list.count == 0) {
      continue;
    }
    if (!list.carriageway && carriageway > 0) {
      w.NewPage();
      w.SetColours(kResetColours, 0);
      header();
    }
    if (list.carriageway) {
      ZoneHeading(w, "{По проезжей части}  ", 10);
    } else {
      ZoneHeading(w, "{По тротуару}", 12);
    }
    const ZoneNorms n = NormsOfZone(s, list.carriageway);
    int onPage = 0;
    for (std::uint32_t k = 0; k < list.count; ++k) {
      const _TOTAL_LIGHT_50& item = list.items[k];
      w.WriteLineBreaks(1);
      const std::size_t length = strnlen(item.name, sizeof(item.name));
      w.WriteText("{\\b" + EscapeRtfText(CString(item.name, static_cast<int>(length))) + "\\b0}");
      w.WriteLineBreaks(1);
      const double uniformity = RatioOrZero(item.minimum, item.average);
      const double ratio = RatioOrZero(item.maximum, item.average);
      Rows(w, cells,
           {{kAverageLabel, 4, kAverageSymbol, 2, item.average, {"{%.1f}", "{%.1f   (+)}", "{%.1f   (-)}"}, &n.average,
             "{%.0f}", "{%.0f*}"},
            {kMaximumLabel, 3, kMaximumSymbol, 2, item.maximum, {"{%.1f}", "{%.1f}", "{%.1f}"}, nullptr, nullptr,
             nullptr},
            {kMinimumLabel, 3, kMinimumSymbol, 2, item.minimum, {"{%.1f}", "{%.1f}", "{%.1f}"}, nullptr, nullptr,
             nullptr},
            {kUniformityLabel, 3, kUniformitySymbol, 1, uniformity, {"{%.2f  }", "{%.2f     (+)}", "{%.2f     (-)}"},
             &n.uniformity, "{%.2f}", "{%.2f*}"},
            {kRatioLabel, 2, kRatioSymbol, 1, ratio, {"{%.1f  }", "{%.1f     (+)}", "{%.1f     (-)}"}, &n.ratio,
             "{%.0f:1}", "{%.0f:1*}"},
            {kUtilisationLabel, 1, kUtilisationSymbol, 2, item.utilisation, {"{%.2f}", "{%.2f}", "{%.2f}"}, nullptr,
             nullptr, nullptr}});
      if (++onPage > kItemsPerPage) {
        w.NewPage();
        onPage = 0;
      } else {
        w.WriteLineBreaks(1);
      }
    }
  }
  w.NewPage();
}

}  // namespace

bool COpenSiteSections::Summary(CProtocolFrame& f)
{
  if (f.ItemOn(kItemResults)) {
    f.AddContent(0, "{Результаты расчета}", 1, 0, 0, 2);
  }
  if (!f.ItemOn(kItemSummary) || !f.results) {
    return false;
  }
  CRTFWriter& w = f.writer;
  f.AddContent(0, "{Сводные данные}", 0, 10, f.CurrentPage(), 2);
  f.SectionHeading({"{Результаты расчета}", "\\tab", "{Сводные данные }", "\\tab\\tab\\tab\\tab\\tab\\tab"});
  w.WriteLineBreaks(1);
  ResultHeader(f, "{          Норма}");
  const _STANDARDS_OF_ROAD* s = NormsInForce(f);
  const bool ratioForm = s != nullptr && s->normDocumentId == 1;
  CNormCells cells(w, f.hasNorms);
  IResultsOfCalc& results = *f.results.get();
  const int records = static_cast<int>(results.GetData()->nZones);
  for (int k = 0; k < records; ++k) {
    const bool carriageway = static_cast<int>(results.GetRecordValue(k, kKind)) == 0;
    const ZoneFigures z{carriageway,
                        results.GetRecordValue(k, kAverage),
                        results.GetRecordValue(k, kMinimum),
                        results.GetRecordValue(k, kMaximum),
                        results.GetRecordValue(k, kUtilisation),
                        results.GetRecordValue(k, kI80),
                        results.GetRecordValue(k, kI85)};
    if (carriageway) {
      ZoneHeading(w, "{По проезжей части}  ", 10);
    } else {
      ZoneHeading(w, "{По тротуару}", 12);
    }
    w.WriteLineBreaks(1);
    CString i80, i85;
    Rows(w, cells, SummaryRows(z, NormsOfZone(s, carriageway), ratioForm, i80, i85));
    w.EndParagraph();
  }
  cells.Footnote();
  w.NewPage();
  return true;
}

void COpenSiteSections::Results(CProtocolFrame& f)
{
  if (!f.ItemOn(kItemIlluminance) || !f.results || f.results->GetData() == nullptr) {
    return;
  }
  if (IsOfClass(f.area.get(), CLSID_CCustomizeRoad)) {
    OpenSiteIlluminance(f);
  } else if (IsOfClass(f.area.get(), CLSID_CCustomizeRoad3D)) {
    InterchangeItems(f);
  }
}
