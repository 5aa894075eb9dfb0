// Scripted drags of the program's panes: the mouse moves and the release are queued for the drag's own loop, a
// probe queued among them looks at the screen while the outline shows, and the screen must come back exactly as
// it was. Then floating frames: placed back onto the screen, docked back by a double click, rolled up on the
// virtual clock.
#include "tests/toolkit/docking/dock_frame.h"
#include "toolkit/docking/dragcontext.h"
#include "toolkit/docking/miniframe.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/paint/tooltip_context.h"
#include "res/modules.h"
#include "platform/base/clock.h"
#include "platform/gdi/surface.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using docktest::CDockFrame;
using docktest::CheckTree;
using docktest::Note;
using docktest::Shape;

constexpr UINT kProbe = WM_APP + 7;
const std::string kProgram = "S[V[T(32769) T(32770)] C V[T(32774) T(32777)]]";

int OutlinePixels()
{
  const gdi::Surface& overlay = user::ScreenOverlay();
  const std::uint32_t* p = overlay.Pixels();
  return static_cast<int>(std::count_if(p, p + static_cast<std::ptrdiff_t>(overlay.Width()) * overlay.Height(),
                                        [](std::uint32_t v) { return v != 0; }));
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

// Counts the outline's pixels whenever the probe message reaches it during a drag.
class CProbe : public CWnd {
public:
  std::vector<int> m_seen;

protected:
  LRESULT OnProbe(WPARAM, LPARAM)
  {
    m_seen.push_back(OutlinePixels());
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbe, CWnd)
  ON_MESSAGE(kProbe, &CProbe::OnProbe)
END_MESSAGE_MAP()

class PaneDrag : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(800, 600));
    frame_.MakeProgramPanes();
    frame_.Layout();
    Pump();
    ASSERT_EQ(Shape(Manager().GetTopPane()), kProgram);
    probe_.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
  }
  void TearDown() override
  {
    user::InjectKey(VK_CONTROL, false);
    probe_.DestroyWindow();
  }

  CTKDockingPaneManager& Manager() { return frame_.m_paneManager; }
  CTKDockingPaneBase* Group(int nID) { return Manager().FindPane(nID)->GetContainer(); }
  CRect ScreenRect(int nID) { return Group(nID)->GetScreenRect(); }

  struct Step {
    UINT message;
    CPoint point;  // screen; the key for WM_KEYDOWN in x
  };
  // Drags the node from the start point through the steps; a probe follows every move.
  void Drag(CTKDockingPaneBase* pNode, CPoint start, const std::vector<Step>& steps, CWnd* pHost = nullptr)
  {
    CWnd* pCapture = pHost != nullptr ? pHost : &frame_;
    const HWND host = pCapture->GetSafeHwnd();
    for (const Step& s : steps) {
      if (s.message == WM_KEYDOWN) {
        ::PostMessage(host, WM_KEYDOWN, static_cast<WPARAM>(s.point.x), 0);
        continue;
      }
      CPoint client = s.point;
      pCapture->ScreenToClient(&client);
      ::PostMessage(host, s.message, 0, MAKELPARAM(client.x, client.y));
      if (s.message == WM_MOUSEMOVE) {
        ::PostMessage(probe_.GetSafeHwnd(), kProbe, 0, 0);
      }
    }
    frame_.m_notes.clear();
    Manager().GetDockingContext()->Drag(pNode, start);
    frame_.Layout();
    Pump();
  }
  std::vector<int> Actions(int nID) const
  {
    std::vector<int> out;
    for (const Note& n : frame_.m_notes) {
      if (n.code == TK_DPN_ACTION && n.paneId == nID) {
        out.push_back(n.action);
      }
    }
    return out;
  }
  CTKDockingPaneMiniWnd* FloatingFrame()
  {
    CTKDockingPaneNodeList lst;
    for (POSITION pos = Manager().GetCurrentLayout()->m_lstNodes.GetHeadPosition(); pos != nullptr;) {
      CTKDockingPaneBase* pNode = Manager().GetCurrentLayout()->m_lstNodes.GetNext(pos);
      if (pNode->GetType() == TK_DOCKINGPANE_MINIWND) {
        return static_cast<CTKDockingPaneMiniWnd*>(pNode);
      }
    }
    return nullptr;
  }

  CDockFrame frame_;
  CProbe probe_;
};

TEST_F(PaneDrag, ToTheBottomOfTheOtherColumnWithTheOutlineShownAndTheScreenRestored)
{
  ASSERT_EQ(OutlinePixels(), 0);
  const CRect from = ScreenRect(32774);
  const CRect to = ScreenRect(32770);
  const CPoint start(from.CenterPoint().x, from.top + 5);
  const CPoint drop(to.CenterPoint().x, to.bottom - 5);
  Drag(Group(32774), start, {{WM_MOUSEMOVE, CPoint(start.x - 30, start.y + 30)}, {WM_MOUSEMOVE, drop},
                             {WM_LBUTTONUP, drop}});
  ASSERT_EQ(probe_.m_seen.size(), 2u);
  EXPECT_GT(probe_.m_seen[0], 0);
  EXPECT_GT(probe_.m_seen[1], 0);
  EXPECT_EQ(OutlinePixels(), 0);
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T(32769) T(32770) T(32774)] C V[T() T(32777)]]");
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
  EXPECT_EQ(Actions(32774), (std::vector<int>{tkActionFloating, tkActionDocking, tkActionDocked}));
}

TEST_F(PaneDrag, OntoACaptionTheGroupTakesThePanesAsTabs)
{
  const CRect from = ScreenRect(32777);
  const CRect to = ScreenRect(32769);
  const CPoint start(from.CenterPoint().x, from.top + 5);
  const CPoint caption(to.CenterPoint().x, to.top + 4);
  Drag(Group(32777), start, {{WM_MOUSEMOVE, caption}, {WM_LBUTTONUP, caption}});
  ASSERT_EQ(probe_.m_seen.size(), 1u);
  // The tabbed-page outline: a frame of the group less its tab row, and a tab hanging below.
  const int nFrame = 2 * 4 * (to.Width() + to.Height() - 8 - std::min(20, to.Height() / 2));
  EXPECT_GT(probe_.m_seen[0], nFrame / 2);
  EXPECT_EQ(OutlinePixels(), 0);
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T(32769 32777) T(32770)] C V[T(32774) T()]]");
  EXPECT_EQ(Actions(32777).back(), tkActionAttached);
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
}

TEST_F(PaneDrag, AwayFromEveryTargetThePaneFloatsAndWithCtrlItNeverDocks)
{
  const CRect from = ScreenRect(32774);
  const CRect to = ScreenRect(32770);
  const CPoint start(from.CenterPoint().x, from.top + 5);
  const CPoint drop(to.CenterPoint().x, to.bottom - 5);
  user::InjectKey(VK_CONTROL, true);
  Pump();
  Drag(Group(32774), start, {{WM_MOUSEMOVE, drop}, {WM_LBUTTONUP, drop}});
  user::InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_EQ(Actions(32774).back(), tkActionFloated);
  CTKDockingPaneMiniWnd* pFrame = FloatingFrame();
  ASSERT_NE(pFrame, nullptr);
  EXPECT_TRUE(pFrame->IsWindowVisible());
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T(32769) T(32770)] C V[T() T(32777)]]");
  CString title;
  pFrame->GetWindowText(title);
  EXPECT_STREQ(title, "Светотехнические результаты");
  // Where the outline was: the group's own rectangle moved with the pointer.
  CRect placed;
  pFrame->CWnd::GetWindowRect(&placed);
  EXPECT_EQ(placed.TopLeft(), CPoint(from.left + drop.x - start.x, from.top + drop.y - start.y));
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
}

TEST_F(PaneDrag, EscapeAndASmallJitterChangeNothing)
{
  const CRect from = ScreenRect(32774);
  const CPoint start(from.CenterPoint().x, from.top + 5);
  const CPoint far(200, 300);
  Drag(Group(32774), start, {{WM_MOUSEMOVE, far}, {WM_KEYDOWN, CPoint(VK_ESCAPE, 0)}});
  EXPECT_GT(probe_.m_seen.at(0), 0);
  EXPECT_EQ(OutlinePixels(), 0);
  EXPECT_EQ(Shape(Manager().GetTopPane()), kProgram);
  EXPECT_EQ(Actions(32774), std::vector<int>{tkActionFloating});

  probe_.m_seen.clear();
  const CPoint jitter(start.x + 4, start.y - 3);
  Drag(Group(32774), start, {{WM_MOUSEMOVE, jitter}, {WM_LBUTTONUP, jitter}});
  EXPECT_EQ(probe_.m_seen, std::vector<int>{0});
  EXPECT_EQ(Shape(Manager().GetTopPane()), kProgram);
  EXPECT_EQ(FloatingFrame(), nullptr);
}

TEST_F(PaneDrag, ARefusedFloatShowsNoOutlineAwayFromTargets)
{
  frame_.m_cancelAction = tkActionFloating;
  const CRect from = ScreenRect(32774);
  const CPoint start(from.CenterPoint().x, from.top + 5);
  const CPoint client = Manager().GetClientPane()->GetScreenRect().CenterPoint();
  Drag(Group(32774), start, {{WM_MOUSEMOVE, client}, {WM_LBUTTONUP, client}});
  // Inside the client area any distance docks, at the side nearest in proportion to the area's shape.
  EXPECT_GT(probe_.m_seen.at(0), 0);
  EXPECT_EQ(FloatingFrame(), nullptr);
  EXPECT_EQ(Actions(32774).back(), tkActionDocked);
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
}

TEST_F(PaneDrag, AFloatingFrameOffTheScreenComesBackAndDocksBackOnADoubleClick)
{
  const CRect work = CTKDrawHelpers::GetWorkArea(CRect(0, 0, 10, 10));
  Manager().FloatNodeAt(Group(32774), CRect(work.right + 500, 100, work.right + 700, 300));
  frame_.Layout();
  Pump();
  CTKDockingPaneMiniWnd* pFrame = FloatingFrame();
  ASSERT_NE(pFrame, nullptr);
  CRect placed;
  pFrame->CWnd::GetWindowRect(&placed);
  EXPECT_EQ(placed, CRect(work.right - 200, 100, work.right, 300));
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T(32769) T(32770)] C V[T() T(32777)]]");

  pFrame->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(placed.left + 20, placed.top + 5));
  frame_.Layout();
  pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);  // the idle pass lays out the emptied frame
  Pump();
  EXPECT_EQ(Shape(Manager().GetTopPane()), kProgram);
  EXPECT_FALSE(pFrame->IsWindowVisible());
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
}

TEST_F(PaneDrag, ADoubleClickOnACaptionFloatsTheGroupAtItsPlaceAndOneOnTheFrameDocksItBack)
{
  const CRect from = ScreenRect(32777);
  auto* pGroup = static_cast<CTKDockingPaneTabbedContainer*>(Group(32777));
  CPoint caption(from.CenterPoint().x, from.top + 4);
  pGroup->ScreenToClient(&caption);
  pGroup->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(caption.x, caption.y));
  frame_.Layout();
  Pump();
  CTKDockingPaneMiniWnd* pFrame = FloatingFrame();
  ASSERT_NE(pFrame, nullptr);
  EXPECT_EQ(Shape(pFrame->GetTopSplitter()), "S[T(32777)]");
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T(32769) T(32770)] C V[T(32774) T()]]");
  EXPECT_EQ(Actions(32777), (std::vector<int>{tkActionFloating, tkActionFloated}));

  pFrame->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  frame_.Layout();
  EXPECT_EQ(Shape(Manager().GetTopPane()), kProgram);
  EXPECT_EQ(CheckTree(Manager().GetCurrentLayout()), "");
}

TEST_F(PaneDrag, EdgesOfTheLayoutAndOfTheScreen)
{
  const CRect from = ScreenRect(32769);
  const CPoint start(from.CenterPoint().x, from.top + 5);
  // Just outside the layout's right edge: docked at the right of everything.
  const CPoint outside(800 + 10, 300);
  Drag(Group(32769), start, {{WM_MOUSEMOVE, outside}, {WM_LBUTTONUP, outside}});
  EXPECT_EQ(Shape(Manager().GetTopPane()), "S[V[T() T(32770)] C V[T(32774) T(32777)] T(32769)]");
  EXPECT_EQ(Actions(32769).back(), tkActionDocked);

  // Dropped with the outline above the screen (Ctrl: no target): the frame's top comes to 0.
  const CRect group = ScreenRect(32770);
  const CPoint grip(group.CenterPoint().x, group.top + 5);
  const CPoint high(grip.x + 250, 2);
  user::InjectKey(VK_CONTROL, true);
  Pump();
  Drag(Group(32770), grip, {{WM_MOUSEMOVE, CPoint(grip.x + 250, grip.y - 20)}, {WM_MOUSEMOVE, high},
                            {WM_LBUTTONUP, high}});
  user::InjectKey(VK_CONTROL, false);
  Pump();
  CTKDockingPaneMiniWnd* pFrame = FloatingFrame();
  ASSERT_NE(pFrame, nullptr);
  pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  CRect placed;
  pFrame->CWnd::GetWindowRect(&placed);
  EXPECT_EQ(placed.top, 0);
  EXPECT_EQ(placed.left, group.left + 250);

  // Past the work area the outline stops following the pointer.
  const CRect work = CTKDrawHelpers::GetWorkArea(placed);
  CTKDockingPaneContext* pContext = Manager().GetDockingContext();
  probe_.m_seen.clear();
  const CPoint title(placed.left + 30, placed.top + 5);
  const CPoint gone(title.x + work.Width() + 400, title.y + 300);
  Drag(pFrame->GetTopSplitter(), title, {{WM_MOUSEMOVE, gone}, {WM_LBUTTONUP, gone}}, pFrame);
  EXPECT_EQ(pContext->m_rcFloat, placed);
  CRect after;
  pFrame->CWnd::GetWindowRect(&after);
  EXPECT_EQ(after, placed);
}

TEST_F(PaneDrag, ClosingAFloatingFrameHidesItAndShowingAPaneBringsItBack)
{
  Manager().FloatNodeAt(Group(32774), CRect(300, 200, 500, 400));
  Pump();
  CTKDockingPaneMiniWnd* pFrame = FloatingFrame();
  ASSERT_NE(pFrame, nullptr);
  pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);  // the idle pass lays it out and records its holders
  frame_.m_notes.clear();
  pFrame->SendMessage(WM_CLOSE);
  pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_FALSE(pFrame->IsWindowVisible());
  EXPECT_TRUE(Manager().IsPaneClosed(Manager().FindPane(32774)));
  EXPECT_EQ(Actions(32774), (std::vector<int>{tkActionClosing, tkActionClosed}));

  Manager().ShowPane(Manager().FindPane(32774));
  pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_TRUE(pFrame->IsWindowVisible());
  CRect rc;
  pFrame->CWnd::GetWindowRect(&rc);
  EXPECT_EQ(rc, CRect(300, 200, 500, 400));

  // Panes that may not close take the close button away.
  Manager().FindPane(32774)->SetOptions(TK_PANE_NOCLOSEABLE);
  pFrame->InvalidatePane(FALSE);
  EXPECT_FALSE(pFrame->IsCaptionButtonVisible(pFrame->GetCaptionButtons()->GetAt(0)));
}

TEST_F(PaneDrag, AThemedFrameRollsUpAfterTheMouseLeavesAndShowsAgainOverItsCaption)
{
  platform::VirtualClock clock{1000};
  platform::ScopedClock scoped{clock};
  Manager().m_bThemedFloatingFrames = TRUE;
  Manager().FloatNodeAt(Group(32774), CRect(300, 200, 500, 400));
  Pump();
  CTKDockingPaneMiniWnd* pFrame = FloatingFrame();
  ASSERT_NE(pFrame, nullptr);
  const int nCaption = Manager().GetPaintManager()->GetCaptionHeight();
  auto height = [&] {
    CRect rc;
    pFrame->CWnd::GetWindowRect(&rc);
    return rc.Height();
  };
  auto wait = [&](int ms) {
    for (int i = 0; i < ms; i += 4) {
      clock.Advance(4);
      Pump();
    }
  };
  user::InjectMouseMove(POINT{50, 50});
  Pump();
  pFrame->ToggleCollapse();
  wait(550);
  EXPECT_EQ(height(), 200);  // five ticks outside: still shown
  wait(100);
  wait(8 * 16 + 20);
  EXPECT_EQ(height(), nCaption + 8);
  EXPECT_TRUE(pFrame->IsRolledUp());

  pFrame->SendMessage(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(320, 205));
  EXPECT_EQ(height(), 200);
  pFrame->ToggleCollapse();
  EXPECT_FALSE(pFrame->m_bCollapsed);
  wait(1000);
  EXPECT_EQ(height(), 200);
}

TEST_F(PaneDrag, AThemedFramesCaptionButtonsNameThemselvesInTips)
{
  Manager().m_bThemedFloatingFrames = TRUE;
  Manager().FloatNodeAt(Group(32774), CRect(300, 200, 500, 400));
  Pump();
  CTKDockingPaneMiniWnd* pFrame = FloatingFrame();
  ASSERT_NE(pFrame, nullptr);
  pFrame->RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  CRect rcWindow;
  pFrame->CWnd::GetWindowRect(&rcWindow);
  CPoint ptClientOrigin(0, 0);
  pFrame->ClientToScreen(&ptClientOrigin);
  // A caption button's place in the frame's client coordinates.
  const auto inClient = [&](int nID) {
    for (INT_PTR i = 0; i < pFrame->GetCaptionButtons()->GetSize(); ++i) {
      CTKDockingPaneCaptionButton* pButton = pFrame->GetCaptionButtons()->GetAt(i);
      if (pButton->GetID() == nID) {
        CRect rc = pButton->GetRect();
        rc.OffsetRect(rcWindow.left - ptClientOrigin.x, rcWindow.top - ptClientOrigin.y);
        return rc;
      }
    }
    return CRect();
  };
  struct Tip {
    INT_PTR hit;
    std::string text;
    CRect rect;
  };
  const auto tipAt = [&](CPoint point) {
    TOOLINFO info;
    info.cbSize = TK_TOOLINFO_SIZE_NO_EXTENSION;
    Tip tip{pFrame->OnToolHitTest(point, &info), "", CRect()};
    if (tip.hit != -1 && info.lpszText != nullptr && info.lpszText != LPSTR_TEXTCALLBACK) {
      tip.text = info.lpszText;
      tip.rect = info.rect;
      std::free(info.lpszText);
    }
    return tip;
  };
  const CRect rcClose = inClient(TK_IDS_DOCKINGPANE_CLOSE);
  ASSERT_FALSE(rcClose.IsRectEmpty());
  EXPECT_LT(rcClose.top, 0);  // in the caption, above the client area
  EXPECT_EQ(tipAt(rcClose.CenterPoint()).hit, -1);  // no toolkit strings, no tip

  res::RegisterModules();
  TKResourceManager()->SetResourceHandle(platform::RegisterResourceModule(res::ToolkitModule()));
  const Tip close = tipAt(rcClose.CenterPoint());
  EXPECT_EQ(close.hit, TK_IDS_DOCKINGPANE_CLOSE);
  EXPECT_EQ(close.text, "Закрыть");
  EXPECT_EQ(close.rect, rcClose);
  const CRect rcPin = inClient(TK_IDS_DOCKINGPANE_AUTOHIDE);
  ASSERT_FALSE(rcPin.IsRectEmpty());
  EXPECT_EQ(tipAt(rcPin.CenterPoint()).hit, TK_IDS_DOCKINGPANE_AUTOHIDE);
  EXPECT_EQ(tipAt(CPoint(rcClose.left - 60, rcClose.CenterPoint().y)).hit, -1);  // the caption text
  EXPECT_EQ(tipAt(CPoint(20, 40)).hit, -1);                                          // the panes
  TKSetResourceInstance(nullptr, nullptr);
}

}  // namespace
