// The rich-text document a rich-edit control holds: what the RTF reader builds, the layout draws and the RTF
// writer streams out.
//
// Text is code page 1251, one byte per character, as the program's strings are. A character that cp1251 cannot
// spell (from RTF's \uN) is kept as a text run of its own holding "?" with the code point beside it, so layout
// can still draw it and the writer writes it back as \uN?.
//
// Character positions are flat indexes as the control's CHARRANGE counts them: every text byte, tab, line break
// and picture is one character; every paragraph ends in one '\r' (a table cell's paragraphs too, so a cell counts
// as its text plus one per paragraph); a page break is one character ('\f'). The document always ends in a body
// paragraph whose end mark is not counted, as the control's final paragraph mark cannot be selected; header and
// footer are outside the flat text.
#pragma once

#include "platform/base/wintypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace richedit {

enum class Alignment { Left, Right, Centre, Justify };
enum class TabKind { Left, Centre, Right, Decimal };
enum class VerticalAlignment { Top, Centre, Bottom };

// Twips throughout (1/1440 inch) unless a name says otherwise.
struct TabStop {
  int position = 0;
  TabKind kind = TabKind::Left;
  bool operator==(const TabStop&) const = default;
};

struct ParagraphFormat {
  Alignment alignment = Alignment::Left;
  int leftIndent = 0;
  int rightIndent = 0;
  int firstLineIndent = 0;  // relative to leftIndent; negative for a hanging first line
  int spaceBefore = 0;
  int spaceAfter = 0;
  // RTF's \sl: 0 is single spacing; positive "at least", negative "exactly" its absolute value. With
  // lineSpacingMultiple the value is in 240ths of a single line instead (\slmult1).
  int lineSpacing = 0;
  bool lineSpacingMultiple = false;
  bool keepWithNext = false;  // \keepn: kept on the page of the paragraph that follows
  std::vector<TabStop> tabs;  // ascending positions
  bool operator==(const ParagraphFormat&) const = default;
};

struct CharFormat {
  int font = 0;        // index into RichDocument::fonts
  int size = 24;       // half-points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int color = 0;       // index into RichDocument::colors; 0 is automatic (black text)
  int highlight = 0;   // index into RichDocument::colors; 0 is none
  bool operator==(const CharFormat&) const = default;
};

// Placeholder: a format we do not draw (metafiles, unreadable data); one grey pixel stretched to the goal size.
enum class PictureSource { Bitmap, Dib, Png, Jpeg, Placeholder };

struct Picture {
  int width = 0;   // pixels
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width x height, top row first, 0xAARRGGBB (bytes B, G, R, A in memory)
  // Size wanted on the page (\picwgoal, \pichgoal); 0 when the document gave none: then the pixels at 96 dpi.
  int goalWidth = 0;
  int goalHeight = 0;
  int scaleX = 100;  // percent
  int scaleY = 100;
  PictureSource source = PictureSource::Dib;
  // The picture's own bytes for writing it back unchanged: the PNG or JPEG file. Empty for bitmaps and
  // placeholders, which are written from the pixels.
  std::vector<std::uint8_t> original;

  int DisplayWidth() const;   // twips, goal and scale applied
  int DisplayHeight() const;
};

enum class RunKind { Text, Tab, LineBreak, Picture };

struct Run {
  RunKind kind = RunKind::Text;
  CharFormat format;
  std::string text;          // Text only: cp1251 bytes
  char32_t unicode = 0;      // Text only: non-zero when this run is one "?" standing for that code point
  std::shared_ptr<const Picture> picture;  // Picture only; pictures are immutable, so copies share them
  // In a field's result (such as the page of a bookmark, "PAGEREF name"): the field's instruction. The run shows
  // the result as the document gave it; readers that update fields compute it again.
  std::string field;

  long Length() const { return kind == RunKind::Text ? static_cast<long>(text.size()) : 1; }
};

struct Paragraph {
  ParagraphFormat format;
  std::vector<Run> runs;
  // Format of a character typed at the paragraph's end, and of an empty paragraph's end mark.
  CharFormat endFormat;
  std::vector<std::string> bookmarks;  // names of the places marked at the paragraph's start

  long TextLength() const;  // without the end mark
};

struct CellBorder {
  int width = 0;  // twips; 0 is no border
  int color = 0;  // colour index
  bool operator==(const CellBorder&) const = default;
};

struct TableCell {
  int rightBoundary = 0;  // \cellx: from the row's left edge of the page's text area
  CellBorder top, left, bottom, right;
  int shading = 0;  // colour index of the background; 0 is none
  VerticalAlignment verticalAlignment = VerticalAlignment::Top;
  std::vector<Paragraph> paragraphs;  // at least one
};

struct TableRow {
  int left = 0;    // \trleft
  int gap = 0;     // \trgaph: half the space between cells
  int height = 0;  // \trrh: 0 automatic, positive at least, negative exactly
  CellBorder rowTop, rowLeft, rowBottom, rowRight;  // \trbrdrt/l/b/r
  std::vector<TableCell> cells;  // at least one
};

enum class BlockKind { Paragraph, TableRow, PageBreak };

struct Block {
  BlockKind kind = BlockKind::Paragraph;
  Paragraph paragraph;  // BlockKind::Paragraph
  TableRow row;         // BlockKind::TableRow

  static Block MakeParagraph(Paragraph paragraph);
  static Block MakeRow(TableRow row);
  static Block MakePageBreak();
  long Length() const;  // in flat characters, end marks included
};

enum class FontFamily { Nil, Roman, Swiss, Modern, Script, Decor, Tech, Bidi };

struct FontEntry {
  std::string name;  // cp1251
  int charset = 1;   // \fcharset: 204 Cyrillic, 0 ANSI, 2 symbol, 1 (the default) the document's code page
  FontFamily family = FontFamily::Nil;
  bool operator==(const FontEntry&) const = default;
};

struct ColorEntry {
  COLORREF rgb = 0;        // 0x00BBGGRR
  bool automatic = false;  // an empty entry, as index 0 usually is
  bool operator==(const ColorEntry&) const = default;
};

struct PageSetup {
  int paperWidth = 11906;  // A4 portrait
  int paperHeight = 16838;
  int marginLeft = 1800;   // Word's defaults
  int marginRight = 1800;
  int marginTop = 1440;
  int marginBottom = 1440;
  bool operator==(const PageSetup&) const = default;
};

// Where a flat character index falls. For a table row, cell and paragraph say where; body paragraphs have
// cell -1 and paragraph 0. run and offset: the run holding the character and the offset in it; a position at
// a paragraph's end mark has run == runs.size() and offset 0.
struct TextPosition {
  size_t block = 0;
  int cell = -1;
  size_t paragraph = 0;
  size_t run = 0;
  long offset = 0;
  bool operator==(const TextPosition&) const = default;
};

class RichDocument {
 public:
  // An empty document: one empty paragraph, fonts {Arial Cyrillic}, colours {automatic}.
  RichDocument();

  std::vector<FontEntry> fonts;
  std::vector<ColorEntry> colors;  // [0] is the automatic colour
  int defaultFont = 0;             // \deff, as an index into fonts
  PageSetup page;
  std::vector<Block> blocks;       // ends in a paragraph
  std::vector<Block> header;       // empty when there is none
  std::vector<Block> footer;

  // Characters of the flat text (the final paragraph's mark not counted).
  long Length() const;
  // One byte per flat character in [cpMin, cpMax), clamped to the text: text bytes, '\t', '\v' for a line break,
  // ' ' for a picture, '\r' for a paragraph end, '\f' for a page break. cpMax -1 means the end.
  std::string GetText(long cpMin = 0, long cpMax = -1) const;
  // The position of a flat index, clamped to [0, Length()].
  TextPosition Locate(long cp) const;
  long CharIndex(const TextPosition& position) const;

  // The text as a plain-text stream-out writes it: paragraphs end in "\r\n", a table row's cells are separated
  // by tabs (paragraphs inside a cell by spaces) and end in "\r\n", line breaks are "\r\n", page breaks "\f",
  // pictures are left out. The final paragraph gets no "\r\n".
  std::string PlainText() const;

  // The part [cpMin, cpMax) as a document of its own with the same tables and page, without header and footer
  // (a selection's stream-out).
  // Partly covered table rows give their covered cell paragraphs as body paragraphs; the last paragraph keeps
  // no end mark unless the range ended after one, in which case an empty final paragraph follows.
  RichDocument Slice(long cpMin, long cpMax) const;
  // Replaces [cpMin, cpMax) by `piece` (a selection's stream-in); fonts and colours of the piece are merged
  // into this document's tables. Answers the index just after the inserted text.
  long Replace(long cpMin, long cpMax, const RichDocument& piece);

  // Index of a font or colour, appended when not present.
  int FontIndex(const FontEntry& font);
  int ColorIndex(COLORREF rgb);

  // Merges adjacent text runs of equal format, gives every table cell a paragraph and the document its final
  // paragraph, and clamps font and colour indexes to the tables. The reader calls it; so should anyone who
  // edits blocks by hand.
  void Normalize();
};

// A document of one plain text (a plain-text stream-in): "\r\n", "\r" or "\n" end paragraphs, tabs are tabs.
RichDocument DocumentFromPlainText(std::string_view text, const CharFormat& format = {});

}  // namespace richedit
