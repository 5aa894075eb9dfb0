// The sample projects a person can open: a T-junction open territory and an interchange of two decks, each made
// by the document's own command, calculated through our engines, saved with its results, and drawn off-screen
// in plan as the views would draw them.
#include "fixtures.h"

#include "document/engine_io/interchange_input.h"
#include "document/engine_io/interchange_result.h"
#include "document/engine_io/open_territory_input.h"
#include "document/engine_io/open_territory_result.h"
#include "geometry/calc_area_manager.h"
#include "geometry/mesh/calc_surface.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/interchange_engine.h"
#include "outside/engines/open_territory_engine.h"
#include "platform/gdi/surface.h"
#include "tests/document/document_env.h"
#include "tests/geometry/plan_view.h"
#include "tests/document/results_core.h"
#include "tests/document/engine_io/open_territory_fixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace {

using namespace ObjectModel;

constexpr std::uint32_t kBackground = 0x163E69;  // the clear colour below

// The sites' pictures: a depth buffer deep enough for the decks, and a background that cannot be mistaken for
// anything drawn.
PlanView SiteView(double xFrom, double xTo, double yFrom, double yTo)
{
  return PlanView(xFrom, xTo, yFrom, yTo,
                  {.pixelsPerMetre = 20, .zNear = -20, .zFar = 20, .clearRed = 0x16 / 255.0f,
                   .clearGreen = 0x3E / 255.0f, .clearBlue = 0x69 / 255.0f});
}

int Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// How much of the picture is drawn over the background, and in how many colours.
struct Coverage {
  int drawn = 0;
  int total = 0;
  std::set<std::uint32_t> colours;
};
Coverage CoverageOf(const gdi::Surface& s)
{
  Coverage c;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const std::uint32_t p = s.Pixel(x, y) & 0xFFFFFF;
      c.drawn += p != kBackground ? 1 : 0;
      c.colours.insert(p);
      ++c.total;
    }
  }
  return c;
}

// The document as the program runs it, with geometry's real triangulation and calculation surfaces installed
// before the command makes the area's primitives; the open-territory fixture's helpers set up its parts.
class SampleSite : public OpenTerritoryTest {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    shell.dataFolder = MakeDataFolder(true);
    Shell::SetShellServices(&shell);
    LoggerObjs::InstallLogger(nullptr);
    SetPrimitiveServices(&surfaces);
    // The results can be shown, and the samples are saved as the program saves a project showing them.
    SetGraphicCoreFactory(&ResultsCore::Make);
    document = std::make_unique<CQorRoadDoc>();
    ASSERT_TRUE(document->OnNewDocument());
  }
  void TearDown() override
  {
    OpenTerritoryTest::TearDown();
    document.reset();
    SetGraphicCoreFactory(nullptr);
    Shell::SetShellServices(nullptr);
  }

  // Runs a command of the document and takes its active area as the fixture's.
  void NewArea(void (CQorRoadDoc::*command)())
  {
    document->SetModifiedFlag(FALSE);
    (document.get()->*command)();
    void* active = nullptr;
    ASSERT_TRUE(SUCCEEDED(document->QueryInterface(IID_ActiveArea, &active)));
    area = static_cast<IArea*>(active);
    site = dynamic_cast<CCustomizeRoad*>(area);
    ASSERT_NE(site, nullptr);
    groups = Get<IGroupsOfDev>(area, IID_IGroupsOfDev);
    results = Get<IResultsOfCalc>(area, IID_IResultsOfCalc);
    ASSERT_NE(FirstGroup(), nullptr);
  }

  static std::filesystem::path Artifact(const std::string& name)
  {
    const std::filesystem::path folder(TESMIRA_ARTIFACTS_DIR);
    std::filesystem::create_directories(folder);
    return folder / name;
  }

  // Shows the active area's results in colour, saves the project and opens the file in a second document,
  // whose active area and its results go to check; that document saves the same bytes again.
  void SaveAndReopen(const std::filesystem::path& file,
                     const std::function<void(CCustomizeRoad&, const _CALC_RESULTS&)>& check)
  {
    int illuminance = 1, colour = 3;
    document->GetCurrentOptions()->SetQuantity(&illuminance);
    document->GetCurrentOptions()->SetResultDisplay(&colour);
    const CCalcAreaManager& shown = ResultsCore::Of(*document).ShowResults();
    ASSERT_EQ(shown.GetAreas().size(), 1u);
    ASSERT_FALSE(shown.GetAreas()[0]->m_picture.IsEmpty());
    ASSERT_TRUE(document->OnSaveDocument(file.string().c_str()));
    CQorRoadDoc reopened;
    ASSERT_TRUE(reopened.OnNewDocument());
    ASSERT_TRUE(reopened.OnOpenDocument(file.string().c_str()));
    const auto& managers = ResultsCore::Of(reopened).managers.GetManagers();
    ASSERT_EQ(managers.size(), 1u);
    ASSERT_EQ(managers[0]->GetAreas().size(), 1u);
    const CWiseDib& picture = managers[0]->GetAreas()[0]->m_picture;
    const CWiseDib& original = shown.GetAreas()[0]->m_picture;
    ASSERT_EQ(picture.GetWidth(), original.GetWidth());
    ASSERT_EQ(picture.GetHeight(), original.GetHeight());
    EXPECT_TRUE(std::equal(original.GetPixels(), original.GetPixels() + original.GetBufferSize(), picture.GetPixels()));
    void* active = nullptr;
    ASSERT_TRUE(SUCCEEDED(reopened.QueryInterface(IID_ActiveArea, &active)));
    IArea* loaded = static_cast<IArea*>(active);
    void* block = nullptr;
    ASSERT_TRUE(SUCCEEDED(loaded->QueryInterface(&IID_IResultsOfCalc, &block)));
    check(*dynamic_cast<CCustomizeRoad*>(loaded), *static_cast<IResultsOfCalc*>(block)->GetData());
    static_cast<IResultsOfCalc*>(block)->Release();
    loaded->Release();
    const std::filesystem::path again = std::filesystem::path(::testing::TempDir()) / ("again-" + file.filename().string());
    ASSERT_TRUE(reopened.OnSaveDocument(again.string().c_str()));
    EXPECT_EQ(ReadFile(again.string()), ReadFile(file.string()));
  }

  // Positions of every pole of every group.
  std::vector<std::array<double, 3>> PolePositions()
  {
    std::vector<std::array<double, 3>> out;
    for (IGroupOfDev* g = FirstGroup(); g; g = g->GetNext())
      for (IPole* p = Get<IPole>(g, IID_IPole); p; p = p->GetNext())
        out.push_back({p->GetPosition()[0], p->GetPosition()[1], p->GetPosition()[2]});
    return out;
  }

  static const std::vector<double>& Gammas()
  {
    static const std::vector<double> gammas{0, 10, 20, 30, 40, 50, 60, 65, 70, 75, 80, 85, 90};
    return gammas;
  }
  // A cut-off street-lighting distribution in cd/klm, C0..C90.
  static const std::vector<std::vector<double>>& CutOff()
  {
    static const std::vector<std::vector<double>> values{
        {260, 262, 270, 285, 300, 310, 290, 240, 160, 80, 25, 8, 0},
        {260, 265, 278, 300, 330, 360, 350, 300, 200, 100, 30, 10, 0},
        {260, 268, 285, 310, 340, 330, 280, 220, 140, 70, 20, 6, 0},
        {260, 266, 275, 280, 270, 240, 180, 130, 80, 40, 12, 4, 0},
    };
    return values;
  }

  CWinApp app{"Tesmira Road"};
  RecordingShell shell;
  user::ScriptedResponder answers;
  platform::mfc::ScriptedFileNames fileNames;
  CGeometryPrimitiveServices surfaces;
  std::unique_ptr<CQorRoadDoc> document;
};

// The render core over the active area's own results block.
class SiteHost : public FakeHost {
public:
  _CALC_RESULTS* GetActiveResults() override { return block; }
  _CALC_RESULTS* block = nullptr;
};

TEST_F(SampleSite, OpenTerritoryJunctionCalculatedSavedAndDrawnInFalseColour)
{
  ASSERT_NO_FATAL_FAILURE(NewArea(&CQorRoadDoc::OnNewJunction));
  ASSERT_EQ(*area->GetTypicalForm(), 4);
  // A T-junction with sidewalks on a 1 m user grid: a line of poles beyond the lower sidewalk of the through
  // road, their brackets reaching over it, and a single pole beside the side road, facing into it.
  SetWindow(60, 40, 1, 1.0);
  site->BuildTypicalForm();
  IGroupOfDev* line = FirstGroup();
  SetLuminaire(*line->GetLightDevice(), "SampleStreet-150", 15000, 1, 0x10020100, Gammas(), {0, 30, 60, 90},
               CutOff());
  SetPlacement(line, 0, 1, 3);
  IPole* first = Get<IPole>(line, IID_IPole);
  SetPole(first, -25, -11, 10, 3, 5, 0);
  SetPole(first->GetNext(), -5, -11, 10, 3, 5, 0);
  line->PlacePoles(4);
  const double across = 90;
  for (IPole* p = first; p; p = p->GetNext())
    p->SetRotation(&across);
  IGroupOfDev* single = AddGroup();
  SetLuminaire(*single->GetLightDevice(), "SampleStreet-100", 10000, 1, 0x10020100, Gammas(), {0, 30, 60, 90},
               CutOff());
  SetPlacement(single, 0, 0, 1);
  SetPole(Get<IPole>(single, IID_IPole), 25, 12, 8, 2, 0, 135);

  const auto input = Artifact("sample-open-territory.in");
  const auto output = Artifact("sample-open-territory.out");
  std::filesystem::remove(output);
  ASSERT_EQ(EngineIo::PrepareEngineInput3(document.get()), 0);
  ASSERT_EQ(WriteEngineInput3(document.get(), CString(input.string().c_str())), 0);
  Engines::SilentHost engineHost;
  std::string message;
  ASSERT_EQ(Engines::RunOpenTerritoryEngine(input.string(), output.string(), engineHost, &message), 0) << message;
  ASSERT_EQ(ReadEngineResult3(document.get(), CString(output.string().c_str())), 0);

  _CALC_RESULTS& r = Results();
  ASSERT_EQ(r.valid, 1);
  ASSERT_EQ(r.nX, 61u);
  ASSERT_EQ(r.nRoad, 41u);
  ASSERT_GE(r.nZones, 2u);
  auto node = [&](double x, double y) {
    const auto i = static_cast<std::size_t>(std::lround(x - r.xs[0]));
    const auto j = static_cast<std::size_t>(std::lround(y - r.yRoad[0]));
    return i * r.nRoad + j;
  };
  for (std::size_t n = 0; n < std::size_t{r.nX} * r.nRoad; ++n)
    ASSERT_TRUE(std::isfinite(r.eRoad[n]) && r.eRoad[n] >= 0) << n;
  // Each pole's brightest node close by stands above the average of the carriageway.
  const auto poles = PolePositions();
  ASSERT_EQ(poles.size(), 4u);
  for (const auto& pole : poles) {
    float brightest = 0;
    for (double dx = -4; dx <= 4; dx += 1)
      for (double dy = -4; dy <= 4; dy += 1)
        if (std::fabs(pole[0] + dx) <= 30 && std::fabs(pole[1] + dy) <= 20)
          brightest = std::max(brightest, r.eRoad[node(pole[0] + dx, pole[1] + dy)]);
    EXPECT_GT(brightest, r.zones[0].average) << pole[0] << ", " << pole[1];
  }

  SaveAndReopen(Artifact("sample-open-territory.qorr5"), [&](CCustomizeRoad&, const _CALC_RESULTS& loaded) {
    EXPECT_EQ(loaded.valid, 1);
    ASSERT_EQ(loaded.nX * loaded.nRoad, r.nX * r.nRoad);
    EXPECT_TRUE(std::equal(r.eRoad, r.eRoad + r.nX * r.nRoad, loaded.eRoad));
    EXPECT_EQ(loaded.zones[0].average, r.zones[0].average);
  });

  // The area's grid as the view draws an open site's main calculation area, coloured by the illuminance scale.
  SiteHost host;
  host.length = 60;
  host.width = 40;
  host.userGrid = TRUE;
  host.block = &r;
  host.options.SetQuantity(1);
  host.options.SetResultDisplay(3);
  PlanView view = SiteView(-31, 31, -21, 21);
  CCalcAreaManager manager(&host);
  manager.SetDisplayMode(3);
  manager.Rebuild();
  ASSERT_EQ(manager.GetAreas().size(), 1u);
  manager.Draw();
  const gdi::Surface& picture = view.Save("sample-open-territory-illuminance.png");
  const Coverage c = CoverageOf(picture);
  EXPECT_GT(c.drawn, c.total * 3 / 4) << "the grid fills the site's window";
  EXPECT_GT(c.colours.size(), 8u) << "the illuminance varies over the site";
  EXPECT_GT(Channel(view.ColourAt(-5, -8.5), 8), 150) << "the carriageway under a luminaire of the line";
  EXPECT_GT(Channel(view.ColourAt(23.5, 13.5), 8), 150) << "the side road under the single pole's luminaire";
  EXPECT_EQ(view.ColourAt(-20, 16), 0u) << "ground beyond the primitives carries no light";
}

TEST_F(SampleSite, InterchangeOfTwoDecksCalculatedSavedAndDrawnWithIsolines)
{
  ASSERT_NO_FATAL_FAILURE(NewArea(&CQorRoadDoc::OnNewMultiLevel));
  ASSERT_EQ(*area->GetTypicalForm(), 8);
  // The lower deck along x, the upper one along y 6 m above it, a sidewalk beside the lower deck, a patch of
  // ground and a shading block; a pole beside each road and one on the upper deck.
  SetWindow(60, 60, 0, 1.0);
  auto deck = [](IPrimitive* p, std::initializer_list<std::array<double, 3>> points) {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    outline->RemoveAll();
    for (const auto& v : points)
      outline->Add(_CSPOINT3D{v[0], v[1], v[2], 0, 0});
    return p;
  };
  auto add = [&](int membership, std::initializer_list<std::array<double, 3>> points) {
    return deck(Append(site->CreatePrimitive(kShapePolygon, membership, TRUE)), points);
  };
  IPrimitive* lower = deck(FirstPrimitive(), {{-25, -5, 0}, {25, -5, 0}, {25, 5, 0}, {-25, 5, 0}});
  IPrimitive* walk = add(kMemberSidewalk, {{-25, -8, 0}, {25, -8, 0}, {25, -5.5, 0}, {-25, -5.5, 0}});
  IPrimitive* upper = add(kMemberCarriageway, {{-5, -25, 6}, {5, -25, 6}, {5, 25, 6}, {-5, 25, 6}});
  add(kMemberBackground, {{-25, 10, 0}, {-15, 10, 0}, {-15, 20, 0}});
  add(kMemberShading, {{15, 10, 0}, {20, 10, 0}, {20, 15, 0}, {15, 15, 0}})->SetHeight(4.0);
  auto pole = [&](IGroupOfDev* g, double x, double y, double z, double psi) {
    SetPlacement(g, 0, 0, 1);
    IPole* p = Get<IPole>(g, IID_IPole);
    SetPole(p, x, y, 9, 1.5, 5, psi);
    const double xyz[3] = {x, y, z};
    p->SetPosition(xyz);
    SetArms(p, {Arm(0, 0, 0, 0)});
    SetLuminaire(*g->GetLightDevice(), "SampleStreet-150", 15000, 1, 0x10020100, Gammas(), {0, 30, 60, 90},
                 CutOff());
  };
  pole(FirstGroup(), -15, -9, 0, 90);
  pole(AddGroup(), 15, 9, 0, -90);
  pole(AddGroup(), 6.5, 15, 6, 180);

  const auto input = Artifact("sample-interchange.in");
  const auto output = Artifact("sample-interchange.out");
  std::filesystem::remove(output);
  ASSERT_EQ(EngineIo::PrepareEngineInput5(document.get()), 0);
  ASSERT_EQ(WriteEngineInput5(document.get(), CString(input.string().c_str())), 0);
  Engines::SilentHost engineHost;
  std::string message;
  ASSERT_EQ(Engines::RunInterchangeEngine(input.string(), output.string(), engineHost, &message), 0) << message;
  ASSERT_EQ(ReadEngineResult5(document.get(), CString(output.string().c_str())), 0);

  const _CALC_RESULTS& r = Results();
  ASSERT_EQ(r.valid, 1);
  EXPECT_GT(r.valueMax, r.valueMin);
  // Values finite everywhere; the deck points nearest each luminaire among the brightest of their deck.
  struct Lit {
    IPrimitive* deck;
    double x, y;
  };
  for (const Lit& lit : {Lit{walk, -15, -7}, Lit{lower, 15, 4}, Lit{upper, 5, 15}}) {
    CQorTriPolygon& polygon = CalcSurfaceOf(lit.deck)->GetPolygon();
    ASSERT_GT(polygon.points.size(), 0u);
    double nearestDistance = 1e300, nearestValue = 0, mean = 0;
    for (std::size_t i = 0; i < polygon.points.size(); ++i) {
      const CMeshPoint* p = polygon.Point(i);
      ASSERT_TRUE(std::isfinite(p->value) && p->value >= 0) << i;
      mean += p->value / static_cast<double>(polygon.points.size());
      const double d = std::hypot(p->x - lit.x, p->y - lit.y);
      if (d < nearestDistance)
        nearestDistance = d, nearestValue = p->value;
    }
    EXPECT_GT(nearestValue, mean) << lit.x << ", " << lit.y;
  }

  SaveAndReopen(Artifact("sample-interchange.qorr5"), [&](CCustomizeRoad& loadedSite, const _CALC_RESULTS& loaded) {
    EXPECT_EQ(loaded.valid, 1);
    ASSERT_EQ(loaded.nZones, r.nZones);
    EXPECT_EQ(loaded.zones[0].average, r.zones[0].average);
    EXPECT_EQ(loaded.valueMax, r.valueMax);
    // The lower deck's mesh values come back with the file.
    CQorTriPolygon& saved = CalcSurfaceOf(lower)->GetPolygon();
    CQorTriPolygon& read = CalcSurfaceOf(loadedSite.GetFirstPrimitive())->GetPolygon();
    ASSERT_EQ(read.points.size(), saved.points.size());
    for (std::size_t i = 0; i < saved.points.size(); ++i)
      ASSERT_EQ(read.Point(i)->value, saved.Point(i)->value) << i;
  });

  // The decks' mesh values on one scale, in the palette, with white isolines and their labels; the lower
  // decks first so that the upper one lies over them.
  IVisualOpt* options = document->GetCurrentOptions();
  int quantity = 1, automatic = 1, display = 0;
  options->SetQuantity(&quantity);
  options->SetAutoIsoLevels(&automatic);
  options->SetResultDisplay(&display);
  const _PREF_OF_COLOR white{1, 1, 1};
  options->SetColour(7, &white);
  LOGFONTA font{};
  options->GetFont(1, &font);
  font.lfHeight = -60;
  options->SetFont(1, &font);
  PlanView view = SiteView(-27, 27, -27, 27);
  std::size_t labels = 0;
  for (IPrimitive* p : {lower, walk, upper}) {
    ::CPrimitiveCalcSurface& surface = *CalcSurfaceOf(p);
    surface.SetValueRange(r.valueMin, r.valueMax);
    surface.BuildIsolines(options);
    surface.ApplyVisualOptions(options, 1);
    for (const auto& level : surface.GetIsolines().levels)
      for (const auto& curve : level->curves)
        labels += curve->labels.size();
  }
  display = 3;
  options->SetResultDisplay(&display);
  for (IPrimitive* p : {lower, walk, upper}) {
    CalcSurfaceOf(p)->ApplyColorLevels(options);
    CalcSurfaceOf(p)->Draw(true);
  }
  const gdi::Surface& picture = view.Save("sample-interchange-illuminance.png");
  EXPECT_GT(labels, 3u);
  const Coverage c = CoverageOf(picture);
  EXPECT_GT(c.colours.size(), 8u);
  EXPECT_EQ(view.ColourAt(-20, 20), kBackground) << "no deck there";
  EXPECT_NE(view.ColourAt(0, 0), kBackground) << "the crossing";
  EXPECT_NE(view.ColourAt(0, 20), kBackground) << "the upper deck";
  int whitePixels = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const std::uint32_t p = picture.Pixel(x, y);
      whitePixels += Channel(p, 16) > 230 && Channel(p, 8) > 230 && Channel(p, 0) > 230 ? 1 : 0;
    }
  EXPECT_GT(whitePixels, 300) << "isolines and labels in white";
}

}  // namespace
