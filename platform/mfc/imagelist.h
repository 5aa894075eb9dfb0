// CImageList: the framework's object for an image list. An object made with Create or Attach owns its list and
// destroys it when it goes; FromHandle gives a temporary one that only names a list (freed at idle time).
#pragma once

#include "platform/gdi/imagelist.h"
#include "platform/mfc-core/object.h"
#include "platform/mfc/types.h"
#include "platform/user/drag_image.h"

class CBitmap;
class CDC;
class CWnd;

class CImageList : public CObject {
  DECLARE_DYNCREATE(CImageList)
public:
  CImageList() = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  ~CImageList() override;

  HIMAGELIST m_hImageList = nullptr;
  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  static CImageList* FromHandle(HIMAGELIST hImageList);
  static void DeleteTempMap();

  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  // A list of the strip in a bitmap resource, cx wide per image, as tall as the bitmap; crMask (unless
  // CLR_NONE) is the colour that becomes transparent.
  BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL Create(LPCSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask);
  // A copy of another list.
  BOOL Create(CImageList* pImageList);
  BOOL Attach(HIMAGELIST hImageList);
  HIMAGELIST Detach();
  BOOL DeleteImageList();

  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  BOOL SetImageCount(UINT uNewCount) { return ImageList_SetImageCount(m_hImageList, uNewCount); }
  COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
  COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
  BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const
  {
    return ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
  }

  int Add(CBitmap* pbmImage, CBitmap* pbmMask);
  int Add(CBitmap* pbmImage, COLORREF crMask);
  int Add(HICON hIcon) { return ImageList_AddIcon(m_hImageList, hIcon); }
  BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
  BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask);
  int Replace(int nImage, HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
  HICON ExtractIcon(int nImage) { return ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL); }

  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
  BOOL DrawIndirect(CDC* pDC, int nImage, POINT pt, SIZE sz, POINT ptOrigin, UINT fStyle = ILD_NORMAL,
                    DWORD dwRop = 0x00CC0020, COLORREF rgbBack = CLR_DEFAULT, COLORREF rgbFore = CLR_DEFAULT);

  // Drag images (platform/user/drag_image.h): points are relative to the lock window's rectangle.
  BOOL BeginDrag(int nImage, CPoint ptHotSpot)
  {
    return ImageList_BeginDrag(m_hImageList, nImage, ptHotSpot.x, ptHotSpot.y);
  }
  static BOOL DragEnter(CWnd* pWndLock, CPoint point);
  static BOOL DragMove(CPoint pt) { return ImageList_DragMove(pt.x, pt.y); }
  static BOOL DragLeave(CWnd* pWndLock);
  static void EndDrag() { ImageList_EndDrag(); }
  static BOOL DragShowNolock(BOOL bShow) { return ImageList_DragShowNolock(bShow); }
};
