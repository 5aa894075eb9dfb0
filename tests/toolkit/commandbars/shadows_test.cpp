// Popup shadows: the alpha of the strips, the strips of an open menu on the composed screen (never over another
// open popup), and when no shadow is made.
#include "toolkit/commandbars/shadows.h"

#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/paint.h"
#include "tests/toolkit/commandbars/bar_frame.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Shadow = CTKShadowsManager::CShadowWnd;

TEST(ShadowStrips, AlphaFadesOutwardsAndAtTheEnds)
{
  struct Case {
    const char* what;
    BOOL horizontal;
    BOOL ownerDrawn;
    int x;
    int y;
    int alpha;
    int twentieths;
  };
  // Strips of 40 x 4 (below) and 4 x 40 (right).
  const Case cases[] = {
      {"below, the row touching the bar", TRUE, TRUE, 20, 0, 60, 20},
      {"below, the outer row", TRUE, TRUE, 20, 3, 15, 5},
      {"below, not owner-drawn: twice the alpha", TRUE, FALSE, 20, 1, 90, 15},
      {"below, the left end's outer corner", TRUE, TRUE, 0, 3, 3, 1},
      {"below, the left end's inner corner", TRUE, TRUE, 3, 0, 48, 16},
      {"below, the right end mirrored", TRUE, TRUE, 39, 0, 12, 4},
      {"right, the column touching the bar", FALSE, TRUE, 0, 20, 60, 20},
      {"right, the outer column", FALSE, TRUE, 3, 20, 15, 5},
      {"right, the top end", FALSE, TRUE, 0, 0, 12, 4},
      {"right, the top end's outer corner", FALSE, TRUE, 3, 0, 3, 1},
  };
  for (const Case& c : cases) {
    int alpha = 0;
    int twentieths = 0;
    const int cx = c.horizontal ? 40 : 4;
    const int cy = c.horizontal ? 4 : 40;
    Shadow::PixelAt(c.horizontal, c.ownerDrawn, cx, cy, c.x, c.y, alpha, twentieths);
    EXPECT_EQ(alpha, c.alpha) << c.what;
    EXPECT_EQ(twentieths, c.twentieths) << c.what;
  }
}

class Shadows : public ::testing::Test {
protected:
  void SetUp() override
  {
    CTKPaintManager::SetTheme(tkThemeWhidbey);
    ASSERT_TRUE(frame_.Make(420, 260));
    frame_.ShowWindow(SW_SHOW);
    menu_ = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, 420, 24), 128);
    ASSERT_NE(menu_, nullptr);
    cbtest::Pump();
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->ClosePopups();
    cbtest::Pump();
    CTKPaintManager::SetTheme(tkThemeDefault);
  }
  void OpenFile()
  {
    frame_.GetCommandBars()->ActivateBar(menu_, 0);
    TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_DOWN, 0);
  }
  int StripsOf(CTKCommandBar* pBar)
  {
    int n = 0;
    for (const Shadow* pShadow : TKShadowsManager().GetShadows())
      if (pShadow->GetBar() == pBar && pShadow->IsWindowVisible())
        ++n;
    return n;
  }
  cbtest::CTestFrame frame_;
  cbtest::CTestBar* menu_ = nullptr;
};

TEST_F(Shadows, AnOpenMenuCastsItsShadowButNeverOverAnotherOpenPopup)
{
  ASSERT_TRUE(TKShadowsManager().IsLayered());
  OpenFile();
  CTKCommandBar* pFile = menu_->GetControl(0)->GetCommandBar();
  ASSERT_TRUE(pFile->IsVisible());
  EXPECT_EQ(StripsOf(pFile), 4);  // two of the popup, two of its menu-bar title
  // Down twice and Right: the Export submenu opens at the popup's right edge.
  TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_DOWN, 0);
  TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_DOWN, 0);
  TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_RIGHT, 0);
  CTKCommandBar* pExport = pFile->GetControl(2)->GetCommandBar();
  ASSERT_TRUE(pExport->IsVisible());
  EXPECT_EQ(StripsOf(pExport), 2);
  cbtest::Pump();
  for (CWnd* pWnd : {static_cast<CWnd*>(&frame_), static_cast<CWnd*>(pFile), static_cast<CWnd*>(pExport)})
    pWnd->UpdateWindow();
  cbtest::Pump();

  gdi::Surface screen;
  user::ComposeScreen(screen);
  CRect rcFrame;
  frame_.GetWindowRect(&rcFrame);
  gdi::Surface picture(rcFrame.Width(), rcFrame.Height());
  for (int y = 0; y < rcFrame.Height(); ++y)
    for (int x = 0; x < rcFrame.Width(); ++x)
      picture.Pixels()[static_cast<size_t>(y) * rcFrame.Width() + x] = screen.Pixel(rcFrame.left + x, rcFrame.top + y);
  EXPECT_TRUE(gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_commandbars_shadows.png"));

  CRect rcFile;
  pFile->GetWindowRect(&rcFile);
  CRect rcExport;
  pExport->GetWindowRect(&rcExport);
  CTKPaintManager* pm = CTKPaintManager::GetCurrent();
  const COLORREF border = pm->GetColor(43);
  auto at = [&](int x, int y) {
    std::uint32_t p = screen.Pixel(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  };
  // The File popup's right strip runs down beside it; where the submenu lies, the submenu shows unshaded.
  EXPECT_EQ(at(rcExport.left, rcExport.bottom - 2), border);
  EXPECT_EQ(at(rcExport.left, rcExport.top + 6), border);
  // Below the File popup, away from the submenu, the shadow darkens what lies under it.
  const int x = rcFile.left + rcFile.Width() / 2;
  const std::uint32_t under = screen.Pixel(x, rcFile.bottom + 8);
  const std::uint32_t shaded = screen.Pixel(x, rcFile.bottom);
  EXPECT_LT(shaded & 0xFF, under & 0xFF);

  // Hiding the popup hides its strips; showing it shows them again.
  pExport->ShowWindow(SW_HIDE);
  EXPECT_EQ(StripsOf(pExport), 0);
  pExport->ShowWindow(SW_SHOWNA);
  EXPECT_EQ(StripsOf(pExport), 2);
}

TEST_F(Shadows, NoShadowInCustomiseModeNorWithoutOwnShadowsAndTheSystemSetting)
{
  frame_.GetCommandBars()->SetCustomizeMode(TRUE);
  menu_->SetPopuped(0, TRUE);  // keys do not move through bars in customise mode
  CTKCommandBar* pFile = menu_->GetControl(0)->GetCommandBar();
  ASSERT_TRUE(pFile->IsVisible());
  EXPECT_EQ(StripsOf(pFile), 0);
  frame_.GetCommandBars()->ClosePopups();
  frame_.GetCommandBars()->SetCustomizeMode(FALSE);

  CTKPaintManager::SetTheme(tkThemeDefault);  // draws no shadows of its own
  BOOL old = FALSE;
  ::SystemParametersInfo(SPI_GETDROPSHADOW, 0, &old, 0);
  ::SystemParametersInfo(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(FALSE)), 0);
  OpenFile();
  EXPECT_EQ(StripsOf(pFile), 0);
  frame_.GetCommandBars()->ClosePopups();
  ::SystemParametersInfo(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(TRUE)), 0);
  OpenFile();
  EXPECT_EQ(StripsOf(pFile), 2);  // the popup's own; a menu title casts none in this theme
  frame_.GetCommandBars()->ClosePopups();
  EXPECT_EQ(StripsOf(pFile), 0);
  ::SystemParametersInfo(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(old)), 0);
}

}  // namespace
