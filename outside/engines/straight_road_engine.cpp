#include "outside/engines/straight_road_engine.h"

#include <optional>

#include "outside/engines/engine_run.h"
#include "outside/engines/road_calc.h"
#include "outside/engines/road_input.h"
#include "outside/engines/road_result_file.h"

namespace Engines {

int RunStraightRoadEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                          std::string* message)
{
  return RunEngineFromFileToFile(
      inputPath, resultPath, host, message, OutOfMemory::kThrow, ParseStraightRoadInput,
      [&](const StraightRoadInput& input, std::vector<std::uint8_t>& bytes, std::string& why) -> int {
        int code = CheckSomethingToLight(
            input.carriagewayTakesPart || input.RightSidewalk() || input.LeftSidewalk(), !input.luminaires.empty());
        if (code != kEngineOk)
          return code;
        std::optional<ReflectionTable> rtable;
        if (input.carriagewayTakesPart) {
          // Line 2 of the input is a program path too.
          rtable = LoadRtb(platform::ToFileSystemPath(input.reflectionTablePath), &why);
          if (!rtable)
            return kReflectionTableUnreadable;
        }
        StraightRoadResult result;
        code = CalculateStraightRoad(input, rtable ? &*rtable : nullptr, host, result, &why);
        if (code == kEngineOk)
          bytes = FormatStraightRoadResult(input, result);
        return code;
      });
}

}  // namespace Engines
