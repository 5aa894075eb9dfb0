#include "graphics/raster/raster_store.h"

#include "document/graphic_core.h"
#include "geometry/gl_context.h"
#include "model/doc_interface.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <GL/gl.h>

namespace {

[[noreturn]] void ThrowBad(CArchive& ar) { AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName); }

// OpenGL promises textures of at least this side.
constexpr int kLeastTextureLimit = 1024;

}  // namespace

CRasterStore* CRasterStore::GetInstance()
{
  static CRasterStore store;
  return &store;
}

int CRasterStore::MaxTextureSize()
{
  if (!HasCurrentGlContext())
    return kLeastTextureLimit;
  GLint size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  return size > 0 ? size : kLeastTextureLimit;
}

int CRasterStore::Add(std::unique_ptr<CDibFromFile> raster)
{
  const int id = m_rasters.empty() ? 1 : m_rasters.rbegin()->second->m_id + 1;
  raster->m_id = id;
  m_rasters[id] = std::move(raster);
  return id;
}

CDibFromFile* CRasterStore::Find(int id) const
{
  const auto found = m_rasters.find(id);
  return found == m_rasters.end() ? nullptr : found->second.get();
}

bool CRasterStore::Contains(const CDibFromFile* raster) const
{
  for (const auto& [id, held] : m_rasters)
    if (held.get() == raster)
      return true;
  return false;
}

CDibFromFile* CRasterStore::FindByPath(const CString& path) const
{
  for (const auto& [id, held] : m_rasters)
    if (held->m_path == path)
      return held.get();
  return nullptr;
}

CString CRasterStore::GetPath(int id) const
{
  const CDibFromFile* raster = Find(id);
  return raster ? raster->m_path : CString();
}

void CRasterStore::Remove(int id) { m_rasters.erase(id); }

void CRasterStore::Clear() { m_rasters.clear(); }

void CRasterStore::Destroy()
{
  Clear();
  m_core = nullptr;
  m_document = nullptr;
}

// Count, then per raster in ascending id: id, path, width and height in metres.
void CRasterStore::SerializeIdsOnly(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_rasters.size());
    for (const auto& [id, raster] : m_rasters)
      ar << id << raster->m_path << raster->m_widthMetres << raster->m_heightMetres;
    return;
  }
  Clear();
  for (const RasterIdRecord& record : ReadRasterIdRecords(ar)) {
    const int id = record.id;
    if (id <= 0 || !m_document || !m_document->FindUnderlayUser(id, FALSE))
      continue;
    auto raster = std::make_unique<CDibFromFile>();
    raster->m_id = id;
    raster->SetGeometry(record.widthMetres, record.heightMetres);
    if (!raster->LoadBmp(record.path, nullptr)) {
      m_document->FindUnderlayUser(id, TRUE);
      continue;
    }
    raster->PadToTiles(MaxTextureSize());
    raster->MakeTiles();
    m_rasters[id] = std::move(raster);
  }
}

// Count, then per raster in ascending id its whole record; each is filed under the id its record holds.
void CRasterStore::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_rasters.size());
    for (const auto& [id, raster] : m_rasters)
      raster->Serialize(ar);
    return;
  }
  Clear();
  int count = 0;
  ar >> count;
  if (count < 0)
    ThrowBad(ar);
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 64);
  for (int k = 0; k < count; ++k) {
    auto raster = std::make_unique<CDibFromFile>();
    raster->Serialize(ar);
    if (raster->m_id <= 0)
      ThrowBad(ar);
    const int id = raster->m_id;
    m_rasters[id] = std::move(raster);
  }
}
