#include "tools/rescomp/binary.h"

#include "platform/base/codepage.h"

#include <string>

namespace rescomp {
namespace {

// Little-endian output, whatever the host.
class Bytes {
 public:
  void Byte(std::uint8_t v) { out_.push_back(v); }
  void Word(std::uint16_t v)
  {
    Byte(static_cast<std::uint8_t>(v));
    Byte(static_cast<std::uint8_t>(v >> 8));
  }
  void Short(std::int16_t v) { Word(static_cast<std::uint16_t>(v)); }
  void Dword(std::uint32_t v)
  {
    Word(static_cast<std::uint16_t>(v));
    Word(static_cast<std::uint16_t>(v >> 16));
  }
  // A code page 1251 text as UTF-16 with its terminating zero.
  void Text(const std::string& cp1251)
  {
    for (char16_t c : codepage::Cp1251ToUtf16(cp1251)) {
      Word(c);
    }
    Word(0);
  }
  // A class or text field: 0xFFFF then an ordinal, or a text.
  void NameOrOrdinal(std::uint16_t ordinal, const std::string& name)
  {
    if (ordinal != 0) {
      Word(0xFFFF);
      Word(ordinal);
    } else {
      Text(name);
    }
  }
  void AlignTo4()
  {
    while (out_.size() % 4 != 0) {
      Byte(0);
    }
  }
  std::vector<std::uint8_t> Take() { return std::move(out_); }

 private:
  std::vector<std::uint8_t> out_;
};

}  // namespace

// DLGTEMPLATE:   DWORD style, DWORD extended style, WORD item count, short x, y, cx, cy,
//                menu (WORD 0: none), class (WORD 0: the dialog class, else a text), caption text,
//                with DS_SETFONT: WORD point size, face text.
// DLGTEMPLATEEX: WORD 1, WORD 0xFFFF, DWORD help id, DWORD extended style, DWORD style, then as above from
//                the item count; the font adds WORD weight, BYTE italic, BYTE character set before the face.
// Each item starts on a 4-byte boundary of the template:
//   DLGITEMTEMPLATE:   DWORD style, DWORD extended style, short x, y, cx, cy, WORD id,
//   DLGITEMTEMPLATEEX: DWORD help id, DWORD extended style, DWORD style, short x, y, cx, cy, DWORD id,
//   then class (0xFFFF and the predefined ordinal, or a text), text, WORD size of creation data (0).
// Texts are UTF-16 with a terminating zero.
std::vector<std::uint8_t> DialogTemplate(const DialogEntry& d)
{
  Bytes b;
  if (d.extended) {
    b.Word(1);
    b.Word(0xFFFF);
    b.Dword(0);
    b.Dword(d.exStyle);
    b.Dword(d.style);
  } else {
    b.Dword(d.style);
    b.Dword(d.exStyle);
  }
  b.Word(static_cast<std::uint16_t>(d.items.size()));
  b.Short(d.x);
  b.Short(d.y);
  b.Short(d.cx);
  b.Short(d.cy);
  b.Word(0);
  if (d.className.empty()) {
    b.Word(0);
  } else {
    b.Text(d.className);
  }
  b.Text(d.caption);
  if (d.hasFont) {
    b.Word(d.pointSize);
    if (d.extended) {
      b.Word(d.weight);
      b.Byte(d.italic);
      b.Byte(d.charSet);
    }
    b.Text(d.face);
  }
  for (const DialogItemEntry& item : d.items) {
    b.AlignTo4();
    if (d.extended) {
      b.Dword(0);
      b.Dword(item.exStyle);
      b.Dword(item.style);
    } else {
      b.Dword(item.style);
      b.Dword(item.exStyle);
    }
    b.Short(item.x);
    b.Short(item.y);
    b.Short(item.cx);
    b.Short(item.cy);
    if (d.extended) {
      b.Dword(static_cast<std::uint32_t>(item.id));
    } else {
      b.Word(static_cast<std::uint16_t>(item.id));
    }
    b.NameOrOrdinal(item.atom, item.className);
    b.Text(item.text);
    b.Word(0);
  }
  return b.Take();
}

std::vector<std::uint8_t> ToolbarResource(std::uint16_t width, std::uint16_t height,
                                          const std::vector<std::uint16_t>& commands)
{
  Bytes b;
  b.Word(1);
  b.Word(width);
  b.Word(height);
  b.Word(static_cast<std::uint16_t>(commands.size()));
  for (std::uint16_t command : commands) {
    b.Word(command);
  }
  return b.Take();
}

}  // namespace rescomp
