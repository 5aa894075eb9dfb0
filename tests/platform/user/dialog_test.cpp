// Dialogs from templates: modal runs answered by the responder or driven by keys, and the dialog helpers.
#include "platform/user/dialog_template.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr WORD kButton = user::kDialogButton;
constexpr WORD kEdit = user::kDialogEdit;
constexpr WORD kStatic = user::kDialogStatic;
constexpr int kStep = 100;

user::DialogTemplate StepDialog()
{
  user::DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 160, 60, u"Шаг");
  t.Item(kStatic, SS_LEFT, 7, 9, 40, 8, 0xFFFF, u"Шаг, м");
  t.Item(kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 50, 7, 100, 12, kStep, u"");
  t.Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 40, 50, 14, IDOK, u"OK");
  t.Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, 105, 40, 50, 14, IDCANCEL, u"Отмена");
  return t;
}

std::string g_taken;

INT_PTR StepProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
    case WM_INITDIALOG:
      SetDlgItemText(dialog, kStep, reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char text[64];
        GetDlgItemText(dialog, kStep, text, sizeof text);
        g_taken = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

HWND MakeOwner()
{
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.lpszClassName = "DialogOwner";
  RegisterClass(&wc);
  return CreateWindowEx(0, "DialogOwner", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr,
                        nullptr, nullptr);
}

TEST(Dialogs, TheResponderFillsInAndAnswersAModalDialog)
{
  HWND owner = MakeOwner();
  user::DialogTemplate t = StepDialog();
  bool ownerDisabled = false;
  std::string seenTitle;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    EXPECT_EQ(q.kind, user::ModalQuestion::Kind::Dialog);
    seenTitle = q.caption;
    ownerDisabled = !IsWindowEnabled(owner);
    char text[32];
    GetDlgItemText(q.dialog, kStep, text, sizeof text);
    EXPECT_STREQ(text, "35");  // WM_INITDIALOG ran first
    SetDlgItemText(q.dialog, kStep, "37.5");
    return IDOK;
  });
  g_taken.clear();
  INT_PTR result = DialogBoxIndirectParam(nullptr, t.Data(), owner, &StepProc, reinterpret_cast<LPARAM>("35"));
  user::SetModalResponder(nullptr);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(g_taken, "37.5");
  EXPECT_EQ(seenTitle, "Шаг");
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

TEST(Dialogs, WithoutAnAnswerTheDialogTakesKeysTabEnterAndEscape)
{
  HWND owner = MakeOwner();
  user::DialogTemplate t = StepDialog();
  user::SetModalResponder([](const user::ModalQuestion&) { return 0; });
  // The edit has the focus with its text selected: typing replaces it; Tab moves to OK; Enter presses it.
  user::InjectKeyPress('9');
  user::InjectKeyPress(VK_TAB);
  user::InjectKeyPress(VK_RETURN);
  g_taken.clear();
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, t.Data(), owner, &StepProc, reinterpret_cast<LPARAM>("35")), IDOK);
  EXPECT_EQ(g_taken, "9");
  user::InjectKeyPress(VK_ESCAPE);
  g_taken.clear();
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, t.Data(), owner, &StepProc, reinterpret_cast<LPARAM>("35")), IDCANCEL);
  EXPECT_TRUE(g_taken.empty());
  user::SetModalResponder(nullptr);
  DestroyWindow(owner);
}

TEST(Dialogs, ControlsArePlacedInDialogUnitsOfTheDialogFont)
{
  user::DialogTemplate t = StepDialog();
  HWND dialog = CreateDialogIndirectParam(nullptr, t.Data(), nullptr, &StepProc, reinterpret_cast<LPARAM>("1"));
  ASSERT_NE(dialog, nullptr);
  RECT units{50, 7, 150, 19};
  MapDialogRect(dialog, &units);
  HWND edit = GetDlgItem(dialog, kStep);
  RECT r;
  GetWindowRect(edit, &r);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  EXPECT_EQ(r.Offset(-origin.x, -origin.y), units);
  EXPECT_GT(units.Width(), 100);  // a dialog unit is more than a pixel across
  EXPECT_EQ(GetNextDlgTabItem(dialog, edit, FALSE), GetDlgItem(dialog, IDOK));
  EXPECT_EQ(GetNextDlgTabItem(dialog, edit, TRUE), GetDlgItem(dialog, IDCANCEL));
  SetDlgItemText(dialog, kStep, " -12 ");
  BOOL ok = FALSE;
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, kStep, &ok, TRUE)), -12);
  EXPECT_TRUE(ok);
  GetDlgItemInt(dialog, kStep, &ok, FALSE);
  EXPECT_FALSE(ok);
  SetDlgItemText(dialog, kStep, "12x");
  GetDlgItemInt(dialog, kStep, &ok, TRUE);
  EXPECT_FALSE(ok);
  DestroyWindow(dialog);
}

}  // namespace
