#include "toolkit/paint/draw_helpers.h"

#include "platform/user/system.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <strings.h>

namespace {

BYTE BlendChannel(BYTE a, BYTE b, float factor)
{
  const double value = std::trunc(factor * a + (1.0 - factor) * b);
  return static_cast<BYTE>(std::clamp(value, 0.0, 255.0));
}

// The multi-monitor entries of "USER32", bound together once; one missing name leaves all unbound.
struct MonitorEntries {
  using MonitorFromWindowFunction = HMONITOR (*)(HWND, DWORD);
  using MonitorFromRectFunction = HMONITOR (*)(const RECT*, DWORD);
  using MonitorFromPointFunction = HMONITOR (*)(POINT, DWORD);
  using GetMonitorInfoFunction = BOOL (*)(HMONITOR, MONITORINFO*);

  MonitorFromWindowFunction fromWindow = nullptr;
  MonitorFromRectFunction fromRect = nullptr;
  MonitorFromPointFunction fromPoint = nullptr;
  GetMonitorInfoFunction getInfo = nullptr;
  bool complete = false;

  MonitorEntries()
  {
    HMODULE user32 = GetModuleHandle("USER32");
    if (user32 == nullptr) {
      return;
    }
    const auto bind = [&](const char* name) { return GetProcAddress(user32, name); };
    FARPROC metrics = bind("GetSystemMetrics");
    FARPROC window = metrics != nullptr ? bind("MonitorFromWindow") : nullptr;
    FARPROC rect = window != nullptr ? bind("MonitorFromRect") : nullptr;
    FARPROC point = rect != nullptr ? bind("MonitorFromPoint") : nullptr;
    FARPROC info = point != nullptr ? bind("GetMonitorInfoA") : nullptr;
    if (info == nullptr) {
      return;
    }
    fromWindow = reinterpret_cast<MonitorFromWindowFunction>(window);
    fromRect = reinterpret_cast<MonitorFromRectFunction>(rect);
    fromPoint = reinterpret_cast<MonitorFromPointFunction>(point);
    getInfo = reinterpret_cast<GetMonitorInfoFunction>(info);
    complete = true;
  }
};

const MonitorEntries& Monitors()
{
  static const MonitorEntries entries;
  return entries;
}

CRect MonitorWorkArea(HMONITOR monitor)
{
  MONITORINFO info{};
  info.cbSize = sizeof(MONITORINFO);
  if (monitor != nullptr && Monitors().getInfo != nullptr && Monitors().getInfo(monitor, &info)) {
    return CRect(info.rcWork);
  }
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return CRect(work);
}

std::unique_ptr<CTKDrawHelpers>& Instance()
{
  static std::unique_ptr<CTKDrawHelpers> helpers = std::make_unique<CTKDrawHelpers>();
  return helpers;
}

}  // namespace

CTKDrawHelpers::CTKDrawHelpers()
{
  m_hMsImg32 = LoadLibrary("msimg32.dll");
  if (m_hMsImg32 != nullptr) {
    m_pfnGradientFill = reinterpret_cast<GradientFillFunction>(GetProcAddress(m_hMsImg32, "GradientFill"));
  }
}

CTKDrawHelpers::~CTKDrawHelpers()
{
  if (m_hMsImg32 != nullptr) {
    FreeLibrary(m_hMsImg32);
  }
}

CTKDrawHelpers& TKDrawHelpers()
{
  return *Instance();
}

void TKRebindDrawHelpersForTest()
{
  Instance() = nullptr;
  Instance() = std::make_unique<CTKDrawHelpers>();
}

COLORREF CTKDrawHelpers::BlendColors(COLORREF clrA, COLORREF clrB, float fFactor)
{
  return RGB(BlendChannel(GetRValue(clrA), GetRValue(clrB), fFactor),
             BlendChannel(GetGValue(clrA), GetGValue(clrB), fFactor),
             BlendChannel(GetBValue(clrA), GetBValue(clrB), fFactor));
}

BOOL CTKDrawHelpers::IsLowResolution(HDC hDC)
{
  HWND desktop = nullptr;
  if (hDC == nullptr) {
    desktop = GetDesktopWindow();
    hDC = GetDC(desktop);
    if (hDC == nullptr) {
      return FALSE;
    }
  }
  const int bits = GetDeviceCaps(hDC, BITSPIXEL);
  if (desktop != nullptr) {
    ReleaseDC(desktop, hDC);
  }
  return bits >= 1 && bits <= 8 ? TRUE : FALSE;
}

void CTKDrawHelpers::GradientFill(CDC* pDC, const RECT* pRect, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz)
{
  if (pDC == nullptr || pRect == nullptr || pRect->IsEmpty()) {
    return;
  }
  const CRect rect(*pRect);
  if (IsLowResolution(pDC->GetSafeHdc()) || clrFrom == clrTo) {
    pDC->FillSolidRect(&rect, clrFrom);
    return;
  }
  if (m_pfnGradientFill != nullptr) {
    TRIVERTEX vertices[2];
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = static_cast<COLOR16>(GetRValue(clrFrom) << 8);
    vertices[0].Green = static_cast<COLOR16>(GetGValue(clrFrom) << 8);
    vertices[0].Blue = static_cast<COLOR16>(GetBValue(clrFrom) << 8);
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = static_cast<COLOR16>(GetRValue(clrTo) << 8);
    vertices[1].Green = static_cast<COLOR16>(GetGValue(clrTo) << 8);
    vertices[1].Blue = static_cast<COLOR16>(GetBValue(clrTo) << 8);
    GRADIENT_RECT mesh{0, 1};
    m_pfnGradientFill(pDC->GetSafeHdc(), vertices, 2, &mesh, 1, bHorz ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
    return;
  }
  // Bands of one pixel, only where the DC can show them.
  CRect area;
  pDC->GetClipBox(&area);
  if (area.IsRectEmpty()) {
    area = rect;
  } else {
    area = CRect(area.Intersect(rect));
    if (area.IsRectEmpty()) {
      return;
    }
  }
  if (bHorz) {
    const float width = static_cast<float>(std::max<LONG>(rect.Width(), 1));
    for (LONG x = area.left; x < area.right; ++x) {
      const COLORREF color = BlendColors(clrFrom, clrTo, 1.0f - static_cast<float>(x - rect.left) / width);
      pDC->FillSolidRect(static_cast<int>(x), area.top, 1, area.Height(), color);
    }
  } else {
    const float height = static_cast<float>(std::max<LONG>(rect.Height(), 1));
    for (LONG y = area.top; y < area.bottom; ++y) {
      const COLORREF color = BlendColors(clrFrom, clrTo, 1.0f - static_cast<float>(y - rect.top) / height);
      pDC->FillSolidRect(area.left, static_cast<int>(y), area.Width(), 1, color);
    }
  }
}

void CTKDrawHelpers::GradientFillClipped(CDC* pDC, const RECT* pRect, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz,
                                         const RECT* pClip)
{
  if (pClip == nullptr || pRect == nullptr) {
    GradientFill(pDC, pRect, clrFrom, clrTo, bHorz);
    return;
  }
  CRect part(*pRect);
  COLORREF from = clrFrom;
  COLORREF to = clrTo;
  // The same arithmetic across and down: `start`/`end` are the rectangle's extent along the gradient.
  LONG& start = bHorz ? part.left : part.top;
  LONG& end = bHorz ? part.right : part.bottom;
  const LONG clipStart = bHorz ? pClip->left : pClip->top;
  const LONG clipEnd = bHorz ? pClip->right : pClip->bottom;
  if (bHorz) {
    part.top = pClip->top;
    part.bottom = pClip->bottom;
  } else {
    part.left = pClip->left;
    part.right = pClip->right;
  }
  if (clipEnd <= start || clipStart >= end) {
    return;
  }
  const LONG rectEnd = end;
  const float extent = static_cast<float>(end - start);
  if (clipStart > start) {
    from = BlendColors(clrFrom, clrTo, static_cast<float>(rectEnd - clipStart) / extent);
    start = clipStart;
  }
  if (clipEnd < rectEnd) {
    to = BlendColors(clrFrom, clrTo, static_cast<float>(rectEnd - clipEnd) / extent);
    end = clipEnd;
  }
  GradientFill(pDC, &part, from, to, bHorz);
}

void CTKDrawHelpers::GradientFillColor(CDC* pDC, const RECT* pRect, const CTKPaintManagerColorGradient& grc,
                                       BOOL bHorz, const RECT* pClip)
{
  if (pRect == nullptr) {
    return;
  }
  const COLORREF light = grc.clrLight;
  const COLORREF dark = grc.clrDark;
  if (grc.fGradientFactor == 0.5f) {
    GradientFillClipped(pDC, pRect, light, dark, bHorz, pClip);
    return;
  }
  const COLORREF middle = BlendColors(light, dark, grc.fGradientFactor);
  CRect first(*pRect);
  CRect second(*pRect);
  // An odd extent gives the first half the extra pixel.
  if (bHorz) {
    first.right = second.left = pRect->right - (pRect->right - pRect->left) / 2;
  } else {
    first.bottom = second.top = pRect->bottom - (pRect->bottom - pRect->top) / 2;
  }
  GradientFillClipped(pDC, &first, light, middle, bHorz, pClip);
  GradientFillClipped(pDC, &second, middle, dark, bHorz, pClip);
}

void CTKDrawHelpers::BlendPixels(CDC* pDC, const POINT* pPoints, int nCount)
{
  for (int i = 0; i + 1 < nCount; i += 2) {
    const POINT pixel = pPoints[i];
    const POINT offset = pPoints[i + 1];
    const COLORREF a = pDC->GetPixel(pixel);
    const COLORREF b = pDC->GetPixel(pixel.x + offset.x, pixel.y + offset.y);
    pDC->SetPixel(pixel, RGB((GetRValue(a) + GetRValue(b)) >> 1, (GetGValue(a) + GetGValue(b)) >> 1,
                             (GetBValue(a) + GetBValue(b)) >> 1));
  }
}

void CTKDrawHelpers::ExcludeCorners(CDC* pDC, CRect rc)
{
  pDC->ExcludeClipRect(rc.left, rc.top, rc.left + 1, rc.top + 1);
  pDC->ExcludeClipRect(rc.right - 1, rc.top, rc.right, rc.top + 1);
  pDC->ExcludeClipRect(rc.left, rc.bottom - 1, rc.left + 1, rc.bottom);
  pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom);
}

void CTKDrawHelpers::Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2)
{
  const POINT points[3] = {pt0, pt1, pt2};
  pDC->Polygon(points, 3);
}

CRect CTKDrawHelpers::GetWorkArea(const RECT& rect)
{
  return MonitorWorkArea(Monitors().fromRect != nullptr ? Monitors().fromRect(&rect, 0) : nullptr);
}

CRect CTKDrawHelpers::GetWorkArea(CWnd* pWnd)
{
  HWND hWnd = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
  return MonitorWorkArea(Monitors().fromWindow != nullptr ? Monitors().fromWindow(hWnd, 0) : nullptr);
}

CRect CTKDrawHelpers::GetWorkArea(POINT point)
{
  return MonitorWorkArea(Monitors().fromPoint != nullptr ? Monitors().fromPoint(point, 0) : nullptr);
}

CRect CTKDrawHelpers::GetWorkArea()
{
  POINT cursor{};
  GetCursorPos(&cursor);
  return GetWorkArea(cursor);
}

BOOL CTKDrawHelpers::IsTopParentActive(HWND hWnd)
{
  if (hWnd == nullptr) {
    return FALSE;
  }
  HWND top = GetAncestor(hWnd, GA_ROOTOWNER);
  if (top == nullptr) {
    top = hWnd;
  }
  return GetForegroundWindow() == GetLastActivePopup(top) ? TRUE : FALSE;
}

void CTKDrawHelpers::KeyToLayout(CWnd* pWnd, UINT& nChar)
{
  if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr) {
    return;
  }
  if ((static_cast<DWORD>(GetWindowLong(pWnd->GetSafeHwnd(), GWL_EXSTYLE)) & WS_EX_LAYOUTRTL) == 0) {
    return;
  }
  if (nChar == VK_LEFT) {
    nChar = VK_RIGHT;
  } else if (nChar == VK_RIGHT) {
    nChar = VK_LEFT;
  }
}

void CTKDrawHelpers::StripMnemonics(CString& str)
{
  for (int i = 0; i < str.GetLength(); ++i) {
    const bool last = i == str.GetLength() - 1;
    if (str[i] == '&' && (last || str[i + 1] != '&')) {
      // The character that moves into place i is text, not a marker: the scan goes on past it.
      str.Delete(i);
    }
  }
}

namespace {

struct FontSearch {
  const char* face;
  bool found = false;
};

int FindFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data)
{
  auto* search = reinterpret_cast<FontSearch*>(data);
  if (strcasecmp(font->lfFaceName, search->face) == 0) {
    search->found = true;
    return 0;
  }
  return 1;
}

}  // namespace

BOOL CTKDrawHelpers::FontExists(LPCSTR lpszFaceName)
{
  if (lpszFaceName == nullptr) {
    return FALSE;
  }
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) {
    return FALSE;
  }
  LOGFONTA filter{};
  filter.lfCharSet = DEFAULT_CHARSET;
  FontSearch search{lpszFaceName};
  EnumFontFamiliesExA(screen, &filter, &FindFace, reinterpret_cast<LPARAM>(&search), 0);
  ReleaseDC(nullptr, screen);
  return search.found ? TRUE : FALSE;
}

CString CTKDrawHelpers::GetDefaultFontName(BOOL bPreferTahoma)
{
  LOGFONTA guiFont{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(guiFont), &guiFont);
  // A national character set of the interface font counts only where the system can show it (NT 5 and later).
  bool charsetCounts = false;
  if (guiFont.lfCharSet > SYMBOL_CHARSET) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    charsetCounts = GetVersionEx(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                    version.dwMajorVersion >= 5;
  }
  if (charsetCounts || !FontExists("Arial")) {
    return CString(guiFont.lfFaceName);
  }
  if (bPreferTahoma && FontExists("Tahoma")) {
    return CString("Tahoma");
  }
  return CString("Arial");
}

CTKFontDC::CTKFontDC(CDC* pDC, CFont* pFont) : m_hDC(pDC != nullptr ? pDC->GetSafeHdc() : nullptr)
{
  if (m_hDC != nullptr && pFont != nullptr) {
    m_hOldFont = ::SelectObject(m_hDC, pFont->GetSafeHandle());
  }
}

CTKFontDC::~CTKFontDC()
{
  if (m_hOldFont != nullptr) {
    ::SelectObject(m_hDC, m_hOldFont);
  }
}

void CTKFontDC::SetFont(CFont* pFont)
{
  if (m_hDC == nullptr) {
    return;
  }
  if (m_hOldFont != nullptr) {
    ::SelectObject(m_hDC, m_hOldFont);
  }
  if (pFont != nullptr) {
    HGDIOBJ previous = ::SelectObject(m_hDC, pFont->GetSafeHandle());
    if (m_hOldFont == nullptr) {
      m_hOldFont = previous;
    }
  }
}

CTKPenDC::CTKPenDC(HDC hDC, COLORREF clr) : m_hDC(hDC)
{
  m_pen.CreatePen(PS_SOLID, 1, clr);
  if (m_hDC != nullptr) {
    m_hOldPen = ::SelectObject(m_hDC, m_pen.GetSafeHandle());
  }
}

CTKPenDC::~CTKPenDC()
{
  if (m_hDC != nullptr && m_hOldPen != nullptr) {
    ::SelectObject(m_hDC, m_hOldPen);
  }
  m_pen.DeleteObject();
}

COLORREF CTKPenDC::GetColor() const
{
  LOGPEN pen{};
  m_pen.GetObject(sizeof(pen), &pen);
  return pen.lopnColor;
}

CTKBrushDC::CTKBrushDC(HDC hDC, COLORREF clr) : m_hDC(hDC)
{
  m_brush.CreateSolidBrush(clr);
  if (m_hDC != nullptr) {
    m_hOldBrush = ::SelectObject(m_hDC, m_brush.GetSafeHandle());
  }
}

CTKBrushDC::~CTKBrushDC()
{
  if (m_hDC != nullptr && m_hOldBrush != nullptr) {
    ::SelectObject(m_hDC, m_hOldBrush);
  }
  m_brush.DeleteObject();
}

void CTKBrushDC::Color(COLORREF clr)
{
  if (m_hDC != nullptr && m_hOldBrush != nullptr) {
    ::SelectObject(m_hDC, m_hOldBrush);
  }
  m_brush.DeleteObject();
  m_brush.CreateSolidBrush(clr);
  if (m_hDC != nullptr) {
    HGDIOBJ previous = ::SelectObject(m_hDC, m_brush.GetSafeHandle());
    if (m_hOldBrush == nullptr) {
      m_hOldBrush = previous;
    }
  }
}

CTKCompatibleDC::CTKCompatibleDC(CDC* pDC, CBitmap* pBitmap)
{
  CreateCompatibleDC(pDC);
  if (m_hDC != nullptr && pBitmap != nullptr) {
    m_hOldBitmap = ::SelectObject(m_hDC, pBitmap->GetSafeHandle());
  }
}

CTKCompatibleDC::~CTKCompatibleDC()
{
  if (m_hDC != nullptr && m_hOldBitmap != nullptr) {
    ::SelectObject(m_hDC, m_hOldBitmap);
  }
  DeleteDC();
}

CTKBufferDC::CTKBufferDC(HDC hDestDC, CRect rc) : m_hDestDC(hDestDC), m_rect(rc)
{
  CDC* target = CDC::FromHandle(hDestDC);
  CreateCompatibleDC(target);
  // The target's own coordinates: the bitmap reaches from its origin to the rectangle's far corner.
  m_bitmap.CreateCompatibleBitmap(target, rc.right, rc.bottom);
  if (m_hDC != nullptr) {
    m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
  }
}

CTKBufferDC::~CTKBufferDC()
{
  if (m_hDC != nullptr) {
    ::BitBlt(m_hDestDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left, m_rect.top,
             SRCCOPY);
    if (m_hOldBitmap != nullptr) {
      ::SelectObject(m_hDC, m_hOldBitmap);
    }
  }
  m_bitmap.DeleteObject();
  DeleteDC();
}

CTKMemDC::CTKMemDC(CDC* pDC, const CRect& rc, CTKPaintManagerColorGradient grcBack, BOOL bHorz)
    : m_pDC(pDC), m_rect(rc)
{
  if (pDC == nullptr) {
    return;
  }
  if (m_rect.IsRectEmpty()) {
    pDC->GetClipBox(&m_rect);
  }
  if (!CreateCompatibleDC(pDC)) {
    return;
  }
  SetMapMode(::GetMapMode(pDC->m_hAttribDC != nullptr ? pDC->m_hAttribDC : pDC->m_hDC));
  m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height());
  m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
  SetWindowOrg(m_rect.left, m_rect.top);
  m_bValid = TRUE;
  const bool darkSet = grcBack.clrDark.GetStandardValue() != CTKPaintManagerColor::kUnset ||
                       grcBack.clrDark.GetCustomValue() != CTKPaintManagerColor::kUnset;
  if (darkSet) {
    TKDrawHelpers().GradientFillColor(this, &m_rect, grcBack, bHorz);
  }
}

CTKMemDC::~CTKMemDC()
{
  if (m_bValid) {
    // The buffer's window origin is the rectangle's corner: copy from there to the same place of the target.
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                  SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
  }
  m_bitmap.DeleteObject();
  DeleteDC();
}

CRect CTKEmptyRect()
{
  return CRect(0, 0, 0, 0);
}

CRect CTKWindowRect(HWND hWnd)
{
  CRect rect(0, 0, 0, 0);
  if (hWnd != nullptr && IsWindow(hWnd)) {
    GetWindowRect(hWnd, &rect);
  }
  return rect;
}

CRect CTKWindowRect(CWnd* pWnd)
{
  return CTKWindowRect(pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr);
}

CRect CTKClientRect(CWnd* pWnd)
{
  CRect rect(0, 0, 0, 0);
  if (pWnd != nullptr && IsWindow(pWnd->GetSafeHwnd())) {
    GetClientRect(pWnd->GetSafeHwnd(), &rect);
  }
  return rect;
}
