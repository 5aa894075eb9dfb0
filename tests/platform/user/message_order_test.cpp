// What a window hears, in order, when it is created, shown, sized, activated, clicked and destroyed.
#include "platform/base/clock.h"
#include "tests/platform/user/recorder.h"

using usertest::How;
using usertest::Rec;
using usertest::Recorder;

namespace {

constexpr How S = How::Sent;
constexpr How P = How::Posted;
constexpr How D = How::SentByDefault;

TEST(MessageOrder, CreatingAnOverlappedWindow)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW, nullptr, RECT{10, 10, 310, 210});
  ASSERT_NE(main, nullptr);
  std::vector<Rec> expected{
      {"main", WM_GETMINMAXINFO, S}, {"main", WM_NCCREATE, S}, {"main", WM_NCCALCSIZE, S},
      {"main", WM_CREATE, S},        {"main", WM_SIZE, S},     {"main", WM_MOVE, S},
  };
  EXPECT_EQ(rec.Log(), expected);
  DestroyWindow(main);
}

TEST(MessageOrder, CreatingAVisibleChildTellsTheParentThenShows)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW, nullptr, RECT{0, 0, 300, 200});
  rec.Clear();
  HWND child = rec.Create("child", WS_CHILD | WS_VISIBLE, main, RECT{5, 5, 50, 50});
  ASSERT_NE(child, nullptr);
  std::vector<Rec> expected{
      {"child", WM_NCCREATE, S},          {"child", WM_NCCALCSIZE, S},        {"child", WM_CREATE, S},
      {"child", WM_SIZE, S},              {"child", WM_MOVE, S},              {"main", WM_PARENTNOTIFY, S},
      {"child", WM_SHOWWINDOW, S},        {"child", WM_WINDOWPOSCHANGING, S}, {"child", WM_WINDOWPOSCHANGED, S},
  };
  EXPECT_EQ(rec.Log(), expected);
  DestroyWindow(main);
}

TEST(MessageOrder, ShowingATopLevelWindowActivatesItBeforeThePositionIsFinal)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW, nullptr, RECT{0, 0, 300, 200});
  rec.Clear();
  ShowWindow(main, SW_SHOW);
  std::vector<Rec> expected{
      {"main", WM_SHOWWINDOW, S}, {"main", WM_WINDOWPOSCHANGING, S}, {"main", WM_ACTIVATEAPP, S},
      {"main", WM_NCACTIVATE, S}, {"main", WM_ACTIVATE, S},          {"main", WM_SETFOCUS, D},
      {"main", WM_WINDOWPOSCHANGED, S},
  };
  EXPECT_EQ(rec.Log(usertest::kPaintAndCursor), expected);
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), main);
  DestroyWindow(main);
}

TEST(MessageOrder, SizingAndMoving)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW, nullptr, RECT{0, 0, 300, 200});
  rec.Clear();
  SetWindowPos(main, nullptr, 0, 0, 400, 250, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<Rec> sized{
      {"main", WM_WINDOWPOSCHANGING, S},
      {"main", WM_NCCALCSIZE, S},
      {"main", WM_WINDOWPOSCHANGED, S},
      {"main", WM_SIZE, D},
  };
  EXPECT_EQ(rec.Log(usertest::kPaintAndCursor), sized);
  rec.Clear();
  SetWindowPos(main, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<Rec> moved{
      {"main", WM_WINDOWPOSCHANGING, S},
      {"main", WM_WINDOWPOSCHANGED, S},
      {"main", WM_MOVE, D},
  };
  EXPECT_EQ(rec.Log(usertest::kPaintAndCursor), moved);
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r, (RECT{20, 30, 420, 280}));
  DestroyWindow(main);
}

TEST(MessageOrder, ActivationMovesFromOneWindowToTheOther)
{
  Recorder rec;
  HWND a = rec.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 300, 200});
  HWND b = rec.Create("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{50, 50, 350, 250});
  SetActiveWindow(a);
  rec.Clear();
  SetActiveWindow(b);
  std::vector<Rec> expected{
      {"a", WM_NCACTIVATE, S},          {"a", WM_ACTIVATE, S},         {"a", WM_KILLFOCUS, S},
      {"b", WM_WINDOWPOSCHANGING, S},   {"b", WM_WINDOWPOSCHANGED, S}, {"b", WM_NCACTIVATE, S},
      {"b", WM_ACTIVATE, S},            {"b", WM_SETFOCUS, D},
  };
  EXPECT_EQ(rec.Log(usertest::kPaintAndCursor), expected);
  EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), b);
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(MessageOrder, ClickOnAnInactiveWindowActivatesItThenDeliversTheButtons)
{
  Recorder rec;
  HWND a = rec.Create("a", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
  HWND b = rec.Create("b", WS_POPUP | WS_VISIBLE, nullptr, RECT{200, 0, 300, 100});
  SetActiveWindow(a);
  rec.Pump();
  rec.Clear();
  user::InjectClick(POINT{250, 50});
  rec.Pump();
  std::vector<Rec> expected{
      {"b", WM_MOUSEMOVE, P},        {"b", WM_MOUSEACTIVATE, S}, {"a", WM_NCACTIVATE, S},
      {"a", WM_ACTIVATE, S},         {"a", WM_KILLFOCUS, S},     {"b", WM_WINDOWPOSCHANGING, S},
      {"b", WM_WINDOWPOSCHANGED, S}, {"b", WM_NCACTIVATE, S},    {"b", WM_ACTIVATE, S},
      {"b", WM_SETFOCUS, D},         {"b", WM_LBUTTONDOWN, P},   {"b", WM_LBUTTONUP, P},
  };
  EXPECT_EQ(rec.Log(usertest::kPaintAndCursor), expected);
  EXPECT_EQ(GetActiveWindow(), b);
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(MessageOrder, DestroyingAParentTellsParentThenChildrenThenFreesChildrenFirst)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW, nullptr, RECT{0, 0, 300, 200});
  HWND child = rec.Create("child", WS_CHILD | WS_VISIBLE, main, RECT{5, 5, 50, 50});
  rec.Create("grandchild", WS_CHILD | WS_VISIBLE, child, RECT{1, 1, 20, 20});
  rec.Clear();
  DestroyWindow(main);
  std::vector<Rec> expected{
      {"main", WM_DESTROY, S},          {"child", WM_DESTROY, S},         {"grandchild", WM_DESTROY, S},
      {"grandchild", WM_NCDESTROY, S},  {"child", WM_NCDESTROY, S},       {"main", WM_NCDESTROY, S},
  };
  EXPECT_EQ(rec.Log(), expected);
  EXPECT_FALSE(IsWindow(main));
  EXPECT_FALSE(IsWindow(child));
}

TEST(MessageOrder, DestroyingAChildTellsItsParentFirstAndHidesIt)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW, nullptr, RECT{0, 0, 300, 200});
  HWND child = rec.Create("child", WS_CHILD | WS_VISIBLE, main, RECT{5, 5, 50, 50});
  rec.Clear();
  DestroyWindow(child);
  std::vector<Rec> expected{
      {"main", WM_PARENTNOTIFY, S},       {"child", WM_SHOWWINDOW, S}, {"child", WM_WINDOWPOSCHANGING, S},
      {"child", WM_WINDOWPOSCHANGED, S},  {"child", WM_DESTROY, S},    {"child", WM_NCDESTROY, S},
  };
  EXPECT_EQ(rec.Log(usertest::kPaintAndCursor), expected);
  DestroyWindow(main);
}

TEST(MessageOrder, RefusingCreationDestroysTheWindow)
{
  Recorder rec;
  rec.Answer("refuser", WM_CREATE, -1);
  HWND h = rec.Create("refuser", WS_POPUP, nullptr, RECT{0, 0, 10, 10});
  EXPECT_EQ(h, nullptr);
  std::vector<Rec> expected{
      {"refuser", WM_NCCREATE, S},
      {"refuser", WM_NCCALCSIZE, S},
      {"refuser", WM_CREATE, S},
      {"refuser", WM_DESTROY, S},
      {"refuser", WM_NCDESTROY, S},
  };
  EXPECT_EQ(rec.Log(), expected);
}

TEST(MessageOrder, ClosingDestroysThroughDefWindowProc)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW, nullptr, RECT{0, 0, 300, 200});
  rec.Clear();
  PostMessage(main, WM_CLOSE, 0, 0);
  rec.Pump();
  std::vector<Rec> expected{{"main", WM_CLOSE, P}, {"main", WM_DESTROY, D}, {"main", WM_NCDESTROY, D}};
  EXPECT_EQ(rec.Log(), expected);
  EXPECT_FALSE(IsWindow(main));
}

}  // namespace

namespace {

TEST(MessageOrder, DraggingTheCaptionRunsTheMoveLoop)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{100, 100, 400, 300});
  rec.Pump();
  rec.Only({WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING, WM_CAPTURECHANGED, WM_EXITSIZEMOVE, WM_MOVE});
  rec.Clear();
  user::InjectMouseMove(POINT{200, 110});  // on the caption
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(POINT{230, 150});
  user::InjectMouseButton(VK_LBUTTON, false);
  rec.Pump();
  std::vector<Rec> expected{
      {"main", WM_NCLBUTTONDOWN, P},  {"main", WM_SYSCOMMAND, D},     {"main", WM_ENTERSIZEMOVE, D},
      {"main", WM_MOVING, D},         {"main", WM_MOVE, D},           {"main", WM_MOVING, D},
      {"main", WM_CAPTURECHANGED, D}, {"main", WM_EXITSIZEMOVE, D},
  };
  EXPECT_EQ(rec.Log(), expected);
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r, (RECT{130, 140, 430, 340}));
  DestroyWindow(main);
}

TEST(MessageOrder, TheCloseButtonClosesOnlyWhenReleasedOverIt)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 300, 200});
  rec.Pump();
  rec.Only({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY});
  rec.Clear();
  // The close button: the caption's right end, inside the frame.
  POINT close{300 - 4 - 2 - 8, 4 + 9};
  EXPECT_EQ(SendMessage(main, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);
  user::InjectMouseMove(close);
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(POINT{150, 100});
  user::InjectMouseButton(VK_LBUTTON, false);
  rec.Pump();
  EXPECT_TRUE(rec.Log().empty());
  clock.Advance(1000);  // not a double click
  user::InjectClick(close);
  rec.Pump();
  std::vector<Rec> expected{{"main", WM_SYSCOMMAND, D}, {"main", WM_CLOSE, D}, {"main", WM_DESTROY, D}};
  EXPECT_EQ(rec.Log(), expected);
  EXPECT_FALSE(IsWindow(main));
}

}  // namespace

// Posted messages come out first in first out, also across the queue's growth while older ones are still in it,
// and a take by range leaves the others in their order.
TEST(MessageOrder, PostedMessagesKeepTheirOrderThroughGrowthAndFilteredTakes)
{
  constexpr UINT kFirst = WM_APP;
  constexpr UINT kLast = WM_APP + 200;
  MSG msg;
  while (PeekMessage(&msg, nullptr, kFirst, kLast, PM_REMOVE)) {
  }
  for (UINT k = 0; k < 40; ++k) {
    ASSERT_TRUE(PostMessage(nullptr, kFirst + k, k, 0));
  }
  for (UINT k = 0; k < 30; ++k) {
    ASSERT_TRUE(PeekMessage(&msg, nullptr, kFirst, kLast, PM_REMOVE));
    ASSERT_EQ(msg.wParam, k);
  }
  for (UINT k = 40; k < 140; ++k) {
    ASSERT_TRUE(PostMessage(nullptr, kFirst + k, k, 0));
  }
  ASSERT_TRUE(PeekMessage(&msg, nullptr, kFirst + 100, kFirst + 100, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 100u);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, kFirst + 120, kFirst + 120, PM_NOREMOVE));
  std::vector<WPARAM> rest;
  while (PeekMessage(&msg, nullptr, kFirst, kLast, PM_REMOVE)) {
    rest.push_back(msg.wParam);
  }
  std::vector<WPARAM> expected;
  for (UINT k = 30; k < 140; ++k) {
    if (k != 100) {
      expected.push_back(k);
    }
  }
  EXPECT_EQ(rest, expected);
}
