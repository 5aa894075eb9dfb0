#include "outside/engines/open_territory_engine.h"

#include <new>

#include "outside/engines/engine_codes.h"
#include "outside/engines/file_io.h"
#include "outside/engines/open_territory_input.h"
#include "outside/engines/open_territory_result_file.h"
#include "platform/base/paths.h"

namespace Engines {
namespace {

int Calculate(const std::string& inputProgramPath, const std::string& resultProgramPath, EngineHost& host,
              std::string& message, const OpenTerritoryOptions& options)
{
  const std::string inputPath = platform::ToFileSystemPath(inputProgramPath);
  const std::string resultPath = platform::ToFileSystemPath(resultProgramPath);
  host.Progress(0);
  std::string text;
  if (!ReadWholeFile(inputPath, kMaxTextFileBytes, text, &message))
    return kInputUnreadable;
  auto input = ParseOpenTerritoryInput(text, &message);
  if (!input) {
    message = "input: " + message;
    return kInputMalformed;
  }
  // The same answers the program's own writer gives for these inputs.
  if (!input->carriagewayTakesPart && !input->sidewalkTakesPart)
    return kNoActiveObjects;
  if (input->luminaires.empty())
    return kNoActiveGroups;
  OpenTerritoryResult result;
  int code = CalculateOpenTerritory(*input, host, result, &message, options);
  if (code != kEngineOk)
    return code;
  if (!WriteWholeFile(resultPath, FormatOpenTerritoryResult(result))) {
    message = "cannot write \"" + resultPath + "\"";
    return kResultNotWritten;
  }
  return kEngineOk;
}

}  // namespace

int RunOpenTerritoryEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                           std::string* message, const OpenTerritoryOptions& options)
{
  std::string why;
  int code;
  try {
    code = Calculate(inputPath, resultPath, host, why, options);
  } catch (const std::bad_alloc&) {
    // A grid or site larger than this machine can hold: a failure to report, not to crash the program with.
    why = "not enough memory for the calculation";
    code = kInputMalformed;
  }
  if (code == kCancelled)
    why = "cancelled";
  if (message)
    *message = why;
  host.Finish(code);
  return code;
}

}  // namespace Engines
