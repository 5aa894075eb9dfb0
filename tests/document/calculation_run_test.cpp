// The calculation run between a document, a main window and an engine: a small main frame that handles the
// engines' messages as the program's frame does, fake engines that script what an engine may do, and our
// straight-road engine for the whole way.
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

namespace {

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

MainFrame* g_frame = nullptr;

std::string ReadText(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

LRESULT FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (!g_frame)
    return DefWindowProc(hwnd, message, wParam, lParam);
  MainFrame& f = *g_frame;
  switch (message) {
  case Shell::WM_QOR_CALC_STATE:
    InterlockedExchange(&f.state, static_cast<LONG>(wParam));
    f.states.push_back(static_cast<int>(wParam));
    return 0;
  case Shell::WM_QOR_QUERY_CALC_STATE:
    *reinterpret_cast<int*>(lParam) = static_cast<int>(InterlockedCompareExchange(&f.state, 0, 0));
    return 0;
  case Shell::WM_QOR_ENGINE_PROGRESS:
    ::SendMessage(hwnd, Shell::WM_QOR_PROGRESS, wParam, 0);
    if (f.onEngineProgress)
      f.onEngineProgress();
    return 0;
  case Shell::WM_QOR_PROGRESS:
    f.progress.push_back(static_cast<int>(wParam));
    if (wParam == 1 && f.onFilesMade)
      f.onFilesMade();
    return 0;
  case Shell::WM_QOR_RESULTS_CHANGED:
    ++f.resultsChanged;
    return 0;
  case Shell::WM_QOR_ENGINE_FINISHED:
    ++f.finishes;
    if (f.onEngineFinished)
      f.onEngineFinished();
    f.finishCode = f.document->OnCalculationFinished(static_cast<int>(wParam));
    return f.finishCode;
  case Shell::WM_QOR_GET_EXIT_PENDING:
    *reinterpret_cast<int*>(lParam) = f.exitPending;
    return 0;
  case Shell::WM_QOR_SET_EXIT_PENDING:
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
  int calls = 0;
  bool onWindowThread = false;
  int stateSeen = -1;
  std::string inputPath, resultPath, inputText;
};

EngineScript g_engine;

EngineScript Script(int code, bool calculate, long truncateResultTo = -1)
{
  EngineScript script;
  script.code = code;
  script.calculate = calculate;
  script.truncateResultTo = truncateResultTo;
  return script;
}

int FakeEngine(HWND window, char* inputPath, int, char* resultPath, int)
{
  EngineScript& e = g_engine;
  ++e.calls;
  e.inputPath = inputPath;
  e.resultPath = resultPath;
  e.inputText = ReadText(inputPath);
  e.onWindowThread = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
  ::SendMessage(window, Shell::WM_QOR_ENGINE_PROGRESS, 50, 0);
  int code = e.code;
  if (e.calculate) {
    Engines::SilentHost host;
    code = Engines::RunStraightRoadEngine(inputPath, resultPath, host);
  }
  if (e.truncateResultTo >= 0)
    std::filesystem::resize_file(resultPath, static_cast<std::uintmax_t>(e.truncateResultTo));
  int state = 0;
  ::SendMessage(window, Shell::WM_QOR_QUERY_CALC_STATE, 0, reinterpret_cast<LPARAM>(&state));
  e.stateSeen = state;
  if (state == Shell::kCalcStopping)
    code = 15;
  if (!e.onWindowThread)
    ::PostMessage(window, Shell::WM_QOR_ENGINE_FINISHED, static_cast<WPARAM>(code), 0);
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
const RunMode kModes[] = {{"threaded", 0x3F}, {"direct", 0x1F}};

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


TEST_F(CalculationRun, ASuccessfulRunFillsTheResultsThreadedAndDirect)
{
  std::vector<std::string> inputPaths;
  for (const RunMode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    frame.states.clear();
    frame.progress.clear();
    frame.resultsChanged = 0;
    frame.finishes = 0;
    g_engine.calls = 0;
    doc->SetModifiedFlag(FALSE);

    EXPECT_EQ(Run(mode.flags), 0);

    EXPECT_EQ(g_engine.calls, 1);
    EXPECT_EQ(g_engine.onWindowThread, !(mode.flags & CALC_THREADED));
    EXPECT_EQ(g_engine.stateSeen, Shell::kCalcRunning);
    EXPECT_EQ(frame.finishes, 1) << "one end message: the engine's (threaded) or the program's (direct)";
    EXPECT_EQ(frame.states, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(frame.progress, (std::vector<int>{0, 1, 50, 100, 0}));
    EXPECT_EQ(frame.resultsChanged, 2) << "cleared at the start, filled at the end";
    EXPECT_EQ(Results().valid, 1);
    EXPECT_GT(Results().nX, 0u);
    EXPECT_EQ(doc->GetStateCount(), 1) << "a successful calculation cannot be undone";
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(shell.messages.empty() && frameShell.messages.empty());
    EXPECT_FALSE(frame.exitPosted);

    // The engine got the run's own temporary files, which are gone now.
    const std::filesystem::path input(g_engine.inputPath), result(g_engine.resultPath);
    EXPECT_EQ(input.filename().string().rfind("qou", 0), 0u) << input;
    EXPECT_EQ(result.filename().string().rfind("qor", 0), 0u) << result;
    EXPECT_FALSE(g_engine.inputText.empty());
    EXPECT_FALSE(std::filesystem::exists(input));
    EXPECT_FALSE(std::filesystem::exists(result));
    inputPaths.push_back(g_engine.inputPath);
  }
  EXPECT_NE(inputPaths[0], inputPaths[1]) << "no name is shared between runs";
}

TEST_F(CalculationRun, NoActiveGroupShowsMessage354AndWithdrawsTheSnapshot)
{
  SwitchOffGroups();
  for (const RunMode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    frame.states.clear();
    frameShell.messages.clear();
    g_engine.calls = 0;

    const int answer = Run(mode.flags);

    EXPECT_EQ(answer, mode.flags & CALC_THREADED ? 0 : EngineIo::kNoActiveGroups);
    EXPECT_EQ(g_engine.calls, 0);
    ASSERT_EQ(frameShell.messages.size(), 1u);
    EXPECT_EQ(frameShell.messages[0], "Нет активные групп");
    EXPECT_EQ(frame.states, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(doc->GetStateCount(), 1);
    EXPECT_EQ(doc->GetCurrentIndex(), 0);
    ExpectTemporaryFilesGone();
  }
}

// Every way a run can fail after it started: the files go, the state is idle again, the snapshot is withdrawn,
// the user is told, and an exit asked for meanwhile happens.
struct FailureCase {
  const char* name;
  std::function<void(CalculationRun&)> arrange;
  int code;  // what keeps the results from coming
  // A direct run never hears the engine's code (it is the program's own 0x820F (0)): the empty result file tells.
  int directCode = -1;
};

TEST_F(CalculationRun, FailuresAreReportedAndCleanedUp)
{
  const std::vector<FailureCase> cases = {
      {"engine failure code", [](CalculationRun&) { g_engine = Script(12, false); }, 12, EngineIo::kResultDamaged},
      {"engine wrote no results", [](CalculationRun&) { g_engine = Script(0, false); },
       EngineIo::kResultDamaged},
      {"truncated result file", [](CalculationRun&) { g_engine = Script(0, true, 40); },
       EngineIo::kResultDamaged},
      {"result file removed", [](CalculationRun&) {
         g_engine = {};
         g_frame->onEngineFinished = [] { std::filesystem::remove(g_engine.resultPath); };
       }, EngineIo::kResultMissing},
      {"input file cannot be created", [](CalculationRun&) {
         g_engine = {};
         // Between the making of the names and the writer, the input's name becomes a folder.
         g_frame->onFilesMade = [] {
           const char* input = LastCalculationParams().inputPath;
           std::filesystem::remove(input);
           std::filesystem::create_directory(input);
         };
       }, EngineIo::kInputNotCreated},
      {"luminaire without intensity table", [](CalculationRun& t) {
         g_engine = {};
         LinkedTableResize(t.FirstGroup()->GetLightDevice()->table.get(), 1, 1);
       }, EngineIo::kNoIntensityTable},
  };
  for (const RunMode& mode : kModes) {
    for (const FailureCase& c : cases) {
      SCOPED_TRACE(std::string(mode.name) + ": " + c.name);
      SetSampleLuminaire();
      c.arrange(*this);
      frame.states.clear();
      frameShell.messages.clear();
      frame.exitPosted = false;
      frame.onEngineProgress = [] { g_frame->exitPending = 1; };  // the user closes the window
      const int before = doc->GetStateCount();

      const int answer = Run(mode.flags);

      const bool threaded = mode.flags & CALC_THREADED;
      const int code = !threaded && c.directCode >= 0 ? c.directCode : c.code;
      EXPECT_EQ(frame.finishCode, code);
      EXPECT_EQ(answer, threaded ? 0 : code);
      const bool engineCalled = c.code != EngineIo::kInputNotCreated && c.code != EngineIo::kNoIntensityTable;
      EXPECT_EQ(g_engine.calls, engineCalled ? 1 : 0);
      EXPECT_EQ(frame.states.back(), 0);
      EXPECT_EQ(frame.states.front(), 1);
      EXPECT_EQ(Results().valid, 0);
      EXPECT_EQ(doc->GetStateCount(), before) << "the snapshot is withdrawn";
      ASSERT_EQ(frameShell.messages.size(), 1u);
      EXPECT_EQ(frameShell.messages[0], "Ошибка при обработке данных. Обратитесь к разработчикам.");
      if (engineCalled) {
        EXPECT_TRUE(frame.exitPosted) << "the exit asked for during the run";
        EXPECT_EQ(frame.exitPending, 0);
      }
      const _CALC_THREAD_PARAMS& p = LastCalculationParams();
      if (c.code == EngineIo::kInputNotCreated)
        std::filesystem::remove(p.inputPath);
      ExpectTemporaryFilesGone();
      EXPECT_FALSE(IsCalculationRunning());
      frame.onEngineFinished = nullptr;
      frame.onFilesMade = nullptr;
      frame.exitPending = 0;
    }
  }
}

TEST_F(CalculationRun, CancelReachesTheEngineOnlyOnAThreadedRun)
{
  frame.onEngineProgress = [this] { doc->OnCancelCalculation(); };
  for (const RunMode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    frame.states.clear();
    frameShell.messages.clear();
    const bool threaded = mode.flags & CALC_THREADED;

    Run(mode.flags);

    EXPECT_EQ(g_engine.stateSeen, threaded ? Shell::kCalcStopping : Shell::kCalcRunning);
    EXPECT_EQ(frame.states, (threaded ? std::vector<int>{1, 2, 2, 0} : std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Results().valid, threaded ? 0 : 1);
    EXPECT_TRUE(frameShell.messages.empty()) << "a cancelled run is not an error";
    EXPECT_EQ(doc->GetStateCount(), 1);
    ExpectTemporaryFilesGone();
  }
}

TEST_F(CalculationRun, TheCancelCommandIsEnabledOnlyWhileRunning)
{
  std::vector<BOOL> enabled;
  auto query = [this, &enabled] {
    struct Probe : CCmdUI {
      BOOL on = -1;
      void Enable(BOOL bOn) override { on = bOn; }
    } probe;
    doc->OnUpdateCancelCalculation(&probe);
    enabled.push_back(probe.on);
  };
  frame.onEngineProgress = [this, &query] {
    query();
    doc->OnCancelCalculation();
    query();
  };
  query();
  Run(0x3F);
  query();
  // Idle, running, stopping, idle again.
  EXPECT_EQ(enabled, (std::vector<BOOL>{FALSE, TRUE, FALSE, FALSE}));
}

TEST_F(CalculationRun, ASecondStartDuringARunIsRefused)
{
  int second = -1;
  frame.onEngineProgress = [this, &second] { second = doc->StartCalculation(0x3F); };
  EXPECT_EQ(Run(0x3F), 0);
  EXPECT_EQ(second, CalculationCodes::kBusy);
  EXPECT_EQ(g_engine.calls, 1);
  EXPECT_EQ(frame.finishes, 1);
  EXPECT_EQ(Results().valid, 1);
  // An end message with no run behind it changes nothing.
  EXPECT_EQ(doc->OnCalculationFinished(0), 0);
  EXPECT_EQ(frame.states, (std::vector<int>{1, 2, 0}));
}

// Each kind of area goes to its own writer and engine.
GUID g_engineKind{};
template <const GUID& kind>
int KindEngine(HWND, char* inputPath, int, char*, int)
{
  g_engineKind = kind;
  g_engine.inputText = ReadText(inputPath);
  return 0;
}

TEST_F(CalculationRun, EachKindOfAreaHasItsOwnEngine)
{
  struct KindCase {
    const char* name;
    void (CQorRoadDoc::*command)();
    const GUID& kind;
  };
  const KindCase kinds[] = {
      {"straight road", &CQorRoadDoc::OnNewStraightRoad, CLSID_CStraightRoad},
      {"open territory", &CQorRoadDoc::OnNewOpenTerritory, CLSID_CCustomizeRoad},
      {"roundabout", &CQorRoadDoc::OnNewRoundabout, CLSID_CCustomizeRoad},
      {"multi-level interchange", &CQorRoadDoc::OnNewMultiLevel, CLSID_CCustomizeRoad3D},
  };
  SetCalculationEngine(CLSID_CStraightRoad, &KindEngine<CLSID_CStraightRoad>);
  SetCalculationEngine(CLSID_CCustomizeRoad, &KindEngine<CLSID_CCustomizeRoad>);
  SetCalculationEngine(CLSID_CCustomizeRoad3D, &KindEngine<CLSID_CCustomizeRoad3D>);
  for (const KindCase& k : kinds) {
    SCOPED_TRACE(k.name);
    (doc.get()->*k.command)();
    g_engineKind = GUID{};
    frame.finishCode = -1;
    frameShell.messages.clear();
    // The fake engines write no results: the run fails as a damaged result file, and says so.
    EXPECT_EQ(Run(0x1F), EngineIo::kResultDamaged);
    EXPECT_TRUE(g_engineKind == k.kind);
    EXPECT_FALSE(g_engine.inputText.empty());
    EXPECT_EQ(frameShell.messages.size(), 1u);
    ExpectTemporaryFilesGone();
  }
  SetCalculationEngine(CLSID_CCustomizeRoad, nullptr);
  SetCalculationEngine(CLSID_CCustomizeRoad3D, nullptr);
}

// The sample straight road through the run and our engine, its files kept for a person to read.
TEST_F(CalculationRun, TheSampleStraightRoadThroughOurEngine)
{
  SetCalculationEngine(CLSID_CStraightRoad, nullptr);
  const std::filesystem::path artifacts(TESMIRA_ARTIFACTS_DIR);
  frame.onEngineFinished = [&artifacts] {
    const _CALC_THREAD_PARAMS& p = LastCalculationParams();
    std::filesystem::copy_file(p.inputPath, artifacts / "sample-straight-run.in",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(p.resultPath, artifacts / "sample-straight-run.out",
                               std::filesystem::copy_options::overwrite_existing);
  };
  for (const RunMode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    frame.states.clear();
    frame.finishes = 0;
    EXPECT_EQ(Run(mode.flags), 0);
    EXPECT_EQ(frame.finishes, 1);
    EXPECT_EQ(frame.states, (std::vector<int>{1, 2, 0}));
    const _CALC_RESULTS& r = Results();
    EXPECT_EQ(r.valid, 1);
    EXPECT_EQ(r.nX, 10u);
    EXPECT_GT(r.sumWhole[0], 5.0f);
    EXPECT_GT(r.lumSummary[0], 0.1f);
    EXPECT_TRUE(frameShell.messages.empty());
    ExpectTemporaryFilesGone();
  }
  EXPECT_GT(std::filesystem::file_size(artifacts / "sample-straight-run.out"), 0u);

  // The illuminance shown in colour, saved as the sample project; it opens and saves to the same bytes.
  int illuminance = 1, colour = 3;
  doc->GetCurrentOptions()->SetQuantity(&illuminance);
  doc->GetCurrentOptions()->SetResultDisplay(&colour);
  const std::size_t shownAreas = ResultsCore::Of(*doc).ShowResults().GetAreas().size();
  ASSERT_GE(shownAreas, 2u) << "both carriageways at least";
  const std::string sample = (artifacts / "sample-straight.qorr5").string();
  const std::string again = TempPath("sample-straight-again.qorr5");
  ASSERT_TRUE(doc->OnSaveDocument(sample.c_str()));
  ASSERT_TRUE(doc->OnOpenDocument(sample.c_str()));
  const auto& loaded = ResultsCore::Of(*doc).managers.GetManagers();
  ASSERT_EQ(loaded.size(), 1u);
  ASSERT_EQ(loaded[0]->GetAreas().size(), shownAreas);
  const CWiseDib& picture = loaded[0]->GetAreas()[0]->m_picture;
  EXPECT_GT(picture.GetWidth() * picture.GetHeight(), 0);
  ASSERT_TRUE(doc->OnSaveDocument(again.c_str()));
  EXPECT_EQ(ReadFile(again), ReadFile(sample));

  // The summaries as the report would print them.
  const _CALC_RESULTS& r = Results();
  std::ofstream text(artifacts / "sample-straight-run-results.txt", std::ios::trunc);
  auto five = [&text](const char* name, const float (&v)[5]) {
    text << name;
    for (float x : v)
      text << ' ' << x;
    text << '\n';
  };
  text << "points along " << r.nX << ", across the main lanes " << r.nRoad << ", the opposite lanes " << r.nOpp
       << ", observers " << r.nObservers << " + " << r.nObserversOpp << '\n';
  text << "illuminance, lx: average minimum maximum min/avg min/max\n";
  five("  main direction", r.sumRoad);
  five("  opposite direction", r.sumOpp);
  five("  carriageway", r.sumWhole);
  five("  right sidewalk", r.sumRightWalk);
  five("  left sidewalk", r.sumLeftWalk);
  text << "luminance, cd/m2: average Lmin/Lavg Lmin/Lmax TI% P%\n";
  five("  worst observer", r.lumSummary);
  text << "utilisation: carriageway " << r.utilWhole << ", right sidewalk " << r.utilRightWalk
       << ", left sidewalk " << r.utilLeftWalk << '\n';
}

TEST_F(CalculationRun, EditsClearTheResultsOfTheirArea)
{
  ASSERT_EQ(Run(0x1F), 0);
  ASSERT_EQ(Results().valid, 1);
  // A property of the road inside the area.
  IClassObjModel* road = ActiveAreaPart<IClassObjModel>(IID_IClassObjModel);
  ASSERT_NE(road, nullptr);
  IGroupOfDev* group = FirstGroup();
  void* groupObject = nullptr;
  ASSERT_TRUE(SUCCEEDED(group->QueryInterface(&IID_IClassObjModel, &groupObject)));
  held.push_back(static_cast<IModelUnknown*>(groupObject));

  // The area's own output switches keep the results; any other item clears them.
  SetPropertyItemIdReader([](CTKPropertyGridItem* item) { return static_cast<UINT>(reinterpret_cast<uintptr_t>(item)); });
  auto* item206 = reinterpret_cast<CTKPropertyGridItem*>(uintptr_t{206});
  auto* item12 = reinterpret_cast<CTKPropertyGridItem*>(uintptr_t{12});
  EXPECT_EQ(doc->InvalidateResultsAfterEdit(road, item206), 1);
  EXPECT_EQ(Results().valid, 1);
  EXPECT_EQ(doc->InvalidateResultsAfterEdit(static_cast<IClassObjModel*>(groupObject), item12), 0);
  EXPECT_EQ(Results().valid, 0);
  SetPropertyItemIdReader(nullptr);

  ASSERT_EQ(Run(0x1F), 0);
  frame.resultsChanged = 0;
  EXPECT_EQ(doc->InvalidateResultsAfterEdit(road, nullptr), 0);
  EXPECT_EQ(Results().valid, 0);
  EXPECT_EQ(frame.resultsChanged, 1);
  // Outside every area: nothing to clear.
  void* project = nullptr;
  ASSERT_TRUE(SUCCEEDED(doc->QueryInterface(IID_IProject, &project)));
  void* projectObject = nullptr;
  static_cast<IModelUnknown*>(project)->QueryInterface(&IID_IClassObjModel, &projectObject);
  static_cast<IModelUnknown*>(project)->Release();
  ASSERT_NE(projectObject, nullptr);
  held.push_back(static_cast<IModelUnknown*>(projectObject));
  EXPECT_EQ(doc->InvalidateResultsAfterEdit(static_cast<IClassObjModel*>(projectObject), nullptr), 1);
}


// Before a protocol is built the document estimates the pages of the illuminance table of a site's grid.
TEST_F(CalculationRun, TheProtocolEstimateAsksAboutALongIlluminanceTable)
{
  CPreferencesOfReport& report = *doc->GetCurrentOptions()->GetReportPreferences();
  auto state = [&report](int id) {
    tag_ITEM_PREF_OF_REPORT row{};
    report.GetItem(id, &row);
    return row.state;
  };
  auto setState = [&report](int id, int on) {
    tag_ITEM_PREF_OF_REPORT row{};
    report.GetItem(id, &row);
    row.state = on;
    report.SetItemState(id, &row, FALSE);
  };
  auto grid = [this](std::uint32_t nX, std::uint32_t nRoad) {
    _CALC_RESULTS& r = Results();
    r.valid = 1;
    r.nX = nX;
    r.nRoad = nRoad;
  };
  struct EstimateCase {
    const char* name;
    std::uint32_t nX, nRoad;
    bool pictures;  // isolines, fill or node values in the report
    int answer;     // 0: no question expected
    BOOL result;
    int tableAfter, distributionAfter;
  };
  const EstimateCase cases[] = {
      {"34 pages, keep the table", 200, 100, false, IDNO, TRUE, 1, 1},
      {"34 pages, cancel", 200, 100, false, IDCANCEL, FALSE, 1, 1},
      {"34 pages, drop the table and the empty section", 200, 100, false, IDYES, TRUE, 0, 0},
      {"34 pages, drop the table, the pictures stay", 200, 100, true, IDYES, TRUE, 0, 1},
      {"10 pages", 50, 60, false, 0, TRUE, 1, 1},
  };
  doc->OnNewOpenTerritory();
  for (const EstimateCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (int id : {305, 311})
      setState(id, 1);
    for (int id : {308, 309, 310})
      setState(id, c.pictures ? 1 : 0);
    grid(c.nX, c.nRoad);
    frameShell.messages.clear();
    frameShell.answers = {c.answer};
    EXPECT_EQ(doc->PrepareProtocol(), c.result);
    if (c.answer) {
      ASSERT_EQ(frameShell.messages.size(), 1u);
      EXPECT_EQ(frameShell.messages[0], "При заданных параметрах расчетной сетки вывод таблицы освещенности в "
                                        "протокол займет 34 страниц. Исключить таблицу освещенности из протокола?");
    } else {
      EXPECT_TRUE(frameShell.messages.empty());
    }
    EXPECT_EQ(state(311) != 0, c.tableAfter != 0);
    EXPECT_EQ(state(305) != 0, c.distributionAfter != 0);
    grid(0, 0);
  }
  // A straight road never asks.
  doc->OnNewStraightRoad();
  setState(311, 1);
  grid(200, 100);
  frameShell.messages.clear();
  EXPECT_EQ(doc->PrepareProtocol(), TRUE);
  EXPECT_TRUE(frameShell.messages.empty());
  grid(0, 0);
}


// F5 runs on the worker; the protocol's command blocks the window until the results are read.
TEST_F(CalculationRun, TheCalculateCommandsRunThreadedAndDirect)
{
  struct CommandCase {
    UINT id;
    bool onWindowThread;
  };
  for (const CommandCase& c : {CommandCase{32772, false}, CommandCase{33074, true}}) {
    SCOPED_TRACE(c.id);
    g_engine.calls = 0;
    ASSERT_TRUE(doc->OnCmdMsg(c.id, CN_COMMAND, nullptr, nullptr));
    if (c.onWindowThread) {
      EXPECT_FALSE(IsCalculationRunning()) << "finished before the command returned";
      EXPECT_EQ(Results().valid, 1);
    }
    PumpUntilIdle();
    EXPECT_EQ(g_engine.calls, 1);
    EXPECT_EQ(g_engine.onWindowThread, c.onWindowThread);
    EXPECT_EQ(Results().valid, 1);
  }
}


// The optimisation calculates with no window to report to: the run is direct and answers what the finish found.
TEST_F(CalculationRun, WithoutAMainWindowTheRunIsDirect)
{
  SetCalculationEngine(CLSID_CStraightRoad, nullptr);
  frameShell.frame = nullptr;
  for (DWORD flags : {DWORD{0}, DWORD{0x0A}, DWORD{0x20}}) {
    SCOPED_TRACE(flags);
    EXPECT_EQ(doc->StartCalculation(flags), 0);
    EXPECT_FALSE(IsCalculationRunning());
    EXPECT_EQ(Results().valid, 1);
    ExpectTemporaryFilesGone();
  }
  SwitchOffGroups();
  EXPECT_EQ(doc->StartCalculation(0), EngineIo::kNoActiveGroups);
  EXPECT_FALSE(IsCalculationRunning());
  EXPECT_TRUE(frame.states.empty());
}

}  // namespace

TEST(CalculationFailure, TheUserIsToldWhatKeptTheResults)
{
  res::RegisterModules();
  const struct {
    int code;
    const char* message;
  } cases[] = {
      {EngineIo::kOk, ""},
      {EngineIo::kNoActiveGroups, nullptr},  // its own string, not the plea to the developers
      {EngineIo::kOutlineRefused, "Контур полигона пересекает сам себя. Исправьте положение вершин."},
      {EngineIo::kResultDamaged, "Ошибка при обработке данных. Обратитесь к разработчикам."},
      {CalculationCodes::kEngineNotAvailable, "Ошибка при обработке данных. Обратитесь к разработчикам."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const CString message = CalculationFailureMessage(c.code);
    if (c.message)
      EXPECT_STREQ(message.GetString(), c.message);
    else
      EXPECT_STRNE(message.GetString(), "Ошибка при обработке данных. Обратитесь к разработчикам.");
  }
}
