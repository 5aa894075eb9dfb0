#include "model/group_of_primitive.h"

#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

namespace ObjectModel {

namespace {

void StoreGuid(CArchive& ar, const GUID& id)
{
  ar << static_cast<std::int32_t>(id.Data1) << static_cast<std::int16_t>(id.Data2)
     << static_cast<std::int16_t>(id.Data3);
  ar.Write(id.Data4, 8);
}

GUID LoadGuid(CArchive& ar)
{
  GUID id{};
  std::int32_t data1 = 0;
  std::int16_t data2 = 0;
  std::int16_t data3 = 0;
  ar >> data1 >> data2 >> data3;
  if (ar.Read(id.Data4, 8) != 8)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  id.Data1 = static_cast<std::uint32_t>(data1);
  id.Data2 = static_cast<std::uint16_t>(data2);
  id.Data3 = static_cast<std::uint16_t>(data3);
  return id;
}

}  // namespace

IGroupOfPrimitive* CreateGroupOfPrimitive(CClassObjModel* parent, IQorRoadDoc* context)
{
  auto* group = new CGroupOfPrimitive(parent, context);
  IGroupOfPrimitive* out = nullptr;
  group->QueryInterface(&IID_IGroupOfPrimitive, reinterpret_cast<void**>(&out));
  return out;
}

CGroupOfPrimitive* GroupOfPrimitiveBehind(IGroupOfPrimitive* group)
{
  return group ? dynamic_cast<CGroupOfPrimitive*>(group) : nullptr;
}

CGroupOfPrimitive::CGroupOfPrimitive(CClassObjModel* parent, IQorRoadDoc* context) : m_context(context)
{
  InitIdentity(CLSID_CGroupOfPrimitive, IDS_OBJ_PRIMITIVE_GROUP);
  m_parent = parent;
}

HRESULT CGroupOfPrimitive::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IGroupOfPrimitive)
    return AnswerInterface(static_cast<IGroupOfPrimitive*>(this), out);
  return E_NOINTERFACE;
}

int CGroupOfPrimitive::SetDefaults()
{
  m_state = 5;
  m_membership = 1;
  return 0;
}

int CGroupOfPrimitive::SetName(const CString* name)
{
  m_groupName = *name;
  return 0;
}

int CGroupOfPrimitive::SetState(const int* state)
{
  m_state = *state;
  return 0;
}

int CGroupOfPrimitive::SetNext(IGroupOfPrimitive* next)
{
  m_next = next;
  return 0;
}

int CGroupOfPrimitive::SetPrev(IGroupOfPrimitive* prev)
{
  m_prev = prev;
  return 0;
}

int CGroupOfPrimitive::ClearSelection()
{
  m_selected = 0;
  return 0;
}

int CGroupOfPrimitive::SetNumber(const int* membership)
{
  m_membership = *membership;
  return 0;
}

int CGroupOfPrimitive::GetKind(CGuid* out)
{
  out->Copy(m_kind);
  return 0;
}

int CGroupOfPrimitive::SetKind(const CGuid* kind)
{
  m_kind.Copy(*kind);
  return 0;
}

int CGroupOfPrimitive::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IGroupOfPrimitive* other = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IGroupOfPrimitive, reinterpret_cast<void**>(&other))))
    return 1;
  CGroupOfPrimitive* to = GroupOfPrimitiveBehind(other);
  other->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  to->m_kind.Copy(m_kind);
  to->m_selected = m_selected;
  to->m_groupName = m_groupName;
  to->m_state = m_state;
  to->m_membership = m_membership;
  return 0;
}

// The group's block, only in files of 4.3.5.0 and later (groups came with that version): object id and kind
// (each Data1 int32, Data2, Data3 int16, Data4 8 bytes), state int32, name, membership int32.
int CGroupOfPrimitive::Serialize(CArchive* archive, DWORD fileVersion)
{
  if (!IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 3, 5, 0)))
    return 0;
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    StoreGuid(ar, m_objectId.Value());
    StoreGuid(ar, m_kind.Value());
    ar << m_state << m_groupName << m_membership;
    return 0;
  }
  const GUID id = LoadGuid(ar);
  m_objectId.Assign(&id);
  const GUID kind = LoadGuid(ar);
  m_kind.Assign(&kind);
  ar >> m_state >> m_groupName >> m_membership;
  return 0;
}

}  // namespace ObjectModel
