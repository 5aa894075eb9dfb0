// Our stand-in for the norms library (QorStd): the program hands it an area's norms record naming a norm document,
// the library asks which lighting class of that document the lit object belongs to and fills the record with what
// the class requires.
#pragma once

#include "platform/base/wintypes.h"

#include <cstddef>
#include <cstdint>

namespace qorstd {

// The 1336-byte block the program hands over, as the library reads and fills it (little-endian):
//   0 owner window (4 bytes); 4 norm document id int32; 8 object class, 1024 bytes of cp1251, zero-terminated;
//   1032 norms word int32; 1036 reserved; 1040 norms value int64; 1048 document values, 10 doubles;
//   1128 effective values, 10 doubles; 1208 threshold increment, road uniformity, sidewalk uniformity, road
//   maximum, sidewalk maximum as (document, effective) doubles; 1288 48 reserved bytes.
struct NormsRecord {
  std::uint32_t ownerWindow;
  std::int32_t normDocumentId;
  char objectClass[1024];
  std::int32_t normsWord;
  std::int32_t reserved1;
  std::int64_t normsValue;
  double documentValues[10];
  double effectiveValues[10];
  double thresholdIncrement[2];
  double roadUniformity[2];
  double sidewalkUniformity[2];
  double roadMaximum[2];
  double sidewalkMaximum[2];
  std::uint8_t reserved2[48];
};
static_assert(sizeof(NormsRecord) == 1336);
static_assert(offsetof(NormsRecord, objectClass) == 8);
static_assert(offsetof(NormsRecord, normsWord) == 1032);
static_assert(offsetof(NormsRecord, normsValue) == 1040);
static_assert(offsetof(NormsRecord, documentValues) == 1048);
static_assert(offsetof(NormsRecord, effectiveValues) == 1128);
static_assert(offsetof(NormsRecord, thresholdIncrement) == 1208);
static_assert(offsetof(NormsRecord, sidewalkMaximum) == 1272);

// Indicators of the blocks of ten the library fills.
inline constexpr int kRoadLuminance = 0;
inline constexpr int kOverallUniformity = 1;
inline constexpr int kLongitudinalUniformity = 2;
inline constexpr int kGlareIndex = 3;
inline constexpr int kRoadIlluminance = 4;
inline constexpr int kSidewalkIlluminance = 6;

// A lighting class and its requirements; kNone where the class sets nothing.
inline constexpr double kNone = -1.0;

struct LightingClass {
  const char* code;         // kept as the record's object class
  const char* description;  // what the dialog shows beside the code
  double roadLuminance;     // cd/m2
  double overallUniformity;
  double longitudinalUniformity;
  double thresholdIncrement;  // %
  double roadIlluminance;     // lx
  double sidewalkIlluminance;  // lx
};

struct NormDocument {
  int id;  // the program's norm document id
  const char* name;
  const LightingClass* classes;
  int classCount;
};

// The documents the program names, ids 1 to 6; null for any other id.
const NormDocument* FindNormDocument(int id);

// The export: shows the class dialog over the record's owner window for the record's document. Nonzero when the
// user chose a class: the record then holds its code and requirements. Zero for a cancel, a missing record or a
// document the library does not know; the record is then untouched.
int StartOfWizard(void* record, int transparency);

// The dialog's list of classes.
inline constexpr WORD kClassListId = 1001;

// The module name the program loads the library by ("QorStd.dll").
inline constexpr char kModuleName[] = "QorStd";
// Enters the library in the process's module table, so LoadLibrary finds it by name.
void RegisterLibrary();

}  // namespace qorstd
