// What a bar does with a click and with keys: the order of the site's notification and WM_COMMAND, and the
// keyboard moving through a menu bar and its popups.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/base/clock.h"
#include "platform/user/input.h"
#include "toolkit/paint/keyboard_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cbtest::CTestBar;
using cbtest::CTestFrame;

constexpr LPARAM kAltContext = LPARAM(1) << 29;

// "t<tracking> s<selected> p<popuped>" of a bar and of every open popup below it.
std::string State(CTKCommandBar* pBar)
{
  std::string out;
  for (int depth = 0; pBar && depth < 8; ++depth) {
    if (!out.empty())
      out += " > ";
    out += "t" + std::to_string(pBar->GetTrackingMode()) + " s" + std::to_string(pBar->GetSelected()) + " p" +
           std::to_string(pBar->GetPopuped());
    CTKControl* pOpen = pBar->GetControl(pBar->GetPopuped());
    pBar = pOpen ? pOpen->GetCommandBar() : nullptr;
  }
  return out;
}

void Key(UINT vk) { TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, vk, 0); }

// Alt+letter as the frame's filter sees it.
BOOL AltKey(CTestFrame& frame, UINT vk)
{
  MSG msg{};
  msg.hwnd = frame.GetSafeHwnd();
  msg.message = WM_SYSKEYDOWN;
  msg.wParam = vk;
  msg.lParam = kAltContext;
  return frame.GetCommandBars()->PreTranslateFrameMessage(&msg);
}

class BarInput : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(500, 300));
    frame_.ShowWindow(SW_SHOW);
    ::SetActiveWindow(frame_.GetSafeHwnd());
    // The mouse rests over the frame's empty middle, away from every bar an earlier test left it over.
    user::InjectMouseMove(CPoint(450, 250));
    cbtest::Pump();
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->ClosePopups();
    cbtest::Pump();
  }
  CTestFrame frame_;
};

TEST_F(BarInput, AClickSendsTheNotificationThenTheCommandUnlessAnswered)
{
  CTestBar* pBar = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 500, 28));
  ASSERT_NE(pBar, nullptr);
  struct Case {
    const char* what;
    int id;
    LRESULT answer;
    BOOL enabled;
    int releaseOffset;  // horizontal distance of the release from the press after a move
    BOOL executes;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"plain click", 57600, 0, TRUE, 0, TRUE, {"10338 id 57600 code 100", "WM_COMMAND 57600"}},
      {"the site handles the notification", 57600, 1, TRUE, 0, TRUE, {"10338 id 57600 code 100"}},
      {"a control without command", 0, 0, TRUE, 0, TRUE, {}},
      {"disabled", 57601, 0, FALSE, 0, FALSE, {}},
      {"released outside after moving", 57601, 0, TRUE, 200, FALSE, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    pBar->GetControls()->RemoveAll();
    CTKControl* pControl = pBar->GetControls()->Add(tkControlButton, c.id);
    pControl->SetCaption("Button");
    pControl->SetEnabled(c.enabled);
    pBar->OnRecalcLayout();
    frame_.m_notifyAnswer = c.answer;
    frame_.m_log.clear();
    CPoint pt = pControl->GetRect().CenterPoint();
    pBar->ClientToScreen(&pt);
    user::InjectMouseMove(pt);
    user::InjectMouseButton(VK_LBUTTON, true);
    if (c.releaseOffset != 0)
      user::InjectMouseMove(CPoint(pt.x + c.releaseOffset, pt.y));
    user::InjectMouseButton(VK_LBUTTON, false);
    cbtest::Pump();
    EXPECT_EQ(frame_.m_log, c.log);
    EXPECT_EQ(pControl->GetPressed(), c.executes ? 2 : 0);  // 2 once executed, until the next update
  }
}

TEST_F(BarInput, KeysMoveAcrossTheMenuBarAndItsPopups)
{
  CTestBar* pMenu = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 128);
  ASSERT_NE(pMenu, nullptr);
  CTKCommandBars* pBars = frame_.GetCommandBars();
  ASSERT_EQ(pBars->GetMenuBar(), pMenu);
  struct Step {
    const char* what;
    UINT key;  // 0: Alt alone (the menu bar's activation)
    const char* state;
  };
  const Step steps[] = {
      {"Alt alone selects the first item", 0, "t1 s0 p-1"},
      {"Down opens File with its first item", VK_DOWN, "t2 s0 p0 > t1 s0 p-1"},
      {"Down", VK_DOWN, "t2 s0 p0 > t1 s1 p-1"},
      {"Down to the Export submenu item", VK_DOWN, "t2 s0 p0 > t1 s2 p-1"},
      {"Right opens the submenu", VK_RIGHT, "t2 s0 p0 > t2 s2 p2 > t1 s0 p-1"},
      {"Down in the submenu reaches the disabled item", VK_DOWN, "t2 s0 p0 > t2 s2 p2 > t1 s1 p-1"},
      {"Left closes only the submenu", VK_LEFT, "t2 s0 p0 > t1 s2 p-1"},
      {"Escape returns to the menu bar", VK_ESCAPE, "t1 s0 p-1"},
      {"Down opens File again", VK_DOWN, "t2 s0 p0 > t1 s0 p-1"},
      {"Right on an item without submenu opens the next menu", VK_RIGHT, "t2 s1 p1 > t1 s0 p-1"},
      {"Right again", VK_RIGHT, "t2 s2 p2 > t1 s0 p-1"},
      {"Right from the last menu wraps to the first", VK_RIGHT, "t2 s0 p0 > t1 s0 p-1"},
      {"Left in a first-level menu opens the previous one", VK_LEFT, "t2 s2 p2 > t1 s0 p-1"},
      {"Escape", VK_ESCAPE, "t1 s2 p-1"},
      {"Escape on the menu bar ends tracking", VK_ESCAPE, "t0 s-1 p-1"},
  };
  for (const Step& step : steps) {
    if (step.key == 0)
      EXPECT_TRUE(pBars->ActivateBar(pMenu, 0));
    else
      Key(step.key);
    EXPECT_EQ(State(pMenu), step.state) << step.what;
  }
  EXPECT_EQ(TKKeyboardManager()->GetClientCount(), 0);
}

TEST_F(BarInput, AltLetterOpensASingleMatchAndOnlySelectsOneOfTwo)
{
  CTestBar* pMenu = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 128);
  ASSERT_NE(pMenu, nullptr);
  EXPECT_FALSE(AltKey(frame_, 0x66));  // keypad digits never match
  EXPECT_TRUE(AltKey(frame_, 'V'));
  EXPECT_EQ(State(pMenu), "t2 s2 p2 > t1 s0 p-1");
  frame_.GetCommandBars()->ClosePopups();
  EXPECT_EQ(State(pMenu), "t0 s-1 p-1");

  CTKCommandBars* pBars = frame_.GetCommandBars();
  pBars->Remove(pMenu);
  CTestBar* pTwoF = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 129);
  ASSERT_EQ(pBars->GetMenuBar(), pTwoF);
  EXPECT_TRUE(AltKey(frame_, 'F'));
  EXPECT_EQ(State(pTwoF), "t1 s0 p-1");  // File and Format share F: selected, not opened
  Key('H');  // the bar tracks now: the letter reaches it through the keyboard hook
  EXPECT_EQ(State(pTwoF), "t2 s2 p2 > t1 s0 p-1");

  pBars->GetCommandBarsOptions()->keyboardCuesUse = 2;
  pBars->ClosePopups();
  EXPECT_FALSE(AltKey(frame_, 'H'));
  EXPECT_EQ(State(pTwoF), "t0 s-1 p-1");
}

TEST_F(BarInput, KeysMatchAnItemLetterInsideAPopup)
{
  CTestBar* pMenu = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 128);
  ASSERT_TRUE(AltKey(frame_, 'F'));
  frame_.m_log.clear();
  Key('O');  // "&Open..." executes and closes every popup
  cbtest::Pump();
  EXPECT_EQ(frame_.m_log, (std::vector<std::string>{"10338 id 57601 code 100", "WM_COMMAND 57601"}));
  EXPECT_EQ(State(pMenu), "t0 s-1 p-1");
}

}  // namespace

namespace {

MSG FrameKey(CWnd& frame, UINT message, UINT vk)
{
  MSG msg{};
  msg.hwnd = frame.GetSafeHwnd();
  msg.message = message;
  msg.wParam = vk;
  msg.lParam = message == WM_SYSKEYDOWN ? kAltContext : 0;
  return msg;
}

TEST_F(BarInput, KeyboardCuesFollowAltOnlyWhenTheSystemHidesThem)
{
  frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 128);
  CTKCommandBars* pBars = frame_.GetCommandBars();
  BOOL old = TRUE;
  ::SystemParametersInfo(SPI_GETKEYBOARDCUES, 0, &old, 0);
  ::SystemParametersInfo(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(FALSE)), 0);
  struct Case {
    int mode;
    BOOL before;
    BOOL withAlt;
    BOOL after;
  };
  const Case cases[] = {{2, FALSE, TRUE, FALSE}, {0, TRUE, TRUE, TRUE}, {1, FALSE, FALSE, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    pBars->GetCommandBarsOptions()->SetKeyboardCuesShow(c.mode);
    EXPECT_EQ(pBars->IsKeyboardCuesVisible(), c.before);
    MSG down = FrameKey(frame_, WM_SYSKEYDOWN, VK_MENU);
    EXPECT_FALSE(pBars->PreTranslateFrameMessage(&down));  // Alt itself goes on to the frame
    EXPECT_EQ(pBars->IsKeyboardCuesVisible(), c.withAlt);
    MSG up = FrameKey(frame_, WM_SYSKEYUP, VK_MENU);
    pBars->PreTranslateFrameMessage(&up);
    EXPECT_EQ(pBars->IsKeyboardCuesVisible(), c.after);
  }
  ::SystemParametersInfo(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(old)), 0);
}

}  // namespace

namespace {

TEST_F(BarInput, AClickOpensAMenuAndHoveringASubmenuItemOpensItAfterTheDelay)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  CTestBar* pMenu = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 128);
  auto at = [](CTKCommandBar* pBar, int nIndex) {
    CPoint pt = pBar->GetControl(nIndex)->GetRect().CenterPoint();
    pBar->ClientToScreen(&pt);
    return pt;
  };
  user::InjectClick(at(pMenu, 0));
  cbtest::Pump();
  EXPECT_EQ(State(pMenu), "t2 s0 p0 > t1 s-1 p-1");
  CTKCommandBar* pFile = pMenu->GetControl(0)->GetCommandBar();

  user::InjectMouseMove(at(pFile, 2));  // over "Export"
  cbtest::Pump();
  EXPECT_EQ(State(pMenu), "t2 s0 p0 > t1 s2 p-1");
  clock.Advance(250);
  cbtest::Pump();
  EXPECT_EQ(State(pMenu), "t2 s0 p0 > t1 s2 p-1");  // not yet
  clock.Advance(60);
  cbtest::Pump();
  EXPECT_EQ(State(pMenu), "t2 s0 p0 > t2 s2 p2 > t1 s-1 p-1");

  user::InjectMouseMove(at(pFile, 3));  // over "Exit": the submenu closes after the delay
  cbtest::Pump();
  clock.Advance(310);
  cbtest::Pump();
  EXPECT_EQ(State(pMenu), "t2 s0 p0 > t2 s3 p-1");

  user::InjectMouseMove(at(pMenu, 1));  // along the menu bar in menu mode: Edit opens at once
  cbtest::Pump();
  EXPECT_EQ(State(pMenu), "t2 s1 p1 > t1 s-1 p-1");
  user::InjectClick(at(pMenu, 1));  // a second click on the open title closes the menu
  cbtest::Pump();
  EXPECT_EQ(State(pMenu), "t0 s1 p-1");
}

}  // namespace

namespace {

TEST_F(BarInput, ASplitButtonExecutesLeftOfItsArrowAndOpensOnIt)
{
  CTestBar* pBar = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 500, 28));
  // No menu resource of that id: the control keeps it as its command, with an empty popup of its own.
  CTKControl* pSplit = pBar->GetControls()->Add(tkControlSplitButtonPopup, 32800);
  pSplit->SetCaption("Export");
  pSplit->SetStyle(1);
  auto* pPopup = static_cast<CTKControlPopup*>(pSplit);
  ASSERT_NE(pPopup->GetCommandBar(), nullptr);
  pPopup->GetCommandBar()->GetControls()->Add(tkControlButton, 32801);
  pBar->OnRecalcLayout();
  const CRect rc = pSplit->GetRect();
  auto click = [&](int x) {
    CPoint pt(x, rc.CenterPoint().y);
    pBar->ClientToScreen(&pt);
    user::InjectClick(pt);
    cbtest::Pump();
  };
  frame_.m_log.clear();
  click(rc.left + 4);
  EXPECT_EQ(frame_.m_log, (std::vector<std::string>{"10338 id 32800 code 100", "WM_COMMAND 32800"}));
  EXPECT_FALSE(pPopup->IsPopuped());
  frame_.m_log.clear();
  click(rc.right - 5);
  EXPECT_TRUE(frame_.m_log.empty());
  EXPECT_TRUE(pPopup->IsPopuped());
  EXPECT_EQ(pBar->GetPopuped(), pSplit->GetIndex());
}

TEST_F(BarInput, SelectingAControlTellsTheSiteAndShowsItsDescription)
{
  CTestBar* pBar = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 500, 28));
  CTKControl* pOpen = pBar->GetControls()->Add(tkControlButton, 57601);
  CTKControl* pPlain = pBar->GetControls()->Add(tkControlButton, 0);
  pPlain->SetCaption("Plain");
  pBar->OnRecalcLayout();
  frame_.m_log.clear();
  frame_.m_logSelection = true;
  pBar->SetSelected(pOpen->GetIndex(), TRUE);
  pBar->SetSelected(pPlain->GetIndex(), TRUE);
  frame_.GetCommandBars()->GetCommandBarsOptions()->bShowControlDescriptions = FALSE;
  pBar->SetSelected(-1, TRUE);
  frame_.m_logSelection = false;
  EXPECT_EQ(frame_.m_log, (std::vector<std::string>{
                              "10326 selected", "message Open a project",  // Open selected
                              "10326 deselected", "idle message",          // Open deselected
                              "10326 selected", "idle message",            // Plain: no description
                              "10326 deselected",                          // descriptions switched off
                          }));
}

}  // namespace

namespace {

TEST_F(BarInput, ADoubleClickOnAMenuTitleRunsItsDefaultItem)
{
  CTestBar* pMenu = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 128);
  CTKControl* pFile = pMenu->GetControl(0);
  CPoint pt = pFile->GetRect().CenterPoint();
  frame_.m_log.clear();
  EXPECT_FALSE(pFile->OnLButtonDblClk(pt));  // no default item: the menu stays open
  EXPECT_EQ(State(pMenu), "t2 s0 p0 > t1 s-1 p-1");
  frame_.GetCommandBars()->ClosePopups();
  pFile->GetCommandBar()->GetControl(1)->SetItemDefault(TRUE);
  EXPECT_TRUE(pFile->OnLButtonDblClk(pt));
  cbtest::Pump();
  EXPECT_EQ(frame_.m_log, (std::vector<std::string>{"10338 id 57601 code 100", "WM_COMMAND 57601"}));
  EXPECT_EQ(State(pMenu), "t0 s-1 p-1");
}

TEST_F(BarInput, APressEndsWithoutExecutingWhenTheCaptureIsTakenAway)
{
  CTestBar* pBar = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 500, 28));
  CTKControl* pButton = pBar->GetControls()->Add(tkControlButton, 57600);
  pBar->OnRecalcLayout();
  frame_.m_log.clear();
  // A message posted before the press takes the capture away while the press loop runs.
  ::PostMessage(pBar->GetSafeHwnd(), WM_CANCELMODE, 0, 0);
  CPoint pt = pButton->GetRect().CenterPoint();
  pBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  EXPECT_TRUE(frame_.m_log.empty());
  EXPECT_EQ(pButton->GetPressed(), 0);
  EXPECT_EQ(::GetCapture(), nullptr);
}

}  // namespace
