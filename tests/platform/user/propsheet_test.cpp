// Property sheets through the window system's own calls: a modeless sheet whose pages answer through their
// dialog procedures' DWLP_MSGRESULT, the sheet's state after OK, and the pages' release when it goes.
#include "platform/user/dialog_template.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_heard;
bool g_refuseToLeave = false;
int g_released = 0;

INT_PTR PageProc(HWND page, UINT msg, WPARAM, LPARAM lParam)
{
  if (msg == WM_INITDIALOG) {
    const auto* desc = reinterpret_cast<const PROPSHEETPAGE*>(lParam);
    SetWindowLongPtr(page, DWLP_USER, desc->lParam);
    return TRUE;
  }
  if (msg != WM_NOTIFY) {
    return FALSE;
  }
  const auto* n = reinterpret_cast<const PSHNOTIFY*>(lParam);
  const std::string name = std::to_string(GetWindowLongPtr(page, DWLP_USER));
  switch (n->hdr.code) {
    case PSN_SETACTIVE: g_heard.push_back(name + " set active"); SetWindowLongPtr(page, DWLP_MSGRESULT, 0); return TRUE;
    case PSN_KILLACTIVE:
      g_heard.push_back(name + " kill active");
      SetWindowLongPtr(page, DWLP_MSGRESULT, g_refuseToLeave ? TRUE : FALSE);
      return TRUE;
    case PSN_APPLY:
      g_heard.push_back(name + (n->lParam != 0 ? " apply for OK" : " apply"));
      SetWindowLongPtr(page, DWLP_MSGRESULT, PSNRET_NOERROR);
      return TRUE;
    default: return FALSE;
  }
}

UINT PageCallback(HWND, UINT msg, PROPSHEETPAGE*)
{
  if (msg == PSPCB_RELEASE) {
    ++g_released;
  }
  return 1;
}

void PumpThrough(HWND sheet)
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!PropSheet_IsDialogMessage(sheet, &msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
}

TEST(PropertySheetWindow, ModelessPagesAnswerThroughTheirDialogResultAndAreReleasedWithTheSheet)
{
  user::DialogTemplate first(WS_CHILD | WS_CAPTION | DS_SETFONT, 120, 60, "Первая");
  first.Item(user::kDialogEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 7, 60, 12, 101);
  first.Item(user::kDialogEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 25, 60, 12, 102);
  user::DialogTemplate second(WS_POPUP | WS_CAPTION | DS_SETFONT, 100, 80, "Вторая");
  PROPSHEETPAGE pages[2];
  for (int i = 0; i < 2; ++i) {
    pages[i].dwFlags = PSP_DLGINDIRECT | PSP_USECALLBACK;
    pages[i].pResource = static_cast<const DLGTEMPLATE*>((i == 0 ? first : second).Data());
    pages[i].pfnDlgProc = &PageProc;
    pages[i].pfnCallback = &PageCallback;
    pages[i].lParam = i;
  }
  PROPSHEETHEADER header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
  header.pszCaption = "Параметры";
  header.nPages = 2;
  header.ppsp = pages;
  g_heard.clear();
  g_released = 0;
  auto sheet = reinterpret_cast<HWND>(PropertySheet(&header));
  ASSERT_TRUE(IsWindow(sheet));
  EXPECT_TRUE(IsWindowVisible(sheet));
  // Tab goes from the tabs through the page's controls to the buttons, Shift+Tab back.
  HWND page = PropSheet_GetCurrentPageHwnd(sheet);
  SetFocus(PropSheet_GetTabControl(sheet));
  for (HWND expected : {GetDlgItem(page, 101), GetDlgItem(page, 102), GetDlgItem(sheet, IDOK)}) {
    user::InjectKeyPress(VK_TAB);
    PumpThrough(sheet);
    EXPECT_EQ(expected, GetFocus());
  }
  user::InjectKey(VK_SHIFT, true);
  user::InjectKeyPress(VK_TAB);
  user::InjectKey(VK_SHIFT, false);
  PumpThrough(sheet);
  EXPECT_EQ(GetDlgItem(page, 102), GetFocus());
  // Ctrl+Tab goes to the next page, as far as the current one lets it.
  g_refuseToLeave = true;
  user::InjectKey(VK_CONTROL, true);
  user::InjectKeyPress(VK_TAB);
  user::InjectKey(VK_CONTROL, false);
  PumpThrough(sheet);
  EXPECT_EQ(page, PropSheet_GetCurrentPageHwnd(sheet));
  // A page made from a popup template is a child of the sheet all the same.
  g_refuseToLeave = true;
  EXPECT_FALSE(PropSheet_SetCurSel(sheet, nullptr, 1));
  EXPECT_EQ(0, PropSheet_HwndToIndex(sheet, PropSheet_GetCurrentPageHwnd(sheet)));
  g_refuseToLeave = false;
  EXPECT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 1));
  HWND secondPage = PropSheet_GetCurrentPageHwnd(sheet);
  EXPECT_EQ(sheet, GetParent(secondPage));
  EXPECT_NE(0, GetWindowLong(secondPage, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(0, GetWindowLong(secondPage, GWL_STYLE) & WS_CAPTION);
  EXPECT_EQ(-1, PropSheet_GetResult(sheet)) << "still open";

  PropSheet_PressButton(sheet, PSBTN_OK);
  EXPECT_EQ((std::vector<std::string>{"0 set active", "0 kill active", "0 kill active", "0 kill active", "1 set active",
                                      "1 kill active", "0 apply for OK", "1 apply for OK"}),
            g_heard);
  // Closed but not gone: its owner destroys it.
  EXPECT_TRUE(IsWindow(sheet));
  EXPECT_EQ(nullptr, PropSheet_GetCurrentPageHwnd(sheet));
  EXPECT_EQ(1, PropSheet_GetResult(sheet));
  EXPECT_EQ(0, g_released);
  DestroyWindow(sheet);
  EXPECT_EQ(2, g_released);
}

}  // namespace
