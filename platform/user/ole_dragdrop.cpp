// OLE drag and drop inside the process, and the clipboard as a data object.
#include "platform/user/ole_dragdrop.h"

#include "platform/com/combase.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/clipboard.h"
#include "platform/user/global_memory.h"
#include "platform/user/input.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

std::mutex& TargetsMutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::map<HWND, IDropTarget*>& Targets()
{
  static auto* targets = new std::map<HWND, IDropTarget*>;
  return *targets;
}

// The registered target of the window or of its nearest registered parent, with a reference for the caller.
IDropTarget* TargetFor(HWND hwnd, HWND* registered)
{
  for (HWND h = hwnd; h != nullptr; h = GetParent(h)) {
    IDropTarget* t = nullptr;
    {
      std::lock_guard lock(TargetsMutex());
      auto it = Targets().find(h);
      if (it != Targets().end()) {
        t = it->second;
      }
    }
    if (t != nullptr) {
      t->AddRef();
      *registered = h;
      return t;
    }
  }
  *registered = nullptr;
  return nullptr;
}

}  // namespace

HBITMAP user::CopyBitmapHandle(HBITMAP source)
{
  BITMAP bm{};
  if (source == nullptr || GetObject(source, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
    return nullptr;
  }
  HBITMAP copy = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, bm.bmBitsPixel == 1 ? 1 : 32, nullptr);
  if (copy == nullptr) {
    return nullptr;
  }
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFrom = SelectObject(from, source);
  HGDIOBJ oldTo = SelectObject(to, copy);
  BitBlt(to, 0, 0, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  return copy;
}

namespace {

using user::CopyBitmapHandle;

// ---- Format lists

class FormatList final : public IEnumFORMATETC {
public:
  explicit FormatList(std::vector<FORMATETC> formats) : formats_(std::move(formats)) {}

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
    if (out == nullptr || (count > 1 && fetched == nullptr)) {
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
    auto* c = new FormatList(formats_);
    c->next_ = next_;
    *copy = c;
    return S_OK;
  }

private:
  std::vector<FORMATETC> formats_;
  std::size_t next_ = 0;
  std::atomic<ULONG> refs_{1};
};

// ---- The clipboard as a data object

class ClipboardData final : public IDataObject {
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

  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override
  {
    if (format == nullptr || medium == nullptr) {
      return E_INVALIDARG;
    }
    *medium = STGMEDIUM{};
    const HRESULT ok = QueryGetData(format);
    if (ok != S_OK) {
      return ok;
    }
    if (!OpenClipboard(nullptr)) {
      return CLIPBRD_E_CANT_OPEN;
    }
    HANDLE h = GetClipboardData(format->cfFormat);
    HRESULT hr = DV_E_FORMATETC;
    if (h != nullptr && format->cfFormat == CF_BITMAP) {
      medium->tymed = TYMED_GDI;
      medium->hBitmap = CopyBitmapHandle(static_cast<HBITMAP>(h));
      hr = medium->hBitmap != nullptr ? S_OK : E_OUTOFMEMORY;
    } else if (h != nullptr) {
      medium->tymed = TYMED_HGLOBAL;
      medium->hGlobal = user::CopyGlobalMemory(static_cast<HGLOBAL>(h));
      hr = medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    CloseClipboard();
    if (hr != S_OK) {
      *medium = STGMEDIUM{};
    }
    return hr;
  }
  HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT QueryGetData(FORMATETC* format) override
  {
    if (format == nullptr) {
      return E_INVALIDARG;
    }
    if (format->dwAspect != DVASPECT_CONTENT) {
      return DV_E_DVASPECT;
    }
    if (!IsClipboardFormatAvailable(format->cfFormat)) {
      return DV_E_FORMATETC;
    }
    const DWORD tymed = format->cfFormat == CF_BITMAP ? TYMED_GDI : TYMED_HGLOBAL;
    return (format->tymed & tymed) != 0 ? S_OK : DV_E_TYMED;
  }
  HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
  {
    if (out != nullptr) {
      out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
  {
    if (formats == nullptr) {
      return E_POINTER;
    }
    if (direction != DATADIR_GET) {
      *formats = nullptr;
      return E_NOTIMPL;
    }
    std::vector<FORMATETC> list;
    if (OpenClipboard(nullptr)) {
      for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) {
        FORMATETC fe;
        fe.cfFormat = static_cast<CLIPFORMAT>(f);
        fe.tymed = f == CF_BITMAP ? TYMED_GDI : TYMED_HGLOBAL;
        list.push_back(fe);
      }
      CloseClipboard();
    }
    *formats = new FormatList(std::move(list));
    return S_OK;
  }
  HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
  std::atomic<ULONG> refs_{1};
};

// ---- The drag loop

LRESULT TrackerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_SETCURSOR) {
    return TRUE;  // the loop chooses the cursor
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

LPCSTR TrackerClass()
{
  static bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &TrackerProc;
    wc.lpszClassName = "TesmiraOleDragTracker";
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  return "TesmiraOleDragTracker";
}

DWORD KeyState()
{
  DWORD keys = 0;
  auto held = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
  keys |= held(VK_LBUTTON) ? MK_LBUTTON : 0;
  keys |= held(VK_RBUTTON) ? MK_RBUTTON : 0;
  keys |= held(VK_MBUTTON) ? MK_MBUTTON : 0;
  keys |= held(VK_SHIFT) ? MK_SHIFT : 0;
  keys |= held(VK_CONTROL) ? MK_CONTROL : 0;
  keys |= held(VK_MENU) ? MK_ALT : 0;
  return keys;
}

class DragLoop {
public:
  DragLoop(IDataObject* data, IDropSource* source, DWORD okEffects)
      : data_(data), source_(source), okEffects_(okEffects)
  {
  }
  ~DragLoop() { LeaveTarget(); }
  DragLoop(const DragLoop&) = delete;
  DragLoop& operator=(const DragLoop&) = delete;

  HRESULT Run(DWORD* effect)
  {
    HWND tracker = CreateWindowEx(0, TrackerClass(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (tracker == nullptr) {
      return E_OUTOFMEMORY;
    }
    SetCapture(tracker);
    keys_ = KeyState();
    GetCursorPos(&point_);
    Track();
    HRESULT result = DRAGDROP_S_CANCEL;
    bool escape = false;
    for (;;) {
      const HRESULT go = source_->QueryContinueDrag(escape ? TRUE : FALSE, keys_);
      if (go == DRAGDROP_S_DROP) {
        *effect = Drop();
        result = DRAGDROP_S_DROP;
        break;
      }
      if (go != S_OK || GetCapture() != tracker) {
        result = go == S_OK || go == DRAGDROP_S_CANCEL ? DRAGDROP_S_CANCEL : go;
        break;
      }
      MSG msg{};
      if (!GetMessage(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        const DWORD keys = KeyState();
        POINT at = point_;
        if (msg.message != WM_MOUSEWHEEL && msg.message != WM_MOUSEHWHEEL) {
          at = POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
          ClientToScreen(msg.hwnd, &at);
        }
        if (keys != keys_ || at.x != point_.x || at.y != point_.y) {
          keys_ = keys;
          point_ = at;
          Track();
        }
      } else if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
          escape = true;
        }
        if (const DWORD keys = KeyState(); keys != keys_) {
          keys_ = keys;
          Track();
        }
      } else {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    }
    LeaveTarget();
    if (GetCapture() == tracker) {
      ReleaseCapture();
    }
    DestroyWindow(tracker);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return result;
  }

private:
  POINTL Where() const { return POINTL{point_.x, point_.y}; }

  void Track()
  {
    HWND registered = nullptr;
    IDropTarget* under = TargetFor(WindowFromPoint(point_), &registered);
    if (registered != targetWindow_) {
      LeaveTarget();
      target_ = under;
      targetWindow_ = registered;
      under = nullptr;
      current_ = DROPEFFECT_NONE;
      if (target_ != nullptr) {
        DWORD e = okEffects_;
        current_ = target_->DragEnter(data_, keys_, Where(), &e) == S_OK ? e & okEffects_ : DROPEFFECT_NONE;
      }
    } else if (target_ != nullptr) {
      DWORD e = okEffects_;
      current_ = target_->DragOver(keys_, Where(), &e) == S_OK ? e & okEffects_ : DROPEFFECT_NONE;
    }
    if (under != nullptr) {
      under->Release();
    }
    if (source_->GiveFeedback(current_) == DRAGDROP_S_USEDEFAULTCURSORS) {
      SetCursor(LoadCursor(nullptr, current_ == DROPEFFECT_NONE ? IDC_NO : IDC_ARROW));
    }
  }

  DWORD Drop()
  {
    if (target_ == nullptr) {
      return DROPEFFECT_NONE;
    }
    if (current_ == DROPEFFECT_NONE) {
      LeaveTarget();
      return DROPEFFECT_NONE;
    }
    IDropTarget* t = target_;
    target_ = nullptr;
    targetWindow_ = nullptr;
    DWORD e = okEffects_;
    const DWORD done = t->Drop(data_, keys_, Where(), &e) == S_OK ? e & okEffects_ : DROPEFFECT_NONE;
    t->Release();
    return done;
  }

  void LeaveTarget()
  {
    if (target_ != nullptr) {
      IDropTarget* t = target_;
      target_ = nullptr;
      targetWindow_ = nullptr;
      t->DragLeave();
      t->Release();
    }
  }

  IDataObject* data_;
  IDropSource* source_;
  DWORD okEffects_;
  DWORD keys_ = 0;
  POINT point_{};
  IDropTarget* target_ = nullptr;
  HWND targetWindow_ = nullptr;
  DWORD current_ = DROPEFFECT_NONE;
};

}  // namespace

HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target)
{
  if (!platform::ComInitializedOnThisThread()) {
    return E_OUTOFMEMORY;
  }
  if (target == nullptr) {
    return E_INVALIDARG;
  }
  if (!IsWindow(hwnd)) {
    return DRAGDROP_E_INVALIDHWND;
  }
  {
    std::lock_guard lock(TargetsMutex());
    // A window gone without revoking left its entry; a handle is never given out again, so it is only dropped.
    for (auto it = Targets().begin(); it != Targets().end();) {
      it = IsWindow(it->first) ? std::next(it) : Targets().erase(it);
    }
    if (Targets().count(hwnd) != 0) {
      return DRAGDROP_E_ALREADYREGISTERED;
    }
    Targets()[hwnd] = target;
  }
  target->AddRef();
  return S_OK;
}

HRESULT RevokeDragDrop(HWND hwnd)
{
  IDropTarget* target = nullptr;
  {
    std::lock_guard lock(TargetsMutex());
    auto it = Targets().find(hwnd);
    if (it == Targets().end()) {
      return IsWindow(hwnd) ? DRAGDROP_E_NOTREGISTERED : DRAGDROP_E_INVALIDHWND;
    }
    target = it->second;
    Targets().erase(it);
  }
  target->Release();
  return S_OK;
}

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect)
{
  if (data == nullptr || source == nullptr || effect == nullptr) {
    return E_INVALIDARG;
  }
  *effect = DROPEFFECT_NONE;
  DragLoop loop(data, source, okEffects);
  return loop.Run(effect);
}

void ReleaseStgMedium(STGMEDIUM* medium)
{
  if (medium == nullptr) {
    return;
  }
  if (medium->pUnkForRelease != nullptr) {
    medium->pUnkForRelease->Release();
  } else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal != nullptr) {
    GlobalFree(medium->hGlobal);
  } else if (medium->tymed == TYMED_GDI && medium->hBitmap != nullptr) {
    DeleteObject(medium->hBitmap);
  }
  *medium = STGMEDIUM{};
}

HRESULT OleGetClipboard(IDataObject** data)
{
  if (data == nullptr) {
    return E_INVALIDARG;
  }
  *data = new ClipboardData;
  return S_OK;
}

HRESULT OleSetClipboard(IDataObject* data)
{
  if (!OpenClipboard(nullptr)) {
    return CLIPBRD_E_CANT_OPEN;
  }
  EmptyClipboard();
  IEnumFORMATETC* formats = nullptr;
  if (data != nullptr && data->EnumFormatEtc(DATADIR_GET, &formats) == S_OK && formats != nullptr) {
    FORMATETC fe;
    while (formats->Next(1, &fe, nullptr) == S_OK) {
      STGMEDIUM medium;
      if (data->GetData(&fe, &medium) != S_OK) {
        continue;
      }
      // The clipboard takes what it is given; data still owned by the object is copied first.
      HANDLE given = nullptr;
      if (medium.tymed == TYMED_HGLOBAL) {
        given = medium.pUnkForRelease != nullptr ? user::CopyGlobalMemory(medium.hGlobal) : medium.hGlobal;
      } else if (medium.tymed == TYMED_GDI) {
        given = medium.pUnkForRelease != nullptr ? CopyBitmapHandle(medium.hBitmap) : medium.hBitmap;
      }
      if (given != nullptr) {
        SetClipboardData(fe.cfFormat, given);
        if (medium.pUnkForRelease == nullptr) {
          medium = STGMEDIUM{};
        }
      }
      ReleaseStgMedium(&medium);
    }
    formats->Release();
  }
  CloseClipboard();
  return S_OK;
}

namespace user {

HGLOBAL CopyGlobalMemory(HGLOBAL memory)
{
  const SIZE_T size = GlobalSize(memory);
  const void* from = GlobalLock(memory);
  if (from == nullptr) {
    return nullptr;
  }
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  void* to = copy != nullptr ? GlobalLock(copy) : nullptr;
  if (to != nullptr && size != 0) {
    std::memcpy(to, from, size);
  }
  if (copy != nullptr) {
    GlobalUnlock(copy);
  }
  GlobalUnlock(memory);
  return copy;
}

}  // namespace user
