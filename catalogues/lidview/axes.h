// The numbers of the intensity diagram's axes: limits and steps, and the texts of their labels. Pure.
#pragma once

#include "platform/mfc-core/mfcstring.h"

#include <functional>

// Axis limits widened to a step of 1, 2, 3, 4 or 5 times a power of ten with at most 10 intervals. Flag bit 0
// keeps the low end, bit 1 the high end. result is -1 when no step fitted (never for finite ends).
struct AxisChoice {
  double low = 0;
  double high = 0;
  double step = 0;
  int intervals = 0;
  int result = 0;
};
AxisChoice ChooseAxisStep(int flags, double low, double high);

// The number of integer digits of |m| above 1; minus the number of tenfold steps that take it above 1 otherwise;
// 0 for 0.
int DecimalOrder(double m);

// The grid step nearest to a raw step m > 0 among 1, 2, 3, 4, 5 times a power of ten, and the decimals its
// labels need.
struct OneDigitStep {
  double step = 0;
  int decimals = 0;
};
OneDigitStep ChooseOneDigitStep(double m);

// "%.8f" of |x| without trailing zeros or a trailing separator, "-" in front for a negative x; "0" for zero and
// for what rounds to it.
CString FormatEightDecimals(double x);

// x rounded half away from zero to n decimals.
double RoundTo(int n, double x);

// Widens low and high to whole steps d (d > 0) from 0, or down from high when the range does not touch 0. A step
// that is not positive leaves them.
void ExtendToSteps(double& low, double& high, double d);

// The ticks of one grid axis, spacing d > 0: from 0 up and down (the second walk writes no label at 0), or down
// from high when the range does not touch 0; a drawn tick is followed by `skip` passed over. The end of the range
// always gets a tick, and the drawn tick just before it loses its label when the two would crowd. Once `fits`
// answers false for a tick's label, the walk labels nothing more but its end tick. draw(v, labelled) per tick.
// A step that is not positive draws no tick.
void WalkTicks(double low, double high, double d, int skip, bool labels, const std::function<bool(double)>& fits,
               const std::function<void(double, bool)>& draw);

// The rays of the polar grid: `most` (36 with labels, 16 without) when u, the rays the square has room for, is
// not below it; otherwise the largest of 0, 4, 8, 12, 24, 36, 72 not above u.
int ChooseRayCount(int u, int most);
