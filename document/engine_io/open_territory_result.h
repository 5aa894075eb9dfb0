// The open-site engine's result file: 4-byte little-endian items (uint32 counts, IEEE floats, int32 node states
// and zone kinds), no header and no tags.
#pragma once

class CString;
struct IQorRoadDoc;

// Clears the active open site's results and fills them from the file: the grid's axes, its values, its node
// states and the zone records. 0 when everything the counts promise was read (`valid` 1);
// EngineIo::kResultMissing when the file cannot be opened (the results are left as they were);
// EngineIo::kResultDamaged when it ends early or a count asks for more than the file holds (the results are then
// left cleared, `valid` 0); EngineIo::kNoAreaOfThisKind without an active open site. Data after the last zone
// record is ignored.
int ReadEngineResult3(IQorRoadDoc* document, const CString& path);
