// Drag images: a picture of what is dragged, drawn over everything on the screen at the cursor, one at a time.
// Positions are relative to the lock window's rectangle (frame included), or the screen's with no lock window;
// the picture's top-left corner stands at the position minus the hotspot.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/gdi/imagelist.h"

// Takes a copy of the image; the list may change or go afterwards. FALSE for no such image.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot);
// Shows the picture at (x, y) of `lock` (null: the screen).
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
// Hides the picture; the drag goes on.
BOOL ImageList_DragLeave(HWND lock);
BOOL ImageList_DragShowNolock(BOOL show);
// Hides the picture and forgets it.
void ImageList_EndDrag();
// The position (relative to the lock window) and hotspot of the running drag; null when none runs.
HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotspot);
