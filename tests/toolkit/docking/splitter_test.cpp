// The splitter container: the size distribution over a table of cases, a scripted drag of a bar (tracked and
// live, Esc, locked splitters) and empty children that take no space.
#include "tests/toolkit/docking/dock_frame.h"
#include "toolkit/docking/paint_manager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using docktest::CDockFrame;
using docktest::CheckTree;

struct Child {
  int extent;  // -1: the client placeholder
  int min = 0;
  int max = 32000;
};

struct DistributionCase {
  const char* name;
  int width;
  std::vector<Child> children;
  std::vector<std::pair<int, int>> placed;  // left, right of each child
};

TEST(SplitterContainer, DistributionPlacesChildrenWithinTheirLimitsAndFillsTheRow)
{
  const DistributionCase cases[] = {
      {"client stretches", 600, {{230}, {-1}, {222}}, {{0, 230}, {234, 374}, {378, 600}}},
      {"share under a minimum is fixed there", 404, {{50, 100}, {350}}, {{0, 100}, {104, 404}}},
      {"a maximum gives its excess away", 404, {{300, 0, 100}, {100}}, {{0, 100}, {104, 404}}},
      {"minimums beyond the room: the last is cut", 404, {{100, 300}, {100, 300}}, {{0, 300}, {304, 404}}},
      {"the last child reaches the far edge", 100, {{1}, {1}, {1}}, {{0, 30}, {34, 65}, {69, 100}}},
      {"without a client the extents share proportionally", 304, {{100}, {300}}, {{0, 75}, {79, 304}}},
  };
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 600));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  ASSERT_EQ(manager.GetPaintManager()->GetSplitterWidth(), 4);
  for (const DistributionCase& c : cases) {
    SCOPED_TRACE(c.name);
    CTKDockingPaneNodeList lst;
    for (const Child& child : c.children) {
      if (child.extent < 0) {
        lst.AddTail(manager.GetClientPane());
        continue;
      }
      auto* pPane = static_cast<CTKDockingPane*>(
          manager.OnCreatePane(TK_DOCKINGPANE_PANE, manager.GetCurrentLayout()));
      pPane->m_szDocking = CSize(child.extent, 50);
      pPane->m_ptMinTrackSize = CPoint(child.min, 0);
      pPane->m_ptMaxTrackSize = CPoint(child.max, 32000);
      lst.AddTail(pPane);
    }
    const CRect rc(0, 0, c.width, 100);
    size_t i = 0;
    for (POSITION pos = lst.GetHeadPosition(); pos != nullptr; ++i) {
      const CRect placed = CTKDockingPaneSplitterContainer::GetPaneRect(TRUE, lst, rc, lst.GetNext(pos), &manager);
      EXPECT_EQ(placed.left, c.placed[i].first) << "child " << i;
      EXPECT_EQ(placed.right, c.placed[i].second) << "child " << i;
    }
  }
}

TEST(SplitterContainer, EmptyChildTakesNoSpaceAndHasNoBar)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pLeft = manager.CreatePane(1, CRect(0, 0, 150, 100), TK_DOCK_LEFT);
  CTKDockingPane* pRight = manager.CreatePane(2, CRect(0, 0, 150, 100), TK_DOCK_RIGHT);
  auto* pTop = static_cast<CTKDockingPaneSplitterContainer*>(manager.GetTopPane());
  EXPECT_EQ(pTop->m_lstSpliters.GetCount(), 2);
  manager.ClosePane(pLeft);
  frame.Layout();
  // The emptied container stays in the row but takes nothing, and the bar beside it went.
  EXPECT_EQ(pTop->m_lstChildren.GetCount(), 3);
  EXPECT_EQ(pTop->m_lstSpliters.GetCount(), 1);
  EXPECT_EQ(manager.GetClientPane()->m_rcWindow, CRect(0, 0, 446, 400));
  EXPECT_EQ(pRight->GetContainer()->m_rcWindow, CRect(450, 0, 600, 400));
  EXPECT_EQ(CheckTree(manager.GetCurrentLayout()), "");
}

class SplitterDrag : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(600, 400));
    frame_.m_paneManager.CreatePane(1, CRect(0, 0, 150, 100), TK_DOCK_LEFT);
    frame_.Layout();
    auto* pTop = static_cast<CTKDockingPaneSplitterContainer*>(frame_.m_paneManager.GetTopPane());
    ASSERT_EQ(pTop->m_lstSpliters.GetCount(), 1);
    bar_ = pTop->m_lstSpliters.GetHead();
    left_ = frame_.m_paneManager.FindPane(1)->GetContainer();
  }
  // Presses the bar at its middle after queueing the moves and the end of the drag.
  void Drag(std::vector<std::pair<UINT, int>> steps)
  {
    for (auto [message, x] : steps) {
      ::PostMessage(bar_->GetSafeHwnd(), message, message == WM_KEYDOWN ? VK_ESCAPE : 0,
                    message == WM_KEYDOWN ? 0 : MAKELPARAM(x, 200));
    }
    ::SendMessage(bar_->GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 200));
    frame_.Layout();
  }
  int LeftWidth() const { return left_->m_rcWindow.Width(); }

  CDockFrame frame_;
  CTKDockingPaneSplitterWnd* bar_ = nullptr;
  CTKDockingPaneBase* left_ = nullptr;
};

TEST_F(SplitterDrag, TrackedDragAppliesOnReleaseAndEscapeCancels)
{
  ASSERT_EQ(LeftWidth(), 150);
  Drag({{WM_MOUSEMOVE, 52}, {WM_KEYDOWN, 0}});
  EXPECT_EQ(LeftWidth(), 150);
  Drag({{WM_MOUSEMOVE, 52}, {WM_LBUTTONUP, 52}});
  EXPECT_EQ(LeftWidth(), 200);
}

TEST_F(SplitterDrag, LiveDragFollowsTheMouseAndEscapeKeepsWhatWasReached)
{
  frame_.m_paneManager.m_bUseSplitterTracker = FALSE;
  Drag({{WM_MOUSEMOVE, -48}, {WM_KEYDOWN, 0}});
  EXPECT_EQ(LeftWidth(), 100);
}

TEST_F(SplitterDrag, DragStopsAtTheMinimumExtentAndLockedSplittersDoNotMove)
{
  Drag({{WM_MOUSEMOVE, -1000}, {WM_LBUTTONUP, -1000}});
  EXPECT_EQ(LeftWidth(), frame_.m_paneManager.m_nSplitterGap);
  const int nBefore = LeftWidth();
  frame_.m_paneManager.m_bLockSplitters = TRUE;
  Drag({{WM_MOUSEMOVE, 100}, {WM_LBUTTONUP, 100}});
  EXPECT_EQ(LeftWidth(), nBefore);
  // Nothing consumed the queued moves: take them out before the next test.
  MSG msg;
  while (::PeekMessage(&msg, bar_->GetSafeHwnd(), WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
}

}  // namespace
