// The context menus by kind of object and number of areas, the commands on the project, areas and groups of
// poles with each one's undo, the commands that refuse, and a delete followed by a click before the rebuild.
#include "tests/app/panes/objecttree/tree_fixture.h"

#include <functional>

namespace {

using treetest::ObjectTreeTest;

constexpr UINT kParameters = 32859;
constexpr UINT kAddGroupToContainer = 32783;
constexpr UINT kAddGroupAfter = 32782;
constexpr UINT kCopyGroup = 32866;
constexpr UINT kDeleteGroup = 32785;
constexpr UINT kSwitchGroup = 33106;
constexpr UINT kDeleteSubGroupPole = 33045;
constexpr UINT kAddStraightRoad = 32849;
constexpr UINT kAddOpenSite = 32850;
constexpr UINT kAddTurn = 32926;
constexpr UINT kDeleteArea = 32870;
constexpr UINT kCopyArea = 32868;
constexpr UINT kActivate = 32855;
constexpr UINT kAddPrimitive = 32873;
constexpr UINT kCopyPrimitive = 32877;

class TreeCommands : public ObjectTreeTest {
protected:
  void SetUp() override
  {
    ObjectTreeTest::SetUp();
    // A straight road (inactive, groups 1 and 2) and an open site (active, one group).
    Command(ProjectText(), kAddOpenSite);
    Command("1:Группа (основная)", kAddGroupAfter);
    Project()->SetActiveArea(AreaAt(1));  // the group's command made its straight road active
    Rebuild();
  }
  std::string ProjectText() { return static_cast<LPCSTR>(*Project()->GetName()); }
  std::string Menu(const std::string& itemText)
  {
    HTREEITEM item = Item(itemText);
    EXPECT_NE(item, nullptr) << itemText;
    if (!item)
      return {};
    tree->lastMenu.clear();
    RightClick(item);
    return tree->lastMenu;
  }
  void AddAreasUpTo(int count)
  {
    while (AreaCount() < count)
      Project()->InsertAreaAfter(CLSID_CStraightRoad, nullptr)->Release();
    Rebuild();
  }
  IGroupsOfDev* GroupsOf(IArea* area)
  {
    void* part = nullptr;
    area->QueryInterface(&IID_IGroupsOfDev, &part);
    auto* groups = static_cast<IGroupsOfDev*>(part);
    groups->Release();
    return groups;
  }
  std::vector<std::string> GroupNames(IArea* area)
  {
    void* part = nullptr;
    GroupsOf(area)->QueryInterface(&IID_IGroupOfDev, &part);
    std::vector<std::string> names;
    auto* first = static_cast<IGroupOfDev*>(part);
    for (IGroupOfDev* g = first; g; g = g->GetNext())
      names.push_back(std::to_string(*g->GetNumber()) + ":" + static_cast<LPCSTR>(*g->GetName()));
    if (first)
      first->Release();
    return names;
  }
  // The project as a file, without the selection the tree's clicks leave in the model and with the cameras at
  // their defaults: undo keeps the views' cameras as they are, and commands that activate an area move them.
  std::vector<std::uint8_t> Unselected(const std::string& name)
  {
    Project()->ClearSelection();
    doc->ResetViewCameras();
    return Saved(name);
  }
  // The area's primitives in drawing order.
  std::vector<IPrimitive*> Primitives(IArea* area)
  {
    void* part = nullptr;
    area->QueryInterface(&IID_IPrimitive, &part);
    auto* first = static_cast<IPrimitive*>(part);
    std::vector<IPrimitive*> list;
    for (IPrimitive* p = first; p; p = p->GetNext())
      list.push_back(p);
    if (first)
      first->Release();  // the area keeps it
    return list;
  }
  static std::vector<_CSPOINT3D> Outline(IPrimitive* p)
  {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    return {outline->GetData(), outline->GetData() + outline->GetSize()};
  }
  int ActiveIndex()
  {
    int i = 0;
    for (IArea* area = AreaAt(0); area; area = area->GetNext(), ++i)
      if (area->IsActive())
        return i;
    return -1;
  }
};

TEST_F(TreeCommands, EachKindOfObjectHasItsMenu)
{
  struct Case {
    const char* item;  // null: the project
    int areas;
    std::string menu;
  };
  const std::string add = "Добавить>";
  const Case cases[] = {
      {nullptr, 2, add + "|-|Параметры"},
      {"Объект - 2 [Открытые территории в одном уровне]", 2, add + "|Создать копию|-|Параметры"},
      {"Объект - 1 [Прямая дорога]", 2,
       "Активизировать|-|" + add + "|Создать копию|-|Удалить|-|Параметры"},
      {"Группы ОП", 2, "Добавить группу|-|Параметры"},
      // The first group of a straight road is never deleted; the groups are on, so "Включить" reads "Выключить".
      {"1:Группа (основная)", 2, "Выключить|-|Добавить группу|Создать копию|-|Параметры"},
      {"2:Группа", 2, "Выключить|-|Добавить группу|Создать копию|-|Удалить группу|-|Параметры"},
      // In an open site only the only group is kept.
      {"1:Группа", 2, "Выключить|-|Добавить группу|Создать копию|-|Параметры"},
      {"Проезжая часть", 2, "Параметры"},
      {"Объекты затенения", 2, "Добавить примитив|-|Параметры"},
      {"Примитив - 1", 2, "Создать копию|-|Параметры"},
      {nullptr, 9, add + "|-|Параметры"},
      {nullptr, 10, "Параметры"},
      {"Объект - 2 [Открытые территории в одном уровне]", 10, "Параметры"},
      {"Объект - 1 [Прямая дорога]", 10, "Активизировать|-|Удалить|-|Параметры"},
  };
  for (const Case& c : cases) {
    const std::string item = c.item ? c.item : ProjectText();
    SCOPED_TRACE(item + " with " + std::to_string(c.areas) + " areas");
    AddAreasUpTo(c.areas);
    EXPECT_EQ(Menu(item), c.menu);
  }
}

TEST_F(TreeCommands, PrimitiveItemsAreGreyedWhereTheyCannotActAndEveryItemHasItsBitmap)
{
  // A second primitive after the first: the first cannot go further back, the last no further forward.
  void* part = nullptr;
  AreaAt(1)->QueryInterface(&IID_ICustomizeRoad, &part);
  auto* site = static_cast<ICustomizeRoad*>(part);
  void* firstPart = nullptr;
  AreaAt(1)->QueryInterface(&IID_IPrimitive, &firstPart);
  auto* first = static_cast<IPrimitive*>(firstPart);
  IPrimitive* second = site->CreatePrimitive(1, 1, TRUE);
  first->SetNext(second);
  second->SetPrev(first);
  IGroupOfPrimitive* group = site->CreatePrimitiveGroup(1);
  CGuid kind;
  group->GetKind(&kind);
  first->SetGroupKind(&kind);
  second->SetGroupKind(&kind);
  first->Release();
  site->Release();
  Rebuild();

  EXPECT_EQ(Menu("Примитив - 1"), "Создать копию|-|Удалить примитив|-|Пор&ядок>|-|Параметры");
  EXPECT_TRUE(tree->lastItems[32884].greyed);
  EXPECT_FALSE(tree->lastItems[32882].greyed);
  EXPECT_EQ(Menu("Примитив - 2"), "Добавить примитив|Создать копию|-|Удалить примитив|-|Пор&ядок>|-|Параметры");
  EXPECT_FALSE(tree->lastItems[32884].greyed);
  EXPECT_TRUE(tree->lastItems[32882].greyed);
  EXPECT_EQ(Menu("Группа примитивов - 1"), "Добавить примитив|-|~Удалить группу примитивов|-|Параметры")
      << "the group holds every primitive of the area";

  Menu(ProjectText());
  for (UINT command : {32849u, 32926u, 32936u, 32940u, 32944u, 32948u, 32959u, 32850u, 33054u, 32859u}) {
    EXPECT_TRUE(tree->lastItems[command].bitmap) << command;
  }
  Menu("2:Группа");
  for (UINT command : {33106u, 32866u, 32785u})
    EXPECT_TRUE(tree->lastItems[command].bitmap) << command;
}

TEST_F(TreeCommands, ThePoleOfAGroupPlacedByPointsIsDeletedUnlessItIsTheFirst)
{
  void* part = nullptr;
  GroupsOf(AreaAt(1))->QueryInterface(&IID_IGroupOfDev, &part);
  auto* group = static_cast<IGroupOfDev*>(part);
  const int byPoints = 4;
  group->SetPlacementScheme(&byPoints);
  CArray<_CSPOINT3D>* points = nullptr;
  group->GetContourPoints(&points);
  points->RemoveAll();
  for (double x : {0.0, 10.0, 20.0})
    points->Add(_CSPOINT3D{x, 5, 0, 0, 0});
  group->UpdatePolePositions(0);
  ASSERT_EQ(group->GetSubGroupCount(), 3);
  void* firstSub = nullptr;
  group->QueryInterface(&IID_FirstSubGroup, &firstSub);
  auto* first = static_cast<IGroupOfDev*>(firstSub);
  IGroupOfDev* second = first->GetNext();
  auto select = [](IGroupOfDev* sub) {
    void* object = nullptr;
    sub->QueryInterface(&IID_IClassObjModel, &object);
    static_cast<IClassObjModel*>(object)->SetSelected(1);
    static_cast<IClassObjModel*>(object)->Release();
  };
  Rebuild();

  // The first sub-group is kept and nothing is refreshed.
  select(first);
  frame.messages.clear();
  Command("1:Группа", kDeleteSubGroupPole);
  EXPECT_EQ(group->GetSubGroupCount(), 3);
  EXPECT_EQ(frame.Count(UM_CALCMODES), 0);

  Project()->ClearSelection();
  select(second);
  const auto before = Unselected("before");
  select(second);
  Command("1:Группа", kDeleteSubGroupPole);
  EXPECT_EQ(group->GetSubGroupCount(), 2);
  void* object = nullptr;
  first->QueryInterface(&IID_IClassObjModel, &object);
  EXPECT_EQ(static_cast<IClassObjModel*>(object)->IsSelected(), 1) << "the previous pole is selected";
  static_cast<IClassObjModel*>(object)->Release();
  EXPECT_EQ(Selected(), "1:Группа");
  doc->Undo();
  Rebuild();
  EXPECT_EQ(Unselected("after"), before);
  first->Release();
  group->Release();
}

class TreeCommandsCentred : public TreeCommands {
protected:
  void SetUp() override
  {
    SetGraphicCoreFactory([](IQorRoadDoc* context) -> CGraphicCore* { return new treetest::CentredCore(context); });
    TreeCommands::SetUp();
  }
  void TearDown() override
  {
    TreeCommands::TearDown();
    SetGraphicCoreFactory(nullptr);
  }
};

TEST_F(TreeCommandsCentred, ANewGroupOfIndividualPolesInAnOpenSiteStandsAtThePlacementPoint)
{
  void* part = nullptr;
  GroupsOf(AreaAt(1))->QueryInterface(&IID_IGroupOfDev, &part);
  auto* first = static_cast<IGroupOfDev*>(part);
  Command("1:Группа", kAddGroupAfter);
  IGroupOfDev* added = first->GetNext();
  ASSERT_NE(added, nullptr);
  ASSERT_EQ(*added->GetPlacementScheme(), 0);
  void* polePart = nullptr;
  ASSERT_EQ(added->QueryInterface(&IID_IPole, &polePart), S_OK);
  auto* pole = static_cast<IPole*>(polePart);
  EXPECT_EQ(pole->GetPosition()[0], 12);
  EXPECT_EQ(pole->GetPosition()[1], 34);
  EXPECT_EQ(added->GetBasePoint()[1], 34);
  pole->Release();
  first->Release();
}

TEST_F(TreeCommandsCentred, ACopiedAreaHasAnUnderlayOfItsOwn)
{
  const int underlay = 7;
  AreaAt(0)->SetUnderlayId(&underlay);
  const int calcArea = 3;
  AreaAt(0)->SetCalcAreaId(&calcArea);
  Command("Объект - 1 [Прямая дорога]", kCopyArea);
  EXPECT_EQ(*AreaAt(0)->GetUnderlayId(), 7);
  EXPECT_EQ(*AreaAt(1)->GetUnderlayId(), 107);
  EXPECT_EQ(*AreaAt(1)->GetCalcAreaId(), 0) << "no calculation area yet";
  EXPECT_TRUE(AreaAt(1)->IsActive());
}

TEST_F(TreeCommands, TheAddPopupOffersEveryKindOfArea)
{
  HTREEITEM item = Item(ProjectText());
  tree->SelectItem(item);
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(1051));
  CMenu* add = menu.GetSubMenu(0)->GetSubMenu(0);
  EXPECT_EQ(treetest::Describe(add), "&Прямая дорога|Типовая форма>|Произвольная форма>");
  EXPECT_EQ(treetest::Describe(add->GetSubMenu(1)),
            "Поворот|Пересечение|Примыкание|Развилка|Уширение|Кольцевое пересечение");
  EXPECT_EQ(treetest::Describe(add->GetSubMenu(2)), "Открытые территории в одном уровне|Многоуровневые развязки");
}

TEST_F(TreeCommands, AChosenCommandComesBackToTheTree)
{
  tree->choice = kAddGroupToContainer;
  RightClick(Item("Группы ОП"));
  Pump();
  EXPECT_EQ(GroupNames(AreaAt(0)), (std::vector<std::string>{"1:Группа (основная)", "2:Группа", "3:Группа"}));
  EXPECT_EQ(Selected(), "3:Группа") << "the rebuild selects the new group";
}

// Every command changes the model as its menu says, and one undo gives back the project byte for byte.
TEST_F(TreeCommands, EveryCommandIsUndoneInOneStep)
{
  struct Case {
    const char* name;
    std::function<std::string()> item;
    UINT command;
    std::function<void()> check;
    std::string selectedAfter;  // empty: not checked
    bool undoable = true;
  };
  const Case cases[] = {
      {"add a group to the container", [] { return std::string("Группы ОП"); },
       kAddGroupToContainer,
       [this] {
         EXPECT_EQ(this->GroupNames(this->AreaAt(0)),
                   (std::vector<std::string>{"1:Группа (основная)", "2:Группа", "3:Группа"}));
       },
       "3:Группа"},
      {"add a group after the first", [] { return std::string("1:Группа (основная)"); },
       kAddGroupAfter,
       [this] {
         EXPECT_EQ(this->GroupNames(this->AreaAt(0)), (std::vector<std::string>{"1:Группа (основная)", "3:Группа",
                                                                       "2:Группа"}));
       },
       "3:Группа"},
      {"copy a group", [] { return std::string("1:Группа (основная)"); }, kCopyGroup,
       [this] {
         EXPECT_EQ(this->GroupNames(this->AreaAt(0)), (std::vector<std::string>{"1:Группа (основная)", "3:Группа",
                                                                       "2:Группа"}));
       },
       "3:Группа"},
      {"delete the second group", [] { return std::string("2:Группа"); }, kDeleteGroup,
       [this] {
         EXPECT_EQ(this->GroupNames(this->AreaAt(0)), (std::vector<std::string>{"1:Группа (основная)"}));
       },
       "1:Группа (основная)"},
      {"switch a group and its sub-groups off", [] { return std::string("1:Группа"); },
       kSwitchGroup,
       [this] {
         EXPECT_EQ(this->Picture().back(), "      1:Группа [10] red");
       },
       "1:Группа"},
      {"add a straight road from the project", [this] { return this->ProjectText(); }, kAddStraightRoad,
       [this] {
         EXPECT_EQ(this->AreaCount(), 3);
         EXPECT_EQ(this->ActiveIndex(), 2);
         EXPECT_EQ(this->doc->GetViewType(), 2u);
       },
       ""},
      {"add a turn after the straight road", [] { return std::string("Объект - 1 [Прямая дорога]"); },
       kAddTurn,
       [this] {
         IArea* turn = this->AreaAt(1);
         EXPECT_EQ(*turn->GetTypicalForm(), 1);
         EXPECT_EQ(std::string(*turn->GetCaption()), "Объект - 3 [Поворот]");
         EXPECT_TRUE(turn->IsActive());
         EXPECT_EQ(this->doc->GetViewType(), 2u);
       },
       "Объект - 3 [Поворот]"},
      {"copy an area", [] { return std::string("Объект - 1 [Прямая дорога]"); }, kCopyArea,
       [this] {
         EXPECT_EQ(this->AreaCount(), 3);
         EXPECT_EQ(this->ActiveIndex(), 1);
         EXPECT_EQ(*this->AreaAt(1)->GetCalcAreaId(), 0);
       },
       ""},
      {"delete an inactive area", [] { return std::string("Объект - 1 [Прямая дорога]"); },
       kDeleteArea, [this] { EXPECT_EQ(this->AreaCount(), 1); }, ""},
      {"activate an area", [] { return std::string("Объект - 1 [Прямая дорога]"); }, kActivate,
       [this] { EXPECT_EQ(this->ActiveIndex(), 0); }, "Объект - 1 [Прямая дорога]"},
      {"add a primitive after a rectangle",
       [this] {
         // The menus offer no adding on a polygon.
         const int rectangle = 1;
         this->Primitives(this->AreaAt(1))[0]->SetShape(&rectangle);
         return std::string("Примитив - 1");
       },
       kAddPrimitive,
       [this] {
         const auto list = this->Primitives(this->AreaAt(1));
         ASSERT_EQ(list.size(), 2u);
         EXPECT_EQ(std::string(*list[1]->GetName()), "Примитив - 2");
         EXPECT_EQ(*list[1]->GetShape(), *list[0]->GetShape());
         EXPECT_EQ(*list[1]->GetMembership(), *list[0]->GetMembership());
       },
       "Примитив - 2"},
      {"copy a primitive", [] { return std::string("Примитив - 1"); }, kCopyPrimitive,
       [this] {
         const auto list = this->Primitives(this->AreaAt(1));
         ASSERT_EQ(list.size(), 2u);
         EXPECT_EQ(std::string(*list[1]->GetName()), "Примитив - 2") << "the copy keeps its own name";
         const auto original = Outline(list[0]);
         const auto copied = Outline(list[1]);
         ASSERT_EQ(copied.size(), original.size());
         for (std::size_t i = 0; i < copied.size(); ++i) {
           EXPECT_EQ(copied[i].x, original[i].x) << i;
           EXPECT_EQ(copied[i].y, original[i].y) << i;
         }
       },
       "Примитив - 2"},
      {"add a shading object", [] { return std::string("Объекты затенения"); }, kAddPrimitive,
       [this] {
         const auto list = this->Primitives(this->AreaAt(1));
         ASSERT_EQ(list.size(), 2u);
         EXPECT_EQ(*list[1]->GetMembership(), 4);
         EXPECT_DOUBLE_EQ(list[1]->GetHeight(), 1.0);
         for (const _CSPOINT3D& v : Outline(list[1]))
           EXPECT_DOUBLE_EQ(v.z, 1.0);
       },
       "Примитив - 2"},
      {"parameters of an inactive area's part", [] { return std::string("Проезжая часть"); },
       kParameters,
       [this] {
         EXPECT_EQ(this->ActiveIndex(), 0) << "the part's area becomes active";
         EXPECT_EQ(this->frame.Count(UM_SHOWPARAMETERS), 1);
       },
       "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string item = c.item();
    ASSERT_NE(Item(item), nullptr);
    const auto before = Unselected("before");
    frame.messages.clear();
    Command(item, c.command);
    c.check();
    if (!c.selectedAfter.empty()) {
      EXPECT_EQ(Selected(), c.selectedAfter);
    }
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(frame.Count(UM_CALCMODES), 1);
    if (!c.undoable)
      continue;
    ASSERT_TRUE(doc->CanUndo());
    doc->Undo();
    Rebuild();
    EXPECT_EQ(Unselected("after"), before);
  }
}

TEST_F(TreeCommands, RefusedCommandsChangeNothingAndLeaveNoUndoStep)
{
  struct Case {
    const char* item;
    UINT command;
    bool refreshed = false;  // a command that does not fit the object ends in the common refresh
  };
  const Case cases[] = {
      {"1:Группа", kDeleteGroup},             // the only group
      {"1:Группа", 33042},                    // the same from the view's menu
      {"1:Группа", kDeleteSubGroupPole},       // no sub-group selected
      {"Объект - 2 [Открытые территории в одном уровне]", kDeleteArea},  // the active area
      {"Объекты затенения", kCopyPrimitive, true},  // a category node is no primitive to copy
      {"Группы ОП", kAddPrimitive, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.item) + " " + std::to_string(c.command));
    const auto before = Saved("before");
    const BOOL couldUndo = doc->CanUndo();
    const int states = doc->GetStateCount();
    frame.messages.clear();
    Command(c.item, c.command);
    EXPECT_EQ(Saved("after"), before);
    EXPECT_EQ(doc->CanUndo(), couldUndo);
    EXPECT_EQ(doc->GetStateCount(), states);
    EXPECT_EQ(frame.Count(UM_CALCMODES), c.refreshed ? 1 : 0);
  }
}

TEST_F(TreeCommands, TheFirstGroupOfAnOpenSiteGivesWayToTheSecond)
{
  Command("1:Группа", kAddGroupAfter);
  Rebuild();
  void* part = nullptr;
  GroupsOf(AreaAt(1))->QueryInterface(&IID_IGroupOfDev, &part);
  auto* head = static_cast<IGroupOfDev*>(part);
  CGuid secondId;
  void* second = nullptr;
  head->GetNext()->QueryInterface(&IID_IClassObjModel, &second);
  static_cast<IClassObjModel*>(second)->GetObjectId(&secondId);
  static_cast<IClassObjModel*>(second)->Release();

  EXPECT_EQ(Menu("1:Группа"), "Выключить|-|Добавить группу|Создать копию|-|Удалить группу|-|Параметры");
  Command("1:Группа", kDeleteGroup);
  void* headObject = nullptr;
  head->QueryInterface(&IID_IClassObjModel, &headObject);
  CGuid headId;
  static_cast<IClassObjModel*>(headObject)->GetObjectId(&headId);
  static_cast<IClassObjModel*>(headObject)->Release();
  EXPECT_TRUE(headId.IsEqual(&secondId.Value())) << "the head object carries the second group's identity";
  EXPECT_EQ(GroupNames(AreaAt(1)), (std::vector<std::string>{"2:Группа"}));
  EXPECT_EQ(head->GetNext(), nullptr);
  EXPECT_EQ(Selected(), "2:Группа");
  head->Release();
}

// The rebuild after a command is posted: a click and a paint reach the tree first.
TEST_F(TreeCommands, ADeleteFollowedByAClickBeforeTheRebuildIsSafe)
{
  HTREEITEM road = Item("Объект - 1 [Прямая дорога]");
  tree->SelectItem(road);
  tree->SendMessage(WM_COMMAND, kDeleteArea, 0);  // the rebuild is posted, not yet run
  HTREEITEM child = Item("2:Группа");
  ASSERT_NE(child, nullptr) << "the stale items are still there";
  LeftClick(child);
  RightClick(child);
  tree->SendMessage(WM_COMMAND, kSwitchGroup, 0);
  tree->UpdateWindow();
  tree->SendMessage(WM_PAINT);
  Pump();
  EXPECT_EQ(Item("2:Группа"), nullptr);
  EXPECT_EQ(AreaCount(), 1);
}

}  // namespace
