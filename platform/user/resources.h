// Windows, dialogs, bitmaps, icons and cursors from a module's resources and from image files.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/dialog.h"

// Dialogs from the RT_DIALOG template `name` of `instance` (null: the program's); a missing template gives
// null / -1 with the lookup's last error.
HWND CreateDialogParam(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param);
inline HWND CreateDialog(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc)
{
  return CreateDialogParam(instance, name, parent, proc, 0);
}
INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
inline INT_PTR DialogBox(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc)
{
  return DialogBoxParam(instance, name, owner, proc, 0);
}
