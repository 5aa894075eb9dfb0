// Every project the fuzzers keep in their corpora, and hostile inputs made here, through the whole program as a
// user would take them: the program started, the file opened, a frame drawn, the calculation and the report (the
// print preview calculates what is missing), the project saved and opened again. Headless, under the sanitizers;
// nothing may end the session, and every input the program refuses or repairs is said in a message. Each test
// prints its figures: inputs, opened, refused, repaired.
#include "tests/app/app_session.h"

#include "app/qor_road_view.h"
#include "document/calculation_run.h"
#include "document/engine_io/engine_io_codes.h"
#include "document/qor_road_doc.h"
#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/iproject.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iresults.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/straight_road_engine.h"
#include "platform/mfc/afxres.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace apptest {
namespace {

namespace fs = std::filesystem;

// The folders of the fuzz targets' corpora that hold project files.
const char* const kProjectCorpora[] = {TESMIRA_SOURCE_DIR "/tests/document/fuzz/corpus"};

// The message the program gives for a project whose figures it had to bring into range.
const char* const kRepaired = "выходят за допустимые пределы";

class Replay : public AppSession {
protected:
  CQorRoadDoc* Document() const { return dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument()); }
  CQorRoadView* View() const { return Frame()->GetFirstView(); }

  ModelRef<IArea> ActiveArea()
  {
    void* area = nullptr;
    Document()->GetCurrentProject()->QueryInterface(&IID_ActiveArea, &area);
    return ModelRef<IArea>::Adopt(static_cast<IArea*>(area));
  }
  IGroupOfDev* FirstGroup()
  {
    ModelRef<IGroupsOfDev> groups(ActiveArea().get(), IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> group(groups.get(), IID_IGroupOfDev);
    return group.get();
  }
  _CALC_RESULTS* Results()
  {
    ModelRef<IResultsOfCalc> results(ActiveArea().get(), IID_IResultsOfCalc);
    return results ? results->GetData() : nullptr;
  }

  // The messages asked since `from`, one line each.
  std::string MessagesSince(std::size_t from) const
  {
    std::string text;
    for (std::size_t k = from; k < answers_.Asked().size(); ++k)
      text += answers_.Asked()[k].text + "\n";
    return text;
  }

  struct Outcome {
    bool opened = false;
    std::string messages;
  };

  // The file through the program: open, draw, calculate and report, save, open what was saved.
  Outcome Take(const fs::path& file)
  {
    Outcome outcome;
    const std::size_t from = answers_.Asked().size();
    Document()->SetModifiedFlag(FALSE);
    outcome.opened = app_->OpenDocumentFile(file.c_str()) != nullptr;
    Pump();
    if (outcome.opened) {
      View()->RedrawWindow();
      Pump();
      Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
      Pump();
      if (View()->IsInPrintPreview()) {
        Frame()->GetActiveView()->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        Pump();
      }
      const fs::path saved = fs::path(Root()) / "saved.qorr5";
      EXPECT_TRUE(Document()->OnSaveDocument(saved.c_str())) << file;
      Document()->SetModifiedFlag(FALSE);
      EXPECT_NE(app_->OpenDocumentFile(saved.c_str()), nullptr) << "what was saved opens again: " << file;
      Pump();
    }
    outcome.messages = MessagesSince(from);
    return outcome;
  }
};

// A hostile value for one figure of a group, a pole or the area, set as a damaged or hand-made file would carry it.
struct HostileFigure {
  const char* name;
  const char* figure;  // "step", "offset", "length"
  double value;
};

TEST_F(Replay, EveryKeptAndHostileProjectOpensOrIsRefusedWithItsMessage)
{
  ASSERT_TRUE(Start());
  Pump();
  const fs::path hostile = fs::path(Root()) / "hostile";
  fs::create_directories(hostile);

  // The hostile projects: the new project with one figure that sizes or counts something set out of range.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const HostileFigure figures[] = {
      {"step-nan", "step", nan},        {"step-tiny", "step", 1e-300},   {"step-huge", "step", 1e300},
      {"step-infinite", "step", -inf},  {"offset-huge", "offset", 1e300}, {"length-nan", "length", nan},
      {"length-huge", "length", 1e300},
  };
  std::vector<fs::path> hostileFiles;
  for (const HostileFigure& f : figures) {
    ASSERT_TRUE(Document()->OnNewDocument());
    IGroupOfDev* group = FirstGroup();
    ASSERT_NE(group, nullptr) << "the new project has a group of poles";
    if (std::string(f.figure) == "step")
      group->SetStep(&f.value);
    else if (std::string(f.figure) == "offset")
      group->SetOffset(&f.value);
    else
      ActiveArea()->SetLength(&f.value);
    const fs::path path = hostile / (std::string(f.name) + ".qorr5");
    ASSERT_TRUE(Document()->OnSaveDocument(path.c_str())) << f.name;
    hostileFiles.push_back(path);
  }
  // Kept beside the build's pictures, for a look at them in the live program.
  const fs::path artifacts = fs::path(TESMIRA_ARTIFACTS_DIR) / "replay-hostile";
  fs::create_directories(artifacts);
  for (const fs::path& file : hostileFiles)
    fs::copy_file(file, artifacts / file.filename(), fs::copy_options::overwrite_existing);

  int inputs = 0, opened = 0, refused = 0, repaired = 0;
  auto takeAll = [&](const std::vector<fs::path>& files, bool allHostile) {
    for (const fs::path& file : files) {
      SCOPED_TRACE(file.string());
      ++inputs;
      const Outcome outcome = Take(file);
      const bool wasRepaired = outcome.messages.find(kRepaired) != std::string::npos;
      opened += outcome.opened ? 1 : 0;
      refused += outcome.opened ? 0 : 1;
      repaired += wasRepaired ? 1 : 0;
      if (!outcome.opened) {
        EXPECT_FALSE(outcome.messages.empty()) << "refused without a word";
      }
      if (allHostile) {
        EXPECT_TRUE(outcome.opened) << outcome.messages;
        EXPECT_TRUE(wasRepaired) << outcome.messages;
      }
      std::printf("replay %-40s %s\n", file.filename().c_str(),
                  !outcome.opened ? "refused" : wasRepaired ? "repaired" : "opened");
    }
  };
  std::vector<fs::path> kept;
  for (const char* corpus : kProjectCorpora)
    for (const auto& entry : fs::directory_iterator(corpus))
      kept.push_back(entry.path());
  std::sort(kept.begin(), kept.end());
  takeAll(kept, false);
  takeAll(hostileFiles, true);
  std::printf("replay projects: %d inputs, %d opened (%d repaired), %d refused with a message\n", inputs, opened,
              repaired, refused);
  EXPECT_EQ(inputs, opened + refused);
}

// An engine whose result file ends in a figure no engine can mean: the program's straight-road engine, then its
// last value (the luminance summary's) replaced.
float g_lastValue = 0;
int SpoilingEngine(HWND, char* inputPath, int, char* resultPath, int)
{
  Engines::SilentHost host;
  const int code = Engines::RunStraightRoadEngine(inputPath, resultPath, host);
  std::fstream file(resultPath, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(-4, std::ios::end);
  file.write(reinterpret_cast<const char*>(&g_lastValue), 4);
  return code;
}

TEST_F(Replay, ResultsThatAreNoNumbersOrOutOfRangeAreRefusedWithTheEnginesMessage)
{
  ASSERT_TRUE(Start());
  Pump();
  SetCalculationEngine(CLSID_CStraightRoad, &SpoilingEngine);
  const CString expected = CalculationFailureMessage(EngineIo::kResultDamaged);
  ASSERT_FALSE(expected.IsEmpty());
  int refused = 0;
  for (float value : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -1.0f,
                      3e38f}) {
    SCOPED_TRACE(value);
    g_lastValue = value;
    ASSERT_TRUE(Document()->OnNewDocument());
    const std::size_t from = answers_.Asked().size();
    Document()->StartCalculation(CALC_SHOW_ERRORS | CALC_NOTIFY_RESULTS);
    PumpUntil([] { return !IsCalculationRunning(); });
    ASSERT_NE(Results(), nullptr);
    EXPECT_EQ(Results()->valid, 0);
    EXPECT_NE(MessagesSince(from).find(static_cast<LPCSTR>(expected)), std::string::npos) << MessagesSince(from);
    refused += Results()->valid == 0 ? 1 : 0;
  }
  SetCalculationEngine(CLSID_CStraightRoad, nullptr);
  std::printf("replay results: 4 hostile result files, %d refused with the engine's message\n", refused);
}

// A plug-in catalogue whose luminaires are a view over a query that never ends: the program starts, leaves it out
// and says why.
TEST_F(Replay, AHostilePlugInCatalogueDoesNotStopTheStart)
{
  const fs::path plugins = Root() + "data/Marvesta/Tesmira Road/Plugins/";
  fs::create_directories(plugins);
  const fs::path endless = plugins / "endless.qord";
  fs::copy_file(UserBinFolder() + "QorRoad.qord", endless);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(endless.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "ALTER TABLE luminaire RENAME TO kept;"
                         "CREATE VIEW luminaire AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                         "SELECT kept.* FROM n, kept",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);

  ASSERT_TRUE(Start());
  Pump();
  const std::string messages = MessagesSince(0);
  EXPECT_NE(messages.find("нет таблицы luminaire"), std::string::npos) << messages;
  EXPECT_GT(Document()->GetCatalogCount(), 0) << "the main catalogue is there";
  std::printf("replay start: a hostile plug-in catalogue refused with its message\n");
}

}  // namespace
}  // namespace apptest
