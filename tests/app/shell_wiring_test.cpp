// The shell's periphery through the real main frame: another program's mailslot records, the start page, the
// catalogue manager, the update check, and the pane and bar layout kept from one start to the next.
#include "tests/app/app_session.h"
#include "tests/app/bar_moves.h"

#include "app/resource.h"
#include "document/qor_road_doc.h"
#include "app/shell/frame_workers.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/start_page.h"
#include "outside/mailslot/mailslot_sender.h"
#include "platform/mfc/afxres.h"
#include "platform/user/dropfiles.h"
#include "toolkit/docking/layout.h"
#include "toolkit/paint/paint_manager.h"
#include "tests/platform/net/loopback_server.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace apptest {
namespace {

using ShellWiringTest = AppSession;

constexpr UINT kViewBar = 153;
constexpr int kPanes[] = {kPaneObjects, kPaneParameters, kPaneLighting, kPaneEconomics};

// Where each pane stands: closed or not and the side it is docked to.
std::string Arrangement(CMainFrame* frame)
{
  CTKDockingPaneManager* manager = frame->GetPaneManager();
  std::string text;
  for (int id : kPanes) {
    CTKDockingPane* pane = manager->FindPane(id);
    if (!pane) {
      text += "missing ";
      continue;
    }
    text += std::to_string(id) + (manager->IsPaneClosed(pane) ? ":closed:" : ":open:") +
            std::to_string(manager->GetPaneDirection(pane)) + " ";
  }
  return text;
}

int ViewBarPosition(CMainFrame* frame)
{
  CTKCommandBar* bar = frame->GetCommandBars()->GetToolBar(kViewBar);
  return bar ? bar->GetPosition() : -1;
}

TEST_F(ShellWiringTest, AMovedPaneAndToolbarComeBackAtTheNextStart)
{
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  Pump();
  const std::string fresh = Arrangement(Frame());
  ASSERT_NE(ViewBarPosition(Frame()), tkBarBottom);

  CTKDockingPaneManager* manager = Frame()->GetPaneManager();
  manager->DockNode(manager->FindPane(kPaneLighting)->GetContainer(), TK_DOCK_LEFT, nullptr);
  ASSERT_TRUE(DockToolBarAtBottom(Frame()->GetCommandBars(), kViewBar));
  Pump();
  const std::string moved = Arrangement(Frame());
  ASSERT_NE(moved, fresh);

  Close();
  ASSERT_EQ(Frame(), nullptr) << "the frame did not close";
  EndSession();
  ASSERT_TRUE(Start());
  Pump();
  EXPECT_EQ(Arrangement(Frame()), moved);
  EXPECT_EQ(ViewBarPosition(Frame()), tkBarBottom);
}

TEST_F(ShellWiringTest, AProjectDroppedOnTheFrameIsOpened)
{
  const std::string project = ::testing::TempDir() + "tesmira-app-dropped-" + std::to_string(::getpid()) + ".qorr5";
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  auto* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
  ASSERT_NE(document, nullptr);
  ASSERT_TRUE(document->OnSaveDocument(project.c_str()));
  document->SetPathName("", FALSE);
  CRect frame;
  Frame()->GetWindowRect(&frame);
  ASSERT_TRUE(user::InjectFileDrop(frame.CenterPoint(), "file://" + project + "\r\n"));
  EXPECT_TRUE(PumpUntil([&] { return std::string(Frame()->GetActiveDocument()->GetPathName()) == project; }));
  std::filesystem::remove(project);
}

TEST_F(ShellWiringTest, TheStartPageGreetsTheFirstStartAndTheMenuOpensItAgain)
{
  ASSERT_TRUE(Start());
  EXPECT_TRUE(PumpUntil([&] { return DialogsAsked(shell::IDD_START_PAGE) == 1; }));
  Frame()->SendMessage(WM_COMMAND, ids::ID_START_PAGE);
  EXPECT_EQ(DialogsAsked(shell::IDD_START_PAGE), 2);
}

// Another program's record, written by the mailslot sender's tool in a process of its own.
int Post(UINT message, UINT wParam, UINT lParam)
{
  const std::string command = std::string("\"") + QORR_POST + "\" " + std::to_string(message) + " " +
                              std::to_string(wParam) + " " + std::to_string(lParam);
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ShellWiringTest, AMenuCommandFromAnotherProgramOpensTheAboutBoxAPointerRecordIsDroppedAndZeroesStop)
{
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  ASSERT_NE(Frame()->GetWorkers(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Frame()->GetWorkers()->MailslotReaderRunning(); }))
      << "the frame's mailslot reader did not start";
  // The news message with a pointer of another program's choosing: relayed, the frame would free it.
  ASSERT_TRUE(PumpUntil([] { return Post(UM_SHOWNEWS, 0, 0x1000) == 0; }));
  ASSERT_EQ(Post(WM_COMMAND, ID_APP_ABOUT, 0), 0);
  EXPECT_TRUE(PumpUntil([&] { return DialogsAsked(shell::IDD_ABOUTBOX) == 1; }));
  // Records arrive in order: the About box came, so the pointer record was read before it, and dropped.
  EXPECT_EQ(DialogsAsked(748), 0);
  ASSERT_EQ(Post(0, 0, 0), 0);
  EXPECT_TRUE(PumpUntil([&] { return !Frame()->GetWorkers()->MailslotReaderRunning(); }))
      << "the all-zero record did not stop the reader";
}

// The manager's "Закрыть" is its only way out: Enter (IDOK) never closes it.
TEST_F(ShellWiringTest, TheCatalogueManagerCommandReadsTheIndexAndClosesWithItsCloseButton)
{
  testing_net::LoopbackServer server;
  server.Serve("/plugins.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<plugins>\n<organizations>\n"
                               "<org><id>100000007</id><name>Lantern</name><date>20240101</date></org>\n"
                               "</organizations>\n</plugins>\n");
  SetProfile("Network", "CatalogueIndex", server.Url("/plugins.xml").c_str());
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  Pump();
  int offered = -1;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    if (q.kind != user::ModalQuestion::Kind::Dialog || q.dialogId != static_cast<int>(ids::IDD_CATALOGUE_MANAGER))
      return IDCANCEL;
    HWND list = ::GetDlgItem(q.dialog, ids::IDC_CATALOGUE_OFFERED);
    for (int wait = 0; wait < 300 && offered < 1; ++wait) {
      MSG msg;
      while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
      }
      offered = static_cast<int>(::SendMessage(list, LB_GETCOUNT, 0, 0));
      if (offered < 1)
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    return IDCANCEL;
  });
  Frame()->SendMessage(WM_COMMAND, ids::ID_CATALOGUE_MANAGER);
  user::SetModalResponder(nullptr);
  EXPECT_EQ(offered, 1) << "the index's catalogue was not offered";
  const std::vector<std::string> requests = server.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front().rfind("/plugins.xml", 0), 0u) << requests.front();
  EXPECT_TRUE(::IsWindowEnabled(Frame()->GetSafeHwnd())) << "the frame stayed disabled after the manager";
}

TEST_F(ShellWiringTest, TheUpdateCheckCommandRunsOneCheckAtATime)
{
  SetProfile("Settings", "StartPage", 0);
  SetProfile("Settings", "SendInfo", 0);
  ASSERT_TRUE(Start());
  Pump();
  shell::FrameWorkers* workers = Frame()->GetWorkers();
  ASSERT_NE(workers, nullptr);
  EXPECT_FALSE(workers->UpdateCheckRunning()) << "the automatic check ran with SendInfo off";
  Frame()->SendMessage(WM_COMMAND, ids::ID_CHECK_UPDATES);
  ASSERT_TRUE(PumpUntil([&] { return !workers->UpdateCheckRunning(); }));
  // The site is a closed port: the manual check says it could not connect, once.
  int boxes = 0;
  for (const user::ModalQuestion& question : answers_.Asked())
    boxes += question.kind == user::ModalQuestion::Kind::MessageBox ? 1 : 0;
  EXPECT_EQ(boxes, 1);
}

}  // namespace
}  // namespace apptest
