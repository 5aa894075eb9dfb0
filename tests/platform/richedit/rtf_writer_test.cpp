#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"
#include "tests/platform/richedit/document_dump.h"

#include <gtest/gtest.h>

#include <string>

namespace richedit {
namespace {

using testing::DumpBlocks;

const std::string kDefaultHead =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\r\n"
    "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\r\n";
const std::string kDefaultPage = "\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440\r\n";

Run Text(std::string text, CharFormat format = {}) {
  Run run;
  run.format = format;
  run.text = std::move(text);
  return run;
}

Run Unicode(char32_t codePoint) {
  Run run;
  run.text = "?";
  run.unicode = codePoint;
  return run;
}

Paragraph Para(std::vector<Run> runs, Alignment alignment = Alignment::Left) {
  Paragraph paragraph;
  paragraph.format.alignment = alignment;
  paragraph.runs = std::move(runs);
  return paragraph;
}

// The body: what follows the page words.
std::string Body(const std::string& rtf) {
  const size_t at = rtf.find("\\margb");
  return rtf.substr(rtf.find("\r\n", at) + 2);
}

TEST(RtfWriter, WholeSmallDocumentBytes) {
  RichDocument document;
  document.colors.push_back(ColorEntry{RGB(255, 0, 0), false});
  CharFormat bold;
  bold.bold = true;
  CharFormat red;
  red.color = 1;
  document.blocks = {Block::MakeParagraph(Para({Text("Hi", bold), Text(" there", red)}, Alignment::Centre)),
                     Block::MakeParagraph(Para({Text("x")}))};
  EXPECT_EQ(WriteRtf(document), kDefaultHead + "{\\colortbl;\\red255\\green0\\blue0;}\r\n" + kDefaultPage +
                                    "\\pard\\qc\\b Hi\\b0\\cf1  there\\cf0\\par\r\n"
                                    "\\pard x}");
}

TEST(RtfWriter, EscapesBracesBackslashesHighBytesAndUnicode) {
  RichDocument document;
  document.blocks = {Block::MakeParagraph(
      Para({Text("a{b}\\c Ж"), Unicode(0x3BB), Unicode(0x1F600), Text("z")}))};
  EXPECT_EQ(Body(WriteRtf(document)), "\\pard a\\{b\\}\\\\c \\'c6\\u955?\\u-10179?\\u-8704?z}");
}

TEST(RtfWriter, TableRowAndPageBreakBytes) {
  RichDocument document;
  document.colors.push_back(ColorEntry{RGB(200, 200, 200), false});
  TableRow row;
  row.gap = 50;
  TableCell first;
  first.rightBoundary = 3000;
  first.top = first.left = first.bottom = first.right = CellBorder{15, 0};
  first.paragraphs = {Para({Text("A")})};
  TableCell second;
  second.rightBoundary = 5000;
  second.shading = 1;
  second.verticalAlignment = VerticalAlignment::Centre;
  second.paragraphs = {Para({Text("B")}, Alignment::Right), Para({Text("C")})};
  row.cells = {first, second};
  document.blocks = {Block::MakeRow(row), Block::MakePageBreak(), Block::MakeParagraph(Para({Text("end")}))};
  EXPECT_EQ(Body(WriteRtf(document)),
            "\\trowd\\trgaph50\\trleft0"
            "\\clbrdrt\\brdrs\\brdrw15\\clbrdrl\\brdrs\\brdrw15\\clbrdrb\\brdrs\\brdrw15\\clbrdrr\\brdrs\\brdrw15"
            "\\cellx3000\\clvertalc\\clcbpat1\\cellx5000"
            "\\pard\\intbl A\\cell\\pard\\intbl\\qr B\\par\\pard\\intbl C\\cell\\row\r\n"
            "\\pard\\page\r\n"
            "\\pard end}");
}

TEST(RtfWriter, PicturesAsDibOrTheirOwnPng) {
  auto bitmap = std::make_shared<Picture>();
  bitmap->width = 1;
  bitmap->height = 1;
  bitmap->pixels = {0xFF112233};
  bitmap->source = PictureSource::Bitmap;
  auto png = std::make_shared<Picture>();
  png->width = 1;
  png->height = 1;
  png->pixels = {0xFFFFFFFF};
  png->source = PictureSource::Png;
  png->original = {0x89, 0x50};
  png->goalWidth = 300;
  png->goalHeight = 200;
  png->scaleX = 50;
  richedit::Run first;
  first.kind = RunKind::Picture;
  first.picture = bitmap;
  richedit::Run second = first;
  second.picture = png;
  RichDocument document;
  document.blocks = {Block::MakeParagraph(Para({first, second}))};
  // BITMAPINFOHEADER of a 1 x 1 24-bit DIB (image size 4), then its one row padded to 4 bytes.
  EXPECT_EQ(Body(WriteRtf(document)),
            "\\pard{\\pict\\dibitmap0\\picw1\\pich1\\picwgoal15\\pichgoal15\r\n"
            "28000000" "01000000" "01000000" "0100" "1800" "00000000" "04000000"
            "00000000" "00000000" "00000000" "00000000" "33221100}"
            "{\\pict\\pngblip\\picw1\\pich1\\picwgoal300\\pichgoal200\\picscalex50\r\n8950}}");
}

TEST(RtfWriter, PictureWhosePixelsDoNotMatchItsSizeKeepsOnlyItsPlace) {
  auto broken = std::make_shared<Picture>();
  broken->width = 5;
  broken->height = -5;
  broken->goalWidth = 600;
  broken->goalHeight = 300;
  richedit::Run run;
  run.kind = RunKind::Picture;
  run.picture = broken;
  RichDocument document;
  document.blocks = {Block::MakeParagraph(Para({run}))};
  const std::string body = Body(WriteRtf(document));
  EXPECT_EQ(body.substr(0, body.find("\r\n")), "\\pard{\\pict\\dibitmap0\\picw1\\pich1\\picwgoal600\\pichgoal300");
}

TEST(RtfWriter, FontTableBeforeColourTableThenHeaderAndFooter) {
  RichDocument document;
  document.fonts.push_back(FontEntry{"Times {x}", 1, FontFamily::Roman});
  document.header = {Block::MakeParagraph(Para({Text("H")}, Alignment::Right))};
  document.footer = {Block::MakeParagraph(Para({Text("F")}))};
  const std::string rtf = WriteRtf(document);
  EXPECT_NE(rtf.find("{\\f1\\froman Times \\{x\\};}"), std::string::npos) << rtf;
  EXPECT_LT(rtf.find("\\fonttbl"), rtf.find("\\colortbl"));
  EXPECT_NE(rtf.find("{\\colortbl;}\r\n"), std::string::npos);
  EXPECT_NE(rtf.find("{\\header\\pard\\qr H\\par}\r\n{\\footer\\pard F\\par}\r\n"), std::string::npos) << rtf;
}

TEST(RtfWriter, WbitmapIsWrittenAsDibAndReadsBackTheSame) {
  const std::string wbitmap = R"({\rtf1{\pict\wbitmap0\pich3\picw2\wbmbitspixel24\wbmplanes1\wbmwidthbytes8 )"
                              "0000ff00ff000000" "ff00000000000000" "ffffff1020300000}}";
  RichDocument original;
  ASSERT_TRUE(ReadRtf(wbitmap, original).Ok());
  const std::string written = WriteRtf(original);
  EXPECT_EQ(written.find("wbitmap"), std::string::npos);
  EXPECT_NE(written.find("\\dibitmap0"), std::string::npos);
  RichDocument again;
  ASSERT_TRUE(ReadRtf(written, again).Ok());
  EXPECT_EQ(again.blocks[0].paragraph.runs.at(0).picture->pixels,
            original.blocks[0].paragraph.runs.at(0).picture->pixels);
}

// What the reader understands the writer keeps: read, write, read again gives the same document.
TEST(RtfWriter, ReadWriteReadKeepsTheDocument) {
  const std::string fixtures[] = {
      R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fnil default;}{\f1\fswiss\fcharset204 Arial;}}{\colortbl;\red1\green2\blue3;})"
      R"(\paperw16838\paperh11906\margl1000 \pard\qc\li720\fi-360\sb120\sa60\sl-300\slmult0\tqr\tx4000 )"
      R"(\f1\fs28\b\i\ul\cf1\highlight1 \'cf\'f0\'e8\'e2\'e5\'f2\tab x\line y\ulnone\par )"
      R"(\pard\plain\uc1\u955?\u-10179?\u-8704? z\par\page)"
      R"({\header \pard\qr Head \'b9 1\par}{\footer \pard Foot\par})"
      R"(\trowd\trgaph50\trleft100\trrh300\trbrdrt\brdrs\brdrw10 \clbrdrt\brdrs\brdrw15\brdrcf1\clcbpat1\clvertalb)"
      R"(\cellx3000\cellx5000\pard\intbl a\par b\cell\qr c\cell\row\pard end})",
      // A heading kept with what follows, a marked place and the page field that refers to it.
      R"({\rtf1\ansi\ansicpg1251 \pard\keepn{\*\bkmkstart section3}{\*\bkmkend section3}Head\par)"
      R"(\pard Contents\tab{\field{\*\fldinst PAGEREF section3}{\fldrslt \b 12}}\b0  end\par})",
      // Other readers take \'hh in a font of charset 0 as code page 1252: Cyrillic there must go as \uN.
      R"({\rtf1{\fonttbl{\f0\fcharset0 Times;}{\f1\fcharset204 Arial;}}\f0 caf\'e9 \u1046? \f1\'c6\'98})",
  };
  for (const std::string& fixture : fixtures) {
    RichDocument first;
    ASSERT_TRUE(ReadRtf(fixture, first).Ok());
    const std::string written = WriteRtf(first);
    RichDocument second;
    const RtfReadResult result = ReadRtf(written, second);
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(result.unclosedGroups, 0);
    EXPECT_EQ(DumpBlocks(second.blocks), DumpBlocks(first.blocks)) << written;
    EXPECT_EQ(DumpBlocks(second.header), DumpBlocks(first.header));
    EXPECT_EQ(DumpBlocks(second.footer), DumpBlocks(first.footer));
    EXPECT_EQ(second.fonts, first.fonts);
    EXPECT_EQ(second.colors, first.colors);
    EXPECT_EQ(second.page, first.page);
  }
}

TEST(RtfWriter, CyrillicInAnAnsiFontIsWrittenAsUnicode) {
  RichDocument document;
  document.fonts = {FontEntry{"Times", 0, FontFamily::Roman}};
  document.blocks = {Block::MakeParagraph(Para({Text("aЖ")}))};
  EXPECT_EQ(Body(WriteRtf(document)), "\\pard a\\u1046?}");
}

TEST(RtfWriter, FieldsBookmarksAndKeepWithNextBytes) {
  RichDocument document;
  Paragraph heading = Para({Text("Head")});
  heading.format.keepWithNext = true;
  heading.bookmarks = {"section3"};
  richedit::Run page = Text("12");
  page.field = "PAGEREF section3";
  CharFormat bold;
  bold.bold = true;
  richedit::Run boldPage = Text("7", bold);
  boldPage.field = "PAGEREF section4";
  document.blocks = {Block::MakeParagraph(heading), Block::MakeParagraph(Para({Text("p. "), page, boldPage, Text(".")}))};
  EXPECT_EQ(Body(WriteRtf(document)),
            "\\pard\\keepn{\\*\\bkmkstart section3}{\\*\\bkmkend section3}Head\\par\r\n"
            "\\pard p. {\\field{\\*\\fldinst PAGEREF section3}{\\fldrslt 12}}"
            "{\\field{\\*\\fldinst PAGEREF section4}{\\fldrslt \\b 7}}.}");
}

// Other readers set a symbol font's bytes as private characters, and know no "Arial CYR": the symbols go as the
// characters they show, the Cyrillic face as itself in its Cyrillic character set.
TEST(RtfWriter, SymbolFontBytesAsTheirCharactersAndCyrillicFacesAsTheFaceItself) {
  RichDocument document;
  document.fonts = {FontEntry{"Arial CYR", 1, FontFamily::Swiss}, FontEntry{"Symbol", 2, FontFamily::Tech}};
  CharFormat symbol;
  symbol.font = 1;
  document.blocks = {Block::MakeParagraph(Para({Text("L"), Text("\xb3\xa3" "e" "\xff", symbol), Text("1")}))};
  const std::string rtf = WriteRtf(document);
  EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\ftech\\fcharset2 Symbol;}}"),
            std::string::npos) << rtf;
  EXPECT_EQ(Body(rtf), "\\pard L\\f1 \\u8805?\\u8804?\\u949?\\'ff\\f0 1}");
}

TEST(RtfWriter, PlainTextEndsParagraphsWithCrLfAndSeparatesCellsWithTabs) {
  RichDocument document;
  ASSERT_TRUE(ReadRtf(R"({\rtf1 a\tab b\line c\par\trowd\cellx1000\cellx2000\intbl x\cell y\par z\cell\row)"
                      R"(\pard\page end})",
                      document)
                  .Ok());
  EXPECT_EQ(WritePlainText(document), "a\tb\r\nc\r\nx\ty z\r\n\fend");
}

}  // namespace
}  // namespace richedit
