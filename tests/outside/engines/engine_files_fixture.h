// What the engines' file-to-file tests share: a folder of exchange files per test, a host that records what it is
// told, a main window as the engine sees it, and the message protocol every entry point keeps with that window.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

#include "outside/engines/engine_codes.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/window_host.h"

namespace Engines::testing {

// Cancels once it has been asked more than cancelAfterQuestions times; never when that is negative.
struct RecordingHost : EngineHost {
  std::vector<int> progress;
  std::vector<int> finished;
  int cancelAfterQuestions = -1;
  int questions = 0;
  void Progress(int percent) override { progress.push_back(percent); }
  bool IsCancelled() override { return cancelAfterQuestions >= 0 && ++questions > cancelAfterQuestions; }
  void Finish(int code) override { finished.push_back(code); }
};

// A main window as the engine sees it: records what it is sent and posted, answers the state question.
class FakeMainWindow final : public WindowMessenger {
public:
  struct Message {
    UINT id;
    WPARAM wParam;
    bool posted;
    bool operator==(const Message&) const = default;
  };
  std::thread::id owner = std::this_thread::get_id();
  int state = 1;

  LRESULT Send(HWND, UINT id, WPARAM wParam, LPARAM lParam) override
  {
    std::lock_guard lock(mutex_);
    log_.push_back({id, wParam, false});
    if (id == kMsgCalculationState)
      *reinterpret_cast<int*>(lParam) = state;
    return 0;
  }
  BOOL Post(HWND, UINT id, WPARAM wParam, LPARAM) override
  {
    std::lock_guard lock(mutex_);
    log_.push_back({id, wParam, true});
    return TRUE;
  }
  bool IsWindowThread(HWND) override { return std::this_thread::get_id() == owner; }
  std::vector<Message> Log()
  {
    std::lock_guard lock(mutex_);
    return log_;
  }

private:
  std::mutex mutex_;
  std::vector<Message> log_;
};

// Little-endian items of a result file.
inline std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t offset)
{
  return std::uint32_t(b[offset]) | std::uint32_t(b[offset + 1]) << 8 | std::uint32_t(b[offset + 2]) << 16 |
         std::uint32_t(b[offset + 3]) << 24;
}
inline float F32At(const std::vector<std::uint8_t>& b, std::size_t offset)
{
  std::uint32_t v = U32At(b, offset);
  float f;
  std::memcpy(&f, &v, 4);
  return f;
}

// A path as the program hands it over: in a writable buffer of MAX_PATH characters.
inline std::vector<char> ProgramPathBuffer(const std::string& path)
{
  std::vector<char> buffer(path.begin(), path.end());
  buffer.resize(260, '\0');
  return buffer;
}

using EntryPoint = int (*)(HWND, char*, int, char*, int);
using EngineCall = int (*)(WindowMessenger*, HWND, const char*, int, const char*, int);

// Each test in its own folder, so that tests may run side by side; the program hands over an empty result file.
class ExchangeFiles : public ::testing::Test {
protected:
  ExchangeFiles(std::string folderPrefix, std::string inputName, std::string resultName)
      : folderPrefix_(std::move(folderPrefix)), inputName_(std::move(inputName)), resultName_(std::move(resultName))
  {
  }

  void SetUp() override
  {
    dir_ = std::filesystem::temp_directory_path() /
           (folderPrefix_ + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    input_ = (dir_ / inputName_).string();
    result_ = (dir_ / resultName_).string();
    std::ofstream(result_).close();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void WriteInput(const std::string& text) { std::ofstream(input_, std::ios::binary) << text; }
  std::vector<std::uint8_t> Result() const
  {
    std::ifstream f(result_, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
  }

  // With the input written: a run through the entry point on a worker thread (its result file handed to
  // `checkResult`), one asked to stop, and one on the window's own thread.
  void ExpectEntryPointKeepsTheMessageProtocol(HWND mainWindow, EntryPoint entry, EngineCall call,
                                               const std::function<void()>& checkResult)
  {
    FakeMainWindow window;
    SetEngineWindowMessenger(&window);
    std::vector<char> in = ProgramPathBuffer(input_), out = ProgramPathBuffer(result_);
    int code = -1;
    std::thread worker([&] {
      code = entry(mainWindow, in.data(), static_cast<int>(input_.size()), out.data(),
                   static_cast<int>(result_.size()));
    });
    worker.join();
    SetEngineWindowMessenger(nullptr);
    EXPECT_EQ(code, kEngineOk);
    auto log = window.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), (FakeMainWindow::Message{kMsgEngineProgress, 0, false}));
    EXPECT_EQ(log.back(), (FakeMainWindow::Message{kMsgCalculationFinished, kEngineOk, true}));
    int questions = 0;
    for (const auto& m : log)
      questions += m.id == kMsgCalculationState;
    EXPECT_GE(questions, 1);
    checkResult();

    // Asked to stop: the end message carries the cancel code and the result file stays empty.
    std::ofstream(result_, std::ios::trunc).close();
    FakeMainWindow stopping;
    stopping.state = kStateStopping;
    std::thread again([&] { code = call(&stopping, mainWindow, in.data(), 260, out.data(), 260); });
    again.join();
    EXPECT_EQ(code, kCancelled);
    EXPECT_EQ(stopping.Log().back(), (FakeMainWindow::Message{kMsgCalculationFinished, kCancelled, true}));
    EXPECT_TRUE(Result().empty());

    // A direct run (on the window's thread) leaves the end message to the program.
    FakeMainWindow direct;
    EXPECT_EQ(call(&direct, mainWindow, in.data(), 260, out.data(), 260), kEngineOk);
    for (const auto& m : direct.Log())
      EXPECT_NE(m.id, kMsgCalculationFinished);
  }

  std::filesystem::path dir_;
  std::string input_, result_;

private:
  std::string folderPrefix_, inputName_, resultName_;
};

}  // namespace Engines::testing
