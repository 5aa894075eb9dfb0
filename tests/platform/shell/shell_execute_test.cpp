// ShellExecute hands the desktop's opener one argument, whatever the target holds, and refuses what cannot open.
#include "platform/shell/shell_execute.h"

#include "platform/base/hresult.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int kShowNormal = 1;

class ShellExecuteTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    shell::SetLauncher([this](const std::vector<std::string>& argv) {
      calls_.push_back(argv);
      return started_;
    });
  }
  void TearDown() override { shell::SetLauncher(nullptr); }
  static INT_PTR Code(HINSTANCE answer) { return reinterpret_cast<INT_PTR>(answer); }

  std::vector<std::vector<std::string>> calls_;
  bool started_ = true;
};

TEST_F(ShellExecuteTest, ATargetIsOneArgumentAndNoShellSeesIt)
{
  const std::string link = "mailto:support@tesmira-road.example?subject=a b; rm -rf ~ `x` $(y)";
  EXPECT_GT(Code(ShellExecute(nullptr, nullptr, link.c_str(), nullptr, nullptr, kShowNormal)), 32);
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0], (std::vector<std::string>{"xdg-open", link}));
}

TEST_F(ShellExecuteTest, LocalFilesAreConvertedAndMissingOnesRefused)
{
  const std::string file = ::testing::TempDir() + "tesmira shell " + std::to_string(::getpid()) + ".pdf";
  std::ofstream(file) << "%PDF";
  EXPECT_GT(Code(ShellExecute(nullptr, "open", file.c_str(), nullptr, nullptr, kShowNormal)), 32);
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0][1], file);
  std::remove(file.c_str());

  EXPECT_EQ(Code(ShellExecute(nullptr, nullptr, file.c_str(), nullptr, nullptr, kShowNormal)),
            static_cast<INT_PTR>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Code(ShellExecute(nullptr, "print", "https://tesmira-road.example/", nullptr, nullptr, 1)),
            SE_ERR_NOASSOC);
  started_ = false;
  EXPECT_EQ(Code(ShellExecute(nullptr, nullptr, "https://tesmira-road.example/", nullptr, nullptr, 1)),
            SE_ERR_NOASSOC);
  EXPECT_EQ(calls_.size(), 2u);
}

}  // namespace

namespace {

TEST(ShellExecuteOpener, WithoutAnOpenerOnThePathNothingStarts)
{
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  ::setenv("PATH", "/nonexistent-tesmira", 1);
  const auto answer = reinterpret_cast<INT_PTR>(ShellExecute(nullptr, nullptr, "https://tesmira-road.example/",
                                                             nullptr, nullptr, kShowNormal));
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(answer, SE_ERR_NOASSOC);
}

}  // namespace
