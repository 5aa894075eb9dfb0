// The common dialogs without a screen: the file dialog's decisions over a made-up file system, the filter list,
// what a chosen name puts into the program's record, and the printer dialog's defaults and DC.
#include "platform/gdi/wingdi.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

using user::commdlg::DecideFileName;
using user::commdlg::FileDecision;
using user::commdlg::FileFilter;
using user::commdlg::FileRequest;
using user::commdlg::PathKind;

TEST(FileFilterList, PairsSplitIntoNamesAndPatternsAndMatchCaseBlind)
{
  const char pairs[] = "Проекты (*.qorr5;*.QORR)\0*.qorr5; *.QORR\0Все файлы (*.*)\0*.*\0Без шаблонов\0";
  std::vector<FileFilter> filters = user::commdlg::ParseFilter(pairs);
  ASSERT_EQ(filters.size(), 2u);  // a name without its patterns ends the list
  EXPECT_EQ(filters[0].name, "Проекты (*.qorr5;*.QORR)");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.qorr5", "*.QORR"}));
  EXPECT_TRUE(user::commdlg::ParseFilter(nullptr).empty());

  struct Case {
    std::size_t filter;
    const char* name;
    bool taken;
  };
  const Case cases[] = {
      {0, "дорога.qorr5", true}, {0, "ДОРОГА.QORR5", true}, {0, "a.qorr", true}, {0, "a.qorr5.bak", false},
      {0, "qorr5", false},       {1, "README", true},       {1, "a.b.c", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(user::commdlg::FilterTakes(filters[c.filter], c.name), c.taken) << c.name;
  }
  // Cyrillic letters compare case-blind too.
  EXPECT_TRUE(user::commdlg::FilterTakes(FileFilter{"", {"*.дхф"}}, "план.ДХФ"));
}

TEST(FileDialogDecisions, ATypedNameIsEnteredRefusedAskedAboutOrAccepted)
{
  const std::map<std::string, PathKind> disk = {
      {"/", PathKind::Folder},
      {"/home", PathKind::Folder},
      {"/home/user", PathKind::Folder},
      {"/home/user/проекты", PathKind::Folder},
      {"/home/user/проекты/дорога.qorr5", PathKind::File},
      {"/home/user/проекты/README", PathKind::File},
      {"/home/user/план.dxf", PathKind::File},
  };
  auto query = [&](const std::string& path) {
    auto it = disk.find(path);
    return it == disk.end() ? PathKind::Missing : it->second;
  };
  const FileFilter projects{"Проекты", {"*.qorr5"}};
  const FileFilter all{"Все файлы", {"*.*"}};
  using A = FileDecision::Action;
  struct Case {
    const char* what;
    const char* typed;
    bool save;
    DWORD flags;
    const char* defaultExt;
    const FileFilter* filter;
    A action;
    const char* path;  // the decision's path, or a piece of its message
  };
  const DWORD mustExist = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  const Case cases[] = {
      {"blank", "   ", false, 0, "", nullptr, A::Nothing, ""},
      {"a folder is entered", "проекты", false, 0, "", nullptr, A::EnterFolder, "/home/user/проекты/"},
      {"up", "..", false, 0, "", nullptr, A::EnterFolder, "/home/"},
      {"backslashes and dots", "проекты\\.\\..\\проекты", false, 0, "", nullptr, A::EnterFolder,
       "/home/user/проекты/"},
      {"wildcards filter the list", "*.dxf", false, 0, "", nullptr, A::ApplyPattern, "*.dxf"},
      {"an existing file opens", "план.dxf", false, mustExist, "", nullptr, A::Accept, "/home/user/план.dxf"},
      {"an absolute path", "/home/user/проекты/README", false, mustExist, "", nullptr, A::Accept,
       "/home/user/проекты/README"},
      {"open finds the name with the default extension", "проекты/дорога", false, mustExist, "qorr5", nullptr,
       A::Accept, "/home/user/проекты/дорога.qorr5"},
      {"open keeps a bare name that is there", "проекты/README", false, mustExist, "qorr5", nullptr, A::Accept,
       "/home/user/проекты/README"},
      {"open: a missing file is refused", "нет.dxf", false, mustExist, "", nullptr, A::Refuse, "Файл не найден"},
      {"open: a missing folder is refused", "нет/план.dxf", false, OFN_PATHMUSTEXIST, "", nullptr, A::Refuse,
       "Путь не существует"},
      {"open without the flags takes a new name", "новый.dxf", false, 0, "", nullptr, A::Accept,
       "/home/user/новый.dxf"},
      {"save takes the filter's extension", "новая", true, OFN_OVERWRITEPROMPT, "dat", &projects, A::Accept,
       "/home/user/новая.qorr5"},
      {"save with all files takes the default", "новая", true, 0, "qorr5", &all, A::Accept,
       "/home/user/новая.qorr5"},
      {"save without a default adds nothing", "новая", true, 0, "", &projects, A::Accept, "/home/user/новая"},
      {"a quoted name is taken as it stands", "\"новая\"", true, 0, "qorr5", nullptr, A::Accept, "/home/user/новая"},
      {"save over a file asks", "проекты/дорога", true, OFN_OVERWRITEPROMPT, "qorr5", nullptr, A::AskOverwrite,
       "дорога.qorr5 уже существует"},
      {"save over a file without the flag", "проекты/дорога.qorr5", true, 0, "", nullptr, A::Accept,
       "/home/user/проекты/дорога.qorr5"},
      {"save into a missing folder is refused", "нет/дорога.qorr5", true, 0, "", nullptr, A::Refuse,
       "Путь не существует"},
      {"a missing folder typed with its slash", "нет/", false, 0, "", nullptr, A::Refuse, "Путь не существует"},
  };
  for (const Case& c : cases) {
    FileRequest request;
    request.folder = "/home/user/";
    request.typed = c.typed;
    request.save = c.save;
    request.flags = c.flags;
    request.defaultExt = c.defaultExt;
    request.filter = c.filter;
    FileDecision d = DecideFileName(request, query);
    EXPECT_EQ(d.action, c.action) << c.what;
    if (c.action == A::Refuse || c.action == A::AskOverwrite) {
      EXPECT_NE(d.message.find(c.path), std::string::npos) << c.what << ": " << d.message;
    } else {
      EXPECT_EQ(d.path, c.path) << c.what;
    }
  }
}

TEST(FileDialogRecord, TheChosenNameFillsTheBufferOffsetsAndTitle)
{
  user::SetModalResponder([](const user::ModalQuestion& q) {
    q.reply = "/home/user/v1.2/отчёт.2024.pdf";
    return IDOK;
  });
  char file[MAX_PATH] = "";
  char title[8];
  OPENFILENAME ofn;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = sizeof title;
  ofn.lpstrDefExt = "qorr5";
  ASSERT_TRUE(GetOpenFileName(&ofn));
  EXPECT_STREQ(file + ofn.nFileOffset, "отчёт.2024.pdf");
  // The extension is after the last dot of the name, not the first, and not a dot of a folder.
  EXPECT_STREQ(file + ofn.nFileExtension, "pdf");
  EXPECT_STREQ(title, "отчёт.2");  // cut to the title buffer

  user::SetModalResponder([](const user::ModalQuestion& q) {
    q.reply = "/home/user/v1.2/отчёт";
    return IDOK;
  });
  ASSERT_TRUE(GetOpenFileName(&ofn));
  EXPECT_STREQ(file, "/home/user/v1.2/отчёт.qorr5");
  user::SetModalResponder(nullptr);
}

UINT_PTR NoHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST(CommonDialogErrors, AHookAskedForButMissingFailsAsAnErrorNotACancel)
{
  user::ScriptedResponder script;
  COLORREF custom[16] = {};
  CHOOSECOLOR cc;
  cc.lpCustColors = custom;
  cc.Flags = CC_ENABLEHOOK | CC_RGBINIT;
  EXPECT_FALSE(ChooseColor(&cc));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_NOHOOK);
  EXPECT_TRUE(script.Asked().empty());
  cc.lpfnHook = &NoHook;
  script.AnswerNext(IDOK);
  EXPECT_TRUE(ChooseColor(&cc));
  EXPECT_EQ(CommDlgExtendedError(), 0u);

  LOGFONTA font;
  CHOOSEFONT cf;
  cf.lpLogFont = &font;
  cf.Flags = CF_ENABLEHOOK | CF_SCREENFONTS;
  EXPECT_FALSE(ChooseFont(&cf));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_NOHOOK);

  OPENFILENAME tooSmall;
  tooSmall.lStructSize = 8;
  EXPECT_FALSE(GetOpenFileName(&tooSmall));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

TEST(PrintDialog, TheDefaultPrinterIsThePdfPrinterAndItsDcFollowsTheSettings)
{
  PRINTDLG pd;
  pd.Flags = PD_RETURNDEFAULT;
  ASSERT_TRUE(PrintDlg(&pd));
  ASSERT_NE(pd.hDevMode, nullptr);
  ASSERT_NE(pd.hDevNames, nullptr);
  {
    const auto* names = static_cast<const DEVNAMES*>(GlobalLock(pd.hDevNames));
    EXPECT_STREQ(reinterpret_cast<const char*>(names) + names->wDeviceOffset, "PDF");
    EXPECT_EQ(names->wDefault, DN_DEFAULTPRN);
    GlobalUnlock(pd.hDevNames);
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(pd.hDevMode));
    EXPECT_EQ(mode->dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(mode->dmOrientation, DMORIENT_PORTRAIT);
    mode->dmOrientation = DMORIENT_LANDSCAPE;  // as the program changes its default settings
    GlobalUnlock(pd.hDevMode);
  }
  // Told into a record that already has settings is an error.
  EXPECT_FALSE(PrintDlg(&pd));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);

  // The print dialog, answered by the script, keeps the settings and makes a landscape PDF printer DC.
  user::ScriptedResponder script;
  script.AnswerNext(IDOK);
  pd.Flags = PD_RETURNDC | PD_NOSELECTION;
  pd.nMinPage = 1;
  pd.nMaxPage = 3;
  ASSERT_TRUE(PrintDlg(&pd));
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].record, &pd);
  EXPECT_EQ(script.Asked()[0].caption, "Печать");
  ASSERT_NE(pd.hDC, nullptr);
  EXPECT_GT(GetDeviceCaps(pd.hDC, HORZRES), GetDeviceCaps(pd.hDC, VERTRES));
  EXPECT_EQ(pd.nCopies, 1);
  DeleteDC(pd.hDC);
  pd.hDC = nullptr;

  // Unscripted, nobody prints.
  pd.Flags = PD_RETURNDC;
  EXPECT_FALSE(PrintDlg(&pd));
  EXPECT_EQ(pd.hDC, nullptr);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  GlobalFree(pd.hDevMode);
  GlobalFree(pd.hDevNames);
}

}  // namespace
