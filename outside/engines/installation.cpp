#include "outside/engines/installation.h"

#include <algorithm>
#include <cmath>


namespace Engines {

double CrossSection::CentralLine() const
{
  // The dividing strip's middle; without a strip the border between the directions; one-way: the road's middle.
  return oppositeWidth > 0.0 || dividerWidth > 0.0 ? mainWidth + dividerWidth / 2.0 : mainWidth / 2.0;
}

CrossSection CrossSectionOf(const StraightRoadInput& in)
{
  CrossSection s;
  s.mainWidth = in.mainLanes * in.mainLaneWidth;
  if (in.twoWay) {
    s.dividerWidth = in.divider ? in.dividerWidth : 0.0;
    s.oppositeWidth = in.oppositeLanes * in.oppositeLaneWidth;
  }
  s.totalWidth = s.mainWidth + s.dividerWidth + s.oppositeWidth;
  double rightOuter = 0.0, leftOuter = s.totalWidth;
  if (in.RightSidewalk()) {
    s.rightSidewalkInner = -in.rightSidewalk.gap;
    s.rightSidewalkOuter = s.rightSidewalkInner - in.rightSidewalk.width;
    rightOuter = s.rightSidewalkOuter;
  }
  if (in.LeftSidewalk()) {
    s.leftSidewalkInner = s.totalWidth + in.leftSidewalk.gap;
    s.leftSidewalkOuter = s.leftSidewalkInner + in.leftSidewalk.width;
    leftOuter = s.leftSidewalkOuter;
  }
  s.rightWallY = rightOuter - in.rightWall.gap;
  s.leftWallY = leftOuter + in.leftWall.gap;
  return s;
}

Luminaire MakeLuminaire(Vec3 position, double azimuth, double tilt, double turn, const IntensityTable* table,
                        double factor)
{
  const double a = Radians(azimuth), t = Radians(tilt), r = Radians(turn);
  const Vec3 arm{std::cos(a), std::sin(a), 0.0};
  const Vec3 side{std::sin(a), -std::cos(a), 0.0};  // C0: the arm turned back by 90 degrees
  const Vec3 down{0.0, 0.0, -1.0}, up{0.0, 0.0, 1.0};
  Luminaire l;
  l.position = position;
  l.table = table;
  l.factor = factor;
  l.axis = std::cos(t) * down + std::sin(t) * arm;
  const Vec3 c90 = std::cos(t) * arm + std::sin(t) * up;
  l.c0 = std::cos(r) * side + std::sin(r) * c90;
  l.c90 = std::cos(r) * c90 - std::sin(r) * side;
  return l;
}

namespace {

struct Side {
  double poleY;
  double baseAzimuth;  // arm direction before the record's rotation
  double shift;        // along the road, as a part of the spacing
  bool outreach;       // false: the light hangs where the pole line is
};

std::vector<Side> SidesOf(const LuminaireRecord& r, const CrossSection& road)
{
  const Side right{-r.setback, 90.0, 0.0, true};
  const Side left{road.totalWidth + r.setback, -90.0, 0.0, true};
  switch (r.arrangement) {
  case Arrangement::OneSidedRight: return {right};
  case Arrangement::OneSidedLeft: return {left};
  case Arrangement::TwoSided: return {right, left};
  case Arrangement::Staggered: return {right, {left.poleY, left.baseAzimuth, 0.5, true}};
  case Arrangement::Central: return {{road.CentralLine(), -90.0, 0.0, true}};
  case Arrangement::Suspended: return {{road.totalWidth / 2.0, 90.0, 0.0, false}};
  }
  return {};
}

// Light-centre orientation of a record: arm azimuth, tilt and turn.
void Orientation(const LuminaireRecord& r, double armAzimuth, double& azimuth, double& tilt, double& turn)
{
  azimuth = armAzimuth;
  tilt = r.tilt;
  turn = 0.0;
  switch (r.mounting) {
  case Mounting::Pole: break;
  case Mounting::Mast:
    azimuth += r.aimTurn;
    tilt = 90.0 - r.aimTilt;
    turn = r.luminaireTurn;
    break;
  case Mounting::FloorLamp:
    // A node above the luminaire turns it over: its gamma 0 points up.
    if (r.mountNode != 0)
      tilt += 180.0;
    turn = r.luminaireTurn;
    break;
  }
}

}  // namespace

std::optional<std::vector<Luminaire>> PlaceLuminaires(const StraightRoadInput& in, const CrossSection& road,
                                                      double xFrom, double xTo, double factor, std::string* error)
{
  // Count first, so that the vector is sized once and a damaged spacing cannot run away.
  std::size_t count = 0;
  for (const LuminaireRecord& r : in.luminaires) {
    if (!(r.spacing > 0.0)) {
      if (error)
        *error = "a luminaire record has no pole spacing";
      return std::nullopt;
    }
    for (const Side& side : SidesOf(r, road)) {
      double origin = r.offset + side.shift * r.spacing;
      double first = std::ceil((xFrom - origin) / r.spacing), last = std::floor((xTo - origin) / r.spacing);
      if (last >= first)
        count += static_cast<std::size_t>(std::min(last - first + 1.0, double(kMaxPlacedLuminaires + 1)));
    }
    if (count > kMaxPlacedLuminaires) {
      if (error)
        *error = "the pole spacing is too small for the road";
      return std::nullopt;
    }
  }
  std::vector<Luminaire> placed;
  placed.reserve(count);
  for (const LuminaireRecord& r : in.luminaires) {
    const IntensityTable* table = &in.types[r.type - 1];
    for (const Side& side : SidesOf(r, road)) {
      double armAzimuth = side.baseAzimuth + r.rotation;
      double azimuth, tilt, turn;
      Orientation(r, armAzimuth, azimuth, tilt, turn);
      double reach = side.outreach ? r.outreach : 0.0;
      Vec3 offset{reach * std::cos(Radians(armAzimuth)), reach * std::sin(Radians(armAzimuth)), r.height};
      Luminaire prototype = MakeLuminaire({}, azimuth, tilt, turn, table, factor);
      double origin = r.offset + side.shift * r.spacing;
      double first = std::ceil((xFrom - origin) / r.spacing), last = std::floor((xTo - origin) / r.spacing);
      for (double k = first; k <= last; k += 1.0) {
        Luminaire l = prototype;
        l.position = Vec3{origin + k * r.spacing, side.poleY, 0.0} + offset;
        placed.push_back(l);
      }
    }
  }
  return placed;
}

}  // namespace Engines
