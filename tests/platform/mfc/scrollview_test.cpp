// CScrollView: the bars follow the document and the window, every way of scrolling moves the document by
// its line or page, and a prepared DC maps a click to the document point under it.
#include "platform/mfc/afxwin.h"
#include "platform/mfc/scrollview.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CPlanView : public CScrollView {
public:
  CPlanView() = default;
  CPoint clicked{-1, -1};

  void OnDraw(CDC*) override {}
  void OnLButtonDown(UINT, CPoint point)
  {
    CClientDC dc(this);
    OnPrepareDC(&dc);
    dc.DPtoLP(&point);
    clicked = point;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPlanView, CScrollView)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// A 2000 x 1500 pixel plan in a 400 x 300 view: pages of 200 x 150, lines of 20 x 15.
class ScrollViewTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.CreateEx(0, nullptr, "План", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                nullptr));
    view_ = new CPlanView;  // a view deletes itself with its window
    ASSERT_TRUE(view_->Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 400, 300), &frame_, AFX_IDW_PANE_FIRST));
    view_->SetScrollSizes(MM_TEXT, CSize(2000, 1500));
    CRect client;
    view_->GetClientRect(&client);
    limit_ = CPoint(2000 - client.Width(), 1500 - client.Height());
  }
  void TearDown() override { frame_.DestroyWindow(); }

  CPoint Bars() const { return CPoint(::GetScrollPos(*view_, SB_HORZ), ::GetScrollPos(*view_, SB_VERT)); }

  CWnd frame_;
  CPlanView* view_ = nullptr;
  CPoint limit_;
};

TEST_F(ScrollViewTest, AClickAtAScrolledPositionMapsToTheDocumentPoint)
{
  // Both bars are shown, and the client area is what they leave.
  EXPECT_NE(view_->GetStyle() & WS_HSCROLL, 0u);
  EXPECT_NE(view_->GetStyle() & WS_VSCROLL, 0u);
  EXPECT_EQ(view_->GetTotalSize(), CSize(2000, 1500));

  view_->ScrollToPosition(CPoint(300, 200));
  EXPECT_EQ(view_->GetScrollPosition(), CPoint(300, 200));
  EXPECT_EQ(view_->GetDeviceScrollPosition(), CPoint(300, 200));
  EXPECT_EQ(Bars(), CPoint(300, 200));
  view_->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 20));
  EXPECT_EQ(view_->clicked, CPoint(310, 220));

  // Past the end the document stops at its corner: the last pixel of the client area is its last pixel.
  view_->ScrollToPosition(CPoint(5000, 5000));
  EXPECT_EQ(view_->GetScrollPosition(), limit_);
  CRect client;
  view_->GetClientRect(&client);
  view_->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(client.right - 1, client.bottom - 1));
  EXPECT_EQ(view_->clicked, CPoint(1999, 1499));
}

struct ScrollCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  CPoint expected;  // from (300, 200); x or y -1: the limit
};

const ScrollCase kScrolls[] = {
    {"LineDown", WM_VSCROLL, SB_LINEDOWN, {300, 215}},
    {"PageUp", WM_VSCROLL, SB_PAGEUP, {300, 50}},
    {"Top", WM_VSCROLL, SB_TOP, {300, 0}},
    {"Bottom", WM_VSCROLL, SB_BOTTOM, {300, -1}},
    {"Thumb", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 700), {300, 700}},
    {"LineRight", WM_HSCROLL, SB_LINERIGHT, {320, 200}},
    {"PageLeft", WM_HSCROLL, SB_PAGELEFT, {100, 200}},
    {"WheelOneNotchDown", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), {300, 245}},
    {"WheelTwoNotchesUp", WM_MOUSEWHEEL, MAKEWPARAM(0, 240), {300, 110}},
    {"WheelTenNotchesAtMostAPage", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-1200)), {300, 350}},
    {"WheelWithControlAPage", WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), {300, 350}},
    {"KeyDown", WM_KEYDOWN, VK_DOWN, {300, 215}},
    {"KeyPageDown", WM_KEYDOWN, VK_NEXT, {300, 350}},
    {"KeyHome", WM_KEYDOWN, VK_HOME, {300, 0}},
    {"KeyEnd", WM_KEYDOWN, VK_END, {300, -1}},
    {"KeyLeft", WM_KEYDOWN, VK_LEFT, {280, 200}},
};

TEST_F(ScrollViewTest, BarsWheelAndKeysMoveByLinesAndPages)
{
  for (const ScrollCase& c : kScrolls) {
    SCOPED_TRACE(c.name);
    view_->ScrollToPosition(CPoint(300, 200));
    view_->SendMessage(c.message, c.wParam, 0);
    CPoint expected(c.expected.x < 0 ? limit_.x : c.expected.x, c.expected.y < 0 ? limit_.y : c.expected.y);
    EXPECT_EQ(view_->GetScrollPosition(), expected);
    EXPECT_EQ(Bars(), expected);
  }
}

TEST_F(ScrollViewTest, AWindowTheDocumentFitsLosesItsBarsAndShowsTheCorner)
{
  view_->ScrollToPosition(CPoint(1000, 1000));
  view_->MoveWindow(0, 0, 1900, 1400);  // still too small: the position is held inside the document
  CRect client;
  view_->GetClientRect(&client);
  EXPECT_EQ(view_->GetScrollPosition(), CPoint(2000 - client.Width(), 1500 - client.Height()));

  view_->MoveWindow(0, 0, 2100, 1600);
  EXPECT_EQ(view_->GetStyle() & (WS_HSCROLL | WS_VSCROLL), 0u);
  EXPECT_EQ(view_->GetScrollPosition(), CPoint(0, 0));
  view_->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(view_->GetScrollPosition(), CPoint(0, 0));
}

}  // namespace
