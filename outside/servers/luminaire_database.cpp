#include "outside/servers/luminaire_database.h"

#include "outside/servers/ipole_catalog.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qorsrv {

namespace {

// A string variant as program text (code page 1251); nothing for any other kind.
bool VariantText(const VARIANT& v, std::string* out)
{
  if (v.vt != VT_BSTR)
    return false;
  *out = codepage::Utf16ToCp1251(std::u16string_view(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal)));
  return true;
}

void CopyField(char (&field)[260], const std::string& utf8)
{
  const std::string text = codepage::Utf8ToCp1251(utf8);
  const std::size_t n = std::min(text.size(), sizeof field - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

}  // namespace

HRESULT CLuminaireDatabase::QueryInterface(REFIID iid, void** object)
{
  if (!object)
    return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ILuminaireDatabase)
    *object = static_cast<ILuminaireDatabase*>(this);
  else if (iid == IID_ILuminaireCatalogue)
    *object = static_cast<ILuminaireCatalogue*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG CLuminaireDatabase::AddRef() { return ++m_refs; }

ULONG CLuminaireDatabase::Release()
{
  const ULONG left = --m_refs;
  if (left == 0)
    delete this;
  return left;
}

HRESULT CLuminaireDatabase::LuminaireDbGetCount(LONG* count)
{
  if (!count)
    return E_POINTER;
  *count = static_cast<LONG>(m_luminaires.size());
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbGetLuminaire(LuminaireRecord** out, LONG index, LONG /*reserved*/)
{
  if (!out)
    return E_POINTER;
  *out = nullptr;
  if (index == -1) {
    int current = IndexOfKey(m_currentKey);
    return HandOut(current >= 0 ? current : DefaultIndex(), out);
  }
  if (index < 0 || index >= static_cast<LONG>(m_luminaires.size()))
    return E_INVALIDARG;
  return HandOut(index, out);
}

HRESULT CLuminaireDatabase::LuminaireDbChoose(LuminaireRecord** inOut, VARIANT key)
{
  if (!inOut)
    return E_POINTER;
  std::string text;
  VariantText(key, &text);
  int chosen = -1;
  if (m_chooser) {
    chosen = m_chooser->ChooseLuminaire(this, text.c_str());
    if (chosen >= static_cast<int>(m_luminaires.size()))
      chosen = -1;
  } else {
    chosen = IndexOfKey(text);
  }
  if (chosen < 0)
    return S_FALSE;
  LuminaireRecord* record = nullptr;
  HRESULT hr = HandOut(chosen, &record);
  if (hr != S_OK)
    return hr;
  m_currentKey = m_luminaires[chosen].key;
  *inOut = record;
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbSetDataFolder(VARIANT folder)
{
  return VariantText(folder, &m_dataFolder) ? S_OK : E_INVALIDARG;
}

HRESULT CLuminaireDatabase::LuminaireDbSelectDefault()
{
  const int index = DefaultIndex();
  if (index < 0)
    return S_FALSE;
  m_currentKey = m_luminaires[index].key;
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbAddCatalog(VARIANT path, BOOL main, LONG* status)
{
  if (!status)
    return E_POINTER;
  *status = 0;
  m_lastMessage.clear();
  std::string programPath;
  if (!VariantText(path, &programPath))
    return E_INVALIDARG;
  const std::string fileSystemPath = platform::ToFileSystemPath(programPath);
  std::shared_ptr<QordFile> file;
  std::vector<CatalogueInfo> found;
  try {
    file = std::make_shared<QordFile>(QordFile::OpenForReading(fileSystemPath));
    found = file->Catalogues();
    file->Luminaires();
  } catch (const QordError& e) {
    m_lastMessage = codepage::Utf8ToCp1251(e.what());
    *status = kCatalogUnreadable;
    return S_FALSE;
  }
  for (const CatalogueInfo& c : found) {
    if (c.programVersion > kProgramVersion) {
      *status = kCatalogNeedsNewerProgram;
      return S_FALSE;
    }
  }
  for (const CatalogueInfo& c : found) {
    for (const auto& loaded : m_catalogues) {
      if (loaded->info.id != c.id)
        continue;
      *status = loaded->info.version > c.version    ? kCatalogNewerInstalled
                : loaded->info.version == c.version ? kCatalogInstalled
                                                    : kCatalogOlderInstalled;
      return S_FALSE;
    }
  }
  for (CatalogueInfo& c : found) {
    auto catalogue = std::make_unique<Catalogue>();
    catalogue->info = std::move(c);
    catalogue->file = file;
    catalogue->main = main != 0;
    CatalogRecord& r = catalogue->record;
    CopyField(r.id, catalogue->info.id);
    CopyField(r.name, catalogue->info.maker);
    CopyField(r.trademark, catalogue->info.trademark);
    r.date = catalogue->info.date;
    r.picture = catalogue->info.picture.empty() ? nullptr : catalogue->info.picture.data();
    r.pictureBytes = catalogue->info.picture.size();
    m_catalogues.push_back(std::move(catalogue));
  }
  RebuildLuminaires();
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbGetCatalogCount(LONG* count)
{
  if (!count)
    return E_POINTER;
  *count = static_cast<LONG>(m_catalogues.size());
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbGetCatalogInfo(LONG index, CatalogRecord** out)
{
  if (!out)
    return E_POINTER;
  *out = nullptr;
  if (index < 0 || index >= static_cast<LONG>(m_catalogues.size()))
    return E_INVALIDARG;
  *out = &m_catalogues[index]->record;
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbRemoveCatalog(VARIANT id)
{
  std::string text;
  if (!VariantText(id, &text))
    return E_INVALIDARG;
  const std::string utf8 = codepage::Cp1251ToUtf8(text);
  auto it = std::find_if(m_catalogues.begin(), m_catalogues.end(),
                         [&](const auto& c) { return c->info.id == utf8; });
  if (it == m_catalogues.end())
    return S_FALSE;
  m_catalogues.erase(it);
  RebuildLuminaires();
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbApply()
{
  if (IndexOfKey(m_currentKey) < 0)
    m_currentKey.clear();
  if (IndexOfKey(m_rememberedKey) < 0)
    m_rememberedKey.clear();
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbRememberChoice(VARIANT key)
{
  std::string text;
  if (!VariantText(key, &text))
    return E_INVALIDARG;
  if (IndexOfKey(text) < 0)
    return S_FALSE;
  m_rememberedKey = text;
  return S_OK;
}

HRESULT CLuminaireDatabase::LuminaireDbSelectRemembered()
{
  const int index = IndexOfKey(m_rememberedKey);
  if (index < 0)
    return LuminaireDbSelectDefault();
  m_currentKey = m_rememberedKey;
  return S_OK;
}

HRESULT CLuminaireDatabase::SetChooser(ILuminaireChooser* chooser)
{
  m_chooser = chooser;
  return S_OK;
}

HRESULT CLuminaireDatabase::SelectByKey(const char* key)
{
  if (!key || IndexOfKey(key) < 0)
    return S_FALSE;
  m_currentKey = key;
  return S_OK;
}

const char* CLuminaireDatabase::GetLastMessage() { return m_lastMessage.c_str(); }

void CLuminaireDatabase::RebuildLuminaires()
{
  {
    std::lock_guard lock(m_cacheMutex);
    m_cachedRecord.reset();
    m_cachedFile = nullptr;
  }
  m_luminaires.clear();
  // A file may hold several catalogues; each file is read once and its luminaires sorted to their catalogues.
  std::vector<const QordFile*> readFiles;
  for (const auto& catalogue : m_catalogues) {
    QordFile* file = catalogue->file.get();
    if (std::find(readFiles.begin(), readFiles.end(), file) != readFiles.end())
      continue;
    readFiles.push_back(file);
    std::vector<LuminaireSummary> list;
    try {
      list = file->Luminaires();
    } catch (const QordError& e) {
      m_lastMessage = codepage::Utf8ToCp1251(e.what());
      continue;
    }
    for (const LuminaireSummary& s : list) {
      for (std::size_t k = 0; k < m_catalogues.size(); ++k) {
        if (m_catalogues[k]->file.get() == file && m_catalogues[k]->info.id == s.catalogueId) {
          m_luminaires.push_back({k, s.rowId, codepage::Utf8ToCp1251(s.catalogueId + "/" + s.code)});
          break;
        }
      }
    }
  }
  // Keep the catalogues' order: main catalogue first, then plug-ins as added.
  std::stable_sort(m_luminaires.begin(), m_luminaires.end(),
                   [](const Luminaire& a, const Luminaire& b) { return a.catalogue < b.catalogue; });
}

int CLuminaireDatabase::IndexOfKey(const std::string& key) const
{
  if (key.empty())
    return -1;
  for (std::size_t i = 0; i < m_luminaires.size(); ++i)
    if (m_luminaires[i].key == key)
      return static_cast<int>(i);
  return -1;
}

int CLuminaireDatabase::DefaultIndex() const
{
  for (std::size_t i = 0; i < m_luminaires.size(); ++i)
    if (m_catalogues[m_luminaires[i].catalogue]->main)
      return static_cast<int>(i);
  return m_luminaires.empty() ? -1 : 0;
}

HRESULT CLuminaireDatabase::HandOut(int index, LuminaireRecord** out)
{
  if (index < 0)
    return S_FALSE;
  const Luminaire& l = m_luminaires[index];
  const Catalogue& c = *m_catalogues[l.catalogue];
  std::lock_guard lock(m_cacheMutex);
  try {
    if (!m_cachedRecord || m_cachedFile != c.file.get() || m_cachedRow != l.rowId) {
      m_cachedRecord.reset();
      LuminaireEntry entry = c.file->ReadLuminaire(l.rowId);
      m_cachedRecord = std::make_unique<LuminaireRecord>(MakeLuminaireRecord(entry, l.key));
      m_cachedFile = c.file.get();
      m_cachedRow = l.rowId;
    }
    m_record = *m_cachedRecord;
  } catch (const QordError& e) {
    m_lastMessage = codepage::Utf8ToCp1251(e.what());
    return S_FALSE;
  }
  m_record.databaseWord1 = index + 1;
  m_record.databaseWord2 = static_cast<std::int32_t>(l.catalogue) + 1;
  *out = &m_record;
  return S_OK;
}

HRESULT QorSrvCreateInstance(REFCLSID clsid, REFIID iid, void** object)
{
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (clsid == CLSID_PoleCatalog)
    return PoleCatalogCreateInstance(clsid, iid, object);
  if (clsid != CLSID_LuminaireDatabase)
    return CLASS_E_CLASSNOTAVAILABLE;
  auto* database = new (std::nothrow) CLuminaireDatabase;
  if (!database)
    return E_OUTOFMEMORY;
  const HRESULT hr = database->QueryInterface(iid, object);
  database->Release();
  return hr;
}

}  // namespace qorsrv
