// Docking operations on the layout tree: each case builds a tree step by step, checks the tree's soundness after
// every step and compares the shape it ends in.
#include "tests/toolkit/docking/dock_frame.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using docktest::CDockFrame;
using docktest::CheckTree;
using docktest::Shape;

// One step of a case: the manager and a pane by id.
using Step = std::function<void(CTKDockingPaneManager&)>;

Step Create(int nID, int nDirection, int nNeighbour = 0)
{
  return [=](CTKDockingPaneManager& m) {
    CTKDockingPaneBase* pNeighbour = nNeighbour == -1 ? m.GetClientPane() : m.FindPane(nNeighbour);
    m.CreatePane(nID, CRect(0, 0, 100 + nID, 80 + nID), nDirection, pNeighbour);
  };
}
Step Close(int nID)
{
  return [=](CTKDockingPaneManager& m) { m.ClosePane(m.FindPane(nID)); };
}
Step Show(int nID)
{
  return [=](CTKDockingPaneManager& m) { m.ShowPane(m.FindPane(nID), FALSE); };
}
Step Move(int nID, int nTarget)
{
  return [=](CTKDockingPaneManager& m) { m.MoveNodeToContainer(m.FindPane(nID), m.FindPane(nTarget)); };
}
Step MoveGroup(int nID, int nTarget)
{
  return [=](CTKDockingPaneManager& m) {
    m.MoveNodeToContainer(m.FindPane(nID)->GetContainer(), m.FindPane(nTarget));
  };
}
Step DockGroup(int nID, int nDirection, int nNeighbour)
{
  return [=](CTKDockingPaneManager& m) {
    m.DockDraggedNode(m.FindPane(nID)->GetContainer(), nDirection, m.FindPane(nNeighbour));
  };
}
// Docking a node still in the tree: it moves rather than appearing twice.
Step DockInPlace(int nID, int nDirection, int nNeighbour)
{
  return [=](CTKDockingPaneManager& m) {
    m.DockNode(m.FindPane(nID)->GetContainer(), nDirection, m.FindPane(nNeighbour));
  };
}
Step DockTopColumn(int nID, int nDirection, int nNeighbour)
{
  return [=](CTKDockingPaneManager& m) {
    m.DockDraggedNode(m.FindPane(nID)->GetContainer()->GetContainer(), nDirection, m.FindPane(nNeighbour));
  };
}

struct OperationCase {
  const char* name;
  std::vector<Step> steps;
  const char* shape;
};

TEST(DockingOperations, EveryOperationKeepsTheTreeSoundAndGivesItsShape)
{
  const OperationCase cases[] = {
      {"right of nothing on a row appends", {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_RIGHT)},
       "S[T(1) C T(2)]"},
      {"bottom of nothing on a row wraps the tree in a column", {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_BOTTOM)},
       "V[S[T(1) C] T(2)]"},
      {"right of nothing on a column wraps it in a new row",
       {Create(1, TK_DOCK_TOP), Create(2, TK_DOCK_RIGHT)},
       "S[V[T(1) S[C]] T(2)]"},
      {"beside a closed pane docks beside everything",
       {Create(1, TK_DOCK_LEFT), Close(1), Create(2, TK_DOCK_TOP, 1)},
       "V[T(2) S[T() C]]"},
      {"bottom of a pane in a row nests a column at its group's place",
       {Create(1, TK_DOCK_LEFT), Create(3, TK_DOCK_RIGHT), Create(2, TK_DOCK_BOTTOM, 1)},
       "S[V[T(1) T(2)] C T(3)]"},
      {"top of a pane in a column goes before it",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_BOTTOM, 1), Create(3, TK_DOCK_TOP, 2)},
       "S[V[T(1) T(3) T(2)] C]"},
      {"a direction beyond 3 acts as top", {Create(1, TK_DOCK_LEFT), Create(2, 7, 1)}, "S[V[T(2) T(1)] C]"},
      {"left of the client stands between the client and what was before it",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_LEFT, -1)},
       "S[T(1) T(2) C]"},
      {"a pane moved into another group leaves its own group empty in place",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_RIGHT), Move(2, 1)},
       "S[T(1 2) C T()]"},
      {"a group moved into another takes all its panes along",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_RIGHT), Create(3, TK_DOCK_BOTTOM, 2), Move(3, 2),
        MoveGroup(2, 1)},
       "S[T(1 2 3) C V[T() T()]]"},
      {"a closed pane shown again returns to its last group",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_RIGHT), Move(2, 1), Close(2), Show(2)},
       "S[T(1 2) C T()]"},
      {"a dragged group is re-made beside its target and leaves its old group empty",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_BOTTOM, 1), Create(3, TK_DOCK_RIGHT),
        DockGroup(3, TK_DOCK_BOTTOM, 2)},
       "S[V[T(1) T(2) T(3)] C T()]"},
      {"a dragged column holding one group docks as that group",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_BOTTOM, 1), Close(2), Create(3, TK_DOCK_RIGHT),
        DockTopColumn(1, TK_DOCK_TOP, 3)},
       "S[V[T() T()] C V[T(1) T(3)]]"},
      {"docking a group still in the tree moves it",
       {Create(1, TK_DOCK_LEFT), Create(2, TK_DOCK_RIGHT), DockInPlace(2, TK_DOCK_BOTTOM, 1)},
       "S[V[T(1) T(2)] C]"},
  };
  for (const OperationCase& c : cases) {
    SCOPED_TRACE(c.name);
    CDockFrame frame;
    ASSERT_TRUE(frame.Make(800, 600));
    int nStep = 0;
    for (const Step& step : c.steps) {
      step(frame.m_paneManager);
      frame.Layout();
      EXPECT_EQ(CheckTree(frame.m_paneManager.GetCurrentLayout()), "") << "after step " << nStep;
      ++nStep;
    }
    EXPECT_EQ(Shape(frame.m_paneManager.GetTopPane()), c.shape);
  }
}

TEST(DockingOperations, NestedColumnStandsAtTheGroupsPlaceAndKeepsItsSize)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 600));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pObjects = manager.CreatePane(32769, CRect(0, 0, 230, 120), TK_DOCK_LEFT, nullptr);
  CTKDockingPaneBase* pGroup = pObjects->GetContainer();
  manager.CreatePane(32770, CRect(0, 0, 230, 120), TK_DOCK_BOTTOM, pObjects);
  CTKDockingPaneBase* pColumn = pGroup->GetContainer();
  EXPECT_EQ(pColumn->GetContainer(), manager.GetTopPane());
  EXPECT_EQ(pGroup->m_szDocking, CSize(230, 120));
  EXPECT_EQ(pColumn->m_szDocking, CSize(230, 120));
  EXPECT_EQ(static_cast<CTKDockingPaneSplitterContainer*>(manager.GetTopPane())->GetChildren().GetHead(), pColumn);
}

TEST(DockingOperations, HoldersRememberTheLastDockedGroupAndAreNeverCleared)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 600));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pFirst = manager.CreatePane(1, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  CTKDockingPane* pSecond = manager.CreatePane(2, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  CTKDockingPaneTabbedContainer* pOwnGroup = pSecond->GetParentTabbed();
  EXPECT_EQ(manager.GetPaneHolder(pSecond, FALSE), pOwnGroup);
  EXPECT_EQ(manager.GetPaneHolder(pSecond, TRUE), nullptr);
  manager.MoveNodeToContainer(pSecond, pFirst);
  EXPECT_EQ(manager.GetPaneHolder(pSecond, FALSE), pFirst->GetParentTabbed());
  // Closed: the holder stays, and the emptied group is still there to be filled again.
  manager.ClosePane(pSecond);
  frame.Layout();
  EXPECT_EQ(manager.GetPaneHolder(pSecond, FALSE), pFirst->GetParentTabbed());
  manager.MoveNodeToContainer(pFirst, pOwnGroup);
  EXPECT_EQ(pFirst->GetParentTabbed(), pOwnGroup);
  EXPECT_EQ(CheckTree(manager.GetCurrentLayout()), "");
}

TEST(DockingOperations, DockingPreviewSharesTheNeighboursRectangle)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 600));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pLeft = manager.CreatePane(1, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  CTKDockingPane* pNew = manager.CreatePane(2, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  frame.Layout();
  manager.ClosePane(pNew);
  // Below the left group, which has no column yet: the group's rectangle shared top and bottom.
  CRect rcPreview;
  manager.GetDockingRect(rcPreview, pNew, TK_DOCK_BOTTOM, pLeft);
  const CRect rcLeft = pLeft->GetContainer()->GetScreenRect();
  EXPECT_EQ(rcPreview.left, rcLeft.left);
  EXPECT_EQ(rcPreview.right, rcLeft.right);
  EXPECT_EQ(rcPreview.bottom, rcLeft.bottom);
  EXPECT_GT(rcPreview.top, rcLeft.top);
  // Right of the left group, in the top row: placed in the row as if inserted after it.
  manager.GetDockingRect(rcPreview, pNew, TK_DOCK_RIGHT, pLeft);
  EXPECT_EQ(rcPreview.left, rcLeft.right + 4);
  EXPECT_EQ(rcPreview.top, rcLeft.top);
}

}  // namespace
