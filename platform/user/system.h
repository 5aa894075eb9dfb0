// System settings, monitors, layered windows and key names.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/gdi/wingdi.h"

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

// Answers what the program asks of the system's settings; FALSE for a setting it does not know.
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

// Key names and characters, on a US layout.
int GetKeyNameText(LONG lParam, LPSTR buffer, int size);
inline int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size) { return GetKeyNameText(lParam, buffer, size); }
int ToAscii(UINT vk, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags);
SHORT VkKeyScan(CHAR ch);
