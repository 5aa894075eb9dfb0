// The combo box on a toolbar: what it tells the site (the codes of 10338, in order) as it takes the focus, opens
// its list, is chosen from, or is left without a choice; how many rows the list shows; where it hides.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/user/input.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using cbtest::CTestBar;
using cbtest::CTestFrame;

constexpr int kComboId = 32996;

void Key(UINT vk) { TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, vk, 0); }

class ComboBox : public ::testing::Test {
public:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(500, 300));
    frame_.ShowWindow(SW_SHOW);
    ::SetActiveWindow(frame_.GetSafeHwnd());
    user::InjectMouseMove(CPoint(450, 250));
    cbtest::Pump();
    TKSoundManager().EnableSystemSounds(FALSE);
    pBar_ = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 500, 28));
    ASSERT_NE(pBar_, nullptr);
    pCombo_ = dynamic_cast<CTKControlComboBox*>(pBar_->GetControls()->Add(tkControlComboBox, kComboId));
    ASSERT_NE(pCombo_, nullptr);
    pBar_->GetControls()->Add(tkControlButton, 57600)->SetCaption("New");
    pBar_->OnRecalcLayout();
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->ClosePopups();
    cbtest::Pump();
    TKSoundManager().EnableSystemSounds(TRUE);
    EXPECT_EQ(TKMouseManager()->m_nLock, 0);
    TKMouseManager()->m_nLock = 0;
  }
  void Fill(int count)
  {
    CTKControlComboBoxList* pList = pCombo_->GetListBar();
    pList->SendMessage(LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) {
      std::string item = "Mode " + std::to_string(i);
      pList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
  }
  // The codes of 10338 the combo sent since the last call.
  std::vector<int> Codes()
  {
    std::vector<int> codes;
    const std::string prefix = "10338 id " + std::to_string(kComboId) + " code ";
    for (const std::string& entry : frame_.m_log) {
      if (entry.rfind(prefix, 0) == 0)
        codes.push_back(std::stoi(entry.substr(prefix.size())));
    }
    frame_.m_log.clear();
    return codes;
  }
  void OpenList() { pCombo_->OnClick(FALSE, pCombo_->GetRect().CenterPoint()); }

  CTestFrame frame_;
  CTestBar* pBar_ = nullptr;
  CTKControlComboBox* pCombo_ = nullptr;
};

TEST_F(ComboBox, TheSiteHearsFocusListAndChoiceInOrder)
{
  struct Case {
    const char* what;
    std::function<void(ComboBox&)> act;
    std::vector<int> codes;
    int selection;
    const char* text;
    bool commandSent;
  };
  const Case cases[] = {
      {"arrow keys then Esc bring the former selection back",
       [](ComboBox& t) {
         t.pCombo_->Execute();
         Key(VK_DOWN);
         Key(VK_DOWN);
         Key(VK_ESCAPE);
       },
       {3, 1, 1, 1, 10, 4},
       0,
       "Mode 0",
       false},
      {"the list closed without a choice",
       [](ComboBox& t) {
         t.OpenList();
         t.pCombo_->GetListBar()->SendMessage(LB_SETCURSEL, 2, 0);
         Key(VK_ESCAPE);
       },
       {5, 7, 8, 1, 10},
       0,
       "Mode 0",
       false},
      {"Enter in the open list chooses",
       [](ComboBox& t) {
         t.OpenList();
         Key(VK_DOWN);
         Key(VK_RETURN);
       },
       {5, 7, 1, 9, 8, 100},
       1,
       "Mode 1",
       true},
      {"a click in the open list chooses",
       [](ComboBox& t) {
         t.OpenList();
         CTKControlComboBoxList* pList = t.pCombo_->GetListBar();
         pList->SendMessage(LB_SETCURSEL, 2, 0);
         pList->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
       },
       {5, 7, 1, 9, 8, 100},
       2,
       "Mode 2",
       true},
      {"F4 on the focused box opens the list and Enter chooses",
       [](ComboBox& t) {
         t.pCombo_->Execute();
         Key(VK_F4);
         Key(VK_DOWN);
         Key(VK_RETURN);
       },
       {3, 5, 7, 1, 9, 8, 4, 100},  // choosing ends the bar's tracking, and with it the focus, first
       1,
       "Mode 1",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fill(3);
    pCombo_->SetCurSel(0);
    frame_.m_log.clear();
    c.act(*this);
    if (pCombo_->IsFocused())
      pCombo_->SetFocused(FALSE);
    cbtest::Pump();
    bool commandSent = false;
    for (const std::string& entry : frame_.m_log)
      commandSent = commandSent || entry == "WM_COMMAND " + std::to_string(kComboId);
    EXPECT_EQ(Codes(), c.codes);
    EXPECT_EQ(pCombo_->GetCurSel(), c.selection);
    EXPECT_EQ(std::string(pCombo_->GetEditText()), c.text);
    EXPECT_EQ(commandSent, c.commandSent);
    EXPECT_FALSE(pCombo_->IsDroppedDown());
    frame_.GetCommandBars()->ClosePopups();
  }
}

TEST_F(ComboBox, TheMouseOpensTheListPointsAtAnItemAndChoosesItWithAClick)
{
  Fill(3);
  pCombo_->SetCurSel(0);
  CPoint ptBox = pCombo_->GetRect().CenterPoint();
  pBar_->ClientToScreen(&ptBox);
  user::InjectClick(ptBox);
  cbtest::Pump();
  ASSERT_TRUE(pCombo_->IsDroppedDown());
  CTKControlComboBoxList* pList = pCombo_->GetListBar();
  int nItemHeight = static_cast<int>(pList->SendMessage(LB_GETITEMHEIGHT, 0, 0));
  CPoint ptItem(10, nItemHeight * 2 + nItemHeight / 2);  // over the third item
  pList->ClientToScreen(&ptItem);
  user::InjectMouseMove(ptItem);
  cbtest::Pump();
  EXPECT_EQ(pCombo_->GetCurSel(), 2);
  frame_.m_log.clear();
  user::InjectClick(ptItem);
  cbtest::Pump();
  EXPECT_FALSE(pCombo_->IsDroppedDown());
  EXPECT_EQ(pCombo_->GetCurSel(), 2);
  EXPECT_EQ(std::string(pCombo_->GetEditText()), "Mode 2");
  EXPECT_EQ(Codes(), (std::vector<int>{1, 9, 8, 100}));
}

TEST_F(ComboBox, TheListShowsAsManyRowsAsItemsUpToTheDropDownCount)
{
  struct Case {
    int items;
    int dropDownCount;
    int rows;
  };
  const Case cases[] = {{3, 12, 3}, {0, 12, 1}, {20, 12, 12}, {20, 5, 5}};
  CTKControlComboBoxList* pList = pCombo_->GetListBar();
  int nItemHeight = static_cast<int>(pList->SendMessage(LB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(nItemHeight, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.items) + " items, drop-down count " + std::to_string(c.dropDownCount));
    Fill(c.items);
    pCombo_->SetDropDownItemCount(c.dropDownCount);
    OpenList();
    ASSERT_TRUE(pCombo_->IsDroppedDown());
    CRect rcList;
    pList->GetWindowRect(&rcList);
    EXPECT_EQ(rcList.Height(), nItemHeight * c.rows + 4);
    EXPECT_EQ(rcList.Width(), pCombo_->GetRect().Width());
    CRect rcCombo = pCombo_->GetRect();
    pBar_->ClientToScreen(&rcCombo);
    EXPECT_EQ(rcList.top, rcCombo.bottom);  // it drops below the box
    frame_.GetCommandBars()->ClosePopups();
    EXPECT_FALSE(pList->IsWindowVisible());
  }
}

TEST_F(ComboBox, TheListOpensByClickOrKeysNeverByRestingTheMouseAndHidesOnVerticalBars)
{
  Fill(3);
  pBar_->SetTrackingMode(1, FALSE, FALSE);
  pBar_->SetSelected(pCombo_->GetIndex(), FALSE);
  pCombo_->OnMouseHover();
  EXPECT_FALSE(pCombo_->IsDroppedDown());
  frame_.GetCommandBars()->ClosePopups();

  pCombo_->Execute();
  Key(VK_F4);
  EXPECT_TRUE(pCombo_->IsDroppedDown());
  Key(VK_F4);  // and closes again
  EXPECT_FALSE(pCombo_->IsDroppedDown());
  pCombo_->SetFocused(FALSE);

  pBar_->SetPosition(tkBarLeft);
  pBar_->OnRecalcLayout();
  EXPECT_EQ(pCombo_->GetHideFlags(), TK_HIDEDOCKINGPOSITION);
  pBar_->SetPosition(tkBarTop);
  pBar_->OnRecalcLayout();
  EXPECT_TRUE(pCombo_->IsVisible());
}

}  // namespace
