// The straight road's summary against its norms, built by the protocol over a road in memory: the marks of
// values at and beyond their bounds, changed norms with their footnote, the ratio form of the first norm document
// and ratios over a zero average.
#include "report/protocol/protocol_sections.h"

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

class StraightRoadSummary : public ::testing::Test {
protected:
  void SetUp() override
  {
    AllItemsOff(doc);
    SetItem(doc, kItemSummary, 2);
    road = doc.Areas()[0];
    ResultsOf(road).valid = 1;
    _STANDARDS_OF_ROAD& n = NormsOf(road);
    n.normDocumentId = 4;
    for (int i = 0; i < 10; ++i)
      n.effectiveValues[i] = n.documentValues[i] = -1;
    for (double* pair : {n.thresholdIncrement, n.roadUniformity, n.sidewalkUniformity, n.roadMaximum,
                         n.sidewalkMaximum})
      pair[0] = pair[1] = -1;
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
  IArea* road = nullptr;
};

TEST_F(StraightRoadSummary, AValueAtItsBoundCompliesAndOneBeyondItDoesNot)
{
  const struct {
    const char* name;
    void (*set)(_CALC_RESULTS&, _STANDARDS_OF_ROAD&);
    const char* mark;
  } cases[] = {
      {"average luminance equal to its lower bound",
       [](_CALC_RESULTS& r, _STANDARDS_OF_ROAD& n) {
         r.lumSummary[0] = 1.5f;
         n.effectiveValues[kNormRoadLuminance] = n.documentValues[kNormRoadLuminance] = 1.5;
       },
       "(+)"},
      {"average luminance below its lower bound",
       [](_CALC_RESULTS& r, _STANDARDS_OF_ROAD& n) {
         r.lumSummary[0] = 1.25f;
         n.effectiveValues[kNormRoadLuminance] = n.documentValues[kNormRoadLuminance] = 1.5;
       },
       "(-)"},
      {"threshold increment equal to its upper bound",
       [](_CALC_RESULTS& r, _STANDARDS_OF_ROAD& n) {
         r.lumSummary[3] = 10.0f;
         n.thresholdIncrement[0] = n.thresholdIncrement[1] = 10;
       },
       "(+)"},
      {"threshold increment one step above its upper bound",
       [](_CALC_RESULTS& r, _STANDARDS_OF_ROAD& n) {
         r.lumSummary[3] = 10.5f;
         n.thresholdIncrement[0] = n.thresholdIncrement[1] = 10;
       },
       "(-)"},
      {"maximum to average, computed, at its upper bound",
       [](_CALC_RESULTS& r, _STANDARDS_OF_ROAD& n) {
         r.sumWhole[0] = 10;
         r.sumWhole[2] = 30;
         n.effectiveValues[kNormRoadMaxToAverage] = n.documentValues[kNormRoadMaxToAverage] = 3;
       },
       "(+)"},
      {"maximum to average above its upper bound",
       [](_CALC_RESULTS& r, _STANDARDS_OF_ROAD& n) {
         r.sumWhole[0] = 10;
         r.sumWhole[2] = 31;
         n.effectiveValues[kNormRoadMaxToAverage] = n.documentValues[kNormRoadMaxToAverage] = 3;
       },
       "(-)"},
      {"minimum to average, computed, above its lower bound",
       [](_CALC_RESULTS& r, _STANDARDS_OF_ROAD& n) {
         r.sumWhole[0] = 10;
         r.sumWhole[1] = 5;
         n.roadUniformity[0] = n.roadUniformity[1] = 0.4;
       },
       "(+)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    c.set(ResultsOf(road), NormsOf(road));
    const std::string text = Build();
    EXPECT_EQ(Count(text, "(+)") + Count(text, "(-)"), 1u) << "only the one indicator with a norm is judged";
    EXPECT_EQ(Count(text, c.mark), 1u);
    EXPECT_EQ(text.find("корректировки"), std::string::npos) << "no norm was changed";
  }
}

TEST_F(StraightRoadSummary, OnlyAChangedNormIsStarredAndFootnoted)
{
  NormsOf(road).effectiveValues[kNormRoadLuminance] = 1.5;
  NormsOf(road).documentValues[kNormRoadLuminance] = 1.5;
  std::string text = Build();
  EXPECT_EQ(text.find("*}"), std::string::npos);
  EXPECT_EQ(text.find("корректировки"), std::string::npos);

  NormsOf(road).effectiveValues[kNormRoadLuminance] = 2.0;
  text = Build();
  EXPECT_NE(text.find("\\b\\f2\\fs20{2.0*}"), std::string::npos) << "the changed norm in bold with its star";
  EXPECT_NE(text.find("{* с учетом корректировки пользователем значения нормативного показателя}"),
            std::string::npos);
}

TEST_F(StraightRoadSummary, TheFirstNormDocumentGivesRatiosAsOneAndMarksItsChanges)
{
  _STANDARDS_OF_ROAD& n = NormsOf(road);
  n.effectiveValues[kNormRoadMaxToAverage] = n.documentValues[kNormRoadMaxToAverage] = 3;
  ResultsOf(road).sumWhole[0] = 10;
  ResultsOf(road).sumWhole[2] = 20;
  std::string text = Build();
  EXPECT_EQ(text.find("3:1"), std::string::npos);
  EXPECT_EQ(text.find("(с изм.)"), std::string::npos);

  n.normDocumentId = 1;
  text = Build();
  EXPECT_NE(text.find("{3:1}"), std::string::npos);
  EXPECT_NE(text.find("(с изм.)"), std::string::npos);

  n.normDocumentId = 0;
  text = Build();
  EXPECT_EQ(text.find("Норма"), std::string::npos) << "no document chosen: no norm column";
  EXPECT_EQ(Count(text, "(+)") + Count(text, "(-)"), 0u);
}

TEST_F(StraightRoadSummary, RatiosOverAZeroAverageAreZero)
{
  _CALC_RESULTS& r = ResultsOf(road);
  r.sumWhole[0] = 0;
  r.sumWhole[1] = 3;
  r.sumWhole[2] = 7;
  const std::string text = Build();
  EXPECT_NE(text.find("{0.00  }"), std::string::npos) << "minimum to average";
  EXPECT_NE(text.find("{0.0  }"), std::string::npos) << "maximum to average";
  EXPECT_EQ(text.find("inf"), std::string::npos);
  EXPECT_EQ(text.find("nan"), std::string::npos);
}

}  // namespace
