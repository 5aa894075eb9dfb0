// Windows, dialogs, bitmaps, icons and cursors from a module's resources and from image files.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/dialog.h"

// Dialogs from the RT_DIALOG template `name` of `instance` (null: the program's); a missing template gives
// null / -1 with the lookup's last error.
HWND CreateDialogParam(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param);
inline HWND CreateDialog(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc)
{
  return CreateDialogParam(instance, name, parent, proc, 0);
}
INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
inline INT_PTR DialogBox(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc)
{
  return DialogBoxParam(instance, name, owner, proc, 0);
}

inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT IMAGE_CURSOR = 2;

inline constexpr UINT LR_DEFAULTCOLOR = 0x0000;
inline constexpr UINT LR_MONOCHROME = 0x0001;
inline constexpr UINT LR_LOADFROMFILE = 0x0010;
inline constexpr UINT LR_LOADTRANSPARENT = 0x0020;
inline constexpr UINT LR_DEFAULTSIZE = 0x0040;
inline constexpr UINT LR_VGACOLOR = 0x0080;
inline constexpr UINT LR_LOADMAP3DCOLORS = 0x1000;
inline constexpr UINT LR_CREATEDIBSECTION = 0x2000;
inline constexpr UINT LR_SHARED = 0x8000;

inline const LPCSTR IDI_APPLICATION = reinterpret_cast<LPCSTR>(32512);
inline const LPCSTR IDI_HAND = reinterpret_cast<LPCSTR>(32513);
inline const LPCSTR IDI_QUESTION = reinterpret_cast<LPCSTR>(32514);
inline const LPCSTR IDI_EXCLAMATION = reinterpret_cast<LPCSTR>(32515);
inline const LPCSTR IDI_ASTERISK = reinterpret_cast<LPCSTR>(32516);
inline const LPCSTR IDI_WINLOGO = reinterpret_cast<LPCSTR>(32517);
inline const LPCSTR IDI_WARNING = IDI_EXCLAMATION;
inline const LPCSTR IDI_ERROR = IDI_HAND;
inline const LPCSTR IDI_INFORMATION = IDI_ASTERISK;

// A new device-dependent bitmap from the RT_BITMAP resource `name`; the caller deletes it. Missing: null
// with the lookup's last error.
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);

// A bitmap, icon or cursor from a module's resource or, with LR_LOADFROMFILE, from a .bmp, .ico or .cur file
// named by `name` (instance ignored). Bitmaps keep their size unless cx and cy ask for another;
// LR_CREATEDIBSECTION makes a DIB section of the file's depth (32 bits stays 32, others 24). Icons and
// cursors take the directory's image nearest to cx x cy (0 with LR_DEFAULTSIZE: the system size; 0 without:
// the first image's size), scaled when it differs. LR_SHARED hands out one handle per resource, never to be
// destroyed. Files with PNG-compressed icon images, compressed bitmaps or 16-bit pixels are refused (null).
HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);

// The icon of a module's RT_GROUP_ICON resource at the system icon size; with a null instance, the system
// icons (IDI_). Shared: the same handle each time, never destroyed by the caller.
HICON LoadIcon(HINSTANCE instance, LPCSTR name);

// LoadCursor for a module (a null module means the system's cursors, which LoadCursor answers itself).
HCURSOR LoadCursorFromModule(HINSTANCE instance, LPCSTR name);
