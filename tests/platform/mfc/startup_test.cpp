// Start-up as the program does it: the command line, the shell command, the message loop and the way out.
#include "tests/platform/mfc/harness.h"

namespace mfctest {
namespace {

class CStartupApp : public CTestApp {
public:
  CString openedText;
  CString title;

  BOOL InitInstance() override
  {
    SetRegistryKey("Marvesta");
    LoadStdProfileSettings(4);
    AddDocTemplate(new CTestTemplate(kDocTemplateId, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                     RUNTIME_CLASS(CTestView)));
    CCommandLineInfo info;
    ParseCommandLine(info);
    if (!ProcessShellCommand(info)) {
      return FALSE;
    }
    auto* frame = static_cast<CFrameWnd*>(m_pMainWnd);
    openedText = static_cast<CTestDoc*>(frame->GetActiveDocument())->m_text;
    title = frame->GetWindowTextString();
    // The user closes the window as soon as the loop runs.
    m_pMainWnd->PostMessage(WM_CLOSE);
    return TRUE;
  }
};

class StartupTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    RegisterTestStrings();
    ::setenv("TESMIRA_PROFILE_DIR", folder_.Path().c_str(), 1);
  }
  void TearDown() override
  {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    ::unsetenv("TESMIRA_PROFILE_DIR");
  }
  TempFolder folder_;
};

TEST_F(StartupTest, AFileOnTheCommandLineIsOpenedAndTheLoopEndsWithTheWindow)
{
  std::string path = folder_.File("my project.qorr5");
  WriteFile(path, std::string("\x05hello", 6));
  std::string commandLine = "/nologo \"" + path + "\"";

  CStartupApp app;
  EXPECT_EQ(AfxWinMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL), 0);
  EXPECT_EQ(app.openedText, CString("hello"));
  EXPECT_EQ(app.title, CString("my project.qorr5 - Tesmira Road"));
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  // The recent-file list went to the profile on the way out.
  EXPECT_EQ(app.GetProfileString("Recent File List", "File1"), CString(path.c_str()));
}

TEST_F(StartupTest, AnAbsolutePathIsAFileNameAndSlashWordsAreFlags)
{
  struct Case {
    const char* commandLine;
    int shellCommand;
    const char* fileName;
    BOOL splash;
  };
  const Case cases[] = {
      {"/nologo /home/engineer/road.qorr5", CCommandLineInfo::FileOpen, "/home/engineer/road.qorr5", FALSE},
      {"-nologo \"/a b/c.qorr5\" /extra.qorr5", CCommandLineInfo::FileOpen, "/a b/c.qorr5", FALSE},
      {"/Unregister", CCommandLineInfo::AppUnregister, "", TRUE},
      {"  ", CCommandLineInfo::FileNew, "", TRUE},
  };
  CTestApp app;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    app.m_lpCmdLine = c.commandLine;
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, c.shellCommand);
    EXPECT_EQ(info.m_strFileName, CString(c.fileName));
    EXPECT_EQ(info.m_bShowSplash, c.splash);
  }
}

TEST_F(StartupTest, NoFileMakesANewDocument)
{
  CStartupApp app;
  char commandLine[] = "";
  EXPECT_EQ(AfxWinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL), 0);
  EXPECT_EQ(app.title, CString("Untitled - Tesmira Road"));
}

TEST_F(StartupTest, AFileThatCannotBeOpenedEndsStartUpWithoutAWindow)
{
  std::string commandLine = folder_.File("absent.qorr5");
  CStartupApp app;
  user::ScriptedResponder boxes;
  AfxWinMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
  EXPECT_EQ(boxes.Asked().size(), 1u);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_TRUE(app.title.IsEmpty());
}

}  // namespace
}  // namespace mfctest
