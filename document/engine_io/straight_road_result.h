// The straight-road engine's result file: 4-byte little-endian items (uint32 counts, int32 node steps, IEEE
// floats), no header and no tags. Which sections it holds follows from the road the input was written from, so
// the reader asks the same model the writer asked; the run keeps the project unchanged in between.
#pragma once

class CString;
struct IQorRoadDoc;

// Clears the active straight road's results and fills them from the file. 0 when the whole layout was read
// (`valid` 1); EngineIo::kResultMissing when the file cannot be opened, EngineIo::kResultDamaged when it ends
// early or a count asks for more than the file holds (the results are then left cleared, `valid` 0);
// EngineIo::kNoAreaOfThisKind without an active straight road. Data after the last expected item is ignored.
int ReadEngineResult1(IQorRoadDoc* document, const CString& path);
