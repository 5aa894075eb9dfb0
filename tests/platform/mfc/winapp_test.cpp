// The application: profile functions and the recent-file list.
#include "tests/platform/mfc/harness.h"

namespace mfctest {
namespace {

class ProfileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    RegisterTestStrings();
    ::setenv("TESMIRA_PROFILE_DIR", folder_.Path().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("TESMIRA_PROFILE_DIR"); }
  TempFolder folder_;
};

TEST_F(ProfileTest, ValuesWrittenThroughTheApplicationAreReadBackByTheNextRun)
{
  const BYTE placement[] = {0x2C, 0x00, 0x00, 0x00, 0xFF, 0x80};
  {
    CTestApp app;
    EXPECT_EQ(CString(app.m_pszAppName), CString("Tesmira Road"));  // the application's name is its title string
    // Before the registry key is set there is no profile: defaults, and nothing is written.
    EXPECT_EQ(app.GetProfileInt("Settings", "StartPage", 1), 1u);
    EXPECT_FALSE(app.WriteProfileInt("Settings", "StartPage", 0));

    app.SetRegistryKey("Marvesta");
    EXPECT_EQ(CString(app.m_pszRegistryKey), CString("Marvesta"));
    EXPECT_EQ(CString(app.m_pszProfileName), CString("Tesmira Road"));
    EXPECT_TRUE(app.WriteProfileInt("Settings", "StartPage", 0));
    EXPECT_TRUE(app.WriteProfileString("Settings", "InstallDir", "/opt/Тесмира/"));
    EXPECT_TRUE(app.WriteProfileBinary("Settings", "WindowPos", const_cast<BYTE*>(placement), sizeof placement));
  }
  CTestApp app;
  app.SetRegistryKey("Marvesta");
  EXPECT_EQ(app.GetProfileInt("Settings", "StartPage", 1), 0u);
  EXPECT_EQ(app.GetProfileInt("settings", "startpage", 1), 0u);  // names ignore case, as the registry's do
  EXPECT_EQ(app.GetProfileString("Settings", "InstallDir"), CString("/opt/Тесмира/"));
  EXPECT_EQ(app.GetProfileString("Settings", "Missing", "fallback"), CString("fallback"));
  BYTE* data = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(app.GetProfileBinary("Settings", "WindowPos", &data, &bytes));
  EXPECT_EQ(std::vector<BYTE>(data, data + bytes), std::vector<BYTE>(std::begin(placement), std::end(placement)));
  delete[] data;
  EXPECT_FALSE(app.GetProfileBinary("Settings", "Missing", &data, &bytes));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(bytes, 0u);
}

TEST_F(ProfileTest, TheRecentFileListKeepsTheNewestFourFirst)
{
  struct Case {
    std::vector<std::string> added;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{"/a"}, {"/a", "", "", ""}},
      {{"/a", "/b", "/c"}, {"/c", "/b", "/a", ""}},
      {{"/a", "/b", "/c", "/a"}, {"/a", "/c", "/b", ""}},             // a listed path moves up
      {{"/a", "/b", "/c", "/d", "/e"}, {"/e", "/d", "/c", "/b"}},     // the oldest falls off
      {{"/a", "/b", "/c", "/d", "/d"}, {"/d", "/c", "/b", "/a"}},     // the newest again changes nothing
      {{"/a", "/A"}, {"/A", "/a", "", ""}},                           // paths tell case apart
      {{"/a", ""}, {"/a", "", "", ""}},
  };
  for (const Case& c : cases) {
    CRecentFileList list(0, "Recent File List", "File%d", 4);
    for (const std::string& path : c.added) {
      list.Add(path.c_str());
    }
    std::vector<std::string> got;
    for (int i = 0; i < list.GetSize(); ++i) {
      got.push_back(list[i].str());
    }
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(ProfileTest, TheRecentFileListIsStoredInTheProfileWithoutStaleEntries)
{
  {
    CTestApp app;
    app.SetRegistryKey("Marvesta");
    app.LoadStdProfileSettings(4);
    ASSERT_NE(app.m_pRecentFileList, nullptr);
    for (const char* path : {"/p/one.qorr5", "/p/two.qorr5", "/p/three.qorr5"}) {
      app.AddToRecentFileList(path);
    }
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(app.GetProfileString("Recent File List", "File1"), CString("/p/three.qorr5"));
    EXPECT_EQ(app.GetProfileString("Recent File List", "File3"), CString("/p/one.qorr5"));
  }
  {
    CTestApp app;
    app.SetRegistryKey("Marvesta");
    app.LoadStdProfileSettings(4);
    EXPECT_EQ((*app.m_pRecentFileList)[2], CString("/p/one.qorr5"));
    app.m_pRecentFileList->Remove(0);
    app.m_pRecentFileList->Remove(0);
    app.SaveStdProfileSettings();
  }
  CTestApp app;
  app.SetRegistryKey("Marvesta");
  EXPECT_EQ(app.GetProfileString("Recent File List", "File1"), CString("/p/one.qorr5"));
  EXPECT_EQ(app.GetProfileString("Recent File List", "File2", "none"), CString("none"));
  EXPECT_EQ(app.GetProfileString("Recent File List", "File3", "none"), CString("none"));
}

TEST_F(ProfileTest, DisplayNamesShortenPathsOutsideTheCurrentFolder)
{
  CRecentFileList list(0, "Recent File List", "File%d", 4, 30);
  list.Add("/home/engineer/projects/roads/very-long-name-of-a-project.qorr5");
  list.Add("/home/engineer/projects/roads/main.qorr5");
  list.Add("/srv/a/b/c/d/e/f/g/h/i/road.qorr5");
  list.Add("/tmp/x.qorr5");
  struct Case {
    int index;
    const char* currentFolder;
    BOOL atLeastName;
    const char* expected;
  };
  const Case cases[] = {
      {0, "/home/", TRUE, "/tmp/x.qorr5"},
      {1, "/srv/", TRUE, "/srv/.../road.qorr5"},
      {2, "/home/engineer/projects/roads/", TRUE, "main.qorr5"},
      {2, "/elsewhere/", TRUE, "/home/.../main.qorr5"},
      {3, "/elsewhere/", TRUE, "very-long-name-of-a-project.qorr5"},
      {3, "/elsewhere/", FALSE, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    CString name;
    EXPECT_TRUE(list.GetDisplayName(name, c.index, c.currentFolder, static_cast<int>(std::strlen(c.currentFolder)),
                                    c.atLeastName));
    EXPECT_EQ(name, CString(c.expected));
  }
  CString name;
  CRecentFileList empty(0, "Recent File List", "File%d", 4);
  EXPECT_FALSE(empty.GetDisplayName(name, 0, "/", 1));
}

class RecentFileCommandTest : public FrameworkTest {};

TEST_F(RecentFileCommandTest, ARecentFileThatIsGoneLeavesTheList)
{
  std::string kept = folder_.File("kept.qorr5");
  std::string gone = folder_.File("gone.qorr5");
  WriteFile(kept, DocumentBytes("kept"));
  app_->AddToRecentFileList(gone.c_str());
  app_->AddToRecentFileList(kept.c_str());

  Command(ID_FILE_MRU_FILE1);
  EXPECT_EQ(Doc()->m_text, CString("kept"));
  EXPECT_EQ((*app_->m_pRecentFileList)[0], CString(kept.c_str()));

  user::ScriptedResponder boxes;
  Command(ID_FILE_MRU_FILE2);
  EXPECT_EQ(boxes.Asked().size(), 1u);
  EXPECT_EQ((*app_->m_pRecentFileList)[0], CString(kept.c_str()));
  EXPECT_TRUE((*app_->m_pRecentFileList)[1].IsEmpty());
  EXPECT_EQ(Doc()->m_text, CString("kept"));
}

}  // namespace
}  // namespace mfctest
