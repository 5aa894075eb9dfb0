// Money in the model: a signed 32-bit count of hundredths of the currency unit.
#pragma once

#include <cstdint>

namespace ObjectModel {

// Currency to whole hundredths, to the nearest (halves away from zero); saturates at the 32-bit limits and takes
// NaN as 0. Truncation would turn 0.29, held in binary as 0.28999..., into 28: every conversion of the model
// goes through here.
std::int32_t ToHundredths(double currency);

inline double FromHundredths(std::int32_t hundredths) { return hundredths / 100.0; }

}  // namespace ObjectModel
