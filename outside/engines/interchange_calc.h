// The interchange calculation: illuminance at every calculation point of every carriageway and sidewalk polygon,
// on the surface's own normal, with the shadows of the decks above (or below) and of the shading objects; and the
// installation's flux, I80 and I85. Parallel over pieces of the points on all cores; the calling thread alone
// talks to the host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "outside/engines/engine_codes.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/open_territory_input.h"

namespace Engines {

// What the program reads back for a polygon of the file: one value per calculation point of a carriageway or
// sidewalk polygon, one (dropped) value for a shading object, nothing for the others, whose points it ignores.
enum class PolygonAnswer { PointValues, OneValue, Nothing };
PolygonAnswer AnswerFor(SiteMembership membership);

struct AnsweredPolygon {
  SiteMembership membership = SiteMembership::Carriageway;
  std::vector<float> values;  // per calculation point, in the file's order; empty unless PointValues
};

struct InterchangeResult {
  float flux = 0.0f;  // lm: the lamps' flux, maintained, so that landed flux over it is the new installation's
  float i80 = 0.0f, i85 = 0.0f;  // cd/klm
  std::vector<AnsweredPolygon> polygons;  // every polygon of the input, in its order
  // What the run did (also after a cancel): for benchmarks and tests.
  std::uint64_t evaluations = 0;
  std::size_t pieces = 0;
  std::size_t piecesComputed = 0;
};

struct InterchangeOptions {
  unsigned threads = 0;  // 0: one per core
};

int CalculateInterchange(const OpenTerritoryInput& in, EngineHost& host, InterchangeResult& result,
                         std::string* message, const InterchangeOptions& options = {});

}  // namespace Engines
