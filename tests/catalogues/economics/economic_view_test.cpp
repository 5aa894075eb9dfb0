// The economics pane: the cost table for the areas with economic output (names, widths, figures, "{н/д}"), the
// texts shown without results, F5, the context menu's marks, the parameters command inside an undo step, and
// LibreOffice opening the table.
#include "catalogues/economics/economic_view.h"

#include "catalogues/economics/cost_estimate.h"
#include "model/shell/window_messages.h"
#include "platform/mfc/afxrich.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/mfc/afxwin.h"
#include "platform/shell/htmlhelp.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "tests/catalogues/economics/economics_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using namespace econtest;
using VisualCtrl::CEcnmContainerWnd;
using VisualCtrl::CEconomicView;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class CRecordingFrame : public CFrameWnd {
public:
  std::vector<UINT> commands;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
  {
    commands.push_back(LOWORD(wParam));
    return CFrameWnd::OnCommand(wParam, lParam);
  }
};

// What the open context menu shows, read when its loop takes its first message; kept as a picture too.
std::map<COLORREF, int> g_menuColours;

LRESULT ReadMenu(int code, WPARAM wParam, LPARAM lParam)
{
  if (code == MSGF_MENU && g_menuColours.empty()) {
    HWND popup = ::FindWindow("#32768", nullptr);
    ::UpdateWindow(popup);
    RECT r;
    ::GetClientRect(popup, &r);
    HDC dc = ::GetDC(popup);
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x)
        ++g_menuColours[::GetPixel(dc, x, y)];
    ::ReleaseDC(popup, dc);
    if (const gdi::Surface* pixels = user::WindowSurface(popup)) {
      EXPECT_TRUE(gdi::SavePng(*pixels, std::string(TESMIRA_ARTIFACTS_DIR) + "/economics-context-menu.png"));
    }
    ::EndMenu();
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The colours a check-mark bitmap of the program leaves on the menu (combined by AND), white and black left out
// as the menu's own, with how many pixels show each.
std::map<COLORREF, int> MarkColours(UINT id)
{
  std::map<COLORREF, int> colours;
  HRSRC found = ::FindResource(nullptr, MAKEINTRESOURCE(id), RT_BITMAP);
  if (found == nullptr)
    return colours;
  const auto* dib = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
  const int bytes = info->biBitCount / 8;
  const int stride = (info->biWidth * info->biBitCount + 31) / 32 * 4;
  const COLORREF menu = ::GetSysColor(COLOR_MENU);
  for (int y = 0; y < info->biHeight; ++y)
    for (int x = 0; x < info->biWidth; ++x) {
      const BYTE* p = dib + info->biSize + y * stride + x * bytes;
      const COLORREF shown = RGB(p[2] & GetRValue(menu), p[1] & GetGValue(menu), p[0] & GetBValue(menu));
      if (shown != menu && shown != RGB(0, 0, 0))
        ++colours[shown];
    }
  return colours;
}

void Pump()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
}

class EconomicViewTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    AfxInitRichEdit2();
    ASSERT_TRUE(frame_->Create(nullptr, "Tesmira Road"));
    shell_.mainWindow = frame_->m_hWnd;
    road_ = doc_.Areas()[0];
    group_ = FirstGroup(road_);
    SetWorkedExample(doc_.project, group_);
    SetScheme(group_, 2, 25, 2);
    const int on = 1;
    road_->SetEconomicOutput(&on);
    const CString caption("Объект - 1 [Прямая дорога]");
    road_->SetCaption(&caption);
    container_ = new CEcnmContainerWnd(&doc_);
  }
  void TearDown() override
  {
    if (container_->GetSafeHwnd())
      container_->DestroyWindow();
    delete container_;
    frame_->DestroyWindow();  // the frame deletes itself
  }
  CEconomicView& Open()
  {
    EXPECT_TRUE(container_->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 300), frame_, 32777));
    container_->GetView()->OnInitialUpdate();
    return *container_->GetView();
  }
  std::string Table() { return Document(container_->GetView()->m_writer); }
  void Refresh() { container_->SendMessage(UM_SHOWOBJECT, 0, 0); }

  RecordingShell shell_;
  EconomicsDocument doc_;
  CRecordingFrame* frame_ = new CRecordingFrame;
  CEcnmContainerWnd* container_ = nullptr;
  IArea* road_ = nullptr;
  IGroupOfDev* group_ = nullptr;
};

TEST_F(EconomicViewTest, TheContextMenuShowsTheCopyAndParametersMarksFromTheResources)
{
  ResultsOf(road_).valid = 1;
  CEconomicView& view = Open();
  frame_->ShowWindow(SW_SHOW);
  view.SetFocus();
  view.GetRichEditCtrl().SetSel(0, -1);
  g_menuColours.clear();
  HHOOK hook = ::SetWindowsHookEx(WH_MSGFILTER, &ReadMenu, nullptr, 0);
  view.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
  ::UnhookWindowsHookEx(hook);
  ASSERT_FALSE(g_menuColours.empty());
  for (UINT mark : {767u, 327u}) {
    const std::map<COLORREF, int> colours = MarkColours(mark);
    EXPECT_FALSE(colours.empty()) << "bitmap " << mark;
    for (const auto& [colour, count] : colours)
      EXPECT_GE(g_menuColours[colour], count) << "bitmap " << mark << ", colour " << std::hex << colour;
  }
}

TEST_F(EconomicViewTest, WithoutResultsTheTableIsReplacedByWhyNot)
{
  Open();
  EXPECT_NE(Table().find("{Расчет не выполнялся}"), std::string::npos);
  EXPECT_EQ(Table().find("\\trowd"), std::string::npos);

  ResultsOf(road_).valid = 1;
  Refresh();
  EXPECT_NE(Table().find("\\trowd"), std::string::npos);

  // Once a table was shown, lost results are "changed data", never again "not calculated".
  ResultsOf(road_).valid = 0;
  Refresh();
  EXPECT_NE(Table().find("{Данные изменены}"), std::string::npos);

  // Areas without economic output give no table even with results.
  ResultsOf(road_).valid = 1;
  const int off = 0;
  road_->SetEconomicOutput(&off);
  Refresh();
  EXPECT_NE(Table().find("{Данные изменены}"), std::string::npos);
  EXPECT_EQ(Table().find("\\trowd"), std::string::npos);
}

TEST_F(EconomicViewTest, TheTableHasOneColumnPerAreaWithItsFiguresOrNotAvailable)
{
  ResultsOf(road_).valid = 1;
  IArea* site = doc_.Append(CLSID_CCustomizeRoad);
  const int on = 1;
  site->SetEconomicOutput(&on);
  const CString siteCaption("Площадь у вокзала {север} [Открытые территории в одном уровне]");
  site->SetCaption(&siteCaption);
  IArea* hidden = doc_.Append(CLSID_CCustomizeRoad);
  const int off = 0;
  hidden->SetEconomicOutput(&off);
  Open();
  const std::string table = Table();

  // First column 2470 twips, then max(1500, 120 x name + 300): "Объект - 1 " has 11 characters, the site's name
  // 26; the hidden area has no column.
  const std::string siteName = "Площадь у вокзала {север} ";
  EXPECT_NE(table.find("\\cellx2470 "), std::string::npos);
  EXPECT_NE(table.find("\\cellx" + std::to_string(2470 + 1620) + " "), std::string::npos);
  EXPECT_NE(table.find("\\cellx" + std::to_string(2470 + 1620 + 120 * 26 + 300) + " "), std::string::npos);
  EXPECT_EQ(table.find("\\cellx" + std::to_string(2470 + 1620 + 120 * 26 + 300 + 1500)), std::string::npos);

  // Row by row: caption, the road's figure, the site's "not available" (it has no results).
  const struct {
    const char* caption;
    const char* road;
  } rows[] = {
      {"{\\b Затраты, руб.\\b0}", "{\\b Объект - 1 \\b0}"},
      {"{Капитальные}", "5 088 000"},
      {"{    ОП и ИС}", "1 808 000"},
      {"{    Опоры и кронштейны}", "3 280 000"},
      {"{Эксплуатационные}", "1 004 000"},
      {"{    Электроэнергия}", "580 800"},
      {"{    Замена ИС}", "32 000"},
      {"{    Чистка ОП}", "32 000"},
      {"{    Амортизация}", "359 200"},
      {"{\\b Полные годовые:\\b0}", "{\\b 1 614 560\\b0}"},
  };
  for (std::size_t r = 0; r < std::size(rows); ++r) {
    const std::string site = r == 0 ? "{\\b Площадь у вокзала \\{север\\} \\b0}" : "{н/д}";
    const std::string right = "\\cell \\qr     ";
    const std::string row =
        std::string("\\ql ") + rows[r].caption + right + rows[r].road + right + site + "\\cell \\row ";
    EXPECT_NE(table.find(row), std::string::npos) << row << "\n" << table;
  }
}

TEST_F(EconomicViewTest, ALampLifeOfZeroLeavesOnlyItsFiguresNotAvailable)
{
  ResultsOf(road_).valid = 1;
  group_->GetLightDevice()->lampLife = 0;
  Open();
  const std::string table = Table();
  for (const char* row : {"{    Замена ИС}\\cell \\qr     {н/д}", "{Эксплуатационные}\\cell \\qr     {н/д}",
                          "{\\b Полные годовые:\\b0}\\cell \\qr     {н/д}", "{Капитальные}\\cell \\qr     5 088 000",
                          "{    Электроэнергия}\\cell \\qr     580 800"})
    EXPECT_NE(table.find(row), std::string::npos) << row << "\n" << table;
}

TEST_F(EconomicViewTest, AreaNamesLoseTheirKindTagOnlyAfterText)
{
  const struct {
    const char* caption;
    int form;
    const char* name;
  } cases[] = {
      {"Объект - 3 [Поворот]", 1, "Объект - 3 "},
      {"[Поворот]", 1, "[Поворот]"},                // the tag alone stays
      {"[Поворот] слева", 1, "[Поворот] слева"},    // only after text
      {"Съезд [Развилка] [Развилка]", 2, "Съезд  [Развилка]"},
      {"Объект - 4 [Поворот]", 2, "Объект - 4 [Поворот]"},  // another form's tag
  };
  IArea* site = doc_.Append(CLSID_CCustomizeRoad);
  for (const auto& c : cases) {
    site->SetTypicalForm(&c.form);
    const CString caption(c.caption);
    site->SetCaption(&caption);
    EXPECT_EQ(std::string(VisualCtrl::EconomicAreaName(site)), c.name) << c.caption;
  }
  EXPECT_EQ(std::string(VisualCtrl::EconomicAreaName(road_)), "Объект - 1 ");
  EXPECT_EQ(VisualCtrl::EconomicColumnWidth("12345"), 1500);
  EXPECT_EQ(VisualCtrl::EconomicColumnWidth(CString('x', 20)), 2700);
}

TEST_F(EconomicViewTest, F5StartsTheCalculationOncePerPress)
{
  CEconomicView& view = Open();
  view.SendMessage(WM_KEYDOWN, VK_F5, 0x3F0001);
  view.SendMessage(WM_KEYDOWN, VK_F5, 0x403F0001);  // held down: auto-repeat
  view.SendMessage(WM_KEYDOWN, VK_F5, 0x3F0002);    // repeat count 2
  Pump();
  EXPECT_EQ(std::count(frame_->commands.begin(), frame_->commands.end(), 32772u), 1);
}

TEST_F(EconomicViewTest, ThePanesHelpCommandLooksUpItsKeyword)
{
  Open();
  std::vector<shell::HelpRequest> requests;
  shell::SetHelpHandler([&](const shell::HelpRequest& r) {
    requests.push_back(r);
    return true;
  });
  container_->SendMessage(WM_COMMAND, 57670, 0);  // from the pane's frame, passed on to the view
  shell::SetHelpHandler(nullptr);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].command, HH_KEYWORD_LOOKUP);
  EXPECT_EQ(requests[0].keywords, "Экономические результаты");
  EXPECT_TRUE(requests[0].indexOnFail);
  EXPECT_EQ(requests[0].file.substr(requests[0].file.size() - 4), ".chm");
}

TEST_F(EconomicViewTest, TheParametersDialogRunsInsideAnUndoStepThatCancelTakesBack)
{
  CEconomicView& view = Open();
  {
    user::ScriptedResponder responder;
    responder.AnswerNext(IDCANCEL);
    view.SendMessage(WM_COMMAND, 32994, 0);
  }
  EXPECT_EQ(doc_.pushed, 1);
  EXPECT_EQ(doc_.undone, 1);
  {
    user::ScriptedResponder responder;
    responder.AnswerNext(IDOK);
    container_->SendMessage(WM_COMMAND, 32994, 0);  // the container passes it on
  }
  EXPECT_EQ(doc_.pushed, 2);
  EXPECT_EQ(doc_.undone, 1);
  // A price database that fails while the dialog fills is a cancelled dialog, not an ended program.
  doc_.prices.failure = E_FAIL;
  group_->GetLightDevice()->luminairePrice = 0;
  {
    user::ScriptedResponder responder;
    responder.AnswerNext(IDOK);
    view.SendMessage(WM_COMMAND, 32994, 0);
  }
  EXPECT_EQ(doc_.pushed, 3);
}

TEST_F(EconomicViewTest, LibreOfficeOpensTheCostTable)
{
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  ResultsOf(road_).valid = 1;
  CEconomicView& view = Open();
  std::string rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0,
                    [](DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) -> DWORD {
                      reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                                     static_cast<std::size_t>(count));
                      *done = count;
                      return 0;
                    }};
  view.GetRichEditCtrl().StreamOut(SF_RTF, stream);
  ASSERT_FALSE(rtf.empty());
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tesmira-economics-lo";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string artifacts = TESMIRA_ARTIFACTS_DIR;
  const std::string file = artifacts + "/economics-cost-table.rtf";
  std::ofstream(file, std::ios::binary) << rtf;
  const std::string convert = "cd '" + folder.string() + "' && HOME='" + folder.string() +
                              "' timeout 120 soffice -env:UserInstallation=file://" + folder.string() +
                              "/profile --headless --convert-to txt:Text --outdir '" + folder.string() + "' '" +
                              file + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(convert.c_str()), 0);
  std::ifstream in(folder / "economics-cost-table.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::filesystem::remove_all(folder);
  for (const char8_t* expected : {u8"Затраты, руб.", u8"Капитальные", u8"5 088 000", u8"Полные годовые:",
                                  u8"1 614 560", u8"Объект - 1"})
    EXPECT_NE(text.str().find(Utf8(expected)), std::string::npos) << Utf8(expected) << "\n" << text.str();
}

}  // namespace
