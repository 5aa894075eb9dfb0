// What the result display needs of its neighbours: the visual options of the shown project state, and the
// render core that owns the calculation-area managers. The render core sits above this folder, so the
// managers see it through ICalcAreaHost and it implements that interface.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/array.h"

struct _CALC_RESULTS;
class CViewCamera;

// A colour of an element: red, green, blue in 0 to 1.
struct _PREF_OF_COLOR {
  float r;
  float g;
  float b;
};
static_assert(sizeof(_PREF_OF_COLOR) == 12);

// One level of a colour scale: value in the unit of the quantity, colour 0x00BBGGRR, a word not read here.
struct _PREF_OF_COLOR_LEVELS {
  double value;
  COLORREF colour;
  int reserved;
};
static_assert(sizeof(_PREF_OF_COLOR_LEVELS) == 16);

using CColorLevelArray = CArray<_PREF_OF_COLOR_LEVELS, const _PREF_OF_COLOR_LEVELS&>;
using CLevelArray = CArray<float>;

// The part of the visual options the result display reads; the options object of the model answers it.
struct IResultDisplayOptions {
  virtual int* GetQuantity() = 0;       // 0 luminance, 1 illuminance, 2 semi-cylindrical illuminance
  virtual int* GetResultDisplay() = 0;  // 0 isolines, 2 node values, 3 colour picture, else grey only
  virtual int GetEffectiveScale() = 0;  // the scale type while automatic iso-levels are on, else 0
  virtual int* GetScaleType() = 0;      // 1 uniform, 2 logarithmic
  // 0 with the user's levels of the quantity in `out` when they are in force and one lies in [min, max];
  // else 1 with `out` empty.
  virtual int GetIsoLevelsInRange(const int* quantity, const float* min, const float* max, CLevelArray* out) = 0;
  // The lfHeight of a text element's font; 1 when the element is not there.
  virtual int GetFontHeight(int element, LONG* height) = 0;
  virtual int GetColour(int element, _PREF_OF_COLOR* out) = 0;

protected:
  ~IResultDisplayOptions() = default;
};

// The scene builder's record of a straight road's layout, in the order the managers copy it.
struct CRoadLayout {
  // Wall block.
  double leftWallOffset = 0;
  double rightWallOffset = 0;
  BOOL leftWallOn = FALSE;
  BOOL rightWallOn = FALSE;
  BOOL leftWallShown = FALSE;
  BOOL rightWallShown = FALSE;
  // Flags of the road and its strips.
  BOOL oneWay = FALSE;
  BOOL carriagewayOn = FALSE;
  BOOL oppositeShown = FALSE;
  BOOL leftSidewalkOn = FALSE;
  BOOL rightSidewalkOn = FALSE;
  // Rectangle block: x from, x to, y upper, y lower (walls: the height range).
  struct Rect {
    double xFrom = 0;
    double xTo = 0;
    double yUpper = 0;
    double yLower = 0;
  };
  Rect leftWall;
  Rect leftSidewalk;
  Rect oppositeCarriageway;
  Rect mainCarriageway;
  Rect rightSidewalk;
  Rect rightWall;
  double sidewalkHeight = 0;      // kerb height + 0.02 m
  double carriagewayHeight = 0.02;
};

// The render core as the managers see it.
struct ICalcAreaHost {
  virtual IResultDisplayOptions* GetVisualOptions() = 0;
  // The active area's length and width (IArea::GetLength, IArea::GetWidth) and its results block; FALSE and
  // null when there is no active area.
  virtual BOOL GetActiveAreaSize(double* length, double* width) = 0;
  virtual _CALC_RESULTS* GetActiveResults() = 0;
  // The document's answer whether no area (of the current state only, or of any history state) carries id.
  virtual BOOL IsCalcAreaIdFree(int id, BOOL currentOnly) = 0;
  // Re-reads the current project state: the class of the active area, its underlay, the user-grid flag.
  virtual void RefreshProjectState() = 0;
  virtual BOOL IsStraightRoadActive() = 0;
  virtual BOOL GetUserGridFlag() = 0;
  virtual const CRoadLayout& GetRoadLayout() = 0;
  // The colour levels of the displayed quantity, refilled from the visual options on each call.
  virtual const CColorLevelArray& GetColorLevels() = 0;
  // Whether any switched-on primitive of the active area is hit by one or both ends of a segment (0, 1, 2).
  virtual int SegmentTouchesActivePrimitive(const double first[3], const double second[3]) = 0;

protected:
  ~ICalcAreaHost() = default;
};
