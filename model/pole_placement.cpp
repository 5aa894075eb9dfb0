// The placement of a group's poles on an open territory: along a contour (scheme 3) or at points (scheme 4),
// each position becoming a generated sub-group of one pole; the offset of a contour vertex; snapping a point
// onto the contour of a polygon primitive; and the drags of the group's handles in the scene.
#include "model/contour_offset.h"
#include "model/group_of_dev.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ObjectModel {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// A walk that ends this close to a vertex ends on it: far below any distance a designer sets out.
constexpr double kOnVertex = 1e-9;

// The angle of (x, y) in degrees, in [-180, 180].
double AngleOf(double x, double y)
{
  const double length = std::hypot(x, y);
  if (length == 0)
    return 0;
  const double a = std::acos(std::clamp(x / length, -1.0, 1.0)) / kDegree;
  return y < 0 ? -a : a;
}

double IntoHalfTurn(double a)
{
  a -= 360.0 * std::trunc(a / 360.0);
  if (a < -180)
    a += 360;
  else if (a > 180)
    a -= 360;
  return a;
}

struct Unit {
  double x = 0;
  double y = 0;
};

Unit UnitOf(double dx, double dy)
{
  const double length = std::hypot(dx, dy);
  return length == 0 ? Unit{} : Unit{dx / length, dy / length};
}

// A drag may call back into the model; one at a time, across all groups.
bool g_dragging = false;

IClassObjModel* ObjectOf(IModelUnknown* iface)
{
  void* object = nullptr;
  if (!iface || FAILED(iface->QueryInterface(&IID_IClassObjModel, &object)))
    return nullptr;
  auto* result = static_cast<IClassObjModel*>(object);
  result->Release();
  return result;
}

}  // namespace

int CGroupOfDev::OffsetContourVertex(const _CSPOINT3D* prev, const _CSPOINT3D* vertex, const _CSPOINT3D* next,
                                     _CSPOINT3D* out)
{
  return OffsetOutlineVertex(*prev, *vertex, *next, m_vertexOffset, m_contourSide, out);
}

int CGroupOfDev::ComputeContourPositions(const double* step, const CArray<_CSPOINT3D>* points,
                                         CArray<_DEVCPOSITION>* positions)
{
  positions->RemoveAll();
  // A step of nothing (or less) would never leave the first point.
  if (points->GetSize() == 0 || !(*step > 0))
    return 1;
  std::vector<_CSPOINT3D> polyline;
  for (const _CSPOINT3D& p : *points) {
    if (polyline.empty() || p.x != polyline.back().x || p.y != polyline.back().y)
      polyline.push_back(p);
  }
  const double side = m_contourSide == 0 ? 1.0 : -1.0;
  const double k = side * m_contourOffset;
  // A pole at contour point q beside direction u, its bracket toward the contour.
  auto position = [&](const _CSPOINT3D& q, Unit u) {
    return _DEVCPOSITION{q.x + k * u.y, q.y - k * u.x, q.z, 0,
                         IntoHalfTurn(AngleOf(-side * u.y, side * u.x) + m_contourAngle), 0};
  };
  const _CSPOINT3D& first = polyline.front();
  positions->Add(_DEVCPOSITION{first.x, first.y, first.z, 0, 0, 0});
  Unit firstDirection;
  if (polyline.size() > 1)
    firstDirection = UnitOf(polyline[1].x - first.x, polyline[1].y - first.y);

  double remaining = *step;
  for (size_t i = 0; i + 1 < polyline.size(); ++i) {
    const _CSPOINT3D& a = polyline[i];
    const _CSPOINT3D& b = polyline[i + 1];
    const Unit u = UnitOf(b.x - a.x, b.y - a.y);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    double walked = 0;
    while (remaining <= length - walked + kOnVertex) {
      walked = std::min(walked + remaining, length);
      remaining = *step;
      const double t = length == 0 ? 0 : walked / length;
      const _CSPOINT3D q{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, 0, 0};
      Unit normalDirection = u;
      // On an inner vertex the pole stands on the bisector of the two segments.
      if (length - walked <= kOnVertex && i + 2 < polyline.size()) {
        const _CSPOINT3D& c = polyline[i + 2];
        const Unit after = UnitOf(c.x - b.x, c.y - b.y);
        const Unit sum = UnitOf(u.x + after.x, u.y + after.y);
        // Where the contour turns straight back the sum vanishes: the next segment decides.
        normalDirection = (sum.x == 0 && sum.y == 0) ? after : sum;
      }
      positions->Add(position(q, normalDirection));
      // The first pole stands beside the first segment, which it belongs to.
      if (positions->GetSize() == 2)
        (*positions)[0] = position(first, firstDirection);
    }
    remaining -= length - walked;
  }
  return 0;
}

int CGroupOfDev::ComputePointPositions(const CArray<_CSPOINT3D>* points, CArray<_DEVCPOSITION>* positions)
{
  positions->RemoveAll();
  const INT_PTR n = points->GetSize();
  if (n < 3)
    return 1;
  const CArray<_CSPOINT3D>& p = *points;
  auto direction = [&p](INT_PTR from, INT_PTR to) { return UnitOf(p[to].x - p[from].x, p[to].y - p[from].y); };
  auto turn = [](Unit e1, Unit e2) { return e1.x * e2.y - e1.y * e2.x >= 0 ? 1.0 : -1.0; };
  for (INT_PTR i = 0; i < n; ++i) {
    double rotation = 0;
    if (i == 0) {
      const Unit e1 = direction(0, 1);
      const double w = turn(e1, direction(1, 2));
      rotation = AngleOf(-w * e1.y, w * e1.x);
    } else if (i == n - 1) {
      const Unit e1 = direction(n - 3, n - 2);
      const Unit e2 = direction(n - 2, n - 1);
      const double w = turn(e1, e2);
      rotation = AngleOf(-w * e2.y, w * e2.x);
    } else {
      const Unit e1 = direction(i - 1, i);
      const Unit e2 = direction(i, i + 1);
      rotation = (e1.x == e2.x && e1.y == e2.y) ? 0.0 : AngleOf(e2.x - e1.x, e2.y - e1.y);
    }
    positions->Add(_DEVCPOSITION{p[i].x, p[i].y, p[i].z, 0, rotation, 0});
  }
  return 0;
}

int CGroupOfDev::UpdatePolePositions(int)
{
  ReleaseSubGroups();
  if (m_placementScheme != 3 && m_placementScheme != 4) {
    m_contourPoints.RemoveAll();
    return 0;
  }
  if (m_contourPoints.GetSize() == 0 || !m_firstPole)
    return 0;
  double baseHeight = 0;
  if (m_parent) {
    if (auto* area = dynamic_cast<IArea*>(m_parent->GetParent()))
      baseHeight = *area->GetBaseHeight();
  }
  CArray<_CSPOINT3D> points;
  for (_CSPOINT3D p : m_contourPoints) {
    p.z = std::max(baseHeight, 0.0);
    points.Add(p);
  }
  CArray<_DEVCPOSITION> positions;
  if (m_placementScheme == 3)
    ComputeContourPositions(&m_contourStep, &points, &positions);
  else
    ComputePointPositions(&points, &positions);

  const int user = 0;
  const int scheme = 0;
  const int aimMode = 0;
  const double straight = 0;
  const double aimTilt = 45;
  for (const _DEVCPOSITION& at : positions) {
    IGroupOfDev* sub = CreateGroupOfDev(this, m_document, 0, 0);
    ObjectOf(sub)->SetTreeItem(&m_treeItem);
    sub->GetLightDevice()->Assign(m_lightDevice);
    sub->SetMountingKind(&m_mountingKind);
    sub->SetPlacementScheme(&scheme);
    IPole* pole = static_cast<CGroupOfDev*>(sub)->GetFirstPole();
    if (!pole) {
      const int one = 1;
      sub->SetPoleCount(&one);
      pole = static_cast<CGroupOfDev*>(sub)->GetFirstPole();
    }
    ObjectOf(m_firstPole)->CopyTo(ObjectOf(pole), 0);
    const double height = m_firstPole->GetHeight(m_mountingKind);
    const double tilt = m_firstPole->GetTilt(m_mountingKind);
    double outreach = m_contourOutreach;
    if (*m_firstPole->GetTypical())
      outreach = m_firstPole->GetOutreach(m_mountingKind);
    else
      m_firstPole->SetOutreach(&m_contourOutreach);
    pole->SetTypical(&user);
    pole->SetHeight(&height);
    pole->SetTilt(&tilt);
    pole->SetOutreach(&outreach);
    pole->SetNext(nullptr);
    pole->SetPrev(nullptr);
    const double xyz[3] = {at.x, at.y, at.z};
    pole->SetPosition(xyz);
    pole->SetRotation(&at.angle2);
    pole->ApplyAimTurn(&straight, &aimMode);
    pole->SetAimTurn(&straight);
    pole->ApplyAimTilt(&aimTilt, &aimMode);
    pole->SetAimTilt(&aimTilt);
    AppendSubGroup(sub);
  }
  return 0;
}

int CGroupOfDev::SnapToPrimitiveOutline(double* point)
{
  const double rho = 2 * (m_document ? m_document->GetMarkerSize() : 0.0);
  CClassObjModel* container = m_parent;
  IClassObjModel* areaObject = container ? container->GetParent() : nullptr;
  IPrimitive* first = nullptr;
  if (!areaObject || FAILED(areaObject->QueryInterface(&IID_IPrimitive, reinterpret_cast<void**>(&first))))
    return 0;
  first->Release();  // the area keeps it
  auto turnFirstPole = [this](double degrees) {
    if (m_firstPole)
      m_firstPole->SetRotation(&degrees);
  };
  for (IPrimitive* p = first; p; p = p->GetNext()) {
    if (!IsPolygonShape(*p->GetShape()) || !(*p->GetContourOffset() > 0))
      continue;
    CArray<_CSPOINT3D>* outline = nullptr;
    CArray<_CSPOINT3D>* contour = nullptr;
    p->GetOutline(&outline);
    p->GetContour(&contour);
    if (outline->GetSize() != contour->GetSize())
      p->RebuildContour();
    const INT_PTR n = contour->GetSize();
    if (n <= 2)
      continue;
    // The outline's heights go with the contour's vertices where the two have the same length.
    auto heightAt = [&](INT_PTR i) { return i < outline->GetSize() ? (*outline)[i].z : point[2]; };
    const double quarter = p->GetContourSide() != 0 ? -90.0 : 90.0;
    for (INT_PTR i = 0; i < n; ++i) {
      const INT_PTR j = (i + 1) % n;
      const _CSPOINT3D& a = (*contour)[i];
      const _CSPOINT3D& b = (*contour)[j];
      if (std::hypot(point[0] - b.x, point[1] - b.y) < rho) {
        point[0] = b.x;
        point[1] = b.y;
        point[2] = heightAt(j);
        const _CSPOINT3D& c = (*contour)[(j + 1) % n];
        const Unit e1 = UnitOf(b.x - a.x, b.y - a.y);
        const Unit e2 = UnitOf(c.x - b.x, c.y - b.y);
        double rotation = AngleOf(e1.x + e2.x, e1.y + e2.y) + quarter;
        if (rotation > 180)
          rotation -= 360;
        turnFirstPole(rotation);
        break;
      }
      const double dx = b.x - a.x;
      const double dy = b.y - a.y;
      const double length2 = dx * dx + dy * dy;
      if (length2 == 0)
        continue;
      const double t = ((point[0] - a.x) * dx + (point[1] - a.y) * dy) / length2;
      if (t < 0 || t > 1)
        continue;
      const double fx = a.x + t * dx;
      const double fy = a.y + t * dy;
      if (std::hypot(point[0] - fx, point[1] - fy) >= rho)
        continue;
      point[0] = fx;
      point[1] = fy;
      const double za = heightAt(i);
      const double zb = heightAt(j);
      point[2] = dx != 0 ? za + (zb - za) * (fx - a.x) / dx : za + (zb - za) * (fy - a.y) / dy;
      const double length = std::sqrt(length2);
      double rotation = std::asin(std::clamp(dy / length, -1.0, 1.0)) / kDegree + quarter;
      if (dx < 0)
        rotation = -rotation;
      turnFirstPole(rotation);
      break;
    }
  }
  return 0;
}

int CGroupOfDev::DragHandle(double* px, double* py, int code)
{
  if (code == -1) {
    g_dragging = false;
    return 0;
  }
  if (g_dragging || !m_firstPole)
    return 0;
  g_dragging = true;
  struct Release {
    ~Release() { g_dragging = false; }
  } release;

  const double x = *px;
  const double y = *py;
  IPole* first = m_firstPole;
  IPole* second = first->GetNext();
  const int scheme = m_placementScheme;
  const int placeRest = scheme == 2 ? 6 : 4;
  double phi = *first->GetRotation();
  if (scheme == 1)
    phi = first->GetAbsoluteRotation();
  else if (scheme == 2)
    phi = first->GetCircleRotation();
  const bool keepAim = m_mountingKind == 1 && (*first->GetAimFlags() & 0x20);
  const double aimTurn = keepAim ? first->ComputeAimTurn(&scheme) : 0.0;
  const double aimTilt = keepAim ? first->ComputeAimTilt(&scheme) : 0.0;
  // Every further pole aims like the first: its aim point, turn and tilt.
  auto shareAim = [&] {
    double aim[3];
    first->GetAimPoint(aim);
    const double turn = first->GetAimTurn();
    const double tilt = first->GetAimTilt();
    for (IPole* pole = second; pole; pole = pole->GetNext()) {
      pole->SetAimPoint(aim);
      pole->SetAimTurn(&turn);
      pole->SetAimTilt(&tilt);
    }
  };
  auto moveBy = [](IPole* pole, double dx, double dy) {
    const double* p = pole->GetPosition();
    const double moved[3] = {p[0] + dx, p[1] + dy, p[2]};
    pole->SetPosition(moved);
  };

  bool changed = false;
  switch (code) {
  case 100:
  case 908: {
    double target[3] = {x, y, first->GetPosition()[2]};
    if (scheme == 0)
      SnapToPrimitiveOutline(target);
    const double* p = first->GetPosition();
    const double dx = target[0] - p[0];
    const double dy = target[1] - p[1];
    const double moved[3] = {target[0], target[1], p[2]};
    first->SetPosition(moved);
    // A single pole stays where it was put: laying out the rest would put it back at its default place.
    if (second) {
      moveBy(second, dx, dy);
      PlacePoles(placeRest);
    }
    changed = true;
    break;
  }
  case 900: {
    const double* p = first->GetPosition();
    if (x == p[0] && y == p[1])
      break;
    double rotation = IntoHalfTurn(AngleOf(x - p[0], y - p[1]));
    if (scheme == 1)
      rotation = IntoHalfTurn(rotation - (second ? second->GetAngleToPrev() : 0.0) + 270);
    else if (scheme == 2)
      rotation = IntoHalfTurn(rotation - AngleOf(p[0] - m_basePoint[0], p[1] - m_basePoint[1]) - 180);
    for (IPole* pole = first; pole; pole = pole->GetNext())
      pole->SetRotation(&rotation);
    changed = true;
    break;
  }
  case 901: {
    const double* p = first->GetPosition();
    const double d = (x - p[0]) * std::cos(phi * kDegree) + (y - p[1]) * std::sin(phi * kDegree);
    const double tilt = first->GetTilt(m_mountingKind);
    const double limit = tilt == 0 ? 10.0 : first->GetHeight(m_mountingKind) / std::tan(tilt * kDegree);
    if (!(d > 0 && d < limit))
      break;
    const int user = 0;
    for (IPole* pole = first; pole; pole = pole->GetNext()) {
      pole->SetTypical(&user);
      pole->SetOutreach(&d);
    }
    // A generated sub-group: its siblings and the group that made them take the outreach too.
    if (IsSubGroup()) {
      auto* parent = static_cast<CGroupOfDev*>(dynamic_cast<IGroupOfDev*>(m_parent));
      for (IGroupOfDev* sibling = parent->GetFirstSubGroup(); sibling; sibling = sibling->GetNext()) {
        if (IPole* pole = static_cast<CGroupOfDev*>(sibling)->GetFirstPole()) {
          pole->SetTypical(&user);
          pole->SetOutreach(&d);
        }
      }
      if (IPole* pole = parent->GetFirstPole())
        pole->SetOutreach(&d);
    }
    changed = true;
    break;
  }
  case 902:
  case 903:
    if (scheme == 1 && second) {
      const double moved[3] = {x, y, second->GetPosition()[2]};
      second->SetPosition(moved);
      PlacePoles(4);
      changed = true;
    } else if (scheme == 2) {
      const double* p = first->GetPosition();
      const double ax = p[0] - m_basePoint[0], ay = p[1] - m_basePoint[1];
      const double bx = x - m_basePoint[0], by = y - m_basePoint[1];
      const double lengths = std::hypot(ax, ay) * std::hypot(bx, by);
      if (lengths == 0)
        break;
      double step = std::acos(std::clamp((ax * bx + ay * by) / lengths, -1.0, 1.0)) / kDegree;
      if (by * ax - bx * ay < 0)
        step = 360 - step;
      m_angularStep = std::clamp(step, 0.1, 360.0);
      PlacePoles(6);
      changed = true;
    }
    if (changed)
      shareAim();
    break;
  case 904: {
    if (scheme != 2)
      break;
    const double dx = x - m_basePoint[0];
    const double dy = y - m_basePoint[1];
    m_basePoint[0] += dx;
    m_basePoint[1] += dy;
    moveBy(first, dx, dy);
    PlacePoles(6);
    shareAim();
    changed = true;
    break;
  }
  case 905: {
    double aim[3];
    first->GetAimPoint(aim);
    aim[0] = x;
    aim[1] = y;
    first->SetAimPoint(aim);
    const double turn = first->ComputeAimTurn(&scheme);
    const double tilt = first->ComputeAimTilt(&scheme);
    first->SetAimTurn(&turn);
    first->SetAimTilt(&tilt);
    shareAim();
    changed = true;
    break;
  }
  case 906: {
    if (scheme != 1 || !second)
      break;
    const double* p = first->GetPosition();
    const double* q = second->GetPosition();
    const double a = AngleOf(q[0] - p[0], q[1] - p[1]);
    const double d = std::cos(a * kDegree) * (x - p[0]) + std::sin(a * kDegree) * (y - p[1]);
    if (d < 0)
      break;
    const double moved[3] = {p[0] + d * std::cos(a * kDegree), p[1] + d * std::sin(a * kDegree), q[2]};
    second->SetPosition(moved);
    PlacePoles(4);
    changed = true;
    break;
  }
  case 907: {
    if (scheme != 1 || !second)
      break;
    const double distance = second->GetDistanceToPrev();
    const double moved[3] = {x, y, second->GetPosition()[2]};
    second->SetPosition(moved);
    second->SetDistanceToPrev(&distance);
    PlacePoles(4);
    changed = true;
    break;
  }
  default: break;
  }
  if (changed && keepAim && code != 905) {
    first->ApplyAimTurn(&aimTurn, &scheme);
    first->ApplyAimTilt(&aimTilt, &scheme);
    const double turn = first->GetAimTurn();
    const double tilt = first->GetAimTilt();
    for (IPole* pole = second; pole; pole = pole->GetNext()) {
      pole->ApplyAimTurn(&turn, &scheme);
      pole->ApplyAimTilt(&tilt, &scheme);
    }
  }
  return changed ? 1 : 0;
}

}  // namespace ObjectModel
