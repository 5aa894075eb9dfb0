#include "platform/user/dialog_template.h"

#include "platform/base/codepage.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"

namespace user {

namespace {

// Where the item count stands in the header: after the style and the extended style.
constexpr std::size_t kCountAt = 8;

}  // namespace

DialogTemplate::DialogTemplate(DWORD style, short cx, short cy, const std::string& caption)
    : DialogTemplate(style, cx, cy, codepage::Cp1251ToUtf16(caption))
{
}

DialogTemplate::DialogTemplate(DWORD style, short cx, short cy, const std::u16string& caption)
{
  Dword(style | DS_SETFONT);
  Dword(0);
  Word(0);  // the item count, kept up by Item
  Word(0);
  Word(0);
  Word(static_cast<WORD>(cx));
  Word(static_cast<WORD>(cy));
  Word(0);  // no menu
  Word(0);  // the dialog class
  String(caption);
  Word(8);
  String(u"MS Shell Dlg");
}

DialogTemplate& DialogTemplate::Item(WORD classOrdinal, DWORD style, short x, short y, short cx, short cy, WORD id,
                                     const std::string& text)
{
  return Item(classOrdinal, style, x, y, cx, cy, id, codepage::Cp1251ToUtf16(text));
}

DialogTemplate& DialogTemplate::Item(WORD classOrdinal, DWORD style, short x, short y, short cx, short cy, WORD id,
                                     const std::u16string& text)
{
  while (bytes_.size() % 4 != 0) {
    bytes_.push_back(0);
  }
  Dword(style | WS_CHILD | WS_VISIBLE);
  Dword(0);
  for (short v : {x, y, cx, cy}) {
    Word(static_cast<WORD>(v));
  }
  Word(id);
  Word(0xFFFF);
  Word(classOrdinal);
  String(text);
  Word(0);  // no creation data
  ++count_;
  bytes_[kCountAt] = static_cast<BYTE>(count_ & 0xFF);
  bytes_[kCountAt + 1] = static_cast<BYTE>(count_ >> 8);
  return *this;
}

void DialogTemplate::Word(WORD w)
{
  bytes_.push_back(static_cast<BYTE>(w & 0xFF));
  bytes_.push_back(static_cast<BYTE>(w >> 8));
}

void DialogTemplate::Dword(DWORD d)
{
  Word(static_cast<WORD>(d & 0xFFFF));
  Word(static_cast<WORD>(d >> 16));
}

void DialogTemplate::String(const std::u16string& s)
{
  for (char16_t c : s) {
    Word(static_cast<WORD>(c));
  }
  Word(0);
}

}  // namespace user
