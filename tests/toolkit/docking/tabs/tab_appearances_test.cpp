// What particular appearances draw and where they put things: the drawing order of a row, the selected Property
// Page merging with the client area, the docking form of Property Page Flat, Visio's stacked bars and the slant
// room of Property Page 2003. Classic colours (no visual style).
#include "tests/toolkit/docking/tabs/strip.h"
#include "tests/toolkit/canvas.h"

#include "platform/user/uxtheme.h"
#include "toolkit/paint/color_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using tabtest::Strip;

constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kShadow = RGB(128, 128, 128);

// The appearances' pictures start black, so that every pixel they paint shows.
class Canvas : public tktest::Canvas {
public:
  Canvas(int width, int height) : tktest::Canvas(width, height, RGB(0, 0, 0)) {}
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

// Each tab's slant is drawn over the far end of the tab before it: every caption ends before the foot of the
// next tab's slant, at every side the strip may stand on.
TEST_F(TabAppearances, PropertyPage2003SlantsLeaveTheCaptionBeforeThemWhole)
{
  for (int position : {TK_TAB_POSITION_TOP, TK_TAB_POSITION_BOTTOM, TK_TAB_POSITION_LEFT, TK_TAB_POSITION_RIGHT}) {
    SCOPED_TRACE(position);
    CTKTabPaintManager pm;
    pm.SelectAppearance(3);
    pm.SetPosition(position);
    Strip strip(pm, CRect(0, 0, 600, 600));
    strip.AddTabs({"Опоры", "Светильники", "Ww"});
    strip.SelectTab(strip.GetTab(1));
    const bool vertical = position == TK_TAB_POSITION_LEFT || position == TK_TAB_POSITION_RIGHT;
    const int margin = vertical ? pm.m_rcButtonMargin.bottom : pm.m_rcButtonMargin.right;
    for (int i = 0; i + 1 < strip.GetTabCount(); ++i) {
      const CRect a = strip.GetTab(i)->m_rcItem;
      const CRect b = strip.GetTab(i + 1)->m_rcItem;
      const int thickness = vertical ? b.Width() : b.Height();
      // Without room of its own the caption would end 6 and the margin short of the tab's far end.
      const int captionEnd = (vertical ? a.top : a.left) +
                             pm.DrawTabContent(&strip.m_dc, strip.GetTab(i), CRect(), FALSE) - 6 - margin;
      const int slantFoot = (vertical ? b.top : b.left) + 8 - thickness;
      EXPECT_LE(captionEnd, slantFoot) << "tab " << i;
    }
  }
}

TEST_F(TabAppearances, DefaultStateButtonsShowTheHalftoneInASunkenFrame)
{
  CTKTabPaintManager pm;
  pm.SelectAppearance(4);
  pm.SelectColorSet(1);
  Strip strip(pm, CRect(0, 0, 300, 40));
  strip.AddTabs({"Alpha", "Beta"});
  strip.SelectTab(strip.GetTab(0));
  Canvas canvas(300, 40);
  pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 300, 40));
  CDC& dc = canvas.m_dc;
  const CRect a = strip.GetTab(0)->m_rcItem;
  // Left of the caption the face alternates button face and white from pixel to pixel.
  const COLORREF p0 = dc.GetPixel(a.left + 2, a.top + 3);
  const COLORREF p1 = dc.GetPixel(a.left + 3, a.top + 3);
  const COLORREF p2 = dc.GetPixel(a.left + 2, a.top + 4);
  EXPECT_TRUE((p0 == kFace && p1 == kWhite) || (p0 == kWhite && p1 == kFace));
  EXPECT_EQ(p1, p2);
  EXPECT_EQ(dc.GetPixel(a.left, a.top + 5), kShadow) << "sunken: shadow at the top left";
  EXPECT_EQ(dc.GetPixel(a.right - 1, a.top + 5), kWhite) << "and light at the bottom right";
}

TEST_F(TabAppearances, ItemColoursFillEveryTabAndTheClientArea)
{
  CTKTabPaintManager pm;
  pm.SelectAppearance(6);
  pm.m_bItemColors = TRUE;
  Strip strip(pm, CRect(0, 0, 300, 100));
  strip.AddTabs({"Alpha", "Beta", "Gamma"});
  strip.SelectTab(strip.GetTab(1));
  Canvas canvas(300, 100);
  pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 300, 100));
  for (int i = 0; i < 3; ++i) {
    const CRect rc = strip.GetTab(i)->m_rcItem;
    EXPECT_EQ(canvas.m_dc.GetPixel(rc.right - 3, rc.top + 2), strip.GetTab(i)->GetColor()) << i;
  }
  EXPECT_EQ(canvas.m_dc.GetPixel(150, 80), strip.GetTab(1)->GetColor()) << "the client area takes the selected colour";
}

TEST_F(TabAppearances, WindowsXPBottomTabIsTheStylesTabTurnedUpsideDown)
{
  uxtheme::SetTestTheme(uxtheme::Theme::LunaBlue);
  TKColorManager().RefreshColors();
  {
    CTKTabPaintManager pm;
    pm.SelectAppearance(0);
    pm.SelectColorSet(8);
    ASSERT_TRUE(pm.GetColorSet()->IsThemed());
    pm.SetPosition(TK_TAB_POSITION_BOTTOM);
    Strip strip(pm, CRect(0, 0, 300, 60));
    strip.AddTabs({"Alpha", "Beta"});
    strip.SelectTab(strip.GetTab(1));
    Canvas canvas(300, 60);
    pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 300, 60));
    // Property Page fills the face inside its 1-pixel border.
    CRect tab = strip.GetTab(0)->m_rcItem;
    tab.DeflateRect(1, 1);
    const int w = tab.Width();
    const int h = tab.Height();

    // The style's own upright tab of that size, over button face.
    Canvas upright(w, h);
    upright.m_dc.FillSolidRect(0, 0, w, h, TKColorManager().GetColor(15));
    CTKWinThemeWrapper theme;
    theme.OpenThemeData(nullptr, u"TAB");
    const CRect all(0, 0, w, h);
    theme.DrawThemeBackground(upright.m_dc.GetSafeHdc(), TABP_TABITEM, TIS_NORMAL, all, nullptr);

    // Right of the caption, the colours met going down the drawn tab (into the rectangle the bottom position
    // gives it, one pixel wider at both ends and two taller) are the upright tab's met going up.
    const auto runs = [](std::vector<COLORREF> column) {
      column.erase(std::unique(column.begin(), column.end()), column.end());
      return column;
    };
    std::vector<COLORREF> drawn;
    for (int y = tab.top; y < tab.bottom + 2; ++y) {
      drawn.push_back(canvas.m_dc.GetPixel(tab.right - 3, y));
    }
    std::vector<COLORREF> turned;
    for (int y = h - 1; y >= 0; --y) {
      turned.push_back(upright.m_dc.GetPixel(w - 4, y));
    }
    EXPECT_EQ(runs(drawn), runs(turned));
    // The upright picture is not symmetric, so this tells a turned tab from one drawn upright.
    std::vector<COLORREF> straight(turned.rbegin(), turned.rend());
    EXPECT_NE(runs(straight), runs(turned));
  }
  uxtheme::SetTestTheme(uxtheme::Theme::None);
  TKColorManager().RefreshColors();
}

TEST_F(TabAppearances, ATabThePaintedStyleFilledLeavesNoUnsetColourBehind)
{
  uxtheme::SetTestTheme(uxtheme::Theme::LunaBlue);
  TKColorManager().RefreshColors();
  for (int appearance : {0, 3}) {
    SCOPED_TRACE(appearance);
    CTKTabPaintManager pm;
    pm.SelectAppearance(appearance);
    pm.SelectColorSet(8);
    Strip strip(pm, CRect(0, 0, 300, 80));
    strip.AddTabs({"Alpha", "Beta", "Gamma"});
    strip.SelectTab(strip.GetTab(1));
    Canvas canvas(300, 80);
    canvas.m_dc.FillSolidRect(0, 0, 300, 80, RGB(1, 2, 3));
    const CRect b = strip.GetTab(1)->m_rcItem;
    pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 300, 80));
    // The style's faces here are never pure white; an unset colour used as a fill would come out white.
    EXPECT_NE(canvas.m_dc.GetPixel(b.right - 4, b.bottom - 1), RGB(255, 255, 255));
  }
  uxtheme::SetTestTheme(uxtheme::Theme::None);
  TKColorManager().RefreshColors();
}

TEST_F(TabAppearances, ClientFrameKinds)
{
  struct Case {
    int clientFrame;
    COLORREF stripSide;
    COLORREF farSide;
  };
  // Flat in its Visual Studio colours: border button shadow, control and client button face, header entry 48;
  // without a frame the header's last row stays where the client area would begin.
  const COLORREF header = TKColorManager().GetColor(48);
  const Case cases[] = {{0, kShadow, kShadow}, {1, kShadow, kFace}, {2, header, kFace}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clientFrame);
    CTKTabPaintManager pm;
    pm.SelectAppearance(6);
    pm.m_nClientFrame = c.clientFrame;
    Strip strip(pm, CRect(0, 0, 300, 100));
    strip.AddTabs({"Alpha", "Beta"});
    strip.SelectTab(strip.GetTab(0));
    Canvas canvas(300, 100);
    pm.PaintStrip(&strip, &canvas.m_dc, CRect(0, 0, 300, 100));
    const int stripSide = strip.m_rcHeader.bottom - 1;
    EXPECT_EQ(canvas.m_dc.GetPixel(250, stripSide), c.stripSide);
    EXPECT_EQ(canvas.m_dc.GetPixel(250, 99), c.farSide);
  }
}

// The frame pieces an owner may ask of any appearance, with the paint manager's static frame and without.
TEST_F(TabAppearances, FramePiecesMoveOrPaintTheRectangleByKind)
{
  struct Case {
    BOOL staticFrame;
    int kind;
    CRect after;
    CPoint probe;  // a pixel that shows what was drawn (black: nothing)
    bool painted;
  };
  const Case cases[] = {
      {FALSE, 0, CRect(4, 4, 16, 16), CPoint(10, 10), false},
      {FALSE, 1, CRect(2, 2, 18, 18), CPoint(10, 10), false},
      {FALSE, 2, CRect(4, 4, 16, 16), CPoint(10, 10), true},
      {FALSE, 3, CRect(4, 4, 16, 16), CPoint(10, 10), true},
      {TRUE, 0, CRect(5, 5, 15, 15), CPoint(4, 10), true},
      {TRUE, 1, CRect(4, 3, 16, 16), CPoint(10, 10), false},
      {TRUE, 2, CRect(4, 4, 16, 16), CPoint(15, 10), true},
      {TRUE, 3, CRect(4, 4, 16, 16), CPoint(10, 15), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "static " << c.staticFrame << ", kind " << c.kind);
    CTKTabPaintManager pm;
    pm.m_bStaticFrame = c.staticFrame;
    CTKTabPaintManager::CAppearanceSet* pAppearance = pm.SelectAppearance(0);
    Canvas canvas(20, 20);
    CRect rc(4, 4, 16, 16);
    pAppearance->DrawFrame(&canvas.m_dc, rc, c.kind);
    EXPECT_EQ(rc, c.after);
    EXPECT_EQ(canvas.m_dc.GetPixel(c.probe.x, c.probe.y) != RGB(0, 0, 0), c.painted);
    EXPECT_EQ(canvas.m_dc.GetPixel(2, 2), RGB(0, 0, 0)) << "nothing outside the rectangle";
  }
}

}  // namespace

namespace {

// One strip of three tabs painted into the DC, as a container paints it.
void PaintThreeTabs(CDC& dc, int appearance, int colorSet, const CRect& rc, int position = TK_TAB_POSITION_TOP)
{
  CTKTabPaintManager pm;
  pm.SelectAppearance(appearance);
  pm.SelectColorSet(colorSet);
  pm.SetPosition(position);
  Strip strip(pm, rc);
  strip.AddTabs({"Один", "Два", "Три"});
  strip.SelectTab(strip.GetTab(1));
  pm.PaintStrip(&strip, &dc, rc);
}

// A strip painted through a moved viewport origin (a parent painting its child's part, a buffer placed at the
// child's corner) looks as it does at the origin, only moved; and the caller's clipping still holds afterwards.
TEST_F(TabAppearances, StripsPaintTheSameThroughAMovedViewportOrigin)
{
  const CRect rc(0, 0, 220, 60);
  // Even, so that the halftone of pressed state buttons (a brush aligned to device pixels) falls alike.
  const CPoint offset(40, 24);
  const auto expectSameWhenMoved = [&](int appearance, int colorSet, int position) {
    SCOPED_TRACE(testing::Message() << "appearance " << appearance << ", colour set " << colorSet << ", position "
                                    << position);
    Canvas plain(300, 100);
    Canvas moved(300, 100);
    PaintThreeTabs(plain.m_dc, appearance, colorSet, rc, position);
    moved.m_dc.SetViewportOrg(offset);
    PaintThreeTabs(moved.m_dc, appearance, colorSet, rc, position);
    moved.m_dc.SetViewportOrg(0, 0);
    int differing = 0;
    for (int y = 0; y < rc.Height(); ++y)
      for (int x = 0; x < rc.Width(); ++x)
        differing += plain.m_dc.GetPixel(x, y) != moved.m_dc.GetPixel(x + offset.x, y + offset.y) ? 1 : 0;
    EXPECT_EQ(0, differing);
  };
  for (int position : {TK_TAB_POSITION_TOP, TK_TAB_POSITION_LEFT})
    for (int colorSet : {1, 4})
      for (int appearance = 0; appearance <= 9; ++appearance)
        expectSameWhenMoved(appearance, colorSet, position);
  // The Windows XP set under a visual style draws the style's tab parts, turned for the strip's side.
  uxtheme::SetTestTheme(uxtheme::Theme::LunaBlue);
  TKColorManager().RefreshColors();
  for (int position : {TK_TAB_POSITION_TOP, TK_TAB_POSITION_LEFT, TK_TAB_POSITION_BOTTOM})
    expectSameWhenMoved(0, 8, position);
  uxtheme::SetTestTheme(uxtheme::Theme::None);
  TKColorManager().RefreshColors();

  // The caller clips the strip to its left half: nothing is painted right of it, and the clip is still there.
  Canvas clipped(300, 100);
  clipped.m_dc.IntersectClipRect(0, 0, 110, 100);
  PaintThreeTabs(clipped.m_dc, 0, 1, rc);
  CRect box;
  clipped.m_dc.GetClipBox(&box);
  EXPECT_EQ(CRect(0, 0, 110, 100), box);
  clipped.m_dc.SelectClipRgn(nullptr);
  EXPECT_NE(RGB(0, 0, 0), clipped.m_dc.GetPixel(60, rc.Height() - 2));
  for (int y = 0; y < rc.Height(); ++y)
    ASSERT_EQ(RGB(0, 0, 0), clipped.m_dc.GetPixel(150, y)) << y;
}

}  // namespace
