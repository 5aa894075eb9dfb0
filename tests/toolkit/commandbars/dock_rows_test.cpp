// How the dock rows place their bars: rows made by docking and by drops, pushing and shortening within a line,
// wrapping onto further lines, and what the frame's view is left with.
#include "tests/toolkit/commandbars/dock_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cbtest::CDockFrame;

constexpr int kWidth = 600;
constexpr int kHeight = 400;

// A bar that takes no room at all, whatever it is asked.
class CEmptyBar : public CTKToolBar {
public:
  CSize CalcLayout(int, DWORD, int) override { return CSize(0, 0); }
};

TEST(DockRows, BarsDockedWithoutAPlaceOpenRowsAndTheViewKeepsTheRest)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
  CTKMenuBar* pMenuBar = frame.AddMenuBar();
  CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
  CTKToolBar* pShort = frame.AddToolBar("Short", 131);
  ASSERT_TRUE(pMenuBar && pStandard && pShort);
  frame.RecalcLayout();

  EXPECT_EQ(frame.Rows(tkBarTop), "|Menu|Standard|Short|");
  EXPECT_EQ(pStandard->GetPosition(), tkBarTop);
  // The menu bar has its row to itself, stretched along it.
  EXPECT_EQ(CDockFrame::BarRect(pMenuBar), CRect(0, 0, kWidth, CDockFrame::BarRect(pMenuBar).Height()));
  CRect rcStandard = CDockFrame::BarRect(pStandard);
  CRect rcShort = CDockFrame::BarRect(pShort);
  EXPECT_EQ(rcStandard.top, CDockFrame::BarRect(pMenuBar).bottom);
  EXPECT_EQ(rcShort.top, rcStandard.bottom);
  EXPECT_EQ(rcStandard.left, 0);
  EXPECT_LT(rcStandard.Width(), kWidth);
  EXPECT_EQ(frame.Thickness(tkBarTop), rcShort.bottom);
  EXPECT_EQ(frame.ViewRect(), CRect(0, rcShort.bottom, kWidth, kHeight));
}

TEST(DockRows, ADropJoinsTheRowUnderItsMidpointOrOpensOne)
{
  struct Case {
    const char* what;
    int midY;  // relative to the top of the Standard row; -1000 for above every row
    int left;
    const char* rows;
  };
  const std::vector<Case> cases = {
      {"above every row", -1000, 0, "|Short|Menu|Standard|"},
      {"inside the Standard row", 5, 0, "|Menu|Short Standard|"},
      {"on the edge between the rows", 0, 0, "|Menu|Short|Standard|"},
      {"below every row", 200, 0, "|Menu|Standard|Short|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CDockFrame frame;
    ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
    frame.AddMenuBar();
    CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
    CTKToolBar* pShort = frame.AddToolBar("Short", 131);
    frame.RecalcLayout();
    // Short is moved: it leaves its own row first, so the Standard row's edges are those before the drop.
    CRect rcStandard = CDockFrame::BarRect(pStandard);
    CRect rcShort = CDockFrame::BarRect(pShort);
    int nMidY = c.midY == -1000 ? -50 : rcStandard.top + c.midY;
    CRect rcDrop(CPoint(c.left, nMidY - rcShort.Height() / 2), rcShort.Size());
    if (rcDrop.CenterPoint().y != nMidY)
      rcDrop.OffsetRect(0, nMidY - rcDrop.CenterPoint().y);
    frame.Dock(tkBarTop)->ClientToScreen(&rcDrop);
    ASSERT_TRUE(frame.GetCommandBars()->DockCommandBar(pShort, rcDrop, frame.Dock(tkBarTop)));
    frame.RecalcLayout();
    EXPECT_EQ(frame.Rows(tkBarTop), c.rows);
  }
}

TEST(DockRows, TheDroppedBarKeepsItsPlaceAndPushesTheOther)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
  CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
  CTKToolBar* pShort = frame.AddToolBar("Short", 131);
  frame.RecalcLayout();
  CRect rcStandard = CDockFrame::BarRect(pStandard);
  // Short dropped over the start of Standard: it stays there and Standard gives way.
  CRect rcDrop(CPoint(0, rcStandard.top), CDockFrame::BarRect(pShort).Size());
  frame.Dock(tkBarTop)->ClientToScreen(&rcDrop);
  frame.GetCommandBars()->DockCommandBar(pShort, rcDrop, frame.Dock(tkBarTop));
  frame.RecalcLayout();
  ASSERT_EQ(frame.Rows(tkBarTop), "|Short Standard|");
  CRect rcShort = CDockFrame::BarRect(pShort);
  EXPECT_EQ(rcShort.left, 0);
  EXPECT_EQ(CDockFrame::BarRect(pStandard).left, rcShort.right);
  EXPECT_EQ(pShort->GetDockContext()->m_uMRUDockPosition, tkBarTop);
}

TEST(DockRows, ALineTooShortShortensBarsOrWrapsThemWhileCustomising)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
  CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
  CTKToolBar* pShort = frame.AddToolBar("Short", 131);
  frame.RecalcLayout();
  int nStandardWidth = CDockFrame::BarRect(pStandard).Width();
  int nShortWidth = CDockFrame::BarRect(pShort).Width();
  int nLineHeight = CDockFrame::BarRect(pStandard).Height();
  // Both in one row of a frame narrower than the two together.
  CRect rcDrop(CPoint(nStandardWidth, 2), CDockFrame::BarRect(pShort).Size());
  frame.Dock(tkBarTop)->ClientToScreen(&rcDrop);
  frame.GetCommandBars()->DockCommandBar(pShort, rcDrop, frame.Dock(tkBarTop));
  int nNarrow = nStandardWidth + nShortWidth / 2;
  frame.SetWindowPos(nullptr, 0, 0, nNarrow + 16, kHeight + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CRect rcClient;
  frame.GetClientRect(&rcClient);
  frame.RecalcLayout();
  ASSERT_EQ(frame.Rows(tkBarTop), "|Short Standard|");
  CRect rcShort = CDockFrame::BarRect(pShort);
  CRect rcStandard = CDockFrame::BarRect(pStandard);
  // One line: Short stays as near its dropped start as its shortest length allows and is cut at the far end;
  // Standard fills what is left in front of it.
  EXPECT_EQ(frame.Thickness(tkBarTop), nLineHeight);
  EXPECT_LE(rcShort.left, nStandardWidth);
  EXPECT_EQ(rcShort.right, rcClient.right);
  EXPECT_LT(rcShort.Width(), nShortWidth);
  EXPECT_EQ(rcStandard.left, 0);
  EXPECT_EQ(rcStandard.right, rcShort.left);
  auto* pExpand = dynamic_cast<CTKToolBar::CTKControlExpandButton*>(
      pShort->GetControls()->FindControl(TK_ID_TOOLBAR_EXPAND));
  ASSERT_NE(pExpand, nullptr);
  EXPECT_TRUE(pExpand->HasHiddenControls());

  // While customising nothing is shortened: the rightmost bar goes on a further line of the same row.
  frame.GetCommandBars()->SetCustomizeMode(TRUE);
  frame.RecalcLayout();
  EXPECT_EQ(frame.Rows(tkBarTop), "|Short Standard|");
  EXPECT_EQ(frame.Thickness(tkBarTop), 2 * nLineHeight);
  EXPECT_EQ(CDockFrame::BarRect(pShort).top, CDockFrame::BarRect(pStandard).bottom);
  EXPECT_EQ(CDockFrame::BarRect(pShort).Width(), nShortWidth);
  EXPECT_FALSE(pExpand->HasHiddenControls());
  frame.GetCommandBars()->SetCustomizeMode(FALSE);
}

TEST(DockRows, RowsThatTakeNoRoomKeepTheirEdgeWithThicknessZero)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
  CTKMenuBar* pMenuBar = frame.AddMenuBar();
  CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
  CTKToolBar* pLeft = frame.AddToolBar("Left", 131, tkBarLeft);
  frame.RecalcLayout();
  ASSERT_GT(frame.Thickness(tkBarTop), 0);
  ASSERT_GT(frame.Thickness(tkBarLeft), 0);

  // Every bar hidden: the rows stay in the array, the dock rows take no room.
  for (CTKToolBar* pBar : {static_cast<CTKToolBar*>(pMenuBar), pStandard, pLeft})
    pBar->SetVisible(FALSE);
  frame.RecalcLayout();
  EXPECT_EQ(frame.Rows(tkBarTop), "|Menu|Standard|");
  EXPECT_EQ(frame.Thickness(tkBarTop), 0);
  EXPECT_EQ(frame.Thickness(tkBarLeft), 0);
  EXPECT_EQ(CDockFrame::BarRect(frame.Dock(tkBarTop)).top, 0);
  EXPECT_EQ(frame.ViewRect(), CRect(0, 0, kWidth, kHeight));

  // Visible bars that report no size at all, on a horizontal and on a vertical dock row: each line is placed with
  // thickness 0 and the layout ends.
  for (int nPosition : {tkBarTop, tkBarLeft}) {
    for (int i = 0; i < 2; ++i) {
      auto* pEmpty = new CEmptyBar;
      pEmpty->SetCommandBars(frame.GetCommandBars());
      pEmpty->EnableDocking(TK_DOCK_TOOLBAR_FLAGS);
      pEmpty->SetTitle("Empty");
      CRect rcDrop(10 * i, 0, 10 * i + 4, 4);
      frame.Dock(nPosition)->ClientToScreen(&rcDrop);
      ASSERT_TRUE(frame.GetCommandBars()->DockCommandBar(pEmpty, i == 0 ? nullptr : rcDrop.operator LPCRECT(),
                                                         frame.Dock(nPosition)));
      frame.GetCommandBars()->AddBar(pEmpty);
    }
  }
  frame.RecalcLayout();
  EXPECT_EQ(frame.Rows(tkBarTop), "|Menu|Standard|Empty|Empty|");
  EXPECT_EQ(frame.Thickness(tkBarTop), 0);
  EXPECT_EQ(frame.Thickness(tkBarLeft), 0);
  EXPECT_EQ(frame.ViewRect(), CRect(0, 0, kWidth, kHeight));
}

TEST(DockRows, RowsWithBadIndexesOrForeignBarsAreLeftAlone)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
  CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
  CTKToolBar* pLeft = frame.AddToolBar("Left", 131, tkBarLeft);
  CTKCommandBars* pCommandBars = frame.GetCommandBars();
  frame.RecalcLayout();

  for (int nIndex : {-1, 4, 99}) {
    SCOPED_TRACE(nIndex);
    EXPECT_EQ(pCommandBars->GetDockBar(nIndex), nullptr);
    EXPECT_FALSE(pCommandBars->DockCommandBar(pStandard, nullptr, nIndex));
    std::vector<CTKToolBar*> arrRow;
    frame.Dock(tkBarTop)->GetVisibleRow(nIndex, arrRow);
    EXPECT_TRUE(arrRow.empty());
  }
  EXPECT_EQ(pStandard->GetDockBar(), frame.Dock(tkBarTop));
  EXPECT_EQ(frame.Rows(tkBarTop), "|Standard|");

  // Taking out a bar of another row changes neither row.
  frame.Dock(tkBarTop)->RemoveCommandBar(pLeft, -1);
  EXPECT_EQ(frame.Rows(tkBarTop), "|Standard|");
  EXPECT_EQ(pLeft->GetDockBar(), frame.Dock(tkBarLeft));
  EXPECT_EQ(frame.Rows(tkBarLeft), "|Left|");

  // A good index finds the row either by a bar or by the null entry that ends it.
  for (int nIndex : {1, 2}) {
    std::vector<CTKToolBar*> arrRow;
    frame.Dock(tkBarTop)->GetVisibleRow(nIndex, arrRow);
    EXPECT_EQ(arrRow, std::vector<CTKToolBar*>{pStandard});
  }
}

TEST(DockRows, RemovingTheOnlyBarOfARowRemovesTheRow)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
  frame.AddToolBar("Standard", 130);
  CTKToolBar* pShort = frame.AddToolBar("Short", 131);
  frame.AddToolBar("Third", 131);
  ASSERT_EQ(frame.Rows(tkBarTop), "|Standard|Short|Third|");
  frame.GetCommandBars()->Remove(pShort);
  EXPECT_EQ(frame.Rows(tkBarTop), "|Standard|Third|");
}

}  // namespace

namespace {

// Counts the frame's layouts.
class CCountingFrame : public CDockFrame {
public:
  void RecalcLayout(BOOL bNotify = TRUE) override
  {
    ++m_nLayouts;
    CDockFrame::RecalcLayout(bNotify);
  }
  int m_nLayouts = 0;
};

// Redrawing the bars lays every visible bar out again (a control added meanwhile takes its place and the row
// grows) and the frame only once at the end; a hidden bar is left as it is.
TEST(DockRows, RedrawingTheBarsLaysOutEachVisibleBarAndTheFrameOnce)
{
  CCountingFrame frame;
  ASSERT_TRUE(frame.MakeDocked(kWidth, kHeight));
  frame.AddMenuBar();
  CTKToolBar* pStandard = frame.AddToolBar("Standard", 130);
  CTKToolBar* pShort = frame.AddToolBar("Short", 131);
  ASSERT_TRUE(pStandard && pShort);
  frame.RecalcLayout();
  pShort->SetVisible(FALSE);
  frame.RecalcLayout();
  const int nWidthBefore = CDockFrame::BarRect(pStandard).Width();
  CTKControl* pAdded = pStandard->GetControls()->Add(tkControlButton, 57664);
  CTKControl* pHiddenAdded = pShort->GetControls()->Add(tkControlButton, 57600);
  ASSERT_TRUE(pAdded && pHiddenAdded);
  frame.m_nLayouts = 0;

  frame.GetCommandBars()->RedrawCommandBars();
  EXPECT_EQ(frame.m_nLayouts, 1);
  EXPECT_FALSE(pAdded->GetRect().IsRectEmpty());
  EXPECT_GT(CDockFrame::BarRect(pStandard).Width(), nWidthBefore);
  EXPECT_TRUE(pHiddenAdded->GetRect().IsRectEmpty());
}

}  // namespace
