// The writer's bytes, each case written by hand from the document format, never from the writer itself.
#include "report/rtf/rtf_writer.h"

#include "platform/mfc-core/memfile.h"
#include "platform/mfc/gdiobj.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string Body(const CRTFWriter& writer)
{
  CMemFile* file = writer.GetFile();
  const std::string all(reinterpret_cast<const char*>(file->GetData()), static_cast<std::size_t>(file->GetLength()));
  // Everything after the head, which ends in the first "\pard ".
  return all.substr(all.find("\\pard ") + 6);
}

struct ByteCase {
  const char* name;
  std::function<int(CRTFWriter&)> write;
  std::string bytes;
  int result;
};

std::string ContinuationOfEightTabs() { return "\\line \\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab "; }

TEST(RtfWriter, OperationsWriteTheirFragmentsByteForByte)
{
  const ByteCase cases[] = {
      {"plain text is braced", [](CRTFWriter& w) { w.WriteText("abc"); return 0; }, "{abc}", 0},
      {"a group stays", [](CRTFWriter& w) { w.WriteText("{\\b x}"); return 0; }, "{\\b x}", 0},
      {"an opening brace stays", [](CRTFWriter& w) { w.WriteText("{abc"); return 0; }, "{abc", 0},
      {"a closing brace stays", [](CRTFWriter& w) { w.WriteText("abc}"); return 0; }, "abc}", 0},
      {"empty text writes nothing", [](CRTFWriter& w) { w.WriteText(""); return 0; }, "", 0},
      {"a short wrapped name", [](CRTFWriter& w) { return w.WriteWrappedText("Name", 22, 3, 0, 8, 0); },
       "{Name} ", 0},
      {"a word without room goes to a fresh line",
       [](CRTFWriter& w) { return w.WriteWrappedText("{123456789 123456789012345}", 22, 3, 0, 8, 0); },
       "{123456789 " + ContinuationOfEightTabs() + "123456789012345} ", 1},
      {"a hyphen carries over to the next line",
       [](CRTFWriter& w) { return w.WriteWrappedText("{123456789012345678 abc-defgh}", 22, 3, 0, 8, 0); },
       "{123456789012345678 abc-" + ContinuationOfEightTabs() + "-defgh} ", 1},
      {"a word within the tolerance ends the line",
       [](CRTFWriter& w) { return w.WriteWrappedText("{1234567890123 1234567890 x}", 22, 3, 0, 0, 0); },
       "{1234567890123 1234567890\\line  x} ", 1},
      {"a word longer than a line gets one of its own",
       [](CRTFWriter& w) { return w.WriteWrappedText("{ab 1234567890123456789012345 c}", 10, 3, 0, 0, 1); },
       "{ab \\line   1234567890123456789012345\\line   c} ", 2},
      {"separators become spaces",
       [](CRTFWriter& w) { return w.WriteWrappedText("a,b.c", 80, 3, 1, 0, 0); }, "{a b c} ", 0},
      {"line breaks", [](CRTFWriter& w) { w.WriteLineBreaks(3); w.WriteLineBreaks(0); return 0; },
       "\\line\\line\\line", 0},
      {"tabs", [](CRTFWriter& w) { w.WriteTabs(2); w.WriteTabs(0); return 0; }, "\\tab\\tab", 0},
      {"paragraphs", [](CRTFWriter& w) { w.BeginParagraph(1); w.EndParagraph(); w.BeginParagraph(2);
         w.BeginParagraph(0); w.BeginParagraph(7); return 0; }, "\\pard\\qc\\par\\pard\\qr\\pard\\ql\\pard", 0},
      {"black on light grey", [](CRTFWriter& w) { w.SetColours(6, 0); return 0; },
       " \\highlight0\\cf1\\highlight7 ", 0},
      {"colours reset", [](CRTFWriter& w) { w.SetColours(8, 3); return 0; },
       " \\highlight0\\cf1\\highlight5  \\highlight0\\cf9 ", 0},
      {"no colours above 8", [](CRTFWriter& w) { w.SetColours(9, 0); return 0; }, "", 0},
      {"plain font", [](CRTFWriter& w) { w.SetFont(2, 20, 0); return 0; }, "\\b0\\f2\\fs20", 0},
      {"bold font", [](CRTFWriter& w) { w.SetFont(3, 25, 1); return 0; }, "\\b\\f3\\fs25", 0},
      {"page", [](CRTFWriter& w) { w.NewPage(); w.NewPage(); return w.GetPageCount(); }, "\\page\\page", 2},
  };
  for (const ByteCase& c : cases) {
    CRTFWriter writer;
    ASSERT_EQ(writer.Open(), 1);
    EXPECT_EQ(c.write(writer), c.result) << c.name;
    EXPECT_EQ(Body(writer), c.bytes) << c.name;
  }
}

TEST(RtfWriter, HeadHasColoursFontsAndTheWindowColourAndCloseEndsTheDocumentOnce)
{
  CRTFWriter writer;
  writer.Close();
  ASSERT_EQ(writer.Open(), 1);
  EXPECT_EQ(writer.Open(), 0);
  CMemFile* file = writer.GetFile();
  const std::string head(reinterpret_cast<const char*>(file->GetData()), static_cast<std::size_t>(file->GetLength()));
  EXPECT_EQ(head,
            "{\\rtf1\\ansi\\ansicpg1251{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;"
            "\\red0\\green255\\blue0;\\red0\\green0\\blue255;\\red255\\green255\\blue255;\\red50\\green50\\blue50;"
            "\\red180\\green180\\blue180;\\red255\\green255\\blue255;\\red0\\green0\\blue0}"
            "{\\fonttbl{\\f0\\fnil default;}{\\f1\\froman roman h;}{\\f2\\fswiss Arial CYR;}{\\f3\\ftech\\fcharset2 Symbol;}"
            "{\\f4\\fswiss\\fcharset204{\\*\\fname Arial;}Arial CYR;}}\\pard ");
  writer.NewPage();
  writer.Close();
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(writer.GetFile(), nullptr);
  EXPECT_EQ(writer.GetPageCount(), 0);
  writer.Close();
  writer.WriteText("after");
  EXPECT_EQ(writer.GetFile(), nullptr);
}

TEST(RtfWriter, TableOfTwoColumnsAndOneRow)
{
  CRTFColumn columns;
  columns.AddColumn(3000, 0);
  columns.AddColumn(2000, 2);
  CRTFRowList rows;
  rows.AddRow();
  CRTFCellGrid grid(rows, columns);
  grid.SetCell("{a}", 0, 0);
  grid.SetCell("{b}", 1, 0);
  grid.SetCell("{outside}", 2, 0);
  grid.SetCell("{outside}", 0, 1);
  grid.SetCell("{outside}", -1, 0);
  grid.SetCell("{outside}", 0, -1);
  CRTFWriter writer;
  ASSERT_EQ(writer.Open(), 1);
  writer.WriteTable(grid);
  const std::string cell = "\\clbrdrt\\brdrw15\\brdrs \\clbrdrl\\brdrw15\\brdrs \\clbrdrb\\brdrw15\\brdrs "
                           "\\clbrdrr\\brdrw15\\brdrs";
  EXPECT_EQ(Body(writer),
            " \\par\\trowd\\trgaph50\\trleft0 \\trbrdrt\\brdrw15\\brdrs \\trbrdrl\\brdrw15\\brdrs "
            "\\trbrdrb\\brdrw15\\brdrs \\trbrdrr\\brdrw15\\brdrs " +
                cell + "\\cellx3000 " + cell + "\\cellx5000 \\pard \\intbl \\ql {a}\\cell \\qr     {b}\\cell \\row \\pard ");

  CRTFColumn noColumns;
  CRTFCellGrid empty(rows, noColumns);
  CRTFRowList noRows;
  CRTFCellGrid noRowGrid(noRows, columns);
  CRTFWriter other;
  ASSERT_EQ(other.Open(), 1);
  other.WriteTable(empty);
  other.WriteTable(noRowGrid);
  EXPECT_EQ(Body(other), "");
}

// A DIB section of 24-bit pixels holding `bits` as stored; a positive height stores the bottom row first.
void MakeSection(CBitmap& bitmap, int width, int height, const BYTE* bits, std::size_t size)
{
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* stored = nullptr;
  ASSERT_TRUE(bitmap.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &stored, nullptr, 0)));
  ASSERT_NE(stored, nullptr);
  std::memcpy(stored, bits, size);
}

TEST(RtfWriter, BitmapRowsAsHexDigitsTopRowFirst)
{
  // Three scan lines of 8 bytes: two BGR pixels and two bytes of padding, as the picture renderer's DIBs hold
  // them. \wbitmap is read top row first: a bottom-up section's last stored line comes first.
  const BYTE bits[24] = {0x00, 0x01, 0x0a, 0xff, 0x10, 0x7f, 0, 0, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0, 0,
                         0xa0, 0xb1, 0xc2, 0xd3, 0xe4, 0xf5, 0, 0};
  const std::string head = "{\\pict\\wbitmap0\\pich3\\picw2\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes8 ";
  const struct {
    int height;
    const char* rows;
  } cases[] = {{3, "a0b1c2d3e4f500002021222324250000" "00010aff107f0000"},
               {-3, "00010aff107f00002021222324250000" "a0b1c2d3e4f50000"}};
  for (const auto& c : cases) {
    CBitmap bitmap;
    ASSERT_NO_FATAL_FAILURE(MakeSection(bitmap, 2, c.height, bits, sizeof(bits)));
    CRTFWriter writer;
    ASSERT_EQ(writer.Open(), 1);
    writer.WriteBitmap(nullptr);
    writer.WriteBitmap(&bitmap);
    EXPECT_EQ(Body(writer), head + c.rows + "} ") << "height " << c.height;
  }
}

TEST(RtfWriter, APictureWiderThanTheTextColumnIsSetAtItsWidth)
{
  // 600 x 700 pixels are 9000 x 10500 twips at 96 dpi: set 8300 twips wide, its height in proportion.
  std::vector<BYTE> bits(static_cast<std::size_t>(600 * 3) * 700);
  CBitmap wide;
  ASSERT_NO_FATAL_FAILURE(MakeSection(wide, 600, 700, bits.data(), bits.size()));
  CRTFWriter writer;
  ASSERT_EQ(writer.Open(), 1);
  writer.WriteBitmap(&wide);
  const std::string expected =
            "{\\pict\\wbitmap0\\pich700\\picw600\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes1800\\picwgoal8300"
            "\\pichgoal9683 000000";
  EXPECT_EQ(Body(writer).substr(0, expected.size()), expected);
}

TEST(RtfWriter, GroupedNumbersAndEscapedText)
{
  const struct {
    double value;
    const char* text;
  } numbers[] = {{1234567.5, "1 234 567.5"}, {1234.56, "1 234.56"}, {999, "999"}, {0, "0"},
                 {-1234.5, "-1 234.5"}, {-123.25, "-123.25"}, {100000, "100 000"}};
  for (const auto& n : numbers) {
    EXPECT_EQ(std::string(FormatGroupedNumber(n.value)), n.text) << n.value;
  }
  EXPECT_EQ(std::string(EscapeRtfText("a{b}\\par c")), "a\\{b\\}\\\\par c");
}

}  // namespace
