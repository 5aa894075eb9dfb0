// What the result display needs of the render core that owns the calculation-area managers. The render core
// sits above this folder, so the managers see it through ICalcAreaHost and it implements that interface.
#pragma once

#include "model/ivisualopt.h"
#include "model/pref_of_color.h"
#include "platform/base/wintypes.h"
#include "platform/mfc-core/array.h"

struct _CALC_RESULTS;
class CViewCamera;

using CColorLevelArray = CArray<_PREF_OF_COLOR_LEVELS>;
using CLevelArray = CArray<float>;

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
  // The visual options of the current project state.
  virtual IVisualOpt* GetVisualOptions() = 0;
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
