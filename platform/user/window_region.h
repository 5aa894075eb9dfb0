// Window regions: the shape a window takes on the screen. Outside its region a window neither shows nor is hit:
// the screen and the window below show through, and the mouse goes to what lies beneath.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

// The region is in window coordinates (0, 0 at the window's top-left corner) and belongs to the system from
// then on: the handle is no longer the caller's to use. Null takes the region away. 0 when refused (no such
// window, or not a region), and then the caller still owns the region.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
// Copies the window's region into `region`: its kind (SIMPLEREGION, COMPLEXREGION, NULLREGION), or ERROR when
// the window has none.
int GetWindowRgn(HWND hwnd, HRGN region);
int GetWindowRgnBox(HWND hwnd, RECT* box);
