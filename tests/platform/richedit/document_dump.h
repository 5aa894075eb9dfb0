// A short text form of a rich document for tests to compare against:
//   P[qc li720] "text" b,f2,fs20"text" <tab> <line> <pict 2x3> <u+3BB>
//   R[left0 gap50] |3000 t15 l15 b15 r15: P "a" |5000: P "b"
//   PAGE
// one block per line; formats show only what differs from the defaults; the final paragraph is written too.
#pragma once

#include "platform/richedit/rich_document.h"

#include <cstdio>
#include <string>

namespace richedit::testing {

inline std::string DumpFormat(const CharFormat& f) {
  std::string s;
  auto add = [&](const std::string& item) { s += (s.empty() ? "" : ",") + item; };
  if (f.bold) add("b");
  if (f.italic) add("i");
  if (f.underline) add("ul");
  if (f.font != 0) add("f" + std::to_string(f.font));
  if (f.size != 24) add("fs" + std::to_string(f.size));
  if (f.color != 0) add("cf" + std::to_string(f.color));
  if (f.highlight != 0) add("hl" + std::to_string(f.highlight));
  return s;
}

inline std::string DumpParagraph(const Paragraph& p) {
  std::string s = "P";
  std::string words;
  auto add = [&](const std::string& item) { words += (words.empty() ? "" : " ") + item; };
  const ParagraphFormat& f = p.format;
  if (f.alignment == Alignment::Right) add("qr");
  if (f.alignment == Alignment::Centre) add("qc");
  if (f.alignment == Alignment::Justify) add("qj");
  if (f.leftIndent) add("li" + std::to_string(f.leftIndent));
  if (f.rightIndent) add("ri" + std::to_string(f.rightIndent));
  if (f.firstLineIndent) add("fi" + std::to_string(f.firstLineIndent));
  if (f.spaceBefore) add("sb" + std::to_string(f.spaceBefore));
  if (f.spaceAfter) add("sa" + std::to_string(f.spaceAfter));
  if (f.keepWithNext) add("keepn");
  for (const std::string& name : p.bookmarks) add("mark:" + name);
  if (f.lineSpacing) add("sl" + std::to_string(f.lineSpacing) + (f.lineSpacingMultiple ? "m" : ""));
  for (const TabStop& t : f.tabs) {
    const char* kind = t.kind == TabKind::Right ? "r" : t.kind == TabKind::Centre ? "c"
                       : t.kind == TabKind::Decimal ? "d" : "";
    add("tx" + std::string(kind) + std::to_string(t.position));
  }
  if (!words.empty()) s += "[" + words + "]";
  for (const Run& r : p.runs) {
    s += " " + DumpFormat(r.format);
    if (!r.field.empty()) s += "<field " + r.field + ">";
    switch (r.kind) {
      case RunKind::Text:
        if (r.unicode) {
          char buffer[16];
          std::snprintf(buffer, sizeof buffer, "<u+%X>", static_cast<unsigned>(r.unicode));
          s += buffer;
        } else {
          s += "\"" + r.text + "\"";
        }
        break;
      case RunKind::Tab: s += "<tab>"; break;
      case RunKind::LineBreak: s += "<line>"; break;
      case RunKind::Picture:
        s += "<pict " + std::to_string(r.picture->width) + "x" + std::to_string(r.picture->height) + ">";
        break;
    }
  }
  return s;
}

inline std::string DumpBorder(const char* side, const CellBorder& b) {
  if (b.width == 0) return "";
  return std::string(" ") + side + std::to_string(b.width) + (b.color ? "c" + std::to_string(b.color) : "");
}

inline std::string DumpBlocks(const std::vector<Block>& blocks) {
  std::string s;
  for (const Block& block : blocks) {
    switch (block.kind) {
      case BlockKind::Paragraph: s += DumpParagraph(block.paragraph); break;
      case BlockKind::PageBreak: s += "PAGE"; break;
      case BlockKind::TableRow: {
        const TableRow& row = block.row;
        s += "R[left" + std::to_string(row.left) + " gap" + std::to_string(row.gap);
        if (row.height) s += " h" + std::to_string(row.height);
        s += "]";
        for (const TableCell& cell : row.cells) {
          s += " |" + std::to_string(cell.rightBoundary) + DumpBorder("t", cell.top) + DumpBorder("l", cell.left) +
               DumpBorder("b", cell.bottom) + DumpBorder("r", cell.right);
          if (cell.shading) s += " bg" + std::to_string(cell.shading);
          if (cell.verticalAlignment == VerticalAlignment::Centre) s += " vc";
          if (cell.verticalAlignment == VerticalAlignment::Bottom) s += " vb";
          s += ":";
          for (const Paragraph& p : cell.paragraphs) s += " " + DumpParagraph(p);
        }
        break;
      }
    }
    s += "\n";
  }
  return s;
}

}  // namespace richedit::testing
