#include "platform/richedit/rich_document.h"

#include <algorithm>
#include <functional>
#include <map>
#include <utility>

namespace richedit {

namespace {

// Twips per pixel at the 96 dpi a picture without a goal size is shown at.
constexpr int kTwipsPerPixel = 15;

long ParagraphsLength(const std::vector<Paragraph>& paragraphs) {
  long length = 0;
  for (const Paragraph& paragraph : paragraphs) length += paragraph.TextLength() + 1;
  return length;
}

// The runs of [from, to) of a paragraph's text (offsets within the paragraph), text runs cut where needed.
std::vector<Run> CopyRuns(const Paragraph& paragraph, long from, long to) {
  std::vector<Run> out;
  long start = 0;
  for (const Run& run : paragraph.runs) {
    const long end = start + run.Length();
    const long a = std::max(from, start);
    const long b = std::min(to, end);
    if (a < b) {
      Run piece = run;
      if (run.kind == RunKind::Text) piece.text = run.text.substr(static_cast<size_t>(a - start),
                                                                  static_cast<size_t>(b - a));
      out.push_back(std::move(piece));
    }
    start = end;
  }
  return out;
}

Paragraph PartOf(const Paragraph& paragraph, long from, long to) {
  Paragraph part;
  part.format = paragraph.format;
  part.endFormat = paragraph.endFormat;
  part.runs = CopyRuns(paragraph, from, to);
  return part;
}

char RunChar(const Run& run) {
  switch (run.kind) {
    case RunKind::Tab: return '\t';
    case RunKind::LineBreak: return '\v';
    case RunKind::Picture: return ' ';
    case RunKind::Text: break;
  }
  return '?';
}

void AppendRunsText(const Paragraph& paragraph, std::string& out) {
  for (const Run& run : paragraph.runs) {
    if (run.kind == RunKind::Text) out += run.text;
    else out += RunChar(run);
  }
}

// Calls `visit` for every paragraph of the flat text and `pageBreak` for every page break, with the flat index
// where each starts and whether the paragraph's end mark counts.
struct FlatWalker {
  std::function<void(const Paragraph&, size_t block, int cell, size_t paragraph, long start, bool marked)> visit;
  std::function<void(size_t block, long start)> pageBreak;

  long Walk(const std::vector<Block>& blocks) const {
    long cp = 0;
    for (size_t b = 0; b < blocks.size(); ++b) {
      const Block& block = blocks[b];
      const bool last = b + 1 == blocks.size();
      switch (block.kind) {
        case BlockKind::Paragraph:
          if (visit) visit(block.paragraph, b, -1, 0, cp, !last);
          cp += block.paragraph.TextLength() + (last ? 0 : 1);
          break;
        case BlockKind::PageBreak:
          if (pageBreak) pageBreak(b, cp);
          cp += 1;
          break;
        case BlockKind::TableRow:
          for (size_t c = 0; c < block.row.cells.size(); ++c) {
            const std::vector<Paragraph>& paragraphs = block.row.cells[c].paragraphs;
            for (size_t p = 0; p < paragraphs.size(); ++p) {
              if (visit) visit(paragraphs[p], b, static_cast<int>(c), p, cp, true);
              cp += paragraphs[p].TextLength() + 1;
            }
          }
          break;
      }
    }
    return cp;
  }
};

// Joins `right` to the end of `left`: left's final paragraph (which has no end mark) and right's first block
// become one paragraph when right starts with one. A paragraph's format lives in its end mark, so the joined
// paragraph takes the format of the part whose mark it keeps: the right one's, unless `rightIsUnmarked` (an
// inserted piece of one paragraph, which has no mark).
void Concatenate(std::vector<Block>& left, std::vector<Block> right, bool rightIsUnmarked) {
  if (right.empty()) return;
  if (left.empty()) {
    left = std::move(right);
    return;
  }
  Paragraph& tail = left.back().paragraph;
  if (right.front().kind == BlockKind::Paragraph) {
    Paragraph& head = right.front().paragraph;
    if (!(rightIsUnmarked && right.size() == 1)) {
      tail.format = head.format;
      tail.endFormat = head.endFormat;
    }
    for (Run& run : head.runs) tail.runs.push_back(std::move(run));
    right.erase(right.begin());
  } else if (tail.runs.empty()) {
    left.pop_back();
  }
  for (Block& block : right) left.push_back(std::move(block));
}

void ForEachParagraph(std::vector<Block>& blocks, const std::function<void(Paragraph&)>& fn) {
  for (Block& block : blocks) {
    if (block.kind == BlockKind::Paragraph) fn(block.paragraph);
    if (block.kind == BlockKind::TableRow) {
      for (TableCell& cell : block.row.cells) {
        for (Paragraph& paragraph : cell.paragraphs) fn(paragraph);
      }
    }
  }
}

void NormalizeParagraph(Paragraph& paragraph) {
  std::vector<Run> merged;
  for (Run& run : paragraph.runs) {
    if (run.kind == RunKind::Text && run.text.empty()) continue;
    if (run.kind == RunKind::Text && run.unicode != 0) run.text = "?";  // one character, as it is written
    if (run.kind == RunKind::Picture && !run.picture) continue;
    if (!merged.empty() && run.kind == RunKind::Text && merged.back().kind == RunKind::Text &&
        run.unicode == 0 && merged.back().unicode == 0 && merged.back().format == run.format &&
        merged.back().field == run.field) {
      merged.back().text += run.text;
      continue;
    }
    merged.push_back(std::move(run));
  }
  paragraph.runs = std::move(merged);
}

}  // namespace

int Picture::DisplayWidth() const {
  const long long goal = goalWidth > 0 ? goalWidth : static_cast<long long>(width) * kTwipsPerPixel;
  return static_cast<int>(std::clamp(goal * scaleX / 100, 0LL, 1LL << 30));
}

int Picture::DisplayHeight() const {
  const long long goal = goalHeight > 0 ? goalHeight : static_cast<long long>(height) * kTwipsPerPixel;
  return static_cast<int>(std::clamp(goal * scaleY / 100, 0LL, 1LL << 30));
}

long Paragraph::TextLength() const {
  long length = 0;
  for (const Run& run : runs) length += run.Length();
  return length;
}

Block Block::MakeParagraph(Paragraph paragraph) {
  Block block;
  block.kind = BlockKind::Paragraph;
  block.paragraph = std::move(paragraph);
  return block;
}

Block Block::MakeRow(TableRow row) {
  Block block;
  block.kind = BlockKind::TableRow;
  block.row = std::move(row);
  return block;
}

Block Block::MakePageBreak() {
  Block block;
  block.kind = BlockKind::PageBreak;
  return block;
}

long Block::Length() const {
  switch (kind) {
    case BlockKind::Paragraph: return paragraph.TextLength() + 1;
    case BlockKind::PageBreak: return 1;
    case BlockKind::TableRow: {
      long length = 0;
      for (const TableCell& cell : row.cells) length += ParagraphsLength(cell.paragraphs);
      return length;
    }
  }
  return 0;
}

RichDocument::RichDocument() {
  fonts.push_back(FontEntry{"Arial", 204, FontFamily::Swiss});
  colors.push_back(ColorEntry{0, true});
  blocks.push_back(Block::MakeParagraph({}));
}

long RichDocument::Length() const { return FlatWalker{}.Walk(blocks); }

std::string RichDocument::GetText(long cpMin, long cpMax) const {
  std::string all;
  FlatWalker walker;
  walker.visit = [&](const Paragraph& paragraph, size_t, int, size_t, long, bool marked) {
    AppendRunsText(paragraph, all);
    if (marked) all += '\r';
  };
  walker.pageBreak = [&](size_t, long) { all += '\f'; };
  walker.Walk(blocks);
  const long length = static_cast<long>(all.size());
  if (cpMax < 0 || cpMax > length) cpMax = length;
  cpMin = std::clamp(cpMin, 0L, length);
  if (cpMin >= cpMax) return {};
  return all.substr(static_cast<size_t>(cpMin), static_cast<size_t>(cpMax - cpMin));
}

TextPosition RichDocument::Locate(long cp) const {
  cp = std::clamp(cp, 0L, Length());
  TextPosition found;
  bool done = false;
  FlatWalker walker;
  walker.visit = [&](const Paragraph& paragraph, size_t b, int c, size_t p, long start, bool) {
    const long length = paragraph.TextLength();
    if (done || cp < start || cp > start + length) return;
    long offset = cp - start;
    size_t r = 0;
    for (; r < paragraph.runs.size(); ++r) {
      const long runLength = paragraph.runs[r].Length();
      if (offset < runLength) break;
      offset -= runLength;
    }
    found = TextPosition{b, c, p, r, r < paragraph.runs.size() ? offset : 0};
    done = true;
  };
  walker.pageBreak = [&](size_t b, long start) {
    if (!done && cp == start) {
      found = TextPosition{b, -1, 0, 0, 0};
      done = true;
    }
  };
  walker.Walk(blocks);
  return found;
}

long RichDocument::CharIndex(const TextPosition& position) const {
  long found = -1;
  FlatWalker walker;
  walker.visit = [&](const Paragraph& paragraph, size_t b, int c, size_t p, long start, bool) {
    if (b != position.block || c != position.cell || p != position.paragraph) return;
    long cp = start;
    for (size_t r = 0; r < position.run && r < paragraph.runs.size(); ++r) cp += paragraph.runs[r].Length();
    if (position.run < paragraph.runs.size()) {
      cp += std::clamp(position.offset, 0L, paragraph.runs[position.run].Length());
    }
    found = cp;
  };
  walker.pageBreak = [&](size_t b, long start) {
    if (b == position.block) found = start;
  };
  const long length = walker.Walk(blocks);
  return found < 0 ? length : found;
}

std::string RichDocument::PlainText() const {
  std::string out;
  auto paragraphText = [](const Paragraph& paragraph, bool inCell) {
    std::string text;
    for (const Run& run : paragraph.runs) {
      switch (run.kind) {
        case RunKind::Text: text += run.text; break;
        case RunKind::Tab: text += '\t'; break;
        case RunKind::LineBreak: text += inCell ? " " : "\r\n"; break;
        case RunKind::Picture: break;
      }
    }
    return text;
  };
  for (size_t b = 0; b < blocks.size(); ++b) {
    const Block& block = blocks[b];
    switch (block.kind) {
      case BlockKind::Paragraph:
        out += paragraphText(block.paragraph, false);
        if (b + 1 < blocks.size()) out += "\r\n";
        break;
      case BlockKind::PageBreak: out += '\f'; break;
      case BlockKind::TableRow:
        for (size_t c = 0; c < block.row.cells.size(); ++c) {
          if (c > 0) out += '\t';
          const std::vector<Paragraph>& paragraphs = block.row.cells[c].paragraphs;
          for (size_t p = 0; p < paragraphs.size(); ++p) {
            if (p > 0) out += ' ';
            out += paragraphText(paragraphs[p], true);
          }
        }
        out += "\r\n";
        break;
    }
  }
  return out;
}

RichDocument RichDocument::Slice(long cpMin, long cpMax) const {
  const long length = Length();
  cpMin = std::clamp(cpMin, 0L, length);
  cpMax = std::clamp(cpMax, cpMin, length);

  RichDocument part;
  part.fonts = fonts;
  part.colors = colors;
  part.defaultFont = defaultFont;
  part.page = page;
  part.blocks.clear();

  // Rows wholly inside the range are copied whole; of the others, the covered cell paragraphs.
  std::vector<long> blockStart(blocks.size() + 1, 0);
  {
    long cp = 0;
    for (size_t b = 0; b < blocks.size(); ++b) {
      blockStart[b] = cp;
      cp += (b + 1 == blocks.size() && blocks[b].kind == BlockKind::Paragraph) ? blocks[b].paragraph.TextLength()
                                                                                : blocks[b].Length();
    }
    blockStart[blocks.size()] = cp;
  }

  bool pendingFinal = false;  // the last block pushed is a paragraph cut before its end mark
  FlatWalker walker;
  walker.visit = [&](const Paragraph& paragraph, size_t b, int c, size_t p, long start, bool marked) {
    if (c >= 0 && blockStart[b] >= cpMin && blockStart[b + 1] <= cpMax) {
      if (c == 0 && p == 0) {
        part.blocks.push_back(blocks[b]);
        pendingFinal = false;
      }
      return;
    }
    const long textEnd = start + paragraph.TextLength();
    const long end = textEnd + (marked ? 1 : 0);
    if (end <= cpMin || start >= cpMax) return;
    const long from = std::max(cpMin, start) - start;
    const long to = std::min(cpMax, textEnd) - start;
    part.blocks.push_back(Block::MakeParagraph(PartOf(paragraph, from, std::max(from, to))));
    pendingFinal = !(marked && cpMax > textEnd);
  };
  walker.pageBreak = [&](size_t, long start) {
    if (start >= cpMin && start < cpMax) {
      part.blocks.push_back(Block::MakePageBreak());
      pendingFinal = false;
    }
  };
  walker.Walk(blocks);
  if (!pendingFinal) {
    Paragraph final;
    const TextPosition end = Locate(cpMax);
    if (end.cell < 0 && blocks[end.block].kind == BlockKind::Paragraph) {
      final.format = blocks[end.block].paragraph.format;
      final.endFormat = blocks[end.block].paragraph.endFormat;
    }
    part.blocks.push_back(Block::MakeParagraph(std::move(final)));
  }
  part.Normalize();
  return part;
}

long RichDocument::Replace(long cpMin, long cpMax, const RichDocument& piece) {
  const long length = Length();
  cpMin = std::clamp(cpMin, 0L, length);
  cpMax = std::clamp(cpMax, cpMin, length);

  // The piece in this document's font and colour indexes.
  std::vector<Block> inserted = piece.blocks;
  if (inserted.empty() || inserted.back().kind != BlockKind::Paragraph) inserted.push_back(Block::MakeParagraph({}));
  std::vector<int> fontMap(piece.fonts.size());
  for (size_t i = 0; i < piece.fonts.size(); ++i) fontMap[i] = FontIndex(piece.fonts[i]);
  std::vector<int> colorMap(piece.colors.size());
  for (size_t i = 0; i < piece.colors.size(); ++i) {
    colorMap[i] = piece.colors[i].automatic ? 0 : ColorIndex(piece.colors[i].rgb);
  }
  auto mapFormat = [&](CharFormat& format) {
    auto mapIndex = [](int index, const std::vector<int>& map, int fallback) {
      return index >= 0 && static_cast<size_t>(index) < map.size() ? map[static_cast<size_t>(index)] : fallback;
    };
    format.font = mapIndex(format.font, fontMap, defaultFont);
    format.color = mapIndex(format.color, colorMap, 0);
    format.highlight = mapIndex(format.highlight, colorMap, 0);
  };
  ForEachParagraph(inserted, [&](Paragraph& paragraph) {
    mapFormat(paragraph.endFormat);
    for (Run& run : paragraph.runs) mapFormat(run.format);
  });
  for (Block& block : inserted) {
    if (block.kind != BlockKind::TableRow) continue;
    for (TableCell& cell : block.row.cells) {
      for (CellBorder* border : {&cell.top, &cell.left, &cell.bottom, &cell.right}) {
        border->color = border->color >= 0 && static_cast<size_t>(border->color) < colorMap.size()
                            ? colorMap[static_cast<size_t>(border->color)] : 0;
      }
      cell.shading = cell.shading >= 0 && static_cast<size_t>(cell.shading) < colorMap.size()
                         ? colorMap[static_cast<size_t>(cell.shading)] : 0;
    }
  }

  // Inside one table cell the edit stays in the cell; the piece's rows and page breaks become paragraphs.
  const TextPosition first = Locate(cpMin);
  const TextPosition last = Locate(cpMax);
  if (first.cell >= 0 && first.block == last.block && first.cell == last.cell) {
    TableCell& cell = blocks[first.block].row.cells[static_cast<size_t>(first.cell)];
    const long cellStart = CharIndex(TextPosition{first.block, first.cell, 0, 0, 0});
    RichDocument cellDocument;
    cellDocument.blocks.clear();
    for (Paragraph& paragraph : cell.paragraphs) cellDocument.blocks.push_back(Block::MakeParagraph(paragraph));
    cellDocument.blocks.push_back(Block::MakeParagraph({}));
    std::vector<Block> flat;
    for (Block& block : inserted) {
      if (block.kind == BlockKind::Paragraph) flat.push_back(std::move(block));
      if (block.kind == BlockKind::TableRow) {
        for (TableCell& insertedCell : block.row.cells) {
          for (Paragraph& paragraph : insertedCell.paragraphs) flat.push_back(Block::MakeParagraph(paragraph));
        }
      }
    }
    if (flat.empty() || flat.back().kind != BlockKind::Paragraph) flat.push_back(Block::MakeParagraph({}));
    RichDocument flatPiece;
    flatPiece.fonts = fonts;
    flatPiece.colors = colors;
    flatPiece.blocks = std::move(flat);
    // Formats are already in this document's indexes: the cell document shares its tables.
    cellDocument.fonts = fonts;
    cellDocument.colors = colors;
    const long end = cellDocument.Replace(cpMin - cellStart, cpMax - cellStart, flatPiece);
    if (cellDocument.blocks.size() > 1 && cellDocument.blocks.back().paragraph.runs.empty()) {
      cellDocument.blocks.pop_back();
    }
    cell.paragraphs.clear();
    for (Block& block : cellDocument.blocks) cell.paragraphs.push_back(std::move(block.paragraph));
    Normalize();
    return cellStart + end;
  }

  std::vector<Block> result = Slice(0, cpMin).blocks;
  Concatenate(result, std::move(inserted), true);
  RichDocument upToEnd;
  upToEnd.blocks = result;
  const long end = upToEnd.Length();
  // Text put at the very end takes the format it brought: the empty final paragraph has nothing to keep.
  std::vector<Block> suffix = Slice(cpMax, length).blocks;
  const bool emptyEnd = suffix.size() == 1 && suffix[0].paragraph.runs.empty();
  Concatenate(result, std::move(suffix), emptyEnd);
  blocks = std::move(result);
  Normalize();
  return end;
}

int RichDocument::FontIndex(const FontEntry& font) {
  for (size_t i = 0; i < fonts.size(); ++i) {
    if (fonts[i] == font) return static_cast<int>(i);
  }
  fonts.push_back(font);
  return static_cast<int>(fonts.size() - 1);
}

int RichDocument::ColorIndex(COLORREF rgb) {
  for (size_t i = 1; i < colors.size(); ++i) {
    if (!colors[i].automatic && colors[i].rgb == rgb) return static_cast<int>(i);
  }
  if (colors.empty()) colors.push_back(ColorEntry{0, true});
  colors.push_back(ColorEntry{rgb, false});
  return static_cast<int>(colors.size() - 1);
}

void RichDocument::Normalize() {
  if (fonts.empty()) fonts.push_back(FontEntry{"Arial", 204, FontFamily::Swiss});
  if (colors.empty()) colors.push_back(ColorEntry{0, true});
  if (defaultFont < 0 || static_cast<size_t>(defaultFont) >= fonts.size()) defaultFont = 0;
  const int fontCount = static_cast<int>(fonts.size());
  const int colorCount = static_cast<int>(colors.size());
  auto clampFormat = [&](CharFormat& format) {
    if (format.font < 0 || format.font >= fontCount) format.font = defaultFont;
    if (format.color < 0 || format.color >= colorCount) format.color = 0;
    if (format.highlight < 0 || format.highlight >= colorCount) format.highlight = 0;
    if (format.size <= 0) format.size = 24;
  };
  auto normalizeBlocks = [&](std::vector<Block>& list, bool needsFinalParagraph) {
    for (Block& block : list) {
      if (block.kind != BlockKind::TableRow) continue;
      if (block.row.cells.empty()) block.row.cells.emplace_back();
      for (TableCell& cell : block.row.cells) {
        if (cell.paragraphs.empty()) cell.paragraphs.emplace_back();
        for (CellBorder* border : {&cell.top, &cell.left, &cell.bottom, &cell.right}) {
          if (border->color < 0 || border->color >= colorCount) border->color = 0;
        }
        if (cell.shading < 0 || cell.shading >= colorCount) cell.shading = 0;
      }
    }
    ForEachParagraph(list, [&](Paragraph& paragraph) {
      clampFormat(paragraph.endFormat);
      for (Run& run : paragraph.runs) clampFormat(run.format);
      NormalizeParagraph(paragraph);
    });
    if (needsFinalParagraph && (list.empty() || list.back().kind != BlockKind::Paragraph)) {
      list.push_back(Block::MakeParagraph({}));
    }
  };
  normalizeBlocks(blocks, true);
  normalizeBlocks(header, false);
  normalizeBlocks(footer, false);
}

RichDocument DocumentFromPlainText(std::string_view text, const CharFormat& format) {
  RichDocument document;
  document.blocks.clear();
  Paragraph current;
  current.endFormat = format;
  auto flushText = [&](std::string& pending) {
    if (pending.empty()) return;
    Run run;
    run.format = format;
    run.text = std::move(pending);
    current.runs.push_back(std::move(run));
    pending.clear();
  };
  std::string pending;
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flushText(pending);
      document.blocks.push_back(Block::MakeParagraph(std::move(current)));
      current = Paragraph{};
      current.endFormat = format;
    } else if (ch == '\t') {
      flushText(pending);
      Run tab;
      tab.kind = RunKind::Tab;
      tab.format = format;
      current.runs.push_back(std::move(tab));
    } else {
      pending += ch;
    }
  }
  flushText(pending);
  document.blocks.push_back(Block::MakeParagraph(std::move(current)));
  document.Normalize();
  return document;
}

}  // namespace richedit
