// F5 through the main frame: the calculation state and its command filter, the status text and the progress
// bar, and a close during the run that is refused, remembered and carried out once the results are in.
#include "tests/app/app_session.h"

#include "document/calculation_run.h"
#include "document/qor_road_doc.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iresults.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/straight_road_engine.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace apptest {
namespace {

// An engine that reports progress, then holds until the test lets it calculate; it finishes its work even when
// asked to stop, as an engine in its last step does.
struct Gate {
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;
  std::atomic<bool> reported{false};
};
Gate* g_gate = nullptr;

int GatedEngine(HWND window, char* inputPath, int, char* resultPath, int)
{
  ::SendMessage(window, UM_ENGINEPROGRESS, 50, 0);
  g_gate->reported = true;
  {
    std::unique_lock lock(g_gate->mutex);
    g_gate->opened.wait(lock, [] { return g_gate->open; });
  }
  Engines::SilentHost host;
  const int code = Engines::RunStraightRoadEngine(inputPath, resultPath, host);
  ::PostMessage(window, UM_CALCFINISHED, static_cast<WPARAM>(code), 0);
  return code;
}

// What the command filter answers for a command.
struct EnableProbe : CCmdUI {
  BOOL enabled = TRUE;
  void Enable(BOOL on) override { enabled = on; }
  void SetCheck(int) override {}
};

class CalculationTest : public AppSession {
protected:
  void SetUp() override
  {
    AppSession::SetUp();
    g_gate = &gate_;
    SetCalculationEngine(CLSID_CStraightRoad, &GatedEngine);
  }
  void TearDown() override
  {
    OpenGate();
    AppSession::TearDown();
    SetCalculationEngine(CLSID_CStraightRoad, nullptr);
    g_gate = nullptr;
  }
  void OpenGate()
  {
    {
      std::lock_guard lock(gate_.mutex);
      gate_.open = true;
    }
    gate_.opened.notify_all();
  }
  int Ask(UINT message)
  {
    int value = -1;
    Frame()->SendMessage(message, 0, reinterpret_cast<LPARAM>(&value));
    return value;
  }
  BOOL Enabled(UINT command)
  {
    EnableProbe probe;
    probe.m_nID = command;
    Frame()->OnCmdMsg(command, CN_UPDATE_COMMAND_UI, &probe, nullptr);
    return probe.enabled;
  }
  CString StatusText() { return Frame()->GetStatusBar()->GetPaneText(0); }
  int ResultsValid()
  {
    auto* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
    void* area = nullptr;
    if (!document || FAILED(document->QueryInterface(IID_ActiveArea, &area)))
      return -1;
    void* results = nullptr;
    static_cast<IArea*>(area)->QueryInterface(&IID_IResultsOfCalc, &results);
    static_cast<IArea*>(area)->Release();
    if (!results)
      return -1;
    const int valid = static_cast<IResultsOfCalc*>(results)->GetData()->valid;
    static_cast<IResultsOfCalc*>(results)->Release();
    return valid;
  }
  // F5 pressed in the view, the calculation started and the engine's first progress shown.
  void PressF5()
  {
    CView* view = Frame()->GetActiveView();
    ASSERT_NE(view, nullptr);
    view->PostMessage(WM_KEYDOWN, VK_F5, 0x003F0001);
    ASSERT_TRUE(PumpUntil([&] { return gate_.reported.load(); }));
  }

  Gate gate_;
};

TEST_F(CalculationTest, DuringTheRunOnlyTheNineteenCommandsStayAndTheStatusFollows)
{
  ASSERT_TRUE(Start());
  Pump();
  EXPECT_TRUE(Enabled(32772));
  PressF5();
  EXPECT_EQ(Ask(UM_GETCALCSTATE), 1);
  EXPECT_EQ(StatusText(), CString("Идет расчет..."));
  ASSERT_NE(Frame()->GetProgressBar(), nullptr);
  EXPECT_TRUE(Frame()->GetProgressBar()->IsWindowVisible());
  EXPECT_EQ(Frame()->GetProgressBar()->GetPos(), 50);

  for (UINT command : {32772u, 57603u, 57643u, 32994u, 57665u})
    EXPECT_FALSE(Enabled(command)) << command;
  for (UINT command : {32814u, 33079u, 32794u})
    EXPECT_TRUE(Enabled(command)) << command;

  OpenGate();
  ASSERT_TRUE(PumpUntil([&] { return Ask(UM_GETCALCSTATE) == 0; }));
  Pump();
  EXPECT_EQ(ResultsValid(), 1);
  EXPECT_FALSE(Frame()->GetProgressBar()->IsWindowVisible());
  EXPECT_EQ(StatusText(), CString("Для справки, нажмите F1"));
  EXPECT_TRUE(Enabled(32772));
}

TEST_F(CalculationTest, EscInTheViewAsksTheRunningCalculationToStop)
{
  ASSERT_TRUE(Start());
  PressF5();
  CView* view = Frame()->GetActiveView();
  view->SendMessage(WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(Ask(UM_GETCALCSTATE), 2) << "the run was asked to stop";
  OpenGate();
  ASSERT_TRUE(PumpUntil([&] { return Ask(UM_GETCALCSTATE) == 0; }));
  Pump();
}

TEST_F(CalculationTest, ClosingTwiceDuringTheRunExitsAfterTheResultsWithTheSaveQuestion)
{
  // Only the save question may be asked here.
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  PressF5();
  const HWND frame = Frame()->GetSafeHwnd();
  Frame()->SendMessage(WM_CLOSE);
  Frame()->SendMessage(WM_CLOSE);
  EXPECT_TRUE(::IsWindow(frame));
  EXPECT_EQ(Ask(UM_GETEXITPENDING), 1);
  EXPECT_EQ(Ask(UM_GETCALCSTATE), 2);
  EXPECT_EQ(StatusText(), CString("Пожалуйста, подождите..."));
  EXPECT_TRUE(answers_.Asked().empty());

  // The exit comes by itself once the results are read; the user cancels it at the save question first.
  answers_.AnswerNext(IDCANCEL);
  OpenGate();
  ASSERT_TRUE(PumpUntil([&] { return answers_.Asked().size() == 1; }));
  ASSERT_TRUE(::IsWindow(frame));
  EXPECT_EQ(ResultsValid(), 1);
  EXPECT_EQ(Ask(UM_GETEXITPENDING), 0);
  EXPECT_EQ(Ask(UM_GETCALCSTATE), 0);

  answers_.AnswerNext(IDNO);
  Frame()->SendMessage(WM_CLOSE);
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(frame); }));
  EXPECT_EQ(answers_.Asked().size(), 2u);
}

}  // namespace
}  // namespace apptest
