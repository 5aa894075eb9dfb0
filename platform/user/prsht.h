// Property sheets: a dialog with a tab per page, each page a child dialog from its own template, and the OK,
// Cancel, Apply and Help buttons at the bottom right. Pages hear of what happens through WM_NOTIFY (PSN_), and
// talk to their sheet with PSM_ messages.
//
// A modal sheet (PropertySheet without PSH_MODELESS) runs its own loop over its disabled owner; without a screen,
// the modal responder is asked first (the sheet made and its first page shown) and its answer is pressed as OK or
// Cancel. The answer is 1 when some Apply or OK saved the pages' values, 0 when nothing was saved, -1 when the
// sheet could not be made. A modeless sheet answers its window; once OK or Cancel closed it,
// PSM_GETCURRENTPAGEHWND answers null and its owner destroys it.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/user/common_controls.h"
#include "platform/user/dialog.h"

struct PSP__;
using HPROPSHEETPAGE = PSP__*;
struct PROPSHEETPAGE;

using LPFNPSPCALLBACK = UINT (*)(HWND hwnd, UINT msg, PROPSHEETPAGE* page);
using PFNPROPSHEETCALLBACK = int (*)(HWND hwnd, UINT msg, LPARAM lParam);

struct PROPSHEETPAGE {
  DWORD dwSize = sizeof(PROPSHEETPAGE);
  DWORD dwFlags = 0;
  HINSTANCE hInstance = nullptr;
  union {
    LPCSTR pszTemplate = nullptr;
    const DLGTEMPLATE* pResource;
  };
  union {
    HICON hIcon = nullptr;
    LPCSTR pszIcon;
  };
  LPCSTR pszTitle = nullptr;
  DLGPROC pfnDlgProc = nullptr;
  LPARAM lParam = 0;
  LPFNPSPCALLBACK pfnCallback = nullptr;
  UINT* pcRefParent = nullptr;
  LPCSTR pszHeaderTitle = nullptr;
  LPCSTR pszHeaderSubTitle = nullptr;
};
using PROPSHEETPAGEA = PROPSHEETPAGE;
using LPPROPSHEETPAGE = PROPSHEETPAGE*;
using LPCPROPSHEETPAGE = const PROPSHEETPAGE*;

struct PROPSHEETHEADER {
  DWORD dwSize = sizeof(PROPSHEETHEADER);
  DWORD dwFlags = 0;
  HWND hwndParent = nullptr;
  HINSTANCE hInstance = nullptr;
  union {
    HICON hIcon = nullptr;
    LPCSTR pszIcon;
  };
  LPCSTR pszCaption = nullptr;
  UINT nPages = 0;
  union {
    UINT nStartPage = 0;
    LPCSTR pStartPage;
  };
  union {
    LPCPROPSHEETPAGE ppsp = nullptr;
    HPROPSHEETPAGE* phpage;
  };
  PFNPROPSHEETCALLBACK pfnCallback = nullptr;
};
using PROPSHEETHEADERA = PROPSHEETHEADER;
using LPCPROPSHEETHEADER = const PROPSHEETHEADER*;

// PROPSHEETPAGE::dwFlags
inline constexpr DWORD PSP_DEFAULT = 0x00000000;
inline constexpr DWORD PSP_DLGINDIRECT = 0x00000001;
inline constexpr DWORD PSP_USEHICON = 0x00000002;
inline constexpr DWORD PSP_USEICONID = 0x00000004;
inline constexpr DWORD PSP_USETITLE = 0x00000008;
inline constexpr DWORD PSP_RTLREADING = 0x00000010;
inline constexpr DWORD PSP_HASHELP = 0x00000020;
inline constexpr DWORD PSP_USEREFPARENT = 0x00000040;
inline constexpr DWORD PSP_USECALLBACK = 0x00000080;
inline constexpr DWORD PSP_PREMATURE = 0x00000400;
inline constexpr DWORD PSP_HIDEHEADER = 0x00000800;
inline constexpr DWORD PSP_USEHEADERTITLE = 0x00001000;
inline constexpr DWORD PSP_USEHEADERSUBTITLE = 0x00002000;

// The page callback's messages.
inline constexpr UINT PSPCB_ADDREF = 0;
inline constexpr UINT PSPCB_RELEASE = 1;
inline constexpr UINT PSPCB_CREATE = 2;

// PROPSHEETHEADER::dwFlags
inline constexpr DWORD PSH_DEFAULT = 0x00000000;
inline constexpr DWORD PSH_PROPTITLE = 0x00000001;
inline constexpr DWORD PSH_USEHICON = 0x00000002;
inline constexpr DWORD PSH_USEICONID = 0x00000004;
inline constexpr DWORD PSH_PROPSHEETPAGE = 0x00000008;
inline constexpr DWORD PSH_WIZARDHASFINISH = 0x00000010;
inline constexpr DWORD PSH_WIZARD = 0x00000020;
inline constexpr DWORD PSH_USEPSTARTPAGE = 0x00000040;
inline constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
inline constexpr DWORD PSH_USECALLBACK = 0x00000100;
inline constexpr DWORD PSH_HASHELP = 0x00000200;
inline constexpr DWORD PSH_MODELESS = 0x00000400;
inline constexpr DWORD PSH_RTLREADING = 0x00000800;
inline constexpr DWORD PSH_WIZARDCONTEXTHELP = 0x00001000;
inline constexpr DWORD PSH_NOCONTEXTHELP = 0x02000000;

// The sheet callback's messages: before the sheet's window is made (lParam the template) and after its
// WM_INITDIALOG made the tabs, the buttons and the first page.
inline constexpr UINT PSCB_INITIALIZED = 1;
inline constexpr UINT PSCB_PRECREATE = 2;

// Notifications to pages (WM_NOTIFY, the NMHDR inside a PSHNOTIFY). A page answers through its dialog procedure's
// DWLP_MSGRESULT, or as the result of the message.
inline constexpr UINT PSN_FIRST = static_cast<UINT>(-200);
inline constexpr UINT PSN_SETACTIVE = PSN_FIRST - 0;        // 0 takes the activation; -1 refuses it
inline constexpr UINT PSN_KILLACTIVE = PSN_FIRST - 1;       // TRUE keeps the page (its values are wrong)
inline constexpr UINT PSN_APPLY = PSN_FIRST - 2;            // PSNRET_; lParam of the PSHNOTIFY: TRUE for OK
inline constexpr UINT PSN_RESET = PSN_FIRST - 3;            // Cancel: forget the changes
inline constexpr UINT PSN_HELP = PSN_FIRST - 5;
inline constexpr UINT PSN_WIZBACK = PSN_FIRST - 6;
inline constexpr UINT PSN_WIZNEXT = PSN_FIRST - 7;
inline constexpr UINT PSN_WIZFINISH = PSN_FIRST - 8;
inline constexpr UINT PSN_QUERYCANCEL = PSN_FIRST - 9;      // TRUE keeps the sheet open
inline constexpr UINT PSN_GETOBJECT = PSN_FIRST - 10;
inline constexpr UINT PSN_TRANSLATEACCELERATOR = PSN_FIRST - 12;
inline constexpr UINT PSN_QUERYINITIALFOCUS = PSN_FIRST - 13;
inline constexpr UINT PSN_LAST = static_cast<UINT>(-299);

inline constexpr LRESULT PSNRET_NOERROR = 0;
inline constexpr LRESULT PSNRET_INVALID = 1;
inline constexpr LRESULT PSNRET_INVALID_NOCHANGEPAGE = 2;

struct PSHNOTIFY {
  NMHDR hdr;
  LPARAM lParam;
};
using LPPSHNOTIFY = PSHNOTIFY*;

// Messages to the sheet.
inline constexpr UINT PSM_SETCURSEL = WM_USER + 101;         // (index, page): TRUE when the page is now current
inline constexpr UINT PSM_REMOVEPAGE = WM_USER + 102;        // (index, page)
inline constexpr UINT PSM_ADDPAGE = WM_USER + 103;           // (0, page): TRUE when added
inline constexpr UINT PSM_CHANGED = WM_USER + 104;           // (page window): enables Apply
inline constexpr UINT PSM_RESTARTWINDOWS = WM_USER + 105;
inline constexpr UINT PSM_REBOOTSYSTEM = WM_USER + 106;
inline constexpr UINT PSM_CANCELTOCLOSE = WM_USER + 107;     // OK reads "Close", Cancel is disabled
inline constexpr UINT PSM_QUERYSIBLINGS = WM_USER + 108;     // to every made page until one answers non-zero
inline constexpr UINT PSM_UNCHANGED = WM_USER + 109;         // (page window)
inline constexpr UINT PSM_APPLY = WM_USER + 110;             // as the Apply button: TRUE when every page took it
inline constexpr UINT PSM_SETTITLE = WM_USER + 111;          // (PSH_PROPTITLE or 0, text)
inline constexpr UINT PSM_SETWIZBUTTONS = WM_USER + 112;
inline constexpr UINT PSM_PRESSBUTTON = WM_USER + 113;       // (PSBTN_)
inline constexpr UINT PSM_SETCURSELID = WM_USER + 114;       // (0, template id)
inline constexpr UINT PSM_SETFINISHTEXT = WM_USER + 115;
inline constexpr UINT PSM_GETTABCONTROL = WM_USER + 116;
inline constexpr UINT PSM_ISDIALOGMESSAGE = WM_USER + 117;   // (0, MSG*): TRUE when the sheet took it
inline constexpr UINT PSM_GETCURRENTPAGEHWND = WM_USER + 118;
inline constexpr UINT PSM_INSERTPAGE = WM_USER + 119;        // (index, page)
inline constexpr UINT PSM_HWNDTOINDEX = WM_USER + 130;
inline constexpr UINT PSM_INDEXTOHWND = WM_USER + 131;
inline constexpr UINT PSM_PAGETOINDEX = WM_USER + 132;
inline constexpr UINT PSM_INDEXTOPAGE = WM_USER + 133;
inline constexpr UINT PSM_IDTOINDEX = WM_USER + 134;
// The sheet's answer so far, as PropertySheet would give it. (Windows numbers PSM_INDEXTOID the same; that
// question is not answered here.)
inline constexpr UINT PSM_GETRESULT = WM_USER + 135;

inline constexpr int PSBTN_BACK = 0;
inline constexpr int PSBTN_NEXT = 1;
inline constexpr int PSBTN_FINISH = 2;
inline constexpr int PSBTN_OK = 3;
inline constexpr int PSBTN_APPLYNOW = 4;
inline constexpr int PSBTN_CANCEL = 5;
inline constexpr int PSBTN_HELP = 6;

inline constexpr INT_PTR ID_PSRESTARTWINDOWS = 2;
inline constexpr INT_PTR ID_PSREBOOTSYSTEM = 3;

// The sheet's own controls.
inline constexpr int IDC_PROPSHEET_TABCONTROL = 0x3020;
inline constexpr int IDC_PROPSHEET_APPLYNOW = 0x3021;

// Copies the description (dwSize bytes of it); null for a description that is too small or names no template.
HPROPSHEETPAGE CreatePropertySheetPage(LPCPROPSHEETPAGE page);
// For pages never given to a sheet; a sheet destroys its own pages.
BOOL DestroyPropertySheetPage(HPROPSHEETPAGE page);
INT_PTR PropertySheet(LPCPROPSHEETHEADER header);

inline BOOL PropSheet_SetCurSel(HWND sheet, HPROPSHEETPAGE page, int index)
{
  return static_cast<BOOL>(
      SendMessage(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(page)));
}
inline void PropSheet_RemovePage(HWND sheet, int index, HPROPSHEETPAGE page)
{
  SendMessage(sheet, PSM_REMOVEPAGE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(page));
}
inline BOOL PropSheet_AddPage(HWND sheet, HPROPSHEETPAGE page)
{
  return static_cast<BOOL>(SendMessage(sheet, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(page)));
}
inline void PropSheet_Changed(HWND sheet, HWND page)
{
  SendMessage(sheet, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}
inline void PropSheet_UnChanged(HWND sheet, HWND page)
{
  SendMessage(sheet, PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}
inline void PropSheet_CancelToClose(HWND sheet) { SendMessage(sheet, PSM_CANCELTOCLOSE, 0, 0); }
inline LRESULT PropSheet_QuerySiblings(HWND sheet, WPARAM wParam, LPARAM lParam)
{
  return SendMessage(sheet, PSM_QUERYSIBLINGS, wParam, lParam);
}
inline BOOL PropSheet_Apply(HWND sheet) { return static_cast<BOOL>(SendMessage(sheet, PSM_APPLY, 0, 0)); }
inline void PropSheet_SetTitle(HWND sheet, DWORD style, LPCSTR text)
{
  SendMessage(sheet, PSM_SETTITLE, style, reinterpret_cast<LPARAM>(text));
}
inline void PropSheet_PressButton(HWND sheet, int button)
{
  SendMessage(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}
inline HWND PropSheet_GetTabControl(HWND sheet)
{
  return reinterpret_cast<HWND>(SendMessage(sheet, PSM_GETTABCONTROL, 0, 0));
}
inline BOOL PropSheet_IsDialogMessage(HWND sheet, MSG* msg)
{
  return static_cast<BOOL>(SendMessage(sheet, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)));
}
inline HWND PropSheet_GetCurrentPageHwnd(HWND sheet)
{
  return reinterpret_cast<HWND>(SendMessage(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
inline int PropSheet_HwndToIndex(HWND sheet, HWND page)
{
  return static_cast<int>(SendMessage(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}
inline HWND PropSheet_IndexToHwnd(HWND sheet, int index)
{
  return reinterpret_cast<HWND>(SendMessage(sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(index), 0));
}
inline int PropSheet_PageToIndex(HWND sheet, HPROPSHEETPAGE page)
{
  return static_cast<int>(SendMessage(sheet, PSM_PAGETOINDEX, 0, reinterpret_cast<LPARAM>(page)));
}
inline HPROPSHEETPAGE PropSheet_IndexToPage(HWND sheet, int index)
{
  return reinterpret_cast<HPROPSHEETPAGE>(SendMessage(sheet, PSM_INDEXTOPAGE, static_cast<WPARAM>(index), 0));
}
inline INT_PTR PropSheet_GetResult(HWND sheet) { return static_cast<INT_PTR>(SendMessage(sheet, PSM_GETRESULT, 0, 0)); }
