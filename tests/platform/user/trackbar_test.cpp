// The trackbar: what the keyboard and the mouse do to its position, and what the parent is told.
#include "platform/base/clock.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_scrolls;

// Each test runs on a clock of its own, far from every other test's, so that no click of one is taken for the
// second half of a double click begun in another.
std::uint64_t FreshClockStart()
{
  static std::uint64_t next = 200'000'000;
  next += 100'000;
  return next;
}

const char* CodeName(WORD code)
{
  static const char* const names[] = {"lineup",   "linedown", "pageup", "pagedown", "thumbposition",
                                      "thumbtrack", "top",      "bottom", "endtrack"};
  return code < 9 ? names[code] : "?";
}

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_HSCROLL || msg == WM_VSCROLL) {
    std::string note = std::string(msg == WM_HSCROLL ? "h " : "v ") + CodeName(LOWORD(wParam));
    if (LOWORD(wParam) == TB_THUMBTRACK || LOWORD(wParam) == TB_THUMBPOSITION) {
      note += " " + std::to_string(HIWORD(wParam));
    }
    g_scrolls.push_back(note);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND Parent()
{
  WNDCLASS wc;
  wc.lpfnWndProc = &ParentProc;
  wc.lpszClassName = "TrackbarParent";
  RegisterClass(&wc);
  return CreateWindowEx(0, "TrackbarParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                        nullptr);
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

class TrackbarTest : public ::testing::Test {
protected:
  platform::VirtualClock clock_{FreshClockStart()};
  platform::ScopedClock inForce_{clock_};

  void SetUp() override
  {
    g_scrolls.clear();
    parent_ = Parent();
    // 216 wide: the channel runs from 8 to 208, two pixels per position of the default range 0..100.
    bar_ = CreateWindowEx(0, TRACKBAR_CLASS, "", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, 0, 0, 216, 30, parent_,
                          reinterpret_cast<HMENU>(7), nullptr, nullptr);
    SetFocus(bar_);
    Pump();
  }
  void TearDown() override { DestroyWindow(parent_); }

  int Pos() const { return static_cast<int>(SendMessage(bar_, TBM_GETPOS, 0, 0)); }
  POINT ThumbCentre() const
  {
    RECT thumb;
    SendMessage(bar_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  }

  HWND parent_ = nullptr;
  HWND bar_ = nullptr;
};

TEST_F(TrackbarTest, KeysMoveByLinePageAndToTheEndsAndEachReleaseEndsTheTrack)
{
  struct Case {
    int start;
    UINT key;
    int pos;
    std::vector<std::string> told;
  };
  const Case cases[] = {
      {50, VK_RIGHT, 51, {"h linedown", "h endtrack"}},
      {50, VK_DOWN, 51, {"h linedown", "h endtrack"}},
      {50, VK_LEFT, 49, {"h lineup", "h endtrack"}},
      {50, VK_PRIOR, 30, {"h pageup", "h endtrack"}},
      {90, VK_NEXT, 100, {"h pagedown", "h endtrack"}},  // a page past the end stops at it
      {50, VK_HOME, 0, {"h top", "h endtrack"}},
      {50, VK_END, 100, {"h bottom", "h endtrack"}},
      {0, VK_LEFT, 0, {"h endtrack"}},  // nothing moved, nothing told but the end
      {50, VK_TAB, 50, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    SendMessage(bar_, TBM_SETPOS, TRUE, c.start);
    g_scrolls.clear();
    user::InjectKeyPress(c.key);
    Pump();
    EXPECT_EQ(Pos(), c.pos);
    EXPECT_EQ(g_scrolls, c.told);
  }
}

TEST_F(TrackbarTest, AClickBesideTheThumbPagesTowardsItAndADragTracksTheThumb)
{
  SendMessage(bar_, TBM_SETPOS, TRUE, 50);
  // Right of the thumb: a page down; left of it: a page up.
  user::InjectClick(POINT{8 + 2 * 90, ThumbCentre().y});
  Pump();
  EXPECT_EQ(Pos(), 70);
  user::InjectClick(POINT{8 + 2 * 10, ThumbCentre().y});
  Pump();
  EXPECT_EQ(Pos(), 50);
  EXPECT_EQ(g_scrolls, (std::vector<std::string>{"h pagedown", "h endtrack", "h pageup", "h endtrack"}));

  // Press on the thumb, move 30 positions right and back to 75, release.
  g_scrolls.clear();
  const POINT at = ThumbCentre();
  user::InjectMouseMove(at);
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(POINT{at.x + 60, at.y});
  user::InjectMouseMove(POINT{at.x + 50, at.y + 40});  // off the bar: the thumb still follows
  user::InjectMouseButton(VK_LBUTTON, false);
  Pump();
  EXPECT_EQ(Pos(), 75);
  EXPECT_EQ(g_scrolls, (std::vector<std::string>{"h thumbtrack 80", "h thumbtrack 75", "h thumbposition 75",
                                                 "h endtrack"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrackbarTest, RangeTicsAndPositionAreKeptConsistent)
{
  // Positions are clamped into the range, also when the range shrinks under them.
  SendMessage(bar_, TBM_SETPOS, TRUE, 500);
  EXPECT_EQ(Pos(), 100);
  SendMessage(bar_, TBM_SETRANGE, TRUE, MAKELPARAM(10, 40));
  EXPECT_EQ(Pos(), 40);
  SendMessage(bar_, TBM_SETRANGEMIN, TRUE, -20);
  SendMessage(bar_, TBM_SETPOS, TRUE, -30);
  EXPECT_EQ(Pos(), -20);

  // Automatic tics every 10 between the ends, plus the two ends.
  SendMessage(bar_, TBM_SETTICFREQ, 10, 0);
  EXPECT_EQ(SendMessage(bar_, TBM_GETNUMTICS, 0, 0), 7);  // -10, 0, 10, 20, 30 and the ends
  EXPECT_EQ(SendMessage(bar_, TBM_GETTIC, 0, 0), -10);
  EXPECT_EQ(SendMessage(bar_, TBM_GETTIC, 9, 0), -1);
  EXPECT_FALSE(SendMessage(bar_, TBM_SETTIC, 0, 41));  // outside the range
  EXPECT_TRUE(SendMessage(bar_, TBM_SETTIC, 0, 15));
  EXPECT_EQ(SendMessage(bar_, TBM_GETNUMTICS, 0, 0), 8);

  // A vertical trackbar tells its parent by WM_VSCROLL; the program's own moves are not told.
  HWND vertical = CreateWindowEx(0, TRACKBAR_CLASS, "", WS_CHILD | WS_VISIBLE | TBS_VERT, 250, 0, 30, 150, parent_,
                                 nullptr, nullptr, nullptr);
  SendMessage(vertical, TBM_SETPOS, TRUE, 10);
  SetFocus(vertical);
  g_scrolls.clear();
  user::InjectKeyPress(VK_DOWN);
  Pump();
  EXPECT_EQ(g_scrolls, (std::vector<std::string>{"v linedown", "v endtrack"}));
  EXPECT_EQ(SendMessage(vertical, TBM_GETPOS, 0, 0), 11);
}

}  // namespace
