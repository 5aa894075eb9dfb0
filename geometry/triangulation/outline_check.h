// The check a user's polygon passes before either triangulation sees it: repeated points are dropped, and an
// outline that crosses or touches itself, or encloses nothing, is refused with a message for the user.
#pragma once

#include "model/ipole.h"
#include "platform/mfc-core/array.h"

#include <cstddef>
#include <vector>

enum class OutlineFault {
  kNone,
  kTooFewPoints,  // fewer than three distinct points, or all of them on one line
  kSelfCrossing,  // two edges cross, touch or overlap, or a vertex is visited twice
};

struct OutlinePoint {
  double x;
  double y;
};

struct OutlineCheck {
  OutlineFault fault = OutlineFault::kNone;
  // The points that stay, as indices into the outline, in outline order.
  std::vector<size_t> kept;
  // For the user; null when the outline is accepted.
  const char* Message() const;
};

// Two outline points closer than this in plan are the same point: far below what a drawing or typed
// coordinates resolve (a micrometre), far above the rounding of coordinates that snapped to the same point.
inline constexpr double kRepeatedPointDistance = 1e-6;

OutlineCheck CheckPolygonOutline(const std::vector<OutlinePoint>& outline);

// The check on a primitive's outline, dropping the repeated points from it when it passes. Answers the message
// to show when the outline is refused (the outline then stays as it was), null when it passes.
const char* PreparePolygonOutline(CArray<_CSPOINT3D>& outline);
