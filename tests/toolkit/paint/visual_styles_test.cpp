#include "toolkit/paint/visual_styles.h"

#include "platform/user/system.h"
#include "platform/user/uxtheme.h"
#include "toolkit/paint/color_manager.h"

#include <gtest/gtest.h>

namespace {

using uxtheme::Theme;

class VisualStyles : public ::testing::Test {
protected:
  void TearDown() override
  {
    uxtheme::SetTestTheme(Theme::None);
    TKReloadThemeLibraryForTest();
  }
};

TEST_F(VisualStyles, WithoutTheLibraryEverythingAnswersNoTheme)
{
  uxtheme::SetTestTheme(Theme::LunaBlue);
  {
    user::AbsentSystemModule absent("UxTheme.dll");
    TKReloadThemeLibraryForTest();
    CTKWinThemeWrapper wrapper;
    EXPECT_EQ(wrapper.OpenThemeData(nullptr, u"TOOLBAR"), nullptr);
    const RECT rect{0, 0, 10, 10};
    EXPECT_EQ(wrapper.DrawThemeBackground(nullptr, TP_BUTTON, TS_NORMAL, &rect, nullptr), E_FAIL);
    COLORREF color = 0;
    EXPECT_EQ(wrapper.GetThemeColor(0, 0, TMT_BORDERCOLOR, &color), E_FAIL);
    WCHAR file[260];
    WCHAR scheme[260];
    EXPECT_EQ(wrapper.GetCurrentThemeName(file, 260, scheme, 260, nullptr, 0), E_FAIL);
    EXPECT_FALSE(TKIsThemeActive());
    EXPECT_FALSE(wrapper.IsThemingAvailable());
    // The colour manager then sees no Luna scheme, though the style is current.
    EXPECT_EQ(TKDetectLunaColorScheme(), 0);
  }
  TKReloadThemeLibraryForTest();
  EXPECT_EQ(TKDetectLunaColorScheme(), 1);
}

TEST_F(VisualStyles, ThemingAvailableNeedsAnActiveStyleAndCommonControlsSix)
{
  CTKWinThemeWrapper wrapper;
  EXPECT_EQ(TKGetDllVersion(GetModuleHandle("comctl32.dll")), 0x60000u);
  EXPECT_FALSE(TKIsThemeActive());
  EXPECT_FALSE(wrapper.IsThemingAvailable()) << "styles turned off by the user";
  uxtheme::SetTestTheme(Theme::LunaSilver);
  EXPECT_TRUE(TKIsThemeActive());
  EXPECT_TRUE(wrapper.IsThemingAvailable());
  {
    user::AbsentSystemModule absent("comctl32.dll");
    TKReloadThemeLibraryForTest();
    EXPECT_FALSE(wrapper.IsThemingAvailable()) << "without common controls 6";
  }
  TKReloadThemeLibraryForTest();
  EXPECT_TRUE(wrapper.IsThemingAvailable());
}

TEST_F(VisualStyles, HandleOfAWrapper)
{
  uxtheme::SetTestTheme(Theme::LunaBlue);
  CTKWinThemeWrapper wrapper;
  // A class the style lacks: the wrapper holds nothing and does not ask the system whether the program is themed.
  EXPECT_EQ(wrapper.OpenThemeData(nullptr, u"NOSUCHCLASS"), nullptr);
  EXPECT_TRUE(IsAppThemed());
  EXPECT_FALSE(wrapper.IsAppThemed());

  HTHEME treeView = wrapper.OpenThemeData(nullptr, u"TREEVIEW");
  ASSERT_NE(treeView, nullptr);
  EXPECT_TRUE(wrapper.IsAppThemed());
  COLORREF border = 0;
  EXPECT_EQ(wrapper.GetThemeColor(0, 0, TMT_BORDERCOLOR, &border), S_OK);
  EXPECT_EQ(border, RGB(127, 157, 185));

  // Opening a second class closes the first handle.
  HTHEME toolbar = wrapper.OpenThemeData(nullptr, u"TOOLBAR");
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(GetThemeColor(treeView, 0, 0, TMT_BORDERCOLOR, &border), E_HANDLE);
  wrapper.CloseThemeData();
  EXPECT_EQ(wrapper.GetThemeHandle(), nullptr);
  EXPECT_EQ(GetThemeColor(toolbar, 0, 0, TMT_BORDERCOLOR, &border), E_HANDLE);
}

TEST_F(VisualStyles, LunaSchemeFromTheStyleNames)
{
  struct Case {
    Theme theme;
    int scheme;
  };
  const Case cases[] = {{Theme::None, 0},      {Theme::LunaBlue, 1}, {Theme::LunaOlive, 2},
                        {Theme::LunaSilver, 3}, {Theme::Royale, 1}};
  for (const Case& c : cases) {
    uxtheme::SetTestTheme(c.theme);
    EXPECT_EQ(TKDetectLunaColorScheme(), c.scheme) << static_cast<int>(c.theme);
  }
}

}  // namespace
