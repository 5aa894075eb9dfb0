// Popup bars: where they open near the screen's edges, how a long menu scrolls and a shortened one expands on
// the virtual clock, the track call's loop and its answer, the tear-off drag, and the menu sounds they ask for.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/base/clock.h"
#include "platform/user/input.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/keyboard_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kChooseMessage = WM_APP + 7;

// A frame whose popup controls get the toolkit's own popup bars, and which chooses a control of a tracked popup
// when it hears kChooseMessage.
class CPopupFrame : public cbtest::CTestFrame {
public:
  CTKPopupBar* m_pChoose = nullptr;
  int m_nChooseIndex = 0;
  bool m_emptyContextMenu = false;
  // What the popup looked like when the choice was made: its window, and the lock of another open popup.
  CRect m_rcChosen;
  CTKCommandBar* m_pWatch = nullptr;
  int m_nWatchLock = -1;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
  {
    if (message == TKWM_CREATECOMMANDBAR)
      return CTKFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
    if (message == TKWM_POPUPBARINIT || message == TKWM_POPUPBARCLOSED)
      m_log.push_back(message == TKWM_POPUPBARINIT ? "10331" : "10333");
    if (message == TKWM_TOOLBARCONTEXTMENU) {
      auto* pPopup = reinterpret_cast<CTKPopupBar*>(lParam);
      m_log.push_back("10332 with " + std::to_string(pPopup->GetControlCount()) + " control");
      if (m_emptyContextMenu)
        pPopup->GetControls()->RemoveAll();
      return TRUE;
    }
    if (message == kChooseMessage && m_pChoose) {
      m_pChoose->GetWindowRect(&m_rcChosen);
      if (m_pWatch)
        m_nWatchLock = m_pWatch->m_nTrackLock;
      m_pChoose->GetControl(m_nChooseIndex)->OnExecute();
      return TRUE;
    }
    return cbtest::CTestFrame::OnWndMsg(message, wParam, lParam, pResult);
  }
};

// A popup whose tear-off shows a stand-in for the floating toolbar: the calls are recorded.
class CTearOffPopup : public CTKPopupBar {
public:
  std::vector<std::string> m_calls;

protected:
  BOOL ShowTornOffBar(CPoint ptScreen) override
  {
    m_calls.push_back("show " + std::to_string(ptScreen.x) + "," + std::to_string(ptScreen.y));
    return TRUE;
  }
  void HideTornOffBar() override { m_calls.push_back("hide"); }
};

class PopupBars : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(500, 300));
    frame_.ShowWindow(SW_SHOW);
    ::SetActiveWindow(frame_.GetSafeHwnd());
    user::InjectMouseMove(CPoint(450, 250));
    cbtest::Pump();
    work_ = CTKDrawHelpers::GetWorkArea(CPoint(0, 0));
    TKSoundManager().EnableSystemSounds(FALSE);
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->ClosePopups();
    cbtest::Pump();
    TKSoundManager().EnableSystemSounds(TRUE);
  }
  // A popup of `count` commands 32900, 32901...
  CTKPopupBar* MakePopup(int count, CTKPopupBar* pPopup = nullptr)
  {
    if (!pPopup)
      pPopup = CTKPopupBar::CreatePopupBar(frame_.GetCommandBars());
    pPopup->SetCommandBars(frame_.GetCommandBars());
    for (int i = 0; i < count; ++i)
      pPopup->GetControls()->Add(tkControlButton, 32900 + i)->SetCaption(("Command " + std::to_string(i)).c_str());
    return pPopup;
  }
  CRect WindowRect(CWnd* pWnd)
  {
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
  }
  CPoint OnScreen(CWnd* pWnd, CPoint pt)
  {
    pWnd->ClientToScreen(&pt);
    return pt;
  }

  CPopupFrame frame_;
  CRect work_;
};

TEST_F(PopupBars, PopupsKeepOnTheScreenOpeningAboveOrLeftAndScrollingOnTheRoomierSide)
{
  struct Case {
    const char* what;
    int count;
    int flags;
    CPoint point;
    CRect exclude;  // relative to the work area's bottom-right corner when `fromCorner`
    bool fromCorner;
    const char* expect;  // "above", "below", "left of", "up-left of point"
    bool scrolls;
  };
  const Case cases[] = {
      {"a context menu at the bottom-right corner", 5, 0, CPoint(-1, -1), CRect(), true, "up-left of point", false},
      {"a menu-bar item near the bottom", 5, TK_POPUP_DOWN, CPoint(), CRect(-300, -40, -240, -20), true, "above",
       false},
      {"a submenu at the right edge", 5, 0, CPoint(), CRect(-120, -300, -2, -280), true, "left of", false},
      {"a tall menu under an item near the top", 80, TK_POPUP_DOWN, CPoint(), CRect(100, 100, 160, 120), false,
       "below", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CTKPopupBar* pPopup = MakePopup(c.count);
    CRect rcExclude = c.exclude;
    CPoint pt = c.point;
    if (c.fromCorner) {
      if (!rcExclude.IsRectNull())
        rcExclude.OffsetRect(work_.right, work_.bottom);
      pt = CPoint(pt.x + work_.right, pt.y + work_.bottom);
    }
    pPopup->SetDirectionFlags(c.flags);
    if (rcExclude.IsRectNull())
      ASSERT_TRUE(pPopup->PopupAt(pt.x, pt.y));
    else
      ASSERT_TRUE(pPopup->PopupAt((c.flags & TK_POPUP_DOWN) ? rcExclude.left : rcExclude.right,
                                  (c.flags & TK_POPUP_DOWN) ? rcExclude.bottom : rcExclude.top, &rcExclude));
    CRect rc = WindowRect(pPopup);
    EXPECT_GE(rc.left, work_.left);
    EXPECT_LE(rc.right, work_.right);
    EXPECT_GE(rc.top, work_.top);
    EXPECT_LE(rc.bottom, work_.bottom);
    std::string expect = c.expect;
    if (expect == "up-left of point") {
      EXPECT_EQ(rc.bottom, pt.y);
      EXPECT_LE(rc.right, pt.x + 1);
    } else if (expect == "above") {
      EXPECT_EQ(rc.bottom, rcExclude.top);
    } else if (expect == "left of") {
      EXPECT_EQ(rc.right, rcExclude.left);
      EXPECT_TRUE(pPopup->GetDirectionFlags() & TK_POPUP_LEFT);
    } else {
      EXPECT_EQ(rc.top, rcExclude.bottom);
      EXPECT_EQ(rc.bottom, work_.bottom - 5);
    }
    EXPECT_EQ(pPopup->IsScrolling(), c.scrolls);
    pPopup->SetTrackingMode(0, TRUE, FALSE);
    EXPECT_EQ(pPopup->GetSafeHwnd(), nullptr);  // the window lives only while the popup is open
    pPopup->InternalRelease();
  }
}

TEST_F(PopupBars, ALongMenuScrollsOneItemPerTickWhileTheMouseRestsOnItsArrow)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  CTKPopupBar* pPopup = MakePopup(80);
  ASSERT_TRUE(pPopup->PopupAt(work_.left + 10, work_.top + 10));
  ASSERT_TRUE(pPopup->IsScrolling());
  EXPECT_EQ(pPopup->GetFirstShown(), 0);
  EXPECT_TRUE(pPopup->GetScrollUpRect().IsRectEmpty());
  ASSERT_FALSE(pPopup->GetScrollDownRect().IsRectEmpty());
  int nEnd = pPopup->GetEndShown();
  ASSERT_LT(nEnd, 80);
  EXPECT_TRUE(pPopup->GetControl(nEnd)->GetHideFlags() & TK_HIDEPOPUPLAYOUT);
  EXPECT_FALSE(pPopup->GetControl(nEnd - 1)->GetHideFlags() & TK_HIDEPOPUPLAYOUT);

  user::InjectMouseMove(OnScreen(pPopup, pPopup->GetScrollDownRect().CenterPoint()));
  cbtest::Pump();
  clock.Advance(79);
  cbtest::Pump();
  EXPECT_EQ(pPopup->GetEndShown(), nEnd);
  clock.Advance(1);
  cbtest::Pump();
  EXPECT_EQ(pPopup->GetEndShown(), nEnd + 1);
  EXPECT_FALSE(pPopup->GetScrollUpRect().IsRectEmpty());
  EXPECT_GT(pPopup->GetFirstShown(), 0);
  for (int tick = 0; tick < 80 && pPopup->GetEndShown() < 80; ++tick) {
    clock.Advance(80);
    cbtest::Pump();
  }
  EXPECT_EQ(pPopup->GetEndShown(), 80);
  EXPECT_TRUE(pPopup->GetScrollDownRect().IsRectEmpty());  // the last item is shown: no arrow below it
  EXPECT_FALSE(pPopup->GetControl(79)->GetHideFlags() & TK_HIDEPOPUPLAYOUT);

  // Selecting an item scrolled out above brings it back into view.
  pPopup->SetSelected(0, TRUE);
  EXPECT_EQ(pPopup->GetFirstShown(), 0);
  EXPECT_FALSE(pPopup->GetControl(0)->GetHideFlags() & TK_HIDEPOPUPLAYOUT);
  pPopup->SetTrackingMode(0, TRUE, FALSE);
  pPopup->InternalRelease();
}

TEST_F(PopupBars, HiddenCommandsExpandAfterTheChevronIsHoveredAndLaterMenusOpenExpanded)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  CTKCommandBars* pBars = frame_.GetCommandBars();
  pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  const UINT hidden[] = {32901, 32902};
  pBars->HideCommands(hidden, 2);

  CTKPopupBar* pPopup = MakePopup(4);
  ASSERT_TRUE(pPopup->PopupAt(200, 100));
  ASSERT_TRUE(pPopup->HasHiddenCommands());
  EXPECT_FALSE(pPopup->IsExpanded());
  EXPECT_EQ(pPopup->GetControl(1)->GetHideFlags(), TK_HIDEUSAGE);
  EXPECT_EQ(pPopup->GetControl(2)->GetHideFlags(), TK_HIDEUSAGE);
  CTKControl* pChevron = pPopup->GetControls()->FindControl(TK_ID_POPUPEXPAND);
  ASSERT_NE(pChevron, nullptr);
  EXPECT_TRUE(pChevron->IsVisible());
  EXPECT_GE(pChevron->GetRect().top, pPopup->GetControl(3)->GetRect().bottom);
  int nShortHeight = WindowRect(pPopup).Height();

  user::InjectMouseMove(OnScreen(pPopup, pChevron->GetRect().CenterPoint()));
  cbtest::Pump();
  EXPECT_EQ(pPopup->GetSelected(), pChevron->GetIndex());
  clock.Advance(899);
  cbtest::Pump();
  EXPECT_FALSE(pPopup->IsExpanded());
  clock.Advance(1);
  cbtest::Pump();
  EXPECT_TRUE(pPopup->IsExpanded());
  EXPECT_TRUE(pPopup->GetControl(1)->IsVisible());
  EXPECT_TRUE(pPopup->GetControl(2)->IsVisible());
  EXPECT_FALSE(pChevron->IsVisible());
  EXPECT_GT(WindowRect(pPopup).Height(), nShortHeight);
  EXPECT_TRUE(TKMouseManager()->m_bExpandedMenus);

  // While tracking goes on, a second menu opens expanded at once.
  CTKPopupBar* pSecond = MakePopup(3);
  ASSERT_TRUE(pSecond->PopupAt(400, 100));
  EXPECT_TRUE(pSecond->IsExpanded());
  EXPECT_TRUE(pSecond->GetControl(1)->IsVisible());
  pBars->ClosePopups();
  EXPECT_FALSE(TKMouseManager()->m_bExpandedMenus);

  // A menu made only of hidden commands shows them all, without a chevron.
  CTKPopupBar* pAllHidden = CTKPopupBar::CreatePopupBar(pBars);
  pAllHidden->GetControls()->Add(tkControlButton, 32901)->SetCaption("One");
  pAllHidden->GetControls()->Add(tkControlButton, 32902)->SetCaption("Two");
  ASSERT_TRUE(pAllHidden->PopupAt(200, 100));
  EXPECT_FALSE(pAllHidden->HasHiddenCommands());
  EXPECT_TRUE(pAllHidden->GetControl(0)->IsVisible());
  EXPECT_EQ(pAllHidden->GetControls()->FindControl(TK_ID_POPUPEXPAND), nullptr);
  pBars->ClosePopups();
  for (CTKPopupBar* p : {pPopup, pSecond, pAllHidden})
    p->InternalRelease();
}

TEST_F(PopupBars, TheTrackCallRunsUntilAChoiceAndReturnsOrSendsTheCommand)
{
  struct Case {
    const char* what;
    UINT flags;
    bool outerOpen;  // another popup is open when the track call comes
    int answer;
    std::vector<std::string> log;
    bool rightAligned;
    int outerLock;  // the other popup's lock while the new one runs; -1 without one
    bool outerStaysOpen;
  };
  const Case cases[] = {
      {"the command is sent", 0, false, 1, {"10331", "10333", "10338 id 32901 code 100", "WM_COMMAND 32901"}, false,
       -1, false},
      {"the command is returned", TPM_RETURNCMD, false, 32901, {"10331", "10333"}, false, -1, false},
      {"right-aligned at the point", TPM_RETURNCMD | TPM_RIGHTALIGN, false, 32901, {"10331", "10333"}, true, -1,
       false},
      {"an open popup closes first", TPM_RETURNCMD, true, 32901, {"10331", "10333", "10331", "10333"}, false, 0,
       false},
      {"nested over an open popup, which waits locked", TPM_RETURNCMD | TPM_RECURSE, true, 32901,
       {"10331", "10331", "10333"}, false, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    frame_.m_log.clear();
    CTKPopupBar* pOuter = nullptr;
    if (c.outerOpen) {
      pOuter = MakePopup(2);
      ASSERT_TRUE(pOuter->PopupAt(500, 400));
    }
    CTKPopupBar* pPopup = MakePopup(3);
    frame_.m_pChoose = pPopup;
    frame_.m_nChooseIndex = 1;
    frame_.m_pWatch = pOuter;
    frame_.m_nWatchLock = -1;
    frame_.PostMessage(kChooseMessage, 0, 0);
    int nAnswer = frame_.GetCommandBars()->TrackPopupMenu(pPopup, c.flags, 200, 150, &frame_);
    EXPECT_EQ(nAnswer, c.answer);
    EXPECT_EQ(frame_.m_log, c.log);
    EXPECT_FALSE(pPopup->IsTrackingMode());
    EXPECT_EQ(frame_.m_rcChosen.right == 200, c.rightAligned);
    EXPECT_EQ(frame_.m_rcChosen.top, 150);
    EXPECT_EQ(frame_.m_nWatchLock, c.outerLock);
    if (pOuter) {
      EXPECT_EQ(pOuter->IsTrackingMode() != 0, c.outerStaysOpen);
      EXPECT_EQ(pOuter->m_nTrackLock, 0);
      frame_.GetCommandBars()->ClosePopups();
      pOuter->InternalRelease();
    }
    frame_.m_pChoose = nullptr;
    frame_.m_pWatch = nullptr;
    pPopup->InternalRelease();
  }
}

TEST_F(PopupBars, DraggingTheTearOffGripperAwayShowsTheBarAndBackOrEscapeTakesItAway)
{
  struct Case {
    const char* what;
    std::vector<CPoint> moves;  // from the gripper's centre
    bool escape;
    std::vector<std::string> calls;
    bool closes;
  };
  const Case cases[] = {
      {"a move within 10 pixels", {CPoint(0, 8)}, false, {}, false},
      {"out and released", {CPoint(0, 40)}, false, {"show +0,+40"}, true},
      {"out and back", {CPoint(0, 40), CPoint(0, 5)}, false, {"show +0,+40", "hide"}, false},
      {"out and Escape", {CPoint(0, 40)}, true, {"show +0,+40", "hide"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto* pPopup = new CTearOffPopup;
    MakePopup(3, pPopup);
    pPopup->SetTearOffPopup("Tools", 1234);
    ASSERT_TRUE(pPopup->PopupAt(200, 100));
    ASSERT_FALSE(pPopup->GetGripperRect().IsRectEmpty());
    EXPECT_LE(pPopup->GetGripperRect().bottom, pPopup->GetControl(0)->GetRect().top);
    // Posted rather than injected: the queue would merge the moves into the last one.
    CPoint grip = pPopup->GetGripperRect().CenterPoint();
    CPoint centre = OnScreen(pPopup, grip);
    auto post = [&](UINT message, CPoint d) {
      pPopup->PostMessage(message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(grip.x + d.x, grip.y + d.y));
    };
    post(WM_LBUTTONDOWN, CPoint(0, 0));
    for (CPoint d : c.moves)
      post(WM_MOUSEMOVE, d);
    if (c.escape)
      pPopup->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    else
      post(WM_LBUTTONUP, c.moves.back());
    cbtest::Pump();
    std::vector<std::string> expected;
    for (const std::string& call : c.calls) {
      if (call.rfind("show", 0) == 0) {
        CPoint d = c.moves.front();
        expected.push_back("show " + std::to_string(centre.x + d.x) + "," + std::to_string(centre.y + d.y));
      } else {
        expected.push_back(call);
      }
    }
    EXPECT_EQ(pPopup->m_calls, expected);
    EXPECT_EQ(pPopup->IsTrackingMode() == 0, c.closes);  // a bar torn off closes the menus
    EXPECT_EQ(TKMouseManager()->m_nLock, 0);
    frame_.GetCommandBars()->ClosePopups();
    pPopup->InternalRelease();
  }
}

TEST_F(PopupBars, ATornOffMenuBecomesAFloatingToolbarOfItsCommandsThatGoesWhenHidden)
{
  CTKCommandBars* pBars = frame_.GetCommandBars();
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "released");
    CTKPopupBar* pPopup = MakePopup(3);
    pPopup->SetTearOffPopup("Tools", 1234, 250);
    ASSERT_TRUE(pPopup->PopupAt(200, 100));
    CPoint grip = pPopup->GetGripperRect().CenterPoint();
    CPoint cursor = OnScreen(pPopup, grip + CPoint(0, 60));
    pPopup->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip.x, grip.y));
    pPopup->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(grip.x, grip.y + 60));
    if (escape)
      pPopup->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    else
      pPopup->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(grip.x, grip.y + 60));
    cbtest::Pump();
    auto* pBar = dynamic_cast<CTKToolBar*>(pBars->GetToolBar(1234));
    if (escape) {
      EXPECT_EQ(pBar, nullptr);
    } else {
      ASSERT_NE(pBar, nullptr);
      EXPECT_TRUE(pBar->IsTearOff());
      EXPECT_EQ(pBar->GetPosition(), tkBarFloating);
      EXPECT_EQ(pBar->GetTitle(), CString("Tools"));
      // Copies of the three commands, beside the bar's own expand and hide buttons.
      for (UINT id : {32900u, 32901u, 32902u})
        EXPECT_NE(pBar->GetControls()->FindControl(id), nullptr) << id;
      CRect rc;
      pBar->GetWindowRect(&rc);
      EXPECT_TRUE(pBar->IsWindowVisible());
      EXPECT_EQ(rc.top, cursor.y - 10);
      EXPECT_NEAR(rc.CenterPoint().x, cursor.x, 1);
      pBar->SetVisible(FALSE);
      EXPECT_EQ(pBars->GetToolBar(1234), nullptr);
    }
    pBars->ClosePopups();
    pPopup->InternalRelease();
  }
}

TEST_F(PopupBars, AMenuBarTitleOpensItsMenuBelowItAndTheSubmenuBesideIt)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  CTKCommandBars* pBars = frame_.GetCommandBars();
  pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  const UINT hidden[] = {57601};
  pBars->HideCommands(hidden, 1);
  cbtest::CTestBar* pMenu = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 500, 24), 128);
  ASSERT_NE(pMenu, nullptr);
  auto* pFile = dynamic_cast<CTKPopupBar*>(pMenu->GetControl(0)->GetCommandBar());
  ASSERT_NE(pFile, nullptr);  // the site gave no bar: the toolkit's own popup bar
  CRect rcTitle = pMenu->GetControl(0)->GetRect();
  pMenu->ClientToScreen(&rcTitle);
  frame_.m_log.clear();
  user::InjectClick(rcTitle.CenterPoint());
  cbtest::Pump();
  ASSERT_TRUE(pFile->IsTrackingMode());
  EXPECT_EQ(frame_.m_log, std::vector<std::string>{"10331"});
  CRect rcFile = WindowRect(pFile);
  EXPECT_EQ(rcFile.top, rcTitle.bottom);
  EXPECT_LE(std::abs(rcFile.left - rcTitle.left), 1);
  EXPECT_EQ(pFile->GetControl(1)->GetHideFlags(), TK_HIDEUSAGE);  // "Open" is rarely used

  // Resting on the open title for the full-menus delay shows the rarely used commands.
  clock.Advance(4990);
  cbtest::Pump();
  EXPECT_FALSE(pFile->IsExpanded());
  clock.Advance(10);
  cbtest::Pump();
  EXPECT_TRUE(pFile->IsExpanded());
  EXPECT_TRUE(pFile->GetControl(1)->IsVisible());

  CTKControl* pExport = pFile->GetControls()->FindControl(tkControlPopup, -1, TRUE, FALSE);
  ASSERT_NE(pExport, nullptr);
  user::InjectMouseMove(OnScreen(pFile, pExport->GetRect().CenterPoint()));
  cbtest::Pump();
  clock.Advance(300);
  cbtest::Pump();
  auto* pExportBar = dynamic_cast<CTKPopupBar*>(pExport->GetCommandBar());
  ASSERT_NE(pExportBar, nullptr);
  ASSERT_TRUE(pExportBar->IsTrackingMode());
  CRect rcExport = WindowRect(pExportBar);
  // Beside the item: its right edge, give or take the theme's pixel.
  EXPECT_LE(std::abs(rcExport.left - OnScreen(pFile, pExport->GetRect().BottomRight()).x), 1);
  EXPECT_LE(std::abs(rcExport.top - OnScreen(pFile, pExport->GetRect().TopLeft()).y), 1);

  frame_.m_log.clear();
  TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(pExportBar->IsTrackingMode());
  EXPECT_EQ(pExportBar->GetSafeHwnd(), nullptr);
  EXPECT_TRUE(pFile->IsTrackingMode());
  EXPECT_EQ(frame_.m_log, std::vector<std::string>{"10333"});
}

TEST_F(PopupBars, TheToolbarsMenuIsOfferedToTheSiteAndNotShownWhenLeftEmpty)
{
  CTKCommandBars* pBars = frame_.GetCommandBars();
  cbtest::CTestBar* pBar = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 500, 28));
  frame_.m_log.clear();
  frame_.m_emptyContextMenu = true;
  pBars->ContextMenu(pBar, CPoint(100, 100));
  EXPECT_EQ(frame_.m_log, std::vector<std::string>{"10332 with 1 control"});
  EXPECT_EQ(TKMouseManager()->GetTrackedBarCount(), 0);
}

// Exposes the kind of opening animation a popup would use.
class CAnimationProbe : public CTKPopupBar {
public:
  int Kind() const { return GetAnimationType(); }
};

TEST_F(PopupBars, TheOpeningAnimationFollowsTheOptionOrTheSystemSettings)
{
  struct Case {
    const char* what;
    int option;
    BOOL systemAnimation;
    BOOL systemFade;
    std::vector<int> kinds;  // any of these
  };
  const Case cases[] = {
      {"system without menu animation", 0, FALSE, TRUE, {5}},
      {"system unfolding", 0, TRUE, FALSE, {3}},
      {"system fading", 0, TRUE, TRUE, {4}},
      {"random", 1, FALSE, FALSE, {2, 3, 4}},
      {"a kind of its own", 2, FALSE, FALSE, {2}},
  };
  CTKCommandBarsOptions* pOptions = frame_.GetCommandBars()->GetCommandBarsOptions();
  auto* pProbe = new CAnimationProbe;
  pProbe->SetCommandBars(frame_.GetCommandBars());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    pOptions->animationType = c.option;
    ::SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(c.systemAnimation)), 0);
    ::SystemParametersInfo(SPI_SETMENUFADE, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(c.systemFade)), 0);
    for (int i = 0; i < 12; ++i) {
      int kind = pProbe->Kind();
      EXPECT_NE(std::find(c.kinds.begin(), c.kinds.end(), kind), c.kinds.end()) << kind;
    }
  }
  pProbe->SetCommandBars(nullptr);
  EXPECT_EQ(pProbe->Kind(), 5);  // without command bars, never
  pOptions->animationType = 0;
  ::SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(FALSE)), 0);
  ::SystemParametersInfo(SPI_SETMENUFADE, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(FALSE)), 0);
  pProbe->InternalRelease();
}

TEST_F(PopupBars, DownOnTheLastShownCommandOrCtrlDownExpandsAShortenedMenu)
{
  CTKCommandBars* pBars = frame_.GetCommandBars();
  pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  const UINT hidden[] = {32901};
  pBars->HideCommands(hidden, 1);
  struct Case {
    const char* what;
    int selectFirst;  // control selected before the key
    bool ctrl;
    bool expands;
  };
  const Case cases[] = {
      {"Down in the middle moves on", 0, false, false},
      {"Down on the last shown command", 2, false, true},
      {"Ctrl+Down anywhere", 0, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CTKPopupBar* pPopup = MakePopup(3);
    ASSERT_TRUE(pPopup->PopupAt(200, 100));
    ASSERT_TRUE(pPopup->HasHiddenCommands());
    if (c.ctrl)
      user::InjectKey(VK_CONTROL, true);
    cbtest::Pump();
    pPopup->SetSelected(c.selectFirst, TRUE);
    TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_DOWN, 0);
    if (c.ctrl) {
      user::InjectKey(VK_CONTROL, false);
      cbtest::Pump();
    }
    EXPECT_EQ(pPopup->IsExpanded() != 0, c.expands);
    pBars->ClosePopups();
    pPopup->InternalRelease();
  }
}

TEST_F(PopupBars, APopupToolBarLaysItsButtonsOutInsideItsBorders)
{
  CTKPopupToolBar* pPopup = CTKPopupToolBar::CreatePopupToolBar(frame_.GetCommandBars());
  MakePopup(4, pPopup);
  pPopup->SetBorders(CRect(2, 4, 2, 4));
  ASSERT_TRUE(pPopup->PopupAt(200, 100));
  CRect rcClient;
  pPopup->GetClientRect(&rcClient);
  for (int i = 0; i < pPopup->GetControlCount(); ++i) {
    CRect rc = pPopup->GetControl(i)->GetRect();
    EXPECT_GE(rc.left, 2);
    EXPECT_GE(rc.top, 4);
    EXPECT_LE(rc.right, rcClient.right - 2);
    EXPECT_LE(rc.bottom, rcClient.bottom - 4);
  }
  EXPECT_EQ(pPopup->GetType(), tkBarTypeNormal);
  frame_.GetCommandBars()->ClosePopups();
  pPopup->InternalRelease();
}

TEST_F(PopupBars, AClonedPopupKeepsItsClassAndTearOffAndShadowSettings)
{
  CTKPopupToolBar* pPopup = CTKPopupToolBar::CreatePopupToolBar(frame_.GetCommandBars());
  MakePopup(2, pPopup);
  pPopup->SetTearOffPopup("Tools", 1234, 250);
  pPopup->SetShowShadow(FALSE);
  CTKCommandBar* pClone = pPopup->Clone(TRUE);
  auto* pClonedPopup = dynamic_cast<CTKPopupToolBar*>(pClone);
  ASSERT_NE(pClonedPopup, nullptr);
  EXPECT_TRUE(pClonedPopup->IsTearOffPopup());
  EXPECT_FALSE(pClonedPopup->GetShowShadow());
  EXPECT_EQ(pClonedPopup->GetControlCount(), 2);
  EXPECT_EQ(pClonedPopup->GetType(), tkBarTypeNormal);
  pClone->InternalRelease();
  pPopup->InternalRelease();
}

// Sounds as the thread plays them.
std::mutex g_soundsMutex;
std::vector<std::string> g_sounds;
BOOL RecordSound(LPCSTR sound, HMODULE, DWORD)
{
  std::lock_guard lock(g_soundsMutex);
  if (sound)
    g_sounds.push_back(sound);
  return TRUE;
}

TEST_F(PopupBars, OpeningAMenuAndClickingAnItemPlayTheirSoundsInOrder)
{
  TKSoundManager().EnableSystemSounds(TRUE);
  TKSoundManager().SetPlayer(&RecordSound);
  g_sounds.clear();
  auto waitIdle = [] {
    for (int i = 0; i < 2000 && TKSoundManager().GetState() != CTKSoundManager::stateIdle; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  CTKPopupBar* pPopup = MakePopup(2);
  // The frame has no handlers: the update as the popup opens would disable the command.
  pPopup->GetControl(0)->SetFlags(TK_FLAG_MANUALUPDATE);
  ASSERT_TRUE(pPopup->PopupAt(200, 100));
  waitIdle();
  // A click on the item: the popup closes (its window goes) while it handles the release.
  TKMouseManager()->m_bEatNextRelease = FALSE;
  frame_.m_log.clear();
  user::InjectClick(OnScreen(pPopup, pPopup->GetControl(0)->GetRect().CenterPoint()));
  cbtest::Pump();
  EXPECT_EQ(pPopup->GetSafeHwnd(), nullptr);
  EXPECT_EQ(frame_.m_log, (std::vector<std::string>{"10333", "10338 id 32900 code 100", "WM_COMMAND 32900"}));
  waitIdle();
  TKSoundManager().SetPlayer(nullptr);
  {
    std::lock_guard lock(g_soundsMutex);
    EXPECT_EQ(g_sounds, (std::vector<std::string>{"MenuPopup", "MenuCommand"}));
  }
  pPopup->InternalRelease();
}

}  // namespace
