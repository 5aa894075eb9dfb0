// What the open-territory input writer and result reader both ask of the model: the active area when it is an
// open site in one level (a free open territory or a typical road form), with the parts they read.
#pragma once

#include "document/engine_io/straight_road_parts.h"
#include "model/iprimitive.h"

namespace EngineIo {

struct OpenTerritoryParts {
  ModelRef<IArea> area;
  ModelRef<ICustomizeRoad> site;
  ModelRef<IGroupsOfDev> groups;
  ModelRef<IResultsOfCalc> results;
};

// The active area of the document's current project, when it is an open site with all its parts. A multi-level
// interchange answers the same interfaces but has an engine of its own, so it is not taken here.
bool FindActiveOpenTerritory(IQorRoadDoc* document, OpenTerritoryParts& parts);

}  // namespace EngineIo
