// Start-up on an empty profile and on a profile with a recent project, the stored window placement, and what
// closing the window leaves in the profile.
#include "tests/app/app_session.h"

#include "app/placement.h"
#include "document/qor_road_doc.h"
#include "platform/base/crash_handler.h"
#include "platform/base/fileops.h"
#include "platform/mfc/afxres.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <unistd.h>

namespace apptest {
namespace {

constexpr UINT kStartPageCommand = 33047;

bool StartPagePosted()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE))
    if (LOWORD(msg.wParam) == kStartPageCommand)
      return true;
  return false;
}

using StartupTest = AppSession;

TEST_F(StartupTest, FirstRunMakesTheIdOpensMaximisedAndPostsTheStartPage)
{
  ASSERT_TRUE(Start());
  const std::string id = Profile("Settings", "QorRID");
  EXPECT_EQ(id.size(), 38u) << id;
  EXPECT_EQ(id.front(), '{');
  EXPECT_EQ(id.back(), '}');
  // InstallDir is set by the session, so DebugDir is left alone.
  EXPECT_EQ(Profile("Settings", "DebugDir"), "");
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(Frame()->IsZoomed());
  EXPECT_TRUE(Frame()->IsWindowVisible());
  EXPECT_TRUE(StartPagePosted());
  Pump();
  EXPECT_EQ(Frame()->GetStatusBar()->GetPaneText(0), CString("Для справки, нажмите F1"));
}

TEST_F(StartupTest, WithoutAnInstallationTheStartFolderBecomesTheDebugFolder)
{
  app_ = std::make_unique<CQorRoadApp>();
  ASSERT_TRUE(app_->InitInstance());
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectory(MAX_PATH, folder);
  EXPECT_EQ(Profile("Settings", "DebugDir"), std::string(folder) + "\\");
  EXPECT_EQ(std::string(Shell::GetBinFolder()), std::string(folder) + "\\");
}

TEST_F(StartupTest, TheTraceShowsApplicationViewRenderCoreAndNewDocumentInOrder)
{
  ASSERT_TRUE(Start());
  const std::vector<std::string> log = TraceLog();
  auto at = [&](const char* step) {
    return std::find(log.begin(), log.end(), step) - log.begin();
  };
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "0");
  // The view's steps 8 to 17 in order, the render core's and GL steps between 12 and 13.
  const char* viewSteps[] = {"8", "9", "10", "11", "12", "110", "1101", "11021", "1106", "117", "13", "14",
                             "15", "16", "17", "18", "19", "20"};
  std::ptrdiff_t last = 0;
  for (const char* step : viewSteps) {
    const std::ptrdiff_t position = at(step);
    ASSERT_LT(position, static_cast<std::ptrdiff_t>(log.size())) << "step " << step << " missing";
    EXPECT_GT(position, last) << "step " << step;
    last = position;
  }
}

TEST_F(StartupTest, WithStartPageOffTheMostRecentProjectOpensInsteadOfTheStartPage)
{
  // A project saved by an earlier session, outside this session's folders.
  const std::string project = ::testing::TempDir() + "tesmira-app-recent-" + std::to_string(::getpid()) + ".qorr5";
  ASSERT_TRUE(Start());
  auto* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
  ASSERT_NE(document, nullptr);
  ASSERT_TRUE(document->OnSaveDocument(project.c_str()));
  TearDown();
  SetUp();

  SetProfile("Settings", "StartPage", 0);
  SetProfile("Recent File List", "File1", project.c_str());
  ASSERT_TRUE(Start());
  EXPECT_EQ(std::string(Frame()->GetActiveDocument()->GetPathName()), project);
  EXPECT_FALSE(app_->m_startPageDue);
  EXPECT_FALSE(StartPagePosted());
  std::filesystem::remove(project);
}

TEST_F(StartupTest, AFileOnTheCommandLineOpensItAndNeitherTheRecentProjectNorTheStartPage)
{
  const std::string project = ::testing::TempDir() + "tesmira-app-named-" + std::to_string(::getpid()) + ".qorr5";
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Frame()->GetActiveDocument()->OnSaveDocument(project.c_str()));
  TearDown();
  SetUp();

  SetProfile("Settings", "StartPage", 0);
  SetProfile("Recent File List", "File1", "/nowhere/old.qorr5");
  ASSERT_TRUE(Start("\"" + project + "\""));
  EXPECT_EQ(std::string(Frame()->GetActiveDocument()->GetPathName()), project);
  EXPECT_FALSE(StartPagePosted());
  EXPECT_TRUE(answers_.Asked().empty()) << "the missing recent file was not tried";
  std::filesystem::remove(project);
}

TEST_F(StartupTest, AShortOrGarbledPlacementOpensMaximisedAndAGoodOneKeepsItsShowCommand)
{
  struct Case {
    const char* stored;
    bool maximised;
  };
  const Case cases[] = {{"2,3,-1", true}, {"x,y", true}, {"0,1,-1,-1,-1,-1,10,10,900,700", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    SetProfile("Settings", "WindowPos", c.stored);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame()->IsZoomed() != FALSE, c.maximised);
    TearDown();
    SetUp();
  }
}

TEST_F(StartupTest, ClosingStoresThePlacementAndAMinimisedWindowAsMaximised)
{
  ASSERT_TRUE(Start());
  Frame()->ShowWindow(SW_MINIMIZE);
  answers_.AnswerNext(IDNO);
  Frame()->SendMessage(WM_CLOSE);
  WINDOWPLACEMENT placement;
  ASSERT_TRUE(ParseWindowPlacement(Profile("Settings", "WindowPos").c_str(), &placement))
      << Profile("Settings", "WindowPos");
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
}

}  // namespace
}  // namespace apptest

namespace apptest {
namespace {

TEST(CrashHandler, ACrashLeavesItsMarkerAndTheTextAndStillEndsTheProcess)
{
  const std::string marker = ::testing::TempDir() + "tesmira-crash-" + std::to_string(::getpid());
  std::filesystem::remove(marker);
  EXPECT_EXIT(
      {
        platform::InstallCrashHandler(marker, "crash text\n");
        std::abort();
      },
      ::testing::KilledBySignal(SIGABRT), "crash text");
  EXPECT_TRUE(platform::TakeCrashMarker(marker));
  EXPECT_FALSE(platform::TakeCrashMarker(marker)) << "reported once";
}

TEST_F(StartupTest, TheStartAfterACrashShowsTheCrashTextOnce)
{
  std::ofstream(UserBinFolder() + "qorroad.crash").put('\n');
  answers_.AnswerNext(IDOK);
  ASSERT_TRUE(Start());
  ASSERT_EQ(answers_.Asked().size(), 1u);
  EXPECT_EQ(answers_.Asked()[0].caption, "Ошибка Tesmira Road");
  EXPECT_EQ(answers_.Asked()[0].text.rfind("Обнаружена ошибка приложения.", 0), 0u);
  EXPECT_EQ(answers_.Asked()[0].owner, nullptr);
  EXPECT_FALSE(std::filesystem::exists(UserBinFolder() + "qorroad.crash"));
}

}  // namespace
}  // namespace apptest

namespace apptest {
namespace {

TEST_F(StartupTest, TheDocumentTypesAreMadeKnownForThisUserAndRewrittenOnlyWhenChanged)
{
  ASSERT_TRUE(Start());
  const std::string entry = Root() + "data/applications/marvesta-tesmira-road.desktop";
  const std::string package = Root() + "data/mime/packages/marvesta-tesmira-road.xml";
  std::ifstream in(entry);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("MimeType=application/x-qorroad-project;application/x-qorroad-template;\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find(" %f\n"), std::string::npos);
  std::ifstream packageIn(package);
  const std::string packageText((std::istreambuf_iterator<char>(packageIn)), std::istreambuf_iterator<char>());
  for (const char* glob : {"*.qorr5", "*.qorr4", "*.qorrt"})
    EXPECT_NE(packageText.find(glob), std::string::npos) << glob;

  // A later start with nothing changed writes nothing.
  const auto written = std::filesystem::last_write_time(entry);
  std::filesystem::last_write_time(entry, written - std::chrono::hours(1));
  std::filesystem::last_write_time(package, written - std::chrono::hours(1));
  EndSession();
  ASSERT_TRUE(Start());
  EXPECT_EQ(std::filesystem::last_write_time(entry), written - std::chrono::hours(1));
  EXPECT_EQ(std::filesystem::last_write_time(package), written - std::chrono::hours(1));
}

}  // namespace
}  // namespace apptest
