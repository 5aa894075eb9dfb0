// The About box, the update dialog and the depth-buffer warning, opened modeless from the program's resources so
// that a test can look at them; pictures of each for people in the artifacts folder.
#include "app/shell/shell_dialogs.h"

#include "app/shell/analytics.h"
#include "outside/analytics/analytics.h"
#include "platform/gdi/png.h"
#include "platform/shell/shell_execute.h"
#include "platform/user/paint.h"
#include "res/modules.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Tesmira Road") {}
};

std::string ControlText(CWnd& dialog, int id)
{
  CString text;
  dialog.GetDlgItem(id)->GetWindowText(text);
  return std::string(text);
}

bool Visible(CWnd& dialog, int id) { return (dialog.GetDlgItem(id)->GetStyle() & WS_VISIBLE) != 0; }

class ShellDialogsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    char folder[] = "/tmp/shell-dialogs-XXXXXX";
    folder_ = mkdtemp(folder);
    ::setenv("TESMIRA_PROFILE_DIR", folder_.c_str(), 1);
    res::RegisterModules();
    app_.SetRegistryKey("Marvesta");
    app_.WriteProfileString("Settings", "QorRID", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, nullptr));
  }
  void TearDown() override
  {
    owner_.DestroyWindow();
    ::unsetenv("TESMIRA_PROFILE_DIR");
    std::filesystem::remove_all(folder_);
  }
  static void Picture(CWnd& dialog, const char* name)
  {
    dialog.ShowWindow(SW_SHOW);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const gdi::Surface* surface = user::WindowSurface(dialog.GetSafeHwnd());
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(gdi::SavePng(*surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name));
  }

  std::string folder_;
  CTestApp app_;
  CWnd owner_;
};

TEST_F(ShellDialogsTest, AboutBoxShowsTheProductCodeWithoutBracesAndTellsAnalytics)
{
  qoranalytics::RegisterLibrary();
  shell::AnalyticsStart start{1, "/opt/tesmira/Bin/", folder_ + "/", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"};
  shell::StartProgramAnalytics(shell::GetAnalyticsModule(), start);
  {
    shell::CAboutDlg about(&owner_);
    ASSERT_TRUE(about.Create(shell::IDD_ABOUTBOX, &owner_));
    EXPECT_EQ(ControlText(about, 1077), "Код продукта: 6F9619FF-8B86-D011-B42D-00C04FC964FF");
    EXPECT_EQ(std::string(about.m_link.GetURL()), "https://tesmira-road.example");
    EXPECT_EQ(about.m_link.GetLinkColor(), 0xFF0000u);
    EXPECT_EQ(about.m_link.GetBackColor(), 0xFFFFFFu);
    LOGFONTA title{};
    ::GetObject(reinterpret_cast<HFONT>(about.GetDlgItem(1032)->SendMessage(WM_GETFONT, 0, 0)), sizeof title, &title);
    EXPECT_STREQ(title.lfFaceName, "Tahoma");
    EXPECT_EQ(title.lfWeight, 700);
    EXPECT_EQ(title.lfCharSet, 204);
    EXPECT_FALSE(about.GetExStyle() & WS_EX_LAYERED) << "Transparence 255 keeps it opaque";
    Picture(about, "shell-about-box.png");
    about.DestroyWindow();
  }
  shell::CloseAnalytics(shell::GetAnalyticsModule());
  platform::UnregisterModule(qoranalytics::kModuleName);
  EXPECT_EQ(shell::RegisterAnalyticsScreen(shell::GetAnalyticsModule(), "x", 1), -1);
  // What the file holds is the analytics tests' business; here only that the About box reached it.
  EXPECT_TRUE(std::filesystem::file_size(folder_ + "/QorRoad.dat") > 0);
}

TEST_F(ShellDialogsTest, TransparenceBelowFullMakesTheAboutBoxLayered)
{
  app_.WriteProfileInt("Settings", "Transparence", 200);
  shell::CAboutDlg about(&owner_);
  ASSERT_TRUE(about.Create(shell::IDD_ABOUTBOX, &owner_));
  EXPECT_TRUE(about.GetExStyle() & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(about.GetSafeHwnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_EQ(flags, LWA_ALPHA);
  about.DestroyWindow();
}

TEST(ProductCode, IdsWithAndWithoutBraces)
{
  const struct {
    const char* id;
    const char* shown;
  } cases[] = {
      {"{ABC}", "Код продукта: ABC"}, {"{}", "Код продукта: {}"}, {"", "Код продукта: "},
      {"x{AB}y", "Код продукта: AB"}, {"ABC", "Код продукта: ABC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(shell::ProductCodeText(c.id)), c.shown) << c.id;
  }
}

TEST_F(ShellDialogsTest, UpdateDialogModes)
{
  const struct {
    int mode;
    int showBox;
    bool messageOfNewVersion, versionText, link, box;
    const char* picture;
  } cases[] = {
      {0, 1, true, true, true, true, "shell-update-new-version.png"},
      {0, 0, true, true, true, false, nullptr},
      {1, 0, false, false, false, false, "shell-update-no-updates.png"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode * 10 + c.showBox);
    shell::CUpdateTheProgram dialog(&owner_);
    dialog.m_nMode = c.mode;
    dialog.m_bShowBox = c.showBox;
    dialog.m_strRelease = "6.1.3";
    dialog.m_strVersionText = "Новые каталоги светильников. Исправлены ошибки расчёта.";
    ASSERT_TRUE(dialog.Create(shell::IDD_UPDATE_PROGRAM, &owner_));
    const std::string message = ControlText(dialog, 1076);
    EXPECT_EQ(message.find("релиз 6.1.3") != std::string::npos, c.messageOfNewVersion) << message;
    if (!c.messageOfNewVersion) {
      EXPECT_EQ(message, "На сайте программы нет доступных обновлений.");
    }
    EXPECT_EQ(Visible(dialog, 1124), c.versionText);
    EXPECT_EQ(Visible(dialog, 1072), c.link);
    EXPECT_EQ(Visible(dialog, 1004), c.box);
    if (c.picture != nullptr) {
      Picture(dialog, c.picture);
    }
    dialog.DestroyWindow();
  }
}

TEST_F(ShellDialogsTest, TickingTheBoxIsReadBackAndAStopClosesTheWarning)
{
  shell::CUpdateTheProgram dialog(&owner_);
  dialog.m_bShowBox = 1;
  ASSERT_TRUE(dialog.Create(shell::IDD_UPDATE_PROGRAM, &owner_));
  dialog.GetDlgItem(1004)->SendMessage(BM_SETCHECK, BST_CHECKED, 0);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.GetDlgItem(1004)->m_hWnd));
  EXPECT_EQ(dialog.m_nCheck, 1);
  dialog.DestroyWindow();

  shell::CDlgZBufferBits warning(&owner_);
  ASSERT_TRUE(warning.Create(shell::IDD_ZBUFFER_BITS, &owner_));
  Picture(warning, "shell-depth-buffer-warning.png");
  warning.DestroyWindow();

  // Modal in its worker: the frame's stop closes it.
  std::atomic<bool> stop{true};
  EXPECT_FALSE(shell::ShowDepthWarning(owner_.GetSafeHwnd(), stop));
}

}  // namespace
