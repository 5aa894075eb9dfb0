// Sweep-line constrained Delaunay triangulation after V. Domiter and B. Žalik, "Sweep-line algorithm for
// constrained Delaunay triangulation" (2008). The steps below follow the paper's order: initialisation with two
// sentinels and a first triangle, the sweep of point events and edge events, and the finalisation that keeps
// the triangles inside the outline.
#include "geometry/triangulation/sweep_triangulation.h"

#include "geometry/triangulation/outline_crossings.h"

#include <GL/gl.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>

void* TriArenaAllocate(size_t bytes)
{
  constexpr size_t kHugePage = size_t{2} << 20;
  if (bytes < kHugePage) {
    if (void* block = std::malloc(bytes > 0 ? bytes : 1)) {
      return block;
    }
    throw std::bad_alloc();
  }
  const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* block = std::aligned_alloc(kHugePage, rounded);
  if (!block) {
    throw std::bad_alloc();
  }
  madvise(block, rounded, MADV_HUGEPAGE);  // advice only: without huge pages the block works the same
  return block;
}

void TriArenaFree(void* block) { std::free(block); }

namespace {

// Raised when the input turns out to break the sweep's preconditions half-way (a crossing outline, a point
// exactly on a constraint in a place the method cannot split it); the run is abandoned.
struct TriangulationFault {};

// Work allowed per point before a run counts as runaway. A sound run needs a few dozen steps per point; a
// degenerate outline that would otherwise cycle forever stops here.
constexpr long kStepsPerPoint = 200;
constexpr long kStepsFixed = 1000000;

constexpr uint64_t kSignBit = uint64_t{1} << 63;
// Below this many points a comparison sort is quicker than the digit passes.
constexpr size_t kRadixSortFrom = 2048;
constexpr int kRadixBits = 16;
constexpr int kRadixPasses = 64 / kRadixBits;

bool StrictlyBetween(const CTriPoint& x, const CTriPoint& a, const CTriPoint& b)
{
  return (x.x - a.x) * (b.x - a.x) + (x.y - a.y) * (b.y - a.y) > 0.0 &&
         (x.x - b.x) * (a.x - b.x) + (x.y - b.y) * (a.y - b.y) > 0.0;
}

// Heap copies of the run's triangles, in order, linked among themselves; links to triangles that are not kept
// are dropped. Every kept triangle must be in the list.
template <typename Kept>
std::vector<CTriTriangle*> CopyTriangles(const std::vector<CTriTriangle*>& list, Kept kept)
{
  std::vector<CTriTriangle*> copies;
  copies.reserve(list.size());
  // The sequence is free until the receiver numbers the copies: it holds each original's place in the list.
  for (CTriTriangle* t : list) {
    t->sequence = static_cast<int>(copies.size());
    copies.push_back(new CTriTriangle(*t));
  }
  for (CTriTriangle* copy : copies) {
    for (CTriTriangle*& neighbour : copy->neighbours) {
      neighbour = neighbour != nullptr && kept(*neighbour) ? copies[static_cast<size_t>(neighbour->sequence)] : nullptr;
    }
    copy->sequence = -1;
  }
  return copies;
}

// Unsigned integers in the order of the doubles they come from (-0 counts as 0).
uint64_t OrderedBits(double v)
{
  const uint64_t bits = std::bit_cast<uint64_t>(v + 0.0);
  return (bits & kSignBit) != 0 ? ~bits : bits | kSignBit;
}

// Points in increasing y, equal y in increasing x. Sorting copies of the coordinates keeps the comparisons off
// the scattered points; many points are sorted by their digits, which no comparison's guess can miss.
void SortByYThenX(std::vector<CTriPoint*>& points)
{
  struct Keyed {
    uint64_t y;
    uint64_t x;
    CTriPoint* point;
  };
  const size_t n = points.size();
  // Both copies are arena blocks: a large one lies on huge pages, so a first run takes one page fault where
  // small pages take hundreds.
  using Block = std::unique_ptr<Keyed, void (*)(void*)>;
  Block keyedBlock(static_cast<Keyed*>(TriArenaAllocate(n * sizeof(Keyed))), &TriArenaFree);
  Keyed* keyed = keyedBlock.get();
  for (size_t i = 0; i < n; ++i) {
    keyed[i] = {OrderedBits(points[i]->y), OrderedBits(points[i]->x), points[i]};
  }
  if (n < kRadixSortFrom) {
    std::sort(keyed, keyed + n,
              [](const Keyed& a, const Keyed& b) { return a.y < b.y || (a.y == b.y && a.x < b.x); });
  } else {
    // Stable passes from the least significant digit of x to the most significant of y.
    Block otherBlock(static_cast<Keyed*>(TriArenaAllocate(n * sizeof(Keyed))), &TriArenaFree);
    Keyed* other = otherBlock.get();
    std::vector<size_t> count(size_t{1} << kRadixBits);
    for (int pass = 0; pass < 2 * kRadixPasses; ++pass) {
      const bool onX = pass < kRadixPasses;
      const int shift = (pass % kRadixPasses) * kRadixBits;
      const auto digit = [onX, shift](const Keyed& k) {
        return static_cast<size_t>(((onX ? k.x : k.y) >> shift) & ((uint64_t{1} << kRadixBits) - 1));
      };
      std::fill(count.begin(), count.end(), 0);
      for (size_t i = 0; i < n; ++i) {
        ++count[digit(keyed[i])];
      }
      if (count[digit(keyed[0])] == n) {
        continue;
      }
      size_t start = 0;
      for (size_t& c : count) {
        const size_t k = c;
        c = start;
        start += k;
      }
      for (size_t i = 0; i < n; ++i) {
        other[count[digit(keyed[i])]++] = keyed[i];
      }
      std::swap(keyed, other);
    }
  }
  for (size_t i = 0; i < n; ++i) {
    points[i] = keyed[i].point;
  }
}

bool HasSentinel(const CTriTriangle& t, const CTriSweepContext& tcx)
{
  for (const CTriPoint* p : t.points) {
    if (p == tcx.leftSentinel.get() || p == tcx.rightSentinel.get()) {
      return true;
    }
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Polygons

void ITriangulatable::PrepareTriangulation(CTriContext&) {}

void CTriPolygon::PrepareTriangulation(CTriContext& context)
{
  triangles.clear();
  // A second run would otherwise register every outline edge twice.
  for (auto& point : points) {
    point->ReleaseConstraints();
  }
  const size_t n = points.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    context.NewConstraint(points[i].get(), points[i + 1].get());
  }
  if (n >= 3) {
    context.NewConstraint(points[0].get(), points[n - 1].get());
  }
  context.points.clear();
  context.points.reserve(n);
  for (auto& point : points) {
    context.points.push_back(point.get());
  }
}

void CTriPolygon::AddTriangle(CTriTriangle* t)
{
  t->sequence = static_cast<int>(triangles.size()) + 1;
  triangles.emplace_back(t);
}

void CTriPolygon::Clear()
{
  triangles.clear();
  points.clear();
}

CTriPoint* CTriPolygon::AddPoint(double x, double y, double z)
{
  points.push_back(std::make_unique<CTriPoint>(x, y, z));
  return points.back().get();
}

void CTriPolygon::Draw()
{
  glDisable(GL_LIGHTING);
  glColor3d(1.0, 0.0, 0.0);
  glLineWidth(3.0f);
  for (const auto& t : triangles) {
    glBegin(GL_LINE_LOOP);
    for (const CTriPoint* p : t->points) {
      glVertex3d(p->x, p->y, 0.0);
    }
    glEnd();
  }
  glLineWidth(1.0f);
}

// ---------------------------------------------------------------------------------------------------------
// Front

CTriFrontNode* CTriFront::NewNode(CTriPoint* point)
{
  CTriFrontNode* node = nullptr;
  if (m_reusable.empty()) {
    node = nodes.New();
  } else {
    node = m_reusable.back();
    m_reusable.pop_back();
    *node = CTriFrontNode{};
  }
  node->point = point;
  node->key = point->x;
  return node;
}

CTriFrontNode* CTriFront::LocateNode(double x)
{
  CTriFrontNode* node = hint;
  if (x < node->key) {
    while ((node = node->prev) != nullptr) {
      if (x >= node->key) {
        hint = node;
        return node;
      }
    }
  } else {
    while ((node = node->next) != nullptr) {
      if (x < node->key) {
        hint = node->prev;
        return node->prev;
      }
    }
  }
  return nullptr;
}

CTriFrontNode* CTriFront::LocatePoint(const CTriPoint* point)
{
  CTriFrontNode* node = hint;
  const double px = point->x;
  if (px == node->point->x) {
    // The front's x strictly increase (a point straight above a node fills that node at once), so a point of
    // the same x as the hint is the hint's or a neighbour's, or is not on the front at all.
    if (node->point != point) {
      if (node->prev != nullptr && node->prev->point == point) {
        node = node->prev;
      } else if (node->next != nullptr && node->next->point == point) {
        node = node->next;
      } else {
        node = nullptr;
      }
    }
  } else if (px < node->point->x) {
    while ((node = node->prev) != nullptr && node->point != point) {
    }
  } else {
    while ((node = node->next) != nullptr && node->point != point) {
    }
  }
  if (node != nullptr) {
    hint = node;
  }
  return node;
}

void CTriFront::RecycleCutNodes()
{
  m_reusable.insert(m_reusable.end(), m_cut.begin(), m_cut.end());
  m_cut.clear();
}

void CTriFront::Unlink(CTriFrontNode* node)
{
  m_cut.push_back(node);
  node->prev->next = node->next;
  node->next->prev = node->prev;
  if (hint == node) {
    hint = node->prev;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Contexts

CTriContext::~CTriContext() = default;

void CTriContext::PrepareTriangulation(ITriangulatable& target)
{
  polygon = &target;
  mode = target.mode;
  target.PrepareTriangulation(*this);
}

CTriSweepContext::CTriSweepContext() = default;

void CTriSweepContext::PrepareTriangulation(ITriangulatable& target)
{
  CTriContext::PrepareTriangulation(target);
  if (points.empty()) {
    return;
  }
  double xmin = points[0]->x, xmax = points[0]->x;
  double ymin = points[0]->y, ymax = points[0]->y;
  for (const CTriPoint* p : points) {
    xmin = std::min(xmin, p->x);
    xmax = std::max(xmax, p->x);
    ymin = std::min(ymin, p->y);
    ymax = std::max(ymax, p->y);
  }
  const double dx = alpha * (xmax - xmin);
  const double dy = alpha * (ymax - ymin);
  rightSentinel = std::make_unique<CTriPoint>(xmax + dx, ymin - dy);
  leftSentinel = std::make_unique<CTriPoint>(xmin - dx, ymin - dy);
  SortByYThenX(points);
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i]->place = static_cast<std::uint32_t>(i);
  }
}

// ---------------------------------------------------------------------------------------------------------
// The sweep

void CTriSweep::Step()
{
  if (--m_stepsLeft < 0) {
    throw TriangulationFault{};
  }
}

void CTriSweep::Triangulate(CTriSweepContext& tcx)
{
  m_stepsLeft = kStepsFixed + kStepsPerPoint * static_cast<long>(tcx.points.size());
  // A triangulation of n points and the two sentinels has fewer than 2n + 2 triangles; each point is one node.
  tcx.triangles.Reserve(2 * tcx.points.size() + 2);
  tcx.front.nodes.Reserve(tcx.points.size() + 2);
  CreateFront(tcx);
  SweepPoints(tcx);
  if (tcx.mode == kTriModePolygon) {
    FinalizePolygon(tcx);
  } else {
    FinalizeConvexHull(tcx);
  }
}

// Initialisation: the lowest point and the two sentinels below and beside all points make the first triangle,
// whose upper edges are the first front.
void CTriSweep::CreateFront(CTriSweepContext& tcx)
{
  CTriPoint* first = tcx.points[0];
  CTriTriangle* t = tcx.NewTriangle(first, tcx.leftSentinel.get(), tcx.rightSentinel.get());

  CTriFront& front = tcx.front;
  front.head = front.NewNode(tcx.leftSentinel.get());
  front.head->triangle = t;
  CTriFrontNode* middle = front.NewNode(first);
  middle->triangle = t;
  front.tail = front.NewNode(tcx.rightSentinel.get());
  front.head->next = middle;
  middle->prev = front.head;
  middle->next = front.tail;
  front.tail->prev = middle;
  front.hint = front.head;
}

// Sweep: each point in y order is a point event; each constraint whose upper end it is then is an edge event.
void CTriSweep::SweepPoints(CTriSweepContext& tcx)
{
  for (size_t i = 1; i < tcx.points.size(); ++i) {
    CTriPoint* point = tcx.points[i];
    CTriFrontNode* node = PointEvent(tcx, point);
    for (size_t e = 0; e < point->constraints.size(); ++e) {
      EdgeEvent(tcx, point->constraints[e], node);
    }
  }
}

// Point event: project the point onto the front, make the triangle with the front edge below it, then fill
// the holes and basins the new node leaves.
CTriFrontNode* CTriSweep::PointEvent(CTriSweepContext& tcx, CTriPoint* point)
{
  CTriFrontNode* node = tcx.front.LocateNode(point->x);
  if (node == nullptr || node->next == nullptr) {
    throw TriangulationFault{};
  }
  CTriTriangle* t = tcx.NewTriangle(point, node->point, node->next->point);
  t->MarkNeighbour(node->triangle);

  // No node cut out by the previous events is held any more.
  tcx.front.RecycleCutNodes();
  CTriFrontNode* created = tcx.front.NewNode(point);
  created->next = node->next;
  created->prev = node;
  node->next->prev = created;
  node->next = created;

  if (!Legalize(tcx, t)) {
    MapTriangleToNodes(tcx, t);
  }
  // A point straight above a front node would leave a zero-width front edge.
  if (node->point->x + kTriCollinearEpsilon >= point->x) {
    Fill(tcx, node);
  }
  FillAdvancingFront(tcx, created);
  return created;
}

void CTriSweep::Fill(CTriSweepContext& tcx, CTriFrontNode* node)
{
  if (node->prev == nullptr || node->next == nullptr) {
    throw TriangulationFault{};
  }
  CTriTriangle* t = tcx.NewTriangle(node->prev->point, node->point, node->next->point);
  t->MarkNeighbour(node->prev->triangle);
  t->MarkNeighbour(node->triangle);
  tcx.front.Unlink(node);
  if (!Legalize(tcx, t)) {
    MapTriangleToNodes(tcx, t);
  }
}

// Legalisation: flip every unconstrained edge whose opposite point lies inside the circumcircle.
// Invariant relied on: an edge marked Delaunay is being legalised further up the recursion (or was settled by
// a flip of an edge event) and must not be flipped again from here.
bool CTriSweep::Legalize(CTriSweepContext& tcx, CTriTriangle* t)
{
  Step();
  for (int i = 0; i < 3; ++i) {
    if (t->delaunay[i]) {
      continue;
    }
    CTriTriangle* ot = t->neighbours[i];
    if (ot == nullptr) {
      continue;
    }
    CTriPoint* p = t->points[i];
    CTriPoint* pccw = t->points[(i + 1) % 3];
    CTriPoint* pcw = t->points[(i + 2) % 3];
    // The opposite point is the one after pcw clockwise in ot.
    const int ci = ot->Index(pcw);
    const int oi = ci == 0 ? 2 : ci == 1 ? 0 : 1;
    CTriPoint* op = ot->points[oi];
    if (ot->constrained[oi] || ot->delaunay[oi]) {
      t->constrained[i] = ot->constrained[oi];
      continue;
    }
    if (InCircle(*p, *pccw, *pcw, *op)) {
      t->delaunay[i] = true;
      ot->delaunay[oi] = true;
      RotateTrianglePair(t, p, ot, op);
      if (!Legalize(tcx, t)) {
        MapTriangleToNodes(tcx, t);
      }
      if (!Legalize(tcx, ot)) {
        MapTriangleToNodes(tcx, ot);
      }
      t->delaunay[i] = false;
      ot->delaunay[oi] = false;
      return true;
    }
  }
  return false;
}

namespace {

// t's edge in slot i now borders n (or nothing), and n's shared edge borders t.
void LinkAcross(CTriTriangle* t, int i, CTriTriangle* n, const CTriPoint* x, const CTriPoint* y)
{
  t->neighbours[i] = n;
  if (n == nullptr) {
    return;
  }
  // n's slot for the edge (x, y) is that of its third point; counted as flags to spare the branches.
  const int on0 = static_cast<int>(n->points[0] == x) | static_cast<int>(n->points[0] == y);
  const int on1 = static_cast<int>(n->points[1] == x) | static_cast<int>(n->points[1] == y);
  const int on2 = static_cast<int>(n->points[2] == x) | static_cast<int>(n->points[2] == y);
  if (on0 + on1 + on2 == 2) {
    n->neighbours[on0 == 0 ? 0 : on1 == 0 ? 1 : 2] = t;
  }
}

}  // namespace

// The pair (p, A, B) and (op, B, A) becomes (B, p, op) and (A, op, p), each point staying in the slot of the
// point it replaces; the flags of the four outer edges move with their edges.
void CTriSweep::RotateTrianglePair(CTriTriangle* t, CTriPoint* p, CTriTriangle* ot, CTriPoint* op)
{
  const int k0 = t->Index(p);
  const int k1 = (k0 + 1) % 3;
  const int k2 = (k0 + 2) % 3;
  const int o0 = ot->Index(op);
  const int o1 = (o0 + 1) % 3;
  const int o2 = (o0 + 2) % 3;
  CTriPoint* a = t->points[k1];
  CTriPoint* b = t->points[k2];
  CTriTriangle* n1 = t->neighbours[k2];
  CTriTriangle* n2 = t->neighbours[k1];
  CTriTriangle* n3 = ot->neighbours[o2];
  CTriTriangle* n4 = ot->neighbours[o1];
  const bool ce1 = t->constrained[k2], de1 = t->delaunay[k2];
  const bool ce2 = t->constrained[k1], de2 = t->delaunay[k1];
  const bool ce3 = ot->constrained[o2], de3 = ot->delaunay[o2];
  const bool ce4 = ot->constrained[o1], de4 = ot->delaunay[o1];

  t->points[k0] = b;
  t->points[k1] = p;
  t->points[k2] = op;
  ot->points[o0] = a;
  ot->points[o1] = op;
  ot->points[o2] = p;

  ot->constrained[o1] = ce1;
  ot->delaunay[o1] = de1;
  t->constrained[k2] = ce2;
  t->delaunay[k2] = de2;
  t->constrained[k1] = ce3;
  t->delaunay[k1] = de3;
  ot->constrained[o2] = ce4;
  ot->delaunay[o2] = de4;

  LinkAcross(ot, o1, n1, a, p);
  LinkAcross(t, k2, n2, b, p);
  LinkAcross(t, k1, n3, b, op);
  LinkAcross(ot, o2, n4, a, op);
  t->neighbours[k0] = ot;
  ot->neighbours[o0] = t;
}

// A triangle edge without a neighbour lies on the front: its left node now stands on this triangle.
void CTriSweep::MapTriangleToNodes(CTriSweepContext& tcx, CTriTriangle* t)
{
  for (int i = 0; i < 3; ++i) {
    if (t->neighbours[i] == nullptr) {
      CTriFrontNode* node = tcx.front.LocatePoint(t->PointCW(t->points[i]));
      if (node != nullptr) {
        node->triangle = t;
      }
    }
  }
}

// Fill the holes beside the new node (front angles of at most 90 degrees), then the basin to its right.
void CTriSweep::FillAdvancingFront(CTriSweepContext& tcx, CTriFrontNode* node)
{
  CTriFrontNode* k = node->next;
  while (k->next != nullptr) {
    Step();
    if (!IsHole(k)) {
      break;
    }
    Fill(tcx, k);
    k = k->next;
  }
  k = node->prev;
  while (k->prev != nullptr) {
    Step();
    if (!IsHole(k)) {
      break;
    }
    Fill(tcx, k);
    k = k->prev;
  }
  if (node->next != nullptr && node->next->next != nullptr) {
    if (IsBasin(node)) {
      FillBasin(tcx, node);
    }
  }
}

// The angle is only compared with a right angle: its sign tests decide, and atan2 only settles the angles so
// close to it that rounding could tip the comparison.
bool CTriSweep::IsHole(const CTriFrontNode* node) const
{
  const double ax = node->next->point->x - node->point->x;
  const double ay = node->next->point->y - node->point->y;
  const double bx = node->prev->point->x - node->point->x;
  const double by = node->prev->point->y - node->point->y;
  const double cross = ax * by - ay * bx;
  const double dot = ax * bx + ay * by;
  if (dot >= 0.0) {
    return true;
  }
  if (-dot > kAngleMargin * std::fabs(cross)) {
    return false;
  }
  const double angle = std::atan2(cross, dot);
  return !(angle > kHalfPi || angle < -kHalfPi);
}

// Is the angle of node -> node.next.next below three quarters of pi? As for holes, atan2 only near the bound.
bool CTriSweep::IsBasin(const CTriFrontNode* node) const
{
  const double ax = node->point->x - node->next->next->point->x;
  const double ay = node->point->y - node->next->next->point->y;
  if (ay < 0.0 || ax >= 0.0) {
    return true;
  }
  if (ay > -ax * (1.0 + kAngleMargin)) {
    return true;
  }
  if (ay < -ax * (1.0 - kAngleMargin)) {
    return false;
  }
  return std::atan2(ay, ax) < kThreeQuartersPi;
}

void CTriSweep::FillBasin(CTriSweepContext& tcx, CTriFrontNode* node)
{
  auto& basin = tcx.basin;
  if (Orientation(*node->point, *node->next->point, *node->next->next->point) == kTriCounterClockwise) {
    basin.left = node;
  } else {
    basin.left = node->next;
  }
  basin.bottom = basin.left;
  while (basin.bottom->next != nullptr && basin.bottom->point->y >= basin.bottom->next->point->y) {
    basin.bottom = basin.bottom->next;
  }
  if (basin.bottom == basin.left) {
    return;
  }
  basin.right = basin.bottom;
  while (basin.right->next != nullptr && basin.right->point->y < basin.right->next->point->y) {
    basin.right = basin.right->next;
  }
  if (basin.right == basin.bottom) {
    return;
  }
  basin.width = basin.right->point->x - basin.left->point->x;
  basin.leftHighest = basin.left->point->y > basin.right->point->y;
  FillBasinReq(tcx, basin.bottom);
}

// Every fill removes one node of the front, so the walk through the basin ends.
void CTriSweep::FillBasinReq(CTriSweepContext& tcx, CTriFrontNode* node)
{
  const auto& basin = tcx.basin;
  for (;;) {
    Step();
    if (IsShallow(tcx, node)) {
      return;
    }
    Fill(tcx, node);
    if (node->prev == basin.left && node->next == basin.right) {
      return;
    }
    if (node->prev == basin.left) {
      if (node->next->next == nullptr ||
          Orientation(*node->point, *node->next->point, *node->next->next->point) == kTriClockwise) {
        return;
      }
      node = node->next;
    } else if (node->next == basin.right) {
      if (node->prev->prev == nullptr ||
          Orientation(*node->point, *node->prev->point, *node->prev->prev->point) == kTriCounterClockwise) {
        return;
      }
      node = node->prev;
    } else {
      node = node->prev->point->y < node->next->point->y ? node->prev : node->next;
    }
  }
}

bool CTriSweep::IsShallow(const CTriSweepContext& tcx, const CTriFrontNode* node) const
{
  const auto& basin = tcx.basin;
  const double height =
      (basin.leftHighest ? basin.left->point->y : basin.right->point->y) - node->point->y;
  return height < basin.width;
}

// Edge event: the constraint (p, q) whose upper end q was just swept. Fill the front above the constraint, then
// force it into the triangulation.
void CTriSweep::EdgeEvent(CTriSweepContext& tcx, CTriEdge* edge, CTriFrontNode* node)
{
  tcx.edgeEvent.p = edge->p;
  tcx.edgeEvent.q = edge->q;
  tcx.edgeEvent.right = edge->p->x > edge->q->x;
  if (node->triangle == nullptr) {
    throw TriangulationFault{};
  }
  if (IsEdgeSideOfTriangle(node->triangle, edge->p, edge->q)) {
    return;
  }
  FillEdgeEvent(tcx, node);
  EdgeInsertion(tcx, edge->p, edge->q, node->triangle, edge->q);
}

bool CTriSweep::IsEdgeSideOfTriangle(CTriTriangle* t, CTriPoint* ep, CTriPoint* eq)
{
  const int i = t->EdgeIndex(ep, eq);
  if (i < 0) {
    return false;
  }
  t->constrained[i] = true;
  if (CTriTriangle* ot = t->neighbours[i]) {
    ot->MarkConstrainedEdge(ep, eq);
  }
  return true;
}

// The fills above a constraint. Where the method would find nothing to fill (collinear front points on the
// constraint's line) the walk moves on instead of trying the same node again.
void CTriSweep::FillEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node)
{
  const CTriPoint& p = *tcx.edgeEvent.p;
  const CTriPoint& q = *tcx.edgeEvent.q;
  if (tcx.edgeEvent.right) {
    while (node->next != nullptr && node->next->point->x < p.x) {
      Step();
      if (Orientation(q, *node->next->point, p) == kTriCounterClockwise) {
        if (FillRightBelowEdgeEvent(tcx, node) == 0) {
          node = node->next;
        }
      } else {
        node = node->next;
      }
    }
  } else {
    while (node->prev != nullptr && node->prev->point->x > p.x) {
      Step();
      if (Orientation(q, *node->prev->point, p) == kTriClockwise) {
        if (FillLeftBelowEdgeEvent(tcx, node) == 0) {
          node = node->prev;
        }
      } else {
        node = node->prev;
      }
    }
  }
}

int CTriSweep::FillRightBelowEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node)
{
  int filled = 0;
  while (node->point->x < tcx.edgeEvent.p->x) {
    Step();
    CTriFrontNode* a = node->next;
    if (a == nullptr || a->next == nullptr) {
      break;
    }
    if (Orientation(*node->point, *a->point, *a->next->point) == kTriCounterClockwise) {
      filled += FillRightConcaveEdgeEvent(tcx, node);
      break;
    }
    const int convex = FillRightConvexEdgeEvent(tcx, node);
    if (convex == 0) {
      break;
    }
    filled += convex;
  }
  return filled;
}

int CTriSweep::FillRightConcaveEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node)
{
  const CTriPoint& p = *tcx.edgeEvent.p;
  const CTriPoint& q = *tcx.edgeEvent.q;
  int filled = 0;
  do {
    Step();
    Fill(tcx, node->next);
    ++filled;
    if (node->next->point == &p || node->next->next == nullptr) {
      break;
    }
  } while (Orientation(q, *node->next->point, p) == kTriCounterClockwise &&
           Orientation(*node->point, *node->next->point, *node->next->next->point) == kTriCounterClockwise);
  return filled;
}

int CTriSweep::FillRightConvexEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node)
{
  const CTriPoint& p = *tcx.edgeEvent.p;
  const CTriPoint& q = *tcx.edgeEvent.q;
  for (;;) {
    Step();
    CTriFrontNode* a = node->next;
    CTriFrontNode* b = a != nullptr ? a->next : nullptr;
    CTriFrontNode* c = b != nullptr ? b->next : nullptr;
    if (c == nullptr) {
      return 0;
    }
    if (Orientation(*a->point, *b->point, *c->point) == kTriCounterClockwise) {
      return FillRightConcaveEdgeEvent(tcx, a);
    }
    if (Orientation(q, *b->point, p) != kTriCounterClockwise) {
      return 0;
    }
    node = a;
  }
}

int CTriSweep::FillLeftBelowEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node)
{
  int filled = 0;
  while (node->point->x > tcx.edgeEvent.p->x) {
    Step();
    CTriFrontNode* a = node->prev;
    if (a == nullptr || a->prev == nullptr) {
      break;
    }
    if (Orientation(*node->point, *a->point, *a->prev->point) == kTriClockwise) {
      filled += FillLeftConcaveEdgeEvent(tcx, node);
      break;
    }
    const int convex = FillLeftConvexEdgeEvent(tcx, node);
    if (convex == 0) {
      break;
    }
    filled += convex;
  }
  return filled;
}

int CTriSweep::FillLeftConcaveEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node)
{
  const CTriPoint& p = *tcx.edgeEvent.p;
  const CTriPoint& q = *tcx.edgeEvent.q;
  int filled = 0;
  do {
    Step();
    Fill(tcx, node->prev);
    ++filled;
    if (node->prev->point == &p || node->prev->prev == nullptr) {
      break;
    }
  } while (Orientation(q, *node->prev->point, p) == kTriClockwise &&
           Orientation(*node->point, *node->prev->point, *node->prev->prev->point) == kTriClockwise);
  return filled;
}

int CTriSweep::FillLeftConvexEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node)
{
  const CTriPoint& p = *tcx.edgeEvent.p;
  const CTriPoint& q = *tcx.edgeEvent.q;
  for (;;) {
    Step();
    CTriFrontNode* a = node->prev;
    CTriFrontNode* b = a != nullptr ? a->prev : nullptr;
    CTriFrontNode* c = b != nullptr ? b->prev : nullptr;
    if (c == nullptr) {
      return 0;
    }
    if (Orientation(*a->point, *b->point, *c->point) == kTriClockwise) {
      return FillLeftConcaveEdgeEvent(tcx, a);
    }
    if (Orientation(q, *b->point, p) != kTriClockwise) {
      return 0;
    }
    node = a;
  }
}

// Walk the triangles around `point` to the one whose far edge the constraint crosses, and flip from there.
void CTriSweep::EdgeInsertion(CTriSweepContext& tcx, CTriPoint* ep, CTriPoint* eq, CTriTriangle* t,
                              CTriPoint* point)
{
  for (;;) {
    Step();
    if (t == nullptr) {
      throw TriangulationFault{};
    }
    if (IsEdgeSideOfTriangle(t, ep, eq)) {
      return;
    }
    CTriPoint* p1 = t->PointCCW(point);
    CTriPoint* p2 = t->PointCW(point);
    TriOrientation o1 = Orientation(*ep, *eq, *p1);
    TriOrientation o2 = Orientation(*ep, *eq, *p2);
    // A point exactly on the constraint splits it: the part from eq to that point is an edge already, the
    // rest is inserted from there. Without this the flips below would turn round that point for ever.
    CTriPoint* onEdge = nullptr;
    if (point == eq && o1 == kTriCollinear && StrictlyBetween(*p1, *ep, *eq)) {
      onEdge = p1;
    } else if (point == eq && o2 == kTriCollinear && StrictlyBetween(*p2, *ep, *eq)) {
      onEdge = p2;
    }
    if (onEdge != nullptr) {
      IsEdgeSideOfTriangle(t, eq, onEdge);
      if (tcx.edgeEvent.p == ep && tcx.edgeEvent.q == eq) {
        tcx.edgeEvent.q = onEdge;
      }
      eq = onEdge;
      point = onEdge;
      continue;
    }
    // A collinear point off the constraint's segment lies on the constraint's line beyond it: it does not
    // decide the side, the other point does.
    if (o1 == kTriCollinear) {
      o1 = o2;
    } else if (o2 == kTriCollinear) {
      o2 = o1;
    }
    if (o1 != o2) {
      FlipEdgeEvent(tcx, ep, eq, t, point);
      return;
    }
    t = o1 == kTriClockwise ? t->NeighbourCCW(point) : t->NeighbourCW(point);
  }
}

// Flip the triangles the constraint crosses until it is an edge; triangles that fall off the constraint are
// legalised on the way.
void CTriSweep::FlipEdgeEvent(CTriSweepContext& tcx, CTriPoint* ep, CTriPoint* eq, CTriTriangle* t,
                              CTriPoint* p)
{
  for (;;) {
    Step();
    CTriTriangle* ot = t->NeighbourAcross(p);
    if (ot == nullptr) {
      throw TriangulationFault{};
    }
    CTriPoint* op = t->OppositePoint(*ot, p);
    if (InFlipRegion(*p, *t->PointCCW(p), *t->PointCW(p), *op)) {
      RotateTrianglePair(t, p, ot, op);
      MapTriangleToNodes(tcx, t);
      MapTriangleToNodes(tcx, ot);
      if (p == eq && op == ep) {
        if (eq == tcx.edgeEvent.q && ep == tcx.edgeEvent.p) {
          t->MarkConstrainedEdge(ep, eq);
          ot->MarkConstrainedEdge(ep, eq);
          Legalize(tcx, t);
          Legalize(tcx, ot);
        }
        return;
      }
      const TriOrientation o = Orientation(*ep, *eq, *op);
      t = NextFlipTriangle(tcx, o, t, ot, p, op);
    } else {
      CTriPoint* newP = NextFlipPoint(ep, eq, ot, op);
      FlipScanEdgeEvent(tcx, ep, eq, t, ot, newP);
      EdgeInsertion(tcx, ep, eq, t, p);
      return;
    }
  }
}

// After a flip one of the pair no longer crosses the constraint: legalise it and go on with the other.
CTriTriangle* CTriSweep::NextFlipTriangle(CTriSweepContext& tcx, TriOrientation o, CTriTriangle* t,
                                          CTriTriangle* ot, CTriPoint* p, CTriPoint* op)
{
  CTriTriangle* settled = o == kTriCounterClockwise ? ot : t;
  const int i = settled->EdgeIndex(p, op);
  if (i < 0) {
    throw TriangulationFault{};
  }
  settled->delaunay[i] = true;
  Legalize(tcx, settled);
  return o == kTriCounterClockwise ? t : ot;
}

CTriPoint* CTriSweep::NextFlipPoint(CTriPoint* ep, CTriPoint* eq, CTriTriangle* ot, CTriPoint* op)
{
  switch (Orientation(*ep, *eq, *op)) {
  case kTriClockwise:
    return ot->PointCCW(op);
  case kTriCounterClockwise:
    return ot->PointCW(op);
  default:
    // A point on the constraint in the middle of a flip sequence: the outline is not simple.
    throw TriangulationFault{};
  }
}

// The opposite point is not in the flip region: scan on across the constraint for one that is.
void CTriSweep::FlipScanEdgeEvent(CTriSweepContext& tcx, CTriPoint* ep, CTriPoint* eq, CTriTriangle* flipTriangle,
                                  CTriTriangle* t, CTriPoint* p)
{
  for (;;) {
    Step();
    CTriTriangle* ot = t->NeighbourAcross(p);
    if (ot == nullptr) {
      throw TriangulationFault{};
    }
    CTriPoint* op = t->OppositePoint(*ot, p);
    if (InFlipRegion(*eq, *flipTriangle->PointCCW(eq), *flipTriangle->PointCW(eq), *op)) {
      FlipEdgeEvent(tcx, eq, op, ot, op);
      return;
    }
    p = NextFlipPoint(ep, eq, ot, op);
    t = ot;
  }
}

// Finalisation: from a triangle inside the outline at the leftmost front point, spread over every edge that is
// not a constraint. Invariant relied on: the constraints close the outline, so the spread never reaches a
// triangle of the sentinels.
void CTriSweep::FinalizePolygon(CTriSweepContext& tcx)
{
  CTriFrontNode* first = tcx.front.head->next;
  CTriTriangle* t = first->triangle;
  CTriPoint* p = first->point;
  while (t != nullptr) {
    Step();
    const int i = t->Index(p);
    if (i < 0) {
      throw TriangulationFault{};
    }
    if (t->constrained[(i + 1) % 3]) {
      break;
    }
    t = t->NeighbourCCW(p);
  }
  auto& work = tcx.workList;
  work.clear();
  work.push_back(t);
  std::vector<CTriTriangle*> inside;
  inside.reserve(tcx.points.size());
  while (!work.empty()) {
    CTriTriangle* next = work.back();
    work.pop_back();
    if (next == nullptr || next->interior) {
      continue;
    }
    if (HasSentinel(*next, tcx)) {
      throw TriangulationFault{};
    }
    next->interior = true;
    inside.push_back(next);
    // Those already inside would only be skipped when taken; testing them here lets the three reads overlap.
    for (int i = 0; i < 3; ++i) {
      CTriTriangle* neighbour = next->neighbours[i];
      if (!next->constrained[i] && neighbour != nullptr && !neighbour->interior) {
        work.push_back(neighbour);
      }
    }
  }
  // Handed over in the order the spread reached them; links to triangles outside the outline are dropped.
  std::vector<CTriTriangle*> copies = CopyTriangles(inside, [](const CTriTriangle& n) { return n.interior; });
  tcx.polygon->triangles.reserve(tcx.polygon->triangles.size() + copies.size());
  for (CTriTriangle* copy : copies) {
    tcx.polygon->AddTriangle(copy);
  }
}

// Finalisation of the convex-hull mode (no polygon of this program asks for it).
void CTriSweep::FinalizeConvexHull(CTriSweepContext& tcx)
{
  CTriFront& front = tcx.front;
  CTriFrontNode* b = front.head->next;
  CTriFrontNode* c = b->next;
  CTriFrontNode* first = b;
  while (c != front.tail) {
    Step();
    if (Orientation(*b->point, *c->point, *c->next->point) == kTriCounterClockwise) {
      Fill(tcx, c);
      c = c->next;
    } else if (b != first && Orientation(*b->prev->point, *b->point, *c->point) == kTriCounterClockwise) {
      Fill(tcx, b);
      b = b->prev;
    } else {
      b = c;
      c = c->next;
    }
  }
  for (CTriFrontNode* n : {front.tail->prev, front.head->next}) {
    CTriTriangle* nt = n->triangle;
    if (nt != nullptr && nt->Contains(n->next->point) && nt->Contains(n->prev->point)) {
      CTriTriangle* t1 = nt->NeighbourAcross(n->point);
      if (t1 != nullptr) {
        RotateTrianglePair(nt, n->point, t1, nt->OppositePoint(*t1, n->point));
        MapTriangleToNodes(tcx, nt);
        MapTriangleToNodes(tcx, t1);
      }
    }
  }
  std::vector<CTriTriangle*> all;
  tcx.triangles.ForEach([&all](CTriTriangle& t) { all.push_back(&t); });
  std::vector<CTriTriangle*> list = CopyTriangles(all, [](const CTriTriangle&) { return true; });
  // A receiver that keeps triangles moves them out of the list; what stays is released here.
  tcx.polygon->AddTriangles(list);
  for (CTriTriangle* t : list) {
    delete t;
  }
}

namespace {

// The sweep's preconditions on the points alone (the caller answers for the outline being simple): at least
// three points, none twice, an extent in both x and y. Points are sorted by y, then x.
bool PointsAreSweepable(const std::vector<CTriPoint*>& sorted)
{
  if (sorted.size() < 3) {
    return false;
  }
  bool spreadX = false;
  for (size_t i = 1; i < sorted.size(); ++i) {
    if (sorted[i]->x == sorted[i - 1]->x && sorted[i]->y == sorted[i - 1]->y) {
      return false;
    }
    spreadX = spreadX || sorted[i]->x != sorted[0]->x;
  }
  return spreadX && sorted.back()->y != sorted.front()->y;
}

}  // namespace

bool TriangulatePolygon(CTriSweep*& holder, ITriangulatable& polygon)
{
  auto sweep = std::make_unique<CTriSweep>();
  holder = sweep.get();
  bool done = false;
  {
    CTriSweepContext context;
    context.PrepareTriangulation(polygon);
    // An outline that crosses or touches itself would leave the sweep with part of a triangulation that looks
    // like success; it is refused before the first step.
    if (PointsAreSweepable(context.points) && !ConstraintsCrossOrTouch(context.points)) {
      try {
        sweep->Triangulate(context);
        done = true;
      } catch (const TriangulationFault&) {
        done = false;
      }
    }
    if (!done) {
      polygon.ClearTriangulation();
    }
  }
  holder = nullptr;
  return done;
}
