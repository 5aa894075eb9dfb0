#include "platform/richedit/layout.h"

#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace richedit {

namespace {

// Widths are measured at 480 dpi: large enough that whole-pixel advances stay within a few twips of the
// outline's, small enough that the glyph cache of the measuring fonts stays small.
constexpr int kMeasureTwipsPerPixel = 3;
// What a paragraph mark shows as when selected.
constexpr long kEndMarkWidth = 80;

const FontEntry& FontOf(const RichDocument& document, const CharFormat& format)
{
  static const FontEntry fallback{"Arial", 204, FontFamily::Swiss};
  if (format.font >= 0 && static_cast<size_t>(format.font) < document.fonts.size()) {
    return document.fonts[static_cast<size_t>(format.font)];
  }
  return document.fonts.empty() ? fallback : document.fonts[0];
}

BYTE CharsetOf(const FontEntry& font)
{
  // RTF's "default" charset means the reader's; ours is Cyrillic, as the text is cp1251.
  return font.charset == 1 || font.charset == 0 ? RUSSIAN_CHARSET : static_cast<BYTE>(font.charset);
}

std::string MetricsKey(const FontEntry& font, const CharFormat& format)
{
  char tail[48];
  std::snprintf(tail, sizeof tail, "|%d|%d%d|%d", format.size, format.bold ? 1 : 0, format.italic ? 1 : 0,
                font.charset);
  return font.name + tail;
}

int SizeTwips(const CharFormat& format) { return std::max(1, format.size) * 10; }

COLORREF ColorOf(const RichDocument& document, int index, COLORREF automatic)
{
  if (index <= 0 || static_cast<size_t>(index) >= document.colors.size() ||
      document.colors[static_cast<size_t>(index)].automatic) {
    return automatic;
  }
  return document.colors[static_cast<size_t>(index)].rgb;
}

}  // namespace

FontMetricsCache::FontMetricsCache() : measuringDC_(CreateCompatibleDC(nullptr)) {}

FontMetricsCache::~FontMetricsCache()
{
  if (measuringDC_ != nullptr) {
    DeleteDC(measuringDC_);
  }
}

const FontMetricsCache::Metrics& FontMetricsCache::Get(const RichDocument& document, const CharFormat& format)
{
  const FontEntry& font = FontOf(document, format);
  std::string key = MetricsKey(font, format);
  auto found = metrics_.find(key);
  if (found != metrics_.end()) {
    return found->second;
  }
  Metrics m;
  const int pixels = std::max(1, (SizeTwips(format) + kMeasureTwipsPerPixel / 2) / kMeasureTwipsPerPixel);
  CharFormat plain = format;
  plain.underline = false;
  HFONT measuring = CreateFontFor(document, plain, -pixels);
  HGDIOBJ old = SelectObject(measuringDC_, measuring);
  TEXTMETRICA tm{};
  std::array<INT, 256> widths{};
  if (GetTextMetrics(measuringDC_, &tm) && GetCharWidth32A(measuringDC_, 0, 255, widths.data())) {
    m.ascent = tm.tmAscent * kMeasureTwipsPerPixel;
    m.descent = tm.tmDescent * kMeasureTwipsPerPixel;
    for (size_t c = 0; c < widths.size(); ++c) {
      m.advance[c] = widths[c] * kMeasureTwipsPerPixel;
    }
  } else {
    // Without a font there is still a text to lay out: an average width keeps it readable in the layout.
    m.ascent = SizeTwips(format) * 8 / 10;
    m.descent = SizeTwips(format) - m.ascent;
    m.advance.fill(SizeTwips(format) / 2);
  }
  SelectObject(measuringDC_, old);
  DeleteObject(measuring);
  return metrics_.emplace(std::move(key), m).first->second;
}

HFONT CreateFontFor(const RichDocument& document, const CharFormat& format, int height)
{
  const FontEntry& font = FontOf(document, format);
  return CreateFont(height, 0, 0, 0, format.bold ? FW_BOLD : FW_NORMAL, format.italic ? 1 : 0,
                    format.underline ? 1 : 0, 0, CharsetOf(font), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, font.name.empty() ? "Arial" : font.name.c_str());
}

// ---------------------------------------------------------------------------------------------------------------
// Breaking paragraphs into lines

namespace {

enum class AtomKind { Char, Tab, Break, Picture };

// One flat character of a paragraph with its width.
struct Atom {
  AtomKind kind;
  const Run* run;
  long offset;  // into run->text
  long width;
  long ascent;
  long descent;
  const FontMetricsCache::Metrics* metrics;
  bool space;
};

TabStop NextTabStop(const ParagraphFormat& format, long x)
{
  for (const TabStop& tab : format.tabs) {
    if (tab.position > x) {
      return tab;
    }
  }
  return TabStop{static_cast<int>((x / kDefaultTabWidth + 1) * kDefaultTabWidth), TabKind::Left};
}

class ParagraphBreaker {
public:
  ParagraphBreaker(const RichDocument& document, FontMetricsCache& fonts) : document_(document), fonts_(fonts) {}

  // Lines of `paragraph` in a frame `frameWidth` wide (kNoWrap: no wrapping, aligned within alignWidth), tops
  // from 0; answers the paragraph's height with its spacing. `cp` is its first character.
  long Lay(const Paragraph& paragraph, long cp, long frameWidth, long alignWidth, bool countEndMark,
           std::vector<LayoutLine>& lines)
  {
    const ParagraphFormat& pf = paragraph.format;
    atoms_.clear();
    for (const Run& run : paragraph.runs) {
      Append(run);
    }
    const bool wraps = frameWidth < kNoWrap;
    const long frameRight = wraps ? frameWidth : kNoWrap;
    const long alignRight = wraps ? frameWidth : std::max(alignWidth, 0L);
    const FontMetricsCache::Metrics& endMetrics = fonts_.Get(document_, paragraph.endFormat);

    long y = pf.spaceBefore;
    size_t i = 0;
    bool first = true;
    const size_t n = atoms_.size();
    while (true) {
      const long left = pf.leftIndent + (first ? pf.firstLineIndent : 0);
      const long right = wraps ? frameRight - pf.rightIndent : kNoWrap;
      const size_t lineStart = i;
      size_t j = i;
      long x = left;
      size_t breakAfter = n;  // index of the last atom after which the line may break
      bool forced = false;
      while (j < n) {
        const Atom& a = atoms_[j];
        if (a.kind == AtomKind::Break) {
          ++j;
          forced = true;
          break;
        }
        // Breaking takes every tab as a left one; placing the line aligns the text at right, centre and decimal
        // stops, which only moves it back towards the stop.
        const long w = a.kind == AtomKind::Tab ? NextTabStop(pf, x).position - x : a.width;
        // Spaces may hang past the right edge; anything else wraps, unless the line would stay empty.
        if (x + w > right && j > lineStart && !a.space) {
          j = breakAfter != n && breakAfter >= lineStart ? breakAfter + 1 : j;
          break;
        }
        x += w;
        if (a.space || (a.kind == AtomKind::Char && a.run->text[static_cast<size_t>(a.offset)] == '-')) {
          breakAfter = j;
        }
        ++j;
      }
      const bool last = j >= n && !forced;
      lines.push_back(Place(pf, lineStart, j, left, std::max(left, wraps ? right : alignRight - pf.rightIndent),
                            cp, last, endMetrics));
      LayoutLine& line = lines.back();
      if (last && !countEndMark) {
        line.cpLim -= 1;
      }
      line.top = y;
      y += line.height;
      cp = line.cpLim;
      i = j;
      first = false;
      if (last) {
        break;
      }
      if (j >= n && forced) {
        // A line break at the very end opens an empty last line holding the end mark.
        continue;
      }
    }
    return y + pf.spaceAfter;
  }

private:
  void Append(const Run& run)
  {
    const FontMetricsCache::Metrics* m = &fonts_.Get(document_, run.format);
    switch (run.kind) {
    case RunKind::Text:
      for (size_t k = 0; k < run.text.size(); ++k) {
        const auto c = static_cast<unsigned char>(run.text[k]);
        atoms_.push_back(Atom{AtomKind::Char, &run, static_cast<long>(k), m->advance[c], m->ascent, m->descent, m,
                              c == ' '});
      }
      break;
    case RunKind::Tab:
      atoms_.push_back(Atom{AtomKind::Tab, &run, 0, 0, m->ascent, m->descent, m, true});
      break;
    case RunKind::LineBreak:
      atoms_.push_back(Atom{AtomKind::Break, &run, 0, 0, m->ascent, m->descent, m, false});
      break;
    case RunKind::Picture: {
      const long w = run.picture ? run.picture->DisplayWidth() : 0;
      const long h = run.picture ? run.picture->DisplayHeight() : 0;
      atoms_.push_back(Atom{AtomKind::Picture, &run, 0, w, h, 0, m, false});
      break;
    }
    }
  }

  // How far a tab at x reaches: to its stop for a left tab; for right, centre and decimal stops, so that the text
  // up to the next tab (atoms [next, to)) ends at, centres on, or has its decimal separator at the stop.
  long TabWidth(const ParagraphFormat& pf, long x, size_t next, size_t to) const
  {
    const TabStop stop = NextTabStop(pf, x);
    if (stop.kind == TabKind::Left) {
      return stop.position - x;
    }
    long segment = 0;
    long beforeSeparator = -1;
    for (size_t k = next; k < to && atoms_[k].kind != AtomKind::Tab && atoms_[k].kind != AtomKind::Break; ++k) {
      if (beforeSeparator < 0 && atoms_[k].kind == AtomKind::Char) {
        const char c = atoms_[k].run->text[static_cast<size_t>(atoms_[k].offset)];
        if (c == ',' || c == '.') {
          beforeSeparator = segment;
        }
      }
      segment += atoms_[k].width;
    }
    long reach = segment;
    if (stop.kind == TabKind::Centre) {
      reach = segment / 2;
    } else if (stop.kind == TabKind::Decimal) {
      reach = beforeSeparator >= 0 ? beforeSeparator : segment;
    }
    return std::max(0L, stop.position - reach - x);
  }

  // The line of atoms [from, to): pieces, height and alignment.
  LayoutLine Place(const ParagraphFormat& pf, size_t from, size_t to, long left, long right, long cp, bool last,
                   const FontMetricsCache::Metrics& endMetrics)
  {
    LayoutLine line;
    line.cpFirst = cp;
    line.cpLim = cp + static_cast<long>(to - from) + (last ? 1 : 0);
    long ascent = 0;
    long descent = 0;
    long x = left;
    long visibleEnd = left;
    for (size_t k = from; k < to; ++k) {
      const Atom& a = atoms_[k];
      ascent = std::max(ascent, a.ascent);
      descent = std::max(descent, a.descent);
      const long w = a.kind == AtomKind::Tab ? TabWidth(pf, x, k + 1, to) : a.width;
      const bool joins = a.kind == AtomKind::Char && !line.pieces.empty() && line.pieces.back().run == a.run &&
                         line.pieces.back().offset + line.pieces.back().length == a.offset;
      if (joins) {
        line.pieces.back().length += 1;
        line.pieces.back().width += w;
      } else {
        line.pieces.push_back(LinePiece{a.run, cp + static_cast<long>(k - from), a.offset, 1, x, w,
                                        a.kind == AtomKind::Char ? a.metrics : nullptr});
      }
      x += w;
      if (!a.space && a.kind != AtomKind::Break) {
        visibleEnd = x;
      }
    }
    if (ascent == 0 && descent == 0) {
      ascent = endMetrics.ascent;
      descent = endMetrics.descent;
    }
    const long natural = ascent + descent;
    long height = natural;
    if (pf.lineSpacingMultiple && pf.lineSpacing > 0) {
      height = natural * pf.lineSpacing / 240;
    } else if (pf.lineSpacing > 0) {
      height = std::max(natural, static_cast<long>(pf.lineSpacing));
    } else if (pf.lineSpacing < 0) {
      height = -static_cast<long>(pf.lineSpacing);
    }
    line.height = std::max(1L, height);
    line.ascent = ascent + (height - natural);
    long shift = 0;
    if (pf.alignment == Alignment::Centre) {
      shift = std::max(0L, (right - visibleEnd) / 2);
    } else if (pf.alignment == Alignment::Right) {
      shift = std::max(0L, right - visibleEnd);
    }
    for (LinePiece& piece : line.pieces) {
      piece.x += shift;
    }
    line.x = 0;
    line.right = right;
    return line;
  }

  const RichDocument& document_;
  FontMetricsCache& fonts_;
  std::vector<Atom> atoms_;
};

}  // namespace

Layout Layout::Build(const RichDocument& document, FontMetricsCache& fonts, long width, long alignWidth)
{
  Layout layout;
  layout.width_ = std::max(1L, width);
  layout.textLength_ = document.Length();
  ParagraphBreaker breaker(document, fonts);
  long cp = 0;
  long y = 0;
  bool pageBreak = false;
  std::vector<LayoutLine> lines;
  for (size_t b = 0; b < document.blocks.size(); ++b) {
    const Block& block = document.blocks[b];
    const bool lastBlock = b + 1 == document.blocks.size();
    if (block.kind == BlockKind::PageBreak) {
      pageBreak = true;
      cp += 1;
      continue;
    }
    if (block.kind == BlockKind::Paragraph) {
      lines.clear();
      const ParagraphFormat& pf = block.paragraph.format;
      breaker.Lay(block.paragraph, cp, layout.width_, alignWidth, !lastBlock, lines);
      for (size_t k = 0; k < lines.size(); ++k) {
        Band band;
        band.cpFirst = lines[k].cpFirst;
        band.cpLim = lines[k].cpLim;
        band.top = y;
        const long before = k == 0 ? pf.spaceBefore : 0;
        const long after = k + 1 == lines.size() ? pf.spaceAfter : 0;
        band.height = before + lines[k].height + after;
        band.pageBreakBefore = pageBreak && k == 0;
        band.keepWithNext = pf.keepWithNext && k + 1 == lines.size();
        lines[k].top = before;
        for (const LinePiece& piece : lines[k].pieces) {
          layout.contentWidth_ = std::max(layout.contentWidth_, piece.x + piece.width);
        }
        band.lines.push_back(std::move(lines[k]));
        y += band.height;
        layout.bands_.push_back(std::move(band));
      }
      pageBreak = false;
      cp = lastBlock ? layout.textLength_ : cp + block.Length();
      continue;
    }
    // A table row: its cells side by side, each wrapping in its own column.
    const TableRow& row = block.row;
    Band band;
    band.cpFirst = cp;
    band.top = y;
    band.pageBreakBefore = pageBreak;
    pageBreak = false;
    long cellLeft = row.left;
    long contentHeight = 0;
    struct CellLines {
      size_t first, end;
      long height;
    };
    std::vector<CellLines> cellLines;
    for (const TableCell& cell : row.cells) {
      const long cellRight = std::max(cellLeft + 2 * row.gap + 1, static_cast<long>(cell.rightBoundary));
      const long textLeft = cellLeft + row.gap;
      const long textWidth = std::max(1L, cellRight - cellLeft - 2 * row.gap);
      long cellY = 0;
      const size_t firstLine = band.lines.size();
      for (const Paragraph& paragraph : cell.paragraphs) {
        lines.clear();
        const long h = breaker.Lay(paragraph, cp, textWidth, textWidth, true, lines);
        for (LayoutLine& line : lines) {
          line.top += cellY;
          line.x = textLeft;
          line.right += textLeft;
          cp = line.cpLim;
          band.lines.push_back(std::move(line));
        }
        cellY += h;
      }
      band.cells.push_back(CellFrame{RECT{static_cast<LONG>(cellLeft), 0, static_cast<LONG>(cellRight), 0}, &cell, &row});
      cellLines.push_back({firstLine, band.lines.size(), cellY});
      contentHeight = std::max(contentHeight, cellY);
      cellLeft = cellRight;
      layout.contentWidth_ = std::max(layout.contentWidth_, cellRight);
    }
    long rowHeight = contentHeight;
    if (row.height > 0) {
      rowHeight = std::max(rowHeight, static_cast<long>(row.height));
    } else if (row.height < 0) {
      rowHeight = -static_cast<long>(row.height);
    }
    band.height = std::max(1L, rowHeight);
    // Vertical alignment of each cell's lines within the row.
    for (size_t c = 0; c < band.cells.size(); ++c) {
      CellFrame& frame = band.cells[c];
      frame.rect.bottom = static_cast<LONG>(band.height);
      long shift = 0;
      if (frame.cell->verticalAlignment == VerticalAlignment::Centre) {
        shift = (band.height - cellLines[c].height) / 2;
      } else if (frame.cell->verticalAlignment == VerticalAlignment::Bottom) {
        shift = band.height - cellLines[c].height;
      }
      for (size_t k = cellLines[c].first; k < cellLines[c].end; ++k) {
        band.lines[k].top += std::max(0L, shift);
      }
    }
    band.cpLim = cp;
    y += band.height;
    layout.bands_.push_back(std::move(band));
  }
  if (layout.bands_.empty()) {
    Band band;
    band.height = 1;
    layout.bands_.push_back(band);
  }
  return layout;
}

long Layout::Height() const { return bands_.empty() ? 0 : bands_.back().top + bands_.back().height; }

int Layout::LineFromChar(long cp) const
{
  if (cp < 0) {
    return 0;
  }
  auto it = std::upper_bound(bands_.begin(), bands_.end(), cp,
                             [](long c, const Band& band) { return c < band.cpLim; });
  if (it == bands_.end()) {
    return LineCount() - 1;
  }
  return static_cast<int>(it - bands_.begin());
}

int Layout::LineFromY(long y) const
{
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                             [](long v, const Band& band) { return v < band.top + band.height; });
  if (it == bands_.end()) {
    return LineCount() - 1;
  }
  return static_cast<int>(it - bands_.begin());
}

namespace {

// Whether the line ends in a paragraph mark (which no piece covers).
bool EndsInMark(const LayoutLine& line)
{
  const long piecesEnd = line.pieces.empty() ? line.cpFirst : line.pieces.back().cp + line.pieces.back().length;
  return piecesEnd < line.cpLim;
}

long LineEndX(const LayoutLine& line)
{
  return line.pieces.empty() ? 0 : line.pieces.back().x + line.pieces.back().width;
}

long CharX(const LinePiece& piece, long cp)
{
  long x = piece.x;
  if (piece.metrics != nullptr) {
    for (long k = 0; k < cp - piece.cp && k < piece.length; ++k) {
      x += piece.metrics->advance[static_cast<unsigned char>(piece.run->text[static_cast<size_t>(piece.offset + k)])];
    }
  } else if (cp > piece.cp) {
    x += piece.width;
  }
  return x;
}

}  // namespace

POINT Layout::PointFromChar(long cp) const
{
  const Band& band = bands_[static_cast<size_t>(LineFromChar(cp))];
  for (const LayoutLine& line : band.lines) {
    if (cp >= line.cpFirst && (cp < line.cpLim || &line == &band.lines.back())) {
      long x = line.x;
      bool found = false;
      for (const LinePiece& piece : line.pieces) {
        if (cp < piece.cp + piece.length) {
          x = line.x + CharX(piece, cp);
          found = true;
          break;
        }
      }
      if (!found) {
        x = line.x + LineEndX(line);
      }
      return POINT{static_cast<LONG>(x), static_cast<LONG>(band.top + line.top)};
    }
  }
  return POINT{0, static_cast<LONG>(band.top)};
}

long Layout::CharFromPoint(long x, long y) const
{
  if (y < 0) {
    return 0;
  }
  if (y >= Height()) {
    return textLength_;
  }
  const Band& band = bands_[static_cast<size_t>(LineFromY(y))];
  const long inBand = y - band.top;
  const LayoutLine* best = nullptr;
  for (const LayoutLine& line : band.lines) {
    const bool column = band.cells.empty() || (x >= line.x - 1 && x < line.right + 1) ||
                        (&line == &band.lines.front() && x < line.x);
    if (!column) {
      continue;
    }
    if (best == nullptr || inBand >= line.top) {
      best = &line;
    }
    if (inBand < line.top + line.height) {
      break;
    }
  }
  if (best == nullptr) {
    best = &band.lines.back();
  }
  const long lx = x - best->x;
  for (const LinePiece& piece : best->pieces) {
    if (lx < piece.x + piece.width) {
      long cx = piece.x;
      for (long k = 0; k < piece.length; ++k) {
        const long w = piece.metrics != nullptr
                           ? piece.metrics->advance[static_cast<unsigned char>(
                                 piece.run->text[static_cast<size_t>(piece.offset + k)])]
                           : piece.width;
        if (lx < cx + w / 2) {
          return piece.cp + k;
        }
        cx += w;
      }
      return piece.cp + piece.length;
    }
  }
  // Past the line's end: before its end mark or line break, or at its end when it wrapped.
  return std::min(textLength_, EndsInMark(*best) ? best->cpLim - 1 : best->cpLim);
}

Layout::Page Layout::PageFrom(long cpFirst, long height, long cpLimit) const
{
  Page page;
  page.firstBand = static_cast<size_t>(LineFromChar(cpFirst));
  size_t b = page.firstBand;
  while (b < bands_.size()) {
    const Band& band = bands_[b];
    if (b > page.firstBand) {
      if (band.pageBreakBefore || band.top + band.height - bands_[page.firstBand].top > height) {
        break;
      }
      if (cpLimit >= 0 && band.cpFirst >= cpLimit) {
        break;
      }
    }
    ++b;
  }
  // A page cut after headings kept with what follows moves them over, unless they are all the page holds.
  if (b < bands_.size() && !bands_[b].pageBreakBefore && (cpLimit < 0 || bands_[b].cpFirst < cpLimit)) {
    size_t cut = b;
    while (cut > page.firstBand + 1 && bands_[cut - 1].keepWithNext) {
      --cut;
    }
    if (cut > page.firstBand + 1) {
      b = cut;
    }
  }
  page.endBand = b;
  page.cpNext = b < bands_.size() ? bands_[b].cpFirst : textLength_;
  return page;
}

// ---------------------------------------------------------------------------------------------------------------
// Painting

namespace {

// The fonts of one paint, realised at the target's size and dropped afterwards.
class PaintFonts {
public:
  PaintFonts(HDC dc, const RichDocument& document, double unitsY) : dc_(dc), document_(document), unitsY_(unitsY) {}
  ~PaintFonts()
  {
    if (original_ != nullptr) {
      SelectObject(dc_, original_);
    }
    for (auto& [key, font] : fonts_) {
      DeleteObject(font);
    }
  }
  PaintFonts(const PaintFonts&) = delete;
  PaintFonts& operator=(const PaintFonts&) = delete;

  void Select(const CharFormat& format)
  {
    const FontEntry& font = FontOf(document_, format);
    std::string key = MetricsKey(font, format) + (format.underline ? "u" : "");
    auto found = fonts_.find(key);
    if (found == fonts_.end()) {
      const int height = -std::max(1, static_cast<int>(std::lround(SizeTwips(format) * unitsY_)));
      found = fonts_.emplace(std::move(key), CreateFontFor(document_, format, height)).first;
    }
    HGDIOBJ old = SelectObject(dc_, found->second);
    if (original_ == nullptr) {
      original_ = old;
    }
  }

private:
  HDC dc_;
  const RichDocument& document_;
  double unitsY_;
  HGDIOBJ original_ = nullptr;
  std::map<std::string, HFONT> fonts_;
};

void DrawPicture(HDC dc, const Picture& picture, const RECT& r)
{
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, picture.width, picture.height,
                picture.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

void DrawBorderLine(HDC dc, const RichDocument& document, const CellBorder& border, int x1, int y1, int x2, int y2,
                    double units)
{
  if (border.width <= 0) {
    return;
  }
  const int width = std::max(1, static_cast<int>(std::lround(border.width * units)));
  HPEN pen = CreatePen(PS_SOLID, width, ColorOf(document, border.color, RGB(0, 0, 0)));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace

void Layout::Paint(HDC dc, const RichDocument& document, size_t firstBand, size_t endBand, long originX,
                   long originY, POINT at, double unitsX, double unitsY, const PaintOptions& options) const
{
  endBand = std::min(endBand, bands_.size());
  auto toX = [&](long twips) { return static_cast<int>(at.x + std::lround((twips - originX) * unitsX)); };
  auto toY = [&](long twips) { return static_cast<int>(at.y + std::lround((twips - originY) * unitsY)); };

  PaintFonts fonts(dc, document, unitsY);
  const int oldBkMode = SetBkMode(dc, TRANSPARENT);
  const UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_BASELINE);
  const COLORREF oldColor = GetTextColor(dc);
  std::vector<INT> dx;
  for (size_t b = firstBand; b < endBand; ++b) {
    const Band& band = bands_[b];
    for (const CellFrame& frame : band.cells) {
      const RECT r{toX(frame.rect.left), toY(band.top), toX(frame.rect.right), toY(band.top + band.height)};
      if (frame.cell->shading > 0) {
        HBRUSH brush = CreateSolidBrush(ColorOf(document, frame.cell->shading, RGB(255, 255, 255)));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
      }
    }
    for (const LayoutLine& line : band.lines) {
      const long baseline = band.top + line.top + line.ascent;
      for (const LinePiece& piece : line.pieces) {
        if (piece.run == nullptr) {
          continue;
        }
        const long left = line.x + piece.x;
        if (piece.run->kind == RunKind::Picture) {
          if (piece.run->picture) {
            const RECT r{toX(left), toY(baseline - piece.run->picture->DisplayHeight()), toX(left + piece.width),
                         toY(baseline)};
            DrawPicture(dc, *piece.run->picture, r);
          }
          continue;
        }
        const CharFormat& format = piece.run->format;
        if (format.highlight > 0) {
          const RECT r{toX(left), toY(band.top + line.top), toX(left + piece.width),
                       toY(band.top + line.top + line.height)};
          HBRUSH brush = CreateSolidBrush(ColorOf(document, format.highlight, RGB(255, 255, 255)));
          FillRect(dc, &r, brush);
          DeleteObject(brush);
        }
        if (piece.run->kind != RunKind::Text || piece.metrics == nullptr) {
          continue;
        }
        fonts.Select(format);
        SetTextColor(dc, ColorOf(document, format.color, RGB(0, 0, 0)));
        // Every character at the place the layout gave it, whatever the device's own widths.
        dx.resize(static_cast<size_t>(piece.length));
        long x = left;
        int deviceX = toX(x);
        for (long k = 0; k < piece.length; ++k) {
          x += piece.metrics->advance[static_cast<unsigned char>(piece.run->text[static_cast<size_t>(piece.offset + k)])];
          const int next = toX(x);
          dx[static_cast<size_t>(k)] = next - deviceX;
          deviceX = next;
        }
        ExtTextOut(dc, toX(left), toY(baseline), 0, nullptr, piece.run->text.data() + piece.offset,
                   static_cast<UINT>(piece.length), dx.data());
      }
    }
    for (const CellFrame& frame : band.cells) {
      const int l = toX(frame.rect.left);
      const int r = toX(frame.rect.right);
      const int t = toY(band.top);
      const int bt = toY(band.top + band.height);
      const TableCell& cell = *frame.cell;
      const TableRow& row = *frame.row;
      const bool firstCell = &cell == &row.cells.front();
      const bool lastCell = &cell == &row.cells.back();
      DrawBorderLine(dc, document, cell.top.width > 0 ? cell.top : row.rowTop, l, t, r, t, unitsY);
      DrawBorderLine(dc, document, cell.bottom.width > 0 ? cell.bottom : row.rowBottom, l, bt, r, bt, unitsY);
      DrawBorderLine(dc, document, cell.left.width > 0 || !firstCell ? cell.left : row.rowLeft, l, t, l, bt, unitsX);
      DrawBorderLine(dc, document, cell.right.width > 0 || !lastCell ? cell.right : row.rowRight, r, t, r, bt, unitsX);
    }
    // The selection, inverted over what was drawn.
    if (options.selectionMax > options.selectionMin && band.cpLim > options.selectionMin &&
        band.cpFirst < options.selectionMax) {
      for (const LayoutLine& line : band.lines) {
        const long from = std::max(line.cpFirst, options.selectionMin);
        const long to = std::min(line.cpLim, options.selectionMax);
        if (from >= to) {
          continue;
        }
        long x1 = -1;
        long x2 = -1;
        for (const LinePiece& piece : line.pieces) {
          if (piece.cp + piece.length <= from || piece.cp >= to) {
            continue;
          }
          const long a = line.x + CharX(piece, std::max(from, piece.cp));
          const long e = line.x + CharX(piece, std::min(to, piece.cp + piece.length));
          x1 = x1 < 0 ? a : std::min(x1, a);
          x2 = std::max(x2, e);
        }
        if (to == line.cpLim && EndsInMark(line)) {
          const long end = line.x + LineEndX(line);
          x1 = x1 < 0 ? end : x1;
          x2 = std::max(x2, end + kEndMarkWidth);
        }
        if (x1 >= 0 && x2 > x1) {
          const int top = toY(band.top + line.top);
          PatBlt(dc, toX(x1), top, toX(x2) - toX(x1), toY(band.top + line.top + line.height) - top, DSTINVERT);
        }
      }
    }
  }
  SetTextColor(dc, oldColor);
  SetTextAlign(dc, oldAlign);
  SetBkMode(dc, oldBkMode);
}

}  // namespace richedit
