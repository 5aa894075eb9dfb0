// Small roads and luminaires for the engine tests, built directly as the parsed input.
#pragma once

#include <cmath>
#include <string>

#include "outside/engines/intensity_table.h"
#include "outside/engines/reflection_table.h"
#include "outside/engines/road_input.h"

namespace Engines::testing {

// The same intensity in every direction; one plane, gamma 0..180.
inline IntensityTable Isotropic(double candela)
{
  IntensityTable t;
  for (int g = 0; g <= 180; g += 5)
    t.angles.push_back(g);
  t.planes = {0};
  t.candela.assign(t.angles.size(), candela);
  return t;
}

// A road luminaire's kind of asymmetry: brighter towards the road (C90) than towards the houses, with the
// distribution symmetric about the C90-C270 plane (I(C) = I(180 - C)), as road luminaires are.
inline IntensityTable RoadLike()
{
  IntensityTable t;
  for (int g = 0; g <= 90; g += 5)
    t.angles.push_back(g);
  for (int c = -180; c <= 180; c += 15)
    t.planes.push_back(c);
  for (double c : t.planes)
    for (double g : t.angles) {
      double rad = g * 3.14159265358979 / 180;
      t.candela.push_back(std::max(0.0, 400 * (1 + 0.6 * std::sin(c * 3.14159265358979 / 180)) * std::cos(rad) *
                                            (1 + 2 * std::sin(rad))));
    }
  return t;
}

// One-way road of two 3.5 m lanes, sidewalks of 2 m at 1 m on both sides, one group on the right.
inline StraightRoadInput OneWayRoad()
{
  StraightRoadInput in;
  in.carriagewayTakesPart = true;
  in.mainLanes = 2;
  in.mainLaneWidth = 3.5;
  in.sidewalksTakePart = true;
  in.rightSidewalk = {true, 2.0, 1.0};
  in.leftSidewalk = {true, 2.0, 1.0};
  in.maintenanceFactor = 1.0;
  LuminaireRecord r;
  r.arrangement = Arrangement::OneSidedRight;
  r.spacing = 30.0;
  r.height = 10.0;
  r.outreach = 1.5;
  r.setback = 0.5;
  r.type = 1;
  in.luminaires = {r};
  in.fieldLength = 30.0;
  in.types = {RoadLike()};
  return in;
}

// A perfectly diffuse surface of luminance coefficient q: r = q cos^3(gamma) x 10^4, finely tabulated so that
// linear interpolation stays within a few parts in a hundred thousand.
inline ReflectionTable Diffuse(double q)
{
  ReflectionTable t;
  t.surfaceClass = "diffuse";
  t.betas = {0, 180};
  for (int k = 0; k <= 3000; ++k) {
    double tanGamma = k * 0.01;
    t.tans.push_back(tanGamma);
    double r = q * 1e4 / std::pow(1 + tanGamma * tanGamma, 1.5);
    t.r.push_back(r);
    t.r.push_back(r);
  }
  return t;
}

}  // namespace Engines::testing
