#include "outside/engines/deck_shadows.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Engines {
namespace {

constexpr std::uint32_t kLeafTriangles = 4;
// Below this depth the decks are no longer parted whole: median splits keep the rest within log2 of the count,
// and the tree within the traversal's stack.
constexpr int kDeckLevels = 64;
constexpr int kStackDepth = 128;
// A way that grazes a triangle's edge is held back: of two neighbouring triangles one of them catches it.
constexpr double kEdgeTolerance = 1e-9;

Vec3 Min(Vec3 a, Vec3 b) { return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)}; }
Vec3 Max(Vec3 a, Vec3 b) { return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Axis(Vec3 v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// The part [t0, t1] of origin + t way that lies in the box (slabs); false when none does. `inverse` holds
// 1 / way per axis (infinite along an axis the way does not move on).
bool Clip(const Vec3& lo, const Vec3& hi, Vec3 origin, Vec3 way, Vec3 inverse, double& t0, double& t1)
{
  for (int axis = 0; axis < 3; ++axis) {
    const double o = Axis(origin, axis), l = Axis(lo, axis), h = Axis(hi, axis);
    if (Axis(way, axis) == 0.0) {
      if (o < l || o > h)
        return false;
      continue;
    }
    const double inv = Axis(inverse, axis);
    double a = (l - o) * inv, b = (h - o) * inv;
    if (a > b)
      std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
    if (t0 > t1)
      return false;
  }
  return true;
}

}  // namespace

DeckShadows::DeckShadows(const std::vector<Sheet>& sheets, std::vector<DeckPlate> plates) : plates_(std::move(plates))
{
  for (const Sheet& sheet : sheets) {
    if (sheet.empty())
      continue;
    Box box{sheet[0][0], sheet[0][0]};
    for (const auto& t : sheet)
      for (const Vec3& v : t) {
        box.lo = Min(box.lo, v);
        box.hi = Max(box.hi, v);
      }
    deckMiddles_.push_back(0.5 * (box.lo + box.hi));
    for (const auto& t : sheet) {
      triangles_.push_back(t);
      deckOf_.push_back(static_cast<std::uint32_t>(deckMiddles_.size() - 1));
      centres_.push_back((1.0 / 3.0) * (t[0] + t[1] + t[2]));
    }
  }
  if (!triangles_.empty()) {
    nodes_.reserve(2 * triangles_.size() / kLeafTriangles + 2 * deckMiddles_.size() + 1);
    Build(0, static_cast<std::uint32_t>(triangles_.size()), 0);
  }
  deckOf_ = {};
  centres_ = {};
  deckMiddles_ = {};
}

std::uint32_t DeckShadows::Build(std::uint32_t first, std::uint32_t count, int depth)
{
  const std::uint32_t index = static_cast<std::uint32_t>(nodes_.size());
  nodes_.push_back({});
  const std::uint32_t end = first + count;
  const bool oneDeck = depth >= kDeckLevels || std::all_of(deckOf_.begin() + first, deckOf_.begin() + end,
                                                            [&](std::uint32_t d) { return d == deckOf_[first]; });
  // What a triangle is sorted by: its own centre within one deck, its deck's middle above that.
  auto key = [&](std::uint32_t i) { return oneDeck ? centres_[i] : deckMiddles_[deckOf_[i]]; };
  Box box{triangles_[first][0], triangles_[first][0]}, spread{key(first), key(first)};
  for (std::uint32_t i = first; i < end; ++i) {
    for (const Vec3& v : triangles_[i]) {
      box.lo = Min(box.lo, v);
      box.hi = Max(box.hi, v);
    }
    spread.lo = Min(spread.lo, key(i));
    spread.hi = Max(spread.hi, key(i));
  }
  nodes_[index].box = box;
  if (oneDeck && count <= kLeafTriangles) {
    nodes_[index].first = first;
    nodes_[index].count = count;
    return index;
  }
  const Vec3 size = spread.hi - spread.lo;
  const int axis = size.x >= size.y && size.x >= size.z ? 0 : size.y >= size.z ? 1 : 2;
  std::vector<std::uint32_t> order(count);
  std::iota(order.begin(), order.end(), first);
  std::uint32_t half = count / 2;
  if (oneDeck) {
    std::nth_element(order.begin(), order.begin() + half, order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return Axis(centres_[a], axis) < Axis(centres_[b], axis);
    });
  } else {
    // Whole decks to either side: the deck boundary nearest the middle of the sorted range.
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      const double ka = Axis(key(a), axis), kb = Axis(key(b), axis);
      return ka != kb ? ka < kb : deckOf_[a] < deckOf_[b];
    });
    std::uint32_t best = 0;
    for (std::uint32_t k = 1; k < count; ++k)
      if (deckOf_[order[k]] != deckOf_[order[k - 1]] &&
          (best == 0 || std::abs(static_cast<long>(k) - static_cast<long>(half)) <
                            std::abs(static_cast<long>(best) - static_cast<long>(half))))
        best = k;
    half = best;
  }
  std::vector<std::array<Vec3, 3>> triangles(count);
  std::vector<Vec3> centres(count);
  std::vector<std::uint32_t> decks(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    triangles[k] = triangles_[order[k]];
    centres[k] = centres_[order[k]];
    decks[k] = deckOf_[order[k]];
  }
  std::copy(triangles.begin(), triangles.end(), triangles_.begin() + first);
  std::copy(centres.begin(), centres.end(), centres_.begin() + first);
  std::copy(decks.begin(), decks.end(), deckOf_.begin() + first);
  Build(first, half, depth + 1);
  const std::uint32_t right = Build(first + half, count - half, depth + 1);
  nodes_[index].first = right;
  return index;
}

// Moeller and Trumbore's test, either face.
bool DeckShadows::HitsTriangle(const std::array<Vec3, 3>& t, Vec3 origin, Vec3 way, double t0, double t1) const
{
  const Vec3 e1 = t[1] - t[0], e2 = t[2] - t[0];
  const Vec3 p = Cross(way, e2);
  const double det = Dot(e1, p);
  if (std::fabs(det) < 1e-15)
    return false;
  const double inv = 1.0 / det;
  const Vec3 s = origin - t[0];
  const double u = Dot(s, p) * inv;
  if (u < -kEdgeTolerance || u > 1.0 + kEdgeTolerance)
    return false;
  const Vec3 q = Cross(s, e1);
  const double v = Dot(way, q) * inv;
  if (v < -kEdgeTolerance || u + v > 1.0 + kEdgeTolerance)
    return false;
  const double at = Dot(e2, q) * inv;
  return at >= t0 && at <= t1;
}

bool DeckShadows::Blocks(Vec3 point, Vec3 light) const
{
  const Vec3 way = light - point;
  const double rise = std::fabs(way.z);
  if (rise <= kDeckClearance)
    return false;
  // Only the part of the way at least the clearance away from the point's height, and short of the light itself.
  const double from = kDeckClearance / rise, to = 1.0 - 1e-9;
  for (const DeckPlate& plate : plates_) {
    const double t = (plate.z - point.z) / way.z;
    if (t >= from && t <= to && plate.plan.Contains({point.x + t * way.x, point.y + t * way.y}))
      return true;
  }
  if (nodes_.empty())
    return false;
  const Vec3 inverse{way.x != 0.0 ? 1.0 / way.x : 0.0, way.y != 0.0 ? 1.0 / way.y : 0.0, 1.0 / way.z};
  std::uint32_t stack[kStackDepth];
  int depth = 0;
  stack[depth++] = 0;
  while (depth > 0) {
    const Node& node = nodes_[stack[--depth]];
    double t0 = from, t1 = to;
    if (!Clip(node.box.lo, node.box.hi, point, way, inverse, t0, t1))
      continue;
    if (node.count > 0) {
      for (std::uint32_t i = node.first; i < node.first + node.count; ++i)
        if (HitsTriangle(triangles_[i], point, way, from, to))
          return true;
      continue;
    }
    const std::uint32_t self = static_cast<std::uint32_t>(&node - nodes_.data());
    stack[depth++] = node.first;
    stack[depth++] = self + 1;
  }
  return false;
}

double DeckShadows::Cost() const
{
  double cost = static_cast<double>(plates_.size());
  if (!triangles_.empty())
    cost += 4.0 * std::log2(static_cast<double>(triangles_.size()) + 1.0);
  return cost;
}

}  // namespace Engines
