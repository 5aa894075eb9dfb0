#include "model/money.h"

#include <cmath>
#include <limits>

namespace ObjectModel {

std::int32_t ToHundredths(double currency)
{
  const double hundredths = std::round(currency * 100.0);
  if (std::isnan(hundredths))
    return 0;
  if (hundredths >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (hundredths <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(hundredths);
}

}  // namespace ObjectModel
