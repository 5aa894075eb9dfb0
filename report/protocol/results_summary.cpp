#include "report/protocol/results_summary.h"

#include "graphics/core/model_ref.h"
#include "model/cguid.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "model/iresults.h"
#include "model/iroad.h"
#include "model/standards.h"
#include "report/protocol/protocol_frame.h"
#include "report/protocol/report_strings.h"
#include "report/rtf/rtf_writer.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

enum class Kind { StraightRoad, OpenSite };
enum class Zone { Carriageway, RightSidewalk, LeftSidewalk, RightWall, LeftWall };
constexpr int kZoneCount = 5;

enum class Indicator {
  LuminanceAverage,
  LuminanceUniformity,
  LuminanceLongitudinal,
  IlluminanceAverage,
  IlluminanceMaximum,
  MinimumToAverage,
  MaximumToAverage,
  ThresholdIncrement,
  GlareIndex,
  Utilisation,
  IntensityAt80,
  IntensityAt85,
  SemiCylindricalMinimum,
  WallMaximum,
};

struct Row {
  const char* label;
  Indicator indicator;
};

// Labels are the report's own RTF; Cyrillic and Latin letters stand as the protocol has always printed them.
const Row kRoadCarriageway[] = {
    {"{L\\dn3\\fs15 ср\\up0\\fs20, кд/м\\up4\\fs15 2\\up0\\fs20}", Indicator::LuminanceAverage},
    {"{L\\dn3\\fs15 мин\\up0\\fs20 /L\\dn3\\fs15 ср\\up0\\fs20}", Indicator::LuminanceUniformity},
    {"{L\\dn3\\fs15 мин\\up0\\fs20/L\\dn3\\fs15 макс\\up0\\fs20}", Indicator::LuminanceLongitudinal},
    {"{E\\dn3\\fs15 ср\\up0\\fs20 , лк}", Indicator::IlluminanceAverage},
    {"{E\\dn3\\fs15 макс\\up0\\fs20 , лк}", Indicator::IlluminanceMaximum},
    {"{E\\dn3\\fs15 мин\\up0\\fs20 /Е\\dn3\\fs15 ср\\up0\\fs20}", Indicator::MinimumToAverage},
    {"{E\\dn3\\fs15 макс\\up0\\fs20 /Е\\dn3\\fs15 ср\\up0\\fs20}", Indicator::MaximumToAverage},
    {"{TI,\\dn3\\fs15  \\up0\\fs20%}", Indicator::ThresholdIncrement},
    {"{P \\dn3\\fs15  \\up0\\fs20 }", Indicator::GlareIndex},
    {"{U\\dn3\\fs11 E\\dn3\\fs15  \\up0\\fs20}", Indicator::Utilisation},
    {"{I\\dn3\\fs15 80\\up0\\fs20, кд/клм}", Indicator::IntensityAt80},
    {"{I\\dn3\\fs15 85\\up0\\fs20, кд/клм}", Indicator::IntensityAt85},
};
// The open-site layout's carriageway rows: 4, 5, 6, 7, 10, 11, 12 of the road layout.
const int kOpenCarriagewayRows[] = {3, 4, 5, 6, 9, 10, 11};

const Row kRoadSidewalk[] = {
    {"{Е\\dn3\\fs15 ср\\up0\\fs20 , лк}", Indicator::IlluminanceAverage},
    {"{Е\\dn3\\fs15 макс\\up0\\fs20 , лк}", Indicator::IlluminanceMaximum},
    {"{E\\dn3\\fs15 мин\\up0\\fs20 /Е\\dn3\\fs15 ср\\up0\\fs20}", Indicator::MinimumToAverage},
    {"{E\\dn3\\fs15 макс\\up0\\fs20 /Е\\dn3\\fs15 ср\\up0\\fs20}", Indicator::MaximumToAverage},
    {"{Е\\dn3\\fs15 пц, мин\\up0\\fs20 , лк}", Indicator::SemiCylindricalMinimum},
    {"{U\\dn3\\fs11 E\\dn3\\fs15  \\up0\\fs20}", Indicator::Utilisation},
};
const int kOpenSidewalkRows[] = {0, 1, 2, 3, 5};

const Row kWall = {"{Е\\dn3\\fs15 макс\\up0\\fs20 , лк}", Indicator::WallMaximum};

// Open-site result record fields.
constexpr int kFieldKind = 0;
constexpr int kFieldAverage = 1;
constexpr int kFieldMinimum = 2;
constexpr int kFieldMaximum = 3;
constexpr int kFieldI80 = 6;
constexpr int kFieldI85 = 7;
constexpr int kFieldUtilisation = 8;

struct ReportedArea {
  IArea* area = nullptr;  // held by the project for the whole build
  Kind kind = Kind::StraightRoad;
  CString caption;
  bool hasResults = false;
  bool zoneOn[kZoneCount] = {};
  const _CALC_RESULTS* results = nullptr;
  ModelRef<IResultsOfCalc> resultsObject;
  int carriagewayRecord = -1;
  int sidewalkRecord = -1;
  const _STANDARDS_OF_ROAD* norms = nullptr;  // null: no norms in force
};

CString KindText(Kind kind, int typicalForm)
{
  if (kind == Kind::StraightRoad) {
    return "[" + LoadReportString(IDS_REPORT_STRAIGHT_ROAD) + "]";
  }
  const UINT id = TypicalFormStringId(typicalForm);
  return id == 0 ? CString() : "[" + LoadReportString(id) + "]";
}

CString ColumnCaption(IArea* area, Kind kind)
{
  CString caption = *area->GetCaption();
  const CString kindText = KindText(kind, *area->GetTypicalForm());
  if (kindText.IsEmpty()) {
    return caption;
  }
  const int at = caption.Find(kindText);
  if (at > 0 && caption.GetLength() > kindText.GetLength()) {
    caption.Delete(at, kindText.GetLength());
  }
  return caption;
}

int ColumnWidth(const CString& caption) { return std::max(120 * caption.GetLength() + 260, 1100); }

bool StripOn(IModelUnknown* owner, const IID& side)
{
  ModelRef<ILineOfRoad> strip(owner, side);
  return strip && *strip->GetState() != 0;
}

// Zone flags of the second pass; also recomputes a straight road's width, as the summary always has.
void TakeZones(ReportedArea& a)
{
  if (a.kind == Kind::StraightRoad) {
    ModelRef<IRoad> road(a.area, IID_IRoad);
    if (road) {
      road->UpdateAreaWidth();
      const int state = *road->GetState();
      a.zoneOn[static_cast<int>(Zone::Carriageway)] = (state & 0x1) != 0 && (state & 0x2) == 0;
    }
    ModelRef<IPavement> sidewalks(a.area, IID_IPavement);
    if (sidewalks && (*sidewalks->GetFlags() & 0x2) == 0) {
      a.zoneOn[static_cast<int>(Zone::RightSidewalk)] = StripOn(sidewalks.get(), IID_RightPavement);
      a.zoneOn[static_cast<int>(Zone::LeftSidewalk)] = StripOn(sidewalks.get(), IID_LeftPavement);
    }
    ModelRef<IWall> walls(a.area, IID_IWall);
    if (walls && (*walls->GetFlags() & 0x2) == 0) {
      a.zoneOn[static_cast<int>(Zone::RightWall)] = StripOn(walls.get(), IID_RightWall);
      a.zoneOn[static_cast<int>(Zone::LeftWall)] = StripOn(walls.get(), IID_LeftWall);
    }
    return;
  }
  ModelRef<ICustomizeRoad> site(a.area, IID_ICustomizeRoad);
  if (!site) {
    return;
  }
  bool carriagewayPrimitive = false;
  bool sidewalkPrimitive = false;
  ModelRef<IPrimitive> first(site.get(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p != nullptr; p = p->GetNext()) {
    carriagewayPrimitive = carriagewayPrimitive || *p->GetMembership() == 1;
    sidewalkPrimitive = sidewalkPrimitive || *p->GetMembership() == 2;
  }
  a.zoneOn[static_cast<int>(Zone::Carriageway)] = (*site->GetRoadState() & 0x1) != 0 && carriagewayPrimitive;
  a.zoneOn[static_cast<int>(Zone::RightSidewalk)] = (*site->GetSidewalkState() & 0x1) != 0 && sidewalkPrimitive;
}

void FindRecords(ReportedArea& a)
{
  if (a.kind != Kind::OpenSite || a.results == nullptr) {
    return;
  }
  for (std::uint32_t r = 0; r < a.results->nZones; ++r) {
    const float kind = a.resultsObject->GetRecordValue(static_cast<int>(r), kFieldKind);
    if (std::trunc(kind) == 0.0f) {
      a.carriagewayRecord = static_cast<int>(r);
    } else {
      a.sidewalkRecord = static_cast<int>(r);
    }
  }
}

// Whether a row stands for this kind of area in this zone at all.
bool Applies(Kind kind, Zone zone, Indicator indicator)
{
  if (kind == Kind::StraightRoad) {
    return indicator != Indicator::IntensityAt80 && indicator != Indicator::IntensityAt85;
  }
  switch (zone) {
  case Zone::Carriageway:
    return indicator != Indicator::LuminanceAverage && indicator != Indicator::LuminanceUniformity &&
           indicator != Indicator::LuminanceLongitudinal && indicator != Indicator::ThresholdIncrement &&
           indicator != Indicator::GlareIndex;
  case Zone::RightSidewalk:
    return indicator != Indicator::SemiCylindricalMinimum;
  default:
    return false;
  }
}

struct Norm {
  double value = -1.0;
  bool upper = false;
  int precision = 2;
  const char* suffix = "{ (%.1f)}";
};

double Ratio(double part, double average) { return average == 0.0 ? 0.0 : part / average; }

CString Fixed(const char* format, double value)
{
  CString text;
  text.Format(format, value);
  return text;
}

CString ValueCell(double value, const Norm& norm, bool normsInForce)
{
  static const char* const kPlain[] = {"{%.0f}", "{%.1f}", "{%.2f}"};
  static const char* const kMarked[] = {"{\\b \\highlight0\\cf%d %.0f \\highlight0\\cf%d \\b0}",
                                        "{\\b \\highlight0\\cf%d %.1f \\highlight0\\cf%d \\b0}",
                                        "{\\b \\highlight0\\cf%d %.2f \\highlight0\\cf%d \\b0}"};
  if (!normsInForce || norm.value == -1.0) {
    return Fixed(kPlain[norm.precision], value);
  }
  // A value that is not a number meets no norm.
  const bool fails = std::isnan(value) || (norm.upper ? value > norm.value : value < norm.value);
  CString cell;
  cell.Format(kMarked[norm.precision], fails ? 2 : 4, value, 1);
  return cell + Fixed(norm.suffix, norm.value);
}

CString ZeroOr(const char* format, double value) { return value == 0.0 ? CString("{0.0}") : Fixed(format, value); }

CString Cell(const ReportedArea& a, Zone zone, Indicator indicator)
{
  if (!Applies(a.kind, zone, indicator) || !a.zoneOn[static_cast<int>(zone)]) {
    return "{-}";
  }
  if (!a.hasResults) {
    return "{н/д}";
  }
  const _CALC_RESULTS& r = *a.results;
  const _STANDARDS_OF_ROAD* s = a.norms;
  const bool sidewalk = zone == Zone::RightSidewalk || zone == Zone::LeftSidewalk;
  auto norm = [s](double value, bool upper, int precision, const char* suffix) {
    return Norm{s ? value : -1.0, upper, precision, suffix};
  };
  const char* ratioSuffix = s && s->normDocumentId == 1 ? "{ (%.0f:1)}" : "{ (%.0f)}";

  // The zone's illuminance figures, from the block or from the open site's record.
  double average = 0, minimum = 0, maximum = 0, utilisation = 0;
  if (a.kind == Kind::OpenSite) {
    const int record = zone == Zone::Carriageway ? a.carriagewayRecord : a.sidewalkRecord;
    if (record < 0) {
      return "{-}";
    }
    IResultsOfCalc* results = a.resultsObject.get();
    average = results->GetRecordValue(record, kFieldAverage);
    minimum = results->GetRecordValue(record, kFieldMinimum);
    maximum = results->GetRecordValue(record, kFieldMaximum);
    utilisation = results->GetRecordValue(record, kFieldUtilisation);
    if (indicator == Indicator::IntensityAt80 || indicator == Indicator::IntensityAt85) {
      return ZeroOr("{%.0f}",
                    results->GetRecordValue(record, indicator == Indicator::IntensityAt80 ? kFieldI80 : kFieldI85));
    }
    if (indicator == Indicator::Utilisation) {
      return ZeroOr("{%.2f}", utilisation);
    }
  } else {
    const float* five = zone == Zone::Carriageway    ? r.sumWhole
                        : zone == Zone::RightSidewalk ? r.sumRightWalk
                                                      : r.sumLeftWalk;
    average = five[0];
    minimum = five[1];
    maximum = five[2];
    utilisation = zone == Zone::Carriageway    ? r.utilWhole
                  : zone == Zone::RightSidewalk ? r.utilRightWalk
                                                : r.utilLeftWalk;
  }

  const bool inForce = s != nullptr;
  switch (indicator) {
  case Indicator::LuminanceAverage:
    return ValueCell(r.lumSummary[0], norm(s ? s->effectiveValues[kNormRoadLuminance] : -1, false, 2, "{ (%.1f)}"),
                     inForce);
  case Indicator::LuminanceUniformity:
    return ValueCell(r.lumSummary[1],
                     norm(s ? s->effectiveValues[kNormOverallUniformity] : -1, false, 2, "{ (%.1f)}"), inForce);
  case Indicator::LuminanceLongitudinal:
    return ValueCell(r.lumSummary[2],
                     norm(s ? s->effectiveValues[kNormLongitudinalUniformity] : -1, false, 2, "{ (%.1f)}"), inForce);
  case Indicator::ThresholdIncrement:
    return ValueCell(r.lumSummary[3], norm(s ? s->thresholdIncrement[1] : -1, true, 1, "{ (%.1f)}"), inForce);
  case Indicator::GlareIndex:
    return ValueCell(r.lumSummary[4], norm(s ? s->effectiveValues[kNormGlareIndex] : -1, true, 0, "{ (%.0f)}"),
                     inForce);
  case Indicator::IlluminanceAverage:
    return ValueCell(average,
                     norm(s ? s->effectiveValues[sidewalk ? kNormSidewalkIlluminance : kNormRoadIlluminance] : -1,
                          false, 1, "{ (%.0f)}"),
                     inForce);
  case Indicator::IlluminanceMaximum:
    return ValueCell(maximum,
                     norm(s ? (sidewalk ? s->sidewalkMaximum[1] : s->roadMaximum[1]) : -1, false, 1, "{ (%.0f)}"),
                     inForce);
  case Indicator::MinimumToAverage:
    return ValueCell(Ratio(minimum, average),
                     norm(s ? (sidewalk ? s->sidewalkUniformity[1] : s->roadUniformity[1]) : -1, false, 2,
                          "{ (%.2f)}"),
                     inForce);
  case Indicator::MaximumToAverage:
    return ValueCell(
        Ratio(maximum, average),
        norm(s ? s->effectiveValues[sidewalk ? kNormSidewalkMaxToAverage : kNormRoadMaxToAverage] : -1, true, 1,
             ratioSuffix),
        inForce);
  case Indicator::Utilisation:
    return Fixed("{%.2f}", utilisation);
  case Indicator::SemiCylindricalMinimum:
    return Fixed("{%.1f}", zone == Zone::RightSidewalk ? r.escMinRightWalk : r.escMinLeftWalk);
  case Indicator::WallMaximum:
    return ValueCell(zone == Zone::RightWall ? r.evMaxRightWall : r.evMaxLeftWall,
                     norm(s ? s->effectiveValues[kNormWallMaximum] : -1, true, 1, "{ (%.1f)}"), inForce);
  case Indicator::IntensityAt80:
  case Indicator::IntensityAt85:
    break;
  }
  return "{-}";
}

// One zone's table: its rows, the lists it is made over and its cells.
struct ZoneTable {
  Zone zone;
  const char* title;
  std::vector<Row> rows;
  CRTFColumn columns;
  CRTFRowList rowList;
  std::unique_ptr<CRTFCellGrid> grid;
};

}  // namespace

int BuildResultsSummary(IQorRoadDoc* document, CRTFWriter& writer, int& neverBuilt)
{
  if (writer.IsOpen() || writer.Open() == 0) {
    return 0;
  }

  // First pass: the reported areas, their captions and the layout.
  void* projectPart = nullptr;
  if (document == nullptr || FAILED(document->QueryInterface(IID_IProject, &projectPart))) {
    projectPart = nullptr;
  }
  const ModelRef<IProject> project = ModelRef<IProject>::Adopt(static_cast<IProject*>(projectPart));
  ModelRef<IArea> firstArea(project.get(), IID_IArea);
  std::vector<ReportedArea> areas;
  bool roadLayout = false;
  bool intensityRows = false;
  bool anyResults = false;
  for (IArea* area = firstArea.get(); area != nullptr; area = area->GetNext()) {
    if (*area->GetLightingOutput() == 0) {
      continue;
    }
    ReportedArea a;
    a.area = area;
    if (IsOfClass(area, CLSID_CStraightRoad)) {
      a.kind = Kind::StraightRoad;
    } else if (IsOfClass(area, CLSID_CCustomizeRoad) || IsOfClass(area, CLSID_CCustomizeRoad3D)) {
      a.kind = Kind::OpenSite;
    } else {
      continue;
    }
    a.resultsObject = ModelRef<IResultsOfCalc>(area, IID_IResultsOfCalc);
    a.results = a.resultsObject ? a.resultsObject->GetData() : nullptr;
    a.hasResults = a.results != nullptr && a.results->valid != 0;
    if (a.hasResults) {
      neverBuilt = 0;
      anyResults = true;
    }
    roadLayout = roadLayout || a.kind == Kind::StraightRoad;
    intensityRows = intensityRows || a.kind == Kind::OpenSite;
    a.caption = ColumnCaption(area, a.kind);
    areas.push_back(std::move(a));
  }

  writer.SetFont(2, 20, 0);
  if (areas.empty()) {
    writer.SetFont(2, 20, 0);
    writer.WriteLineBreaks(1);
    writer.WriteText("{\\fs20  Нет активных объектов для анализа}");
    writer.WriteLineBreaks(1);
    return 1;
  }
  if (!anyResults) {
    writer.WriteLineBreaks(1);
    writer.SetFont(2, 20, 0);
    writer.WriteText(LoadReportString(neverBuilt != 0 ? IDS_REPORT_NOT_CALCULATED : IDS_REPORT_DATA_CHANGED));
    return 1;
  }

  // The five tables; the open-site layout has a carriageway and one sidewalk only.
  ZoneTable tables[kZoneCount] = {
      {Zone::Carriageway, "{\\fs20  По проезжей части}", {}, {}, {}, {}},
      {Zone::RightSidewalk, roadLayout ? "{\\fs20  По тротуару (правый)}" : "{\\fs20  По тротуару}", {}, {}, {}, {}},
      {Zone::LeftSidewalk, "{\\fs20  По тротуару (левый)}", {}, {}, {}, {}},
      {Zone::RightWall, "{\\fs20  По стене здания (правая)}", {}, {}, {}, {}},
      {Zone::LeftWall, "{\\fs20  По стене здания (левая)}", {}, {}, {}, {}},
  };
  if (roadLayout) {
    tables[0].rows.assign(std::begin(kRoadCarriageway), std::end(kRoadCarriageway) - (intensityRows ? 0 : 2));
    tables[1].rows.assign(std::begin(kRoadSidewalk), std::end(kRoadSidewalk));
    tables[2].rows = tables[1].rows;
    tables[3].rows = {kWall};
    tables[4].rows = {kWall};
  } else {
    for (int index : kOpenCarriagewayRows) {
      tables[0].rows.push_back(kRoadCarriageway[index]);
    }
    for (int index : kOpenSidewalkRows) {
      tables[1].rows.push_back(kRoadSidewalk[index]);
    }
  }
  for (ZoneTable& table : tables) {
    table.columns.AddColumn(1300, 0);
    for (const ReportedArea& a : areas) {
      table.columns.AddColumn(ColumnWidth(a.caption), 2);
    }
    for (std::size_t r = 0; r <= table.rows.size() && !table.rows.empty(); ++r) {
      table.rowList.AddRow();
    }
    table.grid = std::make_unique<CRTFCellGrid>(table.rowList, table.columns);
    table.grid->SetCell("{\\b Показатель\\b0}", 0, 0);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      table.grid->SetCell(table.rows[r].label, 0, static_cast<int>(r + 1));
    }
  }

  // Second pass: one column per reported area.
  bool anyZone[kZoneCount] = {};
  int column = 1;
  for (ReportedArea& a : areas) {
    writer.SetFont(2, 20, 0);
    CString header;
    header.Format("{\\b %s\\b0}", EscapeRtfText(a.caption).GetString());
    TakeZones(a);
    CStandardsOfRoad* standards = a.area->GetStandards();
    if (standards != nullptr && standards->GetRecord()->normDocumentId != 0) {
      a.norms = standards->GetRecord();
    }
    FindRecords(a);
    for (ZoneTable& table : tables) {
      table.grid->SetCell(header, column, 0);
      anyZone[static_cast<int>(table.zone)] = anyZone[static_cast<int>(table.zone)] || a.zoneOn[static_cast<int>(table.zone)];
      for (std::size_t r = 0; r < table.rows.size(); ++r) {
        table.grid->SetCell(Cell(a, table.zone, table.rows[r].indicator), column, static_cast<int>(r + 1));
      }
    }
    ++column;
  }

  for (ZoneTable& table : tables) {
    if (table.rows.empty() || !anyZone[static_cast<int>(table.zone)]) {
      continue;
    }
    writer.SetFont(2, 20, 0);
    writer.WriteLineBreaks(1);
    writer.WriteText(table.title);
    writer.WriteLineBreaks(1);
    writer.WriteTable(*table.grid);
  }
  return 1;
}
