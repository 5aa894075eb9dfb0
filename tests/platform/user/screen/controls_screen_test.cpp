// The controls as a person meets them on an X desktop under openbox: clicks through XTEST reach the controls a
// group box frames, arrows repeat while held, edit fields take the keys and the X CLIPBOARD of other programs,
// the glyphs are drawn, and dialogs and message boxes open over their owners. Pictures go to the artifacts folder.
#include "platform/base/codepage.h"
#include "platform/display/presenter.h"
#include "platform/user/common_controls.h"
#include "platform/user/dialog_template.h"
#include "platform/user/user.h"
#include "tests/xsession/xsession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using namespace xsession;
using namespace std::chrono_literals;

constexpr WORD kButton = user::kDialogButton;
constexpr WORD kEdit = user::kDialogEdit;
constexpr WORD kList = user::kDialogListBox;
constexpr WORD kCombo = user::kDialogComboBox;

enum : WORD { kGroup = 100, kCheck, kRadio1, kRadio2, kField, kCount, kSpin, kList2, kListMany, kPick, kCheck3 };

std::string ArtifactPath(const std::string& name)
{
  std::filesystem::create_directories(TESMIRA_ARTIFACTS_DIR);
  return std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name;
}

// Every control kind inside one group box, as the wizard's pages have them.
user::DialogTemplate PageTemplate()
{
  user::DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 260, 150, u"Параметры");
  t.Item(kButton, BS_GROUPBOX, 6, 4, 248, 112, kGroup, u"Опора");
  t.Item(kButton, BS_AUTOCHECKBOX | WS_TABSTOP, 14, 18, 90, 10, kCheck, u"Консоль");
  t.Item(kButton, BS_AUTOCHECKBOX | WS_TABSTOP, 14, 32, 90, 10, kCheck3, u"Пусто");
  t.Item(kButton, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 46, 90, 10, kRadio1, u"Слева");
  t.Item(kButton, BS_AUTORADIOBUTTON, 14, 60, 90, 10, kRadio2, u"Справа");
  t.Item(kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | WS_GROUP, 14, 76, 100, 12, kField, u"");
  t.Item(kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 14, 96, 40, 12, kCount, u"5");
  t.Item(kList, WS_BORDER | WS_VSCROLL | WS_TABSTOP, 130, 18, 56, 30, kList2, u"");
  t.Item(kList, WS_BORDER | WS_VSCROLL | WS_TABSTOP, 192, 18, 56, 30, kListMany, u"");
  t.Item(kCombo, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 130, 60, 118, 60, kPick, u"");
  t.Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 150, 128, 50, 14, IDOK, u"OK");
  t.Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, 204, 128, 50, 14, IDCANCEL, u"Отмена");
  return t;
}

INT_PTR PageProc(HWND dialog, UINT msg, WPARAM, LPARAM)
{
  if (msg == WM_INITDIALOG) {
    for (const char* item : {"Один", "Два"}) {
      SendDlgItemMessage(dialog, kList2, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    for (int i = 1; i <= 12; ++i) {
      const std::string item = "Строка " + std::to_string(i);
      SendDlgItemMessage(dialog, kListMany, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendDlgItemMessage(dialog, kPick, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Прямая"));
    SendDlgItemMessage(dialog, kPick, CB_SETCURSEL, 0, 0);
    return TRUE;
  }
  return FALSE;
}

class ControlsOnScreen : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string why;
    DesktopOptions options;
    options.first = 211;
    options.end = 220;
    desktop_ = Desktop::Start(options, &why);
    if (desktop_ == nullptr) {
      GTEST_SKIP() << why;
    }
    auto presenter = display::MakeX11Presenter(desktop_->Name().c_str());
    ASSERT_NE(presenter, nullptr);
    display::Use(std::move(presenter));
    InitCommonControls();
  }

  void TearDown() override
  {
    if (page_ != nullptr && IsWindow(page_)) {
      DestroyWindow(page_);
      Settle();
    }
  }

  // Runs the program's queue until `done` holds, for at most `bound`.
  static bool Pump(const std::function<bool()>& done, std::chrono::milliseconds bound = 3s)
  {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < end) {
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
      if (done()) {
        return true;
      }
      std::this_thread::sleep_for(10ms);
    }
    return done();
  }

  static void Settle() { Pump([] { return false; }, 300ms); }

  // The page dialog on the screen, found there by its title, and where X shows it.
  HWND OpenPage()
  {
    page_ = CreateDialogIndirectParam(nullptr, PageTemplate().Data(), nullptr, &PageProc, 0);
    EXPECT_NE(page_, nullptr);
    // A spin with its buddy, made as the program's pages make theirs.
    RECT field{};
    GetWindowRect(GetDlgItem(page_, kCount), &field);
    POINT at{field.right, field.top};
    ScreenToClient(page_, &at);
    HWND spin = CreateWindowEx(0, UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, at.x, at.y, 16,
                               field.bottom - field.top, page_, reinterpret_cast<HMENU>(kSpin), nullptr, nullptr);
    SendMessage(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page_, kCount)), 0);
    SendMessage(spin, UDM_SETRANGE32, 0, 100);
    Pump([&] { return desktop_->FindWindow(ByName(Utf8(U"Параметры")), 0ms) != 0; });
    window_ = desktop_->FindWindow(ByName(Utf8(U"Параметры")));
    EXPECT_NE(window_, 0u);
    Settle();
    RECT ours{};
    GetWindowRect(page_, &ours);
    const Rect shown = desktop_->Geometry(window_);
    shift_ = POINT{shown.x - ours.left, shown.y - ours.top};
    return page_;
  }

  // A point of a control (fractions of its width and height) on the X screen.
  POINT On(HWND control, double fx = 0.5, double fy = 0.5) const
  {
    RECT r{};
    GetWindowRect(control, &r);
    return POINT{r.left + static_cast<int>((r.right - r.left) * fx) + shift_.x,
                 r.top + static_cast<int>((r.bottom - r.top) * fy) + shift_.y};
  }

  void Click(HWND control, double fx = 0.5, double fy = 0.5, int count = 1)
  {
    const POINT p = On(control, fx, fy);
    desktop_->Click(p.x, p.y, 1, count);
    Settle();
  }

  Image Picture(HWND control) const
  {
    RECT r{};
    GetWindowRect(control, &r);
    return desktop_->Grab(Rect{r.left + shift_.x, r.top + shift_.y, r.right - r.left, r.bottom - r.top});
  }

  std::string Text(int id) const
  {
    char text[256] = {};
    GetDlgItemText(page_, id, text, sizeof text);
    return text;
  }

  std::unique_ptr<Desktop> desktop_;
  HWND page_ = nullptr;
  XWindow window_ = 0;
  POINT shift_{};
};

TEST_F(ControlsOnScreen, ClicksReachTheControlsAGroupBoxFrames)
{
  HWND page = OpenPage();
  HWND field = GetDlgItem(page, kField);
  struct Case {
    const char* what;
    std::function<void()> act;
    std::function<bool()> holds;
  };
  const Case cases[] = {
      {"a check box ticks", [&] { Click(GetDlgItem(page, kCheck), 0.05); },
       [&] { return IsDlgButtonChecked(page, kCheck) == BST_CHECKED; }},
      {"and clears again", [&] { Click(GetDlgItem(page, kCheck), 0.5); },
       [&] { return IsDlgButtonChecked(page, kCheck) == BST_UNCHECKED; }},
      {"a radio button takes its group's mark", [&] { Click(GetDlgItem(page, kRadio2), 0.05); },
       [&] { return IsDlgButtonChecked(page, kRadio2) == BST_CHECKED && IsDlgButtonChecked(page, kRadio1) == 0; }},
      {"its neighbour takes it back", [&] { Click(GetDlgItem(page, kRadio1), 0.3); },
       [&] { return IsDlgButtonChecked(page, kRadio1) == BST_CHECKED && IsDlgButtonChecked(page, kRadio2) == 0; }},
      {"an edit field takes the focus", [&] { Click(field, 0.5); }, [&] { return GetFocus() == field; }},
      {"the spin's upper arrow steps up", [&] { Click(GetDlgItem(page, kSpin), 0.5, 0.25); },
       [&] { return Text(kCount) == "6"; }},
      {"its lower arrow steps down", [&] { Click(GetDlgItem(page, kSpin), 0.5, 0.75); },
       [&] { return Text(kCount) == "5"; }},
  };
  for (const Case& c : cases) {
    c.act();
    EXPECT_TRUE(Pump(c.holds, 2s)) << c.what;
  }
  // Typed where the click put the caret: at the end of what the field holds.
  SetDlgItemText(page, kField, "12");
  Click(field, 0.9);
  desktop_->Type(U"3");
  EXPECT_TRUE(Pump([&] { return Text(kField) == "123"; })) << Text(kField);
  Click(field, 0.01);
  desktop_->Type(U"0");
  EXPECT_TRUE(Pump([&] { return Text(kField) == "0123"; })) << Text(kField);
}

TEST_F(ControlsOnScreen, AHeldSpinArrowRepeatsUntilReleased)
{
  HWND page = OpenPage();
  const POINT up = On(GetDlgItem(page, kSpin), 0.5, 0.25);
  desktop_->MoveTo(up.x, up.y);
  desktop_->Press();
  Pump([] { return false; }, 1500ms);
  desktop_->Release();
  Settle();
  const int held = std::atoi(Text(kCount).c_str());
  EXPECT_GT(held, 8) << "one press steps once; a held one repeats";
  Pump([] { return false; }, 500ms);
  EXPECT_EQ(std::atoi(Text(kCount).c_str()), held) << "nothing more once released";
}

TEST_F(ControlsOnScreen, EditKeysSelectAllAndWords)
{
  HWND page = OpenPage();
  HWND field = GetDlgItem(page, kField);
  SetDlgItemText(page, kField, "12 34");
  Click(field, 0.5);
  ASSERT_TRUE(desktop_->Key("ctrl+a"));
  desktop_->Type(U"7");
  EXPECT_TRUE(Pump([&] { return Text(kField) == "7"; })) << "typing after Ctrl+A replaces: " << Text(kField);

  SetDlgItemText(page, kField, "alpha beta gamma");
  // A double click on "beta" (the field's text starts 2 pixels in).
  HDC dc = GetDC(field);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(field, WM_GETFONT, 0, 0)));
  SIZE before{};
  SIZE word{};
  GetTextExtentPoint32(dc, "alpha ", 6, &before);
  GetTextExtentPoint32(dc, "be", 2, &word);
  SelectObject(dc, old);
  ReleaseDC(field, dc);
  RECT client{};
  GetWindowRect(field, &client);
  const POINT inside = On(field, 0, 0.5);
  desktop_->Click(inside.x + 2 + 1 + before.cx + word.cx, inside.y, 1, 2);
  DWORD from = 0;
  DWORD to = 0;
  EXPECT_TRUE(Pump([&] {
    SendMessage(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return from == 6 && to == 10;
  })) << from << ".." << to;
}

// Another program on the screen: owns the CLIPBOARD with a text, or asks for the one offered.
class OtherProgram {
public:
  explicit OtherProgram(const Desktop& desktop) : dpy_(XOpenDisplay(desktop.Name().c_str()))
  {
    window_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = XInternAtom(dpy_, "CLIPBOARD", False);
    utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
    targets_ = XInternAtom(dpy_, "TARGETS", False);
    property_ = XInternAtom(dpy_, "TESMIRA_TEST", False);
  }
  ~OtherProgram()
  {
    StopServing();
    XCloseDisplay(dpy_);
  }

  // Owns the CLIPBOARD with `utf8` and answers for it on a thread of its own, as a program apart would.
  void Own(const std::string& utf8)
  {
    StopServing();
    text_ = utf8;
    XSetSelectionOwner(dpy_, clipboard_, window_, CurrentTime);
    XSync(dpy_, False);
    stop_ = false;
    server_ = std::thread([this] {
      while (!stop_) {
        Serve();
        std::this_thread::sleep_for(5ms);
      }
    });
  }

  void StopServing()
  {
    stop_ = true;
    if (server_.joinable()) {
      server_.join();
    }
  }

private:
  void Serve()
  {
    while (XPending(dpy_) > 0) {
      XEvent e;
      XNextEvent(dpy_, &e);
      if (e.type != SelectionRequest) {
        continue;
      }
      const XSelectionRequestEvent& req = e.xselectionrequest;
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = req.requestor;
      reply.xselection.selection = req.selection;
      reply.xselection.target = req.target;
      reply.xselection.time = req.time;
      reply.xselection.property = None;
      if (req.target == utf8_) {
        XChangeProperty(dpy_, req.requestor, req.property, utf8_, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
        reply.xselection.property = req.property;
      }
      XSendEvent(dpy_, req.requestor, False, 0, &reply);
      XFlush(dpy_);
    }
  }

public:
  // The CLIPBOARD's text as UTF-8, asked of its owner; none when it gave nothing within the bound.
  std::optional<std::string> Read(const std::function<void()>& meanwhile)
  {
    XDeleteProperty(dpy_, window_, property_);
    XConvertSelection(dpy_, clipboard_, utf8_, property_, window_, CurrentTime);
    XFlush(dpy_);
    std::optional<std::string> got;
    const auto end = std::chrono::steady_clock::now() + 3s;
    while (!got && std::chrono::steady_clock::now() < end) {
      meanwhile();
      while (XPending(dpy_) > 0) {
        XEvent e;
        XNextEvent(dpy_, &e);
        if (e.type == SelectionNotify && e.xselection.property != None) {
          Atom type = 0;
          int format = 0;
          unsigned long count = 0;
          unsigned long after = 0;
          unsigned char* data = nullptr;
          XGetWindowProperty(dpy_, window_, property_, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count,
                             &after, &data);
          got = std::string(reinterpret_cast<char*>(data), count);
          XFree(data);
        } else if (e.type == SelectionNotify) {
          return std::nullopt;
        }
      }
      std::this_thread::sleep_for(10ms);
    }
    return got;
  }

private:
  Display* dpy_;
  ::Window window_ = 0;
  Atom clipboard_ = 0;
  Atom utf8_ = 0;
  Atom targets_ = 0;
  Atom property_ = 0;
  std::string text_;
  std::atomic<bool> stop_{true};
  std::thread server_;
};

TEST_F(ControlsOnScreen, EditFieldsCopyToAndPasteFromOtherPrograms)
{
  HWND page = OpenPage();
  HWND field = GetDlgItem(page, kField);
  OtherProgram other(*desktop_);
  struct Case {
    const char* chord;
    const char* start;  // cp1251
    std::u32string copied;
  };
  // Copy and cut give the selection to the other program, in UTF-8.
  const Case gives[] = {
      {"ctrl+c", "Опора 12", U"Опора 12"},
      {"ctrl+Insert", "Консоль", U"Консоль"},
      {"ctrl+x", "Вырезать", U"Вырезать"},
      {"shift+Delete", "Снова", U"Снова"},
  };
  for (const Case& c : gives) {
    SetDlgItemText(page, kField, c.start);
    Click(field, 0.5);
    desktop_->Key("ctrl+a");
    desktop_->Key(c.chord);
    Settle();
    const std::optional<std::string> read = other.Read([] { Settle(); });
    EXPECT_EQ(read.value_or("(nothing)"), Utf8(c.copied)) << c.chord;
    const bool cut = std::string(c.chord) == "ctrl+x" || std::string(c.chord) == "shift+Delete";
    EXPECT_EQ(Text(kField), cut ? "" : c.start) << c.chord;
  }
  // Pasting takes what the other program owns, in cp1251.
  for (const char* chord : {"ctrl+v", "shift+Insert"}) {
    SetDlgItemText(page, kField, "");
    other.Own(Utf8(U"Мачта 7"));
    Click(field, 0.5);
    desktop_->Key(chord);
    EXPECT_TRUE(Pump([&] { return Text(kField) == codepage::Utf8ToCp1251(Utf8(U"Мачта 7")); }))
        << chord << ": " << codepage::Cp1251ToUtf8(Text(kField));
  }
}

// Glyphs: each control is pictured, and the tell-tale pixels checked.
TEST_F(ControlsOnScreen, ControlsAreDrawnWithTheirGlyphs)
{
  HWND page = OpenPage();
  CheckDlgButton(page, kCheck, BST_CHECKED);
  CheckDlgButton(page, kCheck3, BST_UNCHECKED);
  CheckRadioButton(page, kRadio1, kRadio2, kRadio2);
  Settle();
  const Image whole = desktop_->GrabWindow(window_);
  ASSERT_FALSE(whole.Empty());
  SavePng(whole, ArtifactPath("controls_glyphs.png"));

  auto box = [&](int id) {
    // The 13-pixel mark at the control's left, centred down it.
    RECT r{};
    GetWindowRect(GetDlgItem(page, id), &r);
    const int top = r.top + ((r.bottom - r.top) - 13) / 2;
    return desktop_->Grab(Rect{r.left + shift_.x, top + shift_.y, 13, 13});
  };
  auto dark = [](const Image& im, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const std::uint32_t p = im.At(x, y);
        n += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 200 ? 1 : 0;
      }
    }
    return n;
  };
  const Image ticked = box(kCheck);
  const Image clear = box(kCheck3);
  // A tick marks some of the box's inside, not all of it.
  const int tick = dark(ticked, 3, 3, 10, 10) - dark(clear, 3, 3, 10, 10);
  EXPECT_GT(tick, 6) << "the tick is drawn";
  EXPECT_LT(tick, 40) << "a tick, not a filled square";
  // A radio mark is round: its corners show the dialog behind it.
  const Image radio = box(kRadio2);
  const COLORREF system = GetSysColor(COLOR_BTNFACE);
  const std::uint32_t face = (GetRValue(system) << 16) | (GetGValue(system) << 8) | GetBValue(system);
  EXPECT_EQ(radio.At(0, 0), face);
  EXPECT_EQ(radio.At(12, 12), face);
  EXPECT_GT(dark(radio, 4, 4, 9, 9), 8) << "the chosen one has its dot";

  // Arrows: the spin's, the combo's, the long list's bar; a short list has no bar at all.
  auto arrowDrawn = [&](const Image& im) { return dark(im, 2, 2, im.width - 2, im.height - 2) > 3; };
  const Image spin = Picture(GetDlgItem(page, kSpin));
  EXPECT_TRUE(arrowDrawn(Image{spin.width, spin.height / 2,
                               std::vector<std::uint32_t>(spin.pixels.begin(),
                                                          spin.pixels.begin() + spin.width * (spin.height / 2))}));
  RECT combo{};
  GetWindowRect(GetDlgItem(page, kPick), &combo);
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  const Image drop =
      desktop_->Grab(Rect{combo.right - bar + shift_.x, combo.top + shift_.y, bar, combo.bottom - combo.top});
  EXPECT_TRUE(arrowDrawn(drop)) << "the combo's drop arrow";
  RECT many{};
  GetWindowRect(GetDlgItem(page, kListMany), &many);
  const Image up = desktop_->Grab(Rect{many.right - 1 - bar + shift_.x, many.top + 1 + shift_.y, bar, bar});
  EXPECT_TRUE(arrowDrawn(up)) << "the long list's scroll arrow";
  // It points up: its broad row lies below its tip.
  EXPECT_GT(dark(up, 2, up.height / 2, up.width - 2, up.height - 2), dark(up, 2, 2, up.width - 2, up.height / 2));
  EXPECT_GT(dark(drop, 2, 2, drop.width - 2, drop.height / 2), dark(drop, 2, drop.height / 2, drop.width - 2,
                                                                     drop.height - 2))
      << "the combo's arrow points down";
  EXPECT_EQ(GetWindowLong(GetDlgItem(page, kList2), GWL_STYLE) & WS_VSCROLL, 0) << "two items fit: no bar";
  EXPECT_NE(GetWindowLong(GetDlgItem(page, kListMany), GWL_STYLE) & WS_VSCROLL, 0);
}

TEST_F(ControlsOnScreen, AMessageBoxOpensCentredOverItsDialogWithItsIcon)
{
  HWND page = OpenPage();
  // The dialog away from the screen's corner.
  SetWindowPos(page, nullptr, 700, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Settle();
  struct Case {
    const char* picture;
    UINT type;
    int answer;
    std::uint32_t iconColour;  // the icon's main colour, seen at its left
  };
  const Case cases[] = {
      {"message_box_error.png", MB_OK | MB_ICONERROR, IDOK, 0xD03020},
      {"message_box_question.png", MB_YESNO | MB_ICONQUESTION, IDYES, 0x2050C0},
      {"message_box_over_dialog.png", MB_OK | MB_ICONEXCLAMATION, IDOK, 0xF0C020},
      {"message_box_information.png", MB_OK | MB_ICONINFORMATION, IDOK, 0x2050C0},
  };
  for (const Case& c : cases) {
    std::atomic<bool> seen{false};
    Rect boxShown{};
    Rect pageShown{};
    Image box;
    std::thread person([&] {
      const XWindow shown = desktop_->FindWindow(ByName(Utf8(U"Внимание")), 10s);
      if (shown == 0) {
        return;
      }
      desktop_->WaitForStill(desktop_->Geometry(shown), 300ms, 5s);
      boxShown = desktop_->Geometry(shown);
      pageShown = desktop_->Geometry(window_);
      box = desktop_->GrabWindow(shown);
      SavePng(desktop_->Grab(Rect{pageShown.x - 40, pageShown.y - 40, pageShown.width + 80, pageShown.height + 80}),
              ArtifactPath(c.picture));
      seen = true;
      desktop_->Key("Return");
    });
    const int answer = MessageBox(page, "Введите целое число.", "Внимание", c.type);
    person.join();
    ASSERT_TRUE(seen) << c.picture;
    EXPECT_EQ(answer, c.answer) << c.picture;
    const int dx = (boxShown.x + boxShown.width / 2) - (pageShown.x + pageShown.width / 2);
    const int dy = (boxShown.y + boxShown.height / 2) - (pageShown.y + pageShown.height / 2);
    EXPECT_LE(std::abs(dx), 2) << c.picture << ": centred across its dialog";
    EXPECT_LE(std::abs(dy), 2) << c.picture << ": centred down it";
    // The icon's colour in the box's left part, below the caption.
    bool icon = false;
    for (int y = 20; y < std::min(box.height, 80) && !icon; ++y) {
      for (int x = 0; x < std::min(box.width, 60) && !icon; ++x) {
        icon = box.At(x, y) == c.iconColour;
      }
    }
    EXPECT_TRUE(icon) << c.picture;
    Settle();
  }
}

TEST_F(ControlsOnScreen, ADialogCentredOverItsOwnerStaysOnTheScreen)
{
  HWND page = OpenPage();
  struct Case {
    const char* what;
    POINT ownerAt;
  };
  const Case cases[] = {{"in the middle", {500, 300}}, {"at the right edge", {1450, 300}}, {"below", {500, 900}}};
  for (const Case& c : cases) {
    SetWindowPos(page, nullptr, c.ownerAt.x, c.ownerAt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Settle();
    user::DialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | WS_VISIBLE, 120, 50, u"Шаг");
    HWND step = CreateDialogIndirectParam(nullptr, t.Data(), page, nullptr, 0);
    ASSERT_NE(step, nullptr);
    Settle();
    const XWindow shown = desktop_->FindWindow(ByName(Utf8(U"Шаг")), 5s);
    ASSERT_NE(shown, 0u);
    desktop_->WaitForStill(desktop_->Geometry(shown), 200ms, 3s);
    const Rect at = desktop_->Geometry(shown);
    EXPECT_GE(at.x, 0) << c.what;
    EXPECT_GE(at.y, 0) << c.what;
    EXPECT_LE(at.x + at.width, desktop_->Width()) << c.what;
    EXPECT_LE(at.y + at.height, desktop_->Height()) << c.what;
    RECT owner{};
    GetWindowRect(page, &owner);
    const int ownerMiddle = (owner.left + owner.right) / 2 + shift_.x;
    if (std::string(c.what) == "in the middle") {
      EXPECT_LE(std::abs(at.x + at.width / 2 - ownerMiddle), 2) << "over its owner, not in a corner";
    }
    DestroyWindow(step);
    Settle();
  }
}

}  // namespace
