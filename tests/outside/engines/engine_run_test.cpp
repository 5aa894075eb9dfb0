// The engine from file to file, and its conversation with the main window.
#include "outside/engines/straight_road_engine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "engine_files_fixture.h"
#include "input_fixture.h"
#include "outside/engines/engine_codes.h"
#include "outside/engines/file_io.h"
#include "outside/engines/window_host.h"

namespace Engines {
namespace {

namespace fs = std::filesystem;
const std::string kBin = TESMIRA_ENGINE_BIN_DIR;
using testing::FakeMainWindow;
using testing::RecordingHost;

class EngineFiles : public testing::ExchangeFiles {
protected:
  EngineFiles() : ExchangeFiles("tesmira-engine-", "qout1.tmp", "qor1.tmp") {}

  void WriteInput(std::string text)
  {
    auto at = text.find(testing::kRtabPlaceholder);
    if (at != std::string::npos)
      text.replace(at, std::strlen(testing::kRtabPlaceholder), kBin + "/rtab_1.rtb");
    ExchangeFiles::WriteInput(text);
  }
  std::uintmax_t ResultSize() const { return fs::file_size(result_); }
};

TEST_F(EngineFiles, CalculatesTheHandWrittenRoadAndLeavesASample)
{
  WriteInput(testing::HandWrittenInput());
  RecordingHost host;
  std::string message;
  EXPECT_EQ(RunStraightRoadEngine(input_, result_, host, &message), kEngineOk) << message;
  EXPECT_EQ(host.finished, std::vector<int>{kEngineOk});
  ASSERT_FALSE(host.progress.empty());
  EXPECT_EQ(host.progress.front(), 0);
  EXPECT_EQ(host.progress.back(), 100);
  EXPECT_TRUE(std::is_sorted(host.progress.begin(), host.progress.end()));
  EXPECT_EQ(ResultSize(), 717u * 4);
  fs::copy_file(input_, fs::path(TESMIRA_ARTIFACTS_DIR) / "engine-straight-road.in",
                fs::copy_options::overwrite_existing);
  fs::copy_file(result_, fs::path(TESMIRA_ARTIFACTS_DIR) / "engine-straight-road.out",
                fs::copy_options::overwrite_existing);
}

TEST_F(EngineFiles, AnswersWithTheRunCodesForInputsWithoutWork)
{
  // Carriageway off and the sidewalks out: nothing to calculate (walls alone do not count).
  WriteInput("0\n/x.rtb\n0\n0\n2\n3.5\n0\n1\n1\n6\n1\n0\n0.8\n1\n1\n1\n1\n0\n0\n30\n10\n1\n1\n15\n0\n0\n1\n30\n"
             "0\n1\n1\n0\n0\n100\n");
  RecordingHost host;
  EXPECT_EQ(RunStraightRoadEngine(input_, result_, host), kNoActiveObjects);
  // No luminaire: no active group.
  WriteInput("1\n/x.rtb\n0\n0\n2\n3.5\n0\n0\n0.8\n0\n0\n0\n0\n30\n");
  EXPECT_EQ(RunStraightRoadEngine(input_, result_, host), kNoActiveGroups);
  EXPECT_EQ(host.finished, (std::vector<int>{kNoActiveObjects, kNoActiveGroups}));
  EXPECT_EQ(ResultSize(), 0u);
}

TEST_F(EngineFiles, FailuresHaveTheirOwnCodesAndWriteNothing)
{
  RecordingHost host;
  std::string message;
  EXPECT_EQ(RunStraightRoadEngine((dir_ / "missing").string(), result_, host, &message), kInputUnreadable);
  EXPECT_NE(message.find("cannot open"), std::string::npos);

  std::string text = testing::HandWrittenInput();
  WriteInput(text.substr(0, text.size() / 2));
  EXPECT_EQ(RunStraightRoadEngine(input_, result_, host, &message), kInputMalformed);
  EXPECT_NE(message.find("input:"), std::string::npos);

  text.replace(text.find(testing::kRtabPlaceholder), std::strlen(testing::kRtabPlaceholder),
               (dir_ / "no-table.rtb").string());
  std::ofstream(input_, std::ios::binary) << text;
  EXPECT_EQ(RunStraightRoadEngine(input_, result_, host, &message), kReflectionTableUnreadable);

  WriteInput(testing::HandWrittenInput());
  EXPECT_EQ(RunStraightRoadEngine(input_, (dir_ / "no-dir" / "out").string(), host, &message), kResultNotWritten);

  host.cancelAfterQuestions = 3;
  EXPECT_EQ(RunStraightRoadEngine(input_, result_, host, &message), kCancelled);
  EXPECT_EQ(host.finished, (std::vector<int>{kInputUnreadable, kInputMalformed, kReflectionTableUnreadable,
                                             kResultNotWritten, kCancelled}));
  EXPECT_EQ(ResultSize(), 0u);
}

// The program hands its own paths over: code page 1251 with '\\' between the folders, here and on line 2.
TEST_F(EngineFiles, ProgramPathsInCodePage1251AreFound)
{
  const fs::path folder = dir_ / fs::path(u8"Дорога");  // UTF-8 on the disk
  fs::create_directories(folder);
  fs::copy_file(kBin + "/rtab_1.rtb", folder / "rtab_1.rtb");
  std::string text = testing::HandWrittenInput();
  const std::string programFolder = dir_.string() + "\\Дорога\\";  // a narrow literal: cp1251 bytes
  text.replace(text.find(testing::kRtabPlaceholder), std::strlen(testing::kRtabPlaceholder),
               programFolder + "rtab_1.rtb");
  std::ofstream(folder / "qout.tmp", std::ios::binary) << text;
  std::ofstream(folder / "qor.tmp").close();
  RecordingHost host;
  std::string message;
  EXPECT_EQ(RunStraightRoadEngine(programFolder + "qout.tmp", programFolder + "qor.tmp", host, &message), kEngineOk)
      << message;
  EXPECT_EQ(fs::file_size(folder / "qor.tmp"), 717u * 4);
}

HWND const kMainWindow = reinterpret_cast<HWND>(0x1234);

TEST_F(EngineFiles, ThreadedRunReportsProgressAsksTheStateAndPostsTheEnd)
{
  WriteInput(testing::HandWrittenInput());
  FakeMainWindow window;
  std::vector<char> in = testing::ProgramPathBuffer(input_), out = testing::ProgramPathBuffer(result_);
  int code = -1;
  std::thread worker([&] {
    code = RunStraightRoadCall(&window, kMainWindow, in.data(), static_cast<int>(input_.size()), out.data(),
                               static_cast<int>(result_.size()));
  });
  worker.join();
  EXPECT_EQ(code, kEngineOk);
  auto log = window.Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), (FakeMainWindow::Message{kMsgEngineProgress, 0, false}));
  EXPECT_EQ(log.back(), (FakeMainWindow::Message{kMsgCalculationFinished, kEngineOk, true}));
  int ends = 0, questions = 0;
  WPARAM lastPercent = 0;
  for (const auto& m : log) {
    ends += m.id == kMsgCalculationFinished;
    questions += m.id == kMsgCalculationState;
    if (m.id == kMsgEngineProgress) {
      EXPECT_FALSE(m.posted);
      EXPECT_GE(m.wParam, lastPercent);
      lastPercent = m.wParam;
    }
  }
  EXPECT_EQ(ends, 1);
  EXPECT_GE(questions, 10);  // at least once per row of points
  EXPECT_EQ(lastPercent, 100u);
  EXPECT_EQ(ResultSize(), 717u * 4);
}

TEST_F(EngineFiles, DirectRunLeavesTheEndMessageToTheProgram)
{
  WriteInput(testing::HandWrittenInput());
  FakeMainWindow window;
  std::vector<char> in(input_.begin(), input_.end()), out(result_.begin(), result_.end());
  in.push_back('\0');
  out.push_back('\0');
  EXPECT_EQ(RunStraightRoadCall(&window, kMainWindow, in.data(), 260, out.data(), 260), kEngineOk);
  for (const auto& m : window.Log())
    EXPECT_NE(m.id, kMsgCalculationFinished);
  EXPECT_EQ(ResultSize(), 717u * 4);
}

TEST_F(EngineFiles, CancelThroughTheStateQuestionEndsTheThreadedRun)
{
  WriteInput(testing::HandWrittenInput());
  FakeMainWindow window;
  window.state = kStateStopping;
  std::vector<char> in(input_.begin(), input_.end()), out(result_.begin(), result_.end());
  in.push_back('\0');
  out.push_back('\0');
  int code = -1;
  std::thread worker([&] { code = RunStraightRoadCall(&window, kMainWindow, in.data(), 260, out.data(), 260); });
  worker.join();
  EXPECT_EQ(code, kCancelled);
  auto log = window.Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2].id, kMsgCalculationState);
  EXPECT_EQ(log.back(), (FakeMainWindow::Message{kMsgCalculationFinished, kCancelled, true}));
  EXPECT_EQ(ResultSize(), 0u);
}

TEST_F(EngineFiles, EntryPointWithoutAMessengerStillCalculates)
{
  WriteInput(testing::HandWrittenInput());
  SetEngineWindowMessenger(nullptr);
  std::vector<char> in(input_.begin(), input_.end()), out(result_.begin(), result_.end());
  in.push_back('\0');
  out.push_back('\0');
  EXPECT_EQ(INTERFACE1(kMainWindow, in.data(), 260, out.data(), 260), kEngineOk);
  EXPECT_EQ(ResultSize(), 717u * 4);
  EXPECT_EQ(INTERFACE1(kMainWindow, nullptr, 0, out.data(), 260), kInputUnreadable);
}

}  // namespace
}  // namespace Engines
