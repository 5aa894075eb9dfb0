#include "platform/shell/mailslot.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>

namespace {

constexpr char kName[] = "\\\\.\\mailslot\\qorr_mailslot_tester";

class MailslotTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    // Socket paths are short (108 bytes), so the folder is too.
    char folder[] = "/tmp/slot-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    runtime_ = folder;
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
  }
  void TearDown() override
  {
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(runtime_);
  }
  std::filesystem::path runtime_;
};

DWORD ReadOne(HANDLE slot, DWORD* value)
{
  DWORD got = 0;
  if (!ReadFile(slot, value, sizeof *value, &got, nullptr)) {
    return GetLastError();
  }
  return got == sizeof *value ? ERROR_SUCCESS : ERROR_READ_FAULT;
}

TEST_F(MailslotTest, MessagesArriveOneAtATimeInOrderInAPrivateFolder)
{
  HANDLE slot = CreateMailslotA(kName, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE);
  for (DWORD value : {0x0111u, 57664u, 0u}) {
    ASSERT_EQ(platform::WriteMailslot(kName, &value, sizeof value), ERROR_SUCCESS);
  }
  for (DWORD expected : {0x0111u, 57664u, 0u}) {
    DWORD value = 0xFFFFFFFF;
    EXPECT_EQ(ReadOne(slot, &value), ERROR_SUCCESS);
    EXPECT_EQ(value, expected);
  }
  struct stat folder {};
  ASSERT_EQ(stat((runtime_ / "tesmira-mailslots").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  EXPECT_TRUE(std::filesystem::exists(runtime_ / "tesmira-mailslots" / "qorr_mailslot_tester"));
  EXPECT_TRUE(CloseHandle(slot));
  EXPECT_FALSE(std::filesystem::exists(runtime_ / "tesmira-mailslots" / "qorr_mailslot_tester"));
}

TEST_F(MailslotTest, ALiveOwnerKeepsTheNameAndADeadOnesSocketIsTakenOver)
{
  HANDLE first = CreateMailslotA(kName, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateMailslotA(kName, 0, MAILSLOT_WAIT_FOREVER, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(first);

  // A socket file whose process ended without removing it.
  std::string path = platform::MailslotSocketPath(kName);
  int stale = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.data(), path.size());
  ASSERT_EQ(bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(stale);
  ASSERT_TRUE(std::filesystem::exists(path));

  HANDLE taken = CreateMailslotA(kName, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  ASSERT_NE(taken, INVALID_HANDLE_VALUE);
  DWORD value = 7;
  EXPECT_EQ(platform::WriteMailslot(kName, &value, sizeof value), ERROR_SUCCESS);
  value = 0;
  EXPECT_EQ(ReadOne(taken, &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 7u);
  CloseHandle(taken);
}

TEST_F(MailslotTest, FailuresOfNamesWritersAndReads)
{
  EXPECT_EQ(CreateMailslotA("\\\\.\\pipe\\x", 0, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
  EXPECT_EQ(CreateMailslotA("\\\\.\\mailslot\\..", 0, 0, nullptr), INVALID_HANDLE_VALUE);
  DWORD value = 1;
  EXPECT_EQ(platform::WriteMailslot(kName, &value, sizeof value), ERROR_FILE_NOT_FOUND);
  // A path separator in the name stays inside the private folder.
  EXPECT_EQ(platform::MailslotSocketPath("\\\\.\\mailslot\\a/../b").find("/../"), std::string::npos);

  HANDLE slot = CreateMailslotA(kName, 0, 30, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadOne(slot, &value), ERROR_SEM_TIMEOUT);
  char longer[12] = {};
  ASSERT_EQ(platform::WriteMailslot(kName, longer, sizeof longer), ERROR_SUCCESS);
  EXPECT_EQ(ReadOne(slot, &value), ERROR_INSUFFICIENT_BUFFER);
  // The refused message was consumed: the next one comes through.
  value = 9;
  ASSERT_EQ(platform::WriteMailslot(kName, &value, sizeof value), ERROR_SUCCESS);
  value = 0;
  EXPECT_EQ(ReadOne(slot, &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 9u);
  CloseHandle(slot);
  EXPECT_EQ(ReadOne(slot, &value), ERROR_INVALID_HANDLE);
}

TEST_F(MailslotTest, ClosingTheHandleEndsAWaitingRead)
{
  HANDLE slot = CreateMailslotA(kName, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE);
  auto reader = std::async(std::launch::async, [slot] {
    DWORD value = 0;
    return ReadOne(slot, &value);
  });
  EXPECT_EQ(reader.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
  CloseHandle(slot);
  ASSERT_EQ(reader.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(reader.get(), ERROR_INVALID_HANDLE);
}

}  // namespace
