// The group-along-contour dialog: the pole's outreach it starts from, the four checks in their order with their
// messages and bounds, and a catalogue pole whose outreach cannot be edited but is still held to the maximum.
#include "app/shell/group_dialog.h"

#include "model/group_of_dev.h"
#include "model/identifiers.h"
#include "model/ipole.h"
#include "model/pole.h"
#include "platform/gdi/png.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "res/modules.h"
#include "tests/model/fake_document.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Tesmira Road") {}
};

constexpr UINT kStep = 1036, kOffset = 1039, kOutreach = 1042, kRotation = 1046;

class GroupDialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, nullptr));
    group_ = ObjectModel::CreateGroupOfDev(nullptr, &document_, 1, 0);
    void* out = nullptr;
    ASSERT_TRUE(SUCCEEDED(group_->QueryInterface(&IID_IPole, &out)));
    pole_ = static_cast<IPole*>(out);
    // A pole of the user's: 10 m high, its bracket tilted by 15 degrees.
    const int user = 0;
    const double height = 10, tilt = 15, outreach = 1.235;
    pole_->SetTypical(&user);
    pole_->SetHeight(&height);
    pole_->SetTilt(&tilt);
    pole_->SetOutreach(&outreach);
  }
  void TearDown() override
  {
    pole_->Release();
    group_->Release();
    owner_.DestroyWindow();
  }

  static std::string Text(CWnd& dialog, UINT id)
  {
    char text[64] = {};
    ::GetDlgItemText(dialog.GetSafeHwnd(), id, text, sizeof text);
    return text;
  }

  FakeDocument document_;
  IGroupOfDev* group_ = nullptr;
  IPole* pole_ = nullptr;
  CTestApp app_;
  CWnd owner_;
};

TEST_F(GroupDialogTest, StartsFromThePolesOutreachRoundedAndTheDefaults)
{
  shell::CDlgChildGroupDev dialog(&owner_, group_);
  EXPECT_EQ(dialog.m_dOutreach, 2.0);
  ASSERT_TRUE(dialog.Create(shell::IDD_CHILD_GROUP_DEV, &owner_));
  EXPECT_EQ(Text(dialog, kStep), "20");
  EXPECT_EQ(Text(dialog, kOffset), "0");
  EXPECT_EQ(Text(dialog, kOutreach), "1.24");
  EXPECT_EQ(Text(dialog, kRotation), "0");
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.GetSafeHwnd(), kOutreach)));
  EXPECT_NEAR(shell::CDlgChildGroupDev::MaxOutreach(group_), 37.3205, 1e-4);

  dialog.ShowWindow(SW_SHOW);
  dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(gdi::SavePng(*user::WindowSurface(dialog.GetSafeHwnd()),
                           std::string(TESMIRA_ARTIFACTS_DIR) + "/shell-group-along-contour.png"));
  dialog.DestroyWindow();
}

TEST_F(GroupDialogTest, OkChecksEachFieldInOrderAndStaysOnTheFirstRefused)
{
  const struct {
    const char* step;
    const char* offset;
    const char* outreach;
    const char* rotation;
    const char* message;  // empty: accepted
    UINT focus;
  } cases[] = {
      {"250", "-50", "37.32", "180", "", 0},
      {"1.01", "50", "0", "-180", "", 0},
      {"1", "0", "1", "0", "Расстояние между соседними ОП должно быть в диапазоне от  1 до 250.", kStep},
      {"250.01", "0", "1", "0", "Расстояние между соседними ОП должно быть в диапазоне от  1 до 250.", kStep},
      {"20", "50.5", "1", "0", "Значение отступа должно быть в диапазоне от  -50 до 50.", kOffset},
      {"20", "-50.01", "1", "0", "Значение отступа должно быть в диапазоне от  -50 до 50.", kOffset},
      {"20", "0", "37.33", "0", "Значение вылета должно быть в диапазоне от  0 до 37.", kOutreach},
      {"20", "0", "-0.01", "0", "Значение вылета должно быть в диапазоне от  0 до 37.", kOutreach},
      {"20", "0", "1", "180.5",
       "Значение угла разворота кронштейна должно быть в диапазоне от  -180 до 180.", kRotation},
      // Only the first failure speaks.
      {"0", "99", "99", "999", "Расстояние между соседними ОП должно быть в диапазоне от  1 до 250.", kStep},
      // Not a number: the framework's own message.
      {"шаг", "0", "1", "0", nullptr, kStep},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.step) + " " + c.offset + " " + c.outreach + " " + c.rotation);
    user::ScriptedResponder answers;
    shell::CDlgChildGroupDev dialog(&owner_, group_);
    ASSERT_TRUE(dialog.Create(shell::IDD_CHILD_GROUP_DEV, &owner_));
    dialog.ShowWindow(SW_SHOW);
    ::SetDlgItemText(dialog.GetSafeHwnd(), kStep, c.step);
    ::SetDlgItemText(dialog.GetSafeHwnd(), kOffset, c.offset);
    ::SetDlgItemText(dialog.GetSafeHwnd(), kOutreach, c.outreach);
    ::SetDlgItemText(dialog.GetSafeHwnd(), kRotation, c.rotation);
    dialog.SendMessage(WM_COMMAND, IDOK, 0);
    if (c.message && *c.message == '\0') {
      EXPECT_TRUE(answers.Asked().empty());
      EXPECT_FALSE(dialog.IsWindowVisible()) << "closed with OK";
      EXPECT_EQ(dialog.m_dStep, std::stod(c.step));
      EXPECT_EQ(dialog.m_dOffset, std::stod(c.offset));
      EXPECT_EQ(dialog.m_dOutreach, std::stod(c.outreach));
      EXPECT_EQ(dialog.m_dRotation, std::stod(c.rotation));
    } else {
      ASSERT_EQ(answers.Asked().size(), 1u);
      EXPECT_TRUE(dialog.IsWindowVisible()) << "kept open";
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog.GetSafeHwnd(), c.focus));
      if (c.message) {
        EXPECT_EQ(answers.Asked()[0].text, c.message);
        EXPECT_EQ(answers.Asked()[0].style & MB_ICONMASK, MB_ICONEXCLAMATION);
      }
    }
    dialog.DestroyWindow();
  }
}

TEST_F(GroupDialogTest, WithoutTiltTheOutreachMayReachTenMetres)
{
  const double level = 0;
  pole_->SetTilt(&level);
  EXPECT_EQ(shell::CDlgChildGroupDev::MaxOutreach(group_), 10.0);
}

TEST_F(GroupDialogTest, ACataloguePolesOutreachIsLockedButStillHeldToTheMaximum)
{
  const int catalogue = 1;
  pole_->SetTypical(&catalogue);
  const double maximum = shell::CDlgChildGroupDev::MaxOutreach(group_);
  user::ScriptedResponder answers;
  shell::CDlgChildGroupDev dialog(&owner_, group_);
  ASSERT_TRUE(dialog.Create(shell::IDD_CHILD_GROUP_DEV, &owner_));
  dialog.ShowWindow(SW_SHOW);
  EXPECT_EQ(dialog.m_dOutreach, ObjectModel::Round2(pole_->GetOutreach(0)));
  for (UINT id : {kOutreach, 1044u, 1045u})
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog.GetSafeHwnd(), id))) << id;
  ::SetDlgItemText(dialog.GetSafeHwnd(), kOutreach, std::to_string(maximum + 0.01).c_str());
  dialog.SendMessage(WM_COMMAND, IDOK, 0);
  ASSERT_EQ(answers.Asked().size(), 1u);
  CString expected;
  expected.Format("Значение вылета должно быть в диапазоне от  %.lf до %.0lf.", 0.0, maximum);
  EXPECT_EQ(answers.Asked()[0].text, std::string(expected));
  ::SetDlgItemText(dialog.GetSafeHwnd(), kOutreach, "0");
  dialog.SendMessage(WM_COMMAND, IDOK, 0);
  EXPECT_EQ(answers.Asked().size(), 1u);
  EXPECT_FALSE(dialog.IsWindowVisible());
  dialog.DestroyWindow();
}

TEST_F(GroupDialogTest, HelpAsksTheFrameForTheIndex)
{
  shell::CDlgChildGroupDev dialog(&owner_, group_);
  int asked = 0;
  dialog.m_onHelp = [&] { ++asked; };
  ASSERT_TRUE(dialog.Create(shell::IDD_CHILD_GROUP_DEV, &owner_));
  ::SendMessage(::GetDlgItem(dialog.GetSafeHwnd(), 1084), BM_CLICK, 0, 0);
  EXPECT_EQ(asked, 1);
  dialog.DestroyWindow();
}

}  // namespace
