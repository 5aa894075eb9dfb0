// Lines of equal value over the refined triangle mesh of a primitive's calculation surface: for every level the
// mesh edges it crosses, the lines followed from triangle to triangle (open ones from the outline first, then
// closed loops inside), smoothed in their own plane, cut into segments with visibility flags, drawn and stored.
#pragma once

#include "geometry/display_host.h"
#include "geometry/triangulation/qor_tri_polygon.h"
#include "geometry/vector_string3d.h"

#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class CArchive;

namespace MeshIso {
inline constexpr std::int32_t kPointFixed = 0x1;     // on the outline or on a crease
inline constexpr std::int32_t kPointNearZero = 0x4;  // an end of its edge has the value 0
inline constexpr std::int32_t kSegmentVisible = 0x1;
inline constexpr std::int32_t kSegmentSpecial = 0x2;
inline constexpr std::int32_t kEdgeVisited = 0x1;
inline constexpr std::int32_t kEdgeOutline = 0x2;  // one triangle so far
inline constexpr std::int32_t kEdgeInner = 0x8;    // two triangles
}  // namespace MeshIso

struct CMeshIsoPoint {
  double x = 0;
  double y = 0;
  double z = 0;
  _VECTOR3D normal;
  std::int32_t flags = 0;
};

struct CMeshIsoSegment {
  CMeshIsoPoint a;
  CMeshIsoPoint b;
  std::int32_t index = 0;
  double length = 0;
  std::int32_t flags = 0;
};

class CMeshIsoLevel;
class CMeshIsolineSet;

class CMeshIsoCurve {
public:
  // Segments from the traced points; the points are released.
  void BuildSegments();
  // The sum of the distances between consecutive points and from the last back to the first.
  double LoopLength() const;

  std::vector<CMeshIsoPoint> points;  // only between tracing and segment building
  std::vector<CMeshIsoSegment> segments;
  std::vector<std::unique_ptr<CVectorString3D>> labels;
  std::int32_t closed = 0;
  CMeshIsoLevel* level = nullptr;
};

class CMeshLevelEdges;

class CMeshIsoLevel {
public:
  void BuildCurves(CMeshLevelEdges& edges, double step);
  // Evens out the points between two fixed ones in the plane of the line.
  static void Smooth(CMeshIsoCurve& curve);

  std::vector<std::unique_ptr<CMeshIsoCurve>> curves;
  CMeshIsolineSet* set = nullptr;
  double value = 0;
};

class CMeshIsolineSet {
public:
  void Clear() { levels.clear(); }
  void ReleaseLabels();
  void SetLabelColour(float r, float g, float b);
  // Visible segments in the isoline colour, 0.02 above the mesh, and the labels.
  void Draw(const float colour[3]) const;
  // Only for format 4.3.5.0 and later.
  void Serialize(CArchive& ar, DWORD formatVersion);

  std::vector<std::unique_ptr<CMeshIsoLevel>> levels;
};

// One mesh edge that a level crosses.
struct CMeshCrossEdge {
  CMeshPoint* a = nullptr;
  CMeshPoint* b = nullptr;
  CTriTriangle* first = nullptr;
  CTriTriangle* second = nullptr;
  std::int32_t flags = 0;
};

// The crossing point of the level on an edge; false when both ends have the same value.
bool IsoPointOnEdge(const CMeshCrossEdge& e, double level, CMeshIsoPoint& out);

// The edges one level crosses, and the state of following its lines.
class CMeshLevelEdges {
public:
  explicit CMeshLevelEdges(double levelValue) : level(levelValue) {}

  void AddEdge(CMeshPoint* a, CMeshPoint* b, CTriTriangle* t);
  // Finds the first unvisited edge of the kind that yields a point and starts a curve there.
  bool StartIsoCurve(std::int32_t kind, CMeshIsoCurve& curve);
  void TraceIsoCurve();

  std::vector<CMeshCrossEdge> edges;
  CMeshIsoCurve* curve = nullptr;
  CTriTriangle* currentTriangle = nullptr;
  CTriTriangle* startTriangle = nullptr;
  size_t startEdge = 0;
  double level;

private:
  struct PairHash {
    size_t operator()(const std::pair<const void*, const void*>& key) const;
  };
  std::unordered_map<std::pair<const void*, const void*>, size_t, PairHash> m_byPoints;
  // The edges of each triangle, by position in the list.
  std::unordered_map<const CTriTriangle*, std::vector<size_t>> m_byTriangle;
};

class CMeshEdgeTable {
public:
  // The crossing edges of every level after the first, from the polygon's received triangles.
  void Build(CQorTriPolygon& polygon, const CLevelArray& levels);
  void Clear() { levels.clear(); }

  std::map<double, CMeshLevelEdges> levels;
};

// Replaces the set's levels by the lines of levels 1 ... n-1 over the polygon (level 0 is never traced); with
// fewer than two levels the set stays empty. The labels are the caller's (CMeshLabelBuilder).
void BuildAllIsolines(const CLevelArray& levels, CMeshIsolineSet& set, CMeshEdgeTable& table,
                      CQorTriPolygon& polygon);
