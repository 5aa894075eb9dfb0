#include "catalogues/lidview/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// Floor and ceiling are taken as 32-bit integers, as the axis code always did.
double Floor32(double v) { return static_cast<double>(static_cast<int>(std::floor(v))); }
double Ceil32(double v) { return static_cast<double>(static_cast<int>(std::ceil(v))); }

int Trunc(double v) { return static_cast<int>(std::trunc(std::clamp(v, -1e9, 1e9))); }

}  // namespace

AxisChoice ChooseAxisStep(int flags, double low, double high)
{
  const double factor = high <= 0.04 ? 1000 : high <= 0.4 ? 100 : high <= 4 ? 10 : 1;
  double a = low * factor;
  double b = high * factor;
  if (a > b) {
    std::swap(a, b);
  }
  const double range = b - a;
  int k = 0;
  while (50 * std::pow(10.0, k) < range && k < 308) {
    ++k;
  }
  static constexpr int kMultipliers[] = {1, 2, 3, 4, 5};
  int m = 0;
  while (m < 4 && std::ceil(range / (kMultipliers[m] * std::pow(10.0, k))) > 10) {
    ++m;
  }
  AxisChoice choice;
  for (int attempt = 0; attempt < 12; ++attempt) {
    const double step = kMultipliers[m] * std::pow(10.0, k);
    const double lo = (flags & 1) != 0 ? a : Floor32(a / step) * step;
    const double hi = (flags & 2) != 0 ? b : Ceil32(b / step) * step;
    const double n = std::ceil((hi - lo) / step);
    if (n <= 10) {
      choice.low = lo / factor;
      choice.high = hi / factor;
      choice.step = step / factor;
      choice.intervals = static_cast<int>(n);
      return choice;
    }
    if (++m == 5) {
      m = 0;
      ++k;
    }
  }
  choice.low = low;
  choice.high = high;
  choice.result = -1;
  return choice;
}

int DecimalOrder(double m)
{
  if (m == 0) {
    return 0;
  }
  double v = std::fabs(m);
  int order = 0;
  if (v > 1) {
    while (v >= 1 && order < 400) {
      v /= 10;
      ++order;
    }
    return order;
  }
  while (v <= 1 && order < 400) {
    v *= 10;
    ++order;
  }
  return -order;
}

OneDigitStep ChooseOneDigitStep(double m)
{
  OneDigitStep result;
  int e = DecimalOrder(m);
  if (e >= 0) {
    double q = m / std::pow(10.0, e);
    if (q + 0.5 < 1) {
      --e;
      q *= 10;
    }
    result.step = std::pow(10.0, e) * std::trunc(q + 0.5);
  } else {
    double q = m * std::pow(10.0, -e - 1);
    if (q + 0.5 < 1) {
      --e;
      q *= 10;
    }
    result.step = std::trunc(q + 0.5) / std::pow(10.0, -e - 1);
  }
  result.decimals = e < 0 ? -e : 0;
  return result;
}

CString FormatEightDecimals(double x)
{
  if (x == 0) {
    return "0";
  }
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.8f", std::fabs(x));
  std::string text = buffer;
  if (!text.empty() && text.back() == '0') {
    const std::size_t separator = text.find_first_not_of("0123456789");
    while (!text.empty() && text.back() == '0') {
      text.pop_back();
    }
    if (separator != std::string::npos && text.size() == separator + 1) {
      text.pop_back();
    }
  }
  if (text.empty()) {
    text = "0";
  }
  if (x < 0 && text != "0") {
    text.insert(text.begin(), '-');
  }
  return text.c_str();
}

double RoundTo(int n, double x)
{
  const double scale = std::pow(10.0, n);
  return std::round(x * scale) / scale;
}

void ExtendToSteps(double& low, double& high, double d)
{
  if (!(d > 0) || !std::isfinite(d)) {
    return;
  }
  auto count = [d](double length) {
    int n = Trunc(length / d);
    if (n == 0 || length > n * d) {
      ++n;
    }
    return n;
  };
  if (high > 0 && low < 0) {
    high = count(high) * d;
    low = -count(std::fabs(low)) * d;
  } else if (high == 0 && low < 0) {
    low = -count(std::fabs(low)) * d;
  } else if (high > 0 && low == 0) {
    high = count(high) * d;
  } else {
    low = high - count(std::fabs(high - low)) * d;
  }
}

void WalkTicks(double low, double high, double d, int skip, bool labels,
               const std::function<bool(double)>& fits, const std::function<void(double, bool)>& draw)
{
  // A step of 0 (an axis whose values are all equal) would never reach either end.
  if (!(d > 0) || !std::isfinite(d) || !std::isfinite(low) || !std::isfinite(high)) {
    return;
  }
  struct Walk {
    double start;
    int direction;
    bool labelAtStart;
  };
  std::vector<Walk> walks;
  if (high > 0 && low < 0) {
    walks = {{0, 1, true}, {0, -1, false}};
  } else if (high == 0 && low < 0) {
    walks = {{0, -1, true}};
  } else if (high > 0 && low == 0) {
    walks = {{0, 1, true}};
  } else {
    walks = {{high, -1, true}};
  }
  for (const Walk& walk : walks) {
    const int dir = walk.direction;
    auto beyond = [&](double v) { return dir > 0 ? v > high + d / 2 : v < low - d / 2; };
    auto inside = [&](double v) { return dir > 0 ? v < high : v > low; };
    bool on = true;
    bool nearEnd = false;
    int passed = 0;
    bool drawNext = true;
    for (int i = 0;; ++i) {
      const double v = walk.start + dir * i * d;
      if (beyond(v)) {
        break;
      }
      bool drawn = false;
      if (drawNext) {
        if (inside(v) && beyond(v + dir * (skip + 1) * d)) {
          nearEnd = true;
          if (!beyond(v + dir * d)) {
            on = false;
          }
        }
        drawn = true;
      } else if (nearEnd && beyond(v + dir * d)) {
        on = true;
        drawn = true;
      }
      if (drawn) {
        if (on && labels && !fits(v) && !(nearEnd && beyond(v + dir * d))) {
          on = false;
        }
        draw(v, labels && on && (i != 0 || walk.labelAtStart));
        passed = 0;
        drawNext = skip == 0;
      } else if (++passed >= skip) {
        drawNext = true;
      }
    }
  }
}

int ChooseRayCount(int u, int most)
{
  if (u >= most) {
    return most;
  }
  static constexpr int kRayCounts[] = {0, 4, 8, 12, 24, 36, 72};
  int n = 0;
  for (int count : kRayCounts) {
    if (count <= u) {
      n = count;
    }
  }
  return n;
}
