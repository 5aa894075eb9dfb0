#include "model/read_checks.h"

#include <cmath>

namespace ObjectModel {

namespace {
// A file is read on one thread from start to end; each thread counts its own.
thread_local int tRepaired = 0;
}  // namespace

double CheckedRead(double value, double low, double high, double fallback)
{
  if (std::isfinite(value) && value >= low && value <= high)
    return value;
  ++tRepaired;
  if (!std::isfinite(value))
    return std::isinf(value) ? (value > 0 ? high : low) : fallback;
  return value < low ? low : high;
}

int TakeRepairedValues()
{
  const int repaired = tRepaired;
  tRepaired = 0;
  return repaired;
}

}  // namespace ObjectModel
