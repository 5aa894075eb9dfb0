// The report view in a frame: the summary and the protocol streamed in, the zoom from the profile, the protocol
// printed to PDF with its header and footer, previewed, exported, and opened by LibreOffice.
#include "report/view/report_view.h"

#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "platform/base/paths.h"
#include "platform/richedit/rtf_reader.h"
#include "platform/shell/htmlhelp.h"
#include "platform/user/clipboard.h"
#include "platform/user/hooks.h"
#include "platform/user/input.h"
#include "report/protocol/protocol_frame.h"
#include "report/view/user_preview_view.h"
#include "res/program_ids.h"
#include "graphics/core/view_services.h"
#include "platform/mfc/gdiobj.h"
#include "summary_fixture.h"
#include "tests/platform/base/write_faults.h"
#include "tests/platform/mfc/print_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

// The print fixture's own page view, which these tests replace by the report view; its map has no entries.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-local-typedefs"
BEGIN_MESSAGE_MAP(printtest::CPagesView, CView)
END_MESSAGE_MAP()
#pragma GCC diagnostic pop

namespace {

using printtest::Output;
using printtest::PdfPages;
using VisualCtrl::CReportView;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The profile the view reads its zoom from, and the main window it sends progress to.
class ProfileShell : public Shell::CShellServices {
public:
  ProfileShell() { Shell::SetShellServices(this); }
  ~ProfileShell() override { Shell::SetShellServices(nullptr); }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override
  {
    const auto found = profile.find(std::string(section) + "/" + entry);
    return static_cast<UINT>(found == profile.end() ? defaultValue : found->second);
  }
  BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value) override
  {
    profile[std::string(section) + "/" + entry] = value;
    return TRUE;
  }
  HWND GetMainWindow() override { return mainWindow; }
  int RegisterAnalyticsEvent(LPCSTR, LPCSTR, LPCSTR, int, int) override { return 0; }
  std::map<std::string, int> profile;
  HWND mainWindow = nullptr;
};

// Sections that fill pages with body text, one contents entry each.
class TextSections : public CProtocolSections {
public:
  bool InputData(CProtocolFrame& frame) override
  {
    for (int page = 0; page < 2; ++page) {
      frame.AddContent(0, "{Исходные данные}", 1, 6, frame.CurrentPage(), 1);
      frame.SectionHeading({"{Исходные данные}", "\\tab", "{Параметры дороги}", "\\tab"});
      frame.writer.SetColours(8, 0);
      frame.BodyText();
      for (int line = 0; line < 30; ++line) {
        frame.writer.WriteText("{Ширина проезжей части, м}");
        frame.writer.WriteTabs(6);
        frame.writer.WriteText("{7.50}");
        frame.writer.WriteLineBreaks(1);
      }
      frame.writer.EndParagraph();
      frame.writer.NewPage();
    }
    return true;
  }
};

class ReportViewTest : public printtest::PrintFixture {
protected:
  void SetUp() override
  {
    printtest::PrintFixture::SetUp();
    frame_->SetActiveView(nullptr);
    view_->DestroyWindow();
    view_ = nullptr;
    AfxInitRichEdit2();
    report_ = new CReportView(&doc_);
    report_->SetProtocolSections(&sections_, &sections_);
    CRect client;
    frame_->GetClientRect(&client);
    ASSERT_TRUE(report_->Create(nullptr, "", WS_CHILD | WS_VISIBLE, client, frame_, AFX_IDW_PANE_FIRST));
    frame_->SetActiveView(report_);
    shell_.mainWindow = frame_->m_hWnd;

    road_ = doc_.Areas()[0];
    _CALC_RESULTS& r = ResultsOf(road_);
    r.valid = 1;
    r.lumSummary[0] = 1.5f;
    r.sumWhole[0] = 20.0f;
    const CString number("17-А");
    doc_.project->SetProtocolNumber(&number);
    const CString object("Тверская улица");
    doc_.project->SetObjectName(&object);
    SetItem(kItemTitlePage, 2);
  }

  void SetItem(int id, int state)
  {
    tag_ITEM_PREF_OF_REPORT row{};
    row.id = id;
    row.state = state;
    doc_.options->GetReportPreferences()->SetItemState(id, &row, FALSE);
  }

  std::string ShownText()
  {
    CString text;
    report_->GetWindowText(text);
    return text.GetString();
  }

  // What a print of the protocol puts on each page, as text.
  std::vector<std::string> PrintToPdf(const std::string& pdf)
  {
    ChoosePdfPrinter(pdf);
    CPrintInfo info;
    info.m_bDirect = TRUE;
    EXPECT_TRUE(report_->PrintWith(info)) << (user_.messages.empty() ? "" : user_.messages[0]);
    std::vector<std::string> pages;
    for (int page = 1; page <= PdfPages(pdf); ++page)
      pages.push_back(Output("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " -layout '" +
                             pdf + "' -"));
    return pages;
  }

  ProfileShell shell_;
  ProjectDocument doc_;
  TextSections sections_;
  CReportView* report_ = nullptr;
  IArea* road_ = nullptr;
};

TEST_F(ReportViewTest, ShowsTheSummaryOrTheProtocolOfTheActiveArea)
{
  report_->OnInitialUpdate();
  report_->SendMessage(UM_SHOWOBJECT, 0, 0);
  EXPECT_NE(ShownText().find("По проезжей части"), std::string::npos);
  EXPECT_TRUE(report_->m_writer.IsOpen()) << "the shown document stays in the writer";
  report_->SendMessage(UM_SHOWOBJECT, 1, 0);
  const std::string protocol = ShownText();
  EXPECT_NE(protocol.find("ПРОТОКОЛ № 17-А"), std::string::npos);
  EXPECT_EQ(protocol.find("По проезжей части"), std::string::npos) << "the earlier document is gone";
  EXPECT_NE(protocol.find("Содержание"), std::string::npos);
  EXPECT_EQ(report_->m_neverBuilt, 0);
}

TEST_F(ReportViewTest, ZoomFromTheProfileIsHeldAtOneHundredPercent)
{
  const struct {
    int profile;
    int numerator;
    int denominator;
  } cases[] = {{150, 64, 64}, {50, 32, 64}, {100, 64, 64}, {-5, 64, 64}};
  for (const auto& c : cases) {
    shell_.profile["Report/Zoom"] = c.profile;
    report_->OnInitialUpdate();
    int numerator = 0, denominator = 0;
    report_->GetRichEditCtrl().GetZoom(numerator, denominator);
    EXPECT_EQ(numerator, c.numerator) << c.profile;
    EXPECT_EQ(denominator, c.denominator) << c.profile;
  }
  // 0 asks for a ratio the control refuses: it stays as it was.
  report_->GetRichEditCtrl().SetZoom(0, 0);
  shell_.profile["Report/Zoom"] = 0;
  report_->OnInitialUpdate();
  int numerator = -1, denominator = -1;
  report_->GetRichEditCtrl().GetZoom(numerator, denominator);
  EXPECT_EQ(denominator, 0);

  // Zooming in with the wheel beyond 100 % snaps back and stores 100.
  report_->GetRichEditCtrl().SetZoom(64, 64);
  report_->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), 0);
  report_->GetRichEditCtrl().GetZoom(numerator, denominator);
  EXPECT_EQ(numerator * 100 / denominator, 100);
  EXPECT_EQ(shell_.profile["Report/Zoom"], 100);
}

TEST_F(ReportViewTest, PrintedProtocolHasHeaderAndFooterFromPageTwoWhenTheTitlePageIsOn)
{
  report_->OnInitialUpdate();
  report_->SendMessage(UM_SHOWOBJECT, 1, 1);
  const int counted = report_->CountPrintedPages();
  ASSERT_GE(counted, 4);
  const std::vector<std::string> pages = PrintToPdf(File("protocol.pdf"));
  ASSERT_EQ(static_cast<int>(pages.size()), counted);
  EXPECT_EQ(pages[0].find(Utf8(u8"стр.")), std::string::npos) << pages[0];
  EXPECT_EQ(pages[0].find("Tesmira Road v.6"), std::string::npos);
  EXPECT_NE(pages[0].find(Utf8(u8"ПРОТОКОЛ № 17-А")), std::string::npos);
  EXPECT_NE(pages[1].find(Utf8(u8"стр. 2")), std::string::npos) << pages[1];
  EXPECT_NE(pages[1].find(Utf8(u8"Протокол № 17-А")), std::string::npos);
  EXPECT_NE(pages[1].find("Tesmira Road v.6"), std::string::npos);

  const std::string artifacts = TESMIRA_ARTIFACTS_DIR;
  // The program's preview: its own bar and view class.
  ASSERT_TRUE(report_->DoPrintPreview(res::program::IDD_PROTOCOL_PREVIEW_BAR, report_,
                                      RUNTIME_CLASS(CUserPreviewView), new CPrintPreviewState));
  auto* preview = dynamic_cast<CPreviewView*>(frame_->GetActiveView());
  ASSERT_NE(preview, nullptr) << (user_.messages.empty() ? "" : user_.messages[0]);
  if (preview->GetPagesShown() != 1)
    preview->OnNumPageChange();
  for (int page = 1; page <= 2; ++page) {
    preview->SetCurrentPage(static_cast<UINT>(page), TRUE);
    EXPECT_TRUE(preview->SaveWindowPng(artifacts + "/report-preview-" + std::to_string(page) + ".png"));
  }
  preview->OnPreviewClose();
  Pump();

  // Without the title page every page has them.
  SetItem(kItemTitlePage, 0);
  report_->SendMessage(UM_SHOWOBJECT, 1, 1);
  const std::vector<std::string> plain = PrintToPdf(File("plain.pdf"));
  ASSERT_FALSE(plain.empty());
  EXPECT_NE(plain[0].find(Utf8(u8"стр. 1")), std::string::npos) << plain[0];

  // Without valid results neither.
  ResultsOf(road_).valid = 0;
  report_->SendMessage(UM_SHOWOBJECT, 1, 1);
  const std::vector<std::string> none = PrintToPdf(File("none.pdf"));
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].find(Utf8(u8"стр.")), std::string::npos) << none[0];
}

TEST_F(ReportViewTest, ExportPutsHeaderAndFooterAfterTheColourTableAndNeverLeavesAHalfFile)
{
  report_->OnInitialUpdate();
  report_->SendMessage(UM_SHOWOBJECT, 0, 0);
  const std::string path = File("summary.rtf");
  ASSERT_TRUE(report_->ExportRtf(path.c_str()));
  const std::string rtf = ReadFile(path);
  const std::size_t colours = rtf.find("{\\colortbl");
  ASSERT_NE(colours, std::string::npos);
  const std::size_t header = rtf.find("{\\header ");
  ASSERT_NE(header, std::string::npos);
  EXPECT_EQ(rtf.find('}', colours) + 1, header) << "right after the colour table";
  EXPECT_LT(rtf.find("{\\fonttbl"), colours);
  EXPECT_NE(rtf.find("Протокол № _____ \\par}"), std::string::npos);
  auto temporaries = [this] {
    return std::count_if(std::filesystem::directory_iterator(folder_), {},
                         [](const auto& entry) { return entry.path().extension() == ".TMP"; });
  };
  EXPECT_EQ(temporaries(), 0);
  richedit::RichDocument document;
  EXPECT_TRUE(richedit::ReadRtf(rtf, document).Ok());

  // A target that cannot be replaced (a folder) fails and stays as it was, with no temporary file beside it.
  const std::string folder = File("taken");
  std::filesystem::create_directory(folder);
  std::ofstream(folder + "/inside.txt") << "kept";
  CString reason;
  EXPECT_FALSE(report_->ExportRtf(folder.c_str(), &reason));
  EXPECT_EQ(reason, CString("под этим именем находится папка"));
  EXPECT_EQ(ReadFile(folder + "/inside.txt"), "kept");
  EXPECT_EQ(temporaries(), 0);
  // A folder that does not exist: nothing can be written.
  EXPECT_FALSE(report_->ExportRtf(File("missing/summary.rtf").c_str(), &reason));
  EXPECT_EQ(reason, CString("папка не найдена"));
}

// The export under real faults, over an existing file: a full disk and a closed folder are refused with their
// reason; a kill part-way leaves the old file and a temporary that the next export removes.
TEST_F(ReportViewTest, AnExportUnderFaultsKeepsTheOldFileAndLeavesNoTemporary)
{
  report_->OnInitialUpdate();
  report_->SendMessage(UM_SHOWOBJECT, 0, 0);
  const std::filesystem::path folder = File("faults");
  std::filesystem::create_directory(folder);
  const std::string path = (folder / "kept.rtf").string();
  std::ofstream(path) << "old";
  const std::vector<std::string> only = {"kept.rtf"};

  CString reason;
  EXPECT_FALSE(writefaults::WithFullDisk(100, [&] { return report_->ExportRtf(path.c_str(), &reason); }));
  EXPECT_EQ(reason, CString("недостаточно места на диске"));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(writefaults::Leftovers(folder, only), std::vector<std::string>{});
  {
    writefaults::ReadOnlyFolder closed(folder);
    if (closed.Effective()) {
      EXPECT_FALSE(report_->ExportRtf(path.c_str(), &reason));
      EXPECT_EQ(reason, CString("нет прав на запись в папку или файл"));
      EXPECT_EQ(ReadFile(path), "old");
    }
  }
  EXPECT_EQ(writefaults::KilledDuringWrite(100, [&] { report_->ExportRtf(path.c_str()); }), SIGXFSZ);
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(writefaults::Leftovers(folder, only).size(), 1u) << "the killed export's temporary";

  ASSERT_TRUE(report_->ExportRtf(path.c_str()));
  EXPECT_NE(ReadFile(path).find("{\\header "), std::string::npos);
  EXPECT_EQ(writefaults::Leftovers(folder, only), std::vector<std::string>{});
}

// Report pictures as the application's view would render them: a plan of stripes for a person to recognise.
class StripedPictures : public CViewServices {
public:
  StripedPictures() { SetViewServices(this); }
  ~StripedPictures() override { SetViewServices(nullptr); }
  BOOL RenderViewToBitmap(CWnd*, int width, int height, CBitmap* bitmap, IGroupOfDev*) override
  {
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        pixels[static_cast<std::size_t>(y) * width + x] = (x / 40 + y / 40) % 2 ? 0x00D0D0D0 : 0x00206080;
    ++rendered;
    return bitmap->CreateBitmap(width, height, 1, 32, pixels.data());
  }
  int rendered = 0;
};

// The open site's sections: its input data and one result picture.
class PictureSections : public CProtocolSections {
public:
  bool InputData(CProtocolFrame& frame) override
  {
    frame.AddContent(0, "{Исходные данные}", 1, 6, frame.CurrentPage(), 1);
    frame.SectionHeading({"{Исходные данные}", "\\tab", "{Параметры дороги}", "\\tab"});
    frame.SubHeading("{Общие}", 12);
    frame.writer.WriteText("{Тип участка дороги}");
    frame.writer.WriteTabs(7);
    frame.writer.WriteText("{Поворот}");
    frame.writer.EndParagraph();
    frame.WritePicture(0x1001, 600, 700, nullptr);
    frame.writer.NewPage();
    return true;
  }
};

// LibreOffice converts an exported file to PDF; the PDF's text and its pictures.
struct Converted {
  std::string text;
  int pictures = 0;
};

Converted ConvertWithLibreOffice(const std::string& rtf, const std::string& folder, const std::string& picture)
{
  Converted result;
  const std::string convert = "cd '" + folder + "' && HOME='" + folder + "' timeout 120 soffice -env:UserInstallation=file://" +
                              folder + "/profile --headless --convert-to pdf --outdir '" + folder + "' '" + rtf +
                              "' >'" + folder + "/soffice.log' 2>&1";
  if (std::system(convert.c_str()) != 0)
    return result;
  const std::string pdf = folder + "/" + std::filesystem::path(rtf).stem().string() + ".pdf";
  result.text = Output("pdftotext -layout '" + pdf + "' -");
  const std::string images = Output("pdfimages -list '" + pdf + "' 2>/dev/null");
  result.pictures = std::max(0, static_cast<int>(std::count(images.begin(), images.end(), '\n')) - 2);
  Output("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + pdf + "' '" + std::string(TESMIRA_ARTIFACTS_DIR) + "/" +
         picture + "'");
  return result;
}

TEST_F(ReportViewTest, LibreOfficeOpensTheExportedSummaryAndProtocol)
{
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  const std::string artifacts = TESMIRA_ARTIFACTS_DIR;
  report_->OnInitialUpdate();

  // A straight road, an open site and an interchange, each with results.
  IArea* site = doc_.Append(CLSID_CCustomizeRoad);
  IArea* interchange = doc_.Append(CLSID_CCustomizeRoad3D);
  for (IArea* area : {site, interchange}) {
    _CALC_RESULTS& r = ResultsOf(area);
    r.valid = 1;
    r.nZones = 1;
    r.zones = new _ZONE_RESULT[1]();
    r.zones[0] = _ZONE_RESULT{0, 18.5f, 6, 31, 0, 0, 120, 40, 0, 0.31f, {}};
  }
  report_->SendMessage(UM_SHOWOBJECT, 0, 0);
  const std::string summary = artifacts + "/summary.rtf";
  ASSERT_TRUE(report_->ExportRtf(summary.c_str()));
  const Converted summaryPdf = ConvertWithLibreOffice(summary, folder_.string(), "summary-libreoffice");
  for (const char8_t* text : {u8"По проезжей части", u8"По тротуару (правый)", u8"Показатель", u8"Объект - 1",
                              u8"Объект - 2", u8"Объект - 3", u8"Протокол №"})
    EXPECT_NE(summaryPdf.text.find(Utf8(text)), std::string::npos) << Utf8(text) << "\n" << summaryPdf.text;

  // The open site's protocol frame with its title page, a picture and the contents.
  StripedPictures pictures;
  PictureSections sections;
  report_->SetProtocolSections(nullptr, &sections);
  doc_.project->SetActiveArea(site);
  report_->SendMessage(UM_SHOWOBJECT, 1, 0);
  EXPECT_EQ(pictures.rendered, 1);
  const std::string protocol = artifacts + "/protocol-frame-open-territory.rtf";
  ASSERT_TRUE(report_->ExportRtf(protocol.c_str()));
  const Converted protocolPdf =
      ConvertWithLibreOffice(protocol, folder_.string(), "protocol-frame-open-territory-libreoffice");
  for (const char8_t* text : {u8"ПРОТОКОЛ № 17-А", u8"светотехнического расчета", u8"Тверская улица",
                              u8"Исходные данные", u8"Содержание", u8"стр.", u8"Протокол №"})
    EXPECT_NE(protocolPdf.text.find(Utf8(text)), std::string::npos) << Utf8(text) << "\n" << protocolPdf.text;
  EXPECT_EQ(protocolPdf.pictures, 1);
}

TEST(UserPreviewView, DefaultFileNameIsTheTitleWithoutItsProjectExtension)
{
  const struct {
    const char* title;
    const char* name;
  } cases[] = {{"road.qorr5", "road (протокол)"},
               {".qorr5", ".qorr5 (протокол)"},
               {"old.qorr4.qorr5", "old (протокол)"},
               {"plain", "plain (протокол)"}};
  for (const auto& c : cases)
    EXPECT_EQ(std::string(DefaultProtocolFileName(c.title)), c.name) << c.title;
}

// The preview's export: a new name is accepted, an existing file is replaced only after Yes, No asks again with
// the default name, and a failure is told with the file's name.
TEST_F(ReportViewTest, PreviewExportsToANewFileAndAsksBeforeReplacingOne)
{
  report_->OnInitialUpdate();
  report_->SendMessage(UM_SHOWOBJECT, 1, 0);
  ASSERT_TRUE(report_->DoPrintPreview(res::program::IDD_PROTOCOL_PREVIEW_BAR, report_,
                                      RUNTIME_CLASS(CUserPreviewView), new CPrintPreviewState));
  auto* preview = dynamic_cast<CUserPreviewView*>(frame_->GetActiveView());
  ASSERT_NE(preview, nullptr);

  std::vector<std::string> asked;  // what each question showed
  std::vector<std::pair<std::string, int>> script;  // reply (a path, or "" for a message box) and answer
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    if (q.kind == user::ModalQuestion::Kind::SaveFile) {
      auto* ofn = static_cast<OPENFILENAME*>(q.record);
      asked.push_back(std::string("save ") + ofn->lpstrFile + (ofn->Flags & OFN_FILEMUSTEXIST ? " must-exist" : ""));
    } else {
      asked.push_back("box " + q.text);
    }
    if (script.empty())
      return IDCANCEL;
    const auto [reply, answer] = script.front();
    script.erase(script.begin());
    q.reply = reply;
    return answer;
  });

  const std::string fresh = File("новый.rtf");
  script = {{fresh, IDOK}};
  // The bar's button, through the preview's map.
  ::SendMessage(::GetDlgItem(preview->GetToolBar()->m_hWnd, res::program::ID_PREVIEW_EXPORT_RTF), BM_CLICK, 0, 0);
  // On the disk the name is UTF-8, as every name the program writes.
  EXPECT_TRUE(std::filesystem::exists(platform::ToFileSystemPath(fresh)));
  EXPECT_EQ(asked, (std::vector<std::string>{"save  (протокол)"}));

  // The file is there now: No asks again (with the default name), Yes replaces it.
  std::ofstream(platform::ToFileSystemPath(fresh), std::ios::trunc) << "old";
  asked.clear();
  script = {{fresh, IDOK}, {"", IDNO}, {fresh, IDOK}, {"", IDYES}};
  preview->OnExportRtf();
  EXPECT_EQ(asked, (std::vector<std::string>{"save  (протокол)", "box Заменить существующий файл новый.rtf?",
                                             "save  (протокол)", "box Заменить существующий файл новый.rtf?"}));
  EXPECT_NE(ReadFile(platform::ToFileSystemPath(fresh)).find("{\\header "), std::string::npos);

  // A file that cannot be written: the failure names it and says why.
  asked.clear();
  script = {{File("missing/x.rtf"), IDOK}, {"", IDOK}};
  preview->OnExportRtf();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1], "box Невозможно сохранить отчёт в файле " + File("missing/x.rtf") + ": папка не найдена.");
  user::SetModalResponder(nullptr);
  preview->OnPreviewClose();
  Pump();
}

// The clipboard's plain text; empty when it has none.
std::string ClipboardText()
{
  std::string text;
  if (!::OpenClipboard(nullptr))
    return text;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(::GlobalLock(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  return text;
}

TEST_F(ReportViewTest, ContextMenuCopiesTheSelectionAndIsGreyWithoutOne)
{
  report_->OnInitialUpdate();
  report_->SendMessage(UM_SHOWOBJECT, 0, 0);
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();

  // Nothing selected: the item cannot be chosen.
  report_->GetRichEditCtrl().SetSel(0, 0);
  for (UINT key : {VK_DOWN, VK_RETURN, VK_ESCAPE})
    user::InjectKeyPress(key);
  report_->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
  Pump();
  EXPECT_EQ(ClipboardText(), "");

  report_->GetRichEditCtrl().SetSel(0, -1);
  for (UINT key : {VK_DOWN, VK_RETURN})
    user::InjectKeyPress(key);
  report_->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
  Pump();
  EXPECT_NE(ClipboardText().find("По проезжей части"), std::string::npos);
}

// The menu the view tracks, caught while it opens: the copy item's check-mark bitmaps.
HBITMAP g_checked = nullptr;
HBITMAP g_unchecked = nullptr;

LRESULT CatchPopup(int code, WPARAM wParam, LPARAM lParam)
{
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code >= 0 && call->message == WM_INITMENUPOPUP) {
    MENUITEMINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    ::GetMenuItemInfo(reinterpret_cast<HMENU>(call->wParam), res::program::ID_EDIT_COPY, FALSE, &info);
    g_checked = info.hbmpChecked;
    g_unchecked = info.hbmpUnchecked;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ReportViewTest, ContextMenuShowsTheMenuBitmapAsBothCheckMarksOfTheCopyItem)
{
  report_->OnInitialUpdate();
  ASSERT_NE(report_->m_menuBitmap.GetSafeHandle(), nullptr) << "bitmap 767 loaded with the window";
  BITMAP b{};
  report_->m_menuBitmap.GetBitmap(&b);
  EXPECT_EQ(b.bmWidth, 13);
  EXPECT_EQ(b.bmHeight, 13);

  HHOOK hook = ::SetWindowsHookEx(WH_CALLWNDPROC, &CatchPopup, nullptr, 0);
  user::InjectKeyPress(VK_ESCAPE);
  report_->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
  Pump();
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_checked, report_->m_menuBitmap.GetSafeHandle());
  EXPECT_EQ(g_unchecked, report_->m_menuBitmap.GetSafeHandle());
}

TEST_F(ReportViewTest, HelpLooksUpTheKeywordOfTheViewAndOfThePreview)
{
  std::vector<shell::HelpRequest> requests;
  shell::SetHelpHandler([&](const shell::HelpRequest& r) {
    requests.push_back(r);
    return true;
  });
  report_->OnInitialUpdate();
  report_->SendMessage(WM_COMMAND, ID_HELP, 0);

  report_->SendMessage(UM_SHOWOBJECT, 1, 0);
  ASSERT_TRUE(report_->DoPrintPreview(res::program::IDD_PROTOCOL_PREVIEW_BAR, report_,
                                      RUNTIME_CLASS(CUserPreviewView), new CPrintPreviewState));
  auto* preview = dynamic_cast<CUserPreviewView*>(frame_->GetActiveView());
  ASSERT_NE(preview, nullptr);
  ::SendMessage(::GetDlgItem(preview->GetToolBar()->m_hWnd, res::program::ID_PREVIEW_HELP), BM_CLICK, 0, 0);
  preview->OnPreviewClose();
  Pump();
  shell::SetHelpHandler(nullptr);

  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].keywords, "Светотехнические результаты");
  EXPECT_EQ(requests[1].keywords, "Печать протокола");
  for (const shell::HelpRequest& r : requests) {
    EXPECT_EQ(r.command, HH_KEYWORD_LOOKUP);
    EXPECT_TRUE(r.indexOnFail);
    EXPECT_TRUE(r.file.ends_with(".chm")) << r.file;
  }
}

}  // namespace
