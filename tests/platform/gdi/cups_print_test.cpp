// Printing through a print server: the queues it lists, a document sent to its cups-pdf queue arriving whole as
// a PDF, and a queue that is not there failing at EndDoc with nothing left behind.
#include "platform/gdi/cups_printer.h"
#include "platform/gdi/print.h"
#include "platform/gdi/windraw.h"
#include "tests/platform/gdi/cups_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

std::string Output(const std::string& command)
{
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) {
    return out;
  }
  std::array<char, 4096> buffer;
  while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
    out += buffer.data();
  }
  return out;
}

// A page of a PDF at 30 dpi in grey, as poppler draws it.
struct Gray {
  int width = 0;
  int height = 0;
  std::string pixels;
  int InkIn(int x0, int y0, int x1, int y1) const
  {
    int dark = 0;
    for (int y = y0; y < std::min(y1, height); ++y) {
      for (int x = x0; x < std::min(x1, width); ++x) {
        dark += static_cast<unsigned char>(pixels[static_cast<std::size_t>(y) * width + x]) < 240 ? 1 : 0;
      }
    }
    return dark;
  }
};

Gray Rasterise(const std::string& pdf, int page)
{
  const std::string pgm = Output("pdftoppm -gray -r 30 -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                 " '" + pdf + "'");
  Gray g;
  int maxValue = 0;
  int consumed = 0;
  if (std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &g.width, &g.height, &maxValue, &consumed) != 3) {
    return g;
  }
  g.pixels = pgm.substr(static_cast<std::size_t>(consumed) + 1);
  if (g.pixels.size() < static_cast<std::size_t>(g.width) * g.height) {
    g.width = g.height = 0;
  }
  return g;
}

// Two pages, each with a line of text and a rule.
bool PrintTwoPages(HDC dc, const char* title)
{
  DOCINFO info;
  info.lpszDocName = title;
  if (StartDoc(dc, &info) <= 0) {
    return false;
  }
  HFONT font = CreateFont(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, PROOF_QUALITY, VARIABLE_PITCH,
                          "MS Sans Serif");
  HGDIOBJ old = SelectObject(dc, font);
  bool ok = true;
  for (int page = 1; page <= 2 && ok; ++page) {
    ok = StartPage(dc) > 0;
    const std::string text = page == 1 ? "Protocol page one" : "Protocol page two";
    TextOut(dc, 150, 150, text.c_str(), static_cast<int>(text.size()));
    MoveToEx(dc, 150, 220, nullptr);
    LineTo(dc, 1000, 220);
    ok = ok && EndPage(dc) > 0;
  }
  SelectObject(dc, old);
  DeleteObject(font);
  return EndDoc(dc) > 0 && ok;
}

class CupsPrinting : public ::testing::Test {
protected:
  void SetUp() override
  {
    const std::string why = server_.Start();
    if (!why.empty()) {
      GTEST_SKIP() << why;
    }
  }

  testcups::CupsServer server_;
};

TEST_F(CupsPrinting, TheServersQueueIsListedAndADocumentSentToItArrivesWhole)
{
  const std::vector<gdi::cups::Printer> printers = gdi::cups::ListPrinters();
  ASSERT_EQ(printers.size(), 1u);
  EXPECT_EQ(printers[0].name, "TestPdf");
  EXPECT_TRUE(printers[0].isDefault);
  EXPECT_EQ(gdi::cups::DefaultPrinter(), "TestPdf");
  EXPECT_TRUE(gdi::cups::HasPrinter("TestPdf"));
  EXPECT_FALSE(gdi::cups::HasPrinter("TestPd"));

  HDC dc = gdi::CreateQueuePrinterDC("TestPdf", 210, 297, 150);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(PrintTwoPages(dc, "Протокол"));
  gdi::PrintJob* job = gdi::PrintJobOf(dc);
  ASSERT_NE(job, nullptr);
  EXPECT_GT(job->SubmittedJob(), 0);
  // The file the queue was handed is gone once sent.
  EXPECT_FALSE(job->DocumentPath().empty());
  EXPECT_FALSE(std::filesystem::exists(job->DocumentPath()));
  DeleteDC(dc);

  const std::vector<std::string> pdfs = server_.WaitForPdfs(1);
  ASSERT_EQ(pdfs.size(), 1u) << "see the server's log under " << server_.Socket();
  const std::string kept = std::string(TESMIRA_ARTIFACTS_DIR) + "/gdi_cups_printed.pdf";
  std::filesystem::copy_file(pdfs[0], kept, std::filesystem::copy_options::overwrite_existing);
  EXPECT_NE(Output("pdfinfo '" + pdfs[0] + "'").find("Pages:           2"), std::string::npos);
  // The server's filters turn the text into outlines, so it is looked for as ink: each page has its line of
  // text and its rule at the top, and nothing below.
  for (int page = 1; page <= 2; ++page) {
    const Gray g = Rasterise(pdfs[0], page);
    ASSERT_EQ(g.width, 248) << "A4 at 30 dpi";
    ASSERT_EQ(g.height, 351);
    EXPECT_GT(g.InkIn(30, 20, 200, 40), 40) << "the text of page " << page;
    EXPECT_GT(g.InkIn(30, 42, 200, 47), 100) << "the rule of page " << page;
    EXPECT_EQ(g.InkIn(0, 60, g.width, g.height), 0) << "page " << page << " below the rule";
  }
}

TEST_F(CupsPrinting, TheCopiesAskedForArePrinted)
{
  HDC dc = gdi::CreateQueuePrinterDC("TestPdf", 210, 297, 100);
  ASSERT_NE(dc, nullptr);
  gdi::PrintJobOf(dc)->SetCopies(2, true);
  ASSERT_TRUE(PrintTwoPages(dc, "copies"));
  DeleteDC(dc);
  const std::vector<std::string> pdfs = server_.WaitForPdfs(1);
  ASSERT_EQ(pdfs.size(), 1u);
  EXPECT_NE(Output("pdfinfo '" + pdfs[0] + "'").find("Pages:           4"), std::string::npos);
}

TEST_F(CupsPrinting, AQueueThatIsGoneFailsAtTheEndAndLeavesNothing)
{
  HDC dc = gdi::CreateQueuePrinterDC("NoSuchQueue", 210, 297, 150);
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(PrintTwoPages(dc, "lost"));
  gdi::PrintJob* job = gdi::PrintJobOf(dc);
  EXPECT_EQ(job->SubmittedJob(), 0);
  EXPECT_FALSE(job->LastError().empty());
  EXPECT_FALSE(job->DocumentPath().empty());
  EXPECT_FALSE(std::filesystem::exists(job->DocumentPath()));
  DeleteDC(dc);
  EXPECT_TRUE(std::filesystem::is_empty(server_.OutDir()));
}

// Without a server named, a test sees no queues, whatever the machine has.
TEST(CupsWithoutServer, TestsSeeNoQueuesUnlessOneIsNamed)
{
  if (std::getenv("TESMIRA_TEST") == nullptr || std::getenv("CUPS_SERVER") != nullptr) {
    GTEST_SKIP() << "runs as CI runs it: TESMIRA_TEST set, CUPS_SERVER not";
  }
  EXPECT_TRUE(gdi::cups::ListPrinters().empty());
  std::string why;
  EXPECT_EQ(gdi::cups::SubmitPdf("TestPdf", "/nonexistent.pdf", "x", why), 0);
  EXPECT_FALSE(why.empty());
}

}  // namespace
