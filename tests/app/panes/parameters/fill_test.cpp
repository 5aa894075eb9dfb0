// What the pane builds for each kind of object: its categories and the ids of their items in order (a child shown
// as parent/id), the read-only marks and list values that follow from the model, and the pane's hold on the object.
#include "tests/app/panes/parameters/pane_env.h"

#include "model/light_device.h"

#include <cmath>

namespace {

using Lines = std::vector<std::string>;
using namespace VisualCtrl;

TEST(RoundTo, HalfAwayFromZero)
{
  struct Case {
    unsigned n;
    double x;
    double expected;
  };
  for (const Case& c : {Case{2, 0.125, 0.13}, Case{2, -0.125, -0.13}, Case{0, -2.5, -3}, Case{0, 0.5, 1},
                        Case{2, 3.754, 3.75}, Case{2, 0.004, 0}, Case{2, 2.675, 2.68}}) {
    SCOPED_TRACE(c.x);
    EXPECT_DOUBLE_EQ(RoundTo(c.n, c.x), c.expected);
  }
  EXPECT_TRUE(std::signbit(RoundTo(2, 0.0)));
}

TEST_F(ParametersPaneTest, ProjectAndStraightRoadArea)
{
  Show(Project());
  EXPECT_EQ(Layout(), (Lines{"Общие: 100 101 102 103 104 105 106"}));
  EXPECT_EQ(Value(100), std::string(static_cast<LPCSTR>(*Project()->GetName())));

  // The only area of a project always gives lighting results, whatever it stored.
  const int off = 0;
  Road()->SetLightingOutput(&off);
  Show(Road());
  EXPECT_EQ(Layout(), (Lines{"Общие: 202 205 203 203/204", "Элементы дороги: 300 301",
                             "Вывод результатов: 206 207"}));
  EXPECT_EQ(Value(205), "Прямая дорога");
  EXPECT_EQ(Value(203), "Не определены");
  EXPECT_TRUE(Item(204)->GetReadOnly());
  EXPECT_EQ(Value(206), "Да");
  EXPECT_TRUE(Item(206)->GetReadOnly());
  EXPECT_EQ(*Road()->GetLightingOutput(), 1);
  for (UINT id : {203u, 300u})
    EXPECT_TRUE(Item(id)->IsExpanded() || Item(id)->HasChilds() == FALSE) << id;
}

TEST_F(ParametersPaneTest, OpenSiteByForm)
{
  IArea* site = AddOpenSite();
  Show(site);
  EXPECT_EQ(Layout(), (Lines{"Общие: 202 205 208 208/210 208/211 201 200 203 203/204", "Вывод результатов: 206 207"}));
  EXPECT_EQ(Value(208), "Не определена");
  EXPECT_TRUE(Item(205)->GetReadOnly());
  EXPECT_FALSE(Item(206)->GetReadOnly());  // two areas now

  // A roundabout has no underlay items, an editable size and a sidewalk switch.
  const int roundabout = 7;
  site->SetTypicalForm(&roundabout);
  Show(site);
  EXPECT_EQ(Layout(), (Lines{"Общие: 202 205 201 200 203 203/204", "Элементы дороги: 1210",
                             "Вывод результатов: 206 207"}));
  EXPECT_EQ(Value(205), "Кольцевое пересечение");
  EXPECT_FALSE(Item(205)->GetReadOnly());

  // An interchange adds its base height; an underlay fixes the size unless its id says otherwise.
  const int interchange = 8;
  site->SetTypicalForm(&interchange);
  for (int underlay : {3, 0x1003}) {
    site->SetUnderlayId(&underlay);
    Show(site);
    EXPECT_NE(Item(209), nullptr);
    EXPECT_EQ(Item(201)->GetReadOnly(), underlay == 3);
    EXPECT_EQ(Item(200)->GetReadOnly(), underlay == 3);
  }
}

TEST_F(ParametersPaneTest, CarriagewaySidewalksWallsAndGroups)
{
  IRoad* road = Part<IRoad>(Road(), IID_IRoad);
  const int on = 1;
  road->SetDividerOn(&on);
  road->SetParapetOn(&on);
  Show(road);
  EXPECT_EQ(Layout(), (Lines{"Общие: 400 401 402 403", "Параметры ПЧ (основное направление): 404 405",
                             "Параметры ПЧ (встречное направление): 461 454 455 456 456/457 456/458 458/459 458/460"}));
  EXPECT_TRUE(Item(400)->GetReadOnly());

  const int oneWay = 0;
  road->SetTwoWay(&oneWay);
  Show(road);
  EXPECT_EQ(Layout(), (Lines{"Общие: 400 401 402 403", "Параметры ПЧ: 404 405"}));

  IPavement* pavement = Part<IPavement>(Road(), IID_IPavement);
  Show(pavement);
  EXPECT_EQ(Layout(), (Lines{"Общие: 500 511 511/512 511/513 511/514 501 501/502 501/503 501/504"}));
  // With one strip left, that strip cannot be removed and the missing one can be added.
  pavement->RemoveRight();
  Show(pavement);
  EXPECT_EQ(Layout(), (Lines{"Общие: 500 511 501 501/502 501/503 501/504"}));
  EXPECT_EQ(Value(511), "Нет");
  EXPECT_FALSE(Item(511)->GetReadOnly());
  EXPECT_EQ(Value(501), "Да");
  EXPECT_TRUE(Item(501)->GetReadOnly());
  // A strip switched off shows its sizes read-only.
  const int stateOff = 0;
  Part<ILineOfRoad>(pavement, IID_LeftPavement)->SetState(&stateOff);
  Show(pavement);
  EXPECT_EQ(Value(502), "Выключено");
  EXPECT_TRUE(Item(503)->GetReadOnly());
  EXPECT_TRUE(Item(504)->GetReadOnly());

  Show(Part<IWall>(Road(), IID_IWall));
  EXPECT_EQ(Layout(), (Lines{"Общие: 600 611 611/612 611/613 611/614 601 601/602 601/603 601/604"}));

  Show(Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev));
  EXPECT_EQ(Layout(), (Lines{"Общие: 700 701"}));
  EXPECT_TRUE(Item(700)->GetReadOnly());
}

TEST_F(ParametersPaneTest, GroupOfPolesOnAStraightRoad)
{
  IGroupOfDev* group = RoadGroup();
  group->GetLightDevice()->lampType = "ДНаТ";
  const int user = 0;
  Part<IPole>(group, IID_IPole)->SetTypical(&user);
  struct Case {
    int arrangement;
    int mounting;
    Lines layout;
  };
  const std::string general = "Общие: 825 800 801 802 802/826 802/803 802/814 802/804 802/805";
  const std::vector<Case> cases = {
      {0,
       0,
       {general, "Размещение ОП: 806 905", "Положение опор: 906 907", "Параметры опоры: 908 900 901 902 903 904"}},
      {4, 0, {general, "Размещение ОП: 806 905", "Положение опор: 906 907", "Параметры опоры: 908 900 901 903 904"}},
      {5, 0, {general, "Размещение ОП: 806 905", "Положение опор: 906 907", "Параметры опоры: 900 902 904"}},
      // Masts carry their aiming, read-only on a straight road, and the luminaire turn.
      {2, 1,
       {general, "Размещение ОП: 806 905", "Положение мачт: 906 907",
        "Параметры мачты: 908 900 901 902 904 927 927/931 927/932 926"}},
      {5, 1, {general, "Размещение ОП: 806 905", "Положение мачт: 906 907", "Параметры мачты: 900 902 904"}},
      {0, 2,
       {general, "Размещение ОП: 806 905", "Положение опор: 906 907", "Параметры опоры: 908 900 901 902 904 950"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "arrangement " << c.arrangement << ", mounting " << c.mounting);
    group->SetRoadScheme(&c.arrangement);
    group->SetMountingKind(&c.mounting);
    Show(group);
    EXPECT_EQ(Layout(), c.layout);
    if (c.mounting == 1 && c.arrangement != 5) {
      EXPECT_TRUE(Item(927)->GetReadOnly());
    }
  }
  // The first group cannot shift; an LED luminaire has no lamp count.
  EXPECT_TRUE(Item(907)->GetReadOnly());
  group->GetLightDevice()->lampType = "СД";
  Show(group);
  EXPECT_EQ(Item(814), nullptr);
}

TEST_F(ParametersPaneTest, GroupOfPolesOnAnOpenSite)
{
  IArea* site = AddOpenSite();
  IGroupOfDev* group = Part<IGroupOfDev>(Part<IGroupsOfDev>(site, IID_IGroupsOfDev), IID_IGroupOfDev);
  group->GetLightDevice()->lampType = "СД";
  IPole* first = Part<IPole>(group, IID_IPole);
  const std::string general = "Общие: 825 800 801 802 802/826 802/803 802/804 802/805";

  // Masts in a line, the second one entered by spacing and angle, aimed by angles.
  const int mast = 1;
  const int line = 1;
  const int two = 2;
  group->SetMountingKind(&mast);
  group->SetPlacementScheme(&line);
  group->SetPoleCount(&two);
  group->PlacePoles(1 + 2 + 4);
  const int cartesian = 0x1 | 0x10;
  const int polarOfBoth = 0x1 | 0x2 | 0x20;
  first->SetCoordFlags(&cartesian);
  ASSERT_NE(first->GetNext(), nullptr);
  first->GetNext()->SetCoordFlags(&polarOfBoth);
  first->SetAimFlags(&polarOfBoth);
  Show(group);
  EXPECT_EQ(Layout(), (Lines{general, "Размещение ОП: 806 807",
                             "Положение мачт: 920 920/914 920/915 920/916 921 921/922 921/923 808",
                             "Параметры мачты: 908 900 901 904 927 927/931 927/932 926"}));
  EXPECT_EQ(Value(921), "Полярные");
  EXPECT_EQ(Value(926), "0");
  // A turn the list does not offer shows no entry.
  const double odd = 45;
  first->SetLuminaireTurn(&odd);
  Show(group);
  EXPECT_EQ(Value(926), "");
  EXPECT_FALSE(Item(916)->GetReadOnly());
  EXPECT_FALSE(Item(927)->GetReadOnly());

  // Poles on a circle whose first pole lies straight below the centre: radius and start angle -90.
  const int pole = 0;
  const int circle = 2;
  group->SetMountingKind(&pole);
  group->SetPlacementScheme(&circle);
  const double centre[3] = {10, 20, 0};
  group->SetBasePoint(centre);
  const double below[3] = {10, 12.5, 0};
  first->SetPosition(below);
  const int polar = 0x1 | 0x2 | 0x20;
  first->SetCoordFlags(&polar);
  Show(group);
  EXPECT_EQ(Layout(), (Lines{general, "Размещение ОП: 806 807",
                             "Положение опор: 812 812/809 812/810 812/811 920 920/924 920/925 813 808",
                             "Параметры опоры: 908 900 901 903 904"}));
  EXPECT_DOUBLE_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(924))->GetDouble(), 7.5);
  EXPECT_DOUBLE_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(925))->GetDouble(), -90);

  // Contour placement without a selected sub-group: no position and no rotation.
  const int contour = 3;
  group->SetPlacementScheme(&contour);
  Show(group);
  EXPECT_EQ(Layout()[1], "Размещение ОП: 806 807");
  EXPECT_EQ(Item(911), nullptr);
  EXPECT_EQ(Item(904), nullptr);
}

TEST_F(ParametersPaneTest, RefreshClearAndObjectsWithoutItems)
{
  // A refresh with nothing shown leaves the grid empty.
  pane->SendMessage(UM_SHOWOBJECT, 0, 0);
  EXPECT_TRUE(Layout().empty());
  // A results object has no items, but the pane remembers it is shown.
  Show(Part<IModelUnknown>(Road(), IID_IResultsOfCalc));
  EXPECT_TRUE(Layout().empty());

  Show(Road());
  const Lines shown = Layout();
  pane->SendMessage(UM_SHOWOBJECT, 0, 0);
  EXPECT_EQ(Layout(), shown);
  EXPECT_EQ(pane->GetSelectedItem(), nullptr);
  pane->SendMessage(UM_CLEARPANES, 0, 0);
  EXPECT_TRUE(Layout().empty());
  pane->SendMessage(UM_SHOWOBJECT, 0, 0);
  EXPECT_TRUE(Layout().empty());
  EXPECT_EQ(pane->GetShownObject(), nullptr);
}

TEST_F(ParametersPaneTest, TheShownObjectIsHeldUntilClearedOrReplaced)
{
  IArea* site = AddOpenSite();
  IClassObjModel* groups = AsObject(Part<IGroupsOfDev>(site, IID_IGroupsOfDev));
  const auto count = [groups] {
    groups->AddRef();
    return groups->Release();
  };
  const LONG before = count();
  Show(groups);
  EXPECT_EQ(count(), before + 1);
  pane->SendMessage(UM_SHOWOBJECT, 0, 0);  // a rebuild takes no second reference
  EXPECT_EQ(count(), before + 1);
  Show(Project());
  EXPECT_EQ(count(), before);
  Show(groups);
  pane->SendMessage(UM_CLEARPANES, 0, 0);
  EXPECT_EQ(count(), before);

  // An area removed from the project while shown stays alive for an edit that comes before the clear.
  IArea* second = Project()->InsertAreaAfter(CLSID_CStraightRoad, Road());
  Show(second);
  second->Release();
  Project()->RemoveArea(second);
  Item(kItemAreaName)->SetValue("Съезд");
  EXPECT_EQ(Commit(Item(kItemAreaName)), 1);
  EXPECT_EQ(std::string(static_cast<LPCSTR>(*second->GetCaption())), "Съезд");
  pane->SendMessage(UM_CLEARPANES, 0, 0);
}

TEST_F(ParametersPaneTest, NotificationsWithoutItemOrObjectTouchNothing)
{
  EXPECT_EQ(pane->SendMessage(TKWM_PROPERTYGRID_NOTIFY, TK_PGN_ITEMVALUE_CHANGED, 0), 0);
  Show(Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev));
  CTKPropertyGridItem* factor = Item(kItemGroupsMaintenance);
  factor->InternalAddRef();
  EXPECT_EQ(pane->SendMessage(TKWM_PROPERTYGRID_NOTIFY, TK_PGN_ITEMVALUE_CHANGED, 0), 0);
  pane->SendMessage(UM_CLEARPANES, 0, 0);
  const double stored = *Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev)->GetMaintenanceFactor();
  DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, factor)->SetDouble(stored + 0.5);
  EXPECT_EQ(pane->SendMessage(TKWM_PROPERTYGRID_NOTIFY, TK_PGN_ITEMVALUE_CHANGED, reinterpret_cast<LPARAM>(factor)),
            0);
  EXPECT_DOUBLE_EQ(*Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev)->GetMaintenanceFactor(), stored);
  factor->InternalRelease();
  EXPECT_TRUE(answers.Asked().empty());
}

}  // namespace
