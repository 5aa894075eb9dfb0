// The mailslot reader against records posted by another process through the command-line sender.
#include "shell_env.h"

#include "outside/mailslot/mailslot_sender.h"
#include "platform/com/combase.h"
#include "platform/shell/mailslot.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace {

using shelltest::PumpUntil;
using shelltest::StandInFrame;

int Post(const char* message, const char* wParam, const char* lParam)
{
  std::string command = std::string(QORR_POST) + " " + message + " " + wParam + " " + lParam;
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class MailslotReaderTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_NE(frame_.hwnd, nullptr);
    host_.main = frame_.hwnd;
    host_.WriteProfileInt("Settings", "SendInfo", 0);
    CoInitialize(nullptr);
    qormail::RegisterSenderClass();
  }
  void TearDown() override
  {
    platform::UnregisterComClass(CLSID_QorMailslotSender);
    CoUninitialize();
  }
  shell::FrameWorkers::Parts Parts()
  {
    shell::FrameWorkers::Parts parts;
    parts.host = &host_;
    parts.menuCommands = {57664, 32849};
    return parts;
  }
  static bool ReaderListening()
  {
    return std::filesystem::exists(platform::MailslotSocketPath(qormail::ProgramMailslotName()));
  }

  shelltest::RuntimeFolder runtime_;
  StandInFrame frame_;
  shelltest::MemoryHost host_;
};

TEST_F(MailslotReaderTest, AMenuCommandIsRelayedAPointerIsDroppedAndTheZeroRecordStops)
{
  shell::FrameWorkers workers(Parts());
  workers.StartOnFirstShow();
  ASSERT_TRUE(PumpUntil(ReaderListening));

  ASSERT_EQ(Post("0x0111", "57664", "0"), 0);
  ASSERT_TRUE(PumpUntil([] { return StandInFrame::aboutBoxesOpened == 1; }));

  // Records that could carry an address of this process, or run what no menu offers, never arrive.
  ASSERT_EQ(Post("0x81F4", "1", "0xdeadbeef"), 0);
  ASSERT_EQ(Post("0x0111", "57664", "0xdeadbeef"), 0);
  ASSERT_EQ(Post("0x0111", "33333", "0"), 0);
  ASSERT_EQ(Post("0x0111", "0x10000E140", "0 2>/dev/null"), 2);  // not a 32-bit number: the tool refuses it
  ASSERT_EQ(Post("0x0111", "0x1E140", "0"), 0);      // accelerator-style code 1 with the About command
  ASSERT_EQ(Post("0x0111", "32849", "0"), 0);
  ASSERT_TRUE(PumpUntil([] { return StandInFrame::received.size() >= 2; }));
  PumpUntil([] { return false; }, std::chrono::milliseconds(100));
  ASSERT_EQ(StandInFrame::received.size(), 2u);
  EXPECT_EQ(StandInFrame::received[1].message, WM_COMMAND);
  EXPECT_EQ(StandInFrame::received[1].wParam, 32849u);
  EXPECT_EQ(StandInFrame::received[1].lParam, 0);
  EXPECT_EQ(StandInFrame::aboutBoxesOpened, 1);

  ASSERT_EQ(Post("0", "0", "0"), 0);
  EXPECT_TRUE(PumpUntil([&] { return !workers.MailslotReaderRunning(); }));
  EXPECT_FALSE(ReaderListening());
  EXPECT_EQ(Post("0x0111", "57664", "0 2>/dev/null"), 1);  // nobody reads any more
}

TEST_F(MailslotReaderTest, ASecondInstanceHasNoReaderAndShutDownStopsTheFirst)
{
  auto first = std::make_unique<shell::FrameWorkers>(Parts());
  first->StartOnFirstShow();
  ASSERT_TRUE(PumpUntil(ReaderListening));

  shell::FrameWorkers second(Parts());
  second.StartOnFirstShow();
  EXPECT_TRUE(PumpUntil([&] { return !second.MailslotReaderRunning(); }));
  EXPECT_TRUE(first->MailslotReaderRunning());

  auto before = std::chrono::steady_clock::now();
  first.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_FALSE(ReaderListening());
}

TEST_F(MailslotReaderTest, WithoutTheSenderClassShutDownStillEndsTheReader)
{
  platform::UnregisterComClass(CLSID_QorMailslotSender);
  auto workers = std::make_unique<shell::FrameWorkers>(Parts());
  workers->StartOnFirstShow();
  ASSERT_TRUE(PumpUntil(ReaderListening));
  auto before = std::chrono::steady_clock::now();
  workers.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_FALSE(ReaderListening());
}

TEST(MailslotRecordAllowed, OnlyMenuCommandsWithoutAnAddress)
{
  const std::set<UINT> menu = {57664, 32922};
  struct Case {
    DWORD message, wParam, lParam;
    bool allowed;
  };
  const Case cases[] = {
      {WM_COMMAND, 57664, 0, true},       {WM_COMMAND, 32922, 0, true},
      {WM_COMMAND, 57664, 1, false},      {WM_COMMAND, 0x0001E140, 0, false},
      {WM_COMMAND, 40000, 0, false},      {0x81F4, 1, 0xdeadbeef, false},
      {0x8211, 16, 0x1000, false},        {0x820A, 0, 0x1000, false},
      {WM_CLOSE, 0, 0, false},            {0, 0, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shell::MailslotRecordAllowed(c.message, c.wParam, c.lParam, menu), c.allowed)
        << std::hex << c.message << " " << c.wParam << " " << c.lParam;
  }
}

TEST(CollectMenuCommands, TakesItemsOfNestedPopupsButNotSeparators)
{
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU recent = CreatePopupMenu();
  AppendMenu(recent, MF_STRING, 57616, "1");
  AppendMenu(file, MF_STRING, 57601, "&Открыть...");
  AppendMenu(file, MF_SEPARATOR, 0, nullptr);
  AppendMenu(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "Последние");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&Файл");
  AppendMenu(bar, MF_STRING, 57664, "?");
  EXPECT_EQ(shell::CollectMenuCommands(bar), (std::set<UINT>{57601, 57616, 57664}));
  DestroyMenu(bar);
}

}  // namespace
