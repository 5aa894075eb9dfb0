// The results object every area owns: one results block, read in place by views and readers.
#pragma once

#include "model/class_obj_model.h"
#include "model/iresults.h"

namespace ObjectModel {

class CResultsOfCalc : public CClassObjModel, public IResultsOfCalc {
public:
  CResultsOfCalc();

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override { return Clear(); }
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  int Clear() override;
  _CALC_RESULTS* GetData() override { return &m_data; }
  float GetRecordValue(int record, int field) override;

  // Deep copy of the block (and the selected flag) from `source`.
  void Assign(const CResultsOfCalc& source);
  // Sets worstObserver to the observer with the least favourable luminance, from the per-observer values.
  void UpdateWorstObserver();

  // Allocates every array of the block from its counts, as a reader does once it has set them; arrays of no
  // elements stay null. The arrays must be free (after Clear).
  void AllocArrays();

protected:
  ~CResultsOfCalc() override;

private:

  _CALC_RESULTS m_data{};
};

}  // namespace ObjectModel
