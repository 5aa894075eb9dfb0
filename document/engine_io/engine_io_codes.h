// Codes of the program's side of the engine exchange. 0, 8, 9 and 10 are the codes the calculation run knows
// from the writers and engines (messages 353, 354 and 748); the others are failures of the exchange itself that
// the run reports instead of starting the engine (writers) or instead of showing results (readers). None of them
// collides with an engine's own codes (11 to 15).
#pragma once

namespace EngineIo {

enum Code : int {
  kOk = 0,
  kNoActiveObjects = 8,  // neither the carriageway nor a sidewalk takes part
  kNoActiveGroups = 9,   // no switched-on group has a luminaire to place
  kGridStepTooCoarse = 10,

  // Writers.
  kInputNotCreated = 20,     // the input file cannot be created
  kInputNotWritten = 21,     // writing it failed (disk full)
  kNoIntensityTable = 22,    // a luminaire type to be written has no plane or no gamma angle
  kNoAreaOfThisKind = 23,    // no current project, no active area, or an area of another kind
  kOutlineRefused = 24,      // a polygon that takes part crosses or touches itself: it has no mesh to write

  // Readers.
  kResultMissing = 30,  // the result file cannot be opened
  kResultDamaged = 31,  // the result file ends early or its counts exceed what it holds
};

}  // namespace EngineIo
