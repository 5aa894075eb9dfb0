// The colour records of the visual options, shared with whatever draws with them.
#pragma once

#include "platform/base/wintypes.h"

#include <cstdint>

// A colour as three components from 0 to 1 (12 bytes).
struct _PREF_OF_COLOR {
  float r;
  float g;
  float b;
};
static_assert(sizeof(_PREF_OF_COLOR) == 12);

// One level of a colour scale (16 bytes): the value in the quantity's unit, its colour 0x00BBGGRR, a reserved 0.
struct _PREF_OF_COLOR_LEVELS {
  double value;
  COLORREF colour;
  std::int32_t reserved;
};
static_assert(sizeof(_PREF_OF_COLOR_LEVELS) == 16);
