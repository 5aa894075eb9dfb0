#include "outside/engines/straight_road_engine.h"

#include "outside/engines/engine_codes.h"
#include "outside/engines/file_io.h"
#include "outside/engines/road_calc.h"
#include "outside/engines/road_input.h"
#include "outside/engines/road_result_file.h"
#include "platform/base/paths.h"

namespace Engines {
namespace {

// Paths arrive as the program writes them: code page 1251, perhaps with '\' between the folders.
int Calculate(const std::string& inputProgramPath, const std::string& resultProgramPath, EngineHost& host,
              std::string& message)
{
  const std::string inputPath = platform::ToFileSystemPath(inputProgramPath);
  const std::string resultPath = platform::ToFileSystemPath(resultProgramPath);
  host.Progress(0);
  std::string text;
  if (!ReadWholeFile(inputPath, kMaxTextFileBytes, text, &message))
    return kInputUnreadable;
  auto input = ParseStraightRoadInput(text, &message);
  if (!input) {
    message = "input: " + message;
    return kInputMalformed;
  }
  // The same answers the program's own writer gives for these inputs.
  if (!input->carriagewayTakesPart && !input->RightSidewalk() && !input->LeftSidewalk())
    return kNoActiveObjects;
  if (input->luminaires.empty())
    return kNoActiveGroups;

  std::optional<ReflectionTable> rtable;
  if (input->carriagewayTakesPart) {
    rtable = LoadRtb(platform::ToFileSystemPath(input->reflectionTablePath), &message);
    if (!rtable)
      return kReflectionTableUnreadable;
  }
  StraightRoadResult result;
  int code = CalculateStraightRoad(*input, rtable ? &*rtable : nullptr, host, result, &message);
  if (code != kEngineOk)
    return code;
  if (!WriteWholeFile(resultPath, FormatStraightRoadResult(*input, result))) {
    message = "cannot write \"" + resultPath + "\"";
    return kResultNotWritten;
  }
  return kEngineOk;
}

}  // namespace

int RunStraightRoadEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                          std::string* message)
{
  std::string why;
  int code = Calculate(inputPath, resultPath, host, why);
  if (code == kCancelled)
    why = "cancelled";
  if (message)
    *message = why;
  host.Finish(code);
  return code;
}

}  // namespace Engines
