// Auto-hidden groups of the program's panes: the strip they leave along the frame's edge, the window that slides
// out of it on the virtual clock and back when the mouse has been away, and panels in saved layouts.
#include "tests/toolkit/docking/dock_frame.h"
#include "toolkit/docking/autohide.h"
#include "toolkit/docking/layoutpersist.h"
#include "platform/base/clock.h"
#include "platform/user/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using docktest::CDockFrame;
using docktest::CheckTree;
using docktest::Note;
using docktest::Shape;

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

class AutoHide : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(800, 600));
    frame_.MakeProgramPanes();
    Manager().m_nDefaultPaneOptions = 0;
    frame_.Layout();
    frame_.SetActiveWindow();
    user::InjectMouseMove(POINT{400, 300});  // over the view: outside every strip and slide-out
    Pump();
  }

  CTKDockingPaneManager& Manager() { return frame_.m_paneManager; }
  CTKDockingPaneAutoHidePanel* Panel(int nDirection)
  {
    return static_cast<CTKDockingPaneAutoHidePanel*>(Manager().GetCurrentLayout()->m_wndPanels[nDirection]);
  }
  std::vector<int> Actions() const
  {
    std::vector<int> out;
    for (const Note& n : frame_.m_notes) {
      if (n.code == TK_DPN_ACTION && n.action >= tkActionCollapsing && n.action <= tkActionExpanded) {
        out.push_back(n.action);
      }
    }
    return out;
  }
  void Wait(int ms)
  {
    for (int i = 0; i < ms; i += 4) {
      clock_.Advance(4);
      Pump();
    }
  }
  int SlideWidth()
  {
    CTKDockingPaneAutoHideWnd* pWnd = Panel(TK_DOCK_LEFT)->GetSlideOut();
    if (pWnd == nullptr) {
      return -1;
    }
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc.Width();
  }
  // Points at the first tab of the left strip.
  void Hover()
  {
    CTKDockingPaneAutoHidePanel* pPanel = Panel(TK_DOCK_LEFT);
    const CPoint pt = pPanel->GetTabRow(0)->GetTab(0)->GetRect().CenterPoint();
    pPanel->SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(pt.x, pt.y));
  }

  platform::VirtualClock clock_{1000};
  platform::ScopedClock scoped_{clock_};
  CDockFrame frame_;
};

TEST_F(AutoHide, AHiddenGroupLeavesAStripAlongItsEdgeAndAnOptionTwoPaneStays)
{
  Manager().FindPane(32770)->SetOptions(TK_PANE_NOHIDEABLE);
  Manager().MoveNodeToContainer(Manager().FindPane(32770), Manager().FindPane(32769));
  Manager().AutoHideNode(Manager().FindPane(32769));
  frame_.Layout();
  CTKDockingPaneAutoHidePanel* pPanel = Panel(TK_DOCK_LEFT);
  ASSERT_NE(pPanel, nullptr);
  ASSERT_NE(pPanel->GetSafeHwnd(), nullptr);
  EXPECT_EQ(pPanel->GetGroups().GetCount(), 1);
  EXPECT_EQ(Shape(pPanel->GetGroups().GetHead()), "T(32769)");
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T(32770) T()] C V[T(32774) T(32777)]]");
  const int nStrip = pPanel->GetStripThickness();
  ASSERT_GT(nStrip, 0);
  CRect rcStrip;
  pPanel->CWnd::GetWindowRect(&rcStrip);
  EXPECT_EQ(rcStrip, CRect(0, 0, nStrip, 600));
  EXPECT_EQ(Manager().GetTopPane()->GetScreenRect().left, nStrip);
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");

  // A second group from the same place joins the row; one from elsewhere makes a row of its own.
  Manager().AutoHideNode(Manager().FindPane(32770));
  frame_.Layout();
  EXPECT_EQ(Shape(pPanel->GetGroups().GetHead()), "T(32769)");
  EXPECT_EQ(pPanel->GetTabRowCount(), 1);
}

TEST_F(AutoHide, PointingAtATabSlidesTheGroupOutInEightStepsAndBackWhenTheMouseIsAway)
{
  Manager().AutoHideNode(Manager().FindPane(32769));
  frame_.Layout();
  frame_.m_notes.clear();
  Hover();
  ASSERT_NE(Panel(TK_DOCK_LEFT)->GetSlideOut(), nullptr);
  const int nFull = Panel(TK_DOCK_LEFT)->GetSlideOut()->m_rcWindow.Width();
  EXPECT_EQ(SlideWidth(), nFull / 8);
  Wait(16);
  EXPECT_EQ(SlideWidth(), nFull * 2 / 8);
  Wait(7 * 16);
  EXPECT_EQ(SlideWidth(), nFull);
  EXPECT_EQ(Actions(), (std::vector<int>{tkActionExpanding, tkActionExpanded}));

  // Away from the strip and the window, the focus elsewhere: six ticks from the opening, then the slide-in.
  frame_.m_notes.clear();
  Wait(350);
  EXPECT_EQ(Actions(), std::vector<int>{});
  Wait(150);
  EXPECT_EQ(Actions(), std::vector<int>{tkActionCollapsing});
  Wait(9 * 16);
  EXPECT_EQ(Actions(), (std::vector<int>{tkActionCollapsing, tkActionCollapsed}));
  EXPECT_EQ(Panel(TK_DOCK_LEFT)->GetSlideOut(), nullptr);
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
}

TEST_F(AutoHide, ASiteThatRefusesTheSlideInKeepsTheWindowOutForAnotherSixTicks)
{
  Manager().AutoHideNode(Manager().FindPane(32769));
  frame_.Layout();
  Hover();
  Wait(200);
  frame_.m_notes.clear();
  frame_.m_cancelAction = tkActionCollapsing;
  Wait(600);
  EXPECT_EQ(Actions(), std::vector<int>{tkActionCollapsing});
  Wait(600);
  EXPECT_EQ(Actions(), (std::vector<int>{tkActionCollapsing, tkActionCollapsing}));
  EXPECT_NE(Panel(TK_DOCK_LEFT)->GetSlideOut(), nullptr);
  // A frame layout slides it back at once.
  frame_.m_cancelAction = -1;
  frame_.Layout();
  EXPECT_EQ(Panel(TK_DOCK_LEFT)->GetSlideOut(), nullptr);
}

}  // namespace
