// What the themes draw beyond Visual Studio 2005: Visio's groups, the large Shortcut Bar 2003 caption, Native XP
// and Explorer with and without a visual style, and the floating frames of every theme, with a picture of those
// frames and styled captions in build/artifacts/toolkit_docking_floating.png for a person to look at.
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/docking/dock_frame.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
#include "toolkit/docking/themes.h"

#include "platform/user/uxtheme.h"
#include "toolkit/paint/color_manager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using docktest::CDockFrame;
using tktest::Canvas;
using namespace TKDockingPanePaintThemes;

constexpr COLORREF kCanvas = RGB(255, 0, 255);

// A floating window as the themes see one: a node of the layout with its own window and a close button.
class CFloatNode : public CWnd, public CTKDockingPaneBase {
public:
  CFloatNode(CTKDockingPaneLayout* pLayout, const char* title) : CTKDockingPaneBase(TK_DOCKINGPANE_MINIWND, pLayout)
  {
    m_arrCaptionButtons.Add(new CTKDockingPaneCaptionButton(TK_IDS_DOCKINGPANE_CLOSE, this));
    CreateEx(0, AfxRegisterWndClass(0), title, WS_POPUP, 0, 0, 200, 120, nullptr, nullptr);
  }
  ~CFloatNode() override
  {
    if (m_hWnd != nullptr) {
      DestroyWindow();
    }
  }
  HWND GetPaneHwnd() const override { return m_hWnd; }
};

class StyleGuard {
public:
  explicit StyleGuard(uxtheme::Theme theme)
  {
    uxtheme::SetTestTheme(theme);
    TKColorManager().RefreshColors();
  }
  ~StyleGuard()
  {
    uxtheme::SetTestTheme(uxtheme::Theme::None);
    TKColorManager().RefreshColors();
  }
  StyleGuard(const StyleGuard&) = delete;
  StyleGuard& operator=(const StyleGuard&) = delete;
};

// A frame with one group of two panes, in a theme.
struct Group {
  explicit Group(int nTheme)
  {
    frame.Make(300, 200);
    frame.m_paneManager.SetTheme(nTheme);
    pFirst = frame.m_paneManager.CreatePane(32769, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
    pFirst->SetTitle("Объекты");
    frame.Layout();
    pGroup = pFirst->GetParentTabbed();
  }
  CTKDockingPanePaintManager* Paint() { return frame.m_paneManager.GetPaintManager(); }

  CDockFrame frame;
  CTKDockingPane* pFirst = nullptr;
  CTKDockingPaneTabbedContainer* pGroup = nullptr;
};

// Visio fills a group with the caption colours, marks its corners and keeps its content 3 pixels in.
TEST(DockingThemes, VisioGroupsFillInTheirStateColourAndInsetTheirContent)
{
  Group group(5);
  CTKDockingPanePaintManager* pPaint = group.Paint();
  const CRect rc(0, 0, 220, 90);
  for (BOOL bActive : {FALSE, TRUE}) {
    SCOPED_TRACE(bActive);
    group.pGroup->m_bActive = bActive;
    Canvas canvas(rc.Width(), rc.Height(), kCanvas);
    pPaint->DrawPane(&canvas.m_dc, group.pGroup, rc);
    EXPECT_EQ(pPaint->GetColor(bActive ? 31 : 30), canvas.m_dc.GetPixel(60, 80));
    EXPECT_EQ(pPaint->m_clrNormalCaption.GetValue(), canvas.m_dc.GetPixel(60, 0));
    EXPECT_EQ(pPaint->GetColor(51), canvas.m_dc.GetPixel(0, 0));
    EXPECT_EQ(pPaint->GetColor(51), canvas.m_dc.GetPixel(219, 89));
    // Grip lines run after the caption text, in colour 18 on the active caption, else colour 38.
    const int yMid = 2 + (pPaint->GetCaptionHeight() + 1) / 2;
    EXPECT_EQ(pPaint->GetColor(bActive ? COLOR_BTNTEXT : 38), canvas.m_dc.GetPixel(120, yMid - 3));
  }
  CRect client(0, 0, 100, 100);
  pPaint->m_bShowCaption = FALSE;
  pPaint->AdjustTabsClientRect(group.pGroup, client, FALSE);
  EXPECT_EQ(CRect(3, 3, 97, 97), client);
}

// Shortcut Bar 2003 captions are bold Arial 20 from the icon-title font, kept through later refreshes.
TEST(DockingThemes, ShortcutBarCaptionFontIsLargeBoldArialAndStays)
{
  CTKDockingPaneShortcutBar2003Theme theme;
  for (int refresh = 0; refresh < 2; ++refresh) {
    theme.RefreshMetrics();
    LOGFONT lf{};
    theme.m_fntTitle.GetLogFont(&lf);
    EXPECT_STREQ("Arial", lf.lfFaceName);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_EQ(20, lf.lfHeight);
    EXPECT_FALSE(theme.m_bUseSystemFonts);
  }
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont* pOld = dc.SelectObject(&theme.m_fntTitle);
  const int nText = std::max(static_cast<int>(dc.GetTextExtent(CString(" ")).cy), 13);
  dc.SelectObject(pOld);
  EXPECT_EQ(nText + 3, theme.GetCaptionHeight());
  // Without Luna colours the inactive caption runs from a light shadow to the shadow colour.
  EXPECT_EQ(theme.GetColor(COLOR_BTNSHADOW), theme.m_clrNormalCaptionGradient.clrDark.GetValue());
}

// Native XP and Explorer take the visual style's parts while one is active, and draw as their base themes
// without it.
TEST(DockingThemes, NativeXPAndExplorerFollowTheVisualStyle)
{
  {
    CTKDockingPaneNativeXPTheme xp;
    CTKDockingPaneExplorerTheme explorer;
    xp.RefreshMetrics();
    explorer.RefreshMetrics();
    EXPECT_FALSE(xp.IsStyled());
    EXPECT_FALSE(explorer.IsStyled());
    EXPECT_EQ(5, explorer.GetPanelPaintManager()->GetAppearanceNumber());
    EXPECT_EQ(6, explorer.GetAutoHidePaintManager()->GetAppearanceNumber());
    EXPECT_FALSE(explorer.GetPanelPaintManager()->m_bHotTracking);
  }
  StyleGuard style(uxtheme::Theme::LunaBlue);
  Group xpGroup(3);
  auto* pXP = static_cast<CTKDockingPaneNativeXPTheme*>(xpGroup.Paint());
  ASSERT_TRUE(pXP->IsStyled());
  xpGroup.pGroup->m_bActive = TRUE;
  const CRect rc(0, 0, 160, 80);
  Canvas drawn(rc.Width(), rc.Height(), kCanvas);
  pXP->DrawPane(&drawn.m_dc, xpGroup.pGroup, rc);
  // The caption strip is the style's active small caption from the group's origin.
  Canvas expected(rc.Width(), rc.Height(), kCanvas);
  const CRect rcStrip(0, 0, rc.Width(), pXP->GetCaptionHeight() + 1);
  pXP->m_themeWindow.DrawThemeBackground(expected.m_dc.GetSafeHdc(), WP_SMALLCAPTION, CS_ACTIVE, &rcStrip, nullptr);
  EXPECT_EQ(expected.m_dc.GetPixel(2, 2), drawn.m_dc.GetPixel(2, 2));
  EXPECT_EQ(expected.m_dc.GetPixel(80, rcStrip.bottom - 2), drawn.m_dc.GetPixel(80, rcStrip.bottom - 2));

  CTKDockingPaneExplorerTheme explorer;
  explorer.RefreshMetrics();
  ASSERT_TRUE(explorer.IsStyled());
  EXPECT_EQ(0, explorer.GetPanelPaintManager()->GetAppearanceNumber());
  EXPECT_EQ(CTKTabPaintManager::kColorSetWinXP, explorer.GetPanelPaintManager()->GetColorSetNumber());
  EXPECT_TRUE(explorer.GetAutoHidePaintManager()->m_bHotTracking);
}

// The floating frames' rings: Grippered (and Visual Studio 2005) raised ones, Office 2003 three in colour 43 and a
// fourth in the inactive caption's second colour without its corners.
TEST(DockingThemes, FloatingFrameRings)
{
  for (int nTheme : {0, 4, 9}) {
    SCOPED_TRACE(nTheme);
    Group group(nTheme);
    auto* pFloat = new CFloatNode(group.frame.m_paneManager.GetCurrentLayout(), "Параметры");
    CTKDockingPanePaintManager* pPaint = group.Paint();
    Canvas canvas(200, 120, kCanvas);
    pPaint->DrawFloatingFrame(&canvas.m_dc, pFloat, CRect(0, 0, 200, 120));
    EXPECT_EQ(pPaint->GetColor(COLOR_3DFACE), canvas.m_dc.GetPixel(0, 60));
    EXPECT_EQ(RGB(0, 0, 0), canvas.m_dc.GetPixel(199, 60));
    EXPECT_EQ(pPaint->GetColor(COLOR_BTNHIGHLIGHT), canvas.m_dc.GetPixel(1, 60));
    EXPECT_EQ(pPaint->GetColor(COLOR_BTNSHADOW), canvas.m_dc.GetPixel(198, 60));
    EXPECT_EQ(pPaint->GetColor(COLOR_3DFACE), canvas.m_dc.GetPixel(2, 60));
    EXPECT_EQ(pPaint->GetColor(COLOR_3DFACE), canvas.m_dc.GetPixel(197, 60));
    // The caption strip below the rings holds the title; the client below it is left alone.
    EXPECT_EQ(kCanvas, canvas.m_dc.GetPixel(100, 110));
  }
  Group group(2);
  auto* pOffice = static_cast<CTKDockingPaneOffice2003Theme*>(group.Paint());
  auto* pFloat = new CFloatNode(group.frame.m_paneManager.GetCurrentLayout(), "Параметры");
  Canvas canvas(200, 120, kCanvas);
  pOffice->DrawFloatingFrame(&canvas.m_dc, pFloat, CRect(0, 0, 200, 120));
  for (int ring = 0; ring < 3; ++ring)
    EXPECT_EQ(pOffice->GetColor(43), canvas.m_dc.GetPixel(ring, 60)) << ring;
  EXPECT_EQ(pOffice->m_clrNormalCaptionGradient.clrDark.GetValue(), canvas.m_dc.GetPixel(3, 60));
  EXPECT_EQ(kCanvas, canvas.m_dc.GetPixel(3, 3));
  EXPECT_EQ(kCanvas, canvas.m_dc.GetPixel(196, 116));
}

// Floating frames in every theme, and Native XP and Explorer groups under the Luna blue style.
TEST(DockingPictures, FloatingFramesAndStyledCaptions)
{
  static const char* const kThemeNames[] = {"0 Default",   "1 Office", "2 Office 2003", "3 Native XP",
                                            "4 Grippered", "5 Visio",  "6 Whidbey",     "7 Shortcut Bar 2003",
                                            "8 Explorer",  "9 Visual Studio 2005"};
  constexpr int kLegend = 28;
  constexpr int kCellWidth = 230;
  constexpr int kCellHeight = 140;
  Canvas canvas(5 * kCellWidth, kLegend + 3 * kCellHeight, RGB(255, 255, 255));
  CFont font;
  font.CreateFont(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CFont* pOld = canvas.m_dc.SelectObject(&font);
  canvas.m_dc.SetBkMode(TRANSPARENT);
  const auto label = [&](const char* text, int x, int y, int cx = 0) {
    CRect rc(x, y, x + (cx > 0 ? cx : kCellWidth), y + 20);
    canvas.m_dc.SetTextColor(RGB(0, 0, 0));
    canvas.m_dc.DrawText(text, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  };
  label("Floating frames of docking themes 0-9 without a visual style (odd themes shown active); last row: Luna blue",
        8, 4, canvas.m_width - 16);
  const auto frameAt = [&](int nTheme, int x, int y, BOOL bActive, const char* name) {
    Group group(nTheme);
    auto* pFloat = new CFloatNode(group.frame.m_paneManager.GetCurrentLayout(), "Параметры");
    if (bActive) {
      pFloat->ShowWindow(SW_SHOW);
      pFloat->SetFocus();
    }
    label(name, x + 6, y);
    const CRect rc(0, 0, kCellWidth - 20, kCellHeight - 34);
    canvas.m_dc.FillSolidRect(x + 6, y + 24, rc.Width(), rc.Height(), RGB(255, 255, 255));
    const int saved = canvas.m_dc.SaveDC();
    canvas.m_dc.SetViewportOrg(x + 6, y + 24);
    canvas.m_dc.FillSolidRect(rc, group.Paint()->GetColor(COLOR_3DFACE));
    group.Paint()->DrawFloatingFrame(&canvas.m_dc, pFloat, rc);
    canvas.m_dc.RestoreDC(saved);
  };
  for (int nTheme = 0; nTheme < 10; ++nTheme) {
    frameAt(nTheme, (nTheme % 5) * kCellWidth, kLegend + (nTheme / 5) * kCellHeight, nTheme % 2 == 1,
            kThemeNames[nTheme]);
  }
  {
    StyleGuard style(uxtheme::Theme::LunaBlue);
    const int y = kLegend + 2 * kCellHeight;
    frameAt(3, 0, y, FALSE, "3 Native XP frame, inactive");
    frameAt(3, kCellWidth, y, TRUE, "3 Native XP frame, active");
    for (int nTheme : {3, 8}) {
      Group group(nTheme);
      group.pGroup->m_bActive = nTheme == 3;
      const int x = (nTheme == 3 ? 2 : 3) * kCellWidth;
      label(nTheme == 3 ? "3 Native XP group, active" : "8 Explorer group", x + 6, y);
      const CRect rc(0, 0, kCellWidth - 20, kCellHeight - 34);
      const int saved = canvas.m_dc.SaveDC();
      canvas.m_dc.SetViewportOrg(x + 6, y + 24);
      group.Paint()->DrawPane(&canvas.m_dc, group.pGroup, rc);
      canvas.m_dc.RestoreDC(saved);
    }
  }
  canvas.m_dc.SelectObject(pOld);
  EXPECT_TRUE(canvas.Save("toolkit_docking_floating.png"));
}

}  // namespace
