#include "geometry/triangulation/qor_tri_polygon.h"

#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

// A length this close to a whole number of steps is that whole number: the last part would otherwise be a
// sliver of rounding noise.
constexpr double kWholeStepsTolerance = 1e-12;

const DWORD kMeshFormatVersion = ObjectModel::MakeFormatVersion(4, 3, 5, 0);

// Unit length; a zero sum (opposite normals) is left as it is, having no direction to keep.
void Normalise(_VECTOR3D& v)
{
  const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length > 0.0) {
    v.x /= length;
    v.y /= length;
    v.z /= length;
  }
}

struct PointPairHash {
  size_t operator()(const std::pair<const void*, const void*>& key) const
  {
    return std::hash<const void*>()(key.first) * 31u ^ std::hash<const void*>()(key.second);
  }
};

std::pair<const void*, const void*> Unordered(const CTriPoint* a, const CTriPoint* b)
{
  return a < b ? std::make_pair<const void*, const void*>(a, b) : std::make_pair<const void*, const void*>(b, a);
}

// The three sides of a triangle, longest first.
struct TriangleSide {
  CTriPoint* from;
  CTriPoint* to;
  double length;
};

void MakeTriangleEdges(const CTriTriangle& t, TriangleSide sides[3])
{
  for (int k = 0; k < 3; ++k) {
    sides[k] = {t.points[k], t.points[(k + 1) % 3], PointDistance(*t.points[k], *t.points[(k + 1) % 3])};
  }
  if (sides[1].length > sides[0].length) {
    std::swap(sides[0], sides[1]);
  }
  if (sides[2].length > sides[0].length) {
    std::swap(sides[0], sides[2]);
  }
  if (sides[2].length > sides[1].length) {
    std::swap(sides[1], sides[2]);
  }
}

}  // namespace

double PointDistance(const CTriPoint& a, const CTriPoint& b)
{
  return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
}

size_t CMeshEdgeSet::PairHash::operator()(const std::pair<const void*, const void*>& key) const
{
  return PointPairHash()(key);
}

void CMeshEdgeSet::AddTriangle(CTriTriangle& t)
{
  for (int k = 0; k < 3; ++k) {
    // Edge (k, k+1) lies opposite point k+2.
    if (t.constrained[(k + 2) % 3]) {
      continue;
    }
    auto* a = static_cast<CMeshPoint*>(t.points[k]);
    auto* b = static_cast<CMeshPoint*>(t.points[(k + 1) % 3]);
    const auto key = Unordered(a, b);
    if (auto found = m_index.find(key); found != m_index.end()) {
      // The triangle's normal as it stands: still zero when none of its own edges was new before this one.
      _VECTOR3D& normal = m_edges[found->second].normal;
      normal.x += t.normal.x;
      normal.y += t.normal.y;
      normal.z += t.normal.z;
      Normalise(normal);
    } else {
      t.ComputeNormal();
      m_index.emplace(key, m_edges.size());
      m_edges.emplace_back(a, b);
      m_edges.back().normal = t.normal;
    }
  }
}

void CMeshEdgeSet::Subdivide()
{
  for (const CMeshEdge& edge : m_edges) {
    SubdivideSegment(m_step, *edge.a, *edge.b, edge.normal, m_polygon);
  }
}

CMeshEdge::CMeshEdge(CMeshPoint* from, CMeshPoint* to) : a(from), b(to), length(PointDistance(*from, *to)) {}

CMeshPoint* AddMeshPoint(double x, double y, double z, MeshPointList& list)
{
  list.push_back(std::make_unique<CMeshPoint>(x, y, z));
  return list.back().get();
}

void LinkOutlineEdges(const std::vector<CMeshPoint*>& outline)
{
  const size_t n = outline.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    NewConstraint(outline[i], outline[i + 1]);
  }
  if (n >= 3) {
    NewConstraint(outline[0], outline[n - 1]);
  }
}

void LinkOutlineEdges(const MeshPointList& outline)
{
  std::vector<CMeshPoint*> points;
  for (const auto& p : outline) {
    points.push_back(p.get());
  }
  LinkOutlineEdges(points);
}

void AppendPoints(CQorTriPolygon& polygon, MeshPointList& list)
{
  for (auto& p : list) {
    polygon.points.emplace_back(p.release());
  }
  list.clear();
}

int DivisionCount(double length, double step)
{
  if (!(step > 0.0) || !(length > 0.0)) {
    return 1;
  }
  const double steps = length / step;
  const double whole = std::floor(steps);
  return static_cast<int>(steps - whole < kWholeStepsTolerance ? whole : whole + 1.0);
}

CQorTriPolygon::~CQorTriPolygon() { CQorTriPolygon::Clear(); }

void CQorTriPolygon::PrepareTriangulation(CTriContext& context)
{
  triangles.clear();
  context.points.clear();
  for (auto& p : points) {
    context.points.push_back(p.get());
  }
}

void CQorTriPolygon::Clear()
{
  CTriPolygon::Clear();
  meshTriangles.clear();
  boundary.clear();
}

void CQorTriPolygon::CollectTriangles()
{
  meshTriangles.clear();
  for (const auto& t : triangles) {
    auto copy = std::make_unique<CTriTriangle>(t->points[0], t->points[1], t->points[2]);
    copy->ComputeNormal();
    meshTriangles.push_back(std::move(copy));
  }
  ComputePointNormals();
}

void CQorTriPolygon::ComputePointNormals()
{
  for (const auto& t : meshTriangles) {
    for (CTriPoint* corner : t->points) {
      auto* p = static_cast<CMeshPoint*>(corner);
      if ((p->flags & kMeshPointNormalSet) == 0) {
        p->normal = t->normal;
        p->flags |= kMeshPointNormalSet;
        continue;
      }
      const double tolerance = p->normal.tolerance;
      if (std::fabs(t->normal.x - p->normal.x) > tolerance || std::fabs(t->normal.y - p->normal.y) > tolerance ||
          std::fabs(t->normal.z - p->normal.z) > tolerance) {
        p->normal.x += t->normal.x;
        p->normal.y += t->normal.y;
        p->normal.z += t->normal.z;
        Normalise(p->normal);
      }
    }
  }
}

void SubdivideSegment(double step, const CMeshPoint& a, const CMeshPoint& b, const _VECTOR3D& normal,
                      CQorTriPolygon& polygon)
{
  const int n = DivisionCount(PointDistance(a, b), step);
  for (int i = 1; i < n; ++i) {
    const double f = static_cast<double>(i) / n;
    auto point = std::make_unique<CMeshPoint>(a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), a.z + f * (b.z - a.z));
    point->normal = normal;
    point->flags = kMeshPointNormalSet;
    polygon.points.push_back(std::move(point));
  }
}

void CQorTriPolygon::Refine(double maxStep)
{
  // 1-2. The outline, freed of its old constraints, becomes the boundary list.
  boundary.clear();
  step = maxStep;
  std::vector<CMeshPoint*> outline;
  for (auto& p : points) {
    auto* point = static_cast<CMeshPoint*>(p.release());
    point->ReleaseConstraints();
    outline.push_back(point);
    boundary.push_back(point);
  }
  points.clear();
  std::vector<std::list<CMeshPoint*>::iterator> positions;
  for (auto it = boundary.begin(); it != boundary.end(); ++it) {
    positions.push_back(it);
  }

  // 3. Boundary division, each outline edge with the normal of the (last) mesh triangle that has it.
  std::unordered_map<std::pair<const void*, const void*>, _VECTOR3D, PointPairHash> edgeNormals;
  for (const auto& t : meshTriangles) {
    for (int k = 0; k < 3; ++k) {
      edgeNormals[Unordered(t->points[k], t->points[(k + 1) % 3])] = t->normal;
    }
  }
  const size_t n = outline.size();
  for (size_t i = 0; i < n && n >= 2; ++i) {
    CMeshPoint* a = outline[i];
    CMeshPoint* b = outline[(i + 1) % n];
    // The closing pair's points go to the front of the list, so the list still runs round the outline.
    const auto before = positions[i == n - 1 ? 0 : i + 1];
    _VECTOR3D normal;
    if (auto found = edgeNormals.find(Unordered(a, b)); found != edgeNormals.end()) {
      normal = found->second;
    }
    const int parts = DivisionCount(PointDistance(*a, *b), step);
    for (int k = 1; k < parts; ++k) {
      const double f = static_cast<double>(k) / parts;
      auto* point = new CMeshPoint(a->x + f * (b->x - a->x), a->y + f * (b->y - a->y), a->z + f * (b->z - a->z));
      point->normal = normal;
      point->flags = kMeshPointNormalSet;
      boundary.insert(before, point);
    }
  }

  // 4-5. The boundary list is the new outline, with its constraints, and the point list.
  std::vector<CMeshPoint*> ring(boundary.begin(), boundary.end());
  LinkOutlineEdges(ring);
  for (CMeshPoint* p : ring) {
    points.emplace_back(p);
  }

  // 6. Every interior edge of the current triangulation, once, with the mean normal of its triangles.
  {
    CMeshEdgeSet interiorEdges(*this, step);
    for (const auto& t : triangles) {
      interiorEdges.AddTriangle(*t);
    }
    interiorEdges.Subdivide();
  }

  // 7-8. Points inside every triangle of the unrefined mesh.
  boundary.clear();
  for (const auto& t : meshTriangles) {
    RefineTriangle(*t, false);
  }

  // Two points at the same place would stop the next triangulation; the first one stays (outline points come
  // first, so the outline is never thinned). Outline points are never dropped: their constraints hold them, and
  // two of them at one place mean an outline that touches itself, which the triangulation then refuses.
  const std::unordered_set<const CTriPoint*> onOutline(ring.begin(), ring.end());
  std::unordered_set<std::string> places;
  std::vector<std::unique_ptr<CTriPoint>> distinct;
  for (auto& p : points) {
    const double xy[2] = {p->x + 0.0, p->y + 0.0};
    const bool fresh = places.emplace(reinterpret_cast<const char*>(xy), sizeof xy).second;
    if (fresh || onOutline.count(p.get()) != 0) {
      distinct.push_back(std::move(p));
    }
  }
  points = std::move(distinct);
}

void CQorTriPolygon::RefineTriangle(CTriTriangle& t, bool forced)
{
  if (!(step > 0.0)) {
    return;
  }
  TriangleSide sides[3];
  MakeTriangleEdges(t, sides);
  const double f = sides[0].length, g = sides[1].length, h = sides[2].length;
  if (f == 0.0) {
    return;  // all three corners at one place
  }

  if (forced || std::floor(f / step) == std::floor(g / step)) {
    // Rungs parallel to the shortest side D→E, between the two long sides that meet at the apex V.
    auto* d = static_cast<CMeshPoint*>(sides[2].from);
    auto* e = static_cast<CMeshPoint*>(sides[2].to);
    auto* v = static_cast<CMeshPoint*>(t.PointCCW(e));
    FillBetweenEdges(d, v, e, t.normal);
    return;
  }

  // A long thin triangle: split at the foot M of the altitude from R onto the longest side P→Q first.
  CTriPoint* p = sides[0].from;
  CTriPoint* q = sides[0].to;
  CTriPoint* r = t.PointCCW(q);
  const double x = PointDistance(*p, *r);
  const double sp = (f + g + h) / 2.0;
  const double areaSquared = std::max(0.0, sp * (sp - f) * (sp - g) * (sp - h));
  const double tau = std::sqrt(std::max(0.0, f * f * x * x - 4.0 * areaSquared)) / (f * f);
  CMeshPoint foot(p->x + tau * (q->x - p->x), p->y + tau * (q->y - p->y), p->z + tau * (q->z - p->z));
  CTriTriangle first(&foot, r, p);
  first.ComputeNormal();
  CTriTriangle second(q, r, &foot);
  second.ComputeNormal();
  RefineTriangle(first, true);
  RefineTriangle(second, true);
  SubdivideSegment(step, *static_cast<CMeshPoint*>(r), foot, first.normal, *this);
}

void CQorTriPolygon::FillBetweenEdges(CMeshPoint* d, CMeshPoint* v, CMeshPoint* e, const _VECTOR3D& normal)
{
  const double longer = std::max(PointDistance(*d, *v), PointDistance(*v, *e));
  const int n = DivisionCount(longer, step);
  for (int i = 1; i < n; ++i) {
    const double f = static_cast<double>(i) / n;
    const CMeshPoint p1(d->x - f * (d->x - v->x), d->y - f * (d->y - v->y), d->z - f * (d->z - v->z));
    const CMeshPoint p2(e->x + f * (v->x - e->x), e->y + f * (v->y - e->y), e->z + f * (v->z - e->z));
    SubdivideSegment(step, p1, p2, normal, *this);
  }
}

// The polygon's block, all integers int32 and doubles 8 bytes, little-endian:
//   point count N; N records of x, y, z, normal x, y, z, value, colour r, g, b (doubles) and index (int32);
//   received-triangle count T, then T x three point indices; mesh-triangle count M, then M x three indices.
void CQorTriPolygon::Serialize(CArchive& ar, DWORD formatVersion)
{
  if (formatVersion < kMeshFormatVersion) {
    return;
  }
  constexpr ULONGLONG kPointRecordBytes = 10 * 8 + 4;
  constexpr ULONGLONG kTriangleRecordBytes = 3 * 4;

  if (ar.IsStoring()) {
    ar << static_cast<std::int32_t>(points.size());
    for (size_t j = 0; j < points.size(); ++j) {
      CMeshPoint* p = Point(j);
      p->index = static_cast<std::int32_t>(j);
      ar << p->x << p->y << p->z << p->normal.x << p->normal.y << p->normal.z << p->value << p->r << p->g << p->b
         << p->index;
    }
    for (const auto* list : {&triangles, &meshTriangles}) {
      ar << static_cast<std::int32_t>(list->size());
      for (const auto& t : *list) {
        for (const CTriPoint* corner : t->points) {
          ar << static_cast<const CMeshPoint*>(corner)->index;
        }
      }
    }
    return;
  }

  Clear();
  std::int32_t count = 0;
  ar >> count;
  if (count < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kPointRecordBytes);
  for (std::int32_t j = 0; j < count; ++j) {
    double x = 0, y = 0, z = 0;
    ar >> x >> y >> z;
    auto point = std::make_unique<CMeshPoint>(x, y, z);
    ar >> point->normal.x >> point->normal.y >> point->normal.z >> point->value >> point->r >> point->g >>
        point->b >> point->index;
    points.push_back(std::move(point));
  }
  for (int listNo = 0; listNo < 2; ++listNo) {
    std::int32_t triangleCount = 0;
    ar >> triangleCount;
    if (triangleCount < 0) {
      AfxThrowArchiveException(CArchiveException::badIndex);
    }
    ar.EnsureAvailable(static_cast<ULONGLONG>(triangleCount) * kTriangleRecordBytes);
    for (std::int32_t k = 0; k < triangleCount; ++k) {
      CTriPoint* corners[3];
      for (CTriPoint*& corner : corners) {
        std::uint32_t index = 0;
        ar >> index;
        if (index >= static_cast<std::uint32_t>(count)) {
          AfxThrowInvalidArgException();
        }
        corner = points[index].get();
      }
      auto t = std::make_unique<CTriTriangle>(corners[0], corners[1], corners[2]);
      t->ComputeNormal();
      if (listNo == 0) {
        AddTriangle(t.release());
      } else {
        meshTriangles.push_back(std::move(t));
      }
    }
  }
}

void CQorTriPolygon::Draw()
{
  glDisable(GL_LIGHTING);
  glColor3d(0.0, 1.0, 0.0);
  glLineWidth(3.0f);
  for (const auto& t : meshTriangles) {
    glBegin(GL_LINE_LOOP);
    for (const CTriPoint* p : t->points) {
      glVertex3d(p->x, p->y, p->z);
    }
    glEnd();
  }
  glColor3d(0.0, 0.0, 1.0);
  glLineWidth(2.0f);
  for (const auto& t : triangles) {
    glBegin(GL_LINE_LOOP);
    for (const CTriPoint* p : t->points) {
      glVertex3d(p->x, p->y, p->z);
    }
    glEnd();
  }
  glLineWidth(1.0f);
  glPointSize(4.0f);
  for (size_t j = 0; j < points.size(); ++j) {
    const CMeshPoint* p = Point(j);
    glColor3d(0.0, 1.0, 0.0);
    glBegin(GL_POINTS);
    glVertex3d(p->x, p->y, p->z + 0.03);
    glEnd();
    glColor3d(1.0, 1.0, 0.0);
    glBegin(GL_LINES);
    glVertex3d(p->x, p->y, p->z + 0.1);
    glVertex3d(p->x + p->normal.x, p->y + p->normal.y, p->z + p->normal.z + 0.03);
    glEnd();
  }
  glPointSize(1.0f);
}
