#include "document/trace_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class TraceLogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    root_ = fs::temp_directory_path() / ("trace-log-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "data");
    fs::create_directories(root_ / "tmp");
    // A regular file where a folder is expected: nothing can be created beneath it, even by root.
    std::ofstream(root_ / "blocker") << "x";
    const char* old = std::getenv("TMPDIR");
    oldTmp_ = old != nullptr ? old : "";
    hadTmp_ = old != nullptr;
    ::setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
  }
  void TearDown() override
  {
    LoggerObjs::InstallLogger(nullptr);
    if (hadTmp_) {
      ::setenv("TMPDIR", oldTmp_.c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
    fs::remove_all(root_);
  }

  static std::string ReadAll(const fs::path& path)
  {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  CString Folder(const fs::path& path) const { return CString((path.string() + "/").c_str()); }

  fs::path root_;
  std::string oldTmp_;
  bool hadTmp_ = false;
};

TEST_F(TraceLogTest, NormalStartLeavesOneDecimalStepPerLine)
{
  CString path = LoggerObjs::StartTraceLog(Folder(root_ / "data"));
  EXPECT_EQ(std::string(path), (root_ / "data" / "qorroad.log").string());
  for (int step = 1; step <= 20; ++step) {
    LoggerObjs::GetLogger().WriteStep(step);
  }
  std::string expected;
  for (int step = 0; step <= 20; ++step) {
    expected += std::to_string(step) + "\n";
  }
  EXPECT_EQ(ReadAll(root_ / "data" / "qorroad.log"), expected);
  EXPECT_EQ(LoggerObjs::GetLogger().GetMessageCount(), 21);
  EXPECT_EQ(LoggerObjs::GetLogger().GetSteps().size(), 21u);
}

TEST_F(TraceLogTest, EveryStartRewritesTheFile)
{
  LoggerObjs::StartTraceLog(Folder(root_ / "data"));
  LoggerObjs::GetLogger().WriteStep(1);
  LoggerObjs::GetLogger().WriteStep(2);
  LoggerObjs::StartTraceLog(Folder(root_ / "data"));
  EXPECT_EQ(ReadAll(root_ / "data" / "qorroad.log"), "0\n");
}

TEST_F(TraceLogTest, FallsBackToTheTemporaryFolder)
{
  struct Case {
    const char* what;
    CString dataFolder;
  };
  const Case cases[] = {
      {"empty data folder", CString()},
      {"data folder that cannot be written", Folder(root_ / "blocker" / "data")},
  };
  for (const auto& c : cases) {
    CString path = LoggerObjs::StartTraceLog(c.dataFolder);
    EXPECT_EQ(std::string(path), (root_ / "tmp" / "qorroad.log").string()) << c.what;
    EXPECT_EQ(ReadAll(root_ / "tmp" / "qorroad.log"), "0\n") << c.what;
  }
}

TEST_F(TraceLogTest, WithNowhereToWriteTheLogOnlyCounts)
{
  ::setenv("TMPDIR", (root_ / "blocker" / "tmp").c_str(), 1);
  CString path = LoggerObjs::StartTraceLog(Folder(root_ / "blocker" / "data"));
  EXPECT_TRUE(path.IsEmpty());
  LoggerObjs::GetLogger().WriteStep(1);
  EXPECT_EQ(LoggerObjs::GetLogger().GetMessageCount(), 2);
  EXPECT_EQ(LoggerObjs::GetLogger().GetSteps(), (std::vector<int>{0, 1}));
}

TEST_F(TraceLogTest, InstallingReplacesTheLogAndNullGivesACountingLog)
{
  LoggerObjs::FileLoggerFactory factory(Folder(root_ / "data") + "other.log");
  LoggerObjs::InstallLogger(&factory);
  LoggerObjs::GetLogger().Write("hello");
  EXPECT_EQ(ReadAll(root_ / "data" / "other.log"), "hello\n");
  LoggerObjs::InstallLogger(nullptr);
  EXPECT_EQ(LoggerObjs::GetLogger().GetMessageCount(), 0);
  EXPECT_EQ(dynamic_cast<LoggerObjs::FileLogger*>(&LoggerObjs::GetLogger()), nullptr);
}

}  // namespace
