// The main frame's private messages that the panes, view and document send: queries, pane requests and the
// window's limits.
#include "tests/app/app_session.h"

#include "app/qor_road_view.h"
#include "app/resource.h"
#include "document/qor_road_doc.h"

namespace apptest {
namespace {

using HubTest = AppSession;

TEST_F(HubTest, QueriesAnswerThroughTheirPointerAndRefuseANullOne)
{
  ASSERT_TRUE(Start());
  CMainFrame* frame = Frame();
  IQorRoadDoc* document = nullptr;
  EXPECT_EQ(frame->SendMessage(UM_GETDOCUMENT, 0, reinterpret_cast<LPARAM>(&document)), 1);
  EXPECT_EQ(document, dynamic_cast<IQorRoadDoc*>(frame->GetActiveDocument()));
  EXPECT_EQ(frame->SendMessage(UM_GETDOCUMENT, 0, 0), 0);

  CQorRoadView* view = nullptr;
  EXPECT_EQ(frame->SendMessage(UM_GETACTIVEVIEW, 0, reinterpret_cast<LPARAM>(&view)), 1);
  EXPECT_EQ(view, frame->GetActiveView());
  EXPECT_EQ(frame->SendMessage(UM_GETACTIVEVIEW, 0, 0), 0);

  // The depth query goes on to the view: a 24-bit buffer writes 1.
  int deep = 0;
  EXPECT_EQ(frame->SendMessage(UM_DEPTHBITS, 0, reinterpret_cast<LPARAM>(&deep)), 1);
  EXPECT_EQ(deep, view->GetDepthBits() > 16 ? 1 : 0);

  // A state query without its pointer answers 0; storing the exit flag answers the one before.
  EXPECT_EQ(frame->SendMessage(UM_GETCALCSTATE, 0, 0), 0);
  EXPECT_EQ(frame->SendMessage(UM_SETEXITPENDING, 1, 0), 0);
  EXPECT_EQ(frame->SendMessage(UM_SETEXITPENDING, 0, 0), 1) << "the previous value";
}

TEST_F(HubTest, PaneRequestsOpenClosedPanesAndTheTogglesFollowThem)
{
  ASSERT_TRUE(Start());
  Pump();
  CMainFrame* frame = Frame();
  // An empty profile starts with the economics pane closed once the window is shown the first time in the
  // process; the toggle brings it back either way.
  if (frame->IsPaneOpen(kPaneEconomics))
    frame->SendMessage(WM_COMMAND, ids::ID_PANE_ECONOMICS);
  EXPECT_FALSE(frame->IsPaneOpen(kPaneEconomics));
  EXPECT_EQ(frame->SendMessage(UM_SHOWECONOMICS), 1);
  EXPECT_TRUE(frame->IsPaneOpen(kPaneEconomics));

  frame->SendMessage(WM_COMMAND, ids::ID_PANE_LIGHTING);
  EXPECT_FALSE(frame->IsPaneOpen(kPaneLighting));
  EXPECT_EQ(frame->SendMessage(UM_SHOWLIGHTING), 1);
  EXPECT_TRUE(frame->IsPaneOpen(kPaneLighting));

  frame->SendMessage(WM_COMMAND, ids::ID_PANE_PARAMETERS);
  EXPECT_FALSE(frame->IsPaneOpen(kPaneParameters));
  EXPECT_EQ(frame->SendMessage(UM_SHOWPARAMETERS), 1);
  EXPECT_TRUE(frame->IsPaneOpen(kPaneParameters));

  // "Экономические параметры..." with the pane closed opens it first.
  frame->SendMessage(WM_COMMAND, ids::ID_PANE_ECONOMICS);
  answers_.AnswerNext(IDCANCEL);
  frame->SendMessage(WM_COMMAND, ids::ID_ECONOMIC_PARAMETERS);
  EXPECT_TRUE(frame->IsPaneOpen(kPaneEconomics));
}

TEST_F(HubTest, ProgressAtTheEndsHidesTheBar)
{
  ASSERT_TRUE(Start());
  CMainFrame* frame = Frame();
  ASSERT_NE(frame->GetProgressBar(), nullptr);
  struct Step {
    int percent;
    bool shown;
  };
  for (const Step step : {Step{30, true}, Step{0, false}, Step{99, true}, Step{100, false}, Step{-5, false},
                          Step{1, true}, Step{250, false}}) {
    EXPECT_EQ(frame->SendMessage(UM_PROGRESS, static_cast<WPARAM>(step.percent)), 1);
    EXPECT_EQ(frame->GetProgressBar()->IsWindowVisible() != FALSE, step.shown) << step.percent;
  }
  EXPECT_EQ(frame->GetProgressBar()->GetPos(), 1);
}

TEST_F(HubTest, TheWindowKeepsItsMinimumSize)
{
  ASSERT_TRUE(Start());
  MINMAXINFO info{};
  Frame()->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 800);
  EXPECT_EQ(info.ptMinTrackSize.y, 640);
}

}  // namespace
}  // namespace apptest

#include "app/grid_inplace_edit.h"

namespace apptest {
namespace {

TEST_F(HubTest, TheFirstF5InTheGridsEditClosesItAndPostsTheCalculation)
{
  ASSERT_TRUE(Start());
  Pump();
  auto edit = std::make_unique<VisualCtrl::CTKPropertyGridInplaceEditUser>();
  ASSERT_TRUE(edit->CEdit::Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), Frame(), 1));
  // A held key repeats: that is typing, not the calculation.
  edit->SendMessage(WM_KEYDOWN, VK_F5, 0x403F0001);
  MSG msg;
  EXPECT_FALSE(::PeekMessage(&msg, Frame()->GetSafeHwnd(), WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
  EXPECT_EQ(edit->SendMessage(WM_KEYDOWN, VK_F5, 0x003F0001), 1);
  EXPECT_EQ(edit->GetSafeHwnd(), nullptr) << "the edit was closed";
  ASSERT_TRUE(::PeekMessage(&msg, Frame()->GetSafeHwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(LOWORD(msg.wParam), 32772);
}

}  // namespace
}  // namespace apptest
