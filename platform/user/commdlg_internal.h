// What the common dialogs share inside the window system: their templates, written item by item in dialog units,
// and the dialogs that show on a screen.
#pragma once

#include "platform/base/codepage.h"
#include "platform/base/wintypes.h"
#include "platform/user/commdlg.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/dialog_template.h"
#include "platform/user/input.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

#include <string>
#include <vector>

namespace user::commdlg {

// The predefined control classes by their atoms.
enum class ControlClass : WORD {
  Button = kDialogButton,
  Edit = kDialogEdit,
  Static = kDialogStatic,
  ListBox = kDialogListBox,
  ComboBox = kDialogComboBox
};

// A common dialog's template: a centred modal frame with a caption and a close box.
class DialogTemplate : public user::DialogTemplate {
public:
  DialogTemplate(const std::string& caption, short cx, short cy)
      : user::DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, cx, cy, caption)
  {
  }

  void Item(ControlClass cls, DWORD style, short x, short y, short cx, short cy, int id, const std::string& text = {})
  {
    user::DialogTemplate::Item(static_cast<WORD>(cls), style, x, y, cx, cy, static_cast<WORD>(id), text);
  }
  void Label(short x, short y, short cx, short cy, int id, const std::string& text)
  {
    Item(ControlClass::Static, SS_LEFT | SS_NOPREFIX, x, y, cx, cy, id, text);
  }
  void PushButton(short x, short y, short cx, short cy, int id, const std::string& text, bool isDefault = false)
  {
    Item(ControlClass::Button, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x, y, cx, cy, id, text);
  }
};

// Calls the program's hook first; true when the hook took the message.
inline bool CallHook(UINT_PTR (*hook)(HWND, UINT, WPARAM, LPARAM), HWND dialog, UINT msg, WPARAM wParam,
                     LPARAM lParam)
{
  return hook != nullptr && hook(dialog, msg, wParam, lParam) != 0;
}

// The dialogs on the screen; each answers IDOK with its record filled in, IDCANCEL, or -1 when it could not be made.
INT_PTR RunFileDialog(OPENFILENAME* ofn, bool save, std::string& path);
INT_PTR RunColorDialog(CHOOSECOLOR* cc);
INT_PTR RunFontDialog(CHOOSEFONT* cf);
INT_PTR RunPrintDialog(PRINTDLG* pd, DEVMODEA& mode, std::string& output);

// The printer a new record starts with: the print server's default queue, else the PDF printer.
std::string DefaultPrinterName();
// The printer a device mode names, in full (the record holds 31 characters of a queue's name).
std::string PrinterNameOf(const DEVMODEA* mode);

}  // namespace user::commdlg
