#include "document/engine_io/open_territory_parts.h"

#include "model/cguid.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/iproject.h"

namespace EngineIo {

bool FindActiveOpenTerritory(IQorRoadDoc* document, OpenTerritoryParts& parts)
{
  if (!document)
    return false;
  void* out = nullptr;
  if (FAILED(document->QueryInterface(IID_IProject, &out)) || !out)
    return false;
  ModelRef<IProject> project(static_cast<IProject*>(out));
  parts.area = Query<IArea>(project.get(), IID_ActiveArea);
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
