#include "platform/base/locale.h"

#include "platform/base/cformat.h"
#include "platform/base/hresult.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;

std::string Info(LCID locale, LCTYPE type)
{
  char text[8] = {};
  const int written = GetLocaleInfo(locale, type, text, sizeof text);
  EXPECT_EQ(written, static_cast<int>(std::string(text).size()) + 1);
  return text;
}

TEST(ThreadLocale, EachThreadAnswersFromItsOwnLocaleAndFilesKeepThePoint)
{
  ScopedEnv english("LC_ALL", "en_US.UTF-8");
  TempFolder folder;
  std::string russian;
  std::string russianList;
  LCID russianId = 0;
  std::thread ui([&] {
    SetThreadLocale(1049);
    russianId = GetThreadLocale();
    russian = Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL);
    russianList = Info(LOCALE_SYSTEM_DEFAULT, LOCALE_SLIST);
    // What the engines read is written meanwhile on the same thread.
    std::FILE* file = std::fopen((folder / "input.txt").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fprintf(file, "%.2f %s", 1.25, platform::FormatC("%g", 0.5).c_str());
    std::fclose(file);
  });
  std::string other;
  std::thread worker([&] { other = Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL); });
  ui.join();
  worker.join();

  EXPECT_EQ(russianId, 1049u);
  EXPECT_EQ(russian, ",");
  EXPECT_EQ(russianList, ";");
  EXPECT_EQ(other, ".");
  EXPECT_EQ(GetThreadLocale(), LOCALE_USER_DEFAULT);
  EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), ".");
  std::ifstream in(folder / "input.txt");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "1.25 0.5");
}

TEST(ThreadLocale, ExplicitLocalesAndBuffers)
{
  ScopedEnv russianUser("LC_ALL", "ru_RU.UTF-8");
  EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), ",");  // the user's environment without a thread locale
  EXPECT_EQ(Info(0x0409, LOCALE_SDECIMAL), ".");
  EXPECT_EQ(Info(0x0419, LOCALE_STHOUSAND), "\xA0");
  EXPECT_EQ(GetLocaleInfo(0x0419, LOCALE_SDECIMAL, nullptr, 0), 2);
  char one[1];
  EXPECT_EQ(GetLocaleInfo(0x0419, LOCALE_SDECIMAL, one, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  char text[8];
  EXPECT_EQ(GetLocaleInfo(0x0419, 0x7777, text, sizeof text), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
