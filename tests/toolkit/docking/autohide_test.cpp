// Auto-hidden groups of the program's panes: the strip they leave along the frame's edge, the window that slides
// out of it on the virtual clock and back when the mouse has been away, and panels in saved layouts.
#include "tests/toolkit/docking/dock_frame.h"
#include "toolkit/docking/autohide.h"
#include "toolkit/docking/layoutpersist.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
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

// An OLE drag over a hidden group's tab slides its pane out, as pointing at it does, without the focus; the strip
// takes no drop, and a tab paint manager that does not select on drag-over leaves the group hidden.
TEST_F(AutoHide, AnOleDragOverATabSlidesItsPaneOut)
{
  Manager().AutoHideNode(Manager().FindPane(32769));
  frame_.Layout();
  CTKDockingPaneAutoHidePanel* pPanel = Panel(TK_DOCK_LEFT);
  ASSERT_NE(pPanel, nullptr);
  const CPoint overTab = pPanel->GetTabRow(0)->GetTab(0)->GetRect().CenterPoint();
  CTKTabPaintManager* pTabs = Manager().GetPaintManager()->GetAutoHidePaintManager();
  ASSERT_NE(pTabs, nullptr);

  pTabs->m_bSelectOnDragOver = FALSE;
  EXPECT_EQ(DROPEFFECT_NONE, pPanel->GetDropTarget().OnDragEnter(pPanel, nullptr, 0, overTab));
  EXPECT_EQ(pPanel->GetSlideOut(), nullptr);

  pTabs->m_bSelectOnDragOver = TRUE;
  const HWND hFocus = ::GetFocus();
  EXPECT_EQ(DROPEFFECT_NONE, pPanel->GetDropTarget().OnDragOver(pPanel, nullptr, 0, CPoint(-5, -5)));
  EXPECT_EQ(pPanel->GetSlideOut(), nullptr) << "nothing under the point";
  EXPECT_EQ(DROPEFFECT_NONE, pPanel->GetDropTarget().OnDragEnter(pPanel, nullptr, 0, overTab));
  CTKDockingPaneAutoHideWnd* pSlideOut = pPanel->GetSlideOut();
  ASSERT_NE(pSlideOut, nullptr);
  EXPECT_EQ(pSlideOut->m_pContainer->GetSelected(), Manager().FindPane(32769));
  EXPECT_EQ(hFocus, ::GetFocus());
  // Moving on over the same tab keeps the window that is sliding out.
  EXPECT_EQ(DROPEFFECT_NONE, pPanel->GetDropTarget().OnDragOver(pPanel, nullptr, 0, overTab));
  EXPECT_EQ(pPanel->GetSlideOut(), pSlideOut);
  Wait(8 * 16);
  EXPECT_EQ(SlideWidth(), pSlideOut->m_rcWindow.Width());
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

TEST_F(AutoHide, AClickOpensAndFocusesTheMouseBackInTheWindowTurnsTheSlideInAroundAndThePinDocksBack)
{
  CTKDockingPane* pPane = Manager().FindPane(32769);
  auto* pGroup = static_cast<CTKDockingPaneTabbedContainer*>(pPane->GetContainer());
  CTKDockingPaneCaptionButton* pPin = pGroup->FindCaptionButton(TK_IDS_DOCKINGPANE_AUTOHIDE);
  ASSERT_NE(pPin, nullptr);
  frame_.m_notes.clear();
  pGroup->OnCaptionButtonClick(pPin);
  frame_.Layout();
  ASSERT_NE(Panel(TK_DOCK_LEFT), nullptr);
  EXPECT_TRUE(Manager().IsPaneHidden(pPane));
  EXPECT_EQ(frame_.m_notes.front().action, tkActionPinning);

  CTKDockingPaneAutoHidePanel* pPanel = Panel(TK_DOCK_LEFT);
  const CPoint tab = pPanel->GetTabRow(0)->GetTab(0)->GetRect().CenterPoint();
  pPanel->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.x, tab.y));
  CTKDockingPaneAutoHideWnd* pWnd = pPanel->GetSlideOut();
  ASSERT_NE(pWnd, nullptr);
  Wait(200);
  // Away long enough to start the slide-in, then back over the window: it slides out again.
  Wait(430);
  ASSERT_TRUE(pWnd->m_bClosing);
  CRect rc;
  pWnd->GetWindowRect(&rc);
  // The group covers the window but for its resizing edge.
  user::InjectMouseMove(POINT{rc.right - 2, rc.top + 50});
  Pump();
  Wait(200);
  EXPECT_EQ(pPanel->GetSlideOut(), pWnd);
  EXPECT_FALSE(pWnd->m_bClosing);
  EXPECT_EQ(SlideWidth(), pWnd->m_rcWindow.Width());

  // The pin of the hidden group docks it back where it came from.
  auto* pHidden = static_cast<CTKDockingPaneTabbedContainer*>(pPane->GetContainer());
  pHidden->OnCaptionButtonClick(pHidden->FindCaptionButton(TK_IDS_DOCKINGPANE_AUTOHIDE));
  frame_.Layout();
  EXPECT_FALSE(Manager().IsPaneHidden(pPane));
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T(32769) T(32770)] C V[T(32774) T(32777)]]");
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
}

TEST_F(AutoHide, DraggingTheEdgeResizesTheWindowAndThePaneKeepsTheWidth)
{
  Manager().AutoHideNode(Manager().FindPane(32769));
  frame_.Layout();
  Hover();
  Wait(200);
  CTKDockingPaneAutoHideWnd* pWnd = Panel(TK_DOCK_LEFT)->GetSlideOut();
  ASSERT_NE(pWnd, nullptr);
  const CRect before = pWnd->m_rcWindow;
  CRect rc;
  pWnd->GetWindowRect(&rc);
  const int nEdgeX = rc.Width() - 2;
  for (int x : {nEdgeX + 60, nEdgeX + 100, 5000}) {
    ::PostMessage(pWnd->GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 50));
  }
  ::PostMessage(pWnd->GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5000, 50));
  pWnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(nEdgeX, 50));
  // The far edge stops where 26 pixels of the docked area remain.
  CRect rcTop = Manager().GetTopPane()->GetScreenRect();
  EXPECT_EQ(pWnd->m_rcWindow.left, before.left);
  EXPECT_EQ(pWnd->m_rcWindow.right, rcTop.right - 26);
  EXPECT_EQ(Manager().FindPane(32769)->m_szDocking.cx, pWnd->m_rcWindow.Width());
}

}  // namespace
