// The pole and bracket catalogue (.qorp): an SQLite database, application id 'QORP', schema version 1.
//   pole(ord, code UNIQUE, designation, model, height)
//   bracket(ord, code UNIQUE, designation, model)
//   arm(bracket_code, position, rise, outreach, tilt, turn)       the seats of a bracket, in position order
//   fitting(pole_code, bracket_code, position)                     the brackets a pole takes, its default first
#include "outside/servers/ipole_catalog.h"

#include "outside/servers/sqlite_support.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

#include <atomic>
#include <cstdio>
#include <new>

namespace qorsrv {

using detail::Exec;
using detail::PragmaInt;
using detail::Statement;
using detail::Transaction;

namespace {

constexpr int kPoleApplicationId = 0x514F5250;  // 'QORP'
constexpr int kPoleSchemaVersion = 1;
// A catalogue of more is damaged, not large: these bound what is read into memory.
constexpr std::size_t kMaxPoles = 10000;
constexpr std::size_t kMaxArms = 64;

constexpr const char* kPoleSchema = R"sql(
CREATE TABLE pole (ord INTEGER PRIMARY KEY, code TEXT NOT NULL UNIQUE, designation TEXT NOT NULL,
                   model TEXT NOT NULL, height REAL NOT NULL);
CREATE TABLE bracket (ord INTEGER PRIMARY KEY, code TEXT NOT NULL UNIQUE, designation TEXT NOT NULL,
                      model TEXT NOT NULL);
CREATE TABLE arm (bracket_code TEXT NOT NULL REFERENCES bracket(code), position INTEGER NOT NULL,
                  rise REAL NOT NULL, outreach REAL NOT NULL, tilt REAL NOT NULL, turn REAL NOT NULL,
                  PRIMARY KEY (bracket_code, position));
CREATE TABLE fitting (pole_code TEXT NOT NULL REFERENCES pole(code),
                      bracket_code TEXT NOT NULL REFERENCES bracket(code), position INTEGER NOT NULL,
                      PRIMARY KEY (pole_code, bracket_code));
)sql";

std::string Cp(const std::string& utf8) { return codepage::Utf8ToCp1251(utf8); }

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

bool VariantText(const VARIANT& v, std::string* out)
{
  if (v.vt != VT_BSTR)
    return false;
  *out = codepage::Utf16ToCp1251(std::u16string_view(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal)));
  return true;
}

// The whole catalogue, texts converted to code page 1251; each pole carries the brackets that fit it.
PoleCatalogContents ReadPoleCatalogue(const std::string& fileSystemPath)
{
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(fileSystemPath.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  struct Closer {
    sqlite3* db;
    ~Closer() { sqlite3_close(db); }
  } closer{raw};
  if (rc != SQLITE_OK)
    throw QordError(Ru(u8"Каталог опор ") + fileSystemPath + Ru(u8" не открывается"));
  sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  detail::BoundQueries(raw);
  if (PragmaInt(raw, "PRAGMA application_id") != kPoleApplicationId ||
      PragmaInt(raw, "PRAGMA user_version") != kPoleSchemaVersion)
    throw QordError(Ru(u8"Файл ") + fileSystemPath + Ru(u8" не является каталогом опор этой программы"));
  if (!detail::IsTable(raw, "pole") || !detail::IsTable(raw, "bracket") || !detail::IsTable(raw, "fitting") ||
      !detail::IsTable(raw, "arm"))
    throw QordError(Ru(u8"Каталог опор ") + fileSystemPath + Ru(u8" поврежден"));

  PoleCatalogContents contents;
  Statement poles(raw, "SELECT code, designation, model, height FROM pole ORDER BY ord");
  while (poles.Step()) {
    if (contents.poles.size() >= kMaxPoles)
      throw QordError(Ru(u8"Каталог опор ") + fileSystemPath + Ru(u8" поврежден"));
    PoleRecord p;
    p.code = poles.Text(0);  // kept UTF-8 until the brackets are found
    p.designation = Cp(poles.Text(1));
    p.model = Cp(poles.Text(2));
    p.height = poles.Real(3);
    p.catalogueWord1 = static_cast<std::int32_t>(contents.poles.size()) + 1;
    contents.poles.push_back(std::move(p));
  }
  for (PoleRecord& p : contents.poles) {
    Statement brackets(raw, "SELECT b.code, b.designation, b.model, b.ord FROM fitting f JOIN bracket b "
                            "ON b.code = f.bracket_code WHERE f.pole_code = ? ORDER BY f.position");
    brackets.Bind(1, p.code);
    while (brackets.Step()) {
      if (p.brackets.size() >= kMaxPoles)
        throw QordError(Ru(u8"Каталог опор ") + fileSystemPath + Ru(u8" поврежден"));
      BracketRecord b;
      const std::string bracketCode = brackets.Text(0);
      b.code = Cp(bracketCode);
      b.designation = Cp(brackets.Text(1));
      b.model = Cp(brackets.Text(2));
      b.word1 = static_cast<std::int32_t>(brackets.Int(3));  // catalogue position, for the pole's second word
      Statement arms(raw, "SELECT rise, outreach, tilt, turn FROM arm WHERE bracket_code = ? ORDER BY position");
      arms.Bind(1, bracketCode);
      while (arms.Step()) {
        if (b.arms.size() >= kMaxArms)
          throw QordError(Ru(u8"Кронштейн каталога опор ") + fileSystemPath + Ru(u8" поврежден"));
        b.arms.push_back({arms.Real(0), arms.Real(1), arms.Real(2), arms.Real(3), 0.0, 0.0, 0});
      }
      if (b.arms.empty())
        throw QordError(Ru(u8"У кронштейна каталога опор ") + fileSystemPath + Ru(u8" нет рожков"));
      p.brackets.push_back(std::move(b));
    }
    p.code = Cp(p.code);
    p.currentBracket = p.brackets.empty() ? -1 : 0;
  }
  return contents;
}

class CPoleCatalog final : public IPoleCatalog, public IPoleCatalogSelect {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (!object)
      return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPoleCatalog)
      *object = static_cast<IPoleCatalog*>(this);
    else if (iid == IID_IPoleCatalogSelect)
      *object = static_cast<IPoleCatalogSelect*>(this);
    else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
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

  HRESULT PoleCatalogOpen(VARIANT path) override
  {
    std::string programPath;
    if (!VariantText(path, &programPath))
      return E_INVALIDARG;
    try {
      m_contents = ReadPoleCatalogue(platform::ToFileSystemPath(programPath));
    } catch (const QordError&) {
      return S_FALSE;
    }
    m_pole = m_contents.poles.empty() ? -1 : 0;
    m_bracket = m_pole < 0 || m_contents.poles[0].brackets.empty() ? -1 : 0;
    return S_OK;
  }

  HRESULT PoleCatalogGetCurrent(PoleRecord** inOut) override
  {
    if (!inOut)
      return E_POINTER;
    int pole = m_pole, bracket = m_bracket;
    if (m_chooser && !m_chooser->ChoosePole(m_contents, &pole, &bracket))
      return S_FALSE;
    if (!Valid(pole, bracket))
      return S_FALSE;
    m_pole = pole;
    m_bracket = bracket;
    m_record = m_contents.poles[pole];
    m_record.currentBracket = bracket;
    m_record.catalogueWord2 = bracket >= 0 ? m_record.brackets[bracket].word1 : 0;
    for (BracketRecord& b : m_record.brackets)
      b.word1 = 0;
    *inOut = &m_record;
    return S_OK;
  }

  HRESULT SetChooser(IPoleChooser* chooser) override
  {
    m_chooser = chooser;
    return S_OK;
  }

  HRESULT SelectPole(const char* poleCode, const char* bracketCode) override
  {
    if (!poleCode || !bracketCode)
      return E_POINTER;
    for (std::size_t p = 0; p < m_contents.poles.size(); ++p) {
      const PoleRecord& pole = m_contents.poles[p];
      if (pole.code != poleCode)
        continue;
      for (std::size_t b = 0; b < pole.brackets.size(); ++b) {
        if (pole.brackets[b].code == bracketCode) {
          m_pole = static_cast<int>(p);
          m_bracket = static_cast<int>(b);
          return S_OK;
        }
      }
    }
    return S_FALSE;
  }

private:
  ~CPoleCatalog() = default;

  bool Valid(int pole, int bracket) const
  {
    if (pole < 0 || pole >= static_cast<int>(m_contents.poles.size()))
      return false;
    const int brackets = static_cast<int>(m_contents.poles[pole].brackets.size());
    return brackets == 0 ? bracket == -1 : bracket >= 0 && bracket < brackets;
  }

  std::atomic<ULONG> m_refs{1};
  PoleCatalogContents m_contents;
  int m_pole = -1;
  int m_bracket = -1;
  PoleRecord m_record;
  IPoleChooser* m_chooser = nullptr;
};

}  // namespace

void WritePoleCatalogue(const std::string& fileSystemPath, const std::vector<PoleCataloguePole>& poles,
                        const std::vector<PoleCatalogueBracket>& brackets)
{
  std::remove(fileSystemPath.c_str());
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(fileSystemPath.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  struct Closer {
    sqlite3* db;
    ~Closer() { sqlite3_close(db); }
  } closer{raw};
  if (rc != SQLITE_OK)
    throw QordError(Ru(u8"Каталог опор ") + fileSystemPath + Ru(u8" не создается"));
  Transaction t(raw);
  Exec(raw, kPoleSchema);
  Exec(raw, ("PRAGMA application_id = " + std::to_string(kPoleApplicationId)).c_str());
  Exec(raw, ("PRAGMA user_version = " + std::to_string(kPoleSchemaVersion)).c_str());
  for (const PoleCatalogueBracket& b : brackets) {
    Statement s(raw, "INSERT INTO bracket (code, designation, model) VALUES (?, ?, ?)");
    s.Bind(1, b.code).Bind(2, b.designation).Bind(3, b.model);
    s.Step();
    for (std::size_t i = 0; i < b.arms.size(); ++i) {
      Statement a(raw, "INSERT INTO arm (bracket_code, position, rise, outreach, tilt, turn) VALUES (?, ?, ?, ?, ?, ?)");
      a.Bind(1, b.code).Bind(2, static_cast<std::int64_t>(i)).Bind(3, b.arms[i].rise).Bind(4, b.arms[i].outreach);
      a.Bind(5, b.arms[i].tilt).Bind(6, b.arms[i].turn);
      a.Step();
    }
  }
  for (const PoleCataloguePole& p : poles) {
    Statement s(raw, "INSERT INTO pole (code, designation, model, height) VALUES (?, ?, ?, ?)");
    s.Bind(1, p.code).Bind(2, p.designation).Bind(3, p.model).Bind(4, p.height);
    s.Step();
    for (std::size_t i = 0; i < p.bracketCodes.size(); ++i) {
      Statement f(raw, "INSERT INTO fitting (pole_code, bracket_code, position) VALUES (?, ?, ?)");
      f.Bind(1, p.code).Bind(2, p.bracketCodes[i]).Bind(3, static_cast<std::int64_t>(i));
      f.Step();
    }
  }
  t.Commit();
}

void BuildStarterPoleCatalogue(const std::string& fileSystemPath)
{
  // Typical geometry, not any maker's product: the program's typical pole (8.5 m) and bracket (rise 2.0,
  // outreach 2.0, tilt 15) first, then common street pole heights, one- and two-arm brackets and a mast crown.
  const ArmRecord typical{2.0, 2.0, 15.0, 0.0, 0.0, 0.0, 0};
  const std::vector<PoleCatalogueBracket> brackets = {
    {"КТ-1", Utf8(u8"Кронштейн типовой однорожковый 2,0 x 2,0 м, 15°"), "КТ-1", {typical}},
    {"К1-1,0-1,0", Utf8(u8"Кронштейн однорожковый 1,0 x 1,0 м, 5°"), "К1-1,0-1,0", {{1.0, 1.0, 5.0, 0.0, 0, 0, 0}}},
    {"К1-1,5-1,5", Utf8(u8"Кронштейн однорожковый 1,5 x 1,5 м, 10°"), "К1-1,5-1,5", {{1.5, 1.5, 10.0, 0.0, 0, 0, 0}}},
    {"К2-1,5-1,5", Utf8(u8"Кронштейн двухрожковый 1,5 x 1,5 м, 10°"), "К2-1,5-1,5",
     {{1.5, 1.5, 10.0, 0.0, 0, 0, 0}, {1.5, 1.5, 10.0, 180.0, 0, 0, 0}}},
    {"КМ-4", Utf8(u8"Корона мачты на 4 прожектора"), "КМ-4",
     {{0.5, 0.6, 0.0, 0.0, 0, 0, 0}, {0.5, 0.6, 0.0, 90.0, 0, 0, 0}, {0.5, 0.6, 0.0, 180.0, 0, 0, 0},
      {0.5, 0.6, 0.0, 270.0, 0, 0, 0}}},
  };
  const std::vector<PoleCataloguePole> poles = {
    {"ОТ-8,5", Utf8(u8"Опора типовая 8,5 м"), "ОТ-8,5", 8.5, {"КТ-1", "К1-1,5-1,5", "К2-1,5-1,5"}},
    {"ОК-8", Utf8(u8"Опора стальная коническая 8 м"), "ОК-8", 8.0, {"К1-1,0-1,0", "К1-1,5-1,5", "К2-1,5-1,5"}},
    {"ОК-9", Utf8(u8"Опора стальная коническая 9 м"), "ОК-9", 9.0, {"К1-1,5-1,5", "К2-1,5-1,5", "КТ-1"}},
    {"ОК-10", Utf8(u8"Опора стальная коническая 10 м"), "ОК-10", 10.0, {"К1-1,5-1,5", "К2-1,5-1,5", "КТ-1"}},
    {"ОК-12", Utf8(u8"Опора стальная коническая 12 м"), "ОК-12", 12.0, {"КТ-1", "К2-1,5-1,5"}},
    {"МГ-20", Utf8(u8"Мачта граненая 20 м"), "МГ-20", 20.0, {"КМ-4"}},
  };
  // Codes and models are the designations' short forms; they are stored as UTF-8 like every text.
  auto utf8 = [](std::string cp1251) { return codepage::Cp1251ToUtf8(cp1251); };
  std::vector<PoleCatalogueBracket> b8 = brackets;
  for (auto& b : b8) {
    b.code = utf8(b.code);
    b.model = utf8(b.model);
  }
  std::vector<PoleCataloguePole> p8 = poles;
  for (auto& p : p8) {
    p.code = utf8(p.code);
    p.model = utf8(p.model);
    for (auto& c : p.bracketCodes)
      c = utf8(c);
  }
  WritePoleCatalogue(fileSystemPath, p8, b8);
}

HRESULT PoleCatalogCreateInstance(REFCLSID clsid, REFIID iid, void** object)
{
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_PoleCatalog)
    return CLASS_E_CLASSNOTAVAILABLE;
  auto* catalog = new (std::nothrow) CPoleCatalog;
  if (!catalog)
    return E_OUTOFMEMORY;
  const HRESULT hr = catalog->QueryInterface(iid, object);
  catalog->Release();
  return hr;
}

}  // namespace qorsrv
