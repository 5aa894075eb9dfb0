// The framework's drawing objects: CGdiObject and its kinds (CPen, CBrush, CFont, CBitmap, CRgn, CPalette).
// An object made with a Create* call or Attach owns its handle and deletes it when it goes; FromHandle gives a
// temporary object that only names a handle and is freed at idle time, so it is to be used at once.
#pragma once

#include "platform/gdi/windraw.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"
#include "platform/mfc/types.h"

class CDC;

class CGdiObject : public CObject {
  DECLARE_DYNCREATE(CGdiObject)
public:
  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  ~CGdiObject() override;

  HGDIOBJ m_hObject = nullptr;
  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }

  // The object attached to the handle, or a temporary one of the handle's kind.
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  // Frees this thread's temporary objects (the application does it at idle time).
  static void DeleteTempMap();

  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  // Deletes the handle (stock objects stay) and forgets it.
  BOOL DeleteObject();
  BOOL CreateStockObject(int nIndex);
  BOOL UnrealizeObject() { return ::UnrealizeObject(m_hObject); }
  int GetObject(int nCount, LPVOID lpObject) const { return ::GetObject(m_hObject, nCount, lpObject); }
  UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }

  BOOL operator==(const CGdiObject& other) const { return m_hObject == other.m_hObject; }

protected:
  // A temporary object of class T for the handle: the attached object when it is a T, else one from this
  // thread's temporary map.
  template <class T>
  static T* FromHandleAs(HGDIOBJ hObject);
  static CGdiObject* FindTemporary(HGDIOBJ hObject, const CRuntimeClass* pClass);
  // Attach for a handle just created: deleted again when this object already has one.
  BOOL AttachCreated(HGDIOBJ hObject);
  static CGdiObject* AddTemporary(HGDIOBJ hObject, CGdiObject* pObject);
};

class CPen : public CGdiObject {
  DECLARE_DYNCREATE(CPen)
public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor);
  CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0, const DWORD* lpStyle = nullptr);

  static CPen* FromHandle(HPEN hPen);
  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
  BOOL CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0,
                 const DWORD* lpStyle = nullptr);
  BOOL CreatePenIndirect(const LOGPEN* lpLogPen);
  int GetLogPen(LOGPEN* pLogPen) const { return GetObject(sizeof(LOGPEN), pLogPen); }
};

class CBitmap;

class CBrush : public CGdiObject {
  DECLARE_DYNCREATE(CBrush)
public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor);
  CBrush(int nIndex, COLORREF crColor);  // hatched
  explicit CBrush(CBitmap* pBitmap);

  static CBrush* FromHandle(HBRUSH hBrush);
  BOOL CreateSolidBrush(COLORREF crColor);
  BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
  BOOL CreatePatternBrush(CBitmap* pBitmap);
  BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
  BOOL CreateDIBPatternBrush(const void* lpPackedDIB, UINT nUsage);
  // The system's brush of a colour index: a stock object, which DeleteObject leaves alone.
  BOOL CreateSysColorBrush(int nIndex);
  int GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }
};

class CFont : public CGdiObject {
  DECLARE_DYNCREATE(CFont)
public:
  static CFont* FromHandle(HFONT hFont);
  BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                  BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                  BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename);
  // nPointSize in tenths of a point, turned into the logical height of that size on pDC (the screen when null).
  BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC = nullptr);
  // The same with the LOGFONT's lfHeight in tenths of a point.
  BOOL CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC = nullptr);
  int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }
};

class CBitmap : public CGdiObject {
  DECLARE_DYNCREATE(CBitmap)
public:
  static CBitmap* FromHandle(HBITMAP hBitmap);
  // A bitmap resource of the application's resource module; FALSE when it has none of that name.
  BOOL LoadBitmap(UINT nIDResource);
  BOOL LoadBitmap(LPCSTR lpszResourceName);
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
  BOOL CreateBitmapIndirect(const BITMAP* lpBitmap);
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight)
  {
    return CreateCompatibleBitmap(pDC, nWidth, nHeight);
  }
  int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
  DWORD SetBitmapBits(DWORD dwCount, const void* lpBits);
  DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const;
  CSize SetBitmapDimension(int nWidth, int nHeight);
  CSize GetBitmapDimension() const;
};

class CRgn : public CGdiObject {
  DECLARE_DYNCREATE(CRgn)
public:
  static CRgn* FromHandle(HRGN hRgn);
  BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
  BOOL CreateRectRgnIndirect(LPCRECT lpRect);
  BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
  BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
  BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode);
  BOOL CreatePolyPolygonRgn(const POINT* lpPoints, const int* lpPolyCounts, int nCount, int nPolyFillMode);
  BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);
  BOOL CreateFromPath(CDC* pDC);
  // Combines into this region, which must exist already; answers the region's kind or ERROR.
  int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
  int CopyRgn(const CRgn* pRgnSrc) { return CombineRgn(pRgnSrc, nullptr, RGN_COPY); }
  BOOL EqualRgn(const CRgn* pRgn) const;
  int OffsetRgn(int x, int y) { return ::OffsetRgn(m_hObject, x, y); }
  int OffsetRgn(POINT point) { return OffsetRgn(point.x, point.y); }
  int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox(m_hObject, lpRect); }
  void SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn(m_hObject, x1, y1, x2, y2); }
  void SetRectRgn(LPCRECT lpRect) { SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(m_hObject, x, y); }
  BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
  BOOL RectInRegion(LPCRECT lpRect) const { return ::RectInRegion(m_hObject, lpRect); }
};

class CPalette : public CGdiObject {
  DECLARE_DYNCREATE(CPalette)
public:
  static CPalette* FromHandle(HPALETTE hPalette);
  BOOL CreatePalette(const LOGPALETTE* lpLogPalette);
  BOOL CreateHalftonePalette(CDC* pDC);
  int GetEntryCount() const;
  UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, PALETTEENTRY* lpPaletteColors) const;
};
