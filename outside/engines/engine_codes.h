// Result codes the straight-road engine delivers with its end message. 0, 8 and 9 mean what they mean to the
// calculation run; the others are the engine's own failures, which the program treats as silent failures.
#pragma once

namespace Engines {

enum EngineCode : int {
  kEngineOk = 0,
  kNoActiveObjects = 8,             // neither the carriageway nor any sidewalk takes part
  kNoActiveGroups = 9,              // no luminaire in the input
  kInputUnreadable = 11,            // the input file is missing, unreadable or too large
  kInputMalformed = 12,             // truncated, damaged or out-of-range input
  kReflectionTableUnreadable = 13,  // the r-table named by the input cannot be read or is damaged
  kResultNotWritten = 14,           // the result file cannot be written
  kCancelled = 15,                  // the user asked to stop
};

}  // namespace Engines
