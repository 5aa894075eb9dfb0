// The framework's OLE data transfer: COleDataObject (reading a data object or the clipboard), COleDataSource
// (offering data for a drag or the clipboard), COleDropSource, COleDropTarget (a window that takes drops), and
// CSharedFile (a memory file whose bytes travel as a global memory block).
#pragma once

#include "platform/mfc-core/memfile.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/mfc/types.h"
#include "platform/user/global_memory.h"
#include "platform/user/input.h"
#include "platform/user/ole_dragdrop.h"

#include <vector>

class CWnd;

// OLE started for the thread (OleInitialize); FALSE when it could not be.
BOOL AfxOleInit();

// A memory file whose bytes can be handed over as a global memory block (Detach) or taken from one
// (SetHandle: the file owns the block from then on and frees it when closed).
class CSharedFile : public CMemFile {
  DECLARE_DYNAMIC(CSharedFile)
public:
  explicit CSharedFile(UINT nAllocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT nGrowBytes = 4096);
  ~CSharedFile() override;

  // The file's bytes in a global block of exactly their size; the file is empty afterwards.
  HGLOBAL Detach();
  // The block's bytes become the file, read from the start; with bAllowGrow FALSE the file keeps their size.
  void SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow = TRUE);

  void Write(const void* lpBuf, UINT nCount) override;
  void SetLength(ULONGLONG dwNewLen) override;
  void Close() override;
  void Abort() override;

private:
  UINT m_nAllocFlags;
  HGLOBAL m_hGlobalMemory = nullptr;
  BOOL m_bAllowGrow = TRUE;
};

// Reads a data object: one attached (a drop's), or the clipboard's.
class COleDataObject {
public:
  COleDataObject() = default;
  ~COleDataObject();
  COleDataObject(const COleDataObject&) = delete;
  COleDataObject& operator=(const COleDataObject&) = delete;

  void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
  LPDATAOBJECT Detach();
  void Release();
  BOOL AttachClipboard();

  BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
  BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
  // A copy of the data in global memory, the caller's to free; null when the format is not there.
  HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
  // The data as a file (a CSharedFile over a copy), the caller's to delete; null when not there.
  CFile* GetFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);

  void BeginEnumFormats();
  BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

private:
  LPDATAOBJECT m_lpDataObject = nullptr;
  BOOL m_bAutoRelease = TRUE;
  IEnumFORMATETC* m_lpEnumerator = nullptr;
};

// Decides, during a drag started by COleDataSource::DoDragDrop, whether it goes on: Escape cancels, releasing
// the button that started it drops.
class COleDropSource : public CCmdTarget {
public:
  COleDropSource();
  ~COleDropSource() override;

  virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
  virtual SCODE GiveFeedback(DROPEFFECT dropEffect);

  DWORD m_dwButtonDrop = MK_LBUTTON;

  // The OLE face of this object (no reference counting: it lives as long as the object).
  IDropSource* GetInterface();

private:
  class XDropSource;
  XDropSource* m_xDropSource;
};

// Data offered for a drag or the clipboard. Cached data belongs to the source from then on.
class COleDataSource : public CCmdTarget {
public:
  COleDataSource();
  ~COleDataSource() override;

  void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = nullptr);
  void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
  void Empty();
  // Runs the drag from where the cursor is; the effect the target took, DROPEFFECT_NONE when cancelled or
  // dropped where nothing took it.
  DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                        LPCRECT lpRectStartDrag = nullptr, COleDropSource* pDropSource = nullptr);
  // Puts the cached data on the clipboard.
  void SetClipboard();

  // The data object (one reference for the caller).
  LPDATAOBJECT GetDataObject();

private:
  class Data;
  Data* m_pData;
};

// A window's drop target. Points are in the window's client coordinates. OnDragEnter and OnDragOver answer
// the effect a drop would have; OnDropEx may take the drop itself (answer the effect, or -1 to leave it to
// OnDrop).
class COleDropTarget : public CCmdTarget {
public:
  COleDropTarget();
  ~COleDropTarget() override;

  BOOL Register(CWnd* pWnd);
  void Revoke();

  virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual void OnDragLeave(CWnd* pWnd);
  virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
  virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                              DROPEFFECT dropList, CPoint point);

protected:
  HWND m_hWnd = nullptr;

private:
  class XDropTarget;
  XDropTarget* m_xDropTarget;
};
