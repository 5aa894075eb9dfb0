#include "model/customize_road.h"

#include "model/graphics_services.h"
#include "model/group_of_primitive.h"
#include "model/groups_of_dev.h"
#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/primitive.h"
#include "model/results.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace ObjectModel {

namespace {

// A folder of the object tree: a plain model object with a class id and a name, never stored.
class CCategoryNode : public CClassObjModel {
public:
  CCategoryNode(CClassObjModel* parent, const CLSID& classId, UINT nameId)
  {
    InitIdentity(classId, nameId);
    m_parent = parent;
  }

protected:
  ~CCategoryNode() override = default;
};

struct NodeKind {
  const CLSID* classId;
  const IID* key;
  UINT nameId;
};
const NodeKind kNodes[5] = {
    {&CLSID_RoadNode, &IID_RoadNode, IDS_OBJ_ROAD},
    {&CLSID_PavementNode, &IID_PavementNode, IDS_OBJ_PAVEMENT},
    {&CLSID_BackgroundNode, &IID_BackgroundNode, IDS_OBJ_BACKGROUND},
    {&CLSID_ShadingNode, &IID_ShadingNode, IDS_OBJ_SHADING},
    {&CLSID_MarkingNode, &IID_MarkingNode, IDS_OBJ_MARKING},
};

// The least a stored user group takes: object id, kind, state, an empty name, membership.
constexpr ULONGLONG kMinGroupBytes = 16 + 16 + 4 + 1 + 4;
// The least a stored primitive takes: shape, an empty name, membership, state, centre, sizes, rotation.
constexpr ULONGLONG kMinPrimitiveBytes = 4 + 1 + 4 + 4 + 6 * 8;

// Cursor resources.
constexpr int kCursorArrow = 104;
constexpr int kCursorRotate = 293;
constexpr int kCursorMove = 294;
constexpr int kCursorLeftRight = 296;
constexpr int kCursorUpDown = 297;
constexpr int kCursorDiagonalDown = 298;
constexpr int kCursorDiagonalUp = 299;
constexpr int kCursorVertex = 335;

// The 45-degree sector of an angle in [-180, 180]: 0 around the x axis, 1 to 3 turning on by 45 degrees (the
// opposite directions share a sector); -1 outside.
int SectorOf(double a)
{
  if (!(a >= -180 && a <= 180))
    return -1;
  if ((a >= -22.5 && a < 22.5) || a >= 157.5 || a < -157.5)
    return 0;
  if ((a >= 22.5 && a < 67.5) || (a >= -157.5 && a < -112.5))
    return 1;
  if ((a >= 67.5 && a < 112.5) || (a >= -112.5 && a < -67.5))
    return 2;
  return 3;
}

IClassObjModel* ObjectOf(IModelUnknown* iface)
{
  void* object = nullptr;
  if (!iface || FAILED(iface->QueryInterface(&IID_IClassObjModel, &object)))
    return nullptr;
  auto* result = static_cast<IClassObjModel*>(object);
  result->Release();
  return result;
}

bool HasClass(IClassObjModel* object, const CLSID& id)
{
  if (!object)
    return false;
  CGuid classId;
  object->GetClassId(&classId);
  return classId.IsEqual(&id);
}

}  // namespace

CCustomizeRoad::CCustomizeRoad(IQorRoadDoc* context, CClassObjModel* parent, int number)
    : CArea(parent, context, number)
{
  InitIdentity(CLSID_CCustomizeRoad, IDS_OBJ_CUSTOMIZE_ROAD);
  SetCaption(&m_name);
  CClassObjModel::AddRef();
  for (int i = 0; i < 5; ++i) {
    auto* node = new CCategoryNode(this, *kNodes[i].classId, kNodes[i].nameId);
    node->QueryInterface(&IID_IClassObjModel, reinterpret_cast<void**>(&m_nodes[i]));
  }
  (new CGroupsOfDev(this, context))->QueryInterface(&IID_IGroupsOfDev, reinterpret_cast<void**>(&m_groups));
  (new CResultsOfCalc())->QueryInterface(&IID_IResultsOfCalc, reinterpret_cast<void**>(&m_results));
  CCustomizeRoad::SetDefaults();
  ReleaseNoDelete();
}

CCustomizeRoad::~CCustomizeRoad()
{
  ReleasePrimitives();
  ReleaseGroups();
  for (IClassObjModel*& node : m_nodes)
    ReleaseAndClear(node);
  ReleaseAndClear(m_groups);
  ReleaseAndClear(m_results);
}

HRESULT CCustomizeRoad::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_ICustomizeRoad)
    return AnswerInterface(static_cast<ICustomizeRoad*>(this), out);
  if (*iid == IID_IResultsOfCalc)
    return AnswerInterface(m_results, out);
  for (int i = 0; i < 5; ++i) {
    if (*iid == *kNodes[i].key)
      return AnswerInterface(m_nodes[i], out);
  }
  if (*iid == IID_IGroupsOfDev)
    return AnswerInterface(m_groups, out);
  if (*iid == IID_IPrimitive)
    return AnswerInterface(m_firstPrimitive, out);
  if (*iid == IID_LastPrimitive)
    return AnswerInterface(LastPrimitive(), out);
  if (*iid == IID_IGroupOfPrimitive)
    return AnswerInterface(m_firstGroup, out);
  if (*iid == IID_LastPrimitiveGroup)
    return AnswerInterface(LastGroup(), out);
  return CArea::QueryInterface(iid, out);
}

IClassObjModel* CCustomizeRoad::Child(IModelUnknown* part) { return ObjectOf(part); }

IPrimitive* CCustomizeRoad::LastPrimitive() const
{
  IPrimitive* p = m_firstPrimitive;
  while (p && p->GetNext())
    p = p->GetNext();
  return p;
}

IGroupOfPrimitive* CCustomizeRoad::LastGroup() const
{
  IGroupOfPrimitive* g = m_firstGroup;
  while (g && g->GetNext())
    g = g->GetNext();
  return g;
}

void CCustomizeRoad::AppendPrimitive(IPrimitive* primitive)
{
  IPrimitive* last = LastPrimitive();
  primitive->SetPrev(last);
  primitive->SetNext(nullptr);
  if (last)
    last->SetNext(primitive);
  else
    m_firstPrimitive = primitive;
}

void CCustomizeRoad::AppendGroup(IGroupOfPrimitive* group)
{
  IGroupOfPrimitive* last = LastGroup();
  group->SetPrev(last);
  group->SetNext(nullptr);
  if (last)
    last->SetNext(group);
  else
    m_firstGroup = group;
}

void CCustomizeRoad::UnlinkPrimitive(IPrimitive* primitive)
{
  IPrimitive* prev = primitive->GetPrev();
  IPrimitive* next = primitive->GetNext();
  if (prev)
    prev->SetNext(next);
  else
    m_firstPrimitive = next;
  if (next)
    next->SetPrev(prev);
  primitive->SetPrev(nullptr);
  primitive->SetNext(nullptr);
}

void CCustomizeRoad::ReleasePrimitives()
{
  IPrimitive* p = LastPrimitive();
  m_firstPrimitive = nullptr;
  while (p) {
    IPrimitive* before = p->GetPrev();
    p->Release();
    p = before;
  }
}

void CCustomizeRoad::ReleaseGroups()
{
  IGroupOfPrimitive* g = LastGroup();
  m_firstGroup = nullptr;
  while (g) {
    IGroupOfPrimitive* before = g->GetPrev();
    g->Release();
    g = before;
  }
}

int CCustomizeRoad::ResetPrimitives()
{
  ReleasePrimitives();
  m_firstPrimitive = CreateVertexPrimitive2(kMemberCarriageway);
  return 0;
}

int CCustomizeRoad::SetDefaults()
{
  CArea::SetDefaults();
  m_primitiveCounter = 0;
  m_roadGroupCounter = 0;
  m_sidewalkGroupCounter = 0;
  m_roadState = 5;
  m_sidewalkState = 5;
  ResetPrimitives();
  if (IClassObjModel* groups = Child(m_groups))
    groups->SetDefaults();
  if (IClassObjModel* results = Child(m_results))
    results->SetDefaults();
  m_sidewalkWidth = 2.0;
  m_sidewalkGap = 1.0;
  m_branchCount = 5;
  SetFormDefaults();
  m_angle1 = 45.0;
  m_angle2 = -45.0;
  m_turnRadius = 0;
  m_wideningType = 0;
  m_wideningLength = 0.5 * *GetLength();
  return 0;
}

IPrimitive* CCustomizeRoad::CreatePrimitive(int shape, int membership, BOOL numbered)
{
  if (numbered)
    ++m_primitiveCounter;
  IPrimitive* primitive = ObjectModel::CreatePrimitive(this, GetContext(), m_primitiveCounter);
  primitive->SetShape(&shape);
  primitive->SetMembership(&membership);
  return primitive;
}

IPrimitive* CCustomizeRoad::CreateVertexPrimitive(int membership)
{
  IPrimitive* primitive = CreatePrimitive(kShapePolygon, membership, TRUE);
  CArray<_CSPOINT3D>* outline = nullptr;
  primitive->GetOutline(&outline);
  outline->RemoveAll();
  const double z = *GetBaseHeight();
  for (const auto& [x, y] : {std::pair{5.0, 5.0}, {-5.0, 5.0}, {-5.0, -5.0}, {5.0, -5.0}})
    outline->Add(_CSPOINT3D{x, y, z, 0, 0});
  const int state = (*primitive->GetState() & ~0x30) | 0x48;
  primitive->SetState(&state);
  primitive->RebuildContour();
  return primitive;
}

IGroupOfPrimitive* CCustomizeRoad::CreatePrimitiveGroup(int membership)
{
  IGroupOfPrimitive* group = CreateGroupOfPrimitive(this, GetContext());
  GUID fresh{};
  CoCreateGuid(&fresh);
  const CGuid kind(&fresh);
  group->SetKind(&kind);
  if (!m_firstGroup)
    m_firstGroup = group;
  group->SetNumber(&membership);
  long number = 0;
  if (membership == kMemberCarriageway) {
    number = ++m_roadGroupCounter;
  } else if (membership == kMemberSidewalk) {
    number = ++m_sidewalkGroupCounter;
  } else {
    // No counter of its own: the place it would take in the list.
    for (IGroupOfPrimitive* g = m_firstGroup; g; g = g->GetNext())
      ++number;
    number += m_firstGroup == group ? 0 : 1;
  }
  CString name;
  name.Format("%s - %ld", static_cast<const char*>(LoadModelString(IDS_OBJ_PRIMITIVE_GROUP)), number);
  group->SetName(&name);
  return group;
}

IPrimitive* CCustomizeRoad::GetSelectedPrimitive()
{
  for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext()) {
    if (IClassObjModel* object = ObjectOf(p); object && object->IsSelected())
      return p;
  }
  return nullptr;
}

int CCustomizeRoad::SetTriangleFromPoints(IPrimitive* primitive, const double* a, const double* b, const double* c)
{
  if (CPrimitive* p = PrimitiveBehind(primitive))
    p->SetTriangleThrough(a, b, c);
  return 0;
}

int CCustomizeRoad::HasActiveShadingObject()
{
  for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext()) {
    if (*p->GetMembership() == kMemberShading && (*p->GetState() & kStateOn))
      return 1;
  }
  return 0;
}

int CCustomizeRoad::CountPrimitivesInGroup(CGuid* kind, int* membership)
{
  int count = 0;
  for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext()) {
    CGuid own;
    p->GetGroupKind(&own);
    if (own.IsEqual(&kind->Value()) && *p->GetMembership() == *membership)
      ++count;
  }
  return count;
}

int CCustomizeRoad::GetPrimitiveCount()
{
  int count = 0;
  for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext())
    ++count;
  return count;
}

int CCustomizeRoad::RemovePrimitiveGroup(CGuid* kind, int* membership)
{
  for (IGroupOfPrimitive* g = m_firstGroup; g; g = g->GetNext()) {
    CGuid own;
    g->GetKind(&own);
    if (!own.IsEqual(&kind->Value()) || *g->GetNumber() != *membership)
      continue;
    IGroupOfPrimitive* prev = g->GetPrev();
    IGroupOfPrimitive* next = g->GetNext();
    if (prev)
      prev->SetNext(next);
    else
      m_firstGroup = next;
    if (next)
      next->SetPrev(prev);
    g->Release();
    return 0;
  }
  return 1;
}

// 0 when primitives went, 1 when none matched: the caller learns whether anything changed.
int CCustomizeRoad::RemovePrimitive(CGuid* kind, int* membership)
{
  bool removed = false;
  for (IPrimitive* p = m_firstPrimitive; p;) {
    IPrimitive* next = p->GetNext();
    CGuid own;
    p->GetGroupKind(&own);
    if (own.IsEqual(&kind->Value()) && *p->GetMembership() == *membership) {
      UnlinkPrimitive(p);
      p->Release();
      removed = true;
    }
    p = next;
  }
  return removed ? 0 : 1;
}

int CCustomizeRoad::ClearSelection()
{
  m_selected = 0;
  for (IPrimitive* p = LastPrimitive(); p; p = p->GetPrev()) {
    p->ClearSelection();
    if (!p->GetFirstChild() && !(*p->GetState() & kStateKeepPieces))
      p->Rebuild();
  }
  for (IGroupOfPrimitive* g = m_firstGroup; g; g = g->GetNext())
    g->ClearSelection();
  m_groups->ClearSelection();
  return 0;
}

int CCustomizeRoad::HitTest(double x, double y, int flags, IClassObjModel** out)
{
  *out = nullptr;
  const int form = *GetTypicalForm();
  if (form != 0 && form != 8)
    return -1;
  IPrimitive* candidate = nullptr;
  if (flags & 0x2) {
    candidate = GetSelectedPrimitive();
  } else {
    if (!(flags & 0x4))
      return -1;
    candidate = GetSelectedPrimitive();
    if (!candidate || HitTestPrimitive(x, y, flags, candidate) == -1) {
      candidate = nullptr;
      for (IPrimitive* p = LastPrimitive(); p; p = p->GetPrev()) {
        if (HitTestPrimitive(x, y, flags, p) != -1) {
          candidate = p;
          break;
        }
      }
    }
  }
  if (!candidate)
    return -1;
  IClassObjModel* object = nullptr;
  candidate->QueryInterface(&IID_IClassObjModel, reinterpret_cast<void**>(&object));
  *out = object;
  if (!(flags & 0x1))
    object->Release();
  const int result = HitTestPrimitive(x, y, flags, candidate);
  if (result == -1) {
    if (flags & 0x1)
      object->Release();
    *out = nullptr;
  }
  return result;
}

int CCustomizeRoad::HitTestPrimitive(double x, double y, int flags, IPrimitive* primitive)
{
  if (!primitive)
    return -1;
  const double t = GetContext() ? GetContext()->GetMarkerSize() : 0.0;
  auto inBox = [t, x, y](double px, double py) { return std::fabs(x - px) < t && std::fabs(y - py) < t; };
  const int shape = *primitive->GetShape();
  if (IsPolygonShape(shape)) {
    CArray<_CSPOINT3D>* outline = nullptr;
    primitive->GetOutline(&outline);
    bool hit = false;
    for (_CSPOINT3D& v : *outline) {
      if (inBox(v.x, v.y)) {
        v.flags |= (flags & 0x2) ? 0x3 : 0x1;
        hit = true;
      } else if (!(flags & 0x4)) {
        v.flags &= ~0x3;
      }
    }
    if (hit)
      return 10;
    for (IPrimitive* piece = primitive->GetFirstChild(); piece; piece = piece->GetNext()) {
      if (HitTestPrimitive(x, y, flags, piece) != -1) {
        if (flags & 0x8) {
          const double origin[3] = {x, y, primitive->GetHeight()};
          primitive->SetDragOrigin(origin);
        }
        return 11;
      }
    }
    return -1;
  }
  _PRIMITIVE_INFO_1 info{};
  primitive->GetCalcInfo(&info);
  for (int h = 0; h < 9; ++h) {
    if (inBox(info.points[h][0], info.points[h][1]))
      return h + 1;
  }
  double centre[3];
  primitive->GetCentre(centre);
  const double th = primitive->GetRotation() * std::numbers::pi / 180.0;
  const double u = std::cos(th) * (x - centre[0]) + std::sin(th) * (y - centre[1]);
  const double v = std::cos(th) * (y - centre[1]) - std::sin(th) * (x - centre[0]);
  const double w = *primitive->GetSize2();
  const double h = *primitive->GetSize1();
  bool hit = false;
  switch (shape) {
  case kShapeTriangle: {
    const double offset = *primitive->GetVertexOffset();
    if (std::fabs(u) < w / 2 && std::fabs(v) < h / 2) {
      const double k = offset * w / 2;
      const double s = u >= k ? -2 * h / (w * (1 - offset)) : 2 * h / (w * (1 + offset));
      hit = v <= h / 2 + s * (u - k);
    }
    break;
  }
  case kShapeRectangle:
  case kShapeEllipse: hit = std::fabs(u) < w / 2 && std::fabs(v) < h / 2; break;
  case kShapeRingSector: {
    const double r = std::min(w, h) / 2;
    hit = u * u + v * v <= r * r;
    break;
  }
  default: break;
  }
  if (!hit)
    return -1;
  if (flags & 0x8) {
    const double origin[3] = {x, y, primitive->GetHeight()};
    primitive->SetDragOrigin(origin);
  }
  return 0;
}

int CCustomizeRoad::GetCursorFor(int hitCode, IClassObjModel* object, int* cursorId)
{
  if (!object) {
    *cursorId = kCursorArrow;
    return 1;
  }
  switch (hitCode) {
  case 0:
  case 100:
  case 902:
  case 903:
  case 904:
  case 905:
  case 906: *cursorId = kCursorMove; return 0;
  case 9:
  case 900:
  case 907: *cursorId = kCursorRotate; return 0;
  case 10:
  case 11: *cursorId = kCursorVertex; return 0;
  case -1: *cursorId = kCursorArrow; return 0;
  default: break;
  }
  // Resize cursors by sector: left-right, lower-left to upper-right, up-down, upper-left to lower-right.
  static constexpr int kTurning[4] = {kCursorLeftRight, kCursorDiagonalUp, kCursorUpDown, kCursorDiagonalDown};
  if (HasClass(object, CLSID_CGroupOfDev)) {
    *cursorId = kCursorArrow;
    if (hitCode != 901)
      return 0;
    IGroupOfDev* group = nullptr;
    if (FAILED(object->QueryInterface(&IID_IGroupOfDev, reinterpret_cast<void**>(&group))))
      return 0;
    IPole* pole = nullptr;
    group->QueryInterface(&IID_IPole, reinterpret_cast<void**>(&pole));
    const int scheme = *group->GetPlacementScheme();
    group->Release();
    if (!pole)
      return 0;
    double angle = 0;
    bool known = true;
    switch (scheme) {
    case 0: angle = *pole->GetRotation(); break;
    case 1: angle = pole->GetAbsoluteRotation(); break;
    case 2: angle = pole->GetCircleRotation(); break;
    default: known = false; break;
    }
    pole->Release();
    const int sector = known ? SectorOf(angle) : -1;
    if (sector >= 0)
      *cursorId = kTurning[sector];
    return 0;
  }
  if (HasClass(object, CLSID_CPrimitive)) {
    if (hitCode < 1 || hitCode > 8)
      return 0;
    IPrimitive* primitive = nullptr;
    if (FAILED(object->QueryInterface(&IID_IPrimitive, reinterpret_cast<void**>(&primitive))))
      return 0;
    const double rotation = primitive->GetRotation();
    primitive->Release();
    const int sector = SectorOf(rotation);
    if (sector < 0) {
      *cursorId = kCursorArrow;
      return 0;
    }
    // At rotation 0: corners 1, 3 lower-left to upper-right, 2, 4 the other diagonal, 5, 7 up-down, 6, 8
    // left-right; each sector turns all of them one step on.
    int base = 0;
    switch (hitCode) {
    case 1:
    case 3: base = 1; break;
    case 2:
    case 4: base = 3; break;
    case 5:
    case 7: base = 2; break;
    default: base = 0; break;
    }
    *cursorId = kTurning[(base + sector) % 4];
    return 0;
  }
  *cursorId = kCursorArrow;
  return 0;
}

int CCustomizeRoad::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
  if (m_selected || !m_firstPrimitive)
    return 1;
  for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext()) {
    const int result = p->OnKeyDown(key, repeat, flags);
    if (result != 1)
      return result;
  }
  return m_groups->OnKeyDown(key, repeat, flags);
}

int CCustomizeRoad::TestKeyDown(UINT key)
{
  if (m_selected || !m_firstPrimitive)
    return 1;
  for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext()) {
    const int result = p->TestKeyDown(key);
    if (result != 1)
      return result;
  }
  return m_groups->TestKeyDown(key);
}

int CCustomizeRoad::CopyTo(IClassObjModel* dst, DWORD flags)
{
  if (CArea::CopyTo(dst, flags) != 0)
    return 1;
  ICustomizeRoad* other = nullptr;
  if (FAILED(dst->QueryInterface(&IID_ICustomizeRoad, reinterpret_cast<void**>(&other))))
    return 1;
  auto* to = dynamic_cast<CCustomizeRoad*>(other);
  other->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_roadState = m_roadState;
  to->m_sidewalkState = m_sidewalkState;
  to->ReleasePrimitives();
  for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext()) {
    IPrimitive* copy = ObjectModel::CreatePrimitive(to, to->GetContext(), 0);
    ObjectOf(p)->CopyTo(ObjectOf(copy), flags);
    to->AppendPrimitive(copy);
  }
  Child(m_groups)->CopyTo(to->Child(to->m_groups), flags);
  to->ReleaseGroups();
  for (IGroupOfPrimitive* g = m_firstGroup; g; g = g->GetNext()) {
    IGroupOfPrimitive* copy = CreateGroupOfPrimitive(to, to->GetContext());
    ObjectOf(g)->CopyTo(ObjectOf(copy), flags);
    to->AppendGroup(copy);
  }
  Child(m_results)->CopyTo(to->Child(to->m_results), flags);
  to->m_sidewalkWidth = m_sidewalkWidth;
  to->m_sidewalkGap = m_sidewalkGap;
  to->m_branchCount = m_branchCount;
  std::copy(std::begin(m_widths), std::end(m_widths), to->m_widths);
  to->m_angle1 = m_angle1;
  to->m_angle2 = m_angle2;
  to->m_turnRadius = m_turnRadius;
  to->m_wideningType = m_wideningType;
  to->m_wideningLength = m_wideningLength;
  std::copy(std::begin(m_junctionAngles), std::end(m_junctionAngles), to->m_junctionAngles);
  to->m_innerRadius = m_innerRadius;
  to->m_outerRadius = m_outerRadius;
  to->m_primitiveCounter = m_primitiveCounter;
  to->m_roadGroupCounter = m_roadGroupCounter;
  to->m_sidewalkGroupCounter = m_sidewalkGroupCounter;
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

// The open territory's block, after the area block, in file order:
//   road state, sidewalk state (int32); primitive count n (int32) and n primitive blocks; user group count m
//   (int32) and m group blocks (read from 4.3.5.0); the groups of poles; the results (4.0.4.0);
//   sidewalk width, gap (doubles, 4.0.15.0); carriageway count (int32), widths 1-5, angle 1, angle 2, turn
//   radius (doubles), widening type (int32), widening length, junction angles 1-5, inner and outer radius
//   (doubles) (4.0.16.0); primitive counter (int32, 4.2.0.1); carriageway and sidewalk group counters (int32,
//   4.3.5.0).
int CCustomizeRoad::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArea::Serialize(archive, fileVersion);
  CArchive& ar = *archive;
  auto at = [fileVersion](unsigned a, unsigned b, unsigned c, unsigned d) {
    return IsVersionAtLeast(fileVersion, MakeFormatVersion(a, b, c, d));
  };
  if (ar.IsStoring()) {
    ar << m_roadState << m_sidewalkState;
    ar << static_cast<std::int32_t>(GetPrimitiveCount());
    for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext())
      ObjectOf(p)->Serialize(archive, fileVersion);
    std::int32_t groups = 0;
    for (IGroupOfPrimitive* g = m_firstGroup; g; g = g->GetNext())
      ++groups;
    ar << groups;
    for (IGroupOfPrimitive* g = m_firstGroup; g; g = g->GetNext())
      ObjectOf(g)->Serialize(archive, fileVersion);
    Child(m_groups)->Serialize(archive, fileVersion);
    if (at(4, 0, 4, 0))
      Child(m_results)->Serialize(archive, fileVersion);
    ar << m_sidewalkWidth << m_sidewalkGap;
    ar << m_branchCount;
    for (double w : m_widths)
      ar << w;
    ar << m_angle1 << m_angle2 << m_turnRadius << m_wideningType << m_wideningLength;
    for (double a : m_junctionAngles)
      ar << a;
    ar << m_innerRadius << m_outerRadius;
    ar << m_primitiveCounter << m_roadGroupCounter << m_sidewalkGroupCounter;
    return 0;
  }

  ar >> m_roadState >> m_sidewalkState;
  auto readCount = [&ar](ULONGLONG minBytes) {
    std::int32_t n = 0;
    ar >> n;
    if (n < 0)
      AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    ar.EnsureAvailable(static_cast<ULONGLONG>(n) * minBytes);
    return n;
  };
  ReleasePrimitives();
  const std::int32_t n = readCount(kMinPrimitiveBytes);
  m_primitiveCounter = n;
  for (std::int32_t i = 0; i < n; ++i) {
    IPrimitive* p = ObjectModel::CreatePrimitive(this, GetContext(), n);
    AppendPrimitive(p);
    ObjectOf(p)->Serialize(archive, fileVersion);
  }
  ReleaseGroups();
  if (at(4, 3, 5, 0)) {
    const std::int32_t m = readCount(kMinGroupBytes);
    for (std::int32_t i = 0; i < m; ++i) {
      IGroupOfPrimitive* g = CreateGroupOfPrimitive(this, GetContext());
      AppendGroup(g);
      ObjectOf(g)->Serialize(archive, fileVersion);
    }
  }
  Child(m_groups)->Serialize(archive, fileVersion);
  if (at(4, 0, 4, 0))
    Child(m_results)->Serialize(archive, fileVersion);
  if (at(4, 0, 15, 0))
    ar >> m_sidewalkWidth >> m_sidewalkGap;
  if (at(4, 0, 16, 0)) {
    ar >> m_branchCount;
    for (double& w : m_widths)
      ar >> w;
    ar >> m_angle1 >> m_angle2 >> m_turnRadius >> m_wideningType >> m_wideningLength;
    for (double& a : m_junctionAngles)
      ar >> a;
    ar >> m_innerRadius >> m_outerRadius;
  }
  if (!at(4, 0, 18, 0)) {
    struct FittedView {
      DWORD bit;
      double rx, ry, rz;
    };
    static constexpr DWORD kPresetViews[] = {1, 2};
    static constexpr FittedView kFittedViews[] = {{4, 0, 90, 0},  {8, 0, 0, 0},  {16, 0, 180, 0},
                                                  {32, 0, 0, 0}, {64, 0, 0, 0}, {128, 0, 180, 0}};
    for (DWORD bit : kPresetViews) {
      _DEVCPOSITION* camera = nullptr;
      if (GetViewCamera(&bit, &camera) == 0)
        Graphics::MakeCameraPreset(nullptr, nullptr, camera, bit, this);
    }
    for (const FittedView& view : kFittedViews) {
      _DEVCPOSITION* camera = nullptr;
      if (GetViewCamera(&view.bit, &camera) != 0)
        continue;
      double position[3] = {};
      int flag = 0;
      Graphics::GetModelGraphics().FitCameraToArea(position, this, view.bit, &flag, nullptr, nullptr);
      *camera = _DEVCPOSITION{position[0], position[1], position[2], view.rx, view.ry, view.rz};
    }
  }
  if (at(4, 2, 0, 1))
    ar >> m_primitiveCounter;
  m_roadGroupCounter = 0;
  m_sidewalkGroupCounter = 0;
  if (at(4, 3, 5, 0))
    ar >> m_roadGroupCounter >> m_sidewalkGroupCounter;
  return 0;
}

}  // namespace ObjectModel
