// The end page's summary of the new project, line by line as the user reads it before finishing.
#include "graphics/core/model_ref.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "platform/base/codepage.h"
#include "tests/wizard/wizard_fixture.h"
#include "wizard/end_page.h"
#include "wizard/form_pages.h"

#include <fstream>

namespace {

using Wizard::CDlgWizard;
using wizard_testing::WizardTest;

class SummaryTest : public WizardTest {
protected:
  // The summary the end page shows after `fill` worked on the chain of the welcome entry.
  std::string SummaryAfter(int kindIndex, const std::function<void(CDlgWizard&)>& fill)
  {
    if (data_.area) {
      data_.area->Release();
      data_.area = nullptr;
    }
    data_.type = 0;
    std::string summary;
    Run([&](CDlgWizard& w) {
      ChooseKind(w, kindIndex);
      Next(w);
      fill(w);
      while (w.m_current->m_next)
        Next(w);
      EXPECT_EQ(w.m_current->m_templateId, 305);
      summary = Text(w.m_current, 1036);
      return IDOK;
    });
    return summary;
  }
  static std::string Defaults(bool straightRoad)
  {
    std::string text = "\r\nПараметры проекта по умолчанию:\r\n"
                       "   Высота светового центра: 10 м\r\n"
                       "   Вылет: 2 м\r\n";
    if (straightRoad)
      text += "   Отступ от края проезжей части: 1 м\r\n";
    text += "   Наклон: 15 град\r\n"
            "   Осветительный прибор:\r\n"
            "      Наименование: ЖКУ 21-100-001\r\n"
            "      Mощность: 100 Вт\r\n"
            "      Световой поток: 11500 лм\r\n"
            "\r\nПримечание: Параметры проекта заданные по умолчанию\r\n"
            "могут быть изменены в разделе параметры соответствующих\r\n"
            "объектов. Дополнительную информацию по работе с\r\n"
            "объектами вы можете получить из справочной системы F1.\r\n";
    return text;
  }
};

TEST_F(SummaryTest, AOneWayRoadWithoutSidewalksHasNoDividerOrSidewalkLinesButKeepsTheSetback)
{
  const std::string summary = SummaryAfter(0, [&](CDlgWizard& w) {
    Choose(w.m_current, 1034, 0);
    Toggle(w.m_current, 1020);
    Type(w.m_current, 1036, "2");
    Type(w.m_current, 1039, "3.75");
    Next(w);
    Choose(w.m_current, 1034, 0);
    Type(w.m_current, 1036, "30");
  });
  EXPECT_EQ(summary, "Проезжая часть:\r\n"
                     "   Движение: одностороннее\r\n"
                     "   Число полос движения: 2 \r\n"
                     "   Ширина полосы: 3.75 м \r\n"
                     "   Схема размещения: односторонняя правая\r\n"
                     "   Шаг между опорами: 30 м\r\n" +
                         Defaults(true));
}

TEST_F(SummaryTest, ATwoWayRoadShowsItsDividerAndSidewalkOnlyWhenOn)
{
  const std::string summary = SummaryAfter(0, [&](CDlgWizard& w) {
    Choose(w.m_current, 1034, 1);
    if (::IsDlgButtonChecked(w.m_current->m_hWnd, 1004) != BST_CHECKED)
      Toggle(w.m_current, 1004);
    Type(w.m_current, 1042, "2.5");
  });
  EXPECT_NE(summary.find("   Движение: двустороннее\r\n"), std::string::npos);
  EXPECT_NE(summary.find("   Ширина разделительной полосы: 2.5 м\r\n"), std::string::npos);
  EXPECT_NE(summary.find("   Ширина тротуара: "), std::string::npos);

  const std::string withoutStrip = SummaryAfter(0, [&](CDlgWizard& w) {
    Choose(w.m_current, 1034, 1);
    if (::IsDlgButtonChecked(w.m_current->m_hWnd, 1004) == BST_CHECKED)
      Toggle(w.m_current, 1004);
  });
  EXPECT_EQ(withoutStrip.find("разделительной"), std::string::npos);
}

TEST_F(SummaryTest, ACrossingShowsItsWidthsWithoutTrailingZerosAndNoSetback)
{
  const std::string summary = SummaryAfter(2, [&](CDlgWizard& w) {
    Type(w.m_current, 1054, "100");
    Type(w.m_current, 1055, "80");
    Next(w);
    Type(w.m_current, 1088, "15");
    Type(w.m_current, 1089, "11.25");
    Type(w.m_current, 1091, "60");
  });
  std::string expected = "Расчетный участок:\r\n"
                         "   Длина: 100 м \r\n"
                         "   Ширина: 80 м \r\n"
                         "\r\nПроезжая часть (Пересечение):\r\n"
                         "   Ширина ПЧ-1: 15 м \r\n"
                         "   Ширина ПЧ-2: 11.25 м \r\n"
                         "   Угол пересечения ПЧ-1 и ПЧ-2: 60 грд. \r\n"
                         "   Ширина тротуара: 2 м\r\n"
                         "   Отступ от края проезжей части: 1 м\r\n";
  EXPECT_EQ(summary, expected + Defaults(false));
}

TEST_F(SummaryTest, ATurnsFilletRadiusIsTheLastLineOfItsRoadPart)
{
  const std::string without = SummaryAfter(1, [&](CDlgWizard& w) { Next(w); });
  EXPECT_EQ(without.find("Радиус сопряжения"), std::string::npos);

  const std::string with = SummaryAfter(1, [&](CDlgWizard& w) {
    Next(w);
    Toggle(w.m_current, 1068);
  });
  const std::string tail = "   Отступ от края проезжей части: 1 м\r\n"
                           "   Радиус сопряжения: 12.5 м\r\n"
                           "\r\nПараметры проекта по умолчанию:";
  EXPECT_NE(with.find("\r\nПроезжая часть (Поворот):\r\n   Ширина полосы: 15 м \r\n   Угол поворота: 45 грд. \r\n"),
            std::string::npos);
  EXPECT_NE(with.find(tail), std::string::npos);
}

TEST_F(SummaryTest, ARoundaboutShowsTheAreaItsPageEnlarged)
{
  const std::string summary = SummaryAfter(6, [&](CDlgWizard& w) {
    Type(w.m_current, 1054, "50");
    Type(w.m_current, 1055, "50");
    Next(w);
    Type(w.m_current, 1094, "24");
    Type(w.m_current, 1093, "10");
  });
  // A ring of 24 m with its 3 m sidewalk band needs 2.2 × 27 m.
  EXPECT_NE(summary.find("   Длина: 59.4 м \r\n   Ширина: 59.4 м \r\n"), std::string::npos);
  EXPECT_NE(summary.find("   Число ПЧ: 5 \r\n"), std::string::npos);
}

TEST_F(SummaryTest, TheSummariesOfEveryKindAreKeptForReading)
{
  std::ofstream out(std::string(TESMIRA_ARTIFACTS_DIR) + "/wizard-summaries.txt", std::ios::binary);
  const char* names[] = {"Прямая дорога", "Поворот", "Пересечение", "Примыкание", "Развилка", "Уширение",
                         "Кольцевое пересечение"};
  for (int index = 0; index < 7; ++index) {
    const std::string summary = SummaryAfter(index, [](CDlgWizard&) {});
    out << codepage::Cp1251ToUtf8(std::string("== ") + names[index] + " ==\r\n" + summary + "\r\n");
  }
  EXPECT_TRUE(out.good());
}

}  // namespace
