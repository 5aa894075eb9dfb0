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

#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/straight_road_parts.h"
#include "model/identifiers.h"
#include "model/ipole.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/shell/shell_services.h"
#include "platform/mfc-core/cfile.h"

#include <algorithm>
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

// Numbers go through the framework's C-locale formatting, so a Russian locale cannot turn 1.5 into "1,5".
class InputText {
public:
  void Unsigned(unsigned value) { Append("%u\n", value); }
  void Flag(bool value) { Unsigned(value ? 1u : 0u); }
  void Real(double value) { Append("%g\n", value); }
  // Values of one table line: tab between them, LF after the last; nothing at all for no values.
  void Values(const std::vector<double>& values)
  {
    for (std::size_t i = 0; i < values.size(); ++i)
      Append(i + 1 < values.size() ? "%g\t" : "%g\n", values[i]);
  }

  std::string text;

private:
  template <class T>
  void Append(const char* format, T value)
  {
    CString number;
    number.Format(format, value);
    text += number.GetString();
  }
};

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

// A luminaire type: same text A and exactly the same total flux.
struct LuminaireType {
  const CLightDevice* device = nullptr;  // of its first luminaire
  double totalFlux = 0.0;
  CLinkedTable table;                    // completed and re-based as the engine takes it
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

bool SameType(const LuminaireType& type, const CLightDevice& device)
{
  return type.device->textA.Compare(device.textA.GetString()) == 0 &&
         type.totalFlux == device.lampFlux * device.lampCount;
}

// The table as the engine takes it: completed by symmetry unless it is complete or of one plane, and re-based to
// planes -180..180 when it is of C-planes.
bool MakeEngineTable(const CLightDevice& device, _LINKED_TABLE* table)
{
  using namespace IntensitySymmetry;
  const _LINKED_TABLE* stored = device.table.get();
  // Without a plane and a gamma angle there is nothing to complete nor to write.
  if (stored->rows < 2 || stored->columns < 2)
    return false;
  LinkedTableCopy(table, stored);
  const std::uint32_t word = device.symmetryWord;
  if ((word & (kPlanesComplete | kPlanesOne)) == 0)
    CompleteIntensitySymmetry(table, word);
  if ((word & kSystemC) != 0 && (word & kPlanesOne) == 0)
    RebaseIntensityPlanes(table);
  return table->rows >= 2 && table->columns >= 2;
}


void WriteIntensityBlock(InputText& out, const LuminaireType& type)
{
  const _LINKED_TABLE* t = type.table.get();
  const CLightDevice& device = *type.device;
  out.Flag((device.symmetryWord & IntensitySymmetry::kSystemC) == 0);
  out.Unsigned(static_cast<unsigned>(t->columns - 1));
  out.Unsigned(static_cast<unsigned>(t->rows - 1));
  std::vector<double> gammas, planes;
  for (const _LINKED_TABLE_NODE* n = t->first->right; n; n = n->right)
    gammas.push_back(n->value);
  out.Values(gammas);
  for (const _LINKED_TABLE_NODE* n = t->first->down; n; n = n->down)
    planes.push_back(n->value);
  out.Values(planes);
  for (const _LINKED_TABLE_NODE* row = t->first->down; row; row = row->down) {
    // Stored per 1000 lm; the engine takes candela of the luminaire's lamps.
    std::vector<double> candela;
    for (const _LINKED_TABLE_NODE* n = row->right; n; n = n->right)
      candela.push_back(device.Candela(n->value));
    out.Values(candela);
  }
}

void WriteLuminaire(InputText& out, const Luminaire& l)
{
  out.Unsigned(static_cast<unsigned>(l.mounting));
  out.Unsigned(static_cast<unsigned>(l.arrangement));
  out.Real(l.spacing);
  out.Real(l.height);
  out.Real(l.outreach);
  out.Real(l.setback);
  out.Real(l.tilt);
  out.Real(l.rotation);
  if (l.mounting == kMountingMast) {
    out.Real(l.aimTilt);
    out.Real(l.aimTurn);
    out.Real(l.luminaireTurn);
  } else if (l.mounting == kMountingFloorLamp) {
    out.Unsigned(l.mountNode);
    out.Real(l.luminaireTurn);
  }
  out.Real(l.offset);
  out.Unsigned(l.type);
}

void WriteStrip(InputText& out, IModelUnknown* owner, const IID& key)
{
  ModelRef<ILineOfRoad> strip = PresentStrip(owner, key);
  out.Flag(static_cast<bool>(strip));
  if (strip) {
    out.Real(*strip->GetWidth());
    out.Real(*strip->GetGap());
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
  out.Real(road->GetLaneWidth(&kLaneMain));
  if (section.twoWay) {
    out.Unsigned(static_cast<unsigned>(section.oppositeState));
    out.Unsigned(road->GetLaneCount(&kLaneOpposite));
    out.Real(road->GetLaneWidth(&kLaneOpposite));
    const bool divider = road->HasDivider() != 0;
    out.Flag(divider);
    if (divider) {
      out.Real(road->GetLaneWidth(&kLaneDivider));
      const bool parapet = road->HasParapet() != 0;
      out.Flag(parapet);
      if (parapet) {
        out.Real(road->GetParapetWidth());
        out.Real(road->GetParapetHeight());
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
  out.Real(*parts.groups->GetMaintenanceFactor());

  ModelRef<IGroupOfDev> firstGroup = Query<IGroupOfDev>(parts.groups.get(), IID_IGroupOfDev);
  std::vector<Luminaire> luminaires = EnumerateLuminaires(firstGroup.get());
  std::vector<LuminaireType> types;
  unsigned maxAngles = 0, maxPlanes = 0;
  for (Luminaire& l : luminaires) {
    std::size_t t = 0;
    while (t < types.size() && !SameType(types[t], *l.device))
      ++t;
    if (t == types.size()) {
      LuminaireType& type = types.emplace_back();
      type.device = l.device;
      type.totalFlux = l.device->lampFlux * l.device->lampCount;
      if (!MakeEngineTable(*l.device, type.table.get()))
        return kNoIntensityTable;
      maxAngles = std::max(maxAngles, static_cast<unsigned>(type.table->columns - 1));
      maxPlanes = std::max(maxPlanes, static_cast<unsigned>(type.table->rows - 1));
    }
    l.type = static_cast<unsigned>(t + 1);
  }
  out.Unsigned(static_cast<unsigned>(luminaires.size()));
  out.Unsigned(static_cast<unsigned>(types.size()));
  out.Unsigned(maxAngles);
  out.Unsigned(maxPlanes);
  for (const Luminaire& l : luminaires)
    WriteLuminaire(out, l);
  // The field is one spacing of the first group, switched on or not.
  out.Real(firstGroup ? *firstGroup->GetStep() : 0.0);
  for (const LuminaireType& type : types)
    WriteIntensityBlock(out, type);

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
  CFile file;
  if (!file.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite))
    return EngineIo::kInputNotCreated;
  try {
    file.Write(text.data(), static_cast<UINT>(text.size()));
    file.Close();
  } catch (CException* e) {
    e->Delete();
    file.Abort();
    return EngineIo::kInputNotWritten;
  }
  return code;
}
