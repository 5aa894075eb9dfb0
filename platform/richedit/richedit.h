// The rich edit control as programs talk to it: its class names, messages, structures and flags, and the call
// that makes the classes known (what loading the control's library does).
#pragma once

#include "platform/base/wintypes.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls.h"
#include "platform/user/messages.h"

// Class names. Every one of them is the same control here: it reads and shows rich text whatever it was asked by.
inline constexpr const char* RICHEDIT_CLASSA = "RichEdit20A";
inline constexpr const char* RICHEDIT_CLASSW_NAME = "RichEdit20W";
inline constexpr const char* RICHEDIT_CLASS10A = "RICHEDIT";
inline constexpr const char* MSFTEDIT_CLASS_NAME = "RICHEDIT50W";
inline constexpr const char* RICHEDIT_CLASS = RICHEDIT_CLASSA;

// Edit messages the plain edit control does not have, and the rich edit's own.
inline constexpr UINT EM_LINESCROLL = 0x00B6;
inline constexpr UINT EM_LINEINDEX = 0x00BB;
inline constexpr UINT EM_LINELENGTH = 0x00C1;
inline constexpr UINT EM_LINEFROMCHAR = 0x00C9;
inline constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr UINT EM_SETMARGINS = 0x00D3;
inline constexpr UINT EM_GETMARGINS = 0x00D4;
// The rich edit's forms: wParam a POINT* filled with the client position of character lParam; lParam a POINT*.
inline constexpr UINT EM_POSFROMCHAR = 0x00D6;
inline constexpr UINT EM_CHARFROMPOS = 0x00D7;

inline constexpr UINT EM_CANPASTE = WM_USER + 50;
inline constexpr UINT EM_DISPLAYBAND = WM_USER + 51;
inline constexpr UINT EM_EXGETSEL = WM_USER + 52;
inline constexpr UINT EM_EXLIMITTEXT = WM_USER + 53;
inline constexpr UINT EM_EXLINEFROMCHAR = WM_USER + 54;
inline constexpr UINT EM_EXSETSEL = WM_USER + 55;
inline constexpr UINT EM_FINDTEXT = WM_USER + 56;
inline constexpr UINT EM_FORMATRANGE = WM_USER + 57;
inline constexpr UINT EM_GETCHARFORMAT = WM_USER + 58;
inline constexpr UINT EM_GETEVENTMASK = WM_USER + 59;
inline constexpr UINT EM_GETPARAFORMAT = WM_USER + 61;
inline constexpr UINT EM_GETSELTEXT = WM_USER + 62;
inline constexpr UINT EM_HIDESELECTION = WM_USER + 63;
inline constexpr UINT EM_REQUESTRESIZE = WM_USER + 65;
inline constexpr UINT EM_SELECTIONTYPE = WM_USER + 66;
inline constexpr UINT EM_SETBKGNDCOLOR = WM_USER + 67;
inline constexpr UINT EM_SETCHARFORMAT = WM_USER + 68;
inline constexpr UINT EM_SETEVENTMASK = WM_USER + 69;
inline constexpr UINT EM_SETPARAFORMAT = WM_USER + 71;
inline constexpr UINT EM_SETTARGETDEVICE = WM_USER + 72;
inline constexpr UINT EM_STREAMIN = WM_USER + 73;
inline constexpr UINT EM_STREAMOUT = WM_USER + 74;
inline constexpr UINT EM_GETTEXTRANGE = WM_USER + 75;
inline constexpr UINT EM_SETOPTIONS = WM_USER + 77;
inline constexpr UINT EM_GETOPTIONS = WM_USER + 78;
inline constexpr UINT EM_SETTEXTMODE = WM_USER + 89;
inline constexpr UINT EM_GETTEXTMODE = WM_USER + 90;
inline constexpr UINT EM_GETTEXTLENGTHEX = WM_USER + 95;
inline constexpr UINT EM_GETSCROLLPOS = WM_USER + 221;
inline constexpr UINT EM_SETSCROLLPOS = WM_USER + 222;
inline constexpr UINT EM_GETZOOM = WM_USER + 224;
inline constexpr UINT EM_SETZOOM = WM_USER + 225;

// Notifications (WM_NOTIFY codes)
inline constexpr UINT EN_MSGFILTER = 0x0700;
inline constexpr UINT EN_REQUESTRESIZE = 0x0701;
inline constexpr UINT EN_SELCHANGE = 0x0702;

// EM_SETEVENTMASK
inline constexpr DWORD ENM_NONE = 0x00000000;
inline constexpr DWORD ENM_CHANGE = 0x00000001;
inline constexpr DWORD ENM_UPDATE = 0x00000002;
inline constexpr DWORD ENM_SCROLL = 0x00000004;
inline constexpr DWORD ENM_KEYEVENTS = 0x00010000;
inline constexpr DWORD ENM_MOUSEEVENTS = 0x00020000;
inline constexpr DWORD ENM_REQUESTRESIZE = 0x00040000;
inline constexpr DWORD ENM_SELCHANGE = 0x00080000;

// EM_SETOPTIONS: the operation, then the options
inline constexpr WPARAM ECOOP_SET = 1;
inline constexpr WPARAM ECOOP_OR = 2;
inline constexpr WPARAM ECOOP_AND = 3;
inline constexpr WPARAM ECOOP_XOR = 4;
inline constexpr DWORD ECO_AUTOWORDSELECTION = 0x00000001;
inline constexpr DWORD ECO_AUTOVSCROLL = 0x00000040;
inline constexpr DWORD ECO_AUTOHSCROLL = 0x00000080;
inline constexpr DWORD ECO_NOHIDESEL = 0x00000100;
inline constexpr DWORD ECO_READONLY = 0x00000800;
inline constexpr DWORD ECO_WANTRETURN = 0x00001000;
inline constexpr DWORD ECO_SAVESEL = 0x00008000;
inline constexpr DWORD ECO_SELECTIONBAR = 0x01000000;

// Stream formats and flags
inline constexpr UINT SF_TEXT = 0x0001;
inline constexpr UINT SF_RTF = 0x0002;
inline constexpr UINT SF_RTFNOOBJS = 0x0003;
inline constexpr UINT SF_TEXTIZED = 0x0004;
inline constexpr UINT SF_UNICODE = 0x0010;
inline constexpr UINT SFF_PLAINRTF = 0x4000;
inline constexpr UINT SFF_SELECTION = 0x8000;

// EM_SETTEXTMODE
inline constexpr WPARAM TM_PLAINTEXT = 1;
inline constexpr WPARAM TM_RICHTEXT = 2;
inline constexpr WPARAM TM_SINGLELEVELUNDO = 4;
inline constexpr WPARAM TM_MULTILEVELUNDO = 8;

// EM_GETTEXTLENGTHEX
inline constexpr DWORD GTL_DEFAULT = 0;
inline constexpr DWORD GTL_USECRLF = 1;
inline constexpr DWORD GTL_PRECISE = 2;
inline constexpr DWORD GTL_CLOSE = 4;
inline constexpr DWORD GTL_NUMCHARS = 8;
inline constexpr DWORD GTL_NUMBYTES = 16;
struct GETTEXTLENGTHEX {
  DWORD flags;
  UINT codepage;
};

// EM_SETMARGINS
inline constexpr WPARAM EC_LEFTMARGIN = 0x0001;
inline constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
inline constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

// EM_SELECTIONTYPE
inline constexpr LRESULT SEL_EMPTY = 0x0000;
inline constexpr LRESULT SEL_TEXT = 0x0001;
inline constexpr LRESULT SEL_OBJECT = 0x0002;
inline constexpr LRESULT SEL_MULTICHAR = 0x0004;

struct CHARRANGE {
  LONG cpMin;
  LONG cpMax;
};

struct TEXTRANGEA {
  CHARRANGE chrg;
  LPSTR lpstrText;
};
using TEXTRANGE = TEXTRANGEA;

// The callback hands over (stream in) or takes (stream out) at most `cb` bytes and tells how many in `*pcb`; a
// non-zero answer stops the stream and becomes the stream's dwError.
using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb);
struct EDITSTREAM {
  DWORD_PTR dwCookie;
  DWORD dwError;
  EDITSTREAMCALLBACK pfnCallback;
};

// EM_FORMATRANGE: rc and rcPage in twips on the device of hdc.
struct FORMATRANGE {
  HDC hdc;
  HDC hdcTarget;
  RECT rc;
  RECT rcPage;
  CHARRANGE chrg;
};

// EM_SETCHARFORMAT / EM_GETCHARFORMAT
inline constexpr WPARAM SCF_DEFAULT = 0x0000;
inline constexpr WPARAM SCF_SELECTION = 0x0001;
inline constexpr WPARAM SCF_WORD = 0x0002;
inline constexpr WPARAM SCF_ALL = 0x0004;

inline constexpr DWORD CFM_BOLD = 0x00000001;
inline constexpr DWORD CFM_ITALIC = 0x00000002;
inline constexpr DWORD CFM_UNDERLINE = 0x00000004;
inline constexpr DWORD CFM_STRIKEOUT = 0x00000008;
inline constexpr DWORD CFM_PROTECTED = 0x00000010;
inline constexpr DWORD CFM_SIZE = 0x80000000;
inline constexpr DWORD CFM_COLOR = 0x40000000;
inline constexpr DWORD CFM_FACE = 0x20000000;
inline constexpr DWORD CFM_OFFSET = 0x10000000;
inline constexpr DWORD CFM_CHARSET = 0x08000000;
inline constexpr DWORD CFM_BACKCOLOR = 0x04000000;
inline constexpr DWORD CFM_WEIGHT = 0x00400000;

inline constexpr DWORD CFE_BOLD = 0x00000001;
inline constexpr DWORD CFE_ITALIC = 0x00000002;
inline constexpr DWORD CFE_UNDERLINE = 0x00000004;
inline constexpr DWORD CFE_STRIKEOUT = 0x00000008;
inline constexpr DWORD CFE_PROTECTED = 0x00000010;
inline constexpr DWORD CFE_AUTOCOLOR = 0x40000000;
inline constexpr DWORD CFE_AUTOBACKCOLOR = 0x04000000;

inline constexpr int LF_FACESIZE_RICHEDIT = 32;

// 60 bytes, as the record the callers size it by.
struct CHARFORMATA {
  UINT cbSize;
  DWORD dwMask;
  DWORD dwEffects;
  LONG yHeight;  // twips
  LONG yOffset;
  COLORREF crTextColor;
  BYTE bCharSet;
  BYTE bPitchAndFamily;
  char szFaceName[LF_FACESIZE_RICHEDIT];
};
using CHARFORMAT = CHARFORMATA;

// 84 bytes.
struct CHARFORMAT2A : CHARFORMATA {
  WORD wWeight;
  SHORT sSpacing;
  COLORREF crBackColor;
  DWORD lcid;
  DWORD dwReserved;
  SHORT sStyle;
  WORD wKerning;
  BYTE bUnderlineType;
  BYTE bAnimation;
  BYTE bRevAuthor;
  BYTE bReserved1;
};
using CHARFORMAT2 = CHARFORMAT2A;
static_assert(sizeof(CHARFORMATA) == 60 && sizeof(CHARFORMAT2A) == 84);

// EM_SETPARAFORMAT / EM_GETPARAFORMAT
inline constexpr DWORD PFM_STARTINDENT = 0x00000001;
inline constexpr DWORD PFM_RIGHTINDENT = 0x00000002;
inline constexpr DWORD PFM_OFFSET = 0x00000004;
inline constexpr DWORD PFM_ALIGNMENT = 0x00000008;
inline constexpr WORD PFA_LEFT = 1;
inline constexpr WORD PFA_RIGHT = 2;
inline constexpr WORD PFA_CENTER = 3;
inline constexpr int MAX_TAB_STOPS = 32;
struct PARAFORMAT {
  UINT cbSize;
  DWORD dwMask;
  WORD wNumbering;
  WORD wReserved;
  LONG dxStartIndent;
  LONG dxRightIndent;
  LONG dxOffset;
  WORD wAlignment;
  SHORT cTabCount;
  LONG rgxTabs[MAX_TAB_STOPS];
};

// EN_REQUESTRESIZE: the size the whole text needs, in the control's client coordinates.
struct REQRESIZE {
  NMHDR nmhdr;
  RECT rc;
};

// EN_SELCHANGE
struct SELCHANGE {
  NMHDR nmhdr;
  CHARRANGE chrg;
  WORD seltyp;
};

namespace richedit {

// Registers the control's classes and puts "RICHED20", "RICHED32" and "Msftedit" into the module table, so that
// LoadLibrary of any of them succeeds as it would where the library is installed. Safe to call more than once.
void RegisterRichEditLibrary();

// The zoom the control accepts: a ratio between 1/64 and 64, or 0/0 for none.
bool IsValidZoom(int numerator, int denominator);

}  // namespace richedit
