// Lines, table rows and pages of the rich edit's layout.
#include "platform/richedit/layout.h"

#include "platform/gdi/wingdi.h"
#include "platform/richedit/rtf_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace richedit {
namespace {

RichDocument Read(const std::string& rtf)
{
  RichDocument document;
  EXPECT_TRUE(ReadRtf(rtf, document).Ok()) << rtf;
  return document;
}

std::string Words(int count)
{
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += (i % 3 == 0 ? "освещённость " : i % 3 == 1 ? "luminance " : "опора ");
  }
  return text;
}

// A paragraph breaks between words into lines no wider than the frame, and the lines cover every character once.
TEST(LayoutLines, WrapBetweenWordsWithinTheWidth)
{
  const RichDocument document = Read("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
                                     "\\f0\\fs24 " + Words(60) + "\\par Second\\par}");
  FontMetricsCache fonts;
  for (long width : {2000L, 4321L, 9000L}) {
    const Layout layout = Layout::Build(document, fonts, width);
    const std::string text = document.GetText();
    ASSERT_GT(layout.LineCount(), 2) << width;
    long expectedCp = 0;
    for (const Band& band : layout.Bands()) {
      ASSERT_EQ(band.lines.size(), 1u);
      const LayoutLine& line = band.lines[0];
      EXPECT_EQ(line.cpFirst, expectedCp);
      expectedCp = line.cpLim;
      long visibleRight = 0;
      for (const LinePiece& piece : line.pieces) {
        // Trailing spaces may hang past the edge.
        const std::string pieceText = text.substr(static_cast<size_t>(piece.cp), static_cast<size_t>(piece.length));
        const size_t lastVisible = pieceText.find_last_not_of(' ');
        if (lastVisible != std::string::npos && piece.metrics != nullptr) {
          const long hanging = static_cast<long>(pieceText.size() - lastVisible - 1) * piece.metrics->advance[' '];
          visibleRight = piece.x + piece.width - hanging;
        }
      }
      const std::string lineText = text.substr(static_cast<size_t>(line.cpFirst),
                                               static_cast<size_t>(line.cpLim - line.cpFirst));
      if (lineText.find(' ') != std::string::npos && lineText.back() != '\r') {
        EXPECT_LE(visibleRight, width) << "'" << lineText << "'";
        EXPECT_EQ(lineText.back(), ' ') << "a word was cut: '" << lineText << "'";
      }
    }
    EXPECT_EQ(expectedCp, document.Length());
  }
  // Without wrapping the first paragraph is one line; the last paragraph is the empty one after "Second\par".
  EXPECT_EQ(Layout::Build(document, fonts, kNoWrap).LineCount(), 3);
}

// A word longer than the frame is cut where it stops fitting instead of running off the page.
TEST(LayoutLines, OverlongWordIsCut)
{
  const RichDocument document = Read("{\\rtf1\\ansi\\f0\\fs24 " + std::string(200, 'W') + "\\par}");
  FontMetricsCache fonts;
  const Layout layout = Layout::Build(document, fonts, 3000);
  ASSERT_GT(layout.LineCount(), 2);
  for (const Band& band : layout.Bands()) {
    for (const LinePiece& piece : band.lines[0].pieces) {
      EXPECT_LE(piece.x + piece.width, 3000);
    }
  }
}

// Centred and right-aligned lines end where their alignment says.
TEST(LayoutLines, Alignment)
{
  const RichDocument document = Read("{\\rtf1\\ansi\\f0\\fs24 \\ql Left\\par\\qc Centre\\par\\qr Right\\par}");
  FontMetricsCache fonts;
  const Layout layout = Layout::Build(document, fonts, 6000);
  ASSERT_EQ(layout.LineCount(), 4);
  auto span = [&](int line) {
    const LayoutLine& l = layout.Bands()[static_cast<size_t>(line)].lines[0];
    return std::pair<long, long>(l.pieces.front().x, l.pieces.back().x + l.pieces.back().width);
  };
  EXPECT_EQ(span(0).first, 0);
  EXPECT_NEAR(span(1).first, 6000 - span(1).second, 2);
  EXPECT_EQ(span(2).second, 6000);
}

// Text after a right, centre or decimal tab stop ends at, centres on, or puts its separator at the stop.
TEST(LayoutLines, TabStopKinds)
{
  struct Case {
    const char* stop;
    const char* after;
    int part;  // how much of the text after the tab stands left of the stop: 2 all, 1 half, 0 up to the comma
  };
  for (const Case& k : {Case{"\\tqr\\tx5000", "Right", 2}, Case{"\\tqc\\tx5000", "Centred", 1},
                        Case{"\\tqdec\\tx5000", "12,75", 0}, Case{"\\tx5000", "Left", -1}}) {
    const RichDocument document = Read(std::string("{\\rtf1\\ansi\\f0\\fs24 \\pard") + k.stop + " A\\tab " +
                                       k.after + "\\par}");
    FontMetricsCache fonts;
    const Layout layout = Layout::Build(document, fonts, 9000);
    const LayoutLine& line = layout.Bands()[0].lines[0];
    ASSERT_EQ(line.pieces.size(), 3u) << k.stop;
    const LinePiece& text = line.pieces[2];
    long comma = text.x;
    for (size_t i = 0; k.part == 0 && i < std::string(k.after).find(','); ++i) {
      comma += text.metrics->advance[static_cast<unsigned char>(k.after[i])];
    }
    const long expectedStart = k.part == 2   ? 5000 - text.width
                               : k.part == 1 ? 5000 - text.width / 2
                               : k.part == 0 ? text.x + 5000 - comma
                                             : 5000;
    EXPECT_NEAR(text.x, expectedStart, 1) << k.stop;
  }
}

// Cells sit in their columns and wrap there; the row is as tall as its tallest cell, and the text after the
// table starts below it.
TEST(LayoutTable, CellsInColumnsRowAsTallAsTallestCell)
{
  const RichDocument document = Read(
      "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\\f0\\fs20 "
      "\\trowd\\trgaph100\\trleft0\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\cellx2000"
      "\\clbrdrt\\brdrs\\brdrw10\\cellx6000\\pard\\intbl Short\\cell " + Words(30) + "\\cell\\row"
      "\\pard After\\par}");
  FontMetricsCache fonts;
  const Layout layout = Layout::Build(document, fonts, 9000);
  ASSERT_GE(layout.Bands().size(), 2u);
  const Band& row = layout.Bands()[0];
  ASSERT_EQ(row.cells.size(), 2u);
  EXPECT_EQ(row.cells[0].rect.left, 0);
  EXPECT_EQ(row.cells[0].rect.right, 2000);
  EXPECT_EQ(row.cells[1].rect.left, 2000);
  EXPECT_EQ(row.cells[1].rect.right, 6000);
  long tallest = 0;
  int linesInSecond = 0;
  for (const LayoutLine& line : row.lines) {
    const bool second = line.x >= 2000;
    linesInSecond += second ? 1 : 0;
    EXPECT_EQ(line.x, second ? 2100 : 100);
    for (const LinePiece& piece : line.pieces) {
      EXPECT_LE(line.x + piece.x + piece.width, second ? 5900 + 1 : 1900 + 1);
    }
    tallest = std::max(tallest, line.top + line.height);
  }
  EXPECT_GT(linesInSecond, 1);
  EXPECT_EQ(row.height, tallest);
  EXPECT_EQ(layout.Bands()[1].top, row.top + row.height);
  EXPECT_EQ(document.GetText(layout.Bands()[1].cpFirst, layout.Bands()[1].cpLim - 1), "After");
}

// A 2x2 red picture as \dibitmap hex: BITMAPINFOHEADER, then 24-bit rows bottom-up, padded to four bytes.
std::string RedPictureHex()
{
  std::vector<std::uint8_t> bytes = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  bytes.resize(40, 0);
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 2; ++x) {
      bytes.insert(bytes.end(), {0, 0, 255});
    }
    bytes.insert(bytes.end(), {0, 0});
  }
  std::string hex;
  for (std::uint8_t b : bytes) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", b);
    hex += two;
  }
  return hex;
}

// A picture takes its goal size on the line and is drawn over that much of the device, whatever its pixels.
TEST(LayoutPictures, ScaledToGoalSize)
{
  const RichDocument document = Read("{\\rtf1\\ansi\\f0\\fs20 A{\\pict\\dibitmap0\\picw2\\pich2"
                                     "\\picwgoal1440\\pichgoal720 " + RedPictureHex() + "}B\\par}");
  FontMetricsCache fonts;
  const Layout layout = Layout::Build(document, fonts, 9000);
  const LayoutLine& line = layout.Bands()[0].lines[0];
  ASSERT_EQ(line.pieces.size(), 3u);
  const LinePiece& picture = line.pieces[1];
  EXPECT_EQ(picture.width, 1440);
  EXPECT_GE(line.height, 720);
  EXPECT_EQ(line.pieces[2].x, picture.x + 1440);

  // At 96 dpi the picture is 96 x 48 pixels.
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 300;
  info.bmiHeader.biHeight = -100;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, 300, 100, WHITENESS);
  const double units = 96.0 / 1440;
  layout.Paint(dc, document, 0, 1, 0, 0, POINT{0, 0}, units, units, PaintOptions{});
  const int left = static_cast<int>(picture.x * units + 0.5);
  const int bottom = static_cast<int>(line.ascent * units + 0.5);
  EXPECT_EQ(GetPixel(dc, left + 2, bottom - 2), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, left + 93, bottom - 46), RGB(255, 0, 0));
  EXPECT_NE(GetPixel(dc, left + 98, bottom - 2), RGB(255, 0, 0));
  EXPECT_NE(GetPixel(dc, left + 2, bottom - 51), RGB(255, 0, 0));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// Pages are cut between bands only: no line is split, every page but one fits, a \page starts a new page.
TEST(LayoutPages, CutBetweenLinesAndAtPageBreaks)
{
  std::string body;
  for (int i = 0; i < 120; ++i) {
    body += "Line " + std::to_string(i) + "\\par ";
    if (i == 10) {
      body += "\\page ";
    }
  }
  const RichDocument document = Read("{\\rtf1\\ansi\\f0\\fs24 " + body + "}");
  FontMetricsCache fonts;
  const Layout layout = Layout::Build(document, fonts, 9000);
  const long pageHeight = 5000;
  long cp = 0;
  int pages = 0;
  std::vector<long> starts;
  while (cp < document.Length()) {
    const Layout::Page page = layout.PageFrom(cp, pageHeight);
    ASSERT_GT(page.endBand, page.firstBand);
    ASSERT_GT(page.cpNext, cp);
    const Band& first = layout.Bands()[page.firstBand];
    const Band& last = layout.Bands()[page.endBand - 1];
    EXPECT_LE(last.top + last.height - first.top, pageHeight);
    if (page.endBand < layout.Bands().size()) {
      EXPECT_EQ(page.cpNext, layout.Bands()[page.endBand].cpFirst);
    }
    starts.push_back(cp);
    cp = page.cpNext;
    ++pages;
  }
  // The second page starts right after the page break, with "Line 11".
  ASSERT_GE(starts.size(), 2u);
  EXPECT_EQ(document.GetText(starts[1], starts[1] + 7), "Line 11");
  const long lineHeight = layout.Bands()[0].height;
  const long perPage = pageHeight / lineHeight;
  EXPECT_EQ(pages, 1 + static_cast<int>((109 + perPage - 1) / perPage));
}

// Headings kept with what follows go to the next page with it rather than stand alone at a page's foot; a page
// of nothing but kept lines still ends where it must.
TEST(LayoutPages, HeadingsKeptWithTheNextParagraphMoveToItsPage)
{
  const RichDocument probe = Read("{\\rtf1\\ansi\\f0\\fs24 x\\par}");
  FontMetricsCache fonts;
  const long lineHeight = Layout::Build(probe, fonts, 9000).Bands()[0].height;
  const long pageHeight = 10 * lineHeight;
  const struct {
    const char* name;
    std::string body;
    int firstOfSecondPage;  // band index
  } cases[] = {
      {"two kept headings at the foot", "\\pard a\\par b\\par c\\par d\\par e\\par f\\par g\\par h\\par "
                                        "\\pard\\keepn H1\\par H2\\par\\pard Body\\par more\\par", 8},
      {"nothing kept", "\\pard a\\par b\\par c\\par d\\par e\\par f\\par g\\par h\\par H1\\par H2\\par "
                       "Body\\par more\\par", 10},
      {"every line kept", "\\pard\\keepn a\\par b\\par c\\par d\\par e\\par f\\par g\\par h\\par i\\par "
                          "j\\par k\\par l\\par", 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RichDocument document = Read("{\\rtf1\\ansi\\f0\\fs24 " + c.body + "}");
    const Layout layout = Layout::Build(document, fonts, 9000);
    const Layout::Page first = layout.PageFrom(0, pageHeight);
    EXPECT_EQ(first.endBand, static_cast<size_t>(c.firstOfSecondPage));
    EXPECT_EQ(first.cpNext, layout.Bands()[first.endBand].cpFirst);
  }
}

}  // namespace
}  // namespace richedit
