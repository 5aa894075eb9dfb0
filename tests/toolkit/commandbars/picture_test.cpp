// Pictures of a frame with a menu bar and a toolbar in themes 0 and 4, with the File menu open, drawn by the bars
// themselves; named pixels from the themes' bar fills, grippers and popups; and every control kind measured as
// large as it draws.
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/commandbars/bar_frame.h"

#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/theme_office2003.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cbtest::CTestBar;
using cbtest::CTestFrame;
using tktest::Canvas;

constexpr int kLegendHeight = 26;
constexpr int kWidth = 560;
constexpr int kHeight = 260;
constexpr UINT kIconIds[] = {57600, 57601, 57603, 57607, 32800};
constexpr COLORREF kIconColors[] = {RGB(40, 120, 200), RGB(220, 160, 30), RGB(40, 160, 70), RGB(150, 60, 160),
                                    RGB(200, 60, 50)};

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

// A 16 x 16 square of a colour with a white middle.
void MakeIcon(UINT nId, COLORREF clr)
{
  HDC screen = ::GetDC(nullptr);
  HBITMAP color = ::CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, color);
  CDC* pDC = CDC::FromHandle(dc);
  pDC->FillSolidRect(CRect(1, 1, 15, 15), clr);
  pDC->FillSolidRect(CRect(0, 0, 16, 1), RGB(0, 0, 0));
  pDC->FillSolidRect(CRect(5, 5, 11, 11), RGB(255, 255, 255));
  ::SelectObject(dc, mask);
  pDC->FillSolidRect(CRect(0, 0, 16, 16), RGB(0, 0, 0));
  pDC->FillSolidRect(CRect(0, 0, 16, 1), RGB(255, 255, 255));  // the top row is transparent
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = ::CreateIconIndirect(&info);
  TKImageManager().SetIcon(CTKImageManagerIconHandle(icon), nId);
  ::DestroyIcon(icon);
  ::DeleteObject(color);
  ::DeleteObject(mask);
}

// Paints a bar window where it stands on the screen, the frame's client corner at (0, top).
void PaintBar(CDC& dc, CWnd& frame, CTKCommandBar* pBar, int top)
{
  CRect rc;
  pBar->GetWindowRect(&rc);
  frame.ScreenToClient(&rc);
  CPoint old = dc.SetViewportOrg(rc.left, rc.top + top);
  CRgn clip;
  clip.CreateRectRgn(rc.left, rc.top + top, rc.right, rc.bottom + top);
  dc.SelectClipRgn(&clip);
  pBar->DrawCommandBar(&dc, CRect(0, 0, rc.Width(), rc.Height()));
  dc.SelectClipRgn(nullptr);
  dc.SetViewportOrg(old);
}

class BarPictures : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override
  {
    CTKPaintManager::SetTheme(GetParam());
    for (size_t i = 0; i < std::size(kIconIds); ++i)
      MakeIcon(kIconIds[i], kIconColors[i]);
    ASSERT_TRUE(frame_.Make(kWidth, kHeight));
    frame_.ShowWindow(SW_SHOW);
    menu_ = frame_.AddBar(tkBarTypeMenuBar, CRect(0, 0, kWidth, 24), 128);
    toolbar_ = new CTestBar;
    toolbar_->SetCommandBars(frame_.GetCommandBars());
    toolbar_->SetBarStyle(CBRS_GRIPPER);
    ASSERT_TRUE(toolbar_->Make(&frame_, tkBarTypeNormal, tkBarTop, CRect(150, 24, 480, 52)));
    frame_.GetCommandBars()->AddBar(toolbar_);
    CTKControls* pControls = toolbar_->GetControls();
    pControls->Add(tkControlButton, 57600);
    pControls->Add(tkControlButton, 57601);
    CTKControl* pChecked = pControls->Add(tkControlButton, 57603);
    pChecked->SetChecked(TRUE);
    pChecked->SetBeginGroup(TRUE);
    pControls->Add(tkControlButton, 57607)->SetEnabled(FALSE);
    CTKControl* pExport = pControls->Add(tkControlSplitButtonPopup, 0);
    pExport->SetIconId(32800);
    pExport->SetBeginGroup(TRUE);
    CTKControl* pCaption = pControls->Add(tkControlButton, 32772);
    pCaption->SetCaption("Расчёт");
    pCaption->SetStyle(3);
    pCaption->SetIconId(57601);
    pControls->Add(tkControlButtonPopup, 0)->SetCaption("Вид");
    toolbar_->OnRecalcLayout();
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->ClosePopups();
    cbtest::Pump();
  }

  CTestFrame frame_;
  CTestBar* menu_ = nullptr;
  CTestBar* toolbar_ = nullptr;
};

TEST_P(BarPictures, AFrameWithItsBarsAndTheFileMenuOpen)
{
  const int theme = GetParam();
  CTKPaintManager* pm = CTKPaintManager::GetCurrent();
  ASSERT_EQ(pm->BaseTheme(), theme);
  // Alt, then Down twice: the File menu open with "Open..." selected.
  frame_.GetCommandBars()->ActivateBar(menu_, 0);
  TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_DOWN, 0);
  TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_DOWN, 0);
  CTKCommandBar* pPopup = menu_->GetControl(0)->GetCommandBar();
  ASSERT_TRUE(pPopup && pPopup->IsVisible());
  toolbar_->GetControl(1)->OnSetSelected(1);  // the mouse over "Open"

  Canvas canvas(kWidth, kHeight + kLegendHeight, RGB(255, 255, 255));
  CDC& dc = canvas.m_dc;
  dc.FillSolidRect(CRect(0, 0, kWidth, kLegendHeight), RGB(236, 236, 236));
  Label(dc, theme == 0 ? "Theme 0 (Default): menu bar, toolbar with gripper, File menu open"
                       : "Theme 4 (Whidbey): menu bar, toolbar with gripper, File menu open",
        CRect(8, 0, kWidth, kLegendHeight));
  CRect rcView(0, kLegendHeight + 52, kWidth, kHeight + kLegendHeight);
  dc.FillSolidRect(rcView, RGB(250, 250, 246));
  Label(dc, "клиентская область (вид)", CRect(360, rcView.top + 120, kWidth, rcView.top + 150), RGB(150, 150, 150));
  // The top dock row behind the toolbar.
  const CRect rcDock(0, kLegendHeight, kWidth, kLegendHeight + 52);
  if (auto* p2003 = dynamic_cast<TKPaintThemes::CTKOffice2003Theme*>(pm))
    pm->GradientFill(&dc, rcDock, p2003->m_grcDockBar.clrLight, p2003->m_grcDockBar.clrDark, TRUE);
  else
    dc.FillSolidRect(rcDock, pm->GetColor(15));
  PaintBar(dc, frame_, menu_, kLegendHeight);
  PaintBar(dc, frame_, toolbar_, kLegendHeight);
  PaintBar(dc, frame_, pPopup, kLegendHeight);
  EXPECT_TRUE(canvas.Save("toolkit_commandbars_theme" + std::to_string(theme) + ".png"));

  CRect rcPopup;
  pPopup->GetWindowRect(&rcPopup);
  frame_.ScreenToClient(&rcPopup);
  rcPopup.OffsetRect(0, kLegendHeight);
  const CRect rcToolbar(150, 24 + kLegendHeight, 480, 52 + kLegendHeight);
  CRect rcFile = menu_->GetControl(0)->GetRect();
  rcFile.OffsetRect(0, kLegendHeight);
  if (theme == 0) {
    // The toolbar is framed raised, (20, 16); the popup in (15, 21) outside it; the open title sunken.
    EXPECT_EQ(dc.GetPixel(rcToolbar.left, rcToolbar.top), pm->GetColor(20));
    EXPECT_EQ(dc.GetPixel(rcToolbar.right - 1, rcToolbar.bottom - 1), pm->GetColor(16));
    EXPECT_EQ(dc.GetPixel(rcPopup.left, rcPopup.top), pm->GetColor(15));
    EXPECT_EQ(dc.GetPixel(rcPopup.right - 1, rcPopup.bottom - 1), pm->GetColor(21));
    EXPECT_EQ(dc.GetPixel(rcPopup.left + 1, rcPopup.top + 1), pm->GetColor(20));
    EXPECT_EQ(dc.GetPixel(rcFile.left, rcFile.top), pm->GetColor(16));
    // The gripper: a raised strip from (3, 3) to (6, height - 3).
    EXPECT_EQ(dc.GetPixel(rcToolbar.left + 3, rcToolbar.top + 3), pm->GetColor(20));
    EXPECT_EQ(dc.GetPixel(rcToolbar.left + 5, rcToolbar.top + 10), pm->GetColor(16));
  } else {
    // Dots of index 38 over dots of index 20, every 4 pixels from y = 5.
    EXPECT_EQ(dc.GetPixel(rcToolbar.left + 5, rcToolbar.top + 5), pm->GetColor(38));
    EXPECT_EQ(dc.GetPixel(rcToolbar.left + 7, rcToolbar.top + 7), pm->GetColor(20));
    EXPECT_EQ(dc.GetPixel(rcToolbar.left + 5, rcToolbar.top + 9), pm->GetColor(38));
    // The popup: a border of index 43 around a face of index 41.
    EXPECT_EQ(dc.GetPixel(rcPopup.left, rcPopup.top), pm->GetColor(43));
    EXPECT_EQ(dc.GetPixel(rcPopup.right - 2, rcPopup.bottom - 2), pm->GetColor(41));
  }
}

INSTANTIATE_TEST_SUITE_P(Themes, BarPictures, ::testing::Values(0, 4),
                         [](const ::testing::TestParamInfo<int>& info) { return "Theme" + std::to_string(info.param); });

// Every control kind on a toolbar and in a popup measures the box its hot drawing fills.
class MeasureAndDraw : public ::testing::TestWithParam<int> {};

TEST_P(MeasureAndDraw, TheMeasuredSizeIsTheBoxTheHotDrawingChanges)
{
  CTKPaintManager::SetTheme(GetParam());
  for (size_t i = 0; i < std::size(kIconIds); ++i)
    MakeIcon(kIconIds[i], kIconColors[i]);
  CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 200));
  CTestBar* pBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 400, 30));
  CTestBar* pMenu = frame.AddBar(tkBarTypeMenuBar, CRect(0, 30, 400, 54));
  struct Kind {
    const char* what;
    CTestBar* bar;
    int type;
    int id;
    const char* caption;
    int style;
  };
  const Kind kinds[] = {
      {"icon button", pBar, tkControlButton, 57600, "", 0},
      {"caption button", pBar, tkControlButton, 32772, "Расчёт", 1},
      {"icon and caption", pBar, tkControlButton, 57601, "Открыть", 3},
      {"button popup", pBar, tkControlButtonPopup, 0, "Вид", 0},
      {"split button", pBar, tkControlSplitButtonPopup, 32800, "", 0},
      {"menu title", pMenu, tkControlPopup, 0, "&Файл", 0},
  };
  const COLORREF background = RGB(1, 2, 3);
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.what);
    kind.bar->GetControls()->RemoveAll();
    CTKControl* pControl = kind.bar->GetControls()->Add(kind.type, kind.type == tkControlSplitButtonPopup ? 0 : kind.id);
    if (kind.type == tkControlSplitButtonPopup)
      pControl->SetIconId(kind.id);
    pControl->SetCaption(kind.caption);
    pControl->SetStyle(kind.style);
    Canvas canvas(200, 60, background);
    CFont* pOld = canvas.m_dc.SelectObject(CTKPaintManager::GetCurrent()->GetCommandBarFont(tkBarTop, FALSE));
    CSize size = pControl->GetSize(&canvas.m_dc);
    ASSERT_GT(size.cx, 0);
    pControl->SetRect(CRect(CPoint(10, 10), size));
    pControl->OnSetSelected(1);
    pControl->Draw(&canvas.m_dc);
    canvas.m_dc.SelectObject(pOld);
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 200; ++x)
        if (canvas.m_dc.GetPixel(x, y) != background) {
          box.left = std::min(box.left, static_cast<LONG>(x));
          box.top = std::min(box.top, static_cast<LONG>(y));
          box.right = std::max(box.right, static_cast<LONG>(x + 1));
          box.bottom = std::max(box.bottom, static_cast<LONG>(y + 1));
        }
    EXPECT_EQ(box, CRect(CPoint(10, 10), size));
  }
}

INSTANTIATE_TEST_SUITE_P(Themes, MeasureAndDraw, ::testing::Values(0, 1, 2, 4),
                         [](const ::testing::TestParamInfo<int>& info) { return "Theme" + std::to_string(info.param); });

}  // namespace
