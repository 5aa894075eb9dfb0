// The date item's month calendar and the colour item's colour dialog inside a grid, as the owner hears them,
// and the masked date text typed into the in-place edit.
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/inplace.h"
#include "toolkit/propertygrid/typed_items.h"

#include "platform/user/commdlg.h"
#include "platform/user/common_controls.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string S(const CString& text)
{
  return std::string(static_cast<LPCSTR>(text));
}

class COwner : public CWnd {
public:
  std::vector<int> codes;
  bool refuseRequest = false;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (message == TKWM_PROPERTYGRID_NOTIFY) {
      if (wParam != TK_PGN_SELECTION_CHANGED && wParam != TK_PGN_EDIT_CHANGED)
        codes.push_back(static_cast<int>(wParam));
      if (wParam == TK_PGN_REQUESTEDIT && refuseRequest)
        reinterpret_cast<TK_PROPERTYGRID_EDIT*>(lParam)->bCancel = TRUE;
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class PickersTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 420,
                               nullptr, nullptr));
    ASSERT_TRUE(grid.Create(CRect(0, 0, 400, 380), &owner, 32772));
    CTKPropertyGridItem* category = grid.AddCategory("Опора");
    date = static_cast<CTKPropertyGridItemDate*>(
        category->AddChildItem(new CTKPropertyGridItemDate("Дата", COleDateTime(2010, 12, 25, 0, 0, 0))));
    colour = static_cast<CTKPropertyGridItemColor*>(
        category->AddChildItem(new CTKPropertyGridItemColor("Цвет", RGB(1, 2, 3))));
    category->Expand();
    grid.GetGridView().SetFocus();
    owner.codes.clear();
  }
  void TearDown() override
  {
    user::SetModalResponder(nullptr);
    grid.DestroyWindow();
    owner.DestroyWindow();
  }

  COwner owner;
  CTKPropertyGrid grid;
  CTKPropertyGridItemDate* date = nullptr;
  CTKPropertyGridItemColor* colour = nullptr;
};

HWND FocusedCalendar()
{
  HWND focus = ::GetFocus();
  char name[64] = {};
  ::GetClassName(focus, name, sizeof(name));
  return std::string(name) == MONTHCAL_CLASS ? focus : nullptr;
}

TEST_F(PickersTest, MonthCalendarAnswers)
{
  // The day already shown, accepted with Enter, is still applied: 12 and 3 follow.
  date->Select();
  date->OnInplaceButtonDown();
  HWND calendar = FocusedCalendar();
  ASSERT_NE(nullptr, calendar);
  SYSTEMTIME shown{};
  SendMessage(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(25, shown.wDay);
  SendMessage(calendar, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(std::vector<int>({11, 12, 3}), owner.codes);
  EXPECT_FALSE(IsWindow(calendar));

  // Another day chosen.
  owner.codes.clear();
  date->OnInplaceButtonDown();
  calendar = FocusedCalendar();
  ASSERT_NE(nullptr, calendar);
  SYSTEMTIME other{};
  other.wYear = 2011;
  other.wMonth = 3;
  other.wDay = 8;
  SendMessage(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&other));
  SendMessage(calendar, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(std::vector<int>({11, 12, 3}), owner.codes);
  EXPECT_EQ("08/03/2011", S(date->GetValue()));

  // Escape cancels.
  owner.codes.clear();
  date->OnInplaceButtonDown();
  calendar = FocusedCalendar();
  ASSERT_NE(nullptr, calendar);
  SendMessage(calendar, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(std::vector<int>({11, 13}), owner.codes);
  EXPECT_EQ("08/03/2011", S(date->GetValue()));

  // A refused request opens nothing.
  owner.codes.clear();
  owner.refuseRequest = true;
  date->OnInplaceButtonDown();
  EXPECT_EQ(nullptr, FocusedCalendar());
  EXPECT_EQ(std::vector<int>({11}), owner.codes);
}

TEST_F(PickersTest, ColourDialogAnswers)
{
  int asked = 0;
  user::SetModalResponder([&asked](const user::ModalQuestion& question) {
    ++asked;
    static_cast<CHOOSECOLOR*>(question.record)->rgbResult = RGB(10, 20, 30);
    return IDOK;
  });
  colour->Select();
  colour->OnInplaceButtonDown();
  EXPECT_EQ(1, asked);
  EXPECT_EQ(std::vector<int>({11, 12, 3}), owner.codes);
  EXPECT_EQ("10; 20; 30", S(colour->GetValue()));

  owner.codes.clear();
  user::SetModalResponder([&asked](const user::ModalQuestion&) {
    ++asked;
    return IDCANCEL;
  });
  colour->OnInplaceButtonDown();
  EXPECT_EQ(std::vector<int>({11, 13}), owner.codes);

  owner.codes.clear();
  owner.refuseRequest = true;
  colour->OnInplaceButtonDown();
  EXPECT_EQ(2, asked);  // no dialog
  EXPECT_EQ(std::vector<int>({11}), owner.codes);
}

TEST_F(PickersTest, DateTypedIntoTheMaskedEdit)
{
  date->Select();
  date->OnChar(VK_TAB);
  CTKPropertyGridInplaceEdit& edit = grid.GetInplaceEdit();
  ASSERT_EQ(date, edit.GetItem());
  edit.SetSel(0, 0);
  edit.SendMessage(WM_KEYDOWN, VK_DELETE, 0);  // an undo point, and the first digit goes
  EXPECT_EQ("51/22/010_", S(edit.GetWindowTextString()));
  edit.SetSel(0, -1);
  edit.SendMessage(WM_CLEAR);
  EXPECT_EQ("__/__/____", S(edit.GetWindowTextString()));
  for (char ch : std::string("0702x2012"))
    edit.SendMessage(WM_CHAR, static_cast<unsigned char>(ch), 0);
  EXPECT_EQ("07/02/2012", S(edit.GetWindowTextString()));
  edit.SendMessage(WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ(std::vector<int>({11, 12, 3}), owner.codes);
  EXPECT_EQ("07/02/2012", S(date->GetValue()));
  EXPECT_EQ(2, date->GetMonth());
}

}  // namespace
