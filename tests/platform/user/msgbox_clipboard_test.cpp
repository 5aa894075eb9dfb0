// Message boxes answered by the scripted responder, and the clipboard.
#include "platform/gdi/wingdi.h"
#include "platform/user/user.h"
#include "tests/platform/user/recorder.h"

#include <gtest/gtest.h>

#include <cstring>

using usertest::How;
using usertest::Rec;
using usertest::Recorder;

namespace {

TEST(MessageBoxes, TheScriptAnswersInOrderAndKeepsWhatWasAsked)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
  rec.Only({WM_ENABLE});
  rec.Clear();
  user::ScriptedResponder script;
  script.AnswerNext(IDNO);
  script.AnswerNext(IDCANCEL);
  EXPECT_EQ(MessageBox(main, "Сохранить изменения?", "Tesmira Road", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBox(main, "Второй", "Tesmira Road", MB_OKCANCEL), IDCANCEL);
  // Unscripted: the default button.
  EXPECT_EQ(MessageBox(nullptr, "Нет активных объектов", "Ошибка", MB_ICONERROR | MB_OK), IDOK);
  EXPECT_EQ(MessageBox(nullptr, "?", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
  ASSERT_EQ(script.Asked().size(), 4u);
  EXPECT_EQ(script.Asked()[0].text, "Сохранить изменения?");
  EXPECT_EQ(script.Asked()[0].caption, "Tesmira Road");
  EXPECT_EQ(script.Asked()[0].owner, main);
  EXPECT_EQ(script.Asked()[0].answers, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
  EXPECT_EQ(script.Asked()[2].style, MB_ICONERROR | MB_OK);
  // The owner was disabled around each question it owned.
  std::vector<Rec> expected{{"main", WM_ENABLE, How::Sent},
                            {"main", WM_ENABLE, How::Sent},
                            {"main", WM_ENABLE, How::Sent},
                            {"main", WM_ENABLE, How::Sent}};
  EXPECT_EQ(rec.Log(), expected);
  EXPECT_TRUE(IsWindowEnabled(main));
  DestroyWindow(main);
}

HGLOBAL Text(const char* s)
{
  HGLOBAL h = GlobalAlloc(GHND, std::strlen(s) + 1);
  std::memcpy(GlobalLock(h), s, std::strlen(s) + 1);
  GlobalUnlock(h);
  return h;
}

TEST(Clipboard, TextBitmapsAndRegisteredFormatsRoundTrip)
{
  UINT custom = RegisterClipboardFormat("Alpha Bitmap Image");
  EXPECT_GE(custom, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("Alpha Bitmap Image"), custom);
  char name[64];
  GetClipboardFormatName(custom, name, sizeof name);
  EXPECT_STREQ(name, "Alpha Bitmap Image");

  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));  // one opener at a time
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Text("Освещенность"));
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  SetClipboardData(CF_BITMAP, bitmap);
  SetClipboardData(custom, Text("x"));
  CloseClipboard();

  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(CountClipboardFormats(), 3);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))), "Освещенность");
  GlobalUnlock(GetClipboardData(CF_TEXT));
  EXPECT_EQ(GetClipboardData(CF_BITMAP), bitmap);
  EXPECT_EQ(EnumClipboardFormats(0), CF_TEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_TEXT), CF_BITMAP);
  EXPECT_EQ(EnumClipboardFormats(CF_BITMAP), custom);
  EXPECT_EQ(EnumClipboardFormats(custom), 0u);
  EmptyClipboard();  // frees what it held
  EXPECT_EQ(CountClipboardFormats(), 0);
  CloseClipboard();
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);  // not open
}

HGLOBAL g_rendered = nullptr;
LRESULT Renderer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_RENDERFORMAT) {
    g_rendered = Text("late");
    SetClipboardData(static_cast<UINT>(wParam), g_rendered);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(Clipboard, APromisedFormatIsRenderedByItsOwnerWhenAskedFor)
{
  WNDCLASS wc;
  wc.lpfnWndProc = &Renderer;
  wc.lpszClassName = "Renderer";
  RegisterClass(&wc);
  HWND owner = CreateWindowEx(0, "Renderer", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  OpenClipboard(owner);
  EmptyClipboard();
  SetClipboardData(CF_TEXT, nullptr);
  CloseClipboard();
  EXPECT_EQ(GetClipboardOwner(), owner);
  OpenClipboard(nullptr);
  HANDLE data = GetClipboardData(CF_TEXT);
  EXPECT_EQ(data, g_rendered);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "late");
  GlobalUnlock(data);
  EmptyClipboard();
  CloseClipboard();
  DestroyWindow(owner);
}

}  // namespace

namespace {

TEST(CommonDialogs, FileNamesColoursAndFontsComeFromTheResponder)
{
  user::ScriptedResponder script;
  // Unscripted, a file dialog is cancelled: nobody chose.
  char file[MAX_PATH] = "проект";
  OPENFILENAME ofn;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrDefExt = "qorr5";
  ofn.lpstrTitle = "Сохранить проект";
  EXPECT_FALSE(GetSaveFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].kind, user::ModalQuestion::Kind::SaveFile);
  EXPECT_EQ(script.Asked()[0].caption, "Сохранить проект");
  EXPECT_EQ(script.Asked()[0].text, "проект");

  user::SetModalResponder([](const user::ModalQuestion& q) {
    if (q.kind == user::ModalQuestion::Kind::SaveFile) {
      q.reply = "/home/user/Дорога";
    } else if (q.kind == user::ModalQuestion::Kind::Color) {
      static_cast<CHOOSECOLOR*>(q.record)->rgbResult = RGB(10, 20, 30);
    }
    return IDOK;
  });
  char title[64];
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = sizeof title;
  EXPECT_TRUE(GetSaveFileName(&ofn));
  EXPECT_STREQ(file, "/home/user/Дорога.qorr5");
  EXPECT_STREQ(title, "Дорога.qorr5");
  EXPECT_EQ(ofn.nFileOffset, 11);
  EXPECT_STREQ(file + ofn.nFileExtension, "qorr5");
  char tiny[8];
  ofn.lpstrFile = tiny;
  ofn.nMaxFile = sizeof tiny;
  EXPECT_FALSE(GetSaveFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);

  CHOOSECOLOR cc;
  cc.rgbResult = RGB(255, 255, 255);
  EXPECT_TRUE(ChooseColor(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(10, 20, 30));
  user::SetModalResponder(nullptr);
}

}  // namespace
