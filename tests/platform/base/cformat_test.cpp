#include "platform/base/cformat.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;

TEST(CFormat, FormatsAsPrintfDoes)
{
  EXPECT_EQ(platform::FormatC("%ld %u %lf %g", 12L, 7u, 0.25, 1e-5), "12 7 0.250000 1e-05");
  EXPECT_EQ(platform::FormatC("%s|%5.2f|%-3d|", "Улица", 3.14159, 4), "Улица| 3.14|4  |");
  EXPECT_EQ(platform::FormatC("%s", ""), "");
  std::string longText(1000, 'x');
  EXPECT_EQ(platform::FormatC("%s%d", longText.c_str(), 5), longText + "5");
}

TEST(CFormat, ParsesInTheCLocale)
{
  EXPECT_EQ(platform::ParseDoubleC("1.5"), 1.5);
  EXPECT_EQ(platform::ParseDoubleC(" -2e3"), -2000.0);
  EXPECT_FALSE(platform::ParseDoubleC("1,5"));
  EXPECT_FALSE(platform::ParseDoubleC(""));
  EXPECT_EQ(platform::ParseIntegerC("-42"), -42);
  EXPECT_FALSE(platform::ParseIntegerC("42x"));
}

// A locale whose decimal separator is a comma, made for the test: an installed ru_RU or de_DE, else one
// compiled with localedef into a temporary LOCPATH.
class CommaLocale {
public:
  CommaLocale()
  {
    for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8", "ru_RU.utf8", "de_DE.utf8"}) {
      if (std::setlocale(LC_ALL, name) != nullptr) {
        ok_ = true;
        return;
      }
    }
    std::string command = "localedef -i ru_RU -f UTF-8 '" + folder_.Path() + "/ru_RU.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != -1) {
      setenv("LOCPATH", folder_.Path().c_str(), 1);
      ok_ = std::setlocale(LC_ALL, "ru_RU.UTF-8") != nullptr;
    }
  }
  ~CommaLocale()
  {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
  }
  bool Ok() const { return ok_; }

private:
  TempFolder folder_;
  bool ok_ = false;
};

TEST(CFormat, IgnoresTheProcessLocale)
{
  CommaLocale comma;
  if (!comma.Ok()) {
    GTEST_SKIP() << "no locale with a decimal comma could be made here (localedef and the locales sources)";
  }
  char native[32];
  std::snprintf(native, sizeof native, "%g", 1.5);
  ASSERT_STREQ(native, "1,5");  // the locale is really in force
  EXPECT_EQ(platform::FormatC("%g %lf", 1.5, 2.25), "1.5 2.250000");
  EXPECT_EQ(platform::ParseDoubleC("1.5"), 1.5);
  // And the thread's own locale is back afterwards.
  std::snprintf(native, sizeof native, "%g", 1.5);
  EXPECT_STREQ(native, "1,5");
  // Other threads too.
  std::string there;
  std::thread([&there] { there = platform::FormatC("%.1f", 0.5); }).join();
  EXPECT_EQ(there, "0.5");
}

}  // namespace
