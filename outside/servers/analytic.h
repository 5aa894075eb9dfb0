// Distributions made from a formula, for luminaire kinds no measured file in the project gives.
#pragma once

#include "outside/servers/photometry.h"

namespace qorsrv {

// A rotationally symmetric floodlight as used on masts: I(gamma) = I0 cos^n(gamma) for gamma up to 90 degrees,
// nothing above. n follows from the half-peak angle (cos^n = 1/2 there); I0 from the light output ratio, since
// the flux of that beam is 2 pi I0 / (n + 1).
struct AnalyticFloodlight {
  std::string name;           // UTF-8
  std::string lampType;       // UTF-8
  double lampFlux = 0.0;      // lm
  double wattage = 0.0;       // W
  double halfPeakAngle = 0.0; // degrees
  double lightOutputRatio = 0.0;  // 0..1
  double gammaStep = 1.0;     // degrees
};

Photometry MakeFloodlight(const AnalyticFloodlight& f);

// The mast floodlight of the starter catalogue.
AnalyticFloodlight StarterFloodlight();

}  // namespace qorsrv
