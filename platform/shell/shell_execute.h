// ShellExecute: a document, web page or mail link opened by the desktop's opener (xdg-open), started with an
// argument list and no shell in between, in the background. Tests put a launcher of their own in force.
#pragma once

#include "platform/base/wintypes.h"

#include <functional>
#include <string>
#include <vector>

inline constexpr int SE_ERR_NOASSOC = 31;

// Above 32 when the opener was started. ERROR_FILE_NOT_FOUND for a local file that does not exist,
// SE_ERR_NOASSOC when no opener could be started. Only the default and "open" verbs are known.
HINSTANCE ShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand);
inline HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               int showCommand)
{
  return ShellExecute(owner, verb, file, parameters, directory, showCommand);
}

namespace shell {

// Receives the opener's argument list (UTF-8) and answers whether it started. Null restores xdg-open.
using Launcher = std::function<bool(const std::vector<std::string>& argv)>;
void SetLauncher(Launcher launcher);

}  // namespace shell
