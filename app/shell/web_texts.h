// Readers of what the program's web site sends: the version files of the update check and the news page.
// Everything they read is untrusted; they only copy text out of it.
#pragma once

#include "platform/base/wintypes.h"

#include <cstddef>
#include <string>

namespace shell {

// The version-info file, lines as the web site writes them; missing or empty numbers read 0.
struct VersionInfo {
  DWORD newest = 0;
  std::string releaseText;
  std::string newsAddress;
  int newsId = 0;
};
VersionInfo ParseVersionInfo(const std::string& text);
// The version text file: its lines joined without separators.
std::string JoinVersionText(const std::string& text);

inline constexpr std::size_t kNewsPageCap = 256 * 1024;

// The readable text of an HTML page in cp1251: scripts, styles and comments dropped, block elements and <br> as
// line breaks, entities decoded, runs of blanks as one, empty lines as one. A page that names windows-1251 as its
// charset is taken as it is, any other as UTF-8. Input beyond kNewsPageCap is not read.
std::string HtmlToText(const std::string& html);

}  // namespace shell
