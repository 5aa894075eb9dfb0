// The economic section over a straight road in memory: the totals against amounts worked out by hand from the
// price sets, the rows an LED luminaire and the cost flags choose, a lamp without a service life, and the pages.
#include "report/protocol/economic_section.h"

#include "model/groups_of_dev.h"
#include "model/igroups.h"
#include "model/ipole.h"
#include "model/light_device.h"
#include "tests/report/summary_fixture.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Prices {
  // luminaire
  const char* lampType;
  int lamps;
  double lampPower, loss;
  double price, installation, cleaning;
  int cleanings;
  double lampPrice, replacement;
  int lampLife;
  // pole
  double pole, poleMount, bracket, bracketMount;
  // placement
  double spacing;
  int scheme;
  // project
  double tariff;
  int hours;
  double efficiency, networkLoss, luminaireShare, poleShare, bracketShare;
  int polesInCost, bracketsInCost;
};

void Apply(ProjectDocument& doc, IGroupOfDev* group, const Prices& p)
{
  CLightDevice& l = *group->GetLightDevice();
  l.lampType = p.lampType;
  l.lampCount = p.lamps;
  l.lampPower = p.lampPower;
  l.powerLossFactor = p.loss;
  l.SetPrice(&p.price);
  l.SetInstallationCost(&p.installation);
  l.SetCleaningCost(&p.cleaning);
  l.cleaningsPerYear = p.cleanings;
  l.SetLampPrice(&p.lampPrice);
  l.SetLampReplacementCost(&p.replacement);
  l.lampLife = p.lampLife;
  IPole* pole = Part<IPole>(group, IID_IPole);
  const int notTypical = 0;
  pole->SetTypical(&notTypical);
  pole->SetPolePrice(&p.pole);
  pole->SetPoleMountPrice(&p.poleMount);
  pole->SetBracketPrice(&p.bracket);
  pole->SetBracketMountPrice(&p.bracketMount);
  const int on = 1;
  group->SetState(&on);
  group->SetStep(&p.spacing);
  group->SetRoadScheme(&p.scheme);
  IProject* project = doc.project;
  project->SetElectricityTariff(&p.tariff);
  project->SetHoursOfUse(&p.hours);
  project->SetCapitalEfficiency(&p.efficiency);
  project->SetNetworkLossFactor(&p.networkLoss);
  project->SetLuminaireAmortisation(&p.luminaireShare);
  project->SetPoleAmortisation(&p.poleShare);
  project->SetBracketAmortisation(&p.bracketShare);
  project->SetPolesInCost(&p.polesInCost);
  project->SetBracketsInCost(&p.bracketsInCost);
}

IGroupOfDev* FirstGroup(IArea* road)
{
  return static_cast<ObjectModel::CGroupsOfDev*>(Part<IGroupsOfDev>(road, IID_IGroupsOfDev))->GetFirstGroup();
}

std::string Section(ProjectDocument& doc, EconomicTotals* totals = nullptr)
{
  CRTFWriter writer;
  EXPECT_EQ(writer.Open(), 1);
  const EconomicTotals t = WriteEconomicSection(&doc, writer);
  if (totals != nullptr)
    *totals = t;
  return Document(writer);
}

std::size_t Count(const std::string& text, const std::string& part)
{
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

TEST(EconomicSection, TotalsOfThreePriceSetsAsWorkedOutByHand)
{
  const struct {
    const char* name;
    Prices prices;
    // K_equipment, K_installation, K, E_el, E_lamp, E_clean, E_amort, E, Q as worked out by hand (halves away
    // from zero at every rounding the section makes), and as the protocol prints them.
    double expected[9];
    std::vector<const char*> printed;
    std::vector<const char*> absent;
  } cases[] = {
      {"sodium lamps, 40 m two-sided, poles and brackets in the cost",
       {"ДНаТ", 1, 150, 1.1, 15000, 2500.5, 300, 2, 450.25, 120, 12000, 40000, 8000, 5000, 1000, 40, 2, 4.5, 4100,
        0.12, 1.05, 0.06, 0.04, 0.05, 1, 1},
       {3022512.5, 575025, 3597537.5, 159823.13, 9741.77, 30000, 164852.25, 364417.15, 796121.65},
       {"{50.00}", "{3 022 512.5}", "{3 597 537.5}", "{159 823.13}", "{796 121.65}", "{Количество ИС в одном ОП}",
        "{Суммарную стоимость монтажа опор (мачт)}"},
       {"{Суммарная мощность светодиодов в одном ОП}"}},
      {"LED luminaires, 35 m one-sided, brackets in the cost without poles",
       {"СД модуль", 2, 30, 1.05, 22000, 1800, 250, 1, 0, 0, 50000, 40000, 8000, 5000, 1000, 35, 0, 5.2, 3500, 0.15,
        1.0, 0.1, 0.04, 0.05, 0, 1},
       {628571.43, 51428.57, 680000, 32760, 0, 7142.86, 68000, 107902.86, 209902.86},
       {"{28.57}", "{680 000}", "{209 902.86}", "{Суммарная мощность светодиодов в одном ОП}", "{60}",
        "{Суммарную стоимость кронштейнов}", "{Стоимость одного кронштейна}"},
       {"{Количество ИС в одном ОП}", "{Суммарную стоимость опор (мачт)}"}},
      {"a lamp without a service life, a half at the third decimal",
       {"ДРЛ", 1, 100, 1.0, 0.25, 0, 0, 0, 100, 50, 0, 0, 0, 0, 0, 1000, 0, 1, 1000, 0.2, 1.0, 0.5, 0, 0, 0, 0},
       {100.25, 0, 100.25, 100, 0, 0, 50.13, 150.13, 170.18},
       {"{50.13}", "{170.18}", "{1.00}", "(замена ИС не учитывается)"},
       {"inf", "nan"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProjectDocument doc;
    IArea* road = doc.Areas()[0];
    Apply(doc, FirstGroup(road), c.prices);
    EconomicTotals t;
    const std::string text = Section(doc, &t);
    const double got[9] = {t.equipment,   t.installation, t.capital,      t.electricity, t.lampReplacement,
                           t.cleaning,    t.amortisation, t.operating,    t.annual};
    for (int i = 0; i < 9; ++i)
      EXPECT_NEAR(got[i], c.expected[i], 0.0001) << "total " << i;
    for (const char* part : c.printed) {
      // Amounts are printed with their digit groups joined by non-breaking spaces.
      std::string printed = part;
      if (printed.find_first_not_of("{}0123456789 .-") == std::string::npos) {
        for (std::size_t at = printed.find(' '); at != std::string::npos; at = printed.find(' ', at))
          printed.replace(at, 1, "\\~");
      }
      EXPECT_NE(text.find(printed), std::string::npos) << printed;
    }
    for (const char* part : c.absent)
      EXPECT_EQ(text.find(part), std::string::npos) << part;
  }
}

TEST(EconomicSection, AClosedWriterGetsNothing)
{
  ProjectDocument doc;
  CRTFWriter writer;
  WriteEconomicSection(&doc, writer);
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(writer.GetFile(), nullptr);
}

TEST(EconomicSection, NoGroupOnStillWritesEveryResultLineWithZero)
{
  ProjectDocument doc;
  const int off = 0;
  FirstGroup(doc.Areas()[0])->SetState(&off);
  EconomicTotals t;
  const std::string text = Section(doc, &t);
  EXPECT_EQ(t.annual, 0.0);
  EXPECT_EQ(text.find("{Наименование группы ОП}"), std::string::npos);
  for (const char* part : {"{Исходные данные}", "{Группы ОП}", "{Результаты расчета, руб. на 1 км}",
                           "{Полные годовые приведенные затраты }"})
    EXPECT_NE(text.find(part), std::string::npos) << part;
}

TEST(EconomicSection, TheInputsShareTheirPageWithOneGroupAndEveryFurtherPageHoldsTwo)
{
  ProjectDocument doc;
  IArea* road = doc.Areas()[0];
  auto* groups = static_cast<ObjectModel::CGroupsOfDev*>(Part<IGroupsOfDev>(road, IID_IGroupsOfDev));
  const int on = 1, off = 0;
  for (int i = 0; i < 2; ++i)
    groups->AppendGroup(groups->CreateGroup());
  IGroupOfDev* first = groups->GetFirstGroup();
  const struct {
    int states[3];
    int pages;       // page breaks the section writes
    int separators;  // underscore lines between groups on one page
  } cases[] = {
      {{on, on, on}, 2, 1},    // group 1 | groups 2 and 3 | results
      {{on, off, on}, 2, 1},   // a switched-off group keeps its place on the page
      {{on, on, off}, 2, 0},   // group 1 | group 2 | results
      {{off, off, off}, 2, 0},
  };
  for (const auto& c : cases) {
    IGroupOfDev* g = first;
    for (int state : c.states) {
      g->SetState(&state);
      g = g->GetNext();
    }
    CRTFWriter writer;
    ASSERT_EQ(writer.Open(), 1);
    WriteEconomicSection(&doc, writer);
    EXPECT_EQ(writer.GetPageCount(), c.pages);
    EXPECT_EQ(Count(Document(writer), std::string(86, '_')), static_cast<std::size_t>(c.separators));
  }
}

}  // namespace
