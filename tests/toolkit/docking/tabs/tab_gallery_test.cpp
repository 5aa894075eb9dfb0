// Every appearance in every colour set, at the top and at the bottom of a client area, with a normal, a selected
// and a hot tab, drawn under the Luna blue style into build/artifacts/toolkit_tab_gallery.png for a person to
// look at; and the Office 2003 colours of those three tabs read back from the pixels.
#include "tests/toolkit/docking/tabs/strip.h"
#include "tests/toolkit/canvas.h"

#include "platform/gdi/png.h"
#include "platform/user/uxtheme.h"
#include "toolkit/paint/color_manager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using tabtest::Strip;

constexpr int kColorSets[] = {1, 2, 4, 8, 16};
constexpr const char* kColorSetNames[] = {"1 Default", "2 Visual Studio", "4 Office 2003", "8 Windows XP", "16 Whidbey"};
constexpr const char* kAppearanceNames[] = {"0 Property Page", "1 Page Selected", "2 Page Flat", "3 Page 2003",
                                            "4 State Buttons", "5 Visual Studio", "6 Flat", "7 Excel",
                                            "8 Visio", "9 VS 2005"};

constexpr int kLabelWidth = 170;
constexpr int kHeaderHeight = 56;
constexpr int kCellWidth = 270;
constexpr int kCellHeight = 92;
constexpr int kInset = 8;

// One strip of three tabs (normal, selected, hot) painted into rc.
void PaintStrip(CDC& dc, int appearance, int colorSet, int position, const CRect& rc)
{
  CTKTabPaintManager pm;
  pm.SelectAppearance(appearance);
  pm.SelectColorSet(colorSet);
  pm.SetPosition(position);
  pm.m_bHotTracking = TRUE;
  Strip strip(pm, rc);
  strip.AddTabs({"Normal", "Selected", "Hot"});
  strip.SelectTab(strip.GetTab(1));
  strip.m_pHighlighted = strip.GetTab(2);
  const int saved = dc.SaveDC();
  pm.PaintStrip(&strip, &dc, rc);
  dc.RestoreDC(saved);
}

using tktest::Canvas;

class TabGallery : public ::testing::Test {
protected:
  void SetUp() override
  {
    uxtheme::SetTestTheme(uxtheme::Theme::LunaBlue);
    TKColorManager().RefreshColors();
  }
  void TearDown() override
  {
    uxtheme::SetTestTheme(uxtheme::Theme::None);
    TKColorManager().RefreshColors();
  }
};

TEST_F(TabGallery, AppearancesByColourSetsAtTopAndBottom)
{
  const int rows = 10 * 2;
  Canvas canvas(kLabelWidth + 5 * kCellWidth, kHeaderHeight + rows * kCellHeight);
  CDC& dc = canvas.m_dc;
  CFont labelFont;
  labelFont.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CFont boldFont;
  boldFont.CreateFont(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 0));
  CFont* pOld = dc.SelectObject(&boldFont);
  CRect title(8, 4, canvas.m_width, 26);
  dc.DrawText(CString("Tab appearances (rows, at the top and the bottom of a client area) by colour sets (columns); "
                      "Windows XP Luna blue style; tabs: normal, selected, hot"),
              title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  for (int c = 0; c < 5; ++c) {
    CRect head(kLabelWidth + c * kCellWidth, 28, kLabelWidth + (c + 1) * kCellWidth, kHeaderHeight);
    dc.DrawText(CString(kColorSetNames[c]), head, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
  }
  for (int a = 0; a < 10; ++a) {
    for (int p = 0; p < 2; ++p) {
      const int row = a * 2 + p;
      const int top = kHeaderHeight + row * kCellHeight;
      // Alternate pale bands keep the rows apart.
      dc.FillSolidRect(0, top, canvas.m_width, kCellHeight, row % 4 < 2 ? RGB(255, 255, 255) : RGB(238, 238, 238));
      dc.SelectObject(p == 0 ? &boldFont : &labelFont);
      dc.SetTextColor(RGB(0, 0, 0));
      const std::string label = std::string(kAppearanceNames[a]) + (p == 0 ? ", top" : ", bottom");
      CRect rcLabel(8, top, kLabelWidth - 4, top + kCellHeight);
      dc.DrawText(CString(label.c_str()), rcLabel, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      for (int c = 0; c < 5; ++c) {
        const CRect cell(kLabelWidth + c * kCellWidth + kInset, top + kInset, kLabelWidth + (c + 1) * kCellWidth - kInset,
                         top + kCellHeight - kInset);
        dc.SelectObject(&labelFont);
        PaintStrip(dc, a, kColorSets[c], p == 0 ? TK_TAB_POSITION_TOP : TK_TAB_POSITION_BOTTOM, cell);
        CBrush frame;
        frame.CreateSolidBrush(RGB(96, 96, 96));
        dc.FrameRect(CRect(cell.left - 1, cell.top - 1, cell.right + 1, cell.bottom + 1), &frame);
      }
    }
  }
  dc.SelectObject(pOld);
  EXPECT_TRUE(canvas.Save("toolkit_tab_gallery.png"));
}

TEST_F(TabGallery, AppearancesAtTheLeftAndTheRight)
{
  constexpr int kSideCellWidth = 150;
  constexpr int kSideCellHeight = 230;
  Canvas canvas(kLabelWidth + 10 * kSideCellWidth, kHeaderHeight + 2 * kSideCellHeight);
  CDC& dc = canvas.m_dc;
  CFont labelFont;
  labelFont.CreateFont(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  dc.SetBkMode(TRANSPARENT);
  CFont* pOld = dc.SelectObject(&labelFont);
  CRect title(8, 4, canvas.m_width, 26);
  dc.DrawText(CString("Tab appearances (columns) at the left and the right of a client area (rows), each in its own "
                      "colour set; Luna blue; tabs: normal, selected, hot"),
              title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  for (int a = 0; a < 10; ++a) {
    CRect head(kLabelWidth + a * kSideCellWidth, 28, kLabelWidth + (a + 1) * kSideCellWidth, kHeaderHeight);
    dc.DrawText(CString(kAppearanceNames[a]), head, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
  }
  for (int p = 0; p < 2; ++p) {
    const int top = kHeaderHeight + p * kSideCellHeight;
    dc.SelectObject(&labelFont);
    CRect rcLabel(8, top, kLabelWidth - 4, top + kSideCellHeight);
    dc.DrawText(CString(p == 0 ? "left" : "right"), rcLabel, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    for (int a = 0; a < 10; ++a) {
      const CRect cell(kLabelWidth + a * kSideCellWidth + kInset, top + kInset,
                       kLabelWidth + (a + 1) * kSideCellWidth - kInset, top + kSideCellHeight - kInset);
      CTKTabPaintManager probe;
      probe.SelectAppearance(a);
      PaintStrip(dc, a, probe.GetColorSetNumber(), p == 0 ? TK_TAB_POSITION_LEFT : TK_TAB_POSITION_RIGHT, cell);
      CBrush frame;
      frame.CreateSolidBrush(RGB(96, 96, 96));
      dc.FrameRect(CRect(cell.left - 1, cell.top - 1, cell.right + 1, cell.bottom + 1), &frame);
    }
  }
  dc.SelectObject(pOld);
  EXPECT_TRUE(canvas.Save("toolkit_tab_gallery_sides.png"));
}

// Near enough: the fills are vertical gradients of about 20 rows, so the face row next to an end lies within
// about two gradient steps of its colour, while the three faces differ by 40 or more in some channel.
::testing::AssertionResult Near(COLORREF actual, COLORREF expected, int tolerance)
{
  const int dr = std::abs(GetRValue(actual) - GetRValue(expected));
  const int dg = std::abs(GetGValue(actual) - GetGValue(expected));
  const int db = std::abs(GetBValue(actual) - GetBValue(expected));
  if (dr <= tolerance && dg <= tolerance && db <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "RGB(" << int(GetRValue(actual)) << ", " << int(GetGValue(actual)) << ", "
                                       << int(GetBValue(actual)) << ") is not within " << tolerance << " of RGB("
                                       << int(GetRValue(expected)) << ", " << int(GetGValue(expected)) << ", "
                                       << int(GetBValue(expected)) << ")";
}

TEST_F(TabGallery, Office2003TabsUnderLunaBlue)
{
  Canvas canvas(300, 80);
  CDC& dc = canvas.m_dc;
  CTKTabPaintManager pm;
  pm.SelectAppearance(6);
  pm.SelectColorSet(4);
  pm.m_bHotTracking = TRUE;
  const CRect rc(0, 0, 300, 80);
  Strip strip(pm, rc);
  strip.AddTabs({"Normal", "Selected", "Hot"});
  strip.SelectTab(strip.GetTab(1));
  strip.m_pHighlighted = strip.GetTab(2);
  pm.PaintStrip(&strip, &dc, rc);

  struct Case {
    int tab;
    COLORREF face;
  };
  const Case cases[] = {{0, RGB(162, 192, 246)}, {1, RGB(255, 194, 115)}, {2, RGB(255, 240, 201)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tab);
    const CRect tab = strip.GetTab(c.tab)->m_rcItem;
    // Right of the caption, inside the border: the bottom row is the face colour, the top row its 30 % blend
    // with white. The selected tab reaches one pixel further down, over the client frame.
    const int x = tab.right - 3;
    const int lastFaceRow = (c.tab == 1 ? tab.bottom + 1 : tab.bottom) - 2;
    EXPECT_TRUE(Near(dc.GetPixel(x, lastFaceRow), c.face, 12));
    EXPECT_TRUE(Near(dc.GetPixel(x, tab.top + 1), CTKColorManager::LightColor(c.face, RGB(255, 255, 255), 300), 12));
  }
  // The header runs from the Luna header gradient's light end at the top.
  EXPECT_TRUE(Near(dc.GetPixel(rc.right - 2, 0), RGB(196, 218, 250), 4));
}

}  // namespace
