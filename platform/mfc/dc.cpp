#include "platform/mfc/dc.h"

#include "platform/mfc/wnd.h"

#include <memory>
#include <mutex>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace {

// DC objects that own their handle, by handle; process-wide and never destroyed, like the drawing objects'.
struct PermanentMap {
  std::mutex mutex;
  std::unordered_map<HDC, CDC*> dcs;
};

PermanentMap& Permanent()
{
  static PermanentMap* map = new PermanentMap;
  return *map;
}

// This thread's temporary DC objects; they never own their DC, so they forget it before they go.
struct TemporaryMap {
  std::unordered_map<HDC, std::unique_ptr<CDC>> dcs;
  ~TemporaryMap() { Clear(); }
  void Clear()
  {
    for (auto& [hDC, pDC] : dcs) {
      pDC->m_hDC = nullptr;
      pDC->m_hAttribDC = nullptr;
    }
    dcs.clear();
  }
};

thread_local TemporaryMap t_temporary;

HDC HandleOf(const CDC* pDC) { return pDC != nullptr ? pDC->m_hDC : nullptr; }

}  // namespace

CDC::~CDC()
{
  if (m_hDC != nullptr) {
    ::DeleteDC(Detach());
  }
}

CDC* CDC::FromHandle(HDC hDC)
{
  if (hDC == nullptr) {
    return nullptr;
  }
  {
    PermanentMap& p = Permanent();
    std::lock_guard lock(p.mutex);
    if (auto it = p.dcs.find(hDC); it != p.dcs.end()) {
      return it->second;
    }
  }
  auto& slot = t_temporary.dcs[hDC];
  if (!slot) {
    slot = std::make_unique<CDC>();
    slot->m_hDC = hDC;
    slot->m_hAttribDC = hDC;
  }
  return slot.get();
}

void CDC::DeleteTempMap() { t_temporary.Clear(); }

BOOL CDC::Attach(HDC hDC)
{
  if (hDC == nullptr || m_hDC != nullptr) {
    return FALSE;
  }
  m_hDC = hDC;
  SetAttribDC(hDC);
  PermanentMap& p = Permanent();
  std::lock_guard lock(p.mutex);
  p.dcs[hDC] = this;
  return TRUE;
}

HDC CDC::Detach()
{
  HDC hDC = m_hDC;
  if (hDC != nullptr) {
    PermanentMap& p = Permanent();
    std::lock_guard lock(p.mutex);
    if (auto it = p.dcs.find(hDC); it != p.dcs.end() && it->second == this) {
      p.dcs.erase(it);
    }
  }
  ReleaseAttribDC();
  ReleaseOutputDC();
  return hDC;
}

BOOL CDC::CreateDC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput, const void* lpInitData)
{
  HDC hDC = ::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, lpInitData);
  if (hDC != nullptr && !Attach(hDC)) {
    ::DeleteDC(hDC);  // this object already has a DC
    return FALSE;
  }
  return hDC != nullptr;
}

BOOL CDC::CreateIC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput, const void* lpInitData)
{
  HDC hDC = ::CreateICA(lpszDriverName, lpszDeviceName, lpszOutput, lpInitData);
  if (hDC != nullptr && !Attach(hDC)) {
    ::DeleteDC(hDC);
    return FALSE;
  }
  return hDC != nullptr;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
  HDC hDC = ::CreateCompatibleDC(HandleOf(pDC));
  if (hDC != nullptr && !Attach(hDC)) {
    ::DeleteDC(hDC);
    return FALSE;
  }
  return hDC != nullptr;
}

BOOL CDC::DeleteDC()
{
  if (m_hDC == nullptr) {
    return FALSE;
  }
  return ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

// ---- Drawing objects

HGDIOBJ CDC::SelectHandle(const CGdiObject* pObject)
{
  if (pObject == nullptr || m_hDC == nullptr) {
    return nullptr;
  }
  return ::SelectObject(m_hDC, pObject->m_hObject);
}

CPen* CDC::SelectObject(CPen* pPen) { return CPen::FromHandle(SelectHandle(pPen)); }
CBrush* CDC::SelectObject(CBrush* pBrush) { return CBrush::FromHandle(SelectHandle(pBrush)); }
CFont* CDC::SelectObject(CFont* pFont) { return CFont::FromHandle(SelectHandle(pFont)); }
CBitmap* CDC::SelectObject(CBitmap* pBitmap) { return CBitmap::FromHandle(SelectHandle(pBitmap)); }

int CDC::SelectObject(CRgn* pRgn)
{
  // Selecting a region answers the clip's kind, not a handle.
  return static_cast<int>(reinterpret_cast<LONG_PTR>(SelectHandle(pRgn)));
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) { return CGdiObject::FromHandle(SelectHandle(pObject)); }

CGdiObject* CDC::SelectStockObject(int nIndex)
{
  HGDIOBJ hObject = ::GetStockObject(nIndex);
  return hObject != nullptr ? CGdiObject::FromHandle(::SelectObject(m_hDC, hObject)) : nullptr;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
  return CPalette::FromHandle(
      ::SelectPalette(m_hDC, pPalette != nullptr ? pPalette->m_hObject : nullptr, bForceBackground));
}

// ---- Colours, modes, coordinates

CPoint CDC::SetBrushOrg(int x, int y)
{
  POINT previous{};
  ::SetBrushOrgEx(m_hDC, x, y, &previous);
  return previous;
}

CPoint CDC::GetBrushOrg() const
{
  POINT org{};
  ::GetBrushOrgEx(m_hAttribDC, &org);
  return org;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
  POINT previous{};
  ::SetViewportOrgEx(m_hDC, x, y, &previous);
  return previous;
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
  POINT previous{};
  ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &previous);
  return previous;
}

CPoint CDC::GetViewportOrg() const
{
  POINT org{};
  ::GetViewportOrgEx(m_hAttribDC, &org);
  return org;
}

CSize CDC::SetViewportExt(int cx, int cy)
{
  SIZE previous{};
  ::SetViewportExtEx(m_hDC, cx, cy, &previous);
  return previous;
}

CSize CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
  SIZE previous{};
  ::ScaleViewportExtEx(m_hDC, xNum, xDenom, yNum, yDenom, &previous);
  return previous;
}

CSize CDC::GetViewportExt() const
{
  SIZE ext{};
  ::GetViewportExtEx(m_hAttribDC, &ext);
  return ext;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
  POINT previous{};
  ::SetWindowOrgEx(m_hDC, x, y, &previous);
  return previous;
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
  POINT previous{};
  ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &previous);
  return previous;
}

CPoint CDC::GetWindowOrg() const
{
  POINT org{};
  ::GetWindowOrgEx(m_hAttribDC, &org);
  return org;
}

CSize CDC::SetWindowExt(int cx, int cy)
{
  SIZE previous{};
  ::SetWindowExtEx(m_hDC, cx, cy, &previous);
  return previous;
}

CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
  SIZE previous{};
  ::ScaleWindowExtEx(m_hDC, xNum, xDenom, yNum, yDenom, &previous);
  return previous;
}

CSize CDC::GetWindowExt() const
{
  SIZE ext{};
  ::GetWindowExtEx(m_hAttribDC, &ext);
  return ext;
}

// A size converts as the vector between two converted points, so origins drop out.
void CDC::DPtoLP(SIZE* lpSize) const
{
  POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
  ::DPtoLP(m_hAttribDC, points, 2);
  *lpSize = SIZE{points[1].x - points[0].x, points[1].y - points[0].y};
}

void CDC::LPtoDP(SIZE* lpSize) const
{
  POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
  ::LPtoDP(m_hAttribDC, points, 2);
  *lpSize = SIZE{points[1].x - points[0].x, points[1].y - points[0].y};
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
  return ::ExtSelectClipRgn(m_hDC, pRgn != nullptr ? pRgn->m_hObject : nullptr, nMode);
}

// ---- Lines

CPoint CDC::MoveTo(int x, int y)
{
  POINT previous{};
  ::MoveToEx(m_hDC, x, y, &previous);
  return previous;
}

CPoint CDC::GetCurrentPosition() const
{
  POINT position{};
  ::GetCurrentPositionEx(m_hAttribDC, &position);
  return position;
}

BOOL CDC::Arc(LPCRECT lpRect, POINT ptStart, POINT ptEnd)
{
  return Arc(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, ptStart.x, ptStart.y, ptEnd.x, ptEnd.y);
}

// ---- Rectangles

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
  ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
  const RECT rect{x, y, x + cx, y + cy};
  FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
  Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
             clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

// ---- Bitmaps

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
  return ::BitBlt(m_hDC, x, y, nWidth, nHeight, HandleOf(pSrcDC), xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
  return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, HandleOf(pSrcDC), xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}

BOOL CDC::MaskBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, CBitmap& maskBitmap,
                  int xMask, int yMask, DWORD dwRop)
{
  return ::MaskBlt(m_hDC, x, y, nWidth, nHeight, HandleOf(pSrcDC), xSrc, ySrc, maskBitmap.m_hObject, xMask, yMask,
                   dwRop);
}

BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         int nSrcWidth, int nSrcHeight, UINT clrTransparent)
{
  return ::TransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, HandleOf(pSrcDC), xSrc, ySrc, nSrcWidth,
                          nSrcHeight, clrTransparent);
}

BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend)
{
  return ::AlphaBlend(m_hDC, xDest, yDest, nDestWidth, nDestHeight, HandleOf(pSrcDC), xSrc, ySrc, nSrcWidth,
                      nSrcHeight, blend);
}

CBrush* CDC::GetHalftoneBrush()
{
  static CBrush* brush = [] {
    // Rows of alternating pixels, each row shifted by one: 0x55, 0xAA, ... (16-bit rows for CreateBitmap).
    WORD rows[8];
    for (int i = 0; i < 8; ++i) {
      rows[i] = static_cast<WORD>(0x5555 << (i & 1));
    }
    CBitmap pattern;
    pattern.CreateBitmap(8, 8, 1, 1, rows);
    auto* b = new CBrush;
    b->CreatePatternBrush(&pattern);
    return b;
  }();
  return brush;
}

namespace {

HBRUSH BrushOf(CBrush* pBrush) { return pBrush != nullptr ? pBrush->m_hObject : nullptr; }

}  // namespace

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush)
{
  return ::DrawStateA(m_hDC, BrushOf(pBrush), nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, size.cx,
                      size.cy, nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, CBrush* pBrush)
{
  return ::DrawStateA(m_hDC, BrushOf(pBrush), nullptr, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y, size.cx,
                      size.cy, nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush)
{
  return DrawState(pt, size, pBitmap != nullptr ? pBitmap->m_hObject : nullptr, nFlags, pBrush);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCSTR lpszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    CBrush* pBrush)
{
  return ::DrawStateA(m_hDC, BrushOf(pBrush), nullptr, reinterpret_cast<LPARAM>(lpszText),
                      static_cast<WPARAM>(nTextLen), pt.x, pt.y, size.cx, size.cy,
                      nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

// ---- Text

CSize CDC::GetTextExtent(LPCSTR lpszString, int nCount) const
{
  SIZE size{};
  ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
  return size;
}

CSize CDC::GetOutputTextExtent(LPCSTR lpszString, int nCount) const
{
  SIZE size{};
  ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
  return size;
}

int CDC::GetTextFace(CString& rString) const
{
  char face[LF_FACESIZE] = {};
  const int length = ::GetTextFaceA(m_hAttribDC, LF_FACESIZE, face);
  rString = face;
  return length;
}

int CDC::StartDoc(LPCSTR lpszDocName)
{
  DOCINFOA info;
  info.lpszDocName = lpszDocName;
  return StartDoc(&info);
}

// ---- Window DCs

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr)
{
  // A window that cannot begin painting leaves this DC empty; drawing on it then does nothing.
  Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
  if (m_hDC != nullptr) {
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
  }
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC()
{
  if (m_hDC != nullptr) {
    ::ReleaseDC(m_hWnd, Detach());
  }
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr)
{
  Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
  if (m_hDC != nullptr) {
    ::ReleaseDC(m_hWnd, Detach());
  }
}
