// A dialog template written in memory, for dialogs the program builds rather than loads: the DLGTEMPLATE header
// (style plus DS_SETFONT, no menu, the dialog class, the caption, 8-point "MS Shell Dlg"), then each item aligned
// on four bytes with its class as an ordinal and its text in UTF-16. Items are visible children; coordinates are
// dialog units. Texts come as cp1251 or as UTF-16.
//
//   user::DialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 160, 60, "Шаг");
//   t.Item(user::kDialogButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 40, 50, 14, IDOK, "OK");
//   DialogBoxIndirectParam(nullptr, t.Data(), owner, proc, 0);
#pragma once

#include "platform/base/wintypes.h"

#include <string>
#include <vector>

namespace user {

// The predefined control classes by the ordinals a template names them with.
inline constexpr WORD kDialogButton = 0x0080;
inline constexpr WORD kDialogEdit = 0x0081;
inline constexpr WORD kDialogStatic = 0x0082;
inline constexpr WORD kDialogListBox = 0x0083;
inline constexpr WORD kDialogComboBox = 0x0085;

class DialogTemplate {
public:
  DialogTemplate(DWORD style, short cx, short cy, const std::string& caption);
  DialogTemplate(DWORD style, short cx, short cy, const std::u16string& caption);

  DialogTemplate& Item(WORD classOrdinal, DWORD style, short x, short y, short cx, short cy, WORD id,
                       const std::string& text = {});
  DialogTemplate& Item(WORD classOrdinal, DWORD style, short x, short y, short cx, short cy, WORD id,
                       const std::u16string& text);

  // Valid until the next Item.
  const void* Data() const { return bytes_.data(); }

private:
  void Word(WORD w);
  void Dword(DWORD d);
  void String(const std::u16string& s);

  std::vector<BYTE> bytes_;
  WORD count_ = 0;
};

}  // namespace user
