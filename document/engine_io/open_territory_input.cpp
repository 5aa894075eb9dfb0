// The input file, line by line ("%lf" fixed with six decimals, "%ld" and "%u" whole, "%g" short):
//   window length; window width; user grid (0/1); grid step;
//   carriageway takes part; sidewalk takes part; road section (always 8);
//   triangles n, n x (9 coordinates of points 1-3, object type, base height); rectangles and ellipses the same;
//   ring sectors n, n x (9 coordinates, inner radius, sector angle, object type, base height);
//   polygons P; when P > 0: largest vertex count, largest triangle count, then per polygon: n, n x (x y z),
//     traversal, object type, base height, t, t x 9 coordinates of its triangle pieces;
//   two zeros (sidewalk width and gap, kept for the format); maintenance factor; luminaires L; types T; largest
//   gamma count; largest plane count;
//   L records: mounting kind K, placement scheme S, the placement values of K and S, the arm or aim values, type;
//   T blocks: 0 for C-planes (else 1), flux, gamma count, plane count, the gamma angles, the plane angles
//     (tab-separated lines, none when empty), then per plane its candela, tab-separated.
// Each primitive taken is lifted 1 mm above the one before it, so the engine can tell which lies on top.
#include "document/engine_io/open_territory_input.h"

#include "document/engine_io/engine_input_text.h"
#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/engine_luminaire_types.h"
#include "document/engine_io/open_territory_parts.h"
#include "model/identifiers.h"
#include "model/ipole.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/primitive.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace EngineIo {
namespace {

constexpr double kLiftStep = 0.001;  // a millimetre: far below any grid step, far above rounding
constexpr double kLuminaireCentreOffset = 0.3;  // the pole's own figure for where a typical arm puts the light

constexpr int kMountingPole = 0;
constexpr int kMountingMast = 1;
constexpr int kMountingFloorLamp = 2;
constexpr int kSchemeIndividual = 0;
constexpr int kSchemeLine = 1;
constexpr int kSchemeCircle = 2;
constexpr int kSchemeContour = 3;
constexpr int kSchemePoints = 4;

double Radians(double degrees) { return degrees / 180.0 * 3.141592653589793; }

// The model says background as 0 and keeps 3 for an unnamed membership; the engine's file says both as 0 for the
// simple shapes and as 3 for polygons. Every other membership is written as it stands.
long FileObjectType(int membership, bool polygon)
{
  if (membership == ObjectModel::kMemberBackground || membership == ObjectModel::kMemberUnnamed)
    return polygon ? 3 : 0;
  return membership;
}

// A primitive takes part when it is switched on and so is its category (carriageway or sidewalk); road marking
// lies on what is under it and never does.
bool TakesPart(IPrimitive* primitive, int roadState, int sidewalkState)
{
  const int membership = *primitive->GetMembership();
  const int category = membership == ObjectModel::kMemberCarriageway ? roadState
                       : membership == ObjectModel::kMemberSidewalk  ? sidewalkState
                                                                     : 5;
  int state = *primitive->GetState();
  if ((category & 1) == 0)
    state &= ~1;
  return (state & 1) != 0 && membership != ObjectModel::kMemberMarking;
}

struct SitePolygon {
  IPrimitive* primitive = nullptr;  // kept alive by the area for the call
  double lift = 0.0;
};

struct SitePrimitives {
  std::vector<_PRIMITIVE_INFO_1> simple[4];  // triangles, rectangles, ellipses, ring sectors
  std::vector<SitePolygon> polygons;
  long carriageway = 0;
  long sidewalk = 0;
  long maxVertices = 0;
  long maxTriangles = 0;
};

// A polygon that takes part and whose outline its last rebuild refused: it has no pieces, and the engine would
// calculate the site without it.
bool HoldsRefusedOutline(IPrimitive* first, int roadState, int sidewalkState)
{
  for (IPrimitive* p = first; p; p = p->GetNext()) {
    const ObjectModel::CPrimitive* behind = ObjectModel::PrimitiveBehind(p);
    if (TakesPart(p, roadState, sidewalkState) && ObjectModel::IsPolygonShape(*p->GetShape()) && behind &&
        behind->OutlineFault())
      return true;
  }
  return false;
}

std::vector<IPrimitive*> TrianglePieces(IPrimitive* polygon)
{
  std::vector<IPrimitive*> pieces;
  for (IPrimitive* piece = polygon->GetFirstChild(); piece; piece = piece->GetNext())
    if (*piece->GetShape() == ObjectModel::kShapeTriangle)
      pieces.push_back(piece);
  return pieces;
}

long ChildCount(IPrimitive* polygon)
{
  long count = 0;
  for (IPrimitive* piece = polygon->GetFirstChild(); piece; piece = piece->GetNext())
    ++count;
  return count;
}

_PRIMITIVE_INFO_1 LiftedInfo(IPrimitive* primitive, double lift)
{
  _PRIMITIVE_INFO_1 info{};
  primitive->GetInfo(&info);
  for (int k = 0; k < 3; ++k)
    info.points[k][2] += lift;
  return info;
}

SitePrimitives CollectPrimitives(IPrimitive* first, int roadState, int sidewalkState)
{
  SitePrimitives site;
  double lift = kLiftStep;
  for (IPrimitive* p = first; p; p = p->GetNext()) {
    if (!TakesPart(p, roadState, sidewalkState))
      continue;
    const int shape = *p->GetShape();
    const int membership = *p->GetMembership();
    if (ObjectModel::IsPolygonShape(shape)) {
      CArray<_CSPOINT3D>* outline = nullptr;
      p->GetOutline(&outline);
      site.maxVertices = std::max(site.maxVertices, static_cast<long>(outline ? outline->GetSize() : 0));
      site.polygons.push_back({p, lift});
      site.maxTriangles = std::max(site.maxTriangles, ChildCount(p));
    } else if (shape >= ObjectModel::kShapeTriangle && shape <= ObjectModel::kShapeRingSector) {
      _PRIMITIVE_INFO_1 info = LiftedInfo(p, lift);
      info.objectType = static_cast<std::int32_t>(FileObjectType(membership, false));
      info.baseHeight = p->GetBaseHeight();
      site.simple[shape].push_back(info);
    }
    if (membership == ObjectModel::kMemberCarriageway)
      ++site.carriageway;
    else if (membership == ObjectModel::kMemberSidewalk)
      ++site.sidewalk;
    lift += kLiftStep;
  }
  return site;
}

void WritePoints(InputText& out, const _PRIMITIVE_INFO_1& info)
{
  const auto& p = info.points;
  out.Line("%lf %lf %lf %lf %lf %lf %lf %lf %lf        !  1.8.1.1 - 1.8.1.9  ", p[0][0], p[0][1], p[0][2], p[1][0],
           p[1][1], p[1][2], p[2][0], p[2][1], p[2][2]);
}

void WriteSimpleShapes(InputText& out, const std::vector<_PRIMITIVE_INFO_1>& records, const char* countLine,
                       bool ringSectors)
{
  out.Line(countLine, static_cast<long>(records.size()));
  for (const _PRIMITIVE_INFO_1& info : records) {
    WritePoints(out, info);
    if (ringSectors) {
      out.Line("%lf       !  внутренний радиус", info.innerRadius);
      out.Line("%lf       !  угол сектора", info.sectorAngle);
    }
    out.Line("%ld       !  1.8.1.10 Тип объекта", static_cast<long>(info.objectType));
    out.Line("%lf       !  Базовая высота примитива", info.baseHeight);
  }
}

void WritePolygons(InputText& out, const SitePrimitives& site)
{
  out.Line("%ld       !  Количество полигонов", static_cast<long>(site.polygons.size()));
  if (site.polygons.empty())
    return;
  out.Line("%ld       !  Максимальное количество вершин", site.maxVertices);
  out.Line("%ld       !  Максимальное количество треугольников", site.maxTriangles);
  for (const SitePolygon& polygon : site.polygons) {
    IPrimitive* p = polygon.primitive;
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    const INT_PTR n = outline ? outline->GetSize() : 0;
    out.Line("%ld       !  Вершин в полигоне", static_cast<long>(n));
    for (INT_PTR i = 0; i < n; ++i) {
      const _CSPOINT3D& v = (*outline)[i];
      out.Line("%lf %lf %lf        !  ", v.x, v.y, v.z + polygon.lift);
    }
    out.Line("%ld       !  Обход", static_cast<long>(p->GetContourSide()));
    out.Line("%ld       !  Тип объекта", FileObjectType(*p->GetMembership(), true));
    out.Line("%lf       !  Базовая высота примитива", p->GetBaseHeight());
    const std::vector<IPrimitive*> pieces = TrianglePieces(p);
    out.Line("%ld       !  Количество треугольников в примитиве", static_cast<long>(pieces.size()));
    for (IPrimitive* piece : pieces)
      WritePoints(out, LiftedInfo(piece, polygon.lift));
  }
}

// One luminaire record of the enumeration: where its group stands and how its luminaire sits.
struct LuminaireRecord {
  const CLightDevice* device = nullptr;
  int mounting = 0;
  int scheme = 0;
  double x = 0.0, y = 0.0, z = 0.0;
  double psi = 0.0;              // bracket rotation
  double x2 = 0.0, y2 = 0.0;     // the pole after the first, or the first itself when it stands alone
  double baseX = 0.0, baseY = 0.0;
  long poleCount = 0;
  double angularStep = 0.0;
  double lineRotation = 0.0;     // in line
  double circleRotation = 0.0;   // on a circle
  double armTurn = 0.0;
  double height = 0.0;           // IPole::GetHeight with the mounting kind, for the arm in use
  double outreach = 0.0;
  double tilt = 0.0;
  double aim[3] = {0.0, 0.0, 0.0};
  double luminaireTurn = 0.0;
  unsigned mountNode = 0;
  unsigned type = 0;  // from 1
};

// A typical pole's height, outreach and tilt on arm `arm`, as the pole gives them while that arm is current.
// Read here without making it current, so that the model stays untouched on the worker thread.
void ApplyArm(LuminaireRecord& r, const CLampPost& post, const LAMP_CONSOLE_INFO& arm)
{
  r.height = post.height + (arm.rise + kLuminaireCentreOffset * std::sin(Radians(arm.tilt)));
  r.outreach = arm.outreach + kLuminaireCentreOffset * std::cos(Radians(arm.tilt));
  r.tilt = arm.tilt;
}

LuminaireRecord GroupRecord(IGroupOfDev* group, IPole* pole)
{
  LuminaireRecord r;
  r.device = group->GetLightDevice();
  r.mounting = *group->GetMountingKind();
  r.scheme = *group->GetPlacementScheme();
  const double* position = pole->GetPosition();
  r.x = position[0];
  r.y = position[1];
  r.z = position[2];
  r.psi = *pole->GetRotation();
  // A line of one pole has no second one; its own position keeps the line empty, and the engine takes a line of
  // one pole as that pole alone.
  const double* next = pole->GetNext() ? pole->GetNext()->GetPosition() : position;
  r.x2 = next[0];
  r.y2 = next[1];
  const double* base = group->GetBasePoint();
  r.baseX = base[0];
  r.baseY = base[1];
  r.poleCount = group->GetTotalPoleCount();
  r.angularStep = *group->GetAngularStep();
  r.lineRotation = pole->GetAbsoluteRotation();
  r.circleRotation = pole->GetCircleRotation();
  r.height = pole->GetHeight(r.mounting);
  r.outreach = pole->GetOutreach(r.mounting);
  r.tilt = pole->GetTilt(r.mounting);
  pole->GetAimPoint(r.aim);
  r.luminaireTurn = *pole->GetLuminaireTurn();
  const int side = pole->GetMountSide();
  // Catalogue code "00009" marks luminaires whose mounting node is recorded the other way up.
  if (r.device->textH.Compare("00009") == 0)
    r.mountNode = side == 0 ? 1u : 0u;
  else
    r.mountNode = static_cast<unsigned>(side);
  return r;
}

// The records of one group (or sub-group) that takes part, from its first pole: one per arm of the bracket in use
// when the pole is typical, else one. `parentPole` is the first pole of the group a sub-group was generated from.
void GroupRecords(IGroupOfDev* group, IPole* parentPole, std::vector<LuminaireRecord>& out)
{
  if ((*group->GetState() & 1) == 0)
    return;
  ModelRef<IPole> pole = Query<IPole>(group, IID_IPole);
  if (!pole)
    return;  // nothing stands there to carry a luminaire
  const bool parentTypical = parentPole && *parentPole->GetTypical() != 0;
  const bool typical = *pole->GetTypical() != 0 || parentTypical;
  IPole* bracketOwner = parentTypical ? parentPole : pole.get();
  const CLampPost* post = bracketOwner->GetLampPost();
  const CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
  const int arms = bracket ? static_cast<int>(bracket->arms.GetSize()) : 0;
  // Only the pole's own bracket moves its light with the arm; a sub-group's pole carries user values.
  const bool ownTypicalArms = bracketOwner == pole.get() && *pole->GetTypical() != 0;
  const LuminaireRecord base = GroupRecord(group, pole.get());
  const int records = typical && arms >= 1 ? arms : 1;
  for (int j = 0; j < records; ++j) {
    LuminaireRecord r = base;
    if (arms >= 1) {
      r.armTurn = bracket->arms[j].turn;
      if (ownTypicalArms && r.mounting == kMountingPole)
        ApplyArm(r, *post, bracket->arms[j]);
    }
    out.push_back(r);
  }
}

// The groups in list order; a contour or point placement stands for its generated sub-groups.
std::vector<LuminaireRecord> EnumerateLuminaires(IGroupOfDev* firstGroup)
{
  std::vector<LuminaireRecord> records;
  for (IGroupOfDev* group = firstGroup; group; group = group->GetNext()) {
    const int scheme = *group->GetPlacementScheme();
    if (scheme == kSchemeContour || scheme == kSchemePoints) {
      ModelRef<IPole> parentPole = Query<IPole>(group, IID_IPole);
      ModelRef<IGroupOfDev> sub = Query<IGroupOfDev>(group, IID_FirstSubGroup);
      for (IGroupOfDev* g = sub.get(); g; g = g->GetNext())
        GroupRecords(g, parentPole.get(), records);
      continue;
    }
    GroupRecords(group, nullptr, records);
  }
  return records;
}

void WriteMastPlacement(InputText& out, const LuminaireRecord& r)
{
  const double a = r.outreach;
  const double h = r.height;
  switch (r.scheme) {
  case kSchemeIndividual:
    out.Line("%lf       !  11-10   координата ОП X", r.x + a * std::cos(Radians(r.psi)));
    out.Line("%lf       !  12-10   координата ОП Y", r.y + a * std::sin(Radians(r.psi)));
    out.Line("%g", h + r.z);
    break;
  case kSchemeLine: {
    const double psi = Radians(r.lineRotation);
    out.Line("%lf       !  11-10   координата ОП X", r.x + a * std::cos(psi));
    out.Line("%lf       !  12-10   координата ОП Y", r.y + a * std::sin(psi));
    out.Line("%ld       !  13-11   система координат 2-ого ОП:   0 - декартовая", 0L);
    out.Line("%lf       !  14-110   координата 2-ой опоры X", r.x2 + a * std::cos(psi));
    out.Line("%lf       !  15-110   координата 2-ой опоры Y", r.y2 + a * std::sin(psi));
    out.Line("%g", h + r.z);
    out.Line("%ld       !  17-11   количество ОП", r.poleCount);
    break;
  }
  case kSchemeCircle: {
    const double psi = Radians(r.circleRotation);
    out.Line("%lf       !  11-12   координата центра окружности с ОП X", r.baseX);
    out.Line("%lf       !  12-12   координата центра окружности с ОП Y", r.baseY);
    out.Line("%ld       !  13-12   система координат 1-ого ОП:   0 - декартовая", 0L);
    out.Line("%lf       !  14-120   координата 1-ого ОП X", r.x + a * std::cos(psi));
    out.Line("%lf       !  15-120   координата 1-ого ОП Y", r.y + a * std::sin(psi));
    out.Line("%lf      !  16-12   шаг (dfi)", r.angularStep);
    out.Line("%g", h + r.z);
    out.Line("%ld       !  17-11   количество ОП", r.poleCount);
    break;
  }
  default: break;
  }
  out.Line("%ld       !  14-10   система нацеливания ОП:   0 - декартовая", 0L);
  out.Line("%lf       !  15-100   координата нацеливания X", r.aim[0]);
  out.Line("%lf       !  16-100   координата нацеливания Y", r.aim[1]);
  out.Line("%lf      !  17-100   высота нацеливания(h')", r.aim[2]);
  out.Line("%lf      !  поворот ОП (teta)", r.luminaireTurn);
}

void WritePolePlacement(InputText& out, const LuminaireRecord& r)
{
  switch (r.scheme) {
  case kSchemeIndividual:
    out.Line("%lf       !  11-00   координата опоры X", r.x);
    out.Line("%lf       !  12-00   координата опоры Y", r.y);
    break;
  case kSchemeLine:
    out.Line("%lf       !  11-01   координата 1-ой опоры X", r.x);
    out.Line("%lf       !  12-01   координата 1-ой опоры Y", r.y);
    out.Line("%ld       !  13-01   система координат 2-ой опоры - 0 - декартовая", 0L);
    out.Line("%lf       !  14-010   координата 2-ой опоры X", r.x2);
    out.Line("%lf       !  15-010   координата 2-ой опоры Y", r.y2);
    out.Line("%ld       !  16-01   количество опор", r.poleCount);
    break;
  case kSchemeCircle:
    out.Line("%lf       !  11-02   координата центра окружности с опорами X", r.baseX);
    out.Line("%lf       !  12-02   координата центра окружности с опорами Y", r.baseY);
    out.Line("%ld        !  13-02   система координат 1-ой опоры - декартовая", 0L);
    out.Line("%lf       !  14-020   координата 1-ой опоры X", r.x);
    out.Line("%lf       !  15-020   координата 1-ой опоры Y", r.y);
    out.Line("%lf       !  16-02   шаг (dfi)", r.angularStep);
    out.Line("%ld       !  17-02   количество опор", r.poleCount);
    break;
  default: break;
  }
  out.Line("%g", r.armTurn + r.psi);
  out.Line("%g", r.height + r.z);
  out.Line("%g", r.outreach);
  out.Line("%g", r.tilt);
  if (r.mounting == kMountingFloorLamp) {
    out.Line("%u", r.mountNode);
    out.Line("%g", r.luminaireTurn);
  }
}

void WriteLuminaire(InputText& out, const LuminaireRecord& r)
{
  out.Line("%ld       !  9.  0 - на опоре, 1 - на мачте", static_cast<long>(r.mounting));
  out.Line("%ld       !  10.  0 - индивидуальная", static_cast<long>(r.scheme));
  if (r.mounting == kMountingMast)
    WriteMastPlacement(out, r);
  else if (r.mounting == kMountingPole || r.mounting == kMountingFloorLamp)
    WritePolePlacement(out, r);
  out.Line("%u", r.type);
}

}  // namespace

int PrepareEngineInput3(IQorRoadDoc* document)
{
  OpenTerritoryParts parts;
  if (!FindActiveOpenTerritory(document, parts))
    return kNoAreaOfThisKind;
  const int roadState = *parts.site->GetRoadState();
  const int sidewalkState = *parts.site->GetSidewalkState();
  ModelRef<IPrimitive> first = Query<IPrimitive>(parts.site.get(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p; p = p->GetNext())
    if (TakesPart(p, roadState, sidewalkState))
      p->Rebuild();
  if (HoldsRefusedOutline(first.get(), roadState, sidewalkState))
    return kOutlineRefused;

  auto firstArm = [](IPole* pole) {
    CLampPost* post = pole ? pole->GetLampPost() : nullptr;
    CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
    if (bracket && bracket->arms.GetSize() >= 1)
      bracket->currentArm = 0;
  };
  ModelRef<IGroupOfDev> firstGroup = Query<IGroupOfDev>(parts.groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = firstGroup.get(); group; group = group->GetNext()) {
    firstArm(Query<IPole>(group, IID_IPole).get());
    ModelRef<IGroupOfDev> sub = Query<IGroupOfDev>(group, IID_FirstSubGroup);
    for (IGroupOfDev* g = sub.get(); g; g = g->GetNext())
      firstArm(Query<IPole>(g, IID_IPole).get());
  }
  return kOk;
}

int FormatEngineInput3(IQorRoadDoc* document, std::string& text)
{
  text.clear();
  OpenTerritoryParts parts;
  if (!FindActiveOpenTerritory(document, parts))
    return kNoAreaOfThisKind;
  IArea* area = parts.area.get();
  const double length = *area->GetLength();
  const double width = *area->GetWidth();
  const int gridMode = *area->GetGridMode();
  const double gridStep = *area->GetGridStep();
  const int roadState = *parts.site->GetRoadState();
  const int sidewalkState = *parts.site->GetSidewalkState();
  InputText out;

  out.Line("%lf       !  2. длина окна", length);
  out.Line("%lf       !  3. ширина окна", width);
  out.Line("%ld", gridMode != 0 ? 1L : 0L);
  out.Line("%lf       !  шаг сетки", gridStep);

  ModelRef<IPrimitive> firstPrimitive = Query<IPrimitive>(parts.site.get(), IID_IPrimitive);
  if (HoldsRefusedOutline(firstPrimitive.get(), roadState, sidewalkState))
    return kOutlineRefused;
  const SitePrimitives site = CollectPrimitives(firstPrimitive.get(), roadState, sidewalkState);
  out.Line("%ld       !  1. Проезжая часть:0-выкл, 1-вкл:", (roadState & 1) != 0 && site.carriageway > 0 ? 1L : 0L);
  out.Line("%ld       !  1.0 тротуар:0-нет, 1-есть:", (sidewalkState & 1) != 0 && site.sidewalk > 0 ? 1L : 0L);
  out.Line("%ld       !  1.1 Участок дороги:", 8L);
  WriteSimpleShapes(out, site.simple[ObjectModel::kShapeTriangle], "%ld       !  1.8.1 Количество треугольников",
                    false);
  WriteSimpleShapes(out, site.simple[ObjectModel::kShapeRectangle],
                    "%ld       !  1.8.2 Количество прямоугольников", false);
  WriteSimpleShapes(out, site.simple[ObjectModel::kShapeEllipse], "%ld       !  1.8.3 Количество эллипсов", false);
  WriteSimpleShapes(out, site.simple[ObjectModel::kShapeRingSector], "%ld       !  1.8.3 Количество секторов",
                    true);
  WritePolygons(out, site);
  out.Line("%lf       !  1.0.1 ширина тр-ра", 0.0);
  out.Line("%lf       !  1.0.2 зазор между тр-ром и пр.частью", 0.0);
  out.Line("%g", *parts.groups->GetMaintenanceFactor());

  ModelRef<IGroupOfDev> firstGroup = Query<IGroupOfDev>(parts.groups.get(), IID_IGroupOfDev);
  std::vector<LuminaireRecord> luminaires = EnumerateLuminaires(firstGroup.get());
  LuminaireTypes types;
  for (LuminaireRecord& l : luminaires) {
    l.type = types.Assign(*l.device);
    if (l.type == 0)
      return kNoIntensityTable;
  }
  types.WriteCounts(out, luminaires.size());
  for (const LuminaireRecord& l : luminaires)
    WriteLuminaire(out, l);
  types.WriteBlocks(out, "%lf       !\tСветовой поток ИС, лм");

  text = std::move(out.text);
  if (site.carriageway == 0 && site.sidewalk == 0)
    return kNoActiveObjects;
  if (luminaires.empty())
    return kNoActiveGroups;
  // A user step of nothing would divide by zero and reach the engine as a damaged file.
  if (gridMode != 0 && (gridStep <= 0.0 || std::min(length, width) / gridStep < 2.0))
    return kGridStepTooCoarse;
  return kOk;
}

}  // namespace EngineIo

int WriteEngineInput3(IQorRoadDoc* document, const CString& path)
{
  std::string text;
  const int code = EngineIo::FormatEngineInput3(document, text);
  if (code != EngineIo::kOk && code != EngineIo::kNoActiveObjects && code != EngineIo::kNoActiveGroups &&
      code != EngineIo::kGridStepTooCoarse)
    return code;
  const int written = EngineIo::WriteInputFile(path, text);
  return written != EngineIo::kOk ? written : code;
}
