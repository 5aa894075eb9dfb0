#include "platform/base/codepage.h"

#include <array>

namespace codepage {
namespace {

// Upper half of cp1251; 0 marks the unmapped byte 0x98.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // 0xF8
};

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp)
{
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one code point from UTF-8 at pos; a malformed sequence yields kReplacement and consumes one byte.
char32_t NextUtf8(std::string_view text, std::size_t& pos)
{
  auto lead = static_cast<unsigned char>(text[pos]);
  int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
  if (extra == 0) {
    ++pos;
    return lead;
  }
  if (extra < 0 || pos + extra >= text.size()) {
    ++pos;
    return kReplacement;
  }
  char32_t cp = lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    auto cont = static_cast<unsigned char>(text[pos + i]);
    if ((cont & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    cp = (cp << 6) | (cont & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += extra + 1;
  return cp;
}

void AppendUtf16(std::u16string& out, char32_t cp)
{
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

// Decodes one code point from UTF-16; a lone surrogate yields kReplacement.
char32_t NextUtf16(std::u16string_view text, std::size_t& pos)
{
  char16_t unit = text[pos++];
  if (unit >= 0xD800 && unit <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[pos++] - 0xDC00);
  }
  if (unit >= 0xD800 && unit <= 0xDFFF) {
    return kReplacement;
  }
  return unit;
}

}  // namespace

char32_t Cp1251ToUnicode(unsigned char byte)
{
  if (byte < 0x80) {
    return byte;
  }
  char16_t c = kUpperHalf[byte - 0x80];
  return c == 0 ? kReplacement : c;
}

char Cp1251FromUnicode(char32_t codePoint)
{
  if (codePoint < 0x80) {
    return static_cast<char>(codePoint);
  }
  // The table is small; a reverse map built once keeps conversion of long texts cheap.
  static const std::array<unsigned char, 0x2200> reverse = [] {
    std::array<unsigned char, 0x2200> r{};
    for (int i = 0; i < 128; ++i) {
      if (kUpperHalf[i] != 0 && kUpperHalf[i] < r.size()) {
        r[kUpperHalf[i]] = static_cast<unsigned char>(0x80 + i);
      }
    }
    return r;
  }();
  if (codePoint < reverse.size() && reverse[codePoint] != 0) {
    return static_cast<char>(reverse[codePoint]);
  }
  return '?';
}

std::u16string Cp1251ToUtf16(std::string_view text)
{
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) {
    out += static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string Utf16ToCp1251(std::u16string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    out += Cp1251FromUnicode(NextUtf16(text, pos));
  }
  return out;
}

std::string Cp1251ToUtf8(std::string_view text)
{
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    AppendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    out += Cp1251FromUnicode(NextUtf8(text, pos));
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    AppendUtf16(out, NextUtf8(text, pos));
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t pos = 0; pos < text.size();) {
    AppendUtf8(out, NextUtf16(text, pos));
  }
  return out;
}

}  // namespace codepage
