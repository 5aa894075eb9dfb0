// The DXF reader: a drawing written by hand from the format, drawings made by an independent writer (ezdxf), and
// the untrusted files it refuses.
#include "outside/grafocore/dxf/dxf_reader.h"
#include "tests/outside/grafocore/dxf_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace grafocore::dxf;

std::string Pairs(std::initializer_list<std::pair<int, const char*>> pairs)
{
  std::string out;
  for (const auto& [code, value] : pairs)
    out += std::to_string(code) + "\n" + value + "\n";
  return out;
}

// An R12 drawing in millimetres: a frozen layer, a nested, turned and scaled insertion, a bulged polyline, a
// text aligned at its second point and an MTEXT with format codes.
const std::string kHandDrawing =
    "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$INSUNITS\r\n 70\r\n4\r\n"
    "  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_1251\r\n  0\r\nENDSEC\r\n" +
    Pairs({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {70, "2"},
           {0, "LAYER"}, {2, "Оси"}, {70, "0"}, {62, "-3"},
           {0, "LAYER"}, {2, "Стены"}, {70, "1"}, {62, "5"}, {0, "ENDTAB"}, {0, "ENDSEC"},
           {0, "SECTION"}, {2, "BLOCKS"},
           {0, "BLOCK"}, {2, "INNER"}, {70, "0"}, {10, "1000"}, {20, "0"}, {30, "0"},
           {0, "LINE"}, {8, "0"}, {10, "1000"}, {20, "0"}, {30, "0"}, {11, "2000"}, {21, "0"}, {31, "0"},
           {0, "ENDBLK"},
           {0, "BLOCK"}, {2, "OUTER"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
           {0, "INSERT"}, {8, "0"}, {2, "INNER"}, {10, "0"}, {20, "0"}, {30, "0"},
           {0, "ENDBLK"}, {0, "ENDSEC"},
           {0, "SECTION"}, {2, "ENTITIES"},
           {0, "INSERT"}, {8, "Оси"}, {2, "OUTER"}, {10, "5000"}, {20, "5000"}, {30, "0"}, {41, "2"}, {42, "2"},
           {50, "90"},
           {0, "POLYLINE"}, {8, "Стены"}, {66, "1"}, {70, "1"},
           {0, "VERTEX"}, {8, "Стены"}, {10, "0"}, {20, "0"}, {30, "0"}, {42, "1"},
           {0, "VERTEX"}, {8, "Стены"}, {10, "2000"}, {20, "0"}, {30, "0"},
           {0, "VERTEX"}, {8, "Стены"}, {10, "2000"}, {20, "2000"}, {30, "0"},
           {0, "SEQEND"},
           {0, "TEXT"}, {8, "Подписи"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "500"}, {1, "Въезд %%d"},
           {72, "1"}, {11, "3000"}, {21, "4000"}, {31, "0"}, {50, "30"},
           {0, "MTEXT"}, {8, "Подписи"}, {10, "100"}, {20, "200"}, {30, "0"}, {40, "250"},
           {3, "{\\fArial|b1;Парк}\\PКвартал \\S1^2;"}, {1, " \\U+0416"},
           {0, "HATCH"}, {8, "Подписи"}, {10, "0"}, {20, "0"},
           {0, "ENDSEC"}, {0, "EOF"}});

TEST(DxfReader, ReadsAHandWrittenDrawingInMetres)
{
  Drawing d;
  const ReadResult result = ReadDxf(kHandDrawing, d);
  ASSERT_TRUE(result.Ok()) << result.Message();
  ASSERT_EQ(d.layers.size(), 3u);
  EXPECT_EQ(d.layers[0].name, "Оси");
  EXPECT_FALSE(d.layers[0].on) << "negative colour: off";
  EXPECT_EQ(d.layers[0].colour, 3);
  EXPECT_FALSE(d.layers[1].on) << "frozen";
  EXPECT_TRUE(d.layers[2].on) << "a layer no table names is made, shown";
  ASSERT_EQ(d.figures.size(), 4u) << "the HATCH is skipped";

  // INNER's line (1..2 m from its base at 1 m) inside OUTER, placed at (5, 5) m, turned 90 degrees, twice the size.
  const Figure& line = d.figures[0];
  EXPECT_EQ(line.layer, 0) << "entities on layer 0 take the insertion's layer";
  ASSERT_EQ(line.points.size(), 2u);
  EXPECT_NEAR(line.points[0].x, 5, 1e-9);
  EXPECT_NEAR(line.points[0].y, 5, 1e-9);
  EXPECT_NEAR(line.points[1].x, 5, 1e-9);
  EXPECT_NEAR(line.points[1].y, 7, 1e-9);

  // A bulge of 1 is a half circle to the right of the way from (0,0) to (2,0): through (1,-1).
  const Figure& walls = d.figures[1];
  EXPECT_TRUE(walls.closed);
  bool throughBottom = false;
  for (const Point& p : walls.points) {
    EXPECT_LE(std::hypot(p.x - 1, p.y), 1 + 1e-9 + (p.y > 0 ? 10 : 0));
    throughBottom |= std::fabs(p.x - 1) < 1e-9 && std::fabs(p.y + 1) < 1e-9;
  }
  EXPECT_TRUE(throughBottom);
  EXPECT_GT(walls.points.size(), 10u);

  const Figure& text = d.figures[2];
  EXPECT_EQ(text.kind, FigureKind::Text);
  EXPECT_EQ(text.text, "Въезд °");
  EXPECT_NEAR(text.points[0].x, 3, 1e-9) << "aligned: its second point";
  EXPECT_NEAR(text.height, 0.5, 1e-9);
  EXPECT_NEAR(text.rotation, 30, 1e-9);
  EXPECT_EQ(d.figures[3].text, "Парк\nКвартал 1/2 Ж");

  // Snap points: the line's ends, the polyline's three vertices, the two texts.
  EXPECT_EQ(d.snapPoints.size(), 7u);
}

// Each untrusted file refused, with the line to blame where there is one.
TEST(DxfReader, RefusesWhatNoDrawingShouldHold)
{
  ReadLimits small;
  small.figures = 3;
  struct Case {
    const char* name;
    std::string bytes;
    ReadError error;
    int line;
  };
  const std::string entities = Pairs({{0, "SECTION"}, {2, "ENTITIES"}});
  const std::string end = Pairs({{0, "ENDSEC"}, {0, "EOF"}});
  const std::string line = Pairs({{0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}});
  const Case cases[] = {
      {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "xx", ReadError::Binary, 0},
      {"empty", "", ReadError::NotDxf, 0},
      {"no sections", Pairs({{999, "comment"}}), ReadError::NotDxf, 0},
      {"code not a number", entities + "ten\n10\n" + end, ReadError::Malformed, 5},
      {"coordinate not a number", entities + Pairs({{0, "POINT"}, {10, "1,5"}}) + end, ReadError::Malformed, 7},
      {"absurd coordinate", entities + Pairs({{0, "POINT"}, {10, "1e300"}}) + end, ReadError::AbsurdCoordinate, 7},
      {"infinite coordinate", entities + Pairs({{0, "POINT"}, {20, "inf"}}) + end, ReadError::Malformed, 7},
      {"self insertion",
       Pairs({{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "A"}, {0, "INSERT"}, {2, "B"}, {0, "ENDBLK"},
              {0, "BLOCK"}, {2, "B"}, {0, "INSERT"}, {2, "A"}, {0, "ENDBLK"}, {0, "ENDSEC"}}) +
           entities + Pairs({{0, "INSERT"}, {2, "A"}}) + end,
       ReadError::BlockCycle, 19},
      {"too many figures", entities + line + line + line + line + end, ReadError::TooLarge, 0},
      {"scaled out of range",
       Pairs({{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "A"}, {0, "LINE"}, {11, "1000"}, {21, "1000"}}) +
           Pairs({{0, "ENDBLK"}, {0, "ENDSEC"}}) + entities + Pairs({{0, "INSERT"}, {2, "A"}, {41, "1e9"}, {42, "1e9"}}) +
           end,
       ReadError::AbsurdCoordinate, 0},
  };
  for (const Case& c : cases) {
    Drawing d;
    const ReadResult result = ReadDxf(c.bytes, d, small);
    EXPECT_EQ(result.error, c.error) << c.name;
    if (c.line) {
      EXPECT_EQ(result.line, c.line) << c.name;
    }
    EXPECT_TRUE(d.figures.empty()) << c.name;
    EXPECT_FALSE(result.Message().empty()) << c.name;
  }
}

TEST(DxfReader, InsertionsOfEmptyBlocksCannotRunAway)
{
  // Ten blocks each inserting the next ten times: ten billion visits if nothing stopped it.
  std::string blocks = Pairs({{0, "SECTION"}, {2, "BLOCKS"}});
  for (int b = 0; b < 10; ++b) {
    blocks += Pairs({{0, "BLOCK"}, {2, ("B" + std::to_string(b)).c_str()}});
    if (b < 9)
      for (int k = 0; k < 10; ++k)
        blocks += Pairs({{0, "INSERT"}, {2, ("B" + std::to_string(b + 1)).c_str()}});
    blocks += Pairs({{0, "ENDBLK"}});
  }
  blocks += Pairs({{0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}, {0, "INSERT"}, {2, "B0"}, {0, "ENDSEC"}});
  Drawing d;
  EXPECT_EQ(ReadDxf(blocks, d).error, ReadError::TooLarge);
}

// ezdxf's drawings in both text forms: cp1251 (R2000) and UTF-8 (R2018).
TEST(DxfReader, ReadsDrawingsAnotherWriterMade)
{
  for (const char* version : {"R2000", "R2018"}) {
    const std::string path = testsupport::ArtifactPath(std::string("import-sample-") + version + ".dxf");
    ASSERT_EQ(testsupport::RunPython("make_sample.py", {path, version}, nullptr), 0) << version;
    Drawing d;
    const ReadResult result = ReadDxfFile(path, d);
    ASSERT_TRUE(result.Ok()) << version << ": " << result.Message();
    for (const char* layer : {"Дороги", "Здания", "Подписи"})
      EXPECT_GE(d.FindLayer(layer), 0) << version << " " << layer;
    int texts = 0, circles = 0;
    for (const Figure& f : d.figures) {
      if (f.kind == FigureKind::Text) {
        ++texts;
        EXPECT_TRUE(f.text == "Улица Ленина" || f.text == "Парк\nОтдыха") << version << " " << f.text;
      }
      circles += f.kind == FigureKind::Polyline && f.closed && f.points.size() == 64;
    }
    EXPECT_EQ(texts, 2) << version;
    EXPECT_EQ(circles, 3) << version << ": one circle and the grove's two trees";
    // The grove at (10,-10), turned 90 and doubled: its second tree at (10, -2).
    bool secondTree = false;
    for (const Point& p : d.snapPoints)
      secondTree |= std::fabs(p.x - 10) < 1e-9 && std::fabs(p.y + 2) < 1e-9;
    EXPECT_TRUE(secondTree) << version;
  }
}

TEST(DxfReader, MTextFormatCodesAreStripped)
{
  const std::pair<const char*, const char*> cases[] = {
      {"\\A1;\\H2.5x;Высота\\~5 м", "Высота 5 м"},
      {"{\\C1;красный}\\Pвторая", "красный\nвторая"},
      {"\\\\путь\\{1\\}", "\\путь{1}"},
      {"\\Lподчёркнуто\\l", "подчёркнуто"},
      {"\\S3#4;", "3/4"},
      {"обрыв\\", "обрыв\\"},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(StripMTextFormat(in), out) << in;
}

}  // namespace
