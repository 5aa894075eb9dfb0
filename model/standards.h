// The lighting norms chosen for an area: the normative document, the class of the lit object under it, and the
// required value of each indicator both as the document gives it and as the project must meet it.
#pragma once

#include "platform/base/wintypes.h"

#include <cstddef>
#include <cstdint>

class CArchive;

// The 1336-byte block, also exchanged with the norms library, so its layout is fixed. The window handle is
// kept in 4 bytes, as the library expects. Values of -1.0 mean the norm sets no requirement.
struct _STANDARDS_OF_ROAD {
  DWORD ownerWindow;             // set just before the wizard runs; not stored
  std::int32_t normDocumentId;   // 0: no norms chosen
  char objectClass[1024];        // zero-terminated cp1251
  std::int32_t normsWord;        // the library's; stored, not interpreted
  std::int32_t reserved1;
  std::int64_t normsValue;       // the library's; stored, not interpreted
  double documentValues[10];     // indicators 0-9 as the document gives them
  double effectiveValues[10];    // what the project must meet
  double thresholdIncrement[2];  // document, effective
  double roadUniformity[2];
  double sidewalkUniformity[2];
  double roadMaximum[2];
  double sidewalkMaximum[2];
  BYTE reserved2[48];
};
static_assert(sizeof(_STANDARDS_OF_ROAD) == 1336);
static_assert(offsetof(_STANDARDS_OF_ROAD, normsWord) == 1032);
static_assert(offsetof(_STANDARDS_OF_ROAD, normsValue) == 1040);
static_assert(offsetof(_STANDARDS_OF_ROAD, documentValues) == 1048);
static_assert(offsetof(_STANDARDS_OF_ROAD, effectiveValues) == 1128);
static_assert(offsetof(_STANDARDS_OF_ROAD, thresholdIncrement) == 1208);
static_assert(offsetof(_STANDARDS_OF_ROAD, sidewalkMaximum) == 1272);
static_assert(offsetof(_STANDARDS_OF_ROAD, reserved2) == 1288);

// Indicators of the two blocks of ten.
enum StandardsIndicator {
  kNormRoadLuminance = 0,
  kNormOverallUniformity = 1,
  kNormLongitudinalUniformity = 2,
  kNormGlareIndex = 3,
  kNormRoadIlluminance = 4,
  kNormRoadMaxToAverage = 5,
  kNormSidewalkIlluminance = 6,
  kNormSidewalkMaxToAverage = 7,
  kNormCarried8 = 8,
  kNormWallMaximum = 9,
};

class CStandardsOfRoad {
public:
  CStandardsOfRoad();
  CStandardsOfRoad(const CStandardsOfRoad&) = delete;
  CStandardsOfRoad& operator=(const CStandardsOfRoad&) = delete;
  virtual ~CStandardsOfRoad();
  // All 1336 bytes, the owner window included.
  virtual void Assign(const CStandardsOfRoad& other);

  void Clear();
  // A new document voids the class chosen under the old one; the values stay.
  void SetNormDocument(const int* id);
  // The record's part of an area block.
  static void Serialize(CArchive* ar, CStandardsOfRoad* holder, DWORD fileVersion);
  // Nonzero when the user accepted a new choice in the outside norms wizard.
  static int RunWizard(CStandardsOfRoad* holder);

  _STANDARDS_OF_ROAD* GetRecord() { return m_record; }
  const _STANDARDS_OF_ROAD* GetRecord() const { return m_record; }

private:
  _STANDARDS_OF_ROAD* m_record;
};
