// The decks of a multi-level interchange as obstacles to light: the triangles of every polygon's calculation mesh
// and the flat simple shapes, each an opaque sheet. A deck holds light back only where it passes well above or
// below the lit point, so the sheet a point stands on, the seams where decks meet and the writer's millimetre
// lifts never shade it; a deck that crosses over a road clears it by metres.
//
// The triangles stand in a bounding-volume hierarchy, so a way to a light looks at a few boxes and triangles
// instead of all of them. Its upper levels part whole decks (by the middles of their boxes), so a way that
// leaves a deck upwards drops that deck's whole subtree at once; within one deck, triangles are split at the
// median along the longest side.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "outside/engines/open_territory_site.h"
#include "outside/engines/vec3.h"

namespace Engines {

// How far above or below the point a deck must be met to shade it, metres.
inline constexpr double kDeckClearance = 0.5;

// A flat simple shape: its plan at one height.
struct DeckPlate {
  Footprint plan;
  double z = 0.0;
};

class DeckShadows {
public:
  DeckShadows() = default;
  using Sheet = std::vector<std::array<Vec3, 3>>;  // the triangles of one deck
  DeckShadows(const std::vector<Sheet>& sheets, std::vector<DeckPlate> plates);

  // True when a deck lies on the straight way from the point to the light, at least kDeckClearance above or
  // below the point.
  bool Blocks(Vec3 point, Vec3 light) const;

  bool Empty() const { return triangles_.empty() && plates_.empty(); }
  // Roughly the work of one Blocks, in edges looked at.
  double Cost() const;

private:
  struct Box {
    Vec3 lo, hi;
  };
  struct Node {
    Box box;
    std::uint32_t first = 0;  // leaf: first triangle; inner: the right child (the left one follows the node)
    std::uint32_t count = 0;  // triangles of a leaf; 0 for an inner node
  };
  std::uint32_t Build(std::uint32_t first, std::uint32_t count, int depth);
  bool HitsTriangle(const std::array<Vec3, 3>& t, Vec3 origin, Vec3 way, double t0, double t1) const;

  std::vector<std::array<Vec3, 3>> triangles_;
  std::vector<Node> nodes_;
  // While building: each triangle's deck and centre, each deck's middle.
  std::vector<std::uint32_t> deckOf_;
  std::vector<Vec3> centres_, deckMiddles_;
  std::vector<DeckPlate> plates_;
};

}  // namespace Engines
