// Minimum-weight triangulation of a polygon by dynamic programming over its chords, after G. T. Klincsek,
// "Minimal triangulations of polygonal domains" (1980), with the triangle's 3D area as the weight. Steps: the
// cost of every sub-polygon by growing size, then the triangles read back from the recorded splits.
#include "geometry/triangulation/area_triangulator.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

// Outlines up to this many table entries (42 vertices) run without allocating.
constexpr size_t kFixedEntries = 820;

// Twice the triangle's area; the factor is the same for every candidate and does not change the choice.
double TwiceArea(const _CSPOINT3D& a, const _CSPOINT3D& b, const _CSPOINT3D& c)
{
  const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
  const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  const double nx = uy * vz - uz * vy;
  const double ny = uz * vx - ux * vz;
  const double nz = ux * vy - uy * vx;
  return std::sqrt(nx * nx + ny * ny + nz * nz);
}

// Entry of the sub-polygon lo, lo+1, ..., hi closed by the chord (hi, lo); 0 <= lo, lo + 2 <= hi.
size_t Entry(size_t lo, size_t hi) { return (hi - 1) * (hi - 2) / 2 + lo; }

}  // namespace

void CAreaTriangulator::Triangulate()
{
  const size_t n = m_outline.GetSize() > 0 ? static_cast<size_t>(m_outline.GetSize()) : 0;
  if (n <= 2) {
    return;
  }
  const _CSPOINT3D* p = m_outline.GetData();
  auto emit = [&](size_t i, size_t j, size_t k) {
    m_triangles.push_back(std::make_unique<_TRIANGLE3D>(p[i].x, p[i].y, p[i].z, p[j].x, p[j].y, p[j].z, p[k].x,
                                                        p[k].y, p[k].z));
  };
  if (n == 3) {
    emit(0, 1, 2);
    return;
  }

  const size_t entries = (n - 1) * (n - 2) / 2;
  std::array<double, kFixedEntries> fixedCost;
  std::array<int, kFixedEntries> fixedSplit;
  std::vector<double> heapCost;
  std::vector<int> heapSplit;
  double* cost = fixedCost.data();
  int* split = fixedSplit.data();
  if (entries > kFixedEntries) {
    heapCost.resize(entries);
    heapSplit.resize(entries);
    cost = heapCost.data();
    split = heapSplit.data();
  }

  // Tables by growing gap, so that every sub-polygon a candidate needs is already solved.
  for (size_t gap = 2; gap <= n - 1; ++gap) {
    for (size_t lo = n - 1 - gap + 1; lo-- > 0;) {
      const size_t hi = lo + gap;
      const size_t entry = Entry(lo, hi);
      if (gap == 2) {
        cost[entry] = TwiceArea(p[lo], p[lo + 1], p[hi]);
        split[entry] = static_cast<int>(lo + 1);
        continue;
      }
      double best = TwiceArea(p[lo], p[lo + 1], p[hi]) + cost[Entry(lo + 1, hi)];
      size_t bestK = lo + 1;
      for (size_t k = lo + 2; k <= hi - 2; ++k) {
        const double sides = cost[Entry(lo, k)] + cost[Entry(k, hi)];
        // The two sides alone already cost as much: no need for the square root of the middle triangle.
        if (sides >= best) {
          continue;
        }
        const double total = sides + TwiceArea(p[lo], p[k], p[hi]);
        if (total < best) {
          best = total;
          bestK = k;
        }
      }
      const double last = TwiceArea(p[lo], p[hi - 1], p[hi]) + cost[Entry(lo, hi - 1)];
      if (last < best) {
        best = last;
        bestK = hi - 1;
      }
      cost[entry] = best;
      split[entry] = static_cast<int>(bestK);
    }
  }

  // Emission: the pending sub-polygons are disjoint runs of at least two vertices, so the stack stays below n.
  std::vector<std::pair<size_t, size_t>> pending;
  pending.reserve(n);
  pending.emplace_back(0, n - 1);
  while (!pending.empty()) {
    const auto [c, b] = pending.back();
    const size_t d = static_cast<size_t>(split[Entry(c, b)]);
    emit(c, d, b);
    if (b - d < 2) {
      pending.pop_back();
    } else {
      pending.back() = {d, b};
    }
    if (d - c >= 2) {
      pending.emplace_back(c, d);
    }
  }
}
