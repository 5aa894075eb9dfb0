#include "toolkit/paint/paint_manager.h"

#include "platform/base/clock.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/theme_default.h"
#include "toolkit/paint/theme_office.h"
#include "toolkit/paint/theme_nativexp.h"
#include "toolkit/paint/theme_office2003.h"

#include <cstring>
#include <strings.h>
#include <vector>

namespace {

CTKPaintManager*& Current()
{
  static CTKPaintManager* current = nullptr;
  return current;
}

// Releases the current paint manager when the process ends.
struct CurrentKeeper {
  ~CurrentKeeper() { CTKPaintManager::Done(); }
};

// A 32-bit DIB section of the rectangle's size, selected into its own memory DC.
struct FrameBuffer {
  FrameBuffer(HDC reference, int cx, int cy)
  {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pv = nullptr;
    bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &pv, nullptr, 0);
    bits = static_cast<BYTE*>(pv);
    dc = CreateCompatibleDC(reference);
    old = SelectObject(dc, bitmap);
  }
  ~FrameBuffer()
  {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  FrameBuffer(const FrameBuffer&) = delete;
  FrameBuffer& operator=(const FrameBuffer&) = delete;
  bool Valid() const { return bitmap != nullptr && bits != nullptr && dc != nullptr; }

  HBITMAP bitmap = nullptr;
  BYTE* bits = nullptr;
  HDC dc = nullptr;
  HGDIOBJ old = nullptr;
};

// Copies a face name, cut to the LOGFONT's room and always terminated.
void SetFaceName(LOGFONTA& lf, const char* face)
{
  size_t i = 0;
  for (; face != nullptr && face[i] != '\0' && i + 1 < sizeof(lf.lfFaceName); ++i) {
    lf.lfFaceName[i] = face[i];
  }
  std::memset(lf.lfFaceName + i, 0, sizeof(lf.lfFaceName) - i);
}

}  // namespace

// ---- System records

CTKNonClientMetrics::CTKNonClientMetrics()
{
  cbSize = sizeof(NONCLIENTMETRICS);
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(NONCLIENTMETRICS), this, 0);
}

CTKOSVersionInfo::CTKOSVersionInfo()
{
  dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  GetVersionEx(this);
}

const CTKOSVersionInfo& TKOSVersionInfo()
{
  static const CTKOSVersionInfo info;
  return info;
}

// ---- Installation

CTKPaintManager::CTKPaintManager()
{
  m_clrStatusText = 18;
  m_grcFace.SetStandardValue(15, 16, 0.5f);
  // Disabled images were generated in the colours of the theme before.
  TKImageManager().RefreshAll();
}

CTKPaintManager::~CTKPaintManager() = default;

CTKPaintManager* CTKPaintManager::CreateTheme(int nTheme)
{
  CTKPaintManager* theme = nullptr;
  switch (nTheme) {
  case tkThemeOffice: theme = new TKPaintThemes::CTKOfficeTheme(); break;
  case tkThemeOffice2003: theme = new TKPaintThemes::CTKOffice2003Theme(); break;
  case tkThemeWhidbey: theme = new TKPaintThemes::CTKWhidbeyTheme(); break;
  case tkThemeNativeXP: theme = new TKPaintThemes::CTKNativeXPTheme(); break;
  default: theme = new TKPaintThemes::CTKDefaultTheme(); break;
  }
  theme->m_nTheme = nTheme;
  return theme;
}

void CTKPaintManager::SetCustomTheme(CTKPaintManager* pTheme)
{
  CTKPaintManager*& current = Current();
  if (current != nullptr && current != pTheme) {
    current->InternalRelease();
  }
  current = pTheme;
  if (pTheme != nullptr) {
    pTheme->m_nTheme = tkThemeCustom;
    pTheme->RefreshMetrics();
  }
  // Made after the first refresh, so that it goes before the services the refresh first reached (the visual
  // styles library a theme closes its data with).
  static CurrentKeeper keeper;
}

void CTKPaintManager::SetTheme(int nTheme)
{
  SetCustomTheme(CreateTheme(nTheme));
  Current()->m_nTheme = nTheme;
}

void CTKPaintManager::Done()
{
  CTKPaintManager*& current = Current();
  if (current != nullptr) {
    current->InternalRelease();
    current = nullptr;
  }
}

CTKPaintManager* CTKPaintManager::GetCurrent()
{
  if (Current() == nullptr) {
    SetTheme(tkThemeDefault);
  }
  return Current();
}

CTKPaintManager* CTKPaintManager::GetCurrentIfAny() { return Current(); }

CTKPaintManager* TKPaintManager() { return CTKPaintManager::GetCurrent(); }

// ---- Colours

COLORREF CTKPaintManager::GetColor(int nIndex) const
{
  if (nIndex > TK_COLOR_COUNT - 1) {
    return static_cast<COLORREF>(nIndex);
  }
  if (nIndex < 0) {
    return static_cast<COLORREF>(-1);
  }
  return m_arrColor[nIndex].GetValue();
}

void CTKPaintManager::SetColors(int nCount, const int* pIndices, const COLORREF* pColors)
{
  for (int i = 0; i < nCount; ++i) {
    if (pIndices[i] >= 0 && pIndices[i] < TK_COLOR_COUNT) {
      m_arrColor[pIndices[i]].SetStandardValue(pColors[i]);
    }
  }
}

int CTKPaintManager::GetCurrentSystemTheme() const
{
  if (m_nSystemTheme == 5) {
    return TKColorManager().IsLunaColorsDisabled() ? 0 : TKColorManager().GetCurrentSystemTheme();
  }
  if (m_nSystemTheme == 4) {
    return TKDetectLunaColorScheme();
  }
  return m_nSystemTheme;
}

void CTKPaintManager::RefreshMetrics()
{
  RefreshStandardFonts();
  TKRefreshColors();
  for (int i = 0; i < TK_COLOR_COUNT; ++i) {
    m_arrColor[i].SetStandardValue(TKColorManager().GetColor(static_cast<UINT>(i)));
  }
  m_clrShadowColor = 0;
  m_clrStatusText = GetColor(18);
  m_grcFace.SetStandardValue(GetColor(15), GetColor(16), 0.5f);
}

// ---- Fonts

void CTKPaintManager::RefreshStandardFonts()
{
  CTKNonClientMetrics metrics;
  if (m_bUseStandardFont) {
    CTKLogFont lf;
    lf.lfHeight = StandardFontHeight(metrics.lfMenuFont.lfHeight);
    HWND desktop = GetDesktopWindow();
    HDC screen = GetWindowDC(desktop);
    lf.lfCharSet = static_cast<BYTE>(GetTextCharsetInfo(screen, nullptr, 0));
    ReleaseDC(desktop, screen);
    lf.lfWeight = metrics.lfMenuFont.lfWeight;
    lf.lfItalic = metrics.lfMenuFont.lfItalic;
    SetFaceName(lf, metrics.lfMenuFont.lfFaceName);
    SetCommandBarsFontIndirect(&lf, TRUE);
  }
  if (m_fontSmCaption.m_bStandardFont || m_fontSmCaption.GetSafeHandle() == nullptr) {
    m_fontSmCaption.DeleteObject();
    m_fontSmCaption.CreateFontIndirect(&metrics.lfSmCaptionFont);
  }
  CTKLogFont iconFont;
  SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTA), &iconFont, 0);
  if (m_fontIcon.m_bStandardFont || m_fontIcon.GetSafeHandle() == nullptr) {
    m_fontIcon.DeleteObject();
    m_fontIcon.CreateFontIndirect(&iconFont);
  }
  iconFont.lfWeight = FW_BOLD;
  if (m_fontIconBold.m_bStandardFont || m_fontIconBold.GetSafeHandle() == nullptr) {
    m_fontIconBold.DeleteObject();
    m_fontIconBold.CreateFontIndirect(&iconFont);
  }
}

void CTKPaintManager::SetCommandBarsFontIndirect(LOGFONTA* pLogFont, BOOL bUseStandardFont)
{
  m_bUseStandardFont = bUseStandardFont;
  if (pLogFont == nullptr) {
    return;
  }
  m_fontRegular.DeleteObject();
  m_fontBold.DeleteObject();
  m_fontVert.DeleteObject();
  m_fontVertBold.DeleteObject();
  m_fontIconBold.DeleteObject();

  CTKLogFont lf;
  std::memcpy(static_cast<LOGFONTA*>(&lf), pLogFont, sizeof(LOGFONTA));
  if (strcasecmp(lf.lfFaceName, "Tahoma") == 0) {
    m_bUseTahoma = TRUE;
  }
  if (lf.lfCharSet <= 2 && bUseStandardFont && m_bUseTahoma && CTKDrawHelpers::FontExists("Tahoma")) {
    SetFaceName(lf, "Tahoma");
  }
  m_fontRegular.CreateFontIndirect(&lf);
  const LONG weight = lf.lfWeight;
  lf.lfWeight = FW_BOLD;
  m_fontBold.CreateFontIndirect(&lf);

  lf.lfWeight = weight;
  lf.lfEscapement = 2700;
  lf.lfOrientation = 900;
  const CString vertFace = CTKDrawHelpers::GetDefaultFontName(m_bUseTahoma);
  SetFaceName(lf, vertFace.GetString());
  m_fontVert.CreateFontIndirect(&lf);
  lf.lfWeight = FW_BOLD;
  m_fontVertBold.CreateFontIndirect(&lf);

  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(desktop);
  HGDIOBJ old = SelectObject(screen, m_fontRegular.GetSafeHandle());
  SIZE blank{};
  GetTextExtentPoint32(screen, " ", 1, &blank);
  SelectObject(screen, old);
  ReleaseDC(desktop, screen);
  m_nTextHeight = blank.cy + 6;
}

CFont* CTKPaintManager::GetCommandBarFont(int nBarPosition, BOOL bBold)
{
  if (nBarPosition == tkBarLeft || nBarPosition == tkBarRight) {
    return bBold ? &m_fontVertBold : &m_fontVert;
  }
  return bBold ? &m_fontBold : &m_fontRegular;
}

// ---- Shared drawing

void CTKPaintManager::Draw3dRect(CDC* pDC, CRect rc, int nTopLeft, int nBottomRight)
{
  pDC->Draw3dRect(&rc, GetColor(nTopLeft), GetColor(nBottomRight));
}

void CTKPaintManager::DrawRectangle(CDC* pDC, CRect rc, int nBorder, int nFill)
{
  if (nFill != -1) {
    pDC->FillSolidRect(&rc, GetColor(nFill));
  }
  if (nBorder != -1 && nBorder != nFill) {
    Draw3dRect(pDC, rc, nBorder, nBorder);
  }
}

void CTKPaintManager::DrawLine(CDC* pDC, int x1, int y1, int x2, int y2)
{
  pDC->MoveTo(x1, y1);
  pDC->LineTo(x2, y2);
}

void CTKPaintManager::DrawLine(CDC* pDC, int x1, int y1, int x2, int y2, int nColor)
{
  CTKPenDC pen(pDC->GetSafeHdc(), GetColor(nColor));
  DrawLine(pDC, x1, y1, x2, y2);
}

void CTKPaintManager::Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
  CTKPenDC pen(pDC->GetSafeHdc(), clr);
  CTKBrushDC brush(pDC->GetSafeHdc(), clr);
  const POINT points[] = {pt0, pt1, pt2};
  pDC->Polygon(points, 3);
}

void CTKPaintManager::DrawVerticalLine(CDC* pDC, int x, int y, int nLength, COLORREF clr)
{
  if (clr != static_cast<COLORREF>(-1)) {
    pDC->FillSolidRect(x, y, 1, nLength, clr);
  }
}

void CTKPaintManager::DrawHorizontalLine(CDC* pDC, int x, int y, int nLength, COLORREF clr)
{
  if (clr != static_cast<COLORREF>(-1)) {
    pDC->FillSolidRect(x, y, nLength, 1, clr);
  }
}

void CTKPaintManager::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz,
                                   LPCRECT lpClip)
{
  TKDrawHelpers().GradientFillClipped(pDC, lpRect, crFrom, crTo, bHorz, lpClip);
}

void CTKPaintManager::StripMnemonics(CString& strClear) { CTKDrawHelpers::StripMnemonics(strClear); }

void CTKPaintManager::PrepareDisabledIcon(CTKImageManagerIcon* pImage)
{
  if (m_bGenerateDisabledIcons && !pImage->HasDisabledIcon() && pImage->GetDisabledIcon(FALSE).IsEmpty()) {
    pImage->CreateDisabledIcon(m_grcFace.clrLight.GetValue(), m_grcFace.clrDark.GetValue());
  }
}

CSize CTKPaintManager::DrawControlText(CDC* pDC, const CString& strCaption, CRect rcText, BOOL bDraw, BOOL bVert,
                                       BOOL bCentered, BOOL bTriangle, BOOL bEmbossed, BOOL bShowCues)
{
  if (m_nShowKeyboardCues >= 0) {
    bShowCues = m_nShowKeyboardCues;
  }
  CString stripped = strCaption;
  StripMnemonics(stripped);
  const CString measured = stripped.IsEmpty() ? CString(" ") : stripped;
  CSize extent = pDC->GetTextExtent(measured);
  if (!bDraw) {
    if (bTriangle) {
      extent.cx += 10;
    }
    return bVert ? CSize(extent.cy, extent.cx) : extent;
  }

  if (!bVert) {
    const int length = extent.cx + (bTriangle ? 5 : 0);
    CRect rc = rcText;
    if (bCentered) {
      rc.left += (rc.Width() - length) / 2;
    }
    const UINT format = DT_SINGLELINE | DT_VCENTER | (bShowCues ? 0 : DT_NOPREFIX);
    const CString& shown = bShowCues ? strCaption : stripped;
    if (bEmbossed) {
      const COLORREF text = pDC->SetTextColor(GetColor(20));
      CRect shadow = rc;
      shadow.OffsetRect(1, 1);
      pDC->DrawText(shown, &shadow, format);
      pDC->SetTextColor(text);
    }
    pDC->DrawText(shown, &rc, format);
    if (bTriangle) {
      const int cy = rc.CenterPoint().y - 1;
      const int x = rc.left + length;
      Triangle(pDC, CPoint(x - 2, cy), CPoint(x + 2, cy), CPoint(x, cy + 2), pDC->GetTextColor());
    }
    return extent;
  }

  // Turned text runs downwards from the top, its baseline on the left of the glyphs.
  const int length = extent.cx;
  CRect rc = rcText;
  const int x = rc.right - (rc.Width() - extent.cy + 1) / 2;
  int y = rc.top;
  if (bCentered) {
    y += (rc.Height() - length) / 2;
  }
  CRect rcDraw(x, y, x + extent.cy, y + length);
  if (bEmbossed) {
    const COLORREF text = pDC->SetTextColor(GetColor(20));
    CRect shadow = rcDraw;
    shadow.OffsetRect(1, 1);
    pDC->DrawText(stripped, &shadow, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
    pDC->SetTextColor(text);
  }
  pDC->DrawText(stripped, &rcDraw, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  if (bTriangle) {
    const int tx = rc.CenterPoint().x + 2;
    const int ty = rc.top + length - 1;
    Triangle(pDC, CPoint(tx, ty - 2), CPoint(tx, ty + 2), CPoint(tx - 2, ty), pDC->GetTextColor());
  }
  return CSize(extent.cy, extent.cx);
}

CSize CTKPaintManager::DrawControlCaption(CDC* pDC, const CString& strCaption, CRect rcControl, BOOL bVertical,
                                          BOOL bDraw, BOOL bEmbossed, BOOL bTriangle, int cxButton, int cyButton,
                                          BOOL bIcon, BOOL bShowCues)
{
  if (m_nShowKeyboardCues >= 0) {
    bShowCues = m_nShowKeyboardCues;
  }
  const CSize text = DrawControlText(pDC, strCaption, CRect(0, 0, 0, 0), FALSE, bVertical, FALSE, bTriangle,
                                     bEmbossed, bShowCues);
  if (!bVertical) {
    CRect rcText = rcControl;
    rcText.left += bIcon ? cxButton - 1 : 4;
    if (bDraw) {
      DrawControlText(pDC, strCaption, rcText, TRUE, FALSE, FALSE, bTriangle, bEmbossed, bShowCues);
    }
    return CSize((bIcon ? cxButton : 4) + text.cx + 3, std::max(text.cy + 6, cyButton));
  }
  CRect rcText = rcControl;
  rcText.top += bIcon ? cyButton : 4;
  if (bDraw) {
    DrawControlText(pDC, strCaption, rcText, TRUE, TRUE, FALSE, bTriangle, bEmbossed, bShowCues);
  }
  return CSize(std::max(text.cx + 6, cxButton), (bIcon ? cxButton : 4) + text.cy + 3);
}

void CTKPaintManager::DrawCheckMark(CDC* pDC, CRect rcCheck, COLORREF clr, BOOL bLayoutRTL)
{
  CTKPenDC pen(pDC->GetSafeHdc(), clr);
  const CPoint centre = rcCheck.CenterPoint();
  const int x0 = centre.x - 10;
  const int y0 = centre.y - 10;
  const auto strokes = [&](int dy) {
    if (!bLayoutRTL) {
      const POINT a[] = {{x0 + 6, y0 + 9 + dy}, {x0 + 8, y0 + 11 + dy}, {x0 + 13, y0 + 6 + dy}};
      const POINT b[] = {{x0 + 6, y0 + 10 + dy}, {x0 + 8, y0 + 12 + dy}, {x0 + 13, y0 + 7 + dy}};
      pDC->Polyline(a, 3);
      pDC->Polyline(b, 3);
    } else {
      const POINT a[] = {{x0 + 6, y0 + 7 + dy}, {x0 + 10, y0 + 11 + dy}, {x0 + 13, y0 + 8 + dy}};
      const POINT b[] = {{x0 + 6, y0 + 8 + dy}, {x0 + 10, y0 + 12 + dy}, {x0 + 13, y0 + 9 + dy}};
      pDC->Polyline(a, 3);
      pDC->Polyline(b, 3);
    }
  };
  strokes(0);
  if (m_bThickCheckMark) {
    strokes(1);
  }
}

void CTKPaintManager::DrawDropDownGlyph(CDC* pDC, CRect rc, COLORREF clr)
{
  const int s = std::max(rc.Width() / 2 - 4, 2);
  const CPoint centre = rc.CenterPoint();
  const int y0 = centre.y - s / 2;
  Triangle(pDC, CPoint(centre.x - s, y0), CPoint(centre.x + s, y0), CPoint(centre.x, y0 + s), clr);
}

// ---- Status bar

void CTKPaintManager::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL /*bLastPane*/)
{
  Draw3dRect(pDC, rc, 16, 20);
}

void CTKPaintManager::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
  const int w = rcClient.Width();
  const int h = rcClient.Height();
  for (int step = 0; step < 3; ++step) {
    const int d = step * 4;
    DrawLine(pDC, w - 3 - d, h - 2, w - 1, h - 4 - d, 16);
    DrawLine(pDC, w - 4 - d, h - 2, w - 1, h - 5 - d, 16);
  }
  for (int step = 0; step < 3; ++step) {
    const int d = step * 4;
    DrawLine(pDC, w - 5 - d, h - 2, w - 1, h - 6 - d, 20);
  }
}

void CTKPaintManager::FillDockBar(CDC* pDC, CWnd* pBar)
{
  CRect rc;
  pBar->GetClientRect(&rc);
  pDC->FillSolidRect(&rc, GetColor(15));
}

void CTKPaintManager::FillStatusBar(CDC* pDC, CWnd* pBar)
{
  CRect rc;
  pBar->GetClientRect(&rc);
  pDC->FillSolidRect(&rc, GetColor(15));
}

// ---- Animation

void CTKPaintManager::Animate(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nType)
{
  const int steps = m_nAnimationSteps;
  if (steps <= 0) {
    return;
  }
  const DWORD delay = static_cast<DWORD>(m_nAnimationTime / steps);
  const int cx = rc.Width();
  const int cy = rc.Height();
  switch (nType) {
  case 2:  // slide in from the top-left corner
    for (int k = 1; k <= steps; ++k) {
      const int w = k * cx / steps;
      const int h = k * cy / steps;
      pDestDC->BitBlt(rc.left, rc.top, w, h, pSrcDC, rc.right - w, rc.bottom - h, SRCCOPY);
      Sleep(delay);
    }
    break;
  case 3:  // unfold downwards
    for (int k = 1; k <= steps; ++k) {
      const int h = k * cy / steps;
      pDestDC->BitBlt(rc.left, rc.top, cx, h, pSrcDC, rc.left, rc.bottom - h, SRCCOPY);
      Sleep(delay);
    }
    break;
  case 4: {  // fade
    if (cx <= 0 || cy <= 0) {
      return;
    }
    FrameBuffer source(pDestDC->GetSafeHdc(), cx, cy);
    FrameBuffer destination(pDestDC->GetSafeHdc(), cx, cy);
    FrameBuffer blend(pDestDC->GetSafeHdc(), cx, cy);
    if (!source.Valid() || !destination.Valid() || !blend.Valid()) {
      return;
    }
    BitBlt(source.dc, 0, 0, cx, cy, pSrcDC->GetSafeHdc(), rc.left, rc.top, SRCCOPY);
    BitBlt(destination.dc, 0, 0, cx, cy, pDestDC->GetSafeHdc(), rc.left, rc.top, SRCCOPY);
    const size_t count = static_cast<size_t>(cx) * cy;
    for (int k = 1; k < steps; ++k) {
      const DWORD start = GetTickCount();
      const unsigned a = 255u * k / steps;
      for (size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
          const size_t at = i * 4 + c;
          blend.bits[at] = static_cast<BYTE>((source.bits[at] * a + destination.bits[at] * (255 - a)) >> 8);
        }
      }
      BitBlt(pDestDC->GetSafeHdc(), rc.left, rc.top, cx, cy, blend.dc, 0, 0, SRCCOPY);
      const DWORD spent = GetTickCount() - start;
      if (spent < delay) {
        Sleep(delay - spent);
      }
    }
    break;
  }
  default: break;
  }
}
