// The container of an area's groups of poles: the maintenance factor of the installation, the group list, group
// numbers, and which group handle lies under a point of the scene.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/igroups.h"

namespace ObjectModel {

class CGroupsOfDev : public CClassObjModel, public IGroupsOfDev {
public:
  CGroupsOfDev(CClassObjModel* area, IQorRoadDoc* document);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;
  // The container's name is its object name.
  CString* GetName() override { return CClassObjModel::GetName(); }
  int SetName(const CString* name) override { return CClassObjModel::SetName(name); }

  double* GetMaintenanceFactor() override { return &m_maintenanceFactor; }
  int SetMaintenanceFactor(const double* factor) override;
  IGroupOfDev* CreateGroup() override;
  int ClearSelection() override;
  IGroupOfDev* GetSelectedGroup() override;
  int HitTest(double x, double y, int flags, IClassObjModel** out) override;
  int HitTestGroup(double x, double y, int flags, IGroupOfDev* group) override;
  int SetOption(const int* option) override;
  int* GetOption() override { return &m_option; }
  int FindGroupByNumber(int number, IClassObjModel** out) override;
  int Reserved() override { return 1; }
  int NextGroupNumber(const int* mode) override;
  int OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  int TestKeyDown(UINT key) override;

  IGroupOfDev* GetFirstGroup() const { return m_firstGroup; }
  void AppendGroup(IGroupOfDev* group);

protected:
  ~CGroupsOfDev() override;

private:
  void ReleaseGroups();
  IGroupOfDev* LastGroup() const;

  double m_maintenanceFactor = 1.5;
  DWORD m_copyFlags = 0;
  IQorRoadDoc* m_document;
  IGroupOfDev* m_firstGroup = nullptr;
  int m_option = 0;
};

}  // namespace ObjectModel
