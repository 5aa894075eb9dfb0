// The carriageway of a straight road and the strip every part of its cross-section is made of.
// Lanes keep the order: main-direction lanes, at most one dividing strip, opposite-direction lanes.
#pragma once

#include "model/class_obj_model.h"
#include "model/iroad.h"

namespace ObjectModel {

class CLineOfRoad : public CClassObjModel, public ILineOfRoad {
public:
  explicit CLineOfRoad(CClassObjModel* parent);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  int* GetType() override { return &m_type; }
  int SetType(const int* type) override;
  double* GetWidth() override { return &m_width; }
  int SetWidth(const double* width) override;
  int* GetState() override { return &m_state; }
  int SetState(const int* state) override;
  int* GetParapet() override { return &m_parapet; }
  int SetParapet(const int* on) override;
  double GetParapetWidth() override;
  int SetParapetWidth(const double* width) override;
  double GetParapetHeight() override;
  int SetParapetHeight(const double* height) override;
  ILineOfRoad* GetNext() override { return m_next; }
  int SetNext(ILineOfRoad* next) override;
  ILineOfRoad* GetPrev() override { return m_prev; }
  int SetPrev(ILineOfRoad* prev) override;
  double* GetGap() override { return &m_gap; }
  int SetGap(const double* gap) override;
  int ClearSelection() override;

private:
  bool IsDividerWithParapet() const { return m_type == kLaneDivider && m_parapet != 0; }

  int m_type = kLaneMain;
  int m_state = 1;
  double m_width = 3.75;
  int m_parapet = 0;
  double m_parapetWidth = 1.0;
  double m_parapetHeight = 1.0;
  double m_gap = 0;
  DWORD m_copyFlags = 0;
  ILineOfRoad* m_prev = nullptr;
  ILineOfRoad* m_next = nullptr;
};

// Makes a strip owned by `parent` and answers it with the one reference its owner keeps.
ILineOfRoad* CreateLineOfRoad(CClassObjModel* parent);

// IRoad's name slots have the form of the object's own name slots but name the carriageway's shown name.
struct CRoadNameSlots : IRoad {
  CString* GetName() final { return GetRoadName(); }
  int SetName(const CString* name) final { return SetRoadName(name); }

protected:
  virtual CString* GetRoadName() = 0;
  virtual int SetRoadName(const CString* name) = 0;
  ~CRoadNameSlots() = default;
};

class CRoad : public CClassObjModel, public CRoadNameSlots {
public:
  explicit CRoad(CClassObjModel* parent);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  int* GetState() override { return &m_state; }
  int SetState(const int* state) override;
  int SetTwoWay(const int* on) override;
  int IsTwoWay() override;
  int SetSurface(const int* surface) override;
  int GetSurface() override { return m_surface; }
  int SetLaneCount(const int* laneType, const UINT* count) override;
  UINT GetLaneCount(const int* laneType) override;
  int SetLaneWidth(const int* laneType, const double* width) override;
  double GetLaneWidth(const int* laneType) override;
  int SetDividerOn(const int* on) override;
  int HasDivider() override;
  int SetParapetOn(const int* on) override;
  int HasParapet() override;
  int SetParapetWidth(const double* width) override;
  double GetParapetWidth() override;
  int SetParapetHeight(const double* height) override;
  double GetParapetHeight() override;
  int UpdateAreaWidth() override;
  int GetOppositeState() override;
  int SetOppositeState(const int* state) override;
  int Reserved() override { return 0; }
  int ClearSelection() override;

protected:
  ~CRoad() override;
  CString* GetRoadName() override { return &m_roadName; }
  int SetRoadName(const CString* name) override;

private:
  ILineOfRoad* LastLane() const;
  ILineOfRoad* FirstLaneOfType(int type) const;
  // The first dividing strip that is switched on.
  ILineOfRoad* DividerOn() const;
  void AppendLane(ILineOfRoad* lane);
  void ReleaseLanes();
  void MakeDefaultLanes();

  int m_state = 5;
  CString m_roadName;
  int m_surface = 0;
  int m_oppositeState = 0;
  DWORD m_copyFlags = 0;
  ILineOfRoad* m_firstLane = nullptr;
};

}  // namespace ObjectModel
