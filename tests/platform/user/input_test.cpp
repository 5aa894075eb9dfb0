// Mouse and keyboard through the queue: where clicks land, capture, focus, the key-state table, key messages and
// their bits, characters, double clicks, and hover and leave tracking.
#include "platform/base/clock.h"
#include "platform/user/user.h"
#include "tests/platform/user/recorder.h"

#include <gtest/gtest.h>

using usertest::How;
using usertest::Rec;
using usertest::Recorder;

namespace {

struct Tree {
  Recorder rec;
  HWND main = nullptr;
  HWND panel = nullptr;
  HWND button = nullptr;
  HWND hidden = nullptr;
  HWND cover = nullptr;

  // main (0,0)-(400,300) popup
  //   panel at (50,50) 200x150, with: button at (10,10) 50x30, hidden at (100,10) 50x30 (not shown)
  //   cover at (200,100) 100x100, a later sibling of the panel (below it in z-order), overlapping it
  Tree()
  {
    main = rec.Create("main", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 400, 300});
    panel = rec.Create("panel", WS_CHILD | WS_VISIBLE, main, RECT{50, 50, 250, 200});
    button = rec.Create("button", WS_CHILD | WS_VISIBLE, panel, RECT{10, 10, 60, 40});
    hidden = rec.Create("hidden", WS_CHILD, panel, RECT{100, 10, 150, 40});
    cover = rec.Create("cover", WS_CHILD | WS_VISIBLE, main, RECT{200, 100, 300, 200});
    rec.Pump();
    rec.Clear();
    rec.Only({WM_LBUTTONDOWN});
  }
  ~Tree() { DestroyWindow(main); }

  std::string Clicked(POINT screen)
  {
    rec.Clear();
    user::InjectClick(screen);
    rec.Pump();
    auto log = rec.Log();
    return log.empty() ? "nobody" : log.front().window;
  }
};

TEST(Input, AClickReachesTheRightWindowOfANestedTree)
{
  Tree t;
  struct Case {
    POINT at;
    const char* expected;
  };
  const Case cases[] = {
      {{65, 65}, "button"},    // inside the button, two levels down
      {{160, 65}, "panel"},    // where the hidden child would be
      {{220, 150}, "panel"},   // panel and cover overlap; the panel is above
      {{280, 180}, "cover"},   // only the cover
      {{20, 20}, "main"},      // the parent itself
      {{500, 500}, "nobody"},  // outside every window
  };
  for (const Case& c : cases) {
    EXPECT_EQ(t.Clicked(c.at), c.expected) << c.at.x << "," << c.at.y;
  }
}

TEST(Input, ClickCarriesClientCoordinatesAndKeys)
{
  Tree t;
  MSG got{};
  user::InjectMouseMove(POINT{70, 72});
  user::InjectMouseButton(VK_LBUTTON, true);
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_LBUTTONDOWN) {
      got = msg;
    }
    DispatchMessage(&msg);
  }
  EXPECT_EQ(got.hwnd, t.button);
  EXPECT_EQ(GET_X_LPARAM(got.lParam), 10);
  EXPECT_EQ(GET_Y_LPARAM(got.lParam), 12);
  EXPECT_EQ(got.wParam, MK_LBUTTON);
  EXPECT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
  user::InjectMouseButton(VK_LBUTTON, false);
  t.rec.Pump();
  EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000);
}

LRESULT TransparentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCHITTEST) {
    return HTTRANSPARENT;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(Input, ATransparentWindowLetsTheClickThroughToTheOneBelow)
{
  Tree t;
  WNDCLASS wc;
  wc.lpfnWndProc = &TransparentProc;
  wc.lpszClassName = "Transparent";
  RegisterClass(&wc);
  // Above the panel in z-order, over the button.
  HWND glass = CreateWindowEx(0, "Transparent", "", WS_CHILD | WS_VISIBLE, 40, 40, 100, 100, t.main, nullptr, nullptr,
                              nullptr);
  SetWindowPos(glass, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(WindowFromPoint(POINT{65, 65}), t.button);
  EXPECT_EQ(t.Clicked(POINT{65, 65}), "button");
}

TEST(Input, CaptureTakesTheMouseEverywhereAndHearsWhenItIsTaken)
{
  Tree t;
  t.rec.Only({WM_LBUTTONDOWN, WM_CAPTURECHANGED});
  SetCapture(t.button);
  EXPECT_EQ(GetCapture(), t.button);
  EXPECT_EQ(t.Clicked(POINT{390, 290}), "button");
  t.rec.Clear();
  SetCapture(t.cover);
  EXPECT_EQ(t.rec.Log(), (std::vector<Rec>{{"button", WM_CAPTURECHANGED, How::Sent}}));
  t.rec.Clear();
  ReleaseCapture();
  EXPECT_EQ(t.rec.Log(), (std::vector<Rec>{{"cover", WM_CAPTURECHANGED, How::Sent}}));
  EXPECT_EQ(GetCapture(), nullptr);
}

// A drag loop as the toolkit writes them: it runs until the capture is gone.
TEST(Input, AModalLoopEndsWhenCaptureIsLost)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  Tree t;
  SetCapture(t.panel);
  SetTimer(t.main, 1, 100, [](HWND, UINT, UINT_PTR, DWORD) { ReleaseCapture(); });
  int turns = 0;
  MSG msg;
  while (GetCapture() == t.panel) {
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      clock.Advance(10);
      continue;
    }
    ++turns;
    DispatchMessage(&msg);
  }
  EXPECT_EQ(clock.NowMs(), 100u);
  EXPECT_EQ(turns, 1);
  KillTimer(t.main, 1);
}

TEST(Input, FocusMovesWithKillThenSetAndKeysGoToTheFocus)
{
  Tree t;
  t.rec.Only({WM_SETFOCUS, WM_KILLFOCUS, WM_KEYDOWN, WM_KEYUP});
  SetFocus(t.button);
  t.rec.Clear();
  EXPECT_EQ(SetFocus(t.cover), t.button);
  EXPECT_EQ(t.rec.Log(), (std::vector<Rec>{{"button", WM_KILLFOCUS, How::Sent}, {"cover", WM_SETFOCUS, How::Sent}}));
  t.rec.Clear();
  user::InjectKeyPress(VK_F5);
  t.rec.Pump();
  EXPECT_EQ(t.rec.Log(),
            (std::vector<Rec>{{"cover", WM_KEYDOWN, How::Posted}, {"cover", WM_KEYUP, How::Posted}}));
}

TEST(Input, KeyMessagesCarryScanCodesRepeatAndTransitionBits)
{
  Tree t;
  SetFocus(t.button);
  t.rec.Pump();
  struct Case {
    UINT vk;
    bool down;
    UINT message;
    LPARAM lParam;
  };
  const Case cases[] = {
      {VK_F5, true, WM_KEYDOWN, 0x003F0001},
      {VK_F5, true, WM_KEYDOWN, 0x403F0001},  // held: auto-repeat, previous state down
      {VK_F5, false, WM_KEYUP, static_cast<LPARAM>(0xC03F0001u)},
      {VK_RETURN, true, WM_KEYDOWN, 0x001C0001},
      {VK_RETURN, false, WM_KEYUP, static_cast<LPARAM>(0xC01C0001u)},
      {VK_LEFT, true, WM_KEYDOWN, 0x014B0001},  // extended key
      {VK_LEFT, false, WM_KEYUP, static_cast<LPARAM>(0xC14B0001u)},
      {VK_MENU, true, WM_SYSKEYDOWN, 0x20380001},
      {'X', true, WM_SYSKEYDOWN, 0x202D0001},  // Alt+X
      {'X', false, WM_SYSKEYUP, static_cast<LPARAM>(0xE02D0001u)},
      {VK_MENU, false, WM_SYSKEYUP, static_cast<LPARAM>(0xC0380001u)},
      {VK_F10, true, WM_SYSKEYDOWN, 0x00440001},
      {VK_F10, false, WM_SYSKEYUP, static_cast<LPARAM>(0xC0440001u)},
  };
  for (const Case& c : cases) {
    user::InjectKey(c.vk, c.down);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, t.button);
    EXPECT_EQ(msg.message, c.message) << c.vk;
    EXPECT_EQ(static_cast<DWORD>(msg.lParam), static_cast<DWORD>(c.lParam)) << c.vk;
  }
}

TEST(Input, TheKeyStateTableFollowsTakenMessagesNotTheKeyboard)
{
  Tree t;
  SetFocus(t.button);
  t.rec.Pump();
  user::InjectKey(VK_SHIFT, true);
  EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);  // not taken yet
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
  EXPECT_TRUE(GetKeyState(VK_LSHIFT) & 0x8000);
  user::InjectKey(VK_SHIFT, false);
  t.rec.Pump();
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
  // Caps Lock toggles on each press.
  user::InjectKeyPress(VK_CAPITAL);
  t.rec.Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  user::InjectKeyPress(VK_CAPITAL);
  t.rec.Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
}

TEST(Input, TranslateMessageMakesCharactersFromKeysAndShift)
{
  Tree t;
  SetFocus(t.button);
  t.rec.Pump();
  t.rec.Only({WM_CHAR, WM_SYSCHAR});
  std::string typed;
  auto collect = [&] {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      if (msg.message == WM_CHAR) {
        typed += static_cast<char>(msg.wParam);
      }
      DispatchMessage(&msg);
    }
  };
  user::InjectKeyPress('A');
  collect();
  user::InjectKey(VK_SHIFT, true);
  user::InjectKeyPress('B');
  user::InjectKeyPress('1');
  user::InjectKey(VK_SHIFT, false);
  user::InjectKeyPress(VK_OEM_PERIOD);
  user::InjectKeyPress(VK_RETURN);
  collect();
  EXPECT_EQ(typed, "aB!.\r");
}

TEST(Input, DoubleClicksOnlyForClassesThatAskAndOnlyInTime)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  Recorder rec;
  rec.Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
  HWND plain = rec.Create("plain", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
  HWND dbl = rec.Create("dbl", WS_POPUP | WS_VISIBLE, nullptr, RECT{200, 0, 300, 100}, 0,
                        Recorder::DoubleClickClassName());
  auto twice = [&](POINT at, std::uint64_t gap) {
    rec.Clear();
    user::InjectClick(at);
    clock.Advance(gap);
    user::InjectClick(at);
    clock.Advance(1000);
    rec.Pump();
    std::vector<UINT> out;
    for (const Rec& r : rec.Log()) {
      out.push_back(r.message);
    }
    return out;
  };
  EXPECT_EQ(twice(POINT{50, 50}, 100), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  EXPECT_EQ(twice(POINT{250, 50}, 100), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
  EXPECT_EQ(twice(POINT{250, 50}, 600), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  DestroyWindow(plain);
  DestroyWindow(dbl);
}

TEST(Input, TrackMouseEventHoverAfterItsTimeAndLeaveWhenTheMouseGoes)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  Tree t;
  t.rec.Only({WM_MOUSEHOVER, WM_MOUSELEAVE});
  user::InjectMouseMove(POINT{20, 20});
  t.rec.Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_HOVER | TME_LEAVE;
  tme.hwndTrack = t.main;
  tme.dwHoverTime = HOVER_DEFAULT;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  clock.Advance(399);
  t.rec.Pump();
  EXPECT_TRUE(t.rec.Log().empty());
  clock.Advance(1);
  t.rec.Pump();
  EXPECT_EQ(t.rec.Log(), (std::vector<Rec>{{"main", WM_MOUSEHOVER, How::Posted}}));
  t.rec.Clear();
  user::InjectMouseMove(POINT{65, 65});  // onto the button: the main window is left
  t.rec.Pump();
  EXPECT_EQ(t.rec.Log(), (std::vector<Rec>{{"main", WM_MOUSELEAVE, How::Posted}}));
  tme.dwFlags = TME_QUERY;
  TrackMouseEvent(&tme);
  EXPECT_EQ(tme.hwndTrack, nullptr);
}

TEST(Input, DisabledWindowsTakeNoClicksAndNoFocus)
{
  Tree t;
  SetFocus(t.button);
  EnableWindow(t.button, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(t.Clicked(POINT{65, 65}), "panel");
  EnableWindow(t.main, FALSE);
  EXPECT_EQ(t.Clicked(POINT{20, 20}), "nobody");
  EnableWindow(t.main, TRUE);
}

}  // namespace

namespace {

TEST(Input, TheWheelGoesToTheFocusAndClimbsToAParentThatWantsIt)
{
  Tree t;
  t.rec.Only({WM_MOUSEWHEEL});
  t.rec.Answer("main", WM_MOUSEWHEEL, 0);  // the top handles it; the children pass it up by default
  SetFocus(t.button);
  t.rec.Pump();
  t.rec.Clear();
  user::InjectMouseWheel(-WHEEL_DELTA);
  t.rec.Pump();
  std::vector<Rec> expected{{"button", WM_MOUSEWHEEL, How::Posted},
                            {"panel", WM_MOUSEWHEEL, How::SentByDefault},
                            {"main", WM_MOUSEWHEEL, How::SentByDefault}};
  EXPECT_EQ(t.rec.Log(), expected);
}

TEST(Input, DraggingACornerSizesTheWindowNoSmallerThanItsMinimum)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{100, 100, 400, 300});
  rec.Pump();
  EXPECT_EQ(SendMessage(main, WM_NCHITTEST, 0, MAKELPARAM(398, 298)), HTBOTTOMRIGHT);
  user::InjectMouseMove(POINT{398, 298});
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(POINT{448, 278});
  user::InjectMouseButton(VK_LBUTTON, false);
  rec.Pump();
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r, (RECT{100, 100, 450, 280}));
  user::InjectMouseMove(POINT{448, 278});
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(POINT{0, 0});
  user::InjectMouseButton(VK_LBUTTON, false);
  rec.Pump();
  GetWindowRect(main, &r);
  EXPECT_EQ(r.Width(), GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(r.Height(), GetSystemMetrics(SM_CYMINTRACK));
  DestroyWindow(main);
}

}  // namespace

namespace {

TEST(Input, LeavingEveryWindowEndsTracking)
{
  Tree t;
  t.rec.Only({WM_MOUSELEAVE});
  user::InjectMouseMove(POINT{20, 20});
  t.rec.Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = t.main;
  TrackMouseEvent(&tme);
  user::InjectMouseMove(POINT{900, 900});
  t.rec.Pump();
  EXPECT_EQ(t.rec.Log(), (std::vector<Rec>{{"main", WM_MOUSELEAVE, How::Posted}}));
}

}  // namespace
