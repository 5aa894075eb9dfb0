#include "platform/shell/htmlhelp.h"

#include "platform/base/module.h"

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <mutex>

extern char** environ;

namespace {

std::mutex g_mutex;
shell::HelpHandler g_handler;

// The desktop's viewer, started in the background so that the caller does not wait for it.
bool OpenWithDesktop(const shell::HelpRequest& request)
{
  std::error_code error;
  if (request.file.empty() || !std::filesystem::is_regular_file(request.file, error)) {
    return false;
  }
  const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", request.file.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
    return false;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

HWND HtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data)
{
  shell::HelpRequest request;
  request.caller = caller;
  request.file = file != nullptr ? file : "";
  request.command = command;
  if (command == HH_KEYWORD_LOOKUP) {
    const auto* link = reinterpret_cast<const HH_AKLINK*>(data);
    if (link == nullptr || link->cbStruct != static_cast<int>(sizeof(HH_AKLINK)) || link->pszKeywords == nullptr ||
        *link->pszKeywords == '\0') {
      return nullptr;
    }
    request.keywords = link->pszKeywords;
    request.indexOnFail = link->fIndexOnFail != FALSE;
  } else if (command != HH_DISPLAY_TOPIC) {
    return nullptr;
  }
  shell::HelpHandler handler;
  {
    std::lock_guard lock(g_mutex);
    handler = g_handler;
  }
  const bool shown = handler ? handler(request) : OpenWithDesktop(request);
  // There is no help window of our own: the caller stands for it.
  return shown ? caller : nullptr;
}

namespace shell {

void SetHelpHandler(HelpHandler handler)
{
  std::lock_guard lock(g_mutex);
  g_handler = std::move(handler);
}

}  // namespace shell

std::string shell::ProgramHelpFile()
{
  char path[4096] = {};
  const DWORD length = GetModuleFileName(nullptr, path, sizeof path);
  std::string file(length > 0 && length < sizeof path ? path : "");
  const std::size_t slash = file.find_last_of("/\\");
  const std::size_t dot = file.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    file.resize(dot);
  return file + ".chm";
}
