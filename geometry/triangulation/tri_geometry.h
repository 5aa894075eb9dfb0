// The records the sweep-line triangulation works on: points with their constraint edges, triangles with their
// neighbours and edge marks, and the three predicates every decision of the sweep rests on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct _VECTOR3D {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  // Normals of neighbouring mesh triangles closer than this per component count as the same normal.
  double tolerance = 0.0001;
};

class CTriPoint;

class CTriEdge {
public:
  CTriEdge() = default;
  CTriEdge(CTriPoint* lower, CTriPoint* upper) : p(lower), q(upper) {}
  CTriPoint* p = nullptr;
  CTriPoint* q = nullptr;
};

// The constraints a point holds as their upper end: an outline's point holds one or two, kept in the point
// itself (two allocations per point were a tenth of a first triangulation); any further ones go to the heap.
// Each keeps its address while the point lives.
class CTriConstraints {
public:
  std::size_t size() const { return m_count; }
  CTriEdge* operator[](std::size_t i) { return i < kInline ? &m_inline[i] : m_more[i - kInline].get(); }
  const CTriEdge* operator[](std::size_t i) const
  {
    return i < kInline ? &m_inline[i] : m_more[i - kInline].get();
  }
  CTriEdge* Add(CTriPoint* lower, CTriPoint* upper)
  {
    CTriEdge* edge = nullptr;
    if (m_count < kInline) {
      edge = &m_inline[m_count];
      *edge = CTriEdge(lower, upper);
    } else {
      m_more.push_back(std::make_unique<CTriEdge>(lower, upper));
      edge = m_more.back().get();
    }
    ++m_count;
    return edge;
  }
  void clear()
  {
    m_more.clear();
    m_count = 0;
  }

private:
  static constexpr std::size_t kInline = 2;
  CTriEdge m_inline[kInline];
  std::vector<std::unique_ptr<CTriEdge>> m_more;
  std::size_t m_count = 0;
};

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
  CTriConstraints constraints;
  // Its index in the sweep's sorted list, once sorted.
  std::uint32_t place = 0;
};

// A constraint: p is the lower end (smaller y, or equal y and smaller x), q the upper.

// Makes the constraint between a and b and hands it to its upper end; identical points keep p = a.
CTriEdge* NewConstraint(CTriPoint* a, CTriPoint* b);

class CTriTriangle {
public:
  CTriTriangle(CTriPoint* a, CTriPoint* b, CTriPoint* c) : points{a, b, c} {}

  // i is the index of p; edge i lies opposite points[i].
  // Written as selects rather than a chain of tests: which corner matches is unpredictable, a mispredicted
  // branch costs more than the three comparisons.
  int Index(const CTriPoint* p) const
  {
    int i = points[2] == p ? 2 : -1;
    i = points[1] == p ? 1 : i;
    return points[0] == p ? 0 : i;
  }
  bool Contains(const CTriPoint* p) const { return Index(p) >= 0; }
  // The index of the point that is neither a nor b, -1 when a or b is not a point of this triangle.
  int EdgeIndex(const CTriPoint* a, const CTriPoint* b) const
  {
    const int ia = Index(a);
    const int ib = Index(b);
    if (ia < 0 || ib < 0 || ia == ib) {
      return -1;
    }
    return 3 - ia - ib;
  }

  // A point not in the triangle is answered as if it were points[2].
  CTriPoint* PointCCW(const CTriPoint* p) const { return points[After(p, 1, 2, 0)]; }
  CTriPoint* PointCW(const CTriPoint* p) const { return points[After(p, 2, 0, 1)]; }
  CTriTriangle* NeighbourCW(const CTriPoint* p) const { return neighbours[After(p, 1, 2, 0)]; }
  CTriTriangle* NeighbourCCW(const CTriPoint* p) const { return neighbours[After(p, 2, 0, 1)]; }
  CTriTriangle* NeighbourAcross(const CTriPoint* p) const
  {
    const int i = Index(p);
    return i < 0 ? nullptr : neighbours[i];
  }

  // Links this triangle and o across the edge they share; nothing when they share none.
  void MarkNeighbour(CTriTriangle* o)
  {
    if (o == nullptr) {
      return;
    }
    const bool has0 = o->Contains(points[0]);
    const bool has1 = o->Contains(points[1]);
    const bool has2 = o->Contains(points[2]);
    const int slot = has1 && has2 ? 0 : has0 && has2 ? 1 : has0 && has1 ? 2 : -1;
    if (slot < 0 || o == this) {
      if (slot >= 0) {
        neighbours[slot] = nullptr;
      }
      return;
    }
    neighbours[slot] = o;
    const int oslot = o->EdgeIndex(points[(slot + 1) % 3], points[(slot + 2) % 3]);
    if (oslot >= 0) {
      o->neighbours[oslot] = this;
    }
  }
  void ClearNeighbours();
  void MarkConstrainedEdge(const CTriPoint* a, const CTriPoint* b);

  // The point of neighbour o that is not on the edge o shares with this triangle (p is this triangle's point
  // across that edge).
  CTriPoint* OppositePoint(const CTriTriangle& o, const CTriPoint* p) const { return o.PointCW(PointCW(p)); }

  CTriPoint* points[3];
  CTriTriangle* neighbours[3] = {nullptr, nullptr, nullptr};
  bool constrained[3] = {false, false, false};
  bool delaunay[3] = {false, false, false};
  bool interior = false;
  int sequence = -1;
  _VECTOR3D normal;

  // Unit normal of (b - a) x (c - a); a zero-area triangle keeps a zero normal.
  _VECTOR3D& ComputeNormal();

private:
  // at0 when p is points[0], else at1 when it is points[1], else otherwise.
  int After(const CTriPoint* p, int at0, int at1, int otherwise) const
  {
    const int i = points[1] == p ? at1 : otherwise;
    return points[0] == p ? at0 : i;
  }
};

enum TriOrientation { kTriClockwise = 0, kTriCounterClockwise = 1, kTriCollinear = 2 };

// Twice the signed area of (a, b, c) closer to zero than this counts as collinear. It only keeps exactly
// collinear input (axis-parallel outlines, equal coordinates) from being read as a turn.
inline constexpr double kTriCollinearEpsilon = 1e-16;

inline TriOrientation Orientation(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c)
{
  const double d = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  if (d > -kTriCollinearEpsilon && d < kTriCollinearEpsilon) {
    return kTriCollinear;
  }
  return d > 0.0 ? kTriCounterClockwise : kTriClockwise;
}
// Is d inside the circle through the counter-clockwise triangle a, b, c? Also false when d does not lie in the
// wedge at a that the flip of edge (b, c) needs.
inline bool InCircle(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c, const CTriPoint& d)
{
  const double adx = a.x - d.x, ady = a.y - d.y;
  const double bdx = b.x - d.x, bdy = b.y - d.y;
  const double cdx = c.x - d.x, cdy = c.y - d.y;
  const double oabd = adx * bdy - bdx * ady;
  if (oabd <= 0.0) {
    return false;
  }
  const double ocad = cdx * ady - adx * cdy;
  if (ocad <= 0.0) {
    return false;
  }
  const double alift = adx * adx + ady * ady;
  const double blift = bdx * bdx + bdy * bdy;
  const double clift = cdx * cdx + cdy * cdy;
  return alift * (bdx * cdy - cdx * bdy) + blift * ocad + clift * oabd > 0.0;
}
// The wedge test of InCircle alone: d sees a across the edge (b, c), so the quadrilateral is convex at a.
inline bool InFlipRegion(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c, const CTriPoint& d)
{
  const double adx = a.x - d.x, ady = a.y - d.y;
  const double bdx = b.x - d.x, bdy = b.y - d.y;
  const double cdx = c.x - d.x, cdy = c.y - d.y;
  return adx * bdy - bdx * ady > 0.0 && cdx * ady - adx * cdy > 0.0;
}
