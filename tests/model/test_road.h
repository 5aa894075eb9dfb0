// A straight road assembled from the real area base and the real cross-section parts, for tests of the parts
// that reach their area through their parent.
#pragma once

#include "model/area.h"
#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/pavement.h"
#include "model/results.h"
#include "model/road.h"

#include <initializer_list>
#include <vector>

class TestStraightRoad : public ObjectModel::CArea, public IStraightRoad {
public:
  explicit TestStraightRoad(IQorRoadDoc* context, int number = 1) : CArea(nullptr, context, number)
  {
    InitIdentity(CLSID_CStraightRoad, ObjectModel::IDS_OBJ_STRAIGHT_ROAD);
    SetCaption(&m_name);
    Take(new ObjectModel::CRoad(this), IID_IRoad, road);
    Take(new ObjectModel::CPavement(this), IID_IPavement, pavement);
    Take(new ObjectModel::CWall(this), IID_IWall, wall);
    Take(new ObjectModel::CResultsOfCalc(), IID_IResultsOfCalc, results);
  }

  HRESULT QueryInterface(const IID* iid, void** out) override
  {
    *out = nullptr;
    if (*iid == IID_IStraightRoad)
      return ObjectModel::AnswerInterface(static_cast<IStraightRoad*>(this), out);
    if (*iid == IID_IRoad)
      return ObjectModel::AnswerInterface(road, out);
    if (*iid == IID_IPavement)
      return ObjectModel::AnswerInterface(pavement, out);
    if (*iid == IID_IWall)
      return ObjectModel::AnswerInterface(wall, out);
    if (*iid == IID_IResultsOfCalc)
      return ObjectModel::AnswerInterface(results, out);
    return CArea::QueryInterface(iid, out);
  }
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }

  int BuildTypicalForm() override { return 1; }
  int OnKeyDown(UINT, UINT, UINT) override { return 1; }
  int TestKeyDown(UINT) override { return 1; }

  int SetDefaults() override
  {
    CArea::SetDefaults();
    for (IClassObjModel* child : Children())
      child->SetDefaults();
    return 0;
  }

  int Serialize(CArchive* ar, DWORD version) override
  {
    CArea::Serialize(ar, version);
    for (IClassObjModel* child : Children())
      child->Serialize(ar, version);
    return 0;
  }

  IRoad* road = nullptr;
  IPavement* pavement = nullptr;
  IWall* wall = nullptr;
  IResultsOfCalc* results = nullptr;

protected:
  ~TestStraightRoad() override
  {
    ObjectModel::ReleaseAndClear(road);
    ObjectModel::ReleaseAndClear(pavement);
    ObjectModel::ReleaseAndClear(wall);
    ObjectModel::ReleaseAndClear(results);
  }

private:
  template <class I>
  static void Take(IClassObjModel* object, const IID& iid, I*& slot)
  {
    object->QueryInterface(&iid, reinterpret_cast<void**>(&slot));
  }

  std::vector<IClassObjModel*> Children()
  {
    std::vector<IClassObjModel*> children;
    for (IModelUnknown* part : std::initializer_list<IModelUnknown*>{road, pavement, wall, results}) {
      void* object = nullptr;
      part->QueryInterface(&IID_IClassObjModel, &object);
      children.push_back(static_cast<IClassObjModel*>(object));
      part->Release();
    }
    return children;
  }
};

// A new road with its one reference, as its owner would hold it.
inline TestStraightRoad* NewStraightRoad(IQorRoadDoc* context, int number = 1)
{
  auto* road = new TestStraightRoad(context, number);
  road->CClassObjModel::AddRef();
  return road;
}
