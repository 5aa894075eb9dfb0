// A sample interchange from the model through our engine and back, with geometry's real surfaces: the decks are
// meshed and refined by the preparation, the engine calculates at their points, the reader stores the values.
#include "document/engine_io/engine_entry_points.h"
#include "document/engine_io/interchange_input.h"
#include "document/engine_io/interchange_result.h"
#include "geometry/mesh/calc_surface.h"
#include "open_territory_fixture.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/interchange_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

namespace {

using namespace ObjectModel;

static_assert(std::is_same_v<decltype(&INTERFACE5), CalculationEngineEntry>);

class SampleInterchange : public OpenTerritoryTest {
protected:
  void SetUp() override
  {
    SetPrimitiveServices(&surfaces);
    area = doc.project->ResetAreas(CLSID_CCustomizeRoad3D);
    site = dynamic_cast<CCustomizeRoad*>(area);
    groups = Get<IGroupsOfDev>(area, IID_IGroupsOfDev);
    results = Get<IResultsOfCalc>(area, IID_IResultsOfCalc);
  }

  static void SetDeck(IPrimitive* p, std::initializer_list<std::array<double, 3>> points)
  {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    outline->RemoveAll();
    for (const auto& v : points)
      outline->Add(_CSPOINT3D{v[0], v[1], v[2], 0, 0});
  }
  IPrimitive* AddDeck(int membership, std::initializer_list<std::array<double, 3>> points)
  {
    IPrimitive* p = Append(site->CreatePrimitive(kShapePolygon, membership, TRUE));
    SetDeck(p, points);
    return p;
  }
  void AddPole(IGroupOfDev* g, double x, double y, double z, double psi)
  {
    SetPlacement(g, 0, 0, 1);
    IPole* pole = Get<IPole>(g, IID_IPole);
    SetPole(pole, x, y, 9, 1.5, 5, psi);
    const double xyz[3] = {x, y, z};
    pole->SetPosition(xyz);
    SetArms(pole, {Arm(0, 0, 0, 0)});
    SetLuminaire(*g->GetLightDevice(), "SampleStreet-150", 15000, 1, 0x10020100, {0, 20, 40, 60, 70, 80, 90},
                 {0, 90}, {{260, 270, 300, 290, 160, 25, 0}, {260, 275, 270, 180, 80, 12, 0}});
  }

  CGeometryPrimitiveServices surfaces;
};

TEST_F(SampleInterchange, TwoDecksCrossingCalculatedEndToEndThroughOurEngine)
{
  SetWindow(60, 60, 0, 1.0);
  // The lower deck along x, the upper one along y 6 m above it, a sidewalk beside the lower deck, a patch of
  // ground and a shading block.
  SetDeck(FirstPrimitive(), {{-25, -5, 0}, {25, -5, 0}, {25, 5, 0}, {-25, 5, 0}});
  IPrimitive* upper = AddDeck(kMemberCarriageway, {{-5, -25, 6}, {5, -25, 6}, {5, 25, 6}, {-5, 25, 6}});
  IPrimitive* walk = AddDeck(kMemberSidewalk, {{-25, -8, 0}, {25, -8, 0}, {25, -5.5, 0}, {-25, -5.5, 0}});
  AddDeck(kMemberBackground, {{-25, 10, 0}, {-15, 10, 0}, {-15, 20, 0}});
  IPrimitive* block = AddDeck(kMemberShading, {{15, 10, 0}, {20, 10, 0}, {20, 15, 0}, {15, 15, 0}});
  block->SetHeight(4.0);
  AddPole(FirstGroup(), -15, -9, 0, 90);
  AddPole(AddGroup(), 15, 9, 0, -90);
  AddPole(AddGroup(), 6.5, 15, 6, 180);

  // The artifacts folder's sample files are the sample-sites picture test's.
  const auto input = TestFilePath("input");
  const auto result = TestFilePath("result");
  std::filesystem::remove(result);

  ASSERT_EQ(EngineIo::PrepareEngineInput5(&doc), 0);
  const double step = EngineIo::InterchangeGridStep(&doc);
  ASSERT_EQ(WriteEngineInput5(&doc, CString(input.string().c_str())), 0);
  Engines::SilentHost host;
  std::string message;
  ASSERT_EQ(Engines::RunInterchangeEngine(input.string(), result.string(), host, &message), 0) << message;

  // The engine answers exactly what the reader reads: three figures, a value per point of each calculated deck
  // and sidewalk, one for the shading block, none for the ground.
  std::size_t expected = 3 + 1;
  for (IPrimitive* p : {FirstPrimitive(), upper, walk}) {
    ASSERT_TRUE(CalcSurfaceOf(p)->IsRefinedTo(step));
    expected += CalcSurfaceOf(p)->GetPointCount();
  }
  EXPECT_EQ(std::filesystem::file_size(result), 4 * expected);
  ASSERT_EQ(ReadEngineResult5(&doc, CString(result.string().c_str())), 0);

  const _CALC_RESULTS& r = Results();
  EXPECT_EQ(r.valid, 1);
  ASSERT_EQ(r.nZones, 2u);
  ASSERT_EQ(r.nTotalsA, 2u);
  ASSERT_EQ(r.nTotalsB, 1u);
  EXPECT_GT(r.zones[0].average, 1.0f);
  EXPECT_GT(r.zones[1].average, 0.5f);
  EXPECT_GT(r.zones[0].utilisation, 0.0f);
  EXPECT_LT(r.zones[0].utilisation, 1.0f);
  EXPECT_GT(r.valueMax, r.valueMin);
  for (IPrimitive* p : {FirstPrimitive(), upper, walk}) {
    const auto* surface = CalcSurfaceOf(p);
    EXPECT_TRUE(surface->GetFlags() & SurfaceFlags::kValuesShown);
    for (std::size_t i = 0; i < surface->GetPointCount(); ++i) {
      const double v = surface->GetPolygon().Point(i)->value;
      EXPECT_TRUE(std::isfinite(v) && v >= 0) << i;
    }
  }
  // The upper deck is open to the sky and has a pole of its own: lit everywhere.
  EXPECT_GT(r.totalsA[1].minimum, 0.0f);
  std::filesystem::remove(input);
  std::filesystem::remove(result);
}

}  // namespace
