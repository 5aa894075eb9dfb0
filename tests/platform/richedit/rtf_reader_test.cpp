#include "platform/richedit/rtf_reader.h"
#include "tests/platform/richedit/document_dump.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace richedit {
namespace {

using testing::DumpBlocks;

// The head the report writer opens every document with: colour table before font table.
const std::string kReportHead =
    R"({\rtf1\ansi\ansicpg1251{\colortbl;\red0\green0\blue0;\red255\green0\blue0;\red0\green255\blue0;)"
    R"(\red0\green0\blue255;\red255\green255\blue255;\red50\green50\blue50;\red180\green180\blue180;)"
    R"(\red212\green208\blue200;\red0\green0\blue0}{\fonttbl{\f0\fnil default;}{\f1\froman roman h;})"
    R"({\f2\fswiss Arial CYR;}{\f3\ftech Symbol;}{\f4\fswiss\fcharset204{\*\fname Arial;}Arial CYR;}}\pard )";

struct ReadCase {
  const char* name;
  std::string rtf;
  std::string blocks;  // DumpBlocks of the body
};

class ReadsIntoModel : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadsIntoModel, BodyAsExpected) {
  RichDocument document;
  const RtfReadResult result = ReadRtf(GetParam().rtf, document);
  EXPECT_TRUE(result.Ok()) << result.message;
  EXPECT_EQ(DumpBlocks(document.blocks), GetParam().blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ReadsIntoModel,
    ::testing::Values(
        ReadCase{"ParagraphsAndFinalText",
                 R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}}Hello\par World})",
                 "P \"Hello\"\nP \"World\"\n"},
        ReadCase{"ReportHeadCyrillicFontAndColours",
                 kReportHead + R"(\b0\f2\fs20 \'cf\'f0\'e8\'e2\'e5\'f2 {\b x} \highlight0\cf7\highlight1 y\par })",
                 "P f2,fs20\"Привет \" b,f2,fs20\"x\" f2,fs20\" \" f2,fs20,cf7,hl1\"y\"\nP\n"},
        ReadCase{"CharacterFormatsAndPlain",
                 R"({\rtf1{\fonttbl{\f0 A;}{\f5 B;}}{\colortbl;\red1\green0\blue0;\red2\green0\blue0;\red3\green0\blue0;}\b\i\ul a\ulnone\i0 b\b0\f5\fs30\cf2 c\plain d\cb3 e})",
                 "P b,i,ul\"a\" b\"b\" f1,fs30,cf2\"c\" \"d\" hl3\"e\"\n"},
        ReadCase{"ParagraphFormatsLastUntilPard",
                 R"({\rtf1\qr\li720\ri360\fi-360\sb120\sa240\sl360\slmult1\tqr\tx5000\tx1000 a\par b\pard\qj c})",
                 "P[qr li720 ri360 fi-360 sb120 sa240 sl360m tx1000 txr5000] \"a\"\n"
                 "P[qj] \"bc\"\n"},
        ReadCase{"GroupsRestoreFormats",
                 R"({\rtf1 a{\b\qc b}c\par})", "P \"a\" b\"b\" \"c\"\nP\n"},
        ReadCase{"UnicodeWithReplacementSkip",
                 // Ж and € are cp1251; λ and U+1F600 (a surrogate pair) are not.
                 R"({\rtf1\uc1\u1046?\u8364?\u955?\uc2\u955??x\uc0\u955 y\uc1\u-10179?\u-8704?})",
                 "P \"Ж€\" <u+3BB> <u+3BB> \"x\" <u+3BB> \"y\" <u+1F600>\n"},
        ReadCase{"ControlCharactersAndOutOfRangeUnicode",
                 R"({\rtf1 a\'09b\'00\'01c\u0 d\u-70000?e\u70000?f})",
                 "P \"a\" <tab> \"bc\" <u+FFFD> \"e\" <u+FFFD> \"f\"\n"},
        ReadCase{"EscapesAndNamedCharacters",
                 "{\\rtf1 a\\\\b\\{c\\}d\\~e\\emdash f\\tab g\\line h\r\ni\\\r\nj\\-k\\_l}",
                 "P \"a\\b{c}d\xA0" "e\x97" "f\" <tab> \"g\" <line> \"hi\"\nP \"jk-l\"\n"},
        ReadCase{"ReportTableOfTwoColumns",
                 kReportHead +
                     R"( \par\trowd\trgaph50\trleft0 \trbrdrt\brdrw15\brdrs \trbrdrl\brdrw15\brdrs )"
                     R"(\trbrdrb\brdrw15\brdrs \trbrdrr\brdrw15\brdrs )"
                     R"(\clbrdrt\brdrw15\brdrs \clbrdrl\brdrw15\brdrs \clbrdrb\brdrw15\brdrs \clbrdrr\brdrw15\brdrs\cellx3000 )"
                     R"(\clbrdrt\brdrw15\brdrs \clbrdrl\brdrw15\brdrs \clbrdrb\brdrw15\brdrs \clbrdrr\brdrw15\brdrs\cellx5000 )"
                     R"(\pard \intbl \ql A\cell \qr     B\cell \row \intbl \ql C\cell \qr     D\cell \row \pard after)",
                 // The space before \par is text; "\qr" and five spaces leave four in the cell.
                 "P \" \"\n"
                 "R[left0 gap50] |3000 t15 l15 b15 r15: P \"A\" |5000 t15 l15 b15 r15: P[qr] \"    B\"\n"
                 "R[left0 gap50] |3000 t15 l15 b15 r15: P \"C\" |5000 t15 l15 b15 r15: P[qr] \"    D\"\n"
                 "P \"after\"\n"},
        ReadCase{"TableCellProperties",
                 R"({\rtf1{\colortbl;;;;}\trowd\trgaph108\trleft-108\trrh-400\clvertalc\clbrdrt\brdrs\brdrw30\brdrcf2)"
                 R"(\clcbpat3\cellx2000\clvertalb\cellx4000\lastrow\pard\intbl one\par two\cell\cell\row x})",
                 "R[left-108 gap108 h-400] |2000 t30c2 bg3 vc: P \"one\" P \"two\" |4000 vb: P\nP \"x\"\n"},
        ReadCase{"MoreCellsThanDefinedAndUnterminatedRow",
                 R"({\rtf1\trowd\cellx1000\intbl a\cell b\cell c})",
                 "R[left0 gap0] |1000: P \"a\" |2440: P \"b\" |3880: P \"c\"\nP\n"},
        ReadCase{"PageAndSectionBreaks",
                 R"({\rtf1 a\par\page b\page\pard c\sect d\sbknone\sect e})",
                 "P \"a\"\nPAGE\nP \"b\"\nPAGE\nP \"c\"\nPAGE\nP \"d\"\nP \"e\"\n"},
        ReadCase{"NestedTableFlattenedIntoTheOuterCell",
                 R"({\rtf1\trowd\cellx1000\cellx2000\pard\intbl\itap1 a\par\itap2 n1\nestcell n2\nestcell)"
                 R"({\*\nesttableprops\trowd\cellx500\cellx900\nestrow}{\nonesttables ignored}\itap1 b\cell c\cell\row})",
                 "R[left0 gap0] |1000: P \"a\" P \"n1\" P \"n2\" P \"b\" |2000: P \"c\"\nP\n"},
        ReadCase{"PageAfterRowBreaksButNotInsideACell",
                 R"({\rtf1\trowd\cellx1000\intbl a\cell\row\page b\intbl c\page d})",
                 "R[left0 gap0] |1000: P \"a\"\nPAGE\nP \"bcd\"\n"},
        ReadCase{"IgnorableAndUnknownDestinationsSkipped",
                 R"({\rtf1{\*\generator Riched20 10.0;}{\info{\title T}{\author A}}{\stylesheet{\s0 Normal;}})"
                 R"({\*\unknown {nested {deeper}} \bin2 }{}{\*\bkmkstart m}{\field{\*\fldinst HYPERLINK "u"})"
                 R"({\fldrslt Link}} text{\*\shppict{\pict\jpegblip\picw4\pich2 ffd8}}{\nonshppict hidden}})",
                 "P[mark:m] <field HYPERLINK \"u\">\"Link\" \" text\" <pict 1x1>\n"},
        // Colour and font indexes beyond the tables fall back to the automatic colour and the default font.
        ReadCase{"IndexesBeyondTables", R"({\rtf1{\colortbl;\red1\green0\blue0;}\cf7\highlight9\f3 a\cf1 b})",
                 "P \"a\" cf1\"b\"\n"},
        ReadCase{"FontTableWithoutEntryGroups",
                 R"({\rtf1\deff1{\fonttbl\f0\fswiss Arial;\f1\froman Times;}a\f0 b})", "P f1\"a\" \"b\"\n"},
        ReadCase{"Cp1252FontBytesBecomeUnicode",
                 R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset0 Times;}{\f1\fcharset204 Arial;}})"
                 R"(\f0 caf\'e9\'80 \f1\'e0})",
                 "P \"caf\" <u+E9> \"€ \" f1\"а\"\n"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(RtfReader, ReportHeadTablesAndDefaultPage) {
  RichDocument document;
  ASSERT_TRUE(ReadRtf(kReportHead + "x", document).Ok());
  ASSERT_EQ(document.fonts.size(), 5u);
  EXPECT_EQ(document.fonts[0], (FontEntry{"default", 1, FontFamily::Nil}));
  EXPECT_EQ(document.fonts[3], (FontEntry{"Symbol", 1, FontFamily::Tech}));
  EXPECT_EQ(document.fonts[4], (FontEntry{"Arial CYR", 204, FontFamily::Swiss}));  // not the \*\fname
  ASSERT_EQ(document.colors.size(), 10u);
  EXPECT_TRUE(document.colors[0].automatic);
  EXPECT_EQ(document.colors[2], (ColorEntry{RGB(255, 0, 0), false}));
  EXPECT_EQ(document.colors[8], (ColorEntry{RGB(212, 208, 200), false}));
  EXPECT_EQ(document.colors[9], (ColorEntry{0, false}));  // the last entry has no ";"
  EXPECT_EQ(document.page, PageSetup{});
}

TEST(RtfReader, PageSetupHeaderAndFooter) {
  RichDocument document;
  const RtfReadResult result = ReadRtf(
      R"({\rtf1\paperw16838\paperh11906\margl1700\margr500\margt1250\margb0)"
      // "\ " is no word of RTF: nothing, and the spaces after it are text.
      R"({\header \pard \qr \f0 \fs22 \tab\ )" + std::string(7, ' ') + R"(Tesmira Road v.6\line\ul\tab\ulnone\par})"
      R"({\headerl left\par}{\footer \pard\ql \'cf\'f0\'ee\'f2\'ee\'ea\'ee\'eb \'b9 _____ \par}body})",
      document);
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_EQ(document.page, (PageSetup{16838, 11906, 1700, 500, 1250, 0}));
  EXPECT_EQ(DumpBlocks(document.header), "P[qr] fs22<tab> fs22\"       Tesmira Road v.6\" fs22<line> ul,fs22<tab>\n");
  EXPECT_EQ(DumpBlocks(document.footer), "P \"Протокол № _____ \"\n");
  EXPECT_EQ(DumpBlocks(document.blocks), "P \"body\"\n");
}

TEST(RtfReader, ReportDocumentStreamedBeforeItsFinalBraceIsWhole) {
  RichDocument document;
  const RtfReadResult result = ReadRtf(kReportHead + R"(\b0\f2\fs20 {abc}\par {def})", document);
  EXPECT_TRUE(result.Ok()) << result.message;
  EXPECT_EQ(result.unclosedGroups, 1);
  EXPECT_EQ(document.GetText(), "abc\rdef");
}

// ---- pictures

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (std::uint8_t b : bytes) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

const Picture& OnlyPicture(const RichDocument& document) {
  for (const Block& block : document.blocks) {
    for (const Run& run : block.paragraph.runs) {
      if (run.kind == RunKind::Picture) return *run.picture;
    }
  }
  throw std::runtime_error("no picture");
}

TEST(RtfReader, WbitmapRowsTopFirstInBgrOrder) {
  // 2 x 3 pixels, 24 bits, 8 bytes a row (2 of padding): the report writer's form.
  const std::string rtf = R"({\rtf1{\pict\wbitmap0\pich3\picw2\wbmbitspixel24\wbmplanes1\wbmwidthbytes8 )"
                          "0000ff00ff000000" "ff00000000000000" "ffffff1020300000"
                          "} }";
  RichDocument document;
  ASSERT_TRUE(ReadRtf(rtf, document).Ok());
  const Picture& picture = OnlyPicture(document);
  EXPECT_EQ(picture.source, PictureSource::Bitmap);
  ASSERT_EQ(picture.width, 2);
  ASSERT_EQ(picture.height, 3);
  EXPECT_EQ(picture.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000,
                                                        0xFFFFFFFF, 0xFF302010}));
  EXPECT_EQ(picture.DisplayWidth(), 30);  // no goal: 15 twips a pixel
}

TEST(RtfReader, DibitmapBottomUpWithPaletteAndBinaryData) {
  // 1-bit, 3 x 2, palette {black, red}; rows bottom first, 4 bytes each.
  std::vector<std::uint8_t> dib = {40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0,
                                   0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
                                   0,  0, 0, 0, 0, 0, 255, 0,           // palette
                                   0xA0, 0, 0, 0,                      // bottom row: 1 0 1
                                   0x40, 0, 0, 0};                     // top row: 0 1 0
  const std::string hexForm =
      R"({\rtf1{\pict\dibitmap0\picwgoal900\pichgoal600\picscalex50 )" + Hex(dib) + "}}";
  std::string binForm = R"({\rtf1{\pict\dibitmap0\picwgoal900\pichgoal600\picscalex50\bin)" +
                        std::to_string(dib.size()) + " " + std::string(dib.begin(), dib.end()) + "}}";
  for (const std::string& rtf : {hexForm, binForm}) {
    RichDocument document;
    const RtfReadResult result = ReadRtf(rtf, document);
    ASSERT_TRUE(result.Ok()) << result.message;
    const Picture& picture = OnlyPicture(document);
    const std::uint32_t k = 0xFF000000, r = 0xFFFF0000;
    EXPECT_EQ(picture.pixels, (std::vector<std::uint32_t>{k, r, k, r, k, r}));
    EXPECT_EQ(picture.DisplayWidth(), 450);
    EXPECT_EQ(picture.DisplayHeight(), 600);
  }
}

// A BITMAPINFOHEADER of `width` x `height` (bottom-up), then `rest`: masks or colour table, and rows.
std::vector<std::uint8_t> Dib(int width, int height, int bpp, int compression, std::vector<std::uint8_t> rest) {
  std::vector<std::uint8_t> dib(40, 0);
  auto put = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, 40);
  put(4, static_cast<std::uint32_t>(width));
  put(8, static_cast<std::uint32_t>(height));
  dib[12] = 1;
  dib[14] = static_cast<std::uint8_t>(bpp);
  put(16, static_cast<std::uint32_t>(compression));
  dib.insert(dib.end(), rest.begin(), rest.end());
  return dib;
}

TEST(RtfReader, DibitmapOfSixteenAndThirtyTwoBitsHonoursItsMasks) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> dib;
    std::vector<std::uint32_t> pixels;
  } cases[] = {
      {"16 bits 5-5-5", Dib(2, 1, 16, 0, {0x00, 0x7C, 0x1F, 0x00}), {0xFFFF0000, 0xFF0000FF}},
      {"16 bits 5-6-5", Dib(1, 1, 16, 3, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0, 0x00, 0xF8, 0, 0}),
       {0xFFFF0000}},
      // Masks in an unusual order: red 0x0000FF00, green 0x00FF0000, blue 0xFF000000.
      {"32 bits masked", Dib(1, 1, 32, 3, {0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0x78, 0x56, 0x34, 0x12}),
       {0xFF563412}},
  };
  for (const auto& c : cases) {
    RichDocument document;
    const RtfReadResult result = ReadRtf(R"({\rtf1{\pict\dibitmap0 )" + Hex(c.dib) + "}}", document);
    ASSERT_TRUE(result.Ok()) << c.name << ": " << result.message;
    EXPECT_EQ(OnlyPicture(document).pixels, c.pixels) << c.name;
  }
}

TEST(RtfReader, PngblipDecodedOverWhiteAndKeptForWritingBack) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 1);
  auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface));
  pixels[0] = 0xFF0000FF;  // opaque blue
  pixels[1] = 0x00000000;  // transparent
  cairo_surface_mark_dirty(surface);
  std::vector<std::uint8_t> png;
  cairo_surface_write_to_png_stream(
      surface,
      [](void* closure, const unsigned char* data, unsigned int length) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(surface);

  RichDocument document;
  ASSERT_TRUE(ReadRtf(R"({\rtf1{\pict\pngblip\picw2\pich1 )" + Hex(png) + "}}", document).Ok());
  const Picture& picture = OnlyPicture(document);
  EXPECT_EQ(picture.source, PictureSource::Png);
  EXPECT_EQ(picture.pixels, (std::vector<std::uint32_t>{0xFF0000FF, 0xFFFFFFFF}));
  EXPECT_EQ(picture.original, png);
}

// ---- hostile and broken input

struct FaultCase {
  const char* name;
  std::string rtf;
  RtfError error;
  std::string text;  // what the document still shows
};

class ReadsBrokenInput : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ReadsBrokenInput, GivesErrorAndWhatWasRead) {
  RichDocument document;
  const RtfReadResult result = ReadRtf(GetParam().rtf, document);
  EXPECT_EQ(result.error, GetParam().error) << result.message;
  if (!result.Ok()) {
    EXPECT_NE(result.message.find("at byte"), std::string::npos) << result.message;
  }
  EXPECT_EQ(document.GetText(), GetParam().text);
}

std::string Repeat(const std::string& s, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ReadsBrokenInput,
    ::testing::Values(
        FaultCase{"UnclosedGroups", R"({\rtf1 a{\b b{\i c)", RtfError::None, "abc"},
        FaultCase{"DepthBomb", "{\\rtf1 kept" + Repeat("{", 100000) + "lost", RtfError::TooDeep, "kept"},
        FaultCase{"HugePicw", R"({\rtf1 a{\pict\wbitmap0\picw100000\pich100000\wbmbitspixel24\wbmplanes1)"
                              R"(\wbmwidthbytes300000 00}b})", RtfError::PictureTooLarge, "a b"},
        FaultCase{"HugeDibHeader", R"({\rtf1 a{\pict\dibitmap0 28000000ffffff00ffffff000100180000000000)"
                                   R"(0000000000000000000000000000000000000000}b})",
                  RtfError::PictureTooLarge, "a b"},
        FaultCase{"DibShorterThanItsRows", R"({\rtf1 a{\pict\dibitmap0 2800000010000000100000000100180000000000)"
                                           R"(00000000000000000000000000000000000000000000}b})",
                  RtfError::BadPicture, "a b"},
        FaultCase{"WbitmapShorterThanItsRows",
                  R"({\rtf1{\pict\wbitmap0\picw4\pich4\wbmbitspixel24\wbmplanes1\wbmwidthbytes12 00ff}})",
                  RtfError::BadPicture, " "},
        FaultCase{"BinPastEnd", R"({\rtf1 a{\pict\wbitmap0\bin99999 ab}})", RtfError::BinPastEnd, "a"},
        FaultCase{"NegativeBin", R"({\rtf1 a\bin-5 b})", RtfError::BinPastEnd, "a"},
        FaultCase{"BadHexEscapeSkipped", R"({\rtf1 a\'zzb\'4})", RtfError::BadHex, "azzb4"},
        FaultCase{"BadHexInPicture", R"({\rtf1 a{\pict\dibitmap0 28xx}b})", RtfError::BadHex, "a b"},
        FaultCase{"PngThatIsNot", R"({\rtf1{\pict\pngblip 89504e470d0a1a0a0000000d49484452000000}})",
                  RtfError::BadPicture, " "},
        FaultCase{"UnknownWordsAndStrayStar", R"({\rtf1\foo12 a\*b\zzz-3 c{\*}d})", RtfError::None, "abcd"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(RtfReader, RowBombStopsBeforeItsMemory) {
  // Kept apart from the table above for its size: the rows read before the limit stay.
  RichDocument document;
  const RtfReadResult result =
      ReadRtf(R"({\rtf1\trowd)" + Repeat(R"(\cellx1)", 63) + Repeat(R"(\intbl\cell\row)", 20000) + "}", document);
  EXPECT_EQ(result.error, RtfError::TooLarge);
  EXPECT_GT(document.blocks.size(), 100u);
  EXPECT_LT(document.blocks.size(), 20000u);
}

TEST(RtfReader, NotRtfLeavesTheDocumentAlone) {
  RichDocument document = DocumentFromPlainText("keep me");
  const RtfReadResult result = ReadRtf("plain text {\\rtf1 later}", document);
  EXPECT_EQ(result.error, RtfError::NotRtf);
  EXPECT_EQ(document.GetText(), "keep me");
}

}  // namespace
}  // namespace richedit
