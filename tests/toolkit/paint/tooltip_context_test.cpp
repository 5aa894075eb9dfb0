// Tips on the virtual clock with a scripted mouse: a bar window relays its messages to a shared context; the
// frame around it is the active window; another window gets no relay at all.
#include "toolkit/paint/tooltip_context.h"

#include "platform/base/clock.h"
#include "platform/user/input.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

// A bar 200 x 30 whose left half is tool 1 and whose right half from x 120 is tool 2; 100..120 is no tool.
class Bar : public CWnd {
public:
  explicit Bar(CTKToolTipContext& context) : m_context(context) {}

  INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override
  {
    if (point.x >= 0 && point.x < 100) {
      CTKToolTipContext::FillInToolInfo(pTI, GetSafeHwnd(), CRect(0, 0, 100, 30), 1, "&Open", "Open",
                                        "Opens a project");
      return 1;
    }
    if (point.x >= 120 && point.x < 200) {
      CTKToolTipContext::FillInToolInfo(pTI, GetSafeHwnd(), CRect(120, 0, 200, 30), 2, "Save");
      return 2;
    }
    return -1;
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    m_context.FilterToolTipMessage(this, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
  }

private:
  CTKToolTipContext& m_context;
};

// The system tip of style 0, recording the titles the context sets.
class RecordingTip : public CTKToolTipContext::CStandardToolTip {
public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (message == TTM_SETTITLE) {
      titles.push_back(lParam != 0 ? reinterpret_cast<LPCSTR>(lParam) : "(none)");
    }
    return CStandardToolTip::WindowProc(message, wParam, lParam);
  }
  std::vector<std::string> titles;
};

class RecordingContext : public CTKToolTipContext {
public:
  CWnd* MakeTipWindow(CWnd* pOwner) override
  {
    if (m_nStyle != tkStyleStandard) {
      return CTKToolTipContext::MakeTipWindow(pOwner);
    }
    auto* tip = new RecordingTip();
    tip->Create(pOwner, m_dwStyle | TTS_ALWAYSTIP);
    return tip;
  }
  std::vector<std::string> Titles() const
  {
    auto* tip = dynamic_cast<RecordingTip*>(m_pToolTip);
    return tip != nullptr ? tip->titles : std::vector<std::string>{"no tip"};
  }
};

class ToolTips : public ::testing::Test {
protected:
  void SetUp() override
  {
    frame.CreateEx(0, AfxRegisterWndClass(0), "frame", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                   nullptr);
    bar.CreateEx(0, AfxRegisterWndClass(0), "bar", WS_CHILD | WS_VISIBLE, 10, 10, 200, 30, frame.GetSafeHwnd(),
                 nullptr);
    other.CreateEx(0, AfxRegisterWndClass(0), "other", WS_POPUP | WS_VISIBLE, 500, 10, 100, 100, nullptr,
                   nullptr);
    SetForegroundWindow(frame.GetSafeHwnd());
    Pump();
  }
  void TearDown() override
  {
    context.CancelToolTips();
    other.DestroyWindow();
    bar.DestroyWindow();
    frame.DestroyWindow();
    Pump();
  }

  // A point of the bar in screen coordinates.
  static POINT OnBar(int x) { return POINT{x + 10, 25}; }
  void Move(POINT pt)
  {
    user::InjectMouseMove(pt);
    Pump();
  }
  void Wait(std::uint64_t ms)
  {
    clock.Advance(ms);
    Pump();
  }
  // The tool the tip shows: 0 when hidden.
  UINT_PTR Shown()
  {
    auto* tip = dynamic_cast<CTKToolTipContextToolTip*>(context.GetTipWindow());
    if (tip == nullptr || !tip->IsWindowVisible()) {
      return 0;
    }
    return tip->GetCurrentTool().uId;
  }

  platform::VirtualClock clock{1000};
  platform::ScopedClock scoped{clock};
  RecordingContext context;
  CWnd frame;
  Bar bar{context};
  CWnd other;
};

TEST_F(ToolTips, OwnTipWaitsThenSwitchesQuicklyAndHidesOnPressOrLeaving)
{
  context.SetStyle(CTKToolTipContext::tkStyleOwnerDrawn);
  struct Step {
    const char* what;
    std::function<void()> act;
    UINT_PTR shown;
  };
  const std::vector<Step> steps = {
      {"over tool 1", [&] { Move(OnBar(20)); }, 0},
      {"499 ms later", [&] { Wait(499); }, 0},
      {"500 ms: the first delay is over", [&] { Wait(1); }, 1},
      {"moving within the tool", [&] { Move(OnBar(30)); }, 1},
      {"off every tool", [&] { Move(OnBar(110)); }, 0},
      {"onto tool 2 within 200 ms of hiding", [&] { Wait(150), Move(OnBar(150)); }, 2},
      {"off again", [&] { Wait(1000), Move(OnBar(110)); }, 0},
      {"after a pause onto tool 1", [&] { Wait(300), Move(OnBar(20)); }, 0},
      {"and its delay", [&] { Wait(500); }, 1},
      {"a press hides it", [&] { user::InjectMouseButton(VK_LBUTTON, true), Pump(); }, 0},
      {"the release keeps it hidden", [&] { user::InjectMouseButton(VK_LBUTTON, false), Pump(); }, 0},
      {"long after, still over the tool", [&] { Wait(2000), Move(OnBar(25)), Wait(1000); }, 0},
      {"another tool shows after the delay", [&] { Move(OnBar(150)), Wait(500); }, 2},
      {"leaving for a window that relays nothing", [&] { Move(POINT{550, 50}); }, 0},
      {"and it stays hidden", [&] { Wait(1000); }, 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(Shown(), step.shown);
  }
  auto* tip = dynamic_cast<CTKToolTipContextToolTip*>(context.GetTipWindow());
  ASSERT_NE(tip, nullptr);
  // Only the last tool stays registered: the bar heard nothing since.
  EXPECT_EQ(tip->GetToolCount(), 1);
}

TEST_F(ToolTips, ShownTipSitsBelowTheCursorAndIsSizedToItsText)
{
  context.SetStyle(CTKToolTipContext::tkStyleOwnerDrawn);
  context.m_rcMargin = CRect(2, 1, 2, 1);
  Move(OnBar(150));
  Wait(500);
  ASSERT_EQ(Shown(), 2u);
  CRect rc;
  context.GetTipWindow()->GetWindowRect(&rc);
  EXPECT_EQ(rc.TopLeft(), CPoint(160, 25 + 21));
  CClientDC dc(context.GetTipWindow());
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  CFont font;
  font.CreateFontIndirect(&metrics.lfStatusFont);
  CFont* old = dc.SelectObject(&font);
  CRect text(0, 0, context.GetMaxTipWidth(), 0);
  dc.DrawText(CString("Save"), &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  dc.SelectObject(old);
  EXPECT_EQ(rc.Size(), CSize(text.Width() + 4 + 6, text.Height() + 2 + 6));
}

TEST_F(ToolTips, TitlesAndPrefixes)
{
  context.SetStyle(CTKToolTipContext::tkStyleOwnerDrawn);
  context.m_bShowTitle = TRUE;
  Move(OnBar(20));
  Wait(500);
  auto* tip = dynamic_cast<CTKToolTipContextToolTip*>(context.GetTipWindow());
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(Shown(), 1u);
  EXPECT_EQ(std::string(tip->GetTitle().GetString()), "Open");
  // Tool 2 has no description: the title of tool 1 is cleared.
  Move(OnBar(150));
  EXPECT_EQ(std::string(tip->GetTitle().GetString()), "");

  // Without the no-prefix bit the tip window is made again, and its title loses its mnemonics.
  context.ModifyToolTipStyle(TTS_NOPREFIX, 0);
  EXPECT_EQ(context.GetTipWindow(), nullptr);
  Move(OnBar(20));
  tip = dynamic_cast<CTKToolTipContextToolTip*>(context.GetTipWindow());
  ASSERT_NE(tip, nullptr);
  tip->SendMessage(TTM_SETTITLE, 1, reinterpret_cast<LPARAM>("&File"));
  EXPECT_EQ(std::string(tip->GetTitle().GetString()), "File");
}

TEST_F(ToolTips, KeysCancelAndOtherWindowsMessagesAreNotRelayed)
{
  context.SetStyle(CTKToolTipContext::tkStyleOwnerDrawn);
  Move(OnBar(20));
  Wait(500);
  ASSERT_EQ(Shown(), 1u);
  // A message of a window outside the bar is not the bar's to relay.
  MSG foreign{};
  foreign.hwnd = other.GetSafeHwnd();
  foreign.message = WM_KEYDOWN;
  context.RelayToolTipMessage(&bar, &foreign);
  EXPECT_EQ(Shown(), 1u);
  context.FilterToolTipMessage(&bar, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Shown(), 0u);
}

TEST_F(ToolTips, SystemTipTitlesNeedCommonControls580)
{
  struct Case {
    const char* what;
    int version;
    std::vector<std::string> titles;
  };
  // Tool 1 has a title and a description, tool 2 neither.
  const Case cases[] = {
      {"5.80: set, then cleared", 0x50050, {"Open", "(none)"}},
      {"5.72: nothing", 0x50048, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    context.ModifyToolTipStyle(0, 0x8000);  // a new tip window for each case
    context.ModifyToolTipStyle(0x8000, 0);
    context.m_nComCtlVersion = c.version;
    context.m_bShowTitle = TRUE;
    Move(OnBar(20));
    Move(OnBar(150));
    EXPECT_EQ(context.Titles(), c.titles);
    Move(OnBar(110));
  }
}

TEST_F(ToolTips, LunaTipBackgroundFollowsTheDesktopScheme)
{
  context.SetStyle(CTKToolTipContext::tkStyleLuna);
  Move(OnBar(150));
  Wait(500);
  auto* tip = dynamic_cast<CTKToolTipContext::CLunaToolTip*>(context.GetTipWindow());
  ASSERT_NE(tip, nullptr);
  ASSERT_EQ(Shown(), 2u);
  CTKToolTipContextToolTip::TOOLITEM tool = tip->GetCurrentTool();
  // No desktop scheme: from the tip background to white, in a black frame.
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  CDC screen;
  screen.CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  bitmap.CreateCompatibleBitmap(&screen, 40, 40);
  CBitmap* old = dc.SelectObject(&bitmap);
  tip->DrawBackground(&dc, tool, CRect(0, 0, 40, 40));
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetPixel(39, 39), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetPixel(20, 1), context.GetTipBkColor());
  dc.SelectObject(old);
}

TEST_F(ToolTips, RichTextTipSizes)
{
  context.SetStyle(CTKToolTipContext::tkStyleRichText);
  Move(OnBar(150));
  Wait(500);
  auto* tip = dynamic_cast<CTKToolTipContext::CRichEditToolTip*>(context.GetTipWindow());
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(Shown(), 2u);  // plain text, streamed in again as text

  CTKToolTipContextToolTip::TOOLITEM left;
  left.strText = "{\\rtf1 Save the project}";
  CTKToolTipContextToolTip::TOOLITEM centred;
  centred.strText = "{\\rtf1\\qc Save the project}";
  CTKToolTipContextToolTip::TOOLITEM justified;
  justified.strText = "{\\rtf1\\qj Save the project}";
  CTKToolTipContextToolTip::TOOLITEM empty;
  const CSize a = tip->CalcTipSize(left);
  const CSize b = tip->CalcTipSize(centred);
  EXPECT_GT(a.cx, 10);
  EXPECT_GT(a.cy, 4);
  // Five pixels more room for a centred first paragraph (the rich edit may round a centred line's own width up by
  // one); none for a justified one.
  EXPECT_GE(b.cx, a.cx + 5);
  EXPECT_LE(b.cx, a.cx + 6);
  EXPECT_EQ(b.cy, a.cy);
  EXPECT_EQ(tip->CalcTipSize(justified), a);
  EXPECT_EQ(tip->CalcTipSize(empty), CSize(0, 0));
}

TEST(ToolTipContext, FillInToolInfoByRecordSize)
{
  struct Case {
    const char* what;
    UINT size;
    const char* title;
    bool text;
    bool extension;
  };
  const Case cases[] = {
      {"too short: untouched", TK_TOOLINFO_SIZE_NO_EXTENSION - 1, "Title", false, false},
      {"old size: text only", TK_TOOLINFO_SIZE_NO_EXTENSION, "Title", true, false},
      {"long: text and extension", TK_TOOLINFO_SIZE, "Title", true, true},
      {"long without a title: text only", TK_TOOLINFO_SIZE, "", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TK_TOOLINFO_EXTENSION extension;
    TOOLINFO info;
    info.cbSize = c.size;
    info.lpReserved = &extension;
    CTKToolTipContext::FillInToolInfo(&info, reinterpret_cast<HWND>(0x10), CRect(1, 2, 3, 4), 7, "Tip", c.title,
                                      "Description");
    EXPECT_EQ(info.lpszText != nullptr, c.text);
    EXPECT_EQ(extension.lpszText != nullptr, c.extension);
    if (c.text) {
      EXPECT_EQ(info.uId, 7u);
      EXPECT_EQ(CRect(info.rect), CRect(1, 2, 3, 4));
      EXPECT_STREQ(info.lpszText, "Tip");
    }
    if (c.extension) {
      EXPECT_STREQ(extension.lpszText, "Description");
      EXPECT_STREQ(extension.lpszTitle, "Title");
    }
    std::free(info.lpszText);
    std::free(extension.lpszText);
    std::free(extension.lpszTitle);
  }
}

}  // namespace
