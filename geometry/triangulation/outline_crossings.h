// Whether the edges of an outline (or of any set of constraint edges) meet anywhere but at the end point two
// neighbouring edges share: a crossing, a vertex lying on another edge, two edges overlapping along a line, or
// two vertices at one place. The sweep triangulation and the user's outline check both refuse such outlines.
//
// The test is the Shamos-Hoey sweep: edges enter an ordered list when a vertical line moving right reaches their
// left end and leave it at their right end, and only edges that become neighbours in the list are tested against
// each other. The first contact in sweep order is always found between two neighbours, so O(n log n) suffices.
// Every decision rests on the exact sign of a turn, so the list's order never contradicts itself and a touch by
// a hair is a touch.
#pragma once

#include <cstdint>
#include <vector>

class CTriPoint;

// The exact sign of the turn a -> b -> c: +1 counter-clockwise, -1 clockwise, 0 on one line. Exact for any
// finite coordinates whose products neither overflow nor underflow.
int ExactTurn(double ax, double ay, double bx, double by, double cx, double cy);

struct PlanPoint {
  double x;
  double y;
};

// An edge between two points of a list, by index. An edge from a point to itself is no edge and is skipped.
struct PlanEdge {
  std::uint32_t from;
  std::uint32_t to;
};

// True when two of the edges meet other than at a point they share as an end, when two of them join the same
// two points, or when two of their end points lie at one place.
bool EdgesCrossOrTouch(const std::vector<PlanPoint>& points, const std::vector<PlanEdge>& edges);

// The same test on the constraints the sweep will insert: those held by the points (each by its upper end).
bool ConstraintsCrossOrTouch(const std::vector<CTriPoint*>& points);
