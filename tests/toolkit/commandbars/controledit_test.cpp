// The edit control on a toolbar: its window placed beside the label, the grey hint of an empty field, Esc
// restoring the text from before the focus, hiding on vertical bars, the notifications it sends, and the cut,
// copy and paste commands of its window.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/richedit/richedit.h"
#include "platform/user/clipboard.h"
#include "platform/user/system.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kEditId = 32900;
// SHAutoComplete's flag for file-system names.
constexpr DWORD kShellCompleteFileSystem = 0x1;

class EditControl : public ::testing::Test {
protected:
  void SetUp() override
  {
    CTKPaintManager::SetTheme(tkThemeWhidbey);
    // Installed as on a system that has it: the fields are rich edits.
    richedit::RegisterRichEditLibrary();
    ASSERT_TRUE(frame.Make(600, 400));
    pBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 600, 30));
    ASSERT_NE(pBar, nullptr);
    CTKControl* pControl = pBar->GetControls()->Add(tkControlEdit, kEditId);
    pEdit = dynamic_cast<CTKControlEdit*>(pControl);
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetCaption("&Найти");
    pBar->OnRecalcLayout();
    ASSERT_NE(pEdit->GetEditCtrl(), nullptr);
    hWndEdit = pEdit->GetEditCtrl()->GetSafeHwnd();
    ASSERT_NE(hWndEdit, nullptr);
    frame.m_log.clear();
  }
  void TearDown() override
  {
    if (pEdit)
      pEdit->SetFocused(FALSE);
    CTKPaintManager::SetTheme(tkThemeDefault);
  }

  CString WindowText()
  {
    CString str;
    pEdit->GetEditCtrl()->GetWindowText(str);
    return str;
  }
  // The frame itself is never shown: the window's own style says whether it shows.
  bool Shown() { return (::GetWindowLong(hWndEdit, GWL_STYLE) & WS_VISIBLE) != 0; }
  // Typing as the user does: the window's text changes and its change notice comes back to it.
  void Type(const char* psz) { ::SendMessage(hWndEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(psz)); }

  cbtest::CTestFrame frame;
  cbtest::CTestBar* pBar = nullptr;
  CTKControlEdit* pEdit = nullptr;
  HWND hWndEdit = nullptr;
};

TEST_F(EditControl, TheWindowStandsRightOfTheLabelInsideTheControl)
{
  EXPECT_EQ(pEdit->GetType(), tkControlEdit);
  char szClass[32] = {};
  ::GetClassName(hWndEdit, szClass, sizeof(szClass));
  EXPECT_STREQ(szClass, "RichEdit20A");
  EXPECT_EQ(::GetParent(hWndEdit), pBar->GetSafeHwnd());
  EXPECT_TRUE(Shown());
  CRect rcControl = pEdit->GetRect();
  EXPECT_EQ(rcControl.Width(), pEdit->GetWidth() + pEdit->GetLabelWidth());
  EXPECT_GT(pEdit->GetLabelWidth(), 0);
  CRect rcWindow;
  ::GetWindowRect(hWndEdit, &rcWindow);
  pBar->ScreenToClient(&rcWindow);
  EXPECT_EQ(rcWindow, CRect(rcControl.left + pEdit->GetLabelWidth() + 4, rcControl.top + 3, rcControl.right - 3,
                            rcControl.bottom - 3));

  // Without a label the field takes the whole control.
  pEdit->ShowLabel(FALSE);
  pBar->OnRecalcLayout();
  EXPECT_EQ(pEdit->GetLabelWidth(), 0);
  ::GetWindowRect(hWndEdit, &rcWindow);
  pBar->ScreenToClient(&rcWindow);
  EXPECT_EQ(rcWindow.left, pEdit->GetRect().left + 4);
}

TEST_F(EditControl, AnEmptyUnfocusedFieldShowsItsHintButNeverAnswersIt)
{
  pEdit->SetEditHint("Номер опоры");
  EXPECT_TRUE(pEdit->IsHintShown());
  EXPECT_EQ(WindowText(), CString("Номер опоры"));
  EXPECT_TRUE(pEdit->GetEditTextWithoutHint().IsEmpty());
  CHARFORMAT2A cf{};
  pEdit->GetEditTextFormat(cf);
  EXPECT_EQ(cf.crTextColor, TKColorManager().GetColor(COLOR_GRAYTEXT));

  ::SetFocus(hWndEdit);
  EXPECT_TRUE(pEdit->IsFocused());
  EXPECT_FALSE(pEdit->IsHintShown());
  EXPECT_TRUE(WindowText().IsEmpty());
  pEdit->GetEditTextFormat(cf);
  EXPECT_EQ(cf.crTextColor, TKColorManager().GetColor(COLOR_BTNTEXT));

  ::SetFocus(frame.GetSafeHwnd());
  EXPECT_FALSE(pEdit->IsFocused());
  EXPECT_TRUE(pEdit->IsHintShown());
  EXPECT_TRUE(pEdit->GetEditTextWithoutHint().IsEmpty());

  // A text of its own replaces the hint, and stays after the focus leaves.
  ::SetFocus(hWndEdit);
  Type("17");
  ::SetFocus(frame.GetSafeHwnd());
  EXPECT_FALSE(pEdit->IsHintShown());
  EXPECT_EQ(pEdit->GetEditTextWithoutHint(), CString("17"));
}

TEST_F(EditControl, EscRestoresTheTextFromBeforeTheFocusAndLeavesEditing)
{
  pEdit->SetEditText("120");
  pEdit->SetFocused(TRUE);
  EXPECT_EQ(::GetFocus(), hWndEdit);
  EXPECT_TRUE(pBar->IsTrackingMode());
  Type("135");
  EXPECT_EQ(pEdit->GetEditText(), CString("135"));

  struct KeyCase {
    UINT key;
    int answer;
  };
  // Tab and Enter are the bar's; navigation keys the window's own.
  for (const KeyCase& c : {KeyCase{VK_TAB, 0}, KeyCase{VK_RETURN, 0}, KeyCase{'A', 2}}) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(pEdit->OnHookKeyDown(c.key, 0), c.answer);
  }
  EXPECT_EQ(pEdit->OnHookKeyDown(VK_ESCAPE, 0), 1);
  EXPECT_EQ(pEdit->GetEditText(), CString("120"));
  EXPECT_FALSE(pEdit->IsFocused());
  EXPECT_NE(::GetFocus(), hWndEdit);
  EXPECT_EQ(pEdit->OnHookKeyDown(VK_ESCAPE, 0), 0);  // not editing: the bar's
}

TEST_F(EditControl, FocusTextChangeAndLeavingAreNotifiedInOrder)
{
  pEdit->SetFocused(TRUE);
  Type("3.5");
  pEdit->SetFocused(FALSE);
  const std::string id = std::to_string(kEditId);
  EXPECT_EQ(frame.m_log, (std::vector<std::string>{"10338 id " + id + " code 256", "10338 id " + id + " code 768",
                                                   "10338 id " + id + " code 512"}));
  EXPECT_EQ(TKMouseManager()->m_nLock, 0);
}

TEST_F(EditControl, AClickFocusesTheFieldAndAKeyboardClickOnAFocusedOneExecutesIt)
{
  pEdit->OnClick(TRUE);
  EXPECT_EQ(::GetFocus(), hWndEdit);
  EXPECT_TRUE(pEdit->IsFocused());
  frame.m_log.clear();
  pEdit->OnClick(TRUE);
  const std::string id = std::to_string(kEditId);
  // Executing ends the bar's tracking, and with it the editing, before the command goes.
  EXPECT_EQ(frame.m_log, (std::vector<std::string>{"10338 id " + id + " code 512", "10338 id " + id + " code 100",
                                                   "WM_COMMAND " + id}));
  EXPECT_FALSE(pEdit->IsFocused());
}

TEST_F(EditControl, OnAVerticalBarTheControlAndItsWindowHide)
{
  pEdit->OnCalcDynamicSize(LM_VERTDOCK);
  EXPECT_TRUE(pEdit->GetHideFlags() & TK_HIDEDOCKINGPOSITION);
  EXPECT_FALSE(Shown());
  pEdit->OnCalcDynamicSize(LM_HORZDOCK);
  EXPECT_FALSE(pEdit->GetHideFlags() & TK_HIDEDOCKINGPOSITION);
  EXPECT_TRUE(Shown());
}

TEST_F(EditControl, CutAndCopyNeedASelectionAndCopyTakesIt)
{
  CTKEdit* pWnd = pEdit->GetEditCtrl();
  pEdit->SetEditText("опора 12");
  pWnd->SetSel(0, 0);
  EXPECT_FALSE(pWnd->IsCommandEnabled(57634));
  EXPECT_FALSE(pWnd->IsCommandEnabled(57635));
  EXPECT_TRUE(pWnd->IsCommandEnabled(57600));
  pWnd->SetSel(6, 8);
  EXPECT_TRUE(pWnd->IsCommandEnabled(57634));
  EXPECT_TRUE(pWnd->OnCommand(57634, 0));
  EXPECT_TRUE(pWnd->IsCommandEnabled(57637));
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HANDLE hData = ::GetClipboardData(CF_TEXT);
  ASSERT_NE(hData, nullptr);
  EXPECT_STREQ(static_cast<const char*>(::GlobalLock(hData)), "12");
  ::GlobalUnlock(hData);
  ::CloseClipboard();
  EXPECT_FALSE(pWnd->OnCommand(57600, 0));
}

TEST_F(EditControl, TheFramesCopyCommandReachesAFocusedFieldFirst)
{
  pEdit->SetEditText("пролёт 40");
  pEdit->SetFocused(TRUE);
  pEdit->GetEditCtrl()->SetSel(7, 9);
  // Typed keys reach the field untranslated.
  MSG msg{};
  msg.hwnd = hWndEdit;
  msg.message = WM_KEYDOWN;
  msg.wParam = 'C';
  EXPECT_FALSE(frame.PreTranslateMessage(&msg));
  CTKCommandBars* pCommandBars = frame.GetCommandBars();
  LRESULT lResult = 0;
  EXPECT_TRUE(pCommandBars->OnFrameWndMsg(WM_COMMAND, 57634, 0, &lResult));
  EXPECT_EQ(lResult, 1);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HANDLE hData = ::GetClipboardData(CF_TEXT);
  ASSERT_NE(hData, nullptr);
  EXPECT_STREQ(static_cast<const char*>(::GlobalLock(hData)), "40");
  ::GlobalUnlock(hData);
  ::CloseClipboard();
  // Commands the field does not know go on to the frame.
  EXPECT_FALSE(pCommandBars->OnFrameWndMsg(WM_COMMAND, 57601, 0, &lResult));
}

TEST_F(EditControl, CopiesKeepTextWithoutTheHintAndLeavingTheBarEndsEditingWithTheWindow)
{
  pEdit->SetWidth(140);
  pEdit->SetEditHint("подсказка");
  pEdit->SetReadOnly(TRUE);
  CTKControl* pClone = pEdit->Clone();
  auto* pCopy = dynamic_cast<CTKControlEdit*>(pClone);
  ASSERT_NE(pCopy, nullptr);
  EXPECT_EQ(pCopy->GetWidth(), 140);
  EXPECT_TRUE(pCopy->GetEditTextWithoutHint().IsEmpty());
  EXPECT_EQ(pCopy->GetEditHint(), CString("подсказка"));
  EXPECT_TRUE(pCopy->GetReadOnly());
  EXPECT_TRUE(pCopy->Compare(pEdit));
  pCopy->SetWidth(90);
  EXPECT_FALSE(pCopy->Compare(pEdit));
  pClone->InternalRelease();

  // A field that leaves its bar while editing ends the editing with its window.
  pEdit->SetFocused(TRUE);
  Type("7");
  pEdit->SetParent(nullptr);
  EXPECT_FALSE(::IsWindow(hWndEdit));
  EXPECT_FALSE(pEdit->IsFocused());
  EXPECT_EQ(TKMouseManager()->m_nLock, 0);
  EXPECT_EQ(pEdit->GetEditText(), CString("7"));
  pEdit->SetParent(pBar);
}

TEST_F(EditControl, ShellCompletionNeedsShlwapiAndItsDropDownIsWatchedWhileEditing)
{
  {
    user::AbsentSystemModule absent("shlwapi.dll");
    pEdit->SetShellAutoComplete(kShellCompleteFileSystem);
    EXPECT_EQ(pEdit->GetAutoCompleteWnd(), nullptr);
  }
  pEdit->SetShellAutoComplete(kShellCompleteFileSystem);
  CTKControlComboBoxAutoCompleteWnd* pWatcher = pEdit->GetAutoCompleteWnd();
  ASSERT_NE(pWatcher, nullptr);

  WNDCLASS wc{};
  wc.lpfnWndProc = ::DefWindowProc;
  wc.lpszClassName = "Auto-Suggest Dropdown";
  ::RegisterClass(&wc);
  HWND hWndDropDown = ::CreateWindowEx(WS_EX_TOOLWINDOW, "Auto-Suggest Dropdown", "", WS_POPUP, 0, 30, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hWndDropDown, nullptr);
  // Not watched before the field has the focus.
  ::ShowWindow(hWndDropDown, SW_SHOWNOACTIVATE);
  EXPECT_EQ(pWatcher->GetDropDown(), nullptr);
  ::ShowWindow(hWndDropDown, SW_HIDE);

  ::SetFocus(hWndEdit);
  ::ShowWindow(hWndDropDown, SW_SHOWNOACTIVATE);
  EXPECT_EQ(pWatcher->GetDropDown(), hWndDropDown);
  MSG msg{};
  EXPECT_TRUE(::PeekMessage(&msg, hWndEdit, TKWM_AUTOCOMPLETE_SHOWN, TKWM_AUTOCOMPLETE_SHOWN, PM_REMOVE));
  LRESULT lResult = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  EXPECT_EQ(pWatcher->OnHookMessage(hWndEdit, WM_MOUSEWHEEL, wParam, lParam, lResult), 2);
  ::ShowWindow(hWndDropDown, SW_HIDE);
  EXPECT_EQ(pWatcher->GetDropDown(), nullptr);
  EXPECT_EQ(pWatcher->OnHookMessage(hWndEdit, WM_MOUSEWHEEL, wParam, lParam, lResult), 0);

  ::SetFocus(frame.GetSafeHwnd());
  ::ShowWindow(hWndDropDown, SW_SHOWNOACTIVATE);
  EXPECT_EQ(pWatcher->GetDropDown(), nullptr);
  ::DestroyWindow(hWndDropDown);
}

}  // namespace
