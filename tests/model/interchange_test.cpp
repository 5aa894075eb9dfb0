#include "archive_bytes.h"
#include "open_territory_support.h"
#include "geometry/mesh/calc_surface.h"
#include "model/interchange.h"
#include "model/iproject.h"
#include "model/project.h"
#include "model/results.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace ObjectModel;

constexpr DWORD kNow = kCurrentFormatVersion;

template <class I>
I* Query(IModelUnknown* from, const IID& iid)
{
  void* out = nullptr;
  if (FAILED(from->QueryInterface(&iid, &out)))
    return nullptr;
  auto* result = static_cast<I*>(out);
  result->Release();  // the owner keeps it alive
  return result;
}

IClassObjModel* ObjectOf(IModelUnknown* iface) { return Query<IClassObjModel>(iface, IID_IClassObjModel); }

struct InterchangeHolder {
  explicit InterchangeHolder(IQorRoadDoc* doc) : area(new CCustomizeRoad3D(doc, nullptr, 1)) { area->AddRef(); }
  ~InterchangeHolder() { area->Release(); }
  CCustomizeRoad3D* operator->() const { return area; }
  IArea* AsArea() const { return static_cast<IArea*>(area); }
  CCustomizeRoad3D* area;
};

// Geometry's own services: real surfaces that mesh, refine, take values and copy.
struct WithSurfaces {
  WithSurfaces() { SetPrimitiveServices(&services); }
  ~WithSurfaces() { SetPrimitiveServices(nullptr); }
  CGeometryPrimitiveServices services;
};

CGuid ObjectIdOf(IModelUnknown* iface)
{
  CGuid id;
  ObjectOf(iface)->GetObjectId(&id);
  return id;
}

TEST(Interchange, MadeByTheProjectWithItsOwnIdentityAndMarker)
{
  FakeDocument doc;
  IProject* project = nullptr;
  CreateProject(&doc, &project);
  IArea* area = project->ResetAreas(CLSID_CCustomizeRoad3D);
  ASSERT_NE(area, nullptr);
  CGuid classId;
  ObjectOf(area)->GetClassId(&classId);
  EXPECT_TRUE(classId.IsEqual(&CLSID_CCustomizeRoad3D));
  EXPECT_STREQ(ObjectOf(area)->GetName()->GetString(), "Многоуровневые развязки");
  EXPECT_NE(Query<ICustomizeRoad3D>(area, IID_ICustomizeRoad3D), nullptr);
  EXPECT_NE(Query<ICustomizeRoad>(area, IID_ICustomizeRoad), nullptr);
  // The open-territory construction stands underneath: one carriageway square, numbered 1.
  auto* site = dynamic_cast<CCustomizeRoad*>(area);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->GetPrimitiveCount(), 1);
  EXPECT_STREQ(site->GetFirstPrimitive()->GetName()->GetString(), "Примитив - 1");
  area->Release();
  project->Release();

  SiteHolder plain(&doc);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(static_cast<IArea*>(plain.site)->QueryInterface(&IID_ICustomizeRoad3D, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

TEST(Interchange, TypicalFormEightGeneratesNothing)
{
  FakeDocument doc;
  InterchangeHolder area(&doc);
  const int form = 8;
  area->SetTypicalForm(&form);
  IPrimitive* before = area->GetFirstPrimitive();
  EXPECT_EQ(area->BuildTypicalForm(), 1);
  EXPECT_EQ(area->GetFirstPrimitive(), before);
  EXPECT_EQ(area->GetPrimitiveCount(), 1);
}

// The stored form is the open territory's, field for field: the area block, the two state words, the default
// square with its (empty) surface block, no user groups, the groups of poles and the results, the typical-form
// fields and the three counters.
TEST(InterchangeFile, NewAreaBlockIsTheOpenTerritoryFieldList)
{
  FakeDocument doc;
  InterchangeHolder area(&doc);
  StoringArchive base;
  area->CArea::Serialize(base.get(), kNow);
  auto blockOf = [](IModelUnknown* part) {
    StoringArchive out;
    ObjectOf(part)->Serialize(out.get(), kNow);
    return out.bytes();
  };
  const auto groupsOfPoles = blockOf(Query<IGroupsOfDev>(area.AsArea(), IID_IGroupsOfDev));
  const auto results = blockOf(Query<IResultsOfCalc>(area.AsArea(), IID_IResultsOfCalc));

  Bytes expected;
  const auto baseBytes = base.bytes();
  expected.raw(baseBytes.data(), baseBytes.size());
  expected.i32(5).i32(5).i32(1);
  // The square: shape, name, membership, state, centre, sizes, rotation, radii, offset, arc detail, outline of
  // four points at the base height 0 and no pieces, colour fields, the surface block (five doubles, flags, no
  // points, no triangles of either list, no isoline levels), the group kind, base height, marking kind.
  expected.i32(4).str("Примитив - 1").i32(1).i32(0x4D).f64s({0, 0, 0}).f64s({10, 10, 0}).f64s({2, 360}).f64(0).i32(6);
  expected.u16(4);
  for (const auto& [x, y] : {std::pair{5.0, 5.0}, {-5.0, 5.0}, {-5.0, -5.0}, {5.0, -5.0}})
    expected.f64(x).f64(y).f64(0).i32(0).i32(0);
  expected.i32(0);
  expected.i32(0).f32s({0, 0, 0}).i32(0).f64(0);
  expected.f64s({0, 0, 0, 0, 0}).i32(0).i32(0).i32(0).i32(0).i32(0);
  expected.zeros(16).f64(0).i32(0);
  expected.i32(0);
  expected.raw(groupsOfPoles.data(), groupsOfPoles.size());
  expected.raw(results.data(), results.size());
  expected.f64s({2, 1}).i32(5).f64s({15, 11.25, 11.25, 11.25, 11.25}).f64s({45, -45, 0}).i32(0).f64(25);
  expected.f64s({180, 108, 36, -36, -108}).f64s({10, 20});
  expected.i32(1).i32(0).i32(0);

  StoringArchive out;
  ObjectOf(area.AsArea())->Serialize(out.get(), kNow);
  EXPECT_EQ(out.bytes(), expected.data());

  // And it reads back into an interchange that writes the same bytes.
  InterchangeHolder loaded(&doc);
  LoadingArchive in(expected.data());
  ObjectOf(loaded.AsArea())->Serialize(in.get(), kNow);
  StoringArchive again;
  ObjectOf(loaded.AsArea())->Serialize(again.get(), kNow);
  EXPECT_EQ(again.bytes(), expected.data());
}

TEST(InterchangeFile, AProjectOpensItsInterchangeAsAnInterchange)
{
  FakeDocument doc;
  IProject* saved = nullptr;
  CreateProject(&doc, &saved);
  saved->ResetAreas(CLSID_CCustomizeRoad3D)->Release();
  StoringArchive out;
  ObjectOf(saved)->Serialize(out.get(), kNow);
  const auto bytes = out.bytes();

  IProject* opened = nullptr;
  CreateProject(&doc, &opened);
  LoadingArchive in(bytes);
  ObjectOf(opened)->Serialize(in.get(), kNow);
  IArea* area = Query<IArea>(opened, IID_ActiveArea);
  ASSERT_NE(area, nullptr);
  EXPECT_NE(Query<ICustomizeRoad3D>(area, IID_ICustomizeRoad3D), nullptr);
  StoringArchive again;
  ObjectOf(opened)->Serialize(again.get(), kNow);
  EXPECT_EQ(again.bytes(), bytes);
  opened->Release();
  saved->Release();
}

// A calculated interchange: the default square meshed by its triangulation, refined, with values, and results.
struct CalculatedInterchange {
  explicit CalculatedInterchange(IQorRoadDoc* doc) : area(doc)
  {
    IPrimitive* square = area->GetFirstPrimitive();
    square->Triangulate();
    auto* surface = CalcSurfaceOf(square);
    surface->RefineMesh(2.5);
    for (std::size_t i = 0; i < surface->GetPointCount(); ++i)
      surface->SetPointValue(i, 10.0 + static_cast<double>(i));
    surface->ComputeAverage();
    _CALC_RESULTS& d = *Query<IResultsOfCalc>(area.AsArea(), IID_IResultsOfCalc)->GetData();
    d.valid = 1;
    d.valueMin = 10;
    d.valueMax = 30;
  }
  InterchangeHolder area;
};

TEST(InterchangeCopy, TriangulatingAPolygonMeshesItsSurface)
{
  WithSurfaces geometry;
  FakeDocument doc;
  InterchangeHolder area(&doc);
  IPrimitive* square = area->GetFirstPrimitive();
  ASSERT_EQ(CalcSurfaceOf(square)->GetMeshTriangleCount(), 0u);
  EXPECT_EQ(square->Triangulate(), 0);
  EXPECT_EQ(CalcSurfaceOf(square)->GetMeshTriangleCount(), 2u);

  // An open territory's polygons have no use for a mesh.
  SiteHolder site(&doc);
  site->GetFirstPrimitive()->Triangulate();
  EXPECT_EQ(CalcSurfaceOf(site->GetFirstPrimitive())->GetMeshTriangleCount(), 0u);
}

TEST(InterchangeCopy, UndoCopyKeepsResultsAndPointValues)
{
  WithSurfaces geometry;
  FakeDocument doc;
  CalculatedInterchange source(&doc);
  InterchangeHolder copy(&doc);
  ASSERT_EQ(ObjectOf(source.area.AsArea())->CopyTo(ObjectOf(copy.AsArea()), 0), 0);

  const _CALC_RESULTS& d = *Query<IResultsOfCalc>(copy.AsArea(), IID_IResultsOfCalc)->GetData();
  EXPECT_EQ(d.valid, 1);
  EXPECT_FLOAT_EQ(d.valueMax, 30.0f);
  auto* from = CalcSurfaceOf(source.area->GetFirstPrimitive());
  auto* to = CalcSurfaceOf(copy->GetFirstPrimitive());
  ASSERT_NE(to, from);
  ASSERT_GT(from->GetPointCount(), 4u);  // refined: more than the outline
  ASSERT_EQ(to->GetPointCount(), from->GetPointCount());
  for (std::size_t i = 0; i < from->GetPointCount(); ++i) {
    double p[3], n[3], q[3], m[3];
    from->GetMeshPoint(i, p, n);
    to->GetMeshPoint(i, q, m);
    EXPECT_EQ(std::memcmp(p, q, sizeof p), 0) << i;
    EXPECT_EQ(std::memcmp(n, m, sizeof n), 0) << i;
    EXPECT_EQ(from->GetPolygon().Point(i)->value, to->GetPolygon().Point(i)->value) << i;
  }
  EXPECT_EQ(to->GetMeshTriangleCount(), from->GetMeshTriangleCount());
  EXPECT_EQ(to->GetPolygon().triangles.size(), from->GetPolygon().triangles.size());
  EXPECT_EQ(to->GetMeanValue(), from->GetMeanValue());
  EXPECT_EQ(to->GetTotalArea(), from->GetTotalArea());
  EXPECT_EQ(to->GetFlags(), from->GetFlags());
  EXPECT_TRUE(to->IsRefinedTo(2.5));
  EXPECT_EQ(to->GetCalcMesh().triangles.size(), from->GetCalcMesh().triangles.size());
  EXPECT_EQ(to->GetArrays().colours, from->GetArrays().colours);
  // The copy's surface belongs to the copy's primitive.
  EXPECT_EQ(to->GetPrimitive(), copy->GetFirstPrimitive());
}

TEST(InterchangeCopy, FlagsReachTheChildrenOnce)
{
  WithSurfaces geometry;
  FakeDocument doc;
  CalculatedInterchange source(&doc);
  IPrimitive* original = source.area->GetFirstPrimitive();

  InterchangeHolder same(&doc);
  ObjectOf(source.area.AsArea())->CopyTo(ObjectOf(same.AsArea()), 0);
  EXPECT_TRUE(ObjectIdOf(same->GetFirstPrimitive()).IsEqual(&ObjectIdOf(original).Value()));

  // Keeping its own identity, the destination's children keep the identity they were made with.
  InterchangeHolder own(&doc);
  const CGuid ownId = ObjectIdOf(own.AsArea());
  ObjectOf(source.area.AsArea())->CopyTo(ObjectOf(own.AsArea()), kCopyKeepIdentity);
  EXPECT_TRUE(ObjectIdOf(own.AsArea()).IsEqual(&ownId.Value()));
  EXPECT_FALSE(ObjectIdOf(own->GetFirstPrimitive()).IsEqual(&ObjectIdOf(original).Value()));
  // The data is copied all the same.
  EXPECT_EQ(CalcSurfaceOf(own->GetFirstPrimitive())->GetPointCount(), CalcSurfaceOf(original)->GetPointCount());
}

TEST(InterchangeCopy, UnmeshedPolygonsGetAMeshExceptShadingAndMarking)
{
  WithSurfaces geometry;
  FakeDocument doc;
  InterchangeHolder source(&doc);
  // The square (carriageway) stays unmeshed; a shading square and a marking square follow it.
  for (int membership : {kMemberShading, kMemberMarking}) {
    IPrimitive* p = source->CreateVertexPrimitive(membership);
    IPrimitive* last = source->GetFirstPrimitive();
    while (last->GetNext())
      last = last->GetNext();
    last->SetNext(p);
    p->SetPrev(last);
  }
  InterchangeHolder copy(&doc);
  ObjectOf(source.AsArea())->CopyTo(ObjectOf(copy.AsArea()), 0);
  IPrimitive* p = copy->GetFirstPrimitive();
  EXPECT_EQ(CalcSurfaceOf(p)->GetMeshTriangleCount(), 2u);
  EXPECT_EQ(CalcSurfaceOf(p->GetNext())->GetMeshTriangleCount(), 0u);
  EXPECT_EQ(CalcSurfaceOf(p->GetNext()->GetNext())->GetMeshTriangleCount(), 0u);
}

}  // namespace
