// The pages' exchange with the area: what each page loads, what it refuses (with the message and the caption
// the user reads), where its spins stop, what it writes and when.
#include "graphics/core/model_ref.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iprimitive.h"
#include "model/iroad.h"
#include "tests/wizard/wizard_fixture.h"
#include "wizard/form_pages.h"
#include "wizard/road_pages.h"

namespace {

using Wizard::CDlgWizard;
using wizard_testing::WizardTest;

constexpr char kCaption[] = "Мастер создания объектов";

class PagesTest : public WizardTest {
protected:
  // Kind by welcome index, then Next `nexts` times; `act` works on the page reached.
  void OnPage(int kindIndex, int nexts, const std::function<void(CDlgWizard&, Wizard::CWDialog&)>& act)
  {
    Run([&](CDlgWizard& w) {
      ChooseKind(w, kindIndex);
      for (int i = 0; i < nexts; ++i)
        Next(w);
      act(w, *w.m_current);
      return IDCANCEL;
    });
  }
  std::string LastBox() const { return boxes.empty() ? std::string() : boxes.back(); }

  static int PrimitiveCount(IArea* area)
  {
    ModelRef<IPrimitive> first(area, IID_IPrimitive);
    int count = 0;
    for (IPrimitive* p = first.get(); p; p = p->GetNext())
      ++count;
    return count;
  }
};

TEST_F(PagesTest, ATwoWayRoadWithoutDividerLoadsAndTheDirectionListGovernsTheDividerControls)
{
  OnPage(0, 1, [&](CDlgWizard&, Wizard::CWDialog& page) {
    ModelRef<IRoad> road(data_.area, IID_IRoad);
    const int on = 1;
    const int off = 0;
    const UINT two = 2;
    road->SetTwoWay(&on);
    road->SetLaneCount(&kLaneMain, &two);
    road->SetLaneCount(&kLaneOpposite, &two);
    road->SetDividerOn(&off);
    page.TransferData(FALSE);
    EXPECT_EQ(page.GetDlgItem(1034)->SendMessage(CB_GETCURSEL), 1);
    EXPECT_EQ(Text(&page, 1036), "2");
    EXPECT_TRUE(Enabled(&page, 1004));
    EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, 1004), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(Enabled(&page, 1042));

    Choose(&page, 1034, 0);
    EXPECT_FALSE(Enabled(&page, 1004));
    EXPECT_EQ(Text(&page, 1042), "0");

    // Back to two-way: the strip's state and width come from the road again.
    road->SetDividerOn(&on);
    const double strip = 3.5;
    road->SetLaneWidth(&kLaneDivider, &strip);
    Choose(&page, 1034, 1);
    EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, 1004), static_cast<UINT>(BST_CHECKED));
    EXPECT_TRUE(Enabled(&page, 1042));
    EXPECT_EQ(Text(&page, 1042), "3.5");
  });
  EXPECT_TRUE(boxes.empty());
}

TEST_F(PagesTest, TheLaneCountStaysWithinOneToSix)
{
  OnPage(0, 1, [&](CDlgWizard& w, Wizard::CWDialog& page) {
    for (const char* lanes : {"7", "0"}) {
      Type(&page, 1036, lanes);
      EXPECT_EQ(LastBox(), "Число полос должно быть в диапазоне от 1 до 6.") << lanes;
    }
    EXPECT_EQ(boxCaptions.back(), kCaption);
    const size_t shown = boxes.size();
    Next(w);
    EXPECT_EQ(w.m_current->m_templateId, 302);
    EXPECT_GT(boxes.size(), shown);

    Type(&page, 1036, "6");
    Spin(&page, 1037, -1);
    EXPECT_EQ(Text(&page, 1036), "6");
    Type(&page, 1036, "1");
    Spin(&page, 1037, 1);
    EXPECT_EQ(Text(&page, 1036), "1");
    Spin(&page, 1037, -1);
    EXPECT_EQ(Text(&page, 1036), "2");
  });
}

TEST_F(PagesTest, TurningTheSidewalkOffMarksItAbsentAndKeepsTheStripsWidths)
{
  double rightWidth = 0;
  OnPage(0, 1, [&](CDlgWizard& w, Wizard::CWDialog& page) {
    ModelRef<IPavement> pavement(data_.area, IID_IPavement);
    ModelRef<ILineOfRoad> right(pavement.get(), IID_RightPavement);
    rightWidth = *right->GetWidth();
    ASSERT_EQ(::IsDlgButtonChecked(page.m_hWnd, 1020), static_cast<UINT>(BST_CHECKED));
    Toggle(&page, 1020);
    for (int id : {1045, 1046, 1047, 1048, 1049, 1050, 1051, 1052})
      EXPECT_FALSE(Enabled(&page, id)) << id;
    EXPECT_EQ(Text(&page, 1046), "0");
    EXPECT_EQ(Text(&page, 1050), "0");
    Type(&page, 1036, "3");
    Next(w);
    EXPECT_EQ(w.m_current->m_templateId, 304);
    EXPECT_NE(*pavement->GetFlags() & kSideAbsent, 0);
    EXPECT_EQ(*right->GetWidth(), rightWidth);
    ModelRef<IRoad> road(data_.area, IID_IRoad);
    EXPECT_EQ(road->GetLaneCount(&kLaneMain), 3u);
  });
  EXPECT_TRUE(boxes.empty());
}

TEST_F(PagesTest, TheSchemePageRefusesZeroSpacingAndItsSpinStopsAboveZero)
{
  OnPage(0, 2, [&](CDlgWizard& w, Wizard::CWDialog& page) {
    Type(&page, 1036, "0");
    EXPECT_EQ(LastBox(), "Шаг между опорами в линии должен быть больше нуля");
    Type(&page, 1036, "2.5");
    for (int i = 0; i < 3; ++i)
      Spin(&page, 1037, 1);
    EXPECT_EQ(Text(&page, 1036), "0.5");
    Choose(&page, 1034, 3);
    Type(&page, 1036, "30");
    Next(w);
    ModelRef<IGroupsOfDev> groups(data_.area, IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> group(groups.get(), IID_IGroupOfDev);
    EXPECT_EQ(*group->GetRoadScheme(), 3);
    EXPECT_EQ(*group->GetStep(), 30.0);
  });
}

TEST_F(PagesTest, TheSectionPageKeepsItsSizeWithinFiftyToTwoThousandAndWritesItOnlyWhenLeft)
{
  OnPage(6, 1, [&](CDlgWizard& w, Wizard::CWDialog& page) {
    const double width = *data_.area->GetWidth();
    Type(&page, 1054, "49");
    EXPECT_EQ(LastBox(), "Длина участка должна быть в диапазоне от 50 до 2000м.");
    Type(&page, 1054, "60");
    Type(&page, 1055, "2001");
    EXPECT_EQ(LastBox(), "Ширина участка должна быть в диапазоне от 50 до 2000м.");
    Type(&page, 1055, "50");
    Spin(&page, 1040, 1);
    EXPECT_EQ(Text(&page, 1055), "50");
    EXPECT_EQ(*data_.area->GetWidth(), width);
    Next(w);
    EXPECT_EQ(*data_.area->GetWidth(), 50.0);
    EXPECT_EQ(*data_.area->GetLength(), 60.0);
  });
}

TEST_F(PagesTest, TheCrossingAngleIsCheckedByItsMagnitude)
{
  const struct {
    const char* angle;
    bool accepted;
  } cases[] = {{"-45", true}, {"170", true}, {"175", false}, {"-5", false}, {"10", true}};
  OnPage(2, 2, [&](CDlgWizard&, Wizard::CWDialog& page) {
    ModelRef<ICustomizeRoad> site(data_.area, IID_ICustomizeRoad);
    for (const auto& c : cases) {
      boxes.clear();
      const double before = *site->GetFormAngle1();
      Type(&page, 1091, c.angle);
      EXPECT_EQ(boxes.empty(), c.accepted) << c.angle;
      if (c.accepted) {
        EXPECT_EQ(*site->GetFormAngle1(), std::atof(c.angle)) << c.angle;
      } else {
        EXPECT_EQ(LastBox(), "Модуль угола пересечения должен быть в диапазоне от 10 до 170 град.") << c.angle;
        EXPECT_EQ(*site->GetFormAngle1(), before) << c.angle;
      }
    }
    Type(&page, 1091, "170");
    Spin(&page, 1040, -1);
    EXPECT_EQ(Text(&page, 1091), "170");
  });
}

TEST_F(PagesTest, CarriagewaysWiderThanTheAreaAreLoweredOnLoad)
{
  Run([&](CDlgWizard& w) {
    ChooseKind(w, 2);
    Next(w);
    Type(w.m_current, 1055, "50");
    Next(w);
    EXPECT_EQ(Text(w.m_current, 1088), "15");
    EXPECT_EQ(Text(w.m_current, 1089), "11.25");
    auto* crossing = static_cast<Wizard::CTwoBranchPage*>(w.m_current);
    crossing->m_width1 = 70;
    crossing->TransferData(FALSE);
    EXPECT_EQ(crossing->m_width1, crossing->m_areaWidth);
    return IDCANCEL;
  });
}

TEST_F(PagesTest, AForkWithBothBranchesSquareIsRefusedOnEitherBox)
{
  OnPage(4, 2, [&](CDlgWizard&, Wizard::CWDialog& page) {
    Type(&page, 1091, "90");
    EXPECT_TRUE(boxes.empty());
    Type(&page, 1067, "-90");
    EXPECT_EQ(LastBox(), "Угол отклонения ПЧ-3 от ПЧ-1 должен быть в диапазоне от -90 до -10 град.");
    Type(&page, 1091, "80");
    boxes.clear();
    Type(&page, 1067, "-90");
    EXPECT_TRUE(boxes.empty());
    Type(&page, 1091, "90");
    EXPECT_EQ(LastBox(), "Угол отклонения ПЧ-2 от ПЧ-1 должен быть в диапазоне от 10 до 90 град.");
  });
}

TEST_F(PagesTest, TheRoundaboutRefusesARingWithoutWidthAndSixCarriageways)
{
  OnPage(6, 2, [&](CDlgWizard& w, Wizard::CWDialog& page) {
    Type(&page, 1094, "20");
    Type(&page, 1093, "20");
    EXPECT_EQ(LastBox(), "Введенные данные некорректны для построения объекта.");
    Type(&page, 1093, "10");
    boxes.clear();
    Type(&page, 1095, "6");
    Next(w);
    EXPECT_EQ(LastBox(), "Число ПЧ должно быть от 1 до 5.");
    EXPECT_EQ(w.m_current->m_templateId, 325);
    Type(&page, 1095, "4");
    Spin(&page, 1040, -5);  // 15 + 5 reaches the outer radius
    EXPECT_EQ(Text(&page, 1056), "15");
  });
}

TEST_F(PagesTest, ARoundaboutTheModelCannotFitIsNeitherBuiltNorDrawn)
{
  OnPage(6, 2, [&](CDlgWizard& w, Wizard::CWDialog& page) {
    auto& ring = static_cast<Wizard::CFormPage&>(page);
    ASSERT_TRUE(ring.m_formBuilt);
    const int built = PrimitiveCount(data_.area);
    ASSERT_GT(built, 1);
    // Carriageways of 19 m with their sidewalks leave no room for an inner ring of 19.5 m inside 20 m.
    Type(&page, 1093, "19.5");
    Type(&page, 1056, "19");
    boxes.clear();
    Next(w);
    EXPECT_EQ(w.m_current->m_templateId, 325);
    EXPECT_EQ(LastBox(), "Введенные данные некорректны для построения объекта.");
    EXPECT_FALSE(ring.m_formBuilt);
    EXPECT_EQ(PrimitiveCount(data_.area), built);
    // Fitting values again build and draw the form.
    Type(&page, 1093, "10");
    EXPECT_TRUE(ring.m_formBuilt);
  });
}

TEST_F(PagesTest, TheTurnsFilletKeepsAtLeastTheModelsMinimumAndTwoMetres)
{
  OnPage(1, 2, [&](CDlgWizard&, Wizard::CWDialog& page) {
    auto& turn = static_cast<Wizard::CPageOfPropOfTurnLine&>(page);
    // Half of 15 m of carriageway and 2 × (2 + 1) m of sidewalk, and 2 m.
    Toggle(&page, 1068);
    EXPECT_EQ(Text(&page, 1067), "12.5");
    EXPECT_TRUE(Enabled(&page, 1067));
    Spin(&page, 1070, 1);
    EXPECT_EQ(Text(&page, 1067), "12.5");
    // A wider sidewalk by its spin: the least radius grows with the band stored before the spin.
    Spin(&page, 1061, -1);
    Spin(&page, 1061, -1);
    EXPECT_EQ(turn.m_radius, 13.5);
    Type(&page, 1056, "25");
    EXPECT_EQ(turn.m_radius, 19.5);
    Type(&page, 1067, "5");
    EXPECT_EQ(LastBox(), "Значение радиуса сопряжения должно быть больше 12 м.");
    EXPECT_EQ(turn.m_radius, 19.5);
    Toggle(&page, 1068);
    EXPECT_EQ(turn.m_radius, 0);
    EXPECT_FALSE(Enabled(&page, 1067));
  });
}

TEST_F(PagesTest, TheSidewalkComesBackWithItsDefaultsNotTheValuesTyped)
{
  OnPage(5, 2, [&](CDlgWizard&, Wizard::CWDialog& page) {
    Type(&page, 1059, "3.5");
    Toggle(&page, 1058);
    EXPECT_EQ(Text(&page, 1059), "0");
    ModelRef<ICustomizeRoad> site(data_.area, IID_ICustomizeRoad);
    EXPECT_NE(*site->GetSidewalkState() & 0x2, 0);
    Toggle(&page, 1058);
    EXPECT_EQ(Text(&page, 1059), "2");
    EXPECT_EQ(Text(&page, 1060), "1");
    EXPECT_EQ(*site->GetSidewalkState() & 0x2, 0);
  });
}

TEST_F(PagesTest, TheWideningLengthIsHalfTheAreaOnEveryLoadAndBelowTheAreaLength)
{
  OnPage(5, 2, [&](CDlgWizard&, Wizard::CWDialog& page) {
    auto& widening = static_cast<Wizard::CPageOfPropOfAugmentationLine&>(page);
    const double half = widening.m_areaLength / 2;
    EXPECT_EQ(widening.m_length, half);
    CString areaLength;
    areaLength.Format("%.0lf", widening.m_areaLength);
    Type(&page, 1092, areaLength);
    Type(&page, 1088, "14");
    EXPECT_EQ(LastBox(), std::string("Длина переходного участка должна быть в диапазоне от 0 до ") +
                             static_cast<LPCSTR>(areaLength) + "м.");
    Type(&page, 1092, "3");
    page.TransferData(FALSE);
    EXPECT_EQ(widening.m_length, half);
  });
}

}  // namespace
