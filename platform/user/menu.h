// Menus: menu bars and popup menus built in code or from templates, TrackPopupMenu, and accelerator tables.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/user/messages.h"

inline constexpr UINT MF_INSERT = 0x00000000;
inline constexpr UINT MF_CHANGE = 0x00000080;
inline constexpr UINT MF_APPEND = 0x00000100;
inline constexpr UINT MF_DELETE = 0x00000200;
inline constexpr UINT MF_REMOVE = 0x00001000;
inline constexpr UINT MF_BYCOMMAND = 0x00000000;
inline constexpr UINT MF_BYPOSITION = 0x00000400;
inline constexpr UINT MF_SEPARATOR = 0x00000800;
inline constexpr UINT MF_ENABLED = 0x00000000;
inline constexpr UINT MF_GRAYED = 0x00000001;
inline constexpr UINT MF_DISABLED = 0x00000002;
inline constexpr UINT MF_UNCHECKED = 0x00000000;
inline constexpr UINT MF_CHECKED = 0x00000008;
inline constexpr UINT MF_USECHECKBITMAPS = 0x00000200;
inline constexpr UINT MF_STRING = 0x00000000;
inline constexpr UINT MF_BITMAP = 0x00000004;
inline constexpr UINT MF_OWNERDRAW = 0x00000100;
inline constexpr UINT MF_POPUP = 0x00000010;
inline constexpr UINT MF_MENUBARBREAK = 0x00000020;
inline constexpr UINT MF_MENUBREAK = 0x00000040;
inline constexpr UINT MF_UNHILITE = 0x00000000;
inline constexpr UINT MF_HILITE = 0x00000080;
inline constexpr UINT MF_DEFAULT = 0x00001000;
inline constexpr UINT MF_SYSMENU = 0x00002000;
inline constexpr UINT MF_HELP = 0x00004000;
inline constexpr UINT MF_RIGHTJUSTIFY = 0x00004000;
inline constexpr UINT MF_MOUSESELECT = 0x00008000;
inline constexpr UINT MF_END = 0x00000080;  // last item of a level, in menu templates

inline constexpr UINT MFT_STRING = MF_STRING;
inline constexpr UINT MFT_BITMAP = MF_BITMAP;
inline constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
inline constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
inline constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
inline constexpr UINT MFT_RADIOCHECK = 0x00000200;
inline constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
inline constexpr UINT MFT_RIGHTORDER = 0x00002000;
inline constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;
inline constexpr UINT MFS_GRAYED = 0x00000003;
inline constexpr UINT MFS_DISABLED = MFS_GRAYED;
inline constexpr UINT MFS_CHECKED = MF_CHECKED;
inline constexpr UINT MFS_HILITE = MF_HILITE;
inline constexpr UINT MFS_ENABLED = MF_ENABLED;
inline constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
inline constexpr UINT MFS_UNHILITE = MF_UNHILITE;
inline constexpr UINT MFS_DEFAULT = MF_DEFAULT;

inline constexpr UINT MIIM_STATE = 0x00000001;
inline constexpr UINT MIIM_ID = 0x00000002;
inline constexpr UINT MIIM_SUBMENU = 0x00000004;
inline constexpr UINT MIIM_CHECKMARKS = 0x00000008;
inline constexpr UINT MIIM_TYPE = 0x00000010;
inline constexpr UINT MIIM_DATA = 0x00000020;
inline constexpr UINT MIIM_STRING = 0x00000040;
inline constexpr UINT MIIM_BITMAP = 0x00000080;
inline constexpr UINT MIIM_FTYPE = 0x00000100;

inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_HORIZONTAL = 0x0000;
inline constexpr UINT TPM_VERTICAL = 0x0040;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;
inline constexpr UINT TPM_RECURSE = 0x0001;
inline constexpr UINT TPM_NOANIMATION = 0x4000;

struct MENUITEMINFO {
  UINT cbSize = sizeof(MENUITEMINFO);
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  LPSTR dwTypeData = nullptr;
  UINT cch = 0;
  HBITMAP hbmpItem = nullptr;
};
struct TPMPARAMS {
  UINT cbSize = sizeof(TPMPARAMS);
  RECT rcExclude{};
};

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
// DeleteMenu destroys a submenu it removes; RemoveMenu leaves it to the caller.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
// Bitmaps in place of the item's check mark (checked) and beside it when unchecked; null for the default. They are
// combined with the menu by AND: white shows the menu through. The menu does not own them.
BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked);
// The size of the check column's mark: LOWORD width, HIWORD height.
LONG GetMenuCheckMarkDimensions();
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
// A menu from a template in the platform's binary form: a header of two words (version 0, offset), then items:
// a word of MF_ flags (MF_POPUP opens a level, MF_END closes one), a word command id unless it is a popup, and
// the text in UTF-16 ending in a zero.
HMENU LoadMenuIndirect(const void* menuTemplate);
HMENU LoadMenu(HINSTANCE instance, LPCSTR name);

// Runs the menu's modal loop. With TPM_RETURNCMD the chosen command is the answer (0 when none); otherwise
// WM_COMMAND is posted to the owner and the answer is nonzero when a command was chosen.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
BOOL EndMenu();

// Accelerator tables.
inline constexpr BYTE FVIRTKEY = 0x01;
inline constexpr BYTE FNOINVERT = 0x02;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;
struct ACCEL {
  BYTE fVirt = 0;
  WORD key = 0;
  WORD cmd = 0;
};
HACCEL CreateAcceleratorTable(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
int CopyAcceleratorTable(HACCEL table, ACCEL* entries, int count);
HACCEL LoadAccelerators(HINSTANCE instance, LPCSTR name);
// A key message that matches an entry becomes WM_COMMAND (high word 1) sent to `hwnd`; TRUE when it matched.
int TranslateAccelerator(HWND hwnd, HACCEL table, MSG* msg);
