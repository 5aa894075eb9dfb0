// The process-wide table of the 62 standard toolkit colours. Entries 1 to 27 are the system colours; most of the
// rest are tints derived from them that follow the screen depth and the Windows XP (Luna) colour scheme. Painters
// take colours by index; a value above 61 where an index is expected is a literal COLORREF.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc/cmdtarget.h"

inline constexpr int TK_COLOR_COUNT = 62;

// A colour with a standard and a custom value (-1: unset); the custom one wins.
class CTKPaintManagerColor {
public:
  static constexpr COLORREF kUnset = static_cast<COLORREF>(-1);

  COLORREF GetStandardValue() const { return m_clrStandard; }
  COLORREF GetCustomValue() const { return m_clrCustom; }
  void SetStandardValue(COLORREF clr) { m_clrStandard = clr; }
  void SetCustomValue(COLORREF clr) { m_clrCustom = clr; }
  COLORREF GetValue() const { return m_clrCustom != kUnset ? m_clrCustom : m_clrStandard; }
  operator COLORREF() const { return GetValue(); }

private:
  COLORREF m_clrStandard = kUnset;
  COLORREF m_clrCustom = kUnset;
};

// A two-colour gradient (light end, dark end). A factor of 0.5 is one gradient; any other value two halves
// meeting at a blended middle colour.
class CTKPaintManagerColorGradient {
public:
  CTKPaintManagerColorGradient() = default;
  explicit CTKPaintManagerColorGradient(COLORREF clr) { SetStandardValue(clr); }

  void SetStandardValue(COLORREF clrLight, COLORREF clrDark, float fFactor = 0.5f);
  void SetStandardValue(COLORREF clr) { SetStandardValue(clr, clr, 0.5f); }
  void SetStandardValueFrom(const CTKPaintManagerColorGradient& other);

  CTKPaintManagerColor clrLight;
  CTKPaintManagerColor clrDark;
  float fGradientFactor = 0.5f;
};

class CTKColorManager : public CCmdTarget {
public:
  CTKColorManager();

  // Index above 61: the value itself, as a literal colour.
  COLORREF GetColor(UINT nIndex) const { return nIndex < TK_COLOR_COUNT ? m_arrStandardColor[nIndex] : nIndex; }
  void RefreshColors();
  int GetCurrentSystemTheme() const { return m_nLunaScheme; }
  BOOL IsLunaColorsDisabled() const { return m_bDisableLunaColors; }

  // Weighted mean per channel: below 100 a percentage of A, from 100 on per mille.
  static COLORREF LightColor(COLORREF clrA, COLORREF clrB, int nWeight);

  // Comparisons in a weighted RGB space (R 195, G 390, B 65 at full); the distance from black is brightness.
  static float ColorDistance(COLORREF clrA, COLORREF clrB);
  static BOOL IsColorDistinct(COLORREF clrA, COLORREF clrB, BOOL bAdjust, float fMinDistance);
  static COLORREF LimitContrast(COLORREF clrA, COLORREF clrB, float fMaxDistance);
  static COLORREF EnsureContrast(COLORREF clrA, COLORREF clrB, float fMinDistance);

  CTKPaintManagerColorGradient m_clrCaptionGradient;
  CTKPaintManagerColorGradient m_clrBarGradient;
  int m_bDisableLunaColors = 0;
  COLORREF m_arrStandardColor[TK_COLOR_COUNT] = {};
  int m_nLunaScheme = 0;
};

CTKColorManager& TKColorManager();
// RefreshColors at most once per 500 ms, counted only once the application has a main window.
void TKRefreshColors();
// The Luna colour scheme of the current visual style: 0 none, 1 blue, 2 olive, 3 silver.
int TKDetectLunaColorScheme();
int TKCurrentSystemTheme();

// For tests: forgets when the last throttled refresh happened.
void TKResetRefreshThrottleForTest();
