#include "fake_servers.h"

#include "model/identifiers.h"
#include "outside/servers/iluminaire_database.h"
#include "outside/servers/ipole_catalog.h"
#include "outside/servers/iprice_database.h"

namespace {

std::string Text(const VARIANT& v)
{
  _variant_t copy(v);
  return copy.vt == VT_BSTR ? std::string(static_cast<const char*>(_bstr_t(copy.bstrVal, true))) : std::string();
}

std::string Key(int slot, const char* name) { return std::to_string(slot) + ":" + (name ? name : ""); }

std::string Key(int slot, const char* name, double power)
{
  return Key(slot, name) + "@" + std::to_string(static_cast<int>(power));
}

class FakeLuminaireDatabase : public ILuminaireDatabase {
public:
  explicit FakeLuminaireDatabase(ServerDocument& doc) : m_doc(doc) {}
  HRESULT QueryInterface(REFIID, void** out) override
  {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT LuminaireDbGetCount(LONG* count) override
  {
    *count = 1;
    return S_OK;
  }
  HRESULT LuminaireDbGetLuminaire(qorsrv::LuminaireRecord** out, LONG, LONG) override
  {
    ++m_doc.recordsTaken;
    *out = &m_doc.luminaire;
    return S_OK;
  }
  HRESULT LuminaireDbChoose(qorsrv::LuminaireRecord** inOut, VARIANT key) override
  {
    m_doc.chosenFor = Text(key);
    *inOut = &m_doc.luminaire;
    return S_OK;
  }
  HRESULT LuminaireDbSetDataFolder(VARIANT) override { return S_OK; }
  HRESULT LuminaireDbSelectDefault() override
  {
    ++m_doc.selectDefaultCalls;
    return S_OK;
  }
  HRESULT LuminaireDbAddCatalog(VARIANT, BOOL, LONG*) override { return S_OK; }
  HRESULT LuminaireDbGetCatalogCount(LONG* count) override
  {
    *count = 1;
    return S_OK;
  }
  HRESULT LuminaireDbGetCatalogInfo(LONG, qorsrv::CatalogRecord**) override { return S_FALSE; }
  HRESULT LuminaireDbRemoveCatalog(VARIANT) override { return S_FALSE; }
  HRESULT LuminaireDbApply() override { return S_OK; }
  HRESULT LuminaireDbRememberChoice(VARIANT key) override
  {
    m_doc.remembered = Text(key);
    return S_OK;
  }
  HRESULT LuminaireDbSelectRemembered() override
  {
    ++m_doc.selectRememberedCalls;
    return S_OK;
  }

private:
  ServerDocument& m_doc;
};

class FakePoleCatalog : public IPoleCatalog {
public:
  explicit FakePoleCatalog(ServerDocument& doc) : m_doc(doc) {}
  HRESULT QueryInterface(REFIID, void** out) override
  {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT PoleCatalogOpen(VARIANT) override { return S_OK; }
  HRESULT PoleCatalogGetCurrent(qorsrv::PoleRecord** inOut) override
  {
    if (!m_doc.pole)
      return S_FALSE;
    *inOut = m_doc.pole;
    return S_OK;
  }

private:
  ServerDocument& m_doc;
};

class FakePriceDatabase : public IPriceDatabase {
public:
  explicit FakePriceDatabase(ServerDocument& doc) : m_doc(doc) {}
  HRESULT QueryInterface(REFIID, void** out) override
  {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }

  HRESULT SetLuminairePrice(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT SetPolePrice(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT SetBracketPrice(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT GetLuminairePrice(const char* n, LONG* v) override { return Whole(12, Key(12, n), v); }
  HRESULT GetPolePrice(const char* n, LONG* v) override { return Whole(13, Key(13, n), v); }
  HRESULT GetBracketPrice(const char* n, LONG* v) override { return Whole(14, Key(14, n), v); }
  HRESULT PriceDbOpen(VARIANT) override { return S_OK; }
  HRESULT PriceDbClose() override { return S_OK; }
  HRESULT SetDefaultTariff(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultTariff(LONG* v) override { return Whole(20, Key(20, ""), v); }
  HRESULT SetDefaultHours(LONG) override { return E_NOTIMPL; }
  HRESULT GetDefaultHours(LONG* v) override { return Whole(22, Key(22, ""), v); }
  HRESULT SetDefaultEfficiency(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultEfficiency(double* v) override { return Real(24, Key(24, ""), v); }
  HRESULT SetDefaultNetworkLoss(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultNetworkLoss(double* v) override { return Real(26, Key(26, ""), v); }
  HRESULT SetDefaultLuminaireAmortisation(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultLuminaireAmortisation(double* v) override { return Real(28, Key(28, ""), v); }
  HRESULT SetDefaultPoleAmortisation(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultPoleAmortisation(double* v) override { return Real(30, Key(30, ""), v); }
  HRESULT SetDefaultBracketAmortisation(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultBracketAmortisation(double* v) override { return Real(32, Key(32, ""), v); }
  HRESULT SetDefaultPolePrice(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultPolePrice(double*) override { return E_NOTIMPL; }
  HRESULT SetDefaultPoleMountPrice(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultPoleMountPrice(double*) override { return E_NOTIMPL; }
  HRESULT SetDefaultBracketPrice(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultBracketPrice(double*) override { return E_NOTIMPL; }
  HRESULT SetDefaultBracketMountPrice(double) override { return E_NOTIMPL; }
  HRESULT GetDefaultBracketMountPrice(double*) override { return E_NOTIMPL; }
  HRESULT SetBracketMountPrice(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT GetBracketMountPrice(const char* n, LONG* v) override { return Whole(50, Key(50, n), v); }
  HRESULT SetPoleMountPrice(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT GetPoleMountPrice(const char* n, LONG* v) override { return Whole(52, Key(52, n), v); }
  HRESULT SetLuminaireInstallation(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT GetLuminaireInstallation(const char* n, LONG* v) override { return Whole(54, Key(54, n), v); }
  HRESULT SetLuminaireCleaning(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT GetLuminaireCleaning(const char* n, LONG* v) override { return Whole(56, Key(56, n), v); }
  HRESULT SetCleaningsPerYear(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT GetCleaningsPerYear(const char* n, LONG* v) override { return Whole(58, Key(58, n), v); }
  HRESULT SetLuminaireLife(const char*, LONG) override { return E_NOTIMPL; }
  HRESULT GetLuminaireLife(const char* n, LONG* v) override { return Whole(60, Key(60, n), v); }
  HRESULT SetDriverLoss(const char*, double) override { return E_NOTIMPL; }
  HRESULT GetDriverLoss(const char* n, double* v) override { return Real(62, Key(62, n), v); }
  HRESULT SetLampPrice(const char*, double, LONG) override { return E_NOTIMPL; }
  HRESULT GetLampPrice(const char* n, double p, LONG* v) override { return Whole(64, Key(64, n, p), v); }
  HRESULT SetLampReplacement(const char*, double, LONG) override { return E_NOTIMPL; }
  HRESULT GetLampReplacement(const char* n, double p, LONG* v) override { return Whole(66, Key(66, n, p), v); }
  HRESULT SetLampLife(const char*, double, LONG) override { return E_NOTIMPL; }
  HRESULT GetLampLife(const char* n, double p, LONG* v) override { return Whole(68, Key(68, n, p), v); }
  HRESULT SetBallastLoss(const char*, double, double) override { return E_NOTIMPL; }
  HRESULT GetBallastLoss(const char* n, double p, double* v) override { return Real(70, Key(70, n, p), v); }

private:
  HRESULT Whole(int slot, const std::string& key, LONG* v)
  {
    ++m_doc.priceQuestions;
    if (m_doc.failingSlot == slot)
      return m_doc.failingCode;
    auto it = m_doc.whole.find(key);
    if (it == m_doc.whole.end())
      return S_FALSE;
    *v = it->second;
    return S_OK;
  }
  HRESULT Real(int slot, const std::string& key, double* v)
  {
    ++m_doc.priceQuestions;
    if (m_doc.failingSlot == slot)
      return m_doc.failingCode;
    auto it = m_doc.real.find(key);
    if (it == m_doc.real.end())
      return S_FALSE;
    *v = it->second;
    return S_OK;
  }

  ServerDocument& m_doc;
};

}  // namespace

struct ServerDocument::Servers {
  explicit Servers(ServerDocument& doc) : luminaires(doc), poles(doc), prices(doc) {}
  FakeLuminaireDatabase luminaires;
  FakePoleCatalog poles;
  FakePriceDatabase prices;
};

ServerDocument::ServerDocument() : m_servers(std::make_unique<Servers>(*this)) {}

ServerDocument::~ServerDocument() = default;

HRESULT ServerDocument::QueryInterface(REFIID iid, void** out)
{
  *out = nullptr;
  if (iid == IID_ILuminaireDatabase && hasLuminaireDatabase)
    *out = static_cast<ILuminaireDatabase*>(&m_servers->luminaires);
  else if (iid == IID_IPoleCatalog && hasPoleCatalog)
    *out = static_cast<IPoleCatalog*>(&m_servers->poles);
  else if (iid == IID_IPriceDatabase && hasPriceDatabase)
    *out = static_cast<IPriceDatabase*>(&m_servers->prices);
  return *out ? S_OK : E_NOINTERFACE;
}
