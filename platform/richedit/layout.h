// Layout of a rich document into lines and pages, and their painting.
//
// Everything is laid out in twips with character widths measured once per font at a fixed resolution, so the
// same layout serves the screen (at any zoom) and a printer (at its resolution): where a line breaks never
// depends on the device. The vertical flow is a list of bands: a band is one line of a body paragraph or one
// whole table row (its cells side by side, the row as tall as its tallest cell). Pages are cut between bands.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/richedit/rich_document.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace richedit {

inline constexpr long kNoWrap = 0x3FFFFFFF;
inline constexpr int kTwipsPerInch = 1440;
// Tab stops where a paragraph sets none (RTF's \deftab default).
inline constexpr int kDefaultTabWidth = 720;

// Widths and heights of the document's fonts in twips, measured once per face, size and style.
class FontMetricsCache {
public:
  struct Metrics {
    int ascent = 0;
    int descent = 0;
    std::array<int, 256> advance{};  // per cp1251 byte
  };
  FontMetricsCache();
  ~FontMetricsCache();
  FontMetricsCache(const FontMetricsCache&) = delete;
  FontMetricsCache& operator=(const FontMetricsCache&) = delete;

  const Metrics& Get(const RichDocument& document, const CharFormat& format);

private:
  HDC measuringDC_ = nullptr;
  std::map<std::string, Metrics> metrics_;
};

// The LOGFONT face, weight and style a character format asks for; `height` is the cell height wanted in the
// caller's units (negative: character height, as GDI takes it).
HFONT CreateFontFor(const RichDocument& document, const CharFormat& format, int height);

// A piece of a line: a stretch of one run, a tab, or a picture.
struct LinePiece {
  const Run* run = nullptr;  // null for the end mark of an empty line
  long cp = 0;               // first flat character
  long offset = 0;           // into run->text
  long length = 0;           // characters (text) or 1
  long x = 0;                // twips from the band's left edge
  long width = 0;
  const FontMetricsCache::Metrics* metrics = nullptr;  // text: the run's widths
};

struct LayoutLine {
  long cpFirst = 0;
  long cpLim = 0;  // the end mark or line-break character included
  long x = 0;      // twips from the band's left edge: the frame the line's pieces are measured from
  long right = 0;  // the frame's right edge, same origin
  long top = 0;    // twips from the band's top
  long height = 0;
  long ascent = 0;
  std::vector<LinePiece> pieces;
};

struct CellFrame {
  RECT rect;  // twips, relative to the band
  const TableCell* cell = nullptr;
  const TableRow* row = nullptr;
};

struct Band {
  long cpFirst = 0;
  long cpLim = 0;
  long top = 0;  // twips from the layout's top
  long height = 0;
  bool pageBreakBefore = false;  // a \page stands before it
  bool keepWithNext = false;     // the last line of a paragraph kept with the next one
  std::vector<LayoutLine> lines;
  std::vector<CellFrame> cells;  // a table row's cells
};

// What a paint shows besides the text.
struct PaintOptions {
  long selectionMin = 0;  // selection shown inverted; empty for none
  long selectionMax = 0;
};

class Layout {
public:
  // `width` is the wrapping width in twips, kNoWrap for none; without wrapping, centred and right-aligned lines
  // line up within `alignWidth`.
  static Layout Build(const RichDocument& document, FontMetricsCache& fonts, long width, long alignWidth = 0);

  long Width() const { return width_; }
  long ContentWidth() const { return contentWidth_; }  // the widest line, twips
  long Height() const;  // twips
  const std::vector<Band>& Bands() const { return bands_; }
  long TextLength() const { return textLength_; }

  // Lines as the control counts them: one per band.
  int LineCount() const { return static_cast<int>(bands_.size()); }
  int LineFromChar(long cp) const;
  int LineFromY(long y) const;  // twips

  // Where a character stands (its left edge and its line), and the character nearest a point, in twips.
  POINT PointFromChar(long cp) const;
  long CharFromPoint(long x, long y) const;

  // The bands of one page: from the band holding `cpFirst`, as many as fit `height` twips; a page break starts
  // a new page; a band taller than a page gets a page to itself. `cpLimit` (or -1) ends the range.
  struct Page {
    size_t firstBand = 0;
    size_t endBand = 0;  // one past the last
    long cpNext = 0;     // the first character not on the page
  };
  Page PageFrom(long cpFirst, long height, long cpLimit = -1) const;

  // Paints bands [firstBand, endBand) into `dc`, the layout's point (originX, originY twips) at the logical point
  // `at`; `unitsX`/`unitsY` are logical units per twip.
  void Paint(HDC dc, const RichDocument& document, size_t firstBand, size_t endBand, long originX, long originY,
             POINT at, double unitsX, double unitsY, const PaintOptions& options) const;

private:
  long width_ = kNoWrap;
  long contentWidth_ = 0;
  long textLength_ = 0;
  std::vector<Band> bands_;
};

}  // namespace richedit
