// The DXF reader: ASCII DXF of the R12 and 2000-and-later forms made into a flat drawing in metres.
//
// The file is group-code/value pairs, one line each: an integer code, then its value. Sections in any order:
//   HEADER   $ACADVER (1), $INSUNITS (70), $DWGCODEPAGE (3); the rest is skipped
//   TABLES   LAYER entries: name (2), colour (62, negative when off), flags (70, bit 1 frozen)
//   BLOCKS   BLOCK name (2), base point (10/20/30), its entities, ENDBLK
//   ENTITIES LINE, LWPOLYLINE (bulges 42), POLYLINE/VERTEX.../SEQEND, ARC, CIRCLE, ELLIPSE, TEXT, MTEXT,
//            SOLID, 3DFACE, POINT, INSERT (41/42/43 scale, 50 rotation); any other entity is skipped
// A drawing from elsewhere is untrusted: sizes and counts are bounded, a block that inserts itself (at any
// depth) is refused, as are coordinates no site drawing can have. Binary DXF is refused with its own message.
#pragma once

#include "outside/grafocore/dxf/dxf_drawing.h"

#include <string>
#include <string_view>

namespace grafocore::dxf {

// Bounds of what a background drawing may hold; a drawing beyond them is refused, not cut.
struct ReadLimits {
  size_t fileBytes = 256u << 20;
  size_t figures = 1'000'000;
  size_t points = 4'000'000;
  // Entities visited while insertions are expanded (an empty block inserted a million times costs time too).
  size_t expandedEntities = 4'000'000;
  size_t layers = 4096;
  size_t blocks = 65536;
  int insertDepth = 16;
  size_t textBytes = 65536;
  // In the file's units; a site plan in millimetres stays far below.
  double coordinate = 1e10;
};

enum class ReadError { None, NotDxf, Binary, Malformed, TooLarge, BlockCycle, AbsurdCoordinate, CannotOpen };

struct ReadResult {
  ReadError error = ReadError::None;
  int line = 0;  // 1-based line of the file where reading stopped; 0 when no line is to blame
  bool Ok() const { return error == ReadError::None; }
  // The message the user is shown (cp1251).
  std::string Message() const;
};

// Fills drawing (emptied first); on an error the drawing is left empty.
ReadResult ReadDxf(std::string_view bytes, Drawing& drawing, const ReadLimits& limits = {});
ReadResult ReadDxfFile(const std::string& path, Drawing& drawing, const ReadLimits& limits = {});

// An MTEXT value without its format codes: paragraphs become '\n', stacked fractions "a/b", braces dropped.
std::string StripMTextFormat(std::string_view text);

}  // namespace grafocore::dxf
