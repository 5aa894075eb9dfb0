// The common controls the program uses: tree view, progress bar and status bar, and the WM_NOTIFY records.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/user/messages.h"

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
using LPNMHDR = NMHDR*;

inline constexpr UINT NM_CLICK = static_cast<UINT>(-2);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT NM_RETURN = static_cast<UINT>(-4);
inline constexpr UINT NM_RCLICK = static_cast<UINT>(-5);
inline constexpr UINT NM_SETFOCUS = static_cast<UINT>(-7);
inline constexpr UINT NM_KILLFOCUS = static_cast<UINT>(-8);

inline constexpr LPCSTR WC_TREEVIEW = "SysTreeView32";
inline constexpr LPCSTR PROGRESS_CLASS = "msctls_progress32";
inline constexpr LPCSTR STATUSCLASSNAME = "msctls_statusbar32";

// ---- Tree view
inline constexpr DWORD TVS_HASBUTTONS = 0x0001;
inline constexpr DWORD TVS_HASLINES = 0x0002;
inline constexpr DWORD TVS_LINESATROOT = 0x0004;
inline constexpr DWORD TVS_EDITLABELS = 0x0008;
inline constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
inline constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
inline constexpr DWORD TVS_FULLROWSELECT = 0x1000;

inline constexpr UINT TVIF_TEXT = 0x0001;
inline constexpr UINT TVIF_IMAGE = 0x0002;
inline constexpr UINT TVIF_PARAM = 0x0004;
inline constexpr UINT TVIF_STATE = 0x0008;
inline constexpr UINT TVIF_HANDLE = 0x0010;
inline constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
inline constexpr UINT TVIF_CHILDREN = 0x0040;
inline constexpr UINT TVIS_SELECTED = 0x0002;
inline constexpr UINT TVIS_CUT = 0x0004;
inline constexpr UINT TVIS_DROPHILITED = 0x0008;
inline constexpr UINT TVIS_BOLD = 0x0010;
inline constexpr UINT TVIS_EXPANDED = 0x0020;
inline constexpr UINT TVIS_EXPANDEDONCE = 0x0040;
inline constexpr UINT TVIS_STATEIMAGEMASK = 0xF000;

inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<LONG_PTR>(-0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<LONG_PTR>(-0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<LONG_PTR>(-0x0FFFE));
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<LONG_PTR>(-0x0FFFD));

inline constexpr UINT TVGN_ROOT = 0x0000;
inline constexpr UINT TVGN_NEXT = 0x0001;
inline constexpr UINT TVGN_PREVIOUS = 0x0002;
inline constexpr UINT TVGN_PARENT = 0x0003;
inline constexpr UINT TVGN_CHILD = 0x0004;
inline constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
inline constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
inline constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
inline constexpr UINT TVGN_DROPHILITE = 0x0008;
inline constexpr UINT TVGN_CARET = 0x0009;
inline constexpr UINT TVGN_LASTVISIBLE = 0x000A;

inline constexpr UINT TVE_COLLAPSE = 0x0001;
inline constexpr UINT TVE_EXPAND = 0x0002;
inline constexpr UINT TVE_TOGGLE = 0x0003;
inline constexpr UINT TVC_UNKNOWN = 0x0000;
inline constexpr UINT TVC_BYMOUSE = 0x0001;
inline constexpr UINT TVC_BYKEYBOARD = 0x0002;

inline constexpr UINT TVHT_NOWHERE = 0x0001;
inline constexpr UINT TVHT_ONITEMICON = 0x0002;
inline constexpr UINT TVHT_ONITEMLABEL = 0x0004;
inline constexpr UINT TVHT_ONITEMINDENT = 0x0008;
inline constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
inline constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
inline constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | 0x0040;

inline constexpr UINT TVM_INSERTITEM = 0x1100;
inline constexpr UINT TVM_DELETEITEM = 0x1101;
inline constexpr UINT TVM_EXPAND = 0x1102;
inline constexpr UINT TVM_GETITEMRECT = 0x1104;
inline constexpr UINT TVM_GETCOUNT = 0x1105;
inline constexpr UINT TVM_GETINDENT = 0x1106;
inline constexpr UINT TVM_SETINDENT = 0x1107;
inline constexpr UINT TVM_GETIMAGELIST = 0x1108;
inline constexpr UINT TVM_SETIMAGELIST = 0x1109;
inline constexpr UINT TVM_GETNEXTITEM = 0x110A;
inline constexpr UINT TVM_SELECTITEM = 0x110B;
inline constexpr UINT TVM_GETITEM = 0x110C;
inline constexpr UINT TVM_SETITEM = 0x110D;
inline constexpr UINT TVM_GETVISIBLECOUNT = 0x1110;
inline constexpr UINT TVM_HITTEST = 0x1111;
inline constexpr UINT TVM_SORTCHILDREN = 0x1113;
inline constexpr UINT TVM_ENSUREVISIBLE = 0x1114;
inline constexpr UINT TVM_SETITEMHEIGHT = 0x111B;
inline constexpr UINT TVM_GETITEMHEIGHT = 0x111C;
inline constexpr UINT TVM_SETBKCOLOR = 0x111D;
inline constexpr UINT TVM_SETTEXTCOLOR = 0x111E;
inline constexpr UINT TVM_GETITEMSTATE = 0x1127;

inline constexpr UINT TVN_FIRST = static_cast<UINT>(-400);
inline constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1;
inline constexpr UINT TVN_SELCHANGED = TVN_FIRST - 2;
inline constexpr UINT TVN_GETDISPINFO = TVN_FIRST - 3;
inline constexpr UINT TVN_ITEMEXPANDING = TVN_FIRST - 5;
inline constexpr UINT TVN_ITEMEXPANDED = TVN_FIRST - 6;
inline constexpr UINT TVN_BEGINDRAG = TVN_FIRST - 7;
inline constexpr UINT TVN_DELETEITEM = TVN_FIRST - 9;
inline constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;

// Text that the owner supplies when asked (TVN_GETDISPINFO).
inline const LPSTR LPSTR_TEXTCALLBACK = reinterpret_cast<LPSTR>(static_cast<LONG_PTR>(-1));
inline constexpr int I_IMAGECALLBACK = -1;
inline constexpr int I_CHILDRENCALLBACK = -1;

struct TVITEM {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = 0;
  int iSelectedImage = 0;
  int cChildren = 0;
  LPARAM lParam = 0;
};
using TVITEMA = TVITEM;
struct TVINSERTSTRUCT {
  HTREEITEM hParent = nullptr;
  HTREEITEM hInsertAfter = nullptr;
  TVITEM item;
};
struct NMTREEVIEW {
  NMHDR hdr;
  UINT action;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag;
};
struct NMTVDISPINFO {
  NMHDR hdr;
  TVITEM item;
};
struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
};
struct TVHITTESTINFO {
  POINT pt{};
  UINT flags = 0;
  HTREEITEM hItem = nullptr;
};

// ---- Progress bar
inline constexpr UINT PBM_SETRANGE = WM_USER + 1;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_DELTAPOS = WM_USER + 3;
inline constexpr UINT PBM_SETSTEP = WM_USER + 4;
inline constexpr UINT PBM_STEPIT = WM_USER + 5;
inline constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
inline constexpr UINT PBM_GETRANGE = WM_USER + 7;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;
inline constexpr UINT PBM_SETBARCOLOR = WM_USER + 9;
inline constexpr UINT PBM_SETBKCOLOR = 0x2001;

// ---- Status bar
inline constexpr UINT SB_SETTEXT = WM_USER + 1;
inline constexpr UINT SB_GETTEXT = WM_USER + 2;
inline constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;
inline constexpr UINT SB_SETPARTS = WM_USER + 4;
inline constexpr UINT SB_GETPARTS = WM_USER + 6;
inline constexpr UINT SB_GETBORDERS = WM_USER + 7;
inline constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
inline constexpr UINT SB_SIMPLE = WM_USER + 9;
inline constexpr UINT SB_GETRECT = WM_USER + 10;
inline constexpr UINT SB_ISSIMPLE = WM_USER + 14;
inline constexpr DWORD SBARS_SIZEGRIP = 0x0100;
inline constexpr UINT SBT_NOBORDERS = 0x0100;
inline constexpr UINT SBT_POPOUT = 0x0200;

struct INITCOMMONCONTROLSEX {
  DWORD dwSize = sizeof(INITCOMMONCONTROLSEX);
  DWORD dwICC = 0;
};
void InitCommonControls();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// ---- Tooltips
inline constexpr LPCSTR TOOLTIPS_CLASS = "tooltips_class32";
inline constexpr DWORD TTS_ALWAYSTIP = 0x01;
inline constexpr DWORD TTS_NOPREFIX = 0x02;
inline constexpr DWORD TTS_BALLOON = 0x40;
inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_CENTERTIP = 0x0002;
inline constexpr UINT TTF_SUBCLASS = 0x0010;
inline constexpr UINT TTF_TRACK = 0x0020;
inline constexpr UINT TTF_ABSOLUTE = 0x0080;
inline constexpr UINT TTF_TRANSPARENT = 0x0100;
inline constexpr WPARAM TTDT_AUTOMATIC = 0;
inline constexpr WPARAM TTDT_RESHOW = 1;
inline constexpr WPARAM TTDT_AUTOPOP = 2;
inline constexpr WPARAM TTDT_INITIAL = 3;
inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
inline constexpr UINT TTM_ADDTOOL = WM_USER + 4;
inline constexpr UINT TTM_DELTOOL = WM_USER + 5;
inline constexpr UINT TTM_NEWTOOLRECT = WM_USER + 6;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
inline constexpr UINT TTM_GETTOOLINFO = WM_USER + 8;
inline constexpr UINT TTM_SETTOOLINFO = WM_USER + 9;
inline constexpr UINT TTM_HITTEST = WM_USER + 10;
inline constexpr UINT TTM_GETTEXT = WM_USER + 11;
inline constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 12;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
inline constexpr UINT TTM_GETCURRENTTOOL = WM_USER + 15;
inline constexpr UINT TTM_WINDOWFROMPOINT = WM_USER + 16;
inline constexpr UINT TTM_TRACKACTIVATE = WM_USER + 17;
inline constexpr UINT TTM_TRACKPOSITION = WM_USER + 18;
inline constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
inline constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
inline constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
inline constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
inline constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;
inline constexpr UINT TTM_SETMARGIN = WM_USER + 26;
inline constexpr UINT TTM_POP = WM_USER + 28;
inline constexpr UINT TTM_UPDATE = WM_USER + 29;
inline constexpr UINT TTM_SETTITLE = WM_USER + 32;
inline constexpr UINT TTM_POPUP = WM_USER + 34;
inline constexpr UINT TTN_FIRST = static_cast<UINT>(-520);
inline constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 0;
inline constexpr UINT TTN_SHOW = TTN_FIRST - 1;
inline constexpr UINT TTN_POP = TTN_FIRST - 2;
inline constexpr UINT TTN_NEEDTEXT = TTN_GETDISPINFO;

struct TOOLINFO {
  UINT cbSize = sizeof(TOOLINFO);
  UINT uFlags = 0;
  HWND hwnd = nullptr;
  UINT_PTR uId = 0;
  RECT rect{};
  HINSTANCE hinst = nullptr;
  LPSTR lpszText = nullptr;
  LPARAM lParam = 0;
  void* lpReserved = nullptr;
};
using TOOLINFOA = TOOLINFO;
struct TTHITTESTINFO {
  HWND hwnd = nullptr;
  POINT pt{};
  TOOLINFO ti;
};
struct NMTTDISPINFO {
  NMHDR hdr;
  LPSTR lpszText;
  char szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};

// ---- Tab control
inline constexpr LPCSTR WC_TABCONTROL = "SysTabControl32";
inline constexpr UINT TCIF_TEXT = 0x0001;
inline constexpr UINT TCIF_IMAGE = 0x0002;
inline constexpr UINT TCIF_PARAM = 0x0008;
inline constexpr UINT TCIF_STATE = 0x0010;
inline constexpr UINT TCM_GETIMAGELIST = 0x1302;
inline constexpr UINT TCM_SETIMAGELIST = 0x1303;
inline constexpr UINT TCM_GETITEMCOUNT = 0x1304;
inline constexpr UINT TCM_GETITEM = 0x1305;
inline constexpr UINT TCM_SETITEM = 0x1306;
inline constexpr UINT TCM_INSERTITEM = 0x1307;
inline constexpr UINT TCM_DELETEITEM = 0x1308;
inline constexpr UINT TCM_DELETEALLITEMS = 0x1309;
inline constexpr UINT TCM_GETITEMRECT = 0x130A;
inline constexpr UINT TCM_GETCURSEL = 0x130B;
inline constexpr UINT TCM_SETCURSEL = 0x130C;
inline constexpr UINT TCM_HITTEST = 0x130D;
inline constexpr UINT TCM_ADJUSTRECT = 0x1328;
inline constexpr UINT TCM_GETROWCOUNT = 0x132C;
inline constexpr UINT TCM_GETCURFOCUS = 0x132F;
inline constexpr UINT TCM_SETCURFOCUS = 0x1330;
inline constexpr UINT TCN_FIRST = static_cast<UINT>(-550);
inline constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0;
inline constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
inline constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;
inline constexpr UINT TCHT_NOWHERE = 0x0001;
inline constexpr UINT TCHT_ONITEM = 0x0006;
struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};
using TCITEMA = TCITEM;
struct TCHITTESTINFO {
  POINT pt{};
  UINT flags = 0;
};

// ---- Month calendar
inline constexpr LPCSTR MONTHCAL_CLASS = "SysMonthCal32";
inline constexpr UINT MCM_FIRST = 0x1000;
inline constexpr UINT MCM_GETCURSEL = MCM_FIRST + 1;
inline constexpr UINT MCM_SETCURSEL = MCM_FIRST + 2;
inline constexpr UINT MCM_GETMINREQRECT = MCM_FIRST + 9;
inline constexpr UINT MCM_SETRANGE = MCM_FIRST + 18;
inline constexpr UINT MCM_GETRANGE = MCM_FIRST + 17;
inline constexpr UINT MCM_SETTODAY = MCM_FIRST + 10;
inline constexpr UINT MCM_GETTODAY = MCM_FIRST + 11;
inline constexpr UINT MCN_FIRST = static_cast<UINT>(-750);
inline constexpr UINT MCN_SELCHANGE = MCN_FIRST + 1;
inline constexpr UINT MCN_SELECT = MCN_FIRST + 4;
inline constexpr DWORD GDTR_MIN = 0x0001;
inline constexpr DWORD GDTR_MAX = 0x0002;
struct NMSELCHANGE {
  NMHDR nmhdr;
  SYSTEMTIME stSelStart;
  SYSTEMTIME stSelEnd;
};
using NMSELECT = NMSELCHANGE;

// ---- Up-down control
inline constexpr LPCSTR UPDOWN_CLASS = "msctls_updown32";
inline constexpr DWORD UDS_WRAP = 0x0001;
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
inline constexpr DWORD UDS_ALIGNLEFT = 0x0008;
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;
inline constexpr DWORD UDS_HORZ = 0x0040;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
inline constexpr UINT UDM_SETRANGE = WM_USER + 101;
inline constexpr UINT UDM_GETRANGE = WM_USER + 102;
inline constexpr UINT UDM_SETPOS = WM_USER + 103;
inline constexpr UINT UDM_GETPOS = WM_USER + 104;
inline constexpr UINT UDM_SETBUDDY = WM_USER + 105;
inline constexpr UINT UDM_GETBUDDY = WM_USER + 106;
inline constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
inline constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
inline constexpr UINT UDM_SETPOS32 = WM_USER + 113;
inline constexpr UINT UDM_GETPOS32 = WM_USER + 114;
inline constexpr UINT UDN_FIRST = static_cast<UINT>(-721);
inline constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;
struct NMUPDOWN {
  NMHDR hdr;
  int iPos;
  int iDelta;
};
