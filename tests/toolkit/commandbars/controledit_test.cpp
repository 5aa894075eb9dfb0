// The edit control on a toolbar: its window placed beside the label, the grey hint of an empty field, Esc
// restoring the text from before the focus, hiding on vertical bars, the notifications it sends, and the cut,
// copy and paste commands of its window.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/richedit/richedit.h"
#include "platform/base/thread.h"
#include "platform/user/clipboard.h"
#include "platform/user/paint.h"
#include "platform/user/system.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/mouse_manager.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

  // The composed screen down to just below the open menu.
  static void SaveScreen(CTKPopupBar* pPopup, const char* name)
  {
    cbtest::Pump();
    pPopup->UpdateWindow();
    gdi::Surface screen;
    user::ComposeScreen(screen);
    CRect rcMenu;
    pPopup->GetWindowRect(&rcMenu);
    const int cx = std::max<int>(rcMenu.right + 20, 320);
    const int cy = rcMenu.bottom + 20;
    gdi::Surface picture(cx, cy);
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x)
        picture.Pixels()[static_cast<size_t>(y) * cx + x] = screen.Pixel(x, y);
    EXPECT_TRUE(gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name));
  }

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

// A right click on the field opens the cut, copy and paste menu over it: cut and copy only with a selection,
// paste only with text on the clipboard; the chosen command acts on the field, and the lock comes back.
TEST_F(EditControl, ARightClickOffersCutCopyAndPasteAndTheChoiceActsOnTheField)
{
  struct Case {
    const char* what;
    int selStart, selEnd;
    bool clipboardText;
    std::vector<std::string> entries;  // "+" enabled, "-" disabled
    const char* choose;  // the caption chosen, or null: the menu is closed
    const char* textAfter;
  };
  const Case cases[] = {
      {"a selection, the clipboard empty", 6, 8, false, {"+Вырезать", "+Копировать", "-Вставить"}, "Вырезать",
       "опора "},
      {"no selection, text to paste", 8, 8, true, {"-Вырезать", "-Копировать", "+Вставить"}, "Вставить",
       "опора 12вставка"},
      {"closed without a choice", 0, 8, true, {"+Вырезать", "+Копировать", "+Вставить"}, nullptr, "опора 12"},
  };
  frame.ShowWindow(SW_SHOWNOACTIVATE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    if (c.clipboardText) {
      HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, 8);
      std::memcpy(::GlobalLock(hText), "вставка", 8);
      ::GlobalUnlock(hText);
      ::SetClipboardData(CF_TEXT, hText);
    }
    ::CloseClipboard();
    pEdit->SetEditText("опора 12");
    pEdit->SetFocused(TRUE);
    cbtest::Pump();  // the focus selects the whole text first
    pEdit->GetEditCtrl()->SetSel(c.selStart, c.selEnd);
    const int nLock = TKMouseManager()->m_nLock;

    // Looks at the menu once it shows, then chooses or closes it.
    struct Seen {
      const Case* pCase;
      const Case* pCases;
      std::vector<std::string> entries;
      int nLock = -1;
    } seen{&c, cases, {}, -1};
    static Seen* s_pSeen;
    s_pSeen = &seen;
    struct Finder {
      static BOOL Find(HWND hWnd, LPARAM lParam)
      {
        auto* pPopup = dynamic_cast<CTKPopupBar*>(CWnd::FromHandlePermanent(hWnd));
        if (pPopup && pPopup->IsTrackingMode()) {
          *reinterpret_cast<CTKPopupBar**>(lParam) = pPopup;
          return FALSE;
        }
        return TRUE;
      }
    };
    ::SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR nId, DWORD) {
      ::KillTimer(nullptr, nId);
      CTKPopupBar* pPopup = nullptr;
      ::EnumThreadWindows(::GetCurrentThreadId(), &Finder::Find, reinterpret_cast<LPARAM>(&pPopup));
      if (!pPopup)
        return;
      s_pSeen->nLock = TKMouseManager()->m_nLock;
      if (s_pSeen->pCase == &s_pSeen->pCases[0])
        SaveScreen(pPopup, "toolkit_edit_context_menu.png");
      CTKControl* pChosen = nullptr;
      for (int i = 0; i < pPopup->GetControlCount(); ++i) {
        CTKControl* pItem = pPopup->GetControl(i);
        s_pSeen->entries.push_back((pItem->GetEnabled() ? "+" : "-") + std::string(pItem->GetCaption()));
        if (s_pSeen->pCase->choose && pItem->GetCaption() == s_pSeen->pCase->choose)
          pChosen = pItem;
      }
      if (pChosen)
        pChosen->OnExecute();
      else
        pPopup->SetTrackingMode(0, FALSE, FALSE);
    });
    ::SendMessage(hWndEdit, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(seen.entries, c.entries);
    EXPECT_EQ(seen.nLock, nLock - 1) << "the menu's clicks are not locked out";
    EXPECT_EQ(TKMouseManager()->m_nLock, nLock);
    EXPECT_EQ(pEdit->GetEditText(), CString(c.textAfter)) << static_cast<LPCSTR>(WindowText());
    EXPECT_TRUE(pEdit->IsFocused()) << "the field keeps editing after its menu";
  }
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
