// The input file, line by line (one comment line survives: the base height of each primitive):
//   length; width; user grid (0/1); grid step;
//   carriageway takes part; sidewalk takes part; 8;
//   triangles n, n x (9 coordinates, object type, base height); rectangles and ellipses the same;
//   ring sectors n, n x (9 coordinates, inner radius, sector angle, object type, base height);
//   polygons P; when P > 0: largest vertex count, largest triangle count, largest mesh-point count; per polygon:
//     n, n x (x y z + lift), contour side, membership, base height, t, t x (9 coordinates of a mesh triangle,
//     taken down to the outline), then m, m x (x y z of a point, x y z of its normal) -- a shading object has no
//     calculation points and writes 1 and six zeros;
//   0 twice; maintenance factor; L records; T types; largest gamma count; largest plane count;
//   L records: mounting kind K, placement scheme S, the placement values of K and S, the aim or arm values, type;
//   T blocks: 0 for C-planes (else 1), total flux, gamma count, plane count, gammas, planes, one line per plane.
#include "document/engine_io/interchange_input.h"

#include "document/engine_io/engine_input_text.h"
#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/engine_luminaire_types.h"
#include "document/engine_io/interchange_parts.h"
#include "model/identifiers.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/primitive.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace EngineIo {
namespace {

using namespace ObjectModel;

constexpr double kDegree = 3.141592653589793 / 180.0;
// The pole's own figure for where a typical arm puts the light centre.
constexpr double kLuminaireCentreOffset = 0.3;
// Mesh points lie this far above the outline; the engine gets the triangles on the outline itself.
constexpr double kMeshPointRaise = 0.04;
// Each primitive taken is lifted this much above the one before, so overlaps reach the engine in list order.
constexpr double kLiftStep = 0.001;
// The automatic step: sqrt(area x luminaires / 37500), kept to what the engine can use and finish.
constexpr double kAutoStepDivisor = 37500.0;
constexpr double kMinAutoStep = 0.5;
constexpr double kMaxAutoStep = 5.0;

constexpr int kMountingPole = 0;
constexpr int kMountingMast = 1;
constexpr int kMountingFloorLamp = 2;
constexpr int kPlacementIndividual = 0;
constexpr int kPlacementLine = 1;
constexpr int kPlacementCircle = 2;
constexpr int kPlacementContour = 3;
constexpr int kPlacementPoints = 4;

// The only comment the engine's file keeps in this format.
void WriteBaseHeight(InputText& out, double value) { out.Line("%lf       !  Базовая высота примитива", value); }

void WriteNine(InputText& out, const double p[3][3])
{
  out.Line("%lf %lf %lf %lf %lf %lf %lf %lf %lf", p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[2][0],
           p[2][1], p[2][2]);
}

// One record of the luminaire enumeration: a switched-on group (or sub-group), its first pole, the arm.
struct Luminaire {
  IGroupOfDev* group = nullptr;
  IPole* pole = nullptr;
  const CLampConsole* bracket = nullptr;  // the bracket in use
  int arm = 0;
  bool typical = false;
  bool ownArms = false;  // the bracket is the pole's own and the pole typical: its arms move the light
  unsigned type = 0;     // from 1
};

IPole* FirstPole(IGroupOfDev* group)
{
  ModelRef<IPole> pole = Query<IPole>(group, IID_IPole);
  return pole.get();  // the group keeps its poles alive for the call
}

const CLampConsole* BracketOf(IPole* pole)
{
  const CLampPost* post = pole ? pole->GetLampPost() : nullptr;
  return post ? post->GetCurrentBracket() : nullptr;
}

void AddGroupRecords(IGroupOfDev* group, IPole* parentPole, std::vector<Luminaire>& out)
{
  if ((*group->GetState() & 1) == 0)
    return;
  IPole* pole = FirstPole(group);
  if (!pole || !group->GetLightDevice())
    return;
  const bool parentTypical = parentPole && *parentPole->GetTypical() != 0;
  Luminaire l;
  l.group = group;
  l.pole = pole;
  l.typical = *pole->GetTypical() != 0 || parentTypical;
  l.bracket = BracketOf(parentTypical ? parentPole : pole);
  // Only the pole's own bracket moves its light with the arm; a sub-group's pole carries user values.
  l.ownArms = !parentTypical && *pole->GetTypical() != 0;
  const int arms = l.bracket ? static_cast<int>(l.bracket->arms.GetSize()) : 0;
  out.push_back(l);
  for (int arm = 1; l.typical && arm < arms; ++arm) {
    l.arm = arm;
    out.push_back(l);
  }
}

// Groups along a contour or by points stand for their sub-groups; any other group for itself.
std::vector<Luminaire> EnumerateLuminaires(IGroupsOfDev* groups)
{
  std::vector<Luminaire> out;
  ModelRef<IGroupOfDev> first = Query<IGroupOfDev>(groups, IID_IGroupOfDev);
  for (IGroupOfDev* group = first.get(); group; group = group->GetNext()) {
    const int scheme = *group->GetPlacementScheme();
    if (scheme == kPlacementContour || scheme == kPlacementPoints) {
      ModelRef<IGroupOfDev> sub = Query<IGroupOfDev>(group, IID_FirstSubGroup);
      IPole* parentPole = FirstPole(group);
      for (IGroupOfDev* s = sub.get(); s; s = s->GetNext())
        AddGroupRecords(s, parentPole, out);
      continue;
    }
    AddGroupRecords(group, nullptr, out);
  }
  return out;
}

long LuminairePositions(const std::vector<Luminaire>& luminaires)
{
  long positions = 0;
  for (const Luminaire& l : luminaires) {
    const int scheme = *l.group->GetPlacementScheme();
    if (scheme == kPlacementIndividual)
      positions += 1;
    else if (scheme == kPlacementLine || scheme == kPlacementCircle)
      positions += l.group->GetTotalPoleCount();
  }
  return positions;
}

double TriangleArea(const double c[3][3])
{
  auto dist = [](const double* a, const double* b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
  };
  const double a = dist(c[0], c[1]), b = dist(c[1], c[2]), d = dist(c[2], c[0]);
  const double s = (a + b + d) / 2;
  const double squared = s * (s - a) * (s - b) * (s - d);
  return squared > 0 ? std::sqrt(squared) : 0.0;  // rounding makes a flat triangle slightly negative
}

double MeshArea(const CPrimitiveCalcSurface& surface)
{
  double area = 0;
  double corners[3][3];
  for (std::size_t i = 0; i < surface.GetMeshTriangleCount(); ++i) {
    surface.GetMeshTriangle(i, corners);
    area += TriangleArea(corners);
  }
  return area;
}

double GridStep(const InterchangeParts& parts, const std::vector<Luminaire>& luminaires)
{
  const double stored = *parts.area->GetGridStep();
  if (*parts.area->GetGridMode() != 0 || LuminairePositions(luminaires) <= 0)
    return stored;
  double area = 0;
  ModelRef<IPrimitive> first = Query<IPrimitive>(parts.site.get(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    if (TakesPart(parts, p) && IsPolygonShape(*p->GetShape()) && p->GetMeshHelper())
      area += MeshArea(*p->GetMeshHelper());
  }
  if (area <= 0)
    return stored;
  const double step = std::sqrt(area * static_cast<double>(luminaires.size()) / kAutoStepDivisor);
  return std::clamp(step, kMinAutoStep, kMaxAutoStep);
}

void WriteLuminaire(InputText& out, const Luminaire& l)
{
  IGroupOfDev* group = l.group;
  IPole* pole = l.pole;
  const int k = *group->GetMountingKind();
  const int s = *group->GetPlacementScheme();
  out.Long(k);
  out.Long(s);
  const double* position = pole->GetPosition();
  const double x = position[0], y = position[1], z = position[2];
  const double psi = *pole->GetRotation();
  IPole* second = pole->GetNext();
  const double x2 = second ? second->GetPosition()[0] : x;
  const double y2 = second ? second->GetPosition()[1] : y;
  const double* base = group->GetBasePoint();
  const long count = group->GetTotalPoleCount();
  const double dphi = *group->GetAngularStep();
  if (k == kMountingMast) {
    const double a = pole->GetOutreach(1);
    const double h = pole->GetHeight(1);
    switch (s) {
    case kPlacementIndividual:
      out.Fixed(x + a * std::cos(psi * kDegree));
      out.Fixed(y + a * std::sin(psi * kDegree));
      out.Line("%g", h + z);
      break;
    case kPlacementLine: {
      const double r = pole->GetAbsoluteRotation() * kDegree;
      out.Fixed(x + a * std::cos(r));
      out.Fixed(y + a * std::sin(r));
      out.Long(0);
      out.Fixed(x2 + a * std::cos(r));
      out.Fixed(y2 + a * std::sin(r));
      out.Line("%g", h + z);
      out.Long(count);
      break;
    }
    case kPlacementCircle: {
      const double r = pole->GetCircleRotation() * kDegree;
      out.Fixed(base[0]);
      out.Fixed(base[1]);
      out.Long(0);
      out.Fixed(x + a * std::cos(r));
      out.Fixed(y + a * std::sin(r));
      out.Fixed(dphi);
      out.Line("%g", h + z);
      out.Long(count);
      break;
    }
    default: break;
    }
    double aim[3] = {};
    pole->GetAimPoint(aim);
    out.Long(0);
    out.Fixed(aim[0]);
    out.Fixed(aim[1]);
    out.Fixed(aim[2]);
    out.Fixed(*pole->GetLuminaireTurn());
  } else if (k == kMountingPole || k == kMountingFloorLamp) {
    switch (s) {
    case kPlacementIndividual:
      out.Fixed(x);
      out.Fixed(y);
      break;
    case kPlacementLine:
      out.Fixed(x);
      out.Fixed(y);
      out.Long(0);
      out.Fixed(x2);
      out.Fixed(y2);
      out.Long(count);
      break;
    case kPlacementCircle:
      out.Fixed(base[0]);
      out.Fixed(base[1]);
      out.Long(0);
      out.Fixed(x);
      out.Fixed(y);
      out.Fixed(dphi);
      out.Long(count);
      break;
    default: break;
    }
    const LAMP_CONSOLE_INFO* arm =
        l.bracket && l.arm < l.bracket->arms.GetSize() ? &l.bracket->arms[l.arm] : nullptr;
    double height = pole->GetHeight(k);
    double outreach = pole->GetOutreach(k);
    double tilt = pole->GetTilt(k);
    // A typical pole's figures with arm `arm` current, read without making it current: the model stays as it is
    // on the worker thread.
    const CLampPost* post = pole->GetLampPost();
    if (k == kMountingPole && l.ownArms && arm && post) {
      height = post->height + arm->rise + kLuminaireCentreOffset * std::sin(arm->tilt * kDegree);
      outreach = arm->outreach + kLuminaireCentreOffset * std::cos(arm->tilt * kDegree);
      tilt = arm->tilt;
    }
    out.Line("%g", (arm ? arm->turn : 0.0) + psi);
    out.Line("%g", height + z);
    out.Line("%g", outreach);
    out.Line("%g", tilt);
    if (k == kMountingFloorLamp) {
      const int side = pole->GetMountSide();
      // Catalogue code "00009" marks luminaires whose mounting node is recorded the other way up.
      const bool inverted = group->GetLightDevice()->textH.Compare("00009") == 0;
      out.Line("%u", inverted ? (side == 0 ? 1u : 0u) : static_cast<unsigned>(side));
      out.Line("%g", *pole->GetLuminaireTurn());
    }
  }
  out.Line("%u", l.type);
}

// This engine takes the device's own working table.
bool WorkingTable(const CLightDevice& device, _LINKED_TABLE* table)
{
  device.MakeWorkingTable(table, true);
  // Without a plane and a gamma angle there is nothing the engine could calculate with.
  return table->rows >= 2 && table->columns >= 2;
}

struct PolygonEntry {
  IPrimitive* primitive;
  double lift;
};

}  // namespace

int PrepareEngineInput5(IQorRoadDoc* document)
{
  InterchangeParts parts;
  if (!FindActiveInterchange(document, parts))
    return kNoAreaOfThisKind;
  ModelRef<IPrimitive> first = Query<IPrimitive>(parts.site.get(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    if (!TakesPart(parts, p))
      continue;
    if (!p->GetFirstChild())
      p->Rebuild();
    CPrimitiveCalcSurface* surface = p->GetMeshHelper();
    // A refused outline leaves no mesh: the engine would calculate without the polygon and nobody would know.
    if (IsPolygonShape(*p->GetShape()) && surface && surface->GetMeshTriangleCount() == 0 && !surface->RebuildMesh())
      return kOutlineRefused;
  }
  // The step depends on the meshes' area, so it is known only once every mesh exists.
  const double step = GridStep(parts, EnumerateLuminaires(parts.groups.get()));
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    CPrimitiveCalcSurface* surface = p->GetMeshHelper();
    if (!TakesPart(parts, p) || !IsPolygonShape(*p->GetShape()) || !surface ||
        *p->GetMembership() == kMemberShading)
      continue;
    if (!surface->RebuildMesh())
      return kOutlineRefused;
    surface->RefineMesh(step);
  }
  return kOk;
}

double InterchangeGridStep(IQorRoadDoc* document)
{
  InterchangeParts parts;
  if (!FindActiveInterchange(document, parts))
    return 0.0;
  return GridStep(parts, EnumerateLuminaires(parts.groups.get()));
}

int FormatEngineInput5(IQorRoadDoc* document, std::string& text)
{
  text.clear();
  InterchangeParts parts;
  if (!FindActiveInterchange(document, parts))
    return kNoAreaOfThisKind;
  IArea* area = parts.area.get();
  const double length = *area->GetLength();
  const double width = *area->GetWidth();
  const int gridMode = *area->GetGridMode();
  const double storedStep = *area->GetGridStep();
  const int roadState = *parts.site->GetRoadState();
  const int sidewalkState = *parts.site->GetSidewalkState();

  std::vector<Luminaire> luminaires = EnumerateLuminaires(parts.groups.get());
  LuminaireTypes types;
  for (Luminaire& l : luminaires) {
    l.type = types.Assign(*l.group->GetLightDevice(), WorkingTable);
    if (l.type == 0)
      return kNoIntensityTable;
  }
  const double step = GridStep(parts, luminaires);

  InputText out;
  out.Fixed(length);
  out.Fixed(width);
  out.Long(gridMode != 0 ? 1 : 0);
  out.Fixed(step);

  std::vector<_PRIMITIVE_INFO_1> simple[4];
  std::vector<PolygonEntry> polygons;
  long carriageways = 0, sidewalks = 0;
  long maxVertices = 0, maxTriangles = 0, maxPoints = 0;
  double lift = kLiftStep;
  ModelRef<IPrimitive> first = Query<IPrimitive>(parts.site.get(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    if (!TakesPart(parts, p))
      continue;
    const int shape = *p->GetShape();
    const int membership = *p->GetMembership();
    if (IsPolygonShape(shape)) {
      CArray<_CSPOINT3D>* outline = nullptr;
      p->GetOutline(&outline);
      maxVertices = std::max(maxVertices, static_cast<long>(outline ? outline->GetSize() : 0));
      polygons.push_back({p, lift});
      const CPrimitiveCalcSurface* surface = p->GetMeshHelper();
      if (surface && surface->GetOutlineFault())
        return kOutlineRefused;
      const long triangles = surface ? static_cast<long>(surface->GetMeshTriangleCount()) : 0;
      const long points =
          membership == kMemberShading ? 1 : (surface ? static_cast<long>(surface->GetPointCount()) : 0);
      maxTriangles = std::max(maxTriangles, triangles);
      maxPoints = std::max(maxPoints, points);
    } else if (shape >= kShapeTriangle && shape <= kShapeRingSector) {
      _PRIMITIVE_INFO_1 info{};
      p->GetInfo(&info);
      if (info.objectType == kMemberUnnamed)
        info.objectType = 0;
      for (int k = 0; k < 3; ++k)
        info.points[k][2] += lift;
      info.baseHeight = p->GetBaseHeight();
      simple[shape].push_back(info);
    }
    if (membership == kMemberCarriageway)
      ++carriageways;
    else if (membership == kMemberSidewalk)
      ++sidewalks;
    lift += kLiftStep;
  }

  out.Long((roadState & 1) != 0 && carriageways > 0 ? 1 : 0);
  out.Long((sidewalkState & 1) != 0 && sidewalks > 0 ? 1 : 0);
  out.Long(8);
  for (int shape = kShapeTriangle; shape <= kShapeRingSector; ++shape) {
    out.Long(static_cast<long>(simple[shape].size()));
    for (const _PRIMITIVE_INFO_1& info : simple[shape]) {
      WriteNine(out, info.points);
      if (shape == kShapeRingSector) {
        out.Fixed(info.innerRadius);
        out.Fixed(info.sectorAngle);
      }
      out.Long(info.objectType);
      WriteBaseHeight(out, info.baseHeight);
    }
  }
  out.Long(static_cast<long>(polygons.size()));
  if (!polygons.empty()) {
    out.Long(maxVertices);
    out.Long(maxTriangles);
    out.Long(maxPoints);
  }
  for (const PolygonEntry& entry : polygons) {
    IPrimitive* p = entry.primitive;
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    const INT_PTR n = outline ? outline->GetSize() : 0;
    out.Long(static_cast<long>(n));
    for (INT_PTR i = 0; i < n; ++i) {
      const _CSPOINT3D& v = (*outline)[i];
      out.Line("%lf %lf %lf", v.x, v.y, v.z + entry.lift);
    }
    out.Long(p->GetContourSide());
    const int membership = *p->GetMembership();
    out.Long(membership);
    WriteBaseHeight(out, p->GetBaseHeight());
    const CPrimitiveCalcSurface* surface = p->GetMeshHelper();
    const std::size_t triangles = surface ? surface->GetMeshTriangleCount() : 0;
    out.Long(static_cast<long>(triangles));
    double corners[3][3];
    for (std::size_t t = 0; t < triangles; ++t) {
      surface->GetMeshTriangle(t, corners);
      for (auto& c : corners)
        c[2] -= kMeshPointRaise;
      WriteNine(out, corners);
    }
    if (membership == kMemberShading) {
      out.Long(1);
      out.Line("%lf %lf %lf %lf %lf %lf", 0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
      continue;
    }
    const std::size_t points = surface ? surface->GetPointCount() : 0;
    out.Long(static_cast<long>(points));
    double position[3], normal[3];
    for (std::size_t i = 0; i < points; ++i) {
      surface->GetMeshPoint(i, position, normal);
      out.Line("%lf %lf %lf %lf %lf %lf", position[0], position[1], position[2], normal[0], normal[1], normal[2]);
    }
  }
  out.Fixed(0.0);
  out.Fixed(0.0);
  out.Line("%g", *parts.groups->GetMaintenanceFactor());
  types.WriteCounts(out, luminaires.size());
  for (const Luminaire& l : luminaires)
    WriteLuminaire(out, l);
  types.WriteBlocks(out, "%lf");

  text = std::move(out.text);
  if (carriageways == 0 && sidewalks == 0)
    return kNoActiveObjects;
  if (luminaires.empty())
    return kNoActiveGroups;
  if (gridMode != 0 && std::min(length, width) / storedStep < 2.0)
    return kGridStepTooCoarse;
  return kOk;
}

}  // namespace EngineIo

int WriteEngineInput5(IQorRoadDoc* document, const CString& path)
{
  using namespace EngineIo;
  std::string text;
  const int code = FormatEngineInput5(document, text);
  if (code != kOk && code != kNoActiveObjects && code != kNoActiveGroups && code != kGridStepTooCoarse)
    return code;
  const int written = WriteInputFile(path, text);
  return written != kOk ? written : code;
}
