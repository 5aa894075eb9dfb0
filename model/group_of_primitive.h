// A user group of primitives of an open territory: a named folder of carriageway or sidewalk pieces. The group
// does not list its members; a primitive belongs to it by carrying its kind and its membership.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/iprimitive.h"

namespace ObjectModel {

class CGroupOfPrimitive : public CClassObjModel, public IGroupOfPrimitive {
public:
  CGroupOfPrimitive(CClassObjModel* parent, IQorRoadDoc* context);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  // The tree name, distinct from the model object's name.
  CString* GetName() override { return &m_groupName; }
  int SetName(const CString* name) override;
  int* GetState() override { return &m_state; }
  int SetState(const int* state) override;
  IGroupOfPrimitive* GetNext() override { return m_next; }
  int SetNext(IGroupOfPrimitive* next) override;
  IGroupOfPrimitive* GetPrev() override { return m_prev; }
  int SetPrev(IGroupOfPrimitive* prev) override;
  int ClearSelection() override;
  int SetNumber(const int* membership) override;
  int* GetNumber() override { return &m_membership; }
  int GetKind(CGuid* out) override;
  int SetKind(const CGuid* kind) override;

protected:
  ~CGroupOfPrimitive() override = default;

private:
  CGuid m_kind;
  int m_state = 5;
  CString m_groupName;
  int m_membership = 1;
  DWORD m_copyFlags = 0;
  IQorRoadDoc* m_context;
  IGroupOfPrimitive* m_prev = nullptr;
  IGroupOfPrimitive* m_next = nullptr;
};

IGroupOfPrimitive* CreateGroupOfPrimitive(CClassObjModel* parent, IQorRoadDoc* context);
CGroupOfPrimitive* GroupOfPrimitiveBehind(IGroupOfPrimitive* group);

}  // namespace ObjectModel
