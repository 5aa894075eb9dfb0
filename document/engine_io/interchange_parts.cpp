#include "document/engine_io/interchange_parts.h"

#include "document/engine_io/engine_active_area.h"
#include "model/identifiers.h"
#include "model/interchange.h"
#include "model/primitive.h"

namespace EngineIo {

bool FindActiveInterchange(IQorRoadDoc* document, InterchangeParts& parts)
{
  parts.area = FindActiveArea(document);
  if (!parts.area || !Query<ICustomizeRoad3D>(parts.area.get(), IID_ICustomizeRoad3D))
    return false;
  parts.site = Query<ICustomizeRoad>(parts.area.get(), IID_ICustomizeRoad);
  parts.groups = Query<IGroupsOfDev>(parts.area.get(), IID_IGroupsOfDev);
  parts.results = Query<IResultsOfCalc>(parts.area.get(), IID_IResultsOfCalc);
  return parts.site && parts.groups && parts.results;
}

int EffectiveState(const InterchangeParts& parts, IPrimitive* primitive)
{
  using namespace ObjectModel;
  int state = *primitive->GetState();
  const int membership = *primitive->GetMembership();
  int category = 5;
  if (membership == kMemberCarriageway)
    category = *parts.site->GetRoadState();
  else if (membership == kMemberSidewalk)
    category = *parts.site->GetSidewalkState();
  if ((category & kStateOn) == 0)
    state &= ~kStateOn;
  return state;
}

bool TakesPart(const InterchangeParts& parts, IPrimitive* primitive)
{
  return (EffectiveState(parts, primitive) & ObjectModel::kStateOn) != 0 &&
         *primitive->GetMembership() != ObjectModel::kMemberMarking;
}

bool IsCalculatedPolygon(const InterchangeParts& parts, IPrimitive* primitive)
{
  const int membership = *primitive->GetMembership();
  return ObjectModel::IsPolygonShape(*primitive->GetShape()) && TakesPart(parts, primitive) &&
         (membership == ObjectModel::kMemberCarriageway || membership == ObjectModel::kMemberSidewalk);
}

bool IsShadingPolygon(const InterchangeParts& parts, IPrimitive* primitive)
{
  return ObjectModel::IsPolygonShape(*primitive->GetShape()) && TakesPart(parts, primitive) &&
         *primitive->GetMembership() == ObjectModel::kMemberShading;
}

}  // namespace EngineIo
