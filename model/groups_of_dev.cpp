#include "model/groups_of_dev.h"

#include "model/group_of_dev.h"
#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <climits>
#include <cmath>
#include <numbers>
#include <set>

namespace ObjectModel {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The turn handle stands this far beyond the light centre, and the line-direction handle beyond the second pole.
constexpr double kHandleReach = 2.0;
constexpr ULONGLONG kMinGroupBytes = 16 + sizeof(std::int32_t);

IClassObjModel* ObjectOf(IModelUnknown* iface)
{
  void* out = nullptr;
  if (!iface || FAILED(iface->QueryInterface(&IID_IClassObjModel, &out)))
    return nullptr;
  auto* object = static_cast<IClassObjModel*>(out);
  object->Release();
  return object;
}

bool IsPlacedBySubGroups(IGroupOfDev* group)
{
  const int scheme = *group->GetPlacementScheme();
  return scheme == 3 || scheme == 4;
}

IGroupOfDev* LastSubGroupOf(IGroupOfDev* group)
{
  void* out = nullptr;
  if (FAILED(group->QueryInterface(&IID_FirstSubGroup, &out)))
    return nullptr;
  auto* sub = static_cast<IGroupOfDev*>(out);
  sub->Release();
  while (sub->GetNext())
    sub = sub->GetNext();
  return sub;
}

IGroupOfDev* FirstSubGroupOf(IGroupOfDev* group)
{
  void* out = nullptr;
  if (FAILED(group->QueryInterface(&IID_FirstSubGroup, &out)))
    return nullptr;
  auto* sub = static_cast<IGroupOfDev*>(out);
  sub->Release();
  return sub;
}

}  // namespace

CGroupsOfDev::CGroupsOfDev(CClassObjModel* area, IQorRoadDoc* document) : m_document(document)
{
  InitIdentity(CLSID_CGroupsOfDev, IDS_OBJ_GROUPS_OF_DEV);
  m_parent = area;
  m_maintenanceFactor = 1.5;
  AppendGroup(CreateGroup());
}

CGroupsOfDev::~CGroupsOfDev() { ReleaseGroups(); }

HRESULT CGroupsOfDev::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IGroupsOfDev)
    return AnswerInterface(static_cast<IGroupsOfDev*>(this), out);
  if (*iid == IID_IGroupOfDev)
    return AnswerInterface(m_firstGroup, out);
  return E_NOINTERFACE;
}

IGroupOfDev* CGroupsOfDev::LastGroup() const
{
  IGroupOfDev* group = m_firstGroup;
  while (group && group->GetNext())
    group = group->GetNext();
  return group;
}

void CGroupsOfDev::AppendGroup(IGroupOfDev* group)
{
  if (IGroupOfDev* last = LastGroup()) {
    last->SetNext(group);
    group->SetPrev(last);
  } else {
    m_firstGroup = group;
  }
}

void CGroupsOfDev::ReleaseGroups()
{
  IGroupOfDev* group = LastGroup();
  while (group) {
    IGroupOfDev* prev = group->GetPrev();
    group->SetNext(nullptr);
    group->SetPrev(nullptr);
    group->Release();
    group = prev;
  }
  m_firstGroup = nullptr;
}

int CGroupsOfDev::SetDefaults()
{
  m_name = LoadModelString(IDS_OBJ_GROUPS_OF_DEV);
  m_maintenanceFactor = 1.5;
  ReleaseGroups();
  AppendGroup(CreateGroup());
  return 0;
}

int CGroupsOfDev::SetMaintenanceFactor(const double* factor)
{
  m_maintenanceFactor = *factor;
  return 0;
}

IGroupOfDev* CGroupsOfDev::CreateGroup()
{
  const int lowestFree = 1;
  return CreateGroupOfDev(this, m_document, NextGroupNumber(&lowestFree), 1);
}

int CGroupsOfDev::ClearSelection()
{
  m_selected = 0;
  for (IGroupOfDev* group = LastGroup(); group; group = group->GetPrev())
    group->ClearSelection();
  return 0;
}

IGroupOfDev* CGroupsOfDev::GetSelectedGroup()
{
  for (IGroupOfDev* group = m_firstGroup; group; group = group->GetNext()) {
    if (IsPlacedBySubGroups(group)) {
      for (IGroupOfDev* sub = FirstSubGroupOf(group); sub; sub = sub->GetNext()) {
        if (ObjectOf(sub)->IsSelected())
          return sub;
      }
    } else if (ObjectOf(group)->IsSelected()) {
      return group;
    }
  }
  return nullptr;
}

int CGroupsOfDev::HitTestGroup(double x, double y, int, IGroupOfDev* group)
{
  void* out = nullptr;
  if (!group || FAILED(group->QueryInterface(&IID_IPole, &out)))
    return GroupHandle::kNone;
  auto* first = static_cast<IPole*>(out);
  first->Release();

  const double r = m_document ? m_document->GetMarkerSize() : 0.0;
  auto near = [x, y, r](double px, double py) { return std::fabs(x - px) <= r && std::fabs(y - py) <= r; };
  const int kind = *group->GetMountingKind();
  const int scheme = *group->GetPlacementScheme();
  const double outreach = first->GetOutreach(kind);
  double phi = 0.0;
  switch (scheme) {
  case 0: phi = *first->GetRotation(); break;
  case 1: phi = first->GetAbsoluteRotation(); break;
  case 2: phi = first->GetCircleRotation(); break;
  default: break;
  }
  // A sub-group's geometry follows its parent group's first pole.
  int typical = *first->GetTypical();
  const bool subGroup = group->IsSubGroup() != 0;
  if (subGroup) {
    IClassObjModel* object = ObjectOf(group);
    CClassObjModel* parent = object ? object->GetParent() : nullptr;
    void* parentPole = nullptr;
    if (parent && SUCCEEDED(parent->QueryInterface(&IID_IPole, &parentPole))) {
      typical = *static_cast<IPole*>(parentPole)->GetTypical();
      static_cast<IPole*>(parentPole)->Release();
    }
  }

  const double* p = first->GetPosition();
  if (IPole* second = first->GetNext()) {
    const double* q = second->GetPosition();
    if (near(q[0], q[1]))
      return scheme == 1 ? GroupHandle::kLineSpacing : scheme == 2 ? GroupHandle::kCirclePole : GroupHandle::kNone;
    if (scheme == 1) {
      const double a = second->GetAngleToPrev() * kDegree;
      if (near(q[0] + kHandleReach * std::cos(a), q[1] + kHandleReach * std::sin(a)))
        return GroupHandle::kLineDirection;
    }
  }
  if (kind == 1) {
    double aim[3] = {};
    first->GetAimPoint(aim);
    if (near(aim[0], aim[1]))
      return GroupHandle::kAimPoint;
  }
  if (near(p[0], p[1]))
    return subGroup ? GroupHandle::kSubGroupPole : GroupHandle::kFirstPole;
  const double c = std::cos(phi * kDegree);
  const double s = std::sin(phi * kDegree);
  if (near(p[0] + outreach * c, p[1] + outreach * s))
    return typical == 0 || kind == 1 ? GroupHandle::kOutreach : GroupHandle::kNone;
  if (near(p[0] + (outreach + kHandleReach) * c, p[1] + (outreach + kHandleReach) * s))
    return GroupHandle::kTurn;
  if (scheme == 2) {
    const double* base = group->GetBasePoint();
    if (near(base[0], base[1]))
      return GroupHandle::kCircleCentre;
  }
  return GroupHandle::kNone;
}

int CGroupsOfDev::HitTest(double x, double y, int flags, IClassObjModel** out)
{
  if (out)
    *out = nullptr;
  IGroupOfDev* hit = nullptr;
  int code = GroupHandle::kNone;
  auto test = [&](IGroupOfDev* group) {
    if (!group || hit)
      return;
    const int c = HitTestGroup(x, y, flags, group);
    if (c != GroupHandle::kNone) {
      code = c;
      hit = group;
    }
  };
  IGroupOfDev* selected = GetSelectedGroup();
  if (flags & 0x2) {
    test(selected);
  } else if (flags & 0x4) {
    test(selected);
    for (IGroupOfDev* group = LastGroup(); group && !hit; group = group->GetPrev()) {
      if (IsPlacedBySubGroups(group)) {
        for (IGroupOfDev* sub = LastSubGroupOf(group); sub && !hit; sub = sub->GetPrev())
          test(sub);
      } else {
        test(group);
      }
    }
  }
  if (!hit)
    return GroupHandle::kNone;
  if (out) {
    IClassObjModel* object = ObjectOf(hit);
    *out = object;
    if (flags & 0x1)
      object->AddRef();
  }
  return code;
}

int CGroupsOfDev::SetOption(const int* option)
{
  m_option = *option;
  return 0;
}

int CGroupsOfDev::FindGroupByNumber(int number, IClassObjModel** out)
{
  for (IGroupOfDev* group = m_firstGroup; group; group = group->GetNext()) {
    if (*group->GetNumber() == number) {
      if (out) {
        *out = ObjectOf(group);
        (*out)->AddRef();
      }
      return 0;
    }
  }
  return 1;
}

int CGroupsOfDev::NextGroupNumber(const int* mode)
{
  if (!m_firstGroup)
    return 0;
  std::set<int> used;
  for (IGroupOfDev* group = m_firstGroup; group; group = group->GetNext())
    used.insert(*group->GetNumber());
  const int highest = *used.rbegin();
  if (!mode)
    return highest == INT_MAX ? highest : highest + 1;
  for (int candidate = std::min(1, *used.begin()); candidate < highest; ++candidate) {
    if (!used.count(candidate))
      return candidate;
  }
  return highest == INT_MAX ? highest : highest + 1;
}

int CGroupsOfDev::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
  if (m_selected)
    return 1;
  for (IGroupOfDev* group = m_firstGroup; group; group = group->GetNext()) {
    const int result = group->OnKeyDown(key, repeat, flags);
    if (result != 1)
      return result;
  }
  return 1;
}

int CGroupsOfDev::TestKeyDown(UINT key)
{
  if (m_selected)
    return 1;
  for (IGroupOfDev* group = m_firstGroup; group; group = group->GetNext()) {
    const int result = group->TestKeyDown(key);
    if (result != 1)
      return result;
  }
  return 1;
}

// The container's block, in file order: name; maintenance factor (double); group count (int32); each group's
// block head to tail; option (int32, 4.0.16.0).
int CGroupsOfDev::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    int count = 0;
    for (IGroupOfDev* g = m_firstGroup; g; g = g->GetNext())
      ++count;
    ar << m_name << m_maintenanceFactor << count;
    for (IGroupOfDev* g = m_firstGroup; g; g = g->GetNext())
      ObjectOf(g)->Serialize(archive, fileVersion);
    ar << m_option;
    return 0;
  }
  std::int32_t count = 0;
  ar >> m_name >> m_maintenanceFactor >> count;
  if (count < 0)
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kMinGroupBytes);
  ReleaseGroups();
  for (std::int32_t i = 0; i < count; ++i) {
    IGroupOfDev* group = CreateGroupOfDev(this, m_document, count, 0);
    AppendGroup(group);
    ObjectOf(group)->Serialize(archive, fileVersion);
  }
  // Files before group numbers number their groups in file order.
  if (!IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 2, 0, 1))) {
    int number = 1;
    for (IGroupOfDev* g = m_firstGroup; g; g = g->GetNext(), ++number)
      g->SetNumber(&number);
  }
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 16, 0)))
    ar >> m_option;
  return 0;
}

int CGroupsOfDev::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IGroupsOfDev* dstGroups = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IGroupsOfDev, reinterpret_cast<void**>(&dstGroups))))
    return 1;
  auto* to = dynamic_cast<CGroupsOfDev*>(dstGroups);
  dstGroups->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_name = m_name;
  to->m_maintenanceFactor = m_maintenanceFactor;
  to->m_selected = m_selected;
  to->m_option = m_option;
  to->ReleaseGroups();
  for (IGroupOfDev* g = m_firstGroup; g; g = g->GetNext()) {
    IGroupOfDev* copy = CreateGroupOfDev(to, to->m_document, 0, 0);
    ObjectOf(g)->CopyTo(ObjectOf(copy), flags);
    to->AppendGroup(copy);
  }
  to->m_expanded = m_expanded;
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

}  // namespace ObjectModel
