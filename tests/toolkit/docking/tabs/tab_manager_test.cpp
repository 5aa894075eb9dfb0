// The tab manager: tabs and their automatic colours, the guards of its lookups, keyboard selection, the close
// button, tooltips, scrolling a tab into view, and a strip driven by the mouse: arrows that appear only when the
// tabs overflow, an arrow held down on the virtual clock, and a tab dragged to a new place.
#include "tests/toolkit/docking/tabs/strip.h"
#include "toolkit/paint/tooltip_context.h"

#include "platform/base/clock.h"
#include "platform/user/input.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

using tabtest::FixedLengthAppearance;
using tabtest::Strip;

void AddSizedTabs(Strip& strip, int count, int length)
{
  strip.m_bLayoutOn = FALSE;
  for (int i = 0; i < count; ++i) {
    CTKTabManagerItem* pItem = strip.InsertTab(-1);
    pItem->m_nSpare = length;
    pItem->m_strCaption = CString(static_cast<char>('A' + i));
  }
  strip.m_bLayoutOn = TRUE;
  strip.Reposition();
}

TEST(TabManager, InsertedTabsTakeTheNextAutomaticColour)
{
  CTKTabPaintManager pm;
  Strip strip(pm, CRect(0, 0, 400, 40));
  for (int i = 0; i < 9; ++i) {
    strip.InsertTab(-1);
  }
  EXPECT_EQ(pm.m_nAutoColorCounter, 9);
  const COLORREF expected[9] = {RGB(138, 168, 228), RGB(255, 219, 117), RGB(189, 205, 159),
                                RGB(240, 158, 159), RGB(186, 166, 225), RGB(154, 191, 180),
                                RGB(247, 182, 131), RGB(216, 171, 192), RGB(138, 168, 228)};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(strip.GetTab(i)->m_clrItem, TK_TAB_AUTO_COLOR + static_cast<COLORREF>(i % 8));
    EXPECT_EQ(strip.GetTab(i)->GetColor(), expected[i]) << i;
    EXPECT_EQ(strip.GetTab(i)->GetIndex(), i);
  }
  // A colour that is not an automatic code is the colour itself; the counter is the paint manager's.
  strip.GetTab(0)->SetColor(RGB(1, 2, 3));
  EXPECT_EQ(strip.GetTab(0)->GetColor(), RGB(1, 2, 3));
  Strip other(pm, CRect(0, 0, 400, 40));
  EXPECT_EQ(other.InsertTab(-1)->m_clrItem, TK_TAB_AUTO_COLOR + 1);
  // Inserting in front renumbers.
  CTKTabManagerItem* pFirst = strip.InsertTab(0);
  EXPECT_EQ(pFirst->GetIndex(), 0);
  EXPECT_EQ(strip.GetTab(1)->GetIndex(), 1);
  CTKTabManagerItem* pBeyond = strip.InsertTab(99);
  EXPECT_EQ(pBeyond->GetIndex(), strip.GetTabCount() - 1) << "an index beyond the count means the end";
}

TEST(TabManager, LookupsOutOfRangeAnswerNothing)
{
  CTKTabPaintManager pm;
  Strip strip(pm, CRect(0, 0, 400, 40));
  strip.AddTabs({"One", "Two"});
  EXPECT_EQ(strip.GetTab(-1), nullptr);
  EXPECT_EQ(strip.GetTab(2), nullptr);
  EXPECT_EQ(strip.FindNavigateButton(3), nullptr);
  EXPECT_EQ(strip.GetNavigateButton(-1), nullptr);
  EXPECT_EQ(strip.FindNextVisibleTab(1, 1), nullptr);
  EXPECT_EQ(strip.FindNextVisibleTab(0, -1), nullptr);
  EXPECT_EQ(strip.TabFromPoint(CPoint(-5, 5)), nullptr);
  EXPECT_EQ(strip.TabFromPoint(CPoint(399, 5)), nullptr) << "inside the control, beyond the tabs";
  EXPECT_EQ(strip.FillTabToolInfo(nullptr, nullptr, nullptr), -1);

  strip.RemoveAllTabs();
  EXPECT_EQ(strip.GetSelectedTab(), nullptr);
  EXPECT_EQ(strip.GetHotTab(), nullptr);
  EXPECT_FALSE(strip.HandleKeyDown(nullptr, VK_HOME)) << "no tabs: the key is not handled";
}

TEST(TabManager, HitTestingSkipsDisabledAndHiddenTabs)
{
  CTKTabPaintManager pm;
  pm.InstallAppearance(new FixedLengthAppearance);
  Strip strip(pm, CRect(0, 0, 400, 40));
  AddSizedTabs(strip, 3, 50);
  const CPoint inB = strip.GetTab(1)->m_rcItem.CenterPoint();
  EXPECT_EQ(strip.TabFromPoint(inB), strip.GetTab(1));
  strip.GetTab(1)->m_bEnabled = FALSE;
  EXPECT_EQ(strip.TabFromPoint(inB), nullptr);
  strip.GetTab(1)->m_bEnabled = TRUE;
  strip.GetTab(1)->m_bVisible = FALSE;
  strip.Reposition();
  EXPECT_EQ(strip.GetTab(1)->m_nLength, 0);
  EXPECT_EQ(strip.TabFromPoint(strip.GetTab(2)->m_rcItem.CenterPoint()), strip.GetTab(2));
}

TEST(TabManager, KeyboardSelectsTheNextUsableTab)
{
  struct Case {
    const char* name;
    int position;
    BOOL rtl;
    UINT key;
    int selected;  // -1: none
    int disabled;  // -1: none
    BOOL handled;
    int expected;  // -1: none
  };
  const Case cases[] = {
      {"home", TK_TAB_POSITION_TOP, FALSE, VK_HOME, 2, -1, TRUE, 0},
      {"home skips a disabled first tab", TK_TAB_POSITION_TOP, FALSE, VK_HOME, 2, 0, TRUE, 1},
      {"end", TK_TAB_POSITION_TOP, FALSE, VK_END, 0, -1, TRUE, 3},
      {"right", TK_TAB_POSITION_TOP, FALSE, VK_RIGHT, 1, -1, TRUE, 2},
      {"right skips a disabled tab", TK_TAB_POSITION_TOP, FALSE, VK_RIGHT, 1, 2, TRUE, 3},
      {"left at the first tab", TK_TAB_POSITION_TOP, FALSE, VK_LEFT, 0, -1, TRUE, 0},
      {"right at the last tab", TK_TAB_POSITION_TOP, FALSE, VK_RIGHT, 3, -1, TRUE, 3},
      {"up on a horizontal strip changes nothing", TK_TAB_POSITION_TOP, FALSE, VK_UP, 2, -1, TRUE, 2},
      {"down on a vertical strip", TK_TAB_POSITION_LEFT, FALSE, VK_DOWN, 1, -1, TRUE, 2},
      {"left on a vertical strip changes nothing", TK_TAB_POSITION_RIGHT, FALSE, VK_LEFT, 1, -1, TRUE, 1},
      {"right-to-left: the left key moves on", TK_TAB_POSITION_BOTTOM, TRUE, VK_LEFT, 1, -1, TRUE, 2},
      {"right-to-left: the right key moves back", TK_TAB_POSITION_BOTTOM, TRUE, VK_RIGHT, 1, -1, TRUE, 0},
      {"no selection", TK_TAB_POSITION_TOP, FALSE, VK_RIGHT, -1, -1, TRUE, -1},
      {"other keys are not handled", TK_TAB_POSITION_TOP, FALSE, VK_SPACE, 1, -1, FALSE, 1},
  };
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "TKTabKeyboardTest";
  RegisterClass(&wc);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKTabPaintManager pm;
    pm.SetPosition(c.position);
    Strip strip(pm, CRect(0, 0, 400, 300));
    strip.AddTabs({"A", "B", "C", "D"});
    strip.SelectTab(strip.GetTab(c.selected));
    if (c.disabled >= 0) {
      strip.GetTab(c.disabled)->m_bEnabled = FALSE;
    }
    HWND hwnd = CreateWindowEx(c.rtl ? WS_EX_LAYOUTRTL : 0, "TKTabKeyboardTest", "", WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(strip.HandleKeyDown(CWnd::FromHandle(hwnd), c.key), c.handled);
    EXPECT_EQ(strip.GetSelectedTab(), strip.GetTab(c.expected));
    DestroyWindow(hwnd);
  }
}

TEST(TabManager, CloseButtonShowsOnlyWhenItsModeAndTheSelectedTabAllow)
{
  struct Case {
    const char* name;
    int showMode;
    BOOL closable;
    bool shown;
  };
  const Case cases[] = {
      {"initial mode never shows", CTKTabManagerNavigateButton::kNever, TRUE, false},
      {"allowed by a closable tab", CTKTabManagerNavigateButton::kWhenAllowed, TRUE, true},
      {"refused by a tab that cannot close", CTKTabManagerNavigateButton::kWhenAllowed, FALSE, false},
      {"always", CTKTabManagerNavigateButton::kAlways, FALSE, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKTabPaintManager pm;
    pm.InstallAppearance(new FixedLengthAppearance);
    Strip strip(pm, CRect(0, 0, 400, 40));
    AddSizedTabs(strip, 2, 50);
    strip.GetTab(1)->m_bClosable = c.closable;
    strip.FindNavigateButton(2)->SetShowMode(c.showMode);
    strip.SelectTab(strip.GetTab(1));
    strip.Reposition();
    const CRect rcClose = strip.FindNavigateButton(2)->GetRect();
    EXPECT_EQ(!rcClose.IsRectEmpty(), c.shown);
    if (c.shown) {
      EXPECT_EQ(rcClose.right, 399);
      EXPECT_EQ(rcClose.Width(), 14);
      EXPECT_EQ(strip.m_rcHeader.right, rcClose.left) << "the tabs end before the button";
    }
  }
}

TEST(TabManager, TooltipsFollowTheTooltipMode)
{
  struct Case {
    const char* name;
    int mode;
    int length;
    const char* tip;
    int expected;
  };
  const Case cases[] = {
      {"mode 0: never", 0, 30, "Full caption", -1},
      {"mode 2: a tab that is not shortened", 2, 60, "Full caption", -1},
      {"mode 2: a shortened tab", 2, 30, "Full caption", 1},
      {"mode 1: always", 1, 60, "Full caption", 1},
      {"no tooltip text", 1, 60, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKTabPaintManager pm;
    pm.m_nToolTipMode = c.mode;
    Strip strip(pm, CRect(0, 0, 400, 40));
    strip.AddTabs({"A", "B"});
    CTKTabManagerItem* pItem = strip.GetTab(1);
    pItem->m_nLength = c.length;
    pItem->m_nNaturalLength = 60;
    pItem->m_strToolTip = c.tip;
    TOOLINFO ti{};
    ti.cbSize = TK_TOOLINFO_SIZE_NO_EXTENSION;
    EXPECT_EQ(strip.FillTabToolInfo(nullptr, pItem, &ti), c.expected);
    if (c.expected >= 0) {
      EXPECT_EQ(ti.uId, 1u);
      EXPECT_EQ(CRect(ti.rect), pItem->m_rcItem);
      ASSERT_NE(ti.lpszText, nullptr);
      EXPECT_STREQ(ti.lpszText, c.tip);
      std::free(ti.lpszText);
    }
  }

  // The extended record also gets the text and the tab's caption as the title.
  CTKTabPaintManager pm;
  pm.m_nToolTipMode = 1;
  Strip strip(pm, CRect(0, 0, 400, 40));
  strip.AddTabs({"A", "Опоры"});
  strip.GetTab(1)->m_strToolTip = "Группы опор";
  TK_TOOLINFO_EXTENSION extension{};
  TOOLINFO ti{};
  ti.cbSize = TK_TOOLINFO_SIZE;
  ti.lpReserved = &extension;
  EXPECT_EQ(strip.FillTabToolInfo(nullptr, strip.GetTab(1), &ti), 1);
  ASSERT_NE(extension.lpszTitle, nullptr);
  ASSERT_NE(extension.lpszText, nullptr);
  EXPECT_STREQ(extension.lpszTitle, "Опоры");
  EXPECT_STREQ(extension.lpszText, "Группы опор");
  std::free(ti.lpszText);
  std::free(extension.lpszTitle);
  std::free(extension.lpszText);
}

TEST(TabManager, SelectingATabBeyondTheFarEndScrollsItIntoView)
{
  CTKTabPaintManager pm;
  pm.InstallAppearance(new FixedLengthAppearance);
  Strip strip(pm, CRect(0, 0, 200, 40));
  AddSizedTabs(strip, 8, 50);
  strip.SelectTab(strip.GetTab(6));
  EXPECT_LT(strip.GetStripOffset(), 0);
  EXPECT_EQ(strip.GetTab(6)->m_rcItem.right, strip.m_rcHeader.right);
  // And one before the start comes back to the near margin.
  strip.SelectTab(strip.GetTab(0));
  EXPECT_EQ(strip.GetStripOffset(), 0);
  EXPECT_EQ(strip.GetTab(0)->m_rcItem.left, 2);
}

// ---- A strip in a window, driven by injected mouse input

// Each reading of the time moves it on by 1 ms, so that a loop that polls the clock sees time pass.
class SteppingClock final : public platform::Clock {
public:
  std::uint64_t NowMs() override
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    return ++m_now;
  }
  void SleepMs(std::uint64_t ms) override
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_now += ms;
  }

private:
  std::mutex m_mutex;
  std::uint64_t m_now = 1000;
};

Strip* g_strip = nullptr;

LRESULT StripProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_LBUTTONDOWN && g_strip != nullptr) {
    g_strip->HandleLButtonDown(CWnd::FromHandle(hwnd),
                               CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

class MouseOnStrip : public ::testing::Test {
protected:
  static constexpr POINT kOrigin{100, 100};

  void SetUp() override
  {
    static bool registered = [] {
      WNDCLASS wc;
      wc.lpfnWndProc = &StripProc;
      wc.lpszClassName = "TKTabStripTest";
      return RegisterClass(&wc) != 0;
    }();
    (void)registered;
    m_hwnd = CreateWindowEx(0, "TKTabStripTest", "", WS_POPUP | WS_VISIBLE, kOrigin.x, kOrigin.y, 300, 40, nullptr,
                            nullptr, nullptr, nullptr);
    m_pm.InstallAppearance(new FixedLengthAppearance);
    g_strip = &m_strip;
  }
  void TearDown() override
  {
    g_strip = nullptr;
    DestroyWindow(m_hwnd);
    Pump();
  }
  static POINT Screen(CPoint client) { return POINT{kOrigin.x + client.x, kOrigin.y + client.y}; }

  CTKTabPaintManager m_pm;
  Strip m_strip{m_pm, CRect(0, 0, 300, 40)};
  HWND m_hwnd = nullptr;
};

TEST_F(MouseOnStrip, ArrowsAppearOnlyOnOverflowAndHoldingOneScrollsToTheEnd)
{
  AddSizedTabs(m_strip, 3, 50);
  CTKTabManagerNavigateButton* pLeft = m_strip.FindNavigateButton(0);
  CTKTabManagerNavigateButton* pRight = m_strip.FindNavigateButton(1);
  EXPECT_TRUE(pLeft->GetRect().IsRectEmpty());
  EXPECT_TRUE(pRight->GetRect().IsRectEmpty());
  EXPECT_EQ(m_strip.GetStripOffset(), 0);

  m_strip.m_bLayoutOn = FALSE;
  for (int i = 3; i < 10; ++i) {
    m_strip.InsertTab(-1)->m_nSpare = 50;
  }
  m_strip.m_bLayoutOn = TRUE;
  m_strip.Reposition();
  ASSERT_FALSE(pLeft->GetRect().IsRectEmpty());
  ASSERT_FALSE(pRight->GetRect().IsRectEmpty());
  EXPECT_FALSE(pLeft->IsEnabled()) << "at offset 0";
  EXPECT_TRUE(pRight->IsEnabled());
  EXPECT_EQ(pRight->GetRect().right, 299);
  EXPECT_EQ(pLeft->GetRect().right, pRight->GetRect().left);

  // The disabled left arrow does nothing: no capture, no scroll.
  user::InjectClick(Screen(pLeft->GetRect().CenterPoint()));
  Pump();
  EXPECT_EQ(m_strip.GetStripOffset(), 0);
  EXPECT_EQ(GetCapture(), nullptr);

  // Hold the right arrow; let go once it has become disabled.
  SteppingClock clock;
  platform::ScopedClock useClock(clock);
  std::vector<int> offsets;
  std::vector<DWORD> ticks;
  bool released = false;
  m_strip.m_onReposition = [&] {
    if (GetCapture() == nullptr || released) {
      return;
    }
    offsets.push_back(m_strip.GetStripOffset());
    ticks.push_back(GetTickCount());
    if (!pRight->IsEnabled()) {
      released = true;
      user::InjectMouseButton(VK_LBUTTON, false);
    }
  };
  user::InjectMouseMove(Screen(pRight->GetRect().CenterPoint()));
  user::InjectMouseButton(VK_LBUTTON, true);
  Pump();
  m_strip.m_onReposition = nullptr;

  ASSERT_TRUE(released);
  const std::vector<int> expected = {-20, -40, -60, -80, -100, -120, -140, -160, -180, -200, -220, -237};
  EXPECT_EQ(offsets, expected) << "20-pixel steps, the last one pulled back to the end";
  for (size_t i = 1; i < ticks.size(); ++i) {
    EXPECT_GT(ticks[i] - ticks[i - 1], 20u) << "step " << i;
  }
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(pRight->IsEnabled());
  EXPECT_TRUE(pLeft->IsEnabled());
  // The last tab ends where the strip ends less both arrows (and the far margin).
  const CRect last = m_strip.GetTab(9)->m_rcItem;
  EXPECT_EQ(last.right, pLeft->GetRect().left - 1 - 6 + 1);
  EXPECT_EQ(last.right, 299 - 28 - 6);
}

TEST_F(MouseOnStrip, DraggingATabReordersAndSelectsIt)
{
  AddSizedTabs(m_strip, 3, 50);
  m_strip.SelectTab(m_strip.GetTab(1));
  ASSERT_EQ(m_strip.Order(), "A B C");
  const CPoint onA = m_strip.GetTab(0)->m_rcItem.CenterPoint();
  const CPoint onC = m_strip.GetTab(2)->m_rcItem.CenterPoint();
  CTKTabManagerItem* pA = m_strip.GetTab(0);

  user::InjectMouseMove(Screen(onA));
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(Screen(onC));
  user::InjectMouseButton(VK_LBUTTON, false);
  Pump();

  EXPECT_EQ(m_strip.Order(), "C B A");
  EXPECT_EQ(m_strip.GetSelectedTab(), pA);
  EXPECT_EQ(pA->GetIndex(), 2);
  EXPECT_EQ(GetCapture(), nullptr);

  // Without reordering a press only selects.
  m_strip.EnableReorder(FALSE);
  user::InjectClick(Screen(m_strip.GetTab(0)->m_rcItem.CenterPoint()));
  Pump();
  EXPECT_EQ(m_strip.Order(), "C B A");
  EXPECT_EQ(m_strip.GetSelectedTab(), m_strip.GetTab(0));
}

TEST_F(MouseOnStrip, HotTrackingFollowsTheMouseWhileTheWindowIsActive)
{
  AddSizedTabs(m_strip, 8, 50);
  CWnd* pWnd = CWnd::FromHandle(m_hwnd);
  SetActiveWindow(m_hwnd);
  Pump();
  const CPoint onB = m_strip.GetTab(1)->m_rcItem.CenterPoint();
  CTKTabManagerNavigateButton* pRight = m_strip.FindNavigateButton(1);
  ASSERT_TRUE(pRight->IsEnabled());

  // Hot tracking off: tabs never turn hot, but the buttons still do.
  m_strip.PerformMouseMove(pWnd, onB);
  EXPECT_EQ(m_strip.GetHotTab(), nullptr);
  m_strip.PerformMouseMove(pWnd, pRight->GetRect().CenterPoint());
  EXPECT_TRUE(pRight->IsHot());
  m_strip.PerformMouseMove(pWnd, CPoint(-1, -1));
  EXPECT_FALSE(pRight->IsHot());

  m_pm.m_bHotTracking = TRUE;
  const int redraws = m_strip.m_nRedraws;
  m_strip.PerformMouseMove(pWnd, onB);
  EXPECT_EQ(m_strip.GetHotTab(), m_strip.GetTab(1));
  EXPECT_EQ(m_strip.m_nRedraws, redraws + 1);
  m_strip.PerformMouseMove(pWnd, onB);
  EXPECT_EQ(m_strip.m_nRedraws, redraws + 1) << "no change, no redraw";
  m_strip.PerformMouseMove(pWnd, CPoint(-1, -1));
  EXPECT_EQ(m_strip.GetHotTab(), nullptr);

  // A window whose top-level parent is not active changes no hot state.
  HWND other = CreateWindowEx(0, "TKTabStripTest", "", WS_POPUP | WS_VISIBLE, 500, 500, 50, 50, nullptr, nullptr,
                              nullptr, nullptr);
  SetActiveWindow(other);
  Pump();
  m_strip.PerformMouseMove(pWnd, onB);
  EXPECT_EQ(m_strip.GetHotTab(), nullptr);
  DestroyWindow(other);
}

}  // namespace
