#include "document/graphic_core.h"

#include "geometry/wise_dib.h"
#include "model/doc_interface.h"
#include "model/version.h"
#include "outside/grafocore/grafocore.h"
#include "platform/mfc-core/archive.h"

#include <vector>

namespace {

constexpr DWORD kRasterIdsVersion = 0x04020000;
constexpr DWORD kWholeRastersVersion = 0x04030000;

GraphicCoreFactory g_factory = nullptr;

void ThrowBad(CArchive& ar)
{
  AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
}

// The picture of a raster or of one of its tiles, read and dropped: the default core keeps no rasters.
void SkipPicture(CArchive& ar)
{
  CWiseDib picture;
  picture.Serialize(ar);
}

}  // namespace

CGraphicCore::CGraphicCore(IQorRoadDoc* context) : m_context(context) {}

CGraphicCore::~CGraphicCore() = default;

int CGraphicCore::Init(CWnd*)
{
  return 0;
}

void CGraphicCore::Render(BOOL, BOOL) {}

void CGraphicCore::ClearFrame() {}

void CGraphicCore::SwapBuffers() {}

void CGraphicCore::Serialize(CArchive& ar, DWORD version)
{
  if (!ar.IsStoring())
    m_libraryPartSkipped = FALSE;
  if (version < kRasterIdsVersion) {
    if (!ar.IsStoring())
      ClearRasters();
    return;
  }
  if (version < kWholeRastersVersion) {
    SerializeRasterIds(ar);
    return;
  }
  SerializeRasters(ar);
  SerializeCalcAreaManagers(ar, version);
  const int library = SerializeLibraryBlock(ar, version);
  if (!ar.IsStoring())
    m_libraryPartSkipped = library == grafocore::kPartSkipped;
}

int CGraphicCore::SerializeLibraryBlock(CArchive& ar, DWORD version)
{
  if (!ar.IsStoring())
    grafocore::DeleteObjects();
  return grafocore::Serialize(&ar, version);
}

std::vector<RasterIdRecord> ReadRasterIdRecords(CArchive& ar)
{
  int count = 0;
  ar >> count;
  if (count < 0)
    ThrowBad(ar);
  // Each record holds at least an id, an empty path's length byte and two doubles.
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * (4 + 1 + 16));
  std::vector<RasterIdRecord> rasters(static_cast<std::size_t>(count));
  for (RasterIdRecord& raster : rasters)
    ar >> raster.id >> raster.path >> raster.widthMetres >> raster.heightMetres;
  return rasters;
}

void CGraphicCore::SerializeRasterIds(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar << static_cast<int>(0);
    return;
  }
  ClearRasters();
  for (const RasterIdRecord& raster : ReadRasterIdRecords(ar)) {
    if (m_context && raster.id != 0)
      m_context->FindUnderlayUser(raster.id, TRUE);
  }
}

void CGraphicCore::SerializeRasters(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar << static_cast<int>(0);
    return;
  }
  ClearRasters();
  int count = 0;
  ar >> count;
  if (count < 0)
    ThrowBad(ar);
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 64);
  for (int k = 0; k < count; ++k) {
    SkipPicture(ar);
    CString path;
    int tileSize = 0, across = 0, down = 0, id = 0, bound = 0, tiles = 0;
    double width = 0, height = 0;
    ar >> path >> tileSize >> across >> down >> id >> width >> height >> bound >> tiles;
    if (tiles < 0)
      ThrowBad(ar);
    ar.EnsureAvailable(static_cast<ULONGLONG>(tiles) * 64);
    for (int t = 0; t < tiles; ++t) {
      SkipPicture(ar);
      int tile = 0;
      double quad[4];
      ar >> tile >> quad[0] >> quad[1] >> quad[2] >> quad[3];
    }
    if (m_context && id != 0)
      m_context->FindUnderlayUser(id, TRUE);
  }
}

void CGraphicCore::SerializeCalcAreaManagers(CArchive& ar, DWORD)
{
  if (ar.IsStoring()) {
    ar << static_cast<int>(0);
    return;
  }
  int count = 0;
  ar >> count;
  // The default core cannot read a manager's record past; only the full core can hold one.
  if (count != 0)
    ThrowBad(ar);
}

CString CGraphicCore::GetUnderlayPath(int)
{
  return {};
}

void CGraphicCore::CloneUnderlay(int* id)
{
  // Without a raster store a copy shares nothing: the copied object gets no underlay.
  if (id && !(*id & 0x1000))
    *id = 0;
}

void CGraphicCore::GetViewCentre(double out[3])
{
  out[0] = out[1] = out[2] = 0.0;
}

void CGraphicCore::DeleteLibraryProject(int) {}

void CGraphicCore::OpenDxfFile(const char*, int*) {}

void CGraphicCore::GetLibraryProjectSize(double[3]) {}

void CGraphicCore::GetLibraryProjectPosition(double[3]) {}

void CGraphicCore::ClearRasters() {}

void CGraphicCore::RemoveRaster(int) {}

int CGraphicCore::ExportDxf(IQorRoadDoc*) { return 0; }

void SetGraphicCoreFactory(GraphicCoreFactory factory)
{
  g_factory = factory;
}

CGraphicCore* CreateGraphicCore(IQorRoadDoc* context)
{
  return g_factory ? g_factory(context) : new CGraphicCore(context);
}
