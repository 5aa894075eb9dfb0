// The common-control objects drive the window system's controls: what a call sets is what the control then
// answers, shows or tells its parent.
#include "platform/mfc/afxcmn.h"
#include "platform/mfc/afxwin.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_told;

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_HSCROLL) {
    g_told.push_back("hscroll " + std::to_string(LOWORD(wParam)));
    return 0;
  }
  if (msg == WM_COMMAND && lParam != 0) {
    g_told.push_back("command " + std::to_string(HIWORD(wParam)));
    return 0;
  }
  if (msg == WM_NOTIFY) {
    g_told.push_back("notify " + std::to_string(static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code)));
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class CommonControlObjects : public ::testing::Test {
protected:
  void SetUp() override
  {
    g_told.clear();
    WNDCLASS wc;
    wc.lpfnWndProc = &ParentProc;
    wc.lpszClassName = "CommonControlObjectsParent";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_BTNFACE + 1));
    RegisterClass(&wc);
    HWND hwnd = CreateWindowEx(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                               nullptr, nullptr);
    parent_ = CWnd::FromHandle(hwnd);
  }
  void TearDown() override
  {
    ::DestroyWindow(parent_->m_hWnd);
    CWnd::DeleteTempMap();
  }
  static void Pump()
  {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }

  CWnd* parent_ = nullptr;
};

TEST_F(CommonControlObjects, ASliderKeepsItsRangeAndTellsItsParentOfKeys)
{
  CSliderCtrl slider;
  ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, CRect(0, 0, 200, 30), parent_, 11));
  slider.SetRange(0, 50, TRUE);
  slider.SetPos(60);
  EXPECT_EQ(slider.GetPos(), 50);
  int low = -1;
  int high = -1;
  slider.GetRange(low, high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 50);
  EXPECT_EQ(slider.SetPageSize(10), 20);
  slider.SetTicFreq(10);
  EXPECT_EQ(slider.GetNumTics(), 6u);  // 10, 20, 30, 40 and the ends
  slider.SetFocus();
  user::InjectKeyPress(VK_PRIOR);
  Pump();
  EXPECT_EQ(slider.GetPos(), 40);
  EXPECT_EQ(g_told, (std::vector<std::string>{"hscroll 2", "hscroll 8"}));
  // The window's own object is the one FromHandle answers.
  EXPECT_EQ(CSliderCtrl::FromHandle(slider.m_hWnd), &slider);
}

TEST_F(CommonControlObjects, ProgressStepsAndASpinShowsItsPositionInItsBuddy)
{
  CProgressCtrl progress;
  ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 16), parent_, 12));
  progress.SetRange(0, 100);
  progress.SetStep(10);
  progress.StepIt();
  progress.StepIt();
  EXPECT_EQ(progress.StepIt(), 20);  // answers the position before the step
  EXPECT_EQ(progress.GetPos(), 30);
  int low = -1;
  int high = -1;
  progress.GetRange(low, high);
  EXPECT_EQ(high, 100);

  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 20, 60, 40), parent_, 13));
  CSpinButtonCtrl spin;
  ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, CRect(60, 20, 76, 40), parent_, 14));
  spin.SetBuddy(&edit);
  EXPECT_EQ(spin.GetBuddy(), &edit);
  spin.SetRange32(-5, 5);
  spin.SetPos32(7);
  EXPECT_EQ(spin.GetPos32(), 5);
  EXPECT_EQ(edit.GetWindowTextString(), CString("5"));
  spin.GetRange32(low, high);
  EXPECT_EQ(low, -5);
  EXPECT_EQ(high, 5);
}

TEST_F(CommonControlObjects, ATreeBuildsItemsFindsThemAndRenamesInPlace)
{
  CTreeCtrl tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_EDITLABELS, CRect(0, 0, 300, 200), parent_, 15));
  CImageList images;
  ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32, 0, 4));
  EXPECT_EQ(tree.SetImageList(&images, TVSIL_NORMAL), nullptr);
  EXPECT_EQ(tree.GetImageList(TVSIL_NORMAL)->GetSafeHandle(), images.GetSafeHandle());

  HTREEITEM project = tree.InsertItem("Проект", 0, 0);
  HTREEITEM road = tree.InsertItem("Дорога", 1, 1, project);
  HTREEITEM poles = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "Группа опор", 0, 0, 0, 0, 77, project, TVI_LAST);
  EXPECT_EQ(tree.GetCount(), 3u);
  EXPECT_EQ(tree.GetRootItem(), project);
  EXPECT_EQ(tree.GetChildItem(project), road);
  EXPECT_EQ(tree.GetNextSiblingItem(road), poles);
  EXPECT_EQ(tree.GetParentItem(poles), project);
  EXPECT_TRUE(tree.ItemHasChildren(project));
  EXPECT_FALSE(tree.ItemHasChildren(road));
  EXPECT_EQ(tree.GetItemData(poles), 77u);
  tree.SetItemText(road, "Улица");
  EXPECT_EQ(tree.GetItemText(road), CString("Улица"));
  int image = -1;
  int selected = -1;
  EXPECT_TRUE(tree.GetItemImage(road, image, selected));
  EXPECT_EQ(image, 1);

  EXPECT_TRUE(tree.Expand(project, TVE_EXPAND));
  EXPECT_EQ(tree.GetItemState(project, TVIS_EXPANDED), TVIS_EXPANDED);
  EXPECT_TRUE(tree.SelectItem(poles));
  EXPECT_EQ(tree.GetSelectedItem(), poles);
  CRect label;
  ASSERT_TRUE(tree.GetItemRect(poles, &label, TRUE));
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(label.CenterPoint(), &flags), poles);
  EXPECT_NE(flags & TVHT_ONITEMLABEL, 0u);

  CEdit* edit = tree.EditLabel(road);
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(tree.GetEditControl(), nullptr);
  EXPECT_EQ(tree.GetEditControl()->m_hWnd, edit->m_hWnd);
  EXPECT_EQ(edit->GetWindowTextString(), CString("Улица"));
  EXPECT_TRUE(tree.EndEditLabelNow(TRUE));
  EXPECT_EQ(tree.GetEditControl(), nullptr);
  EXPECT_EQ(tree.GetBkColor(), CLR_INVALID);
  EXPECT_NE(tree.GetToolTips(), nullptr);

  EXPECT_TRUE(tree.DeleteAllItems());
  EXPECT_EQ(tree.GetCount(), 0u);
  tree.SetImageList(nullptr, TVSIL_NORMAL);
}

int CALLBACK_ByDataDescending(LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); }

TEST_F(CommonControlObjects, AListHoldsColumnsItemsSelectionAndChecks)
{
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), parent_, 16));
  EXPECT_EQ(list.InsertColumn(0, "Норма", LVCFMT_LEFT, 120), 0);
  EXPECT_EQ(list.InsertColumn(1, "Класс", LVCFMT_LEFT, 80), 1);
  EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 2);
  EXPECT_EQ(list.GetColumnWidth(1), 80);
  const char* const norms[] = {"ГОСТ Р 55706", "СП 52.13330", "EN 13201"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list.InsertItem(i, norms[i]), i);
    list.SetItemData(i, static_cast<DWORD_PTR>(10 + i));
  }
  list.SetItemText(1, 1, "А1");
  EXPECT_EQ(list.GetItemText(1, 1), CString("А1"));
  EXPECT_EQ(list.GetItemText(1, 0), CString("СП 52.13330"));

  g_told.clear();
  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  std::vector<int> chosen;
  for (POSITION pos = list.GetFirstSelectedItemPosition(); pos != nullptr;) {
    chosen.push_back(list.GetNextSelectedItem(pos));
  }
  EXPECT_EQ(chosen, (std::vector<int>{0, 2}));
  EXPECT_EQ(list.GetSelectedCount(), 2u);
  // Each change was told to the parent: changing, then changed.
  const std::string changing = "notify " + std::to_string(static_cast<int>(LVN_ITEMCHANGING));
  const std::string changed = "notify " + std::to_string(static_cast<int>(LVN_ITEMCHANGED));
  EXPECT_EQ(g_told, (std::vector<std::string>{changing, changed, changing, changed}));

  list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(list.SetCheck(1));
  EXPECT_TRUE(list.GetCheck(1));
  EXPECT_FALSE(list.GetCheck(0));

  EXPECT_TRUE(list.SortItems(&CALLBACK_ByDataDescending, 0));
  EXPECT_EQ(list.GetItemText(0, 0), CString("EN 13201"));
  EXPECT_TRUE(list.GetCheck(1));  // the checked item stays in the middle

  CRect cell;
  ASSERT_TRUE(list.GetSubItemRect(0, 1, LVIR_BOUNDS, cell));
  EXPECT_EQ(cell.left, 120);
  EXPECT_EQ(cell.Width(), 80);
  EXPECT_EQ(list.HitTest(CPoint(cell.left + 5, cell.top + 2)), 0);  // full-row selection: any cell is the item
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(CommonControlObjects, TipsTabsAndStatusBarHoldWhatTheyAreGiven)
{
  CToolTipCtrl tips;
  ASSERT_TRUE(tips.Create(parent_));
  CRect area(10, 10, 60, 40);
  EXPECT_TRUE(tips.AddTool(parent_, "Светильник", &area, 1));
  EXPECT_EQ(tips.GetToolCount(), 1);
  tips.UpdateTipText("Опора", parent_, 1);
  CString text;
  tips.GetText(text, parent_, 1);
  EXPECT_EQ(text, CString("Опора"));
  tips.DelTool(parent_, 1);
  EXPECT_EQ(tips.GetToolCount(), 0);
  tips.DestroyWindow();

  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), parent_, 17));
  EXPECT_EQ(tabs.InsertItem(0, "Дорога"), 0);
  EXPECT_EQ(tabs.InsertItem(1, "Площадка"), 1);
  EXPECT_EQ(tabs.GetItemCount(), 2);
  tabs.SetCurSel(1);
  EXPECT_EQ(tabs.GetCurSel(), 1);

  CStatusBarCtrl status;
  ASSERT_TRUE(status.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent_, 18));
  int widths[] = {100, -1};
  EXPECT_TRUE(status.SetParts(2, widths));
  int parts[2] = {};
  EXPECT_EQ(status.GetParts(2, parts), 2);
  EXPECT_EQ(parts[0], 100);
  EXPECT_TRUE(status.SetText("Готово", 1, 0));
  EXPECT_EQ(status.GetText(1), CString("Готово"));
  EXPECT_EQ(status.GetTextLength(1), 6);
}

TEST_F(CommonControlObjects, ACheckListBoxTogglesByClickOnTheBoxOrSpaceAndKeepsChecksWithTheirItems)
{
  CCheckListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(10, 10, 210, 110), parent_, 19));
  EXPECT_NE(list.GetStyle() & LBS_OWNERDRAWFIXED, 0u);
  list.AddString("Стандартная");
  list.AddString("Рисование");
  list.AddString("Свойства");
  list.SetCheck(1, 1);
  list.InsertString(0, "Новая");
  EXPECT_EQ(list.GetCheck(1), 0);
  EXPECT_EQ(list.GetCheck(2), 1);
  EXPECT_EQ(list.GetCheck(7), 0);

  const int height = list.GetItemHeight(0);
  auto click = [&](int x, int index) {
    CPoint at(x, index * height + height / 2);
    list.ClientToScreen(&at);
    user::InjectClick(at);
    Pump();
  };
  g_told.clear();
  click(8, 3);  // on the box: checks it and selects the item
  EXPECT_EQ(list.GetCheck(3), 1);
  EXPECT_EQ(list.GetCurSel(), 3);
  const std::string changed = "command " + std::to_string(CLBN_CHKCHANGE);
  EXPECT_EQ(g_told.front(), changed);
  g_told.clear();
  click(100, 0);  // on the text: selects only
  EXPECT_EQ(list.GetCheck(0), 0);
  EXPECT_EQ(list.GetCurSel(), 0);
  EXPECT_EQ(std::count(g_told.begin(), g_told.end(), changed), 0);
  user::InjectKeyPress(VK_SPACE);
  Pump();
  EXPECT_EQ(list.GetCheck(0), 1);
  list.Enable(0, FALSE);
  user::InjectKeyPress(VK_SPACE);
  Pump();
  EXPECT_EQ(list.GetCheck(0), 1);  // a disabled item keeps its check
  EXPECT_EQ(std::count(g_told.begin(), g_told.end(), changed), 1);

  UpdateWindow(parent_->m_hWnd);
  const gdi::Surface* surface = user::WindowSurface(parent_->m_hWnd);
  ASSERT_NE(surface, nullptr);
  EXPECT_TRUE(gdi::SavePng(*surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/mfc_check_list_box.png"));
  // Inside a checked box something is drawn; inside an unchecked one it is blank.
  auto inked = [&](int index) {
    CPoint origin(0, 0);
    list.ClientToScreen(&origin);
    const int top = index * height + (height - 13) / 2;
    int dark = 0;
    for (int y = top + 3; y < top + 10; ++y) {
      for (int x = 5; x < 12; ++x) {
        const std::uint32_t p = surface->Pixel(origin.x + x, origin.y + y) & 0xFFu;
        dark += p < 0x80 ? 1 : 0;
      }
    }
    return dark;
  };
  EXPECT_GT(inked(3), 0);
  EXPECT_EQ(inked(1), 0);

  list.DeleteString(0);
  EXPECT_EQ(list.GetCheck(1), 1);
  EXPECT_EQ(list.GetCheck(2), 1);
  EXPECT_EQ(list.GetCheck(0), 0);
}

}  // namespace
