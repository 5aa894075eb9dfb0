#include "platform/base/guid.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <set>

namespace {

// The straight-road class id, and its 16 bytes as they stand in project files (written by hand from the
// Conventions: Data1, Data2, Data3 little-endian, then Data4 as it is).
constexpr GUID kStraightRoad{0xA354AAA1, 0x5DAF, 0x436A, {0x97, 0x13, 0x69, 0xBB, 0x09, 0x0E, 0x95, 0x71}};
constexpr BYTE kStraightRoadBytes[16] = {0xA1, 0xAA, 0x54, 0xA3, 0xAF, 0x5D, 0x6A, 0x43,
                                         0x97, 0x13, 0x69, 0xBB, 0x09, 0x0E, 0x95, 0x71};

TEST(Guid, StraightRoadClassIdStoresAsItsFixtureBytes)
{
  BYTE bytes[16];
  GuidToBytes(kStraightRoad, bytes);
  EXPECT_EQ(std::memcmp(bytes, kStraightRoadBytes, 16), 0);
  EXPECT_EQ(GuidFromBytes(kStraightRoadBytes), kStraightRoad);
}

TEST(Guid, TextFormIsBracedUpperCase)
{
  EXPECT_EQ(GuidToString(kStraightRoad), "{A354AAA1-5DAF-436A-9713-69BB090E9571}");
  EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
}

TEST(Guid, StringFromGuid2WritesThirtyEightCharactersAndTheTerminator)
{
  char16_t buffer[40];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(StringFromGUID2(kStraightRoad, buffer, 40), 39);
  EXPECT_EQ(std::u16string(buffer), u"{A354AAA1-5DAF-436A-9713-69BB090E9571}");
  EXPECT_EQ(buffer[39], u'#');
  EXPECT_EQ(StringFromGUID2(kStraightRoad, buffer, 39), 39);
  EXPECT_EQ(StringFromGUID2(kStraightRoad, buffer, 38), 0);
}

TEST(Guid, ParsesEitherCaseAndRejectsOtherText)
{
  EXPECT_EQ(GuidFromString("{A354AAA1-5DAF-436A-9713-69BB090E9571}"), kStraightRoad);
  EXPECT_EQ(GuidFromString("{a354aaa1-5daf-436a-9713-69bb090e9571}"), kStraightRoad);
  EXPECT_FALSE(GuidFromString("A354AAA1-5DAF-436A-9713-69BB090E9571"));
  EXPECT_FALSE(GuidFromString("{A354AAA1-5DAF-436A-9713-69BB090E957G}"));
  EXPECT_FALSE(GuidFromString("{A354AAA1-5DAF-436A+9713-69BB090E9571}"));
  EXPECT_FALSE(GuidFromString(""));
}

TEST(Guid, CoCreateGuidMakesDistinctVersion4Identifiers)
{
  std::set<GUID> seen;
  for (int i = 0; i < 1000; ++i) {
    GUID g;
    ASSERT_EQ(CoCreateGuid(&g), S_OK);
    EXPECT_EQ(g.Data3 >> 12, 4);
    EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
    EXPECT_EQ(GuidFromString(GuidToString(g)), g);
    seen.insert(g);
  }
  EXPECT_EQ(seen.size(), 1000u);
  EXPECT_EQ(CoCreateGuid(nullptr), E_INVALIDARG);
}

// Identifiers are drawn from random bytes fetched ahead; a forked child must not make the ones its parent makes
// next.
TEST(Guid, AForkedChildMakesOtherIdentifiersThanItsParent)
{
  GUID g;
  ASSERT_EQ(CoCreateGuid(&g), S_OK);  // the bytes ahead are fetched now
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    GUID made{};
    CoCreateGuid(&made);
    const bool written = write(channel[1], &made, sizeof made) == static_cast<ssize_t>(sizeof made);
    _exit(written ? 0 : 1);
  }
  GUID parent{};
  ASSERT_EQ(CoCreateGuid(&parent), S_OK);
  GUID fromChild{};
  EXPECT_EQ(read(channel[0], &fromChild, sizeof fromChild), static_cast<ssize_t>(sizeof fromChild));
  int status = 0;
  waitpid(child, &status, 0);
  close(channel[0]);
  close(channel[1]);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NE(fromChild, parent);
}

}  // namespace
