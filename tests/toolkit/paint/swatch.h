// A labelled sheet of the 62 toolkit colours and the two gradients, saved as a PNG for a person to check.
#pragma once

#include "toolkit/paint/color_manager.h"

#include <string>

namespace tktest {

// Saves <artifacts>/<fileName>; false when it cannot be written.
bool SaveSwatchSheet(const CTKColorManager& manager, const std::string& fileName, const std::string& title);

}  // namespace tktest
