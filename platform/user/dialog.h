// Dialogs from templates, the dialog manager's keyboard handling, and the modal dialog loop.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/user/messages.h"

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr DWORD DS_ABSALIGN = 0x0001;
inline constexpr DWORD DS_SYSMODAL = 0x0002;
inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD DS_FIXEDSYS = 0x0008;
inline constexpr DWORD DS_NOFAILCREATE = 0x0010;
inline constexpr DWORD DS_LOCALEDIT = 0x0020;
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_NOIDLEMSG = 0x0100;
inline constexpr DWORD DS_SETFOREGROUND = 0x0200;
inline constexpr DWORD DS_CONTROL = 0x0400;
inline constexpr DWORD DS_CENTER = 0x0800;
inline constexpr DWORD DS_CENTERMOUSE = 0x1000;
inline constexpr DWORD DS_CONTEXTHELP = 0x2000;
inline constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// Where a dialog keeps its values (GetWindowLongPtr).
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DWLP_DLGPROC = 8;
inline constexpr int DWLP_USER = 16;
inline constexpr int DLGWINDOWEXTRA = 24;

inline constexpr UINT DM_GETDEFID = WM_USER + 0;
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr WORD DC_HASDEFID = 0x534B;

// The class of dialogs.
inline const LPCSTR WC_DIALOG = reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(0x8002));

// The template in the platform's binary form: DLGTEMPLATE or DLGTEMPLATEEX, items aligned on four bytes, texts
// in UTF-16. The dialog font's face and size come from the template (DS_SETFONT), else the system's.
struct DLGTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  WORD cdit;
  short x;
  short y;
  short cx;
  short cy;
};
struct DLGITEMTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  short x;
  short y;
  short cx;
  short cy;
  WORD id;
};

HWND CreateDialogIndirectParam(HINSTANCE instance, const void* dialogTemplate, HWND parent, DLGPROC proc,
                               LPARAM param);
inline HWND CreateDialogIndirect(HINSTANCE instance, const void* dialogTemplate, HWND parent, DLGPROC proc)
{
  return CreateDialogIndirectParam(instance, dialogTemplate, parent, proc, 0);
}
// Runs the dialog modally over a disabled owner. Without a screen, the modal responder is asked first (with the
// dialog made and initialised); its answer is pressed as that command.
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const void* dialogTemplate, HWND owner, DLGPROC proc,
                               LPARAM param);
inline INT_PTR DialogBoxIndirect(HINSTANCE instance, const void* dialogTemplate, HWND owner, DLGPROC proc)
{
  return DialogBoxIndirectParam(instance, dialogTemplate, owner, proc, 0);
}
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL IsDialogMessage(HWND dialog, MSG* msg);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL MapDialogRect(HWND dialog, RECT* rect);
LONG GetDialogBaseUnits();
BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
