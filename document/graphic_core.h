// The least the document needs of the render core, which sits above the document: its life with the document,
// the drawing and swap flags, a frame, the underlays, and its block of the project file. The application
// installs a factory for the full core; until then the default core below stands. It draws nothing, holds no
// rasters and no calculation-area managers, and writes its block in exactly the form the full core writes for
// a project without them, so files stay compatible both ways.
//
// The render core's block of the project file, by the file's version:
//   below 4.2.0.0           nothing (loading empties the raster store)
//   4.2.0.0 to below 4.3    int32 raster count, then per raster: int32 id, string path, double width,
//                           double height (metres)
//   4.3.0.0 and later       int32 raster count, then per raster its whole record (image, path, tiles);
//                           the calculation-area managers: int32 count, then each manager's record;
//                           the graphics library's own block ("Serialize" of the library), the last of the
//                           file; a part the library could not take is skipped, and the load says so
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

#include <vector>

class CArchive;
class CWnd;
struct IQorRoadDoc;

// One raster of the ids-only form (4.2): its id, the picture's file and its size in metres.
struct RasterIdRecord {
  int id = 0;
  CString path;
  double widthMetres = 0;
  double heightMetres = 0;
};
// Reads the ids-only raster part: the count, checked against what the archive still holds, then the records.
std::vector<RasterIdRecord> ReadRasterIdRecords(CArchive& ar);

class CGraphicCore {
public:
  explicit CGraphicCore(IQorRoadDoc* context);
  virtual ~CGraphicCore();
  CGraphicCore(const CGraphicCore&) = delete;
  CGraphicCore& operator=(const CGraphicCore&) = delete;

  // The view's window was made; the core makes its camera and context for it. The default core draws nothing
  // and answers 0.
  virtual int Init(CWnd* view);
  // Draws one frame, rebuilding the scene when asked; nothing while the drawing flag is off.
  virtual void Render(BOOL recalc, BOOL rebuild);
  virtual void ClearFrame();
  virtual void SwapBuffers();

  virtual void Serialize(CArchive& ar, DWORD version);

  virtual CString GetUnderlayPath(int id);
  virtual void CloneUnderlay(int* id);
  virtual void GetViewCentre(double out[3]);
  // The graphics library's projects (ids with bit 0x1000). The default core has no library: every call is
  // skipped, the id and the point left as they are.
  virtual void DeleteLibraryProject(int id);
  virtual void OpenDxfFile(const char* path, int* id);
  virtual void GetLibraryProjectSize(double out[3]);
  virtual void GetLibraryProjectPosition(double out[3]);
  // The raster store: emptied for a new project, one raster dropped when no area uses it any more.
  virtual void ClearRasters();
  virtual void RemoveRaster(int id);
  // The DXF export command: 1 done or cancelled, 0 refused. The default core has no drawing to export.
  virtual int ExportDxf(IQorRoadDoc* document);

  IQorRoadDoc* GetContext() const { return m_context; }
  // Whether the last load skipped the graphics library's part (the project opened without its drawings).
  BOOL LibraryPartSkipped() const { return m_libraryPartSkipped; }

  BOOL m_bDrawing = TRUE;
  BOOL m_bSwapBuffers = TRUE;

protected:
  // The raster store's part of the block; the default core holds none, and rasters of a file are read past
  // (their areas lose the underlay, as when a raster's picture cannot be loaded).
  virtual void SerializeRasterIds(CArchive& ar);
  virtual void SerializeRasters(CArchive& ar);
  // The calculation-area managers' part: an empty container in the default core.
  virtual void SerializeCalcAreaManagers(CArchive& ar, DWORD version);
  // The graphics library's block, the last of the file: before a load the library drops its drawings, then it
  // writes or reads its part; grafocore::kPartRead or kPartSkipped. The default core asks the program's own
  // library (outside/grafocore), which reads past any block.
  virtual int SerializeLibraryBlock(CArchive& ar, DWORD version);

  IQorRoadDoc* m_context;
  BOOL m_libraryPartSkipped = FALSE;
};

// Makes the render core of a document; the application installs the full core's maker, null restores the
// default core.
using GraphicCoreFactory = CGraphicCore* (*)(IQorRoadDoc* context);
void SetGraphicCoreFactory(GraphicCoreFactory factory);
CGraphicCore* CreateGraphicCore(IQorRoadDoc* context);
