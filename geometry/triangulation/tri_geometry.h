// The records the sweep-line triangulation works on: points with their constraint edges, triangles with their
// neighbours and edge marks, and the three predicates every decision of the sweep rests on.
#pragma once

#include <memory>
#include <vector>

struct _VECTOR3D {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  // Normals of neighbouring mesh triangles closer than this per component count as the same normal.
  double tolerance = 0.0001;
};

class CTriEdge;

class CTriPoint {
public:
  CTriPoint(double px, double py, double pz = 0.0) : x(px), y(py), z(pz) {}
  virtual ~CTriPoint() = default;
  CTriPoint(const CTriPoint&) = delete;
  CTriPoint& operator=(const CTriPoint&) = delete;

  void ReleaseConstraints() { constraints.clear(); }

  double x;
  double y;
  double z;
  // The constraints whose upper end this point is; the sweep inserts them when it reaches the point.
  std::vector<std::unique_ptr<CTriEdge>> constraints;
};

// A constraint: p is the lower end (smaller y, or equal y and smaller x), q the upper.
class CTriEdge {
public:
  CTriEdge(CTriPoint* lower, CTriPoint* upper) : p(lower), q(upper) {}
  CTriPoint* p;
  CTriPoint* q;
};

// Makes the constraint between a and b and hands it to its upper end; identical points keep p = a.
CTriEdge* NewConstraint(CTriPoint* a, CTriPoint* b);

class CTriTriangle {
public:
  CTriTriangle(CTriPoint* a, CTriPoint* b, CTriPoint* c) : points{a, b, c} {}

  // i is the index of p; edge i lies opposite points[i].
  int Index(const CTriPoint* p) const;
  bool Contains(const CTriPoint* p) const { return Index(p) >= 0; }
  // The index of the point that is neither a nor b, -1 when a or b is not a point of this triangle.
  int EdgeIndex(const CTriPoint* a, const CTriPoint* b) const;

  // A point not in the triangle is answered as if it were points[2].
  CTriPoint* PointCCW(const CTriPoint* p) const;
  CTriPoint* PointCW(const CTriPoint* p) const;
  CTriTriangle* NeighbourCW(const CTriPoint* p) const;
  CTriTriangle* NeighbourCCW(const CTriPoint* p) const;
  CTriTriangle* NeighbourAcross(const CTriPoint* p) const;

  // Links this triangle and o across the edge they share; nothing when they share none.
  void MarkNeighbour(CTriTriangle* o);
  void ClearNeighbours();
  void MarkConstrainedEdge(const CTriPoint* a, const CTriPoint* b);

  // The point of neighbour o that is not on the edge o shares with this triangle (p is this triangle's point
  // across that edge).
  CTriPoint* OppositePoint(const CTriTriangle& o, const CTriPoint* p) const;

  CTriPoint* points[3];
  CTriTriangle* neighbours[3] = {nullptr, nullptr, nullptr};
  bool constrained[3] = {false, false, false};
  bool delaunay[3] = {false, false, false};
  bool interior = false;
  int sequence = -1;
  _VECTOR3D normal;

  // Unit normal of (b - a) x (c - a); a zero-area triangle keeps a zero normal.
  _VECTOR3D& ComputeNormal();
};

enum TriOrientation { kTriClockwise = 0, kTriCounterClockwise = 1, kTriCollinear = 2 };

// Twice the signed area of (a, b, c) closer to zero than this counts as collinear. It only keeps exactly
// collinear input (axis-parallel outlines, equal coordinates) from being read as a turn.
inline constexpr double kTriCollinearEpsilon = 1e-16;

TriOrientation Orientation(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c);
// Is d inside the circle through the counter-clockwise triangle a, b, c? Also false when d does not lie in the
// wedge at a that the flip of edge (b, c) needs.
bool InCircle(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c, const CTriPoint& d);
// The wedge test of InCircle alone: d sees a across the edge (b, c), so the quadrilateral is convex at a.
bool InFlipRegion(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c, const CTriPoint& d);
