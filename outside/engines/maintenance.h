// The installation's maintenance figure, as the program sends it: the safety factor of Russian practice
// ("коэффициент запаса", 1.5 by default), by which the values of the new installation are divided to give the
// maintained ones. It is the reciprocal of EN 13201's maintenance factor.
#pragma once

namespace Engines {

// What the new installation's values are multiplied by; a factor of 0 or less (never sent by the program) is 1.
inline double MaintainedScale(double safetyFactor) { return safetyFactor > 0.0 ? 1.0 / safetyFactor : 1.0; }

}  // namespace Engines
