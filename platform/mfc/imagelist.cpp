#include "platform/mfc/imagelist.h"

#include "platform/mfc/dc.h"
#include "platform/mfc/wnd.h"
#include "platform/user/window.h"

#include <memory>
#include <mutex>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CImageList, CObject)

namespace {

struct PermanentMap {
  std::mutex mutex;
  std::unordered_map<HIMAGELIST, CImageList*> lists;
};

PermanentMap& Permanent()
{
  static PermanentMap* map = new PermanentMap;
  return *map;
}

// A temporary object never owns its list, so it forgets it before it goes.
struct TemporaryMap {
  std::unordered_map<HIMAGELIST, std::unique_ptr<CImageList>> lists;
  ~TemporaryMap() { Clear(); }
  void Clear()
  {
    for (auto& [hList, pList] : lists) {
      pList->m_hImageList = nullptr;
    }
    lists.clear();
  }
};

thread_local TemporaryMap t_temporary;

HBITMAP HandleOf(const CBitmap* pBitmap) { return pBitmap != nullptr ? pBitmap->m_hObject : nullptr; }

}  // namespace

CImageList::~CImageList() { DeleteImageList(); }

CImageList* CImageList::FromHandle(HIMAGELIST hImageList)
{
  if (hImageList == nullptr) {
    return nullptr;
  }
  {
    PermanentMap& p = Permanent();
    std::lock_guard lock(p.mutex);
    if (auto it = p.lists.find(hImageList); it != p.lists.end()) {
      return it->second;
    }
  }
  auto& slot = t_temporary.lists[hImageList];
  if (!slot) {
    slot = std::make_unique<CImageList>();
    slot->m_hImageList = hImageList;
  }
  return slot.get();
}

void CImageList::DeleteTempMap() { t_temporary.Clear(); }

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
  if (hImageList == nullptr || m_hImageList != nullptr) {
    return FALSE;
  }
  m_hImageList = hImageList;
  PermanentMap& p = Permanent();
  std::lock_guard lock(p.mutex);
  p.lists[hImageList] = this;
  return TRUE;
}

HIMAGELIST CImageList::Detach()
{
  HIMAGELIST hImageList = m_hImageList;
  if (hImageList != nullptr) {
    PermanentMap& p = Permanent();
    std::lock_guard lock(p.mutex);
    if (auto it = p.lists.find(hImageList); it != p.lists.end() && it->second == this) {
      p.lists.erase(it);
    }
  }
  m_hImageList = nullptr;
  return hImageList;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
  HIMAGELIST hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
  if (hImageList != nullptr && !Attach(hImageList)) {
    ImageList_Destroy(hImageList);  // this object already has a list
    return FALSE;
  }
  return hImageList != nullptr;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
  return Create(MAKEINTRESOURCE(static_cast<WORD>(nBitmapID)), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask)
{
  CBitmap strip;
  BITMAP bm{};
  if (!strip.LoadBitmap(lpszBitmapID) || strip.GetBitmap(&bm) == 0 || cx <= 0) {
    return FALSE;
  }
  const UINT flags = ILC_COLOR32 | (crMask != CLR_NONE ? ILC_MASK : 0);
  if (!Create(cx, bm.bmHeight, flags, bm.bmWidth / cx, nGrow)) {
    return FALSE;
  }
  const int added = crMask != CLR_NONE ? Add(&strip, crMask) : Add(&strip, static_cast<CBitmap*>(nullptr));
  if (added < 0) {
    DeleteImageList();
    return FALSE;
  }
  return TRUE;
}

BOOL CImageList::Create(CImageList* pImageList)
{
  if (pImageList == nullptr) {
    return FALSE;
  }
  HIMAGELIST hImageList = ImageList_Duplicate(pImageList->m_hImageList);
  if (hImageList != nullptr && !Attach(hImageList)) {
    ImageList_Destroy(hImageList);
    return FALSE;
  }
  return hImageList != nullptr;
}

BOOL CImageList::DeleteImageList()
{
  if (m_hImageList == nullptr) {
    return FALSE;
  }
  return ImageList_Destroy(Detach());
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
  return ImageList_Add(m_hImageList, HandleOf(pbmImage), HandleOf(pbmMask));
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
  return ImageList_AddMasked(m_hImageList, HandleOf(pbmImage), crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
{
  return ImageList_Replace(m_hImageList, nImage, HandleOf(pbmImage), HandleOf(pbmMask));
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
  return pDC != nullptr && ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

BOOL CImageList::DrawIndirect(CDC* pDC, int nImage, POINT pt, SIZE sz, POINT ptOrigin, UINT fStyle, DWORD,
                              COLORREF rgbBack, COLORREF rgbFore)
{
  if (pDC == nullptr) {
    return FALSE;
  }
  if (ptOrigin.x == 0 && ptOrigin.y == 0) {
    return ImageList_DrawEx(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, sz.cx, sz.cy, rgbBack, rgbFore, fStyle);
  }
  // A part of the image starting at ptOrigin: the whole image drawn shifted, clipped to the part's place.
  const int saved = pDC->SaveDC();
  pDC->IntersectClipRect(pt.x, pt.y, pt.x + sz.cx, pt.y + sz.cy);
  const BOOL drawn = ImageList_DrawEx(m_hImageList, nImage, pDC->m_hDC, pt.x - ptOrigin.x, pt.y - ptOrigin.y, 0, 0,
                                      rgbBack, rgbFore, fStyle);
  pDC->RestoreDC(saved);
  return drawn;
}

BOOL CImageList::DragEnter(CWnd* pWndLock, CPoint point)
{
  return ImageList_DragEnter(pWndLock != nullptr ? pWndLock->GetSafeHwnd() : nullptr, point.x, point.y);
}

BOOL CImageList::DragLeave(CWnd* pWndLock)
{
  return ImageList_DragLeave(pWndLock != nullptr ? pWndLock->GetSafeHwnd() : nullptr);
}
