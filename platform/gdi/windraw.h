// The window system's share of drawing: rectangles and edges, formatted text, icons, system colours and metrics.
// They draw on any DC, so they live with the drawing library; the window system only uses them.
#pragma once

#include "platform/gdi/wingdi.h"

// ---- Rectangles
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL DrawFocusRect(HDC dc, const RECT* rect);

// ---- Edges
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT BDR_OUTER = 0x0003;
inline constexpr UINT BDR_INNER = 0x000C;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_MIDDLE = 0x0800;
inline constexpr UINT BF_SOFT = 0x1000;
inline constexpr UINT BF_ADJUST = 0x2000;
inline constexpr UINT BF_FLAT = 0x4000;
inline constexpr UINT BF_MONO = 0x8000;
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);

// ---- Frame controls (buttons, check marks, scroll arrows, caption buttons)
inline constexpr UINT DFC_CAPTION = 1;
inline constexpr UINT DFC_MENU = 2;
inline constexpr UINT DFC_SCROLL = 3;
inline constexpr UINT DFC_BUTTON = 4;
inline constexpr UINT DFCS_CAPTIONCLOSE = 0x0000;
inline constexpr UINT DFCS_CAPTIONMIN = 0x0001;
inline constexpr UINT DFCS_CAPTIONMAX = 0x0002;
inline constexpr UINT DFCS_CAPTIONRESTORE = 0x0003;
inline constexpr UINT DFCS_MENUARROW = 0x0000;
inline constexpr UINT DFCS_MENUCHECK = 0x0001;
inline constexpr UINT DFCS_MENUBULLET = 0x0002;
inline constexpr UINT DFCS_SCROLLUP = 0x0000;
inline constexpr UINT DFCS_SCROLLDOWN = 0x0001;
inline constexpr UINT DFCS_SCROLLLEFT = 0x0002;
inline constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
inline constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
inline constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
inline constexpr UINT DFCS_BUTTONCHECK = 0x0000;
inline constexpr UINT DFCS_BUTTONRADIO = 0x0004;
inline constexpr UINT DFCS_BUTTONPUSH = 0x0010;
inline constexpr UINT DFCS_INACTIVE = 0x0100;
inline constexpr UINT DFCS_PUSHED = 0x0200;
inline constexpr UINT DFCS_CHECKED = 0x0400;
inline constexpr UINT DFCS_FLAT = 0x4000;
inline constexpr UINT DFCS_MONO = 0x8000;
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// ---- Formatted text
inline constexpr UINT DT_TOP = 0x00000000;
inline constexpr UINT DT_LEFT = 0x00000000;
inline constexpr UINT DT_CENTER = 0x00000001;
inline constexpr UINT DT_RIGHT = 0x00000002;
inline constexpr UINT DT_VCENTER = 0x00000004;
inline constexpr UINT DT_BOTTOM = 0x00000008;
inline constexpr UINT DT_WORDBREAK = 0x00000010;
inline constexpr UINT DT_SINGLELINE = 0x00000020;
inline constexpr UINT DT_EXPANDTABS = 0x00000040;
inline constexpr UINT DT_TABSTOP = 0x00000080;
inline constexpr UINT DT_NOCLIP = 0x00000100;
inline constexpr UINT DT_EXTERNALLEADING = 0x00000200;
inline constexpr UINT DT_CALCRECT = 0x00000400;
inline constexpr UINT DT_NOPREFIX = 0x00000800;
inline constexpr UINT DT_INTERNAL = 0x00001000;
inline constexpr UINT DT_EDITCONTROL = 0x00002000;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
inline constexpr UINT DT_END_ELLIPSIS = 0x00008000;
inline constexpr UINT DT_MODIFYSTRING = 0x00010000;
inline constexpr UINT DT_RTLREADING = 0x00020000;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
inline constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
inline constexpr UINT DT_HIDEPREFIX = 0x00100000;
inline constexpr UINT DT_PREFIXONLY = 0x00200000;
// Draws (or measures) text in the rectangle; returns the height of the text, 0 on failure. `length` -1: to the NUL.
int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
inline int DrawText(HDC dc, LPCSTR text, int length, RECT* rect, UINT format)
{
  return DrawTextA(dc, text, length, rect, format);
}
int DrawTextW(HDC dc, LPCWSTR text, int length, RECT* rect, UINT format);

// ---- Icons
struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;
  HBITMAP hbmColor = nullptr;
};
HICON CreateIconIndirect(ICONINFO* info);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
inline BOOL DestroyCursor(HICON cursor) { return DestroyIcon(cursor); }
// Hands out copies of the icon's bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
inline constexpr UINT DI_MASK = 0x0001;
inline constexpr UINT DI_IMAGE = 0x0002;
inline constexpr UINT DI_NORMAL = 0x0003;
inline constexpr UINT DI_COMPAT = 0x0004;
inline constexpr UINT DI_DEFAULTSIZE = 0x0008;
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFree, UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

// ---- DrawState
inline constexpr UINT DST_COMPLEX = 0x0000;
inline constexpr UINT DST_TEXT = 0x0001;
inline constexpr UINT DST_PREFIXTEXT = 0x0002;
inline constexpr UINT DST_ICON = 0x0003;
inline constexpr UINT DST_BITMAP = 0x0004;
inline constexpr UINT DSS_NORMAL = 0x0000;
inline constexpr UINT DSS_UNION = 0x0010;
inline constexpr UINT DSS_DISABLED = 0x0020;
inline constexpr UINT DSS_MONO = 0x0080;
inline constexpr UINT DSS_HIDEPREFIX = 0x0200;
inline constexpr UINT DSS_PREFIXONLY = 0x0400;
inline constexpr UINT DSS_RIGHT = 0x8000;
using DRAWSTATEPROC = BOOL (*)(HDC dc, LPARAM data, WPARAM wData, int cx, int cy);
BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wData, int x, int y, int cx, int cy,
                UINT flags);
inline BOOL DrawState(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wData, int x, int y, int cx,
                      int cy, UINT flags)
{
  return DrawStateA(dc, brush, proc, data, wData, x, y, cx, cy, flags);
}

// ---- System colours
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;
DWORD GetSysColor(int index);
// Stock brushes of the system colours; never deleted. Each keeps its handle when its colour changes.
HBRUSH GetSysColorBrush(int index);
namespace gdi {
// The colour and stock brush of one system colour (user's SetSysColors tells the windows); false for an index
// out of range. ResetSysColors puts the classic palette back.
bool SetSysColorValue(int index, COLORREF color);
void ResetSysColors();
}  // namespace gdi

// ---- System metrics
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
inline constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXSIZE = 30;
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
inline constexpr int SM_CYSIZEFRAME = SM_CYFRAME;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXICONSPACING = 38;
inline constexpr int SM_CYICONSPACING = 39;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CYSMCAPTION = 51;
inline constexpr int SM_CXSMSIZE = 52;
inline constexpr int SM_CYSMSIZE = 53;
inline constexpr int SM_CXMENUSIZE = 54;
inline constexpr int SM_CYMENUSIZE = 55;
inline constexpr int SM_CXMINTRACK = 34;
inline constexpr int SM_CYMINTRACK = 35;
inline constexpr int SM_CXMAXIMIZED = 61;
inline constexpr int SM_CYMAXIMIZED = 62;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_CXMENUCHECK = 71;
inline constexpr int SM_CYMENUCHECK = 72;
inline constexpr int SM_CMONITORS = 80;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXFOCUSBORDER = 83;
inline constexpr int SM_CYFOCUSBORDER = 84;
int GetSystemMetrics(int index);

namespace gdi {
// The screen the metrics describe; headless runs keep the default of 1280 x 1024.
void SetScreenSize(int width, int height);
}  // namespace gdi
