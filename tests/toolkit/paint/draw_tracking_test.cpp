#include "toolkit/paint/draw_tracking.h"

#include "platform/user/input.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kTakeCapture = WM_USER + 1;

int g_buttonDowns = 0;

// A plain window that counts presses and takes the capture when told to.
LRESULT ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == kTakeCapture) {
    SetCapture(hwnd);
    return 0;
  }
  if (message == WM_LBUTTONDOWN) {
    ++g_buttonDowns;
  }
  return DefWindowProc(hwnd, message, wParam, lParam);
}

class Probe : public CWnd {
public:
  Probe(int x, int y, int width, int height, HWND owner = nullptr)
  {
    static const bool registered = [] {
      WNDCLASS wc{};
      wc.lpfnWndProc = &ProbeProc;
      wc.lpszClassName = "TKTrackingProbe";
      return RegisterClass(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    CreateEx(0, "TKTrackingProbe", "", WS_POPUP | WS_VISIBLE, x, y, width, height, owner, nullptr);
  }
  ~Probe() override { DestroyWindow(); }
};

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

struct Step {
  UINT message;
  int x, y;  // client coordinates of a mouse message
  WPARAM wParam;
};

TEST(SplitterTracker, DragMovesTheBarInsideItsRangeUntilReleaseEscapeOrLostCapture)
{
  struct Case {
    const char* name;
    std::vector<Step> steps;
    BOOL accepted;
    LONG left;  // where the bar ends
  };
  // The window's client area starts at (100, 100) on the screen; the bar (150..154) was grabbed at x 152.
  const Case cases[] = {
      {"release", {{WM_MOUSEMOVE, 80, 50, 0}, {WM_LBUTTONUP, 80, 50, 0}}, TRUE, 178},
      {"clamped right", {{WM_MOUSEMOVE, 300, 50, 0}, {WM_LBUTTONUP, 300, 50, 0}}, TRUE, 250},
      {"clamped left", {{WM_MOUSEMOVE, -90, 50, 0}, {WM_LBUTTONUP, -90, 50, 0}}, TRUE, 110},
      {"other keys pass", {{WM_KEYDOWN, 0, 0, VK_SHIFT}, {WM_MOUSEMOVE, 60, 10, 0}, {WM_LBUTTONUP, 0, 0, 0}},
       TRUE, 158},
      {"escape", {{WM_MOUSEMOVE, 80, 50, 0}, {WM_KEYDOWN, 0, 0, VK_ESCAPE}}, FALSE, 178},
      {"capture taken", {{WM_MOUSEMOVE, 70, 50, 0}, {kTakeCapture, 0, 0, 0}, {WM_LBUTTONUP, 0, 0, 0}}, FALSE, 168},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Probe track(100, 100, 200, 100);
    Probe thief(400, 400, 10, 10);
    for (const Step& step : c.steps) {
      HWND target = step.message == kTakeCapture ? thief.GetSafeHwnd() : track.GetSafeHwnd();
      const LPARAM lParam = step.message == WM_KEYDOWN ? 0 : MAKELPARAM(step.x, step.y);
      PostMessage(target, step.message, step.wParam, lParam);
    }
    CTKSplitterTracker tracker(TRUE);
    CRect bar(150, 100, 154, 200);
    EXPECT_EQ(tracker.Track(&track, CRect(110, 100, 250, 200), bar, CPoint(152, 150), TRUE), c.accepted);
    EXPECT_EQ(bar, CRect(c.left, 100, c.left + 4, 200));
    EXPECT_NE(GetCapture(), track.GetSafeHwnd());
    ReleaseCapture();
    Pump();
  }
}

TEST(SplitterTracker, VerticalDragMovesOnlyDown)
{
  Probe track(0, 0, 300, 300);
  PostMessage(track.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(250, 140));
  PostMessage(track.GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(250, 140));
  CTKSplitterTracker tracker;
  tracker.m_rcBoundRect = CRect(0, 0, 300, 300);
  CRect bar(0, 100, 300, 104);
  EXPECT_TRUE(tracker.Track(&track, CRect(0, 20, 300, 280), bar, CPoint(10, 102), FALSE));
  EXPECT_EQ(bar, CRect(0, 138, 300, 142));
}

TEST(MouseMonitor, AClickOutsideTheWindowIsSwallowedAndFocusGoesToItsOwner)
{
  Probe owner(0, 0, 200, 200);
  Probe list(20, 150, 100, 100, owner.GetSafeHwnd());
  Probe elsewhere(400, 0, 100, 100);
  SetFocus(list.GetSafeHwnd());
  g_buttonDowns = 0;

  CTKMouseMonitor::SetupHook(&list);
  EXPECT_TRUE(CTKMouseMonitor::IsMouseHooked());
  user::InjectClick(POINT{450, 50});
  Pump();
  EXPECT_EQ(g_buttonDowns, 0);
  EXPECT_EQ(GetFocus(), owner.GetSafeHwnd());

  user::InjectClick(POINT{60, 200});
  Pump();
  EXPECT_EQ(g_buttonDowns, 1) << "a click inside the list reaches it";

  CTKMouseMonitor::SetupHook(nullptr);
  EXPECT_FALSE(CTKMouseMonitor::IsMouseHooked());
  user::InjectClick(POINT{450, 50});
  Pump();
  EXPECT_EQ(g_buttonDowns, 2);
}

TEST(AuxData, SmallIconSize)
{
  EXPECT_EQ(TKAuxData().cxSmIcon, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(TKAuxData().cySmIcon, 16);
}

}  // namespace
