// The harness on its own screen: openbox manages the windows, a window of another client is found by its class,
// name and process, and receives the pointer and the keys as X input (Russian letters through the Russian layout),
// and its pixels are read back and saved.
#include "tests/xsession/xsession.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

using namespace xsession;

// Another program's window: plain Xlib, the events it gets kept in order.
class Client {
public:
  Client(const Desktop& screen, const std::string& title, unsigned long colour)
      : dpy_(XOpenDisplay(screen.Name().c_str()))
  {
    // As a program on a desktop: aware of the keyboard's layout groups from its first key on.
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    XkbQueryExtension(dpy_, &opcode, &event, &error, &major, &minor);
    // ... and told when the layout or a key's symbols change.
    const unsigned changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(dpy_, XkbUseCoreKbd, changes, changes);
    XSetWindowAttributes attrs{};
    attrs.background_pixel = colour;
    attrs.event_mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask | ExposureMask |
                       StructureNotifyMask;
    window_ = XCreateWindow(dpy_, DefaultRootWindow(dpy_), 100, 100, 400, 300, 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixel | CWEventMask, &attrs);
    XClassHint hint{const_cast<char*>("probe"), const_cast<char*>("Probe")};
    XSetClassHint(dpy_, window_, &hint);
    XChangeProperty(dpy_, window_, XInternAtom(dpy_, "_NET_WM_NAME", False), XInternAtom(dpy_, "UTF8_STRING", False),
                    8, PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    const long pid = getpid();
    XChangeProperty(dpy_, window_, XInternAtom(dpy_, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapWindow(dpy_, window_);
    XSync(dpy_, False);
  }
  ~Client() { XCloseDisplay(dpy_); }

  XWindow Window() const { return window_; }
  void Paint(unsigned long colour)
  {
    XSetWindowBackground(dpy_, window_, colour);
    XClearWindow(dpy_, window_);
    XSync(dpy_, False);
  }
  // Reads what arrived until `enough` holds of it, for at most two seconds.
  const std::vector<XEvent>& Collect(const std::function<bool(const std::vector<XEvent>&)>& enough)
  {
    WaitUntil(
        [&] {
          while (XPending(dpy_) > 0) {
            XEvent e;
            XNextEvent(dpy_, &e);
            if (e.type == MappingNotify) {
              XRefreshKeyboardMapping(&e.xmapping);
            } else {
              events_.push_back(e);
            }
          }
          return enough(events_);
        },
        2s);
    return events_;
  }
  std::vector<XEvent> Of(int type)
  {
    std::vector<XEvent> found;
    for (const XEvent& e : events_) {
      if (e.type == type) {
        found.push_back(e);
      }
    }
    return found;
  }
  void Forget() { events_.clear(); }
  // The key symbol a key press stands for in the layout group it was pressed in, as a program reads it.
  static KeySym SymbolOf(XKeyEvent key)
  {
    char text[16];
    KeySym sym = NoSymbol;
    XLookupString(&key, text, sizeof text, &sym, nullptr);
    return sym;
  }

private:
  Display* dpy_;
  ::Window window_;
  std::vector<XEvent> events_;
};

std::size_t Count(const std::vector<XEvent>& events, int type)
{
  return static_cast<std::size_t>(std::count_if(events.begin(), events.end(), [&](const XEvent& e) { return e.type == type; }));
}

class XSessionTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string why;
    desktop_ = Desktop::Start({}, &why);
    if (!desktop_) {
      GTEST_SKIP() << why;
    }
  }
  // A managed, shown client window, with the pointer's events of the window manager's mapping behind it.
  std::unique_ptr<Client> Shown(unsigned long colour = 0xFF0000)
  {
    auto client = std::make_unique<Client>(*desktop_, Utf8(U"Проба окна"), colour);
    EXPECT_NE(desktop_->FindWindow(ByClass("probe")), 0u);
    client->Collect([](const std::vector<XEvent>& e) { return Count(e, Expose) > 0; });
    EXPECT_TRUE(desktop_->WaitForStill(desktop_->Geometry(client->Window()), 200ms));
    client->Forget();
    return client;
  }
  std::unique_ptr<Desktop> desktop_;
};

TEST_F(XSessionTest, OpenboxManagesTheWindowsFoundByClassNameAndProcess)
{
  EXPECT_EQ(desktop_->WindowManager(), "Openbox");
  auto client = Shown();
  const XWindow w = client->Window();
  struct Case {
    WindowQuery query;
    bool found;
  };
  const Case cases[] = {
      {ByClass("probe"), true},
      {ByClass("Probe"), true},
      {ByName(Utf8(U"окна")), true},
      {ByClass("probe").Name(Utf8(U"Проба")).Pid(getpid()), true},
      {ByClass("prob"), false},
      {ByName("absent"), false},
      {ByPid(getpid() + 1), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(desktop_->FindWindow(c.query, 300ms), c.found ? w : 0u) << c.query.wmClass << " " << c.query.name;
  }
  // The window manager framed the window: its client area lies where the screen says, at its own size.
  const Rect r = desktop_->Geometry(w);
  EXPECT_EQ(r.width, 400);
  EXPECT_EQ(r.height, 300);
  EXPECT_FALSE(desktop_->LongProperty(w, "WM_STATE").empty());
}

TEST_F(XSessionTest, ThePointerArrivesAsAPersonsClicksDragsAndWheel)
{
  auto client = Shown();
  const Rect r = desktop_->Geometry(client->Window());
  const int x = r.x + 50;
  const int y = r.y + 40;

  desktop_->Click(x, y);
  auto events = client->Collect([](const std::vector<XEvent>& e) { return Count(e, ButtonRelease) >= 1; });
  ASSERT_EQ(client->Of(ButtonPress).size(), 1u);
  EXPECT_EQ(client->Of(ButtonPress)[0].xbutton.x, 50);
  EXPECT_EQ(client->Of(ButtonPress)[0].xbutton.y, 40);
  EXPECT_EQ(client->Of(ButtonPress)[0].xbutton.button, 1u);
  client->Forget();

  desktop_->Drag(x, y, x + 120, y + 60, 1, 6);
  client->Collect([](const std::vector<XEvent>& e) { return Count(e, ButtonRelease) >= 1; });
  const auto moves = client->Of(MotionNotify);
  ASSERT_GE(moves.size(), 5u);
  EXPECT_TRUE(moves.back().xmotion.state & Button1Mask);
  ASSERT_EQ(client->Of(ButtonRelease).size(), 1u);
  EXPECT_EQ(client->Of(ButtonRelease)[0].xbutton.x, 170);
  EXPECT_EQ(client->Of(ButtonRelease)[0].xbutton.y, 100);
  client->Forget();

  struct Turn {
    int clicks;
    unsigned button;
  };
  for (const Turn& t : {Turn{2, 4u}, Turn{-3, 5u}}) {
    desktop_->Wheel(x, y, t.clicks);
    const std::size_t expected = static_cast<std::size_t>(std::abs(t.clicks));
    client->Collect([&](const std::vector<XEvent>& e) { return Count(e, ButtonPress) >= expected; });
    const auto presses = client->Of(ButtonPress);
    ASSERT_EQ(presses.size(), expected) << t.clicks;
    for (const XEvent& e : presses) {
      EXPECT_EQ(e.xbutton.button, t.button);
    }
    client->Forget();
  }
}

TEST_F(XSessionTest, KeysAndTextIncludingRussianThroughTheLayout)
{
  auto client = Shown();
  const Rect r = desktop_->Geometry(client->Window());
  desktop_->Click(r.x + 10, r.y + 10);  // openbox gives the clicked window the keyboard
  client->Collect([](const std::vector<XEvent>& e) { return Count(e, ButtonRelease) >= 1; });
  client->Forget();

  ASSERT_TRUE(desktop_->Key("ctrl+s"));
  client->Collect([](const std::vector<XEvent>& e) { return Count(e, KeyPress) >= 2; });
  auto presses = client->Of(KeyPress);
  ASSERT_EQ(presses.size(), 2u);
  EXPECT_EQ(Client::SymbolOf(presses[1].xkey), static_cast<KeySym>(XK_s));
  EXPECT_TRUE(presses[1].xkey.state & ControlMask);
  client->Forget();
  EXPECT_FALSE(desktop_->Key("ctrl+NoSuchKey"));

  ASSERT_TRUE(desktop_->UseRussianLayout());
  // Latin, and Russian letters in both cases (ё off the letters' block).
  const std::u32string text = U"Az Жук ёЁ";
  const KeySym expected[] = {XK_A, XK_z, XK_space, XK_Cyrillic_ZHE, XK_Cyrillic_u, XK_Cyrillic_ka, XK_space,
                             XK_Cyrillic_io, XK_Cyrillic_IO};
  ASSERT_TRUE(desktop_->Type(text));
  client->Collect([&](const std::vector<XEvent>& e) {
    std::size_t letters = 0;
    for (const XEvent& k : e) {
      letters += k.type == KeyPress && !IsModifierKey(Client::SymbolOf(k.xkey)) ? 1 : 0;
    }
    return letters >= text.size();
  });
  std::vector<KeySym> typed;
  for (const XEvent& k : client->Of(KeyPress)) {
    const KeySym sym = Client::SymbolOf(k.xkey);
    if (!IsModifierKey(sym)) {
      typed.push_back(sym);
    }
  }
  EXPECT_EQ(typed, std::vector<KeySym>(std::begin(expected), std::end(expected)));
  XkbStateRec state{};
  XkbGetState(desktop_->Dpy(), XkbUseCoreKbd, &state);
  EXPECT_EQ(state.group, 0) << "the layout is put back after typing";
  EXPECT_FALSE(desktop_->Type(U"€")) << "no key of the layout types it";
}

TEST_F(XSessionTest, PixelsAreReadBackWaitedForAndSaved)
{
  auto client = Shown(0x2060C0);
  const Rect r = desktop_->Geometry(client->Window());
  Image before = desktop_->GrabWindow(client->Window());
  ASSERT_EQ(before.width, 400);
  ASSERT_EQ(before.height, 300);
  EXPECT_EQ(before.Colours(), 1u);
  EXPECT_EQ(before.At(200, 150), 0x2060C0u);

  // Nothing changes: the wait for a change ends at its bound, saying so.
  EXPECT_FALSE(desktop_->WaitForChange(r, before, 200ms));
  client->Paint(0xE0A020);
  ASSERT_TRUE(desktop_->WaitForChange(r, before, 2s));
  const Image after = desktop_->Grab(r);
  EXPECT_EQ(after.Differences(before), static_cast<std::size_t>(400 * 300));
  EXPECT_EQ(after.At(0, 0), 0xE0A020u);

  const std::string path = std::string(TESMIRA_ARTIFACTS_DIR) + "/xsession-screen.png";
  std::remove(path.c_str());
  ASSERT_TRUE(SavePng(desktop_->GrabScreen(), path));
  std::ifstream file(path, std::ios::binary);
  char signature[8] = {};
  file.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  EXPECT_FALSE(SavePng(Image{}, path + ".empty.png"));
}

TEST(XSessionWait, AWaitEndsAtItsBoundOrWhenReady)
{
  int polls = 0;
  EXPECT_FALSE(WaitUntil([&] { return ++polls < 0; }, 100ms, 10ms));
  EXPECT_GE(polls, 2);
  polls = 0;
  EXPECT_TRUE(WaitUntil([&] { return ++polls == 3; }, 5s, 1ms));
  EXPECT_EQ(polls, 3);
}

TEST(XSessionProgram, AProgramIsStartedWaitedForAndStopped)
{
  Program quick;
  ASSERT_TRUE(quick.Start({"/bin/sh", "-c", "exit $CODE", "sh"}, {"CODE=7"}));
  EXPECT_EQ(quick.Wait(5s), 7);
  EXPECT_FALSE(quick.Alive());

  Program slow;
  ASSERT_TRUE(slow.Start({"/bin/sleep", "30"}));
  EXPECT_TRUE(slow.Alive());
  EXPECT_FALSE(slow.Wait(50ms).has_value());
  EXPECT_EQ(slow.Stop(), 128 + SIGTERM);

  Program missing;
  ASSERT_TRUE(missing.Start({"/no/such/program"}));
  EXPECT_EQ(missing.Wait(5s), 127);
}

}  // namespace
