// An open site's category nodes in the pane: the typical form's parameters under the carriageway node, the
// sidewalk node, the fixed nodes and a user group of primitives; then the edits that try the form against the area.
#include "tests/app/panes/parameters/pane_env.h"

#include "model/iprimitive.h"

namespace {

using Lines = std::vector<std::string>;
using namespace VisualCtrl;

class SitePaneTest : public ParametersPaneTest {
protected:
  IArea* SiteOfForm(int form)
  {
    IArea* site = AddOpenSite();
    site->SetTypicalForm(&form);
    site->BuildTypicalForm();
    return site;
  }
  static ICustomizeRoad* Customize(IArea* site) { return Part<ICustomizeRoad>(site, IID_ICustomizeRoad); }
  static IModelUnknown* Node(IArea* site, const IID& key) { return Part<IModelUnknown>(site, key); }
};

TEST_F(SitePaneTest, CarriagewayAndSidewalkNodesByForm)
{
  struct Case {
    int form;
    Lines road;
    Lines sidewalk;
  };
  const std::vector<Case> cases = {
      {0, {"Общие: 1101 1102"}, {"Общие: 1201 1202"}},
      {8, {"Общие: 1101 1102"}, {"Общие: 1201 1202"}},
      {1, {"Общие: 1101 1102", "Параметры ПЧ: 1205 1208 1211"}, {"Общие: 1201 1202", "Параметры тротуара: 1203 1204"}},
      {2, {"Общие: 1101 1102", "Параметры ПЧ: 1205 1206 1207 1208 1209"},
       {"Общие: 1201 1202", "Параметры тротуара: 1203 1204"}},
      {3, {"Общие: 1101 1102", "Параметры ПЧ: 1205 1206 1208"}, {"Общие: 1201 1202", "Параметры тротуара: 1203 1204"}},
      {5, {"Общие: 1101 1102", "Параметры ПЧ: 1213 1205 1206 1212"},
       {"Общие: 1201 1202", "Параметры тротуара: 1203 1204"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    IArea* site = SiteOfForm(c.form);
    Show(Node(site, IID_RoadNode));
    EXPECT_EQ(Layout(), c.road);
    EXPECT_TRUE(Item(1101)->GetReadOnly());
    EXPECT_EQ(Item(1102)->GetReadOnly() != FALSE, c.form != 0 && c.form != 8);
    Show(Node(site, IID_PavementNode));
    EXPECT_EQ(Layout(), c.sidewalk);
    EXPECT_FALSE(Item(1202)->GetReadOnly());
  }
  // A junction names its angle differently from a crossing.
  Show(Node(SiteOfForm(4), IID_RoadNode));
  EXPECT_EQ(std::string(static_cast<LPCSTR>(Item(1208)->GetCaption())), "Угол примыкания, град");
}

TEST_F(SitePaneTest, RoundaboutBranchesFollowTheCount)
{
  IArea* site = SiteOfForm(7);
  ICustomizeRoad* customize = Customize(site);
  struct Case {
    int count;
    Lines layout;
  };
  for (const Case& c : {Case{3, {"Общие: 1101 1102 1215 1214 1216", "Параметры ПЧ-1: 1217 1222", "Параметры ПЧ-2: 1218 1223",
                                 "Параметры ПЧ-3: 1219 1224"}},
                        Case{0, {"Общие: 1101 1102 1215 1214 1216", "Параметры ПЧ-1: 1217 1222"}},
                        Case{5, {"Общие: 1101 1102 1215 1214 1216", "Параметры ПЧ-1: 1217 1222", "Параметры ПЧ-2: 1218 1223",
                                 "Параметры ПЧ-3: 1219 1224", "Параметры ПЧ-4: 1220 1225", "Параметры ПЧ-5: 1221 1226"}}}) {
    customize->SetBranchCount(&c.count);
    Show(Node(site, IID_RoadNode));
    EXPECT_EQ(Layout(), c.layout) << c.count;
    EXPECT_TRUE(Item(1222)->GetReadOnly());
  }
  EXPECT_FALSE(Item(1223)->GetReadOnly());
}

TEST_F(SitePaneTest, WideningTypeFixedNodesAndPrimitiveGroup)
{
  IArea* site = SiteOfForm(5);
  const int both = 0x3 | 0x40;
  Customize(site)->SetWideningType(&both);
  Show(Node(site, IID_RoadNode));
  EXPECT_EQ(Value(1213), "cнизу");
  EXPECT_EQ(CommitChoice(1213, 2), 1);
  EXPECT_EQ(*Customize(site)->GetWideningType(), 0x42);  // the high bits stay

  struct Fixed {
    const IID* key;
    const char* layout;
  };
  for (const Fixed& f : {Fixed{&IID_BackgroundNode, "Общие: 1301 1302"}, Fixed{&IID_ShadingNode, "Общие: 1401 1402"},
                         Fixed{&IID_MarkingNode, "Общие: 1601 1602"}}) {
    Show(Node(site, *f.key));
    EXPECT_EQ(Layout(), Lines{f.layout});
    for (int c = 0; c < 2; ++c) {
      CTKPropertyGridItem* item = pane->GetGridView().GetCategories()->GetAt(0)->GetChilds()->GetAt(c);
      EXPECT_TRUE(item->GetReadOnly());
      if (c == 1) {
        EXPECT_EQ(std::string(static_cast<LPCSTR>(item->GetValue())), "Включено");
      }
    }
  }

  IGroupOfPrimitive* group = Customize(site)->CreatePrimitiveGroup(1);  // the site keeps it
  Show(group);
  EXPECT_EQ(Layout(), Lines{"Общие: 1501"});
  Item(1501)->SetValue("Въезд");
  EXPECT_EQ(Commit(Item(1501)), 1);
  EXPECT_EQ(std::string(static_cast<LPCSTR>(*group->GetName())), "Въезд");
}

TEST_F(SitePaneTest, FormEditsThatAskOrPutTheOldValueBack)
{
  // A turn radius of 0 is always taken; below the minimum the minimum is named.
  IArea* turn = SiteOfForm(1);
  ICustomizeRoad* t = Customize(turn);
  const double wide = 24;
  t->SetBranchWidth1(&wide);
  BOOL noClamp = FALSE;
  const double least = t->GetMinTurnRadius(&noClamp);
  ASSERT_GT(least, 3);
  Show(Node(turn, IID_RoadNode));
  EXPECT_EQ(CommitDouble(1211, 3), 0);
  CString expected;
  expected.Format("Радиус сопряжения должен быть больше %.0lf м. или равен нулю.", least);
  EXPECT_EQ(AskedTexts().back(), static_cast<LPCSTR>(expected));
  EXPECT_EQ(CommitDouble(1211, RoundTo(2, least + 1)), 1);
  EXPECT_EQ(CommitDouble(1211, 0), 1);
  EXPECT_DOUBLE_EQ(*t->GetTurnRadius(), 0);

  // A roundabout whose inner ring would reach the outer one keeps its radius.
  IArea* ring = SiteOfForm(7);
  ICustomizeRoad* r = Customize(ring);
  Show(Node(ring, IID_RoadNode));
  const double outer = *r->GetOuterRadius();
  EXPECT_EQ(CommitDouble(1214, outer), 0);
  EXPECT_EQ(AskedTexts().back(), "Введенные данные некорректны для построения объекта.");
  EXPECT_DOUBLE_EQ(*r->GetInnerRadius(), 10);
  EXPECT_DOUBLE_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(1214))->GetDouble(), 10);
  EXPECT_EQ(CommitDouble(1214, -1), 0);
  EXPECT_EQ(AskedTexts().back(), "Внутренний радиус кольца должен быть положительным.");
  EXPECT_EQ(CommitDouble(1214, 0), 1);

  // After a change of the form, a new branch count asks first; No keeps the count.
  const int count = 4;
  r->SetBranchCount(&count);
  Show(Node(ring, IID_RoadNode));
  answers.AnswerNext(IDNO);
  EXPECT_EQ(CommitNumber(1216, 3), 0);
  EXPECT_EQ(AskedTexts().back(),
            "Изменение числа ПЧ приведет к установке всех параметров к значениям по умолчанию. Продолжить?");
  EXPECT_EQ(*r->GetBranchCount(), 4);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemNumber, Item(1216))->GetNumber(), 4);
  answers.AnswerNext(IDYES);
  EXPECT_EQ(CommitNumber(1216, 3), 1);
  EXPECT_EQ(*r->GetBranchCount(), 3);
  EXPECT_DOUBLE_EQ(*r->GetInnerRadius(), 10);  // the defaults again

  // Back to a free site only after Yes; No still answers 1 with the form kept.
  Show(ring);
  answers.AnswerNext(IDNO);
  EXPECT_EQ(CommitChoice(205, 0), 1);
  EXPECT_EQ(*ring->GetTypicalForm(), 7);
  EXPECT_EQ(Value(205), "Кольцевое пересечение");
  answers.AnswerNext(IDYES);
  EXPECT_EQ(CommitChoice(205, 0), 1);
  EXPECT_EQ(*ring->GetTypicalForm(), 0);
}

}  // namespace
