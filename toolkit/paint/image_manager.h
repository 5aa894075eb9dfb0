// The icon store every bar, menu, status pane and docking pane draws its pictures from: icons keyed by command
// id, one icon per pixel width, each icon with up to four explicit images (normal, disabled, hot, checked) and
// three it derives on demand (faded, shadow, generated disabled). An image is an icon with a mask or a 32-bit
// bitmap with per-pixel alpha.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc-core/map.h"

class CTKPropExchange;
class COleDataObject;

// One image. At most one of icon and alpha bitmap is set; an owning handle destroys them when cleared.
class CTKImageManagerIconHandle {
public:
  CTKImageManagerIconHandle() : m_bOwns(TRUE) {}
  explicit CTKImageManagerIconHandle(HICON hIcon) : m_hIcon(hIcon) {}
  explicit CTKImageManagerIconHandle(HBITMAP hBitmap) : m_hBitmap(hBitmap) {}
  // Shares the other's icon and bitmap without owning them.
  CTKImageManagerIconHandle(const CTKImageManagerIconHandle& other);
  CTKImageManagerIconHandle& operator=(const CTKImageManagerIconHandle&) = delete;
  ~CTKImageManagerIconHandle() { Clear(); }

  void SetIcon(HICON hIcon);
  void SetBitmap(HBITMAP hBitmap);
  // Owns a copy; the caller keeps hBitmap.
  void SetAlphaBitmap(HBITMAP hBitmap);
  // Owns a copy of the other's image.
  void Copy(const CTKImageManagerIconHandle& other);
  void Clear();

  BOOL IsEmpty() const { return m_hIcon == nullptr && m_hBitmap == nullptr; }
  BOOL IsAlpha() const { return m_hBitmap != nullptr; }
  HICON GetIcon() const { return m_hIcon; }
  HBITMAP GetBitmap() const { return m_hBitmap; }
  CSize GetExtent() const;
  // The premultiplied copy that alpha drawing blends, made on first use and kept until the handle clears.
  HBITMAP GetPreMultipliedBitmap() const;

private:
  HICON m_hIcon = nullptr;
  HBITMAP m_hBitmap = nullptr;
  mutable HBITMAP m_hPreMultiplied = nullptr;
  BOOL m_bOwns = FALSE;
};

class CTKImageManagerIconSet;

class CTKImageManagerIcon : public CCmdTarget {
public:
  CTKImageManagerIcon(UINT nId, int nWidth, CTKImageManagerIconSet* pIconSet);

  UINT GetID() const { return m_nId; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  BOOL IsScaled() const { return m_bScaled; }

  void SetIcon(const CTKImageManagerIconHandle& handle);
  void SetHotIcon(const CTKImageManagerIconHandle& handle);
  void SetCheckedIcon(const CTKImageManagerIconHandle& handle);
  void SetDisabledIcon(const CTKImageManagerIconHandle& handle);

  CTKImageManagerIconHandle& GetIcon() { return m_hNormal; }
  CTKImageManagerIconHandle& GetHotIcon();
  CTKImageManagerIconHandle& GetCheckedIcon();
  CTKImageManagerIconHandle& GetFadedIcon();
  CTKImageManagerIconHandle& GetShadowIcon();
  CTKImageManagerIconHandle& GetDisabledIcon(BOOL bCreate = TRUE);
  BOOL HasDisabledIcon() const { return !m_hDisabled.IsEmpty(); }

  // Grey when either colour is -1, else light pixels take clrLight and dark ones clrDark. Only once until the
  // icon changes.
  void CreateDisabledIcon(COLORREF clrLight = static_cast<COLORREF>(-1),
                          COLORREF clrDark = static_cast<COLORREF>(-1));
  // Forgets the faded, shadow and generated disabled images.
  void ClearDerived();

  void Draw(CDC* pDC, CPoint pt, int cx = 0, int cy = 0) { DrawImage(pDC, pt, m_hNormal, cx, cy); }
  // cx 0: the icon's width; cy 0: in proportion to cx.
  void DrawImage(CDC* pDC, CPoint pt, const CTKImageManagerIconHandle& handle, int cx = 0, int cy = 0);
  // The icon's silhouette in one colour; alpha bitmaps draw nothing.
  void DrawMono(CDC* pDC, CPoint pt, const CTKImageManagerIconHandle& handle, COLORREF clr);

  // A new icon of this id, cxNew wide, made of scaled copies of the icon images (alpha bitmaps are not scaled).
  CTKImageManagerIcon* Scale(int cxNew);

  static CSize GetIconSize(HICON hIcon);
  static HICON ScaleIcon(HICON hIcon, int cxOld, int cyOld, int cxNew);

  static HBITMAP CopyAlphaBitmap(HBITMAP hBitmap);
  static HBITMAP PreMultiplyAlphaBitmap(HBITMAP hBitmap);
  // A 32-bit bitmap's header and its width x height x 4 pixel bytes (new[]); FALSE for other depths.
  static BOOL GetBitmapBits(CDC* pDC, HBITMAP hBitmap, BITMAPINFO** ppbmi, BYTE** ppBits, UINT* pnSize);
  static BOOL DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, int x, int y, int cx, int cy, int xSrc = 0, int ySrc = 0,
                              int cxSrc = 0, int cySrc = 0);
  // A 32-bit BITMAP resource of the current resource handle as a DIB section, or null.
  static HBITMAP LoadAlphaBitmap(UINT nId);
  // The colour pixels of the first 32-bit image of an icon file (of width nWidth unless it is 0) as a DIB
  // section, or null.
  static HBITMAP LoadAlphaIcon(LPCSTR pszFile, int nWidth = 0);

  // Height, schema, then the normal, disabled, hot and checked images (imagepersist.cpp).
  void Serialize(CArchive& ar) override;

private:
  friend class CTKImageManagerIconSet;
  friend class CTKImageManager;

  UINT m_nId;
  int m_nWidth;
  int m_nHeight = 15;
  CTKImageManagerIconHandle m_hNormal;
  CTKImageManagerIconHandle m_hFaded;
  CTKImageManagerIconHandle m_hShadow;
  CTKImageManagerIconHandle m_hHot;
  CTKImageManagerIconHandle m_hChecked;
  CTKImageManagerIconHandle m_hDisabled;
  CTKImageManagerIconHandle m_hDisabledAuto;
  CTKImageManagerIconSet* m_pIconSet;
  BOOL m_bScaled = FALSE;
};

class CTKImageManager;

class CTKImageManagerIconSet : public CCmdTarget {
public:
  CTKImageManagerIconSet(UINT nId, CTKImageManager* pImageManager);
  ~CTKImageManagerIconSet() override;

  UINT GetID() const { return m_nId; }
  // Exactly nWidth, else (bScaled) a scaled copy of the nearest width, kept under nWidth.
  CTKImageManagerIcon* GetIcon(UINT nWidth, BOOL bScaled = TRUE);
  void SetIcon(const CTKImageManagerIconHandle& handle, UINT nWidth);
  void SetDisabledIcon(const CTKImageManagerIconHandle& handle, UINT nWidth);
  void SetHotIcon(const CTKImageManagerIconHandle& handle, UINT nWidth);
  void SetCheckedIcon(const CTKImageManagerIconHandle& handle, UINT nWidth);
  // Drops the scaled copies and the derived images of the rest.
  void RefreshIcons();
  void RemoveAll();
  INT_PTR GetCount() const { return m_mapIcons.GetCount(); }

private:
  friend class CTKImageManager;
  CTKImageManagerIcon* CreateIcon(UINT nWidth);

  UINT m_nId;
  CTKImageManager* m_pImageManager;
  CMap<UINT, UINT, CTKImageManagerIcon*, CTKImageManagerIcon*> m_mapIcons;
};

class CTKImageManager : public CCmdTarget {
public:
  enum { kStateNormal = 0, kStateDisabled = 1, kStateHot = 2, kStateChecked = 3 };

  CTKImageManager();
  ~CTKImageManager() override;
  CTKImageManager(const CTKImageManager&) = delete;
  CTKImageManager& operator=(const CTKImageManager&) = delete;

  CTKImageManagerIcon* GetImage(UINT nId, int nWidth = 16);
  CTKImageManagerIconSet* GetIconSet(UINT nId);

  BOOL SetIcon(const CTKImageManagerIconHandle& handle, UINT nId, int cx = 0, int cy = 0, int nState = 0);
  UINT AddCustomIcon(const CTKImageManagerIconHandle& handle);
  BOOL SetIcons(CBitmap& bmp, const UINT* pIds, int nCount, CSize sz, int nState = 0, BOOL bAlpha = FALSE);
  BOOL SetIconsFromResource(UINT nIdBitmap, const UINT* pIds, int nCount, CSize sz = CSize(0, 0), int nState = 0);
  BOOL SetIconsFromImageList(CImageList& il, const UINT* pIds, int nCount, CSize sz, int nState = 0);

  void RefreshAll();
  void RemoveAll();

  // Blends with "AlphaBlend" of "msimg32.dll"; without it alpha images draw nothing.
  BOOL AlphaBlend(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc, int cxSrc, int cySrc);

  static BOOL IsAlphaBitmapResource(UINT nId);
  // A bitmap file whose headers are there and say 32 bits a pixel.
  static BOOL IsAlphaBitmapFile(LPCSTR pszFile);
  static BOOL IsComCtlV6();

  // Persistence and the clipboard (imagepersist.cpp). Loading a set whose "CheckSum" is wrong raises the
  // archive's bad-class error.
  void DoPropExchange(UINT nId, CTKPropExchange* pPX);
  void DoPropExchange(CTKPropExchange* pPX);
  void Serialize(CArchive& ar) override;
  // The clipboard is open and emptied by the caller.
  void CopyIconToClipboard(UINT nId);
  // The new custom id that holds the pasted set, or 0.
  UINT PasteIconFromClipboard(COleDataObject* pData);

private:
  using AlphaBlendFunction = BOOL (*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

  CMap<UINT, UINT, CTKImageManagerIconSet*, CTKImageManagerIconSet*> m_mapImages;
  UINT m_nCustomID = 68266;
  HMODULE m_hMsImg32 = nullptr;
  AlphaBlendFunction m_pfnAlphaBlend = nullptr;
};

CTKImageManager& TKImageManager();
