// The short number texts: two decimals at most, no trailing zeros, no "-0", the first character kept.
#include "model/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NumberText, FormatTwoDecimalsDropsTrailingZerosButNeverIntegerDigits)
{
  const struct {
    double value;
    const char* text;
  } cases[] = {
    {3.75, "3.75"}, {3.5, "3.5"},   {12.0, "12"},  {100.0, "100"}, {10.204, "10.2"}, {0.004, "0"},
    {-0.004, "0"},  {-2.5, "-2.5"}, {-7.0, "-7"},  {0.0, "0"},     {-0.0, "0"},      {1000.1, "1000.1"},
    {0.05, "0.05"}, {10.0, "10"},   {-0.1, "-0.1"}, {99.999, "100"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::string(FormatTwoDecimals(c.value)), c.text) << c.value;
  EXPECT_EQ(std::string(FormatTwoDecimals(1e20)), "1" + std::string(20, '0'));
  EXPECT_EQ(FormatTwoDecimals(1e308).GetLength(), 309);
}

TEST(NumberText, NormalizeNumberTextNeverExaminesTheFirstCharacter)
{
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
    {"12.500", "12.5"}, {"3,750", "3.75"}, {"100.0", "100"}, {"100", "100"}, {"0,00", "0"}, {"", "0"},
    {"5.", "5"},        {".5", ".5"},      {".0", "."},      {"1 000", "1 000"}, {"2.00", "2"}, {"1.50", "1.5"},
    {"-0.0", "-0"},     {"0", "0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::string(NormalizeNumberText(CString(c.in))), c.out) << '"' << c.in << '"';

  CString caller("7,50");
  NormalizeNumberText(caller);
  EXPECT_EQ(std::string(caller), "7,50");
}

}  // namespace
