#include "report/protocol/economic_section.h"

#include "graphics/core/model_ref.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iproject.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/number_text.h"
#include "model/pole.h"
#include "report/protocol/protocol_frame.h"
#include "report/protocol/report_strings.h"
#include "report/rtf/rtf_writer.h"

namespace {

constexpr int kResetColours = 8;

using ObjectModel::Round2;

// Stored prices are whole hundredths.
double Money(std::int32_t hundredths) { return hundredths / 100.0; }

CString Format(const char* format, double value)
{
  CString text;
  text.Format(format, value);
  return text;
}

CString Whole(long value)
{
  CString text;
  text.Format("{%ld}", value);
  return text;
}

CString Named(const CString& text) { return "{" + EscapeRtfText(text) + "}"; }

class EconomicWriter {
public:
  EconomicWriter(CRTFWriter& writer, bool straightRoad) : w(writer), m_straightRoad(straightRoad) {}

  void Plain() { w.SetFont(2, 20, 0); }

  void SubHeading(const char* text, int tabs)
  {
    w.BeginParagraph(0);
    w.SetFont(2, 22, 1);
    w.SetColours(6, 0);
    w.WriteText(text);
    w.WriteTabs(tabs);
    w.EndParagraph();
    w.SetColours(kResetColours, 0);
    Plain();
    w.WriteLineBreaks(1);
  }

  // caption, tabs, unit and its tabs when there is one, value, line breaks
  void Row(const CString& caption, int tabs, const char* unit, int unitTabs, const CString& value, int breaks)
  {
    w.WriteText(caption);
    w.WriteTabs(tabs);
    if (unit != nullptr) {
      w.WriteText(unit);
      w.WriteTabs(unitTabs);
    }
    w.WriteText(value);
    w.WriteLineBreaks(breaks);
  }

  // An amount whose digit groups a line never parts: they are joined by non-breaking spaces.
  static CString Unbroken(double amount)
  {
    CString text = FormatGroupedNumber(amount);
    text.Replace(" ", "\\~");
    return "{" + text + "}";
  }

  void MoneyRow(const char* caption, int tabs, double amount, int breaks)
  {
    Row(caption, tabs, "{руб}", 2, Unbroken(amount), breaks);
  }

  // P or N: per kilometre with two decimals on a straight road, whole otherwise.
  CString Count(double count) const { return Format(m_straightRoad ? "%.2lf" : "%.0lf", count); }

  // The result lines' faces: the unit letters in roman or Symbol, the amounts bold.
  void Roman(const char* text)
  {
    w.SetFont(1, 23, 0);
    w.WriteText(text);
  }
  void Symbol(const char* text)
  {
    w.SetFont(3, 23, 0);
    w.WriteText(text);
  }
  void Bold(const char* text)
  {
    w.SetFont(2, 20, 1);
    w.WriteText(text);
  }
  void Amount(double amount)
  {
    w.SetFont(2, 20, 1);
    w.WriteText(Unbroken(amount));
    Plain();
  }
  void AmountLine(const char* caption, int tabs, double amount, int breaks)
  {
    w.WriteTabs(1);
    w.WriteText(caption);
    w.WriteTabs(tabs);
    Amount(amount);
    w.WriteLineBreaks(breaks);
  }

  CRTFWriter& w;

private:
  bool m_straightRoad;
};

}  // namespace

EconomicTotals WriteEconomicSection(IQorRoadDoc* document, CRTFWriter& writer)
{
  EconomicTotals t;
  if (!writer.IsOpen() || document == nullptr) {
    return t;
  }
  void* projectPart = nullptr;
  if (FAILED(document->QueryInterface(IID_IProject, &projectPart)) || projectPart == nullptr) {
    return t;
  }
  ModelRef<IProject> project = ModelRef<IProject>::Adopt(static_cast<IProject*>(projectPart));
  ModelRef<IArea> area(project.get(), IID_ActiveArea);
  const bool straightRoad = IsOfClass(area.get(), CLSID_CStraightRoad);
  const double tariff = project->GetElectricityTariff();
  const int hours = *project->GetHoursOfUse();
  const double efficiency = *project->GetCapitalEfficiency();
  const double networkLoss = *project->GetNetworkLossFactor();
  const double luminaireShare = *project->GetLuminaireAmortisation();
  const double poleShare = *project->GetPoleAmortisation();
  const double bracketShare = *project->GetBracketAmortisation();
  const bool polesInCost = *project->GetPolesInCost() != 0;
  const bool bracketsInCost = *project->GetBracketsInCost() != 0;

  EconomicWriter e(writer, straightRoad);
  CRTFWriter& w = writer;

  w.SetColours(kResetColours, 0);
  w.WriteLineBreaks(2);
  w.BeginParagraph(0);
  w.SetFont(2, 25, 1);
  w.SetColours(5, 4);
  w.WriteText("{Экономический расчет}");
  w.WriteTabs(10);
  w.EndParagraph();
  w.BeginParagraph(0);
  w.EndParagraph();

  e.SubHeading("{Исходные данные}", 11);
  w.BeginParagraph(0);
  e.Row("{Тариф на электроэнергию}", 5, "{руб/кВт ч}", 1, Format("{%.2f}", tariff), 1);
  e.Row("{Число часов использования ОУ в год}", 4, "{час}", 2, Whole(hours), 2);
  e.Row("{Коэффициент эффективности капитальных вложений     }", 3, nullptr, 0, Format("{%.2f}", efficiency), 1);
  e.Row("{Коэффициент потерь мощности в сети    }", 5, nullptr, 0, Format("{%.2f}", networkLoss), 2);
  e.Row("{Доля отчисления на амортизацию ОП}", 6, nullptr, 0, Format("{%.2f}", luminaireShare), 1);
  e.Row("{Доля отчисления на амортизацию опор (мачт)    }", 4, nullptr, 0, Format("{%.2f}", poleShare), 1);
  e.Row("{Доля отчисления на амортизацию кронштейнов  }", 4, nullptr, 0, Format("{%.2f}", bracketShare), 1);
  w.EndParagraph();

  e.SubHeading("{Группы ОП}", 12);

  double cleaningSum = 0;     // C_clean
  double power = 0;           // W
  double replacementRate = 0; // R_lamp, per hour
  int onPage = 0;
  bool firstPage = true;
  ModelRef<IGroupsOfDev> groups(area.get(), IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> first(groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = first.get(); group != nullptr; group = group->GetNext()) {
    const CLightDevice* luminaire = group->GetLightDevice();
    if ((*group->GetState() & 0x1) != 0 && luminaire != nullptr) {
      ModelRef<IPole> pole(group, IID_IPole);
      const CLampPost* post = pole && *pole->GetTypical() != 0 ? pole->GetLampPost() : nullptr;
      double poles = 0;  // P
      if (straightRoad) {
        const double spacing = *group->GetStep();
        const int scheme = *group->GetRoadScheme();
        // A spacing of 0 has no poles per kilometre; dividing by it would print inf.
        poles = spacing > 0 ? 1000.0 / spacing : 0.0;
        if (scheme == 2 || scheme == 3 || scheme == 4) {
          poles *= 2;
        }
      } else {
        poles = group->GetTotalPoleCount();
      }
      const double luminaires = straightRoad ? group->GetLuminaireCount() * poles : group->GetLuminaireCount();  // N
      const bool led = luminaire->IsLed();

      w.BeginParagraph(0);
      if (onPage > 0) {
        w.WriteText("{" + CString('_', 86) + "}");
        w.WriteLineBreaks(2);
      }
      w.WriteText("{Наименование группы ОП}");
      w.WriteTabs(7);
      w.SetFont(2, 20, 1);
      w.WriteText(Named(*group->GetName()));
      w.SetColours(kResetColours, 0);
      e.Plain();
      w.WriteLineBreaks(1);
      e.Row("{Наименование ОП}", 8, nullptr, 0, Named(luminaire->GetDisplayName()), 2);
      e.Row(LoadReportString(straightRoad ? IDS_REPORT_LUMINAIRES_PER_KM : IDS_REPORT_LUMINAIRES_IN_GROUP), 7,
            nullptr, 0, e.Count(luminaires), 1);
      e.MoneyRow("{Стоимость одного ОП}", 6, Money(luminaire->luminairePrice), 2);
      e.MoneyRow("{Стоимость монтажа одного ОП  }", 4, Money(luminaire->installationCost), 1);
      e.MoneyRow("{Стоимость чистки одного ОП}", 5, Money(luminaire->cleaningCost), 1);
      e.Row("{Число чисток ОП в год}", 8, nullptr, 0, Whole(luminaire->cleaningsPerYear), 2);
      if (led) {
        e.Row("{Срок службы ОП}", 6, "{час}", 2, Whole(luminaire->luminaireLife), 1);
        e.Row("{Суммарная мощность светодиодов в одном ОП}", 2, "{Вт}", 2,
              FormatTwoDecimals(luminaire->lampCount * luminaire->lampPower), 1);
        e.Row("{Коэффициент потерь мощности в драйвере}", 5, nullptr, 0,
              FormatTwoDecimals(luminaire->powerLossFactor), 1);
      } else {
        e.Row("{Количество ИС в одном ОП}", 7, nullptr, 0, Whole(luminaire->lampCount), 1);
        e.Row("{Мощность одного ИС}", 6, "{Вт}", 2, FormatTwoDecimals(luminaire->lampPower), 1);
        e.MoneyRow("{Стоимость одного ИС}", 6, Money(luminaire->lampPrice), 2);
        e.MoneyRow("{Стоимость замены одного ИС}", 5, Money(luminaire->lampReplacementCost), 1);
        // A lamp without a service life is never replaced: its replacement is not costed, and the row says so.
        CString life = Whole(luminaire->lampLife);
        if (luminaire->lampLife <= 0) {
          life += "{ (замена ИС не учитывается)}";
        }
        e.Row("{Срок службы ИС}", 6, "{час}", 2, life, 1);
        e.Row("{Коэффициент потерь мощности в ПРА     }", 5, nullptr, 0,
              FormatTwoDecimals(luminaire->powerLossFactor), 1);
      }
      const double polePrice = pole ? pole->GetPolePrice() : 0.0;
      const double poleMountPrice = pole ? pole->GetPoleMountPrice() : 0.0;
      const double bracketPrice = pole ? pole->GetBracketPrice() : 0.0;
      const double bracketMountPrice = pole ? pole->GetBracketMountPrice() : 0.0;
      if (polesInCost) {
        w.WriteLineBreaks(1);
        if (post != nullptr) {
          e.Row("{Наименование опоры (мачты)}", 7, nullptr, 0, Named(post->designation), 1);
        }
        e.Row(LoadReportString(straightRoad ? IDS_REPORT_POLES_PER_KM : IDS_REPORT_POLES), straightRoad ? 6 : 7,
              nullptr, 0, e.Count(poles), 1);
        e.MoneyRow("{Стоимость одной опоры (мачты)}", 4, polePrice, 1);
        e.MoneyRow("{Стоимость монтажа одной опоры (мачты)}", 3, poleMountPrice, 1);
      }
      if (bracketsInCost) {
        w.WriteLineBreaks(1);
        if (post != nullptr) {
          const CLampConsole* bracket = post->GetCurrentBracket();
          e.Row("{Наименование кронштейна}", 7, nullptr, 0, Named(bracket != nullptr ? bracket->designation : ""),
                1);
        }
        e.Row(LoadReportString(straightRoad ? IDS_REPORT_BRACKETS_PER_KM : IDS_REPORT_BRACKETS),
              straightRoad ? 6 : 7, nullptr, 0, e.Count(luminaires), 1);
        e.MoneyRow("{Стоимость одного кронштейна}", 5, bracketPrice, 1);
        e.MoneyRow("{Стоимость монтажа одного кронштейна  }", 3, bracketMountPrice, 1);
      }
      w.EndParagraph();

      t.luminaires += Money(luminaire->luminairePrice) * luminaires;
      t.luminaireInstallation += Money(luminaire->installationCost) * luminaires;
      cleaningSum += Money(luminaire->cleaningCost) * luminaire->cleaningsPerYear * luminaires;
      power += luminaire->lampCount * luminaires * luminaire->lampPower * luminaire->powerLossFactor;
      if (!led) {
        const double lampSets = luminaire->lampCount * luminaires;
        t.lamps += lampSets * Money(luminaire->lampPrice);
        if (luminaire->lampLife > 0) {
          replacementRate += lampSets * (Money(luminaire->lampPrice) + Money(luminaire->lampReplacementCost)) /
                             luminaire->lampLife;
        }
      }
      if (polesInCost) {
        t.poles += polePrice * poles;
        t.poleInstallation += poleMountPrice * poles;
        if (bracketsInCost) {
          t.brackets += bracketPrice * luminaires;
          t.bracketInstallation += bracketMountPrice * luminaires;
        }
      }
    }
    // Every group of the list takes its place on the page, switched on or not: the inputs share the first page
    // with one group, every further page holds two.
    if (++onPage == (firstPage ? 1 : 2)) {
      w.NewPage();
      w.WriteLineBreaks(1);
      onPage = 0;
      firstPage = false;
    }
  }
  if (onPage != 0) {
    w.NewPage();
    w.WriteLineBreaks(1);
  }

  e.SubHeading(straightRoad ? "{Результаты расчета, руб. на 1 км}" : "{Результаты расчета, руб.}",
               straightRoad ? 8 : 10);

  t.luminaires = Round2(t.luminaires);
  t.lamps = Round2(t.lamps);
  t.luminaireInstallation = Round2(t.luminaireInstallation);
  t.poles = Round2(t.poles);
  t.brackets = Round2(t.brackets);
  t.poleInstallation = Round2(t.poleInstallation);
  t.bracketInstallation = Round2(t.bracketInstallation);
  t.equipment = t.luminaires + t.lamps + t.poles + t.brackets;
  t.installation = t.poleInstallation + t.luminaireInstallation + t.bracketInstallation;
  t.capital = Round2(t.luminaires + t.lamps + t.luminaireInstallation + t.poles + t.brackets + t.poleInstallation +
                     t.bracketInstallation);
  t.electricity = Round2(hours * networkLoss * tariff * power / 1000.0);
  t.lampReplacement = Round2(hours * replacementRate);
  t.cleaning = Round2(cleaningSum);
  t.amortisation = Round2(luminaireShare * (t.luminaires + t.lamps + t.luminaireInstallation) +
                          poleShare * (t.poles + t.poleInstallation) +
                          bracketShare * (t.brackets + t.bracketInstallation));
  t.operating = Round2(t.electricity + t.lampReplacement + t.cleaning + t.amortisation);
  t.annual = Round2(Round2(efficiency * t.capital) + t.operating);

  w.BeginParagraph(0);
  w.WriteLineBreaks(1);
  w.WriteText("{      \\b Затраты на оборудование }");
  e.Roman("{К\\dn3\\fs15 обор\\up0\\fs23}");
  e.Bold("{, включая:}");
  e.Plain();
  w.WriteTabs(4);
  e.Amount(t.equipment);
  w.WriteLineBreaks(1);
  e.AmountLine("{Суммарную стоимость ОП (без ИС)}", 5, t.luminaires, 1);
  e.AmountLine("{Cтоимость одного комплекта ИС}", 5, t.lamps, 1);
  if (polesInCost) {
    e.AmountLine("{Суммарную стоимость опор (мачт)}", 5, t.poles, 1);
  }
  if (bracketsInCost) {
    e.AmountLine("{Суммарную стоимость кронштейнов}", 5, t.brackets, 1);
  }
  w.WriteLineBreaks(1);

  w.WriteText("{      \\b Затраты на монтаж оборудования }");
  e.Roman("{К\\dn3\\fs15 монт\\up0\\fs23}");
  e.Bold("{, включая:}");
  e.Plain();
  w.WriteTabs(3);
  e.Amount(t.installation);
  w.WriteLineBreaks(1);
  e.AmountLine("{Суммарную стоимость монтажа ОП}", 5, t.luminaireInstallation, 1);
  if (polesInCost) {
    e.AmountLine("{Суммарную стоимость монтажа опор (мачт)}", 4, t.poleInstallation, 1);
  }
  if (bracketsInCost) {
    e.AmountLine("{Суммарную стоимость монтажа кронштейнов}", 4, t.bracketInstallation, 1);
  }
  w.WriteLineBreaks(1);

  w.WriteText("{      \\b Полные капитальные затраты }");
  e.Roman("{К = К\\dn3\\fs15 обор\\up0\\fs23  + К\\dn3\\fs15 монт\\up0\\fs23}");
  e.Plain();
  w.WriteTabs(4);
  e.Amount(t.capital);
  w.WriteLineBreaks(2);

  e.Bold("{Капитальные затраты (приведенные к году)}");
  e.Symbol("{ e}");
  e.Roman("{К}");
  e.Plain();
  w.WriteTabs(4);
  e.Amount(efficiency * t.capital);
  w.WriteLineBreaks(2);

  e.Bold("{Эксплуатационные расходы за год }");
  e.Roman("{Э}");
  e.Bold("{, включая:}");
  e.Plain();
  w.WriteTabs(4);
  e.Amount(t.operating);
  w.WriteLineBreaks(1);
  const struct {
    const char* caption;
    int tabs;
    double amount;
    int breaks;
  } operating[] = {{"{      Годовые расходы на электроэнергию}", 5, t.electricity, 1},
                   {"{      Годовые расходы на замену ИС}", 6, t.lampReplacement, 1},
                   {"{      Годовые расходы на чистку ОП}", 6, t.cleaning, 1},
                   {"{      Приведенные амортизационные отчисления}", 4, t.amortisation, 2}};
  for (const auto& line : operating) {
    w.WriteText(line.caption);
    w.WriteTabs(line.tabs);
    e.Amount(line.amount);
    w.WriteLineBreaks(line.breaks);
  }

  e.Bold("{Полные годовые приведенные затраты }");
  e.Roman("{Q = }");
  e.Symbol("{ e}");
  e.Roman("{К + Э}");
  e.Plain();
  w.WriteTabs(3);
  e.Amount(t.annual);
  w.WriteLineBreaks(1);
  w.EndParagraph();
  return t;
}
