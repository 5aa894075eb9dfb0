#include "platform/base/codepage.h"
#include "platform/base/hresult.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1251, EveryMappedByteRoundTripsThroughUnicode)
{
  for (int b = 0; b < 256; ++b) {
    if (b == codepage::kUnmappedByte) {
      continue;
    }
    std::string one(1, static_cast<char>(b));
    EXPECT_EQ(codepage::Utf16ToCp1251(codepage::Cp1251ToUtf16(one)), one) << "byte " << b;
    EXPECT_EQ(codepage::Utf8ToCp1251(codepage::Cp1251ToUtf8(one)), one) << "byte " << b;
  }
}

TEST(Cp1251, KnownLettersAndSigns)
{
  struct Case {
    unsigned char byte;
    char32_t unicode;
  };
  const Case cases[] = {
      {0xC0, U'А'}, {0xFF, U'я'}, {0xA8, U'Ё'}, {0xB8, U'ё'}, {0xB9, U'№'}, {0x88, U'€'}, {0x96, U'–'}, {0xA0, 0xA0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(codepage::Cp1251ToUnicode(c.byte), c.unicode);
    EXPECT_EQ(static_cast<unsigned char>(codepage::Cp1251FromUnicode(c.unicode)), c.byte);
  }
}

TEST(Cp1251, UnmappableCharactersBecomeQuestionMarks)
{
  EXPECT_EQ(codepage::Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK ideograph
  EXPECT_EQ(codepage::Utf16ToCp1251(u"x\U0001F600y"), "x?y");     // outside the BMP
  EXPECT_EQ(codepage::Utf8ToCp1251("\xC3"), "?");                 // truncated sequence
  EXPECT_EQ(codepage::Cp1251ToUnicode(codepage::kUnmappedByte), U'\xFFFD');
}

TEST(Cp1251, RussianLiteralInTheSourceIsCp1251InTheBinary)
{
  const char text[] = "Пожалуйста";
  ASSERT_EQ(sizeof(text), 11u);  // one byte a letter, not two
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xCF);
  EXPECT_EQ(codepage::Cp1251ToUtf8(text), "\xD0\x9F\xD0\xBE\xD0\xB6\xD0\xB0\xD0\xBB\xD1\x83\xD0\xB9\xD1\x81\xD1\x82\xD0\xB0");
}

}  // namespace

namespace {

TEST(CodePageConversion, SizesTerminatorsAndErrorsAsWindowsAnswersThem)
{
  const char text[] = "Опора 1";  // cp1251 in the binary
  // The size asked first, with the terminator when the length is -1.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 8);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, 5, nullptr, 0), 5);
  char16_t wide[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 8), 8);
  EXPECT_EQ(std::u16string(wide), u"Опора 1");
  char16_t small[4] = {};
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, small, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, text, -1, wide, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xD0\xAF", 2, wide, 8), 1);  // UTF-8 of 'Я'
  EXPECT_EQ(wide[0], u'Я');

  char back[16] = {};
  BOOL lost = TRUE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"Опора?", -1, back, sizeof back, nullptr, &lost), 7);
  EXPECT_STREQ(back, "Опора?");
  EXPECT_FALSE(lost) << "a question mark of the text is not a lost character";
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u03B1", 1, back, sizeof back, nullptr, &lost), 1);
  EXPECT_TRUE(lost);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"Я", 1, nullptr, 0, nullptr, nullptr), 2);
}

}  // namespace
