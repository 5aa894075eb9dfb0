#include "outside/engines/open_territory_engine.h"

#include "outside/engines/engine_run.h"
#include "outside/engines/open_territory_input.h"
#include "outside/engines/open_territory_result_file.h"

namespace Engines {

int RunOpenTerritoryEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                           std::string* message, const OpenTerritoryOptions& options)
{
  // A grid or site larger than this machine can hold is reported, not thrown.
  return RunEngineFromFileToFile(
      inputPath, resultPath, host, message, OutOfMemory::kReport, ParseOpenTerritoryInput,
      [&](const OpenTerritoryInput& input, std::vector<std::uint8_t>& bytes, std::string& why) -> int {
        int code = CheckSomethingToLight(input.carriagewayTakesPart || input.sidewalkTakesPart,
                                         !input.luminaires.empty());
        if (code != kEngineOk)
          return code;
        OpenTerritoryResult result;
        code = CalculateOpenTerritory(input, host, result, &why, options);
        if (code == kEngineOk)
          bytes = FormatOpenTerritoryResult(result);
        return code;
      });
}

}  // namespace Engines
