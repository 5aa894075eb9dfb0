// Thread hooks: procedures that see mouse, keyboard and sent messages before the window does.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

inline constexpr int WH_MSGFILTER = -1;
inline constexpr int WH_KEYBOARD = 2;
inline constexpr int WH_GETMESSAGE = 3;
inline constexpr int WH_CALLWNDPROC = 4;
inline constexpr int WH_CBT = 5;
inline constexpr int WH_MOUSE = 7;
inline constexpr int WH_CALLWNDPROCRET = 12;

inline constexpr int HC_ACTION = 0;
inline constexpr int HC_NOREMOVE = 3;

using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

// lParam of a WH_CALLWNDPROC hook.
struct CWPSTRUCT {
  LPARAM lParam;
  WPARAM wParam;
  UINT message;
  HWND hwnd;
};
// lParam of a WH_MOUSE hook; wParam is the mouse message.
struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd;
  UINT wHitTestCode;
  ULONG_PTR dwExtraInfo;
};

// Only thread hooks exist: threadId names a thread that has (or will have) windows; 0 means the calling thread.
// The newest hook runs first; a hook passes on with CallNextHookEx. For WH_MOUSE and WH_KEYBOARD a non-zero answer
// swallows the message.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// WH_CBT codes and records.
inline constexpr int HCBT_MOVESIZE = 0;
inline constexpr int HCBT_MINMAX = 1;
inline constexpr int HCBT_CREATEWND = 3;
inline constexpr int HCBT_DESTROYWND = 4;
inline constexpr int HCBT_ACTIVATE = 5;
inline constexpr int HCBT_SETFOCUS = 9;
struct CREATESTRUCT;
struct CBT_CREATEWND {
  CREATESTRUCT* lpcs;
  HWND hwndInsertAfter;
};
struct CBTACTIVATESTRUCT {
  BOOL fMouse;
  HWND hWndActive;
};
// WH_MSGFILTER codes: modal loops offer each message to the hooks before handling it.
inline constexpr int MSGF_DIALOGBOX = 0;
inline constexpr int MSGF_MESSAGEBOX = 1;
inline constexpr int MSGF_MENU = 2;
inline constexpr int MSGF_SCROLLBAR = 5;
inline constexpr int MSGF_NEXTWINDOW = 6;
struct MSG;
// True when a hook swallowed the message.
BOOL CallMsgFilter(MSG* msg, int code);
