#include "geometry/triangulation/outline_check.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kSelfCrossingMessage = "Контур полигона пересекает сам себя. Исправьте положение вершин.";
const char* const kTooFewPointsMessage =
    "Полигон должен иметь не менее трех различных вершин, не лежащих на одной прямой.";

bool SamePoint(const OutlinePoint& a, const OutlinePoint& b)
{
  return std::hypot(a.x - b.x, a.y - b.y) < kRepeatedPointDistance;
}

// The exact sign of (b - a) x (c - a): touching and collinear contacts count, so no tolerance.
int Turn(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c)
{
  const double d = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  return d > 0.0 ? 1 : (d < 0.0 ? -1 : 0);
}

// c on the segment ab, given that the three are collinear.
bool WithinSegment(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c)
{
  return std::min(a.x, b.x) <= c.x && c.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= c.y &&
         c.y <= std::max(a.y, b.y);
}

// Do the segments ab and cd share any point?
bool SegmentsMeet(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c, const OutlinePoint& d)
{
  const int abc = Turn(a, b, c), abd = Turn(a, b, d), cda = Turn(c, d, a), cdb = Turn(c, d, b);
  if (abc * abd < 0 && cda * cdb < 0) {
    return true;
  }
  return (abc == 0 && WithinSegment(a, b, c)) || (abd == 0 && WithinSegment(a, b, d)) ||
         (cda == 0 && WithinSegment(c, d, a)) || (cdb == 0 && WithinSegment(c, d, b));
}

}  // namespace

const char* OutlineCheck::Message() const
{
  switch (fault) {
  case OutlineFault::kTooFewPoints:
    return kTooFewPointsMessage;
  case OutlineFault::kSelfCrossing:
    return kSelfCrossingMessage;
  default:
    return nullptr;
  }
}

OutlineCheck CheckPolygonOutline(const std::vector<OutlinePoint>& outline)
{
  OutlineCheck check;
  // Repeated points: each point against the last one kept, then the closing point against the first.
  for (size_t i = 0; i < outline.size(); ++i) {
    if (check.kept.empty() || !SamePoint(outline[check.kept.back()], outline[i])) {
      check.kept.push_back(i);
    }
  }
  while (check.kept.size() > 1 && SamePoint(outline[check.kept.back()], outline[check.kept.front()])) {
    check.kept.pop_back();
  }

  std::vector<OutlinePoint> ring;
  for (size_t i : check.kept) {
    ring.push_back(outline[i]);
  }
  const size_t n = ring.size();
  double twiceArea = 0.0;
  for (size_t i = 0; i < n; ++i) {
    twiceArea += ring[i].x * ring[(i + 1) % n].y - ring[(i + 1) % n].x * ring[i].y;
  }
  bool allOnOneLine = true;
  for (size_t i = 2; i < n && allOnOneLine; ++i) {
    allOnOneLine = Turn(ring[0], ring[1], ring[i]) == 0;
  }
  if (n < 3 || allOnOneLine || twiceArea == 0.0) {
    check.fault = n < 3 || allOnOneLine ? OutlineFault::kTooFewPoints : OutlineFault::kSelfCrossing;
    return check;
  }

  for (size_t i = 0; i < n; ++i) {
    const OutlinePoint& a = ring[i];
    const OutlinePoint& b = ring[(i + 1) % n];
    // The edge that follows shares b; it only meets this one elsewhere when the outline doubles back at b.
    const OutlinePoint& c = ring[(i + 2) % n];
    if (Turn(a, b, c) == 0 && (b.x - a.x) * (c.x - b.x) + (b.y - a.y) * (c.y - b.y) < 0.0) {
      check.fault = OutlineFault::kSelfCrossing;
      return check;
    }
    for (size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1) {
        continue;  // the closing edge is the neighbour of the first
      }
      if (SegmentsMeet(a, b, ring[j], ring[(j + 1) % n])) {
        check.fault = OutlineFault::kSelfCrossing;
        return check;
      }
    }
  }
  return check;
}

const char* PreparePolygonOutline(CArray<_CSPOINT3D>& outline)
{
  std::vector<OutlinePoint> plan;
  for (INT_PTR i = 0; i < outline.GetSize(); ++i) {
    plan.push_back({outline[i].x, outline[i].y});
  }
  const OutlineCheck check = CheckPolygonOutline(plan);
  if (check.fault != OutlineFault::kNone) {
    return check.Message();
  }
  if (check.kept.size() != plan.size()) {
    CArray<_CSPOINT3D> kept;
    for (size_t i : check.kept) {
      kept.Add(outline[static_cast<INT_PTR>(i)]);
    }
    outline.Copy(kept);
  }
  return nullptr;
}
