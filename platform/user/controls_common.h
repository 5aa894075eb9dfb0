// What the standard controls share: their state kept with the window, their font, and their notifications.
#pragma once

#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/controls.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

#include <string>

namespace user::detail {

// A control keeps its state in the first pointer of its window's extra bytes.
template <class State>
State* ControlState(HWND hwnd)
{
  return reinterpret_cast<State*>(GetWindowLongPtr(hwnd, 0));
}

// Creates the state at WM_NCCREATE and frees it at WM_NCDESTROY; answers whether the message was one of them.
template <class State>
bool ControlLifetime(HWND hwnd, UINT msg)
{
  if (msg == WM_NCCREATE) {
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(new State));
  } else if (msg == WM_NCDESTROY) {
    delete ControlState<State>(hwnd);
    SetWindowLongPtr(hwnd, 0, 0);
    return true;
  }
  return false;
}

inline void NotifyParent(HWND hwnd, WORD code)
{
  HWND parent = GetParent(hwnd);
  if (parent != nullptr) {
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID(hwnd)), code),
                reinterpret_cast<LPARAM>(hwnd));
  }
}

// The brush and colours the parent wants for a control (WM_CTLCOLOR...), set on `dc`.
inline HBRUSH ParentBrush(HWND hwnd, HDC dc, UINT ctlColor)
{
  HWND parent = GetParent(hwnd);
  LRESULT brush = parent != nullptr ? SendMessage(parent, ctlColor, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(hwnd))
                                    : 0;
  if (brush == 0) {
    brush = DefWindowProc(hwnd, ctlColor, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
  }
  return reinterpret_cast<HBRUSH>(brush);
}

// Answers WM_PAINT, between BeginPaint and EndPaint, and WM_PRINTCLIENT, into the DC it brings, with the same
// `paint(dc)`.
template <class Paint>
LRESULT PaintOrPrintClient(HWND hwnd, UINT msg, WPARAM wParam, Paint paint)
{
  PAINTSTRUCT ps;
  HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
  paint(dc);
  if (msg == WM_PAINT) {
    EndPaint(hwnd, &ps);
  }
  return 0;
}

inline HFONT DefaultControlFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

inline std::string TextOf(HWND hwnd)
{
  int n = GetWindowTextLength(hwnd);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  GetWindowText(hwnd, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

}  // namespace user::detail
