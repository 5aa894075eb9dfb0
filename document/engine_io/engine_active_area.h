// The area the engines work on: the active area of the document's current project.
#pragma once

#include "document/engine_io/straight_road_parts.h"

struct IQorRoadDoc;

namespace EngineIo {

// Empty without a document, a project or an active area.
ModelRef<IArea> FindActiveArea(IQorRoadDoc* document);

}  // namespace EngineIo
