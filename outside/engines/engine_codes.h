// Result codes the engines deliver with their end message. 0, 8, 9 and 10 mean what they mean to the
// calculation run; the others are the engine's own failures, which the program treats as silent failures.
#pragma once

namespace Engines {

enum EngineCode : int {
  kEngineOk = 0,
  kNoActiveObjects = 8,             // neither the carriageway nor any sidewalk takes part
  kNoActiveGroups = 9,              // no luminaire in the input
  kGridStepTooCoarse = 10,          // open site: the user's grid step does not fit twice into the window
  kInputUnreadable = 11,            // the input file is missing, unreadable or too large
  kInputMalformed = 12,             // truncated, damaged or out-of-range input
  kReflectionTableUnreadable = 13,  // the r-table named by the input cannot be read or is damaged
  kResultNotWritten = 14,           // the result file cannot be written
  kCancelled = 15,                  // the user asked to stop
};

}  // namespace Engines
