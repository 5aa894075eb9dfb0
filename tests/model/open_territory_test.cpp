#include "archive_bytes.h"
#include "open_territory_support.h"
#include "model/group_of_dev.h"
#include "model/iproject.h"
#include "model/project.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <algorithm>
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

template <class I>
I* Query(CCustomizeRoad* site, const IID& iid)
{
  return Query<I>(static_cast<IArea*>(site), iid);
}

IClassObjModel* ObjectOf(IModelUnknown* iface) { return Query<IClassObjModel>(iface, IID_IClassObjModel); }

std::vector<std::uint8_t> Save(IClassObjModel* object, DWORD version = kNow)
{
  StoringArchive out;
  object->Serialize(out.get(), version);
  return out.bytes();
}

// ---- A new area ----

TEST(OpenTerritory, NewAreaIsOneCarriagewaySquareNumberedOne)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  const auto primitives = PrimitivesOf(site.site);
  ASSERT_EQ(primitives.size(), 1u);
  IPrimitive* square = primitives[0];
  EXPECT_EQ(*square->GetShape(), kShapePolygon);
  EXPECT_EQ(*square->GetMembership(), kMemberCarriageway);
  EXPECT_STREQ(static_cast<const char*>(*square->GetName()), "Примитив - 1");
  EXPECT_EQ(*square->GetState(), 0x4D);
  CArray<_CSPOINT3D>* outline = nullptr;
  square->GetOutline(&outline);
  ASSERT_EQ(outline->GetSize(), 4);
  EXPECT_EQ((*outline)[0].x, 5);
  EXPECT_EQ((*outline)[2].y, -5);
  EXPECT_STREQ(static_cast<const char*>(*site->GetCaption()), "Открытые территории в одном уровне");
  EXPECT_EQ(*site->GetBranchCount(), 5);
  EXPECT_EQ(*site->GetJunctionAngle2(), 108.0);
  EXPECT_EQ(*site->GetWideningLength(), 25.0);
  IPrimitive* next = site->CreatePrimitive(kShapeRectangle, kMemberSidewalk, TRUE);
  EXPECT_STREQ(static_cast<const char*>(*next->GetName()), "Примитив - 2");
  EXPECT_EQ(next->GetNext(), nullptr);  // not linked
  next->Release();
}

TEST(OpenTerritory, KeysOfQueryInterface)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  struct Node {
    IID key;
    CLSID classId;
    const char* name;
  };
  for (const Node& n : {Node{IID_RoadNode, CLSID_RoadNode, "Проезжая часть"}, Node{IID_PavementNode, CLSID_PavementNode, "Тротуар"},
                        Node{IID_BackgroundNode, CLSID_BackgroundNode, "Фон"},
                        Node{IID_ShadingNode, CLSID_ShadingNode, "Объекты затенения"},
                        Node{IID_MarkingNode, CLSID_MarkingNode, "Разметка"}}) {
    IClassObjModel* node = Query<IClassObjModel>(site.site, n.key);
    ASSERT_NE(node, nullptr);
    CGuid id;
    node->GetClassId(&id);
    EXPECT_TRUE(id.IsEqual(&n.classId));
    EXPECT_STREQ(static_cast<const char*>(*node->GetName()), n.name);
    EXPECT_EQ(node->GetParent(), site.site);
  }
  EXPECT_NE(Query<ICustomizeRoad>(site.site, IID_ICustomizeRoad), nullptr);
  EXPECT_NE(Query<IGroupsOfDev>(site.site, IID_IGroupsOfDev), nullptr);
  EXPECT_NE(Query<IResultsOfCalc>(site.site, IID_IResultsOfCalc), nullptr);
  EXPECT_EQ(Query<IPrimitive>(site.site, IID_IPrimitive), Query<IPrimitive>(site.site, IID_LastPrimitive));
  EXPECT_EQ(Query<IGroupOfPrimitive>(site.site, IID_IGroupOfPrimitive), nullptr);
  EXPECT_EQ(Query<IGroupOfPrimitive>(site.site, IID_LastPrimitiveGroup), nullptr);
  CGuid none;
  int carriageway = kMemberCarriageway;
  EXPECT_EQ(site->RemovePrimitive(&none, &carriageway), 0);
  void* out = &doc;
  EXPECT_EQ(site->QueryInterface(&IID_LastPrimitive, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

// ---- Groups and removal ----

TEST(OpenTerritory, GroupsAreNamedByTheirOwnCountersAndTellMembershipsApart)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  IGroupOfPrimitive* road1 = site->CreatePrimitiveGroup(kMemberCarriageway);
  EXPECT_EQ(Query<IGroupOfPrimitive>(site.site, IID_IGroupOfPrimitive), road1);  // the first becomes the head
  IGroupOfPrimitive* walk1 = site->CreatePrimitiveGroup2(kMemberSidewalk);
  IGroupOfPrimitive* road2 = site->CreatePrimitiveGroup3(kMemberCarriageway);
  road1->SetNext(walk1);
  walk1->SetPrev(road1);
  walk1->SetNext(road2);
  road2->SetPrev(walk1);
  EXPECT_STREQ(static_cast<const char*>(*road1->GetName()), "Группа примитивов - 1");
  EXPECT_STREQ(static_cast<const char*>(*walk1->GetName()), "Группа примитивов - 1");
  EXPECT_STREQ(static_cast<const char*>(*road2->GetName()), "Группа примитивов - 2");
  EXPECT_EQ(*walk1->GetNumber(), kMemberSidewalk);
  EXPECT_EQ(*road1->GetState(), 5);

  // Two primitives of one kind, one a carriageway, one a sidewalk.
  CGuid kind;
  road1->GetKind(&kind);
  walk1->SetKind(&kind);
  for (int membership : {kMemberCarriageway, kMemberSidewalk}) {
    IPrimitive* p = site->CreateVertexPrimitive(membership);
    p->SetGroupKind(&kind);
    IPrimitive* last = Query<IPrimitive>(site.site, IID_LastPrimitive);
    last->SetNext(p);
    p->SetPrev(last);
  }
  int carriageway = kMemberCarriageway;
  int sidewalk = kMemberSidewalk;
  int shading = kMemberShading;
  EXPECT_EQ(site->GetPrimitiveCount(), 3);
  EXPECT_EQ(site->CountPrimitivesInGroup(&kind, &carriageway), 1);
  EXPECT_EQ(site->CountPrimitivesInGroup(&kind, &sidewalk), 1);
  EXPECT_EQ(site->RemovePrimitive(&kind, &shading), 1);
  EXPECT_EQ(site->RemovePrimitive(&kind, &sidewalk), 0);
  EXPECT_EQ(site->GetPrimitiveCount(), 2);
  EXPECT_EQ(site->RemovePrimitiveGroup(&kind, &sidewalk), 0);
  EXPECT_EQ(site->RemovePrimitiveGroup(&kind, &sidewalk), 1);
  EXPECT_EQ(road1->GetNext(), road2);
}

// ---- Picking ----

TEST(OpenTerritory, HitTestOnlyOnFreeSitesAndInterchanges)
{
  ColourDocument doc;
  SiteHolder site(&doc);
  IClassObjModel* out = nullptr;
  EXPECT_EQ(site->HitTest(5, 5, 0x4, &out), 10);
  EXPECT_EQ(out, ObjectOf(site->GetFirstPrimitive()));
  EXPECT_EQ(site->HitTest(5, 5, 0x0, &out), -1);
  for (int form : {1, 2, 3, 4, 5, 7}) {
    site->SetTypicalForm(&form);
    EXPECT_EQ(site->HitTest(5, 5, 0x4, &out), -1);
    EXPECT_EQ(out, nullptr);
  }
}

TEST(OpenTerritory, PolygonVerticesAllFlaggedWithinTheToleranceAndPiecesPickTheBody)
{
  WithGeometry geometry;
  ColourDocument doc;  // tolerance 0.5
  SiteHolder site(&doc);
  IPrimitive* p = site->GetFirstPrimitive();
  SetOutline(p, {{0, 0}, {0.3, 0}, {10, 0}, {10, 10}});
  EXPECT_EQ(site->HitTestPrimitive(0.1, 0.1, 0x2, p), 10);
  CArray<_CSPOINT3D>* outline = nullptr;
  p->GetOutline(&outline);
  EXPECT_EQ((*outline)[0].flags, 3);
  EXPECT_EQ((*outline)[1].flags, 3);
  EXPECT_EQ((*outline)[2].flags, 0);
  // Exactly the tolerance away is a miss.
  EXPECT_EQ(site->HitTestPrimitive(10.5, 10, 0x0, p), -1);
  EXPECT_EQ((*outline)[0].flags, 0);
  p->Triangulate();
  EXPECT_EQ(site->HitTestPrimitive(8, 3, 0x8, p), 11);
  double origin[3];
  p->GetDragOrigin(origin);
  EXPECT_EQ(origin[0], 8);
  EXPECT_EQ(origin[1], 3);
}

TEST(OpenTerritory, ShapesArePickedByHandleThenBody)
{
  ColourDocument doc;
  SiteHolder site(&doc);
  PrimitiveHolder rect(&doc, site.site);
  rect->SetSize1(10);
  rect->SetSize2(20);
  EXPECT_EQ(site->HitTestPrimitive(-10.2, -4.9, 0, rect.iface), 1);
  EXPECT_EQ(site->HitTestPrimitive(0, 7, 0, rect.iface), 9);
  EXPECT_EQ(site->HitTestPrimitive(3, 3, 0, rect.iface), 0);
  EXPECT_EQ(site->HitTestPrimitive(3, 6, 0, rect.iface), -1);
  // The triangle (0, 0), (4, 0), (1, 2): inside near the apex, outside beside it.
  PrimitiveHolder tri(&doc, site.site);
  const double a[2] = {0, 0}, b[2] = {4, 0}, c[2] = {1, 2};
  site->SetTriangleFromPoints(tri.iface, a, b, c);
  doc.markerSize = 0.01;
  EXPECT_EQ(site->HitTestPrimitive(1, 1.5, 0, tri.iface), 0);
  EXPECT_EQ(site->HitTestPrimitive(3, 1.5, 0, tri.iface), -1);
  // A ring sector by its outer circle.
  PrimitiveHolder ring(&doc, site.site);
  const int shape = kShapeRingSector;
  ring->SetShape(&shape);
  EXPECT_EQ(site->HitTestPrimitive(3, 3, 0, ring.iface), 0);
  EXPECT_EQ(site->HitTestPrimitive(4, 4, 0, ring.iface), -1);
}

TEST(OpenTerritory, CursorTable)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  PrimitiveHolder p(&doc, site.site);
  IClassObjModel* object = ObjectOf(p.iface);
  int cursor = 0;
  EXPECT_EQ(site->GetCursorFor(0, nullptr, &cursor), 1);
  EXPECT_EQ(cursor, 104);
  struct Case {
    int code;
    double rotation;
    int cursor;
  };
  for (const Case& c : {Case{0, 0, 294}, Case{905, 0, 294}, Case{9, 0, 293}, Case{907, 0, 293}, Case{10, 0, 335},
                        Case{11, 0, 335}, Case{-1, 0, 104}, Case{1, 0, 299}, Case{2, 0, 298}, Case{5, 0, 297},
                        Case{8, 0, 296}, Case{1, 45, 297}, Case{2, 45, 296}, Case{6, 45, 299}, Case{3, 90, 298},
                        Case{7, -90, 296}, Case{4, 135, 297}, Case{5, -45, 299}, Case{8, 180, 296}, Case{6, -157.5, 299},
                        Case{1, -22.5, 299}, Case{1, -22.6, 296}}) {
    p->SetRotation(c.rotation);
    cursor = 0;
    EXPECT_EQ(site->GetCursorFor(c.code, object, &cursor), 0);
    EXPECT_EQ(cursor, c.cursor) << c.code << " at " << c.rotation;
  }
  p->SetRotation(200);
  EXPECT_EQ(site->GetCursorFor(3, object, &cursor), 0);
  EXPECT_EQ(cursor, 104);
  cursor = 7;
  EXPECT_EQ(site->GetCursorFor(12, object, &cursor), 0);
  EXPECT_EQ(cursor, 7);
}

TEST(OpenTerritory, DeselectingTriangulatesPolygonsUnlessTheyKeepTheirPieces)
{
  WithGeometry geometry;
  FakeDocument doc;
  SiteHolder site(&doc);
  IPrimitive* square = site->GetFirstPrimitive();
  IPrimitive* kept = site->CreateVertexPrimitive(kMemberSidewalk);
  const int keep = *kept->GetState() | kStateKeepPieces;
  kept->SetState(&keep);
  square->SetNext(kept);
  kept->SetPrev(square);
  ObjectOf(square)->SetSelected(1);
  EXPECT_EQ(site->GetSelectedPrimitive(), square);
  EXPECT_EQ(site->ClearSelection(), 0);
  EXPECT_EQ(site->GetSelectedPrimitive(), nullptr);
  EXPECT_NE(square->GetFirstChild(), nullptr);
  EXPECT_EQ(kept->GetFirstChild(), nullptr);
}

TEST(OpenTerritory, KeysGoToTheSelectedPrimitiveUnlessTheAreaIsSelected)
{
  ColourDocument doc;
  SiteHolder site(&doc);
  IPrimitive* square = site->GetFirstPrimitive();
  EXPECT_EQ(site->TestKeyDown(0x25), 1);
  ObjectOf(square)->SetSelected(1);
  EXPECT_EQ(site->TestKeyDown(0x25), 0);
  EXPECT_EQ(site->OnKeyDown(0x27, 1, 0), 0);
  CArray<_CSPOINT3D>* outline = nullptr;
  square->GetOutline(&outline);
  EXPECT_EQ((*outline)[0].x, 5.5);
  site->SetSelected(1);
  EXPECT_EQ(site->OnKeyDown(0x27, 1, 0), 1);
  EXPECT_EQ((*outline)[0].x, 5.5);
}

TEST(OpenTerritory, ShadingObjectIsActiveOnlyWhenSwitchedOn)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  EXPECT_EQ(site->HasActiveShadingObject(), 0);
  IPrimitive* p = site->GetFirstPrimitive();
  const int shading = kMemberShading;
  p->SetMembership(&shading);
  EXPECT_EQ(site->HasActiveShadingObject(), 1);
  const int off = 4;
  p->SetState(&off);
  EXPECT_EQ(site->HasActiveShadingObject(), 0);
}

// ---- Stored form ----

// The default square of a new area, as a primitive block.
Bytes SquareBlock(DWORD version)
{
  Bytes b;
  b.i32(4).str("Примитив - 1").i32(1).i32(0x4D).f64s({0, 0, 0}).f64s({10, 10, 0});
  if (version >= MakeFormatVersion(4, 0, 11, 0))
    b.f64s({2, 360});
  if (version >= MakeFormatVersion(4, 0, 14, 0))
    b.f64(0);
  if (version >= MakeFormatVersion(4, 0, 16, 0))
    b.i32(6);
  if (version >= MakeFormatVersion(4, 2, 0, 0)) {
    b.u16(4);
    for (const auto& [x, y] : {std::pair{5.0, 5.0}, {-5.0, 5.0}, {-5.0, -5.0}, {5.0, -5.0}})
      b.f64(x).f64(y).f64(0).i32(0).i32(0);
    b.i32(0);
  }
  if (version >= MakeFormatVersion(4, 3, 0, 0))
    b.i32(0).f32s({0, 0, 0}).i32(0).f64(0);
  if (version >= MakeFormatVersion(4, 3, 5, 0)) {
    b.f64s({0, 0, 0, 0, 0}).i32(0).i32(0).i32(0).i32(0).i32(0);
    b.zeros(16);
  }
  if (version >= MakeFormatVersion(4, 4, 0, 1))
    b.f64(0);
  if (version >= MakeFormatVersion(5, 0, 7, 0))
    b.i32(0);
  return b;
}

// The typical-form fields of a new area.
Bytes FormFields()
{
  Bytes b;
  b.i32(5).f64s({15, 11.25, 11.25, 11.25, 11.25}).f64s({45, -45, 0}).i32(0).f64(25);
  b.f64s({180, 108, 36, -36, -108}).f64s({10, 20});
  return b;
}

struct AreaParts {
  Bytes base, groupsOfPoles, results;
};

// The blocks the area hands to other objects, each as that object writes it.
AreaParts PartsOf(CCustomizeRoad* site, DWORD version)
{
  AreaParts parts;
  StoringArchive base;
  site->CArea::Serialize(base.get(), version);
  parts.base.raw(base.bytes().data(), base.bytes().size());
  auto bytesOf = [&](IModelUnknown* part) {
    const auto b = Save(ObjectOf(part), version);
    Bytes out;
    out.raw(b.data(), b.size());
    return out;
  };
  parts.groupsOfPoles = bytesOf(Query<IGroupsOfDev>(site, IID_IGroupsOfDev));
  parts.results = bytesOf(Query<IResultsOfCalc>(site, IID_IResultsOfCalc));
  return parts;
}

TEST(OpenTerritoryFile, NewAreaBlockIsTheFieldList)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  const AreaParts parts = PartsOf(site.site, kNow);
  Bytes expected = parts.base;
  expected.i32(5).i32(5).i32(1).append(SquareBlock(kNow)).i32(0);
  expected.append(parts.groupsOfPoles).append(parts.results);
  expected.f64s({2, 1}).append(FormFields()).i32(1).i32(0).i32(0);
  EXPECT_EQ(Save(site.site), expected.data());
}

TEST(OpenTerritoryFile, AreaLoadsItsOwnFieldsInFileOrder)
{
  FakeDocument doc;
  SiteHolder source(&doc);
  const AreaParts parts = PartsOf(source.site, kNow);
  Bytes group;
  group.u32(0xA1).u16(1).u16(2).zeros(8).u32(0xB2).u16(3).u16(4).zeros(8).i32(1).str("Группа примитивов - 4").i32(2);
  Bytes b = parts.base;
  b.i32(4).i32(7).i32(2).append(SquareBlock(kNow)).append(SquareBlock(kNow)).i32(1).append(group);
  b.append(parts.groupsOfPoles).append(parts.results);
  b.f64s({3, 0.5}).i32(3).f64s({14, 9, 8, 7, 6}).f64s({30, -60, 12}).i32(2).f64(40);
  b.f64s({180, 60, -60, 0, 0}).f64s({12, 24}).i32(9).i32(3).i32(4);
  SiteHolder site(&doc);
  LoadingArchive in(b.data());
  site->Serialize(in.get(), kNow);
  EXPECT_EQ(*site->GetRoadState(), 4);
  EXPECT_EQ(*site->GetSidewalkState(), 7);
  EXPECT_EQ(site->GetPrimitiveCount(), 2);
  IGroupOfPrimitive* loaded = site->GetFirstPrimitiveGroup();
  ASSERT_NE(loaded, nullptr);
  CGuid kind;
  loaded->GetKind(&kind);
  EXPECT_EQ(kind.Value().Data1, 0xB2u);
  EXPECT_EQ(*loaded->GetNumber(), 2);
  EXPECT_STREQ(static_cast<const char*>(*loaded->GetName()), "Группа примитивов - 4");
  EXPECT_EQ(*site->GetSidewalkGap(), 0.5);
  EXPECT_EQ(*site->GetBranchCount(), 3);
  EXPECT_EQ(*site->GetBranchWidth5(), 6);
  EXPECT_EQ(*site->GetTurnRadius(), 12);
  EXPECT_EQ(*site->GetWideningType(), 2);
  EXPECT_EQ(*site->GetOuterRadius(), 24);
  EXPECT_EQ(Save(site.site), b.data());
  IPrimitive* made = site->CreatePrimitive(1, 1, TRUE);
  EXPECT_STREQ(static_cast<const char*>(*made->GetName()), "Примитив - 10");
  made->Release();
}

TEST(OpenTerritoryFile, GroupOfPrimitivesIsStoredOnlyFrom435)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  IGroupOfPrimitive* group = site->CreatePrimitiveGroup(kMemberSidewalk);
  IClassObjModel* object = ObjectOf(group);
  EXPECT_TRUE(Save(object, MakeFormatVersion(4, 3, 4, 255)).empty());
  CGuid id;
  object->GetObjectId(&id);
  CGuid kind;
  group->GetKind(&kind);
  Bytes expected;
  for (const CGuid* g : {&id, &kind}) {
    expected.u32(g->Value().Data1).u16(g->Value().Data2).u16(g->Value().Data3).raw(g->Value().Data4, 8);
  }
  expected.i32(5).str("Группа примитивов - 1").i32(2);
  EXPECT_EQ(Save(object), expected.data());
}

TEST(OpenTerritoryFile, HostileCountsAreRefusedBeforeAllocating)
{
  FakeDocument doc;
  SiteHolder source(&doc);
  const AreaParts parts = PartsOf(source.site, kNow);
  for (std::int32_t count : {0x7FFFFFFF, -1}) {
    Bytes primitives = parts.base;
    primitives.i32(5).i32(5).i32(count);
    Bytes groups = parts.base;
    groups.i32(5).i32(5).i32(0).i32(count);
    for (const Bytes* b : {&primitives, &groups}) {
      SiteHolder site(&doc);
      LoadingArchive in(b->data());
      EXPECT_NE(ArchiveErrorOf([&] { site->Serialize(in.get(), kNow); }), -1);
    }
  }
}

// A site with every kind of content: a triangulated polygon with a contour, shapes, a user group.
void Furnish(CCustomizeRoad* site)
{
  IPrimitive* square = site->GetFirstPrimitive();
  square->SetContourOffset(1.5);
  square->Triangulate();
  IPrimitive* ring = site->CreatePrimitive(kShapeRingSector, kMemberShading, TRUE);
  ring->SetBaseHeight(2);
  IGroupOfPrimitive* group = site->CreatePrimitiveGroup(kMemberSidewalk);
  CGuid kind;
  group->GetKind(&kind);
  ring->SetGroupKind(&kind);
  square->SetNext(ring);
  ring->SetPrev(square);
  const double angle = 30;
  site->SetFormAngle1(&angle);
}

TEST(OpenTerritoryFile, ProjectWithOpenTerritoriesSavesLoadsAndSavesTheSameBytes)
{
  WithGeometry geometry;
  FakeDocument doc;
  IProject* project = nullptr;
  ASSERT_EQ(CreateProject(&doc, &project), S_OK);
  auto* owner = dynamic_cast<CProject*>(project);
  IArea* site = project->InsertAreaAfter(CLSID_CCustomizeRoad, owner->GetFirstArea());
  ASSERT_NE(site, nullptr);
  EXPECT_STREQ(static_cast<const char*>(*site->GetCaption()), "Объект - 2 [Открытые территории в одном уровне]");
  Furnish(dynamic_cast<CCustomizeRoad*>(site));
  IArea* second = project->InsertAreaAfter(CLSID_CCustomizeRoad, site);
  second->Release();
  site->Release();
  const auto first = Save(owner);

  IProject* loaded = nullptr;
  CreateProject(&doc, &loaded);
  auto* loadedOwner = dynamic_cast<CProject*>(loaded);
  LoadingArchive in(first);
  loadedOwner->Serialize(in.get(), kNow);
  auto* loadedSite = dynamic_cast<CCustomizeRoad*>(loadedOwner->GetFirstArea()->GetNext());
  ASSERT_NE(loadedSite, nullptr);
  EXPECT_EQ(loadedSite->GetPrimitiveCount(), 2);
  EXPECT_NE(loadedSite->GetFirstPrimitive()->GetFirstChild(), nullptr);
  EXPECT_NE(loadedSite->GetFirstPrimitiveGroup(), nullptr);
  EXPECT_EQ(Save(loadedOwner), first);

  // A deep copy writes the same bytes too.
  IProject* copy = nullptr;
  CreateProject(&doc, &copy);
  ObjectOf(project)->CopyTo(ObjectOf(copy), 0);
  EXPECT_EQ(Save(dynamic_cast<CProject*>(copy)), first);
  copy->Release();
  loaded->Release();
  project->Release();
}

}  // namespace
