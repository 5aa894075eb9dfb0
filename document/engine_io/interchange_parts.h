// What the interchange input writer, its preparation and the result reader all ask of the model: the active
// interchange's parts and which primitives take part. The result file does not describe its own layout, so the
// reader must walk the primitives with exactly the writer's rule.
#pragma once

#include "document/engine_io/straight_road_parts.h"
#include "model/iprimitive.h"

struct IQorRoadDoc;

namespace EngineIo {

struct InterchangeParts {
  ModelRef<IArea> area;
  ModelRef<ICustomizeRoad> site;
  ModelRef<IGroupsOfDev> groups;
  ModelRef<IResultsOfCalc> results;
};

// The active area of the document's current project, when it is a multi-level interchange.
bool FindActiveInterchange(IQorRoadDoc* document, InterchangeParts& parts);

// The primitive's state word after the category rule: bit 0 goes when the carriageway (membership 1) or the
// sidewalk (membership 2) is switched off as a whole.
int EffectiveState(const InterchangeParts& parts, IPrimitive* primitive);

// Taken into the engine input: switched on, and not road marking.
bool TakesPart(const InterchangeParts& parts, IPrimitive* primitive);

// A polygon the engine calculates point by point: a carriageway or sidewalk polygon that takes part.
bool IsCalculatedPolygon(const InterchangeParts& parts, IPrimitive* primitive);
// A shading polygon that takes part: the engine answers one value for it.
bool IsShadingPolygon(const InterchangeParts& parts, IPrimitive* primitive);

}  // namespace EngineIo
