// Control bars in a frame: RepositionBars hands each bar its edge in the order the bars were made and the view
// what remains; hidden bars give their space back; the bar state goes through the profile.
#include "tests/platform/mfc/bar_frame.h"

#include <ostream>

// Rectangles as a person reads them in a failure message.
inline void PrintTo(const CRect& r, std::ostream* os)
{
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace mfctest {
namespace {

// The bars' thickness: the toolbar's 22-pixel buttons plus its 2-pixel line under the menu; the view toolbar's
// 23-pixel buttons plus 2 + 2 pixels of border; the status bar's font line with its borders; the dialog bar's
// 64 dialog units at 6 pixels for 4 units.
constexpr int kToolbarHeight = 24;
constexpr int kViewBarWidth = 27;
constexpr int kStatusHeight = 18;
constexpr int kDialogBarWidth = 96;

TEST_F(BarsTest, EachBarTakesItsEdgeInTheOrderTheBarsWereMadeAndTheViewGetsWhatRemains)
{
  struct Case {
    CSize frame;
    CRect status, standard, viewBar, calculation, view;
  };
  const Case cases[] = {
      {{640, 480},
       {0, 462, 640, 480},
       {0, 0, 640, 24},
       {0, 24, 27, 462},
       {544, 24, 640, 462},
       {27, 24, 544, 462}},
      {{800, 600},
       {0, 582, 800, 600},
       {0, 0, 800, 24},
       {0, 24, 27, 582},
       {704, 24, 800, 582},
       {27, 24, 704, 582}},
      // Too narrow for everything: the dialog bar gets what the left bar leaves, the view keeps an empty place.
      {{120, 90}, {0, 72, 120, 90}, {0, 0, 120, 24}, {0, 24, 27, 72}, {27, 24, 120, 72}, {27, 24, 27, 72}},
  };
  static_assert(kToolbarHeight == 24 && kViewBarWidth == 27 && kStatusHeight == 18 && kDialogBarWidth == 96);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frame.cx << " x " << c.frame.cy);
    Resize(c.frame.cx, c.frame.cy);
    EXPECT_EQ(InFrame(frame_->m_status), c.status);
    EXPECT_EQ(InFrame(frame_->m_standard), c.standard);
    EXPECT_EQ(InFrame(frame_->m_viewBar), c.viewBar);
    EXPECT_EQ(InFrame(frame_->m_calculation), c.calculation);
    EXPECT_EQ(InFrame(frame_->m_view), c.view);
  }
}

TEST_F(BarsTest, AHiddenBarGivesItsSpaceBackAtOnceOrAtTheNextIdleTime)
{
  ASSERT_EQ(InFrame(frame_->m_view), CRect(27, 24, 544, 462));

  frame_->ShowControlBar(&frame_->m_standard, FALSE, FALSE);
  EXPECT_EQ(InFrame(frame_->m_standard), CRect());
  EXPECT_EQ(InFrame(frame_->m_viewBar), CRect(0, 0, 27, 462));
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 0, 544, 462));

  // Delayed: the bar counts as shown at once, the frame changes at idle time.
  frame_->ShowControlBar(&frame_->m_standard, TRUE, TRUE);
  EXPECT_TRUE(frame_->m_standard.IsVisible());
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 0, 544, 462));
  Idle();
  EXPECT_EQ(InFrame(frame_->m_standard), CRect(0, 0, 640, 24));
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 24, 544, 462));

  // The View menu's command toggles the bar of its id and checks its item while it is shown.
  ::SendMessage(frame_->m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
  EXPECT_FALSE(frame_->m_status.IsVisible());
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 24, 544, 480));
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, ID_VIEW_STATUS_BAR, "Строка состояния");
  menu.AppendMenu(MF_STRING, ID_VIEW_TOOLBAR, "Панель инструментов");
  frame_->OnInitMenuPopup(&menu, 0, FALSE);
  EXPECT_EQ(menu.GetMenuState(ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(menu.GetMenuState(ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  ::SendMessage(frame_->m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
  EXPECT_EQ(InFrame(frame_->m_status), CRect(0, 462, 640, 480));
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 24, 544, 462));
}

TEST_F(BarsTest, RepositionBarsMeasuresWithoutMovingAndLeavesTheFramesBordersFree)
{
  // A query for another client area answers what the view would get there and moves nothing.
  CRect rest;
  const CRect smaller(0, 0, 500, 400);
  frame_->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rest, &smaller);
  EXPECT_EQ(rest, CRect(27, 24, 404, 382));
  CRect total;
  frame_->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &total, &smaller, FALSE);
  // Unstretched: the toolbar's four buttons, separator and gripper (107) widened by the side bars (27 + 96); the
  // dialog bar's own height (90) is more than the top and bottom bars' (24 + 18).
  EXPECT_EQ(total, CRect(0, 0, 107 + 27 + 96, 90));
  EXPECT_EQ(InFrame(frame_->m_standard), CRect(0, 0, 640, 24));
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 24, 544, 462));

  // Borders the frame keeps (an in-place editor's, say) come off before the bars take theirs.
  frame_->m_rectBorder = CRect(5, 6, 7, 8);
  frame_->RecalcLayout();
  EXPECT_EQ(InFrame(frame_->m_standard), CRect(5, 6, 633, 30));
  EXPECT_EQ(InFrame(frame_->m_status), CRect(5, 454, 633, 472));
  EXPECT_EQ(InFrame(frame_->m_view), CRect(32, 30, 537, 454));
}

TEST_F(BarsTest, TheBarStateComesBackFromTheProfile)
{
  frame_->EnableDocking(CBRS_ALIGN_ANY);
  frame_->m_calculation.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
  frame_->ShowControlBar(&frame_->m_viewBar, FALSE, FALSE);
  frame_->DockControlBar(&frame_->m_calculation, AFX_IDW_DOCKBAR_LEFT);
  frame_->RecalcLayout();
  ASSERT_EQ(InFrame(frame_->m_calculation), CRect(0, 24, 96, 462));
  frame_->SaveBarState("Bars");

  // What was written, by the names another version of the program reads.
  EXPECT_EQ(app_->GetProfileInt("Bars-Summary", "Bars", -1), 4u);
  EXPECT_EQ(app_->GetProfileInt("Bars-Bar2", "BarID", 0), kViewBarId);
  EXPECT_EQ(app_->GetProfileInt("Bars-Bar2", "Visible", -1), 0u);
  EXPECT_EQ(app_->GetProfileInt("Bars-Bar3", "BarID", 0), AFX_IDW_DIALOGBAR);
  EXPECT_EQ(app_->GetProfileInt("Bars-Bar3", "Docking", 0), CBRS_ALIGN_LEFT);

  MakeFrame();
  frame_->m_calculation.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
  ASSERT_EQ(InFrame(frame_->m_calculation), CRect(544, 24, 640, 462));
  frame_->LoadBarState("Bars");
  EXPECT_FALSE(frame_->m_viewBar.IsVisible());
  EXPECT_EQ(InFrame(frame_->m_viewBar), CRect());
  EXPECT_EQ(InFrame(frame_->m_calculation), CRect(0, 24, 96, 462));
  EXPECT_EQ(InFrame(frame_->m_view), CRect(96, 24, 640, 462));
  EXPECT_EQ(InFrame(frame_->m_standard), CRect(0, 0, 640, 24));
}

TEST_F(BarsTest, ABarStateItCannotUseChangesNothingItShouldNot)
{
  // Written by hand: a count far beyond any frame, a visibility that is no boolean, two sides at once, a bar that
  // no longer exists, and a side the toolbar was never allowed.
  app_->WriteProfileInt("Bars-Summary", "Bars", 2000000000);
  app_->WriteProfileInt("Bars-Bar0", "BarID", AFX_IDW_STATUS_BAR);
  app_->WriteProfileInt("Bars-Bar0", "Visible", 7);
  app_->WriteProfileInt("Bars-Bar0", "Docking", CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
  app_->WriteProfileInt("Bars-Bar1", "BarID", 12345);
  app_->WriteProfileInt("Bars-Bar1", "Visible", 0);
  app_->WriteProfileInt("Bars-Bar2", "BarID", AFX_IDW_TOOLBAR);
  app_->WriteProfileInt("Bars-Bar2", "Visible", 0);
  app_->WriteProfileInt("Bars-Bar2", "Docking", CBRS_ALIGN_LEFT);
  frame_->LoadBarState("Bars");

  EXPECT_EQ(InFrame(frame_->m_status), CRect(0, 462, 640, 480));
  EXPECT_EQ(frame_->m_status.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_BOTTOM);
  EXPECT_FALSE(frame_->m_standard.IsVisible());  // what it could use, it used
  EXPECT_EQ(frame_->m_standard.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_TOP);
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 0, 544, 462));
}

TEST_F(BarsTest, TheFrameKnowsItsBarsByIdUntilTheyGo)
{
  EXPECT_EQ(frame_->GetControlBar(AFX_IDW_STATUS_BAR), &frame_->m_status);
  EXPECT_EQ(frame_->GetControlBar(kViewBarId), &frame_->m_viewBar);
  EXPECT_EQ(frame_->GetControlBar(AFX_IDW_DIALOGBAR), &frame_->m_calculation);
  EXPECT_EQ(frame_->GetControlBar(AFX_IDW_PANE_FIRST), nullptr);  // the view is no bar
  EXPECT_EQ(frame_->m_listControlBars.GetCount(), 4);

  // A bar destroyed before its frame leaves the frame's list; the layout goes on without it.
  frame_->m_viewBar.DestroyWindow();
  EXPECT_EQ(frame_->GetControlBar(kViewBarId), nullptr);
  EXPECT_EQ(frame_->m_listControlBars.GetCount(), 3);
  frame_->RecalcLayout();
  EXPECT_EQ(InFrame(frame_->m_view), CRect(0, 24, 544, 462));
}

TEST(MdiFrame, AFrameWithoutAClientWindowHasNoActiveChild)
{
  CMDIFrameWnd frame;
  BOOL maximized = TRUE;
  EXPECT_EQ(frame.MDIGetActive(&maximized), nullptr);
  EXPECT_FALSE(maximized);
  EXPECT_TRUE(frame.IsKindOf(RUNTIME_CLASS(CFrameWnd)));
}

}  // namespace
}  // namespace mfctest

namespace mfctest {
namespace {

TEST_F(BarsTest, MenuSelectionsShowTheirPromptsUntilTheMenuCloses)
{
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  struct Step {
    WPARAM wParam;
    LPARAM lParam;
    const char* shown;
  };
  const Step steps[] = {
      {MAKEWPARAM(res::bars::ID_BAR_OPEN, 0), reinterpret_cast<LPARAM>(menu.m_hMenu), "Открыть проект"},
      {MAKEWPARAM(0, MF_SEPARATOR), reinterpret_cast<LPARAM>(menu.m_hMenu), "Открыть проект"},  // no change
      {MAKEWPARAM(0, 0xFFFF), 0, "Готово"},                                                      // closed
  };
  for (const Step& s : steps) {
    frame_->SendMessage(WM_MENUSELECT, s.wParam, s.lParam);
    EXPECT_EQ(std::string(frame_->m_status.GetPaneText(0)), s.shown);
  }
}

TEST_F(BarsTest, AReBarStacksItsBandsAndTakesTheirHeightFromTheFrame)
{
  CReBar rebar;
  ASSERT_TRUE(rebar.Create(frame_));
  CToolBar second;
  ASSERT_TRUE(second.CreateEx(frame_, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 0, 0), 0xE830));
  ASSERT_TRUE(second.LoadToolBar(res::bars::IDR_BAR_VIEW));
  ASSERT_TRUE(rebar.AddBar(&second));
  EXPECT_EQ(rebar.GetBandCount(), 1);
  EXPECT_EQ(frame_->GetControlBar(0xE830), nullptr);  // laid out by the rebar now
  frame_->RecalcLayout();
  // Made after the other bars, the rebar comes inside them: under the standard toolbar, between the side bars.
  EXPECT_EQ(InFrame(rebar), CRect(27, 24, 544, 46));  // the band's buttons without borders: 22 high
  EXPECT_EQ(InFrame(second), CRect(27, 24, 544, 46));
  EXPECT_EQ(InFrame(frame_->m_view), CRect(27, 46, 544, 462));
  rebar.DestroyWindow();
}

TEST_F(BarsTest, AMiniFrameHasASmallCaptionAndFollowsItsOwnersActivation)
{
  auto* mini = new CMiniFrameWnd;
  ASSERT_TRUE(mini->CreateEx(0, nullptr, "Объекты", WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_SYNCACTIVE | MFS_THICKFRAME,
                             CRect(100, 100, 300, 260), frame_));
  EXPECT_NE(mini->GetExStyle() & WS_EX_TOOLWINDOW, 0u);
  EXPECT_NE(mini->GetStyle() & WS_THICKFRAME, 0u);
  EXPECT_EQ(mini->GetStyle() & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  EXPECT_EQ(::GetWindow(mini->m_hWnd, GW_OWNER), frame_->m_hWnd);
  CRect window;
  CRect client;
  mini->GetWindowRect(window);
  mini->GetClientRect(client);
  mini->ClientToScreen(client);
  EXPECT_EQ(client.top - window.top, ::GetSystemMetrics(SM_CYSMCAPTION) + ::GetSystemMetrics(SM_CYFRAME));

  EXPECT_EQ(mini->SendMessage(WM_FLOATSTATUS, FS_SYNCACTIVE), 1);

  // Its caption is active exactly while the frame or the mini frame itself is.
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, nullptr, "Другая программа", WS_POPUP | WS_VISIBLE, 700, 0, 100, 100, nullptr,
                             nullptr));
  struct Step {
    HWND activate;
    BOOL active;
  };
  const Step steps[] = {
      {frame_->m_hWnd, TRUE}, {other.m_hWnd, FALSE}, {frame_->m_hWnd, TRUE},
      {mini->m_hWnd, TRUE},   {frame_->m_hWnd, TRUE}, {mini->m_hWnd, TRUE},
      {other.m_hWnd, FALSE},  {mini->m_hWnd, TRUE},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    ::SetActiveWindow(steps[i].activate);
    EXPECT_EQ(mini->m_bActive, steps[i].active) << "step " << i;
  }
  mini->DestroyWindow();  // deletes itself, as frames do
}

}  // namespace
}  // namespace mfctest
