// ShellExecute's "open" verb, handed to the desktop (xdg-open). A web address (http, https), a "mailto:" address or
// an existing file is opened; anything else is refused, so a target that came from outside cannot start a program
// of its choosing.
#pragma once

#include "platform/base/wintypes.h"

#include <functional>
#include <string>

inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_SHARE = 26;
inline constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
inline constexpr int SE_ERR_DDETIMEOUT = 28;
inline constexpr int SE_ERR_DDEFAIL = 29;
inline constexpr int SE_ERR_DDEBUSY = 30;
inline constexpr int SE_ERR_NOASSOC = 31;
inline constexpr int SE_ERR_DLLNOTFOUND = 32;

// Above 32 on success; otherwise one of the codes above, as a pseudo instance handle. Verbs other than "open" (or
// none) answer SE_ERR_NOASSOC; parameters and the directory are not passed on.
HINSTANCE ShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show);
inline HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show)
{
  return ShellExecute(owner, verb, file, parameters, directory, show);
}

namespace shell {

// Whether a target is one the shell may hand to the desktop: http, https, mailto, or an existing file.
bool IsOpenableTarget(const std::string& target);

// Receives each target instead of the desktop and answers the result code; null restores the desktop. Tests
// install one so that nothing is opened for real.
using OpenHandler = std::function<int(const std::string& target)>;
void SetOpenHandler(OpenHandler handler);

}  // namespace shell
