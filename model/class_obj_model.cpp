#include "model/class_obj_model.h"

#include "model/class_of.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/model_strings.h"

namespace ObjectModel {

CClassObjModel::CClassObjModel() : m_classId(&CLSID_CClassObjModel)
{
  GUID fresh{};
  CoCreateGuid(&fresh);
  m_objectId.Assign(&fresh);
}

CClassObjModel::~CClassObjModel() = default;

void CClassObjModel::InitIdentity(const CLSID& classId, UINT nameId)
{
  m_classId.Assign(&classId);
  m_name = LoadModelString(nameId);
}

HRESULT CClassObjModel::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  // The interfaces a derived object may carry without answering them itself.
  if (*iid == IID_IProject)
    return AnswerInterface(dynamic_cast<IProject*>(this), out);
  if (*iid == IID_IArea)
    return AnswerInterface(dynamic_cast<IArea*>(this), out);
  if (*iid == IID_IStraightRoad)
    return AnswerInterface(dynamic_cast<IStraightRoad*>(this), out);
  if (*iid == IID_IRoad)
    return AnswerInterface(dynamic_cast<IRoad*>(this), out);
  if (*iid == IID_ILineOfRoad)
    return AnswerInterface(dynamic_cast<ILineOfRoad*>(this), out);
  if (*iid == IID_IPavement)
    return AnswerInterface(dynamic_cast<IPavement*>(this), out);
  if (*iid == IID_IWall)
    return AnswerInterface(dynamic_cast<IWall*>(this), out);
  return E_NOINTERFACE;
}

LONG CClassObjModel::AddRef() { return ++m_refCount; }

LONG CClassObjModel::Release()
{
  LONG count = --m_refCount;
  if (count == 0) {
    DeleteThis(1);
    return 0;
  }
  return count;
}

LONG CClassObjModel::ReleaseNoDelete() { return --m_refCount; }

void CClassObjModel::GetClassId(CGuid* out) { out->Copy(m_classId); }

void CClassObjModel::GetObjectId(CGuid* out) { out->Copy(m_objectId); }

CString* CClassObjModel::GetName() { return &m_name; }

int CClassObjModel::Serialize(CArchive*, DWORD) { return 0; }

int CClassObjModel::SetDefaults() { return 0; }

HTREEITEM* CClassObjModel::GetTreeItem() { return &m_treeItem; }

CClassObjModel* CClassObjModel::GetParent() { return m_parent; }

int CClassObjModel::SetTreeItem(const HTREEITEM* item)
{
  m_treeItem = *item;
  return 0;
}

int CClassObjModel::CopyTo(IClassObjModel* dst, DWORD flags)
{
  if (dst == this || (flags & kCopyKeepIdentity))
    return 0;
  dst->SetClassId(&m_classId);
  dst->SetObjectId(&m_objectId);
  dst->SetName(&m_name);
  dst->SetSelected(m_selected);
  dst->SetExpanded(&m_expanded);
  return 0;
}

int CClassObjModel::IsSelected() { return m_selected; }

int CClassObjModel::SetSelected(int selected)
{
  m_selected = selected;
  return 0;
}

int CClassObjModel::SetClassId(const CGuid* id)
{
  m_classId.Copy(*id);
  return 0;
}

int CClassObjModel::SetObjectId(const CGuid* id)
{
  m_objectId.Copy(*id);
  return 0;
}

int CClassObjModel::SetName(const CString* name)
{
  m_name = *name;
  return 0;
}

int* CClassObjModel::GetExpanded() { return &m_expanded; }

int CClassObjModel::SetExpanded(const int* expanded)
{
  m_expanded = *expanded;
  return 0;
}

void CClassObjModel::DeleteThis(unsigned flags)
{
  if (flags & 1)
    delete this;
  else
    this->~CClassObjModel();
}

int CClassObjModel::SetParent(CClassObjModel* parent)
{
  m_parent = parent;
  return 0;
}

}  // namespace ObjectModel

bool IsOfClass(IModelUnknown* object, const CLSID& id)
{
  void* part = nullptr;
  if (object == nullptr || FAILED(object->QueryInterface(&IID_IClassObjModel, &part)) || part == nullptr)
    return false;
  auto* model = static_cast<IClassObjModel*>(part);
  CGuid classId;
  model->GetClassId(&classId);
  model->Release();
  return classId.IsEqual(&id);
}
