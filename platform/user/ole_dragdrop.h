// OLE data transfer inside the process: data objects, drop targets registered on windows, and DoDragDrop's
// modal loop. There is no other process to drag to or from; the clipboard is seen as a data object too.
//
// DoDragDrop captures the mouse and, until the source says drop or cancel, follows it: the registered target of
// the window under the cursor (or of its nearest registered parent) gets DragEnter, DragOver on every move or
// change of the keys, DragLeave when the cursor leaves it or the drag is cancelled, and Drop on release. The
// source is asked QueryContinueDrag before each step (Escape pressed, the keys held) and GiveFeedback with the
// effect the target answered. Mouse and key messages of the thread are taken by the loop meanwhile; everything
// else is dispatched.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/com/unknown.h"

using CLIPFORMAT = WORD;
using SCODE = LONG;
using DROPEFFECT = DWORD;

struct POINTL {
  LONG x = 0;
  LONG y = 0;
};

inline constexpr DROPEFFECT DROPEFFECT_NONE = 0;
inline constexpr DROPEFFECT DROPEFFECT_COPY = 1;
inline constexpr DROPEFFECT DROPEFFECT_MOVE = 2;
inline constexpr DROPEFFECT DROPEFFECT_LINK = 4;
inline constexpr DROPEFFECT DROPEFFECT_SCROLL = 0x80000000u;

// Key state as drop targets get it (the MK_ values of mouse messages).
inline constexpr DWORD MK_ALT = 0x20;

enum DVASPECT : DWORD {
  DVASPECT_CONTENT = 1,
  DVASPECT_THUMBNAIL = 2,
  DVASPECT_ICON = 4,
  DVASPECT_DOCPRINT = 8,
};

enum TYMED : DWORD {
  TYMED_NULL = 0,
  TYMED_HGLOBAL = 1,
  TYMED_FILE = 2,
  TYMED_ISTREAM = 4,
  TYMED_ISTORAGE = 8,
  TYMED_GDI = 16,
  TYMED_MFPICT = 32,
  TYMED_ENHMF = 64,
};

enum DATADIR : DWORD {
  DATADIR_GET = 1,
  DATADIR_SET = 2,
};

struct DVTARGETDEVICE;
struct IAdviseSink;
struct IEnumSTATDATA;

struct FORMATETC {
  CLIPFORMAT cfFormat = 0;
  DVTARGETDEVICE* ptd = nullptr;
  DWORD dwAspect = DVASPECT_CONTENT;
  LONG lindex = -1;
  DWORD tymed = TYMED_HGLOBAL;
};
using LPFORMATETC = FORMATETC*;

// What a data object hands out; the receiver frees it with ReleaseStgMedium. With pUnkForRelease set, the
// giver still owns the data and releasing only releases that object.
struct STGMEDIUM {
  DWORD tymed = TYMED_NULL;
  union {
    HBITMAP hBitmap;
    HGLOBAL hGlobal = nullptr;
    LPSTR lpszFileName;
  };
  IUnknown* pUnkForRelease = nullptr;
};
using LPSTGMEDIUM = STGMEDIUM*;

inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003u);
inline constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064u);
inline constexpr HRESULT DV_E_LINDEX = static_cast<HRESULT>(0x80040068u);
inline constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069u);
inline constexpr HRESULT DV_E_DVASPECT = static_cast<HRESULT>(0x8004006Bu);
inline constexpr HRESULT DATA_S_SAMEFORMATETC = static_cast<HRESULT>(0x00040130u);
inline constexpr HRESULT DRAGDROP_S_DROP = static_cast<HRESULT>(0x00040100u);
inline constexpr HRESULT DRAGDROP_S_CANCEL = static_cast<HRESULT>(0x00040101u);
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = static_cast<HRESULT>(0x00040102u);
inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100u);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101u);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102u);
inline constexpr HRESULT CLIPBRD_E_CANT_OPEN = static_cast<HRESULT>(0x800401D0u);

// {00000103-0000-0000-C000-000000000046}
inline constexpr IID IID_IEnumFORMATETC{0x00000103, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0000010E-0000-0000-C000-000000000046}
inline constexpr IID IID_IDataObject{0x0000010E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000121-0000-0000-C000-000000000046}
inline constexpr IID IID_IDropSource{0x00000121, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000122-0000-0000-C000-000000000046}
inline constexpr IID IID_IDropTarget{0x00000122, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IEnumFORMATETC : IUnknown {
  virtual HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumFORMATETC** copy) = 0;

protected:
  ~IEnumFORMATETC() = default;
};

struct IDataObject : IUnknown {
  virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT QueryGetData(FORMATETC* format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;
  virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
  virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) = 0;
  virtual HRESULT DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) = 0;
  virtual HRESULT DUnadvise(DWORD connection) = 0;
  virtual HRESULT EnumDAdvise(IEnumSTATDATA** advises) = 0;

protected:
  ~IDataObject() = default;
};
using LPDATAOBJECT = IDataObject*;

struct IDropSource : IUnknown {
  // S_OK goes on, DRAGDROP_S_DROP drops, DRAGDROP_S_CANCEL cancels.
  virtual HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
  // DRAGDROP_S_USEDEFAULTCURSORS lets the loop show the cursor of the effect.
  virtual HRESULT GiveFeedback(DWORD effect) = 0;

protected:
  ~IDropSource() = default;
};
using LPDROPSOURCE = IDropSource*;

struct IDropTarget : IUnknown {
  // `effect` comes in as what the source allows and goes out as what the target would do; points are on the
  // screen.
  virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

protected:
  ~IDropTarget() = default;
};
using LPDROPTARGET = IDropTarget*;

// The window keeps a reference to the target until RevokeDragDrop. E_OUTOFMEMORY (as Windows answers) on a
// thread without OleInitialize.
HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target);
HRESULT RevokeDragDrop(HWND hwnd);
// DRAGDROP_S_DROP (with *effect what the target did, DROPEFFECT_NONE over no target) or DRAGDROP_S_CANCEL.
HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect);
void ReleaseStgMedium(STGMEDIUM* medium);
// A data object over what the clipboard holds now: global memory blocks and bitmaps come out as copies.
HRESULT OleGetClipboard(IDataObject** data);
// Puts every format the object offers as a global block or a bitmap on the clipboard; null empties it.
HRESULT OleSetClipboard(IDataObject* data);

namespace user {

// A copy of a global memory block (null for none or a failed allocation).
HGLOBAL CopyGlobalMemory(HGLOBAL memory);
// A copy of a bitmap's pixels (monochrome stays monochrome); null for none.
HBITMAP CopyBitmapHandle(HBITMAP bitmap);

}  // namespace user
