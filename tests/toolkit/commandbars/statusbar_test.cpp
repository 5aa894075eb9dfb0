// The status bar over the system's status-bar control: pane widths and parts, texts handed to the control only
// when they change, disabled and hidden panes, the size grip, the window text of the message pane, and what the
// paint manager draws for a pane.
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/user/common_controls.h"
#include "toolkit/commandbars/statusbar.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/tooltip_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr UINT kStatusBarStyle = 0x50008200;
constexpr UINT kStatusBarId = 59393;
constexpr UINT kIndicatorNum = 59138;
const UINT kIndicators[] = {0, kIndicatorNum};

// Records the texts the bar hands to its control.
class CRecordingStatusBar : public CTKStatusBar {
public:
  std::vector<std::string> m_sent;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
  {
    if (message == SB_SETTEXT)
      m_sent.push_back(std::to_string(wParam) + ":" + (lParam ? reinterpret_cast<LPCSTR>(lParam) : "(null)"));
    return CTKStatusBar::OnWndMsg(message, wParam, lParam, pResult);
  }
};

class StatusBar : public ::testing::Test {
protected:
  void SetUp() override
  {
    CTKPaintManager::SetTheme(tkThemeDefault);
    ASSERT_TRUE(frame.Make(800, 600));
    ASSERT_TRUE(bar.Create(&frame, kStatusBarStyle, kStatusBarId));
    bar.MoveWindow(0, 500, 800, 24);
  }
  void TearDown() override { CTKPaintManager::SetTheme(tkThemeDefault); }

  int TextWidth(const char* psz)
  {
    CClientDC dc(nullptr);
    CFont* pOld = dc.SelectObject(bar.GetFont());
    int cx = dc.GetTextExtent(psz, static_cast<int>(strlen(psz))).cx;
    dc.SelectObject(pOld);
    return cx;
  }
  CRect ItemRect(int nIndex)
  {
    CRect rc;
    bar.GetItemRect(nIndex, &rc);
    return rc;
  }
  int Parts() { return static_cast<int>(bar.SendMessage(SB_GETPARTS, 0, 0)); }

  cbtest::CTestFrame frame;
  CRecordingStatusBar bar;
};

TEST_F(StatusBar, TheMessagePaneStretchesAndNumIsAsWideAsItsText)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  CTKStatusBarPane* pMessage = bar.GetPane(0);
  CTKStatusBarPane* pNum = bar.GetPane(1);
  ASSERT_TRUE(pMessage && pNum);
  EXPECT_EQ(pMessage->GetStyle(), SBPS_STRETCH | SBPS_NOBORDERS);
  // A quarter of the screen is only the message pane's least width.
  EXPECT_EQ(pMessage->GetWidth(), ::GetSystemMetrics(SM_CXSCREEN) / 4);
  EXPECT_EQ(pNum->GetText(), CString("NUM"));
  EXPECT_EQ(pNum->GetStyle(), 0u);
  EXPECT_EQ(pNum->GetWidth(), TextWidth("NUM") + 2);

  CRect rcNum = ItemRect(1);
  EXPECT_EQ(rcNum.Width(), TextWidth("NUM") + 8);
  CRect rcMessage = ItemRect(0);
  // The message pane takes everything the "NUM" pane and the size grip leave.
  int rgBorders[3] = {};
  bar.SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(rgBorders));
  CRect rcInside(0, 0, 800, 24);
  bar.CalcInsideRect(rcInside, TRUE);
  int rgEdges[2] = {};
  ASSERT_EQ(bar.SendMessage(SB_GETPARTS, 2, reinterpret_cast<LPARAM>(rgEdges)), 2);
  EXPECT_EQ(rgEdges[1], rgBorders[0] + rcInside.Width());
  EXPECT_EQ(rgEdges[0], rgEdges[1] - (TextWidth("NUM") + 2 + 6) - rgBorders[2]);
  EXPECT_EQ(rcMessage.left, rgBorders[0]);
  EXPECT_GT(rcMessage.Width(), pMessage->GetWidth());
  EXPECT_EQ(bar.GetPaneCount(), 2);
  EXPECT_EQ(bar.CommandToIndex(kIndicatorNum), 1);
  EXPECT_EQ(bar.CommandToIndex(4), -1);
  EXPECT_GE(bar.CalcFixedLayout(TRUE, TRUE).cy, bar.GetMinHeight());
  EXPECT_EQ(bar.GetMinHeight(), 20);
}

TEST_F(StatusBar, AMissingStringEndsTheIndicatorsAfterItsPane)
{
  const UINT ids[] = {0, 4242, kIndicatorNum};
  EXPECT_FALSE(bar.SetIndicators(ids, 3));
  ASSERT_EQ(bar.GetPaneCount(), 2);
  EXPECT_TRUE(bar.GetPane(1)->GetText().IsEmpty());
  EXPECT_EQ(bar.GetPane(2), nullptr);
  CRect rc = ItemRect(7);
  EXPECT_TRUE(rc.IsRectNull());
  EXPECT_EQ(bar.GetPaneStyle(-1), 0u);
}

TEST_F(StatusBar, TextsReachTheControlOnlyWhenTheyChange)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  bar.m_sent.clear();
  struct Step {
    const char* what;
    int pane;
    const char* text;
    BOOL update;
    BOOL result;
    std::vector<std::string> sent;
  };
  const Step steps[] = {
      {"a new text goes at once", 0, "Готово", TRUE, TRUE, {"256:Готово"}},
      {"the same text again is not resent", 0, "Готово", TRUE, TRUE, {}},
      {"without update it waits", 1, "CAP", FALSE, TRUE, {}},
      {"a bad index", 5, "x", TRUE, FALSE, {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    bar.m_sent.clear();
    EXPECT_EQ(bar.SetPaneText(step.pane, step.text, step.update), step.result);
    EXPECT_EQ(bar.m_sent, step.sent);
  }
  // The waiting text goes at the next paint or layout.
  bar.m_sent.clear();
  bar.UpdateAllPanes(FALSE, TRUE);
  EXPECT_EQ(bar.m_sent, (std::vector<std::string>{"1:CAP"}));
  bar.m_sent.clear();
  bar.UpdateAllPanes(FALSE, TRUE);
  EXPECT_TRUE(bar.m_sent.empty());
}

TEST_F(StatusBar, ADisabledPaneSendsNoTextAndAHiddenOneLeavesTheParts)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  bar.m_sent.clear();
  bar.SetPaneStyle(1, SBPS_DISABLED);
  EXPECT_EQ(bar.m_sent, (std::vector<std::string>{"1:(null)"}));

  EXPECT_EQ(Parts(), 2);
  bar.GetPane(1)->SetVisible(FALSE);
  EXPECT_EQ(Parts(), 1);
  EXPECT_EQ(bar.GetVisiblePaneCount(), 1);
  bar.m_sent.clear();
  EXPECT_FALSE(bar.SetPaneText(1, "SCRL"));
  EXPECT_EQ(bar.GetPaneText(1), CString("SCRL"));
  EXPECT_TRUE(bar.m_sent.empty());
  bar.GetPane(1)->SetVisible(TRUE);
  EXPECT_EQ(Parts(), 2);
}

TEST_F(StatusBar, TheMessagePaneIsTheWindowText)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Расчёт")), 0);
  EXPECT_EQ(bar.GetPaneText(0), CString("Расчёт"));
  EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH, 0, 0), 6);
  char szBuffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(szBuffer)), 4);
  EXPECT_STREQ(szBuffer, "Рас");
  EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(szBuffer)), 0);

  const UINT ids[] = {kIndicatorNum};
  ASSERT_TRUE(bar.SetIndicators(ids, 1));
  EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), -1);
  EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(StatusBar, PaneUpdatesEnableAndPopOutWithoutAHandlerNeverDisabling)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  CTKStatusBar::CStatusCmdUI state;
  state.m_pStatusBar = &bar;
  state.m_nIndex = 1;
  state.Enable(FALSE);
  state.SetCheck(1);
  EXPECT_EQ(bar.GetPaneStyle(1), SBPS_DISABLED | SBPS_POPOUT);
  state.Enable(TRUE);
  state.SetCheck(0);
  EXPECT_EQ(bar.GetPaneStyle(1), 0u);
  state.SetText("OVR");
  EXPECT_EQ(bar.GetPaneText(1), CString("OVR"));
}

// The grip's first dark stroke of the classic theme: from (w - 3, h - 2) up to the right.
bool GripDrawn(CTKStatusBar& bar)
{
  CRect rc;
  bar.GetClientRect(&rc);
  tktest::Canvas canvas(rc.Width(), rc.Height());
  bar.DoPaint(&canvas.m_dc);
  return canvas.m_dc.GetPixel(rc.Width() - 3, rc.Height() - 2) == TKPaintManager()->GetColor(16);
}

TEST_F(StatusBar, TheSizeGripNeedsAResizableParentThatIsNotMaximised)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  EXPECT_TRUE(bar.GetStyle() & SBARS_SIZEGRIP);
  EXPECT_TRUE(GripDrawn(bar));
  frame.ShowWindow(SW_MAXIMIZE);
  EXPECT_FALSE(GripDrawn(bar));
  frame.ShowWindow(SW_RESTORE);

  auto* pFixed = new CFrameWnd;  // deletes itself with its window
  ASSERT_TRUE(pFixed->Create(nullptr, "fixed", WS_OVERLAPPED | WS_CAPTION, CRect(0, 0, 400, 300)));
  CTKStatusBar plain;
  ASSERT_TRUE(plain.Create(pFixed, kStatusBarStyle, kStatusBarId));
  plain.MoveWindow(0, 250, 400, 24);
  ASSERT_TRUE(plain.SetIndicators(kIndicators, 2));
  EXPECT_FALSE(plain.GetStyle() & SBARS_SIZEGRIP);
  EXPECT_FALSE(GripDrawn(plain));
  plain.DestroyWindow();
  pFixed->DestroyWindow();
}

TEST_F(StatusBar, ADisabledPaneIsGreyUnlessDisabledTextIsHidden)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  bar.SetPaneStyle(1, SBPS_DISABLED);
  CRect rcNum = ItemRect(1);
  auto countGrey = [&]() {
    CRect rc;
    bar.GetClientRect(&rc);
    tktest::Canvas canvas(rc.Width(), rc.Height());
    bar.DoPaint(&canvas.m_dc);
    COLORREF clrGrey = TKPaintManager()->GetColor(17);
    int n = 0;
    for (int x = rcNum.left + 2; x < rcNum.right - 2; ++x)
      for (int y = rcNum.top + 1; y < rcNum.bottom - 1; ++y)
        n += canvas.m_dc.GetPixel(x, y) == clrGrey;
    return n;
  };
  EXPECT_GT(countGrey(), 5);
  bar.SetShowDisabledText(FALSE);
  EXPECT_EQ(countGrey(), 0);
}

TEST_F(StatusBar, APaneMissingItsStringKeepsItsTextsUntilTheLayoutGivesItAPart)
{
  const UINT ids[] = {0, 4242};
  EXPECT_FALSE(bar.SetIndicators(ids, 2));
  bar.m_sent.clear();
  EXPECT_TRUE(bar.SetPaneText(0, "Готово"));
  EXPECT_TRUE(bar.m_sent.empty());
  bar.UpdateAllPanes(TRUE, TRUE);
  EXPECT_EQ(bar.m_sent, (std::vector<std::string>{"256:Готово", "1:"}));
}

TEST_F(StatusBar, PanesWithATooltipAreToolsAndChildWindowsSitInsideTheBorder)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  bar.GetPane(1)->SetTooltip("Цифровая клавиатура");
  CRect rcNum = ItemRect(1);
  struct Case {
    CPoint point;
    INT_PTR hit;
    const char* text;
  };
  const Case cases[] = {{rcNum.CenterPoint(), kIndicatorNum, "Цифровая клавиатура"},
                        {ItemRect(0).CenterPoint(), -1, nullptr}};
  for (const Case& c : cases) {
    TOOLINFO info{};
    info.cbSize = TK_TOOLINFO_SIZE_NO_EXTENSION;
    EXPECT_EQ(bar.OnToolHitTest(c.point, &info), c.hit);
    if (c.text) {
      ASSERT_NE(info.lpszText, nullptr);
      EXPECT_STREQ(info.lpszText, c.text);
      EXPECT_EQ(CRect(info.rect), rcNum);
    }
    std::free(info.lpszText);
  }

  CStatic child;
  ASSERT_TRUE(child.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &bar, 1));
  bar.GetPane(1)->SetChild(&child);
  CRect rcChild;
  child.GetWindowRect(&rcChild);
  bar.ScreenToClient(&rcChild);
  rcNum.DeflateRect(::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CXEDGE));
  EXPECT_EQ(rcChild, rcNum);
  bar.GetPane(1)->SetChild(nullptr);
  child.DestroyWindow();
}

TEST_F(StatusBar, AnUpdateWithoutHandlerNeverDisablesAPane)
{
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 2));
  bar.OnUpdateCmdUI(&frame, TRUE);
  EXPECT_EQ(bar.GetPaneStyle(0) & SBPS_DISABLED, 0u);
  // The frame's own handler of "NUM" follows the key's light.
  BOOL bNumLock = (::GetKeyState(VK_NUMLOCK) & 1) != 0;
  EXPECT_EQ((bar.GetPaneStyle(1) & SBPS_DISABLED) != 0, !bNumLock);
}

}  // namespace
