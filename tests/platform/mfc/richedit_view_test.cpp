// The rich edit view: its control, its wrapping, and a long report printed to PDF and previewed page by page,
// with as many pages as the control's page formatting counts.
#include "platform/gdi/print.h"
#include "platform/mfc/afxrich.h"
#include "tests/platform/mfc/print_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using printtest::Output;
using printtest::PdfPages;

DWORD ReadString(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb)
{
  auto* source = reinterpret_cast<std::string*>(cookie);
  const size_t n = std::min(static_cast<size_t>(cb), source->size());
  std::copy_n(source->begin(), n, buffer);
  source->erase(0, n);
  *pcb = static_cast<LONG>(n);
  return 0;
}

// A report as the program writes it: a title, paragraphs, tables with borders, a page break, Cyrillic text.
std::string Report()
{
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\froman\\fcharset204 "
      "Times New Roman;}}{\\colortbl ;\\red0\\green0\\blue128;}\\f0\\fs24 "
      "\\pard\\qc{\\b\\fs40 ПРОТОКОЛ № 17}\\par{\\fs28 светотехнического расчета}\\par\\pard\\ql\\page ";
  const char* border = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                       "\\clbrdrr\\brdrs\\brdrw10";
  for (int section = 1; section <= 6; ++section) {
    rtf += "{\\b\\cf1\\fs28 " + std::to_string(section) + ". Результаты расчета участка}\\par ";
    for (int i = 0; i < 10; ++i) {
      rtf += "Средняя яркость покрытия, равномерность общая и продольная, пороговое приращение для участка " +
             std::to_string(section) + "." + std::to_string(i) + " соответствуют нормам.\\par ";
    }
    for (int row = 0; row < 8; ++row) {
      rtf += "\\trowd\\trgaph108\\trleft0" + std::string(border) + "\\cellx3500" + border + "\\cellx6500" + border +
             "\\cellx9000\\pard\\intbl Параметр " + std::to_string(row) + "\\cell " +
             std::to_string(row * 7 % 10) + ",5 кд/м2\\cell М" + std::to_string(row % 6 + 1) + "\\cell\\row ";
    }
    rtf += "\\pard\\par ";
  }
  return rtf + "}";
}

class RichEditViewTest : public printtest::PrintFixture {
protected:
  void SetUp() override
  {
    printtest::PrintFixture::SetUp();
    // The fixture's own page view steps aside for ours.
    frame_->SetActiveView(nullptr);
    view_->DestroyWindow();
    view_ = nullptr;
    report_ = new CRichEditView;
    CRect client;
    frame_->GetClientRect(&client);
    ASSERT_TRUE(report_->Create(nullptr, "", WS_CHILD | WS_VISIBLE, client, frame_, AFX_IDW_PANE_FIRST));
    frame_->SetActiveView(report_);
    std::string rtf = Report();
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&rtf), 0, &ReadString};
    report_->GetRichEditCtrl().StreamIn(SF_RTF, es);
    ASSERT_EQ(es.dwError, 0u);
  }

  // The pages EM_FORMATRANGE makes of the text on the default printer's paper.
  int FormattedPages()
  {
    HDC printer = gdi::CreatePdfPrinterDC(File("measure.pdf"));
    FORMATRANGE fr{};
    fr.hdc = fr.hdcTarget = printer;
    fr.rcPage = report_->GetPageRect();
    const long length = report_->GetRichEditCtrl().GetTextLengthEx(GTL_PRECISE | GTL_NUMCHARS);
    int pages = 0;
    long cp = 0;
    do {
      fr.rc = report_->GetPrintRect();
      fr.chrg = CHARRANGE{static_cast<LONG>(cp), -1};
      const long next = report_->GetRichEditCtrl().FormatRange(&fr, FALSE);
      if (next <= cp) {
        break;
      }
      cp = next;
      ++pages;
    } while (cp < length);
    report_->GetRichEditCtrl().FormatRange(nullptr, FALSE);
    DeleteDC(printer);
    return pages;
  }

  CRichEditView* report_ = nullptr;
};

TEST_F(RichEditViewTest, IsItsControlAndWrapsAsTold)
{
  CRichEditCtrl& ctrl = report_->GetRichEditCtrl();
  EXPECT_EQ(ctrl.m_hWnd, report_->m_hWnd);
  EXPECT_EQ(CWnd::FromHandlePermanent(report_->m_hWnd), report_);
  char name[32] = {};
  ::GetClassName(report_->m_hWnd, name, sizeof name);
  EXPECT_STREQ(name, "RichEdit20A");
  EXPECT_GT(ctrl.GetTextLength(), 5000);

  const int wrapped = ctrl.GetLineCount();
  report_->m_nWordWrap = CRichEditView::WrapNone;
  report_->WrapChanged();
  const int unwrapped = ctrl.GetLineCount();
  EXPECT_LT(unwrapped, wrapped);
  report_->m_nWordWrap = CRichEditView::WrapToTargetDevice;
  report_->WrapChanged();
  EXPECT_GT(ctrl.GetLineCount(), unwrapped);

  ASSERT_TRUE(ctrl.SetZoom(32, 64));
  int n = 0;
  int d = 0;
  ctrl.GetZoom(n, d);
  EXPECT_EQ(n * 100 / d, 50);
}

// The report printed to PDF has the pages the control's formatting counted; its pages and the preview's are
// left as pictures for a person.
TEST_F(RichEditViewTest, PrintedAndPreviewedPagesAreTheFormattedPages)
{
  report_->SetMargins(CRect(1700, 1250, 500, 800));
  const int pages = FormattedPages();
  ASSERT_GE(pages, 4);

  // The framework's print loop, on the PDF printer without asking.
  const std::string pdf = File("report.pdf");
  ChoosePdfPrinter(pdf);
  CPrintInfo info;
  info.m_bDirect = TRUE;
  ASSERT_TRUE(report_->PrintWith(info)) << (user_.messages.empty() ? "" : user_.messages[0]);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(PdfPages(pdf), pages);

  // The title page stands alone: the page break ends it.
  const std::string first = Output("pdftotext -f 1 -l 1 -layout '" + pdf + "' -");
  const std::string second = Output("pdftotext -f 2 -l 2 -layout '" + pdf + "' -");
  EXPECT_NE(first.find(reinterpret_cast<const char*>(u8"ПРОТОКОЛ № 17")), std::string::npos) << first;
  EXPECT_EQ(first.find(reinterpret_cast<const char*>(u8"Результаты")), std::string::npos) << first;
  EXPECT_NE(second.find(reinterpret_cast<const char*>(u8"1. Результаты расчета участка")), std::string::npos)
      << second;
  const std::string artifacts = TESMIRA_ARTIFACTS_DIR;
  const std::string prefix = File("page");
  Output("pdftoppm -r 60 -png '" + pdf + "' '" + prefix + "'");
  int pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("page-", 0) != 0 || entry.path().extension() != ".png") {
      continue;
    }
    const int number = std::atoi(name.c_str() + 5);
    std::filesystem::copy_file(entry.path(), artifacts + "/richedit-print-" + std::to_string(number) + ".png",
                               std::filesystem::copy_options::overwrite_existing);
    ++pictures;
  }
  EXPECT_EQ(pictures, pages);

  report_->OnFilePrintPreview();
  auto* preview = dynamic_cast<CPreviewView*>(frame_->GetActiveView());
  ASSERT_NE(preview, nullptr) << (user_.messages.empty() ? "" : user_.messages[0]);
  if (preview->GetPagesShown() != 1) {
    preview->OnNumPageChange();
  }
  for (int page = 1; page <= pages; ++page) {
    preview->SetCurrentPage(static_cast<UINT>(page), TRUE);
    EXPECT_EQ(preview->GetCurrentPage(), static_cast<UINT>(page));
    EXPECT_TRUE(preview->SaveWindowPng(artifacts + "/richedit-preview-" + std::to_string(page) + ".png"));
  }
  // The preview found the end where printing did.
  EXPECT_EQ(preview->GetLastPage(), static_cast<UINT>(pages));
  preview->OnPreviewClose();
  Pump();
}

// Printing from a later page finds where it starts by formatting the pages before it, unseen: pages 3 and 4
// alone are the third and fourth pages of the whole print.
TEST_F(RichEditViewTest, APageRangeStartsWhereTheWholePrintHasIt)
{
  report_->SetMargins(CRect(1700, 1250, 500, 800));
  ASSERT_GE(FormattedPages(), 4);
  const std::string whole = File("whole.pdf");
  ChoosePdfPrinter(whole);
  CPrintInfo all;
  all.m_bDirect = TRUE;
  ASSERT_TRUE(report_->PrintWith(all));

  const std::string part = File("part.pdf");
  user_.file = part;
  user_.from = 3;
  user_.to = 4;
  CPrintInfo range;
  ASSERT_TRUE(report_->PrintWith(range)) << (user_.messages.empty() ? "" : user_.messages[0]);
  ASSERT_EQ(PdfPages(part), 2);
  auto pageText = [](const std::string& pdf, int page) {
    return Output("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "' -");
  };
  EXPECT_EQ(pageText(part, 1), pageText(whole, 3));
  EXPECT_EQ(pageText(part, 2), pageText(whole, 4));
  EXPECT_FALSE(pageText(part, 1).empty());
}

}  // namespace
