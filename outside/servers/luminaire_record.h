// The luminaire record the database hands out, field for field in the order and with the types of the program's
// luminaire record, so that the model copies it across one field at a time. Texts are code page 1251.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qorsrv {

// The program's intensity table, in its stored order: row 1 holds the gamma angles (columns 2 onward), column 1
// the plane angles (rows 2 onward); cells are kept column by column, each column from row 1 down.
struct IntensityTable {
  int rows = 0;
  int columns = 0;
  std::vector<double> cells;

  // 1-based, as the program addresses its table.
  double At(int column, int row) const { return cells[static_cast<std::size_t>(column - 1) * rows + (row - 1)]; }
  double& At(int column, int row) { return cells[static_cast<std::size_t>(column - 1) * rows + (row - 1)]; }
  void Resize(int newRows, int newColumns)
  {
    rows = newRows;
    columns = newColumns;
    cells.assign(static_cast<std::size_t>(newRows) * newColumns, 0.0);
  }
};

struct LuminaireRecord {
  std::string textA;             // 1  the luminaire's key in the database (catalogue id, '/', code)
  std::string textB;             // 2  the same key: handed back to remember the luminaire last chosen
  std::string luminaireName;     // 3
  std::string textD;             // 4  catalogue id
  std::string luminaireMaker;    // 5
  std::string lampType;          // 6  "СД ..." for LED light sources
  double lampPower = 0.0;        // 7  W, one light source
  double lampFlux = 0.0;         // 8  lm, one light source
  std::uint32_t symmetryWord = 0x10020100u;  // 9
  std::int32_t catalogueFlag = 1;            // 10
  std::int32_t lampCount = 1;                // 11
  std::int32_t luminairePrice = 0;           // 12 hundredths
  std::int32_t installationCost = 0;         // 13 hundredths
  std::int32_t cleaningCost = 0;             // 14 hundredths
  std::int32_t cleaningsPerYear = 0;         // 15
  std::int32_t luminaireLife = 1000;         // 16 h
  double powerLossFactor = 1.0;              // 17
  std::int32_t lampPrice = 0;                // 18 hundredths
  std::int32_t lampReplacementCost = 0;      // 19 hundredths
  std::int32_t lampLife = 1000;              // 20 h
  std::int32_t economicWord = 0;             // 21
  double economicValue1 = 0.0;               // 22
  double economicValue2 = 0.0;               // 23
  double economicValue3 = 0.0;               // 24
  double economicValue4 = 1.0;               // 25
  std::string displayName;       // 26
  std::string textF;             // 27 source of the photometry ("EULUMDAT", "IES LM-63-2002", "analytic")
  std::string textG;             // 28 photometric file name
  std::string textH;             // 29 catalogue code of the mounting kind; left empty
  std::string textI;             // 30 luminaire number of the maker
  std::string textJ;             // 31 measurement report
  std::string producer;          // 32
  std::string textK;             // 33 luminaire length x width x height, mm
  std::string textL;             // 34 code of the luminaire in its catalogue
  std::string textM;             // 35
  std::int32_t extraWord = 0;    // 36 1 for an analytic distribution
  std::vector<std::string> textList;  // 37 notes of the import (warnings)
  IntensityTable table;          // 38 cd/klm
  std::int32_t databaseWord1 = 0;  // 39 position of the luminaire in the database, from 1
  std::int32_t databaseWord2 = 0;  // 40 position of its catalogue, from 1
};

}  // namespace qorsrv

namespace qorsrv {

struct Photometry;
struct LuminaireEntry;

// The program's table of a distribution: the planes its symmetry word names, the file's gamma angles.
IntensityTable MakeIntensityTable(const Photometry& p);
// The record of a catalogue entry; texts converted to code page 1251. `key` goes into texts A and B.
LuminaireRecord MakeLuminaireRecord(const LuminaireEntry& entry, const std::string& key);

}  // namespace qorsrv
