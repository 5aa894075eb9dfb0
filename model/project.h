// The root of one project state: title data, economics figures and the list of areas.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/iproject.h"

#include <cstdint>

namespace ObjectModel {

class CProject : public CClassObjModel, public IProject {
public:
  explicit CProject(IQorRoadDoc* context);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  // The project's name is its object name.
  CString* GetName() override { return CClassObjModel::GetName(); }
  int SetName(const CString* name) override { return CClassObjModel::SetName(name); }
  CString* GetObjectName() override { return &m_objectName; }
  CString* GetProtocolNumber() override { return &m_protocolNumber; }
  COleDateTime* GetDate() override { return &m_date; }
  CString* GetExecutor() override { return &m_executor; }
  CString* GetOrganization() override { return &m_organization; }
  CString* GetCustomer() override { return &m_customer; }
  int SetObjectName(const CString* name) override;
  int SetProtocolNumber(const CString* number) override;
  int SetDate(const COleDateTime* date) override;
  int SetExecutor(const CString* executor) override;
  int SetOrganization(const CString* organization) override;
  int SetCustomer(const CString* customer) override;
  int ClearSelection() override;
  IArea* CreateArea(CLSID kind, IClassObjModel* toRelease) override;
  IArea* ResetAreas(CLSID kind) override;
  IArea* InsertAreaAfter(CLSID kind, IArea* reference) override;
  int SetActiveArea(IArea* area) override;
  int RemoveArea(IArea* area) override;
  int SetAreaCounter(int value) override;
  double GetElectricityTariff() override;
  int SetElectricityTariff(const double* tariff) override;
  int* GetHoursOfUse() override { return &m_hoursOfUse; }
  int SetHoursOfUse(const int* hours) override;
  double* GetCapitalEfficiency() override { return &m_capitalEfficiency; }
  int SetCapitalEfficiency(const double* value) override;
  double* GetNetworkLossFactor() override { return &m_networkLossFactor; }
  int SetNetworkLossFactor(const double* value) override;
  double* GetLuminaireAmortisation() override { return &m_luminaireAmortisation; }
  int SetLuminaireAmortisation(const double* value) override;
  double* GetPoleAmortisation() override { return &m_poleAmortisation; }
  int SetPoleAmortisation(const double* value) override;
  double* GetBracketAmortisation() override { return &m_bracketAmortisation; }
  int SetBracketAmortisation(const double* value) override;
  int SetPolesInCost(const int* on) override;
  int SetBracketsInCost(const int* on) override;
  int* GetPolesInCost() override { return &m_polesInCost; }
  int* GetBracketsInCost() override { return &m_bracketsInCost; }

  IArea* GetFirstArea() const { return m_firstArea; }
  int GetAreaCounter() const { return m_areaCounter; }

protected:
  ~CProject() override;

private:
  IArea* LastArea() const;
  void AppendArea(IArea* area);
  // Releases every area of the list and sets the counter to 0.
  void ReleaseAreas();

  CString m_objectName;
  CString m_protocolNumber;
  COleDateTime m_date;
  CString m_executor;
  CString m_organization;
  CString m_customer;
  int m_areaCounter = 0;
  IQorRoadDoc* m_context;
  IArea* m_firstArea = nullptr;
  std::int32_t m_electricityTariff = 0;  // hundredths
  int m_hoursOfUse = 0;
  double m_capitalEfficiency = 0.0;
  double m_networkLossFactor = 0.0;
  double m_luminaireAmortisation = 0.0;
  double m_poleAmortisation = 0.0;
  double m_bracketAmortisation = 0.0;
  int m_polesInCost = 1;
  int m_bracketsInCost = 1;
  DWORD m_copyFlags = 0;
};

}  // namespace ObjectModel
