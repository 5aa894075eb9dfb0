// The main window's saved placement, profile value Settings\WindowPos: ten numbers separated by commas,
// "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d" = flags, show command, minimised x, y, maximised x, y, normal rectangle left,
// top, right, bottom (the fields of WINDOWPLACEMENT after its length).
#pragma once

#include "platform/mfc-core/mfcstring.h"
#include "platform/user/window.h"

CString FormatWindowPlacement(const WINDOWPLACEMENT& placement);
// TRUE only for exactly ten numbers, each in its field's range, and a show command that shows the window; a
// short, long or garbled text leaves `placement` untouched, and the window then opens maximised.
BOOL ParseWindowPlacement(const char* text, WINDOWPLACEMENT* placement);

BOOL LoadWindowPlacement(WINDOWPLACEMENT* placement);
void SaveWindowPlacement(const WINDOWPLACEMENT& placement);

// What is stored at close: a minimised window as maximised, and whether it comes back maximised.
WINDOWPLACEMENT PlacementToStore(WINDOWPLACEMENT placement, BOOL zoomed);
