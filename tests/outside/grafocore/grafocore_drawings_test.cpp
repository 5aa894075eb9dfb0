// The library with drawings: a DXF imported as a project, its layers dialog, its block of the project file, and
// the DXF it writes from export records, read back by ezdxf.
#include "outside/grafocore/export_records.h"
#include "outside/grafocore/export_writer.h"
#include "outside/grafocore/grafocore.h"
#include "outside/grafocore/layers_dialog.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "platform/user/msgbox.h"
#include "tests/model/archive_bytes.h"
#include "tests/outside/grafocore/dxf_test_support.h"
#include "tests/platform/base/write_faults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using testsupport::ArtifactPath;
using testsupport::RunPython;

class GrafoCoreDrawings : public ::testing::Test {
protected:
  void SetUp() override { grafocore::DeleteObjects(); }
  void TearDown() override { grafocore::DeleteObjects(); }

  static std::string Sample()
  {
    const std::string path = ArtifactPath("grafocore-import-sample.dxf");
    EXPECT_EQ(RunPython("make_sample.py", {path, "R2000"}, nullptr), 0);
    return path;
  }
};

TEST_F(GrafoCoreDrawings, AnImportedDrawingIsTheCurrentProjectWithItsSize)
{
  const std::string path = Sample();
  int id = 0;
  grafocore::OpenDXFFile(path.c_str(), &id);
  ASSERT_NE(id & 0x1000, 0);
  EXPECT_EQ(grafocore::GetProjectFilePath(id), path);
  double size[3], centre[3];
  grafocore::GetProjectDimentions(&size[0], &size[1], &size[2]);
  grafocore::GetProjectPosition(&centre[0], &centre[1], &centre[2]);
  // The roads' lines run from -40 to 40 at y -20 and 20; the street name stands above them.
  EXPECT_NEAR(size[0], 80, 1e-9);
  EXPECT_GT(size[1], 40);
  EXPECT_NEAR(centre[0], 0, 1e-9);

  int copy = id;
  grafocore::CloneProject(&copy);
  EXPECT_NE(copy, id);
  EXPECT_NE(copy & 0x1000, 0);
  EXPECT_EQ(grafocore::GetProjectFilePath(copy), path);
  EXPECT_EQ(grafocore::DeleteProject(copy), 1);
  EXPECT_STREQ(grafocore::GetProjectFilePath(copy), "");
}

TEST_F(GrafoCoreDrawings, AFileThatIsNoDrawingIsRefusedWithItsReason)
{
  const std::string path = ArtifactPath("grafocore-binary.dxf");
  std::ofstream(path, std::ios::binary) << std::string("AutoCAD Binary DXF\r\n\x1a\0", 22);
  user::ScriptedResponder responder;
  int id = 77;
  grafocore::OpenDXFFile(path.c_str(), &id);
  EXPECT_EQ(id, 0);
  ASSERT_EQ(responder.Asked().size(), 1u);
  EXPECT_NE(responder.Asked()[0].text.find("Двоичный"), std::string::npos) << responder.Asked()[0].text;
}

TEST_F(GrafoCoreDrawings, TheLayersDialogSwitchesLayersOnOkOnly)
{
  int id = 0;
  grafocore::OpenDXFFile(Sample().c_str(), &id);
  ASSERT_TRUE(grafocore::IsLayerShown("Здания"));
  for (int answer : {IDCANCEL, IDOK}) {
    std::vector<std::string> boxes;
    user::SetModalResponder([&](const user::ModalQuestion& q) {
      // Every box of a layer, ticked as shown; the buildings' box cleared.
      for (WORD box = grafocore::kFirstLayerBox; GetDlgItem(q.dialog, box); ++box) {
        char name[64] = {};
        GetDlgItemText(q.dialog, box, name, sizeof name);
        boxes.push_back(name);
        if (boxes.back() == "Здания")
          CheckDlgButton(q.dialog, box, BST_UNCHECKED);
      }
      return answer;
    });
    grafocore::OpenLayersManager();
    user::SetModalResponder(nullptr);
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), "Подписи"), boxes.end());
    EXPECT_EQ(grafocore::IsLayerShown("Здания"), answer == IDCANCEL);
    EXPECT_TRUE(grafocore::IsLayerShown("Дороги"));
  }
}

std::vector<std::uint8_t> Store()
{
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    grafocore::Serialize(&ar, 0x06002A00);
    ar.Close();
  }
  const auto length = static_cast<size_t>(file.GetLength());
  std::vector<std::uint8_t> bytes(length);
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(length));
  return bytes;
}

TEST_F(GrafoCoreDrawings, TheProjectFileKeepsTheDrawingsAndTheirLayers)
{
  const std::string path = Sample();
  int id = 0;
  grafocore::OpenDXFFile(path.c_str(), &id);
  grafocore::SetLayerShown("Подписи", false);
  double size[3];
  grafocore::GetProjectDimentions(&size[0], &size[1], &size[2]);
  const std::vector<std::uint8_t> bytes = Store();
  ASSERT_GT(bytes.size(), 12u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "GRFC");
  std::uint32_t length;
  std::memcpy(&length, bytes.data() + 8, 4);
  EXPECT_EQ(length + 12, bytes.size()) << "the block says its own length";

  grafocore::DeleteObjects();
  LoadingArchive in(bytes);
  EXPECT_EQ(grafocore::Serialize(in.get(), 0x06002A00), grafocore::kPartRead);
  grafocore::SetCurrentProject(id);
  EXPECT_EQ(grafocore::GetProjectFilePath(id), path);
  double again[3];
  grafocore::GetProjectDimentions(&again[0], &again[1], &again[2]);
  EXPECT_EQ(std::vector<double>(size, size + 3), std::vector<double>(again, again + 3));
  EXPECT_FALSE(grafocore::IsLayerShown("Подписи"));
  EXPECT_EQ(Store(), bytes) << "stored again, byte for byte";

  // A new project after loading does not take a loaded id.
  int other = 0;
  grafocore::OpenDXFFile(path.c_str(), &other);
  EXPECT_NE(other, id);

  // Damaged drawings, or a later version's, are passed over whole: the project opens without them.
  for (size_t at : {4, 12, 24}) {
    std::vector<std::uint8_t> damaged = bytes;
    damaged[at] ^= 0x5A;
    damaged.push_back('!');
    LoadingArchive damagedIn(damaged);
    EXPECT_EQ(grafocore::Serialize(damagedIn.get(), 0x06002A00), grafocore::kPartSkipped) << at;
    char next = 0;
    EXPECT_EQ(damagedIn->Read(&next, 1), 1u) << at;
    EXPECT_EQ(next, '!');
  }
}

// One export list holding each kind of record once or more, as the program's builders fill it.
void FillList(nsExp::CExportList& list)
{
  using namespace nsExp;
  auto* group = new CExpGroupLightingColumn;
  group->m_groupKind = 2;
  for (double x : {-10.0, 10.0}) {
    auto* column = new CExpLightingColumn;
    column->m_position[0] = x;
    column->m_deviceKind = 4;
    column->m_tubeHeight = 8;
    auto* arm = new CExpLightingColumn::CArm;
    arm->m_position[1] = 1.5;
    arm->m_mountingHeight = 9;
    column->m_arms.push_back(arm);
    column->m_group = group;
    group->m_members.push_back(column);
  }
  list.m_records.push_back(group);
  auto* single = new CExpLightingColumn;
  single->m_position[1] = 5;
  list.m_records.push_back(single);
  auto* label = new CExpMTextData;
  label->m_text = u"Опора 1";
  label->m_size[1] = 0.5;
  list.m_records.push_back(label);
  auto* road = new CExpPolygonData;
  road->m_membership = 2;
  road->m_points = {{-20, -5, 0}, {-20, 5, 0}, {20, 5, 0}, {20, -5, 0}};
  list.m_records.push_back(road);
  auto* ramp = new CExpPolygonData;
  ramp->m_membership = 2;
  ramp->m_points = {{0, 0, 0}, {0, 5, 6.5}, {5, 5, 6.5}};
  list.m_records.push_back(ramp);
  auto* house = new CExpPolygonData;
  house->m_membership = 8;
  house->m_points = {{30, 0, 0}, {30, 5, 0}, {35, 5, 0}};
  list.m_records.push_back(house);
  auto* ring = new CExpRegionData;
  for (double r : {4.0, 2.0}) {
    auto* p = new CExpPolygonData;
    p->m_points = {{r, 0, 0}, {0, -r, 0}, {-r, 0, 0}, {0, r, 0}};
    ring->m_polygons.push_back(p);
  }
  list.m_records.push_back(ring);
  auto* values = new CExpValuesData;
  for (int i = 0; i < 3; ++i) {
    auto* v = new CExpValuesData::CValue;
    v->x = i;
    v->text = u"1" + std::u16string(1, char16_t(u'0' + i));
    v->height = 0.3;
    values->m_values.push_back(v);
  }
  list.m_records.push_back(values);
  auto* isolines = new CExpIsolinesData;
  auto* level = new CExpIsolinesData::CLevel;
  level->segments = {{0, 0, 0, 1, 1, 0}, {1, 1, 0, 2, 1, 0}};
  level->labels = {{1, 1, 0, u"10 лк", 0.4, 45}};
  isolines->m_levels.push_back(level);
  list.m_records.push_back(isolines);
  auto* stroke = new CExpPolylineData;
  stroke->m_points = {{0, 0, 0}, {0.1, 0.2, 0}};
  list.m_records.push_back(stroke);
  auto* outline = new CExpPolygonData(kExpOutline);
  outline->m_points = {{-25, -10, 0}, {25, -10, 0}, {25, 10, 0}, {-25, 10, 0}};
  list.m_records.push_back(outline);
  list.m_records.push_back(new CExpAxisData);
}

std::map<std::string, std::string> ReadBack(const std::string& path)
{
  std::string out;
  EXPECT_EQ(RunPython("check_export.py", {path}, &out), 0) << out;
  std::map<std::string, std::string> facts;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    const size_t space = line.find(' ');
    if (space != std::string::npos)
      facts[line.substr(0, space)] += (facts.count(line.substr(0, space)) ? "\n" : "") + line.substr(space + 1);
  }
  return facts;
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST_F(GrafoCoreDrawings, ExportedDxfIsReadByAnotherReaderLayerByLayer)
{
  nsExp::CExportList list;
  FillList(list);
  const std::string path = ArtifactPath("grafocore-export-records.dxf");
  grafocore::ExportData(path.c_str(), &list, 0xDB5, 0);
  const auto facts = ReadBack(path);
  EXPECT_EQ(facts.at("audit_errors"), "0");
  const std::string counts = facts.at("count");
  // ezdxf reads our cp1251 as the Cyrillic it is.
  for (const char8_t* expected :
       {u8"Осветительные приборы|INSERT|3", u8"Осветительные приборы|INSERT:COLUMN|3",
        u8"Осветительные приборы|LINE|2", u8"Осветительные приборы|TEXT|1",
        u8"Элементы дороги|POLYLINE|4", u8"Объекты затенения|POLYLINE|1",
        u8"Значения в узлах|TEXT|3", u8"Изолинии|LINE|2", u8"Изолинии|TEXT|1",
        u8"Изолинии|POLYLINE|1", u8"Контур участка|POLYLINE|1", u8"Координатные оси|LINE|2"})
    EXPECT_NE(("\n" + counts + "\n").find("\n" + Utf8(expected) + "\n"), std::string::npos)
        << Utf8(expected) << "\nin\n" << counts;
  EXPECT_EQ(facts.at("heights"), "1") << "the ramp keeps its 6.5 m";
  EXPECT_EQ(facts.at("first_text"), Utf8(u8"Опора 1"));
}

TEST_F(GrafoCoreDrawings, AnExportThatCannotBeWrittenIsReportedAndLeavesTheOldFile)
{
  nsExp::CExportList list;
  list.m_records.push_back(new nsExp::CExpAxisData);
  // A folder where the file should go: the new file cannot take its name.
  const std::string folder = ArtifactPath("grafocore-export-blocked.dxf");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  std::ofstream(folder + "/keep") << "old";
  const struct {
    std::string target;
    const char* reason;
  } cases[] = {{folder, "под этим именем находится папка"},
               {ArtifactPath("no-such-folder/out.dxf"), "папка не найдена"}};
  for (const auto& c : cases) {
    user::ScriptedResponder responder;
    EXPECT_EQ(grafocore::ExportData(c.target.c_str(), &list, 0x900, 0), 0);
    ASSERT_EQ(responder.Asked().size(), 1u) << c.target;
    EXPECT_EQ(responder.Asked()[0].text,
              "Не удается записать файл " + c.target + ": " + c.reason + ". Экспорт не выполнен.");
  }
  EXPECT_TRUE(std::filesystem::exists(folder + "/keep"));

  // Over an existing file, the whole new one.
  const std::string path = ArtifactPath("grafocore-export-replaced.dxf");
  std::ofstream(path) << "old";
  EXPECT_EQ(grafocore::ExportData(path.c_str(), &list, 0x900, 0), 1);
  std::ifstream in(path);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written.substr(written.size() - 8), "  0\nEOF\n");
}

// Under real faults, over an existing file: a full disk and a closed folder are refused with their reason; a kill
// part-way leaves the old file and a temporary that the next export removes.
TEST_F(GrafoCoreDrawings, AnExportUnderFaultsKeepsTheOldFileAndLeavesNoTemporary)
{
  nsExp::CExportList list;
  list.m_records.push_back(new nsExp::CExpAxisData);
  const std::filesystem::path folder = ArtifactPath("grafocore-export-faults");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  const std::string path = (folder / "kept.dxf").string();
  std::ofstream(path) << "old";
  const std::vector<std::string> only = {"kept.dxf"};
  auto old = [&] {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()) == "old";
  };
  {
    user::ScriptedResponder responder;
    EXPECT_EQ(writefaults::WithFullDisk(100, [&] { return grafocore::ExportData(path.c_str(), &list, 0x900, 0); }), 0);
    ASSERT_EQ(responder.Asked().size(), 1u);
    EXPECT_NE(responder.Asked()[0].text.find(": недостаточно места на диске."), std::string::npos);
  }
  EXPECT_TRUE(old());
  EXPECT_EQ(writefaults::Leftovers(folder, only), std::vector<std::string>{});
  {
    writefaults::ReadOnlyFolder closed(folder);
    if (closed.Effective()) {
      user::ScriptedResponder responder;
      EXPECT_EQ(grafocore::ExportData(path.c_str(), &list, 0x900, 0), 0);
      EXPECT_TRUE(old());
    }
  }
  EXPECT_EQ(writefaults::KilledDuringWrite(100, [&] { grafocore::ExportData(path.c_str(), &list, 0x900, 0); }),
            SIGXFSZ);
  EXPECT_TRUE(old());
  EXPECT_EQ(writefaults::Leftovers(folder, only).size(), 1u) << "the killed export's temporary";

  EXPECT_EQ(grafocore::ExportData(path.c_str(), &list, 0x900, 0), 1);
  EXPECT_FALSE(old());
  EXPECT_EQ(writefaults::Leftovers(folder, only), std::vector<std::string>{});
}

}  // namespace
