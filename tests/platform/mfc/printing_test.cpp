// The print loop: which printing calls a view gets, in what order, for which pages; what reaches the PDF; and
// that a cancelled or failed print leaves no file and (when failed) tells the user.
#include "tests/platform/gdi/cups_server.h"
#include "tests/platform/mfc/print_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

BEGIN_MESSAGE_MAP(printtest::CPagesView, CView)
  ON_COMMAND(ID_FILE_PRINT, &CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, &CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, &CView::OnFilePrintPreview)
END_MESSAGE_MAP()

namespace {

using printtest::PdfPages;

struct LoopCase {
  const char* name;
  UINT command;
  UINT pages;
  UINT stopAt;
  UINT breakAt;
  int answer;
  int from;
  int to;
  bool badFolder;  // the PDF's folder does not exist: StartDoc fails
  std::vector<std::string> calls;
  std::vector<int> printed;  // the pages in the PDF, in order; empty: no file
  bool told;                 // a message box said it failed
};

class PrintTest : public printtest::PrintFixture {};

class PrintLoop : public printtest::PrintFixture, public ::testing::WithParamInterface<LoopCase> {};

TEST_P(PrintLoop, CallsPagesAndOutcome)
{
  const LoopCase& c = GetParam();
  view_->pages = c.pages;
  view_->stopAt = c.stopAt;
  view_->breakAt = c.breakAt;
  user_.answer = c.answer;
  user_.from = c.from;
  user_.to = c.to;
  if (c.badFolder) {
    user_.file = File("missing/out.pdf");
  }
  if (c.command == ID_FILE_PRINT_DIRECT) {
    ChoosePdfPrinter(user_.file);
  }
  frame_->SendMessage(WM_COMMAND, c.command, 0);

  EXPECT_EQ(view_->log, c.calls);
  EXPECT_EQ(user_.printDialogs, c.command == ID_FILE_PRINT ? 1 : 0);
  EXPECT_EQ(!user_.messages.empty(), c.told) << (user_.messages.empty() ? "" : user_.messages[0]);
  if (c.printed.empty()) {
    EXPECT_FALSE(std::filesystem::exists(user_.file)) << "a print that did not finish leaves no file";
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(user_.file));
  EXPECT_EQ(PdfPages(user_.file), static_cast<int>(c.printed.size()));
  for (std::size_t i = 0; i < c.printed.size(); ++i) {
    const std::string page = std::to_string(i + 1);
    const std::string text =
        printtest::Output("pdftotext -f " + page + " -l " + page + " '" + user_.file + "' -");
    EXPECT_NE(text.find("Page " + std::to_string(c.printed[i])), std::string::npos) << "PDF page " << page << ": "
                                                                                   << text;
  }
}

const std::vector<std::string> kAllThree = {"prepare", "begin", "dc 1", "print 1", "dc 2",
                                            "print 2", "dc 3",  "print 3", "end"};

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintLoop,
    ::testing::Values(
        LoopCase{"EveryPageThroughTheDialog", ID_FILE_PRINT, 3, 0, 0, IDOK, 0, 0, false, kAllThree, {1, 2, 3}, false},
        LoopCase{"TheRangeChosenInTheDialog", ID_FILE_PRINT, 5, 0, 0, IDOK, 2, 3, false,
                 {"prepare", "begin", "dc 2", "print 2", "dc 3", "print 3", "end"}, {2, 3}, false},
        LoopCase{"DirectToTheDefaultPrinterWithoutADialog", ID_FILE_PRINT_DIRECT, 3, 0, 0, IDOK, 0, 0, false,
                 kAllThree, {1, 2, 3}, false},
        LoopCase{"TheViewEndsTheDocumentBeforeAPage", ID_FILE_PRINT, 5, 3, 0, IDOK, 0, 0, false,
                 {"prepare", "begin", "dc 1", "print 1", "dc 2", "print 2", "dc 3", "end"}, {1, 2}, false},
        LoopCase{"ALengthNotToldPrintsOnePage", ID_FILE_PRINT, 0xFFFF, 0, 0, IDOK, 0, 0, false,
                 {"prepare", "begin", "dc 1", "print 1", "dc 2", "end"}, {1}, false},
        LoopCase{"CancelledInTheDialogNothingStarts", ID_FILE_PRINT, 3, 0, 0, IDCANCEL, 0, 0, false, {"prepare"}, {},
                 false},
        LoopCase{"AFailedStartTellsAndStillEnds", ID_FILE_PRINT, 3, 0, 0, IDOK, 0, 0, true,
                 {"prepare", "begin", "end"}, {}, true},
        LoopCase{"AFailedPageAbortsTheWholeDocument", ID_FILE_PRINT, 3, 0, 2, IDOK, 0, 0, false,
                 {"prepare", "begin", "dc 1", "print 1", "dc 2", "print 2", "end"}, {}, true}),
    [](const ::testing::TestParamInfo<LoopCase>& info) { return std::string(info.param.name); });

// A page range outside the document is held to it.
TEST_F(PrintTest, ARangeBeyondTheDocumentIsHeldToIt)
{
  view_->pages = 2;
  user_.from = 1;
  user_.to = 9;
  frame_->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
  EXPECT_EQ(PdfPages(user_.file), 2);
  EXPECT_EQ(view_->log.back(), "end");
}

// Printing direct is the command's doing: the view's own later call asks the user.
TEST_F(PrintTest, ACallAfterADirectPrintAsksAgain)
{
  ChoosePdfPrinter(user_.file);
  frame_->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
  EXPECT_EQ(user_.printDialogs, 0);
  view_->OnFilePrint();
  EXPECT_EQ(user_.printDialogs, 1);
}

// Print setup changes the application's printer, and the next print uses it.
TEST_F(PrintTest, PrintSetupChoosesThePaperTheNextPrintUses)
{
  CWinApp app;
  int setups = 0;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    if (q.kind != user::ModalQuestion::Kind::Dialog || q.caption != "Настройка печати") {
      return IDCANCEL;
    }
    ++setups;
    auto* pd = static_cast<PRINTDLG*>(q.record);
    auto* mode = static_cast<DEVMODEA*>(::GlobalLock(pd->hDevMode));
    mode->dmOrientation = DMORIENT_LANDSCAPE;
    ::GlobalUnlock(pd->hDevMode);
    q.reply = user_.file;
    return IDOK;
  });
  app.OnFilePrintSetup();
  EXPECT_EQ(setups, 1);
  frame_->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
  const std::string info = printtest::Output("pdfinfo '" + user_.file + "'");
  EXPECT_NE(info.find("841.89 x 595.276"), std::string::npos) << info;  // A4 landscape, points
}

// The default printer is the print server's default queue: printing direct sends the document there.
TEST_F(PrintTest, DirectPrintGoesToTheServersDefaultQueue)
{
  testcups::CupsServer server;
  if (const std::string why = server.Start(); !why.empty()) {
    GTEST_SKIP() << why;
  }
  frame_->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
  EXPECT_TRUE(user_.messages.empty()) << user_.messages[0];
  EXPECT_EQ(view_->log, kAllThree);
  {
    // The application's printer is now the queue.
    auto* names = static_cast<const DEVNAMES*>(::GlobalLock(afx_print::AppDevNames()));
    EXPECT_STREQ(reinterpret_cast<const char*>(names) + names->wDeviceOffset, "TestPdf");
    ::GlobalUnlock(afx_print::AppDevNames());
  }
  const std::vector<std::string> pdfs = server.WaitForPdfs(1);
  ASSERT_EQ(pdfs.size(), 1u);
  EXPECT_EQ(PdfPages(pdfs[0]), 3);
  std::filesystem::copy_file(pdfs[0], std::string(TESMIRA_ARTIFACTS_DIR) + "/mfc_printed_through_cups.pdf",
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace
