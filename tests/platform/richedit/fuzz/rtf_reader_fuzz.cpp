// libFuzzer target: the RTF reader on arbitrary bytes. Whatever the bytes, reading ends with a document and a
// result; it never crashes, hangs, leaks or allocates what the input merely claims. The writer's output of
// that document is read again and must be a whole document with the same blocks, runs and formats, and the
// flat positions, slices and replacement the control relies on must agree with each other.
#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"
#include "tests/platform/richedit/document_dump.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using namespace richedit;
  RichDocument document;
  const RtfReadResult result = ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size), document);
  if (result.error == RtfError::NotRtf) return 0;

  const std::string written = WriteRtf(document);
  RichDocument again;
  const RtfReadResult reread = ReadRtf(written, again);
  if (!reread.Ok() || reread.unclosedGroups != 0) std::abort();
  auto dump = [](const RichDocument& d) {
    return testing::DumpBlocks(d.blocks) + "header\n" + testing::DumpBlocks(d.header) + "footer\n" +
           testing::DumpBlocks(d.footer);
  };
  if (dump(again) != dump(document) || again.GetText() != document.GetText()) std::abort();
  (void)WritePlainText(document);

  const long length = document.Length();
  const long a = static_cast<long>(size % 7) % (length + 1);
  const long b = length - static_cast<long>(size % 5) % (length + 1);
  if (document.CharIndex(document.Locate(a)) != a || document.CharIndex(document.Locate(b)) != b) std::abort();
  if (a <= b) {
    const RichDocument part = document.Slice(a, b);
    if (part.GetText() != document.GetText(a, b)) std::abort();
    RichDocument copy = document;
    copy.Replace(a, b, RichDocument());
    if (copy.Length() > length) std::abort();
  }
  return 0;
}
