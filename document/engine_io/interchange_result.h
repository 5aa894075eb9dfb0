// The interchange engine's result file: 4-byte little-endian IEEE floats, no header, no counts. The flux the
// utilisation factors are related to, I80 and I85, then one value per calculation point of every carriageway
// and sidewalk polygon that takes part, in primitive and point order, and one value for every shading polygon
// that takes part. How many follow is known only from the model, so the reader walks it with the writer's rule.
#pragma once

class CString;
struct IQorRoadDoc;

// Stores the values in the polygons' calculation surfaces, condenses them into one summary per primitive or
// user group of primitives and one per zone in the active interchange's results, and colours the surfaces on
// one scale. 0 when the whole file was read (`valid` 1); EngineIo::kResultMissing when it cannot be opened;
// EngineIo::kResultDamaged when it holds fewer values than the model asks for (no surface is touched and the
// results stay cleared); EngineIo::kNoAreaOfThisKind without an active interchange. Values after the last
// expected one are ignored.
int ReadEngineResult5(IQorRoadDoc* document, const CString& path);
