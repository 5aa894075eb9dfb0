// The interchange engine: its input read field by field, illuminance on each point's own face with the shadows
// of decks and shading objects worked by hand, the result file item by item as the program reads it, damaged
// inputs, cancel, threads, and the entry point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "engine_files_fixture.h"
#include "interchange_fixture.h"
#include "outside/engines/deck_shadows.h"
#include "outside/engines/engine_codes.h"
#include "outside/engines/interchange_calc.h"
#include "outside/engines/interchange_engine.h"
#include "outside/engines/interchange_result_file.h"
#include "outside/engines/open_territory_input.h"
#include "outside/engines/window_host.h"

namespace Engines {
namespace {

namespace fs = std::filesystem;
using testing::F32At;
using testing::InterchangeText;
using testing::RecordingHost;
using testing::U32At;

void ExpectPoint(Vec3 v, double x, double y, double z, const char* what)
{
  EXPECT_DOUBLE_EQ(v.x, x) << what;
  EXPECT_DOUBLE_EQ(v.y, y) << what;
  EXPECT_DOUBLE_EQ(v.z, z) << what;
}

TEST(InterchangeInput, HandWrittenFileIsReadFieldByField)
{
  std::string error;
  auto in = ParseInterchangeInput(testing::HandWrittenInterchange(), &error);
  ASSERT_TRUE(in) << error;
  EXPECT_EQ(in->length, 60.0);
  EXPECT_EQ(in->width, 40.0);
  EXPECT_FALSE(in->userGrid);
  EXPECT_EQ(in->gridStep, 2.5);
  EXPECT_TRUE(in->carriagewayTakesPart);
  EXPECT_TRUE(in->sidewalkTakesPart);
  EXPECT_EQ(in->section, 8);
  EXPECT_EQ(in->maxPolygonVertices, 4u);
  EXPECT_EQ(in->maxPolygonPieces, 2u);
  EXPECT_EQ(in->maxPolygonMeshPoints, 5u);
  ASSERT_EQ(in->primitives.size(), 4u);

  const SitePrimitive& plate = in->primitives[0];
  EXPECT_EQ(plate.shape, PrimitiveShape::Rectangle);
  EXPECT_EQ(plate.membership, SiteMembership::Background);  // 3 written as 0
  ExpectPoint(plate.points[2], 30, 20, 0.001, "rectangle point 3");

  const SitePrimitive& deck = in->primitives[1];
  EXPECT_EQ(deck.shape, PrimitiveShape::Polygon);
  EXPECT_EQ(deck.membership, SiteMembership::Carriageway);
  ASSERT_EQ(deck.outline.size(), 4u);
  ExpectPoint(deck.outline[3], -5, 2, 6.002, "outline vertex 4, lift included");
  ASSERT_EQ(deck.pieces.size(), 2u);
  ExpectPoint(deck.pieces[1][2], -5, 2, 6.0, "mesh triangle 2, point 3");
  ASSERT_EQ(deck.meshPoints.size(), 5u);
  ExpectPoint(deck.meshPoints[4].position, 0, 0, 6.04, "mesh point 5");
  ExpectPoint(deck.meshPoints[4].normal, 0, 0, 1, "its normal");

  const SitePrimitive& ground = in->primitives[2];
  EXPECT_EQ(ground.membership, SiteMembership::Background);
  EXPECT_EQ(ground.traversal, 1);
  ASSERT_EQ(ground.meshPoints.size(), 4u);
  ExpectPoint(ground.meshPoints[1].position, -10, -10, 0.04, "background point 2");

  const SitePrimitive& box = in->primitives[3];
  EXPECT_EQ(box.membership, SiteMembership::Shading);
  ExpectPoint(box.pieces[0][1], 16, -1, 3, "shading triangle 1, point 2");
  ASSERT_EQ(box.meshPoints.size(), 1u);
  ExpectPoint(box.meshPoints[0].normal, 0, 0, 0, "the shading object's zero line");

  EXPECT_EQ(in->maintenanceFactor, 1.5);
  EXPECT_EQ(in->maxAngleCount, 3u);
  EXPECT_EQ(in->maxPlaneCount, 2u);
  ASSERT_EQ(in->luminaires.size(), 1u);
  const SiteLuminaireRecord& pole = in->luminaires[0];
  EXPECT_EQ(pole.mounting, 0u);
  EXPECT_EQ(pole.scheme, 0u);
  EXPECT_EQ(pole.y, -6.0);
  EXPECT_EQ(pole.armRotation, 90.0);
  EXPECT_EQ(pole.height, 10.0);
  EXPECT_EQ(pole.outreach, 1.5);
  EXPECT_EQ(pole.type, 1u);
  ASSERT_EQ(in->types.size(), 1u);
  EXPECT_EQ(in->types[0].lampFlux, 12000.0);
  EXPECT_EQ(in->types[0].table.angles, (std::vector<double>{0, 45, 90}));
  EXPECT_EQ(in->types[0].table.planes, (std::vector<double>{0, 180}));
  EXPECT_EQ(in->types[0].table.Value(1, 1), 720.0);

  // The open-territory reader does not know the mesh points and loses its way.
  EXPECT_FALSE(ParseOpenTerritoryInput(testing::HandWrittenInterchange(), nullptr));
}

std::vector<std::vector<float>> Values(const std::string& text, unsigned threads = 0)
{
  std::string error;
  auto in = ParseInterchangeInput(text, &error);
  EXPECT_TRUE(in) << error;
  if (!in)
    return {};
  SilentHost host;
  InterchangeResult result;
  EXPECT_EQ(CalculateInterchange(*in, host, result, &error, {threads}), kEngineOk) << error;
  std::vector<std::vector<float>> values;
  for (const AnsweredPolygon& p : result.polygons)
    values.push_back(p.values);
  return values;
}

void ExpectLux(float got, double expected, const std::string& what)
{
  EXPECT_NEAR(got, expected, 1e-5 * std::max(1.0, expected)) << what;
}

TEST(InterchangeCalc, IsotropicSourceOverAHorizontalDeckFollowsTheCosineCubedLaw)
{
  // 1000 cd at 10 m over (0, 0); points 0.04 m above the deck every 2 m. E = I cos^3(eps) / h^2, h = 9.96.
  auto text = InterchangeText().FlatDeck(1, -10, -6, 10, 6, 0.0, 2.0).Pole(0, 0, 10).Isotropic(1000, 1000).Text();
  auto values = Values(text);
  ASSERT_EQ(values.size(), 1u);
  ASSERT_EQ(values[0].size(), 11u * 7u);
  const double h = 9.96;
  std::size_t k = 0;
  for (int x = -10; x <= 10; x += 2)
    for (int y = -6; y <= 6; y += 2) {
      const double d = std::sqrt(x * x + y * y + h * h), cosEps = h / d;
      ExpectLux(values[0][k++], 1000.0 * cosEps * cosEps * cosEps / (h * h),
                "(" + std::to_string(x) + ", " + std::to_string(y) + ")");
    }
}

TEST(InterchangeCalc, AnInclinedDeckIsLitOnItsOwnNormal)
{
  // A ramp z = y / 2 (normal (0, -1, 2) / sqrt 5), 1000 cd at (0, 0, 10). Worked by hand, E = I cos(i) / d^2:
  //   (0, 4, 2):  L - P = (0, -4, 8) lies along the normal: 1000 / 80 = 12.5
  //   (0, -4, -2): L - P = (0, 4, 12), d^2 = 160, cos i = (20 / sqrt 5) / sqrt 160 = 0.7071068: 4.4194174
  //     (the horizontal formula would give 5.929)
  //   (3, 4, 2):  L - P = (-3, -4, 8), d^2 = 89, cos i = (20 / sqrt 5) / sqrt 89: 10.652707
  const double s = 1.0 / std::sqrt(5.0);
  const std::vector<std::array<double, 3>> outline{{{-5, -6, -3}, {5, -6, -3}, {5, 6, 3}, {-5, 6, 3}}};
  const std::vector<InterchangeText::Triangle> triangles{{-5, -6, -3, 5, -6, -3, 5, 6, 3},
                                                         {-5, -6, -3, 5, 6, 3, -5, 6, 3}};
  const double expected[] = {12.5, 1000.0 * (20.0 * s / std::sqrt(160.0)) / 160.0,
                             1000.0 * (20.0 * s / std::sqrt(89.0)) / 89.0};
  EXPECT_NEAR(expected[1], 4.4194174, 1e-6);
  EXPECT_NEAR(expected[2], 10.652707, 1e-5);
  // The normal as sent, turned over (it is the upper face that is lit), or missing (the mesh triangle's).
  for (double k : {1.0, -1.0, 0.0}) {
    const double ny = -s * k * 2.0 / 2.0, nz = 2.0 * s * k;
    std::vector<InterchangeText::Point> points{{0, 4, 2, 0, ny, nz}, {0, -4, -2, 0, ny, nz}, {3, 4, 2, 0, ny, nz}};
    auto values =
        Values(InterchangeText().Polygon(2, outline, triangles, points).Pole(0, 0, 10).Isotropic(1000, 1).Text());
    ASSERT_EQ(values.size(), 1u);
    ASSERT_EQ(values[0].size(), 3u);
    for (int i = 0; i < 3; ++i)
      ExpectLux(values[0][i], expected[i], "normal x " + std::to_string(k) + ", point " + std::to_string(i));
  }
}

TEST(InterchangeCalc, AnUpperDeckShadesThePointsBeneathItFromALightAbove)
{
  // A road at 0 m (x -20..20, y -5..5) under a bridge deck at 6 m (x -3..3, y -10..10), a polygon with points or
  // a simple rectangle. Light A, 1000 cd at (0, 0, 12), stands above the bridge; light B, 1000 cd at (0, 0, 4),
  // under it. From a road point (x, 0) the way to A passes 6 m at x (1 - 5.96 / 11.96) = 0.5017 x: within the
  // bridge for |x| <= 5. Under everything lies a background rectangle lifted 0.06 m, above the road's points (as
  // the writer lifts the sixtieth primitive): a sheet that close to a point's height shades nothing.
  for (bool polygonBridge : {true, false}) {
    InterchangeText site;
    site.Rectangle(-30, -20, 30, 20, 0.06, 0).FlatDeck(1, -20, -5, 20, 5, 0.0, 1.0);
    if (polygonBridge)
      site.FlatDeck(1, -3, -10, 3, 10, 6.0, 1.0);
    else
      site.Rectangle(-3, -10, 3, 10, 6.0, 1);
    auto values = Values(site.Pole(0, 0, 12).Pole(0, 0, 4).Isotropic(1000, 1000).Text());
    const std::string bridge = polygonBridge ? "polygon bridge: " : "rectangle bridge: ";
    ASSERT_EQ(values.size(), polygonBridge ? 2u : 1u);
    ASSERT_EQ(values[0].size(), 41u * 11u);
    auto road = [&](int x) { return values[0][static_cast<std::size_t>((x + 20) * 11 + 5)]; };  // the point (x, 0)
    auto horizontal = [](double x, double h) { return 1000.0 * h / std::pow(x * x + h * h, 1.5); };
    ExpectLux(road(0), horizontal(0, 3.96), bridge + "under the bridge: B alone");
    ExpectLux(road(4), horizontal(4, 3.96), bridge + "way to A through the bridge: B alone");
    ExpectLux(road(5), horizontal(5, 3.96), bridge + "the last point A cannot reach");
    ExpectLux(road(6), horizontal(6, 3.96) + horizontal(6, 11.96), bridge + "A passes beside the bridge");
    ExpectLux(road(15), horizontal(15, 3.96) + horizontal(15, 11.96), bridge + "far from the bridge");
    if (polygonBridge) {
      // The bridge's own points: A from above; B lights only the underside, which has no points.
      ASSERT_EQ(values[1].size(), 7u * 21u);
      ExpectLux(values[1][3 * 21 + 10], horizontal(0, 5.96), "bridge point (0, 0)");
    }
  }
}

TEST(InterchangeCalc, AShadingObjectHoldsBackTheLightThatWouldPassThroughIt)
{
  // A box 3 m high over x, y in -1..1 on the road; 1000 cd at (0, 0, 10). From (x, 0) the way to the light is at
  // x (1 - 2.96 / 9.96) = 0.703 x when it leaves the box's top: inside for x = 1.2, beside it for x = 2.
  auto text = InterchangeText()
                  .FlatDeck(1, -10, -2, 10, 2, 0.0, 0.4)
                  .Polygon(4, {{{-1, -1, 3}, {1, -1, 3}, {1, 1, 3}, {-1, 1, 3}}},
                           {{-1, -1, 3, 1, -1, 3, 1, 1, 3}, {-1, -1, 3, 1, 1, 3, -1, 1, 3}}, {})
                  .Pole(0, 0, 10)
                  .Isotropic(1000, 1000)
                  .Text();
  auto values = Values(text);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_TRUE(values[1].empty());
  auto road = [&](int tenths) { return values[0][static_cast<std::size_t>((tenths + 100) / 4 * 11 + 5)]; };
  EXPECT_EQ(road(0), 0.0f) << "under the box";
  EXPECT_EQ(road(12), 0.0f) << "the way leaves through the box";
  ExpectLux(road(20), 1000.0 * 9.96 / std::pow(4.0 + 9.96 * 9.96, 1.5), "beside the box");
}

TEST(DeckShadows, TheHierarchyAnswersAsEveryTriangleOnItsOwnDoes)
{
  // 40 decks of 1 to 60 triangles at heights 0 to 20 m, overlapping in plan; 3000 ways from points to lights.
  std::mt19937 random(11);
  std::uniform_real_distribution<double> plan(-50.0, 50.0), height(0.0, 20.0), size(0.5, 8.0);
  std::vector<DeckShadows::Sheet> sheets(40);
  std::vector<DeckShadows> alone;
  for (auto& sheet : sheets) {
    const double z = height(random), x = plan(random), y = plan(random);
    sheet.resize(1 + random() % 60);
    for (auto& t : sheet) {
      const double tx = x + plan(random) / 5, ty = y + plan(random) / 5, tz = z + size(random) / 4;
      t = {Vec3{tx, ty, tz}, Vec3{tx + size(random), ty, z}, Vec3{tx, ty + size(random), z + 1.0}};
      alone.push_back(DeckShadows({{t}}, {}));
    }
  }
  const DeckShadows decks(sheets, {});
  int blocked = 0;
  for (int k = 0; k < 3000; ++k) {
    const Vec3 point{plan(random), plan(random), height(random)}, light{plan(random), plan(random), height(random)};
    bool any = false;
    for (const DeckShadows& one : alone)
      any = any || one.Blocks(point, light);
    EXPECT_EQ(decks.Blocks(point, light), any) << k;
    blocked += any;
  }
  EXPECT_GT(blocked, 300);
  EXPECT_LT(blocked, 2700);
}

TEST(InterchangeResultFile, ItemsAreExactlyThoseTheProgramReads)
{
  // Three figures; a carriageway polygon's values; nothing for a background polygon, though its points came in;
  // one value for a shading object; a sidewalk polygon's values; nothing for road marking.
  InterchangeResult r;
  r.flux = 8000.0f;
  r.i80 = 25.5f;
  r.i85 = 17.75f;
  r.polygons = {{SiteMembership::Carriageway, {1, 2, 3}},
                {SiteMembership::Background, {}},
                {SiteMembership::Shading, {}},
                {SiteMembership::Sidewalk, {4, 5}},
                {SiteMembership::Marking, {}}};
  auto bytes = FormatInterchangeResult(r);
  ASSERT_EQ(bytes.size(), 4u * (3 + 3 + 1 + 2));
  const float items[] = {8000.0f, 25.5f, 17.75f, 1, 2, 3, 0, 4, 5};
  for (std::size_t k = 0; k < 9; ++k)
    EXPECT_EQ(F32At(bytes, 4 * k), items[k]) << "item " << k;
  EXPECT_EQ(U32At(bytes, 0), 0x45FA0000u);  // 8000.0f, little-endian
}

class InterchangeFiles : public testing::ExchangeFiles {
protected:
  InterchangeFiles() : ExchangeFiles("tesmira-interchange-", "qout5.tmp", "qor5.tmp") {}
};

TEST_F(InterchangeFiles, HandWrittenInputGetsThreeFiguresFiveValuesAndOne)
{
  WriteInput(testing::HandWrittenInterchange());
  RecordingHost host;
  std::string message;
  ASSERT_EQ(RunInterchangeEngine(input_, result_, host, &message), kEngineOk) << message;
  EXPECT_EQ(host.finished, std::vector<int>{kEngineOk});
  auto bytes = Result();
  // F1, F2, F3 at 0, 4, 8; the bridge's five values at 12 to 28; none for the background polygon's four points;
  // the shading object's one at 32.
  ASSERT_EQ(bytes.size(), 36u);
  EXPECT_EQ(F32At(bytes, 0), 8000.0f);  // 12000 lm over the safety factor 1.5
  // Plane C0 (the light's +x) is the brighter: at 80 degrees 960 - 840 x 35/45 = 306.7 cd, at 85 degrees
  // 960 - 840 x 40/45 = 213.3 cd, per 12 klm.
  EXPECT_NEAR(F32At(bytes, 4), (960.0 - 840.0 * 35.0 / 45.0) / 12.0, 1e-4);
  EXPECT_NEAR(F32At(bytes, 8), (960.0 - 840.0 * 40.0 / 45.0) / 12.0, 1e-4);
  for (std::size_t offset = 12; offset < 32; offset += 4)
    EXPECT_GT(F32At(bytes, offset), 0.0f) << offset;
  EXPECT_EQ(F32At(bytes, 32), 0.0f);
}

TEST_F(InterchangeFiles, RunCodesAndDamagedInputsWriteNothing)
{
  const std::string good = testing::HandWrittenInterchange();
  // The bridge's last triangle, its mesh-point count and its first point.
  const std::string kFirstPoints = "6.000000\n5\n-5.000000 -2.000000 6.04";
  auto replaced = [&](const std::string& what, const std::string& with, const std::string& what2 = {},
                      const std::string& with2 = {}) {
    std::string s = good;
    s.replace(s.find(what), what.size(), with);
    if (!what2.empty())
      s.replace(s.find(what2), what2.size(), with2);
    return s;
  };
  struct Case {
    const char* what;
    std::string input;
    int code;
    const char* said;
  } cases[] = {
      {"no carriageway and no sidewalk", replaced("1\n1\n8\n", "0\n0\n8\n"), kNoActiveObjects, ""},
      {"no luminaire", InterchangeText().FlatDeck(1, 0, 0, 4, 4, 0, 1).Text(), kNoActiveGroups, ""},
      {"30 m user step on 60 x 40 m", replaced("0\n2.500000\n", "1\n30.000000\n"), kGridStepTooCoarse, ""},
      {"empty file", "", kInputMalformed, "ends early"},
      {"cut among the mesh points", good.substr(0, good.find("0.000000 0.000000 6.040000")), kInputMalformed,
       "ends early"},
      {"more mesh points than the header's largest", replaced(kFirstPoints, "6.000000\n6\n-5.000000 -2.000000 6.04"),
       kInputMalformed, "above 5 on line 30"},
      {"a count the file cannot hold",
       replaced("2\n5\n4\n", "2\n16000000\n4\n", kFirstPoints, "6.000000\n16000000\n-5.000000 -2.000000 6.04"),
       kInputMalformed, "larger than the rest of the file"},
      {"a largest count beyond the engine's bound", replaced("2\n5\n4\n", "2\n4000000000\n4\n"), kInputMalformed,
       "above"},
      {"a normal that is no number", replaced("0.000000 0.000000 6.040000 0.000000 0.000000 1.000000",
                                              "0.000000 0.000000 6.040000 0.000000 nan 1.000000"),
       kInputMalformed, "mesh-point normal"},
      {"binary noise", std::string("\x01\x02!\xff\n\x00 7", 8), kInputMalformed, ""},
  };
  for (const Case& c : cases) {
    WriteInput(c.input);
    RecordingHost host;
    std::string message;
    EXPECT_EQ(RunInterchangeEngine(input_, result_, host, &message), c.code) << c.what << ": " << message;
    EXPECT_NE(message.find(c.said), std::string::npos) << c.what << ": " << message;
    EXPECT_EQ(host.finished, std::vector<int>{c.code}) << c.what;
    EXPECT_TRUE(Result().empty()) << c.what;
  }
  RecordingHost host;
  EXPECT_EQ(RunInterchangeEngine((dir_ / "missing").string(), result_, host), kInputUnreadable);
  WriteInput(good);
  EXPECT_EQ(RunInterchangeEngine(input_, (dir_ / "no" / "folder").string(), host), kResultNotWritten);
}

TEST(InterchangeInput, SingleByteDamageNeverHarmsTheCalculation)
{
  const std::string good = testing::HandWrittenInterchange();
  int calculated = 0;
  for (std::size_t at = 0; at < good.size(); ++at)
    for (char with : {'9', 'x', '\n', '-'}) {
      std::string text = good;
      text[at] = with;
      auto in = ParseInterchangeInput(text, nullptr);
      if (!in)
        continue;
      SilentHost host;
      InterchangeResult result;
      const int code = CalculateInterchange(*in, host, result, nullptr, {1});
      EXPECT_TRUE(code == kEngineOk || code == kInputMalformed) << at << " " << with;
      calculated += code == kEngineOk;
    }
  EXPECT_GT(calculated, 0);
}

// A road with a bridge over it and a shading box, under 200 lights: many pieces of points.
std::string BusyInterchange()
{
  InterchangeText site;
  site.FlatDeck(1, -30, -10, 30, 10, 0.0, 0.5)
      .FlatDeck(2, -4, -15, 4, 15, 6.0, 1.0)
      .Polygon(4, {{{10, -1, 3}, {12, -1, 3}, {12, 1, 3}, {10, 1, 3}}},
               {{10, -1, 3, 12, -1, 3, 12, 1, 3}, {10, -1, 3, 12, 1, 3, 10, 1, 3}}, {});
  for (int k = 0; k < 200; ++k)
    site.Pole(-28 + (k % 20) * 3, -9 + (k / 20) * 2, k % 3 == 0 ? 4 : 12);
  return site.Isotropic(1000, 1000).Text();
}

TEST(InterchangeCalc, ParallelAndSingleThreadedRunsGiveTheSameBytes)
{
  auto in = ParseInterchangeInput(BusyInterchange(), nullptr);
  ASSERT_TRUE(in);
  auto run = [&](unsigned threads) {
    SilentHost host;
    InterchangeResult result;
    EXPECT_EQ(CalculateInterchange(*in, host, result, nullptr, {threads}), kEngineOk);
    EXPECT_GT(result.pieces, 4u);
    return FormatInterchangeResult(result);
  };
  auto one = run(1);
  for (unsigned threads : {3u, 8u})
    EXPECT_EQ(run(threads), one) << threads << " threads";
}

struct CancellingHost : EngineHost {
  int cancelAtQuestion = 0;
  int questions = 0;
  void Progress(int) override {}
  bool IsCancelled() override { return ++questions >= cancelAtQuestion; }
  void Finish(int) override {}
};

TEST(InterchangeCalc, CancelStopsBeforeTheNextPieceOfPoints)
{
  auto in = ParseInterchangeInput(BusyInterchange(), nullptr);
  ASSERT_TRUE(in);
  for (int n : {1, 3}) {
    CancellingHost host;
    host.cancelAtQuestion = n;
    InterchangeResult result;
    EXPECT_EQ(CalculateInterchange(*in, host, result, nullptr, {1}), kCancelled);
    EXPECT_EQ(host.questions, n) << "no question after the answer to stop";
    EXPECT_EQ(result.piecesComputed, static_cast<std::size_t>(n - 1));
  }
  CancellingHost host;
  host.cancelAtQuestion = 2;
  InterchangeResult result;
  EXPECT_EQ(CalculateInterchange(*in, host, result, nullptr, {8}), kCancelled);
  EXPECT_LT(result.piecesComputed, result.pieces);
}

HWND const kMainWindow = reinterpret_cast<HWND>(0x5555);

TEST_F(InterchangeFiles, EntryPointKeepsTheMessageProtocolAndLeavesASample)
{
  WriteInput(testing::HandWrittenInterchange());
  ExpectEntryPointKeepsTheMessageProtocol(kMainWindow, INTERFACE5, RunInterchangeCall, [&] {
    EXPECT_EQ(Result().size(), 36u);
    fs::copy_file(input_, fs::path(TESMIRA_ARTIFACTS_DIR) / "engine-interchange.in",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(result_, fs::path(TESMIRA_ARTIFACTS_DIR) / "engine-interchange.out",
                  fs::copy_options::overwrite_existing);
  });
}

}  // namespace
}  // namespace Engines
