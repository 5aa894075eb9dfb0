// The menu bar of a top-level window.
#include "platform/user/paint.h"
#include "platform/user/state.h"

using namespace user::detail;

HMENU GetMenu(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || (w->style & WS_CHILD) != 0) {
    return nullptr;
  }
  return reinterpret_cast<HMENU>(w->idOrMenu);
}

BOOL SetMenu(HWND hwnd, HMENU menu)
{
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || (w->style & WS_CHILD) != 0) {
      return FALSE;
    }
    w->idOrMenu = reinterpret_cast<UINT_PTR>(menu);
  }
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) { return RedrawWindow(hwnd, nullptr, nullptr, 0x0400 | 0x0001 | 0x0040) ; }

namespace user::detail {
void PaintMenuBar(HWND, HDC, const RECT&) {}
void TrackMenuBar(HWND, POINT, UINT) {}
}  // namespace user::detail
