// One calculated value to the colour of one picture pixel: a linear grey ramp, two logarithmic grey ramps and a
// palette interpolated between the user's colour levels. The fill flags say which one a picture uses.
#pragma once

#include "geometry/display_host.h"

#include <cstdint>

namespace FillFlags {
inline constexpr DWORD kGrey = 0x01;
inline constexpr DWORD kLogarithmic = 0x02;  // with kGrey
inline constexpr DWORD kPalette = 0x04;
inline constexpr DWORD kAllFirstLevel = 0x08;  // with kPalette
inline constexpr DWORD kAllLastLevel = 0x10;   // with kPalette, without kAllFirstLevel
}  // namespace FillFlags

namespace AreaKind {
inline constexpr DWORD kMain = 0x001;
inline constexpr DWORD kOppositeIlluminance = 0x002;
inline constexpr DWORD kMainIlluminance = 0x004;
inline constexpr DWORD kLeftSidewalk = 0x008;
inline constexpr DWORD kRightSidewalk = 0x010;
inline constexpr DWORD kLeftSidewalkSemiCyl = 0x020;
inline constexpr DWORD kRightSidewalkSemiCyl = 0x040;
inline constexpr DWORD kLeftWall = 0x080;
inline constexpr DWORD kRightWall = 0x100;
inline constexpr DWORD kOppositeLuminance = 0x400;
inline constexpr DWORD kMainLuminance = 0x800;

inline constexpr DWORD kWalls = 0x180;
inline constexpr DWORD kLuminance = 0xC00;
inline constexpr DWORD kSemiCylindrical = 0x60;
inline constexpr DWORD kIlluminanceCap100 = 0x19F;
}  // namespace AreaKind

// The alpha of every pixel a wall picture shows.
inline constexpr BYTE kWallPixelAlpha = 230;

BYTE LogGreyFromTenth(double value, double cap, double scale);
BYTE LogGreyFromHundredth(double value, double cap, double scale);
// The cap of the logarithmic ramps for an area kind: 100, 10 or 0.
double LogGreyCap(DWORD kind);

// Writes the palette colour of a value strictly between the first and the last level (3 or 4 bytes).
void InterpolateLevelColour(BYTE* pixel, const CColorLevelArray& levels, double value, DWORD kind);

// The statistics the ramps read: the largest value of all nodes and the smallest positive valid value.
struct CRampStatistics {
  double allNodesMaximum = 0;
  double positiveMinimum = 0;
};

// Writes one pixel of a picture (3 bytes BGR, or 4 bytes with alpha for the wall kinds) by the fill flags.
void ColourPixel(BYTE* pixel, double value, DWORD flags, DWORD kind, const CColorLevelArray& levels,
                 double allNodesMaximum);

// The fill flags of a rebuild, from the display mode, the scale type and the statistics.
DWORD ChooseFillFlags(int displayMode, int scaleType, const CColorLevelArray& levels, const CRampStatistics& stats);
