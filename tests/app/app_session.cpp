#include "tests/app/app_session.h"

#include "outside/servers/ipole_catalog.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace apptest {

void AppSession::SetUp()
{
  root_ = ::testing::TempDir() + "tesmira-app-" + std::to_string(::getpid()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
  std::filesystem::remove_all(root_);
  std::filesystem::create_directories(UserBinFolder());
  std::filesystem::create_directories(DocumentsFolder());
  ::setenv("XDG_DATA_HOME", (root_ + "data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (root_ + "config").c_str(), 1);
  ::setenv("XDG_DOCUMENTS_DIR", DocumentsFolder().c_str(), 1);
  ::setenv("TESMIRA_PROFILE_DIR", (root_ + "profile").c_str(), 1);
  // The frame's mailslot reader: each test's own, so that parallel runs do not take one another's. A socket's
  // path must fit in 108 bytes, which a folder named after the test does not leave room for.
  char runFolder[] = "/tmp/tqr-run-XXXXXX";
  ASSERT_NE(::mkdtemp(runFolder), nullptr);
  runFolder_ = runFolder;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
    runtimeDir_ = runtime;
  ::setenv("XDG_RUNTIME_DIR", runFolder_.c_str(), 1);
  // The web site is a closed port of this machine; the depth warning is not asked for.
  SetProfile("Network", "Site", "http://127.0.0.1:1");
  SetProfile("Network", "CatalogueIndex", "http://127.0.0.1:1/plugins.xml");
  SetProfile("Network", "CatalogueFolder", "http://127.0.0.1:1/");
  SetProfile("Settings", "ShowZBuffer", 0);
  qorsrv::BuildStarterCatalogue(UserBinFolder() + "QorRoad.qord",
                                TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  qorsrv::BuildStarterPoleCatalogue(UserBinFolder() + "QorRoad.qorp");
}

void AppSession::TearDown()
{
  EndApp();
  std::filesystem::remove_all(root_);
  if (!runFolder_.empty())
    std::filesystem::remove_all(runFolder_);
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "TESMIRA_PROFILE_DIR"})
    ::unsetenv(name);
  if (runtimeDir_.empty())
    ::unsetenv("XDG_RUNTIME_DIR");
  else
    ::setenv("XDG_RUNTIME_DIR", runtimeDir_.c_str(), 1);
}

void AppSession::Close()
{
  if (CMainFrame* frame = Frame())
    frame->SendMessage(WM_CLOSE);
  Pump();
}

int AppSession::DialogsAsked(int dialogId) const
{
  int count = 0;
  for (const user::ModalQuestion& question : answers_.Asked())
    count += question.kind == user::ModalQuestion::Kind::Dialog && question.dialogId == dialogId ? 1 : 0;
  return count;
}

void AppSession::EndApp()
{
  if (!app_)
    return;
  if (app_->m_pMainWnd && app_->m_pMainWnd->GetSafeHwnd()) {
    answers_.AnswerNext(IDNO);
    app_->m_pMainWnd->DestroyWindow();
  }
  app_->ExitInstance();
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  app_.reset();
}

void AppSession::SetProfile(const char* section, const char* entry, const char* value)
{
  platform::ProfileStore("Marvesta", "Tesmira Road").WriteProfileString(section, entry, value);
}

void AppSession::SetProfile(const char* section, const char* entry, int value)
{
  platform::ProfileStore("Marvesta", "Tesmira Road").WriteProfileInt(section, entry, value);
}

std::string AppSession::Profile(const char* section, const char* entry)
{
  return platform::ProfileStore("Marvesta", "Tesmira Road").GetProfileString(section, entry, "");
}

BOOL AppSession::Start(const std::string& commandLine)
{
  // The build tree is the installation: its Bin folder holds the engines' reflection tables.
  SetProfile("Settings", "InstallDir", TESMIRA_BUILD_DIR "/");
  app_ = std::make_unique<CQorRoadApp>();
  static std::string line;
  line = commandLine;
  app_->m_lpCmdLine = line.c_str();
  return app_->InitInstance();
}

CMainFrame* AppSession::Frame() const
{
  return app_ ? dynamic_cast<CMainFrame*>(app_->m_pMainWnd) : nullptr;
}

void AppSession::Pump()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!app_->PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
  app_->OnIdle(0);
}

bool AppSession::PumpUntil(const std::function<bool()>& done)
{
  // A bound on the waits, not on time: each wait ends at the next message or after a tenth of a second.
  for (int wait = 0; wait < 600; ++wait) {
    Pump();
    if (done())
      return true;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  return done();
}

std::vector<std::string> AppSession::TraceLog() const
{
  std::ifstream in(UserBinFolder() + "qorroad.log");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

}  // namespace apptest
