// What particular appearances draw and where they put things: the drawing order of a row, the selected Property
// Page merging with the client area, the docking form of Property Page Flat, Visio's stacked bars and the slant
// room of Property Page 2003. Classic colours (no visual style).
#include "tests/toolkit/docking/tabs/strip.h"

#include "toolkit/paint/color_manager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tabtest::Strip;

constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kShadow = RGB(128, 128, 128);

class Canvas {
public:
  Canvas(int width, int height)
  {
    m_screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    m_bitmap = CreateCompatibleBitmap(m_screen, width, height);
    m_dc.Attach(CreateCompatibleDC(m_screen));
    m_old = m_dc.SelectObject(m_bitmap);
    m_dc.FillSolidRect(0, 0, width, height, RGB(0, 0, 0));
  }
  ~Canvas()
  {
    m_dc.SelectObject(m_old);
    DeleteDC(m_dc.Detach());
    DeleteObject(m_bitmap);
    DeleteDC(m_screen);
  }
  CDC m_dc;

private:
  HDC m_screen = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
};

// Records the order in which a row's tabs are drawn.
template <class Base>
class RecordingAppearance : public Base {
public:
  explicit RecordingAppearance(std::vector<int>& order) : m_order(order) {}
  void DrawTab(CDC* /*pDC*/, CTKTabManagerItem* pItem) override { m_order.push_back(pItem->GetIndex()); }
  std::vector<int>& m_order;
};

class TabAppearances : public ::testing::Test {
protected:
  void SetUp() override { TKColorManager().RefreshColors(); }
};

TEST_F(TabAppearances, DrawingOrderOfARow)
{
  struct Case {
    const char* name;
    bool ordered;
    int selected;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"last to first, the selected tab again on top", false, 2, {4, 3, 2, 1, 0, 2}},
      {"no selection", false, -1, {4, 3, 2, 1, 0}},
      {"ordered: before the selected forwards, then back down to it, then it again", true, 2, {0, 1, 4, 3, 2, 2}},
      {"ordered without the selected tab: first to last", true, -1, {0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> order;
    CTKTabPaintManager pm;
    if (c.ordered) {
      pm.InstallAppearance(new RecordingAppearance<CTKTabPaintManager::CAppearanceSetVisualStudio2005>(order));
    } else {
      pm.InstallAppearance(new RecordingAppearance<CTKTabPaintManager::CAppearanceSetPropertyPage>(order));
    }
    Strip strip(pm, CRect(0, 0, 600, 40));
    strip.AddTabs({"A", "B", "C", "D", "E"});
    strip.SelectTab(strip.GetTab(c.selected));
    Canvas canvas(600, 40);
    pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 600, 40));
    EXPECT_EQ(order, c.expected);
  }
}

TEST_F(TabAppearances, SelectedPropertyPageMergesWithTheClientArea)
{
  CTKTabPaintManager pm;
  Strip strip(pm, CRect(0, 0, 300, 100));
  strip.AddTabs({"Alpha", "Beta", "Gamma"});
  strip.SelectTab(strip.GetTab(1));
  Canvas canvas(300, 100);
  pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 300, 100));
  const CRect a = strip.GetTab(0)->m_rcItem;
  const CRect b = strip.GetTab(1)->m_rcItem;
  // The client frame's highlight runs under the unselected tab; the selected one paints its face over it.
  EXPECT_EQ(canvas.m_dc.GetPixel(a.CenterPoint().x, a.bottom - 1), kWhite);
  EXPECT_EQ(canvas.m_dc.GetPixel(b.CenterPoint().x, b.bottom - 1), kFace);
  // The selected page stands 2 pixels higher, its highlight along its top edge.
  EXPECT_EQ(canvas.m_dc.GetPixel(b.CenterPoint().x, b.top - 2), kWhite);
  EXPECT_NE(canvas.m_dc.GetPixel(a.CenterPoint().x, a.top - 2), kWhite);
}

TEST_F(TabAppearances, PropertyPageFlatDockingFormFillsOnlyTheSelectedTab)
{
  CTKTabPaintManager pm;
  auto* pFlat = dynamic_cast<CTKTabPaintManager::CAppearanceSetPropertyPageFlat*>(pm.SelectAppearance(2));
  ASSERT_NE(pFlat, nullptr);
  pFlat->m_bFramed = FALSE;
  pFlat->m_bDocking = TRUE;
  pm.m_bItemColors = TRUE;
  Strip strip(pm, CRect(0, 0, 300, 60));
  strip.AddTabs({"Alpha", "Beta", "Gamma"});
  strip.SelectTab(strip.GetTab(0));
  Canvas canvas(300, 60);
  pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 300, 60));
  CDC& dc = canvas.m_dc;
  const CRect a = strip.GetTab(0)->m_rcItem;
  const CRect b = strip.GetTab(1)->m_rcItem;
  const CRect c = strip.GetTab(2)->m_rcItem;
  // Near the strip-side edge, clear of the caption.
  EXPECT_EQ(dc.GetPixel(a.left + 3, a.top + 2), strip.GetTab(0)->GetColor()) << "the selected tab has its colour";
  EXPECT_EQ(dc.GetPixel(b.left + 3, b.top + 2), kFace) << "an unselected tab shows the header";
  EXPECT_EQ(dc.GetPixel(b.right, b.CenterPoint().y), kShadow) << "a separator after a tab that is not the last";
  EXPECT_EQ(dc.GetPixel(b.right, b.top + 2), kFace) << "the separator stops 3 short of the edges";
  EXPECT_EQ(dc.GetPixel(c.right, c.CenterPoint().y), kFace) << "none after the last tab";
}

TEST_F(TabAppearances, VisioStacksBarsWithTheClientAreaAfterTheSelectedOne)
{
  CTKTabPaintManager pm;
  pm.SelectAppearance(8);
  Strip strip(pm, CRect(0, 0, 200, 200));
  strip.AddTabs({"One", "Two", "Three"});
  strip.SelectTab(strip.GetTab(1));
  const int h = pm.GetAppearance()->GetRowHeight(&strip);
  EXPECT_EQ(strip.GetTab(0)->m_rcItem, CRect(1, 1, 200, 1 + h));
  EXPECT_EQ(strip.GetTab(1)->m_rcItem, CRect(1, 1 + h, 200, 1 + 2 * h));
  EXPECT_EQ(strip.GetTab(2)->m_rcItem, CRect(1, 199 - h, 200, 199));
  EXPECT_EQ(strip.m_rcClient, CRect(1, 2 + 2 * h, 199, 199 - h));
  EXPECT_TRUE(strip.m_rcHeader.IsRectEmpty() || strip.m_rcHeader.Height() == 0);

  // With the last tab selected, the client area runs to 1 above the bottom.
  strip.SelectTab(strip.GetTab(2));
  EXPECT_EQ(strip.m_rcClient.bottom, 199);
  EXPECT_EQ(strip.m_rcClient.top, strip.GetTab(2)->m_rcItem.bottom + 1);
}

TEST_F(TabAppearances, PropertyPage2003LeavesRoomForTheFirstSlant)
{
  CTKTabPaintManager pm;
  pm.SelectAppearance(3);
  Strip strip(pm, CRect(0, 0, 400, 60));
  strip.AddTabs({"One", "Two", "Three"});
  const int textHeight = pm.GetAppearance()->GetTextHeight();
  EXPECT_EQ(strip.GetTab(0)->m_rcItem.left, 2 + textHeight);
  EXPECT_EQ(strip.GetTab(1)->m_rcItem.left, strip.GetTab(0)->m_rcItem.right);
}

}  // namespace
