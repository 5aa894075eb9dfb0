#include "model/project.h"

#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/money.h"
#include "model/economics_defaults.h"
#include "model/customize_road.h"
#include "model/interchange.h"
#include "model/straight_road.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

namespace ObjectModel {

namespace {

// A stored area takes at least its class id.
constexpr ULONGLONG kMinAreaBytes = 16;

CClassObjModel* ObjectBehind(IArea* area) { return area ? dynamic_cast<CClassObjModel*>(area) : nullptr; }

void StoreGuid(CArchive& ar, const GUID& id)
{
  ar << static_cast<std::uint32_t>(id.Data1) << static_cast<std::uint16_t>(id.Data2)
     << static_cast<std::uint16_t>(id.Data3);
  ar.Write(id.Data4, 8);
}

GUID LoadGuid(CArchive& ar)
{
  GUID id{};
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  ar >> data1 >> data2 >> data3;
  if (ar.Read(id.Data4, 8) != 8)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  id.Data1 = data1;
  id.Data2 = data2;
  id.Data3 = data3;
  return id;
}

}  // namespace

CProject::CProject(IQorRoadDoc* context) : m_context(context)
{
  InitIdentity(CLSID_CProject, IDS_OBJ_PROJECT);
  // The areas reach their project through the parent link while they are made.
  AddRef();
  CProject::SetDefaults();
  ReleaseNoDelete();
}

CProject::~CProject() { ReleaseAreas(); }

HRESULT CProject::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IProject)
    return AnswerInterface(static_cast<IProject*>(this), out);
  if (*iid == IID_IArea)
    return AnswerInterface(m_firstArea, out);
  if (*iid == IID_ActiveArea) {
    for (IArea* area = m_firstArea; area; area = area->GetNext()) {
      if (area->IsActive())
        return AnswerInterface(area, out);
    }
  }
  return E_NOINTERFACE;
}

int CProject::SetDefaults()
{
  m_name = LoadModelString(IDS_OBJ_PROJECT);
  m_objectName.Empty();
  m_protocolNumber.Empty();
  m_date = COleDateTime::GetCurrentTime();
  m_executor.Empty();
  m_organization.Empty();
  m_customer.Empty();

  AskProjectEconomics(m_context, {&m_electricityTariff, &m_hoursOfUse, &m_capitalEfficiency, &m_networkLossFactor,
                                  &m_luminaireAmortisation, &m_poleAmortisation, &m_bracketAmortisation});
  m_polesInCost = 1;
  m_bracketsInCost = 1;
  if (IArea* area = ResetAreas(CLSID_CStraightRoad))
    area->Release();
  return 0;
}

IArea* CProject::LastArea() const
{
  IArea* area = m_firstArea;
  while (area && area->GetNext())
    area = area->GetNext();
  return area;
}

void CProject::AppendArea(IArea* area)
{
  if (IArea* last = LastArea()) {
    last->SetNext(area);
    area->SetPrev(last);
  } else {
    m_firstArea = area;
  }
}

void CProject::ReleaseAreas()
{
  IArea* area = LastArea();
  while (area) {
    IArea* prev = area->GetPrev();
    area->SetNext(nullptr);
    area->SetPrev(nullptr);
    area->Release();
    area = prev;
  }
  m_firstArea = nullptr;
  m_areaCounter = 0;
}

IArea* CProject::CreateArea(CLSID kind, IClassObjModel* toRelease)
{
  ++m_areaCounter;
  IArea* area = nullptr;
  if (kind == CLSID_CStraightRoad) {
    auto* road = new CStraightRoad(m_context, this, m_areaCounter);
    if (FAILED(road->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&area))))
      area = nullptr;
  } else if (kind == CLSID_CCustomizeRoad) {
    auto* site = new CCustomizeRoad(m_context, this, m_areaCounter);
    if (FAILED(site->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&area))))
      area = nullptr;
  } else if (kind == CLSID_CCustomizeRoad3D) {
    auto* interchange = new CCustomizeRoad3D(m_context, this, m_areaCounter);
    if (FAILED(interchange->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&area))))
      area = nullptr;
  }
  if (area)
    area->FormatCaption();
  if (toRelease)
    toRelease->Release();
  return area;
}

IArea* CProject::ResetAreas(CLSID kind)
{
  ReleaseAreas();
  IArea* area = CreateArea(kind, nullptr);
  if (!area)
    return nullptr;
  m_firstArea = area;
  const int active = 1;
  area->SetActive(&active);
  // The list holds the area's reference; the caller gets one of its own.
  area->AddRef();
  return area;
}

IArea* CProject::InsertAreaAfter(CLSID kind, IArea* reference)
{
  IArea* area = CreateArea(kind, nullptr);
  if (!area)
    return nullptr;
  if (!m_firstArea) {
    m_firstArea = area;
  } else {
    IArea* at = m_firstArea;
    while (at != reference && at->GetNext())
      at = at->GetNext();
    IArea* following = at->GetNext();
    at->SetNext(area);
    area->SetPrev(at);
    area->SetNext(following);
    if (following)
      following->SetPrev(area);
  }
  area->AddRef();
  return area;
}

int CProject::SetActiveArea(IArea* wanted)
{
  if (!m_firstArea)
    return 1;
  IArea* formerlyActive = nullptr;
  bool met = false;
  for (IArea* area = LastArea(); area; area = area->GetPrev()) {
    if (area->IsActive())
      formerlyActive = area;
    const int active = area == wanted ? 1 : 0;
    met = met || area == wanted;
    area->SetActive(&active);
  }
  if (!met && formerlyActive) {
    const int active = 1;
    formerlyActive->SetActive(&active);
  }
  return 0;
}

int CProject::RemoveArea(IArea* area)
{
  if (!area || area->IsActive())
    return 1;
  IArea* prev = area->GetPrev();
  IArea* next = area->GetNext();
  if (prev) {
    prev->SetNext(next);
  } else {
    if (area != m_firstArea || !next)
      return 1;
    m_firstArea = next;
  }
  if (next)
    next->SetPrev(prev);
  area->SetNext(nullptr);
  area->SetPrev(nullptr);
  area->Release();
  return 0;
}

int CProject::SetAreaCounter(int value)
{
  m_areaCounter = value;
  return 0;
}

int CProject::ClearSelection()
{
  m_selected = 0;
  for (IArea* area = LastArea(); area; area = area->GetPrev())
    area->ClearSelection();
  return 0;
}

#define TESMIRA_SETTER(Name, Field, Type) \
  int CProject::Name(const Type* value)   \
  {                                       \
    Field = *value;                       \
    return 0;                             \
  }
TESMIRA_SETTER(SetObjectName, m_objectName, CString)
TESMIRA_SETTER(SetProtocolNumber, m_protocolNumber, CString)
TESMIRA_SETTER(SetDate, m_date, COleDateTime)
TESMIRA_SETTER(SetExecutor, m_executor, CString)
TESMIRA_SETTER(SetOrganization, m_organization, CString)
TESMIRA_SETTER(SetCustomer, m_customer, CString)
TESMIRA_SETTER(SetHoursOfUse, m_hoursOfUse, int)
TESMIRA_SETTER(SetCapitalEfficiency, m_capitalEfficiency, double)
TESMIRA_SETTER(SetNetworkLossFactor, m_networkLossFactor, double)
TESMIRA_SETTER(SetLuminaireAmortisation, m_luminaireAmortisation, double)
TESMIRA_SETTER(SetPoleAmortisation, m_poleAmortisation, double)
TESMIRA_SETTER(SetBracketAmortisation, m_bracketAmortisation, double)
TESMIRA_SETTER(SetPolesInCost, m_polesInCost, int)
TESMIRA_SETTER(SetBracketsInCost, m_bracketsInCost, int)
#undef TESMIRA_SETTER

double CProject::GetElectricityTariff() { return FromHundredths(m_electricityTariff); }

int CProject::SetElectricityTariff(const double* tariff)
{
  m_electricityTariff = ToHundredths(*tariff);
  return 0;
}

// The project block, in file order:
//   name, object name, protocol number; date status (int32), date (double); executor, organisation, customer;
//   area count (int32), then per area its class id (16 bytes: Data1 u32, Data2, Data3 u16, Data4) and its block;
//   area counter (int32, 4.0.15.0); tariff in hundredths, hours of use (int32), capital efficiency, network
//   loss, luminaire, pole and bracket amortisation (doubles), poles in cost, brackets in cost (int32) (4.0.18.0).
int CProject::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    ar << m_name << m_objectName << m_protocolNumber;
    ar << static_cast<std::int32_t>(m_date.GetStatus()) << static_cast<double>(m_date);
    ar << m_executor << m_organization << m_customer;
    std::int32_t count = 0;
    for (IArea* area = m_firstArea; area; area = area->GetNext())
      ++count;
    ar << count;
    for (IArea* area = m_firstArea; area; area = area->GetNext()) {
      CClassObjModel* object = ObjectBehind(area);
      CGuid classId;
      object->GetClassId(&classId);
      StoreGuid(ar, classId.Value());
      object->Serialize(archive, fileVersion);
    }
    ar << m_areaCounter << m_electricityTariff << m_hoursOfUse << m_capitalEfficiency << m_networkLossFactor
       << m_luminaireAmortisation << m_poleAmortisation << m_bracketAmortisation << m_polesInCost
       << m_bracketsInCost;
    return 0;
  }

  std::int32_t status = 0;
  double date = 0;
  ar >> m_name >> m_objectName >> m_protocolNumber >> status >> date;
  m_date = COleDateTime(static_cast<DATE>(date));
  // A status the framework does not know reads as invalid, never as a value outside the enumeration.
  m_date.SetStatus(status >= COleDateTime::valid && status <= COleDateTime::null
                       ? static_cast<COleDateTime::DateTimeStatus>(status)
                       : COleDateTime::invalid);
  ar >> m_executor >> m_organization >> m_customer;
  std::int32_t count = 0;
  ar >> count;
  if (count < 0)
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kMinAreaBytes);
  ReleaseAreas();
  const ProjectReadScope reading(fileVersion);
  for (std::int32_t i = 0; i < count; ++i) {
    const GUID classId = LoadGuid(ar);
    IArea* area = CreateArea(classId, nullptr);
    // An area of no known kind cannot be skipped: its block has no length to step over.
    if (!area)
      AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
    AppendArea(area);
    ObjectBehind(area)->Serialize(archive, fileVersion);
  }
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 15, 0)))
    ar >> m_areaCounter;
  else
    m_areaCounter = count;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 18, 0))) {
    ar >> m_electricityTariff >> m_hoursOfUse >> m_capitalEfficiency >> m_networkLossFactor >>
        m_luminaireAmortisation >> m_poleAmortisation >> m_bracketAmortisation >> m_polesInCost >> m_bracketsInCost;
  }
  return 0;
}

int CProject::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IProject* dstProject = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IProject, reinterpret_cast<void**>(&dstProject))))
    return 1;
  auto* to = dynamic_cast<CProject*>(dstProject);
  dstProject->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_selected = m_selected;
  to->m_name = m_name;
  to->m_objectName = m_objectName;
  to->m_protocolNumber = m_protocolNumber;
  // An undo state is the same project: it keeps the project's date.
  to->m_date = m_date;
  to->m_executor = m_executor;
  to->m_organization = m_organization;
  to->m_customer = m_customer;
  to->m_electricityTariff = m_electricityTariff;
  to->m_hoursOfUse = m_hoursOfUse;
  to->m_capitalEfficiency = m_capitalEfficiency;
  to->m_networkLossFactor = m_networkLossFactor;
  to->m_luminaireAmortisation = m_luminaireAmortisation;
  to->m_poleAmortisation = m_poleAmortisation;
  to->m_bracketAmortisation = m_bracketAmortisation;
  to->m_polesInCost = m_polesInCost;
  to->m_bracketsInCost = m_bracketsInCost;
  to->ReleaseAreas();
  for (IArea* area = m_firstArea; area; area = area->GetNext()) {
    CClassObjModel* from = ObjectBehind(area);
    CGuid classId;
    from->GetClassId(&classId);
    IArea* copy = to->CreateArea(classId.Value(), nullptr);
    if (!copy)
      continue;
    from->CopyTo(ObjectBehind(copy), flags);
    to->AppendArea(copy);
  }
  to->m_areaCounter = m_areaCounter;
  to->m_expanded = m_expanded;
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

}  // namespace ObjectModel

HRESULT CreateProject(IQorRoadDoc* context, IProject** out)
{
  if (!context)
    return E_FAIL;
  auto* project = new ObjectModel::CProject(context);
  return project->QueryInterface(&IID_IProject, reinterpret_cast<void**>(out));
}
