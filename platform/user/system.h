// System settings, monitors, layered windows, keyboard layouts and key names, and the A-suffixed names of these.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/hresult.h"
#include "platform/base/wintypes.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/clipboard.h"
#include "platform/user/input.h"
#include "platform/user/menu.h"
#include "platform/user/sound.h"

#include <string>
#include <string_view>

inline constexpr UINT SPI_GETICONTITLELOGFONT = 0x001F;
inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;
inline constexpr UINT SPI_GETHIGHCONTRAST = 0x0042;
inline constexpr UINT SPI_GETMENUANIMATION = 0x1002;
inline constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;
inline constexpr UINT SPI_GETMENUFADE = 0x1012;
inline constexpr UINT SPI_GETFLATMENU = 0x1022;
inline constexpr UINT SPI_GETDROPSHADOW = 0x1024;
inline constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
inline constexpr UINT SPI_GETFONTSMOOTHING = 0x004A;
inline constexpr UINT SPI_SETMENUANIMATION = 0x1003;
inline constexpr UINT SPI_SETKEYBOARDCUES = 0x100B;
inline constexpr UINT SPI_SETMENUFADE = 0x1013;
inline constexpr UINT SPI_SETFLATMENU = 0x1023;
inline constexpr UINT SPI_SETDROPSHADOW = 0x1025;
inline constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
inline constexpr UINT SPIF_SENDCHANGE = 0x0002;
inline constexpr UINT SPIF_SENDWININICHANGE = SPIF_SENDCHANGE;

struct NONCLIENTMETRICS {
  UINT cbSize = sizeof(NONCLIENTMETRICS);
  int iBorderWidth = 0;
  int iScrollWidth = 0;
  int iScrollHeight = 0;
  int iCaptionWidth = 0;
  int iCaptionHeight = 0;
  LOGFONTA lfCaptionFont;
  int iSmCaptionWidth = 0;
  int iSmCaptionHeight = 0;
  LOGFONTA lfSmCaptionFont;
  int iMenuWidth = 0;
  int iMenuHeight = 0;
  LOGFONTA lfMenuFont;
  LOGFONTA lfStatusFont;
  LOGFONTA lfMessageFont;
  int iPaddedBorderWidth = 0;
};
using NONCLIENTMETRICSA = NONCLIENTMETRICS;

// Answers what the program asks of the system's settings; FALSE for a setting it does not know. The SET
// actions of the menu look (SPI_SETDROPSHADOW, SPI_SETFLATMENU, SPI_SETKEYBOARDCUES, SPI_SETMENUANIMATION,
// SPI_SETMENUFADE) take the new BOOL as the pointer's value, as documented, and the GET actions answer it from
// then on; with SPIF_SENDCHANGE every top-level window is sent WM_SETTINGCHANGE (wParam the action). As the
// system starts: no drop shadow, no flat menus, no animation or fading, accelerator underlines shown.
BOOL SystemParametersInfo(UINT action, UINT param, PVOID data, UINT winIni);
inline BOOL SystemParametersInfoA(UINT action, UINT param, PVOID data, UINT winIni)
{
  return SystemParametersInfo(action, param, data, winIni);
}

// One monitor: the screen.
inline constexpr DWORD MONITOR_DEFAULTTONULL = 0;
inline constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor{};
  RECT rcWork{};
  DWORD dwFlags = 0;
};
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

// Layered windows: a whole-window alpha, or pixels with their own alpha.
inline constexpr DWORD LWA_COLORKEY = 0x00000001;
inline constexpr DWORD LWA_ALPHA = 0x00000002;
inline constexpr DWORD ULW_COLORKEY = 0x00000001;
inline constexpr DWORD ULW_ALPHA = 0x00000002;
inline constexpr DWORD ULW_OPAQUE = 0x00000004;
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
BOOL UpdateLayeredWindow(HWND hwnd, HDC screenDC, POINT* position, SIZE* size, HDC sourceDC, POINT* sourcePoint,
                         COLORREF key, const BLENDFUNCTION* blend, DWORD flags);

// Key names and characters, on the keyboard layout in force: US or Russian. Without a screen that says
// otherwise the US layout is in force; both are in the list.
TESMIRA_DECLARE_HANDLE(HKL);
inline const HKL kLayoutUS = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04090409u));
inline const HKL kLayoutRussian = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04190419u));
inline constexpr UINT HKL_PREV = 0;
inline constexpr UINT HKL_NEXT = 1;
inline constexpr UINT KLF_ACTIVATE = 0x00000001;
inline constexpr UINT MAPVK_VK_TO_VSC_EX = 4;
HKL GetKeyboardLayout(DWORD threadId);
int GetKeyboardLayoutList(int count, HKL* layouts);
// Makes a layout of the list (or the next or previous one, HKL_NEXT/HKL_PREV) the one in force; the one before,
// or null for a layout that is not in the list.
HKL ActivateKeyboardLayout(HKL layout, UINT flags);
// "00000409" or "00000419"; null for any other.
HKL LoadKeyboardLayout(LPCSTR id, UINT flags);
inline HKL LoadKeyboardLayoutA(LPCSTR id, UINT flags) { return LoadKeyboardLayout(id, flags); }

int GetKeyNameText(LONG lParam, LPSTR buffer, int size);
inline int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size) { return GetKeyNameText(lParam, buffer, size); }
// The cp1251 character in chars[0]: 1, or 0 when the key gives none.
int ToAscii(UINT vk, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags);
int ToAsciiEx(UINT vk, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags, HKL layout);
// The key (low byte) and shift state (0x100 Shift) that types a character; -1 when none does.
SHORT VkKeyScan(CHAR ch);
SHORT VkKeyScanEx(CHAR ch, HKL layout);
inline SHORT VkKeyScanA(CHAR ch) { return VkKeyScan(ch); }
inline SHORT VkKeyScanExA(CHAR ch, HKL layout) { return VkKeyScanEx(ch, layout); }
UINT MapVirtualKeyEx(UINT code, UINT mapType, HKL layout);
inline UINT MapVirtualKeyExA(UINT code, UINT mapType, HKL layout) { return MapVirtualKeyEx(code, mapType, layout); }
inline UINT MapVirtualKeyA(UINT code, UINT mapType) { return MapVirtualKeyEx(code, mapType, nullptr); }

// Case of cp1251 text, Cyrillic letters included. A "string" whose high bits are zero is one character, and the
// answer is that character changed, in the same form.
LPSTR CharUpper(LPSTR text);
LPSTR CharLower(LPSTR text);
DWORD CharUpperBuff(LPSTR text, DWORD length);
DWORD CharLowerBuff(LPSTR text, DWORD length);
inline LPSTR CharUpperA(LPSTR text) { return CharUpper(text); }
inline LPSTR CharLowerA(LPSTR text) { return CharLower(text); }
inline DWORD CharUpperBuffA(LPSTR text, DWORD length) { return CharUpperBuff(text, length); }
inline DWORD CharLowerBuffA(LPSTR text, DWORD length) { return CharLowerBuff(text, length); }

// number * numerator / denominator in 64 bits, rounded half away from zero; -1 when the denominator is 0 or the
// result leaves 32 bits.
int MulDiv(int number, int numerator, int denominator);

// Changes system colours (GetSysColor, and the brushes of GetSysColorBrush, which keep their handles), sends
// WM_SYSCOLORCHANGE to every top-level window and has every window repainted. FALSE, changing nothing, when an
// index is out of range.
BOOL SetSysColors(int count, const INT* elements, const COLORREF* values);

// The system is Windows XP: NT 5.1, build 2600, Service Pack 2.
inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
inline constexpr BYTE VER_NT_WORKSTATION = 1;
inline constexpr WORD VER_SUITE_SINGLEUSERTS = 0x0100;
struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  CHAR szCSDVersion[128] = {};
};
struct OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  CHAR szCSDVersion[128] = {};
  WORD wServicePackMajor = 0;
  WORD wServicePackMinor = 0;
  WORD wSuiteMask = 0;
  BYTE wProductType = 0;
  BYTE wReserved = 0;
};
static_assert(sizeof(OSVERSIONINFOA) == 148 && sizeof(OSVERSIONINFOEXA) == 156);
using OSVERSIONINFO = OSVERSIONINFOA;
using OSVERSIONINFOEX = OSVERSIONINFOEXA;
using LPOSVERSIONINFOA = OSVERSIONINFOA*;
using LPOSVERSIONINFO = OSVERSIONINFOA*;
// Fills either record by its size member (an OSVERSIONINFOEXA may be passed cast); any other size: FALSE with
// ERROR_INSUFFICIENT_BUFFER.
BOOL GetVersionEx(OSVERSIONINFOA* info);
inline BOOL GetVersionExA(OSVERSIONINFOA* info) { return GetVersionEx(info); }
// major | minor << 8 | build << 16; the top bit clear on NT.
DWORD GetVersion();

// The system modules the toolkit binds at run time by name: "UxTheme.dll" (visual styles), "msimg32.dll"
// (AlphaBlend, TransparentBlt, GradientFill), "USER32" (layered windows, monitors, NotifyWinEvent),
// "oleacc.dll" (accessibility), "shlwapi.dll" (SHAutoComplete, DllGetVersion) and "comctl32.dll". They are in
// the module table and loaded from start-up, so GetModuleHandle answers them as it would on Windows.
namespace user {
inline constexpr const char* kSystemModules[] = {"UxTheme.dll", "msimg32.dll", "USER32", "oleacc.dll",
                                                 "shlwapi.dll", "comctl32.dll"};
// For tests: takes a system module out of the table and drops the loader's reference, so LoadLibrary fails and
// GetModuleHandle answers null (unless the test itself still holds a reference); `absent` false puts it back.
// False for a name that is not a system module.
bool SetSystemModuleAbsentForTest(std::string_view name, bool absent);

// A system module missing for a scope.
class AbsentSystemModule {
public:
  explicit AbsentSystemModule(std::string_view name) : name_(name) { SetSystemModuleAbsentForTest(name_, true); }
  ~AbsentSystemModule() { SetSystemModuleAbsentForTest(name_, false); }
  AbsentSystemModule(const AbsentSystemModule&) = delete;
  AbsentSystemModule& operator=(const AbsentSystemModule&) = delete;

private:
  std::string name_;
};

// For tests: the menu-look settings and the system colours as the system starts.
void ResetSystemSettingsForTest();
}  // namespace user

// shlwapi's SHAutoComplete: shell completion of an edit's text is not offered here; it answers S_OK so that
// the edit works on as a plain one.
inline constexpr DWORD SHACF_DEFAULT = 0x00000000;
HRESULT SHAutoComplete(HWND edit, DWORD flags);

inline BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) { return GetMonitorInfo(monitor, info); }
inline UINT RegisterClipboardFormatA(LPCSTR name) { return RegisterClipboardFormat(name); }
inline int TranslateAcceleratorA(HWND hwnd, HACCEL table, MSG* msg) { return TranslateAccelerator(hwnd, table, msg); }
