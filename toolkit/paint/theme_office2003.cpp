#include "toolkit/paint/theme_office2003.h"

#include "platform/mfc/winapp.h"
#include "toolkit/paint/draw_helpers.h"

#include <algorithm>

namespace TKPaintThemes {

namespace {

COLORREF Lc(const CTKPaintManager& pm, int a, int b, int weight)
{
  return CTKColorManager::LightColor(pm.GetColor(a), pm.GetColor(b), weight);
}

// The shade of each pixel of the expand button: 255 is transparent, 0 the dark end, 254 near the light end.
constexpr BYTE kExpandShades[16][16] = {
    {255, 255, 255, 255, 234, 234, 234, 198, 198, 198, 198, 252, 255, 255, 255, 255},
    {255, 255, 255, 234, 252, 252, 234, 234, 198, 180, 144, 144, 198, 255, 255, 255},
    {255, 255, 234, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 180, 255, 255},
    {255, 234, 252, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 108, 198, 255},
    {252, 234, 252, 252, 252, 252, 234, 198, 198, 180, 144, 126, 108, 90, 90, 252},
    {234, 234, 234, 234, 234, 234, 234, 198, 180, 180, 144, 126, 108, 90, 72, 180},
    {198, 234, 234, 234, 234, 234, 198, 198, 180, 144, 126, 108, 90, 90, 72, 108},
    {180, 198, 198, 198, 198, 198, 180, 180, 144, 126, 126, 108, 90, 72, 72, 72},
    {180, 180, 180, 180, 180, 180, 144, 144, 126, 126, 108, 90, 90, 72, 54, 54},
    {180, 144, 144, 144, 144, 144, 144, 126, 126, 108, 108, 90, 72, 54, 36, 90},
    {198, 126, 126, 126, 126, 126, 126, 126, 108, 90, 72, 54, 54, 36, 36, 126},
    {252, 126, 108, 108, 108, 108, 108, 72, 72, 54, 54, 36, 36, 18, 18, 234},
    {255, 198, 90, 90, 90, 72, 72, 54, 54, 36, 36, 18, 18, 0, 108, 255},
    {255, 255, 144, 54, 54, 54, 36, 36, 18, 18, 18, 0, 0, 54, 255, 255},
    {255, 255, 255, 126, 36, 36, 18, 18, 18, 0, 0, 0, 72, 255, 255, 255},
    {255, 255, 255, 255, 234, 90, 36, 18, 0, 0, 54, 180, 255, 255, 255, 255},
};

constexpr COLORREF kExpandMask = RGB(0, 255, 0);

struct GradientRow {
  COLORREF light;
  COLORREF dark;
  float factor;
};

// One desktop colour set of the Office 2003 theme.
struct Office2003Set {
  GradientRow dockBar, toolBar, popupedButton, expandButton, expandedColumn, popupExpand, face;
  COLORREF toolBarShadow, floatingCaption, paneBorder, tearOff, shadow;
  COLORREF c53, c51, c52, c12, c56, c38, c39, c40, c41, c43, c31, c32, c33, c36, c30, c47;
};

constexpr Office2003Set kOffice2003Sets[3] = {
    {{RGB(158, 190, 245), RGB(196, 218, 250), 0.5f}, {RGB(221, 236, 254), RGB(129, 169, 226), 0.75f},
     {RGB(227, 239, 255), RGB(147, 181, 231), 0.5f}, {RGB(117, 166, 241), RGB(0, 53, 145), 0.75f},
     {RGB(203, 221, 246), RGB(121, 161, 220), 0.5f}, {RGB(227, 239, 254), RGB(129, 169, 226), 0.5f},
     {RGB(233, 236, 242), RGB(97, 122, 172), 0.5f}, RGB(59, 97, 156), RGB(42, 102, 201), RGB(211, 211, 211),
     RGB(169, 199, 240), RGB(22, 30, 54), RGB(203, 225, 252), RGB(216, 231, 252), RGB(158, 190, 245),
     RGB(144, 153, 174), RGB(189, 211, 247), RGB(39, 65, 118), RGB(106, 140, 203), RGB(109, 150, 208),
     RGB(246, 246, 246), RGB(0, 45, 150), RGB(255, 238, 194), RGB(0, 0, 128), RGB(254, 128, 62),
     RGB(255, 192, 111), RGB(196, 219, 249), RGB(0, 0, 0)},
    {{RGB(217, 217, 167), RGB(242, 241, 228), 0.5f}, {RGB(244, 247, 222), RGB(183, 198, 145), 0.3f},
     {RGB(236, 240, 213), RGB(194, 206, 159), 0.5f}, {RGB(176, 194, 140), RGB(96, 119, 107), 0.3f},
     {RGB(230, 230, 209), RGB(164, 180, 120), 0.3f}, {RGB(236, 240, 213), RGB(184, 198, 147), 0.5f},
     {RGB(243, 244, 240), RGB(131, 144, 113), 0.5f}, RGB(96, 128, 88), RGB(116, 134, 94), RGB(211, 211, 211),
     RGB(197, 212, 159), RGB(31, 34, 25), RGB(216, 227, 182), RGB(226, 231, 191), RGB(171, 192, 138),
     RGB(151, 160, 123), RGB(222, 227, 189), RGB(81, 94, 51), RGB(96, 128, 88), RGB(159, 174, 122),
     RGB(244, 244, 238), RGB(117, 141, 94), RGB(255, 238, 194), RGB(63, 93, 56), RGB(254, 128, 62),
     RGB(255, 192, 111), RGB(209, 222, 173), RGB(0, 0, 0)},
    {{RGB(215, 215, 229), RGB(243, 243, 247), 0.5f}, {RGB(249, 249, 255), RGB(156, 155, 183), 0.75f},
     {RGB(233, 231, 241), RGB(186, 185, 205), 0.5f}, {RGB(179, 178, 200), RGB(118, 116, 146), 0.75f},
     {RGB(215, 215, 226), RGB(133, 131, 162), 0.5f}, {RGB(232, 232, 241), RGB(176, 174, 197), 0.5f},
     {RGB(247, 245, 249), RGB(122, 121, 153), 0.5f}, RGB(124, 124, 148), RGB(122, 121, 153), RGB(236, 234, 218),
     RGB(192, 192, 211), RGB(36, 32, 41), RGB(214, 211, 231), RGB(223, 223, 234), RGB(177, 176, 195),
     RGB(155, 154, 179), RGB(214, 215, 231), RGB(84, 84, 117), RGB(110, 109, 143), RGB(168, 167, 190),
     RGB(253, 250, 255), RGB(124, 124, 148), RGB(255, 238, 194), RGB(75, 75, 111), RGB(254, 128, 62),
     RGB(255, 192, 111), RGB(219, 218, 228), RGB(0, 0, 0)},
};

void Set(CTKPaintManagerColorGradient& grc, const GradientRow& row)
{
  grc.SetStandardValue(row.light, row.dark, row.factor);
}

}  // namespace

CTKOffice2003Theme::CTKOffice2003Theme()
{
  m_grcChecked.SetStandardValue(RGB(255, 213, 140), RGB(255, 173, 85), 0.5f);
  m_grcPushed.SetStandardValue(RGB(254, 142, 75), RGB(255, 207, 139), 0.5f);
  m_grcHighlight.SetStandardValue(RGB(255, 242, 200), RGB(255, 212, 151), 0.5f);
  m_bFadedIcons = FALSE;
  m_bIconShadow = FALSE;
  m_bSingleSeparator = FALSE;
}

void CTKOffice2003Theme::RefreshMetrics()
{
  CTKOfficeTheme::RefreshMetrics();
  m_themeStatusBar.CloseThemeData();
  if (CWinThread* thread = AfxGetThread()) {
    if (CWnd* main = thread->GetMainWnd()) {
      m_themeStatusBar.OpenThemeData(main->GetSafeHwnd(), u"STATUS");
    }
  }

  m_grcExpandedColumn.SetStandardValue(Lc(*this, 5, 42, 550), GetColor(42), 0.5f);
  m_grcToolBar.SetStandardValue(Lc(*this, 15, 5, 205), GetColor(15), 0.5f);
  m_grcDockBar.SetStandardValue(GetColor(15), Lc(*this, 15, 5, 205), 0.5f);
  m_clrTearOff.SetStandardValue(GetColor(30));
  m_clrToolBarShadow.SetStandardValue(GetColor(30));
  m_clrFloatingCaption.SetStandardValue(GetColor(16));
  m_grcPopupedButton.SetStandardValue(GetColor(41), Lc(*this, 5, 15, 550), 0.5f);
  m_grcExpandButton.SetStandardValue(Lc(*this, 51, 16, 51), GetColor(16), 0.5f);
  m_bLunaColors = FALSE;
  m_grcPopupExpand.SetStandardValue(GetColor(41), Lc(*this, 5, 15, 550), 0.5f);
  m_clrPaneBorder.SetStandardValue(Lc(*this, 15, 5, 70));
  m_arrColor[55].SetStandardValue(TKColorManager().m_clrBarGradient.clrDark.GetValue());

  const int scheme = GetCurrentSystemTheme();
  if (scheme >= 1 && scheme <= 3) {
    const Office2003Set& s = kOffice2003Sets[scheme - 1];
    Set(m_grcDockBar, s.dockBar);
    Set(m_grcToolBar, s.toolBar);
    Set(m_grcPopupedButton, s.popupedButton);
    Set(m_grcExpandButton, s.expandButton);
    Set(m_grcExpandedColumn, s.expandedColumn);
    Set(m_grcPopupExpand, s.popupExpand);
    Set(m_grcFace, s.face);
    m_clrToolBarShadow.SetStandardValue(s.toolBarShadow);
    m_clrFloatingCaption.SetStandardValue(s.floatingCaption);
    m_clrPaneBorder.SetStandardValue(s.paneBorder);
    m_clrTearOff.SetStandardValue(s.tearOff);
    m_clrShadowColor = s.shadow;
    const int indices[] = {53, 51, 52, 12, 56, 38, 39, 40, 41, 43, 31, 32, 37, 50, 33, 36, 30, 47};
    const COLORREF colors[] = {s.c53, s.c51, s.c52, s.c12, s.c56, s.c38, s.c39, s.c40, s.c41,
                               s.c43, s.c31, s.c32, s.c32, s.c32, s.c33, s.c36, s.c30, s.c47};
    SetColors(static_cast<int>(std::size(indices)), indices, colors);
    m_bLunaColors = TRUE;
  }
  if (m_bLunaColors) {
    const int indices[] = {58, 60, 35};
    const COLORREF grey[] = {RGB(141, 141, 141), RGB(141, 141, 141), RGB(141, 141, 141)};
    SetColors(3, indices, grey);
  }
  CreateExpandButtonImage();
}

void CTKOffice2003Theme::CreateExpandButtonImage()
{
  m_ilExpandButton.DeleteImageList();
  m_ilExpandButton.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 1);
  const COLORREF c1 = m_grcPopupExpand.clrLight.GetValue();
  const COLORREF c2 = m_grcPopupExpand.clrDark.GetValue();
  const auto shade = [](BYTE from, BYTE to, int v) { return static_cast<BYTE>(to - (to - from) * v / 255); };

  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(desktop);
  CBitmap bitmap;
  bitmap.Attach(CreateCompatibleBitmap(screen, 16, 16));
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap.GetSafeHandle());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int v = kExpandShades[y][x];
      const COLORREF clr =
          v == 255 ? kExpandMask
                   : RGB(shade(GetRValue(c1), GetRValue(c2), v), shade(GetGValue(c1), GetGValue(c2), v),
                         shade(GetBValue(c1), GetBValue(c2), v));
      SetPixelV(dc, x, y, clr);
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(desktop, screen);
  m_ilExpandButton.Add(&bitmap, kExpandMask);
}

void CTKOffice2003Theme::FillGradientButton(CDC* pDC, CRect rc, int nBorder, BOOL bHorizontal,
                                            const CTKPaintManagerColorGradient& grc)
{
  GradientFill(pDC, &rc, grc.clrLight.GetValue(), grc.clrDark.GetValue(), bHorizontal);
  Draw3dRect(pDC, rc, nBorder, nBorder);
}

void CTKOffice2003Theme::DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                                             BOOL bChecked, BOOL bPopuped, BOOL bToolBar, int nBarPosition)
{
  if (bPopuped) {
    TKDrawHelpers().GradientFillColor(pDC, &rc, m_grcPopupedButton, FALSE);
    Draw3dRect(pDC, rc, 43, 43);
    return;
  }
  const bool gradientBar = nBarPosition == tkBarTop || nBarPosition == tkBarBottom ||
                           nBarPosition == tkBarFloating || nBarPosition == tkBarLeft || nBarPosition == tkBarRight;
  if (!m_bLunaColors || !bToolBar || !gradientBar) {
    CTKOfficeTheme::DrawButtonRectangle(pDC, rc, nSelected, nPressed, bEnabled, bChecked, bPopuped, bToolBar,
                                        nBarPosition);
    return;
  }
  const BOOL horizontal = nBarPosition == tkBarLeft || nBarPosition == tkBarRight;
  if (bEnabled) {
    if (bChecked && !nPressed) {
      FillGradientButton(pDC, rc, 50, horizontal, nSelected ? m_grcPushed : m_grcChecked);
    } else if (nPressed == 2 || (nSelected && nPressed)) {
      FillGradientButton(pDC, rc, 50, horizontal, m_grcPushed);
    } else if (nSelected || nPressed) {
      FillGradientButton(pDC, rc, 32, horizontal, m_grcHighlight);
    }
    return;
  }
  if (nSelected == 2) {
    FillGradientButton(pDC, rc, 50, horizontal, bChecked ? m_grcPushed : m_grcHighlight);
  } else if (bChecked) {
    FillGradientButton(pDC, rc, 58, horizontal, m_grcChecked);
  }
}

CSize CTKOffice2003Theme::DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw)
{
  if (!bDraw) {
    return CSize(0, 9);
  }
  CRect strip(rc.left + 1, rc.top + 1, rc.right + 1, rc.top + rc.Height() + 1);
  pDC->FillSolidRect(&strip, GetColor(41));
  strip.DeflateRect(1, 1);
  const int half = strip.Width() / 2 > 42 ? 32 : strip.Width() / 2 - 10;
  const int centre = strip.CenterPoint().x;
  if (bSelected) {
    DrawRectangle(pDC, strip, 32, 31);
  } else {
    pDC->FillSolidRect(&strip, m_clrTearOff.GetValue());
  }
  if (half > 0) {
    for (int x = centre - half + 3; x - 3 < centre + half; x += 4) {
      pDC->FillSolidRect(x - 2, rc.top + 5, 2, 2, GetColor(20));
      pDC->FillSolidRect(x - 3, rc.top + 4, 2, 2, GetColor(38));
    }
  }
  return CSize(0, 9);
}

void CTKOffice2003Theme::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL /*bLastPane*/)
{
  const COLORREF clr = m_clrPaneBorder.GetValue();
  pDC->Draw3dRect(&rc, clr, clr);
}

void CTKOffice2003Theme::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
  if (m_themeStatusBar.IsAppThemed()) {
    const CRect rc(rcClient.right - 18, rcClient.top, rcClient.right, rcClient.bottom);
    m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 3, 0, &rc, nullptr);
    return;
  }
  const int w = rcClient.Width();
  const int h = rcClient.Height();
  for (int group = 0; group < 3; ++group) {
    const int g = w - 2 - 5 * group;
    const int up = 5 * group;
    DrawLine(pDC, g + 2, h - 1, w, h - 1 - up, 16);
    DrawLine(pDC, g + 1, h - 1, w, h - 2 - up, 16);
    DrawLine(pDC, g, h - 1, w, h - 3 - up, 16);
  }
  for (int group = 0; group < 3; ++group) {
    DrawLine(pDC, w - 3 - 5 * group, h - 1, w, h - 4 - 5 * group, 20);
  }
}

CRect CTKOffice2003Theme::WideRect(const CRect& rc)
{
  return CRect(rc.left, rc.top, rc.left + std::max(rc.Width(), GetSystemMetrics(SM_CXFULLSCREEN) / 2), rc.bottom);
}

void CTKOffice2003Theme::FillDockBar(CDC* pDC, CWnd* pBar)
{
  CRect rc;
  pBar->GetClientRect(&rc);
  if ((pBar->GetStyle() & 0x4100) == 0x4100) {
    pDC->FillSolidRect(&rc, m_grcDockBar.clrDark.GetValue());
    return;
  }
  const CRect wide = WideRect(rc);
  TKDrawHelpers().GradientFillColor(pDC, &wide, m_grcDockBar, TRUE, &rc);
}

void CTKOffice2003Theme::FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded)
{
  const CRect rc(x, y, x + cx, y + cy);
  TKDrawHelpers().GradientFillColor(pDC, &rc, bExpanded ? m_grcExpandedColumn : m_grcToolBar, TRUE);
}

void CTKOffice2003Theme::DrawExpandGlyph(CDC* pDC, BOOL bVertical, CRect rc, BOOL bHidden, COLORREF clr)
{
  CTKPenDC pen(pDC->GetSafeHdc(), clr);
  const int l = rc.left;
  const int t = rc.top;
  if (!bVertical) {
    const int x = rc.CenterPoint().x;
    const int b = rc.bottom;
    DrawLine(pDC, x - 2, b - 10, x + 3, b - 10);
    Triangle(pDC, CPoint(x - 2, b - 7), CPoint(x + 2, b - 7), CPoint(x, b - 5), clr);
    if (bHidden) {
      Triangle(pDC, CPoint(l + 3, t + 5), CPoint(l + 4, t + 6), CPoint(l + 3, t + 7), clr);
      Triangle(pDC, CPoint(l + 7, t + 5), CPoint(l + 8, t + 6), CPoint(l + 7, t + 7), clr);
    }
    return;
  }
  const int h = rc.right - 5;
  const int y = rc.CenterPoint().y;
  DrawLine(pDC, h - 5, y - 2, h - 5, y + 3);
  Triangle(pDC, CPoint(h, y), CPoint(h - 2, y - 2), CPoint(h - 2, y + 2), clr);
  if (bHidden) {
    Triangle(pDC, CPoint(l + 5, t + 3), CPoint(l + 6, t + 4), CPoint(l + 7, t + 3), clr);
    Triangle(pDC, CPoint(l + 5, t + 7), CPoint(l + 6, t + 8), CPoint(l + 7, t + 7), clr);
  }
}

// ---- Whidbey

CTKWhidbeyTheme::CTKWhidbeyTheme()
{
  m_nSystemTheme = 0;
  m_bSingleSeparator = TRUE;
}

void CTKWhidbeyTheme::RefreshMetrics()
{
  CTKOffice2003Theme::RefreshMetrics();
  m_grcExpandButton.SetStandardValue(Lc(*this, 5, 15, 550), GetColor(16), 0.5f);

  switch (TKColorManager().GetCurrentSystemTheme()) {
  case 1:
  case 2: {
    const bool olive = TKColorManager().GetCurrentSystemTheme() == 2;
    m_grcToolBar.SetStandardValue(RGB(250, 249, 245), RGB(192, 192, 168), 0.75f);
    m_grcExpandButton.SetStandardValue(RGB(238, 237, 234), olive ? RGB(176, 172, 158) : RGB(152, 152, 126), 0.75f);
    m_grcDockBar.SetStandardValue(RGB(229, 229, 215), RGB(244, 241, 231), 0.5f);
    m_clrToolBarShadow.SetStandardValue(RGB(163, 163, 124));
    m_grcExpandedColumn.SetStandardValue(RGB(204, 199, 186));
    m_grcPopupExpand.SetStandardValueFrom(m_grcToolBar);
    if (olive) {
      m_grcFace.SetStandardValue(RGB(236, 233, 216), RGB(172, 168, 153), 0.5f);
      const int indices[] = {31, 33, 36, 47};
      const COLORREF colors[] = {RGB(182, 198, 141), RGB(147, 160, 112), RGB(182, 198, 141), RGB(255, 255, 255)};
      SetColors(4, indices, colors);
    } else {
      m_grcFace.SetStandardValue(RGB(247, 245, 249), RGB(122, 121, 153), 0.5f);
    }
    break;
  }
  case 3: {
    m_grcToolBar.SetStandardValue(RGB(243, 244, 250), RGB(153, 151, 181), 0.75f);
    m_grcExpandButton.SetStandardValue(RGB(179, 178, 200), RGB(118, 116, 146), 0.75f);
    m_grcDockBar.SetStandardValue(RGB(215, 215, 229), RGB(243, 243, 247), 0.5f);
    m_clrToolBarShadow.SetStandardValue(RGB(124, 124, 148));
    m_grcExpandedColumn.SetStandardValue(RGB(215, 215, 226), RGB(133, 131, 162), 0.5f);
    m_grcPopupExpand.SetStandardValue(RGB(232, 232, 241), RGB(176, 174, 197), 0.5f);
    m_grcFace.SetStandardValue(RGB(247, 245, 249), RGB(122, 121, 153), 0.5f);
    const int indices[] = {60, 35, 39, 38, 30, 31, 32, 37, 50, 33, 36, 47};
    const COLORREF colors[] = {RGB(141, 141, 141), RGB(141, 141, 141), RGB(110, 109, 143), RGB(84, 84, 117),
                               RGB(219, 218, 228), RGB(255, 238, 194), RGB(75, 75, 111),  RGB(75, 75, 111),
                               RGB(75, 75, 111),   RGB(254, 128, 62),  RGB(255, 192, 111), RGB(0, 0, 0)};
    SetColors(static_cast<int>(std::size(indices)), indices, colors);
    m_clrTearOff.SetStandardValue(RGB(192, 192, 211));
    m_clrFloatingCaption.SetStandardValue(RGB(122, 121, 153));
    break;
  }
  default: break;
  }
  CreateExpandButtonImage();
}

}  // namespace TKPaintThemes
