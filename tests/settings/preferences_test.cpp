// The settings dialog: pages chosen by the tree and the stored start page, Apply copying the private options into
// the live ones while Cancel leaves them, grid changes reported and open sites' results reset on Apply, the custom
// colours kept in the profile from one run to the next, the report page's marks, and a picture of every page.
#include "settings/preferences.h"

#include "model/iarea.h"
#include "model/ivisualopt.h"
#include "model/pref_of_color.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/shell/htmlhelp.h"
#include "platform/user/commdlg.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "res/program_ids.h"
#include "settings/pref_of_color.h"
#include "settings/pref_of_font.h"
#include "settings/pref_of_image.h"
#include "settings/pref_of_report.h"
#include "tests/model/fake_analytics.h"
#include "tests/platform/base/test_folder.h"
#include "tests/report/summary_fixture.h"

#include <functional>

namespace {

using Options::CPreferences;

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp(nullptr) {}
};

class SettingsDocument : public ProjectDocument {
public:
  int ResetResults(IArea* area) override
  {
    resets.push_back(area);
    return 0;
  }
  int Redraw(BOOL recalc, BOOL rebuild, BOOL) override
  {
    redraws.push_back({recalc != 0, rebuild != 0});
    return 0;
  }
  int NotifyFontsChanged(LPARAM) override
  {
    ++fontNotices;
    return 0;
  }
  std::vector<IArea*> resets;
  std::vector<std::pair<bool, bool>> redraws;
  int fontNotices = 0;
};

class PreferencesTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ::setenv("TESMIRA_PROFILE_DIR", folder_.Path().c_str(), 1);
    app_.SetRegistryKey("Marvesta");
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, nullptr));
  }
  void TearDown() override
  {
    owner_.DestroyWindow();
    ::unsetenv("TESMIRA_PROFILE_DIR");
  }
  // Runs the dialog modally; `act` works on it while it is open and answers how it ends.
  int Run(const std::function<int(CPreferences&)>& act, Shell::PreferencesOutcome* outcome = nullptr)
  {
    Shell::PreferencesOutcome ignored;
    user::SetModalResponder([&](const user::ModalQuestion& q) {
      if (q.kind == user::ModalQuestion::Kind::Dialog && q.dialogId == res::program::IDD_PREFERENCES) {
        auto* dialog = dynamic_cast<CPreferences*>(CWnd::FromHandlePermanent(q.dialog));
        if (dialog == nullptr)
          return IDCANCEL;
        const int answer = act(*dialog);
        if (answer == IDOK)
          dialog->OnOK();
        return answer;
      }
      return colourAnswer(q);
    });
    const int answer = Options::RunPreferences(owner_.m_hWnd, &doc_, doc_.options, outcome ? outcome : &ignored);
    user::SetModalResponder(nullptr);
    return answer;
  }
  // A check box ticked or unticked by the user, then its click.
  static void Toggle(CWnd* page, int id)
  {
    const UINT state = ::IsDlgButtonChecked(page->m_hWnd, id);
    ::CheckDlgButton(page->m_hWnd, id, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    Click(page, id);
  }
  static void Click(CWnd* page, int id)
  {
    page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page->GetDlgItem(id)->m_hWnd));
  }
  static void Choose(CWnd* page, int comboId, int index)
  {
    CWnd* combo = page->GetDlgItem(comboId);
    combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    page->SendMessage(WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->m_hWnd));
  }
  IArea* MakeOpenSiteActive()
  {
    IArea* site = doc_.Append(CLSID_CCustomizeRoad);
    doc_.project->SetActiveArea(site);
    return site;
  }

  testing_support::TempFolder folder_;
  CTestApp app_;
  CWnd owner_;
  SettingsDocument doc_;
  std::function<int(const user::ModalQuestion&)> colourAnswer = [](const user::ModalQuestion&) { return IDCANCEL; };
};

TEST_F(PreferencesTest, ApplyCopiesThePrivateOptionsAndCancelLeavesTheLiveOnesAsApplied)
{
  const int illuminance = 1, isolines = 0;
  doc_.options->SetQuantity(&illuminance);
  doc_.options->SetResultDisplay(&isolines);
  const int answer = Run([&](CPreferences& dialog) {
    // A change on the page goes to the private copy only.
    Toggle(dialog.GetPage(CPreferences::kImage), 1125);  // false colours
    EXPECT_EQ(*dialog.m_options->GetResultDisplay(), 3);
    EXPECT_EQ(*doc_.options->GetResultDisplay(), 0);
    dialog.OnApply();
    EXPECT_EQ(*doc_.options->GetResultDisplay(), 3);
    EXPECT_EQ(doc_.redraws.back(), (std::pair<bool, bool>{true, false}));
    // A second change that only Cancel follows never reaches the live options.
    Toggle(dialog.GetPage(CPreferences::kImage), 1020);  // isolines
    return IDCANCEL;
  });
  EXPECT_EQ(answer, IDCANCEL);
  EXPECT_EQ(*doc_.options->GetResultDisplay(), 3);
  EXPECT_TRUE(doc_.resets.empty()) << "a straight road's results stay";
}

TEST_F(PreferencesTest, OkReportsTheGridChangesOfAnOpenSiteAndApplyResetsItsResults)
{
  IArea* site = MakeOpenSiteActive();
  const double step = 1.5;
  site->SetGridStep(&step);
  Shell::PreferencesOutcome outcome;
  const int answer = Run(
      [&](CPreferences& dialog) {
        CWnd* image = dialog.GetPage(CPreferences::kImage);
        // The area's step is one of the twelve: it is the one selected.
        EXPECT_EQ(image->GetDlgItem(Options::CPrefOfImage::kGridStep)->SendMessage(CB_GETCURSEL), 4);
        Choose(image, Options::CPrefOfImage::kGridMode, 1);
        Choose(image, Options::CPrefOfImage::kGridStep, 9);
        dialog.OnApply();
        EXPECT_EQ(doc_.resets, std::vector<IArea*>{site});
        return IDOK;
      },
      &outcome);
  EXPECT_EQ(answer, IDOK);
  EXPECT_TRUE(outcome.gridModeChanged);
  EXPECT_EQ(outcome.gridMode, 1);
  EXPECT_TRUE(outcome.gridStepChanged);
  EXPECT_EQ(outcome.gridStep, 5);
  EXPECT_TRUE(outcome.recalcOnCancel);
}

TEST_F(PreferencesTest, AStepOutsideTheListShowsTheFirstAndOkWithoutTouchingItChangesNothing)
{
  IArea* site = MakeOpenSiteActive();
  const double step = 0.3;
  site->SetGridStep(&step);
  Shell::PreferencesOutcome outcome;
  Run(
      [&](CPreferences& dialog) {
        EXPECT_EQ(dialog.GetPage(CPreferences::kImage)->GetDlgItem(Options::CPrefOfImage::kGridStep)->SendMessage(
                      CB_GETCURSEL),
                  0);
        return IDOK;
      },
      &outcome);
  EXPECT_FALSE(outcome.gridStepChanged);
  EXPECT_FALSE(outcome.gridModeChanged);
}

TEST_F(PreferencesTest, TheStartPageComesFromTheOptionsAndOneOutOfRangeOpensTheFirst)
{
  for (const auto& [stored, shown] : std::vector<std::pair<int, int>>{{3, 3}, {7, 0}, {-1, 0}, {4, 4}}) {
    SCOPED_TRACE(stored);
    doc_.options->SetSettingsPage(&stored);
    Run([&](CPreferences& dialog) {
      EXPECT_EQ(dialog.GetShownPage(), shown);
      for (int page = 0; page < CPreferences::kPageCount; ++page)
        EXPECT_EQ(dialog.GetPage(page)->IsWindowVisible() != 0, page == shown) << page;
      return IDCANCEL;
    });
  }
}

TEST_F(PreferencesTest, EveryPageShownIsRecordedAsItsAnalyticsScreen)
{
  testing_support::FakeAnalytics analytics;
  testing_support::AnalyticsShell shell(analytics.Module());
  const int start = CPreferences::kColour;
  doc_.options->SetSettingsPage(&start);
  const std::vector<std::pair<int, std::string>> screens = {
      {CPreferences::kCalculation, "Настройки.Расчет/1"}, {CPreferences::kImage, "Настройки.Изображение/1"},
      {CPreferences::kReport, "Настройки.Протокол/1"},    {CPreferences::kFont, "Настройки.Шрифт/1"},
      {CPreferences::kColour, "Настройки.Цвет/1"}};
  Run([&](CPreferences& dialog) {
    EXPECT_EQ(analytics.Take(), std::vector<std::string>{"Настройки.Цвет/1"});
    for (const auto& [page, screen] : screens) {
      HTREEITEM item = dialog.m_tree.GetRootItem();
      for (int i = 0; i < page; ++i)
        item = dialog.m_tree.GetNextSiblingItem(item);
      dialog.m_tree.SelectItem(item);
      EXPECT_EQ(analytics.Take(), std::vector<std::string>{screen});
    }
    return IDCANCEL;
  });
  // The collected data go at the dialog's end.
  EXPECT_EQ(shell.sent, (std::vector<int>{0, 1}));
}

TEST_F(PreferencesTest, CustomColoursPersistFromOneRunToTheNext)
{
  colourAnswer = [](const user::ModalQuestion& q) {
    if (q.kind != user::ModalQuestion::Kind::Color)
      return IDCANCEL;
    auto* cc = static_cast<CHOOSECOLOR*>(q.record);
    cc->lpCustColors[2] = RGB(12, 34, 56);
    cc->rgbResult = RGB(255, 0, 0);
    return IDOK;
  };
  Run([&](CPreferences& dialog) {
    EXPECT_EQ(dialog.m_customColours[2], RGB(255, 255, 255));  // nothing stored yet: white
    auto* colour = dynamic_cast<Options::CPrefOfColor*>(dialog.GetPage(CPreferences::kColour));
    colour->m_list.SetCurSel(0);
    colour->OnChange();
    _PREF_OF_COLOR background{};
    dialog.m_options->GetColour(0, &background);
    EXPECT_EQ(background.r, 1.0f);
    EXPECT_EQ(background.g, 0.0f);
    EXPECT_TRUE(colour->m_bColorsChanged);
    return IDCANCEL;
  });
  colourAnswer = [](const user::ModalQuestion&) { return IDCANCEL; };
  Run([&](CPreferences& dialog) {
    EXPECT_EQ(dialog.m_customColours[2], RGB(12, 34, 56));
    EXPECT_EQ(dialog.m_customColours[3], RGB(255, 255, 255));
    return IDCANCEL;
  });
}

TEST_F(PreferencesTest, TheReportPageTogglesARowAndItsDependentsInThePrivateCopy)
{
  Run([&](CPreferences& dialog) {
    auto* report = dynamic_cast<Options::CPrefOfReport*>(dialog.GetPage(CPreferences::kReport));
    const auto itemOf = [&](int id) { return report->ItemOf(id); };
    const auto imageOf = [&](int id) {
      int image = -1, selected = -1;
      report->m_tree.GetItemImage(itemOf(id), image, selected);
      return image;
    };
    EXPECT_EQ(imageOf(105), 1);  // partly on
    report->OnItemClicked(itemOf(105));
    EXPECT_EQ(imageOf(105), 2);
    EXPECT_EQ(imageOf(210), 2);
    EXPECT_EQ(imageOf(206), 4);
    report->OnItemClicked(itemOf(206));
    EXPECT_EQ(imageOf(206), 3);
    EXPECT_EQ(imageOf(207), 4);
    report->OnItemClicked(itemOf(210));
    EXPECT_EQ(imageOf(209), 1);
    // The live table is untouched until Apply or OK.
    tag_ITEM_PREF_OF_REPORT live{};
    doc_.options->GetReportPreferences()->GetItem(105, &live);
    EXPECT_EQ(live.state, 1);
    return IDOK;
  });
  tag_ITEM_PREF_OF_REPORT live{};
  doc_.options->GetReportPreferences()->GetItem(207, &live);
  EXPECT_EQ(live.state, 4);
}

TEST_F(PreferencesTest, AnOpenSitesReportPageShowsOnlyItsRows)
{
  MakeOpenSiteActive();
  Run([&](CPreferences& dialog) {
    auto* report = dynamic_cast<Options::CPrefOfReport*>(dialog.GetPage(CPreferences::kReport));
    EXPECT_EQ(report->m_tree.GetCount(), 14u);  // 100-106, 305 with 308-311 and 701, 600
    EXPECT_EQ(report->ItemOf(205), nullptr);
    EXPECT_NE(report->ItemOf(310), nullptr);
    return IDCANCEL;
  });
}

TEST_F(PreferencesTest, ShortFalseColourScalesArePaddedFromTheDefaults)
{
  CArray<_PREF_OF_COLOR_LEVELS>* scale = nullptr;
  doc_.options->GetColourLevels1(&scale);
  scale->SetSize(4);
  CArray<_PREF_OF_COLOR_LEVELS>* defaults = nullptr;
  doc_.options->GetColourLevels4(&defaults);
  defaults->SetSize(2);
  Options::PadColourScales(doc_.options);
  EXPECT_EQ(scale->GetSize(), 9);
  EXPECT_EQ(defaults->GetSize(), 9);
}

// A pixel of a bitmap resource of the program, read from its packed DIB (24 or 32 bits, rows bottom first).
COLORREF ResourcePixel(UINT id, int x, int y)
{
  HRSRC found = ::FindResource(nullptr, MAKEINTRESOURCE(id), RT_BITMAP);
  if (found == nullptr)
    return CLR_INVALID;
  const auto* dib = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
  const int bytes = info->biBitCount / 8;
  const int stride = (info->biWidth * info->biBitCount + 31) / 32 * 4;
  const BYTE* pixel = dib + info->biSize + (info->biHeight - 1 - y) * stride + x * bytes;
  return RGB(pixel[2], pixel[1], pixel[0]);
}

// The 16 x 16 picture a drawing leaves on white.
std::vector<COLORREF> OnWhite(const std::function<void(HDC)>& draw)
{
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  draw(dc);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      pixels.push_back(::GetPixel(dc, x, y));
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return pixels;
}

TEST_F(PreferencesTest, TheHeaderShowsThePagesPictureAndTheReportTreeItsMarksFromTheResources)
{
  const UINT pictures[] = {149, 328, 329, 330, 331};
  Run([&](CPreferences& dialog) {
    HTREEITEM item = dialog.m_tree.GetRootItem();
    for (int page = 0; page < CPreferences::kPageCount; ++page, item = dialog.m_tree.GetNextSiblingItem(item)) {
      dialog.m_tree.SelectItem(item);
      dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      CClientDC dc(&dialog);
      int differing = 0;
      for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
          differing += dc.GetPixel(5 + x, y) != ResourcePixel(pictures[page], x, y);
      EXPECT_EQ(differing, 0) << "page " << page;

    }

    auto* report = dynamic_cast<Options::CPrefOfReport*>(dialog.GetPage(CPreferences::kReport));
    EXPECT_EQ(ImageList_GetImageCount(report->m_images), 5);
    std::vector<std::vector<COLORREF>> marks;
    for (int state = 0; state < 5; ++state) {
      HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(156 + state));
      EXPECT_NE(icon, nullptr) << "icon " << 156 + state;
      marks.push_back(OnWhite([&](HDC dc) { ::DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL); }));
      EXPECT_EQ(OnWhite([&](HDC dc) { ImageList_Draw(report->m_images.m_hImageList, state, dc, 0, 0, ILD_NORMAL); }),
                marks.back())
          << "state " << state;
      for (int other = 0; other < state; ++other)
        EXPECT_NE(marks[other], marks[state]) << "states " << other << " and " << state << " look alike";
    }
    return IDCANCEL;
  });
}

TEST_F(PreferencesTest, APictureOfEveryPage)
{
  const char* names[] = {"calculation", "image", "report", "colour", "font"};
  Run([&](CPreferences& dialog) -> int {
    for (int page = 0; page < CPreferences::kPageCount; ++page) {
      HTREEITEM item = dialog.m_tree.GetRootItem();
      for (int i = 0; i < page; ++i)
        item = dialog.m_tree.GetNextSiblingItem(item);
      dialog.m_tree.SelectItem(item);
      dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      const gdi::Surface* pixels = user::WindowSurface(dialog.m_hWnd);
      EXPECT_NE(pixels, nullptr);
      if (pixels == nullptr)
        return IDCANCEL;
      const std::string file = std::string(TESMIRA_ARTIFACTS_DIR) + "/settings-" + names[page] + ".png";
      EXPECT_TRUE(gdi::SavePng(*pixels, file));
    }
    return IDCANCEL;
  });
}

TEST_F(PreferencesTest, APictureOfTheImagePageWithTheFalseColourScale)
{
  const int falseColours = 3;
  doc_.options->SetResultDisplay(&falseColours);
  Run([&](CPreferences& dialog) -> int {
    HTREEITEM item = dialog.m_tree.GetNextSiblingItem(dialog.m_tree.GetRootItem());
    dialog.m_tree.SelectItem(item);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    const gdi::Surface* pixels = user::WindowSurface(dialog.m_hWnd);
    EXPECT_NE(pixels, nullptr);
    if (pixels != nullptr) {
      EXPECT_TRUE(gdi::SavePng(*pixels, std::string(TESMIRA_ARTIFACTS_DIR) + "/settings-image-scale.png"));
    }
    return IDCANCEL;
  });
}

TEST_F(PreferencesTest, HelpLooksUpTheDialogsKeywordAndTheChoosersOwn)
{
  std::vector<shell::HelpRequest> requests;
  shell::SetHelpHandler([&](const shell::HelpRequest& r) {
    requests.push_back(r);
    return true;
  });
  // The choosers' Help button, through their hooks.
  colourAnswer = [](const user::ModalQuestion& q) {
    LPCCHOOKPROC hook = q.kind == user::ModalQuestion::Kind::Color ? static_cast<CHOOSECOLOR*>(q.record)->lpfnHook
                                                                   : static_cast<CHOOSEFONT*>(q.record)->lpfnHook;
    EXPECT_NE(hook, nullptr);
    if (hook != nullptr) {
      EXPECT_EQ(hook(nullptr, WM_COMMAND, pshHelp, 0), static_cast<UINT_PTR>(TRUE));
    }
    return IDCANCEL;
  };
  Run([&](CPreferences& dialog) {
    Click(&dialog, 1084);
    auto* colour = dynamic_cast<Options::CPrefOfColor*>(dialog.GetPage(CPreferences::kColour));
    colour->m_list.SetCurSel(0);
    colour->OnChange();
    auto* font = dynamic_cast<Options::CPrefOfFont*>(dialog.GetPage(CPreferences::kFont));
    font->m_list.SetCurSel(0);
    font->OnChange();
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
      ::DispatchMessage(&msg);
    return IDCANCEL;
  });
  shell::SetHelpHandler(nullptr);
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].keywords, "Настройки");
  EXPECT_EQ(requests[1].keywords, "Цвет");
  EXPECT_EQ(requests[2].keywords, "Шрифт");
  for (const shell::HelpRequest& r : requests) {
    EXPECT_EQ(r.command, HH_KEYWORD_LOOKUP);
    EXPECT_TRUE(r.indexOnFail);
    EXPECT_EQ(r.file.substr(r.file.size() - 4), ".chm") << r.file;
  }
}

}  // namespace
