// A grid in a window whose owner records every notification: the code sequences of edits that are typed,
// cancelled, refused, rewritten, dropped down and cycled; keyboard paths; orders of the rows; an owner that
// destroys the grid while it is told of a change; and a picture of two grids for a person to look at.
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/inplace.h"
#include "toolkit/propertygrid/paint_manager.h"
#include "toolkit/propertygrid/typed_items.h"
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/icons.h"

#include "res/modules.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/resource_manager.h"

#include "platform/base/codepage.h"
#include "platform/gdi/png.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string S(const CString& text)
{
  return std::string(static_cast<LPCSTR>(text));
}

// The owner window: records the codes and answers as the test says.
class CRecordingOwner : public CWnd {
public:
  std::vector<int> codes;
  std::function<LRESULT(WPARAM, LPARAM)> answer;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (message == TKWM_PROPERTYGRID_NOTIFY) {
      codes.push_back(static_cast<int>(wParam));
      return answer ? answer(wParam, lParam) : 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class PropertyGridTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 420,
                               nullptr, nullptr));
    grid = new CTKPropertyGrid();
    ASSERT_TRUE(grid->Create(CRect(0, 0, 400, 380), &owner, 32772));
    CTKPropertyGridItem* road = grid->AddCategory("Дорога");
    name = road->AddChildItem(new CTKPropertyGridItem("Название\nИмя дороги в отчёте", "Проспект"));
    kind = road->AddChildItem(new CTKPropertyGridItem("Покрытие", "Асфальт"));
    kind->SetFlags(tkpgItemHasEdit | tkpgItemHasComboButton);
    for (const char* text : {"Асфальт", "Бетон", "Брусчатка"})
      kind->GetConstraints()->AddConstraint(text);
    lanes = road->AddChildItem(new CTKPropertyGridItem("Полосы", "2"));
    lanes->SetFlags(0);
    for (const char* text : {"1", "2", "3"})
      lanes->GetConstraints()->AddConstraint(text);
    road->Expand();
    owner.codes.clear();
  }
  void TearDown() override
  {
    delete grid;
    owner.DestroyWindow();
  }

  CTKPropertyGridView& View() { return grid->GetGridView(); }
  CTKPropertyGridInplaceEdit& Edit() { return grid->GetInplaceEdit(); }
  // The edit codes, without the selection (2) and the edit-text (4) notices that come between.
  std::vector<int> EditCodes() const
  {
    std::vector<int> out;
    for (int code : owner.codes)
      if (code != TK_PGN_SELECTION_CHANGED && code != TK_PGN_EDIT_CHANGED)
        out.push_back(code);
    return out;
  }
  void TypeIntoEdit(const std::string& text)
  {
    for (char ch : text)
      Edit().SendMessage(WM_CHAR, static_cast<unsigned char>(ch), 0);
  }

  CRecordingOwner owner;
  CTKPropertyGrid* grid = nullptr;
  CTKPropertyGridItem* name = nullptr;
  CTKPropertyGridItem* kind = nullptr;
  CTKPropertyGridItem* lanes = nullptr;
};

// Enter and Escape pressed on the keyboard come through the thread's pre-translation, which hands the edit's
// key-downs to the dialog-message processing first; they must still end the edit.
TEST_F(PropertyGridTest, KeysFromTheMessageLoopEndTheEdit)
{
  const auto press = [this](UINT key) {
    MSG msg{Edit().GetSafeHwnd(), WM_KEYDOWN, key, 1, 0, {0, 0}};
    if (!Edit().PreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    MSG pending;
    while (PeekMessage(&pending, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&pending);
      DispatchMessage(&pending);
    }
  };
  name->OnChar('Л');
  TypeIntoEdit("енина");
  press(VK_RETURN);
  EXPECT_EQ(EditCodes(), (std::vector<int>{11, 12, 3}));
  EXPECT_EQ(S(name->GetValue()), "Ленина");
  EXPECT_FALSE(Edit().IsWindowVisible() && ::GetFocus() == Edit().GetSafeHwnd()) << "the edit let the focus go";

  owner.codes.clear();
  name->OnChar('X');
  press(VK_ESCAPE);
  EXPECT_EQ(EditCodes(), (std::vector<int>{11, 13}));
  EXPECT_EQ(S(name->GetValue()), "Ленина");
}

// A read-only row shows its value in the edit but offers no place to type: no caret; an editable row has one.
TEST_F(PropertyGridTest, OnlyAnEditableRowShowsACaret)
{
  const auto caretShown = [] {
    const RECT r = user::CaretRect();
    return r.right > r.left && r.bottom > r.top;
  };
  name->OnChar('Л');
  ASSERT_EQ(::GetFocus(), Edit().GetSafeHwnd());
  EXPECT_TRUE(caretShown());
  Edit().SendMessage(WM_CHAR, VK_ESCAPE, 0);

  kind->SetReadOnly(TRUE);
  kind->Select();
  kind->SetFocusToInplaceControl();
  ASSERT_EQ(::GetFocus(), Edit().GetSafeHwnd());
  EXPECT_FALSE(caretShown());
}

TEST_F(PropertyGridTest, RowsFollowTheExpandedCategory)
{
  EXPECT_EQ(4, View().GetCount());
  EXPECT_EQ(name, View().GetItem(1));
  EXPECT_EQ(1, name->GetIndex());
  EXPECT_TRUE(name->IsVisible());
  EXPECT_EQ(nullptr, View().GetItem(4));
  EXPECT_EQ(nullptr, View().GetItem(-1));
}

// Each row is one edit of the "Название" item, driven as the user would, and the codes its owner heard.
TEST_F(PropertyGridTest, EditNotificationsTable)
{
  struct Case {
    const char* what;
    std::function<LRESULT(WPARAM, LPARAM)> answer;
    std::function<void()> act;
    std::vector<int> codes;
    const char* value;
  };
  const auto typeAndEnter = [this] {
    name->OnChar('Л');
    TypeIntoEdit("енина");
    Edit().SendMessage(WM_CHAR, VK_RETURN, 0);
  };
  const std::vector<Case> cases = {
      {"typed", nullptr, typeAndEnter, {11, 12, 3}, "Ленина"},
      {"escape",
       nullptr,
       [this] {
         name->OnChar('X');
         Edit().SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
         Edit().SendMessage(WM_CHAR, VK_ESCAPE, 0);
       },
       {11, 13},
       "Проспект"},
      {"refused before the edit",
       [](WPARAM code, LPARAM lParam) -> LRESULT {
         if (code == TK_PGN_REQUESTEDIT)
           reinterpret_cast<TK_PROPERTYGRID_EDIT*>(lParam)->bCancel = TRUE;
         return 0;
       },
       typeAndEnter,
       {11},
       "Проспект"},
      {"refused after the edit",
       [](WPARAM code, LPARAM lParam) -> LRESULT {
         if (code == TK_PGN_AFTEREDIT)
           reinterpret_cast<TK_PROPERTYGRID_EDIT*>(lParam)->bCancel = TRUE;
         return 0;
       },
       typeAndEnter,
       {11, 12},
       "Проспект"},
      {"rewritten after the edit",
       [](WPARAM code, LPARAM lParam) -> LRESULT {
         if (code == TK_PGN_AFTEREDIT)
           reinterpret_cast<TK_PROPERTYGRID_EDIT*>(lParam)->strValue = "Ленинский проспект";
         return 0;
       },
       typeAndEnter,
       {11, 12, 3},
       "Ленинский проспект"},
      {"unchanged text",
       nullptr,
       [this] {
         name->OnChar(VK_TAB);  // places and focuses the edit without typing
         Edit().SendMessage(WM_CHAR, VK_RETURN, 0);
       },
       {11, 12},
       "Проспект"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    name->SetValue("Проспект");
    name->Select();
    View().SetFocus();
    owner.codes.clear();
    owner.answer = c.answer;
    c.act();
    EXPECT_EQ(c.codes, EditCodes());
    EXPECT_EQ(c.value, S(name->GetValue()));
    owner.answer = nullptr;
  }
}

TEST_F(PropertyGridTest, DropDownListAndItsOwnerAnswer)
{
  kind->Select();
  View().SetFocus();
  owner.codes.clear();
  owner.answer = [](WPARAM code, LPARAM) -> LRESULT { return code == TK_PGN_INPLACEBUTTONDOWN ? 1 : 0; };
  kind->OnInplaceButtonDown();
  EXPECT_EQ(std::vector<int>({5}), EditCodes());
  EXPECT_FALSE(grid->GetInplaceList().GetSafeHwnd());

  owner.codes.clear();
  owner.answer = nullptr;
  kind->OnInplaceButtonDown();
  EXPECT_EQ(std::vector<int>({5, 11}), EditCodes());
  CTKPropertyGridInplaceList& list = grid->GetInplaceList();
  ASSERT_TRUE(list.GetSafeHwnd());
  EXPECT_EQ(3, list.GetCount());
  EXPECT_EQ(0, list.GetCurSel());  // the row of the current value
  list.SetCurSel(2);
  list.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(std::vector<int>({5, 11, 12, 3}), EditCodes());
  EXPECT_EQ("Брусчатка", S(kind->GetValue()));
  EXPECT_EQ(2, kind->GetConstraints()->GetCurrent());
}

TEST_F(PropertyGridTest, DoubleClickCyclesConstraintsThroughTheOwner)
{
  const struct {
    const char* value;
    bool refuse;
    std::vector<int> codes;
    const char* after;
  } cases[] = {
      {"3", false, {11, 12, 3}, "1"},
      {"2", false, {11, 12, 3}, "3"},
      {"9", false, {11, 12, 3}, "1"},
      {"2", true, {11}, "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    lanes->SetValue(c.value);
    lanes->Select();
    owner.codes.clear();
    owner.answer = [&c](WPARAM code, LPARAM lParam) -> LRESULT {
      if (code == TK_PGN_REQUESTEDIT && c.refuse)
        reinterpret_cast<TK_PROPERTYGRID_EDIT*>(lParam)->bCancel = TRUE;
      return 0;
    };
    lanes->OnLButtonDblClk(0, CPoint(0, 0));
    EXPECT_EQ(c.codes, EditCodes());
    EXPECT_EQ(c.after, S(lanes->GetValue()));
  }
}

TEST_F(PropertyGridTest, KeyboardInTheList)
{
  // Enter on an editable item without children: code 7, then the Enter character opens the edit and closes it
  // again at once (11, 12) with the text unchanged, so no code 3.
  name->Select();
  View().SetFocus();
  owner.codes.clear();
  View().SendMessage(WM_KEYDOWN, VK_RETURN, 0);
  View().SendMessage(WM_CHAR, VK_RETURN, 0);
  Edit().SendMessage(WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ(std::vector<int>({7, 11, 12}), EditCodes());

  // Down moves the selection to the next row, and the owner hears of it.
  name->Select();
  View().SetFocus();
  owner.codes.clear();
  View().SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(kind, View().GetSelectedItem());
  EXPECT_EQ(kind, View().m_pSelected);
  EXPECT_EQ(std::vector<int>({TK_PGN_SELECTION_CHANGED}), owner.codes);

  // Tab on an item without edit or button, with no other control in the owner: the focus stays in the list.
  lanes->Select();
  View().SetFocus();
  View().SendMessage(WM_CHAR, VK_TAB, 0);
  EXPECT_EQ(View().GetSafeHwnd(), ::GetFocus());

  // Typing into a list-only item picks the constraints starting with that letter in turn.
  kind->SetConstraintEdit(TRUE);
  kind->SetValue("Асфальт");
  kind->Select();
  View().SetFocus();
  kind->OnChar(VK_TAB);
  Edit().SendMessage(WM_CHAR, static_cast<unsigned char>('б'), 0);
  EXPECT_EQ("Бетон", S(Edit().GetWindowTextString()));
  Edit().SendMessage(WM_CHAR, static_cast<unsigned char>('б'), 0);
  EXPECT_EQ("Брусчатка", S(Edit().GetWindowTextString()));
  Edit().SendMessage(WM_CHAR, static_cast<unsigned char>('б'), 0);
  EXPECT_EQ("Бетон", S(Edit().GetWindowTextString()));
  // Down moves on without wrapping at the end.
  Edit().SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ("Брусчатка", S(Edit().GetWindowTextString()));
  Edit().SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ("Брусчатка", S(Edit().GetWindowTextString()));

  // '-' collapses the current category, '+' expands it again.
  CTKPropertyGridItem* road = View().GetItem(0);
  road->Select();
  View().SetFocus();
  View().SendMessage(WM_CHAR, '-', 0);
  EXPECT_EQ(1, View().GetCount());
  EXPECT_FALSE(name->IsVisible());
  View().SendMessage(WM_CHAR, '+', 0);
  EXPECT_EQ(4, View().GetCount());
}

TEST_F(PropertyGridTest, OrdersOfTheRows)
{
  CTKPropertyGridItem* light = grid->AddCategory("Освещение");
  light->AddChildItem(new CTKPropertyGridItem("Высота", "10"));
  light->AddChildItem(new CTKPropertyGridItem("Азимут", "0"));
  owner.codes.clear();
  grid->SetPropertySort(tkpgSortAlphabetical);
  EXPECT_EQ(std::vector<int>({TK_PGN_SORTORDER_CHANGED}), EditCodes());
  std::vector<std::string> rows;
  for (int i = 0; i < View().GetCount(); ++i)
    rows.push_back(S(View().GetItem(i)->GetCaption()));
  EXPECT_EQ(std::vector<std::string>({"Азимут", "Высота", "Название", "Покрытие", "Полосы"}), rows);

  // A hidden category's children are left out.
  light->SetHidden(TRUE);
  View().SetPropertySort(tkpgSortAlphabetical, TRUE);
  EXPECT_EQ(3, View().GetCount());

  // Adding a category switches back to the categorised order and tells the owner.
  owner.codes.clear();
  grid->AddCategory("Экономика");
  EXPECT_EQ(std::vector<int>({TK_PGN_SORTORDER_CHANGED}), EditCodes());
  EXPECT_EQ(tkpgSortCategorized, View().GetPropertySort());
}

TEST_F(PropertyGridTest, DividerDragIsClamped)
{
  const struct {
    int x;
    double divider;
  } cases[] = {{20, 0.1}, {390, 0.85}, {0, 0.1}};
  CRect client;
  View().GetClientRect(&client);
  for (const auto& c : cases) {
    View().SetDividerPos(c.x);
    EXPECT_DOUBLE_EQ(c.divider, View().m_dDivider) << c.x;
  }
  View().SetDividerPos(client.Width() / 2);
  EXPECT_NEAR(0.5, View().m_dDivider, 0.01);
}

TEST_F(PropertyGridTest, NoVerbsLeaveOnlyTheHelpSplitter)
{
  CRect client;
  grid->GetClientRect(&client);
  const int splitter = client.bottom - grid->GetHelpHeight() - 3;
  EXPECT_EQ(1, grid->HitTest(CPoint(10, splitter + 1)));
  EXPECT_EQ(-1, grid->HitTest(CPoint(10, splitter - 30)));
  EXPECT_EQ(-1, grid->HitTest(CPoint(10, 5)));
}

// The owner empties and deletes the grid while it hears code 3; nothing freed is touched after the send.
TEST_F(PropertyGridTest, OwnerDestroyingTheGridInsideCodeThree)
{
  name->Select();
  View().SetFocus();
  owner.answer = [this](WPARAM code, LPARAM) -> LRESULT {
    if (code == TK_PGN_ITEMVALUE_CHANGED) {
      delete grid;
      grid = nullptr;
    }
    return 0;
  };
  lanes->Select();
  lanes->OnLButtonDblClk(0, CPoint(0, 0));
  EXPECT_EQ(nullptr, grid);
}

// The same from the in-place edit: the grid goes while the edit's own focus change is being handled.
TEST_F(PropertyGridTest, OwnerDestroyingTheGridWhenTheEditEnds)
{
  name->Select();
  View().SetFocus();
  owner.answer = [this](WPARAM code, LPARAM) -> LRESULT {
    if (code == TK_PGN_ITEMVALUE_CHANGED) {
      delete grid;
      grid = nullptr;
    }
    return 0;
  };
  name->OnChar('Z');
  CTKPropertyGridInplaceEdit& edit = Edit();
  edit.SendMessage(WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ(nullptr, grid);
  EXPECT_EQ(std::vector<int>({11, 12, 3}), EditCodes());
}

}  // namespace

namespace {

TEST_F(PropertyGridTest, HelpSplitterDrag)
{
  const struct {
    const char* what;
    int y;
    bool escape;
    int height;
  } cases[] = {
      {"to the top stops at 45", 10, false, 380 - 45 - 2},
      {"to the bottom leaves 18", 400, false, 18},
      {"Escape keeps the height", 200, true, 58},
      {"between", 300, false, 78},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    grid->SetViewDivider(0.5);
    CRect client;
    grid->GetClientRect(&client);
    const int splitter = client.bottom - grid->GetHelpHeight() - 2;
    // The moves wait in the queue for the drag's own loop.
    grid->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, c.y));
    if (c.escape)
      grid->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    else
      grid->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, c.y));
    grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, splitter));
    EXPECT_EQ(c.height, grid->GetHelpHeight());
    // Put the pane back for the next row.
    grid->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 380 - 58 - 2));
    grid->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 380 - 58 - 2));
    grid->GetClientRect(&client);
    grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, client.bottom - grid->GetHelpHeight() - 2));
    EXPECT_EQ(58, grid->GetHelpHeight());
  }
}

TEST_F(PropertyGridTest, VerbsAreClickedByMouseAndKeys)
{
  grid->AddVerb("Сбросить");
  grid->AddVerb("Справка");
  grid->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  std::vector<int> clicked;
  owner.answer = [&clicked](WPARAM code, LPARAM lParam) -> LRESULT {
    if (code == TK_PGN_VERB_CLICK)
      clicked.push_back(reinterpret_cast<CTKPropertyGridVerb*>(lParam)->m_nIndex);
    return 0;
  };
  const CRect first = grid->GetVerbs()->GetAt(0)->m_rcPart;
  ASSERT_FALSE(first.IsRectEmpty());
  EXPECT_EQ(3, grid->HitTest(first.CenterPoint()));
  grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.CenterPoint().x, first.CenterPoint().y));
  EXPECT_EQ(0, grid->GetFocusedVerb());
  grid->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(first.CenterPoint().x, first.CenterPoint().y));
  grid->SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(1, grid->GetFocusedVerb());
  grid->SendMessage(WM_KEYDOWN, VK_RETURN, 0);
  grid->SendMessage(WM_KEYDOWN, VK_RIGHT, 0);  // wraps to the first
  EXPECT_EQ(0, grid->GetFocusedVerb());
  EXPECT_EQ(std::vector<int>({0, 1}), clicked);
}

TEST_F(PropertyGridTest, OwnerDrawnRowsAreAskedFirst)
{
  int asked = 0;
  owner.answer = [&asked](WPARAM code, LPARAM) -> LRESULT {
    if (code == TK_PGN_DRAWITEM)
      ++asked;
    return code == TK_PGN_DRAWITEM ? 1 : 0;
  };
  View().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(0, asked);  // without the style bit the owner is not asked
  grid->ModifyStyle(0, TK_PGS_OWNERDRAW);
  View().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(View().GetCount(), asked);
}

TEST_F(PropertyGridTest, MouseOnRows)
{
  CRect row;
  View().GetItemRect(name->GetIndex(), &row);
  const CPoint inCaption(row.left + 40, row.CenterPoint().y);
  owner.codes.clear();
  View().SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(inCaption.x, inCaption.y));
  EXPECT_EQ(TK_PGN_RCLICK, owner.codes.back());
  // A click in a category's expand box collapses it and tells the owner.
  CTKPropertyGridItem* road = View().GetItem(0);
  View().GetItemRect(0, &row);
  owner.codes.clear();
  View().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, row.CenterPoint().y));
  View().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, row.CenterPoint().y));
  EXPECT_FALSE(road->IsExpanded());
  EXPECT_EQ(1, View().GetCount());
  EXPECT_EQ(std::vector<int>({TK_PGN_ITEMEXPANDCHANGED}), EditCodes());
  // A double click on the category expands it again and is reported after it.
  owner.codes.clear();
  View().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(60, row.CenterPoint().y));
  EXPECT_TRUE(road->IsExpanded());
  EXPECT_EQ(std::vector<int>({TK_PGN_ITEMEXPANDCHANGED, TK_PGN_DBLCLICK}), EditCodes());
}

TEST_F(PropertyGridTest, LongListsScrollAndOpenAboveNearTheScreenBottom)
{
  for (int i = 0; i < 12; ++i)
    kind->GetConstraints()->AddConstraint(("Вариант " + std::to_string(i)).c_str());
  kind->Select();
  kind->OnInplaceButtonDown();
  CTKPropertyGridInplaceList& list = grid->GetInplaceList();
  ASSERT_TRUE(list.GetSafeHwnd());
  EXPECT_EQ(15, list.GetCount());
  CRect rect;
  list.GetWindowRect(&rect);
  const int rowHeight = static_cast<int>(list.SendMessage(LB_GETITEMHEIGHT, 0));
  EXPECT_EQ(10 * rowHeight + 2, rect.Height());
  EXPECT_NE(0u, list.GetStyle() & WS_VSCROLL);
  CRect row;
  View().GetItemRect(kind->GetIndex(), &row);
  View().ClientToScreen(&row);
  EXPECT_EQ(row.bottom, rect.top);  // below the row
  list.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);

  // Near the bottom of the screen the list opens above the row.
  const CRect work = CTKDrawHelpers::GetWorkArea();
  owner.MoveWindow(0, work.bottom - 120, 420, 420);
  kind->Select();
  kind->OnInplaceButtonDown();
  ASSERT_TRUE(list.GetSafeHwnd());
  list.GetWindowRect(&rect);
  View().GetItemRect(kind->GetIndex(), &row);
  View().ClientToScreen(&row);
  EXPECT_EQ(row.top - 1, rect.bottom);
  list.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace

namespace {

// The focus cycle: list, in-place edit, in-place button, verbs, then the owner's next control.
TEST_F(PropertyGridTest, TabWalksTheFocusCycle)
{
  CEdit next;
  ASSERT_TRUE(next.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 390, 100, 410), &owner, 7));
  grid->ModifyStyle(0, WS_TABSTOP);

  // From the list on an item with neither edit nor button, Tab leaves the grid.
  lanes->Select();
  View().SetFocus();
  View().SendMessage(WM_CHAR, VK_TAB, 0);
  EXPECT_EQ(next.GetSafeHwnd(), ::GetFocus());

  // From the list on an item with both: the edit, then the button, then out.
  kind->Select();
  View().SetFocus();
  View().SendMessage(WM_CHAR, VK_TAB, 0);
  EXPECT_EQ(Edit().GetSafeHwnd(), ::GetFocus());
  Edit().SendMessage(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(grid->GetInplaceButton().GetSafeHwnd(), ::GetFocus());
  grid->GetInplaceButton().SendMessage(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(next.GetSafeHwnd(), ::GetFocus());

  // With verbs, the first verb takes the focus before the owner's control does.
  grid->AddVerb("Справка");
  kind->Select();
  View().SetFocus();
  grid->GetInplaceButton().SetFocus();
  grid->GetInplaceButton().SendMessage(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(grid->GetSafeHwnd(), ::GetFocus());
  EXPECT_EQ(0, grid->GetFocusedVerb());
  grid->SendMessage(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(next.GetSafeHwnd(), ::GetFocus());
  next.DestroyWindow();
}

TEST_F(PropertyGridTest, ReadOnlyChangeReplacesTheInPlaceControls)
{
  kind->Select();
  EXPECT_TRUE(grid->GetInplaceButton().IsWindowVisible());
  EXPECT_EQ(0u, Edit().GetStyle() & ES_READONLY);
  kind->SetReadOnly(TRUE);
  EXPECT_FALSE(grid->GetInplaceButton().IsWindowVisible());
  EXPECT_NE(0u, Edit().GetStyle() & ES_READONLY);
  kind->SetReadOnly(FALSE);
  EXPECT_TRUE(grid->GetInplaceButton().IsWindowVisible());
}

}  // namespace

namespace {

// A caption or value cut by its column shows its full text over it, once until the cursor leaves the part.
TEST_F(PropertyGridTest, ToolTipForCutTexts)
{
  CTKPropertyGridItem* road = View().GetItem(0);
  CTKPropertyGridItem* longCaption =
      road->AddChildItem(new CTKPropertyGridItem("Расстояние от края проезжей части до опоры, м", "0.75"));
  CTKPropertyGridItem* longValue =
      road->AddChildItem(new CTKPropertyGridItem("Примечание", "Опоры установлены за барьерным ограждением"));
  const auto hover = [this](CTKPropertyGridItem* item, bool caption) {
    CRect row;
    View().GetItemRect(item->GetIndex(), &row);
    CPoint point(caption ? row.left + 30 : View().GetDividerPos() + 30, row.CenterPoint().y);
    CPoint screen = point;
    View().ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    View().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
  };
  CTKPropertyGridToolTip& tip = View().GetToolTip();
  const struct {
    const char* what;
    CTKPropertyGridItem* item;
    bool caption;
    bool shown;
    const char* text;
  } cases[] = {
      {"a cut caption", longCaption, true, true, "Расстояние от края проезжей части до опоры, м"},
      {"a caption that fits", name, true, false, nullptr},
      {"a cut value", longValue, false, true, "Опоры установлены за барьерным ограждением"},
      {"a value that fits", lanes, false, false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    hover(c.item, c.caption);
    ASSERT_TRUE(tip.GetSafeHwnd());
    EXPECT_EQ(c.shown, tip.IsWindowVisible() != FALSE);
    if (c.shown) {
      EXPECT_EQ(c.text, S(tip.GetShownText()));
    }
  }
  // A key hides the tip; the same text is not offered again while the cursor stays on the part.
  hover(longCaption, true);
  ASSERT_TRUE(tip.IsWindowVisible());
  View().SendMessage(WM_KEYDOWN, VK_SHIFT, 0);
  EXPECT_FALSE(tip.IsWindowVisible());
  hover(longCaption, true);
  EXPECT_FALSE(tip.IsWindowVisible());
  // After the cursor has been elsewhere, it is offered again.
  hover(name, true);
  hover(longCaption, true);
  EXPECT_TRUE(tip.IsWindowVisible());
}

}  // namespace

namespace {

TEST_F(PropertyGridTest, PasswordOrLinesChangeMakesTheEditAgain)
{
  name->Select();
  const HWND plain = Edit().GetSafeHwnd();
  ASSERT_NE(nullptr, plain);
  name->SetPasswordMask();
  lanes->Select();
  name->Select();
  EXPECT_FALSE(::IsWindow(plain));
  EXPECT_NE(0u, Edit().GetStyle() & ES_PASSWORD);
  const HWND password = Edit().GetSafeHwnd();
  name->SetPasswordMask(FALSE);
  name->SetMultiLinesCount(2);
  lanes->Select();
  name->Select();
  EXPECT_FALSE(::IsWindow(password));
  EXPECT_NE(0u, Edit().GetStyle() & ES_MULTILINE);
}

TEST(PropertyGridItemHeight, RowsMeasureByExplicitHeightOrLines)
{
  const struct {
    int height;
    int lines;
    UINT measured;
  } cases[] = {{-1, 1, 18}, {30, 3, 30}, {-1, 3, 46}, {-1, 0, 18}};
  for (const auto& c : cases) {
    auto* item = new CTKPropertyGridItem("Note", "");
    item->SetRowHeight(c.height);
    item->SetMultiLinesCount(c.lines);
    MEASUREITEMSTRUCT measure{};
    measure.itemHeight = 18;
    item->OnMeasureItem(&measure);
    EXPECT_EQ(c.measured, measure.itemHeight) << c.height << " " << c.lines;
    item->InternalRelease();
  }
}

}  // namespace

namespace {

// A verb too long for the line breaks after a space and goes on below; both pieces answer for it.
TEST_F(PropertyGridTest, LongVerbsBreakOntoTheNextLine)
{
  grid->AddVerb("Первый");
  const std::string longVerb =
      "Сбросить все значения этой дороги, её полос, тротуаров и опор к значениям, принятым по умолчанию";
  grid->AddVerb(longVerb.c_str());
  CRect client;
  grid->GetClientRect(&client);
  const int bottom = client.bottom - grid->GetHelpHeight() - 3;
  // Room for three lines of links.
  grid->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, bottom - 60));
  grid->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, bottom - 60));
  grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, bottom - grid->GetVerbsHeight() - 2));
  EXPECT_EQ(58, grid->GetVerbsHeight());
  const CRect strip(client.left, bottom - grid->GetVerbsHeight(), client.right, bottom);
  CClientDC dc(grid);
  const auto pieces = grid->GetPaintManager()->LayoutVerbs(&dc, strip, FALSE);
  ASSERT_GE(pieces.size(), 3u);
  EXPECT_EQ(0, pieces[0].nVerb);
  EXPECT_EQ(1, pieces[1].nVerb);
  EXPECT_EQ(1, pieces[2].nVerb);
  EXPECT_GT(pieces[2].rc.top, pieces[1].rc.top);
  const char last = pieces[1].strText[pieces[1].strText.GetLength() - 1];
  EXPECT_TRUE(last == ' ' || last == ',' || last == '-') << last;
  std::string joined;
  for (size_t i = 1; i < pieces.size(); ++i)
    joined += S(pieces[i].strText);
  EXPECT_EQ(longVerb, joined);
  for (const auto& piece : pieces) {
    EXPECT_LE(piece.rc.right, strip.right - 6);
    EXPECT_EQ(3 + piece.nVerb, grid->HitTest(piece.rc.CenterPoint()));
  }
}

}  // namespace

namespace {

void PumpInput()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
}

// The grid itself taking the focus passes it on: to the list, or with Shift+Tab from the next control back
// along the cycle to the last place that takes it.
TEST_F(PropertyGridTest, FocusArrivingAtTheGrid)
{
  CEdit previous;
  CEdit next;
  ASSERT_TRUE(previous.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 390, 100, 410), &owner, 7));
  grid->SetWindowPos(&previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_TRUE(next.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(110, 390, 200, 410), &owner, 8));
  grid->ModifyStyle(0, WS_TABSTOP);
  kind->Select();

  previous.SetFocus();
  grid->SetFocus();
  EXPECT_EQ(View().GetSafeHwnd(), ::GetFocus());

  // Shift+Tab from the next control: backward from outside, the button of the selected item.
  next.SetFocus();
  user::InjectKey(VK_SHIFT, true);
  PumpInput();
  ASSERT_LT(GetKeyState(VK_SHIFT), 0);
  grid->SetFocus();
  EXPECT_EQ(grid->GetInplaceButton().GetSafeHwnd(), ::GetFocus());
  user::InjectKey(VK_SHIFT, false);
  PumpInput();
  previous.DestroyWindow();
  next.DestroyWindow();
}

// Images of item metrics and constraints come from the grid's own image manager; an id it lacks draws nothing
// and moves no text.
TEST_F(PropertyGridTest, ImagesOfValuesCaptionsAndConstraints)
{
  constexpr UINT kKnown = 700;
  constexpr UINT kUnknown = 701;
  constexpr COLORREF kIconColour = RGB(255, 0, 255);
  HICON icon = tktest::MakeIcon(16, 16, kIconColour);
  ASSERT_TRUE(grid->GetImageManager()->SetIcon(CTKImageManagerIconHandle(icon), kKnown));
  DestroyIcon(icon);
  EXPECT_NE(&TKImageManager(), grid->GetImageManager());

  const CRect plain = name->GetValueRect();
  name->GetMetrics(TRUE)->m_nImage = static_cast<int>(kUnknown);
  EXPECT_EQ(plain, name->GetValueRect());
  name->GetMetrics(TRUE)->m_nImage = static_cast<int>(kKnown);
  EXPECT_EQ(plain.left + 21, name->GetValueRect().left);
  EXPECT_EQ(plain.right, name->GetValueRect().right);

  CRect caption(0, 0, 100, 18);
  CRect unchanged = caption;
  grid->GetPaintManager()->AdjustItemCaptionRect(name, caption);
  EXPECT_EQ(unchanged, caption);
  name->GetMetrics(FALSE)->m_nImage = static_cast<int>(kKnown);
  grid->GetPaintManager()->AdjustItemCaptionRect(name, caption);
  EXPECT_EQ(21, caption.left);

  struct Case {
    int image;
    bool found;
  };
  const Case cases[] = {{-1, false}, {static_cast<int>(kUnknown), false}, {static_cast<int>(kKnown), true}};
  for (const Case& c : cases) {
    CTKPropertyGridItemConstraint* constraint = kind->GetConstraints()->AddConstraint("Щебень", 0, c.image);
    CTKImageManagerIcon* image = constraint->GetImage();
    EXPECT_EQ(c.found, image != nullptr) << c.image;
    if (image) {
      EXPECT_EQ(16, image->GetWidth());
    }
  }

  // A drop-down row draws the constraint's image 2 pixels in, its text after it.
  {
    tktest::Canvas canvas(120, 20, RGB(0, 0, 0));
    CTKPropertyGridItemConstraint* withImage = kind->GetConstraints()->GetConstraintAt(
        kind->GetConstraints()->GetCount() - 1);
    grid->GetPaintManager()->DrawInplaceListItem(&canvas.m_dc, withImage, CRect(0, 0, 120, 20), FALSE);
    EXPECT_EQ(kIconColour, canvas.m_dc.GetPixel(2, 10));
    EXPECT_EQ(kIconColour, canvas.m_dc.GetPixel(17, 10));
    EXPECT_NE(kIconColour, canvas.m_dc.GetPixel(1, 10));
    EXPECT_NE(kIconColour, canvas.m_dc.GetPixel(18, 10));
  }

  // The value's image stands 2 pixels inside the value part; the caption's 3 pixels past its indent.
  grid->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const gdi::Surface* pixels = user::WindowSurface(owner.GetSafeHwnd());
  ASSERT_NE(nullptr, pixels);
  CRect row;
  View().GetItemRect(name->GetIndex(), &row);
  const int divider = View().GetDividerPos();
  const auto at = [&](int x) {
    CPoint point(x, row.CenterPoint().y);
    View().ClientToScreen(&point);
    CRect window;
    owner.GetWindowRect(&window);  // the surface holds the whole window, frame included
    return pixels->Pixel(point.x - window.left, point.y - window.top) & 0xFFFFFFu;
  };
  const unsigned magenta = 0xFF00FFu;
  EXPECT_EQ(magenta, at(divider + 2));
  EXPECT_EQ(magenta, at(divider + 17));
  EXPECT_NE(magenta, at(divider + 1));
  EXPECT_NE(magenta, at(divider + 18));
  const int captionLeft = name->GetIndent() * TK_PGI_EXPAND_BORDER + 3 - 2;
  EXPECT_EQ(magenta, at(captionLeft));
  EXPECT_NE(magenta, at(captionLeft - 1));
}

// The toolbar of the two order buttons: placed above the rows, its buttons change the order and show which one
// holds, and its tips are the toolkit strings of the button ids.
TEST_F(PropertyGridTest, OrderToolBar)
{
  CTKPropertyGridToolBar& bar = grid->GetToolBar();
  ASSERT_NE(nullptr, bar.GetSafeHwnd());
  EXPECT_FALSE(bar.IsWindowVisible());
  CRect view;
  View().GetWindowRect(&view);
  grid->ScreenToClient(&view);
  EXPECT_EQ(0, view.top);

  owner.codes.clear();
  grid->ShowToolBar(TRUE);
  EXPECT_TRUE(owner.codes.empty());  // showing the bar changes no order
  CRect rc;
  bar.GetWindowRect(&rc);
  grid->ScreenToClient(&rc);
  EXPECT_TRUE(bar.IsWindowVisible());
  EXPECT_EQ(CRect(1, 1, 399, 24), rc);
  View().GetWindowRect(&view);
  grid->ScreenToClient(&view);
  EXPECT_EQ(25, view.top);

  const auto checked = [&](UINT id) {
    return (bar.GetButtonStyle(bar.CommandToIndex(id)) & TBBS_CHECKED) != 0;
  };
  EXPECT_TRUE(checked(TK_ID_PROPERTYGRID_CATEGORIZED));
  EXPECT_FALSE(checked(TK_ID_PROPERTYGRID_ALPHABETIC));

  owner.codes.clear();
  LPARAM sortAnswer = 0;
  owner.answer = [&](WPARAM code, LPARAM argument) -> LRESULT {
    if (code == TK_PGN_SORTORDER_CHANGED)
      sortAnswer = argument;
    return 0;
  };
  CRect button;
  bar.GetItemRect(bar.CommandToIndex(TK_ID_PROPERTYGRID_ALPHABETIC), &button);
  const LPARAM at = MAKELPARAM(button.CenterPoint().x, button.CenterPoint().y);
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  bar.SendMessage(WM_LBUTTONUP, 0, at);
  EXPECT_EQ(tkpgSortAlphabetical, View().GetPropertySort());
  EXPECT_EQ(std::vector<int>{TK_PGN_SORTORDER_CHANGED}, owner.codes);
  EXPECT_EQ(32772, sortAnswer);
  EXPECT_FALSE(checked(TK_ID_PROPERTYGRID_CATEGORIZED));
  EXPECT_TRUE(checked(TK_ID_PROPERTYGRID_ALPHABETIC));
  grid->SetPropertySort(tkpgSortCategorized);
  EXPECT_TRUE(checked(TK_ID_PROPERTYGRID_CATEGORIZED));

  TOOLINFO tool;
  EXPECT_EQ(static_cast<INT_PTR>(TK_ID_PROPERTYGRID_ALPHABETIC), bar.OnToolHitTest(button.CenterPoint(), &tool));
  EXPECT_EQ(LPSTR_TEXTCALLBACK, tool.lpszText);
  EXPECT_EQ(-1, bar.OnToolHitTest(CPoint(390, 10), &tool));

  // The tips: empty without the toolkit module, its strings with it, in both character sets.
  const auto tipA = [&](UINT id) {
    NMTTDISPINFOA info{};
    info.hdr.idFrom = id;
    info.hdr.code = TTN_NEEDTEXTA;
    bar.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    return std::string(info.lpszText ? info.lpszText : "(null)");
  };
  EXPECT_EQ("", tipA(TK_ID_PROPERTYGRID_CATEGORIZED));
  res::RegisterModules();
  TKResourceManager()->SetResourceHandle(platform::RegisterResourceModule(res::ToolkitModule()));
  EXPECT_EQ("По категориям", tipA(TK_ID_PROPERTYGRID_CATEGORIZED));
  EXPECT_EQ("По алфавиту", tipA(TK_ID_PROPERTYGRID_ALPHABETIC));
  NMTTDISPINFOW wide{};
  wide.hdr.idFrom = TK_ID_PROPERTYGRID_ALPHABETIC;
  wide.hdr.code = TTN_NEEDTEXTW;
  bar.SendMessage(WM_NOTIFY, wide.hdr.idFrom, reinterpret_cast<LPARAM>(&wide));
  WCHAR expected[80] = {};
  ::MultiByteToWideChar(CP_ACP, 0, "По алфавиту", -1, expected, 80);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(expected)),
            std::u16string(reinterpret_cast<const char16_t*>(wide.lpszText)));
  EXPECT_EQ(11u, std::u16string(reinterpret_cast<const char16_t*>(wide.lpszText)).size());
  TKSetResourceInstance(nullptr, nullptr);
}

}  // namespace
