// In customise mode the selected edit or combo field is made wider or narrower by dragging its left or right
// edge; the cursor says so over those edges.
#include "platform/mfc-core/resources.h"
#include "platform/richedit/richedit.h"
#include "platform/user/input.h"
#include "res/modules.h"
#include "tests/toolkit/commandbars/bar_frame.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/paint/resource_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void UseToolkitModule()
{
  static HINSTANCE toolkit = [] {
    res::RegisterModules();
    return platform::RegisterResourceModule(res::ToolkitModule());
  }();
  TKResourceManager()->SetResourceHandle(toolkit);
  cbtest::UseTestResources();
}

class CustomizeResize : public ::testing::Test {
protected:
  void SetUp() override
  {
    UseToolkitModule();
    // Edit windows are rich edits, as in the program; the library is chosen once, by the first edit made.
    richedit::RegisterRichEditLibrary();
    ASSERT_TRUE(frame_.Make(500, 200));
    frame_.ShowWindow(SW_SHOW);
    ::SetActiveWindow(frame_.GetSafeHwnd());
    ::SetFocus(frame_.GetSafeHwnd());
    bar_ = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 400, 60));
    bar_->GetControls()->Add(tkControlButton, 100);
    edit_ = dynamic_cast<CTKControlEdit*>(bar_->GetControls()->Add(tkControlEdit, 101));
    ASSERT_NE(edit_, nullptr);
    edit_->SetWidth(100);
    bar_->OnRecalcLayout();
    frame_.GetCommandBars()->SetCustomizeMode(TRUE);
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->SetCustomizeMode(FALSE);
    cbtest::Pump();
  }
  CPoint OnBar(CPoint ptClient) const
  {
    bar_->ClientToScreen(&ptClient);
    return ptClient;
  }
  // Presses at the point, moves by each offset in turn, Escape when asked, and releases.
  void Press(CPoint ptScreen, const std::vector<int>& moves, bool bEscape = false)
  {
    user::InjectMouseMove(ptScreen);
    user::InjectMouseButton(VK_LBUTTON, true);
    for (int dx : moves)
      user::InjectMouseMove(CPoint(ptScreen.x + dx, ptScreen.y));
    if (bEscape)
      user::InjectKeyPress(VK_ESCAPE);
    user::InjectMouseButton(VK_LBUTTON, false);
    cbtest::Pump();
  }

  cbtest::CTestFrame frame_;
  cbtest::CTestBar* bar_ = nullptr;
  CTKControlEdit* edit_ = nullptr;
};

TEST_F(CustomizeResize, TheSelectedFieldsEdgeFollowsThePointerDownToItsMinimumWidth)
{
  struct Case {
    const char* what;
    bool selected;  // the field is the customise selection before the press
    int x;          // the press: offset from the field's left edge, or negative from its right edge
    std::vector<int> moves;
    bool escape;
    int width;
  };
  const std::vector<Case> cases = {
      {"right edge out", true, -1, {20, 40}, false, 140},
      {"left edge out", true, 1, {-10, -30}, false, 130},
      {"right edge past the left one", true, -2, {-60, -200}, false, 10},
      {"cancelled by Escape", true, -1, {40}, true, 100},
      {"not on an edge: a drag", true, 4, {}, false, 100},
      {"not selected yet: a drag", false, -1, {}, false, 100},
  };
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    edit_->SetWidth(100);
    bar_->OnRecalcLayout();
    pCommandBars->SetDragControl(c.selected ? edit_ : nullptr);
    const CRect rc = edit_->GetRect();
    ASSERT_EQ(rc.Width(), 100 + edit_->GetLabelWidth());
    Press(OnBar(CPoint(c.x >= 0 ? rc.left + c.x : rc.right + c.x, rc.CenterPoint().y)), c.moves, c.escape);
    EXPECT_EQ(edit_->GetWidth(), c.width);
    EXPECT_EQ(edit_->GetRect().Width(), c.width + edit_->GetLabelWidth());
    // The field is the selection afterwards in every case, and nothing keeps the mouse.
    EXPECT_EQ(pCommandBars->GetDragControl(), edit_);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(bar_->GetControlCount(), 2);
  }
}

TEST_F(CustomizeResize, TheCursorShowsTheResizableEdges)
{
  HCURSOR hResize = TKResourceManager()->LoadCursor(9972);
  ASSERT_NE(hResize, nullptr);
  struct Case {
    const char* what;
    CTKControl* control;
    int x;  // offset from the left edge, or negative from the right edge
    bool resize;
  };
  const Case cases[] = {
      {"field, left edge", edit_, 0, true},
      {"field, right edge", edit_, -1, true},
      {"field, inside", edit_, 3, false},
      {"button, right edge", bar_->GetControl(0), -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    const CRect rc = c.control->GetRect();
    CPoint pt = OnBar(CPoint(c.x >= 0 ? rc.left + c.x : rc.right + c.x, rc.CenterPoint().y));
    ::SetCursorPos(pt.x, pt.y);
    bar_->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(bar_->GetSafeHwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor() == hResize, c.resize);
  }
}

}  // namespace
