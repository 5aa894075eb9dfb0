// The engine's entry point against the program's own window system: a main window on this thread, the engine on
// a worker (threaded run) or on this thread (direct run).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include <unistd.h>

#include "input_fixture.h"
#include "outside/engines/engine_codes.h"
#include "outside/engines/window_host.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

namespace Engines {
namespace {

namespace fs = std::filesystem;

struct Seen {
  std::vector<WPARAM> progress;
  int stateQuestions = 0;
  std::vector<WPARAM> finished;
};
Seen* g_seen = nullptr;
int g_state = 1;

LRESULT MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == kMsgEngineProgress) {
    g_seen->progress.push_back(wParam);
    return 0;
  }
  if (msg == kMsgCalculationState) {
    ++g_seen->stateQuestions;
    *reinterpret_cast<int*>(lParam) = g_state;
    return 0;
  }
  if (msg == kMsgCalculationFinished) {
    g_seen->finished.push_back(wParam);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class EngineWindow : public ::testing::Test {
protected:
  void SetUp() override
  {
    g_seen = &seen_;
    g_state = 1;
    SetEngineWindowMessenger(nullptr);
    WNDCLASS wc;
    wc.lpfnWndProc = MainWindowProc;
    wc.lpszClassName = "TesmiraEngineTestFrame";
    RegisterClass(&wc);
    window_ = CreateWindowEx(0, "TesmiraEngineTestFrame", "frame", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(window_, nullptr);
    dir_ = fs::temp_directory_path() / ("tesmira-engine-window-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::string text = testing::HandWrittenInput();
    text.replace(text.find(testing::kRtabPlaceholder), std::strlen(testing::kRtabPlaceholder),
                 std::string(TESMIRA_ENGINE_BIN_DIR) + "/rtab_1.rtb");
    input_ = (dir_ / "qout.tmp").string();
    result_ = (dir_ / "qor.tmp").string();
    std::ofstream(input_, std::ios::binary) << text;
    std::ofstream(result_).close();
    in_.assign(input_.begin(), input_.end());
    out_.assign(result_.begin(), result_.end());
    in_.resize(260, '\0');
    out_.resize(260, '\0');
  }
  void TearDown() override
  {
    DestroyWindow(window_);
    UnregisterClass("TesmiraEngineTestFrame", nullptr);
    fs::remove_all(dir_);
    g_seen = nullptr;
  }

  // Pumps this thread's messages until the end message arrives or the worker is done and nothing is left.
  void PumpUntilFinished(const std::atomic<bool>& workerDone)
  {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    MSG msg;
    while (std::chrono::steady_clock::now() < deadline) {
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
      if (!seen_.finished.empty() || workerDone)
        break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessage(&msg);
  }

  Seen seen_;
  HWND window_ = nullptr;
  fs::path dir_;
  std::string input_, result_;
  std::vector<char> in_, out_;
};

TEST_F(EngineWindow, ThreadedRunTalksToTheMainWindowAcrossThreads)
{
  std::atomic<bool> done{false};
  std::thread worker([&] {
    INTERFACE1(window_, in_.data(), static_cast<int>(input_.size()), out_.data(), static_cast<int>(result_.size()));
    done = true;
  });
  PumpUntilFinished(done);
  worker.join();
  EXPECT_EQ(seen_.finished, std::vector<WPARAM>{kEngineOk});
  ASSERT_FALSE(seen_.progress.empty());
  EXPECT_EQ(seen_.progress.front(), 0u);
  EXPECT_EQ(seen_.progress.back(), 100u);
  EXPECT_GE(seen_.stateQuestions, 10);
  EXPECT_GT(fs::file_size(result_), 0u);
}

TEST_F(EngineWindow, DirectRunPostsNoEndMessage)
{
  EXPECT_EQ(INTERFACE1(window_, in_.data(), 260, out_.data(), 260), kEngineOk);
  std::atomic<bool> done{true};
  PumpUntilFinished(done);
  EXPECT_TRUE(seen_.finished.empty());
  EXPECT_EQ(seen_.progress.back(), 100u);
  EXPECT_GT(fs::file_size(result_), 0u);
}

TEST_F(EngineWindow, CancelRequestedByTheWindowEndsTheRun)
{
  g_state = kStateStopping;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    INTERFACE1(window_, in_.data(), 260, out_.data(), 260);
    done = true;
  });
  PumpUntilFinished(done);
  worker.join();
  EXPECT_EQ(seen_.finished, std::vector<WPARAM>{kCancelled});
  EXPECT_EQ(fs::file_size(result_), 0u);
}

}  // namespace
}  // namespace Engines
