// The results summary of areas made in memory; expected cells are written from the summary's rules by hand.
#include "report/protocol/results_summary.h"

#include "model/iprimitive.h"
#include "summary_fixture.h"

#include <cmath>

namespace {

// The table whose title comes right before it, split into rows of cells.
std::vector<std::vector<std::string>> Table(const std::string& document, const std::string& title)
{
  std::vector<std::vector<std::string>> rows;
  const std::size_t at = document.find(title);
  if (at == std::string::npos)
    return rows;
  const std::size_t end = document.find("\\row \\pard ", at);
  std::size_t row = document.find("\\intbl ", at);
  while (row != std::string::npos && row < end) {
    const std::size_t rowEnd = document.find("\\row ", row);
    std::vector<std::string> cells;
    std::size_t cell = row + 7;
    while (cell < rowEnd) {
      const std::size_t cellEnd = document.find("\\cell ", cell);
      std::string text = document.substr(cell, cellEnd - cell);
      for (const char* word : {"\\ql ", "\\qr     "})
        if (text.rfind(word, 0) == 0)
          text.erase(0, std::string(word).size());
      cells.push_back(text);
      cell = cellEnd + 6;
    }
    rows.push_back(cells);
    row = document.find("\\intbl ", rowEnd);
  }
  return rows;
}

const char* const kCarriageway = "{\\fs20  По проезжей части}";
const char* const kRightSidewalk = "{\\fs20  По тротуару (правый)}";
const char* const kLeftSidewalk = "{\\fs20  По тротуару (левый)}";
const char* const kOpenSidewalk = "{\\fs20  По тротуару}";

std::string Build(ProjectDocument& doc, int& neverBuilt)
{
  CRTFWriter writer;
  EXPECT_EQ(BuildResultsSummary(&doc, writer, neverBuilt), 1);
  return Document(writer);
}

TEST(ResultsSummary, StraightRoadAgainstItsNormsInBlueAndRed)
{
  ProjectDocument doc;
  IArea* road = doc.Areas()[0];
  _CALC_RESULTS& r = ResultsOf(road);
  r.valid = 1;
  const float luminance[5] = {1.234f, 0.4f, 0.7f, 10.0f, 5.0f};
  std::copy(luminance, luminance + 5, r.lumSummary);
  const float illuminance[5] = {10.0f, 4.0f, 42.6f, 0, 0};
  std::copy(illuminance, illuminance + 5, r.sumWhole);
  r.utilWhole = 0.456f;
  // A sidewalk without light: both ratios are 0, so the lower bound fails and the upper holds.
  r.escMinRightWalk = 1.26f;
  _STANDARDS_OF_ROAD& norms = NormsOf(road);
  norms.normDocumentId = 1;
  std::fill(std::begin(norms.effectiveValues), std::end(norms.effectiveValues), -1.0);
  norms.effectiveValues[kNormRoadLuminance] = 1.0;
  norms.effectiveValues[kNormRoadMaxToAverage] = 3.0;
  norms.effectiveValues[kNormSidewalkMaxToAverage] = 3.0;
  norms.thresholdIncrement[1] = 10.0;  // equal to the value: complies
  norms.roadUniformity[1] = 0.4;       // equal as well
  norms.sidewalkUniformity[1] = 0.5;
  norms.roadMaximum[1] = -1.0;
  norms.sidewalkMaximum[1] = -1.0;
  CString caption("Объект - 1 [Прямая дорога]");
  road->SetCaption(&caption);

  int neverBuilt = 1;
  const std::string rtf = Build(doc, neverBuilt);
  EXPECT_EQ(neverBuilt, 0);
  // "Объект - 1 " is 11 characters: 120 x 11 + 260 twips.
  EXPECT_NE(rtf.find("\\cellx1300 "), std::string::npos);
  EXPECT_NE(rtf.find("\\cellx2880 "), std::string::npos);

  const auto table = Table(rtf, kCarriageway);
  ASSERT_EQ(table.size(), 11u) << "no intensity rows without an open site";
  EXPECT_EQ(table[0], (std::vector<std::string>{"{\\b Показатель\\b0}", "{\\b Объект - 1 \\b0}"}));
  const std::vector<std::string> column = [&] {
    std::vector<std::string> c;
    for (const auto& row : table)
      c.push_back(row.at(1));
    return c;
  }();
  EXPECT_EQ(column[1], "{\\b \\highlight0\\cf4 1.23 \\highlight0\\cf1 \\b0}{ (1.0)}");
  EXPECT_EQ(column[2], "{0.40}");
  EXPECT_EQ(column[4], "{10.0}");
  EXPECT_EQ(column[5], "{42.6}");
  EXPECT_EQ(column[6], "{\\b \\highlight0\\cf4 0.40 \\highlight0\\cf1 \\b0}{ (0.40)}");
  EXPECT_EQ(column[7], "{\\b \\highlight0\\cf2 4.3 \\highlight0\\cf1 \\b0}{ (3:1)}");
  EXPECT_EQ(column[8], "{\\b \\highlight0\\cf4 10.0 \\highlight0\\cf1 \\b0}{ (10.0)}");
  EXPECT_EQ(column[9], "{5}");
  EXPECT_EQ(column[10], "{0.46}");

  const auto right = Table(rtf, kRightSidewalk);
  ASSERT_EQ(right.size(), 7u);
  EXPECT_EQ(right[3][1], "{\\b \\highlight0\\cf2 0.00 \\highlight0\\cf1 \\b0}{ (0.50)}");
  EXPECT_EQ(right[4][1], "{\\b \\highlight0\\cf4 0.0 \\highlight0\\cf1 \\b0}{ (3:1)}");
  EXPECT_EQ(right[5][1], "{1.3}");
  EXPECT_EQ(Table(rtf, kLeftSidewalk).size(), 7u);
  EXPECT_EQ(rtf.find("По стене здания"), std::string::npos) << "walls are off";

  // Another norm document: the ratio's norm without ":1"; no document: values alone.
  norms.normDocumentId = 4;
  EXPECT_EQ(Table(Build(doc, neverBuilt), kCarriageway)[7][1],
            "{\\b \\highlight0\\cf2 4.3 \\highlight0\\cf1 \\b0}{ (3)}");
  norms.normDocumentId = 0;
  EXPECT_EQ(Table(Build(doc, neverBuilt), kCarriageway)[1][1], "{1.23}");
  // A value that is not a number fails its norm.
  norms.normDocumentId = 1;
  r.lumSummary[0] = std::nanf("");
  EXPECT_EQ(Table(Build(doc, neverBuilt), kCarriageway)[1][1].substr(0, 22), "{\\b \\highlight0\\cf2 na");
}

TEST(ResultsSummary, StraightRoadBesideAnOpenSiteHasIntensityRowsAndDashesWhereARowDoesNotApply)
{
  ProjectDocument doc;
  IArea* road = doc.Areas()[0];
  IArea* site = doc.Append(CLSID_CCustomizeRoad);
  IArea* hidden = doc.Append(CLSID_CCustomizeRoad3D);
  const int off = 0;
  hidden->SetLightingOutput(&off);
  ResultsOf(road).valid = 1;
  _CALC_RESULTS& r = ResultsOf(site);
  r.valid = 1;
  r.nZones = 3;
  r.zones = new _ZONE_RESULT[3]();
  r.zones[0] = _ZONE_RESULT{0, 99, 0, 0, 0, 0, 0, 0, 0, 0, {}};   // an earlier carriageway record: not the one
  r.zones[1] = _ZONE_RESULT{1, 7, 2, 9, 0, 0, 0, 0, 0, 0.2f, {}};  // sidewalk
  r.zones[2] = _ZONE_RESULT{0, 20, 5, 40, 0, 0, 0, 12.4f, 0, 0.35f, {}};

  int neverBuilt = 1;
  const std::string rtf = Build(doc, neverBuilt);
  const auto table = Table(rtf, kCarriageway);
  ASSERT_EQ(table.size(), 13u);
  ASSERT_EQ(table[0].size(), 3u) << "the area whose output is off has no column";
  const char* const expected[13] = {"", "{-}", "{-}", "{-}", "{20.0}", "{40.0}", "{0.25}", "{2.0}",
                                    "{-}", "{-}", "{0.35}", "{0.0}", "{12}"};
  for (int row = 1; row < 13; ++row)
    EXPECT_EQ(table[row][2], expected[row]) << "row " << row;
  EXPECT_EQ(table[11][1], "{-}");
  EXPECT_EQ(table[12][1], "{-}");
  // The site's sidewalk is off: dashes in its column of the right sidewalk table, which the road's sidewalk needs.
  const auto right = Table(rtf, kRightSidewalk);
  ASSERT_EQ(right.size(), 7u);
  for (int row = 1; row < 7; ++row)
    EXPECT_EQ(right[row][2], "{-}");
}

TEST(ResultsSummary, OpenSitesOnlyHaveACarriagewayOfEightRowsAndOneSidewalk)
{
  ProjectDocument doc;
  // The project's first area made an open site with a sidewalk primitive, then a second one without results.
  IArea* walk = doc.project->ResetAreas(CLSID_CCustomizeRoad);
  walk->Release();
  IArea* other = doc.Append(CLSID_CCustomizeRoad);
  auto* site = Part<ICustomizeRoad>(walk, IID_ICustomizeRoad);
  auto* primitive = Part<IPrimitive>(site, IID_IPrimitive);
  ASSERT_NE(primitive, nullptr);
  const int sidewalk = 2, on = 1;
  primitive->SetMembership(&sidewalk);
  site->SetSidewalkState(&on);
  _CALC_RESULTS& r = ResultsOf(walk);
  r.valid = 1;
  r.nZones = 1;
  r.zones = new _ZONE_RESULT[1]();
  r.zones[0] = _ZONE_RESULT{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, {}};  // E avg 0: both ratios 0

  int neverBuilt = 1;
  const std::string rtf = Build(doc, neverBuilt);
  const auto carriageway = Table(rtf, kCarriageway);
  ASSERT_EQ(carriageway.size(), 8u);
  EXPECT_EQ(carriageway[1][1], "{-}") << "carriageway off: its only primitive is a sidewalk";
  EXPECT_EQ(carriageway[1][2], "{н/д}") << "carriageway on, no results";
  const auto sidewalkTable = Table(rtf, kOpenSidewalk);
  ASSERT_EQ(sidewalkTable.size(), 6u);
  EXPECT_EQ(sidewalkTable[3][1], "{0.00}");
  EXPECT_EQ(sidewalkTable[4][1], "{0.0}");
  EXPECT_EQ(sidewalkTable[5][1], "{0.0}") << "U_E exactly 0";
  EXPECT_EQ(rtf.find("(правый)"), std::string::npos);
  EXPECT_EQ(rtf.find("(левый)"), std::string::npos);
  EXPECT_EQ(rtf.find("По стене"), std::string::npos);
  (void)other;
}

TEST(ResultsSummary, MessagesWithoutAreasOrWithoutResults)
{
  ProjectDocument doc;
  IArea* road = doc.Areas()[0];
  int neverBuilt = 1;
  std::string rtf = Build(doc, neverBuilt);
  EXPECT_NE(rtf.find("\\pard \\b0\\f2\\fs20\\line\\b0\\f2\\fs20{Расчет не выполнялся}"), std::string::npos);
  EXPECT_EQ(neverBuilt, 1);
  neverBuilt = 0;
  rtf = Build(doc, neverBuilt);
  EXPECT_NE(rtf.find("{Данные изменены}"), std::string::npos);

  const int off = 0;
  road->SetLightingOutput(&off);
  rtf = Build(doc, neverBuilt);
  EXPECT_NE(rtf.find("\\pard \\b0\\f2\\fs20\\b0\\f2\\fs20\\line{\\fs20  Нет активных объектов для анализа}\\line"),
            std::string::npos);

  CRTFWriter open;
  ASSERT_EQ(open.Open(), 1);
  EXPECT_EQ(BuildResultsSummary(&doc, open, neverBuilt), 0);
}

TEST(ResultsSummary, CaptionsAreTrimmedOfTheirKindOnlyAfterTheFirstCharacterAndEscaped)
{
  const struct {
    const char* caption;
    const char* header;
    int rightEdge;
  } cases[] = {
      {"Объект - 1 [Прямая дорога]", "{\\b Объект - 1 \\b0}", 1300 + 120 * 11 + 260},
      {"[Прямая дорога] first", "{\\b [Прямая дорога] first\\b0}", 1300 + 120 * 21 + 260},
      {"[Прямая дорога]", "{\\b [Прямая дорога]\\b0}", 1300 + 120 * 15 + 260},
      {"Road", "{\\b Road\\b0}", 1300 + 1100},
      {"a{\\b}z [Прямая дорога]", "{\\b a\\{\\\\b\\}z \\b0}", 1300 + 1100},
  };
  for (const auto& c : cases) {
    ProjectDocument doc;
    IArea* road = doc.Areas()[0];
    ResultsOf(road).valid = 1;
    CString caption(c.caption);
    road->SetCaption(&caption);
    int neverBuilt = 1;
    const std::string rtf = Build(doc, neverBuilt);
    EXPECT_EQ(Table(rtf, kCarriageway)[0][1], c.header) << c.caption;
    EXPECT_NE(rtf.find("\\cellx" + std::to_string(c.rightEdge) + " "), std::string::npos) << c.caption;
  }
}

}  // namespace
