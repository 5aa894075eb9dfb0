// The statistics file ("QorRoad.prnt"): SQLite, application id 'QORS', schema version 1, texts UTF-8.
//   report(ord, time, installation, organisation, flag)      one printed or previewed report
//   report_group(report, position, luminaire, count, pole, bracket)
//   sending(ord, time, installation)                         requests to send usage data; nothing is sent
// A report is written in one transaction when its record is handed back; one never handed back leaves nothing.
#include "outside/servers/istatistics.h"

#include "outside/servers/sqlite_support.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

#include <atomic>
#include <ctime>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace qorsrv {

using detail::Exec;
using detail::PragmaInt;
using detail::Statement;
using detail::Transaction;

namespace {

constexpr int kStatisticsApplicationId = 0x514F5253;  // 'QORS'
constexpr int kStatisticsSchemaVersion = 1;
// A report lists its groups; more than this is a caller gone wrong, not a report.
constexpr std::size_t kMaxGroupsPerReport = 100000;

constexpr const char* kStatisticsSchema = R"sql(
CREATE TABLE report (ord INTEGER PRIMARY KEY, time INTEGER NOT NULL, installation TEXT NOT NULL,
                     organisation TEXT NOT NULL, flag INTEGER NOT NULL);
CREATE TABLE report_group (report INTEGER NOT NULL REFERENCES report(ord), position INTEGER NOT NULL,
                           luminaire TEXT NOT NULL, count INTEGER NOT NULL, pole TEXT NOT NULL,
                           bracket TEXT NOT NULL, PRIMARY KEY (report, position));
CREATE TABLE sending (ord INTEGER PRIMARY KEY, time INTEGER NOT NULL, installation TEXT NOT NULL);
)sql";

std::string Utf8(BSTR text) { return text ? codepage::Utf16ToUtf8(std::u16string_view(text, SysStringLen(text))) : ""; }

// The open file, shared by the server and the session it handed out, which may outlive it.
struct Store {
  sqlite3* db = nullptr;
  std::string installation;
  ~Store() { sqlite3_close(db); }
};

template <class Interface>
class RefCounted : public Interface {
public:
  ULONG AddRef() override { return ++m_refs; }
  ULONG Release() override
  {
    const ULONG left = --m_refs;
    if (left == 0)
      delete this;
    return left;
  }

protected:
  virtual ~RefCounted() = default;
  HRESULT Answer(REFIID iid, REFIID own, void** object)
  {
    if (!object)
      return E_POINTER;
    if (iid != IID_IUnknown && iid != own) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }

private:
  std::atomic<ULONG> m_refs{1};
};

class CStatisticsEntry final : public RefCounted<IStatisticsEntry> {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override { return Answer(iid, IID_IStatisticsEntry, object); }
  HRESULT SetLuminaireName(BSTR name) override { return Set(luminaire, name); }
  HRESULT SetLuminaireCount(int n) override
  {
    count = n;
    return S_OK;
  }
  HRESULT SetPoleName(BSTR name) override { return Set(pole, name); }
  HRESULT SetBracketName(BSTR name) override { return Set(bracket, name); }

  std::string luminaire, pole, bracket;
  int count = 0;

private:
  static HRESULT Set(std::string& field, BSTR text)
  {
    field = Utf8(text);
    return S_OK;
  }
};

class CStatisticsRecord final : public RefCounted<IStatisticsRecord> {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override { return Answer(iid, IID_IStatisticsRecord, object); }
  HRESULT SetOrganisation(BSTR text) override
  {
    organisation = Utf8(text);
    return S_OK;
  }
  HRESULT Begin() override
  {
    time = static_cast<std::int64_t>(std::time(nullptr));
    return S_OK;
  }
  HRESULT SetFlag(int value) override
  {
    flag = value;
    return S_OK;
  }
  HRESULT CreateEntry(IStatisticsEntry** out) override
  {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    if (entries.size() >= kMaxGroupsPerReport)
      return E_OUTOFMEMORY;
    auto* entry = new (std::nothrow) CStatisticsEntry;
    if (!entry)
      return E_OUTOFMEMORY;
    entry->AddRef();  // one reference for the record, one for the caller
    entries.push_back(entry);
    *out = entry;
    return S_OK;
  }
  ~CStatisticsRecord() override
  {
    for (CStatisticsEntry* e : entries)
      e->Release();
  }

  std::string organisation;
  std::int64_t time = 0;
  int flag = 0;
  std::vector<CStatisticsEntry*> entries;
};

class CStatisticsSession final : public RefCounted<IStatisticsSession> {
public:
  explicit CStatisticsSession(std::shared_ptr<Store> store) : m_store(std::move(store)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override { return Answer(iid, IID_IStatisticsSession, object); }

  HRESULT CreateRecord(IStatisticsRecord** out) override
  {
    if (!out)
      return E_POINTER;
    *out = new (std::nothrow) CStatisticsRecord;
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT SubmitRecord(IStatisticsRecord* record) override
  {
    if (!record)
      return E_POINTER;
    // Only our own records can be taken apart; another object's data is not ours to read.
    IStatisticsRecord* own = nullptr;
    if (FAILED(record->QueryInterface(IID_IStatisticsRecord, reinterpret_cast<void**>(&own))))
      return E_INVALIDARG;
    own->Release();
    auto* r = dynamic_cast<CStatisticsRecord*>(own);
    if (!r)
      return E_INVALIDARG;
    if (!m_store->db)
      return S_FALSE;
    try {
      Transaction t(m_store->db);
      Statement report(m_store->db,
                       "INSERT INTO report (time, installation, organisation, flag) VALUES (?, ?, ?, ?)");
      report.Bind(1, r->time).Bind(2, m_store->installation).Bind(3, r->organisation);
      report.Bind(4, std::int64_t{r->flag});
      report.Step();
      const std::int64_t ord = sqlite3_last_insert_rowid(m_store->db);
      for (std::size_t i = 0; i < r->entries.size(); ++i) {
        const CStatisticsEntry& e = *r->entries[i];
        Statement group(m_store->db, "INSERT INTO report_group (report, position, luminaire, count, pole, bracket) "
                                     "VALUES (?, ?, ?, ?, ?, ?)");
        group.Bind(1, ord).Bind(2, static_cast<std::int64_t>(i)).Bind(3, e.luminaire);
        group.Bind(4, std::int64_t{e.count}).Bind(5, e.pole).Bind(6, e.bracket);
        group.Step();
      }
      t.Commit();
    } catch (const QordError&) {
      return E_FAIL;
    }
    return S_OK;
  }

private:
  std::shared_ptr<Store> m_store;
};

class CStatistics final : public RefCounted<IStatistics> {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override { return Answer(iid, IID_IStatistics, object); }

  HRESULT SetInstallationId(BSTR id) override
  {
    m_store->installation = Utf8(id);
    return S_OK;
  }
  HRESULT SetMode(int) override { return S_OK; }

  HRESULT OpenSession(IStatisticsSession** out) override
  {
    if (!out)
      return E_POINTER;
    *out = new (std::nothrow) CStatisticsSession(m_store);
    return *out ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT CloseSession(IStatisticsSession*) override { return S_OK; }

  HRESULT Open(BSTR path) override
  {
    const std::string file = platform::ToFileSystemPath(codepage::Utf8ToCp1251(Utf8(path)));
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      sqlite3_close(db);
      return S_FALSE;
    }
    try {
      const int appId = PragmaInt(db, "PRAGMA application_id");
      if (appId == 0 && PragmaInt(db, "SELECT count(*) FROM sqlite_schema") == 0) {
        Transaction t(db);
        Exec(db, kStatisticsSchema);
        Exec(db, ("PRAGMA application_id = " + std::to_string(kStatisticsApplicationId)).c_str());
        Exec(db, ("PRAGMA user_version = " + std::to_string(kStatisticsSchemaVersion)).c_str());
        t.Commit();
      } else if (appId != kStatisticsApplicationId ||
                 PragmaInt(db, "PRAGMA user_version") != kStatisticsSchemaVersion) {
        sqlite3_close(db);
        return S_FALSE;
      }
    } catch (const QordError&) {
      sqlite3_close(db);
      return S_FALSE;
    }
    sqlite3_close(m_store->db);
    m_store->db = db;
    return S_OK;
  }

  HRESULT Close() override
  {
    sqlite3_close(m_store->db);
    m_store->db = nullptr;
    return S_OK;
  }

  // Usage data stay on this computer: the request is noted, nothing leaves it.
  HRESULT SendInfo() override
  {
    if (!m_store->db)
      return S_FALSE;
    try {
      Statement s(m_store->db, "INSERT INTO sending (time, installation) VALUES (?, ?)");
      s.Bind(1, static_cast<std::int64_t>(std::time(nullptr))).Bind(2, m_store->installation);
      s.Step();
    } catch (const QordError&) {
      return E_FAIL;
    }
    return S_OK;
  }
  HRESULT Flush() override { return S_OK; }
  HRESULT EndSession() override { return S_OK; }

private:
  std::shared_ptr<Store> m_store = std::make_shared<Store>();
};

}  // namespace

HRESULT QorStatcsCreateInstance(REFCLSID clsid, REFIID iid, void** object)
{
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_Statistics)
    return CLASS_E_CLASSNOTAVAILABLE;
  auto* statistics = new (std::nothrow) CStatistics;
  if (!statistics)
    return E_OUTOFMEMORY;
  const HRESULT hr = statistics->QueryInterface(iid, object);
  statistics->Release();
  return hr;
}

}  // namespace qorsrv
