// The cost estimate of an area: the worked example figure by figure, the per-kilometre counts of the straight
// road's arrangements, what poles, brackets and LED luminaires contribute, and the figures that cannot be known.
#include "catalogues/economics/cost_estimate.h"

#include "tests/catalogues/economics/economics_fixture.h"

#include "model/pole.h"

#include <cmath>

namespace {

using namespace econtest;
using Economics::ComputeAreaCosts;
using Economics::tag_AREA_COSTS;

std::vector<double> Figures(const tag_AREA_COSTS& c)
{
  return {c.capital,          c.capitalLuminaires, c.capitalPoles, c.operating,  c.electricity,
          c.lampReplacement,  c.cleaning,          c.amortisation, c.fullAnnual};
}

class CostEstimateTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    road = doc.Areas()[0];
    group = FirstGroup(road);
    ASSERT_NE(group, nullptr);
    SetWorkedExample(doc.project, group);
    SetScheme(group, 2, 25, 2);
  }
  tag_AREA_COSTS Costs() { return ComputeAreaCosts(doc.project, road); }

  ProjectDocument doc;
  IArea* road = nullptr;
  IGroupOfDev* group = nullptr;
};

TEST_F(CostEstimateTest, TheWorkedExampleOfATwoSidedStraightRoad)
{
  // P = 2 x 1000 / 25 = 80 poles and N = 2 x 80 = 160 luminaires per kilometre.
  // SL 1 600 000, SS 128 000, SI 80 000; SP 2 400 000, SPI 400 000, SB 320 000, SBI 160 000;
  // SW = 160 x 150 x 1.1 = 26 400 W, SR = 160 x 1000 / 20 000 = 8, SC = 160 x 100 x 2 = 32 000.
  const double capitalLuminaires = 1808000, capitalPoles = 3280000, capital = 5088000;
  const double electricity = 5 * 4000 * 1.1 * 26400 / 1000;                              // 580 800
  const double amortisation = capitalLuminaires * 0.1 + 2800000 * 0.05 + 480000 * 0.08;  // 359 200
  const double operating = electricity + 32000 + 32000 + amortisation;                  // 1 004 000
  EXPECT_EQ(Figures(Costs()), (std::vector<double>{capital, capitalLuminaires, capitalPoles, operating, electricity,
                                                   32000, 32000, amortisation, 0.12 * capital + operating}));
}

TEST_F(CostEstimateTest, StraightRoadCountsArePerKilometreAndDoubledForTwoRowsOfPoles)
{
  struct Case {
    int scheme;
    double spacing;
    int perPole;
    double P;
    double N;
  };
  const Case cases[] = {
      {2, 25, 2, 80, 160},  // two-sided
      {0, 25, 2, 40, 80},   // one-sided right
      {1, 25, 2, 40, 80},   // one-sided left
      {3, 25, 2, 80, 160},  // staggered
      {4, 25, 1, 80, 80},   // central, one luminaire per pole
      {5, 25, 2, 40, 80},   // suspended: not doubled
      {0, 30, 1, 1000.0 / 30, 1000.0 / 30},
  };
  // Only the luminaire's price and the pole's price count: CL = N and CP = P (to the cent).
  CLightDevice& device = *group->GetLightDevice();
  device.luminairePrice = 100;
  device.installationCost = 0;
  device.lampPrice = 0;
  const int off = 0;
  doc.project->SetBracketsInCost(&off);
  const double one = 1, zero = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scheme " << c.scheme << ", " << c.perPole << " per pole");
    SetScheme(group, c.scheme, c.spacing, c.perPole);
    IPole* first = FirstPole(group);
    first->SetPolePrice(&one);
    first->SetPoleMountPrice(&zero);
    const tag_AREA_COSTS costs = Costs();
    EXPECT_DOUBLE_EQ(costs.capitalLuminaires, ObjectModel::Round2(c.N));
    EXPECT_DOUBLE_EQ(costs.capitalPoles, ObjectModel::Round2(c.P));
  }
}

TEST_F(CostEstimateTest, PolesAndBracketsCountOnlyAsTheProjectSaysIt)
{
  struct Case {
    int poles;
    int brackets;
    double capitalPoles;
  };
  const Case cases[] = {
      {1, 1, 3280000},
      {1, 0, 2800000},  // poles with their installation only
      {0, 1, 0},        // brackets never count without poles
      {0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "poles " << c.poles << ", brackets " << c.brackets);
    doc.project->SetPolesInCost(&c.poles);
    doc.project->SetBracketsInCost(&c.brackets);
    const tag_AREA_COSTS costs = Costs();
    EXPECT_EQ(costs.capitalPoles, c.capitalPoles);
    EXPECT_EQ(costs.capital, 1808000 + c.capitalPoles);
  }
}

TEST_F(CostEstimateTest, AnLedLuminaireHasNoLampCostsButItsPowerCounts)
{
  CLightDevice& device = *group->GetLightDevice();
  device.lampType = "СД модуль";
  device.lampCount = 4;
  device.lampPower = 30;
  const tag_AREA_COSTS costs = Costs();
  EXPECT_EQ(costs.capitalLuminaires, 1600000 + 80000);  // no lamps
  EXPECT_EQ(costs.lampReplacement, 0);
  EXPECT_DOUBLE_EQ(costs.electricity, ObjectModel::Round2(5 * 4000 * 1.1 * (4 * 160 * 30 * 1.1) / 1000));
}

TEST_F(CostEstimateTest, SwitchedOffGroupsAndOtherAreaKindsGiveZeros)
{
  const int off = 0;
  group->SetState(&off);
  EXPECT_EQ(Figures(Costs()), std::vector<double>(9, 0.0));
}

TEST_F(CostEstimateTest, AnOpenSiteCountsItsWholeInstallationAtItsFirstPolesPrices)
{
  IArea* site = doc.Append(CLSID_CCustomizeRoad);
  IGroupOfDev* siteGroup = FirstGroup(site);
  ASSERT_NE(siteGroup, nullptr);
  const int three = 3;
  siteGroup->SetPoleCount(&three);
  SetWorkedExample(doc.project, siteGroup);
  ASSERT_EQ(siteGroup->GetTotalPoleCount(), 3);
  const int N = siteGroup->GetLuminaireCount();
  // The other poles' prices are ignored whatever they are.
  const double dear = 999999;
  for (IPole* pole = FirstPole(siteGroup)->GetNext(); pole; pole = pole->GetNext()) {
    pole->SetPolePrice(&dear);
    pole->SetBracketPrice(&dear);
  }
  const tag_AREA_COSTS costs = ComputeAreaCosts(doc.project, site);
  EXPECT_EQ(costs.capitalLuminaires, N * (10000 + 800 + 500.0));
  EXPECT_EQ(costs.capitalPoles, 3 * (30000 + 5000.0) + N * (2000 + 1000.0));
}

TEST_F(CostEstimateTest, ASpacingOrLampLifeOfZeroLeavesOnlyTheFiguresBuiltOnItUnknown)
{
  const tag_AREA_COSTS before = Costs();
  group->GetLightDevice()->lampLife = 0;
  const tag_AREA_COSTS noLife = Costs();
  EXPECT_TRUE(std::isnan(noLife.lampReplacement));
  EXPECT_TRUE(std::isnan(noLife.operating));
  EXPECT_TRUE(std::isnan(noLife.fullAnnual));
  EXPECT_EQ(noLife.capital, before.capital);
  EXPECT_EQ(noLife.electricity, before.electricity);
  EXPECT_EQ(noLife.cleaning, before.cleaning);
  EXPECT_EQ(noLife.amortisation, before.amortisation);

  // Free lamps need no life to be replaced for nothing.
  group->GetLightDevice()->lampPrice = 0;
  group->GetLightDevice()->lampReplacementCost = 0;
  EXPECT_EQ(Costs().lampReplacement, 0);

  const double noSpacing = 0;
  group->SetStep(&noSpacing);
  ASSERT_EQ(*group->GetStep(), 0);
  for (double figure : Figures(Costs()))
    EXPECT_TRUE(std::isnan(figure));
}

}  // namespace
