#include "document/engine_io/straight_road_parts.h"

#include "document/engine_io/engine_active_area.h"
#include "model/identifiers.h"

namespace EngineIo {

bool FindActiveStraightRoad(IQorRoadDoc* document, StraightRoadParts& parts)
{
  parts.area = FindActiveArea(document);
  if (!parts.area || !Query<IStraightRoad>(parts.area.get(), IID_IStraightRoad))
    return false;
  parts.road = Query<IRoad>(parts.area.get(), IID_IRoad);
  parts.sidewalks = Query<IPavement>(parts.area.get(), IID_IPavement);
  parts.walls = Query<IWall>(parts.area.get(), IID_IWall);
  parts.groups = Query<IGroupsOfDev>(parts.area.get(), IID_IGroupsOfDev);
  parts.results = Query<IResultsOfCalc>(parts.area.get(), IID_IResultsOfCalc);
  return parts.road && parts.sidewalks && parts.walls && parts.groups && parts.results;
}

ModelRef<ILineOfRoad> PresentStrip(IModelUnknown* owner, const IID& key)
{
  ModelRef<ILineOfRoad> strip = Query<ILineOfRoad>(owner, key);
  if (strip && *strip->GetState() == 0)
    return {};
  return strip;
}

CrossSection ReadCrossSection(const StraightRoadParts& parts)
{
  CrossSection s;
  const int state = *parts.road->GetState();
  s.carriagewayTakesPart = (state & 1) != 0 && (state & 2) == 0;
  s.sidewalksTakePart = (*parts.sidewalks->GetFlags() & kSideAbsent) == 0;
  s.wallsTakePart = (*parts.walls->GetFlags() & kSideAbsent) == 0;
  s.rightSidewalk = static_cast<bool>(PresentStrip(parts.sidewalks.get(), IID_RightPavement));
  s.leftSidewalk = static_cast<bool>(PresentStrip(parts.sidewalks.get(), IID_LeftPavement));
  s.rightWall = static_cast<bool>(PresentStrip(parts.walls.get(), IID_RightWall));
  s.leftWall = static_cast<bool>(PresentStrip(parts.walls.get(), IID_LeftWall));
  s.twoWay = parts.road->IsTwoWay() != 0;
  s.oppositeState = parts.road->GetOppositeState();
  s.mainLanes = parts.road->GetLaneCount(&kLaneMain);
  return s;
}

}  // namespace EngineIo
