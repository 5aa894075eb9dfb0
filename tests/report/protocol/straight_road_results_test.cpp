// The straight road's result sections built by the protocol over a road whose results are made here: the node
// table's column groups and parts, the picture captions, the observers written, the sidewalk strip that leads
// the table, the carriageway's state after the sidewalk sections, and the marks of the output data.
#include "report/protocol/protocol_sections.h"

#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/results.h"
#include "tests/report/summary_fixture.h"

#include <string>

namespace {

std::size_t Count(const std::string& text, const std::string& part)
{
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

class StraightRoadResults : public ::testing::Test {
protected:
  void SetUp() override
  {
    AllItemsOff(doc);
    area = doc.Areas()[0];
    road = Part<IRoad>(area, IID_IRoad);
    NormsOf(area).normDocumentId = 0;
    const int oneWay = 0;
    road->SetTwoWay(&oneWay);
    // Only the carriageway, unless a test brings a sidewalk back.
    const int absent = kSideAbsent;
    Part<IPavement>(area, IID_IPavement)->SetFlags(&absent);
    Part<IWall>(area, IID_IWall)->SetFlags(&absent);
  }

  // A grid of nX nodes along the road (x = 100 + i), nRoad across (y = 7.25 + j, then the opposite direction's
  // at 50.5 + j), two observers, sidewalks of three nodes (right y = 60 + j, left y = 70 + j); every value its own.
  void Results(std::uint32_t nX, std::uint32_t nOpp = 0)
  {
    auto* results = dynamic_cast<ObjectModel::CResultsOfCalc*>(Part<IResultsOfCalc>(area, IID_IResultsOfCalc));
    results->Clear();
    _CALC_RESULTS& r = *results->GetData();
    r.nX = nX;
    r.header1 = r.header2 = r.header3 = 1;
    r.nRoad = 6;
    r.nObservers = 2;
    r.nOpp = nOpp;
    r.nObserversOpp = nOpp != 0 ? 2 : 0;
    r.nRightWalk = r.nLeftWalk = 3;
    results->AllocArrays();
    r.valid = 1;
    for (std::uint32_t i = 0; i < nX; ++i)
      r.xs[i] = 100.0f + i;
    for (std::uint32_t j = 0; j < r.nRoad; ++j)
      r.yRoad[j] = 7.25f + j;
    for (std::uint32_t j = 0; j < nOpp; ++j)
      r.yOpp[j] = 50.5f + j;
    for (std::uint32_t j = 0; j < 3; ++j) {
      r.yRightWalk[j] = 60.0f + j;
      r.yLeftWalk[j] = 70.0f + j;
    }
    for (std::uint32_t n = 0; n < nX * r.nRoad; ++n)
      r.eRoad[n] = 1000.0f + n;
    for (std::uint32_t n = 0; n < nX * 3; ++n) {
      r.eRightWalk[n] = 2000.0f + n;
      r.eLeftWalk[n] = 3000.0f + n;
    }
    r.sumRightWalk[1] = 2004.0f;  // the value of a shown node (i = 1, j = 1)
    r.sumLeftWalk[1] = 3004.0f;
    for (std::uint32_t n = 0; n < nX * r.nRoad * 2; ++n)
      r.lumObserver[n] = 0.5f;
  }

  std::string Build()
  {
    CRTFWriter writer;
    int neverBuilt = 1;
    CStraightRoadSections sections;
    EXPECT_EQ(BuildFullReport(&doc, writer, neverBuilt, nullptr, 0, &sections), 1);
    return Document(writer);
  }

  ProjectDocument doc;
  IArea* area = nullptr;
  IRoad* road = nullptr;
};

TEST_F(StraightRoadResults, EveryNodeColumnStandsInExactlyOneGroupOfTen)
{
  SetItem(doc, 305, 2);
  SetItem(doc, 311, 2);
  const struct {
    std::uint32_t nX;
    std::size_t groups;
  } cases[] = {{20, 1}, {22, 2}, {74, 4}, {2, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nX);
    Results(c.nX);
    const std::string text = Build();
    // the first normative transverse node (j = 1) starts one row in every group
    EXPECT_EQ(Count(text, "{ 8.25}"), c.groups);
    for (std::uint32_t i = 0; i < c.nX; ++i) {
      CString x;
      x.Format("{ %.2f}", 100.0 + i);
      EXPECT_EQ(Count(text, x.GetString()), i % 2 == 1 ? 1u : 0u) << "node " << i;
    }
  }
}

TEST_F(StraightRoadResults, TheOppositeDirectionIsASecondPartOnlyWhenItIsCalculatedAsOne)
{
  SetItem(doc, 305, 2);
  SetItem(doc, 311, 2);
  Results(4, 4);
  EXPECT_EQ(Count(Build(), "{ 51.50}"), 0u) << "a one-way road";
  const int twoWay = 1;
  road->SetTwoWay(&twoWay);
  std::string text = Build();
  EXPECT_EQ(Count(text, "{ 51.50}"), 1u);
  EXPECT_LT(text.find("{ 51.50}"), text.find("{ 8.25}")) << "the second part stands above the first";
  const int apart = 1;
  road->SetOppositeState(&apart);
  EXPECT_EQ(Count(Build(), "{ 51.50}"), 0u);
}

TEST_F(StraightRoadResults, OneLuminancePictureHasASingularCaptionAndMoreAPlural)
{
  Results(4);
  SetItem(doc, 205, 2);
  SetItem(doc, 209, 2);
  std::string text = Build();
  EXPECT_EQ(Count(text, "{График распределения яркости }"), 2u) << "one per observer";
  EXPECT_EQ(Count(text, "{Графики распределения яркости}"), 0u);
  SetItem(doc, 209, 0);
  SetItem(doc, 208, 2);
  SetItem(doc, 700, 2);
  text = Build();
  EXPECT_EQ(Count(text, "{Графики распределения яркости}"), 2u);
}

TEST_F(StraightRoadResults, TheCurrentObserverAloneOrEveryObserverWithItsOwnGreyRow)
{
  Results(4);
  SetItem(doc, 205, 2);
  SetItem(doc, 211, 2);
  SetItem(doc, 206, 4);
  // The user shows observer 2 although observer 1 is the worst: the protocol prints the one shown.
  _CALC_RESULTS* block = Part<IResultsOfCalc>(area, IID_IResultsOfCalc)->GetData();
  block->worstObserver = 0;
  block->shownObserver = 1;
  std::string text = Build();
  EXPECT_EQ(Count(text, "{Яркость для наблюдателя "), 1u);
  EXPECT_EQ(Count(text, "{Яркость для наблюдателя 2}"), 1u);
  EXPECT_EQ(block->shownObserver, 1) << "the view shows what it showed";
  SetItem(doc, 206, 2);
  text = Build();
  EXPECT_EQ(Count(text, "{Яркость для наблюдателя 1}"), 1u);
  EXPECT_EQ(Count(text, "{Яркость для наблюдателя 2}"), 1u);
  // the lane axis of observer 0 is the second shown row, of observer 1 the fifth: only observer 0's is shown
  EXPECT_EQ(Count(text, "\\highlight7 { }"), 1u);
}

TEST_F(StraightRoadResults, ALeftSidewalkAloneLeadsTheTableAndTheCarriagewayComesBack)
{
  Results(4);
  SetItem(doc, 305, 2);
  SetItem(doc, 311, 2);
  auto* sidewalks = Part<IPavement>(area, IID_IPavement);
  const int none = 0, on = 1, off = 0;
  sidewalks->SetFlags(&none);
  Part<ILineOfRoad>(sidewalks, IID_RightPavement)->SetState(&off);
  Part<ILineOfRoad>(sidewalks, IID_LeftPavement)->SetState(&on);
  const int before = *road->GetState();
  const std::string text = Build();
  EXPECT_EQ(*road->GetState(), before);
  EXPECT_EQ(Count(text, "{Выходные данные для тротуара (левый)}"), 1u);
  EXPECT_EQ(Count(text, "{Выходные данные для тротуара (правый)}"), 0u);
  EXPECT_EQ(Count(text, "{ 61.00}"), 0u) << "no right strip rows";
  EXPECT_EQ(Count(text, "{ 71.00}"), 1u);
  EXPECT_EQ(Count(text, "{\\b  3004.0\\b0}"), 1u) << "the left strip's minimum in bold";
}

TEST_F(StraightRoadResults, TheOutputDataMarksEachNormedColumn)
{
  Results(4);
  SetItem(doc, 305, 2);
  SetItem(doc, 311, 2);
  _STANDARDS_OF_ROAD& n = NormsOf(area);
  n.normDocumentId = 4;
  for (int i = 0; i < 10; ++i)
    n.effectiveValues[i] = n.documentValues[i] = -1;
  for (double* pair : {n.thresholdIncrement, n.roadUniformity, n.sidewalkUniformity, n.roadMaximum,
                       n.sidewalkMaximum})
    pair[0] = pair[1] = -1;
  _CALC_RESULTS& r = ResultsOf(area);
  r.sumWhole[0] = 20;
  r.sumWhole[2] = 30;
  n.effectiveValues[kNormRoadIlluminance] = n.documentValues[kNormRoadIlluminance] = 20;  // met at the bound
  n.effectiveValues[kNormRoadMaxToAverage] = n.documentValues[kNormRoadMaxToAverage] = 1;  // 1.5 exceeds it
  const std::string text = Build();
  const std::string output = text.substr(text.find("Выходные данные"));
  EXPECT_EQ(Count(output, "{ (+)}"), 1u);
  EXPECT_EQ(Count(output, "{ (-)}"), 1u);
  EXPECT_NE(output.find("{Соответствие}"), std::string::npos);
}

}  // namespace
