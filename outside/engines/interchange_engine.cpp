#include "outside/engines/interchange_engine.h"

#include <algorithm>
#include <new>

#include "outside/engines/engine_codes.h"
#include "outside/engines/file_io.h"
#include "outside/engines/interchange_result_file.h"
#include "outside/engines/open_territory_input.h"
#include "platform/base/paths.h"

namespace Engines {
namespace {

int Calculate(const std::string& inputProgramPath, const std::string& resultProgramPath, EngineHost& host,
              std::string& message, const InterchangeOptions& options)
{
  const std::string inputPath = platform::ToFileSystemPath(inputProgramPath);
  const std::string resultPath = platform::ToFileSystemPath(resultProgramPath);
  host.Progress(0);
  std::string text;
  if (!ReadWholeFile(inputPath, kMaxTextFileBytes, text, &message))
    return kInputUnreadable;
  auto input = ParseInterchangeInput(text, &message);
  if (!input) {
    message = "input: " + message;
    return kInputMalformed;
  }
  // The same answers the program's own writer gives for these inputs.
  if (!input->carriagewayTakesPart && !input->sidewalkTakesPart)
    return kNoActiveObjects;
  if (input->luminaires.empty())
    return kNoActiveGroups;
  if (input->userGrid && std::min(input->length, input->width) < 2.0 * input->gridStep)
    return kGridStepTooCoarse;
  InterchangeResult result;
  int code = CalculateInterchange(*input, host, result, &message, options);
  if (code != kEngineOk)
    return code;
  if (!WriteWholeFile(resultPath, FormatInterchangeResult(result))) {
    message = "cannot write \"" + resultPath + "\"";
    return kResultNotWritten;
  }
  return kEngineOk;
}

}  // namespace

int RunInterchangeEngine(const std::string& inputPath, const std::string& resultPath, EngineHost& host,
                         std::string* message, const InterchangeOptions& options)
{
  std::string why;
  int code;
  try {
    code = Calculate(inputPath, resultPath, host, why, options);
  } catch (const std::bad_alloc&) {
    // More points or decks than this machine can hold: a failure to report, not to crash the program with.
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
