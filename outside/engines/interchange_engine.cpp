#include "outside/engines/interchange_engine.h"

#include <algorithm>

#include "outside/engines/engine_run.h"
#include "outside/engines/interchange_result_file.h"
#include "outside/engines/open_territory_input.h"

namespace Engines {

int RunInterchangeEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                         std::string* message, const InterchangeOptions& options)
{
  // More points or decks than this machine can hold is reported, not thrown.
  return RunEngineFromFileToFile(
      inputPath, resultPath, host, message, OutOfMemory::kReport, ParseInterchangeInput,
      [&](const OpenTerritoryInput& input, std::vector<std::uint8_t>& bytes, std::string& why) -> int {
        int code = CheckSomethingToLight(input.carriagewayTakesPart || input.sidewalkTakesPart,
                                         !input.luminaires.empty());
        if (code != kEngineOk)
          return code;
        if (input.userGrid && std::min(input.length, input.width) < 2.0 * input.gridStep)
          return kGridStepTooCoarse;
        InterchangeResult result;
        code = CalculateInterchange(input, host, result, &why, options);
        if (code == kEngineOk)
          bytes = FormatInterchangeResult(result);
        return code;
      });
}

}  // namespace Engines
