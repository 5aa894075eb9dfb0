// The shell's periphery through the real main frame: the start page, the update check, and the pane and bar
// layout kept from one start to the next.
#include "tests/app/app_session.h"
#include "tests/app/bar_moves.h"

#include "app/resource.h"
#include "document/qor_road_doc.h"
#include "app/shell/frame_workers.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/start_page.h"
#include "platform/mfc/afxres.h"
#include "platform/user/dropfiles.h"
#include "toolkit/docking/layout.h"
#include "toolkit/paint/paint_manager.h"

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
