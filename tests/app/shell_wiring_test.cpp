// The shell's periphery through the real main frame: the mailslot, the start page, the catalogue manager, and
// the pane and bar layout kept from one start to the next.
#include "tests/app/app_session.h"
#include "tests/app/bar_moves.h"

#include "app/resource.h"
#include "app/shell/frame_workers.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/start_page.h"
#include "outside/mailslot/mailslot_sender.h"
#include "platform/mfc/afxres.h"
#include "toolkit/docking/layout.h"
#include "toolkit/paint/paint_manager.h"

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

TEST_F(ShellWiringTest, AMenuCommandThroughTheMailslotOpensTheAboutBoxAndAPointerRecordIsDropped)
{
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  ASSERT_NE(Frame()->GetWorkers(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Frame()->GetWorkers()->MailslotReaderRunning(); }));
  // The news message with a pointer of another program's choosing: relayed, the frame would free it.
  ASSERT_TRUE(PumpUntil([] { return qormail::SendRecord(UM_SHOWNEWS, 0, 0x1000) == ERROR_SUCCESS; }));
  ASSERT_EQ(qormail::SendRecord(WM_COMMAND, ID_APP_ABOUT, 0), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(PumpUntil([&] { return DialogsAsked(shell::IDD_ABOUTBOX) == 1; }));
  // Records arrive in order: the About box came, so the pointer record was read before it, and dropped.
  EXPECT_EQ(DialogsAsked(748), 0);
}

TEST_F(ShellWiringTest, TheStartPageGreetsTheFirstStartAndTheMenuOpensItAgain)
{
  ASSERT_TRUE(Start());
  EXPECT_TRUE(PumpUntil([&] { return DialogsAsked(shell::IDD_START_PAGE) == 1; }));
  Frame()->SendMessage(WM_COMMAND, ids::ID_START_PAGE);
  EXPECT_EQ(DialogsAsked(shell::IDD_START_PAGE), 2);
}

TEST_F(ShellWiringTest, TheCatalogueManagerCommandOpensTheManager)
{
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  Pump();
  Frame()->SendMessage(WM_COMMAND, ids::ID_CATALOGUE_MANAGER);
  EXPECT_EQ(DialogsAsked(ids::IDD_CATALOGUE_MANAGER), 1);
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
