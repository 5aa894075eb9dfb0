// Windows: classes, creation and destruction, styles, the window tree, position and size, text, long values and
// properties.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/user/messages.h"

// A resource or class named by a number instead of a text.
inline LPCSTR MAKEINTRESOURCE(WORD id) { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(id)); }
inline LPCSTR MAKEINTATOM(ATOM atom) { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)); }
inline bool IS_INTRESOURCE(LPCSTR p) { return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0; }

// Window styles.
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_TILED = WS_OVERLAPPED;
inline constexpr DWORD WS_ICONIC = WS_MINIMIZE;
inline constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr DWORD WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW;
inline constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
inline constexpr DWORD WS_CHILDWINDOW = WS_CHILD;

inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
inline constexpr DWORD WS_EX_MDICHILD = 0x00000040;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
inline constexpr DWORD WS_EX_RIGHT = 0x00001000;
inline constexpr DWORD WS_EX_LEFT = 0x00000000;
inline constexpr DWORD WS_EX_RTLREADING = 0x00002000;
inline constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
inline constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
inline constexpr DWORD WS_EX_LAYERED = 0x00080000;
inline constexpr DWORD WS_EX_NOINHERITLAYOUT = 0x00100000;
inline constexpr DWORD WS_EX_LAYOUTRTL = 0x00400000;
inline constexpr DWORD WS_EX_COMPOSITED = 0x02000000;
inline constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
inline constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
inline constexpr DWORD WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// Class styles.
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_OWNDC = 0x0020;
inline constexpr UINT CS_CLASSDC = 0x0040;
inline constexpr UINT CS_PARENTDC = 0x0080;
inline constexpr UINT CS_NOCLOSE = 0x0200;
inline constexpr UINT CS_SAVEBITS = 0x0800;
inline constexpr UINT CS_BYTEALIGNCLIENT = 0x1000;
inline constexpr UINT CS_BYTEALIGNWINDOW = 0x2000;
inline constexpr UINT CS_GLOBALCLASS = 0x4000;
inline constexpr UINT CS_DROPSHADOW = 0x00020000;

inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// ShowWindow
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;
inline constexpr int SW_FORCEMINIMIZE = 11;
// WM_SHOWWINDOW lParam
inline constexpr LPARAM SW_PARENTCLOSING = 1;
inline constexpr LPARAM SW_PARENTOPENING = 3;

// SetWindowPos
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline constexpr UINT SWP_NOCOPYBITS = 0x0100;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;
inline constexpr UINT SWP_NOSENDCHANGING = 0x0400;
inline constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
inline constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
inline constexpr UINT SWP_DEFERERASE = 0x2000;
inline constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<LONG_PTR>(1));
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2));
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-3));

// Get/SetWindowLong
inline constexpr int GWL_WNDPROC = -4;
inline constexpr int GWL_HINSTANCE = -6;
inline constexpr int GWL_HWNDPARENT = -8;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWL_USERDATA = -21;
inline constexpr int GWL_ID = -12;
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr int GWLP_ID = -12;
// Get/SetClassLong
inline constexpr int GCL_MENUNAME = -8;
inline constexpr int GCL_HBRBACKGROUND = -10;
inline constexpr int GCL_HCURSOR = -12;
inline constexpr int GCL_HICON = -14;
inline constexpr int GCL_HMODULE = -16;
inline constexpr int GCL_CBWNDEXTRA = -18;
inline constexpr int GCL_CBCLSEXTRA = -20;
inline constexpr int GCL_WNDPROC = -24;
inline constexpr int GCL_STYLE = -26;
inline constexpr int GCW_ATOM = -32;
inline constexpr int GCL_HICONSM = -34;
inline constexpr int GCLP_MENUNAME = -8;
inline constexpr int GCLP_HBRBACKGROUND = -10;
inline constexpr int GCLP_HCURSOR = -12;
inline constexpr int GCLP_HICON = -14;
inline constexpr int GCLP_HMODULE = -16;
inline constexpr int GCLP_WNDPROC = -24;
inline constexpr int GCLP_HICONSM = -34;

// GetWindow
inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;
inline constexpr UINT GW_ENABLEDPOPUP = 6;
// GetAncestor
inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;
inline constexpr UINT GA_ROOTOWNER = 3;
// ChildWindowFromPointEx
inline constexpr UINT CWP_ALL = 0x0000;
inline constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
inline constexpr UINT CWP_SKIPDISABLED = 0x0002;
inline constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

// WM_NCHITTEST answers
inline constexpr LRESULT HTERROR = -2;
inline constexpr LRESULT HTTRANSPARENT = -1;
inline constexpr LRESULT HTNOWHERE = 0;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr LRESULT HTCAPTION = 2;
inline constexpr LRESULT HTSYSMENU = 3;
inline constexpr LRESULT HTGROWBOX = 4;
inline constexpr LRESULT HTSIZE = 4;
inline constexpr LRESULT HTMENU = 5;
inline constexpr LRESULT HTHSCROLL = 6;
inline constexpr LRESULT HTVSCROLL = 7;
inline constexpr LRESULT HTMINBUTTON = 8;
inline constexpr LRESULT HTREDUCE = 8;
inline constexpr LRESULT HTMAXBUTTON = 9;
inline constexpr LRESULT HTZOOM = 9;
inline constexpr LRESULT HTLEFT = 10;
inline constexpr LRESULT HTRIGHT = 11;
inline constexpr LRESULT HTTOP = 12;
inline constexpr LRESULT HTTOPLEFT = 13;
inline constexpr LRESULT HTTOPRIGHT = 14;
inline constexpr LRESULT HTBOTTOM = 15;
inline constexpr LRESULT HTBOTTOMLEFT = 16;
inline constexpr LRESULT HTBOTTOMRIGHT = 17;
inline constexpr LRESULT HTBORDER = 18;
inline constexpr LRESULT HTCLOSE = 20;
inline constexpr LRESULT HTHELP = 21;

// WM_NCCALCSIZE answers
inline constexpr LRESULT WVR_ALIGNTOP = 0x0010;
inline constexpr LRESULT WVR_VALIDRECTS = 0x0400;

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};
struct WNDCLASSEX {
  UINT cbSize = sizeof(WNDCLASSEX);
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};

struct CREATESTRUCT {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos;
};

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};

inline constexpr UINT WPF_SETMINPOSITION = 0x0001;
inline constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;
struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition{};
  POINT ptMaxPosition{};
  RECT rcNormalPosition{};
};

struct COPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  PVOID lpData;
};

using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
using PROPENUMPROC = BOOL (*)(HWND, LPCSTR, HANDLE);
TESMIRA_DECLARE_HANDLE(HDWP);

// Classes
ATOM RegisterClass(const WNDCLASS* wc);
ATOM RegisterClassEx(const WNDCLASSEX* wc);
BOOL UnregisterClass(LPCSTR className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, WNDCLASS* wc);
BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR className, WNDCLASSEX* wc);
int GetClassName(HWND hwnd, LPSTR buffer, int size);
DWORD GetClassLong(HWND hwnd, int index);
ULONG_PTR GetClassLongPtr(HWND hwnd, int index);
ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value);
DWORD SetClassLong(HWND hwnd, int index, LONG value);

// Creation and destruction
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
inline HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The tree
BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);
inline HWND GetNextWindow(HWND hwnd, UINT cmd) { return GetWindow(hwnd, cmd); }
HWND GetDesktopWindow();
HWND GetLastActivePopup(HWND hwnd);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);
HWND FindWindow(LPCSTR className, LPCSTR windowName);
HWND FindWindowEx(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);

// Position and size
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL BringWindowToTop(HWND hwnd);
BOOL CloseWindow(HWND hwnd);
BOOL OpenIcon(HWND hwnd);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HDWP info);
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
// Left and top edges inside, right and bottom outside; a null rectangle holds nothing.
inline BOOL PtInRect(const RECT* rect, POINT point)
{
  return rect != nullptr && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
         point.y < rect->bottom;
}
HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT point);
HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);
HWND RealChildWindowFromPoint(HWND parent, POINT point);

// Text, long values and properties
BOOL SetWindowText(HWND hwnd, LPCSTR text);
int GetWindowText(HWND hwnd, LPSTR buffer, int size);
int GetWindowTextLength(HWND hwnd);
LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
WORD GetWindowWord(HWND hwnd, int index);
BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE data);
HANDLE GetProp(HWND hwnd, LPCSTR name);
HANDLE RemoveProp(HWND hwnd, LPCSTR name);
int EnumProps(HWND hwnd, PROPENUMPROC proc);
HMENU GetMenu(HWND hwnd);
BOOL SetMenu(HWND hwnd, HMENU menu);
BOOL DrawMenuBar(HWND hwnd);
