#include "platform/shell/shell_execute.h"

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/hresult.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace {

std::mutex g_mutex;
shell::Launcher g_launcher;

// "http:", "mailto:" and the like; a drive-less program path has no colon before its first separator.
bool HasScheme(std::string_view target)
{
  const std::size_t colon = target.find(':');
  if (colon == std::string_view::npos || colon < 2)
    return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = target[i];
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'))
      return false;
  }
  return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
      return false;
  return true;
}

bool IsWebOrMailAddress(std::string_view target)
{
  if (!StartsWithIgnoringCase(target, "http://") && !StartsWithIgnoringCase(target, "https://") &&
      !StartsWithIgnoringCase(target, "mailto:"))
    return false;
  for (char c : target)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return false;
  return true;
}

// The opener in a grandchild, so that nobody has to wait for it and no zombie stays behind.
bool StartDetached(const std::vector<std::string>& arguments)
{
  std::vector<char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0)
    return false;
  const pid_t child = fork();
  if (child < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return false;
  }
  if (child == 0) {
    close(pipeFds[0]);
    if (fork() == 0) {
      setsid();
      execvp(argv[0], argv.data());
      // Tell the parent the opener is missing.
      const char failed = 1;
      (void)!write(pipeFds[1], &failed, 1);
      _exit(127);
    }
    _exit(0);
  }
  close(pipeFds[1]);
  int status = 0;
  waitpid(child, &status, 0);
  char failed = 0;
  // The write end closes at exec, so the read ends at once with the opener started or its failure note.
  const ssize_t got = read(pipeFds[0], &failed, 1);
  close(pipeFds[0]);
  return got <= 0;
}

}  // namespace

HINSTANCE ShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int)
{
  auto answer = [](INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); };
  if (!file || !*file)
    return answer(ERROR_FILE_NOT_FOUND);
  if (verb && *verb && std::strcmp(verb, "open") != 0)
    return answer(SE_ERR_NOASSOC);
  std::string target;
  if (HasScheme(file)) {
    // Only web pages and mail links: an address from outside (a news page, a catalogue) must not start a program
    // of its choosing through another scheme's handler.
    if (!IsWebOrMailAddress(file))
      return answer(SE_ERR_NOASSOC);
    target = codepage::Cp1251ToUtf8(file);
  } else {
    target = platform::ToFileSystemPath(file);
    std::error_code error;
    if (!std::filesystem::exists(target, error))
      return answer(ERROR_FILE_NOT_FOUND);
  }
  const std::vector<std::string> argv = {"xdg-open", target};
  shell::Launcher launcher;
  {
    std::lock_guard lock(g_mutex);
    launcher = g_launcher;
  }
  const bool started = launcher ? launcher(argv) : StartDetached(argv);
  return answer(started ? 42 : SE_ERR_NOASSOC);
}

namespace shell {

void SetLauncher(Launcher launcher)
{
  std::lock_guard lock(g_mutex);
  g_launcher = std::move(launcher);
}

}  // namespace shell
