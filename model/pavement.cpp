#include "model/pavement.h"

#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/road.h"
#include "platform/mfc-core/archive.h"

namespace ObjectModel {

// ---- shared ----

CSideStrips::CSideStrips(CClassObjModel* parent, const Defaults& defaults) : m_defaults(defaults)
{
  m_parent = parent;
  InitIdentity(defaults.classId, defaults.nameId);
  m_sideName = m_name;
  CSideStrips::SetDefaults();
}

CSideStrips::~CSideStrips()
{
  RemoveStrip(m_left);
  RemoveStrip(m_right);
}

int CSideStrips::SetDefaults()
{
  m_sideName = LoadModelString(m_defaults.nameId);
  m_flags = m_defaults.flags;
  CreateStrip(m_left);
  CreateStrip(m_right);
  return 0;
}

ILineOfRoad* CSideStrips::CreateStrip(ILineOfRoad*& slot)
{
  RemoveStrip(slot);
  slot = CreateLineOfRoad(this);
  slot->SetWidth(&m_defaults.stripWidth);
  slot->SetGap(&m_defaults.stripGap);
  return slot;
}

void CSideStrips::RemoveStrip(ILineOfRoad*& slot) { ReleaseAndClear(slot); }

void CSideStrips::ClearStripSelection()
{
  m_selected = 0;
  if (m_left)
    m_left->ClearSelection();
  if (m_right)
    m_right->ClearSelection();
}

HRESULT CSideStrips::AnswerKey(const IID* iid, const IID& leftKey, const IID& rightKey, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == leftKey)
    return AnswerInterface(m_left, out);
  if (*iid == rightKey)
    return AnswerInterface(m_right, out);
  return E_NOINTERFACE;
}

// Sidewalks block and walls block alike: flags int32, name CString, left strip present int32 (1 or 0), the left
// strip block when present, right strip present int32, the right strip block when present. No version gates.
int CSideStrips::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    ar << m_flags << m_sideName;
    for (ILineOfRoad* strip : {m_left, m_right}) {
      ar << static_cast<int>(strip ? 1 : 0);
      if (strip)
        dynamic_cast<CLineOfRoad*>(strip)->Serialize(archive, fileVersion);
    }
    return 0;
  }

  ar >> m_flags >> m_sideName;
  RemoveStrip(m_left);
  RemoveStrip(m_right);
  for (ILineOfRoad** slot : {&m_left, &m_right}) {
    int present = 0;
    ar >> present;
    if (present)
      dynamic_cast<CLineOfRoad*>(CreateStrip(*slot))->Serialize(archive, fileVersion);
  }
  return 0;
}

void CSideStrips::CopySidesTo(CSideStrips* to, DWORD flags)
{
  if (to == this)
    return;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_sideName = m_sideName;
  to->m_flags = m_flags;
  to->m_selected = m_selected;
  to->RemoveStrip(to->m_left);
  to->RemoveStrip(to->m_right);
  if (m_left)
    dynamic_cast<CLineOfRoad*>(m_left)->CopyTo(dynamic_cast<CLineOfRoad*>(to->CreateStrip(to->m_left)), flags);
  if (m_right)
    dynamic_cast<CLineOfRoad*>(m_right)->CopyTo(dynamic_cast<CLineOfRoad*>(to->CreateStrip(to->m_right)), flags);
  to->m_expanded = m_expanded;
  m_copyFlags = to->m_copyFlags = 0;
}

// ---- sidewalks ----

namespace {

const CSideStrips::Defaults kPavementDefaults{CLSID_CPavement, IDS_OBJ_PAVEMENT, 0x301, 2.0, 2.0};
const CSideStrips::Defaults kWallDefaults{CLSID_CWall, IDS_OBJ_WALL, 0x3003, 17.0, 1.0};

// The object of kind T behind dst, found through its own interface.
template <class T, class Interface>
T* SameKind(IClassObjModel* dst, const IID& iid)
{
  Interface* found = nullptr;
  if (FAILED(dst->QueryInterface(&iid, reinterpret_cast<void**>(&found))))
    return nullptr;
  T* object = dynamic_cast<T*>(found);
  found->Release();
  return object;
}

}  // namespace

CPavement::CPavement(CClassObjModel* parent) : CSideStrips(parent, kPavementDefaults) {}

HRESULT CPavement::QueryInterface(const IID* iid, void** out)
{
  if (*iid == IID_IPavement) {
    *out = nullptr;
    return AnswerInterface(static_cast<IPavement*>(this), out);
  }
  return AnswerKey(iid, IID_LeftPavement, IID_RightPavement, out);
}

int CPavement::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  CPavement* to = SameKind<CPavement, IPavement>(dst, IID_IPavement);
  if (!to)
    return 1;
  CopySidesTo(to, flags);
  return 0;
}

int CPavement::SetFlags(const int* flags)
{
  const int on = *flags & kSideOn;
  if (m_left && (*flags & kPavementLeft))
    m_left->SetState(&on);
  if (m_right && (*flags & kPavementRight))
    m_right->SetState(&on);
  m_flags = *flags;
  return 0;
}

int CPavement::RemoveLeft()
{
  RemoveStrip(m_left);
  return 0;
}

int CPavement::RemoveRight()
{
  RemoveStrip(m_right);
  return 0;
}

int CPavement::ClearSelection()
{
  ClearStripSelection();
  return 0;
}

int CPavement::SetSideName(const CString* name)
{
  m_sideName = *name;
  return 0;
}

// ---- walls ----

CWall::CWall(CClassObjModel* parent) : CSideStrips(parent, kWallDefaults) {}

HRESULT CWall::QueryInterface(const IID* iid, void** out)
{
  if (*iid == IID_IWall) {
    *out = nullptr;
    return AnswerInterface(static_cast<IWall*>(this), out);
  }
  return AnswerKey(iid, IID_LeftWall, IID_RightWall, out);
}

int CWall::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  CWall* to = SameKind<CWall, IWall>(dst, IID_IWall);
  if (!to)
    return 1;
  CopySidesTo(to, flags);
  return 0;
}

int CWall::SetFlags(const int* flags)
{
  // Each strip's state is the flag bit itself (0x1000 or 0x2000), not 1.
  const int leftOn = *flags & kWallLeftOn;
  const int rightOn = *flags & kWallRightOn;
  if (m_left)
    m_left->SetState(&leftOn);
  if (m_right)
    m_right->SetState(&rightOn);
  m_flags = *flags;
  return 0;
}

int CWall::RemoveLeft()
{
  RemoveStrip(m_left);
  return 0;
}

int CWall::RemoveRight()
{
  RemoveStrip(m_right);
  return 0;
}

int CWall::ClearSelection()
{
  ClearStripSelection();
  return 0;
}

int CWall::SetSideName(const CString* name)
{
  m_sideName = *name;
  return 0;
}

}  // namespace ObjectModel
