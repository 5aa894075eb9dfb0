#include "model/primitive.h"

#include "model/class_of.h"
#include "model/contour_offset.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "model/model_strings.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void InitPrimitiveInfo(_PRIMITIVE_INFO_1* info)
{
  std::fill(std::begin(info->centre), std::end(info->centre), 0.0);
  for (auto& point : info->points)
    std::fill(std::begin(point), std::end(point), 0.0);
  std::fill(std::begin(info->extraPoint), std::end(info->extraPoint), 0.0);
}

namespace ObjectModel {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr UINT kVkLeft = 0x25;
constexpr UINT kVkUp = 0x26;
constexpr UINT kVkRight = 0x27;
constexpr UINT kVkDown = 0x28;

// Colour elements of the visual options.
constexpr int kColourRoadActive = 1;
constexpr int kColourRoad = 2;
constexpr int kColourMarking = 3;
constexpr int kColourSidewalkActive = 11;
constexpr int kColourSidewalk = 12;
constexpr int kColourBackground = 14;
constexpr int kColourShading = 18;
constexpr int kColourSelected = 20;

// The least a stored primitive takes: shape, an empty name, membership, state, centre, sizes and rotation.
constexpr ULONGLONG kMinPrimitiveBytes = 4 + 1 + 4 + 4 + 6 * 8;

// A polygon's pieces are triangles: a piece never has pieces of its own, so a file claiming deeper nesting is
// refused before it can recurse.
constexpr int kMaxPieceDepth = 1;

// Dragging a handle may call back into the model; one drag at a time, across all primitives.
bool g_dragging = false;

struct DragGuard {
  DragGuard() { g_dragging = true; }
  ~DragGuard() { g_dragging = false; }
};

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

CString NumberedName(UINT stringId, long number)
{
  CString name;
  name.Format("%s - %ld", static_cast<const char*>(LoadModelString(stringId)), number);
  return name;
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

int PieceDepth(CClassObjModel* parent)
{
  int depth = 0;
  for (CClassObjModel* at = parent; dynamic_cast<CPrimitive*>(at); at = at->GetParent())
    ++depth;
  return depth;
}

}  // namespace

CPrimitive* PrimitiveBehind(IPrimitive* primitive) { return primitive ? dynamic_cast<CPrimitive*>(primitive) : nullptr; }

IPrimitive* CreatePrimitive(CClassObjModel* parent, IQorRoadDoc* context, long number)
{
  auto* primitive = new CPrimitive(parent, context, number);
  IPrimitive* out = nullptr;
  primitive->QueryInterface(&IID_IPrimitive, reinterpret_cast<void**>(&out));
  return out;
}

CPrimitive::CPrimitive(CClassObjModel* parent, IQorRoadDoc* context, long number) : m_context(context)
{
  InitIdentity(CLSID_CPrimitive, IDS_OBJ_PRIMITIVE);
  m_parent = parent;
  m_name = NumberedName(IDS_OBJ_PRIMITIVE, number);
  CPrimitive::SetDefaults();
  m_surface.reset(GetPrimitiveServices().CreateCalcSurface(this));
}

CPrimitive::~CPrimitive()
{
  m_outline.RemoveAll();
  m_contour.RemoveAll();
  ClearMesh();
}

HRESULT CPrimitive::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IPrimitive)
    return AnswerInterface(static_cast<IPrimitive*>(this), out);
  if (*iid == IID_IQorRoadDoc) {
    *out = m_context;
    if (!m_context)
      return E_NOINTERFACE;
    m_context->AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

int CPrimitive::SetDefaults()
{
  m_shape = kShapeRectangle;
  m_membership = kMemberCarriageway;
  m_size1 = m_size2 = 10.0;
  std::fill(std::begin(m_centre), std::end(m_centre), 0.0);
  std::fill(std::begin(m_dragOrigin), std::end(m_dragOrigin), 0.0);
  m_selected = 0;
  m_rotation = 0;
  m_innerRadius = 2.0;
  m_sectorAngle = 360.0;
  m_vertexOffset = 0;
  m_arcDetail = 6;
  m_outline.RemoveAll();
  m_contour.RemoveAll();
  ClearMesh();
  m_ownColour = {};
  m_ownColourSet = 0;
  m_contourOffset = 0;
  m_contourSide = 0;
  m_baseHeight = 0;
  m_markingKind = 0;
  return 0;
}

int CPrimitive::ClearSelection()
{
  std::copy(std::begin(m_centre), std::end(m_centre), m_dragOrigin);
  m_selected = 0;
  for (_CSPOINT3D& p : m_outline)
    p.flags &= ~0x2;
  return 0;
}

int CPrimitive::SetShape(const int* shape)
{
  m_shape = *shape;
  if (m_shape == kShapeRingSector)
    m_size1 = m_size2;
  return 0;
}

int CPrimitive::SetMembership(const int* membership)
{
  m_membership = *membership;
  return 0;
}

int CPrimitive::SetState(const int* state)
{
  m_state = *state;
  return 0;
}

int CPrimitive::GetCentre(double out[3])
{
  for (int i = 0; i < 3; ++i)
    out[i] = IsPolygonShape(m_shape) ? 0.0 : m_centre[i];
  return 0;
}

int CPrimitive::SetCentre(const double centre[3])
{
  std::copy(centre, centre + 3, m_centre);
  return 0;
}

int CPrimitive::GetDragOrigin(double out[3])
{
  std::copy(std::begin(m_dragOrigin), std::end(m_dragOrigin), out);
  return 0;
}

int CPrimitive::SetDragOrigin(const double origin[3])
{
  std::copy(origin, origin + 3, m_dragOrigin);
  return 0;
}

int CPrimitive::SetSize1(double size)
{
  m_size1 = size;
  if (m_shape == kShapeRingSector)
    m_size2 = size;
  return 0;
}

int CPrimitive::SetSize2(double size)
{
  m_size2 = size;
  if (m_shape == kShapeRingSector)
    m_size1 = size;
  return 0;
}

int CPrimitive::SetRotation(double degrees)
{
  m_rotation = degrees;
  return 0;
}

int CPrimitive::SetNext(IPrimitive* next)
{
  m_next = next;
  return 0;
}

int CPrimitive::SetPrev(IPrimitive* prev)
{
  m_prev = prev;
  return 0;
}

int CPrimitive::SetInnerRadius(const double* radius)
{
  m_innerRadius = *radius;
  return 0;
}

int CPrimitive::SetSectorAngle(const double* degrees)
{
  m_sectorAngle = *degrees;
  return 0;
}

int CPrimitive::SetVertexOffset(const double* offset)
{
  m_vertexOffset = *offset;
  return 0;
}

int CPrimitive::SetArcDetail(const int* detail)
{
  m_arcDetail = *detail;
  return 0;
}

int CPrimitive::GetOutline(CArray<_CSPOINT3D>** out)
{
  *out = &m_outline;
  return 0;
}

int CPrimitive::GetContour(CArray<_CSPOINT3D>** out)
{
  *out = &m_contour;
  return 0;
}

int CPrimitive::SetHeight(double height)
{
  m_centre[2] = height;
  m_dragOrigin[2] = height;
  return 0;
}

int CPrimitive::SetColour(const _PREF_OF_COLOR* colour)
{
  m_ownColour = *colour;
  m_ownColourSet = 1;
  return 0;
}

int CPrimitive::SetContourSide(int side)
{
  m_contourSide = side;
  return 0;
}

int CPrimitive::ClearContour()
{
  m_contour.RemoveAll();
  return 0;
}

int CPrimitive::SetContourOffset(double offset)
{
  if (!(offset >= 0))
    return 1;
  m_contourOffset = offset;
  return RebuildContour();
}

int CPrimitive::GetGroupKind(CGuid* out)
{
  out->Copy(m_groupKind);
  return 0;
}

int CPrimitive::SetGroupKind(const CGuid* kind)
{
  m_groupKind.Copy(*kind);
  return 0;
}

int CPrimitive::SetBaseHeight(double height)
{
  m_baseHeight = height;
  return 0;
}

int CPrimitive::SetMarkingKind(const int* kind)
{
  m_markingKind = *kind;
  return 0;
}

void CPrimitive::LocalToArea(double u, double v, double out[3]) const
{
  const double t = m_rotation * kDegree;
  out[0] = m_centre[0] + u * std::cos(t) - v * std::sin(t);
  out[1] = m_centre[1] + u * std::sin(t) + v * std::cos(t);
  out[2] = m_centre[2];
}

int CPrimitive::GetInfo(_PRIMITIVE_INFO_1* out)
{
  const double baseHeight = out->baseHeight;
  *out = _PRIMITIVE_INFO_1{};
  out->baseHeight = baseHeight;
  out->objectType = m_membership;
  out->shape = m_shape;
  std::copy(std::begin(m_centre), std::end(m_centre), out->centre);
  const double a = m_size2 / 2;
  const double b = m_size1 / 2;
  const double k = m_shape == kShapeTriangle ? m_vertexOffset * a : a;
  LocalToArea(-a, -b, out->points[0]);
  LocalToArea(a, -b, out->points[1]);
  LocalToArea(k, b, out->points[2]);
  out->innerRadius = m_innerRadius;
  out->sectorAngle = m_sectorAngle;
  return 0;
}

int CPrimitive::GetCalcInfo(_PRIMITIVE_INFO_1* out)
{
  *out = _PRIMITIVE_INFO_1{};
  out->objectType = m_membership;
  out->shape = m_shape;
  std::copy(std::begin(m_centre), std::end(m_centre), out->centre);
  const double a = m_size2 / 2;
  const double b = m_size1 / 2;
  const double handles[9][2] = {{-a, -b}, {a, -b}, {a, b}, {-a, b}, {0, b}, {-a, 0}, {0, -b}, {a, 0}, {0, b + 2}};
  for (int i = 0; i < 9; ++i)
    LocalToArea(handles[i][0], handles[i][1], out->points[i]);
  out->innerRadius = m_innerRadius;
  out->sectorAngle = m_sectorAngle;
  for (int i = 0; i < 2; ++i)
    out->extraPoint[i] = out->points[4][i] + (out->points[2][i] - out->points[4][i]) * m_vertexOffset;
  out->extraPoint[2] = m_centre[2];
  return 0;
}

int CPrimitive::DragHandle(double* px, double* py, UINT handle)
{
  if (g_dragging)
    return 0;
  DragGuard guard;
  const double x = *px;
  const double y = *py;
  const double t = m_rotation * kDegree;
  const double u = std::cos(t) * (x - m_centre[0]) + std::sin(t) * (y - m_centre[1]);
  const double v = std::cos(t) * (y - m_centre[1]) - std::sin(t) * (x - m_centre[0]);
  const double a = m_size2 / 2;
  const double b = m_size1 / 2;
  const double oldSize2 = m_size2;

  // A resize keeps the far side fixed: the new centre in local terms, then the sizes.
  auto resize = [&](double newSize2, double newSize1, double centreU, double centreV) {
    if (!(newSize2 > 0) || !(newSize1 > 0))
      return 0;
    double centre[3];
    LocalToArea(centreU, centreV, centre);
    m_centre[0] = centre[0];
    m_centre[1] = centre[1];
    m_size2 = newSize2;
    m_size1 = newSize1;
    if (m_shape == kShapeRingSector)
      m_innerRadius = oldSize2 == 0 ? 0.0 : m_size2 / 2 * (m_innerRadius / (oldSize2 / 2));
    return 1;
  };

  switch (handle) {
  case 0: {
    const double dx = x - m_dragOrigin[0];
    const double dy = y - m_dragOrigin[1];
    m_centre[0] += dx;
    m_centre[1] += dy;
    m_dragOrigin[0] = x;
    m_dragOrigin[1] = y;
    return dx != 0 || dy != 0 ? 1 : 0;
  }
  case 1:
  case 2:
  case 3:
  case 4: {
    // The ratio divides by size 2 as well: a shape without length has no corner to keep.
    if (m_size1 == 0 || m_size2 == 0)
      return 0;
    const double su = handle == 1 || handle == 4 ? -1.0 : 1.0;
    const double sv = handle == 1 || handle == 2 ? -1.0 : 1.0;
    if (u * su <= 0)
      return 0;
    const double ratio = m_size1 / m_size2;
    const double newSize2 = std::fabs(u) + a;
    const double newSize1 = ratio * newSize2;
    return resize(newSize2, newSize1, -su * a + su * newSize2 / 2, -sv * b + sv * newSize1 / 2);
  }
  case 5:
  case 7: {
    const double sv = handle == 5 ? 1.0 : -1.0;
    if (v * sv <= 0)
      return 0;
    const double newSize1 = std::fabs(v) + b;
    return resize(m_size2, newSize1, 0, -sv * b + sv * newSize1 / 2);
  }
  case 6:
  case 8: {
    const double su = handle == 8 ? 1.0 : -1.0;
    if (u * su <= 0)
      return 0;
    const double newSize2 = std::fabs(u) + a;
    return resize(newSize2, m_size1, -su * a + su * newSize2 / 2, 0);
  }
  case 9: {
    double h[3];
    LocalToArea(0, b + 2, h);
    const double hx = h[0] - m_centre[0];
    const double hy = h[1] - m_centre[1];
    const double qx = x - m_centre[0];
    const double qy = y - m_centre[1];
    const double lengths = std::hypot(hx, hy) * std::hypot(qx, qy);
    if (lengths == 0)
      return 0;
    const double c = (hx * qx + hy * qy) / lengths;
    double phi = c > 1 ? 0.0 : (c < -1 ? 180.0 : std::acos(c) / kDegree);
    if (qy * hx - qx * hy < 0)
      phi = -phi;
    double rotation = m_rotation + phi;
    rotation -= 360.0 * std::trunc(rotation / 360.0);
    if (rotation > 180)
      rotation -= 360;
    else if (rotation < -180)
      rotation += 360;
    m_rotation = rotation;
    return 1;
  }
  case 10: {
    if (!IsPolygonShape(m_shape))
      return 0;
    if (m_firstPiece)
      ClearMesh();
    const double point[3] = {x, y, 0};
    return MoveCurrentVertex(point, 0);
  }
  case 11: {
    if (!IsPolygonShape(m_shape))
      return 0;
    if (m_firstPiece)
      ClearMesh();
    const double dx = x - m_dragOrigin[0];
    const double dy = y - m_dragOrigin[1];
    for (_CSPOINT3D& p : m_outline) {
      p.x += dx;
      p.y += dy;
    }
    m_dragOrigin[0] = x;
    m_dragOrigin[1] = y;
    return 1;
  }
  default: return 0;
  }
}

int CPrimitive::OnKeyDown(UINT key, UINT, UINT)
{
  if (!m_selected)
    return 1;
  const double step = m_context ? m_context->GetMarkerSize() : 0.0;
  double delta[2] = {0, 0};
  switch (key) {
  case kVkLeft: delta[0] = -step; break;
  case kVkUp: delta[1] = step; break;
  case kVkRight: delta[0] = step; break;
  case kVkDown: delta[1] = -step; break;
  default: break;
  }
  if (IsPolygonShape(m_shape)) {
    MoveVertices(delta);
    Rebuild();
    RebuildContour();
  } else {
    m_centre[0] += delta[0];
    m_centre[1] += delta[1];
  }
  return 0;
}

int CPrimitive::Rebuild()
{
  if (m_membership == kMemberMarking) {
    ClearMesh();
    if (m_markingKind == 1) {
      const int rectangle = kShapeRectangle;
      SetShape(&rectangle);
    }
    return 0;
  }
  if (IsPolygonShape(m_shape))
    return Triangulate();
  return 0;
}

int CPrimitive::ClearMesh()
{
  if (!m_firstPiece)
    return 1;
  IPrimitive* last = m_firstPiece;
  while (last->GetNext())
    last = last->GetNext();
  m_firstPiece = nullptr;
  while (last) {
    IPrimitive* before = last->GetPrev();
    last->Release();
    last = before;
  }
  ClearContour();
  if (m_surface)
    m_surface->Reset();
  return 0;
}

void CPrimitive::AppendPiece(IPrimitive* piece)
{
  if (!m_firstPiece) {
    m_firstPiece = piece;
    return;
  }
  IPrimitive* last = m_firstPiece;
  while (last->GetNext())
    last = last->GetNext();
  last->SetNext(piece);
  piece->SetPrev(last);
}

int CPrimitive::Triangulate()
{
  if (!IsPolygonShape(m_shape))
    return 1;
  // A fault found earlier must not outlive the outline it was found in.
  m_outlineFault = nullptr;
  ClearContour();
  if (m_outline.GetSize() < 3)
    return 1;
  // The old pieces go before the contour is rebuilt: dropping them also drops the contour.
  ClearMesh();
  std::vector<PrimitiveTriangle> triangles;
  m_outlineFault = GetPrimitiveServices().TriangulateOutline(m_outline, triangles);
  RebuildContour();
  if (m_outlineFault)
    return 1;
  // An interchange is calculated on the surface's mesh, which follows the outline it was made from.
  if (m_surface && m_parent) {
    CGuid areaClass;
    m_parent->GetClassId(&areaClass);
    if (areaClass.IsEqual(&CLSID_CCustomizeRoad3D))
      m_surface->RebuildMesh();
  }
  for (const PrimitiveTriangle& tri : triangles) {
    _CSPOINT3D t1 = tri[0];
    _CSPOINT3D t2 = tri[1];
    _CSPOINT3D t3 = tri[2];
    if ((t3.y - t1.y) * (t2.x - t1.x) <= (t2.y - t1.y) * (t3.x - t1.x))
      std::swap(t2, t3);
    IPrimitive* piece = CreatePrimitive(this, m_context, 0);
    CPrimitive* p = PrimitiveBehind(piece);
    p->m_membership = m_membership;
    p->m_contour.RemoveAll();
    p->m_outline.RemoveAll();
    for (_CSPOINT3D corner : {t1, t2, t3}) {
      corner.flags = 0;
      corner.reserved = 0;
      p->m_outline.Add(corner);
    }
    const double a[2] = {t1.x, t1.y};
    const double b[2] = {t2.x, t2.y};
    const double c[2] = {t3.x, t3.y};
    p->SetTriangleThrough(a, b, c);
    if (m_membership == kMemberShading)
      p->SetHeight(GetHeight());
    AppendPiece(piece);
  }
  return 0;
}

void CPrimitive::SetTriangleThrough(const double p1[2], const double q2[2], const double q3[2])
{
  // The shape puts its apex to the left of its base: taken counter-clockwise, any base of the three points has
  // the third on that side, so the triangle goes through all three whatever order they came in.
  const bool clockwise = Cross(q2[0] - p1[0], q2[1] - p1[1], q3[0] - p1[0], q3[1] - p1[1]) < 0;
  const double* p2 = clockwise ? q3 : q2;
  const double* p3 = clockwise ? q2 : q3;
  auto dist2 = [](const double* p, const double* q) {
    return (q[0] - p[0]) * (q[0] - p[0]) + (q[1] - p[1]) * (q[1] - p[1]);
  };
  const double d12 = dist2(p1, p2);
  const double d23 = dist2(p2, p3);
  const double d13 = dist2(p1, p3);
  const double *A, *B, *C;
  if (d13 > d23 && d13 >= d12) {
    A = p3, B = p1, C = p2;
  } else if (d23 < d12) {
    A = p1, B = p2, C = p3;
  } else {
    A = p2, B = p3, C = p1;
  }
  const double l = dist2(A, B);
  const double m = dist2(A, C);
  const double f = dist2(B, C);
  const double base = std::sqrt(l);
  // Three coincident points make no triangle; it stays a point at A.
  const double offset = l == 0 ? 0.0 : (m - f) / l;
  const double height = l == 0 ? 0.0 : std::sqrt(std::fabs(f - (f + l - m) * (f + l - m) / (4 * l)));
  double psi = base == 0 ? 0.0 : std::asin(std::clamp((B[1] - A[1]) / base, -1.0, 1.0)) / kDegree;
  if (B[0] < A[0])
    psi = A[1] <= B[1] ? 180 - psi : -(psi + 180);
  m_shape = kShapeTriangle;
  m_vertexOffset = offset;
  m_size2 = base;
  m_size1 = height;
  m_rotation = psi;
  m_centre[0] = (A[0] + B[0] - std::sin(psi * kDegree) * height) / 2;
  m_centre[1] = (A[1] + B[1] + std::cos(psi * kDegree) * height) / 2;
  m_centre[2] = 0;
}

int CPrimitive::GetFillColour(_PREF_OF_COLOR* out)
{
  *out = {};
  CPrimitive* owner = dynamic_cast<CPrimitive*>(m_parent);
  const int state = owner ? owner->m_state : m_state;
  CClassObjModel* areaObject = owner ? owner->GetParent() : m_parent;
  IArea* area = dynamic_cast<IArea*>(areaObject);
  const bool on = (state & kStateOn) != 0;
  const bool active = area && area->IsActive();
  int element = -1;
  switch (m_membership) {
  case kMemberBackground: element = kColourBackground; break;
  case kMemberCarriageway: element = on && active ? kColourRoadActive : kColourRoad; break;
  case kMemberSidewalk: element = on && active ? kColourSidewalkActive : kColourSidewalk; break;
  case kMemberShading:
    if (owner && owner->m_ownColourSet)
      return owner->GetDrawColour(out);
    if (m_ownColourSet) {
      *out = m_ownColour;
      return 0;
    }
    element = kColourShading;
    break;
  case kMemberMarking: element = kColourMarking; break;
  default: return 0;  // black
  }
  IVisualOpt* options = nullptr;
  if (m_context && SUCCEEDED(m_context->QueryInterface(IID_IVisualOpt, reinterpret_cast<void**>(&options))) &&
      options) {
    options->GetColour(element, out);
    options->Release();
  }
  return 0;
}

int CPrimitive::GetDrawColour(_PREF_OF_COLOR* out)
{
  CPrimitive* owner = dynamic_cast<CPrimitive*>(m_parent);
  const bool selected = owner ? owner->m_selected : m_selected;
  if (!selected)
    return GetFillColour(out);
  *out = {};
  IVisualOpt* options = nullptr;
  if (m_context && SUCCEEDED(m_context->QueryInterface(IID_IVisualOpt, reinterpret_cast<void**>(&options))) &&
      options) {
    options->GetColour(kColourSelected, out);
    options->Release();
  }
  return 0;
}

int CPrimitive::OffsetContourVertex(const _CSPOINT3D& prev, const _CSPOINT3D& cur, const _CSPOINT3D& next,
                                    _CSPOINT3D* out)
{
  return OffsetOutlineVertex(prev, cur, next, m_contourOffset, m_contourSide, out);
}

int CPrimitive::RebuildContour()
{
  m_contour.RemoveAll();
  std::vector<_CSPOINT3D> ring;
  auto handlePoint = [](const double p[3]) { return _CSPOINT3D{p[0], p[1], p[2], 0, 0}; };
  if (m_shape == kShapeTriangle || m_shape == kShapeRectangle) {
    _PRIMITIVE_INFO_1 info{};
    GetCalcInfo(&info);
    if (m_shape == kShapeTriangle) {
      const _CSPOINT3D left = handlePoint(info.points[0]);
      const _CSPOINT3D right = handlePoint(info.points[1]);
      ring = {right, left, handlePoint(info.extraPoint), right, left};
    } else {
      const _CSPOINT3D c1 = handlePoint(info.points[0]);
      const _CSPOINT3D c2 = handlePoint(info.points[1]);
      const _CSPOINT3D c3 = handlePoint(info.points[2]);
      const _CSPOINT3D c4 = handlePoint(info.points[3]);
      ring = {c4, c1, c2, c3, c4, c1};
    }
  } else if (IsPolygonShape(m_shape)) {
    const INT_PTR n = m_outline.GetSize();
    if (n < 3)
      return 1;
    ring.push_back(m_outline[n - 1]);
    for (const _CSPOINT3D& p : m_outline)
      ring.push_back(p);
    ring.push_back(m_outline[0]);
  } else {
    return 0;
  }
  for (size_t i = 1; i + 1 < ring.size(); ++i) {
    _CSPOINT3D out{};
    if (OffsetContourVertex(ring[i - 1], ring[i], ring[i + 1], &out) == 0)
      m_contour.Add(out);
  }
  return 0;
}

int CPrimitive::SnapPoint(IPrimitive* self, const double from[3], const double to[3], double out[3], int* membership,
                          int)
{
  const double t = m_context ? m_context->GetMarkerSize() : 0.0;
  IPrimitive* first = self;
  while (first && first->GetPrev())
    first = first->GetPrev();
  bool found = false;
  double best = 0;
  auto consider = [&](const double q[3], int member) {
    if (!(std::fabs(to[0] - q[0]) < t && std::fabs(to[1] - q[1]) < t))
      return;
    const double toDist = std::hypot(q[0] - to[0], q[1] - to[1]);
    if (!(toDist < std::hypot(q[0] - from[0], q[1] - from[1])))
      return;
    if (found && !(toDist < best))
      return;
    found = true;
    best = toDist;
    std::copy(q, q + 3, out);
    // The membership goes with the point that wins, so a caller's choice of height matches the point.
    *membership = member;
  };
  for (IPrimitive* p = first; p; p = p->GetNext()) {
    if (p == self)
      continue;
    const int shape = *p->GetShape();
    const int member = *p->GetMembership();
    _PRIMITIVE_INFO_1 info{};
    p->GetCalcInfo(&info);
    auto handle = [&](int number) { consider(info.points[number - 1], member); };
    switch (shape) {
    case kShapeTriangle:
      consider(info.extraPoint, member);
      handle(1);
      handle(2);
      break;
    case kShapeRectangle:
      for (int h : {1, 2, 3, 4})
        handle(h);
      consider(info.centre, member);
      for (int h : {5, 6, 7, 8})
        handle(h);
      break;
    case kShapeEllipse:
      consider(info.centre, member);
      for (int h : {5, 6, 7, 8})
        handle(h);
      break;
    case kShapeRingSector: {
      const double angle = *p->GetSectorAngle();
      consider(info.centre, member);
      if (angle >= 0)
        handle(5);
      if (angle >= 90)
        handle(6);
      if (angle >= 180)
        handle(7);
      if (angle >= 270)
        handle(8);
      break;
    }
    default: {
      CArray<_CSPOINT3D>* outline = nullptr;
      p->GetOutline(&outline);
      for (const _CSPOINT3D& v : *outline) {
        const double q[3] = {v.x, v.y, v.z};
        consider(q, member);
      }
      break;
    }
    }
    if (*p->GetContourOffset() > 0) {
      CArray<_CSPOINT3D>* contour = nullptr;
      p->GetContour(&contour);
      for (const _CSPOINT3D& v : *contour) {
        const double q[3] = {v.x, v.y, v.z};
        consider(q, member);
      }
    }
  }
  return found ? 0 : 1;
}

int CPrimitive::MoveCurrentVertex(const double point[3], int strict)
{
  if (!IsPolygonShape(m_shape))
    return 0;
  INT_PTR index = -1;
  for (INT_PTR i = 0; i < m_outline.GetSize(); ++i) {
    if (m_outline[i].flags & 0x1) {
      index = i;
      break;
    }
  }
  if (index < 0)
    return 0;
  const _CSPOINT3D old = m_outline[index];
  _CSPOINT3D moved = old;
  const double from[3] = {old.x, old.y, old.z};
  double snap[3] = {};
  int snappedMembership = -1;
  const bool snapped = SnapPoint(this, from, point, snap, &snappedMembership, 0) == 0;
  if (snapped) {
    moved.x = snap[0];
    moved.y = snap[1];
    if (m_membership != kMemberShading && snappedMembership != kMemberShading)
      moved.z = snap[2];
  } else {
    moved.x = point[0];
    moved.y = point[1];
  }
  if (IsValidWithMovedVertex(index, moved, strict != 0)) {
    if (snapped)
      moved.flags &= ~0x1;
    m_outline[index] = moved;
    return 1;
  }
  m_outline[index].flags &= ~0x1;
  return 0;
}

bool CPrimitive::IsValidWithMovedVertex(INT_PTR index, const _CSPOINT3D& x, bool strict) const
{
  const INT_PTR n = m_outline.GetSize();
  if (n < 3 || (n == 3 && !strict))
    return true;
  std::vector<_CSPOINT3D> chain;
  for (INT_PTR k = 1; k < n; ++k)
    chain.push_back(m_outline[(index + k) % n]);
  auto side = [](const _CSPOINT3D& a, const _CSPOINT3D& b, const _CSPOINT3D& p) {
    return Cross(b.x - a.x, b.y - a.y, p.x - a.x, p.y - a.y);
  };
  auto pass = [&](const std::vector<_CSPOINT3D>& c) {
    const _CSPOINT3D& s = c.back();
    for (size_t i = 0; i + 1 < c.size(); ++i) {
      const _CSPOINT3D& e1 = c[i];
      const _CSPOINT3D& e2 = c[i + 1];
      if (side(e1, e2, x) * side(e1, e2, s) < 0 && side(s, x, e1) * side(s, x, e2) < 0)
        return false;
      if (strict && side(e1, e2, x) == 0)
        return false;
    }
    if (strict) {
      const _CSPOINT3D& f = c.front();
      const double ax = s.x - x.x, ay = s.y - x.y, bx = f.x - x.x, by = f.y - x.y;
      const double dot = ax * bx + ay * by;
      if (dot * dot == (ax * ax + ay * ay) * (bx * bx + by * by))
        return false;
    }
    return true;
  };
  if (!pass(chain))
    return false;
  std::reverse(chain.begin(), chain.end());
  return pass(chain);
}

int CPrimitive::MoveVertices(const double delta[2])
{
  if (!IsPolygonShape(m_shape) || m_outline.GetSize() < 3)
    return 1;
  INT_PTR selected = -1;
  for (INT_PTR i = 0; i < m_outline.GetSize(); ++i) {
    if (m_outline[i].flags & 0x2) {
      selected = i;
      break;
    }
  }
  if (selected >= 0) {
    // The vertex tested is the one that moves.
    _CSPOINT3D moved = m_outline[selected];
    moved.x += delta[0];
    moved.y += delta[1];
    if (IsValidWithMovedVertex(selected, moved, true))
      m_outline[selected] = moved;
  } else {
    for (_CSPOINT3D& p : m_outline) {
      p.x += delta[0];
      p.y += delta[1];
    }
  }
  return RebuildContour();
}

int CPrimitive::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IPrimitive* other = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IPrimitive, reinterpret_cast<void**>(&other))))
    return 1;
  CPrimitive* to = PrimitiveBehind(other);
  other->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_selected = m_selected;
  to->m_membership = m_membership;
  to->m_shape = m_shape;
  to->m_name = m_name;
  to->m_state = m_state;
  std::copy(std::begin(m_centre), std::end(m_centre), to->m_centre);
  std::copy(std::begin(m_dragOrigin), std::end(m_dragOrigin), to->m_dragOrigin);
  to->m_size1 = m_size1;
  to->m_size2 = m_size2;
  to->m_rotation = m_rotation;
  to->m_innerRadius = m_innerRadius;
  to->m_sectorAngle = m_sectorAngle;
  to->m_vertexOffset = m_vertexOffset;
  to->m_arcDetail = m_arcDetail;
  to->ClearMesh();
  to->m_outline.Copy(m_outline);
  to->m_contour.Copy(m_contour);
  for (IPrimitive* piece = m_firstPiece; piece; piece = piece->GetNext()) {
    IPrimitive* copy = CreatePrimitive(to, to->m_context, 0);
    PrimitiveBehind(piece)->CopyTo(PrimitiveBehind(copy), flags);
    to->AppendPiece(copy);
  }
  to->m_expanded = m_expanded;
  to->m_ownColour = m_ownColour;
  to->m_ownColourSet = m_ownColourSet;
  to->m_contourSide = m_contourSide;
  to->m_contourOffset = m_contourOffset;
  to->m_groupKind.Copy(m_groupKind);
  to->m_baseHeight = m_baseHeight;
  to->m_markingKind = m_markingKind;
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

// The primitive's block, in file order (class id and object id are not stored):
//   shape int32, name, membership int32, state int32, centre x, y, z, size 1, size 2, rotation (doubles);
//   inner radius, sector angle (doubles, 4.0.11.0); vertex offset (double, 4.0.14.0); arc detail int32
//   (4.0.16.0); outline: count (the framework's count form), 32 bytes a point, then the piece count int32 and
//   each piece's block (4.2.0.0); own colour set int32, own colour r, g, b floats, contour side int32, contour
//   offset double (4.3.0.0); the calculation surface's block and the group kind (Data1 int32, Data2, Data3
//   int16, Data4 8 bytes) (4.3.5.0); base height double (4.4.0.1); marking kind int32 (5.0.7.0).
int CPrimitive::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  auto at = [fileVersion](unsigned a, unsigned b, unsigned c, unsigned d) {
    return IsVersionAtLeast(fileVersion, MakeFormatVersion(a, b, c, d));
  };
  if (ar.IsStoring()) {
    ar << m_shape << m_name << m_membership << m_state;
    ar << m_centre[0] << m_centre[1] << m_centre[2] << m_size1 << m_size2 << m_rotation;
    if (at(4, 0, 11, 0))
      ar << m_innerRadius << m_sectorAngle;
    if (at(4, 0, 14, 0))
      ar << m_vertexOffset;
    if (at(4, 0, 16, 0))
      ar << m_arcDetail;
    if (at(4, 2, 0, 0)) {
      m_outline.Serialize(ar);
      std::int32_t pieces = 0;
      for (IPrimitive* p = m_firstPiece; p; p = p->GetNext())
        ++pieces;
      ar << pieces;
      for (IPrimitive* p = m_firstPiece; p; p = p->GetNext())
        p->Serialize(archive, fileVersion);
    }
    if (at(4, 3, 0, 0))
      ar << m_ownColourSet << m_ownColour.r << m_ownColour.g << m_ownColour.b << m_contourSide << m_contourOffset;
    if (at(4, 3, 5, 0)) {
      m_surface->Serialize(ar, fileVersion);
      StoreGuid(ar, m_groupKind.Value());
    }
    if (at(4, 4, 0, 1))
      ar << m_baseHeight;
    if (at(5, 0, 7, 0))
      ar << m_markingKind;
    return 0;
  }

  ar >> m_shape >> m_name >> m_membership >> m_state;
  ar >> m_centre[0] >> m_centre[1] >> m_centre[2] >> m_size1 >> m_size2 >> m_rotation;
  std::copy(std::begin(m_centre), std::end(m_centre), m_dragOrigin);
  m_innerRadius = 2.0;
  m_sectorAngle = 360.0;
  if (at(4, 0, 11, 0))
    ar >> m_innerRadius >> m_sectorAngle;
  m_vertexOffset = 0;
  if (at(4, 0, 14, 0))
    ar >> m_vertexOffset;
  m_arcDetail = 6;
  if (at(4, 0, 16, 0))
    ar >> m_arcDetail;
  ClearMesh();
  if (at(4, 2, 0, 0)) {
    m_outline.Serialize(ar);
    std::int32_t pieces = 0;
    ar >> pieces;
    if (pieces < 0 || (pieces > 0 && PieceDepth(this) > kMaxPieceDepth))
      AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    ar.EnsureAvailable(static_cast<ULONGLONG>(pieces) * kMinPrimitiveBytes);
    for (std::int32_t i = 0; i < pieces; ++i) {
      IPrimitive* piece = CreatePrimitive(this, m_context, pieces);
      AppendPiece(piece);
      piece->Serialize(archive, fileVersion);
    }
  } else {
    m_outline.RemoveAll();
  }
  if (at(4, 3, 0, 0)) {
    ar >> m_ownColourSet >> m_ownColour.r >> m_ownColour.g >> m_ownColour.b >> m_contourSide >> m_contourOffset;
  } else {
    GetDrawColour(&m_ownColour);
    m_contourOffset = 0;
  }
  RebuildContour();
  if (at(4, 3, 5, 0)) {
    m_surface->Serialize(ar, fileVersion);
    const GUID kind = LoadGuid(ar);
    m_groupKind.Assign(&kind);
  } else {
    const GUID none{};
    m_groupKind.Assign(&none);
  }
  m_baseHeight = 0;
  if (at(4, 4, 0, 1))
    ar >> m_baseHeight;
  m_markingKind = 0;
  if (at(5, 0, 7, 0))
    ar >> m_markingKind;
  return 0;
}

void SetOutlineHeight(IPrimitive* primitive, double z)
{
  CArray<_CSPOINT3D>* outline = nullptr;
  primitive->GetOutline(&outline);
  for (INT_PTR i = 0; outline && i < outline->GetSize(); ++i)
    outline->ElementAt(i).z = z;
}

void ChangeMembership(IPrimitive* p, int membership, const CGuid& groupKind, int markingRectFlag)
{
  p->ClearMesh();
  const int old = *p->GetMembership();
  p->SetMembership(&membership);
  p->SetGroupKind(&groupKind);
  const bool shading = membership == kMemberShading;
  p->SetHeight(shading ? 1.0 : 0.0);
  if (!shading)
    p->SetBaseHeight(0.0);
  if (old == kMemberShading || shading)
    SetOutlineHeight(p, p->GetHeight());
  p->SetMarkingKind(&markingRectFlag);
  int state = *p->GetState();
  if (membership == kMemberBackground || shading)
    state |= kStateOn;
  p->SetState(&state);
  const bool wasSolid = old == kMemberShading || old == kMemberMarking;
  const bool isSolid = shading || membership == kMemberMarking;
  if (wasSolid && !isSolid && !IsPolygonShape(*p->GetShape())) {
    IClassObjModel* object = nullptr;
    p->QueryInterface(&IID_IClassObjModel, reinterpret_cast<void**>(&object));
    const bool interchange = object && IsOfClass(object->GetParent(), CLSID_CCustomizeRoad3D);
    if (object)
      object->Release();
    if (interchange) {
      const int polygon = kShapePolygon;
      p->SetShape(&polygon);
    }
  }
  p->Rebuild();
}

}  // namespace ObjectModel
