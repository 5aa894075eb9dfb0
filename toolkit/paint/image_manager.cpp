#include "toolkit/paint/image_manager.h"

#include "platform/gdi/imagelist.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/system.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/visual_styles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr COLORREF kNoColor = static_cast<COLORREF>(-1);

// A 32-bit bottom-up DIB section and its pixel bytes.
HBITMAP CreateAlphaSection(int cx, int cy, BYTE** ppBits)
{
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = cx;
  info.bmiHeader.biHeight = cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  *ppBits = static_cast<BYTE*>(bits);
  return bitmap;
}

// The pixel bytes of a 32-bit DIB section, or null for any other bitmap.
BYTE* SectionBits(HBITMAP hBitmap, DIBSECTION* pSection)
{
  if (hBitmap == nullptr || GetObject(hBitmap, sizeof(DIBSECTION), pSection) != sizeof(DIBSECTION) ||
      pSection->dsBm.bmBitsPixel != 32 || pSection->dsBm.bmBits == nullptr) {
    return nullptr;
  }
  return static_cast<BYTE*>(pSection->dsBm.bmBits);
}

// A copy of a 32-bit section whose colour bytes go through recolour(blue, green, red); alpha stays.
template <typename Recolour>
HBITMAP RecolourAlphaBitmap(HBITMAP hBitmap, Recolour recolour)
{
  HBITMAP copy = CTKImageManagerIcon::CopyAlphaBitmap(hBitmap);
  DIBSECTION section{};
  BYTE* bits = SectionBits(copy, &section);
  if (bits == nullptr) {
    return copy;
  }
  const size_t count = static_cast<size_t>(section.dsBm.bmWidth) * std::abs(section.dsBm.bmHeight);
  for (size_t i = 0; i < count; ++i) {
    recolour(bits[i * 4], bits[i * 4 + 1], bits[i * 4 + 2]);
  }
  return copy;
}

// A new icon whose opaque pixels (black in the mask) went through recolour; the mask stays. Null when the icon
// cannot be taken apart.
template <typename Recolour>
HICON RecolourIcon(HICON hIcon, Recolour recolour)
{
  ICONINFO info{};
  if (hIcon == nullptr || !GetIconInfo(hIcon, &info)) {
    return nullptr;
  }
  HICON result = nullptr;
  if (info.hbmColor != nullptr && info.hbmMask != nullptr) {
    BITMAP bm{};
    GetObject(info.hbmColor, sizeof(BITMAP), &bm);
    HDC colorDC = CreateCompatibleDC(nullptr);
    HDC maskDC = CreateCompatibleDC(nullptr);
    HGDIOBJ oldColor = SelectObject(colorDC, info.hbmColor);
    HGDIOBJ oldMask = SelectObject(maskDC, info.hbmMask);
    for (int y = 0; y < bm.bmHeight; ++y) {
      for (int x = 0; x < bm.bmWidth; ++x) {
        if (GetPixel(maskDC, x, y) != RGB(0, 0, 0)) {
          continue;
        }
        const COLORREF clr = GetPixel(colorDC, x, y);
        BYTE blue = GetBValue(clr);
        BYTE green = GetGValue(clr);
        BYTE red = GetRValue(clr);
        recolour(blue, green, red);
        SetPixelV(colorDC, x, y, RGB(red, green, blue));
      }
    }
    SelectObject(colorDC, oldColor);
    SelectObject(maskDC, oldMask);
    DeleteDC(colorDC);
    DeleteDC(maskDC);
    result = CreateIconIndirect(&info);
  }
  if (info.hbmColor != nullptr) {
    DeleteObject(info.hbmColor);
  }
  if (info.hbmMask != nullptr) {
    DeleteObject(info.hbmMask);
  }
  return result;
}

// Makes a derived image of source into target (owned) through recolour; an empty source leaves target empty.
template <typename Recolour>
void Derive(const CTKImageManagerIconHandle& source, CTKImageManagerIconHandle& target, Recolour recolour)
{
  target.Clear();
  if (source.GetBitmap() != nullptr) {
    if (HBITMAP bitmap = RecolourAlphaBitmap(source.GetBitmap(), recolour)) {
      target.SetBitmap(bitmap);
    }
  } else if (source.GetIcon() != nullptr) {
    if (HICON icon = RecolourIcon(source.GetIcon(), recolour)) {
      target.SetIcon(icon);
    }
  }
}

BYTE Truncate(double value)
{
  return static_cast<BYTE>(std::clamp(std::trunc(value), 0.0, 255.0));
}

double Luminance(BYTE blue, BYTE green, BYTE red)
{
  return (0.299 * red + 0.587 * green + 0.114 * blue) / 255.0;
}

}  // namespace

// ---- CTKImageManagerIconHandle

CTKImageManagerIconHandle::CTKImageManagerIconHandle(const CTKImageManagerIconHandle& other)
    : m_hIcon(other.m_hIcon), m_hBitmap(other.m_hBitmap)
{
}

void CTKImageManagerIconHandle::Clear()
{
  if (m_bOwns) {
    if (m_hIcon != nullptr) {
      DestroyIcon(m_hIcon);
    }
    if (m_hBitmap != nullptr) {
      DeleteObject(m_hBitmap);
    }
  }
  if (m_hPreMultiplied != nullptr) {
    DeleteObject(m_hPreMultiplied);
  }
  m_hIcon = nullptr;
  m_hBitmap = nullptr;
  m_hPreMultiplied = nullptr;
}

void CTKImageManagerIconHandle::SetIcon(HICON hIcon)
{
  Clear();
  m_hIcon = hIcon;
  m_bOwns = TRUE;
}

void CTKImageManagerIconHandle::SetBitmap(HBITMAP hBitmap)
{
  Clear();
  m_hBitmap = hBitmap;
  m_bOwns = TRUE;
}

void CTKImageManagerIconHandle::SetAlphaBitmap(HBITMAP hBitmap)
{
  SetBitmap(CTKImageManagerIcon::CopyAlphaBitmap(hBitmap));
}

void CTKImageManagerIconHandle::Copy(const CTKImageManagerIconHandle& other)
{
  if (&other == this) {
    return;
  }
  Clear();
  if (other.m_hIcon != nullptr) {
    m_hIcon = CopyIcon(other.m_hIcon);
  } else if (other.m_hBitmap != nullptr) {
    m_hBitmap = CTKImageManagerIcon::CopyAlphaBitmap(other.m_hBitmap);
  }
  m_bOwns = TRUE;
}

CSize CTKImageManagerIconHandle::GetExtent() const
{
  if (m_hIcon != nullptr) {
    return CTKImageManagerIcon::GetIconSize(m_hIcon);
  }
  if (m_hBitmap != nullptr) {
    BITMAP bm{};
    GetObject(m_hBitmap, sizeof(BITMAP), &bm);
    return CSize(bm.bmWidth, std::abs(bm.bmHeight));
  }
  return CSize(0, 0);
}

HBITMAP CTKImageManagerIconHandle::GetPreMultipliedBitmap() const
{
  if (m_hPreMultiplied == nullptr) {
    if (m_hBitmap != nullptr) {
      m_hPreMultiplied = CTKImageManagerIcon::PreMultiplyAlphaBitmap(m_hBitmap);
    } else if (m_hIcon != nullptr) {
      ICONINFO info{};
      if (GetIconInfo(m_hIcon, &info)) {
        m_hPreMultiplied = CTKImageManagerIcon::PreMultiplyAlphaBitmap(info.hbmColor);
        if (info.hbmColor != nullptr) {
          DeleteObject(info.hbmColor);
        }
        if (info.hbmMask != nullptr) {
          DeleteObject(info.hbmMask);
        }
      }
    }
  }
  return m_hPreMultiplied;
}

// ---- CTKImageManagerIcon

CTKImageManagerIcon::CTKImageManagerIcon(UINT nId, int nWidth, CTKImageManagerIconSet* pIconSet)
    : m_nId(nId), m_nWidth(nWidth), m_pIconSet(pIconSet)
{
}

void CTKImageManagerIcon::ClearDerived()
{
  m_hFaded.Clear();
  m_hShadow.Clear();
  m_hDisabledAuto.Clear();
}

void CTKImageManagerIcon::SetIcon(const CTKImageManagerIconHandle& handle)
{
  for (CTKImageManagerIconHandle* slot :
       {&m_hNormal, &m_hFaded, &m_hShadow, &m_hHot, &m_hChecked, &m_hDisabled, &m_hDisabledAuto}) {
    slot->Clear();
  }
  m_hNormal.Copy(handle);
  const CSize extent = m_hNormal.GetExtent();
  m_nWidth = extent.cx;
  m_nHeight = extent.cy;
  m_bScaled = FALSE;
  if (m_pIconSet != nullptr) {
    m_pIconSet->RefreshIcons();
  }
}

void CTKImageManagerIcon::SetHotIcon(const CTKImageManagerIconHandle& handle)
{
  ClearDerived();
  m_hHot.Copy(handle);
}

void CTKImageManagerIcon::SetCheckedIcon(const CTKImageManagerIconHandle& handle)
{
  ClearDerived();
  m_hChecked.Copy(handle);
}

void CTKImageManagerIcon::SetDisabledIcon(const CTKImageManagerIconHandle& handle)
{
  ClearDerived();
  m_hDisabled.Copy(handle);
}

CTKImageManagerIconHandle& CTKImageManagerIcon::GetHotIcon()
{
  return m_hHot.IsEmpty() ? m_hNormal : m_hHot;
}

CTKImageManagerIconHandle& CTKImageManagerIcon::GetCheckedIcon()
{
  return m_hChecked.IsEmpty() ? GetHotIcon() : m_hChecked;
}

CTKImageManagerIconHandle& CTKImageManagerIcon::GetFadedIcon()
{
  if (m_hFaded.IsEmpty()) {
    if (m_hNormal.IsAlpha()) {
      Derive(m_hNormal, m_hFaded, [](BYTE& b, BYTE& g, BYTE& r) {
        b = Truncate(b * 0.7 + 76.5);
        g = Truncate(g * 0.7 + 76.5);
        r = Truncate(r * 0.7 + 76.5);
      });
    } else if (CTKDrawHelpers::IsLowResolution()) {
      m_hFaded.Copy(m_hNormal);
    } else {
      Derive(m_hNormal, m_hFaded, [](BYTE& b, BYTE& g, BYTE& r) {
        b = Truncate(0.3 * 255 + 0.7 * b);
        g = Truncate(0.3 * 255 + 0.7 * g);
        r = Truncate(0.3 * 255 + 0.7 * r);
      });
    }
  }
  return m_hFaded;
}

CTKImageManagerIconHandle& CTKImageManagerIcon::GetShadowIcon()
{
  if (m_hShadow.IsEmpty()) {
    const COLORREF clr = TKColorManager().GetColor(31);
    const BYTE red = Truncate(GetRValue(clr) * 0.75);
    const BYTE green = Truncate(GetGValue(clr) * 0.75);
    const BYTE blue = Truncate(GetBValue(clr) * 0.75);
    Derive(GetHotIcon(), m_hShadow, [&](BYTE& b, BYTE& g, BYTE& r) {
      b = blue;
      g = green;
      r = red;
    });
  }
  return m_hShadow;
}

CTKImageManagerIconHandle& CTKImageManagerIcon::GetDisabledIcon(BOOL bCreate)
{
  if (!m_hDisabled.IsEmpty()) {
    return m_hDisabled;
  }
  if (m_hDisabledAuto.IsEmpty() && bCreate) {
    CreateDisabledIcon();
  }
  return m_hDisabledAuto;
}

void CTKImageManagerIcon::CreateDisabledIcon(COLORREF clrLight, COLORREF clrDark)
{
  if (!m_hDisabledAuto.IsEmpty()) {
    return;
  }
  if (clrLight == kNoColor || clrDark == kNoColor) {
    Derive(m_hNormal, m_hDisabledAuto, [](BYTE& b, BYTE& g, BYTE& r) {
      const BYTE grey = Truncate(std::sqrt(Luminance(b, g, r)) * 255.0);
      b = g = r = grey;
    });
    return;
  }
  Derive(m_hNormal, m_hDisabledAuto, [&](BYTE& b, BYTE& g, BYTE& r) {
    const double l = Luminance(b, g, r);
    const auto mix = [&](BYTE light, BYTE dark) { return Truncate(light * l + dark * (1.0 - l)); };
    r = mix(GetRValue(clrLight), GetRValue(clrDark));
    g = mix(GetGValue(clrLight), GetGValue(clrDark));
    b = mix(GetBValue(clrLight), GetBValue(clrDark));
  });
}

void CTKImageManagerIcon::DrawImage(CDC* pDC, CPoint pt, const CTKImageManagerIconHandle& handle, int cx, int cy)
{
  if (cx == 0) {
    cx = m_nWidth;
  }
  if (cy == 0) {
    cy = m_nWidth != 0 ? cx * m_nHeight / m_nWidth : m_nHeight;
  }
  if (handle.GetIcon() != nullptr) {
    DrawIconEx(pDC->GetSafeHdc(), pt.x, pt.y, handle.GetIcon(), cx, cy, 0, nullptr, DI_NORMAL);
  } else if (handle.GetBitmap() != nullptr) {
    DrawAlphaBitmap(pDC, handle.GetPreMultipliedBitmap(), pt.x, pt.y, cx, cy, 0, 0, m_nWidth, m_nHeight);
  }
}

void CTKImageManagerIcon::DrawMono(CDC* pDC, CPoint pt, const CTKImageManagerIconHandle& handle, COLORREF clr)
{
  if (handle.GetIcon() == nullptr) {
    return;
  }
  CBrush brush;
  brush.CreateSolidBrush(clr);
  pDC->DrawState(pt, CSize(0, 0), handle.GetIcon(), DST_ICON | DSS_MONO, &brush);
}

CTKImageManagerIcon* CTKImageManagerIcon::Scale(int cxNew)
{
  auto* scaled = new CTKImageManagerIcon(m_nId, cxNew, m_pIconSet);
  scaled->m_nHeight = m_nWidth != 0 ? MulDiv(m_nHeight, cxNew, m_nWidth) : m_nHeight;
  const std::pair<CTKImageManagerIconHandle*, CTKImageManagerIconHandle*> slots[] = {
      {&m_hNormal, &scaled->m_hNormal},
      {&m_hDisabled, &scaled->m_hDisabled},
      {&m_hHot, &scaled->m_hHot},
      {&m_hChecked, &scaled->m_hChecked}};
  for (const auto& [from, to] : slots) {
    if (from->GetIcon() != nullptr) {
      if (HICON icon = ScaleIcon(from->GetIcon(), m_nWidth, m_nHeight, cxNew)) {
        to->SetIcon(icon);
      }
    }
  }
  return scaled;
}

CSize CTKImageManagerIcon::GetIconSize(HICON hIcon)
{
  ICONINFO info{};
  if (hIcon == nullptr || !GetIconInfo(hIcon, &info)) {
    return CSize(0, 0);
  }
  BITMAP bm{};
  if (info.hbmMask != nullptr) {
    GetObject(info.hbmMask, sizeof(BITMAP), &bm);
  }
  CSize size(bm.bmWidth, std::abs(bm.bmHeight));
  if (info.hbmColor == nullptr) {
    size.cy /= 2;  // a monochrome icon's mask holds the AND and the XOR halves
  } else {
    DeleteObject(info.hbmColor);
  }
  if (info.hbmMask != nullptr) {
    DeleteObject(info.hbmMask);
  }
  return size;
}

HICON CTKImageManagerIcon::ScaleIcon(HICON hIcon, int cxOld, int cyOld, int cxNew)
{
  if (cxNew == 0 || (cxOld == 0 && cyOld == 0) || hIcon == nullptr) {
    return nullptr;
  }
  if (cxNew == cxOld) {
    return CopyIcon(hIcon);
  }
  const int cyNew = MulDiv(cyOld, cxNew, cxOld);
  HIMAGELIST list = ImageList_Create(cxNew, cyNew, ILC_COLOR32 | ILC_MASK, 1, 1);
  if (list == nullptr) {
    return nullptr;
  }
  HICON result = nullptr;
  if (ImageList_AddIcon(list, hIcon) >= 0) {
    result = ImageList_GetIcon(list, 0, ILD_NORMAL);
  }
  ImageList_Destroy(list);
  return result;
}

HBITMAP CTKImageManagerIcon::CopyAlphaBitmap(HBITMAP hBitmap)
{
  DIBSECTION section{};
  const BYTE* source = SectionBits(hBitmap, &section);
  if (source == nullptr) {
    return nullptr;
  }
  BYTE* bits = nullptr;
  BITMAPINFO info{};
  info.bmiHeader = section.dsBmih;
  void* pv = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pv, nullptr, 0);
  bits = static_cast<BYTE*>(pv);
  if (copy == nullptr || bits == nullptr) {
    return copy;
  }
  std::memcpy(bits, source,
              static_cast<size_t>(section.dsBm.bmWidth) * std::abs(section.dsBm.bmHeight) * 4);
  return copy;
}

HBITMAP CTKImageManagerIcon::PreMultiplyAlphaBitmap(HBITMAP hBitmap)
{
  HBITMAP copy = CopyAlphaBitmap(hBitmap);
  DIBSECTION section{};
  BYTE* bits = SectionBits(copy, &section);
  if (bits == nullptr) {
    return copy;
  }
  const size_t count = static_cast<size_t>(section.dsBm.bmWidth) * std::abs(section.dsBm.bmHeight);
  for (size_t i = 0; i < count; ++i) {
    BYTE* pixel = bits + i * 4;
    const unsigned alpha = pixel[3];
    for (int c = 0; c < 3; ++c) {
      pixel[c] = static_cast<BYTE>(pixel[c] * alpha / 255);
    }
  }
  return copy;
}

BOOL CTKImageManagerIcon::GetBitmapBits(CDC* pDC, HBITMAP hBitmap, BITMAPINFO** ppbmi, BYTE** ppBits, UINT* pnSize)
{
  BITMAP bm{};
  if (hBitmap == nullptr || GetObject(hBitmap, sizeof(BITMAP), &bm) == 0 || bm.bmBitsPixel != 32) {
    return FALSE;
  }
  const UINT size = static_cast<UINT>(bm.bmWidth) * std::abs(bm.bmHeight) * 4;
  auto info = std::make_unique<BITMAPINFO>();
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = bm.bmWidth;
  info->bmiHeader.biHeight = bm.bmHeight;
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = 32;
  info->bmiHeader.biCompression = BI_RGB;
  info->bmiHeader.biSizeImage = size;
  auto bits = std::make_unique<BYTE[]>(size);
  HDC dc = pDC != nullptr ? pDC->GetSafeHdc() : GetDC(nullptr);
  const int lines = GetDIBits(dc, hBitmap, 0, std::abs(bm.bmHeight), bits.get(), info.get(), DIB_RGB_COLORS);
  if (pDC == nullptr) {
    ReleaseDC(nullptr, dc);
  }
  if (lines == 0) {
    return FALSE;
  }
  *ppbmi = info.release();
  *ppBits = bits.release();
  if (pnSize != nullptr) {
    *pnSize = size;
  }
  return TRUE;
}

BOOL CTKImageManagerIcon::DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, int x, int y, int cx, int cy, int xSrc,
                                          int ySrc, int cxSrc, int cySrc)
{
  if (hBitmap == nullptr) {
    return FALSE;
  }
  if (cxSrc == 0 && cySrc == 0) {
    cxSrc = cx;
    cySrc = cy;
  }
  HDC memDC = CreateCompatibleDC(pDC->GetSafeHdc());
  HGDIOBJ old = SelectObject(memDC, hBitmap);
  const BOOL drawn = TKImageManager().AlphaBlend(pDC->GetSafeHdc(), x, y, cx, cy, memDC, xSrc, ySrc, cxSrc, cySrc);
  SelectObject(memDC, old);
  DeleteDC(memDC);
  return drawn;
}

HBITMAP CTKImageManagerIcon::LoadAlphaBitmap(UINT nId)
{
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC resource = FindResource(module, MAKEINTRESOURCE(nId), RT_BITMAP);
  if (resource == nullptr) {
    return nullptr;
  }
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
  const DWORD size = SizeofResource(module, resource);
  if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) {
    return nullptr;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, data, sizeof(header));
  if (header.biBitCount != 32 || header.biWidth <= 0 || header.biHeight == 0 || header.biWidth > 0x7FFF ||
      std::abs(header.biHeight) > 0x7FFF) {
    return nullptr;
  }
  const size_t pixels = static_cast<size_t>(header.biWidth) * std::abs(header.biHeight) * 4;
  if (size < sizeof(BITMAPINFOHEADER) + pixels) {
    return nullptr;
  }
  BITMAPINFO info{};
  info.bmiHeader = header;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && bits != nullptr) {
    std::memcpy(bits, data + header.biSize, pixels);
  }
  return bitmap;
}

// ---- CTKImageManagerIconSet

CTKImageManagerIconSet::CTKImageManagerIconSet(UINT nId, CTKImageManager* pImageManager)
    : m_nId(nId), m_pImageManager(pImageManager)
{
}

CTKImageManagerIconSet::~CTKImageManagerIconSet() { RemoveAll(); }

CTKImageManagerIcon* CTKImageManagerIconSet::CreateIcon(UINT nWidth)
{
  CTKImageManagerIcon* icon = nullptr;
  if (!m_mapIcons.Lookup(nWidth, icon)) {
    icon = new CTKImageManagerIcon(m_nId, static_cast<int>(nWidth), this);
    m_mapIcons.SetAt(nWidth, icon);
  }
  return icon;
}

CTKImageManagerIcon* CTKImageManagerIconSet::GetIcon(UINT nWidth, BOOL bScaled)
{
  CTKImageManagerIcon* icon = nullptr;
  if (m_mapIcons.Lookup(nWidth, icon)) {
    return icon;
  }
  if (!bScaled || m_mapIcons.IsEmpty()) {
    return nullptr;
  }
  CTKImageManagerIcon* nearest = nullptr;
  UINT nearestDistance = 0;
  POSITION pos = m_mapIcons.GetStartPosition();
  while (pos != nullptr) {
    UINT width = 0;
    CTKImageManagerIcon* candidate = nullptr;
    m_mapIcons.GetNextAssoc(pos, width, candidate);
    const UINT distance = width > nWidth ? width - nWidth : nWidth - width;
    if (nearest == nullptr || distance < nearestDistance) {
      nearest = candidate;
      nearestDistance = distance;
    }
  }
  if (nearest->GetIcon().IsAlpha() || nWidth == 0) {
    return nearest;
  }
  CTKImageManagerIcon* scaled = nearest->Scale(static_cast<int>(nWidth));
  if (scaled == nullptr) {
    return nearest;
  }
  scaled->m_bScaled = TRUE;
  m_mapIcons.SetAt(nWidth, scaled);
  return scaled;
}

void CTKImageManagerIconSet::SetIcon(const CTKImageManagerIconHandle& handle, UINT nWidth)
{
  CreateIcon(nWidth)->SetIcon(handle);
}

// A scaled copy was made from the images as they were: any new image of the set makes it stale. The icon given
// the image stays, scaled or not.
void CTKImageManagerIconSet::SetDisabledIcon(const CTKImageManagerIconHandle& handle, UINT nWidth)
{
  CTKImageManagerIcon* icon = CreateIcon(nWidth);
  icon->SetDisabledIcon(handle);
  icon->m_bScaled = FALSE;
  RefreshIcons();
}

void CTKImageManagerIconSet::SetHotIcon(const CTKImageManagerIconHandle& handle, UINT nWidth)
{
  CTKImageManagerIcon* icon = CreateIcon(nWidth);
  icon->SetHotIcon(handle);
  icon->m_bScaled = FALSE;
  RefreshIcons();
}

void CTKImageManagerIconSet::SetCheckedIcon(const CTKImageManagerIconHandle& handle, UINT nWidth)
{
  CTKImageManagerIcon* icon = CreateIcon(nWidth);
  icon->SetCheckedIcon(handle);
  icon->m_bScaled = FALSE;
  RefreshIcons();
}

void CTKImageManagerIconSet::RefreshIcons()
{
  POSITION pos = m_mapIcons.GetStartPosition();
  while (pos != nullptr) {
    UINT width = 0;
    CTKImageManagerIcon* icon = nullptr;
    m_mapIcons.GetNextAssoc(pos, width, icon);
    if (icon->m_bScaled) {
      m_mapIcons.RemoveKey(width);
      icon->InternalRelease();
    } else {
      icon->ClearDerived();
    }
  }
}

void CTKImageManagerIconSet::RemoveAll()
{
  POSITION pos = m_mapIcons.GetStartPosition();
  while (pos != nullptr) {
    UINT width = 0;
    CTKImageManagerIcon* icon = nullptr;
    m_mapIcons.GetNextAssoc(pos, width, icon);
    icon->InternalRelease();
  }
  m_mapIcons.RemoveAll();
}

// ---- CTKImageManager

CTKImageManager::CTKImageManager()
{
  m_hMsImg32 = LoadLibrary("msimg32.dll");
  if (m_hMsImg32 != nullptr) {
    m_pfnAlphaBlend = reinterpret_cast<AlphaBlendFunction>(GetProcAddress(m_hMsImg32, "AlphaBlend"));
  }
}

CTKImageManager::~CTKImageManager()
{
  RemoveAll();
  if (m_hMsImg32 != nullptr) {
    FreeLibrary(m_hMsImg32);
  }
}

BOOL CTKImageManager::AlphaBlend(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc,
                                 int cxSrc, int cySrc)
{
  if (m_pfnAlphaBlend == nullptr) {
    return FALSE;
  }
  BLENDFUNCTION blend;
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = AC_SRC_ALPHA;
  return m_pfnAlphaBlend(hdcDest, x, y, cx, cy, hdcSrc, xSrc, ySrc, cxSrc, cySrc, blend);
}

CTKImageManagerIconSet* CTKImageManager::GetIconSet(UINT nId)
{
  CTKImageManagerIconSet* set = nullptr;
  return m_mapImages.Lookup(nId, set) ? set : nullptr;
}

CTKImageManagerIcon* CTKImageManager::GetImage(UINT nId, int nWidth)
{
  CTKImageManagerIconSet* set = GetIconSet(nId);
  return set != nullptr ? set->GetIcon(static_cast<UINT>(nWidth), TRUE) : nullptr;
}

BOOL CTKImageManager::SetIcon(const CTKImageManagerIconHandle& handle, UINT nId, int cx, int cy, int nState)
{
  if (handle.IsEmpty()) {
    return FALSE;
  }
  if (cx == 0 && cy == 0) {
    const CSize extent = handle.GetExtent();
    cx = extent.cx;
    cy = extent.cy;
    if (cx == 0 && cy == 0) {
      return FALSE;
    }
  }
  CTKImageManagerIconSet* set = GetIconSet(nId);
  if (set == nullptr) {
    if (nState != kStateNormal) {
      return FALSE;
    }
    set = new CTKImageManagerIconSet(nId, this);
    m_mapImages.SetAt(nId, set);
  }
  const UINT width = static_cast<UINT>(cx);
  switch (nState) {
  case kStateNormal: set->SetIcon(handle, width); break;
  case kStateDisabled: set->SetDisabledIcon(handle, width); break;
  case kStateHot: set->SetHotIcon(handle, width); break;
  case kStateChecked: set->SetCheckedIcon(handle, width); break;
  default: return FALSE;
  }
  return TRUE;
}

UINT CTKImageManager::AddCustomIcon(const CTKImageManagerIconHandle& handle)
{
  ++m_nCustomID;
  SetIcon(handle, m_nCustomID, handle.GetExtent().cx, 0, kStateNormal);
  return m_nCustomID;
}

BOOL CTKImageManager::SetIconsFromImageList(CImageList& il, const UINT* pIds, int nCount, CSize sz, int nState)
{
  const int images = il.GetImageCount();
  if (nCount == 0 && pIds == nullptr) {
    nCount = images;
  }
  if (sz.cx == 0 && sz.cy == 0 && images > 0) {
    IMAGEINFO info{};
    il.GetImageInfo(0, &info);
    sz = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
    if (info.hbmImage != nullptr) {
      DeleteObject(info.hbmImage);
    }
    if (info.hbmMask != nullptr) {
      DeleteObject(info.hbmMask);
    }
  }
  const bool keepSeparators = nCount == images;
  int image = 0;
  for (int i = 0; i < nCount && image < images; ++i) {
    const UINT id = pIds != nullptr ? pIds[i] : static_cast<UINT>(i);
    if (pIds != nullptr && id == 0 && !keepSeparators) {
      continue;
    }
    HICON icon = il.ExtractIcon(image);
    if (icon == nullptr) {
      return FALSE;
    }
    SetIcon(CTKImageManagerIconHandle(icon), id, sz.cx, sz.cy, nState);
    DestroyIcon(icon);
    ++image;
  }
  return TRUE;
}

BOOL CTKImageManager::SetIcons(CBitmap& bmp, const UINT* pIds, int nCount, CSize sz, int nState, BOOL bAlpha)
{
  if (sz.cx == 0) {
    return FALSE;
  }
  if (!bAlpha) {
    CImageList list;
    if (!list.Create(sz.cx, sz.cy, ILC_COLOR24 | ILC_MASK, 0, 1)) {
      return FALSE;
    }
    COLORREF mask = RGB(192, 192, 192);
    {
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, bmp.GetSafeHandle());
      mask = GetPixel(dc, 0, 0);
      SelectObject(dc, old);
      DeleteDC(dc);
    }
    ImageList_AddMasked(list.GetSafeHandle(), static_cast<HBITMAP>(bmp.GetSafeHandle()), mask);
    return SetIconsFromImageList(list, pIds, nCount, sz, nState);
  }

  DIBSECTION section{};
  const BYTE* source = SectionBits(static_cast<HBITMAP>(bmp.GetSafeHandle()), &section);
  if (source == nullptr) {
    return FALSE;
  }
  const int width = section.dsBm.bmWidth;
  const int height = std::abs(section.dsBm.bmHeight);
  if (width % sz.cx != 0) {
    return FALSE;
  }
  const int images = width / sz.cx;
  const bool keepSeparators = nCount == images;
  int image = 0;
  for (int i = 0; (pIds == nullptr || i < nCount) && image < images; ++i) {
    const UINT id = pIds != nullptr ? pIds[i] : static_cast<UINT>(i);
    if (pIds != nullptr && id == 0 && !keepSeparators) {
      continue;
    }
    BYTE* bits = nullptr;
    HBITMAP piece = CreateAlphaSection(sz.cx, height, &bits);
    if (piece == nullptr || bits == nullptr) {
      return FALSE;
    }
    // Both sections are bottom-up or both as the source says: rows keep their order.
    const size_t sourceStride = static_cast<size_t>(width) * 4;
    const size_t pieceStride = static_cast<size_t>(sz.cx) * 4;
    for (int row = 0; row < height; ++row) {
      const int sourceRow = section.dsBm.bmHeight < 0 ? height - 1 - row : row;
      std::memcpy(bits + row * pieceStride, source + sourceRow * sourceStride + image * pieceStride, pieceStride);
    }
    CTKImageManagerIconHandle handle(piece);
    SetIcon(handle, id, sz.cx, height, nState);
    DeleteObject(piece);
    ++image;
  }
  return TRUE;
}

BOOL CTKImageManager::SetIconsFromResource(UINT nIdBitmap, const UINT* pIds, int nCount, CSize sz, int nState)
{
  const BOOL alpha = IsAlphaBitmapResource(nIdBitmap);
  CBitmap bmp;
  if (alpha) {
    HBITMAP bitmap = CTKImageManagerIcon::LoadAlphaBitmap(nIdBitmap);
    if (bitmap == nullptr) {
      return FALSE;
    }
    bmp.Attach(bitmap);
  } else if (!bmp.LoadBitmap(nIdBitmap)) {
    return FALSE;
  }
  BITMAP bm{};
  bmp.GetBitmap(&bm);
  if (sz.cx == 0 && sz.cy == 0 && nCount > 0) {
    sz = CSize(bm.bmWidth / nCount, std::abs(bm.bmHeight));
  }
  if (nCount == 0 && sz.cx > 0) {
    nCount = bm.bmWidth / sz.cx;
  }
  return SetIcons(bmp, pIds, nCount, sz, nState, alpha);
}

void CTKImageManager::RefreshAll()
{
  POSITION pos = m_mapImages.GetStartPosition();
  while (pos != nullptr) {
    UINT id = 0;
    CTKImageManagerIconSet* set = nullptr;
    m_mapImages.GetNextAssoc(pos, id, set);
    set->RefreshIcons();
  }
}

void CTKImageManager::RemoveAll()
{
  POSITION pos = m_mapImages.GetStartPosition();
  while (pos != nullptr) {
    UINT id = 0;
    CTKImageManagerIconSet* set = nullptr;
    m_mapImages.GetNextAssoc(pos, id, set);
    set->InternalRelease();
  }
  m_mapImages.RemoveAll();
}

BOOL CTKImageManager::IsAlphaBitmapResource(UINT nId)
{
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC resource = FindResource(module, MAKEINTRESOURCE(nId), RT_BITMAP);
  if (resource == nullptr || SizeofResource(module, resource) < sizeof(BITMAPINFOHEADER)) {
    return FALSE;
  }
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
  if (data == nullptr) {
    return FALSE;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, data, sizeof(header));
  return header.biBitCount == 32;
}

BOOL CTKImageManager::IsComCtlV6()
{
  HMODULE comctl = LoadLibrary("comctl32.dll");
  if (comctl == nullptr) {
    return FALSE;
  }
  const DWORD version = TKGetDllVersion(comctl);
  FreeLibrary(comctl);
  return HIWORD(version) > 5;
}

CTKImageManager& TKImageManager()
{
  static CTKImageManager manager;
  return manager;
}
