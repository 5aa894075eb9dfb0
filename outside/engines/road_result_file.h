// The result file of the straight-road engine: 4-byte little-endian items (uint32 counts, int32 node steps,
// IEEE floats), no header, no tags; which sections stand in it follows from the input that asked for it.
#pragma once

#include <cstdint>
#include <vector>

#include "outside/engines/road_calc.h"
#include "outside/engines/road_input.h"

namespace Engines {

std::vector<std::uint8_t> FormatStraightRoadResult(const StraightRoadInput& in, const StraightRoadResult& res);

}  // namespace Engines
