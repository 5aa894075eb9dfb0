// The common dialogs on a private Xvfb: shown on the screen (their pictures are kept), driven by clicks sent
// through X and by keys, and answering the program as it asked.
#include "platform/base/codepage.h"
#include "platform/display/presenter.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/mfc/fileprompt.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "tests/platform/display/x11_server.h"  // Xlib's macros: after everything else

using displaytest::Xvfb;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The screen for one test, with an owner window; the null screen comes back when it ends.
class Screen : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!server_.Start(130, 200)) {
      GTEST_SKIP() << "no Xvfb";
    }
    display::Use(display::MakeX11Presenter(server_.Name().c_str()));
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "DialogOwner";
    RegisterClass(&wc);
    owner_ = CreateWindowEx(0, "DialogOwner", "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                            nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override
  {
    if (owner_ != nullptr) {
      DestroyWindow(owner_);
      display::Current().Flush();
      display::Use(display::MakeNullPresenter());
    }
  }

  // Runs `steps` on a thread of its own while the dialog's modal loop runs here; whatever happens, the dialog is
  // closed in the end so that the test cannot hang.
  template <typename Modal>
  void Drive(const char* title, std::function<void(HWND)> steps, Modal modal)
  {
    std::thread driver([this, title, steps] {
      HWND dialog = WaitForWindow(title);
      if (dialog == nullptr) {
        ADD_FAILURE() << "no dialog \"" << codepage::Cp1251ToUtf8(title) << "\" on the screen";
        return;
      }
      steps(dialog);
      auto deadline = Clock::now() + std::chrono::seconds(5);
      while (IsWindow(dialog) && IsWindowVisible(dialog) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      if (IsWindow(dialog) && IsWindowVisible(dialog)) {
        ADD_FAILURE() << "the dialog stayed open";
        PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
      }
    });
    modal();
    driver.join();
  }

  static HWND WaitForWindow(const char* title)
  {
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      HWND h = FindWindow(nullptr, title);
      if (h != nullptr && IsWindowVisible(h)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // painted and on the X server
        return h;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
  }

  // Waits until `done` holds, for up to five seconds.
  static bool WaitUntil(const std::function<bool()>& done)
  {
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
      if (done()) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  // The window as the screen shows it, kept as a picture.
  static void Picture(HWND window, const std::string& name)
  {
    display::Current().Flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    gdi::Surface screen;
    ASSERT_TRUE(display::Current().Capture(screen));
    RECT r;
    GetWindowRect(window, &r);
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, screen.Width());
    r.bottom = std::min<LONG>(r.bottom, screen.Height());
    ASSERT_GT(r.right - r.left, 100);
    gdi::Surface part(r.right - r.left, r.bottom - r.top);
    for (int y = 0; y < part.Height(); ++y) {
      std::memcpy(part.Pixels() + static_cast<std::size_t>(y) * part.Width(),
                  screen.Pixels() + static_cast<std::size_t>(y + r.top) * screen.Width() + r.left,
                  static_cast<std::size_t>(part.Width()) * 4);
    }
    // A dialog drawn on the screen is not one colour.
    int differing = 0;
    for (int i = 0; i < part.Width() * part.Height(); i += 7) {
      differing += part.Pixels()[i] != part.Pixels()[0] ? 1 : 0;
    }
    EXPECT_GT(differing, 100);
    EXPECT_TRUE(gdi::SavePng(part, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name));
    // Input sent at once after a capture was seen lost now and then; a person is never that quick.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }

  // A click sent to the X server at a screen point, as a person's would arrive; twice quickly for a double click.
  void Click(POINT at, int times = 1)
  {
    ASSERT_TRUE(displaytest::SendClick(server_.Name(), at.x, at.y, Button1, times));
  }

  // The centre of a list line on the screen; false when the list has no such line.
  static bool ListLine(HWND dialog, const char* text, POINT& at)
  {
    HWND list = GetDlgItem(dialog, lst1);
    LRESULT index = SendMessage(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    if (index < 0) {
      return false;
    }
    auto height = static_cast<LONG>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    auto top = static_cast<LONG>(SendMessage(list, LB_GETTOPINDEX, 0, 0));
    at = POINT{20, static_cast<LONG>((index - top) * height + height / 2)};
    ClientToScreen(list, &at);
    return true;
  }

  // Asked of the control itself: an edit keeps its text, not the window's.
  static std::string Text(HWND dialog, int id)
  {
    char text[512] = {};
    SendMessage(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }

  Xvfb server_;
  HWND owner_ = nullptr;
};

// A folder of projects: "проекты" with two files, a hidden one beside them.
class FileScreen : public Screen {
protected:
  void SetUp() override
  {
    Screen::SetUp();
    if (IsSkipped()) {
      return;
    }
    root_ = fs::temp_directory_path() / ("commdlg-" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / u8"проекты");
    fs::create_directories(root_ / u8"архив");
    std::ofstream(root_ / u8"проекты" / u8"дорога.qorr5") << "x";
    std::ofstream(root_ / u8"проекты" / u8"заметки.txt") << "x";
    std::ofstream(root_ / u8"проекты" / u8".черновик.qorr5") << "x";
    rootCp1251_ = codepage::Utf8ToCp1251(root_.string());
  }
  void TearDown() override
  {
    if (!root_.empty()) {
      fs::remove_all(root_);
    }
    Screen::TearDown();
  }

  fs::path root_;
  std::string rootCp1251_;
};

constexpr char kFilter[] = "Проекты Tesmira Road (*.qorr5)\0*.qorr5\0Все файлы (*.*)\0*.*\0";

TEST_F(FileScreen, OpenShowsTheFolderEntersAFolderByClickAndEnterGoesUpByBackspaceAndPicksAFileByDoubleClick)
{
  char file[MAX_PATH] = "";
  OPENFILENAME ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = rootCp1251_.c_str();
  ofn.lpstrTitle = "Открыть проект";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  BOOL chosen = FALSE;
  Drive(
      "Открыть проект",
      [&](HWND dialog) {
        EXPECT_EQ(Text(dialog, stc1), "Папка: " + rootCp1251_ + "/");
        POINT folder{};
        ASSERT_TRUE(ListLine(dialog, "[проекты]", folder));
        Click(folder);
        ASSERT_TRUE(WaitUntil([&] { return SendDlgItemMessage(dialog, lst1, LB_GETCURSEL, 0, 0) >= 0; }));
        user::InjectKeyPress(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return Text(dialog, stc1).find("проекты") != std::string::npos; }));
        POINT project{};
        ASSERT_TRUE(WaitUntil([&] { return ListLine(dialog, "дорога.qorr5", project); }));
        // The filter leaves out other files; hidden files are never listed.
        POINT other{};
        EXPECT_FALSE(ListLine(dialog, "заметки.txt", other));
        EXPECT_FALSE(ListLine(dialog, ".черновик.qorr5", other));
        EXPECT_TRUE(ListLine(dialog, "[..]", other));
        Picture(dialog, "commdlg_open.png");
        // Backspace goes up and Enter on the folder comes back.
        user::InjectKeyPress(VK_BACK);
        ASSERT_TRUE(WaitUntil([&] { return Text(dialog, stc1) == "Папка: " + rootCp1251_ + "/"; }));
        ASSERT_TRUE(WaitUntil([&] { return ListLine(dialog, "[проекты]", folder); }));
        // The folder's line stands where the first click went: sooner, the click would make a double click.
        std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 100));
        Click(folder);
        // The click comes through the X server, the key straight into the queue: the key waits for the click.
        ASSERT_TRUE(WaitUntil([&] {
          return SendDlgItemMessage(dialog, lst1, LB_GETCURSEL, 0, 0) ==
                 SendDlgItemMessage(dialog, lst1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>("[проекты]"));
        }));
        user::InjectKeyPress(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return ListLine(dialog, "дорога.qorr5", project); }));
        Click(project, 2);
      },
      [&] { chosen = GetOpenFileName(&ofn); });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(std::string(file), rootCp1251_ + "/проекты/дорога.qorr5");
  EXPECT_STREQ(file + ofn.nFileOffset, "дорога.qorr5");
  EXPECT_EQ(ofn.nFilterIndex, 1u);
}

TEST_F(FileScreen, AnotherFileTypeChosenByKeysListsItsFiles)
{
  const std::string folder = rootCp1251_ + "/проекты";
  char file[MAX_PATH] = "";
  OPENFILENAME ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.c_str();
  BOOL chosen = FALSE;
  Drive(
      "Открыть",
      [&](HWND dialog) {
        POINT at{};
        EXPECT_FALSE(ListLine(dialog, "заметки.txt", at));
        // From the name box: the Open button, then the file-type box; Down takes the next type.
        user::InjectKeyPress(VK_TAB);
        user::InjectKeyPress(VK_TAB);
        user::InjectKeyPress(VK_DOWN);
        ASSERT_TRUE(WaitUntil([&] { return ListLine(dialog, "заметки.txt", at); }));
        Click(at, 2);
      },
      [&] { chosen = GetOpenFileName(&ofn); });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(std::string(file), folder + "/заметки.txt");
  EXPECT_EQ(ofn.nFilterIndex, 2u);
}

TEST_F(FileScreen, ANameTypedIntoTheNameBoxIsFoundWithTheDefaultExtension)
{
  std::ofstream(root_ / "plan.qorr5") << "x";
  char file[MAX_PATH] = "";
  OPENFILENAME ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = rootCp1251_.c_str();
  ofn.lpstrDefExt = "qorr5";
  ofn.Flags = OFN_FILEMUSTEXIST;
  BOOL chosen = FALSE;
  Drive(
      "Открыть",
      [&](HWND dialog) {
        for (UINT vk : {'P', 'L', 'A', 'N'}) {
          user::InjectKeyPress(vk);
        }
        ASSERT_TRUE(WaitUntil([&] { return Text(dialog, edt1) == "plan"; }));
        user::InjectKeyPress(VK_RETURN);
      },
      [&] { chosen = GetOpenFileName(&ofn); });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(std::string(file), rootCp1251_ + "/plan.qorr5");
}

TEST_F(FileScreen, CancelChoosesNothing)
{
  char file[MAX_PATH] = "дорога";
  OPENFILENAME ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = rootCp1251_.c_str();
  BOOL chosen = TRUE;
  Drive(
      "Открыть", [](HWND) { user::InjectKeyPress(VK_ESCAPE); }, [&] { chosen = GetOpenFileName(&ofn); });
  EXPECT_FALSE(chosen);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_STREQ(file, "дорога");
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(FileScreen, AFolderThatCannotBeReadIsToldAndTheDialogCarriesOn)
{
  const std::string gone = rootCp1251_ + "/нет такой папки";
  char file[MAX_PATH] = "";
  OPENFILENAME ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = gone.c_str();
  ofn.lpstrTitle = "Открыть шаблон";
  BOOL chosen = TRUE;
  Drive(
      "Открыть шаблон",
      [&](HWND found) {
        // The dialog shows first and then tells; either may be found by the title they share.
        HWND dialog = GetDlgItem(found, lst1) != nullptr ? found : GetWindow(found, GW_OWNER);
        HWND told = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
          told = GetForegroundWindow();
          return told != dialog && told != nullptr && GetDlgItem(told, IDOK) != nullptr &&
                 GetDlgItem(told, lst1) == nullptr;
        }));
        Picture(told, "commdlg_unreadable_folder.png");
        user::InjectKeyPress(VK_RETURN);
        // The dialog goes on in the home folder, and still answers.
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) && GetForegroundWindow() == dialog; }));
        EXPECT_EQ(Text(dialog, stc1).find("нет такой папки"), std::string::npos);
        user::InjectKeyPress(VK_ESCAPE);
      },
      [&] { chosen = GetOpenFileName(&ofn); });
  EXPECT_FALSE(chosen);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(FileScreen, SavingOverAFileAsksFirstAndTheAnswerDecides)
{
  const std::string folder = rootCp1251_ + "/проекты";
  char file[MAX_PATH] = "дорога";
  OPENFILENAME ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrDefExt = "qorr5";
  ofn.lpstrTitle = "Сохранить проект";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  BOOL chosen = FALSE;
  Drive(
      "Сохранить проект",
      [&](HWND dialog) {
        EXPECT_EQ(Text(dialog, edt1), "дорога");
        user::InjectKeyPress(VK_RETURN);  // the name with its extension is there: the question comes
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
          question = GetForegroundWindow();
          return question != dialog && GetDlgItem(question, IDYES) != nullptr;
        }));
        Picture(question, "commdlg_overwrite.png");
        user::InjectKeyPress(VK_TAB);  // from Yes to No
        user::InjectKeyPress(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question) || !IsWindowVisible(question); }));
        EXPECT_TRUE(IsWindowVisible(dialog));  // No: the dialog stays
        user::InjectKeyPress(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] {
          question = GetForegroundWindow();
          return question != dialog && GetDlgItem(question, IDYES) != nullptr;
        }));
        user::InjectKeyPress(VK_RETURN);  // Yes
      },
      [&] { chosen = GetSaveFileName(&ofn); });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(std::string(file), folder + "/дорога.qorr5");
}

TEST_F(FileScreen, TheFrameworksFileQuestionIsAskedByTheOpenDialog)
{
  platform::mfc::FileNamePrompt prompt;
  prompt.title = "Открыть";
  prompt.open = true;
  prompt.filter = "Проекты (*.qorr5)|*.qorr5|Все файлы (*.*)|*.*||";
  prompt.fileName = CString((rootCp1251_ + "/проекты/дорога").c_str());
  prompt.defaultExt = "qorr5";
  prompt.flags = platform::mfc::kOfnFileMustExist;
  std::optional<CString> answer;
  Drive(
      "Открыть", [](HWND) { user::InjectKeyPress(VK_RETURN); },
      [&] { answer = platform::mfc::AskFileName(prompt); });
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(std::string(static_cast<LPCSTR>(*answer)), rootCp1251_ + "/проекты/дорога.qorr5");
}

// The program's colour hook: it is given the record first, and takes the Help button for itself.
std::atomic<LPARAM> g_hookRecord{0};
std::atomic<int> g_helpPresses{0};
UINT_PTR HelpHook(HWND, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_INITDIALOG) {
    g_hookRecord = lParam;
  }
  if (msg == WM_COMMAND && LOWORD(wParam) == pshHelp) {
    ++g_helpPresses;
    return 1;
  }
  return 0;
}

TEST_F(Screen, TheColourDialogTakesABasicColourByClickAndItsHookTheHelpButton)
{
  COLORREF custom[16] = {};
  CHOOSECOLOR cc;
  cc.hwndOwner = owner_;
  cc.rgbResult = RGB(0, 128, 128);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SHOWHELP | CC_ENABLEHOOK;
  cc.lpfnHook = &HelpHook;
  g_hookRecord = 0;
  g_helpPresses = 0;
  BOOL chosen = FALSE;
  Drive(
      "Цвет",
      [&](HWND dialog) {
        EXPECT_EQ(Text(dialog, COLOR_GREEN), "128");
        Picture(dialog, "commdlg_colour.png");
        // The first cell of the second row of basic colours is pure red.
        RECT cell{7 + 2, 16 + 12 + 2, 7 + 4, 16 + 12 + 4};
        MapDialogRect(dialog, &cell);
        POINT at{cell.left, cell.top};
        ClientToScreen(dialog, &at);
        Click(at);
        ASSERT_TRUE(WaitUntil([&] { return Text(dialog, COLOR_RED) == "255" && Text(dialog, COLOR_GREEN) == "0"; }));
        RECT help;
        GetWindowRect(GetDlgItem(dialog, pshHelp), &help);
        Click(POINT{(help.left + help.right) / 2, (help.top + help.bottom) / 2});
        ASSERT_TRUE(WaitUntil([&] { return g_helpPresses == 1; }));
        EXPECT_TRUE(IsWindowVisible(dialog));
        // Enter would press Help again, which has the focus now.
        RECT ok;
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
        Click(POINT{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2});
      },
      [&] { chosen = ChooseColor(&cc); });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(cc.rgbResult, RGB(255, 0, 0));
  EXPECT_EQ(g_hookRecord, reinterpret_cast<LPARAM>(&cc));
}

UINT_PTR SizeOnlyHook(HWND dialog, UINT msg, WPARAM, LPARAM)
{
  if (msg == WM_INITDIALOG) {
    ShowWindow(GetDlgItem(dialog, cmb5), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, stc7), SW_HIDE);
    EnableWindow(GetDlgItem(dialog, cmb1), FALSE);
    EnableWindow(GetDlgItem(dialog, cmb2), FALSE);
  }
  return 0;
}

TEST_F(Screen, TheFontDialogShowsTheFontItWasGivenAndReturnsIt)
{
  LOGFONTA font;
  font.lfHeight = -16;
  font.lfWeight = FW_BOLD;
  font.lfCharSet = RUSSIAN_CHARSET;
  std::strcpy(font.lfFaceName, "Tahoma");
  CHOOSEFONT cf;
  cf.hwndOwner = owner_;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_SHOWHELP | CF_ENABLEHOOK;
  cf.lpfnHook = &SizeOnlyHook;
  BOOL chosen = FALSE;
  Drive(
      "Шрифт",
      [&](HWND dialog) {
        EXPECT_EQ(Text(dialog, cmb3), "12");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, cmb1)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, cmb5)));
        Picture(dialog, "commdlg_font.png");
        user::InjectKeyPress(VK_RETURN);
      },
      [&] { chosen = ChooseFont(&cf); });
  ASSERT_TRUE(chosen);
  EXPECT_STREQ(font.lfFaceName, "Tahoma");
  EXPECT_EQ(font.lfHeight, -16);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(cf.iPointSize, 120);
}

TEST_F(Screen, ThePrintDialogRefusesPagesOutOfRangeAndGivesAPdfPrinter)
{
  PRINTDLG pd;
  pd.hwndOwner = owner_;
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_PAGENUMS;
  pd.nMinPage = 1;
  pd.nMaxPage = 4;
  pd.nFromPage = 2;
  pd.nToPage = 9;
  BOOL chosen = FALSE;
  Drive(
      "Печать",
      [&](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, rad2)));
        Picture(dialog, "commdlg_print.png");
        user::InjectKeyPress(VK_RETURN);  // page 9 of 4: refused
        HWND complaint = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
          complaint = GetForegroundWindow();
          return complaint != dialog && GetDlgItem(complaint, IDOK) != nullptr && GetDlgItem(complaint, edt1) == nullptr;
        }));
        user::InjectKeyPress(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(complaint) || !IsWindowVisible(complaint); }));
        SetDlgItemText(dialog, edt2, "3");
        user::InjectKeyPress(VK_RETURN);
      },
      [&] { chosen = PrintDlg(&pd); });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(pd.Flags & PD_PAGENUMS, PD_PAGENUMS);
  EXPECT_EQ(pd.nFromPage, 2);
  EXPECT_EQ(pd.nToPage, 3);
  ASSERT_NE(pd.hDC, nullptr);
  DeleteDC(pd.hDC);
  GlobalFree(pd.hDevMode);
  GlobalFree(pd.hDevNames);
}

}  // namespace
