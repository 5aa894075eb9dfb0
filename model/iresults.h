// The results of an area's last calculation: coordinate axes, value grids, per-observer luminance, summaries.
// Grids over nA x nB points are A-major: point (i, j) is element i * nB + j; observer k's grid of a set starts
// at element k * nA * nB.
#pragma once

#include "model/class_obj_model.h"

#include <cstdint>

// One zone of an open site or interchange: 13 four-byte items.
struct _ZONE_RESULT {
  int kind;  // 0 carriageway, 1 sidewalk
  float average;
  float minimum;
  float maximum;
  float uniformity;
  float fifth;  // carried from the open-site engine as it came
  float i80;
  float i85;
  int reserved1;
  float utilisation;
  float reserved2[3];
};
static_assert(sizeof(_ZONE_RESULT) == 52);

// Summary of one primitive or one user group of primitives of an interchange.
struct _TOTAL_LIGHT_50 {
  std::uint32_t groupData1;
  std::uint16_t groupData2;
  std::uint16_t groupData3;
  std::uint8_t groupData4[8];
  char name[260];
  float area;
  int kind;  // 0 carriageway, 1 sidewalk
  float average;
  float minimum;
  float maximum;
  float reserved1[4];
  int reserved2;
  float utilisation;
  float reserved3[3];
};
static_assert(sizeof(_TOTAL_LIGHT_50) == 332);

// Five-value summaries. Illuminance: average, minimum, maximum, min/avg, min/max. Luminance: average, Lmin/Lavg,
// Lmin/Lmax, threshold increment TI %, glare index P %.
struct _CALC_RESULTS {
  int valid;
  std::uint32_t nX;
  int header1;
  int header2;
  float* xs;

  std::uint32_t nRightWalk;
  float* yRightWalk;
  float* eRightWalk;
  float sumRightWalk[5];
  float* escRightWalk;
  float escMinRightWalk;

  std::uint32_t nLeftWalk;
  float* yLeftWalk;
  float* eLeftWalk;
  float sumLeftWalk[5];
  float* escLeftWalk;
  float escMinLeftWalk;

  std::uint32_t nWallX;
  float* xsWall;
  std::uint32_t nRightWall;
  float* zRightWall;
  float* evRightWall;
  float evMaxRightWall;
  std::uint32_t nLeftWall;
  float* zLeftWall;
  float* evLeftWall;
  float evMaxLeftWall;

  int header3;
  std::uint32_t nRoad;
  float* yRoad;
  float* eRoad;
  float sumRoad[5];
  std::uint32_t nObservers;
  int worstObserver;  // not stored, not copied
  int shownObserver;  // not stored, not copied
  float* lumObserver;
  std::uint32_t nObserversOpp;
  std::uint32_t nOpp;
  float* yOpp;
  float* eOpp;
  float sumOpp[5];  // not stored, not copied
  float* lumObserverOpp;
  float* obsLumAvg;
  float* obsLumMin;
  float* obsLumMax;
  float* obsUniformity;
  float* obsLongUniformity;
  float* obsThreshold;
  float* obsGlare;
  float lumSummary[5];
  float sumWhole[5];
  int* nodeState;
  std::uint32_t nZones;
  _ZONE_RESULT* zones;
  float utilRightWalk;
  float utilLeftWalk;
  float utilRoad;
  float utilOpp;
  float utilWhole;
  float valueMin;
  float valueMax;
  std::uint32_t nTotalsA;
  _TOTAL_LIGHT_50* totalsA;
  std::uint32_t nTotalsB;
  _TOTAL_LIGHT_50* totalsB;
};

struct IResultsOfCalc : IModelUnknown {
  virtual int Clear() = 0;
  virtual _CALC_RESULTS* GetData() = 0;
  virtual float GetRecordValue(int record, int field) = 0;

protected:
  ~IResultsOfCalc() = default;
};
