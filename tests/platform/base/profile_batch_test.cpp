#include "platform/base/profile.h"
#include "platform/base/registry.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace {

using platform::ProfileFileWritesForTest;
using platform::ProfileStore;
using platform::ProfileWriteBatch;
using testing_support::ScopedEnv;
using testing_support::TempFolder;

constexpr char kBarsKey[] = "Software\\Marvesta\\Tesmira Road\\CommandBars";

std::string ReadWhole(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every fault hook is off again when a test ends, whatever it did.
struct FaultsOff {
  ~FaultsOff()
  {
    platform::SetProfileValueWriteFaultForTest(std::nullopt);
    platform::SetProfileWriteFaultForTest(std::nullopt);
  }
};

// A bar-state save as the command bars make one: 300 values, half through the registry functions and half
// through the profile functions, all in the application's store.
class ProfileBatch : public ::testing::Test {
protected:
  void SetUp() override
  {
    ProfileWriteBatch first(store_);
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE(store_.WriteProfileInt("CommandBars", Name(i).c_str(), -1));
    }
    ASSERT_TRUE(first.Commit());
    before_ = ReadWhole(store_.FilePath());
  }

  static std::string Name(int i) { return "Bar" + std::to_string(i); }

  // Writes value i of the save; false when the write was refused.
  bool WriteValue(HKEY key, int i)
  {
    if (i % 2 == 0) {
      const DWORD value = static_cast<DWORD>(i);
      return RegSetValueEx(key, Name(i).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) ==
             ERROR_SUCCESS;
    }
    return store_.WriteProfileInt("CommandBars", Name(i).c_str(), i) != FALSE;
  }

  HKEY OpenBars()
  {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kBarsKey, 0, nullptr, 0, KEY_WRITE | KEY_READ, nullptr, &key,
                             nullptr),
              ERROR_SUCCESS);
    return key;
  }

  // What a later run of the program reads.
  void ExpectEveryValue(bool saved)
  {
    ProfileStore fresh("Marvesta", "Tesmira Road");
    for (int i = 0; i < 300; ++i) {
      ASSERT_EQ(static_cast<int>(fresh.GetProfileInt("CommandBars", Name(i).c_str(), 7)), saved ? i : -1)
          << Name(i);
    }
  }

  FaultsOff faultsOff_;
  TempFolder folder_;
  ScopedEnv env_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  ProfileStore store_{"Marvesta", "Tesmira Road"};
  std::string before_;
};

TEST_F(ProfileBatch, AWholeSaveIsOneFileWriteAndNothingReachesTheDiskBeforeCommit)
{
  HKEY key = OpenBars();
  const std::size_t writesBefore = ProfileFileWritesForTest();
  {
    ProfileWriteBatch batch("Marvesta", "Tesmira Road");  // the application key, as the registry code has it
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE(WriteValue(key, i)) << i;
    }
    // The save reads back what it wrote, through either door, while the file still holds the old values.
    EXPECT_EQ(store_.GetProfileInt("CommandBars", "Bar3", 7), 3u);
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueEx(key, "Bar298", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 298u);
    EXPECT_EQ(ReadWhole(store_.FilePath()), before_);
    EXPECT_EQ(ProfileFileWritesForTest(), writesBefore);
    EXPECT_TRUE(batch.Commit());
  }
  EXPECT_EQ(ProfileFileWritesForTest(), writesBefore + 1);
  ExpectEveryValue(true);
  RegCloseKey(key);
}

TEST_F(ProfileBatch, AFailureHalfwayKeepsThePreviousValuesOnDiskAndInMemory)
{
  struct Case {
    const char* what;
    std::optional<int> failingValue;   // the value write that fails
    std::optional<std::size_t> failingFileBytes;  // or the file write, after so many bytes
  };
  const Case cases[] = {
      {"the 150th value write", 150, std::nullopt},
      {"the file write", std::nullopt, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HKEY key = OpenBars();
    const std::size_t writesBefore = ProfileFileWritesForTest();
    platform::SetProfileValueWriteFaultForTest(c.failingValue);
    platform::SetProfileWriteFaultForTest(c.failingFileBytes);
    ProfileWriteBatch batch(store_);
    int refused = 0;
    for (int i = 0; i < 300; ++i) {
      refused += WriteValue(key, i) ? 0 : 1;
    }
    if (c.failingValue) {
      // The failed write and every one after it are refused, and memory already answers what the disk holds.
      EXPECT_EQ(refused, 151);
      EXPECT_EQ(static_cast<int>(store_.GetProfileInt("CommandBars", "Bar3", 7)), -1);
    }
    EXPECT_FALSE(batch.Commit());
    platform::SetProfileWriteFaultForTest(std::nullopt);
    EXPECT_EQ(ReadWhole(store_.FilePath()), before_);
    EXPECT_EQ(ProfileFileWritesForTest(), writesBefore);
    EXPECT_EQ(static_cast<int>(store_.GetProfileInt("CommandBars", "Bar3", 7)), -1);
    ExpectEveryValue(false);
    RegCloseKey(key);
  }
}

TEST_F(ProfileBatch, NestedBatchesWriteOnceAtTheOutermostAndAnAbandonedInnerOneSpoilsTheSave)
{
  const std::size_t writesBefore = ProfileFileWritesForTest();
  {
    ProfileWriteBatch outer(store_);
    {
      ProfileWriteBatch inner(store_);
      ASSERT_TRUE(store_.WriteProfileInt("CommandBars", "Bar0", 0));
      EXPECT_TRUE(inner.Commit());
    }
    ASSERT_TRUE(store_.WriteProfileInt("CommandBars", "Bar1", 1));
    EXPECT_EQ(ProfileFileWritesForTest(), writesBefore);
    EXPECT_TRUE(outer.Commit());
  }
  EXPECT_EQ(ProfileFileWritesForTest(), writesBefore + 1);
  EXPECT_EQ(ProfileStore("Marvesta", "Tesmira Road").GetProfileInt("CommandBars", "Bar1", 7), 1u);

  const std::string saved = ReadWhole(store_.FilePath());
  {
    ProfileWriteBatch outer(store_);
    ASSERT_TRUE(store_.WriteProfileInt("CommandBars", "Bar2", 2));
    {
      ProfileWriteBatch inner(store_);
      ASSERT_TRUE(store_.WriteProfileInt("CommandBars", "Bar3", 3));
    }  // given up without Commit
    EXPECT_FALSE(store_.WriteProfileInt("CommandBars", "Bar4", 4));
    EXPECT_FALSE(outer.Commit());
  }
  EXPECT_EQ(ReadWhole(store_.FilePath()), saved);
  EXPECT_EQ(static_cast<int>(store_.GetProfileInt("CommandBars", "Bar2", 7)), -1);

  {
    ProfileWriteBatch abandoned(store_);
    ASSERT_TRUE(store_.WriteProfileInt("CommandBars", "Bar5", 5));
  }
  EXPECT_EQ(ReadWhole(store_.FilePath()), saved);
  EXPECT_TRUE(store_.WriteProfileInt("CommandBars", "Bar6", 6));  // no batch left behind
  EXPECT_EQ(ProfileStore("Marvesta", "Tesmira Road").GetProfileInt("CommandBars", "Bar6", 7), 6u);
}

TEST_F(ProfileBatch, AValueAnotherProcessWroteDuringTheBatchSurvivesItsCommit)
{
  ProfileWriteBatch batch(store_);
  ASSERT_TRUE(store_.WriteProfileInt("CommandBars", "Bar0", 0));
  ASSERT_TRUE(store_.DeleteValue("CommandBars", "Bar1"));
  // Another instance of the program saves its window position meanwhile: the file as it leaves it.
  std::string other = before_;
  const std::string sectionLine = "section \"CommandBars\"\n";
  other.replace(other.find(sectionLine), sectionLine.size(),
                "section \"CommandBars\"\nint \"Bar1\" 11\nint \"Bar2\" 22\n");
  other.erase(other.find("int \"Bar1\" -1\n"), std::string("int \"Bar1\" -1\n").size());
  other.erase(other.find("int \"Bar2\" -1\n"), std::string("int \"Bar2\" -1\n").size());
  std::ofstream(store_.FilePath() + ".other", std::ios::binary) << other;
  ASSERT_EQ(std::rename((store_.FilePath() + ".other").c_str(), store_.FilePath().c_str()), 0);
  ASSERT_TRUE(batch.Commit());

  ProfileStore fresh("Marvesta", "Tesmira Road");
  EXPECT_EQ(fresh.GetProfileInt("CommandBars", "Bar0", 7), 0u);
  EXPECT_EQ(fresh.GetProfileInt("CommandBars", "Bar1", 7), 7u);   // the batch's deletion still wins for its value
  EXPECT_EQ(fresh.GetProfileInt("CommandBars", "Bar2", 7), 22u);  // the other writer's value is kept
}

}  // namespace
