// The start page: placement over the main window, highlighting under the mouse, and how each way of closing
// leaves the chosen item and the show-again setting. Opened modeless so that the test can drive it.
#include "app/shell/start_page.h"

#include "platform/gdi/png.h"
#include "platform/user/paint.h"
#include "res/modules.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace {

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Tesmira Road") {}
};

// A page that remembers what its help item asked and how it was ended.
class CTestStartPage : public shell::CDlgStartPage {
public:
  int helpAsked = 0;
  CTestStartPage()
  {
    m_onHelp = [this] { ++helpAsked; };
  }
  void Move(int x, int y) { SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  void Click(int x, int y)
  {
    Move(x, y);
    SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void Key(UINT id) { SendMessage(WM_COMMAND, id, 0); }
};

class StartPageTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    char folder[] = "/tmp/start-page-XXXXXX";
    folder_ = mkdtemp(folder);
    ::setenv("TESMIRA_PROFILE_DIR", folder_.c_str(), 1);
    res::RegisterModules();
    app_.SetRegistryKey("Marvesta");
    ASSERT_TRUE(main_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50,
                               1000, 700, nullptr, nullptr));
    app_.m_pMainWnd = &main_;
    ASSERT_TRUE(page_.Create(shell::IDD_START_PAGE, nullptr));
  }
  void TearDown() override
  {
    if (page_.GetSafeHwnd() != nullptr) {
      page_.DestroyWindow();
    }
    app_.m_pMainWnd = nullptr;
    main_.DestroyWindow();
    ::unsetenv("TESMIRA_PROFILE_DIR");
    std::filesystem::remove_all(folder_);
  }
  int StartPageSetting() { return static_cast<int>(app_.GetProfileInt("Settings", "StartPage", 1)); }
  static CPoint Inside(int item) { return CPoint(200, 38 + 52 * (item - 1) + 20); }

  std::string folder_;
  CTestApp app_;
  CWnd main_;
  CTestStartPage page_;
};

TEST_F(StartPageTest, ItSitsInTheMiddleOfTheMainWindowWithTheStoredChoiceAndIsPictured)
{
  CRect r;
  page_.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(100 + 500 - 238, 50 + 350 - 200, 100 + 500 - 238 + 477, 50 + 350 - 200 + 400));
  EXPECT_EQ(::IsDlgButtonChecked(page_.m_hWnd, 1121), static_cast<UINT>(BST_CHECKED));

  page_.ShowWindow(SW_SHOW);
  page_.Move(Inside(2).x, Inside(2).y);
  page_.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const gdi::Surface* surface = user::WindowSurface(page_.GetSafeHwnd());
  ASSERT_NE(surface, nullptr);
  EXPECT_TRUE(gdi::SavePng(*surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/shell-start-page.png"));

  page_.DestroyWindow();
  app_.WriteProfileInt("Settings", "StartPage", 0);
  CTestStartPage again;
  ASSERT_TRUE(again.Create(shell::IDD_START_PAGE, nullptr));
  EXPECT_EQ(::IsDlgButtonChecked(again.m_hWnd, 1121), static_cast<UINT>(BST_UNCHECKED));
  again.DestroyWindow();
}

TEST_F(StartPageTest, TheItemUnderTheMouseIsHighlightedUntilTheMouseLeaves)
{
  page_.Move(Inside(3).x, Inside(3).y);
  EXPECT_EQ(page_.m_nCurrent, 3);
  page_.Move(Inside(3).x + 40, Inside(3).y + 5);
  EXPECT_EQ(page_.m_nCurrent, 3);
  EXPECT_EQ(page_.m_nPrevious, 3) << "moving within one item changes nothing";
  page_.Move(68, Inside(3).y);  // on the edge: not strictly inside
  EXPECT_EQ(page_.m_nCurrent, 0);
  page_.Move(Inside(1).x, Inside(1).y);
  EXPECT_EQ(page_.m_nCurrent, 1);
  page_.SendMessage(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(page_.m_nCurrent, 0);
}

TEST_F(StartPageTest, WaysOfClosing)
{
  // Enter while the mouse rests on item 3 opens a project, as a click would.
  page_.Move(Inside(3).x, Inside(3).y);
  page_.Key(IDOK);
  EXPECT_EQ(page_.m_nCurrent, 3);
  EXPECT_EQ(page_.m_bClosing, 1);
  EXPECT_EQ(StartPageSetting(), 1);
  page_.DestroyWindow();

  // Unticked and closed by Esc: no item, and the page is not shown at the next start.
  CTestStartPage esc;
  ASSERT_TRUE(esc.Create(shell::IDD_START_PAGE, nullptr));
  esc.Move(Inside(2).x, Inside(2).y);
  ::CheckDlgButton(esc.m_hWnd, 1121, BST_UNCHECKED);
  esc.Key(IDCANCEL);
  EXPECT_EQ(esc.m_nCurrent, 0);
  EXPECT_EQ(StartPageSetting(), 0);
  esc.DestroyWindow();

  // The help item keeps the page open; a click on item 4 closes it with that item.
  CTestStartPage click;
  ASSERT_TRUE(click.Create(shell::IDD_START_PAGE, nullptr));
  click.Click(Inside(5).x, Inside(5).y);
  EXPECT_EQ(click.helpAsked, 1);
  EXPECT_EQ(click.m_bClosing, 0);
  click.Click(Inside(4).x, Inside(4).y);
  EXPECT_EQ(click.m_nCurrent, 4);
  EXPECT_EQ(click.m_bClosing, 1);
  // After closing began, the mouse no longer changes the choice.
  click.Move(Inside(1).x, Inside(1).y);
  EXPECT_EQ(click.m_nCurrent, 4);
  click.DestroyWindow();
}

}  // namespace
