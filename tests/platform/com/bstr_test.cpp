#include "platform/com/bstr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

DWORD PrefixOf(BSTR s)
{
  DWORD bytes;
  std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(s) - 4, 4);
  return bytes;
}

TEST(Bstr, PrefixHoldsByteLengthAndTextIsTerminated)
{
  BSTR s = SysAllocString(u"Road");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(PrefixOf(s), 8u);
  EXPECT_EQ(SysStringLen(s), 4u);
  EXPECT_EQ(SysStringByteLen(s), 8u);
  EXPECT_EQ(s[4], u'\0');
  EXPECT_EQ(std::u16string(s), u"Road");
  SysFreeString(s);
}

TEST(Bstr, EmbeddedNulsCountInTheLength)
{
  const char16_t text[] = {u'a', 0, u'b', 0, 0};
  BSTR s = SysAllocStringLen(text, 4);
  EXPECT_EQ(SysStringLen(s), 4u);
  EXPECT_EQ(std::u16string_view(s, 4), std::u16string_view(text, 4));
  // SysAllocString stops at the first NUL, as C-string callers expect.
  BSTR cut = SysAllocString(s);
  EXPECT_EQ(SysStringLen(cut), 1u);
  SysFreeString(cut);
  SysFreeString(s);
}

TEST(Bstr, NullAndEmptyAreDifferentButBothHaveLengthZero)
{
  EXPECT_EQ(SysAllocString(static_cast<const OLECHAR*>(nullptr)), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  BSTR empty = SysAllocString(u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  SysFreeString(empty);
  // A length without text gives that many NULs.
  BSTR blank = SysAllocStringLen(nullptr, 3);
  EXPECT_EQ(SysStringLen(blank), 3u);
  EXPECT_EQ(std::u16string_view(blank, 3), std::u16string_view(u"\0\0\0", 3));
  SysFreeString(blank);
}

TEST(Bstr, ByteLengthMayBeOdd)
{
  BSTR s = SysAllocStringByteLen("abc", 3);
  EXPECT_EQ(SysStringByteLen(s), 3u);
  EXPECT_EQ(SysStringLen(s), 1u);
  EXPECT_EQ(std::memcmp(s, "abc", 4), 0);
  SysFreeString(s);
}

TEST(Bstr, ReAllocFromInsideTheOldString)
{
  BSTR s = SysAllocString(u"luminaire");
  ASSERT_TRUE(SysReAllocString(&s, s + 5));
  EXPECT_EQ(std::u16string(s), u"aire");
  ASSERT_TRUE(SysReAllocStringLen(&s, s + 1, 2));
  EXPECT_EQ(SysStringLen(s), 2u);
  EXPECT_EQ(std::u16string(s), u"ir");
  ASSERT_TRUE(SysReAllocString(&s, nullptr));
  EXPECT_EQ(s, nullptr);
}

TEST(BstrT, ConvertsProgramTextAtTheEdge)
{
  // Narrow literals are code page 1251 in the binary.
  const char* russian = "Опора ОКК-10";
  _bstr_t text(russian);
  EXPECT_EQ(text.view(), u"Опора ОКК-10");
  EXPECT_EQ(text.length(), 12u);
  EXPECT_STREQ(static_cast<const char*>(text), russian);
  EXPECT_EQ(SysStringLen(text.GetBSTR()), 12u);
}

TEST(BstrT, CopiesShareUntilOneChanges)
{
  _bstr_t a(u"pole");
  _bstr_t b = a;
  EXPECT_EQ(a.GetBSTR(), b.GetBSTR());
  b += _bstr_t(u"s");
  EXPECT_EQ(a.view(), u"pole");
  EXPECT_EQ(b.view(), u"poles");
  EXPECT_EQ(a + _bstr_t("-1"), _bstr_t(u"pole-1"));
  EXPECT_LT(a, b);
}

TEST(BstrT, EmptyFromNothingIsNull)
{
  _bstr_t none;
  EXPECT_EQ(static_cast<const char*>(none), nullptr);
  EXPECT_EQ(static_cast<const OLECHAR*>(none), nullptr);
  EXPECT_TRUE(!none);
  EXPECT_EQ(none, _bstr_t(u""));
}

TEST(BstrT, ReceivesAnOutParameterAndHandsItBack)
{
  _bstr_t text("old");
  *text.GetAddress() = SysAllocString(u"new");
  EXPECT_STREQ(static_cast<const char*>(text), "new");
  _bstr_t shared = text;
  BSTR detached = text.Detach();
  // Shared text stays with the other copy; the caller gets its own.
  EXPECT_NE(detached, shared.GetBSTR());
  EXPECT_EQ(std::u16string(detached), u"new");
  EXPECT_EQ(text.GetBSTR(), nullptr);
  SysFreeString(detached);

  _bstr_t owner(SysAllocString(u"taken"), false);
  BSTR held = owner.GetBSTR();
  EXPECT_EQ(owner.Detach(), held);
  SysFreeString(held);
}

}  // namespace
