#include "document/engine_io/open_territory_parts.h"

#include "document/engine_io/engine_active_area.h"
#include "model/cguid.h"
#include "model/identifiers.h"

namespace EngineIo {

bool FindActiveOpenTerritory(IQorRoadDoc* document, OpenTerritoryParts& parts)
{
  parts.area = FindActiveArea(document);
  ModelRef<IClassObjModel> object = Query<IClassObjModel>(parts.area.get(), IID_IClassObjModel);
  if (!object)
    return false;
  CGuid kind;
  object->GetClassId(&kind);
  if (!kind.IsEqual(&CLSID_CCustomizeRoad))
    return false;
  parts.site = Query<ICustomizeRoad>(parts.area.get(), IID_ICustomizeRoad);
  parts.groups = Query<IGroupsOfDev>(parts.area.get(), IID_IGroupsOfDev);
  parts.results = Query<IResultsOfCalc>(parts.area.get(), IID_IResultsOfCalc);
  return parts.site && parts.groups && parts.results;
}

}  // namespace EngineIo
