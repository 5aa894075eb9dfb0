#include "platform/base/fileops.h"
#include "platform/base/folders.h"
#include "platform/base/paths.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;

bool IsDirectory(const std::string& path) { return std::filesystem::is_directory(path); }

TEST(Folders, ApplicationDataFollowsXdgDataHomeAndIsCreatedOnDemand)
{
  TempFolder root;
  ScopedEnv data("XDG_DATA_HOME", root.Path());
  EXPECT_EQ(platform::UserDataHome(), root.Path() + "/");
  std::string expected = root.Path() + "/Marvesta/Tesmira Road/";
  EXPECT_FALSE(IsDirectory(expected));
  EXPECT_EQ(platform::ApplicationDataFolder(), expected);
  EXPECT_TRUE(IsDirectory(expected));
  EXPECT_EQ(platform::ApplicationBinFolder(), expected + "Bin/");
  EXPECT_EQ(platform::ApplicationPluginsFolder(), expected + "Plugins/");
  EXPECT_TRUE(IsDirectory(expected + "Bin"));
  EXPECT_TRUE(IsDirectory(expected + "Plugins"));
}

TEST(Folders, WithoutXdgVariablesTheyLiveUnderHome)
{
  TempFolder home;
  ScopedEnv homeVar("HOME", home.Path());
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(platform::ApplicationDataFolder(), home.Path() + "/.local/share/Marvesta/Tesmira Road/");
  EXPECT_EQ(platform::ProfileFolder(), home.Path() + "/.config/Marvesta/Tesmira Road/");
  EXPECT_TRUE(IsDirectory(home.Path() + "/.config/Marvesta/Tesmira Road"));
}

TEST(Folders, TempPathIsTmpdirWithATrailingSlash)
{
  {
    ScopedEnv tmp("TMPDIR", "/var/tmp");
    char buffer[MAX_PATH];
    EXPECT_EQ(GetTempPath(MAX_PATH, buffer), 9u);
    EXPECT_STREQ(buffer, "/var/tmp/");
    // Too small: the size needed, terminator included.
    EXPECT_EQ(GetTempPath(9, buffer), 10u);
  }
  unsetenv("TMPDIR");
  EXPECT_EQ(platform::TempFolder(), "/tmp/");
}

TEST(Folders, CyrillicFolderNamesAreUtf8OnDisk)
{
  TempFolder root;
  std::string programPath = platform::FromFileSystemPath(root.Path()) + "/Проекты";  // cp1251 in the binary
  ASSERT_TRUE(CreateDirectory(programPath.c_str(), nullptr));
  EXPECT_TRUE(IsDirectory(root.Path() + "/" + reinterpret_cast<const char*>(u8"Проекты")));
}

TEST(Paths, JoinAndSplit)
{
  EXPECT_EQ(platform::JoinPath("a/b", "c.txt"), "a/b/c.txt");
  EXPECT_EQ(platform::JoinPath("a/b/", "/c.txt"), "a/b/c.txt");
  EXPECT_EQ(platform::JoinPath("a\\b\\", "c.txt"), "a\\b\\c.txt");
  EXPECT_EQ(platform::FileNameOf("a/b\\c.qorr5"), "c.qorr5");
  EXPECT_EQ(platform::FolderOf("a/b\\c.qorr5"), "a/b\\");
  EXPECT_EQ(platform::ExtensionOf("a/b.c/d.qorr5"), ".qorr5");
  EXPECT_EQ(platform::ExtensionOf("a/b.c/d"), "");
  EXPECT_EQ(platform::ToFileSystemPath("C\\Bin\\rtab_1.rtb"), "C/Bin/rtab_1.rtb");
}

TEST(TempFileName, WithUniqueZeroCreatesTheFileAndFollowsWindowsNaming)
{
  TempFolder folder;
  char name[MAX_PATH];
  UINT number = GetTempFileName(folder.Path().c_str(), "qoutput", 0, name);
  ASSERT_NE(number, 0u);
  EXPECT_LE(number, 0xFFFFu);
  char expected[MAX_PATH];
  std::snprintf(expected, sizeof expected, "%s/qou%04X.TMP", folder.Path().c_str(), number);
  EXPECT_STREQ(name, expected);
  EXPECT_TRUE(std::filesystem::is_regular_file(name));
  EXPECT_EQ(std::filesystem::file_size(name), 0u);
}

TEST(TempFileName, WithUniqueZeroNeverReusesATakenName)
{
  TempFolder folder;
  std::set<std::string> names;
  for (int i = 0; i < 50; ++i) {
    char name[MAX_PATH];
    ASSERT_NE(GetTempFileName((folder.Path() + "/").c_str(), "qor", 0, name), 0u);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 50u);
}

TEST(TempFileName, SkipsANameThatIsAlreadyTaken)
{
  TempFolder folder;
  // Take every name but one: the free one must be found.
  char probe[MAX_PATH];
  UINT first = GetTempFileName(folder.Path().c_str(), "q", 0, probe);
  ASSERT_NE(first, 0u);
  for (UINT n = first + 1; n < first + 20; ++n) {
    char taken[MAX_PATH];
    GetTempFileName(folder.Path().c_str(), "q", n, taken);
    std::ofstream(taken).put('x');
  }
  char name[MAX_PATH];
  UINT number = GetTempFileName(folder.Path().c_str(), "q", 0, name);
  EXPECT_TRUE(number == 0 || number >= first + 20 || number < first) << number;
  EXPECT_EQ(std::filesystem::file_size(name), 0u);
}

TEST(TempFileName, WithAUniqueNumberOnlyFormsTheName)
{
  TempFolder folder;
  char name[MAX_PATH];
  EXPECT_EQ(GetTempFileName(folder.Path().c_str(), "ab", 0x1a2b, name), 0x1a2bu);
  EXPECT_EQ(std::string(name), folder.Path() + "/ab1A2B.TMP");
  EXPECT_FALSE(std::filesystem::exists(name));
  // Only the low 16 bits count; an empty prefix is allowed.
  EXPECT_EQ(GetTempFileName(folder.Path().c_str(), "", 0x12345, name), 0x2345u);
  EXPECT_EQ(std::string(name), folder.Path() + "/2345.TMP");
  // Even in a folder that does not exist.
  EXPECT_EQ(GetTempFileName("/no/such/folder/", "qor", 7, name), 7u);
  EXPECT_STREQ(name, "/no/such/folder/qor0007.TMP");
}

TEST(TempFileName, FailsInAMissingFolderAndOnTooLongANameWhenItMustCreate)
{
  char name[MAX_PATH];
  EXPECT_EQ(GetTempFileName("/no/such/folder", "qor", 0, name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  std::string longFolder(MAX_PATH, 'x');
  EXPECT_EQ(GetTempFileName(longFolder.c_str(), "qor", 1, name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
}

TEST(FileOps, CreateMoveCopyDelete)
{
  TempFolder folder;
  std::string sub = folder / "sub";
  ASSERT_TRUE(CreateDirectory(sub.c_str(), nullptr));
  EXPECT_FALSE(CreateDirectory(sub.c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectory((folder / "missing/sub").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(GetFileAttributes(sub.c_str()), FILE_ATTRIBUTE_DIRECTORY);

  std::string a = folder / "a.txt";
  std::ofstream(a) << "hello";
  EXPECT_EQ(GetFileAttributes(a.c_str()), FILE_ATTRIBUTE_NORMAL);
  std::string b = sub + "\\b.txt";  // the program joins with backslashes
  ASSERT_TRUE(CopyFile(a.c_str(), b.c_str(), TRUE));
  EXPECT_EQ(std::filesystem::file_size(sub + "/b.txt"), 5u);
  EXPECT_FALSE(CopyFile(a.c_str(), b.c_str(), TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_TRUE(CopyFile(a.c_str(), b.c_str(), FALSE));

  EXPECT_FALSE(MoveFile(a.c_str(), b.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(MoveFileEx(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetFileAttributes(a.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  EXPECT_FALSE(RemoveDirectory(sub.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
  EXPECT_FALSE(DeleteFile(sub.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(DeleteFile(b.c_str()));
  EXPECT_FALSE(DeleteFile(b.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(RemoveDirectory(sub.c_str()));
}

TEST(FileOps, FindFilesByWildcard)
{
  TempFolder folder;
  for (const char* name : {"one.qord", "TWO.QORD", "three.txt", "four.qord.bak"}) {
    std::ofstream(folder / name) << "x";
  }
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile((folder.Path() + "\\*.qord").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::set<std::string> found;
  do {
    found.insert(data.cFileName);
    EXPECT_EQ(data.nFileSizeLow, 1u);
  } while (FindNextFile(find, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(find));
  EXPECT_EQ(found, (std::set<std::string>{"one.qord", "TWO.QORD"}));

  EXPECT_EQ(FindFirstFile((folder.Path() + "/*.xyz").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindFirstFile((folder.Path() + "/none/*.*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(FileOps, WildcardMatching)
{
  EXPECT_TRUE(platform::MatchesWildcard("*.qord", "a.QORD"));
  EXPECT_TRUE(platform::MatchesWildcard("*.*", "noextension"));
  EXPECT_TRUE(platform::MatchesWildcard("q??.TMP", "qor.tmp"));
  EXPECT_FALSE(platform::MatchesWildcard("q??.TMP", "qo.tmp"));
  EXPECT_TRUE(platform::MatchesWildcard("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(platform::MatchesWildcard("*a*b", "xxaxxbxx"));
}

TEST(FileOps, FileTimeConversion)
{
  FILETIME t = platform::FileTimeFromUnix(0);
  EXPECT_EQ((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime, 116444736000000000ull);
  EXPECT_EQ(platform::UnixFromFileTime(platform::FileTimeFromUnix(1700000000)), 1700000000);
}

}  // namespace

namespace {

TEST(FileAttributes, ReadOnlyIsSetAndTakenAwayThroughThePermissionBits)
{
  testing_support::TempFolder folder;
  const std::string file = folder / "bar_state.dat";
  std::ofstream(file) << "x";
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA(file.c_str()), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(std::ofstream(file, std::ios::app) << "y") << "writable again";
  SetLastError(0);
  EXPECT_FALSE(SetFileAttributesA((folder / "missing").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(UserName, TheSizeIsAskedFirstAndTheNameFitsIt)
{
  DWORD size = 0;
  SetLastError(0);
  EXPECT_FALSE(GetUserNameA(nullptr, &size));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  ASSERT_GT(size, 1u);
  std::vector<char> name(size);
  DWORD given = size;
  ASSERT_TRUE(GetUserNameA(name.data(), &given));
  EXPECT_EQ(given, size);
  EXPECT_EQ(std::strlen(name.data()) + 1, size);
}

}  // namespace
