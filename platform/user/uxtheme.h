// Visual styles: the functions of "UxTheme.dll", which the toolkit binds at run time by GetProcAddress.
//
// As shipped no visual style is active: IsAppThemed and IsThemeActive answer FALSE, OpenThemeData answers null
// and the toolkit draws its classic look. A test makes one of the Windows XP styles current
// (uxtheme::SetTestTheme); then the window classes the toolkit names open, and their parts are drawn by our
// own code in the style's colours: plausible and readable, not a copy of the system's pictures.
//
// A theme handle keeps the style it was opened under until it is closed. Every function refuses a handle that
// is null, closed or never opened with E_HANDLE, and draws nothing then.
#pragma once

#include "platform/base/hresult.h"
#include "platform/base/module.h"
#include "platform/base/wintypes.h"
#include "platform/gdi/wingdi.h"

// HRESULT_FROM_WIN32(ERROR_NOT_FOUND): no visual style, or no such property.
inline constexpr HRESULT E_PROP_ID_UNSUPPORTED = static_cast<HRESULT>(0x80070490u);
// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER).
inline constexpr HRESULT E_UXTHEME_BUFFER = static_cast<HRESULT>(0x8007007Au);

// ---- Parts and states of the classes the toolkit draws with
// "BUTTON"
inline constexpr int BP_PUSHBUTTON = 1;
inline constexpr int BP_RADIOBUTTON = 2;
inline constexpr int BP_CHECKBOX = 3;
inline constexpr int BP_GROUPBOX = 4;
inline constexpr int PBS_NORMAL = 1;
inline constexpr int PBS_HOT = 2;
inline constexpr int PBS_PRESSED = 3;
inline constexpr int PBS_DISABLED = 4;
inline constexpr int PBS_DEFAULTED = 5;
inline constexpr int GBS_NORMAL = 1;
inline constexpr int GBS_DISABLED = 2;
// "COMBOBOX"
inline constexpr int CP_DROPDOWNBUTTON = 1;
inline constexpr int CBXS_NORMAL = 1;
inline constexpr int CBXS_HOT = 2;
inline constexpr int CBXS_PRESSED = 3;
inline constexpr int CBXS_DISABLED = 4;
// "TREEVIEW"
inline constexpr int TVP_TREEITEM = 1;
inline constexpr int TVP_GLYPH = 2;
inline constexpr int GLPS_CLOSED = 1;
inline constexpr int GLPS_OPENED = 2;
// "TOOLBAR"
inline constexpr int TP_BUTTON = 1;
inline constexpr int TP_DROPDOWNBUTTON = 2;
inline constexpr int TP_SPLITBUTTON = 3;
inline constexpr int TP_SPLITBUTTONDROPDOWN = 4;
inline constexpr int TP_SEPARATOR = 5;
inline constexpr int TP_SEPARATORVERT = 6;
inline constexpr int TS_NORMAL = 1;
inline constexpr int TS_HOT = 2;
inline constexpr int TS_PRESSED = 3;
inline constexpr int TS_DISABLED = 4;
inline constexpr int TS_CHECKED = 5;
inline constexpr int TS_HOTCHECKED = 6;
// "REBAR" (part 0: the background)
inline constexpr int RP_GRIPPER = 1;
inline constexpr int RP_GRIPPERVERT = 2;
inline constexpr int RP_BAND = 3;
inline constexpr int RP_CHEVRON = 4;
// "STATUS" (part 0: the background)
inline constexpr int SP_PANE = 1;
inline constexpr int SP_GRIPPERPANE = 2;
inline constexpr int SP_GRIPPER = 3;
// "TAB"
inline constexpr int TABP_TABITEM = 1;
inline constexpr int TABP_PANE = 9;
inline constexpr int TABP_BODY = 10;
inline constexpr int TIS_NORMAL = 1;
inline constexpr int TIS_HOT = 2;
inline constexpr int TIS_SELECTED = 3;
inline constexpr int TIS_DISABLED = 4;
inline constexpr int TIS_FOCUSED = 5;
// "WINDOW"
inline constexpr int WP_CAPTION = 1;
inline constexpr int WP_SMALLCAPTION = 2;
inline constexpr int WP_SMALLFRAMELEFT = 10;
inline constexpr int WP_SMALLFRAMERIGHT = 11;
inline constexpr int WP_SMALLFRAMEBOTTOM = 12;
inline constexpr int CS_ACTIVE = 1;
inline constexpr int CS_INACTIVE = 2;
// "EXPLORERBAR"
inline constexpr int EBP_HEADERBACKGROUND = 1;
inline constexpr int EBP_HEADERCLOSE = 2;
inline constexpr int EBP_HEADERPIN = 3;
inline constexpr int EBHC_NORMAL = 1;
inline constexpr int EBHC_HOT = 2;
inline constexpr int EBHC_PRESSED = 3;
inline constexpr int EBHP_SELECTEDNORMAL = 4;  // pin upright: the pin states + 3
// "HEADER"
inline constexpr int HP_HEADERITEM = 1;
// "SCROLLBAR"
inline constexpr int SBP_ARROWBTN = 1;
inline constexpr int SBP_THUMBBTNHORZ = 2;
inline constexpr int SBP_THUMBBTNVERT = 3;
// "SPIN"
inline constexpr int SPNP_UP = 1;
inline constexpr int SPNP_DOWN = 2;
// "EDIT"
inline constexpr int EP_EDITTEXT = 1;
// "MENU"
inline constexpr int MP_MENUITEM = 1;
// "PROGRESS"
inline constexpr int PP_BAR = 1;
inline constexpr int PP_CHUNK = 3;

// ---- Properties GetThemeColor answers
inline constexpr int TMT_BORDERCOLOR = 3801;
inline constexpr int TMT_FILLCOLOR = 3802;
inline constexpr int TMT_TEXTCOLOR = 3803;
inline constexpr int TMT_EDGELIGHTCOLOR = 3804;
inline constexpr int TMT_EDGEHIGHLIGHTCOLOR = 3805;
inline constexpr int TMT_EDGESHADOWCOLOR = 3806;
inline constexpr int TMT_EDGEDKSHADOWCOLOR = 3807;
inline constexpr int TMT_EDGEFILLCOLOR = 3808;
inline constexpr int TMT_GRADIENTCOLOR1 = 3810;
inline constexpr int TMT_GRADIENTCOLOR2 = 3811;
inline constexpr int TMT_FILLCOLORHINT = 3821;
inline constexpr int TMT_BORDERCOLORHINT = 3822;
inline constexpr int TMT_ACCENTCOLORHINT = 3823;
// GetThemeInt
inline constexpr int TMT_BORDERSIZE = 2403;

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };
inline constexpr DWORD DTT_GRAYED = 0x1;
inline constexpr DWORD ETDT_DISABLE = 0x1;
inline constexpr DWORD ETDT_ENABLE = 0x2;
inline constexpr DWORD ETDT_USETABTEXTURE = 0x4;
inline constexpr DWORD ETDT_ENABLETAB = ETDT_ENABLE | ETDT_USETABTEXTURE;

// `classList` names classes separated by ';' ("Explorer::TreeView" counts as "TreeView"), compared without
// case; the first the style has opens. Null with E_PROP_ID_UNSUPPORTED as last error when no style is active
// or no class is known.
HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
// E_INVALIDARG for a null DC or rectangle, or a part the class does not have.
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
HRESULT GetThemeInt(HTHEME theme, int part, int state, int property, int* value);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind, SIZE* size);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
BOOL IsAppThemed();
BOOL IsThemeActive();
// The style's file, colour scheme and size names; each buffer may be null. A buffer too short for its name
// and terminator gets nothing and the answer is E_UXTHEME_BUFFER.
HRESULT GetCurrentThemeName(LPWSTR fileName, int fileChars, LPWSTR colorName, int colorChars, LPWSTR sizeName,
                            int sizeChars);
// Paints what the window's parent shows behind `rect` (WM_ERASEBKGND, then WM_PRINTCLIENT, in the parent's
// coordinates), for controls with see-through parts.
HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, const RECT* rect);
// Dialog texture and per-window styles are accepted and change nothing: the styles are drawn alike everywhere.
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);
HRESULT SetWindowTheme(HWND hwnd, LPCWSTR subAppName, LPCWSTR subIdList);

namespace uxtheme {

enum class Theme { None, LunaBlue, LunaOlive, LunaSilver, Royale };

// For tests: makes a style current (None: none), and tells every top-level window with WM_THEMECHANGED.
void SetTestTheme(Theme theme);
Theme CurrentTheme();

// The exports of "UxTheme.dll" (the system module table, system.h).
platform::ModuleSymbols ModuleSymbols();

}  // namespace uxtheme
