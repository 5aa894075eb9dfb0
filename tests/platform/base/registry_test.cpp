#include "platform/base/registry.h"

#include "platform/base/profile.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using platform::ProfileStore;
using testing_support::ScopedEnv;
using testing_support::TempFolder;

constexpr char kAppKey[] = "Software\\Marvesta\\Tesmira Road";

// The registry over a store of its own for each test.
class Registry : public ::testing::Test {
protected:
  HKEY Create(const std::string& below, REGSAM access = KEY_READ | KEY_WRITE, DWORD* disposition = nullptr)
  {
    HKEY key = nullptr;
    const std::string path = std::string(kAppKey) + (below.empty() ? "" : "\\" + below);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                             &key, disposition),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    return key;
  }
  // The store the program's profile functions use for the same application.
  ProfileStore& Profile() { return profile_; }

  TempFolder folder_;
  ScopedEnv env_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  ProfileStore profile_{"Marvesta", "Tesmira Road"};
};

std::vector<BYTE> Bytes(const void* data, std::size_t size)
{
  const auto* p = static_cast<const BYTE*>(data);
  return std::vector<BYTE>(p, p + size);
}

TEST_F(Registry, ValuesKeepTheirTypeAndAreTheProfileFunctionsValues)
{
  HKEY key = Create("Settings");
  const char text[] = "Освещённость дороги";
  const DWORD count = 0xFFFFFFFEu;
  const BYTE blob[] = {0x2C, 0x00, 0x00, 0x98, 0xFF};
  struct Case {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    std::vector<BYTE> readBack;  // what a query gives
  };
  const Case cases[] = {
      {"Title", REG_SZ, Bytes(text, sizeof text), Bytes(text, sizeof text)},
      // Text without its zero is stored whole and comes back with one.
      {"Unended", REG_SZ, Bytes("abc", 3), Bytes("abc", 4)},
      {"Count", REG_DWORD, Bytes(&count, 4), Bytes(&count, 4)},
      {"WindowPos", REG_BINARY, Bytes(blob, sizeof blob), Bytes(blob, sizeof blob)},
      {"Nothing", REG_BINARY, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(RegSetValueEx(key, c.name, 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
              static_cast<LSTATUS>(ERROR_SUCCESS));
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DWORD type = 0;
    BYTE buffer[64] = {};
    DWORD size = sizeof buffer;
    ASSERT_EQ(RegQueryValueEx(key, c.name, nullptr, &type, buffer, &size), static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), c.readBack);
  }
  // Names ignore case, and the profile functions see the same values.
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "COUNT", nullptr, nullptr, nullptr, &size), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(Profile().GetProfileInt("Settings", "Count", 0), 0xFFFFFFFEu);
  EXPECT_EQ(Profile().GetProfileString("Settings", "Title"), "Освещённость дороги");
  EXPECT_EQ(Profile().GetBinary("Settings", "WindowPos"), Bytes(blob, sizeof blob));
  // And what the profile functions write, the registry reads with its type.
  Profile().WriteProfileInt("Settings", "StartPage", 3);
  DWORD type = 0;
  DWORD page = 0;
  size = sizeof page;
  EXPECT_EQ(RegQueryValueEx(key, "StartPage", nullptr, &type, reinterpret_cast<BYTE*>(&page), &size),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(page, 3u);

  EXPECT_EQ(RegDeleteValue(key, "title"), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(Profile().GetProfileString("Settings", "Title", "gone"), "gone");
  RegCloseKey(key);
}

TEST_F(Registry, FailuresAreReportedWithTheirCodes)
{
  HKEY key = Create("Settings");
  const char text[] = "Tesmira";
  ASSERT_EQ(RegSetValueEx(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  const BYTE blob[] = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(RegSetValueEx(key, "Blob", 0, REG_BINARY, blob, sizeof blob), static_cast<LSTATUS>(ERROR_SUCCESS));
  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, (std::string(kAppKey) + "\\Settings").c_str(), 0, KEY_READ, &readOnly),
            static_cast<LSTATUS>(ERROR_SUCCESS));

  struct Case {
    const char* what;
    LSTATUS got;
    LSTATUS expected;
  };
  BYTE small[4] = {};
  DWORD textSize = sizeof small;
  DWORD blobSize = sizeof small;
  HKEY missing = reinterpret_cast<HKEY>(1);
  HKEY denied = reinterpret_cast<HKEY>(1);
  const DWORD three = 3;
  const Case cases[] = {
      {"open a key nobody made",
       RegOpenKeyEx(HKEY_CURRENT_USER, (std::string(kAppKey) + "\\NoSuchSection").c_str(), 0, KEY_READ, &missing),
       ERROR_FILE_NOT_FOUND},
      {"query a value nobody wrote", RegQueryValueEx(key, "Absent", nullptr, nullptr, nullptr, nullptr),
       ERROR_FILE_NOT_FOUND},
      {"delete a value nobody wrote", RegDeleteValue(key, "Absent"), ERROR_FILE_NOT_FOUND},
      {"text into a small buffer", RegQueryValueEx(key, "Name", nullptr, nullptr, small, &textSize), ERROR_MORE_DATA},
      {"bytes into a small buffer", RegQueryValueEx(key, "Blob", nullptr, nullptr, small, &blobSize),
       ERROR_MORE_DATA},
      {"write through a key opened for reading",
       RegSetValueEx(readOnly, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
       ERROR_ACCESS_DENIED},
      {"a DWORD of three bytes", RegSetValueEx(key, "Short", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&three), 3),
       ERROR_INVALID_PARAMETER},
      {"a type the store cannot keep",
       RegSetValueEx(key, "List", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
       ERROR_INVALID_PARAMETER},
      {"make a key outside the user's software",
       RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Marvesta", 0, nullptr, 0, KEY_WRITE, nullptr, &denied, nullptr),
       ERROR_ACCESS_DENIED},
      {"delete a key that has keys below it", RegDeleteKey(HKEY_CURRENT_USER, kAppKey), ERROR_ACCESS_DENIED},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.got, c.expected) << c.what;
  }
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(denied, nullptr);
  // The size needed comes back with ERROR_MORE_DATA, and the buffer is left alone.
  EXPECT_EQ(textSize, sizeof text);
  EXPECT_EQ(blobSize, sizeof blob);
  EXPECT_EQ(small[0], 0);
  EXPECT_EQ(Profile().GetProfileString("Settings", "Name"), "Tesmira");

  EXPECT_EQ(RegCloseKey(readOnly), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(RegCloseKey(readOnly), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegQueryValueEx(readOnly, "Name", nullptr, nullptr, nullptr, nullptr),
            static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
  RegCloseKey(key);
}

TEST_F(Registry, KeysNestAsSectionsAndAreListedAndDeleted)
{
  DWORD disposition = 0;
  HKEY bars = Create("CommandBars", KEY_ALL_ACCESS, &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  HKEY again = Create("commandbars", KEY_ALL_ACCESS, &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(again);
  // A key below made through the registry, another through the profile functions' nested section.
  HKEY bar2 = nullptr;
  ASSERT_EQ(RegCreateKeyEx(bars, "Bar2", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &bar2, nullptr),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueEx(bar2, "Visible", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  Profile().WriteProfileInt("CommandBars\\Bar1\\Controls", "Count", 4);
  Profile().WriteProfileString("CommandBars\\Bar1", "Title", "Стандартная");
  Profile().WriteProfileString("CommandBars\\Bar1", "Dock", "top");

  auto keysOf = [](HKEY key) {
    std::vector<std::string> names;
    char name[16];
    for (DWORD i = 0;; ++i) {
      DWORD size = sizeof name;
      LSTATUS status = RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
      if (status == static_cast<LSTATUS>(ERROR_NO_MORE_ITEMS)) {
        break;
      }
      EXPECT_EQ(status, static_cast<LSTATUS>(ERROR_SUCCESS));
      EXPECT_EQ(size, std::strlen(name));
      names.push_back(name);
    }
    return names;
  };
  EXPECT_EQ(keysOf(bars), (std::vector<std::string>{"Bar1", "Bar2"}));

  HKEY bar1 = nullptr;
  ASSERT_EQ(RegOpenKeyEx(bars, "Bar1", 0, KEY_READ, &bar1), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(keysOf(bar1), std::vector<std::string>{"Controls"});
  std::vector<std::string> values;
  for (DWORD i = 0;; ++i) {
    char name[16];
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    BYTE data[32];
    DWORD dataSize = sizeof data;
    if (RegEnumValue(bar1, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) {
      break;
    }
    values.push_back(std::string(name) + "=" + reinterpret_cast<char*>(data));
    EXPECT_EQ(type, REG_SZ);
  }
  EXPECT_EQ(values, (std::vector<std::string>{"Dock=top", "Title=Стандартная"}));
  // A name longer than the buffer: ERROR_MORE_DATA.
  char tiny[3];
  DWORD tinySize = sizeof tiny;
  EXPECT_EQ(RegEnumKeyEx(bars, 0, tiny, &tinySize, nullptr, nullptr, nullptr, nullptr),
            static_cast<LSTATUS>(ERROR_MORE_DATA));

  EXPECT_EQ(RegDeleteKey(bars, "Bar1"), static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteKey(bars, "Bar1\\Controls"), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(RegDeleteKey(bars, "Bar1"), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(Profile().GetProfileString("CommandBars\\Bar1", "Title", "gone"), "gone");
  EXPECT_EQ(keysOf(bars), std::vector<std::string>{"Bar2"});
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyEx(bars, "Bar1", 0, KEY_READ, &gone), static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  RegCloseKey(bar1);
  RegCloseKey(bar2);
  RegCloseKey(bars);
}

}  // namespace
