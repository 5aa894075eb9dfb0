// What the engines share from file to file: the input read and parsed, the result written, and the code
// delivered to the host. Each engine brings its own parser and calculation.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "outside/engines/engine_codes.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/file_io.h"
#include "platform/base/paths.h"

namespace Engines {

// The same answers the program's own writer gives for these inputs.
inline int CheckSomethingToLight(bool anyObjectTakesPart, bool anyLuminaire)
{
  if (!anyObjectTakesPart)
    return kNoActiveObjects;
  if (!anyLuminaire)
    return kNoActiveGroups;
  return kEngineOk;
}

// Whether running out of memory is a code for the host or an exception for the caller.
enum class OutOfMemory { kThrow, kReport };

// `parse(text, &message)` gives the input or nothing; `calculate(input, bytes, message)` answers a code and, with
// kEngineOk, the result file's bytes. The paths are the program's: code page 1251, '\' or '/' between the folders.
template <class Parse, class Calculate>
int RunEngineFromFileToFile(const std::string& inputProgramPath, const std::string& resultProgramPath,
                            EngineHost& host, std::string* message, OutOfMemory outOfMemory, Parse parse,
                            Calculate calculate)
{
  auto run = [&](std::string& why) -> int {
    const std::string inputPath = platform::ToFileSystemPath(inputProgramPath);
    const std::string resultPath = platform::ToFileSystemPath(resultProgramPath);
    host.Progress(0);
    std::string text;
    if (!ReadWholeFile(inputPath, kMaxTextFileBytes, text, &why))
      return kInputUnreadable;
    auto input = parse(text, &why);
    if (!input) {
      why = "input: " + why;
      return kInputMalformed;
    }
    std::vector<std::uint8_t> bytes;
    const int code = calculate(*input, bytes, why);
    if (code != kEngineOk)
      return code;
    if (!WriteWholeFile(resultPath, bytes)) {
      why = "cannot write \"" + resultPath + "\"";
      return kResultNotWritten;
    }
    return kEngineOk;
  };
  std::string why;
  int code;
  if (outOfMemory == OutOfMemory::kReport) {
    try {
      code = run(why);
    } catch (const std::bad_alloc&) {
      // An input larger than this machine can hold: a failure to report, not to crash the program with.
      why = "not enough memory for the calculation";
      code = kInputMalformed;
    }
  } else {
    code = run(why);
  }
  if (code == kCancelled)
    why = "cancelled";
  if (message)
    *message = why;
  host.Finish(code);
  return code;
}

}  // namespace Engines
