// The isoline levels of a calculation-area manager: the user's list, a linear series of nice steps, or an
// automatic logarithmic series of about five levels per decade.
#pragma once

#include "geometry/display_host.h"

struct CNiceStep {
  double start = 0;
  double end = 0;
  double step = 0;
  int count = 0;
  int status = 0;  // -1 when no multiplier gave ten steps or fewer
};

// A step of 1, 2, 3, 4 or 5 times a power of ten that covers [0, max] in at most ten steps.
CNiceStep NiceStep(double max);

// The automatic series up to the valid-nodes maximum, in single precision; appended to `levels`.
void BuildAutoLevels(double validNodesMaximum, CLevelArray& levels);

// Empties `levels` and fills it by the rule the visual options choose.
void BuildLevels(IVisualOpt* options, double allNodesMaximum, double validNodesMaximum,
                 CLevelArray& levels);
