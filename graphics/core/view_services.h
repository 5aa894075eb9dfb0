// What the graphics and the report ask of the application's OpenGL view: a report picture of the active area
// rendered into a bitmap, and the view's cursor for a navigation mode. The view belongs to the application shell,
// which sits above the graphics; it installs its answers here at start-up. Until then the defaults stand.
#pragma once

#include "platform/base/wintypes.h"

class CBitmap;
class CWnd;
struct IGroupOfDev;

// The road picture renderer's flag word from the document's view-mode word (bits 0x4000 to 0x40000), the
// displayed quantity (0 luminance, 1 illuminance, 2 semi-cylindrical), the result display mode (3 false colours)
// and whether the active area is a straight road.
DWORD PictureFlagsFromViewMode(DWORD viewMode, int quantity, int resultDisplay, BOOL straightRoad);

// The cursor resource of a navigation mode: 291 rotate (1), 300 pan (2), 334 zoom (4 and 8), 104 otherwise.
int NavigatorCursorId(int mode);

class CViewServices {
public:
  virtual ~CViewServices() = default;

  // A report picture of the active area, width x height, into a new bitmap; the group's picture when given.
  // FALSE when no picture was made: without the application's view there is none.
  virtual BOOL RenderViewToBitmap(CWnd* view, int width, int height, CBitmap* bitmap, IGroupOfDev* group);
  // The mode's cursor from the program's resources becomes the current cursor and the view's class cursor; a
  // cursor that cannot be loaded changes neither.
  virtual void SetNavigatorCursor(int mode, HWND view);
  // The view's flag "Номера групп": the group labels shown in the plan of an area that is not a straight road.
  // Off without the application's view.
  virtual BOOL ShowsGroupNumbers() { return FALSE; }
};

// The application installs its services once and keeps them alive; null restores the defaults.
void SetViewServices(CViewServices* services);
CViewServices& GetViewServices();

BOOL RenderViewToBitmap(CWnd* view, int width, int height, CBitmap* bitmap, IGroupOfDev* group);
void SetNavigatorCursor(int mode, HWND view);
