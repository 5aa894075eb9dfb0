#include "platform/base/profile.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using platform::ProfileStore;
using testing_support::ScopedEnv;
using testing_support::TempFolder;

std::string ReadWhole(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteWhole(const std::string& path, const std::string& bytes)
{
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(Profile, MissingValuesGiveTheDefaults)
{
  TempFolder folder;
  auto store = ProfileStore::InFolder(folder.Path());
  EXPECT_EQ(store->GetProfileInt("Settings", "StartPage", 5), 5u);
  EXPECT_EQ(static_cast<int>(store->GetProfileInt("Settings", "StartPage", -1)), -1);
  EXPECT_EQ(store->GetProfileString("Settings", "InstallDir", "none"), "none");
  EXPECT_EQ(store->GetProfileString("Settings", "InstallDir"), "");
  BYTE* data = reinterpret_cast<BYTE*>(1);
  UINT bytes = 9;
  EXPECT_FALSE(store->GetProfileBinary("Settings", "WindowPos", &data, &bytes));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(bytes, 0u);
  EXPECT_FALSE(std::filesystem::exists(store->FilePath()));  // reading writes nothing
}

TEST(Profile, ValuesSurviveARestart)
{
  TempFolder folder;
  const BYTE placement[] = {0x2C, 0x00, 0x00, 0x00, 0xFF, 0x98, 0x0A};
  {
    auto store = ProfileStore::InFolder(folder.Path());
    EXPECT_TRUE(store->WriteProfileInt("Settings", "StartPage", 1));
    EXPECT_TRUE(store->WriteProfileInt("Settings", "Transparence", -20));
    EXPECT_TRUE(store->WriteProfileString("Settings", "InstallDir", "/opt/Тесмира"));
    EXPECT_TRUE(store->WriteProfileBinary("Settings", "WindowPos", placement, sizeof placement));
    EXPECT_TRUE(store->WriteProfileBinary("Settings", "Empty", nullptr, 0));
    EXPECT_TRUE(store->WriteProfileInt("Colors", "element_r[3]", 255));
  }
  auto store = ProfileStore::InFolder(folder.Path());
  EXPECT_EQ(store->GetProfileInt("Settings", "StartPage", 0), 1u);
  EXPECT_EQ(static_cast<int>(store->GetProfileInt("Settings", "Transparence", 0)), -20);
  EXPECT_EQ(store->GetProfileString("Settings", "InstallDir"), "/opt/Тесмира");
  auto bytes = store->GetBinary("Settings", "WindowPos");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, std::vector<BYTE>(std::begin(placement), std::end(placement)));
  EXPECT_EQ(store->GetBinary("Settings", "Empty"), std::vector<BYTE>{});
  EXPECT_EQ(store->GetProfileInt("Colors", "element_r[3]", 0), 255u);

  BYTE* data = nullptr;
  UINT size = 0;
  ASSERT_TRUE(store->GetProfileBinary("Settings", "WindowPos", &data, &size));
  EXPECT_EQ(size, sizeof placement);
  EXPECT_EQ(std::memcmp(data, placement, size), 0);
  delete[] data;
}

TEST(Profile, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
  TempFolder folder;
  auto store = ProfileStore::InFolder(folder.Path());
  store->WriteProfileInt("Settings", "StartPage", 1);
  store->WriteProfileInt("SETTINGS", "startpage", 2);
  store->WriteProfileString("Настройки", "Имя", "x");
  EXPECT_EQ(store->GetProfileInt("settings", "STARTPAGE", 0), 2u);
  EXPECT_EQ(store->GetProfileString("НАСТРОЙКИ", "ИМЯ"), "x");
  EXPECT_EQ(store->SectionNames(), (std::vector<std::string>{"Settings", "Настройки"}));
  EXPECT_EQ(store->EntryNames("settings"), std::vector<std::string>{"StartPage"});
}

TEST(Profile, ATypeMismatchReadsAsMissing)
{
  TempFolder folder;
  auto store = ProfileStore::InFolder(folder.Path());
  store->WriteProfileString("S", "text", "12");
  store->WriteProfileInt("S", "number", 12);
  EXPECT_EQ(store->GetProfileInt("S", "text", 7), 7u);
  EXPECT_EQ(store->GetProfileString("S", "number", "d"), "d");
  EXPECT_FALSE(store->GetBinary("S", "number"));
  // A write of another kind replaces the value.
  store->WriteProfileInt("S", "text", 3);
  EXPECT_EQ(store->GetProfileInt("S", "text", 7), 3u);
}

TEST(Profile, DeleteAValueAndAWholeSectionWithItsNestedSections)
{
  TempFolder folder;
  auto store = ProfileStore::InFolder(folder.Path());
  store->WriteProfileInt("Settings", "A", 1);
  store->WriteProfileInt("Settings", "B", 2);
  store->WriteProfileInt("CommandBars", "Count", 2);
  store->WriteProfileInt("CommandBars\\Bar0", "Visible", 1);
  store->WriteProfileInt("CommandBarsOther", "Kept", 1);

  EXPECT_TRUE(store->WriteProfileString("Settings", "A", nullptr));  // MFC's delete of a value
  EXPECT_EQ(store->GetProfileInt("Settings", "A", -1), static_cast<UINT>(-1));
  EXPECT_EQ(store->GetProfileInt("Settings", "B", -1), 2u);
  EXPECT_FALSE(store->DeleteValue("Settings", "A"));  // nothing left to delete

  EXPECT_TRUE(store->WriteProfileString("commandbars", nullptr, nullptr));  // MFC's delete of a section
  EXPECT_EQ(store->GetProfileInt("CommandBars", "Count", -1), static_cast<UINT>(-1));
  EXPECT_EQ(store->GetProfileInt("CommandBars\\Bar0", "Visible", -1), static_cast<UINT>(-1));
  EXPECT_EQ(store->GetProfileInt("CommandBarsOther", "Kept", -1), 1u);
  EXPECT_FALSE(store->DeleteSection("CommandBars"));

  auto again = ProfileStore::InFolder(folder.Path());
  EXPECT_EQ(again->SectionNames(), (std::vector<std::string>{"CommandBarsOther", "Settings"}));
}

TEST(Profile, StringsKeepEveryByte)
{
  TempFolder folder;
  std::string everyByte;
  for (int b = 1; b < 256; ++b) {
    everyByte.push_back(static_cast<char>(b));
  }
  std::string withQuotes = "a \"quoted\" \\ back\\slash\nnew line\r\t#not a comment";
  {
    auto store = ProfileStore::InFolder(folder.Path());
    ASSERT_TRUE(store->WriteProfileString("Bytes", "all", everyByte.c_str()));
    ASSERT_TRUE(store->WriteProfileString("Bytes", withQuotes.c_str(), withQuotes.c_str()));
    ASSERT_TRUE(store->WriteProfileString("Bytes", "empty", ""));
  }
  auto store = ProfileStore::InFolder(folder.Path());
  EXPECT_EQ(store->GetProfileString("Bytes", "all"), everyByte);
  EXPECT_EQ(store->GetProfileString("Bytes", withQuotes.c_str()), withQuotes);
  EXPECT_EQ(store->GetProfileString("Bytes", "empty", "default"), "");
  // The file is readable text: one value a line, Russian as UTF-8.
  std::string text = ReadWhole(store->FilePath());
  EXPECT_NE(text.find("tesmira-profile 1\n"), std::string::npos);
  EXPECT_NE(text.find("\\\"quoted\\\""), std::string::npos);
  EXPECT_NE(text.find(reinterpret_cast<const char*>(u8"АБВ")), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 4), "end\n");
}

TEST(Profile, TheFileIsTheDocumentedTextForm)
{
  TempFolder folder;
  WriteWhole(folder / "profile",
             "# written by hand\n"
             "tesmira-profile 1\n"
             "\n"
             "section \"Settings\"\n"
             "int \"StartPage\" -3\n"
             "string \"Name\" \"x\\x98y\\\\z\"\n"
             "binary \"Raw\" \"00ff10\"\n"
             "section \"Empty\"\n"
             "end\n");
  auto store = ProfileStore::InFolder(folder.Path());
  EXPECT_EQ(static_cast<int>(store->GetProfileInt("Settings", "StartPage", 0)), -3);
  EXPECT_EQ(store->GetProfileString("Settings", "Name"), "x\x98y\\z");
  EXPECT_EQ(store->GetBinary("Settings", "Raw"), (std::vector<BYTE>{0x00, 0xFF, 0x10}));
  EXPECT_EQ(store->SectionNames(), (std::vector<std::string>{"Empty", "Settings"}));
}

// Each is damaged in its own way.
const char* const kDamagedFiles[] = {
    "",
    "not a profile at all\n",
    "tesmira-profile 1\nsection \"Settings\"\nint \"StartPage\" 1\n",  // cut short: no end line
    "tesmira-profile 1\nint \"StartPage\" 1\nend\n",                  // a value before any section
    "tesmira-profile 1\nsection \"S\"\nint \"A\" 99999999999\nend\n",   // beyond 32 bits
    "tesmira-profile 1\nsection \"S\"\nstring \"A\" \"open\nend\n",    // unterminated string
    "tesmira-profile 1\nsection \"S\"\nbinary \"A\" \"abc\"\nend\n",   // odd hex digits
    "tesmira-profile 1\nsection \"S\"\nfloat \"A\" 1.5\nend\n",        // unknown kind
    "tesmira-profile 1\nsection \"S\"\nend\nint \"A\" 1\n",            // after the end
};

TEST(Profile, ADamagedFileGivesDefaultsIsReportedAndIsKeptAside)
{
  for (const char* damaged : kDamagedFiles) {
    SCOPED_TRACE(damaged);
    TempFolder folder;
    WriteWhole(folder / "profile", damaged);
    auto store = ProfileStore::InFolder(folder.Path());
    testing::internal::CaptureStderr();
    EXPECT_EQ(store->GetProfileInt("Settings", "StartPage", 42), 42u);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("damaged"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    // The damaged bytes are kept, untouched, beside the new file.
    EXPECT_EQ(ReadWhole(folder / "profile.damaged-1"), damaged);
    EXPECT_FALSE(std::filesystem::exists(folder / "profile"));
    // Writing starts a fresh file and leaves the damaged one alone.
    EXPECT_TRUE(store->WriteProfileInt("Settings", "StartPage", 1));
    EXPECT_EQ(ProfileStore::InFolder(folder.Path())->GetProfileInt("Settings", "StartPage", 0), 1u);
    EXPECT_EQ(ReadWhole(folder / "profile.damaged-1"), damaged);
  }
}

// A profile larger than the program ever writes is not read at all (a 20 MB one held the start for most of a
// minute): well-formed or not, it is set aside as a damaged one is, and the one just within the bound is read.
TEST(Profile, AFileBeyondTheBoundIsSetAsideUnread)
{
  std::string body = "tesmira-profile 1\nsection \"Settings\"\nint \"StartPage\" 7\nsection \"Filler\"\n";
  const std::string end = "end\n";
  const std::size_t bound = 1024 * 1024;
  for (int n = 0; body.size() + end.size() + 40 < bound; ++n)
    body += "string \"E" + std::to_string(n) + "\" \"0123456789abcdef\"\n";
  const std::string padEntry = "string \"Pad\" \"\"\n";
  const std::size_t pad = bound - body.size() - end.size() - padEntry.size();
  struct Case {
    std::size_t extra;
    unsigned expected;
    bool setAside;
  };
  for (const Case c : {Case{0, 7, false}, Case{1, 42, true}}) {
    SCOPED_TRACE(c.extra);
    TempFolder folder;
    const std::string whole = body + "string \"Pad\" \"" + std::string(pad + c.extra, 'x') + "\"\n" + end;
    ASSERT_EQ(whole.size(), bound + c.extra);
    WriteWhole(folder / "profile", whole);
    auto store = ProfileStore::InFolder(folder.Path());
    testing::internal::CaptureStderr();
    EXPECT_EQ(store->GetProfileInt("Settings", "StartPage", 42), c.expected);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::filesystem::exists(folder / "profile.damaged-1"), c.setAside);
    if (c.setAside) {
      EXPECT_NE(log.find("larger than 1048576 bytes"), std::string::npos) << log;
      EXPECT_EQ(ReadWhole(folder / "profile.damaged-1"), whole);
    }
  }
}

TEST(Profile, ASecondDamagedFileDoesNotReplaceTheFirst)
{
  TempFolder folder;
  WriteWhole(folder / "profile", "first damage");
  testing::internal::CaptureStderr();
  ProfileStore::InFolder(folder.Path())->GetProfileInt("S", "A", 0);
  WriteWhole(folder / "profile", "second damage");
  // A write, too, finds the damage first and sets it aside before it writes.
  EXPECT_TRUE(ProfileStore::InFolder(folder.Path())->WriteProfileInt("S", "A", 1));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadWhole(folder / "profile.damaged-1"), "first damage");
  EXPECT_EQ(ReadWhole(folder / "profile.damaged-2"), "second damage");
  EXPECT_EQ(ProfileStore::InFolder(folder.Path())->GetProfileInt("S", "A", 0), 1u);
}

TEST(Profile, AFailedWriteLeavesThePreviousFileIntact)
{
  TempFolder folder;
  auto store = ProfileStore::InFolder(folder.Path());
  ASSERT_TRUE(store->WriteProfileInt("Settings", "StartPage", 1));
  ASSERT_TRUE(store->WriteProfileString("Settings", "InstallDir", "/opt/tesmira"));
  std::string before = ReadWhole(store->FilePath());

  // The disk fills up half-way through the temporary file. The user is told once, the log has every failure.
  std::vector<int> told;
  platform::SetProfileWriteFailureNotice([&told](int error) { told.push_back(error); });
  platform::SetProfileWriteFaultForTest(before.size() / 2);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(store->WriteProfileInt("Settings", "StartPage", 2));
  EXPECT_FALSE(store->WriteProfileString("Settings", nullptr, nullptr));
  std::string log = testing::internal::GetCapturedStderr();
  platform::SetProfileWriteFaultForTest(std::nullopt);
  platform::SetProfileWriteFailureNotice(nullptr);
  EXPECT_NE(log.find("not written"), std::string::npos) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  EXPECT_EQ(told, std::vector<int>{ENOSPC});

  EXPECT_EQ(ReadWhole(store->FilePath()), before);
  EXPECT_FALSE(std::filesystem::exists(folder / "profile.tmp"));
  EXPECT_EQ(store->GetProfileInt("Settings", "StartPage", 0), 1u);  // the write did not happen
  EXPECT_EQ(ProfileStore::InFolder(folder.Path())->GetProfileInt("Settings", "StartPage", 0), 1u);
  // And writes work again afterwards.
  EXPECT_TRUE(store->WriteProfileInt("Settings", "StartPage", 3));
  EXPECT_EQ(ProfileStore::InFolder(folder.Path())->GetProfileInt("Settings", "StartPage", 0), 3u);
}

TEST(Profile, AWriteThatCannotMakeItsTemporaryFileLeavesThePreviousFileIntact)
{
  // A real failure from the file system (root ignores permissions, so a folder stands where the temporary
  // file must go).
  TempFolder folder;
  auto store = ProfileStore::InFolder(folder.Path());
  ASSERT_TRUE(store->WriteProfileInt("Settings", "StartPage", 1));
  std::string before = ReadWhole(store->FilePath());
  std::filesystem::create_directory(folder / "profile.tmp");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(store->WriteProfileInt("Settings", "StartPage", 2));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadWhole(store->FilePath()), before);
  EXPECT_EQ(ProfileStore::InFolder(folder.Path())->GetProfileInt("Settings", "StartPage", 0), 1u);
}

TEST(Profile, TwoStoresOnOneFileKeepEachOthersValues)
{
  TempFolder folder;
  auto first = ProfileStore::InFolder(folder.Path());
  auto second = ProfileStore::InFolder(folder.Path());
  // Both have read the (empty) file before either writes.
  EXPECT_EQ(first->GetProfileInt("Settings", "A", 0), 0u);
  EXPECT_EQ(second->GetProfileInt("Settings", "B", 0), 0u);
  EXPECT_TRUE(first->WriteProfileInt("Settings", "A", 1));
  EXPECT_TRUE(second->WriteProfileInt("Settings", "B", 2));
  EXPECT_TRUE(first->WriteProfileString("Other", "C", "three"));
  // Each sees the other's writes, and a third store sees all of them.
  EXPECT_EQ(first->GetProfileInt("Settings", "B", 0), 2u);
  EXPECT_EQ(second->GetProfileString("Other", "C"), "three");
  auto third = ProfileStore::InFolder(folder.Path());
  EXPECT_EQ(third->GetProfileInt("Settings", "A", 0), 1u);
  EXPECT_EQ(third->GetProfileInt("Settings", "B", 0), 2u);
  // The last writer of one value wins.
  EXPECT_TRUE(second->WriteProfileInt("Settings", "A", 10));
  EXPECT_EQ(first->GetProfileInt("Settings", "A", 0), 10u);
}

TEST(Profile, ConcurrentWritersFromTwoProcessesLoseNoValue)
{
  TempFolder folder;
  constexpr int kValues = 40;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto store = ProfileStore::InFolder(folder.Path());
    bool ok = true;
    for (int i = 0; i < kValues; ++i) {
      ok = store->WriteProfileInt("Child", ("v" + std::to_string(i)).c_str(), i) && ok;
    }
    _exit(ok ? 0 : 1);
  }
  auto store = ProfileStore::InFolder(folder.Path());
  for (int i = 0; i < kValues; ++i) {
    EXPECT_TRUE(store->WriteProfileInt("Parent", ("v" + std::to_string(i)).c_str(), 100 + i));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  auto reader = ProfileStore::InFolder(folder.Path());
  for (int i = 0; i < kValues; ++i) {
    std::string name = "v" + std::to_string(i);
    EXPECT_EQ(reader->GetProfileInt("Child", name.c_str(), -1), static_cast<UINT>(i));
    EXPECT_EQ(reader->GetProfileInt("Parent", name.c_str(), -1), static_cast<UINT>(100 + i));
  }
}

TEST(Profile, ConcurrentWritersFromTwoThreadsLoseNoValue)
{
  TempFolder folder;
  constexpr int kValues = 40;
  auto writeMany = [&folder](const char* section) {
    auto store = ProfileStore::InFolder(folder.Path());
    for (int i = 0; i < kValues; ++i) {
      store->WriteProfileInt(section, ("v" + std::to_string(i)).c_str(), i);
    }
  };
  std::thread a(writeMany, "A");
  std::thread b(writeMany, "B");
  a.join();
  b.join();
  auto reader = ProfileStore::InFolder(folder.Path());
  EXPECT_EQ(reader->EntryNames("A").size(), static_cast<std::size_t>(kValues));
  EXPECT_EQ(reader->EntryNames("B").size(), static_cast<std::size_t>(kValues));
}

TEST(Profile, TheApplicationKeyLivesUnderTheXdgConfigFolder)
{
  TempFolder config;
  ScopedEnv xdg("XDG_CONFIG_HOME", config.Path());
  unsetenv("TESMIRA_PROFILE_DIR");
  ProfileStore store("Marvesta", "Tesmira Road");
  EXPECT_EQ(store.FilePath(), config.Path() + "/Marvesta/Tesmira Road/profile");
  EXPECT_TRUE(store.WriteProfileInt("Settings", "Analytics", 0));
  EXPECT_TRUE(std::filesystem::is_regular_file(store.FilePath()));

  TempFolder elsewhere;
  ScopedEnv dir("TESMIRA_PROFILE_DIR", elsewhere.Path());
  ProfileStore redirected("Marvesta", "Tesmira Road");
  EXPECT_EQ(redirected.FilePath(), elsewhere.Path() + "/profile");
}

}  // namespace
