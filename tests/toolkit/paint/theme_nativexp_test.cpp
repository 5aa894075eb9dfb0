// Theme 3 with the visual style on and off: off, every part draws as the classic theme; on, the button states
// map onto the style's states, and a gallery of both goes to artifacts.
#include "tests/toolkit/paint/bar_gallery.h"

#include "platform/gdi/png.h"
#include "platform/mfc/winapp.h"
#include "platform/user/uxtheme.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/theme_nativexp.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using TKPaintThemes::CTKDefaultTheme;
using TKPaintThemes::CTKNativeXPTheme;

constexpr COLORREF kBack = RGB(255, 0, 255);

// The theme opens its styles on the application's main window.
struct StyledMain {
  explicit StyledMain(uxtheme::Theme theme)
  {
    uxtheme::SetTestTheme(theme);
    TKColorManager().RefreshColors();
    wnd.CreateEx(0, AfxRegisterWndClass(0), "main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr);
    app.m_pMainWnd = &wnd;
    xp.RefreshMetrics();
    classic.RefreshMetrics();
  }
  ~StyledMain()
  {
    app.m_pMainWnd = nullptr;
    wnd.DestroyWindow();
    uxtheme::SetTestTheme(uxtheme::Theme::None);
    TKColorManager().RefreshColors();
  }
  CWinApp app{"Tesmira Road"};
  CWnd wnd;
  CTKNativeXPTheme xp;
  CTKDefaultTheme classic;
};

std::vector<COLORREF> Pixels(const std::function<void(CDC*)>& draw)
{
  tktest::Canvas canvas(40, 30, kBack);
  draw(&canvas.dc);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      pixels.push_back(canvas.dc.GetPixel(x, y));
  return pixels;
}

struct Part {
  const char* name;
  std::function<void(CTKDefaultTheme*, CDC*)> draw;
};

std::vector<Part> Parts()
{
  const CRect rc(4, 4, 34, 26);
  std::vector<Part> parts;
  struct S {
    const char* name;
    int selected, pressed;
    BOOL enabled, checked, popuped;
  };
  const S states[] = {{"normal", 0, 0, TRUE, FALSE, FALSE},  {"hot", 1, 0, TRUE, FALSE, FALSE},
                      {"pressed", 1, 1, TRUE, FALSE, FALSE}, {"checked", 0, 0, TRUE, TRUE, FALSE},
                      {"hot checked", 1, 0, TRUE, TRUE, FALSE}, {"popped up", 1, 0, TRUE, FALSE, TRUE},
                      {"disabled", 0, 0, FALSE, FALSE, FALSE}, {"disabled checked", 0, 0, FALSE, TRUE, FALSE}};
  for (const S& s : states)
    parts.push_back({s.name, [=](CTKDefaultTheme* pm, CDC* pDC) {
                       pm->DrawButtonRectangle(pDC, rc, s.selected, s.pressed, s.enabled, s.checked, s.popuped, TRUE,
                                               0);
                     }});
  parts.push_back({"edit frame", [=](CTKDefaultTheme* pm, CDC* pDC) { pm->DrawEditFrame(pDC, rc, TRUE, 0); }});
  parts.push_back({"edit frame disabled", [=](CTKDefaultTheme* pm, CDC* pDC) { pm->DrawEditFrame(pDC, rc, FALSE, 0); }});
  parts.push_back({"combo button", [=](CTKDefaultTheme* pm, CDC* pDC) { pm->DrawComboButton(pDC, rc, TRUE, FALSE, FALSE); }});
  parts.push_back({"combo dropped", [=](CTKDefaultTheme* pm, CDC* pDC) { pm->DrawComboButton(pDC, rc, TRUE, TRUE, TRUE); }});
  parts.push_back({"status pane", [=](CTKDefaultTheme* pm, CDC* pDC) { pm->DrawStatusBarPaneBorder(pDC, rc, FALSE); }});
  parts.push_back({"status last pane", [=](CTKDefaultTheme* pm, CDC* pDC) { pm->DrawStatusBarPaneBorder(pDC, rc, TRUE); }});
  parts.push_back({"status gripper", [=](CTKDefaultTheme* pm, CDC* pDC) { pm->DrawStatusBarGripper(pDC, rc); }});
  return parts;
}

TEST(NativeXPTheme, WithoutAStyleEveryPartDrawsAsTheClassicTheme)
{
  StyledMain m(uxtheme::Theme::None);
  EXPECT_EQ(m.xp.BaseTheme(), 3);
  EXPECT_EQ(m.xp.m_nPopupTextColor, 7);
  EXPECT_TRUE(m.xp.m_bFadedIcons);
  for (const Part& part : Parts()) {
    SCOPED_TRACE(part.name);
    EXPECT_EQ(Pixels([&](CDC* pDC) { part.draw(&m.xp, pDC); }),
              Pixels([&](CDC* pDC) { part.draw(&m.classic, pDC); }));
  }
  CSize size;
  tktest::Canvas canvas(40, 30, kBack);
  EXPECT_FALSE(m.xp.DrawCommandBarGripperStyled(&canvas.dc, CRect(0, 0, 40, 30), 0, FALSE, FALSE, size));
  CRect rc(0, 0, 20, 20);
  EXPECT_FALSE(m.xp.AdjustExcludeRectStyled(rc, FALSE, TRUE));
}

TEST(NativeXPTheme, WithAStyleButtonStatesMapOntoTheToolbarsStates)
{
  StyledMain m(uxtheme::Theme::LunaBlue);
  ASSERT_TRUE(m.xp.m_themeToolBar.IsAppThemed());
  std::vector<Part> parts = Parts();
  auto xpPixels = [&](const char* name) {
    for (const Part& part : parts)
      if (std::string(part.name) == name)
        return Pixels([&](CDC* pDC) { part.draw(&m.xp, pDC); });
    return std::vector<COLORREF>();
  };
  auto statePixels = [&](int nState) {
    return Pixels([&](CDC* pDC) {
      CRect rc(4, 4, 34, 26);
      ::DrawThemeBackground(m.xp.m_themeToolBar.GetThemeHandle(), pDC->GetSafeHdc(), 1, nState, &rc, nullptr);
    });
  };
  // A disabled checked button is drawn pressed, not disabled.
  EXPECT_EQ(xpPixels("disabled checked"), statePixels(3));
  EXPECT_EQ(xpPixels("pressed"), statePixels(3));
  EXPECT_EQ(xpPixels("popped up"), statePixels(3));
  EXPECT_EQ(xpPixels("hot"), statePixels(2));
  EXPECT_EQ(xpPixels("checked"), statePixels(5));
  EXPECT_EQ(xpPixels("hot checked"), statePixels(6));
  EXPECT_EQ(xpPixels("disabled"), statePixels(4));
  EXPECT_NE(statePixels(3), statePixels(4));
  EXPECT_NE(xpPixels("edit frame"), Pixels([&](CDC* pDC) { m.classic.DrawEditFrame(pDC, CRect(4, 4, 34, 26), TRUE, 0); }));

  // Grippers, the dialog bar's caption and popup exclusion take the style's sizes.
  CSize size;
  tktest::Canvas canvas(40, 30, kBack);
  EXPECT_TRUE(m.xp.DrawCommandBarGripperStyled(&canvas.dc, CRect(0, 0, 40, 30), 0, FALSE, FALSE, size));
  EXPECT_EQ(size, CSize(8, 0));
  EXPECT_TRUE(m.xp.DrawCommandBarGripperStyled(&canvas.dc, CRect(0, 0, 40, 30), 2, FALSE, FALSE, size));
  EXPECT_EQ(size, CSize(0, 8));
  EXPECT_FALSE(m.xp.DrawCommandBarGripperStyled(&canvas.dc, CRect(0, 0, 40, 30), 4, FALSE, FALSE, size));
  EXPECT_EQ(m.xp.DrawDialogBarGripper(&canvas.dc, FALSE), CSize(8, std::max(m.xp.m_nTextHeight + 4, 22)));
  CRect rc(10, 10, 30, 30);
  EXPECT_TRUE(m.xp.AdjustExcludeRectStyled(rc, FALSE, TRUE));
  EXPECT_EQ(rc, CRect(13, 7, 27, 33));
}

// A sheet a person can read: each part with the style off (left column) and on (right column).
TEST(NativeXPTheme, GalleryWithTheStyleOffAndOn)
{
  std::vector<Part> parts = Parts();
  const int kRow = 34;
  const int kLabel = 150;
  tktest::Canvas sheet(kLabel + 2 * 60 + 20, 30 + kRow * static_cast<int>(parts.size()), RGB(255, 255, 255));
  CDC* pDC = &sheet.dc;
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(RGB(0, 0, 0));
  pDC->TextOut(kLabel, 6, "off");
  pDC->TextOut(kLabel + 60, 6, "on");
  for (int column = 0; column < 2; ++column) {
    StyledMain m(column == 0 ? uxtheme::Theme::None : uxtheme::Theme::LunaBlue);
    for (size_t i = 0; i < parts.size(); ++i) {
      int y = 26 + kRow * static_cast<int>(i);
      if (column == 0)
        pDC->TextOut(6, y + 8, parts[i].name);
      int x = kLabel + 60 * column;
      // Each part on the bar face it stands on.
      pDC->FillSolidRect(CRect(x, y, x + 40, y + 30), m.xp.GetColor(15));
      CPoint old = pDC->SetViewportOrg(x, y);
      parts[i].draw(&m.xp, pDC);
      pDC->SetViewportOrg(old);
    }
  }
  EXPECT_TRUE(gdi::SavePng(static_cast<HBITMAP>(sheet.bitmap.GetSafeHandle()),
                           std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_nativexp_gallery.png"));
}

}  // namespace
