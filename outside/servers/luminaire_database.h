// The luminaire database: the catalogues loaded from .qord files (the main database first, then plug-ins) and
// the current luminaire that the groups of poles load.
#pragma once

#include "outside/servers/iluminaire_database.h"
#include "outside/servers/qord_file.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qorsrv {

class CLuminaireDatabase final : public ILuminaireDatabase, public ILuminaireCatalogue {
public:
  CLuminaireDatabase() = default;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT LuminaireDbGetCount(LONG* count) override;
  HRESULT LuminaireDbGetLuminaire(LuminaireRecord** out, LONG index, LONG reserved) override;
  HRESULT LuminaireDbChoose(LuminaireRecord** inOut, VARIANT key) override;
  HRESULT LuminaireDbSetDataFolder(VARIANT folder) override;
  HRESULT LuminaireDbSelectDefault() override;
  HRESULT LuminaireDbAddCatalog(VARIANT path, BOOL main, LONG* status) override;
  HRESULT LuminaireDbGetCatalogCount(LONG* count) override;
  HRESULT LuminaireDbGetCatalogInfo(LONG index, CatalogRecord** out) override;
  HRESULT LuminaireDbRemoveCatalog(VARIANT id) override;
  HRESULT LuminaireDbApply() override;
  HRESULT LuminaireDbRememberChoice(VARIANT key) override;
  HRESULT LuminaireDbSelectRemembered() override;

  HRESULT SetChooser(ILuminaireChooser* chooser) override;
  HRESULT SelectByKey(const char* key) override;
  const char* GetLastMessage() override;

  const std::string& DataFolder() const { return m_dataFolder; }

private:
  ~CLuminaireDatabase() = default;

  struct Catalogue {
    CatalogueInfo info;
    CatalogRecord record{};
    // Open while the catalogue is loaded, so that a file the installer copies away and deletes stays readable.
    std::shared_ptr<QordFile> file;
    bool main = false;
  };
  struct Luminaire {
    std::size_t catalogue;
    std::int64_t rowId;
    std::string key;  // code page 1251: catalogue id '/' code
  };

  void RebuildLuminaires();
  int IndexOfKey(const std::string& key) const;
  int DefaultIndex() const;
  HRESULT HandOut(int index, LuminaireRecord** out);

  std::atomic<ULONG> m_refs{1};
  std::string m_dataFolder;
  std::vector<std::unique_ptr<Catalogue>> m_catalogues;
  std::vector<Luminaire> m_luminaires;
  std::string m_currentKey;
  std::string m_rememberedKey;
  LuminaireRecord m_record;
  // The last luminaire read, decoded: a loaded project asks for the same one for every group of poles. Keyed
  // by file and row, emptied whenever the catalogues change. The calculation worker may ask while the window
  // thread does, hence the lock.
  std::mutex m_cacheMutex;
  const QordFile* m_cachedFile = nullptr;
  std::int64_t m_cachedRow = 0;
  std::unique_ptr<LuminaireRecord> m_cachedRecord;
  ILuminaireChooser* m_chooser = nullptr;
  std::string m_lastMessage;
};

}  // namespace qorsrv
