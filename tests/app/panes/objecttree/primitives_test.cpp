// Primitives in the tree. Dragging one onto a category node of its own area: the move there and back, the drops
// that are refused without an undo step, and a release outside the tree that ends the drag. Primitives added and
// copied: where they stand and which group they join. The drawing-order and delete commands: the order they leave,
// the object id that travels with the moved primitive, and the refusals.
#include "model/iprimitive.h"
#include "platform/user/msgbox.h"

#include <cmath>
#include "tests/app/panes/objecttree/tree_fixture.h"

namespace {

using treetest::ObjectTreeTest;

constexpr UINT kAddOpenSite = 32850;

class TreePrimitives : public ObjectTreeTest {
protected:
  void SetUp() override
  {
    SetGraphicCoreFactory([](IQorRoadDoc* context) -> CGraphicCore* { return new treetest::CentredCore(context); });
    ObjectTreeTest::SetUp();
    // Two open sites after the straight road; the first holds a rectangle on its carriageway.
    Command(static_cast<LPCSTR>(*Project()->GetName()), kAddOpenSite);
    Command(static_cast<LPCSTR>(*Project()->GetName()), kAddOpenSite);
    void* part = nullptr;
    ASSERT_TRUE(SUCCEEDED(AreaAt(1)->QueryInterface(&IID_IPrimitive, &part)) && part);
    rectangle = static_cast<IPrimitive*>(part);
    rectangle->Release();  // the site keeps it
    const int shape = 1;
    rectangle->SetShape(&shape);
    Project()->SetActiveArea(AreaAt(1));
    Rebuild();
  }
  void TearDown() override
  {
    ObjectTreeTest::TearDown();
    SetGraphicCoreFactory(nullptr);
  }
  ICustomizeRoad* Site(int area)
  {
    void* part = nullptr;
    AreaAt(area)->QueryInterface(&IID_ICustomizeRoad, &part);
    static_cast<IModelUnknown*>(part)->Release();  // the project keeps it
    return static_cast<ICustomizeRoad*>(part);
  }
  IPrimitive* Last(int area)
  {
    void* part = nullptr;
    AreaAt(area)->QueryInterface(&IID_IPrimitive, &part);
    auto* p = static_cast<IPrimitive*>(part);
    p->Release();
    while (p->GetNext())
      p = p->GetNext();
    return p;
  }
  std::string ParentOfSelected()
  {
    return static_cast<LPCSTR>(tree->GetItemText(tree->GetParentItem(tree->GetSelectedItem())));
  }
  // The item with this text below the item of the area at `index`.
  HTREEITEM InArea(int index, const std::string& text)
  {
    const std::string areaText = static_cast<LPCSTR>(*AreaAt(index)->GetCaption());
    for (HTREEITEM area = tree->GetChildItem(tree->GetRootItem()); area; area = tree->GetNextSiblingItem(area)) {
      if (std::string(static_cast<LPCSTR>(tree->GetItemText(area))).rfind(areaText, 0) != 0)
        continue;
      for (HTREEITEM item = tree->GetChildItem(area); item; item = tree->GetNextItemInOrder(item)) {
        if (tree->GetParentItem(item) == tree->GetParentItem(area))
          break;
        if (std::string(static_cast<LPCSTR>(tree->GetItemText(item))) == text)
          return item;
      }
    }
    ADD_FAILURE() << text;
    return nullptr;
  }
  LPARAM At(HTREEITEM item)
  {
    CRect label;
    tree->GetItemRect(item, &label, TRUE);
    return MAKELPARAM(label.left + 4, label.CenterPoint().y);
  }
  // Presses on the primitive, moves far enough to start the drag, then over `over` with the button held.
  void StartDrag(HTREEITEM over)
  {
    HTREEITEM from = InArea(1, static_cast<LPCSTR>(*rectangle->GetName()));
    tree->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(from));
    tree->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(over));
    tree->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(over));
  }
  void Drag(HTREEITEM target)
  {
    StartDrag(target);
    tree->SendMessage(WM_LBUTTONUP, 0, At(target));
    Pump();
  }
  void Drag(int area, const std::string& node) { Drag(InArea(area, node)); }
  CGuid Id(IPrimitive* p)
  {
    void* out = nullptr;
    p->QueryInterface(&IID_IClassObjModel, &out);
    auto* object = static_cast<IClassObjModel*>(out);
    CGuid id;
    object->GetObjectId(&id);
    object->Release();
    return id;
  }

  // The names of the area's primitives in drawing order, and a third and fourth added after the rectangle.
  std::vector<std::string> Order(int area)
  {
    std::vector<std::string> names;
    void* part = nullptr;
    AreaAt(area)->QueryInterface(&IID_IPrimitive, &part);
    auto* p = static_cast<IPrimitive*>(part);
    p->Release();
    for (; p; p = p->GetNext())
      names.push_back(static_cast<LPCSTR>(*p->GetName()));
    return names;
  }
  void AddTwo()
  {
    ICustomizeRoad* site = Site(1);
    IPrimitive* last = rectangle;
    for (int i = 0; i < 2; ++i) {
      IPrimitive* p = site->CreatePrimitive(1, 1, TRUE);
      last->SetNext(p);
      p->SetPrev(last);
      last = p;
    }
    Rebuild();
  }
  void OnPrimitive(const std::string& name, UINT command)
  {
    tree->SelectItem(InArea(1, name));
    Pump();
    tree->SendMessage(WM_COMMAND, command, 0);
    Pump();
  }

  IPrimitive* rectangle = nullptr;
};

constexpr UINT kAdd = 32873;
constexpr UINT kCopy = 32877;
constexpr UINT kDelete = 32875;
constexpr UINT kToFront = 32882;
constexpr UINT kToBack = 32884;

TEST_F(TreePrimitives, OrderCommandsMoveContentsAndKeepTheObjectId)
{
  AddTwo();
  const std::vector<std::string> start = Order(1);
  ASSERT_EQ(start.size(), 3u);
  const std::string a = start[0], b = start[1], c = start[2];
  const CGuid firstId = Id(rectangle);

  // The first to the front: the head object now carries the second; the moved one keeps its id and stays selected.
  OnPrimitive(a, kToFront);
  EXPECT_EQ(Order(1), (std::vector<std::string>{b, c, a}));
  EXPECT_EQ(Selected(), a);
  EXPECT_TRUE(tree->GetRememberedId().IsEqual(&firstId.Value()));
  IClassObjModel* moved = tree->GetItemObject(tree->GetSelectedItem());
  CGuid movedId;
  moved->GetObjectId(&movedId);
  EXPECT_TRUE(movedId.IsEqual(&firstId.Value()));

  // The last to the back.
  OnPrimitive(a, kToBack);
  EXPECT_EQ(Order(1), (std::vector<std::string>{a, b, c}));
  EXPECT_EQ(Selected(), a);
  OnPrimitive(c, kToBack);
  EXPECT_EQ(Order(1), (std::vector<std::string>{c, a, b}));

  // Deleting the first leaves the second at the head, selected; deleting another selects its previous one.
  OnPrimitive(c, kDelete);
  EXPECT_EQ(Order(1), (std::vector<std::string>{a, b}));
  EXPECT_EQ(Selected(), a);
  OnPrimitive(b, kDelete);
  EXPECT_EQ(Order(1), (std::vector<std::string>{a}));
  EXPECT_EQ(Selected(), a);
}

TEST_F(TreePrimitives, TheOnlyPrimitiveIsNeitherDeletedNorMovedAndLeavesNoUndoStep)
{
  const auto before = Saved("before");
  const int states = doc->GetStateCount();
  const std::string only = static_cast<LPCSTR>(*rectangle->GetName());
  for (UINT command : {kDelete, kToFront, kToBack}) {
    OnPrimitive(only, command);
    EXPECT_EQ(Order(1), std::vector<std::string>{only}) << command;
    EXPECT_EQ(doc->GetStateCount(), states) << command;
  }
  EXPECT_EQ(Saved("after"), before);
}

TEST_F(TreePrimitives, RectangleToTheShadingObjectsAndBack)
{
  const CGuid id = Id(rectangle);
  const int off = *rectangle->GetState() & ~1;
  rectangle->SetState(&off);
  Rebuild();
  Drag(1, "Объекты затенения");
  EXPECT_EQ(*rectangle->GetMembership(), 4);
  EXPECT_DOUBLE_EQ(rectangle->GetHeight(), 1);
  EXPECT_EQ(*rectangle->GetState() & 1, 1);
  EXPECT_TRUE(doc->CanUndo());
  EXPECT_EQ(Selected(), "Объекты затенения");
  EXPECT_NE(tree->GetChildItem(InArea(1, "Объекты затенения")), nullptr);
  EXPECT_EQ(::GetCapture(), nullptr);

  rectangle->SetBaseHeight(5);
  Drag(1, "Проезжая часть");
  EXPECT_EQ(*rectangle->GetMembership(), 1);
  EXPECT_DOUBLE_EQ(rectangle->GetHeight(), 0);
  EXPECT_DOUBLE_EQ(rectangle->GetBaseHeight(), 0);
  EXPECT_TRUE(Id(rectangle).IsEqual(&id.Value()));
}

TEST_F(TreePrimitives, DropsOutsideTheOwnAreasNodesChangeNothing)
{
  // Onto another area's node, onto the area itself, and released outside the tree.
  const auto before = Saved("before");
  const int states = doc->GetStateCount();
  Drag(2, "Тротуар");
  EXPECT_EQ(*rectangle->GetMembership(), 1);
  Drag(tree->GetParentItem(InArea(1, "Тротуар")));
  EXPECT_EQ(*rectangle->GetMembership(), 1);
  EXPECT_EQ(doc->GetStateCount(), states);

  StartDrag(InArea(1, "Тротуар"));
  EXPECT_EQ(::GetCapture(), tree->GetSafeHwnd());  // held while dragging
  tree->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2000, 3000));
  EXPECT_EQ(::GetCapture(), nullptr);
  // The drag is over: pressing elsewhere and passing over a node selects nothing by dragging.
  tree->SelectItem(InArea(1, "Проезжая часть"));
  Pump();
  tree->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(InArea(1, "Тротуар")));
  tree->SendMessage(WM_LBUTTONUP, 0, At(InArea(1, "Тротуар")));
  EXPECT_EQ(doc->GetStateCount(), states);
  EXPECT_EQ(Saved("after"), before);
}

TEST_F(TreePrimitives, OutlineCommands)
{
  auto square = [this](const std::vector<int>& selected, int count = 4) {
    const int polygon = 4;
    rectangle->SetShape(&polygon);
    CArray<_CSPOINT3D>* outline = nullptr;
    rectangle->GetOutline(&outline);
    outline->RemoveAll();
    const double corners[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (int i = 0; i < count; ++i)
      outline->Add(_CSPOINT3D{corners[i][0], corners[i][1], 0, 0, 0});
    for (int i : selected)
      outline->ElementAt(i).flags |= 0x2;
    return outline;
  };
  const std::string name = static_cast<LPCSTR>(*rectangle->GetName());
  struct Case {
    const char* what;
    std::vector<int> selected;
    int count;
    int left;
    double secondX;
  };
  for (const Case& c : {Case{"second and third selected", {1, 2}, 4, 3, 10},
                        Case{"nothing selected", {}, 4, 4, 10},
                        Case{"a triangle", {1}, 3, 3, 10}}) {
    SCOPED_TRACE(c.what);
    // Selecting the item clears the view's selection; the vertices are picked in the view afterwards.
    tree->SelectItem(InArea(1, name));
    Pump();
    CArray<_CSPOINT3D>* outline = square(c.selected, c.count);
    tree->SendMessage(WM_COMMAND, 33034, 0);
    Pump();
    EXPECT_EQ(outline->GetSize(), c.left);
    EXPECT_DOUBLE_EQ(outline->GetAt(1).x, c.secondX);
    EXPECT_DOUBLE_EQ(outline->GetAt(1).y, c.left == 3 && c.count == 4 ? 10 : 0);
  }

  // Editing the outline hands it to the view; drawing it anew empties it first; a rectangle has none to redraw.
  CArray<_CSPOINT3D>* outline = square({});
  frame.messages.clear();
  OnPrimitive(name, 33031);
  EXPECT_EQ(frame.Count(UM_BEGINCONTOUR), 1);
  EXPECT_EQ(outline->GetSize(), 4);
  OnPrimitive(name, 33059);
  EXPECT_EQ(frame.Count(UM_BEGINCONTOUR), 2);
  EXPECT_EQ(outline->GetSize(), 0);
  const int flat = 1;
  rectangle->SetShape(&flat);
  OnPrimitive(name, 33059);
  EXPECT_EQ(frame.Count(UM_BEGINCONTOUR), 2);
}

TEST_F(TreePrimitives, PrimitiveGroupsAddedAndDeletedWithTheirPrimitives)
{
  AddTwo();
  tree->SelectItem(InArea(1, "Проезжая часть"));
  Pump();
  tree->SendMessage(WM_COMMAND, 33066, 0);
  Pump();
  const std::string groupText = Selected();
  EXPECT_EQ(groupText.rfind("Группа примитивов", 0), 0u) << groupText;
  IClassObjModel* groupObject = tree->GetItemObject(tree->GetSelectedItem());
  void* part = nullptr;
  ASSERT_TRUE(SUCCEEDED(groupObject->QueryInterface(&IID_IGroupOfPrimitive, &part)));
  CGuid kind;
  static_cast<IGroupOfPrimitive*>(part)->GetKind(&kind);
  static_cast<IGroupOfPrimitive*>(part)->Release();

  // Two of the three primitives in the group: deleting it takes them along and selects the carriageway node.
  const std::vector<std::string> names = Order(1);
  rectangle->SetGroupKind(&kind);
  rectangle->GetNext()->SetGroupKind(&kind);
  Rebuild();
  OnPrimitive(groupText, 33069);
  EXPECT_EQ(Order(1), std::vector<std::string>{names[2]});
  EXPECT_EQ(Selected(), "Проезжая часть");

  // A group holding every primitive of the area stays.
  tree->SelectItem(InArea(1, "Проезжая часть"));
  Pump();
  tree->SendMessage(WM_COMMAND, 33066, 0);
  Pump();
  const std::string second = Selected();
  groupObject = tree->GetItemObject(tree->GetSelectedItem());
  ASSERT_TRUE(SUCCEEDED(groupObject->QueryInterface(&IID_IGroupOfPrimitive, &part)));
  static_cast<IGroupOfPrimitive*>(part)->GetKind(&kind);
  static_cast<IGroupOfPrimitive*>(part)->Release();
  void* last = nullptr;
  AreaAt(1)->QueryInterface(&IID_IPrimitive, &last);
  static_cast<IPrimitive*>(last)->SetGroupKind(&kind);
  static_cast<IPrimitive*>(last)->Release();
  Rebuild();
  const auto before = Saved("whole group");
  OnPrimitive(second, 33069);
  EXPECT_EQ(Order(1), std::vector<std::string>{names[2]});
  EXPECT_NE(InArea(1, second), nullptr);
  EXPECT_EQ(Saved("whole group kept"), before);
}

TEST_F(TreePrimitives, AnAddedPrimitiveLeavesTheGroupAndACopyStaysInIt)
{
  IGroupOfPrimitive* group = Site(1)->CreatePrimitiveGroup(1);
  CGuid kind;
  group->GetKind(&kind);
  rectangle->SetGroupKind(&kind);
  const double away[3] = {-50, 60, 0};
  rectangle->SetCentre(away);
  Rebuild();
  const std::string name = static_cast<LPCSTR>(*rectangle->GetName());

  // Added: the rectangle's shape and category at the view centre, directly below the category node.
  OnPrimitive(name, kAdd);
  IPrimitive* added = rectangle->GetNext();
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(*added->GetShape(), 1);
  EXPECT_EQ(*added->GetMembership(), 1);
  CGuid addedKind;
  added->GetGroupKind(&addedKind);
  EXPECT_TRUE(addedKind.IsEqual(&CGuid().Value()));
  double centre[3] = {};
  added->GetCentre(centre);
  EXPECT_EQ(centre[0], 12);
  EXPECT_EQ(centre[1], 34);
  EXPECT_EQ(Selected(), std::string(*added->GetName()));
  EXPECT_EQ(ParentOfSelected(), "Проезжая часть");

  // Copied: linked directly after the rectangle, at its place, in its group, under a name of its own.
  OnPrimitive(name, kCopy);
  IPrimitive* copy = rectangle->GetNext();
  ASSERT_NE(copy, added);
  EXPECT_EQ(copy->GetNext(), added);
  CGuid copyKind;
  copy->GetGroupKind(&copyKind);
  EXPECT_TRUE(copyKind.IsEqual(&kind.Value()));
  copy->GetCentre(centre);
  EXPECT_EQ(centre[0], -50);
  EXPECT_EQ(centre[1], 60);
  EXPECT_NE(std::string(*copy->GetName()), name);
  EXPECT_FALSE(Id(copy).IsEqual(&Id(rectangle).Value()));
  EXPECT_EQ(Selected(), std::string(*copy->GetName()));
  EXPECT_EQ(ParentOfSelected(), std::string(*group->GetName()));
}

TEST_F(TreePrimitives, ANodeOrGroupTakesASquareAroundThePlacementPointAtTheEnd)
{
  IGroupOfPrimitive* group = Site(1)->CreatePrimitiveGroup(2);
  CGuid groupKind;
  group->GetKind(&groupKind);
  const double base = 2.5;
  AreaAt(1)->SetBaseHeight(&base);
  Rebuild();
  struct Case {
    std::string node;
    int membership;
    bool inGroup;
    double height;      // of the primitive and of its outline's vertices
    double baseHeight;
  };
  const Case cases[] = {
      {"Проезжая часть", 1, false, 0, 0},
      {std::string(*group->GetName()), 2, true, 0, 0},
      {"Объекты затенения", 4, false, 1, base},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.node);
    tree->SelectItem(InArea(1, c.node));
    Pump();
    tree->SendMessage(WM_COMMAND, kAdd, 0);
    Pump();
    IPrimitive* added = Last(1);
    ASSERT_NE(added, rectangle);
    EXPECT_EQ(Selected(), std::string(*added->GetName()));
    EXPECT_EQ(*added->GetShape(), 4);
    EXPECT_EQ(*added->GetMembership(), c.membership);
    CGuid kind;
    added->GetGroupKind(&kind);
    EXPECT_TRUE(kind.IsEqual(c.inGroup ? &groupKind.Value() : &CGuid().Value()));
    CArray<_CSPOINT3D>* outline = nullptr;
    added->GetOutline(&outline);
    ASSERT_EQ(outline->GetSize(), 4);
    for (const _CSPOINT3D& v : *outline) {
      EXPECT_EQ(std::abs(v.x - 12), 5);
      EXPECT_EQ(std::abs(v.y - 34), 5);
      if (c.membership == 4) {
        EXPECT_DOUBLE_EQ(v.z, c.height);
      }
    }
    if (c.membership == 4) {
      EXPECT_DOUBLE_EQ(added->GetHeight(), c.height);
      EXPECT_DOUBLE_EQ(added->GetBaseHeight(), c.baseHeight);
    }
  }
}

TEST_F(TreePrimitives, ATypicalFormAsksBeforeItTakesAPrimitive)
{
  Command(static_cast<LPCSTR>(*Project()->GetName()), 32926);  // a turn
  int turn = 0;
  while (*AreaAt(turn)->GetTypicalForm() != 1)
    ++turn;
  const int count = Site(turn)->GetPrimitiveCount();
  const int areas = AreaCount();
  const auto before = Saved("turn");

  // No: the turn as it was; the undo step taken before the question stays.
  answers.AnswerNext(IDNO);
  tree->SelectItem(InArea(turn, "Проезжая часть"));
  Pump();
  tree->SendMessage(WM_COMMAND, kAdd, 0);
  Pump();
  ASSERT_FALSE(answers.Asked().empty());
  const user::ModalQuestion& asked = answers.Asked().back();
  EXPECT_EQ(asked.text.rfind("Добавление нового примитива возможно только для объектов Произвольной формы.", 0), 0u);
  EXPECT_EQ(asked.style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  EXPECT_EQ(Saved("turn kept"), before);
  doc->Undo();
  EXPECT_EQ(AreaCount(), areas) << "the undo took back the step of the question, not the turn";
  Rebuild();

  // Yes: a free open site with the new primitive, and the tree shows its other nodes.
  answers.AnswerNext(IDYES);
  tree->SelectItem(InArea(turn, "Проезжая часть"));
  Pump();
  tree->SendMessage(WM_COMMAND, kAdd, 0);
  Pump();
  EXPECT_EQ(*AreaAt(turn)->GetTypicalForm(), 0);
  EXPECT_EQ(Site(turn)->GetPrimitiveCount(), count + 1);
  EXPECT_EQ(*Last(turn)->GetMembership(), 1);
  EXPECT_NE(InArea(turn, "Объекты затенения"), nullptr);
}

}  // namespace
