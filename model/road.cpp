#include "model/road.h"

#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/model_strings.h"
#include "platform/mfc-core/archive.h"

namespace ObjectModel {

namespace {

// Bytes of one strip block: three int32 and four doubles.
constexpr ULONGLONG kStripBlockBytes = 4 + 4 + 8 + 4 + 8 + 8 + 8;

CLineOfRoad* AsStrip(ILineOfRoad* lane) { return dynamic_cast<CLineOfRoad*>(lane); }

// A new strip of `owner` holding the copy of `source` made with `flags`.
ILineOfRoad* CopyOfStrip(CClassObjModel* owner, ILineOfRoad* source, DWORD flags)
{
  ILineOfRoad* copy = CreateLineOfRoad(owner);
  AsStrip(source)->CopyTo(AsStrip(copy), flags);
  return copy;
}

// Links `lane` in right after `after`.
void InsertAfter(ILineOfRoad* after, ILineOfRoad* lane)
{
  ILineOfRoad* next = after->GetNext();
  lane->SetPrev(after);
  lane->SetNext(next);
  if (next)
    next->SetPrev(lane);
  after->SetNext(lane);
}

// Unlinks `lane` from its neighbours and drops the list's reference to it.
void RemoveLane(ILineOfRoad* lane)
{
  ILineOfRoad* prev = lane->GetPrev();
  ILineOfRoad* next = lane->GetNext();
  if (prev)
    prev->SetNext(next);
  if (next)
    next->SetPrev(prev);
  lane->SetPrev(nullptr);
  lane->SetNext(nullptr);
  lane->Release();
}

}  // namespace

// ---- strip ----

CLineOfRoad::CLineOfRoad(CClassObjModel* parent)
{
  m_parent = parent;
  InitIdentity(CLSID_CLineOfRoad, IDS_OBJ_LINE_OF_ROAD);
}

ILineOfRoad* CreateLineOfRoad(CClassObjModel* parent)
{
  ILineOfRoad* lane = nullptr;
  auto* strip = new CLineOfRoad(parent);
  strip->QueryInterface(&IID_ILineOfRoad, reinterpret_cast<void**>(&lane));
  return lane;
}

HRESULT CLineOfRoad::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_ILineOfRoad)
    return AnswerInterface(static_cast<ILineOfRoad*>(this), out);
  return E_NOINTERFACE;
}

int CLineOfRoad::SetDefaults()
{
  m_type = kLaneMain;
  m_state = 1;
  m_width = 3.75;
  m_parapet = 0;
  m_parapetWidth = 1.0;
  m_parapetHeight = 1.0;
  m_gap = 0;
  return 0;
}

// Strip block: type int32, state int32, width double, parapet flag int32, parapet width double,
// parapet height double, gap double. No version gates.
int CLineOfRoad::Serialize(CArchive* archive, DWORD)
{
  CArchive& ar = *archive;
  if (ar.IsStoring())
    ar << m_type << m_state << m_width << m_parapet << m_parapetWidth << m_parapetHeight << m_gap;
  else
    ar >> m_type >> m_state >> m_width >> m_parapet >> m_parapetWidth >> m_parapetHeight >> m_gap;
  return 0;
}

int CLineOfRoad::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  CLineOfRoad* to = dynamic_cast<CLineOfRoad*>(dst);
  if (!to)
    return 1;
  if (to == this)
    return 0;
  to->m_type = m_type;
  to->m_state = m_state;
  to->m_width = m_width;
  to->m_parapet = m_parapet;
  to->m_parapetWidth = m_parapetWidth;
  to->m_parapetHeight = m_parapetHeight;
  to->m_gap = m_gap;
  to->m_selected = m_selected;
  return 0;
}

int CLineOfRoad::SetType(const int* type)
{
  m_type = *type;
  return 0;
}

int CLineOfRoad::SetWidth(const double* width)
{
  m_width = *width;
  return 0;
}

int CLineOfRoad::SetState(const int* state)
{
  m_state = *state;
  return 0;
}

int CLineOfRoad::SetParapet(const int* on)
{
  m_parapet = *on;
  return 0;
}

double CLineOfRoad::GetParapetWidth() { return IsDividerWithParapet() ? m_parapetWidth : 0.0; }

int CLineOfRoad::SetParapetWidth(const double* width)
{
  if (!IsDividerWithParapet())
    return 1;
  m_parapetWidth = *width;
  return 0;
}

double CLineOfRoad::GetParapetHeight() { return IsDividerWithParapet() ? m_parapetHeight : 0.0; }

int CLineOfRoad::SetParapetHeight(const double* height)
{
  if (!IsDividerWithParapet())
    return 1;
  m_parapetHeight = *height;
  return 0;
}

int CLineOfRoad::SetNext(ILineOfRoad* next)
{
  m_next = next;
  return 0;
}

int CLineOfRoad::SetPrev(ILineOfRoad* prev)
{
  m_prev = prev;
  return 0;
}

int CLineOfRoad::SetGap(const double* gap)
{
  m_gap = *gap;
  return 0;
}

int CLineOfRoad::ClearSelection()
{
  m_selected = 0;
  return 0;
}

// ---- carriageway ----

CRoad::CRoad(CClassObjModel* parent)
{
  m_parent = parent;
  InitIdentity(CLSID_CRoad, IDS_OBJ_ROAD);
  CRoad::SetDefaults();
}

CRoad::~CRoad() { ReleaseLanes(); }

HRESULT CRoad::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IRoad)
    return AnswerInterface(static_cast<IRoad*>(this), out);
  if (*iid == IID_ILineOfRoad)
    return AnswerInterface(m_firstLane, out);
  return E_NOINTERFACE;
}

int CRoad::SetDefaults()
{
  m_roadName = LoadModelString(IDS_OBJ_ROAD);
  m_state = 5;
  m_surface = 0;
  m_oppositeState = 0;
  MakeDefaultLanes();
  return 0;
}

void CRoad::MakeDefaultLanes()
{
  ReleaseLanes();
  const int types[] = {kLaneMain, kLaneMain, kLaneDivider, kLaneOpposite, kLaneOpposite};
  for (int type : types) {
    ILineOfRoad* lane = CreateLineOfRoad(this);
    lane->SetType(&type);
    if (type == kLaneDivider) {
      const double width = 1.0;
      const int off = 0;
      lane->SetWidth(&width);
      lane->SetState(&off);
    }
    AppendLane(lane);
  }
}

ILineOfRoad* CRoad::LastLane() const
{
  ILineOfRoad* lane = m_firstLane;
  while (lane && lane->GetNext())
    lane = lane->GetNext();
  return lane;
}

ILineOfRoad* CRoad::FirstLaneOfType(int type) const
{
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    if (*lane->GetType() == type)
      return lane;
  return nullptr;
}

ILineOfRoad* CRoad::DividerOn() const
{
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    if (*lane->GetType() == kLaneDivider && *lane->GetState() != 0)
      return lane;
  return nullptr;
}

void CRoad::AppendLane(ILineOfRoad* lane)
{
  ILineOfRoad* last = LastLane();
  if (!last) {
    m_firstLane = lane;
    return;
  }
  last->SetNext(lane);
  lane->SetPrev(last);
}

void CRoad::ReleaseLanes()
{
  ILineOfRoad* lane = LastLane();
  while (lane) {
    ILineOfRoad* prev = lane->GetPrev();
    lane->SetNext(nullptr);
    lane->Release();
    lane = prev;
  }
  m_firstLane = nullptr;
}

// Carriageway block: state int32, name CString, surface int32, opposite state int32, lane count int32, then
// that many strip blocks, first lane first. No version gates.
int CRoad::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    int count = 0;
    for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
      ++count;
    ar << m_state << m_roadName << m_surface << m_oppositeState << count;
    for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
      AsStrip(lane)->Serialize(archive, fileVersion);
    return 0;
  }

  ReleaseLanes();
  int count = 0;
  ar >> m_state >> m_roadName >> m_surface >> m_oppositeState >> count;
  if (count < 1)
    return 0;
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kStripBlockBytes);
  for (int i = 0; i < count; ++i) {
    ILineOfRoad* lane = CreateLineOfRoad(this);
    AppendLane(lane);
    AsStrip(lane)->Serialize(archive, fileVersion);
  }
  return 0;
}

int CRoad::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IRoad* dstRoad = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IRoad, reinterpret_cast<void**>(&dstRoad))))
    return 1;
  CRoad* to = dynamic_cast<CRoad*>(dstRoad);
  dstRoad->Release();
  if (!to)
    return 1;
  if (to == this)
    return 0;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_roadName = m_roadName;
  to->m_state = m_state;
  to->m_surface = m_surface;
  to->m_oppositeState = m_oppositeState;
  to->m_selected = m_selected;
  to->ReleaseLanes();
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    to->AppendLane(CopyOfStrip(to, lane, flags));
  to->m_expanded = m_expanded;
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

int CRoad::SetRoadName(const CString* name)
{
  m_roadName = *name;
  return 0;
}

int CRoad::SetState(const int* state)
{
  m_state = *state;
  return 0;
}

int CRoad::IsTwoWay() { return FirstLaneOfType(kLaneOpposite) ? 1 : 0; }

int CRoad::SetTwoWay(const int* on)
{
  ILineOfRoad* last = LastLane();
  const bool twoWay = IsTwoWay() != 0;
  if (!last || (*on == 0 && !twoWay) || (*on != 0 && twoWay))
    return 1;

  if (*on != 0) {
    // The opposite direction mirrors the main one lane for lane, outermost last.
    ILineOfRoad* divider = CreateLineOfRoad(this);
    const int dividerType = kLaneDivider;
    const double dividerWidth = 1.0;
    const int off = 0;
    divider->SetType(&dividerType);
    divider->SetWidth(&dividerWidth);
    divider->SetState(&off);
    AppendLane(divider);
    const int opposite = kLaneOpposite;
    for (ILineOfRoad* lane = last; lane; lane = lane->GetPrev()) {
      ILineOfRoad* mirror = CopyOfStrip(this, lane, 0);
      mirror->SetType(&opposite);
      AppendLane(mirror);
    }
    return 0;
  }

  // The head is never released, whatever its type.
  for (ILineOfRoad* lane = last; lane != m_firstLane && *lane->GetType() != kLaneMain;) {
    ILineOfRoad* prev = lane->GetPrev();
    RemoveLane(lane);
    lane = prev;
  }
  return 0;
}

int CRoad::SetSurface(const int* surface)
{
  m_surface = *surface;
  return 0;
}

int CRoad::SetLaneCount(const int* laneType, const UINT* count)
{
  const int type = *laneType;
  if (*count == 0 || (type != kLaneMain && type != kLaneOpposite) || (type == kLaneOpposite && !IsTwoWay()))
    return 1;
  ILineOfRoad* runFirst = FirstLaneOfType(type);
  if (!runFirst)
    return 1;
  ILineOfRoad* runLast = runFirst;
  UINT runLength = 1;
  while (runLast->GetNext() && *runLast->GetNext()->GetType() == type) {
    runLast = runLast->GetNext();
    ++runLength;
  }

  for (; runLength < *count; ++runLength) {
    ILineOfRoad* lane = CopyOfStrip(this, runLast, 0);
    lane->SetType(&type);
    InsertAfter(runLast, lane);
    runLast = lane;
  }
  for (; runLength > *count; --runLength) {
    ILineOfRoad* prev = runLast->GetPrev();
    if (runLast == m_firstLane)
      m_firstLane = runLast->GetNext();
    RemoveLane(runLast);
    runLast = prev;
  }
  return 0;
}

UINT CRoad::GetLaneCount(const int* laneType)
{
  UINT count = 0;
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    if (*lane->GetType() == *laneType)
      ++count;
  return count;
}

int CRoad::SetLaneWidth(const int* laneType, const double* width)
{
  if (!(*width > 0.0))
    return 1;
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    if (*lane->GetType() == *laneType)
      lane->SetWidth(width);
  return 0;
}

double CRoad::GetLaneWidth(const int* laneType)
{
  ILineOfRoad* lane = FirstLaneOfType(*laneType);
  return lane ? *lane->GetWidth() : 0.0;
}

int CRoad::SetDividerOn(const int* on)
{
  ILineOfRoad* divider = FirstLaneOfType(kLaneDivider);
  if (!divider)
    return 1;
  divider->SetState(on);
  return 0;
}

int CRoad::HasDivider() { return DividerOn() ? 1 : 0; }

int CRoad::SetParapetOn(const int* on)
{
  ILineOfRoad* divider = DividerOn();
  if (!divider)
    return 1;
  divider->SetParapet(on);
  return 0;
}

int CRoad::HasParapet()
{
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    if (*lane->GetType() == kLaneDivider && *lane->GetState() != 0 && *lane->GetParapet() != 0)
      return 1;
  return 0;
}

int CRoad::SetParapetWidth(const double* width)
{
  ILineOfRoad* divider = DividerOn();
  if (!divider)
    return 1;
  divider->SetParapetWidth(width);
  return 0;
}

double CRoad::GetParapetWidth()
{
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    if (*lane->GetType() == kLaneDivider && *lane->GetState() != 0 && *lane->GetParapet() != 0)
      return lane->GetParapetWidth();
  return 0.0;
}

int CRoad::SetParapetHeight(const double* height)
{
  ILineOfRoad* divider = DividerOn();
  if (!divider)
    return 1;
  divider->SetParapetHeight(height);
  return 0;
}

double CRoad::GetParapetHeight()
{
  for (ILineOfRoad* lane = m_firstLane; lane; lane = lane->GetNext())
    if (*lane->GetType() == kLaneDivider && *lane->GetState() != 0 && *lane->GetParapet() != 0)
      return lane->GetParapetHeight();
  return 0.0;
}

namespace {

template <class Sides>
ILineOfRoad* SideStrip(Sides* sides, const IID& key)
{
  ILineOfRoad* strip = nullptr;
  if (FAILED(sides->QueryInterface(&key, reinterpret_cast<void**>(&strip))))
    return nullptr;
  strip->Release();  // the sides keep it alive while we read it
  return strip;
}

}  // namespace

int CRoad::UpdateAreaWidth()
{
  const int mainType = kLaneMain;
  const int oppositeType = kLaneOpposite;
  const int dividerType = kLaneDivider;
  double width = GetLaneCount(&mainType) * GetLaneWidth(&mainType);
  if (IsTwoWay()) {
    width += GetLaneCount(&oppositeType) * GetLaneWidth(&oppositeType);
    if (HasDivider())
      width += GetLaneWidth(&dividerType);
  }

  // The carriageway reaches its area and its neighbours only through its parent, the straight road.
  if (!m_parent)
    return 0;
  IStraightRoad* straightRoad = nullptr;
  if (FAILED(m_parent->QueryInterface(&IID_IStraightRoad, reinterpret_cast<void**>(&straightRoad))))
    return 0;

  IPavement* pavement = nullptr;
  if (SUCCEEDED(straightRoad->QueryInterface(&IID_IPavement, reinterpret_cast<void**>(&pavement)))) {
    if ((*pavement->GetFlags() & kSideAbsent) == 0) {
      for (const IID* key : {&IID_RightPavement, &IID_LeftPavement})
        if (ILineOfRoad* strip = SideStrip(pavement, *key))
          width += *strip->GetWidth() + *strip->GetGap();
    }
    pavement->Release();
  }
  IWall* wall = nullptr;
  if (SUCCEEDED(straightRoad->QueryInterface(&IID_IWall, reinterpret_cast<void**>(&wall)))) {
    if ((*wall->GetFlags() & kSideAbsent) == 0) {
      for (const IID* key : {&IID_RightWall, &IID_LeftWall})
        if (ILineOfRoad* strip = SideStrip(wall, *key))
          width += *strip->GetGap();
    }
    wall->Release();
  }
  IArea* area = nullptr;
  if (SUCCEEDED(straightRoad->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&area)))) {
    area->SetWidth(&width);
    area->Release();
  }
  straightRoad->Release();
  return 0;
}

int CRoad::GetOppositeState() { return IsTwoWay() ? m_oppositeState : 1; }

int CRoad::SetOppositeState(const int* state)
{
  m_oppositeState = *state;
  return 0;
}

int CRoad::ClearSelection()
{
  m_selected = 0;
  for (ILineOfRoad* lane = LastLane(); lane; lane = lane->GetPrev())
    lane->ClearSelection();
  return 0;
}

}  // namespace ObjectModel
