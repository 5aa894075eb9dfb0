// The project file as the document opens and saves it: hand-written files of three format versions, the
// version gates and their messages, damaged files and atomic saving.
#include "document_env.h"
#include "model/iarea.h"
#include "model/project.h"
#include "outside/grafocore/grafocore.h"
#include "project_bytes.h"

#include <cstring>
#include <filesystem>

namespace {

using fixtures::ProjectFile;
using ObjectModel::MakeFormatVersion;

struct FixtureCase {
  const char* name;
  DWORD version;
  int areas;
};

class ProjectFile_ : public DocumentTest {};

TEST_F(ProjectFile_, HandWrittenFilesOfEachVersionOpen)
{
  const FixtureCase cases[] = {
      {"4.0.0.0", fixtures::v4_0_0_0, 1},
      {"4.0.2.0", fixtures::v4_0_2_0, 2},
      {"4.0.17.0", fixtures::v4_0_17_0, 1},
      {"4.1.0.0: an empty graphics block", MakeFormatVersion(4, 1, 0, 0), 1},
      {"4.3.0.0: all three graphics parts", MakeFormatVersion(4, 3, 0, 0), 2},
      {"6.0.42.0", fixtures::v6_0_42_0, 3},
  };
  Start();
  for (const FixtureCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = TempPath("fixture-" + std::to_string(c.version) + ".qorr5");
    WriteFile(path, ProjectFile(c.version, c.areas).data());
    ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
    EXPECT_EQ(answers.Asked().size(), 0u);
    EXPECT_EQ(doc->GetViewMode(), 0x2C2u);
    EXPECT_EQ(doc->GetStateCount(), 1);
    EXPECT_FALSE(doc->IsModified());
    IProject* project = doc->GetCurrentProject();
    EXPECT_STREQ(*project->GetName(), "Проект из файла");
    EXPECT_STREQ(*project->GetExecutor(), "Иванов");
    EXPECT_EQ(*doc->GetCurrentOptions()->GetQuantity(), 2);
    auto* tree = dynamic_cast<ObjectModel::CProject*>(project);
    int areas = 0;
    for (IArea* area = tree->GetFirstArea(); area; area = area->GetNext())
      EXPECT_STREQ(*area->GetCaption(), ("Участок " + std::to_string(++areas)).c_str());
    EXPECT_EQ(areas, c.areas);
  }
}

TEST_F(ProjectFile_, ACurrentFileIsSavedAgainByteForByte)
{
  Start();
  const auto fixture = ProjectFile(fixtures::v6_0_42_0, 3).data();
  const std::string path = TempPath("current.qorr5");
  const std::string again = TempPath("current-again.qorr5");
  WriteFile(path, fixture);
  ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
  ASSERT_TRUE(doc->OnSaveDocument(again.c_str()));
  EXPECT_EQ(ReadFile(again), fixture);
}

TEST_F(ProjectFile_, AnOldFileIsSavedInTheCurrentForm)
{
  Start();
  const std::string path = TempPath("old.qorr4");
  const std::string saved = TempPath("old-saved.qorr5");
  WriteFile(path, ProjectFile(fixtures::v4_0_2_0).data());
  ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
  ASSERT_TRUE(doc->OnSaveDocument(saved.c_str()));
  const auto bytes = ReadFile(saved);
  ASSERT_GT(bytes.size(), 12u);
  const std::uint8_t header[12] = {'Q', 'O', 'R', 'R', 0x00, 0x2A, 0x00, 0x06, 0xC2, 0x02, 0, 0};
  EXPECT_TRUE(std::equal(header, header + 12, bytes.begin()));

  // What was saved opens again and saves to the same bytes.
  const std::string third = TempPath("old-third.qorr5");
  ASSERT_TRUE(doc->OnOpenDocument(saved.c_str()));
  ASSERT_TRUE(doc->OnSaveDocument(third.c_str()));
  EXPECT_EQ(ReadFile(third), bytes);
}

struct RejectCase {
  const char* name;
  const char* magic;
  DWORD version;
  UINT message;
};

TEST_F(ProjectFile_, RejectedFilesGiveTheirMessageAndLeaveAFreshUnboundProject)
{
  const RejectCase cases[] = {
      {"bad magic", "QORS", 0x06002A00, 102},
      {"newer", "QORR", 0x06002A01, 103},
      {"older", "QORR", 0x03FFFFFF, 124},
      {"bad magic before version", "qorr", 0x01000000, 102},
  };
  Start();
  long projectNumber = ProjectNumber();
  for (const RejectCase& c : cases) {
    SCOPED_TRACE(c.name);
    // The document was bound to a file of its own before.
    const std::string own = TempPath("own.qorr5");
    ASSERT_TRUE(doc->OnSaveDocument(own.c_str()));
    doc->SetPathName(own.c_str(), FALSE);

    Bytes bytes;
    bytes.raw(c.magic, 4).u32(c.version).u32(0x202);
    bytes.append(fixtures::VisualOptions(fixtures::v6_0_42_0));
    const std::string path = TempPath(std::string("rejected-") + c.name + ".qorr5");
    WriteFile(path, bytes.data());
    const std::size_t asked = answers.Asked().size();
    const std::size_t prompts = fileNames.Asked().size();
    answers.AnswerNext(IDOK);
    EXPECT_FALSE(doc->OnOpenDocument(path.c_str()));
    ++projectNumber;

    ASSERT_EQ(answers.Asked().size(), asked + 1);
    CString expected;
    expected.LoadString(c.message);
    EXPECT_EQ(answers.Asked().back().text, std::string(expected));
    EXPECT_EQ(answers.Asked().back().style & 0xF0, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(ProjectName(), NumberedName(projectNumber));
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_EQ(doc->GetStateCount(), 1);

    // A later Save asks for a name; cancelled, the rejected file is as it was.
    fileNames.Cancel();
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(fileNames.Asked().size(), prompts + 1);
    EXPECT_EQ(ReadFile(path), bytes.data());
  }
  const CString msg = [] {
    CString s;
    s.LoadString(124);
    return s;
  }();
  EXPECT_NE(std::string(msg).find("версии 3.х."), std::string::npos);
}

TEST_F(ProjectFile_, DamagedFilesFailAndLeaveAFreshProject)
{
  Start();
  const auto whole = ProjectFile(fixtures::v6_0_42_0).data();
  struct Damage {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Damage> damages;
  damages.push_back({"empty", {}});
  damages.push_back({"cut in the header", {whole.begin(), whole.begin() + 6}});
  damages.push_back({"cut in the project", {whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)}});
  damages.push_back({"cut in the graphics block", {whole.begin(), whole.end() - 2}});
  {
    // An area count of two thousand million.
    Bytes b = fixtures::Header(fixtures::v6_0_42_0);
    b.append(fixtures::VisualOptions(fixtures::v6_0_42_0));
    b.str("П").str("").str("").i32(0).f64(0).str("").str("").str("").i32(0x7FFFFFFF);
    damages.push_back({"huge area count", b.data()});
  }
  {
    Bytes b = fixtures::Header(fixtures::v6_0_42_0);
    b.append(fixtures::VisualOptions(fixtures::v6_0_42_0)).append(fixtures::ProjectBlock(fixtures::v6_0_42_0, 1));
    b.i32(0x7FFFFFFF);
    damages.push_back({"huge raster count", b.data()});
  }
  {
    Bytes b = fixtures::Header(MakeFormatVersion(4, 2, 0, 0));
    b.append(fixtures::VisualOptions(MakeFormatVersion(4, 2, 0, 0)))
        .append(fixtures::ProjectBlock(MakeFormatVersion(4, 2, 0, 0), 1));
    b.i32(-5);
    damages.push_back({"negative raster id count", b.data()});
  }
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    const std::string own = TempPath("own.qorr5");
    doc->SetPathName(own.c_str(), FALSE);
    const std::string path = TempPath("damaged.qorr5");
    WriteFile(path, d.bytes);
    answers.AnswerNext(IDOK);  // the framework's message
    EXPECT_FALSE(doc->OnOpenDocument(path.c_str()));
    EXPECT_EQ(answers.Unused(), 0u);
    // The template unbinds a document whose open had begun to replace its contents.
    EXPECT_TRUE(doc->OpenReplacedContents());
    EXPECT_EQ(doc->GetStateCount(), 1);
    EXPECT_EQ(doc->GetCurrentProject()->GetName()->Find("Проект - "), 0);
  }
}

// What may stand at the end of a file: the graphics library's block of ours is self-delimiting, so anything
// after it is damage; a part written by another library runs to the end and is skipped with a warning.
TEST_F(ProjectFile_, TheEndOfTheFileIsDamageOrAWarningNeverSilence)
{
  enum Outcome { kDamaged, kWarned, kDamagedOrWarned };
  struct EndCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    Outcome outcome;
  };
  const DWORD v = fixtures::v6_0_42_0;
  const auto whole = ProjectFile(v).data();
  // Everything up to the library's block: header, options, project, no rasters, no managers.
  Bytes upToLibrary = fixtures::Header(v);
  upToLibrary.append(fixtures::VisualOptions(v)).append(fixtures::ProjectBlock(v, 1)).i32(0).i32(0);
  auto withLibraryPart = [&](const Bytes& part) {
    Bytes b = upToLibrary;
    return b.append(part).data();
  };
  auto relabelled = [&](DWORD version) {
    std::vector<std::uint8_t> b = whole;
    std::memcpy(b.data() + 4, &version, 4);
    return b;
  };
  std::vector<std::uint8_t> twice = whole;
  twice.insert(twice.end(), whole.begin(), whole.end());
  const std::vector<EndCase> cases = {
      {"one byte after the block", withLibraryPart(Bytes().i32(0).zeros(1)), kDamaged},
      {"a second project after the block", twice, kDamaged},
      {"the block cut to two bytes", {whole.begin(), whole.end() - 2}, kDamaged},
      {"no library block at all", {whole.begin(), whole.end() - 4}, kDamaged},
      {"our drawings, read past by their length", withLibraryPart(Bytes().raw("GRFC", 4).u32(1).u32(5).zeros(5)),
       kWarned},
      {"our drawings, then a byte", withLibraryPart(Bytes().raw("GRFC", 4).u32(1).u32(5).zeros(6)), kDamaged},
      {"our drawings, longer than the file", withLibraryPart(Bytes().raw("GRFC", 4).u32(1).u32(100).zeros(5)),
       kDamaged},
      {"another library's part", withLibraryPart(Bytes().i32(-1).str("чертеж").zeros(40)), kWarned},
      {"relabelled 4.1.0.0", relabelled(MakeFormatVersion(4, 1, 0, 0)), kDamagedOrWarned},
      {"relabelled 4.2.0.0", relabelled(MakeFormatVersion(4, 2, 0, 0)), kDamagedOrWarned},
      {"relabelled 4.0.17.0", relabelled(fixtures::v4_0_17_0), kDamagedOrWarned},
      {"relabelled 4.3.0.0", relabelled(MakeFormatVersion(4, 3, 0, 0)), kDamagedOrWarned},
      {"relabelled 5.0.0.0", relabelled(MakeFormatVersion(5, 0, 0, 0)), kDamagedOrWarned},
  };
  Start();
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = TempPath("end.qorr5");
    WriteFile(path, c.bytes);
    const std::size_t asked = answers.Asked().size();
    answers.AnswerNext(IDOK);
    const BOOL opened = doc->OnOpenDocument(path.c_str());
    ASSERT_EQ(answers.Asked().size(), asked + 1) << "one message, whatever the outcome";
    const bool warned = answers.Asked().back().text == std::string(grafocore::SkippedPartMessage());
    if (c.outcome != kDamagedOrWarned) {
      EXPECT_EQ(warned, c.outcome == kWarned);
    }
    EXPECT_EQ(opened != FALSE, warned);
    if (warned) {
      EXPECT_STREQ(*doc->GetCurrentProject()->GetName(), "Проект из файла");
    } else {
      EXPECT_EQ(doc->GetCurrentProject()->GetName()->Find("Проект - "), 0) << "a fresh project";
      EXPECT_EQ(doc->GetStateCount(), 1);
    }
  }
}

TEST_F(ProjectFile_, ARasterOfAnOlderFileIsDroppedAndItsAreasLoseIt)
{
  // A 4.2 file naming raster 3, which the area carries: the default core cannot load the picture.
  const DWORD v4_2 = MakeFormatVersion(4, 2, 0, 0);
  Bytes area = fixtures::AreaBlock(v4_2, "Участок 1");
  Bytes b = fixtures::Header(v4_2);
  b.append(fixtures::VisualOptions(v4_2));
  b.str("Проект из файла").str("").str("").i32(0).f64(0).str("").str("").str("").i32(1);
  b.append(fixtures::StraightRoadClassId());
  // The area block with underlay id 3 in place of 0: rebuilt field by field up to the id.
  Bytes head;
  head.str("Участок 1").f64(31.5).f64(200.0).i32(1).append(fixtures::NormsBlock(v4_2));
  head.f32s({1, 2, 3, 4, 5}).f32s({6, 7, 8}).i32(0).i32(5).i32(0).i32(1).i32(3);
  for (int camera = 0; camera < 8; ++camera)
    head.f64s({100.0 + camera, 0, 10, 0, 0, 0});
  head.i32(3);
  ASSERT_EQ(head.size(), area.size());
  b.append(head).append(fixtures::CrossSection()).append(fixtures::GroupsBlock(v4_2)).append(fixtures::EmptyResults(v4_2));
  b.i32(5).i32(350).i32(4100).f64s({0.12, 1.05, 0.1, 0.04, 0.05}).i32(1).i32(0);
  b.i32(1).i32(3).str("C:\\plans\\plan.bmp").f64(100).f64(50);

  Start();
  const std::string path = TempPath("raster-4.2.qorr4");
  WriteFile(path, b.data());
  ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
  auto* tree = dynamic_cast<ObjectModel::CProject*>(doc->GetCurrentProject());
  EXPECT_EQ(*tree->GetFirstArea()->GetUnderlayId(), 0);
}

// A picture record: colour entry, header, strides and flags, then 3 bytes a pixel.
Bytes Picture(int width, int height)
{
  Bytes b;
  const int rowStride = (width * 24 + 31) / 32 * 4;
  b.zeros(4).i32(40).i32(width).i32(height).u16(1).u16(24).i32(0).i32(rowStride * height + 1);
  b.i32(0).i32(0).i32(0).i32(0).i32(rowStride).i32(3).i32(1);
  b.zeros(static_cast<std::size_t>(width) * height * 3);
  return b;
}

TEST_F(ProjectFile_, WholeRastersOfAFileAreReadPastByTheDefaultCore)
{
  const DWORD v = fixtures::v6_0_42_0;
  Bytes rasters;
  rasters.i32(1);
  rasters.append(Picture(5, 3)).str("C:\\plans\\plan.bmp").i32(128).i32(1).i32(1).i32(4).f64(100).f64(50).i32(1);
  rasters.i32(1).append(Picture(2, 2)).i32(128).f64s({-50, 25, 50, -25});
  Bytes b = fixtures::Header(v);
  b.append(fixtures::VisualOptions(v)).append(fixtures::ProjectBlock(v, 1)).append(rasters).i32(0).i32(0);
  Start();
  const std::string path = TempPath("raster-6.qorr5");
  WriteFile(path, b.data());
  ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));

  // A picture whose size the file cannot hold is refused before anything is read for it.
  Bytes huge = fixtures::Header(v);
  huge.append(fixtures::VisualOptions(v)).append(fixtures::ProjectBlock(v, 1)).i32(1);
  huge.zeros(4).i32(40).i32(0x7FFFFFFF).i32(0x7FFFFFFF).u16(1).u16(24).zeros(36);
  WriteFile(path, huge.data());
  answers.AnswerNext(IDOK);
  EXPECT_FALSE(doc->OnOpenDocument(path.c_str()));
  EXPECT_EQ(answers.Unused(), 0u);
}

TEST_F(ProjectFile_, SavingCollapsesTheHistoryToTheCurrentState)
{
  Start();
  doc->PushUndoState();
  doc->PushUndoState();
  doc->Undo();
  IProject* live = doc->GetCurrentProject();
  ASSERT_TRUE(doc->CanUndo());
  ASSERT_TRUE(doc->OnSaveDocument(TempPath("collapsed.qorr5").c_str()));
  EXPECT_EQ(doc->GetStateCount(), 1);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_FALSE(doc->CanRedo());
  EXPECT_EQ(doc->GetCurrentProject(), live);
}

// A render core whose block cannot be written: the save fails part way.
class FailingCore : public CGraphicCore {
public:
  using CGraphicCore::CGraphicCore;
  void Serialize(CArchive& ar, DWORD version) override
  {
    if (ar.IsStoring())
      AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    CGraphicCore::Serialize(ar, version);
  }
};

TEST_F(ProjectFile_, AFailedSaveLeavesTheOldFileAndNoTemporaryFile)
{
  SetGraphicCoreFactory([](IQorRoadDoc* context) -> CGraphicCore* { return new FailingCore(context); });
  Start();
  const std::string path = TempPath("kept.qorr5");
  const auto old = ProjectFile(fixtures::v4_0_17_0).data();
  WriteFile(path, old);
  answers.AnswerNext(IDOK);
  EXPECT_FALSE(doc->OnSaveDocument(path.c_str()));
  SetGraphicCoreFactory(nullptr);
  EXPECT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(ReadFile(path), old);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
    files += entry.path().filename().string().rfind("kept", 0) == 0 || entry.path().extension() == ".tmp";
  EXPECT_EQ(files, 1);
}

}  // namespace
