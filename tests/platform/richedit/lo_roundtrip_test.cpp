// A hand-written report (Cyrillic text, a bordered table of 3 rows and 4 columns, a \wbitmap picture, a page
// break) is read, written by our writer, and opened by LibreOffice: the PDF it makes has the text and the picture.
#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace richedit {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

int Shell(const std::string& command) { return std::system(command.c_str()); }

class LibreOfficeRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tesmira-rtf-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  fs::path dir_;
};

TEST_F(LibreOfficeRoundTrip, OurRtfOfAHandWrittenReportOpensWithTextTableAndPicture) {
  RichDocument document;
  const RtfReadResult result =
      ReadRtf(ReadFile(fs::path(TESMIRA_SOURCE_DIR) / "tests/platform/richedit/fixtures/report_with_table.rtf"),
              document);
  ASSERT_TRUE(result.Ok()) << result.message;
  int rows = 0;
  int pageBreaks = 0;
  int pictures = 0;
  for (const Block& block : document.blocks) {
    if (block.kind == BlockKind::TableRow) {
      ++rows;
      EXPECT_EQ(block.row.cells.size(), 4u);
      EXPECT_EQ(block.row.cells[0].top, (CellBorder{15, 0}));
    }
    if (block.kind == BlockKind::PageBreak) ++pageBreaks;
    for (const richedit::Run& run : block.paragraph.runs) pictures += run.kind == RunKind::Picture ? 1 : 0;
  }
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(pageBreaks, 1);
  EXPECT_EQ(pictures, 1);

  const fs::path rtf = dir_ / "report.rtf";
  {
    std::ofstream out(rtf, std::ios::binary);
    out << WriteRtf(document);
  }

  if (Shell("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "LibreOffice is not installed";
  // A private profile, and a home for it: tests run as root without one.
  const std::string convert = "cd '" + dir_.string() + "' && HOME='" + dir_.string() +
                              "' timeout 120 soffice -env:UserInstallation=file://" + dir_.string() +
                              "/profile --headless --convert-to pdf --outdir '" + dir_.string() + "' report.rtf" +
                              " >'" + dir_.string() + "/soffice.log' 2>&1";
  ASSERT_EQ(Shell(convert), 0) << ReadFile(dir_ / "soffice.log");
  const fs::path pdf = dir_ / "report.pdf";
  ASSERT_TRUE(fs::exists(pdf)) << ReadFile(dir_ / "soffice.log");

  ASSERT_EQ(Shell("pdftotext '" + pdf.string() + "' '" + (dir_ / "report.txt").string() + "'"), 0);
  const std::string text = ReadFile(dir_ / "report.txt");
  const size_t pageEnd = text.find('\f');
  ASSERT_NE(pageEnd, std::string::npos);
  const std::string firstPage = text.substr(0, pageEnd);
  EXPECT_NE(firstPage.find(Utf8(u8"Протокол светотехнического расчёта")), std::string::npos) << text;
  for (const char8_t* cell : {u8"Ширина, м", u8"Высота, м", u8"Опора", u8"П2"}) {
    EXPECT_NE(firstPage.find(Utf8(cell)), std::string::npos) << Utf8(cell) << "\n" << text;
  }
  EXPECT_NE(text.find(Utf8(u8"Страница два"), pageEnd), std::string::npos) << text;

  ASSERT_EQ(Shell("pdfimages -list '" + pdf.string() + "' >'" + (dir_ / "images.txt").string() + "'"), 0);
  // Two heading lines, then one line per image: page, number, type, width, height, ...
  std::istringstream images(ReadFile(dir_ / "images.txt"));
  std::string line;
  std::vector<std::string> listed;
  while (std::getline(images, line)) listed.push_back(line);
  ASSERT_GE(listed.size(), 3u) << ReadFile(dir_ / "images.txt");
  std::istringstream first(listed[2]);
  int page = 0, number = 0, width = 0, height = 0;
  std::string type;
  first >> page >> number >> type >> width >> height;
  EXPECT_EQ(page, 1);
  EXPECT_EQ(width, 4);
  EXPECT_EQ(height, 4);

  // The first page as LibreOffice drew it, for a person to look at.
  const fs::path artifacts = TESMIRA_ARTIFACTS_DIR;
  fs::create_directories(artifacts);
  Shell("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + pdf.string() + "' '" +
        (artifacts / "rtf-libreoffice-page1").string() + "'");
}

}  // namespace
}  // namespace richedit
