// The record of one luminaire type as the luminaire database delivers it: names and maker, the light source,
// the economic figures and the intensity table with its symmetry word. A group of poles embeds one by value;
// it has no identity of its own and travels inside the group's block of the project file.
#pragma once

#include "model/intensity_table.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"

#include <cstdint>
#include <memory>

class CArchive;

namespace qorsrv {
struct IntensityTable;
struct LuminaireRecord;
}

class CLightDevice : public CObject {
public:
  CLightDevice();
  ~CLightDevice() override;

  // The framework's form is never used for this record.
  void Serialize(CArchive&) override {}
  // Copies everything but text D and the two database words; onto itself, nothing.
  CLightDevice& Assign(const CLightDevice& source);
  // The record as the database hands it over: the same fields, the same exceptions (text D, database words).
  CLightDevice& Assign(const qorsrv::LuminaireRecord& source);
  // The same, but the table is kept as the database's cells and built into `table` only by BuildDeferredTable.
  // A group whose record nobody holds yet uses it: a group made only to be loaded from a file never builds a
  // table it drops, and a loaded one builds its table when it is first asked for. The record's own operations
  // (copying from it, storing, loading, the working table) treat the cells as its table.
  void AssignDeferringTable(const qorsrv::LuminaireRecord& source);
  void BuildDeferredTable();
  // Loads or stores by the archive's direction; the version is the file's, used when loading.
  void Serialize(CArchive* ar, const DWORD* fileVersion);
  // Serialize, but a loaded table is kept as the file's cells until BuildDeferredTable.
  void LoadDeferringTable(CArchive* ar, const DWORD* fileVersion);

  // The display name when there is one, else the luminaire name.
  const CString& GetDisplayName() const;

  // Currency in; whole hundredths kept.
  void SetPrice(const double* value);
  void SetInstallationCost(const double* value);
  void SetCleaningCost(const double* value);
  void SetLampPrice(const double* value);
  void SetLampReplacementCost(const double* value);

  bool IsLed() const;
  // Absolute candela of a table value (cd/klm) for the luminaire's lamps.
  double Candela(double perKilolumen) const { return perKilolumen * lampFlux * lampCount / 1000.0; }
  // The table as its users work with it, in `scratch`: completed by symmetry, then, for a C-plane table of more
  // than one plane, re-based to planes -180..180. The engine writers and the photometric solid skip the
  // completion of complete and one-plane tables (skipCompleteTables); the stored table is never changed.
  void MakeWorkingTable(_LINKED_TABLE* scratch, bool skipCompleteTables) const;

  CString textA;
  CString textB;
  CString luminaireName;
  CString textD;
  CString luminaireMaker;
  CString lampType;  // "СД" in it marks an LED luminaire
  double lampPower = 0.0;  // W, one light source
  double lampFlux = 0.0;   // lm, one light source
  std::uint32_t symmetryWord = 0x10020100u;
  std::int32_t catalogueFlag = 1;
  std::int32_t lampCount = 1;
  std::int32_t luminairePrice = 0;    // hundredths
  std::int32_t installationCost = 0;  // hundredths
  std::int32_t cleaningCost = 0;      // hundredths
  std::int32_t cleaningsPerYear = 0;
  std::int32_t luminaireLife = 1000;  // h
  double powerLossFactor = 1.0;
  std::int32_t lampPrice = 0;            // hundredths
  std::int32_t lampReplacementCost = 0;  // hundredths
  std::int32_t lampLife = 1000;          // h
  std::int32_t economicWord = 0;
  double economicValue1 = 0.0;
  double economicValue2 = 0.0;
  double economicValue3 = 0.0;
  double economicValue4 = 1.0;
  CString displayName;
  CString textF;
  CString textG;
  CString textH;  // a catalogue code the straight-road engine input compares with "00009"
  CString textI;
  CString textJ;
  CString producer;
  CString textK;
  CString textL;
  CString textM;
  std::int32_t extraWord = 0;
  CStringArray textList;
  CLinkedTable table;  // cd/klm
  std::int32_t databaseWord1 = 0;  // taken from the database's record on each load; not copied, not saved
  std::int32_t databaseWord2 = 0;

private:
  void AssignAllButTable(const qorsrv::LuminaireRecord& source);
  void Store(CArchive& ar);
  void Load(CArchive& ar, DWORD version, bool deferTable);

  std::unique_ptr<qorsrv::IntensityTable> m_deferredTable;  // when set, it is the table and `table` is stale
};
