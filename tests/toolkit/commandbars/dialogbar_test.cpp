// The dialog bar: its size around the hosted window and caption, edges that resize it down to its minimum, the
// caption's title and hide button, and the hosted window placed inside the borders.
#include "tests/toolkit/commandbars/dock_frame.h"

#include "tests/toolkit/canvas.h"
#include "toolkit/commandbars/dialogbar.h"
#include "toolkit/paint/paint_manager.h"

#include "platform/user/input.h"
#include "platform/user/uxtheme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using cbtest::CDockFrame;

struct DialogBarFixture {
  CDockFrame frame;
  CTKDialogBar* pBar = nullptr;
  int nCaption = 0;

  explicit DialogBarFixture(int nPosition = tkBarTop)
  {
    frame.MakeDocked(600, 400);
    pBar = static_cast<CTKDialogBar*>(frame.GetCommandBars()->Add("Свойства", nPosition, RUNTIME_CLASS(CTKDialogBar)));
    nCaption = pBar ? pBar->GetCaptionHeight() : 0;
  }
};

TEST(DialogBar, ItsSizeIsTheHostedSizeWithBordersAndCaption)
{
  DialogBarFixture f;
  ASSERT_NE(f.pBar, nullptr);
  EXPECT_GE(f.nCaption, 22);
  EXPECT_EQ(f.pBar->CalcSize(32000, LM_HORZ, CSize(200, 200)), CSize(206, 206 + f.nCaption));
  EXPECT_EQ(f.pBar->GetCaptionBottom(), 3 + f.nCaption);
  EXPECT_EQ(f.pBar->GetBorders(), CRect(3, 3 + f.nCaption, 3, 3));
  // Stretched along a horizontal row it takes the length; a horizontal layout is cut to it.
  EXPECT_EQ(f.pBar->CalcSize(300, LM_STRETCH | LM_HORZ, CSize(200, 200)).cx, 300);
  EXPECT_EQ(f.pBar->CalcSize(100, LM_HORZ, CSize(200, 200)).cx, 100);
  f.pBar->ShowCaption(FALSE);
  EXPECT_EQ(f.pBar->CalcSize(32000, LM_HORZ, CSize(200, 200)), CSize(206, 206));
}

TEST(DialogBar, ResizingStopsAtTheMinimumSize)
{
  DialogBarFixture f;
  ASSERT_TRUE(f.frame.GetCommandBars()->FloatCommandBar(f.pBar));
  struct Case {
    CSize outer;
    bool taken;
  };
  const Case cases[] = {{CSize(49, 120), false}, {CSize(120, 49), false}, {CSize(50, 50), true}, {CSize(160, 90), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outer.cx * 1000 + c.outer.cy);
    CSize before = f.pBar->GetFloatingClientSize();
    f.pBar->Resize(CRect(CPoint(100, 100), c.outer), HTBOTTOMRIGHT);
    CSize expected = c.taken ? CSize(c.outer.cx - 6, c.outer.cy - 6 - f.nCaption) : before;
    EXPECT_EQ(f.pBar->GetFloatingClientSize(), expected);
  }
  CRect rc;
  f.pBar->GetWindowRect(&rc);
  EXPECT_EQ(rc.Size(), CSize(160, 90));

  // Docked, the left and right edges set the width, the others the height.
  DialogBarFixture docked;
  docked.pBar->Resize(CRect(0, 0, 300, 60), HTRIGHT);
  EXPECT_EQ(docked.pBar->GetDockingClientSize(), CSize(294, 200));
  docked.pBar->Resize(CRect(0, 0, 300, 140), HTBOTTOM);
  EXPECT_EQ(docked.pBar->GetDockingClientSize(), CSize(294, 134 - docked.nCaption));
}

TEST(DialogBar, EdgesThatResizeDependOnWhereTheBarStands)
{
  struct Case {
    const char* what;
    int position;
    CPoint offset;  // from the window's top-left (negative: from its bottom-right)
    LRESULT hit;
  };
  const Case cases[] = {
      {"top row: bottom edge", tkBarTop, CPoint(20, -1), HTBOTTOM},
      {"top row: right edge", tkBarTop, CPoint(-1, 20), HTRIGHT},
      {"bottom row: top edge", tkBarBottom, CPoint(20, 0), HTTOP},
      {"bottom row: not its bottom", tkBarBottom, CPoint(20, -1), HTCLIENT},
      {"right row: left edge", tkBarRight, CPoint(0, 40), HTLEFT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DialogBarFixture f(c.position);
    f.frame.RecalcLayout();
    CRect rc;
    f.pBar->GetWindowRect(&rc);
    CPoint pt(c.offset.x >= 0 ? rc.left + c.offset.x : rc.right + c.offset.x,
              c.offset.y >= 0 ? rc.top + c.offset.y : rc.bottom + c.offset.y);
    LRESULT hit = f.pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    if (c.hit == HTCLIENT)
      EXPECT_TRUE(hit != HTBOTTOM && hit != HTTOP && hit != HTLEFT && hit != HTRIGHT) << hit;
    else
      EXPECT_EQ(hit, c.hit);
  }
}

// Presses at the start, moves to the end and releases, as the user drags.
void Drag(CPoint ptStart, CPoint ptEnd)
{
  user::InjectMouseMove(ptStart);
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(CPoint((ptStart.x + ptEnd.x) / 2, (ptStart.y + ptEnd.y) / 2));
  user::InjectMouseMove(ptEnd);
  user::InjectMouseButton(VK_LBUTTON, false);
  cbtest::Pump();
}

TEST(DialogBar, DraggingAnEdgeResizesTheBarFreely)
{
  struct Case {
    const char* what;
    int position;   // tkBarFloating: floated at (200, 150)
    CPoint offset;  // the press, from the window's top-left (negative: from its bottom-right)
    CPoint move;
    LRESULT hit;
    CRect change;   // of the window rectangle, edge by edge
  };
  const Case cases[] = {
      // The edges go where the pointer goes: pressed one pixel inside, they end one pixel short of the move.
      {"floating, bottom-right corner", tkBarFloating, CPoint(-1, -1), CPoint(40, 30), HTBOTTOMRIGHT,
       CRect(0, 0, 39, 29)},
      {"floating, left edge", tkBarFloating, CPoint(0, 60), CPoint(-30, 0), HTLEFT, CRect(-30, 0, 0, 0)},
      {"floating, top edge below the minimum", tkBarFloating, CPoint(60, 0), CPoint(0, 400), HTTOP,
       CRect(0, 0, 0, 0)},
      {"docked at the bottom, top edge", tkBarBottom, CPoint(20, 0), CPoint(0, -25), HTTOP, CRect(0, -25, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DialogBarFixture f(c.position == tkBarFloating ? tkBarTop : c.position);
    if (c.position == tkBarFloating) {
      ASSERT_TRUE(f.frame.GetCommandBars()->FloatCommandBar(f.pBar));
      f.pBar->SetWindowPos(nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      f.pBar->OnRecalcLayout();
    }
    f.frame.RecalcLayout();
    cbtest::Pump();
    CRect rcBefore;
    f.pBar->GetWindowRect(&rcBefore);
    CPoint pt(c.offset.x >= 0 ? rcBefore.left + c.offset.x : rcBefore.right + c.offset.x,
              c.offset.y >= 0 ? rcBefore.top + c.offset.y : rcBefore.bottom + c.offset.y);
    ASSERT_EQ(f.pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), c.hit);
    Drag(pt, pt + c.move);
    CRect rcAfter;
    f.pBar->GetWindowRect(&rcAfter);
    auto text = [](const CRect& rc) {
      return std::to_string(rc.left) + " " + std::to_string(rc.top) + " " + std::to_string(rc.right) + " " +
             std::to_string(rc.bottom);
    };
    EXPECT_EQ(text(CRect(rcAfter.left - rcBefore.left, rcAfter.top - rcBefore.top, rcAfter.right - rcBefore.right,
                         rcAfter.bottom - rcBefore.bottom)),
              text(c.change));
  }
}

TEST(DialogBar, TheCaptionHoldsTheTitleAndTheHideButtonAndTheChildSitsBelow)
{
  DialogBarFixture f;
  CWnd child;
  child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), f.pBar, 100);
  f.pBar->SetChild(&child);
  f.pBar->SetCaption("Опоры");
  CSize size = f.pBar->CalcLayout(32000, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
  ASSERT_NE(f.pBar->GetTitleControl(), nullptr);
  ASSERT_NE(f.pBar->GetHideButton(), nullptr);
  EXPECT_STREQ(f.pBar->GetTitleControl()->GetCaption(), "Опоры");
  CRect rcHide = f.pBar->GetHideButton()->GetRect();
  EXPECT_EQ(rcHide.Size(), CSize(16, 16));
  EXPECT_EQ(rcHide.right, size.cx - 3);
  EXPECT_EQ(f.pBar->GetTitleControl()->GetRect().right, rcHide.left);
  // An empty caption popup opens nothing.
  EXPECT_FALSE(f.pBar->GetTitleControl()->SetPopuped(TRUE));

  f.pBar->SetCloseable(FALSE);
  f.pBar->CalcLayout(32000, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
  EXPECT_FALSE(f.pBar->GetHideButton()->IsVisible());
  EXPECT_EQ(f.pBar->GetTitleControl()->GetRect().right, size.cx - 3);

  f.pBar->SetWindowPos(nullptr, 0, 0, 220, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CRect rcChild;
  child.GetWindowRect(&rcChild);
  f.pBar->ScreenToClient(&rcChild);
  CRect rcClient;
  f.pBar->GetClientRect(&rcClient);
  EXPECT_EQ(rcChild, CRect(3, 3 + f.nCaption, rcClient.right - 3, rcClient.bottom - 3));
  // Only the caption strip counts for the mouse manager.
  CRect rcWindow;
  f.pBar->GetWindowRect(&rcWindow);
  EXPECT_EQ(f.pBar->PointInBar(CPoint(rcWindow.left + 10, rcWindow.top + 5)), 1);
  EXPECT_EQ(f.pBar->PointInBar(CPoint(rcWindow.left + 10, rcWindow.top + f.nCaption + 20)), -2);
}

// Every theme draws the dialog bar's gripper beside its title, as high as the caption strip the bar measures
// with it; the title starts right of it. Native XP without a visual style draws the Default theme's. <artifacts>/toolkit_dialogbar_themes.png shows the five themes' bars.
TEST(DialogBar, EveryThemeDrawsTheGripperItsCaptionIsMeasuredWith)
{
  struct Case {
    int theme;
    const char* name;
    int least;  // the caption's least height
    int width;  // the gripper's width
  };
  const Case cases[] = {{tkThemeDefault, "Default", 22, 6},   {tkThemeOffice, "Office", 22, 6},
                        {tkThemeOffice2003, "Office 2003", 25, 8}, {tkThemeNativeXP, "Native XP", 22, ::IsAppThemed() ? 8 : 6},
                        {tkThemeWhidbey, "Whidbey", 25, 8}};
  constexpr int kBarWidth = 260;
  constexpr int kRow = 70;
  tktest::Canvas gallery(kBarWidth + 110, kRow * 5, RGB(255, 255, 255));
  int nRow = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DialogBarFixture f;  // its frame starts in the Default theme
    ASSERT_NE(f.pBar, nullptr);
    CTKPaintManager::SetTheme(c.theme);
    f.nCaption = f.pBar->GetCaptionHeight();
    CTKPaintManager* pm = TKPaintManager();
    f.pBar->SetCaption("Опоры");
    f.pBar->SetSize(CSize(kBarWidth - 6, 30));
    const CSize size = f.pBar->CalcLayout(32000, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    f.pBar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(f.nCaption, std::max(pm->m_nTextHeight + (c.least == 25 ? 6 : 4), c.least));
    tktest::Canvas canvas(size.cx, size.cy, RGB(255, 0, 255));
    const CSize gripper = pm->DrawCommandBarGripper(&canvas.m_dc, f.pBar, FALSE);
    EXPECT_EQ(gripper, CSize(c.width, f.nCaption));
    EXPECT_EQ(f.pBar->GetTitleControl()->GetRect().left, 3 + c.width);
    f.pBar->DrawCommandBar(&canvas.m_dc, CRect(0, 0, size.cx, size.cy));
    // Something of the gripper's own colour stands in its strip, left of the title.
    bool bDrawn = false;
    const COLORREF clrFill = canvas.m_dc.GetPixel(size.cx / 2, size.cy - 2);
    for (int y = 3; y < f.nCaption && !bDrawn; ++y)
      for (int x = 2; x < 3 + c.width && !bDrawn; ++x)
        bDrawn = canvas.m_dc.GetPixel(x, y) != clrFill;
    EXPECT_TRUE(bDrawn);
    gallery.m_dc.BitBlt(100, nRow * kRow + 5, size.cx, size.cy, &canvas.m_dc, 0, 0, SRCCOPY);
    gallery.m_dc.TextOut(5, nRow * kRow + 8, c.name, static_cast<int>(std::strlen(c.name)));
    ++nRow;
  }
  CTKPaintManager::SetTheme(tkThemeDefault);
  EXPECT_TRUE(gallery.Save("toolkit_dialogbar_themes.png"));
}

}  // namespace
