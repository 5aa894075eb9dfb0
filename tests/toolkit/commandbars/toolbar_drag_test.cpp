// A toolbar dragged by the mouse as the user does it: from its row at the top to the left dock row, out to float,
// back by a double click, and a drag ended by Escape. After every step the rows and the view's rectangle.
#include "tests/toolkit/commandbars/dock_frame.h"

#include "platform/user/input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using cbtest::CDockFrame;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class ToolBarDrag : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.MakeDocked(kWidth, kHeight));
    frame_.AddMenuBar();
    frame_.AddToolBar("Standard", 130);
    short_ = frame_.AddToolBar("Short", 131);
    ASSERT_NE(short_, nullptr);
    frame_.RecalcLayout();
    ::SetActiveWindow(frame_.GetSafeHwnd());
    ::SetFocus(frame_.GetSafeHwnd());
    cbtest::Pump();
  }
  void TearDown() override { cbtest::Pump(); }

  CPoint Screen(CWnd* pWnd, CPoint pt)
  {
    pWnd->ClientToScreen(&pt);
    return pt;
  }
  CPoint FrameScreen(CPoint pt) { return Screen(&frame_, pt); }

  // Press at the start, move through the points, then (when asked) Escape and more moves, and release.
  void Drag(CPoint ptStart, const std::vector<CPoint>& path, bool bEscape = false,
            const std::vector<CPoint>& afterEscape = {})
  {
    user::InjectMouseMove(ptStart);
    user::InjectMouseButton(VK_LBUTTON, true);
    for (CPoint pt : path)
      user::InjectMouseMove(pt);
    if (bEscape)
      user::InjectKeyPress(VK_ESCAPE);
    for (CPoint pt : afterEscape)
      user::InjectMouseMove(pt);
    user::InjectMouseButton(VK_LBUTTON, false);
    cbtest::Pump();
  }

  int TopThickness() const { return frame_.Thickness(tkBarTop); }

  CDockFrame frame_;
  CTKToolBar* short_ = nullptr;
};

TEST_F(ToolBarDrag, TopRowToTheLeftToFloatingAndBackByADoubleClick)
{
  ASSERT_EQ(frame_.Rows(tkBarTop), "|Menu|Standard|Short|");
  int nTopWithShort = TopThickness();

  // 1. By the gripper to the left edge of the view.
  CRect rcView = frame_.ViewRect();
  Drag(Screen(short_, CPoint(3, 6)), {FrameScreen(CPoint(30, rcView.top + 60)), FrameScreen(CPoint(5, 200))});
  EXPECT_EQ(frame_.Rows(tkBarTop), "|Menu|Standard|");
  EXPECT_EQ(frame_.Rows(tkBarLeft), "|Short|");
  EXPECT_EQ(short_->GetPosition(), tkBarLeft);
  EXPECT_LT(TopThickness(), nTopWithShort);
  int nLeft = frame_.Thickness(tkBarLeft);
  EXPECT_EQ(nLeft, CDockFrame::BarRect(short_).Width());
  EXPECT_GT(CDockFrame::BarRect(short_).Height(), CDockFrame::BarRect(short_).Width());
  EXPECT_EQ(frame_.ViewRect(), CRect(nLeft, TopThickness(), kWidth, kHeight));

  // 2. By its gripper, now at its top, into the middle of the view: it floats there.
  CPoint ptMiddle = FrameScreen(CPoint(320, 300));
  Drag(Screen(short_, CPoint(6, 3)), {FrameScreen(CPoint(200, 250)), ptMiddle});
  EXPECT_EQ(short_->GetPosition(), tkBarFloating);
  EXPECT_EQ(short_->GetDockBar(), nullptr);
  EXPECT_EQ(frame_.Rows(tkBarLeft), "|");
  EXPECT_TRUE(short_->GetStyle() & WS_POPUP);
  CRect rcFloating;
  short_->GetWindowRect(&rcFloating);
  EXPECT_TRUE(rcFloating.PtInRect(ptMiddle));
  EXPECT_EQ(frame_.ViewRect(), CRect(0, TopThickness(), kWidth, kHeight));

  // 3. A double click on its caption docks it back where it was before it floated.
  CPoint ptCaption = Screen(short_, CPoint(8, 6));
  user::InjectClick(ptCaption);
  user::InjectClick(ptCaption);
  cbtest::Pump();
  EXPECT_EQ(short_->GetPosition(), tkBarLeft);
  EXPECT_EQ(frame_.Rows(tkBarLeft), "|Short|");
  EXPECT_EQ(frame_.ViewRect(), CRect(nLeft, TopThickness(), kWidth, kHeight));
  EXPECT_EQ(short_->GetDockContext()->m_ptMRUFloatPos, rcFloating.TopLeft());

  // 4. With double clicks allowed to float, the next one floats it at its last floating place.
  frame_.GetCommandBars()->GetCommandBarsOptions()->bDblClickFloat = TRUE;
  CPoint ptGripper = Screen(short_, CPoint(6, 3));
  user::InjectClick(ptGripper);
  user::InjectClick(ptGripper);
  cbtest::Pump();
  EXPECT_EQ(short_->GetPosition(), tkBarFloating);
  CRect rcAgain;
  short_->GetWindowRect(&rcAgain);
  EXPECT_EQ(rcAgain.TopLeft(), rcFloating.TopLeft());
  frame_.GetCommandBars()->RecalcPendingFrameLayout();  // the frame's idle time
  EXPECT_EQ(frame_.ViewRect(), CRect(0, TopThickness(), kWidth, kHeight));
}

TEST_F(ToolBarDrag, EscapeLeavesTheBarWhereTheLastMovePutIt)
{
  CRect rcView = frame_.ViewRect();
  Drag(Screen(short_, CPoint(3, 6)), {FrameScreen(CPoint(5, rcView.top + 120))});
  ASSERT_EQ(frame_.Rows(tkBarLeft), "|Short|");

  // Up to the top row, where it takes its lying shape in a row of its own below Standard; one row higher it joins
  // Standard; then Escape, and the moves after it before the release change nothing.
  CRect rcStandard = CDockFrame::BarRect(frame_.GetCommandBars()->GetAt(1));
  int y = rcStandard.CenterPoint().y;
  Drag(Screen(short_, CPoint(6, 3)),
       {FrameScreen(CPoint(300, y)), FrameScreen(CPoint(310, y - rcStandard.Height()))}, true,
       {FrameScreen(CPoint(320, 300)), FrameScreen(CPoint(5, 300))});
  EXPECT_EQ(short_->GetPosition(), tkBarTop);
  EXPECT_EQ(frame_.Rows(tkBarTop), "|Menu|Short Standard|");
  EXPECT_EQ(frame_.Rows(tkBarLeft), "|");
  EXPECT_EQ(CDockFrame::BarRect(short_).top, rcStandard.top);
  EXPECT_EQ(frame_.ViewRect(), CRect(0, TopThickness(), kWidth, kHeight));
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ToolBarDrag, ADoubleClickOnADockedBarFloatsItOnlyWhenAllowed)
{
  CPoint ptGripper = Screen(short_, CPoint(3, 6));
  user::InjectClick(ptGripper);
  user::InjectClick(ptGripper);
  cbtest::Pump();
  EXPECT_EQ(short_->GetPosition(), tkBarTop);

  frame_.GetCommandBars()->GetCommandBarsOptions()->bDblClickFloat = TRUE;
  user::InjectClick(ptGripper);
  user::InjectClick(ptGripper);
  cbtest::Pump();
  EXPECT_EQ(short_->GetPosition(), tkBarFloating);
  EXPECT_EQ(frame_.Rows(tkBarTop), "|Menu|Standard|");

  // Never floated before, it floats where it was docked; out of the way now.
  short_->SetWindowPos(nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  // A bar that may not float stays docked when dragged over the view; over a side it may not use it floats when
  // it may, else stays.
  CTKToolBar* pStandard = static_cast<CTKToolBar*>(frame_.GetCommandBars()->GetAt(1));
  pStandard->SetFlags(TK_DOCK_TOP | TK_DOCK_BOTTOM);
  // (The presses are apart, so that no two make a double click.)
  Drag(Screen(pStandard, CPoint(3, 6)), {FrameScreen(CPoint(320, 300))});
  EXPECT_EQ(pStandard->GetPosition(), tkBarTop);
  Drag(Screen(pStandard, CPoint(3, 14)), {FrameScreen(CPoint(5, 300))});
  EXPECT_EQ(pStandard->GetPosition(), tkBarTop);
  pStandard->SetFlags(TK_DOCK_TOP | TK_DOCK_BOTTOM | TK_DOCK_FLOAT);
  Drag(Screen(pStandard, CPoint(3, 22)), {FrameScreen(CPoint(5, 300))});
  EXPECT_EQ(pStandard->GetPosition(), tkBarFloating);
  EXPECT_EQ(frame_.Rows(tkBarLeft), "|");
}

TEST_F(ToolBarDrag, DraggingAFloatingBarsBorderWrapsItsButtons)
{
  CTKToolBar* pStandard = static_cast<CTKToolBar*>(frame_.GetCommandBars()->GetAt(1));
  ASSERT_TRUE(pStandard->SetPosition(tkBarFloating));
  pStandard->SetWindowPos(nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  pStandard->OnRecalcLayout();
  CRect rcBefore;
  pStandard->GetWindowRect(&rcBefore);
  // The right border, dragged to half the width: the buttons go on two rows, the left edge stays.
  CPoint ptBorder(rcBefore.right - 1, rcBefore.CenterPoint().y);
  ASSERT_EQ(pStandard->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptBorder.x, ptBorder.y)), HTRIGHT);
  Drag(ptBorder, {CPoint(rcBefore.left + rcBefore.Width() / 2, ptBorder.y)});
  CRect rcAfter;
  pStandard->GetWindowRect(&rcAfter);
  EXPECT_EQ(rcAfter.TopLeft(), rcBefore.TopLeft());
  EXPECT_LT(rcAfter.Width(), rcBefore.Width());
  EXPECT_GT(rcAfter.Height(), rcBefore.Height());
  EXPECT_EQ(pStandard->m_nMRUWidth, rcAfter.Width());
  int nRows = 0;
  for (int i = 0; i < pStandard->GetControlCount(); ++i)
    nRows += pStandard->GetControl(i)->GetWrap() ? 1 : 0;
  EXPECT_GE(nRows, 1);
}

}  // namespace
