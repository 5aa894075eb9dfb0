// Selection, renaming, expansion and F5: what the tree tells the main frame and the model, and when it keeps out.
#include "tests/app/panes/objecttree/tree_fixture.h"

namespace {

using treetest::ObjectTreeTest;

class TreeSelection : public ObjectTreeTest {
protected:
  // Renames an item in place as the user does: the edit opens, takes the text and is closed with Enter.
  bool Rename(HTREEITEM item, const char* text)
  {
    CEdit* edit = tree->EditLabel(item);
    if (!edit)
      return false;
    edit->SetWindowText(text);
    tree->EndEditLabelNow(FALSE);
    Pump();
    return true;
  }
};

TEST_F(TreeSelection, TheFrameShowsTheObjectBeforeTheModelMarksItSelected)
{
  HTREEITEM sidewalk = Item("Тротуар");
  IClassObjModel* object = tree->GetItemObject(sidewalk);
  int selectedWhileShown = -1;
  frame.onShow = [&](IClassObjModel* shown) {
    if (shown == object)
      selectedWhileShown = shown->IsSelected();
  };
  Project()->ClearSelection();
  tree->GetItemObject(Item("Проезжая часть"))->SetSelected(1);
  frame.messages.clear();

  LeftClick(sidewalk);
  EXPECT_EQ(selectedWhileShown, 0) << "sent and handled before the flag is set";
  EXPECT_EQ(object->IsSelected(), 1);
  EXPECT_EQ(tree->GetItemObject(Item("Проезжая часть"))->IsSelected(), 0) << "the project's selection is cleared";
  EXPECT_EQ(frame.Count(UM_SHOWOBJECT), 1);

  LeftClick(sidewalk);
  EXPECT_EQ(frame.Count(UM_SHOWOBJECT), 2) << "a click on the selected item shows it again";
}

TEST_F(TreeSelection, TheRightButtonSelectsExceptDuringACalculation)
{
  frame.calcState = 1;
  RightClick(Item("Тротуар"));
  EXPECT_NE(Selected(), "Тротуар");
  EXPECT_EQ(tree->menusShown, 0);

  frame.calcState = 0;
  RightClick(Item("Тротуар"));
  EXPECT_EQ(Selected(), "Тротуар");
  EXPECT_EQ(tree->menusShown, 1);
}

TEST_F(TreeSelection, RenamingToTheSameTextIsNoEdit)
{
  HTREEITEM area = Item("Объект - 1 [Прямая дорога]");
  ASSERT_NE(area, nullptr);
  doc->SetModifiedFlag(FALSE);
  const int states = doc->GetStateCount();
  const BOOL couldUndo = doc->CanUndo();

  ASSERT_TRUE(Rename(area, "Объект - 1 [Прямая дорога]"));
  EXPECT_EQ(doc->GetStateCount(), states);
  EXPECT_EQ(doc->CanUndo(), couldUndo);
  EXPECT_FALSE(doc->IsModified());

  frame.messages.clear();
  ASSERT_TRUE(Rename(area, "Улица Ленина"));
  EXPECT_EQ(std::string(*AreaAt(0)->GetCaption()), "Улица Ленина");
  EXPECT_EQ(tree->GetItemText(area), CString("Улица Ленина"));
  EXPECT_TRUE(doc->CanUndo());
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(frame.Count(UM_SHOWOBJECT), 1);
  doc->Undo();
  EXPECT_EQ(std::string(*AreaAt(0)->GetCaption()), "Объект - 1 [Прямая дорога]");
}

TEST_F(TreeSelection, OnlyProjectAreaPrimitiveAndPrimitiveGroupNamesAreEdited)
{
  for (const char* fixed : {"Проезжая часть", "Тротуар", "Группы ОП", "1:Группа (основная)"}) {
    SCOPED_TRACE(fixed);
    EXPECT_EQ(tree->EditLabel(Item(fixed)), nullptr);
  }
  const std::string project = static_cast<LPCSTR>(*Project()->GetName());
  ASSERT_TRUE(Rename(Item(project), "Объездная"));
  EXPECT_EQ(std::string(*Project()->GetName()), "Объездная");
}

TEST_F(TreeSelection, CollapsingStoresTheFlagThatTheNextRebuildFollows)
{
  HTREEITEM groups = Item("Группы ОП");
  IClassObjModel* object = tree->GetItemObject(groups);
  tree->Expand(groups, TVE_COLLAPSE);
  EXPECT_EQ(*object->GetExpanded(), 0);
  Rebuild();
  EXPECT_EQ(tree->GetItemState(Item("Группы ОП"), TVIS_EXPANDED) & TVIS_EXPANDED, 0u);
}

TEST_F(TreeSelection, F5StartsOneCalculationAndIgnoresTheRepeat)
{
  frame.messages.clear();
  tree->SendMessage(WM_KEYDOWN, VK_F5, 0x403F0001);  // held down
  Pump();
  EXPECT_EQ(frame.Count(WM_COMMAND), 0);
  tree->SendMessage(WM_KEYDOWN, VK_F5, 0x003F0001);
  Pump();
  ASSERT_EQ(frame.Count(WM_COMMAND), 1);
  EXPECT_EQ(frame.messages.back().wParam, 32772u);
}

}  // namespace
