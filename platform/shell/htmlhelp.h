// HTML Help: the program's help opened at a keyword. The help viewer is the desktop's: a lookup opens the help
// file with it (xdg-open) when the file exists. Tests put a handler of their own in force and read the requests.
#pragma once

#include "platform/base/wintypes.h"

#include <functional>
#include <string>

inline constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
inline constexpr UINT HH_KEYWORD_LOOKUP = 0x000D;

// The keyword lookup's record; cbStruct must be its size.
struct HH_AKLINK {
  int cbStruct = 0;
  BOOL fReserved = FALSE;
  LPCSTR pszKeywords = nullptr;  // keywords separated by ';'
  LPCSTR pszUrl = nullptr;
  LPCSTR pszMsgText = nullptr;
  LPCSTR pszMsgTitle = nullptr;
  LPCSTR pszWindow = nullptr;
  BOOL fIndexOnFail = FALSE;  // show the index when no keyword is found
};

// The caller when the help was shown (there is no help window of our own), else null. HH_DISPLAY_TOPIC opens the file; HH_KEYWORD_LOOKUP opens it at the keyword of
// the HH_AKLINK `data` points to. Anything else, a record of another size or no keyword: null.
HWND HtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

namespace shell {

struct HelpRequest {
  HWND caller = nullptr;
  std::string file;
  UINT command = 0;
  std::string keywords;
  bool indexOnFail = false;
};
// Answers whether the help was shown. Null restores the desktop's viewer.
using HelpHandler = std::function<bool(const HelpRequest&)>;
void SetHelpHandler(HelpHandler handler);

// The program's help file: the program's own path with the extension ".chm".
std::string ProgramHelpFile();

}  // namespace shell
