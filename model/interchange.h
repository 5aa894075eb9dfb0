// The area kind of multi-level road interchanges: an open territory whose polygons carry heights in their
// vertices. It is calculated on the meshes of its polygons' calculation surfaces rather than on a grid, and
// the results are shown on those surfaces.
#pragma once

#include "model/customize_road.h"

// The marker that tells an interchange from an open territory; nothing beyond the three first operations.
struct ICustomizeRoad3D : IModelUnknown {
protected:
  ~ICustomizeRoad3D() = default;
};

namespace ObjectModel {

class CCustomizeRoad3D : public CCustomizeRoad, public ICustomizeRoad3D {
public:
  CCustomizeRoad3D(IQorRoadDoc* context, CClassObjModel* parent, int number);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

protected:
  ~CCustomizeRoad3D() override = default;
};

}  // namespace ObjectModel
