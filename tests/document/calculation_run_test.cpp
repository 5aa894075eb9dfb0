// The calculation run between a document, a main window and an engine.
#include "calculation_fixture.h"

using namespace calculation_test;

namespace {

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
