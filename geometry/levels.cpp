#include "geometry/levels.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int kMaxSteps = 10;
constexpr int kMaxDecade = 308;  // beyond a double's range the search would not end

// 10^n by repeated squaring in single precision.
float PowerOfTen(int n)
{
  float result = 1.0f;
  float base = 10.0f;
  for (int e = n; e > 0; e >>= 1) {
    if ((e & 1) != 0) {
      result *= base;
    }
    base *= base;
  }
  return result;
}

}  // namespace

CNiceStep NiceStep(double max)
{
  double scale = 1;
  if (max <= 0.04) {
    scale = 1000;
  } else if (max <= 0.4) {
    scale = 100;
  } else if (max <= 4) {
    scale = 10;
  }
  const double scaled = max * scale;
  const double range = scaled;

  int decade = 0;
  while (50 * std::pow(10.0, decade) < range && decade < kMaxDecade) {
    ++decade;
  }
  const double power = std::pow(10.0, decade);

  CNiceStep result;
  int multiplier = 0;
  for (int k = 1; k <= 5; ++k) {
    if (std::ceil(range / (power * k)) <= kMaxSteps) {
      multiplier = k;
      break;
    }
  }
  if (multiplier == 0) {
    multiplier = 5;
    result.status = -1;
  }
  double step = power * multiplier;
  double end = std::ceil(scaled / step) * step;
  int count = static_cast<int>(std::ceil(end / step));
  if (count > kMaxSteps) {
    step = multiplier < 5 ? power * (multiplier + 1) : std::pow(10.0, decade + 1);
    end = std::ceil(scaled / step) * step;
    count = static_cast<int>(std::ceil(end / step));
  }
  result.start = 0;
  result.end = end / scale;
  result.step = step / scale;
  result.count = count;
  return result;
}

void BuildAutoLevels(double validNodesMaximum, CLevelArray& levels)
{
  const float bases[] = {0.1f, 0.2f, 0.4f, 0.6f};
  const float maximum = static_cast<float>(validNodesMaximum);

  int decades = 1;
  const float logMax = std::log10(maximum);
  if (std::isfinite(logMax)) {
    decades = static_cast<int>(logMax) + 2;
    if (decades < 0) {
      decades = 1;
    }
  }

  const float lo = 0.1f;
  float hi = 0;
  for (int i = 0; i < decades; ++i) {
    const float power = PowerOfTen(i);
    for (float base : bases) {
      const float candidate = base * power;
      if (candidate < maximum) {
        hi = candidate;
      }
    }
  }

  levels.Add(0.0f);
  levels.Add(lo);
  if (hi <= lo) {
    // No candidate above 0.1 below the maximum: the series would end with 0, or 0.1 again, after 0.1.
    // Keep it rising.
    return;
  }

  const float c = std::log10(hi / lo);
  const int n = 1 - static_cast<int>(-5.0f * c);
  const float logLo = std::log10(lo);
  for (int i = 2; i <= n - 1; ++i) {
    const float t = static_cast<float>(i - 1) / static_cast<float>(n - 1) * c + logLo + 1.0f;
    const int u = static_cast<int>(t);
    const float f = t - static_cast<float>(u);
    const float digit = static_cast<float>(static_cast<int>(std::pow(10.0f, f)));
    const float level = u >= 0 ? digit * PowerOfTen(u) / 10.0f : digit / PowerOfTen(-u) / 10.0f;
    const auto tenths = static_cast<std::int64_t>(level * 10.0f);
    bool duplicate = false;
    for (INT_PTR k = 0; k < levels.GetSize(); ++k) {
      if (static_cast<std::int64_t>(levels[k] * 10.0f) == tenths) {
        duplicate = true;
        break;
      }
    }
    if (!duplicate) {
      levels.Add(level);
    }
  }
  levels.Add(hi);
}

void BuildLevels(IVisualOpt* options, double allNodesMaximum, double validNodesMaximum,
                 CLevelArray& levels)
{
  levels.RemoveAll();
  if (options == nullptr) {
    return;
  }
  const float min = 0.0f;
  const auto max = static_cast<float>(allNodesMaximum);
  if (options->GetIsoLevelsInRange(options->GetQuantity(), &min, &max, &levels) == 0) {
    levels.InsertAt(0, 0.0f);
    return;
  }
  levels.RemoveAll();
  int scaleType = options->GetEffectiveScale();
  if (scaleType == 0) {
    scaleType = *options->GetScaleType();
  }
  if (scaleType == 2) {
    BuildAutoLevels(validNodesMaximum, levels);
  } else if (scaleType == 1) {
    const CNiceStep nice = NiceStep(allNodesMaximum);
    for (double level = nice.start; level < nice.end; level += nice.step) {
      levels.Add(static_cast<float>(level));
    }
  }
}
