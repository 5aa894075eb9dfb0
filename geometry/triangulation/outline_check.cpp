#include "geometry/triangulation/outline_check.h"

#include "geometry/triangulation/outline_crossings.h"

#include <cmath>
#include <cstdint>

namespace {

const char* const kSelfCrossingMessage = "Контур полигона пересекает сам себя. Исправьте положение вершин.";
const char* const kTooFewPointsMessage =
    "Полигон должен иметь не менее трех различных вершин, не лежащих на одной прямой.";

bool SamePoint(const OutlinePoint& a, const OutlinePoint& b)
{
  return std::hypot(a.x - b.x, a.y - b.y) < kRepeatedPointDistance;
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
    allOnOneLine = ExactTurn(ring[0].x, ring[0].y, ring[1].x, ring[1].y, ring[i].x, ring[i].y) == 0;
  }
  if (n < 3 || allOnOneLine || twiceArea == 0.0) {
    check.fault = n < 3 || allOnOneLine ? OutlineFault::kTooFewPoints : OutlineFault::kSelfCrossing;
    return check;
  }

  std::vector<PlanPoint> plan;
  std::vector<PlanEdge> edges;
  plan.reserve(n);
  edges.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    plan.push_back({ring[i].x, ring[i].y});
    edges.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>((i + 1) % n)});
  }
  if (EdgesCrossOrTouch(plan, edges)) {
    check.fault = OutlineFault::kSelfCrossing;
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
