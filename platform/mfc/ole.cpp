#include "platform/mfc/ole.h"

#include "platform/com/combase.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc/wnd.h"

#include <atomic>
#include <cstring>
#include <utility>

IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

BOOL AfxOleInit()
{
  const HRESULT hr = OleInitialize(nullptr);
  return hr == S_OK || hr == S_FALSE;
}

// ---- CSharedFile

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes) : CMemFile(nGrowBytes), m_nAllocFlags(nAllocFlags) {}

CSharedFile::~CSharedFile()
{
  if (m_hGlobalMemory != nullptr) {
    GlobalFree(m_hGlobalMemory);
  }
}

HGLOBAL CSharedFile::Detach()
{
  const auto size = static_cast<SIZE_T>(GetLength());
  HGLOBAL block = m_hGlobalMemory != nullptr ? GlobalReAlloc(m_hGlobalMemory, size, GMEM_MOVEABLE)
                                             : GlobalAlloc(m_nAllocFlags, size);
  if (block == nullptr) {
    AfxThrowMemoryException();
  }
  if (size != 0) {
    void* to = GlobalLock(block);
    if (to == nullptr) {
      AfxThrowMemoryException();
    }
    std::memcpy(to, m_lpBuffer, size);
    GlobalUnlock(block);
  }
  m_hGlobalMemory = nullptr;
  m_bAllowGrow = TRUE;
  CMemFile::SetLength(0);
  return block;
}

void CSharedFile::SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow)
{
  if (m_hGlobalMemory != nullptr && m_hGlobalMemory != hGlobalMemory) {
    GlobalFree(m_hGlobalMemory);
  }
  m_hGlobalMemory = nullptr;
  m_bAllowGrow = TRUE;
  CMemFile::SetLength(0);
  const SIZE_T size = GlobalSize(hGlobalMemory);
  const void* from = size != 0 ? GlobalLock(hGlobalMemory) : nullptr;
  if (size != 0 && from == nullptr) {
    AfxThrowMemoryException();
  }
  if (size != 0) {
    CMemFile::Write(from, static_cast<UINT>(size));
    GlobalUnlock(hGlobalMemory);
  }
  Seek(0, CFile::begin);
  m_hGlobalMemory = hGlobalMemory;
  m_bAllowGrow = bAllowGrow;
}

void CSharedFile::Write(const void* lpBuf, UINT nCount)
{
  if (!m_bAllowGrow && GetPosition() + nCount > GetLength()) {
    AfxThrowMemoryException();
  }
  CMemFile::Write(lpBuf, nCount);
}

void CSharedFile::SetLength(ULONGLONG dwNewLen)
{
  if (!m_bAllowGrow && dwNewLen > GetLength()) {
    AfxThrowMemoryException();
  }
  CMemFile::SetLength(dwNewLen);
}

void CSharedFile::Close()
{
  CMemFile::Close();
  if (m_hGlobalMemory != nullptr) {
    GlobalFree(m_hGlobalMemory);
    m_hGlobalMemory = nullptr;
  }
}

void CSharedFile::Abort()
{
  CMemFile::Abort();
  if (m_hGlobalMemory != nullptr) {
    GlobalFree(m_hGlobalMemory);
    m_hGlobalMemory = nullptr;
  }
}

// ---- COleDataObject

namespace {

FORMATETC FormatFor(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed)
{
  FORMATETC fe;
  if (lpFormatEtc != nullptr) {
    fe = *lpFormatEtc;
  } else {
    fe.tymed = tymed;
  }
  fe.cfFormat = cfFormat;
  return fe;
}

}  // namespace

COleDataObject::~COleDataObject() { Release(); }

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
  Release();
  m_lpDataObject = lpDataObject;
  m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
  if (m_lpEnumerator != nullptr) {
    m_lpEnumerator->Release();
    m_lpEnumerator = nullptr;
  }
  return std::exchange(m_lpDataObject, nullptr);
}

void COleDataObject::Release()
{
  LPDATAOBJECT data = Detach();
  if (data != nullptr && m_bAutoRelease) {
    data->Release();
  }
}

BOOL COleDataObject::AttachClipboard()
{
  LPDATAOBJECT data = nullptr;
  if (OleGetClipboard(&data) != S_OK) {
    return FALSE;
  }
  Attach(data, TRUE);
  return TRUE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
  if (m_lpDataObject == nullptr) {
    return FALSE;
  }
  FORMATETC fe = FormatFor(cfFormat, lpFormatEtc, static_cast<DWORD>(-1));
  return m_lpDataObject->QueryGetData(&fe) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
  if (m_lpDataObject == nullptr || lpStgMedium == nullptr) {
    return FALSE;
  }
  FORMATETC fe = FormatFor(cfFormat, lpFormatEtc, static_cast<DWORD>(-1));
  return m_lpDataObject->GetData(&fe, lpStgMedium) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
  if (m_lpDataObject == nullptr) {
    return nullptr;
  }
  FORMATETC fe = FormatFor(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
  STGMEDIUM medium;
  if (m_lpDataObject->GetData(&fe, &medium) != S_OK) {
    return nullptr;
  }
  if (medium.tymed != TYMED_HGLOBAL) {
    ReleaseStgMedium(&medium);
    return nullptr;
  }
  // Data the object still owns is copied: what is given back is always the caller's.
  if (medium.pUnkForRelease != nullptr) {
    HGLOBAL copy = user::CopyGlobalMemory(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return copy;
  }
  return medium.hGlobal;
}

CFile* COleDataObject::GetFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
  HGLOBAL block = GetGlobalData(cfFormat, lpFormatEtc);
  if (block == nullptr) {
    return nullptr;
  }
  auto* file = new CSharedFile;
  try {
    file->SetHandle(block, FALSE);
  } catch (CException* e) {
    e->Delete();
    delete file;
    GlobalFree(block);
    return nullptr;
  }
  return file;
}

void COleDataObject::BeginEnumFormats()
{
  if (m_lpEnumerator != nullptr) {
    m_lpEnumerator->Release();
    m_lpEnumerator = nullptr;
  }
  if (m_lpDataObject != nullptr && m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator) != S_OK) {
    m_lpEnumerator = nullptr;
  }
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
  return m_lpEnumerator != nullptr && lpFormatEtc != nullptr && m_lpEnumerator->Next(1, lpFormatEtc, nullptr) == S_OK;
}

// ---- COleDropSource

// The object's IDropSource: its life is the object's, so its counts do nothing.
class COleDropSource::XDropSource final : public IDropSource {
public:
  explicit XDropSource(COleDropSource& owner) : owner_(owner) {}
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
      *object = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) override
  {
    return owner_.QueryContinueDrag(escapePressed, keyState);
  }
  HRESULT GiveFeedback(DWORD effect) override { return owner_.GiveFeedback(effect); }

private:
  COleDropSource& owner_;
};

COleDropSource::COleDropSource() : m_xDropSource(new XDropSource(*this)) {}

COleDropSource::~COleDropSource() { delete m_xDropSource; }

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
  // The other button pressed as well cancels too.
  const DWORD other = m_dwButtonDrop == MK_LBUTTON ? MK_RBUTTON : MK_LBUTTON;
  if (bEscapePressed || (dwKeyState & other) != 0) {
    return DRAGDROP_S_CANCEL;
  }
  if ((dwKeyState & m_dwButtonDrop) == 0) {
    return DRAGDROP_S_DROP;
  }
  return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT) { return DRAGDROP_S_USEDEFAULTCURSORS; }

IDropSource* COleDropSource::GetInterface() { return m_xDropSource; }

// ---- COleDataSource

// The data object behind a source: counted, so that a target still holding it after the source is gone finds
// it whole. It owns the cached data and hands out copies.
class COleDataSource::Data final : public IDataObject {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
      *object = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override
  {
    const ULONG left = --refs_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  void Cache(const FORMATETC& fe, const STGMEDIUM& medium)
  {
    for (auto& entry : entries_) {
      if (entry.first.cfFormat == fe.cfFormat) {
        ReleaseStgMedium(&entry.second);
        entry = {fe, medium};
        return;
      }
    }
    entries_.emplace_back(fe, medium);
  }
  void Empty()
  {
    for (auto& entry : entries_) {
      ReleaseStgMedium(&entry.second);
    }
    entries_.clear();
  }

  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override
  {
    if (format == nullptr || medium == nullptr) {
      return E_INVALIDARG;
    }
    *medium = STGMEDIUM{};
    const STGMEDIUM* cached = Find(*format);
    if (cached == nullptr) {
      return DV_E_FORMATETC;
    }
    medium->tymed = cached->tymed;
    if (cached->tymed == TYMED_HGLOBAL) {
      medium->hGlobal = user::CopyGlobalMemory(cached->hGlobal);
      return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    if (cached->tymed == TYMED_GDI) {
      medium->hBitmap = user::CopyBitmapHandle(cached->hBitmap);
      return medium->hBitmap != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    *medium = STGMEDIUM{};
    return DV_E_TYMED;
  }
  HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT QueryGetData(FORMATETC* format) override
  {
    if (format == nullptr) {
      return E_INVALIDARG;
    }
    return Find(*format) != nullptr ? S_OK : DV_E_FORMATETC;
  }
  HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
  {
    if (out != nullptr) {
      out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
  ~Data() { Empty(); }
  const STGMEDIUM* Find(const FORMATETC& fe) const
  {
    for (const auto& entry : entries_) {
      if (entry.first.cfFormat == fe.cfFormat && (entry.first.tymed & fe.tymed) != 0 &&
          fe.dwAspect == entry.first.dwAspect) {
        return &entry.second;
      }
    }
    return nullptr;
  }

  std::vector<std::pair<FORMATETC, STGMEDIUM>> entries_;
  std::atomic<ULONG> refs_{1};
};

namespace {

class CachedFormats final : public IEnumFORMATETC {
public:
  explicit CachedFormats(std::vector<FORMATETC> formats) : formats_(std::move(formats)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IEnumFORMATETC) {
      *object = static_cast<IEnumFORMATETC*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override
  {
    const ULONG left = --refs_;
    if (left == 0) {
      delete this;
    }
    return left;
  }
  HRESULT Next(ULONG count, FORMATETC* out, ULONG* fetched) override
  {
    if (out == nullptr) {
      return E_POINTER;
    }
    ULONG n = 0;
    while (n < count && next_ < formats_.size()) {
      out[n++] = formats_[next_++];
    }
    if (fetched != nullptr) {
      *fetched = n;
    }
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override
  {
    next_ += count;
    return next_ <= formats_.size() ? S_OK : S_FALSE;
  }
  HRESULT Reset() override
  {
    next_ = 0;
    return S_OK;
  }
  HRESULT Clone(IEnumFORMATETC** copy) override
  {
    if (copy == nullptr) {
      return E_POINTER;
    }
    auto* c = new CachedFormats(formats_);
    c->next_ = next_;
    *copy = c;
    return S_OK;
  }

private:
  std::vector<FORMATETC> formats_;
  std::size_t next_ = 0;
  std::atomic<ULONG> refs_{1};
};

}  // namespace

HRESULT COleDataSource::Data::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
  if (formats == nullptr) {
    return E_POINTER;
  }
  *formats = nullptr;
  if (direction != DATADIR_GET) {
    return E_NOTIMPL;
  }
  std::vector<FORMATETC> list;
  for (const auto& entry : entries_) {
    list.push_back(entry.first);
  }
  *formats = new CachedFormats(std::move(list));
  return S_OK;
}

COleDataSource::COleDataSource() : m_pData(new Data) {}

COleDataSource::~COleDataSource() { m_pData->Release(); }

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
  STGMEDIUM medium;
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = hGlobal;
  CacheData(cfFormat, &medium, lpFormatEtc);
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
  if (lpStgMedium == nullptr) {
    return;
  }
  FORMATETC fe = FormatFor(cfFormat, lpFormatEtc, lpStgMedium->tymed);
  m_pData->Cache(fe, *lpStgMedium);
}

void COleDataSource::Empty() { m_pData->Empty(); }

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT, COleDropSource* pDropSource)
{
  COleDropSource defaultSource;
  COleDropSource* source = pDropSource != nullptr ? pDropSource : &defaultSource;
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT hr = ::DoDragDrop(m_pData, source->GetInterface(), dwEffects, &effect);
  return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

void COleDataSource::SetClipboard() { OleSetClipboard(m_pData); }

LPDATAOBJECT COleDataSource::GetDataObject()
{
  m_pData->AddRef();
  return m_pData;
}

// ---- COleDropTarget

class COleDropTarget::XDropTarget final : public IDropTarget {
public:
  explicit XDropTarget(COleDropTarget& owner) : owner_(owner) {}
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *object = static_cast<IDropTarget*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }

  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override
  {
    if (effect == nullptr) {
      return E_INVALIDARG;
    }
    data_.Attach(data, FALSE);
    allowed_ = *effect;
    last_ = owner_.OnDragEnter(Window(), &data_, keyState, ClientPoint(point)) & allowed_;
    *effect = last_;
    return S_OK;
  }
  HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override
  {
    if (effect == nullptr) {
      return E_INVALIDARG;
    }
    allowed_ = *effect;
    last_ = owner_.OnDragOver(Window(), &data_, keyState, ClientPoint(point)) & allowed_;
    *effect = last_;
    return S_OK;
  }
  HRESULT DragLeave() override
  {
    owner_.OnDragLeave(Window());
    data_.Release();
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override
  {
    if (effect == nullptr) {
      return E_INVALIDARG;
    }
    data_.Attach(data, FALSE);
    const CPoint at = ClientPoint(point);
    const DROPEFFECT allowed = *effect;
    DROPEFFECT done = owner_.OnDropEx(Window(), &data_, last_, allowed, at);
    if (done == static_cast<DROPEFFECT>(-1)) {
      done = last_ != DROPEFFECT_NONE && owner_.OnDrop(Window(), &data_, last_, at) ? last_ : DROPEFFECT_NONE;
    }
    data_.Release();
    last_ = DROPEFFECT_NONE;
    *effect = done;
    return S_OK;
  }

private:
  CWnd* Window() const { return CWnd::FromHandle(owner_.m_hWnd); }
  CPoint ClientPoint(POINTL point) const
  {
    POINT p{point.x, point.y};
    ::ScreenToClient(owner_.m_hWnd, &p);
    return CPoint(p.x, p.y);
  }

  COleDropTarget& owner_;
  COleDataObject data_;
  DROPEFFECT allowed_ = DROPEFFECT_NONE;
  DROPEFFECT last_ = DROPEFFECT_NONE;
};

COleDropTarget::COleDropTarget() : m_xDropTarget(new XDropTarget(*this)) {}

COleDropTarget::~COleDropTarget()
{
  Revoke();
  delete m_xDropTarget;
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
  if (pWnd == nullptr || pWnd->m_hWnd == nullptr || m_hWnd != nullptr) {
    return FALSE;
  }
  if (RegisterDragDrop(pWnd->m_hWnd, m_xDropTarget) != S_OK) {
    return FALSE;
  }
  m_hWnd = pWnd->m_hWnd;
  return TRUE;
}

void COleDropTarget::Revoke()
{
  if (m_hWnd != nullptr) {
    RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
  }
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }

void COleDropTarget::OnDragLeave(CWnd*) {}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
  return static_cast<DROPEFFECT>(-1);
}
