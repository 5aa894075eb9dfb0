// The main frame's bars as the program has them, in its theme: the menu bar and four toolbars (one with the
// calculation-mode combo) in the top dock row and the status bar with its message pane and "NUM", wide and at 600
// pixels where the toolbars are shortened behind their expand buttons and one wraps.
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/commandbars/dock_frame.h"

#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/commandbars/statusbar.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using cbtest::CDockFrame;
using tktest::Canvas;

constexpr int kLegendHeight = 26;
constexpr UINT kPrintClientAndChildren = 0x14;
constexpr UINT kStatusBarStyle = 0x50008200;
constexpr UINT kStatusBarId = 59393;
constexpr UINT kIndicatorNum = 59138;

void Label(CDC& dc, const CString& text, CRect rc, COLORREF clr = RGB(0, 0, 0))
{
  CFont font;
  font.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CFont* pOld = dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(clr);
  dc.DrawText(text, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  dc.SelectObject(pOld);
}

bool HasHiddenControls(CTKToolBar* pBar)
{
  auto* pExpand = dynamic_cast<CTKToolBar::CTKControlExpandButton*>(
      pBar->GetControls()->FindControl(TK_ID_TOOLBAR_EXPAND));
  return pExpand && pExpand->HasHiddenControls();
}

class MainFrameLookAlike : public ::testing::TestWithParam<int> {};

TEST_P(MainFrameLookAlike, MenuBarAndFourToolBarsInTheProgramsTheme)
{
  const int width = GetParam();
  const int height = width >= 1280 ? 800 : 400;
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(width, height));
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  ASSERT_NE(frame.AddMenuBar(), nullptr);
  // One row of four as the program's bars stand: the last one may not be shortened.
  std::vector<CTKToolBar*> bars = {frame.AddToolBar("Стандартная", 132), frame.AddToolBar("Правка", 130),
                                   frame.AddToolBar("Вид", 131), frame.AddToolBar("Расчёт", 132)};
  bars[3]->SetFlags(TK_DOCK_ANY);
  CTKStatusBar status;
  ASSERT_TRUE(status.Create(&frame, kStatusBarStyle, kStatusBarId));
  const UINT indicators[] = {0, kIndicatorNum};
  ASSERT_TRUE(status.SetIndicators(indicators, 2));
  status.SetPaneText(0, "Готово");
  frame.RecalcLayout();
  for (size_t i = 1; i < bars.size(); ++i) {
    CRect rcPrevious = CDockFrame::BarRect(bars[i - 1]);
    CRect rcDrop(CPoint(rcPrevious.right, rcPrevious.top), CDockFrame::BarRect(bars[i]).Size());
    frame.Dock(tkBarTop)->ClientToScreen(&rcDrop);
    frame.GetCommandBars()->DockCommandBar(bars[i], rcDrop, frame.Dock(tkBarTop));
    frame.RecalcLayout();
  }
  auto* pCombo = dynamic_cast<CTKControlComboBox*>(bars[3]->GetControls()->Add(tkControlComboBox, 32996));
  ASSERT_NE(pCombo, nullptr);
  pCombo->SetComboStyle(1);
  pCombo->SetCaption("Режим расчета ");
  pCombo->SetWidth(150);
  for (const char* item : {"Освещенность", "Яркость", "Полуцилиндрическая"})
    pCombo->GetListBar()->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  pCombo->SetCurSel(0);
  frame.RecalcLayout();
  ASSERT_EQ(frame.Rows(tkBarTop), "|Menu|Расчёт Вид Правка Стандартная|");
  CRect rcMenu = CDockFrame::BarRect(frame.GetCommandBars()->GetMenuBar());
  CRect rcFirst = CDockFrame::BarRect(bars[0]);
  CRect rcLast = CDockFrame::BarRect(bars[3]);
  if (width >= 1280) {
    // Wide enough for every button and the combo: nothing is shortened, the rows end the dock row.
    int nBottom = rcMenu.bottom;
    for (CTKToolBar* pBar : bars) {
      EXPECT_GE(CDockFrame::BarRect(pBar).top, rcMenu.bottom);
      EXPECT_FALSE(HasHiddenControls(pBar));
      nBottom = std::max(nBottom, static_cast<int>(CDockFrame::BarRect(pBar).bottom));
    }
    EXPECT_EQ(frame.Thickness(tkBarTop), nBottom);
  } else {
    // The bar that may not be shortened goes to a second line; the others share the first, shortened.
    EXPECT_EQ(rcLast.top, rcFirst.bottom);
    EXPECT_TRUE(HasHiddenControls(bars[0]) || HasHiddenControls(bars[1]) || HasHiddenControls(bars[2]));
    EXPECT_LE(CDockFrame::BarRect(bars[2]).right, width);
    EXPECT_EQ(frame.Thickness(tkBarTop), rcLast.bottom);
  }
  CRect rcStatus = CDockFrame::BarRect(&status);
  EXPECT_EQ(rcStatus.bottom, height);
  EXPECT_EQ(rcStatus.Width(), width);
  EXPECT_EQ(frame.ViewRect(), CRect(0, frame.Thickness(tkBarTop), width, rcStatus.top));

  Canvas canvas(width, height + kLegendHeight, RGB(255, 255, 255));
  CDC& dc = canvas.m_dc;
  dc.FillSolidRect(CRect(0, 0, width, kLegendHeight), RGB(236, 236, 236));
  Label(dc,
        width >= 1280 ? "Theme 4 (Whidbey), 1280 x 800: menu bar, four toolbars (a combo on the last one), status bar with NUM"
                      : "Theme 4, 600 wide: toolbars shortened behind expand buttons, the last wrapped",
        CRect(8, 0, width, kLegendHeight));
  CRect rcView = frame.ViewRect();
  rcView.OffsetRect(0, kLegendHeight);
  dc.FillSolidRect(rcView, RGB(250, 250, 246));
  Label(dc, "клиентская область (вид)", CRect(rcView.CenterPoint().x - 80, rcView.CenterPoint().y - 12,
                                                  rcView.right, rcView.CenterPoint().y + 12),
        RGB(150, 150, 150));
  for (int nPosition = tkBarTop; nPosition <= tkBarRight; ++nPosition) {
    CRect rcDock = CDockFrame::BarRect(frame.Dock(nPosition));
    CPoint ptOld = dc.SetViewportOrg(rcDock.left, rcDock.top + kLegendHeight);
    frame.Dock(nPosition)->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), kPrintClientAndChildren);
    dc.SetViewportOrg(ptOld);
  }
  {
    CPoint ptOld = dc.SetViewportOrg(rcStatus.left, rcStatus.top + kLegendHeight);
    status.DoPaint(&dc);
    dc.SetViewportOrg(ptOld);
  }
  EXPECT_TRUE(canvas.Save("toolkit_commandbars_mainframe_" + std::to_string(width) + ".png"));

  // The dock row's Whidbey gradient shows beside the last bar of the first line; the toolbar's own face on it.
  CTKPaintManager* pm = CTKPaintManager::GetCurrent();
  int y = rcFirst.CenterPoint().y + kLegendHeight;
  EXPECT_NE(dc.GetPixel(width - 2, y), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(rcFirst.left + 5, rcFirst.top + 5 + kLegendHeight), pm->GetColor(38));
  CTKPaintManager::SetTheme(tkThemeDefault);
}

INSTANTIATE_TEST_SUITE_P(Widths, MainFrameLookAlike, ::testing::Values(1280, 600),
                         [](const ::testing::TestParamInfo<int>& info) { return "W" + std::to_string(info.param); });

}  // namespace
