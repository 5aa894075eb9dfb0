// The interchange engine from file to file: reads the input, calculates, writes the result, and tells the host
// its progress and, at the end, its code.
#pragma once

#include <string>

#include "outside/engines/engine_host.h"
#include "outside/engines/interchange_calc.h"

namespace Engines {

// Returns the code it has delivered through host.Finish; `message`, when given, says what went wrong. The paths
// are the program's: code page 1251, '\' or '/' between the folders.
int RunInterchangeEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                         std::string* message = nullptr, const InterchangeOptions& options = {});

}  // namespace Engines
