#include "geometry/triangulation/tri_geometry.h"

#include <cmath>

CTriEdge* NewConstraint(CTriPoint* a, CTriPoint* b)
{
  CTriPoint* lower = a;
  CTriPoint* upper = b;
  if (b->y < a->y || (b->y == a->y && b->x < a->x)) {
    lower = b;
    upper = a;
  }
  upper->constraints.push_back(std::make_unique<CTriEdge>(lower, upper));
  return upper->constraints.back().get();
}

int CTriTriangle::Index(const CTriPoint* p) const
{
  for (int i = 0; i < 3; ++i) {
    if (points[i] == p) {
      return i;
    }
  }
  return -1;
}

int CTriTriangle::EdgeIndex(const CTriPoint* a, const CTriPoint* b) const
{
  const int ia = Index(a);
  const int ib = Index(b);
  if (ia < 0 || ib < 0 || ia == ib) {
    return -1;
  }
  return 3 - ia - ib;
}

CTriPoint* CTriTriangle::PointCCW(const CTriPoint* p) const
{
  const int i = Index(p);
  return points[((i < 0 ? 2 : i) + 1) % 3];
}

CTriPoint* CTriTriangle::PointCW(const CTriPoint* p) const
{
  const int i = Index(p);
  return points[((i < 0 ? 2 : i) + 2) % 3];
}

CTriTriangle* CTriTriangle::NeighbourCW(const CTriPoint* p) const
{
  const int i = Index(p);
  return neighbours[i < 0 ? 0 : (i + 1) % 3];
}

CTriTriangle* CTriTriangle::NeighbourCCW(const CTriPoint* p) const
{
  const int i = Index(p);
  return neighbours[i < 0 ? 1 : (i + 2) % 3];
}

CTriTriangle* CTriTriangle::NeighbourAcross(const CTriPoint* p) const
{
  const int i = Index(p);
  return i < 0 ? nullptr : neighbours[i];
}

void CTriTriangle::MarkNeighbour(CTriTriangle* o)
{
  if (o == nullptr) {
    return;
  }
  int slot = -1;
  if (o->Contains(points[1]) && o->Contains(points[2])) {
    slot = 0;
  } else if (o->Contains(points[0]) && o->Contains(points[2])) {
    slot = 1;
  } else if (o->Contains(points[0]) && o->Contains(points[1])) {
    slot = 2;
  }
  if (slot < 0) {
    return;
  }
  neighbours[slot] = this == o ? nullptr : o;
  const int oslot = o->EdgeIndex(points[(slot + 1) % 3], points[(slot + 2) % 3]);
  if (oslot >= 0 && o != this) {
    o->neighbours[oslot] = this;
  }
}

void CTriTriangle::ClearNeighbours()
{
  neighbours[0] = neighbours[1] = neighbours[2] = nullptr;
}

void CTriTriangle::MarkConstrainedEdge(const CTriPoint* a, const CTriPoint* b)
{
  const int i = EdgeIndex(a, b);
  if (i >= 0) {
    constrained[i] = true;
  }
}

CTriPoint* CTriTriangle::OppositePoint(const CTriTriangle& o, const CTriPoint* p) const
{
  return o.PointCW(PointCW(p));
}

_VECTOR3D& CTriTriangle::ComputeNormal()
{
  const CTriPoint& a = *points[0];
  const CTriPoint& b = *points[1];
  const CTriPoint& c = *points[2];
  const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
  const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  const double nx = uy * vz - uz * vy;
  const double ny = uz * vx - ux * vz;
  const double nz = ux * vy - uy * vx;
  const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
  normal.x = normal.y = normal.z = 0.0;
  if (length > 0.0) {
    normal.x = nx / length;
    normal.y = ny / length;
    normal.z = nz / length;
  }
  return normal;
}

TriOrientation Orientation(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c)
{
  const double d = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  if (d > -kTriCollinearEpsilon && d < kTriCollinearEpsilon) {
    return kTriCollinear;
  }
  return d > 0.0 ? kTriCounterClockwise : kTriClockwise;
}

bool InCircle(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c, const CTriPoint& d)
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

bool InFlipRegion(const CTriPoint& a, const CTriPoint& b, const CTriPoint& c, const CTriPoint& d)
{
  const double adx = a.x - d.x, ady = a.y - d.y;
  const double bdx = b.x - d.x, bdy = b.y - d.y;
  const double cdx = c.x - d.x, cdy = c.y - d.y;
  return adx * bdy - bdx * ady > 0.0 && cdx * ady - adx * cdy > 0.0;
}
