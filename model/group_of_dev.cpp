#include "model/group_of_dev.h"

#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/pole.h"
#include "model/read_checks.h"
#include "model/servers.h"
#include "model/version.h"
#include "outside/servers/iluminaire_database.h"
#include "outside/servers/iprice_database.h"
#include "platform/com/variant.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace ObjectModel {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The default spacing of a line and the radius of a circle placement, m.
constexpr double kDefaultSpacing = 10.0;
// The luminaire table a group starts with before the database fills it.
constexpr int kEmptyTableSize = 5;
// Sub-groups are made one level deep; a file nesting them deeper than this is damaged.
constexpr int kMaxNesting = 4;
// The least a stored pole and a stored group take, for the count checks before anything is made.
constexpr ULONGLONG kMinPoleBytes = 5 * sizeof(double) + sizeof(std::int32_t);
constexpr ULONGLONG kMinGroupBytes = 16 + sizeof(std::int32_t);
constexpr ULONGLONG kPointBytes = 32;
// The pole steps the group's editor accepts, m, and the steps of a new group.
constexpr double kLeastStep = 1.0;
constexpr double kGreatestStep = 250.0;
constexpr double kDefaultStep = 30.0;
constexpr double kDefaultAngularStep = 30.0;
constexpr double kDefaultContourStep = 20.0;

constexpr UINT kVkLeft = 0x25;
constexpr UINT kVkUp = 0x26;
constexpr UINT kVkRight = 0x27;
constexpr UINT kVkDown = 0x28;

CGroupOfDev* GroupBehind(IGroupOfDev* group) { return group ? dynamic_cast<CGroupOfDev*>(group) : nullptr; }

IClassObjModel* ObjectOf(IModelUnknown* iface)
{
  void* out = nullptr;
  if (!iface || FAILED(iface->QueryInterface(&IID_IClassObjModel, &out)))
    return nullptr;
  auto* object = static_cast<IClassObjModel*>(out);
  object->Release();
  return object;
}

std::int32_t ReadCount(CArchive& ar, ULONGLONG minBytesEach)
{
  std::int32_t count = 0;
  ar >> count;
  if (count < 0)
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * minBytesEach);
  return count;
}

bool HasClassId(CClassObjModel* object, const CLSID& id)
{
  if (!object)
    return false;
  CGuid classId;
  object->GetClassId(&classId);
  return classId.IsEqual(&id);
}

}  // namespace

IGroupOfDev* CreateGroupOfDev(CClassObjModel* parent, IQorRoadDoc* document, int number, int luminaireCode)
{
  IGroupOfDev* group = nullptr;
  auto* object = new CGroupOfDev(parent, document, number, luminaireCode);
  object->QueryInterface(&IID_IGroupOfDev, reinterpret_cast<void**>(&group));
  return group;
}

CGroupOfDev::CGroupOfDev(CClassObjModel* parent, IQorRoadDoc* document, int number, int luminaireCode)
    : m_number(number == 0 ? 1 : number), m_document(document)
{
  InitIdentity(CLSID_CGroupOfDev, IDS_OBJ_GROUP_OF_DEV);
  m_parent = parent;
  m_name.Format("%s", LoadModelString(IDS_OBJ_GROUP_OF_DEV));
  // The first group of a straight road is its main one.
  if (number == 0 && HasClassId(parent, CLSID_CGroupsOfDev) && HasClassId(parent->GetParent(), CLSID_CStraightRoad))
    m_name += " (основная)";
  // The count is held up while the group hands itself to its poles during construction.
  AddRef();
  InitGroup(luminaireCode);
  ReleaseNoDelete();
}

CGroupOfDev::~CGroupOfDev()
{
  m_contourPoints.RemoveAll();
  ReleasePoles(0);
  ReleaseSubGroups();
}

HRESULT CGroupOfDev::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IGroupOfDev)
    return AnswerInterface(static_cast<IGroupOfDev*>(this), out);
  if (*iid == IID_IPole)
    return AnswerInterface(m_firstPole, out);
  if (*iid == IID_LastPole)
    return AnswerInterface(GetLastPole(), out);
  if (*iid == IID_FirstSubGroup)
    return AnswerInterface(m_firstSubGroup, out);
  if (*iid == IID_SelectedSubGroup) {
    for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext()) {
      if (IClassObjModel* object = ObjectOf(g); object && object->IsSelected())
        return AnswerInterface(g, out);
    }
  }
  return E_NOINTERFACE;
}

IPole* CGroupOfDev::GetLastPole() const
{
  IPole* pole = m_firstPole;
  while (pole && pole->GetNext())
    pole = pole->GetNext();
  return pole;
}

void CGroupOfDev::AppendPole(IPole* pole)
{
  if (IPole* last = GetLastPole()) {
    last->SetNext(pole);
    pole->SetPrev(last);
  } else {
    m_firstPole = pole;
  }
}

void CGroupOfDev::ReleasePoles(int count)
{
  if (count < 0)
    return;
  if (count == 0)
    count = GetPoleCount();
  for (int n = 0; n < count; ++n) {
    IPole* last = GetLastPole();
    if (!last)
      break;
    IPole* prev = last->GetPrev();
    if (prev)
      prev->SetNext(nullptr);
    else
      m_firstPole = nullptr;
    last->SetPrev(nullptr);
    last->Release();
  }
}

void CGroupOfDev::AppendSubGroup(IGroupOfDev* group)
{
  IGroupOfDev* last = m_firstSubGroup;
  while (last && last->GetNext())
    last = last->GetNext();
  if (last) {
    last->SetNext(group);
    group->SetPrev(last);
  } else {
    m_firstSubGroup = group;
  }
}

void CGroupOfDev::ReleaseSubGroups()
{
  IGroupOfDev* last = m_firstSubGroup;
  while (last && last->GetNext())
    last = last->GetNext();
  while (last) {
    IGroupOfDev* prev = last->GetPrev();
    last->SetNext(nullptr);
    last->SetPrev(nullptr);
    last->Release();
    last = prev;
  }
  m_firstSubGroup = nullptr;
}

int CGroupOfDev::NestingDepth()
{
  int depth = 0;
  for (CClassObjModel* p = m_parent; p && HasClassId(p, CLSID_CGroupOfDev); p = p->GetParent())
    ++depth;
  return depth;
}

int CGroupOfDev::InitGroup(int luminaireCode)
{
  LoadLightDevice(luminaireCode, 0);
  m_state = 5;
  const int scheme = 2;
  SetRoadScheme(&scheme);
  m_step = 30.0;
  m_offset = 0.0;
  m_mountingKind = 0;
  m_placementScheme = 0;
  std::fill(std::begin(m_basePoint), std::end(m_basePoint), 0.0);
  m_angularStep = 30.0;
  m_contourPoints.RemoveAll();
  m_contourSide = 0;
  m_vertexOffset = 0.0;
  m_contourOffset = 1.0;
  m_contourOutreach = 2.0;
  m_contourStep = 20.0;
  m_contourAngle = 0.0;
  return 0;
}

int CGroupOfDev::LoadLightDevice(int luminaireCode, int flag)
{
  m_lightDevice.BuildDeferredTable();
  LinkedTableResize(m_lightDevice.table.get(), kEmptyTableSize, kEmptyTableSize);
  ServerRef<ILuminaireDatabase> database(m_document, IID_ILuminaireDatabase);
  if (!database)
    return 1;
  if (luminaireCode != 0)
    ComCheck(flag ? database->LuminaireDbSelectRemembered() : database->LuminaireDbSelectDefault());
  // The file being read holds the whole record, prices included; the selection above stays as it always was.
  if (ProjectReadScope::Version() != 0)
    return 0;
  qorsrv::LuminaireRecord* record = nullptr;
  if (ComCheck(database->LuminaireDbGetLuminaire(&record, -1, 0)) != S_OK || !record)
    return 1;
  if (m_lightDeviceHandedOut)
    m_lightDevice.Assign(*record);
  else
    m_lightDevice.AssignDeferringTable(*record);
  m_lightDevice.databaseWord1 = record->databaseWord1;
  m_lightDevice.databaseWord2 = record->databaseWord2;
  if (m_lightDevice.luminairePrice == 0)
    AskLuminairePrices(m_document, &m_lightDevice, PriceFailure::Raises);
  return 0;
}

void AskLuminairePrices(IQorRoadDoc* document, CLightDevice* device, PriceFailure failure)
{
  ServerRef<IPriceDatabase> prices(document, IID_IPriceDatabase);
  if (!prices)
    return;
  auto answered = [failure](HRESULT hr) {
    return (failure == PriceFailure::Raises ? ComCheck(hr) : hr) == S_OK;
  };
  CLightDevice& d = *device;
  const char* name = d.luminaireName;
  const char* lamp = d.lampType;
  const double power = d.lampPower;
  LONG value = 0;
  if (answered(prices->GetLuminairePrice(name, &value)))
    d.luminairePrice = value;
  if (answered(prices->GetLuminaireInstallation(name, &value)))
    d.installationCost = value;
  if (answered(prices->GetLuminaireCleaning(name, &value)))
    d.cleaningCost = value;
  if (answered(prices->GetCleaningsPerYear(name, &value)))
    d.cleaningsPerYear = value;
  if (answered(prices->GetLuminaireLife(name, &value)) && value != 0)
    d.luminaireLife = value;
  if (answered(prices->GetLampPrice(lamp, power, &value)))
    d.lampPrice = value;
  if (answered(prices->GetLampReplacement(lamp, power, &value)))
    d.lampReplacementCost = value;
  if (answered(prices->GetLampLife(lamp, power, &value)) && value != 0)
    d.lampLife = value;
  double factor = 0.0;
  const HRESULT hr = d.IsLed() ? prices->GetDriverLoss(name, &factor) : prices->GetBallastLoss(lamp, power, &factor);
  if (answered(hr) && factor != 0.0)
    d.powerLossFactor = factor;
}

CLightDevice* CGroupOfDev::GetLightDevice()
{
  // A calculation's worker reads the model while the window may too: handing the record out must stay a read
  // for either, so the one that comes first builds the table and the other waits for it.
  static std::mutex building;
  const std::lock_guard lock(building);
  m_lightDeviceHandedOut = true;
  m_lightDevice.BuildDeferredTable();
  return &m_lightDevice;
}

int CGroupOfDev::RefreshLightDevice()
{
  ServerRef<ILuminaireDatabase> database(m_document, IID_ILuminaireDatabase);
  if (!database)
    return 1;
  qorsrv::LuminaireRecord* record = nullptr;
  _variant_t groupName(m_name.GetString());
  if (ComCheck(database->LuminaireDbChoose(&record, groupName)) != S_OK || !record)
    return 1;
  m_lightDevice.Assign(*record);
  m_lightDevice.databaseWord1 = record->databaseWord1;
  m_lightDevice.databaseWord2 = record->databaseWord2;
  _variant_t key(m_lightDevice.textB.GetString());
  ComCheck(database->LuminaireDbRememberChoice(key));
  return 0;
}

int CGroupOfDev::SetState(const int* state)
{
  m_state = *state;
  return 0;
}

void CGroupOfDev::SwitchPolesToUserValues(int mountingKind)
{
  if (!m_firstPole)
    return;
  const double height = m_firstPole->GetHeight(mountingKind);
  const double outreach = m_firstPole->GetOutreach(mountingKind);
  const double tilt = m_firstPole->GetTilt(mountingKind);
  const int user = 0;
  for (IPole* pole = m_firstPole; pole; pole = pole->GetNext()) {
    pole->SetTypical(&user);
    pole->SetHeight(&height);
    pole->SetOutreach(&outreach);
    pole->SetTilt(&tilt);
  }
}

int CGroupOfDev::SetRoadScheme(const int* scheme)
{
  const int s = *scheme;
  if (s >= 0 && s <= 5) {
    if (s == 5 && m_firstPole && *m_firstPole->GetTypical())
      SwitchPolesToUserValues(m_mountingKind);
    const int one = 1;
    SetPoleCount(&one);
  }
  m_roadScheme = s;
  return 0;
}

int CGroupOfDev::SetNext(IGroupOfDev* next)
{
  m_next = next;
  return 0;
}

int CGroupOfDev::SetPrev(IGroupOfDev* prev)
{
  m_prev = prev;
  return 0;
}

int CGroupOfDev::SetStep(const double* step)
{
  m_step = *step;
  CClassObjModel* container = m_parent;
  CClassObjModel* areaObject = container ? container->GetParent() : nullptr;
  IArea* area = nullptr;
  if (areaObject && SUCCEEDED(areaObject->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&area)))) {
    if (*area->GetLength() < m_step)
      area->SetLength(&m_step);
    area->Release();
  }
  return 0;
}

int CGroupOfDev::SetOffset(const double* offset)
{
  m_offset = *offset;
  return 0;
}

int CGroupOfDev::SetMountingKind(const int* kind)
{
  m_mountingKind = *kind;
  PlacePoles(0);
  if ((m_mountingKind == 1 || m_mountingKind == 2) && m_firstPole && *m_firstPole->GetTypical())
    SwitchPolesToUserValues(m_mountingKind);
  return 0;
}

int CGroupOfDev::SetPlacementScheme(const int* scheme)
{
  m_placementScheme = *scheme;
  const int before = GetPoleCount();
  if (m_placementScheme > 4)
    PlacePoles(0);
  const int one = 1;
  const int two = 2;
  switch (m_placementScheme) {
  case 0:
  case 3:
  case 4:
    SetPoleCount(&one);
    PlacePoles(before == 0 ? 1 : 0);
    break;
  case 2:
    if (before >= 1) {
      const double* p = m_firstPole->GetPosition();
      m_basePoint[0] = p[0] - kDefaultSpacing;
      m_basePoint[1] = p[1];
      m_basePoint[2] = p[2];
    }
    [[fallthrough]];
  case 1:
    if (before < 2)
      SetPoleCount(&two);
    PlacePoles(before == 0 ? 7 : 6);
    break;
  default:
    break;
  }
  return 0;
}

int CGroupOfDev::PlacePoles(int flags)
{
  if (m_mountingKind < 0 || m_mountingKind > 2 || !m_firstPole)
    return 0;
  if (m_placementScheme != 1 && m_placementScheme != 2)
    return 0;
  IPole* first = m_firstPole;
  IPole* second = first->GetNext();
  if (m_placementScheme == 1) {
    if (flags & 0x1) {
      const double origin[3] = {0, 0, 0};
      first->SetPosition(origin);
    }
    const double* p1 = first->GetPosition();
    if (second && (flags & 0x2)) {
      const double p[3] = {p1[0] + kDefaultSpacing, p1[1], p1[2]};
      second->SetPosition(p);
    }
    if (second && (flags & 0x4)) {
      const double* p2 = second->GetPosition();
      const double dx = p2[0] - p1[0];
      const double dy = p2[1] - p1[1];
      for (IPole* pole = second->GetNext(); pole; pole = pole->GetNext()) {
        const double* prev = pole->GetPrev()->GetPosition();
        const double p[3] = {prev[0] + dx, prev[1] + dy, p2[2]};
        pole->SetPosition(p);
      }
    }
    return 0;
  }
  // On a circle about the base point: the k-th pole is the first turned by k angular steps.
  if (flags & 0x1) {
    const double p[3] = {m_basePoint[0] + kDefaultSpacing, m_basePoint[1], m_basePoint[2]};
    first->SetPosition(p);
  }
  const double* p1 = first->GetPosition();
  const double rx = p1[0] - m_basePoint[0];
  const double ry = p1[1] - m_basePoint[1];
  int k = 1;
  for (IPole* pole = second; pole; pole = pole->GetNext(), ++k) {
    if (!((k == 1 && (flags & 0x2)) || (k >= 2 && (flags & 0x4))))
      continue;
    const double a = k * m_angularStep * kDegree;
    const double p[3] = {m_basePoint[0] + rx * std::cos(a) - ry * std::sin(a),
                         m_basePoint[1] + rx * std::sin(a) + ry * std::cos(a), p1[2]};
    pole->SetPosition(p);
  }
  return 0;
}

int CGroupOfDev::ClearSelection()
{
  m_selected = 0;
  for (IPole* pole = GetLastPole(); pole; pole = pole->GetPrev())
    pole->ClearSelection();
  for (_CSPOINT3D& point : m_contourPoints)
    point.flags &= ~0x2;
  for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext())
    g->ClearSelection();
  return 0;
}

int CGroupOfDev::GetPoleCount()
{
  int count = 0;
  for (IPole* pole = m_firstPole; pole; pole = pole->GetNext())
    ++count;
  return count;
}

int CGroupOfDev::GetTotalPoleCount()
{
  if (m_placementScheme != 3 && m_placementScheme != 4)
    return GetPoleCount();
  int total = 0;
  for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext())
    total += g->GetPoleCount();
  return total;
}

int CGroupOfDev::GetLuminaireCount()
{
  int perPole = 1;
  if (m_firstPole && *m_firstPole->GetTypical()) {
    if (const CLampConsole* bracket = m_firstPole->GetLampPost()->GetCurrentBracket())
      perPole = static_cast<int>(bracket->arms.GetSize());
  }
  if (m_placementScheme == 3 || m_placementScheme == 4) {
    int poles = 0;
    for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext())
      poles += g->GetPoleCount();
    return poles * perPole;
  }
  return GetPoleCount() * perPole;
}

int CGroupOfDev::SetPoleCount(const int* count)
{
  const int wanted = std::max(*count, 0);
  int current = GetPoleCount();
  if (wanted == current)
    return 0;
  IPole* templatePole = nullptr;
  if (m_firstPole) {
    templatePole = CreatePole(this, m_document);
    IClassObjModel* from = ObjectOf(m_firstPole);
    from->CopyTo(ObjectOf(templatePole), 0);
  }
  if (current > wanted) {
    ReleasePoles(current - wanted);
    current = wanted;
  }
  for (; current < wanted; ++current) {
    IPole* pole = CreatePole(this, m_document);
    if (templatePole)
      ObjectOf(templatePole)->CopyTo(ObjectOf(pole), 0);
    const int flags = *pole->GetCoordFlags() | 0x2;
    pole->SetCoordFlags(&flags);
    if (templatePole) {
      const int user = 0;
      const double height = templatePole->GetHeight(m_mountingKind);
      const double outreach = templatePole->GetOutreach(m_mountingKind);
      const double tilt = templatePole->GetTilt(m_mountingKind);
      pole->SetTypical(&user);
      pole->SetHeight(&height);
      pole->SetOutreach(&outreach);
      pole->SetTilt(&tilt);
    }
    AppendPole(pole);
  }
  if (templatePole)
    templatePole->Release();
  return 0;
}

int CGroupOfDev::SetBasePoint(const double* xyz)
{
  std::copy(xyz, xyz + 3, m_basePoint);
  return 0;
}

int CGroupOfDev::SetAngularStep(const double* step)
{
  m_angularStep = *step;
  return 0;
}

int CGroupOfDev::SetNumber(const int* number)
{
  m_number = *number;
  return 0;
}

int CGroupOfDev::GetContourPoints(CArray<_CSPOINT3D>** out)
{
  *out = &m_contourPoints;
  return 0;
}

int CGroupOfDev::IsSubGroup() { return HasClassId(m_parent, CLSID_CGroupOfDev) ? 1 : 0; }

int CGroupOfDev::ShareTreeItem()
{
  for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext())
    ObjectOf(g)->SetTreeItem(&m_treeItem);
  return 0;
}

int CGroupOfDev::GetSubGroupCount()
{
  int count = 0;
  for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext())
    ++count;
  return count;
}

int CGroupOfDev::SetContourMode(int side)
{
  m_contourSide = side;
  return 0;
}

int CGroupOfDev::SetContourOffset(const double* offset)
{
  m_contourOffset = *offset;
  return 0;
}

int CGroupOfDev::SetContourOutreach(const double* outreach)
{
  m_contourOutreach = *outreach;
  return 0;
}

int CGroupOfDev::SetContourStep(const double* step)
{
  m_contourStep = *step;
  return 0;
}

int CGroupOfDev::SetContourAngle(const double* angle)
{
  m_contourAngle = *angle;
  return 0;
}

int CGroupOfDev::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
  if (!m_selected) {
    for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext()) {
      const int result = g->OnKeyDown(key, repeat, flags);
      if (result != 1)
        return result;
    }
    return 1;
  }
  const double q = m_document ? m_document->GetMarkerSize() : 0.0;
  double dx = 0;
  double dy = 0;
  switch (key) {
  case kVkLeft: dx = -q; break;
  case kVkRight: dx = q; break;
  case kVkUp: dy = q; break;
  case kVkDown: dy = -q; break;
  default: break;
  }
  auto move = [dx, dy](IPole* pole) {
    const double* p = pole->GetPosition();
    const double moved[3] = {p[0] + dx, p[1] + dy, p[2]};
    pole->SetPosition(moved);
  };
  if (m_firstPole) {
    move(m_firstPole);
    m_basePoint[0] += dx;
    m_basePoint[1] += dy;
    if (IPole* second = m_firstPole->GetNext()) {
      move(second);
      PlacePoles(m_placementScheme == 2 ? 6 : 4);
    }
  }
  return 0;
}

int CGroupOfDev::TestKeyDown(UINT key)
{
  if (m_selected)
    return 0;
  for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext()) {
    const int result = g->TestKeyDown(key);
    if (result != 1)
      return result;
  }
  return 1;
}

// The group's block, in file order:
//   object id: Data1 int32, Data2, Data3 int16, Data4 8 bytes;
//   state int32, name, road arrangement int32, step, offset (doubles);
//   mounting kind, placement scheme (int32, 4.0.4.0); base point x, y, z, angular step (doubles, 4.0.9.0);
//   pole count int32, each pole's block; the luminaire record; number int32 (4.2.0.1);
//   contour points: count (the framework's count form), 32 bytes each: x, y, z doubles, flags int32, 4 bytes
//   (4.3.0.0); contour side int32, vertex offset, contour offset, outreach, step, angle doubles (4.3.0.0);
//   sub-group count int32, each sub-group's block in this same layout (4.3.0.0).
int CGroupOfDev::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    const GUID& id = m_objectId.Value();
    ar << static_cast<std::int32_t>(id.Data1) << static_cast<std::int16_t>(id.Data2)
       << static_cast<std::int16_t>(id.Data3);
    ar.Write(id.Data4, 8);
    ar << m_state << m_name << m_roadScheme << m_step << m_offset;
    ar << m_mountingKind << m_placementScheme;
    ar << m_basePoint[0] << m_basePoint[1] << m_basePoint[2] << m_angularStep;
    ar << static_cast<std::int32_t>(GetPoleCount());
    for (IPole* pole = m_firstPole; pole; pole = pole->GetNext())
      pole->Serialize(archive, fileVersion);
    m_lightDevice.Serialize(archive, &fileVersion);
    ar << m_number;
    ar.WriteCount(static_cast<DWORD_PTR>(m_contourPoints.GetSize()));
    for (const _CSPOINT3D& p : m_contourPoints)
      ar << p.x << p.y << p.z << p.flags << p.reserved;
    ar << m_contourSide << m_vertexOffset << m_contourOffset << m_contourOutreach << m_contourStep << m_contourAngle;
    ar << static_cast<std::int32_t>(GetSubGroupCount());
    for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext())
      ObjectOf(g)->Serialize(archive, fileVersion);
    return 0;
  }

  auto at = [fileVersion](unsigned a, unsigned b, unsigned c, unsigned d) {
    return IsVersionAtLeast(fileVersion, MakeFormatVersion(a, b, c, d));
  };
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
  m_objectId.Assign(&id);
  ar >> m_state >> m_name >> m_roadScheme >> m_step >> m_offset;
  // The step divides the road into the positions drawn and calculated; the editor keeps it within 1 to 250 m.
  if (m_step != 0)
    m_step = CheckedRead(m_step, kLeastStep, kGreatestStep, kDefaultStep);
  m_offset = CheckedRead(m_offset, -kGreatestStep, kGreatestStep, 0.0);
  m_mountingKind = 0;
  m_placementScheme = 0;
  if (at(4, 0, 4, 0))
    ar >> m_mountingKind >> m_placementScheme;
  if (at(4, 0, 9, 0)) {
    ar >> m_basePoint[0] >> m_basePoint[1] >> m_basePoint[2] >> m_angularStep;
    m_angularStep = CheckedRead(m_angularStep, -360.0, 360.0, kDefaultAngularStep);
  } else {
    std::fill(std::begin(m_basePoint), std::end(m_basePoint), 0.0);
    m_angularStep = 30.0;
  }
  ReleasePoles(0);
  if (!at(4, 3, 0, 0))
    m_contourPoints.RemoveAll();
  ReleaseSubGroups();
  const std::int32_t poleCount = ReadCount(ar, kMinPoleBytes);
  for (std::int32_t i = 0; i < poleCount; ++i) {
    IPole* pole = CreatePole(this, m_document);
    AppendPole(pole);
    pole->Serialize(archive, fileVersion);
  }
  if (m_lightDeviceHandedOut)
    m_lightDevice.Serialize(archive, &fileVersion);
  else
    m_lightDevice.LoadDeferringTable(archive, &fileVersion);
  if (at(4, 2, 0, 1))
    ar >> m_number;
  if (!at(4, 3, 0, 0))
    return 0;
  const DWORD_PTR pointCount = ar.ReadCount();
  ar.EnsureAvailable(static_cast<ULONGLONG>(pointCount) * kPointBytes);
  m_contourPoints.RemoveAll();
  for (DWORD_PTR i = 0; i < pointCount; ++i) {
    _CSPOINT3D p{};
    ar >> p.x >> p.y >> p.z >> p.flags >> p.reserved;
    m_contourPoints.Add(p);
  }
  ar >> m_contourSide >> m_vertexOffset >> m_contourOffset >> m_contourOutreach >> m_contourStep >> m_contourAngle;
  m_contourStep = CheckedRead(m_contourStep, kLeastStep, kGreatestStep, kDefaultContourStep);
  const std::int32_t subGroupCount = ReadCount(ar, kMinGroupBytes);
  if (subGroupCount > 0 && NestingDepth() >= kMaxNesting)
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  for (std::int32_t i = 0; i < subGroupCount; ++i) {
    IGroupOfDev* group = CreateGroupOfDev(this, m_document, subGroupCount, 0);
    AppendSubGroup(group);
    ObjectOf(group)->Serialize(archive, fileVersion);
  }
  return 0;
}

int CGroupOfDev::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IGroupOfDev* dstGroup = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IGroupOfDev, reinterpret_cast<void**>(&dstGroup))))
    return 1;
  CGroupOfDev* to = GroupBehind(dstGroup);
  dstGroup->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_selected = m_selected;
  to->m_lightDevice.Assign(m_lightDevice);
  to->m_name = m_name;
  to->m_state = m_state;
  to->m_step = m_step;
  to->m_offset = m_offset;
  to->m_mountingKind = m_mountingKind;
  to->m_placementScheme = m_placementScheme;
  std::copy(std::begin(m_basePoint), std::end(m_basePoint), to->m_basePoint);
  to->m_angularStep = m_angularStep;
  to->m_contourSide = m_contourSide;
  to->m_vertexOffset = m_vertexOffset;
  to->m_contourOffset = m_contourOffset;
  to->m_contourOutreach = m_contourOutreach;
  to->m_contourStep = m_contourStep;
  to->m_contourAngle = m_contourAngle;
  to->ReleasePoles(0);
  to->SetRoadScheme(&m_roadScheme);
  const int count = GetPoleCount();
  to->SetPoleCount(&count);
  for (IPole *from = m_firstPole, *into = to->m_firstPole; from && into; from = from->GetNext(), into = into->GetNext())
    ObjectOf(from)->CopyTo(ObjectOf(into), flags);
  to->m_expanded = m_expanded;
  to->m_number = m_number;
  to->m_contourPoints.RemoveAll();
  for (const _CSPOINT3D& p : m_contourPoints)
    to->m_contourPoints.Add(p);
  to->ReleaseSubGroups();
  for (IGroupOfDev* g = m_firstSubGroup; g; g = g->GetNext()) {
    IGroupOfDev* copy = CreateGroupOfDev(to, to->m_document, 0, 0);
    ObjectOf(g)->CopyTo(ObjectOf(copy), flags);
    to->AppendSubGroup(copy);
  }
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

}  // namespace ObjectModel
