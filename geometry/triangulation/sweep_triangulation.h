// Constrained triangulation of a simple polygon with free points inside it, by a sweep line over increasing y
// with an advancing front. The polygon's outline edges stay as constraints; every other edge is legalised
// towards the Delaunay condition.
#pragma once

#include "geometry/triangulation/tri_geometry.h"

#include <memory>
#include <utility>
#include <new>
#include <vector>

class CTriContext;

// What can be triangulated: the sweep takes its points (with their constraints) and hands back triangles.
class ITriangulatable {
public:
  virtual ~ITriangulatable() = default;
  virtual void PrepareTriangulation(CTriContext& context);
  // The polygon takes ownership of t.
  virtual void AddTriangle(CTriTriangle* t) = 0;
  // The receiver of the convex-hull mode; the triangles stay the context's.
  virtual void AddTriangles(std::vector<CTriTriangle*>& list) = 0;
  virtual void ClearTriangulation() = 0;

  std::vector<std::unique_ptr<CTriPoint>> points;
  std::vector<std::unique_ptr<CTriTriangle>> triangles;
  int mode = 2;
};

inline constexpr int kTriModePolygon = 2;

// A closed outline through its points in order; its triangles are those inside the outline.
class CTriPolygon : public ITriangulatable {
public:
  CTriPolygon() { mode = kTriModePolygon; }
  void PrepareTriangulation(CTriContext& context) override;
  void AddTriangle(CTriTriangle* t) override;
  void AddTriangles(std::vector<CTriTriangle*>&) override {}
  void ClearTriangulation() override { triangles.clear(); }
  virtual void Clear();
  // Diagnostic: the triangles as thick red loops at z = 0.
  virtual void Draw();

  CTriPoint* AddPoint(double x, double y, double z = 0.0);
};

// Records that keep their addresses for the whole run, made in a few large blocks rather than one by one, and
// all released with the arena.
// Memory for an arena block. Large blocks are asked to be backed by huge pages: a first run in a fresh process
// otherwise pays a page fault for every 4 kB it touches, which cost it more than the sweep itself.
void* TriArenaAllocate(size_t bytes);
void TriArenaFree(void* block);

template <typename T>
class CTriArena {
public:
  CTriArena() = default;
  CTriArena(const CTriArena&) = delete;
  CTriArena& operator=(const CTriArena&) = delete;
  ~CTriArena()
  {
    for (Block& block : m_blocks) {
      for (size_t i = 0; i < block.size; ++i) {
        block.items[i].~T();
      }
      TriArenaFree(block.items);
    }
  }
  // The size of the next block; a run that knows its need asks for it once.
  void Reserve(size_t count) { m_nextBlock = count > m_nextBlock ? count : m_nextBlock; }
  template <typename... Args>
  T* New(Args&&... args)
  {
    if (m_blocks.empty() || m_blocks.back().size == m_blocks.back().capacity) {
      m_blocks.push_back({static_cast<T*>(TriArenaAllocate(m_nextBlock * sizeof(T))), 0, m_nextBlock});
    }
    Block& block = m_blocks.back();
    return new (block.items + block.size++) T(std::forward<Args>(args)...);
  }
  template <typename F>
  void ForEach(F f)
  {
    for (Block& block : m_blocks) {
      for (size_t i = 0; i < block.size; ++i) {
        f(block.items[i]);
      }
    }
  }

private:
  // A block is only ever filled up to the capacity it was made with, so its items never move.
  struct Block {
    T* items;
    size_t size;
    size_t capacity;
  };
  std::vector<Block> m_blocks;
  size_t m_nextBlock = 256;
};

struct CTriFrontNode {
  // What a walk along the front reads comes first, so that a node's part of it seldom spans two cache lines.
  double key = 0.0;
  CTriFrontNode* prev = nullptr;
  CTriFrontNode* next = nullptr;
  CTriPoint* point = nullptr;
  CTriTriangle* triangle = nullptr;  // has the front edge from this node to the next one
};

// The advancing front: the upper boundary of the triangles made so far, left to right between two sentinels.
class CTriFront {
public:
  CTriFrontNode* NewNode(CTriPoint* point);
  // The node n with n.key <= x < n.next.key; none off either end.
  CTriFrontNode* LocateNode(double x);
  CTriFrontNode* LocatePoint(const CTriPoint* point);
  void Unlink(CTriFrontNode* node);
  // Nodes cut out so far may be made again: call only when none of them is referred to any more. Reusing them
  // keeps the front within a few cache lines' reach of each other.
  void RecycleCutNodes();

  CTriFrontNode* head = nullptr;
  CTriFrontNode* tail = nullptr;
  // Invariant: the hint is always a node of the front (an unlinked node hands it to its left neighbour), so
  // a walk from it never starts on a node that fills have cut out.
  CTriFrontNode* hint = nullptr;

  // Every node made, also those cut out by fills.
  CTriArena<CTriFrontNode> nodes;

private:
  // Cut out by fills (still read by the fill's caller), and cut out earlier and free to be made again.
  std::vector<CTriFrontNode*> m_cut;
  std::vector<CTriFrontNode*> m_reusable;
};

class CTriContext {
public:
  virtual ~CTriContext();
  virtual int GetKind() const = 0;
  virtual CTriEdge* NewConstraint(CTriPoint* a, CTriPoint* b) = 0;
  virtual void PrepareTriangulation(ITriangulatable& polygon);
  virtual void ClearPoints() { points.clear(); }

  std::vector<CTriPoint*> points;
  int mode = 0;
  ITriangulatable* polygon = nullptr;
};

class CTriSweepContext : public CTriContext {
public:
  CTriSweepContext();
  int GetKind() const override { return 1; }
  CTriEdge* NewConstraint(CTriPoint* a, CTriPoint* b) override { return ::NewConstraint(a, b); }
  void PrepareTriangulation(ITriangulatable& polygon) override;

  // Margin of the sentinels beyond the points' extent, as a share of it.
  double alpha = 0.3;
  CTriFront front;
  std::unique_ptr<CTriPoint> rightSentinel;
  std::unique_ptr<CTriPoint> leftSentinel;
  struct {
    CTriFrontNode* left = nullptr;
    CTriFrontNode* bottom = nullptr;
    CTriFrontNode* right = nullptr;
    double width = 0.0;
    bool leftHighest = false;
  } basin;
  struct {
    // The constraint being inserted; a free point met exactly on it moves q down to that point.
    CTriPoint* p = nullptr;
    CTriPoint* q = nullptr;
    bool right = false;
  } edgeEvent;
  std::vector<CTriTriangle*> workList;
  // Every triangle made in the run. The polygon receives copies of those inside its outline, each its own
  // allocation as the polygon owns them one by one.
  CTriArena<CTriTriangle> triangles;
  CTriTriangle* NewTriangle(CTriPoint* a, CTriPoint* b, CTriPoint* c) { return triangles.New(a, b, c); }
};

// The steps of one sweep. Every step walks neighbour and front links; nothing searches globally.
class CTriSweep {
public:
  static constexpr double kHalfPi = 1.5707963267948966;
  static constexpr double kThreeQuartersPi = 2.356194490192345;
  // Relative width of the band round an angle's bound inside which the sign tests defer to atan2; far wider
  // than atan2's rounding.
  static constexpr double kAngleMargin = 1e-9;

  void Triangulate(CTriSweepContext& context);

private:
  void CreateFront(CTriSweepContext& tcx);
  void SweepPoints(CTriSweepContext& tcx);
  CTriFrontNode* PointEvent(CTriSweepContext& tcx, CTriPoint* point);
  void Fill(CTriSweepContext& tcx, CTriFrontNode* node);
  bool Legalize(CTriSweepContext& tcx, CTriTriangle* t);
  void RotateTrianglePair(CTriTriangle* t, CTriPoint* p, CTriTriangle* ot, CTriPoint* op);
  void MapTriangleToNodes(CTriSweepContext& tcx, CTriTriangle* t);
  void FillAdvancingFront(CTriSweepContext& tcx, CTriFrontNode* node);
  // The front angle at node is at most a right angle.
  bool IsHole(const CTriFrontNode* node) const;
  bool IsBasin(const CTriFrontNode* node) const;
  void FillBasin(CTriSweepContext& tcx, CTriFrontNode* node);
  void FillBasinReq(CTriSweepContext& tcx, CTriFrontNode* node);
  bool IsShallow(const CTriSweepContext& tcx, const CTriFrontNode* node) const;

  void EdgeEvent(CTriSweepContext& tcx, CTriEdge* edge, CTriFrontNode* node);
  bool IsEdgeSideOfTriangle(CTriTriangle* t, CTriPoint* ep, CTriPoint* eq);
  void FillEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node);
  int FillRightBelowEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node);
  int FillRightConcaveEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node);
  int FillRightConvexEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node);
  int FillLeftBelowEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node);
  int FillLeftConcaveEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node);
  int FillLeftConvexEdgeEvent(CTriSweepContext& tcx, CTriFrontNode* node);
  void EdgeInsertion(CTriSweepContext& tcx, CTriPoint* ep, CTriPoint* eq, CTriTriangle* t, CTriPoint* point);
  void FlipEdgeEvent(CTriSweepContext& tcx, CTriPoint* ep, CTriPoint* eq, CTriTriangle* t, CTriPoint* p);
  CTriTriangle* NextFlipTriangle(CTriSweepContext& tcx, TriOrientation o, CTriTriangle* t, CTriTriangle* ot,
                                 CTriPoint* p, CTriPoint* op);
  CTriPoint* NextFlipPoint(CTriPoint* ep, CTriPoint* eq, CTriTriangle* ot, CTriPoint* op);
  void FlipScanEdgeEvent(CTriSweepContext& tcx, CTriPoint* ep, CTriPoint* eq, CTriTriangle* flipTriangle,
                         CTriTriangle* t, CTriPoint* p);

  void FinalizePolygon(CTriSweepContext& tcx);
  void FinalizeConvexHull(CTriSweepContext& tcx);

  void Step();

  long m_stepsLeft = 0;
};

// Triangulates the polygon; holder receives the run's sweep while it lasts and is null again afterwards.
// Answers false, leaving the polygon without triangles, when the points break the sweep's preconditions (fewer
// than three, two equal, no extent in x or in y) or the outline turns out not to be simple.
bool TriangulatePolygon(CTriSweep*& holder, ITriangulatable& polygon);
