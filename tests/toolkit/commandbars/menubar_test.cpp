// The menu bar as the frame's menu: it takes the Windows menu away, and the keys that open a menu (F10, a lone
// Alt, Alt+letter) put it into keyboard tracking.
#include "tests/toolkit/commandbars/dock_frame.h"

#include "platform/user/input.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cbtest::CDockFrame;

constexpr LPARAM kAltContext = LPARAM(1) << 29;
constexpr UINT kNumpad1 = 0x61;

std::string State(CTKCommandBar* pBar)
{
  return "t" + std::to_string(pBar->GetTrackingMode()) + " s" + std::to_string(pBar->GetSelected()) + " p" +
         std::to_string(pBar->GetPopuped());
}

TEST(MenuBar, KeysThatOpenTheMenu)
{
  enum class Key { F10, LoneAlt, ShiftAlt, AltLetter, AltKeypad, SysCharSpace };
  struct Case {
    const char* what;
    UINT menu;
    bool hidden;
    Key key;
    UINT vk;
    bool consumed;
    const char* state;
  };
  const std::vector<Case> cases = {
      {"F10", 128, false, Key::F10, VK_F10, true, "t1 s0 p-1"},
      {"Alt pressed and released alone", 128, false, Key::LoneAlt, VK_MENU, true, "t1 s0 p-1"},
      {"Shift+Alt", 128, false, Key::ShiftAlt, VK_MENU, false, "t0 s-1 p-1"},
      {"F10 with the menu bar hidden", 128, true, Key::F10, VK_F10, false, "t0 s-1 p-1"},
      {"Alt+F with one F item opens it", 128, false, Key::AltLetter, 'F', true, "t2 s0 p0"},
      {"Alt+V opens the third", 128, false, Key::AltLetter, 'V', true, "t2 s2 p2"},
      {"Alt+F with two F items selects the first", 129, false, Key::AltLetter, 'F', true, "t1 s0 p-1"},
      {"Alt+X of a submenu item is no menu key", 128, false, Key::AltLetter, 'X', false, "t0 s-1 p-1"},
      {"Alt+keypad 1 never matches", 128, false, Key::AltLetter, kNumpad1, false, "t0 s-1 p-1"},
      {"Alt+Space is the window menu's", 128, false, Key::SysCharSpace, VK_SPACE, false, "t0 s-1 p-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CDockFrame frame;
    ASSERT_TRUE(frame.MakeDocked(500, 300));
    CTKMenuBar* pMenuBar = frame.AddMenuBar(c.menu);
    ASSERT_NE(pMenuBar, nullptr);
    frame.RecalcLayout();
    ::SetActiveWindow(frame.GetSafeHwnd());
    if (c.hidden)
      pMenuBar->SetVisible(FALSE);
    BOOL bConsumed = FALSE;
    if (c.key == Key::AltLetter) {
      MSG msg{frame.GetSafeHwnd(), WM_SYSKEYDOWN, c.vk, kAltContext, 0, {}};
      bConsumed = frame.PreTranslateMessage(&msg);
    } else {
      if (c.key == Key::LoneAlt) {
        // The press only shows the cues; the release makes the system ask for the menu.
        MSG msg{frame.GetSafeHwnd(), WM_SYSKEYDOWN, VK_MENU, kAltContext, 0, {}};
        EXPECT_FALSE(frame.PreTranslateMessage(&msg));
      }
      if (c.key == Key::ShiftAlt) {
        user::InjectKey(VK_SHIFT, true);
        cbtest::Pump();
      }
      // What the system sends for a menu key; the menu bar took it when it started tracking.
      LPARAM lParam = c.key == Key::SysCharSpace ? ' ' : 0;
      frame.SendMessage(WM_SYSCOMMAND, SC_KEYMENU, lParam);
      bConsumed = pMenuBar->GetTrackingMode() != 0;
      if (c.key == Key::ShiftAlt) {
        user::InjectKey(VK_SHIFT, false);
        cbtest::Pump();
      }
    }
    EXPECT_EQ(bConsumed != FALSE, c.consumed);
    EXPECT_EQ(State(pMenuBar), c.state);
    frame.GetCommandBars()->ClosePopups();
    cbtest::Pump();
  }
}

TEST(MenuBar, TakesTheWindowsMenuFromTheFrameAndLaysOutAsAFullRow)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(500, 300));
  HMENU hFrameMenu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(129));
  ::SetMenu(frame.GetSafeHwnd(), hFrameMenu);
  CTKMenuBar* pMenuBar = frame.AddMenuBar(128);
  ASSERT_NE(pMenuBar, nullptr);
  EXPECT_EQ(::GetMenu(frame.GetSafeHwnd()), nullptr);
  EXPECT_EQ(pMenuBar->GetSavedFrameMenu(), hFrameMenu);
  EXPECT_EQ(frame.GetCommandBars()->GetMenuBar(), pMenuBar);
  EXPECT_EQ(frame.GetCommandBars()->GetMenuID(), 128u);
  EXPECT_EQ(pMenuBar->GetFlags(), TK_DOCK_MENUBAR_FLAGS);
  EXPECT_EQ(pMenuBar->GetControlCount(), 3);
  EXPECT_EQ(pMenuBar->GetControls()->FindControl(TK_ID_TOOLBAR_EXPAND), nullptr);

  // A toolbar dropped into its row is put in a row of its own.
  CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
  frame.RecalcLayout();
  CRect rcDrop(CPoint(300, 2), CDockFrame::BarRect(pStandard).Size());
  frame.Dock(tkBarTop)->ClientToScreen(&rcDrop);
  frame.GetCommandBars()->DockCommandBar(pStandard, rcDrop, frame.Dock(tkBarTop));
  frame.RecalcLayout();
  EXPECT_EQ(frame.Rows(tkBarTop), "|Standard|Menu|");
  EXPECT_EQ(CDockFrame::BarRect(pMenuBar).Width(), 500);

  // A menu that does not exist makes no menu bar.
  EXPECT_EQ(frame.GetCommandBars()->SetMenu("Menu", 999), nullptr);
  EXPECT_EQ(frame.GetCommandBars()->GetMenuBar(), pMenuBar);
  EXPECT_EQ(frame.Rows(tkBarTop), "|Standard|Menu|");
}

// A frame that handles the customise command, so that its bars may be reset.
class CCustomizingFrame : public CDockFrame {
public:
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
  {
    if (nID == TK_ID_CUSTOMIZE && nCode == CN_COMMAND)
      return TRUE;
    return CDockFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  }
};

std::string Titles(CTKCommandBar* pBar)
{
  std::string out;
  for (int i = 0; i < pBar->GetControlCount(); ++i)
    out += (out.empty() ? "" : " ") + std::string(static_cast<LPCSTR>(pBar->GetControl(i)->GetCaption()));
  return out;
}

TEST(MenuBar, ResetAsksAndBringsBackTheBuiltMenuFromItsCopyOrFromTheMenu)
{
  struct Case {
    const char* what;
    bool keepCopy;  // the bar holds the copy of its built controls
    int answer;
    const char* titles;
  };
  const Case cases[] = {
      {"from the copy", true, IDOK, "&File &Edit &View"},
      {"from the copy, cancelled", true, IDCANCEL, "&File &View Exit"},
      {"from the menu", false, IDOK, "&File &Edit &View"},
      {"from the menu, cancelled", false, IDCANCEL, "&File &View Exit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CCustomizingFrame frame;
    ASSERT_TRUE(frame.MakeDocked(500, 300));
    frame.GetCommandBars()->SetSite(&frame);
    CTKMenuBar* pMenuBar = frame.AddMenuBar(128);
    ASSERT_NE(pMenuBar, nullptr);
    if (!c.keepCopy)
      pMenuBar->GetControls()->SetOriginalControls(nullptr);
    pMenuBar->GetControls()->Remove(1);
    pMenuBar->GetControls()->Add(tkControlButton, 57665)->SetCaption("Exit");
    ASSERT_EQ(Titles(pMenuBar), "&File &View Exit");

    user::ScriptedResponder responder;
    responder.AnswerNext(c.answer);
    pMenuBar->Reset();
    ASSERT_EQ(responder.Asked().size(), 1u);
    EXPECT_EQ(responder.Asked()[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ(Titles(pMenuBar), c.titles);
    // The rebuilt titles open their menus again.
    if (c.answer == IDOK) {
      EXPECT_NE(pMenuBar->GetControl(1)->GetCommandBar(), nullptr);
    }
  }
}

}  // namespace
