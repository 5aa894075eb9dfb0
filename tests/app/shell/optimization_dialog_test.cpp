// The optimisation target dialog: which entries it selects for stored values, what a choice changes, and that
// switching the mode keeps both targets.
#include "app/shell/optimization_dialog.h"

#include "platform/gdi/png.h"
#include "platform/user/paint.h"
#include "res/modules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Tesmira Road") {}
};

class OptimizationDialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, nullptr));
  }
  void TearDown() override { owner_.DestroyWindow(); }

  void Open(shell::CDlgRunOptimization& dialog) { ASSERT_TRUE(dialog.Create(shell::IDD_RUN_OPTIMIZATION, &owner_)); }
  static std::string Selected(CWnd& dialog, UINT id)
  {
    HWND list = ::GetDlgItem(dialog.GetSafeHwnd(), id);
    auto index = static_cast<int>(::SendMessage(list, CB_GETCURSEL, 0, 0));
    if (index < 0) {
      return "none";
    }
    char text[32] = {};
    ::SendMessage(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
  }
  static std::string Text(CWnd& dialog, UINT id)
  {
    char text[64] = {};
    ::GetDlgItemText(dialog.GetSafeHwnd(), id, text, sizeof text);
    return text;
  }
  static void Choose(CWnd& dialog, UINT id, int index)
  {
    HWND list = ::GetDlgItem(dialog.GetSafeHwnd(), id);
    ::SendMessage(list, CB_SETCURSEL, index, 0);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  // As a click does: the button checks itself and tells the dialog.
  static void Press(CWnd& dialog, UINT id) { ::SendMessage(::GetDlgItem(dialog.GetSafeHwnd(), id), BM_CLICK, 0, 0); }

  CTestApp app_;
  CWnd owner_;
};

TEST_F(OptimizationDialogTest, StoredValuesAreSelectedOnlyWhenAnEntryMatchesExactly)
{
  const struct {
    int mode;
    double value, uniformity;
    const char* selected;
    const char* uniformitySelected;
    const char* unit;
  } cases[] = {
      {0, 1.8, 0.4, "1.8", "0.4", "кд/м2"},
      {0, 0.5, 0.35, "none", "none", "кд/м2"},
      {1, 10, 3, "10", "3:1", "лк"},
      {1, 12, 10, "none", "10:1", "лк"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    shell::CDlgRunOptimization dialog(&owner_);
    dialog.m_nMode = c.mode;
    (c.mode == 1 ? dialog.m_dIlluminance : dialog.m_dLuminance) = c.value;
    (c.mode == 1 ? dialog.m_dIlluminanceUniformity : dialog.m_dLuminanceUniformity) = c.uniformity;
    Open(dialog);
    EXPECT_EQ(Selected(dialog, 1034), c.selected);
    EXPECT_EQ(Selected(dialog, 1083), c.uniformitySelected);
    EXPECT_EQ(Text(dialog, 1080), c.unit);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog.GetSafeHwnd(), 1083))) << "uniformity off";
    dialog.SendMessage(WM_COMMAND, IDOK, 0);
    // OK with nothing chosen returns the stored values unchanged.
    EXPECT_EQ(c.mode == 1 ? dialog.m_dIlluminance : dialog.m_dLuminance, c.value);
    dialog.DestroyWindow();
  }
}

TEST_F(OptimizationDialogTest, ChoicesGoToTheModesOwnTargetAndSwitchingKeepsBoth)
{
  shell::CDlgRunOptimization dialog(&owner_);
  dialog.m_dLuminance = 1.4;
  dialog.m_dIlluminance = 10;
  Open(dialog);
  EXPECT_EQ(Selected(dialog, 1034), "1.4");

  Press(dialog, 1002);
  EXPECT_EQ(dialog.m_nMode, 1);
  EXPECT_EQ(Selected(dialog, 1034), "10");
  EXPECT_EQ(Text(dialog, 1081), "Eмакс/Eср");
  Choose(dialog, 1034, 0);  // "20"
  EXPECT_EQ(dialog.m_dIlluminance, 20);

  Press(dialog, 1001);
  EXPECT_EQ(dialog.m_nMode, 0);
  EXPECT_EQ(Selected(dialog, 1034), "1.4");
  EXPECT_EQ(dialog.m_dLuminance, 1.4);
  EXPECT_EQ(dialog.m_dIlluminance, 20);

  Press(dialog, 1004);
  EXPECT_EQ(dialog.m_bUniformity, 1);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.GetSafeHwnd(), 1083)));
  Choose(dialog, 1083, 1);  // "0.4"
  EXPECT_EQ(dialog.m_dLuminanceUniformity, 0.4);
  Press(dialog, 1002);
  Choose(dialog, 1083, 2);  // "10:1"
  EXPECT_EQ(dialog.m_dIlluminanceUniformity, 10);
  EXPECT_EQ(dialog.m_dLuminanceUniformity, 0.4);

  dialog.ShowWindow(SW_SHOW);
  dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(gdi::SavePng(*user::WindowSurface(dialog.GetSafeHwnd()),
                           std::string(TESMIRA_ARTIFACTS_DIR) + "/shell-optimization-target.png"));
  dialog.DestroyWindow();
}

}  // namespace
