// OLE pictures from files: OleLoadPicturePath and the IPicture it gives, as far as the toolkit's button image
// editor uses them (the handle, the size, and Render).
//
// A picture is a .bmp, an .ico or a .png file, known by its first bytes whatever its name. Every file is a
// user's file and taken as hostile: its size and every size, count and offset in it are checked against the
// bytes there are and against our limits before anything is made from it, and a file that fails is refused with
// CTL_E_INVALIDPICTURE (truncated, damaged, or of another kind), CTL_E_OUTOFMEMORY (larger than we load) or
// CTL_E_FILENOTFOUND, said in one line on stderr.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/com/bstr.h"
#include "platform/com/unknown.h"
#include "platform/gdi/wingdi.h"

// {7BF80980-BF32-101A-8BBB-00AA00300CAB}
inline constexpr IID IID_IPicture{0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

inline constexpr HRESULT CTL_E_OUTOFMEMORY = static_cast<HRESULT>(0x800A0007u);
inline constexpr HRESULT CTL_E_FILENOTFOUND = static_cast<HRESULT>(0x800A0035u);
inline constexpr HRESULT CTL_E_INVALIDPICTURE = static_cast<HRESULT>(0x800A01E1u);

// Windows keeps picture handles in 32 bits; ours are pointers, so the handle type is pointer-sized here.
using OLE_HANDLE = UINT_PTR;
using OLE_XPOS_HIMETRIC = LONG;
using OLE_YPOS_HIMETRIC = LONG;
using OLE_XSIZE_HIMETRIC = LONG;
using OLE_YSIZE_HIMETRIC = LONG;
using OLE_COLOR = DWORD;

inline constexpr SHORT PICTYPE_UNINITIALIZED = -1;
inline constexpr SHORT PICTYPE_NONE = 0;
inline constexpr SHORT PICTYPE_BITMAP = 1;
inline constexpr SHORT PICTYPE_ICON = 3;
inline constexpr DWORD PICTURE_SCALABLE = 0x1;
inline constexpr DWORD PICTURE_TRANSPARENT = 0x2;

struct IStream;
using LPSTREAM = IStream*;

struct IPicture : IUnknown {
  // The HBITMAP or HICON, owned by the picture.
  virtual HRESULT get_Handle(OLE_HANDLE* handle) = 0;
  virtual HRESULT get_hPal(OLE_HANDLE* palette) = 0;
  virtual HRESULT get_Type(SHORT* type) = 0;
  // In HIMETRIC (0.01 mm), at 96 pixels to the inch.
  virtual HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) = 0;
  virtual HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) = 0;
  // Draws the source part (HIMETRIC, y counted up from the bottom, so the whole picture upright is
  // (0, height, width, -height)) into (x, y, cx, cy), scaled; pictures with alpha are blended, icons drawn
  // whole through their mask. A source turned upside down is drawn upright.
  virtual HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                         OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, const RECT* metafileBounds) = 0;
  virtual HRESULT set_hPal(OLE_HANDLE palette) = 0;
  virtual HRESULT get_CurDC(HDC* dc) = 0;
  virtual HRESULT SelectPicture(HDC dcIn, HDC* dcOut, OLE_HANDLE* bitmapOut) = 0;
  virtual HRESULT get_KeepOriginalFormat(BOOL* keep) = 0;
  virtual HRESULT put_KeepOriginalFormat(BOOL keep) = 0;
  virtual HRESULT PictureChanged() = 0;
  virtual HRESULT SaveAsFile(LPSTREAM stream, BOOL saveMemCopy, LONG* size) = 0;
  virtual HRESULT get_Attributes(DWORD* attributes) = 0;

protected:
  ~IPicture() = default;
};
using LPPICTURE = IPicture*;

// `path` is a file path (UTF-16; a program path as the file functions take it). Only IID_IPicture and
// IID_IUnknown are offered; the caller and colour arguments are ignored, as for a file.
HRESULT OleLoadPicturePath(LPCOLESTR path, IUnknown* caller, DWORD reserved, OLE_COLOR reservedColor, REFIID iid,
                           void** picture);
