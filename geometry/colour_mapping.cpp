#include "geometry/colour_mapping.h"

#include <cmath>

namespace {

constexpr double kPiOver8 = 0.39269908169872414;

// sin(x)^4 by repeated multiplication, as the ramp was tuned with.
BYTE SineRamp(double logArgument, double scale)
{
  const double s = std::sin(logArgument * kPiOver8);
  const double s4 = s * s * s * s;
  return static_cast<BYTE>(static_cast<std::int64_t>(s4 * scale) & 0xFF);
}

void WriteGrey(BYTE* pixel, BYTE grey, bool alpha)
{
  pixel[0] = pixel[1] = pixel[2] = grey;
  if (alpha) {
    pixel[3] = kWallPixelAlpha;
  }
}

void WriteBgr(BYTE* pixel, COLORREF colour)
{
  pixel[0] = GetBValue(colour);
  pixel[1] = GetGValue(colour);
  pixel[2] = GetRValue(colour);
}

}  // namespace

BYTE LogGreyFromTenth(double value, double cap, double scale)
{
  if (value < 0.1) {
    return 0;
  }
  if (value >= cap) {
    return 255;
  }
  return SineRamp(std::log10(value) + 1, scale);
}

BYTE LogGreyFromHundredth(double value, double cap, double scale)
{
  if (value < 0.01) {
    return 0;
  }
  if (value >= cap) {
    return 255;
  }
  return SineRamp(std::log10(value) + 2, scale);
}

double LogGreyCap(DWORD kind)
{
  if ((kind & AreaKind::kIlluminanceCap100) != 0) {
    return 100;
  }
  if ((kind & AreaKind::kLuminance) != 0 || (kind & AreaKind::kSemiCylindrical) != 0) {
    return 10;
  }
  return 0;
}

void InterpolateLevelColour(BYTE* pixel, const CColorLevelArray& levels, double value, DWORD kind)
{
  const INT_PTR n = levels.GetSize();
  for (INT_PTR i = 0; i + 1 < n; ++i) {
    const _PREF_OF_COLOR_LEVELS& lo = levels[i];
    const _PREF_OF_COLOR_LEVELS& hi = levels[i + 1];
    if (!(lo.value <= value && value < hi.value)) {
      continue;
    }
    const double t = (value - lo.value) / (hi.value - lo.value);
    auto channel = [t](BYTE a, BYTE b) { return static_cast<BYTE>(static_cast<int>(a + t * (b - a))); };
    const BYTE r = channel(GetRValue(lo.colour), GetRValue(hi.colour));
    const BYTE g = channel(GetGValue(lo.colour), GetGValue(hi.colour));
    const BYTE b = channel(GetBValue(lo.colour), GetBValue(hi.colour));
    if ((kind & AreaKind::kWalls) != 0) {
      pixel[0] = r;
      pixel[1] = g;
      pixel[2] = b;
      pixel[3] = kWallPixelAlpha;
    } else {
      pixel[0] = b;
      pixel[1] = g;
      pixel[2] = r;
    }
    return;
  }
}

void ColourPixel(BYTE* pixel, double value, DWORD flags, DWORD kind, const CColorLevelArray& levels,
                 double allNodesMaximum)
{
  const bool alpha = (kind & AreaKind::kWalls) != 0;
  if ((flags & FillFlags::kPalette) != 0) {
    const INT_PTR n = levels.GetSize();
    if (n == 0) {
      return;
    }
    if (value <= levels[0].value) {
      WriteBgr(pixel, levels[0].colour);  // alpha stays 0: a wall shows only values inside the range
    } else if (value >= levels[n - 1].value) {
      WriteBgr(pixel, levels[n - 1].colour);
    } else {
      InterpolateLevelColour(pixel, levels, value, kind);
    }
    return;
  }
  if ((flags & FillFlags::kGrey) == 0) {
    return;
  }
  if ((flags & FillFlags::kLogarithmic) != 0) {
    const double cap = LogGreyCap(kind);
    const BYTE grey = (kind & AreaKind::kLuminance) != 0 ? LogGreyFromHundredth(value, cap, 255)
                                                          : LogGreyFromTenth(value, cap, 255);
    WriteGrey(pixel, grey, alpha);
    return;
  }
  // With no positive result anywhere the picture is black, not a division by zero.
  const double ratio = allNodesMaximum != 0 ? value / allNodesMaximum * 255 : 0;
  WriteGrey(pixel, static_cast<BYTE>(static_cast<std::int64_t>(ratio) & 0xFF), alpha);
}

DWORD ChooseFillFlags(int displayMode, int scaleType, const CColorLevelArray& levels, const CRampStatistics& stats)
{
  DWORD flags = displayMode == 3 ? FillFlags::kPalette : FillFlags::kGrey;
  const INT_PTR n = levels.GetSize();
  if (displayMode == 3 && n > 0) {
    if (stats.allNodesMaximum <= levels[0].value) {
      flags |= FillFlags::kAllFirstLevel;
    }
    if (levels[n - 1].value <= stats.positiveMinimum) {
      flags |= FillFlags::kAllLastLevel;
    }
  }
  if (scaleType == 2) {
    flags |= static_cast<DWORD>(scaleType);
  }
  return flags;
}
