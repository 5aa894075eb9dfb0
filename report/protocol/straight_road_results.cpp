// The result sections of the straight-road protocol: carriageway luminance per observer, carriageway and
// sidewalk illuminance, semi-cylindrical illuminance of the sidewalks and vertical illuminance of the walls. Each
// holds its pictures, the values at the normative nodes of the grid and its output data against the norms.
#include "report/protocol/protocol_sections.h"

#include "graphics/core/model_ref.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/standards.h"
#include "report/protocol/norm_cell.h"
#include "report/rtf/rtf_writer.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kResetColours = 8;
constexpr int kGrey = 6;
constexpr int kRowsPerPage = 38;

constexpr int kItemObserverCurrentOnly = 206;

// The report items of one kind of result section.
struct SectionItems {
  int isolines, filled, nodeValues, falseColours, table;
};
constexpr SectionItems kLuminanceItems{208, 209, 210, 700, 211};
constexpr SectionItems kIlluminanceItems{308, 309, 310, 701, 311};
constexpr SectionItems kSemiCylindricalItems{408, 409, 410, 702, 411};
constexpr SectionItems kWallItems{508, 509, 510, 703, 511};
constexpr int kItemLuminance = 205;
constexpr int kItemIlluminance = 305;
constexpr int kItemSemiCylindrical = 405;
constexpr int kItemWalls = 505;

constexpr DWORD kRoadPicture = 0x1001;
constexpr DWORD kSidewalkPicture = 0x11001;
constexpr DWORD kRightWallPicture = 0x4001;
constexpr DWORD kLeftWallPicture = 0x8001;

CString Format(const char* format, double value)
{
  CString text;
  text.Format(format, value);
  return text;
}

// One part of a zone's grid: its transverse coordinates and values (longitudinal index major).
struct GridPart {
  std::uint32_t count = 0;
  const float* coordinates = nullptr;
  const float* values = nullptr;
  float minimum = 0, maximum = 0;
  bool marksExtremes = false;
};

// Indices i = (2k + 1) x factor below `count`: the normative nodes among the grid's.
std::vector<std::uint32_t> NormativeNodes(std::uint32_t count, int factor)
{
  std::vector<std::uint32_t> nodes;
  if (factor <= 0) {
    return nodes;
  }
  for (std::uint64_t i = static_cast<std::uint64_t>(factor); i < count; i += 2 * static_cast<std::uint64_t>(factor)) {
    nodes.push_back(static_cast<std::uint32_t>(i));
  }
  return nodes;
}

class ResultWriter {
public:
  explicit ResultWriter(CProtocolFrame& frame)
      : f(frame), w(frame.writer), r(*frame.results->GetData()),
        norms(frame.hasNorms ? frame.norms->GetRecord() : nullptr)
  {
  }

  int PictureItemsOn(const SectionItems& items) const
  {
    return (f.ItemOn(items.isolines) ? 1 : 0) + (f.ItemOn(items.filled) ? 1 : 0) +
           (f.ItemOn(items.falseColours) ? 1 : 0);
  }

  void Caption(const SectionItems& items, const char* singular, const char* plural, int tabs)
  {
    const int on = PictureItemsOn(items);
    if (on == 0) {
      return;
    }
    f.SubHeading(on == 1 ? singular : plural, tabs);
    // The caption stays on the page of its first picture.
    w.KeepWithNext();
    w.EndParagraph();
    w.BeginParagraph(0);
    w.KeepWithNext();
    w.EndParagraph();
  }

  // Isolines, filled areas (with node values when asked), false colours; answers how many were written.
  int Pictures(CPictureSection& pictures, const SectionItems& items, DWORD viewMode, int quantity)
  {
    int written = 0;
    if (f.ItemOn(items.isolines)) {
      pictures.Picture(viewMode, 0, quantity, 600, 700, nullptr);
      ++written;
    }
    if (f.ItemOn(items.filled)) {
      pictures.Picture(viewMode, f.ItemOn(items.nodeValues) ? 2 : 1, quantity, 600, 700, nullptr);
      ++written;
    }
    if (f.ItemOn(items.falseColours)) {
      pictures.Picture(viewMode, 3, quantity, 600, 700, nullptr);
      ++written;
    }
    return written;
  }

  void TableHeading(std::initializer_list<const char*> texts, int tabs)
  {
    w.BeginParagraph(0);
    w.SetFont(2, 22, 1);
    w.SetColours(kGrey, 0);
    for (const char* text : texts) {
      w.WriteText(text);
    }
    w.WriteTabs(tabs);
    w.EndParagraph();
    w.SetColours(kResetColours, 0);
    w.WriteLineBreaks(1);
    f.BodyText();
  }

  // The node table: the normative nodes of the parts, written in groups of node columns that fit the page. `greyRow` is the
  // first part's shown node whose row is highlighted (the observer's lane axis), -1 for none.
  void NodeTable(const float* longitudinal, std::uint32_t longitudinalCount, int longitudinalFactor,
                 int transverseFactor, const GridPart& first, const GridPart* second, const char* valueFormat,
                 const char* boldFormat, int greyRow)
  {
    const std::vector<std::uint32_t> columns = NormativeNodes(longitudinalCount, longitudinalFactor);
    const std::vector<std::uint32_t> firstRows = NormativeNodes(first.count, transverseFactor);
    const std::vector<std::uint32_t> secondRows =
        second != nullptr ? NormativeNodes(second->count, transverseFactor) : std::vector<std::uint32_t>();

    CRTFColumn layout;
    layout.AddColumn(1000, 0);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      layout.AddColumn(600, 0);
    }
    CRTFRowList rows;
    const int rowCount =
        static_cast<int>(firstRows.size() + (second != nullptr ? secondRows.size() + 1 : 0)) + 1;
    for (int i = 0; i < rowCount; ++i) {
      rows.AddRow();
    }
    CRTFCellGrid grid(rows, layout);
    int row = 0;
    auto fill = [&](const GridPart& part, const std::vector<std::uint32_t>& shown, bool bold) {
      for (auto j = shown.rbegin(); j != shown.rend(); ++j, ++row) {
        grid.SetCell(Format(" %.2f", part.coordinates[*j]), 0, row);
        for (std::size_t c = 0; c < columns.size(); ++c) {
          const float value = part.values[static_cast<std::size_t>(columns[c]) * part.count + *j];
          const bool extreme = bold && part.marksExtremes && (value == part.minimum || value == part.maximum);
          grid.SetCell(Format(extreme ? boldFormat : valueFormat, value), static_cast<int>(c) + 1, row);
        }
      }
    };
    if (second != nullptr) {
      fill(*second, secondRows, false);
      ++row;  // the empty row between the parts
    }
    fill(first, firstRows, true);
    const int bottom = row;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      grid.SetCell(Format(" %.2f", longitudinal[columns[c]]), static_cast<int>(c) + 1, bottom);
    }
    // The highlighted row counted from the bottom of the first part.
    const int highlighted =
        greyRow >= 0 && static_cast<std::size_t>(greyRow) < firstRows.size() ? bottom - 1 - greyRow : -1;

    const int groups = columns.empty() ? 1 : static_cast<int>((columns.size() + kNodeColumnsPerBlock - 1) /
                                                              kNodeColumnsPerBlock);
    w.TabStops(kNodeCoordinateTwips, kNodeColumnTwips, kNodeColumnsPerBlock + 1);
    int written = 0;
    for (int g = 0; g < groups; ++g) {
      if (g > 0 && written + rowCount > kRowsPerPage) {
        w.NewPage();
        w.WriteLineBreaks(2);
        written = 0;
      }
      const int from = 1 + g * kNodeColumnsPerBlock;
      const int to = std::min(from + kNodeColumnsPerBlock, layout.GetCount());
      for (int i = 0; i < rowCount; ++i) {
        if (i == bottom) {
          w.WriteLineBreaks(1);
        }
        if (i == highlighted) {
          w.SetColours(kGrey, 0);
          w.WriteText("{ }");
        } else {
          w.SetColours(kResetColours, 0);
        }
        w.SetFont(2, 20, 1);
        // The coordinate column, then this group's node columns; only the coordinate row stays bold.
        w.WriteText("{" + grid.GetCell(i, 0) + "}");
        w.WriteTabs(1);
        if (i != bottom) {
          w.SetFont(2, 20, 0);
        }
        for (int c = from; c < to; ++c) {
          w.WriteText("{" + grid.GetCell(i, c) + "}");
          w.WriteTabs(1);
        }
        w.WriteLineBreaks(1);
      }
      w.WriteLineBreaks(1);
      written += rowCount;
    }
  }

  // One column of the output data.
  struct Column {
    const char* heading;
    int headingTabs;  // after the heading
    double value;
    const char* valueFormat;
    NormValue norm;
    double judged;  // what the mark judges
    const char* signFormat;
    const char* normPlain;
    const char* normChanged;
  };

  void OutputHeading(const char* text, int tabs)
  {
    w.BeginParagraph(0);
    w.SetFont(2, 22, 1);
    w.SetColours(kGrey, 0);
    w.WriteText(text);
    w.WriteTabs(tabs);
    w.EndParagraph();
    w.WriteLineBreaks(1);
    w.BeginParagraph(0);
    w.SetFont(2, 20, 1);
    w.SetColours(kResetColours, 0);
  }

  // The rows of calculated values, norms and marks; `units` are texts and tab counts as they stand.
  void OutputData(CNormCells& cells, const std::vector<Column>& columns,
                  const std::vector<std::pair<const char*, int>>& units, int tabsAfterValue)
  {
    for (const Column& c : columns) {
      w.WriteText(c.heading);
      w.WriteTabs(c.headingTabs);
    }
    w.WriteLineBreaks(1);
    for (const auto& [unit, tabs] : units) {
      w.WriteText(unit);
      w.WriteTabs(tabs);
    }
    w.SetColours(kResetColours, 0);
    w.SetFont(2, 20, 0);
    w.WriteLineBreaks(2);

    w.WriteText("{Расчет}");
    w.WriteLineBreaks(1);
    w.SetColours(kGrey, 0);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      w.WriteText(Format(columns[i].valueFormat, columns[i].value));
      w.WriteTabs(tabsAfterValue > 0 ? tabsAfterValue : (i + 1 < columns.size() ? 2 : 1));
    }
    w.SetColours(kResetColours, 0);

    // The semi-cylindrical output has no norm column at all, and then no norm and mark rows.
    const bool normColumns =
        std::any_of(columns.begin(), columns.end(), [](const Column& c) { return c.signFormat != nullptr; });
    if (!f.hasNorms || !normColumns) {
      return;
    }
    auto tabsBefore = [&](std::size_t i) { return tabsAfterValue > 0 ? 0 : (i > 0 ? 2 : 0); };
    w.WriteLineBreaks(2);
    w.WriteText("{Норма}");
    w.WriteLineBreaks(1);
    w.SetColours(kGrey, 0);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const Column& c = columns[i];
      w.WriteTabs(tabsBefore(i));
      if (c.signFormat != nullptr) {
        cells.Norm(0, c.norm, c.signFormat, c.normPlain, c.normChanged);
      }
      w.WriteTabs(tabsAfterValue);
    }
    w.SetColours(kResetColours, 0);

    w.WriteLineBreaks(2);
    w.WriteText("{Соответствие}");
    w.WriteLineBreaks(1);
    w.SetFont(2, 20, 0);
    w.SetColours(kGrey, 0);
    bool first = true;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const Column& c = columns[i];
      w.WriteTabs(tabsBefore(i));
      if (c.signFormat != nullptr && cells.Applies(c.norm)) {
        if (first) {
          w.WriteText("{ }");
          first = false;
        }
        w.WriteText(cells.Value(c.judged, c.norm, {"", "{ (+)}", "{ (-)}"}));
      }
      w.WriteTabs(tabsAfterValue);
    }
    w.SetColours(kResetColours, 0);
  }

  NormValue Indicator(int index, bool upper) const
  {
    return norms != nullptr ? NormValue{norms->effectiveValues[index], norms->documentValues[index], upper}
                            : NormValue{-1, -1, upper};
  }
  NormValue Pair(const double (&pair)[2], bool upper) const { return {pair[1], pair[0], upper}; }
  bool RatioForm() const { return norms != nullptr && norms->normDocumentId == 1; }

  // The illuminance columns of the carriageway or of one sidewalk strip.
  std::vector<Column> IlluminanceColumns(const float* five, float utilisation, bool braced, bool sidewalk) const
  {
    const double average = five[0], minimum = five[1], maximum = five[2];
    const NormValue none{-1, -1, false};
    const NormValue averageNorm = Indicator(sidewalk ? kNormSidewalkIlluminance : kNormRoadIlluminance, false);
    const NormValue maximumNorm =
        norms != nullptr ? Pair(sidewalk ? norms->sidewalkMaximum : norms->roadMaximum, false) : none;
    const NormValue uniformityNorm =
        norms != nullptr ? Pair(sidewalk ? norms->sidewalkUniformity : norms->roadUniformity, false) : none;
    NormValue ratioNorm = Indicator(sidewalk ? kNormSidewalkMaxToAverage : kNormRoadMaxToAverage, true);
    const double minToAverage = RatioOrZero(minimum, average);
    const double maxToAverage = RatioOrZero(maximum, average);
    const char* one = braced ? "{ %0.1f}" : " %0.1f";
    const char* two = braced ? "{ %0.2f}" : " %0.2f";
    return {
        {braced ? "{ E\\dn3\\fs15\\b ср\\up0\\fs20 }" : " E\\dn3\\fs15\\b ср\\up0\\fs20 ", 2, average,
         braced ? "{ %0.1f}" : "  %0.1f", averageNorm, average, "{ %c}", "{ %.0f}", "{ %.0f*}"},
        {braced ? "{ E\\dn3\\fs15\\b макс\\up0\\fs20 }" : " E\\dn3\\fs15\\b макс\\up0\\fs20 ", 2, maximum, one,
         maximumNorm, maximum, "{ %c}", "{ %.0f}", "{ %.0f*}"},
        {braced ? "{ E\\dn3\\fs15\\b мин\\up0\\fs20 }" : " E\\dn3\\fs15\\b мин\\up0\\fs20 ", 2, minimum, one, none,
         minimum, nullptr, nullptr, nullptr},
        {braced ? "{ E\\dn3\\fs15\\b мин\\up0\\fs20 /E\\dn3\\fs15 ср\\up0\\fs20  }"
                : " E\\dn3\\fs15\\b мин\\up0\\fs20 /E\\dn3\\fs15 ср\\up0\\fs20  ",
         1, five[3], two, uniformityNorm, minToAverage, "{%c}", "{%.2f}", "{%.2f*}"},
        {braced ? "{ E\\dn3\\fs15\\b мин\\up0\\fs20 /E\\dn3\\fs15 макс\\up0\\fs20 }"
                : " E\\dn3\\fs15\\b мин\\up0\\fs20 /E\\dn3\\fs15 макс\\up0\\fs20 ",
         1, five[4], two, none, five[4], nullptr, nullptr, nullptr},
        {braced ? "{ E\\dn3\\fs15\\b макс\\up0\\fs20 /E\\dn3\\fs15 ср\\up0\\fs20 }"
                : " E\\dn3\\fs15\\b макс\\up0\\fs20 /E\\dn3\\fs15 ср\\up0\\fs20 ",
         1, maxToAverage, one, ratioNorm, maxToAverage, "{%c}", RatioForm() ? "{%.0f:1}" : "{%.0f}",
         RatioForm() ? "{%.0f:1*}" : "{%.0f*}"},
        {braced ? "{ U\\dn3\\fs11 E\\dn3\\fs15  \\up0\\fs20 }" : " U\\dn3\\fs11 E\\dn3\\fs15  \\up0\\fs20 ", 1,
         utilisation, " %0.2f", none, utilisation, nullptr, nullptr, nullptr},
    };
  }

  std::vector<std::pair<const char*, int>> IlluminanceUnits(bool braced) const
  {
    return {{braced ? "{   лк}" : "   лк", 2}, {braced ? "{ лк}" : " лк", 2}, {braced ? "{ лк}" : " лк", 6}};
  }

  CProtocolFrame& f;
  CRTFWriter& w;
  _CALC_RESULTS& r;
  const _STANDARDS_OF_ROAD* norms;
};

// Ends a section's pictures: a page break after them, and the heading again when the table follows.
template <class Heading>
void AfterPictures(CProtocolFrame& f, int pictures, bool table, Heading heading)
{
  if (pictures > 0) {
    f.writer.NewPage();
    if (table) {
      heading();
    }
  }
}

ModelRef<ILineOfRoad> StripOn(IModelUnknown* owner, const IID& side)
{
  ModelRef<ILineOfRoad> strip(owner, side);
  if (strip && *strip->GetState() == 0) {
    return {};
  }
  return strip;
}

void Luminance(CProtocolFrame& f)
{
  if (!f.roadShown || !f.ItemOn(kItemLuminance)) {
    return;
  }
  ResultWriter rw(f);
  CRTFWriter& w = f.writer;
  _CALC_RESULTS& r = rw.r;
  f.AddContent(0, "{По проезжей части}", 0, 10, 0, 1);
  f.AddContent(1, "{Яркость:}", 0, 10, 0, 1);
  ModelRef<IRoad> road(f.area.get(), IID_IRoad);
  const bool secondPart = road && road->IsTwoWay() != 0 && road->GetOppositeState() == 0 && r.nOpp > 0;

  std::uint32_t first = 0, last = r.nObservers;
  if (f.ItemState(kItemObserverCurrentOnly) == 4) {
    // The observer the view shows, which the user may have chosen over the worst one.
    first = r.shownObserver >= 0 ? static_cast<std::uint32_t>(r.shownObserver) : r.nObservers;
    last = first < r.nObservers ? first + 1 : first;
  }
  CPictureSection pictures(f, CPictureSection::Kind::Results);
  const bool table = f.ItemOn(kLuminanceItems.table) != 0;
  for (std::uint32_t k = first; k < last; ++k) {
    CString entry;
    entry.Format("{для наблюдателя: %u}", k + 1);
    f.AddContent(2, entry, 0, 8, f.CurrentPage(), 1);
    r.shownObserver = static_cast<int>(k);
    CString heading;
    heading.Format("{Яркость для наблюдателя %u}", k + 1);
    auto bar = [&] { f.SectionHeading({"{Результаты расчета}", "\\tab", "{По проезжей части}", "\\tab", heading}); };
    bar();
    rw.Caption(kLuminanceItems, "{График распределения яркости }", "{Графики распределения яркости}", 8);
    CPictureSection observerPictures(f, CPictureSection::Kind::Results);
    const int written = rw.Pictures(observerPictures, kLuminanceItems, kRoadPicture, 0);
    observerPictures.Restore();
    r.shownObserver = static_cast<int>(k);
    AfterPictures(f, written, table, bar);
    if (table) {
      rw.TableHeading({"{Таблица значений яркости }", "{ \\up0\\fs22 (кд/м\\up4\\fs15 2\\up0\\fs22 )}",
                       "{ в узлах расчетной сетки  }"},
                      4);
      const std::size_t grid = static_cast<std::size_t>(r.nX) * r.nRoad;
      GridPart main{r.nRoad, r.yRoad, r.lumObserver + k * grid, r.obsLumMin[k], r.obsLumMax[k], true};
      GridPart opposite;
      if (secondPart && k < r.nObserversOpp && r.lumObserverOpp != nullptr) {
        opposite = {r.nOpp, r.yOpp, r.lumObserverOpp + static_cast<std::size_t>(k) * r.nX * r.nOpp, 0, 0, false};
      }
      rw.NodeTable(r.xs, r.nX, r.header1, r.header3, main, opposite.values != nullptr ? &opposite : nullptr,
                   " %.2f", "\\b  %.2f\\b0", static_cast<int>(3 * k + 1));
      w.SetFont(2, 20, 1);
      w.WriteText("{Примечание. }");
      w.SetFont(2, 20, 0);
      w.WriteText("{Серым цветом выделена ось полосы движения, на которой находится наблюдатель}");
      w.WriteLineBreaks(2);
      w.EndParagraph();

      CNormCells cells(w, f.hasNorms);
      rw.OutputHeading("Выходные данные  ", 10);
      const NormValue none{-1, -1, false};
      const NormValue threshold = rw.norms != nullptr ? rw.Pair(rw.norms->thresholdIncrement, true) : none;
      rw.OutputData(cells,
                    {{" L\\dn3\\fs15\\b ср\\up0\\fs20 ", 2, r.obsLumAvg[k], "  %0.2f",
                      rw.Indicator(kNormRoadLuminance, false), r.obsLumAvg[k], "{ %c}", "{ %.1f}", "{ %.1f*}"},
                     {" L\\dn3\\fs15\\b макс\\up0\\fs20 ", 2, r.obsLumMax[k], " %0.2f", none, 0, nullptr, nullptr,
                      nullptr},
                     {" L\\dn3\\fs15\\b мин\\up0\\fs20 ", 2, r.obsLumMin[k], " %0.2f", none, 0, nullptr, nullptr,
                      nullptr},
                     {" L\\dn3\\fs15\\b мин\\up0\\fs20 /L\\dn3\\fs15 ср\\up0\\fs20  ", 1, r.obsUniformity[k],
                      " %0.2f", rw.Indicator(kNormOverallUniformity, false), r.obsUniformity[k], "{%c}", "{%.1f}",
                      "{%.1f*}"},
                     {" L\\dn3\\fs15\\b мин\\up0\\fs20 /L\\dn3\\fs15 макс\\up0\\fs20 ", 1, r.obsLongUniformity[k],
                      " %0.2f", rw.Indicator(kNormLongitudinalUniformity, false), r.obsLongUniformity[k], "{%c}",
                      "{%.1f}", "{%.1f*}"},
                     {" TI", 2, r.obsThreshold[k], " %0.1f", threshold, r.obsThreshold[k], "{%c}", "{%.1f}",
                      "{%.1f*}"},
                     {" P", 0, r.obsGlare[k], " %.0f", rw.Indicator(kNormGlareIndex, true), r.obsGlare[k], "{%c}",
                      "{%.0f}", "{%.0f*}"}},
                    {{" \\up0\\fs20  кд/м\\up4\\fs15 2\\up0\\fs20", 2},
                     {" \\up0\\fs20 кд/м\\up4\\fs15 2\\up0\\fs20", 2},
                     {" \\up0\\fs20 кд/м\\up4\\fs15 2\\up0\\fs20", 6},
                     {" %", 0},
                     {"  ", 0}},
                    0);
      cells.Footnote();
      w.EndParagraph();
      w.NewPage();
    } else if (written == 0) {
      w.NewPage();
    }
  }
  CProtocolFrame::Progress(70);
}

void CarriagewayIlluminance(CProtocolFrame& f)
{
  if (!f.roadShown || !f.ItemOn(kItemIlluminance)) {
    return;
  }
  ResultWriter rw(f);
  CRTFWriter& w = f.writer;
  _CALC_RESULTS& r = rw.r;
  f.AddContent(1, "{Освещенность}", 0, 10, f.CurrentPage(), 1);
  CPictureSection pictures(f, CPictureSection::Kind::Results);
  auto bar = [&] {
    f.SectionHeading({"{Результаты расчета}", "\\tab", "{По проезжей части}", "\\tab", "{Освещенность}",
                      "\\tab\\tab\\tab"});
  };
  bar();
  rw.Caption(kIlluminanceItems, "{График распределения освещенности }", "{Графики распределения освещенности}", 7);
  const int written = rw.Pictures(pictures, kIlluminanceItems, kRoadPicture, 1);
  const bool table = f.ItemOn(kIlluminanceItems.table) != 0;
  AfterPictures(f, written, table, bar);
  if (table) {
    ModelRef<IRoad> road(f.area.get(), IID_IRoad);
    const bool secondPart = road && road->IsTwoWay() != 0 && road->GetOppositeState() == 0 && r.nOpp > 0;
    rw.TableHeading({"{Таблица значений освещенности (лк) в узлах расчетной сетки}"}, 4);
    const GridPart main{r.nRoad, r.yRoad, r.eRoad, r.sumRoad[1], r.sumRoad[2], true};
    const GridPart opposite{r.nOpp, r.yOpp, r.eOpp, 0, 0, false};
    rw.NodeTable(r.xs, r.nX, r.header1, r.header3, main, secondPart && r.eOpp != nullptr ? &opposite : nullptr,
                 " %.1f", "\\b  %.1f\\b0", -1);
    CNormCells cells(w, f.hasNorms);
    rw.OutputHeading("Выходные данные  ", 10);
    rw.OutputData(cells, rw.IlluminanceColumns(r.sumWhole, r.utilWhole, false, false), rw.IlluminanceUnits(false),
                  0);
    cells.Footnote();
    w.EndParagraph();
    w.NewPage();
  }
  CProtocolFrame::Progress(80);
}

// The sidewalks' sections switch the carriageway off while they run, so that their pictures show the sidewalks.
class CarriagewayHidden {
public:
  explicit CarriagewayHidden(CProtocolFrame& f) : m_road(f.area.get(), IID_IRoad)
  {
    if (f.roadShown && m_road) {
      m_saved = *m_road->GetState();
      const int hidden = m_saved & ~1;
      m_road->SetState(&hidden);
      m_hidden = true;
    }
  }
  ~CarriagewayHidden()
  {
    if (m_hidden) {
      m_road->SetState(&m_saved);
    }
  }
  CarriagewayHidden(const CarriagewayHidden&) = delete;
  CarriagewayHidden& operator=(const CarriagewayHidden&) = delete;

private:
  ModelRef<IRoad> m_road;
  int m_saved = 0;
  bool m_hidden = false;
};

struct SidewalkStrip {
  const char* output;
  const float* five;
  const float* values;
  const float* semiCylindrical;
  float semiCylindricalMinimum;
  std::uint32_t count;
  const float* coordinates;
  float utilisation;
};

// The strips on, the right first.
std::vector<SidewalkStrip> SidewalkStrips(CProtocolFrame& f, _CALC_RESULTS& r)
{
  std::vector<SidewalkStrip> strips;
  if (!f.sidewalksShown) {
    return strips;
  }
  ModelRef<IPavement> sidewalks(f.area.get(), IID_IPavement);
  if (StripOn(sidewalks.get(), IID_RightPavement) && r.nRightWalk > 0) {
    strips.push_back({"{Выходные данные для тротуара (правый)}", r.sumRightWalk, r.eRightWalk, r.escRightWalk,
                      r.escMinRightWalk, r.nRightWalk, r.yRightWalk, r.utilRightWalk});
  }
  if (StripOn(sidewalks.get(), IID_LeftPavement) && r.nLeftWalk > 0) {
    strips.push_back({"{Выходные данные для тротуара (левый)}", r.sumLeftWalk, r.eLeftWalk, r.escLeftWalk,
                      r.escMinLeftWalk, r.nLeftWalk, r.yLeftWalk, r.utilLeftWalk});
  }
  return strips;
}

bool SidewalkIlluminance(CProtocolFrame& f)
{
  ResultWriter rw(f);
  _CALC_RESULTS& r = rw.r;
  const std::vector<SidewalkStrip> strips = SidewalkStrips(f, r);
  if (!f.ItemOn(kItemIlluminance) || strips.empty()) {
    return false;
  }
  CRTFWriter& w = f.writer;
  f.AddContent(0, "{По тротуару}", 0, 10, 0, 1);
  f.AddContent(1, "{Освещенность:}", 0, 10, 0, 1);
  f.AddContent(2, "{горизонтальная}", 0, 9, f.CurrentPage(), 1);
  CarriagewayHidden hidden(f);
  CPictureSection pictures(f, CPictureSection::Kind::Results);
  auto bar = [&] {
    f.SectionHeading({"{Результаты расчета}", "\\tab", "{По тротуару}", "\\tab", "{Освещенность горизонтальная}",
                      "\\tab"});
  };
  bar();
  rw.Caption(kIlluminanceItems, "{График распределения освещенности }", "{Графики распределения освещенности}", 7);
  const int written = rw.Pictures(pictures, kIlluminanceItems, kSidewalkPicture, 1);
  const bool table = f.ItemOn(kIlluminanceItems.table) != 0;
  AfterPictures(f, written, table, bar);
  if (table) {
    rw.TableHeading({"{Таблица значений освещенности (лк) в узлах расчетной сетки}"}, 4);
    const SidewalkStrip& a = strips[0];
    const GridPart first{a.count, a.coordinates, a.values, a.five[1], a.five[2], true};
    GridPart second;
    if (strips.size() > 1) {
      second = {strips[1].count, strips[1].coordinates, strips[1].values, 0, 0, false};
    }
    rw.NodeTable(r.xs, r.nX, r.header1, r.header2, first, strips.size() > 1 ? &second : nullptr, " %.1f",
                 "\\b  %.1f\\b0", -1);
    CNormCells cells(w, f.hasNorms);
    for (std::size_t i = 0; i < strips.size(); ++i) {
      if (i > 0) {
        w.WriteLineBreaks(2);
      }
      rw.OutputHeading(strips[i].output, 7);
      rw.OutputData(cells, rw.IlluminanceColumns(strips[i].five, strips[i].utilisation, true, true),
                    rw.IlluminanceUnits(true), 0);
    }
    cells.Footnote();
    w.EndParagraph();
    w.NewPage();
  }
  CProtocolFrame::Progress(90);
  return true;
}

void SemiCylindrical(CProtocolFrame& f, bool sidewalkEntries)
{
  ResultWriter rw(f);
  _CALC_RESULTS& r = rw.r;
  const std::vector<SidewalkStrip> strips = SidewalkStrips(f, r);
  if (!f.ItemOn(kItemSemiCylindrical) || strips.empty()) {
    return;
  }
  CRTFWriter& w = f.writer;
  if (!sidewalkEntries) {
    f.AddContent(0, "{По тротуару}", 0, 10, 0, 1);
    f.AddContent(1, "{Освещенность:}", 0, 10, 0, 1);
  }
  f.AddContent(2, "{полуцилиндрическая освещенность}", 0, 6, f.CurrentPage(), 1);
  CarriagewayHidden hidden(f);
  CPictureSection pictures(f, CPictureSection::Kind::Results);
  auto bar = [&] {
    f.SectionHeading({"{Результаты расчета}", "\\tab", "{По тротуару}", "{     }", "{Освещенность полуцилиндрическая }"});
  };
  bar();
  rw.Caption(kSemiCylindricalItems, "{График распределения полуцилиндрической освещенности  }",
             "{Графики распределения полуцилиндрической освещенности  }", 4);
  const int written = rw.Pictures(pictures, kSemiCylindricalItems, kRoadPicture, 2);
  const bool table = f.ItemOn(kSemiCylindricalItems.table) != 0;
  AfterPictures(f, written, table, bar);
  if (table) {
    rw.TableHeading({"{Таблица значений полуцилиндрической освещенности (лк) в узлах расчетной сетки}"}, 0);
    const SidewalkStrip& a = strips[0];
    const GridPart first{a.count, a.coordinates, a.semiCylindrical, a.semiCylindricalMinimum,
                         a.semiCylindricalMinimum, true};
    GridPart second;
    if (strips.size() > 1) {
      second = {strips[1].count, strips[1].coordinates, strips[1].semiCylindrical, 0, 0, false};
    }
    rw.NodeTable(r.xs, r.nX, r.header1, r.header2, first, strips.size() > 1 ? &second : nullptr, " %.1f",
                 "\\b  %.1f\\b0", -1);
    CNormCells cells(w, false);
    for (std::size_t i = 0; i < strips.size(); ++i) {
      if (i > 0) {
        w.WriteLineBreaks(2);
      }
      rw.OutputHeading(strips[i].output, 7);
      rw.OutputData(cells,
                    {{"{ E\\dn3\\fs15\\b пц, мин\\up0\\fs20 }", 0, strips[i].semiCylindricalMinimum, "{ %0.1f}",
                      {-1, -1, false}, 0, nullptr, nullptr, nullptr}},
                    {{"{   лк}", 0}}, 0);
    }
    w.EndParagraph();
    w.NewPage();
  }
  CProtocolFrame::Progress(95);
}

void Walls(CProtocolFrame& f)
{
  ResultWriter rw(f);
  _CALC_RESULTS& r = rw.r;
  if (!f.wallsShown || !f.ItemOn(kItemWalls)) {
    return;
  }
  ModelRef<IWall> wallsPart(f.area.get(), IID_IWall);
  const bool right = StripOn(wallsPart.get(), IID_RightWall) && r.nRightWall > 0;
  const bool left = StripOn(wallsPart.get(), IID_LeftWall) && r.nLeftWall > 0;
  if (!right && !left) {
    return;
  }
  CRTFWriter& w = f.writer;
  f.AddContent(0, "{По стене здания}", 0, 10, 0, 1);
  f.AddContent(1, "{Освещенность:}", 0, 10, 0, 1);
  f.AddContent(2, "{вертикальная}", 0, 9, f.CurrentPage(), 1);
  auto bar = [&] {
    f.SectionHeading({"{Результаты расчета}", "\\tab", "{По стене здания}", "\\tab", "{Освещенность вертикальная}",
                      "\\tab"});
  };
  bar();
  int written = 0;
  const bool anyPicture = rw.PictureItemsOn(kWallItems) > 0;
  if (right) {
    CPictureSection pictures(f, CPictureSection::Kind::Results);
    rw.Caption(kWallItems, "{График распределения освещенности по правой стене здания}",
               "{Графики распределения освещенности по правой стене здания}", 4);
    written += rw.Pictures(pictures, kWallItems, kRightWallPicture, 1);
  }
  if (left) {
    if (right && anyPicture) {
      w.NewPage();
      w.WriteLineBreaks(2);
    }
    CPictureSection pictures(f, CPictureSection::Kind::Results);
    rw.Caption(kWallItems, "{График распределения освещенности по левой стене здания}",
               "{Графики распределения освещенности по левой стене здания}", 4);
    written += rw.Pictures(pictures, kWallItems, kLeftWallPicture, 1);
  }
  const bool table = f.ItemOn(kWallItems.table) != 0;
  AfterPictures(f, written, table, bar);
  if (table) {
    const struct {
      bool on;
      const char* heading;
      const char* output;
      std::uint32_t count;
      const float* heights;
      const float* values;
      float maximum;
    } walls[] = {{right, "{Таблица значений освещенности (лк) в узлах расчетной сетки (правая стена)}",
                  "{Выходные данные по стене здания (правая)}", r.nRightWall, r.zRightWall, r.evRightWall,
                  r.evMaxRightWall},
                 {left, "{Таблица значений освещенности (лк) в узлах расчетной сетки (левая стена)}",
                  "{Выходные данные по стене здания (левая)}", r.nLeftWall, r.zLeftWall, r.evLeftWall,
                  r.evMaxLeftWall}};
    for (const auto& wall : walls) {
      if (!wall.on) {
        continue;
      }
      rw.TableHeading({wall.heading}, 2);
      const GridPart part{wall.count, wall.heights, wall.values, wall.maximum, wall.maximum, true};
      rw.NodeTable(r.xsWall, r.nWallX, r.header1, r.header2, part, nullptr, " %.1f", "\\b  %.1f\\b0", -1);
    }
    CNormCells cells(w, f.hasNorms);
    bool second = false;
    for (const auto& wall : walls) {
      if (!wall.on) {
        continue;
      }
      if (second) {
        w.WriteLineBreaks(2);
      }
      second = true;
      rw.OutputHeading(wall.output, 7);
      rw.OutputData(cells,
                    {{"{ Е\\dn3\\fs15 макс\\up0\\fs20 }", 0, wall.maximum, "{ %0.1f}",
                      rw.Indicator(kNormWallMaximum, true), wall.maximum, "{ %c}", "{ %.0f}", "{ %.0f*}"}},
                    {{"{   лк}", 0}}, 13);
    }
    cells.Footnote();
    w.EndParagraph();
    w.NewPage();
  }
  CProtocolFrame::Progress(99);
}

}  // namespace

void CStraightRoadSections::Results(CProtocolFrame& f)
{
  if (!f.results || f.results->GetData() == nullptr) {
    return;
  }
  Luminance(f);
  CarriagewayIlluminance(f);
  const bool sidewalkEntries = SidewalkIlluminance(f);
  SemiCylindrical(f, sidewalkEntries);
  Walls(f);
}
