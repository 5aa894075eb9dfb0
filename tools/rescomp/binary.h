// The binary forms of the resources a program locks and reads itself.
#pragma once

#include "tools/rescomp/rescomp.h"

#include <cstdint>
#include <vector>

namespace rescomp {

// DLGTEMPLATE or DLGTEMPLATEEX with its items.
std::vector<std::uint8_t> DialogTemplate(const DialogEntry& dialog);

// WORD version 1, WORD button width, WORD button height, WORD count, then one WORD command id per button
// (0 for a separator); little-endian.
std::vector<std::uint8_t> ToolbarResource(std::uint16_t width, std::uint16_t height,
                                          const std::vector<std::uint16_t>& commands);

}  // namespace rescomp
