#include "document/engine_io/engine_active_area.h"

#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/iproject.h"

namespace EngineIo {

ModelRef<IArea> FindActiveArea(IQorRoadDoc* document)
{
  if (!document)
    return {};
  void* out = nullptr;
  if (FAILED(document->QueryInterface(IID_IProject, &out)) || !out)
    return {};
  ModelRef<IProject> project(static_cast<IProject*>(out));
  return Query<IArea>(project.get(), IID_ActiveArea);
}

}  // namespace EngineIo
