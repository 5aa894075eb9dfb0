#include "geometry/triangulation/outline_crossings.h"

#include "geometry/triangulation/tri_geometry.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <memory>
#include <set>
#include <unordered_map>

namespace {

// (a, b) with a + b == sum exactly.
void TwoSum(double a, double b, double& sum, double& error)
{
  sum = a + b;
  const double bVirtual = sum - a;
  const double aVirtual = sum - bVirtual;
  error = (a - aVirtual) + (b - bVirtual);
}

// The sign of a sum of doubles, exactly: the terms are gathered into an expansion of non-overlapping parts of
// increasing size (Shewchuk's grow-expansion), whose largest part carries the sign of the whole.
int ExactSignOfSum(const double* terms, int count)
{
  double parts[16];
  int used = 0;
  for (int t = 0; t < count; ++t) {
    double carry = terms[t];
    for (int i = 0; i < used; ++i) {
      double sum, error;
      TwoSum(carry, parts[i], sum, error);
      parts[i] = error;
      carry = sum;
    }
    parts[used++] = carry;
  }
  for (int i = used - 1; i >= 0; --i) {
    if (parts[i] != 0.0) {
      return parts[i] > 0.0 ? 1 : -1;
    }
  }
  return 0;
}

bool LexLess(const PlanPoint& a, const PlanPoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); }

// An edge with its ends in sweep order: left before right.
struct SweepEdge {
  std::uint32_t left;
  std::uint32_t right;
};

// Nodes of the sweep's list come from blocks of their own and go back to a free list: an allocation per edge
// entering the list was a good part of a first run's time. One node size is served; any other request goes to
// the heap.
struct NodeArena {
  std::vector<std::unique_ptr<std::byte[]>> blocks;
  std::byte* next = nullptr;
  std::size_t left = 0;
  void* free = nullptr;
  std::size_t nodeBytes = 0;
};

template <class T>
struct ArenaAllocator {
  using value_type = T;
  static constexpr std::size_t kBytes = (sizeof(T) + 15) / 16 * 16;

  explicit ArenaAllocator(NodeArena* a) : arena(a) {}
  template <class U>
  ArenaAllocator(const ArenaAllocator<U>& other) : arena(other.arena)
  {
  }

  T* allocate(std::size_t n)
  {
    if (n != 1 || alignof(T) > 16 || (arena->nodeBytes != 0 && arena->nodeBytes != kBytes)) {
      return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    arena->nodeBytes = kBytes;
    if (arena->free != nullptr) {
      void* node = arena->free;
      arena->free = *static_cast<void**>(node);
      return static_cast<T*>(node);
    }
    if (arena->left < kBytes) {
      constexpr std::size_t kBlock = 64 * 1024;
      arena->blocks.push_back(std::make_unique_for_overwrite<std::byte[]>(kBlock));
      arena->next = arena->blocks.back().get();
      arena->left = kBlock;
    }
    void* node = arena->next;
    arena->next += kBytes;
    arena->left -= kBytes;
    return static_cast<T*>(node);
  }
  void deallocate(T* node, std::size_t n)
  {
    if (n != 1 || alignof(T) > 16 || arena->nodeBytes != kBytes) {
      ::operator delete(node);
      return;
    }
    *reinterpret_cast<void**>(node) = arena->free;
    arena->free = node;
  }
  template <class U>
  bool operator==(const ArenaAllocator<U>& other) const
  {
    return arena == other.arena;
  }

  NodeArena* arena;
};

class CrossingSweep {
public:
  // rank: each end point's place in sweep order (x, then y); no two end points share one.
  CrossingSweep(const std::vector<PlanPoint>& points, const std::vector<std::uint32_t>& rank,
                std::vector<SweepEdge> edges)
      : m_points(points),
        m_rank(rank),
        m_edges(std::move(edges)),
        m_status(Below{this}, ArenaAllocator<std::uint32_t>(&m_arena)),
        m_place(m_edges.size())
  {
  }

  bool FindsContact();

private:
  int Turn(std::uint32_t a, std::uint32_t b, std::uint32_t c) const
  {
    const PlanPoint &p = m_points[a], &q = m_points[b], &r = m_points[c];
    return ExactTurn(p.x, p.y, q.x, q.y, r.x, r.y);
  }

  // c lies on the closed edge ab, given that the three are on one line.
  bool Within(std::uint32_t a, std::uint32_t b, std::uint32_t c) const
  {
    const PlanPoint &p = m_points[a], &q = m_points[b], &r = m_points[c];
    return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
           r.y <= std::max(p.y, q.y);
  }

  // Do two edges meet other than at an end point they share?
  bool Meet(std::uint32_t e, std::uint32_t f) const;

  // The order of the list: is edge e below edge f where the sweep line stands? Both are in the list at once,
  // so the later left end lies within the other edge's span. A turn of zero there is itself a contact (a left
  // end on the other edge, or two edges leaving one point along one line): it is noted, and the two are
  // ordered by the way they leave, then by index, so the list stays consistent until the sweep stops.
  struct Below {
    CrossingSweep* sweep;
    bool operator()(std::uint32_t e, std::uint32_t f) const { return sweep->IsBelow(e, f); }
  };
  bool IsBelow(std::uint32_t e, std::uint32_t f);

  bool Before(std::uint32_t a, std::uint32_t b) const { return m_rank[a] < m_rank[b]; }

  const std::vector<PlanPoint>& m_points;
  const std::vector<std::uint32_t>& m_rank;
  std::vector<SweepEdge> m_edges;
  NodeArena m_arena;
  using Status = std::set<std::uint32_t, Below, ArenaAllocator<std::uint32_t>>;
  Status m_status;
  std::vector<Status::iterator> m_place;
  bool m_contact = false;
};

bool CrossingSweep::Meet(std::uint32_t e, std::uint32_t f) const
{
  const SweepEdge& a = m_edges[e];
  const SweepEdge& b = m_edges[f];
  const bool sameLeft = a.left == b.left, sameRight = a.right == b.right;
  if (sameLeft && sameRight) {
    return true;
  }
  // Sharing one end: they meet elsewhere only when they leave it along one line the same way. Points are
  // distinct, so the same way means both others on the same side of the shared end in sweep order.
  std::uint32_t shared = 0, u = 0, v = 0;
  if (sameLeft || sameRight || a.left == b.right || a.right == b.left) {
    shared = sameLeft || a.left == b.right ? a.left : a.right;
    u = shared == a.left ? a.right : a.left;
    v = shared == b.left ? b.right : b.left;
    if (Turn(shared, u, v) != 0) {
      return false;
    }
    const bool uAfter = Before(shared, u);
    const bool vAfter = Before(shared, v);
    return uAfter == vAfter;
  }
  const int abc = Turn(a.left, a.right, b.left), abd = Turn(a.left, a.right, b.right);
  const int cda = Turn(b.left, b.right, a.left), cdb = Turn(b.left, b.right, a.right);
  if (abc * abd < 0 && cda * cdb < 0) {
    return true;
  }
  return (abc == 0 && Within(a.left, a.right, b.left)) || (abd == 0 && Within(a.left, a.right, b.right)) ||
         (cda == 0 && Within(b.left, b.right, a.left)) || (cdb == 0 && Within(b.left, b.right, a.right));
}

bool CrossingSweep::IsBelow(std::uint32_t e, std::uint32_t f)
{
  if (e == f) {
    return false;
  }
  const SweepEdge& a = m_edges[e];
  const SweepEdge& b = m_edges[f];
  int side;  // which side of the earlier edge the later one runs: +1 above
  bool fIsLater = true;
  if (a.left == b.left) {
    side = Turn(a.left, a.right, b.right);
  } else {
    fIsLater = Before(a.left, b.left);
    const SweepEdge& earlier = fIsLater ? a : b;
    const SweepEdge& later = fIsLater ? b : a;
    side = Turn(earlier.left, earlier.right, later.left);
    if (side == 0) {
      m_contact = true;
      side = Turn(earlier.left, earlier.right, later.right);
    }
  }
  if (side == 0) {
    m_contact = true;
    return e < f;
  }
  return fIsLater ? side > 0 : side < 0;
}

bool CrossingSweep::FindsContact()
{
  // Events in sweep order, bucketed by the rank of their point; at one point the edges ending there leave
  // before those starting there enter, since edges that only share that point may touch there.
  const std::size_t places = m_rank.size();
  std::vector<std::uint32_t> first(places + 1, 0);
  for (const SweepEdge& e : m_edges) {
    ++first[m_rank[e.left] + 1];
    ++first[m_rank[e.right] + 1];
  }
  for (std::size_t r = 0; r < places; ++r) {
    first[r + 1] += first[r];
  }
  // Event value: edge index times two, plus one for an entering edge.
  std::vector<std::uint32_t> events(2 * m_edges.size());
  std::vector<std::uint32_t> fill(first.begin(), first.end() - 1);
  for (int entering = 0; entering < 2; ++entering) {
    for (std::uint32_t e = 0; e < m_edges.size(); ++e) {
      const std::uint32_t point = entering ? m_edges[e].left : m_edges[e].right;
      events[fill[m_rank[point]]++] = 2 * e + static_cast<std::uint32_t>(entering);
    }
  }

  for (const std::uint32_t event : events) {
    const std::uint32_t edge = event / 2;
    if (event % 2 == 1) {
      const auto at = m_status.insert(edge).first;
      m_place[edge] = at;
      if (m_contact) {
        return true;
      }
      if (at != m_status.begin() && Meet(*std::prev(at), edge)) {
        return true;
      }
      if (std::next(at) != m_status.end() && Meet(edge, *std::next(at))) {
        return true;
      }
    } else {
      const auto at = m_place[edge];
      const auto after = std::next(at);
      if (at != m_status.begin() && after != m_status.end() && Meet(*std::prev(at), *after)) {
        return true;
      }
      m_status.erase(at);
    }
  }
  return false;
}

}  // namespace

int ExactTurn(double ax, double ay, double bx, double by, double cx, double cy)
{
  // Shewchuk's first filter: beyond this bound the rounded determinant has the exact sign.
  constexpr double kEpsilon = 1.1102230246251565e-16;  // 2^-53
  constexpr double kBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
  const double left = (ax - cx) * (by - cy);
  const double right = (ay - cy) * (bx - cx);
  const double det = left - right;
  if (std::fabs(det) > kBound * (std::fabs(left) + std::fabs(right))) {
    return det > 0.0 ? 1 : -1;
  }
  // Exactly: the determinant expanded into six products, each split into its rounded value and its error.
  const double factors[6][2] = {{ax, by}, {-ax, cy}, {-cx, by}, {-ay, bx}, {ay, cx}, {cy, bx}};
  double terms[12];
  for (int i = 0; i < 6; ++i) {
    const double product = factors[i][0] * factors[i][1];
    terms[2 * i] = product;
    terms[2 * i + 1] = std::fma(factors[i][0], factors[i][1], -product);
  }
  return ExactSignOfSum(terms, 12);
}

bool EdgesCrossOrTouch(const std::vector<PlanPoint>& points, const std::vector<PlanEdge>& edges)
{
  // The end points in sweep order, ranked. Two at one place are a vertex visited twice; beyond this the sweep
  // relies on one place, one point.
  std::vector<char> isEnd(points.size(), 0);
  for (const PlanEdge& e : edges) {
    if (e.from != e.to) {
      isEnd[e.from] = isEnd[e.to] = 1;
    }
  }
  std::vector<std::uint32_t> ends;
  for (std::uint32_t i = 0; i < points.size(); ++i) {
    if (isEnd[i]) {
      ends.push_back(i);
    }
  }
  std::sort(ends.begin(), ends.end(),
            [&points](std::uint32_t a, std::uint32_t b) { return LexLess(points[a], points[b]); });
  std::vector<std::uint32_t> rank(points.size(), 0);
  for (std::uint32_t r = 0; r < ends.size(); ++r) {
    if (r > 0 && !LexLess(points[ends[r - 1]], points[ends[r]])) {
      return true;
    }
    rank[ends[r]] = r;
  }

  std::vector<SweepEdge> sweepEdges;
  sweepEdges.reserve(edges.size());
  for (const PlanEdge& e : edges) {
    if (e.from != e.to) {
      const bool forward = rank[e.from] < rank[e.to];
      sweepEdges.push_back({forward ? e.from : e.to, forward ? e.to : e.from});
    }
  }
  return CrossingSweep(points, rank, std::move(sweepEdges)).FindsContact();
}

bool ConstraintsCrossOrTouch(const std::vector<CTriPoint*>& points)
{
  // A point of the list is found by its place in it; a map of every point took an allocation each, a tenth of a
  // first triangulation's time. Ends outside the list, which a sound context never has, go into a map.
  // x and y change places: the list is in y-then-x order, so the test's own sort finds it in order, and a mirror
  // image of the outline meets itself where the outline does.
  std::vector<PlanPoint> plan;
  plan.reserve(points.size());
  for (const CTriPoint* p : points) {
    plan.push_back({p->y, p->x});
  }
  std::unordered_map<const CTriPoint*, std::uint32_t> others;
  auto indexOf = [&](const CTriPoint* p) {
    if (p->place < points.size() && points[p->place] == p) {
      return p->place;
    }
    const auto [at, added] = others.try_emplace(p, static_cast<std::uint32_t>(plan.size()));
    if (added) {
      plan.push_back({p->y, p->x});
    }
    return at->second;
  };
  std::vector<PlanEdge> edges;
  edges.reserve(points.size());
  for (CTriPoint* p : points) {
    for (std::size_t k = 0; k < p->constraints.size(); ++k) {
      const CTriEdge* constraint = p->constraints[k];
      const std::uint32_t from = indexOf(constraint->p);
      edges.push_back({from, indexOf(constraint->q)});
    }
  }
  return EdgesCrossOrTouch(plan, edges);
}
