// Keyboard and mouse: virtual keys, the key-state table, capture, focus and activation, mouse tracking, the
// cursor and the caret; and the injection of input, which tests and the screen use alike.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

#include <optional>
#include <string>

// Virtual keys.
inline constexpr UINT VK_LBUTTON = 0x01;
inline constexpr UINT VK_RBUTTON = 0x02;
inline constexpr UINT VK_CANCEL = 0x03;
inline constexpr UINT VK_MBUTTON = 0x04;
inline constexpr UINT VK_XBUTTON1 = 0x05;
inline constexpr UINT VK_XBUTTON2 = 0x06;
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_CLEAR = 0x0C;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_MENU = 0x12;
inline constexpr UINT VK_PAUSE = 0x13;
inline constexpr UINT VK_CAPITAL = 0x14;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_PRIOR = 0x21;
inline constexpr UINT VK_NEXT = 0x22;
inline constexpr UINT VK_END = 0x23;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_SELECT = 0x29;
inline constexpr UINT VK_PRINT = 0x2A;
inline constexpr UINT VK_EXECUTE = 0x2B;
inline constexpr UINT VK_SNAPSHOT = 0x2C;
inline constexpr UINT VK_INSERT = 0x2D;
inline constexpr UINT VK_DELETE = 0x2E;
inline constexpr UINT VK_HELP = 0x2F;
inline constexpr UINT VK_LWIN = 0x5B;
inline constexpr UINT VK_RWIN = 0x5C;
inline constexpr UINT VK_APPS = 0x5D;
inline constexpr UINT VK_NUMPAD0 = 0x60;
inline constexpr UINT VK_NUMPAD9 = 0x69;
inline constexpr UINT VK_MULTIPLY = 0x6A;
inline constexpr UINT VK_ADD = 0x6B;
inline constexpr UINT VK_SEPARATOR = 0x6C;
inline constexpr UINT VK_SUBTRACT = 0x6D;
inline constexpr UINT VK_DECIMAL = 0x6E;
inline constexpr UINT VK_DIVIDE = 0x6F;
inline constexpr UINT VK_F1 = 0x70;
inline constexpr UINT VK_F2 = 0x71;
inline constexpr UINT VK_F3 = 0x72;
inline constexpr UINT VK_F4 = 0x73;
inline constexpr UINT VK_F5 = 0x74;
inline constexpr UINT VK_F6 = 0x75;
inline constexpr UINT VK_F7 = 0x76;
inline constexpr UINT VK_F8 = 0x77;
inline constexpr UINT VK_F9 = 0x78;
inline constexpr UINT VK_F10 = 0x79;
inline constexpr UINT VK_F11 = 0x7A;
inline constexpr UINT VK_F12 = 0x7B;
inline constexpr UINT VK_NUMLOCK = 0x90;
inline constexpr UINT VK_SCROLL = 0x91;
inline constexpr UINT VK_LSHIFT = 0xA0;
inline constexpr UINT VK_RSHIFT = 0xA1;
inline constexpr UINT VK_LCONTROL = 0xA2;
inline constexpr UINT VK_RCONTROL = 0xA3;
inline constexpr UINT VK_LMENU = 0xA4;
inline constexpr UINT VK_RMENU = 0xA5;
inline constexpr UINT VK_OEM_1 = 0xBA;
inline constexpr UINT VK_OEM_PLUS = 0xBB;
inline constexpr UINT VK_OEM_COMMA = 0xBC;
inline constexpr UINT VK_OEM_MINUS = 0xBD;
inline constexpr UINT VK_OEM_PERIOD = 0xBE;
inline constexpr UINT VK_OEM_2 = 0xBF;
inline constexpr UINT VK_OEM_3 = 0xC0;
inline constexpr UINT VK_OEM_4 = 0xDB;
inline constexpr UINT VK_OEM_5 = 0xDC;
inline constexpr UINT VK_OEM_6 = 0xDD;
inline constexpr UINT VK_OEM_7 = 0xDE;
// A character typed with no key of its own: the text comes with the key-down.
inline constexpr UINT VK_PACKET = 0xE7;

// Mouse-message wParam key flags.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;
inline constexpr WPARAM MK_XBUTTON1 = 0x0020;
inline constexpr WPARAM MK_XBUTTON2 = 0x0040;
// The side buttons ("back" and "forward"): which one is in the high word of wParam.
inline constexpr UINT WM_NCXBUTTONDOWN = 0x00AB;
inline constexpr UINT WM_NCXBUTTONUP = 0x00AC;
inline constexpr UINT WM_NCXBUTTONDBLCLK = 0x00AD;
inline constexpr UINT WM_XBUTTONDOWN = 0x020B;
inline constexpr UINT WM_XBUTTONUP = 0x020C;
inline constexpr UINT WM_XBUTTONDBLCLK = 0x020D;
inline constexpr WORD XBUTTON1 = 0x0001;
inline constexpr WORD XBUTTON2 = 0x0002;
inline WORD GET_XBUTTON_WPARAM(WPARAM w) { return HIWORD(w); }
inline constexpr int WHEEL_DELTA = 120;
inline short GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<short>(HIWORD(w)); }
inline WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }

// MapVirtualKey
inline constexpr UINT MAPVK_VK_TO_VSC = 0;
inline constexpr UINT MAPVK_VSC_TO_VK = 1;
inline constexpr UINT MAPVK_VK_TO_CHAR = 2;

// The thread's key state as its retrieved messages left it: bit 0x8000 down, bit 1 toggled.
SHORT GetKeyState(int vk);
// The state of the keyboard now, whatever the queues hold.
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);
BOOL SetKeyboardState(const BYTE* state);
UINT MapVirtualKey(UINT code, UINT mapType);

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);

inline constexpr DWORD TME_HOVER = 0x00000001;
inline constexpr DWORD TME_LEAVE = 0x00000002;
inline constexpr DWORD TME_NONCLIENT = 0x00000010;
inline constexpr DWORD TME_QUERY = 0x40000000;
inline constexpr DWORD TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
inline BOOL _TrackMouseEvent(TRACKMOUSEEVENT* track) { return TrackMouseEvent(track); }
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);

// Cursors. System cursors are named by these ids; the handles are opaque.
inline const LPCSTR IDC_ARROW = reinterpret_cast<LPCSTR>(32512);
inline const LPCSTR IDC_IBEAM = reinterpret_cast<LPCSTR>(32513);
inline const LPCSTR IDC_WAIT = reinterpret_cast<LPCSTR>(32514);
inline const LPCSTR IDC_CROSS = reinterpret_cast<LPCSTR>(32515);
inline const LPCSTR IDC_UPARROW = reinterpret_cast<LPCSTR>(32516);
inline const LPCSTR IDC_SIZENWSE = reinterpret_cast<LPCSTR>(32642);
inline const LPCSTR IDC_SIZENESW = reinterpret_cast<LPCSTR>(32643);
inline const LPCSTR IDC_SIZEWE = reinterpret_cast<LPCSTR>(32644);
inline const LPCSTR IDC_SIZENS = reinterpret_cast<LPCSTR>(32645);
inline const LPCSTR IDC_SIZEALL = reinterpret_cast<LPCSTR>(32646);
inline const LPCSTR IDC_NO = reinterpret_cast<LPCSTR>(32648);
inline const LPCSTR IDC_HAND = reinterpret_cast<LPCSTR>(32649);
inline const LPCSTR IDC_APPSTARTING = reinterpret_cast<LPCSTR>(32650);
inline const LPCSTR IDC_HELP = reinterpret_cast<LPCSTR>(32651);
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
BOOL ClipCursor(const RECT* rect);

// The caret: one per thread, drawn by inverting its rectangle in the window's pixels.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

namespace user {

// Input as the hardware would give it: into the system's queues, from any thread. Mouse input goes to the window
// under the cursor (or the capture), keys to the focus of the foreground thread.
void InjectMouseMove(POINT screen);
// `button` is VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1 or VK_XBUTTON2.
void InjectMouseButton(UINT button, bool down);
void InjectMouseWheel(int delta);
// The horizontal wheel: positive to the right.
void InjectMouseHWheel(int delta);
// The mouse went over a window of another program: a window tracking the mouse hears that it left.
void InjectMouseLeftScreen();
// A press and release at a point.
void InjectClick(POINT screen, UINT button = VK_LBUTTON);
void InjectKey(UINT vk, bool down);
// A press and release.
void InjectKeyPress(UINT vk);
// A key as the screen typed it: with a key down, `cp1251` is the text it typed, which TranslateMessage gives in
// place of the layout's character (empty: nothing; unset: the layout decides). A key of no known position is
// VK_PACKET.
void InjectTypedKey(UINT vk, bool down, std::optional<std::string> cp1251);
// The screen made a top-level window active, or took the activation away to another program; it happens on the
// window's own thread when it next takes input.
void InjectScreenActivation(HWND topLevel, bool active);
// The screen (its window manager) moved or sized a top-level window: it goes there through SetWindowPos on its
// own thread, so that it hears of it as of any move.
void InjectScreenMove(HWND topLevel, const RECT& screenRect);
// The caret's current rectangle in its window's client coordinates; empty when there is none or it is hidden.
RECT CaretRect();

}  // namespace user
