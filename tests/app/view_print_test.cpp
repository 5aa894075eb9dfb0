// The view's report output: the report prepared (results calculated when missing, the document's consent) and
// built with pictures, the print preview with the panes put aside and brought back, the layer flags of the
// report's pictures, and the view copied to the clipboard.
#include "tests/app/app_session.h"

#include "app/qor_road_view.h"
#include "app/resource.h"
#include "document/calculation_run.h"
#include "document/qor_road_doc.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/straight_road_engine.h"
#include "platform/mfc/preview.h"
#include "platform/mfc/printing.h"
#include "platform/user/clipboard.h"
#include "platform/user/global_memory.h"
#include "report/view/report_view.h"
#include "report/view/user_preview_view.h"
#include "tests/platform/mfc/print_fixture.h"

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace apptest {
namespace {

int g_engineCalls = 0;

// The framework's PDF printer as the application's printer.
struct PdfPrinter : printtest::PrintFixture {
  using PrintFixture::ChoosePdfPrinter;
};

// The program's straight-road engine, counted.
int CountingEngine(HWND, char* inputPath, int, char* resultPath, int)
{
  ++g_engineCalls;
  Engines::SilentHost host;
  return Engines::RunStraightRoadEngine(inputPath, resultPath, host);
}

class ViewPrintTest : public AppSession {
protected:
  void SetUp() override
  {
    AppSession::SetUp();
    g_engineCalls = 0;
    SetCalculationEngine(CLSID_CStraightRoad, &CountingEngine);
  }
  void TearDown() override
  {
    AppSession::TearDown();
    SetCalculationEngine(CLSID_CStraightRoad, nullptr);
    // The application's printer is the process's: the next test starts without one chosen.
    afx_print::ResetAppPrinter();
  }

  CQorRoadDoc* Document() const { return dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument()); }
  CQorRoadView* View() const { return Frame()->GetFirstView(); }

  // The active area's results block; the area keeps it.
  _CALC_RESULTS* Results()
  {
    void* area = nullptr;
    if (FAILED(Document()->GetCurrentProject()->QueryInterface(&IID_ActiveArea, &area)) || !area)
      return nullptr;
    void* results = nullptr;
    static_cast<IArea*>(area)->QueryInterface(&IID_IResultsOfCalc, &results);
    static_cast<IArea*>(area)->Release();
    if (!results)
      return nullptr;
    _CALC_RESULTS* data = static_cast<IResultsOfCalc*>(results)->GetData();
    static_cast<IResultsOfCalc*>(results)->Release();
    return data;
  }

  void SetPaneOpen(int pane, UINT toggle, bool open)
  {
    if ((Frame()->IsPaneOpen(pane) != FALSE) != open)
      Frame()->SendMessage(WM_COMMAND, toggle);
    ASSERT_EQ(Frame()->IsPaneOpen(pane) != FALSE, open) << pane;
  }

  // What the report child shows, as the RTF its export writes.
  std::string ExportedReport()
  {
    const std::string path = Root() + "report.rtf";
    EXPECT_TRUE(View()->GetReportChild()->ExportRtf(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The clipboard's CF_DIB, header and rows.
  static std::vector<BYTE> ClipboardDib()
  {
    std::vector<BYTE> bytes;
    EXPECT_TRUE(::OpenClipboard(nullptr));
    if (HGLOBAL memory = ::GetClipboardData(CF_DIB)) {
      const auto* data = static_cast<const BYTE*>(::GlobalLock(memory));
      bytes.assign(data, data + ::GlobalSize(memory));
      ::GlobalUnlock(memory);
    }
    ::CloseClipboard();
    return bytes;
  }
  static void EmptyTheClipboard()
  {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
  }
};

struct PaneCase {
  int id;
  UINT toggle;
  bool open;
};

TEST_F(ViewPrintTest, ThePreviewPutsTheOpenPanesAsideAndClosingItBringsThemBack)
{
  ASSERT_TRUE(Start());
  Pump();
  CMainFrame* frame = Frame();
  CQorRoadView* view = View();
  ASSERT_NE(view, nullptr);
  const PaneCase panes[] = {{kPaneObjects, ids::ID_PANE_OBJECTS, true},
                            {kPaneEconomics, ids::ID_PANE_ECONOMICS, true},
                            {kPaneParameters, ids::ID_PANE_PARAMETERS, false},
                            {kPaneLighting, ids::ID_PANE_LIGHTING, false}};
  for (const PaneCase& pane : panes)
    SetPaneOpen(pane.id, pane.toggle, pane.open);
  Pump();

  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  auto* preview = dynamic_cast<CUserPreviewView*>(frame->GetActiveView());
  ASSERT_NE(preview, nullptr) << "the report's own preview class";
  EXPECT_EQ(preview->GetPrintView(), view->GetReportChild());
  EXPECT_TRUE(view->IsInPrintPreview());
  for (const PaneCase& pane : panes)
    EXPECT_FALSE(frame->IsPaneOpen(pane.id)) << pane.id;

  CPreviewToolBar* bar = preview->GetToolBar();
  ASSERT_NE(bar, nullptr);
  const std::pair<int, const char*> buttons[] = {
      {58116, "Печать"},    {58114, "Следующая >"}, {58115, "< Предыдущая"}, {58117, "Увеличить"},
      {58118, "Уменьшить"}, {58112, "Закрыть"},     {1086, "Справка "},      {32832, "Сохранить как..."}};
  for (const auto& [id, text] : buttons) {
    CWnd* button = bar->GetDlgItem(id);
    ASSERT_NE(button, nullptr) << id;
    CString shown;
    button->GetWindowText(shown);
    EXPECT_EQ(shown, CString(text)) << id;
  }
  Pump();
  EXPECT_TRUE(preview->SaveWindowPng(TESMIRA_ARTIFACTS_DIR "/app-print-preview.png"));

  // "Закрыть" as the user presses it.
  ::SendMessage(bar->GetDlgItem(58112)->GetSafeHwnd(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_TRUE(view->IsWindowVisible());
  EXPECT_FALSE(view->IsInPrintPreview());
  for (const PaneCase& pane : panes)
    EXPECT_EQ(frame->IsPaneOpen(pane.id) != FALSE, pane.open) << pane.id;

  // An open results pane is put aside and comes back as well.
  SetPaneOpen(kPaneLighting, ids::ID_PANE_LIGHTING, true);
  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  EXPECT_FALSE(frame->IsPaneOpen(kPaneLighting));
  ASSERT_NE(dynamic_cast<CPreviewView*>(frame->GetActiveView()), nullptr);
  // Escape in the preview closes it as well.
  frame->GetActiveView()->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_TRUE(frame->IsPaneOpen(kPaneLighting));
  EXPECT_TRUE(frame->IsPaneOpen(kPaneObjects));
}

TEST_F(ViewPrintTest, MissingResultsAreCalculatedFirstAndTheReportIsBuiltWithItsPictures)
{
  ASSERT_TRUE(Start());
  Pump();
  ASSERT_NE(Results(), nullptr);
  ASSERT_EQ(Results()->valid, 0);

  Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  EXPECT_EQ(g_engineCalls, 1);
  EXPECT_EQ(Results()->valid, 1);
  ASSERT_TRUE(View()->IsInPrintPreview());
  const std::string report = ExportedReport();
  EXPECT_NE(report.find("\\pict"), std::string::npos) << "the pictures came from the view";

  // "Печать" in the preview closes it and prints: the results are valid now and taken as they are, and the
  // print asks its dialog (cancelled here) after the build.
  auto* preview = dynamic_cast<CPreviewView*>(Frame()->GetActiveView());
  ASSERT_NE(preview, nullptr);
  const std::size_t asked = answers_.Asked().size();
  answers_.AnswerNext(IDCANCEL);
  ::SendMessage(preview->GetToolBar()->GetDlgItem(58116)->GetSafeHwnd(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(g_engineCalls, 1);
  ASSERT_EQ(answers_.Asked().size(), asked + 1);
  EXPECT_EQ(answers_.Asked().back().kind, user::ModalQuestion::Kind::Dialog) << "the print dialog";
  EXPECT_EQ(Frame()->GetActiveView(), View());
  EXPECT_FALSE(View()->IsInPrintPreview());
}

TEST_F(ViewPrintTest, ADocumentThatRefusesTheReportEndsPrintAndPreview)
{
  ASSERT_TRUE(Start());
  Pump();
  int openSite = 0;
  Document()->NewProjectOfKind(&openSite);
  Pump();
  // Results over a grid large enough for the document to ask whether to print the illuminance table.
  _CALC_RESULTS* results = Results();
  ASSERT_NE(results, nullptr);
  results->valid = 1;
  results->nX = 120;
  results->nRoad = 600;
  CPreferencesOfReport* report = Document()->GetCurrentOptions()->GetReportPreferences();
  tag_ITEM_PREF_OF_REPORT table{};
  ASSERT_TRUE(report->GetItem(311, &table));
  table.state = 1;
  report->SetItemState(311, &table, FALSE);

  CString before;
  View()->GetReportChild()->GetWindowText(before);
  for (const UINT command : {ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT}) {
    const std::size_t asked = answers_.Asked().size();
    answers_.AnswerNext(IDCANCEL);
    Frame()->SendMessage(WM_COMMAND, command);
    ASSERT_EQ(answers_.Asked().size(), asked + 1) << command << ": only the document's question";
    EXPECT_EQ(answers_.Asked().back().kind, user::ModalQuestion::Kind::MessageBox);
    EXPECT_EQ(Frame()->GetActiveView(), View());
    EXPECT_FALSE(View()->IsInPrintPreview());
    EXPECT_TRUE(Frame()->IsPaneOpen(kPaneObjects));
    CString shown;
    View()->GetReportChild()->GetWindowText(shown);
    EXPECT_EQ(shown, before) << "nothing was built";
  }
  EXPECT_EQ(g_engineCalls, 0);
  results->valid = 0;
  results->nX = 0;
  results->nRoad = 0;
}

TEST_F(ViewPrintTest, ReportPicturesTakeTheirLayersFromViewModeQuantityDisplayAndAreaKind)
{
  ASSERT_TRUE(Start());
  Pump();
  struct Case {
    DWORD viewMode;
    int quantity;
    int display;
    DWORD flags;
  };
  auto check = [&](const Case& c, const char* kind) {
    Document()->SetViewMode(c.viewMode);
    IVisualOpt* options = Document()->GetCurrentOptions();
    options->SetQuantity(&c.quantity);
    options->SetResultDisplay(&c.display);
    EXPECT_EQ(View()->ReportPictureFlags(), c.flags)
        << kind << " v=" << std::hex << c.viewMode << " q=" << c.quantity << " d=" << c.display;
  };
  const Case straightRoad[] = {
      {0, 0, 0, 0xC00},
      {0x20000, 1, 3, 0x800000 + 6 + 0x4000000},
      {0x40000 | 0x8000 | 0x4000, 1, 0, 0x1000000 + 128},
      {0x4000 | 0x10000, 1, 0, 256},
      {0x10000, 1, 0, 24},
      {0x20000 | 0x40000, 2, 2, 0x800000 + 0x60},
  };
  for (const Case& c : straightRoad)
    check(c, "straight road");

  int openSite = 0;
  Document()->NewProjectOfKind(&openSite);
  Pump();
  const Case otherArea[] = {
      {0, 1, 0, 1 + 0x400000},
      {0x40000, 0, 3, 0x1000000 + 0xC00 + 0x4000000 + 0x400000},
  };
  for (const Case& c : otherArea)
    check(c, "open site");
}

TEST_F(ViewPrintTest, TheClipboardGetsTheViewInColourOrBlackAndWhite)
{
  ASSERT_TRUE(Start());
  Pump();
  CRect client;
  View()->GetClientRect(&client);
  ASSERT_GT(client.Width(), 0);
  std::map<UINT, std::vector<BYTE>> copies;
  for (const UINT command : {ids::ID_VIEW_COPY_SCREEN, ids::ID_VIEW_COPY_SCREEN_BW, kCopyScreenBlackWhiteCommand}) {
    EmptyTheClipboard();
    Frame()->SendMessage(WM_COMMAND, command);
    const std::vector<BYTE> dib = ClipboardDib();
    ASSERT_GT(dib.size(), sizeof(BITMAPINFOHEADER)) << command;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), sizeof header);
    EXPECT_EQ(header.biBitCount, 24) << command;
    EXPECT_EQ(header.biWidth, client.Width()) << command;
    EXPECT_EQ(header.biHeight, client.Height()) << command;
    copies[command] = dib;
  }
  EXPECT_NE(copies[ids::ID_VIEW_COPY_SCREEN], copies[ids::ID_VIEW_COPY_SCREEN_BW]);
  EXPECT_EQ(copies[ids::ID_VIEW_COPY_SCREEN_BW], copies[kCopyScreenBlackWhiteCommand]);
  EmptyTheClipboard();
}

TEST_F(ViewPrintTest, APreviewThatCannotStartSaysSoAndLeavesTheFrameAsItWas)
{
  ASSERT_TRUE(Start());
  Pump();
  SetPaneOpen(kPaneObjects, ids::ID_PANE_OBJECTS, true);
  // The application's printer is a queue that no longer exists: no page can be drawn for it.
  PRINTDLG defaults{};
  ASSERT_TRUE(afx_print::GetPrinterDeviceDefaults(&defaults));
  {
    auto* mode = static_cast<DEVMODEA*>(::GlobalLock(afx_print::AppDevMode()));
    std::strcpy(reinterpret_cast<char*>(mode->dmDeviceName), "Gone");
    ::GlobalUnlock(afx_print::AppDevMode());
  }
  const std::size_t asked = answers_.Asked().size();
  Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  ASSERT_GE(answers_.Asked().size(), asked + 1);
  EXPECT_EQ(answers_.Asked().back().text, "Не удалось выполнить команду.");
  EXPECT_EQ(Frame()->GetActiveView(), View());
  EXPECT_TRUE(View()->IsWindowVisible());
  EXPECT_FALSE(View()->IsInPrintPreview());
  EXPECT_TRUE(Frame()->IsPaneOpen(kPaneObjects));
}

TEST_F(ViewPrintTest, TheDirectPrintPrintsTheReportChildsPages)
{
  ASSERT_TRUE(Start());
  Pump();
  const std::string pdf = Root() + "protocol.pdf";
  PdfPrinter::ChoosePdfPrinter(pdf);
  Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
  const int pages = printtest::PdfPages(pdf);
  ASSERT_GE(pages, 2);
  EXPECT_EQ(pages, View()->GetReportChild()->CountPrintedPages());
  const std::string second = printtest::Output("pdftotext -f 2 -l 2 -layout '" + pdf + "' -");
  EXPECT_NE(second.find(reinterpret_cast<const char*>(u8"стр. 2")), std::string::npos) << second;
  EXPECT_EQ(g_engineCalls, 1) << "the results were calculated for the print";
}

}  // namespace
}  // namespace apptest
