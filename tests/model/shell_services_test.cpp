#include "model/shell/shell_services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

class ProfileOnlyShell : public Shell::CShellServices {
public:
  std::map<std::string, std::string> settings;

  CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue) override
  {
    auto it = settings.find(entry);
    if (std::string(section) != "Settings" || it == settings.end())
      return CString(defaultValue);
    return CString(it->second.c_str());
  }
};

TEST(ShellServices, BinFolderFromTheInstallationOrTheDebugFolder)
{
  struct Case {
    const char* installDir;
    const char* debugDir;
    const char* folder;
  };
  const Case cases[] = {
      {"/opt/tesmira/", "/home/dev/build/", "/opt/tesmira/Bin\\"},
      {"", "/home/dev/build/", "/home/dev/build/"},
      {nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    ProfileOnlyShell shell;
    if (c.installDir)
      shell.settings["InstallDir"] = c.installDir;
    if (c.debugDir)
      shell.settings["DebugDir"] = c.debugDir;
    Shell::SetShellServices(&shell);
    EXPECT_STREQ(Shell::GetBinFolder().GetString(), c.folder);
    Shell::SetShellServices(nullptr);
  }
}

TEST(ShellServices, WithoutTheApplicationAnalyticsIsNotLoaded)
{
  Shell::SetShellServices(nullptr);
  EXPECT_EQ(Shell::GetAnalyticsModule(), nullptr);
  EXPECT_EQ(Shell::RegisterAnalyticsEvent("Проект", "Открыть", "", 0, 0), -1);
  EXPECT_EQ(Shell::SendAnalyticsInfo(1), -1);
  EXPECT_EQ(Shell::GetMainWindow(), nullptr);
  EXPECT_EQ(Shell::GetProfileInt("Settings", "Transparence", 255), 255u);
}

TEST(ShellServices, PerUserFoldersEndWithASeparator)
{
  const std::string home = std::string(TESMIRA_ARTIFACTS_DIR) + "/model-data-home";
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  Shell::SetShellServices(nullptr);
  const CString bin = Shell::GetAppDataBinFolder();
  const CString plugins = Shell::GetPluginsFolder();
  ASSERT_FALSE(bin.IsEmpty());
  EXPECT_EQ(bin.Right(4), CString("Bin/"));
  EXPECT_EQ(plugins.Right(8), CString("Plugins/"));
  EXPECT_EQ(bin.Left(bin.GetLength() - 4), plugins.Left(plugins.GetLength() - 8));
  EXPECT_EQ(bin.Left(static_cast<int>(home.size())), CString(home.c_str()));
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
