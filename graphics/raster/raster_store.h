// The program's raster underlays under their positive ids, and the raster part of the project file in its two
// forms: ids, paths and sizes only (the rasters read again from their files), or whole images with their tiles.
#pragma once

#include "graphics/raster/dib_from_file.h"

#include <map>
#include <memory>

class CArchive;
class CGraphicCore;
struct IQorRoadDoc;

class CRasterStore {
public:
  static CRasterStore* GetInstance();

  void SetCore(CGraphicCore* core) { m_core = core; }
  CGraphicCore* GetCore() const { return m_core; }
  void SetDocument(IQorRoadDoc* document) { m_document = document; }

  // Files the raster one above the largest id (1 in an empty store) and gives it that id.
  int Add(std::unique_ptr<CDibFromFile> raster);
  CDibFromFile* Find(int id) const;
  bool Contains(const CDibFromFile* raster) const;
  CDibFromFile* FindByPath(const CString& path) const;
  CString GetPath(int id) const;
  void Remove(int id);
  void Clear();
  void Destroy();
  size_t GetCount() const { return m_rasters.size(); }

  // Ids, paths and sizes. Reading rebuilds from its file each raster an area of the project uses; one whose
  // file cannot be read is dropped and its areas lose their underlay.
  void SerializeIdsOnly(CArchive& ar);
  // Whole rasters with their tiles.
  void Serialize(CArchive& ar);

  // The texture limit of the current GL context; without one the smallest every implementation offers.
  static int MaxTextureSize();

private:
  CRasterStore() = default;

  std::map<int, std::unique_ptr<CDibFromFile>> m_rasters;
  CGraphicCore* m_core = nullptr;
  IQorRoadDoc* m_document = nullptr;
};
