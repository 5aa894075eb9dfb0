// The document's command table: which commands are enabled or checked when, and what each one asks of the
// shell's dialogs; catalogue installation with its statuses and a failing copy.
#include "document/doc_support.h"
#include "document/graphic_core.h"
#include "document_env.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/iresults.h"
#include "model/version.h"
#include "outside/servers/qord_file.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/user/commdlg.h"
#include "tests/model/archive_bytes.h"
#include "tests/platform/base/write_faults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// A main window for the shell to name; nothing is ever sent to it.
const HWND kSomeWindow = reinterpret_cast<HWND>(0x1234);

// What the commands asked through their seams, in order.
std::vector<std::string>* g_seams = nullptr;

void Seam(const std::string& what)
{
  if (g_seams)
    g_seams->push_back(what);
}

// A render core that tells its redraws and the export.
class SeamCore : public CGraphicCore {
public:
  using CGraphicCore::CGraphicCore;
  void Render(BOOL recalc, BOOL rebuild) override
  {
    Seam("render " + std::to_string(recalc) + " " + std::to_string(rebuild));
    CGraphicCore::Render(recalc, rebuild);
  }
  int ExportDxf(IQorRoadDoc* document) override
  {
    Seam(document == GetContext() ? "export" : "export of another document");
    return 1;
  }
};

// A shell whose dialogs are scripted and whose main window answers the calculation state.
class CommandShell : public RecordingShell {
public:
  HWND mainWindow = nullptr;
  std::int32_t calcState = Shell::kCalcIdle;
  std::map<std::string, int> ints;
  std::vector<std::pair<UINT, WPARAM>> sent;
  std::vector<std::string> events;

  // The settings dialog: what "Apply" does before the user ends it, and how it ends.
  std::function<void(IVisualOpt*)> apply;
  int preferencesAnswer = IDCANCEL;
  Shell::PreferencesOutcome outcome;
  int preferencesPage = -2;
  // The wizard's answer and the area it makes (of this class, with this typical form; none when zero).
  int wizardAnswer = IDCANCEL;
  GUID wizardArea{};
  int wizardForm = 0;
  int catalogueManagerRuns = 0;
  IQorRoadDoc* document = nullptr;
  std::vector<std::string> seams;

  HWND GetMainWindow() override { return mainWindow; }
  LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (message == UM_GETCALCSTATE)
      *reinterpret_cast<std::int32_t*>(lParam) = calcState;
    sent.emplace_back(message, wParam);
    return RecordingShell::SendToMainWindow(message, wParam, lParam);
  }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override
  {
    auto it = ints.find(std::string(section) + "\\" + entry);
    return static_cast<UINT>(it != ints.end() ? it->second : defaultValue);
  }
  BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value) override
  {
    ints[std::string(section) + "\\" + entry] = value;
    return TRUE;
  }
  int RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int, int) override
  {
    events.push_back(std::string(category) + "/" + action + "/" + label);
    return 0;
  }
  int RunPreferences(HWND, IQorRoadDoc*, IVisualOpt* options, Shell::PreferencesOutcome* out) override
  {
    preferencesPage = *options->GetSettingsPage();
    Seam("settings at page " + std::to_string(preferencesPage));
    if (apply)
      apply(options);
    *out = outcome;
    return preferencesAnswer;
  }
  int RunWizard(HWND, _WIZARD_DATA* data) override
  {
    Seam("wizard");
    if (wizardArea != GUID{}) {
      IProject* scratch = nullptr;
      CreateProject(document, &scratch);
      data->area = scratch->CreateArea(wizardArea, nullptr);
      data->area->SetTypicalForm(&wizardForm);
      scratch->Release();
    }
    return wizardAnswer;
  }
  int RunCatalogueManager(HWND, IQorRoadDoc*) override
  {
    ++catalogueManagerRuns;
    Seam("catalogue manager");
    return IDOK;
  }
  int RunOptimizationDialog(HWND, Shell::OptimizationChoice*) override
  {
    Seam("optimisation dialog");
    return IDCANCEL;
  }
  bool SentCommand(UINT id) const
  {
    for (const auto& [message, wParam] : sent)
      if (message == WM_COMMAND && wParam == id)
        return true;
    return false;
  }
};

// Asks the document's message map, as the framework does, whether a command is enabled and checked; a
// command without an update handler is enabled when it has a handler.
struct UiState {
  int enabled = -1;
  int checked = -1;
};
UiState Ask(CQorRoadDoc& doc, UINT id)
{
  struct Probe : CCmdUI {
    UiState state;
    void Enable(BOOL on) override
    {
      state.enabled = on;
      CCmdUI::Enable(on);
    }
    void SetCheck(int check) override { state.checked = check; }
  } probe;
  probe.m_nID = id;
  probe.DoUpdate(&doc, TRUE);
  return probe.state;
}

class DocumentCommands : public DocumentTest {
protected:
  void SetUp() override
  {
    DocumentTest::SetUp();
    commands.dataFolder = shell.dataFolder;
    Shell::SetShellServices(&commands);
    SetGraphicCoreFactory([](IQorRoadDoc* context) -> CGraphicCore* { return new SeamCore(context); });
    g_seams = &commands.seams;
    Start();
    commands.document = doc.get();
  }

  void MakeActive(int kind)
  {
    if (kind < 0) {
      doc->OnNewDocument();
    } else {
      doc->NewProjectOfKind(&kind);
    }
  }
  IArea* ActiveArea()
  {
    void* area = nullptr;
    doc->QueryInterface(IID_ActiveArea, &area);
    if (area)
      held.emplace_back(static_cast<IArea*>(area));
    return static_cast<IArea*>(area);
  }
  _CALC_RESULTS& Results()
  {
    IResultsOfCalc* results = nullptr;
    ActiveArea()->QueryInterface(&IID_IResultsOfCalc, reinterpret_cast<void**>(&results));
    held.emplace_back(results);
    return *results->GetData();
  }
  void Command(UINT id) { doc->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }

  void TearDown() override
  {
    for (IModelUnknown* p : held)
      p->Release();
    held.clear();
    DocumentTest::TearDown();
    g_seams = nullptr;
    SetGraphicCoreFactory(nullptr);
  }

  CommandShell commands;
  std::vector<IModelUnknown*> held;
};

TEST_F(DocumentCommands, EveryCommandIsEnabledByAreaAndCalculationStateAndReachesItsSeam)
{
  // The states asked in: the active area's kind (-1 straight road, 0 open site, 8 interchange) and the main
  // frame's calculation state. The main frame's own rule for a running calculation is not the document's.
  struct State {
    int kind;
    int calcState;
  };
  const State states[] = {{-1, 0}, {0, 0}, {8, 0}, {-1, 1}, {0, 2}};
  struct Case {
    UINT id;
    const char* enabled;  // one digit per state above
    const char* seam;     // what the command asked through its seam, the dialogs all cancelled
  };
  const Case cases[] = {
      {32965, "10010", "optimisation dialog"},
      {32812, "11111", "settings at page 4; render 0 0"},
      {32829, "11111", "settings at page 0; render 0 0"},
      {32830, "11111", "settings at page 1; render 0 0"},
      {32999, "11111", "settings at page 2; render 0 0"},
      {32843, "11111", "settings at page 3; render 0 0"},
      {32844, "11111", "settings at page 4; render 0 0"},
      {32918, "11111", "wizard"},
      {32963, "11111", "transparency 220"},
      {33029, "11111", "render 0 1"},
      {33050, "01101", "export"},
      {33142, "11100", "open *.qord"},
      {33143, "11100", "catalogue manager"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    for (std::size_t s = 0; s < std::size(states); ++s) {
      MakeActive(states[s].kind);
      commands.calcState = states[s].calcState;
      EXPECT_EQ(Ask(*doc, c.id).enabled, c.enabled[s] - '0') << "state " << s;
    }
    // 33050 is asked where it is enabled.
    MakeActive(c.id == 33050 ? 0 : -1);
    commands.calcState = Shell::kCalcIdle;
    int remembered = 4;
    doc->GetCurrentOptions()->SetSettingsPage(&remembered);
    commands.ints.clear();
    commands.seams.clear();
    commands.mainWindow = kSomeWindow;
    const std::size_t askedBefore = answers.Asked().size();
    Command(c.id);
    commands.mainWindow = nullptr;
    for (std::size_t k = askedBefore; k < answers.Asked().size(); ++k) {
      const user::ModalQuestion& asked = answers.Asked()[k];
      if (asked.kind != user::ModalQuestion::Kind::OpenFile)
        continue;
      EXPECT_EQ(asked.style & (OFN_HIDEREADONLY | OFN_FILEMUSTEXIST), DWORD{OFN_HIDEREADONLY | OFN_FILEMUSTEXIST});
      commands.seams.push_back("open " + asked.text);
    }
    if (auto it = commands.ints.find("Settings\\Transparence"); it != commands.ints.end())
      commands.seams.push_back("transparency " + std::to_string(it->second));
    std::string seams;
    for (const std::string& seam : commands.seams)
      seams += (seams.empty() ? "" : "; ") + seam;
    EXPECT_EQ(seams, c.seam);
  }
}

TEST_F(DocumentCommands, WithoutTheLuminaireDatabaseCataloguesCannotBeManaged)
{
  doc.reset();
  commands.dataFolder = MakeDataFolder(false);
  doc = std::make_unique<CQorRoadDoc>();
  EXPECT_EQ(Ask(*doc, 33143).enabled, 0);
  EXPECT_EQ(Ask(*doc, 33142).enabled, 1);
  EXPECT_FALSE(doc->InstallCatalog(nullptr, nullptr, TRUE));
  for (const user::ModalQuestion& asked : answers.Asked())
    EXPECT_NE(asked.kind, user::ModalQuestion::Kind::OpenFile);
}

TEST_F(DocumentCommands, AStraightRoadWithoutLuminaireGroupsIsRefusedBeforeTheOptimisationDialog)
{
  MakeActive(-1);
  IGroupsOfDev* groups = nullptr;
  ActiveArea()->QueryInterface(&IID_IGroupsOfDev, reinterpret_cast<void**>(&groups));
  ASSERT_NE(groups, nullptr);
  held.emplace_back(groups);
  // The container's block with no group, as a file may hold it.
  const Bytes empty = Bytes().str("Группы ОП").f64(1.5).i32(0).i32(0);
  LoadingArchive archive(empty.data());
  void* object = nullptr;
  groups->QueryInterface(&IID_IClassObjModel, &object);
  static_cast<IClassObjModel*>(object)->Serialize(archive.get(), ObjectModel::kCurrentFormatVersion);
  static_cast<IClassObjModel*>(object)->Release();
  void* first = nullptr;
  ASSERT_NE(groups->QueryInterface(&IID_IGroupOfDev, &first), S_OK);

  commands.messages.clear();
  commands.seams.clear();
  Command(32965);
  EXPECT_TRUE(commands.seams.empty());
  ASSERT_EQ(commands.messages.size(), 1u);
  EXPECT_EQ(commands.messages[0], "Оптимизация возможна только для групп ОП с равным шагом и нулевым смещением.");
}

TEST_F(DocumentCommands, TransparencyAndThePhotometricSolidAreToggledAndShownChecked)
{
  struct Case {
    int stored;
    int after;
  };
  FakeTransparency::Register();
  for (const Case& c : {Case{255, 220}, Case{220, 255}, Case{100, 255}}) {
    SCOPED_TRACE(c.stored);
    commands.ints["Settings\\Transparence"] = c.stored;
    EXPECT_EQ(Ask(*doc, 32963).checked, c.stored != 255 ? 1 : 0);
    FakeTransparency::alpha = -1;
    Command(32963);
    EXPECT_EQ(commands.ints["Settings\\Transparence"], c.after);
    EXPECT_EQ(FakeTransparency::alpha, c.after);
    EXPECT_EQ(Ask(*doc, 32963).checked, c.after != 255 ? 1 : 0);
  }

  const int shown = *doc->GetCurrentOptions()->GetShowPhotometricSolid();
  EXPECT_EQ(Ask(*doc, 33029).checked, shown != 0 ? 1 : 0);
  Command(33029);
  EXPECT_EQ(*doc->GetCurrentOptions()->GetShowPhotometricSolid() != 0, shown == 0);
  EXPECT_EQ(Ask(*doc, 33029).checked, shown == 0 ? 1 : 0);
  // An undoable change.
  ASSERT_TRUE(doc->CanUndo());
  doc->Undo();
  EXPECT_EQ(*doc->GetCurrentOptions()->GetShowPhotometricSolid(), shown);
}

TEST_F(DocumentCommands, TheSettingsDialogOpensAtItsPageAndCancelTakesBackWhatApplyChanged)
{
  const struct {
    UINT id;
    int page;
  } pages[] = {{32829, 0}, {32830, 1}, {32999, 2}, {32843, 3}, {32844, 4}};
  for (const auto& p : pages) {
    Command(p.id);
    EXPECT_EQ(commands.preferencesPage, p.page) << p.id;
  }
  // 32812 opens the page the options remember.
  int remembered = 3;
  doc->GetCurrentOptions()->SetSettingsPage(&remembered);
  Command(32812);
  EXPECT_EQ(commands.preferencesPage, 3);

  const int states = doc->GetStateCount();
  const int quantity = *doc->GetCurrentOptions()->GetQuantity();
  commands.apply = [quantity](IVisualOpt* options) {
    int other = quantity == 0 ? 1 : 0;
    options->SetQuantity(&other);
  };
  commands.preferencesAnswer = IDCANCEL;
  Command(32812);
  EXPECT_EQ(*doc->GetCurrentOptions()->GetQuantity(), quantity);
  EXPECT_EQ(doc->GetStateCount(), states);

  commands.preferencesAnswer = IDOK;
  Command(32812);
  EXPECT_NE(*doc->GetCurrentOptions()->GetQuantity(), quantity);
  // The change can be undone.
  doc->Undo();
  EXPECT_EQ(*doc->GetCurrentOptions()->GetQuantity(), quantity);
}

TEST_F(DocumentCommands, TheSettingsRedrawWithTheFlagsOfHowTheDialogEnded)
{
  commands.outcome.recalcOnOk = TRUE;
  commands.outcome.rebuildOnCancel = TRUE;
  for (const auto& [answer, render] : {std::pair{IDOK, "render 1 0"}, std::pair{IDCANCEL, "render 0 1"}}) {
    SCOPED_TRACE(answer);
    commands.preferencesAnswer = answer;
    commands.seams.clear();
    commands.sent.clear();
    Command(32812);
    ASSERT_EQ(commands.seams.size(), 2u);
    EXPECT_EQ(commands.seams[1], render);
    // The calculation-mode list is rebuilt in both cases.
    EXPECT_EQ(std::count(commands.sent.begin(), commands.sent.end(), std::pair<UINT, WPARAM>{UM_CALCMODES, 0}), 1);
  }
}

TEST_F(DocumentCommands, AChangedGridClearsTheResultsOfAnOpenSiteOnly)
{
  commands.preferencesAnswer = IDOK;
  commands.outcome.gridStepChanged = TRUE;
  commands.outcome.gridStep = 2.5;
  for (int kind : {-1, 0}) {
    SCOPED_TRACE(kind);
    MakeActive(kind);
    Results().valid = 1;
    Command(32812);
    EXPECT_EQ(Results().valid, kind == 0 ? 0 : 1);
  }
}

TEST_F(DocumentCommands, TheWizardReplacesTheProjectOnlyWhenItMadeAnArea)
{
  MakeActive(-1);
  const std::string name = ProjectName();

  // Finished without an area: the old project stays and nothing is calculated.
  commands.wizardAnswer = IDOK;
  Command(32918);
  EXPECT_EQ(ProjectName(), name);
  EXPECT_FALSE(commands.SentCommand(32772));

  // An intersection made by the wizard becomes the project's only area, with its caption, and is calculated.
  commands.wizardArea = CLSID_CCustomizeRoad;
  commands.wizardForm = 3;
  Command(32918);
  IArea* area = ActiveArea();
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(*area->GetTypicalForm(), 3);
  EXPECT_NE(std::string(*area->GetCaption()).find("Пересечение"), std::string::npos);
  EXPECT_EQ(area->GetNext(), nullptr);
  EXPECT_TRUE(commands.SentCommand(32778));
  EXPECT_TRUE(commands.SentCommand(32834));
  EXPECT_TRUE(commands.SentCommand(32772));
}

TEST_F(DocumentCommands, TheWizardAsksAboutAModifiedProjectFirstAndNamesItsStraightRoad)
{
  MakeActive(0);
  const std::string name = ProjectName();
  commands.wizardAnswer = IDOK;
  commands.wizardArea = CLSID_CStraightRoad;
  doc->SetModifiedFlag(TRUE);
  commands.seams.clear();

  // The question about the old project cancelled: no wizard.
  answers.AnswerNext(IDCANCEL);
  Command(32918);
  EXPECT_TRUE(commands.seams.empty());
  EXPECT_EQ(ProjectName(), name);

  // The wizard cancelled: the old project stays.
  answers.AnswerNext(IDNO);
  commands.wizardAnswer = IDCANCEL;
  Command(32918);
  EXPECT_EQ(commands.seams.front(), "wizard");
  EXPECT_EQ(ProjectName(), name);
  EXPECT_FALSE(commands.SentCommand(32772));

  answers.AnswerNext(IDNO);
  commands.wizardAnswer = IDOK;
  Command(32918);
  EXPECT_NE(ProjectName(), name);
  IArea* area = ActiveArea();
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(document_detail::ClassIdOf(area), CLSID_CStraightRoad);
  EXPECT_NE(std::string(*area->GetCaption()).find("Прямая дорога"), std::string::npos);
  EXPECT_EQ(area->GetNext(), nullptr);
  EXPECT_TRUE(commands.SentCommand(32772));
  EXPECT_EQ(answers.Unused(), 0u);
}

TEST_F(DocumentCommands, TheCatalogueManagerRunsOnlyOverAMainWindow)
{
  Command(33143);
  EXPECT_EQ(commands.catalogueManagerRuns, 0);
  commands.mainWindow = kSomeWindow;
  Command(33143);
  EXPECT_EQ(commands.catalogueManagerRuns, 1);
}

// Catalogue files of one catalogue each, made for the test.
class CatalogueInstall : public DocumentCommands {
protected:
  std::string MakeCatalogue(const std::string& name, const std::string& id, int version, std::uint32_t program = 0)
  {
    const std::string path = TempPath(name);
    std::filesystem::remove(path);
    qorsrv::QordFile file = qorsrv::QordFile::OpenForWriting(path);
    qorsrv::CatalogueInfo info;
    info.id = id;
    info.version = version;
    info.programVersion = program;
    info.maker = "Maker " + id;
    info.trademark = "Mark " + id;
    file.AddCatalogue(info);
    return path;
  }
  std::string Plugin(const std::string& id) { return shell.dataFolder + "plugins/" + id + ".qord"; }
  bool Loaded(const std::string& id)
  {
    for (int k = 0; k < doc->GetCatalogCount(); ++k)
      if (id == doc->GetCatalogInfo(k)->id)
        return true;
    return false;
  }
  std::string Text(UINT id, const std::string& argument)
  {
    CString format, text;
    format.LoadString(id);
    text.Format(format, argument.c_str());
    return static_cast<LPCSTR>(text);
  }
  void SetUp() override
  {
    DocumentCommands::SetUp();
    std::filesystem::remove_all(shell.dataFolder + "plugins/");
  }
  void TearDown() override
  {
    SetCatalogueCopier(nullptr);
    DocumentCommands::TearDown();
    // Later documents of this process would load them.
    std::filesystem::remove_all(shell.dataFolder + "plugins/");
  }
};

TEST_F(CatalogueInstall, EachStatusHasItsMessageAndAnswer)
{
  const std::string first = MakeCatalogue("first.qord", "77", 2);
  ASSERT_TRUE(doc->InstallCatalog(nullptr, first.c_str(), TRUE));
  EXPECT_TRUE(std::filesystem::exists(Plugin("77")));
  EXPECT_TRUE(Loaded("77"));
  ASSERT_EQ(commands.messages.size(), 1u);
  EXPECT_EQ(commands.messages.back(), Text(832, "\n- Maker 77"));
  EXPECT_EQ(commands.events.back(), "Управление каталогами/Установка каталога/Mark 77");

  struct Case {
    const char* name;
    std::string file;
    BOOL answer;
    std::string message;
  };
  const std::string older = MakeCatalogue("older.qord", "77", 1);
  const std::string newer = MakeCatalogue("newer.qord", "77", 3);
  const std::string future = MakeCatalogue("future.qord", "78", 1, 0x7F000000);
  CString needsNewer;
  {
    CString format;
    format.LoadString(849);
    needsNewer.Format(format, "Tesmira Road", "www.marvesta.ru");
  }
  const Case cases[] = {
      {"the same again", first, FALSE, Text(834, first)},
      {"a newer one installed", older, FALSE, Text(835, older)},
      {"for a newer program", future, FALSE, static_cast<LPCSTR>(needsNewer)},
      {"an update", newer, TRUE, Text(836, "\n- Maker 77")},
  };
  EXPECT_EQ(cases[0].message, "Каталог " + first + " уже установлен в программе.");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    commands.messages.clear();
    EXPECT_EQ(doc->InstallCatalog(nullptr, c.file.c_str(), TRUE), c.answer);
    ASSERT_EQ(commands.messages.size(), 1u);
    EXPECT_EQ(commands.messages[0], c.message);
  }
  // The update replaced the installed file.
  EXPECT_EQ(ReadFile(Plugin("77")), ReadFile(newer));
  EXPECT_TRUE(Loaded("77"));
  EXPECT_FALSE(Loaded("78"));
}

TEST_F(CatalogueInstall, AFailedCopyLeavesNothingHalfDone)
{
  const std::string v1 = MakeCatalogue("v1.qord", "90", 1);
  ASSERT_TRUE(doc->InstallCatalog(nullptr, v1.c_str(), FALSE));
  const std::vector<std::uint8_t> installed = ReadFile(Plugin("90"));
  const int count = doc->GetCatalogCount();

  SetCatalogueCopier([](const CString&, const CString&, bool) { return false; });
  // An update that cannot be copied keeps the old catalogue loaded and its file as it was.
  const std::string v2 = MakeCatalogue("v2.qord", "90", 2);
  commands.messages.clear();
  EXPECT_FALSE(doc->InstallCatalog(nullptr, v2.c_str(), FALSE));
  ASSERT_EQ(commands.messages.size(), 1u);
  EXPECT_EQ(commands.messages[0], Text(833, v2));
  EXPECT_TRUE(Loaded("90"));
  EXPECT_EQ(doc->GetCatalogCount(), count);
  EXPECT_EQ(ReadFile(Plugin("90")), installed);

  // A new catalogue that cannot be copied is not left loaded for this run only.
  const std::string other = MakeCatalogue("other.qord", "91", 1);
  EXPECT_FALSE(doc->InstallCatalog(nullptr, other.c_str(), FALSE));
  EXPECT_FALSE(Loaded("91"));
  EXPECT_FALSE(std::filesystem::exists(Plugin("91")));
}

// The real copy under real faults: a full disk, a closed plug-in folder and a kill part-way through. The update
// fails each time with the installed catalogue's file as it was, and no temporary stays for long: the one of the
// killed copy goes at the next.
TEST_F(CatalogueInstall, AnUpdateUnderFaultsKeepsTheInstalledFileAndLeavesNoTemporary)
{
  const std::string v1 = MakeCatalogue("v1.qord", "92", 1);
  ASSERT_TRUE(doc->InstallCatalog(nullptr, v1.c_str(), FALSE));
  const std::vector<std::uint8_t> installed = ReadFile(Plugin("92"));
  const std::string v2 = MakeCatalogue("v2.qord", "92", 2);
  const std::filesystem::path plugins = shell.dataFolder + "plugins/";
  const std::vector<std::string> only = {"92.qord"};

  commands.messages.clear();
  EXPECT_FALSE(writefaults::WithFullDisk(4096, [&] { return doc->InstallCatalog(nullptr, v2.c_str(), FALSE); }));
  ASSERT_EQ(commands.messages.size(), 1u);
  EXPECT_EQ(commands.messages[0], Text(833, v2));
  EXPECT_EQ(ReadFile(Plugin("92")), installed);
  EXPECT_EQ(writefaults::Leftovers(plugins, only), std::vector<std::string>{});

  {
    writefaults::ReadOnlyFolder closed(plugins);
    if (closed.Effective()) {
      EXPECT_FALSE(doc->InstallCatalog(nullptr, v2.c_str(), FALSE));
      EXPECT_EQ(ReadFile(Plugin("92")), installed);
      EXPECT_EQ(writefaults::Leftovers(plugins, only), std::vector<std::string>{});
    }
  }

  EXPECT_EQ(writefaults::KilledDuringWrite(4096, [&] { doc->InstallCatalog(nullptr, v2.c_str(), FALSE); }), SIGXFSZ);
  EXPECT_EQ(ReadFile(Plugin("92")), installed);
  EXPECT_EQ(writefaults::Leftovers(plugins, only).size(), 1u) << "the killed copy's temporary";

  ASSERT_TRUE(doc->InstallCatalog(nullptr, v2.c_str(), FALSE));
  EXPECT_EQ(ReadFile(Plugin("92")), ReadFile(v2));
  EXPECT_EQ(writefaults::Leftovers(plugins, only), std::vector<std::string>{});
}

TEST_F(CatalogueInstall, AFileThatIsNoCatalogueIsRefusedWithTheDatabasesReason)
{
  const std::string junk = MakeCatalogue("junk.qord", "95", 1);
  std::ofstream(junk, std::ios::trunc) << "<html>404 Not Found</html>";
  const int count = doc->GetCatalogCount();
  commands.messages.clear();
  EXPECT_FALSE(doc->InstallCatalog(nullptr, junk.c_str(), FALSE));
  ASSERT_EQ(commands.messages.size(), 1u);
  EXPECT_NE(commands.messages[0].find("не является каталогом светильников"), std::string::npos) << commands.messages[0];
  EXPECT_EQ(doc->GetCatalogCount(), count);
  EXPECT_FALSE(Loaded("95"));
  EXPECT_FALSE(std::filesystem::exists(Plugin("95")));
}

}  // namespace
