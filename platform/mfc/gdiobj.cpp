#include "platform/mfc/gdiobj.h"

#include "platform/mfc-core/resources.h"
#include "platform/mfc/dc.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNCREATE(CPen, CGdiObject)
IMPLEMENT_DYNCREATE(CBrush, CGdiObject)
IMPLEMENT_DYNCREATE(CFont, CGdiObject)
IMPLEMENT_DYNCREATE(CBitmap, CGdiObject)
IMPLEMENT_DYNCREATE(CRgn, CGdiObject)
IMPLEMENT_DYNCREATE(CPalette, CGdiObject)

namespace {

// Objects that own their handle, by handle. Process-wide and never destroyed: objects with static storage
// (a cached font, say) detach themselves after the thread's own storage is gone.
struct PermanentMap {
  std::mutex mutex;
  std::unordered_map<HGDIOBJ, CGdiObject*> objects;
};

PermanentMap& Permanent()
{
  static PermanentMap* map = new PermanentMap;
  return *map;
}

CGdiObject* FindPermanent(HGDIOBJ hObject)
{
  PermanentMap& p = Permanent();
  std::lock_guard lock(p.mutex);
  auto it = p.objects.find(hObject);
  return it != p.objects.end() ? it->second : nullptr;
}

// The temporary objects of a thread, several per handle when asked for as different classes. A temporary
// object never owns its handle, so it forgets it before it goes.
struct TemporaryMap {
  std::unordered_multimap<HGDIOBJ, std::unique_ptr<CGdiObject>> objects;
  ~TemporaryMap() { Clear(); }
  void Clear()
  {
    for (auto& [hObject, pObject] : objects) {
      pObject->m_hObject = nullptr;
    }
    objects.clear();
  }
};

thread_local TemporaryMap t_temporary;

CGdiObject* NewOfKind(HGDIOBJ hObject)
{
  switch (::GetObjectType(hObject)) {
  case OBJ_PEN:
    return new CPen;
  case OBJ_BRUSH:
    return new CBrush;
  case OBJ_FONT:
    return new CFont;
  case OBJ_BITMAP:
    return new CBitmap;
  case OBJ_REGION:
    return new CRgn;
  case OBJ_PAL:
    return new CPalette;
  default:
    return new CGdiObject;
  }
}

// The screen's DC, for conversions asked of no DC.
class ScreenDC {
public:
  ScreenDC() : hDC_(::GetDC(nullptr)) {}
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  ~ScreenDC() { ::ReleaseDC(nullptr, hDC_); }
  HDC get() const { return hDC_; }

private:
  HDC hDC_;
};

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject)
{
  if (hObject == nullptr) {
    return nullptr;
  }
  if (CGdiObject* pObject = FindPermanent(hObject)) {
    return pObject;
  }
  if (auto it = t_temporary.objects.find(hObject); it != t_temporary.objects.end()) {
    return it->second.get();
  }
  return AddTemporary(hObject, NewOfKind(hObject));
}

CGdiObject* CGdiObject::FindTemporary(HGDIOBJ hObject, const CRuntimeClass* pClass)
{
  auto [first, last] = t_temporary.objects.equal_range(hObject);
  for (auto it = first; it != last; ++it) {
    if (it->second->IsKindOf(pClass)) {
      return it->second.get();
    }
  }
  return nullptr;
}

CGdiObject* CGdiObject::AddTemporary(HGDIOBJ hObject, CGdiObject* pObject)
{
  pObject->m_hObject = hObject;
  t_temporary.objects.emplace(hObject, std::unique_ptr<CGdiObject>(pObject));
  return pObject;
}

template <class T>
T* CGdiObject::FromHandleAs(HGDIOBJ hObject)
{
  if (hObject == nullptr) {
    return nullptr;
  }
  if (T* pObject = dynamic_cast<T*>(FindPermanent(hObject))) {
    return pObject;
  }
  if (CGdiObject* pObject = FindTemporary(hObject, T::GetThisClass())) {
    return static_cast<T*>(pObject);
  }
  return static_cast<T*>(AddTemporary(hObject, new T));
}

void CGdiObject::DeleteTempMap() { t_temporary.Clear(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
  if (hObject == nullptr || m_hObject != nullptr) {
    return FALSE;
  }
  m_hObject = hObject;
  PermanentMap& p = Permanent();
  std::lock_guard lock(p.mutex);
  p.objects[hObject] = this;
  return TRUE;
}

BOOL CGdiObject::AttachCreated(HGDIOBJ hObject)
{
  if (Attach(hObject)) {
    return TRUE;
  }
  if (hObject != nullptr) {
    ::DeleteObject(hObject);  // this object already had one: the new handle would be lost
  }
  return FALSE;
}

HGDIOBJ CGdiObject::Detach()
{
  HGDIOBJ hObject = m_hObject;
  if (hObject != nullptr) {
    PermanentMap& p = Permanent();
    std::lock_guard lock(p.mutex);
    if (auto it = p.objects.find(hObject); it != p.objects.end() && it->second == this) {
      p.objects.erase(it);
    }
  }
  m_hObject = nullptr;
  return hObject;
}

BOOL CGdiObject::DeleteObject()
{
  if (m_hObject == nullptr) {
    return FALSE;
  }
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

// ---- Pens

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }

CPen::CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
  CreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle);
}

CPen* CPen::FromHandle(HPEN hPen) { return FromHandleAs<CPen>(hPen); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
  return AttachCreated(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
  return AttachCreated(::ExtCreatePen(static_cast<DWORD>(nPenStyle), static_cast<DWORD>(nWidth), pLogBrush,
                                      static_cast<DWORD>(nStyleCount), lpStyle));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* lpLogPen) { return AttachCreated(::CreatePenIndirect(lpLogPen)); }

// ---- Brushes

CBrush::CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
CBrush::CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
CBrush::CBrush(CBitmap* pBitmap) { CreatePatternBrush(pBitmap); }

CBrush* CBrush::FromHandle(HBRUSH hBrush) { return FromHandleAs<CBrush>(hBrush); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return AttachCreated(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor)
{
  return AttachCreated(::CreateHatchBrush(nIndex, crColor));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
  return pBitmap != nullptr && AttachCreated(::CreatePatternBrush(pBitmap->m_hObject));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush)
{
  return AttachCreated(::CreateBrushIndirect(lpLogBrush));
}

BOOL CBrush::CreateDIBPatternBrush(const void* lpPackedDIB, UINT nUsage)
{
  return AttachCreated(::CreateDIBPatternBrushPt(lpPackedDIB, nUsage));
}

BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }

// ---- Fonts

CFont* CFont::FromHandle(HFONT hFont) { return FromHandleAs<CFont>(hFont); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) { return AttachCreated(::CreateFontIndirectA(lpLogFont)); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename)
{
  return AttachCreated(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                                     cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily,
                                     lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC)
{
  LOGFONTA logFont;
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfHeight = nPointSize;
  if (lpszFaceName != nullptr) {
    std::strncpy(logFont.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
  }
  return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC)
{
  if (lpLogFont == nullptr) {
    return FALSE;
  }
  std::optional<ScreenDC> screen;
  HDC hDC = pDC != nullptr ? pDC->m_hAttribDC : screen.emplace().get();
  // Tenths of a point to device pixels (72 points an inch), rounded, then to the DC's logical units.
  const long long tenths = static_cast<long long>(::GetDeviceCaps(hDC, LOGPIXELSY)) * lpLogFont->lfHeight;
  POINT height{0, static_cast<LONG>((tenths + (tenths >= 0 ? 360 : -360)) / 720)};
  POINT origin{0, 0};
  ::DPtoLP(hDC, &height, 1);
  ::DPtoLP(hDC, &origin, 1);
  LOGFONTA logFont = *lpLogFont;
  logFont.lfHeight = -std::abs(height.y - origin.y);
  return CreateFontIndirect(&logFont);
}

// ---- Bitmaps

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return FromHandleAs<CBitmap>(hBitmap); }

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
  return LoadBitmap(MAKEINTRESOURCE(static_cast<WORD>(nIDResource)));
}

BOOL CBitmap::LoadBitmap(LPCSTR lpszResourceName)
{
  return AttachCreated(::LoadBitmap(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
  return AttachCreated(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(const BITMAP* lpBitmap) { return AttachCreated(::CreateBitmapIndirect(lpBitmap)); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
  return pDC != nullptr && AttachCreated(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits)
{
  return static_cast<DWORD>(::SetBitmapBits(m_hObject, dwCount, lpBits));
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
  return static_cast<DWORD>(::GetBitmapBits(m_hObject, static_cast<LONG>(dwCount), lpBits));
}

CSize CBitmap::SetBitmapDimension(int nWidth, int nHeight)
{
  SIZE previous{};
  ::SetBitmapDimensionEx(m_hObject, nWidth, nHeight, &previous);
  return previous;
}

CSize CBitmap::GetBitmapDimension() const
{
  SIZE size{};
  ::GetBitmapDimensionEx(m_hObject, &size);
  return size;
}

// ---- Regions

CRgn* CRgn::FromHandle(HRGN hRgn) { return FromHandleAs<CRgn>(hRgn); }

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return AttachCreated(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return AttachCreated(::CreateRectRgnIndirect(lpRect)); }
BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
  return AttachCreated(::CreateEllipticRgn(x1, y1, x2, y2));
}
BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect) { return AttachCreated(::CreateEllipticRgnIndirect(lpRect)); }

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
{
  return AttachCreated(::CreatePolygonRgn(lpPoints, nCount, nMode));
}

BOOL CRgn::CreatePolyPolygonRgn(const POINT* lpPoints, const int* lpPolyCounts, int nCount, int nPolyFillMode)
{
  return AttachCreated(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
  return AttachCreated(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreateFromPath(CDC* pDC) { return pDC != nullptr && AttachCreated(::PathToRegion(pDC->m_hDC)); }

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
  return ::CombineRgn(m_hObject, pRgn1 != nullptr ? pRgn1->m_hObject : nullptr,
                      pRgn2 != nullptr ? pRgn2->m_hObject : nullptr, nCombineMode);
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const { return pRgn != nullptr && ::EqualRgn(m_hObject, pRgn->m_hObject); }

// ---- Palettes

CPalette* CPalette::FromHandle(HPALETTE hPalette) { return FromHandleAs<CPalette>(hPalette); }

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette) { return AttachCreated(::CreatePalette(lpLogPalette)); }

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
  return AttachCreated(::CreateHalftonePalette(pDC != nullptr ? pDC->m_hDC : nullptr));
}

int CPalette::GetEntryCount() const
{
  WORD count = 0;
  return GetObject(sizeof(count), &count) != 0 ? count : 0;
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, PALETTEENTRY* lpPaletteColors) const
{
  return ::GetPaletteEntries(m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}
