#include "model/interchange.h"

#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/primitive.h"

namespace ObjectModel {

CCustomizeRoad3D::CCustomizeRoad3D(IQorRoadDoc* context, CClassObjModel* parent, int number)
    : CCustomizeRoad(context, parent, number)
{
  InitIdentity(CLSID_CCustomizeRoad3D, IDS_OBJ_INTERCHANGE);
  SetCaption(&m_name);
  CClassObjModel::AddRef();
  SetDefaults();
  ReleaseNoDelete();
}

HRESULT CCustomizeRoad3D::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_ICustomizeRoad3D)
    return AnswerInterface(static_cast<ICustomizeRoad3D*>(this), out);
  return CCustomizeRoad::QueryInterface(iid, out);
}

// One copy with the caller's flags: a destination that keeps its identity keeps it for its children too. The
// copy keeps the results and every surface with its point values, so that an undo state of a calculated
// interchange is still calculated; only a surface that had no mesh gets one made, as a fresh copy would.
int CCustomizeRoad3D::CopyTo(IClassObjModel* dst, DWORD flags)
{
  if (CCustomizeRoad::CopyTo(dst, flags) != 0)
    return 1;
  ICustomizeRoad* other = nullptr;
  if (FAILED(dst->QueryInterface(&IID_ICustomizeRoad, reinterpret_cast<void**>(&other))))
    return 1;
  auto* to = dynamic_cast<CCustomizeRoad3D*>(other);
  other->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  IPrimitive* from = GetFirstPrimitive();
  for (IPrimitive* copy = to->GetFirstPrimitive(); from && copy; from = from->GetNext(), copy = copy->GetNext()) {
    CPrimitiveCalcSurface* source = from->GetMeshHelper();
    CPrimitiveCalcSurface* surface = copy->GetMeshHelper();
    if (!source || !surface)
      continue;
    surface->CopyFrom(*source);
    const int membership = *copy->GetMembership();
    CArray<_CSPOINT3D>* outline = nullptr;
    copy->GetOutline(&outline);
    if (surface->GetMeshTriangleCount() == 0 && IsPolygonShape(*copy->GetShape()) &&
        membership != kMemberShading && membership != kMemberMarking && outline && outline->GetSize() > 2)
      surface->RebuildMesh();
  }
  return 0;
}

}  // namespace ObjectModel
