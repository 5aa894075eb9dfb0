// Code page 1251 (Cyrillic) <-> Unicode. The program's 8-bit text is cp1251; Unicode appears only at the edges.
#pragma once

#include "platform/base/wintypes.h"

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

// The code pages the conversion functions know: the program's own (CP_ACP, 1251) and UTF-8.
inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;

// Windows' conversions: a length of -1 takes the text up to and including its terminator; an output size of 0
// asks for the size needed. Answers the characters (or bytes) written, or 0 with ERROR_INSUFFICIENT_BUFFER when
// the output is too small, ERROR_INVALID_PARAMETER for an unknown code page or bad arguments.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wideSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text, int textSize,
                        LPCSTR defaultChar, BOOL* usedDefaultChar);
