// The RTF reader of the rich-edit control's stream-in.
//
// Reads RTF 1.x as the report writer and common word processors write it into a RichDocument: font and colour
// tables (either order), paragraph and character formats, tables (nested ones flattened), page breaks, header and
// footer, and pictures (\wbitmap, \dibitmap, \pngblip; JPEG and metafiles become placeholders that keep their
// size). Text arrives as cp1251: \'hh in a font of charset 0 (or of no charset under \ansicpg1252) is read as
// code page 1252, everything else as 1251; \uN characters cp1251 cannot spell are kept as their code point.
//
// The input is untrusted: group depth, picture sizes and the memory the document takes are bounded. A fault ends
// reading, with the document holding everything read before it; a bad picture or \'hh escape drops only itself.
#pragma once

#include "platform/richedit/rich_document.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace richedit {

enum class RtfError {
  None,
  NotRtf,           // the input does not start with "{\rtf"
  TooDeep,          // groups nested beyond kMaxRtfDepth
  BinPastEnd,       // \binN asks for more bytes than the input has
  BadHex,           // a \'hh escape or picture data that is not hexadecimal
  BadPicture,       // picture data that does not describe a picture we can read
  PictureTooLarge,  // a picture beyond the size limits
  TooLarge,         // the document would take more memory than its size justifies
};

inline constexpr int kMaxRtfDepth = 200;

struct RtfReadResult {
  RtfError error = RtfError::None;  // the first fault met
  std::string message;              // what was wrong and at which byte, for people
  size_t offset = 0;                // byte offset of the first fault
  // Groups still open when the input ended. The report shows its document before closing it, so a missing
  // final brace is not a fault.
  int unclosedGroups = 0;

  bool Ok() const { return error == RtfError::None; }
};

const char* RtfErrorName(RtfError error);

// Replaces `document` with what `rtf` holds. On NotRtf the document is left as it was.
RtfReadResult ReadRtf(std::string_view rtf, RichDocument& document);

}  // namespace richedit
