// What a bar answers the tooltip context: a control's tip, its shortcut appended when asked, and no tip in menu
// mode, with tips switched off, over a control without command or in a popup bar.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "toolkit/paint/tooltip_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Tip {
  INT_PTR hit = -1;
  std::string text;
  std::string title;
};

Tip HitTest(CTKCommandBar* pBar, CPoint point)
{
  TK_TOOLINFO_EXTENSION extension{};
  TOOLINFO info{};
  info.cbSize = TK_TOOLINFO_SIZE;
  info.lpReserved = &extension;
  Tip tip;
  tip.hit = pBar->OnToolHitTest(point, &info);
  if (info.lpszText)
    tip.text = info.lpszText;
  if (extension.lpszTitle)
    tip.title = extension.lpszTitle;
  std::free(info.lpszText);
  std::free(extension.lpszText);
  std::free(extension.lpszTitle);
  return tip;
}

TEST(BarTooltips, AControlsTipWithItsShortcutWhenAsked)
{
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 200));
  CTKCommandBars* pBars = frame.GetCommandBars();
  ASSERT_NE(pBars->GetShortcutManager()->SetAccelerators(128), nullptr);
  cbtest::CTestBar* pBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 400, 28));
  CTKControl* pOpen = pBar->GetControls()->Add(tkControlButton, 57601);  // "Open a project"; F5 and Ctrl+O
  pOpen->SetStyle(1);
  CTKControl* pNone = pBar->GetControls()->Add(tkControlButton, 0);
  pNone->SetCaption("Plain");
  pNone->SetTooltip("No command");
  pBar->OnRecalcLayout();
  const CPoint overOpen = pOpen->GetRect().CenterPoint();

  Tip tip = HitTest(pBar, overOpen);
  EXPECT_EQ(tip.hit, 57601);
  EXPECT_EQ(tip.text, "Open a project");
  EXPECT_EQ(tip.title, "Open a project");

  pBars->GetCommandBarsOptions()->bToolBarAccelTips = TRUE;
  tip = HitTest(pBar, overOpen);
  EXPECT_EQ(tip.text, "Open a project (F5)");
  EXPECT_EQ(tip.title, "Open a project (F5)");
  pOpen->SetShortcutText("Ctrl+O");  // an explicit shortcut text wins
  EXPECT_EQ(HitTest(pBar, overOpen).text, "Open a project (Ctrl+O)");

  EXPECT_EQ(HitTest(pBar, pNone->GetRect().CenterPoint()).hit, -1);
  EXPECT_EQ(HitTest(pBar, CPoint(390, 10)).hit, -1);  // no control there

  pBar->SetTrackingMode(2, FALSE, FALSE);
  EXPECT_EQ(HitTest(pBar, overOpen).hit, -1);  // menu mode
  pBar->SetTrackingMode(0, TRUE, FALSE);
  pBars->GetCommandBarsOptions()->bToolBarScreenTips = FALSE;
  EXPECT_EQ(HitTest(pBar, overOpen).hit, -1);
}

TEST(BarTooltips, PopupBarsShowTipsOnlyWhenTheOptionsAllow)
{
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 200));
  frame.ShowWindow(SW_SHOW);
  cbtest::CTestBar* pMenu = frame.AddBar(tkBarTypeMenuBar, CRect(0, 0, 400, 24), 128);
  pMenu->SetPopuped(0, TRUE);
  CTKCommandBar* pFile = pMenu->GetControl(0)->GetCommandBar();
  ASSERT_TRUE(pFile->IsVisible());
  const CPoint overNew = pFile->GetControl(0)->GetRect().CenterPoint();
  EXPECT_EQ(HitTest(pFile, overNew).hit, -1);
  frame.GetCommandBars()->GetCommandBarsOptions()->bShowPopupBarToolTips = TRUE;
  Tip tip = HitTest(pFile, overNew);
  EXPECT_EQ(tip.hit, 57600);
  EXPECT_EQ(tip.text, "New project");
  frame.GetCommandBars()->ClosePopups();
}

}  // namespace
