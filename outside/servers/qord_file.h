// A luminaire catalogue file (.qord): an SQLite database of the schema in outside/servers/README.md. The main
// database "QorRoad.qord" and every installed catalogue share it. Texts are UTF-8 in the file.
#pragma once

#include "outside/servers/photometry.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace qorsrv {

// The message is UTF-8 and shown to the user as it is, so it is Russian.
class QordError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A UTF-8 text kept as UTF-8 whatever the execution character set.
inline std::string Ru(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct CatalogueInfo {
  std::string id;
  std::int32_t version = 1;
  std::uint32_t programVersion = 0;  // oldest program format version that reads it; 0 any
  std::string maker;
  std::string trademark;
  std::int32_t date = 0;  // yyyymmdd
  std::vector<std::uint8_t> picture;
};

struct LuminaireEntry {
  std::string catalogueId;
  std::string code;         // unique in its catalogue
  std::string displayName;  // empty: the luminaire name of the photometry
  std::string producer;
  bool analytic = false;
  Photometry photometry;
};

// What the database keeps in memory of a luminaire; the photometry is read when the luminaire is handed out.
struct LuminaireSummary {
  std::int64_t rowId = 0;
  std::string catalogueId;
  std::string code;
  std::string name;
};

class QordFile {
public:
  // Opens an existing catalogue for reading; QordError when the file is missing or not a catalogue.
  static QordFile OpenForReading(const std::string& fileSystemPath);
  // Opens or creates a catalogue for writing.
  static QordFile OpenForWriting(const std::string& fileSystemPath);

  QordFile(QordFile&&) noexcept;
  QordFile& operator=(QordFile&&) noexcept;
  ~QordFile();

  std::vector<CatalogueInfo> Catalogues();
  std::vector<LuminaireSummary> Luminaires();
  LuminaireEntry ReadLuminaire(std::int64_t rowId);

  // Each call is one transaction: on any failure nothing of it stays in the file.
  void AddCatalogue(const CatalogueInfo& info);
  void AddLuminaires(const std::vector<LuminaireEntry>& entries);

private:
  explicit QordFile(sqlite3* db, std::string path);
  void Close();
  sqlite3* m_db = nullptr;
  std::string m_path;
  // Prepared on first use and kept while the file is open: luminaires are read one at a time, often.
  sqlite3_stmt* m_readLuminaire = nullptr;
};

// Reads a photometric file and adds it to a catalogue of the file as one luminaire; a bad photometric file
// (PhotometryError) leaves the catalogue as it was.
LuminaireEntry ImportPhotometricFile(const std::string& qordPath, const std::string& catalogueId,
                                     const std::string& photometricPath, const std::string& code);

}  // namespace qorsrv
