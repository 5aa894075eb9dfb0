// A window of the application hosted on a toolbar: its size with borders, where it goes, what a vertical bar
// does with it, clicks on it, and finding it again by its child id.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "toolkit/commandbars/controlcustom.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

namespace {

struct HostedFixture {
  cbtest::CTestFrame frame;
  CWnd slider;
  cbtest::CTestBar* pBar = nullptr;
  CTKControlCustom* pCustom = nullptr;

  HostedFixture()
  {
    CTKPaintManager::SetTheme(tkThemeDefault);
    frame.Make(400, 200);
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    pBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 300, 30));
    slider.CreateEx(0, AfxRegisterWndClass(0), "slider", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr);
    pCustom = static_cast<CTKControlCustom*>(pBar->GetControls()->Add(tkControlCustom, 700));
    pCustom->SetControl(slider.GetSafeHwnd());
    pCustom->SetBorders(CRect(2, 3, 2, 3));
    pCustom->SetSize(CSize(100, 16));
  }
  ~HostedFixture() { slider.DestroyWindow(); }
  CRect SliderInBar() const
  {
    CRect rc;
    slider.GetWindowRect(&rc);
    pBar->ScreenToClient(&rc);
    return rc;
  }
};

TEST(CustomControl, TheHostedWindowBecomesAChildOfTheBarInsideTheBorders)
{
  HostedFixture f;
  ASSERT_NE(f.pCustom, nullptr);
  CClientDC dc(f.pBar);
  EXPECT_EQ(f.pCustom->GetSize(&dc), CSize(104, 22));
  f.pBar->OnRecalcLayout();
  CRect rcControl = f.pCustom->GetRect();
  EXPECT_EQ(rcControl.Size(), CSize(104, 22));
  EXPECT_EQ(::GetParent(f.slider.GetSafeHwnd()), f.pBar->GetSafeHwnd());
  EXPECT_EQ(f.slider.GetStyle() & (WS_CHILD | WS_POPUP), static_cast<DWORD>(WS_CHILD));
  EXPECT_EQ(f.SliderInBar(), CRect(rcControl.left + 2, rcControl.top + 3, rcControl.right - 2, rcControl.bottom - 3));
  EXPECT_TRUE(f.slider.IsWindowVisible());

  // Hiding the control hides the window; a click on a visible window is the window's, not the control's.
  f.pCustom->SetHideFlags(TK_HIDEGENERIC);
  EXPECT_FALSE(f.slider.IsWindowVisible());
  f.pCustom->SetHideFlags(0);
  f.frame.m_log.clear();
  f.pCustom->OnClick(TRUE);
  EXPECT_TRUE(f.frame.m_log.empty());
  f.slider.ShowWindow(SW_HIDE);
  f.pCustom->OnClick(TRUE);
  ASSERT_FALSE(f.frame.m_log.empty());
  EXPECT_EQ(f.frame.m_log.front(), "10338 id 700 code 100");
}

TEST(CustomControl, AVerticalBarHidesItKeepsItOrDrawsAButton)
{
  struct Case {
    int option;
    BOOL controlVisible;
    BOOL windowVisible;
  };
  const Case cases[] = {{0, FALSE, TRUE}, {1, TRUE, TRUE}, {2, TRUE, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    HostedFixture f;
    f.pCustom->SetVerticalPositionOption(c.option);
    f.pBar->OnRecalcLayout();
    f.pCustom->OnCalcDynamicSize(LM_VERTDOCK);
    EXPECT_EQ(f.pCustom->IsVisible(), c.controlVisible);
    EXPECT_EQ(f.slider.IsWindowVisible(), c.controlVisible && c.windowVisible);
    CClientDC dc(f.pBar);
    if (c.option == 2) {
      EXPECT_NE(f.pCustom->GetSize(&dc), CSize(104, 22));
    }
    // Back on a horizontal bar everything shows again.
    f.pCustom->OnCalcDynamicSize(LM_HORZDOCK);
    EXPECT_TRUE(f.pCustom->IsVisible());
    EXPECT_TRUE(f.slider.IsWindowVisible());
  }
}

TEST(CustomControl, AStoredChildIdFindsTheSitesOrAToolbarsChildOrNothing)
{
  HostedFixture f;
  CWnd onSite;
  onSite.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 5, 5), &f.frame, 4711);
  CWnd onBar;
  onBar.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 5, 5), f.pBar, 4712);
  CTKCommandBars* pCommandBars = f.frame.GetCommandBars();
  EXPECT_EQ(CTKControlCustom::FindControlWindow(pCommandBars, 4711), onSite.GetSafeHwnd());
  EXPECT_EQ(CTKControlCustom::FindControlWindow(pCommandBars, 4712), onBar.GetSafeHwnd());

  // Clones share the window; an id nobody has leaves the control drawn as a button.
  CTKControl* pClone = f.pCustom->Clone();
  EXPECT_EQ(static_cast<CTKControlCustom*>(pClone)->GetControl(), f.slider.GetSafeHwnd());
  pClone->InternalRelease();
  f.pCustom->SetControlID(4999);
  f.pCustom->AttachByControlID(pCommandBars);
  EXPECT_EQ(f.pCustom->GetControl(), nullptr);
  CClientDC dc(f.pBar);
  EXPECT_NE(f.pCustom->GetSize(&dc), CSize(104, 22));
}

}  // namespace
