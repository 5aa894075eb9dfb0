// The area kind of a straight road with a regular cross-section: carriageway, sidewalks, walls, groups of poles
// and the results of the straight-road calculation, each a child handed out through QueryInterface.
#pragma once

#include "model/area.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iresults.h"
#include "model/iroad.h"

namespace ObjectModel {

class CStraightRoad : public CArea, public IStraightRoad {
public:
  CStraightRoad(IQorRoadDoc* context, CClassObjModel* parent, int number);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  int ClearSelection() override;
  int BuildTypicalForm() override { return 1; }
  int OnKeyDown(UINT, UINT, UINT) override { return 1; }
  int TestKeyDown(UINT) override { return 1; }

protected:
  ~CStraightRoad() override;

private:
  // The children as their model objects, in file order.
  IClassObjModel* Child(IModelUnknown* part);

  IRoad* m_road = nullptr;
  IPavement* m_pavement = nullptr;
  IWall* m_wall = nullptr;
  IGroupsOfDev* m_groups = nullptr;
  DWORD m_copyFlags = 0;
  IResultsOfCalc* m_results = nullptr;
};

}  // namespace ObjectModel
