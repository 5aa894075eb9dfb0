// Small services: MulDiv's rounding and failures, and PlaySound without a sound device.
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

namespace {

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFailsWithMinusOne)
{
  struct Case {
    int number;
    int numerator;
    int denominator;
    int expected;
  };
  const Case cases[] = {
      {5, 1, 2, 3},     // a half goes up
      {-5, 1, 2, -3},   // and down below zero
      {5, -1, 2, -3},   // whichever factor carries the sign
      {5, 1, -2, -3},
      {-5, 1, -2, 3},
      {7, 1, 3, 2},     // below a half: down
      {8, 1, 3, 3},     // above: up
      {300, 96, 72, 400},
      {0, 5, -7, 0},
      {1000000, 1000000, 1000000, 1000000},       // the product needs 64 bits
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
      {INT_MAX, 2, 1, -1},                        // the result does not fit
      {INT_MIN, 2, 1, -1},
      {12, 34, 0, -1},                            // no denominator
      {0, 0, 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
        << c.number << " * " << c.numerator << " / " << c.denominator;
  }
}

TEST(PlaySound, AnswersAtOnceThatNothingPlayed)
{
  const auto start = std::chrono::steady_clock::now();
  // The menu sounds, synchronous as the menus ask for them.
  EXPECT_FALSE(PlaySoundA("MenuCommand", nullptr, SND_ALIAS | SND_NOWAIT | SND_NODEFAULT));
  EXPECT_FALSE(PlaySoundA("MenuPopup", nullptr, SND_ALIAS | SND_SYNC));
  EXPECT_FALSE(PlaySoundA("/no/such/file.wav", nullptr, SND_FILENAME | SND_LOOP | SND_ASYNC));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  // Stopping is always done: nothing plays.
  EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_PURGE));
  EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
}

}  // namespace
