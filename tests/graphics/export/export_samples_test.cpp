// The DXF export of the sample projects through the export command, read back by ezdxf, and the records the
// builders make from them.
#include "graphics/export/export_builders.h"
#include "graphics/export/export_command.h"
#include "graphics/core/model_ref.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/street_devices.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "outside/grafocore/grafocore.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"
#include "tests/outside/grafocore/dxf_test_support.h"

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

namespace {

using testsupport::ArtifactPath;

class ExportTest : public CoreTest {
protected:
  void SetUp() override
  {
    CoreTest::SetUp();
    grafocore::RegisterLibrary();
    grafocore::DeleteObjects();
  }
  void TearDown() override
  {
    user::SetModalResponder(nullptr);
    CoreTest::TearDown();
    grafocore::DeleteObjects();
  }

  void OpenSample(const char* name)
  {
    for (const Sample& sample : kSamples)
      if (std::string(sample.name) == name) {
        ASSERT_NO_FATAL_FAILURE(MakeDocument());
        MakeView(640, 480);
        ASSERT_TRUE(document->OnOpenDocument(SampleCopy(sample).c_str()));
        Core().Render(FALSE, TRUE);
        return;
      }
    FAIL() << name;
  }

  // Answers the export's questions: the settings dialog through `settings` (then OK), the save dialog with
  // `target`; every question is kept.
  void Answer(const std::string& target, std::function<void(HWND)> settings = nullptr, int settingsAnswer = IDOK)
  {
    user::SetModalResponder([this, target, settings, settingsAnswer](const user::ModalQuestion& q) {
      asked.push_back(q.kind);
      texts.push_back(q.text);
      if (q.kind == user::ModalQuestion::Kind::Dialog) {
        if (settings)
          settings(q.dialog);
        return settingsAnswer;
      }
      if (q.kind == user::ModalQuestion::Kind::SaveFile) {
        q.reply = target;
        return IDOK;
      }
      return q.answers.empty() ? IDOK : q.answers.front();
    });
  }

  std::vector<user::ModalQuestion::Kind> asked;
  std::vector<std::string> texts;
};

int CountPoles(const std::vector<CObject3D*>& objects)
{
  int poles = 0;
  for (CObject3D* object : objects) {
    if (auto* group = dynamic_cast<CGroup3D*>(object))
      poles += CountPoles(group->GetObjects());
    else if (dynamic_cast<CBaseLightStreetDevice*>(object))
      ++poles;
  }
  return poles;
}

std::map<std::string, std::string> ReadBack(const std::string& path)
{
  std::string out;
  EXPECT_EQ(testsupport::RunPython("check_export.py", {path}, &out), 0) << out;
  std::map<std::string, std::string> facts;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    const size_t space = line.find(' ');
    if (space != std::string::npos)
      facts[line.substr(0, space)] += line.substr(space + 1) + "\n";
  }
  return facts;
}

// The count ezdxf saw of a type on a layer (layer names as ezdxf prints them, UTF-8).
int Count(const std::map<std::string, std::string>& facts, const char8_t* layer, const char* type)
{
  const std::string key = reinterpret_cast<const char*>(layer) + std::string("|") + type + "|";
  const std::string& counts = facts.at("count");
  const size_t at = ("\n" + counts).find("\n" + key);
  return at == std::string::npos ? 0 : std::atoi(counts.c_str() + at + key.size());
}

class ExportedSamples : public ExportTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExportedSamples, AnotherReaderFindsEveryPolePrimitiveAndValue)
{
  const std::string name = GetParam();
  ASSERT_NO_FATAL_FAILURE(OpenSample(name.c_str()));
  const std::string path = ArtifactPath("export-" + name + ".dxf");
  std::filesystem::remove(path);
  Answer(path);
  EXPECT_EQ(Core().ExportDxf(document.get()), 1);
  ASSERT_EQ(asked.size(), 2u) << "the settings, then the file name";
  ASSERT_TRUE(std::filesystem::exists(path));

  const bool interchange = name == "interchange";
  int primitives = 0, fullRings = 0;
  {
    ModelRef<IPrimitive> first(ActiveArea(), IID_IPrimitive);
    for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
      ++primitives;
      fullRings += *p->GetShape() == ObjectModel::kShapeRingSector && *p->GetSectorAngle() >= 360 &&
                   *p->GetMembership() != ObjectModel::kMemberShading;
    }
  }
  ASSERT_GT(primitives, 0);
  const auto facts = ReadBack(path);
  EXPECT_EQ(facts.at("audit_errors"), "0\n");
  EXPECT_EQ(Count(facts, u8"Осветительные приборы", "INSERT:COLUMN"), CountPoles(Core().GetScene()->GetOwned()->GetObjects()));
  EXPECT_GT(Count(facts, u8"Осветительные приборы", "INSERT:COLUMN"), 0);
  // One polygon a primitive (a full ring two: its outer and inner edges).
  const int interchangeStrokes = interchange ? Count(facts, u8"Изолинии", "POLYLINE") : 0;
  EXPECT_EQ(Count(facts, u8"Элементы дороги", "POLYLINE") + Count(facts, u8"Объекты затенения", "POLYLINE"),
            primitives + fullRings);
  EXPECT_EQ(Count(facts, u8"Контур участка", "POLYLINE"), 1);
  EXPECT_EQ(Count(facts, u8"Координатные оси", "LINE"), 2);
  if (interchange) {
    EXPECT_EQ(Count(facts, u8"Значения в узлах", "TEXT"), 0) << "no node values for an interchange";
    EXPECT_NE(facts.at("heights"), "0\n") << "the levels keep their heights";
    EXPECT_GT(Count(facts, u8"Изолинии", "LINE"), 0) << "the primitives' own isolines";
    EXPECT_GE(interchangeStrokes, 0);
  } else {
    CCalcArea* main = Core().GetCalcAreaManager()->GetMainArea();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Count(facts, u8"Значения в узлах", "TEXT"), static_cast<int>(main->m_nodeValues.GetLabels().size()));
    EXPECT_GT(Count(facts, u8"Значения в узлах", "TEXT"), 0);
    EXPECT_GT(Count(facts, u8"Изолинии", "LINE"), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, ExportedSamples, ::testing::Values("open-territory", "interchange"),
                         [](const auto& info) { return std::string(info.param) == "interchange" ? "Interchange"
                                                                                                 : "OpenTerritory"; });

// The layer level rises by 0.01 where the membership changes and stays where it does not; polygons run clockwise.
TEST_F(ExportTest, PrimitivesShareALayerLevelUntilTheirMembershipChanges)
{
  ASSERT_NO_FATAL_FAILURE(OpenSample("open-territory"));
  nsExp::CExportList list;
  ASSERT_EQ(Core().BuildExportData(ActiveArea(), &list, 0x4), 1);
  std::vector<int> memberships;
  {
    ModelRef<IPrimitive> first(ActiveArea(), IID_IPrimitive);
    for (IPrimitive* p = first.get(); p; p = p->GetNext())
      memberships.push_back(*p->GetMembership());
  }
  std::vector<double> levels;
  for (const nsExp::CExportData* record : list.m_records) {
    if (auto* polygon = dynamic_cast<const nsExp::CExpPolygonData*>(record)) {
      levels.push_back(polygon->m_layerLevel);
      std::vector<nsExp::CPoint3> points = polygon->m_points;
      MakeClockwise(points);
      EXPECT_EQ(points.size(), polygon->m_points.size());
      EXPECT_TRUE(std::equal(points.begin(), points.end(), polygon->m_points.begin(),
                             [](const auto& a, const auto& b) { return a.x == b.x && a.y == b.y; }))
          << "already clockwise";
    } else if (auto* region = dynamic_cast<const nsExp::CExpRegionData*>(record)) {
      levels.push_back(region->m_layerLevel);
    }
  }
  ASSERT_EQ(levels.size(), memberships.size());
  double expected = 0.01;
  for (size_t i = 0; i < levels.size(); ++i) {
    if (i > 0 && memberships[i] != memberships[i - 1])
      expected += 0.01;
    EXPECT_NEAR(levels[i], expected, 1e-12) << i;
  }
}

TEST_F(ExportTest, PolygonsAreTurnedClockwiseAtTheirLowestLeftmostVertex)
{
  struct Case {
    const char* name;
    std::vector<nsExp::CPoint3> in;
    bool reversed;
  };
  const Case cases[] = {
      {"clockwise square", {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, false},
      {"counter-clockwise square", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, true},
      {"counter-clockwise, lowest vertex last", {{1, 0.5, 0}, {0, 1, 0}, {0, 0, 0}}, true},
      {"concave, clockwise", {{0, 0, 0}, {0, 2, 0}, {1, 1, 0}, {2, 2, 0}, {2, 0, 0}}, false},
      {"two points", {{0, 0, 0}, {1, 0, 0}}, false},
  };
  for (const Case& c : cases) {
    std::vector<nsExp::CPoint3> points = c.in;
    MakeClockwise(points);
    std::vector<nsExp::CPoint3> expected = c.in;
    if (c.reversed)
      std::reverse(expected.begin(), expected.end());
    EXPECT_TRUE(std::equal(points.begin(), points.end(), expected.begin(),
                           [](const auto& a, const auto& b) { return a.x == b.x && a.y == b.y; }))
        << c.name;
  }
}

TEST_F(ExportTest, TheSettingsDialogStartsFromTheAreasKindAndKeepsTheOutline)
{
  ASSERT_NO_FATAL_FAILURE(OpenSample("interchange"));
  const std::string path = ArtifactPath("export-outline-only.dxf");
  std::filesystem::remove(path);
  std::map<int, std::pair<UINT, BOOL>> boxes;
  Answer(path, [&](HWND dialog) {
    for (int id = 1122; id <= 1128; ++id)
      boxes[id] = {IsDlgButtonChecked(dialog, id), IsWindowEnabled(GetDlgItem(dialog, id))};
    // Every box cleared, as a user clicks them.
    for (int id = 1122; id <= 1128; ++id)
      if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK))) << "the outline is always written";
  });
  EXPECT_EQ(Core().ExportDxf(document.get()), 1);
  const std::map<int, std::pair<UINT, BOOL>> expected = {
      {1122, {BST_CHECKED, TRUE}},    {1123, {BST_UNCHECKED, FALSE}}, {1124, {BST_CHECKED, TRUE}},
      {1125, {BST_CHECKED, TRUE}},    {1126, {BST_UNCHECKED, FALSE}}, {1127, {BST_CHECKED, TRUE}},
      {1128, {BST_CHECKED, TRUE}}};
  EXPECT_EQ(boxes, expected) << "interchange without a drawing: 0xD25, no node values, no background";
  const auto facts = ReadBack(path);
  EXPECT_EQ(facts.at("count"), reinterpret_cast<const char*>(u8"Контур участка|POLYLINE|1\n"));
}

TEST_F(ExportTest, CancelOrAProjectFileTargetWritesNothing)
{
  ASSERT_NO_FATAL_FAILURE(OpenSample("open-territory"));
  Answer(ArtifactPath("never.dxf"), nullptr, IDCANCEL);
  EXPECT_EQ(Core().ExportDxf(document.get()), 1);
  EXPECT_EQ(asked.size(), 1u) << "no file asked after a cancelled dialog";

  const std::string project = ArtifactPath("export-target.qorr5");
  std::filesystem::remove(project);
  asked.clear();
  Answer(project);
  EXPECT_EQ(Core().ExportDxf(document.get()), 0);
  EXPECT_EQ(asked.size(), 2u);
  ASSERT_FALSE(shell.messages.empty());
  EXPECT_EQ(shell.messages.back(), kExportToProjectMessage);
  EXPECT_FALSE(std::filesystem::exists(project));
}

TEST(ExportName, TheTitleIsCutBeforeItsProjectExtension)
{
  const std::pair<const char*, const char*> cases[] = {
      {"Площадь.qorr5", "Площадь"}, {"Развязка", "Развязка"}, {"a.qorr.qorr5", "a"}, {".qorr5", ""},
      {"plan.dxf", "plan.dxf"}};
  for (const auto& [title, name] : cases)
    EXPECT_EQ(std::string(DefaultExportName(title)), name) << title;
}

}  // namespace
