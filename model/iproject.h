// The project interface: the title data, the economics figures and the ordered list of areas, one of them
// active.
#pragma once

#include "model/class_obj_model.h"
#include "model/iarea.h"
#include "platform/mfc-core/oledatetime.h"

struct IQorRoadDoc;

struct IProject : IModelUnknown {
  virtual CString* GetName() = 0;
  virtual CString* GetObjectName() = 0;
  virtual CString* GetProtocolNumber() = 0;
  virtual COleDateTime* GetDate() = 0;
  virtual CString* GetExecutor() = 0;
  virtual CString* GetOrganization() = 0;
  virtual CString* GetCustomer() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual int SetObjectName(const CString* name) = 0;
  virtual int SetProtocolNumber(const CString* number) = 0;
  virtual int SetDate(const COleDateTime* date) = 0;
  virtual int SetExecutor(const CString* executor) = 0;
  virtual int SetOrganization(const CString* organization) = 0;
  virtual int SetCustomer(const CString* customer) = 0;
  virtual int ClearSelection() = 0;
  // A new area of the kind, with one reference for the caller, not linked into the list.
  virtual IArea* CreateArea(CLSID kind, IClassObjModel* toRelease) = 0;
  virtual IArea* ResetAreas(CLSID kind) = 0;
  virtual IArea* InsertAreaAfter(CLSID kind, IArea* reference) = 0;
  virtual int SetActiveArea(IArea* area) = 0;
  virtual int RemoveArea(IArea* area) = 0;
  virtual int SetAreaCounter(int value) = 0;
  virtual double GetElectricityTariff() = 0;
  virtual int SetElectricityTariff(const double* tariff) = 0;
  virtual int* GetHoursOfUse() = 0;
  virtual int SetHoursOfUse(const int* hours) = 0;
  virtual double* GetCapitalEfficiency() = 0;
  virtual int SetCapitalEfficiency(const double* value) = 0;
  virtual double* GetNetworkLossFactor() = 0;
  virtual int SetNetworkLossFactor(const double* value) = 0;
  virtual double* GetLuminaireAmortisation() = 0;
  virtual int SetLuminaireAmortisation(const double* value) = 0;
  virtual double* GetPoleAmortisation() = 0;
  virtual int SetPoleAmortisation(const double* value) = 0;
  virtual double* GetBracketAmortisation() = 0;
  virtual int SetBracketAmortisation(const double* value) = 0;
  virtual int SetPolesInCost(const int* on) = 0;
  virtual int SetBracketsInCost(const int* on) = 0;
  virtual int* GetPolesInCost() = 0;
  virtual int* GetBracketsInCost() = 0;

protected:
  ~IProject() = default;
};

// The root of a project state, made by the document with itself as the context: one active straight road.
// E_FAIL without a context.
HRESULT CreateProject(IQorRoadDoc* context, IProject** out);
