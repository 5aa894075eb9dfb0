// The mesh of a primitive's calculation surface: its points are the engine's calculation points (each with a
// value, a normal and a colour). The polygon is triangulated by the sweep, keeps copies of the triangles with
// normals, and refines itself so that no two neighbouring points lie more than a step apart.
#pragma once

#include "geometry/triangulation/sweep_triangulation.h"
#include "platform/base/wintypes.h"

#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class CArchive;

inline constexpr std::int32_t kMeshPointNormalSet = 0x1;

class CMeshPoint : public CTriPoint {
public:
  CMeshPoint(double px, double py, double pz) : CTriPoint(px, py, pz) {}

  double value = 0.0;
  _VECTOR3D normal;
  double r = 0.0;
  double g = 0.0;
  double b = 0.0;
  std::int32_t flags = 0;
  // Position in the polygon's point list, set before the polygon is written and when vertex arrays are built.
  std::int32_t index = -1;
};

struct CMeshEdge {
  CMeshEdge(CMeshPoint* from, CMeshPoint* to);
  CMeshPoint* a;
  CMeshPoint* b;
  double length;
  _VECTOR3D normal;
};

using MeshPointList = std::vector<std::unique_ptr<CMeshPoint>>;

// 3D distance of two points.
double PointDistance(const CTriPoint& a, const CTriPoint& b);

CMeshPoint* AddMeshPoint(double x, double y, double z, MeshPointList& list);
// The closed outline P0 ... Pn-1 as constraints, each handed to its upper end.
void LinkOutlineEdges(const std::vector<CMeshPoint*>& outline);
void LinkOutlineEdges(const MeshPointList& outline);

class CQorTriPolygon;
// The polygon takes ownership of the points; the list is left empty.
void AppendPoints(CQorTriPolygon& polygon, MeshPointList& list);

// How many parts a segment of 3D length `length` falls into at `step`: one more than the whole steps, unless
// the length is a whole number of steps. A step of zero or less (or not a number) leaves the segment whole.
int DivisionCount(double length, double step);

// Division points of the segment a→b at `step`, appended to the polygon's points with the segment's normal;
// the end points are not added.
void SubdivideSegment(double step, const CMeshPoint& a, const CMeshPoint& b, const _VECTOR3D& normal,
                      CQorTriPolygon& polygon);

// The interior edges of one triangulation, each once, with the mean normal of the triangles that share it.
// Lives for one refinement.
class CMeshEdgeSet {
public:
  CMeshEdgeSet(CQorTriPolygon& polygon, double step) : m_polygon(polygon), m_step(step) {}
  // The triangle's edges that are not constraints.
  void AddTriangle(CTriTriangle& t);
  // Division points of every edge, appended to the polygon's points.
  void Subdivide();

private:
  struct PairHash {
    size_t operator()(const std::pair<const void*, const void*>& key) const;
  };
  CQorTriPolygon& m_polygon;
  double m_step;
  std::vector<CMeshEdge> m_edges;
  std::unordered_map<std::pair<const void*, const void*>, size_t, PairHash> m_index;
};

class CQorTriPolygon : public CTriPolygon {
public:
  CQorTriPolygon() = default;
  ~CQorTriPolygon() override;

  // The constraints are already in the points (LinkOutlineEdges, Refine): none are made here.
  void PrepareTriangulation(CTriContext& context) override;
  void Clear() override;
  void Draw() override;

  void CollectTriangles();
  void ComputePointNormals();
  // Preconditions: the point list holds only the outline, and both triangle lists come from a triangulation of
  // exactly these points. The caller triangulates again afterwards.
  void Refine(double maxStep);
  void RefineTriangle(CTriTriangle& t, bool forced);
  void FillBetweenEdges(CMeshPoint* d, CMeshPoint* v, CMeshPoint* e, const _VECTOR3D& normal);

  // Only for format 4.3.5.0 and later.
  void Serialize(CArchive& ar, DWORD formatVersion);

  CMeshPoint* Point(size_t i) const { return static_cast<CMeshPoint*>(points[i].get()); }

  std::list<CMeshPoint*> boundary;
  std::vector<std::unique_ptr<CTriTriangle>> meshTriangles;
  double step = 0.0;
};
