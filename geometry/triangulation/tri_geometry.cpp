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
  return upper->constraints.Add(lower, upper);
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
