// Open menus close on a click anywhere else in the application, but not on a click into a trusted window, nor
// on releases while a modal loop holds the lock; bar windows hear WM_MOUSELEAVE within one 50 ms tick.
#include "toolkit/commandbars/mouse_manager.h"

#include "platform/base/clock.h"
#include "toolkit/paint/keyboard_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;
std::map<HWND, std::string> g_names;
bool g_logMoves = false;

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto named = g_names.find(hwnd);
  if (named != g_names.end()) {
    switch (msg) {
      case WM_LBUTTONDOWN: g_log.push_back(named->second + " WM_LBUTTONDOWN"); break;
      case WM_LBUTTONUP: g_log.push_back(named->second + " WM_LBUTTONUP"); break;
      case WM_MOUSEMOVE:
        if (g_logMoves) {
          g_log.push_back(named->second + " WM_MOUSEMOVE");
        }
        break;
      case WM_NCLBUTTONDOWN: g_log.push_back(named->second + " WM_NCLBUTTONDOWN"); break;
      case WM_MOUSELEAVE:
        g_log.push_back(named->second + " WM_MOUSELEAVE at " + std::to_string(GetTickCount()));
        break;
      default: break;
    }
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(const std::string& name, DWORD style, RECT rc, HWND parent = nullptr)
{
  static bool done = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "TKMouseManagerTest";
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  HWND hwnd = CreateWindowEx(0, "TKMouseManagerTest", name.c_str(), style | WS_VISIBLE, rc.left, rc.top,
                             rc.right - rc.left, rc.bottom - rc.top, parent, nullptr, nullptr, nullptr);
  g_names[hwnd] = name;
  return hwnd;
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

// A popup or menu bar as the mouse manager sees it: the point is its own inside its window.
class FakeBar : public CTKTrackedBar {
public:
  FakeBar(std::string name, RECT rc) : m_name(std::move(name)), m_hwnd(MakeWindow(m_name, WS_POPUP, rc)) {}
  ~FakeBar() override
  {
    if (TKMouseManager()->IsTrackedBar(this)) {
      TKMouseManager()->RemoveTrackedBar(this);
    }
    DestroyWindow(m_hwnd);
  }
  HWND GetTrackedBarWindow() const override { return m_hwnd; }
  int PointInBar(POINT pt) override
  {
    RECT rc{};
    GetWindowRect(m_hwnd, &rc);
    return rc.Contains(pt) ? 1 : 0;
  }
  void SetTrackingMode(BOOL bMode) override
  {
    if (!bMode) {
      g_log.push_back(m_name + " closes");
      TKMouseManager()->RemoveTrackedBar(this);
    }
  }
  void SetSelected(int nItem) override { g_log.push_back(m_name + " selects " + std::to_string(nItem)); }
  void OnTrackedMouseMove(POINT pt) override
  {
    g_log.push_back(m_name + " clears its highlight at " + std::to_string(pt.x) + "," + std::to_string(pt.y));
  }

private:
  std::string m_name;
  HWND m_hwnd;
};

using Log = std::vector<std::string>;

TEST(MouseManager, ClicksOutsideTheTrackedBarsCloseThemUnlessTrustedOrLocked)
{
  struct Case {
    const char* what;
    POINT start;  // where the cursor is when the menus open
    std::function<void(CTKMouseManager&)> setup;
    std::function<void()> input;
    Log log;
  };
  // The frame has a caption above its client area; the menu bar lies along its top, a popup hangs below it
  // over the frame, and a combo list beside the popup.
  const POINT title{200, 5};
  const POINT client{350, 250};
  const POINT inPopup{60, 80};
  const POINT inList{250, 80};
  const POINT aside{380, 200};
  HWND frame = MakeWindow("frame", WS_OVERLAPPEDWINDOW, RECT{0, 0, 400, 300});
  HWND list = MakeWindow("list", WS_POPUP, RECT{200, 50, 300, 150}, frame);
  const std::vector<Case> cases{
      {"a press on the frame's title bar closes every open menu",
       aside,
       nullptr,
       [&] { user::InjectClick(title); },
       {"menu clears its highlight at 200,-5", "popup clears its highlight at 150,-55", "menu closes", "popup closes",
        "frame WM_NCLBUTTONDOWN"}},
      {"a press in the frame's client area closes them too",
       aside,
       nullptr,
       [&] { user::InjectClick(client); },
       {"menu clears its highlight at 350,240", "popup clears its highlight at 300,190", "menu closes",
        "popup closes", "frame WM_LBUTTONDOWN", "frame WM_LBUTTONUP"}},
      {"a press in a visible trusted window leaves them open",
       inList,
       [&](CTKMouseManager& m) { m.AddTrustedWindow(list); },
       [&] { user::InjectClick(inList); },
       {"list WM_LBUTTONDOWN", "list WM_LBUTTONUP"}},
      {"a press on the popup is the popup's",
       inPopup,
       nullptr,
       [&] { user::InjectClick(inPopup); },
       {"popup WM_LBUTTONDOWN", "popup WM_LBUTTONUP"}},
      {"the release after the press that opened the popup does not reach it",
       inPopup,
       [](CTKMouseManager& m) { m.m_bEatNextRelease = TRUE; },
       [&] { user::InjectMouseButton(VK_LBUTTON, false); },
       {}},
      {"while a toolbar is dragged a release closes nothing, a press still does",
       client,
       [](CTKMouseManager& m) { m.m_nLock = 1; },
       [&] {
         user::InjectMouseButton(VK_LBUTTON, false);
         Pump();
         g_log.push_back("--");
         user::InjectMouseButton(VK_LBUTTON, true);
         user::InjectMouseButton(VK_LBUTTON, false);
       },
       {"frame WM_LBUTTONUP", "--", "menu closes", "popup closes", "frame WM_LBUTTONDOWN", "frame WM_LBUTTONUP"}},
      {"a move off the bars clears their highlight once; the same point again is swallowed",
       aside,
       nullptr,
       [&] {
         g_logMoves = true;
         user::InjectMouseMove(client);
         user::InjectMouseMove(client);
       },
       {"menu clears its highlight at 350,240", "popup clears its highlight at 300,190", "frame WM_MOUSEMOVE"}},
  };
  SetForegroundWindow(frame);
  CTKMouseManager& manager = *TKMouseManager();
  ASSERT_TRUE(manager.IsHooked());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBar menu("menu", RECT{0, 10, 400, 30});
    FakeBar popup("popup", RECT{50, 60, 150, 160});
    SetCursorPos(c.start.x, c.start.y);
    Pump();
    manager.AddTrackedBar(&menu);
    manager.AddTrackedBar(&popup);
    manager.AddTrackedBar(&menu);
    ASSERT_EQ(manager.GetTrackedBarCount(), 2);
    if (c.setup) {
      c.setup(manager);
    }
    g_log.clear();
    c.input();
    Pump();
    EXPECT_EQ(g_log, c.log);
    g_logMoves = false;
    manager.m_nLock = 0;
    manager.m_bEatNextRelease = FALSE;
    manager.RemoveTrustedWindow(list);
  }
  DestroyWindow(list);
  DestroyWindow(frame);
}

TEST(MouseManager, ALockedPopupClosesOnlyTheUnlockedBarsOnAPressOverIt)
{
  CTKMouseManager& manager = *TKMouseManager();
  FakeBar menu("menu", RECT{0, 10, 400, 30});
  FakeBar popup("popup", RECT{50, 60, 150, 160});
  FakeBar sub("sub", RECT{150, 60, 250, 160});
  manager.AddTrackedBar(&menu);
  manager.AddTrackedBar(&popup);
  manager.LockTrackRecurse(TRUE);
  manager.AddTrackedBar(&sub);
  SetCursorPos(60, 80);
  Pump();
  EXPECT_FALSE(manager.IsMouseLocked(&sub));
  EXPECT_TRUE(manager.IsMouseLocked(&popup));
  EXPECT_TRUE(manager.IsMouseLocked(nullptr));
  g_log.clear();
  user::InjectClick(POINT{60, 80});
  Pump();
  EXPECT_EQ(g_log, (Log{"sub closes", "popup WM_LBUTTONDOWN", "popup WM_LBUTTONUP"}));
  manager.LockTrackRecurse(FALSE);
  manager.CloseTrackedBars();
  EXPECT_FALSE(manager.IsMouseLocked(nullptr));
}

TEST(MouseManager, MouseLeaveIsEmulatedWithinOneTickOfTheVirtualClock)
{
  platform::VirtualClock clock(1000);
  platform::ScopedClock inForce(clock);
  CTKMouseManager& manager = *TKMouseManager();
  HWND frame = MakeWindow("frame", WS_OVERLAPPEDWINDOW, RECT{0, 0, 400, 300});
  HWND bar = MakeWindow("bar", WS_POPUP, RECT{0, 0, 100, 30});
  HWND other = MakeWindow("other", WS_POPUP, RECT{100, 0, 200, 30});
  HWND child = MakeWindow("child", WS_CHILD, RECT{10, 100, 110, 130}, frame);
  HWND elsewhere = MakeWindow("elsewhere", WS_OVERLAPPEDWINDOW, RECT{500, 0, 600, 100});
  auto advance = [&](std::uint64_t ms) {
    for (std::uint64_t i = 0; i < ms; i += 10) {
      clock.Advance(10);
      Pump();
    }
  };

  SetForegroundWindow(frame);
  SetCursorPos(50, 10);
  Pump();
  g_log.clear();
  manager.TrackMouseLeave(bar);
  advance(200);
  EXPECT_EQ(g_log, Log{}) << "the cursor is still over the bar";
  SetCursorPos(50, 60);  // at 1200
  advance(50);
  EXPECT_EQ(g_log, Log{"bar WM_MOUSELEAVE at 1250"});
  EXPECT_EQ(manager.GetMouseLeaveWindow(), nullptr);

  // Switching to another bar tells the old one at once.
  g_log.clear();
  SetCursorPos(50, 10);
  manager.TrackMouseLeave(bar);
  manager.TrackMouseLeave(other);
  EXPECT_EQ(g_log, Log{"bar WM_MOUSELEAVE at 1250"});
  SetCursorPos(150, 10);
  advance(100);
  EXPECT_EQ(g_log, Log{"bar WM_MOUSELEAVE at 1250"});

  // With its frame inactive a child window is left at the next tick even with the cursor over it; a popup keeps
  // its timer.
  SetForegroundWindow(elsewhere);
  Pump();
  g_log.clear();
  SetCursorPos(50, 110);
  manager.TrackMouseLeave(child);
  EXPECT_EQ(g_log, Log{"other WM_MOUSELEAVE at 1350"});
  advance(50);
  EXPECT_EQ(g_log, (Log{"other WM_MOUSELEAVE at 1350", "child WM_MOUSELEAVE at 1400"}));
  g_log.clear();
  SetCursorPos(150, 10);
  manager.TrackMouseLeave(other);
  advance(200);
  EXPECT_EQ(g_log, Log{});
  EXPECT_EQ(manager.GetMouseLeaveWindow(), other);

  // A watched window that goes away is forgotten at the next tick.
  DestroyWindow(other);
  advance(50);
  manager.TrackMouseLeave(bar);
  EXPECT_EQ(g_log, Log{});
  manager.TrackMouseLeave(nullptr);
  for (HWND hwnd : {bar, child, elsewhere, frame}) {
    DestroyWindow(hwnd);
  }
}

// A menu bar in menu mode tracks the keyboard; the thread's mouse manager holds its open popups.
class KeyboardClient : public CTKHookManagerHookAble {
public:
  int OnHookMessage(HWND, UINT, WPARAM&, LPARAM&, LRESULT&) override { return 2; }
};

TEST(MouseManager, AltAloneAndLosingActivationCloseTheTrackedBarsUnlessAModalLoopHoldsTheLock)
{
  struct Case {
    const char* what;
    int lock;
    std::function<void(HWND)> input;
    Log log;
  };
  const std::vector<Case> cases{
      {"Alt alone", 0, [](HWND) { user::InjectKeyPress(VK_MENU); }, {"menu closes", "popup closes"}},
      {"Alt while a toolbar is dragged", 1, [](HWND) { user::InjectKeyPress(VK_MENU); }, {}},
      {"the application loses activation", 0, [](HWND frame) { SendMessage(frame, WM_ACTIVATEAPP, FALSE, 0); },
       {"menu closes", "popup closes"}},
  };
  HWND frame = MakeWindow("frame", WS_OVERLAPPEDWINDOW, RECT{0, 0, 400, 300});
  SetForegroundWindow(frame);
  SetFocus(frame);
  CTKMouseManager& manager = *TKMouseManager();
  KeyboardClient client;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBar menu("menu", RECT{0, 10, 400, 30});
    FakeBar popup("popup", RECT{50, 60, 150, 160});
    Pump();
    manager.AddTrackedBar(&menu);
    manager.AddTrackedBar(&popup);
    manager.m_nLock = c.lock;
    TKKeyboardManager()->HookKeyboardTracking(&client);
    g_log.clear();
    c.input(frame);
    Pump();
    EXPECT_EQ(g_log, c.log);
    TKKeyboardManager()->UnhookKeyboardTracking(&client);
    manager.m_nLock = 0;
    manager.CloseTrackedBars();
  }
  DestroyWindow(frame);
}

}  // namespace
