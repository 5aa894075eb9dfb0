// The tree's structure: what a project with a straight road and an open site shows, in which icons and colours,
// which item a rebuild selects, and the typical forms' reduced nodes.
#include "tests/app/panes/objecttree/tree_fixture.h"
#include "tests/toolkit/canvas.h"

namespace {

using treetest::ObjectTreeTest;

constexpr UINT kAddOpenSite = 32850;
constexpr UINT kAddTurn = 32926;

class TreeStructure : public ObjectTreeTest {
protected:
  template <class I>
  I* Part(IModelUnknown* object, const IID& key)
  {
    void* part = nullptr;
    object->QueryInterface(&key, &part);
    auto* p = static_cast<I*>(part);
    if (p)
      p->Release();  // the model keeps it
    return p;
  }

  // The straight road of a new project, then an open site added from the project item, with a user group of
  // carriageway primitives holding the site's first primitive, a second primitive switched off with two
  // vertices, and a second group of poles switched off.
  void BuildSample()
  {
    Command(static_cast<LPCSTR>(*Project()->GetName()), kAddOpenSite);
    IArea* site = AreaAt(1);
    auto* customize = Part<ICustomizeRoad>(site, IID_ICustomizeRoad);
    IGroupOfPrimitive* group = customize->CreatePrimitiveGroup(1);
    CGuid kind;
    group->GetKind(&kind);
    auto* first = Part<IPrimitive>(site, IID_IPrimitive);
    first->SetGroupKind(&kind);

    IPrimitive* second = customize->CreatePrimitive(4, 1, TRUE);
    first->SetNext(second);
    second->SetPrev(first);
    CArray<_CSPOINT3D>* outline = nullptr;
    second->GetOutline(&outline);
    outline->RemoveAll();
    outline->Add(_CSPOINT3D{0, 0, 0, 0, 0});
    outline->Add(_CSPOINT3D{5, 5, 0, 0, 0});
    const int off = *second->GetState() & ~1;
    second->SetState(&off);

    auto* groups = Part<IGroupsOfDev>(site, IID_IGroupsOfDev);
    auto* firstGroup = Part<IGroupOfDev>(groups, IID_IGroupOfDev);
    IGroupOfDev* added = groups->CreateGroup();
    firstGroup->SetNext(added);
    added->SetPrev(firstGroup);
    const int groupOff = *added->GetState() & ~1;
    added->SetState(&groupOff);
    Rebuild();
  }
};

TEST_F(TreeStructure, AStraightRoadAndAnOpenSiteShowEveryKindOfNode)
{
  BuildSample();
  const std::vector<std::string> expected{
      "Проект - " + std::to_string(ProjectNumber()) + " [0]",
      "  Объект - 1 [Прямая дорога] [1] grey",
      "    Проезжая часть [2] grey",
      "    Тротуар [4] grey",
      "    Группы ОП [8] grey",
      "      1:Группа (основная) [9] grey",
      "  Объект - 2 [Открытые территории в одном уровне] [11] bold",
      "    Проезжая часть [2] black",
      "      Группа примитивов - 1 [34/35] black",
      "        Примитив - 1 [27] black",
      "      Примитив - 2 [30] red",
      "    Тротуар [4] black",
      "    Объекты затенения [31] black",
      "    Группы ОП [8] black",
      "      1:Группа [9] black",
      "      2:Группа [10] red",
  };
  EXPECT_EQ(Picture(), expected);

  tree->SelectItem(Item("Примитив - 1"));
  Pump();
  tktest::Canvas canvas(420, 300);
  tree->CTKTreeBase::OnPaint(&canvas.m_dc, TRUE);
  EXPECT_TRUE(canvas.Save("object_tree.png"));

  // The bold face and the grey move with the active area.
  Project()->SetActiveArea(AreaAt(0));
  Rebuild();
  const std::vector<std::string> lines = Picture();
  EXPECT_EQ(lines[1], "  Объект - 1 [Прямая дорога] [1] bold");
  EXPECT_EQ(lines[2], "    Проезжая часть [2] black");
  EXPECT_EQ(lines[6], "  Объект - 2 [Открытые территории в одном уровне] [11] grey");
  EXPECT_EQ(lines[10], "      Примитив - 2 [30] grey");
}

TEST_F(TreeStructure, ARebuildKeepsTheSelectionAndFallsBackOnTheProject)
{
  BuildSample();
  tree->SelectItem(Item("Примитив - 1"));
  Pump();
  IClassObjModel* primitive = tree->GetItemObject(tree->GetSelectedItem());
  frame.messages.clear();
  Rebuild();
  EXPECT_EQ(Selected(), "Примитив - 1");
  ASSERT_FALSE(frame.messages.empty());
  EXPECT_EQ(frame.messages.back().message, UM_SHOWOBJECT) << "posted after the rebuild";
  EXPECT_EQ(frame.messages.back().lParam, reinterpret_cast<LPARAM>(primitive));

  // The straight road goes while its group is selected: the rebuild selects the project.
  tree->SelectItem(Item("1:Группа (основная)"));
  Pump();
  const int active = 1;
  AreaAt(1)->SetActive(&active);
  const int inactive = 0;
  AreaAt(0)->SetActive(&inactive);
  ASSERT_EQ(Project()->RemoveArea(AreaAt(0)), 0);
  Rebuild();
  EXPECT_EQ(tree->GetSelectedItem(), tree->GetRootItem());
  EXPECT_EQ(Item("1:Группа (основная)"), nullptr);
}

TEST_F(TreeStructure, WithoutAMainWindowNothingIsRemembered)
{
  frameShell.mainWindow = nullptr;
  tree->SelectItem(Item("Тротуар"));
  frame.messages.clear();
  Rebuild();
  EXPECT_EQ(Selected(), "Тротуар");
  const CGuid none;
  EXPECT_TRUE(tree->GetRememberedId().IsEqual(&none.Value())) << "the rebuild forgets what it found";
  Rebuild();
  EXPECT_EQ(tree->GetSelectedItem(), tree->GetRootItem());
  EXPECT_TRUE(frame.messages.empty());
}

TEST_F(TreeStructure, ATypicalFormShowsOnlyItsCarriagewayAndSidewalkNodes)
{
  Command(static_cast<LPCSTR>(*Project()->GetName()), kAddTurn);
  HTREEITEM turn = tree->GetSelectedItem();
  ASSERT_NE(turn, nullptr);
  std::vector<std::string> children;
  int image = 0, selectedImage = 0;
  tree->GetItemImage(turn, image, selectedImage);
  EXPECT_EQ(image, 21);
  for (HTREEITEM child = tree->GetChildItem(turn); child; child = tree->GetNextSiblingItem(child)) {
    children.emplace_back(static_cast<LPCSTR>(tree->GetItemText(child)));
    if (children.back() != "Группы ОП") {
      EXPECT_EQ(tree->GetChildItem(child), nullptr) << "no primitives below a typical form's node";
    }
  }
  EXPECT_EQ(children, (std::vector<std::string>{"Проезжая часть", "Тротуар", "Группы ОП"}));

  void* part = nullptr;
  IArea* area = AreaAt(1);
  area->QueryInterface(&IID_ICustomizeRoad, &part);
  auto* site = static_cast<ICustomizeRoad*>(part);
  const int noSidewalks = *site->GetSidewalkState() | 2;
  site->SetSidewalkState(&noSidewalks);
  site->Release();
  Rebuild();
  EXPECT_EQ(tree->GetItemText(tree->GetChildItem(tree->GetSelectedItem())), CString("Проезжая часть"));
  EXPECT_EQ(tree->GetItemText(tree->GetNextSiblingItem(tree->GetChildItem(tree->GetSelectedItem()))),
            CString("Группы ОП"));
}

}  // namespace
