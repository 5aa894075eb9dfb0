// Placeholders that expand into generated items when their bar lays out (toolbars, windows, recent files,
// workspace actions), the grid selector, the group commands the tab client offers, and a window hosted on a toolbar.
#include "tests/toolkit/commandbars/dock_frame.h"

#include "platform/mfc/recentfilelist.h"
#include "platform/user/input.h"
#include "toolkit/commandbars/controlcustom.h"
#include "toolkit/commandbars/controllists.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/tabclient.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using cbtest::CDockFrame;

// "caption" per control after the placeholder's index; "+" checked, "|" a group start, "(hidden)" for hidden.
std::string Items(CTKCommandBar* pBar)
{
  std::string out;
  for (int i = 0; i < pBar->GetControlCount(); ++i) {
    CTKControl* pControl = pBar->GetControl(i);
    if (!out.empty())
      out += " ";
    if (pControl->GetBeginGroup())
      out += "|";
    if (pControl->GetChecked())
      out += "+";
    out += pControl->IsTemporary() ? std::string(pControl->GetCaption()) : std::to_string(pControl->GetID());
    if (!pControl->IsVisible())
      out += "(hidden)";
    if (!pControl->GetEnabled())
      out += "(disabled)";
  }
  return out;
}

// Frames the tests own: no deleting themselves when their window goes.
class CMDIFrame : public CMDIFrameWnd {
protected:
  void PostNcDestroy() override {}
};
class CChildFrame : public CFrameWnd {
protected:
  void PostNcDestroy() override {}
};

void Layout(CTKCommandBar* pBar)
{
  CDC dc;
  dc.Attach(::CreateCompatibleDC(nullptr));
  pBar->GetControls()->CalcDynamicSize(&dc, 0, LM_COMMIT | LM_HORZDOCK | TK_LM_POPUP, CRect(0, 0, 0, 0));
  ::DeleteDC(dc.Detach());
}

TEST(ListControls, NumberedTextsDoubleAmpersandsAndNumberTheFirstTenWithAMnemonic)
{
  struct Case {
    const char* text;
    int n;
    const char* expected;
  };
  const Case cases[] = {
      {"Plan.trd", 0, "Plan.trd"},     {"Plan.trd", 1, "&1 Plan.trd"}, {"Plan.trd", 9, "&9 Plan.trd"},
      {"Plan.trd", 10, "1&0 Plan.trd"}, {"Plan.trd", 11, "11 Plan.trd"}, {"Roads & Lamps", 2, "&2 Roads && Lamps"},
      {"Участок & опоры", 3, "&3 Участок && опоры"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(TKNumberedMenuText(c.text, c.n), c.expected) << c.text << " " << c.n;
}

TEST(ListControls, TheToolbarsListNamesEveryClosableToolbarOnceAndTogglesIt)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(500, 300));
  CTKCommandBars* pCommandBars = frame.GetCommandBars();
  frame.AddMenuBar();
  CTKToolBar* pStandard = pCommandBars->Add("Standard", tkBarTop);
  CTKToolBar* pDrawing = pCommandBars->Add("Drawing", tkBarTop);
  CTKToolBar* pFixed = pCommandBars->Add("Fixed", tkBarBottom);
  ASSERT_TRUE(pStandard && pDrawing && pFixed);
  pFixed->SetCloseable(FALSE);
  pDrawing->SetVisible(FALSE);

  CTKPopupBar* pPopup = CTKPopupBar::CreatePopupBar(pCommandBars);
  pPopup->GetControls()->Add(tkControlButton, 35001);
  CTKControl* pList = pPopup->GetControls()->Add(tkControlButton, TK_ID_TOOLBARLIST, CString(), 0);
  ASSERT_NE(dynamic_cast<CTKControlToolbars*>(pList), nullptr);

  Layout(pPopup);
  Layout(pPopup);
  EXPECT_EQ(Items(pPopup), "59392(hidden) +Standard Drawing 35001");
  EXPECT_EQ(pPopup->GetControl(1)->GetID(), TK_ID_TOOLBARLIST);

  pPopup->GetControl(2)->OnExecute();
  EXPECT_TRUE(pDrawing->IsVisible());
  Layout(pPopup);
  EXPECT_EQ(Items(pPopup), "59392(hidden) +Standard +Drawing 35001");

  pCommandBars->SetCustomizeMode(TRUE);
  Layout(pPopup);
  EXPECT_EQ(Items(pPopup), "59392 35001");
  EXPECT_TRUE(pList->IsCustomizeDragOverAvail(nullptr, CPoint(0, 0)));
  EXPECT_FALSE(pStandard->GetControls()->Add(tkControlButton, TK_ID_TOOLBARLIST)->IsCustomizeDragOverAvail(
      nullptr, CPoint(0, 0)));
  pCommandBars->SetCustomizeMode(FALSE);
  pPopup->InternalRelease();
}

// An MDI client whose children have control ids; it names the active one.
class CTestMDIClient : public CWnd {
public:
  HWND m_hwndActive = nullptr;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
  {
    if (message == WM_MDIGETACTIVE) {
      *pResult = reinterpret_cast<LRESULT>(m_hwndActive);
      return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
};

struct MDIFixture {
  CMDIFrame frame;
  CTestMDIClient client;
  std::vector<std::unique_ptr<CWnd>> children;
  CTKPopupBar* pPopup = nullptr;

  MDIFixture()
  {
    CTKPaintManager::SetTheme(tkThemeDefault);
    frame.Create(nullptr, "MDI", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300));
    client.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &frame, 0xE900);
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    pPopup = CTKPopupBar::CreatePopupBar(nullptr);
    pPopup->SetOwnerWindow(&frame);
  }
  ~MDIFixture()
  {
    pPopup->InternalRelease();
    CTKControlWindowList::ResetFirstMDIChildForTest();
  }
  CWnd* AddChild(UINT nId, const char* pszTitle, BOOL bVisible = TRUE)
  {
    children.push_back(std::make_unique<CWnd>());
    children.back()->Create(nullptr, pszTitle, WS_CHILD | (bVisible ? WS_VISIBLE : 0), CRect(0, 0, 50, 50), &client,
                            nId);
    return children.back().get();
  }
};

TEST(ListControls, TheWindowListNumbersNineVisibleChildrenAndChecksTheActiveOne)
{
  MDIFixture f;
  CTKControl* pList = f.pPopup->GetControls()->Add(tkControlButton, TK_ID_WINDOWLIST);
  ASSERT_NE(dynamic_cast<CTKControlWindowList*>(pList), nullptr);
  // Not attached to a client yet: the placeholder shows.
  Layout(f.pPopup);
  EXPECT_EQ(Items(f.pPopup), "35000");

  f.frame.m_hWndMDIClient = f.client.GetSafeHwnd();
  f.AddChild(0xFF00, "Road & Lamps");
  f.AddChild(0xFF01, "Hidden plan", FALSE);
  for (int i = 0; i < 10; ++i) {
    CWnd* pChild = f.AddChild(0xFF02 + static_cast<UINT>(i), ("Plan " + std::to_string(i + 2)).c_str());
    if (i == 1)
      f.client.m_hwndActive = pChild->GetSafeHwnd();
  }
  Layout(f.pPopup);
  Layout(f.pPopup);
  EXPECT_EQ(Items(f.pPopup), "35000(hidden) |&1 Road && Lamps &2 Plan 2 +&3 Plan 3 &4 Plan 4 &5 Plan 5 &6 Plan 6 "
                             "&7 Plan 7 &8 Plan 8 &9 Plan 9");
  EXPECT_EQ(f.pPopup->GetControl(1)->GetID(), 0xFF00);
  EXPECT_EQ(f.pPopup->GetControl(2)->GetID(), 0xFF02);
}

TEST(ListControls, ChildrenNumberedFromOneMoveTheListStartForGood)
{
  MDIFixture f;
  f.pPopup->GetControls()->Add(tkControlButton, TK_ID_WINDOWLIST);
  f.frame.m_hWndMDIClient = f.client.GetSafeHwnd();
  f.AddChild(1, "First");
  f.client.m_hwndActive = f.AddChild(2, "Second")->GetSafeHwnd();
  Layout(f.pPopup);
  EXPECT_EQ(Items(f.pPopup), "35000(hidden) |&1 First +&2 Second");
  f.client.m_hwndActive = nullptr;
  Layout(f.pPopup);
  EXPECT_EQ(CTKControlWindowList::GetFirstMDIChild(), 1u);
  EXPECT_EQ(Items(f.pPopup), "35000(hidden) |&1 First &2 Second");
}

TEST(ListControls, RecentFilesShowGreyedWhenEmptyAndFollowThePlaceholderOtherwise)
{
  class CTestRecent : public CTKControlRecentFileList {
  public:
    CRecentFileList* GetRecentFileList() override { return m_pList; }
    CRecentFileList* m_pList = nullptr;
  };
  CTKPaintManager::SetTheme(tkThemeDefault);
  CRecentFileList list(0, "Recent File List", "File%d", 4);
  CTKPopupBar* pPopup = CTKPopupBar::CreatePopupBar(nullptr);
  pPopup->GetControls()->Add(tkControlButton, 57600);
  auto* pRecent = new CTestRecent;
  pRecent->m_pList = &list;
  pPopup->GetControls()->InsertAt(pRecent, TK_ID_FILE_MRU);
  Layout(pPopup);
  EXPECT_EQ(Items(pPopup), "57600 35003(disabled)");

  list.Add("/nowhere/b.trd");
  list.Add("/nowhere/a&b.trd");
  Layout(pPopup);
  Layout(pPopup);
  EXPECT_EQ(Items(pPopup), "57600 35003(hidden)(disabled) |&1 /nowhere/a&&b.trd &2 /nowhere/b.trd");
  EXPECT_EQ(pPopup->GetControl(2)->GetID(), 57616);
  EXPECT_EQ(pPopup->GetControl(3)->GetID(), 57617);
  pPopup->InternalRelease();
}

// ---- Tab workspace client

class CTestWorkspace : public CTKTabManager {
public:
  CTKTabPaintManager* GetTabPaintManager() const override { return nullptr; }
  void RequestRedraw() override {}
  BOOL DrawTabIcon(CDC*, int, int, CTKTabManagerItem*, BOOL, CSize&) override { return TRUE; }
  void Reposition() override {}
};

// The tab client stands in the MDI client's place, so it is the window asked for the active child.
class CTestTabClient : public CTKTabClientWnd {
public:
  HWND m_hwndActive = nullptr;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
  {
    if (message == WM_MDIGETACTIVE) {
      *pResult = reinterpret_cast<LRESULT>(m_hwndActive);
      return TRUE;
    }
    return CTKTabClientWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
};

struct TabClientFixture {
  CMDIFrame frame;
  CTestTabClient client;
  std::vector<std::unique_ptr<CTestWorkspace>> groups;
  std::vector<std::unique_ptr<CChildFrame>> children;

  TabClientFixture()
  {
    frame.Create(nullptr, "MDI", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300));
    client.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &frame, 0xE900);
    client.m_pParentFrame = &frame;
    frame.m_hWndMDIClient = client.GetSafeHwnd();
  }
  ~TabClientFixture()
  {
    for (auto& pChild : children)
      pChild->DestroyWindow();
  }
  // Groups of the given tab counts; the child frames in order.
  std::vector<CFrameWnd*> Make(const std::vector<int>& counts)
  {
    std::vector<CFrameWnd*> frames;
    for (int nTabs : counts) {
      groups.push_back(std::make_unique<CTestWorkspace>());
      client.m_arrWorkspaces.Add(groups.back().get());
      for (int i = 0; i < nTabs; ++i) {
        children.push_back(std::make_unique<CChildFrame>());
        CFrameWnd* pChild = children.back().get();
        pChild->Create(nullptr, "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &client);
        groups.back()->InsertTab(groups.back()->GetTabCount())->SetData(reinterpret_cast<DWORD_PTR>(pChild->m_hWnd));
        frames.push_back(pChild);
      }
    }
    return frames;
  }
};

// A selector of 28-pixel cells on a wide bar; points are the bar's client coordinates.
struct SelectorFixture {
  cbtest::CTestFrame frame;
  cbtest::CTestBar* pBar = nullptr;
  CTKControlSelector* pSelector = nullptr;

  SelectorFixture()
  {
    CTKPaintManager::SetTheme(tkThemeDefault);
    frame.Make(900, 700);
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    pBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 860, 600));
    pSelector = new CTKControlSelector;
    pBar->GetControls()->InsertAt(pSelector, 4400);
    pBar->OnRecalcLayout();
  }
  CPoint Cell(int nColumn, int nRow, int dx = 5, int dy = 5) const
  {
    const CRect& rc = pSelector->GetRect();
    return CPoint(rc.left + nColumn * 28 + dx, rc.top + nRow * 28 + dy);
  }
  int Count(const std::string& entry) const
  {
    return static_cast<int>(std::count(frame.m_log.begin(), frame.m_log.end(), entry));
  }
};

TEST(GridSelector, TheBlockUnderThePointerIsChosenAndExecutedOnlyWhenNotEmpty)
{
  SelectorFixture f;
  EXPECT_EQ(f.pSelector->GetItemsVisible(), CSize(5, 4));
  EXPECT_EQ(f.pSelector->GetRect().Size(), CSize(140, 112));
  struct Case {
    CPoint point;
    CSize selected;
  };
  const std::vector<Case> cases = {
      {f.Cell(2, 1), CSize(3, 2)},            // inside the third column and second row
      {f.Cell(0, 0, 0, 0), CSize(0, 0)},      // on the grid's corner: no cell starts left of it
      {f.Cell(4, 3, 27, 27), CSize(5, 4)},    // the last cell
      {f.Cell(1, 0, 1, 1), CSize(2, 1)},
  };
  for (const Case& c : cases) {
    f.frame.m_log.clear();
    f.pSelector->OnMouseMove(c.point);
    EXPECT_EQ(f.pSelector->GetSelectedItems(), c.selected) << c.point.x << "," << c.point.y;
    f.pSelector->OnLButtonUp(c.point);
    const bool bExecuted = c.selected != CSize(0, 0);
    EXPECT_EQ(f.Count("10338 id 4400 code 100"), bExecuted ? 1 : 0);
    if (bExecuted) {
      EXPECT_EQ(f.pSelector->GetChosen(), c.selected);
    }
  }
  // A move that changes nothing tells the site nothing.
  f.frame.m_log.clear();
  f.pSelector->OnMouseMove(f.Cell(1, 0, 2, 2));
  EXPECT_EQ(f.Count("10338 id 4400 code 4102"), 0);
  f.pSelector->OnMouseMove(f.Cell(3, 0));
  EXPECT_EQ(f.Count("10338 id 4400 code 4102"), 1);
}

TEST(GridSelector, AHeldButtonPastTheEdgeGrowsTheGridUpToItsLargest)
{
  SelectorFixture f;
  f.pSelector->SetItemsMax(CSize(8, 6));
  f.pBar->SetSelected(f.pSelector->GetIndex(), FALSE);
  struct Case {
    const char* what;
    bool bHeld;
    CPoint point;
    CSize visible;
    CSize selected;
  };
  // Grown, the replayed move selects up to the pointer; else leaving clears the selection.
  const std::vector<Case> cases = {
      {"no button", false, f.Cell(6, 1), CSize(5, 4), CSize(0, 0)},
      {"right of the grid", true, f.Cell(6, 1), CSize(7, 4), CSize(7, 2)},
      {"far right and below", true, f.Cell(30, 20), CSize(8, 6), CSize(8, 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    f.pBar->OnRecalcLayout();
    f.pSelector->OnMouseMove(f.Cell(1, 1));
    CPoint ptScreen = c.point;
    f.pBar->ClientToScreen(&ptScreen);
    ::SetCursorPos(ptScreen.x, ptScreen.y);
    // The button's state is the thread's once its input is read.
    const auto pump = [] {
      MSG msg;
      while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessage(&msg);
    };
    user::InjectMouseButton(VK_LBUTTON, c.bHeld);
    pump();
    f.pSelector->OnSetSelected(0);
    user::InjectMouseButton(VK_LBUTTON, false);
    pump();
    EXPECT_EQ(f.pSelector->GetItemsVisible(), c.visible);
    EXPECT_EQ(f.pSelector->GetRect().Size(), CSize(c.visible.cx * 28, c.visible.cy * 28));
    EXPECT_EQ(f.pSelector->GetSelectedItems(), c.selected);
    f.pSelector->OnSetSelected(1);
  }
  // The next layout opens at the stored size again.
  f.pBar->OnRecalcLayout();
  EXPECT_EQ(f.pSelector->GetItemsVisible(), CSize(5, 4));
}

TEST(TabClient, GroupCommandsFollowTheActiveChildsGroup)
{
  struct Case {
    const char* what;
    std::vector<int> groups;
    int active;
    BOOL grouping;
    BOOL arranged;
    const char* offered;  // 9420 9421 9422 9423
  };
  const std::vector<Case> cases = {
      {"one group of three", {3}, 1, TRUE, FALSE, "--++"},
      {"second of two groups, arranged", {1, 2}, 2, TRUE, TRUE, "+-+-"},
      {"second of two groups, the other way", {1, 2}, 2, TRUE, FALSE, "+--+"},
      {"first group holds a single tab", {1, 2}, 0, TRUE, TRUE, "-+--"},
      {"grouping off", {3}, 1, FALSE, FALSE, "----"},
      {"no active child", {3}, -1, TRUE, FALSE, "----"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TabClientFixture f;
    std::vector<CFrameWnd*> frames = f.Make(c.groups);
    f.client.m_bEnableGroups = c.grouping;
    f.client.m_bHorizSplitting = c.arranged;
    f.client.m_hwndActive = c.active >= 0 ? frames[static_cast<size_t>(c.active)]->m_hWnd : nullptr;
    std::string offered;
    for (UINT nId = 9420; nId <= 9423; ++nId)
      offered += f.client.IsWorkspaceCommandEnabled(nId) ? "+" : "-";
    EXPECT_EQ(offered, c.offered);
    CTKTabManagerItem* pItem = nullptr;
    f.client.IsWorkspaceCommandEnabled(1, &pItem);
    if (c.active >= 0 && c.grouping) {
      EXPECT_EQ(pItem, f.client.FindTab(frames[static_cast<size_t>(c.active)]->m_hWnd));
    }
  }
}

TEST(TabClient, WorkspaceActionsListWhatTheClientOffersInTheirOrder)
{
  TabClientFixture f;
  std::vector<CFrameWnd*> frames = f.Make({1, 2});
  f.client.m_bEnableGroups = TRUE;
  f.client.m_bHorizSplitting = TRUE;
  f.client.m_hwndActive = frames[2]->m_hWnd;
  CTKPaintManager::SetTheme(tkThemeDefault);
  CTKPopupBar* pPopup = CTKPopupBar::CreatePopupBar(nullptr);
  pPopup->SetOwnerWindow(&f.frame);
  CTKControl* pActions = pPopup->GetControls()->Add(tkControlButton, TK_ID_WORKSPACE_ACTIONS);
  pActions->SetBeginGroup(TRUE);
  Layout(pPopup);
  Layout(pPopup);
  std::string ids;
  for (int i = 0; i < pPopup->GetControlCount(); ++i)
    ids += (pPopup->GetControl(i)->GetBeginGroup() ? "|" : "") + std::to_string(pPopup->GetControl(i)->GetID()) + " ";
  EXPECT_EQ(ids, "|35002 |9422 9420 ");
  EXPECT_FALSE(pActions->IsVisible());
  pPopup->InternalRelease();
}

// Refreshing rebuilds the tabs once, even when the layout it starts asks for another refresh.
TEST(TabClient, RefreshNeedsAnAttachedFrameAndIsNeverReentered)
{
  class CCountingClient : public CTestTabClient {
  public:
    int m_nUpdates = 0;
    void UpdateContents() override
    {
      ++m_nUpdates;
      Refresh(TRUE);
    }
  };
  CCountingClient client;
  client.Refresh(TRUE);
  EXPECT_EQ(client.m_nUpdates, 0);
  CMDIFrame frame;
  client.m_pParentFrame = &frame;
  client.Refresh(TRUE);
  EXPECT_EQ(client.m_nUpdates, 1);
  EXPECT_FALSE(client.m_bRefreshLock);
}

}  // namespace
