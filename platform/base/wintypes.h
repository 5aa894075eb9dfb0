// The Windows-style scalar types, handles and constants the program is written against.
// Widths follow the Windows ABI the program's files and messages assume (LONG and DWORD are 32-bit),
// not the host's (long is 64-bit here).
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using INT = int;
using UINT = unsigned int;
using BOOL = int;
using BOOLEAN = BYTE;
using CHAR = char;
using UCHAR = unsigned char;
using WCHAR = char16_t;
using FLOAT = float;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = ULONG_PTR;
using SIZE_T = std::size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using ATOM = WORD;
using COLORREF = DWORD;
using LPVOID = void*;
using PVOID = void*;
using LPDWORD = DWORD*;
using LPLONG = LONG*;
using LPBYTE = BYTE*;
using PBYTE = BYTE*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = char16_t*;
using LPCWSTR = const char16_t*;
using LPTSTR = LPSTR;
using LPCTSTR = LPCSTR;
using TCHAR = char;

// Security descriptors mean nothing here; the structure exists so that calls keep their Windows shape.
struct SECURITY_ATTRIBUTES {
  DWORD nLength = sizeof(SECURITY_ATTRIBUTES);
  LPVOID lpSecurityDescriptor = nullptr;
  BOOL bInheritHandle = 0;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// A time as 100-nanosecond intervals since 1601-01-01 UTC, split in two 32-bit halves.
struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};
using LPFILETIME = FILETIME*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Handles are opaque pointers; each owning library defines the structure behind its own kind.
using HANDLE = void*;
#define TESMIRA_DECLARE_HANDLE(name) \
  struct name##__;                   \
  using name = name##__*
TESMIRA_DECLARE_HANDLE(HWND);
TESMIRA_DECLARE_HANDLE(HINSTANCE);
TESMIRA_DECLARE_HANDLE(HMENU);
TESMIRA_DECLARE_HANDLE(HDC);
TESMIRA_DECLARE_HANDLE(HGLRC);
TESMIRA_DECLARE_HANDLE(HICON);
TESMIRA_DECLARE_HANDLE(HKEY);
TESMIRA_DECLARE_HANDLE(HACCEL);
TESMIRA_DECLARE_HANDLE(HHOOK);
TESMIRA_DECLARE_HANDLE(HMONITOR);
TESMIRA_DECLARE_HANDLE(HTREEITEM);
TESMIRA_DECLARE_HANDLE(HIMAGELIST);
TESMIRA_DECLARE_HANDLE(HTHEME);
// GDI objects share one handle space so SelectObject and DeleteObject can take any of them.
struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;
using HBITMAP = HGDIOBJ;
using HRGN = HGDIOBJ;
using HPALETTE = HGDIOBJ;
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
using HGLOBAL = HANDLE;
using HLOCAL = HANDLE;

// Not constexpr: a pointer made from an integer is not a constant expression.
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
inline constexpr DWORD MAX_PATH = 260;
inline constexpr DWORD INFINITE = 0xFFFFFFFFu;

// Wait results.
inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
inline constexpr DWORD WAIT_ABANDONED = 0x00000080u;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102u;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

constexpr WORD MAKEWORD(unsigned low, unsigned high) { return static_cast<WORD>((low & 0xFF) | ((high & 0xFF) << 8)); }
constexpr LONG MAKELONG(unsigned low, unsigned high)
{
  return static_cast<LONG>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(DWORD_PTR v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(DWORD_PTR v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(low, high))); }
constexpr LPARAM MAKELPARAM(unsigned low, unsigned high) { return static_cast<LPARAM>(MAKELONG(low, high)); }
// Signed coordinates packed in an LPARAM, as mouse messages carry them.
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lp))); }

constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b)
{
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

// Locale identifiers, as the date and variant conversions take them.
using LCID = DWORD;
inline constexpr LCID LOCALE_NEUTRAL = 0x0000;
inline constexpr LCID LANG_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};
using LPSYSTEMTIME = SYSTEMTIME*;
