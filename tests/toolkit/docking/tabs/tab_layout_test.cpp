// Strip layout: how long each tab becomes and where it lies, for the layouts that change lengths (compressed,
// fixed, selected caption, multiple rows, rotated), and the scroll correction when a strip grows.
#include "tests/toolkit/docking/tabs/strip.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tabtest::FixedLengthAppearance;
using tabtest::Strip;

// Property Page margins: near end 2, strip side 3, far end 6.
constexpr int kNear = 2;
constexpr int kFar = 6;

void UseFixedLengths(CTKTabPaintManager& pm) { pm.InstallAppearance(new FixedLengthAppearance); }

void AddSizedTabs(Strip& strip, const std::vector<int>& lengths)
{
  strip.m_bLayoutOn = FALSE;
  for (int length : lengths) {
    CTKTabManagerItem* pItem = strip.InsertTab(-1);
    pItem->m_nSpare = length;
    pItem->m_strCaption.Format("%d", strip.GetTabCount() - 1);
  }
  strip.m_bLayoutOn = TRUE;
  strip.Reposition();
}

std::vector<int> Lengths(const Strip& strip)
{
  std::vector<int> v;
  for (int i = 0; i < strip.GetTabCount(); ++i) {
    v.push_back(strip.GetTab(i)->m_nLength);
  }
  return v;
}

// One table for the layouts that decide tab lengths. Tabs of a given length come from an appearance that answers
// them (so the rules are tested apart from font metrics); tabs without lengths are measured captions
// ("Short", "A much longer caption", "Mid"). The room for tabs is the strip less the near and far margins (and the
// last pixel in multi-row strips).
TEST(TabLayout, LayoutCases)
{
  struct Case {
    const char* name;
    int layout;
    std::vector<int> lengths;  // empty: three measured captions
    int room;
    int selected;  // -1: none
    CRect buttonMargin;
    CSize minSize, maxSize;
    BOOL icons;
    BOOL justify;
    std::vector<int> expectedLengths;  // for measured captions: every unselected tab
    std::vector<int> expectedRows;     // empty: one row
  };
  const CRect none(0, 0, 0, 0);
  const CSize any(0, 0);
  const Case cases[] = {
      // Compressed: the longest tabs give up the excess first.
      {"compressed: longest first, then both longest", TK_TAB_LAYOUT_COMPRESSED, {100, 80, 60}, 200, -1, none, any,
       any, FALSE, TRUE, {70, 70, 60}, {}},
      {"compressed: equal tabs share the room", TK_TAB_LAYOUT_COMPRESSED, {50, 50, 50}, 120, -1, none, any, any,
       FALSE, TRUE, {40, 40, 40}, {}},
      {"compressed: one tab takes the room", TK_TAB_LAYOUT_COMPRESSED, {300}, 100, -1, none, any, any, FALSE, TRUE,
       {100}, {}},
      {"compressed: tabs that fit keep their lengths", TK_TAB_LAYOUT_COMPRESSED, {30, 30}, 100, -1, none, any, any,
       FALSE, TRUE, {30, 30}, {}},
      {"compressed: two longest lose the excess together", TK_TAB_LAYOUT_COMPRESSED, {90, 90, 30}, 150, -1, none, any,
       any, FALSE, TRUE, {60, 60, 30}, {}},
      // Fixed: the fixed size, the button margins, then the limits.
      {"fixed", TK_TAB_LAYOUT_FIXED, {}, 592, 2, none, any, any, FALSE, TRUE, {70, 70}, {}},
      {"fixed with button margins", TK_TAB_LAYOUT_FIXED, {}, 592, 2, CRect(3, 1, 5, 1), any, any, FALSE, TRUE,
       {78, 78}, {}},
      {"fixed raised to the minimum", TK_TAB_LAYOUT_FIXED, {}, 592, 2, none, CSize(90, 0), any, FALSE, TRUE, {90, 90},
       {}},
      {"fixed lowered to the maximum", TK_TAB_LAYOUT_FIXED, {}, 592, 2, none, any, CSize(60, 0), FALSE, TRUE,
       {60, 60}, {}},
      // Selected caption: unselected tabs are the icon side + 8, with or without an icon.
      {"selected caption: icon side + 8", TK_TAB_LAYOUT_SELECTED_CAPTION, {}, 592, 2, none, any, any, FALSE, TRUE,
       {24, 24}, {}},
      {"selected caption with icons", TK_TAB_LAYOUT_SELECTED_CAPTION, {}, 592, 2, none, any, any, TRUE, TRUE, {24, 24},
       {}},
      {"selected caption with button margins", TK_TAB_LAYOUT_SELECTED_CAPTION, {}, 592, 2, CRect(3, 0, 5, 0), any,
       any, FALSE, TRUE, {32, 32}, {}},
      // Multiple rows: counted greedily, balanced, stretched to the room; the selected row next to the client.
      {"multi-row: one row, nothing stretched", TK_TAB_LAYOUT_MULTI_ROW, {60, 60}, 200, -1, none, any, any, FALSE,
       TRUE, {60, 60}, {0, 0}},
      {"multi-row: balanced and justified", TK_TAB_LAYOUT_MULTI_ROW, {60, 60, 60, 60, 60}, 200, -1, none, any, any,
       FALSE, TRUE, {100, 100, 66, 67, 67}, {0, 0, 1, 1, 1}},
      {"multi-row: unjustified rows fill greedily", TK_TAB_LAYOUT_MULTI_ROW, {60, 60, 60, 60, 60}, 200, -1, none, any,
       any, FALSE, FALSE, {60, 60, 60, 60, 60}, {0, 0, 0, 1, 1}},
      {"multi-row: the selected row moves next to the client", TK_TAB_LAYOUT_MULTI_ROW, {60, 60, 60, 60, 60}, 200, 3,
       none, any, any, FALSE, TRUE, {100, 100, 66, 67, 67}, {1, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKTabPaintManager pm;
    const bool measured = c.lengths.empty();
    if (!measured) {
      UseFixedLengths(pm);
    }
    pm.SetLayout(c.layout);
    pm.m_bJustifyRows = c.justify;
    pm.m_rcButtonMargin = c.buttonMargin;
    const bool multiRow = c.layout == TK_TAB_LAYOUT_MULTI_ROW;
    const CRect rc(10, 0, 10 + c.room + kNear + kFar + (multiRow ? 1 : 0), 120);
    Strip strip(pm, rc);
    strip.m_szMinTab = c.minSize;
    strip.m_szMaxTab = c.maxSize;
    strip.m_bIcons = c.icons;
    if (measured) {
      strip.AddTabs({"Short", "A much longer caption", "Mid"});
    } else {
      AddSizedTabs(strip, c.lengths);
    }
    strip.SelectTab(strip.GetTab(c.selected));

    if (measured) {
      // Every unselected tab has the expected length, whatever its caption.
      EXPECT_EQ(strip.GetTab(0)->m_nLength, c.expectedLengths[0]);
      EXPECT_EQ(strip.GetTab(1)->m_nLength, c.expectedLengths[1]);
      if (c.layout == TK_TAB_LAYOUT_SELECTED_CAPTION) {
        // The selected tab is as long as the widest caption of all, whichever tab holds it.
        const int selectedLength = strip.GetTab(2)->m_nLength;
        EXPECT_GT(selectedLength, strip.GetTab(0)->m_nLength + 40);
        strip.SelectTab(strip.GetTab(0));
        EXPECT_EQ(strip.GetTab(0)->m_nLength, selectedLength);
        EXPECT_EQ(strip.GetTab(2)->m_nLength, c.expectedLengths[0]);
      }
      continue;
    }
    EXPECT_EQ(Lengths(strip), c.expectedLengths);
    // The natural length stays as measured, so a tooltip can show the whole caption.
    for (int i = 0; i < strip.GetTabCount(); ++i) {
      EXPECT_EQ(strip.GetTab(i)->m_nNaturalLength, c.lengths[static_cast<size_t>(i)]);
    }
    // Compressed and multi-row strips never scroll.
    EXPECT_TRUE(strip.FindNavigateButton(0)->GetRect().IsRectEmpty());
    EXPECT_TRUE(strip.FindNavigateButton(1)->GetRect().IsRectEmpty());
    if (!multiRow) {
      continue;
    }
    std::vector<int> rows;
    for (int i = 0; i < strip.GetTabCount(); ++i) {
      rows.push_back(strip.GetTab(i)->m_nItemRow);
    }
    EXPECT_EQ(rows, c.expectedRows);
    // Tabs of a row follow each other from the near margin; justified rows end exactly at the room's end.
    const int rowCount = strip.GetRows().GetRowCount();
    for (int r = 0; r < rowCount; ++r) {
      const auto row = strip.GetRows().GetRow(r);
      EXPECT_EQ(strip.GetTab(row.nFirst)->m_rcItem.left, rc.left + kNear);
      if (c.justify && rowCount > 1) {
        EXPECT_EQ(strip.GetTab(row.nLast)->m_rcItem.right, rc.left + kNear + c.room) << "row " << r;
      }
    }
    // Row 0 lies next to the client area (below the others at the top), rows overlapping by 2.
    if (rowCount == 2) {
      const CRect row0 = strip.GetTab(strip.GetRows().GetRow(0).nFirst)->m_rcItem;
      const CRect row1 = strip.GetTab(strip.GetRows().GetRow(1).nFirst)->m_rcItem;
      EXPECT_EQ(row0.top - row1.top, row0.Height() - 2);
      EXPECT_GE(strip.m_rcClient.top, row0.bottom - 1);
    }
  }
}

TEST(TabLayout, RotatedTabsStandAcrossTheStrip)
{
  CTKTabPaintManager pm;
  UseFixedLengths(pm);
  pm.SetLayout(TK_TAB_LAYOUT_ROTATED);
  Strip strip(pm, CRect(0, 0, 300, 200));
  AddSizedTabs(strip, {40, 70});
  const int h = pm.GetAppearance()->GetRowHeight(&strip);
  const CRect& a = strip.GetTab(0)->m_rcItem;
  const CRect& b = strip.GetTab(1)->m_rcItem;
  EXPECT_EQ(a.Width(), h);
  EXPECT_EQ(b.Width(), h);
  EXPECT_EQ(a.Height(), 40);
  EXPECT_EQ(b.Height(), 70);
  EXPECT_EQ(b.left, a.right);
  // Anchored at the client side of the header, which is as thick as the longest tab and the margins.
  EXPECT_EQ(a.bottom, strip.m_rcHeader.bottom);
  EXPECT_EQ(b.bottom, strip.m_rcHeader.bottom);
  EXPECT_EQ(strip.m_rcHeader.Height(), 70 + 3);
  EXPECT_EQ(strip.GetTotalTabLength(), 2 * h);
}

TEST(TabLayout, WideningAScrolledStripPullsTheOffsetBack)
{
  CTKTabPaintManager pm;
  UseFixedLengths(pm);
  Strip strip(pm, CRect(0, 0, 200, 60));
  AddSizedTabs(strip, {60, 60, 60, 60, 60});
  strip.SetStripOffset(-100);
  ASSERT_EQ(strip.GetStripOffset(), -100);

  strip.SetRect(CRect(0, 0, 300, 60));
  EXPECT_EQ(strip.GetStripOffset(), -37);
  const CRect& last = strip.GetTab(4)->m_rcItem;
  EXPECT_EQ(last.right, strip.m_rcHeader.right - kFar) << "the last tab ends at the header's end";

  strip.SetRect(CRect(0, 0, 600, 60));
  EXPECT_EQ(strip.GetStripOffset(), 0) << "never above 0";
  EXPECT_TRUE(strip.FindNavigateButton(0)->GetRect().IsRectEmpty());
}

TEST(TabLayout, WithoutTabsOnlyTheHeaderIsComputed)
{
  for (BOOL bStaticFrame : {FALSE, TRUE}) {
    SCOPED_TRACE(bStaticFrame);
    CTKTabPaintManager pm;
    pm.m_bStaticFrame = bStaticFrame;
    Strip strip(pm, CRect(10, 20, 210, 120));
    strip.Reposition();
    EXPECT_FALSE(strip.m_rcHeader.IsRectEmpty());
    EXPECT_EQ(strip.m_rcClient, bStaticFrame ? CRect(12, 21, 208, 118) : CRect(10, 20, 210, 120));
  }
}

TEST(TabLayout, ClientAreaLiesBesideTheHeaderOnEachSide)
{
  for (int position = 0; position < 4; ++position) {
    for (int clientFrame = 0; clientFrame < 3; ++clientFrame) {
      SCOPED_TRACE(testing::Message() << "position " << position << " frame " << clientFrame);
      CTKTabPaintManager pm;
      pm.SelectAppearance(6);
      pm.SetPosition(position);
      pm.m_nClientFrame = clientFrame;
      const CRect rc(0, 0, 300, 200);
      Strip strip(pm, rc);
      strip.AddTabs({"One", "Two"});
      const CRect& header = strip.m_rcHeader;
      const CRect& client = strip.m_rcClient;
      // The client overlaps the header by 1 pixel, then takes the client-frame inset on its strip side.
      const int inset = clientFrame == 2 ? 0 : 2;
      const int side = clientFrame == 0 ? 2 : 0;
      switch (position) {
        case TK_TAB_POSITION_TOP:
          EXPECT_EQ(client.top, header.bottom - 1 + inset);
          EXPECT_EQ(client.bottom, rc.bottom - side);
          break;
        case TK_TAB_POSITION_LEFT:
          EXPECT_EQ(client.left, header.right - 1 + inset);
          EXPECT_EQ(client.right, rc.right - side);
          break;
        case TK_TAB_POSITION_BOTTOM:
          EXPECT_EQ(client.bottom, header.top + 1 - inset);
          EXPECT_EQ(client.top, rc.top + side);
          break;
        default:
          EXPECT_EQ(client.right, header.left + 1 - inset);
          EXPECT_EQ(client.left, rc.left + side);
          break;
      }
    }
  }
}

}  // namespace
