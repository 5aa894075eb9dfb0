// The open-territory engine's result file, the program's reader's layout.
#pragma once

#include <cstdint>
#include <vector>

#include "outside/engines/open_territory_calc.h"

namespace Engines {

std::vector<std::uint8_t> FormatOpenTerritoryResult(const OpenTerritoryResult& result);

}  // namespace Engines
