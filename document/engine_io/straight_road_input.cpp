// The input file, line by line ("%u" unsigned, "%g" real):
//   1 carriageway takes part; 2 folder of the binaries + "rtab_1.rtb" (surface 0) or "rtab_2.rtb"; 3 surface;
//   4 two-way; 5 main lanes; 6 main lane width;
//   two-way only: 7 opposite state (0 calculated on its own), 8 opposite lanes, 9 their width, 10 divider;
//     divider only: 11 its width, 12 parapet; parapet only: 13 parapet width, 14 parapet height;
//   S1 sidewalks take part; if so: right present [width, gap], left present [width, gap];
//   W1 walls take part; if so: right present [height, distance], left present [height, distance];
//   M maintenance factor; N1 luminaires L; N2 types T; N3 largest gamma count; N4 largest plane count;
//   L records: mounting kind, arrangement, spacing, height, outreach, setback, tilt, arm rotation + psi,
//     mast: aim tilt, aim turn, luminaire turn; floor lamp: mount node, luminaire turn; then offset, type;
//   Q spacing of the first group;
//   T intensity blocks: 0 for C-planes (else 1), gamma count, plane count, the gamma angles, the plane angles
//     (tab-separated lines, none when empty), then per plane its candela, tab-separated.
#include "document/engine_io/straight_road_input.h"

#include "document/engine_io/engine_input_text.h"
#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/engine_luminaire_types.h"
#include "document/engine_io/straight_road_parts.h"
#include "model/identifiers.h"
#include "model/ipole.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/shell/shell_services.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace EngineIo {
namespace {

// The pole's own figures for where a typical arm puts the light centre.
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kLuminaireCentreOffset = 0.3;

constexpr int kArrangementCentral = 4;
constexpr int kArrangementSuspended = 5;
constexpr int kMountingPole = 0;
constexpr int kMountingMast = 1;
constexpr int kMountingFloorLamp = 2;

// One luminaire of the enumeration, with every value its record carries.
struct Luminaire {
  const CLightDevice* device = nullptr;
  int mounting = 0;
  int arrangement = 0;
  double spacing = 0.0;
  double height = 0.0;
  double outreach = 0.0;
  double setback = 0.0;
  double tilt = 0.0;
  double rotation = 0.0;  // arm rotation + the bracket rotation psi
  double aimTilt = 0.0;
  double aimTurn = 0.0;
  double luminaireTurn = 0.0;
  unsigned mountNode = 0;
  double offset = 0.0;
  unsigned type = 0;  // from 1
};

double Reduce180(double angle)
{
  double r = angle - 360.0 * std::trunc(angle / 360.0);
  if (r < -180.0)
    r += 360.0;
  else if (r > 180.0)
    r -= 360.0;
  return r;
}

Luminaire GroupRecord(IGroupOfDev* group, IPole* pole)
{
  Luminaire l;
  l.device = group->GetLightDevice();
  l.mounting = *group->GetMountingKind();
  l.arrangement = *group->GetRoadScheme();
  l.spacing = *group->GetStep();
  l.offset = *group->GetOffset();
  l.height = pole->GetHeight(l.mounting);
  l.outreach = pole->GetOutreach(l.mounting);
  l.setback = *pole->GetSetback();
  l.tilt = pole->GetTilt(l.mounting);
  const bool suspended = l.arrangement == kArrangementSuspended;
  l.aimTilt = suspended ? 90.0 : pole->GetAimTilt();
  l.aimTurn = suspended ? 0.0 : pole->GetAimTurn();
  l.luminaireTurn = suspended ? 0.0 : *pole->GetLuminaireTurn();
  const int side = pole->GetMountSide();
  // Catalogue code "00009" marks luminaires whose mounting node is recorded the other way up.
  if (l.device->textH.Compare("00009") == 0)
    l.mountNode = side == 0 ? 1u : 0u;
  else
    l.mountNode = static_cast<unsigned>(side);
  return l;
}

// A typical pole's values on arm `arm`, as the pole itself gives them while that arm is current. Read here
// without making it current, so that the model stays untouched on the worker thread.
void ApplyArm(Luminaire& l, const CLampPost& post, const LAMP_CONSOLE_INFO& arm)
{
  if (l.mounting != kMountingPole)
    return;  // masts and floor lamps take the pole height, their own outreach and no tilt from any arm
  l.height = post.height + (arm.rise + kLuminaireCentreOffset * std::sin(arm.tilt * kDegree));
  l.outreach = arm.outreach + kLuminaireCentreOffset * std::cos(arm.tilt * kDegree);
  l.tilt = arm.tilt;
}

// The luminaires of the switched-on groups in list order, from the first pole of each: one per arm of a typical
// pole's bracket, two for a central arrangement, else one. A group without poles places nothing.
std::vector<Luminaire> EnumerateLuminaires(IGroupOfDev* firstGroup)
{
  std::vector<Luminaire> luminaires;
  for (IGroupOfDev* group = firstGroup; group; group = group->GetNext()) {
    if ((*group->GetState() & 1) == 0)
      continue;
    ModelRef<IPole> pole = Query<IPole>(group, IID_IPole);
    if (!pole)
      continue;
    const Luminaire base = GroupRecord(group, pole.get());
    const double psi = *pole->GetRotation();
    const CLampPost* post = pole->GetLampPost();
    const CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
    const int arms = bracket ? static_cast<int>(bracket->arms.GetSize()) : 0;
    if (*pole->GetTypical() != 0 && arms >= 1) {
      for (int j = 0; j < arms; ++j) {
        Luminaire l = base;
        ApplyArm(l, *post, bracket->arms[j]);
        l.rotation = bracket->arms[j].turn + psi;
        luminaires.push_back(l);
      }
      continue;
    }
    const double armRotation = arms >= 1 ? bracket->arms[0].turn : 0.0;
    Luminaire l = base;
    l.rotation = armRotation + psi;
    luminaires.push_back(l);
    if (base.arrangement == kArrangementCentral) {
      l.rotation = Reduce180(armRotation + 180.0) + psi;
      luminaires.push_back(l);
    }
  }
  return luminaires;
}

void WriteLuminaire(InputText& out, const Luminaire& l)
{
  out.Unsigned(static_cast<unsigned>(l.mounting));
  out.Unsigned(static_cast<unsigned>(l.arrangement));
  out.Short(l.spacing);
  out.Short(l.height);
  out.Short(l.outreach);
  out.Short(l.setback);
  out.Short(l.tilt);
  out.Short(l.rotation);
  if (l.mounting == kMountingMast) {
    out.Short(l.aimTilt);
    out.Short(l.aimTurn);
    out.Short(l.luminaireTurn);
  } else if (l.mounting == kMountingFloorLamp) {
    out.Unsigned(l.mountNode);
    out.Short(l.luminaireTurn);
  }
  out.Short(l.offset);
  out.Unsigned(l.type);
}

void WriteStrip(InputText& out, IModelUnknown* owner, const IID& key)
{
  ModelRef<ILineOfRoad> strip = PresentStrip(owner, key);
  out.Flag(static_cast<bool>(strip));
  if (strip) {
    out.Short(*strip->GetWidth());
    out.Short(*strip->GetGap());
  }
}

}  // namespace

int PrepareEngineInput1(IQorRoadDoc* document)
{
  StraightRoadParts parts;
  if (!FindActiveStraightRoad(document, parts))
    return kNoAreaOfThisKind;
  parts.road->UpdateAreaWidth();
  ModelRef<IGroupOfDev> first = Query<IGroupOfDev>(parts.groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = first.get(); group; group = group->GetNext()) {
    if ((*group->GetState() & 1) == 0)
      continue;
    ModelRef<IPole> pole = Query<IPole>(group, IID_IPole);
    if (!pole || *pole->GetTypical() == 0)
      continue;
    CLampPost* post = pole->GetLampPost();
    CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
    if (bracket && bracket->arms.GetSize() >= 1)
      bracket->currentArm = 0;
  }
  return kOk;
}

int FormatEngineInput1(IQorRoadDoc* document, std::string& text)
{
  text.clear();
  StraightRoadParts parts;
  if (!FindActiveStraightRoad(document, parts))
    return kNoAreaOfThisKind;
  const CrossSection section = ReadCrossSection(parts);
  IRoad* road = parts.road.get();
  InputText out;

  out.Flag(section.carriagewayTakesPart);
  const int surface = road->GetSurface();
  out.text += Shell::GetBinFolder().GetString();
  out.text += surface == 0 ? "rtab_1.rtb\n" : "rtab_2.rtb\n";
  out.Unsigned(static_cast<unsigned>(surface));
  out.Flag(section.twoWay);
  out.Unsigned(road->GetLaneCount(&kLaneMain));
  out.Short(road->GetLaneWidth(&kLaneMain));
  if (section.twoWay) {
    out.Unsigned(static_cast<unsigned>(section.oppositeState));
    out.Unsigned(road->GetLaneCount(&kLaneOpposite));
    out.Short(road->GetLaneWidth(&kLaneOpposite));
    const bool divider = road->HasDivider() != 0;
    out.Flag(divider);
    if (divider) {
      out.Short(road->GetLaneWidth(&kLaneDivider));
      const bool parapet = road->HasParapet() != 0;
      out.Flag(parapet);
      if (parapet) {
        out.Short(road->GetParapetWidth());
        out.Short(road->GetParapetHeight());
      }
    }
  }
  out.Flag(section.sidewalksTakePart);
  if (section.sidewalksTakePart) {
    WriteStrip(out, parts.sidewalks.get(), IID_RightPavement);
    WriteStrip(out, parts.sidewalks.get(), IID_LeftPavement);
  }
  out.Flag(section.wallsTakePart);
  if (section.wallsTakePart) {
    WriteStrip(out, parts.walls.get(), IID_RightWall);
    WriteStrip(out, parts.walls.get(), IID_LeftWall);
  }
  out.Short(*parts.groups->GetMaintenanceFactor());

  ModelRef<IGroupOfDev> firstGroup = Query<IGroupOfDev>(parts.groups.get(), IID_IGroupOfDev);
  std::vector<Luminaire> luminaires = EnumerateLuminaires(firstGroup.get());
  LuminaireTypes types;
  for (Luminaire& l : luminaires) {
    l.type = types.Assign(*l.device);
    if (l.type == 0)
      return kNoIntensityTable;
  }
  types.WriteCounts(out, luminaires.size());
  for (const Luminaire& l : luminaires)
    WriteLuminaire(out, l);
  // The field is one spacing of the first group, switched on or not.
  out.Short(firstGroup ? *firstGroup->GetStep() : 0.0);
  // The blocks of this format carry no flux line.
  types.WriteBlocks(out, nullptr);

  text = std::move(out.text);
  if (!section.carriagewayTakesPart && !section.AnySidewalk())
    return kNoActiveObjects;
  if (luminaires.empty())
    return kNoActiveGroups;
  return kOk;
}

}  // namespace EngineIo

int WriteEngineInput1(IQorRoadDoc* document, const CString& path)
{
  std::string text;
  const int code = EngineIo::FormatEngineInput1(document, text);
  if (code != EngineIo::kOk && code != EngineIo::kNoActiveObjects && code != EngineIo::kNoActiveGroups)
    return code;
  const int written = EngineIo::WriteInputFile(path, text);
  return written != EngineIo::kOk ? written : code;
}
