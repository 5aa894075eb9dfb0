#include "platform/shell/shellexec.h"

#include "platform/base/paths.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <filesystem>
#include <mutex>

extern char** environ;

namespace {

std::mutex g_mutex;
shell::OpenHandler g_handler;

constexpr int kOpened = 42;

bool StartsWithIgnoringCase(const std::string& text, const char* prefix)
{
  for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) {
      return false;
    }
    char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != prefix[i]) {
      return false;
    }
  }
  return true;
}

bool IsAddress(const std::string& target)
{
  return StartsWithIgnoringCase(target, "http://") || StartsWithIgnoringCase(target, "https://") ||
         StartsWithIgnoringCase(target, "mailto:");
}

int OpenWithDesktop(const std::string& target)
{
  const std::string argument = IsAddress(target) ? target : platform::ToFileSystemPath(target);
  // "--" keeps a target from being read as an option.
  const char* argv[] = {"sh", "-c", "xdg-open -- \"$1\" >/dev/null 2>&1 &", "sh", argument.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
    return SE_ERR_NOASSOC;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kOpened : SE_ERR_NOASSOC;
}

}  // namespace

namespace shell {

bool IsOpenableTarget(const std::string& target)
{
  if (target.empty()) {
    return false;
  }
  if (IsAddress(target)) {
    // Control characters and blanks have no place in an address handed to another program.
    for (char c : target) {
      if (static_cast<unsigned char>(c) <= ' ') {
        return false;
      }
    }
    return true;
  }
  std::error_code error;
  return std::filesystem::exists(platform::ToFileSystemPath(target), error);
}

void SetOpenHandler(OpenHandler handler)
{
  std::lock_guard lock(g_mutex);
  g_handler = std::move(handler);
}

}  // namespace shell

HINSTANCE ShellExecute(HWND /*owner*/, LPCSTR verb, LPCSTR file, LPCSTR /*parameters*/, LPCSTR /*directory*/,
                       int /*show*/)
{
  auto code = [](int value) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(value)); };
  if (verb != nullptr && std::string(verb) != "open") {
    return code(SE_ERR_NOASSOC);
  }
  const std::string target = file != nullptr ? file : "";
  if (!shell::IsOpenableTarget(target)) {
    return code(SE_ERR_FNF);
  }
  shell::OpenHandler handler;
  {
    std::lock_guard lock(g_mutex);
    handler = g_handler;
  }
  return code(handler ? handler(target) : OpenWithDesktop(target));
}
