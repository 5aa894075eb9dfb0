// What the common dialogs share inside the window system: their templates, written item by item in dialog units,
// and the dialogs that show on a screen.
#pragma once

#include "platform/base/codepage.h"
#include "platform/base/wintypes.h"
#include "platform/user/commdlg.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/input.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

#include <string>
#include <vector>

namespace user::commdlg {

// The predefined control classes by their atoms.
enum class ControlClass : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082, ListBox = 0x0083, ComboBox = 0x0085 };

class DialogTemplate {
public:
  DialogTemplate(const std::string& caption, short cx, short cy)
  {
    Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT);
    Dword(0);
    countAt_ = bytes_.size();
    Word(0);
    Word(0);
    Word(0);
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the dialog class
    String(caption);
    Word(8);
    String("MS Shell Dlg");
  }

  void Item(ControlClass cls, DWORD style, short x, short y, short cx, short cy, int id, const std::string& text = {})
  {
    while (bytes_.size() % 4 != 0) {
      bytes_.push_back(0);
    }
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(static_cast<WORD>(id));
    Word(0xFFFF);
    Word(static_cast<WORD>(cls));
    String(text);
    Word(0);  // no creation data
    bytes_[countAt_] = static_cast<BYTE>(bytes_[countAt_] + 1);
  }
  void Label(short x, short y, short cx, short cy, int id, const std::string& text)
  {
    Item(ControlClass::Static, SS_LEFT | SS_NOPREFIX, x, y, cx, cy, id, text);
  }
  void PushButton(short x, short y, short cx, short cy, int id, const std::string& text, bool isDefault = false)
  {
    Item(ControlClass::Button, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x, y, cx, cy, id, text);
  }

  const void* Data() const { return bytes_.data(); }

private:
  void Word(WORD w)
  {
    bytes_.push_back(static_cast<BYTE>(w & 0xFF));
    bytes_.push_back(static_cast<BYTE>(w >> 8));
  }
  void Dword(DWORD d)
  {
    Word(static_cast<WORD>(d & 0xFFFF));
    Word(static_cast<WORD>(d >> 16));
  }
  void String(const std::string& cp1251)
  {
    for (char16_t c : codepage::Cp1251ToUtf16(cp1251)) {
      Word(static_cast<WORD>(c));
    }
    Word(0);
  }

  std::vector<BYTE> bytes_;
  std::size_t countAt_ = 0;
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

}  // namespace user::commdlg
