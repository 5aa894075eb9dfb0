#include "toolkit/paint/color_manager.h"

#include "platform/base/clock.h"
#include "platform/gdi/png.h"
#include "platform/gdi/windraw.h"
#include "platform/mfc/afxwin.h"
#include "platform/user/system.h"
#include "platform/user/uxtheme.h"
#include "tests/toolkit/paint/swatch.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace {

using Table = std::array<COLORREF, TK_COLOR_COUNT>;

// Expected tables worked out by hand from the rules (blends, contrast rows, brightening) for the system's
// classic palette: button face RGB(212, 208, 200), shadow RGB(128, 128, 128), window white, highlight
// RGB(10, 36, 106).
constexpr Table kClassic = {
    RGB(0, 0, 0), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128), RGB(212, 208, 200), RGB(255, 255, 255),  // 0
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),  // 6
    RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255), RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128),  // 12
    RGB(0, 0, 0), RGB(212, 208, 200), RGB(255, 255, 255), RGB(64, 64, 64), RGB(227, 223, 215), RGB(0, 0, 0),  // 18
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128), RGB(166, 202, 240), RGB(0, 0, 0), RGB(0, 0, 0),  // 24
    RGB(219, 216, 209), RGB(182, 189, 210), RGB(10, 36, 106), RGB(133, 146, 181), RGB(136, 141, 157), RGB(166, 166, 166),  // 30
    RGB(212, 213, 216), RGB(10, 36, 106), RGB(160, 160, 160), RGB(166, 166, 166), RGB(141, 141, 141), RGB(249, 248, 247),  // 36
    RGB(204, 200, 193), RGB(102, 102, 102), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),  // 42
    RGB(247, 242, 233), RGB(85, 85, 85), RGB(10, 36, 106), RGB(212, 208, 200), RGB(128, 128, 128), RGB(219, 216, 209),  // 48
    RGB(128, 128, 128), RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(141, 141, 141), RGB(0, 0, 0),  // 54
    RGB(141, 141, 141), RGB(0, 0, 0),  // 60
};

// Palette screens: copies of system colours only.
constexpr Table kEightBit = {
    RGB(0, 0, 0), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128), RGB(212, 208, 200), RGB(255, 255, 255),  // 0
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),  // 6
    RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255), RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128),  // 12
    RGB(0, 0, 0), RGB(212, 208, 200), RGB(255, 255, 255), RGB(64, 64, 64), RGB(212, 208, 200), RGB(0, 0, 0),  // 18
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128), RGB(166, 202, 240), RGB(0, 0, 0), RGB(0, 0, 0),  // 24
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(10, 36, 106), RGB(10, 36, 106), RGB(128, 128, 128), RGB(128, 128, 128),  // 30
    RGB(255, 255, 255), RGB(10, 36, 106), RGB(128, 128, 128), RGB(128, 128, 128), RGB(128, 128, 128), RGB(255, 255, 255),  // 36
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),  // 42
    RGB(212, 208, 200), RGB(0, 0, 0), RGB(10, 36, 106), RGB(212, 208, 200), RGB(128, 128, 128), RGB(212, 208, 200),  // 48
    RGB(128, 128, 128), RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),  // 54
    RGB(128, 128, 128), RGB(0, 0, 0),  // 60
};

constexpr Table kBlackButtonFace = {
    RGB(0, 0, 0), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128), RGB(212, 208, 200), RGB(255, 255, 255),  // 0
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),  // 6
    RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255), RGB(0, 0, 0), RGB(128, 128, 128), RGB(128, 128, 128),  // 12
    RGB(0, 0, 0), RGB(212, 208, 200), RGB(255, 255, 255), RGB(64, 64, 64), RGB(15, 15, 15), RGB(0, 0, 0),  // 18
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128), RGB(166, 202, 240), RGB(0, 0, 0), RGB(0, 0, 0),  // 24
    RGB(40, 40, 40), RGB(182, 189, 210), RGB(125, 139, 176), RGB(133, 146, 181), RGB(136, 141, 157), RGB(166, 166, 166),  // 30
    RGB(123, 125, 132), RGB(10, 36, 106), RGB(160, 160, 160), RGB(166, 166, 166), RGB(141, 141, 141), RGB(219, 219, 219),  // 36
    RGB(13, 13, 13), RGB(102, 102, 102), RGB(0, 0, 0), RGB(0, 0, 0), RGB(216, 216, 216), RGB(255, 255, 255),  // 42
    RGB(35, 35, 35), RGB(127, 127, 127), RGB(10, 36, 106), RGB(0, 0, 0), RGB(128, 128, 128), RGB(40, 40, 40),  // 48
    RGB(128, 128, 128), RGB(0, 0, 0), RGB(0, 0, 0), RGB(128, 128, 128), RGB(141, 141, 141), RGB(0, 0, 0),  // 54
    RGB(141, 141, 141), RGB(0, 0, 0),  // 60
};

// The Luna blue style: the classic blends, c[54] the Luna dark blue and c[57] the style's tree-view border.
constexpr Table kLunaBlue = {
    RGB(0, 0, 0), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128), RGB(212, 208, 200), RGB(255, 255, 255),  // 0
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),  // 6
    RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255), RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128),  // 12
    RGB(0, 0, 0), RGB(212, 208, 200), RGB(255, 255, 255), RGB(64, 64, 64), RGB(227, 223, 215), RGB(0, 0, 0),  // 18
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128), RGB(166, 202, 240), RGB(0, 0, 0), RGB(0, 0, 0),  // 24
    RGB(219, 216, 209), RGB(182, 189, 210), RGB(10, 36, 106), RGB(133, 146, 181), RGB(136, 141, 157), RGB(166, 166, 166),  // 30
    RGB(212, 213, 216), RGB(10, 36, 106), RGB(160, 160, 160), RGB(166, 166, 166), RGB(141, 141, 141), RGB(249, 248, 247),  // 36
    RGB(204, 200, 193), RGB(102, 102, 102), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),  // 42
    RGB(247, 242, 233), RGB(85, 85, 85), RGB(10, 36, 106), RGB(212, 208, 200), RGB(128, 128, 128), RGB(219, 216, 209),  // 48
    RGB(0, 45, 150), RGB(212, 208, 200), RGB(212, 208, 200), RGB(127, 157, 185), RGB(141, 141, 141), RGB(0, 0, 0),  // 54
    RGB(141, 141, 141), RGB(0, 0, 0),  // 60
};

struct Scheme {
  const char* name;
  std::function<void()> apply;
  const Table& expected;
  int lunaScheme;
};

class ColorManager : public ::testing::Test {
protected:
  void TearDown() override
  {
    SetReportedColorDepth(0);
    uxtheme::SetTestTheme(uxtheme::Theme::None);
    user::ResetSystemSettingsForTest();
    TKColorManager().RefreshColors();
  }
};

std::string Name(COLORREF c)
{
  return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}

TEST_F(ColorManager, TableFollowsDepthButtonFaceAndLunaScheme)
{
  const Scheme schemes[] = {
      {"classic", [] {}, kClassic, 0},
      {"8bpp", [] { SetReportedColorDepth(8); }, kEightBit, 0},
      {"black_face",
       [] {
         const INT element = COLOR_BTNFACE;
         const COLORREF black = RGB(0, 0, 0);
         SetSysColors(1, &element, &black);
       },
       kBlackButtonFace, 0},
      {"luna_blue", [] { uxtheme::SetTestTheme(uxtheme::Theme::LunaBlue); }, kLunaBlue, 1},
  };
  for (const Scheme& scheme : schemes) {
    SCOPED_TRACE(scheme.name);
    scheme.apply();
    CTKColorManager& manager = TKColorManager();
    manager.RefreshColors();
    EXPECT_EQ(manager.GetCurrentSystemTheme(), scheme.lunaScheme);
    for (int i = 0; i < TK_COLOR_COUNT; ++i) {
      EXPECT_EQ(Name(manager.GetColor(i)), Name(scheme.expected[i])) << "entry " << i;
    }
    tktest::SaveSwatchSheet(manager, std::string("toolkit_colors_") + scheme.name + ".png", scheme.name);
    TearDown();
  }
}

TEST_F(ColorManager, IndexAboveTableIsLiteralColour)
{
  const CTKColorManager& manager = TKColorManager();
  EXPECT_EQ(manager.GetColor(62), 62u);
  EXPECT_EQ(manager.GetColor(RGB(0, 0, 255)), RGB(0, 0, 255));
  EXPECT_EQ(manager.GetColor(static_cast<UINT>(-1)), static_cast<COLORREF>(-1));
  EXPECT_EQ(manager.GetColor(61), RGB(0, 0, 0));
}

TEST_F(ColorManager, GradientsFollowTheLunaScheme)
{
  struct Case {
    uxtheme::Theme theme;
    int scheme;
    COLORREF captionLight, captionDark, barLight, barDark, c54;
  };
  const Case cases[] = {
      {uxtheme::Theme::None, 0, RGB(128, 128, 128), RGB(128, 128, 128), RGB(212, 208, 200), RGB(246, 245, 243),
       RGB(128, 128, 128)},
      {uxtheme::Theme::LunaBlue, 1, RGB(89, 135, 214), RGB(0, 45, 150), RGB(158, 190, 245), RGB(196, 218, 250),
       RGB(0, 45, 150)},
      {uxtheme::Theme::LunaOlive, 2, RGB(175, 192, 130), RGB(99, 122, 68), RGB(217, 217, 167), RGB(242, 241, 228),
       RGB(96, 128, 88)},
      {uxtheme::Theme::LunaSilver, 3, RGB(168, 167, 191), RGB(112, 111, 145), RGB(215, 215, 229),
       RGB(243, 243, 247), RGB(124, 124, 148)},
      // Royale's blue counts as Luna blue.
      {uxtheme::Theme::Royale, 1, RGB(89, 135, 214), RGB(0, 45, 150), RGB(158, 190, 245), RGB(196, 218, 250),
       RGB(0, 45, 150)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scheme);
    uxtheme::SetTestTheme(c.theme);
    // On a palette screen the gradients and c[54] still follow the scheme.
    SetReportedColorDepth(8);
    CTKColorManager& manager = TKColorManager();
    manager.RefreshColors();
    EXPECT_EQ(TKCurrentSystemTheme(), c.scheme);
    EXPECT_EQ(Name(manager.m_clrCaptionGradient.clrLight), Name(c.captionLight));
    EXPECT_EQ(Name(manager.m_clrCaptionGradient.clrDark), Name(c.captionDark));
    EXPECT_EQ(Name(manager.m_clrBarGradient.clrLight), Name(c.barLight));
    EXPECT_EQ(Name(manager.m_clrBarGradient.clrDark), Name(c.barDark));
    EXPECT_FLOAT_EQ(manager.m_clrBarGradient.fGradientFactor, 0.5f);
    EXPECT_EQ(Name(manager.GetColor(54)), Name(c.c54));
    SetReportedColorDepth(0);
  }
}

TEST(ColorArithmetic, LightColorWeights)
{
  struct Case {
    COLORREF a, b;
    int weight;
    COLORREF expected;
  };
  const Case cases[] = {
      {RGB(200, 100, 0), RGB(0, 0, 100), 30, RGB(60, 30, 70)},
      // 100 and above are per mille: 10 % of a.
      {RGB(200, 100, 0), RGB(0, 0, 100), 100, RGB(20, 10, 90)},
      {RGB(255, 255, 255), RGB(212, 208, 200), 165, RGB(219, 216, 209)},
      // Rounded half up: (50 * 1 + 50 * 0 + 50) / 100 = 1.
      {RGB(1, 1, 1), RGB(0, 0, 0), 50, RGB(1, 1, 1)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Name(CTKColorManager::LightColor(c.a, c.b, c.weight)), Name(c.expected)) << c.weight;
  }
}

TEST(ColorArithmetic, DistanceAndContrast)
{
  EXPECT_NEAR(CTKColorManager::ColorDistance(RGB(0, 0, 0), RGB(255, 255, 255)), 440.86, 0.01);
  // Against black the nominal distance doubles: 100 becomes 200.
  EXPECT_TRUE(CTKColorManager::IsColorDistinct(RGB(0, 0, 0), RGB(0, 120, 0), FALSE, 100));
  EXPECT_FALSE(CTKColorManager::IsColorDistinct(RGB(0, 0, 0), RGB(0, 120, 0), TRUE, 100));
  // Limited to 35 from the button face, black comes up to a grey near it.
  EXPECT_EQ(Name(CTKColorManager::LimitContrast(RGB(212, 208, 200), RGB(0, 0, 0), 35)), Name(RGB(191, 188, 181)));
  // Too close to a light reference: pushed darker; to a black one: pushed lighter.
  EXPECT_EQ(Name(CTKColorManager::EnsureContrast(RGB(212, 208, 200), RGB(200, 200, 200), 50)),
            Name(RGB(180, 180, 180)));
  EXPECT_EQ(Name(CTKColorManager::EnsureContrast(RGB(10, 10, 10), RGB(0, 0, 0), 50)), Name(RGB(66, 66, 66)));
}

TEST(ColorArithmetic, EnsureContrastKeepsColourWhenNoPointOfTheRayIsFarEnough)
{
  // Pure red lies far from white's ray; no point of its ray is at the required distance. It used to become black.
  EXPECT_EQ(Name(CTKColorManager::EnsureContrast(RGB(255, 255, 255), RGB(255, 0, 0), 50)), Name(RGB(255, 0, 0)));
}

class ColorRefreshThrottle : public ColorManager {
protected:
  platform::VirtualClock clock{100000};
  platform::ScopedClock scoped{clock};

  // A changed button face shows whether the last call recomputed.
  void ChangeFace(COLORREF face)
  {
    const INT element = COLOR_BTNFACE;
    SetSysColors(1, &element, &face);
  }
  COLORREF Face() { return TKColorManager().GetColor(COLOR_BTNFACE); }
};

TEST_F(ColorRefreshThrottle, OnceWithinHalfASecondOnlyAfterTheMainWindowExists)
{
  TKResetRefreshThrottleForTest();
  CWinApp app("Throttle");
  // No main window: every call recomputes.
  ChangeFace(RGB(1, 2, 3));
  TKRefreshColors();
  EXPECT_EQ(Face(), RGB(1, 2, 3));
  ChangeFace(RGB(4, 5, 6));
  TKRefreshColors();
  EXPECT_EQ(Face(), RGB(4, 5, 6));

  CWnd mainWnd;
  app.m_pMainWnd = &mainWnd;
  clock.Advance(501);
  TKRefreshColors();
  ChangeFace(RGB(7, 8, 9));
  clock.Advance(500);
  TKRefreshColors();
  EXPECT_EQ(Face(), RGB(4, 5, 6)) << "a second refresh within 500 ms";
  clock.Advance(1);
  TKRefreshColors();
  EXPECT_EQ(Face(), RGB(7, 8, 9));
  app.m_pMainWnd = nullptr;
  TKResetRefreshThrottleForTest();
}

TEST_F(ColorRefreshThrottle, FirstRefreshOfTheProcessIsNotHeldBack)
{
  // Our tick count starts with the process: a first call within its first 500 ms must still recompute.
  platform::VirtualClock early{100};
  platform::ScopedClock inForce{early};
  TKResetRefreshThrottleForTest();
  CWinApp app("Early");
  CWnd mainWnd;
  app.m_pMainWnd = &mainWnd;
  ChangeFace(RGB(11, 12, 13));
  TKRefreshColors();
  EXPECT_EQ(Face(), RGB(11, 12, 13));
  app.m_pMainWnd = nullptr;
  TKResetRefreshThrottleForTest();
}

}  // namespace
