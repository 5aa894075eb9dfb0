// The open site's and interchange's results built by the protocol over areas whose results are made here: the
// zones of the summary, the node table's blocks and bold extremes, the picture caption, and the interchange's
// items by group and primitive with their pages.
#include "report/protocol/protocol_sections.h"

#include "model/results.h"
#include "tests/report/summary_fixture.h"

#include <cstring>
#include <string>

namespace {

std::size_t Count(const std::string& text, const std::string& part)
{
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

class OpenSiteResults : public ::testing::Test {
protected:
  void Make(const CLSID& kind)
  {
    AllItemsOff(doc);
    area = doc.Append(kind);
    doc.project->SetActiveArea(area);
    NormsOf(area).normDocumentId = 0;
    results = dynamic_cast<ObjectModel::CResultsOfCalc*>(Part<IResultsOfCalc>(area, IID_IResultsOfCalc));
  }

  // A grid of nx by ny nodes (x = 0.5 i, y = 0.25 j) valued 10 + node, and zone records of the given kinds.
  void Results(std::uint32_t nx, std::uint32_t ny, std::vector<int> kinds, std::uint32_t carriagewayItems = 0)
  {
    results->Clear();
    _CALC_RESULTS& r = *results->GetData();
    r.nX = nx;
    r.nRoad = ny;
    r.nZones = static_cast<std::uint32_t>(kinds.size());
    r.nTotalsA = carriagewayItems;
    results->AllocArrays();
    r.valid = 1;
    for (std::uint32_t i = 0; i < nx; ++i)
      r.xs[i] = 0.5f * i;
    for (std::uint32_t j = 0; j < ny; ++j)
      r.yRoad[j] = 0.25f * j;
    for (std::uint32_t n = 0; n < nx * ny; ++n) {
      r.eRoad[n] = 10.0f + n;
      r.nodeState[n] = 0;
    }
    for (std::size_t k = 0; k < kinds.size(); ++k) {
      r.zones[k].kind = kinds[k];
      r.zones[k].average = 20;
      r.zones[k].minimum = 10;
      r.zones[k].maximum = 30;
    }
    for (std::uint32_t k = 0; k < carriagewayItems; ++k) {
      std::snprintf(r.totalsA[k].name, sizeof(r.totalsA[k].name), "Группа %u", k + 1);
      r.totalsA[k].average = 15;
    }
    const double big = 1000;
    area->SetLength(&big);
    area->SetWidth(&big);
  }

  std::string Build(CRTFWriter& writer)
  {
    int neverBuilt = 1;
    COpenSiteSections sections;
    EXPECT_EQ(BuildFullReport30(&doc, writer, neverBuilt, nullptr, 0, &sections), 1);
    return Document(writer);
  }
  std::string Build()
  {
    CRTFWriter writer;
    return Build(writer);
  }

  ProjectDocument doc;
  IArea* area = nullptr;
  ObjectModel::CResultsOfCalc* results = nullptr;
};

TEST_F(OpenSiteResults, EachZoneRecordIsAZoneAndOnlyTheCarriagewayHasIntensities)
{
  Make(CLSID_CCustomizeRoad);
  SetItem(doc, kItemSummary, 2);
  Results(2, 2, {0, 1});
  const std::string text = Build();
  const std::size_t carriageway = text.find("{По проезжей части}  ");
  const std::size_t sidewalk = text.find("{По тротуару}");
  ASSERT_NE(carriageway, std::string::npos);
  ASSERT_NE(sidewalk, std::string::npos);
  EXPECT_EQ(Count(text, "{I\\dn3\\fs15  80\\up0\\fs20}"), 1u);
  EXPECT_LT(text.find("{I\\dn3\\fs15  80\\up0\\fs20}"), sidewalk);
}

TEST_F(OpenSiteResults, TheNodeTableIsWrittenInBlocksOfTenColumnsWithEachExtremeBoldOnce)
{
  Make(CLSID_CCustomizeRoad);
  SetItem(doc, 305, 2);
  SetItem(doc, 311, 2);
  const struct {
    std::uint32_t nx;
    std::size_t blocks;
  } cases[] = {{10, 1}, {11, 2}, {37, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nx);
    Results(c.nx, 2, {0});
    const std::string text = Build();
    EXPECT_EQ(Count(text, "{0.25}"), c.blocks) << "the top row starts every block";
    for (std::uint32_t i = 0; i < c.nx; ++i) {
      CString x;
      x.Format("{%.2f}", 0.5 * i);
      EXPECT_GE(Count(text, x.GetString()), 1u) << i;
    }
  }
  // the minimum 10 stands at the first node; a second node of 10 is not bold
  Results(3, 2, {0});
  ResultsOf(area).eRoad[5] = 10;
  const std::string text = Build();
  EXPECT_EQ(Count(text, "{\\b 10.0\\b0}"), 1u);
  EXPECT_EQ(Count(text, "{10.0}"), 1u);
  EXPECT_EQ(Count(text, "{\\b 30.0\\b0}"), 0u) << "no node reaches the maximum";
}

TEST_F(OpenSiteResults, TwoPictureItemsMakeAPluralCaptionAndTheTableFollowsOnANewPage)
{
  Make(CLSID_CCustomizeRoad);
  Results(2, 2, {0});
  SetItem(doc, 305, 2);
  SetItem(doc, 308, 2);
  SetItem(doc, 701, 2);
  SetItem(doc, 311, 2);
  const std::string text = Build();
  EXPECT_EQ(Count(text, "{Графики распределения освещенности}"), 1u);
  EXPECT_EQ(Count(text, "{По участку дороги}"), 2u) << "the heading again before the table";
  EXPECT_EQ(doc.viewMode, 0x2u) << "the view-mode word put back";
}

TEST_F(OpenSiteResults, AnInterchangeStartsANewPageAfterItsSixthItem)
{
  Make(CLSID_CCustomizeRoad3D);
  SetItem(doc, 305, 2);
  Results(0, 0, {}, 5);
  CRTFWriter five;
  const std::string text = Build(five);
  EXPECT_EQ(Count(text, "{\\bГруппа "), 5u);
  EXPECT_NE(text.find("{По группам и примитивам}"), std::string::npos);
  Results(0, 0, {}, 7);
  CRTFWriter seven;
  Build(seven);
  EXPECT_EQ(seven.GetPageCount(), five.GetPageCount() + 1) << "a new page after the sixth item";
}

}  // namespace
