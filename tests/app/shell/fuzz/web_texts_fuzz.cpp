// libFuzzer target: what the web site sends, on arbitrary bytes. The news page's text and the version files are
// read without crashing or hanging; the text never holds a tag opener of a script and never outgrows its input.
#include "app/shell/web_texts.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text = shell::HtmlToText(input);
  // Each input byte gives at most one character, an entity at most a few, a line break two.
  if (text.size() > 3 * std::min(input.size(), shell::kNewsPageCap) + 2) {
    std::abort();
  }
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n') {
      std::abort();
    }
  }
  const shell::VersionInfo info = shell::ParseVersionInfo(input);
  if (info.releaseText.size() > input.size() || info.newsAddress.size() > input.size()) {
    std::abort();
  }
  (void)shell::JoinVersionText(input);
  return 0;
}
