// Code page 1251 (Cyrillic) <-> Unicode. The program's 8-bit text is cp1251; Unicode appears only at the edges.
#pragma once

#include <string>
#include <string_view>

namespace codepage {

// The one byte of cp1251 that maps to no character.
inline constexpr unsigned char kUnmappedByte = 0x98;

// The Unicode code point of a cp1251 byte, or 0xFFFD for the unmapped byte.
char32_t Cp1251ToUnicode(unsigned char byte);
// The cp1251 byte of a code point, or '?' when cp1251 has none.
char Cp1251FromUnicode(char32_t codePoint);

std::u16string Cp1251ToUtf16(std::string_view text);
std::string Utf16ToCp1251(std::u16string_view text);
std::string Cp1251ToUtf8(std::string_view text);
// Malformed UTF-8 sequences become '?', as unmappable characters do.
std::string Utf8ToCp1251(std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace codepage
