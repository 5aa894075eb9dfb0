// The open-site calculation: horizontal illuminance on every node of the calculation grid that lies on a
// primitive taking part, with the shadows of the shading objects, and one summary record per zone (carriageway,
// sidewalk). Parallel over pieces of the grid on all cores; the calling thread alone talks to the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "outside/engines/engine_codes.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/open_territory_input.h"
#include "outside/engines/open_territory_site.h"

namespace Engines {

// A node that lies on no surface taking part, or under a shading object standing on it.
inline constexpr std::int32_t kNodeWithoutValue = -1;

struct ZoneRecord {
  std::int32_t kind = 0;  // 0 carriageway, 1 sidewalk
  float average = 0, minimum = 0, maximum = 0;
  float uniformity = 0;  // minimum/average
  float minToMax = 0;    // minimum/maximum, the record's fifth value
  float i80 = 0, i85 = 0;  // cd/klm
  float utilisation = 0;
};

struct OpenTerritoryResult {
  std::vector<float> xs, ys;
  std::vector<float> e;               // xs.size() x ys.size(), X-major: node (i, j) at i * ys.size() + j
  std::vector<std::int32_t> state;    // the node's zone (SiteZone), or kNodeWithoutValue
  std::vector<ZoneRecord> zones;
  // What the run did (also after a cancel): for benchmarks and tests.
  std::uint64_t evaluations = 0;      // point-luminaire pairs evaluated
  std::size_t pieces = 0;             // pieces of the grid the work was cut into
  std::size_t piecesComputed = 0;
};

struct OpenTerritoryOptions {
  unsigned threads = 0;  // 0: one per core
};

struct SiteGrid {
  std::vector<double> xs, ys;
};

// Largest grid the engine takes on (a 2 km square at half a metre).
inline constexpr std::size_t kMaxGridNodes = 16'100'000;
// The nodes of the window: both ends of each side included, equally spaced at the step (the user's, or one the
// engine chooses) fitted to the side. Returns the code: 0, 10 (the user's step is too coarse) or 12.
int MakeSiteGrid(const OpenTerritoryInput& in, SiteGrid& grid, std::string* message);

int CalculateOpenTerritory(const OpenTerritoryInput& in, EngineHost& host, OpenTerritoryResult& result,
                           std::string* message, const OpenTerritoryOptions& options = {});

}  // namespace Engines
