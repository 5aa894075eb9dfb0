#include "app/tree_text.h"

#include "app/panes/parameters/model_ref.h"
#include "model/cguid.h"
#include "model/class_obj_model.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iproject.h"

using VisualCtrl::ModelRef;
using VisualCtrl::Query;

CString TreeItemText(IClassObjModel* object)
{
  if (!object)
    return CString();
  CGuid kind;
  object->GetClassId(&kind);
  if (kind.IsEqual(&CLSID_CProject)) {
    ModelRef<IProject> project = Query<IProject>(object, IID_IProject);
    return project ? *project->GetName() : CString();
  }
  if (kind.IsEqual(&CLSID_CStraightRoad) || kind.IsEqual(&CLSID_CCustomizeRoad) ||
      kind.IsEqual(&CLSID_CCustomizeRoad3D)) {
    ModelRef<IArea> area = Query<IArea>(object, IID_IArea);
    return area ? *area->GetCaption() : CString();
  }
  if (kind.IsEqual(&CLSID_CGroupOfDev)) {
    ModelRef<IGroupOfDev> group = Query<IGroupOfDev>(object, IID_IGroupOfDev);
    if (!group)
      return CString();
    CString text;
    text.Format(*group->GetMountingKind() == 1 ? "М%ld:%s" : "%ld:%s", static_cast<long>(*group->GetNumber()),
                static_cast<LPCSTR>(*group->GetName()));
    return text;
  }
  if (kind.IsEqual(&CLSID_CPrimitive)) {
    ModelRef<IPrimitive> primitive = Query<IPrimitive>(object, IID_IPrimitive);
    return primitive ? *primitive->GetName() : CString();
  }
  if (kind.IsEqual(&CLSID_CGroupOfPrimitive)) {
    ModelRef<IGroupOfPrimitive> group = Query<IGroupOfPrimitive>(object, IID_IGroupOfPrimitive);
    return group ? *group->GetName() : CString();
  }
  return CString();
}
