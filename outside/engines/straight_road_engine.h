// The straight-road engine from file to file: reads the input, calculates, writes the result, and tells the host
// its progress and, at the end, its code.
#pragma once

#include <string>

#include "outside/engines/engine_host.h"

namespace Engines {

// Returns the code it has delivered through host.Finish; `message`, when given, says what went wrong. The paths,
// here and on line 2 of the input, are the program's: code page 1251, '\' or '/' between the folders.
int RunStraightRoadEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                          std::string* message = nullptr);

}  // namespace Engines
