#include "model/contour_offset.h"

#include <cmath>

namespace ObjectModel {

namespace {

// Two unit directions closer than this are one direction; the mitre of such a vertex is d itself.
constexpr double kSameDirection = 1e-12;

struct Dir {
  double x = 0;
  double y = 0;
  bool valid = false;
};

Dir UnitDirection(const _CSPOINT3D& from, const _CSPOINT3D& to)
{
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double len = std::hypot(dx, dy);
  if (len == 0)
    return {};
  return {dx / len, dy / len, true};
}

}  // namespace

int OffsetOutlineVertex(const _CSPOINT3D& prev, const _CSPOINT3D& cur, const _CSPOINT3D& next, double d, int side,
                        _CSPOINT3D* out)
{
  if (d == 0) {
    *out = cur;
    return 0;
  }
  *out = _CSPOINT3D{};
  const double sideFactor = side != 0 ? 1.0 : -1.0;
  Dir e1 = UnitDirection(prev, cur);
  Dir e2 = UnitDirection(cur, next);
  // A repeated neighbour: the vertex lies on the other edge alone.
  if (!e1.valid)
    e1 = e2;
  if (!e2.valid)
    e2 = e1;
  if (!e1.valid) {
    out->x = cur.x;
    out->y = cur.y;
    return 0;
  }
  const double bx = e1.x - e2.x;
  const double by = e1.y - e2.y;
  const double blen = std::hypot(bx, by);
  if (blen < kSameDirection) {
    // Straight on: the right-hand normal of the edge for side 0 (outside a counter-clockwise outline).
    out->x = cur.x + sideFactor * d * -e1.y;
    out->y = cur.y + sideFactor * d * e1.x;
    return 0;
  }
  const double cosine = e1.x * e2.x + e1.y * e2.y;
  if (1 + cosine < kSameDirection) {
    out->x = cur.x - sideFactor * d * e1.x;
    out->y = cur.y - sideFactor * d * e1.y;
    return 0;
  }
  const double k = e2.x * e1.y - e2.y * e1.x;
  const double sigma = k == 0 ? 1.0 : (k > 0 ? 1.0 : -1.0);
  const double mitre = d * std::sqrt(2 / (1 + cosine));
  out->x = cur.x + bx / blen * mitre * sideFactor * sigma;
  out->y = cur.y + by / blen * mitre * sideFactor * sigma;
  return 0;
}

}  // namespace ObjectModel
