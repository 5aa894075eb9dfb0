// The input file, item by item (each on its own line; "%u" unsigned, "%g" real):
//   carriageway takes part; r-table path (a whole line); surface; two-way; main lanes; main lane width;
//   two-way only: opposite state, opposite lanes, opposite lane width, divider present;
//     divider only: divider width, parapet present; parapet only: parapet width, parapet height;
//   sidewalks take part; if so: right present [width, gap], left present [width, gap];
//   walls take part; if so: right present [height, distance], left present [height, distance];
//   maintenance factor; L luminaires; T types; N3 largest gamma count; N4 largest plane count;
//   L records: mounting, arrangement, spacing, height, outreach, setback, tilt, rotation,
//     mast: aim tilt, aim turn, luminaire turn; floor lamp: mount node, luminaire turn; then offset, type;
//   Q field length;
//   T blocks: system (0 C, 1 B), angle count, plane count, angles, planes, one line of candela per plane.
#include "outside/engines/road_input.h"

#include "outside/engines/number_reader.h"

namespace Engines {
namespace {

class InputReader : public NumberReader {
public:
  InputReader(std::string_view text, std::string* error) : NumberReader(text, error) {}

  bool Flag(const char* what, bool& value)
  {
    unsigned v = 0;
    if (!Unsigned(what, ~0ul, v))
      return false;
    value = v != 0;
    return true;
  }
  bool Length(const char* what, double& value) { return Real(what, 0.0, kMaxLength, value); }
  bool Angle(const char* what, double& value) { return Real(what, -3600.0, 3600.0, value); }

  bool Strip(const char* what, StripInput& strip)
  {
    if (!Flag(what, strip.present))
      return false;
    return !strip.present || (Length(what, strip.width) && Length(what, strip.gap));
  }

  bool Record(LuminaireRecord& r, unsigned typeCount)
  {
    unsigned mounting = 0, arrangement = 0;
    if (!Unsigned("the mounting kind", 2, mounting) || !Unsigned("the arrangement", 5, arrangement))
      return false;
    r.mounting = static_cast<Mounting>(mounting);
    r.arrangement = static_cast<Arrangement>(arrangement);
    if (!Length("the pole spacing", r.spacing) || !Real("the light-centre height", -kMaxLength, kMaxLength, r.height) ||
        !Real("the outreach", -kMaxLength, kMaxLength, r.outreach) ||
        !Real("the setback", -kMaxLength, kMaxLength, r.setback) || !Angle("the tilt", r.tilt) ||
        !Angle("the rotation", r.rotation))
      return false;
    if (r.mounting == Mounting::Mast &&
        (!Angle("the aim tilt", r.aimTilt) || !Angle("the aim turn", r.aimTurn) ||
         !Angle("the luminaire turn", r.luminaireTurn)))
      return false;
    if (r.mounting == Mounting::FloorLamp &&
        (!Unsigned("the mount node", ~0ul, r.mountNode) || !Angle("the luminaire turn", r.luminaireTurn)))
      return false;
    if (!Real("the group offset", -kMaxLength, kMaxLength, r.offset))
      return false;
    return LuminaireType(typeCount, r.type);
  }

  bool Block(IntensityTable& table, unsigned maxAngles, unsigned maxPlanes)
  {
    unsigned system = 0, angles = 0, planes = 0;
    if (!Unsigned("the photometric system", 1, system) || !Unsigned("the gamma angle count", maxAngles, angles) ||
        !Unsigned("the plane count", maxPlanes, planes))
      return false;
    return IntensityValues(table, system, angles, planes);
  }

  bool Read(StraightRoadInput& in)
  {
    if (!Flag("the carriageway switch", in.carriagewayTakesPart))
      return false;
    in.reflectionTablePath = std::string(scan_.RestOfLine());  // the rest of line 1: nothing
    if (!in.reflectionTablePath.empty() && in.reflectionTablePath.find_first_not_of(" \t") != std::string::npos)
      return Fail("line 1 holds more than the carriageway switch");
    if (scan_.Remaining() == 0)
      return Fail("the reflection table path is missing");
    in.reflectionTablePath = std::string(scan_.RestOfLine());
    if (!Unsigned("the surface type", ~0ul, in.surface) || !Flag("the two-way flag", in.twoWay) ||
        !Unsigned("the number of main lanes", kMaxLanes, in.mainLanes) ||
        !Length("the main lane width", in.mainLaneWidth))
      return false;
    if (in.twoWay) {
      if (!Unsigned("the opposite state", ~0ul, in.oppositeState) ||
          !Unsigned("the number of opposite lanes", kMaxLanes, in.oppositeLanes) ||
          !Length("the opposite lane width", in.oppositeLaneWidth) || !Flag("the divider flag", in.divider))
        return false;
      if (in.divider) {
        if (!Length("the divider width", in.dividerWidth) || !Flag("the parapet flag", in.parapet))
          return false;
        if (in.parapet && (!Length("the parapet width", in.parapetWidth) ||
                           !Length("the parapet height", in.parapetHeight)))
          return false;
      }
    }
    if (!Flag("the sidewalk switch", in.sidewalksTakePart))
      return false;
    if (in.sidewalksTakePart && (!Strip("the right sidewalk", in.rightSidewalk) ||
                                 !Strip("the left sidewalk", in.leftSidewalk)))
      return false;
    if (!Flag("the wall switch", in.wallsTakePart))
      return false;
    if (in.wallsTakePart && (!Strip("the right wall", in.rightWall) || !Strip("the left wall", in.leftWall)))
      return false;
    unsigned luminaires = 0, types = 0;
    if (!Real("the maintenance factor", 0.0, 10.0, in.maintenanceFactor) ||
        !Unsigned("the number of luminaires", kMaxLuminaireRecords, luminaires) ||
        !Unsigned("the number of luminaire types", luminaires, types) ||
        !Unsigned("the largest gamma angle count", kMaxTableAxis, in.maxAngleCount) ||
        !Unsigned("the largest plane count", kMaxTableAxis, in.maxPlaneCount))
      return false;
    if (luminaires > 0 && types == 0)
      return Fail("luminaires without any luminaire type");
    in.luminaires.resize(luminaires);
    for (LuminaireRecord& r : in.luminaires)
      if (!Record(r, types))
        return false;
    if (!Length("the field length", in.fieldLength))
      return false;
    in.types.resize(types);
    for (IntensityTable& t : in.types)
      if (!Block(t, in.maxAngleCount, in.maxPlaneCount))
        return false;
    return true;
  }
};

}  // namespace

std::optional<StraightRoadInput> ParseStraightRoadInput(std::string_view text, std::string* error)
{
  StraightRoadInput in;
  InputReader reader(text, error);
  if (!reader.Read(in))
    return std::nullopt;
  return in;
}

}  // namespace Engines
