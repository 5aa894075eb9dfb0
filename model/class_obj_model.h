// The common interface of every model object and the base class that implements it.
// All interfaces of one object share one reference count: their first three slots act on the whole object.
#pragma once

#include "model/cguid.h"
#include "platform/base/hresult.h"
#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

#include <atomic>

class CArchive;

namespace ObjectModel {
class CClassObjModel;
}

// The three slots every model interface starts with. The identifier comes by pointer, as the model's callers
// pass it; the counts are 32-bit.
struct IModelUnknown {
  virtual HRESULT QueryInterface(const IID* iid, void** out) = 0;
  virtual LONG AddRef() = 0;
  virtual LONG Release() = 0;

protected:
  ~IModelUnknown() = default;
};

struct IClassObjModel : IModelUnknown {
  virtual LONG ReleaseNoDelete() = 0;
  virtual void GetClassId(CGuid* out) = 0;
  virtual void GetObjectId(CGuid* out) = 0;
  virtual CString* GetName() = 0;
  virtual int Serialize(CArchive* ar, DWORD fileVersion) = 0;
  virtual int SetDefaults() = 0;
  virtual HTREEITEM* GetTreeItem() = 0;
  virtual ObjectModel::CClassObjModel* GetParent() = 0;
  virtual int SetTreeItem(const HTREEITEM* item) = 0;
  virtual int CopyTo(IClassObjModel* dst, DWORD flags) = 0;
  virtual int IsSelected() = 0;
  virtual int SetSelected(int selected) = 0;
  virtual int SetClassId(const CGuid* id) = 0;
  virtual int SetObjectId(const CGuid* id) = 0;
  virtual int SetName(const CString* name) = 0;
  virtual int* GetExpanded() = 0;
  virtual int SetExpanded(const int* expanded) = 0;
  virtual void DeleteThis(unsigned flags) = 0;
  virtual int SetParent(ObjectModel::CClassObjModel* parent) = 0;

protected:
  ~IClassObjModel() = default;
};

namespace ObjectModel {

// CopyTo flag: the destination keeps its own identity (class id, object id, name, selection, expansion).
inline constexpr DWORD kCopyKeepIdentity = 0x2;

class CClassObjModel : public IClassObjModel {
public:
  CClassObjModel();
  CClassObjModel(const CClassObjModel&) = delete;
  CClassObjModel& operator=(const CClassObjModel&) = delete;

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override;
  LONG Release() override;
  LONG ReleaseNoDelete() override;
  void GetClassId(CGuid* out) override;
  void GetObjectId(CGuid* out) override;
  CString* GetName() override;
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  HTREEITEM* GetTreeItem() override;
  CClassObjModel* GetParent() override;
  int SetTreeItem(const HTREEITEM* item) override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;
  int IsSelected() override;
  int SetSelected(int selected) override;
  int SetClassId(const CGuid* id) override;
  int SetObjectId(const CGuid* id) override;
  int SetName(const CString* name) override;
  int* GetExpanded() override;
  int SetExpanded(const int* expanded) override;
  void DeleteThis(unsigned flags) override;
  int SetParent(CClassObjModel* parent) override;

protected:
  virtual ~CClassObjModel();

  // For constructors of derived classes: their own class id and string-table name.
  void InitIdentity(const CLSID& classId, UINT nameId);

  CGuid m_classId;
  CGuid m_objectId;
  CString m_name;
  HTREEITEM m_treeItem = nullptr;
  CClassObjModel* m_parent = nullptr;
  int m_selected = 0;
  int m_expanded = 1;

private:
  std::atomic<LONG> m_refCount{0};
};

// Hands out `iface` through *out with one reference, or E_NOINTERFACE when it is null.
template <class I>
HRESULT AnswerInterface(I* iface, void** out)
{
  *out = iface;
  if (!iface)
    return E_NOINTERFACE;
  iface->AddRef();
  return S_OK;
}

// The release of a reference kept in a field, clearing the field.
template <class I>
void ReleaseAndClear(I*& p)
{
  if (p) {
    I* q = p;
    p = nullptr;
    q->Release();
  }
}

}  // namespace ObjectModel
