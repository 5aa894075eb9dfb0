#include "outside/servers/analytic.h"
#include "outside/servers/luminaire_database.h"
#include "outside/servers/sqlite_support.h"
#include "server_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace qorsrv;
using namespace servers_test;

namespace {

// The position of a virtual function in its table, from the Itanium ABI's member-pointer form (table offset + 1).
template <class F>
std::size_t SlotOf(F member)
{
  static_assert(sizeof(F) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t parts[2];
  std::memcpy(parts, &member, sizeof parts);
  return static_cast<std::size_t>((parts[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

// A catalogue file of one catalogue with one analytic luminaire per code.
void WriteCatalogue(const std::string& path, const std::string& id, int version, std::uint32_t programVersion,
                    const std::vector<std::string>& codes, const std::string& maker = "Maker")
{
  QordFile file = QordFile::OpenForWriting(path);
  CatalogueInfo info;
  info.id = id;
  info.version = version;
  info.programVersion = programVersion;
  info.maker = maker;
  info.trademark = "Mark " + id;
  info.date = 20250101;
  file.AddCatalogue(info);
  std::vector<LuminaireEntry> entries;
  for (const std::string& code : codes) {
    LuminaireEntry e;
    e.catalogueId = id;
    e.code = code;
    e.analytic = true;
    e.photometry = MakeFloodlight(StarterFloodlight());
    e.photometry.luminaireName = code;
    entries.push_back(e);
  }
  file.AddLuminaires(entries);
}

// Changes a luminaire's name behind the database's back, as another program writing the file would.
void RenameLuminaire(const std::string& path, const std::string& code, const std::string& name)
{
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  const std::string sql = "UPDATE luminaire SET name = '" + name + "' WHERE code = '" + code + "'";
  EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
}

std::string CurrentKey(ILuminaireDatabase* db)
{
  LuminaireRecord* r = nullptr;
  if (db->LuminaireDbGetLuminaire(&r, -1, 0) != S_OK)
    return "";
  return r->textA;
}

class ScriptedChooser : public ILuminaireChooser {
public:
  LONG answer = -1;
  std::string askedWith;
  LONG ChooseLuminaire(ILuminaireDatabase*, const char* currentKey) override
  {
    askedWith = currentKey;
    return answer;
  }
};

}  // namespace

TEST(LuminaireDatabase, CalledOperationsStandAtTheirSlots)
{
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::QueryInterface), 0u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::Release), 2u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbGetCount), 30u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbGetLuminaire), 31u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbChoose), 32u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbSetDataFolder), 49u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbSelectDefault), 90u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbAddCatalog), 104u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbGetCatalogCount), 108u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbGetCatalogInfo), 109u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbRemoveCatalog), 111u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbApply), 112u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbRememberChoice), 117u);
  EXPECT_EQ(SlotOf(&ILuminaireDatabase::LuminaireDbSelectRemembered), 118u);

  // Through the object's own table, as a caller that knows only slot numbers reaches it.
  Database db;
  using CountFn = HRESULT (*)(ILuminaireDatabase*, LONG*);
  using NoArgFn = HRESULT (*)(ILuminaireDatabase*);
  void** table = *reinterpret_cast<void***>(static_cast<ILuminaireDatabase*>(db));
  LONG count = -1;
  EXPECT_EQ(reinterpret_cast<CountFn>(table[30])(db, &count), S_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(reinterpret_cast<NoArgFn>(table[90])(db), S_FALSE);  // nothing to select in an empty database
  for (int placeholder : {3, 29, 33, 48, 50, 89, 91, 103, 105, 107, 110, 113, 116})
    EXPECT_EQ(reinterpret_cast<NoArgFn>(table[placeholder])(db), E_NOTIMPL) << placeholder;
}

TEST(LuminaireDatabase, FactoryAndInterfaces)
{
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(QorSrvCreateInstance(GUID_NULL, IID_ILuminaireDatabase, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(QorSrvCreateInstance(CLSID_LuminaireDatabase, GUID_NULL, &object), E_NOINTERFACE);
  Database db;
  ILuminaireCatalogue* catalogue = nullptr;
  ASSERT_EQ(db->QueryInterface(IID_ILuminaireCatalogue, reinterpret_cast<void**>(&catalogue)), S_OK);
  EXPECT_EQ(catalogue->Release(), 1u);
}

// 0 added; 1 with status 2 newer installed, 3 installed, 4 older installed, 5 needs a newer program.
TEST(LuminaireDatabase, AddCatalogStatuses)
{
  TempFolder folder;
  WriteCatalogue(folder / "v2.qord", "300000001", 2, 0, {"a", "b"});
  WriteCatalogue(folder / "v1.qord", "300000001", 1, 0, {"a"});
  WriteCatalogue(folder / "v3.qord", "300000001", 3, 0, {"a"});
  WriteCatalogue(folder / "future.qord", "300000002", 1, 0x07000000u, {"a"});
  WriteCatalogue(folder / "today.qord", "300000003", 1, kProgramVersion, {"c"});
  std::ofstream(folder / "junk.qord") << "not a catalogue";

  Database db;
  const struct {
    const char* file;
    HRESULT result;
    LONG status;
    LONG luminairesAfter;
  } steps[] = {
    {"v2.qord", S_OK, 0, 2},
    {"v2.qord", S_FALSE, kCatalogInstalled, 2},
    {"v1.qord", S_FALSE, kCatalogNewerInstalled, 2},
    {"v3.qord", S_FALSE, kCatalogOlderInstalled, 2},
    {"future.qord", S_FALSE, kCatalogNeedsNewerProgram, 2},
    {"today.qord", S_OK, 0, 3},
    {"junk.qord", S_FALSE, kCatalogUnreadable, 3},
    {"missing.qord", S_FALSE, kCatalogUnreadable, 3},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.file);
    LONG status = -1;
    EXPECT_EQ(AddCatalog(db, folder / s.file, FALSE, &status), s.result);
    EXPECT_EQ(status, s.status);
    LONG count = -1;
    db->LuminaireDbGetCount(&count);
    EXPECT_EQ(count, s.luminairesAfter);
  }
  LONG catalogues = 0;
  db->LuminaireDbGetCatalogCount(&catalogues);
  EXPECT_EQ(catalogues, 2);
  ILuminaireCatalogue* extra = nullptr;
  db->QueryInterface(IID_ILuminaireCatalogue, reinterpret_cast<void**>(&extra));
  EXPECT_NE(std::string(extra->GetLastMessage()).find("missing.qord"), std::string::npos);
  extra->Release();
}

TEST(LuminaireDatabase, DamagedOrForeignCatalogueFilesAreRefusedBeforeAnythingChanges)
{
  TempFolder folder;
  WriteCatalogue(folder / "good.qord", "300000001", 1, 0, {"a"});
  std::vector<std::string> many;
  for (int i = 0; i < 200; ++i)
    many.push_back("code" + std::to_string(i));
  for (const char* name : {"damaged.qord", "truncated.qord", "no-column.qord", "huge.qord", "endless-view.qord"})
    WriteCatalogue(folder / name, "300000002", 1, 0, many);
  {
    // A page of the luminaire table overwritten.
    std::fstream f(folder / "damaged.qord", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(3 * 4096 + 8);
    const std::string garbage(600, '\xA5');
    f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  std::filesystem::resize_file(folder / "truncated.qord", std::filesystem::file_size(folder / "truncated.qord") / 2);
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "no-column.qord").c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, "ALTER TABLE luminaire DROP COLUMN notes", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
  }
  {
    // The luminaires behind a view with every column, over a query that never ends.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "endless-view.qord").c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw,
                           "ALTER TABLE luminaire RENAME TO kept;"
                           "CREATE VIEW luminaire AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                           "SELECT kept.* FROM n, kept",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
  }
  // Sparse: the size is what counts, not the bytes.
  std::filesystem::resize_file(folder / "huge.qord", 300ull * 1024 * 1024);

  Database db;
  LONG status = -1;
  ASSERT_EQ(AddCatalog(db, folder / "good.qord", FALSE, &status), S_OK);
  ILuminaireCatalogue* extra = nullptr;
  db->QueryInterface(IID_ILuminaireCatalogue, reinterpret_cast<void**>(&extra));
  const struct {
    const char* file;
    const char* said;
  } cases[] = {{"damaged.qord", ""}, {"truncated.qord", ""}, {"no-column.qord", "нет поля luminaire.notes"},
               {"huge.qord", "больше, чем может быть каталог"}, {"endless-view.qord", "нет таблицы luminaire"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    status = -1;
    EXPECT_EQ(AddCatalog(db, folder / c.file, FALSE, &status), S_FALSE);
    EXPECT_EQ(status, kCatalogUnreadable);
    EXPECT_NE(std::string(extra->GetLastMessage()).find(c.said), std::string::npos) << extra->GetLastMessage();
    LONG catalogues = 0;
    db->LuminaireDbGetCatalogCount(&catalogues);
    EXPECT_EQ(catalogues, 1);
    LONG luminaires = 0;
    db->LuminaireDbGetCount(&luminaires);
    EXPECT_EQ(luminaires, 1);
  }
  extra->Release();
}

TEST(LuminaireDatabase, CatalogueRecordsCarryIdMakerAndTrademarkInCodePage1251)
{
  TempFolder folder;
  WriteCatalogue(folder / "ru.qord", "400000001", 1, 0, {"a"}, reinterpret_cast<const char*>(u8"Световые Технологии"));
  Database db;
  LONG status = 0;
  ASSERT_EQ(AddCatalog(db, folder / "ru.qord", FALSE, &status), S_OK);
  CatalogRecord* r = nullptr;
  ASSERT_EQ(db->LuminaireDbGetCatalogInfo(0, &r), S_OK);
  EXPECT_STREQ(r->id, "400000001");
  EXPECT_STREQ(r->name, "Световые Технологии");  // a narrow literal: code page 1251 in this build
  EXPECT_STREQ(r->trademark, "Mark 400000001");
  EXPECT_EQ(r->date, 20250101);
  EXPECT_EQ(db->LuminaireDbGetCatalogInfo(1, &r), E_INVALIDARG);
  EXPECT_EQ(r, nullptr);
}

// 90 the default luminaire, 117 remembers a choice, 118 makes the remembered one current.
TEST(LuminaireDatabase, DefaultAndRememberedLuminaires)
{
  TempFolder folder;
  WriteCatalogue(folder / "plugin.qord", "p", 1, 0, {"p1"});
  WriteCatalogue(folder / "main.qord", "m", 1, 0, {"m1", "m2"});
  Database db;
  LONG status = 0;
  // A plug-in added before the main database does not become the default.
  ASSERT_EQ(AddCatalog(db, folder / "plugin.qord", FALSE, &status), S_OK);
  ASSERT_EQ(AddCatalog(db, folder / "main.qord", TRUE, &status), S_OK);
  EXPECT_EQ(db->LuminaireDbSelectDefault(), S_OK);
  EXPECT_EQ(CurrentKey(db), "m/m1");

  EXPECT_EQ(db->LuminaireDbSelectRemembered(), S_OK);  // nothing remembered: the default
  EXPECT_EQ(CurrentKey(db), "m/m1");
  EXPECT_EQ(db->LuminaireDbRememberChoice(TextVariant("p/p1")), S_OK);
  EXPECT_EQ(db->LuminaireDbRememberChoice(TextVariant("p/unknown")), S_FALSE);
  EXPECT_EQ(CurrentKey(db), "m/m1");
  EXPECT_EQ(db->LuminaireDbSelectRemembered(), S_OK);
  EXPECT_EQ(CurrentKey(db), "p/p1");

  LuminaireRecord* r = nullptr;
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_OK);
  EXPECT_EQ(r->databaseWord2, 1);  // the plug-in was the first catalogue added
  EXPECT_EQ(db->LuminaireDbGetLuminaire(&r, 3, 0), E_INVALIDARG);
  EXPECT_EQ(r, nullptr);
}

// 32: the selection hands out the chosen record and makes it current; no choice leaves everything as it was.
TEST(LuminaireDatabase, ChoosingALuminaire)
{
  TempFolder folder;
  WriteCatalogue(folder / "main.qord", "m", 1, 0, {"m1", "m2", "m3"});
  Database db;
  LONG status = 0;
  ASSERT_EQ(AddCatalog(db, folder / "main.qord", TRUE, &status), S_OK);
  db->LuminaireDbSelectDefault();

  LuminaireRecord own;
  LuminaireRecord* record = &own;
  // Without a chooser the text is taken as a luminaire key.
  EXPECT_EQ(db->LuminaireDbChoose(&record, TextVariant("m/m3")), S_OK);
  ASSERT_NE(record, &own);
  EXPECT_EQ(record->textB, "m/m3");
  EXPECT_EQ(CurrentKey(db), "m/m3");
  record = &own;
  EXPECT_EQ(db->LuminaireDbChoose(&record, TextVariant("Группа")), S_FALSE);
  EXPECT_EQ(record, &own);
  EXPECT_EQ(CurrentKey(db), "m/m3");

  ILuminaireCatalogue* extra = nullptr;
  db->QueryInterface(IID_ILuminaireCatalogue, reinterpret_cast<void**>(&extra));
  ScriptedChooser chooser;
  extra->SetChooser(&chooser);
  chooser.answer = 1;
  EXPECT_EQ(db->LuminaireDbChoose(&record, TextVariant("m/m3")), S_OK);
  EXPECT_EQ(chooser.askedWith, "m/m3");
  EXPECT_EQ(record->textA, "m/m2");
  EXPECT_EQ(CurrentKey(db), "m/m2");
  chooser.answer = -1;  // cancelled
  record = &own;
  EXPECT_EQ(db->LuminaireDbChoose(&record, TextVariant("m/m2")), S_FALSE);
  EXPECT_EQ(record, &own);
  chooser.answer = 99;  // out of range counts as no choice
  EXPECT_EQ(db->LuminaireDbChoose(&record, TextVariant("m/m2")), S_FALSE);
  extra->SetChooser(nullptr);
  extra->Release();
}

// 111 then 112: the catalogue's luminaires go, and a current luminaire that went with them falls back.
TEST(LuminaireDatabase, RemovingACatalogue)
{
  TempFolder folder;
  WriteCatalogue(folder / "main.qord", "m", 1, 0, {"m1"});
  WriteCatalogue(folder / "plugin.qord", "p", 1, 0, {"p1", "p2"});
  Database db;
  LONG status = 0;
  AddCatalog(db, folder / "main.qord", TRUE, &status);
  AddCatalog(db, folder / "plugin.qord", FALSE, &status);
  ILuminaireCatalogue* extra = nullptr;
  db->QueryInterface(IID_ILuminaireCatalogue, reinterpret_cast<void**>(&extra));
  ASSERT_EQ(extra->SelectByKey("p/p2"), S_OK);
  db->LuminaireDbRememberChoice(TextVariant("p/p1"));

  EXPECT_EQ(db->LuminaireDbRemoveCatalog(TextVariant("nope")), S_FALSE);
  EXPECT_EQ(db->LuminaireDbRemoveCatalog(TextVariant("p")), S_OK);
  EXPECT_EQ(db->LuminaireDbApply(), S_OK);
  LONG count = 0, catalogues = 0;
  db->LuminaireDbGetCount(&count);
  db->LuminaireDbGetCatalogCount(&catalogues);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(catalogues, 1);
  EXPECT_EQ(CurrentKey(db), "m/m1");
  EXPECT_EQ(db->LuminaireDbSelectRemembered(), S_OK);
  EXPECT_EQ(CurrentKey(db), "m/m1");

  // Installed again, as after an update.
  EXPECT_EQ(AddCatalog(db, folder / "plugin.qord", FALSE, &status), S_OK);
  db->LuminaireDbGetCount(&count);
  EXPECT_EQ(count, 3);
  extra->Release();
}

TEST(LuminaireDatabase, DamagedLuminaireIsRefusedNotHandedOut)
{
  TempFolder folder;
  WriteCatalogue(folder / "main.qord", "m", 1, 0, {"m1", "m2"});
  {
    // The first luminaire's intensities lose all but ten values; its planes and gammas still promise more.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "main.qord").c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "UPDATE luminaire SET intensities = substr(intensities, 1, 80) WHERE code = 'm1'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
  }
  Database db;
  LONG status = 0;
  ASSERT_EQ(AddCatalog(db, folder / "main.qord", TRUE, &status), S_OK);
  LuminaireRecord* r = reinterpret_cast<LuminaireRecord*>(1);
  EXPECT_EQ(db->LuminaireDbGetLuminaire(&r, 0, 0), S_FALSE);
  EXPECT_EQ(r, nullptr);
  ILuminaireCatalogue* extra = nullptr;
  db->QueryInterface(IID_ILuminaireCatalogue, reinterpret_cast<void**>(&extra));
  EXPECT_NE(std::string(extra->GetLastMessage()).find("поврежден"), std::string::npos) << extra->GetLastMessage();
  extra->Release();
  EXPECT_EQ(db->LuminaireDbGetLuminaire(&r, 1, 0), S_OK);
}

// The catalogue manager adds a downloaded file, copies it into the plug-in folder and deletes the download.
TEST(LuminaireDatabase, CatalogueStaysReadableWhenItsFileIsDeletedAfterAdding)
{
  TempFolder folder;
  WriteCatalogue(folder / "download.qord", "d", 1, 0, {"d1"});
  Database db;
  LONG status = 0;
  ASSERT_EQ(AddCatalog(db, folder / "download.qord", FALSE, &status), S_OK);
  std::filesystem::remove(folder / "download.qord");
  LuminaireRecord* r = nullptr;
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, 0, 0), S_OK);
  EXPECT_EQ(r->textA, "d/d1");
  EXPECT_EQ(r->table.rows, 2);  // the gamma row and the one plane of the floodlight
}

// The luminaire last read is kept; every change of the catalogues must still give the new answer.
TEST(LuminaireDatabase, RepeatedReadsFollowCataloguesAddedAndRemoved)
{
  TempFolder folder;
  WriteCatalogue(folder / "plugin.qord", "p", 1, 0, {"p1"});
  WriteCatalogue(folder / "main.qord", "m", 1, 0, {"m1"});
  Database db;
  LONG status = 0;
  ASSERT_EQ(AddCatalog(db, folder / "plugin.qord", FALSE, &status), S_OK);
  LuminaireRecord* r = nullptr;
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_OK);
  EXPECT_EQ(r->textA, "p/p1");

  // Added after the read: the main catalogue's first luminaire becomes the default.
  ASSERT_EQ(AddCatalog(db, folder / "main.qord", TRUE, &status), S_OK);
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_OK);
  EXPECT_EQ(r->textA, "m/m1");
  EXPECT_EQ(r->databaseWord1, 2);
  EXPECT_EQ(r->databaseWord2, 2);

  // Each read hands out a fresh copy: what a caller changed in the last one does not come back.
  r->luminaireName = "changed";
  r->table.cells.clear();
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_OK);
  EXPECT_EQ(r->luminaireName, "m1");
  EXPECT_EQ(r->table.cells.size(), static_cast<std::size_t>(r->table.rows) * r->table.columns);

  // The file, still open, changed on disk; a catalogue added or removed afterwards reads it anew.
  RenameLuminaire(folder / "main.qord", "m1", "renamed once");
  WriteCatalogue(folder / "extra.qord", "x", 1, 0, {"x1"});
  ASSERT_EQ(AddCatalog(db, folder / "extra.qord", FALSE, &status), S_OK);
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_OK);
  EXPECT_EQ(r->luminaireName, "renamed once");
  RenameLuminaire(folder / "main.qord", "m1", "renamed twice");
  ASSERT_EQ(db->LuminaireDbRemoveCatalog(TextVariant("x")), S_OK);

  // Removed: positions move and the default falls back.
  ASSERT_EQ(db->LuminaireDbRemoveCatalog(TextVariant("p")), S_OK);
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_OK);
  EXPECT_EQ(r->textA, "m/m1");
  EXPECT_EQ(r->luminaireName, "renamed twice");
  EXPECT_EQ(r->databaseWord1, 1);
  EXPECT_EQ(r->databaseWord2, 1);
  ASSERT_EQ(db->LuminaireDbRemoveCatalog(TextVariant("m")), S_OK);
  EXPECT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_FALSE);

  // The same catalogue id again from a rewritten file, its luminaire at the same row as before.
  std::filesystem::remove(folder / "main.qord");
  WriteCatalogue(folder / "main.qord", "m", 2, 0, {"n1"});
  ASSERT_EQ(AddCatalog(db, folder / "main.qord", TRUE, &status), S_OK);
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, 0, 0), S_OK);
  EXPECT_EQ(r->textA, "m/n1");
  EXPECT_EQ(r->luminaireName, "n1");
}

// Different luminaires read in turn each give their own record.
TEST(LuminaireDatabase, AlternatingReadsGiveEachLuminaireItsOwnRecord)
{
  TempFolder folder;
  WriteCatalogue(folder / "main.qord", "m", 1, 0, {"a", "b", "c"});
  Database db;
  LONG status = 0;
  ASSERT_EQ(AddCatalog(db, folder / "main.qord", TRUE, &status), S_OK);
  for (int round = 0; round < 3; ++round) {
    for (LONG i : {0, 0, 2, 1, 1, 0}) {
      LuminaireRecord* r = nullptr;
      ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, i, 0), S_OK);
      EXPECT_EQ(r->textA, std::string("m/") + "abc"[i]);
      EXPECT_EQ(r->databaseWord1, i + 1);
    }
  }
}

// The calculation worker and the window thread may both ask for the current luminaire.
TEST(LuminaireDatabase, ReadsFromTwoThreadsAtOnce)
{
  TempFolder folder;
  WriteCatalogue(folder / "main.qord", "m", 1, 0, {"a", "b"});
  Database db;
  LONG status = 0;
  ASSERT_EQ(AddCatalog(db, folder / "main.qord", TRUE, &status), S_OK);
  std::atomic<int> failures{0};
  auto reader = [&](LONG index) {
    for (int i = 0; i < 200; ++i) {
      LuminaireRecord* r = nullptr;
      if (db->LuminaireDbGetLuminaire(&r, index, 0) != S_OK || r == nullptr)
        ++failures;
    }
  };
  std::thread worker(reader, 1);
  reader(0);
  worker.join();
  EXPECT_EQ(failures.load(), 0);
}

// Whatever a file from outside holds, a query on it ends: one that runs past the bound is stopped and said so.
TEST(LuminaireDatabase, AQueryThatNeverEndsIsStoppedAtTheBound)
{
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
  qorsrv::detail::BoundQueries(raw);
  try {
    qorsrv::detail::Statement endless(
        raw, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT count(*) FROM n");
    endless.Step();
    ADD_FAILURE() << "the query ended";
  } catch (const qorsrv::QordError& e) {
    EXPECT_NE(std::string(e.what()).find(reinterpret_cast<const char*>(u8"длился дольше 3 с и был остановлен")), std::string::npos) << e.what();
  }
  // The next statement gets its own time.
  EXPECT_EQ(qorsrv::detail::PragmaInt(raw, "SELECT 7"), 7);
  sqlite3_close(raw);
}
