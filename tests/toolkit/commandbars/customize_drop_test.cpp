// A bar as the target of a customise drag: the insertion mark beside the control nearest the point, the copy a
// drop inserts, and a control dropped on itself starting or ending a group.
#include "tests/toolkit/commandbars/bar_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CFixedButton : public CTKControlButton {
public:
  CSize GetSize(CDC*) override { return CSize(24, 22); }
};

class CustomizeDrop : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(400, 200));
    frame_.ShowWindow(SW_SHOW);
    bar_ = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 300, 26));
    for (int i = 0; i < 3; ++i) {
      auto* pButton = new CFixedButton;
      bar_->GetControls()->InsertAt(pButton, 100 + i);
    }
    bar_->GetControl(2)->SetBeginGroup(TRUE);
    bar_->OnRecalcLayout();
    frame_.GetCommandBars()->SetCustomizeMode(TRUE);
    other_ = new CFixedButton;
    other_->SetCaption("Other");
  }
  void TearDown() override { other_->InternalRelease(); }
  std::vector<int> Ids()
  {
    std::vector<int> ids;
    for (int i = 0; i < bar_->GetControlCount(); ++i)
      ids.push_back(bar_->GetControl(i)->GetID() * (bar_->GetControl(i)->GetBeginGroup() ? -1 : 1));
    return ids;
  }
  cbtest::CTestFrame frame_;
  cbtest::CTestBar* bar_ = nullptr;
  CFixedButton* other_ = nullptr;
};

TEST_F(CustomizeDrop, TheMarkStandsBesideTheNearestControl)
{
  // Controls at x 2-26, 26-50, group gap, 56-80 (borders 2).
  ASSERT_EQ(bar_->GetControl(0)->GetRect(), CRect(2, 2, 26, 24));
  ASSERT_EQ(bar_->GetControl(2)->GetRect(), CRect(56, 2, 80, 24));
  struct Case {
    int x;
    int index;
    BOOL after;
    CRect mark;
  };
  const Case cases[] = {
      {5, 0, FALSE, CRect(-1, 2, 5, 24)},    // left of the first control's middle: at its left edge
      {20, 0, TRUE, CRect(23, 2, 29, 24)},   // right of it: across its right edge
      {45, 1, TRUE, CRect(44, 2, 50, 24)},   // before a group start: inside the right edge
      {75, 2, TRUE, CRect(74, 2, 80, 24)},   // the last control: inside the right edge
      {250, 2, TRUE, CRect(74, 2, 80, 24)},  // far right: still the last
  };
  for (const Case& c : cases) {
    BOOL after = FALSE;
    CRect mark;
    EXPECT_EQ(bar_->CalcInsertMark(other_, CPoint(c.x, 12), after, mark), c.index) << c.x;
    EXPECT_EQ(after, c.after) << c.x;
    EXPECT_EQ(mark, c.mark) << c.x;
  }
  BOOL after = FALSE;
  CRect mark;
  EXPECT_EQ(bar_->CalcInsertMark(bar_->GetControl(1), CPoint(40, 12), after, mark), 1);
  EXPECT_TRUE(mark.IsRectEmpty());  // over the dragged control itself: no mark

  bar_->GetControls()->RemoveAll();
  EXPECT_EQ(bar_->CalcInsertMark(other_, CPoint(40, 12), after, mark), -1);
  EXPECT_TRUE(after);
  EXPECT_EQ(mark, CRect(2, 2, 8, 24));
}

TEST_F(CustomizeDrop, ADropInsertsACopyThatTakesOverAGroupStart)
{
  DROPEFFECT effect = DROPEFFECT_COPY;
  bar_->OnCustomizeDrop(other_, effect, CPoint(45, 12), CPoint(300, 300));  // after control 1, before the group
  ASSERT_EQ(bar_->GetControlCount(), 4);
  EXPECT_EQ(bar_->GetControl(2)->GetCaption(), CString("Other"));
  EXPECT_NE(bar_->GetControl(2), other_);
  EXPECT_EQ(Ids(), (std::vector<int>{100, 101, 0, 102}));
  EXPECT_TRUE(bar_->GetControl(2)->GetBeginGroup());
  EXPECT_FALSE(bar_->GetControl(3)->GetBeginGroup());
  EXPECT_EQ(frame_.GetCommandBars()->GetDragControl(), bar_->GetControl(2));
  EXPECT_TRUE(bar_->GetDropMark().IsRectEmpty());
}

TEST_F(CustomizeDrop, ADropOnItselfAfterAMoveStartsOrEndsAGroup)
{
  CTKControl* pMiddle = bar_->GetControl(1);
  struct Case {
    int x;
    CPoint start;
    BOOL group;
    DROPEFFECT effect;
  };
  const Case cases[] = {
      {45, CPoint(38, 12), TRUE, DROPEFFECT_CANCEL_MARK},   // past the middle after moving 7 pixels
      {30, CPoint(37, 12), FALSE, DROPEFFECT_CANCEL_MARK},  // before the middle
      {45, CPoint(42, 12), FALSE, DROPEFFECT_MOVE},         // moved 3 pixels: nothing changes
  };
  for (const Case& c : cases) {
    DROPEFFECT effect = DROPEFFECT_MOVE;
    bar_->OnCustomizeDrop(pMiddle, effect, CPoint(c.x, 12), c.start);
    EXPECT_EQ(bar_->GetControlCount(), 3);
    EXPECT_EQ(pMiddle->GetBeginGroup(), c.group) << c.x;
    EXPECT_EQ(effect, c.effect) << c.x;
  }
  // The first control never starts a group.
  DROPEFFECT effect = DROPEFFECT_MOVE;
  bar_->OnCustomizeDrop(bar_->GetControl(0), effect, CPoint(20, 12), CPoint(8, 12));
  EXPECT_FALSE(bar_->GetControl(0)->GetBeginGroup());
}

TEST_F(CustomizeDrop, APopupIsNotOpenedUnderItsOwnDraggedTree)
{
  cbtest::CTestBar* pMenu = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 30, 400, 54), 128);
  auto* pFile = static_cast<CTKControlPopup*>(pMenu->GetControl(0));
  auto* pExport = static_cast<CTKControlPopup*>(pFile->GetCommandBar()->GetControl(2));
  // Dragging File over its own Export submenu item leaves the submenu closed.
  pFile->GetCommandBar()->Popup(pFile, FALSE);
  pExport->OnCustomizeDragOver(pFile, CPoint(0, 0));
  EXPECT_FALSE(pExport->IsPopuped());
  // Another control dragged over Export opens it, so the drop can go inside.
  pExport->OnCustomizeDragOver(other_, CPoint(0, 0));
  EXPECT_TRUE(pExport->IsPopuped());
  frame_.GetCommandBars()->ClosePopups();
}

}  // namespace
