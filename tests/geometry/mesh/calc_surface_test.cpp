#include "geometry/mesh/calc_surface.h"

#include "../fixtures.h"
#include "mesh_support.h"
#include "model/primitive.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

const DWORD kNow = ObjectModel::kCurrentFormatVersion;

struct P3 {
  double x, y, z;
};

// A polygon primitive whose surface is geometry's, for the life of a test.
class SurfacePrimitive {
public:
  explicit SurfacePrimitive(const std::vector<P3>& outline)
  {
    ObjectModel::SetPrimitiveServices(&m_services);
    m_primitive = ObjectModel::CreatePrimitive(nullptr, nullptr, 1);
    ObjectModel::SetPrimitiveServices(nullptr);
    const int shape = ObjectModel::kShapePolygon;
    m_primitive->SetShape(&shape);
    CArray<_CSPOINT3D>* points = nullptr;
    m_primitive->GetOutline(&points);
    for (const P3& p : outline) points->Add(_CSPOINT3D{p.x, p.y, p.z, 0, 0});
  }
  ~SurfacePrimitive() { m_primitive->Release(); }
  SurfacePrimitive(const SurfacePrimitive&) = delete;
  SurfacePrimitive& operator=(const SurfacePrimitive&) = delete;

  IPrimitive* get() const { return m_primitive; }
  CPrimitiveCalcSurface& surface() const { return *CalcSurfaceOf(m_primitive); }

private:
  CGeometryPrimitiveServices m_services;
  IPrimitive* m_primitive = nullptr;
};

const std::vector<P3> kRectangle = {{0, 0, 1}, {10, 0, 1}, {10, 10.5, 1}, {0, 10.5, 1}};

TEST(CalcSurface, MeshBuiltFromThePrimitiveOutline)
{
  SurfacePrimitive primitive(kRectangle);
  ASSERT_NE(CalcSurfaceOf(primitive.get()), nullptr);
  CPrimitiveCalcSurface& s = primitive.surface();
  ASSERT_TRUE(s.RebuildMesh());

  const CQorTriPolygon& polygon = s.GetPolygon();
  ASSERT_EQ(polygon.points.size(), 4u);
  for (const auto& p : polygon.points) EXPECT_DOUBLE_EQ(p->z, 1.04);
  ASSERT_EQ(polygon.meshTriangles.size(), 2u);
  EXPECT_DOUBLE_EQ(s.ComputeArea(), 105.0);

  // The sheet: shared vertices 0.05 below the mesh points, normals turned over, walls along the outline.
  const CCalcMesh& mesh = s.GetCalcMesh();
  ASSERT_EQ(mesh.vertices.size(), 4u);
  for (const auto& v : mesh.vertices) EXPECT_NEAR(v->z, 0.99, 1e-12);
  ASSERT_EQ(mesh.triangles.size(), 2u);
  EXPECT_EQ(mesh.triangles[0]->normal.z, -polygon.meshTriangles[0]->normal.z);
  ASSERT_EQ(mesh.wallQuads.size(), 4u);
  const double first[4][3] = {{0, 0, 1}, {0, 0, 1.05}, {10, 0, 1.05}, {10, 0, 1}};
  const double closing[4][3] = {{0, 0, 1}, {0, 0, 1.05}, {0, 10.5, 1.05}, {0, 10.5, 1}};
  for (int k = 0; k < 4; ++k) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_DOUBLE_EQ(mesh.wallQuads[0].corners[k][c], first[k][c]);
      EXPECT_DOUBLE_EQ(mesh.wallQuads[3].corners[k][c], closing[k][c]);
    }
  }

  // The same services split the polygon into its pieces.
  CGeometryPrimitiveServices services;
  ObjectModel::SetPrimitiveServices(&services);
  primitive.get()->Triangulate();
  ObjectModel::SetPrimitiveServices(nullptr);
  EXPECT_NE(primitive.get()->GetFirstChild(), nullptr);
}

TEST(CalcSurface, RefusedOutlinesLeaveAnEmptyMesh)
{
  const std::vector<std::vector<P3>> outlines = {
      {},
      {{0, 0, 0}, {4, 0, 0}},
      {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {4, 4, 0}},             // a bow tie
      {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 0, 0}, {0, 4, 0}},  // a vertex on another edge
  };
  for (const auto& outline : outlines) {
    SurfacePrimitive primitive(outline);
    CPrimitiveCalcSurface& s = primitive.surface();
    EXPECT_FALSE(s.RebuildMesh()) << outline.size();
    EXPECT_NE(s.GetOutlineFault(), nullptr) << outline.size();
    EXPECT_TRUE(s.GetCalcMesh().triangles.empty());
    EXPECT_TRUE(s.GetPolygon().triangles.empty());
    EXPECT_TRUE(s.GetPolygon().meshTriangles.empty());
    s.RefineMesh(1.0);
    EXPECT_TRUE(s.GetPolygon().triangles.empty());
    EXPECT_EQ(s.GetFlags(), 0u) << "nothing to refine";
    s.ComputeAverage();
    EXPECT_EQ(s.GetMeanValue(), 0.0);
  }
}

TEST(CalcSurface, RepeatedOutlinePointsAreMeshedOnce)
{
  SurfacePrimitive primitive({{0, 0, 0}, {4, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 0}});
  CPrimitiveCalcSurface& s = primitive.surface();
  EXPECT_TRUE(s.RebuildMesh());
  EXPECT_EQ(s.GetOutlineFault(), nullptr);
  EXPECT_EQ(s.GetPointCount(), 3u);
  EXPECT_EQ(s.GetMeshTriangleCount(), 1u);
}

TEST(CalcSurface, RefiningTwiceWithTheSameStepChangesNothing)
{
  SurfacePrimitive primitive(kRectangle);
  CPrimitiveCalcSurface& s = primitive.surface();
  s.RebuildMesh();
  s.RefineMesh(2.5);
  EXPECT_EQ(s.GetFlags(), SurfaceFlags::kRefined);
  EXPECT_TRUE(s.IsRefinedTo(2.5));
  const CQorTriPolygon& polygon = s.GetPolygon();
  const size_t refinedCount = polygon.points.size();
  const CTriPoint* firstPoint = polygon.points[0].get();
  ASSERT_GT(refinedCount, 18u);  // 18 on the outline alone
  EXPECT_FALSE(polygon.triangles.empty());
  // The sheet keeps the unrefined triangulation.
  EXPECT_EQ(s.GetCalcMesh().vertices.size(), 4u);
  EXPECT_EQ(polygon.meshTriangles.size(), 2u);

  s.RefineMesh(2.5);
  EXPECT_EQ(polygon.points.size(), refinedCount);
  EXPECT_EQ(polygon.points[0].get(), firstPoint);

  // Another step starts again from the outline: the same as refining a fresh mesh at that step.
  s.RefineMesh(5.0);
  SurfacePrimitive fresh(kRectangle);
  fresh.surface().RebuildMesh();
  fresh.surface().RefineMesh(5.0);
  EXPECT_EQ(polygon.points.size(), fresh.surface().GetPolygon().points.size());
  EXPECT_NE(polygon.points.size(), refinedCount);
  EXPECT_TRUE(s.IsRefinedTo(5.0));
}

// A refined rectangle with the value x at every point.
void Fill(CPrimitiveCalcSurface& s, double offset = 0)
{
  s.RebuildMesh();
  s.RefineMesh(2.5);
  CQorTriPolygon& polygon = s.GetPolygon();
  for (size_t j = 0; j < polygon.points.size(); ++j) polygon.Point(j)->value = polygon.Point(j)->x + offset;
  s.ComputeAverage();
  s.SetValueRange(offset, 10 + offset);
  s.BuildVertexArrays();
}

// The colour written for the first point at x (on the outline, y = 0).
std::vector<double> ColourAt(const CPrimitiveCalcSurface& s, double x)
{
  const CQorTriPolygon& polygon = s.GetPolygon();
  for (size_t j = 0; j < polygon.points.size(); ++j) {
    if (polygon.Point(j)->x == x && polygon.Point(j)->y == 0) {
      const double* c = &s.GetArrays().colours[3 * j];
      return {c[0], c[1], c[2]};
    }
  }
  ADD_FAILURE() << "no point at x = " << x;
  return {};
}

TEST(CalcSurface, AreaWeightedMeanOfALinearField)
{
  SurfacePrimitive primitive(kRectangle);
  CPrimitiveCalcSurface& s = primitive.surface();
  Fill(s);
  EXPECT_NEAR(s.GetMeanValue(), 5.0, 1e-9);
  EXPECT_NEAR(s.GetTotalArea(), 105.0, 1e-9);
  EXPECT_NEAR(s.GetWeightedSum(), 525.0, 1e-7);
  EXPECT_EQ(s.GetFlags() & SurfaceFlags::kValuesShown, SurfaceFlags::kValuesShown);
  EXPECT_EQ(s.GetArrays().indexCount, 3 * s.GetPolygon().triangles.size());

}

TEST(CalcSurface, VertexColoursByPaletteAndGrey)
{
  SurfacePrimitive primitive(kRectangle);
  CPrimitiveCalcSurface& s = primitive.surface();
  VisualOptions options;
  options.SetQuantity(1);

  // Palette: 2.5 lies halfway between level 0 (black) and level 5 (blue 100).
  options.SetResultDisplay(3);
  Fill(s);
  s.ApplyColorLevels(options.get());
  EXPECT_EQ(ColourAt(s, 2.5), std::vector<double>({0, 0, 50.0 / 255}));
  EXPECT_EQ(ColourAt(s, 0), std::vector<double>({0, 0, 0}));

  // Every value at or above the last level: the last level's colour (red) everywhere.
  Fill(s, 40);
  s.ApplyColorLevels(options.get());
  std::set<std::vector<double>> colours;
  for (size_t j = 0; j < s.GetArrays().colours.size(); j += 3) {
    colours.insert({s.GetArrays().colours[j], s.GetArrays().colours[j + 1], s.GetArrays().colours[j + 2]});
  }
  EXPECT_EQ(colours, std::set<std::vector<double>>({{1, 0, 0}}));

  // Grey: value / maximum.
  options.SetResultDisplay(0);
  Fill(s);
  s.ApplyColorLevels(options.get());
  EXPECT_EQ(ColourAt(s, 2.5), std::vector<double>({0.25, 0.25, 0.25}));

  // A palette without levels falls back to grey.
  options.SetResultDisplay(3);
  options.ClearColourLevels(1);
  s.ApplyColorLevels(options.get());
  EXPECT_EQ(ColourAt(s, 7.5), std::vector<double>({0.75, 0.75, 0.75}));

  // Grey with a maximum of 0: black, not a division by zero.
  s.SetValueRange(0, 0);
  s.ApplyColorLevels(options.get());
  for (double c : s.GetArrays().colours) EXPECT_EQ(c, 0.0);
}

TEST(CalcSurface, IsolinesAndLabelsFromTheVisualOptions)
{
  SurfacePrimitive primitive(kRectangle);
  CPrimitiveCalcSurface& s = primitive.surface();
  VisualOptions options;
  options.SetQuantity(1);
  options.SetAutoIsoLevels(0);
  options.SetIlluminanceLevels({2.7f, 6.1f});
  options.SetResultDisplay(0);
  Fill(s);
  LOGFONTA font{};
  options->GetFont(1, &font);
  font.lfHeight = -40;
  options->SetFont(1, &font);
  s.ApplyVisualOptions(options.get(), 1);
  EXPECT_EQ(s.GetLabelHeight(), 0.4);
  EXPECT_EQ(s.GetFlags() & SurfaceFlags::kIsolinesShown, SurfaceFlags::kIsolinesShown);
  s.BuildIsolines(options.get());
  // User levels get 0 in front, which is never traced: two levels, one straight line each.
  const CMeshIsolineSet& set = s.GetIsolines();
  ASSERT_EQ(set.levels.size(), 2u);
  EXPECT_FLOAT_EQ(static_cast<float>(set.levels[0]->value), 2.7f);
  ASSERT_EQ(set.levels[0]->curves.size(), 1u);
  for (const auto& seg : set.levels[0]->curves[0]->segments) EXPECT_NEAR(seg.a.x, 2.7, 1e-6);
  ASSERT_FALSE(set.levels[0]->curves[0]->labels.empty());

  // A new isoline colour with the same font recolours the labels in place; a new font height rebuilds them.
  const CVectorString3D* label = set.levels[0]->curves[0]->labels[0].get();
  const _PREF_OF_COLOR red{1, 0, 0};
  options->SetColour(7, &red);
  s.ApplyVisualOptions(options.get(), 1);
  ASSERT_EQ(set.levels[0]->curves[0]->labels[0].get(), label);
  EXPECT_EQ(label->m_r, 1.0f);
  EXPECT_EQ(s.GetIsolineColour()[0], 1.0f);
  font.lfHeight = -80;
  options->SetFont(1, &font);
  s.ApplyVisualOptions(options.get(), 1);
  EXPECT_EQ(s.GetLabelHeight(), 0.8);
  ASSERT_FALSE(set.levels[0]->curves[0]->labels.empty());
  EXPECT_EQ(set.levels[0]->curves[0]->labels[0]->GetHeight(), 0.8);

  // Back to the sheet: the isolines go with the values.
  s.ApplyVisualOptions(options.get(), 0);
  EXPECT_EQ(s.GetFlags() & SurfaceFlags::kValuesShown, 0u);
  EXPECT_TRUE(s.GetIsolines().levels.empty());
}

// Hand-written: a refined, coloured triangle with one isoline segment.
Bytes SurfaceFixture(std::int32_t flags)
{
  Bytes b;
  b.f64s({4.0 / 3, 8.0, 0.5, 0.0, 4.0}).i32(flags);
  b.i32(3);
  b.f64s({0, 0, 0.04, 0, 0, 1, 0, 0.1, 0.2, 0.3}).i32(0);
  b.f64s({4, 0, 0.04, 0, 0, 1, 4, 0.4, 0.5, 0.6}).i32(1);
  b.f64s({0, 3, 0.04, 0, 0, 1, 0, 0.7, 0.8, 0.9}).i32(2);
  b.i32(1).i32(0).i32(1).i32(2);
  b.i32(1).i32(0).i32(1).i32(2);
  b.i32(1).f64(2).i32(1).i32(1);
  b.f64s({2, 0, 0.04, 0, 0, 0}).i32(0);
  b.f64s({2, 1.5, 0.04, 0, 0, 0}).i32(0);
  b.i32(0).f64(1.5).i32(MeshIso::kSegmentSpecial);
  return b;
}

const std::vector<P3> kTriangle = {{0, 0, 0}, {4, 0, 0}, {0, 3, 0}};

TEST(CalcSurface, BlockMatchesItsFixture)
{
  SurfacePrimitive primitive(kTriangle);
  CPrimitiveCalcSurface& s = primitive.surface();
  LoadingArchive in(SurfaceFixture(0x3).data());
  s.Serialize(*in, kNow);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(s.GetMeanValue(), 4.0 / 3);
  EXPECT_EQ(s.GetWeightedSum(), 8.0);
  EXPECT_EQ(s.GetLabelHeight(), 0.5);
  EXPECT_EQ(s.GetMaxValue(), 4.0);
  EXPECT_EQ(s.GetFlags(), 0x3u);
  ASSERT_EQ(s.GetPolygon().points.size(), 3u);
  EXPECT_EQ(s.GetPolygon().Point(1)->value, 4.0);
  // Refined: the sheet is built again from the mesh triangles; the arrays carry the stored colours.
  ASSERT_EQ(s.GetCalcMesh().vertices.size(), 3u);
  EXPECT_NEAR(s.GetCalcMesh().vertices[0]->z, -0.01, 1e-12);
  EXPECT_EQ(s.GetCalcMesh().wallQuads.size(), 3u);
  EXPECT_EQ(s.GetArrays().colours, std::vector<double>({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}));
  EXPECT_EQ(s.GetArrays().indices, std::vector<std::uint32_t>({0, 1, 2}));
  ASSERT_EQ(s.GetIsolines().levels.size(), 1u);
  EXPECT_EQ(s.GetIsolines().levels[0]->curves[0]->segments[0].length, 1.5);

  StoringArchive out;
  s.Serialize(*out, kNow);
  EXPECT_EQ(out.bytes(), SurfaceFixture(0x3).data());

  // Not refined: the sheet waits for the next rebuild.
  LoadingArchive unrefined(SurfaceFixture(0x2).data());
  s.Serialize(*unrefined, kNow);
  EXPECT_TRUE(s.GetCalcMesh().vertices.empty());

  // Older files hold no block: nothing is read or written.
  LoadingArchive old(SurfaceFixture(0x3).data());
  s.Reset();
  s.Serialize(*old, ObjectModel::MakeFormatVersion(4, 3, 4, 9));
  EXPECT_TRUE(s.GetPolygon().points.empty());
  StoringArchive none;
  s.Serialize(*none, ObjectModel::MakeFormatVersion(4, 3, 4, 9));
  EXPECT_TRUE(none.bytes().empty());
}

TEST(CalcSurface, TruncatedOrHostileBlockRefused)
{
  SurfacePrimitive primitive(kTriangle);
  const std::vector<std::uint8_t> whole = SurfaceFixture(0x3).data();
  for (size_t cut = 0; cut < whole.size(); cut += 5) {
    std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    LoadingArchive in(part);
    EXPECT_TRUE(Refused([&] { primitive.surface().Serialize(*in, kNow); })) << cut;
  }
  Bytes huge;
  huge.f64s({0, 0, 0, 0, 0}).i32(1).i32(0x7ffffff0);
  LoadingArchive in(huge.data());
  EXPECT_TRUE(Refused([&] { primitive.surface().Serialize(*in, kNow); }));
}

TEST(CalcSurface, RoundTripThroughThePrimitiveBlock)
{
  SurfacePrimitive primitive(kRectangle);
  VisualOptions options;
  options.SetQuantity(1);
  options.SetAutoIsoLevels(0);
  options.SetIlluminanceLevels({2.7f, 6.1f});
  Fill(primitive.surface());
  primitive.surface().BuildIsolines(options.get());

  StoringArchive out;
  primitive.get()->Serialize(&*out, kNow);
  const std::vector<std::uint8_t> bytes = out.bytes();

  SurfacePrimitive loaded({});
  LoadingArchive in(bytes);
  loaded.get()->Serialize(&*in, kNow);
  const CQorTriPolygon& a = primitive.surface().GetPolygon();
  const CQorTriPolygon& b = loaded.surface().GetPolygon();
  ASSERT_EQ(b.points.size(), a.points.size());
  for (size_t j = 0; j < a.points.size(); ++j) {
    EXPECT_EQ(b.Point(j)->value, a.Point(j)->value);
    EXPECT_EQ(b.Point(j)->x, a.Point(j)->x);
  }
  EXPECT_EQ(b.triangles.size(), a.triangles.size());
  EXPECT_EQ(loaded.surface().GetMeanValue(), primitive.surface().GetMeanValue());
  EXPECT_EQ(loaded.surface().GetIsolines().levels.size(), 2u);
  EXPECT_EQ(loaded.surface().GetCalcMesh().vertices.size(), 4u);

  // The model's stand-in (no geometry installed) keeps the block byte for byte.
  IPrimitive* standIn = ObjectModel::CreatePrimitive(nullptr, nullptr, 1);
  EXPECT_EQ(CalcSurfaceOf(standIn), nullptr);
  LoadingArchive again(bytes);
  standIn->Serialize(&*again, kNow);
  StoringArchive copy;
  standIn->Serialize(&*copy, kNow);
  EXPECT_EQ(copy.bytes(), bytes);
  standIn->Release();
}

}  // namespace
