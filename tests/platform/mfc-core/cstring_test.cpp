#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/mfcstring.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

TEST(CStringFormat, FollowsPrintfWithWindowsWidths)
{
  struct Case {
    std::string expected;
    CString actual;
  };
  auto f = [](const char* format, auto... args) {
    CString s;
    s.Format(format, args...);
    return s;
  };
  const Case cases[] = {
      {"42", f("%d", 42)},
      {" 3.14|", f("%5.2f|", 3.14159)},
      {"-7", f("%ld", static_cast<LONG>(-7))},  // %ld of a 32-bit LONG, as the engine input writers use it
      {"4294967295", f("%u", static_cast<DWORD>(0xFFFFFFFF))},
      {"50.000000", f("%lf", 50.0)},
      {"0.0001 1e+06 2.5", f("%g %g %g", 0.0001, 1e6, 2.5)},
      {"abc-xyz", f("%s-%s", CString("abc"), "xyz")},
      {"ab   |", f("%-5s|", "ab")},
      {"   12", f("%*d", 5, 12)},
      {"ff FF 0x10", f("%x %X %#x", 255u, 255u, 16u)},
      {"1099511627776", f("%I64d", static_cast<LONGLONG>(1) << 40)},
      {"100%", f("%d%%", 100)},
      {"x", f("%c", 'x')},
      {"\xC6\xF3\xEA", f("%S", u"Жук")},  // UTF-16 text converted to cp1251
      {"(null)", f("%s", static_cast<const char*>(nullptr))},
      {"1 2 ", f("%d %d %s", 1, 2)},     // a missing argument prints nothing rather than garbage
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.actual.str(), c.expected);
  }
  CString appended("n=");
  appended.AppendFormat("%03d", 7);
  EXPECT_TRUE(appended == "n=007");
}

// Makes a Russian locale available for the process: installed ones first, else one compiled into the build
// tree with localedef. Empty when neither works.
std::string RussianLocale()
{
  for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU.CP1251", "ru_RU"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      std::setlocale(LC_NUMERIC, "C");
      return name;
    }
  }
  const std::string folder = std::string(TESMIRA_ARTIFACTS_DIR) + "/locale";
  std::filesystem::create_directories(folder);
  const std::string command = "localedef -i ru_RU -f UTF-8 '" + folder + "/ru_RU.UTF-8' >/dev/null 2>&1";
  if (!std::filesystem::exists(folder + "/ru_RU.UTF-8") && std::system(command.c_str()) != 0 &&
      !std::filesystem::exists(folder + "/ru_RU.UTF-8")) {
    return {};
  }
  setenv("LOCPATH", folder.c_str(), 1);
  if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") == nullptr) {
    return {};
  }
  std::setlocale(LC_NUMERIC, "C");
  return "ru_RU.UTF-8";
}

TEST(CStringFormat, IgnoresARussianProcessLocale)
{
  const std::string russian = RussianLocale();
  if (russian.empty()) {
    GTEST_SKIP() << "no Russian locale can be made on this machine";
  }
  ASSERT_NE(std::setlocale(LC_NUMERIC, russian.c_str()), nullptr);
  char plain[32];
  std::snprintf(plain, sizeof plain, "%.2f", 3.5);
  CString formatted;
  formatted.Format("%.2f %g", 3.5, 0.25);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_STREQ(plain, "3,50");  // the locale is really in force
  EXPECT_TRUE(formatted == "3.50 0.25");
}

TEST(CStringCase, CyrillicLettersChangeCase)
{
  CString text("привет, Мир! ёжик abc ї ў 123");
  text.MakeUpper();
  EXPECT_TRUE(text == "ПРИВЕТ, МИР! ЁЖИК ABC Ї Ў 123");
  text.MakeLower();
  EXPECT_TRUE(text == "привет, мир! ёжик abc ї ў 123");
  EXPECT_EQ(CString("Дорога").CompareNoCase("дОРОГА"), 0);
  EXPECT_LT(CString("Дорога").CompareNoCase("дорожка"), 0);
  // Byte order: Cyrillic (0xC0 and up) sorts after Latin.
  EXPECT_GT(CString("я").Compare("z"), 0);
  EXPECT_LT(CString("А").Compare("Б"), 0);
}

TEST(CStringOperations, EditingAndSearching)
{
  CString s("  Tesmira Road  ");
  s.Trim();
  EXPECT_TRUE(s == "Tesmira Road");
  EXPECT_TRUE(s.Left(7) == "Tesmira");
  EXPECT_TRUE(s.Right(4) == "Road");
  EXPECT_TRUE(s.Mid(8) == "Road");
  EXPECT_TRUE(s.Mid(8, 100) == "Road");  // clamped
  EXPECT_TRUE(s.Left(-3).IsEmpty());
  EXPECT_EQ(s.Find('R'), 8);
  EXPECT_EQ(s.Find("Road"), 8);
  EXPECT_EQ(s.Find('x'), -1);
  EXPECT_EQ(s.ReverseFind('a'), 10);
  EXPECT_EQ(s.FindOneOf("dR"), 8);
  EXPECT_EQ(s.Replace("Road", "Way"), 1);
  EXPECT_TRUE(s == "Tesmira Way");
  EXPECT_EQ(s.Remove('a'), 2);
  EXPECT_TRUE(s == "Tesmir Wy");
  s.Insert(0, "<");
  s.Insert(100, '>');
  EXPECT_TRUE(s == "<Tesmir Wy>");
  s.Delete(1, 6);
  EXPECT_TRUE(s == "< Wy>");
  CString path("a\\b\\c.qorr5");
  EXPECT_EQ(path.Replace('\\', '/'), 2);
  EXPECT_TRUE(path == "a/b/c.qorr5");
  CString xs("xxabcxx");
  EXPECT_TRUE(xs.Trim('x') == "abc");
  EXPECT_TRUE(CString("a") + "b" + 'c' + CString("d") == "abcd");

  int pos = 0;
  CString csv("1;;22;333");
  std::string tokens;
  for (CString t = csv.Tokenize(";", pos); pos != -1; t = csv.Tokenize(";", pos)) {
    tokens += t.str() + "|";
  }
  EXPECT_EQ(tokens, "1|22|333|");
}

TEST(CStringOperations, OutOfRangeCharacterAccessThrows)
{
  CString s("ab");
  EXPECT_EQ(s[1], 'b');
  for (int index : {-1, 2}) {
    bool thrown = false;
    try {
      s.GetAt(index);
    } catch (CInvalidArgException* e) {
      thrown = true;
      e->Delete();
    }
    EXPECT_TRUE(thrown) << index;
  }
}

TEST(CStringOperations, ExtractSubString)
{
  CString piece;
  EXPECT_TRUE(AfxExtractSubString(piece, "Расчет\nРасчет (F5)", 1));
  EXPECT_EQ(piece, "Расчет (F5)");
  EXPECT_TRUE(AfxExtractSubString(piece, "a;;c", 1, ';'));
  EXPECT_TRUE(piece.IsEmpty());
  EXPECT_FALSE(AfxExtractSubString(piece, "a\nb", 2));
}

TEST(CStringBuffer, GetBufferAndReleaseBuffer)
{
  CString s;
  char* buffer = s.GetBuffer(16);
  std::snprintf(buffer, 17, "%s", "filled");
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 6);
  EXPECT_TRUE(s == "filled");
  buffer = s.GetBufferSetLength(3);
  buffer[0] = 'F';
  EXPECT_TRUE(s == "Fil");
  // Stored lengths may hold NUL bytes.
  CString withNul("a\0b", 3);
  EXPECT_EQ(withNul.GetLength(), 3);
  EXPECT_FALSE(withNul == CString("a"));
}

TEST(CStringEdges, Utf8AndUtf16Conversions)
{
  const CString road("Дорога №5");
  EXPECT_EQ(road.ToUtf8(), "\xD0\x94\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB3\xD0\xB0 \xE2\x84\x96" "5");
  EXPECT_EQ(road.ToUtf16(), u"Дорога №5");
  EXPECT_TRUE(CString::FromUtf8("\xD0\x94\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB3\xD0\xB0") == "Дорога");
  EXPECT_TRUE(CString::FromUtf16(u"Ж\u4E01") == "Ж?");
  EXPECT_TRUE(CString(u"Свет") == "Свет");
}

TEST(CStringLoadString, GoesThroughTheResourceHook)
{
  const auto saved = platform::LoadStringHook;
  platform::LoadStringHook = [](HINSTANCE, UINT id, CString& text) -> BOOL {
    if (id != 7) {
      return FALSE;
    }
    text = "Значение %d вне диапазона";
    return TRUE;
  };
  CString s("old");
  EXPECT_FALSE(s.LoadString(8));
  EXPECT_TRUE(s == "old");
  EXPECT_TRUE(s.LoadString(7));
  CString message;
  message.Format(7u, 12);
  EXPECT_TRUE(message == "Значение 12 вне диапазона");
  platform::LoadStringHook = saved;
}

}  // namespace
