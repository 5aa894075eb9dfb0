// The summary of the straight-road protocol: every indicator of the carriageway, each sidewalk and each wall
// against the area's lighting norms.
#include "report/protocol/protocol_sections.h"

#include "graphics/core/model_ref.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/standards.h"
#include "report/protocol/economic_section.h"
#include "report/protocol/norm_cell.h"
#include "report/rtf/rtf_writer.h"

namespace {

constexpr int kResetColours = 8;

struct SummaryRow {
  const char* caption;
  int tabs;
  const char* symbol;
  int symbolTabs;
  double value;
  ValueFormats formats;
  NormValue norm;
  int normTabs;
  const char* normPlain;
  const char* normChanged;
};

NormValue Indicator(const _STANDARDS_OF_ROAD* s, int index, bool upper)
{
  if (s == nullptr) {
    return {-1, -1, upper};
  }
  return {s->effectiveValues[index], s->documentValues[index], upper};
}

// The indicators kept as a (document, effective) pair.
NormValue Pair(const _STANDARDS_OF_ROAD* s, const double (&pair)[2], bool upper)
{
  if (s == nullptr) {
    return {-1, -1, upper};
  }
  return {pair[1], pair[0], upper};
}

bool StripOn(IModelUnknown* owner, const IID& side)
{
  ModelRef<ILineOfRoad> strip(owner, side);
  return strip && *strip->GetState() != 0;
}

class Summary {
public:
  Summary(CProtocolFrame& frame)
      : f(frame), w(frame.writer), norms(frame.hasNorms ? frame.norms->GetRecord() : nullptr),
        cells(frame.writer, frame.hasNorms)
  {
  }

  void Row(const SummaryRow& row)
  {
    w.WriteText(row.caption);
    w.WriteTabs(row.tabs);
    w.WriteText(row.symbol);
    w.WriteTabs(row.symbolTabs);
    w.SetFont(2, 20, 0);
    w.WriteText(cells.Value(row.value, row.norm, row.formats));
    cells.Norm(row.normTabs, row.norm, "{%c} ", row.normPlain, row.normChanged);
    w.WriteLineBreaks(1);
  }

  void ZoneHeading(const char* text) { f.SubHeading(text, 10); }

  void RowGroup(const char* caption, std::initializer_list<SummaryRow> rows)
  {
    w.BeginParagraph(0);
    w.SetFont(2, 22, 1);
    w.WriteText(caption);
    w.EndParagraph();
    w.BeginParagraph(0);
    w.SetFont(2, 20, 0);
    for (const SummaryRow& row : rows) {
      Row(row);
    }
    w.EndParagraph();
  }

  void Carriageway(const _CALC_RESULTS& r)
  {
    const double average = r.sumWhole[0];
    const double minimum = r.sumWhole[1];
    const double maximum = r.sumWhole[2];
    const bool ratioForm = norms != nullptr && norms->normDocumentId == 1;
    const ValueFormats luminance{"{%.2f}", "{%.2f   (+)}", "{%.2f   (-)}"};
    const ValueFormats illuminance{"{%.1f}", "{%.1f    (+)}", "{%.1f    (-)}"};
    ZoneHeading("{По проезжей части  }");
    RowGroup("{Показатели яркости}",
             {{"{Средняя, \\up0\\fs20 кд/м\\up4\\fs15 2\\up0\\fs20  }", 5, "{L\\dn3\\fs15 ср\\up0\\fs20}", 2,
               r.lumSummary[0], luminance, Indicator(norms, kNormRoadLuminance, false), 2, "{%.1f}", "{%.1f*}"},
              {"{Коэффициент общей равномерности      }", 2,
               "{L\\dn3\\fs15 мин\\up0\\fs20 /L\\dn3\\fs15 ср\\up0\\fs20     }", 1, r.lumSummary[1], luminance,
               Indicator(norms, kNormOverallUniformity, false), 2, "{%.1f}", "{%.1f*}"},
              {"{Коэффициент продольной равномерности}", 2,
               "{L\\dn3\\fs15 мин\\up0\\fs20 /L\\dn3\\fs15 макс\\up0\\fs20}", 1, r.lumSummary[2], luminance,
               Indicator(norms, kNormLongitudinalUniformity, false), 2, "{%.1f}", "{%.1f*}"}});
    RowGroup("{Показатели освещенности}",
             {{"{Средняя, \\up0\\fs20 лк\\up4\\fs15 \\up0\\fs20}", 6, "{E\\dn3\\fs15 ср\\up0\\fs20}", 2, average,
               illuminance, Indicator(norms, kNormRoadIlluminance, false), 3, "{%.0f}", "{%.0f*}"},
              {"{Максимальная, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}", 5, "{E\\dn3\\fs15 макс\\up0\\fs20}", 2,
               maximum, illuminance, Pair(norms, norms ? norms->roadMaximum : kNone, false), 2, "{%.0f}",
               "{%.0f*}"},
              {"{Минимальная, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}", 5, "{E\\dn3\\fs15 мин\\up0\\fs20}", 2,
               minimum, {"{%.1f}", "{%.1f}", "{%.1f}"}, {}, 2, "", ""},
              {"{Коэффициент равномерности     }", 3,
               "{E\\dn3\\fs15 мин\\up0\\fs20 /E\\dn3\\fs15 ср\\up0\\fs20}", 1, RatioOrZero(minimum, average),
               {"{%.2f  }", "{%.2f    (+)}", "{%.2f    (-)}"},
               Pair(norms, norms ? norms->roadUniformity : kNone, false), 2, "{%.2f}", "{%.2f*}"},
              {"{Отношение максимальной к средней     }", 2,
               "{E\\dn3\\fs15 макс\\up0\\fs20 /Е\\dn3\\fs15 ср\\up0\\fs20}", 1, RatioOrZero(maximum, average),
               {"{%.1f  }", "{%.1f    (+)}", "{%.1f    (-)}"}, Indicator(norms, kNormRoadMaxToAverage, true), 2,
               ratioForm ? "{%.0f:1}" : "{%.0f}", ratioForm ? "{%.0f:1*}" : "{%.0f*}"}});
    RowGroup("{Другие показатели}",
             {{"{Показатель ослепленности, %}   ", 3, "{P}", 2, r.lumSummary[4],
               {"{%.0f}", "{%.0f     (+)}", "{%.0f     (-)}"}, Indicator(norms, kNormGlareIndex, true), 2, "{%.0f}",
               "{%.0f*}"},
              {"{Пороговое приращение яркости, %}", 3, "{TI}", 2, r.lumSummary[3],
               {"{%.1f}", "{%.1f     (+)}", "{%.1f     (-)}"},
               Pair(norms, norms ? norms->thresholdIncrement : kNone, true), 2, "{%.1f}", "{%.1f*}"},
              {"{Коэффициент использования по освещенности    }", 1, "{U\\dn3\\fs11 E\\dn3\\fs15  \\up0\\fs20}", 2,
               r.utilWhole, {"{%.2f}", "{%.2f}", "{%.2f}"}, {}, 2, "", ""}});
  }

  void Sidewalk(const char* heading, const float (&five)[5], float semiCylindrical, float utilisation)
  {
    const double average = five[0];
    const double minimum = five[1];
    const double maximum = five[2];
    const bool ratioForm = norms != nullptr && norms->normDocumentId == 1;
    const ValueFormats illuminance{"{%.1f}", "{%.1f     (+)}", "{%.1f     (-)}"};
    ZoneHeading(heading);
    const SummaryRow rows[] = {
        {"{Средняя гор. освещенность, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}", 3, "{E\\dn3\\fs15 ср\\up0\\fs20}", 2,
         average, illuminance, Indicator(norms, kNormSidewalkIlluminance, false), 2, "{%.0f}", "{%.0f*}"},
        {"{Макс. гор. освещенность, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}", 4, "{E\\dn3\\fs15 макс\\up0\\fs20}",
         2, maximum, illuminance, Pair(norms, norms ? norms->sidewalkMaximum : kNone, false), 2, "{%.0f}",
         "{%.0f*}"},
        {"{Мин. гор. освещенность, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}", 4, "{E\\dn3\\fs15 мин\\up0\\fs20}", 2,
         minimum, {"{%.1f}", "{%.1f}", "{%.1f}"}, {}, 2, "", ""},
        {"{Коэффициент равномерности          }", 3, "{E\\dn3\\fs15 мин\\up0\\fs20 /E\\dn3\\fs15 ср\\up0\\fs20}", 1,
         RatioOrZero(minimum, average), {"{%.2f  }", "{%.2f     (+)}", "{%.2f     (-)}"},
         Pair(norms, norms ? norms->sidewalkUniformity : kNone, false), 2, "{%.2f}", "{%.2f*}"},
        {"{Отношение макс. освещенности к средней}", 2,
         "{E\\dn3\\fs15 макс\\up0\\fs20 /Е\\dn3\\fs15 ср\\up0\\fs20}", 1, RatioOrZero(maximum, average),
         {"{%.1f  }", "{%.1f     (+)}", "{%.1f     (-)}"}, Indicator(norms, kNormSidewalkMaxToAverage, true), 2,
         ratioForm ? "{%.0f:1}" : "{%.0f}", ratioForm ? "{%.0f:1*}" : "{%.0f*}"},
        {"{Средняя полуцилиндр. освещенность, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20      }", 2,
         "{E\\dn3\\fs15 пц, мин\\up0\\fs20}", 2, semiCylindrical, {"{%.1f}", "{%.1f}", "{%.1f}"}, {}, 2, "", ""},
        {"{Коэффициент использования по освещенности    }", 1, "{U\\dn3\\fs11 E\\dn3\\fs15  \\up0\\fs20}", 2,
         utilisation, {"{%.2f}", "{%.2f}", "{%.2f}"}, {}, 2, "", ""}};
    for (const SummaryRow& row : rows) {
      Row(row);
    }
    w.EndParagraph();
  }

  void Wall(const char* heading, float maximum)
  {
    ZoneHeading(heading);
    Row({"{Макс. освещенность, \\up0\\fs20 лк\\up4\\fs15  \\up0\\fs20}", 4, "{E\\dn3\\fs15 макс\\up0\\fs20}", 2,
         maximum, {"{%.1f  }", "{%.1f     (+)}", "{%.1f     (-)}"}, Indicator(norms, kNormWallMaximum, true), 2,
         "{%.1f}", "{%.1f*}"});
    w.EndParagraph();
  }

  static constexpr double kNone[2] = {-1, -1};

  CProtocolFrame& f;
  CRTFWriter& w;
  const _STANDARDS_OF_ROAD* norms;
  CNormCells cells;
};

}  // namespace

bool WriteStraightRoadSummary(CProtocolFrame& frame)
{
  if (!frame.ItemOn(kItemSummary) || !frame.results) {
    return false;
  }
  const _CALC_RESULTS& r = *frame.results->GetData();
  CRTFWriter& w = frame.writer;
  Summary summary(frame);
  frame.AddContent(0, "{Сводные данные}", 0, 10, frame.CurrentPage(), 2);
  w.SetColours(kResetColours, 0);
  w.WriteLineBreaks(2);
  w.BeginParagraph(0);
  w.SetFont(2, 25, 1);
  w.SetColours(5, 4);
  w.WriteText("{Результаты расчета}");
  w.WriteTabs(1);
  w.WriteText("{Сводные данные }");
  w.WriteTabs(6);
  w.EndParagraph();
  w.WriteLineBreaks(1);
  w.SetColours(kResetColours, 0);
  w.SetFont(2, 20, 1);
  w.WriteTabs(9);
  w.WriteText("{Расчет}");
  if (frame.hasNorms) {
    w.WriteTabs(2);
    w.WriteText("{          Норма}");
  }
  w.WriteLineBreaks(1);
  w.SetFont(2, 20, 0);
  if (frame.hasNorms) {
    w.WriteTabs(8);
    w.WriteText("{       (Соответствие)}");
    if (summary.norms->normDocumentId == 1) {
      w.WriteTabs(1);
      w.WriteText("{       (с изм.)}");
    }
  }
  w.WriteLineBreaks(1);

  if (frame.roadShown) {
    summary.Carriageway(r);
  }
  ModelRef<IPavement> sidewalks(frame.area.get(), IID_IPavement);
  if (frame.sidewalksShown) {
    if (StripOn(sidewalks.get(), IID_RightPavement)) {
      summary.Sidewalk("{По тротуару (правый)}", r.sumRightWalk, r.escMinRightWalk, r.utilRightWalk);
    }
    if (StripOn(sidewalks.get(), IID_LeftPavement)) {
      summary.Sidewalk("{По тротуару (левый)}", r.sumLeftWalk, r.escMinLeftWalk, r.utilLeftWalk);
    }
  }
  ModelRef<IWall> walls(frame.area.get(), IID_IWall);
  if (frame.wallsShown) {
    if (StripOn(walls.get(), IID_RightWall)) {
      summary.Wall("{По стене здания (правая)}", r.evMaxRightWall);
    }
    if (StripOn(walls.get(), IID_LeftWall)) {
      summary.Wall("{По стене здания (левая)}", r.evMaxLeftWall);
    }
  }
  summary.cells.Footnote();
  w.NewPage();
  return true;
}

bool CStraightRoadSections::Summary(CProtocolFrame& frame)
{
  if (frame.ItemOn(kItemResults)) {
    frame.AddContent(0, "{Результаты расчета}", 1, 0, 0, 2);
  }
  return WriteStraightRoadSummary(frame);
}

void CStraightRoadSections::EconomicSection(CProtocolFrame& frame)
{
  WriteEconomicSection(frame.document, frame.writer);
}

void COpenSiteSections::EconomicSection(CProtocolFrame& frame)
{
  WriteEconomicSection(frame.document, frame.writer);
}
