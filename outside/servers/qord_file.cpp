#include "outside/servers/qord_file.h"

#include "outside/servers/sqlite_support.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

namespace qorsrv {

using detail::BoundQueries;
using detail::Exec;
using detail::IsTable;
using detail::PragmaInt;
using detail::Statement;
using detail::Transaction;

namespace {

// 'QORD': tells our catalogues from other SQLite files.
constexpr int kApplicationId = 0x514F5244;
constexpr int kSchemaVersion = 1;
// Bounds on what a catalogue may claim, checked before anything is allocated from it.
constexpr std::int64_t kMaxAngles = 2000;
constexpr std::int64_t kMaxPictureBytes = 16 * 1024 * 1024;
// A catalogue may come from the network: a file larger than this is refused unread.
constexpr std::uintmax_t kMaxCatalogueFileBytes = 256ull * 1024 * 1024;

// The tables and columns the reading queries name; a file without one of them is no catalogue of ours.
const struct {
  const char* table;
  std::vector<const char*> columns;
} kExpectedTables[] = {
    {"catalogue", {"ord", "id", "version", "program_version", "maker", "trademark", "date", "picture"}},
    {"luminaire", {"ord", "catalogue_id", "code", "name", "display_name", "maker", "producer", "maker_number", "report",
                   "lamp_type", "lamp_count", "lamp_flux", "wattage", "length_mm", "width_mm", "height_mm",
                   "absolute_photometry", "analytic", "source_format", "source_file", "notes", "symmetry", "planes",
                   "gammas", "intensities"}},
};

constexpr const char* kSchema = R"sql(
CREATE TABLE catalogue (
  ord INTEGER PRIMARY KEY,
  id TEXT NOT NULL UNIQUE,
  version INTEGER NOT NULL,
  program_version INTEGER NOT NULL,
  maker TEXT NOT NULL,
  trademark TEXT NOT NULL,
  date INTEGER NOT NULL,
  picture BLOB
);
CREATE TABLE luminaire (
  ord INTEGER PRIMARY KEY,
  catalogue_id TEXT NOT NULL REFERENCES catalogue(id),
  code TEXT NOT NULL,
  name TEXT NOT NULL,
  display_name TEXT NOT NULL,
  maker TEXT NOT NULL,
  producer TEXT NOT NULL,
  maker_number TEXT NOT NULL,
  report TEXT NOT NULL,
  lamp_type TEXT NOT NULL,
  lamp_count INTEGER NOT NULL,
  lamp_flux REAL NOT NULL,
  wattage REAL NOT NULL,
  length_mm REAL NOT NULL,
  width_mm REAL NOT NULL,
  height_mm REAL NOT NULL,
  absolute_photometry INTEGER NOT NULL,
  analytic INTEGER NOT NULL,
  source_format TEXT NOT NULL,
  source_file TEXT NOT NULL,
  notes TEXT NOT NULL,
  symmetry INTEGER NOT NULL,
  planes BLOB NOT NULL,
  gammas BLOB NOT NULL,
  intensities BLOB NOT NULL,
  UNIQUE (catalogue_id, code)
);
)sql";

// Doubles as 8-byte little-endian IEEE values.
std::vector<std::uint8_t> PackDoubles(const std::vector<double>& values)
{
  std::vector<std::uint8_t> bytes(values.size() * 8);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint64_t bits;
    std::memcpy(&bits, &values[i], 8);
    for (int b = 0; b < 8; ++b)
      bytes[i * 8 + b] = static_cast<std::uint8_t>(bits >> (8 * b));
  }
  return bytes;
}

std::vector<double> UnpackDoubles(const std::vector<std::uint8_t>& bytes, const char* what)
{
  if (bytes.size() % 8 != 0)
    throw QordError(std::string("the ") + what + " of a luminaire are damaged");
  std::vector<double> values(bytes.size() / 8);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint64_t bits = 0;
    for (int b = 0; b < 8; ++b)
      bits |= static_cast<std::uint64_t>(bytes[i * 8 + b]) << (8 * b);
    std::memcpy(&values[i], &bits, 8);
  }
  return values;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
  std::string s;
  for (const std::string& l : lines)
    s += (s.empty() ? "" : "\n") + l;
  return s;
}

std::vector<std::string> SplitNotes(const std::string& s)
{
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < s.size()) {
    std::size_t end = s.find('\n', start);
    if (end == std::string::npos)
      end = s.size();
    lines.push_back(s.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

QordFile::QordFile(sqlite3* db, std::string path) : m_db(db), m_path(std::move(path)) {}

QordFile::QordFile(QordFile&& other) noexcept
  : m_db(std::exchange(other.m_db, nullptr)), m_path(std::move(other.m_path)),
    m_readLuminaire(std::exchange(other.m_readLuminaire, nullptr))
{
}

QordFile& QordFile::operator=(QordFile&& other) noexcept
{
  if (this != &other) {
    Close();
    m_db = std::exchange(other.m_db, nullptr);
    m_path = std::move(other.m_path);
    m_readLuminaire = std::exchange(other.m_readLuminaire, nullptr);
  }
  return *this;
}

QordFile::~QordFile() { Close(); }

// A statement left unfinalised would keep the file open.
void QordFile::Close()
{
  sqlite3_finalize(m_readLuminaire);
  m_readLuminaire = nullptr;
  sqlite3_close(m_db);
  m_db = nullptr;
}

QordFile QordFile::OpenForReading(const std::string& fileSystemPath)
{
  std::error_code sizeError;
  const std::uintmax_t size = std::filesystem::file_size(fileSystemPath, sizeError);
  if (!sizeError && size > kMaxCatalogueFileBytes)
    throw QordError(Ru(u8"Файл ") + fileSystemPath + Ru(u8" больше, чем может быть каталог"));
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(fileSystemPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  QordFile file(db, fileSystemPath);
  if (rc != SQLITE_OK)
    throw QordError(Ru(u8"Каталог ") + fileSystemPath + Ru(u8" не открывается"));
  // The file's own schema may name functions and views; none of it runs with more trust than plain data.
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  BoundQueries(db);
  try {
    if (PragmaInt(db, "PRAGMA application_id") != kApplicationId)
      throw QordError(Ru(u8"Файл ") + fileSystemPath + Ru(u8" не является каталогом светильников"));
  } catch (const QordError&) {
    throw QordError(Ru(u8"Файл ") + fileSystemPath + Ru(u8" не является каталогом светильников"));
  }
  if (PragmaInt(db, "PRAGMA user_version") != kSchemaVersion)
    throw QordError(Ru(u8"Каталог ") + fileSystemPath + Ru(u8" имеет неизвестный программе формат"));
  {
    Statement check(db, "PRAGMA quick_check(1)");
    if (!check.Step() || check.Text(0) != "ok")
      throw QordError(Ru(u8"Каталог ") + fileSystemPath + Ru(u8" поврежден"));
  }
  for (const auto& expected : kExpectedTables) {
    if (!IsTable(db, expected.table))
      throw QordError(Ru(u8"В каталоге ") + fileSystemPath + Ru(u8" нет таблицы ") + expected.table);
    std::set<std::string> columns;
    Statement info(db, ("PRAGMA table_info(" + std::string(expected.table) + ")").c_str());
    while (info.Step())
      columns.insert(info.Text(1));
    for (const char* column : expected.columns)
      if (!columns.count(column))
        throw QordError(Ru(u8"В каталоге ") + fileSystemPath + Ru(u8" нет поля ") + expected.table + "." + column);
  }
  return file;
}

QordFile QordFile::OpenForWriting(const std::string& fileSystemPath)
{
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(fileSystemPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  QordFile file(db, fileSystemPath);
  if (rc != SQLITE_OK)
    throw QordError(Ru(u8"Каталог ") + fileSystemPath + Ru(u8" не создается"));
  BoundQueries(db);
  const int appId = PragmaInt(db, "PRAGMA application_id");
  if (appId == 0 && PragmaInt(db, "SELECT count(*) FROM sqlite_schema") == 0) {
    Transaction t(db);
    Exec(db, kSchema);
    Exec(db, ("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
    Exec(db, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    t.Commit();
  } else if (appId != kApplicationId || PragmaInt(db, "PRAGMA user_version") != kSchemaVersion) {
    throw QordError(Ru(u8"Файл ") + fileSystemPath + Ru(u8" не является каталогом светильников этой программы"));
  }
  return file;
}

std::vector<CatalogueInfo> QordFile::Catalogues()
{
  std::vector<CatalogueInfo> list;
  Statement s(m_db, "SELECT id, version, program_version, maker, trademark, date, picture FROM catalogue ORDER BY ord");
  while (s.Step()) {
    CatalogueInfo c;
    c.id = s.Text(0);
    c.version = static_cast<std::int32_t>(s.Int(1));
    c.programVersion = static_cast<std::uint32_t>(s.Int(2));
    c.maker = s.Text(3);
    c.trademark = s.Text(4);
    c.date = static_cast<std::int32_t>(s.Int(5));
    c.picture = s.Blob(6, kMaxPictureBytes);
    list.push_back(std::move(c));
  }
  return list;
}

std::vector<LuminaireSummary> QordFile::Luminaires()
{
  std::vector<LuminaireSummary> list;
  Statement s(m_db, "SELECT ord, catalogue_id, code, name FROM luminaire ORDER BY ord");
  while (s.Step())
    list.push_back({s.Int(0), s.Text(1), s.Text(2), s.Text(3)});
  return list;
}

LuminaireEntry QordFile::ReadLuminaire(std::int64_t rowId)
{
  if (!m_readLuminaire &&
      sqlite3_prepare_v2(m_db,
                         "SELECT catalogue_id, code, name, display_name, maker, producer, maker_number, report, "
                         "lamp_type, lamp_count, lamp_flux, wattage, length_mm, width_mm, height_mm, "
                         "absolute_photometry, analytic, source_format, source_file, notes, symmetry, planes, "
                         "gammas, intensities FROM luminaire WHERE ord = ?",
                         -1, &m_readLuminaire, nullptr) != SQLITE_OK) {
    sqlite3_finalize(m_readLuminaire);
    m_readLuminaire = nullptr;
    throw QordError(std::string("catalogue query failed: ") + sqlite3_errmsg(m_db));
  }
  Statement s(m_db, m_readLuminaire);
  s.Bind(1, rowId);
  if (!s.Step())
    throw QordError(Ru(u8"Светильника больше нет в каталоге ") + m_path);
  LuminaireEntry e;
  Photometry& p = e.photometry;
  e.catalogueId = s.Text(0);
  e.code = s.Text(1);
  p.luminaireName = s.Text(2);
  e.displayName = s.Text(3);
  p.manufacturer = s.Text(4);
  e.producer = s.Text(5);
  p.luminaireNumber = s.Text(6);
  p.reportNumber = s.Text(7);
  p.lampType = s.Text(8);
  const std::int64_t lampCount = s.Int(9);
  if (lampCount < 1 || lampCount > 1000)
    throw QordError(Ru(u8"Число ламп светильника повреждено в ") + m_path);
  p.lampCount = static_cast<int>(lampCount);
  p.lampFlux = s.Real(10);
  p.wattage = s.Real(11);
  p.lengthMm = s.Real(12);
  p.widthMm = s.Real(13);
  p.heightMm = s.Real(14);
  p.absolute = s.Int(15) != 0;
  e.analytic = s.Int(16) != 0;
  p.format = s.Text(17);
  p.sourceFile = s.Text(18);
  p.warnings = SplitNotes(s.Text(19));
  const std::int64_t symmetry = s.Int(20);
  if (symmetry < 0 || symmetry > 4)
    throw QordError(Ru(u8"Симметрия светильника повреждена в ") + m_path);
  p.symmetry = static_cast<PlaneSymmetry>(symmetry);
  p.planes = UnpackDoubles(s.Blob(21, kMaxAngles * 8), "planes");
  p.gammas = UnpackDoubles(s.Blob(22, kMaxAngles * 8), "gamma angles");
  const std::int64_t cells = static_cast<std::int64_t>(p.planes.size()) * static_cast<std::int64_t>(p.gammas.size());
  p.intensities = UnpackDoubles(s.Blob(23, cells * 8), "intensities");
  try {
    Validate(p);
  } catch (const PhotometryError& e) {
    throw QordError(Ru(u8"Светильник каталога ") + m_path + Ru(u8" поврежден: ") + e.what());
  }
  return e;
}

void QordFile::AddCatalogue(const CatalogueInfo& info)
{
  Transaction t(m_db);
  Statement s(m_db, "INSERT INTO catalogue (id, version, program_version, maker, trademark, date, picture) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?)");
  s.Bind(1, info.id).Bind(2, std::int64_t{info.version}).Bind(3, std::int64_t{info.programVersion});
  s.Bind(4, info.maker).Bind(5, info.trademark).Bind(6, std::int64_t{info.date});
  s.BindBlob(7, info.picture.data(), info.picture.size());
  s.Step();
  t.Commit();
}

void QordFile::AddLuminaires(const std::vector<LuminaireEntry>& entries)
{
  Transaction t(m_db);
  for (const LuminaireEntry& e : entries) {
    const Photometry& p = e.photometry;
    Validate(p);
    Statement s(m_db, "INSERT INTO luminaire (catalogue_id, code, name, display_name, maker, producer, maker_number, "
                      "report, lamp_type, lamp_count, lamp_flux, wattage, length_mm, width_mm, height_mm, "
                      "absolute_photometry, analytic, source_format, source_file, notes, symmetry, planes, gammas, "
                      "intensities) "
                      "SELECT ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ? "
                      "WHERE EXISTS (SELECT 1 FROM catalogue WHERE id = ?1)");
    s.Bind(1, e.catalogueId).Bind(2, e.code).Bind(3, p.luminaireName).Bind(4, e.displayName);
    s.Bind(5, p.manufacturer).Bind(6, e.producer).Bind(7, p.luminaireNumber).Bind(8, p.reportNumber);
    s.Bind(9, p.lampType).Bind(10, std::int64_t{p.lampCount}).Bind(11, p.lampFlux).Bind(12, p.wattage);
    s.Bind(13, p.lengthMm).Bind(14, p.widthMm).Bind(15, p.heightMm);
    s.Bind(16, std::int64_t{p.absolute}).Bind(17, std::int64_t{e.analytic});
    s.Bind(18, p.format).Bind(19, p.sourceFile).Bind(20, JoinLines(p.warnings));
    s.Bind(21, static_cast<std::int64_t>(p.symmetry));
    auto planes = PackDoubles(p.planes), gammas = PackDoubles(p.gammas), cells = PackDoubles(p.intensities);
    s.BindBlob(22, planes.data(), planes.size()).BindBlob(23, gammas.data(), gammas.size());
    s.BindBlob(24, cells.data(), cells.size());
    s.Step();
    if (sqlite3_changes(m_db) != 1)
      throw QordError(Ru(u8"Каталога ") + e.catalogueId + Ru(u8" нет в ") + m_path);
  }
  t.Commit();
}

LuminaireEntry ImportPhotometricFile(const std::string& qordPath, const std::string& catalogueId,
                                     const std::string& photometricPath, const std::string& code)
{
  LuminaireEntry e;
  e.catalogueId = catalogueId;
  e.code = code;
  e.photometry = ReadPhotometricFile(photometricPath);
  QordFile file = QordFile::OpenForWriting(qordPath);
  file.AddLuminaires({e});
  return e;
}

}  // namespace qorsrv
