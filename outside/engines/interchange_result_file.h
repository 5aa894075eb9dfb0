// The interchange engine's result file.
#pragma once

#include <cstdint>
#include <vector>

#include "outside/engines/interchange_calc.h"

namespace Engines {

std::vector<std::uint8_t> FormatInterchangeResult(const InterchangeResult& result);

}  // namespace Engines
