// The status bar: indicator panes sized by their strings with the message pane stretching over the rest, the
// status line's prompts and idle message, disabled indicators without text, and the bar's window text.
#include "platform/user/common_controls.h"
#include "tests/platform/mfc/bar_frame.h"

#include <cstring>

namespace mfctest {
namespace {

using namespace res::bars;

// The text the control shows in a pane.
std::string ShownText(const CStatusBar& bar, int pane)
{
  char text[256] = {};
  ::SendMessage(bar.m_hWnd, SB_GETTEXT, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text));
  return text;
}

std::vector<int> PartEdges(const CStatusBar& bar)
{
  int edges[8] = {};
  auto count = static_cast<int>(::SendMessage(bar.m_hWnd, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
  return std::vector<int>(edges, edges + count);
}

TEST_F(BarsTest, TheMessagePaneStretchesOverWhatTheIndicatorsLeave)
{
  CStatusBar& bar = frame_->m_status;
  ASSERT_EQ(bar.GetCount(), 3);
  UINT id = 0;
  UINT style = 0;
  int width = 0;
  bar.GetPaneInfo(0, id, style, width);
  EXPECT_EQ(style, SBPS_STRETCH | SBPS_NOBORDERS);
  std::vector<int> indicatorWidths;
  // The message pane is at least a quarter of the screen wide (and its 6 pixels of border); narrower frames cut
  // the indicators off on the right rather than squeeze it.
  const int leastMessageEdge = ::GetSystemMetrics(SM_CXSCREEN) / 4 + 6;
  for (int cx : {640, 800, 300}) {
    SCOPED_TRACE(cx);
    Resize(cx, 480);
    std::vector<int> edges = PartEdges(bar);
    ASSERT_EQ(edges.size(), 3u);
    if (cx >= 400) {
      EXPECT_EQ(edges[2], cx);  // the last pane ends at the bar's right edge
    } else {
      EXPECT_EQ(edges[0], leastMessageEdge);
    }
    // The indicators keep their widths (text plus 6 pixels of border), whatever the frame's width.
    std::vector<int> widths{edges[1] - edges[0], edges[2] - edges[1]};
    if (indicatorWidths.empty()) {
      indicatorWidths = widths;
    }
    EXPECT_EQ(widths, indicatorWidths);
  }
  int capWidth = 0;
  bar.GetPaneInfo(1, id, style, capWidth);
  EXPECT_EQ(id, ID_INDICATOR_CAPS);
  EXPECT_GT(capWidth, 10);
  EXPECT_EQ(indicatorWidths[0], capWidth + 6 + 2);  // and the control's gap between parts

  // An indicator without a string: FALSE, the panes up to it stay.
  const UINT missing[] = {ID_SEPARATOR, ID_INDICATOR_NUM, 61234, ID_INDICATOR_CAPS};
  EXPECT_FALSE(bar.SetIndicators(missing, 4));
  EXPECT_EQ(bar.GetCount(), 3);
  EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_NUM), 1);
  EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_CAPS), -1);
}

TEST_F(BarsTest, TheStatusLineShowsPromptsAndTheIdleMessage)
{
  CStatusBar& bar = frame_->m_status;
  // A new frame starts with the idle message, once its queue is served.
  EXPECT_EQ(ShownText(bar, 0), "");
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::DispatchMessage(&msg);
  }
  EXPECT_EQ(ShownText(bar, 0), "Готово");

  struct Case {
    WPARAM id;
    const char* text;  // lParam
    const char* shown;
  };
  const Case cases[] = {
      {ID_BAR_SAVE, nullptr, "Сохранить проект"},                 // the prompt: the string's first line
      {AFX_IDS_IDLEMESSAGE, nullptr, "Готово"},
      {0, "Расчёт: 12 из 40 точек", "Расчёт: 12 из 40 точек"},    // a text of its own
      {61234, nullptr, ""},                                       // an id without a string
  };
  for (const Case& c : cases) {
    frame_->SendMessage(WM_SETMESSAGESTRING, c.id, reinterpret_cast<LPARAM>(c.text));
    EXPECT_EQ(ShownText(bar, 0), c.shown);
    EXPECT_EQ(std::string(bar.GetPaneText(0)), c.shown);
    EXPECT_EQ(std::string(bar.GetWindowTextString()), c.shown);
  }
  frame_->SetMessageText(ID_BAR_OPEN);
  EXPECT_EQ(frame_->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE), static_cast<LRESULT>(ID_BAR_OPEN));
  EXPECT_EQ(ShownText(bar, 0), "Готово");

  // A flyby toolbar shows the prompt of the button under the mouse, and the idle message when it leaves.
  CRect save;
  frame_->m_standard.GetItemRect(frame_->m_standard.CommandToIndex(ID_BAR_SAVE), save);
  ::SendMessage(frame_->m_standard.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(save.CenterPoint().x, save.CenterPoint().y));
  EXPECT_EQ(ShownText(bar, 0), "Сохранить проект");
  ::SendMessage(frame_->m_standard.m_hWnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(ShownText(bar, 0), "Готово");
}

TEST_F(BarsTest, AnIndicatorWhoseKeyIsOffShowsNoTextButKeepsIt)
{
  CStatusBar& bar = frame_->m_status;
  ASSERT_EQ(::GetKeyState(VK_NUMLOCK) & 1, 0);
  Idle();
  const int num = bar.CommandToIndex(ID_INDICATOR_NUM);
  EXPECT_EQ(bar.GetPaneStyle(num) & SBPS_DISABLED, SBPS_DISABLED);
  EXPECT_EQ(ShownText(bar, num), "");
  EXPECT_EQ(std::string(bar.GetPaneText(num)), "NUM");
  // Enabled again, the text comes back.
  bar.SetPaneStyle(num, bar.GetPaneStyle(num) & ~SBPS_DISABLED);
  EXPECT_EQ(ShownText(bar, num), "NUM");
  // A text set without update waits for the next paint.
  EXPECT_TRUE(bar.SetPaneText(0, "Открыт проект", FALSE));
  EXPECT_EQ(ShownText(bar, 0), "");
  bar.UpdateWindow();
  bar.Invalidate();
  bar.UpdateWindow();
  EXPECT_EQ(ShownText(bar, 0), "Открыт проект");
}

TEST_F(BarsTest, TheStatusBarsWindowTextFitsTheCallersBuffer)
{
  CStatusBar& bar = frame_->m_status;
  frame_->SetMessageText("Освещенность дороги");
  const std::string whole = "Освещенность дороги";
  EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH), static_cast<LRESULT>(whole.size()));
  // Buffers of every size, each exactly as long as given: no byte is written past its end.
  for (std::size_t room = 0; room <= whole.size() + 1; ++room) {
    std::vector<char> buffer(room);
    LRESULT copied = bar.SendMessage(WM_GETTEXT, room, reinterpret_cast<LPARAM>(buffer.data()));
    if (room == 0) {
      EXPECT_EQ(copied, 0);
      continue;
    }
    EXPECT_EQ(static_cast<std::size_t>(copied), std::min(room - 1, whole.size()));
    EXPECT_EQ(std::string(buffer.data()), whole.substr(0, static_cast<std::size_t>(copied)));
  }
  // Bad indices are refused, not written anywhere.
  EXPECT_FALSE(bar.SetPaneText(-1, "x"));
  EXPECT_FALSE(bar.SetPaneText(3, "x"));
  EXPECT_EQ(bar.GetPaneStyle(7), 0u);
  CRect rect(1, 2, 3, 4);
  bar.GetItemRect(9, rect);
  EXPECT_TRUE(rect.IsRectNull());
}

}  // namespace
}  // namespace mfctest
