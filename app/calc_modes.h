// The quantities the calculation-mode combo offers for the active area, and the one it shows.
#pragma once

#include <vector>

struct IArea;
struct IVisualOpt;

// Quantity numbers as the visual options keep them.
inline constexpr int kQuantityLuminance = 0;
inline constexpr int kQuantityIlluminance = 1;
inline constexpr int kQuantitySemiCylindrical = 2;

// The entries in the combo's order; may change the displayed quantity of `options` when the area cannot show
// it. A null area offers nothing.
std::vector<int> OfferedQuantities(IArea* area, IVisualOpt* options);
