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

TEST_F(ShellExecuteTest, OnlyWebPagesMailLinksAndExistingFilesReachTheOpener)
{
  const struct {
    const char* verb;
    const char* target;
    bool opens;
  } cases[] = {
      {"open", "https://tesmira-road.example/", true},
      {nullptr, "HTTP://tesmira-road.example/road/", true},
      {"open", "mailto:support@tesmira-road.example?subject=Tesmira", true},
      {"open", TESMIRA_SOURCE_DIR "/CMakeLists.txt", true},
      {"open", "file:///etc/passwd", false},
      {"open", "javascript:alert(1)", false},
      {"open", "https://x.example/a\nb", false},
      {"open", "/no/such/file", false},
      {"open", "", false},
      {"print", "https://tesmira-road.example/", false},
  };
  for (const auto& c : cases) {
    calls_.clear();
    EXPECT_EQ(Code(ShellExecute(nullptr, c.verb, c.target, nullptr, nullptr, kShowNormal)) > 32, c.opens) << c.target;
    EXPECT_EQ(calls_.size(), c.opens ? 1u : 0u) << c.target;
  }
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
