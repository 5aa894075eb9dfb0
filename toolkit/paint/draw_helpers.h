// The toolkit's small drawing vocabulary: gradients that turn solid on palette screens, colour blending, scope
// guards that select an object into a DC for their lifetime, off-screen buffers, rectangles taken from windows,
// work areas, and text helpers (mnemonics, the default interface font).
#pragma once

#include "platform/mfc/afxwin.h"
#include "toolkit/paint/color_manager.h"

class CTKDrawHelpers {
public:
  // Binds "GradientFill" of "msimg32.dll"; without it gradients are drawn in one-pixel bands.
  CTKDrawHelpers();
  virtual ~CTKDrawHelpers();
  CTKDrawHelpers(const CTKDrawHelpers&) = delete;
  CTKDrawHelpers& operator=(const CTKDrawHelpers&) = delete;

  void GradientFill(CDC* pDC, const RECT* pRect, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz);
  void GradientFillClipped(CDC* pDC, const RECT* pRect, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz,
                           const RECT* pClip);
  void GradientFillColor(CDC* pDC, const RECT* pRect, const CTKPaintManagerColorGradient& grc, BOOL bHorz,
                         const RECT* pClip = nullptr);
  bool HasSystemGradientFill() const { return m_pfnGradientFill != nullptr; }

  // Per channel trunc(f * A + (1 - f) * B), capped at 255.
  static COLORREF BlendColors(COLORREF clrA, COLORREF clrB, float fFactor);
  // 1 to 8 bits a pixel; a null DC asks the desktop's.
  static BOOL IsLowResolution(HDC hDC = nullptr);
  // Points in pairs (pixel, offset): the pixel becomes the mean of itself and the pixel at pixel + offset.
  static void BlendPixels(CDC* pDC, const POINT* pPoints, int nCount);
  static void ExcludeCorners(CDC* pDC, CRect rc);
  static void Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2);

  static CRect GetWorkArea(const RECT& rect);
  static CRect GetWorkArea(CWnd* pWnd);
  static CRect GetWorkArea(POINT point);
  static CRect GetWorkArea();

  static BOOL IsTopParentActive(HWND hWnd);
  // Left and right arrows swap in right-to-left windows.
  static void KeyToLayout(CWnd* pWnd, UINT& nChar);
  // Drops each '&' that marks a mnemonic; "&&" stays as one '&'.
  static void StripMnemonics(CString& str);
  static BOOL FontExists(LPCSTR lpszFaceName);
  static CString GetDefaultFontName(BOOL bPreferTahoma = TRUE);

private:
  using GradientFillFunction = BOOL (*)(HDC, TRIVERTEX*, ULONG, void*, ULONG, ULONG);
  HMODULE m_hMsImg32 = nullptr;
  GradientFillFunction m_pfnGradientFill = nullptr;
};

CTKDrawHelpers& TKDrawHelpers();

// Selects a font for the guard's life; a null font selects nothing and restores nothing.
class CTKFontDC {
public:
  CTKFontDC(CDC* pDC, CFont* pFont);
  virtual ~CTKFontDC();
  CTKFontDC(const CTKFontDC&) = delete;
  CTKFontDC& operator=(const CTKFontDC&) = delete;
  // Selects another font; the destructor still restores the one there before the guard.
  void SetFont(CFont* pFont);

private:
  HDC m_hDC;
  HGDIOBJ m_hOldFont = nullptr;
};

// A solid one-pixel pen, selected for the guard's life.
class CTKPenDC {
public:
  CTKPenDC(HDC hDC, COLORREF clr);
  virtual ~CTKPenDC();
  CTKPenDC(const CTKPenDC&) = delete;
  CTKPenDC& operator=(const CTKPenDC&) = delete;
  COLORREF GetColor() const;

private:
  HDC m_hDC;
  CPen m_pen;
  HGDIOBJ m_hOldPen = nullptr;
};

// A solid brush, selected for the guard's life; Color replaces it.
class CTKBrushDC {
public:
  CTKBrushDC(HDC hDC, COLORREF clr);
  virtual ~CTKBrushDC();
  CTKBrushDC(const CTKBrushDC&) = delete;
  CTKBrushDC& operator=(const CTKBrushDC&) = delete;
  void Color(COLORREF clr);

private:
  HDC m_hDC;
  CBrush m_brush;
  HGDIOBJ m_hOldBrush = nullptr;
};

// A memory DC compatible with pDC (the screen when null) with pBitmap selected.
class CTKCompatibleDC : public CDC {
public:
  CTKCompatibleDC(CDC* pDC, CBitmap* pBitmap);
  ~CTKCompatibleDC() override;

private:
  HGDIOBJ m_hOldBitmap = nullptr;
};

// Paints off screen in the target's own coordinates (the bitmap is rc.right x rc.bottom) and copies rc back
// when it goes.
class CTKBufferDC : public CDC {
public:
  CTKBufferDC(HDC hDestDC, CRect rc);
  ~CTKBufferDC() override;

private:
  HDC m_hDestDC;
  CBitmap m_bitmap;
  CRect m_rect;
  HGDIOBJ m_hOldBitmap = nullptr;
};

// Paints off screen with its origin at the rectangle's corner (the DC's clip box when rc is empty), optionally
// over a background gradient, and copies the whole back when it goes. Draws nothing when no DC could be made.
class CTKMemDC : public CDC {
public:
  CTKMemDC(CDC* pDC, const CRect& rc, CTKPaintManagerColorGradient grcBack = {}, BOOL bHorz = FALSE);
  ~CTKMemDC() override;
  BOOL IsValid() const { return m_bValid; }
  const CRect& GetRect() const { return m_rect; }

private:
  CDC* m_pDC;
  CRect m_rect;
  CBitmap m_bitmap;
  HGDIOBJ m_hOldBitmap = nullptr;
  BOOL m_bValid = FALSE;
};

// Rectangles of windows; empty when the handle is not a window.
CRect CTKEmptyRect();
CRect CTKWindowRect(HWND hWnd);
CRect CTKWindowRect(CWnd* pWnd);
CRect CTKClientRect(CWnd* pWnd);

// For tests: the msimg32 binding of the process-wide helpers made again, as at start-up.
void TKRebindDrawHelpersForTest();
