#include "platform/richedit/rich_document.h"
#include "platform/richedit/rtf_reader.h"
#include "tests/platform/richedit/document_dump.h"

#include <gtest/gtest.h>

#include <string>

namespace richedit {
namespace {

using testing::DumpBlocks;

// "ab<tab>c" | row of "X" and "Y","Z" | page break | "end": flat text ab\tc\r X\r Y\rZ\r \f end.
RichDocument Sample() {
  RichDocument document;
  const RtfReadResult result = ReadRtf(
      R"({\rtf1 ab\tab c\par\trowd\cellx1000\cellx2000\intbl X\cell Y\par Z\cell\row\pard\page end})", document);
  EXPECT_TRUE(result.Ok()) << result.message;
  return document;
}

TEST(RichDocument, FlatTextCountsEveryParagraphEndButTheLast) {
  const RichDocument document = Sample();
  EXPECT_EQ(document.Length(), 15);
  EXPECT_EQ(document.GetText(), "ab\tc\rX\rY\rZ\r\fend");
  EXPECT_EQ(document.GetText(3, 8), "c\rX\rY");
  EXPECT_EQ(document.GetText(-5, 100), document.GetText());
  EXPECT_EQ(document.GetText(9, 2), "");
  EXPECT_EQ(RichDocument().Length(), 0);
}

TEST(RichDocument, PositionsAndIndexesAgree) {
  const RichDocument document = Sample();
  struct Expected {
    long cp;
    TextPosition position;
  };
  const Expected table[] = {
      {0, {0, -1, 0, 0, 0}},  {1, {0, -1, 0, 0, 1}}, {2, {0, -1, 0, 1, 0}},  // the tab is a run of its own
      {4, {0, -1, 0, 3, 0}},                                                 // at the end mark
      {5, {1, 0, 0, 0, 0}},   {7, {1, 1, 0, 0, 0}},  {9, {1, 1, 1, 0, 0}},
      {11, {2, -1, 0, 0, 0}}, {12, {3, -1, 0, 0, 0}}, {15, {3, -1, 0, 1, 0}},
  };
  for (const Expected& e : table) {
    EXPECT_EQ(document.Locate(e.cp), e.position) << e.cp;
  }
  for (long cp = 0; cp <= document.Length(); ++cp) {
    EXPECT_EQ(document.CharIndex(document.Locate(cp)), cp) << cp;
  }
  EXPECT_EQ(document.Locate(99), document.Locate(15));
}

TEST(RichDocument, SliceKeepsWholeRowsAndFlattensPartOnes) {
  const RichDocument document = Sample();
  const struct {
    long from, to;
    std::string blocks;
  } cases[] = {
      {1, 4, "P \"b\" <tab> \"c\"\n"},
      {3, 6, "P \"c\"\nP \"X\"\n"},
      {5, 11, "R[left0 gap0] |1000: P \"X\" |2000: P \"Y\" P \"Z\"\nP\n"},
      {10, 15, "P\nPAGE\nP \"end\"\n"},
      {4, 4, "P\n"},
  };
  for (const auto& c : cases) {
    const RichDocument part = document.Slice(c.from, c.to);
    EXPECT_EQ(DumpBlocks(part.blocks), c.blocks) << c.from << ".." << c.to;
    EXPECT_EQ(part.GetText(), document.GetText(c.from, c.to)) << c.from << ".." << c.to;
  }
}

TEST(RichDocument, ReplaceKeepsFormatWithTheParagraphMark) {
  RichDocument document = DocumentFromPlainText("abcdef");
  document.blocks[0].paragraph.format.alignment = Alignment::Centre;

  // Two paragraphs into the middle: "abX" ends with the piece's mark, "Yef" with the original's.
  RichDocument twoParagraphs = document;
  EXPECT_EQ(twoParagraphs.Replace(2, 4, DocumentFromPlainText("X\r\nY")), 5);
  EXPECT_EQ(DumpBlocks(twoParagraphs.blocks), "P \"abX\"\nP[qc] \"Yef\"\n");

  // One paragraph's text only: the paragraph stays as it was.
  RichDocument oneParagraph = document;
  EXPECT_EQ(oneParagraph.Replace(0, 0, DocumentFromPlainText("Z")), 1);
  EXPECT_EQ(DumpBlocks(oneParagraph.blocks), "P[qc] \"Zabcdef\"\n");

  // Into an empty document (a stream-in of everything) the text keeps the format it brought.
  RichDocument streamed;
  RichDocument centred;
  ASSERT_TRUE(ReadRtf(R"({\rtf1\qr a\par\qc b})", centred).Ok());
  EXPECT_EQ(streamed.Replace(0, 0, centred), 3);
  EXPECT_EQ(DumpBlocks(streamed.blocks), "P[qr] \"a\"\nP[qc] \"b\"\n");

  // Deleting across a paragraph end joins the paragraphs.
  RichDocument joined = twoParagraphs;
  joined.Replace(2, 5, RichDocument());
  EXPECT_EQ(DumpBlocks(joined.blocks), "P[qc] \"abef\"\n");
}

TEST(RichDocument, ReplaceInsideACellKeepsTheTable) {
  RichDocument document = Sample();
  CharFormat bold;
  bold.bold = true;
  const long end = document.Replace(7, 8, DocumentFromPlainText("Q1\r\nQ2", bold));
  EXPECT_EQ(end, 12);
  EXPECT_EQ(document.GetText(), "ab\tc\rX\rQ1\rQ2\rZ\r\fend");
  EXPECT_EQ(document.blocks[1].kind, BlockKind::TableRow);
  EXPECT_EQ(DumpBlocks({document.blocks[1]}), "R[left0 gap0] |1000: P \"X\" |2000: P b\"Q1\" P b\"Q2\" P \"Z\"\n");
}

TEST(RichDocument, ReplaceMergesThePiecesFontsAndColours) {
  RichDocument document = DocumentFromPlainText("ab");
  RichDocument piece;
  ASSERT_TRUE(ReadRtf(R"({\rtf1{\fonttbl{\f0 Courier New;}}{\colortbl;\red9\green8\blue7;}\cf1 x})", piece).Ok());
  document.Replace(1, 1, piece);
  ASSERT_EQ(document.fonts.size(), 2u);
  EXPECT_EQ(document.fonts[1].name, "Courier New");
  ASSERT_EQ(document.colors.size(), 2u);
  EXPECT_EQ(document.colors[1].rgb, RGB(9, 8, 7));
  EXPECT_EQ(DumpBlocks(document.blocks), "P \"a\" f1,cf1\"x\" \"b\"\n");
}

}  // namespace
}  // namespace richedit
