// Under a private Xvfb, the screen as a person's desktop: Russian typed on the screen's keyboard reaches an edit
// control, a Russian title reaches the screen in UTF-8, the window manager's close and resize reach the window, the
// sideways wheel and the side buttons arrive as their messages, and the keyboard going to another program
// deactivates ours.
#include "platform/display/presenter.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "tests/platform/display/x11_server.h"  // Xlib's macros: after everything else
#include <X11/keysym.h>

using displaytest::Xvfb;

namespace {

// Another client of the screen: a window manager, a keyboard, another program.
class ScreenClient {
public:
  explicit ScreenClient(const std::string& name) : dpy_(XOpenDisplay(name.c_str())) {}
  ~ScreenClient() { XCloseDisplay(dpy_); }
  Display* Dpy() const { return dpy_; }

  // The X window shown at a point of the screen.
  ::Window WindowAt(POINT screen)
  {
    ::Window root = DefaultRootWindow(dpy_);
    ::Window child = 0;
    int x = 0;
    int y = 0;
    XTranslateCoordinates(dpy_, root, root, screen.x, screen.y, &x, &y, &child);
    return child;
  }

  void Button(::Window target, POINT screen, unsigned button)
  {
    int wx = 0;
    int wy = 0;
    ::Window ignored = 0;
    XTranslateCoordinates(dpy_, DefaultRootWindow(dpy_), target, screen.x, screen.y, &wx, &wy, &ignored);
    for (int type : {ButtonPress, ButtonRelease}) {
      XEvent ev{};
      ev.xbutton.type = type;
      ev.xbutton.display = dpy_;
      ev.xbutton.window = target;
      ev.xbutton.root = DefaultRootWindow(dpy_);
      ev.xbutton.x = wx;
      ev.xbutton.y = wy;
      ev.xbutton.x_root = screen.x;
      ev.xbutton.y_root = screen.y;
      ev.xbutton.button = button;
      ev.xbutton.same_screen = 1;
      XSendEvent(dpy_, target, 1, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
    }
    XSync(dpy_, 0);
  }

  // What a window manager sends when its close button is pressed.
  void AskToClose(::Window target)
  {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = target;
    ev.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", 0);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy_, "WM_DELETE_WINDOW", 0));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy_, target, 0, NoEventMask, &ev);
    XSync(dpy_, 0);
  }

private:
  Display* dpy_;
};

// Dispatches what comes until `done` holds or `ms` pass; whether it held.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  MSG msg;
  while (std::chrono::steady_clock::now() < deadline) {
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    if (done()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// What the test's frame heard, as "WM_NAME arg" lines.
std::vector<std::string> g_heard;
bool g_refuseClose = false;

LRESULT Frame(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      HBRUSH brush = CreateSolidBrush(RGB(30, 30, 200));
      FillRect(dc, &client, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      g_heard.push_back("close");
      if (g_refuseClose) {
        return 0;
      }
      break;
    case WM_SIZE:
      g_heard.push_back("size " + std::to_string(LOWORD(lParam)) + "x" + std::to_string(HIWORD(lParam)));
      break;
    case WM_MOUSEHWHEEL: g_heard.push_back("hwheel " + std::to_string(GET_WHEEL_DELTA_WPARAM(wParam))); return 0;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
      g_heard.push_back(std::string(msg == WM_XBUTTONDOWN ? "xdown " : "xup ") +
                        std::to_string(GET_XBUTTON_WPARAM(wParam)));
      return TRUE;
    case WM_MBUTTONDOWN: g_heard.push_back("mdown"); break;
    case WM_DROPFILES: {
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      POINT at{};
      DragQueryPoint(drop, &at);
      std::string line = "drop " + std::to_string(at.x) + "," + std::to_string(at.y);
      char name[MAX_PATH];
      for (UINT i = 0; i < DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0); ++i) {
        DragQueryFile(drop, i, name, MAX_PATH);
        line += std::string(" ") + name;
      }
      DragFinish(drop);
      g_heard.push_back(line);
      return 0;
    }
    case WM_MOUSELEAVE: g_heard.push_back("leave"); break;
    case WM_ACTIVATE: g_heard.push_back(LOWORD(wParam) == WA_INACTIVE ? "inactive" : "active"); break;
    case WM_ACTIVATEAPP: g_heard.push_back(wParam != 0 ? "app on" : "app off"); break;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class X11Desktop : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!server_.Start()) {
      GTEST_SKIP() << "no Xvfb";
    }
    display::Use(display::MakeX11Presenter(server_.Name().c_str()));
    WNDCLASS wc;
    wc.lpfnWndProc = &Frame;
    wc.lpszClassName = "DesktopFrame";
    RegisterClass(&wc);
    g_heard.clear();
    g_refuseClose = false;
    frame_ = CreateWindowEx(0, "DesktopFrame", "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 400, 300,
                            nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(frame_);
    PumpUntil([] { return false; }, 100);
    display::Current().Flush();
    client_.emplace(server_.Name());
    POINT inside{200, 150};
    ClientToScreen(frame_, &inside);
    xFrame_ = client_->WindowAt(inside);
    ASSERT_NE(xFrame_, 0u);
  }
  void TearDown() override
  {
    if (IsWindow(frame_)) {
      DestroyWindow(frame_);
    }
    client_.reset();
    display::Current().Flush();
    display::Use(display::MakeNullPresenter());  // the screen goes before its server
    ActivateKeyboardLayout(kLayoutUS, 0);
  }

  Xvfb server_;
  HWND frame_ = nullptr;
  std::optional<ScreenClient> client_;
  ::Window xFrame_ = 0;
};

TEST_F(X11Desktop, RussianTypedOnTheScreensKeyboardReachesAnEditControlAsCp1251)
{
  HWND edit = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 300, 24,
                             frame_, nullptr, nullptr, nullptr);
  SetFocus(edit);
  // The screen's keyboard becomes Russian: the keys of g h b d t n type п р и в е т, and q types ä, a letter
  // cp1251 lacks.
  Display* dpy = client_->Dpy();
  const std::pair<KeySym, KeySym> keys[] = {
      {XK_g, XK_Cyrillic_pe}, {XK_h, XK_Cyrillic_er}, {XK_b, XK_Cyrillic_i},
      {XK_d, XK_Cyrillic_ve}, {XK_t, XK_Cyrillic_ie}, {XK_n, XK_Cyrillic_te}, {XK_q, XK_adiaeresis},
  };
  std::vector<KeyCode> codes;
  for (const auto& [latin, typed] : keys) {
    codes.push_back(XKeysymToKeycode(dpy, latin));
  }
  for (std::size_t i = 0; i < codes.size(); ++i) {
    KeySym symbols[2] = {keys[i].second, keys[i].second};
    if (keys[i].second >= XK_Cyrillic_yu && keys[i].second <= XK_Cyrillic_hardsign) {
      symbols[1] = keys[i].second + (XK_Cyrillic_YU - XK_Cyrillic_yu);
    } else {
      symbols[1] = XK_Adiaeresis;
    }
    XChangeKeyboardMapping(dpy, codes[i], 2, symbols, 1);
  }
  XSync(dpy, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // every client hears of the new keyboard

  auto type = [&](std::size_t key, unsigned state) {
    const KeyCode code = codes[key];
    for (int t : {KeyPress, KeyRelease}) {
      XEvent ev{};
      ev.xkey.type = t;
      ev.xkey.display = dpy;
      ev.xkey.window = xFrame_;
      ev.xkey.root = DefaultRootWindow(dpy);
      ev.xkey.keycode = code;
      ev.xkey.state = state;
      ev.xkey.same_screen = 1;
      XSendEvent(dpy, xFrame_, 1, t == KeyPress ? KeyPressMask : KeyReleaseMask, &ev);
    }
  };
  type(0, ShiftMask);  // П
  type(1, 0);
  type(6, 0);  // ä: dropped
  for (std::size_t i = 2; i < 6; ++i) {
    type(i, 0);
  }
  XSync(dpy, 0);

  char text[64] = {};
  EXPECT_TRUE(PumpUntil([&] {
    GetWindowText(edit, text, sizeof text);
    return std::string(text).size() >= 6;
  }));
  EXPECT_STREQ(text, "Привет");
  // The layout in force follows the screen's.
  EXPECT_EQ(GetKeyboardLayout(0), kLayoutRussian);

  // Ctrl with a Russian letter is Ctrl and the key, as in any layout: it types no letter. (The key of B, и: Ctrl+A
  // would select the field's text.)
  codes.push_back(codes[2]);
  const KeyCode control = XKeysymToKeycode(dpy, XK_Control_L);
  auto controlKey = [&](int t) {
    XEvent ev{};
    ev.xkey.type = t;
    ev.xkey.display = dpy;
    ev.xkey.window = xFrame_;
    ev.xkey.root = DefaultRootWindow(dpy);
    ev.xkey.keycode = control;
    ev.xkey.state = t == KeyPress ? 0 : ControlMask;
    ev.xkey.same_screen = 1;
    XSendEvent(dpy, xFrame_, 1, t == KeyPress ? KeyPressMask : KeyReleaseMask, &ev);
  };
  controlKey(KeyPress);
  type(codes.size() - 1, ControlMask);
  controlKey(KeyRelease);
  type(codes.size() - 1, 0);
  XSync(dpy, 0);
  EXPECT_TRUE(PumpUntil([&] {
    GetWindowText(edit, text, sizeof text);
    return std::string(text).size() >= 7;
  }));
  EXPECT_STREQ(text, "Привети");

  gdi::Surface shot;
  if (display::Current().Capture(shot)) {
    gdi::SavePng(shot, std::string(TESMIRA_ARTIFACTS_DIR) + "/x11_typed_russian.png");
  }
}

TEST_F(X11Desktop, SwitchingTheScreensLayoutSwitchesOurs)
{
  // The key of A types ф in the second group; the screen switches to it and back, as a layout switch does.
  Display* dpy = client_->Dpy();
  KeySym both[4] = {XK_a, XK_A, XK_Cyrillic_ef, XK_Cyrillic_EF};
  XChangeKeyboardMapping(dpy, XKeysymToKeycode(dpy, XK_a), 4, both, 1);
  XSync(dpy, 0);
  EXPECT_EQ(GetKeyboardLayout(0), kLayoutUS);
  XkbLockGroup(dpy, XkbUseCoreKbd, 1);
  XSync(dpy, 0);
  EXPECT_TRUE(PumpUntil([] { return GetKeyboardLayout(0) == kLayoutRussian; }));
  XkbLockGroup(dpy, XkbUseCoreKbd, 0);
  XSync(dpy, 0);
  EXPECT_TRUE(PumpUntil([] { return GetKeyboardLayout(0) == kLayoutUS; }));
}

// A window manager shows _NET_WM_NAME as the UTF-8 its type says, whatever our own code page.
TEST_F(X11Desktop, TheScreenShowsARussianTitleInUtf8)
{
  SetWindowText(frame_, "\xCF\xF0\xEE\xE5\xEA\xF2 - 1");  // "Проект - 1" in cp1251
  const std::string expected = "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82 - 1";
  std::string shown;
  EXPECT_TRUE(PumpUntil([&] {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(client_->Dpy(), xFrame_, XInternAtom(client_->Dpy(), "_NET_WM_NAME", 0), 0, 256, 0,
                       AnyPropertyType, &type, &format, &count, &after, &data);
    shown = data ? std::string(reinterpret_cast<const char*>(data), count) : std::string();
    if (data)
      XFree(data);
    return shown == expected;
  })) << shown;
}

TEST_F(X11Desktop, TheWindowManagersCloseAsksTheWindowWhichMayRefuse)
{
  g_refuseClose = true;
  client_->AskToClose(xFrame_);
  EXPECT_TRUE(PumpUntil([] { return !g_heard.empty() && g_heard.back() == "close"; }));
  PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(IsWindow(frame_));

  g_refuseClose = false;
  g_heard.clear();
  client_->AskToClose(xFrame_);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(frame_); }));
  EXPECT_EQ(std::count(g_heard.begin(), g_heard.end(), "close"), 1);
}

TEST_F(X11Desktop, AResizeByTheScreenSizesTheWindowAndItsPixelsFollow)
{
  g_heard.clear();
  XResizeWindow(client_->Dpy(), xFrame_, 600, 450);
  XSync(client_->Dpy(), 0);
  RECT r{};
  EXPECT_TRUE(PumpUntil([&] {
    GetWindowRect(frame_, &r);
    return r.Width() == 600 && r.Height() == 450;
  }));
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 80);
  RECT client{};
  GetClientRect(frame_, &client);
  const std::string expected = "size " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
  EXPECT_NE(std::find(g_heard.begin(), g_heard.end(), expected), g_heard.end()) << "no " << expected;

  // The new part of the window shows what the window painted there.
  PumpUntil([] { return false; }, 200);
  display::Current().Flush();
  POINT farCorner{client.right - 10, client.bottom - 10};
  ClientToScreen(frame_, &farCorner);
  gdi::Surface shot;
  ASSERT_TRUE(display::Current().Capture(shot));
  gdi::SavePng(shot, std::string(TESMIRA_ARTIFACTS_DIR) + "/x11_resized_by_screen.png");
  EXPECT_EQ(shot.Pixel(farCorner.x, farCorner.y) & 0xFFFFFFu, 0x1E1EC8u);

  // A move too: the window goes where the screen put it, and stays.
  XMoveWindow(client_->Dpy(), xFrame_, 150, 120);
  XSync(client_->Dpy(), 0);
  EXPECT_TRUE(PumpUntil([&] {
    GetWindowRect(frame_, &r);
    return r.left == 150 && r.top == 120;
  }));
  PumpUntil([] { return false; }, 200);
  GetWindowRect(frame_, &r);
  EXPECT_EQ(r, (RECT{150, 120, 750, 570}));
}

TEST_F(X11Desktop, SidewaysWheelAndSideButtonsArriveAsTheirMessages)
{
  SetFocus(frame_);
  PumpUntil([] { return false; }, 50);
  POINT at{150, 100};
  ClientToScreen(frame_, &at);
  struct Case {
    unsigned button;
    std::vector<std::string> heard;
  };
  const Case cases[] = {
      {6, {"hwheel -120"}},
      {7, {"hwheel 120"}},
      {8, {"xdown 1", "xup 1"}},
      {9, {"xdown 2", "xup 2"}},
      {2, {"mdown"}},
  };
  for (const Case& c : cases) {
    g_heard.clear();
    client_->Button(xFrame_, at, c.button);
    PumpUntil([&] { return g_heard.size() >= c.heard.size(); }, 3000);
    PumpUntil([] { return false; }, 50);
    std::vector<std::string> heard;
    for (const std::string& h : g_heard) {
      if (h != "active" && h != "app on") {
        heard.push_back(h);
      }
    }
    EXPECT_EQ(heard, c.heard) << "button " << c.button;
  }
}

TEST_F(X11Desktop, TheMouseGoingOffOurWindowsTellsAWindowThatTracksIt)
{
  Display* dpy = client_->Dpy();
  POINT inside{150, 100};
  ClientToScreen(frame_, &inside);
  XWarpPointer(dpy, 0, DefaultRootWindow(dpy), 0, 0, 0, 0, inside.x, inside.y);
  XSync(dpy, 0);
  POINT cursor{};
  EXPECT_TRUE(PumpUntil([&] {
    GetCursorPos(&cursor);
    return cursor == inside;
  }));
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = frame_;
  ASSERT_TRUE(TrackMouseEvent(&track));
  g_heard.clear();
  XWarpPointer(dpy, 0, DefaultRootWindow(dpy), 0, 0, 0, 0, 900, 700);  // the bare screen: nothing of ours
  XSync(dpy, 0);
  EXPECT_TRUE(PumpUntil([] { return !g_heard.empty(); }));
  EXPECT_EQ(g_heard, std::vector<std::string>{"leave"});
}

TEST_F(X11Desktop, TheKeyboardGoingToAnotherProgramDeactivatesOursAndComingBackActivatesIt)
{
  SetActiveWindow(frame_);
  XSetInputFocus(client_->Dpy(), xFrame_, RevertToParent, CurrentTime);
  XSync(client_->Dpy(), 0);
  PumpUntil([] { return false; }, 200);
  ASSERT_EQ(GetActiveWindow(), frame_);
  g_heard.clear();

  ::Window other = XCreateSimpleWindow(client_->Dpy(), DefaultRootWindow(client_->Dpy()), 700, 500, 100, 100, 0, 0,
                                       0);
  XMapWindow(client_->Dpy(), other);
  XSync(client_->Dpy(), 0);
  XSetInputFocus(client_->Dpy(), other, RevertToParent, CurrentTime);
  XSync(client_->Dpy(), 0);
  EXPECT_TRUE(PumpUntil([] { return !g_heard.empty() && g_heard.back() == "app off"; }));
  EXPECT_EQ(g_heard, (std::vector<std::string>{"inactive", "app off"}));
  EXPECT_EQ(GetActiveWindow(), nullptr);

  g_heard.clear();
  XSetInputFocus(client_->Dpy(), xFrame_, RevertToParent, CurrentTime);
  XSync(client_->Dpy(), 0);
  EXPECT_TRUE(PumpUntil([] { return GetActiveWindow() != nullptr; }));
  EXPECT_EQ(GetActiveWindow(), frame_);
  EXPECT_EQ(g_heard, (std::vector<std::string>{"app on", "active"}));
}

// A file manager drags two files and a web page over the frame and lets go: the frame, which accepts files,
// reads both files where they fell, and the file manager hears the drop was taken.
TEST_F(X11Desktop, FilesDroppedByAFileManagerReachTheFrame)
{
  DragAcceptFiles(frame_, TRUE);
  Display* dpy = client_->Dpy();
  auto atom = [dpy](const char* name) { return XInternAtom(dpy, name, 0); };
  ::Window source = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
  XSetSelectionOwner(dpy, atom("XdndSelection"), source, CurrentTime);
  auto send = [&](const char* type, long l1, long l2) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = xFrame_;
    ev.xclient.message_type = atom(type);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(source);
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    XSendEvent(dpy, xFrame_, 0, NoEventMask, &ev);
    XSync(dpy, 0);
  };
  const std::string uris = "file:///home/user/%D0%9C%D0%BE%D1%81%D1%82.qorr5\r\nhttp://example.org/\r\n"
                           "file:///tmp/b.qorr4\r\n";
  bool accepted = false;
  std::optional<bool> finished;
  // The file manager's side: it answers the request for the list and hears status and finish.
  auto serve = [&] {
    while (XPending(dpy) > 0) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (ev.type == SelectionRequest) {
        const XSelectionRequestEvent& req = ev.xselectionrequest;
        XChangeProperty(dpy, req.requestor, req.property, req.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(uris.data()), static_cast<int>(uris.size()));
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = req.requestor;
        reply.xselection.selection = req.selection;
        reply.xselection.target = req.target;
        reply.xselection.property = req.property;
        reply.xselection.time = req.time;
        XSendEvent(dpy, req.requestor, 0, NoEventMask, &reply);
        XSync(dpy, 0);
      } else if (ev.type == ClientMessage && ev.xclient.message_type == atom("XdndStatus")) {
        accepted = (ev.xclient.data.l[1] & 1) != 0;
      } else if (ev.type == ClientMessage && ev.xclient.message_type == atom("XdndFinished")) {
        finished = (ev.xclient.data.l[1] & 1) != 0;
      }
    }
  };
  POINT at{30, 40};
  ClientToScreen(frame_, &at);
  send("XdndEnter", 5L << 24, static_cast<long>(atom("text/uri-list")));
  send("XdndPosition", 0, (static_cast<long>(at.x) << 16) | at.y);
  EXPECT_TRUE(PumpUntil([&] { serve(); return accepted; }));
  send("XdndDrop", 0, CurrentTime);
  auto dropped = [] {
    return std::any_of(g_heard.begin(), g_heard.end(), [](const std::string& l) { return l.rfind("drop", 0) == 0; });
  };
  EXPECT_TRUE(PumpUntil([&] { serve(); return finished.has_value() && dropped(); }));
  EXPECT_TRUE(finished.value_or(false));
  std::vector<std::string> drops;
  std::copy_if(g_heard.begin(), g_heard.end(), std::back_inserter(drops),
               [](const std::string& line) { return line.rfind("drop", 0) == 0; });
  EXPECT_EQ(drops, (std::vector<std::string>{"drop 30,40 /home/user/\xCC\xEE\xF1\xF2.qorr5 /tmp/b.qorr4"}));
  XDestroyWindow(dpy, source);
  XSync(dpy, 0);
}

}  // namespace
