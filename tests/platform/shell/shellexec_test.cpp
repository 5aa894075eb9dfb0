#include "platform/shell/shellexec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int kShow = 5;

int Result(HINSTANCE instance) { return static_cast<int>(reinterpret_cast<std::intptr_t>(instance)); }

TEST(ShellExecute, OnlyAddressesAndExistingFilesReachTheDesktop)
{
  std::vector<std::string> opened;
  shell::SetOpenHandler([&](const std::string& target) {
    opened.push_back(target);
    return 42;
  });
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
      {"open", "https://x.example/a b", false},
      {"open", "/no/such/file", false},
      {"open", "", false},
      {"print", "https://tesmira-road.example/", false},
  };
  for (const auto& c : cases) {
    opened.clear();
    int result = Result(ShellExecute(nullptr, c.verb, c.target, nullptr, nullptr, kShow));
    EXPECT_EQ(result > 32, c.opens) << c.target;
    EXPECT_EQ(opened.size(), c.opens ? 1u : 0u) << c.target;
  }
  shell::SetOpenHandler([](const std::string&) { return SE_ERR_NOASSOC; });
  EXPECT_EQ(Result(ShellExecute(nullptr, "open", "https://x.example/", nullptr, nullptr, kShow)), SE_ERR_NOASSOC);
  shell::SetOpenHandler(nullptr);
}

}  // namespace
