// A calculation run between a document, a main window and an engine, for tests: a small main frame that
// handles the engines' messages as the program's frame does, fake engines that script what an engine may do,
// and our straight-road engine for the whole way.
#pragma once

#include "document/calculation_run.h"
#include "document/engine_io/engine_io_codes.h"
#include "document_env.h"
#include "results_core.h"
#include "model/class_obj_model.h"
#include "model/groups_of_dev.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/iresults.h"
#include "model/light_device.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/straight_road_engine.h"
#include "platform/base/interlocked.h"
#include "platform/base/thread.h"
#include "platform/mfc/afxres.h"
#include "platform/user/messages.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// One frame procedure and one engine script for the whole test program, whichever file registers the frame.
namespace calculation_test {

// What the main frame does with the run's messages, and what it saw.
struct MainFrame {
  HWND hwnd = nullptr;
  CQorRoadDoc* document = nullptr;
  volatile LONG state = 0;
  int exitPending = 0;
  bool exitPosted = false;
  int finishes = 0;
  int finishCode = -1;  // what the document's finish answered
  std::vector<int> states;     // 0x8213, in order
  std::vector<int> progress;   // 0x81FD, in order
  int resultsChanged = 0;      // 0x81F8
  // What the user does while the engine reports progress (0x820E).
  std::function<void()> onEngineProgress;
  // Just before the frame hands the end message to the document.
  std::function<void()> onEngineFinished;
  // After the run made its temporary files (0x81FD with 1).
  std::function<void()> onFilesMade;
};

inline MainFrame* g_frame = nullptr;

inline std::string ReadText(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline LRESULT FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (!g_frame)
    return DefWindowProc(hwnd, message, wParam, lParam);
  MainFrame& f = *g_frame;
  switch (message) {
  case UM_SETCALCSTATE:
    InterlockedExchange(&f.state, static_cast<LONG>(wParam));
    f.states.push_back(static_cast<int>(wParam));
    return 0;
  case UM_GETCALCSTATE:
    *reinterpret_cast<int*>(lParam) = static_cast<int>(InterlockedCompareExchange(&f.state, 0, 0));
    return 0;
  case UM_ENGINEPROGRESS:
    ::SendMessage(hwnd, UM_PROGRESS, wParam, 0);
    if (f.onEngineProgress)
      f.onEngineProgress();
    return 0;
  case UM_PROGRESS:
    f.progress.push_back(static_cast<int>(wParam));
    if (wParam == 1 && f.onFilesMade)
      f.onFilesMade();
    return 0;
  case UM_RESULTSCHANGED:
    ++f.resultsChanged;
    return 0;
  case UM_CALCFINISHED:
    ++f.finishes;
    if (f.onEngineFinished)
      f.onEngineFinished();
    f.finishCode = f.document->OnCalculationFinished(static_cast<int>(wParam));
    return f.finishCode;
  case UM_GETEXITPENDING:
    *reinterpret_cast<int*>(lParam) = f.exitPending;
    return 0;
  case UM_SETEXITPENDING:
    f.exitPending = static_cast<int>(wParam);
    return 0;
  case WM_COMMAND:
    if (LOWORD(wParam) == ID_APP_EXIT)
      f.exitPosted = true;
    return 0;
  default:
    return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

// What a fake engine does, and what it was given.
struct EngineScript {
  int code = 0;                 // delivered when it does not calculate
  bool calculate = true;        // run our straight-road engine on the files
  long truncateResultTo = -1;   // then cut the result file down to this many bytes
  int failFromCall = 0;         // from this call on (counting from 1), deliver `code` without calculating
  int calls = 0;
  bool onWindowThread = false;
  int stateSeen = -1;
  std::string inputPath, resultPath, inputText;
};

inline EngineScript g_engine;

inline EngineScript Script(int code, bool calculate, long truncateResultTo = -1)
{
  EngineScript script;
  script.code = code;
  script.calculate = calculate;
  script.truncateResultTo = truncateResultTo;
  return script;
}

inline int FakeEngine(HWND window, char* inputPath, int, char* resultPath, int)
{
  EngineScript& e = g_engine;
  ++e.calls;
  e.inputPath = inputPath;
  e.resultPath = resultPath;
  e.inputText = ReadText(inputPath);
  e.onWindowThread = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
  ::SendMessage(window, UM_ENGINEPROGRESS, 50, 0);
  int code = e.code;
  if (e.calculate && (e.failFromCall == 0 || e.calls < e.failFromCall)) {
    Engines::SilentHost host;
    code = Engines::RunStraightRoadEngine(inputPath, resultPath, host);
  }
  if (e.truncateResultTo >= 0)
    std::filesystem::resize_file(resultPath, static_cast<std::uintmax_t>(e.truncateResultTo));
  int state = 0;
  ::SendMessage(window, UM_GETCALCSTATE, 0, reinterpret_cast<LPARAM>(&state));
  e.stateSeen = state;
  if (state == Shell::kCalcStopping)
    code = 15;
  if (!e.onWindowThread)
    ::PostMessage(window, UM_CALCFINISHED, static_cast<WPARAM>(code), 0);
  return code;
}

class FrameShell : public RecordingShell {
public:
  HWND frame = nullptr;
  std::vector<int> answers;  // given to message boxes in order; then OK
  int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) override
  {
    RecordingShell::ShowMessageBox(owner, text, caption, type);
    if (answers.empty())
      return IDOK;
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  HWND GetMainWindow() override { return frame; }
  LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    return frame ? ::SendMessage(frame, message, wParam, lParam) : 0;
  }
  // The engines' data files lie in the build tree's Bin folder.
  CString GetBinFolder() override
  {
    return (std::filesystem::path(TESMIRA_ARTIFACTS_DIR).parent_path() / "Bin").string().append("/").c_str();
  }
};

struct RunMode {
  const char* name;
  DWORD flags;
};
inline constexpr RunMode kModes[] = {{"threaded", 0x3F}, {"direct", 0x1F}};

class CalculationRun : public DocumentTest {
protected:
  void SetUp() override
  {
    DocumentTest::SetUp();
    frameShell.dataFolder = shell.dataFolder;
    Shell::SetShellServices(&frameShell);
    WNDCLASS wc;
    wc.lpfnWndProc = &FrameProc;
    wc.lpszClassName = "TesmiraTestMainFrame";
    RegisterClass(&wc);
    g_frame = &frame;
    frame.hwnd = CreateWindowEx(0, wc.lpszClassName, "Tesmira Road", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(frame.hwnd, nullptr);
    frameShell.frame = frame.hwnd;
    g_engine = EngineScript{};
    SetCalculationEngine(CLSID_CStraightRoad, &FakeEngine);
    // The results can be shown, as in the program, and a saved project carries what was shown.
    SetGraphicCoreFactory(&ResultsCore::Make);
    Start();
    frame.document = doc.get();
    SetSampleLuminaire();
  }
  void TearDown() override
  {
    SetCalculationEngine(CLSID_CStraightRoad, nullptr);
    for (IModelUnknown* part : held)
      part->Release();
    DestroyWindow(frame.hwnd);
    g_frame = nullptr;
    DocumentTest::TearDown();
    SetGraphicCoreFactory(nullptr);
    Shell::SetShellServices(nullptr);
  }

  // Starts a run and pumps the window's messages until its finish has run and everything it posted arrived.
  int Run(DWORD flags)
  {
    const int answer = doc->StartCalculation(flags);
    PumpUntilIdle();
    return answer;
  }

  void PumpUntilIdle()
  {
    // The end comes posted by the engine or sent by the worker; a wait on the queue wakes for both.
    MSG msg;
    for (;;) {
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
      if (!IsCalculationRunning())
        break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    }
  }

  template <class I>
  I* ActiveAreaPart(const IID& iid)
  {
    void* area = nullptr;
    if (FAILED(doc->QueryInterface(IID_ActiveArea, &area)))
      return nullptr;
    void* part = nullptr;
    static_cast<IArea*>(area)->QueryInterface(&iid, &part);
    static_cast<IArea*>(area)->Release();
    if (part)
      held.emplace_back(static_cast<IModelUnknown*>(part));
    return static_cast<I*>(part);
  }
public:
  _CALC_RESULTS& Results() { return *ActiveAreaPart<IResultsOfCalc>(IID_IResultsOfCalc)->GetData(); }
  IGroupOfDev* FirstGroup()
  {
    return dynamic_cast<ObjectModel::CGroupsOfDev*>(ActiveAreaPart<IGroupsOfDev>(IID_IGroupsOfDev))->GetFirstGroup();
  }

  // A cut-off street-lighting distribution in cd/klm, C0..C90, gamma 0..90.
  void SetSampleLuminaire()
  {
    const std::vector<double> gammas{0, 10, 20, 30, 40, 50, 60, 65, 70, 75, 80, 85, 90};
    const std::vector<double> planes{0, 30, 60, 90};
    const std::vector<std::vector<double>> values{
        {260, 262, 270, 285, 300, 310, 290, 240, 160, 80, 25, 8, 0},
        {260, 265, 278, 300, 330, 360, 350, 300, 200, 100, 30, 10, 0},
        {260, 268, 285, 310, 340, 330, 280, 220, 140, 70, 20, 6, 0},
        {260, 266, 275, 280, 270, 240, 180, 130, 80, 40, 12, 4, 0},
    };
    CLightDevice& d = *FirstGroup()->GetLightDevice();
    d.textA = "SampleStreet-150";
    d.lampFlux = 15000;
    d.lampCount = 1;
    d.symmetryWord = 0x10020100;
    _LINKED_TABLE* t = d.table.get();
    LinkedTableResize(t, static_cast<int>(planes.size()) + 1, static_cast<int>(gammas.size()) + 1);
    for (std::size_t j = 0; j < gammas.size(); ++j)
      LinkedTableFind(t, static_cast<int>(j) + 2, 1)->value = gammas[j];
    for (std::size_t i = 0; i < planes.size(); ++i) {
      LinkedTableFind(t, 1, static_cast<int>(i) + 2)->value = planes[i];
      for (std::size_t j = 0; j < gammas.size(); ++j)
        LinkedTableFind(t, static_cast<int>(j) + 2, static_cast<int>(i) + 2)->value = values[i][j];
    }
  }
protected:
  void SwitchOffGroups()
  {
    int off = 0;
    for (IGroupOfDev* g = FirstGroup(); g; g = g->GetNext())
      g->SetState(&off);
  }

  static bool Exists(const char* path) { return path[0] && std::filesystem::exists(path); }
  void ExpectTemporaryFilesGone()
  {
    const _CALC_THREAD_PARAMS& p = LastCalculationParams();
    EXPECT_FALSE(Exists(p.inputPath)) << p.inputPath;
    EXPECT_FALSE(Exists(p.resultPath)) << p.resultPath;
  }

  FrameShell frameShell;
  MainFrame frame;
  std::vector<IModelUnknown*> held;
};

}  // namespace calculation_test
