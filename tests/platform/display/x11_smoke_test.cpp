// Under a private Xvfb: a top-level window with a child appears as an X window, takes a click sent through X,
// and a screenshot taken by the presenter shows its pixels.
#include "platform/display/presenter.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include <X11/Xlib.h>

#include "tests/platform/display/x11_server.h"  // Xlib's macros: after everything else

using displaytest::Xvfb;

namespace {

bool g_clicked = false;
POINT g_clickAt{};

LRESULT Painter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(GetWindowLongPtr(hwnd, GWLP_USERDATA) != 0 ? RGB(220, 30, 30) : RGB(30, 30, 200));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_LBUTTONDOWN && GetWindowLongPtr(hwnd, GWLP_USERDATA) != 0) {
    g_clicked = true;
    g_clickAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

void PumpFor(int ms)
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  MSG msg;
  while (std::chrono::steady_clock::now() < deadline) {
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
    }
    if (g_clicked) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TEST(X11Presenter, AWindowWithAChildAppearsTakesAClickAndShowsItsPixels)
{
  Xvfb server;
  if (!server.Start()) {
    GTEST_SKIP() << "no Xvfb";
  }
  auto presenter = display::MakeX11Presenter(server.Name().c_str());
  ASSERT_NE(presenter, nullptr);
  display::Use(std::move(presenter));
  EXPECT_STREQ(display::Current().Name(), "x11");
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);

  WNDCLASS wc;
  wc.lpfnWndProc = &Painter;
  wc.lpszClassName = "SmokePainter";
  RegisterClass(&wc);
  HWND main = CreateWindowEx(0, "SmokePainter", "Tesmira Road", WS_OVERLAPPEDWINDOW, 100, 80, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
  HWND child = CreateWindowEx(0, "SmokePainter", "", WS_CHILD | WS_VISIBLE, 40, 30, 120, 80, main, nullptr, nullptr,
                              nullptr);
  SetWindowLongPtr(child, GWLP_USERDATA, 1);
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
  PumpFor(200);
  display::Current().Flush();

  POINT childCentre{100, 70};
  ClientToScreen(child, &childCentre);
  POINT mainSpot{300, 200};
  ClientToScreen(main, &mainSpot);

  gdi::Surface shot;
  ASSERT_TRUE(display::Current().Capture(shot));
  gdi::SavePng(shot, std::string(TESMIRA_ARTIFACTS_DIR) + "/x11_smoke.png");
  EXPECT_EQ(shot.Pixel(childCentre.x, childCentre.y) & 0xFFFFFFu, 0xDC1E1Eu);  // the child's red
  EXPECT_EQ(shot.Pixel(mainSpot.x, mainSpot.y) & 0xFFFFFFu, 0x1E1EC8u);        // the parent's blue
  EXPECT_EQ(shot.Pixel(5, 5) & 0xFFFFFFu, 0u);                                 // the bare screen

  ASSERT_TRUE(displaytest::SendClick(server.Name(), childCentre.x, childCentre.y));
  PumpFor(5000);
  EXPECT_TRUE(g_clicked);
  EXPECT_EQ(g_clickAt.x, 100);
  EXPECT_EQ(g_clickAt.y, 70);
  DestroyWindow(main);
  display::Current().Flush();
  // The server goes with the test; the screen goes first.
  display::Use(display::MakeNullPresenter());
}

}  // namespace

namespace {

TEST(X11Presenter, AMessageBoxShowsOnTheScreenAndTakesItsAnswerFromTheKeyboard)
{
  Xvfb server;
  if (!server.Start()) {
    GTEST_SKIP() << "no Xvfb";
  }
  display::Use(display::MakeX11Presenter(server.Name().c_str()));
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.lpszClassName = "BoxOwner";
  RegisterClass(&wc);
  HWND owner = CreateWindowEx(0, "BoxOwner", "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400, nullptr,
                              nullptr, nullptr, nullptr);
  // Left moves the focus from the default button (No) to Yes; Enter presses the button with the focus.
  user::InjectKeyPress(VK_LEFT);
  user::InjectKeyPress(VK_RETURN);
  EXPECT_EQ(MessageBox(owner, "Сохранить изменения в проекте?", "Tesmira Road", MB_YESNO | MB_DEFBUTTON2), IDYES);
  user::InjectKeyPress(VK_RETURN);
  EXPECT_EQ(MessageBox(owner, "Сохранить изменения в проекте?", "Tesmira Road", MB_YESNO | MB_DEFBUTTON2), IDNO);
  DestroyWindow(owner);
  display::Use(display::MakeNullPresenter());
}

}  // namespace

namespace {

// UTF-8 text as other programs exchange it (narrow literals here are cp1251).
std::string Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// Another program on the same screen: it reads the clipboard, or owns it and serves its text.
class OtherProgram {
public:
  explicit OtherProgram(const std::string& name) : dpy_(XOpenDisplay(name.c_str()))
  {
    window_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = XInternAtom(dpy_, "CLIPBOARD", 0);
    utf8_ = XInternAtom(dpy_, "UTF8_STRING", 0);
  }
  ~OtherProgram()
  {
    stop_ = true;
    if (server_.joinable()) {
      server_.join();
    }
    XCloseDisplay(dpy_);
  }
  std::string Paste()
  {
    Atom property = XInternAtom(dpy_, "OTHER_PASTE", 0);
    XConvertSelection(dpy_, clipboard_, utf8_, property, window_, CurrentTime);
    XFlush(dpy_);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      XEvent ev;
      if (XCheckTypedWindowEvent(dpy_, window_, SelectionNotify, &ev)) {
        if (ev.xselection.property == 0) {
          return "(refused)";
        }
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(dpy_, window_, property, 0, 1 << 20, 1, AnyPropertyType, &type, &format, &count, &after,
                           &data);
        std::string text(reinterpret_cast<char*>(data), count);
        XFree(data);
        return text;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return "(no answer)";
  }
  void Copy(const std::string& utf8)
  {
    text_ = utf8;
    XSetSelectionOwner(dpy_, clipboard_, window_, CurrentTime);
    XSync(dpy_, 0);  // the server has made it the owner before anyone asks
    server_ = std::thread([this] {
      while (!stop_) {
        XEvent ev;
        if (!XCheckTypedWindowEvent(dpy_, window_, SelectionRequest, &ev)) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
          continue;
        }
        const XSelectionRequestEvent& req = ev.xselectionrequest;
        XChangeProperty(dpy_, req.requestor, req.property, utf8_, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = req.requestor;
        reply.xselection.selection = req.selection;
        reply.xselection.target = req.target;
        reply.xselection.property = req.property;
        reply.xselection.time = req.time;
        XSendEvent(dpy_, req.requestor, 0, 0, &reply);
        XFlush(dpy_);
      }
    });
  }

private:
  Display* dpy_;
  ::Window window_ = 0;
  Atom clipboard_ = 0;
  Atom utf8_ = 0;
  std::string text_;
  std::atomic<bool> stop_{false};
  std::thread server_;
};

TEST(X11Presenter, TheClipboardIsSharedWithOtherPrograms)
{
  Xvfb server;
  if (!server.Start()) {
    GTEST_SKIP() << "no Xvfb";
  }
  display::Use(display::MakeX11Presenter(server.Name().c_str()));
  {
    OtherProgram other(server.Name());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const char* text = "Яркость";
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(h), text, std::strlen(text) + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
    EXPECT_EQ(other.Paste(), Utf8(u8"Яркость"));

    other.Copy(Utf8(u8"Освещенность"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "Освещенность");
    GlobalUnlock(data);
    EmptyClipboard();
    CloseClipboard();
  }
  display::Use(display::MakeNullPresenter());
}

}  // namespace
