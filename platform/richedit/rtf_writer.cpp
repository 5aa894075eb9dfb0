#include "platform/richedit/rtf_writer.h"

#include "platform/richedit/symbol_font.h"

#include "platform/base/codepage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <strings.h>

namespace richedit {

namespace {

// Hex digits of picture data per line: other readers take any length, people prefer short lines.
constexpr size_t kHexPerLine = 128;

class Writer {
 public:
  explicit Writer(const RichDocument& document) : doc_(document) {}

  std::string Write();

 private:
  void Word(const char* word) {
    out_ += '\\';
    out_ += word;
    delimit_ = true;
  }
  void Word(const char* word, long long param) {
    out_ += '\\';
    out_ += word;
    out_ += std::to_string(param);
    delimit_ = true;
  }
  void Raw(const std::string& text) {
    out_ += text;
    delimit_ = false;
  }
  void Text(const std::string& text);
  void Unicode(char32_t codePoint);
  // Text of a destination (a field's instruction, a bookmark's name), in no font's character set.
  void Literal(const std::string& text);
  void SetFormat(const CharFormat& format);
  void ParagraphWords(const ParagraphFormat& format);
  void Paragraph(const richedit::Paragraph& paragraph, bool inTable);
  void Blocks(const std::vector<Block>& blocks, bool story);
  void Row(const TableRow& row);
  void Border(const char* side, const CellBorder& border);
  void PictureGroup(const Picture& picture);
  void Hex(const std::vector<std::uint8_t>& bytes);

  const RichDocument& doc_;
  std::string out_;
  bool fontTable_ = false;  // names are written in no font's character set
  bool delimit_ = false;  // the last thing written is a control word that text must be kept apart from
  CharFormat current_;
};

void Writer::Text(const std::string& text) {
  if (text.empty()) return;
  if (delimit_) out_ += ' ';
  delimit_ = false;
  // Readers take \'hh in a font of the ANSI character set as code page 1252: there, Cyrillic goes as \uN.
  const size_t font = static_cast<size_t>(current_.font);
  const bool ansiFont = !fontTable_ && font < doc_.fonts.size() && doc_.fonts[font].charset == 0;
  // A symbol font's bytes go as the characters they show, which every reader gets right.
  const bool symbolFont = !fontTable_ && font < doc_.fonts.size() && doc_.fonts[font].charset == 2;
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (symbolFont && SymbolCharacter(byte) != 0) {
      Unicode(SymbolCharacter(byte));
    } else if (ansiFont && byte >= 0x80) {
      Unicode(codepage::Cp1251ToUnicode(byte));
    } else if (byte == '\\' || byte == '{' || byte == '}') {
      out_ += '\\';
      out_ += ch;
    } else if (byte >= 0x80 || byte < 0x20) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\'%02x", byte);
      out_ += hex;
    } else {
      out_ += ch;
    }
  }
}

void Writer::Literal(const std::string& text) {
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte == '\\' || byte == '{' || byte == '}') {
      out_ += '\\';
      out_ += ch;
    } else if (byte >= 0x80 || byte < 0x20) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\'%02x", byte);
      out_ += hex;
    } else {
      out_ += ch;
    }
  }
  delimit_ = false;
}

void Writer::Unicode(char32_t codePoint) {
  auto unit = [&](unsigned value) {
    // \uN takes a signed 16-bit number.
    Word("u", value > 0x7FFF ? static_cast<long long>(value) - 0x10000 : value);
    out_ += '?';
    delimit_ = false;
  };
  if (codePoint > 0xFFFF) {
    const char32_t v = codePoint - 0x10000;
    unit(0xD800 + static_cast<unsigned>(v >> 10));
    unit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
  } else {
    unit(static_cast<unsigned>(codePoint));
  }
}

void Writer::SetFormat(const CharFormat& format) {
  if (format.font != current_.font) Word("f", format.font);
  if (format.size != current_.size) Word("fs", format.size);
  if (format.bold != current_.bold) format.bold ? Word("b") : Word("b0");
  if (format.italic != current_.italic) format.italic ? Word("i") : Word("i0");
  if (format.underline != current_.underline) format.underline ? Word("ul") : Word("ulnone");
  if (format.color != current_.color) Word("cf", format.color);
  if (format.highlight != current_.highlight) Word("highlight", format.highlight);
  current_ = format;
}

void Writer::ParagraphWords(const ParagraphFormat& format) {
  switch (format.alignment) {
    case Alignment::Left: break;
    case Alignment::Right: Word("qr"); break;
    case Alignment::Centre: Word("qc"); break;
    case Alignment::Justify: Word("qj"); break;
  }
  if (format.leftIndent != 0) Word("li", format.leftIndent);
  if (format.rightIndent != 0) Word("ri", format.rightIndent);
  if (format.firstLineIndent != 0) Word("fi", format.firstLineIndent);
  if (format.spaceBefore != 0) Word("sb", format.spaceBefore);
  if (format.spaceAfter != 0) Word("sa", format.spaceAfter);
  if (format.keepWithNext) Word("keepn");
  if (format.lineSpacing != 0) {
    Word("sl", format.lineSpacing);
    Word("slmult", format.lineSpacingMultiple ? 1 : 0);
  }
  for (const TabStop& tab : format.tabs) {
    if (tab.kind == TabKind::Right) Word("tqr");
    if (tab.kind == TabKind::Centre) Word("tqc");
    if (tab.kind == TabKind::Decimal) Word("tqdec");
    Word("tx", tab.position);
  }
}

void Writer::Paragraph(const richedit::Paragraph& paragraph, bool inTable) {
  Word("pard");
  if (inTable) Word("intbl");
  ParagraphWords(paragraph.format);
  for (const std::string& name : paragraph.bookmarks) {
    Raw("{\\*\\bkmkstart ");
    Literal(name);
    Raw("}{\\*\\bkmkend ");
    Literal(name);
    Raw("}");
  }
  const std::string* field = nullptr;  // the field whose result is being written
  CharFormat outsideField;
  for (const Run& run : paragraph.runs) {
    if (field != nullptr && run.field != *field) {
      Raw("}}");
      current_ = outsideField;  // the groups' end restores the format
      field = nullptr;
    }
    if (field == nullptr && !run.field.empty()) {
      field = &run.field;
      outsideField = current_;
      Raw("{\\field{\\*\\fldinst ");
      Literal(run.field);
      Raw("}{\\fldrslt ");
    }
    SetFormat(run.format);
    switch (run.kind) {
      case RunKind::Text:
        if (run.unicode != 0) Unicode(run.unicode);
        else Text(run.text);
        break;
      case RunKind::Tab: Word("tab"); break;
      case RunKind::LineBreak: Word("line"); break;
      case RunKind::Picture:
        if (run.picture) PictureGroup(*run.picture);
        break;
    }
  }
  if (field != nullptr) {
    Raw("}}");
    current_ = outsideField;
  }
  SetFormat(paragraph.endFormat);
}

void Writer::Border(const char* side, const CellBorder& border) {
  if (border.width <= 0) return;
  Word(side);
  Word("brdrs");
  Word("brdrw", border.width);
  if (border.color != 0) Word("brdrcf", border.color);
}

void Writer::Row(const TableRow& row) {
  Word("trowd");
  Word("trgaph", row.gap);
  Word("trleft", row.left);
  if (row.height != 0) Word("trrh", row.height);
  Border("trbrdrt", row.rowTop);
  Border("trbrdrl", row.rowLeft);
  Border("trbrdrb", row.rowBottom);
  Border("trbrdrr", row.rowRight);
  for (const TableCell& cell : row.cells) {
    if (cell.verticalAlignment == VerticalAlignment::Centre) Word("clvertalc");
    if (cell.verticalAlignment == VerticalAlignment::Bottom) Word("clvertalb");
    Border("clbrdrt", cell.top);
    Border("clbrdrl", cell.left);
    Border("clbrdrb", cell.bottom);
    Border("clbrdrr", cell.right);
    if (cell.shading != 0) Word("clcbpat", cell.shading);
    Word("cellx", cell.rightBoundary);
  }
  for (const TableCell& cell : row.cells) {
    for (size_t p = 0; p < cell.paragraphs.size(); ++p) {
      if (p > 0) Word("par");
      Paragraph(cell.paragraphs[p], true);
    }
    Word("cell");
  }
  Word("row");
}

void Writer::Blocks(const std::vector<Block>& blocks, bool story) {
  for (size_t b = 0; b < blocks.size(); ++b) {
    const Block& block = blocks[b];
    switch (block.kind) {
      case BlockKind::Paragraph:
        Paragraph(block.paragraph, false);
        // The body's final paragraph has no mark of its own; a header's paragraphs all have one.
        if (story || b + 1 < blocks.size()) Word("par");
        break;
      case BlockKind::TableRow: Row(block.row); break;
      case BlockKind::PageBreak:
        // \pard first: after a row, "\intbl" still holds and a reader would take the break as the table's.
        Word("pard");
        Word("page");
        break;
    }
    if (b + 1 < blocks.size()) Raw("\r\n");
  }
}

void Writer::Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out_ += "\r\n";
  for (size_t i = 0; i < bytes.size(); ++i) {
    out_ += kDigits[bytes[i] >> 4];
    out_ += kDigits[bytes[i] & 15];
    if ((i + 1) % (kHexPerLine / 2) == 0 && i + 1 < bytes.size()) out_ += "\r\n";
  }
  delimit_ = false;
}

void Writer::PictureGroup(const Picture& given) {
  // A picture whose pixels do not match its size is written as one grey pixel of its place on the page.
  Picture placeholder;
  const bool sound = given.width > 0 && given.height > 0 &&
                     given.pixels.size() == static_cast<size_t>(given.width) * static_cast<size_t>(given.height);
  if (!sound) {
    placeholder.width = placeholder.height = 1;
    placeholder.pixels = {0xFFC0C0C0u};
    placeholder.goalWidth = std::max(given.DisplayWidth(), 1);
    placeholder.goalHeight = std::max(given.DisplayHeight(), 1);
    placeholder.source = PictureSource::Placeholder;
  }
  const Picture& picture = sound ? given : placeholder;
  Raw("{");
  Word("pict");
  const bool png = picture.source == PictureSource::Png && !picture.original.empty();
  const bool jpeg = picture.source == PictureSource::Jpeg && !picture.original.empty();
  if (png) Word("pngblip");
  else if (jpeg) Word("jpegblip");
  else Word("dibitmap", 0);
  Word("picw", picture.width);
  Word("pich", picture.height);
  Word("picwgoal", picture.goalWidth > 0 ? picture.goalWidth : picture.width * 15);
  Word("pichgoal", picture.goalHeight > 0 ? picture.goalHeight : picture.height * 15);
  if (picture.scaleX != 100) Word("picscalex", picture.scaleX);
  if (picture.scaleY != 100) Word("picscaley", picture.scaleY);
  if (png || jpeg) {
    Hex(picture.original);
  } else {
    // BITMAPINFOHEADER, then 24-bit rows bottom first, each padded to 4 bytes.
    const size_t width = static_cast<size_t>(picture.width);
    const size_t height = static_cast<size_t>(picture.height);
    const size_t stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> dib(40 + stride * height, 0);
    auto put32 = [&](size_t at, std::uint32_t value) {
      for (int i = 0; i < 4; ++i) dib[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    dib[12] = 1;   // planes
    dib[14] = 24;  // bits per pixel
    put32(20, static_cast<std::uint32_t>(stride * height));
    for (size_t y = 0; y < height; ++y) {
      std::uint8_t* row = dib.data() + 40 + (height - 1 - y) * stride;
      for (size_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = picture.pixels[y * width + x];
        row[x * 3] = static_cast<std::uint8_t>(pixel);
        row[x * 3 + 1] = static_cast<std::uint8_t>(pixel >> 8);
        row[x * 3 + 2] = static_cast<std::uint8_t>(pixel >> 16);
      }
    }
    Hex(dib);
  }
  Raw("}");
}

const char* FamilyWord(FontFamily family) {
  switch (family) {
    case FontFamily::Nil: return "fnil";
    case FontFamily::Roman: return "froman";
    case FontFamily::Swiss: return "fswiss";
    case FontFamily::Modern: return "fmodern";
    case FontFamily::Script: return "fscript";
    case FontFamily::Decor: return "fdecor";
    case FontFamily::Tech: return "ftech";
    case FontFamily::Bidi: return "fbidi";
  }
  return "fnil";
}

std::string Writer::Write() {
  Raw("{");
  Word("rtf", 1);
  Word("ansi");
  Word("ansicpg", 1251);
  Word("deff", doc_.defaultFont);
  Raw("\r\n{");
  Word("fonttbl");
  for (size_t i = 0; i < doc_.fonts.size(); ++i) {
    const FontEntry& font = doc_.fonts[i];
    Raw("{");
    Word("f", static_cast<long long>(i));
    Word(FamilyWord(font.family));
    // "Arial CYR" and its like name a face in its Cyrillic character set, which only Windows resolves: other
    // readers get the face itself, so that they set the text with the metrics it was laid out with.
    std::string name = font.name.empty() ? std::string("Arial") : font.name;
    int charset = font.charset;
    if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, " cyr") == 0) {
      name.resize(name.size() - 4);
      if (charset == 1) charset = 204;
    }
    if (charset != 1) Word("fcharset", charset);
    delimit_ = true;
    fontTable_ = true;
    Text(name);
    fontTable_ = false;
    Raw(";}");
  }
  Raw("}\r\n{");
  Word("colortbl");
  Raw(";");
  for (size_t i = 1; i < doc_.colors.size(); ++i) {
    const ColorEntry& color = doc_.colors[i];
    if (!color.automatic) {
      Word("red", color.rgb & 0xFF);
      Word("green", (color.rgb >> 8) & 0xFF);
      Word("blue", (color.rgb >> 16) & 0xFF);
    }
    Raw(";");
  }
  Raw("}\r\n");
  const PageSetup& page = doc_.page;
  Word("paperw", page.paperWidth);
  Word("paperh", page.paperHeight);
  Word("margl", page.marginLeft);
  Word("margr", page.marginRight);
  Word("margt", page.marginTop);
  Word("margb", page.marginBottom);
  Raw("\r\n");

  current_ = CharFormat{};
  current_.font = doc_.defaultFont;
  for (const auto* story : {&doc_.header, &doc_.footer}) {
    if (story->empty()) continue;
    const CharFormat outside = current_;
    Raw("{");
    Word(story == &doc_.header ? "header" : "footer");
    Blocks(*story, true);
    Raw("}\r\n");
    current_ = outside;
  }
  Blocks(doc_.blocks, false);
  Raw("}");
  return out_;
}

}  // namespace

std::string WriteRtf(const RichDocument& document) { return Writer(document).Write(); }

std::string WritePlainText(const RichDocument& document) { return document.PlainText(); }

}  // namespace richedit
