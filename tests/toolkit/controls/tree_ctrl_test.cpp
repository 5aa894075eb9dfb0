// The toolkit's tree control: item colours and fonts kept per item and dropped with it, labels drawn in their own
// colours except where the selection or a disabled window takes over, the depth-first walk and the text search,
// Enter on the caret item, and the right button's selection.
#include "toolkit/controls/tree_ctrl.h"

#include "tests/toolkit/canvas.h"
#include "toolkit/paint/color_manager.h"

#include "platform/user/input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kOwnColour = RGB(0, 160, 0);

class TreeCtrlTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "Дерево", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                300, nullptr, nullptr));
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                TVS_SHOWSELALWAYS | TVS_EDITLABELS,
                            CRect(0, 0, 300, 200), &parent, 100));
    // Проект
    //   Объект - 1
    //     Проезжая часть
    //     Тротуар_левый
    //   Объект - 2
    //     Группа опор
    root = tree.InsertItem("Проект");
    area1 = tree.InsertItem("Объект - 1", root);
    road = tree.InsertItem("Проезжая часть", area1);
    sidewalk = tree.InsertItem("Тротуар_левый", area1);
    area2 = tree.InsertItem("Объект - 2", root);
    groups = tree.InsertItem("Группа опор", area2);
    for (HTREEITEM item : {root, area1, area2})
      tree.Expand(item, TVE_EXPAND);
  }
  void TearDown() override { parent.DestroyWindow(); }

  std::vector<std::string> Walk(bool down)
  {
    std::vector<std::string> texts;
    HTREEITEM item = down ? root : tree.GetLastItem(nullptr);
    for (; item; item = down ? tree.GetNextItemInOrder(item) : tree.GetPrevItemInOrder(item))
      texts.emplace_back(static_cast<LPCSTR>(tree.GetItemText(item)));
    return texts;
  }

  // Whether any pixel inside the item's label has the colour.
  bool LabelHasColour(const tktest::Canvas& canvas, HTREEITEM item, COLORREF colour)
  {
    CRect label;
    tree.GetItemRect(item, &label, TRUE);
    for (int y = label.top; y < label.bottom; ++y)
      for (int x = label.left; x < label.right + 20; ++x)
        if (::GetPixel(canvas.m_dc.GetSafeHdc(), x, y) == colour)
          return true;
    return false;
  }

  CWnd parent;
  CTKTreeCtrl tree;
  HTREEITEM root = nullptr, area1 = nullptr, road = nullptr, sidewalk = nullptr, area2 = nullptr, groups = nullptr;
};

TEST_F(TreeCtrlTest, ColoursAndFontsBelongToTheirItemUntilItIsDeleted)
{
  EXPECT_EQ(tree.GetItemColor(road), static_cast<COLORREF>(-1));
  tree.SetItemColor(road, RGB(0, 0, 0));
  EXPECT_EQ(tree.GetItemColor(road), RGB(0, 0, 0)) << "black is a colour of its own, not the default";

  LOGFONT font{};
  EXPECT_FALSE(tree.GetItemFont(road, &font)) << "a colour alone sets no font";
  std::strcpy(font.lfFaceName, "Tahoma");
  font.lfHeight = -13;
  tree.SetItemFont(sidewalk, font);
  LOGFONT back{};
  ASSERT_TRUE(tree.GetItemFont(sidewalk, &back));
  EXPECT_STREQ(back.lfFaceName, "Tahoma");
  EXPECT_EQ(tree.GetItemColor(sidewalk), static_cast<COLORREF>(-1)) << "a font alone sets no colour";

  tree.SetItemBold(area1, TRUE);
  EXPECT_TRUE(tree.GetItemBold(area1));
  tree.SetItemBold(area1, FALSE);
  EXPECT_FALSE(tree.GetItemBold(area1));

  tree.DeleteItem(road);
  HTREEITEM again = tree.InsertItem("Проезжая часть", area1);
  EXPECT_EQ(tree.GetItemColor(again), static_cast<COLORREF>(-1));
  tree.DeleteItem(area1);
  EXPECT_FALSE(tree.GetItemFont(sidewalk, &back)) << "deleting a parent drops its children's entries";
}

TEST_F(TreeCtrlTest, LabelsTakeTheirOwnColourUnlessSelectedOrDisabled)
{
  const CString wide = "Тротуар левый, широкий";
  tree.SetItemColor(road, kOwnColour);
  tree.SetItemColor(groups, kOwnColour);
  tree.SetItemText(sidewalk, wide);
  tree.SetItemBold(sidewalk, TRUE);
  tree.SelectItem(groups);

  tktest::Canvas canvas(300, 200);
  tree.CTKTreeBase::OnPaint(&canvas.m_dc, TRUE);
  EXPECT_TRUE(LabelHasColour(canvas, road, kOwnColour));
  EXPECT_FALSE(LabelHasColour(canvas, groups, kOwnColour)) << "the selection colours win";
  EXPECT_TRUE(LabelHasColour(canvas, groups, TKColorManager().GetColor(15)))
      << "a selected label without the focus is drawn on the button face";

  // The bold label is wider than the rectangle the control measured: its end is drawn too.
  CRect label;
  tree.GetItemRect(sidewalk, &label, TRUE);
  const COLORREF text = TKColorManager().GetColor(8);
  bool inked = false;
  for (int y = label.top; y < label.bottom && !inked; ++y)
    for (int x = label.right - 6; x < label.right + 30 && !inked; ++x)
      inked = ::GetPixel(canvas.m_dc.GetSafeHdc(), x, y) == text;
  EXPECT_TRUE(inked);
  canvas.Save("toolkit_tree_ctrl.png");

  tree.EnableWindow(FALSE);
  tktest::Canvas disabled(300, 200);
  tree.CTKTreeBase::OnPaint(&disabled.m_dc, TRUE);
  EXPECT_FALSE(LabelHasColour(disabled, road, kOwnColour)) << "a disabled tree ignores item colours";
}

TEST_F(TreeCtrlTest, DuringLabelEditingKeysGoToTheEditWhichFollowsTheLabel)
{
  CEdit* edit = tree.EditLabel(road);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(tree.GetEditedItem(), road);
  edit->SetWindowPos(nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  tree.SetWindowPos(nullptr, 0, 0, 320, 220, SWP_NOZORDER | SWP_NOMOVE);
  CRect label;
  tree.GetItemRect(road, &label, TRUE);
  CRect at;
  edit->GetWindowRect(&at);
  tree.ScreenToClient(&at);
  EXPECT_EQ(at.TopLeft(), CPoint(label.left - 3, label.top - 1));

  edit->SetWindowText("Проезжая часть 2");
  MSG enter{edit->GetSafeHwnd(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(tree.PreTranslateMessage(&enter));
  EXPECT_EQ(tree.GetEditControl(), nullptr) << "Enter ended the edit";
  EXPECT_EQ(tree.GetEditedItem(), nullptr);
  EXPECT_EQ(tree.GetItemState(area1, TVIS_EXPANDED) & TVIS_EXPANDED, TVIS_EXPANDED) << "and toggled nothing";
}

TEST_F(TreeCtrlTest, TheWalkGoesDepthFirstBothWays)
{
  const std::vector<std::string> down{"Проект", "Объект - 1", "Проезжая часть", "Тротуар_левый", "Объект - 2",
                                      "Группа опор"};
  EXPECT_EQ(Walk(true), down);
  EXPECT_EQ(Walk(false), std::vector<std::string>(down.rbegin(), down.rend()));
  EXPECT_EQ(tree.GetLastItem(area1), sidewalk);
  EXPECT_EQ(tree.GetLastItem(road), road);
}

TEST_F(TreeCtrlTest, FindSearchesLabelsFromTheStartAndWrapsOnce)
{
  struct Case {
    const char* text;
    BOOL matchCase;
    BOOL down;
    BOOL wholeWord;
    HTREEITEM start;
    HTREEITEM expected;
  };
  const Case cases[] = {
      {"объект", FALSE, TRUE, FALSE, root, area1},
      {"объект", TRUE, TRUE, FALSE, root, nullptr},          // case counts
      {"Объект", TRUE, TRUE, FALSE, area1, area1},           // the start item is looked at first
      {"Объект", TRUE, TRUE, FALSE, road, area2},            // then onwards
      {"Объект", TRUE, TRUE, FALSE, groups, area1},          // wrapping to the root
      {"Объект", TRUE, FALSE, FALSE, road, area1},           // upwards
      {"Объект", TRUE, FALSE, FALSE, root, area2},           // upwards wrapping to the last item
      {"Тротуар", FALSE, TRUE, TRUE, root, nullptr},         // "_" joins a word
      {"часть", FALSE, TRUE, TRUE, root, road},
      {"опор", FALSE, TRUE, FALSE, root, groups},
      {"", FALSE, TRUE, FALSE, root, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + (c.down ? " down" : " up"));
    EXPECT_EQ(tree.FindItem(c.text, c.matchCase, c.down, c.wholeWord, c.start), c.expected);
  }
  tree.SelectItem(area2);
  EXPECT_EQ(tree.FindItem("Объект", TRUE, TRUE, FALSE), area2) << "without a start, from the caret item";
  EXPECT_EQ(tree.FindItemInBranch("Объект", FALSE, FALSE, root), area1);
  EXPECT_EQ(tree.FindItemInBranch("а", FALSE, FALSE, area1), road) << "children before deeper items";
  EXPECT_EQ(tree.FindItemInBranch("Проект", FALSE, FALSE, road), nullptr);
}

TEST_F(TreeCtrlTest, EnterTogglesTheCaretItemAndTheRightButtonSelectsWhatItHits)
{
  tree.SelectItem(area1);
  MSG enter{tree.GetSafeHwnd(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_FALSE(tree.PreTranslateMessage(&enter));
  EXPECT_EQ(tree.GetItemState(area1, TVIS_EXPANDED) & TVIS_EXPANDED, 0u);
  tree.PreTranslateMessage(&enter);
  EXPECT_NE(tree.GetItemState(area1, TVIS_EXPANDED) & TVIS_EXPANDED, 0u);

  CRect label;
  tree.GetItemRect(area2, &label, TRUE);
  tree.SendMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(label.left + 2, label.CenterPoint().y));
  tree.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(label.left + 2, label.CenterPoint().y));
  EXPECT_EQ(tree.GetSelectedItem(), area2);
  EXPECT_NE(tree.GetItemState(area2, TVIS_FOCUSED) & TVIS_FOCUSED, 0u) << "the caret item reports the focus";
}

// The owner's view of a multi-selecting tree: every selection notification, and whether to refuse the next one.
class NotifyRecorder : public CWnd {
public:
  struct Change {
    UINT code;
    HTREEITEM selected;    // itemNew
    HTREEITEM deselected;  // itemOld
  };
  std::vector<Change> changes;
  bool refuse = false;

protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
  {
    const auto* nm = reinterpret_cast<const NMTREEVIEW*>(lParam);
    if (nm->hdr.code == TVN_SELCHANGING || nm->hdr.code == TVN_SELCHANGED) {
      changes.push_back({nm->hdr.code, nm->itemNew.hItem, nm->itemOld.hItem});
      if (nm->hdr.code == TVN_SELCHANGING && refuse) {
        *pResult = 1;
        return TRUE;
      }
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
  }
};

class MultiSelectTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "Дерево", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                               nullptr, nullptr));
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                                TVS_TRACKSELECT,
                            CRect(0, 0, 300, 200), &owner, 100));
    root = tree.InsertItem("Проект");
    for (const char* text : {"Объект - 1", "Объект - 2", "Объект - 3", "Объект - 4"})
      items.push_back(tree.InsertItem(text, root));
    items.push_back(tree.InsertItem("Группа", items[3]));
    tree.Expand(root, TVE_EXPAND);
    tree.Expand(items[3], TVE_EXPAND);
    tree.EnableMultiSelect(TRUE);
  }
  void TearDown() override
  {
    SetKeys({});
    owner.DestroyWindow();
  }

  std::vector<HTREEITEM> SelectedItems()
  {
    std::vector<HTREEITEM> out;
    for (HTREEITEM item = tree.GetFirstSelectedItem(); item; item = tree.GetNextSelectedItem(item))
      out.push_back(item);
    return out;
  }
  static void SetKeys(std::initializer_list<int> held)
  {
    BYTE state[256] = {};
    for (int vk : held)
      state[vk] = 0x80;
    SetKeyboardState(state);
  }
  CPoint LabelPoint(HTREEITEM item)
  {
    CRect label;
    tree.GetItemRect(item, &label, TRUE);
    return {label.left + 3, label.CenterPoint().y};
  }
  // A press and its release, the release queued first for the control's click tracking to find.
  void Click(HTREEITEM item, UINT keys)
  {
    const CPoint at = LabelPoint(item);
    tree.PostMessage(WM_LBUTTONUP, keys, MAKELPARAM(at.x, at.y));
    tree.SendMessage(WM_LBUTTONDOWN, keys | MK_LBUTTON, MAKELPARAM(at.x, at.y));
  }

  NotifyRecorder owner;
  CTKTreeCtrl tree;
  HTREEITEM root = nullptr;
  std::vector<HTREEITEM> items;
};

TEST_F(MultiSelectTest, MovingTheCaretKeepsTheSelectionAndChangesAreAnnounced)
{
  tree.SelectItem(items[0]);
  tree.SetItemState(items[2], TVIS_SELECTED, TVIS_SELECTED);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0], items[2]}));
  tree.FocusItem(items[1]);
  EXPECT_EQ(tree.GetSelectedItem(), items[1]) << "the caret moved";
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0], items[2]})) << "and deselected nothing";

  owner.changes.clear();
  tree.SetItemState(items[2], 0, TVIS_SELECTED);
  ASSERT_EQ(owner.changes.size(), 2u);
  EXPECT_EQ(owner.changes[0].code, TVN_SELCHANGING);
  EXPECT_EQ(owner.changes[1].code, TVN_SELCHANGED);
  EXPECT_EQ(owner.changes[1].deselected, items[2]);
  EXPECT_EQ(owner.changes[1].selected, nullptr);

  owner.refuse = true;
  EXPECT_FALSE(tree.SetItemState(items[3], TVIS_SELECTED, TVIS_SELECTED));
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0]}));

  owner.refuse = false;
  tree.SetItemState(items[3], TVIS_SELECTED, TVIS_SELECTED);
  tree.EnableMultiSelect(FALSE);
  EXPECT_EQ(SelectedItems(), std::vector<HTREEITEM>{}) << "only the caret item stays, and it was not selected";
}

TEST_F(MultiSelectTest, ClicksSelectAloneToggleWithCtrlAndExtendWithShift)
{
  Click(items[0], 0);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0]}));
  Click(items[2], MK_CONTROL);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0], items[2]}));
  Click(items[0], MK_CONTROL);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[2]}));
  Click(items[1], 0);
  Click(items[3], MK_SHIFT);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[1], items[2], items[3]}));
  EXPECT_EQ(tree.GetSelectedItem(), items[3]);
  Click(items[0], 0);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0]}));
}

TEST_F(MultiSelectTest, ArrowsMoveOrExtendTheSelection)
{
  tree.SelectItem(items[0]);
  SetKeys({VK_SHIFT});
  tree.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  tree.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0], items[1], items[2]}));
  SetKeys({VK_CONTROL});
  tree.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(tree.GetSelectedItem(), items[3]) << "Ctrl moves only the focus";
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0], items[1], items[2]}));
  SetKeys({});
  tree.SendMessage(WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[2]}));
}

TEST_F(MultiSelectTest, TheBandSelectsTheLabelsItMeets)
{
  tree.SelectItem(items[0]);
  const CPoint from = LabelPoint(items[1]) + CPoint(200, 0);  // right of the labels: no item
  const CPoint to = LabelPoint(items[2]) + CPoint(-20, 0);
  tree.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  tree.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
  tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[1], items[2]}));

  // A press without a move beside the items clears the selection.
  tree.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(from.x, from.y));
  tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  EXPECT_TRUE(SelectedItems().empty());
}

TEST_F(MultiSelectTest, TheBandScrollsWhileThePointerRestsBelowTheTree)
{
  tree.SetWindowPos(nullptr, 0, 0, 300, 2 * tree.GetItemHeight(), SWP_NOZORDER | SWP_NOMOVE);
  const CPoint from = LabelPoint(root) + CPoint(200, 0);
  const CPoint below(from.x - 190, 3 * tree.GetItemHeight());
  tree.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(below.x, below.y));
  for (int tick = 0; tick < 3; ++tick)
    tree.PostMessage(WM_TIMER, 86, 0);
  tree.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(below.x, below.y));
  tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  EXPECT_EQ(tree.GetFirstVisibleItem(), items[3]) << "one line for the move, one for each tick";
  EXPECT_EQ(SelectedItems().size(), 6u) << "the band keeps its corner on the first row, now scrolled off";
}

TEST_F(MultiSelectTest, CollapsingDeselectsTheHiddenItemsAndTakesTheirFocus)
{
  tree.SelectItem(items[4]);
  tree.SetItemState(items[0], TVIS_SELECTED, TVIS_SELECTED);
  tree.Expand(items[3], TVE_COLLAPSE);
  EXPECT_EQ(tree.CTreeCtrl::GetItemState(items[4], TVIS_SELECTED) & TVIS_SELECTED, 0u);
  EXPECT_EQ(tree.GetSelectedItem(), items[3]);
  EXPECT_EQ(SelectedItems(), (std::vector<HTREEITEM>{items[0]}));
}

TEST_F(MultiSelectTest, TheHotItemFollowsTheMouse)
{
  constexpr UINT kHot = 0x10000;
  const CPoint at = LabelPoint(items[1]);
  tree.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  EXPECT_NE(tree.CTreeCtrl::GetItemState(items[1], kHot) & kHot, 0u);
  const CPoint next = LabelPoint(items[2]);
  tree.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(next.x, next.y));
  EXPECT_EQ(tree.CTreeCtrl::GetItemState(items[1], kHot) & kHot, 0u);
  EXPECT_NE(tree.CTreeCtrl::GetItemState(items[2], kHot) & kHot, 0u);
}

}  // namespace
