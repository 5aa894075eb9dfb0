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
  std::size_t Size() const { return out_.size(); }

 private:
  std::vector<std::uint8_t> out_;
};

// BITMAPINFOHEADER: DWORD size 40, LONG width, LONG height (positive: bottom row first), WORD planes 1,
// WORD bits, DWORD compression 0 (none), DWORD image bytes, LONG x and y pixels a metre (0), DWORD colours
// used 0, DWORD colours important 0.
void InfoHeader(Bytes& b, int width, int height, std::uint16_t bits, std::uint32_t imageBytes)
{
  b.Dword(40);
  b.Dword(static_cast<std::uint32_t>(width));
  b.Dword(static_cast<std::uint32_t>(height));
  b.Word(1);
  b.Word(bits);
  b.Dword(0);
  b.Dword(imageBytes);
  b.Dword(0);
  b.Dword(0);
  b.Dword(0);
  b.Dword(0);
}

std::uint32_t Stride(int width, int bits) { return static_cast<std::uint32_t>((width * bits + 31) / 32 * 4); }

void ColourRows(Bytes& b, const Picture& picture, int bits)
{
  const std::uint32_t stride = Stride(picture.width, bits);
  for (int y = picture.height - 1; y >= 0; --y) {
    std::size_t start = b.Size();
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t p = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      b.Byte(static_cast<std::uint8_t>(p));
      b.Byte(static_cast<std::uint8_t>(p >> 8));
      b.Byte(static_cast<std::uint8_t>(p >> 16));
      if (bits == 32) {
        b.Byte(static_cast<std::uint8_t>(p >> 24));
      }
    }
    while (b.Size() - start < stride) {
      b.Byte(0);
    }
  }
}

void MaskRows(Bytes& b, const Picture& picture)
{
  const std::uint32_t stride = Stride(picture.width, 1);
  for (int y = picture.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(stride, 0);
    for (int x = 0; x < picture.width; ++x) {
      if ((picture.pixels[static_cast<std::size_t>(y) * picture.width + x] >> 24) == 0) {
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    for (std::uint8_t v : row) {
      b.Byte(v);
    }
  }
}

}  // namespace

std::vector<std::uint8_t> PackedDib(const Picture& picture)
{
  const int bits = picture.Opaque() ? 24 : 32;
  Bytes b;
  InfoHeader(b, picture.width, picture.height, static_cast<std::uint16_t>(bits),
             Stride(picture.width, bits) * static_cast<std::uint32_t>(picture.height));
  ColourRows(b, picture, bits);
  return b.Take();
}

std::vector<std::uint8_t> IconImage(const Picture& picture)
{
  Bytes b;
  const auto rows = static_cast<std::uint32_t>(picture.height);
  InfoHeader(b, picture.width, picture.height * 2, 32, (Stride(picture.width, 32) + Stride(picture.width, 1)) * rows);
  ColourRows(b, picture, 32);
  MaskRows(b, picture);
  return b.Take();
}

std::vector<std::uint8_t> CursorImage(const Picture& picture, std::uint16_t hotX, std::uint16_t hotY)
{
  Bytes b;
  b.Word(hotX);
  b.Word(hotY);
  std::vector<std::uint8_t> out = b.Take();
  std::vector<std::uint8_t> image = IconImage(picture);
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

std::vector<std::uint8_t> IconDirectory(const Picture& picture, std::uint32_t imageSize, std::uint16_t imageId)
{
  Bytes b;
  b.Word(0);
  b.Word(1);
  b.Word(1);
  b.Byte(static_cast<std::uint8_t>(picture.width >= 256 ? 0 : picture.width));
  b.Byte(static_cast<std::uint8_t>(picture.height >= 256 ? 0 : picture.height));
  b.Byte(0);
  b.Byte(0);
  b.Word(1);
  b.Word(32);
  b.Dword(imageSize);
  b.Word(imageId);
  return b.Take();
}

std::vector<std::uint8_t> CursorDirectory(const Picture& picture, std::uint32_t imageSize, std::uint16_t imageId)
{
  Bytes b;
  b.Word(0);
  b.Word(2);
  b.Word(1);
  b.Word(static_cast<std::uint16_t>(picture.width));
  b.Word(static_cast<std::uint16_t>(picture.height * 2));
  b.Word(1);
  b.Word(32);
  b.Dword(imageSize);
  b.Word(imageId);
  return b.Take();
}

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
