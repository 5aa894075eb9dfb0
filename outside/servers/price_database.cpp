// The price database file ("QorRoad.price"): SQLite, application id 'QORE', schema version 1, texts UTF-8.
//   price(kind, name, power, value)   one known value per kind of figure and name (lamps: lamp type and power;
//                                     power 0 for the rest); money in hundredths, counts and hours as numbers
//   setting(name, value)              the default economic figures of a new project
// A setter writes through at once, so nothing entered is lost when the program ends without closing.
#include "outside/servers/iprice_database.h"

#include "outside/servers/sqlite_support.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>

namespace qorsrv {

using detail::Exec;
using detail::PragmaInt;
using detail::Statement;

namespace {

constexpr int kPriceApplicationId = 0x514F5245;  // 'QORE'
constexpr int kPriceSchemaVersion = 1;

constexpr const char* kPriceSchema = R"sql(
CREATE TABLE price (kind TEXT NOT NULL, name TEXT NOT NULL, power REAL NOT NULL, value REAL NOT NULL,
                    PRIMARY KEY (kind, name, power));
CREATE TABLE setting (name TEXT PRIMARY KEY, value REAL NOT NULL);
)sql";

// Starting values of a new database, which the engineer edits: the normative capital efficiency 0.12, network
// losses of 5 %, about 4000 hours of darkness a year, and amortisation shares of 10 % (luminaires), 4 % (poles)
// and 5 % (brackets). Tariffs and prices are left to the engineer (0 until entered).
constexpr struct {
  const char* name;
  double value;
} kDefaultSettings[] = {
  {"tariff", 0.0},
  {"hours", 4000.0},
  {"efficiency", 0.12},
  {"network_loss", 1.05},
  {"luminaire_amortisation", 0.10},
  {"pole_amortisation", 0.04},
  {"bracket_amortisation", 0.05},
  {"default_pole_price", 0.0},
  {"default_pole_mount_price", 0.0},
  {"default_bracket_price", 0.0},
  {"default_bracket_mount_price", 0.0},
};

bool VariantText(const VARIANT& v, std::string* out)
{
  if (v.vt != VT_BSTR)
    return false;
  *out = codepage::Utf16ToCp1251(std::u16string_view(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal)));
  return true;
}

class CPriceDatabase final : public IPriceDatabase {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (!object)
      return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IPriceDatabase) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IPriceDatabase*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_refs; }
  ULONG Release() override
  {
    const ULONG left = --m_refs;
    if (left == 0)
      delete this;
    return left;
  }

  HRESULT SetLuminairePrice(const char* n, LONG v) override { return Put("luminaire_price", n, 0, v); }
  HRESULT SetPolePrice(const char* n, LONG v) override { return Put("pole_price", n, 0, v); }
  HRESULT SetBracketPrice(const char* n, LONG v) override { return Put("bracket_price", n, 0, v); }
  HRESULT GetLuminairePrice(const char* n, LONG* v) override { return GetInt("luminaire_price", n, 0, v); }
  HRESULT GetPolePrice(const char* n, LONG* v) override { return GetInt("pole_price", n, 0, v); }
  HRESULT GetBracketPrice(const char* n, LONG* v) override { return GetInt("bracket_price", n, 0, v); }

  HRESULT PriceDbOpen(VARIANT path) override
  {
    std::string programPath;
    if (!VariantText(path, &programPath))
      return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    CloseLocked();
    sqlite3* db = nullptr;
    const std::string file = platform::ToFileSystemPath(programPath);
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      sqlite3_close(db);
      return S_FALSE;
    }
    try {
      const int appId = PragmaInt(db, "PRAGMA application_id");
      if (appId == 0 && PragmaInt(db, "SELECT count(*) FROM sqlite_schema") == 0) {
        detail::Transaction t(db);
        Exec(db, kPriceSchema);
        for (const auto& s : kDefaultSettings) {
          Statement insert(db, "INSERT INTO setting (name, value) VALUES (?, ?)");
          insert.Bind(1, std::string(s.name)).Bind(2, s.value);
          insert.Step();
        }
        Exec(db, ("PRAGMA application_id = " + std::to_string(kPriceApplicationId)).c_str());
        Exec(db, ("PRAGMA user_version = " + std::to_string(kPriceSchemaVersion)).c_str());
        t.Commit();
      } else if (appId != kPriceApplicationId || PragmaInt(db, "PRAGMA user_version") != kPriceSchemaVersion) {
        sqlite3_close(db);
        return S_FALSE;
      }
    } catch (const QordError&) {
      sqlite3_close(db);
      return S_FALSE;
    }
    m_db = db;
    return S_OK;
  }

  HRESULT PriceDbClose() override
  {
    std::lock_guard lock(m_mutex);
    CloseLocked();
    return S_OK;
  }

  HRESULT SetDefaultTariff(double v) override { return PutSetting("tariff", ToHundredths(v)); }
  HRESULT GetDefaultTariff(LONG* v) override { return GetSettingInt("tariff", v); }
  HRESULT SetDefaultHours(LONG v) override { return PutSetting("hours", v); }
  HRESULT GetDefaultHours(LONG* v) override { return GetSettingInt("hours", v); }
  HRESULT SetDefaultEfficiency(double v) override { return PutSetting("efficiency", v); }
  HRESULT GetDefaultEfficiency(double* v) override { return GetSetting("efficiency", v); }
  HRESULT SetDefaultNetworkLoss(double v) override { return PutSetting("network_loss", v); }
  HRESULT GetDefaultNetworkLoss(double* v) override { return GetSetting("network_loss", v); }
  HRESULT SetDefaultLuminaireAmortisation(double v) override { return PutSetting("luminaire_amortisation", v); }
  HRESULT GetDefaultLuminaireAmortisation(double* v) override { return GetSetting("luminaire_amortisation", v); }
  HRESULT SetDefaultPoleAmortisation(double v) override { return PutSetting("pole_amortisation", v); }
  HRESULT GetDefaultPoleAmortisation(double* v) override { return GetSetting("pole_amortisation", v); }
  HRESULT SetDefaultBracketAmortisation(double v) override { return PutSetting("bracket_amortisation", v); }
  HRESULT GetDefaultBracketAmortisation(double* v) override { return GetSetting("bracket_amortisation", v); }
  HRESULT SetDefaultPolePrice(double v) override { return PutCurrency("default_pole_price", v); }
  HRESULT GetDefaultPolePrice(double* v) override { return GetSetting("default_pole_price", v); }
  HRESULT SetDefaultPoleMountPrice(double v) override { return PutCurrency("default_pole_mount_price", v); }
  HRESULT GetDefaultPoleMountPrice(double* v) override { return GetSetting("default_pole_mount_price", v); }
  HRESULT SetDefaultBracketPrice(double v) override { return PutCurrency("default_bracket_price", v); }
  HRESULT GetDefaultBracketPrice(double* v) override { return GetSetting("default_bracket_price", v); }
  HRESULT SetDefaultBracketMountPrice(double v) override { return PutCurrency("default_bracket_mount_price", v); }
  HRESULT GetDefaultBracketMountPrice(double* v) override { return GetSetting("default_bracket_mount_price", v); }

  HRESULT SetBracketMountPrice(const char* n, LONG v) override { return Put("bracket_mount", n, 0, v); }
  HRESULT GetBracketMountPrice(const char* n, LONG* v) override { return GetInt("bracket_mount", n, 0, v); }
  HRESULT SetPoleMountPrice(const char* n, LONG v) override { return Put("pole_mount", n, 0, v); }
  HRESULT GetPoleMountPrice(const char* n, LONG* v) override { return GetInt("pole_mount", n, 0, v); }
  HRESULT SetLuminaireInstallation(const char* n, LONG v) override { return Put("luminaire_installation", n, 0, v); }
  HRESULT GetLuminaireInstallation(const char* n, LONG* v) override
  {
    return GetInt("luminaire_installation", n, 0, v);
  }
  HRESULT SetLuminaireCleaning(const char* n, LONG v) override { return Put("luminaire_cleaning", n, 0, v); }
  HRESULT GetLuminaireCleaning(const char* n, LONG* v) override { return GetInt("luminaire_cleaning", n, 0, v); }
  HRESULT SetCleaningsPerYear(const char* n, LONG v) override { return Put("cleanings_per_year", n, 0, v); }
  HRESULT GetCleaningsPerYear(const char* n, LONG* v) override { return GetInt("cleanings_per_year", n, 0, v); }
  HRESULT SetLuminaireLife(const char* n, LONG v) override { return Put("luminaire_life", n, 0, v); }
  HRESULT GetLuminaireLife(const char* n, LONG* v) override { return GetInt("luminaire_life", n, 0, v); }
  HRESULT SetDriverLoss(const char* n, double v) override { return Put("driver_loss", n, 0, v); }
  HRESULT GetDriverLoss(const char* n, double* v) override { return Get("driver_loss", n, 0, v); }
  HRESULT SetLampPrice(const char* t, double w, LONG v) override { return Put("lamp_price", t, w, v); }
  HRESULT GetLampPrice(const char* t, double w, LONG* v) override { return GetInt("lamp_price", t, w, v); }
  HRESULT SetLampReplacement(const char* t, double w, LONG v) override { return Put("lamp_replacement", t, w, v); }
  HRESULT GetLampReplacement(const char* t, double w, LONG* v) override
  {
    return GetInt("lamp_replacement", t, w, v);
  }
  HRESULT SetLampLife(const char* t, double w, LONG v) override { return Put("lamp_life", t, w, v); }
  HRESULT GetLampLife(const char* t, double w, LONG* v) override { return GetInt("lamp_life", t, w, v); }
  HRESULT SetBallastLoss(const char* t, double w, double v) override { return Put("ballast_loss", t, w, v); }
  HRESULT GetBallastLoss(const char* t, double w, double* v) override { return Get("ballast_loss", t, w, v); }

private:
  ~CPriceDatabase() { CloseLocked(); }

  void CloseLocked()
  {
    m_statements.Finalize();
    sqlite3_close(m_db);
    m_db = nullptr;
  }

  HRESULT Put(const char* kind, const char* name, double power, double value)
  {
    if (!name)
      return E_POINTER;
    std::lock_guard lock(m_mutex);
    if (!m_db || !std::isfinite(power) || !std::isfinite(value))
      return S_FALSE;
    try {
      Statement s =
        m_statements.Get(m_db, "INSERT OR REPLACE INTO price (kind, name, power, value) VALUES (?, ?, ?, ?)");
      s.Bind(1, std::string(kind)).Bind(2, codepage::Cp1251ToUtf8(name)).Bind(3, power).Bind(4, value);
      s.Step();
    } catch (const QordError&) {
      return E_FAIL;
    }
    return S_OK;
  }
  template <class T>
  HRESULT Get(const char* kind, const char* name, double power, T* out)
  {
    if (!name || !out)
      return E_POINTER;
    std::lock_guard lock(m_mutex);
    if (!m_db)
      return S_FALSE;
    try {
      Statement s = m_statements.Get(m_db, "SELECT value FROM price WHERE kind = ? AND name = ? AND power = ?");
      s.Bind(1, std::string(kind)).Bind(2, codepage::Cp1251ToUtf8(name)).Bind(3, power);
      if (!s.Step())
        return S_FALSE;
      return Store(s.Real(0), out);
    } catch (const QordError&) {
      return E_FAIL;
    }
  }
  HRESULT GetInt(const char* kind, const char* name, double power, LONG* out) { return Get(kind, name, power, out); }

  HRESULT PutSetting(const char* name, double value)
  {
    std::lock_guard lock(m_mutex);
    if (!m_db || !std::isfinite(value))
      return S_FALSE;
    try {
      Statement s = m_statements.Get(m_db, "INSERT OR REPLACE INTO setting (name, value) VALUES (?, ?)");
      s.Bind(1, std::string(name)).Bind(2, value);
      s.Step();
    } catch (const QordError&) {
      return E_FAIL;
    }
    return S_OK;
  }
  // Currency settings keep whole hundredths, as every price does.
  HRESULT PutCurrency(const char* name, double currency)
  {
    return PutSetting(name, ToHundredths(currency) / 100.0);
  }
  template <class T>
  HRESULT GetSettingOf(const char* name, T* out)
  {
    if (!out)
      return E_POINTER;
    std::lock_guard lock(m_mutex);
    if (!m_db)
      return S_FALSE;
    try {
      Statement s = m_statements.Get(m_db, "SELECT value FROM setting WHERE name = ?");
      s.Bind(1, std::string(name));
      if (!s.Step())
        return S_FALSE;
      return Store(s.Real(0), out);
    } catch (const QordError&) {
      return E_FAIL;
    }
  }
  HRESULT GetSetting(const char* name, double* out) { return GetSettingOf(name, out); }
  HRESULT GetSettingInt(const char* name, LONG* out) { return GetSettingOf(name, out); }

  static HRESULT Store(double value, double* out)
  {
    *out = value;
    return S_OK;
  }
  // A stored number that no longer fits the answer's type counts as unknown rather than wrapping.
  static HRESULT Store(double value, LONG* out)
  {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<LONG>::min() && rounded <= std::numeric_limits<LONG>::max()))
      return S_FALSE;
    *out = static_cast<LONG>(rounded);
    return S_OK;
  }

  std::atomic<ULONG> m_refs{1};
  std::mutex m_mutex;
  sqlite3* m_db = nullptr;
  // Prepared once per open file: a loaded project asks the same few questions for every group of poles.
  detail::StatementCache m_statements;
};

}  // namespace

std::int32_t ToHundredths(double currency)
{
  if (std::isnan(currency))
    return 0;
  const double hundredths = std::round(currency * 100.0);
  if (!(hundredths >= std::numeric_limits<std::int32_t>::min() && hundredths <= std::numeric_limits<std::int32_t>::max()))
    return currency < 0 ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(hundredths);
}

HRESULT QorEconomicCreateInstance(REFCLSID clsid, REFIID iid, void** object)
{
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_PriceDatabase)
    return CLASS_E_CLASSNOTAVAILABLE;
  auto* database = new (std::nothrow) CPriceDatabase;
  if (!database)
    return E_OUTOFMEMORY;
  const HRESULT hr = database->QueryInterface(iid, object);
  database->Release();
  return hr;
}

}  // namespace qorsrv
