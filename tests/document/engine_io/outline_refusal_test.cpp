// An outline that crosses or touches itself is refused on every path that could triangulate it, with the message
// the user sees when drawing one, and no engine input is written for an interchange that holds one.
#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/interchange_input.h"
#include "document/engine_io/open_territory_input.h"
#include "geometry/mesh/calc_surface.h"
#include "geometry/triangulation/sweep_triangulation.h"
#include "model/primitive.h"
#include "open_territory_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ObjectModel;

using Plan = std::vector<std::pair<double, double>>;

const char* const kCrossingMessage = "Контур полигона пересекает сам себя. Исправьте положение вершин.";

struct Case {
  const char* name;
  Plan outline;
  bool refused;
};

const std::vector<Case> kCases = {
    {"square", {{0, 0}, {4, 0}, {4, 4}, {0, 4}}, false},
    {"bow tie", {{0, 0}, {4, 4}, {4, 0}, {0, 4}}, true},
    {"two crossings", {{0, 0}, {4, 0}, {0, 3}, {4, 3}, {2, 5}, {-1, 2}}, true},
    {"vertex on a far edge", {{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}, true},
    {"vertex on a slanted edge", {{0, 0}, {3, 1}, {3, 4}, {1.5, 0.5}, {0, 4}}, true},
    {"edges overlapping along a line", {{0, 0}, {6, 0}, {6, 2}, {3, 0}, {1, 0}, {0, 3}}, true},
    {"outline doubling back", {{0, 0}, {4, 0}, {2, 0}, {2, 3}}, true},
    {"vertex visited twice", {{0, 0}, {4, 0}, {2, 2}, {4, 4}, {0, 4}, {2, 2}}, true},
};

class OutlineRefusal : public OpenTerritoryTest {
protected:
  void SetUp() override
  {
    SetPrimitiveServices(&surfaces);
    UseArea(CLSID_CCustomizeRoad3D);
    groups = Get<IGroupsOfDev>(area, IID_IGroupsOfDev);
    results = Get<IResultsOfCalc>(area, IID_IResultsOfCalc);
    inputPath = std::filesystem::temp_directory_path() / ("outline_refusal_" + std::to_string(::getpid()) + ".txt");
  }
  void TearDown() override
  {
    std::filesystem::remove(inputPath);
    OpenTerritoryTest::TearDown();
  }

  void UseArea(const GUID& kind)
  {
    if (area)
      area->Release();
    area = doc.project->ResetAreas(kind);
    site = dynamic_cast<CCustomizeRoad*>(area);
  }

  static void SetOutline(IPrimitive* p, const Plan& plan)
  {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    outline->RemoveAll();
    for (const auto& [x, y] : plan)
      outline->Add(_CSPOINT3D{x, y, 2.0, 0, 0});
  }

  CGeometryPrimitiveServices surfaces;
  std::filesystem::path inputPath;
};

TEST_F(OutlineRefusal, CrossingAndTouchingOutlinesAreRefusedOnEveryPath)
{
  IPrimitive* deck = FirstPrimitive();
  ObjectModel::CPrimitiveCalcSurface* surface = deck->GetMeshHelper();
  ASSERT_NE(CalcSurfaceOf(deck), nullptr);
  for (const Case& c : kCases) {
    // The sweep's own entry.
    CTriPolygon polygon;
    for (const auto& [x, y] : c.outline)
      polygon.AddPoint(x, y);
    CTriSweep* holder = nullptr;
    EXPECT_EQ(TriangulatePolygon(holder, polygon), !c.refused) << c.name;
    EXPECT_EQ(polygon.triangles.empty(), c.refused) << c.name;

    // The primitive's pieces, as an open territory makes them.
    SetOutline(deck, c.outline);
    deck->Triangulate();
    const char* pieceFault = PrimitiveBehind(deck)->OutlineFault();
    EXPECT_EQ(pieceFault != nullptr && std::strcmp(pieceFault, kCrossingMessage) == 0, c.refused) << c.name;
    EXPECT_EQ(deck->GetFirstChild() == nullptr, c.refused) << c.name;

    // The calculation mesh.
    SetOutline(deck, c.outline);
    EXPECT_EQ(surface->RebuildMesh(), !c.refused) << c.name;
    const char* meshFault = surface->GetOutlineFault();
    EXPECT_EQ(meshFault != nullptr && std::strcmp(meshFault, kCrossingMessage) == 0, c.refused) << c.name;
    EXPECT_EQ(surface->GetMeshTriangleCount() == 0, c.refused) << c.name;

    // The interchange's preparation and its engine input: refused, and no file.
    surface->Reset();
    EXPECT_EQ(EngineIo::PrepareEngineInput5(&doc), c.refused ? EngineIo::kOutlineRefused : EngineIo::kOk) << c.name;
    std::filesystem::remove(inputPath);
    const int written = WriteEngineInput5(&doc, CString(inputPath.c_str()));
    EXPECT_EQ(written, c.refused ? EngineIo::kOutlineRefused : EngineIo::kOk) << c.name;
    EXPECT_EQ(std::filesystem::exists(inputPath), !c.refused) << c.name;
  }

  // An open territory calculates the primitive's pieces: refused the same way.
  UseArea(CLSID_CCustomizeRoad);
  groups = Get<IGroupsOfDev>(area, IID_IGroupsOfDev);
  for (const Case& c : kCases) {
    SetOutline(FirstPrimitive(), c.outline);
    EXPECT_EQ(EngineIo::PrepareEngineInput3(&doc), c.refused ? EngineIo::kOutlineRefused : EngineIo::kOk) << c.name;
    std::filesystem::remove(inputPath);
    const int written = WriteEngineInput3(&doc, CString(inputPath.c_str()));
    EXPECT_EQ(written, c.refused ? EngineIo::kOutlineRefused : EngineIo::kOk) << c.name;
    EXPECT_EQ(std::filesystem::exists(inputPath), !c.refused) << c.name;
  }
}

}  // namespace
