// The Symbol font's bytes and the characters they show: the writer gives readers the characters, the reader turns
// them back into the font's bytes, so that a document keeps its text through a save.
#pragma once

namespace richedit {

// What a byte of the Symbol font shows, for readers that take a symbol font's bytes as private code points; 0
// where the byte is not mapped here.
inline char32_t SymbolCharacter(unsigned char byte) {
  static constexpr char32_t kUpper[26] = {0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399,
                                          0x3D1, 0x39A, 0x39B, 0x39C, 0x39D, 0x39F, 0x3A0, 0x398, 0x3A1,
                                          0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396};
  static constexpr char32_t kLower[26] = {0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9,
                                          0x3D5, 0x3BA, 0x3BB, 0x3BC, 0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1,
                                          0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};
  static constexpr char32_t kHigh[0xBD - 0xA1] = {
      0x3D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192,
      0x2193, 0xB0, 0xB1, 0x2033, 0x2265, 0xD7, 0x221D, 0x2202, 0x2022, 0xF7, 0x2260, 0x2261, 0x2248, 0x2026};
  if (byte >= 'A' && byte <= 'Z') return kUpper[byte - 'A'];
  if (byte >= 'a' && byte <= 'z') return kLower[byte - 'a'];
  if (byte >= 0xA1 && byte < 0xBD) return kHigh[byte - 0xA1];
  switch (byte) {
    case 0x22: return 0x2200;
    case 0x24: return 0x2203;
    case 0x27: return 0x220B;
    case 0x2A: return 0x2217;
    case 0x2D: return 0x2212;
    case 0x40: return 0x2245;
    case 0x5C: return 0x2234;
    case 0x5E: return 0x22A5;
    case 0x7E: return 0x223C;
    default: return 0;
  }
}

// The Symbol font's byte that shows `codePoint`, 0 where none of the mapped bytes does.
inline unsigned char SymbolByte(char32_t codePoint) {
  for (unsigned byte = 0x20; byte < 0x100; ++byte)
    if (SymbolCharacter(static_cast<unsigned char>(byte)) == codePoint) return static_cast<unsigned char>(byte);
  return 0;
}

}  // namespace richedit
